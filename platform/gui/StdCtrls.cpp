#include "platform/gui/StdCtrls.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"

#include <algorithm>
#include <cwctype>

namespace {

const Char kListIndexError[] = L"List index out of bounds (%d)";
const Char kInsertLineError[] = L"Line index out of bounds";

void RecreateIfAllocated(TWinControl* control) {
  if (control->HandleAllocated()) control->RecreateWnd();
}

// The system's item order of sorted list and combo boxes: case-insensitive
// in the user's locale.
int CompareItems(const String& a, const String& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                        static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

// Items kept by a list or combo box while it has no window.
struct SavedItem {
  String Text;
  NativeInt Data = 0;
};

int SortedPosition(const std::vector<SavedItem>& items, const String& s) {
  int pos = 0;
  while (pos < static_cast<int>(items.size()) && CompareItems(items[pos].Text, s) <= 0) ++pos;
  return pos;
}

// The border a control with BorderStyle bsSingle gets: the sunken edge of
// the 3-D look, a plain line without it.
void ApplyBorderStyle(TCreateParams& params, TBorderStyle style, bool ctl3D) {
  if (style != bsSingle) return;
  if (ctl3D) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    params.Style |= WS_BORDER;
  }
}

TShiftState ShiftOfKeys(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  return s;
}

}  // namespace

bool IsAccel(Word key, const String& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return std::towupper(caption[i + 1]) == std::towupper(static_cast<wint_t>(key));
  }
  return false;
}

// ===========================================================================
// TCustomLabel
// ===========================================================================

BEGIN_CLASS(TCustomLabel, TGraphicControl, nullptr)
  b.Message<&TCustomLabel::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&TCustomLabel::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TCustomLabel::CMDialogChar>(CM_DIALOGCHAR);
END_CLASS

BEGIN_CLASS(TLabel, TCustomLabel, (ConstructWith<TLabel, TComponent>))
  using L = TLabel;
  PublishControl(b, {L"Align", L"Anchors", L"BiDiMode", L"Caption", L"Color", L"Constraints", L"DragCursor",
                     L"DragKind", L"DragMode", L"Enabled", L"Font", L"ParentBiDiMode", L"ParentColor",
                     L"ParentFont", L"ParentShowHint", L"PopupMenu", L"ShowHint", L"Visible"});
  DefaultValue(b.Prop(L"Alignment", &L::Alignment, &L::SetAlignment), taLeftJustify);
  DefaultValue(b.Prop(L"AutoSize", &L::AutoSize, &L::SetAutoSize), true);
  b.Prop(L"FocusControl", &L::FocusControl, &L::SetFocusControl);
  DefaultValue(b.Prop(L"Layout", &L::Layout, &L::SetLayout), tlTop);
  DefaultValue(b.Prop(L"ShowAccelChar", &L::ShowAccelChar, &L::SetShowAccelChar), true);
  DefaultValue(b.Prop(L"Transparent", &L::Transparent, &L::SetTransparent), false);
  DefaultValue(b.Prop(L"WordWrap", &L::WordWrap, &L::SetWordWrap), false);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver", L"OnEndDrag",
                     L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp",
                     L"OnStartDrag"});
END_CLASS

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ += TControlStyle{csOpaque, csReplicatable};
  SetBounds(left_, top_, 65, 17);
  TControl::SetAutoSize(true);
}

String TCustomLabel::GetLabelText() { return text_; }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  String text = GetLabelText();
  // An empty caption (or a lone accelerator marker) still measures one line high.
  if ((Flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == L"&"))) text += L' ';
  if (!showAccelChar_) Flags |= DT_NOPREFIX;
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  TCanvas* canvas = Canvas();
  canvas->SetFont(font_);
  RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
  if (!Enabled() && !(Flags & DT_CALCRECT)) {
    OffsetRect(&r, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    DrawTextW(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, Flags);
    OffsetRect(&r, -1, -1);
    canvas->Font()->SetColor(clBtnShadow);
  }
  DrawTextW(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, Flags);
  Rect = {r.left, r.top, r.right, r.bottom};
}

namespace {
UINT LabelFlags(TAlignment alignment, bool wordWrap) {
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return DT_EXPANDTABS | (wordWrap ? DT_WORDBREAK : 0) | align[alignment];
}
}  // namespace

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(color_);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(rect);
  }
  canvas->Brush()->SetStyle(bsClear);
  const UINT flags = LabelFlags(alignment_, wordWrap_);
  if (layout_ != tlTop) {
    TRect calc = rect;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int free = height_ - calc.Bottom;
    const int dy = layout_ == tlBottom ? free : free / 2;
    rect.Top += dy;
    rect.Bottom += dy;
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csLoading) || !AutoSize()) return;
  // Measuring needs a DC; without a parent window the screen's will do.
  TRect rect = ClientRect();
  HDC screen = GetDC(nullptr);
  if (auto* own = dynamic_cast<TControlCanvas*>(Canvas())) own->FreeHandle();
  Canvas()->SetHandle(screen);
  try {
    DoDrawText(rect, LabelFlags(taLeftJustify, wordWrap_) | DT_CALCRECT);
  } catch (...) {
    Canvas()->SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
    throw;
  }
  Canvas()->SetHandle(nullptr);
  ReleaseDC(nullptr, screen);
  int x = left_;
  // The side the alignment names stays where it is.
  TAlignment a = alignment_;
  if (UseRightToLeftReading()) a = a == taLeftJustify ? taRightJustify : a == taRightJustify ? taLeftJustify : a;
  if (a == taRightJustify)
    x += width_ - rect.Right;
  else if (a == taCenter)
    x += (width_ - rect.Right) / 2;
  SetBounds(x, top_, rect.Right, rect.Bottom);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (layout_ == value) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (Transparent() == value) return;
  if (value)
    controlStyle_ -= csOpaque;
  else
    controlStyle_ += csOpaque;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (showAccelChar_ == value) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  if (focusControl_ == value) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::SetAutoSize(bool value) {
  TGraphicControl::SetAutoSize(value);
  AdjustBounds();
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation operation) {
  TGraphicControl::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  DispatchInherited(TCustomLabel::StaticClass(), &Message);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TWMKey& Message) {
  if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(Message.CharCode, text_) &&
      focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    Message.Result = 1;
  }
}

// ===========================================================================
// TCustomEdit
// ===========================================================================

BEGIN_CLASS(TCustomEdit, TWinControl, nullptr)
  b.Message<&TCustomEdit::CNCommand>(CN_COMMAND);
  b.Message<&TCustomEdit::CMEnter>(CM_ENTER);
  b.Message<&TCustomEdit::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TCustomEdit::CMCtl3DChanged>(CM_CTL3DCHANGED);
  b.Message<&TCustomEdit::WMSetFont>(WM_SETFONT);
END_CLASS

namespace {
// The published properties shared by TEdit and TMemo.
template <class E>
void PublishEditSettings(TClassBuilder<E>& b) {
  DefaultValue(b.Prop(L"BorderStyle", &E::BorderStyle, &E::SetBorderStyle), bsSingle);
  DefaultValue(b.Prop(L"CharCase", &E::CharCase, &E::SetCharCase), ecNormal);
  DefaultValue(b.Prop(L"HideSelection", &E::HideSelection, &E::SetHideSelection), true);
  DefaultValue(b.Prop(L"MaxLength", &E::MaxLength, &E::SetMaxLength), 0);
  DefaultValue(b.Prop(L"OEMConvert", &E::OEMConvert, &E::SetOEMConvert), false);
  DefaultValue(b.Prop(L"ReadOnly", &E::ReadOnly, &E::SetReadOnly), false);
  DefaultValue(b.Prop(L"ImeMode", &E::ImeMode, &E::SetImeMode), imDontCare);
  b.Prop(L"ImeName", &E::ImeName, &E::SetImeName);
  b.Prop(L"TextHint", &E::TextHint, &E::SetTextHint);
  b.Field(L"OnChange", &E::OnChange);
}
}  // namespace

BEGIN_CLASS(TEdit, TCustomEdit, (ConstructWith<TEdit, TComponent>))
  using E = TEdit;
  PublishControl(b, {L"Align", L"Anchors", L"BiDiMode", L"Color", L"Constraints", L"Ctl3D", L"DragCursor",
                     L"DragKind", L"DragMode", L"Enabled", L"Font", L"ParentBiDiMode", L"ParentColor",
                     L"ParentCtl3D", L"ParentFont", L"ParentShowHint", L"PopupMenu", L"ShowHint", L"TabOrder",
                     L"TabStop", L"Text", L"Visible"});
  DefaultValue(b.Prop(L"AutoSelect", &E::AutoSelect, &E::SetAutoSelect), true);
  DefaultValue(b.Prop(L"AutoSize", &E::AutoSize, &E::SetAutoSize), true);
  PublishEditSettings(b);
  DefaultValue(b.Prop(L"PasswordChar", &E::PasswordChar, &E::SetPasswordChar), 0);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver", L"OnEndDrag",
                     L"OnEnter", L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown",
                     L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ += TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(left_, top_, 121, 25);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  TControl::SetAutoSize(true);
  UpdateHeight();
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  static const DWORD cases[] = {0, ES_UPPERCASE, ES_LOWERCASE};
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | cases[charCase_];
  if (!hideSelection_) Params.Style |= ES_NOHIDESEL;
  if (oemConvert_) Params.Style |= ES_OEMCONVERT;
  if (readOnly_) Params.Style |= ES_READONLY;
  if (passwordChar_) Params.Style |= ES_PASSWORD;
  ApplyBorderStyle(Params, borderStyle_, Ctl3D());
}

void TCustomEdit::CreateWnd() {
  creating_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
  HWND wnd = WindowHandle();
  SendMessageW(wnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  // ES_PASSWORD shows the system's mask character; ours replaces it.
  if (passwordChar_) SendMessageW(wnd, EM_SETPASSWORDCHAR, passwordChar_, 0);
  if (!textHint_.empty()) SendMessageW(wnd, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(textHint_.c_str()));
  SendMessageW(wnd, EM_SETMODIFY, modified_, 0);
  UpdateHeight();
}

void TCustomEdit::DestroyWnd() {
  if (HandleAllocated()) modified_ = SendMessageW(WindowHandle(), EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::Loaded() {
  TWinControl::Loaded();
  UpdateHeight();
}

void TCustomEdit::SetAutoSize(bool value) {
  TWinControl::SetAutoSize(value);
  UpdateHeight();
}

void TCustomEdit::UpdateHeight() {
  if (AutoSize() && borderStyle_ == bsSingle) {
    controlStyle_ += csFixedHeight;
    AdjustHeight();
  } else {
    controlStyle_ -= csFixedHeight;
  }
}

void TCustomEdit::AdjustHeight() {
  if (ComponentState().Contains(csLoading)) return;
  HDC dc = GetDC(nullptr);
  TEXTMETRICW metrics{};
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // The edit's own frame: a sunken edge and the inner margin above and below.
  const int frame = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
  SetBounds(left_, top_, width_, metrics.tmHeight + frame);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode == EN_CHANGE && !creating_) Change();
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (autoSelect_ && !controlState_.Contains(csLButtonDown) && HandleAllocated() &&
      !(GetWindowLongW(WindowHandle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  DispatchInherited(TCustomEdit::StaticClass(), &Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  DispatchInherited(TCustomEdit::StaticClass(), &Message);
  UpdateHeight();
}

void TCustomEdit::CMCtl3DChanged(TMessage& Message) {
  RecreateIfAllocated(this);
  DispatchInherited(TCustomEdit::StaticClass(), &Message);
  UpdateHeight();
}

void TCustomEdit::WMSetFont(TWMSetFont& Message) {
  DispatchInherited(TCustomEdit::StaticClass(), &Message);
  // A single-line edit would keep the font's own margins; the platform's
  // edits start with none.
  if (HandleAllocated() && !(GetWindowLongW(WindowHandle(), GWL_STYLE) & ES_MULTILINE))
    SendMessageW(WindowHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  UpdateHeight();
  RecreateIfAllocated(this);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (charCase_ == value) return;
  charCase_ = value;
  RecreateIfAllocated(this);
}

void TCustomEdit::SetHideSelection(bool value) {
  if (hideSelection_ == value) return;
  hideSelection_ = value;
  RecreateIfAllocated(this);
}

void TCustomEdit::SetMaxLength(int value) {
  if (value < 0) value = 0;
  maxLength_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (oemConvert_ == value) return;
  oemConvert_ = value;
  RecreateIfAllocated(this);
}

void TCustomEdit::SetPasswordChar(Char value) {
  if (passwordChar_ == value) return;
  // Switching the mask on or off changes ES_PASSWORD; another character only
  // needs the message.
  const bool restyle = (passwordChar_ == 0) != (value == 0);
  passwordChar_ = value;
  if (!HandleAllocated()) return;
  if (restyle)
    RecreateWnd();
  else {
    SendMessageW(WindowHandle(), EM_SETPASSWORDCHAR, value, 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetTextHint(const String& value) {
  if (textHint_ == value) return;
  textHint_ = value;
  if (HandleAllocated())
    SendMessageW(WindowHandle(), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(textHint_.c_str()));
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) return SendMessageW(WindowHandle(), EM_GETMODIFY, 0, 0) != 0;
  return modified_;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETMODIFY, value, 0);
}

bool TCustomEdit::CanUndo() {
  return HandleAllocated() && SendMessageW(WindowHandle(), EM_CANUNDO, 0, 0) != 0;
}

void TCustomEdit::Undo() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_UNDO, 0, 0);
}

void TCustomEdit::ClearUndo() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::Clear() { SetText(String()); }

void TCustomEdit::ClearSelection() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_CLEAR, 0, 0);
}

void TCustomEdit::CopyToClipboard() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_PASTE, 0, 0);
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETSEL, 0, -1);
}

int TCustomEdit::SelStart() {
  if (!HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) {
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETSEL, value, value);
}

int TCustomEdit::SelLength() {
  if (!HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  if (!HandleAllocated()) return;
  const int start = SelStart();
  SendMessageW(WindowHandle(), EM_SETSEL, start, start + value);
  SendMessageW(WindowHandle(), EM_SCROLLCARET, 0, 0);
}

String TCustomEdit::SelText() {
  if (!HandleAllocated()) return String();
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const String text = Text();
  if (start >= end || start >= text.size()) return String();
  return text.substr(start, std::min<size_t>(end, text.size()) - start);
}

void TCustomEdit::SetSelText(const String& value) {
  if (HandleAllocated())
    SendMessageW(WindowHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

int TCustomEdit::GetSelTextBuf(Char* Buffer, int BufSize) {
  if (!Buffer || BufSize <= 0) return 0;
  const String s = SelText();
  const int n = std::min(BufSize - 1, static_cast<int>(s.size()));
  s.copy(Buffer, static_cast<size_t>(n));
  Buffer[n] = 0;
  return n;
}

void TCustomEdit::SetSelTextBuf(const Char* Buffer) { SetSelText(Buffer ? String(Buffer) : String()); }

// ===========================================================================
// TMemoStrings, TCustomMemo
// ===========================================================================

// The memo's lines as a string list over its text: lines end with CR LF; a
// line break at the very end opens no further line.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

  String Get(int index) override {
    const String text = memo_->Text();
    size_t start, end;
    if (index < 0 || !Locate(text, index, start, end) || index >= CountIn(text)) Error(kListIndexError, index);
    return text.substr(start, end - start);
  }
  int Count() override { return CountIn(memo_->Text()); }

  void Put(int index, const String& s) override {
    const String text = memo_->Text();
    size_t start, end;
    if (index < 0 || index >= CountIn(text) || !Locate(text, index, start, end)) Error(kListIndexError, index);
    Replace(text, start, end, s);
  }

  void Insert(int index, const String& s) override {
    const String text = memo_->Text();
    if (index < 0 || index > CountIn(text)) Error(kInsertLineError, index);
    size_t start, end;
    if (Locate(text, index, start, end))
      Replace(text, start, start, s + L"\r\n");
    else
      Replace(text, text.size(), text.size(), L"\r\n" + s);
  }

  void Delete(int index) override {
    const String text = memo_->Text();
    size_t start, end;
    if (index < 0 || index >= CountIn(text) || !Locate(text, index, start, end)) Error(kListIndexError, index);
    if (end + 2 <= text.size())
      Replace(text, start, end + 2, String());  // the line and its break
    else
      Replace(text, start >= 2 ? start - 2 : start, end, String());  // the last line and the break before it
  }

  void Clear() override { memo_->SetText(String()); }

 protected:
  String GetTextStr() override { return memo_->Text(); }
  void SetTextStr(const String& text) override { memo_->SetText(text); }
  void SetUpdateState(bool updating) override {
    if (!memo_->HandleAllocated()) return;
    SendMessageW(memo_->WindowHandle(), WM_SETREDRAW, !updating, 0);
    if (!updating) memo_->Invalidate();
  }

 private:
  static int CountIn(const String& text) {
    if (text.empty()) return 0;
    int n = 1;
    for (size_t p = text.find(L"\r\n"); p != String::npos; p = text.find(L"\r\n", p + 2)) ++n;
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0) --n;
    return n;
  }
  // The offsets of line `index` (which may be the empty line after a final
  // break); false when the text has fewer lines.
  static bool Locate(const String& text, int index, size_t& start, size_t& end) {
    start = 0;
    for (int i = 0; i < index; ++i) {
      const size_t p = text.find(L"\r\n", start);
      if (p == String::npos) return false;
      start = p + 2;
    }
    end = text.find(L"\r\n", start);
    if (end == String::npos) end = text.size();
    return true;
  }
  // Replaces text[start, end) in the memo, through the window's undoable
  // selection replacement when there is a window.
  void Replace(const String& text, size_t start, size_t end, const String& with) {
    if (memo_->HandleAllocated()) {
      HWND wnd = memo_->WindowHandle();
      SendMessageW(wnd, EM_SETSEL, start, end);
      SendMessageW(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(with.c_str()));
    } else {
      String t = text;
      t.replace(start, end - start, with);
      memo_->SetText(t);
    }
  }

  TCustomMemo* memo_;
};

BEGIN_CLASS(TCustomMemo, TCustomEdit, nullptr)
  b.Message<&TCustomMemo::WMGetDlgCode>(WM_GETDLGCODE);
END_CLASS

BEGIN_CLASS(TMemo, TCustomMemo, (ConstructWith<TMemo, TComponent>))
  using M = TMemo;
  PublishControl(b, {L"Align", L"Anchors", L"BiDiMode", L"Color", L"Constraints", L"Ctl3D", L"DragCursor",
                     L"DragKind", L"DragMode", L"Enabled", L"Font", L"ParentBiDiMode", L"ParentColor",
                     L"ParentCtl3D", L"ParentFont", L"ParentShowHint", L"PopupMenu", L"ShowHint", L"TabOrder",
                     L"TabStop", L"Visible"});
  DefaultValue(b.Prop(L"Alignment", &M::Alignment, &M::SetAlignment), taLeftJustify);
  PublishEditSettings(b);
  b.Prop(L"Lines", &M::Lines, &M::SetLines);
  DefaultValue(b.Prop(L"ScrollBars", &M::ScrollBars, &M::SetScrollBars), ssNone);
  DefaultValue(b.Prop(L"WantReturns", &M::WantReturns, &M::SetWantReturns), true);
  DefaultValue(b.Prop(L"WantTabs", &M::WantTabs, &M::SetWantTabs), false);
  DefaultValue(b.Prop(L"WordWrap", &M::WordWrap, &M::SetWordWrap), true);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver", L"OnEndDrag",
                     L"OnEnter", L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown",
                     L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  lines_ = Make<TMemoStrings>(this);
  TControl::SetAutoSize(false);
  controlStyle_ -= csFixedHeight;
  SetBounds(left_, top_, 185, 89);
}

TCustomMemo::~TCustomMemo() { delete lines_; }

void TCustomMemo::CreateParams(TCreateParams& Params) {
  static const DWORD scrollBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  static const DWORD align[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~(ES_AUTOHSCROLL | ES_PASSWORD);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | scrollBars[scrollBars_] | align[alignment_];
  // Without word wrap (or with a horizontal bar) long lines scroll sideways.
  if (!wordWrap_ || scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) Params.Style |= ES_AUTOHSCROLL;
}

TStrings* TCustomMemo::Lines() const { return lines_; }

void TCustomMemo::SetLines(TStrings* value) { lines_->Assign(value); }

void TCustomMemo::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateIfAllocated(this);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (scrollBars_ == value) return;
  scrollBars_ = value;
  RecreateIfAllocated(this);
}

void TCustomMemo::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  RecreateIfAllocated(this);
}

TPoint TCustomMemo::CaretPos() {
  if (!HandleAllocated()) return {};
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const String text = Text();
  const size_t caret = std::min<size_t>(end, text.size());
  TPoint p;
  size_t lineStart = 0;
  for (size_t q = text.find(L"\r\n"); q != String::npos && q < caret; q = text.find(L"\r\n", q + 2)) {
    ++p.Y;
    lineStart = q + 2;
  }
  p.X = static_cast<int>(caret - lineStart);
  return p;
}

void TCustomMemo::SetCaretPos(TPoint value) {
  if (!HandleAllocated()) return;
  const String text = Text();
  size_t start = 0;
  for (int i = 0; i < value.Y; ++i) {
    const size_t q = text.find(L"\r\n", start);
    if (q == String::npos) break;
    start = q + 2;
  }
  size_t lineEnd = text.find(L"\r\n", start);
  if (lineEnd == String::npos) lineEnd = text.size();
  const size_t caret = std::min(start + static_cast<size_t>(std::max(0, value.X)), lineEnd);
  SendMessageW(WindowHandle(), EM_SETSEL, caret, caret);
  SendMessageW(WindowHandle(), EM_SCROLLCARET, 0, 0);
}

void TCustomMemo::KeyPress(Char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == L'\r' && !wantReturns_) Key = 0;
}

void TCustomMemo::WMGetDlgCode(TWMGetDlgCode& Message) {
  DispatchInherited(TCustomMemo::StaticClass(), &Message);
  if (wantTabs_)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~DLGC_WANTTAB;
  if (!wantReturns_) Message.Result &= ~DLGC_WANTALLKEYS;
}

// ===========================================================================
// TButtonControl
// ===========================================================================

IMPLEMENT_CLASS(TButtonControl, TWinControl, nullptr)

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (wordWrap_) Params.Style |= BS_MULTILINE;
}

void TButtonControl::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  RecreateIfAllocated(this);
}

void TButtonControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!ComponentState().Contains(csDesigning) && !Focused()) {
        clicksDisabled_ = true;
        ::SetFocus(WindowHandle());
        clicksDisabled_ = false;
        // Something took the focus elsewhere (a validating exit, say): the
        // press does not reach the button.
        if (!Focused()) return;
      }
      break;
    case CN_COMMAND:
      if (clicksDisabled_) return;
      break;
  }
  TWinControl::WndProc(Message);
}

TClass TButtonControl::GetActionLinkClass() { return TButtonActionLink::StaticClass(); }

void TButtonControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  TWinControl::ActionChange(Sender, CheckDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
    if (!CheckDefaults || !Checked()) {
      // The action already ran (or decided) the click: showing its checked
      // state must not click again.
      clicksDisabled_ = true;
      try {
        SetChecked(action->Checked());
      } catch (...) {
        clicksDisabled_ = false;
        throw;
      }
      clicksDisabled_ = false;
    }
  }
}

// ===========================================================================
// TCustomButton
// ===========================================================================

BEGIN_CLASS(TCustomButton, TButtonControl, nullptr)
  b.Message<&TCustomButton::CNCommand>(CN_COMMAND);
  b.Message<&TCustomButton::CMDialogKey>(CM_DIALOGKEY);
  b.Message<&TCustomButton::CMDialogChar>(CM_DIALOGCHAR);
  b.Message<&TCustomButton::CMFocusChanged>(CM_FOCUSCHANGED);
END_CLASS

BEGIN_CLASS(TButton, TCustomButton, (ConstructWith<TButton, TComponent>))
  using B = TButton;
  PublishControl(b, {L"Action", L"Align", L"Anchors", L"BiDiMode"});
  DefaultValue(b.Prop(L"Cancel", &B::Cancel, &B::SetCancel), false);
  PublishControl(b, {L"Caption", L"Constraints"});
  DefaultValue(b.Prop(L"Default", &B::Default, &B::SetDefault), false);
  PublishControl(b, {L"DragCursor", L"DragKind", L"DragMode", L"Enabled", L"Font"});
  DefaultValue(b.Prop(L"ModalResult", &B::ModalResult, &B::SetModalResult), 0);
  PublishControl(b, {L"ParentBiDiMode", L"ParentFont", L"ParentShowHint", L"PopupMenu", L"ShowHint",
                     L"TabOrder", L"TabStop", L"Visible"});
  DefaultValue(b.Prop(L"WordWrap", &B::WordWrap, &B::SetWordWrap), false);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnEnter",
                     L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown", L"OnMouseEnter",
                     L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TCustomButton::TCustomButton(TComponent* AOwner) : TButtonControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(left_, top_, 75, 25);
  SetTabStop(true);
}

void TCustomButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TCustomButton::CreateWnd() {
  TButtonControl::CreateWnd();
  active_ = default_;
}

void TCustomButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TCustomButton::SetDefault(bool value) {
  if (default_ == value) return;
  default_ = value;
  if (!HandleAllocated()) return;
  // Let every button of the form decide again which one draws as default.
  if (TCustomForm* form = GetParentForm(this)) {
    TWinControl* focused = form->FocusedControl();
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(focused));
  } else {
    SetButtonStyle(value);
  }
}

void TCustomButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  const DWORD style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  HWND wnd = WindowHandle();
  if ((GetWindowLongW(wnd, GWL_STYLE) & 0x0F) != style) SendMessageW(wnd, BM_SETSTYLE, style, TRUE);
}

void TCustomButton::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode == BN_CLICKED) Click();
}

void TCustomButton::CMDialogKey(TWMKey& Message) {
  const bool plain = (KeyDataToShiftState(Message.KeyData) * TShiftState{ssShift, ssAlt, ssCtrl}).Empty();
  if (((Message.CharCode == VK_RETURN && active_) || (Message.CharCode == VK_ESCAPE && cancel_)) && plain &&
      CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  DispatchInherited(TCustomButton::StaticClass(), &Message);
}

void TCustomButton::CMDialogChar(TWMKey& Message) {
  if (IsAccel(Message.CharCode, Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  DispatchInherited(TCustomButton::StaticClass(), &Message);
}

void TCustomButton::CMFocusChanged(TCMFocusChanged& Message) {
  if (dynamic_cast<TCustomButton*>(Message.Sender))
    active_ = Message.Sender == this;
  else
    active_ = default_;
  SetButtonStyle(active_);
  DispatchInherited(TCustomButton::StaticClass(), &Message);
}

// ===========================================================================
// TCustomCheckBox
// ===========================================================================

BEGIN_CLASS(TCustomCheckBox, TButtonControl, nullptr)
  b.Message<&TCustomCheckBox::CNCommand>(CN_COMMAND);
  b.Message<&TCustomCheckBox::CMDialogChar>(CM_DIALOGCHAR);
END_CLASS

BEGIN_CLASS(TCheckBox, TCustomCheckBox, (ConstructWith<TCheckBox, TComponent>))
  using C = TCheckBox;
  PublishControl(b, {L"Action"});
  DefaultValue(b.Prop(L"Alignment", &C::Alignment, &C::SetAlignment), taRightJustify);
  DefaultValue(b.Prop(L"AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed), false);
  PublishControl(b, {L"Anchors", L"BiDiMode", L"Caption"});
  b.Prop(L"Checked", &C::Checked, &C::SetChecked).Stored = [](TObject*) { return false; };
  PublishControl(b, {L"Color", L"Constraints", L"Ctl3D", L"DragCursor", L"DragKind", L"DragMode", L"Enabled",
                     L"Font", L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D", L"ParentFont",
                     L"ParentShowHint", L"PopupMenu", L"ShowHint"});
  DefaultValue(b.Prop(L"State", &C::State, &C::SetState), cbUnchecked);
  PublishControl(b, {L"TabOrder", L"TabStop", L"Visible"});
  DefaultValue(b.Prop(L"WordWrap", &C::WordWrap, &C::SetWordWrap), false);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnEnter",
                     L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown", L"OnMouseEnter",
                     L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(left_, top_, 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  // The three-state style without automatic toggling: the control decides
  // the next state itself (Toggle) so that AllowGrayed is honoured.
  Params.Style |= BS_3STATE;
  const bool textLeft = (alignment_ == taLeftJustify) != UseRightToLeftReading();
  if (textLeft) Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageW(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetAlignment(TLeftRight value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateIfAllocated(this);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (state_ == value) return;
  state_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(value), 0);
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(allowGrayed_ ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCustomCheckBox::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TWMKey& Message) {
  if (IsAccel(Message.CharCode, Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  DispatchInherited(TCustomCheckBox::StaticClass(), &Message);
}

// ===========================================================================
// TRadioButton
// ===========================================================================

BEGIN_CLASS(TRadioButton, TButtonControl, (ConstructWith<TRadioButton, TComponent>))
  using R = TRadioButton;
  b.Message<&TRadioButton::CNCommand>(CN_COMMAND);
  b.Message<&TRadioButton::CMDialogChar>(CM_DIALOGCHAR);
  b.Message<&TRadioButton::WMSetFocus>(WM_SETFOCUS);
  PublishControl(b, {L"Action"});
  DefaultValue(b.Prop(L"Alignment", &R::Alignment, &R::SetAlignment), taRightJustify);
  PublishControl(b, {L"Anchors", L"BiDiMode", L"Caption"});
  // An action that decides the checked state keeps it.
  DefaultValue(b.Prop(L"Checked", &R::Checked, &R::SetChecked), false).Stored = [](TObject* o) {
    auto* link = dynamic_cast<TButtonActionLink*>(static_cast<R*>(o)->ActionLink());
    return !link || !link->IsCheckedLinked();
  };
  PublishControl(b, {L"Color", L"Constraints", L"Ctl3D", L"DoubleBuffered", L"DragCursor", L"DragKind",
                     L"DragMode", L"Enabled", L"Font", L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D",
                     L"ParentFont", L"ParentShowHint", L"PopupMenu", L"ShowHint", L"TabOrder", L"TabStop",
                     L"Visible"});
  DefaultValue(b.Prop(L"WordWrap", &R::WordWrap, &R::SetWordWrap), false);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver", L"OnEndDrag",
                     L"OnEnter", L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown",
                     L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(left_, top_, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  // The plain style, not the automatic one: the control checks itself and
  // its siblings, so that code, clicks and keys all go one way.
  Params.Style |= BS_RADIOBUTTON;
  const bool textLeft = (alignment_ == taLeftJustify) != UseRightToLeftReading();
  if (textLeft) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageW(WindowHandle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetAlignment(TLeftRight value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateIfAllocated(this);
}

void TRadioButton::SetChecked(bool value) {
  if (checked_ == value) return;
  checked_ = value;
  // Tab reaches a group at its checked button.
  SetTabStop(value);
  if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value) return;
  TurnSiblingsOff();
  if (!ClicksDisabled()) Click();
}

void TRadioButton::TurnSiblingsOff() {
  TWinControl* parent = Parent();
  if (!parent) return;
  std::vector<TRadioButton*> siblings;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* radio = dynamic_cast<TRadioButton*>(parent->Controls(i)); radio && radio != this)
      siblings.push_back(radio);
  for (TRadioButton* radio : siblings) {
    // The action of an unchecked button that checks itself on execution
    // is unchecked with it.
    if (auto* action = dynamic_cast<TCustomAction*>(radio->Action()); action && action->AutoCheck())
      action->SetChecked(false);
    radio->SetChecked(false);
  }
}

void TRadioButton::CNCommand(TWMCommand& Message) {
  switch (Message.NotifyCode) {
    case BN_CLICKED:
      SetChecked(true);
      break;
    case BN_DOUBLECLICKED:
      DblClick();
      break;
  }
}

void TRadioButton::WMSetFocus(TWMSetFocus& Message) {
  DispatchInherited(TRadioButton::StaticClass(), &Message);
  if (checked_ || ClicksDisabled() || !HandleAllocated() || GetCapture() == WindowHandle()) return;
  // Only a window that looks like a radio button does so (a descendant may
  // draw its own).
  const DWORD type = static_cast<DWORD>(GetWindowLongW(WindowHandle(), GWL_STYLE)) & BS_TYPEMASK;
  if (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON) return;
  if (GetFocus() == WindowHandle()) SetChecked(true);
}

// The accelerator focuses the button; the focus checks it.
void TRadioButton::CMDialogChar(TWMKey& Message) {
  if (IsAccel(Message.CharCode, Caption()) && CanFocus()) {
    SetFocus();
    Message.Result = 1;
    return;
  }
  DispatchInherited(TRadioButton::StaticClass(), &Message);
}

// ===========================================================================
// TButtonActionLink
// ===========================================================================

IMPLEMENT_CLASS(TButtonActionLink, TWinControlActionLink, (ConstructWith<TButtonActionLink, TObject>))

TButtonActionLink::TButtonActionLink(TObject* AClient) : TWinControlActionLink(AClient) {}

void TButtonActionLink::AssignClient(TObject* AClient) {
  TWinControlActionLink::AssignClient(AClient);
  button_ = dynamic_cast<TButtonControl*>(AClient);
  if (!button_) throw EInvalidCast(L"Invalid class typecast");
}

bool TButtonActionLink::IsCheckedLinked() {
  auto* a = dynamic_cast<TCustomAction*>(Action());
  return TWinControlActionLink::IsCheckedLinked() && a && button_->Checked() == a->Checked();
}

void TButtonActionLink::SetChecked(bool value) {
  if (!IsCheckedLinked()) return;
  button_->SetClicksDisabled(true);
  try {
    button_->SetChecked(value);
  } catch (...) {
    button_->SetClicksDisabled(false);
    throw;
  }
  button_->SetClicksDisabled(false);
}

// ===========================================================================
// TCustomGroupBox
// ===========================================================================

BEGIN_CLASS(TCustomGroupBox, TCustomControl, nullptr)
  b.Message<&TCustomGroupBox::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&TCustomGroupBox::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TCustomGroupBox::CMDialogChar>(CM_DIALOGCHAR);
END_CLASS

BEGIN_CLASS(TGroupBox, TCustomGroupBox, (ConstructWith<TGroupBox, TComponent>))
  PublishControl(b, {L"Align", L"Anchors", L"BiDiMode", L"Caption", L"Color", L"Constraints", L"Ctl3D",
                     L"DoubleBuffered", L"DragCursor", L"DragKind", L"DragMode", L"Enabled", L"Font",
                     L"ParentBackground", L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D", L"ParentFont",
                     L"ParentShowHint", L"PopupMenu", L"ShowHint", L"TabOrder", L"TabStop", L"Visible",
                     L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver", L"OnEndDrag",
                     L"OnEnter", L"OnExit", L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove",
                     L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                csReplicatable};
  SetBounds(left_, top_, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  // The caption and frame are painted relative to the whole box.
  Params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  Rect.Top += tm.tmHeight;
  const int inset = Ctl3D() ? 2 : 1;
  Rect.Left += inset;
  Rect.Top += inset;
  Rect.Right -= inset;
  Rect.Bottom -= inset;
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(font_);
  canvas->Brush()->SetColor(color_);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(ClientRect());
  const int textHeight = canvas->TextHeight(L"0");
  TRect frame(0, textHeight / 2 - 1, width_, height_);
  if (Ctl3D()) {
    // A light frame one pixel down and right, then the shadow frame.
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect(TRect(frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom));
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(TRect(frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1));
  } else {
    canvas->Brush()->SetColor(clWindowFrame);
    canvas->FrameRect(frame);
  }
  const String caption = text_;
  if (caption.empty()) return;
  UINT flags = DT_SINGLELINE;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  RECT r{8, 0, 0, textHeight};
  if (IsRightToLeft()) {
    const int w = canvas->TextWidth(caption);
    r.left = width_ - w - 8;
  }
  HDC dc = canvas->Handle();
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags | DT_CALCRECT);
  canvas->Brush()->SetColor(color_);
  canvas->Brush()->SetStyle(bsSolid);
  dc = canvas->Handle();
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ColorToGDI(color_));
  if (!Enabled()) SetTextColor(dc, ColorToGDI(clGrayText));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
}

void TCustomGroupBox::CMTextChanged(TMessage&) {
  Invalidate();
  Realign();
}

void TCustomGroupBox::CMFontChanged(TMessage& Message) {
  DispatchInherited(TCustomGroupBox::StaticClass(), &Message);
  Realign();
}

void TCustomGroupBox::CMDialogChar(TWMKey& Message) {
  if (IsAccel(Message.CharCode, text_) && CanFocus()) {
    SelectFirst();
    Message.Result = 1;
    return;
  }
  DispatchInherited(TCustomGroupBox::StaticClass(), &Message);
}

namespace {

// One owner-drawn item of a list or combo box: the canvas draws on the item's
// DC in the box's font and brush (highlighted when selected); `drawItem` paints
// a real item, the background alone is filled for the empty one.
template <class F>
void DrawOwnerItem(const DRAWITEMSTRUCT& dis, TControlCanvas* canvas, TFont* font, TBrush* brush, F&& drawItem) {
  const TOwnerDrawState state = OwnerDrawStateFromFlags(dis.itemState);
  canvas->FreeHandle();
  canvas->SetHandle(dis.hDC);
  try {
    canvas->SetFont(font);
    canvas->SetBrush(brush);
    const int index = static_cast<int>(dis.itemID);
    if (index >= 0 && state.Contains(odSelected)) {
      canvas->Brush()->SetColor(clHighlight);
      canvas->Font()->SetColor(clHighlightText);
    }
    const TRect rect(dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom);
    if (index >= 0)
      drawItem(index, rect, state);
    else
      canvas->FillRect(rect);
    if (state.Contains(odFocused)) DrawFocusRect(dis.hDC, &dis.rcItem);
  } catch (...) {
    canvas->SetHandle(nullptr);
    throw;
  }
  canvas->SetHandle(nullptr);
}

}  // namespace

// ===========================================================================
// TListBoxStrings, TCustomListBox
// ===========================================================================

// The messages a list box and a combo box name their items' operations by.
struct TItemMessages {
  UINT GetCount, GetTextLen, GetText, AddString, InsertString, DeleteString, ResetContent, FindStringExact;
  const Char* NoSpace;  // the message of the out-of-space error
};
static_assert(LB_ERR == CB_ERR, "one error value serves both kinds of box");

// The items of a list or combo box: the window's strings and item data while
// it has a window, a list of its own otherwise (and while the window is
// recreated).
class TWindowItemStrings : public TStrings {
 public:
  TWindowItemStrings(TWinControl* box, const TItemMessages& msgs) : box_(box), msgs_(msgs) {}

  bool Windowed() const { return box_->HandleAllocated(); }
  HWND Wnd() const { return box_->WindowHandle(); }

  int Count() override {
    if (Windowed()) return static_cast<int>(SendMessageW(Wnd(), msgs_.GetCount, 0, 0));
    return static_cast<int>(saved_.size());
  }

  String Get(int index) override {
    if (!Windowed()) {
      CheckSaved(index);
      return saved_[index].Text;
    }
    const LRESULT len = SendMessageW(Wnd(), msgs_.GetTextLen, static_cast<WPARAM>(index), 0);
    if (len == LB_ERR) Error(kListIndexError, index);
    String s(static_cast<size_t>(len) + 1, L'\0');
    const LRESULT n = SendMessageW(Wnd(), msgs_.GetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
    return s;
  }

  int Add(const String& s) override {
    if (!Windowed()) {
      const int pos = SortedBox() ? SortedPosition(saved_, s) : static_cast<int>(saved_.size());
      saved_.insert(saved_.begin() + pos, SavedItem{s, 0});
      return pos;
    }
    const LRESULT r = SendMessageW(Wnd(), msgs_.AddString, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfResources(msgs_.NoSpace);
    return static_cast<int>(r);
  }

  void Insert(int index, const String& s) override {
    if (index < 0 || index > Count()) Error(kListIndexError, index);
    if (!Windowed()) {
      saved_.insert(saved_.begin() + index, SavedItem{s, 0});
      return;
    }
    const LRESULT r =
        SendMessageW(Wnd(), msgs_.InsertString, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfResources(msgs_.NoSpace);
  }

  void Delete(int index) override {
    if (!Windowed()) {
      CheckSaved(index);
      saved_.erase(saved_.begin() + index);
      return;
    }
    if (SendMessageW(Wnd(), msgs_.DeleteString, static_cast<WPARAM>(index), 0) == LB_ERR)
      Error(kListIndexError, index);
  }

  // A combo box's reset keeps the edit's text; the box's own Clear empties it too.
  void Clear() override {
    if (Windowed())
      SendMessageW(Wnd(), msgs_.ResetContent, 0, 0);
    else
      saved_.clear();
  }

  int IndexOf(const String& s) override {
    if (!Windowed()) return TStrings::IndexOf(s);
    // The system searches without case, as the platform's lists compare.
    const LRESULT r =
        SendMessageW(Wnd(), msgs_.FindStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
    return r == LB_ERR ? -1 : static_cast<int>(r);
  }

  // The window's items move into the list before the window goes, and back
  // when it is made again.
  void SaveFromWindow() {
    saved_.clear();
    const int n = Count();
    saved_.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) saved_.push_back({Get(i), WindowItemData(i)});
  }
  void RestoreToWindow() {
    std::vector<SavedItem> items;
    items.swap(saved_);
    for (const SavedItem& item : items) {
      const LRESULT r = SendMessageW(Wnd(), msgs_.AddString, 0, reinterpret_cast<LPARAM>(item.Text.c_str()));
      if (r >= 0) SetWindowItemData(static_cast<int>(r), item.Data);
    }
  }

 protected:
  virtual bool SortedBox() const = 0;
  virtual NativeInt WindowItemData(int index) = 0;
  virtual void SetWindowItemData(int index, NativeInt data) = 0;

  void SetUpdateState(bool updating) override {
    if (!Windowed()) return;
    SendMessageW(Wnd(), WM_SETREDRAW, !updating, 0);
    if (!updating) box_->Invalidate();
  }

  void CheckSaved(int index) {
    if (index < 0 || index >= static_cast<int>(saved_.size())) Error(kListIndexError, index);
  }

  std::vector<SavedItem> saved_;

 private:
  TWinControl* box_;
  const TItemMessages& msgs_;
};

class TListBoxStrings : public TWindowItemStrings {
 public:
  explicit TListBoxStrings(TCustomListBox* listBox) : TWindowItemStrings(listBox, kMessages), listBox_(listBox) {}

  TObject* GetObject(int index) override {
    if (!Windowed()) {
      CheckSaved(index);
      return reinterpret_cast<TObject*>(saved_[index].Data);
    }
    if (index < 0 || index >= Count()) Error(kListIndexError, index);
    return reinterpret_cast<TObject*>(listBox_->GetItemData(index));
  }

  void PutObject(int index, TObject* obj) override {
    if (!Windowed()) {
      CheckSaved(index);
      saved_[index].Data = reinterpret_cast<NativeInt>(obj);
      return;
    }
    if (index < 0 || index >= Count()) Error(kListIndexError, index);
    listBox_->SetItemData(index, reinterpret_cast<NativeInt>(obj));
  }

  void Put(int index, const String& s) override {
    // The item keeps its object and the list its selection.
    const int selected = listBox_->ItemIndex();
    TObject* obj = GetObject(index);
    Delete(index);
    InsertObject(index, s, obj);
    listBox_->SetItemIndex(selected);
  }

  // The kept items take the order a sorted window would give them.
  void SortSaved() {
    std::stable_sort(saved_.begin(), saved_.end(),
                     [](const SavedItem& a, const SavedItem& b) { return CompareItems(a.Text, b.Text) < 0; });
  }

 protected:
  bool SortedBox() const override { return listBox_->sorted_; }
  NativeInt WindowItemData(int index) override { return listBox_->GetItemData(index); }
  void SetWindowItemData(int index, NativeInt data) override { listBox_->SetItemData(index, data); }

 private:
  static constexpr TItemMessages kMessages{LB_GETCOUNT,     LB_GETTEXTLEN,    LB_GETTEXT,
                                           LB_ADDSTRING,    LB_INSERTSTRING,  LB_DELETESTRING,
                                           LB_RESETCONTENT, LB_FINDSTRINGEXACT,
                                           L"Insufficient space to add the list box item"};
  TCustomListBox* listBox_;
};

BEGIN_CLASS(TCustomListBox, TWinControl, nullptr)
  b.Message<&TCustomListBox::CNCommand>(CN_COMMAND);
  b.Message<&TCustomListBox::CNDrawItem>(CN_DRAWITEM);
  b.Message<&TCustomListBox::CNMeasureItem>(CN_MEASUREITEM);
  b.Message<&TCustomListBox::WMLButtonDown>(WM_LBUTTONDOWN);
  b.Message<&TCustomListBox::CMCtl3DChanged>(CM_CTL3DCHANGED);
END_CLASS

BEGIN_CLASS(TListBox, TCustomListBox, (ConstructWith<TListBox, TComponent>))
  using L = TListBox;
  PublishControl(b, {L"Align", L"Anchors"});
  DefaultValue(b.Prop(L"AutoComplete", &L::AutoComplete, &L::SetAutoComplete), true);
  DefaultValue(b.Prop(L"AutoCompleteDelay", &L::AutoCompleteDelay, &L::SetAutoCompleteDelay), 500);
  PublishControl(b, {L"BiDiMode"});
  DefaultValue(b.Prop(L"BorderStyle", &L::BorderStyle, &L::SetBorderStyle), bsSingle);
  PublishControl(b, {L"Color"});
  DefaultValue(b.Prop(L"Columns", &L::Columns, &L::SetColumns), 0);
  PublishControl(b, {L"Constraints", L"Ctl3D", L"DoubleBuffered", L"DragCursor", L"DragKind", L"DragMode",
                     L"Enabled"});
  DefaultValue(b.Prop(L"ExtendedSelect", &L::ExtendedSelect, &L::SetExtendedSelect), true);
  PublishControl(b, {L"Font"});
  DefaultValue(b.Prop(L"IntegralHeight", &L::IntegralHeight, &L::SetIntegralHeight), false);
  DefaultValue(b.Prop(L"ItemHeight", &L::ItemHeight, &L::SetItemHeight), 16);
  b.Prop(L"Items", &L::Items, &L::SetItems);
  DefaultValue(b.Prop(L"MultiSelect", &L::MultiSelect, &L::SetMultiSelect), false);
  PublishControl(b, {L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D", L"ParentFont", L"ParentShowHint",
                     L"PopupMenu"});
  DefaultValue(b.Prop(L"ScrollWidth", &L::ScrollWidth, &L::SetScrollWidth), 0);
  PublishControl(b, {L"ShowHint"});
  DefaultValue(b.Prop(L"Sorted", &L::Sorted, &L::SetSorted), false);
  DefaultValue(b.Prop(L"Style", &L::Style, &L::SetStyle), lbStandard);
  PublishControl(b, {L"TabOrder", L"TabStop"});
  DefaultValue(b.Prop(L"TabWidth", &L::TabWidth, &L::SetTabWidth), 0);
  PublishControl(b, {L"Visible", L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver"});
  b.Field(L"OnDrawItem", &L::OnDrawItem);
  PublishControl(b, {L"OnEndDrag", L"OnEnter", L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp"});
  b.Field(L"OnMeasureItem", &L::OnMeasureItem);
  PublishControl(b, {L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp",
                     L"OnStartDrag"});
END_CLASS

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
  SetBounds(left_, top_, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  items_ = Make<TListBoxStrings>(this);
  auto* canvas = Make<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TCustomListBox::~TCustomListBox() {
  delete items_;
  TObject::Free(canvas_);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  static const DWORD styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"LISTBOX");
  Params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | styles[style_];
  if (sorted_) Params.Style |= LBS_SORT;
  if (multiSelect_) Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (columns_ > 0) Params.Style |= LBS_MULTICOLUMN;
  if (!integralHeight_) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (tabWidth_ != 0) Params.Style |= LBS_USETABSTOPS;
  ApplyBorderStyle(Params, borderStyle_, Ctl3D());
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = WindowHandle();
  // A fixed owner-drawn list asked its item height while it was made;
  // make sure the value is ours.
  if (style_ == lbOwnerDrawFixed) SendMessageW(wnd, LB_SETITEMHEIGHT, 0, itemHeight_);
  if (tabWidth_ != 0) {
    int tab = tabWidth_;
    SendMessageW(wnd, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
  }
  ApplyColumnWidth();
  if (scrollWidth_ > 0) SendMessageW(wnd, LB_SETHORIZONTALEXTENT, scrollWidth_, 0);
  items_->RestoreToWindow();
  if (multiSelect_) {
    for (size_t i = 0; i < saveSelected_.size(); ++i)
      if (saveSelected_[i]) SendMessageW(wnd, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    if (saveItemIndex_ >= 0) SendMessageW(wnd, LB_SETCARETINDEX, static_cast<WPARAM>(saveItemIndex_), FALSE);
  } else if (saveItemIndex_ >= 0) {
    SendMessageW(wnd, LB_SETCURSEL, static_cast<WPARAM>(saveItemIndex_), 0);
  }
  if (saveTopIndex_ > 0) SendMessageW(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(saveTopIndex_), 0);
  saveSelected_.clear();
  saveItemIndex_ = -1;
  saveTopIndex_ = 0;
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated()) {
    HWND wnd = WindowHandle();
    saveItemIndex_ = ItemIndex();
    saveTopIndex_ = static_cast<int>(SendMessageW(wnd, LB_GETTOPINDEX, 0, 0));
    saveSelected_.clear();
    if (multiSelect_) {
      const int n = Count();
      saveSelected_.resize(static_cast<size_t>(n));
      for (int i = 0; i < n; ++i) saveSelected_[i] = SendMessageW(wnd, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    }
    items_->SaveFromWindow();
  }
  TWinControl::DestroyWnd();
}

void TCustomListBox::WndProc(TMessage& Message) {
  // With automatic dragging the list still selects the item under the mouse
  // first (WMLButtonDown), instead of the drag taking the click at once.
  if (!ComponentState().Contains(csDesigning) &&
      (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && !Dragging() &&
      DragMode() == dmAutomatic) {
    if (IsControlMouseMsg(reinterpret_cast<TWMMouse&>(Message))) return;
    controlState_ += csLButtonDown;
    Dispatch(&Message);
    return;
  }
  TWinControl::WndProc(Message);
}

void TCustomListBox::WMLButtonDown(TWMMouse& Message) {
  const TShiftState shift = ShiftOfKeys(Message.Keys);
  const bool automatic = DragMode() == dmAutomatic && !ComponentState().Contains(csDesigning);
  if (automatic && multiSelect_ && (!shift.Contains(ssShift) || shift.Contains(ssCtrl))) {
    // Dragging a selected item of a multi-select list keeps the selection.
    const int item = ItemAtPos({Message.XPos, Message.YPos}, true);
    if (item >= 0 && GetSelected(item)) {
      BeginDrag(false);
      return;
    }
  }
  DispatchInherited(TCustomListBox::StaticClass(), &Message);
  if (automatic && !(multiSelect_ && (shift.Contains(ssCtrl) || shift.Contains(ssShift)))) BeginDrag(false);
}

TStrings* TCustomListBox::Items() const { return items_; }

void TCustomListBox::SetItems(TStrings* value) { items_->Assign(value); }

int TCustomListBox::Count() { return items_->Count(); }

void TCustomListBox::Clear() { items_->Clear(); }

void TCustomListBox::DeleteSelected() {
  if (multiSelect_) {
    for (int i = Count() - 1; i >= 0; --i)
      if (GetSelected(i)) items_->Delete(i);
  } else {
    const int i = ItemIndex();
    if (i >= 0) items_->Delete(i);
  }
}

NativeInt TCustomListBox::GetItemData(int Index) {
  if (!HandleAllocated()) return reinterpret_cast<NativeInt>(items_->GetObject(Index));
  return static_cast<NativeInt>(SendMessageW(WindowHandle(), LB_GETITEMDATA, static_cast<WPARAM>(Index), 0));
}

void TCustomListBox::SetItemData(int Index, NativeInt AData) {
  if (!HandleAllocated()) {
    items_->PutObject(Index, reinterpret_cast<TObject*>(AData));
    return;
  }
  SendMessageW(WindowHandle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), static_cast<LPARAM>(AData));
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return saveItemIndex_;
  // A multi-select list's caret sits on item 0 even when the list is empty.
  if (Count() == 0) return -1;
  const UINT msg = multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL;
  const LRESULT r = SendMessageW(WindowHandle(), msg, 0, 0);
  return r == LB_ERR ? -1 : static_cast<int>(r);
}

void TCustomListBox::SetItemIndex(int value) {
  if (!HandleAllocated()) {
    saveItemIndex_ = value;
    return;
  }
  if (ItemIndex() == value) return;
  if (multiSelect_)
    SendMessageW(WindowHandle(), LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
  else
    SendMessageW(WindowHandle(), LB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

bool TCustomListBox::GetSelected(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError(Format(kListIndexError, {Index}));
  if (!HandleAllocated()) {
    if (multiSelect_) return Index < static_cast<int>(saveSelected_.size()) && saveSelected_[Index];
    return saveItemIndex_ == Index;
  }
  return SendMessageW(WindowHandle(), LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TCustomListBox::SetSelected(int Index, bool value) {
  if (Index < 0 || Index >= Count()) throw EListError(Format(kListIndexError, {Index}));
  if (!HandleAllocated()) {
    if (multiSelect_) {
      if (saveSelected_.size() <= static_cast<size_t>(Index)) saveSelected_.resize(static_cast<size_t>(Index) + 1);
      saveSelected_[Index] = value;
    } else if (value) {
      saveItemIndex_ = Index;
    } else if (saveItemIndex_ == Index) {
      saveItemIndex_ = -1;
    }
    return;
  }
  if (multiSelect_) {
    SendMessageW(WindowHandle(), LB_SETSEL, value, Index);
  } else if (value) {
    SetItemIndex(Index);
  } else if (ItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() {
  if (!multiSelect_) return -1;
  if (!HandleAllocated()) return static_cast<int>(std::count(saveSelected_.begin(), saveSelected_.end(), true));
  return static_cast<int>(SendMessageW(WindowHandle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (!multiSelect_) {
    SetItemIndex(-1);
    return;
  }
  if (!HandleAllocated()) {
    saveSelected_.clear();
    return;
  }
  if (Count() > 0) SendMessageW(WindowHandle(), LB_SETSEL, FALSE, -1);
}

void TCustomListBox::SelectAll() {
  if (!multiSelect_ || Count() == 0) return;
  if (!HandleAllocated()) {
    saveSelected_.assign(static_cast<size_t>(Count()), true);
    return;
  }
  SendMessageW(WindowHandle(), LB_SETSEL, TRUE, -1);
}

int TCustomListBox::TopIndex() {
  if (!HandleAllocated()) return saveTopIndex_;
  return static_cast<int>(SendMessageW(WindowHandle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int value) {
  if (!HandleAllocated()) {
    saveTopIndex_ = value;
    return;
  }
  if (TopIndex() != value) SendMessageW(WindowHandle(), LB_SETTOPINDEX, static_cast<WPARAM>(value), 0);
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
  if (HandleAllocated() && ClientRect().Contains(Pos)) {
    const int n = Count();
    for (int i = std::max(0, TopIndex()); i < n; ++i) {
      RECT r{};
      if (SendMessageW(WindowHandle(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        break;
      if (TRect(r.left, r.top, r.right, r.bottom).Contains(Pos)) return i;
      // Items further down lie below the client area (single column).
      if (columns_ == 0 && r.top > Pos.Y) break;
    }
    if (!Existing) return n;
  }
  return -1;
}

TRect TCustomListBox::ItemRect(int Index) {
  if (!HandleAllocated()) return TRect();
  const int n = Count();
  RECT r{};
  if (Index >= 0 && (Index == 0 || Index < n)) {
    SendMessageW(WindowHandle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  } else if (Index == n && n > 0) {
    SendMessageW(WindowHandle(), LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&r));
    OffsetRect(&r, 0, r.bottom - r.top);
  }
  return {r.left, r.top, r.right, r.bottom};
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (style_ == value) return;
  style_ = value;
  RecreateIfAllocated(this);
}

int TCustomListBox::ItemHeight() {
  if (HandleAllocated() && style_ == lbStandard) {
    RECT r{};
    SendMessageW(WindowHandle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    if (r.bottom > r.top) return r.bottom - r.top;
    return static_cast<int>(SendMessageW(WindowHandle(), LB_GETITEMHEIGHT, 0, 0));
  }
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || itemHeight_ == value) return;
  itemHeight_ = value;
  RecreateIfAllocated(this);
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (multiSelect_ == value) return;
  multiSelect_ = value;
  RecreateIfAllocated(this);
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (extendedSelect_ == value) return;
  extendedSelect_ = value;
  RecreateIfAllocated(this);
}

void TCustomListBox::SetSorted(bool value) {
  if (sorted_ == value) return;
  sorted_ = value;
  if (HandleAllocated())
    RecreateWnd();
  else if (value)
    items_->SortSaved();
}

void TCustomListBox::SetColumns(int value) {
  if (value < 0) value = 0;
  if (columns_ == value) return;
  // Switching between one and several columns changes the window's style.
  const bool restyle = (columns_ == 0) != (value == 0);
  columns_ = value;
  if (restyle)
    RecreateIfAllocated(this);
  else
    ApplyColumnWidth();
}

void TCustomListBox::ApplyColumnWidth() {
  if (!HandleAllocated() || columns_ <= 0) return;
  const int width = (width_ + columns_ - 3) / columns_;
  SendMessageW(WindowHandle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, width)), 0);
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (integralHeight_ == value) return;
  integralHeight_ = value;
  RecreateIfAllocated(this);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateIfAllocated(this);
}

void TCustomListBox::SetTabWidth(int value) {
  if (value < 0) value = 0;
  if (tabWidth_ == value) return;
  tabWidth_ = value;
  RecreateIfAllocated(this);
}

int TCustomListBox::ScrollWidth() {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(WindowHandle(), LB_GETHORIZONTALEXTENT, 0, 0));
  return scrollWidth_;
}

void TCustomListBox::SetScrollWidth(int value) {
  if (value < 0) value = 0;
  scrollWidth_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(value), 0);
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index >= Count()) return;
  const String text = items_->Get(Index);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING | DT_RIGHT;
  RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
  if (flags & DT_RIGHT)
    r.right -= 2;
  else
    r.left += 2;
  DrawTextW(canvas_->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNCommand(TWMCommand& Message) {
  switch (Message.NotifyCode) {
    case LBN_SELCHANGE:
      Click();
      break;
    case LBN_DBLCLK:
      DblClick();
      break;
  }
}

void TCustomListBox::CNDrawItem(TWMDrawItem& Message) {
  DrawOwnerItem(*Message.DrawItemStruct, static_cast<TControlCanvas*>(canvas_), font_, Brush(),
                [this](int index, const TRect& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
  Message.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TWMMeasureItem& Message) {
  MEASUREITEMSTRUCT& mis = *Message.MeasureItemStruct;
  int height = itemHeight_;
  if (style_ == lbOwnerDrawVariable) MeasureItem(static_cast<int>(mis.itemID), height);
  mis.itemHeight = static_cast<UINT>(std::max(1, height));
  Message.Result = TRUE;
}

void TCustomListBox::CMCtl3DChanged(TMessage& Message) {
  if (borderStyle_ == bsSingle) RecreateIfAllocated(this);
  DispatchInherited(TCustomListBox::StaticClass(), &Message);
}

void TCustomListBox::KeyPress(Char& Key) {
  TWinControl::KeyPress(Key);
  if (!autoComplete_ || Key == 0) return;
  const DWORD now = GetTickCount();
  if (now - lastKeyTime_ >= static_cast<DWORD>(autoCompleteDelay_)) filter_.clear();
  lastKeyTime_ = now;
  if (Key == VK_BACK) {
    if (!filter_.empty()) filter_.pop_back();
  } else if (Key >= L' ') {
    filter_ += Key;
  } else {
    return;  // Enter, Esc and other control characters stay the list's
  }
  if (filter_.empty()) {
    SetItemIndex(0);
    Click();
    return;
  }
  if (!HandleAllocated()) return;
  const LRESULT found =
      SendMessageW(WindowHandle(), LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(filter_.c_str()));
  if (found != LB_ERR) {
    if (multiSelect_) {
      ClearSelection();
      SendMessageW(WindowHandle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(found, found));
    }
    SetItemIndex(static_cast<int>(found));
    Click();
  }
  if (Key != VK_BACK) Key = 0;
}

void TCustomListBox::Loaded() {
  TWinControl::Loaded();
  ApplyColumnWidth();
}

// ===========================================================================
// TComboBoxStrings, TCustomComboBox
// ===========================================================================

class TComboBoxStrings : public TWindowItemStrings {
 public:
  explicit TComboBoxStrings(TCustomComboBox* combo) : TWindowItemStrings(combo, kMessages), combo_(combo) {}

  TObject* GetObject(int index) override {
    if (!Windowed()) {
      CheckSaved(index);
      return reinterpret_cast<TObject*>(saved_[index].Data);
    }
    const LRESULT r = SendMessageW(Wnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (r == CB_ERR && (index < 0 || index >= Count())) Error(kListIndexError, index);
    return reinterpret_cast<TObject*>(r);
  }

  void PutObject(int index, TObject* obj) override {
    if (!Windowed()) {
      CheckSaved(index);
      saved_[index].Data = reinterpret_cast<NativeInt>(obj);
      return;
    }
    if (SendMessageW(Wnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(obj)) == CB_ERR)
      Error(kListIndexError, index);
  }

 protected:
  bool SortedBox() const override { return combo_->sorted_; }
  NativeInt WindowItemData(int index) override {
    return static_cast<NativeInt>(SendMessageW(Wnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  }
  void SetWindowItemData(int index, NativeInt data) override {
    SendMessageW(Wnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
  }

 private:
  static constexpr TItemMessages kMessages{CB_GETCOUNT,     CB_GETLBTEXTLEN,  CB_GETLBTEXT,
                                           CB_ADDSTRING,    CB_INSERTSTRING,  CB_DELETESTRING,
                                           CB_RESETCONTENT, CB_FINDSTRINGEXACT,
                                           L"Insufficient space to add the combo box item"};
  TCustomComboBox* combo_;
};

namespace {
const Char kComboProp[] = L"PlatformComboBoxEdit";
}

BEGIN_CLASS(TCustomComboBox, TWinControl, nullptr)
  b.Message<&TCustomComboBox::CNCommand>(CN_COMMAND);
  b.Message<&TCustomComboBox::CNDrawItem>(CN_DRAWITEM);
  b.Message<&TCustomComboBox::CNMeasureItem>(CN_MEASUREITEM);
END_CLASS

BEGIN_CLASS(TComboBox, TCustomComboBox, (ConstructWith<TComboBox, TComponent>))
  using C = TComboBox;
  PublishControl(b, {L"Align", L"Anchors", L"BiDiMode"});
  DefaultValue(b.Prop(L"CharCase", &C::CharCase, &C::SetCharCase), ecNormal);
  PublishControl(b, {L"Color", L"Constraints", L"Ctl3D", L"DoubleBuffered", L"DragCursor", L"DragKind",
                     L"DragMode"});
  DefaultValue(b.Prop(L"DropDownCount", &C::DropDownCount, &C::SetDropDownCount), 8);
  PublishControl(b, {L"Enabled", L"Font"});
  DefaultValue(b.Prop(L"ItemHeight", &C::ItemHeight, &C::SetItemHeight), 16);
  b.Prop(L"ItemIndex", &C::ItemIndex, &C::SetItemIndex).Stored = [](TObject*) { return false; };
  DefaultValue(b.Prop(L"MaxLength", &C::MaxLength, &C::SetMaxLength), 0);
  PublishControl(b, {L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D", L"ParentFont", L"ParentShowHint",
                     L"PopupMenu", L"ShowHint"});
  DefaultValue(b.Prop(L"Sorted", &C::Sorted, &C::SetSorted), false);
  DefaultValue(b.Prop(L"Style", &C::Style, &C::SetStyle), csDropDown);
  PublishControl(b, {L"TabOrder", L"TabStop", L"Text", L"Visible"});
  b.Field(L"OnChange", &C::OnChange);
  PublishControl(b, {L"OnClick"});
  b.Field(L"OnCloseUp", &C::OnCloseUp);
  PublishControl(b, {L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver"});
  b.Field(L"OnDrawItem", &C::OnDrawItem);
  b.Field(L"OnDropDown", &C::OnDropDown);
  PublishControl(b, {L"OnEndDrag", L"OnEnter", L"OnExit", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp"});
  b.Field(L"OnMeasureItem", &C::OnMeasureItem);
  PublishControl(b, {L"OnMouseEnter", L"OnMouseLeave"});
  b.Field(L"OnSelect", &C::OnSelect);
  PublishControl(b, {L"OnStartDrag"});
  // Items last: ItemIndex and Text refer to them, and the stream sets the
  // items before the ItemIndex that a designer writes after them.
  b.Prop(L"Items", &C::Items, &C::SetItems);
END_CLASS

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(left_, top_, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  items_ = Make<TComboBoxStrings>(this);
  auto* canvas = Make<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TCustomComboBox::~TCustomComboBox() {
  delete items_;
  TObject::Free(canvas_);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                 CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  static const DWORD cases[] = {0, CBS_UPPERCASE, CBS_LOWERCASE};
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"COMBOBOX");
  Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | styles[style_] | cases[charCase_];
  if (sorted_) Params.Style |= CBS_SORT;
}

void TCustomComboBox::CreateWnd() {
  // The edit does not take the window's caption: give it the kept text.
  const String text = text_;
  TWinControl::CreateWnd();
  HWND wnd = WindowHandle();
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(wnd, &info)) {
    listHandle_ = info.hwndList;
    if (info.hwndItem && info.hwndItem != wnd) editHandle_ = info.hwndItem;
  }
  if (editHandle_) {
    SetPropW(editHandle_, kComboProp, this);
    editDefProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(editHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::EditProc)));
  }
  SendMessageW(wnd, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  SendMessageW(wnd, CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
  if (IsOwnerDraw()) {
    SendMessageW(wnd, CB_SETITEMHEIGHT, 0, itemHeight_);
  }
  items_->RestoreToWindow();
  if (saveItemIndex_ >= 0) {
    SendMessageW(wnd, CB_SETCURSEL, static_cast<WPARAM>(saveItemIndex_), 0);
  } else if (!text.empty()) {
    if (editHandle_) {
      SetWindowTextW(editHandle_, text.c_str());
    } else {
      const LRESULT i = SendMessageW(wnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
      if (i != CB_ERR) SendMessageW(wnd, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
  }
  saveItemIndex_ = -1;
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) {
    saveItemIndex_ = ItemIndex();
    items_->SaveFromWindow();
  }
  if (editHandle_) {
    if (IsWindow(editHandle_)) {
      SetWindowLongPtrW(editHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editDefProc_));
      RemovePropW(editHandle_, kComboProp);
    }
    editHandle_ = nullptr;
    editDefProc_ = nullptr;
  }
  listHandle_ = nullptr;
  TWinControl::DestroyWnd();
}

LRESULT CALLBACK TCustomComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* combo = static_cast<TCustomComboBox*>(GetPropW(wnd, kComboProp));
  if (!combo || combo->editHandle_ != wnd) return DefWindowProcW(wnd, msg, wParam, lParam);
  try {
    return combo->EditMessage(msg, wParam, lParam);
  } catch (...) {
    HandleCallbackException(combo);
    return 0;
  }
}

// The edit part's keys go through the combo box's key events first, as
// keys of the combo box itself.
LRESULT TCustomComboBox::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC def = editDefProc_;
  HWND edit = editHandle_;
  TMessage m{msg, wParam, lParam, 0};
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(reinterpret_cast<TWMKey&>(m))) return 0;
      wParam = reinterpret_cast<TWMKey&>(m).CharCode;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(reinterpret_cast<TWMKey&>(m))) return 0;
      wParam = reinterpret_cast<TWMKey&>(m).CharCode;
      break;
    case WM_CHAR:
      if (DoKeyPress(reinterpret_cast<TWMKey&>(m))) return 0;
      wParam = reinterpret_cast<TWMKey&>(m).CharCode;
      if (wParam == 0) return 0;
      break;
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this))
        if (!form->SetFocusedControl(this)) return 0;
      break;
    case WM_CONTEXTMENU:
      if (PopupMenu()) {
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(WindowHandle()), lParam);
        return 0;
      }
      break;
  }
  return CallWindowProcW(def, edit, msg, wParam, lParam);
}

void TCustomComboBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      // The edit and list parts are the combo box's own children: they take
      // its font colour and brush.
      auto dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, ColorToGDI(font_->Color()));
      SetBkColor(dc, ColorToGDI(Brush()->Color()));
      Message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
      return;
    }
    case WM_SETTEXT:
      // A drop-down list shows one of its items: the text selects it.
      if (HandleAllocated() && !editHandle_) {
        const auto* text = reinterpret_cast<const Char*>(Message.LParam);
        const LRESULT i = text ? SendMessageW(WindowHandle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Message.LParam)
                               : CB_ERR;
        SendMessageW(WindowHandle(), CB_SETCURSEL, i == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(i), 0);
        Message.Result = TRUE;
        return;
      }
      break;
  }
  TWinControl::WndProc(Message);
}

TStrings* TCustomComboBox::Items() const { return items_; }

void TCustomComboBox::SetItems(TStrings* value) { items_->Assign(value); }

void TCustomComboBox::Clear() {
  items_->Clear();
  SetText(String());
}

int TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return saveItemIndex_;
  const LRESULT r = SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0);
  return r == CB_ERR ? -1 : static_cast<int>(r);
}

void TCustomComboBox::SetItemIndex(int value) {
  if (!HandleAllocated()) {
    saveItemIndex_ = value;
    return;
  }
  if (ItemIndex() != value) SendMessageW(WindowHandle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (style_ == value) return;
  style_ = value;
  if (value == csSimple)
    controlStyle_ -= csFixedHeight;
  else
    controlStyle_ += csFixedHeight;
  RecreateIfAllocated(this);
}

void TCustomComboBox::SetDropDownCount(int value) {
  dropDownCount_ = std::max(1, value);
  // Common controls 6 size the list by this count, the older ones by the
  // window height given when it drops (AdjustDropDown).
  if (HandleAllocated()) SendMessageW(WindowHandle(), CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageW(WindowHandle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (!HandleAllocated()) return;
  SendMessageW(WindowHandle(), CB_SHOWDROPDOWN, value, 0);
}

void TCustomComboBox::SetSorted(bool value) {
  if (sorted_ == value) return;
  sorted_ = value;
  RecreateIfAllocated(this);
}

int TCustomComboBox::ItemHeight() {
  if (IsOwnerDraw() || !HandleAllocated()) return itemHeight_;
  return static_cast<int>(SendMessageW(WindowHandle(), CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int value) {
  if (value <= 0 || itemHeight_ == value) return;
  itemHeight_ = value;
  RecreateIfAllocated(this);
}

void TCustomComboBox::SetMaxLength(int value) {
  if (value < 0) value = 0;
  maxLength_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), CB_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase value) {
  if (charCase_ == value) return;
  charCase_ = value;
  RecreateIfAllocated(this);
}

int TCustomComboBox::SelStart() {
  if (!HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int value) {
  if (HandleAllocated()) SendMessageW(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(value, value));
}

int TCustomComboBox::SelLength() {
  if (!HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelLength(int value) {
  if (!HandleAllocated()) return;
  const int start = SelStart();
  SendMessageW(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + value));
}

void TCustomComboBox::SelectAll() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::AdjustDropDown() {
  if (!HandleAllocated() || style_ == csSimple) return;
  int count = std::min(items_->Count(), dropDownCount_);
  if (count < 1) count = 1;
  int itemHeight = ItemHeight();
  if (itemHeight <= 0) itemHeight = 16;
  // The height a combo box is given, beyond its own, is the list's when dropped.
  SetWindowPos(WindowHandle(), nullptr, 0, 0, width_, itemHeight * count + height_ + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::CNCommand(TWMCommand& Message) {
  switch (Message.NotifyCode) {
    case CBN_DBLCLK:
      DblClick();
      break;
    case CBN_EDITCHANGE:
      Change();
      break;
    case CBN_DROPDOWN:
      DropDown();
      AdjustDropDown();
      break;
    case CBN_SELCHANGE: {
      // The edit shows the new item only after this notification.
      const int index = ItemIndex();
      if (editHandle_ && index >= 0) {
        const String text = items_->Get(index);
        SendMessageW(WindowHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      }
      Click();
      Select();
      break;
    }
    case CBN_CLOSEUP:
      CloseUp();
      break;
  }
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index < 0 || Index >= items_->Count()) return;
  const String text = items_->Get(Index);
  canvas_->TextOut(Rect.Left + 2, Rect.Top, text);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::CNDrawItem(TWMDrawItem& Message) {
  DrawOwnerItem(*Message.DrawItemStruct, static_cast<TControlCanvas*>(canvas_), font_, Brush(),
                [this](int index, const TRect& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
  Message.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TWMMeasureItem& Message) {
  MEASUREITEMSTRUCT& mis = *Message.MeasureItemStruct;
  int height = itemHeight_;
  if (style_ == csOwnerDrawVariable && static_cast<int>(mis.itemID) >= 0)
    MeasureItem(static_cast<int>(mis.itemID), height);
  mis.itemHeight = static_cast<UINT>(std::max(1, height));
  Message.Result = TRUE;
}

// ===========================================================================
// Module
// ===========================================================================

void StdCtrlsInitialize() {
  RegisterClasses({TLabel::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TButton::StaticClass(),
                   TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
                   TListBox::StaticClass(), TComboBox::StaticClass()});
  RegisterClasses({TPanel::StaticClass(), TBevel::StaticClass(), TBitBtn::StaticClass(),
                   TPageControl::StaticClass(), TTabSheet::StaticClass(),
                   TTreeView::StaticClass(), TToolBar::StaticClass(), TToolButton::StaticClass()});
}

void StdCtrlsFinalize() {
  UnRegisterClasses({TPanel::StaticClass(), TBevel::StaticClass(), TBitBtn::StaticClass(),
                     TPageControl::StaticClass(), TTabSheet::StaticClass(),
                     TTreeView::StaticClass(), TToolBar::StaticClass(), TToolButton::StaticClass()});
  UnRegisterClasses({TLabel::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TButton::StaticClass(),
                     TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
                     TListBox::StaticClass(), TComboBox::StaticClass()});
}
