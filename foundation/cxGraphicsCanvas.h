// Regions and the library canvas: TcxRegion owns a GDI region, TcxCanvas is
// the drawing surface every painter, control and bar window draws through
// (it wraps a platform canvas it does not own), and the two process-wide
// canvases for code without a canvas of its own (the screen canvas for
// measuring, the paint canvas for bare DCs and foreign canvases). Also the
// graphics module's start-up state: the alpha-blend entry point, the screen
// resolution, the shutdown flag and the solid-brush cache.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/Graphics.h"

#include <span>
#include <vector>

class TCustomImageList;
// Declared with the standard controls; redeclared here to keep this header small.
enum TAlignment : int;

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

// Combine modes of regions and clip regions: RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND.
DECLARE_ENUM(TcxRegionOperation, roSet, roAdd, roSubtract, roIntersect)
DECLARE_ENUM(TcxBorder, bLeft, bTop, bRight, bBottom)
using TcxBorders = TSet<TcxBorder, 4>;
inline constexpr TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};
DECLARE_ENUM(TcxRotationAngle, ra0, raPlus90, raMinus90, ra180)
DECLARE_ENUM(TcxAlignmentVert, vaTop, vaBottom, vaCenter)

using TPointArray = std::vector<TPoint>;
using TRectArray = std::vector<TRect>;

// Colours and font of a view; none of the objects is owned by the record.
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};

// Copies of the canvas's font, brush and pen, owned by the state stack.
struct TcxCanvasState {
  TFont* Font = nullptr;
  TBrush* Brush = nullptr;
  TPen* Pen = nullptr;
};
using TcxCanvasStates = std::vector<TcxCanvasState>;

// A DC and the identifier SaveDC returned for it.
struct TcxDCState {
  HDC Handle = nullptr;
  int State = 0;
};
using TcxDCStates = std::vector<TcxDCState>;

// Told by a control after its font changed.
// {B144DD7E-0B27-439A-B908-FC3ACFE6A2D3}
inline constexpr GUID IID_IcxFontListener = {
    0xB144DD7E, 0x0B27, 0x439A, {0xB9, 0x08, 0xFC, 0x3A, 0xCF, 0xE6, 0xA2, 0xD3}};
class IcxFontListener {
 public:
  virtual void FontChanged(TObject* ASender, TFont* AFont) = 0;

 protected:
  ~IcxFontListener() = default;
};

// ---------------------------------------------------------------------------
// Text flags of the library's text operations
// ---------------------------------------------------------------------------

inline constexpr int cxtfLeft = 0x0001;
inline constexpr int cxtfRight = 0x0002;
inline constexpr int cxtfCenterH = 0x0004;
inline constexpr int cxtfTop = 0x0008;
inline constexpr int cxtfBottom = 0x0010;
inline constexpr int cxtfCenterV = 0x0020;
inline constexpr int cxtfSingleLine = 0x0040;
inline constexpr int cxtfNoClip = 0x0080;
inline constexpr int cxtfExpandTabs = 0x0100;
inline constexpr int cxtfShowPrefix = 0x0200;
inline constexpr int cxtfWordBreak = 0x0400;
inline constexpr int cxtfEndEllipsis = 0x0800;
inline constexpr int cxtfCalcOnly = 0x1000;
inline constexpr int cxtfPathEllipsis = 0x2000;
// With cxtfWordBreak: words are never broken inside (no DT_EDITCONTROL).
inline constexpr int cxtfKeepWords = 0x4000;
// With cxtfWordBreak and cxtfKeepWords: DT_NOFULLWIDTHCHARBREAK.
inline constexpr int cxtfNoFullWidthBreak = 0x8000;
// The horizontal (low three bits) and vertical alignment groups.
inline constexpr int cxtfHorzAlignMask = 0x0007;
inline constexpr int cxtfVertAlignMask = 0x0038;

// DrawText flags for the library's text flags: always DT_NOPREFIX unless
// cxtfShowPrefix; nothing else is produced than the table maps.
UINT cxTextFlagsToDrawTextFlags(int AFlags);

// ---------------------------------------------------------------------------
// TcxRegion
// ---------------------------------------------------------------------------

// Owns a region handle and deletes it when destroyed (a handle of 0 is
// allowed and not deleted). Handles given to it must be counted by
// GdiAccounting (made through its helpers, or adopted with GdiAdopt).
class TcxRegion : public TObject {
  DECLARE_CLASS(TcxRegion, TObject)
  // The empty rectangle region (0, 0, 0, 0).
  TcxRegion();
  // Takes ownership of the handle.
  explicit TcxRegion(HRGN AHandle);
  explicit TcxRegion(const TRect& ABounds);
  TcxRegion(int ALeft, int ATop, int ARight, int ABottom);
  // A rounded rectangle from (ALeft + 1, ATop + 1) to (ARight, ABottom).
  static TcxRegion* CreateRoundCorners(const TRect& ABounds, int AWidthEllepse,
                                       int AHeightEllepse);
  static TcxRegion* CreateRoundCorners(int ALeft, int ATop, int ARight, int ABottom,
                                       int AWidthEllepse, int AHeightEllepse);
  ~TcxRegion() override;

  // roSet copies ARegion's shape, the others combine it into this region.
  // With ADestroyRegion the argument object is freed afterwards (never this
  // region itself). A nil argument changes nothing (but is still "freed").
  void Combine(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion = true);
  // False for nil; True when both are empty or the platform finds them equal.
  bool IsEqual(TcxRegion* ARegion) const;
  bool IsEqual(HRGN ARegionHandle) const;
  void Offset(const TPoint& P) { Offset(P.X, P.Y); }
  void Offset(int DX, int DY);
  bool PtInRegion(const TPoint& Pt) const { return PtInRegion(Pt.X, Pt.Y); }
  bool PtInRegion(int X, int Y) const;
  bool RectInRegion(const TRect& R) const;
  bool RectInRegion(int ALeft, int ATop, int ARight, int ABottom) const {
    return RectInRegion(TRect(ALeft, ATop, ARight, ABottom));
  }

  // The bounding box; (0, 0, 0, 0) for an empty region.
  TRect BoundsRect() const;
  bool IsEmpty() const;
  HRGN Handle() const { return FHandle; }
  // Replaces the handle without deleting the previous one: assigning 0
  // detaches the handle (e.g. after SetWindowRgn took it over).
  void SetHandle(HRGN AValue) { FHandle = AValue; }

 private:
  HRGN FHandle = nullptr;
};

// ---------------------------------------------------------------------------
// TcxCanvas
// ---------------------------------------------------------------------------

// Wraps a platform canvas (never owned) and keeps three independent
// last-in-first-out stacks: DC states (SaveDC/RestoreDC; the wrapped canvas
// stays locked in between), clip regions (SaveClipRegion/RestoreClipRegion)
// and canvas states of font, brush and pen (SaveState/RestoreState, each with
// one SaveDC/RestoreDC pair inside). An unmatched restore does nothing.
class TcxCanvas : public TObject {
  DECLARE_CLASS(TcxCanvas, TObject)
  explicit TcxCanvas(TCanvas* ACanvas);
  // Forgets the wrapped canvas; frees what is still on the region and state
  // stacks.
  ~TcxCanvas() override;

  // ---- Properties
  TCanvas* Canvas() const { return FCanvas; }
  void SetCanvas(TCanvas* AValue) { FCanvas = AValue; }
  TBrush* Brush() const { return FCanvas->Brush(); }
  void SetBrush(TBrush* AValue) { FCanvas->SetBrush(AValue); }
  TFont* Font() const { return FCanvas->Font(); }
  void SetFont(TFont* AValue) { FCanvas->SetFont(AValue); }
  TPen* Pen() const { return FCanvas->Pen(); }
  void SetPen(TPen* AValue) { FCanvas->SetPen(AValue); }
  int CopyMode() const { return FCanvas->CopyMode(); }
  void SetCopyMode(int AValue) { FCanvas->SetCopyMode(AValue); }
  // The wrapped canvas's DC (made on demand, objects selected).
  HDC Handle() const { return FCanvas->Handle(); }
  // Viewport origin minus window origin.
  TPoint DCOrigin() const;
  TPoint ViewportOrg() const;
  void SetViewportOrg(const TPoint& P);
  TPoint WindowOrg() const;
  void SetWindowOrg(const TPoint& P);

  // ---- Stacks
  void SaveDC();
  void RestoreDC();
  void SaveClipRegion();
  void RestoreClipRegion();
  void SaveState();
  void RestoreState();

  // ---- Clipping
  // A new region owned by the caller: the DC's clip region, or
  // (0, 0, 30000, 30000) without one; in logical coordinates with AConsiderOrigin.
  TcxRegion* GetClipRegion(bool AConsiderOrigin = true);
  // roSet selects ARegion, the others combine it with the current clip. With
  // ADestroyRegion the canvas frees ARegion, else ARegion is left as it was.
  void SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation,
                     bool ADestroyRegion = true, bool AConsiderOrigin = true);
  void ExcludeClipRect(const TRect& R);
  void IntersectClipRect(const TRect& R);
  bool RectVisible(const TRect& R);
  bool RectFullyVisible(const TRect& R);

  // ---- Text (flags are the cxtf* flags)
  // Disabled text is drawn embossed: at (+1, +1) in clBtnHighlight, then at R
  // in clBtnShadow.
  void DrawTexT(const String& Text, TRect& R, int Flags, bool Enabled = true);
  void DrawTexT(const String& Text, TRect& R, TAlignment AAlignmentHorz,
                TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis);
  void AlignMultiLineTextRectVertically(TRect& R, const String& AText,
                                        TcxAlignmentVert AAlignmentVert, bool AWordBreak,
                                        bool AShowPrefix, bool AEnabled = true,
                                        bool ADontBreakChars = false, bool AEndEllipsis = false);
  TSize TextExtent(const String& Text);
  // R becomes the rectangle the text needs, aligned inside the original R.
  void TextExtent(const String& Text, TRect& R, int Flags);
  int TextWidth(const String& Text) { return TextExtent(Text).cx; }
  int TextHeight(const String& Text) { return TextExtent(Text).cy; }
  // Assigns AFont to Font and returns the height of "Qq".
  int FontHeight(TFont* AFont);
  // Appends one rectangle per output line.
  void GetTextStringsBounds(String Text, TRect R, int Flags, bool Enabled, TRectArray& ABounds);
  // Escapement in degrees.
  void SetFontAngle(int Value);

  // ---- Fills and frames
  // Only when the colour differs from the brush's.
  void SetBrushColor(TColor Value);
  // clNone draws nothing, clDefault keeps the brush.
  void FillRect(const TRect& R, TColor AColor);
  // Tiles the bitmap on a grid anchored at the canvas origin; without a
  // bitmap fills with the brush. AExcludeRect removes R from the clip.
  void FillRect(const TRect& R, TBitmap* ABitmap = nullptr, bool AExcludeRect = false);
  void FillRect(TRect R, const TcxViewParams& AParams, TcxBorders ABorders = TcxBorders(),
                TColor ABorderColor = clDefault, int ALineWidth = 1, bool AExcludeRect = false);
  void FrameRect(const TRect& R, TColor Color = clDefault, int ALineWidth = 1,
                 TcxBorders ABorders = cxBordersAll, bool AExcludeFrame = false);
  void DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                        TcxBorders ABorders = cxBordersAll, int ABorderWidth = 1);
  void DrawEdge(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders = cxBordersAll);
  void DrawFocusRect(const TRect& R);
  void DrawDesignSelection(TRect ARect, int AWidth);
  // Inverts with DSTINVERT; CopyMode is what it was before.
  void InvertRect(const TRect& R);
  void InvertFrame(const TRect& R, int ABorderSize);

  // ---- Regions and paths
  void FillRegion(TcxRegion* ARegion, TColor AColor);
  void FillRegion(HRGN ARegion, TColor AColor);
  void FrameRegion(TcxRegion* ARegion, TColor AColor, int ABorderWidth = 1,
                   int ABorderHeight = 1);
  void FrameRegion(HRGN ARegion, TColor AColor, int ABorderWidth = 1, int ABorderHeight = 1);
  void DrawRegion(TcxRegion* ARegion, TColor AContentColor, TColor ABorderColor,
                  int ABorderWidth = 1, int ABorderHeight = 1);
  void DrawRegion(HRGN ARegion, TColor AContentColor, TColor ABorderColor,
                  int ABorderWidth = 1, int ABorderHeight = 1);
  void BeginPath();
  void EndPath();
  void WidenPath();
  // A new region owned by the caller (empty when the DC has no closed path).
  TcxRegion* PathToRegion();

  // ---- Shapes and pixels
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Polygon(std::span<const TPoint> Points);
  void Polyline(std::span<const TPoint> Points);
  void Pie(const TRect& R, const TPoint& ARadial1, const TPoint& ARadial2);
  // Degrees, counter-clockwise from the positive x axis; 360 is a full ellipse.
  void Pie(const TRect& R, int AStartAngle, int ASweepAngle);
  void PutPixel(int X, int Y, TColor AColor);

  // ---- Pictures
  void Draw(int X, int Y, TGraphic* Graphic);
  void CopyRect(const TRect& Dest, TCanvas* ACanvas, const TRect& Source);
  void DrawGlyph(int X, int Y, TBitmap* AGlyph, bool AEnabled = true,
                 TColor ABackgroundColor = clNone);
  void DrawImage(TCustomImageList* Images, int X, int Y, int Index, bool Enabled = true);
  // ABitmap blended with constant alpha over ABackground (or the canvas area
  // under it when nil).
  void TransparentDraw(int X, int Y, TBitmap* ABitmap, Byte AAlpha,
                       TBitmap* ABackground = nullptr);
  void RotateBitmap(TBitmap* ABitmap, TcxRotationAngle ARotationAngle,
                    bool AFlipVertically = false);
  void FlipHorizontally(TBitmap* ABitmap);

  // ---- View parameters
  // Color, Font (the canvas font itself) and TextColor; Bitmap unchanged.
  void GetParams(TcxViewParams& AParams);
  void SetParams(const TcxViewParams& AParams);

 protected:
  // Gives Font, Brush and Pen the values of what is selected into ADC.
  void AdoptDCObjects(HDC ADC);

 private:
  TCanvas* FCanvas;
  TcxDCStates FSavedDCs;
  std::vector<TcxRegion*> FSavedRegions;
  TcxCanvasStates FSavedStates;
};

// ---------------------------------------------------------------------------
// Screen and paint canvases
// ---------------------------------------------------------------------------

// A platform canvas over a cache DC of the desktop window, taken on first use
// of the handle and given back by FreeHandle (or the destructor).
class TScreenCanvas : public TCanvas {
  DECLARE_CLASS(TScreenCanvas, TCanvas)
  TScreenCanvas() = default;
  ~TScreenCanvas() override;
  void FreeHandle();
  HDC DeviceContext() const { return FDeviceContext; }

 protected:
  void CreateHandle() override;

 private:
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// Measures text and copies from the screen. Call Dormant after each use.
class TcxScreenCanvas : public TcxCanvas {
  DECLARE_CLASS(TcxScreenCanvas, TcxCanvas)
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
  // Gives back the desktop DC; the next Handle takes a new one.
  void Dormant();

 private:
  TScreenCanvas* FScreenCanvas;
};

struct TcxPaintCanvasState {
  TCanvas* PrevCanvas = nullptr;
  HDC PrevDC = nullptr;
  HDC NewDC = nullptr;
  int NewDCIndex = 0;
};
using TcxPaintCanvasStates = std::vector<TcxPaintCanvasState>;

// Lets code with a bare DC or a foreign platform canvas draw through
// TcxCanvas. BeginPaint/EndPaint pairs nest and restore in reverse order.
class TcxPaintCanvas : public TcxCanvas {
  DECLARE_CLASS(TcxPaintCanvas, TcxCanvas)
  TcxPaintCanvas();
  // Frees its own platform canvas (never a foreign one still attached).
  ~TcxPaintCanvas() override;
  void BeginPaint(HDC ADC);
  void BeginPaint(TCanvas* ACanvas);
  // Nothing without an open BeginPaint.
  void EndPaint();
  int PaintCount() const { return FCounter; }

 private:
  int FCounter = 0;
  TcxPaintCanvasStates FSavedDCs;
  TCanvas* FOwnCanvas;
};

// The process-wide canvases, created on first call; once the graphics
// module's shutdown has begun nothing is created (nil after they were freed).
TcxScreenCanvas* cxGetSharedScreenCanvas();
TcxPaintCanvas* cxGetSharedPaintCanvas();

// ---------------------------------------------------------------------------
// Solid-brush cache
// ---------------------------------------------------------------------------

// Solid brushes by colour, so that painting creates no brush per call. The
// cache owns the brushes; callers never delete them. System colours 0..30
// give the system's own brushes and never enter the cache. When full, the
// least used entry (lowest index among equals) makes room. A handle handed
// out stays valid until the message loop runs again: the brush of an evicted
// entry is retired, and retired brushes are deleted by a zero-delay thread
// timer (its tick comes after the paint pass that is running), by Clear or
// by the destructor.
class TcxSolidBrushCache : public TObject {
  DECLARE_CLASS(TcxSolidBrushCache, TObject)
  explicit TcxSolidBrushCache(int AMaxDepth = 128);
  ~TcxSolidBrushCache() override;
  HBRUSH GetBrush(TColor AColor);
  // Deletes every cached and retired brush.
  void Clear();
  // Deletes the retired brushes now (what the timer's tick does).
  void ReleaseRetiredBrushes();
  int RetiredCount() const { return static_cast<int>(FRetired.size()); }
  // System colours changed: the cached RGB values are stale.
  virtual void HandlePaletteChange();

  int Depth() const { return FDepth; }
  int MaxDepth() const { return FMaxDepth; }
  // Entries in ascending colour order (signed compare), for inspection.
  TColor Colors(int AIndex) const { return FBrushColors[AIndex]; }
  Cardinal Counts(int AIndex) const { return FCounts[AIndex]; }

 private:
  std::vector<TColor> FBrushColors;
  std::vector<HBRUSH> FBrushes;
  std::vector<Cardinal> FCounts;
  int FDepth = 0;
  int FMaxDepth;
  std::vector<HBRUSH> FRetired;
  UINT_PTR FReleaseTimer = 0;
};

// The process-wide cache (capacity 128); nil after the module's shutdown.
TcxSolidBrushCache* cxGetSolidBrushCache();
// A brush of the process-wide cache; 0 after shutdown.
HBRUSH cxGetCachedBrush(TColor AColor);

// ---------------------------------------------------------------------------
// Graphics module state and start-up
// ---------------------------------------------------------------------------

using TcxAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                        BLENDFUNCTION);
// msimg32's AlphaBlend, looked up at start-up; nil when missing.
TcxAlphaBlendProc cxGetAlphaBlendProc();
// Replaces the entry point (tests of the paths without it); returns the old one.
TcxAlphaBlendProc cxSetAlphaBlendProc(TcxAlphaBlendProc AProc);
// Pixels per inch of the screen, read once at start-up.
TSize cxGetScreenDpi();
// True from the start of the module's shutdown: shared objects are not re-created.
bool cxGraphicsIsFinalizing();

// Start-up: shutdown flag off, msimg32 AlphaBlend, DPI awareness on Windows
// 6.0+ (SetProcessDPIAware looked up by name), TcxBitmap and TcxBitmap32
// registered by class name, the screen resolution, the brush cache.
// Shutdown: flag on, the shared canvases, the shared alpha bitmaps
// (cxFreeSharedBitmaps) and the brush cache freed, msimg32 unloaded. A
// counter makes each run once. The text layout has its own steps.
void cxGraphicsInitialize();
void cxGraphicsFinalize();
