// The painter a manager's bars draw with, from its style, look-and-feel and themes.
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/ScopedHook.h"

#include "foundation/cxLookAndFeels.h"

#include <gtest/gtest.h>

#include <functional>

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

// A manager's own painter object, as the bar windows' layer makes it: it
// knows its class and its manager, and counts the live ones.
struct TMadePainter : TObject {
  TMadePainter(TdxBarPainterClass AClass, TdxBarManager* AManager) : Class(AClass), Manager(AManager) { ++Live; }
  ~TMadePainter() override { --Live; }
  TdxBarPainterClass Class;
  TdxBarManager* Manager;
  static inline int Live = 0, Made = 0;
};

TdxBarPainterObject MakeCountedPainter(TdxBarPainterClass AClass, TdxBarManager* AManager,
                                       TcxCustomLookAndFeelPainterClass) {
  ++TMadePainter::Made;
  auto* painter = Make<TMadePainter>(AClass, AManager);
  return {painter, reinterpret_cast<TdxBarPainterClass>(painter)};
}

TEST(dxBarPainterChoice, EachManagerOwnsOnePainterMadeAgainOnEveryStyleChange) {
  const int flatToken = 0, enhancedToken = 0;
  const auto flatPainter = reinterpret_cast<TdxBarPainterClass>(&flatToken);
  const auto enhancedPainter = reinterpret_cast<TdxBarPainterClass>(&enhancedToken);
  TScopedHook<TdxBarPainterClass> flat(dxBarPainterClassSlot(bmsFlat), flatPainter);
  TScopedHook<TdxBarPainterClass> enhanced(dxBarPainterClassSlot(bmsEnhanced), enhancedPainter);
  TScopedHook<TdxBarPainterMaker> maker(dxBarPainterMaker(), &MakeCountedPainter);
  TMadePainter::Live = TMadePainter::Made = 0;
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr)), other(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  TdxBarManager* second = Make<TdxBarManager>(other.get());
  auto painterOf = [](TdxBarManager* AManager) {
    return reinterpret_cast<const TMadePainter*>(AManager->DefaultPainter());
  };
  EXPECT_EQ(TMadePainter::Live, 2);
  EXPECT_NE(painterOf(manager), painterOf(second));
  EXPECT_EQ(painterOf(manager)->Manager, manager);
  EXPECT_EQ(painterOf(manager)->Class, enhancedPainter);
  EXPECT_EQ(manager->PainterClass(), enhancedPainter);
  // Each trigger of the style change makes exactly one new painter and frees the old one.
  const struct {
    const char* what;
    std::function<void()> change;
    TdxBarPainterClass painterClass;
  } cases[] = {
      {"style", [&] { manager->SetStyle(bmsFlat); }, flatPainter},
      {"not docking", [&] { manager->SetNotDocking({dsLeft}); }, flatPainter},
      {"look-and-feel", [&] { manager->LookAndFeel()->SetKind(lfFlat); }, flatPainter},
      {"bar background", [&] { manager->Backgrounds()->Bar()->SetSize(2, 2); }, flatPainter},
      {"the look-and-feel's style followed", [&] { manager->SetStyle(bmsUseLookAndFeel); }, enhancedPainter},
  };
  for (const auto& c : cases) {
    const int made = TMadePainter::Made;
    c.change();
    EXPECT_EQ(TMadePainter::Made, made + 1) << c.what;
    EXPECT_EQ(TMadePainter::Live, 2) << c.what;
    EXPECT_EQ(painterOf(manager)->Class, c.painterClass) << c.what;
    EXPECT_EQ(manager->PainterClass(), c.painterClass) << c.what;
  }
  form.reset();
  EXPECT_EQ(TMadePainter::Live, 1) << "the painter goes with its manager";
  // Without a maker the manager draws with the slot's shared painter.
  dxBarPainterMaker() = nullptr;
  second->SetStyle(bmsFlat);
  EXPECT_EQ(TMadePainter::Live, 0);
  EXPECT_EQ(second->DefaultPainter(), flatPainter);
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
