#include "foundation/cxContainer.h"

#include "foundation/cxContainerInternal.h"

#include "foundation/cxDWMApi.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxUxTheme.h"
#include "platform/core/Lists.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

namespace {

using cxcontainer::TCounterScope;
using cxcontainer::TFlagScope;

constexpr int kTmtFillColor = 3802;
// Captions this long are set after the window exists: the window creation
// call takes at most 65,535 characters.
constexpr size_t kMaxCreationCaption = 65535;

const TShiftState kNoHotTrackShift{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble};

TRect ShrinkRect(const TRect& R, const TRect& AExtents) {
  return TRect(R.Left + AExtents.Left, R.Top + AExtents.Top, R.Right - AExtents.Right, R.Bottom - AExtents.Bottom);
}

}  // namespace

// ---------------------------------------------------------------------------
// Routines that need the container
// ---------------------------------------------------------------------------

TcxContainer* cxContainerFromControl(TWinControl* AControl) {
  if (!AControl) return nullptr;
  if (auto* container = dynamic_cast<TcxContainer*>(AControl)) return container;
  if (auto* inner = dynamic_cast<IcxContainerInnerControl*>(AControl)) return inner->GetControlContainer();
  return nullptr;
}

void cxFillSizeGripCorner(TcxContainer* AContainer, const TRect& R) {
  if (R.IsEmpty() || !AContainer->InnerControl() || !AContainer->InnerControl()->HandleAllocated()) return;
  HWND wnd = AContainer->InnerControl()->WindowHandle();
  TcxCustomLookAndFeelPainterClass painter = AContainer->Style()->LookAndFeel()->Painter();
  LOGBRUSH lb{BS_SOLID, ColorToGDI(painter->DefaultSizeGripAreaColor()), 0};
  HBRUSH brush = GdiCreateBrush(lb);
  HDC dc = GetWindowDC(wnd);
  if (dc && brush) FillRect(dc, reinterpret_cast<const RECT*>(&R), brush);
  if (dc) ReleaseDC(wnd, dc);
  if (brush) GdiDeleteObject(brush);
}

void cxGetContainerSizeGripRect(TcxContainer* AContainer, TRect& ARect) {
  ARect = TRect();
  TcxControlScrollBar* h = AContainer->HScrollBar();
  TcxControlScrollBar* v = AContainer->VScrollBar();
  if (!h || !v || !h->Visible() || !v->Visible() || !AContainer->InnerControl()) return;
  TPoint corner = AContainer->ClientToScreen(TPoint(v->Left(), h->Top()));
  TRect inner;
  cxGetControlWindowRect(AContainer->InnerControl(), inner);
  corner = TPoint(corner.X - inner.Left, corner.Y - inner.Top);
  ARect = TRect(corner.X, corner.Y, corner.X + v->Width(), corner.Y + h->Height());
}

void cxGetInnerControlSizeGripRect(IcxContainerInnerControl* AInnerControl, TRect& ARect) {
  ARect = TRect();
  if (AInnerControl && AInnerControl->GetControlContainer())
    cxGetContainerSizeGripRect(AInnerControl->GetControlContainer(), ARect);
}

// ---------------------------------------------------------------------------
// TcxContainer
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxContainer, TcxControl, (ConstructWith<TcxContainer, TComponent>))
  b.Message<&TcxContainer::WMPaint>(WM_PAINT);
  b.Message<&TcxContainer::WMNCPaint>(WM_NCPAINT);
  b.Message<&TcxContainer::WMNCCalcSize>(WM_NCCALCSIZE);
  b.Message<&TcxContainer::WMSetCursor>(WM_SETCURSOR);
  b.Message<&TcxContainer::WMSetFocus>(WM_SETFOCUS);
  b.Message<&TcxContainer::WMKillFocus>(WM_KILLFOCUS);
  b.Message<&TcxContainer::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
  b.Message<&TcxContainer::WMWindowPosChanging>(WM_WINDOWPOSCHANGING);
  b.Message<&TcxContainer::CMColorChanged>(CM_COLORCHANGED);
  b.Message<&TcxContainer::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TcxContainer::CMParentColorChanged>(CM_PARENTCOLORCHANGED);
  b.Message<&TcxContainer::CMParentFontChanged>(CM_PARENTFONTCHANGED);
  b.Message<&TcxContainer::CMCursorChanged>(CM_CURSORCHANGED);
  b.Message<&TcxContainer::CMEnabledChanged>(CM_ENABLEDCHANGED);
  b.Message<&TcxContainer::CMCtl3DChanged>(CM_CTL3DCHANGED);
  b.Message<&TcxContainer::CMSysColorChange>(CM_SYSCOLORCHANGE);
  b.Message<&TcxContainer::CNCtlColor>(CN_CTLCOLOREDIT);
  b.Message<&TcxContainer::CNCtlColor>(CN_CTLCOLORSTATIC);
  b.Message<&TcxContainer::DXMContainerRefresh>(DXM_CONTAINERREFRESH);
  b.Message<&TcxContainer::DXMUpdateScrollBars>(DXM_UPDATESCROLLBARS);
  b.Message<&TcxContainer::DXMBufferedPaintOnGlass>(DXM_BUFFEREDPAINTONGLASS);
END_CLASS

TcxContainer::TcxContainer(TComponent* AOwner) : TcxControl(AOwner) {
  FIsCreating = true;
  FSizeGripData.Visible = false;
}

// The style classes are virtual: they are asked once the object is whole.
void TcxContainer::AfterConstruction() {
  TcxControl::AfterConstruction();
  FStyles = ContainerStylesClass().Create(this, ContainerStyleClass());
  FStyles->SetOnChanged(TNotifyEvent::Bind<&TcxContainer::TakeColorAndFontFromStyle>(this));
  FActiveStyleData.ContainerState = TcxContainerState{csNormal};
  FActiveStyleData.ActiveStyle = Style();
  FViewInfo = ContainerViewInfoClass().Create();
  LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
  controlStyle_ += csCaptureMouse;
  controlStyle_ += csSetCaption;
  SetTabStop(true);
  const bool parentColor = PrefersParentColor() && !IsInplace() && !Style()->IsValueAssigned(csvColor);
  SetParentColor(parentColor);
  if (!ParentColor()) {
    TFlagScope internal(FInternalSetting, true);
    SetColor(clWindow);
  }
  ClearSavedChildControlRegions();
  FIsCreating = false;
}

TcxContainer::~TcxContainer() {
  cxStopMouseTracking(this);
  FreeAndNil(FViewInfo);
  if (FStyles) FStyles->SetOnChanged(nullptr);
  FreeAndNil(FStyles);
}

bool TcxContainer::IsDestroying() const { return ComponentState().Contains(csDestroying); }

TcxLookAndFeel* TcxContainer::EffectiveLookAndFeel() { return FStyles ? Style()->LookAndFeel() : LookAndFeel(); }

TcxContainerStyleClass TcxContainer::ContainerStyleClass() { return TcxContainerStyleClass::Of<TcxContainerStyle>(); }

TcxContainerStylesClass TcxContainer::ContainerStylesClass() {
  return TcxContainerStylesClass::Of<TcxContainerStyles>();
}

TcxContainerViewInfoClass TcxContainer::ContainerViewInfoClass() {
  return TcxContainerViewInfoClass::Of<TcxContainerViewInfo>();
}

// ---- state and styles

TcxContainerStyle* TcxContainer::PickStyleForState(TcxContainerState AState) {
  if (AState.Contains(csDisabled)) return StyleDisabled();
  if (AState.Contains(csActive)) return StyleFocused();
  if (Style()->HotTrack() && AState.Contains(csHotTrack)) return StyleHot();
  return Style();
}

TcxContainerStyle* TcxContainer::CurrentStateStyle() {
  if (FViewInfo->ContainerState != FActiveStyleData.ContainerState) {
    FActiveStyleData.ContainerState = FViewInfo->ContainerState;
    FActiveStyleData.ActiveStyle = PickStyleForState(FViewInfo->ContainerState);
  }
  return FActiveStyleData.ActiveStyle;
}

TcxContainerState TcxContainer::CalculateContainerState(const TPoint& AMousePos, bool AHotTrack) {
  if (!Enabled()) return TcxContainerState{csDisabled};
  if (IsDesigning()) return TcxContainerState{csNormal};
  TcxContainerState state{Focused() ? csActive : csNormal};
  if (AHotTrack && GetVisibleBounds().Contains(AMousePos)) state.Include(csHotTrack);
  return state;
}

TcxContainerHotState TcxContainer::ComputeHotState() {
  if (!CurrentStateStyle()->HotTrack()) return chsNoHotTrack;
  const TcxContainerState state = FViewInfo->ContainerState;
  return state.Contains(csActive) || state.Contains(csHotTrack) ? chsSelected : chsNormal;
}

TcxContainerBorderStyle TcxContainer::ComputeBorderStyle() {
  if (FViewInfo->NativeStyle) return Style()->BorderStyle();
  const TcxContainerBorderStyle style = CurrentStateStyle()->BorderStyle();
  // Their look comes from the border colour only.
  return style == cbsUltraFlat || style == cbsOffice11 ? cbsSingle : style;
}

void TcxContainer::RecalcViewInfo(const TPoint& AMousePos, bool AHotTrack) {
  TcxContainerViewInfo* vi = FViewInfo;
  vi->NativeStyle = IsNativeStyleActive();
  vi->Painter = Style()->LookAndFeel()->SkinPainter();
  const int previousWidth = cxGetContainerBorderWidth(vi->BorderStyle);
  auto compute = [&] {
    vi->ContainerState = CalculateContainerState(AMousePos, AHotTrack);
    vi->HotState = ComputeHotState();
    vi->BorderStyle = ComputeBorderStyle();
  };
  compute();
  // The visible bounds that decide hot tracking depend on the border style.
  if (!vi->NativeStyle && cxGetContainerBorderWidth(vi->BorderStyle) < previousWidth) compute();
  if (vi->NativeStyle) {
    vi->ThemedObjectType = NativeThemedObjectType();
    vi->NativePart = NativeThemePart();
    vi->NativeState = NativeThemeState();
  }
  vi->Bounds = TRect(0, 0, Width(), Height());
  TRect extents;
  CalcBorderExtents(extents);
  vi->BorderRect = ShrinkRect(vi->Bounds, extents);
  vi->ClientRect = vi->BorderRect;
  vi->BorderWidth = cxGetPainterBorderWidth(vi->BorderStyle, vi->Painter);
  vi->Edges = CurrentStateStyle()->Edges();
  vi->Shadow = IsShadowDrawn();
  vi->BorderColor = ResolveBorderColor();
  vi->SetBackgroundColor(ResolveBackgroundColor());
}

bool TcxContainer::IsShadowDrawn() { return CurrentStateStyle()->Shadow() && !IsNativeStyleActive(); }

bool TcxContainer::IsNativeStyleActive() {
  return cxShouldPaintThemed(Style()->LookAndFeel()->NativeStyle(), NativeThemedObjectType());
}

bool TcxContainer::IsRegionRectangular() { return !(FViewInfo->NativeStyle && FViewInfo->BorderStyle != cbsNone); }

int TcxContainer::NativeThemePart() { return dxIsWindowsVistaOrLater ? 3 : 1; }

int TcxContainer::NativeThemeState() {
  if (!Enabled()) return 4;
  if (IsReadOnlyState()) return 6;
  if (Focused()) return 5;
  return FViewInfo->ContainerState.Contains(csHotTrack) ? 2 : 1;
}

bool TcxContainer::CalcBorderExtents(TRect& AExtents) {
  TcxContainerStyle* style = CurrentStateStyle();
  const bool native = IsNativeStyleActive();
  if (style->TransparentBorder()) {
    AExtents = TRect(2, 2, 2, 2);
  } else if (!style->HasBorder() || (native && Style()->BorderStyle() == cbsNone)) {
    AExtents = TRect();
  } else if (native) {
    AExtents = TRect(2, 2, 2, 2);
  } else {
    const int w = cxGetContainerBorderWidth(FViewInfo->BorderStyle);
    const TcxBorders edges = style->Edges();
    AExtents = TRect(edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
                     edges.Contains(bBottom) ? w : 0);
  }
  const bool shadow = IsShadowDrawn();
  if (shadow) {
    AExtents.Right += 3;
    AExtents.Bottom += 3;
  }
  return shadow;
}

void TcxContainer::CalcBorderFrameRect(TRect& ARect) {
  TRect extents;
  CalcBorderExtents(extents);
  ARect = ShrinkRect(FViewInfo->Bounds, extents);
  const int w = cxGetPainterBorderWidth(FViewInfo->BorderStyle, FViewInfo->Painter);
  ARect = TRect(ARect.Left - w, ARect.Top - w, ARect.Right + w, ARect.Bottom + w);
  cxShrinkRectOnUndrawnEdges(ARect, w, CurrentStateStyle()->Edges());
}

TRect TcxContainer::GetVisibleBounds() {
  TRect r(0, 0, Width(), Height());
  if (IsInplace()) return r;
  if (FViewInfo->Shadow) {
    r.Right -= 3;
    r.Bottom -= 3;
  }
  const bool transparent = Style()->TransparentBorder();
  auto inflate = [&](int d) { r = TRect(r.Left - d, r.Top - d, r.Right + d, r.Bottom + d); };
  if (!Style()->HasBorder()) {
    if (transparent) inflate(-2);
  } else if (FViewInfo->NativeStyle) {
    if (transparent && Style()->BorderStyle() == cbsNone) inflate(-2);
  } else if (transparent) {
    const int w = cxGetContainerBorderWidth(FViewInfo->BorderStyle);
    inflate(w - 2);
    cxShrinkRectOnUndrawnEdges(r, w, FViewInfo->Edges);
  }
  if (r.Bottom < r.Top) r = TRect(r.Left, 0, r.Right, 0);
  return r;
}

TcxEditStateColorKind TcxContainer::GetPainterState() {
  if (!Enabled()) return esckDisabled;
  return Focused() ? esckNormal : esckInactive;
}

void TcxContainer::GetPainterColors(TColor& ABackground, TColor& AText) {
  ABackground = clDefault;
  AText = clDefault;
  TcxCustomLookAndFeelPainterClass painter = FViewInfo->Painter;
  if (!painter) return;
  TcxContainerStyle* style = CurrentStateStyle();
  if (!Style()->AssignedValues().Contains(csvTextColor) && !style->AssignedValues().Contains(csvTextColor))
    AText = painter->DefaultEditorTextColorEx(GetPainterState());
  if (!ParentColor() && !Style()->AssignedValues().Contains(csvColor) && !style->AssignedValues().Contains(csvColor))
    ABackground = painter->DefaultEditorBackgroundColorEx(GetPainterState());
}

TColor TcxContainer::ResolveBackgroundColor() {
  TColor background, text;
  GetPainterColors(background, text);
  if (background != clDefault) return background;
  TcxContainerStyle* style = CurrentStateStyle();
  TColor result = style->Color();
  if (FViewInfo->NativeStyle && !Enabled() && !style->IsValueAssigned(csvColor)) {
    if (HTHEME theme = dxAcquireThemeHandle(FViewInfo->ThemedObjectType)) {
      COLORREF color = 0;
      if (SUCCEEDED(dxUxGetThemeColor(theme, FViewInfo->NativePart, FViewInfo->NativeState, kTmtFillColor, color)))
        result = static_cast<TColor>(color);
    }
  }
  return result;
}

TColor TcxContainer::ResolveBorderColor() {
  TcxContainerStyle* style = CurrentStateStyle();
  const TcxContainerState state = FViewInfo->ContainerState;
  const bool highlighted = state.Contains(csActive) || (state.Contains(csHotTrack) && style->HotTrack()) ||
                           (IsDesigning() && Enabled());
  if (FViewInfo->Painter) return FViewInfo->Painter->GetContainerBorderColor(highlighted);
  const TcxContainerBorderStyle border = style->BorderStyle();
  if (border != cbsUltraFlat && border != cbsOffice11) return style->BorderColor();
  if (!highlighted) return clBtnShadow;
  return border == cbsOffice11 ? dxOffice11Palette.SelectedFrame : clHighlight;
}

TFont* TcxContainer::StyledFont() {
  TFont* font = CurrentStateStyle()->GetVisibleFont();
  TColor background, text;
  GetPainterColors(background, text);
  if (text != clDefault) font->SetColor(text);
  return font;
}

// ---- refreshing

bool TcxContainer::CanRefreshNow() {
  return FRefreshLockCount == 0 && !FIsCreating && !IsDestroying() &&
         !ControlState().Contains(csDestroyingHandle) && HandleAllocated();
}

bool TcxContainer::RefreshContainer(const TPoint& AMousePos, TcxMouseButton AButton, TShiftState AShift,
                                    bool AIsMouseEvent) {
  FHasChanges = true;
  bool result = false;
  if (CanRefreshNow()) {
    TCounterScope lock(FRefreshLockCount);
    TFlagScope mouse(FMouseRefresh, AIsMouseEvent);
    FHasChanges = false;
    result = UpdateStateAt(AMousePos, AButton, AShift);
  }
  if (AIsMouseEvent && CanRefreshNow() && FProcessEventsLockCount == 0) {
    TControlGuard guard(this);
    ++FProcessEventsLockCount;
    try {
      HandleQueuedEvents();
    } catch (...) {
      if (guard.Alive()) --FProcessEventsLockCount;
      throw;
    }
    if (!guard.Alive()) return result;
    --FProcessEventsLockCount;
  }
  FIsViewInfoCalculated = result && !FHasChanges;
  return result;
}

bool TcxContainer::UpdateStateAt(const TPoint& AMousePos, TcxMouseButton, TShiftState AShift) {
  const bool hotTrack = (AShift * kNoHotTrackShift).Empty() && CurrentStateStyle()->HotTrack();
  const TcxContainerLook before = CurrentLook();
  RecalcViewInfo(AMousePos, hotTrack);
  AlignInnerControl();
  ApplyStyleToInnerControl();
  ApplyWindowRegion();
  if (HandleAllocated() && (!FMouseRefresh || LookChangedByMouse(before))) {
    if (FInnerControl)
      cxInvalidateRectExcluding(WindowHandle(), TRect(0, 0, Width(), Height()), FViewInfo->BorderRect, false);
    else
      ::InvalidateRect(WindowHandle(), nullptr, FALSE);
  }
  if (FViewInfo->ContainerState.Contains(csHotTrack)) cxStartMouseTracking(this, TRect(0, 0, Width(), Height()), this);
  return true;
}

TcxContainerLook TcxContainer::CurrentLook() const {
  const TcxContainerViewInfo* vi = FViewInfo;
  return {vi->ContainerState.Contains(csActive), vi->ContainerState.Contains(csDisabled), vi->BorderStyle,
          vi->NativeStyle, vi->NativeStyle ? vi->NativeState : 0, vi->BorderColor,
          vi->BackgroundColor(), vi->Shadow,
          vi->Painter && vi->BorderStyle != cbsNone && vi->ContainerState.Contains(csHotTrack)};
}

void TcxContainer::ShortRefreshContainer(bool AIsMouseEvent) {
  TPoint p;
  cxReadCursorPos(p);
  bool inside = false;
  // Only a point on the window's rectangle can be over it or its children: which window
  // is under any other point is not asked of the window server.
  RECT bounds;
  if (HandleAllocated() && GetWindowRect(WindowHandle(), &bounds) && PtInRect(&bounds, POINT{p.X, p.Y})) {
    HWND under = WindowFromPoint(POINT{p.X, p.Y});
    inside = under == WindowHandle() || IsChild(WindowHandle(), under);
  }
  p = inside ? ScreenToClient(p) : TPoint(-1, -1);
  RefreshContainer(p, cxmbNone, cxGetCurrentShiftState(), AIsMouseEvent);
}

void TcxContainer::TranslationChanged() {
  TcxControl::TranslationChanged();
  ShortRefreshContainer(false);
}

bool TcxContainer::IsMouseTracked() { return cxIsMouseTracking(this); }

// ---- colour and font

void TcxContainer::TakeColorAndFontFromStyle(TObject*) {
  if (FIsCreating || ComponentState().Contains(csLoading)) return;
  ShortRefreshContainer(false);
  TFlagScope internal(FInternalSetting, true);
  if (!(ParentColor() && !Style()->AssignedValues().Contains(csvColor))) SetColor(Style()->ResolveColor());
  SetFont(Style()->Font());
  if (Style()->IsValueAssigned(csvFont)) SetParentFont(false);
}

void TcxContainer::CMColorChanged(TMessage& Message) {
  if (!FStyles) return DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (FInternalSetting) {
    DispatchInherited(TcxContainer::StaticClass(), &Message);
    ShortRefreshContainer(false);
  } else {
    Style()->SetColor(Color());
  }
}

void TcxContainer::CMFontChanged(TMessage& Message) {
  if (!FStyles) return DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (FInternalSetting) {
    DispatchInherited(TcxContainer::StaticClass(), &Message);
    AlignInnerControl();
    SetScrollBarsParameters(false);
    ShortRefreshContainer(false);
    return;
  }
  const bool wasAssigned = Style()->AssignedValues().Contains(csvFont);
  Style()->SetFont(Font());
  if (!wasAssigned) {
    Style()->ExcludeAssignedValue(csvFont);
  }
  DispatchInherited(TcxContainer::StaticClass(), &Message);
}

void TcxContainer::CMParentColorChanged(TMessage& Message) {
  if (!FStyles) return DispatchInherited(TcxContainer::StaticClass(), &Message);
  const bool wasAssigned = Style()->AssignedValues().Contains(csvColor);
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (!wasAssigned || ParentColor()) {
    Style()->ExcludeAssignedValue(csvColor);
  }
  if (Style()->Color() != Color()) TakeColorAndFontFromStyle(this);
  if (IsTransparentBackground() && !ParentColor()) Invalidate();
}

void TcxContainer::CMParentFontChanged(TMessage& Message) {
  if (!FStyles) return DispatchInherited(TcxContainer::StaticClass(), &Message);
  const bool wasAssigned = Style()->AssignedValues().Contains(csvFont);
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (!ParentFont()) Style()->ParentFontChanged();
  if (!wasAssigned || ParentFont()) {
    Style()->ExcludeAssignedValue(csvFont);
  }
}

void TcxContainer::CMCursorChanged(TMessage& Message) {
  if (!FStyles) return DispatchInherited(TcxContainer::StaticClass(), &Message);
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (FInnerControl) FInnerControl->SetCursor(Cursor());
}

void TcxContainer::CMEnabledChanged(TMessage& Message) {
  if (!FStyles) return DispatchInherited(TcxContainer::StaticClass(), &Message);
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* bar = dynamic_cast<TcxScrollBar*>(Controls(i))) bar->SetEnabled(Enabled());
  ShortRefreshContainer(false);
}

void TcxContainer::CMCtl3DChanged(TMessage& Message) {
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  ShortRefreshContainer(false);
}

void TcxContainer::CMSysColorChange(TMessage& Message) {
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  ShortRefreshContainer(false);
}

// ---- properties and small operations

bool TcxContainer::IsStylePropertyPublished(const String& APropertyName, bool AExtendedStyle) {
  if (AExtendedStyle && !Style()->IsExtendedStylePropertyPublished(APropertyName)) return false;
  TcxContainerStyleValue value = 0;
  if (Style()->GetStyleValue(APropertyName, value)) return !GetHiddenStyleValues().Contains(value);
  return true;
}

void TcxContainer::LockAlignControls(bool ALock) {
  if (ALock)
    ++FLockAlignControlsCount;
  else if (FLockAlignControlsCount > 0)
    --FLockAlignControlsCount;
}

void TcxContainer::LockPopupMenu(bool ALock) {
  if (ALock)
    ++FPopupMenuLockCount;
  else if (FPopupMenuLockCount > 0)
    --FPopupMenuLockCount;
}

void TcxContainer::RestoreStyles() { FStyles->RestoreDefaults(); }

void TcxContainer::SetDragMode(TDragMode AValue) {
  TcxControl::SetDragMode(AValue);
  if (FInnerControl) FInnerControl->SetDragMode(AValue);
}

void TcxContainer::SetDragKind(TDragKind AValue) {
  TcxControl::SetDragKind(AValue);
  if (FInnerControl) FInnerControl->SetDragKind(AValue);
}

void TcxContainer::DragCanceled() {
  TcxControl::DragCanceled();
  if (FInnerControl) FInnerControl->DragCanceled();
}

TDragImageList* TcxContainer::GetDragImages() {
  return FInnerControl ? FInnerControl->GetDragImages() : TcxControl::GetDragImages();
}

void TcxContainer::Invalidate() {
  TcxControl::Invalidate();
  if (FInnerControl) FInnerControl->Invalidate();
}

void TcxContainer::Update() {
  TcxControl::Update();
  if (FInnerControl) FInnerControl->Update();
}

TRect TcxContainer::ClientBounds() { return FViewInfo ? FViewInfo->ClientRect : TcxControl::ClientBounds(); }

void TcxContainer::Resize() {
  TcxControl::Resize();
  ShortRefreshContainer(false);
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  AlignInnerControl();
  TakeColorAndFontFromStyle(this);
}

void TcxContainer::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxContainer::CreateWindowHandle(const TCreateParams& Params) {
  if (!Params.Caption || wcslen(Params.Caption) <= kMaxCreationCaption) {
    TcxControl::CreateWindowHandle(Params);
    return;
  }
  TCreateParams params = Params;
  const String caption = Params.Caption;
  params.Caption = L"";
  TcxControl::CreateWindowHandle(params);
  if (HandleAllocated()) {
    if (WNDPROC proc = DefWndProc())
      CallWindowProcW(proc, WindowHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    else
      DefWindowProcW(WindowHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
}

void TcxContainer::CreateWnd() {
  TcxControl::CreateWnd();
  if (FInnerControl && !FInnerControl->HandleAllocated() && cxIsHandleObtainable(FInnerControl))
    FInnerControl->HandleNeeded();
  ShortRefreshContainer(false);
}

// ---- painting

void TcxContainer::Paint() {
  TcxCanvas* canvas = Canvas();
  if (!canvas->RectVisible(FViewInfo->Bounds)) return;
  if (ControlState().Contains(csPaintCopy)) ClipCanvasToWindowRegion();
  if (!FIsViewInfoCalculated) ShortRefreshContainer(false);
  FViewInfo->Paint(canvas);
}

void TcxContainer::WMPaint(TWMPaint& Message) {
  if (FOnGlass && cxIsDwmCompositionOn()) {
    cxPaintClientOnGlass(WindowHandle());
    Message.Result = 0;
    return;
  }
  DispatchInherited(TcxContainer::StaticClass(), &Message);
}

void TcxContainer::WMNCPaint(TMessage& Message) { Message.Result = 0; }

void TcxContainer::WMNCCalcSize(TWMNCCalcSize& Message) {
  if (FRefreshLockCount > 0) {
    Message.Result = 0;
    return;
  }
  DispatchInherited(TcxContainer::StaticClass(), &Message);
}

void TcxContainer::CNCtlColor(TMessage& Message) {
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (FOnGlass && cxIsDwmCompositionOn() && !FRepaintOnGlass && HandleAllocated()) {
    FRepaintOnGlass = true;
    PostMessageW(WindowHandle(), DXM_BUFFEREDPAINTONGLASS, 0, 0);
  }
}

void TcxContainer::DXMBufferedPaintOnGlass(TMessage&) {
  if (!FRepaintOnGlass) return;
  TFlagScope done(FRepaintOnGlass, false);
  if (HandleAllocated()) cxRedrawClientOnGlass(WindowHandle());
}

void TcxContainer::DXMContainerRefresh(TMessage&) { ShortRefreshContainer(false); }

void TcxContainer::ApplyWindowRegion() {
  if (HandleAllocated()) cxApplyWindowRegionIfChanged(WindowHandle(), BuildWindowRegion());
}

HRGN TcxContainer::BuildWindowRegion() {
  TRect frame, cutout;
  CalcBorderFrameRect(frame);
  CalcRegionCutoutRect(cutout);
  const bool nativeWithBorder = FViewInfo->NativeStyle && FViewInfo->BorderStyle != cbsNone;
  HRGN region = cxBuildShadowWindowRegion(WindowHandle(), frame, cutout, TRect(), FViewInfo->Shadow, nativeWithBorder);
  if (IsRegionRectangular()) {
    HRGN rect = GdiCreateRectRgn(frame.Left, frame.Top, frame.Right, frame.Bottom);
    if (region && rect) {
      CombineRgn(region, region, rect, RGN_OR);
      GdiDeleteObject(rect);
    } else if (rect) {
      region = rect;
    }
  }
  return region;
}

void TcxContainer::ClipCanvasToWindowRegion() {
  TRect frame, cutout;
  CalcBorderFrameRect(frame);
  CalcRegionCutoutRect(cutout);
  HRGN region =
      cxBuildShadowWindowRegion(WindowHandle(), frame, cutout, TRect(), FViewInfo->Shadow, !IsRegionRectangular());
  if (region) Canvas()->SetClipRegion(Make<TcxRegion>(region), roIntersect);
}

void TcxContainer::WMWindowPosChanged(TWMWindowPosMsg& Message) {
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (IsTransparentBackground() && !IsDestroying()) ShortRefreshContainer(false);
}

// ---- mouse

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TControlGuard guard(this);
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (guard.Alive() && IsMouseTracked()) RefreshContainer(TPoint(X, Y), cxConvertMouseButton(Button), Shift, true);
}

void TcxContainer::MouseMove(TShiftState Shift, int X, int Y) {
  TControlGuard guard(this);
  TcxControl::MouseMove(Shift, X, Y);
  if (!guard.Alive()) return;
  RefreshContainer(TPoint(X, Y), cxmbNone, Shift, true);
  if (guard.Alive()) cxStartMouseTracking(this, TRect(0, 0, Width(), Height()), this);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TControlGuard guard(this);
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (guard.Alive()) RefreshContainer(TPoint(X, Y), cxConvertMouseButton(Button), Shift, true);
}

void TcxContainer::MouseEntered(TControl* AControl) {
  TControlGuard guard(this);
  TcxControl::MouseEntered(AControl);
  if (!guard.Alive()) return;
  ShortRefreshContainer(true);
  if (guard.Alive()) cxStartMouseTracking(this, TRect(0, 0, Width(), Height()), this);
}

void TcxContainer::MouseLeft(TControl* AControl) {
  TControlGuard guard(this);
  TcxControl::MouseLeft(AControl);
  if (!guard.Alive()) return;
  ShortRefreshContainer(true);
  cxStopMouseTracking(this);
}

void TcxContainer::HandleMouseLeave(TControl* AControl) { MouseLeft(AControl); }

void TcxContainer::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (FPopupMenuLockCount > 0) {
    Handled = true;
    return;
  }
  if ((MousePos.X == -1 && MousePos.Y == -1) || AllowsContextPopupAt(MousePos))
    TcxControl::DoContextPopup(MousePos, Handled);
  else
    Handled = true;
}

void TcxContainer::WMSetCursor(TWMSetCursor& Message) {
  if (FInnerControl && Message.CursorWnd == WindowHandle() && Message.HitTest == HTCLIENT) {
    TPoint p;
    cxReadCursorPos(p);
    if (!FViewInfo->ClientRect.Contains(ScreenToClient(p))) {
      ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  DispatchInherited(TcxContainer::StaticClass(), &Message);
}

// ---------------------------------------------------------------------------
// The inner control
// ---------------------------------------------------------------------------

void TcxContainer::SetInnerControl(TWinControl* AValue) {
  if (FInnerControl == AValue) return;
  if (FInnerControl) FInnerControl->RemoveFreeNotification(this);
  FInnerControl = AValue;
  if (FInnerControl) FInnerControl->FreeNotification(this);
}

void TcxContainer::Notification(TComponent* AComponent, TOperation Operation) {
  TcxControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FInnerControl) SetInnerControl(nullptr);
}

bool TcxContainer::InnerControlDefaultHandler(TMessage& Message) {
  return FInnerControl && !IsDestroying() && InnerControlFallbackHandler(Message);
}

bool TcxContainer::InnerControlMenuHandler(TMessage& Message) {
  if (Message.Msg != CN_KEYDOWN && Message.Msg != CN_SYSKEYDOWN) return false;
  if (IsDesigning()) return false;
  for (TWinControl* control = this; control; control = control->Parent()) {
    auto* cxControl = dynamic_cast<TcxControl*>(control);
    if (!cxControl) continue;
    if (cxPopupMenuIsShortCut(cxControl->PopupMenuComponent(), reinterpret_cast<TWMKey&>(Message))) {
      Message.Result = 1;
      return true;
    }
  }
  return false;
}

bool TcxContainer::InnerControlFallbackHandler(TMessage& Message) {
  if (!FInnerControl || !FInnerControl->HandleAllocated()) return false;
  if (Message.Msg == CN_CTLCOLOREDIT) {
    if (FOnGlass && cxIsDwmCompositionOn() && !FInnerControlBufferedPaint) {
      FInnerControlBufferedPaint = true;
      PostMessageW(FInnerControl->WindowHandle(), DXM_BUFFEREDPAINTONGLASS, 0, 0);
    }
  } else if (Message.Msg == DXM_BUFFEREDPAINTONGLASS && FInnerControlBufferedPaint) {
    TFlagScope done(FInnerControlBufferedPaint, false);
    cxRedrawClientOnGlass(FInnerControl->WindowHandle());
  }
  return false;
}

void TcxContainer::CallInnerControlWndProc(TMessage& Message) {
  if (FSaveInnerControlWndProc)
    FSaveInnerControlWndProc(Message);
  else if (FInnerControl)
    FInnerControl->WndProc(Message);
}

void TcxContainer::AlignInnerControl() {
  if (!FInnerControl) return;
  const TRect& r = FViewInfo->ClientRect;
  if (FInnerControl->BoundsRect() == r) return;
  TCounterScope lock(FRefreshLockCount);
  FInnerControl->SetBoundsRect(r);
}

void TcxContainer::ApplyStyleToInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->BackgroundColor());
  FInnerControl->Font()->Assign(StyledFont());
}

TcxContainerInnerControlBounds TcxContainer::CalcChildVisiblePart(const TRect& AAlignRect, TWinControl* AChild) {
  TcxContainerInnerControlBounds result;
  const TRect b = AChild->BoundsRect();
  if (b.Left >= AAlignRect.Left && b.Top >= AAlignRect.Top && b.Right <= AAlignRect.Right &&
      b.Bottom <= AAlignRect.Bottom)
    return result;
  result.IsEmpty = false;
  result.Rect = TRect(0, 0, AChild->Width(), AChild->Height());
  if (b.Left < AAlignRect.Left) result.Rect.Left += AAlignRect.Left - b.Left;
  if (b.Top < AAlignRect.Top) result.Rect.Top += AAlignRect.Top - b.Top;
  if (b.Right > AAlignRect.Right) result.Rect.Right -= b.Right - AAlignRect.Right;
  if (b.Bottom > AAlignRect.Bottom) result.Rect.Bottom -= b.Bottom - AAlignRect.Bottom;
  return result;
}

void TcxContainer::AlignControls(TControl* AControl, TRect& Rect) {
  if (UsesPlainChildHandling()) {
    TcxControl::AlignControls(AControl, Rect);
    return;
  }
  if (FLockAlignControlsCount > 0 || (AControl && IsInternalControl(AControl))) return;
  if (!AControl) TcxControl::AlignControls(AControl, Rect);
  if (FIsCreating) return;
  auto* child = dynamic_cast<TWinControl*>(AControl);
  if (!child || !child->HandleAllocated()) return;
  const TcxContainerInnerControlBounds bounds = CalcChildVisiblePart(Rect, child);
  if (child == FInnerControl) {
    const bool changed = bounds.IsEmpty != FInnerControlBounds.IsEmpty ||
                         (!bounds.IsEmpty && bounds.Rect != FInnerControlBounds.Rect);
    if (!changed) return;
  }
  cxSetInnerControlRegion(child, bounds);
  FInnerControlBounds = bounds;
}

// ---- focus

bool TcxContainer::IsInnerControlFocused() {
  return FInnerControl && FInnerControl->HandleAllocated() && GetFocus() == FInnerControl->WindowHandle();
}

bool TcxContainer::Focused() {
  if (IsDesigning() || ControlState().Contains(csDestroyingHandle)) return false;
  HWND focus = GetFocus();
  if (!focus) return false;
  if (HandleAllocated() && focus == WindowHandle()) return true;
  return IsInnerControlFocused();
}

bool TcxContainer::CanFocusOnClick() {
  return TcxControl::CanFocusOnClick() && !IsInnerControlFocused() && !FInnerControlMouseDown;
}

void TcxContainer::FocusInnerControl() { FInnerControl->SetFocus(); }

void TcxContainer::SetFocus() {
  if (IsDesigning() || IsContainerFocused()) return;
  TControlGuard guard(this);
  TcxControl::SetFocus();
  if (!guard.Alive()) return;
  if (FInnerControl && FInnerControl->HandleAllocated() && HandleAllocated() && GetFocus() == WindowHandle()) {
    FocusInnerControl();
    if (!guard.Alive()) return;
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
  }
}

void TcxContainer::WMSetFocus(TWMSetFocus& Message) {
  if (!Visible()) return;
  if (IsDestroying() || !HandleAllocated() || !FInnerControl || !FInnerControl->HandleAllocated()) {
    DispatchInherited(TcxContainer::StaticClass(), &Message);
    return;
  }
  if (Message.FocusedWnd == FInnerControl->WindowHandle()) {
    // Focus handed back by our own inner window: no second round.
    Message.Msg = 0;
    Message.Result = 0;
    return;
  }
  TControlGuard guard(this);
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (guard.Alive() && FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TcxContainer::WMKillFocus(TWMKillFocus& Message) {
  if (FInnerControl && FInnerControl->HandleAllocated() && Message.FocusedWnd == FInnerControl->WindowHandle()) {
    Message.Msg = 0;
    Message.Result = 0;
    return;
  }
  DispatchInherited(TcxContainer::StaticClass(), &Message);
}

void TcxContainer::WMWindowPosChanging(TWMWindowPosMsg& Message) {
  if (IsDestroying()) {
    Message.Result = 0;
    return;
  }
  DispatchInherited(TcxContainer::StaticClass(), &Message);
  if (HandleAllocated() && GetFocus() == WindowHandle() && FInnerControl && FInnerControl->HandleAllocated() &&
      FInnerControl->CanFocus() && !ControlState().Contains(csFocusing))
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
}

void TcxContainer::KeyDown(Word& Key, TShiftState Shift) {
  TControlGuard guard(this);
  TcxControl::KeyDown(Key, Shift);
  if (!guard.Alive() || Key != VK_TAB || !Focused() || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) ||
      !CanMoveFocusOnTab())
    return;
  Key = 0;
  if (TCustomForm* form = GetParentForm(this)) {
    form->SelectNext(form->ActiveControl(), !Shift.Contains(ssShift), true);
    if (!guard.Alive()) return;
  }
  if (HandleAllocated() && FInnerControl && Focused() && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TcxContainer::GetTabOrderList(TList* List) {
  if (UsesPlainChildHandling()) {
    TcxControl::GetTabOrderList(List);
    return;
  }
  // The container stands for its children in the form's tab order.
  TCustomForm* form = GetParentForm(this);
  if (form && FInnerControl && form->ActiveControl() == FInnerControl && CanFocus()) {
    const int index = List->IndexOf(this);
    if (index >= 0)
      List->Put(index, FInnerControl);
    else
      List->Add(FInnerControl);
  }
}

// ---- keys

void TcxContainer::WndProc(TMessage& Message) {
  if (FInnerControl && FInnerControl->HandleAllocated()) {
    switch (Message.Msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case CN_KEYDOWN:
      case CN_KEYUP:
      case CN_CHAR:
        Message.Result = SendMessageW(FInnerControl->WindowHandle(), Message.Msg, Message.WParam, Message.LParam);
        return;
    }
  }
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic &&
      !IsDesigning()) {
    BeginDrag(false);
    return;
  }
  TcxControl::WndProc(Message);
}

// ---- mirrored scroll bars

void TcxContainer::RecalcScrollBars() {
  TcxControl::RecalcScrollBars();
  SetScrollBarsParameters(false);
}

bool TcxContainer::ReadInnerScrollBarInfo(TScrollBarKind AKind, SCROLLBARINFO& AInfo) {
  if (IsDestroying() || !Parent() || !HandleAllocated() || !FInnerControl || !FInnerControl->HandleAllocated())
    return false;
  return cxQueryScrollBarInfo(FInnerControl->WindowHandle(), AKind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL,
                              AInfo);
}

bool TcxContainer::IsScrollBarInfoVisible(const SCROLLBARINFO& AInfo) {
  return (AInfo.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0;
}

bool TcxContainer::IsScrollBarUsable(TcxControlScrollBar* ABar, const SCROLLBARINFO& AInfo) {
  return ABar->Parent() && ABar->Parent()->Enabled() && (AInfo.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

TRect TcxContainer::ScreenRectToClientBounds(const TRect& AScreenRect) {
  const TPoint topLeft = ScreenToClient(AScreenRect.TopLeft());
  const int w = AScreenRect.Width(), h = AScreenRect.Height();
  if (topLeft.X < 0 || topLeft.Y < 0 || w > Width() || h > Height()) return TRect();
  return TRect(topLeft.X, topLeft.Y, topLeft.X + w, topLeft.Y + h);
}

void TcxContainer::ShowScrollBarControl(TcxControlScrollBar* ABar, bool AShow) {
  ABar->SetVisible(AShow);
  if (AShow) {
    ABar->SetCtl3D(false);
    ABar->BringToFront();
  }
}

void TcxContainer::SyncScrollBarWithInner(TcxControlScrollBar* ABar) {
  SCROLLBARINFO info{};
  if (ReadInnerScrollBarInfo(ABar->Kind(), info) && IsScrollBarInfoVisible(info)) {
    ABar->SetEnabled(IsScrollBarUsable(ABar, info));
    const TRect r = ScreenRectToClientBounds(
        TRect(info.rcScrollBar.left, info.rcScrollBar.top, info.rcScrollBar.right, info.rcScrollBar.bottom));
    ABar->SetBoundsRect(r);
    ShowScrollBarControl(ABar, r.Width() > 0 && r.Height() > 0);
  } else {
    ShowScrollBarControl(ABar, false);
  }
}

void TcxContainer::SetScrollBarsParameters(bool AIsScrolling) {
  // A run started while the bars move would report a grip between half
  // moved bars.
  if (FScrollBarsCalculating || !HasOwnScrollBars() || !FInnerControl || IsDestroying() ||
      !cxCanQueryScrollBarInfo() || !HScrollBar() || !VScrollBar())
    return;
  TFlagScope calculating(FScrollBarsCalculating, true);
  for (TcxControlScrollBar* bar : {HScrollBar(), VScrollBar()}) {
    if (!AIsScrolling) SyncScrollBarWithInner(bar);
    if (!bar->Visible() || !FInnerControl->HandleAllocated()) continue;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(FInnerControl->WindowHandle(), bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &si)) continue;
    const int page = std::min(static_cast<int>(si.nPage), si.nMax);
    // The bar's own order: minimum, maximum, position, page.
    bar->SetScrollParams(si.nMin, si.nMax, si.nPos, std::max(page, 0), true);
  }
  TcxContainerSizeGripData grip;
  grip.Visible = HScrollBar()->Visible() && VScrollBar()->Visible() && FInnerControl->HandleAllocated() &&
                 dynamic_cast<IcxContainerInnerControl*>(FInnerControl) != nullptr;
  if (grip.Visible) cxGetInnerControlSizeGripRect(dynamic_cast<IcxContainerInnerControl*>(FInnerControl), grip.Bounds);
  if (grip.Visible && (!FSizeGripData.Visible || grip.Bounds != FSizeGripData.Bounds)) {
    // The update region of WM_NCPAINT is in screen coordinates.
    RECT window{};
    GetWindowRect(FInnerControl->WindowHandle(), &window);
    HRGN region = GdiCreateRectRgn(grip.Bounds.Left + window.left, grip.Bounds.Top + window.top,
                                   grip.Bounds.Right + window.left, grip.Bounds.Bottom + window.top);
    SendMessageW(FInnerControl->WindowHandle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    if (region) GdiDeleteObject(region);
  }
  FSizeGripData = grip;
}

void TcxContainer::UpdateScrollBarsParameters() {
  if (!IsDestroying() && HandleAllocated() && FInnerControl)
    PostMessageW(WindowHandle(), DXM_UPDATESCROLLBARS, 0, 0);
}

void TcxContainer::DXMUpdateScrollBars(TMessage&) { SetScrollBarsParameters(false); }
