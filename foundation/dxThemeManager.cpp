#include "foundation/dxThemeManager.h"

#include "foundation/dxUxTheme.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Messaging.h"

#include <algorithm>
#include <vector>

IMPLEMENT_CLASS(TdxThemeChangedNotificator, TObject, (ConstructPlain<TdxThemeChangedNotificator>))
IMPLEMENT_CLASS(TdxThemeChangedEventReceiver, TObject, (ConstructPlain<TdxThemeChangedEventReceiver>))

namespace {

bool themesActive = false;
int initCount = 0;
TdxThemeData cache[dxThemedObjectTypeCount];
String defaultClassLists[dxThemedObjectTypeCount];
TdxThemeChangedEventReceiver* receiver = nullptr;
// Exists only while the library is loaded: notificators made without it stay unregistered.
std::vector<TdxThemeChangedNotificator*>* notificators = nullptr;

bool ThemesUsable() { return themesActive && dxUxLibraryLoaded(); }

bool IsRegistered(TdxThemeChangedNotificator* notificator) {
  return notificators &&
         std::find(notificators->begin(), notificators->end(), notificator) != notificators->end();
}

void NotifyThemeChanged() {
  if (!notificators) return;
  // A handler may free notificators (itself included) or make new ones: walk
  // a copy and skip whatever has left the list meanwhile.
  const std::vector<TdxThemeChangedNotificator*> snapshot = *notificators;
  for (TdxThemeChangedNotificator* notificator : snapshot)
    if (IsRegistered(notificator) && notificator->OnThemeChanged.Assigned())
      notificator->OnThemeChanged();
}

}  // namespace

bool dxThemesActive() { return themesActive; }

const String& dxDefaultThemeClassList(TdxThemedObjectType type) { return defaultClassLists[type]; }

const TdxThemeData& dxThemeData(TdxThemedObjectType type) { return cache[type]; }

TdxTheme dxAcquireThemeHandle(TdxThemedObjectType type, const Char* classList) {
  if (!ThemesUsable()) return nullptr;
  TdxThemeData& entry = cache[type];
  if (entry.Theme) {
    if (!classList || UpperCase(classList) == UpperCase(entry.ClassList)) return entry.Theme;
    dxReleaseThemeHandle(type);
  }
  String list;
  if (classList)
    list = classList;
  else if (!entry.ClassList.empty())
    list = entry.ClassList;
  else
    list = defaultClassLists[type];
  entry.Theme = dxUxOpenThemeData(nullptr, list.c_str());
  if (entry.Theme)
    entry.ClassList = list;
  else
    entry.ClassList.clear();
  return entry.Theme;
}

HRESULT dxReleaseThemeHandle(TdxThemedObjectType type) {
  if (!ThemesUsable()) return 1;
  TdxThemeData& entry = cache[type];
  if (!entry.Theme) return 0;
  const HRESULT result = dxUxCloseThemeData(entry.Theme);
  entry.Theme = nullptr;
  entry.ClassList.clear();
  return result;
}

void dxReleaseAllThemeHandles() {
  for (TdxThemeData& entry : cache) {
    if (!entry.Theme) continue;
    dxUxCloseThemeData(entry.Theme);
    entry.Theme = nullptr;
  }
}

bool dxIsThemeUsableFor(TdxThemedObjectType type) {
  return ThemesUsable() && dxAcquireThemeHandle(type) != nullptr;
}

bool dxAreThemesUsable(const TdxThemedObjectTypes& types) {
  if (!ThemesUsable()) return false;
  for (int t = 0; t < dxThemedObjectTypeCount; ++t) {
    const auto type = static_cast<TdxThemedObjectType>(t);
    if (types.Contains(type) && !dxAcquireThemeHandle(type)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Notificators and the receiver
// ---------------------------------------------------------------------------

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (notificators && dxUxLibraryLoaded()) notificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (!notificators) return;
  auto it = std::find(notificators->begin(), notificators->end(), this);
  if (it != notificators->end()) notificators->erase(it);
}

int dxThemeChangedNotificatorCount() {
  return notificators ? static_cast<int>(notificators->size()) : 0;
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver() {
  // The method's exceptions go to the application's handler.
  windowHandle_ = AllocateMessageHWnd(
      [wnd = &windowHandle_](TMessage& message) {
        if (message.Msg != WM_THEMECHANGED) {
          message.Result = DefWindowProcW(*wnd, message.Msg, message.WParam, message.LParam);
          return;
        }
        dxReleaseAllThemeHandles();
        DefWindowProcW(*wnd, message.Msg, message.WParam, message.LParam);
        themesActive = dxUxIsThemeActive() != 0;
        message.Result = 0;
        NotifyThemeChanged();
      },
      /*hearBroadcasts=*/true);
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  themesActive = false;
  DeallocateHWnd(windowHandle_);
  windowHandle_ = nullptr;
}

TdxThemeChangedEventReceiver* dxThemeChangedEventReceiver() { return receiver; }

// ---------------------------------------------------------------------------
// Start-up and shutdown
// ---------------------------------------------------------------------------

void dxThemeManagerInitialize() {
  if (initCount++ > 0) return;
  static const Char* const names[dxThemedObjectTypeCount] = {
      L"Button", L"Clock", L"ComboBox", L"Edit", L"ExplorerBar", L"Header", L"ListBox",
      L"ListView", L"Menu", L"Page", L"Progress", L"Rebar", L"ScrollBar", L"Spin",
      L"StartPanel", L"Status", L"Tab", L"TaskBand", L"TaskBar", L"ToolBar", L"ToolTip",
      L"TrackBar", L"TrayNotify", L"TreeView", L"Window"};
  for (int t = 0; t < dxThemedObjectTypeCount; ++t) defaultClassLists[t] = names[t];
  if (dxUxLibraryLoaded()) {
    themesActive = dxUxIsThemeActive() != 0;
    notificators = new std::vector<TdxThemeChangedNotificator*>();
    try {
      receiver = Make<TdxThemeChangedEventReceiver>();
    } catch (...) {
      // No window: the start-up fails as a whole and leaves nothing behind.
      themesActive = false;
      delete notificators;
      notificators = nullptr;
      --initCount;
      throw;
    }
  }
}

void dxThemeManagerFinalize() {
  if (initCount == 0 || --initCount > 0) return;
  if (receiver) FreeAndNil(receiver);
  // Handles are closed even when themes went inactive meanwhile.
  dxReleaseAllThemeHandles();
  delete notificators;
  notificators = nullptr;
  for (TdxThemeData& entry : cache) entry.ClassList.clear();
  for (String& name : defaultClassLists) name.clear();
}
