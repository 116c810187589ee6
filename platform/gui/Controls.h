// Controls of the platform class library: TControl (anything placed on a
// parent), TWinControl (a control with a Win32 window of its own), the
// windowless TGraphicControl painted by its parent, TCustomControl with a
// canvas, the control canvas, size constraints and the drag-and-drop objects.
//
// Accessor naming follows Graphics.h: scalar properties are GetX/SetX (a few
// platform names keep their own form: Parent, Handle, Controls(i)); owned
// sub-objects (Font, Constraints, Canvas, Brush) are read with X().
//
// Windows. A TWinControl creates its window on first need (Handle()); the
// window's class is registered under the C++ class name (once per class
// style its instances ask for, see RegisterWindowClass) with a start-up
// window procedure that binds the new HWND to the object (a window property)
// and replaces itself with the library's window procedure. Every message then
// goes to the object's WindowProc (by default WndProc → Dispatch → message
// table → DefaultHandler → the window's original procedure). A control may be
// freed from inside one of its own message handlers: the window procedure
// does not touch the object afterwards.
//
// Destruction: TWinControl destroys its window in BeforeDestruction (so the
// most derived DestroyWindowHandle runs and the derived parts still exist
// while the window's last messages arrive); the windows of the child
// controls go with it. The destructor then frees the child controls.
//
// The top-level control (a form, or a control whose ParentWindow is a plain
// window) manages the focus of its descendants: see the virtual operations
// under "top-level container" in TWinControl. The forms module overrides them.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Messaging.h"
#include "platform/gui/ShiftState.h"

#include <initializer_list>
#include <vector>

class TList;
class TReader;
class TPopupMenu;
class TDragImageList;
class TControl;
class TWinControl;
class TDragObject;
class TControlCanvas;
class TControlGuard;

// ---------------------------------------------------------------------------
// Enumerations, sets and simple types
// ---------------------------------------------------------------------------

DECLARE_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
using TAlignSet = TSet<TAlign, 8>;

DECLARE_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind, 4>;

DECLARE_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
DECLARE_ENUM(TDragMode, dmManual, dmAutomatic)
DECLARE_ENUM(TDragKind, dkDrag, dkDock)
DECLARE_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
DECLARE_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

// Scrolling: which bar, what the user did with it (in the order of the system's SB_*
// codes, so a WM_HSCROLL/WM_VSCROLL code converts directly), and the step of a bar's
// arrows and page, 1 to 32767 as a stored bar keeps it.
DECLARE_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
DECLARE_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
             scEndScroll)
static_assert(scLineUp == SB_LINEUP && scPageDown == SB_PAGEDOWN && scTrack == SB_THUMBTRACK &&
              scTop == SB_TOP && scBottom == SB_BOTTOM && scEndScroll == SB_ENDSCROLL);
using TScrollBarInc = int;
constexpr TScrollBarInc kScrollBarIncMin = 1;
constexpr TScrollBarInc kScrollBarIncMax = 32767;
// The code of a scroll message (the low word of its WParam); false for a code the
// system may add later, which a control should ignore.
inline bool ScrollCodeOf(WPARAM wParam, TScrollCode& code) {
  const Word raw = LOWORD(wParam);
  if (raw > SB_ENDSCROLL) return false;
  code = static_cast<TScrollCode>(raw);
  return true;
}

DECLARE_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents,
             csFramed, csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight,
             csNoDesignVisible, csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector,
             csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground, csPannable,
             csAlignWithMargins, csGestures, csPaintBlackOpaqueOnGlass, csOverrideStylePaint)
using TControlStyle = TSet<TControlStyleItem, 32>;

DECLARE_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState,
             csAlignmentNeeded, csFocusing, csCreating, csPaintCopy, csCustomPaint,
             csDestroyingHandle, csDocking, csDesignerHide, csPanning, csRecreating, csAligning,
             csGlassPaint, csPrintClient)
using TControlState = TSet<TControlStateItem, 32>;

using TCaption = String;
using TBorderWidth = int;
using TTabOrder = int;
using THelpContext = int;

// Cursor identifiers: the standard cursors are negative; the screen object
// of the forms module keeps the handles and may add positive ones.
using TCursor = short;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

// Type information of TCursor properties (tkInteger "TCursor"): the component
// stream writes standard cursors by name ("crHandPoint").
const TTypeInfo* CursorTypeInfo();
bool CursorToIdent(int cursor, String& ident);
bool IdentToCursor(const String& ident, int& cursor);
String CursorToString(TCursor cursor);
TCursor StringToCursor(const String& text);   // EConvertError for an unknown name

// ---------------------------------------------------------------------------
// Event types
// ---------------------------------------------------------------------------

using TMouseEvent = TClosure<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TClosure<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TClosure<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TClosure<void(TObject* Sender, Char& Key)>;
using TMouseWheelEvent =
    TClosure<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TClosure<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = TClosure<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TClosure<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TClosure<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
// Source is the dragged control for a control drag object, else the drag object.
using TDragOverEvent =
    TClosure<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TClosure<void(TObject* Sender, TObject* Source, int X, int Y)>;
// A scroll bar's move: the handler may change the position the bar goes to.
using TScrollEvent = TClosure<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;
using TStartDragEvent = TClosure<void(TObject* Sender, TDragObject*& DragObject)>;
// Target is null when the drop was not accepted.
using TEndDragEvent = TClosure<void(TObject* Sender, TObject* Target, int X, int Y)>;

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// What CreateWnd passes to CreateWindowExW; CreateParams fills it.
struct TCreateParams {
  const Char* Caption = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0;
  int Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSW WindowClass{};
  Char WinClassName[64] = {};
};

// The hint a control shows, as CM_HINTSHOW offers it for change.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos;            // screen
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;          // client coordinates of HintControl
  TPoint CursorPos;          // client coordinates of HintControl
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};

// CM_DRAG's payload.
struct TDragRec {
  TPoint Pos;                // screen
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
  bool Docking = false;
};

// ---------------------------------------------------------------------------
// Services from modules built on top of this one
// ---------------------------------------------------------------------------

// The forms module (screen, mouse, application) installs these; until then
// the controls use the system's cursors and the defaults noted.
struct TControlsHooks {
  // Screen->Cursors[cursor]; default: the system cursor of a standard cursor.
  HCURSOR (*CursorHandle)(TCursor cursor) = nullptr;
  // Screen->Cursor, which overrides every control's cursor when not crDefault.
  TCursor (*ScreenCursor)() = nullptr;
  // Application->HintMouseMessage, called with every mouse message of a control.
  void (*HintMouseMessage)(TControl* control, TMessage& message) = nullptr;
  // Application->ControlDestroyed: the control is going away.
  void (*ControlDestroyed)(TControl* control) = nullptr;
  // Mouse->DragImmediate / Mouse->DragThreshold for dmAutomatic dragging.
  bool DragImmediate = true;
  int DragThreshold = 5;
};
TControlsHooks& ControlsHooks();


// ---------------------------------------------------------------------------
// TSizeConstraints
// ---------------------------------------------------------------------------

// Minimum and maximum size of a control (0: no limit).
class TSizeConstraints : public TPersistent {
  DECLARE_CLASS(TSizeConstraints, TPersistent)
  explicit TSizeConstraints(TControl* control);
  void Assign(TPersistent* source) override;

  TControl* Control() const { return control_; }
  int MaxHeight() const { return maxHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int MinHeight() const { return minHeight_; }
  int MinWidth() const { return minWidth_; }
  // A maximum below the minimum lowers the minimum and the other way round.
  void SetMaxHeight(int value);
  void SetMaxWidth(int value);
  void SetMinHeight(int value);
  void SetMinWidth(int value);

  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  TControl* control_;
  int maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

// ---------------------------------------------------------------------------
// TControlCanvas
// ---------------------------------------------------------------------------

// A canvas over a control: its DC comes from the control's window, or for a
// windowless control from its parent's window with the origin moved to the
// control and the drawing clipped to it. At most a few such DCs are held at
// a time; the oldest is given back when another one is needed.
class TControlCanvas : public TCanvas {
  DECLARE_CLASS(TControlCanvas, TCanvas)
  TControlCanvas();
  ~TControlCanvas() override;

  TControl* Control() const { return control_; }
  void SetControl(TControl* value);
  // Gives the DC back now.
  void FreeHandle();
  // ETO_RTLREADING when the control reads right to left.
  void UpdateTextFlags();

 protected:
  void CreateHandle() override;

 private:
  void UpdateOrigin();
  TControl* control_ = nullptr;
  HDC deviceContext_ = nullptr;
  HWND windowHandle_ = nullptr;
};

// Gives back every DC held by control canvases (the application calls this
// when idle).
void FreeDeviceContexts();

// ---------------------------------------------------------------------------
// Drag objects
// ---------------------------------------------------------------------------

// The object carried by a drag: it owns the mouse capture while the drag runs
// (a hidden window of the drag loop) and decides the cursor.
class TDragObject : public TObject {
  DECLARE_CLASS(TDragObject, TObject)
  TDragObject() = default;

  virtual void Assign(TDragObject* source);
  // The drag ended on `Target` (null when nobody accepted).
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
  virtual TDragImageList* GetDragImages();
  virtual String Name();
  virtual void HideDragImage();
  virtual void ShowDragImage();
  // Messages of the capture window while the drag runs (mouse, keys, cancel).
  virtual void WndProc(TMessage& Message);

  bool AlwaysShowDragImages = false;
  bool Cancelling = false;
  HWND DragHandle = nullptr;
  TPoint DragPos;            // screen
  TControl* DragTarget = nullptr;
  TPoint DragTargetPos;      // client coordinates of DragTarget
  bool Dropped = false;
  double MouseDeltaX = 0, MouseDeltaY = 0;
  // Freed by the drag loop when the drag ends (TDragObjectEx and descendants).
  virtual bool AutoFree() const { return false; }
};

class TDragObjectEx : public TDragObject {
  DECLARE_CLASS(TDragObjectEx, TDragObject)
  bool AutoFree() const override { return true; }
};

// A drag object that carries a control.
class TBaseDragControlObject : public TDragObject {
  DECLARE_CLASS(TBaseDragControlObject, TDragObject)
  explicit TBaseDragControlObject(TControl* AControl);
  void Assign(TDragObject* source) override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* value) { control_ = value; }

 protected:
  // Tells the control (DoEndDrag) that the drag ended.
  virtual void EndDrag(TObject* Target, int X, int Y);

 private:
  TControl* control_;
};

class TDragControlObject : public TBaseDragControlObject {
  DECLARE_CLASS(TDragControlObject, TBaseDragControlObject)
  using TBaseDragControlObject::TBaseDragControlObject;
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TDragImageList* GetDragImages() override;
  void HideDragImage() override;
  void ShowDragImage() override;
};

class TDragControlObjectEx : public TDragControlObject {
  DECLARE_CLASS(TDragControlObjectEx, TDragControlObject)
  using TDragControlObject::TDragControlObject;
  bool AutoFree() const override { return true; }
};

// The running drag, or null.
TDragObject* DragObject();
// Ends the running drag without a drop.
void CancelDrag();
// The control under a screen point (windowless children included); disabled
// controls only with AllowDisabled.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

class TControl : public TComponent {
  DECLARE_CLASS(TControl, TComponent)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- window procedure and messages
  // The message entry point; replace it to subclass the control and call the
  // saved value for the messages you do not take.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  void DefaultHandler(void* Message) override;
  // Sends a message straight to WindowProc.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

  // ---- parent and component stream
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() override;
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* value) override;
  void ReadState(TReader* reader) override;
  void Loaded() override;
  // Reads and drops the designer's Explicit* bounds that definitions carry.
  void DefineProperties(TFiler* filer) override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  // ---- bounds
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value);
  void SetTop(int value);
  void SetWidth(int value);
  void SetHeight(int value);
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Right; }
  int ClientHeight() { return ClientRect().Bottom; }
  void SetClientWidth(int value) { SetClientSize({value, ClientHeight()}); }
  void SetClientHeight(int value) { SetClientSize({ClientWidth(), value}); }
  virtual void SetClientSize(TPoint value);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p);
  TPoint ScreenToClient(TPoint p);
  // Between this control's client coordinates and those of an ancestor (the
  // parent when null); EInvalidOperation when it is not an ancestor.
  TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr);
  TPoint ParentToClient(TPoint p, TWinControl* AParent = nullptr);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);
  TSizeConstraints* Constraints() const { return constraints_; }
  void SetConstraints(TSizeConstraints* value) { constraints_->Assign(value); }
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  // Asks the parent to align its controls again because this one changed.
  virtual void RequestAlign();
  // Re-applies AutoSize and the constraints.
  virtual void AdjustSize();
  // Recomputes the distances kept by the anchors from the present bounds.
  void UpdateAnchorRules();

  // ---- visibility, state
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Show();
  void Hide();
  virtual bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState value) { controlState_ = value; }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);

  // ---- text
  String Text();
  void SetText(const String& value);
  String Caption() { return Text(); }
  void SetCaption(const String& value) { SetText(value); }
  // WM_GETTEXT into a buffer of BufSize characters (with the terminating 0);
  // returns the characters copied.
  int GetTextBuf(Char* Buffer, int BufSize);
  int GetTextLen();
  void SetTextBuf(const Char* Buffer);

  // ---- appearance
  TFont* Font() const { return font_; }
  void SetFont(TFont* value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }

  // ---- hints, help, popup menu, action
  String Hint() const { return hint_; }
  void SetHint(const String& value) { hint_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType value) { helpType_ = value; }
  String HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const String& value) { helpKeyword_ = value; }
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext value) { helpContext_ = value; }
  // The menu WM_CONTEXTMENU shows: the control's own (overridable).
  virtual TPopupMenu* PopupMenu();
  void SetPopupMenu(TPopupMenu* value);
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TActionLink* ActionLink() const { return actionLink_; }
  // Runs the control's action (or OnClick without one).
  virtual void InitiateAction();
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  // ---- painting
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  // A DC to draw on the control (the parent's DC moved to the control for a
  // windowless one); `WindowHandle` receives the window the DC belongs to.
  // EInvalidOperation without a parent window.
  virtual HDC GetDeviceContext(HWND& WindowHandle);
  void InvalidateControl(bool IsVisible, bool IsOpaque);

  // ---- mouse
  bool MouseCapture();
  void SetMouseCapture(bool value);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // Offers a wheel message to the control and its parents until one takes it.
  virtual void MouseWheelHandler(TMessage& Message);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);

  // ---- sizing
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  void DoConstrainedResize(int& NewWidth, int& NewHeight);
  virtual void Resize();

  // ---- drag and drop
  TDragMode DragMode() const { return dragMode_; }
  virtual void SetDragMode(TDragMode value) { dragMode_ = value; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind value) { dragKind_ = value; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor value) { dragCursor_ = value; }
  // Starts dragging the control: at once, or once the mouse moved Threshold
  // pixels (-1: the mouse's drag threshold).
  void BeginDrag(bool Immediate, int Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual void DragCanceled();
  virtual TDragImageList* GetDragImages();

  // ---- events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TContextPopupEvent OnContextPopup;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

 protected:
  // Message handlers of TControl's message table.
  void WMLButtonDown(TWMMouse& Message);
  void WMLButtonDblClk(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMRButtonDown(TWMMouse& Message);
  void WMRButtonDblClk(TWMMouse& Message);
  void WMRButtonUp(TWMMouse& Message);
  void WMMButtonDown(TWMMouse& Message);
  void WMMButtonDblClk(TWMMouse& Message);
  void WMMButtonUp(TWMMouse& Message);
  void WMMouseMove(TWMMouse& Message);
  void WMMouseWheel(TWMMouseWheel& Message);
  void WMCancelMode(TWMNoParams& Message);
  void WMContextMenu(TWMContextMenu& Message);
  void WMWindowPosChanged(TWMWindowPosMsg& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMParentCtl3DChanged(TMessage& Message);
  void CMParentBiDiModeChanged(TMessage& Message);
  void CMHitTest(TCMHitTest& Message);
  void CMMouseEnter(TCMMouseEnterLeave& Message);
  void CMMouseLeave(TCMMouseEnterLeave& Message);
  void CMHintShow(TCMHintShow& Message);
  void CMMouseWheel(TCMMouseWheel& Message);
  void CMDrag(TCMDrag& Message);

  virtual void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
  virtual void DoMouseUp(TWMMouse& Message, TMouseButton Button);
  // The action link's class (TControlActionLink) and the reaction to a change
  // of the action.
  virtual TClass GetActionLinkClass();
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual void VisibleChanging() {}
  // Before SetBounds: CanResize, the constraints and AutoSize may change or
  // refuse the size.
  bool CheckNewSize(int& NewWidth, int& NewHeight);
  // Tells the forms among the parents (SendCancelMode) that a mode of this
  // control begins, so that they end the modes of other controls.
  void NotifyCancelMode(TControl* Sender);
  // The parent that is the top-level container (a form, or a control with a
  // ParentWindow), or null.
  TWinControl* TopLevelParent() const;
  virtual void FontChanged(TObject* Sender);
  void DoConstraintsChange(TObject* Sender);
  void DoActionChange(TObject* Sender);

  // The platform keeps these as fields descendants use directly.
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TControlStyle controlStyle_;
  TControlState controlState_;
  String text_;
  TFont* font_;
  TColor color_ = clWindow;

 private:
  friend class TWinControl;
  friend class TControlGuard;

  bool visible_ = true;
  bool enabled_ = true;
  bool parentFont_ = true;
  bool parentColor_ = true;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  bool parentBiDiMode_ = true;
  bool autoSize_ = false;
  bool anchorMove_ = false;
  TBiDiMode biDiMode_ = bdLeftToRight;
  TAlign align_ = alNone;
  TAnchors anchors_ = {akLeft, akTop};
  TPoint anchorRules_;
  TPoint originalParentSize_;
  TSizeConstraints* constraints_;
  TCursor cursor_ = crDefault;
  TDragMode dragMode_ = dmManual;
  TDragKind dragKind_ = dkDrag;
  TCursor dragCursor_ = crDrag;
  String hint_;
  THelpType helpType_ = htContext;
  String helpKeyword_;
  THelpContext helpContext_ = 0;
  TPopupMenu* popupMenu_ = nullptr;
  TActionLink* actionLink_ = nullptr;
  TControlGuard* guards_ = nullptr;
  int wheelAccumulator_ = 0;
};

// Notices the destruction of a control while code that may free it runs:
//   TControlGuard guard(this); DoSomething(); if (!guard.Alive()) return;
class TControlGuard {
 public:
  explicit TControlGuard(TControl* control);
  ~TControlGuard();
  TControlGuard(const TControlGuard&) = delete;
  TControlGuard& operator=(const TControlGuard&) = delete;
  bool Alive() const { return control_ != nullptr; }
  TControl* Control() const { return control_; }

 private:
  friend class TControl;
  TControl* control_;
  TControlGuard* next_;
};

// The link between a control and its action: the action's caption,
// enabled state, hint, help context, visibility and OnExecute show in the
// control while the control's values equal the action's.
class TControlActionLink : public TActionLink {
  DECLARE_CLASS(TControlActionLink, TActionLink)
  explicit TControlActionLink(TObject* AClient);

  TControl* ClientControl() const { return client_; }
  // The action's OnHint may change or suppress the hint; false suppresses it.
  virtual bool DoShowHint(String& HintStr);
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const String& value) override;
  void SetEnabled(bool value) override;
  void SetHelpContext(THelpContext value) override;
  void SetHint(const String& value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

 protected:
  void AssignClient(TObject* AClient) override;

 private:
  TControl* client_ = nullptr;
};

// The link of a window control: besides the control link's properties the
// help context, keyword and type follow the action, as one: while all three
// equal the action's, a change of any of them reaches the control.
class TWinControlActionLink : public TControlActionLink {
  DECLARE_CLASS(TWinControlActionLink, TControlActionLink)
  explicit TWinControlActionLink(TObject* AClient);

  TWinControl* ClientWinControl() const { return winClient_; }
  bool IsHelpContextLinked() override;
  bool IsHelpLinked() override;
  void SetHelpContext(THelpContext value) override;
  void SetHelpKeyword(const String& value) override;
  void SetHelpType(THelpType value) override;

 protected:
  // EInvalidCast unless the client is a window control.
  void AssignClient(TObject* AClient) override;

 private:
  TWinControl* winClient_ = nullptr;
};

// Publishes properties that TControl and TWinControl declare unpublished:
// b.Publish(names) under the name the control classes have used.
//   BEGIN_CLASS(TMyPanel, TCustomControl, (ConstructWith<TMyPanel, TComponent>))
//     PublishControl(b, {L"Align", L"Anchors", L"Color", L"Font", L"OnClick"});
//   END_CLASS
// TControl declares Action Align Anchors AutoSize BiDiMode Caption Color
// Constraints Ctl3D DragCursor DragKind DragMode Enabled Font ParentBiDiMode
// ParentColor ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint Text
// Visible and its events (OnClick ... OnEndDrag); TWinControl BorderWidth
// DoubleBuffered ParentBackground TabOrder TabStop OnEnter OnExit OnKeyDown
// OnKeyPress OnKeyUp. EInvalidOperation for a name no ancestor declares.
template <class T>
void PublishControl(TClassBuilder<T>& b, std::initializer_list<const Char*> names) {
  b.Publish(names);
}

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------

class TWinControl : public TControl {
  DECLARE_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // ---- the window
  // Creates the window when there is none (and raises when it cannot).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // The window as it is, without creating one.
  HWND WindowHandle() const { return handle_; }
  // Sets the handle field as it is (0 forgets the window without destroying
  // it); a window that no control owns yet is taken over first (see
  // AdoptWindowHandle). Used by controls that keep spare windows.
  void SetWindowHandle(HWND value);
  // Takes over a window made elsewhere: binds it to this control and
  // subclasses it (the window's procedure becomes the default handling).
  // From then on the control owns the window and destroys it. Raises
  // EInvalidOperation when another control owns the window.
  void AdoptWindowHandle(HWND wnd);
  // Gives the window up without destroying it: its procedure is restored,
  // the binding removed and the handle field cleared; returns the window.
  HWND DetachWindowHandle();
  // A plain window used as parent when the control has no parent control.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND value);
  // Visible and every parent showing, with a window.
  bool Showing() const { return showing_; }

  virtual void CreateHandle();
  void DestroyHandle();           // children first, then DestroyWnd
  virtual void CreateWnd();
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();      // keeps the text, then DestroyWindowHandle
  virtual void DestroyWindowHandle();
  // Destroys and recreates the window (and its children's), keeping state.
  void RecreateWnd();
  // Makes the window class a superclass of a system class ("BUTTON", "EDIT").
  void CreateSubClass(TCreateParams& Params, const Char* ControlClassName);
  // Creates the handle or shows/hides the window as Visible and the parents say.
  void UpdateControlState();
  void DefaultHandler(void* Message) override;
  // A message number from RegisterWindowMessage is handled here, in an
  // override that tests `Message.Msg == registeredNumber`, never through the
  // message table: the number differs from session to session, while the
  // table is built once and cached by number (it refuses such numbers).
  void WndProc(TMessage& Message) override;
  // The window procedure before the library's (the class's or the adopted
  // window's own).
  WNDPROC DefWndProc() const { return defWndProc_; }

  // ---- children
  int ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
  // Windowless controls first, then window controls, each in z-order (last on top).
  TControl* Controls(int index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  TControl* FindChildControl(const String& ControlName) const;
  // The child (or descendant with AllLevels) under a client point, the
  // topmost first.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false,
                         bool AllLevels = false);
  // Sends the message to every child until one answers non-zero.
  void Broadcast(void* Message);
  // Sends the message with this control's font/colour to every child.
  void NotifyControls(Word Msg);
  TRect ClientRect() override;
  TPoint ClientOrigin() override;

  // ---- alignment
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return alignLevel_ != 0; }
  void Realign();
  // Places the aligned and anchored children in Rect: alTop, alBottom,
  // alLeft, alRight, alClient, alCustom, then the anchored alNone ones.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  // The area the children are aligned in.
  virtual void AdjustClientRect(TRect& Rect);
  virtual bool CustomAlignInsertBefore(TControl* C1, TControl* C2);
  virtual void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth,
                                   int& NewHeight, TRect& AlignRect);
  virtual void ControlsAligned() {}
  void AlignControl(TControl* AControl);
  TBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TBorderWidth value);

  // ---- focus and keyboard
  TTabOrder TabOrder() const;
  void SetTabOrder(TTabOrder value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  virtual void GetTabOrderList(TList* List);
  virtual bool CanFocus();
  virtual bool Focused();
  // EInvalidOperation "Cannot focus a disabled or invisible window" when the
  // control or a parent is hidden or disabled.
  virtual void SetFocus();
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                               bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  bool DoKeyDown(TWMKey& Message);
  bool DoKeyPress(TWMKey& Message);
  bool DoKeyUp(TWMKey& Message);
  virtual void DoEnter();
  virtual void DoExit();
  // A key that is a shortcut of a popup menu of this control or a parent, or
  // of the top-level container.
  bool IsMenuKey(TWMKey& Message);

  // ---- top-level container (forms override these)
  // Whether the control is a form (shown without a parent control).
  virtual bool IsForm() const { return false; }
  // WM_SETFOCUS of a descendant: tracks the focused control and sends
  // CM_EXIT up from the old one and CM_ENTER down to the new one. False
  // stops the focus change.
  virtual bool SetFocusedControl(TWinControl* Control);
  // SetFocus of a descendant.
  virtual void FocusControl(TWinControl* Control);
  // A descendant is hidden, disabled or removed while it may hold the focus.
  virtual void DefocusControl(TWinControl* Control, bool Removing);
  // The descendant that received the focus last (tracked by SetFocusedControl).
  TWinControl* FocusedChild() const { return focusedChild_; }
  virtual bool KeyPreview() const { return false; }
  virtual bool IsShortCut(TWMKey& Message);
  virtual bool WantChildKey(TControl* Child, TMessage& Message);
  virtual void SendCancelMode(TControl* Sender);

  // ---- painting
  TBrush* Brush() const { return brush_; }
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
  bool ParentBackground() const { return controlStyle_.Contains(csParentBackground); }
  virtual void SetParentBackground(bool value);
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TWMPaint& Message);
  // Paints the windowless children from `First` on (all when null).
  void PaintControls(HDC DC, TControl* First);
  // The control and its children as they look, into a DC at (X, Y).
  void PaintTo(HDC DC, int X, int Y);
  void PaintTo(TCanvas* Canvas, int X, int Y) { PaintTo(Canvas->Handle(), X, Y); }
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  HDC GetDeviceContext(HWND& WindowHandle) override;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetZOrder(bool TopMost) override;
  void SetParent(TWinControl* AParent) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void ReadState(TReader* reader) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  // Reads the window's position into Left/Top/Width/Height.
  void UpdateBounds();
  virtual void ShowControl(TControl* AControl);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

 protected:
  // TWinControlActionLink.
  TClass GetActionLinkClass() override;

  // Message handlers of TWinControl's message table.
  void WMPaint(TWMPaint& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMPrintClient(TWMPrint& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMSize(TWMSize& Message);
  void WMMove(TWMMove& Message);
  void WMWindowPosChanged(TWMWindowPosMsg& Message);
  void WMWindowPosChanging(TWMWindowPosMsg& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMSetFocus(TWMSetFocus& Message);
  void WMKillFocus(TWMKillFocus& Message);
  void WMKeyDown(TWMKey& Message);
  void WMKeyUp(TWMKey& Message);
  void WMChar(TWMKey& Message);
  void WMSysKeyDown(TWMKey& Message);
  void WMSysKeyUp(TWMKey& Message);
  void WMCommand(TWMCommand& Message);
  void WMNotify(TWMNotify& Message);
  void WMDrawItem(TWMDrawItem& Message);
  void WMMeasureItem(TWMMeasureItem& Message);
  void WMDeleteItem(TWMDeleteItem& Message);
  void WMCompareItem(TWMCompareItem& Message);
  void WMHScroll(TWMScroll& Message);
  void WMVScroll(TWMScroll& Message);
  void WMCtlColor(TWMCtlColor& Message);
  void WMMouseLeave(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  void CNKeyDown(TWMKey& Message);
  void CNKeyUp(TWMKey& Message);
  void CNChar(TWMKey& Message);
  void CNSysKeyDown(TWMKey& Message);
  void CNSysChar(TWMKey& Message);
  void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMCursorChanged(TMessage& Message);
  void CMBorderChanged(TMessage& Message);
  void CMInvalidate(TMessage& Message);
  void CMRecreateWnd(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMDialogKey(TWMKey& Message);
  void CMDialogChar(TWMKey& Message);
  void CMChildKey(TCMChildKey& Message);
  void CMFocusChanged(TCMFocusChanged& Message);
  void CMSysColorChange(TMessage& Message);
  void CMWinIniChange(TMessage& Message);
  void CMFontChange(TMessage& Message);
  void CMTimeChange(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMTabStopChanged(TMessage& Message);
  void CMShowHintChanged(TMessage& Message);
  void CMBiDiModeChanged(TMessage& Message);

  // A mouse message of a windowless child (or of the windowless control that
  // holds the capture) goes to that child; true when it did.
  bool IsControlMouseMsg(TWMMouse& Message);
  // Sends a notification back to the child window it came from as CN_*.
  bool DoControlMsg(HWND ControlHandle, void* Message);
  // The window the control's window must be placed behind (z-order).
  HWND PrecedingWindow(TWinControl* Control) const;
  void UpdateShowing();
  void RemoveFocus(bool Removing);
  // Paints the parent's background under the control (csParentBackground).
  void DrawParentBackground(HDC DC);

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  TBrush* brush_;

 private:
  friend class TControl;
  friend struct ControlsWindowAccess;
  void Insert(TControl* AControl);
  void Remove(TControl* AControl);
  void BindWindow(HWND wnd, bool subclass);
  void UnbindWindow(HWND wnd);
  void UpdateMouseControl(TControl* control);
  void UpdateTabOrder(int value);
  void SetRecreating(bool value);
  void RegisterWindowClass(TCreateParams& Params);

  std::vector<TControl*> controls_;      // windowless
  std::vector<TWinControl*> winControls_;
  std::vector<TWinControl*> tabList_;
  HWND parentWindow_ = nullptr;
  TWinControl* focusedChild_ = nullptr;
  int alignLevel_ = 0;
  int tabOrder_ = -1;   // wanted position in the parent's tab list
  TBorderWidth borderWidth_ = 0;
  bool showing_ = false;
  bool tabStop_ = false;
  bool doubleBuffered_ = false;
  bool adopted_ = false;
};

// ---------------------------------------------------------------------------
// TCustomControl, TGraphicControl
// ---------------------------------------------------------------------------

// A window control that paints itself on its canvas.
class TCustomControl : public TWinControl {
  DECLARE_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return canvas_; }
  // Paints the control; the canvas is bound to the DC of the paint.
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

 protected:
  void WMPaint(TWMPaint& Message);

 private:
  TCanvas* canvas_;
};

// A control without a window, painted by its parent through its canvas.
class TGraphicControl : public TControl {
  DECLARE_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return canvas_; }
  virtual void Paint() {}

 protected:
  void WMPaint(TWMPaint& Message);

 private:
  TCanvas* canvas_;
};

// ---------------------------------------------------------------------------
// Module routines
// ---------------------------------------------------------------------------

// The control bound to a window made by the library, else null.
TWinControl* FindControl(HWND Handle);
// The control that holds the mouse capture (a windowless control when it
// captured the mouse through its parent), else null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the mouse is over, as the CM_MOUSEENTER / CM_MOUSELEAVE
// notifications last told.
TControl* MouseControl();
// The colour's RGB value, for GDI calls.
inline COLORREF ColorToGDI(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)); }

// Module start-up: registers the classes and the cursor names for the
// component stream. Shutdown ends a running drag, gives back the control
// canvases' DCs and unregisters the window classes made by the library.
void ControlsInitialize();
void ControlsFinalize();
