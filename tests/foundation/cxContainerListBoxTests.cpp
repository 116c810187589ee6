#include "foundation/cxContainerListBox.h"

#include "platform/core/SysUtils.h"
#include "tests/foundation/cxContainerTestSupport.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

namespace {

using cxtest::TActiveForm;

// The search measures pauses with a tick count the test sets.
class TTestListBox : public TcxCustomInnerListBox {
 public:
  explicit TTestListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner) {}
  DWORD Now = 100000;
  using TcxCustomInnerListBox::ProcessAutoCompleteKey;

 protected:
  DWORD CurrentTickCount() override { return Now; }
};

struct TListOnForm {
  TActiveForm Active;
  TTestListBox* List;
  TListOnForm() {
    List = Make<TTestListBox>(Active.Form.get());
    List->SetParent(Active.Form.get());
    List->SetBounds(10, 10, 150, 120);
    for (const wchar_t* item : {L"apple", L"apricot", L"banana", L"berry", L"中文", L"中国", L"·克里斯",
                                L"é clair", L"\U0001F600 face", L"\U0001F601 grin"})
      List->Items()->Add(item);
    List->SetFocus();
    PumpQueuedMessages();
  }
  // The characters arrive queued one after another, as typing does.
  void Type(const String& AText) {
    for (Char c : AText) PostMessageW(List->Handle(), WM_CHAR, c, 1);
    PumpQueuedMessages();
  }
};

}  // namespace

TEST(cxContainerInnerListBox, IncrementalSearchByTyping) {
  TListOnForm t;
  TTestListBox* list = t.List;
  const int delay = list->AutoCompleteDelay();
  struct Step {
    const char* name;
    String typed;
    DWORD pause;
    int selected;
    String filter;
  };
  const Step steps[] = {
      {"first letters", L"apr", 0, 1, L"apr"},
      {"a pause starts again", L"b", DWORD(delay), 2, L"b"},
      {"within the delay it goes on", L"e", DWORD(delay - 1), 3, L"be"},
      {"Chinese", L"中国", DWORD(delay), 5, L"中国"},
      // U+00B7 and U+00E9 are lead bytes of the Chinese code page, but a
      // Unicode window gets whole characters: each stays what it is.
      {"a middle dot and more", L"·克", DWORD(delay), 6, L"·克"},
      {"a letter alone", L"é", DWORD(delay), 7, L"é"},
      {"a surrogate pair", L"\U0001F601", DWORD(delay), 9, L"\U0001F601"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    list->Now += s.pause;
    t.Type(s.typed);
    EXPECT_EQ(list->ItemIndex(), s.selected);
    EXPECT_EQ(list->AutoCompleteFilter(), s.filter);
  }
  // Backspace takes the pair away as one character; the empty filter
  // selects the first item.
  t.Type(L"\b");
  EXPECT_TRUE(list->AutoCompleteFilter().empty());
  EXPECT_EQ(list->ItemIndex(), 0);
}

TEST(cxContainerInnerListBox, IncrementalSearchLeavesControlKeysAlone) {
  TListOnForm t;
  TTestListBox* list = t.List;
  const std::pair<Char, bool> keys[] = {{L'b', true}, {L'z', true}, {VK_BACK, false}, {VK_RETURN, false},
                                        {VK_ESCAPE, false}};
  for (auto [key, consumed] : keys) {
    Char k = key;
    list->ProcessAutoCompleteKey(k);
    EXPECT_EQ(k == 0, consumed) << int(key);
  }
  EXPECT_EQ(list->AutoCompleteFilter(), L"b");   // Backspace took the z; Enter and Esc are no text
  list->SetAutoComplete(false);
  Char k = L'a';
  list->ProcessAutoCompleteKey(k);
  EXPECT_EQ(k, L'a');
}

namespace {

struct THostedList {
  TActiveForm Active;
  TcxContainer* Container;
  TTestListBox* List;
  THostedList() {
    Container = Make<TcxContainer>(Active.Form.get());
    Container->SetParent(Active.Form.get());
    Container->SetBounds(10, 10, 160, 120);
    List = Make<TTestListBox>(Container);
    List->SetContainer(Container);
    List->SetParent(Container);
    Container->SetInnerControl(List);
    Container->ShortRefreshContainer(false);
    for (int i = 0; i < 60; ++i) List->Items()->Add(L"line " + IntToStr(i));
    PumpQueuedMessages();
  }
};

}  // namespace

TEST(cxContainerInnerListBox, PaintedBarsLieOverTheNativeOnes) {
  THostedList t;
  TcxScrollBar* bar = t.List->VScrollBar();
  ASSERT_TRUE(bar);
  ASSERT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Parent(), t.Container);
  EXPECT_FALSE(t.List->HScrollBar()->Visible());
  SCROLLBARINFO info{};
  ASSERT_TRUE(cxQueryScrollBarInfo(t.List->WindowHandle(), OBJID_VSCROLL, info));
  const TPoint topLeft = t.Container->ScreenToClient(TPoint(info.rcScrollBar.left, info.rcScrollBar.top));
  EXPECT_EQ(bar->BoundsRect(), TRect(topLeft.X, topLeft.Y, topLeft.X + info.rcScrollBar.right - info.rcScrollBar.left,
                                     topLeft.Y + info.rcScrollBar.bottom - info.rcScrollBar.top));
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(t.List->WindowHandle(), SB_VERT, &si);
  EXPECT_EQ(bar->Max(), si.nMax);
  EXPECT_EQ(bar->Position(), si.nPos);

  // The painted bar scrolls the list.
  t.List->SetTopIndex(10);
  PumpQueuedMessages();
  EXPECT_EQ(bar->Position(), t.List->TopIndex());

  // A list narrower than its native bar keeps the painted one hidden.
  t.List->SetBounds(t.List->Left(), t.List->Top(), 8, t.List->Height());
  t.List->SetExternalScrollBarsParameters();
  EXPECT_FALSE(bar->Visible());
}

TEST(cxContainerInnerListBox, WheelGoesToTheContainerFirst) {
  THostedList t;
  t.List->SetFocus();
  PumpQueuedMessages();
  const TPoint center = t.List->ClientToScreen(TPoint(t.List->Width() / 3, t.List->Height() / 2));
  SetCursorPos(center.X, center.Y);
  auto wheel = [] {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    cxtest::SendInputs({in});
    PumpQueuedMessages();
  };
  // The container takes it: the list does not scroll.
  struct TTaker : TObject {
    int Count = 0;
    void Wheel(TObject*, TShiftState, int, TPoint, bool& Handled) {
      ++Count;
      Handled = true;
    }
  } taker;
  t.Container->OnMouseWheel = TMouseWheelEvent::Bind<&TTaker::Wheel>(&taker);
  wheel();
  EXPECT_EQ(taker.Count, 1);
  EXPECT_EQ(t.List->TopIndex(), 0);
  // Not taken: the list scrolls and its painted bar follows.
  t.Container->OnMouseWheel = nullptr;
  wheel();
  EXPECT_GT(t.List->TopIndex(), 0);
  EXPECT_EQ(t.List->VScrollBar()->Position(), t.List->TopIndex());
}

TEST(cxContainerInnerListBox, FocusRectangleOnlyOverTheDefaultDrawing) {
  TListOnForm t;
  t.List->SetStyle(lbOwnerDrawFixed);
  t.List->Handle();
  struct TGreen : TObject {
    void Draw(TWinControl* Control, int, TRect Rect, TOwnerDrawState) {
      static_cast<TcxCustomInnerListBox*>(Control)->Canvas()->Brush()->SetColor(clLime);
      static_cast<TcxCustomInnerListBox*>(Control)->Canvas()->FillRect(Rect);
    }
  } green;
  // The item drawn selected, with or without the focus flag.
  auto draw = [&](cnvtest::TCanvasBitmap& bitmap, bool focused) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.itemID = 0;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_SELECTED | (focused ? ODS_FOCUS : 0);
    dis.hwndItem = t.List->WindowHandle();
    dis.hDC = bitmap.Canvas()->Handle();
    dis.rcItem = RECT{0, 0, 40, 16};
    SendMessageW(t.List->WindowHandle(), CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  };
  for (bool custom : {false, true}) {
    SCOPED_TRACE(custom ? "OnDrawItem" : "default");
    t.List->OnDrawItem = custom ? TDrawItemEvent::Bind<&TGreen::Draw>(&green) : TDrawItemEvent();
    cnvtest::TCanvasBitmap plain(40, 16, clBlack), focused(40, 16, clBlack);
    draw(plain, false);
    draw(focused, true);
    // The focus rectangle is the only difference, and it keeps to the item's edge;
    // whatever the text looks like in the font at hand is the same in both.
    int ring = 0, inside = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 40; ++x)
        if (plain.Pixel(x, y) != focused.Pixel(x, y)) ++(x == 0 || x == 39 || y == 0 || y == 15 ? ring : inside);
    EXPECT_EQ(inside, 0);
    if (custom) {
      EXPECT_EQ(ring, 0);
      EXPECT_EQ(focused.Mismatches([](int, int) { return clLime; }), 0);
    } else {
      EXPECT_GT(ring, 0);
    }
  }
  t.List->OnDrawItem = nullptr;
}
