// The graphics module's free routines: colours, bitmap pixel access, blitting,
// text measuring and output, invalidation, cursor metrics and painting what
// lies under a control. Image drawing and alpha blending live in
// cxGraphicsImageDraw.cpp, resampling in cxGraphicsResample.cpp.
#include "platform/WinApi.h"

#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "foundation/dxUxTheme.h"
#include "platform/core/Lists.h"
#include "platform/core/StringLists.h"
#include "platform/gui/Controls.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

namespace {

// A memory DC compatible with the screen, for DIB reads and writes. Raises
// when there is none: the reads and writes would silently do nothing.
class TMemoryDC {
 public:
  TMemoryDC() : FDC(GdiCreateCompatibleDC(nullptr)) {
    if (!FDC) throw EOutOfResources(L"Out of system resources");
  }
  ~TMemoryDC() { GdiDeleteDC(FDC); }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Handle() const { return FDC; }

 private:
  HDC FDC;
};

void InitBitmapInfo(BITMAPINFO& AInfo, int AWidth, int AHeight, bool ATopDown) {
  AInfo = BITMAPINFO{};
  AInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  AInfo.bmiHeader.biWidth = AWidth;
  AInfo.bmiHeader.biHeight = ATopDown ? -AHeight : AHeight;
  AInfo.bmiHeader.biPlanes = 1;
  AInfo.bmiHeader.biBitCount = 32;
  AInfo.bmiHeader.biCompression = BI_RGB;
}

int ClampByte(int AValue) { return std::clamp(AValue, 0, 255); }

}  // namespace

// ---------------------------------------------------------------------------
// Metrics and colours
// ---------------------------------------------------------------------------

TColor cxNearestScreenColor(TColor AColor) {
  HDC dc = GetDC(nullptr);
  const COLORREF color = GetNearestColor(dc, static_cast<COLORREF>(ColorToRGB(AColor)));
  ReleaseDC(nullptr, dc);
  if (color == CLR_INVALID) return ColorToRGB(AColor);
  return static_cast<TColor>(color);
}

TColor cxMixSystemColors(int ABtnFacePart, int AHighlightPart, int AWindowPart) {
  const TColor face = ColorToRGB(clBtnFace);
  const TColor highlight = ColorToRGB(clHighlight);
  if (face == 0 || face == 0xFFFFFF) return highlight;
  const TColor window = ColorToRGB(clWindow);
  auto channel = [&](int AShift) {
    const int f = (face >> AShift) & 0xFF, h = (highlight >> AShift) & 0xFF;
    const int w = (window >> AShift) & 0xFF;
    return ClampByte(MulDiv(f, ABtnFacePart, 100) + MulDiv(h, AHighlightPart, 100) +
                     MulDiv(w, AWindowPart, 100));
  };
  return channel(0) | channel(8) << 8 | channel(16) << 16;
}

TColor cxHighlightTintColor() { return cxNearestScreenColor(cxMixSystemColors(14, 44, 40)); }

TColor cxPaleHighlightTintColor() { return cxNearestScreenColor(cxMixSystemColors(-2, 30, 72)); }

// ---------------------------------------------------------------------------
// Bitmaps and image lists
// ---------------------------------------------------------------------------

void cxAssignImageList(TCustomImageList* AValue, TCustomImageList*& AField,
                       TChangeLink* AChangeLink, TComponent* ANotifyComponent) {
  if (AField == AValue) return;
  if (AField) {
    if (ANotifyComponent) AField->RemoveFreeNotification(ANotifyComponent);
    if (AChangeLink) AField->UnRegisterChanges(AChangeLink);
  }
  AField = AValue;
  if (AValue) {
    if (AChangeLink) AValue->RegisterChanges(AChangeLink);
    if (ANotifyComponent) AValue->FreeNotification(ANotifyComponent);
  }
  if (AChangeLink) AChangeLink->Change();
}

bool cxHasBitmapContent(TBitmap* ABitmap) { return ABitmap && !ABitmap->Empty(); }

bool cxIsValidImageIndex(TCustomImageList* AImages, int AIndex) {
  return AImages && AIndex >= 0 && AIndex < AImages->Count();
}

void cxDeflateRectByMargins(TRect& R, const TRect& AMargins) {
  R.Left += AMargins.Left;
  R.Top += AMargins.Top;
  R.Right -= AMargins.Right;
  R.Bottom -= AMargins.Bottom;
}

bool cxSameRectSize(const TRect& R1, const TRect& R2) {
  return R1.Width() == R2.Width() && R1.Height() == R2.Height();
}

TBitmap* cxCreateSizedBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  TBitmap* result = Make<TBitmap>();
  try {
    result->SetPixelFormat(APixelFormat);
    result->SetWidth(AWidth);
    result->SetHeight(AHeight);
  } catch (...) {
    TObject::Free(result);
    throw;
  }
  return result;
}

TBitmap* cxCreateBitmapForRect(const TRect& R, TPixelFormat APixelFormat) {
  return cxCreateSizedBitmap(R.Width(), R.Height(), APixelFormat);
}

TBitmap* cxCreateBitmapOfSize(const TSize& ASize, TPixelFormat APixelFormat) {
  return cxCreateSizedBitmap(ASize.cx, ASize.cy, APixelFormat);
}

int cxBitmapBitsPerPixel(TBitmap* ABitmap) {
  switch (ABitmap->PixelFormat()) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return GetDeviceCaps(ABitmap->Canvas()->Handle(), BITSPIXEL);
  }
}

void cxReadBitmapColors(TBitmap* ABitmap, bool ATopDown, TRGBColors& AColors) {
  AColors.clear();
  if (!ABitmap) return;
  const int width = ABitmap->Width(), height = ABitmap->Height();
  if (width <= 0 || height <= 0) return;
  AColors.assign(size_t(width) * size_t(height), RGBQUAD{});
  BITMAPINFO info;
  InitBitmapInfo(info, width, height, ATopDown);
  TMemoryDC dc;
  GetDIBits(dc.Handle(), ABitmap->Handle(), 0, UINT(height), AColors.data(), &info,
            DIB_RGB_COLORS);
}

void cxApplyColorsToBitmap(TBitmap* ABitmap, TRGBColors& AColors, bool ATopDown) {
  if (ABitmap) {
    const int width = ABitmap->Width(), height = ABitmap->Height();
    if (width > 0 && height > 0 && AColors.size() >= size_t(width) * size_t(height)) {
      BITMAPINFO info;
      InitBitmapInfo(info, width, height, ATopDown);
      TMemoryDC dc;
      SetDIBits(dc.Handle(), ABitmap->Handle(), 0, UINT(height), AColors.data(), &info,
                DIB_RGB_COLORS);
      // Drawing through the bitmap's canvas must see the new pixels.
      GdiFlush();
    }
  }
  TRGBColors().swap(AColors);
}

bool cxReadBitmapInfo(HBITMAP ABitmap, BITMAP& AInfo) {
  return GetObjectW(ABitmap, sizeof(BITMAP), &AInfo) == sizeof(BITMAP);
}

bool cxQueryLogBrush(HBRUSH ABrush, LOGBRUSH& ALogBrush) {
  return GetObjectW(ABrush, sizeof(LOGBRUSH), &ALogBrush) == sizeof(LOGBRUSH);
}

bool cxReadLogBrush(HBRUSH ABrush, LOGBRUSH& ALogBrush) { return cxQueryLogBrush(ABrush, ALogBrush); }

bool cxReadLogFont(HFONT AFont, LOGFONTW& ALogFont) {
  return GetObjectW(AFont, sizeof(LOGFONTW), &ALogFont) == sizeof(LOGFONTW);
}

bool cxReadLogPen(HPEN APen, LOGPEN& ALogPen) {
  return GetObjectW(APen, sizeof(LOGPEN), &ALogPen) == sizeof(LOGPEN);
}

// ---------------------------------------------------------------------------
// Blitting
// ---------------------------------------------------------------------------

void cxCopyDCRect(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, const TPoint& ASrcTopLeft,
                  DWORD ARop) {
  BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, ADestRect.Width(), ADestRect.Height(), ASrcDC,
         ASrcTopLeft.X, ASrcTopLeft.Y, ARop);
}

void cxBlitBitmapToDC(HDC ADC, TBitmap* ABitmap, const TRect& ADestRect, DWORD ARop,
                      const TPoint& ASrcTopLeft) {
  if (!ABitmap) return;
  HPALETTE palette = ABitmap->GetPalette();
  HPALETTE oldPalette = nullptr;
  const bool usePalette = palette && GetDeviceCaps(ADC, BITSPIXEL) <= 8;
  if (usePalette) {
    oldPalette = SelectPalette(ADC, palette, TRUE);
    RealizePalette(ADC);
  }
  if (dxIsWin9xPlatform && GetDeviceCaps(ADC, BITSPIXEL) == 32 && cxBitmapBitsPerPixel(ABitmap) < 32) {
    // Those systems take the fourth byte of a 32-bit device as alpha: give
    // them a copy whose alpha is cleared.
    TBitmap* temp = cxCreateBitmapForRect(ADestRect, pf32bit);
    try {
      BitBlt(temp->Canvas()->Handle(), 0, 0, ADestRect.Width(), ADestRect.Height(),
             ABitmap->Canvas()->Handle(), ASrcTopLeft.X, ASrcTopLeft.Y, SRCCOPY);
      TRGBColors colors;
      cxReadBitmapColors(temp, false, colors);
      for (RGBQUAD& c : colors) c.rgbReserved = 0;
      cxApplyColorsToBitmap(temp, colors, false);
      cxCopyDCRect(ADC, temp->Canvas()->Handle(), ADestRect, TPoint{0, 0}, ARop);
    } catch (...) {
      TObject::Free(temp);
      if (usePalette) SelectPalette(ADC, oldPalette, TRUE);
      throw;
    }
    TObject::Free(temp);
  } else {
    cxCopyDCRect(ADC, ABitmap->Canvas()->Handle(), ADestRect, ASrcTopLeft, ARop);
  }
  if (usePalette) SelectPalette(ADC, oldPalette, TRUE);
}

void cxStretchCopyBitmap(TBitmap* ADest, TBitmap* ASource) {
  if (!ADest || !ASource) return;
  StretchBlt(ADest->Canvas()->Handle(), 0, 0, ADest->Width(), ADest->Height(),
             ASource->Canvas()->Handle(), 0, 0, ASource->Width(), ASource->Height(),
             SRCCOPY);
}

UINT cxImageListDrawStyle(TDrawingStyle ADrawingStyle, TImageType AImageType) {
  UINT result = 0;
  switch (ADrawingStyle) {
    case dsFocus: result = ILD_FOCUS; break;
    case dsSelected: result = ILD_SELECTED; break;
    case dsNormal: result = ILD_NORMAL; break;
    case dsTransparent: result = ILD_TRANSPARENT; break;
  }
  if (AImageType == itMask) result |= ILD_MASK;
  return result;
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

namespace {

int TextLength(const String& AText, int ALength) {
  const int whole = static_cast<int>(AText.size());
  return ALength < 0 || ALength > whole ? whole : ALength;
}

TRect CalcText(HDC ADC, const String& AText, const TRect& ABounds, UINT AFlags) {
  TRect r = ABounds;
  DrawTextW(ADC, AText.c_str(), static_cast<int>(AText.size()), reinterpret_cast<RECT*>(&r),
            AFlags);
  return r;
}

constexpr UINT cxCalcSingleLine = DT_CALCRECT | DT_SINGLELINE;                       // 0x420
constexpr UINT cxCalcWordBreak = DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK;  // 0x80410

bool IsDelimiter(Char C) { return C == L' ' || C == L'\t' || C == L'\r' || C == L'\n'; }
bool IsLineBreak(Char C) { return C == L'\r' || C == L'\n'; }

}  // namespace

bool cxQueryTextExtent(HDC ADC, const String& AText, TSize& ASize, int ALength) {
  SIZE size{};
  if (!GetTextExtentPoint32W(ADC, AText.c_str(), TextLength(AText, ALength), &size)) return false;
  ASize.cx = size.cx;
  ASize.cy = size.cy;
  return true;
}

bool cxExtTextOutString(HDC ADC, const String& AText, const TPoint& APoint, int ALength,
                        UINT AOptions, const TRect* AClipRect) {
  return ExtTextOutW(ADC, APoint.X, APoint.Y, AOptions, reinterpret_cast<const RECT*>(AClipRect),
                     AText.c_str(), UINT(TextLength(AText, ALength)), nullptr) != 0;
}

int cxDrawColoredText(HDC ADC, const String& AText, TRect& R, UINT AFormat, int ALength,
                      TColor AColor, int ABkMode) {
  const int state = SaveDC(ADC);
  if (AColor != clDefault) SetTextColor(ADC, static_cast<COLORREF>(ColorToRGB(AColor)));
  SetBkMode(ADC, ABkMode);
  const int result = DrawTextW(ADC, AText.c_str(), TextLength(AText, ALength),
                               reinterpret_cast<RECT*>(&R), AFormat);
  RestoreDC(ADC, state);
  return result;
}

int cxDrawCanvasText(TCanvas* ACanvas, const String& AText, const TRect& R, UINT AFormat,
                     TColor AColor) {
  TRect r = R;
  return cxDrawColoredText(ACanvas->Handle(), AText, r, AFormat, -1, AColor, TRANSPARENT);
}

int cxDrawRotatableText(TcxCanvas* ACanvas, const String& AText, const TRect& ARect,
                        UINT AFormat, TColor AColor, TcxRotationAngle ARotationAngle) {
  if (ARotationAngle == ra0)
    return cxDrawCanvasText(ACanvas->Canvas(), AText, ARect, AFormat, AColor);
  if (ARect.IsEmpty()) return 0;
  static constexpr TcxRotationAngle inverse[] = {ra0, raMinus90, raPlus90, ra180};
  int result = 0;
  TBitmap* bitmap = cxCreateBitmapForRect(ARect, pf32bit);
  try {
    cxCopyDCRect(bitmap->Canvas()->Handle(), ACanvas->Handle(),
                 TRect(0, 0, ARect.Width(), ARect.Height()), ARect.TopLeft());
    ACanvas->RotateBitmap(bitmap, inverse[ARotationAngle]);
    bitmap->Canvas()->Font()->Assign(ACanvas->Font());
    result = cxDrawCanvasText(bitmap->Canvas(), AText,
                              TRect(0, 0, bitmap->Width(), bitmap->Height()), AFormat, AColor);
    ACanvas->RotateBitmap(bitmap, ARotationAngle);
    cxCopyDCRect(ACanvas->Handle(), bitmap->Canvas()->Handle(), ARect, TPoint{0, 0});
  } catch (...) {
    TObject::Free(bitmap);
    throw;
  }
  TObject::Free(bitmap);
  return result;
}

void cxMeasureFontText(TFont* AFont, const String& AText, int AFontSize, TSize& ASize) {
  TcxScreenCanvas* canvas = cxGetSharedScreenCanvas();
  if (!canvas) return;
  // The shared canvas keeps neither its DC nor the handle of the caller's font
  // past the call (it would hold the last font measured until the next
  // measure): it gets its own font back, made again only when it is used.
  const TFontData own = canvas->Font()->Data();
  const TColor ownColor = canvas->Font()->Color();
  auto rest = [&] {
    canvas->Dormant();
    canvas->Font()->SetData(own);
    canvas->Font()->SetColor(ownColor);
  };
  try {
    canvas->Font()->Assign(AFont);
    if (AFontSize != 0) canvas->Font()->SetSize(AFontSize);
    ASize = canvas->TextExtent(AText);
  } catch (...) {
    rest();
    throw;
  }
  rest();
}

int cxMeasureFontTextHeight(TFont* AFont, const String& AText, int AFontSize) {
  TSize size{0, 0};
  cxMeasureFontText(AFont, AText, AFontSize, size);
  return size.cy;
}

int cxMeasureFontTextWidth(TFont* AFont, const String& AText, int AFontSize) {
  TSize size{0, 0};
  cxMeasureFontText(AFont, AText, AFontSize, size);
  return size.cx;
}

TSize cxMeasureSingleLineText(HDC ADC, const String& AText) {
  const TRect r = cxFitTextRect(ADC, AText, 1, false);
  return TSize{r.Width(), r.Height()};
}

TRect cxFitTextRect(HDC ADC, const String& AText, int ALineCount, bool AFixHeight) {
  const TRect zero(0, 0, 0, 0);
  if (ALineCount == 1) return CalcText(ADC, AText, zero, cxCalcSingleLine);
  const int limit = ALineCount > 0 ? ALineCount * CalcText(ADC, L"Wg", zero, cxCalcSingleLine).Height()
                                   : 32000;
  int low = CalcText(ADC, AText, TRect(0, 0, 1, 1), cxCalcWordBreak).Width();
  int high = CalcText(ADC, AText, zero, cxCalcSingleLine).Width();
  while (high - low > 1) {
    const int mid = (low + high) / 2;
    if (CalcText(ADC, AText, TRect(0, 0, mid, 1), cxCalcWordBreak).Height() > limit)
      low = mid;
    else
      high = mid;
  }
  TRect result = CalcText(ADC, AText, TRect(0, 0, low, 1), cxCalcWordBreak);
  if (result.Height() > limit) result = CalcText(ADC, AText, TRect(0, 0, high, 1), cxCalcWordBreak);
  if (AFixHeight) result.Bottom = limit;
  return result;
}

void cxWrapTextToList(const String& AText, TcxCanvas* ACanvas, const TRect& ARect,
                      TStrings* AList) {
  // Positions are 1-based as in the platform's string routines; 0 means
  // "before the text".
  const int length = static_cast<int>(AText.size());
  if (length == 0 || !AList) return;
  auto at = [&](int APos) { return AText[size_t(APos - 1)]; };
  auto part = [&](int AFrom, int ATo) {
    return ATo < AFrom ? String() : AText.substr(size_t(AFrom - 1), size_t(ATo - AFrom + 1));
  };
  auto skipLineBreaks = [&](int APos) {
    while (APos <= length && IsLineBreak(at(APos))) ++APos;
    return APos;
  };
  HDC dc = ACanvas->Handle();
  const int maxWidth = ARect.Width();
  int lineStart = 1, previousEnd = 0;
  while (previousEnd < length) {
    int start = previousEnd + 1;
    while (start <= length && IsDelimiter(at(start)) && !(start > 1 && IsDelimiter(at(start - 1))))
      ++start;
    int end;
    if (start > length) {
      start = end = length;
    } else if (IsDelimiter(at(start))) {
      end = start;  // a doubled delimiter is a word of its own
    } else {
      end = start;
      while (end < length && !IsDelimiter(at(end + 1))) ++end;
    }
    const String text = part(lineStart, end);
    const size_t lineBreak = text.find_first_of(L"\r\n");
    if (lineBreak != String::npos) {
      AList->Add(text.substr(0, lineBreak));
      lineStart = skipLineBreaks(lineStart + static_cast<int>(lineBreak) + 1);
    } else if (cxMeasureSingleLineText(dc, text).cx > maxWidth) {
      AList->Add(part(lineStart, previousEnd));
      lineStart = skipLineBreaks(start);
    }
    previousEnd = end;
  }
  AList->Add(part(lineStart, length));
}

bool cxTextNeedsMirroredHighlight(Byte ACharSet, const String& AText) {
  if (ACharSet == DEFAULT_CHARSET) {
    CHARSETINFO info{};
    if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<ULONG_PTR>(GetACP())), &info,
                             TCI_SRCCODEPAGE))
      ACharSet = static_cast<Byte>(info.ciCharset);
  }
  if (!AText.empty() && AText[0] < 128) return false;
  return ACharSet == 134 || ACharSet == 136 || ACharSet == 178;
}

// ---------------------------------------------------------------------------
// Windows and controls
// ---------------------------------------------------------------------------

void cxInvalidateWindowRect(HWND AHandle, const TRect& R, bool AEraseBackground) {
  InvalidateRect(AHandle, reinterpret_cast<const RECT*>(&R), AEraseBackground);
}

void cxInvalidateWindow(HWND AHandle, bool AEraseBackground) {
  InvalidateRect(AHandle, nullptr, AEraseBackground);
}

TSize cxMeasureCursorSize() {
  TSize result{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
  ICONINFO info{};
  if (!GdiTakeIconInfo(GetCursor(), info)) return result;
  BITMAP mask{};
  if (info.hbmMask && cxReadBitmapInfo(info.hbmMask, mask) && mask.bmBitsPixel == 1 &&
      mask.bmPlanes == 1 && mask.bmWidth > 0 && mask.bmHeight > 0) {
    const int width = mask.bmWidth;
    const int stride = mask.bmWidthBytes > 0 ? mask.bmWidthBytes : ((width + 15) / 16) * 2;
    const int rowBytes = std::min(stride, (width + 7) / 8);
    std::vector<Byte> bits(size_t(stride) * size_t(mask.bmHeight));
    if (GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data()) > 0) {
      result.cx = width;
      // The bottom-most row of a square part (starting at row AFirst) that
      // holds a byte other than AEmpty, counted from the part's top.
      auto usedRows = [&](int AFirst, Byte AEmpty) {
        const int rows = std::min(width, static_cast<int>(mask.bmHeight) - AFirst);
        for (int row = rows - 1; row >= 0; --row) {
          const Byte* p = bits.data() + size_t(AFirst + row) * size_t(stride);
          for (int i = 0; i < rowBytes; ++i)
            if (p[i] != AEmpty) return row + 1;
        }
        return 0;
      };
      int rows = usedRows(0, 0xFF);
      if (rows == 0 && mask.bmHeight >= 2 * width) rows = usedRows(width, 0);
      if (rows > 0) result.cy = rows - static_cast<int>(info.yHotspot);
    }
  }
  GdiFreeIconInfo(info);
  return result;
}

void cxPaintControlOnCanvas(TWinControl* AControl, TcxCanvas* ACanvas, const TPoint& AOrigin,
                            const TPoint& ARegionOrigin, const TRect& ARect, bool ADrawBorder,
                            bool AClipToWindowRegion, TList* AExcludedControls,
                            bool APaintChildren) {
  if (!AControl || !ACanvas || AControl->ComponentState().Contains(csDestroying)) return;
  HDC dc = ACanvas->Handle();
  const int savedDC = SaveDC(dc);
  try {
    POINT org{};
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - AOrigin.X, org.y - AOrigin.Y, nullptr);
    if (RectVisible(dc, reinterpret_cast<const RECT*>(&ARect))) {
      const TControlState oldState = AControl->ControlState();
      AControl->SetControlState(oldState + TControlState{csPaintCopy});
      try {
        TPoint regionOrigin = ARegionOrigin;
        auto* provider = dynamic_cast<IcxControlBorderProvider*>(AControl);
        if (ADrawBorder && AControl->HandleAllocated() && (!provider || provider->NeedsBorder())) {
          const HWND wnd = AControl->WindowHandle();
          const LONG exStyle = GetWindowLongW(wnd, GWL_EXSTYLE);
          const LONG style = GetWindowLongW(wnd, GWL_STYLE);
          UINT edge = 0, flags = 0;
          if (exStyle & WS_EX_CLIENTEDGE) {
            edge = EDGE_SUNKEN;
            flags = BF_RECT | BF_ADJUST;
          } else if (style & WS_BORDER) {
            edge = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
            flags = BF_RECT | BF_ADJUST | BF_MONO;
          }
          if (flags) {
            TRect r(0, 0, AControl->Width(), AControl->Height());
            DrawEdge(dc, reinterpret_cast<RECT*>(&r), edge, flags);
            IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
            GetWindowOrgEx(dc, &org);
            SetWindowOrgEx(dc, org.x - r.Left, org.y - r.Top, nullptr);
            regionOrigin.X += r.Left;
            regionOrigin.Y += r.Top;
          }
        }
        if (AClipToWindowRegion && AControl->HandleAllocated()) {
          HRGN region = GdiCreateRectRgn(0, 0, 0, 0);
          const int kind = GetWindowRgn(AControl->WindowHandle(), region);
          if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
            OffsetRgn(region, ARegionOrigin.X, ARegionOrigin.Y);
            ExtSelectClipRgn(dc, region, RGN_AND);
          }
          GdiDeleteObject(region);
        }
        IntersectClipRect(dc, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
        AControl->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
        AControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        if (APaintChildren) {
          for (int i = 0; i < AControl->ControlCount(); ++i) {
            TControl* child = AControl->Controls(i);
            if (AExcludedControls && AExcludedControls->IndexOf(child) >= 0) break;
            auto* winChild = dynamic_cast<TWinControl*>(child);
            if (!winChild || !winChild->Visible()) continue;
            const TPoint position{winChild->Left(), winChild->Top()};
            cxPaintControlOnCanvas(winChild, ACanvas, position,
                                   TPoint{regionOrigin.X + position.X, regionOrigin.Y + position.Y},
                                   TRect(0, 0, winChild->Width(), winChild->Height()), true,
                                   AClipToWindowRegion, AExcludedControls, APaintChildren);
          }
        }
      } catch (...) {
        AControl->SetControlState(oldState);
        throw;
      }
      AControl->SetControlState(oldState);
    }
  } catch (...) {
    RestoreDC(dc, savedDC);
    throw;
  }
  RestoreDC(dc, savedDC);
}

void cxPaintParentControlsUnder(TControl* AControl, TcxCanvas* ACanvas, const TRect& ARect,
                                bool APaintChildren) {
  if (!AControl || !AControl->Parent()) return;
  const TPoint position{AControl->Left(), AControl->Top()};
  const TRect r(ARect.Left + position.X, ARect.Top + position.Y, ARect.Right + position.X,
                ARect.Bottom + position.Y);
  TList* excluded = Make<TList>();
  try {
    excluded->Add(AControl);
    cxPaintControlOnCanvas(AControl->Parent(), ACanvas,
                           TPoint{ARect.Left - r.Left, ARect.Top - r.Top},
                           TPoint{-position.X, -position.Y}, r, false, true, excluded,
                           APaintChildren);
  } catch (...) {
    TObject::Free(excluded);
    throw;
  }
  TObject::Free(excluded);
}

void cxDrawParentThemeBackground(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& ARect) {
  if (!AControl || !ACanvas) return;
  TWinControl* parent = AControl->Parent();
  if (parent && !parent->DoubleBuffered() && dxUxLibraryLoaded() && AControl->HandleAllocated())
    dxUxDrawThemeParentBackground(AControl->WindowHandle(), ACanvas->Handle(), &ARect);
  else
    cxPaintParentControlsUnder(AControl, ACanvas, ARect, false);
}
