// Mouse and keyboard input with real window messages: capture and clicks,
// windowless children, mouse enter/leave, keys and their reflection, drag
// and drop.
#include "tests/platform/gui/ControlsTestSupport.h"

namespace {

using namespace ctltest;

class TMouseLog : public TObject {
 public:
  std::vector<std::wstring> lines;
  void Down(TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" down " + std::to_wstring(b) + L" " + std::to_wstring(x) +
                    L"," + std::to_wstring(y) + (sh.Contains(ssDouble) ? L" double" : L""));
  }
  void Up(TObject* s, TMouseButton b, TShiftState, int x, int y) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" up " + std::to_wstring(b) + L" " + std::to_wstring(x) +
                    L"," + std::to_wstring(y));
  }
  void Move(TObject* s, TShiftState, int x, int y) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" move " + std::to_wstring(x) + L"," + std::to_wstring(y));
  }
  void Click(TObject* s) { lines.push_back(static_cast<TComponent*>(s)->Name() + L" click"); }
  void DblClick(TObject* s) { lines.push_back(static_cast<TComponent*>(s)->Name() + L" dblclick"); }
  void Attach(TControl* c) {
    c->OnMouseDown = TMouseEvent::Bind<&TMouseLog::Down>(this);
    c->OnMouseUp = TMouseEvent::Bind<&TMouseLog::Up>(this);
    c->OnMouseMove = TMouseMoveEvent::Bind<&TMouseLog::Move>(this);
    c->OnClick = TNotifyEvent::Bind<&TMouseLog::Click>(this);
    c->OnDblClick = TNotifyEvent::Bind<&TMouseLog::DblClick>(this);
  }
};

using V = std::vector<std::wstring>;
using ControlsMouseTest = ControlsTest;

TEST_F(ControlsMouseTest, APressCapturesTheMouseAndAReleaseInsideClicks) {
  MakeRoot();
  auto* a = Named(Make<TCtlPanel>(root), L"A");
  a->SetParent(root);
  a->SetBounds(10, 10, 100, 50);
  TMouseLog log;
  log.Attach(a);
  const HWND h = a->Handle();

  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 6));
  EXPECT_EQ(GetCapture(), h);
  EXPECT_TRUE(a->MouseCapture());
  EXPECT_EQ(GetCaptureControl(), a);
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(7, 8));
  EXPECT_EQ(GetCapture(), nullptr);

  // Released outside: no click.
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 6));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, Pt(150, 6));
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(150, 6));

  // A double click, then the same without csDoubleClicks.
  SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(1, 2));
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(1, 2));
  a->SetControlStyle(a->ControlStyle() - csDoubleClicks);
  SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(1, 2));
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(1, 2));
  // Without csCaptureMouse the press does not capture.
  a->SetControlStyle(a->ControlStyle() - csCaptureMouse);
  SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, Pt(3, 3));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(h, WM_RBUTTONUP, 0, Pt(3, 3));

  EXPECT_EQ(log.lines, (V{L"A down 0 5,6", L"A click", L"A up 0 7,8",                          //
                          L"A down 0 5,6", L"A move 150,6", L"A up 0 150,6",                       //
                          L"A dblclick", L"A down 0 1,2 double", L"A up 0 1,2",              //
                          L"A down 0 1,2", L"A click", L"A up 0 1,2",                            //
                          L"A down 1 3,3", L"A up 1 3,3"}));
}

TEST_F(ControlsMouseTest, AWindowlessChildGetsItsMouseMessagesAndKeepsTheCapture) {
  MakeRoot();
  LogEvents(root);
  auto* g = Named(Make<TCtlGraphic>(root), L"G");
  g->SetParent(root);
  g->SetBounds(50, 40, 30, 20);
  TMouseLog log;
  log.Attach(g);
  log.Attach(root);
  const HWND h = root->Handle();

  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, Pt(55, 45));
  EXPECT_EQ(GetCapture(), h) << "the parent's window holds the capture for it";
  EXPECT_EQ(GetCaptureControl(), g);
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, Pt(200, 200));   // outside: still G's
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(60, 50));
  EXPECT_EQ(GetCaptureControl(), nullptr);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));      // the parent's own area
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(5, 5));

  EXPECT_EQ(log.lines, (V{L"G down 0 5,5", L"G move 150,160", L"G click", L"G up 0 10,10", L"Root down 0 5,5",
                          L"Root click", L"Root up 0 5,5"}));
}

TEST_F(ControlsMouseTest, EnterAndLeaveFollowTheControlUnderTheMouse) {
  MakeRoot();
  LogEvents(root);
  auto* g = Named(Make<TCtlGraphic>(root), L"G");
  g->SetParent(root);
  g->SetBounds(50, 40, 30, 20);
  LogEvents(g);
  auto* w = Named(Make<TCtlPanel>(root), L"W");
  w->SetParent(root);
  w->SetBounds(200, 100, 50, 50);
  LogEvents(w);

  SendMessageW(root->Handle(), WM_MOUSEMOVE, 0, Pt(55, 45));
  EXPECT_EQ(MouseControl(), g);
  SendMessageW(root->Handle(), WM_MOUSEMOVE, 0, Pt(56, 45));   // no change: no messages
  SendMessageW(root->Handle(), WM_MOUSEMOVE, 0, Pt(10, 10));
  SendMessageW(w->Handle(), WM_MOUSEMOVE, 0, Pt(1, 1));
  SendMessageW(w->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(MouseControl(), nullptr);

  EXPECT_EQ(Log(), (V{L"cm_enter:Root<G", L"mouseenter:G",                                    //
                      L"cm_leave:Root<G", L"mouseleave:G", L"cm_enter:Root<self", L"mouseenter:Root",  //
                      L"cm_leave:Root<self", L"mouseleave:Root", L"cm_enter:W<self", L"cm_enter:Root<W",
                      L"mouseenter:W",  //
                      L"cm_leave:W<self", L"cm_leave:Root<W", L"mouseleave:W"}));
}

TEST_F(ControlsMouseTest, AFreedControlIsForgottenAsMouseAndCaptureControl) {
  MakeRoot();
  auto* g = Make<TCtlGraphic>(root);
  g->SetParent(root);
  g->SetBounds(0, 0, 30, 30);
  SendMessageW(root->Handle(), WM_MOUSEMOVE, 0, Pt(5, 5));
  SendMessageW(root->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));
  ASSERT_EQ(GetCaptureControl(), g);
  TObject::Free(g);
  EXPECT_EQ(MouseControl(), nullptr);
  EXPECT_NE(GetCaptureControl(), g);
  SendMessageW(root->Handle(), WM_LBUTTONUP, 0, Pt(5, 5));   // nobody to deliver to: no crash
  SendMessageW(root->Handle(), WM_MOUSEMOVE, 0, Pt(6, 6));
}

TEST_F(ControlsMouseTest, WheelMessagesRunUpToTheParentThatTakesThem) {
  MakeRoot();
  auto* a = Named(Make<TCtlPanel>(root), L"A");
  a->SetParent(root);
  struct Wheel : TObject {
    std::vector<std::wstring> seen;
    void OnWheel(TObject* s, TShiftState sh, int delta, TPoint, bool& handled) {
      seen.push_back(static_cast<TComponent*>(s)->Name() + L" " + std::to_wstring(delta) +
                     (sh.Contains(ssCtrl) ? L" ctrl" : L""));
      handled = static_cast<TComponent*>(s)->Name() == L"Root";
    }
  } wheel;
  a->OnMouseWheel = TMouseWheelEvent::Bind<&Wheel::OnWheel>(&wheel);
  root->OnMouseWheel = TMouseWheelEvent::Bind<&Wheel::OnWheel>(&wheel);
  SetForegroundWindow(host->Handle());
  a->SetFocus();
  SendMessageW(a->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), Pt(10, 10));
  EXPECT_EQ(wheel.seen, (V{L"A -120 ctrl", L"Root -120 ctrl"}));
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

class TKeyLog : public TObject {
 public:
  std::vector<std::wstring> lines;
  Word swallow = 0;
  void Down(TObject* s, Word& key, TShiftState) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" keydown " + std::to_wstring(key));
    if (key == swallow) key = 0;
  }
  void Press(TObject* s, Char& key) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" keypress " + std::wstring(1, key));
    if (key == L'x') key = L'y';
  }
  void Up(TObject* s, Word& key, TShiftState) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" keyup " + std::to_wstring(key));
  }
};

using ControlsKeyTest = ControlsTest;

TEST_F(ControlsKeyTest, KeyMessagesFireTheKeyEventsAndSpecialKeysGoToTheDialogManager) {
  MakeRoot();
  auto* a = Named(Make<TCtlPanel>(root), L"A");
  a->SetParent(root);
  TKeyLog keys;
  a->OnKeyDown = TKeyEvent::Bind<&TKeyLog::Down>(&keys);
  a->OnKeyPress = TKeyPressEvent::Bind<&TKeyLog::Press>(&keys);
  a->OnKeyUp = TKeyEvent::Bind<&TKeyLog::Up>(&keys);
  const HWND h = a->Handle();
  SendMessageW(h, WM_KEYDOWN, 'Q', 1);
  SendMessageW(h, WM_CHAR, L'x', 1);
  SendMessageW(h, WM_KEYUP, 'Q', 0xC0000001);
  EXPECT_EQ(keys.lines, (V{L"A keydown 81", L"A keypress x", L"A keyup 81"}));

  // Reflected key: Tab is offered to the top-level control as CM_DIALOGKEY,
  // which takes it; a plain letter is not.
  root->DialogKeyTaken = true;
  EXPECT_EQ(SendMessageW(h, CN_KEYDOWN, VK_TAB, 0), 1);
  EXPECT_EQ(SendMessageW(h, CN_KEYDOWN, 'Q', 0), 0);
  EXPECT_EQ(Log(), (V{L"dialogkey:Root:9"}));
}

// ---------------------------------------------------------------------------
// Drag and drop
// ---------------------------------------------------------------------------

class TDragLog : public TObject {
 public:
  std::vector<std::wstring> lines;
  bool accept = true;
  void Over(TObject* s, TObject* src, int x, int y, TDragState st, bool& a) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" over " + static_cast<TComponent*>(src)->Name() + L" " +
                    std::to_wstring(x) + L"," + std::to_wstring(y) + L" " + std::to_wstring(st));
    a = accept;
  }
  void Drop(TObject* s, TObject* src, int x, int y) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" drop " + static_cast<TComponent*>(src)->Name() + L" " +
                    std::to_wstring(x) + L"," + std::to_wstring(y));
  }
  void End(TObject* s, TObject* target, int x, int y) {
    lines.push_back(static_cast<TComponent*>(s)->Name() + L" end " +
                    (target ? static_cast<TComponent*>(target)->Name() : std::wstring(L"nil")) + L" " +
                    std::to_wstring(x) + L"," + std::to_wstring(y));
  }
};

class ControlsDragTest : public ControlsTest {
 protected:
  TCtlPanel *source, *target;
  TDragLog log;
  void Build() {
    MakeRoot(400, 300);
    source = Named(Make<TCtlPanel>(root), L"Source");
    source->SetParent(root);
    source->SetBounds(10, 10, 50, 50);
    source->SetDragMode(dmAutomatic);
    target = Named(Make<TCtlPanel>(root), L"Target");
    target->SetParent(root);
    target->SetBounds(200, 100, 80, 60);
    target->OnDragOver = TDragOverEvent::Bind<&TDragLog::Over>(&log);
    target->OnDragDrop = TDragDropEvent::Bind<&TDragLog::Drop>(&log);
    source->OnEndDrag = TEndDragEvent::Bind<&TDragLog::End>(&log);
    UpdateWindow(host->Handle());
  }
  // A mouse message to the drag's capture window at a screen point.
  void ToCapture(UINT msg, int sx, int sy) {
    ASSERT_TRUE(DragObject());
    HWND cap = DragObject()->DragHandle;
    POINT p{sx, sy};
    ScreenToClient(cap, &p);
    SendMessageW(cap, msg, 0, Pt(p.x, p.y));
  }
};

TEST_F(ControlsDragTest, AnAutomaticDragDropsOnAnAcceptingTarget) {
  Build();
  SendMessageW(source->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));
  ASSERT_TRUE(source->Dragging());
  ASSERT_TRUE(DragObject());
  EXPECT_EQ(GetCapture(), DragObject()->DragHandle);
  const TPoint t = target->ClientToScreen({10, 20});
  ToCapture(WM_MOUSEMOVE, t.X, t.Y);
  ToCapture(WM_MOUSEMOVE, t.X + 1, t.Y);
  ToCapture(WM_LBUTTONUP, t.X + 1, t.Y);
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(DragObject(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(log.lines, (V{L"Target over Source 10,20 0", L"Target over Source 10,20 2", L"Target over Source 11,20 2",
                          L"Target over Source 11,20 1", L"Target drop Source 11,20", L"Source end Target 11,20"}));
}

TEST_F(ControlsDragTest, ARefusedOrCancelledDragEndsWithoutTarget) {
  Build();
  log.accept = false;
  SendMessageW(source->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));
  const TPoint t = target->ClientToScreen({10, 20});
  ToCapture(WM_MOUSEMOVE, t.X, t.Y);
  ToCapture(WM_LBUTTONUP, t.X, t.Y);
  EXPECT_EQ(log.lines.back(), L"Source end nil 0,0");
  EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                          [](const std::wstring& s) { return s.find(L"drop") != std::wstring::npos; }),
            0);

  log.lines.clear();
  log.accept = true;
  SendMessageW(source->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));
  ToCapture(WM_MOUSEMOVE, t.X, t.Y);
  SendMessageW(source->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);   // Esc to the dragged control
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(log.lines.back(), L"Source end nil 0,0");

  // A manual drag waits for the threshold before it looks for targets.
  log.lines.clear();
  source->SetDragMode(dmManual);
  POINT cursor;
  GetCursorPos(&cursor);
  source->BeginDrag(false, 10);
  ASSERT_TRUE(source->Dragging());
  ToCapture(WM_MOUSEMOVE, cursor.x + 3, cursor.y + 3);
  EXPECT_TRUE(log.lines.empty());
  source->EndDrag(false);
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(log.lines, (V{L"Source end nil 0,0"}));
}

TEST_F(ControlsDragTest, FreeingTheDraggedControlEndsTheDrag) {
  Build();
  SendMessageW(source->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));
  ASSERT_TRUE(DragObject());
  const HWND cap = DragObject()->DragHandle;
  TObject::Free(source);
  EXPECT_EQ(DragObject(), nullptr);
  EXPECT_FALSE(IsWindow(cap));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
