// The one place where the graphics classes create and delete GDI objects,
// icons and metafiles, with a count of the live ones per kind.
//
// Leak tests compare the counts before and after a piece of work: the
// system's own count (GetGuiResources) is not available everywhere the tests
// run. Code that creates an object through one of these functions deletes it
// through GdiDeleteObject/GdiDeleteDC/GdiDestroyIcon/GdiDeleteEnhMetaFile; a
// handle that comes in from outside and is taken over is counted with
// GdiAdopt, one that is handed out with GdiDisown.
#pragma once

#include "platform/WinApi.h"

enum TGdiObjectKind : int {
  gokPen, gokBrush, gokFont, gokBitmap, gokPalette, gokRegion, gokDC, gokIcon, gokMetafile, gokCount
};

struct GdiAccounting {
  // Live objects of one kind, or of all kinds.
  static long Live(TGdiObjectKind kind);
  static long Live();

  // For tests only: runs the out-of-resources paths without exhausting the
  // system. On the calling thread, the next `skip` creations through the
  // functions below succeed and the `count` after them fail as the system's
  // do when it runs out: they return null, create and count nothing, and set
  // the last error to ERROR_INVALID_HANDLE for a device context and to
  // ERROR_NOT_ENOUGH_MEMORY for everything else. Other threads are not
  // affected. A new call replaces the plan; ResetFailures drops what is left
  // of it. Costs a single relaxed atomic load per creation while nothing is
  // planned.
  static void FailCreations(long skip, long count);
  static void FailNextCreations(long count) { FailCreations(0, count); }
  static void ResetFailures();
  // How many creations the current plan has failed so far (kept after the
  // plan ran out, cleared by the next FailCreations or ResetFailures).
  static long InjectedFailures();
};

HFONT GdiCreateFont(const LOGFONTW& font);
HPEN GdiCreatePen(int style, int width, COLORREF color);
HBRUSH GdiCreateBrush(const LOGBRUSH& brush);
HBRUSH GdiCreatePatternBrush(HBITMAP pattern);
HBITMAP GdiCreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP GdiCreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP GdiCreateDIBSection(HDC dc, const BITMAPINFO* info, void** bits);
// A bitmap resource of `instance`, or one of the system's (OBM_...) for a
// null instance; a new bitmap each time, deleted with GdiDeleteObject.
HBITMAP GdiLoadBitmap(HINSTANCE instance, const wchar_t* name);
HPALETTE GdiCreatePalette(const LOGPALETTE* palette);
HPALETTE GdiCreateHalftonePalette(HDC dc);
HRGN GdiCreateRectRgn(int left, int top, int right, int bottom);
HRGN GdiCreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse,
                           int heightEllipse);
// The DC's closed path as a region. Null also when there is no closed path
// (last error ERROR_CAN_NOT_COMPLETE), which is no lack of resources.
HRGN GdiPathToRegion(HDC dc);
HDC GdiCreateCompatibleDC(HDC dc);
HICON GdiCreateIconFromResource(const BYTE* bits, DWORD size, int width, int height);
HICON GdiCreateIconIndirect(ICONINFO* info);
HICON GdiCopyIcon(HICON icon);
HICON GdiImageListGetIcon(HIMAGELIST list, int index, UINT flags);
// GetIconInfo, whose mask and colour bitmaps are new copies: they are counted
// here and freed with GdiFreeIconInfo.
bool GdiTakeIconInfo(HICON icon, ICONINFO& info);
void GdiFreeIconInfo(ICONINFO& info);
// Enhanced metafiles. The recording DC counts as a DC until
// GdiCloseEnhMetaFile turns it into the metafile (which closes the DC even
// when no metafile comes of it).
HDC GdiCreateEnhMetaFile(HDC reference, const RECT* frame, const wchar_t* description);
HENHMETAFILE GdiCloseEnhMetaFile(HDC dc);
HENHMETAFILE GdiCopyEnhMetaFile(HENHMETAFILE metafile);
HENHMETAFILE GdiSetEnhMetaFileBits(UINT size, const BYTE* bits);
// An old-style metafile's records as an enhanced metafile.
HENHMETAFILE GdiSetWinMetaFileBits(UINT size, const BYTE* bits, HDC reference, const METAFILEPICT* picture);

bool GdiDeleteObject(HGDIOBJ object);
bool GdiDeleteDC(HDC dc);
bool GdiDestroyIcon(HICON icon);
bool GdiDestroyCursor(HCURSOR cursor);
bool GdiDeleteEnhMetaFile(HENHMETAFILE metafile);

// A handle made elsewhere that our code now deletes, or one of ours that the
// caller now owns.
void GdiAdopt(HGDIOBJ object);
void GdiDisown(HGDIOBJ object);
void GdiAdoptIcon(HICON icon);
void GdiDisownIcon(HICON icon);
