#include "platform/gui/GdiAccounting.h"

#include <atomic>

namespace {

std::atomic<long> g_live[gokCount];

void Count(TGdiObjectKind kind, long delta) { g_live[kind].fetch_add(delta, std::memory_order_relaxed); }

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
    case OBJ_MEMDC: kind = gokDC; return true;
    default: return false;
  }
}

template <class H>
H Counted(H handle, TGdiObjectKind kind) {
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

HFONT GdiCreateFont(const LOGFONTW& font) { return Counted(CreateFontIndirectW(&font), gokFont); }

HPEN GdiCreatePen(int style, int width, COLORREF color) {
  if (style == PS_ALTERNATE) {
    // Only a cosmetic pen can alternate pixels, and only ExtCreatePen makes one.
    LOGBRUSH lb{BS_SOLID, color, 0};
    return Counted(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr), gokPen);
  }
  return Counted(CreatePen(style, width, color), gokPen);
}

HBRUSH GdiCreateBrush(const LOGBRUSH& brush) { return Counted(CreateBrushIndirect(&brush), gokBrush); }

HBRUSH GdiCreatePatternBrush(HBITMAP pattern) {
  return Counted(CreatePatternBrush(pattern), gokBrush);
}

HBITMAP GdiCreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  return Counted(CreateBitmap(width, height, planes, bitsPerPixel, bits), gokBitmap);
}

HBITMAP GdiCreateCompatibleBitmap(HDC dc, int width, int height) {
  return Counted(CreateCompatibleBitmap(dc, width, height), gokBitmap);
}

HBITMAP GdiCreateDIBSection(HDC dc, const BITMAPINFO* info, void** bits) {
  return Counted(CreateDIBSection(dc, info, DIB_RGB_COLORS, bits, nullptr, 0), gokBitmap);
}

HPALETTE GdiCreatePalette(const LOGPALETTE* palette) {
  return Counted(CreatePalette(palette), gokPalette);
}

HPALETTE GdiCreateHalftonePalette(HDC dc) { return Counted(CreateHalftonePalette(dc), gokPalette); }

HRGN GdiCreateRectRgn(int left, int top, int right, int bottom) {
  return Counted(CreateRectRgn(left, top, right, bottom), gokRegion);
}

HDC GdiCreateCompatibleDC(HDC dc) { return Counted(CreateCompatibleDC(dc), gokDC); }

HICON GdiCreateIconFromResource(const BYTE* bits, DWORD size, int width, int height) {
  return Counted(CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, TRUE, 0x00030000,
                                          width, height, LR_DEFAULTCOLOR),
                 gokIcon);
}

HICON GdiCreateIconIndirect(ICONINFO* info) { return Counted(CreateIconIndirect(info), gokIcon); }

HICON GdiCopyIcon(HICON icon) { return Counted(CopyIcon(icon), gokIcon); }

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
