#include "foundation/cxContainerRoutines.h"

#include "foundation/dxUxTheme.h"
#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/GdiAccounting.h"

#include "foundation/cxControlsRoutines.h"
#include "platform/gui/Forms.h"

#include <algorithm>
#include <memory>

namespace {

using TGetScrollBarInfoProc = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);

struct TContainerRoutinesState {
  TGetScrollBarInfoProc GetScrollBarInfo = nullptr;
  bool ScrollBarInfoForcedOff = false;
  TcxStyleController* DefaultStyleController = nullptr;
  int DisablingCount = 0;
  std::vector<HWND>* DisabledWindows = nullptr;
  bool ChangingEnabling = false;
};

TContainerRoutinesState& State() {
  static TContainerRoutinesState state;
  return state;
}

// TRect is laid out as RECT.
const RECT* AsRECT(const TRect& R) { return reinterpret_cast<const RECT*>(&R); }

// The four bands of R around a hole that lies inside it.
void BandsAroundHole(const TRect& R, const TRect& H, TRect (&ABands)[4]) {
  ABands[0] = TRect(R.Left, R.Top, H.Left, R.Bottom);
  ABands[1] = TRect(H.Left, R.Top, H.Right, H.Top);
  ABands[2] = TRect(H.Right, R.Top, R.Right, R.Bottom);
  ABands[3] = TRect(H.Left, H.Bottom, H.Right, R.Bottom);
}

// Clears the flag when the scope ends, also on an exception.
struct TEnablingScope {
  TEnablingScope() { State().ChangingEnabling = true; }
  ~TEnablingScope() { State().ChangingEnabling = false; }
};

BOOL CALLBACK DisableProcessWindow(HWND AWnd, LPARAM AParam) {
  return GuardCallback(FALSE, [&] {
    DWORD processId = 0;
    GetWindowThreadProcessId(AWnd, &processId);
    if (processId == GetCurrentProcessId())
      cxDisableAndRememberWindow(*reinterpret_cast<std::vector<HWND>*>(AParam), AWnd);
    return TRUE;
  });
}

}  // namespace

// ---------------------------------------------------------------------------
// Metrics and geometry
// ---------------------------------------------------------------------------

int cxGetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle) {
  static const int widths[] = {0, 1, 2, 2, 2, 1, 1};
  return widths[ABorderStyle];
}

int cxGetPainterBorderWidth(TcxContainerBorderStyle ABorderStyle, TcxCustomLookAndFeelPainterClass APainter) {
  if (!APainter) return cxGetContainerBorderWidth(ABorderStyle);
  if (ABorderStyle == cbsNone) return 0;
  return ABorderStyle == cbsThick ? 2 : 1;
}

void cxGetControlSizeRect(TControl* AControl, TRect& ARect) { ARect = TRect(0, 0, AControl->Width(), AControl->Height()); }

void cxGrowRectOnBorders(TRect& ARect, int AWidth, TcxBorders ABorders) {
  if (ABorders.Contains(bLeft)) ARect.Left -= AWidth;
  if (ABorders.Contains(bTop)) ARect.Top -= AWidth;
  if (ABorders.Contains(bRight)) ARect.Right += AWidth;
  if (ABorders.Contains(bBottom)) ARect.Bottom += AWidth;
}

void cxShrinkRectOnUndrawnEdges(TRect& ARect, int AWidth, TcxBorders ABorders) {
  if (!ABorders.Contains(bLeft)) ARect.Left += AWidth;
  if (!ABorders.Contains(bTop)) ARect.Top += AWidth;
  if (!ABorders.Contains(bRight)) ARect.Right -= AWidth;
  if (!ABorders.Contains(bBottom)) ARect.Bottom -= AWidth;
}

TcxMouseButton cxConvertMouseButton(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return cxmbLeft;
    case mbRight: return cxmbRight;
    case mbMiddle: return cxmbMiddle;
  }
  return cxmbNone;
}

void cxAssignFont(TFont* ADestination, TFont* ASource) { ADestination->Assign(ASource); }

bool cxStringsEqual(const String& S1, const String& S2, bool ACaseSensitive) {
  if (ACaseSensitive) return AnsiCompareStr(S1, S2) == 0;
  return AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

bool cxReadCursorPos(TPoint& APoint) {
  POINT p{};
  const bool result = GetCursorPos(&p) != FALSE;
  APoint = TPoint(p.x, p.y);
  return result;
}

TShiftState cxGetCurrentShiftState() { return KeyboardStateToShiftState(); }

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void cxPaintDropShadow(TcxCanvas* ACanvas, const TRect& R) {
  ACanvas->Brush()->SetColor(clBtnShadow);
  const TRect bottom(R.Left + 3, R.Bottom, R.Right, R.Bottom + 3);
  ACanvas->FillRect(bottom);
  ACanvas->ExcludeClipRect(bottom);
  const TRect right(R.Right, R.Top + 3, R.Right + 3, R.Bottom + 3);
  ACanvas->FillRect(right);
  ACanvas->ExcludeClipRect(right);
}

void cxFillRectAroundHole(TcxCanvas* ACanvas, const TRect& R, const TRect& AHole, TColor AColor) {
  if (R.IsEmpty() || R == AHole) return;
  ACanvas->Brush()->SetColor(AColor);
  if (AHole.IsEmpty()) {
    ACanvas->FillRect(R);
    return;
  }
  TRect bands[4];
  BandsAroundHole(R, AHole, bands);
  for (const TRect& band : bands) ACanvas->FillRect(band);
}

void cxInvalidateRectExcluding(HWND AWnd, const TRect& R, const TRect& AExcluded, bool AErase) {
  if (AExcluded.IsEmpty()) {
    InvalidateRect(AWnd, AsRECT(R), AErase);
    return;
  }
  TRect bands[4];
  BandsAroundHole(R, AExcluded, bands);
  for (const TRect& band : bands) InvalidateRect(AWnd, AsRECT(band), AErase);
}

void cxInvalidateControlRect(TWinControl* AControl, const TRect& R, bool AErase) {
  if (!AControl->HandleAllocated()) return;
  InvalidateRect(AControl->WindowHandle(), AsRECT(R), AErase);
}

void cxBufferedPaintClient(HDC ADC, const TRect& R, HWND AWnd) {
  BP_PAINTPARAMS params{};
  params.cbSize = sizeof(params);
  HDC paintDC = nullptr;
  HPAINTBUFFER buffer = dxUxBeginBufferedPaint(ADC, R, BPBF_TOPDOWNDIB, &params, paintDC);
  auto finish = [&] {
    HideCaret(AWnd);
    if (buffer) dxUxEndBufferedPaint(buffer, TRUE);
    ShowCaret(AWnd);
  };
  try {
    if (buffer) {
      SendMessageW(AWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paintDC), reinterpret_cast<LPARAM>(paintDC));
      SendMessageW(AWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paintDC), PRF_CLIENT);
      dxUxBufferedPaintSetAlpha(buffer, nullptr, 255);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void cxRedrawClientOnGlass(HWND AWnd) {
  HDC dc = GetDC(AWnd);
  RECT client{};
  GetClientRect(AWnd, &client);
  try {
    cxBufferedPaintClient(dc, TRect(client.left, client.top, client.right, client.bottom), AWnd);
  } catch (...) {
    ReleaseDC(AWnd, dc);
    throw;
  }
  ReleaseDC(AWnd, dc);
}

void cxPaintClientOnGlass(HWND AWnd) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(AWnd, &ps);
  try {
    cxBufferedPaintClient(dc, TRect(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom), AWnd);
  } catch (...) {
    EndPaint(AWnd, &ps);
    throw;
  }
  EndPaint(AWnd, &ps);
}

bool cxShouldPaintThemed(bool ANativeStyle, TdxThemedObjectType AType) {
  return ANativeStyle && dxAcquireThemeHandle(AType) != nullptr;
}

// ---------------------------------------------------------------------------
// Window regions
// ---------------------------------------------------------------------------

HRGN cxBuildShadowWindowRegion(HWND, const TRect& AFrame, const TRect& AShadowInsets, const TRect& AExcluded,
                               bool AShadow, bool ANativeWithBorder) {
  if (!AShadow || ANativeWithBorder) return nullptr;
  HRGN result = GdiCreateRectRgn(AFrame.Left, AFrame.Top, AFrame.Right, AFrame.Bottom);
  if (!result) return nullptr;
  HRGN shadow = GdiCreateRectRgn(AFrame.Left + 3 + AShadowInsets.Left, AFrame.Top + 3 + AShadowInsets.Top,
                                 AFrame.Right + 3 - AShadowInsets.Right, AFrame.Bottom + 3 - AShadowInsets.Bottom);
  if (shadow) {
    CombineRgn(result, result, shadow, RGN_OR);
    GdiDeleteObject(shadow);
  }
  if (!AExcluded.IsEmpty()) {
    HRGN excluded = GdiCreateRectRgn(AExcluded.Left, AExcluded.Top, AExcluded.Right, AExcluded.Bottom);
    if (excluded) {
      CombineRgn(result, result, excluded, RGN_DIFF);
      GdiDeleteObject(excluded);
    }
  }
  return result;
}

bool cxWindowRegionDiffers(HWND AWnd, HRGN ARegion) {
  HRGN current = GdiCreateRectRgn(0, 0, 0, 0);
  if (!current) return true;
  const bool hasRegion = GetWindowRgn(AWnd, current) != ERROR;
  bool differs;
  if (!hasRegion)
    differs = ARegion != nullptr;
  else
    differs = ARegion == nullptr || !EqualRgn(current, ARegion);
  GdiDeleteObject(current);
  return differs;
}

void cxApplyWindowRegionIfChanged(HWND AWnd, HRGN ARegion) {
  if (cxWindowRegionDiffers(AWnd, ARegion)) {
    // The window owns the region from now on.
    if (ARegion) GdiDisown(ARegion);
    if (!SetWindowRgn(AWnd, ARegion, TRUE) && ARegion) {
      GdiAdopt(ARegion);
      GdiDeleteObject(ARegion);
    }
  } else if (ARegion) {
    GdiDeleteObject(ARegion);
  }
}

void cxApplyShadowWindowRegion(HWND AWnd, const TRect& AFrame, const TRect& AShadowInsets, const TRect& AExcluded,
                               bool AShadow, bool ANativeWithBorder) {
  cxApplyWindowRegionIfChanged(
      AWnd, cxBuildShadowWindowRegion(AWnd, AFrame, AShadowInsets, AExcluded, AShadow, ANativeWithBorder));
}

void cxSetInnerControlRegion(TWinControl* AControl, const TcxContainerInnerControlBounds& ABounds) {
  if (!AControl->HandleAllocated()) return;
  HRGN region = nullptr;
  if (!ABounds.IsEmpty) {
    region = GdiCreateRectRgn(ABounds.Rect.Left, ABounds.Rect.Top, ABounds.Rect.Right, ABounds.Rect.Bottom);
    if (!region) return;
    GdiDisown(region);
  }
  if (!SetWindowRgn(AControl->WindowHandle(), region, TRUE) && region) DeleteObject(region);
}

// ---------------------------------------------------------------------------
// Native scroll-bar information
// ---------------------------------------------------------------------------

void cxInitScrollBarInfoAccess() {
  HMODULE user32 = GetModuleHandleW(L"User32");
  State().GetScrollBarInfo =
      user32 ? reinterpret_cast<TGetScrollBarInfoProc>(
                   reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetScrollBarInfo")))
             : nullptr;
}

bool cxCanQueryScrollBarInfo() { return State().GetScrollBarInfo && !State().ScrollBarInfoForcedOff; }

bool cxQueryScrollBarInfo(HWND AWnd, LONG AObjectId, SCROLLBARINFO& AInfo) {
  AInfo.cbSize = 60;
  static_assert(sizeof(SCROLLBARINFO) == 60);
  return cxCanQueryScrollBarInfo() && State().GetScrollBarInfo(AWnd, AObjectId, &AInfo);
}

void cxSetScrollBarInfoUnavailable(bool AUnavailable) { State().ScrollBarInfoForcedOff = AUnavailable; }

// ---------------------------------------------------------------------------
// Windows and forms
// ---------------------------------------------------------------------------

HWND cxFindTopLevelAncestorWindow(HWND AWnd) {
  while (AWnd && (GetWindowLongW(AWnd, GWL_STYLE) & WS_CHILD)) AWnd = GetParent(AWnd);
  return AWnd;
}

bool cxIsControlShowing(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && IsWindowVisible(AControl->WindowHandle());
}

bool cxIsFormActivated(TCustomForm* AForm) {
  if (!AForm || !AForm->HandleAllocated()) return false;
  HWND active = GetActiveWindow();
  if (AForm->WindowHandle() == active) return true;
  if (cxIsMDIChildForm(AForm)) {
    TForm* main = Application ? Application->MainForm() : nullptr;
    return main && main->ActiveMDIChild() == AForm && main->HandleAllocated() && main->WindowHandle() == active;
  }
  return cxFindTopLevelAncestorWindow(AForm->WindowHandle()) == active;
}

bool cxDiscardPendingMessages(HWND AWnd, UINT AFirst, UINT ALast, bool AAll) {
  bool result = false;
  MSG msg;
  while (PeekMessageW(&msg, AWnd, AFirst, ALast, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    result = true;
    if (!AAll) break;
  }
  return result;
}

void cxDisableAndRememberWindow(std::vector<HWND>& AList, HWND AWnd) {
  if (!IsWindowEnabled(AWnd)) return;
  AList.push_back(AWnd);
  EnableWindow(AWnd, FALSE);
}

void cxReenableWindows(const std::vector<HWND>* AList) {
  if (!AList) return;
  for (HWND wnd : *AList)
    if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
}

void cxDisableProcessWindows(bool ADisable) {
  TContainerRoutinesState& state = State();
  if (state.DisablingCount++ != 0 || !ADisable) return;
  TEnablingScope scope;
  state.DisabledWindows = new std::vector<HWND>();
  EnumWindows(&DisableProcessWindow, reinterpret_cast<LPARAM>(state.DisabledWindows));
}

void cxEnableProcessWindows() {
  TContainerRoutinesState& state = State();
  if (state.DisablingCount <= 0) return;
  if (--state.DisablingCount != 0) return;
  TEnablingScope scope;
  std::unique_ptr<std::vector<HWND>> list(state.DisabledWindows);
  state.DisabledWindows = nullptr;
  cxReenableWindows(list.get());
}

bool cxIsChangingWindowsEnabling() { return State().ChangingEnabling; }

TcxStyleController* cxGetDefaultContainerStyleController() { return State().DefaultStyleController; }

void cxSetDefaultContainerStyleController(TcxStyleController* AController) {
  State().DefaultStyleController = AController;
}
