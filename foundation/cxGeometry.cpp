#include "platform/WinApi.h"
#include "foundation/cxGeometry.h"

#include "platform/core/Components.h"

namespace {

int gInitCount = 0;

bool DimensionStored(TObject* AObject, int AIndex) {
  return static_cast<TcxSize*>(AObject)->IsDimensionStored(AIndex);
}

}  // namespace

BEGIN_CLASS(TcxRect, TPersistent, (ConstructWith<TcxRect, TPersistent>))
  DefaultValue(b.Prop(L"Left", &TcxRect::Left, &TcxRect::SetLeft), 0);
  DefaultValue(b.Prop(L"Top", &TcxRect::Top, &TcxRect::SetTop), 0);
  DefaultValue(b.Prop(L"Right", &TcxRect::Right, &TcxRect::SetRight), 0);
  DefaultValue(b.Prop(L"Bottom", &TcxRect::Bottom, &TcxRect::SetBottom), 0);
END_CLASS

BEGIN_CLASS(TcxSize, TPersistent, (ConstructWith<TcxSize, TPersistent>))
  b.Prop(L"Width", &TcxSize::Width, &TcxSize::SetWidth).Stored = [](TObject* o) { return DimensionStored(o, 1); };
  b.Prop(L"Height", &TcxSize::Height, &TcxSize::SetHeight).Stored = [](TObject* o) { return DimensionStored(o, 0); };
END_CLASS

// ---------------------------------------------------------------------------
// TcxRect
// ---------------------------------------------------------------------------

TcxRect::TcxRect(TPersistent* AOwner) : FOwner(AOwner) {}

void TcxRect::Assign(TPersistent* Source) {
  // Anything but a rectangle is ignored.
  if (auto* source = dynamic_cast<TcxRect*>(Source)) SetRect(source->FRect);
}

bool TcxRect::IsEmpty() const {
  return FRect.Left == 0 && FRect.Top == 0 && FRect.Right == 0 && FRect.Bottom == 0;
}

int TcxRect::GetValue(int AIndex) const {
  switch (AIndex) {
    case 0: return FRect.Left;
    case 1: return FRect.Top;
    case 2: return FRect.Right;
    case 3: return FRect.Bottom;
    default: return 0;
  }
}

void TcxRect::SetValue(int AIndex, int AValue) {
  TRect r = FRect;
  switch (AIndex) {
    case 0: r.Left = AValue; break;
    case 1: r.Top = AValue; break;
    case 2: r.Right = AValue; break;
    case 3: r.Bottom = AValue; break;
    default: break;
  }
  SetRect(r);
}

void TcxRect::SetRect(const TRect& AValue) {
  TRect r = AValue;
  AdjustNewRect(r);
  if (r == FRect) return;
  FRect = r;
  if (OnChange) OnChange(this);
}

void TcxRect::AdjustNewRect(TRect&) {}

void TcxRect::SetWidth(int AValue) {
  SetRect({FRect.Left, FRect.Top, FRect.Left + AValue, FRect.Bottom});
}

void TcxRect::SetHeight(int AValue) {
  SetRect({FRect.Left, FRect.Top, FRect.Right, FRect.Top + AValue});
}

void TcxRect::SetTopLeft(const TPoint& P) {
  SetRect({P.X, P.Y, FRect.Right, FRect.Bottom});
}

void TcxRect::SetTopRight(const TPoint& P) {
  SetRect({FRect.Left, P.Y, P.X, FRect.Bottom});
}

void TcxRect::SetBottomLeft(const TPoint& P) {
  SetRect({P.X, FRect.Top, FRect.Right, P.Y});
}

void TcxRect::SetBottomRight(const TPoint& P) {
  SetRect({FRect.Left, FRect.Top, P.X, P.Y});
}

// ---------------------------------------------------------------------------
// TcxSize
// ---------------------------------------------------------------------------

TcxSize::TcxSize(TPersistent* AOwner) : FOwner(AOwner) {}

void TcxSize::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxSize*>(Source))
    SetSize(source->FSize);
  else
    TPersistent::Assign(Source);
}

void TcxSize::SetSize(const TSize& AValue) {
  const TSize size(AValue.cx < 0 ? 0 : AValue.cx, AValue.cy < 0 ? 0 : AValue.cy);
  if (size == FSize) return;
  FSize = size;
  FireChange();
}

void TcxSize::SetWidth(int AValue) {
  SetSize({AValue, FSize.cy});
}

void TcxSize::SetHeight(int AValue) {
  SetSize({FSize.cx, AValue});
}

int TcxSize::GetDimension(int AIndex) const {
  return AIndex == 0 ? FSize.cy : FSize.cx;
}

void TcxSize::FireChange() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Value routines
// ---------------------------------------------------------------------------

TRect cxGrowRect(const TRect& R, int DX1, int DY1, int DX2, int DY2) {
  return {R.Left - DX1, R.Top - DY1, R.Right + DX2, R.Bottom + DY2};
}

TRect cxShiftRect(const TRect& R, int DX, int DY, bool APositive) {
  if (!APositive) {
    DX = -DX;
    DY = -DY;
  }
  return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}

TPoint cxShiftPoint(const TPoint& P, int X, int Y, bool APositive) {
  return APositive ? TPoint(P.X + X, P.Y + Y) : TPoint(P.X - X, P.Y - Y);
}

bool cxIsPointInRect(const TRect& R, int X, int Y) {
  return R.Left <= X && X < R.Right && R.Top <= Y && Y < R.Bottom;
}

TRect cxRectFromPoints(const TPoint& ATopLeft, const TPoint& ABottomRight) {
  return {ATopLeft.X, ATopLeft.Y, ABottomRight.X, ABottomRight.Y};
}

TRect cxRectSetHorzSpan(const TRect& R, int ALeft, int AWidth) {
  return {ALeft, R.Top, ALeft + AWidth, R.Bottom};
}

TRect cxCenterSizeInRect(const TRect& R, int AWidth, int AHeight) {
  // C++ division truncates toward zero, as the offsets require.
  const int left = static_cast<int>((Int64(R.Left) + R.Right - AWidth) / 2);
  const int top = static_cast<int>((Int64(R.Top) + R.Bottom - AHeight) / 2);
  return {left, top, left + AWidth, top + AHeight};
}

TPoint cxNegatePoint(const TPoint& P) {
  return {-P.X, -P.Y};
}

TPoint cxMakePoint(int X, int Y) {
  return {X, Y};
}

bool cxRectHasNoArea(const TRect& R) {
  return R.Left >= R.Right || R.Top >= R.Bottom;
}

bool cxRectsMatch(const TRect& A, const TRect& B) {
  return A == B;
}

bool cxPointsMatch(const TPoint& A, const TPoint& B) {
  return A == B;
}

bool cxPointsMatch(const TSize& A, const TSize& B) {
  return A == B;
}

int cxRangeCenter(int A, int B) {
  const Int64 sum = Int64(A) + B;
  return static_cast<int>(sum > 0 ? sum / 2 : (sum - 1) / 2);
}

void cxEnlargeSizeTo(TSize& ASize, const TSize& AMinSize) {
  if (ASize.cx < AMinSize.cx) ASize.cx = AMinSize.cx;
  if (ASize.cy < AMinSize.cy) ASize.cy = AMinSize.cy;
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void cxGeometryInitialize() {
  if (gInitCount++ > 0) return;
  RegisterClass(TcxRect::StaticClass());
}

void cxGeometryFinalize() {
  if (gInitCount == 0 || --gInitCount > 0) return;
  UnRegisterClass(TcxRect::StaticClass());
}
