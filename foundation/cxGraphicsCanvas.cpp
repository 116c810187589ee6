#include "foundation/cxGraphicsCanvas.h"

#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "platform/core/Components.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"


#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <utility>

IMPLEMENT_CLASS(TcxRegion, TObject, ConstructPlain<TcxRegion>)
IMPLEMENT_CLASS(TcxCanvas, TObject, (ConstructWith<TcxCanvas, TCanvas>))
IMPLEMENT_CLASS(TScreenCanvas, TCanvas, ConstructPlain<TScreenCanvas>)
IMPLEMENT_CLASS(TcxScreenCanvas, TcxCanvas, ConstructPlain<TcxScreenCanvas>)
IMPLEMENT_CLASS(TcxPaintCanvas, TcxCanvas, ConstructPlain<TcxPaintCanvas>)
IMPLEMENT_CLASS(TcxSolidBrushCache, TObject, ConstructPlain<TcxSolidBrushCache>)

namespace {

// ---- Module state -------------------------------------------------------------

int g_initCount = 0;
bool g_finalizing = false;
HMODULE g_msimg32 = nullptr;
TcxAlphaBlendProc g_alphaBlend = nullptr;
TSize g_screenDpi{96, 96};
TcxScreenCanvas* g_screenCanvas = nullptr;
TcxPaintCanvas* g_paintCanvas = nullptr;
TcxSolidBrushCache* g_brushCache = nullptr;

// A region that could not be made raises: a null handle would stand for an
// empty region, and an empty clip region selected means no clipping at all.
HRGN CheckedRegion(HRGN ARegion) {
  if (!ARegion) throw EOutOfResources(L"Out of system resources");
  return ARegion;
}

HRGN NewRegion(int ALeft, int ATop, int ARight, int ABottom) {
  return CheckedRegion(GdiCreateRectRgn(ALeft, ATop, ARight, ABottom));
}

// A region with no area.
HRGN NewEmptyRegion() { return NewRegion(0, 0, 0, 0); }

// A new handle for a font, pen or brush object's SetHandle, which counts it
// again as the object's own. Raises when there is none: the object would
// silently keep what it had.
template <class H>
H ForGraphicsObject(H AHandle) {
  if (!AHandle) throw EOutOfResources(L"Out of system resources");
  GdiDisown(AHandle);
  return AHandle;
}

int CombineMode(TcxRegionOperation op) {
  switch (op) {
    case roAdd: return RGN_OR;
    case roSubtract: return RGN_DIFF;
    case roIntersect: return RGN_AND;
    default: return RGN_COPY;
  }
}

RECT ToRECT(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }
TRect FromRECT(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
void OffsetR(TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

// Floor division: tiles anchored at the origin also cover negative coordinates.
int FloorDiv(int a, int b) {
  int q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

// ---------------------------------------------------------------------------
// Text flags
// ---------------------------------------------------------------------------

UINT cxTextFlagsToDrawTextFlags(int AFlags) {
  UINT result = DT_NOPREFIX;
  if (AFlags & cxtfLeft) result |= DT_LEFT;
  if (AFlags & cxtfRight) result |= DT_RIGHT;
  if (AFlags & cxtfCenterH) result |= DT_CENTER;
  if (AFlags & cxtfTop) result |= DT_TOP;
  if (AFlags & cxtfBottom) result |= DT_BOTTOM;
  if (AFlags & cxtfCenterV) result |= DT_VCENTER;
  if (AFlags & cxtfSingleLine) result |= DT_SINGLELINE;
  if (AFlags & cxtfNoClip) result |= DT_NOCLIP;
  if (AFlags & cxtfExpandTabs) result |= DT_EXPANDTABS;
  if (AFlags & cxtfShowPrefix) result &= ~static_cast<UINT>(DT_NOPREFIX);
  if (AFlags & cxtfWordBreak) {
    result |= DT_WORDBREAK;
    if (!(AFlags & cxtfKeepWords))
      result |= DT_EDITCONTROL;
    else if (AFlags & cxtfNoFullWidthBreak)
      result |= DT_NOFULLWIDTHCHARBREAK;
  }
  if (AFlags & cxtfEndEllipsis) result |= DT_END_ELLIPSIS;
  if (AFlags & cxtfCalcOnly) result |= DT_CALCRECT;
  if (AFlags & cxtfPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

// ---------------------------------------------------------------------------
// TcxRegion
// ---------------------------------------------------------------------------

TcxRegion::TcxRegion() : FHandle(NewEmptyRegion()) {}

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}

TcxRegion::TcxRegion(const TRect& ABounds)
    : FHandle(NewRegion(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Bottom)) {}

TcxRegion::TcxRegion(int ALeft, int ATop, int ARight, int ABottom)
    : FHandle(NewRegion(ALeft, ATop, ARight, ABottom)) {}

TcxRegion* TcxRegion::CreateRoundCorners(const TRect& ABounds, int AWidthEllepse,
                                         int AHeightEllepse) {
  return CreateRoundCorners(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Bottom,
                            AWidthEllepse, AHeightEllepse);
}

TcxRegion* TcxRegion::CreateRoundCorners(int ALeft, int ATop, int ARight, int ABottom,
                                         int AWidthEllepse, int AHeightEllepse) {
  HRGN handle = CheckedRegion(GdiCreateRoundRectRgn(ALeft + 1, ATop + 1, ARight, ABottom,
                                                    AWidthEllepse, AHeightEllepse));
  try {
    return Make<TcxRegion>(handle);
  } catch (...) {
    GdiDeleteObject(handle);
    throw;
  }
}

TcxRegion::~TcxRegion() {
  if (FHandle) {
    GdiDeleteObject(FHandle);
    FHandle = nullptr;
  }
}

void TcxRegion::Combine(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion) {
  // The argument is freed as promised also when combining raises.
  struct TFreeArgument {
    TcxRegion* Region;
    ~TFreeArgument() { TObject::Free(Region); }
  } freeArgument{ADestroyRegion && ARegion != this ? ARegion : nullptr};
  if (!ARegion) return;
  if (!FHandle) FHandle = NewEmptyRegion();
  // A region without a handle takes part as an empty one.
  HRGN other = ARegion->FHandle;
  HRGN empty = other ? nullptr : NewEmptyRegion();
  if (!other) other = empty;
  if (AOperation == roSet)
    CombineRgn(FHandle, other, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, other, CombineMode(AOperation));
  GdiDeleteObject(empty);
}

bool TcxRegion::IsEqual(TcxRegion* ARegion) const {
  if (!ARegion) return false;
  return (IsEmpty() && ARegion->IsEmpty()) || IsEqual(ARegion->FHandle);
}

bool TcxRegion::IsEqual(HRGN ARegionHandle) const {
  return FHandle && ARegionHandle && EqualRgn(FHandle, ARegionHandle) > 0;
}

void TcxRegion::Offset(int DX, int DY) {
  if (FHandle) OffsetRgn(FHandle, DX, DY);
}

bool TcxRegion::PtInRegion(int X, int Y) const {
  return FHandle && ::PtInRegion(FHandle, X, Y) != 0;
}

bool TcxRegion::RectInRegion(const TRect& R) const {
  const RECT rc = ToRECT(R);
  return FHandle && ::RectInRegion(FHandle, &rc) != 0;
}

TRect TcxRegion::BoundsRect() const {
  RECT rc{};
  if (!FHandle || GetRgnBox(FHandle, &rc) <= NULLREGION) return TRect();
  return FromRECT(rc);
}

bool TcxRegion::IsEmpty() const {
  RECT rc{};
  return !FHandle || GetRgnBox(FHandle, &rc) <= NULLREGION;
}

// ---------------------------------------------------------------------------
// TcxCanvas: life, properties, stacks
// ---------------------------------------------------------------------------

TcxCanvas::TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

TcxCanvas::~TcxCanvas() {
  for (TcxRegion* region : FSavedRegions) TObject::Free(region);
  FSavedRegions.clear();
  for (TcxCanvasState& state : FSavedStates) {
    TObject::Free(state.Font);
    TObject::Free(state.Brush);
    TObject::Free(state.Pen);
  }
  FSavedStates.clear();
  FCanvas = nullptr;
}

TPoint TcxCanvas::DCOrigin() const {
  HDC dc = Handle();
  POINT viewport{}, window{};
  GetViewportOrgEx(dc, &viewport);
  GetWindowOrgEx(dc, &window);
  return {viewport.x - window.x, viewport.y - window.y};
}

TPoint TcxCanvas::ViewportOrg() const {
  POINT p{};
  GetViewportOrgEx(Handle(), &p);
  return {p.x, p.y};
}

void TcxCanvas::SetViewportOrg(const TPoint& P) { SetViewportOrgEx(Handle(), P.X, P.Y, nullptr); }

TPoint TcxCanvas::WindowOrg() const {
  POINT p{};
  GetWindowOrgEx(Handle(), &p);
  return {p.x, p.y};
}

void TcxCanvas::SetWindowOrg(const TPoint& P) { SetWindowOrgEx(Handle(), P.X, P.Y, nullptr); }

void TcxCanvas::SaveDC() {
  FCanvas->Lock();
  HDC dc;
  try {
    dc = Handle();
  } catch (...) {
    FCanvas->Unlock();
    throw;
  }
  // The saved state must refer to the DC's own objects only: ours may be
  // deleted before the restore (a font change releases the old handle).
  FCanvas->Refresh();
  FSavedDCs.push_back({dc, ::SaveDC(dc)});
}

void TcxCanvas::RestoreDC() {
  if (FSavedDCs.empty()) return;
  const TcxDCState state = FSavedDCs.back();
  FSavedDCs.pop_back();
  FCanvas->SetHandle(state.Handle);
  // Put the DC's own objects back first, so that the canvas selects its
  // objects again on the next drawing operation.
  FCanvas->Refresh();
  ::RestoreDC(state.Handle, state.State);
  FCanvas->Unlock();
}

void TcxCanvas::SaveState() {
  AdoptDCObjects(Handle());
  SaveDC();
  TcxCanvasState state;
  try {
    state.Font = Make<TFont>();
    state.Font->Assign(Font());
    state.Brush = Make<TBrush>();
    state.Brush->Assign(Brush());
    state.Pen = Make<TPen>();
    state.Pen->Assign(Pen());
    FSavedStates.push_back(state);
  } catch (...) {
    TObject::Free(state.Font);
    TObject::Free(state.Brush);
    TObject::Free(state.Pen);
    RestoreDC();
    throw;
  }
}

void TcxCanvas::RestoreState() {
  if (FSavedStates.empty()) return;
  TcxCanvasState state = FSavedStates.back();
  FSavedStates.pop_back();
  Font()->Assign(state.Font);
  Brush()->Assign(state.Brush);
  Pen()->Assign(state.Pen);
  TObject::Free(state.Font);
  TObject::Free(state.Brush);
  TObject::Free(state.Pen);
  RestoreDC();
}

void TcxCanvas::AdoptDCObjects(HDC ADC) {
  // Font
  LOGFONTW lf{};
  HGDIOBJ font = GetCurrentObject(ADC, OBJ_FONT);
  if (font && GetObjectW(font, sizeof(lf), &lf) == sizeof(lf)) {
    Font()->SetHandle(ForGraphicsObject(GdiCreateFont(lf)));
  }
  const COLORREF textColor = GetTextColor(ADC);
  if (textColor != CLR_INVALID) Font()->SetColor(static_cast<TColor>(textColor));

  // Brush
  LOGBRUSH lb{};
  HGDIOBJ brush = GetCurrentObject(ADC, OBJ_BRUSH);
  if (brush && GetObjectW(brush, sizeof(lb), &lb) == sizeof(lb)) {
    Brush()->SetHandle(ForGraphicsObject(GdiCreateBrush(lb)));
    Brush()->SetColor(static_cast<TColor>(lb.lbColor));
    TBrushStyle style = bsSolid;
    if (lb.lbStyle == BS_NULL) {
      style = bsClear;
    } else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= 5) {
      static const TBrushStyle kHatches[] = {bsHorizontal, bsVertical, bsFDiagonal,
                                             bsBDiagonal, bsCross, bsDiagCross};
      style = kHatches[lb.lbHatch];
    }
    Brush()->SetStyle(style);
  }

  // Pen
  LOGPEN lp{};
  HGDIOBJ pen = GetCurrentObject(ADC, OBJ_PEN);
  if (pen && GetObjectW(pen, sizeof(lp), &lp) == sizeof(lp)) {
    Pen()->SetHandle(ForGraphicsObject(
        GdiCreatePen(static_cast<int>(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor)));
    Pen()->SetColor(static_cast<TColor>(lp.lopnColor));
    // The style's low byte is a pen style ordinal; anything beyond the
    // enumeration (a geometric pen's extra bits) draws solid.
    const int style = static_cast<int>(lp.lopnStyle & 0xFF);
    Pen()->SetStyle(style <= psAlternate ? static_cast<TPenStyle>(style) : psSolid);
    Pen()->SetWidth(lp.lopnWidth.x);
  }
  static const int kRop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                              R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                              R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  const int rop2 = GetROP2(ADC);
  TPenMode mode = pmCopy;
  for (int i = 0; i < 16; ++i)
    if (kRop2[i] == rop2) {
      mode = static_cast<TPenMode>(i);
      break;
    }
  Pen()->SetMode(mode);
}

// ---------------------------------------------------------------------------
// Clipping
// ---------------------------------------------------------------------------

TcxRegion* TcxCanvas::GetClipRegion(bool AConsiderOrigin) {
  HDC dc = Handle();
  auto* region = Make<TcxRegion>();
  if (GetClipRgn(dc, region->Handle()) != 1)
    SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  if (AConsiderOrigin) {
    const TPoint origin = DCOrigin();
    region->Offset(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation,
                              bool ADestroyRegion, bool AConsiderOrigin) {
  if (!ARegion) return;
  if (AOperation != roSet) {
    TcxRegion* clip;
    try {
      clip = GetClipRegion(AConsiderOrigin);
    } catch (...) {
      if (ADestroyRegion) TObject::Free(ARegion);
      throw;
    }
    try {
      clip->Combine(ARegion, AOperation, ADestroyRegion);
    } catch (...) {
      TObject::Free(clip);
      throw;
    }
    SetClipRegion(clip, roSet, true, AConsiderOrigin);
    return;
  }
  HDC dc;
  try {
    dc = Handle();
  } catch (...) {
    if (ADestroyRegion) TObject::Free(ARegion);
    throw;
  }
  TPoint origin;
  if (AConsiderOrigin) {
    origin = DCOrigin();
    ARegion->Offset(origin.X, origin.Y);
  }
  SelectClipRgn(dc, ARegion->Handle());
  if (ADestroyRegion)
    TObject::Free(ARegion);
  else if (AConsiderOrigin)
    ARegion->Offset(-origin.X, -origin.Y);
}

void TcxCanvas::SaveClipRegion() { FSavedRegions.push_back(GetClipRegion(true)); }

void TcxCanvas::RestoreClipRegion() {
  if (FSavedRegions.empty()) return;
  TcxRegion* region = FSavedRegions.back();
  FSavedRegions.pop_back();
  SetClipRegion(region, roSet, true, true);
}

void TcxCanvas::ExcludeClipRect(const TRect& R) {
  ::ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}

void TcxCanvas::IntersectClipRect(const TRect& R) {
  ::IntersectClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}

bool TcxCanvas::RectVisible(const TRect& R) {
  const RECT rc = ToRECT(R);
  return ::RectVisible(Handle(), &rc) != 0;
}

bool TcxCanvas::RectFullyVisible(const TRect& R) {
  TcxRegion* clip = GetClipRegion(true);
  TcxRegion* rect = nullptr;
  bool result;
  try {
    rect = Make<TcxRegion>(R);
    clip->Combine(rect, roIntersect, false);
    result = clip->IsEqual(rect);
  } catch (...) {
    TObject::Free(clip);
    TObject::Free(rect);
    throw;
  }
  TObject::Free(clip);
  TObject::Free(rect);
  return result;
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

void TcxCanvas::DrawTexT(const String& Text, TRect& R, int Flags, bool Enabled) {
  if (Text.empty()) return;
  const bool drawTextPath = !(Flags & cxtfSingleLine) ||
                            (Flags & (cxtfShowPrefix | cxtfEndEllipsis | cxtfPathEllipsis));
  const TSize size = TextExtent(Text);
  if (R.Width() >= size.cx && R.Height() >= size.cy) Flags |= cxtfNoClip;

  UINT format = 0;
  UINT options = 0;
  const int horz = Flags & cxtfHorzAlignMask;
  const int vert = Flags & cxtfVertAlignMask;
  if (drawTextPath) {
    if (!(Flags & cxtfSingleLine) && (vert == cxtfBottom || vert == cxtfCenterV))
      AlignMultiLineTextRectVertically(R, Text, vert == cxtfBottom ? vaBottom : vaCenter,
                                       (Flags & cxtfWordBreak) != 0,
                                       (Flags & cxtfShowPrefix) != 0, Enabled,
                                       (Flags & cxtfKeepWords) != 0,
                                       (Flags & cxtfEndEllipsis) != 0);
    format = cxTextFlagsToDrawTextFlags(Flags);
  } else {
    const int e = Enabled ? 0 : 1;
    if (R.Width() > size.cx) {
      if (horz == cxtfRight)
        R.Left = R.Right - size.cx - e;
      else if (horz == cxtfCenterH)
        R.Left = (R.Left + R.Right - size.cx) / 2;
    }
    if (R.Height() > size.cy) {
      if (vert == cxtfBottom)
        R.Top = R.Bottom - size.cy - e;
      else if (vert == cxtfCenterV)
        R.Top = (R.Top + R.Bottom - size.cy) / 2;
    }
    options = (Flags & cxtfNoClip) ? 0 : ETO_CLIPPED;
  }

  const TBrushStyle brushStyle = Brush()->Style();
  const TColor fontColor = Font()->Color();
  auto output = [&] {
    if (drawTextPath)
      cxDrawColoredText(Handle(), Text, R, format, -1, clDefault, TRANSPARENT);
    else
      cxExtTextOutString(Handle(), Text, R.TopLeft(), -1, options, &R);
  };
  if (!Enabled) {
    OffsetR(R, 1, 1);
    Brush()->SetStyle(bsClear);
    Font()->SetColor(clBtnHighlight);
    output();
    OffsetR(R, -1, -1);
    Font()->SetColor(clBtnShadow);
  }
  output();
  if (Brush()->Style() != brushStyle) Brush()->SetStyle(brushStyle);
  Font()->SetColor(fontColor);
}

void TcxCanvas::DrawTexT(const String& Text, TRect& R, TAlignment AAlignmentHorz,
                         TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                         bool AShowEndEllipsis) {
  if (Text.empty()) return;
  static const int kHorz[] = {cxtfLeft, cxtfRight, cxtfCenterH};
  static const int kVert[] = {cxtfTop, cxtfBottom, cxtfCenterV};
  int flags = 0;
  if (AAlignmentHorz >= taLeftJustify && AAlignmentHorz <= taCenter) flags |= kHorz[AAlignmentHorz];
  if (AAlignmentVert >= vaTop && AAlignmentVert <= vaCenter) flags |= kVert[AAlignmentVert];
  flags |= AMultiLine ? cxtfWordBreak : cxtfSingleLine;
  if (AShowEndEllipsis) flags |= cxtfEndEllipsis;
  DrawTexT(Text, R, flags, true);
}

void TcxCanvas::AlignMultiLineTextRectVertically(TRect& R, const String& AText,
                                                 TcxAlignmentVert AAlignmentVert,
                                                 bool AWordBreak, bool AShowPrefix,
                                                 bool AEnabled, bool ADontBreakChars,
                                                 bool AEndEllipsis) {
  if (AAlignmentVert == vaTop) return;
  const int e = AEnabled ? 0 : 1;
  int textHeight;
  if (AEndEllipsis && AWordBreak) {
    // A whole number of lines that fits: the last one ends with the ellipsis.
    const int h = TextHeight(L"Wg");
    textHeight = h > 0 ? std::max(h, h * ((R.Height() - e) / h)) : 0;
  } else {
    TRect calc(0, 0, R.Width() - e, 0);
    int flags = cxtfLeft | cxtfTop;
    if (AWordBreak) flags |= cxtfWordBreak;
    if (AShowPrefix) flags |= cxtfShowPrefix;
    if (ADontBreakChars) flags |= cxtfKeepWords;
    TextExtent(AText, calc, flags);
    textHeight = calc.Height();
  }
  if (AAlignmentVert == vaBottom)
    R.Top = R.Bottom - (textHeight + e);
  else if (AAlignmentVert == vaCenter)
    R.Top = (R.Top + R.Bottom - textHeight) / 2;
}

TSize TcxCanvas::TextExtent(const String& Text) {
  TSize size;
  cxQueryTextExtent(Handle(), Text, size);
  return size;
}

void TcxCanvas::TextExtent(const String& Text, TRect& R, int Flags) {
  const int w = R.Width(), h = R.Height();
  const UINT format = cxTextFlagsToDrawTextFlags(Flags);
  if (w <= 0 && !Text.empty()) R.Right = R.Left + 1;
  // Measured from the top: some DrawText implementations place a single line
  // at the bottom or centre even while only calculating.
  const UINT calcFormat = (format & ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT;
  if (cxDrawColoredText(Handle(), Text, R, calcFormat, -1, clDefault, TRANSPARENT) == 0) {
    R.Right = R.Left;
    R.Bottom = R.Top;
  }
  const int w2 = R.Width(), h2 = R.Height();
  if (format & DT_CENTER)
    OffsetR(R, (w - w2) / 2, 0);
  else if (format & DT_RIGHT)
    OffsetR(R, w - w2, 0);
  if (format & DT_VCENTER)
    OffsetR(R, 0, (h - h2) / 2);
  else if (format & DT_BOTTOM)
    OffsetR(R, 0, h - h2);
}

int TcxCanvas::FontHeight(TFont* AFont) {
  SetFont(AFont);
  return TextHeight(L"Qq");
}

void TcxCanvas::GetTextStringsBounds(String Text, TRect R, int Flags, bool Enabled,
                                     TRectArray& ABounds) {
  if (Text.empty()) return;
  if (Flags & cxtfShowPrefix) {
    Text = StripHotkey(Text);
    Flags &= ~cxtfShowPrefix;
    if (Text.empty()) return;
  }
  if (!Enabled) {
    --R.Right;
    --R.Bottom;
  }
  TRect block = R;
  TextExtent(Text, block, Flags);
  const int vert = Flags & cxtfVertAlignMask;
  if (vert == cxtfBottom)
    OffsetR(block, 0, R.Bottom - block.Bottom);
  else if (vert == cxtfCenterV)
    OffsetR(block, 0, (R.Bottom - block.Bottom) / 2);
  const int horz = Flags & cxtfHorzAlignMask;

  HDC dc = Handle();
  while (!Text.empty()) {
    const int length = static_cast<int>(Text.size());
    int fit = 0;
    SIZE dummy{};
    GetTextExtentExPointW(dc, Text.c_str(), length, std::max(0, R.Width()), &fit, nullptr,
                          &dummy);
    int n = std::clamp(fit, 1, length);
    // A line break among the characters that fit ends the line there.
    bool broken = false;
    for (int i = 0; i < n; ++i) {
      const wchar_t c = Text[i];
      if (c == L'\r' || c == L'\n') {
        const wchar_t other = c == L'\r' ? L'\n' : L'\r';
        const int breakLength = (i + 1 < length && Text[i + 1] == other) ? 2 : 1;
        Text.erase(i, breakLength);
        n = i;
        broken = true;
        break;
      }
    }
    if (!broken && length > n) {
      // Break at the last space before the (n + 1)th character.
      for (int p = n + 1; p >= 1; --p) {
        if (Text[p - 1] != L' ') continue;
        if (p < n) {
          n = p;
          if (horz != cxtfLeft) {
            Text.erase(p - 1, 1);
            --n;
          }
        }
        break;
      }
    }
    TSize size;
    cxQueryTextExtent(dc, Text, size, n);
    TRect line = block;
    line.Bottom = block.Top + size.cy;
    switch (horz) {
      case cxtfLeft: line.Right = line.Left + size.cx; break;
      case cxtfRight: line.Left = line.Right - size.cx; break;
      case cxtfCenterH:
        line.Left = (line.Left + line.Right - size.cx) / 2;
        line.Right = line.Left + size.cx;
        break;
      default: break;
    }
    block.Top = line.Bottom;
    ABounds.push_back(line);
    Text.erase(0, n);
  }
}

void TcxCanvas::SetFontAngle(int Value) {
  LOGFONTW lf{};
  if (GetObjectW(Font()->Handle(), sizeof(lf), &lf) != sizeof(lf)) return;
  lf.lfEscapement = Value * 10;
  if (Value != 0) lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  Font()->SetHandle(ForGraphicsObject(GdiCreateFont(lf)));
}

// ---------------------------------------------------------------------------
// Fills and frames
// ---------------------------------------------------------------------------

void TcxCanvas::SetBrushColor(TColor Value) {
  if (Brush()->Color() != Value) Brush()->SetColor(Value);
}

void TcxCanvas::FillRect(const TRect& R, TColor AColor) {
  if (AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  FCanvas->FillRect(R);
}

void TcxCanvas::FillRect(const TRect& R, TBitmap* ABitmap, bool AExcludeRect) {
  if (R.IsEmpty()) return;
  if (!ABitmap || ABitmap->Empty()) {
    FCanvas->FillRect(R);
  } else {
    const int w = ABitmap->Width(), h = ABitmap->Height();
    const int firstColumn = FloorDiv(R.Left, w), lastColumn = FloorDiv(R.Right - 1, w);
    const int firstRow = FloorDiv(R.Top, h), lastRow = FloorDiv(R.Bottom - 1, h);
    TCanvas* source = ABitmap->Canvas();
    for (int row = firstRow; row <= lastRow; ++row)
      for (int column = firstColumn; column <= lastColumn; ++column) {
        const int x = column * w, y = row * h;
        TRect part(std::max(x, R.Left), std::max(y, R.Top), std::min(x + w, R.Right),
                   std::min(y + h, R.Bottom));
        if (part.IsEmpty()) continue;
        TRect from = part;
        OffsetR(from, -x, -y);
        FCanvas->CopyRect(part, source, from);
      }
  }
  if (AExcludeRect) SetClipRegion(Make<TcxRegion>(R), roSubtract, true, true);
}

void TcxCanvas::FillRect(TRect R, const TcxViewParams& AParams, TcxBorders ABorders,
                         TColor ABorderColor, int ALineWidth, bool AExcludeRect) {
  FrameRect(R, ABorderColor, ALineWidth, ABorders, AExcludeRect);
  if (ABorders.Contains(bLeft)) R.Left += ALineWidth;
  if (ABorders.Contains(bTop)) R.Top += ALineWidth;
  if (ABorders.Contains(bRight)) R.Right -= ALineWidth;
  if (ABorders.Contains(bBottom)) R.Bottom -= ALineWidth;
  if (AParams.Color != clDefault) SetBrushColor(AParams.Color);
  FillRect(R, AParams.Bitmap, AExcludeRect);
}

void TcxCanvas::FrameRect(const TRect& R, TColor Color, int ALineWidth, TcxBorders ABorders,
                          bool AExcludeFrame) {
  if (R.IsEmpty() || Color == clNone) return;
  if (Color != clDefault) SetBrushColor(Color);
  const int w = ALineWidth;
  if (ABorders.Contains(bLeft))
    FillRect(TRect(R.Left, R.Top, std::min(R.Left + w, R.Right), R.Bottom), nullptr, AExcludeFrame);
  if (ABorders.Contains(bRight))
    FillRect(TRect(std::max(R.Right - w, R.Left), R.Top, R.Right, R.Bottom), nullptr, AExcludeFrame);
  if (ABorders.Contains(bTop))
    FillRect(TRect(R.Left, R.Top, R.Right, std::min(R.Top + w, R.Bottom)), nullptr, AExcludeFrame);
  if (ABorders.Contains(bBottom))
    FillRect(TRect(R.Left, std::max(R.Bottom - w, R.Top), R.Right, R.Bottom), nullptr, AExcludeFrame);
}

void TcxCanvas::DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                                 TcxBorders ABorders, int ABorderWidth) {
  const int w = ABorderWidth;
  if (ABorders.Contains(bLeft)) FillRect(TRect(R.Left, R.Top, R.Left + w, R.Bottom), ALeftTopColor);
  if (ABorders.Contains(bTop)) FillRect(TRect(R.Left, R.Top, R.Right, R.Top + w), ALeftTopColor);
  if (ABorders.Contains(bRight))
    FillRect(TRect(R.Right - w, R.Top, R.Right, R.Bottom), ARightBottomColor);
  if (ABorders.Contains(bBottom))
    FillRect(TRect(R.Left, R.Bottom - w, R.Right, R.Bottom), ARightBottomColor);
}

void TcxCanvas::DrawEdge(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders) {
  TColor leftTop, rightBottom;
  if (ASunken) {
    leftTop = AOuter ? clBtnShadow : cl3DDkShadow;
    rightBottom = AOuter ? clBtnHighlight : cl3DLight;
  } else {
    leftTop = AOuter ? cl3DLight : clBtnHighlight;
    rightBottom = AOuter ? cl3DDkShadow : clBtnShadow;
  }
  DrawComplexFrame(R, leftTop, rightBottom, ABorders, 1);
}

void TcxCanvas::DrawFocusRect(const TRect& R) {
  SetBrushColor(clWhite);
  Font()->SetColor(clBlack);
  Handle();   // selects the font, so the DC's text colour is black
  FCanvas->DrawFocusRect(R);
}

void TcxCanvas::DrawDesignSelection(TRect ARect, int AWidth) {
  for (int i = 0; i < AWidth; ++i) {
    DrawFocusRect(ARect);
    ARect = TRect(ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1);
  }
}

void TcxCanvas::InvertRect(const TRect& R) {
  const int copyMode = CopyMode();
  SetCopyMode(DSTINVERT);
  FCanvas->CopyRect(R, FCanvas, R);
  SetCopyMode(copyMode);
}

void TcxCanvas::InvertFrame(const TRect& R, int ABorderSize) {
  const int s = ABorderSize;
  InvertRect(TRect(R.Left, R.Top, R.Left + s, R.Bottom));
  InvertRect(TRect(R.Right - s, R.Top, R.Right, R.Bottom));
  InvertRect(TRect(R.Left + s, R.Top, R.Right - s, R.Top + s));
  InvertRect(TRect(R.Left + s, R.Bottom - s, R.Right - s, R.Bottom));
}

// ---------------------------------------------------------------------------
// Regions and paths
// ---------------------------------------------------------------------------

void TcxCanvas::FillRegion(TcxRegion* ARegion, TColor AColor) {
  if (ARegion) FillRegion(ARegion->Handle(), AColor);
}

void TcxCanvas::FillRegion(HRGN ARegion, TColor AColor) {
  if (!ARegion) return;
  SetBrushColor(AColor);
  HDC dc = Handle();
  FillRgn(dc, ARegion, Brush()->Handle());
}

void TcxCanvas::FrameRegion(TcxRegion* ARegion, TColor AColor, int ABorderWidth,
                            int ABorderHeight) {
  if (ARegion) FrameRegion(ARegion->Handle(), AColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::FrameRegion(HRGN ARegion, TColor AColor, int ABorderWidth, int ABorderHeight) {
  if (!ARegion) return;
  SetBrushColor(AColor);
  HDC dc = Handle();
  FrameRgn(dc, ARegion, Brush()->Handle(), ABorderWidth, ABorderHeight);
}

void TcxCanvas::DrawRegion(TcxRegion* ARegion, TColor AContentColor, TColor ABorderColor,
                           int ABorderWidth, int ABorderHeight) {
  if (ARegion) DrawRegion(ARegion->Handle(), AContentColor, ABorderColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::DrawRegion(HRGN ARegion, TColor AContentColor, TColor ABorderColor,
                           int ABorderWidth, int ABorderHeight) {
  FillRegion(ARegion, AContentColor);
  FrameRegion(ARegion, ABorderColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::BeginPath() { ::BeginPath(Handle()); }
void TcxCanvas::EndPath() { ::EndPath(Handle()); }
void TcxCanvas::WidenPath() { ::WidenPath(Handle()); }

TcxRegion* TcxCanvas::PathToRegion() {
  HDC dc = Handle();
  SetLastError(0);
  HRGN handle = GdiPathToRegion(dc);
  if (!handle) {
    // No closed path gives an empty region; a lack of resources raises.
    if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) throw EOutOfResources(L"Out of system resources");
    return Make<TcxRegion>();
  }
  try {
    return Make<TcxRegion>(handle);
  } catch (...) {
    GdiDeleteObject(handle);
    throw;
  }
}

// ---------------------------------------------------------------------------
// Shapes and pixels
// ---------------------------------------------------------------------------

void TcxCanvas::MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
void TcxCanvas::LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
void TcxCanvas::Polygon(std::span<const TPoint> Points) { FCanvas->Polygon(Points); }
void TcxCanvas::Polyline(std::span<const TPoint> Points) { FCanvas->Polyline(Points); }

void TcxCanvas::Pie(const TRect& R, const TPoint& ARadial1, const TPoint& ARadial2) {
  FCanvas->Pie(R.Left, R.Top, R.Right, R.Bottom, ARadial1.X, ARadial1.Y, ARadial2.X, ARadial2.Y);
}

void TcxCanvas::Pie(const TRect& R, int AStartAngle, int ASweepAngle) {
  if (R.IsEmpty() || ASweepAngle == 0) return;
  const int a = (R.Right - R.Left) / 2, b = (R.Bottom - R.Top) / 2;
  const int cx = R.Left + a, cy = R.Top + b;
  auto pointAt = [&](int angle) {
    const double t = angle * std::numbers::pi / 180.0;
    const double c = std::cos(t), s = std::sin(t);
    double rho = 0;
    if (a != 0 && b != 0) rho = double(a) * b / std::sqrt(s * s * a * a + c * c * b * b);
    // Rounded half to even, as every rounding of the library.
    return TPoint(cx + static_cast<int>(std::nearbyint(c * rho)),
                  cy - static_cast<int>(std::nearbyint(s * rho)));
  };
  const TPoint start = pointAt(AStartAngle);
  const TPoint end = ASweepAngle == 360 ? start : pointAt(AStartAngle + ASweepAngle);
  if (start != end || ASweepAngle > 180) Pie(R, start, end);
}

void TcxCanvas::PutPixel(int X, int Y, TColor AColor) { FCanvas->SetPixel(X, Y, AColor); }

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------

void TcxCanvas::Draw(int X, int Y, TGraphic* Graphic) { FCanvas->Draw(X, Y, Graphic); }

void TcxCanvas::CopyRect(const TRect& Dest, TCanvas* ACanvas, const TRect& Source) {
  FCanvas->CopyRect(Dest, ACanvas, Source);
}

void TcxCanvas::DrawGlyph(int X, int Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor) {
  if (!AGlyph || AGlyph->Empty()) return;
  const int w = AGlyph->Width(), h = AGlyph->Height();
  if (AEnabled) {
    const TColor transparent = AGlyph->TransparentColor();
    if (ABackgroundColor == clNone) {
      // A brush copy with a clear brush leaves the destination where the
      // glyph is transparent.
      HDC dc = Handle();
      TransparentBlt(dc, X, Y, w, h, AGlyph->Canvas()->Handle(), 0, 0, w, h,
                     static_cast<UINT>(ColorToRGB(transparent)));
      return;
    }
    const TBrushStyle style = Brush()->Style();
    Brush()->SetColor(ABackgroundColor);
    FCanvas->BrushCopy(Bounds(X, Y, w, h), AGlyph, TRect(0, 0, w, h), transparent);
    Brush()->SetStyle(style);
    return;
  }
  auto* images = Make<TImageList>(nullptr, w, h);
  try {
    images->AddMasked(AGlyph, AGlyph->TransparentMode() == tmFixed ? AGlyph->TransparentColor()
                                                                        : clDefault);
    if (ABackgroundColor != clNone) {
      auto* background = Make<TBitmap>(w, h);
      try {
        background->Canvas()->Brush()->SetColor(ABackgroundColor);
        background->Canvas()->FillRect(TRect(0, 0, w, h));
        images->Draw(background->Canvas(), 0, 0, 0, false);
        FCanvas->Draw(X, Y, background);
      } catch (...) {
        TObject::Free(background);
        throw;
      }
      TObject::Free(background);
    } else {
      images->Draw(FCanvas, X, Y, 0, false);
    }
  } catch (...) {
    TObject::Free(images);
    throw;
  }
  TObject::Free(images);
}

void TcxCanvas::DrawImage(TCustomImageList* Images, int X, int Y, int Index, bool Enabled) {
  if (!Images || Index < 0 || Index >= Images->Count()) return;
  SaveDC();
  try {
    Images->Draw(FCanvas, X, Y, Index, Enabled);
  } catch (...) {
    RestoreDC();
    throw;
  }
  RestoreDC();
}

void TcxCanvas::TransparentDraw(int X, int Y, TBitmap* ABitmap, Byte AAlpha, TBitmap* ABackground) {
  if (!ABitmap || ABitmap->Empty()) return;
  const int w = ABitmap->Width(), h = ABitmap->Height();
  auto* work = Make<TBitmap>();
  try {
    work->SetPixelFormat(pf32bit);
    work->SetSize(w, h);
    if (ABackground)
      work->Canvas()->Draw(0, 0, ABackground);
    else
      work->Canvas()->CopyRect(TRect(0, 0, w, h), FCanvas, Bounds(X, Y, w, h));
    if (TcxAlphaBlendProc blend = cxGetAlphaBlendProc()) {
      const BLENDFUNCTION bf{AC_SRC_OVER, 0, AAlpha, 0};
      blend(work->Canvas()->Handle(), 0, 0, w, h, ABitmap->Canvas()->Handle(), 0, 0, w, h, bf);
    } else {
      TRGBColors dst, src;
      cxReadBitmapColors(work, true, dst);
      cxReadBitmapColors(ABitmap, true, src);
      auto mix = [AAlpha](BYTE d, BYTE s) {
        return static_cast<BYTE>(MulDiv(d, 255 - AAlpha, 255) + MulDiv(s, AAlpha, 255));
      };
      for (size_t i = 0; i < dst.size() && i < src.size(); ++i) {
        dst[i].rgbBlue = mix(dst[i].rgbBlue, src[i].rgbBlue);
        dst[i].rgbGreen = mix(dst[i].rgbGreen, src[i].rgbGreen);
        dst[i].rgbRed = mix(dst[i].rgbRed, src[i].rgbRed);
      }
      cxApplyColorsToBitmap(work, dst, true);
    }
    FCanvas->Draw(X, Y, work);
  } catch (...) {
    TObject::Free(work);
    throw;
  }
  TObject::Free(work);
}

void TcxCanvas::RotateBitmap(TBitmap* ABitmap, TcxRotationAngle ARotationAngle,
                             bool AFlipVertically) {
  if (!ABitmap || (ARotationAngle == ra0 && !AFlipVertically)) return;
  const int w = ABitmap->Width(), h = ABitmap->Height();
  if (w <= 0 || h <= 0) return;
  TRGBColors source;
  cxReadBitmapColors(ABitmap, true, source);
  TRGBColors result(source.size());
  const bool quarter = ARotationAngle == raPlus90 || ARotationAngle == raMinus90;
  const int resultWidth = quarter ? h : w;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int nx = x, ny = y;
      switch (ARotationAngle) {
        case ra0: ny = h - 1 - y; break;   // only reached when flipping
        case raPlus90:
          nx = y;
          ny = AFlipVertically ? x : w - 1 - x;
          break;
        case raMinus90:
          nx = h - 1 - y;
          ny = AFlipVertically ? w - 1 - x : x;
          break;
        case ra180:
          nx = w - 1 - x;
          ny = AFlipVertically ? y : h - 1 - y;
          break;
      }
      result[static_cast<size_t>(ny) * resultWidth + nx] = source[static_cast<size_t>(y) * w + x];
    }
  if (quarter) {
    ABitmap->SetHeight(0);
    ABitmap->SetWidth(h);
    ABitmap->SetHeight(w);
  }
  cxApplyColorsToBitmap(ABitmap, result, true);
}

void TcxCanvas::FlipHorizontally(TBitmap* ABitmap) {
  if (!ABitmap) return;
  const int w = ABitmap->Width(), h = ABitmap->Height();
  if (w <= 0 || h <= 0) return;
  TRGBColors colors;
  cxReadBitmapColors(ABitmap, true, colors);
  for (int y = 0; y < h; ++y) {
    RGBQUAD* row = colors.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x <= (w - 1) / 2; ++x) std::swap(row[x], row[w - 1 - x]);
  }
  cxApplyColorsToBitmap(ABitmap, colors, true);
}

// ---------------------------------------------------------------------------
// View parameters
// ---------------------------------------------------------------------------

void TcxCanvas::GetParams(TcxViewParams& AParams) {
  AParams.Color = Brush()->Color();
  AParams.Font = Font();
  AParams.TextColor = Font()->Color();
}

void TcxCanvas::SetParams(const TcxViewParams& AParams) {
  SetBrushColor(AParams.Color);
  if (AParams.Font && AParams.Font != Font()) SetFont(AParams.Font);
  Font()->SetColor(AParams.TextColor);
}

// ---------------------------------------------------------------------------
// Screen canvas
// ---------------------------------------------------------------------------

TScreenCanvas::~TScreenCanvas() { FreeHandle(); }

void TScreenCanvas::CreateHandle() {
  FWindowHandle = GetDesktopWindow();
  FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!FDeviceContext) {
    FWindowHandle = nullptr;
    return;
  }
  GdiAdopt(FDeviceContext);   // counted while held, so a DC never given back shows
  SetHandle(FDeviceContext);
}

void TScreenCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  GdiDisown(FDeviceContext);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
}

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(Make<TScreenCanvas>()) {
  FScreenCanvas = static_cast<TScreenCanvas*>(Canvas());
}

TcxScreenCanvas::~TcxScreenCanvas() {
  SetCanvas(nullptr);
  TObject::Free(FScreenCanvas);
}

void TcxScreenCanvas::Dormant() { FScreenCanvas->FreeHandle(); }

// ---------------------------------------------------------------------------
// Paint canvas
// ---------------------------------------------------------------------------

TcxPaintCanvas::TcxPaintCanvas() : TcxCanvas(Make<TCanvas>()) { FOwnCanvas = Canvas(); }

TcxPaintCanvas::~TcxPaintCanvas() {
  // A foreign canvas still attached belongs to its owner.
  SetCanvas(nullptr);
  TObject::Free(FOwnCanvas);
}

void TcxPaintCanvas::BeginPaint(HDC ADC) {
  if (!ADC) throw EInvalidOperation(L"Canvas does not allow drawing");
  TcxPaintCanvasState state;
  const bool saved = Canvas()->HandleAllocated();
  if (saved) SaveState();
  try {
    if (saved) state.PrevDC = Canvas()->Handle();
    state.NewDC = ADC;
    state.NewDCIndex = ::SaveDC(ADC);
    try {
      AdoptDCObjects(ADC);
      FSavedDCs.push_back(state);
    } catch (...) {
      ::RestoreDC(ADC, state.NewDCIndex);
      throw;
    }
  } catch (...) {
    // Leaves the canvas as it was: on its previous DC, unlocked.
    if (saved) RestoreState();
    throw;
  }
  Canvas()->SetHandle(ADC);
  ++FCounter;
}

void TcxPaintCanvas::BeginPaint(TCanvas* ACanvas) {
  if (!ACanvas) throw EInvalidOperation(L"Canvas does not allow drawing");
  TcxPaintCanvasState state;
  state.PrevCanvas = Canvas();
  SetCanvas(ACanvas);
  try {
    SaveState();
  } catch (...) {
    SetCanvas(state.PrevCanvas);
    throw;
  }
  FSavedDCs.push_back(state);
  ++FCounter;
}

void TcxPaintCanvas::EndPaint() {
  if (FCounter <= 0) return;
  --FCounter;
  const TcxPaintCanvasState state = FSavedDCs[FCounter];
  if (state.PrevCanvas) {
    RestoreState();
    SetCanvas(state.PrevCanvas);
  } else {
    Canvas()->SetHandle(state.PrevDC);
    ::RestoreDC(state.NewDC, state.NewDCIndex);
    if (Canvas()->HandleAllocated()) RestoreState();
  }
  FSavedDCs.resize(FCounter);
}

// ---------------------------------------------------------------------------
// Shared canvases
// ---------------------------------------------------------------------------

TcxScreenCanvas* cxGetSharedScreenCanvas() {
  if (!g_screenCanvas && !g_finalizing) g_screenCanvas = Make<TcxScreenCanvas>();
  return g_screenCanvas;
}

TcxPaintCanvas* cxGetSharedPaintCanvas() {
  if (!g_paintCanvas && !g_finalizing) g_paintCanvas = Make<TcxPaintCanvas>();
  return g_paintCanvas;
}

// ---------------------------------------------------------------------------
// Solid-brush cache
// ---------------------------------------------------------------------------

namespace {

// The caches waiting for their release timer, by timer identifier.
std::vector<std::pair<UINT_PTR, TcxSolidBrushCache*>>& BrushReleaseTimers() {
  static std::vector<std::pair<UINT_PTR, TcxSolidBrushCache*>> timers;
  return timers;
}

void CALLBACK BrushReleaseTimerProc(HWND, UINT, UINT_PTR AId, DWORD) {
  GuardCallback([&] {
    for (const auto& [id, cache] : BrushReleaseTimers())
      if (id == AId) {
        cache->ReleaseRetiredBrushes();
        return;
      }
    KillTimer(nullptr, AId);
  });
}

}  // namespace

TcxSolidBrushCache::TcxSolidBrushCache(int AMaxDepth) : FMaxDepth(std::max(1, AMaxDepth)) {
  FBrushColors.reserve(FMaxDepth);
  FBrushes.reserve(FMaxDepth);
  FCounts.reserve(FMaxDepth);
}

TcxSolidBrushCache::~TcxSolidBrushCache() { Clear(); }

void TcxSolidBrushCache::ReleaseRetiredBrushes() {
  if (FReleaseTimer) {
    KillTimer(nullptr, FReleaseTimer);
    auto& timers = BrushReleaseTimers();
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const auto& t) { return t.second == this; }),
                 timers.end());
    FReleaseTimer = 0;
  }
  std::vector<HBRUSH> retired;
  retired.swap(FRetired);
  for (HBRUSH brush : retired) GdiDeleteObject(brush);
}

HBRUSH TcxSolidBrushCache::GetBrush(TColor AColor) {
  // The system's own brushes, asked for each time: a change of the system
  // colours may replace them (Wine deletes the old ones), so a kept handle
  // could be stale. They are never deleted here.
  const auto value = static_cast<Cardinal>(AColor);
  if (value >= 0xFF000000u && value <= 0xFF00001Eu) return GetSysColorBrush(value & 0xFF);

  const auto begin = FBrushColors.begin();
  const auto it = std::lower_bound(begin, begin + FDepth, AColor);
  int p = static_cast<int>(it - begin);
  if (p < FDepth && FBrushColors[p] == AColor) {
    ++FCounts[p];
    return FBrushes[p];
  }

  if (FDepth >= FMaxDepth) {
    // The least used entry makes room; an unused one is taken at once.
    int victim = 0;
    for (int i = 0; i < FDepth; ++i) {
      if (FCounts[i] < FCounts[victim]) victim = i;
      if (FCounts[victim] == 0) break;
    }
    // A caller may still be painting with it: it goes when the loop runs again.
    FRetired.push_back(FBrushes[victim]);
    if (!FReleaseTimer) {
      FReleaseTimer = SetTimer(nullptr, 0, 0, &BrushReleaseTimerProc);
      if (FReleaseTimer) BrushReleaseTimers().push_back({FReleaseTimer, this});
    }
    FBrushColors.erase(FBrushColors.begin() + victim);
    FBrushes.erase(FBrushes.begin() + victim);
    FCounts.erase(FCounts.begin() + victim);
    --FDepth;
    if (victim < p) --p;
  }

  const LOGBRUSH lb{BS_SOLID, static_cast<COLORREF>(ColorToRGB(AColor)), 0};
  HBRUSH brush = GdiCreateBrush(lb);
  // A null brush kept here would be handed out for this colour from now on.
  if (!brush) throw EOutOfResources(L"Out of system resources");
  FBrushColors.insert(FBrushColors.begin() + p, AColor);
  FBrushes.insert(FBrushes.begin() + p, brush);
  FCounts.insert(FCounts.begin() + p, 0);
  ++FDepth;
  return brush;
}

void TcxSolidBrushCache::Clear() {
  for (int i = 0; i < FDepth; ++i) GdiDeleteObject(FBrushes[i]);
  FBrushColors.clear();
  FBrushes.clear();
  FCounts.clear();
  FDepth = 0;
  ReleaseRetiredBrushes();
}

void TcxSolidBrushCache::HandlePaletteChange() { Clear(); }

TcxSolidBrushCache* cxGetSolidBrushCache() {
  if (!g_brushCache && !g_finalizing) g_brushCache = Make<TcxSolidBrushCache>(128);
  return g_brushCache;
}

HBRUSH cxGetCachedBrush(TColor AColor) {
  TcxSolidBrushCache* cache = cxGetSolidBrushCache();
  return cache ? cache->GetBrush(AColor) : nullptr;
}

// ---------------------------------------------------------------------------
// Module state and start-up
// ---------------------------------------------------------------------------

TcxAlphaBlendProc cxGetAlphaBlendProc() { return g_alphaBlend; }

TcxAlphaBlendProc cxSetAlphaBlendProc(TcxAlphaBlendProc AProc) {
  return std::exchange(g_alphaBlend, AProc);
}

TSize cxGetScreenDpi() { return g_screenDpi; }

bool cxGraphicsIsFinalizing() { return g_finalizing; }

void cxGraphicsInitialize() {
  if (g_initCount++ > 0) return;
  g_finalizing = false;

  g_msimg32 = LoadLibraryW(L"msimg32.dll");
  if (g_msimg32)
    g_alphaBlend =
        reinterpret_cast<TcxAlphaBlendProc>(reinterpret_cast<void*>(GetProcAddress(g_msimg32, "AlphaBlend")));

  if (dxIsWindowsVistaOrLater) {
    using TSetProcessDPIAware = BOOL(WINAPI*)();
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll"))
      if (auto setAware = reinterpret_cast<TSetProcessDPIAware>(
              reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"))))
        setAware();
  }

  // Stored pictures name their class: these two must be found by name.
  RegisterClasses({TcxBitmap::StaticClass(), TcxBitmap32::StaticClass()});

  if (HDC dc = GetDC(nullptr)) {
    g_screenDpi = {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
    ReleaseDC(nullptr, dc);
  }

  // A module started earlier may already have made it on first use.
  if (!g_brushCache) g_brushCache = Make<TcxSolidBrushCache>(128);
}

void cxGraphicsFinalize() {
  if (g_initCount <= 0 || --g_initCount > 0) return;
  g_finalizing = true;
  FreeAndNil(g_screenCanvas);
  FreeAndNil(g_paintCanvas);
  cxFreeSharedBitmaps();
  FreeAndNil(g_brushCache);
  g_alphaBlend = nullptr;
  if (reinterpret_cast<UINT_PTR>(g_msimg32) > 32) FreeLibrary(g_msimg32);
  g_msimg32 = nullptr;
}
