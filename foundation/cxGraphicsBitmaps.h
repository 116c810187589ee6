// Bitmaps of the graphics module: TcxBitmap (a platform bitmap with its own
// TcxCanvas, batched change notification and optional run-length
// compression of its stored data), TcxBitmap32 (always 32 bits per pixel,
// whole-image pixel and alpha operations) and TcxAlphaBitmap (per-pixel
// looks: disabled, faded, grey, masks, hatches, shadows). Also the three
// shared alpha bitmaps the image drawing reuses and the codec of the
// compressed stored form ("XDBM").
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Lists.h"
#include "platform/core/System.h"
#include "platform/gui/Graphics.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"

class TStream;

// ---------------------------------------------------------------------------
// TcxBitmap
// ---------------------------------------------------------------------------

// A platform bitmap that carries a TcxCanvas over its own canvas. Edits
// between BeginUpdate and the outermost EndUpdate give one change
// notification (and one ValidateAfterChange), and only when something
// changed or the end forces it.
class TcxBitmap : public TBitmap {
  DECLARE_CLASS(TcxBitmap, TBitmap)
  // 0 x 0, 24 bits per pixel.
  TcxBitmap();
  TcxBitmap(int AWidth, int AHeight);
  TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat);
  explicit TcxBitmap(const TRect& ARect);
  TcxBitmap(const TRect& ARect, TPixelFormat APixelFormat);
  ~TcxBitmap() override;

  void BeginUpdate();
  // Leaves one level without a notification.
  void CancelUpdate();
  void EndUpdate(bool AForceUpdate = true);

  // ABitmap from its (0, 0) onto ClientRect.
  void CopyBitmap(TBitmap* ABitmap, DWORD ACopyMode = SRCCOPY);
  // One BitBlt of ADestRect's size from ABitmap's canvas to this one.
  void CopyBitmap(TBitmap* ABitmap, const TRect& ADestRect, const TPoint& ASrcTopLeft,
                  DWORD ACopyMode = SRCCOPY);
  void Rotate(TcxRotationAngle ARotationAngle, bool AFlipVertically = false);

  // Negative sizes become 0; an unchanged size does nothing.
  void SetSize(int AWidth, int AHeight) override;
  void SetSize(const TRect& ARect) { SetSize(ARect.Width(), ARect.Height()); }

  TRect ClientRect() { return TRect(0, 0, Width(), Height()); }
  TcxCanvas* cxCanvas() const { return FcxCanvas; }
  // Write the stored pixel data in the compressed "XDBM" form.
  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool AValue) { FCompressData = AValue; }
  int LockCount() const { return FLockCount; }

 protected:
  // The constructors' common part: the canvas, then pixel format and size
  // inside one update, so that construction ends with one notification.
  void SetUpSurface(int AWidth, int AHeight, TPixelFormat APixelFormat);
  // Runs after every notification that is let through.
  virtual void ValidateAfterChange() {}
  void Changed(TObject* Sender) override;
  // Accepts both the plain and the compressed form.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  bool FCompressData = false;
  TcxCanvas* FcxCanvas = nullptr;
  int FLockCount = 0;
  bool FModified = false;
};

// ---------------------------------------------------------------------------
// TcxBitmap32
// ---------------------------------------------------------------------------

// Always 32 bits per pixel: a change batch that leaves it at another depth
// raises EdxException "Wrong PixelFormat". Pixel arrays are RGBQUADs with
// rows bottom-up (the first row of the array is the bottom row).
class TcxBitmap32 : public TcxBitmap {
  DECLARE_CLASS(TcxBitmap32, TcxBitmap)
  TcxBitmap32();
  // Not cleared.
  TcxBitmap32(int AWidth, int AHeight);
  TcxBitmap32(int AWidth, int AHeight, bool AClear);
  TcxBitmap32(const TRect& ARect, bool AClear = false);

  void GetBitmapColors(TRGBColors& AColors);
  // Writes nothing unless AColors holds Width x Height pixels.
  void SetBitmapColors(const TRGBColors& AColors);
  // Draws ClientRect into ABitmap at ARect through cxAlphaBlend.
  void AlphaBlend(TcxBitmap32* ABitmap, const TRect& ARect, bool ASmoothImage,
                  Byte AConstantAlpha = 255);
  // Every pixel 0 (transparent black).
  virtual void Clear();
  // Clears every pixel where the mask is white (destination AND NOT source).
  void Filter(TBitmap* AMaskBitmap);
  void Invert();
  void MakeOpaque() { SetAlphaChannel(255); }
  void SetAlphaChannel(Byte Alpha);
  // Pixels of the colour become 0; other pixels with alpha 0 become opaque.
  void RecoverTransparency(TColor ATransparentColor);
  // Reads inside one update and leaves the bitmap at 32 bits even when the
  // read fails.
  void LoadFromStream(TStream* Stream) override;
  bool IsAlphaUsed();

 protected:
  void ValidateAfterChange() override;
};

// ---------------------------------------------------------------------------
// TcxAlphaBitmap
// ---------------------------------------------------------------------------

// Colours (RGB, byte 3 cleared) that count as transparent.
class TcxColorList : public TList {
  DECLARE_CLASS(TcxColorList, TList)
  int Add(TColor AColor);
  bool Contains(DWORD ARGB) const;
};

struct TcxHatchData {
  RGBQUAD Color1{};
  Byte Alpha1 = 0;
  RGBQUAD Color2{};
  Byte Alpha2 = 0;
  Byte Step = 0;
};

DECLARE_ENUM(TcxBitmapTransformationMode, btmDingy, btmDirty, btmGrayScale, btmSetOpaque,
             btmMakeMask, btmFade, btmDisable, btmCorrectBlend, btmHatch, btmClear,
             btmResetAlpha)

// A 32-bit bitmap with per-pixel transformations. A pixel is transparent
// when its 32-bit value equals TransparentBkColor or its RGB is one of the
// transparent colours.
class TcxAlphaBitmap : public TcxBitmap32 {
  DECLARE_CLASS(TcxAlphaBitmap, TcxBitmap32)
  TcxAlphaBitmap();
  TcxAlphaBitmap(int AWidth, int AHeight);
  TcxAlphaBitmap(int AWidth, int AHeight, RGBQUAD ATransparentBkColor);
  explicit TcxAlphaBitmap(const TRect& ARect);
  ~TcxAlphaBitmap() override;

  // Every pixel := TransparentBkColor when its alpha is not 0, else all 0.
  void Clear() override;
  // SetSize, no transparent colours, Clear.
  void RefreshImage(int AWidth, int AHeight);
  void RefreshImage(const TRect& ARect) { RefreshImage(ARect.Width(), ARect.Height()); }
  // ATransparentColor becomes the only transparent colour and (alpha 0) the
  // background, then btmCorrectBlend.
  void RecoverAlphaChannel(TColor ATransparentColor);
  // Applies the mode to every pixel (columns outer, rows from the bottom)
  // and notifies once.
  void TransformBitmap(TcxBitmapTransformationMode AMode);
  // A step of 0 is taken as 1.
  void DrawHatch(const TcxHatchData& AHatchData);
  void DrawHatch(TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1, Byte AAlpha2);
  // A shadow of AShadowSize pixels right and below the shape of AMaskBitmap
  // (white = transparent); AInflateSize grows this bitmap to hold it.
  void DrawShadow(TcxAlphaBitmap* AMaskBitmap, int AShadowSize, TColor AShadowColor,
                  bool AInflateSize = false);
  // The embossed look of a mask: its shape offset by (1, 1) with the shape
  // itself in the button-shadow colour. Inverts AMaskBitmap.
  void Shade(TcxAlphaBitmap* AMaskBitmap);

  RGBQUAD TransparentBkColor() const { return FTransparentBkColor; }
  void SetTransparentBkColor(RGBQUAD AValue) { FTransparentBkColor = AValue; }
  TcxColorList* TransparentPixels() const { return FTransparentPixels; }
  // Column and row (from the bottom) of the last pixel transformed.
  TPoint CurrentColorIndex() const { return FCurrentColorIndex; }

 private:
  bool IsColorTransparent(const RGBQUAD& AColor) const;

  RGBQUAD FTransparentBkColor{};
  TcxColorList* FTransparentPixels = nullptr;
  TPoint FCurrentColorIndex{0, 0};
  TcxHatchData FHatchData;
};

// ---------------------------------------------------------------------------
// Pixel math and the shared bitmaps
// ---------------------------------------------------------------------------

// Blends AColor over ADest at factor AFactor (premultiplied, single
// precision, rounded half to even, clamped): k = AFactor / 255,
// e = 1 - AColor.alpha * k / 255, dst = AColor * k + dst * e per channel.
void cxBlendPixelOver(RGBQUAD& ADest, const RGBQUAD& AColor, Byte AFactor);

// Process-wide alpha bitmaps reused by the image drawing: created cleared
// on first use, later RefreshImage'd to the requested size. They stay the
// module's; cxFreeSharedBitmaps (graphics shutdown) frees them.
TcxAlphaBitmap* cxGetDrawBitmap(int AWidth, int AHeight);
TcxAlphaBitmap* cxGetImageBitmap(int AWidth, int AHeight);
TcxAlphaBitmap* cxGetMaskBitmap(int AWidth, int AHeight);
void cxFreeSharedBitmaps();

// ---------------------------------------------------------------------------
// The compressed stored form of bitmap data
// ---------------------------------------------------------------------------
//
//   offset  size  field
//        0     4  N: bytes after this 10-byte header
//        4     4  "XDBM"
//        8     2  version (2; 1 is read only)
//       10     N  body: E (element size), P, P bytes as they are, then runs
//                 of E-byte elements; run header h, count = h and 0x7F
//                 (1 ... 125): high bit clear = one element repeated count
//                 times, high bit set = count elements as they are.
//                 Version 1 has no E and P and uses elements of one byte.

// True when the data starts with the compressed header.
bool cxIsCompressedBitmapData(const Byte* AData, size_t ASize);
// Header and version-2 body for the plain data with elements of
// AElementSize bytes (1 ... 4).
TBytes cxCompressBitmapData(const Byte* APlain, size_t ASize, int AElementSize);
// The plain data of a compressed form (header included). Malformed data
// (bad signature, version or element size, a run count outside 1 ... 125, a
// body shorter than N or than its runs, more than AMaxPlainSize bytes out)
// raises EInvalidGraphic; nothing is read or written out of bounds.
TBytes cxDecompressBitmapData(const Byte* AData, size_t ASize,
                              size_t AMaxPlainSize = 0x10000000);
