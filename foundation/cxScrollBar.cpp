#include "foundation/cxScrollBar.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxThemeManager.h"
#include "platform/gui/Graphics.h"

#include <algorithm>

namespace {

// How far the mouse may leave the bar while dragging the thumb before the
// thumb jumps back: along the bar and across it.
constexpr int kTrackingSlackAlong = 34;
constexpr int kTrackingSlackAcross = 136;

TScrollCode ScrollCodeOfPart(TcxScrollBarPart APart) {
  switch (APart) {
    case sbpLineUp: return scLineUp;
    case sbpLineDown: return scLineDown;
    case sbpPageUp: return scPageUp;
    case sbpPageDown: return scPageDown;
    default: return scTrack;
  }
}

// MulDiv without the system's -1 for a zero divisor: nothing to share out
// gives 0.
int SafeMulDiv(int ANumber, int ANumerator, int ADenominator) {
  return ADenominator == 0 ? 0 : MulDiv(ANumber, ANumerator, ADenominator);
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxScrollBarViewInfo
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxScrollBarViewInfo, TObject, (ConstructWith<TcxScrollBarViewInfo, TcxScrollBar>))
END_CLASS

TcxScrollBarViewInfo::TcxScrollBarViewInfo(TcxScrollBar* AScrollBar) : FScrollBar(AScrollBar) {}

void TcxScrollBarViewInfo::Calculate() { DoCalculate(); }

void TcxScrollBarViewInfo::DoCalculate() {
  const int W = FScrollBar->Width();
  const int H = FScrollBar->Height();
  if (FScrollBar->Kind() == sbHorizontal) {
    const int L = std::min(GetSystemMetrics(SM_CYHSCROLL), W / 2);
    FTopLeftArrowRect = TRect(0, 0, L, H);
    FBottomRightArrowRect = TRect(W - L, 0, W, H);
  } else {
    const int L = std::min(GetSystemMetrics(SM_CXVSCROLL), H / 2);
    FTopLeftArrowRect = TRect(0, 0, W, L);
    FBottomRightArrowRect = TRect(0, H - L, W, H);
  }
  CalculateThumbnailRect();
}

void TcxScrollBarViewInfo::AdjustPageRects() {
  FPageUpRect = TRect();
  FPageDownRect = TRect();
  if (FThumbnailRect.IsEmpty()) return;
  if (FScrollBar->Kind() == sbHorizontal) {
    FPageUpRect = TRect(FTopLeftArrowRect.Right, 0, FThumbnailRect.Left, FScrollBar->Height());
    FPageDownRect = TRect(FThumbnailRect.Right, 0, FBottomRightArrowRect.Left, FScrollBar->Height());
  } else {
    FPageUpRect = TRect(0, FTopLeftArrowRect.Bottom, FScrollBar->Width(), FThumbnailRect.Top);
    FPageDownRect = TRect(0, FThumbnailRect.Bottom, FScrollBar->Width(), FBottomRightArrowRect.Top);
  }
}

void TcxScrollBarViewInfo::CalculateMinThumnailSize() { FThumbnailSize = FScrollBar->GetMinThumbSize(); }

void TcxScrollBarViewInfo::CalculateThumbnailRect() {
  FThumbnailRect = TRect();
  const TcxScrollBar* sb = FScrollBar;
  const bool horizontal = sb->Kind() == sbHorizontal;
  const int trackStart = horizontal ? FTopLeftArrowRect.Right : FTopLeftArrowRect.Bottom;
  const int T = (horizontal ? FBottomRightArrowRect.Left : FBottomRightArrowRect.Top) - trackStart;
  int start = 0, length = 0;
  bool has = sb->Enabled();
  if (has && sb->PageSize() != 0) {
    length = std::min(T, MulDiv(sb->PageSize(), T, sb->Max() - sb->Min() + 1));
    length = std::max(length, FThumbnailSize);
    has = T >= FThumbnailSize && sb->Max() != sb->Min();
    // A page covering the whole range leaves no room to move: the thumb
    // stays at the track start.
    const int D = sb->Max() - sb->Min() - sb->PageSize() + 1;
    start = trackStart + SafeMulDiv(T - length, std::min(sb->Position() - sb->Min(), D), D);
  } else if (has) {
    length = GetSystemMetrics(horizontal ? SM_CXHTHUMB : SM_CYVTHUMB);
    has = T >= length;
    if (T - length <= 0 || sb->Max() == sb->Min())
      start = trackStart;
    else
      start = trackStart + MulDiv(T - length, sb->Position() - sb->Min(), sb->Max() - sb->Min());
  }
  if (has && length > 0) {
    if (horizontal)
      FThumbnailRect = TRect(start, 0, start + length, sb->Height());
    else
      FThumbnailRect = TRect(0, start, sb->Width(), start + length);
  }
  AdjustPageRects();
}

void TcxScrollBarViewInfo::SetThumbnailPos(int APos) {
  if (FScrollBar->Kind() == sbHorizontal)
    FThumbnailRect = TRect(APos, FThumbnailRect.Top, APos + FThumbnailRect.Width(), FThumbnailRect.Bottom);
  else
    FThumbnailRect = TRect(FThumbnailRect.Left, APos, FThumbnailRect.Right, APos + FThumbnailRect.Height());
  AdjustPageRects();
}

// ---------------------------------------------------------------------------
// TcxScrollBar
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxScrollBar, TCustomControl, (ConstructWith<TcxScrollBar, TComponent>))
  b.Message<&TcxScrollBar::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TcxScrollBar::WMCancelMode>(WM_CANCELMODE);
  b.Message<&TcxScrollBar::CMMouseEnter>(CM_MOUSEENTER);
  b.Message<&TcxScrollBar::CMMouseLeave>(CM_MOUSELEAVE);
  b.Message<&TcxScrollBar::CMEnabledChanged>(CM_ENABLEDCHANGED);
  b.Message<&TcxScrollBar::CMVisibleChanged>(CM_VISIBLECHANGED);
  b.Message<&TcxScrollBar::CMCtl3DChanged>(CM_CTL3DCHANGED);
  b.Message<&TcxScrollBar::CMSysColorChange>(CM_SYSCOLORCHANGE);
  b.Message<&TcxScrollBar::CNHScroll>(CN_HSCROLL);
  b.Message<&TcxScrollBar::CNVScroll>(CN_VSCROLL);
  b.Message<&TcxScrollBar::CNCtlColorScrollBar>(CN_CTLCOLORSCROLLBAR);
  using S = TcxScrollBar;
  DefaultValue(b.Prop(L"Kind", &S::Kind, &S::SetKind), sbHorizontal);
  DefaultValue(b.Prop(L"LargeChange", &S::LargeChange, &S::SetLargeChange), 1);
  DefaultValue(b.Prop(L"SmallChange", &S::SmallChange, &S::SetSmallChange), 1);
  DefaultValue(b.Prop(L"Max", &S::Max, &S::SetMax), 100);
  DefaultValue(b.Prop(L"Min", &S::Min, &S::SetMin), 0);
  b.Prop(L"PageSize", &S::PageSize, &S::SetPageSize);
  DefaultValue(b.Prop(L"Position", &S::Position, &S::SetPosition), 0);
  DefaultValue(b.Prop(L"UnlimitedTracking", &S::UnlimitedTracking, &S::SetUnlimitedTracking), 0);
  b.Prop(L"LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel);
  PublishControl(b, {L"Align", L"Anchors", L"Constraints", L"DragCursor", L"DragKind", L"DragMode", L"Enabled", L"ParentShowHint", L"PopupMenu",
                     L"ShowHint", L"Visible"});
  b.Field(L"OnChange", &S::OnChange);
  b.Field(L"OnScroll", &S::OnScroll);
  PublishControl(b, {L"OnContextPopup", L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnEnter", L"OnExit",
                     L"OnKeyDown", L"OnKeyPress", L"OnKeyUp"});
END_CLASS

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FBitmap = Make<TBitmap>();
  FBitmap->SetPixelFormat(pfDevice);
  FCanvas = Make<TcxCanvas>(FBitmap->Canvas());
  FLookAndFeel = Make<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxScrollBar::LookAndFeelChangeHandler>(this);
  SetWidth(121);
  SetControlStyle(TControlStyle{csCaptureMouse, csFramed, csOpaque});
  FKind = sbHorizontal;
  SetHeight(GetSystemMetrics(SM_CYHSCROLL));
  FThemeChangedNotificator = Make<TdxThemeChangedNotificator>();
  FThemeChangedNotificator->OnThemeChanged = TdxThemeChangedEvent::Bind<&TcxScrollBar::ThemeChanged>(this);
  FTimer = Make<TcxTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxScrollBarFirstRepeatInterval);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxScrollBar::TimerHandler>(this));
}

void TcxScrollBar::AfterConstruction() {
  TCustomControl::AfterConstruction();
  // The view info's class and the minimum thumb are descendants' choices:
  // asked here, where their overrides answer.
  FViewInfo = GetViewInfoClass().Create(this);
  FViewInfo->CalculateMinThumnailSize();
  FViewInfo->Calculate();
}

TBitmap* TcxScrollBar::Bitmap() {
  // Sized on demand: a scroll bar is resized (and turned) several times
  // before it first shows, each size would make a device bitmap.
  if (Width() > 0 && Height() > 0 && (FBitmap->Width() != Width() || FBitmap->Height() != Height()))
    FBitmap->SetSize(Width(), Height());
  return FBitmap;
}

TcxScrollBar::~TcxScrollBar() {
  FreeAndNil(FTimer);
  FreeAndNil(FThemeChangedNotificator);
  FreeAndNil(FViewInfo);
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FCanvas);
  FreeAndNil(FBitmap);
}

TcxScrollBarViewInfoClass TcxScrollBar::GetViewInfoClass() {
  return TcxScrollBarViewInfoClass::Of<TcxScrollBarViewInfo>();
}

void TcxScrollBar::SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw) {
  // The page is measured from 0, or from a minimum below 0: a range below
  // zero can hold a page as large as a range of the same length from 0.
  if (AMax < AMin || AMax - std::min(AMin, 0) < APageSize)
    throw EInvalidOperation(L"Scrollbar property out of range");
  bool redraw = ARedraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition)
    redraw = false;
  else {
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
  }
  if (APosition == FPosition) {
    if (FViewInfo) FViewInfo->CalculateThumbnailRect();
    if (redraw) RepaintBar();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  if (FViewInfo) FViewInfo->CalculateThumbnailRect();
  if (redraw) RepaintBar();
  FireChange();
}

void TcxScrollBar::SetParams(int APosition, int AMin, int AMax) {
  SetScrollParams(AMin, AMax, APosition, FPageSize, true);
}

void TcxScrollBar::SetMax(int AValue) { SetScrollParams(FMin, AValue, FPosition, FPageSize, true); }
void TcxScrollBar::SetMin(int AValue) { SetScrollParams(AValue, FMax, FPosition, FPageSize, true); }
void TcxScrollBar::SetPageSize(int AValue) { SetScrollParams(FMin, FMax, FPosition, AValue, true); }
void TcxScrollBar::SetPosition(int AValue) { SetScrollParams(FMin, FMax, AValue, FPageSize, true); }

void TcxScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const TRect before = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  // The off-screen image takes the new size when it is next asked for.
  if (BoundsRect() != before && Width() > 0 && Height() > 0 && FViewInfo) FViewInfo->Calculate();
}

void TcxScrollBar::SetKind(TScrollBarKind AValue) {
  if (AValue == FKind) return;
  FKind = AValue;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  if (FViewInfo) FViewInfo->Calculate();
  Invalidate();
}

void TcxScrollBar::SetLookAndFeel(TcxLookAndFeel* AValue) { FLookAndFeel->Assign(AValue); }

bool TcxScrollBar::Ctl3D() const { return TCustomControl::Ctl3D() || FRealCtl3D; }

void TcxScrollBar::SetCtl3D(bool AValue) {
  FRealCtl3D = AValue;
  if (TCustomControl::Ctl3D() != AValue) TCustomControl::SetCtl3D(AValue);
}

void TcxScrollBar::Loaded() {
  TCustomControl::Loaded();
  if (FViewInfo) FViewInfo->Calculate();
}

// ---- painter

void TcxScrollBar::FireChange() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  if (OnChange) OnChange(this);
}

void TcxScrollBar::FireScroll(TScrollCode AScrollCode, int& AScrollPos) {
  if (OnScroll) OnScroll(this, AScrollCode, AScrollPos);
}

void TcxScrollBar::DrawTrackBackground(TcxCanvas* ACanvas, const TRect& ARect) {
  FLookAndFeel->GetAvailablePainter(totScrollBar)->DrawScrollBarBackground(ACanvas, ARect, FKind == sbHorizontal);
}

void TcxScrollBar::DrawPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart,
                            TcxButtonState AState) {
  FLookAndFeel->GetAvailablePainter(totScrollBar)->DrawScrollBarPart(ACanvas, FKind == sbHorizontal, ARect, APart,
                                                                      AState);
}

bool TcxScrollBar::UsesHotTrack() { return FLookAndFeel->GetAvailablePainter(totScrollBar)->IsButtonHotTrack(); }

int TcxScrollBar::GetMinThumbSize() {
  return FLookAndFeel->GetAvailablePainter(totScrollBar)->ScrollBarMinimalThumbSize(FKind == sbVertical);
}

TcxButtonState TcxScrollBar::PartState(TcxScrollBarPart APart) {
  if (!Enabled()) return cxbsDisabled;
  if (APart != FState.HotPart || (APart == sbpThumbnail && !UsesHotTrack())) return cxbsNormal;
  if (FState.PressedPart == sbpNone)
    return ComponentState().Contains(csDesigning) ? cxbsNormal : cxbsHot;
  return APart == FState.PressedPart ? cxbsPressed : cxbsNormal;
}

void TcxScrollBar::PaintPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart) {
  DrawPart(ACanvas, ARect, APart, PartState(APart));
}

void TcxScrollBar::PaintParts(TcxCanvas* ACanvas) {
  DrawTrackBackground(ACanvas, TRect(0, 0, Width(), Height()));
  PaintPart(ACanvas, FViewInfo->TopLeftArrowRect(), sbpLineUp);
  PaintPart(ACanvas, FViewInfo->BottomRightArrowRect(), sbpLineDown);
  if (!FViewInfo->ThumbnailRect().IsEmpty()) PaintPart(ACanvas, FViewInfo->ThumbnailRect(), sbpThumbnail);
  if (!FViewInfo->PageUpRect().IsEmpty()) PaintPart(ACanvas, FViewInfo->PageUpRect(), sbpPageUp);
  if (!FViewInfo->PageDownRect().IsEmpty()) PaintPart(ACanvas, FViewInfo->PageDownRect(), sbpPageDown);
}

void TcxScrollBar::Paint() {
  if (Width() <= 0 || Height() <= 0 || !FViewInfo) return;
  Bitmap();
  PaintParts(FCanvas);
  BitBlt(TCustomControl::Canvas()->Handle(), 0, 0, Width(), Height(), FBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxScrollBar::RepaintBar() {
  if (HandleAllocated()) Repaint();
}

void TcxScrollBar::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

// ---- geometry

int TcxScrollBar::TrackStart() {
  return FKind == sbHorizontal ? FViewInfo->TopLeftArrowRect().Right : FViewInfo->TopLeftArrowRect().Bottom;
}

int TcxScrollBar::TrackLength() {
  return (FKind == sbHorizontal ? FViewInfo->BottomRightArrowRect().Left : FViewInfo->BottomRightArrowRect().Top) -
         TrackStart();
}

TcxScrollBarPart TcxScrollBar::GetScrollBarPart(const TPoint& P) {
  auto in = [&P](const TRect& R) { return R.Contains(P); };
  if (!in(TRect(0, 0, Width(), Height()))) return sbpNone;
  if (in(FViewInfo->TopLeftArrowRect())) return sbpLineUp;
  if (in(FViewInfo->BottomRightArrowRect())) return sbpLineDown;
  if (FViewInfo->ThumbnailRect().IsEmpty()) return sbpNone;
  if (in(FViewInfo->ThumbnailRect())) return sbpThumbnail;
  if (in(FViewInfo->PageUpRect())) return sbpPageUp;
  if (in(FViewInfo->PageDownRect())) return sbpPageDown;
  return sbpNone;
}

int TcxScrollBar::PositionFromThumbnail() {
  const TRect& thumb = FViewInfo->ThumbnailRect();
  const int length = FKind == sbHorizontal ? thumb.Width() : thumb.Height();
  const int offset = (FKind == sbHorizontal ? thumb.Left : thumb.Top) - TrackStart();
  const int range = FMax - FMin + (FPageSize > 0 ? 1 - FPageSize : 0);
  // A thumb filling the track leaves no free track: the position is Min.
  return FMin + SafeMulDiv(range, offset, TrackLength() - length);
}

bool TcxScrollBar::IsRepeatPart(TcxScrollBarPart APart) const {
  return APart == sbpLineUp || APart == sbpLineDown || APart == sbpPageUp || APart == sbpPageDown;
}

// ---- scrolling

void TcxScrollBar::Scroll(TScrollCode AScrollCode) {
  int pos = FPosition;
  switch (AScrollCode) {
    case scLineUp: pos = FPosition - FSmallChange; break;
    case scLineDown: pos = FPosition + FSmallChange; break;
    case scPageUp: pos = FPosition - FLargeChange; break;
    case scPageDown: pos = FPosition + FLargeChange; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, FMax);
  FireScroll(AScrollCode, pos);
  pos = std::clamp(pos, FMin, FMax);
  if (pos == FPosition) return;
  if (AScrollCode == scTrack) {
    FPosition = pos;
    RepaintBar();
  } else
    SetPosition(pos);
}

void TcxScrollBar::CancelScroll() {
  if (FState.PressedPart == sbpNone) {
    FState.HotPart = sbpNone;
    return;
  }
  if (FState.PressedPart == sbpThumbnail) {
    SetPosition(std::clamp(PositionFromThumbnail(), FMin, FMax));
    Scroll(scPosition);
  }
  FTimer->SetEnabled(false);
  FState.PressedPart = sbpNone;
  FState.HotPart = sbpNone;
  Scroll(scEndScroll);
  FViewInfo->CalculateThumbnailRect();
  Invalidate();
}

void TcxScrollBar::TimerHandler(TObject*) {
  if (MouseCapture() && IsRepeatPart(FState.PressedPart)) {
    if (FTimer->Interval() == cxScrollBarFirstRepeatInterval) FTimer->SetInterval(cxScrollBarRepeatInterval);
    Scroll(ScrollCodeOfPart(FState.PressedPart));
    POINT p;
    GetCursorPos(&p);
    FTimer->SetEnabled(GetScrollBarPart(ScreenToClient(TPoint(p.x, p.y))) == FState.PressedPart);
  } else
    CancelScroll();
}

// ---- mouse

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TcxScrollBarPart part = GetScrollBarPart({X, Y});
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    FDownMousePos = {X, Y};
    FSavePosition = FPosition;
    FSaveThumbnailPos = FViewInfo->ThumbnailRect().TopLeft();
    FState.PressedPart = part;
    FState.HotPart = part;
    Scroll(scTrack);
  } else {
    FState.PressedPart = part;
    FState.HotPart = part;
    Scroll(ScrollCodeOfPart(part));
    FTimer->SetInterval(cxScrollBarFirstRepeatInterval);
    FTimer->SetEnabled(true);
  }
  RepaintBar();
}

void TcxScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FState.PressedPart == sbpThumbnail) {
    const bool horizontal = FKind == sbHorizontal;
    TRect area(0, 0, Width(), Height());
    const int dx = horizontal ? kTrackingSlackAlong : kTrackingSlackAcross;
    const int dy = horizontal ? kTrackingSlackAcross : kTrackingSlackAlong;
    area = TRect(area.Left - dx, area.Top - dy, area.Right + dx, area.Bottom + dy);
    if (FUnlimitedTracking || area.Contains(TPoint(X, Y))) {
      const int delta = horizontal ? X - FDownMousePos.X : Y - FDownMousePos.Y;
      const TRect& thumb = FViewInfo->ThumbnailRect();
      const int length = horizontal ? thumb.Width() : thumb.Height();
      const int origin = horizontal ? FSaveThumbnailPos.X : FSaveThumbnailPos.Y;
      const int pos = std::clamp(origin + delta, TrackStart(), TrackStart() + TrackLength() - length);
      if (pos != (horizontal ? thumb.Left : thumb.Top)) {
        FViewInfo->SetThumbnailPos(pos);
        RepaintBar();
      }
      const int p = std::clamp(PositionFromThumbnail(), FMin, FMax);
      if (p != FPosition) {
        FPosition = p;
        Scroll(scTrack);
      }
    } else {
      if (FSavePosition != FPosition) {
        SetPosition(FSavePosition);
        Scroll(scTrack);
      }
      FViewInfo->CalculateThumbnailRect();
      RepaintBar();
    }
    return;
  }
  const TcxScrollBarPart part = GetScrollBarPart({X, Y});
  if (FState.PressedPart != sbpNone) FTimer->SetEnabled(part == FState.PressedPart);
  if (part != FState.HotPart) {
    FState.HotPart = part;
    if (UsesHotTrack()) RepaintBar();
  }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  CancelScroll();
  FState.HotPart = GetScrollBarPart({X, Y});
  RepaintBar();
}

void TcxScrollBar::WMCancelMode(TWMNoParams& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  CancelScroll();
}

void TcxScrollBar::CMMouseEnter(TMessage& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  if (UsesHotTrack() || IsRepeatPart(FState.PressedPart)) RepaintBar();
}

void TcxScrollBar::CMMouseLeave(TMessage& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  if (FState.PressedPart != sbpThumbnail) FState.HotPart = sbpNone;
  if (UsesHotTrack() || IsRepeatPart(FState.PressedPart)) Invalidate();
}

void TcxScrollBar::CMEnabledChanged(TMessage& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  if (!Enabled()) CancelScroll();
  if (FViewInfo) FViewInfo->CalculateThumbnailRect();
  Invalidate();
}

void TcxScrollBar::CMVisibleChanged(TMessage& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  if (!Visible()) CancelScroll();
}

void TcxScrollBar::CNHScroll(TWMScroll& Message) {
  TScrollCode code;
  if (ScrollCodeOf(static_cast<Word>(Message.ScrollCode), code)) Scroll(code);
}

void TcxScrollBar::CNVScroll(TWMScroll& Message) { CNHScroll(Message); }

// ---- look and feel and themes

void TcxScrollBar::LookAndFeelChangeHandler(TcxLookAndFeel*, TcxLookAndFeelValues) { LookAndFeelChanged(); }

void TcxScrollBar::LookAndFeelChanged() {
  const bool skinned = FLookAndFeel->SkinPainter() != nullptr && FLookAndFeel->Painter() == FLookAndFeel->SkinPainter();
  FChangingCtl3D = true;
  if (skinned && FRealCtl3D)
    TCustomControl::SetCtl3D(false);
  else
    TCustomControl::SetCtl3D(FRealCtl3D);
  FChangingCtl3D = false;
  if (!FViewInfo) return;
  FViewInfo->CalculateMinThumnailSize();
  FViewInfo->Calculate();
  Invalidate();
}

void TcxScrollBar::CMCtl3DChanged(TMessage& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  if (FChangingCtl3D) return;
  FRealCtl3D = TCustomControl::Ctl3D();
  LookAndFeelChanged();
}

void TcxScrollBar::ThemeChanged() {
  cxRefreshScrollBarPatternBitmaps();
  if (!FViewInfo) return;
  FViewInfo->CalculateMinThumnailSize();
  FViewInfo->Calculate();
  Invalidate();
  if (Parent()) Parent()->Realign();
}

void TcxScrollBar::CMSysColorChange(TMessage& Message) {
  DispatchInherited(TcxScrollBar::StaticClass(), &Message);
  cxRefreshScrollBarPatternBitmaps();
}

void TcxScrollBar::CNCtlColorScrollBar(TMessage& Message) {
  cxRefreshScrollBarPatternBitmaps();
  if (HandleAllocated()) Message.Result = CallWindowProcW(DefWndProc(), WindowHandle(), Message.Msg - CN_BASE,
                                                          Message.WParam, Message.LParam);
}
