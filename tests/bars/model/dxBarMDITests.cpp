// The main form's manager follows real MDI children: their activation, the
// maximized child's system menu at the front of the main menu, the merge of
// the child's main menu, and the MDI buttons' commands.
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/MessagePump.h"

#include "foundation/cxClasses.h"
#include "platform/core/Lists.h"

#include <gtest/gtest.h>

namespace {

// Stands for the system-menu entry the sub-item layer makes.
class TTestSystemMenuItem : public TdxBarButton {
  DECLARE_CLASS(TTestSystemMenuItem, TdxBarButton)
  explicit TTestSystemMenuItem(TComponent* AOwner) : TdxBarButton(AOwner) {}
  HWND Child = nullptr;
};

TdxBarItem* MakeSystemMenuItem(TComponent* AOwner, HWND AChild) {
  auto* item = Make<TTestSystemMenuItem>(AOwner);
  item->Child = AChild;
  return item;
}

// The MDI changes heard, with the windows named when they are read (a child
// is activated while its window is made, before the test knows it).
struct TMDILog : TObject {
  void Changed(TObject*, const void* AArgs) {
    const auto& data = *static_cast<const TdxBarMDIStateChangeEventData*>(AArgs);
    static const Char* names[] = {L"activated", L"deactivated", L"maximized"};
    Events.emplace_back(names[data.Change], data.Wnd);
  }
  void Merged(TdxBarManager*, TdxBarManager*, bool AAddItems) {
    Events.emplace_back(AAddItems ? L"merge" : L"unmerge", nullptr);
  }
  std::vector<String> Take(bool AWithMaximized = true) {
    std::vector<String> result;
    for (auto& [what, wnd] : Events)
      if (AWithMaximized || what != L"maximized") result.push_back(wnd ? what + L" " + Name(wnd) : what);
    Events.clear();
    return result;
  }
  String Name(HWND AWnd) {
    for (auto& [wnd, name] : Names)
      if (wnd == AWnd) return name;
    return L"?";
  }
  std::vector<std::pair<HWND, String>> Names;
  std::vector<std::pair<String, HWND>> Events;
};

class dxBarMDITest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Application->MainForm(), nullptr);
    TBarTestForm* created = nullptr;
    Application->CreateForm(TBarTestForm::StaticClass(), created);
    frame.reset(created);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 640, 480);
    manager = Make<TdxBarManager>(frame.get());
    menu = manager->AddToolBar(true);
    menu->ItemLinks()->Add(Button(manager, L"mFile"));
    frame->Show();
    dxBarSystemMenuItemMaker() = &MakeSystemMenuItem;
    manager->MDIStateChangedHandlers()->Add(TcxEventHandler::Bind<&TMDILog::Changed>(&log));
  }
  void TearDown() override {
    dxBarSystemMenuItemMaker() = nullptr;
    for (TBarTestForm* child : children) TObject::Free(child);
    frame.reset();
  }
  TdxBarItem* Button(TdxBarManager* AManager, const String& AName) {
    TdxBarItem* item = AManager->AddButton();
    item->SetName(AName);
    item->SetMergeOrder(AManager == manager ? 0 : 10);
    return item;
  }
  // A child with a manager whose main menu holds one command.
  TBarTestForm* NewChild(const String& AName) {
    auto* child = Make<TBarTestForm>(Application);
    child->SetName(AName);
    child->SetFormStyle(fsMDIChild);
    auto* childManager = Make<TdxBarManager>(child);
    childManager->AddToolBar(true)->ItemLinks()->Add(Button(childManager, L"c" + AName));
    child->Show();
    children.push_back(child);
    log.Names.emplace_back(child->Handle(), AName);
    return child;
  }
  HWND Client() { return frame->ClientHandle(); }
  std::vector<String> MenuLinks() {
    TdxBarItemLinks* links = menu->ItemLinks();
    std::vector<String> names;
    for (int i = 0; i < links->Count(); ++i) {
      auto* entry = dynamic_cast<TTestSystemMenuItem*>(links->Items(i)->Item());
      names.push_back(entry ? L"[" + log.Name(entry->Child) + L"]" : links->Items(i)->Item()->Name());
    }
    return names;
  }
  std::vector<String> TakeEvents(bool AWithMaximized = true) { return log.Take(AWithMaximized); }
  TdxBar* ChildMenu(TBarTestForm* AChild) { return ManagerOf(AChild)->MainMenuBar(); }

  TObjectPtr<TBarTestForm> frame;
  TdxBarManager* manager = nullptr;
  TdxBar* menu = nullptr;
  std::vector<TBarTestForm*> children;
  TMDILog log;
};

using Names = std::vector<String>;

TEST_F(dxBarMDITest, MaximizedChildsSystemMenuLeadsTheMainMenuWhileItIsMaximized) {
  TBarTestForm* a = NewChild(L"A");
  EXPECT_EQ(manager->ActiveMDIChild(), a->Handle());
  EXPECT_EQ(TakeEvents(), (Names{L"activated A"}));
  EXPECT_EQ(MenuLinks(), (Names{L"mFile"}));

  SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_TRUE(manager->IsMDIMaximized());
  EXPECT_EQ(TakeEvents(), (Names{L"maximized A"}));
  EXPECT_EQ(MenuLinks(), (Names{L"[A]", L"mFile", L"cA"}));
  EXPECT_EQ(manager->InternalItems()->Count(), 1);

  SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_FALSE(manager->IsMDIMaximized());
  EXPECT_EQ(TakeEvents(), (Names{L"maximized A"}));
  EXPECT_EQ(MenuLinks(), (Names{L"mFile"}));
  EXPECT_EQ(manager->InternalItems()->Count(), 0);

  // A new child of a maximized frame comes up maximized: the entry is its own.
  SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  TakeEvents();
  TBarTestForm* b = NewChild(L"B");
  ASSERT_TRUE(IsZoomed(b->Handle()));
  // The system restores A and maximizes B on the way; the activations are what count.
  EXPECT_EQ(TakeEvents(false), (Names{L"deactivated A", L"activated B"}));
  EXPECT_EQ(MenuLinks(), (Names{L"[B]", L"mFile", L"cB"}));

  // Activating another child that is not maximized removes the entry.
  SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(b->Handle()), 0);
  SendMessageW(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  ASSERT_FALSE(IsZoomed(a->Handle()));
  EXPECT_EQ(manager->ActiveMDIChild(), a->Handle());
  EXPECT_EQ(TakeEvents(), (Names{L"maximized B", L"deactivated B", L"activated A"}));
  EXPECT_EQ(MenuLinks(), (Names{L"mFile"}));
}

TEST_F(dxBarMDITest, ChildMenuMergesWhileMaximizedUnlessAlwaysMerged) {
  struct TCase {
    bool alwaysMerge;
    Names shown, maximized, restored;
  } const cases[] = {
      {false, {L"mFile"}, {L"[A]", L"mFile", L"cA"}, {L"mFile"}},
      {true, {L"mFile", L"cA"}, {L"[A]", L"mFile", L"cA"}, {L"mFile", L"cA"}},
  };
  for (const TCase& c : cases) {
    manager->SetAlwaysMerge(c.alwaysMerge);
    TBarTestForm* a = NewChild(L"A");
    EXPECT_EQ(MenuLinks(), c.shown) << c.alwaysMerge;
    EXPECT_EQ(ChildMenu(a)->Visible(), !c.alwaysMerge) << c.alwaysMerge;
    SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    EXPECT_EQ(MenuLinks(), c.maximized) << c.alwaysMerge;
    EXPECT_FALSE(ChildMenu(a)->Visible()) << c.alwaysMerge;
    SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    EXPECT_EQ(MenuLinks(), c.restored) << c.alwaysMerge;
    EXPECT_EQ(ChildMenu(a)->Visible(), !c.alwaysMerge) << c.alwaysMerge;
    TObject::Free(a);
    children.clear();
    EXPECT_EQ(MenuLinks(), (Names{L"mFile"})) << c.alwaysMerge;
    log.Names.clear();
  }
}

// An application that merges the menus itself: the manager only records the
// merge and hides the child's menu, and hears both directions.
TEST_F(dxBarMDITest, OnMenuMergeLetsTheApplicationMergeAndOnMergeReports) {
  manager->OnMenuMerge = TdxBarMergeEvent::Bind<&TMDILog::Merged>(&log);
  TBarTestForm* a = NewChild(L"A");
  TakeEvents();
  SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_EQ(TakeEvents(), (Names{L"merge", L"maximized A"}));
  EXPECT_EQ(MenuLinks(), (Names{L"[A]", L"mFile"}));
  EXPECT_EQ(ChildMenu(a)->MergedWith(), menu);
  EXPECT_FALSE(ChildMenu(a)->Visible());
  manager->OnMenuMerge = nullptr;
  manager->OnMerge = TdxBarMergeEvent::Bind<&TMDILog::Merged>(&log);
  SendMessageW(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_EQ(TakeEvents(), (Names{L"unmerge", L"maximized A"}));
  EXPECT_EQ(ChildMenu(a)->MergedWith(), nullptr);
  EXPECT_TRUE(ChildMenu(a)->Visible());
}

TEST_F(dxBarMDITest, MDIButtonsSendTheirSystemCommandsToTheActiveChild) {
  TBarTestForm* a = NewChild(L"A");
  EXPECT_TRUE(ManagerOf(a)->OwnerIsMDIChild(false));
  EXPECT_TRUE(ManagerOf(a)->OwnerIsMDIChild(true));
  EXPECT_FALSE(manager->OwnerIsMDIChild(true));
  SendMessageW(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  manager->DoMDIButtonCommand(mdibRestore);
  EXPECT_FALSE(IsZoomed(a->Handle()));
  manager->DoMDIButtonCommand(mdibMinimize);
  EXPECT_TRUE(IsIconic(a->Handle()));
  struct TCloser : TObject {
    void Close(TObject*, TCloseAction& AAction) {
      ++Closes;
      AAction = caFree;
    }
    int Closes = 0;
  } closer;
  a->OnClose = TCloseEvent::Bind<&TCloser::Close>(&closer);
  const HWND window = a->Handle();
  manager->DoMDIButtonCommand(mdibClose);
  EXPECT_EQ(closer.Closes, 1);
  ASSERT_TRUE(PumpMessagesUntil([&] { return !IsWindow(window); }));
  children.clear();
  HWND active = manager->ActiveMDIChild();
  EXPECT_TRUE(active == nullptr || !IsWindow(active)) << active << " " << window;
  EXPECT_EQ(MenuLinks(), (Names{L"mFile"}));
}

TEST(dxBarMDI, NoMDIFrameNoActiveChild) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  auto* manager = Make<TdxBarManager>(form.get());
  form->Show();
  EXPECT_EQ(manager->ActiveMDIChild(), nullptr);
  manager->CheckMDIState();
  EXPECT_FALSE(manager->IsMDIMaximized());
}

}  // namespace

IMPLEMENT_CLASS(TTestSystemMenuItem, TdxBarButton, nullptr)
