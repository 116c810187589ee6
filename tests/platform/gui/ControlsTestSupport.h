// Test controls and helpers of the controls tests: a host window that plays
// the part of a form, controls that count their live instances and log what
// happens to them, bounded message pumps.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/Controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ctltest {

// Every test control adds itself here while alive.
int& LiveControls();

// What the test controls saw, in order ("enter:A", "click:B", ...).
std::vector<std::wstring>& Log();
inline void Note(const std::wstring& s) { Log().push_back(s); }

// Dispatches what the thread's queue holds and what that posts, until it is
// empty.
void PumpPending();
// Dispatches until `done`; false only when it still does not hold after the
// hang bound of tests/support/MessagePump.h.
bool PumpUntil(const std::function<bool()>& done);

// Windows of this thread, child windows included.
int ThreadWindowCount();

// A windowed container that paints itself: fills its client area with Fill
// (unless clNone) and then runs PaintProc.
class TCtlPanel : public TCustomControl {
  DECLARE_CLASS(TCtlPanel, TCustomControl)
  explicit TCtlPanel(TComponent* owner);
  ~TCtlPanel() override;
  void Paint() override;

  TColor Fill = clNone;
  std::function<void(TCtlPanel*)> PaintProc;
  // Messages of the control's own table: a user message answered with 42
  // and the notifications the tests look at.
  void WMUserTest(TMessage& m);
  void CNCommand(TWMCommand& m);
  void CMDialogKeyTest(TWMKey& m);
  void CMMouseEnterTest(TCMMouseEnterLeave& m);
  void CMMouseLeaveTest(TCMMouseEnterLeave& m);
  void CMTextChangedTest(TMessage& m);
  TWMCommand LastCommand{};
  int TextChanges = 0;
  bool DialogKeyTaken = false;
};

// A control without a window that fills itself with Fill.
class TCtlGraphic : public TGraphicControl {
  DECLARE_CLASS(TCtlGraphic, TGraphicControl)
  explicit TCtlGraphic(TComponent* owner);
  ~TCtlGraphic() override;
  void Paint() override;
  TColor Fill = clGreen;
};

// Sets the name and logs enter/exit/click under it.
template <class T>
T* Named(T* c, const wchar_t* name) {
  c->SetName(name);
  return c;
}
void LogEvents(TControl* c);

// A plain top-level window of the thread that hosts a root control through
// its ParentWindow, as a form would.
class HostWindow {
 public:
  HostWindow(int w = 400, int h = 300);
  ~HostWindow();
  HWND Handle() const { return wnd_; }

 private:
  HWND wnd_;
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A root panel of w×h at (0, 0) in the host window.
  TCtlPanel* MakeRoot(int w = 400, int h = 300);
  HostWindow* host = nullptr;
  TCtlPanel* root = nullptr;
  int liveAtStart = 0;
};

inline LPARAM Pt(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace ctltest
