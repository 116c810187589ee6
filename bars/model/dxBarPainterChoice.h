// Which painter a manager's bars draw with: the style resolved from the
// manager's Style, its look-and-feel and the availability of visual themes,
// and the painter for each resolved style. Painters belong to the bar
// controls layer: one painter per look, which that layer puts into the slots
// at its start-up (a skin layer with a bar painter replaces the skin slot and
// restores it at shutdown), and the maker of each manager's own painter
// object of that look.
#pragma once

#include "bars/model/dxBarBase.h"
#include "foundation/cxLookAndFeelPainters.h"

class TcxLookAndFeel;

// What the choice depends on, as values.
struct TdxBarStyleChoiceInput {
  TdxBarManagerStyle Style = bmsEnhanced;
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  bool HasSkinPainter = false;
  bool ThemeAvailable = false;
};

TdxBarManagerStyle dxBarStyleOfLookAndFeelKind(TcxLookAndFeelKind AKind);
// The style callers see (GetPaintStyle): never the skin, and bmsXP stays
// bmsXP without themes.
TdxBarManagerStyle dxBarPaintStyleOf(const TdxBarStyleChoiceInput& AInput);
// The style the painter is chosen by; bmsUseLookAndFeel stands for the skin.
TdxBarManagerStyle dxBarResolvedStyleOf(const TdxBarStyleChoiceInput& AInput);
// Themes usable for every part the bars draw.
bool dxBarThemeAvailable();

// The painter for a resolved style; nil until the bar controls layer fills
// it. The bmsUseLookAndFeel slot is the skin painter's.
TdxBarPainterClass& dxBarPainterClassSlot(TdxBarManagerStyle AResolvedStyle);

// A painter object made for one manager: the object the manager owns (and
// frees when its style changes and when it goes) and the painter it is.
struct TdxBarPainterObject {
  TObject* Object = nullptr;
  TdxBarPainterClass Painter = nullptr;
};
// Makes a manager's own painter of the class a style's slot holds;
// ASkinPainter is the look-and-feel's skin painter, nil without a skin. Nil
// until the bar controls layer fills it: a manager then draws with the
// slot's painter itself, which all managers share.
using TdxBarPainterMaker = TdxBarPainterObject (*)(TdxBarPainterClass AClass, TdxBarManager* AManager,
                                                   TcxCustomLookAndFeelPainterClass ASkinPainter);
TdxBarPainterMaker& dxBarPainterMaker();

// The offsets of a toolbar's content inside its window for a docking style
// (left, top, right, bottom), as the painter draws it; nil until the bar
// windows' layer fills it, and then no offsets are known.
using TdxBarToolbarContentOffsets = TRect (*)(TdxBarPainterClass APainter, TdxBar* ABar, TdxBarDockingStyle AStyle);
TdxBarToolbarContentOffsets& dxBarToolbarContentOffsets();
