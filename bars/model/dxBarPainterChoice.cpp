#include "bars/model/dxBarPainterChoice.h"

#include "bars/model/dxBarManager.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxThemeManager.h"

TdxBarManagerStyle dxBarStyleOfLookAndFeelKind(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat: return bmsEnhanced;
    case lfStandard: return bmsStandard;
    case lfUltraFlat: return bmsFlat;
    default: return bmsOffice11;
  }
}

TdxBarManagerStyle dxBarPaintStyleOf(const TdxBarStyleChoiceInput& AInput) {
  if (AInput.Style != bmsUseLookAndFeel) return AInput.Style;
  if (AInput.NativeStyle && AInput.ThemeAvailable) return bmsXP;
  return dxBarStyleOfLookAndFeelKind(AInput.Kind);
}

TdxBarManagerStyle dxBarResolvedStyleOf(const TdxBarStyleChoiceInput& AInput) {
  switch (AInput.Style) {
    case bmsXP: return AInput.ThemeAvailable ? bmsXP : bmsEnhanced;
    case bmsUseLookAndFeel:
      if (AInput.NativeStyle && AInput.ThemeAvailable) return bmsXP;
      if (AInput.HasSkinPainter) return bmsUseLookAndFeel;
      return dxBarStyleOfLookAndFeelKind(AInput.Kind);
    default: return AInput.Style;
  }
}

bool dxBarThemeAvailable() {
  return dxAreThemesUsable({totComboBox, totEdit, totProgress, totRebar, totScrollBar, totSpin, totStatus,
                            totToolBar, totWindow});
}

TdxBarPainterClass& dxBarPainterClassSlot(TdxBarManagerStyle AResolvedStyle) {
  static TdxBarPainterClass slots[bmsUseLookAndFeel + 1] = {};
  return slots[AResolvedStyle];
}

TdxBarPainterMaker& dxBarPainterMaker() {
  static TdxBarPainterMaker maker = nullptr;
  return maker;
}

TdxBarToolbarContentOffsets& dxBarToolbarContentOffsets() {
  static TdxBarToolbarContentOffsets offsets = nullptr;
  return offsets;
}

// ---------------------------------------------------------------------------
// The manager's side
// ---------------------------------------------------------------------------

TdxBarStyleChoiceInput TdxBarManager::StyleChoiceInput() const {
  TdxBarStyleChoiceInput input;
  input.Style = FStyle;
  if (FLookAndFeel) {
    input.Kind = FLookAndFeel->Kind();
    input.NativeStyle = FLookAndFeel->NativeStyle();
    input.HasSkinPainter = FLookAndFeel->SkinPainter() != nullptr;
  }
  input.ThemeAvailable = FThemeAvailable;
  return input;
}

TdxBarManagerStyle TdxBarManager::GetPaintStyle() const { return dxBarPaintStyleOf(StyleChoiceInput()); }

TdxBarManagerStyle TdxBarManager::ResolvedStyle() const { return dxBarResolvedStyleOf(StyleChoiceInput()); }

TdxBarPainterClass TdxBarManager::PainterClassForStyle() const { return dxBarPainterClassSlot(ResolvedStyle()); }

// Themes are looked at again first: they decide the resolved style. A maker
// that fails leaves the slot's shared painter, so that the bars still draw.
void TdxBarManager::RebuildPainter() {
  FThemeAvailable = dxBarThemeAvailable();
  FreePainter();
  FPainterClass = PainterClassForStyle();
  if (FPainterClass && dxBarPainterMaker()) {
    const TdxBarPainterObject made =
        dxBarPainterMaker()(FPainterClass, this, FLookAndFeel ? FLookAndFeel->SkinPainter() : nullptr);
    FPainterObject = made.Object;
    FDefaultPainter = made.Painter;
  }
  if (!FDefaultPainter) FDefaultPainter = FPainterClass;
}

void TdxBarManager::FreePainter() {
  FDefaultPainter = nullptr;
  FPainterClass = nullptr;
  FreeAndNil(FPainterObject);
}

void TdxBarManager::ApplyStyleToLookAndFeel(TcxLookAndFeel* ALookAndFeel) const {
  ALookAndFeel->Reset();
  ALookAndFeel->SetSkinName(String());
  switch (ResolvedStyle()) {
    case bmsFlat: ALookAndFeel->SetStyle(lfsUltraFlat); break;
    case bmsXP: ALookAndFeel->SetStyle(lfsNative); break;
    case bmsOffice11: ALookAndFeel->SetStyle(lfsOffice11); break;
    case bmsUseLookAndFeel: ALookAndFeel->Assign(FLookAndFeel); break;
    default: ALookAndFeel->SetStyle(lfsFlat); break;
  }
}
