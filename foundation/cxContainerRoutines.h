// Plain routines of the container module: border metrics, drop shadows and
// window regions, invalidating and filling around a hole, window-ownership
// tests (does a window belong to a control, its children or a drop-down
// opened from them), native scroll-bar information, the default style
// controller, disabling every top-level window of the process for a while,
// and buffered painting on a glass frame. None of them raises.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxContainerStyles.h"
#include "foundation/dxThemeManager.h"
#include "platform/gui/Controls.h"

class TcxContainer;
class TcxStyleController;
class TCustomForm;
class IcxContainerInnerControl;

DECLARE_ENUM(TcxMouseButton, cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle)

// The window region given to a clipped child; IsEmpty: no region (the whole
// child shows).
struct TcxContainerInnerControlBounds {
  bool IsEmpty = true;
  TRect Rect;
};

// ---- metrics and geometry
int cxGetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle);
// With a skin painter: 0 for cbsNone, 2 for cbsThick, 1 otherwise.
int cxGetPainterBorderWidth(TcxContainerBorderStyle ABorderStyle, TcxCustomLookAndFeelPainterClass APainter);
void cxGetControlSizeRect(TControl* AControl, TRect& ARect);
// Each side in ABorders moves outward by AWidth.
void cxGrowRectOnBorders(TRect& ARect, int AWidth, TcxBorders ABorders);
// Each side NOT in ABorders moves inward by AWidth.
void cxShrinkRectOnUndrawnEdges(TRect& ARect, int AWidth, TcxBorders ABorders);
TcxMouseButton cxConvertMouseButton(TMouseButton AButton);
void cxAssignFont(TFont* ADestination, TFont* ASource);
bool cxStringsEqual(const String& S1, const String& S2, bool ACaseSensitive);
bool cxReadCursorPos(TPoint& APoint);
// Shift, Alt, Ctrl and the mouse buttons from the keyboard state.
TShiftState cxGetCurrentShiftState();

// ---- painting
// Two clBtnShadow bands 3 pixels wide right of and below R, each excluded
// from the clip right after it is filled.
void cxPaintDropShadow(TcxCanvas* ACanvas, const TRect& R);
void cxFillRectAroundHole(TcxCanvas* ACanvas, const TRect& R, const TRect& AHole, TColor AColor);
// Invalidates R, or the four bands around a non-empty AExcluded.
void cxInvalidateRectExcluding(HWND AWnd, const TRect& R, const TRect& AExcluded, bool AErase);
void cxInvalidateControlRect(TWinControl* AControl, const TRect& R, bool AErase);
// Fills R on the window DC of the container's inner control with the size
// grip colour of the container's painter.
void cxFillSizeGripCorner(TcxContainer* AContainer, const TRect& R);
// The window's client through a visual-styles paint buffer: WM_ERASEBKGND
// and WM_PRINTCLIENT into the buffer, alpha 255, then onto ADC.
void cxBufferedPaintClient(HDC ADC, const TRect& R, HWND AWnd);
void cxRedrawClientOnGlass(HWND AWnd);
// WM_PAINT handling on glass.
void cxPaintClientOnGlass(HWND AWnd);
bool cxShouldPaintThemed(bool ANativeStyle, TdxThemedObjectType AType);

// ---- window regions (regions made here are counted by GdiAccounting)
// 0 unless AShadow and not ANativeWithBorder; else AFrame united with AFrame
// moved by (3, 3) and inset by AShadowInsets, less AExcluded.
HRGN cxBuildShadowWindowRegion(HWND AWnd, const TRect& AFrame, const TRect& AShadowInsets,
                               const TRect& AExcluded, bool AShadow, bool ANativeWithBorder);
// A window without a region and a region of 0 count as equal.
bool cxWindowRegionDiffers(HWND AWnd, HRGN ARegion);
// When the regions differ the window takes ARegion (it owns it then);
// otherwise ARegion is deleted.
void cxApplyWindowRegionIfChanged(HWND AWnd, HRGN ARegion);
void cxApplyShadowWindowRegion(HWND AWnd, const TRect& AFrame, const TRect& AShadowInsets,
                               const TRect& AExcluded, bool AShadow, bool ANativeWithBorder);
void cxSetInnerControlRegion(TWinControl* AControl, const TcxContainerInnerControlBounds& ABounds);

// ---- native scroll-bar information
void cxInitScrollBarInfoAccess();
bool cxCanQueryScrollBarInfo();
// False without GetScrollBarInfo (the record then keeps all but its size).
bool cxQueryScrollBarInfo(HWND AWnd, LONG AObjectId, SCROLLBARINFO& AInfo);
// Tests: pretend the system has no GetScrollBarInfo (true) or look it up again.
void cxSetScrollBarInfoUnavailable(bool AUnavailable);
void cxGetContainerSizeGripRect(TcxContainer* AContainer, TRect& ARect);
void cxGetInnerControlSizeGripRect(IcxContainerInnerControl* AInnerControl, TRect& ARect);

// ---- windows, controls and forms
TcxContainer* cxContainerFromControl(TWinControl* AControl);
HWND cxFindTopLevelAncestorWindow(HWND AWnd);
bool cxIsControlShowing(TWinControl* AControl);
bool cxIsControlWindow(TWinControl* AControl, HWND AWnd, bool ADeep);
// The window belongs to a child of the control or to a drop-down opened from
// the control or one of its children, however deeply nested.
bool cxIsWindowInsideControl(TWinControl* AControl, HWND AWnd);
bool cxIsWindowOnControlForm(TWinControl* AControl, HWND AWnd);
bool cxIsFormActivated(TCustomForm* AForm);
// Removes queued messages of the range for the window (only the first unless
// AAll); a WM_QUIT met is posted again and ends the removal. True when
// another message was removed.
bool cxDiscardPendingMessages(HWND AWnd, UINT AFirst, UINT ALast, bool AAll);
void cxDisableAndRememberWindow(std::vector<HWND>& AList, HWND AWnd);
void cxReenableWindows(const std::vector<HWND>* AList);
// Nested: only the outermost call that asks for it disables the enabled
// top-level windows of the process; the matching cxEnableProcessWindows
// enables them again.
void cxDisableProcessWindows(bool ADisable);
void cxEnableProcessWindows();
bool cxIsChangingWindowsEnabling();

// ---- the default style controller (installed by the editor core)
TcxStyleController* cxGetDefaultContainerStyleController();
void cxSetDefaultContainerStyleController(TcxStyleController* AController);
