// The bar module's free routines: lookups between objects, managers, forms
// and windows; the window helpers; key-tip steps; interfaces, weak links,
// name lists and fonts.
#include "tests/bars/model/dxBarTestSupport.h"

#include "foundation/cxClasses.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/StdCtrls.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

namespace {

// A form with a panel; in the panel a form embedded as a child window, with
// a button and a label on it; a window of no control in the panel.
class dxBarWindowLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    panel = Make<TPanel>(form.get());
    panel->SetParent(form.get());
    embedded = Make<TForm>(form.get(), 0);
    embedded->SetParent(panel);
    button = Make<TButton>(embedded);
    button->SetParent(embedded);
    label = Make<TLabel>(embedded);
    label->SetParent(embedded);
    button->HandleNeeded();
    bare = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, panel->Handle(), nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (bare) DestroyWindow(bare);
    form.reset();
  }
  TObjectPtr<TBarTestForm> form;
  TPanel* panel = nullptr;
  TForm* embedded = nullptr;
  TButton* button = nullptr;
  TLabel* label = nullptr;
  HWND bare = nullptr;
};

TEST_F(dxBarWindowLookupTest, FormsByKindFromTheWindowUpwards) {
  const struct {
    const char* what;
    TControl* control;
    int kind;
    TCustomForm* form;
  } cases[] = {
      {"top-level form", button, 0, form.get()},
      {"nearest form", button, 2, embedded},
      {"no MDI child form: the top-level one", button, 1, form.get()},
      {"a control of the top-level form", panel, 2, form.get()},
      {"the form itself", form.get(), 0, form.get()},
      {"a control without window of its own", label, 2, nullptr},
      {"nil", nullptr, 2, nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(dxBarControlFormByKind(c.control, c.kind), c.form) << c.what;
  auto* noWindow = Make<TButton>(embedded);
  EXPECT_EQ(dxBarControlFormByKind(noWindow, 2), nullptr) << "no window yet";
  TdxBarManager* manager = Make<TdxBarManager>(embedded);
  EXPECT_EQ(dxBarComponentParentForm(manager), embedded);
  EXPECT_EQ(dxBarManagerFormByKind(manager, 0), form.get());
}

TEST_F(dxBarWindowLookupTest, ManagersOfWindowsAndComponents) {
  TdxBarManager* onForm = Make<TdxBarManager>(form.get());
  EXPECT_EQ(dxBarManagerOfWindow(form->Handle()), onForm);
  EXPECT_EQ(dxBarManagerOfWindow(panel->Handle()), nullptr);
  EXPECT_EQ(dxBarWinControlOwner(onForm), form.get());
  EXPECT_EQ(dxBarWinControlOwner(button), button);
  // Up from the button's window: the embedded form and the panel have no manager.
  EXPECT_EQ(dxBarManagerForComponent(button), onForm);
  TObjectPtr<TComponent> stray(Make<TComponent>(nullptr));
  EXPECT_EQ(dxBarManagerForComponent(stray.get()), nullptr);

  TdxBarManager* onPanel = Make<TdxBarManager>(panel);
  EXPECT_EQ(dxBarManagerForComponent(button), onPanel) << "the nearest manager";
  const struct {
    TdxBarManager* manager;
    HWND wnd;
    bool owner;
  } cases[] = {{onPanel, panel->Handle(), true},  {onPanel, form->Handle(), true},
               {onPanel, button->Handle(), false}, {onForm, panel->Handle(), false},
               {onForm, nullptr, false}};
  for (const auto& c : cases) EXPECT_EQ(dxBarIsManagerOwnerWindow(c.manager, c.wnd), c.owner);
  EXPECT_TRUE(dxBarManagerOwnerContains(onPanel, label));
  EXPECT_FALSE(dxBarManagerOwnerContains(onPanel, form.get()));
}

TEST_F(dxBarWindowLookupTest, ControlsOfWindowsAndWhatContainsWhat) {
  EXPECT_EQ(dxBarChildWindowControlParent(bare), panel);
  EXPECT_EQ(dxBarChildWindowControlParent(form->Handle()), nullptr) << "a top-level window";
  EXPECT_EQ(dxBarFindPlatformControl(bare), panel);
  EXPECT_EQ(dxBarFindPlatformControl(button->Handle()), button);
  EXPECT_EQ(dxBarWindowedControlOf(label), embedded);
  EXPECT_EQ(dxBarWindowedControlOf(button), button);
  EXPECT_TRUE(dxBarControlContainsWindow(panel, bare));
  EXPECT_TRUE(dxBarControlContainsWindow(panel, panel->Handle()));
  EXPECT_FALSE(dxBarControlContainsWindow(embedded, bare));
  EXPECT_TRUE(dxBarControlContainsControl(form.get(), button));
  EXPECT_TRUE(dxBarControlContainsControl(panel, label));
  EXPECT_FALSE(dxBarControlContainsControl(embedded, panel));
  // Without windows the parent chain answers.
  TObjectPtr<TBarTestForm> other(Make<TBarTestForm>(nullptr));
  auto* otherPanel = Make<TPanel>(other.get());
  otherPanel->SetParent(other.get());
  auto* otherButton = Make<TButton>(other.get());
  otherButton->SetParent(otherPanel);
  EXPECT_TRUE(dxBarControlContainsControl(other.get(), otherButton));
  EXPECT_TRUE(dxBarControlContainsControl(otherPanel, otherPanel));
  EXPECT_FALSE(dxBarControlContainsControl(otherPanel, other.get()));
  EXPECT_FALSE(otherButton->HandleAllocated());
  EXPECT_FALSE(dxBarControlWindowVisible(otherButton));
}

TEST_F(dxBarWindowLookupTest, FocusChainsAndTheActiveForm) {
  form->SetBounds(60, 60, 300, 200);
  form->Show();
  SetForegroundWindow(form->Handle());
  SetActiveWindow(form->Handle());
  ASSERT_TRUE(PumpMessagesUntil([this] { return GetActiveWindow() == form->Handle(); }));
  ::SetFocus(button->Handle());
  ASSERT_EQ(GetFocus(), button->Handle());
  const struct {
    const char* what;
    HWND wnd;
    bool focused;
  } cases[] = {{"the focused window", button->Handle(), true},
               {"a window above it", panel->Handle(), false},
               {"a child of no focused window", bare, false}};
  for (const auto& c : cases) EXPECT_EQ(dxBarWindowChainFocused(c.wnd), c.focused) << c.what;
  ::SetFocus(panel->Handle());
  EXPECT_TRUE(dxBarWindowChainFocused(bare)) << "its parent has the focus";
  EXPECT_EQ(dxBarActiveFormOrMDIChild(), form.get());
  EnableWindow(form->Handle(), FALSE);
  EXPECT_EQ(dxBarActiveFormOrMDIChild(), nullptr) << "a disabled form";
  EnableWindow(form->Handle(), TRUE);
  dxBarActivateTopWindow(bare);
  EXPECT_EQ(GetActiveWindow(), form->Handle());
}

TEST(dxBarRoutines, ShortCutsTakeTheModifiersDownNow) {
  BYTE saved[256] = {}, keys[256] = {};
  ASSERT_TRUE(GetKeyboardState(saved));
  TFinally restore{[&saved] { SetKeyboardState(saved); }};
  const LPARAM alt = 0x20000000;
  const struct {
    bool shift, ctrl;
    LPARAM data;
    Word shortCut;
  } cases[] = {{false, false, 0, 'S'},
               {true, false, 0, 0x2000 | 'S'},
               {false, true, 0, 0x4000 | 'S'},
               {false, false, alt, 0x8000 | 'S'},
               {true, true, alt, 0xE000 | 'S'}};
  for (const auto& c : cases) {
    keys[VK_SHIFT] = c.shift ? 0x80 : 0;
    keys[VK_CONTROL] = c.ctrl ? 0x80 : 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_EQ(dxBarShortCutFromKey('S', c.data), c.shortCut) << c.shift << c.ctrl << c.data;
    EXPECT_EQ(dxBarShortCutFromKey(0, c.data), 0);
  }
}

TEST(dxBarWindows, OwnersProcessesAndForgottenWindows) {
  auto popup = [](HWND AOwner) {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, AOwner, nullptr, nullptr, nullptr);
  };
  HWND top = popup(nullptr), owned = popup(top), ownedByOwned = popup(owned);
  EXPECT_TRUE(dxBarIsWindowOwnedBy(owned, top));
  EXPECT_TRUE(dxBarIsWindowOwnedBy(ownedByOwned, top)) << "through the owner's owner";
  EXPECT_FALSE(dxBarIsWindowOwnedBy(top, owned));
  EXPECT_FALSE(dxBarIsWindowOwnedBy(owned, nullptr));
  EXPECT_TRUE(dxBarIsForeignProcessWindow(nullptr));
  EXPECT_FALSE(dxBarIsForeignProcessWindow(top));
  HWND kept = ownedByOwned;
  dxBarForgetWindowHandle(kept, false);
  EXPECT_EQ(kept, nullptr);
  EXPECT_TRUE(IsWindow(ownedByOwned));
  kept = ownedByOwned;
  dxBarForgetWindowHandle(kept, true);
  EXPECT_EQ(kept, nullptr);
  EXPECT_FALSE(IsWindow(ownedByOwned));
  dxBarForgetWindowHandle(kept, true);
  DestroyWindow(owned);
  DestroyWindow(top);
}

TEST(dxBarWindows, AlphaMakesTheWindowLayeredAndOpaqueMakesItPlainAgain) {
  ASSERT_NE(dxBarLayeredWindowApi().SetLayeredWindowAttributes, nullptr);
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  auto exStyle = [wnd] { return GetWindowLongPtrW(wnd, GWL_EXSTYLE); };
  const LONG_PTR plain = exStyle();
  dxBarSetWindowAlpha(wnd, 255);
  EXPECT_EQ(exStyle(), plain) << "an opaque window stays as it is";
  dxBarSetWindowAlpha(wnd, 128);
  EXPECT_TRUE(exStyle() & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_TRUE(flags & LWA_ALPHA);
  dxBarSetWindowAlpha(wnd, 255);
  EXPECT_EQ(exStyle(), plain);
  DestroyWindow(wnd);
}

// A helper in a chain of key-tip levels.
class TFakeHelper : public IdxBarAccessibilityHelper {
 public:
  TFakeHelper(TFakeHelper* AParent, bool AScope) : Parent(AParent), Scope(AScope) {}
  IdxBarAccessibilityHelper* BarHelper() override { return Bar; }
  IdxBarAccessibilityHelper* KeyTipScopeParent() override { return Parent; }
  bool IsKeyTipScope() override { return Scope; }
  void LeaveKeyTipScope() override { ++Left; }
  void OwnerObjectDestroyed() override { Destroyed = true; }
  TFakeHelper* Parent;
  bool Scope;
  TFakeHelper* Bar = this;
  int Left = 0;
  bool Destroyed = false;
};

TEST(dxBarKeyTips, ScopesStepsBackAndHelpersOfDestroyedObjects) {
  TFakeHelper root(nullptr, false), menu(&root, true), group(&menu, false), button(&group, false);
  const struct {
    const char* what;
    TFakeHelper* helper;
    IdxBarAccessibilityHelper* scope;
  } cases[] = {{"up to the first level", &button, &menu},
               {"the parent opens a level", &group, &menu},
               {"the topmost when none above opens one", &menu, &root},
               {"no parent", &root, nullptr},
               {"nil", nullptr, nullptr}};
  for (const auto& c : cases) EXPECT_EQ(dxBarFindKeyTipScope(c.helper), c.scope) << c.what;
  button.Bar = &menu;
  dxBarKeyTipsStepBack(&button);
  EXPECT_EQ(menu.Left, 1) << "the bar's helper leaves its level";
  EXPECT_EQ(button.Left, 0);
  dxBarKeyTipsStepBack(nullptr);
  IdxBarAccessibilityHelper* held = &group;
  dxBarOwnerHelperDestroyed(held);
  EXPECT_TRUE(group.Destroyed);
  EXPECT_EQ(held, nullptr);
  dxBarOwnerHelperDestroyed(held);
}

TFakeHelper* hookAnswer = nullptr;

TEST(dxBarKeyTips, RootAccessibleAsksTheHookFirst) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  Make<TdxBarManager>(form.get());
  form->HandleNeeded();
  TFakeHelper root(nullptr, true);
  EXPECT_EQ(dxBarRootAccessibleForWindow(form->Handle()), nullptr) << "no main menu";
  dxBarRootAccessibleHook() = [](HWND) -> IdxBarAccessibilityHelper* { return hookAnswer; };
  TFinally noHook{[] { dxBarRootAccessibleHook() = nullptr; }};
  hookAnswer = &root;
  EXPECT_EQ(dxBarRootAccessibleForWindow(form->Handle()), &root);
  hookAnswer = nullptr;
  EXPECT_EQ(dxBarRootAccessibleForWindow(form->Handle()), nullptr);
}

TEST(dxBarRoutines, SelectableObjectsAndWeakLinks) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  TdxBarButton* first = manager->AddButton();
  TdxBarButton* second = manager->AddButton();
  TObjectPtr<TObject> plain(Make<TObject>());
  IdxBarSelectableItem* intf = nullptr;
  EXPECT_TRUE(dxBarIsSelectableObject(first, &intf));
  EXPECT_EQ(intf, dxBarSelectableIntfOf(first));
  EXPECT_EQ(dxBarSelectableInstance(intf), first);
  EXPECT_FALSE(dxBarIsSelectableObject(plain.get(), &intf));
  EXPECT_EQ(intf, nullptr);
  EXPECT_FALSE(dxBarIsSelectableOnly(nullptr));
  EXPECT_EQ(dxBarSelectableInstance(nullptr), nullptr);

  TObjectPtr<TdxObjectList> list(Make<TdxObjectList>());
  for (TObject* o : {static_cast<TObject*>(first), plain.get(), static_cast<TObject*>(second), static_cast<TObject*>(manager)})
    list->Add(o);
  dxBarKeepSelectableOnly(list.get());
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Get(0), first);
  EXPECT_EQ(list->Get(1), second);

  TcxObjectLink* link = cxCreateObjectLink(second);
  EXPECT_EQ(dxBarObjectOfLink(link), second);
  TObject::Free(second);
  EXPECT_EQ(dxBarObjectOfLink(link), nullptr) << "the object is gone";
  EXPECT_EQ(dxBarObjectOfLink(nullptr), nullptr);
  dxBarReleaseObjectLink(link);
  EXPECT_EQ(link, nullptr);
  TObject* owned = Make<TObject>();
  dxBarFreeAndClear(owned);
  EXPECT_EQ(owned, nullptr);
}

TEST(dxBarRoutines, NameListsAndSectionDelimiters) {
  std::vector<String> names;
  dxBarEnumNamesToArray(TypeInfoOf<TdxBarDockingStyle>(), names);
  EXPECT_EQ(names, (std::vector<String>{L"dsNone", L"dsLeft", L"dsTop", L"dsRight", L"dsBottom"}));
  TTypeInfo levels;
  levels.Kind = tkSet;
  levels.CompType = &TypeInfoOf<TdxBarItemViewLevel>();
  dxBarSetElementNamesToArray(levels, names);
  EXPECT_EQ(names, (std::vector<String>{L"ivlLargeIconWithText", L"ivlSmallIconWithText", L"ivlSmallIcon",
                                        L"ivlControlOnly"}));
  EXPECT_EQ(dxBarSectionDelimiter(skIni), L".");
  EXPECT_EQ(dxBarSectionDelimiter(skReg), L"\\");
  const struct {
    const wchar_t *caption, *plain;
  } captions[] = {{L"&File", L"File"}, {L"Save && exit", L"Save & exit"}, {L"Tail&", L"Tail"}, {L"&a&b", L"ab"}};
  for (const auto& c : captions) EXPECT_EQ(dxBarRemoveAccelChars(c.caption), c.plain) << c.caption;
  // Scaled from twice the screen's resolution: halves go to the even neighbour.
  const int ppi = Screen->PixelsPerInch();
  const struct {
    int value, reference, scaled;
  } lengths[] = {{10, ppi, 10}, {3, 2 * ppi, 2}, {5, 2 * ppi, 2}, {7, 2 * ppi, 4}, {-3, 2 * ppi, -2}};
  for (const auto& c : lengths) EXPECT_EQ(dxBarScaleToScreenDPI(c.value, c.reference), c.scaled) << c.value;
  int width = 5;
  dxBarEnsureMinWidth(width, 3);
  EXPECT_EQ(width, 5);
  dxBarEnsureMinWidth(width, 9);
  EXPECT_EQ(width, 9);
}

LOGFONTW LogFontOf(HFONT AFont) {
  LOGFONTW font{};
  GetObjectW(AFont, sizeof(font), &font);
  return font;
}

TEST(dxBarRoutines, MenuFontsAndCopiedFonts) {
  TFont source;
  source.SetName(L"Arial");
  source.SetHeight(-8);
  HFONT menu = dxBarCreateMenuFont(&source, false);
  ASSERT_NE(menu, nullptr);
  const LOGFONTW made = LogFontOf(menu);
  EXPECT_LE(made.lfHeight, -11) << "at least 11 pixels";
  EXPECT_EQ(String(made.lfFaceName), L"Arial");
  GdiDeleteObject(menu);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  HFONT system = dxBarCreateMenuFont(&source, true);
  EXPECT_EQ(String(LogFontOf(system).lfFaceName), String(metrics.lfSmCaptionFont.lfFaceName));
  EXPECT_EQ(LogFontOf(system).lfHeight, metrics.lfSmCaptionFont.lfHeight);
  GdiDeleteObject(system);

  TFont target;
  dxBarCopyFont(&source, &target);
  EXPECT_NE(target.Handle(), source.Handle()) << "a handle of its own";
  EXPECT_EQ(String(LogFontOf(target.Handle()).lfFaceName), L"Arial");
  EXPECT_EQ(LogFontOf(target.Handle()).lfHeight, -8);
}

}  // namespace
