#include "editors/core/cxEditPaintUtils.h"

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersFlat.h"
#include "foundation/cxLookAndFeelPaintersNative.h"
#include "foundation/cxLookAndFeelPaintersOffice11.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

HBRUSH cxGetCachedBrushForCanvas(TcxCanvas*, TColor AColor) { return cxGetCachedBrush(AColor); }

void cxFillRectWithColor(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor) {
  cxFillRectWithBrush(ACanvas->Handle(), ARect, cxGetCachedBrush(AColor));
}

void cxFillRectWithBrush(HDC ADC, const TRect& ARect, HBRUSH ABrush) {
  const RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  FillRect(ADC, &r, ABrush);
}

void cxFillRectExcept(TcxCanvas* ACanvas, const TRect& AOuter, const TRect& AInner, HBRUSH ABrush) {
  if (AOuter.IsEmpty() || AOuter == AInner) return;
  HDC dc = ACanvas->Handle();
  if (AInner.IsEmpty()) {
    cxFillRectWithBrush(dc, AOuter, ABrush);
    return;
  }
  cxFillRectWithBrush(dc, TRect(AOuter.Left, AOuter.Top, AInner.Left, AOuter.Bottom), ABrush);
  cxFillRectWithBrush(dc, TRect(AInner.Left, AOuter.Top, AInner.Right, AInner.Top), ABrush);
  cxFillRectWithBrush(dc, TRect(AInner.Right, AOuter.Top, AOuter.Right, AOuter.Bottom), ABrush);
  cxFillRectWithBrush(dc, TRect(AInner.Left, AInner.Bottom, AInner.Right, AOuter.Bottom), ABrush);
}

void cxPaintCenteredArrow(TcxCanvas* ACanvas, int AArrowSize, const TRect& AContentRect, TColor AColor,
                          bool AOffsetContent, bool AIsDoubleArrow, TcxArrowDirection ADirection) {
  if (AArrowSize <= 0) return;
  const int count = AIsDoubleArrow ? 2 : 1;
  const bool vertical = ADirection == adUp || ADirection == adDown;
  const int blockWidth = vertical ? 2 * AArrowSize - 1 : count * AArrowSize;
  const int blockHeight = vertical ? count * AArrowSize : 2 * AArrowSize - 1;
  int left = AContentRect.Left + (AContentRect.Width() - blockWidth) / 2;
  int top = AContentRect.Top + (AContentRect.Height() - blockHeight) / 2;
  if (AOffsetContent) {
    ++left;
    ++top;
  }
  HDC dc = ACanvas->Handle();
  HBRUSH brush = cxGetCachedBrush(AColor);
  for (int n = 0; n < count; ++n) {
    for (int step = 0; step < AArrowSize; ++step) {
      // `half`: how far the step reaches out from the centre line.
      const int half = (ADirection == adUp || ADirection == adLeft) ? step : AArrowSize - 1 - step;
      TRect r;
      if (vertical) {
        const int y = top + n * AArrowSize + step;
        r = TRect(left + AArrowSize - 1 - half, y, left + AArrowSize + half, y + 1);
      } else {
        const int x = left + n * AArrowSize + step;
        r = TRect(x, top + AArrowSize - 1 - half, x + 1, top + AArrowSize + half);
      }
      cxFillRectWithBrush(dc, r, brush);
    }
  }
}

TSize cxCalcArrowSize(const TSize& AContentSize, TcxArrowDirection ADirection) {
  const int s = std::min(AContentSize.cx, AContentSize.cy);
  int w = (s - 1) / 2;
  if (w % 2 == 0) ++w;
  const int h = w / 2 + 1;
  return (ADirection == adLeft || ADirection == adRight) ? TSize(h, w) : TSize(w, h);
}

void cxDrawEditButtonFrameSides(TcxCanvas* ACanvas, TRect& ARect, int ABorders, TColor AColor) {
  HDC dc = ACanvas->Handle();
  HBRUSH brush = cxGetCachedBrush(AColor);
  if (ABorders & 1) {
    cxFillRectWithBrush(dc, TRect(ARect.Left, ARect.Top, ARect.Left + 1, ARect.Bottom), brush);
    ++ARect.Left;
  }
  if (ABorders & 4) {
    cxFillRectWithBrush(dc, TRect(ARect.Right - 1, ARect.Top, ARect.Right, ARect.Bottom), brush);
    --ARect.Right;
  }
  if (ABorders & 2) {
    cxFillRectWithBrush(dc, TRect(ARect.Left, ARect.Top, ARect.Right, ARect.Top + 1), brush);
    ++ARect.Top;
  }
  if (ABorders & 8) {
    cxFillRectWithBrush(dc, TRect(ARect.Left, ARect.Bottom - 1, ARect.Right, ARect.Bottom), brush);
    --ARect.Bottom;
  }
}

void cxDrawAxisPolyline(TcxCanvas* ACanvas, const TPoint* APoints, int ACount, bool AUseBrush, TColor AColor) {
  if (ACount < 0 || !APoints) return;
  if (!AUseBrush) {
    ACanvas->Pen()->SetColor(AColor);
    ACanvas->Polyline(std::span<const TPoint>(APoints, static_cast<std::size_t>(ACount) + 1));
    ACanvas->PutPixel(APoints[ACount].X, APoints[ACount].Y, AColor);
    return;
  }
  HDC dc = ACanvas->Handle();
  HBRUSH brush = cxGetCachedBrush(AColor);
  for (int i = 0; i < ACount; ++i) {
    const TPoint& a = APoints[i];
    const TPoint& b = APoints[i + 1];
    cxFillRectWithBrush(dc, TRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                                  std::max(a.Y, b.Y) + 1), brush);
  }
  const TPoint& last = APoints[ACount];
  cxFillRectWithBrush(dc, TRect(last.X, last.Y, last.X + 1, last.Y + 1), brush);
}

namespace {
constexpr std::pair<int, int> kTextFlagPairs[] = {
    {cxTextOut::VCenter, DT_VCENTER},     {cxTextOut::Right, DT_RIGHT},        {cxTextOut::SingleLine, DT_SINGLELINE},
    {cxTextOut::WordBreak, DT_WORDBREAK}, {cxTextOut::CalcRect, DT_CALCRECT},  {cxTextOut::ExpandTabs, DT_EXPANDTABS},
};
}  // namespace

int cxConvertTextOutFlags(int AFlags) {
  int result = 0;
  for (const auto& [canvasFlag, drawTextFlag] : kTextFlagPairs)
    if (AFlags & canvasFlag) result |= drawTextFlag;
  return result;
}

int cxMapDrawTextFlags(int AFlags) {
  int result = 0;
  for (const auto& [canvasFlag, drawTextFlag] : kTextFlagPairs)
    if (AFlags & drawTextFlag) result |= canvasFlag;
  return result;
}

TcxCustomLookAndFeelPainterClass cxLookAndFeelPainterClassFor(bool ANativeStyle, TcxLookAndFeelKind AKind) {
  if (ANativeStyle && dxAreThemesUsable()) return TcxWinXPLookAndFeelPainter::Instance();
  switch (AKind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Instance();
    case lfStandard: return TcxStandardLookAndFeelPainter::Instance();
    case lfOffice11: return TcxOffice11LookAndFeelPainter::Instance();
    default: return TcxUltraFlatLookAndFeelPainter::Instance();
  }
}

TColor cxHighlightBorderColor(bool AOffice11) {
  return AOffice11 ? dxOffice11Palette.SelectedFrame : clHighlight;
}

TColor cxHotButtonColor(bool APressed, bool AOffice11) {
  TcxCustomLookAndFeelPainterClass painter =
      AOffice11 ? TcxOffice11LookAndFeelPainter::Instance() : TcxUltraFlatLookAndFeelPainter::Instance();
  return painter->ButtonColor(APressed ? cxbsPressed : cxbsHot);
}

bool cxIsDigitChar(Char C) { return C >= L'0' && C <= L'9'; }

