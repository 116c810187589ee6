#include "platform/gui/Buttons.h"

#include "platform/gui/GdiAccounting.h"

#include <algorithm>

namespace {

struct KindInfo {
  const Char* Caption;
  TModalResult Result;
};

const KindInfo& InfoOf(TBitBtnKind kind) {
  static const KindInfo infos[] = {
      {L"", mrNone},        {L"OK", mrOk},          {L"Cancel", mrCancel},   {L"&Help", mrNone},
      {L"&Yes", mrYes},     {L"&No", mrNo},         {L"&Close", mrNone},     {L"Abort", mrAbort},
      {L"&Retry", mrRetry}, {L"&Ignore", mrIgnore}, {L"&All", mrAll},
  };
  return infos[kind];
}

bool IsDefaultKind(TBitBtnKind kind) { return kind == bkOK || kind == bkYes; }
bool IsCancelKind(TBitBtnKind kind) { return kind == bkCancel || kind == bkNo; }

constexpr int kStockSize = 18;
constexpr TColor kStockBack = clOlive;   // the transparent colour of the stock glyphs

// Paints the colour through the pixels of `mask` that are black (white
// pixels leave the destination alone).
void PaintThroughMask(HDC dc, int x, int y, int w, int h, HDC mask, TColor color) {
  LOGBRUSH lb{BS_SOLID, ColorToGDI(color), 0};
  HBRUSH brush = GdiCreateBrush(lb);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, w, h, mask, 0, 0, 0x00B8074A);  // PSDPxax: pattern where the mask is 0
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
  SelectObject(dc, oldBrush);
  GdiDeleteObject(brush);
}

// The disabled look of an image: its shape embossed in the 3-D colours.
// `source` holds the image at (sx, 0); pixels of `transparent` are background.
void DrawEmbossed(HDC dc, int x, int y, int w, int h, HDC source, int sx, COLORREF transparent) {
  HDC maskDC = GdiCreateCompatibleDC(nullptr);
  HBITMAP mask = GdiCreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  // Colour to monochrome: the background colour becomes white, the rest black.
  const COLORREF oldBack = SetBkColor(source, transparent);
  BitBlt(maskDC, 0, 0, w, h, source, sx, 0, SRCCOPY);
  SetBkColor(source, oldBack);
  PaintThroughMask(dc, x + 1, y + 1, w, h, maskDC, clBtnHighlight);
  PaintThroughMask(dc, x, y, w, h, maskDC, clBtnShadow);
  SelectObject(maskDC, oldMask);
  GdiDeleteObject(mask);
  GdiDeleteDC(maskDC);
}

// The stock glyph of a kind: the image and its disabled look, side by side.
void MakeStockGlyph(TBitBtnKind kind, TBitmap* glyph) {
  const int s = kStockSize;
  glyph->SetPixelFormat(pf32bit);
  glyph->SetSize(2 * s, s);
  TCanvas* c = glyph->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(kStockBack);
  c->FillRect(Rect(0, 0, 2 * s, s));
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetWidth(3);
  auto lines = [&](TColor color, std::initializer_list<TPoint> points) {
    c->Pen()->SetColor(color);
    c->Polyline(std::span<const TPoint>(points.begin(), points.size()));
  };
  auto text = [&](TColor color, const Char* t) {
    c->Font()->SetName(L"Tahoma");
    c->Font()->SetHeight(-16);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(color);
    c->Brush()->SetStyle(bsClear);
    const TSize size = c->TextExtent(t);
    c->TextOut((s - size.cx) / 2, (s - size.cy) / 2, t);
    c->Brush()->SetStyle(bsSolid);
  };
  switch (kind) {
    case bkOK:
    case bkYes:
      lines(clGreen, {{3, 9}, {7, 13}, {15, 4}});
      break;
    case bkAll:
      lines(clGreen, {{1, 8}, {4, 11}, {10, 4}});
      lines(clGreen, {{6, 11}, {9, 14}, {16, 6}});
      break;
    case bkCancel:
      lines(clRed, {{4, 4}, {14, 14}});
      lines(clRed, {{14, 4}, {4, 14}});
      break;
    case bkNo:
      c->Pen()->SetColor(clRed);
      c->Brush()->SetStyle(bsClear);
      c->Ellipse(3, 3, 16, 16);
      c->Brush()->SetStyle(bsSolid);
      lines(clRed, {{5, 5}, {13, 13}});
      break;
    case bkAbort:
      c->Pen()->SetWidth(1);
      c->Pen()->SetColor(clMaroon);
      c->Brush()->SetColor(clRed);
      c->Ellipse(2, 2, 17, 17);
      lines(clWhite, {{6, 6}, {12, 12}});
      lines(clWhite, {{12, 6}, {6, 12}});
      break;
    case bkHelp:
      text(clNavy, L"?");
      break;
    case bkIgnore:
      text(clNavy, L"!");
      break;
    case bkRetry:
      c->Pen()->SetColor(clGreen);
      c->Arc(3, 3, 15, 15, 15, 9, 9, 3);
      lines(clGreen, {{9, 1}, {12, 3}, {9, 6}});
      break;
    case bkClose:
      c->Pen()->SetWidth(1);
      c->Pen()->SetColor(clBlack);
      c->Brush()->SetColor(clTeal);
      c->Rectangle(5, 2, 14, 17);
      c->Brush()->SetColor(clYellow);
      c->Rectangle(10, 9, 12, 11);
      break;
    case bkCustom:
      break;
  }
  c->Brush()->SetColor(kStockBack);
  // The disabled half: the shape of the first, embossed.
  HDC dc = c->Handle();
  DrawEmbossed(dc, s, 0, s, s, dc, 0, ColorToGDI(kStockBack));
}

}  // namespace

void CalcButtonLayout(HDC DC, const TRect& Client, const String& Caption, TSize GlyphSize,
                      TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds) {
  const TPoint clientSize{Client.Width(), Client.Height()};
  RECT text{0, 0, clientSize.X, 0};
  if (!Caption.empty())
    DrawTextW(DC, Caption.c_str(), static_cast<int>(Caption.size()), &text, DT_CALCRECT | DT_SINGLELINE);
  else
    text = {0, 0, 0, 0};
  const TPoint textSize{text.right - text.left, text.bottom - text.top};
  TPoint glyphPos, textPos;
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  // Across the layout's direction both parts are centred.
  if (horizontal) {
    glyphPos.Y = (clientSize.Y - GlyphSize.cy + 1) / 2;
    textPos.Y = (clientSize.Y - textSize.Y + 1) / 2;
  } else {
    glyphPos.X = (clientSize.X - GlyphSize.cx + 1) / 2;
    textPos.X = (clientSize.X - textSize.X + 1) / 2;
  }
  if (textSize.X == 0 || GlyphSize.cx == 0) Spacing = 0;
  const int room = horizontal ? clientSize.X : clientSize.Y;
  const int glyphLength = horizontal ? GlyphSize.cx : GlyphSize.cy;
  const int textLength = horizontal ? textSize.X : textSize.Y;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (room - glyphLength - textLength) / 3;
      Spacing = Margin;
    } else {
      Margin = (room - glyphLength - Spacing - textLength + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (room - (Margin + glyphLength) - textLength) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      glyphPos.X = Margin;
      textPos.X = glyphPos.X + GlyphSize.cx + Spacing;
      break;
    case blGlyphRight:
      glyphPos.X = clientSize.X - Margin - GlyphSize.cx;
      textPos.X = glyphPos.X - Spacing - textSize.X;
      break;
    case blGlyphTop:
      glyphPos.Y = Margin;
      textPos.Y = glyphPos.Y + GlyphSize.cy + Spacing;
      break;
    case blGlyphBottom:
      glyphPos.Y = clientSize.Y - Margin - GlyphSize.cy;
      textPos.Y = glyphPos.Y - Spacing - textSize.Y;
      break;
  }
  GlyphPos = {glyphPos.X + Client.Left, glyphPos.Y + Client.Top};
  TextBounds = Bounds(textPos.X + Client.Left, textPos.Y + Client.Top, textSize.X, textSize.Y);
}

// ===========================================================================
// TBitBtn
// ===========================================================================

BEGIN_CLASS(TBitBtn, TButton, (ConstructWith<TBitBtn, TComponent>))
  using B = TBitBtn;
  auto custom = [](TObject* o) { return static_cast<B*>(o)->Kind() == bkCustom; };
  b.Message<&B::CNDrawItem>(CN_DRAWITEM);
  b.Message<&B::WMLButtonDblClk>(WM_LBUTTONDBLCLK);
  b.Message<&B::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&B::CMEnabledChanged>(CM_ENABLEDCHANGED);
  b.Message<&B::CMTextChanged>(CM_TEXTCHANGED);
  // The kind's own settings are not stored: the kind restores them.
  DefaultValue(b.Prop(L"Cancel", &B::Cancel, &B::SetCancel), false).Stored = custom;
  b.Prop(L"Caption", &B::Caption, &B::SetCaption).Stored = [](TObject* o) {
    auto* btn = static_cast<B*>(o);
    return btn->Caption() != InfoOf(btn->Kind()).Caption;
  };
  DefaultValue(b.Prop(L"Default", &B::Default, &B::SetDefault), false).Stored = custom;
  b.Prop(L"Glyph", &B::Glyph, &B::SetGlyph).Stored = [](TObject* o) {
    auto* btn = static_cast<B*>(o);
    return btn->IsCustomGlyph() && !btn->Glyph()->Empty();
  };
  DefaultValue(b.Prop(L"Kind", &B::Kind, &B::SetKind), bkCustom);
  DefaultValue(b.Prop(L"Layout", &B::Layout, &B::SetLayout), blGlyphLeft);
  DefaultValue(b.Prop(L"Margin", &B::Margin, &B::SetMargin), -1);
  DefaultValue(b.Prop(L"ModalResult", &B::ModalResult, &B::SetModalResult), 0).Stored = custom;
  DefaultValue(b.Prop(L"NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs), 1);
  DefaultValue(b.Prop(L"Spacing", &B::Spacing, &B::SetSpacing), 4);
  DefaultValue(b.Prop(L"Style", &B::Style, &B::SetStyle), bsAutoDetect);
END_CLASS

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  glyph_ = Make<TBitmap>();
  glyph_->OnChange = TNotifyEvent::Bind<&TBitBtn::GlyphChanged>(this);
  canvas_ = Make<TCanvas>();
  controlStyle_ += csReplicatable;
}

TBitBtn::~TBitBtn() {
  TObject::Free(canvas_);
  TObject::Free(glyph_);
}

void TBitBtn::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  Params.Style = (Params.Style & ~0x0Fu) | BS_OWNERDRAW;
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  } else if (kind_ == bkHelp) {
    TControl* c = this;
    while (c && c->HelpContext() == 0) c = c->Parent();
    if (c && Application) {
      Application->HelpContext(c->HelpContext());
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  modifiedGlyph_ = true;
}

void TBitBtn::GlyphChanged(TObject*) {
  if (!settingKind_) modifiedGlyph_ = true;
  // A strip of square images tells its count.
  const int w = glyph_->Width(), h = glyph_->Height();
  if (h > 0 && w % h == 0) {
    const int n = w / h;
    numGlyphs_ = n >= 1 && n <= 4 ? n : 1;
  }
  Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs value) {
  value = std::clamp(value, 1, 4);
  if (numGlyphs_ == value) return;
  numGlyphs_ = value;
  Invalidate();
}

TBitBtnKind TBitBtn::Kind() {
  if (kind_ != bkCustom) {
    if (IsDefaultKind(kind_) != Default() || IsCancelKind(kind_) != Cancel() ||
        ModalResult() != InfoOf(kind_).Result || modifiedGlyph_)
      kind_ = bkCustom;
  }
  return kind_;
}

void TBitBtn::SetKind(TBitBtnKind value) {
  if (value == kind_) return;
  if (value != bkCustom) {
    settingKind_ = true;
    try {
      SetDefault(IsDefaultKind(value));
      SetCancel(IsCancelKind(value));
      // A stored caption read before the kind stays.
      if (!ComponentState().Contains(csLoading) || Caption().empty()) SetCaption(InfoOf(value).Caption);
      SetModalResult(InfoOf(value).Result);
      MakeStockGlyph(value, glyph_);
      numGlyphs_ = 2;
    } catch (...) {
      settingKind_ = false;
      throw;
    }
    settingKind_ = false;
    modifiedGlyph_ = false;
  }
  kind_ = value;
  Invalidate();
}

bool TBitBtn::IsCustomGlyph() { return Kind() == bkCustom; }

void TBitBtn::SetLayout(TButtonLayout value) {
  if (layout_ == value) return;
  layout_ = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  if (value < -1) value = -1;
  if (margin_ == value) return;
  margin_ = value;
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  if (value < -1) value = -1;
  if (spacing_ == value) return;
  spacing_ = value;
  Invalidate();
}

void TBitBtn::SetStyle(TButtonStyle value) {
  if (style_ == value) return;
  style_ = value;
  Invalidate();
}

void TBitBtn::SetButtonStyle(bool ADefault) {
  if (isFocused_ == ADefault) return;
  isFocused_ = ADefault;
  Invalidate();
}

void TBitBtn::DrawGlyph(HDC DC, TPoint Pos, TButtonState State) {
  if (glyph_->Empty()) return;
  const int w = glyph_->Width() / numGlyphs_;
  const int h = glyph_->Height();
  if (w <= 0 || h <= 0) return;
  int index = static_cast<int>(State);
  HDC source = glyph_->Canvas()->Handle();
  const COLORREF transparent = ColorToGDI(glyph_->TransparentColor() & 0xFFFFFF);
  if (index >= numGlyphs_) {
    if (State == bsDisabled) {
      DrawEmbossed(DC, Pos.X, Pos.Y, w, h, source, 0, transparent);
      return;
    }
    index = 0;
  }
  TransparentBlt(DC, Pos.X, Pos.Y, w, h, source, index * w, 0, w, h, transparent);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
  const bool down = (DrawItemStruct.itemState & ODS_SELECTED) != 0;
  const bool hasFocus = (DrawItemStruct.itemState & ODS_FOCUS) != 0;
  const TButtonState state = !Enabled() ? bsDisabled : down ? bsDown : bsUp;
  HDC dc = DrawItemStruct.hDC;
  canvas_->SetHandle(dc);
  try {
    TRect r = ClientRect();
    // The frame of the button Enter presses.
    if (isFocused_ || hasFocus) {
      canvas_->Pen()->SetColor(clWindowFrame);
      canvas_->Pen()->SetWidth(1);
      canvas_->Brush()->SetStyle(bsClear);
      canvas_->Rectangle(r);
      r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    if (down) {
      canvas_->Pen()->SetColor(clBtnShadow);
      canvas_->Brush()->SetStyle(bsSolid);
      canvas_->Brush()->SetColor(clBtnFace);
      canvas_->Rectangle(r);
    } else {
      RECT fr{r.Left, r.Top, r.Right, r.Bottom};
      UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
      if (DrawItemStruct.itemState & ODS_DISABLED) flags |= DFCS_INACTIVE;
      DrawFrameControl(canvas_->Handle(), &fr, DFC_BUTTON, flags);
    }
    TRect content = ClientRect();
    content = {content.Left + 1, content.Top + 1, content.Right - 1, content.Bottom - 1};
    if (down) content = {content.Left + 1, content.Top + 1, content.Right + 1, content.Bottom + 1};
    canvas_->SetFont(font_);
    HDC cdc = canvas_->Handle();
    TSize glyphSize;
    if (!glyph_->Empty()) glyphSize = {glyph_->Width() / numGlyphs_, glyph_->Height()};
    TPoint glyphPos;
    TRect textBounds;
    const String caption = Caption();
    CalcButtonLayout(cdc, content, caption, glyphSize, layout_, margin_, spacing_, glyphPos, textBounds);
    DrawGlyph(cdc, glyphPos, state);
    if (!caption.empty()) {
      SetBkMode(cdc, TRANSPARENT);
      RECT tr{textBounds.Left, textBounds.Top, textBounds.Right, textBounds.Bottom};
      const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (UseRightToLeftReading() ? DT_RTLREADING : 0);
      if (state == bsDisabled) {
        OffsetRect(&tr, 1, 1);
        SetTextColor(cdc, ColorToGDI(clBtnHighlight));
        DrawTextW(cdc, caption.c_str(), static_cast<int>(caption.size()), &tr, flags);
        OffsetRect(&tr, -1, -1);
        SetTextColor(cdc, ColorToGDI(clBtnShadow));
      } else {
        SetTextColor(cdc, ColorToGDI(font_->Color()));
      }
      DrawTextW(cdc, caption.c_str(), static_cast<int>(caption.size()), &tr, flags);
    }
    if (hasFocus) {
      RECT fr{4, 4, width_ - 4, height_ - 4};
      SetTextColor(cdc, ColorToGDI(clWindowFrame));
      SetBkColor(cdc, ColorToGDI(clBtnFace));
      DrawFocusRect(cdc, &fr);
    }
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
}

void TBitBtn::CNDrawItem(TWMDrawItem& Message) {
  DrawItem(*Message.DrawItemStruct);
  Message.Result = TRUE;
}

void TBitBtn::WMLButtonDblClk(TWMMouse& Message) {
  // An owner-drawn button reports a second click as a double click; the
  // platform's buttons click twice.
  Perform(WM_LBUTTONDOWN, Message.Keys, MAKELPARAM(Message.XPos, Message.YPos));
}

void TBitBtn::CMFontChanged(TMessage& Message) {
  DispatchInherited(TBitBtn::StaticClass(), &Message);
  Invalidate();
}

void TBitBtn::CMEnabledChanged(TMessage& Message) {
  DispatchInherited(TBitBtn::StaticClass(), &Message);
  Invalidate();
}

void TBitBtn::CMTextChanged(TMessage& Message) {
  DispatchInherited(TBitBtn::StaticClass(), &Message);
  Invalidate();
}
