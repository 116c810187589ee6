// Helpers shared by the tests of forms, the application, the screen and the
// clipboard: module start-up, bounded message pumps, a test control, a
// recorder of exceptions and message boxes.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Messaging.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Objects of the class library are freed with Free, not delete.
template <class T>
using FormsOwned = std::unique_ptr<T, void (*)(TObject*)>;

// Starts the modules the forms need, once per test process, in program order.
void EnsureFormsModules();

// Dispatches the thread's messages until `done` holds; false only when it
// still does not after the hang bound of tests/support/MessagePump.h.
bool PumpUntil(const std::function<bool()>& done);
// Dispatches whatever is queued now and what that posts, until the queue is
// empty.
void PumpPending();

// A window control that takes the focus, for focus and key tests.
class TFormsTestPanel : public TCustomControl {
  DECLARE_CLASS(TFormsTestPanel, TCustomControl)
  explicit TFormsTestPanel(TComponent* AOwner);
  int Entered = 0;
  int Exited = 0;
  void DoEnter() override;
  void DoExit() override;
};

// Records what the application reports: exceptions through OnException and
// message boxes through the message-box function.
class TAppRecorder : public TObject {
 public:
  struct Report {
    String ClassName;
    String Message;
    TObject* Sender;
  };
  std::vector<Report> Exceptions;
  void OnException(TObject* Sender, Exception& E) { Exceptions.push_back({E.ClassName(), E.Message, Sender}); }
  TExceptionEvent Event() { return TExceptionEvent::Bind<&TAppRecorder::OnException>(this); }
};

struct TMessageBoxRecord {
  String Text;
  String Caption;
  UINT Flags;
};
// The message boxes shown since the last call; they answer IDOK at once.
std::vector<TMessageBoxRecord>& RecordedMessageBoxes();

// Base fixture: modules started, message boxes recorded instead of shown,
// and whatever forms a test leaves behind freed afterwards.
class FormsFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Deallocates the window an AllocateHWnd stored into `wnd` when the scope ends,
// unless the test did so itself: its method points into the test's frame, and a
// message sent to it later (a broadcast, one still queued) would call into a
// dead object. Declare it after what the method uses.
class TMethodWindowRelease {
 public:
  explicit TMethodWindowRelease(HWND& wnd) : wnd_(wnd) {}
  ~TMethodWindowRelease() {
    if (wnd_ && IsWindow(wnd_)) DeallocateHWnd(wnd_);
  }
  TMethodWindowRelease(const TMethodWindowRelease&) = delete;
  TMethodWindowRelease& operator=(const TMethodWindowRelease&) = delete;

 private:
  HWND& wnd_;
};

// Ends a message loop that a test runs (Application->Run, ShowModal) should
// the test's own way of ending it fail (after the hang bound): posts WM_QUIT
// and notes that it had to.
class TLoopGuard {
 public:
  TLoopGuard();
  ~TLoopGuard();
  bool Fired() const { return fired_; }

 private:
  static void CALLBACK Expired(HWND, UINT, UINT_PTR, DWORD);
  static bool fired_;
  UINT_PTR id_;
};
