// Shortcuts, menu items and their handles, popup menus.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Modules.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include "tests/support/MessagePump.h"
#include "tests/platform/gui/MenusTestSupport.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

TMenuItem* AddItem(TMenuItem* parent, const String& caption, TComponent* owner = nullptr) {
  auto* item = Make<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

String MenuText(HMENU menu, UINT position) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
  return buffer;
}

MENUITEMINFOW MenuInfo(HMENU menu, UINT position) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  GetMenuItemInfoW(menu, position, TRUE, &mii);
  return mii;
}

struct TClickSink : TObject {
  std::vector<String> Log;
  void Clicked(TObject* sender) { Log.push_back(L"click " + static_cast<TMenuItem*>(sender)->Caption()); }
  void Executed(TObject* sender) { Log.push_back(L"execute " + static_cast<TComponent*>(sender)->Name()); }
  void Popped(TObject*) { Log.push_back(L"popup"); }
  void Closed(TObject*) { Log.push_back(L"close"); }
};

// The text form of a component written as a root, with LF line breaks.
std::string WrittenText(TComponent* root) {
  TMemoryStream out, text;
  {
    TWriter writer(&out);
    writer.WriteRootComponent(root);
  }
  out.SetPosition(0);
  ObjectBinaryToText(&out, &text);
  std::string s(static_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureMenuModules(); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

TEST(ShortCutText, NamesAndRoundTrip) {
  struct Case {
    TShortCut sc;
    const wchar_t* text;
  };
  const Case cases[] = {
      {scCtrl | 'S', L"Ctrl+S"},        {scShift | VK_INSERT, L"Shift+Ins"}, {scAlt | VK_F4, L"Alt+F4"},
      {VK_F1, L"F1"},                   {VK_F24, L"F24"},                    {VK_ADD, L"Num +"},
      {VK_BACK, L"BkSp"},               {VK_TAB, L"Tab"},                    {VK_ESCAPE, L"Esc"},
      {VK_RETURN, L"Enter"},            {VK_SPACE, L"Space"},                {VK_PRIOR, L"PgUp"},
      {VK_NEXT, L"PgDn"},               {VK_END, L"End"},                    {VK_HOME, L"Home"},
      {VK_LEFT, L"Left"},               {VK_UP, L"Up"},                      {VK_RIGHT, L"Right"},
      {VK_DOWN, L"Down"},               {VK_DELETE, L"Del"},                 {'0', L"0"},
      {'Z', L"Z"},                      {scCtrl | VK_UP, L"Ctrl+Up"},        {scCtrl | VK_RETURN, L"Ctrl+Enter"},
      {scShift | scCtrl | scAlt | 'A', L"Shift+Ctrl+Alt+A"},                 {VK_NUMPAD5, L"Num 5"},
      {VK_SUBTRACT, L"Num -"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "shortcut " << c.sc);
    EXPECT_EQ(ShortCutToText(c.sc), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.sc);
  }
  EXPECT_EQ(16397, scCtrl | VK_RETURN) << "the editors' default click key";
}

TEST(ShortCutText, ParsingIsCaseInsensitiveAndTakesModifiersInAnyOrder) {
  EXPECT_EQ(TextToShortCut(L"ctrl+s"), scCtrl | 'S');
  EXPECT_EQ(TextToShortCut(L"ALT+f4"), scAlt | VK_F4);
  EXPECT_EQ(TextToShortCut(L"Ctrl+Shift+A"), scShift | scCtrl | 'A');
  EXPECT_EQ(TextToShortCut(L"num +"), VK_ADD);
}

TEST(ShortCutText, UnknownTextAndKeys) {
  for (const wchar_t* text : {L"", L"Ctrl+", L"Foo", L"Ctrl+Foo", L"F25", L"Ctrl+S+", L" Ctrl+S", L"Shift"}) {
    SCOPED_TRACE(testing::Message() << "text '" << testing::PrintToString(String(text)) << "'");
    EXPECT_EQ(TextToShortCut(text), 0);
  }
  EXPECT_EQ(ShortCutToText(0), L"");
  EXPECT_EQ(ShortCutToText(scCtrl | 0x07), L"") << "a key without a name";
}

TEST(ShortCutText, KeyAndShiftState) {
  EXPECT_EQ(ShortCut('C', TShiftState{ssCtrl, ssShift}), scCtrl | scShift | 'C');
  EXPECT_EQ(ShortCut(0x100, TShiftState{ssCtrl}), 0) << "keys must fit a byte";
  EXPECT_EQ(ShortCut(VK_F2, TShiftState{ssLeft, ssDouble}), VK_F2) << "mouse state is no modifier";
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(scAlt | scShift | VK_DELETE, key, shift);
  EXPECT_EQ(key, VK_DELETE);
  EXPECT_TRUE(shift == (TShiftState{ssAlt, ssShift}));

  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  keys[VK_RBUTTON] = 0x81;
  keys[VK_SHIFT] = 0x01;  // toggled, not down
  EXPECT_TRUE(KeyboardStateToShiftState(keys) == (TShiftState{ssCtrl, ssRight}));
  // Alt of a key message comes from its context bit.
  EXPECT_TRUE(KeyDataToShiftState(0x20000000).Contains(ssAlt));
  EXPECT_FALSE(KeyDataToShiftState(0).Contains(ssAlt));
}

// ---------------------------------------------------------------------------
// Menu items and handles
// ---------------------------------------------------------------------------

// The handle shows the visible children with their state, shortcut texts,
// separators and sub-menus, and follows later changes.
TEST_F(MenusTest, HandleMirrorsTheItems) {
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  menu->SetAutoHotkeys(maManual);
  TMenuItem* root = menu->Items();
  TMenuItem* open = AddItem(root, L"&Open");
  open->SetShortCut(scCtrl | 'O');
  AddItem(root, L"-");
  TMenuItem* sub = AddItem(root, L"Recent");
  AddItem(sub, L"a.txt");
  AddItem(sub, L"b.txt");
  TMenuItem* hidden = AddItem(root, L"Hidden");
  hidden->SetVisible(false);
  TMenuItem* off = AddItem(root, L"Off");
  off->SetEnabled(false);
  TMenuItem* checked = AddItem(root, L"Checked");
  checked->SetChecked(true);

  HMENU h = menu->Handle();
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(GetMenuItemCount(h), 5);
  EXPECT_EQ(MenuText(h, 0), L"&Open\tCtrl+O");
  EXPECT_EQ(MenuInfo(h, 0).wID, open->Command());
  EXPECT_TRUE(MenuInfo(h, 1).fType & MFT_SEPARATOR);
  EXPECT_EQ(MenuInfo(h, 2).hSubMenu, sub->Handle());
  EXPECT_EQ(GetMenuItemCount(sub->Handle()), 2);
  EXPECT_EQ(MenuText(sub->Handle(), 1), L"b.txt");
  EXPECT_EQ(MenuText(h, 3), L"Off");
  EXPECT_TRUE(MenuInfo(h, 3).fState & MFS_DISABLED);
  EXPECT_TRUE(MenuInfo(h, 4).fState & MFS_CHECKED);

  open->SetCaption(L"&Open...");
  EXPECT_EQ(MenuText(h, 0), L"&Open...\tCtrl+O");
  hidden->SetVisible(true);
  EXPECT_EQ(GetMenuItemCount(h), 6);
  EXPECT_EQ(MenuText(h, 3), L"Hidden");
  off->SetMenuIndex(0);
  EXPECT_EQ(MenuText(h, 0), L"Off");
  EXPECT_EQ(open->MenuIndex(), 1);

  // A child freed by whoever owns it leaves its parent and the handle, and
  // takes its sub-menu with it; the menu destroys its own handle.
  HMENU subHandle = sub->Handle();
  TObject::Free(sub);
  EXPECT_EQ(GetMenuItemCount(h), 5);
  EXPECT_EQ(root->Find(L"Recent"), nullptr);
  EXPECT_FALSE(IsMenu(subHandle));
  menu.reset();
  EXPECT_FALSE(IsMenu(h));
}

TEST_F(MenusTest, TreeOperationsAndErrors) {
  auto root = MakeOwned<TMenuItem>(nullptr);
  TMenuItem* a = AddItem(root.get(), L"&Alpha");
  TMenuItem* b = AddItem(root.get(), L"Beta");
  TMenuItem* c = AddItem(a, L"Gamma");
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(root->Find(L"alpha"), a) << "without accelerator marks, any case";
  EXPECT_EQ(root->Find(L"B&eta"), b);
  EXPECT_EQ(c->Parent(), a);

  EXPECT_THROW(root->Add(c), EMenuError) << "already has a parent";
  EXPECT_THROW(root->Items(2), EMenuError);
  EXPECT_THROW(root->Remove(c), EMenuError) << "not a child of root";
  auto loose = MakeOwned<TMenuItem>(nullptr);
  EXPECT_THROW(root->Insert(5, loose.get()), EMenuError);
  // Cycles: an item cannot go below itself.
  root->Delete(0);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_THROW(c->Add(a), EMenuError);
  EXPECT_THROW(a->Add(a), EMenuError);
  root->Insert(0, a);
  EXPECT_EQ(root->Items(0), a);

  root->Clear();
  EXPECT_EQ(root->Count(), 0);
}

// With automatic hotkeys each entry without one gets the first letter that
// its siblings do not use; the captions themselves stay as they are.
TEST_F(MenusTest, AutomaticHotkeys) {
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  EXPECT_EQ(menu->AutoHotkeys(), maAutomatic);
  TMenuItem* root = menu->Items();
  AddItem(root, L"Open");
  TMenuItem* options = AddItem(root, L"Options");
  AddItem(root, L"&Print");
  AddItem(root, L"-");
  AddItem(root, L"O");
  HMENU h = menu->Handle();
  EXPECT_EQ(MenuText(h, 0), L"&Open");
  EXPECT_EQ(MenuText(h, 1), L"Op&tions");
  EXPECT_EQ(MenuText(h, 2), L"&Print");
  EXPECT_EQ(MenuText(h, 4), L"O") << "no free letter";
  EXPECT_EQ(options->Caption(), L"Options");
  EXPECT_EQ(options->DisplayCaption(), L"Op&tions");
  menu->SetAutoHotkeys(maManual);
  EXPECT_EQ(MenuText(h, 0), L"Open");
}

TEST_F(MenusTest, ClickAndCommands) {
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  TClickSink sink;
  TMenuItem* item = AddItem(menu->Items(), L"Go");
  item->OnClick = TNotifyEvent::Bind<&TClickSink::Clicked>(&sink);
  EXPECT_TRUE(menu->DispatchCommand(item->Command()));
  EXPECT_EQ(sink.Log, std::vector<String>{L"click Go"});
  EXPECT_FALSE(menu->DispatchCommand(0xEFFF));

  item->SetEnabled(false);
  item->Click();
  EXPECT_EQ(sink.Log.size(), 1u) << "a disabled item does not click";

  item->SetEnabled(true);
  item->SetAutoCheck(true);
  item->Click();
  EXPECT_TRUE(item->Checked());

  // Radio items of one group: checking one unchecks the others.
  TMenuItem* r1 = AddItem(menu->Items(), L"r1");
  TMenuItem* r2 = AddItem(menu->Items(), L"r2");
  for (TMenuItem* r : {r1, r2}) {
    r->SetRadioItem(true);
    r->SetGroupIndex(3);
  }
  r1->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(MenuInfo(menu->Handle(), 2).fType & MFT_RADIOCHECK);

  // Commands are unique among live items and reused after an item is gone.
  const UINT cmd = r2->Command();
  EXPECT_NE(cmd, r1->Command());
  TObject::Free(r2);
  auto again = MakeOwned<TMenuItem>(nullptr);
  EXPECT_EQ(again->Command(), cmd);
}

TEST_F(MenusTest, ShortCutsRunEnabledItems) {
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  TClickSink sink;
  TMenuItem* sub = AddItem(menu->Items(), L"Edit");
  TMenuItem* copy = AddItem(sub, L"Copy");
  copy->SetShortCut(scCtrl | 'C');
  copy->OnClick = TNotifyEvent::Bind<&TClickSink::Clicked>(&sink);
  EXPECT_TRUE(menu->IsShortCut(scCtrl | 'C'));
  EXPECT_EQ(sink.Log, std::vector<String>{L"click Copy"});
  EXPECT_FALSE(menu->IsShortCut(scCtrl | 'V'));
  sub->SetEnabled(false);
  EXPECT_FALSE(menu->IsShortCut(scCtrl | 'C')) << "inside a disabled sub-menu";
  EXPECT_EQ(sink.Log.size(), 1u);
}

// ---------------------------------------------------------------------------
// Items with actions
// ---------------------------------------------------------------------------

TEST_F(MenusTest, ItemFollowsItsAction) {
  auto owner = MakeOwned<TComponent>(nullptr);
  auto* action = Make<TAction>(owner.get());
  action->SetName(L"aSave");
  action->SetCaption(L"&Save");
  action->SetShortCut(scCtrl | 'S');
  action->SetImageIndex(4);
  action->SetHint(L"Save the file");
  TClickSink sink;
  action->OnExecute = TNotifyEvent::Bind<&TClickSink::Executed>(&sink);

  auto menu = MakeOwned<TPopupMenu>(nullptr);
  menu->SetAutoHotkeys(maManual);
  TMenuItem* item = AddItem(menu->Items(), L"");
  item->SetName(L"miSave");
  item->SetAction(action);
  EXPECT_EQ(item->Caption(), L"&Save");
  EXPECT_EQ(item->ShortCut(), scCtrl | 'S');
  EXPECT_EQ(item->ImageIndex(), 4);
  EXPECT_EQ(item->Hint(), L"Save the file");
  EXPECT_EQ(MenuText(menu->Handle(), 0), L"&Save\tCtrl+S");

  action->SetCaption(L"Save &As");
  action->SetEnabled(false);
  action->SetChecked(true);
  EXPECT_EQ(item->Caption(), L"Save &As");
  EXPECT_FALSE(item->Enabled());
  EXPECT_TRUE(item->Checked());
  EXPECT_TRUE(MenuInfo(menu->Handle(), 0).fState & MFS_DISABLED);
  action->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(menu->Handle()), 0);
  action->SetVisible(true);
  action->SetEnabled(true);

  // Clicking the item runs the action with the item as its component.
  item->Click();
  EXPECT_EQ(sink.Log, std::vector<String>{L"execute aSave"});

  // Linked properties are not stored with the item.
  auto* link = item->ActionLink();
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->IsCaptionLinked());
  item->SetCaption(L"Other");
  EXPECT_FALSE(link->IsCaptionLinked());

  // The action going away leaves the item as it was, the handler it took
  // from the action included.
  TObject::Free(action);
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(item->Caption(), L"Other");
  item->Click();
  EXPECT_EQ(sink.Log, (std::vector<String>{L"execute aSave", L"execute miSave"}));
}

// Before a sub-menu opens (WM_INITMENUPOPUP to the popup list's window) the
// actions of its items update them.
TEST_F(MenusTest, OpeningASubMenuUpdatesItsActions) {
  auto owner = MakeOwned<TComponent>(nullptr);
  auto* action = Make<TAction>(owner.get());
  struct TUpdater : TObject {
    int Calls = 0;
    void Update(TObject* sender) {
      ++Calls;
      static_cast<TAction*>(sender)->SetEnabled(false);
    }
    void Execute(TObject*) {}
  } updater;
  action->OnUpdate = TNotifyEvent::Bind<&TUpdater::Update>(&updater);
  action->OnExecute = TNotifyEvent::Bind<&TUpdater::Execute>(&updater);
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  TMenuItem* item = AddItem(menu->Items(), L"x");
  item->SetAction(action);
  ASSERT_TRUE(item->Enabled());
  SendMessageW(PopupList().Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu->Handle()), 0);
  EXPECT_EQ(updater.Calls, 1);
  EXPECT_FALSE(item->Enabled());
  EXPECT_TRUE(MenuInfo(menu->Handle(), 0).fState & MFS_DISABLED);
}

// ---------------------------------------------------------------------------
// Streaming
// ---------------------------------------------------------------------------

TEST_F(MenusTest, PopupMenuLoadsFromAStoredDefinition) {
  const std::string text =
      "object PopupMenu1: TPopupMenu\n"
      "  AutoHotkeys = maManual\n"
      "  Alignment = paRight\n"
      "  object Item1: TMenuItem\n"
      "    Caption = 'x'\n"
      "  end\n"
      "  object N1: TMenuItem\n"
      "    Caption = '-'\n"
      "  end\n"
      "  object Sub1: TMenuItem\n"
      "    Caption = '&More'\n"
      "    object Inner1: TMenuItem\n"
      "      Caption = 'Inner'\n"
      "      ShortCut = 16397\n"
      "      Checked = True\n"
      "    end\n"
      "  end\n"
      "end\n";
  Owned<TComponent> guard = ReadRootFromText(text);
  TComponent* root = guard.get();
  auto* menu = dynamic_cast<TPopupMenu*>(root);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Alignment(), paRight);
  ASSERT_EQ(menu->Items()->Count(), 3);
  TMenuItem* sub = menu->Items()->Items(2);
  EXPECT_EQ(sub->Name(), L"Sub1");
  EXPECT_EQ(sub->GetParentComponent(), menu);
  ASSERT_EQ(sub->Count(), 1);
  TMenuItem* inner = sub->Items(0);
  EXPECT_EQ(inner->GetParentComponent(), sub);
  EXPECT_TRUE(inner->Checked());
  EXPECT_EQ(inner->ShortCut(), scCtrl | VK_RETURN);

  HMENU h = menu->Handle();
  ASSERT_EQ(GetMenuItemCount(h), 3);
  EXPECT_EQ(MenuText(h, 0), L"x");
  EXPECT_EQ(MenuText(GetSubMenu(h, 2), 0), L"Inner\tCtrl+Enter");

  // Written back, the items are nested as they were read.
  const std::string written = WrittenText(menu);
  EXPECT_NE(written.find("  object Sub1: TMenuItem\n    Caption = '&More'\n    object Inner1: TMenuItem"),
            std::string::npos)
      << written;
}

TEST_F(MenusTest, ActionLinkedCaptionIsNotStored) {
  auto owner = MakeOwned<TComponent>(nullptr);
  owner->SetName(L"Form1");
  auto* action = Make<TAction>(owner.get());
  action->SetName(L"aOpen");
  action->SetCaption(L"Open");
  auto* menu = Make<TPopupMenu>(owner.get());
  menu->SetName(L"pm");
  auto* item = Make<TMenuItem>(owner.get());
  item->SetName(L"miOpen");
  menu->Items()->Add(item);
  item->SetAction(action);

  std::string written = WrittenText(menu);
  EXPECT_NE(written.find("Action = Form1.aOpen"), std::string::npos) << written;
  EXPECT_EQ(written.find("Caption"), std::string::npos) << written;
  item->SetCaption(L"Own");
  written = WrittenText(menu);
  EXPECT_NE(written.find("Caption = 'Own'"), std::string::npos) << written;
}

// ---------------------------------------------------------------------------
// Owner-drawn items
// ---------------------------------------------------------------------------

// With images the items are drawn by the library: the popup list's window
// answers WM_MEASUREITEM and WM_DRAWITEM for them.
TEST_F(MenusTest, ItemsWithImagesAreOwnerDrawn) {
  auto images = MakeOwned<TImageList>(nullptr);
  images->SetWidth(20);
  images->SetHeight(24);
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  TMenuItem* item = AddItem(menu->Items(), L"Cut");
  TMenuItem* plain = AddItem(menu->Items(), L"-");
  EXPECT_FALSE(MenuInfo(menu->Handle(), 0).fType & MFT_OWNERDRAW);
  menu->SetImages(images.get());
  EXPECT_TRUE(MenuInfo(menu->Handle(), 0).fType & MFT_OWNERDRAW);
  EXPECT_TRUE(MenuInfo(menu->Handle(), 1).fType & MFT_SEPARATOR) << "separators stay the system's";
  (void)plain;

  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = item->Command();
  mis.itemData = reinterpret_cast<ULONG_PTR>(item);
  EXPECT_EQ(SendMessageW(PopupList().Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
  EXPECT_GE(mis.itemHeight, 24u + 4u);
  EXPECT_GT(mis.itemWidth, 20u);

  struct TDrawSink : TObject {
    TOwnerDrawState State;
    TRect Rect;
    int Calls = 0;
    void Measure(TObject*, TCanvas*, int& w, int& h) {
      w = 111;
      h = 33;
    }
    void Draw(TObject*, TCanvas* canvas, const TRect& r, TOwnerDrawState state) {
      ++Calls;
      State = state;
      Rect = r;
      canvas->Brush()->SetColor(clRed);
      canvas->FillRect(r);
    }
  } drawSink;
  item->OnMeasureItem = TMenuMeasureItemEvent::Bind<&TDrawSink::Measure>(&drawSink);
  item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::Bind<&TDrawSink::Draw>(&drawSink);
  SendMessageW(PopupList().Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(mis.itemWidth, 111u);
  EXPECT_EQ(mis.itemHeight, 33u);

  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(60, 30);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = item->Command();
  dis.itemData = reinterpret_cast<ULONG_PTR>(item);
  dis.itemState = ODS_SELECTED | ODS_CHECKED;
  dis.hDC = bitmap->Canvas()->Handle();
  dis.rcItem = RECT{5, 5, 50, 25};
  EXPECT_EQ(SendMessageW(PopupList().Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
  EXPECT_EQ(drawSink.Calls, 1);
  EXPECT_TRUE(drawSink.State == (TOwnerDrawState{odSelected, odChecked}));
  EXPECT_EQ(drawSink.Rect, TRect(5, 5, 50, 25));
  EXPECT_EQ(bitmap->Canvas()->GetPixel(5, 5), clRed);
  EXPECT_EQ(bitmap->Canvas()->GetPixel(49, 24), clRed);
  EXPECT_NE(bitmap->Canvas()->GetPixel(50, 25), clRed) << "right and bottom edges stay outside";

  // Without handlers the item paints itself: the selection colour behind
  // and its image in the glyph column.
  item->OnMeasureItem = nullptr;
  item->OnAdvancedDrawItem = nullptr;
  auto red = MakeOwned<TBitmap>();
  red->SetPixelFormat(pf32bit);
  red->SetSize(20, 24);
  red->Canvas()->Brush()->SetColor(clRed);
  red->Canvas()->FillRect(Rect(0, 0, 20, 24));
  ASSERT_EQ(images->Add(red.get(), nullptr), 0);
  item->SetImageIndex(0);
  bitmap->SetSize(100, 30);
  dis.hDC = bitmap->Canvas()->Handle();
  dis.itemState = ODS_SELECTED;
  dis.rcItem = RECT{0, 0, 100, 30};
  SendMessageW(PopupList().Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(bitmap->Canvas()->GetPixel(1, 1), ColorToRGB(clHighlight));
  EXPECT_EQ(bitmap->Canvas()->GetPixel(10, 10), clRed);
  EXPECT_EQ(bitmap->Canvas()->GetPixel(98, 28), ColorToRGB(clHighlight));

  // An item id of no live menu is not answered.
  dis.itemID = 0xEFFE;
  EXPECT_EQ(SendMessageW(PopupList().Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), FALSE);
}

// ---------------------------------------------------------------------------
// Showing a popup menu
// ---------------------------------------------------------------------------

// The menu loop runs an action posted before Popup while the menu is up;
// a hang guard ends the loop with EndMenu should nothing else end it.
namespace {
void EndMenuLoop() { EndMenu(); }
void PostKey(WPARAM key) { PostMessageW(PopupList().Window(), WM_KEYDOWN, key, 0); }
}  // namespace

TEST_F(MenusTest, ChoosingAnEntryClicksIt) {
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  TClickSink sink;
  TMenuItem* item = AddItem(menu->Items(), L"First");
  item->OnClick = TNotifyEvent::Bind<&TClickSink::Clicked>(&sink);
  AddItem(menu->Items(), L"Second")->OnClick = TNotifyEvent::Bind<&TClickSink::Clicked>(&sink);
  // Down selects the first entry, Enter chooses it.
  TPostedAction keys([] {
    PostKey(VK_DOWN);
    PostKey(VK_RETURN);
  });
  THangGuard guard(&EndMenuLoop);
  menu->Popup(200, 150);
  EXPECT_TRUE(keys.Ran());
  EXPECT_FALSE(guard.Fired());
  EXPECT_TRUE(sink.Log.empty()) << "the click runs from the queue, after Popup returned";
  PumpQueuedMessages();
  EXPECT_EQ(sink.Log, std::vector<String>{L"click First"});
}

TEST_F(MenusTest, PopupShowsAndEscapeDismissesIt) {
  auto menu = MakeOwned<TPopupMenu>(nullptr);
  TClickSink sink;
  menu->OnPopup = TNotifyEvent::Bind<&TClickSink::Popped>(&sink);
  menu->OnClose = TNotifyEvent::Bind<&TClickSink::Closed>(&sink);
  TMenuItem* item = AddItem(menu->Items(), L"First");
  item->OnClick = TNotifyEvent::Bind<&TClickSink::Clicked>(&sink);
  AddItem(menu->Items(), L"Second");

  TPostedAction escape([] { PostKey(VK_ESCAPE); });
  THangGuard guard(&EndMenuLoop);
  menu->Popup(100, 100);
  EXPECT_TRUE(escape.Ran());
  EXPECT_FALSE(guard.Fired());
  EXPECT_EQ(menu->PopupPoint(), TPoint(100, 100));
  PumpQueuedMessages();
  EXPECT_EQ(sink.Log, (std::vector<String>{L"popup", L"close"})) << "dismissed: nothing clicked";

  // The WM_COMMAND a chosen entry posts reaches the item's Click.
  PostMessageW(PopupList().Window(), WM_COMMAND, item->Command(), 0);
  PumpQueuedMessages();
  EXPECT_EQ(sink.Log.back(), L"click First");
}

// A menu freed while it is shown (a handler closes its form) ends the menu
// loop; Popup comes back without touching it.
TEST_F(MenusTest, FreedWhileShown) {
  TPopupMenu* doomed = Make<TPopupMenu>(nullptr);
  TClickSink sink;
  // Should the posted action never run, the menu must not outlive the test still bound
  // to the sink on this stack.
  struct FreeIfLeft {
    TPopupMenu*& menu;
    ~FreeIfLeft() {
      if (menu) menu->OnClose = nullptr;
      FreeAndNil(menu);
    }
  } left{doomed};
  doomed->OnClose = TNotifyEvent::Bind<&TClickSink::Closed>(&sink);
  AddItem(doomed->Items(), L"One");
  AddItem(AddItem(doomed->Items(), L"Two"), L"Inner");
  TPostedAction freeIt([&] { FreeAndNil(doomed); });
  THangGuard guard(&EndMenuLoop);
  doomed->Popup(50, 50);
  EXPECT_TRUE(freeIt.Ran());
  EXPECT_EQ(doomed, nullptr);
  EXPECT_FALSE(guard.Fired()) << "ended by the menu's destruction, not by the guard";
  EXPECT_TRUE(sink.Log.empty()) << "no OnClose of a freed menu";
}

TEST_F(MenusTest, NewItemHelpers) {
  TClickSink sink;
  TMenuItem* sub = NewSubMenu(L"&File", 0, L"mnuFile",
                              {NewItem(L"&New", scCtrl | 'N', false, true,
                                       TNotifyEvent::Bind<&TClickSink::Clicked>(&sink), 0, L"mnuNew"),
                               NewLine(), NewItem(L"E&xit", 0, false, true, nullptr, 0, L"")});
  Owned<TMenuItem> guard(sub, &TObject::Free);
  ASSERT_EQ(sub->Count(), 3);
  EXPECT_EQ(sub->Name(), L"mnuFile");
  EXPECT_TRUE(sub->Items(1)->IsLine());
  EXPECT_EQ(sub->Items(0)->ShortCut(), scCtrl | 'N');
  sub->Items(0)->Click();
  EXPECT_EQ(sink.Log, std::vector<String>{L"click &New"});
}
