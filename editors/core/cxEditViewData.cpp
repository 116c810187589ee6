#include "editors/core/cxEditViewData.h"

#include "editors/core/cxEditPaintUtils.h"
#include "foundation/cxGraphicsCanvas.h"

#include "foundation/cxGeometry.h"

#include <algorithm>

namespace {

TRect Deflate(const TRect& R, const TRect& E) {
  return TRect(R.Left + E.Left, R.Top + E.Top, R.Right - E.Right, R.Bottom - E.Bottom);
}

bool Contains(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

int BorderWidthOf(TcxEditBorderStyle AStyle) {
  switch (AStyle) {
    case ebsNone: return 0;
    case ebsThick: case ebsFlat: case ebs3D: return 2;
    default: return 1;
  }
}

}  // namespace

TcxEditButtonStyle cxDefaultButtonStyleByBorder(TcxEditBorderStyle ABorderStyle) {
  switch (ABorderStyle) {
    case ebsNone: return btsSimple;
    case ebsSingle: return btsHotFlat;
    case ebsFlat: return btsFlat;
    case ebsUltraFlat: return btsUltraFlat;
    case ebsOffice11: return btsOffice11;
    default: return bts3D;
  }
}

TcxEditButtonStyle cxDefaultButtonStyleByKind(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat: return btsFlat;
    case lfStandard: return bts3D;
    case lfOffice11: return btsOffice11;
    default: return btsUltraFlat;
  }
}

// ---------------------------------------------------------------------------
// TcxCustomEditViewInfo
// ---------------------------------------------------------------------------

TcxCustomEditViewInfo::TcxCustomEditViewInfo() = default;

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() { SetButtonCount(0); }

void TcxCustomEditViewInfo::SetButtonCount(int ACount) {
  while (ButtonCount() > ACount) {
    TObject::Free(ButtonsInfo.back());
    ButtonsInfo.pop_back();
  }
  while (ButtonCount() < ACount) ButtonsInfo.push_back(Make<TcxEditButtonViewInfo>());
}

void TcxCustomEditViewInfo::Assign(TObject* Source) {
  auto* source = dynamic_cast<TcxCustomEditViewInfo*>(Source);
  if (source) {
    SetBackgroundColor(source->BackgroundColor());
    BorderColor = source->BorderColor;
    BorderStyle = source->BorderStyle;
    ContainerState = source->ContainerState;
    NativeState = source->NativeState;
    SetButtonCount(source->ButtonCount());
    for (int i = 0; i < ButtonCount(); ++i) ButtonsInfo[i]->Assign(source->ButtonsInfo[i]);
    PressedButton = source->PressedButton;
    SelectedButton = source->SelectedButton;
  }
  inherited::Assign(Source);
}

void TcxCustomEditViewInfo::Offset(int DX, int DY) {
  inherited::Offset(DX, DY);
  auto move = [&](TRect& R) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
  };
  move(InnerEditRect);
  move(ShadowRect);
  for (TcxEditButtonViewInfo* button : ButtonsInfo) {
    move(button->Bounds);
    move(button->VisibleBounds);
  }
}

int TcxCustomEditViewInfo::HitTestButton(const TPoint& P) const {
  for (int i = 0; i < ButtonCount(); ++i)
    if (Contains(ButtonsInfo[i]->Bounds, P)) return i;
  return Contains(BorderRect, P) ? -1 : -2;
}

TRect TcxCustomEditViewInfo::GetPartBounds(int AIndex) const {
  if (AIndex >= 0 && AIndex < ButtonCount()) return ButtonsInfo[AIndex]->Bounds;
  if (AIndex != -1) return TRect();
  TRect r = BorderRect;
  for (const TcxEditButtonViewInfo* button : ButtonsInfo) {
    if (button->Data.LeftAlignment && button->Data.Rightmost) r.Left = std::max(r.Left, button->Bounds.Right);
    if (!button->Data.LeftAlignment && button->Data.Leftmost) r.Right = std::min(r.Right, button->Bounds.Left);
  }
  return r;
}

void TcxCustomEditViewInfo::RememberButtonStates() {
  LastPressedButton = PressedButton;
  LastSelectedButton = SelectedButton;
}

bool TcxCustomEditViewInfo::ButtonStatesChanged() const {
  return LastPressedButton != PressedButton || LastSelectedButton != SelectedButton;
}

bool TcxCustomEditViewInfo::IsHotTrack() const {
  return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(),
                     [](const TcxEditButtonViewInfo* b) { return b->Data.State == ebsSelected; });
}

bool TcxCustomEditViewInfo::Repaint(HWND AWindow, const TRect& AInnerEditRect, const TcxCustomEditViewInfo* AOld) {
  if (!AWindow || !IsWindow(AWindow)) return false;
  const TRect bounds(Bounds.Left + Left, Bounds.Top + Top, Bounds.Right + Left, Bounds.Bottom + Top);
  TRect inner = AInnerEditRect;
  inner.Left = std::max(inner.Left, ClientRect.Left);
  inner.Top = std::max(inner.Top, ClientRect.Top);
  inner.Right = std::min(inner.Right, ClientRect.Right);
  inner.Bottom = std::min(inner.Bottom, ClientRect.Bottom);
  if (!AOld) {
    cxInvalidateRectExcluding(AWindow, bounds, inner, HasBackground);
    return false;
  }
  bool invalidated = false;
  if (NativeState != AOld->NativeState || BackgroundColor() != AOld->BackgroundColor() ||
      ButtonCount() != AOld->ButtonCount() || (ContainerState != AOld->ContainerState && HasPaintableContent())) {
    cxInvalidateRectExcluding(AWindow, bounds, inner, AOld->HasBackground);
    invalidated = true;
  } else if ((BorderStyle != cbsNone && BorderColor != AOld->BorderColor) || BorderStyle != AOld->BorderStyle) {
    cxInvalidateRectExcluding(AWindow, bounds, BorderRect, AOld->HasBackground);
    invalidated = true;
  }
  if (ButtonCount() == AOld->ButtonCount())
    for (int i = 0; i < ButtonCount(); ++i)
      invalidated = ButtonsInfo[i]->Repaint(AWindow, AOld->ButtonsInfo[i], TPoint(Left, Top)) || invalidated;
  return invalidated;
}

IMPLEMENT_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo, nullptr)

// ---------------------------------------------------------------------------
// TcxCustomEditViewData
// ---------------------------------------------------------------------------

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
                                             bool AIsInplace)
    : Properties(AProperties), Style(AStyle), IsInplace(AIsInplace) {
  ButtonVisibleCount = AProperties->Buttons()->VisibleCount();
}

TcxContainerState TcxCustomEditViewData::GetContainerStateAt(TcxCustomEditViewInfo*, const TPoint& P,
                                                             TShiftState AShift) {
  if (!Enabled) return TcxContainerState{csDisabled};
  if (IsDesigning) return TcxContainerState{csNormal};
  TcxContainerState state{Focused ? csActive : csNormal};
  const TRect visible = VisibleBounds.IsEmpty() ? Deflate(Bounds, ContentOffset) : VisibleBounds;
  const bool buttonHeld = AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
  if (Contains(visible, P) && (!buttonHeld || HasCapture)) state.Include(csHotTrack);
  return state;
}

TcxEditBorderStyle TcxCustomEditViewData::GetBorderStyle() {
  if (IsInplace) return ebsNone;
  const TcxEditBorderStyle style = Style->BorderStyle();
  return (style == ebsUltraFlat || style == ebsOffice11) ? ebsSingle : style;
}

bool TcxCustomEditViewData::HasShadow() { return Style->Shadow(); }

TRect TcxCustomEditViewData::GetBorderExtent() {
  if (IsInplace) return ContentOffset;
  TRect result;
  if (Style->TransparentBorder()) {
    result = TRect(2, 2, 2, 2);
  } else if (Style->HasBorder()) {
    const int w = BorderWidthOf(GetBorderStyle());
    const TcxBorders edges = Style->Edges();
    result = TRect(edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
                   edges.Contains(bBottom) ? w : 0);
  }
  if (HasShadow()) {
    result.Right += 3;
    result.Bottom += 3;
  }
  return result;
}

TRect TcxCustomEditViewData::GetButtonsExtent() { return IsInplace ? ContentOffset : GetBorderExtent(); }

TRect TcxCustomEditViewData::GetClientExtent(TcxCustomEditViewInfo* AViewInfo) {
  TRect result = GetBorderExtent();
  if (Properties->ButtonsViewStyle() != bvsNormal && AViewInfo->ButtonCount() > 0) {
    const TRect buttons = GetButtonsExtent();
    result.Left = buttons.Left;
    result.Right = buttons.Right;
  }
  for (const TcxEditButtonViewInfo* button : AViewInfo->ButtonsInfo) {
    if (button->Bounds.IsEmpty()) continue;
    if (button->Data.LeftAlignment)
      result.Left = std::max(result.Left, button->Bounds.Right - Bounds.Left);
    else
      result.Right = std::max(result.Right, Bounds.Right - button->Bounds.Left);
  }
  return result;
}

TColor TcxCustomEditViewData::GetBorderColor() {
  const bool highlighted =
      ContainerState.Contains(csActive) || (ContainerState.Contains(csHotTrack) && Style->HotTrack());
  const TcxEditBorderStyle style = Style->BorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return Style->BorderColor();
  if (highlighted || (IsDesigning && Enabled)) return cxHighlightBorderColor(style == ebsOffice11);
  return clBtnShadow;
}

TcxEditButtonStyle TcxCustomEditViewData::ResolveButtonsStyle() {
  const TcxEditButtonStyle style = Style->ButtonStyle();
  if (style != btsDefault) return style;
  if (IsInplace || (Style->BorderStyle() == ebsNone && !Style->HotTrack()))
    return cxDefaultButtonStyleByKind(Style->LookAndFeel()->Kind());
  return cxDefaultButtonStyleByBorder(Style->BorderStyle());
}

void TcxCustomEditViewData::Calculate(const TRect& ABounds, const TPoint& P, TcxMouseButton, TShiftState AShift,
                                      TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  for (TShiftStateItem key : {ssShift, ssAlt, ssCtrl, ssTouch, ssPen}) AShift.Exclude(key);
  Bounds = ABounds;
  ContainerState = GetContainerStateAt(AViewInfo, P, AShift);
  Selected = ContainerState.Contains(csActive) || ContainerState.Contains(csHotTrack);
  AViewInfo->HotState = (IsDesigning || !Style->HotTrack() || IsInplace) ? chsNoHotTrack
                        : Selected                                    ? chsSelected
                                                                      : chsNormal;
  AViewInfo->BorderStyle = GetBorderStyle();
  AViewInfo->ContainerState = ContainerState;
  AViewInfo->EditProperties = Properties;
  ButtonsOnlyStyle = IsInplace ? (ABounds.Right != 2147483647 && Properties->ButtonsViewStyle() != bvsNormal)
                               : Properties->ButtonsViewStyle() == bvsButtonsOnly;
  AViewInfo->Bounds = ABounds;
  AViewInfo->Enabled = Enabled;
  AViewInfo->Focused = Focused;
  AViewInfo->IsDesigning = IsDesigning;
  AViewInfo->IsInplace = IsInplace;
  AViewInfo->IsSelected = Selected;
  AViewInfo->Edges = Style->Edges();
  AViewInfo->Shadow = !IsInplace && HasShadow();
  AViewInfo->BorderExtent = GetBorderExtent();
  AViewInfo->BorderRect = Deflate(ABounds, AViewInfo->BorderExtent);
  AViewInfo->ShadowRect = AViewInfo->BorderRect;
  AViewInfo->HasContentOffsets = ContentOffset != TRect();
  if (!IsInplace) AViewInfo->BorderColor = GetBorderColor();
  AViewInfo->SetBackgroundColor(Style->Color());
  AViewInfo->TextColor = Style->TextColor();
  CalculateButtonsViewInfo(ABounds, P, AShift, AViewInfo, AIsMouseEvent);
  AViewInfo->ClientRect = Deflate(ABounds, GetClientExtent(AViewInfo));
  AViewInfo->InnerEditRect = AViewInfo->ClientRect;
  AViewInfo->PopupBorderStyle = Style->PopupBorderStyle();
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(const TRect& ABounds, const TPoint& P, TShiftState AShift,
                                                     TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  const TcxEditButtonTransparency transparency = Style->ButtonTransparency();
  const bool active = ContainerState.Contains(csActive);
  const bool hot = ContainerState.Contains(csHotTrack);
  if (ButtonVisibleCount == 0 || (!active && transparency == ebtHideInactive) ||
      (!active && !hot && transparency == ebtHideUnselected)) {
    AViewInfo->SetButtonCount(0);
    return;
  }
  // The old states are the ones of the previous calculation.
  std::vector<TcxEditButtonState> oldStates;
  for (const TcxEditButtonViewInfo* b : AViewInfo->ButtonsInfo) oldStates.push_back(b->Data.State);
  AViewInfo->SetButtonCount(ButtonVisibleCount);
  AViewInfo->IsButtonReallyPressed = false;
  const int previousPressed = AIsMouseEvent ? AViewInfo->PressedButton : -1;
  AViewInfo->PressedButton = AViewInfo->SelectedButton = -1;
  FLeftSideLeftmostButtonIndex = FLeftSideRightmostButtonIndex = -1;
  FRightSideLeftmostButtonIndex = FRightSideRightmostButtonIndex = -1;

  TRect r = Deflate(ABounds, GetButtonsExtent());
  AViewInfo->HasTextButtons = false;
  TcxEditButtons* buttons = Properties->Buttons();
  const TcxEditButtonStyle buttonsStyle = ResolveButtonsStyle();
  const int widthBefore = r.Width();
  int visibleIndex = ButtonVisibleCount - 1;
  for (int i = buttons->Count() - 1; i >= 0 && visibleIndex >= 0; --i) {
    TcxEditButton* item = buttons->Items(i);
    if (!item->Visible()) continue;
    TcxEditButtonViewInfo* button = AViewInfo->ButtonsInfo[visibleIndex];
    if (item->Kind() == bkText) AViewInfo->HasTextButtons = true;
    button->ButtonIndex = i;
    button->Data.Style = buttonsStyle;
    button->Data.ComboBoxStyle = ButtonVisibleCount == 1 && item->Kind() == bkDown;
    button->Data.Kind = item->Kind();
    button->Data.Caption = item->Caption();
    button->Data.VisibleCaption = item->VisibleCaption();
    button->Data.TextColor = item->TextColor();
    button->Data.ContentAlignment = item->ContentAlignment();
    button->Data.Default = item->Default();
    button->Glyph = item->GlyphIfAny();
    button->HasBackground = AViewInfo->HasBackground;
    button->Data.Gradient = Style->GradientButtons();
    button->Data.Hint = item->Hint();
    button->Data.IsInplace = IsInplace;
    button->Data.LeftAlignment = item->LeftAlignment();
    button->Data.Leftmost = button->Data.Rightmost = false;
    button->Stretchable = item->Stretchable();
    button->Width = item->Width();
    if (button->Width == 0 && OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, visibleIndex, button->Width);
    button->Data.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
    button->Data.BackgroundColor = AViewInfo->BackgroundColor();
    CalculateButtonBounds(AViewInfo, visibleIndex, r);
    --visibleIndex;
  }
  CheckButtonsOnly(AViewInfo, widthBefore, r.Width());

  const bool leftHeld = AShift.Contains(ssLeft);
  const bool leftOnly = leftHeld && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle);
  for (int i = 0; i < ButtonVisibleCount; ++i) {
    TcxEditButtonViewInfo* button = AViewInfo->ButtonsInfo[i];
    const TcxEditButtonState oldState = i < static_cast<int>(oldStates.size()) ? oldStates[i] : ebsNormal;
    const TcxEditButton* item = buttons->Items(button->ButtonIndex);
    TcxEditButtonState state = ebsNormal;
    if (!Enabled || !item->Enabled()) {
      state = ebsDisabled;
    } else {
      const bool showsPressed = ShowsButtonPressed(AViewInfo, i);
      if (showsPressed || (!IsDesigning && Contains(button->VisibleBounds, P))) {
        const bool rePress = !AIsMouseEvent && leftHeld && oldState == ebsNormal && i == CaptureButtonIndex;
        const bool leftClick = AIsMouseEvent && leftOnly;
        const bool keepPressed = oldState == ebsPressed && leftHeld;
        if (showsPressed || leftClick || keepPressed || rePress) AViewInfo->IsButtonReallyPressed = true;
        const bool anyButton = leftHeld || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
        if (!showsPressed && !anyButton && !rePress) {
          state = ebsSelected;
          AViewInfo->SelectedButton = i;
        } else if (showsPressed || (rePress && IsButtonPressable(AViewInfo, i)) ||
                   (leftOnly && ((AIsMouseEvent && IsButtonPressable(AViewInfo, i)) || i == previousPressed)) ||
                   keepPressed) {
          state = ebsPressed;
          AViewInfo->PressedButton = i;
        }
      }
    }
    button->Data.State = state;
  }
  auto mark = [&](int AIndex, bool ALeftmost) {
    if (AIndex < 0) return;
    if (ALeftmost)
      AViewInfo->ButtonsInfo[AIndex]->Data.Leftmost = true;
    else
      AViewInfo->ButtonsInfo[AIndex]->Data.Rightmost = true;
  };
  mark(FLeftSideLeftmostButtonIndex, true);
  if (!(ButtonsOnlyStyle && FRightSideRightmostButtonIndex >= 0)) mark(FLeftSideRightmostButtonIndex, false);
  if (!(ButtonsOnlyStyle && FLeftSideLeftmostButtonIndex >= 0)) mark(FRightSideLeftmostButtonIndex, true);
  mark(FRightSideRightmostButtonIndex, false);
  if (ButtonsOnlyStyle)
    for (TcxEditButtonViewInfo* button : AViewInfo->ButtonsInfo) button->Data.LeftAlignment = false;
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCustomEditViewInfo* AViewInfo, int AButtonVisibleIndex,
                                                  TRect& ButtonsRect) {
  TcxEditButtonViewInfo* button = AViewInfo->ButtonsInfo[AButtonVisibleIndex];
  if (ButtonsRect.IsEmpty()) {
    button->Bounds = button->VisibleBounds = TRect();
    return;
  }
  TcxScreenCanvas* canvas = cxGetSharedScreenCanvas();
  canvas->Font()->Assign(Style->GetVisibleFont());
  const int w = cxCalcEditButtonWidth(canvas, button);
  const int v = std::min(w, ButtonsRect.Width());
  if (button->Data.LeftAlignment) {
    button->Bounds = TRect(ButtonsRect.Left, ButtonsRect.Top, ButtonsRect.Left + w, ButtonsRect.Bottom);
    button->VisibleBounds = TRect(ButtonsRect.Left, ButtonsRect.Top, ButtonsRect.Left + v, ButtonsRect.Bottom);
    ButtonsRect.Left += v;
    if (FLeftSideLeftmostButtonIndex < 0) FLeftSideLeftmostButtonIndex = AButtonVisibleIndex;
    FLeftSideRightmostButtonIndex = AButtonVisibleIndex;
  } else {
    button->Bounds = TRect(ButtonsRect.Right - w, ButtonsRect.Top, ButtonsRect.Right, ButtonsRect.Bottom);
    button->VisibleBounds = TRect(ButtonsRect.Right - v, ButtonsRect.Top, ButtonsRect.Right, ButtonsRect.Bottom);
    ButtonsRect.Right -= v;
    if (FRightSideRightmostButtonIndex < 0) FRightSideRightmostButtonIndex = AButtonVisibleIndex;
    FRightSideLeftmostButtonIndex = AButtonVisibleIndex;
  }
}

void TcxCustomEditViewData::CheckButtonsOnly(TcxCustomEditViewInfo* AViewInfo, int APrevButtonsWidth,
                                             int AButtonsWidth) {
  if (!ButtonsOnlyStyle || AButtonsWidth <= 0) return;
  std::vector<int> stretching;
  int total = 0;
  for (int i = 0; i < AViewInfo->ButtonCount(); ++i)
    if (AViewInfo->ButtonsInfo[i]->Stretchable && !IgnoreButtonWhileStretching(i)) {
      stretching.push_back(i);
      total += AViewInfo->ButtonsInfo[i]->Bounds.Width();
    }
  if (stretching.empty()) {
    for (int i = 0; i < AViewInfo->ButtonCount(); ++i) stretching.push_back(i);
    total = APrevButtonsWidth - AButtonsWidth;
  }
  if (total <= 0) return;
  int rest = AButtonsWidth;
  for (std::size_t n = stretching.size(); n-- > 0;) {
    TcxEditButtonViewInfo* button = AViewInfo->ButtonsInfo[stretching[n]];
    const int grow = n == 0 ? rest : AButtonsWidth * button->Bounds.Width() / total;
    rest -= grow;
    if (button->Data.LeftAlignment) {
      const int oldRight = button->Bounds.Right;
      button->Bounds.Right += grow;
      button->VisibleBounds.Right += grow;
      for (TcxEditButtonViewInfo* other : AViewInfo->ButtonsInfo)
        if (other != button && other->Data.LeftAlignment && other->Bounds.Left >= oldRight) {
          other->Bounds.Left += grow;
          other->Bounds.Right += grow;
          other->VisibleBounds.Left += grow;
          other->VisibleBounds.Right += grow;
        }
    } else {
      const int oldLeft = button->Bounds.Left;
      button->Bounds.Left -= grow;
      button->VisibleBounds.Left -= grow;
      for (TcxEditButtonViewInfo* other : AViewInfo->ButtonsInfo)
        if (other != button && !other->Data.LeftAlignment && other->Bounds.Right <= oldLeft) {
          other->Bounds.Left -= grow;
          other->Bounds.Right -= grow;
          other->VisibleBounds.Left -= grow;
          other->VisibleBounds.Right -= grow;
        }
    }
  }
}

IMPLEMENT_CLASS(TcxCustomEditViewData, TObject, nullptr)

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TcxCustomEditViewInfo::GetCustomButtonColors(TColor& ABrushColor, TColor& ATextColor) {
  ABrushColor = clDefault;
  ATextColor = clDefault;
}

void TcxCustomEditViewInfo::PaintContent(TcxCanvas* ACanvas) {
  ACanvas->SaveClipRegion();
  for (const TcxEditButtonViewInfo* button : ButtonsInfo)
    if (!button->VisibleBounds.IsEmpty()) ACanvas->ExcludeClipRect(button->VisibleBounds);
  if (!Transparent) cxFillRectWithColor(ACanvas, BorderRect, BackgroundColor());
  ACanvas->RestoreClipRegion();
  DrawButtons(ACanvas);
}

void TcxCustomEditViewInfo::DrawButtons(TcxCanvas* ACanvas) {
  if (FPaintingButtons) return;
  FPaintingButtons = true;
  for (int i = 0; i < ButtonCount(); ++i) {
    TcxEditButtonViewInfo* button = ButtonsInfo[i];
    button->Data.BackgroundColor = BackgroundColor();
    if (button->VisibleBounds.IsEmpty()) continue;
    const bool clip = button->VisibleBounds != button->Bounds;
    if (clip) {
      ACanvas->SaveClipRegion();
      ACanvas->IntersectClipRect(button->VisibleBounds);
    }
    PaintEditButton(ACanvas, i);
    if (clip) ACanvas->RestoreClipRegion();
  }
  FPaintingButtons = false;
}

void TcxCustomEditViewInfo::PaintEditButton(TcxCanvas* ACanvas, int AButtonVisibleIndex) {
  TcxEditButtonViewInfo* button = ButtonsInfo[AButtonVisibleIndex];
  TRect r = button->Bounds;
  TColor brush = clBtnFace, pen = clBtnText;
  TRect content = r;
  DrawButtonBorder(ACanvas, button, brush, pen, content, r);
  if (!r.IsEmpty()) cxFillRectWithColor(ACanvas, r, brush);
  if (!content.IsEmpty())
    DrawButtonContent(ACanvas, button, content, pen, button->Data.State == ebsPressed);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AButton,
                                             TColor& ABrushColor, TColor& APenColor, TRect& AContentRect,
                                             TRect& ARect) {
  const TcxEditButtonViewInfoData& d = AButton->Data;
  const bool pressed = d.State == ebsPressed;
  const bool hot = d.State == ebsSelected;
  TcxEditButtonStyle style = d.Style;
  if (style == btsSimple && (pressed || hot)) style = btsFlat;
  const TColor face = d.Transparent ? d.BackgroundColor : clBtnFace;
  APenColor = clBtnText;
  auto shrink = [](TRect& R, int N = 1) {
    R.Left += N;
    R.Top += N;
    R.Right -= N;
    R.Bottom -= N;
  };
  switch (style) {
    case bts3D:
      ABrushColor = face;
      if (pressed) {
        ACanvas->FrameRect(ARect, clBtnShadow);
        shrink(ARect);
        ACanvas->FrameRect(ARect, ABrushColor);
      } else {
        ACanvas->DrawComplexFrame(ARect, cl3DLight, cl3DDkShadow);
        shrink(ARect);
        ACanvas->DrawComplexFrame(ARect, clBtnHighlight, clBtnShadow);
      }
      shrink(ARect);
      break;
    case btsFlat:
      ABrushColor = face;
      cxDrawEditButtonFrameSides(ACanvas, ARect, 1, ABrushColor);
      ACanvas->DrawComplexFrame(ARect, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow);
      shrink(ARect);
      cxDrawEditButtonFrameSides(ACanvas, ARect, 4, ABrushColor);
      break;
    case btsHotFlat: {
      ABrushColor = d.Transparent ? d.BackgroundColor : pressed ? clBtnText : hot ? clBtnShadow : clBtnFace;
      const bool outer = (d.LeftAlignment && d.Rightmost) || (!d.LeftAlignment && d.Leftmost);
      if (outer) {
        ACanvas->FrameRect(ARect, clBtnShadow);
      } else {
        TcxBorders outerSides = cxBordersAll;
        outerSides.Exclude(d.LeftAlignment ? bRight : bLeft);
        ACanvas->FrameRect(ARect, clBtnShadow, 1, outerSides);
        ACanvas->FrameRect(ARect, ABrushColor, 1, TcxBorders{d.LeftAlignment ? bRight : bLeft});
      }
      shrink(ARect);
      APenColor = !(pressed || hot) ? clBtnText : (d.Transparent && hot) ? clBtnShadow : clWindow;
      cxDrawEditButtonFrameSides(ACanvas, ARect, 1 | 4, ABrushColor);
      break;
    }
    case btsSimple:
      ABrushColor = face;
      if (!Transparent) {
        ACanvas->FrameRect(ARect, d.BackgroundColor);
        shrink(ARect);
      }
      cxDrawEditButtonFrameSides(ACanvas, ARect, 1 | 4, ABrushColor);
      break;
    case btsUltraFlat:
    case btsOffice11: {
      const bool office = style == btsOffice11;
      ABrushColor = d.Transparent ? d.BackgroundColor
                    : d.State == ebsDisabled ? clBtnFace
                    : (pressed || hot)       ? cxHotButtonColor(pressed, office)
                                             : clBtnFace;
      if (pressed || hot)
        ACanvas->FrameRect(ARect, cxHighlightBorderColor(office));
      else if (!d.Transparent)
        ACanvas->FrameRect(ARect, d.BackgroundColor);
      shrink(ARect);
      break;
    }
    default:  // btsDefault draws nothing
      ABrushColor = face;
      break;
  }
  AContentRect = ARect;
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AButton, TRect C,
                                              TColor APenColor, bool AOffset) {
  const TcxEditButtonViewInfoData& d = AButton->Data;
  const bool enabled = d.State != ebsDisabled;
  ACanvas->SaveClipRegion();
  ACanvas->IntersectClipRect(C);
  switch (d.Kind) {
    case bkEllipsis: {
      const int dot = C.Width() > 11 ? 2 : 1;
      const int width = 3 * dot + 4;
      int x = C.Left + (C.Width() - width) / 2;
      int y = C.Top + (C.Height() - dot) / 2;
      if (AOffset && x + width + 1 <= C.Right && y + dot + 1 <= C.Bottom) {
        ++x;
        ++y;
      }
      auto dots = [&](int X, int Y, TColor AColor) {
        for (int i = 0; i < 3; ++i) {
          const int left = X + i * (dot + 2);
          cxFillRectWithColor(ACanvas, TRect(left, Y, left + dot, Y + dot), AColor);
        }
      };
      if (enabled) {
        dots(x, y, APenColor);
      } else {
        dots(x + 1, y + 1, clBtnHighlight);
        dots(x, y, clBtnShadow);
      }
      break;
    }
    case bkDown: {
      TRect arrow(AButton->Bounds.Left, C.Top, AButton->Bounds.Right, C.Bottom);
      if (AOffset) {
        ++arrow.Left;
        ++arrow.Right;
        ++arrow.Top;
        ++arrow.Bottom;
      }
      const TSize size = cxCalcArrowSize(TSize(arrow.Width(), arrow.Height()), adDown);
      if (enabled) {
        cxPaintCenteredArrow(ACanvas, size.cy, arrow, APenColor, false, false, adDown);
      } else {
        cxPaintCenteredArrow(ACanvas, size.cy, arrow, clBtnHighlight, true, false, adDown);
        cxPaintCenteredArrow(ACanvas, size.cy, arrow, clBtnShadow, false, false, adDown);
      }
      break;
    }
    case bkGlyph:
      if (AButton->Glyph && !AButton->Glyph->Empty()) {
        const int w = std::min(AButton->Glyph->Width(), C.Width());
        const int h = std::min(AButton->Glyph->Height(), C.Height());
        ACanvas->Draw(C.Left + (C.Width() - w) / 2 + (AOffset ? 1 : 0), C.Top + (C.Height() - h) / 2 + (AOffset ? 1 : 0),
                      AButton->Glyph);
      }
      break;
    case bkText: {
      if (Font) ACanvas->SetFont(Font);
      TRect r(C.Left + 1, C.Top + (d.IsInplace ? 0 : 1), C.Right - 2, C.Bottom - (d.IsInplace ? 0 : 1));
      if (AOffset) {
        ++r.Left;
        ++r.Right;
        ++r.Top;
        ++r.Bottom;
      }
      const int horz = d.ContentAlignment == taLeftJustify ? cxtfLeft
                       : d.ContentAlignment == taRightJustify ? cxtfRight
                                                              : cxtfCenterH;
      TColor color = d.TextColor;
      if (d.Style == btsHotFlat && (d.State == ebsPressed || d.State == ebsSelected)) color = APenColor;
      if (color == clDefault) color = TextColor;
      ACanvas->Brush()->SetStyle(bsClear);
      ACanvas->Font()->SetColor(color);
      ACanvas->DrawTexT(d.Caption, r,
                        horz | cxtfCenterV | cxtfSingleLine | cxtfShowPrefix | cxtfEndEllipsis, enabled);
      break;
    }
  }
  ACanvas->RestoreClipRegion();
}

// ---------------------------------------------------------------------------
// Sizes
// ---------------------------------------------------------------------------

TRect TcxCustomEditViewData::GetDefaultContentOffsets() { return IsInplace ? TRect(1, 1, 1, 1) : TRect(1, 1, 1, 3); }

TSize TcxCustomEditViewData::GetEditContentSizeCorrection() {
  const TRect offsets = GetDefaultContentOffsets();
  const int correctionX = 3 - offsets.Left - offsets.Right;
  return TSize(offsets.Left + offsets.Right + correctionX, offsets.Top + offsets.Bottom);
}

void TcxCustomEditViewData::MeasureConstantPart(TcxCanvas* ACanvas, TSize& ASize, TcxCustomEditViewInfo* AViewInfo,
                                                TSize& AMinContentSize) {
  const TRect& b = AViewInfo->Bounds;
  const TRect& c = AViewInfo->ClientRect;
  ASize = TSize((c.Left - b.Left) + (b.Right - c.Right), (c.Top - b.Top) + (b.Bottom - c.Bottom));
  AMinContentSize = TSize();
  int height = 0;
  for (const TcxEditButtonViewInfo* button : AViewInfo->ButtonsInfo) {
    if (button->Data.Kind == bkGlyph && cxBitmapHasImage(button->Glyph))
      height = std::max(height, button->Glyph->Height());
    if (IsInplace && button->Data.Kind == bkText && !button->Data.Caption.empty()) {
      ACanvas->Font()->Assign(Style->GetVisibleFont());
      height = std::max(height, ACanvas->TextHeight(button->Data.Caption));
    }
  }
  if (height > 0) {
    const TRect extent = GetButtonsExtent();
    height += extent.Top + extent.Bottom + cxEditButtonsContentVerticalOffset(ResolveButtonsStyle());
    AMinContentSize.cy = std::max(0, height - ASize.cy);
  }
}

TSize TcxCustomEditViewData::GetEditConstantPartSize(TcxCanvas* ACanvas, TSize& AMinContentSize,
                                                     TcxCustomEditViewInfo* AViewInfo) {
  TObjectPtr<TcxCustomEditViewInfo> temporary;
  if (!AViewInfo) {
    temporary.reset(Make<TcxCustomEditViewInfo>());
    AViewInfo = temporary.get();
    Calculate(TRect(0, 0, 2147483647, 2147483647), TPoint(-1, -1), cxmbNone, TShiftState(), AViewInfo, false);
  }
  TSize size;
  MeasureConstantPart(ACanvas, size, AViewInfo, AMinContentSize);
  return size;
}

TSize TcxCustomEditViewData::GetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                const TcxEditSizeProperties& AEditSizeProperties) {
  if (Properties->ButtonsViewStyle() != bvsNormal) {
    ACanvas->Font()->Assign(Style->GetVisibleFont());
    return TSize(0, ACanvas->TextHeight(L"Zg") + GetEditContentSizeCorrection().cy);
  }
  return MeasureContent(ACanvas, AEditValue, AEditSizeProperties);
}

TSize TcxCustomEditViewData::GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                         const TcxEditSizeProperties& AEditSizeProperties,
                                         TcxCustomEditViewInfo* AViewInfo) {
  TSize minContent;
  const TSize constant = GetEditConstantPartSize(ACanvas, minContent, AViewInfo);
  TcxEditSizeProperties content = AEditSizeProperties;
  bool widthGiven = false;
  if (AEditSizeProperties.Width >= 0) {
    content.Width = AEditSizeProperties.Width - constant.cx;
    if (content.Width < 0) {
      content.Width = 0;
      widthGiven = true;
    }
  }
  TSize size = GetEditContentSize(ACanvas, AEditValue, content);
  cxEnlargeSizeTo(size, minContent);
  return TSize(widthGiven ? AEditSizeProperties.Width : constant.cx + size.cx, constant.cy + size.cy);
}

// ---------------------------------------------------------------------------
// Shared drawing routines
// ---------------------------------------------------------------------------

int cxCalcEditButtonWidth(TcxCanvas* ACanvas, const TcxEditButtonViewInfo* AButtonViewInfo) {
  constexpr int kBorder = 4;
  const TcxEditButtonViewInfoData& d = AButtonViewInfo->Data;
  if (AButtonViewInfo->Width > 0) return std::max(AButtonViewInfo->Width, kBorder);
  const int scrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  if (d.Kind == bkGlyph && cxBitmapHasImage(AButtonViewInfo->Glyph)) return AButtonViewInfo->Glyph->Width() + kBorder;
  if (d.Kind == bkText) return std::max(ACanvas->TextWidth(d.VisibleCaption) + 3 + kBorder, scrollHeight);
  return std::max(0, scrollHeight);
}

int cxEditButtonsContentVerticalOffset(TcxEditButtonStyle AButtonsStyle) {
  switch (AButtonsStyle) {
    case btsDefault: return 0;
    case bts3D: return 4;
    default: return 2;
  }
}

void cxDrawEditBackgroundAndButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, bool AFillInterior) {
  ACanvas->SaveState();
  for (const TcxEditButtonViewInfo* button : AViewInfo->ButtonsInfo)
    if (!button->VisibleBounds.IsEmpty()) ACanvas->ExcludeClipRect(button->VisibleBounds);
  // The frame around BorderRect, on the sides the edges name.
  const int w = BorderWidthOf(AViewInfo->BorderStyle);
  TRect r = AViewInfo->BorderRect;
  if (w > 0) {
    r.Left -= w;
    r.Top -= w;
    if (AViewInfo->Edges.Contains(bRight)) r.Right += w;
    if (AViewInfo->Edges.Contains(bBottom)) r.Bottom += w;
    switch (AViewInfo->BorderStyle) {
      case ebsFlat:
        ACanvas->DrawEdge(r, true, true, AViewInfo->Edges);
        ACanvas->FrameRect(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), clBtnFace);
        break;
      case ebs3D:
        ACanvas->DrawEdge(r, true, true, AViewInfo->Edges);
        ACanvas->DrawComplexFrame(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), cl3DDkShadow, cl3DLight,
                                  AViewInfo->Edges);
        break;
      default:
        ACanvas->FrameRect(r, AViewInfo->BorderColor, w, AViewInfo->Edges);
        break;
    }
  }
  // The interior.
  if (!AViewInfo->Transparent) {
    if (AViewInfo->IsInplace) {
      if (AFillInterior)
        cxFillRectWithColor(ACanvas, AViewInfo->Bounds, AViewInfo->BackgroundColor());
      else if (AViewInfo->HasContentOffsets)
        cxFillRectExcept(ACanvas, AViewInfo->Bounds, AViewInfo->BorderRect,
                         cxGetCachedBrush(AViewInfo->BackgroundColor()));
    } else if (AFillInterior) {
      cxFillRectWithColor(ACanvas, AViewInfo->BorderRect, AViewInfo->BackgroundColor());
    }
  }
  ACanvas->RestoreState();
  AViewInfo->DrawButtons(ACanvas);
}

bool cxBitmapHasImage(TBitmap* ABitmap) {
  return ABitmap && !ABitmap->Empty() && ABitmap->Width() > 0 && ABitmap->Height() > 0;
}

void cxDrawGlyphToCanvas(TcxCanvas* ACanvas, int X, int Y, TColor ABackgroundColor, bool AEnabled,
                         TBitmap* AGlyph) {
  if (!cxBitmapHasImage(AGlyph)) return;
  const TRect target(X, Y, X + AGlyph->Width(), Y + AGlyph->Height());
  if (AEnabled) {
    // The glyph's transparent colour is replaced by the brush: the background
    // colour, or nothing (a clear brush) for the empty colour.
    TBrush* brush = ACanvas->Brush();
    const TBrushStyle style = brush->Style();
    const TColor color = brush->Color();
    if (ABackgroundColor == clNone)
      brush->SetStyle(bsClear);
    else
      brush->SetColor(ABackgroundColor);
    ACanvas->Canvas()->BrushCopy(target, AGlyph, TRect(0, 0, AGlyph->Width(), AGlyph->Height()),
                                 AGlyph->TransparentColor());
    brush->SetColor(color);
    brush->SetStyle(style);
    return;
  }
  TObjectPtr<TImageList> images(Make<TImageList>(nullptr));
  images->SetWidth(AGlyph->Width());
  images->SetHeight(AGlyph->Height());
  images->AddMasked(AGlyph, AGlyph->TransparentColor());
  if (ABackgroundColor != clNone) cxFillRectWithColor(ACanvas, target, ABackgroundColor);
  images->Draw(ACanvas->Canvas(), X, Y, 0, false);
}

void cxDrawImageListItemOpaque(TcxCanvas* ACanvas, TCustomImageList* AImages, int AImageIndex,
                               TColor ABackgroundColor, const TRect& ARect, bool AEnabled) {
  if (!AImages || AImageIndex < 0 || AImageIndex >= AImages->Count()) return;
  TObjectPtr<TBitmap> bitmap(Make<TBitmap>());
  bitmap->SetSize(AImages->Width(), AImages->Height());
  bitmap->Canvas()->Brush()->SetColor(ABackgroundColor);
  bitmap->Canvas()->FillRect(TRect(0, 0, AImages->Width(), AImages->Height()));
  AImages->Draw(bitmap->Canvas(), 0, 0, AImageIndex, AEnabled);
  ACanvas->Draw(ARect.Left, ARect.Top, bitmap.get());
}

bool cxEditHasVisibleButtons(TcxCustomEditProperties* AProperties, bool AShowButtons) {
  return AShowButtons && AProperties->Buttons()->Count() > 0;
}

// The properties' view data and size queries.
TcxCustomEditViewDataClass TcxCustomEditProperties::GetViewDataClass() const {
  return TcxCustomEditViewDataClass::Of<TcxCustomEditViewData>();
}

TcxCustomEditViewData* TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace,
                                                               bool APreviewMode) {
  TcxCustomEditViewData* data = GetViewDataClass().Create(this, AStyle, AIsInplace);
  data->PreviewMode = APreviewMode;
  return data;
}

TSize TcxCustomEditProperties::GetEditConstantPartSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle,
                                                       bool AIsInplace, TSize& AMinContentSize) {
  TObjectPtr<TcxCustomEditViewData> data(CreateViewData(AEditStyle, AIsInplace, false));
  return data->GetEditConstantPartSize(ACanvas, AMinContentSize);
}

TSize TcxCustomEditProperties::GetEditContentSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle, bool AIsInplace,
                                                  const Variant& AEditValue,
                                                  const TcxEditSizeProperties& AEditSizeProperties) {
  TObjectPtr<TcxCustomEditViewData> data(CreateViewData(AEditStyle, AIsInplace, false));
  return data->GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
}

TSize TcxCustomEditProperties::GetEditSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle, bool AIsInplace,
                                           const Variant& AEditValue,
                                           const TcxEditSizeProperties& AEditSizeProperties) {
  TObjectPtr<TcxCustomEditViewData> data(CreateViewData(AEditStyle, AIsInplace, false));
  return data->GetEditSize(ACanvas, AEditValue, AEditSizeProperties);
}
