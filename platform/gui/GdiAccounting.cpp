#include "platform/gui/GdiAccounting.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<long> g_live[gokCount];

// Set while a test's failure plan has failures left: the only thing a
// creation looks at when nothing is planned.
std::atomic<bool> g_failuresPlanned{false};

struct TFailurePlan {
  std::mutex Lock;
  DWORD Thread = 0;
  long Skip = 0;
  long Count = 0;
  long Injected = 0;
};

TFailurePlan& FailurePlan() {
  static TFailurePlan plan;
  return plan;
}

void Count(TGdiObjectKind kind, long delta) { g_live[kind].fetch_add(delta, std::memory_order_relaxed); }

bool FailureDueSlow(TGdiObjectKind kind) {
  TFailurePlan& plan = FailurePlan();
  {
    std::lock_guard<std::mutex> guard(plan.Lock);
    if (plan.Count <= 0 || plan.Thread != GetCurrentThreadId()) return false;
    if (plan.Skip > 0) {
      --plan.Skip;
      return false;
    }
    --plan.Count;
    ++plan.Injected;
    if (plan.Count == 0) g_failuresPlanned.store(false, std::memory_order_relaxed);
  }
  // What the system reports when its handle table or memory runs out.
  SetLastError(kind == gokDC ? ERROR_INVALID_HANDLE : ERROR_NOT_ENOUGH_MEMORY);
  return true;
}

// Whether a planned failure replaces this creation (see FailCreations).
inline bool FailureDue(TGdiObjectKind kind) {
  return g_failuresPlanned.load(std::memory_order_relaxed) && FailureDueSlow(kind);
}

// The kind of an existing object, for the delete and hand-over paths.
bool KindOf(HGDIOBJ object, TGdiObjectKind& kind) {
  switch (GetObjectType(object)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: kind = gokPen; return true;
    case OBJ_BRUSH: kind = gokBrush; return true;
    case OBJ_FONT: kind = gokFont; return true;
    case OBJ_BITMAP: kind = gokBitmap; return true;
    case OBJ_PAL: kind = gokPalette; return true;
    case OBJ_REGION: kind = gokRegion; return true;
    case OBJ_DC:
    case OBJ_MEMDC:
    case OBJ_ENHMETADC:
    case OBJ_METADC: kind = gokDC; return true;
    case OBJ_ENHMETAFILE:
    case OBJ_METAFILE: kind = gokMetafile; return true;
    default: return false;
  }
}

// Makes one object of `kind` with `make`, unless a planned failure is due.
template <class Make>
auto Created(TGdiObjectKind kind, Make make) -> decltype(make()) {
  if (FailureDue(kind)) return nullptr;
  auto handle = make();
  if (handle) Count(kind, 1);
  return handle;
}

}  // namespace

long GdiAccounting::Live(TGdiObjectKind kind) { return g_live[kind].load(); }

long GdiAccounting::Live() {
  long total = 0;
  for (const auto& n : g_live) total += n.load();
  return total;
}

void GdiAccounting::FailCreations(long skip, long count) {
  TFailurePlan& plan = FailurePlan();
  std::lock_guard<std::mutex> guard(plan.Lock);
  plan.Thread = GetCurrentThreadId();
  plan.Skip = skip > 0 ? skip : 0;
  plan.Count = count > 0 ? count : 0;
  plan.Injected = 0;
  g_failuresPlanned.store(plan.Count > 0, std::memory_order_relaxed);
}

void GdiAccounting::ResetFailures() {
  TFailurePlan& plan = FailurePlan();
  std::lock_guard<std::mutex> guard(plan.Lock);
  plan.Thread = 0;
  plan.Skip = plan.Count = plan.Injected = 0;
  g_failuresPlanned.store(false, std::memory_order_relaxed);
}

long GdiAccounting::InjectedFailures() {
  TFailurePlan& plan = FailurePlan();
  std::lock_guard<std::mutex> guard(plan.Lock);
  return plan.Injected;
}

HFONT GdiCreateFont(const LOGFONTW& font) {
  return Created(gokFont, [&] { return CreateFontIndirectW(&font); });
}

HPEN GdiCreatePen(int style, int width, COLORREF color) {
  return Created(gokPen, [&] {
    if (style == PS_ALTERNATE) {
      // Only a cosmetic pen can alternate pixels, and only ExtCreatePen makes one.
      LOGBRUSH lb{BS_SOLID, color, 0};
      return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    }
    return CreatePen(style, width, color);
  });
}

HBRUSH GdiCreateBrush(const LOGBRUSH& brush) {
  return Created(gokBrush, [&] { return CreateBrushIndirect(&brush); });
}

HBRUSH GdiCreatePatternBrush(HBITMAP pattern) {
  return Created(gokBrush, [&] { return CreatePatternBrush(pattern); });
}

HBITMAP GdiCreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  return Created(gokBitmap, [&] { return CreateBitmap(width, height, planes, bitsPerPixel, bits); });
}

HBITMAP GdiCreateCompatibleBitmap(HDC dc, int width, int height) {
  return Created(gokBitmap, [&] { return CreateCompatibleBitmap(dc, width, height); });
}

HBITMAP GdiCreateDIBSection(HDC dc, const BITMAPINFO* info, void** bits) {
  return Created(gokBitmap,
                 [&] { return CreateDIBSection(dc, info, DIB_RGB_COLORS, bits, nullptr, 0); });
}

HBITMAP GdiLoadBitmap(HINSTANCE instance, const wchar_t* name) {
  return Created(gokBitmap, [&] { return LoadBitmapW(instance, name); });
}

HPALETTE GdiCreatePalette(const LOGPALETTE* palette) {
  return Created(gokPalette, [&] { return CreatePalette(palette); });
}

HPALETTE GdiCreateHalftonePalette(HDC dc) {
  return Created(gokPalette, [&] { return CreateHalftonePalette(dc); });
}

HRGN GdiCreateRectRgn(int left, int top, int right, int bottom) {
  return Created(gokRegion, [&] { return CreateRectRgn(left, top, right, bottom); });
}

HRGN GdiCreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse,
                           int heightEllipse) {
  return Created(gokRegion, [&] {
    return CreateRoundRectRgn(left, top, right, bottom, widthEllipse, heightEllipse);
  });
}

HRGN GdiPathToRegion(HDC dc) {
  return Created(gokRegion, [&] { return PathToRegion(dc); });
}

HDC GdiCreateCompatibleDC(HDC dc) {
  return Created(gokDC, [&] { return CreateCompatibleDC(dc); });
}

HICON GdiCreateIconFromResource(const BYTE* bits, DWORD size, int width, int height) {
  return Created(gokIcon, [&] {
    return CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, TRUE, 0x00030000, width,
                                    height, LR_DEFAULTCOLOR);
  });
}

HICON GdiCreateIconIndirect(ICONINFO* info) {
  return Created(gokIcon, [&] { return CreateIconIndirect(info); });
}

HICON GdiCopyIcon(HICON icon) {
  return Created(gokIcon, [&] { return CopyIcon(icon); });
}

HICON GdiImageListGetIcon(HIMAGELIST list, int index, UINT flags) {
  return Created(gokIcon, [&] { return ImageList_GetIcon(list, index, flags); });
}

bool GdiTakeIconInfo(HICON icon, ICONINFO& info) {
  info = ICONINFO{};
  if (FailureDue(gokBitmap)) return false;
  if (!GetIconInfo(icon, &info)) {
    info = ICONINFO{};
    return false;
  }
  if (info.hbmMask) Count(gokBitmap, 1);
  if (info.hbmColor) Count(gokBitmap, 1);
  return true;
}

void GdiFreeIconInfo(ICONINFO& info) {
  GdiDeleteObject(info.hbmColor);
  GdiDeleteObject(info.hbmMask);
  info.hbmColor = info.hbmMask = nullptr;
}

HDC GdiCreateEnhMetaFile(HDC reference, const RECT* frame, const wchar_t* description) {
  return Created(gokDC, [&] { return CreateEnhMetaFileW(reference, nullptr, frame, description); });
}

HENHMETAFILE GdiCloseEnhMetaFile(HDC dc) {
  if (!dc) return nullptr;
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  Count(gokDC, -1);
  if (metafile) Count(gokMetafile, 1);
  return metafile;
}

HENHMETAFILE GdiCopyEnhMetaFile(HENHMETAFILE metafile) {
  return Created(gokMetafile, [&] { return CopyEnhMetaFileW(metafile, nullptr); });
}

HENHMETAFILE GdiSetEnhMetaFileBits(UINT size, const BYTE* bits) {
  return Created(gokMetafile, [&] { return SetEnhMetaFileBits(size, bits); });
}

HENHMETAFILE GdiSetWinMetaFileBits(UINT size, const BYTE* bits, HDC reference, const METAFILEPICT* picture) {
  return Created(gokMetafile, [&] { return SetWinMetaFileBits(size, bits, reference, picture); });
}

bool GdiDeleteEnhMetaFile(HENHMETAFILE metafile) {
  if (!metafile) return false;
  const bool ok = DeleteEnhMetaFile(metafile) != 0;
  if (ok) Count(gokMetafile, -1);
  return ok;
}

bool GdiDeleteObject(HGDIOBJ object) {
  if (!object) return false;
  TGdiObjectKind kind;
  const bool known = KindOf(object, kind);
  const bool ok = DeleteObject(object) != 0;
  if (ok && known) Count(kind, -1);
  return ok;
}

bool GdiDeleteDC(HDC dc) {
  if (!dc) return false;
  const bool ok = DeleteDC(dc) != 0;
  if (ok) Count(gokDC, -1);
  return ok;
}

bool GdiDestroyIcon(HICON icon) {
  if (!icon) return false;
  const bool ok = DestroyIcon(icon) != 0;
  if (ok) Count(gokIcon, -1);
  return ok;
}

bool GdiDestroyCursor(HCURSOR cursor) {
  if (!cursor) return false;
  const bool ok = DestroyCursor(cursor) != 0;
  if (ok) Count(gokIcon, -1);
  return ok;
}

void GdiAdopt(HGDIOBJ object) {
  TGdiObjectKind kind;
  if (object && KindOf(object, kind)) Count(kind, 1);
}

void GdiDisown(HGDIOBJ object) {
  TGdiObjectKind kind;
  if (object && KindOf(object, kind)) Count(kind, -1);
}

void GdiAdoptIcon(HICON icon) {
  if (icon) Count(gokIcon, 1);
}

void GdiDisownIcon(HICON icon) {
  if (icon) Count(gokIcon, -1);
}
