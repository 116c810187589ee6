// The one place where the graphics classes create and delete GDI objects and
// icons, with a count of the live ones per kind.
//
// Leak tests compare the counts before and after a piece of work: the
// system's own count (GetGuiResources) is not available everywhere the tests
// run. Code that creates an object through one of these functions deletes it
// through GdiDeleteObject/GdiDeleteDC/GdiDestroyIcon; a handle that comes in
// from outside and is taken over is counted with GdiAdopt, one that is handed
// out with GdiDisown.
#pragma once

#include "platform/WinApi.h"

enum TGdiObjectKind : int {
  gokPen, gokBrush, gokFont, gokBitmap, gokPalette, gokRegion, gokDC, gokIcon, gokCount
};

struct GdiAccounting {
  // Live objects of one kind, or of all kinds.
  static long Live(TGdiObjectKind kind);
  static long Live();
};

HFONT GdiCreateFont(const LOGFONTW& font);
HPEN GdiCreatePen(int style, int width, COLORREF color);
HBRUSH GdiCreateBrush(const LOGBRUSH& brush);
HBRUSH GdiCreatePatternBrush(HBITMAP pattern);
HBITMAP GdiCreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP GdiCreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP GdiCreateDIBSection(HDC dc, const BITMAPINFO* info, void** bits);
HPALETTE GdiCreatePalette(const LOGPALETTE* palette);
HPALETTE GdiCreateHalftonePalette(HDC dc);
HRGN GdiCreateRectRgn(int left, int top, int right, int bottom);
HDC GdiCreateCompatibleDC(HDC dc);
HICON GdiCreateIconFromResource(const BYTE* bits, DWORD size, int width, int height);
HICON GdiCreateIconIndirect(ICONINFO* info);
HICON GdiCopyIcon(HICON icon);

bool GdiDeleteObject(HGDIOBJ object);
bool GdiDeleteDC(HDC dc);
bool GdiDestroyIcon(HICON icon);

// A handle made elsewhere that our code now deletes, or one of ours that the
// caller now owns.
void GdiAdopt(HGDIOBJ object);
void GdiDisown(HGDIOBJ object);
void GdiAdoptIcon(HICON icon);
void GdiDisownIcon(HICON icon);
