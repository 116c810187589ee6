// GDI+ without a link-time dependency: "gdiplus.dll" is loaded by name the first
// time some code asks dxIsGdiPlusReady, every entry point the library uses is
// looked up by name, and GDI+ is started. When any of that fails GDI+ counts as
// unavailable and the callers fall back (null images, no PNG format, no fading).
// Start-up steps only ask dxIsGdiPlusAvailable, so that a program that draws
// nothing through GDI+ before its window shows does not load it before then.
//
// Also the units loader: the list through which a module hands over its start-up
// and shutdown procedures, run at once in a program and on an explicit call when
// the library lives in a dynamic library.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/ResStrings.h"
#include "platform/core/System.h"

#include <objidl.h>

class TStream;
using TColor = int;   // as in platform/gui/Graphics.h

// ---------------------------------------------------------------------------
// The flat API's types, as far as the library uses them
// ---------------------------------------------------------------------------

using GpStatus = int;
constexpr GpStatus GpOk = 0;

using ARGB = DWORD;
using REAL = float;
using GpPixelFormat = int;
using GpUnit = int;
using GpWrapMode = int;
using GpFillMode = int;
using GpHatchStyle = int;
using GpBrushType = int;
using GpPenType = int;
using GpPenAlignment = int;
using GpLinearGradientMode = int;
using GpInterpolationMode = int;
using GpCompositingMode = int;
using GpCompositingQuality = int;
using GpSmoothingMode = int;
using GpColorAdjustType = int;
using GpColorMatrixFlags = int;

constexpr GpPixelFormat PixelFormat32bppRGB = 0x00022009;
constexpr GpPixelFormat PixelFormat32bppARGB = 0x0026200A;
constexpr GpPixelFormat PixelFormat32bppPARGB = 0x000E200B;
constexpr GpUnit UnitPixel = 2;
constexpr GpWrapMode WrapModeTile = 0;
constexpr GpColorAdjustType ColorAdjustTypeBitmap = 1;
constexpr GpColorMatrixFlags ColorMatrixFlagsDefault = 0;
constexpr GpInterpolationMode InterpolationModeNearestNeighbor = 5;
constexpr UINT ImageLockModeRead = 1;
constexpr UINT ImageLockModeWrite = 2;

// Opaque objects. Brush and image kinds are one type each, as the flat API
// treats a solid fill or a bitmap as a brush or an image.
struct GpGraphics;
struct GpBrush;
struct GpPen;
struct GpImage;
struct GpImageAttributes;
struct GpCachedBitmap;
using GpSolidFill = GpBrush;
using GpLineGradient = GpBrush;
using GpHatch = GpBrush;
using GpTexture = GpBrush;
using GpBitmap = GpImage;

struct GpRect {
  INT X, Y, Width, Height;
};
struct GpPoint {
  INT X, Y;
};

struct GdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
using GdiplusNotificationHookProc = GpStatus(WINAPI*)(ULONG_PTR* token);
using GdiplusNotificationUnhookProc = void(WINAPI*)(ULONG_PTR token);
struct GdiplusStartupOutput {
  GdiplusNotificationHookProc NotificationHook;
  GdiplusNotificationUnhookProc NotificationUnhook;
};

struct GpImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags, Version, SigCount, SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

struct GpEncoderParameter {
  GUID Guid;
  ULONG NumberOfValues;
  ULONG Type;
  void* Value;
};
struct GpEncoderParameters {
  UINT Count;
  GpEncoderParameter Parameter[1];
};

struct GpBitmapData {
  UINT Width, Height;
  INT Stride;
  GpPixelFormat PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};

struct GpColorMatrix {
  REAL m[5][5];
};

using GpDrawImageAbort = BOOL(WINAPI*)(void*);

// ---------------------------------------------------------------------------
// The bound entry points (null until GDI+ is ready)
// ---------------------------------------------------------------------------

extern void*(WINAPI* GdipAlloc)(size_t size);
extern void(WINAPI* GdipFree)(void* ptr);
extern GpStatus(WINAPI* GdiplusStartup)(ULONG_PTR* token, const GdiplusStartupInput* input,
                                         GdiplusStartupOutput* output);
extern void(WINAPI* GdiplusShutdown)(ULONG_PTR token);
extern GpStatus(WINAPI* GdipCloneBrush)(GpBrush* brush, GpBrush** clone);
extern GpStatus(WINAPI* GdipDeleteBrush)(GpBrush* brush);
extern GpStatus(WINAPI* GdipGetBrushType)(GpBrush* brush, GpBrushType* type);
extern GpStatus(WINAPI* GdipCreateSolidFill)(ARGB color, GpSolidFill** brush);
extern GpStatus(WINAPI* GdipSetSolidFillColor)(GpSolidFill* brush, ARGB color);
extern GpStatus(WINAPI* GdipGetSolidFillColor)(GpSolidFill* brush, ARGB* color);
extern GpStatus(WINAPI* GdipCreateLineBrushFromRectI)(const GpRect* rect, ARGB color1, ARGB color2,
                                                      GpLinearGradientMode mode, GpWrapMode wrapMode,
                                                      GpLineGradient** brush);
extern GpStatus(WINAPI* GdipGetLineRectI)(GpLineGradient* brush, GpRect* rect);
extern GpStatus(WINAPI* GdipSetLineColors)(GpLineGradient* brush, ARGB color1, ARGB color2);
extern GpStatus(WINAPI* GdipGetLineColors)(GpLineGradient* brush, ARGB* colors);
extern GpStatus(WINAPI* GdipSetLineWrapMode)(GpLineGradient* brush, GpWrapMode wrapMode);
extern GpStatus(WINAPI* GdipGetLineWrapMode)(GpLineGradient* brush, GpWrapMode* wrapMode);
extern GpStatus(WINAPI* GdipCreateHatchBrush)(GpHatchStyle style, ARGB foreColor, ARGB backColor,
                                              GpHatch** brush);
extern GpStatus(WINAPI* GdipGetHatchStyle)(GpHatch* brush, GpHatchStyle* style);
extern GpStatus(WINAPI* GdipGetHatchForegroundColor)(GpHatch* brush, ARGB* color);
extern GpStatus(WINAPI* GdipGetHatchBackgroundColor)(GpHatch* brush, ARGB* color);
extern GpStatus(WINAPI* GdipCreatePen1)(ARGB color, REAL width, GpUnit unit, GpPen** pen);
extern GpStatus(WINAPI* GdipCreatePen2)(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
extern GpStatus(WINAPI* GdipClonePen)(GpPen* pen, GpPen** clone);
extern GpStatus(WINAPI* GdipDeletePen)(GpPen* pen);
extern GpStatus(WINAPI* GdipGetPenFillType)(GpPen* pen, GpPenType* type);
extern GpStatus(WINAPI* GdipSetPenBrushFill)(GpPen* pen, GpBrush* brush);
extern GpStatus(WINAPI* GdipGetPenBrushFill)(GpPen* pen, GpBrush** brush);
extern GpStatus(WINAPI* GdipSetPenColor)(GpPen* pen, ARGB color);
extern GpStatus(WINAPI* GdipGetPenColor)(GpPen* pen, ARGB* color);
extern GpStatus(WINAPI* GdipSetPenMode)(GpPen* pen, GpPenAlignment mode);
extern GpStatus(WINAPI* GdipGetPenMode)(GpPen* pen, GpPenAlignment* mode);
extern GpStatus(WINAPI* GdipSetPenWidth)(GpPen* pen, REAL width);
extern GpStatus(WINAPI* GdipGetPenWidth)(GpPen* pen, REAL* width);
extern GpStatus(WINAPI* GdipCreateFromHDC)(HDC dc, GpGraphics** graphics);
extern GpStatus(WINAPI* GdipDeleteGraphics)(GpGraphics* graphics);
extern GpStatus(WINAPI* GdipGetDC)(GpGraphics* graphics, HDC* dc);
extern GpStatus(WINAPI* GdipReleaseDC)(GpGraphics* graphics, HDC dc);
extern GpStatus(WINAPI* GdipGraphicsClear)(GpGraphics* graphics, ARGB color);
extern GpStatus(WINAPI* GdipDrawLineI)(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
extern GpStatus(WINAPI* GdipFillRectangleI)(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width,
                                            INT height);
extern GpStatus(WINAPI* GdipDrawArcI)(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height,
                                      REAL startAngle, REAL sweepAngle);
extern GpStatus(WINAPI* GdipDrawBezierI)(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2,
                                         INT x3, INT y3, INT x4, INT y4);
extern GpStatus(WINAPI* GdipDrawRectangleI)(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width,
                                            INT height);
extern GpStatus(WINAPI* GdipDrawEllipseI)(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width,
                                          INT height);
extern GpStatus(WINAPI* GdipDrawPieI)(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height,
                                      REAL startAngle, REAL sweepAngle);
extern GpStatus(WINAPI* GdipDrawPolygonI)(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
extern GpStatus(WINAPI* GdipDrawCurve2I)(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count,
                                         REAL tension);
extern GpStatus(WINAPI* GdipDrawClosedCurve2I)(GpGraphics* graphics, GpPen* pen, const GpPoint* points,
                                               INT count, REAL tension);
extern GpStatus(WINAPI* GdipFillPolygonI)(GpGraphics* graphics, GpBrush* brush, const GpPoint* points,
                                          INT count, GpFillMode fillMode);
extern GpStatus(WINAPI* GdipFillEllipseI)(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width,
                                          INT height);
extern GpStatus(WINAPI* GdipFillPieI)(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width,
                                      INT height, REAL startAngle, REAL sweepAngle);
extern GpStatus(WINAPI* GdipFillClosedCurveI)(GpGraphics* graphics, GpBrush* brush, const GpPoint* points,
                                              INT count);
extern GpStatus(WINAPI* GdipLoadImageFromStream)(IStream* stream, GpImage** image);
extern GpStatus(WINAPI* GdipCreateBitmapFromFile)(const WCHAR* fileName, GpBitmap** bitmap);
extern GpStatus(WINAPI* GdipCreateBitmapFromStream)(IStream* stream, GpBitmap** bitmap);
extern GpStatus(WINAPI* GdipCreateBitmapFromStreamICM)(IStream* stream, GpBitmap** bitmap);
extern GpStatus(WINAPI* GdipCreateHBITMAPFromBitmap)(GpBitmap* bitmap, HBITMAP* result, ARGB background);
extern GpStatus(WINAPI* GdipLoadImageFromFile)(const WCHAR* fileName, GpImage** image);
extern GpStatus(WINAPI* GdipGetImageDimension)(GpImage* image, REAL* width, REAL* height);
extern GpStatus(WINAPI* GdipDrawImageRectI)(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                            INT height);
extern GpStatus(WINAPI* GdipDisposeImage)(GpImage* image);
extern GpStatus(WINAPI* GdipGetImageEncodersSize)(UINT* numEncoders, UINT* size);
extern GpStatus(WINAPI* GdipGetImageEncoders)(UINT numEncoders, UINT size, GpImageCodecInfo* encoders);
extern GpStatus(WINAPI* GdipSaveImageToStream)(GpImage* image, IStream* stream, const CLSID* clsidEncoder,
                                               const GpEncoderParameters* encoderParams);
extern GpStatus(WINAPI* GdipCreateBitmapFromHBITMAP)(HBITMAP bitmap, HPALETTE palette, GpBitmap** result);
extern GpStatus(WINAPI* GdipIsVisibleRect)(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height,
                                           BOOL* result);
extern GpStatus(WINAPI* GdipIsVisibleRectI)(GpGraphics* graphics, INT x, INT y, INT width, INT height,
                                            BOOL* result);
extern GpStatus(WINAPI* GdipGetEncoderParameterListSize)(GpImage* image, const CLSID* clsidEncoder, UINT* size);
extern GpStatus(WINAPI* GdipGetEncoderParameterList)(GpImage* image, const CLSID* clsidEncoder, UINT size,
                                                     GpEncoderParameters* buffer);
extern GpStatus(WINAPI* GdipCreateBitmapFromGdiDib)(const BITMAPINFO* info, void* bits, GpBitmap** bitmap);
extern GpStatus(WINAPI* GdipCreateBitmapFromScan0)(INT width, INT height, INT stride, GpPixelFormat format,
                                                   BYTE* scan0, GpBitmap** bitmap);
extern GpStatus(WINAPI* GdipBitmapLockBits)(GpBitmap* bitmap, const GpRect* rect, UINT flags,
                                            GpPixelFormat format, GpBitmapData* data);
extern GpStatus(WINAPI* GdipBitmapUnlockBits)(GpBitmap* bitmap, GpBitmapData* data);
extern GpStatus(WINAPI* GdipDrawImageRectRectI)(GpGraphics* graphics, GpImage* image, INT dstX, INT dstY,
                                                INT dstWidth, INT dstHeight, INT srcX, INT srcY, INT srcWidth,
                                                INT srcHeight, GpUnit srcUnit,
                                                const GpImageAttributes* attributes, GpDrawImageAbort callback,
                                                void* callbackData);
extern GpStatus(WINAPI* GdipDrawImageRectRect)(GpGraphics* graphics, GpImage* image, REAL dstX, REAL dstY,
                                               REAL dstWidth, REAL dstHeight, REAL srcX, REAL srcY,
                                               REAL srcWidth, REAL srcHeight, GpUnit srcUnit,
                                               const GpImageAttributes* attributes, GpDrawImageAbort callback,
                                               void* callbackData);
extern GpStatus(WINAPI* GdipDrawImagePointRect)(GpGraphics* graphics, GpImage* image, REAL x, REAL y,
                                                REAL srcX, REAL srcY, REAL srcWidth, REAL srcHeight,
                                                GpUnit srcUnit);
extern GpStatus(WINAPI* GdipCloneImage)(GpImage* image, GpImage** clone);
extern GpStatus(WINAPI* GdipCreateTexture2I)(GpImage* image, GpWrapMode wrapMode, INT x, INT y, INT width,
                                             INT height, GpTexture** texture);
extern GpStatus(WINAPI* GdipCreateImageAttributes)(GpImageAttributes** attributes);
extern GpStatus(WINAPI* GdipDisposeImageAttributes)(GpImageAttributes* attributes);
extern GpStatus(WINAPI* GdipSetImageAttributesColorMatrix)(GpImageAttributes* attributes,
                                                           GpColorAdjustType type, BOOL enableFlag,
                                                           const GpColorMatrix* colorMatrix,
                                                           const GpColorMatrix* grayMatrix,
                                                           GpColorMatrixFlags flags);
extern GpStatus(WINAPI* GdipSetInterpolationMode)(GpGraphics* graphics, GpInterpolationMode mode);
extern GpStatus(WINAPI* GdipGetInterpolationMode)(GpGraphics* graphics, GpInterpolationMode* mode);
extern GpStatus(WINAPI* GdipCreateCachedBitmap)(GpBitmap* bitmap, GpGraphics* graphics,
                                                GpCachedBitmap** cachedBitmap);
extern GpStatus(WINAPI* GdipDeleteCachedBitmap)(GpCachedBitmap* cachedBitmap);
extern GpStatus(WINAPI* GdipDrawCachedBitmap)(GpGraphics* graphics, GpCachedBitmap* cachedBitmap, INT x, INT y);
extern GpStatus(WINAPI* GdipCreateBitmapFromGraphics)(INT width, INT height, GpGraphics* target,
                                                      GpBitmap** bitmap);
extern GpStatus(WINAPI* GdipGetImageGraphicsContext)(GpImage* image, GpGraphics** graphics);
extern GpStatus(WINAPI* GdipGetImageWidth)(GpImage* image, UINT* width);
extern GpStatus(WINAPI* GdipGetImageHeight)(GpImage* image, UINT* height);
extern GpStatus(WINAPI* GdipSetCompositingMode)(GpGraphics* graphics, GpCompositingMode mode);
extern GpStatus(WINAPI* GdipGetCompositingMode)(GpGraphics* graphics, GpCompositingMode* mode);
extern GpStatus(WINAPI* GdipSetCompositingQuality)(GpGraphics* graphics, GpCompositingQuality quality);
extern GpStatus(WINAPI* GdipGetCompositingQuality)(GpGraphics* graphics, GpCompositingQuality* quality);
extern GpStatus(WINAPI* GdipSetSmoothingMode)(GpGraphics* graphics, GpSmoothingMode mode);
extern GpStatus(WINAPI* GdipGetSmoothingMode)(GpGraphics* graphics, GpSmoothingMode* mode);
extern GpStatus(WINAPI* GdipCloneBitmapAreaI)(INT x, INT y, INT width, INT height, GpPixelFormat format,
                                              GpBitmap* source, GpBitmap** clone);

// The names, in binding order.
constexpr int dxGpEntryCount = 97;
extern const char* const dxGpEntryNames[dxGpEntryCount];

// ---------------------------------------------------------------------------
// Binding
// ---------------------------------------------------------------------------

// True when GDI+ is bound and started; binds and starts it while it is not.
bool dxIsGdiPlusReady();
// Whether GDI+ can be expected to start, without loading or starting it: true
// once started, false once a start failed (until dxGpReleaseLibrary), else
// whether the system lets "gdiplus.dll" be mapped (asked once). For start-up
// decisions (register the PNG format, the built-in skin); the users then ask
// dxIsGdiPlusReady when they first need GDI+ and fall back when it says no.
bool dxIsGdiPlusAvailable();
// Stops GDI+ (unhook, then shutdown) when it runs, frees the library and clears
// every entry point. The binding's shutdown procedure.
void dxGpReleaseLibrary();

RESOURCESTRING(sdxGdipInvalidOperation, 64810, "Invalid operation in GDI+")

// Every GDI+ call the library makes passes its status here: anything but Ok is
// an internal error (EAssertionFailed "Invalid operation in GDI+").
void dxGpCheckStatus(GpStatus status);

// The ARGB value of a colour (system colours resolved); clNone is 0.
ARGB dxMakeGpColor(TColor color, Byte alpha = 255);
// Fills the rectangle with a linear gradient from color1 to color2.
void dxGpFillGradientRect(GpGraphics* graphics, const TRect& rect, ARGB color1, ARGB color2,
                          GpLinearGradientMode mode);
bool dxGpIsRectVisible(GpGraphics* graphics, const TRect& rect);

// Class id of the PNG encoder; all zero until dxLookupPngEncoder found it.
extern CLSID dxPngEncoderClsid;
void dxLookupPngEncoder();
// 0 and the encoder's class id for a MIME type (case-insensitive), else 1.
int dxGpFindEncoderClsid(const String& mimeType, CLSID& clsid);

// A GDI+ bitmap decoded from the image data at the stream's position. Exactly
// the image's own bytes are consumed when their end can be told (a PNG's chunks,
// a BMP's file size), else everything up to the end of the stream; the stream is
// left just after them. The bitmap keeps no reference to the stream or its bytes.
// Needs GDI+; a stream GDI+ cannot decode is an assertion failure.
GpBitmap* dxGpCreateBitmapFromStreamData(TStream* stream);
// How many bytes the image data at the stream's position takes, by the rule
// above; the position is left unchanged.
Int64 dxGpImageDataSize(TStream* stream);

// ---------------------------------------------------------------------------
// Base of the GDI+ wrapper classes
// ---------------------------------------------------------------------------

// The wrappers live in the ordinary heap: nothing in this system hands them to
// code that frees them through GDI+, and an object that outlived the library's
// shutdown could no longer be returned to GDI+'s heap.
class TdxGPBase : public TObject {
  DECLARE_CLASS(TdxGPBase, TObject)
};

// ---------------------------------------------------------------------------
// Units loader
// ---------------------------------------------------------------------------

using TdxUnitProc = void (*)();

class TdxUnitsLoader : public TObject {
  DECLARE_CLASS(TdxUnitsLoader, TObject)
  TdxUnitsLoader() = default;
  ~TdxUnitsLoader() override;

  // Runs the start-up procedure now (in a program) or keeps it for Initialize
  // (in a dynamic library); keeps the shutdown procedure. Either may be null.
  void AddUnit(TdxUnitProc initializeProc, TdxUnitProc finalizeProc);
  // Takes the shutdown procedure out of the list and runs it when it was there.
  void RemoveUnit(TdxUnitProc finalizeProc);
  void Initialize();
  // Runs the kept shutdown procedures, last first, once.
  void Finalize();

  const std::vector<TdxUnitProc>& InitializeList() const { return initializeList_; }
  const std::vector<TdxUnitProc>& FinalizeList() const { return finalizeList_; }

 private:
  std::vector<TdxUnitProc> initializeList_;
  std::vector<TdxUnitProc> finalizeList_;
};

// Set once start-up procedures ran; cleared by TdxUnitsLoader::Finalize.
extern bool dxUnitsStarted;
// The process's units loader, made on first call.
TdxUnitsLoader* dxGetDeferredUnitsLoader();
// True when this code runs inside a dynamic library rather than the program.
bool dxIsUnitsLoadingDeferred();

// Module start-up and shutdown.
void dxGDIPlusAPIInitialize();
void dxGDIPlusAPIFinalize();

namespace dxgpdetail {
// Looks the entry points up, in order, into `entries` (dxGpEntryCount slots).
// The first name the lookup does not find stops it: nothing after it is looked
// up and every slot is cleared. Returns whether all were found.
using TEntryLookup = FARPROC (*)(HMODULE module, const char* name);
bool BindEntries(HMODULE module, TEntryLookup lookup, FARPROC* entries);
// Numbers each time GDI+ is started (0 while it is not): GDI+ objects of an
// earlier start are gone with it, so their wrappers must not use them.
unsigned Session();
}  // namespace dxgpdetail
