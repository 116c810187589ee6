#include "foundation/cxControlsDragDrop.h"
#include "foundation/cxControls.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"

// ---------------------------------------------------------------------------
// TcxDragAndDropObject
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxDragAndDropObject, TObject, (ConstructWith<TcxDragAndDropObject, TcxControl>))
END_CLASS

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* AControl)
    : FCanvas(AControl ? AControl->Canvas() : nullptr), FControl(AControl) {}

void TcxDragAndDropObject::SetDirty(bool AValue) {
  if (AValue == FDirty) return;
  FDirty = AValue;
  HandleDirtyChange();
}

void TcxDragAndDropObject::DoBeginDragAndDrop() {
  POINT p;
  GetCursorPos(&p);
  const TPoint client = FControl ? FControl->ScreenToClient(TPoint(p.x, p.y)) : TPoint(p.x, p.y);
  CurMousePos = client;
  PrevMousePos = client;
  BeginStep();
}

void TcxDragAndDropObject::DoDragAndDrop(const TPoint& P, bool& Accepted) {
  PrevMousePos = CurMousePos;
  CurMousePos = P;
  MoveStep(P, Accepted);
}

void TcxDragAndDropObject::DoEndDragAndDrop(bool Accepted) {
  EndStep(Accepted);
  AfterDragAndDropEnds(Accepted);
}

TCursor TcxDragAndDropObject::AcceptanceCursor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }

void TcxDragAndDropObject::BeginStep() { HandleDirtyChange(); }

void TcxDragAndDropObject::MoveStep(const TPoint&, bool& Accepted) {
  SetDirty(false);
  if (Screen) Screen->SetCursor(AcceptanceCursor(Accepted));
}

void TcxDragAndDropObject::EndStep(bool) { SetDirty(true); }

// ---------------------------------------------------------------------------
// TcxDragControlObject, TcxDragImageList
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxDragControlObject, TDragControlObject, (ConstructWith<TcxDragControlObject, TControl>))
END_CLASS

TcxDragControlObject::TcxDragControlObject(TControl* AControl) : TDragControlObject(AControl) {}

void TcxDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  TDragControlObject::Finished(Target, X, Y, Accepted);
  TObject::Free(this);
}

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  auto* control = dynamic_cast<TcxControl*>(Control());
  if (Accepted && control && control->IsCopyDragKeyDown()) return crcxDragCopy;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

BEGIN_CLASS(TcxDragImageList, TDragImageList, (ConstructWith<TcxDragImageList, TComponent>))
END_CLASS

TcxDragImageList::TcxDragImageList(TComponent* AOwner) : TDragImageList(AOwner) {}

// ---------------------------------------------------------------------------
// TcxCustomDragImage
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxCustomDragImage, TcxPopupWindow, (ConstructPlain<TcxCustomDragImage>))
  b.Message<&TcxCustomDragImage::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TcxCustomDragImage::WMNCHitTest>(WM_NCHITTEST);
END_CLASS

TcxCustomDragImage::TcxCustomDragImage() {
  SetBounds(0, 0, 0, 0);
  SetAlphaBlend(true);
  SetAlphaBlendValue(180);
  SetPopupMode(pmExplicit);
}

TcxCustomDragImage::~TcxCustomDragImage() { SetPopupMode(pmNone); }

void TcxCustomDragImage::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  if (PopupParent())
    Params.WndParent = PopupParent()->Handle();
  else if (Screen && Screen->ActiveForm())
    Params.WndParent = Screen->ActiveForm()->Handle();
  Params.WindowClass.style |= CS_SAVEBITS;
}

bool TcxCustomDragImage::AlphaBlended() { return AlphaBlend(); }

bool TcxCustomDragImage::Visible() { return HandleAllocated() && IsWindowVisible(WindowHandle()); }

void TcxCustomDragImage::SetVisible(bool AValue) {
  if (AValue == Visible()) return;
  if (AValue)
    Show(SW_SHOWNA);
  else
    Hide();
}

void TcxCustomDragImage::Init(const TRect& ASourceBounds, const TPoint& ASourcePoint) {
  SetWidth(ASourceBounds.Width());
  SetHeight(ASourceBounds.Height());
  FPositionOffset = TPoint(ASourcePoint.X - ASourceBounds.Left, ASourcePoint.Y - ASourceBounds.Top);
}

void TcxCustomDragImage::MoveTo(const TPoint& APosition) {
  HandleNeeded();
  SetBounds(APosition.X - FPositionOffset.X, APosition.Y - FPositionOffset.Y, Width(), Height());
}

void TcxCustomDragImage::Show(int ACmdShow) {
  ShowWindow(Handle(), ACmdShow);
  Update();
}

void TcxCustomDragImage::Hide() {
  if (HandleAllocated()) ShowWindow(WindowHandle(), SW_HIDE);
}

void TcxCustomDragImage::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TcxCustomDragImage::WMNCHitTest(TWMNCHitTest& Message) { Message.Result = HTTRANSPARENT; }

// ---------------------------------------------------------------------------
// TcxSizeFrame
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxSizeFrame, TcxCustomDragImage, nullptr)
END_CLASS

TcxSizeFrame::TcxSizeFrame(int AFrameWidth) : FFrameWidth(AFrameWidth) {
  SetAlphaBlend(false);
  FRegion = Make<TcxRegion>();
  FPattern = AllocPatternBitmap(clBlack, clWhite);
  Canvas()->Brush()->SetBitmap(FPattern);
}

TcxSizeFrame::~TcxSizeFrame() { FreeAndNil(FRegion); }

void TcxSizeFrame::Paint() { Canvas()->FillRect(ClientRect()); }

void TcxSizeFrame::DrawSizeFrame(const TRect& ARect) {
  FreeAndNil(FRegion);
  FRegion = Make<TcxRegion>(0, 0, ARect.Width(), ARect.Height());
  SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
}

void TcxSizeFrame::DrawSizeFrame(const TRect& ARect, TcxRegion* ARegion) {
  FRegion->Combine(ARegion, roSet, false);
  SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
}

void TcxSizeFrame::MakeFrameRegion() {
  // The part at least w inside the outline in all four directions, taken
  // away from the region, leaves the band of width w along the outline.
  const int w = FFrameWidth;
  TcxRegion* inner = Make<TcxRegion>();
  inner->Combine(FRegion, roSet, false);
  const TPoint shifts[] = {{w, 0}, {0, w}, {-w, 0}, {0, -w}};
  for (const TPoint& shift : shifts) {
    TcxRegion* moved = Make<TcxRegion>();
    moved->Combine(inner, roSet, false);
    moved->Offset(shift);
    inner->Combine(moved, roIntersect, true);
  }
  FRegion->Combine(inner, roSubtract, true);
}

void TcxSizeFrame::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TcxCustomDragImage::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!FRegion || !HandleAllocated() || 2 * FFrameWidth >= AWidth || 2 * FFrameWidth >= AHeight) return;
  if (!FFillSelection) MakeFrameRegion();
  HRGN current = GdiCreateRectRgn(0, 0, 0, 0);
  const bool has = current && GetWindowRgn(WindowHandle(), current) != ERROR;
  const bool same = has && FRegion->IsEqual(current);
  if (current) GdiDeleteObject(current);
  if (same) return;
  HRGN copy = GdiCreateRectRgn(0, 0, 0, 0);
  if (!copy) return;
  CombineRgn(copy, FRegion->Handle(), nullptr, RGN_COPY);
  // The window owns the copy from here on (the system may replace the handle
  // at once, so it is handed out before).
  GdiDisown(copy);
  if (!SetWindowRgn(WindowHandle(), copy, TRUE)) {
    GdiAdopt(copy);
    GdiDeleteObject(copy);
  }
}
