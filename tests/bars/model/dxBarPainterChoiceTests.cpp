// The painter a manager's bars draw with, from its style, look-and-feel and themes.
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/ScopedHook.h"

#include "foundation/cxLookAndFeels.h"

#include <gtest/gtest.h>

namespace {

TEST(dxBarPainterChoice, StyleTable) {
  const struct {
    TdxBarManagerStyle style;
    TcxLookAndFeelKind kind;
    bool native, skin, themes;
    TdxBarManagerStyle painter, paintStyle;
  } cases[] = {
      {bmsStandard, lfUltraFlat, false, false, true, bmsStandard, bmsStandard},
      {bmsEnhanced, lfUltraFlat, true, true, true, bmsEnhanced, bmsEnhanced},
      {bmsFlat, lfStandard, false, false, false, bmsFlat, bmsFlat},
      {bmsOffice11, lfFlat, false, false, false, bmsOffice11, bmsOffice11},
      {bmsXP, lfUltraFlat, false, false, true, bmsXP, bmsXP},
      // Without themes the XP style draws enhanced but still reports XP.
      {bmsXP, lfUltraFlat, false, false, false, bmsEnhanced, bmsXP},
      // The main window: look-and-feel of the default kind, no native style, no skin.
      {bmsUseLookAndFeel, lfUltraFlat, false, false, true, bmsFlat, bmsFlat},
      {bmsUseLookAndFeel, lfFlat, false, false, true, bmsEnhanced, bmsEnhanced},
      {bmsUseLookAndFeel, lfStandard, false, false, true, bmsStandard, bmsStandard},
      {bmsUseLookAndFeel, lfOffice11, false, false, true, bmsOffice11, bmsOffice11},
      {bmsUseLookAndFeel, lfFlat, true, false, true, bmsXP, bmsXP},
      {bmsUseLookAndFeel, lfFlat, true, false, false, bmsEnhanced, bmsEnhanced},
      // A skin draws with the skin slot; callers still see the kind's style.
      {bmsUseLookAndFeel, lfOffice11, false, true, true, bmsUseLookAndFeel, bmsOffice11},
      {bmsUseLookAndFeel, lfOffice11, true, true, true, bmsXP, bmsXP},
      {bmsUseLookAndFeel, lfUltraFlat, true, true, false, bmsUseLookAndFeel, bmsFlat},
  };
  for (const auto& c : cases) {
    const TdxBarStyleChoiceInput input{c.style, c.kind, c.native, c.skin, c.themes};
    EXPECT_EQ(dxBarResolvedStyleOf(input), c.painter) << int(c.style) << "/" << int(c.kind) << c.native << c.skin << c.themes;
    EXPECT_EQ(dxBarPaintStyleOf(input), c.paintStyle) << int(c.style) << "/" << int(c.kind) << c.native << c.skin << c.themes;
  }
}

TEST(dxBarPainterChoice, MainWindowSettingsGiveTheFlatPainterClass) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  // The painters belong to the bar controls; here any two distinct objects stand for them.
  const int flatToken = 0, standardToken = 0;
  const auto flatPainter = reinterpret_cast<TdxBarPainterClass>(&flatToken);
  const auto standardPainter = reinterpret_cast<TdxBarPainterClass>(&standardToken);
  TScopedHook<TdxBarPainterClass> flat(dxBarPainterClassSlot(bmsFlat), flatPainter);
  TScopedHook<TdxBarPainterClass> standard(dxBarPainterClassSlot(bmsStandard), standardPainter);
  manager->SetStyle(bmsUseLookAndFeel);
  EXPECT_EQ(manager->PainterClassForStyle(), flatPainter);
  EXPECT_TRUE(manager->CanShowRecentItems());
  manager->SetStyle(bmsStandard);
  EXPECT_EQ(manager->PainterClassForStyle(), standardPainter);
  EXPECT_FALSE(manager->CanShowRecentItems());
}

TEST(dxBarPainterChoice, OtherLookAndFeelIsMadeToDrawLikeTheBars) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  TObjectPtr<TcxLookAndFeel> editor(Make<TcxLookAndFeel>(nullptr));
  const struct {
    TdxBarManagerStyle style;
    TcxLookAndFeelKind kind;
  } cases[] = {{bmsFlat, lfUltraFlat}, {bmsOffice11, lfOffice11}, {bmsStandard, lfFlat}, {bmsEnhanced, lfFlat}};
  for (const auto& c : cases) {
    manager->SetStyle(c.style);
    editor->SetKind(lfStandard);
    manager->ApplyStyleToLookAndFeel(editor.get());
    EXPECT_EQ(editor->Kind(), c.kind) << int(c.style);
    EXPECT_FALSE(editor->NativeStyle()) << int(c.style);
  }
}

}  // namespace
