#include "platform/gui/ExtCtrls.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  // Work on the inclusive rectangle: the frame's lines run through the last
  // column and row.
  --Rect.Right;
  --Rect.Bottom;
  for (; Width > 0; --Width) {
    // Left edge upwards and the top edge up to (not including) the top-right
    // corner, which belongs to the bottom colour like the bottom-left one.
    const TPoint topLeftEdge[] = {{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}};
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline(topLeftEdge);
    const TPoint bottomRightEdge[] = {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}};
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline(bottomRightEdge);
    ++Rect.Left;
    ++Rect.Top;
    --Rect.Right;
    --Rect.Bottom;
  }
  ++Rect.Right;
  ++Rect.Bottom;
}

// ===========================================================================
// TCustomPanel
// ===========================================================================

BEGIN_CLASS(TCustomPanel, TCustomControl, nullptr)
  b.Message<&TCustomPanel::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&TCustomPanel::CMCtl3DChanged>(CM_CTL3DCHANGED);
  b.Message<&TCustomPanel::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
END_CLASS

BEGIN_CLASS(TPanel, TCustomPanel, (ConstructWith<TPanel, TComponent>))
  using P = TPanel;
  PublishControl(b, {L"Align"});
  DefaultValue(b.Prop(L"Alignment", &P::Alignment, &P::SetAlignment), taCenter);
  PublishControl(b, {L"Anchors", L"AutoSize"});
  DefaultValue(b.Prop(L"BevelInner", &P::BevelInner, &P::SetBevelInner), bvNone);
  DefaultValue(b.Prop(L"BevelOuter", &P::BevelOuter, &P::SetBevelOuter), bvRaised);
  DefaultValue(b.Prop(L"BevelWidth", &P::BevelWidth, &P::SetBevelWidth), 1);
  PublishControl(b, {L"BiDiMode", L"BorderWidth"});
  DefaultValue(b.Prop(L"BorderStyle", &P::BorderStyle, &P::SetBorderStyle), bsNone);
  PublishControl(b, {L"Caption", L"Color", L"Constraints", L"Ctl3D", L"DoubleBuffered", L"DragCursor",
                     L"DragKind", L"DragMode", L"Enabled"});
  DefaultValue(b.Prop(L"FullRepaint", &P::FullRepaint, &P::SetFullRepaint), true);
  PublishControl(b, {L"Font"});
  DefaultValue(b.Prop(L"Locked", &P::Locked, &P::SetLocked), false);
  PublishControl(b, {L"ParentBackground", L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D", L"ParentFont",
                     L"ParentShowHint", L"PopupMenu"});
  DefaultValue(b.Prop(L"ShowCaption", &P::ShowCaption, &P::SetShowCaption), true);
  PublishControl(b, {L"ShowHint", L"TabOrder", L"TabStop", L"Visible", L"OnCanResize", L"OnClick",
                     L"OnConstrainedResize", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver",
                     L"OnEndDrag", L"OnEnter", L"OnExit", L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave",
                     L"OnMouseMove", L"OnMouseUp", L"OnResize", L"OnStartDrag"});
END_CLASS

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable};
  SetBounds(left_, top_, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  // Resizing repaints what changed; FullRepaint decides about the rest.
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::BevelSize() const {
  int size = 0;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  return size;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  const int size = BevelSize();
  Rect.Left += size;
  Rect.Top += size;
  Rect.Right -= size;
  Rect.Bottom -= size;
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  auto bevel = [&](TPanelBevel cut) {
    if (cut == bvNone) return;
    if (cut == bvSpace) {
      Frame3D(canvas, rect, color_, color_, bevelWidth_);
      return;
    }
    const TColor light = clBtnHighlight, dark = clBtnShadow;
    if (cut == bvLowered)
      Frame3D(canvas, rect, dark, light, bevelWidth_);
    else
      Frame3D(canvas, rect, light, dark, bevelWidth_);
  };
  bevel(bevelOuter_);
  bevel(bevelInner_);
  canvas->Brush()->SetColor(color_);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(rect);
  const String caption = text_;
  if (!showCaption_ || caption.empty()) return;
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(font_);
  const int fontHeight = canvas->TextHeight(L"W");
  rect.Top = (rect.Bottom + rect.Top - fontHeight) / 2;
  rect.Bottom = rect.Top + fontHeight;
  UINT flags = DT_EXPANDTABS | DT_VCENTER | align[alignment_];
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  HDC dc = canvas->Handle();
  if (!Enabled()) SetTextColor(dc, ColorToGDI(clGrayText));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
  if (bevelInner_ == value) return;
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
  if (bevelOuter_ == value) return;
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth value) {
  if (value < 1) value = 1;
  if (bevelWidth_ == value) return;
  bevelWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomPanel::SetShowCaption(bool value) {
  if (showCaption_ == value) return;
  showCaption_ = value;
  Invalidate();
}

void TCustomPanel::CMTextChanged(TMessage&) { Invalidate(); }

void TCustomPanel::CMCtl3DChanged(TMessage& Message) {
  if (borderStyle_ == bsSingle && HandleAllocated()) RecreateWnd();
  DispatchInherited(TCustomPanel::StaticClass(), &Message);
}

void TCustomPanel::WMWindowPosChanged(TWMWindowPosMsg& Message) {
  const bool resized = Message.WindowPos && !(Message.WindowPos->flags & SWP_NOSIZE);
  DispatchInherited(TCustomPanel::StaticClass(), &Message);
  // Bevels and a centred caption move with the size.
  if (resized && (fullRepaint_ || !text_.empty() || BevelSize() > 0)) Invalidate();
}

// ===========================================================================
// TBevel
// ===========================================================================

BEGIN_CLASS(TBevel, TGraphicControl, (ConstructWith<TBevel, TComponent>))
  PublishControl(b, {L"Align", L"Anchors", L"Constraints", L"ParentShowHint"});
  DefaultValue(b.Prop(L"Shape", &TBevel::Shape, &TBevel::SetShape), bsBox);
  PublishControl(b, {L"ShowHint"});
  DefaultValue(b.Prop(L"Style", &TBevel::Style, &TBevel::SetStyle), bsLowered);
  PublishControl(b, {L"Visible"});
END_CLASS

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ += csReplicatable;
  SetBounds(left_, top_, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  if (shape_ == value) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (style_ == value) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  const int w = width_, h = height_;
  if (ComponentState().Contains(csDesigning) && shape_ == bsSpacer) {
    // A spacer is invisible at run time; at design time its outline shows.
    canvas->Pen()->SetStyle(psDot);
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(0, 0, w, h);
    return;
  }
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  // An outline whose left and top edges (with the bottom-left corner) take
  // `a` and whose right and bottom edges (with the top-right corner) take
  // `b`; r is inclusive.
  auto box = [&](TRect r, TColor a, TColor b) {
    const TPoint leftTop[] = {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}};
    canvas->Pen()->SetColor(a);
    canvas->Polyline(leftTop);
    const TPoint rightBottom[] = {{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}};
    canvas->Pen()->SetColor(b);
    canvas->Polyline(rightBottom);
  };
  auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(c);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox:
      box({0, 0, w - 1, h - 1}, first, second);
      break;
    case bsFrame:
      // Two outlines one pixel apart give the etched (or embossed) frame.
      box({1, 1, w - 1, h - 1}, second, second);
      box({0, 0, w - 2, h - 2}, first, first);
      break;
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}
