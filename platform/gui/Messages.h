// Window message records and the class library's own message numbers.
//
// TMessage is the generic record every window procedure of the library works
// with; the typed records are views of the same bytes that name the parts of
// WParam and LParam, so a message handler can take the record it wants by
// reference: `void WMSize(TWMSize& m)` declared with b.Message<&T::WMSize>(WM_SIZE).
// Both targets lay the records out as their platform does: 16 bytes on 32 bits;
// on 64 bits Msg is padded to 8 bytes, WParam, LParam and Result are 8 bytes
// each, and fields packed into WParam or LParam sit in the low bytes of their
// slot (LIB_SLOT aligns the first of them to the slot), padded after.
//
// CM_* are the library's control messages (CM_BASE + n, one list so that
// every number is defined once); CN_* are notifications that a parent
// reflects back to the child window that sent them (CN_BASE + the WM_ number).
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/ShiftState.h"

#include <cstddef>
#include <cstdint>

class TControl;
class TWinControl;
struct THintInfo;
struct TDragRec;

// The records overlay one another: tell the compiler that a TMessage may be
// read through any of its typed views.
#define LIB_MSG_RECORD struct __attribute__((may_alias))
// The first field packed into the WParam or LParam slot starts the slot.
#define LIB_SLOT alignas(sizeof(WPARAM))

LIB_MSG_RECORD TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;

  Word WParamLo() const { return LOWORD(WParam); }
  Word WParamHi() const { return HIWORD(WParam); }
  Word LParamLo() const { return LOWORD(LParam); }
  Word LParamHi() const { return HIWORD(LParam); }
  Word ResultLo() const { return LOWORD(Result); }
  Word ResultHi() const { return HIWORD(Result); }
};
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) &&
              sizeof(LRESULT) == sizeof(void*));
static_assert(offsetof(TMessage, WParam) == sizeof(void*) &&
              offsetof(TMessage, LParam) == 2 * sizeof(void*) &&
              offsetof(TMessage, Result) == 3 * sizeof(void*) && sizeof(TMessage) == 4 * sizeof(void*));

// A message without parameters of interest.
LIB_MSG_RECORD TWMNoParams {
  UINT Msg;
  LIB_SLOT Word Unused[2 * sizeof(WPARAM) / sizeof(Word)];
  LRESULT Result;
};

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

LIB_MSG_RECORD TWMMouse {
  UINT Msg;
  WPARAM Keys;        // MK_* flags
  LIB_SLOT std::int16_t XPos;  // client coordinates
  std::int16_t YPos;
  LRESULT Result;
  TSmallPoint Pos() const { return {XPos, YPos}; }
};
using TWMMouseMove = TWMMouse;
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMRButtonDblClk = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;
using TWMMButtonDblClk = TWMMouse;
using TCMDesignHitTest = TWMMouse;

LIB_MSG_RECORD TWMMouseWheel {
  UINT Msg;
  LIB_SLOT std::int16_t Keys;  // MK_* flags
  std::int16_t WheelDelta;  // multiples of WHEEL_DELTA
  LIB_SLOT std::int16_t XPos;  // screen coordinates
  std::int16_t YPos;
  LRESULT Result;
  TSmallPoint Pos() const { return {XPos, YPos}; }
};

// CM_MOUSEWHEEL: the wheel message as the library passes it up the parent chain.
LIB_MSG_RECORD TCMMouseWheel {
  UINT Msg;
  LIB_SLOT Byte ShiftBits;  // TShiftState, low 8 elements
  Byte Unused;
  std::int16_t WheelDelta;
  LIB_SLOT std::int16_t XPos;  // screen coordinates
  std::int16_t YPos;
  LRESULT Result;
  TShiftState ShiftState() const { return TShiftState::FromBits(ShiftBits); }
  void SetShiftState(TShiftState s) { ShiftBits = static_cast<Byte>(s.ToBits() & 0xFF); }
  TSmallPoint Pos() const { return {XPos, YPos}; }
};

LIB_MSG_RECORD TWMNCHitTest {
  UINT Msg;
  LPARAM Unused;
  LIB_SLOT std::int16_t XPos;  // screen coordinates
  std::int16_t YPos;
  LRESULT Result;     // HT* code
  TSmallPoint Pos() const { return {XPos, YPos}; }
};
using TCMHitTest = TWMNCHitTest;  // client coordinates of the control

// WM_NCLBUTTONDOWN and the other non-client mouse messages.
LIB_MSG_RECORD TWMNCHitMessage {
  UINT Msg;
  WPARAM HitTest;
  LIB_SLOT std::int16_t XCursor;  // screen coordinates
  std::int16_t YCursor;
  LRESULT Result;
};
using TWMNCLButtonDown = TWMNCHitMessage;
using TWMNCLButtonUp = TWMNCHitMessage;
using TWMNCLButtonDblClk = TWMNCHitMessage;
using TWMNCMouseMove = TWMNCHitMessage;
using TWMNCRButtonDown = TWMNCHitMessage;
using TWMNCRButtonUp = TWMNCHitMessage;

LIB_MSG_RECORD TWMSetCursor {
  UINT Msg;
  HWND CursorWnd;
  LIB_SLOT Word HitTest;
  Word MouseMsg;
  LRESULT Result;
};

LIB_MSG_RECORD TWMMouseActivate {
  UINT Msg;
  HWND TopLevel;
  LIB_SLOT Word HitTestCode;
  Word MouseMsg;
  LRESULT Result;
};

LIB_MSG_RECORD TWMCaptureChanged {
  UINT Msg;
  WPARAM Unused;
  HWND CaptureWnd;  // the window that gets the capture
  LRESULT Result;
};

LIB_MSG_RECORD TWMContextMenu {
  UINT Msg;
  HWND hWnd;
  LIB_SLOT std::int16_t XPos;  // screen coordinates; -1, -1 from the keyboard
  std::int16_t YPos;
  LRESULT Result;
  TSmallPoint Pos() const { return {XPos, YPos}; }
};

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

LIB_MSG_RECORD TWMKey {
  UINT Msg;
  LIB_SLOT Word CharCode;  // virtual key, or the character of WM_CHAR
  Word Unused;
  LPARAM KeyData;
  LRESULT Result;
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMSysChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysKeyUp = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

LIB_MSG_RECORD TWMGetDlgCode {
  UINT Msg;
  WPARAM Unused;
  MSG* lpMsg;  // the message that asks, or null
  LRESULT Result;
};

LIB_MSG_RECORD TCMChildKey {
  UINT Msg;
  LIB_SLOT Word CharCode;
  Word Unused;
  TWinControl* Sender;
  LRESULT Result;
};

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

LIB_MSG_RECORD TWMPaint {
  UINT Msg;
  HDC DC;  // a DC to paint into instead of BeginPaint, or null
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMEraseBkgnd {
  UINT Msg;
  HDC DC;
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMNCPaint {
  UINT Msg;
  HRGN RGN;
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMPrint {
  UINT Msg;
  HDC DC;
  LPARAM Flags;  // PRF_*
  LRESULT Result;
};
using TWMPrintClient = TWMPrint;

LIB_MSG_RECORD TWMCtlColor {
  UINT Msg;
  HDC ChildDC;
  HWND ChildWnd;
  LRESULT Result;  // the brush
};
using TWMCtlColorEdit = TWMCtlColor;
using TWMCtlColorStatic = TWMCtlColor;
using TWMCtlColorListBox = TWMCtlColor;
using TWMCtlColorBtn = TWMCtlColor;
using TWMCtlColorScrollBar = TWMCtlColor;

LIB_MSG_RECORD TWMDrawItem {
  UINT Msg;
  WPARAM Ctl;
  DRAWITEMSTRUCT* DrawItemStruct;
  LRESULT Result;
};

LIB_MSG_RECORD TWMMeasureItem {
  UINT Msg;
  WPARAM IDCtl;
  MEASUREITEMSTRUCT* MeasureItemStruct;
  LRESULT Result;
};

LIB_MSG_RECORD TWMDeleteItem {
  UINT Msg;
  WPARAM Ctl;
  DELETEITEMSTRUCT* DeleteItemStruct;
  LRESULT Result;
};

LIB_MSG_RECORD TWMCompareItem {
  UINT Msg;
  WPARAM Ctl;
  COMPAREITEMSTRUCT* CompareItemStruct;
  LRESULT Result;
};

// ---------------------------------------------------------------------------
// Size, position and window state
// ---------------------------------------------------------------------------

LIB_MSG_RECORD TWMSize {
  UINT Msg;
  WPARAM SizeType;  // SIZE_*
  LIB_SLOT Word Width;
  Word Height;
  LRESULT Result;
};

LIB_MSG_RECORD TWMMove {
  UINT Msg;
  WPARAM Unused;
  LIB_SLOT std::int16_t XPos;
  std::int16_t YPos;
  LRESULT Result;
};

LIB_MSG_RECORD TWMWindowPosMsg {
  UINT Msg;
  WPARAM Unused;
  WINDOWPOS* WindowPos;
  LRESULT Result;
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;

LIB_MSG_RECORD TWMNCCalcSize {
  UINT Msg;
  LIB_SLOT BOOL CalcValidRects;
  NCCALCSIZE_PARAMS* CalcSize_Params;  // a RECT* when CalcValidRects is FALSE
  LRESULT Result;
};

LIB_MSG_RECORD TWMGetMinMaxInfo {
  UINT Msg;
  WPARAM Unused;
  MINMAXINFO* MinMaxInfo;
  LRESULT Result;
};

LIB_MSG_RECORD TWMSizing {
  UINT Msg;
  WPARAM fwSide;
  RECT* lprc;
  LRESULT Result;
};
using TWMMoving = TWMSizing;

LIB_MSG_RECORD TWMShowWindow {
  UINT Msg;
  LIB_SLOT BOOL Show;
  LPARAM Status;
  LRESULT Result;
};

LIB_MSG_RECORD TWMEnable {
  UINT Msg;
  LIB_SLOT BOOL Enabled;
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMStyleChanged {
  UINT Msg;
  WPARAM StyleType;  // GWL_STYLE or GWL_EXSTYLE
  STYLESTRUCT* StyleStruct;
  LRESULT Result;
};
using TWMStyleChanging = TWMStyleChanged;

LIB_MSG_RECORD TWMSetFont {
  UINT Msg;
  HFONT Font;
  LIB_SLOT BOOL Redraw;
  LRESULT Result;
};

LIB_MSG_RECORD TWMSetText {
  UINT Msg;
  WPARAM Unused;
  const wchar_t* Text;
  LRESULT Result;
};

LIB_MSG_RECORD TWMGetText {
  UINT Msg;
  WPARAM TextMax;
  wchar_t* Text;
  LRESULT Result;
};
using TWMGetTextLength = TWMNoParams;

// ---------------------------------------------------------------------------
// Focus and activation
// ---------------------------------------------------------------------------

LIB_MSG_RECORD TWMSetFocus {
  UINT Msg;
  HWND FocusedWnd;  // the window that lost the focus
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMKillFocus {
  UINT Msg;
  HWND FocusedWnd;  // the window that gets the focus
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMActivate {
  UINT Msg;
  LIB_SLOT Word Active;  // WA_*
  Word Minimized;
  HWND ActiveWindow;
  LRESULT Result;
};

LIB_MSG_RECORD TWMActivateApp {
  UINT Msg;
  LIB_SLOT BOOL Active;
  LIB_SLOT DWORD ThreadId;
  LRESULT Result;
};

LIB_MSG_RECORD TWMNCActivate {
  UINT Msg;
  LIB_SLOT BOOL Active;
  LPARAM Unused;
  LRESULT Result;
};

// ---------------------------------------------------------------------------
// Commands, notifications, timers, menus, system
// ---------------------------------------------------------------------------

LIB_MSG_RECORD TWMCommand {
  UINT Msg;
  LIB_SLOT Word ItemID;
  Word NotifyCode;
  HWND Ctl;
  LRESULT Result;
};

LIB_MSG_RECORD TWMNotify {
  UINT Msg;
  WPARAM IDCtrl;
  NMHDR* NMHdr;
  LRESULT Result;
};

LIB_MSG_RECORD TWMScroll {
  UINT Msg;
  LIB_SLOT std::int16_t ScrollCode;  // SB_*
  std::int16_t Pos;
  HWND ScrollBar;
  LRESULT Result;
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

LIB_MSG_RECORD TWMTimer {
  UINT Msg;
  WPARAM TimerID;
  TIMERPROC TimerProc;
  LRESULT Result;
};

LIB_MSG_RECORD TWMSysCommand {
  UINT Msg;
  WPARAM CmdType;  // SC_*; the low four bits are the system's own
  LIB_SLOT std::int16_t XPos;
  std::int16_t YPos;
  LRESULT Result;
  // SC_KEYMENU: the character that opened the menu.
  Word Key() const { return static_cast<Word>(XPos); }
};

LIB_MSG_RECORD TWMSettingChange {
  UINT Msg;
  WPARAM Flag;  // SPI_* of the change
  const wchar_t* Section;
  LRESULT Result;
};
using TWMWinIniChange = TWMSettingChange;

LIB_MSG_RECORD TWMMenuSelect {
  UINT Msg;
  LIB_SLOT Word IDItem;
  Word MenuFlag;
  HMENU Menu;
  LRESULT Result;
};

LIB_MSG_RECORD TWMMenuChar {
  UINT Msg;
  LIB_SLOT Char User;
  Word MenuFlag;
  HMENU Menu;
  LRESULT Result;
};

LIB_MSG_RECORD TWMInitMenu {
  UINT Msg;
  HMENU Menu;
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMInitMenuPopup {
  UINT Msg;
  HMENU MenuPopup;
  LIB_SLOT Word Pos;
  Word SystemMenu;
  LRESULT Result;
};

LIB_MSG_RECORD TWMHelp {
  UINT Msg;
  WPARAM Unused;
  HELPINFO* HelpInfo;
  LRESULT Result;
};

LIB_MSG_RECORD TWMQueryEndSession {
  UINT Msg;
  WPARAM Source;
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMEndSession {
  UINT Msg;
  LIB_SLOT BOOL EndSession;
  LPARAM Unused;
  LRESULT Result;
};

LIB_MSG_RECORD TWMCopyData {
  UINT Msg;
  HWND From;
  COPYDATASTRUCT* CopyDataStruct;
  LRESULT Result;
};

using TWMDestroy = TWMNoParams;
using TWMNCDestroy = TWMNoParams;
using TWMClose = TWMNoParams;
using TWMCancelMode = TWMNoParams;
using TWMSysColorChange = TWMNoParams;

// ---------------------------------------------------------------------------
// The library's control messages
// ---------------------------------------------------------------------------

constexpr UINT CM_BASE = 0xB000;

enum : UINT {
  CM_ACTIVATE = CM_BASE,
  CM_DEACTIVATE,
  CM_GOTFOCUS,
  CM_LOSTFOCUS,
  CM_CANCELMODE,
  CM_DIALOGKEY,
  CM_DIALOGCHAR,
  CM_FOCUSCHANGED,
  CM_PARENTFONTCHANGED,
  CM_PARENTCOLORCHANGED,
  CM_HITTEST,
  CM_VISIBLECHANGED,
  CM_ENABLEDCHANGED,
  CM_COLORCHANGED,
  CM_FONTCHANGED,
  CM_CURSORCHANGED,
  CM_CTL3DCHANGED,
  CM_PARENTCTL3DCHANGED,
  CM_TEXTCHANGED,
  CM_MOUSEENTER,
  CM_MOUSELEAVE,
  CM_MENUCHANGED,
  CM_APPKEYDOWN,
  CM_APPSYSCOMMAND,
  CM_BUTTONPRESSED,
  CM_SHOWINGCHANGED,
  CM_ENTER,
  CM_EXIT,
  CM_DESIGNHITTEST,
  CM_ICONCHANGED,
  CM_WANTSPECIALKEY,
  CM_INVOKEHELP,
  CM_WINDOWHOOK,
  CM_RELEASE,
  CM_SHOWHINTCHANGED,
  CM_PARENTSHOWHINTCHANGED,
  CM_SYSCOLORCHANGE,
  CM_WININICHANGE,
  CM_FONTCHANGE,
  CM_TIMECHANGE,
  CM_TABSTOPCHANGED,
  CM_UIACTIVATE,
  CM_UIDEACTIVATE,
  CM_DOCWINDOWACTIVATE,
  CM_CONTROLLISTCHANGE,
  CM_GETDATALINK,
  CM_CHILDKEY,
  CM_DRAG,
  CM_HINTSHOW,
  CM_DIALOGHANDLE,
  CM_ISTOOLCONTROL,
  CM_RECREATEWND,
  CM_INVALIDATE,
  CM_SYSFONTCHANGED,
  CM_CONTROLCHANGE,
  CM_CHANGED,
  CM_DOCKCLIENT,
  CM_UNDOCKCLIENT,
  CM_FLOAT,
  CM_BORDERCHANGED,
  CM_BIDIMODECHANGED,
  CM_PARENTBIDIMODECHANGED,
  CM_ALLCHILDRENFLIPPED,
  CM_ACTIONUPDATE,
  CM_ACTIONEXECUTE,
  CM_HINTSHOWPAUSE,
  CM_DOCKNOTIFICATION,
  CM_MOUSEWHEEL,
  CM_ISSHORTCUT,
  CM_RESERVED69,  // unused number, kept so the ones after it keep their values
  CM_INVALIDATEDOCKHOST,
  CM_SETACTIVECONTROL,
  CM_POPUPHWNDDESTROY,
  CM_CREATEPOPUP,
  CM_DESTROYHANDLE,
  CM_MOUSEACTIVATE,
  CM_CONTROLLISTCHANGING,
  CM_BUFFEREDPRINTCLIENT,
  CM_UNTHEMECONTROL,
  CM_DOUBLEBUFFEREDCHANGED,
  CM_PARENTDOUBLEBUFFEREDCHANGED,
  CM_STYLECHANGED,
  CM_LAST_
};
static_assert(CM_FONTCHANGED == 0xB00E && CM_BUTTONPRESSED == 0xB018 && CM_WININICHANGE == 0xB025);

// Notifications reflected to the child window they came from.
constexpr UINT CN_BASE = 0xBC00;
enum : UINT {
  CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM,
  CN_COMMAND = CN_BASE + WM_COMMAND,
  CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM,
  CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
  CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG,
  CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
  CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
  CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX,
  CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
  CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
  CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
  CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
  CN_HSCROLL = CN_BASE + WM_HSCROLL,
  CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
  CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
  CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM,
  CN_VSCROLL = CN_BASE + WM_VSCROLL,
  CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
  CN_KEYUP = CN_BASE + WM_KEYUP,
  CN_CHAR = CN_BASE + WM_CHAR,
  CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
  CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP,
  CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
  CN_NOTIFY = CN_BASE + WM_NOTIFY,
};
static_assert(CN_KEYDOWN == 0xBD00 && CN_CTLCOLOREDIT == 0xBD33 && CN_CTLCOLORSTATIC == 0xBD38);

// ---------------------------------------------------------------------------
// Records of the control messages
// ---------------------------------------------------------------------------

using TCMActivate = TWMNoParams;
using TCMDeactivate = TWMNoParams;
using TCMGotFocus = TWMNoParams;
using TCMLostFocus = TWMNoParams;
using TCMEnter = TWMNoParams;
using TCMExit = TWMNoParams;

// CM_CANCELMODE: Sender is the control that goes into a mode of its own.
LIB_MSG_RECORD TCMCancelMode {
  UINT Msg;
  WPARAM Unused;
  TControl* Sender;
  LRESULT Result;
};

// CM_FOCUSCHANGED, broadcast by a form to its controls.
LIB_MSG_RECORD TCMFocusChanged {
  UINT Msg;
  WPARAM Unused;
  TWinControl* Sender;  // the control that got the focus
  LRESULT Result;
};

// CM_HINTSHOW: a non-zero Result suppresses the hint.
LIB_MSG_RECORD TCMHintShow {
  UINT Msg;
  WPARAM Reserved;
  THintInfo* HintInfo;
  LRESULT Result;
};

// CM_HINTSHOWPAUSE: the control may change the pause before its hint shows.
LIB_MSG_RECORD TCMHintShowPause {
  UINT Msg;
  LIB_SLOT BOOL WasActive;
  int* Pause;
  LRESULT Result;
};

// CM_MOUSEENTER / CM_MOUSELEAVE carry the control the mouse entered or left
// (a child graphic control, or null for the receiver itself).
LIB_MSG_RECORD TCMMouseEnterLeave {
  UINT Msg;
  WPARAM Unused;
  TControl* Control;
  LRESULT Result;
};

// CM_CONTROLCHANGE / CM_CONTROLLISTCHANGE / CM_CONTROLLISTCHANGING.
LIB_MSG_RECORD TCMControlChange {
  UINT Msg;
  TControl* Control;
  LIB_SLOT BOOL Inserting;
  LRESULT Result;
};
using TCMControlListChange = TCMControlChange;

LIB_MSG_RECORD TCMChanged {
  UINT Msg;
  WPARAM Unused;
  TControl* Child;
  LRESULT Result;
};

// CM_DRAG: the drag-and-drop protocol between source and target.
enum TDragMessage : Byte { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

LIB_MSG_RECORD TCMDrag {
  UINT Msg;
  LIB_SLOT TDragMessage DragMessage;
  Byte Reserved1;
  Word Reserved2;
  TDragRec* DragRec;
  LRESULT Result;
};

LIB_MSG_RECORD TCMIsToolControl {
  UINT Msg;
  WPARAM Unused;
  LPARAM Unused2;
  LRESULT Result;  // non-zero: the control is a tool window's control
};

// CM_ISSHORTCUT, CM_APPKEYDOWN: a key message to test for a shortcut.
using TCMIsShortCut = TWMKey;
using TCMAppKeyDown = TWMKey;

// CM_ACTIONUPDATE / CM_ACTIONEXECUTE: the action in LParam (TBasicAction*).
using TCMAction = TMessage;

#undef LIB_MSG_RECORD
#undef LIB_SLOT

// Every typed record overlays TMessage: its fields start where WParam, LParam and Result do.
#define LIB_CHECK_RECORD(T, W, L) \
  static_assert(sizeof(T) == sizeof(TMessage) && offsetof(T, W) == offsetof(TMessage, WParam) && \
                    offsetof(T, L) == offsetof(TMessage, LParam) && \
                    offsetof(T, Result) == offsetof(TMessage, Result), \
                #T " does not overlay TMessage")
static_assert(sizeof(TWMNoParams) == sizeof(TMessage) &&
              offsetof(TWMNoParams, Unused) == offsetof(TMessage, WParam) &&
              offsetof(TWMNoParams, Result) == offsetof(TMessage, Result));
LIB_CHECK_RECORD(TWMMouse, Keys, XPos);
LIB_CHECK_RECORD(TWMMouseWheel, Keys, XPos);
LIB_CHECK_RECORD(TCMMouseWheel, ShiftBits, XPos);
LIB_CHECK_RECORD(TWMNCHitTest, Unused, XPos);
LIB_CHECK_RECORD(TWMNCHitMessage, HitTest, XCursor);
LIB_CHECK_RECORD(TWMSetCursor, CursorWnd, HitTest);
LIB_CHECK_RECORD(TWMMouseActivate, TopLevel, HitTestCode);
LIB_CHECK_RECORD(TWMCaptureChanged, Unused, CaptureWnd);
LIB_CHECK_RECORD(TWMContextMenu, hWnd, XPos);
LIB_CHECK_RECORD(TWMKey, CharCode, KeyData);
LIB_CHECK_RECORD(TWMGetDlgCode, Unused, lpMsg);
LIB_CHECK_RECORD(TCMChildKey, CharCode, Sender);
LIB_CHECK_RECORD(TWMPaint, DC, Unused);
LIB_CHECK_RECORD(TWMEraseBkgnd, DC, Unused);
LIB_CHECK_RECORD(TWMNCPaint, RGN, Unused);
LIB_CHECK_RECORD(TWMPrint, DC, Flags);
LIB_CHECK_RECORD(TWMCtlColor, ChildDC, ChildWnd);
LIB_CHECK_RECORD(TWMDrawItem, Ctl, DrawItemStruct);
LIB_CHECK_RECORD(TWMMeasureItem, IDCtl, MeasureItemStruct);
LIB_CHECK_RECORD(TWMDeleteItem, Ctl, DeleteItemStruct);
LIB_CHECK_RECORD(TWMCompareItem, Ctl, CompareItemStruct);
LIB_CHECK_RECORD(TWMSize, SizeType, Width);
LIB_CHECK_RECORD(TWMMove, Unused, XPos);
LIB_CHECK_RECORD(TWMWindowPosMsg, Unused, WindowPos);
LIB_CHECK_RECORD(TWMNCCalcSize, CalcValidRects, CalcSize_Params);
LIB_CHECK_RECORD(TWMGetMinMaxInfo, Unused, MinMaxInfo);
LIB_CHECK_RECORD(TWMSizing, fwSide, lprc);
LIB_CHECK_RECORD(TWMShowWindow, Show, Status);
LIB_CHECK_RECORD(TWMEnable, Enabled, Unused);
LIB_CHECK_RECORD(TWMStyleChanged, StyleType, StyleStruct);
LIB_CHECK_RECORD(TWMSetFont, Font, Redraw);
LIB_CHECK_RECORD(TWMSetText, Unused, Text);
LIB_CHECK_RECORD(TWMGetText, TextMax, Text);
LIB_CHECK_RECORD(TWMSetFocus, FocusedWnd, Unused);
LIB_CHECK_RECORD(TWMKillFocus, FocusedWnd, Unused);
LIB_CHECK_RECORD(TWMActivate, Active, ActiveWindow);
LIB_CHECK_RECORD(TWMActivateApp, Active, ThreadId);
LIB_CHECK_RECORD(TWMNCActivate, Active, Unused);
LIB_CHECK_RECORD(TWMCommand, ItemID, Ctl);
LIB_CHECK_RECORD(TWMNotify, IDCtrl, NMHdr);
LIB_CHECK_RECORD(TWMScroll, ScrollCode, ScrollBar);
LIB_CHECK_RECORD(TWMTimer, TimerID, TimerProc);
LIB_CHECK_RECORD(TWMSysCommand, CmdType, XPos);
LIB_CHECK_RECORD(TWMSettingChange, Flag, Section);
LIB_CHECK_RECORD(TWMMenuSelect, IDItem, Menu);
LIB_CHECK_RECORD(TWMMenuChar, User, Menu);
LIB_CHECK_RECORD(TWMInitMenu, Menu, Unused);
LIB_CHECK_RECORD(TWMInitMenuPopup, MenuPopup, Pos);
LIB_CHECK_RECORD(TWMHelp, Unused, HelpInfo);
LIB_CHECK_RECORD(TWMQueryEndSession, Source, Unused);
LIB_CHECK_RECORD(TWMEndSession, EndSession, Unused);
LIB_CHECK_RECORD(TWMCopyData, From, CopyDataStruct);
LIB_CHECK_RECORD(TCMCancelMode, Unused, Sender);
LIB_CHECK_RECORD(TCMFocusChanged, Unused, Sender);
LIB_CHECK_RECORD(TCMHintShow, Reserved, HintInfo);
LIB_CHECK_RECORD(TCMHintShowPause, WasActive, Pause);
LIB_CHECK_RECORD(TCMMouseEnterLeave, Unused, Control);
LIB_CHECK_RECORD(TCMControlChange, Control, Inserting);
LIB_CHECK_RECORD(TCMChanged, Unused, Child);
LIB_CHECK_RECORD(TCMDrag, DragMessage, DragRec);
LIB_CHECK_RECORD(TCMIsToolControl, Unused, Unused2);
#undef LIB_CHECK_RECORD
