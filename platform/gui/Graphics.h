// Graphics of the platform class library: colours, the GDI object wrappers
// (font, pen, brush), the canvas, and the graphic classes (bitmap, icon, metafile) with
// the picture that holds one of them.
//
// Accessor naming: scalar read/write properties are GetX/SetX; owned
// sub-objects (Font, Pen, Brush, Canvas) are read with X() and SetX(v)
// assigns v's values to the owned object, as the platform's property does.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Persistent.h"

#include <functional>
#include <span>

class TStream;
class TFiler;
class TGraphic;
class TBitmap;
class TCanvas;
class TMetafile;

// Raised for graphic data that cannot be read ("Bitmap image is not valid")
// and for operations a graphic class does not support.
DECLARE_EXCEPTION(EInvalidGraphic, Exception)
DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

// 0x00BBGGRR, or a system colour (0xFF000000 | COLOR_xxx), or clNone/clDefault.
using TColor = int;

constexpr TColor clSystemColor = int(0xFF000000);

constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | 26;                  // COLOR_HOTLIGHT
constexpr TColor clGradientActiveCaption = clSystemColor | 27;     // COLOR_GRADIENTACTIVECAPTION
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;   // COLOR_GRADIENTINACTIVECAPTION
constexpr TColor clMenuHighlight = clSystemColor | 29;             // COLOR_MENUHILIGHT
constexpr TColor clMenuBar = clSystemColor | 30;                   // COLOR_MENUBAR

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; system colours come from GetSysColor. clNone
// and clDefault have no RGB value and give their low 24 bits, as on the platform.
TColor ColorToRGB(TColor color);
// "clRed", or "$00RRGGBB"-style hex ("$00BBGGRR" byte order) when the colour has no name.
String ColorToString(TColor color);
// A colour name or an integer ("$FF", "0xFF", "255"); EConvertError otherwise.
TColor StringToColor(const String& text);
bool ColorToIdent(int color, String& ident);
bool IdentToColor(const String& ident, int& color);
// Calls `proc` with every colour name, in the platform's order.
void GetColorValues(const std::function<void(const String&)>& proc);
// Type information of TColor properties (tkInteger "TColor"): the component
// stream writes colours with a name by their name.
const TTypeInfo* ColorTypeInfo();

// ---------------------------------------------------------------------------
// Fonts, pens and brushes
// ---------------------------------------------------------------------------

DECLARE_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle, 4>;
DECLARE_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
DECLARE_ENUM(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased,
             fqClearType, fqClearTypeNatural)
using TFontCharset = Byte;
using TFontName = String;

// Type information of TFontCharset properties (tkInteger "TFontCharset"),
// written by name (DEFAULT_CHARSET, GB2312_CHARSET, ...).
const TTypeInfo* FontCharsetTypeInfo();
bool CharsetToIdent(int charset, String& ident);
bool IdentToCharset(const String& ident, int& charset);

// What makes a font handle: fonts with equal data share one HFONT.
struct TFontData {
  int Height = 0;
  int Orientation = 0;
  TFontPitch Pitch = fpDefault;
  TFontStyles Style;
  TFontCharset Charset = DEFAULT_CHARSET;
  TFontQuality Quality = fqDefault;
  TFontName Name;
  friend bool operator==(const TFontData&, const TFontData&) = default;
};

// The font new TFont objects start with: the face of the system's default GUI
// font, height -11. Set by GraphicsInitialize.
const TFontData& DefaultFontData();
// Logical pixels per inch of the screen (96 until GraphicsInitialize ran).
int ScreenPixelsPerInch();

DECLARE_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear,
             psInsideFrame, psUserStyle, psAlternate)
DECLARE_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot,
             pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask,
             pmNotMask, pmXor, pmNotXor)
DECLARE_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal,
             bsBDiagonal, bsCross, bsDiagCross)

struct TPenData {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  friend bool operator==(const TPenData&, const TPenData&) = default;
};

struct TBrushData {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  TBitmap* Bitmap = nullptr;   // pattern; not owned
  friend bool operator==(const TBrushData&, const TBrushData&) = default;
};

struct TGdiResource;   // one shared handle of the resource cache

// Base of fonts, pens and brushes: a change of any value fires OnChange once.
class TGraphicsObject : public TPersistent {
  DECLARE_CLASS(TGraphicsObject, TPersistent)
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
};

class TFont : public TGraphicsObject {
  DECLARE_CLASS(TFont, TGraphicsObject)
  TFont();
  ~TFont() override;
  void Assign(TPersistent* source) override;

  // The HFONT, created on first use and shared with fonts of equal data.
  HFONT Handle();
  // Takes over `font`: its LOGFONT becomes this font's data and the font
  // deletes the handle when it no longer uses it.
  void SetHandle(HFONT font);
  bool HandleAllocated() const { return resource_ != nullptr; }

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Height() const { return data_.Height; }
  void SetHeight(int value);
  // Points, from Height and PixelsPerInch.
  int Size() const;
  void SetSize(int value);
  TFontName Name() const { return data_.Name; }
  void SetName(const TFontName& value);
  TFontStyles Style() const { return data_.Style; }
  void SetStyle(TFontStyles value);
  TFontCharset Charset() const { return data_.Charset; }
  void SetCharset(TFontCharset value);
  TFontPitch Pitch() const { return data_.Pitch; }
  void SetPitch(TFontPitch value);
  int Orientation() const { return data_.Orientation; }
  void SetOrientation(int value);
  TFontQuality Quality() const { return data_.Quality; }
  void SetQuality(TFontQuality value);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value);   // changes no value, only the Size/Height conversion
  const TFontData& Data() const { return data_; }
  void SetData(const TFontData& value);

 private:
  void Change(const TFontData& data);
  TFontData data_;
  TColor color_ = clWindowText;
  int pixelsPerInch_;
  TGdiResource* resource_ = nullptr;
};

// Gives the font a new handle made from the logical font, as the system describes
// its own fonts (non-client metrics, icon titles); nothing changes when it cannot be made.
void AssignLogFont(TFont* font, const LOGFONTW& lf);

class TPen : public TGraphicsObject {
  DECLARE_CLASS(TPen, TGraphicsObject)
  TPen();
  ~TPen() override;
  void Assign(TPersistent* source) override;

  HPEN Handle();
  void SetHandle(HPEN pen);   // takes over the handle, like TFont::SetHandle
  bool HandleAllocated() const { return resource_ != nullptr; }
  TColor Color() const { return data_.Color; }
  void SetColor(TColor value);
  TPenStyle Style() const { return data_.Style; }
  void SetStyle(TPenStyle value);
  int Width() const { return data_.Width; }
  void SetWidth(int value);
  // Raster operation of the canvas the pen draws on; not part of the handle.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode value);

 private:
  void Change(const TPenData& data);
  TPenData data_;
  TPenMode mode_ = pmCopy;
  TGdiResource* resource_ = nullptr;
};

class TBrush : public TGraphicsObject {
  DECLARE_CLASS(TBrush, TGraphicsObject)
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* source) override;

  HBRUSH Handle();
  void SetHandle(HBRUSH brush);   // takes over the handle, like TFont::SetHandle
  bool HandleAllocated() const { return resource_ != nullptr; }
  TColor Color() const { return data_.Color; }
  // Setting a colour turns a clear brush solid, as on the platform.
  void SetColor(TColor value);
  TBrushStyle Style() const { return data_.Style; }
  void SetStyle(TBrushStyle value);
  // A pattern brush made from the bitmap (not owned; keep it alive while
  // the brush uses it). Null returns to Color/Style.
  TBitmap* Bitmap() const { return data_.Bitmap; }
  void SetBitmap(TBitmap* value);

 private:
  void Change(const TBrushData& data);
  TBrushData data_;
  TGdiResource* resource_ = nullptr;
};

// ---------------------------------------------------------------------------
// Canvas
// ---------------------------------------------------------------------------

DECLARE_ENUM(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid)
using TCanvasState = TSet<TCanvasStates, 4>;

using TCopyMode = int;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Flags of TCanvas::TextRect(rect, text, format), one per DT_ flag.
DECLARE_ENUM(TTextFormats, tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis,
             tfPathEllipsis, tfExpandTabs, tfExternalLeading, tfLeft, tfModifyString,
             tfNoClip, tfNoPrefix, tfRight, tfRtlReading, tfSingleLine, tfTop,
             tfVerticalCenter, tfWordBreak, tfHidePrefix, tfNoFullWidthCharBreak,
             tfPrefixOnly, tfTabStop, tfWordEllipsis)
using TTextFormat = TSet<TTextFormats, 32>;

// A drawing surface over a device context. The base class has no context of
// its own: set Handle to draw on a foreign DC, or derive and override
// CreateHandle. The font, pen and brush are selected into the DC when a
// drawing operation needs them and the DC's own objects are put back when the
// handle is released.
class TCanvas : public TPersistent {
  DECLARE_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Copies `source` of the bitmap to `dest`, painting pixels of `color` with the brush.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  void Draw(int x, int y, TGraphic* graphic);
  void DrawFocusRect(const TRect& rect);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  // Draws from PenPos to (x, y), without the end pixel (the GDI rule).
  void LineTo(int x, int y);
  void MoveTo(int x, int y);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Polygon(std::span<const TPoint> points);
  void Polyline(std::span<const TPoint> points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  TSize TextExtent(const String& text);
  int TextHeight(const String& text) { return TextExtent(text).cy; }
  int TextWidth(const String& text) { return TextExtent(text).cx; }
  // Draws at (x, y) and moves PenPos to the end of the text.
  void TextOut(int x, int y, const String& text);
  // Draws at (x, y) clipped to `rect`, filling the rectangle unless the brush is clear.
  void TextRect(const TRect& rect, int x, int y, const String& text);
  // DrawTextEx with the format flags; tfCalcRect returns the needed rectangle
  // in `rect`, tfModifyString the shortened text in `text`.
  void TextRect(TRect& rect, String& text, TTextFormat format = TTextFormat());
  // Re-selects font, pen and brush on the next drawing operation.
  void Refresh();

  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lockCount_; }

  HDC Handle();
  // Adopts a DC owned by someone else; 0 releases the current one.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return handle_ != nullptr; }
  TRect ClipRect();

  TFont* Font() const { return font_; }
  void SetFont(TFont* value);
  TPen* Pen() const { return pen_; }
  void SetPen(TPen* value);
  TBrush* Brush() const { return brush_; }
  void SetBrush(TBrush* value);
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode value) { copyMode_ = value; }
  TPoint PenPos();
  void SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }
  TColor GetPixel(int x, int y);
  void SetPixel(int x, int y, TColor color);
  // ETO_ flags of TextOut and TextRect.
  int TextFlags() const { return textFlags_; }
  void SetTextFlags(int value) { textFlags_ = value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  // Makes a DC when drawing needs one; the base has none to make.
  virtual void CreateHandle() {}
  // Gets the handle and selects the objects drawing needs; raises
  // EInvalidOperation "Canvas does not allow drawing" without a DC.
  void RequiredState(TCanvasState required);
  TCanvasState State() const { return state_; }
  // The DC as it is, without creating one or selecting anything.
  HDC CurrentHandle() const { return handle_; }

 private:
  void DeselectHandles();
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  HDC handle_ = nullptr;
  TCanvasState state_;
  TFont* font_;
  TPen* pen_;
  TBrush* brush_;
  TPoint penPos_;
  TCopyMode copyMode_ = cmSrcCopy;
  int textFlags_ = 0;
  // The DC's own objects, put back when ours are deselected.
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
  CRITICAL_SECTION lock_;
  int lockCount_ = 0;
};

// ---------------------------------------------------------------------------
// Graphics
// ---------------------------------------------------------------------------

// Abstract image. Descendants draw themselves on a canvas and read and write
// their file format; the component stream stores them as the "Data" property
// through ReadData/WriteData.
class TGraphic : public TPersistent {
  DECLARE_CLASS(TGraphic, TPersistent)
  TGraphic() = default;

  virtual void LoadFromFile(const String& fileName);
  virtual void SaveToFile(const String& fileName);
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  // Clipboard transfer; the base raises EInvalidGraphic "Unsupported clipboard format".
  virtual void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette);
  virtual void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette);
  // Same class and same saved bytes.
  virtual bool Equals(TGraphic* graphic);

  virtual bool Empty() = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  virtual void SetWidth(int value) = 0;
  virtual void SetHeight(int value) = 0;
  virtual void SetSize(int width, int height);
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  virtual bool Transparent() { return transparent_; }
  virtual void SetTransparent(bool value);
  bool Modified() const { return modified_; }
  void SetModified(bool value);

  TNotifyEvent OnChange;

 protected:
  // Marks the graphic modified and fires OnChange.
  virtual void Changed(TObject* sender);
  void DefineProperties(TFiler* filer) override;
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
  // The component stream's bytes of the graphic; the base writes and reads
  // the graphic's file format (SaveToStream/LoadFromStream).
  virtual void ReadData(TStream* stream);
  virtual void WriteData(TStream* stream);

  bool transparent_ = false;

 private:
  bool modified_ = false;
  friend class TCanvas;
  friend class TPicture;
};

DECLARE_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit,
             pf32bit, pfCustom)
DECLARE_ENUM(TTransparentMode, tmAuto, tmFixed)
DECLARE_ENUM(TBitmapHandleType, bmDIB, bmDDB)

struct TBitmapImage;   // the bitmap's handles and pixels

// A GDI bitmap: a DIB section for an explicit pixel format, a device
// bitmap for pfDevice. Stored as a BMP file.
class TBitmap : public TGraphic {
  DECLARE_CLASS(TBitmap, TGraphic)
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  void Assign(TPersistent* source) override;
  bool Equals(TGraphic* graphic) override;

  // Reads a BMP file (file header, info header, colour table, pixels) from
  // the position to the end of the stream; EInvalidGraphic "Bitmap image is
  // not valid" for anything malformed.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void LoadFromResourceName(HINSTANCE instance, const String& name);
  void LoadFromResourceID(HINSTANCE instance, int id);
  void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) override;

  // The canvas drawing on the bitmap (a memory DC holding it).
  TCanvas* Canvas();
  HBITMAP Handle();
  // Takes over the bitmap handle.
  void SetHandle(HBITMAP value);
  bool HandleAllocated() const;
  void HandleNeeded() { Handle(); }
  // The handle goes to the caller and the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  TBitmapHandleType HandleType();
  void SetHandleType(TBitmapHandleType value);
  // Monochrome mask: white where the pixel is TransparentColor.
  HBITMAP MaskHandle();
  void SetMaskHandle(HBITMAP value);   // takes over the handle
  void MaskHandleNeeded() { MaskHandle(); }
  HBITMAP ReleaseMaskHandle();
  // Turns the bitmap itself into its monochrome mask for the colour.
  void Mask(TColor transparentColor);
  HPALETTE ReleasePalette();
  // Keeps the image as bytes in memory and frees the GDI objects until they
  // are needed again (a device bitmap comes back as a DIB of its colours).
  void Dormant();
  // Frees what can be rebuilt: the mask.
  void FreeImage();

  TPixelFormat PixelFormat();
  void SetPixelFormat(TPixelFormat value);
  bool Monochrome();
  void SetMonochrome(bool value);
  // Start of row `row` counted from the top, whatever the DIB's orientation.
  // A device bitmap becomes a DIB first. EInvalidGraphicOperation "Scan line
  // index out of range" for a row outside the bitmap.
  void* ScanLine(int row);
  TColor TransparentColor();
  void SetTransparentColor(TColor value);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);

  bool Empty() override;
  int Width() override;
  int Height() override;
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  void SetSize(int width, int height) override;
  // A new image of the size in the current pixel format whose pixels are left unpainted and
  // the old picture dropped: for a caller about to write every pixel itself, which would
  // otherwise pay for painting (and touching) the whole image with the brush first.
  void SetSizeUninitialized(int width, int height);
  HPALETTE GetPalette() override;
  // Takes over the palette; a palette DIB gets its colours.
  void SetPalette(HPALETTE value) override;

 protected:
  void Changed(TObject* sender) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;
  // A 32-bit size, then the BMP file.
  void ReadData(TStream* stream) override;
  void WriteData(TStream* stream) override;

 private:
  friend class TBitmapCanvas;
  HDC ImageDC();
  void FreeContext();
  void SetImage(HBITMAP handle, bool foreign = false);
  void FreeImageHandles();
  void Restore();
  void ReadBytes(const Byte* data, size_t size);
  TBytes SaveBytes();
  HBITMAP CopyImage(TPixelFormat format, bool monochrome, int width, int height);

  TBitmapImage* image_;
  TCanvas* canvas_ = nullptr;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
};

// An icon (HICON). Keeps the .ico bytes it was loaded from and saves them back.
class TIcon : public TGraphic {
  DECLARE_CLASS(TIcon, TGraphic)
  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* source) override;

  // Reads an .ico file (to the end of the stream); the first image makes the
  // handle. No bytes at all make an empty icon, as an empty icon saves none.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;

  HICON Handle();
  // Takes over the icon handle.
  void SetHandle(HICON value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  HICON ReleaseHandle();

  bool Empty() override;
  int Width() override;
  int Height() override;
  // An icon's size comes from its image: EInvalidGraphicOperation "Cannot change the size of an icon".
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool Transparent() override { return true; }

 protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;

 private:
  void Clear();
  TBytes data_;      // the .ico file, empty when the icon came from a handle
  HICON handle_ = nullptr;
  int width_ = 0, height_ = 0;
};

// A metafile: a recording of drawing operations, played back scaled into the
// rectangle it is drawn in. The image is always held as an enhanced metafile;
// Enhanced only chooses what SaveToStream writes: the enhanced format (.emf)
// or the old-style one (.wmf) behind its placeable header, which carries the
// bounding box and the units per inch that the old format itself lacks.
// LoadFromStream reads either and sets Enhanced to match.
class TMetafile : public TGraphic {
  DECLARE_CLASS(TMetafile, TGraphic)
  TMetafile();
  ~TMetafile() override;
  // From another TMetafile (a copy of its handle and sizes); null clears.
  void Assign(TPersistent* source) override;
  void Clear();

  // Reads an .emf, or a .wmf with its placeable header, from the position to
  // the end of the stream; no bytes make an empty metafile. EInvalidGraphic
  // "Metafile is not valid" for anything else.
  void LoadFromStream(TStream* stream) override;
  // Writes nothing for an empty metafile.
  void SaveToStream(TStream* stream) override;
  // CF_ENHMETAFILE, or CF_METAFILEPICT (an old-style metafile with its
  // extents); the clipboard keeps its handle and the metafile takes a copy.
  void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) override;
  // Always CF_ENHMETAFILE (the system offers CF_METAFILEPICT made from it);
  // the handle is a copy for the clipboard to own, null when empty.
  void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) override;

  HENHMETAFILE Handle() const { return handle_; }
  // Takes over the handle; its frame gives MMWidth and MMHeight, Inch is reset.
  void SetHandle(HENHMETAFILE value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  // The handle goes to the caller and the metafile becomes empty.
  HENHMETAFILE ReleaseHandle();

  bool Enhanced() const { return enhanced_; }
  void SetEnhanced(bool value);
  // The size in hundredths of a millimetre.
  int MMWidth() const { return mmWidth_; }
  void SetMMWidth(int value);
  int MMHeight() const { return mmHeight_; }
  void SetMMHeight(int value);
  // Metafile units per inch from the placeable header (0: none, the size in
  // pixels then follows the screen's resolution).
  Word Inch() const { return inch_; }
  void SetInch(Word value);
  // The two strings an enhanced metafile's description holds.
  String CreatedBy() const;
  String Description() const;

  bool Empty() override { return handle_ == nullptr; }
  // MMWidth in Inch units, or in screen pixels when Inch is 0.
  int Width() override;
  int Height() override;
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool Transparent() override { return true; }

 protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;

 private:
  friend class TMetafileCanvas;
  int UnitsPerInch() const;
  void TakeHandle(HENHMETAFILE handle, bool enhanced, int mmWidth, int mmHeight, Word inch);

  HENHMETAFILE handle_ = nullptr;
  int mmWidth_ = 0, mmHeight_ = 0;
  Word inch_ = 0;
  bool enhanced_ = true;
};

// Records drawing into a metafile: what is drawn on the canvas goes into a
// new enhanced metafile, which replaces the metafile's image when the canvas
// is freed. The recording's frame is the metafile's MMWidth x MMHeight; when
// those are 0 it comes from its Width and Height in pixels of the reference
// device, and when those are 0 too, the whole reference device.
class TMetafileCanvas : public TCanvas {
  DECLARE_CLASS(TMetafileCanvas, TCanvas)
  // A null reference device stands for the screen.
  TMetafileCanvas(TMetafile* metafile, HDC referenceDevice);
  TMetafileCanvas(TMetafile* metafile, HDC referenceDevice, const String& createdBy,
                  const String& description);
  ~TMetafileCanvas() override;

 private:
  TMetafile* metafile_;
};

// Holds one graphic of any registered class. The component stream stores it
// as "Data": a length byte, the graphic's class name, then the graphic's own
// stream data.
class TPicture : public TPersistent {
  DECLARE_CLASS(TPicture, TPersistent)
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* source) override;

  // Loads by the file's extension through the registered file formats;
  // EInvalidGraphic "Unknown picture file extension (.xyz)".
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName);
  void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette);
  void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette);
  static bool SupportsClipboardFormat(Word format);

  TGraphic* Graphic() const { return graphic_; }
  // Keeps a copy of `value` (a new object of its class); null clears.
  void SetGraphic(TGraphic* value);
  // The graphic as a bitmap: replaces another kind of graphic by an empty one.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* value) { SetGraphic(value); }
  TIcon* Icon();
  void SetIcon(TIcon* value) { SetGraphic(value); }
  TMetafile* Metafile();
  void SetMetafile(TMetafile* value) { SetGraphic(value); }
  int Width() const;
  int Height() const;

  // File extension without the dot, e.g. L"bmp".
  static void RegisterFileFormat(const String& extension, const String& description,
                                 TClass graphicClass);
  static void RegisterClipboardFormat(Word format, TClass graphicClass);
  static void UnregisterGraphicClass(TClass graphicClass);
  // A registered graphic class by its class name (case-insensitive); null when none.
  static TClass FindGraphicClass(const String& className);

  TNotifyEvent OnChange;

 protected:
  virtual void Changed(TObject* sender);
  void DefineProperties(TFiler* filer) override;
  void AssignTo(TPersistent* dest) override;
  void ReadData(TStream* stream);
  void WriteData(TStream* stream);

 private:
  void ForceType(TClass graphicClass);
  void TakeGraphic(TGraphic* graphic);
  TGraphic* graphic_ = nullptr;
};

// Open-dialog helpers over the registered file formats (all of them for a
// null class): "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|...".
String GraphicFilter(TClass graphicClass);
String GraphicExtension(TClass graphicClass);   // first extension, without dot
String GraphicFileMask(TClass graphicClass);    // "*.jpg;*.jpeg"

// Module start-up: the default font, the screen resolution and the picture
// file formats (bmp, ico, emf/wmf, jpg/jpeg). Shutdown clears the format registry.
void GraphicsInitialize();
void GraphicsFinalize();
