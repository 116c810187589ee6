#include "foundation/dxUxTheme.h"

TdxUxThemeProcs dxUxThemeProcs;

namespace {

HMODULE uxLibrary = nullptr;
int initCount = 0;

static_assert(sizeof(TRect) == sizeof(RECT) && sizeof(TPoint) == sizeof(POINT) &&
              sizeof(TSize) == sizeof(SIZE));

const RECT* AsRect(const TRect& r) { return reinterpret_cast<const RECT*>(&r); }
const RECT* AsRect(const TRect* r) { return reinterpret_cast<const RECT*>(r); }
RECT* AsRect(TRect& r) { return reinterpret_cast<RECT*>(&r); }
RECT* AsRect(TRect* r) { return reinterpret_cast<RECT*>(r); }

constexpr HRESULT kMissing = E_NOTIMPL;

void ClearBuffer(Char* buffer, int chars) {
  if (buffer && chars > 0) buffer[0] = 0;
}

template <class T>
void Bind(T& proc, const char* name) {
  // Through the one function type GCC lets any function pointer convert to.
  proc = reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(uxLibrary, name)));
}

}  // namespace

// ---------------------------------------------------------------------------
// Binding
// ---------------------------------------------------------------------------

void dxUxUnbindLibrary() {
  dxUxThemeProcs = TdxUxThemeProcs{};
  if (uxLibrary) FreeLibrary(uxLibrary);
  uxLibrary = nullptr;
}

bool dxUxBindLibrary() {
  dxUxUnbindLibrary();
  uxLibrary = LoadLibraryW(L"UxTheme.dll");
  if (!uxLibrary) return false;
#define DX_UXTHEME_BIND(Name) Bind(dxUxThemeProcs.Name, #Name);
  DX_UXTHEME_ENTRY_POINTS(DX_UXTHEME_BIND)
#undef DX_UXTHEME_BIND
  return true;
}

bool dxUxLibraryLoaded() { return uxLibrary != nullptr; }

void dxUxThemeInitialize() {
  if (initCount++ > 0) return;
  InitCommonControls();
  dxUxBindLibrary();
}

void dxUxThemeFinalize() {
  if (initCount == 0 || --initCount > 0) return;
  dxUxUnbindLibrary();
}

// ---------------------------------------------------------------------------
// Wrappers
// ---------------------------------------------------------------------------

BOOL dxUxIsThemeActive() {
  return dxUxThemeProcs.IsThemeActive ? dxUxThemeProcs.IsThemeActive() : FALSE;
}

HTHEME dxUxOpenThemeData(HWND wnd, const Char* classList) {
  return dxUxThemeProcs.OpenThemeData ? dxUxThemeProcs.OpenThemeData(wnd, classList) : nullptr;
}

HRESULT dxUxCloseThemeData(HTHEME theme) {
  return dxUxThemeProcs.CloseThemeData ? dxUxThemeProcs.CloseThemeData(theme) : kMissing;
}

HRESULT dxUxDrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                                const TRect* clipRect) {
  if (!dxUxThemeProcs.DrawThemeBackground) return kMissing;
  return dxUxThemeProcs.DrawThemeBackground(theme, dc, partId, stateId, AsRect(r), AsRect(clipRect));
}

HRESULT dxUxPaintThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                                 const TRect& clipRect) {
  return dxUxDrawThemeBackground(theme, dc, partId, stateId, r, &clipRect);
}

HRESULT dxUxDrawThemeParentBackground(HWND wnd, HDC dc, const TRect* r) {
  if (!dxUxThemeProcs.DrawThemeParentBackground) return kMissing;
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  RECT copy{};
  if (r) copy = *AsRect(r);
  const HRESULT result = dxUxThemeProcs.DrawThemeParentBackground(wnd, dc, r ? &copy : nullptr);
  if (font) SelectObject(dc, font);
  return result;
}

HRESULT dxUxDrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const Char* text,
                          int charCount, DWORD textFlags, DWORD textFlags2, const TRect& r) {
  if (!dxUxThemeProcs.DrawThemeText) return kMissing;
  return dxUxThemeProcs.DrawThemeText(theme, dc, partId, stateId, text, charCount, textFlags,
                                      textFlags2, AsRect(r));
}

HRESULT dxUxDrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const String& text,
                          DWORD textFlags, DWORD textFlags2, const TRect& r) {
  return dxUxDrawThemeText(theme, dc, partId, stateId, text.c_str(), static_cast<int>(text.size()),
                           textFlags, textFlags2, r);
}

HRESULT dxUxDrawThemeTextEx(HTHEME theme, HDC dc, int partId, int stateId, const Char* text,
                            int charCount, DWORD flags, TRect& r, const DTTOPTS* options) {
  if (!dxUxThemeProcs.DrawThemeTextEx) return kMissing;
  return dxUxThemeProcs.DrawThemeTextEx(theme, dc, partId, stateId, text, charCount, flags,
                                        AsRect(r), options);
}

HRESULT dxUxDrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const TRect& destRect,
                          UINT edge, UINT flags, TRect* contentRect) {
  if (!dxUxThemeProcs.DrawThemeEdge) return kMissing;
  return dxUxThemeProcs.DrawThemeEdge(theme, dc, partId, stateId, AsRect(destRect), edge, flags,
                                      AsRect(contentRect));
}

HRESULT dxUxDrawThemeIcon(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                          HIMAGELIST images, int imageIndex) {
  if (!dxUxThemeProcs.DrawThemeIcon) return kMissing;
  return dxUxThemeProcs.DrawThemeIcon(theme, dc, partId, stateId, AsRect(r), images, imageIndex);
}

HRESULT dxUxGetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId,
                                          const TRect& boundingRect, TRect& contentRect) {
  if (!dxUxThemeProcs.GetThemeBackgroundContentRect) {
    contentRect = TRect();
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeBackgroundContentRect(theme, dc, partId, stateId,
                                                      AsRect(boundingRect), AsRect(contentRect));
}

HRESULT dxUxGetThemeBackgroundExtent(HTHEME theme, HDC dc, int partId, int stateId,
                                     const TRect& contentRect, TRect& extentRect) {
  if (!dxUxThemeProcs.GetThemeBackgroundExtent) {
    extentRect = TRect();
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeBackgroundExtent(theme, dc, partId, stateId, AsRect(contentRect),
                                                 AsRect(extentRect));
}

HRESULT dxUxGetThemeBackgroundRegion(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                                     HRGN& region) {
  region = nullptr;
  if (!dxUxThemeProcs.GetThemeBackgroundRegion) return kMissing;
  return dxUxThemeProcs.GetThemeBackgroundRegion(theme, dc, partId, stateId, AsRect(r), &region);
}

HRESULT dxUxGetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, THEMESIZE sizeKind,
                             TSize& size) {
  size = TSize();
  if (!dxUxThemeProcs.GetThemePartSize) return kMissing;
  return dxUxThemeProcs.GetThemePartSize(theme, dc, partId, stateId, nullptr, sizeKind,
                                         reinterpret_cast<SIZE*>(&size));
}

HRESULT dxUxGetThemePartSizeIn(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                               THEMESIZE sizeKind, TSize& size) {
  size = TSize();
  if (!dxUxThemeProcs.GetThemePartSize) return kMissing;
  RECT bounds = *AsRect(r);
  return dxUxThemeProcs.GetThemePartSize(theme, dc, partId, stateId, &bounds, sizeKind,
                                         reinterpret_cast<SIZE*>(&size));
}

HRESULT dxUxGetThemeTextExtent(HTHEME theme, HDC dc, int partId, int stateId, const Char* text,
                               int charCount, DWORD textFlags, const TRect* boundingRect,
                               TRect& extentRect) {
  if (!dxUxThemeProcs.GetThemeTextExtent) {
    extentRect = TRect();
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeTextExtent(theme, dc, partId, stateId, text, charCount, textFlags,
                                           AsRect(boundingRect), AsRect(extentRect));
}

HRESULT dxUxGetThemeTextMetrics(HTHEME theme, HDC dc, int partId, int stateId, TEXTMETRICW& metrics) {
  if (!dxUxThemeProcs.GetThemeTextMetrics) {
    metrics = TEXTMETRICW{};
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeTextMetrics(theme, dc, partId, stateId, &metrics);
}

HRESULT dxUxHitTestThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, DWORD options,
                                   const TRect& r, HRGN region, TPoint point, WORD& hitTestCode) {
  hitTestCode = HTNOWHERE;
  if (!dxUxThemeProcs.HitTestThemeBackground) return kMissing;
  return dxUxThemeProcs.HitTestThemeBackground(theme, dc, partId, stateId, options, AsRect(r), region,
                                               POINT{point.X, point.Y}, &hitTestCode);
}

BOOL dxUxIsThemePartDefined(HTHEME theme, int partId, int stateId) {
  if (!dxUxThemeProcs.IsThemePartDefined) return FALSE;
  return dxUxThemeProcs.IsThemePartDefined(theme, partId, stateId);
}

BOOL dxUxIsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId) {
  if (!dxUxThemeProcs.IsThemeBackgroundPartiallyTransparent) return FALSE;
  return dxUxThemeProcs.IsThemeBackgroundPartiallyTransparent(theme, partId, stateId);
}

HRESULT dxUxGetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF& color) {
  if (!dxUxThemeProcs.GetThemeColor) {
    color = 0;
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeColor(theme, partId, stateId, propId, &color);
}

HRESULT dxUxGetThemeMetric(HTHEME theme, HDC dc, int partId, int stateId, int propId, int& value) {
  value = 0;
  if (!dxUxThemeProcs.GetThemeMetric) return kMissing;
  return dxUxThemeProcs.GetThemeMetric(theme, dc, partId, stateId, propId, &value);
}

HRESULT dxUxGetThemeString(HTHEME theme, int partId, int stateId, int propId, Char* buffer,
                           int bufferChars) {
  if (!dxUxThemeProcs.GetThemeString) {
    ClearBuffer(buffer, bufferChars);
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeString(theme, partId, stateId, propId, buffer, bufferChars);
}

HRESULT dxUxGetThemeBool(HTHEME theme, int partId, int stateId, int propId, BOOL& value) {
  value = FALSE;
  if (!dxUxThemeProcs.GetThemeBool) return kMissing;
  return dxUxThemeProcs.GetThemeBool(theme, partId, stateId, propId, &value);
}

HRESULT dxUxGetThemeInt(HTHEME theme, int partId, int stateId, int propId, int& value) {
  value = 0;
  if (!dxUxThemeProcs.GetThemeInt) return kMissing;
  return dxUxThemeProcs.GetThemeInt(theme, partId, stateId, propId, &value);
}

HRESULT dxUxGetThemeEnumValue(HTHEME theme, int partId, int stateId, int propId, int& value) {
  value = 0;
  if (!dxUxThemeProcs.GetThemeEnumValue) return kMissing;
  return dxUxThemeProcs.GetThemeEnumValue(theme, partId, stateId, propId, &value);
}

HRESULT dxUxGetThemePosition(HTHEME theme, int partId, int stateId, int propId, TPoint& point) {
  point = TPoint();
  if (!dxUxThemeProcs.GetThemePosition) return kMissing;
  return dxUxThemeProcs.GetThemePosition(theme, partId, stateId, propId,
                                         reinterpret_cast<POINT*>(&point));
}

HRESULT dxUxGetThemeFont(HTHEME theme, HDC dc, int partId, int stateId, int propId, LOGFONTW& font) {
  if (!dxUxThemeProcs.GetThemeFont) {
    font = LOGFONTW{};
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeFont(theme, dc, partId, stateId, propId, &font);
}

HRESULT dxUxGetThemeRect(HTHEME theme, int partId, int stateId, int propId, TRect& r) {
  if (!dxUxThemeProcs.GetThemeRect) {
    r = TRect();
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeRect(theme, partId, stateId, propId, AsRect(r));
}

HRESULT dxUxGetThemeMargins(HTHEME theme, HDC dc, int partId, int stateId, int propId,
                            const TRect* r, MARGINS& margins) {
  margins = MARGINS{};
  if (!dxUxThemeProcs.GetThemeMargins) return kMissing;
  RECT copy{};
  if (r) copy = *AsRect(r);
  return dxUxThemeProcs.GetThemeMargins(theme, dc, partId, stateId, propId, r ? &copy : nullptr,
                                        &margins);
}

HRESULT dxUxGetThemeIntList(HTHEME theme, int partId, int stateId, int propId, INTLIST& list) {
  if (!dxUxThemeProcs.GetThemeIntList) {
    list.iValueCount = 0;
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeIntList(theme, partId, stateId, propId, &list);
}

HRESULT dxUxGetThemePropertyOrigin(HTHEME theme, int partId, int stateId, int propId,
                                   PROPERTYORIGIN& origin) {
  origin = PO_NOTFOUND;
  if (!dxUxThemeProcs.GetThemePropertyOrigin) return kMissing;
  return dxUxThemeProcs.GetThemePropertyOrigin(theme, partId, stateId, propId, &origin);
}

HRESULT dxUxGetThemeFilename(HTHEME theme, int partId, int stateId, int propId, Char* buffer,
                             int bufferChars) {
  if (!dxUxThemeProcs.GetThemeFilename) {
    ClearBuffer(buffer, bufferChars);
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeFilename(theme, partId, stateId, propId, buffer, bufferChars);
}

HRESULT dxUxGetThemeDocumentationProperty(const Char* themeName, const Char* propertyName,
                                          Char* buffer, int bufferChars) {
  if (!dxUxThemeProcs.GetThemeDocumentationProperty) {
    ClearBuffer(buffer, bufferChars);
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeDocumentationProperty(themeName, propertyName, buffer, bufferChars);
}

COLORREF dxUxGetThemeSysColor(HTHEME theme, int colorId) {
  return dxUxThemeProcs.GetThemeSysColor ? dxUxThemeProcs.GetThemeSysColor(theme, colorId) : 0;
}

HBRUSH dxUxGetThemeSysColorBrush(HTHEME theme, int colorId) {
  return dxUxThemeProcs.GetThemeSysColorBrush ? dxUxThemeProcs.GetThemeSysColorBrush(theme, colorId)
                                              : nullptr;
}

BOOL dxUxGetThemeSysBool(HTHEME theme, int boolId) {
  return dxUxThemeProcs.GetThemeSysBool ? dxUxThemeProcs.GetThemeSysBool(theme, boolId) : FALSE;
}

int dxUxGetThemeSysSize(HTHEME theme, int sizeId) {
  return dxUxThemeProcs.GetThemeSysSize ? dxUxThemeProcs.GetThemeSysSize(theme, sizeId) : 0;
}

HRESULT dxUxGetThemeSysFont(HTHEME theme, int fontId, LOGFONTW& font) {
  if (!dxUxThemeProcs.GetThemeSysFont) {
    font = LOGFONTW{};
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeSysFont(theme, fontId, &font);
}

HRESULT dxUxGetThemeSysString(HTHEME theme, int stringId, Char* buffer, int bufferChars) {
  if (!dxUxThemeProcs.GetThemeSysString) {
    ClearBuffer(buffer, bufferChars);
    return kMissing;
  }
  return dxUxThemeProcs.GetThemeSysString(theme, stringId, buffer, bufferChars);
}

HRESULT dxUxGetThemeSysInt(HTHEME theme, int intId, int& value) {
  value = 0;
  if (!dxUxThemeProcs.GetThemeSysInt) return kMissing;
  return dxUxThemeProcs.GetThemeSysInt(theme, intId, &value);
}

BOOL dxUxIsAppThemed() {
  return dxUxThemeProcs.IsAppThemed ? dxUxThemeProcs.IsAppThemed() : FALSE;
}

HTHEME dxUxGetWindowTheme(HWND wnd) {
  return dxUxThemeProcs.GetWindowTheme ? dxUxThemeProcs.GetWindowTheme(wnd) : nullptr;
}

HRESULT dxUxSetWindowTheme(HWND wnd, const Char* subAppName, const Char* subIdList) {
  if (!dxUxThemeProcs.SetWindowTheme) return kMissing;
  return dxUxThemeProcs.SetWindowTheme(wnd, subAppName, subIdList);
}

HRESULT dxUxEnableThemeDialogTexture(HWND wnd, DWORD flags) {
  if (!dxUxThemeProcs.EnableThemeDialogTexture) return kMissing;
  return dxUxThemeProcs.EnableThemeDialogTexture(wnd, flags);
}

BOOL dxUxIsThemeDialogTextureEnabled(HWND wnd) {
  return dxUxThemeProcs.IsThemeDialogTextureEnabled ? dxUxThemeProcs.IsThemeDialogTextureEnabled(wnd)
                                                    : FALSE;
}

DWORD dxUxGetThemeAppProperties() {
  return dxUxThemeProcs.GetThemeAppProperties ? dxUxThemeProcs.GetThemeAppProperties() : 0;
}

void dxUxSetThemeAppProperties(DWORD flags) {
  if (dxUxThemeProcs.SetThemeAppProperties) dxUxThemeProcs.SetThemeAppProperties(flags);
}

HRESULT dxUxGetCurrentThemeName(Char* fileName, int fileNameChars, Char* colorName,
                                int colorNameChars, Char* sizeName, int sizeNameChars) {
  ClearBuffer(fileName, fileNameChars);
  ClearBuffer(colorName, colorNameChars);
  ClearBuffer(sizeName, sizeNameChars);
  if (!dxUxThemeProcs.GetCurrentThemeName) return kMissing;
  return dxUxThemeProcs.GetCurrentThemeName(fileName, fileNameChars, colorName, colorNameChars,
                                            sizeName, sizeNameChars);
}

HRESULT dxUxBufferedPaintInit() {
  return dxUxThemeProcs.BufferedPaintInit ? dxUxThemeProcs.BufferedPaintInit() : kMissing;
}

HRESULT dxUxBufferedPaintUnInit() {
  return dxUxThemeProcs.BufferedPaintUnInit ? dxUxThemeProcs.BufferedPaintUnInit() : kMissing;
}

HPAINTBUFFER dxUxBeginBufferedPaint(HDC targetDC, const TRect& targetRect, BP_BUFFERFORMAT format,
                                    BP_PAINTPARAMS* paintParams, HDC& paintDC) {
  paintDC = nullptr;
  if (!dxUxThemeProcs.BeginBufferedPaint) return nullptr;
  return dxUxThemeProcs.BeginBufferedPaint(targetDC, AsRect(targetRect), format, paintParams, &paintDC);
}

HRESULT dxUxEndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget) {
  if (!dxUxThemeProcs.EndBufferedPaint) return kMissing;
  return dxUxThemeProcs.EndBufferedPaint(buffer, updateTarget);
}

HRESULT dxUxBufferedPaintSetAlpha(HPAINTBUFFER buffer, const TRect* r, BYTE alpha) {
  if (!dxUxThemeProcs.BufferedPaintSetAlpha) return kMissing;
  return dxUxThemeProcs.BufferedPaintSetAlpha(buffer, AsRect(r), alpha);
}
