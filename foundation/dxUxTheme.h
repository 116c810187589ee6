// Access to the visual-style library without a link-time dependency on it:
// "UxTheme.dll" is loaded by name at start-up and its entry points looked up
// one by one. Every wrapper checks its entry point: without the library, or
// without that one name, it returns a failure result (E_NOTIMPL for HRESULTs,
// 0, FALSE or null otherwise) and clears its output parameters.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

#include <uxtheme.h>

// The entry points, in the order they are looked up.
#define DX_UXTHEME_ENTRY_POINTS(X)                                                          \
  X(CloseThemeData) X(DrawThemeBackground) X(DrawThemeEdge) X(DrawThemeIcon)                 \
  X(DrawThemeParentBackground) X(DrawThemeText) X(DrawThemeTextEx) X(EnableThemeDialogTexture) \
  X(GetCurrentThemeName) X(GetThemeAppProperties) X(GetThemeBackgroundContentRect)           \
  X(GetThemeBackgroundRegion) X(GetThemeBackgroundExtent) X(GetThemeBool) X(GetThemeColor)   \
  X(GetThemeDocumentationProperty) X(GetThemeEnumValue) X(GetThemeFilename) X(GetThemeFont)  \
  X(GetThemeInt) X(GetThemeIntList) X(GetThemeMargins) X(GetThemeMetric) X(GetThemePartSize) \
  X(GetThemePosition) X(GetThemePropertyOrigin) X(GetThemeRect) X(GetThemeString)            \
  X(GetThemeSysBool) X(GetThemeSysColor) X(GetThemeSysColorBrush) X(GetThemeSysFont)         \
  X(GetThemeSysInt) X(GetThemeSysSize) X(GetThemeSysString) X(GetThemeTextExtent)            \
  X(GetThemeTextMetrics) X(GetWindowTheme) X(HitTestThemeBackground) X(IsAppThemed)          \
  X(IsThemeActive) X(IsThemePartDefined) X(IsThemeBackgroundPartiallyTransparent)            \
  X(IsThemeDialogTextureEnabled) X(OpenThemeData) X(SetThemeAppProperties) X(SetWindowTheme) \
  X(BufferedPaintInit) X(BufferedPaintUnInit) X(BeginBufferedPaint) X(EndBufferedPaint)      \
  X(BufferedPaintSetAlpha)

// One typed pointer per entry point, null when the library or the name is
// missing. Library code calls the wrappers below, never these directly;
// tests replace single pointers to stand in for the library.
struct TdxUxThemeProcs {
#define DX_UXTHEME_PROC_FIELD(Name) decltype(&::Name) Name = nullptr;
  DX_UXTHEME_ENTRY_POINTS(DX_UXTHEME_PROC_FIELD)
#undef DX_UXTHEME_PROC_FIELD
};
extern TdxUxThemeProcs dxUxThemeProcs;

// The number of entry points the binding looks up.
constexpr int dxUxThemeEntryPointCount = 52;

bool dxUxLibraryLoaded();
// The entry point's result, or 0 when it is missing.
BOOL dxUxIsThemeActive();

HTHEME dxUxOpenThemeData(HWND wnd, const Char* classList);
HRESULT dxUxCloseThemeData(HTHEME theme);
HRESULT dxUxDrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                                const TRect* clipRect = nullptr);
HRESULT dxUxPaintThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                                 const TRect& clipRect);
// Keeps the font selected into the DC: the library call may select another one.
HRESULT dxUxDrawThemeParentBackground(HWND wnd, HDC dc, const TRect* r);
HRESULT dxUxDrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const Char* text,
                          int charCount, DWORD textFlags, DWORD textFlags2, const TRect& r);
HRESULT dxUxDrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const String& text,
                          DWORD textFlags, DWORD textFlags2, const TRect& r);
HRESULT dxUxDrawThemeTextEx(HTHEME theme, HDC dc, int partId, int stateId, const Char* text,
                            int charCount, DWORD flags, TRect& r, const DTTOPTS* options);
HRESULT dxUxDrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const TRect& destRect,
                          UINT edge, UINT flags, TRect* contentRect);
HRESULT dxUxDrawThemeIcon(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                          HIMAGELIST images, int imageIndex);
HRESULT dxUxGetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId,
                                          const TRect& boundingRect, TRect& contentRect);
HRESULT dxUxGetThemeBackgroundExtent(HTHEME theme, HDC dc, int partId, int stateId,
                                     const TRect& contentRect, TRect& extentRect);
HRESULT dxUxGetThemeBackgroundRegion(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                                     HRGN& region);
// The part size without and with a bounding rectangle.
HRESULT dxUxGetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, THEMESIZE sizeKind,
                             TSize& size);
HRESULT dxUxGetThemePartSizeIn(HTHEME theme, HDC dc, int partId, int stateId, const TRect& r,
                               THEMESIZE sizeKind, TSize& size);
HRESULT dxUxGetThemeTextExtent(HTHEME theme, HDC dc, int partId, int stateId, const Char* text,
                               int charCount, DWORD textFlags, const TRect* boundingRect,
                               TRect& extentRect);
HRESULT dxUxGetThemeTextMetrics(HTHEME theme, HDC dc, int partId, int stateId, TEXTMETRICW& metrics);
HRESULT dxUxHitTestThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, DWORD options,
                                   const TRect& r, HRGN region, TPoint point, WORD& hitTestCode);
BOOL dxUxIsThemePartDefined(HTHEME theme, int partId, int stateId);
BOOL dxUxIsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId);

HRESULT dxUxGetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF& color);
HRESULT dxUxGetThemeMetric(HTHEME theme, HDC dc, int partId, int stateId, int propId, int& value);
HRESULT dxUxGetThemeString(HTHEME theme, int partId, int stateId, int propId, Char* buffer,
                           int bufferChars);
HRESULT dxUxGetThemeBool(HTHEME theme, int partId, int stateId, int propId, BOOL& value);
HRESULT dxUxGetThemeInt(HTHEME theme, int partId, int stateId, int propId, int& value);
HRESULT dxUxGetThemeEnumValue(HTHEME theme, int partId, int stateId, int propId, int& value);
HRESULT dxUxGetThemePosition(HTHEME theme, int partId, int stateId, int propId, TPoint& point);
HRESULT dxUxGetThemeFont(HTHEME theme, HDC dc, int partId, int stateId, int propId, LOGFONTW& font);
HRESULT dxUxGetThemeRect(HTHEME theme, int partId, int stateId, int propId, TRect& r);
HRESULT dxUxGetThemeMargins(HTHEME theme, HDC dc, int partId, int stateId, int propId,
                            const TRect* r, MARGINS& margins);
HRESULT dxUxGetThemeIntList(HTHEME theme, int partId, int stateId, int propId, INTLIST& list);
HRESULT dxUxGetThemePropertyOrigin(HTHEME theme, int partId, int stateId, int propId,
                                   PROPERTYORIGIN& origin);
HRESULT dxUxGetThemeFilename(HTHEME theme, int partId, int stateId, int propId, Char* buffer,
                             int bufferChars);
HRESULT dxUxGetThemeDocumentationProperty(const Char* themeName, const Char* propertyName,
                                          Char* buffer, int bufferChars);

COLORREF dxUxGetThemeSysColor(HTHEME theme, int colorId);
HBRUSH dxUxGetThemeSysColorBrush(HTHEME theme, int colorId);
BOOL dxUxGetThemeSysBool(HTHEME theme, int boolId);
int dxUxGetThemeSysSize(HTHEME theme, int sizeId);
HRESULT dxUxGetThemeSysFont(HTHEME theme, int fontId, LOGFONTW& font);
HRESULT dxUxGetThemeSysString(HTHEME theme, int stringId, Char* buffer, int bufferChars);
HRESULT dxUxGetThemeSysInt(HTHEME theme, int intId, int& value);

BOOL dxUxIsAppThemed();
HTHEME dxUxGetWindowTheme(HWND wnd);
HRESULT dxUxSetWindowTheme(HWND wnd, const Char* subAppName, const Char* subIdList);
HRESULT dxUxEnableThemeDialogTexture(HWND wnd, DWORD flags);
BOOL dxUxIsThemeDialogTextureEnabled(HWND wnd);
DWORD dxUxGetThemeAppProperties();
void dxUxSetThemeAppProperties(DWORD flags);
// The three names of the current visual style (file, colour scheme, size);
// the buffers are emptied on failure.
HRESULT dxUxGetCurrentThemeName(Char* fileName, int fileNameChars, Char* colorName,
                                int colorNameChars, Char* sizeName, int sizeNameChars);

HRESULT dxUxBufferedPaintInit();
HRESULT dxUxBufferedPaintUnInit();
// Null (and a null paint DC) when the entry point is missing.
HPAINTBUFFER dxUxBeginBufferedPaint(HDC targetDC, const TRect& targetRect, BP_BUFFERFORMAT format,
                                    BP_PAINTPARAMS* paintParams, HDC& paintDC);
HRESULT dxUxEndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget);
HRESULT dxUxBufferedPaintSetAlpha(HPAINTBUFFER buffer, const TRect* r, BYTE alpha);

// Binds the library by name (done by the start-up step); false when it
// cannot be loaded. A previous binding is released first.
bool dxUxBindLibrary();
void dxUxUnbindLibrary();

void dxUxThemeInitialize();
void dxUxThemeFinalize();
