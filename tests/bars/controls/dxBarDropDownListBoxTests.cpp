// The combo's drop-down list: a press on the combo, a drag into the list and
// a release over an entry choose it; a release that never entered the list
// chooses nothing; moves select the entry under the mouse; the border is the
// look's, outside the client area.
#include "bars/controls/dxBarDropDownListBox.h"
#include "bars/controls/dxBarPainter.h"
#include "foundation/dxOffice11.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include <vector>

namespace {

class TTestCombo : public TdxBarItem, public IdxBarDropDownListCombo {
  DECLARE_CLASS(TTestCombo, TdxBarItem)
  using TdxBarItem::TdxBarItem;
  void ChooseListEntry(int AIndex) override { Chosen.push_back(AIndex); }
  void PreviewListEntry(int AIndex) override { Previewed.push_back(AIndex); }
  std::vector<int> Chosen, Previewed;
};

BEGIN_CLASS(TTestCombo, TdxBarItem, (ConstructWith<TTestCombo, TComponent>))
END_CLASS

// A look with a wider list border of its own, drawn as one fill of the list's colour.
class TWideBorderPainter : public TdxBarPainter {
 public:
  int DropDownListBoxBorderSize() const override { return 3; }
  void DropDownListBoxDrawBorder(HDC DC, TColor AColor, const TRect& R) const override {
    Colors.push_back(AColor);
    Rects.push_back(R);
    dxFillSolidRect(DC, R, static_cast<TColor>(RGB(0, 128, 0)));
  }
  mutable std::vector<TColor> Colors;
  mutable std::vector<TRect> Rects;
};

class TDropDownListTest : public TBarWindowTest {
 protected:
  void SetUp() override {
    TBarWindowTest::SetUp();
    Form->Show();
    Combo = static_cast<TTestCombo*>(Manager->AddItem(TTestCombo::StaticClass()));
    List = Make<TdxBarDropDownListBox>(Combo);
    List->SetParent(Form);
    for (const wchar_t* entry : {L"板材", L"五金件", L"封边条", L"油漆"}) List->Items()->Add(entry);
    List->HandleNeeded();
    const TPoint at = Form->ClientToScreen(TPoint(40, 60));
    List->SetBounds(at.X, at.Y, 120, 140);
    List->SetVisible(true);
    PumpQueuedMessages();
  }
  // The centre of an entry on the screen.
  TPoint EntryCenter(int AIndex) {
    const TRect r = List->ItemRect(AIndex);
    return List->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  }
  // What the combo does when it drops the list down with the button held.
  void DropDownWithButtonHeld() {
    List->WaitForCapture = true;
    SetCapture(List->WindowHandle());
  }
  TTestCombo* Combo = nullptr;
  TdxBarDropDownListBox* List = nullptr;
};

}  // namespace

TEST_F(TDropDownListTest, PressDragAndReleaseOverAnEntryChooseItInOneGesture) {
  DropDownWithButtonHeld();
  // Still over the combo: the list waits.
  MouseMoveTo(Form->ClientToScreen(TPoint(20, 20)));
  EXPECT_TRUE(List->WaitForCapture);
  MouseMoveTo(EntryCenter(2));
  EXPECT_FALSE(List->WaitForCapture);
  EXPECT_EQ(2, List->ItemIndex());
  MouseUp(EntryCenter(2));
  EXPECT_EQ(std::vector<int>{2}, Combo->Chosen);
}

TEST_F(TDropDownListTest, ReleaseThatNeverEnteredTheListChoosesNothing) {
  DropDownWithButtonHeld();
  const TPoint outside = Form->ClientToScreen(TPoint(20, 20));
  MouseMoveTo(outside);
  MouseUp(outside);
  EXPECT_TRUE(Combo->Chosen.empty());
  EXPECT_NE(List->WindowHandle(), GetCapture());
  EXPECT_FALSE(List->WaitForCapture);
  EXPECT_TRUE(IsWindowVisible(List->WindowHandle()));
}

TEST_F(TDropDownListTest, MovesSelectTheEntryUnderTheMouseAndBelowTheLastKeepIt) {
  MouseMoveTo(EntryCenter(1));
  EXPECT_EQ(1, List->ItemIndex());
  MouseMoveTo(EntryCenter(3));
  EXPECT_EQ(3, List->ItemIndex());
  const TRect last = List->ItemRect(3);
  MouseMoveTo(List->ClientToScreen(TPoint(last.Left + 5, last.Bottom + 10)));
  EXPECT_EQ(3, List->ItemIndex());
  // A key typed with nothing selected starts at the top entry.
  List->SetItemIndex(-1);
  Char key = L'x';
  SendMessageW(List->WindowHandle(), WM_CHAR, key, 0);
  EXPECT_EQ(List->TopIndex(), List->ItemIndex());
}

TEST_F(TDropDownListTest, IsATopLevelToolWindowWithTheLooksBorderOutsideItsClientArea) {
  const HWND wnd = List->WindowHandle();
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(wnd, GA_PARENT));
  TCreateParams params;
  List->CreateParams(params);
  EXPECT_EQ(static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_TOPMOST), params.ExStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
  EXPECT_TRUE(params.WindowClass.style & CS_SAVEBITS);
  EXPECT_TRUE(GetClassLongW(wnd, GCL_STYLE) & CS_SAVEBITS);
  const int border = List->BorderSize();
  EXPECT_EQ(2, border);
  RECT window, client;
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  EXPECT_EQ(window.right - window.left - 2 * border, client.right);
  EXPECT_EQ(window.bottom - window.top - 2 * border, client.bottom);
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetWindowDC(wnd);
  const int w = window.right - window.left, h = window.bottom - window.top;
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), GetPixel(dc, 0, 0));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), GetPixel(dc, w - 1, h / 2));
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(List->Color())), GetPixel(dc, 1, h / 2));
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(List->Color())), GetPixel(dc, w / 2, h - 2));
  ReleaseDC(wnd, dc);
}

TEST_F(TDropDownListTest, TheBarOfTheCombosCurrentLinkGivesTheBorder) {
  dxBarAddItemClassToRegistry(TTestCombo::StaticClass(), TdxBarButtonControl::StaticClass(), false);
  struct TUnregister {
    ~TUnregister() { dxBarRemoveItemClassFromRegistry(TTestCombo::StaticClass()); }
  } unregister;
  TdxBar* bar = AddToolbar({L"订单查询"});
  bar->ItemLinks()->Add(Combo);
  PumpQueuedMessages();
  TWideBorderPainter painter;
  ControlOf(bar)->SetPainter(&painter);
  auto* comboControl = dynamic_cast<TdxBarItemControl*>(bar->ItemLinks()->Items(1)->Control());
  ASSERT_NE(comboControl, nullptr);
  comboControl->BecomeActive(true, false);  // the combo drops down from this link
  ASSERT_EQ(bar->ItemLinks()->Items(1), Combo->CurItemLink());
  const HWND wnd = List->WindowHandle();
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RECT window, client;
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  const int w = window.right - window.left, h = window.bottom - window.top;
  EXPECT_EQ(w - 6, client.right);
  EXPECT_EQ(h - 6, client.bottom);
  painter.Rects.clear();
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(painter.Rects.empty());
  EXPECT_EQ(TRect(0, 0, w, h), painter.Rects.back());
  EXPECT_EQ(List->Color(), painter.Colors.back());
  // The look's fill stops at the client area.
  HDC dc = GetWindowDC(wnd);
  EXPECT_EQ(RGB(0, 128, 0), GetPixel(dc, 1, h / 2));
  EXPECT_NE(RGB(0, 128, 0), GetPixel(dc, w / 2, h / 2));
  ReleaseDC(wnd, dc);
  comboControl->BecomeInactive(true);
  ControlOf(bar)->SetPainter(nullptr);
}
