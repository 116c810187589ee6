// Drawing of skin elements: the canvas every element draws on (GDI+ over a
// device context, buffered on low-colour devices), the nine-part cut of an
// image, the renderings kept by element caches, and the window of a stream
// that an image's PNG data is decoded from.
#pragma once

#include "skins/dxSkinsCore.h"
#include "platform/core/Streams.h"

class TcxBitmap;

// The nine parts of a rectangle, numbered column x 3 + row.
using TdxSkinNineParts = TRect[9];
using TdxSkinPartsVisibility = bool[9];

// Cuts R by the margins. AShrink (the destination cut) shrinks margins that do
// not fit in proportion. A part whose flag is clear gets the empty rectangle;
// a part that comes out empty clears its flag.
void dxSkinCutNineParts(const TRect& R, const TRect& AMargins, bool AShrink, TdxSkinPartsVisibility& AVisibility,
                        TdxSkinNineParts& AParts);

class TdxSkinCanvas : public TObject {
  DECLARE_CLASS(TdxSkinCanvas, TObject)
  TdxSkinCanvas() = default;
  ~TdxSkinCanvas() override;

  void BeginPaint(HDC DC, const TRect& R);
  // AGraphics becomes the canvas's: EndPaint deletes it.
  void BeginPaintEx(GpGraphics* AGraphics, const TRect& R);
  void EndPaint();
  static bool IsDoubleBufferNeeded(HDC DC);
  static bool IsRectVisible(HDC DC, const TRect& R);

  void FillRectByColor(const TRect& R, TColor AColor);
  void FillRectByGradient(const TRect& R, TColor AColor1, TColor AColor2, TdxSkinGradientMode AMode);
  void FillRectByBrush(const TRect& R, GpBrush* ABrush, TColor AFallbackColor);
  void DrawImage(TdxPNGImage* AImage, const TRect& ADest, const TRect& ASource);
  void DrawImageWithMargines(TdxSkinImage* AImage, const TRect& R, const TdxSkinPartsVisibility& AVisibility,
                             const TdxSkinNineParts& ADestParts, const TdxSkinNineParts& ASourceParts);
  void SetInterpolationMode(GpInterpolationMode AMode);

  GpGraphics* Graphics() const { return FGraphics; }
  // The device context drawing goes to; nil while painting on a GDI+ bitmap.
  HDC DC() const { return FDC; }

 private:
  void StretchPart(TdxPNGImage* AImage, const TRect& ADest, const TRect& ASource);
  void TilePart(TdxPNGImage* AImage, const TRect& ADest, const TRect& ASource);

  TcxBitmap* FBuffer = nullptr;
  GpGraphics* FGraphics = nullptr;
  TRect FRect{};
  HDC FSourceDC = nullptr;
  HDC FDC = nullptr;
};

// A finished rendering of one element in one rectangle, state and image index.
class TdxSkinElementCache : public TObject {
  DECLARE_CLASS(TdxSkinElementCache, TObject)
  TdxSkinElementCache() = default;
  ~TdxSkinElementCache() override;

  void CheckCacheState(TdxSkinElement* AElement, const TRect& R, TdxSkinElementState AState = esNormal,
                       int AImageIndex = 0);
  void Draw(HDC DC, const TRect& R);
  void DrawEx(HDC DC, TdxSkinElement* AElement, const TRect& R, TdxSkinElementState AState = esNormal,
              int AImageIndex = 0);
  void Flush();

  TdxSkinElement* Element() const { return FElement; }
  const TRect& Rect() const { return FRect; }
  // How many times an element was rendered into a cache, process-wide.
  static int RenderCount();

 private:
  void FreeRenderings();

  GpBitmap* FCache = nullptr;
  TcxBitmap* FCacheOpaque = nullptr;
  TdxSkinElement* FElement = nullptr;
  int FImageIndex = 0;
  bool FIsAlphaBlendUsed = false;
  TRect FRect{};
  TdxSkinElementState FState = esNormal;
};

// Up to CacheListLimit renderings; the oldest made goes first.
class TdxSkinElementCacheList : public TcxObjectList {
  DECLARE_CLASS(TdxSkinElementCacheList, TcxObjectList)
  TdxSkinElementCacheList() = default;

  void DrawElement(HDC DC, TdxSkinElement* AElement, const TRect& R, TdxSkinElementState AState = esNormal,
                   int AImageIndex = 0);
  void Flush() { Clear(); }
  int CacheListLimit() const { return FCacheListLimit; }
  void SetCacheListLimit(int AValue) { FCacheListLimit = AValue; }

 private:
  int FCacheListLimit = 8;
};

// A window [PosStart, PosEnd) onto another stream: reads, seeks and the size
// stay inside it, so a decoder never sees the bytes around it.
class TdxSkinPartStream : public TStream {
  DECLARE_CLASS(TdxSkinPartStream, TStream)
  explicit TdxSkinPartStream(TStream* ASource) : FSource(ASource) {}

  void Initialize(Int64 APosStart, Int64 APosEnd);
  void InitializeEx(TStream* ASource, Int64 APosStart, Int64 APosEnd);
  int Read(void* Buffer, int Count) override;
  int Write(const void* Buffer, int Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return FPosEnd - FPosStart; }

  TStream* Source() const { return FSource; }
  Int64 PosStart() const { return FPosStart; }
  Int64 PosEnd() const { return FPosEnd; }

 private:
  TStream* FSource;
  Int64 FPosStart = 0;
  Int64 FPosEnd = 0;
};

// The stream reader of skins: every count, length and size is checked against
// what the stream still holds before anything is made of it.
class TdxSkinReader {
 public:
  // ALastingMemory: the memory behind AStream when it outlives whatever is
  // read from it (a resource of the program's own image), else null.
  explicit TdxSkinReader(TStream* AStream, const void* ALastingMemory = nullptr);

  TStream* Stream() const { return FStream; }
  // ACount bytes of the stream from its position on, in memory that lasts
  // for the process; empty when the stream is not such memory.
  std::string_view LastingBytes(Int64 ACount);
  Int64 Remaining();
  // Raises EdxSkin unless ACount bytes are left.
  void Need(Int64 ACount);
  [[noreturn]] void Damaged(const String& AWhat);

  int ReadInteger();
  Byte ReadByte();
  Word ReadWord();
  double ReadDouble();
  TRect ReadRect();
  TSize ReadSize();
  String ReadString();
  // A count of records of at least AMinRecordSize bytes each.
  int ReadCount(int AMinRecordSize);
  // Reads the signature and the version; False when the signature is not there.
  bool ReadHeader(double& AVersion);

 private:
  template <class T>
  T ReadValue();
  TStream* FStream;
  const void* FLastingMemory;
};

// Header of skin streams and containers.
void dxSkinWriteHeader(TStream* AStream, double AVersion = 1.02);
void dxSkinWriteInteger(TStream* AStream, int AValue);
void dxSkinWriteString(TStream* AStream, const String& AValue);
