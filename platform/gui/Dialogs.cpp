// The open and save dialogs on the system's common dialog library. A hook
// procedure is installed only to learn the dialog's window (for Handle and
// OnShow); the system does everything else.
#include "platform/gui/Dialogs.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SystemLibraries.h"
#include "platform/gui/Forms.h"

#include <commdlg.h>

#include <cstdio>
#include <algorithm>
#include <iterator>

BEGIN_CLASS(TCommonDialog, TComponent, nullptr)
  b.Prop(L"OnClose", &TCommonDialog::OnClose, &TCommonDialog::OnClose);
  b.Prop(L"OnShow", &TCommonDialog::OnShow, &TCommonDialog::OnShow);
END_CLASS

BEGIN_CLASS(TOpenDialog, TCommonDialog, (ConstructWith<TOpenDialog, TComponent>))
  using D = TOpenDialog;
  b.Prop(L"DefaultExt", &D::DefaultExt, &D::SetDefaultExt);
  b.Prop(L"FileName", &D::FileName, &D::SetFileName);
  b.Prop(L"Filter", &D::Filter, &D::SetFilter);
  DefaultValue(b.Prop(L"FilterIndex", &D::FilterIndex, &D::SetFilterIndex), 1);
  b.Prop(L"InitialDir", &D::InitialDir, &D::SetInitialDir);
  DefaultValue(b.Prop(L"Options", &D::Options, &D::SetOptions),
               TOpenOptions{ofHideReadOnly, ofEnableSizing}.ToBits());
  b.Prop(L"Title", &D::Title, &D::SetTitle);
END_CLASS

IMPLEMENT_CLASS(TSaveDialog, TOpenDialog, (ConstructWith<TSaveDialog, TComponent>))

namespace {

// The system's flag for each option, in the order of TOpenOption; the old
// style is the absence of OFN_EXPLORER and has none.
constexpr DWORD kOptionFlags[] = {
    OFN_READONLY,          OFN_OVERWRITEPROMPT,   OFN_HIDEREADONLY,      OFN_NOCHANGEDIR,
    OFN_SHOWHELP,          OFN_NOVALIDATE,        OFN_ALLOWMULTISELECT,  OFN_EXTENSIONDIFFERENT,
    OFN_PATHMUSTEXIST,     OFN_FILEMUSTEXIST,     OFN_CREATEPROMPT,      OFN_SHAREAWARE,
    OFN_NOREADONLYRETURN,  OFN_NOTESTFILECREATE,  OFN_NONETWORKBUTTON,   OFN_NOLONGNAMES,
    0,                     OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING,
    OFN_DONTADDTORECENT,   OFN_FORCESHOWHIDDEN};
static_assert(std::size(kOptionFlags) == ofForceShowHidden + 1, "a flag for every option");

// Room for one path, or for a folder and many names when several files may
// be chosen.
constexpr size_t kSingleBuffer = 4096;
constexpr size_t kMultiBuffer = 65536;

// "a|b|c|d" as the system wants it: "a\0b\0c\0d\0\0".
std::vector<wchar_t> SystemFilter(const String& filter) {
  std::vector<wchar_t> out;
  if (filter.empty()) return out;
  for (Char c : filter) out.push_back(c == L'|' ? L'\0' : c);
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

String WithBackslash(const String& folder) {
  if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder;
  return folder + L'\\';
}

}  // namespace

// ---------------------------------------------------------------------------
// TCommonDialog
// ---------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TCommonDialog::Execute() {
  HWND parent = GetActiveWindow();
  if (!parent) parent = Application->Handle();
  return Execute(parent);
}

void TCommonDialog::DoShow() {
  if (OnShow) OnShow(this);
}

void TCommonDialog::DoClose() {
  if (OnClose) OnClose(this);
}

bool TCommonDialog::TaskModalDialog(const std::function<BOOL()>& dialogCall) {
  HWND active = GetActiveWindow();
  std::vector<HWND>* windows = DisableTaskWindows(nullptr);
  Application->NormalizeTopMosts();
  Application->ModalStarted();
  BOOL result = FALSE;
  try {
    result = dialogCall();
  } catch (...) {
    Application->ModalFinished();
    Application->RestoreTopMosts();
    EnableTaskWindows(windows);
    handle_ = nullptr;
    throw;
  }
  Application->ModalFinished();
  Application->RestoreTopMosts();
  EnableTaskWindows(windows);
  handle_ = nullptr;
  if (active && IsWindow(active)) SetActiveWindow(active);
  return result != FALSE;
}

// ---------------------------------------------------------------------------
// TOpenDialog
// ---------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(Make<TStringList>()) {}

TOpenDialog::~TOpenDialog() { TObject::Free(files_); }

void TOpenDialog::SetDefaultExt(const String& value) {
  // The system wants the extension without its dot.
  defaultExt_ = !value.empty() && value[0] == L'.' ? value.substr(1) : value;
}

bool TOpenDialog::Execute(HWND parentWnd) { return DoExecute(false, parentWnd); }

// The explorer-style dialog calls the hook for a child window it makes for
// it; the old style calls it for the dialog itself.
UINT_PTR CALLBACK TOpenDialog::HookProc(HWND wnd, UINT msg, WPARAM, LPARAM lParam) {
  return GuardCallback(UINT_PTR(0), [&]() -> UINT_PTR {
    if (msg == WM_INITDIALOG) {
      const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
      auto* self = reinterpret_cast<TOpenDialog*>(ofn->lCustData);
      SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      if (self->options_.Contains(ofOldStyleDialog)) {
        self->handle_ = wnd;
        self->DoShow();
        return TRUE;   // the system sets the focus
      }
      return 0;
    }
    auto* self = reinterpret_cast<TOpenDialog*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
      self->handle_ = GetParent(wnd);
      self->DoShow();
    }
    return 0;
  });
}

bool TOpenDialog::DoExecute(bool save, HWND parentWnd) {
  const bool multi = options_.Contains(ofAllowMultiSelect);
  std::vector<wchar_t> buffer(multi ? kMultiBuffer : kSingleBuffer, L'\0');
  fileName_.copy(buffer.data(), std::min(fileName_.size(), buffer.size() - 1));
  const std::vector<wchar_t> filter = SystemFilter(filter_);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = parentWnd;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.data();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex_ > 0 ? filterIndex_ : 0);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  ofn.Flags = OFN_ENABLEHOOK;
  if (!options_.Contains(ofOldStyleDialog)) ofn.Flags |= OFN_EXPLORER;
  for (int i = 0; i < int(std::size(kOptionFlags)); ++i)
    if (options_.Contains(static_cast<TOpenOption>(i))) ofn.Flags |= kOptionFlags[i];
  ofn.lpfnHook = &TOpenDialog::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);

  // The dialog library is bound when a dialog first runs, not at start.
  using TGetFileName = decltype(&GetOpenFileNameW);
  static const TGetFileName getOpen = SystemLibraryFunction<TGetFileName>(L"comdlg32.dll", "GetOpenFileNameW");
  static const TGetFileName getSave = SystemLibraryFunction<TGetFileName>(L"comdlg32.dll", "GetSaveFileNameW");
  static const auto extendedError =
      SystemLibraryFunction<decltype(&CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
  if (!getOpen || !getSave || !extendedError)
    throw ECommonDialogError(L"The file dialog could not be shown (comdlg32.dll is missing)");
  const bool confirmed = TaskModalDialog([&] { return (save ? getSave : getOpen)(&ofn); });
  const DWORD error = confirmed ? 0 : extendedError();
  DoClose();
  if (error) {
    wchar_t text[80];
    std::swprintf(text, std::size(text), L"The file dialog could not be shown (error 0x%04lX)",
                  static_cast<unsigned long>(error));
    throw ECommonDialogError(text);
  }
  if (!confirmed) return false;
  TakeResults(buffer, ofn.Flags, ofn.nFilterIndex);
  return true;
}

void TOpenDialog::TakeResults(const std::vector<wchar_t>& buffer, DWORD flags, DWORD filterIndex) {
  // Several names come as the folder, then each name, each ending in a
  // zero, with one more zero at the end; a single one as its full path.
  std::vector<String> parts;
  for (size_t i = 0; i < buffer.size() && buffer[i];) {
    String part(buffer.data() + i);
    i += part.size() + 1;
    parts.push_back(std::move(part));
    if (!options_.Contains(ofAllowMultiSelect)) break;
  }
  files_->Clear();
  if (parts.size() > 1) {
    const String folder = WithBackslash(parts[0]);
    for (size_t i = 1; i < parts.size(); ++i) files_->Add(folder + parts[i]);
  } else if (!parts.empty()) {
    files_->Add(parts[0]);
  }
  fileName_ = files_->Count() ? files_->Get(0) : String();
  filterIndex_ = static_cast<int>(filterIndex);
  if (flags & OFN_READONLY) options_ += ofReadOnly;
  else options_ -= ofReadOnly;
  if (flags & OFN_EXTENSIONDIFFERENT) options_ += ofExtensionDifferent;
  else options_ -= ofExtensionDifferent;
}

// ---------------------------------------------------------------------------
// TSaveDialog
// ---------------------------------------------------------------------------

bool TSaveDialog::Execute(HWND parentWnd) { return DoExecute(true, parentWnd); }
