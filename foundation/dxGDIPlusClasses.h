// GDI+ images: TdxGPImage wraps a GDI+ bitmap (built from a platform bitmap,
// from 32-bit premultiplied pixels or from a stream; drawn stretched and with a
// constant alpha; saved as PNG), and TdxPNGImage is the picture class built on
// it, registered with the platform's picture formats as "png".
//
// Without GDI+ every image is a TdxGPNullImage without a GDI+ bitmap: pictures
// are empty, drawing draws nothing, streams load and save nothing.
#pragma once

#include "foundation/dxGDIPlusAPI.h"
#include "platform/gui/Graphics.h"

#include <memory>
#include <vector>

class TStream;

// Pixels as blue, green, red, alpha bytes with premultiplied alpha, row-major,
// top row first, no padding.
using TdxRGBColors = std::vector<RGBQUAD>;

class TdxGPImage : public TdxGPBase {
  DECLARE_CLASS(TdxGPImage, TdxGPBase)
  TdxGPImage() = default;
  ~TdxGPImage() override;

  // New images of the class dxGpImageClass. A null bitmap, no pixels or no
  // GDI+ give an image without a handle.
  static TdxGPImage* CreateFromBitmap(TBitmap* bitmap);
  // Empty `bits` let GDI+ allocate a blank (transparent) bitmap. Without alpha
  // every alpha byte becomes 255.
  static TdxGPImage* CreateFromPattern(int width, int height, const TdxRGBColors& bits, bool hasAlpha);
  // Reads an image at the stream's position: a "BM" bitmap file through the
  // platform's bitmap, anything else through GDI+ (PNG, JPEG, GIF ...). The
  // stream is left just after the image's own bytes where their end is known.
  static TdxGPImage* CreateFromStream(TStream* stream);

  // An image of the same pixels: sharing the pixel array when the image was
  // built from pixels, else a GDI+ copy.
  virtual TdxGPImage* Clone();
  // The whole image stretched into `rect` at full opacity.
  void Draw(HDC dc, const TRect& rect);
  // The `source` part stretched into `dest` with constant alpha 0..255.
  void DrawEx(GpGraphics* graphics, const TRect& dest, const TRect& source, Byte alpha = 255);
  // Writes the image as PNG; nothing without a handle.
  void SaveToStream(TStream* stream);
  // A new pf32bit bitmap of the image's premultiplied pixels (the caller frees
  // it); null without a handle.
  virtual TBitmap* GetAsBitmap();
  // The bitmap's pixels as 32 bits (top row first).
  static void GetBitmapBits(TBitmap* bitmap, TdxRGBColors& bits);
  // The image's own pixels (after Unpack).
  void GetBitmapBits(TdxRGBColors& bits);
  // Makes sure the pixel array holds the image's pixels.
  void Unpack();
  // A new image of this size: this image, and over it `overlay` stretched to
  // the whole of it at opacity `alpha`.
  TdxGPImage* MakeComposition(TdxGPImage* overlay, Byte alpha);

  // Null when GDI+ has stopped since the handle was made.
  GpImage* Handle() const { return handle_ && session_ == dxgpdetail::Session() ? handle_ : nullptr; }
  bool HandleAllocated() const { return Handle() != nullptr; }
  int Width() const;
  int Height() const;
  TRect ClientRect() const { return TRect(0, 0, Width(), Height()); }
  // The pixels the GDI+ bitmap is built over; empty for images from streams.
  const TdxRGBColors& Bits() const;

 protected:
  virtual void FreeHandle();
  virtual void LoadFromStreamData(TStream* stream);
  virtual void AssignFromBits(int width, int height, std::shared_ptr<TdxRGBColors> bits, bool hasAlpha);
  void AssignFromBitmap(TBitmap* bitmap);
  void SetHandle(GpImage* handle);

 private:
  static TdxGPImage* NewImage();
  GpImage* handle_ = nullptr;
  unsigned session_ = 0;
  // Shared with clones; GDI+ reads it in place for as long as the handle lives.
  std::shared_ptr<TdxRGBColors> bits_;
};

// The image class while GDI+ is unavailable: never gets a GDI+ bitmap.
class TdxGPNullImage : public TdxGPImage {
  DECLARE_CLASS(TdxGPNullImage, TdxGPImage)

 protected:
  void LoadFromStreamData(TStream* stream) override;
  void AssignFromBits(int width, int height, std::shared_ptr<TdxRGBColors> bits, bool hasAlpha) override;
};

// The class every image is created from: TdxGPImage once the module's start-up
// found GDI+ available, else TdxGPNullImage (also once GDI+ failed to start for
// the first image).
extern TClass dxGpImageClass;

class TdxPNGImage : public TGraphic {
  DECLARE_CLASS(TdxPNGImage, TGraphic)
  TdxPNGImage() = default;
  ~TdxPNGImage() override;

  // A new image of dxGpImageClass made from the bitmap.
  static TdxGPImage* CreateFromBitmap(TBitmap* source);

  // From a TBitmap (a new image of its pixels) or a TdxPNGImage (a copy).
  void Assign(TPersistent* source) override;
  // An empty stream empties the picture. A picture inside a larger stream is
  // read to its end and the stream left there.
  void LoadFromStream(TStream* stream) override;
  // PNG data; nothing for an empty picture.
  void SaveToStream(TStream* stream) override;
  void LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) override;
  // The picture drawn over white, as a bitmap.
  void SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) override;

  bool Empty() override;
  int Width() override;
  int Height() override;
  // A picture's size comes from its image: setting it does nothing.
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  bool Transparent() override { return true; }

  // Same size and, unless one is empty, the same pixels.
  virtual bool Compare(TdxPNGImage* image);
  // A new pf32bit bitmap of the picture (the caller frees it); null when empty.
  virtual TBitmap* GetAsBitmap();
  virtual void SetBitmap(TBitmap* bitmap);
  virtual void StretchDraw(HDC dc, const TRect& dest);
  virtual void StretchDraw(HDC dc, const TRect& dest, const TRect& source);
  virtual void StretchDrawEx(GpGraphics* graphics, const TRect& dest, const TRect& source);
  void DrawEx(GpGraphics* graphics, const TRect& dest, const TRect& source);
  // Some pixel's alpha is not 255 (computed once per change).
  bool IsAlphaUsed();

  TdxGPImage* Handle() const { return handle_; }
  // Takes over `value`; the previous image is freed.
  void SetHandle(TdxGPImage* value);

 protected:
  void AssignTo(TPersistent* dest) override;
  void Changed(TObject* sender) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;

 private:
  TdxGPImage* handle_ = nullptr;
  bool isAlphaUsed_ = false;
  bool isAlphaUsedAssigned_ = false;
};

// Module start-up and shutdown (through the units loader).
void dxGDIPlusClassesInitialize();
void dxGDIPlusClassesFinalize();
