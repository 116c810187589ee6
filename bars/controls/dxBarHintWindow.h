// The one hint window of the bar system and the views it shows: a plain
// hint (a raised edge around the text), a hint drawn like a screen tip (the
// painter's background, rounded corners) and a full screen tip with header,
// description and footer bands. The hint timers of the bar model decide when
// the window shows; the window lays the view out, places it by the object
// that asked for the hint and shows it.
#pragma once

#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarScreenTip.h"
#include "foundation/cxControlsHints.h"

#include <vector>

class TcxCanvas;
class TdxBarHintWindow;
class TdxBarPainter;

class TdxBarCustomHintViewInfo : public TObject {
  DECLARE_CLASS(TdxBarCustomHintViewInfo, TObject)
  explicit TdxBarCustomHintViewInfo(TdxBarManager* AManager) : FBarManager(AManager) {}

  // Measures on ACanvas; empty bounds mean nothing to show.
  virtual void Calculate(TCanvas* ACanvas) = 0;
  virtual bool IsScreenTipLike() { return false; }
  virtual void Paint(TCanvas* ACanvas) = 0;
  // Puts the window into the mode the view needs and makes its handle.
  virtual void PrepareWindow(TdxBarHintWindow* AWindow);

  TdxBarManager* BarManager() const { return FBarManager; }
  const TRect& BoundsRect() const { return FBoundsRect; }

 protected:
  TdxBarManager* FBarManager;
  TRect FBoundsRect;
};

// A text inside a raised edge, in the window's font.
class TdxBarHintViewInfo : public TdxBarCustomHintViewInfo {
  DECLARE_CLASS(TdxBarHintViewInfo, TdxBarCustomHintViewInfo)
  TdxBarHintViewInfo(TdxBarManager* AManager, const TPoint& APos, const String& AHint, const String& AShortCut);

  void Calculate(TCanvas* ACanvas) override;
  void Paint(TCanvas* ACanvas) override;
  void PrepareWindow(TdxBarHintWindow* AWindow) override;
  const String& Text() const { return FText; }
  const TPoint& Pos() const { return FPos; }

  virtual void AddFrameExtent(TSize& ASize);
  virtual TRect GetTextRect();
  virtual void DrawHintText(TCanvas* ACanvas);
  virtual void AssignHintFont(TdxBarHintWindow* AWindow);

 private:
  String FText;
  TPoint FPos;
};

// The plain hint drawn as a screen tip: the painter's background and title colour.
class TdxBarLikeHintScreenTipViewInfo : public TdxBarHintViewInfo {
  DECLARE_CLASS(TdxBarLikeHintScreenTipViewInfo, TdxBarHintViewInfo)
  TdxBarLikeHintScreenTipViewInfo(TdxBarManager* AManager, const TPoint& APos, const String& AHint,
                                  const String& AShortCut, const TdxBarPainter* APainter);
  bool IsScreenTipLike() override { return true; }
  void Paint(TCanvas* ACanvas) override;
  void AddFrameExtent(TSize& ASize) override;
  TRect GetTextRect() override;
  void DrawHintText(TCanvas* ACanvas) override;

 private:
  const TdxBarPainter* FPainter;
};

// The layout of one band of a screen tip. Lengths are given at 96 dpi and
// scaled to the screen.
class TdxBarScreenTipBandViewInfo : public TObject {
  DECLARE_CLASS(TdxBarScreenTipBandViewInfo, TObject)
  TdxBarScreenTipBandViewInfo(TdxBarCustomScreenTipBand* ABand, const String& AShortCut, const String& AHintText);

  // The band's height at width AWidth: the larger of text and glyph plus the
  // vertical margins; 0 for a band with neither.
  int GetHeight(TCanvas* ACanvas, int AWidth, const TdxBarPainter* APainter);
  void Calculate(int AWidth, int ATop, const TdxBarPainter* APainter, int AHeight);
  void Paint(TCanvas* ACanvas, const TdxBarPainter* APainter);
  bool IsVisible() { return HasText() || HasGlyph(); }

  int HorzMargin() const;
  int VertMargin(const TdxBarPainter* APainter) const;
  int GlyphAreaWidth() const;
  String DisplayText() const;
  bool HasText() const { return !DisplayText().empty(); }
  bool HasGlyph() const;

  TdxBarCustomScreenTipBand* Band() const { return FBand; }
  const TRect& BandBounds() const { return FBandBounds; }
  const TRect& GlyphBounds() const { return FGlyphBounds; }
  const TRect& TextBounds() const { return FTextBounds; }
  const TSize& TextSize() const { return FTextSize; }

 private:
  UINT TextFlags() const;

  TdxBarCustomScreenTipBand* FBand;
  TRect FBandBounds;
  TRect FGlyphBounds;
  TSize FGlyphSize;
  String FHintText;
  String FShortCut;
  TRect FTextBounds;
  TSize FTextSize;
  int FTop = 0;
  int FWidth = 0;
};

class TdxBarScreenTipViewInfo : public TdxBarCustomHintViewInfo {
  DECLARE_CLASS(TdxBarScreenTipViewInfo, TdxBarCustomHintViewInfo)
  TdxBarScreenTipViewInfo(TdxBarScreenTip* AScreenTip, const String& AShortCut, const String& AHint,
                          const TdxBarPainter* APainter);
  ~TdxBarScreenTipViewInfo() override;

  void Calculate(TCanvas* ACanvas) override;
  bool IsScreenTipLike() override { return true; }
  void Paint(TCanvas* ACanvas) override;
  virtual TdxBarScreenTipBandViewInfo* CreateBandViewInfo(TdxBarCustomScreenTipBand* ABand);

  int BandCount() const { return static_cast<int>(FBands.size()); }
  TdxBarScreenTipBandViewInfo* Bands(int AIndex) const { return FBands.at(AIndex); }

 private:
  void ClearBands();

  const TdxBarPainter* FPainter;
  TdxBarScreenTip* FScreenTip;
  String FHintText;
  String FShortCut;
  std::vector<TdxBarScreenTipBandViewInfo*> FBands;
  int FWidth = 0;
};

// The view of an item's hint: the full screen tip when the item has a tip
// whose repository shows descriptions, else the hint (or the tip's header)
// drawn like a screen tip.
TdxBarCustomHintViewInfo* dxBarCreateHintViewInfo(TdxBarManager* AManager, const String& AHint,
                                                  const String& AShortCut, const TdxBarPainter* APainter,
                                                  TdxBarScreenTip* AScreenTip);

class TdxBarHintWindow : public TcxBaseHintWindow, public IdxBarHintWindow {
  DECLARE_CLASS(TdxBarHintWindow, TcxBaseHintWindow)
  explicit TdxBarHintWindow(TComponent* AOwner);
  ~TdxBarHintWindow() override;

  // IdxBarHintWindow
  bool IsScreenTipMode() override { return FIsScreenTipWindow; }
  bool IsVisible() override;
  void HideHint() override;
  // Lays out the view for the hint object that asked and shows it; false
  // (and nothing shown) when the view is empty.
  bool ActivateHintEx(TdxBarManager* AManager, const String& AText, const String& AShortCut) override;
  void Release() override { TObject::Free(this); }

  bool IsScreenTipWindow() const { return FIsScreenTipWindow; }
  void SetIsScreenTipWindow(bool AValue);
  UINT ShowHintTime() { return dxBarShowHintTime(this); }
  UINT HideHintTime() { return dxBarHideHintTime(this); }
  TdxBarCustomHintViewInfo* ViewInfo() const { return FViewInfo; }

 protected:
  void Paint() override;
  virtual IdxBarHintSource* QueryHintSource();
  virtual void RecreateHintWindow();

  void WMShowWindow(TMessage& Message);
  void WMSize(TMessage& Message);

 private:
  bool FIsScreenTipWindow = false;
  TdxBarCustomHintViewInfo* FViewInfo = nullptr;
};

// The maker the bar model's hint seam is filled with.
IdxBarHintWindow* dxBarCreateBarHintWindow();
