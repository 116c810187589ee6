// JPEG pictures. The compressed bytes are kept exactly as loaded and written
// back unchanged; only the header is parsed at load. The pixels are decoded
// on the first draw (or DIBNeeded) and kept for later draws. An image made
// from a bitmap is compressed when it is saved.
#pragma once

#include "platform/gui/Graphics.h"

#include <functional>

DECLARE_ENUM(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)
DECLARE_ENUM(TJPEGPixelFormat, jf24Bit, jf8Bit)
DECLARE_ENUM(TJPEGPerformance, jpBestQuality, jpBestSpeed)

using TJPEGRowProc = std::function<void(const Byte* ARow)>;

class TJPEGImage : public TGraphic {
  DECLARE_CLASS(TJPEGImage, TGraphic)
  TJPEGImage();
  ~TJPEGImage() override;
  // From another TJPEGImage (bytes copied) or a TBitmap (compressed on save).
  void Assign(TPersistent* source) override;
  bool Equals(TGraphic* graphic) override;

  // Reads the JPEG data from the position to the end of the stream.
  // EInvalidGraphic when the header cannot be parsed.
  void LoadFromStream(TStream* stream) override;
  // Writes the stored bytes, compressing first when the image was changed.
  void SaveToStream(TStream* stream) override;

  // Decodes the pixels now (once); EInvalidGraphic for corrupt data.
  void DIBNeeded();
  // The decoded pixels (decoded now when they are not yet), owned by the image; null for an
  // empty one. Valid until the image or one of its decoding options changes.
  TBitmap* DecodedBitmap();
  // Whether the pixels are decoded and kept.
  bool Decoded() const { return bitmap_ != nullptr; }
  // Decodes the stored bytes without keeping the pixels, for a caller that scales them as
  // they come: ARow gets each row in turn, top to bottom, as 24-bit blue-green-red pixels
  // of the size at the current Scale (valid during the call only); rows the data lacks are
  // not given. False, with nothing decoded, when the pixels are kept already or would not
  // be such rows (grey or 8-bit output, no data). EInvalidGraphic for corrupt data.
  bool DecodeRows(const TJPEGRowProc& ARow);
  // Compresses the bitmap when the image has no compressed bytes.
  void JPEGNeeded();
  // Compresses the current bitmap with CompressionQuality.
  void Compress();

  bool Empty() override;
  // Size of the decoded image at the current Scale.
  int Width() override;
  int Height() override;
  // The size comes from the data: EInvalidGraphicOperation.
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  HPALETTE GetPalette() override;

  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int value);   // 1..100
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool value);
  TJPEGPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TJPEGPixelFormat value);
  TJPEGScale Scale() const { return scale_; }
  void SetScale(TJPEGScale value);
  bool Smoothing() const { return smoothing_; }
  void SetSmoothing(bool value);
  TJPEGPerformance Performance() const { return performance_; }
  void SetPerformance(TJPEGPerformance value);
  // From the header: progressive coding.
  bool ProgressiveEncoding() const { return progressive_; }
  // The stored bytes (empty until loaded or compressed).
  const TBytes& Data() const { return data_; }

  // Process-wide count of full decodes, for tests that pin deferred decoding.
  static long DecodeCount();

 protected:
  void AssignTo(TPersistent* dest) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;
  // 32-bit length, then the JPEG bytes.
  void ReadData(TStream* stream) override;
  void WriteData(TStream* stream) override;

 private:
  void SetData(TBytes data);
  void FreeBitmap();
  void Decode();

  TBytes data_;
  TBitmap* bitmap_ = nullptr;   // decoded pixels, or the source of a changed image
  int width_ = 0, height_ = 0;  // from the header, full size
  bool grayscaleSource_ = false;
  bool progressive_ = false;
  int quality_ = 90;
  bool grayscale_ = false;
  TJPEGPixelFormat pixelFormat_ = jf24Bit;
  TJPEGScale scale_ = jsFullSize;
  bool smoothing_ = true;
  TJPEGPerformance performance_ = jpBestQuality;
};
