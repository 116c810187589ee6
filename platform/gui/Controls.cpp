// TControl: bounds, alignment requests, appearance, text, mouse messages,
// actions; the module's state, cursors and the published property tables.
#include "platform/gui/Controls.h"

#include "platform/core/Filer.h"
#include "platform/core/Lists.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ControlsInternal.h"
#include "platform/gui/Menus.h"

#include <cstdlib>

using namespace controlsdetail;

namespace controlsdetail {

ModuleState& State() {
  static ModuleState state;
  return state;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

void ControlDestroying(TControl* control) {
  ModuleState& st = State();
  if (st.captureControl == control) {
    st.captureControl = nullptr;
    if (control->Parent() && control->Parent()->HandleAllocated() &&
        GetCapture() == control->Parent()->WindowHandle())
      ReleaseCapture();
  }
  if (st.mouseControl == control) st.mouseControl = nullptr;
}

void RaiseParentRequired(TControl* control) {
  throw EInvalidOperation(Format(L"Control '%s' has no parent window", {control->Name()}));
}

}  // namespace controlsdetail

TControlsHooks& ControlsHooks() {
  static TControlsHooks hooks;
  return hooks;
}

// ---------------------------------------------------------------------------
// Cursors
// ---------------------------------------------------------------------------

namespace {

const TIdentMapEntry kCursorNames[] = {
    {crDefault, L"crDefault"},   {crArrow, L"crArrow"},       {crCross, L"crCross"},
    {crIBeam, L"crIBeam"},       {crSizeNESW, L"crSizeNESW"}, {crSizeNS, L"crSizeNS"},
    {crSizeNWSE, L"crSizeNWSE"}, {crSizeWE, L"crSizeWE"},     {crUpArrow, L"crUpArrow"},
    {crHourGlass, L"crHourGlass"}, {crDrag, L"crDrag"},       {crNoDrop, L"crNoDrop"},
    {crHSplit, L"crHSplit"},     {crVSplit, L"crVSplit"},     {crMultiDrag, L"crMultiDrag"},
    {crSQLWait, L"crSQLWait"},   {crNo, L"crNo"},             {crAppStart, L"crAppStart"},
    {crHelp, L"crHelp"},         {crHandPoint, L"crHandPoint"}, {crSizeAll, L"crSizeAll"},
    {crSize, L"crSize"},         {crNone, L"crNone"},
};

}  // namespace

const TTypeInfo* CursorTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = L"TCursor";
    t.MinValue = -32768;
    t.MaxValue = 32767;
    return t;
  }();
  return &info;
}

bool CursorToIdent(int cursor, String& ident) { return IntToIdent(cursor, ident, kCursorNames); }
bool IdentToCursor(const String& ident, int& cursor) { return IdentToInt(ident, cursor, kCursorNames); }

String CursorToString(TCursor cursor) {
  String s;
  if (CursorToIdent(cursor, s)) return s;
  return IntToStr(cursor);
}

TCursor StringToCursor(const String& text) {
  int v = 0;
  if (IdentToCursor(text, v)) return static_cast<TCursor>(v);
  return static_cast<TCursor>(StrToInt(text));
}

// ---------------------------------------------------------------------------
// TSizeConstraints
// ---------------------------------------------------------------------------

TSizeConstraints::TSizeConstraints(TControl* control) : control_(control) {}

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(source)) {
    minHeight_ = s->minHeight_;
    maxHeight_ = s->maxHeight_;
    minWidth_ = s->minWidth_;
    maxWidth_ = s->maxWidth_;
    Change();
    return;
  }
  TPersistent::Assign(source);
}

void TSizeConstraints::SetMaxHeight(int value) {
  if (value == maxHeight_) return;
  maxHeight_ = value;
  if (value > 0 && value < minHeight_) minHeight_ = value;
  Change();
}

void TSizeConstraints::SetMaxWidth(int value) {
  if (value == maxWidth_) return;
  maxWidth_ = value;
  if (value > 0 && value < minWidth_) minWidth_ = value;
  Change();
}

void TSizeConstraints::SetMinHeight(int value) {
  if (value == minHeight_) return;
  minHeight_ = value;
  if (maxHeight_ > 0 && value > maxHeight_) maxHeight_ = value;
  Change();
}

void TSizeConstraints::SetMinWidth(int value) {
  if (value == minWidth_) return;
  minWidth_ = value;
  if (maxWidth_ > 0 && value > maxWidth_) maxWidth_ = value;
  Change();
}

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

BEGIN_CLASS(TSizeConstraints, TPersistent, nullptr)
  DefaultValue(b.Prop(L"MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight), 0);
  DefaultValue(b.Prop(L"MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth), 0);
  DefaultValue(b.Prop(L"MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight), 0);
  DefaultValue(b.Prop(L"MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth), 0);
END_CLASS

// ---------------------------------------------------------------------------
// TControlGuard
// ---------------------------------------------------------------------------

TControlGuard::TControlGuard(TControl* control) : control_(control), next_(nullptr) {
  if (control_) {
    next_ = control_->guards_;
    control_->guards_ = this;
  }
}

TControlGuard::~TControlGuard() {
  if (!control_) return;
  for (TControlGuard** p = &control_->guards_; *p; p = &(*p)->next_)
    if (*p == this) {
      *p = next_;
      break;
    }
}

// ---------------------------------------------------------------------------
// TControl: life
// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  font_ = Make<TFont>();
  font_->OnChange = TNotifyEvent::Bind<&TControl::FontChanged>(this);
  constraints_ = Make<TSizeConstraints>(this);
  constraints_->OnChange = TNotifyEvent::Bind<&TControl::DoConstraintsChange>(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (Dragging()) CancelDrag();
}

TControl::~TControl() {
  // Code further up the stack that holds a guard must no longer touch us.
  for (TControlGuard* g = guards_; g;) {
    TControlGuard* next = g->next_;
    g->control_ = nullptr;
    g = next;
  }
  guards_ = nullptr;
  if (ControlsHooks().ControlDestroyed) ControlsHooks().ControlDestroyed(this);
  DragControlDestroying(this);
  ControlDestroying(this);
  SetParent(nullptr);
  FreeAndNil(actionLink_);
  TObject::Free(constraints_);
  TObject::Free(font_);
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (WindowProc.Assigned())
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
    if (TWinControl* root = TopLevelParent(); root && root != this && root->WantChildKey(this, Message))
      return;
  } else if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!controlStyle_.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
      }
    }
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
        if (ControlsHooks().HintMouseMessage) ControlsHooks().HintMouseMessage(this, Message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (dragMode_ == dmAutomatic && !ComponentState().Contains(csDesigning)) {
          BeginDrag(ControlsHooks().DragImmediate, ControlsHooks().DragThreshold);
          return;
        }
        controlState_ += csLButtonDown;
        break;
      case WM_LBUTTONUP:
        controlState_ -= csLButtonDown;
        break;
    }
  }
  Dispatch(&Message);
}

void TControl::DefaultHandler(void* Message) {
  TMessage& m = *static_cast<TMessage*>(Message);
  switch (m.Msg) {
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<Char*>(m.LParam);
      const int size = static_cast<int>(m.WParam);
      if (!buf || size <= 0) {
        m.Result = 0;
        break;
      }
      const int n = std::min(size - 1, static_cast<int>(text_.size()));
      text_.copy(buf, n);
      buf[n] = 0;
      m.Result = n;
      break;
    }
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(text_.size());
      break;
    case WM_SETTEXT: {
      const auto* p = reinterpret_cast<const Char*>(m.LParam);
      text_ = p ? String(p) : String();
      m.Result = 1;
      break;
    }
  }
}

// ---------------------------------------------------------------------------
// Parent and stream
// ---------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (parent_ == AParent) return;
  for (TControl* p = AParent; p; p = p->parent_)
    if (p == this) throw EInvalidOperation(L"A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

bool TControl::HasParent() { return true; }

TComponent* TControl::GetParentComponent() { return parent_; }

void TControl::SetParentComponent(TComponent* value) {
  if (auto* w = dynamic_cast<TWinControl*>(value)) SetParent(w);
}

void TControl::ReadState(TReader* reader) {
  controlState_ += csReadingState;
  if (auto* p = dynamic_cast<TWinControl*>(reader->Parent())) SetParent(p);
  try {
    TComponent::ReadState(reader);
  } catch (...) {
    controlState_ -= csReadingState;
    throw;
  }
  controlState_ -= csReadingState;
  if (parent_) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    Perform(CM_SYSFONTCHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
      w->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      w->UpdateControlState();
    }
  }
}

void TControl::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  // The designer keeps a control's last explicit bounds beside its aligned
  // ones; they mean nothing at run time and are never written back.
  for (const Char* name : {L"ExplicitLeft", L"ExplicitTop", L"ExplicitWidth", L"ExplicitHeight"})
    filer->DefineProperty(name, [](TReader* r) { r->ReadInteger(); }, nullptr, false);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (TBasicAction* a = Action()) ActionChange(a, true);
  UpdateAnchorRules();
}

void TControl::Notification(TComponent* AComponent, TOperation operation) {
  TComponent::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == popupMenu_)
    SetPopupMenu(nullptr);
  else if (actionLink_ && AComponent == actionLink_->Action())
    SetAction(nullptr);
}

// ---------------------------------------------------------------------------
// Bounds
// ---------------------------------------------------------------------------

void TControl::SetLeft(int value) { SetBounds(value, top_, width_, height_); }
void TControl::SetTop(int value) { SetBounds(left_, value, width_, height_); }
void TControl::SetWidth(int value) { SetBounds(left_, top_, value, height_); }
void TControl::SetHeight(int value) { SetBounds(left_, top_, width_, value); }

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  InvalidateControl(visible_, false);
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
  int w = NewWidth, h = NewHeight;
  if (!CanResize(w, h)) return false;
  DoConstrainedResize(w, h);
  if (autoSize_ && align_ != alClient) {
    int w2 = w, h2 = h;
    if (CanAutoSize(w2, h2)) {
      if (align_ == alNone || align_ == alLeft || align_ == alRight) w = w2;
      if (align_ == alNone || align_ == alTop || align_ == alBottom) h = h2;
      if (!CanResize(w, h)) return false;
      DoConstrainedResize(w, h);
    }
  }
  NewWidth = w;
  NewHeight = h;
  return true;
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, result);
  return result;
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
  if (OnConstrainedResize) OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::DoConstrainedResize(int& NewWidth, int& NewHeight) {
  int minW = constraints_->MinWidth(), minH = constraints_->MinHeight();
  int maxW = constraints_->MaxWidth(), maxH = constraints_->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && NewWidth > maxW)
    NewWidth = maxW;
  else if (minW > 0 && NewWidth < minW)
    NewWidth = minW;
  if (maxH > 0 && NewHeight > maxH)
    NewHeight = maxH;
  else if (minH > 0 && NewHeight < minH)
    NewHeight = minH;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TRect TControl::ClientRect() { return {0, 0, width_, height_}; }

void TControl::SetClientSize(TPoint value) {
  const TRect client = ClientRect();
  SetBounds(left_, top_, width_ - client.Right + value.X, height_ - client.Bottom + value.Y);
}

TPoint TControl::ClientOrigin() {
  if (!parent_) RaiseParentRequired(this);
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) {
  const TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) {
  const TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) {
  if (!AParent) AParent = parent_;
  if (!AParent) RaiseParentRequired(this);
  const TControl* c = this;
  while (c && c != AParent) {
    p.X += c->left_;
    p.Y += c->top_;
    c = c->parent_;
  }
  if (!c) throw EInvalidOperation(Format(L"Parent given is not a parent of '%s'", {Name()}));
  return p;
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* AParent) {
  const TPoint origin = ClientToParent({0, 0}, AParent);
  return {p.X - origin.X, p.Y - origin.Y};
}

// ---------------------------------------------------------------------------
// Alignment
// ---------------------------------------------------------------------------

namespace {
TAnchors AnchorAlign(TAlign a) {
  switch (a) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akRight, akTop, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    default: return {akLeft, akTop};
  }
}
}  // namespace

void TControl::SetAlign(TAlign value) {
  if (align_ != value) {
    const TAlign old = align_;
    align_ = value;
    anchors_ = AnchorAlign(value);
    if (!ComponentState().Contains(csLoading) && value != alCustom && old != alCustom) {
      const bool oldVertical = old == alTop || old == alBottom;
      const bool newHorizontal = value == alLeft || value == alRight;
      if (oldVertical == newHorizontal && old != alNone && old != alClient && value != alNone &&
          value != alClient)
        SetBounds(left_, top_, height_, width_);   // turned by 90 degrees
      else
        AdjustSize();
    }
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  if (anchors_ == value) return;
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  if (value) AdjustSize();
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(left_, top_, width_, height_);
}

void TControl::UpdateAnchorRules() {
  if (anchorMove_ || ComponentState().Contains(csLoading)) return;
  const TAnchors a = anchors_;
  if (a == TAnchors{akLeft, akTop}) {
    originalParentSize_ = {0, 0};
    return;
  }
  if (a.Contains(akRight))
    anchorRules_.X = a.Contains(akLeft) ? width_ : left_;
  else
    anchorRules_.X = left_ + width_ / 2;
  if (a.Contains(akBottom))
    anchorRules_.Y = a.Contains(akTop) ? height_ : top_;
  else
    anchorRules_.Y = top_ + height_ / 2;
  if (parent_) {
    const TRect r = parent_->ClientRect();
    originalParentSize_ = {r.Right, r.Bottom};
  }
}

void TControl::DoConstraintsChange(TObject*) { AdjustSize(); }

// ---------------------------------------------------------------------------
// Visibility and state
// ---------------------------------------------------------------------------

void TControl::SetVisible(bool value) {
  if (visible_ == value) return;
  VisibleChanging();
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value, 0);
  RequestAlign();
}

void TControl::Show() {
  if (parent_) parent_->ShowControl(this);
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetZOrder(bool TopMost) {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  InvalidateControl(visible_, true);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

int TControl::GetTextLen() { return static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0)); }

int TControl::GetTextBuf(Char* Buffer, int BufSize) {
  return static_cast<int>(Perform(WM_GETTEXT, static_cast<WPARAM>(BufSize), reinterpret_cast<LPARAM>(Buffer)));
}

String TControl::Text() {
  const int len = GetTextLen();
  if (len <= 0) return String();
  String s(static_cast<size_t>(len) + 1, L'\0');
  const int n = GetTextBuf(s.data(), len + 1);
  s.resize(static_cast<size_t>(std::max(0, std::min(n, len))));
  return s;
}

void TControl::SetTextBuf(const Char* Buffer) {
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Buffer));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetText(const String& value) {
  if (Text() != value) SetTextBuf(value.c_str());
}

// ---------------------------------------------------------------------------
// Appearance
// ---------------------------------------------------------------------------

void TControl::SetFont(TFont* value) { font_->Assign(value); }

void TControl::FontChanged(TObject*) {
  parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) {
  if (parentFont_ == value) return;
  parentFont_ = value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
  if (parentColor_ == value) return;
  parentColor_ = value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetCtl3D(bool value) {
  if (ctl3D_ == value) return;
  ctl3D_ = value;
  parentCtl3D_ = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TControl::SetParentCtl3D(bool value) {
  if (parentCtl3D_ == value) return;
  parentCtl3D_ = value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor value) {
  if (cursor_ == value) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetBiDiMode(TBiDiMode value) {
  if (biDiMode_ == value) return;
  biDiMode_ = value;
  parentBiDiMode_ = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool value) {
  if (parentBiDiMode_ == value) return;
  parentBiDiMode_ = value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

void TControl::SetShowHint(bool value) {
  if (showHint_ == value) return;
  showHint_ = value;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool value) {
  if (parentShowHint_ == value) return;
  parentShowHint_ = value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!parentFont_) return;
  if (Message.WParam != 0)
    SetFont(reinterpret_cast<TFont*>(Message.LParam));
  else if (parent_)
    SetFont(parent_->Font());
  parentFont_ = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!parentColor_) return;
  if (Message.WParam != 0)
    SetColor(static_cast<TColor>(Message.LParam));
  else if (parent_)
    SetColor(parent_->Color());
  parentColor_ = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!parentShowHint_ || !parent_) return;
  SetShowHint(parent_->ShowHint());
  parentShowHint_ = true;
}

void TControl::CMParentCtl3DChanged(TMessage& Message) {
  if (!parentCtl3D_) return;
  if (Message.WParam != 0)
    SetCtl3D(Message.LParam != 0);
  else if (parent_)
    SetCtl3D(parent_->Ctl3D());
  parentCtl3D_ = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!parentBiDiMode_ || !parent_) return;
  SetBiDiMode(parent_->BiDiMode());
  parentBiDiMode_ = true;
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque));
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMHitTest(TCMHitTest& Message) { Message.Result = HTCLIENT; }

void TControl::CMMouseEnter(TCMMouseEnterLeave& Message) {
  // The parents learn which control the mouse entered (lParam); only the
  // control itself fires its event.
  TControl* entered = Message.Control ? Message.Control : this;
  if (parent_) parent_->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(entered));
  if (!Message.Control && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TCMMouseEnterLeave& Message) {
  TControl* left = Message.Control ? Message.Control : this;
  if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(left));
  if (!Message.Control && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHintShow(TCMHintShow& Message) {
  if (auto* link = dynamic_cast<TControlActionLink*>(actionLink_))
    if (Message.HintInfo && !link->DoShowHint(Message.HintInfo->HintStr)) Message.Result = 1;
}

// ---------------------------------------------------------------------------
// Popup menu and action
// ---------------------------------------------------------------------------

TPopupMenu* TControl::PopupMenu() { return popupMenu_; }

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (popupMenu_ == value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

TClass TControl::GetActionLinkClass() { return TControlActionLink::StaticClass(); }

void TControl::SetAction(TBasicAction* value) {
  if (!value) {
    FreeAndNil(actionLink_);
    controlStyle_ -= csActionClient;
    return;
  }
  controlStyle_ += csActionClient;
  if (!actionLink_) {
    TObject* link = GetActionLinkClass()->NewInstance(this);
    actionLink_ = dynamic_cast<TActionLink*>(link);
    if (!actionLink_) {
      TObject::Free(link);
      throw EInvalidCast(L"Invalid action link class");
    }
  }
  actionLink_->SetAction(value);
  actionLink_->OnChange = TNotifyEvent::Bind<&TControl::DoActionChange>(this);
  ActionChange(value, value->ComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* Sender) {
  if (Sender == Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(a->Caption());
  if (!CheckDefaults || Enabled()) SetEnabled(a->Enabled());
  if (!CheckDefaults || hint_.empty()) SetHint(a->Hint());
  if (!CheckDefaults || visible_) SetVisible(a->Visible());
  if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
  if (!CheckDefaults || helpContext_ == 0) SetHelpContext(a->HelpContext());
  if (!CheckDefaults || helpKeyword_.empty()) SetHelpKeyword(a->HelpKeyword());
  if (!CheckDefaults || helpType_ == htContext) SetHelpType(a->HelpType());
}

void TControl::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

bool TControl::ExecuteAction(TBasicAction* Action) {
  if (Action && Action->HandlesTarget(this)) {
    Action->ExecuteTarget(this);
    return true;
  }
  return false;
}

bool TControl::UpdateAction(TBasicAction* Action) {
  if (Action && Action->HandlesTarget(this)) {
    Action->UpdateTarget(this);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// TControlActionLink
// ---------------------------------------------------------------------------

TControlActionLink::TControlActionLink(TObject* AClient) : TActionLink(AClient) {}

void TControlActionLink::AssignClient(TObject* AClient) {
  client_ = dynamic_cast<TControl*>(AClient);
  if (!client_) throw EInvalidCast(L"Invalid class typecast");
}

namespace {
TCustomAction* CustomActionOf(TBasicActionLink* link) { return dynamic_cast<TCustomAction*>(link->Action()); }
}  // namespace

bool TControlActionLink::DoShowHint(String& HintStr) {
  if (auto* a = CustomActionOf(this)) return a->DoHint(HintStr);
  return true;
}

bool TControlActionLink::IsCaptionLinked() {
  auto* a = CustomActionOf(this);
  return TActionLink::IsCaptionLinked() && a && client_->Caption() == a->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
  auto* a = CustomActionOf(this);
  return TActionLink::IsEnabledLinked() && a && client_->Enabled() == a->Enabled();
}

bool TControlActionLink::IsHelpContextLinked() {
  auto* a = CustomActionOf(this);
  return TActionLink::IsHelpContextLinked() && a && client_->HelpContext() == a->HelpContext();
}

bool TControlActionLink::IsHintLinked() {
  auto* a = CustomActionOf(this);
  return TActionLink::IsHintLinked() && a && client_->Hint() == a->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
  auto* a = CustomActionOf(this);
  return TActionLink::IsVisibleLinked() && a && client_->Visible() == a->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && Action() && client_->OnClick == Action()->OnExecute;
}

void TControlActionLink::SetCaption(const String& value) {
  if (IsCaptionLinked()) client_->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) client_->SetEnabled(value);
}

void TControlActionLink::SetHelpContext(THelpContext value) {
  if (IsHelpContextLinked()) client_->SetHelpContext(value);
}

void TControlActionLink::SetHint(const String& value) {
  if (IsHintLinked()) client_->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) client_->SetVisible(value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked()) client_->OnClick = value;
}

IMPLEMENT_CLASS(TControlActionLink, TActionLink, (ConstructWith<TControlActionLink, TObject>))

// ---------------------------------------------------------------------------
// TWinControlActionLink
// ---------------------------------------------------------------------------

TClass TWinControl::GetActionLinkClass() { return TWinControlActionLink::StaticClass(); }

TWinControlActionLink::TWinControlActionLink(TObject* AClient) : TControlActionLink(AClient) {}

void TWinControlActionLink::AssignClient(TObject* AClient) {
  TControlActionLink::AssignClient(AClient);
  winClient_ = dynamic_cast<TWinControl*>(AClient);
  if (!winClient_) throw EInvalidCast(L"Invalid class typecast");
}

bool TWinControlActionLink::IsHelpLinked() {
  auto* a = CustomActionOf(this);
  return TControlActionLink::IsHelpLinked() && a && winClient_->HelpContext() == a->HelpContext() &&
         winClient_->HelpKeyword() == a->HelpKeyword() && winClient_->HelpType() == a->HelpType();
}

// The context alone no longer decides: a control whose keyword or type was
// changed keeps its own help.
bool TWinControlActionLink::IsHelpContextLinked() {
  return TControlActionLink::IsHelpContextLinked() && IsHelpLinked();
}

void TWinControlActionLink::SetHelpContext(THelpContext value) {
  if (IsHelpLinked()) winClient_->SetHelpContext(value);
}

void TWinControlActionLink::SetHelpKeyword(const String& value) {
  if (IsHelpLinked()) winClient_->SetHelpKeyword(value);
}

void TWinControlActionLink::SetHelpType(THelpType value) {
  if (IsHelpLinked()) winClient_->SetHelpType(value);
}

IMPLEMENT_CLASS(TWinControlActionLink, TControlActionLink, (ConstructWith<TWinControlActionLink, TObject>))

// ---------------------------------------------------------------------------
// Painting requests
// ---------------------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !parent_ || !parent_->HandleAllocated()) return;
  const RECT r{left_, top_, left_ + width_, top_ + height_};
  InvalidateRect(parent_->WindowHandle(), &r,
                 !(IsOpaque || parent_->ControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  if (controlStyle_.Contains(csOpaque)) {
    HDC dc = GetDC(parent_->WindowHandle());
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    parent_->PaintControls(dc, this);
    ReleaseDC(parent_->WindowHandle(), dc);
  } else {
    Invalidate();
    Update();
  }
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
  if (!parent_) RaiseParentRequired(this);
  HDC dc = parent_->GetDeviceContext(WindowHandle);
  SetViewportOrgEx(dc, left_, top_, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  return dc;
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  TControl* cc = State().captureControl;
  if (result && cc && cc->Parent() == result) result = cc;
  return result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  State().captureControl = nullptr;
  if (!Control) return;
  auto* w = dynamic_cast<TWinControl*>(Control);
  if (!w) {
    if (!Control->Parent()) return;
    State().captureControl = Control;
    w = Control->Parent();
  }
  SetCapture(w->Handle());
}

TControl* MouseControl() { return State().mouseControl; }

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (MouseCapture() != value) SetCaptureControl(value ? this : nullptr);
}

void TControl::NotifyCancelMode(TControl* Sender) {
  for (TControl* c = this; c; c = c->parent_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->IsForm()) w->SendCancelMode(Sender);
}

TWinControl* TControl::TopLevelParent() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TWinControl*>(const_cast<TControl*>(c));
}

void TControl::Click() {
  TBasicAction* action = Action();
  if (OnClick && action && !(OnClick == action->OnExecute))
    OnClick(this);
  else if (!ComponentState().Contains(csDesigning) && actionLink_)
    actionLink_->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

namespace {
// A position of a control larger than the 16 bits of a mouse message comes
// from the cursor instead.
TPoint MousePos(TControl* c, const TWMMouse& m) {
  if (c->Width() > 32768 || c->Height() > 32768) {
    POINT p;
    GetCursorPos(&p);
    return c->ScreenToClient({p.x, p.y});
  }
  return {m.XPos, m.YPos};
}
}  // namespace

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  const TPoint p = MousePos(this, Message);
  MouseDown(Button, KeysToShiftState(Message.Keys) + Shift, p.X, p.Y);
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button) {
  if (controlStyle_.Contains(csNoStdEvents)) return;
  const TPoint p = MousePos(this, Message);
  MouseUp(Button, KeysToShiftState(Message.Keys), p.X, p.Y);
}

void TControl::WMLButtonDown(TWMMouse& Message) {
  NotifyCancelMode(this);
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (!guard.Alive()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) controlState_ += csClicked;
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
  NotifyCancelMode(this);
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (!guard.Alive()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) {
    DblClick();
    if (!guard.Alive()) return;
  }
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TWMMouse& Message) {
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (!guard.Alive()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (controlState_.Contains(csClicked)) {
    controlState_ -= csClicked;
    if (ClientRect().Contains(MousePos(this, Message))) {
      Click();
      if (!guard.Alive()) return;
    }
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TWMMouse& Message) {
  NotifyCancelMode(this);
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (guard.Alive()) DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonDblClk(TWMMouse& Message) {
  NotifyCancelMode(this);
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (guard.Alive()) DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMRButtonUp(TWMMouse& Message) {
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (guard.Alive()) DoMouseUp(Message, mbRight);
}

void TControl::WMMButtonDown(TWMMouse& Message) {
  NotifyCancelMode(this);
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (guard.Alive()) DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonDblClk(TWMMouse& Message) {
  NotifyCancelMode(this);
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (guard.Alive()) DoMouseDown(Message, mbMiddle, {ssDouble});
}

void TControl::WMMButtonUp(TWMMouse& Message) {
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (guard.Alive()) DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TWMMouse& Message) {
  TControlGuard guard(this);
  DispatchInherited(TControl::StaticClass(), &Message);
  if (!guard.Alive() || controlStyle_.Contains(csNoStdEvents)) return;
  const TPoint p = MousePos(this, Message);
  MouseMove(KeysToShiftState(Message.Keys), p.X, p.Y);
}

void TControl::WMCancelMode(TWMNoParams& Message) {
  DispatchInherited(TControl::StaticClass(), &Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (controlState_.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(-1));
  } else {
    controlState_ -= csLButtonDown;
  }
}

void TControl::WMWindowPosChanged(TWMWindowPosMsg& Message) {
  DispatchInherited(TControl::StaticClass(), &Message);
}

// ---------------------------------------------------------------------------
// Wheel and context menu
// ---------------------------------------------------------------------------

void TControl::WMMouseWheel(TWMMouseWheel& Message) {
  // The wheel record and the CM_MOUSEWHEEL record share their bytes: the
  // key flags become the shift state.
  const TShiftState shift = KeysToShiftState(static_cast<Word>(Message.Keys));
  auto& cm = reinterpret_cast<TCMMouseWheel&>(Message);
  cm.SetShiftState(shift);
  cm.Unused = 0;
  MouseWheelHandler(reinterpret_cast<TMessage&>(Message));
  if (Message.Result == 0) DispatchInherited(TControl::StaticClass(), &Message);
}

void TControl::MouseWheelHandler(TMessage& Message) {
  TWinControl* root = TopLevelParent();
  if (root && root != this) {
    root->MouseWheelHandler(Message);
    return;
  }
  TControl* target = this;
  if (root && root->FocusedChild() && root->FocusedChild() != root) target = root->FocusedChild();
  Message.Result = target->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::CMMouseWheel(TCMMouseWheel& Message) {
  Message.Result = 0;
  if (DoMouseWheel(Message.ShiftState(), Message.WheelDelta, {Message.XPos, Message.YPos}))
    Message.Result = 1;
  else if (parent_) {
    const auto& m = reinterpret_cast<TMessage&>(Message);
    Message.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
  }
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool result = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, result);
  if (!result) {
    wheelAccumulator_ += WheelDelta;
    while (std::abs(wheelAccumulator_) >= WHEEL_DELTA) {
      const bool isNeg = wheelAccumulator_ < 0;
      wheelAccumulator_ = std::abs(wheelAccumulator_) - WHEEL_DELTA;
      if (isNeg) {
        if (wheelAccumulator_ != 0) wheelAccumulator_ = -wheelAccumulator_;
        result = DoMouseWheelDown(Shift, MousePos);
      } else {
        result = DoMouseWheelUp(Shift, MousePos);
      }
    }
  }
  return result;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool result = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, result);
  return result;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool result = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, result);
  return result;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TWMContextMenu& Message) {
  if (Message.Result != 0 || ComponentState().Contains(csDesigning)) return;
  TPoint pt{Message.XPos, Message.YPos};
  const bool fromKeyboard = pt.X == -1 && pt.Y == -1;
  const TPoint clientPt = fromKeyboard ? TPoint{-1, -1} : ScreenToClient(pt);
  TControlGuard guard(this);
  bool handled = false;
  DoContextPopup(clientPt, handled);
  if (!guard.Alive()) return;
  Message.Result = handled ? 1 : 0;
  if (handled) return;
  TPopupMenu* menu = PopupMenu();
  if (menu && menu->AutoPopup()) {
    NotifyCancelMode(nullptr);
    menu->SetPopupComponent(this);
    if (fromKeyboard) pt = ClientToScreen({0, 0});
    menu->Popup(pt.X, pt.Y);
    Message.Result = 1;
  }
  if (Message.Result == 0) DispatchInherited(TControl::StaticClass(), &Message);
}

// ---------------------------------------------------------------------------
// Class information and published properties
// ---------------------------------------------------------------------------

BEGIN_CLASS(TControl, TComponent, nullptr)
  b.Prop(L"Left", &TControl::Left, &TControl::SetLeft);
  b.Prop(L"Top", &TControl::Top, &TControl::SetTop);
  b.Prop(L"Width", &TControl::Width, &TControl::SetWidth);
  b.Prop(L"Height", &TControl::Height, &TControl::SetHeight);
  DefaultValue(b.Prop(L"Cursor", &TControl::Cursor, &TControl::SetCursor, CursorTypeInfo()), crDefault);
  b.Prop(L"Hint", &TControl::Hint, &TControl::SetHint);
  DefaultValue(b.Prop(L"HelpType", &TControl::HelpType, &TControl::SetHelpType), htContext);
  b.Prop(L"HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword);
  DefaultValue(b.Prop(L"HelpContext", &TControl::HelpContext, &TControl::SetHelpContext), 0);
  // Declared for descendants to publish (b.Publish): most controls show only
  // some of these, each class in its own order.
  b.DeclareProp(L"Action", &TControl::Action, &TControl::SetAction);
  DefaultValue(b.DeclareProp(L"Align", &TControl::Align, &TControl::SetAlign), alNone);
  DefaultValue(b.DeclareProp(L"Anchors", &TControl::Anchors, &TControl::SetAnchors),
               TAnchors{akLeft, akTop}.ToBits());
  DefaultValue(b.DeclareProp(L"AutoSize", &TControl::AutoSize, &TControl::SetAutoSize), false);
  b.DeclareProp(L"BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Stored =
      [](TObject* o) { return !static_cast<TControl*>(o)->ParentBiDiMode(); };
  b.DeclareProp(L"Caption", &TControl::Caption, &TControl::SetCaption).Stored = [](TObject* o) {
    auto* c = static_cast<TControl*>(o);
    auto* link = dynamic_cast<TControlActionLink*>(c->ActionLink());
    return !link || !link->IsCaptionLinked();
  };
  b.DeclareProp(L"Color", &TControl::Color, &TControl::SetColor, ColorTypeInfo()).Stored =
      [](TObject* o) { return !static_cast<TControl*>(o)->ParentColor(); };
  b.DeclareProp(L"Constraints", &TControl::Constraints, &TControl::SetConstraints);
  b.DeclareProp(L"Ctl3D", &TControl::Ctl3D, &TControl::SetCtl3D).Stored =
      [](TObject* o) { return !static_cast<TControl*>(o)->ParentCtl3D(); };
  DefaultValue(b.DeclareProp(L"DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, CursorTypeInfo()),
               crDrag);
  DefaultValue(b.DeclareProp(L"DragKind", &TControl::DragKind, &TControl::SetDragKind), dkDrag);
  DefaultValue(b.DeclareProp(L"DragMode", &TControl::DragMode, &TControl::SetDragMode), dmManual);
  DefaultValue(b.DeclareProp(L"Enabled", &TControl::Enabled, &TControl::SetEnabled), true);
  b.DeclareProp(L"Font", &TControl::Font, &TControl::SetFont).Stored =
      [](TObject* o) { return !static_cast<TControl*>(o)->ParentFont(); };
  DefaultValue(b.DeclareProp(L"ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode), true);
  DefaultValue(b.DeclareProp(L"ParentColor", &TControl::ParentColor, &TControl::SetParentColor), true);
  DefaultValue(b.DeclareProp(L"ParentCtl3D", &TControl::ParentCtl3D, &TControl::SetParentCtl3D), true);
  DefaultValue(b.DeclareProp(L"ParentFont", &TControl::ParentFont, &TControl::SetParentFont), true);
  DefaultValue(b.DeclareProp(L"ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint), true);
  b.DeclareProp(L"PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  b.DeclareProp(L"ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored =
      [](TObject* o) { return !static_cast<TControl*>(o)->ParentShowHint(); };
  b.DeclareProp(L"Text", &TControl::Text, &TControl::SetText);
  DefaultValue(b.DeclareProp(L"Visible", &TControl::Visible, &TControl::SetVisible), true);
  b.DeclareField(L"OnClick", &TControl::OnClick);
  b.DeclareField(L"OnDblClick", &TControl::OnDblClick);
  b.DeclareField(L"OnMouseDown", &TControl::OnMouseDown);
  b.DeclareField(L"OnMouseMove", &TControl::OnMouseMove);
  b.DeclareField(L"OnMouseUp", &TControl::OnMouseUp);
  b.DeclareField(L"OnMouseEnter", &TControl::OnMouseEnter);
  b.DeclareField(L"OnMouseLeave", &TControl::OnMouseLeave);
  b.DeclareField(L"OnMouseWheel", &TControl::OnMouseWheel);
  b.DeclareField(L"OnMouseWheelDown", &TControl::OnMouseWheelDown);
  b.DeclareField(L"OnMouseWheelUp", &TControl::OnMouseWheelUp);
  b.DeclareField(L"OnContextPopup", &TControl::OnContextPopup);
  b.DeclareField(L"OnResize", &TControl::OnResize);
  b.DeclareField(L"OnCanResize", &TControl::OnCanResize);
  b.DeclareField(L"OnConstrainedResize", &TControl::OnConstrainedResize);
  b.DeclareField(L"OnDragOver", &TControl::OnDragOver);
  b.DeclareField(L"OnDragDrop", &TControl::OnDragDrop);
  b.DeclareField(L"OnStartDrag", &TControl::OnStartDrag);
  b.DeclareField(L"OnEndDrag", &TControl::OnEndDrag);
  b.Message<&TControl::WMLButtonDown>(WM_LBUTTONDOWN);
  b.Message<&TControl::WMLButtonDblClk>(WM_LBUTTONDBLCLK);
  b.Message<&TControl::WMLButtonUp>(WM_LBUTTONUP);
  b.Message<&TControl::WMRButtonDown>(WM_RBUTTONDOWN);
  b.Message<&TControl::WMRButtonDblClk>(WM_RBUTTONDBLCLK);
  b.Message<&TControl::WMRButtonUp>(WM_RBUTTONUP);
  b.Message<&TControl::WMMButtonDown>(WM_MBUTTONDOWN);
  b.Message<&TControl::WMMButtonDblClk>(WM_MBUTTONDBLCLK);
  b.Message<&TControl::WMMButtonUp>(WM_MBUTTONUP);
  b.Message<&TControl::WMMouseMove>(WM_MOUSEMOVE);
  b.Message<&TControl::WMMouseWheel>(WM_MOUSEWHEEL);
  b.Message<&TControl::WMCancelMode>(WM_CANCELMODE);
  b.Message<&TControl::WMContextMenu>(WM_CONTEXTMENU);
  b.Message<&TControl::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
  b.Message<&TControl::CMEnabledChanged>(CM_ENABLEDCHANGED);
  b.Message<&TControl::CMVisibleChanged>(CM_VISIBLECHANGED);
  b.Message<&TControl::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TControl::CMColorChanged>(CM_COLORCHANGED);
  b.Message<&TControl::CMParentFontChanged>(CM_PARENTFONTCHANGED);
  b.Message<&TControl::CMParentColorChanged>(CM_PARENTCOLORCHANGED);
  b.Message<&TControl::CMParentShowHintChanged>(CM_PARENTSHOWHINTCHANGED);
  b.Message<&TControl::CMParentCtl3DChanged>(CM_PARENTCTL3DCHANGED);
  b.Message<&TControl::CMParentBiDiModeChanged>(CM_PARENTBIDIMODECHANGED);
  b.Message<&TControl::CMHitTest>(CM_HITTEST);
  b.Message<&TControl::CMMouseEnter>(CM_MOUSEENTER);
  b.Message<&TControl::CMMouseLeave>(CM_MOUSELEAVE);
  b.Message<&TControl::CMHintShow>(CM_HINTSHOW);
  b.Message<&TControl::CMMouseWheel>(CM_MOUSEWHEEL);
  b.Message<&TControl::CMDrag>(CM_DRAG);
END_CLASS

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void ControlsInitialize() {
  // Controls and the classes grouped with them are found by name only while their group is
  // active, as it is for the whole life of a GUI program.
  StartClassGroup(TControl::StaticClass());
  ActivateClassGroup(TControl::StaticClass());
  RegisterIntegerConsts(CursorTypeInfo(), IdentToCursor, CursorToIdent);
  RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TCustomControl::StaticClass(),
                   TGraphicControl::StaticClass(), TSizeConstraints::StaticClass()});
}

void ControlsFinalize() {
  DragFinalize();
  FreeDeviceContexts();
  ModuleState& st = State();
  for (const String& name : st.registeredClasses) UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
  st.registeredClasses.clear();
  st.captureControl = nullptr;
  st.mouseControl = nullptr;
}
