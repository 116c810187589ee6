// Rectangles and sizes as streamed properties with a change event, and the
// value routines on rectangles, points and sizes. Rectangles are half-open:
// Right and Bottom lie outside.
#pragma once

#include "platform/core/Persistent.h"
#include "platform/core/System.h"

class TcxRect : public TPersistent {
  DECLARE_CLASS(TcxRect, TPersistent)
  explicit TcxRect(TPersistent* AOwner);

  void Assign(TPersistent* Source) override;
  bool IsEmpty() const;
  bool IsEqual(const TRect& ARect) const { return FRect == ARect; }
  bool IsEqual(const TcxRect* ARect) const { return ARect && FRect == ARect->FRect; }

  // 0 Left, 1 Top, 2 Right, 3 Bottom; other indexes read 0 and change nothing.
  int GetValue(int AIndex) const;
  void SetValue(int AIndex, int AValue);

  int Left() const { return FRect.Left; }
  int Top() const { return FRect.Top; }
  int Right() const { return FRect.Right; }
  int Bottom() const { return FRect.Bottom; }
  void SetLeft(int AValue) { SetValue(0, AValue); }
  void SetTop(int AValue) { SetValue(1, AValue); }
  void SetRight(int AValue) { SetValue(2, AValue); }
  void SetBottom(int AValue) { SetValue(3, AValue); }

  const TRect& Rect() const { return FRect; }
  // Every setter ends here: the value is adjusted, then stored and reported
  // when it differs.
  void SetRect(const TRect& AValue);
  int Width() const { return FRect.Right - FRect.Left; }
  int Height() const { return FRect.Bottom - FRect.Top; }
  void SetWidth(int AValue);
  void SetHeight(int AValue);
  TPoint TopLeft() const { return {FRect.Left, FRect.Top}; }
  TPoint TopRight() const { return {FRect.Right, FRect.Top}; }
  TPoint BottomLeft() const { return {FRect.Left, FRect.Bottom}; }
  TPoint BottomRight() const { return {FRect.Right, FRect.Bottom}; }
  void SetTopLeft(const TPoint& P);
  void SetTopRight(const TPoint& P);
  void SetBottomLeft(const TPoint& P);
  void SetBottomRight(const TPoint& P);
  // The stored record, read and written in place (no change event).
  TRect* Data() { return &FRect; }

  TNotifyEvent OnChange;

 protected:
  TPersistent* GetOwner() override { return FOwner; }
  // Lets a descendant correct a new value before it is compared and stored.
  virtual void AdjustNewRect(TRect& ARect);

 private:
  TPersistent* FOwner;
  TRect FRect;
};

class TcxSize : public TPersistent {
  DECLARE_CLASS(TcxSize, TPersistent)
  explicit TcxSize(TPersistent* AOwner);

  void Assign(TPersistent* Source) override;
  bool IsEmpty() const { return FSize.cx == 0 && FSize.cy == 0; }
  bool IsEqual(const TSize& ASize) const { return FSize == ASize; }
  bool IsEqual(const TcxSize* ASize) const { return ASize && FSize == ASize->FSize; }

  const TSize& Size() const { return FSize; }
  // Negative parts become 0; stored and reported when the value differs.
  virtual void SetSize(const TSize& AValue);
  int Width() const { return GetDimension(1); }
  int Height() const { return GetDimension(0); }
  void SetWidth(int AValue);
  void SetHeight(int AValue);
  // The stored record, read and written in place (no change event).
  TSize* Data() { return &FSize; }

  // 0 is the height (cy), any other index the width (cx).
  virtual int GetDimension(int AIndex) const;
  virtual bool IsDimensionStored(int AIndex) const { return GetDimension(AIndex) != 0; }

  TNotifyEvent OnChange;

 protected:
  TPersistent* GetOwner() override { return FOwner; }
  virtual void FireChange();

 private:
  TPersistent* FOwner;
  TSize FSize;
};

// ---------------------------------------------------------------------------
// Value routines
// ---------------------------------------------------------------------------

TRect cxGrowRect(const TRect& R, int DX1, int DY1, int DX2, int DY2);
TRect cxShiftRect(const TRect& R, int DX, int DY, bool APositive = true);
TPoint cxShiftPoint(const TPoint& P, int X, int Y, bool APositive = true);
bool cxIsPointInRect(const TRect& R, int X, int Y);
TRect cxRectFromPoints(const TPoint& ATopLeft, const TPoint& ABottomRight);
TRect cxRectSetHorzSpan(const TRect& R, int ALeft, int AWidth);
// Offsets (sum - size) div 2, truncated toward zero.
TRect cxCenterSizeInRect(const TRect& R, int AWidth, int AHeight);
TPoint cxNegatePoint(const TPoint& P);
TPoint cxMakePoint(int X, int Y);
bool cxRectHasNoArea(const TRect& R);
bool cxRectsMatch(const TRect& A, const TRect& B);
bool cxPointsMatch(const TPoint& A, const TPoint& B);
bool cxPointsMatch(const TSize& A, const TSize& B);
// The floor of (A + B) / 2.
int cxRangeCenter(int A, int B);
// Each dimension raised to at least that of AMinSize.
void cxEnlargeSizeTo(TSize& ASize, const TSize& AMinSize);

// Module start-up and shutdown: TcxRect in the streaming class registry.
void cxGeometryInitialize();
void cxGeometryFinalize();
