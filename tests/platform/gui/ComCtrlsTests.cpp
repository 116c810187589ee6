// Page control with tab sheets, tree view with nodes, toolbar with buttons:
// the native windows they keep in step, user input, stored definitions.
#include "StdCtrlsTestSupport.h"

#include "platform/gui/ComCtrls.h"

using namespace stdtest;

namespace {

class ComCtrlsPageTest : public StdCtrlsTest {};
class ComCtrlsTreeTest : public StdCtrlsTest {};
class ComCtrlsToolBarTest : public StdCtrlsTest {};

String TabText(HWND tab, int index) {
  Char buf[128] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = 128;
  SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buf;
}

// ---------------------------------------------------------------------------
// Page control
// ---------------------------------------------------------------------------

TTabSheet* AddSheet(TForm* form, TPageControl* pages, const Char* caption) {
  auto* sheet = Make<TTabSheet>(form);
  sheet->SetPageControl(pages);
  sheet->SetCaption(caption);
  return sheet;
}

TEST_F(ComCtrlsPageTest, SheetsAreTabsAndOnlyTheActiveOneShows) {
  auto* pages = Place<TPageControl>(0, 0, 240, 160);
  TTabSheet* a = AddSheet(form, pages, L"Alpha");
  TTabSheet* b = AddSheet(form, pages, L"Beta");
  TTabSheet* c = AddSheet(form, pages, L"Gamma");
  HWND wnd = pages->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, WC_TABCONTROLW));
  ASSERT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(TabText(wnd, 1), L"Beta");
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->Pages(2), c);
  EXPECT_THROW(pages->Pages(3), EListError);
  // Made in code without an active page: the first one shows.
  EXPECT_EQ(pages->ActivePage(), a);
  EXPECT_TRUE(a->Visible());
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(a->BoundsRect(), pages->DisplayRect());

  pages->SetActivePageIndex(2);
  EXPECT_EQ(pages->ActivePage(), c);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(c->Visible());
  EXPECT_FALSE(a->Visible());

  // A caption change reaches its tab; a hidden tab leaves the window and
  // the active page moves on.
  b->SetCaption(L"Bravo");
  EXPECT_EQ(TabText(wnd, 1), L"Bravo");
  c->SetTabVisible(false);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(c->TabIndex(), -1);
  EXPECT_EQ(pages->ActivePage(), a) << "the next page with a tab, wrapping around";
  EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 0);

  // Reordering and freeing pages.
  b->SetPageIndex(0);
  EXPECT_EQ(pages->Pages(0), b);
  EXPECT_EQ(TabText(wnd, 0), L"Bravo");
  EXPECT_EQ(pages->ActivePage(), a);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 1);
  TObject::Free(a);
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), b);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 1);
  // A page of another control cannot become active here.
  auto* other = Place<TPageControl>(250, 0, 100, 100);
  TTabSheet* foreign = AddSheet(form, other, L"X");
  pages->SetActivePage(foreign);
  EXPECT_EQ(pages->ActivePage(), b);
}

class TPageEvents : public TObject {
 public:
  bool Allow = true;
  int Changing = 0, Changed = 0;
  void OnChanging(TObject*, bool& AllowChange) {
    ++Changing;
    AllowChange = Allow;
  }
  void OnChange(TObject*) { ++Changed; }
};

TEST_F(ComCtrlsPageTest, ClickingATabAsksAndSwitchesThePage) {
  TPageEvents events;
  auto* pages = Place<TPageControl>(0, 0, 240, 160);
  TTabSheet* a = AddSheet(form, pages, L"First");
  TTabSheet* b = AddSheet(form, pages, L"Second");
  pages->OnChanging = TTabChangingEvent::Bind<&TPageEvents::OnChanging>(&events);
  pages->OnChange = TNotifyEvent::Bind<&TPageEvents::OnChange>(&events);
  form->Show();
  PumpPending();
  const TRect tab = pages->TabRect(1);
  ASSERT_GT(tab.Width(), 0);
  const LPARAM at = MAKELPARAM((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
  EXPECT_EQ(pages->IndexOfTabAt((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2), 1);

  events.Allow = false;
  SendMessageW(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(pages->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(events.Changing, 1);
  EXPECT_EQ(events.Changed, 0);
  EXPECT_EQ(pages->ActivePage(), a);

  events.Allow = true;
  SendMessageW(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(pages->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(events.Changed, 1);
  EXPECT_EQ(pages->ActivePage(), b);
  EXPECT_TRUE(b->Showing());
  EXPECT_FALSE(a->Visible());
  // Setting the page in code asks nobody.
  pages->SetActivePage(a);
  EXPECT_EQ(events.Changing, 2);
  EXPECT_EQ(events.Changed, 1);
}

TEST_F(ComCtrlsPageTest, SheetsOfAStoredDefinitionAreThePages) {
  const char* text =
      "object Form1: TForm\n"
      "  object PageControl1: TPageControl\n"
      "    Left = 6\n    Top = 8\n    Width = 300\n    Height = 200\n    ActivePage = TabSheet2\n"
      "    object TabSheet1: TTabSheet\n"
      "      Caption = ' Toolbars '\n"
      "      object Button1: TButton\n        Left = 4\n        Top = 4\n        Caption = 'New'\n      end\n"
      "    end\n"
      "    object TabSheet2: TTabSheet\n      Caption = ' Commands '\n      ImageIndex = 1\n    end\n"
      "    object TabSheet3: TTabSheet\n      Caption = 'Key Tips'\n      TabVisible = False\n    end\n"
      "  end\n"
      "end\n";
  ReadDefinition(text, form);
  auto* pages = dynamic_cast<TPageControl*>(form->FindComponent(L"PageControl1"));
  auto* one = dynamic_cast<TTabSheet*>(form->FindComponent(L"TabSheet1"));
  auto* two = dynamic_cast<TTabSheet*>(form->FindComponent(L"TabSheet2"));
  auto* button = dynamic_cast<TButton*>(form->FindComponent(L"Button1"));
  ASSERT_TRUE(pages && one && two && button);
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), two);
  EXPECT_EQ(button->Parent(), one);
  EXPECT_FALSE(one->Visible());
  EXPECT_EQ(two->ImageIndex(), 1);
  HWND wnd = pages->Handle();
  EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TabText(wnd, 0), L" Toolbars ");
  EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 1);

  const String written = WriteDefinition(form);
  EXPECT_NE(written.find(L"ActivePage = TabSheet2"), String::npos);
  const size_t sheet = written.find(L"object TabSheet1: TTabSheet");
  ASSERT_NE(sheet, String::npos);
  EXPECT_LT(written.find(L"object PageControl1"), sheet) << "the sheets are the page control's children";
  EXPECT_NE(written.find(L"TabVisible = False"), String::npos);
  EXPECT_EQ(written.find(L"PageIndex"), String::npos);
}

// ---------------------------------------------------------------------------
// Tree view
// ---------------------------------------------------------------------------

int NativeCount(TTreeView* tree) { return static_cast<int>(SendMessageW(tree->Handle(), TVM_GETCOUNT, 0, 0)); }

String NativeText(TTreeView* tree, TTreeNode* node) {
  Char buf[128] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = node->ItemId();
  item.pszText = buf;
  item.cchTextMax = 128;
  SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return buf;
}

String Order(TTreeNodes* nodes) {
  String s;
  for (TTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNext()) s += n->Text() + L" ";
  return s;
}

TEST_F(ComCtrlsTreeTest, NodesMadeBeforeTheWindowGoIntoItAndSurviveRecreation) {
  auto* tree = Place<TTreeView>(0, 0, 200, 200);
  TTreeNodes* nodes = tree->Items();
  TTreeNode* a = nodes->Add(nullptr, L"A");
  TTreeNode* b = nodes->Add(a, L"B");
  TTreeNode* a1 = nodes->AddChild(a, L"A1");
  nodes->AddChild(a, L"A2");
  nodes->AddChildFirst(a, L"A0");
  nodes->Insert(b, L"AB");
  TTreeNode* b1 = nodes->AddChildObject(b, L"B1", a1);
  EXPECT_EQ(nodes->Count(), 7);
  EXPECT_EQ(Order(nodes), L"A A0 A1 A2 AB B B1 ");
  EXPECT_EQ(nodes->Item(3)->Text(), L"A2");
  EXPECT_EQ(b1->Data(), a1);
  EXPECT_EQ(a1->Parent(), a);
  EXPECT_EQ(a1->Index(), 1);
  EXPECT_EQ(b1->Level(), 1);
  EXPECT_EQ(b1->AbsoluteIndex(), 6);
  a->SetExpanded(true);
  a1->SetSelected(true);

  HWND wnd = tree->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, WC_TREEVIEWW));
  EXPECT_TRUE(StyleOf(wnd) & TVS_HASLINES);
  EXPECT_EQ(NativeCount(tree), 7);
  EXPECT_EQ(NativeText(tree, b1), L"B1");
  EXPECT_EQ(nodes->GetNode(a1->ItemId()), a1);
  EXPECT_TRUE(a->Expanded());
  EXPECT_FALSE(b->Expanded());
  EXPECT_EQ(tree->Selected(), a1);
  EXPECT_EQ(SendMessageW(wnd, TVM_GETNEXTITEM, TVGN_CARET, 0), reinterpret_cast<LRESULT>(a1->ItemId()));

  b->Expand(false);
  tree->SetShowLines(false);   // recreates the window
  EXPECT_NE(tree->Handle(), wnd);
  EXPECT_FALSE(StyleOf(tree->Handle()) & TVS_HASLINES);
  EXPECT_EQ(NativeCount(tree), 7);
  EXPECT_TRUE(a->Expanded());
  EXPECT_TRUE(b->Expanded());
  EXPECT_EQ(tree->Selected(), a1);
  EXPECT_EQ(NativeText(tree, nodes->Item(4)), L"AB");

  a1->SetText(L"renamed");
  EXPECT_EQ(NativeText(tree, a1), L"renamed");
  EXPECT_THROW(nodes->Item(7), EListError);
}

class TTreeEvents : public TObject {
 public:
  bool AllowChange = true, AllowExpand = true;
  std::vector<String> Log;
  void Changing(TObject*, TTreeNode* Node, bool& Allow) {
    Log.push_back(L"changing " + Node->Text());
    Allow = AllowChange;
  }
  void Change(TObject*, TTreeNode* Node) { Log.push_back(L"change " + (Node ? Node->Text() : String(L"-"))); }
  void Expanding(TObject*, TTreeNode* Node, bool& Allow) {
    Log.push_back(L"expanding " + Node->Text());
    Allow = AllowExpand;
  }
  void Expanded(TObject*, TTreeNode* Node) { Log.push_back(L"expanded " + Node->Text()); }
  void Deletion(TObject*, TTreeNode* Node) { Log.push_back(L"deleted " + Node->Text()); }
  void Attach(TTreeView* tree) {
    tree->OnChanging = TTVChangingEvent::Bind<&TTreeEvents::Changing>(this);
    tree->OnChange = TTVChangedEvent::Bind<&TTreeEvents::Change>(this);
    tree->OnExpanding = TTVExpandingEvent::Bind<&TTreeEvents::Expanding>(this);
    tree->OnExpanded = TTVExpandedEvent::Bind<&TTreeEvents::Expanded>(this);
    tree->OnDeletion = TTVExpandedEvent::Bind<&TTreeEvents::Deletion>(this);
  }
  bool Has(const String& entry) const { return std::find(Log.begin(), Log.end(), entry) != Log.end(); }
};

TEST_F(ComCtrlsTreeTest, SelectionAndExpansionAskAndReport) {
  TTreeEvents events;
  auto* tree = Place<TTreeView>(0, 0, 200, 200);
  TTreeNode* a = tree->Items()->Add(nullptr, L"A");
  tree->Items()->AddChild(a, L"A1");
  TTreeNode* b = tree->Items()->Add(nullptr, L"B");
  tree->Items()->AddChild(b, L"B1");
  tree->HandleNeeded();
  events.Attach(tree);

  b->SetSelected(true);
  EXPECT_TRUE(events.Has(L"changing B"));
  EXPECT_TRUE(events.Has(L"change B"));
  events.AllowChange = false;
  a->SetSelected(true);
  EXPECT_EQ(tree->Selected(), b) << "OnChanging refused";
  events.AllowChange = true;

  // The user expands with the keyboard: the window asks first.
  form->Show();
  PumpPending();
  tree->SetFocus();
  events.AllowExpand = false;
  SendMessageW(tree->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_TRUE(events.Has(L"expanding B"));
  EXPECT_FALSE(b->Expanded());
  events.AllowExpand = true;
  SendMessageW(tree->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_TRUE(b->Expanded());
  EXPECT_TRUE(events.Has(L"expanded B"));
  // Expanding in code asks too.
  events.Log.clear();
  a->Expand(false);
  EXPECT_EQ(events.Log, (std::vector<String>{L"expanding A", L"expanded A"}));

  // The row under a point.
  const TRect row = b->DisplayRect(true);
  EXPECT_EQ(tree->GetNodeAt(row.Left + 2, (row.Top + row.Bottom) / 2), b);
  EXPECT_EQ(tree->GetNodeAt(5, 190), nullptr);
}

TEST_F(ComCtrlsTreeTest, DeletingAndMovingKeepTheWindowInStep) {
  TTreeEvents events;
  auto* tree = Place<TTreeView>(0, 0, 200, 200);
  events.Attach(tree);
  TTreeNodes* nodes = tree->Items();
  TTreeNode* a = nodes->Add(nullptr, L"A");
  TTreeNode* a1 = nodes->AddChild(a, L"A1");
  nodes->AddChild(a1, L"A11");
  TTreeNode* b = nodes->Add(nullptr, L"B");
  nodes->Add(nullptr, L"C");
  tree->HandleNeeded();
  EXPECT_EQ(NativeCount(tree), 5);

  b->MoveTo(a, naAddChildFirst);
  EXPECT_EQ(Order(nodes), L"A B A1 A11 C ");
  EXPECT_EQ(b->Parent(), a);
  EXPECT_EQ(NativeCount(tree), 5);
  EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(a->ItemId())),
            reinterpret_cast<LRESULT>(b->ItemId()));
  a1->MoveTo(nullptr, naAdd);
  EXPECT_EQ(Order(nodes), L"A B C A1 A11 ");
  EXPECT_THROW(a->MoveTo(b, naAddChild), EInvalidOperation);
  EXPECT_EQ(Order(nodes), L"A B C A1 A11 ");

  a1->Delete();   // with its child
  EXPECT_EQ(nodes->Count(), 3);
  EXPECT_EQ(NativeCount(tree), 3);
  EXPECT_TRUE(events.Has(L"deleted A1"));
  EXPECT_TRUE(events.Has(L"deleted A11"));
  nodes->Clear();
  EXPECT_EQ(nodes->Count(), 0);
  EXPECT_EQ(NativeCount(tree), 0);
  EXPECT_EQ(nodes->GetFirstNode(), nullptr);
}

// Draws node "B" itself in red and lets the tree draw the others in blue text.
class TTreeDrawer : public TObject {
 public:
  int Calls = 0;
  void Draw(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState, bool& DefaultDraw) {
    ++Calls;
    if (Node->Text() == L"B") {
      Sender->Canvas()->Brush()->SetColor(clRed);
      Sender->Canvas()->FillRect(Node->DisplayRect(false));
      DefaultDraw = false;
    } else {
      Sender->Canvas()->Font()->SetColor(clBlue);
    }
  }
};

TEST_F(ComCtrlsTreeTest, CustomDrawingPaintsOnTheItemsCanvas) {
  TTreeDrawer drawer;
  auto* tree = Place<TTreeView>(0, 0, 120, 80);
  tree->SetBorderStyle(bsNone);
  tree->Items()->Add(nullptr, L"A");
  TTreeNode* b = tree->Items()->Add(nullptr, L"B");
  tree->OnCustomDrawItem = TTVCustomDrawItemEvent::Bind<&TTreeDrawer::Draw>(&drawer);
  tree->HandleNeeded();
  auto* bmp = NewBitmap(120, 80, clWhite);
  tree->PaintTo(bmp->Canvas()->Handle(), 0, 0);
  const TRect row = b->DisplayRect(false);
  EXPECT_EQ(drawer.Calls, 2);
  EXPECT_EQ(PixelAt(bmp, row.Left + 2, (row.Top + row.Bottom) / 2), clRed);
  EXPECT_EQ(PixelAt(bmp, row.Right - 2, (row.Top + row.Bottom) / 2), clRed);
  TObject::Free(bmp);
}

// ---------------------------------------------------------------------------
// Toolbar
// ---------------------------------------------------------------------------

TToolButton* AddButton(TForm* form, TToolBar* bar, TToolButtonStyle style, const Char* caption) {
  auto* button = Make<TToolButton>(form);
  button->SetStyle(style);
  button->SetParent(bar);
  button->SetCaption(caption);
  return button;
}

TBBUTTON NativeButton(TToolBar* bar, int index) {
  TBBUTTON b{};
  SendMessageW(bar->Handle(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
  return b;
}

TEST_F(ComCtrlsToolBarTest, ButtonsAreNativeButtonsAtTheirPlaces) {
  auto* bar = Place<TToolBar>();
  TToolButton* plain = AddButton(form, bar, tbsButton, L"Plain");
  TToolButton* check = AddButton(form, bar, tbsCheck, L"Check");
  TToolButton* sep = AddButton(form, bar, tbsSeparator, L"");
  sep->SetWidth(10);
  TToolButton* drop = AddButton(form, bar, tbsDropDown, L"Drop");
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(bar->Buttons(2), sep);
  HWND wnd = bar->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, TOOLBARCLASSNAMEW));
  ASSERT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 4);
  EXPECT_EQ(NativeButton(bar, 0).fsStyle & 0x0F, BTNS_BUTTON);
  EXPECT_EQ(NativeButton(bar, 1).fsStyle & 0x0F, BTNS_CHECK);
  EXPECT_EQ(NativeButton(bar, 2).fsStyle & 0x0F, BTNS_SEP);
  EXPECT_EQ(NativeButton(bar, 3).fsStyle & 0x0F, BTNS_DROPDOWN);
  for (int i = 0; i < 4; ++i) {
    RECT r{};
    SendMessageW(wnd, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(bar->Buttons(i)->BoundsRect(), TRect(r.left, r.top, r.right, r.bottom)) << i;
  }
  EXPECT_EQ(sep->Width(), 10);
  EXPECT_EQ(plain->Width(), 23);
  EXPECT_EQ(plain->Height(), 22);
  EXPECT_EQ(drop->Index(), 3);

  // State changes reach the native buttons.
  check->SetDown(true);
  EXPECT_TRUE(SendMessageW(wnd, TB_ISBUTTONCHECKED, NativeButton(bar, 1).idCommand, 0));
  plain->SetEnabled(false);
  EXPECT_FALSE(SendMessageW(wnd, TB_ISBUTTONENABLED, NativeButton(bar, 0).idCommand, 0));
  plain->SetVisible(false);
  EXPECT_TRUE(SendMessageW(wnd, TB_ISBUTTONHIDDEN, NativeButton(bar, 0).idCommand, 0));
  TObject::Free(check);
  EXPECT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(bar->ButtonCount(), 3);

  // The hint over a button is the button's.
  drop->SetHint(L"Drop it|Drops the list");
  THintInfo info;
  info.HintControl = bar;
  info.CursorPos = {drop->Left() + 2, drop->Top() + 2};
  info.HintStr = L"toolbar";
  bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.HintStr, L"Drop it");
  EXPECT_EQ(info.CursorRect, drop->BoundsRect());
}

TEST_F(ComCtrlsToolBarTest, ClickingAButtonClicksItAndGroupedChecksExclude) {
  TEventLog log;
  auto* bar = Place<TToolBar>();
  TToolButton* plain = AddButton(form, bar, tbsButton, L"P");
  TToolButton* left = AddButton(form, bar, tbsCheck, L"L");
  TToolButton* right = AddButton(form, bar, tbsCheck, L"R");
  left->SetGrouped(true);
  right->SetGrouped(true);
  plain->OnClick = log.OnClick();
  form->Show();
  PumpPending();
  auto click = [&](TToolButton* b) {
    const LPARAM at = MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, at);
    PumpPending();
  };
  click(plain);
  EXPECT_EQ(log.Count(L"click"), 1);
  click(left);
  EXPECT_TRUE(left->Down());
  click(right);
  EXPECT_TRUE(right->Down());
  EXPECT_FALSE(left->Down()) << "one of a group is down";
  left->SetDown(true);
  EXPECT_FALSE(right->Down());
}

TEST_F(ComCtrlsToolBarTest, StoredToolBarKeepsItsButtonsInOrder) {
  const char* text =
      "object Form1: TForm\n"
      "  object tbGroups: TToolBar\n"
      "    Left = 0\n    Top = 0\n    Width = 160\n    Height = 22\n    EdgeBorders = [ebBottom]\n"
      "    Flat = True\n    ShowHint = True\n"
      "    object btnAdd: TToolButton\n      Left = 0\n      Top = 0\n      Hint = 'Add Group (Ins)'\n"
      "      ImageIndex = 0\n    end\n"
      "    object ToolButton1: TToolButton\n      Left = 23\n      Top = 0\n      Width = 8\n"
      "      Style = tbsSeparator\n    end\n"
      "    object btnDelete: TToolButton\n      Left = 31\n      Top = 0\n      ImageIndex = 1\n    end\n"
      "  end\n"
      "end\n";
  ReadDefinition(text, form);
  auto* bar = dynamic_cast<TToolBar*>(form->FindComponent(L"tbGroups"));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(0)->Name(), L"btnAdd");
  EXPECT_EQ(bar->Buttons(1)->Style(), tbsSeparator);
  EXPECT_EQ(bar->Buttons(1)->Width(), 8);
  EXPECT_EQ(bar->Buttons(2)->ImageIndex(), 1);
  EXPECT_EQ(bar->EdgeBorders(), TEdgeBorders{ebBottom});
  EXPECT_TRUE(bar->Flat());
  HWND wnd = bar->Handle();
  EXPECT_TRUE(StyleOf(wnd) & TBSTYLE_FLAT);
  EXPECT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 3);
  // The bottom edge takes two pixels of the window: client area = height - 2.
  RECT client{};
  ::GetClientRect(wnd, &client);
  EXPECT_EQ(client.bottom, bar->Height() - 2);
  EXPECT_EQ(client.right, bar->Width());

  const String written = WriteDefinition(form);
  const size_t add = written.find(L"object btnAdd"), sep = written.find(L"object ToolButton1"),
               del = written.find(L"object btnDelete");
  ASSERT_NE(add, String::npos);
  EXPECT_LT(add, sep);
  EXPECT_LT(sep, del);
  EXPECT_NE(written.find(L"EdgeBorders = [ebBottom]"), String::npos);
  EXPECT_EQ(written.find(L"Align = alTop"), String::npos) << "a toolbar's default alignment";
}

}  // namespace
