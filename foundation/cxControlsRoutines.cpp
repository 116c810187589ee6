#include "platform/WinApi.h"
#include "foundation/cxControlsRoutines.h"

#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxCore.h"
#include "platform/core/Components.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include <windowsx.h>

#include <cstdlib>
#include <vector>

IMPLEMENT_CLASS(TcxDesignController, TObject, (ConstructPlain<TcxDesignController>))

namespace {

int gInitCount = 0;
// Set by the shutdown: the shared message window is not made any more.
bool gShutDown = false;
TcxMessageWindow* gMessageWindow = nullptr;
// The loaded user32 module, taken at start-up (never loaded or freed here).
HMODULE gUser32 = nullptr;
TDragObject* gCurrentDragObject = nullptr;
TcxDesignerModifiedProc gDesignerModifiedProc = nullptr;

const TRect kEmptyRect{0, 0, 0, 0};
const TPoint kInvalidPoint{-1, -1};

int DragThreshold() {
  if (Mouse) return Mouse->DragThreshold();
  return ControlsHooks().DragThreshold;
}

template <class T>
T User32Proc(const char* AName) {
  // A module handle at or below 32 is an error code of the old loaders.
  if (reinterpret_cast<UINT_PTR>(gUser32) <= 32) return nullptr;
  return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(gUser32, AName)));
}

}  // namespace

// ---------------------------------------------------------------------------
// Windows and handles
// ---------------------------------------------------------------------------

bool cxIsHandleObtainable(TWinControl* AControl) {
  if (!AControl) return false;
  if (AControl->HandleAllocated()) return true;
  if (AControl->ComponentState().Contains(csDestroying)) return false;
  if (AControl->ParentWindow()) return true;
  if (TWinControl* parent = AControl->Parent()) return cxIsHandleObtainable(parent);
  return AControl->IsForm() && Application && !Application->ComponentState().Contains(csDestroying);
}

TcxMessageWindow* cxGetMessageWindow() {
  if (!gMessageWindow && !gShutDown) gMessageWindow = Make<TcxMessageWindow>();
  return gMessageWindow;
}

bool cxHasChildWindowStyle(HWND AWnd) { return (GetWindowLongW(AWnd, GWL_STYLE) & WS_CHILD) != 0; }

bool cxIsSameOrChildWindow(HWND AParentWnd, HWND AWnd) {
  return AParentWnd && (AParentWnd == AWnd || IsChild(AParentWnd, AWnd));
}

bool cxHasAncestorWindow(HWND AAncestorWnd, HWND AWnd) {
  if (!AAncestorWnd) return false;
  for (HWND wnd = AWnd; wnd; wnd = GetParent(wnd))
    if (wnd == AAncestorWnd) return true;
  return false;
}

bool cxIsWindowEnabledDeep(HWND AWnd) {
  for (HWND wnd = AWnd; wnd; wnd = GetParent(wnd)) {
    if (!IsWindowEnabled(wnd)) return false;
    if (!cxHasChildWindowStyle(wnd)) break;
  }
  return AWnd != nullptr;
}

bool cxIsMDIChildForm(TCustomForm* AForm) {
  return AForm && !AForm->ComponentState().Contains(csDesigning) && AForm->FormStyle() == fsMDIChild;
}

bool cxIsMDIParentForm(TCustomForm* AForm) {
  return AForm && !AForm->ComponentState().Contains(csDesigning) && AForm->FormStyle() == fsMDIForm;
}

void cxMapPointBetweenWindows(HWND AFromWnd, HWND AToWnd, TPoint& APoint) {
  POINT p{APoint.X, APoint.Y};
  MapWindowPoints(AFromWnd, AToWnd, &p, 1);
  APoint = {p.x, p.y};
}

void cxMapRectBetweenWindows(HWND AFromWnd, HWND AToWnd, TRect& ARect) {
  TPoint topLeft{ARect.Left, ARect.Top}, bottomRight{ARect.Right, ARect.Bottom};
  cxMapPointBetweenWindows(AFromWnd, AToWnd, topLeft);
  cxMapPointBetweenWindows(AFromWnd, AToWnd, bottomRight);
  ARect = {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

bool cxReadClientRect(HWND AWnd, TRect& ARect) {
  RECT r;
  const bool ok = AWnd && GetClientRect(AWnd, &r);
  ARect = ok ? TRect{r.left, r.top, r.right, r.bottom} : kEmptyRect;
  return ok;
}

bool cxReadWindowRect(HWND AWnd, TRect& ARect) {
  RECT r;
  const bool ok = AWnd && GetWindowRect(AWnd, &r);
  ARect = ok ? TRect{r.left, r.top, r.right, r.bottom} : kEmptyRect;
  return ok;
}

bool cxGetControlWindowRect(TControl* AControl, TRect& ARect) {
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (!control || !control->HandleAllocated()) {
    ARect = kEmptyRect;
    return false;
  }
  return cxReadWindowRect(control->WindowHandle(), ARect);
}

HWND cxFindWindowAtScreenPoint(const TPoint& APoint) {
  HWND wnd = WindowFromPoint(POINT{APoint.X, APoint.Y});
  while (wnd) {
    POINT p{APoint.X, APoint.Y};
    ScreenToClient(wnd, &p);
    HWND child = ChildWindowFromPointEx(wnd, p, CWP_SKIPINVISIBLE);
    if (!child || child == wnd) break;
    wnd = child;
  }
  return wnd;
}

void cxInvalidateControlWithParent(TWinControl* AControl, bool AInvalidateSelf, bool AIncludeChildren) {
  if (!AControl || !AControl->HandleAllocated()) return;
  if (TWinControl* parent = AControl->Parent()) parent->Perform(CM_INVALIDATE, 1, 0);
  if (!AInvalidateSelf) return;
  InvalidateRect(AControl->WindowHandle(), nullptr, !AControl->ControlStyle().Contains(csOpaque));
  if (!AIncludeChildren) return;
  for (int i = 0; i < AControl->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
    if (!child || !child->HandleAllocated()) continue;
    const TControlStyle style = child->ControlStyle();
    if (!style.Contains(csOpaque) || style.Contains(csParentBackground))
      InvalidateRect(child->WindowHandle(), nullptr, !style.Contains(csOpaque));
  }
}

// ---------------------------------------------------------------------------
// Monitors
// ---------------------------------------------------------------------------

void cxWorkAreaFromPoint(const TPoint& APoint, TRect& ARect) {
  using TMonitorFromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
  HMONITOR monitor = nullptr;
  if (auto proc = User32Proc<TMonitorFromPoint>("MonitorFromPoint"))
    monitor = proc(POINT{APoint.X, APoint.Y}, MONITOR_DEFAULTTONEAREST);
  cxMonitorWorkArea(monitor, ARect);
}

void cxMonitorWorkArea(HMONITOR AMonitor, TRect& ARect) {
  using TGetMonitorInfo = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);
  static_assert(sizeof(MONITORINFO) == 40);
  if (AMonitor) {
    if (auto proc = User32Proc<TGetMonitorInfo>("GetMonitorInfoW")) {
      MONITORINFO info{};
      info.cbSize = sizeof(info);
      if (proc(AMonitor, &info)) {
        ARect = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
        return;
      }
    }
  }
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  ARect = {r.left, r.top, r.right, r.bottom};
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

bool cxCursorPosOrInvalid(TPoint& APoint) {
  POINT p;
  if (!GetCursorPos(&p)) {
    APoint = kInvalidPoint;
    return false;
  }
  APoint = {p.x, p.y};
  return true;
}

int cxSystemDoubleClickTime() { return static_cast<int>(GetDoubleClickTime()); }

bool cxIsShiftStateEmpty(TShiftState AShift) {
  return (AShift * TShiftState{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble}).Empty();
}

bool cxIsLeftButtonOnly(TShiftState AShift, bool AAllowDoubleClick) {
  return AShift.Contains(ssLeft) && (AShift * TShiftState{ssShift, ssAlt, ssCtrl, ssRight, ssMiddle}).Empty() &&
         (AAllowDoubleClick || !AShift.Contains(ssDouble));
}

WPARAM cxShiftToMouseKeyFlags(TShiftState AShift) {
  WPARAM result = 0;
  if (AShift.Contains(ssShift)) result |= MK_SHIFT;
  if (AShift.Contains(ssCtrl)) result |= MK_CONTROL;
  if (AShift.Contains(ssLeft)) result |= MK_LBUTTON;
  if (AShift.Contains(ssRight)) result |= MK_RBUTTON;
  if (AShift.Contains(ssMiddle)) result |= MK_MBUTTON;
  return result;
}

bool cxIsInDragDetectArea(const TPoint& AMouseDownPos, int X, int Y) {
  const int threshold = DragThreshold();
  return std::abs(X - AMouseDownPos.X) < threshold && std::abs(Y - AMouseDownPos.Y) < threshold;
}

int cxWaitForDragStart(HWND AWnd) {
  // The same square as cxIsInDragDetectArea: a move of the threshold in any
  // direction starts the drag (a half-open square of twice the threshold
  // would need one pixel more to the left and upward than to the right).
  if (!AWnd) return cxDragStartCancelled;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint pressed{cursor.x, cursor.y};
  int result = cxDragStartCancelled;
  SetCapture(AWnd);
  try {
    MSG msg;
    while (GetCapture() == AWnd) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      bool stop = false;
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
          if (msg.wParam == VK_ESCAPE) stop = true;
          break;
        case WM_MOUSEMOVE:
          if (msg.hwnd == AWnd) {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(AWnd, &p);
            if (!cxIsInDragDetectArea(pressed, p.x, p.y)) {
              result = cxDragStartDragging;
              stop = true;
            }
          }
          break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
          result = cxDragStartReleased;
          stop = true;
          break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (stop) break;
    }
  } catch (...) {
    if (GetCapture() == AWnd) ReleaseCapture();
    throw;
  }
  if (GetCapture() == AWnd) ReleaseCapture();
  return result;
}

TDragObject* cxCurrentDragObject() { return gCurrentDragObject; }
void cxSetCurrentDragObject(TDragObject* AObject) { gCurrentDragObject = AObject; }

// ---------------------------------------------------------------------------
// Keyboard and characters
// ---------------------------------------------------------------------------

Char cxTranslateVirtualKeyToChar(Word AKey) {
  const UINT scanCode = MapVirtualKeyW(AKey, MAPVK_VK_TO_VSC);
  BYTE state[256];
  if (!GetKeyboardState(state)) return 0;
  Char buffer[2] = {0, 0};
  // A buffer of one character: a key that gives more (a dead key combined
  // with a character it cannot combine with) yields nothing.
  if (ToUnicode(AKey, scanCode, state, buffer, 1, 0) == 1) return buffer[0];
  return 0;
}

bool cxIsCtrlKeyDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }

bool cxIsNonTypingKey(Word AKey) {
  struct TRange {
    Word First, Last;
  };
  static constexpr TRange kRanges[] = {{3, 3},     {8, 9},     {12, 13},   {16, 20},  {27, 27}, {33, 47},
                                       {91, 145},  {160, 165}, {229, 229}, {246, 254}};
  for (const TRange& range : kRanges)
    if (AKey >= range.First && AKey <= range.Last) return true;
  return false;
}

bool cxIsNotControlChar(Char AChar) { return (dxGetCharTypeFlags(AChar) & C1_CNTRL) == 0; }

bool cxIsNumericEditChar(Char AChar, Byte AValueKind) {
  if (AChar == L'-' || AChar == L'+' || (dxGetCharTypeFlags(AChar) & C1_DIGIT) != 0) return true;
  if ((AValueKind == 1 || AValueKind == 2) && AChar == FormatSettings().DecimalSeparator) return true;
  return AValueKind == 2 && (AChar == L'e' || AChar == L'E');
}

// ---------------------------------------------------------------------------
// Captions and components
// ---------------------------------------------------------------------------

void cxStripAccelAmpersands(const String& AText, bool AAppendUnderscore, String& AResult) {
  String result;
  result.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != L'&') {
      result += AText[i];
      continue;
    }
    if (i + 1 < AText.size()) {
      result += AText[++i];   // the marked character, or the second '&' of "&&"
    } else if (AAppendUnderscore) {
      result += L'_';
    }
  }
  AResult = std::move(result);
}

String cxStripAccelAmpersands(const String& AText, bool AAppendUnderscore) {
  String result;
  cxStripAccelAmpersands(AText, AAppendUnderscore, result);
  return result;
}

void cxGetComponentDottedPath(TComponent* AComponent, String& AName) {
  AName.clear();
  if (!AComponent) return;
  AName = AComponent->Name();
  for (TComponent* c = AComponent->Owner(); c; c = c->Owner()) AName = c->Name() + L"." + AName;
}

TcxDesignerModifiedProc cxSetDesignerModifiedProc(TcxDesignerModifiedProc AProc) {
  TcxDesignerModifiedProc previous = gDesignerModifiedProc;
  gDesignerModifiedProc = AProc;
  return previous;
}

void cxNotifyDesignerModified(TControl* AControl) {
  if (!AControl || !AControl->ComponentState().Contains(csDesigning)) return;
  const TComponentStateSet busy{csLoading, csWriting, csDestroying};
  for (TControl* c = AControl; c; c = c->Parent())
    if (!(c->ComponentState() * busy).Empty()) return;
  TCustomForm* root = GetParentForm(AControl);
  if (root && gDesignerModifiedProc) gDesignerModifiedProc(root);
}

void TcxDesignController::DesignerModified(TCustomForm* AForm) {
  if (IsDesignerModifiedLocked() || FState.Contains(dsDesignerModifying)) return;
  FState += dsDesignerModifying;
  try {
    cxNotifyDesignerModified(AForm);
  } catch (...) {
    FState -= dsDesignerModifying;
    throw;
  }
  FState -= dsDesignerModifying;
}

// ---------------------------------------------------------------------------
// Popup menus
// ---------------------------------------------------------------------------

int cxCalculatePopupMenuHeight(TComponent* APopupMenu) {
  auto* menu = dynamic_cast<TPopupMenu*>(APopupMenu);
  if (!menu) return 0;
  // A canvas of its own, so that the shared screen canvas keeps its font.
  auto* canvas = Make<TcxScreenCanvas>();
  int maxColumn = 0, column = 0;
  try {
    if (Screen) canvas->Font()->Assign(Screen->MenuFont());
    const int defaultHeight = canvas->TextHeight(L"Qg") + 4;
    TMenuItem* items = menu->Items();
    for (int i = 0; i < items->Count(); ++i) {
      TMenuItem* item = items->Items(i);
      if (!item->Visible()) continue;
      int width = 0, height = defaultHeight;
      if (menu->OwnerDraw() || item->ImageList() || item->HasBitmap())
        item->MeasureItem(canvas->Canvas(), width, height);
      if (item->Break() != mbNone) {
        if (column > maxColumn) maxColumn = column;
        column = 0;
      }
      column += height;
    }
  } catch (...) {
    TObject::Free(canvas);
    throw;
  }
  TObject::Free(canvas);
  if (column > maxColumn) maxColumn = column;
  return maxColumn + 4;
}

bool cxPopupMenuIsShortCut(TComponent* APopupMenu, TWMKey& AMessage) {
  if (!APopupMenu) return false;
  if (auto* source = dynamic_cast<IcxMenuPopupSource*>(APopupMenu)) return source->IsMenuShortCut(AMessage);
  if (auto* menu = dynamic_cast<TPopupMenu*>(APopupMenu); menu && menu->WindowHandle())
    return menu->IsShortCut(AMessage);
  return false;
}

bool cxShowPopupMenu(TComponent* ACaller, TComponent* APopupMenu, int X, int Y) {
  if (!APopupMenu) return false;
  if (auto* source = dynamic_cast<IcxMenuPopupSource*>(APopupMenu)) {
    source->PopupAt(X, Y);
    return true;
  }
  if (auto* menu = dynamic_cast<TPopupMenu*>(APopupMenu); menu && menu->AutoPopup()) {
    menu->SetPopupComponent(ACaller);
    menu->Popup(X, Y);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Module start-up
// ---------------------------------------------------------------------------

void cxControlsRoutinesInitialize() {
  if (gInitCount++ > 0) return;
  gShutDown = false;
  gUser32 = GetModuleHandleW(L"user32.dll");
}

void cxControlsRoutinesFinalize() {
  if (gInitCount == 0 || --gInitCount > 0) return;
  gShutDown = true;
  TcxMessageWindow* window = gMessageWindow;
  gMessageWindow = nullptr;
  TObject::Free(window);
  gUser32 = nullptr;
  gCurrentDragObject = nullptr;
}
