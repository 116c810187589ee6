// The theme cache: one open theme handle per kind of themed control, shared
// by every painter, whether visual styles are active, and a notification to
// registered objects when the user changes the visual style (after every
// cached handle has been dropped).
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

#include <uxtheme.h>

DECLARE_ENUM(TdxThemedObjectType, totButton, totClock, totComboBox, totEdit, totExplorerBar,
             totHeader, totListBox, totListView, totMenu, totPage, totProgress, totRebar,
             totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand, totTaskBar,
             totToolBar, totToolTip, totTrackBar, totTrayNotify, totTreeview, totWindow)
constexpr int dxThemedObjectTypeCount = totWindow + 1;
using TdxThemedObjectTypes = TSet<TdxThemedObjectType, dxThemedObjectTypeCount>;

using TdxTheme = HTHEME;

// One cache entry: the open handle (null when not open) and the class list
// it was opened with.
struct TdxThemeData {
  TdxTheme Theme = nullptr;
  String ClassList;
};

// Visual styles are active (kept up to date on WM_THEMECHANGED).
bool dxThemesActive();

// False unless styles are active and the library is loaded; then false as
// soon as one type of the set cannot be opened.
bool dxAreThemesUsable(const TdxThemedObjectTypes& types = TdxThemedObjectTypes());
bool dxIsThemeUsableFor(TdxThemedObjectType type);
// The cached handle of the type, opened on first use with `classList`, or
// with the class list used before the last theme change, or the type's
// default one. Asking with a different class list (compared without regard
// to case) reopens. Null when themes are not usable or the open fails.
TdxTheme dxAcquireThemeHandle(TdxThemedObjectType type, const Char* classList = nullptr);
// 1 without doing anything while themes are not usable; 0 when the type has
// no open handle; otherwise closes it, forgets its class list and returns the
// result of the close.
HRESULT dxReleaseThemeHandle(TdxThemedObjectType type);
// Closes every open handle; the class lists stay for the next open.
void dxReleaseAllThemeHandles();
// The cache entry of a type (for inspection).
const TdxThemeData& dxThemeData(TdxThemedObjectType type);
// The class list a type opens with by default ("Button" ... "Window").
const String& dxDefaultThemeClassList(TdxThemedObjectType type);

using TdxThemeChangedEvent = TClosure<void()>;

// Registers itself for theme-change notifications while it lives (only when
// the visual-style library is loaded); called in registration order.
class TdxThemeChangedNotificator : public TObject {
  DECLARE_CLASS(TdxThemeChangedNotificator, TObject)
 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;
  TdxThemeChangedEvent OnThemeChanged;
};

// The hidden window that hears the WM_THEMECHANGED broadcast (a message-only
// window the thread's broadcast relay hands it to).
class TdxThemeChangedEventReceiver : public TObject {
  DECLARE_CLASS(TdxThemeChangedEventReceiver, TObject)
 public:
  TdxThemeChangedEventReceiver();
  ~TdxThemeChangedEventReceiver() override;
  HWND WindowHandle() const { return windowHandle_; }

 private:
  HWND windowHandle_ = nullptr;
};

// The receiver, or null without the library (or outside start-up and shutdown).
TdxThemeChangedEventReceiver* dxThemeChangedEventReceiver();
// The registered notificators, in order (empty without the library).
int dxThemeChangedNotificatorCount();

void dxThemeManagerInitialize();
void dxThemeManagerFinalize();
