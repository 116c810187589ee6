#include "foundation/dxGDIPlusAPI.h"

#include "foundation/cxClasses.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/core/SystemLibraries.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <exception>
#include <iterator>

// ---------------------------------------------------------------------------
// Entry points
// ---------------------------------------------------------------------------

// Binding order matters: the first missing name stops the lookups.
#define DX_GP_ENTRIES(X)                                                                                \
  X(GdipAlloc) X(GdipFree) X(GdiplusStartup) X(GdiplusShutdown) X(GdipCloneBrush) X(GdipDeleteBrush)    \
  X(GdipGetBrushType) X(GdipCreateSolidFill) X(GdipSetSolidFillColor) X(GdipGetSolidFillColor)           \
  X(GdipCreateLineBrushFromRectI) X(GdipGetLineRectI) X(GdipSetLineColors) X(GdipGetLineColors)          \
  X(GdipSetLineWrapMode) X(GdipGetLineWrapMode) X(GdipCreateHatchBrush) X(GdipGetHatchStyle)             \
  X(GdipGetHatchForegroundColor) X(GdipGetHatchBackgroundColor) X(GdipCreatePen1) X(GdipCreatePen2)      \
  X(GdipClonePen) X(GdipDeletePen) X(GdipGetPenFillType) X(GdipSetPenBrushFill) X(GdipGetPenBrushFill)   \
  X(GdipSetPenColor) X(GdipGetPenColor) X(GdipSetPenMode) X(GdipGetPenMode) X(GdipSetPenWidth)           \
  X(GdipGetPenWidth) X(GdipCreateFromHDC) X(GdipDeleteGraphics) X(GdipGetDC) X(GdipReleaseDC)            \
  X(GdipGraphicsClear) X(GdipDrawLineI) X(GdipFillRectangleI) X(GdipDrawArcI) X(GdipDrawBezierI)         \
  X(GdipDrawRectangleI) X(GdipDrawEllipseI) X(GdipDrawPieI) X(GdipDrawPolygonI) X(GdipDrawCurve2I)       \
  X(GdipDrawClosedCurve2I) X(GdipFillPolygonI) X(GdipFillEllipseI) X(GdipFillPieI)                       \
  X(GdipFillClosedCurveI) X(GdipLoadImageFromStream) X(GdipCreateBitmapFromFile)                         \
  X(GdipCreateBitmapFromStream) X(GdipCreateBitmapFromStreamICM) X(GdipCreateHBITMAPFromBitmap)          \
  X(GdipLoadImageFromFile) X(GdipGetImageDimension) X(GdipDrawImageRectI) X(GdipDisposeImage)            \
  X(GdipGetImageEncodersSize) X(GdipGetImageEncoders) X(GdipSaveImageToStream)                           \
  X(GdipCreateBitmapFromHBITMAP) X(GdipIsVisibleRect) X(GdipIsVisibleRectI)                              \
  X(GdipGetEncoderParameterListSize) X(GdipGetEncoderParameterList) X(GdipCreateBitmapFromGdiDib)        \
  X(GdipCreateBitmapFromScan0) X(GdipBitmapLockBits) X(GdipBitmapUnlockBits) X(GdipDrawImageRectRectI)   \
  X(GdipDrawImageRectRect) X(GdipDrawImagePointRect) X(GdipCloneImage) X(GdipCreateTexture2I)            \
  X(GdipCreateImageAttributes) X(GdipDisposeImageAttributes) X(GdipSetImageAttributesColorMatrix)        \
  X(GdipSetInterpolationMode) X(GdipGetInterpolationMode) X(GdipCreateCachedBitmap)                      \
  X(GdipDeleteCachedBitmap) X(GdipDrawCachedBitmap) X(GdipCreateBitmapFromGraphics)                      \
  X(GdipGetImageGraphicsContext) X(GdipGetImageWidth) X(GdipGetImageHeight) X(GdipSetCompositingMode)    \
  X(GdipGetCompositingMode) X(GdipSetCompositingQuality) X(GdipGetCompositingQuality)                    \
  X(GdipSetSmoothingMode) X(GdipGetSmoothingMode) X(GdipCloneBitmapAreaI)

#define DX_GP_DEFINE(name) decltype(name) name = nullptr;
DX_GP_ENTRIES(DX_GP_DEFINE)
#undef DX_GP_DEFINE

#define DX_GP_NAME(name) #name,
const char* const dxGpEntryNames[dxGpEntryCount] = {DX_GP_ENTRIES(DX_GP_NAME)};
#undef DX_GP_NAME

namespace {

#define DX_GP_SLOT(name) reinterpret_cast<FARPROC*>(&name),
FARPROC* const kSlots[] = {DX_GP_ENTRIES(DX_GP_SLOT)};
#undef DX_GP_SLOT
static_assert(std::size(kSlots) == dxGpEntryCount, "the binding table lists 97 entry points");

FARPROC DefaultLookup(HMODULE module, const char* name) { return GetProcAddress(module, name); }

HMODULE gLibrary = nullptr;
bool gReady = false;
unsigned gSession = 0;
unsigned gSessionCount = 0;
ULONG_PTR gStartupToken = 0;
ULONG_PTR gHookToken = 0;
GdiplusNotificationHookProc gNotificationHook = nullptr;
GdiplusNotificationUnhookProc gNotificationUnhook = nullptr;

void ClearEntries() {
  for (FARPROC* slot : kSlots) *slot = nullptr;
}

// The run-time library's safe loader: no "cannot find" box, and a library that
// changes the FPU control word on load does not change ours.
HMODULE SafeLoadLibrary(const wchar_t* name, UINT errorMode, DWORD flags = 0) {
  const UINT oldMode = SetErrorMode(errorMode);
  const unsigned oldFpu = _controlfp(0, 0);
  HMODULE module = LoadLibraryExW(name, nullptr, flags);
  _controlfp(oldFpu, 0xFFFFFFFF);
  SetErrorMode(oldMode);
  return module;
}

// The library's image can be mapped: the loader finds it and is allowed to
// load it (a switched-off library fails here as it would when loaded). Neither
// its imports nor its start-up code run, which is where loading GDI+ costs:
// it pulls in the COM and imaging libraries.
bool LibraryCanBeMapped(const wchar_t* name) {
  if (GetModuleHandleW(name)) return true;
  HMODULE image = SafeLoadLibrary(name, SEM_NOOPENFILEERRORBOX, DONT_RESOLVE_DLL_REFERENCES);
  if (!image) return false;
  FreeLibrary(image);
  return true;
}

// The answer of the check above, asked once; a failed bind says "no" until
// the library is released.
enum class TPresence { Unknown, Present, Missing };
TPresence gPresence = TPresence::Unknown;

bool BindEntries() {
  FARPROC entries[dxGpEntryCount];
  const bool complete = dxgpdetail::BindEntries(gLibrary, &DefaultLookup, entries);
  for (int i = 0; i < dxGpEntryCount; ++i) *kSlots[i] = entries[i];
  return complete;
}

void BindLibrary() {
  // Loaded once: a failed bind is retried with the same handle, so retries do
  // not pile up references on the library.
  gPresence = TPresence::Missing;
  if (!gLibrary) gLibrary = SafeLoadLibrary(L"gdiplus.dll", SEM_NOOPENFILEERRORBOX);
  if (!gLibrary) return;
  if (!BindEntries()) return;

  GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.SuppressBackgroundThread = TRUE;
  input.SuppressExternalCodecs = FALSE;
  GdiplusStartupOutput output{};
  gReady = GdiplusStartup(&gStartupToken, &input, &output) == GpOk;
  if (gReady) {
    gNotificationHook = output.NotificationHook;
    gNotificationUnhook = output.NotificationUnhook;
    // Without GDI+'s own thread its background work runs through this hook.
    gReady = gNotificationHook && gNotificationHook(&gHookToken) == GpOk;
    if (!gReady) GdiplusShutdown(gStartupToken);
  }
  if (!gReady) {
    gNotificationHook = nullptr;
    gNotificationUnhook = nullptr;
    ClearEntries();
    return;
  }
  gSession = ++gSessionCount;
  gPresence = TPresence::Present;
}

}  // namespace

namespace dxgpdetail {
// Complete or not at all: after the first missing name nothing more is looked
// up, and nothing stays bound, so no caller can reach a half-bound library.
bool BindEntries(HMODULE module, TEntryLookup lookup, FARPROC* entries) {
  for (int i = 0; i < dxGpEntryCount; ++i) {
    entries[i] = lookup(module, dxGpEntryNames[i]);
    if (!entries[i]) {
      std::fill(entries, entries + dxGpEntryCount, nullptr);
      return false;
    }
  }
  return true;
}

unsigned Session() { return gSession; }
}  // namespace dxgpdetail

bool dxIsGdiPlusReady() {
  if (!gReady) BindLibrary();
  return gReady;
}

bool dxIsGdiPlusAvailable() {
  if (gPresence == TPresence::Unknown)
    gPresence = LibraryCanBeMapped(L"gdiplus.dll") ? TPresence::Present : TPresence::Missing;
  return gPresence == TPresence::Present;
}

void dxGpReleaseLibrary() {
  if (gReady) {
    if (gNotificationUnhook) gNotificationUnhook(gHookToken);
    GdiplusShutdown(gStartupToken);
  }
  gReady = false;
  gSession = 0;
  gNotificationHook = nullptr;
  gNotificationUnhook = nullptr;
  ClearEntries();
  if (gLibrary) {
    FreeLibrary(gLibrary);
    gLibrary = nullptr;
  }
  gPresence = TPresence::Unknown;
}

void dxGpCheckStatus(GpStatus status) {
  if (status != GpOk) AssertFailed(cxLookUpResourceString(&sdxGdipInvalidOperation), "dxGDIPlusAPI", __LINE__);
}

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

ARGB dxMakeGpColor(TColor color, Byte alpha) {
  if (color == clNone) return 0;
  const DWORD rgb = static_cast<DWORD>(ColorToRGB(color));
  return (ARGB(alpha) << 24) | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void dxGpFillGradientRect(GpGraphics* graphics, const TRect& rect, ARGB color1, ARGB color2,
                          GpLinearGradientMode mode) {
  const GpRect r{rect.Left, rect.Top, rect.Width(), rect.Height()};
  GpLineGradient* brush = nullptr;
  dxGpCheckStatus(GdipCreateLineBrushFromRectI(&r, color1, color2, mode, WrapModeTile, &brush));
  const GpStatus status = GdipFillRectangleI(graphics, brush, r.X, r.Y, r.Width, r.Height);
  GdipDeleteBrush(brush);
  dxGpCheckStatus(status);
}

bool dxGpIsRectVisible(GpGraphics* graphics, const TRect& rect) {
  BOOL result = FALSE;
  dxGpCheckStatus(GdipIsVisibleRectI(graphics, rect.Left, rect.Top, rect.Width(), rect.Height(), &result));
  return result != FALSE;
}

CLSID dxPngEncoderClsid = {};

void dxLookupPngEncoder() {
  if (dxPngEncoderClsid.Data1 == 0 && dxPngEncoderClsid.Data2 == 0 && dxPngEncoderClsid.Data3 == 0)
    dxGpFindEncoderClsid(L"image/png", dxPngEncoderClsid);
}

int dxGpFindEncoderClsid(const String& mimeType, CLSID& clsid) {
  if (!dxIsGdiPlusReady()) return 1;
  UINT count = 0, size = 0;
  if (GdipGetImageEncodersSize(&count, &size) != GpOk || size == 0) return 1;
  std::vector<Byte> buffer(size);
  auto* codecs = reinterpret_cast<GpImageCodecInfo*>(buffer.data());
  if (GdipGetImageEncoders(count, size, codecs) != GpOk) return 1;
  // The table is followed by the strings it points to: never walk past it.
  count = std::min<UINT>(count, size / sizeof(GpImageCodecInfo));
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].MimeType && SameText(codecs[i].MimeType, mimeType)) {
      clsid = codecs[i].Clsid;
      return 0;
    }
  return 1;
}

// ---------------------------------------------------------------------------
// Image data in streams
// ---------------------------------------------------------------------------

namespace {

DWORD ReadBE32(const Byte* p) { return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | p[3]; }
DWORD ReadLE32(const Byte* p) { return (DWORD(p[3]) << 24) | (DWORD(p[2]) << 16) | (DWORD(p[1]) << 8) | p[0]; }

const Byte kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The end of a PNG: the chunk IEND. A chunk that runs past the stream's end
// means a truncated image: everything left is handed to the decoder.
Int64 PngDataSize(TStream* stream, Int64 start, Int64 remaining) {
  Int64 offset = 8;
  while (offset + 12 <= remaining) {
    Byte header[8];
    stream->Seek(start + offset, soBeginning);
    if (stream->Read(header, 8) != 8) break;
    const DWORD length = ReadBE32(header);
    if (length > 0x7FFFFFFF) break;
    const Int64 next = offset + 12 + Int64(length);
    if (next > remaining) break;
    if (std::memcmp(header + 4, "IEND", 4) == 0) return next;
    offset = next;
  }
  return remaining;
}

}  // namespace

Int64 dxGpImageDataSize(TStream* stream) {
  const Int64 start = stream->Position();
  const Int64 remaining = stream->Size() - start;
  if (remaining <= 0) return 0;
  Byte head[8] = {};
  const int got = stream->Read(head, static_cast<int>(std::min<Int64>(remaining, 8)));
  Int64 size = remaining;
  if (got == 8 && std::memcmp(head, kPngSignature, 8) == 0) {
    size = PngDataSize(stream, start, remaining);
  } else if (got >= 6 && head[0] == 'B' && head[1] == 'M') {
    const DWORD fileSize = ReadLE32(head + 2);
    if (fileSize >= 14 && fileSize <= remaining) size = fileSize;
  }
  stream->Seek(start, soBeginning);
  return size;
}

GpBitmap* dxGpCreateBitmapFromStreamData(TStream* stream) {
  const Int64 size = dxGpImageDataSize(stream);
  if (size > 0x7FFFFFFF) throw EOutOfMemory(L"Image data too large");
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(std::max<Int64>(size, 1)));
  if (!memory) throw EOutOfMemory(L"Out of memory");
  try {
    void* data = GlobalLock(memory);
    const int got = stream->Read(data, static_cast<int>(size));
    GlobalUnlock(memory);
    if (got != size) throw EReadError(L"Stream read error");
  } catch (...) {
    GlobalFree(memory);
    throw;
  }
  // Bound here rather than imported: the COM library loads with GDI+, not at start.
  static const auto createStream =
      SystemLibraryFunction<decltype(&CreateStreamOnHGlobal)>(L"ole32.dll", "CreateStreamOnHGlobal");
  IStream* source = nullptr;
  if (!createStream || FAILED(createStream(memory, TRUE, &source))) {
    GlobalFree(memory);
    throw EOutOfMemory(L"Out of memory");
  }
  // GDI+ may decode lazily from the stream it was given; a decoded copy makes
  // the bitmap independent of the stream and of the bytes behind it.
  GpBitmap* decoded = nullptr;
  GpStatus status = GdipCreateBitmapFromStream(source, &decoded);
  GpBitmap* bitmap = nullptr;
  if (status == GpOk) {
    UINT width = 0, height = 0;
    status = GdipGetImageWidth(decoded, &width);
    if (status == GpOk) status = GdipGetImageHeight(decoded, &height);
    if (status == GpOk)
      status = GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height),
                                    PixelFormat32bppPARGB, decoded, &bitmap);
    GdipDisposeImage(decoded);
  }
  source->Release();
  dxGpCheckStatus(status);
  return bitmap;
}

// ---------------------------------------------------------------------------
// Units loader
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxGPBase, TObject, nullptr)
IMPLEMENT_CLASS(TdxUnitsLoader, TObject, (ConstructPlain<TdxUnitsLoader>))

bool dxUnitsStarted = false;

TdxUnitsLoader::~TdxUnitsLoader() {
  try {
    Finalize();
  } catch (...) {
    // A destructor cannot report; the shutdown procedures already all ran.
  }
}

void TdxUnitsLoader::AddUnit(TdxUnitProc initializeProc, TdxUnitProc finalizeProc) {
  if (initializeProc) {
    if (dxIsUnitsLoadingDeferred()) {
      initializeList_.push_back(initializeProc);
    } else {
      dxUnitsStarted = true;
      initializeProc();
    }
  }
  if (finalizeProc) finalizeList_.push_back(finalizeProc);
}

void TdxUnitsLoader::RemoveUnit(TdxUnitProc finalizeProc) {
  auto it = std::find(finalizeList_.begin(), finalizeList_.end(), finalizeProc);
  if (it == finalizeList_.end()) return;
  finalizeList_.erase(it);
  if (finalizeProc) finalizeProc();
}

void TdxUnitsLoader::Initialize() {
  std::vector<TdxUnitProc> procs;
  procs.swap(initializeList_);
  for (TdxUnitProc proc : procs) proc();
  dxUnitsStarted = true;
}

void TdxUnitsLoader::Finalize() {
  // Taken out first, so a procedure that calls RemoveUnit cannot run another twice.
  std::vector<TdxUnitProc> procs;
  procs.swap(finalizeList_);
  if (!dxUnitsStarted) return;
  dxUnitsStarted = false;
  std::exception_ptr first;
  for (auto it = procs.rbegin(); it != procs.rend(); ++it) {
    try {
      if (*it) (*it)();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

namespace {
TdxUnitsLoader* gUnitsLoader = nullptr;
int gApiInitCount = 0;

void dxGpUnitStartup() {
  // Nothing to do yet: GDI+ is loaded and started by the first caller of
  // dxIsGdiPlusReady (the first image or skin made), and stays unavailable until then.
}
}  // namespace

TdxUnitsLoader* dxGetDeferredUnitsLoader() {
  if (!gUnitsLoader) gUnitsLoader = Make<TdxUnitsLoader>();
  return gUnitsLoader;
}

bool dxIsUnitsLoadingDeferred() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&dxIsUnitsLoadingDeferred), &self))
    return false;
  return self != GetModuleHandleW(nullptr);
}

void dxGDIPlusAPIInitialize() {
  if (gApiInitCount++ > 0) return;
  dxGetDeferredUnitsLoader()->AddUnit(&dxGpUnitStartup, &dxGpReleaseLibrary);
}

void dxGDIPlusAPIFinalize() {
  if (gApiInitCount == 0 || --gApiInitCount > 0) return;
  if (gReady && dxIsUnitsLoadingDeferred() && gUnitsLoader && !gUnitsLoader->FinalizeList().empty())
    throw Exception(L"Need call dxFinalizeGDIPlus before free library!");
  FreeAndNil(gUnitsLoader);
}
