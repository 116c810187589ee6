// Drag and drop inside a base control (the object a descendant chooses to
// carry it out), the control's object for the platform's automatic dragging,
// and two feedback windows: a translucent image that follows the mouse and a
// patterned frame around a rectangle or region.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ImgList.h"
#include "foundation/cxControlsHints.h"

class TcxCanvas;
class TcxControl;
class TcxRegion;

class TcxDragAndDropObject : public TObject {
  DECLARE_CLASS(TcxDragAndDropObject, TObject)
  explicit TcxDragAndDropObject(TcxControl* AControl);

  void DoBeginDragAndDrop();
  void DoDragAndDrop(const TPoint& P, bool& Accepted);
  void DoEndDragAndDrop(bool Accepted);

  virtual bool ImmediateStart() { return false; }
  TcxControl* Control() const { return FControl; }
  TcxCanvas* Canvas() const { return FCanvas; }
  bool Dirty() const { return FDirty; }
  void SetDirty(bool AValue);

  // Client coordinates of the control; (-1, -1) before the first.
  TPoint CurMousePos{-1, -1};
  TPoint PrevMousePos{-1, -1};

 protected:
  virtual void HandleDirtyChange() {}
  virtual TCursor AcceptanceCursor(bool Accepted);
  virtual void AfterDragAndDropEnds(bool /*Accepted*/) {}
  virtual void BeginStep();
  virtual void MoveStep(const TPoint& P, bool& Accepted);
  virtual void EndStep(bool Accepted);

 private:
  TcxCanvas* FCanvas;
  TcxControl* FControl;
  bool FDirty = false;
};

// The base control's drag object for automatic dragging: the copy cursor
// while Ctrl is held; frees itself when the drag ends.
class TcxDragControlObject : public TDragControlObject {
  DECLARE_CLASS(TcxDragControlObject, TDragControlObject)
  explicit TcxDragControlObject(TControl* AControl);
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
};

class TcxDragImageList : public TDragImageList {
  DECLARE_CLASS(TcxDragImageList, TDragImageList)
  explicit TcxDragImageList(TComponent* AOwner);
};

// A translucent popup without activation that follows the mouse; the mouse
// reaches the window below it.
class TcxCustomDragImage : public TcxPopupWindow {
  DECLARE_CLASS(TcxCustomDragImage, TcxPopupWindow)
  TcxCustomDragImage();
  ~TcxCustomDragImage() override;

  void Init(const TRect& ASourceBounds, const TPoint& ASourcePoint);
  void MoveTo(const TPoint& APosition);
  virtual void Show(int ACmdShow);
  virtual void Hide();

  bool AlphaBlended();
  bool Visible();
  void SetVisible(bool AValue);
  const TPoint& PositionOffset() const { return FPositionOffset; }
  void SetPositionOffset(const TPoint& AValue) { FPositionOffset = AValue; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMNCHitTest(TWMNCHitTest& Message);

 private:
  TPoint FPositionOffset;
};

// A checker-patterned frame of a chosen width around a rectangle or region;
// only the window region shows.
class TcxSizeFrame : public TcxCustomDragImage {
  DECLARE_CLASS(TcxSizeFrame, TcxCustomDragImage)
  explicit TcxSizeFrame(int AFrameWidth);
  ~TcxSizeFrame() override;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void DrawSizeFrame(const TRect& ARect);
  // ARegion stays the caller's.
  void DrawSizeFrame(const TRect& ARect, TcxRegion* ARegion);

  bool FillSelection() const { return FFillSelection; }
  void SetFillSelection(bool AValue) { FFillSelection = AValue; }
  int FrameWidth() const { return FFrameWidth; }

 protected:
  void Paint() override;

 private:
  void MakeFrameRegion();
  bool FFillSelection = false;
  int FFrameWidth;
  TcxRegion* FRegion;
  TBitmap* FPattern = nullptr;
};
