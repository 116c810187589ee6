// Forms, the screen, the mouse and the application object of the platform
// class library, and the hint window.
//
// The module's globals (Application, Screen, Mouse) exist between
// FormsInitialize and FormsFinalize. A form whose class has a stored
// definition (the RCDATA resource named after the class in upper case) is
// filled from it when it is constructed through its class reference
// (TClassInfo::NewInstance, Application->CreateForm): the reading happens in
// AfterConstruction, once the whole C++ object exists.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Messages.h"

#include <atomic>
#include <functional>
#include <vector>

class TStrings;
class TStringList;
class TMainMenu;
class TBasicAction;
class TCustomForm;
class TForm;
class TMonitor;
class TScreen;
class TMouse;
class TApplication;
class THintWindow;

// ---------------------------------------------------------------------------
// Enumerations, sets and simple types
// ---------------------------------------------------------------------------

// Border of a form; controls with a plain border use the first two values.
DECLARE_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
DECLARE_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
DECLARE_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
DECLARE_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon, 4>;
DECLARE_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
             poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
DECLARE_ENUM(TDefaultMonitor, dmDesktop, dmPrimary, dmMainForm, dmActiveForm)
DECLARE_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
DECLARE_ENUM(TPopupMode, pmNone, pmAuto, pmExplicit)
DECLARE_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
using TFormState = TSet<TFormStateItem, 8>;
DECLARE_ENUM(TMonitorDefaultTo, mdNearest, mdNull, mdPrimary)

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrTryAgain = 10;
constexpr TModalResult mrContinue = 11;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

// ---------------------------------------------------------------------------
// Event types
// ---------------------------------------------------------------------------

using TCloseEvent = TClosure<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TClosure<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TClosure<void(TWMKey& Msg, bool& Handled)>;
using TExceptionEvent = TClosure<void(TObject* Sender, Exception& E)>;
using TIdleEvent = TClosure<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TClosure<void(MSG& Msg, bool& Handled)>;
using TShowHintEvent = TClosure<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TActionEvent = TClosure<void(TBasicAction* Action, bool& Handled)>;
using THelpEvent = TClosure<bool(Word Command, NativeInt Data, bool& CallHelp)>;
// A hook on the application window's messages; true takes the message.
using TWindowHook = TClosure<bool(TMessage& Message)>;

// ---------------------------------------------------------------------------
// THintWindow
// ---------------------------------------------------------------------------

// The popup that shows a hint: a bordered, topmost tool window that never
// takes the activation and lets the mouse through.
class THintWindow : public TCustomControl {
  DECLARE_CLASS(THintWindow, TCustomControl)
  explicit THintWindow(TComponent* AOwner);

  // Shows AHint in Rect (screen), moved into the desktop, without activation.
  virtual void ActivateHint(TRect Rect, const String& AHint);
  virtual void ActivateHintData(TRect Rect, const String& AHint, void* AData);
  // The size the hint needs at most MaxWidth wide, at (0, 0).
  virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
  // Whether the message should take the hint away (keys, clicks, activation).
  virtual bool IsHintMsg(MSG& Msg);
  // Destroys the window (it is made again by the next ActivateHint).
  void ReleaseHandle();

  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 protected:
  void WMNCHitTest(TWMNCHitTest& Message);
  void WMNCPaint(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  virtual void NCPaint(HDC DC);

  bool activating_ = false;
  DWORD lastActive_ = 0;
};

// The class the application makes its hint window of; the library may
// replace it with a descendant of THintWindow.
using THintWindowClass = TClass;
extern THintWindowClass HintWindowClass;

// ---------------------------------------------------------------------------
// TCustomForm, TForm
// ---------------------------------------------------------------------------

class TCustomForm : public TWinControl {
  DECLARE_CLASS(TCustomForm, TWinControl)
  // A form without stored definition (the platform's CreateNew).
  TCustomForm(TComponent* AOwner, int Dummy);
  // A form read from the stored definitions of its class (see the top of the
  // header); EResNotFound "Resource TFoo not found" (the class name) when
  // no class below TForm has one.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  // Reads the stored definition (forms constructed for it), then OnCreate.
  void AfterConstruction() override;
  // Hides the form (OnHide), fires OnDestroy, then the window goes.
  void BeforeDestruction() override;

  // ---- showing and closing
  void Show();
  void Hide();
  // Publishes a form's Visible: while the form is being created it only
  // notes the wish; the form shows once created.
  void SetFormVisible(bool value);
  // Shows the form modally: the other windows of the thread are disabled and
  // the form's own loop runs until ModalResult is set (Close sets mrCancel, a
  // terminating application too). EInvalidOperation "Cannot make a visible
  // window modal" for a form that is visible, disabled, already modal or an
  // MDI child.
  virtual int ShowModal();
  // CloseQuery, then OnClose decides; closing the main form terminates the
  // application. A modal form only gets ModalResult mrCancel.
  void Close();
  // OnCloseQuery (and the MDI children's CloseQuery for an MDI form).
  virtual bool CloseQuery();
  // Frees the form once the messages now queued are handled (CM_RELEASE).
  void Release();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  TFormState FormState() const { return formState_; }

  // ---- window look
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value);
  TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
  void SetDefaultMonitor(TDefaultMonitor value) { defaultMonitor_ = value; }
  // The monitor that holds most of the form.
  TMonitor* Monitor();
  TPopupMode PopupMode() const { return popupMode_; }
  void SetPopupMode(TPopupMode value);
  TCustomForm* PopupParent() const { return popupParent_; }
  // Sets pmExplicit when a parent is given.
  void SetPopupParent(TCustomForm* value);
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool value);
  Byte AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(Byte value);
  bool TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(bool value);
  TColor TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(TColor value);
  TIcon* Icon() const { return icon_; }
  void SetIcon(TIcon* value);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value);
  TCanvas* Canvas() const { return canvas_; }

  // ---- designer values that are stored with a form
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }
  int TextHeight() const { return textHeight_; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool value) { oldCreateOrder_ = value; }
  // The client size as stored; applied once the definition is read.
  void SetStoredClientWidth(int value);
  void SetStoredClientHeight(int value);

  // ---- focus and activation
  // The control that gets the focus when the form activates. EInvalidOperation
  // "Cannot focus a disabled or invisible window" for a control that is not
  // on this form or cannot take the focus.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* Control);
  bool Active() const { return active_; }
  bool KeyPreview() const override { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  bool IsForm() const override { return true; }
  bool SetFocusedControl(TWinControl* Control) override;
  void FocusControl(TWinControl* Control) override;
  void DefocusControl(TWinControl* Control, bool Removing) override;
  bool IsShortCut(TWMKey& Message) override;
  void SetFocus() override;
  bool CanFocus() override;
  // The descendant that has (or last had) the focus.
  TWinControl* FocusedControl() const { return FocusedChild(); }

  // Lets the action links of the form, its visible controls and its menu
  // items update their state (the application's idle step).
  void UpdateActions();

  // ---- MDI
  // The MDICLIENT window of an fsMDIForm, else null.
  HWND ClientHandle() const { return clientHandle_; }
  TCustomForm* ActiveMDIChild();
  int MDIChildCount();
  TCustomForm* MDIChildren(int index);
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();

  // ---- window
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void DestroyWnd() override;
  void DefaultHandler(void* Message) override;
  void WndProc(TMessage& Message) override;
  TRect ClientRect() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void SetClientSize(TPoint value) override;
  void PaintWindow(HDC DC) override;
  void ReadState(TReader* reader) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SendCancelMode(TControl* Sender) override;

  // ---- events
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TShortCutEvent OnShortCut;

 protected:
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void Paint();
  void DefineProperties(TFiler* filer) override;

  // Message handlers of TCustomForm's message table.
  void WMActivate(TWMActivate& Message);
  void WMClose(TWMNoParams& Message);
  void WMCommand(TWMCommand& Message);
  void WMInitMenuPopup(TWMInitMenuPopup& Message);
  void WMMenuSelect(TWMMenuSelect& Message);
  void WMSize(TWMSize& Message);
  void WMSysCommand(TWMSysCommand& Message);
  void WMQueryEndSession(TWMQueryEndSession& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMPaint(TWMPaint& Message);
  void WMDestroy(TMessage& Message);
  void CMActivate(TMessage& Message);
  void CMDeactivate(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMDialogKey(TWMKey& Message);
  void CMRelease(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMMenuChanged(TMessage& Message);

 private:
  friend class TApplication;
  void InitForm();
  void SetActive(bool value);
  void SetWindowFocus();
  void CloseModal();
  void ApplyPosition();
  void ApplyStoredClientSize();
  void UpdateLayered();
  void UpdateWindowIcon();
  void RecreateWhenAllocated();
  bool IsFormShortCut(TWMKey& Message);
  void IconChanged(TObject* Sender);
  TRect FrameForClient(TPoint clientSize);
  HWND PopupOwnerWindow(const TCreateParams& Params);

  TFormState formState_;
  TModalResult modalResult_ = mrNone;
  TWindowState windowState_ = wsNormal;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = {biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDefaultPosOnly;
  TDefaultMonitor defaultMonitor_ = dmActiveForm;
  TPopupMode popupMode_ = pmNone;
  TCustomForm* popupParent_ = nullptr;
  bool alphaBlend_ = false;
  Byte alphaBlendValue_ = 255;
  bool transparentColor_ = false;
  TColor transparentColorValue_ = 0;
  TIcon* icon_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TCanvas* canvas_ = nullptr;
  int pixelsPerInch_ = 96;
  int textHeight_ = 0;
  bool scaled_ = true;
  bool oldCreateOrder_ = false;
  int storedClientWidth_ = 0;
  int storedClientHeight_ = 0;
  TWinControl* activeControl_ = nullptr;
  bool active_ = false;
  bool keyPreview_ = false;
  bool createdFromDefinition_ = false;
  bool destroyNotified_ = false;
  HWND clientHandle_ = nullptr;
};

class TForm : public TCustomForm {
  DECLARE_CLASS(TForm, TCustomForm)
  TForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner, Dummy) {}
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// The form a control is on: the top of its parent chain when that is a
// form, else null.
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);
// The same, raising EInvalidOperation "Control '%s' has no parent window"
// when there is none.
TCustomForm* ValidParentForm(TControl* Control, bool TopForm = true);

// ---------------------------------------------------------------------------
// TMonitor, TScreen
// ---------------------------------------------------------------------------

// One display monitor; its values are read from the system on each call.
class TMonitor : public TObject {
  DECLARE_CLASS(TMonitor, TObject)
  TMonitor(HMONITOR handle, int monitorNum) : handle_(handle), monitorNum_(monitorNum) {}

  HMONITOR Handle() const { return handle_; }
  int MonitorNum() const { return monitorNum_; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  int Left() const { return BoundsRect().Left; }
  int Top() const { return BoundsRect().Top; }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }
  bool Primary() const;
  int PixelsPerInch() const;

 private:
  friend class TScreen;
  HMONITOR handle_;
  int monitorNum_;
};

class TScreen : public TComponent {
  DECLARE_CLASS(TScreen, TComponent)
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // ---- forms and focus
  // The forms (TForm descendants) among CustomForms, in the same order.
  int FormCount() const;
  TForm* Forms(int index) const;
  int CustomFormCount() const { return static_cast<int>(customForms_.size()); }
  TCustomForm* CustomForms(int index) const;
  TForm* ActiveForm() const { return activeForm_; }
  TCustomForm* ActiveCustomForm() const { return activeCustomForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* FocusedForm() const { return focusedForm_; }
  void SetFocusedForm(TCustomForm* value) { focusedForm_ = value; }

  // ---- cursors
  // The handle of a cursor id: the standard cursors (negative ids), those the
  // library added, else the default cursor.
  HCURSOR Cursors(int index) const;
  // Adds or replaces a cursor (the screen owns it from then on and destroys
  // it at the end; a null handle removes it). For crDefault a null handle
  // restores the arrow.
  void SetCursors(int index, HCURSOR handle);
  // Adds or replaces a cursor that is loaded from the cursor resource `name` of
  // `module` (null: a system cursor) when it is first looked up: each load is
  // a server call under Wine, and most cursors are never shown. `name` must
  // stay valid (a literal or an integer resource). The system shares such a
  // cursor, so the screen does not destroy it; one that cannot be loaded
  // leaves the id to the default cursor.
  void SetCursorResource(int index, HMODULE module, const wchar_t* name);
  // The cursor that overrides every control's while it is not crDefault.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // Counts the SetCursor calls (a modal form restores the cursor only when
  // nobody changed it meanwhile).
  int CursorCount() const { return cursorCount_; }

  // ---- monitors and desktop
  int MonitorCount();
  TMonitor* Monitors(int index);
  TMonitor* PrimaryMonitor();
  TMonitor* MonitorFromPoint(TPoint point, TMonitorDefaultTo defaultTo = mdNearest);
  TMonitor* MonitorFromRect(const TRect& rect, TMonitorDefaultTo defaultTo = mdNearest);
  TMonitor* MonitorFromWindow(HWND handle, TMonitorDefaultTo defaultTo = mdNearest);
  // The whole virtual desktop.
  TRect DesktopRect() const;
  int DesktopLeft() const { return DesktopRect().Left; }
  int DesktopTop() const { return DesktopRect().Top; }
  int DesktopWidth() const { return DesktopRect().Width(); }
  int DesktopHeight() const { return DesktopRect().Height(); }
  // The primary monitor's work area (without the taskbar).
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  // The primary monitor's size.
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  int PixelsPerInch() const { return pixelsPerInch_; }

  // ---- fonts
  TFont* HintFont() const { return hintFont_; }
  TFont* MenuFont() const { return menuFont_; }
  TFont* IconFont() const { return iconFont_; }
  void SetHintFont(TFont* value) { hintFont_->Assign(value); }
  void SetMenuFont(TFont* value) { menuFont_->Assign(value); }
  void SetIconFont(TFont* value) { iconFont_->Assign(value); }
  // Reads the hint, menu and icon fonts from the system again.
  void ResetFonts();
  // The face names of the installed fonts, sorted, read on first use.
  TStrings* Fonts();

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

 private:
  friend class TCustomForm;
  friend class TApplication;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void MoveToFront(TCustomForm* form);
  void UpdateLastActive();
  void GetMonitors();
  TMonitor* FindMonitor(HMONITOR handle);
  void ClearMonitors();

  std::vector<TCustomForm*> customForms_;
  std::vector<TCustomForm*> saveFocusedList_;
  TForm* activeForm_ = nullptr;
  TCustomForm* activeCustomForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  TCustomForm* lastActiveCustomForm_ = nullptr;
  TWinControl* lastActiveControl_ = nullptr;
  struct CursorEntry {
    int Id;
    mutable HCURSOR Handle;
    bool Owned;
    // A cursor resource not asked for yet: loaded on first use, not at start.
    mutable const wchar_t* Resource = nullptr;
    HMODULE Module = nullptr;
  };
  std::vector<CursorEntry> cursors_;
  HCURSOR defaultCursor_ = nullptr;
  TCursor cursor_ = crDefault;
  int cursorCount_ = 0;
  std::vector<TMonitor*> monitors_;
  int pixelsPerInch_ = 96;
  TFont* hintFont_;
  TFont* menuFont_;
  TFont* iconFont_;
  TStringList* fonts_ = nullptr;
};

// ---------------------------------------------------------------------------
// TMouse
// ---------------------------------------------------------------------------

class TMouse : public TObject {
  DECLARE_CLASS(TMouse, TObject)
  TMouse();

  TPoint CursorPos() const;
  void SetCursorPos(TPoint value);
  HWND GetCapture() const { return ::GetCapture(); }
  // Null releases the capture.
  void SetCapture(HWND value);
  // Pixels the mouse moves before a pressed control starts dragging.
  int DragThreshold() const { return dragThreshold_; }
  void SetDragThreshold(int value);
  bool DragImmediate() const { return dragImmediate_; }
  void SetDragImmediate(bool value);
  bool MousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
  bool WheelPresent() const { return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0; }
  // Lines per wheel notch (SPI_GETWHEELSCROLLLINES), read again when the
  // setting changes.
  int WheelScrollLines() const { return wheelScrollLines_; }
  // Whether a drag of the controls runs.
  bool IsDragging() const;
  // A system setting changed (WM_SETTINGCHANGE's SPI_* value, 0 for all).
  void SettingChanged(int setting);

 private:
  int dragThreshold_ = 5;
  bool dragImmediate_ = true;
  int wheelScrollLines_ = 3;
};

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------

// The start procedure that TApplication::Initialize runs. A module that needs
// a step there keeps the present value and sets its own procedure, which
// calls the kept one first.
extern void (*InitProc)();

// What the application's message boxes go through; tests replace it to
// answer without showing a window. Returns the previous one; null restores
// the system's MessageBoxW.
using TMessageBoxFunction = int (*)(HWND owner, const String& text, const String& caption, UINT flags);
TMessageBoxFunction SetMessageBoxFunction(TMessageBoxFunction function);

class TApplication : public TComponent {
  DECLARE_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Runs InitProc.
  void Initialize();
  // Creates a form (or any component) through its class reference, owned by
  // the application; `Reference` is set before the definition is read and
  // cleared again when the creation fails. The first form made becomes the
  // main form. EInvalidCast when the class is not a T.
  template <class T>
  void CreateForm(TClass InstanceClass, T*& Reference) {
    if (!InstanceClass || !InstanceClass->InheritsFrom(T::StaticClass()))
      throw EInvalidCast(L"Invalid class typecast");
    CreateFormInstance(InstanceClass, [&Reference](TComponent* c) { Reference = static_cast<T*>(c); });
  }
  template <class T>
  void CreateForm(T*& Reference) { CreateForm(T::StaticClass(), Reference); }
  // Shows the main form and runs the message loop until Terminated (a
  // WM_QUIT, see Terminate). Terminated is cleared first; without a main
  // form that is all Run does.
  void Run();
  // Handles every message queued now.
  void ProcessMessages();
  // Handles one message, or when none is queued runs the idle step and
  // waits for the next one.
  void HandleMessage();
  // Ends the message loop: posts WM_QUIT.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Hands the exception being handled (call inside a catch block) to
  // OnException, else shows it; EAbort is silent.
  void HandleException(TObject* Sender);
  // A message box with the exception's message and the title as caption.
  void ShowException(Exception& E);
  // The system message box over the active form, with the other windows of
  // the thread disabled while it shows; the caption defaults to the title.
  int MessageBox(const String& Text, const String& Caption = String(), UINT Flags = MB_OK);

  // ---- windows
  // The hidden application window (made on first use).
  HWND Handle();
  bool HandleAllocated() const { return handle_.load() != nullptr; }
  TForm* MainForm() const { return mainForm_; }
  HWND MainFormHandle();
  bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
  void SetMainFormOnTaskBar(bool value);
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }
  String Title() const { return title_; }
  void SetTitle(const String& value);
  String ExeName() const;
  // Whether a window of the application is the foreground one (WM_ACTIVATEAPP).
  bool Active() const { return active_; }
  // The window IsDialogMessage is asked for (a modeless dialog), or null.
  HWND DialogHandle() const { return dialogHandle_; }
  void SetDialogHandle(HWND value) { dialogHandle_ = value; }
  void Minimize();
  void Restore();
  void BringToFront();
  // Takes the topmost style from the stay-on-top windows while a system
  // dialog shows, and gives it back.
  void NormalizeTopMosts();
  void RestoreTopMosts();
  void HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(TWindowHook hook);

  // ---- modal state
  void ModalStarted();
  void ModalFinished();
  int ModalLevel() const { return modalLevel_; }

  // ---- keys
  // OnShortCut, then the main form's shortcuts (unless the key comes from
  // the main form itself).
  bool IsShortCut(TWMKey& Message, TCustomForm* from = nullptr);

  // ---- hints
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int value) { hintPause_ = value; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int value) { hintShortPause_ = value; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int value) { hintHidePause_ = value; }
  bool HintShortCuts() const { return hintShortCuts_; }
  void SetHintShortCuts(bool value) { hintShortCuts_ = value; }
  // The long hint of the control under the mouse; setting it fires OnHint.
  String Hint() const { return hint_; }
  void SetHint(const String& value);
  // Shows the hint of the control under CursorPos now.
  void ActivateHint(TPoint CursorPos);
  void CancelHint();
  void HideHint();
  // The hint timing of a mouse message of a control.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  THintWindow* HintWindow() const { return hintWindow_; }

  // ---- help
  String HelpFile() const { return helpFile_; }
  void SetHelpFile(const String& value) { helpFile_ = value; }
  bool HelpCommand(int Command, NativeInt Data);
  bool HelpContext(THelpContext Context);
  bool HelpJump(const String& JumpID);

  // ---- system settings
  // Whether a change of the regional settings (WM_SETTINGCHANGE for
  // "intl") reads the process-wide FormatSettings again from the user's
  // locale; off, they stay as the program set them.
  bool UpdateFormatSettings() const { return updateFormatSettings_; }
  void SetUpdateFormatSettings(bool value) { updateFormatSettings_ = value; }

  // ---- events
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TShortCutEvent OnShortCut;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnModalBegin;
  TNotifyEvent OnModalEnd;
  TActionEvent OnActionExecute;
  TActionEvent OnActionUpdate;
  THelpEvent OnHelp;

  // The application window's message handling.
  void WndProc(TMessage& Message);
  // A control goes away: the application forgets it (mouse, hint).
  void ControlDestroyed(TControl* control);
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  friend class TCustomForm;
  void CreateFormInstance(TClass InstanceClass, const std::function<void(TComponent*)>& setReference);
  bool ProcessMessage(MSG& Msg);
  void Idle(const MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  bool IsDlgMsg(MSG& Msg);
  bool IsMDIMsg(MSG& Msg);
  TControl* DoMouseIdle();
  void StartHintTimer(int Value, int Mode);
  void StopHintTimer();
  void HintTimerExpired();
  void WakeMainThread(TObject* Sender);
  void SettingChange(TWMSettingChange& Message);
  bool DispatchAction(UINT Msg, TBasicAction* Action);
  void FormDestroyed(TCustomForm* form);

  std::atomic<HWND> handle_{nullptr};
  TForm* mainForm_ = nullptr;
  bool mainFormOnTaskBar_ = false;
  bool showMainForm_ = true;
  String title_;
  bool active_ = false;
  bool terminated_ = false;
  HWND dialogHandle_ = nullptr;
  int modalLevel_ = 0;
  std::vector<TWindowHook> windowHooks_;
  std::vector<HWND> topMostList_;
  int topMostLevel_ = 0;
  TNotifyEvent previousWake_;

  bool showHint_ = true;
  TColor hintColor_ = clInfoBk;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  int hintHidePause_ = 2500;
  bool hintShortCuts_ = true;
  String hint_;
  bool hintActive_ = false;
  TControl* hintControl_ = nullptr;
  TRect hintCursorRect_;
  THintWindow* hintWindow_ = nullptr;
  int hintTimerMode_ = 0;
  TControl* mouseControl_ = nullptr;

  String helpFile_;
  bool updateFormatSettings_ = true;
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;

// The hint parts of "short|long": the text before the bar, and after it
// (the whole text without a bar).
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

// Disables the visible, enabled top-level windows of the thread other than
// `activeWindow`; EnableTaskWindows gives the list back. Used around modal
// loops and message boxes.
std::vector<HWND>* DisableTaskWindows(HWND activeWindow);
void EnableTaskWindows(std::vector<HWND>* windowList);

// Module start-up: registers the form classes, creates Application, Screen
// and Mouse, installs the hooks of the controls and actions and the main
// thread's wake-up. Shutdown frees them (the application frees its forms).
void FormsInitialize();
void FormsFinalize();
