// The file dialogs and the picture dialogs, driven by real keyboard input:
// once a dialog shows, a message its own loop dispatches sends it keys
// through the system's input queue, as a user's would arrive.
#include "FormsTestSupport.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtDlgs.h"
#include "platform/gui/Graphics.h"
#include "platform/core/SysUtils.h"

#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

void SendKeys(std::vector<INPUT> inputs) {
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  EXPECT_EQ(sent, inputs.size()) << "SendInput refused the keys";
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

void PressKey(WORD vk) { SendKeys({Key(vk, false), Key(vk, true)}); }

// Characters as the keyboard's Unicode packets.
void TypeText(const String& text) {
  std::vector<INPUT> inputs;
  for (Char c : text)
    for (bool up : {false, true}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = c;
      in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(in);
    }
  SendKeys(inputs);
}

String TempFolder() {
  Char dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  Char full[MAX_PATH];
  GetLongPathNameW(dir, full, MAX_PATH);
  return full;
}

// Runs a dialog and hands it `input` once it shows: a hook on the thread's
// window procedures sees the dialog's window shown (a dialog box shows
// itself when its loop first runs idle) and posts a marker, which that loop
// dispatches next, with the window up. Notes what the dialog reported
// meanwhile.
class TDialogDriver : public TObject {
 public:
  TDialogDriver(TCommonDialog* dialog, std::function<void()> input) : dialog_(dialog), input_(std::move(input)) {
    dialog_->OnShow = TNotifyEvent::Bind<&TDialogDriver::Shown>(this);
    dialog_->OnClose = TNotifyEvent::Bind<&TDialogDriver::Closed>(this);
  }

  // Execute's result. Should the input never reach the dialog, the hang
  // guard closes it with IDCANCEL and the run fails.
  bool Run() {
    Current() = this;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &ShownProc, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook, nullptr);
    bool result = false;
    {
      THangGuard guard([this] {
        if (IsWindow(dialog_->Handle())) PostMessageW(dialog_->Handle(), WM_COMMAND, IDCANCEL, 0);
      });
      result = dialog_->Execute();
      EXPECT_FALSE(guard.Fired()) << "the keys did not reach the dialog";
    }
    UnhookWindowsHookEx(hook);
    Current() = nullptr;
    marker_.reset();
    return result;
  }

  int Shows = 0, Closes = 0;
  HWND HandleWhenShown = nullptr;
  HWND Dialog = nullptr;   // the dialog window the hook saw shown
  bool VisibleWhenInputSent = false;
  bool ForegroundWhenInputSent = false;
  String Caption;
  HWND HandleAfterClose = reinterpret_cast<HWND>(1);

 private:
  static TDialogDriver*& Current() {
    static TDialogDriver* current = nullptr;
    return current;
  }
  static LRESULT CALLBACK ShownProc(int code, WPARAM wParam, LPARAM lParam) {
    GuardCallback([&] {
      TDialogDriver* self = Current();
      const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
      if (code != HC_ACTION || !self || self->marker_ || call->message != WM_WINDOWPOSCHANGED) return;
      if (!(reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW)) return;
      if (GetWindowLongPtrW(call->hwnd, GWL_STYLE) & WS_CHILD) return;
      Char cls[16] = L"";
      GetClassNameW(call->hwnd, cls, 16);
      if (String(cls) != L"#32770") return;   // the dialog box class
      self->Dialog = call->hwnd;
      self->marker_ = std::make_unique<TPostedAction>([self] { self->SendInput(); });
    });
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  void Shown(TObject* sender) {
    EXPECT_EQ(sender, dialog_);
    ++Shows;
    HandleWhenShown = dialog_->Handle();
  }
  void Closed(TObject*) {
    ++Closes;
    HandleAfterClose = dialog_->Handle();
  }
  void SendInput() {
    VisibleWhenInputSent = IsWindowVisible(Dialog) != FALSE;
    Char text[256] = L"";
    GetWindowTextW(Dialog, text, 256);
    Caption = text;
    SetForegroundWindow(Dialog);
    ForegroundWhenInputSent = GetForegroundWindow() == Dialog;
    input_();
  }

  TCommonDialog* dialog_;
  std::function<void()> input_;
  std::unique_ptr<TPostedAction> marker_;
};

class DialogsTest : public FormsFixture {};

struct TDialogCase {
  const char* Name;
  TOpenDialog* (*Make)();
};

const TDialogCase kDialogs[] = {
    {"open", [] { return static_cast<TOpenDialog*>(Make<TOpenDialog>(nullptr)); }},
    {"save", [] { return static_cast<TOpenDialog*>(Make<TSaveDialog>(nullptr)); }},
    {"open, old style",
     [] {
       auto* d = Make<TOpenDialog>(nullptr);
       d->SetOptions(d->Options() + ofOldStyleDialog);
       return d;
     }},
    {"open picture", [] { return static_cast<TOpenDialog*>(Make<TOpenPictureDialog>(nullptr)); }},
    {"save picture", [] { return static_cast<TOpenDialog*>(Make<TSavePictureDialog>(Application)); }},
};

}  // namespace

TEST_F(DialogsTest, EachDialogShowsAndEscapeCancelsIt) {
  for (const TDialogCase& c : kDialogs) {
    SCOPED_TRACE(c.Name);
    auto dialog = Own(c.Make());
    dialog->SetTitle(L"岚泽 " + String(c.Name, c.Name + std::strlen(c.Name)));
    dialog->SetFileName(L"untouched.flt");
    TDialogDriver driver(dialog.get(), [] { PressKey(VK_ESCAPE); });
    EXPECT_FALSE(driver.Run());
    EXPECT_EQ(driver.Shows, 1);
    EXPECT_EQ(driver.Closes, 1);
    EXPECT_EQ(driver.HandleWhenShown, driver.Dialog) << "Handle is the dialog's window";
    EXPECT_TRUE(driver.VisibleWhenInputSent);
    EXPECT_TRUE(driver.ForegroundWhenInputSent);
    EXPECT_EQ(driver.Caption, dialog->Title());
    EXPECT_EQ(driver.HandleAfterClose, nullptr);
    EXPECT_FALSE(IsWindow(driver.Dialog));
    EXPECT_EQ(dialog->FileName(), L"untouched.flt") << "a cancelled dialog changes nothing";
    EXPECT_EQ(dialog->Files()->Count(), 0);
  }
}

TEST_F(DialogsTest, PictureDialogsListTheRegisteredPictureFormats) {
  auto open = Own(Make<TOpenPictureDialog>(nullptr));
  auto save = Own(Make<TSavePictureDialog>(nullptr));
  EXPECT_EQ(open->Filter(), GraphicFilter(TGraphic::StaticClass()));
  EXPECT_EQ(save->Filter(), open->Filter());
  for (const Char* mask : {L"*.bmp", L"*.ico", L"*.emf", L"*.wmf", L"*.jpg"})
    EXPECT_NE(open->Filter().find(mask), String::npos) << mask;
}

TEST_F(DialogsTest, SaveDialogReturnsTheConfirmedNameWithTheDefaultExtension) {
  const String folder = TempFolder();
  const String expected = folder + L"lanze-dialog-save.txt";
  DeleteFileW(expected.c_str());
  auto dialog = Own(Make<TSaveDialog>(nullptr));
  dialog->SetInitialDir(folder);
  dialog->SetFilter(L"Filters (*.flt)|*.flt|All files (*.*)|*.*");
  dialog->SetFilterIndex(2);
  dialog->SetDefaultExt(L".txt");
  dialog->SetOptions(dialog->Options() + ofOverwritePrompt);
  TDialogDriver driver(dialog.get(), [] {
    TypeText(L"lanze-dialog-save");
    PressKey(VK_RETURN);
  });
  ASSERT_TRUE(driver.Run());
  EXPECT_TRUE(SameText(dialog->FileName(), expected)) << dialog->FileName();
  ASSERT_EQ(dialog->Files()->Count(), 1);
  EXPECT_EQ(dialog->Files()->Get(0), dialog->FileName());
  EXPECT_EQ(dialog->FilterIndex(), 2);
  EXPECT_EQ(driver.Closes, 1);
}

TEST_F(DialogsTest, OpenDialogWithMultiSelectReturnsEveryChosenFile) {
  const String folder = TempFolder() + L"lanze-dialog-open\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const String names[] = {L"甲.flt", L"b.flt"};
  for (const String& name : names) {
    HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  auto dialog = Own(Make<TOpenDialog>(nullptr));
  dialog->SetInitialDir(folder);
  dialog->SetFilter(L"Filters (*.flt)|*.flt");
  dialog->SetOptions(dialog->Options() + ofAllowMultiSelect + ofFileMustExist);
  TDialogDriver driver(dialog.get(), [&] {
    TypeText(L"\"" + names[0] + L"\" \"" + names[1] + L"\"");
    PressKey(VK_RETURN);
  });
  const bool confirmed = driver.Run();
  for (const String& name : names) DeleteFileW((folder + name).c_str());
  RemoveDirectoryW(folder.c_str());
  ASSERT_TRUE(confirmed);
  std::vector<String> files;
  for (int i = 0; i < dialog->Files()->Count(); ++i) files.push_back(LowerCase(dialog->Files()->Get(i)));
  std::sort(files.begin(), files.end());
  std::vector<String> expected{LowerCase(folder + names[0]), LowerCase(folder + names[1])};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files, expected);
  EXPECT_EQ(dialog->FileName(), dialog->Files()->Get(0));
}
