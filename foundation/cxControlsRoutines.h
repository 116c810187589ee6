// Stand-alone routines of the base controls module: windows and handles,
// monitor work areas, mouse and keyboard helpers, captions, designer
// notification and popup menus, plus the design-time controller. Failures are
// reported by the result (false, 0, null, the invalid point (-1, -1) or the
// empty rectangle); none of the routines raises.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/Messages.h"
#include "platform/gui/ShiftState.h"

class TComponent;
class TControl;
class TWinControl;
class TCustomForm;
class TDragObject;
class TcxMessageWindow;

// ---------------------------------------------------------------------------
// The library's popup-menu interface
// ---------------------------------------------------------------------------

// {61EEDA7D-88CC-45BF-8A00-5C25174D6501}
inline constexpr GUID IID_IcxMenuPopupSource = {
    0x61EEDA7D, 0x88CC, 0x45BF, {0x8A, 0x00, 0x5C, 0x25, 0x17, 0x4D, 0x65, 0x01}};

// A component that can stand where a platform popup menu is expected (the
// bar popup menus implement it).
class IcxMenuPopupSource {
 public:
  virtual bool IsMenuShortCut(TWMKey& AMessage) = 0;
  // Shows the menu at a screen point.
  virtual void PopupAt(int X, int Y) = 0;

 protected:
  ~IcxMenuPopupSource() = default;
};

// ---------------------------------------------------------------------------
// Windows and handles
// ---------------------------------------------------------------------------

// Whether the control has, or can get, a window: it has one; or it is not
// being destroyed and has a ParentWindow or a parent that passes this test;
// a parentless control only when it is a form and the application object
// exists (the application window is made on demand).
bool cxIsHandleObtainable(TWinControl* AControl);
// The shared hidden message window, made on first call; null after the
// module's shutdown.
TcxMessageWindow* cxGetMessageWindow();
bool cxHasChildWindowStyle(HWND AWnd);
// AParentWnd is not 0 and AWnd is it or one of its descendants.
bool cxIsSameOrChildWindow(HWND AParentWnd, HWND AWnd);
// AAncestorWnd is not 0 and is met walking GetParent upward from AWnd
// (AWnd itself counts).
bool cxHasAncestorWindow(HWND AAncestorWnd, HWND AWnd);
// Enabled, and for a child window every parent up to the first window
// without WS_CHILD enabled too.
bool cxIsWindowEnabledDeep(HWND AWnd);
// Not designing and of that form style; false for null.
bool cxIsMDIChildForm(TCustomForm* AForm);
bool cxIsMDIParentForm(TCustomForm* AForm);
// Between the client coordinates of two windows (0 is the screen).
void cxMapPointBetweenWindows(HWND AFromWnd, HWND AToWnd, TPoint& APoint);
void cxMapRectBetweenWindows(HWND AFromWnd, HWND AToWnd, TRect& ARect);
// The rectangle, or the empty rectangle (and false) when the call fails.
bool cxReadClientRect(HWND AWnd, TRect& ARect);
bool cxReadWindowRect(HWND AWnd, TRect& ARect);
// The window rectangle of a windowed control (screen); the empty rectangle
// (and false) for a control without a window.
bool cxGetControlWindowRect(TControl* AControl, TRect& ARect);
// The deepest visible window under a screen point (disabled children
// included, which WindowFromPoint skips); 0 when there is none.
HWND cxFindWindowAtScreenPoint(const TPoint& APoint);
// For a control with a window: CM_INVALIDATE (wParam 1) to its parent; with
// AInvalidateSelf the control's window (erased unless csOpaque); with
// AIncludeChildren as well, each windowed child that is not opaque or paints
// its parent's background.
void cxInvalidateControlWithParent(TWinControl* AControl, bool AInvalidateSelf = true,
                                   bool AIncludeChildren = false);

// ---------------------------------------------------------------------------
// Monitors
// ---------------------------------------------------------------------------

// The work area of the monitor nearest to a screen point.
void cxWorkAreaFromPoint(const TPoint& APoint, TRect& ARect);
// The monitor's work area; without a monitor (or without GetMonitorInfoW)
// the primary work area.
void cxMonitorWorkArea(HMONITOR AMonitor, TRect& ARect);

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

// The cursor position, or the invalid point (and false) when it cannot be read.
bool cxCursorPosOrInvalid(TPoint& APoint);
int cxSystemDoubleClickTime();
bool cxIsShiftStateEmpty(TShiftState AShift);
bool cxIsLeftButtonOnly(TShiftState AShift, bool AAllowDoubleClick = false);
// MK_* flags; ssAlt and ssDouble have none.
WPARAM cxShiftToMouseKeyFlags(TShiftState AShift);
// Both distances from the press are below the drag threshold.
bool cxIsInDragDetectArea(const TPoint& AMouseDownPos, int X, int Y);

// Results of cxWaitForDragStart.
inline constexpr int cxDragStartReleased = 0;
inline constexpr int cxDragStartDragging = 1;
inline constexpr int cxDragStartCancelled = 2;
// Captures the mouse for AWnd and runs the thread's messages until the press
// is released (0), the cursor leaves the square of the drag threshold around
// its present position (1), or Esc, a lost capture or WM_QUIT ends it (2;
// WM_QUIT is posted again). The capture is released at the end.
int cxWaitForDragStart(HWND AWnd);

// The drag object a base control's DragOver saw last (null outside drags).
TDragObject* cxCurrentDragObject();
void cxSetCurrentDragObject(TDragObject* AObject);

// ---------------------------------------------------------------------------
// Keyboard and characters
// ---------------------------------------------------------------------------

// The one character the key gives with the present keyboard state, else 0.
Char cxTranslateVirtualKeyToChar(Word AKey);
bool cxIsCtrlKeyDown();
// Keys that type nothing (navigation, modifiers, function keys ...).
bool cxIsNonTypingKey(Word AKey);
bool cxIsNotControlChar(Char AChar);
// '+', '-' and digits; kinds 1 and 2 also the locale's decimal separator;
// kind 2 also 'e' and 'E'.
bool cxIsNumericEditChar(Char AChar, Byte AValueKind);
inline Word cxPassKeyThrough(Word AKey) { return AKey; }

// ---------------------------------------------------------------------------
// Captions and components
// ---------------------------------------------------------------------------

// Drops accelerator marks: "&x" gives "x", "&&" gives "&"; a lone mark at
// the end becomes "_" with AAppendUnderscore and is dropped otherwise.
void cxStripAccelAmpersands(const String& AText, bool AAppendUnderscore, String& AResult);
String cxStripAccelAmpersands(const String& AText, bool AAppendUnderscore = false);
// The names of the owner chain from the top down to the component, joined
// with "."; empty for null.
void cxGetComponentDottedPath(TComponent* AComponent, String& AName);

// How the design environment learns that a control changed; called with the
// control's top form. No receiver is installed at run time.
using TcxDesignerModifiedProc = void (*)(TCustomForm* ARoot);
// Installs the receiver; returns the previous one.
TcxDesignerModifiedProc cxSetDesignerModifiedProc(TcxDesignerModifiedProc AProc);
// At design time, when neither the control nor a parent is loading, writing
// or being destroyed: tells the receiver about the control's top form.
void cxNotifyDesignerModified(TControl* AControl);

// ---------------------------------------------------------------------------
// Popup menus: a platform TPopupMenu or a component that implements
// IcxMenuPopupSource
// ---------------------------------------------------------------------------

// The height of the menu's visible items in the menu font (the tallest
// column when items break into columns), plus 4; 0 for null.
int cxCalculatePopupMenuHeight(TComponent* APopupMenu);
bool cxPopupMenuIsShortCut(TComponent* APopupMenu, TWMKey& AMessage);
// Shows the menu at a screen point; false when there is none to show (null,
// or a platform menu without AutoPopup).
bool cxShowPopupMenu(TComponent* ACaller, TComponent* APopupMenu, int X, int Y);

// ---------------------------------------------------------------------------
// Design-time controller
// ---------------------------------------------------------------------------

DECLARE_ENUM(TcxDesignState, dsDesignerModifying)
using TcxDesignStates = TSet<TcxDesignState, 8>;

class TcxDesignController : public TObject {
  DECLARE_CLASS(TcxDesignController, TObject)
  TcxDesignController() = default;

  void LockDesignerModified() { ++FLockDesignerModifiedCount; }
  void UnLockDesignerModified() {
    if (FLockDesignerModifiedCount > 0) --FLockDesignerModifiedCount;
  }
  bool IsDesignerModifiedLocked() const { return FLockDesignerModifiedCount > 0; }
  // Nothing while locked or already inside; else cxNotifyDesignerModified.
  void DesignerModified(TCustomForm* AForm);
  TcxDesignStates State() const { return FState; }

 private:
  int FLockDesignerModifiedCount = 0;
  TcxDesignStates FState;
};

// Module start-up: takes the loaded user32 module for the monitor routines
// and allows the shared message window. Shutdown frees the message window
// and prevents a new one.
void cxControlsRoutinesInitialize();
void cxControlsRoutinesFinalize();
