// A scroll bar control drawn entirely by the look-and-feel painter: two arrow
// buttons, the track with its two page areas and a thumb. It keeps its own
// range, page and position, repeats arrow and page steps while a button is
// held and lets the thumb be dragged with a snap-back when the mouse goes too
// far away.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/Controls.h"
#include "foundation/cxLookAndFeels.h"

class TBitmap;
class TcxCanvas;
class TcxLookAndFeel;
class TcxScrollBar;
class TcxTimer;
class TdxThemeChangedNotificator;

struct TcxScrollBarState {
  TcxScrollBarPart PressedPart = sbpNone;
  TcxScrollBarPart HotPart = sbpNone;
};

// The marker interface the look-and-feel module tests for (no operations).
// {EF3FF483-9B69-46DF-95A4-D3A3810F63A5}
inline constexpr GUID IID_IcxLookAndFeelContainerMarker = {
    0xEF3FF483, 0x9B69, 0x46DF, {0x95, 0xA4, 0xD3, 0xA3, 0x81, 0x0F, 0x63, 0xA5}};
class IcxLookAndFeelContainerMarker {
 protected:
  ~IcxLookAndFeelContainerMarker() = default;
};

// The rectangles of the parts, in client coordinates.
class TcxScrollBarViewInfo : public TObject {
  DECLARE_CLASS(TcxScrollBarViewInfo, TObject)
  explicit TcxScrollBarViewInfo(TcxScrollBar* AScrollBar);

  virtual void Calculate();
  void AdjustPageRects();
  void CalculateMinThumnailSize();
  void CalculateThumbnailRect();
  // Moves the thumb to start at APos along the bar (client coordinate).
  void SetThumbnailPos(int APos);

  const TRect& BottomRightArrowRect() const { return FBottomRightArrowRect; }
  const TRect& PageDownRect() const { return FPageDownRect; }
  const TRect& PageUpRect() const { return FPageUpRect; }
  const TRect& ThumbnailRect() const { return FThumbnailRect; }
  int ThumbnailSize() const { return FThumbnailSize; }
  const TRect& TopLeftArrowRect() const { return FTopLeftArrowRect; }
  TcxScrollBar* ScrollBar() const { return FScrollBar; }

 protected:
  virtual void DoCalculate();

 private:
  TRect FBottomRightArrowRect;
  TRect FPageDownRect;
  TRect FPageUpRect;
  TcxScrollBar* FScrollBar;
  TRect FThumbnailRect;
  int FThumbnailSize = 0;
  TRect FTopLeftArrowRect;
};

using TcxScrollBarViewInfoClass = TClassOf<TcxScrollBarViewInfo, TcxScrollBar*>;

class TcxScrollBar : public TCustomControl, public IcxLookAndFeelContainerMarker {
  DECLARE_CLASS(TcxScrollBar, TCustomControl)
  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;
  void AfterConstruction() override;

  // Raises EInvalidOperation "Scrollbar property out of range" when AMax is
  // below AMin or below APageSize (APageSize plus AMin for a negative AMin);
  // then nothing changes.
  void SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw = true);
  void SetParams(int APosition, int AMin, int AMax);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind AValue);
  TScrollBarInc LargeChange() const { return FLargeChange; }
  void SetLargeChange(TScrollBarInc AValue) { FLargeChange = AValue; }
  TScrollBarInc SmallChange() const { return FSmallChange; }
  void SetSmallChange(TScrollBarInc AValue) { FSmallChange = AValue; }
  int Max() const { return FMax; }
  void SetMax(int AValue);
  int Min() const { return FMin; }
  void SetMin(int AValue);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int AValue);
  int Position() const { return FPosition; }
  void SetPosition(int AValue);
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool AValue) { FUnlimitedTracking = AValue; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* AValue);
  // The 3-D setting asked for, kept while a skin forces the control flat.
  bool Ctl3D() const;
  void SetCtl3D(bool AValue);

  const TcxScrollBarState& State() const { return FState; }
  TcxScrollBarViewInfo* ViewInfo() const { return FViewInfo; }
  // The part under a client point.
  TcxScrollBarPart GetScrollBarPart(const TPoint& P);
  // The repeat timer (for tests that drive it).
  TcxTimer* Timer() const { return FTimer; }
  // The off-screen image the control is painted from, of the control's size.
  TBitmap* Bitmap();

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  virtual void FireChange();
  virtual TcxScrollBarViewInfoClass GetViewInfoClass();
  virtual void PaintParts(TcxCanvas* ACanvas);
  virtual void DrawTrackBackground(TcxCanvas* ACanvas, const TRect& ARect);
  virtual void DrawPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart, TcxButtonState AState);
  virtual void PaintPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart);
  virtual bool UsesHotTrack();
  virtual void FireScroll(TScrollCode AScrollCode, int& AScrollPos);
  virtual int GetMinThumbSize();

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Loaded() override;

  // The state a part is painted in.
  TcxButtonState PartState(TcxScrollBarPart APart);
  // One scroll step with a code (what arrows, pages, the thumb and the
  // reflected scroll messages run).
  void Scroll(TScrollCode AScrollCode);
  // Position from the thumb's place on the track.
  int PositionFromThumbnail();
  // Ends a press: after a thumb drag the final scPosition, then scEndScroll.
  void CancelScroll();
  void LookAndFeelChanged();
  void ThemeChanged();

  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMCancelMode(TWMNoParams& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CNHScroll(TWMScroll& Message);
  void CNVScroll(TWMScroll& Message);
  void CNCtlColorScrollBar(TMessage& Message);

 private:
  friend class TcxScrollBarViewInfo;
  void TimerHandler(TObject* Sender);
  void LookAndFeelChangeHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void RepaintBar();
  int TrackLength();
  int TrackStart();
  bool IsRepeatPart(TcxScrollBarPart APart) const;

  TBitmap* FBitmap = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TPoint FDownMousePos;
  TScrollBarKind FKind = sbHorizontal;
  TScrollBarInc FLargeChange = 1;
  TScrollBarInc FSmallChange = 1;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  int FMax = 100;
  int FMin = 0;
  int FPageSize = 0;
  int FPosition = 0;
  bool FRealCtl3D = true;
  bool FChangingCtl3D = false;
  int FSavePosition = 0;
  TPoint FSaveThumbnailPos;
  TdxThemeChangedNotificator* FThemeChangedNotificator = nullptr;
  TcxTimer* FTimer = nullptr;
  bool FUnlimitedTracking = false;
  TcxScrollBarState FState;
  TcxScrollBarViewInfo* FViewInfo = nullptr;
};

// The repeat timer's intervals: the first repeat and those after it.
inline constexpr Cardinal cxScrollBarFirstRepeatInterval = 400;
inline constexpr Cardinal cxScrollBarRepeatInterval = 60;
