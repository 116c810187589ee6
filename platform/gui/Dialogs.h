// The common dialogs of the platform class library: the system's open and
// save file dialogs as components.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringLists.h"

#include <functional>
#include <vector>

DECLARE_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp,
             ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist,
             ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,
             ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
             ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
using TOpenOptions = TSet<TOpenOption, 32>;

// Raised when a common dialog cannot be shown at all (not when the user
// cancels it, which Execute reports by returning false).
DECLARE_EXCEPTION(ECommonDialogError, Exception)

// A dialog the system draws and runs modally. Execute shows it over the
// thread's active window, with the thread's other windows disabled while it
// shows, and tells whether the user confirmed it.
class TCommonDialog : public TComponent {
  DECLARE_CLASS(TCommonDialog, TComponent)
  explicit TCommonDialog(TComponent* AOwner);

  bool Execute();
  virtual bool Execute(HWND parentWnd) = 0;
  // The dialog's window while it shows, else null.
  HWND Handle() const { return handle_; }

  // OnShow: the dialog's window exists and is about to show (Handle is set).
  // OnClose: the window is gone, before Execute returns.
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 protected:
  virtual void DoShow();
  virtual void DoClose();
  // Runs the system's modal dialog call with the thread's other windows
  // disabled and the stay-on-top ones lowered, and undoes both afterwards.
  bool TaskModalDialog(const std::function<BOOL()>& dialogCall);

  HWND handle_ = nullptr;
};

// The system's file-open dialog. Filter is "Text files (*.txt)|*.txt|All
// files (*.*)|*.*"; FilterIndex counts its pairs from 1. After a confirmed
// Execute, FileName is the chosen file and Files every chosen file (one
// unless ofAllowMultiSelect), FilterIndex the filter in use, and Options tell
// ofReadOnly and ofExtensionDifferent as the user left them.
class TOpenDialog : public TCommonDialog {
  DECLARE_CLASS(TOpenDialog, TCommonDialog)
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  bool Execute(HWND parentWnd) override;

  // Without a dot, e.g. L"txt": added to a typed name that has no extension.
  const String& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const String& value);
  const String& FileName() const { return fileName_; }
  void SetFileName(const String& value) { fileName_ = value; }
  TStrings* Files() const { return files_; }
  const String& Filter() const { return filter_; }
  void SetFilter(const String& value) { filter_ = value; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  const String& InitialDir() const { return initialDir_; }
  void SetInitialDir(const String& value) { initialDir_ = value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }
  // The caption; empty gives the system's ("Open", "Save As").
  const String& Title() const { return title_; }
  void SetTitle(const String& value) { title_ = value; }

 protected:
  // Fills the system's structure, runs GetOpenFileNameW or GetSaveFileNameW
  // and takes the results back.
  bool DoExecute(bool save, HWND parentWnd);

 private:
  static UINT_PTR CALLBACK HookProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void TakeResults(const std::vector<wchar_t>& buffer, DWORD flags, DWORD filterIndex);

  String defaultExt_, fileName_, filter_, initialDir_, title_;
  TStrings* files_;
  int filterIndex_ = 1;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

// The system's file-save dialog; ofOverwritePrompt asks before an existing
// file is chosen.
class TSaveDialog : public TOpenDialog {
  DECLARE_CLASS(TSaveDialog, TOpenDialog)
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

  bool Execute(HWND parentWnd) override;
};
