#include "bars/controls/dxBarFlatPainter.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"

IMPLEMENT_CLASS(TdxBarFlatPainter, TdxBarPainter, nullptr)

const TdxBarFlatPainter* TdxBarFlatPainter::Instance() {
  static const TdxBarFlatPainter painter;
  return &painter;
}

// ---------------------------------------------------------------------------
// The flat brushes
// ---------------------------------------------------------------------------

namespace {

// The set for code that has no manager: the colours the managers derive,
// remade when the system colours they come from change.
struct TFlatBrushCache {
  TdxBarFlatBrushes Brushes;
  COLORREF Sources[4] = {};
  bool Made = false;
};

TFlatBrushCache& FlatCache() {
  static TFlatBrushCache cache;
  return cache;
}

HBRUSH NewBrush(TColor AColor) {
  LOGBRUSH brush{BS_SOLID, static_cast<COLORREF>(ColorToRGB(dxNearestScreenColor(AColor))), 0};
  return GdiCreateBrush(brush);
}

void FreeBrushes(TdxBarFlatBrushes& ABrushes) {
  for (HBRUSH* brush : {&ABrushes.Border, &ABrushes.Toolbar, &ABrushes.Downed, &ABrushes.DownedSel, &ABrushes.Sel}) {
    if (*brush) GdiDeleteObject(*brush);
    *brush = nullptr;
  }
}

}  // namespace

const TdxBarFlatBrushes& dxBarFlatBrushes() {
  TFlatBrushCache& cache = FlatCache();
  const COLORREF sources[4] = {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE),
                               GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW)};
  if (cache.Made && std::equal(sources, sources + 4, cache.Sources)) return cache.Brushes;
  FreeBrushes(cache.Brushes);
  std::copy(sources, sources + 4, cache.Sources);
  const TdxBarFlatToolbarColors colors = dxBarFlatToolbarColors();
  cache.Brushes.Border = NewBrush(colors.Border);
  cache.Brushes.Toolbar = NewBrush(colors.Background);
  cache.Brushes.Downed = NewBrush(colors.Downed);
  cache.Brushes.DownedSel = NewBrush(colors.DownedSelected);
  cache.Brushes.Sel = NewBrush(colors.Selected);
  cache.Made = true;
  return cache.Brushes;
}

TdxBarFlatBrushes dxBarFlatBrushes(TdxBarManager* AManager) {
  if (!AManager || !AManager->FlatToolbarsBrush()) return dxBarFlatBrushes();
  TdxBarFlatBrushes brushes;
  brushes.Border = AManager->FlatToolbarsBorderBrush();
  brushes.Toolbar = AManager->FlatToolbarsBrush();
  brushes.Downed = AManager->FlatToolbarsDownedBrush();
  brushes.DownedSel = AManager->FlatToolbarsDownedSelBrush();
  brushes.Sel = AManager->FlatToolbarsSelBrush();
  return brushes;
}

TdxBarFlatBrushes dxBarFlatBrushes(TCustomdxBarControl* ABarControl) {
  return dxBarFlatBrushes(ABarControl ? ABarControl->BarManager() : nullptr);
}

TdxBarFlatBrushes dxBarFlatBrushes(TdxBarItemControl* AControl) {
  return dxBarFlatBrushes(AControl ? AControl->BarManager() : nullptr);
}

void dxBarFreeFlatBrushes() {
  TFlatBrushCache& cache = FlatCache();
  FreeBrushes(cache.Brushes);
  cache.Made = false;
}

// ---------------------------------------------------------------------------
// TdxBarFlatPainter
// ---------------------------------------------------------------------------

namespace {

bool IsColorWhite(TColor AColor) { return (ColorToRGB(AColor) & 0xFFFFFF) == 0xFFFFFF; }

}  // namespace

HBRUSH TdxBarFlatPainter::BarToolbarBrushEx(TCustomdxBarControl* ABarControl) const {
  auto* toolbar = dynamic_cast<TdxBarControl*>(ABarControl);
  TdxBar* bar = toolbar ? toolbar->Bar() : nullptr;
  if (bar && (bar->IsMainMenu() || bar->IsStatusBarLike())) return dxBarSysBrush(COLOR_BTNFACE);
  return BarToolbarBrush(BarManagerOf(ABarControl));
}

void TdxBarFlatPainter::OutlineSelection(HDC DC, const TRect& R) const {
  // A black button face is the high-contrast scheme: the highlight colour
  // could vanish against it, the highlight text colour does not.
  if (dxIsButtonFaceBlack())
    dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_HIGHLIGHTTEXT));
  else
    dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_HIGHLIGHT));
}

HBRUSH TdxBarFlatPainter::GlyphBkgndBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType, bool,
                                          bool ASelected, bool ADowned, bool ADrawDowned, bool ADroppedDown,
                                          bool AForceUseBkBrush, bool) const {
  if (ADroppedDown) return ADowned ? ParentDownedSelectedBrush(AControl) : BarControlOwnerBrush(BarManagerOf(AControl));
  if (ASelected) return ADowned || ADrawDowned ? ParentDownedSelectedBrush(AControl) : ParentSelectedBrush(AControl);
  if (ADowned) return ParentDownedBrush(AControl);
  if (APaintType == ptMenu && !AForceUseBkBrush) return ControlBackgroundBrush(AControl);
  return ItemBackgroundBrush(AControl);
}

bool TdxBarFlatPainter::IsGlyphImageBackgroundOpaque(TdxBarItemControl* AControl, bool ADown, bool ADrawDowned,
                                                     bool ASelected, bool AGlyphEmpty) const {
  const bool base = TdxBarPainter::IsGlyphImageBackgroundOpaque(AControl, ADown, ADrawDowned, ASelected, AGlyphEmpty);
  if (AGlyphEmpty) return base;
  return ADown || ADrawDowned || ASelected || base;
}

void TdxBarFlatPainter::FrameGlyphArea(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush, bool ARoom,
                                       const TRect& R, TdxBarPaintType APaintType, bool, bool ASelected,
                                       bool ADowned, bool ADrawDowned, bool ADroppedDown, bool) const {
  if (ADroppedDown) {
    BarDrawBarControlOwnerBorder(AControl ? AControl->Parent() : nullptr, DC, R, AControl, nullptr);
  } else if (ADowned || (ASelected && APaintType != ptMenu)) {
    OutlineSelection(DC, R);
  } else if (ARoom) {
    // Erases the frame a former hot state left.
    DrawBackgroundFrameRect(AControl, DC, R, ABrush,
                            ADowned || ASelected || ADrawDowned || IsNonRecent(AControl) ||
                                (AControl && AControl->BackgroundBrush()));
  }
}

void TdxBarFlatPainter::PaintCheckGlyph(TdxBarItemControl* AControl, HDC DC, int X, int Y, int AScale) const {
  const bool enabled = !AControl || !AControl->DrawParams() || AControl->DrawParams()->Enabled;
  COLORREF color;
  if (enabled)
    color = dxIsButtonFaceWhite() || (dxIsButtonFaceBlack() && !IsColorWhite(clBtnText)) ? RGB(255, 255, 255)
                                                                                      : RGB(0, 0, 0);
  else
    color = static_cast<COLORREF>(ColorToRGB(clBtnShadow));
  HPEN pen = GdiCreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(DC, pen);
  const int s = AScale;
  for (int n = 0, d = enabled ? 0 : 1; n < 2 * s; ++n, ++d) {
    const POINT points[3] = {{X + s, Y + d + 2 * s}, {X + 3 * s, Y + d + 4 * s}, {X + 8 * s, Y + d - s}};
    Polyline(DC, points, 3);
  }
  dxBarSelectBackAndDelete(DC, old);
}

void TdxBarFlatPainter::DrawLowered(HDC DC, TRect& R) const {
  dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNSHADOW));
  R = dxBarShrunkRect(R, 1, 1);
}

HBRUSH TdxBarFlatPainter::ButtonControlArrowBrush(TdxBarButtonLikeControlDrawParams* AParams) const {
  if (!AParams->DrawSelected) return TdxBarPainter::ButtonControlArrowBrush(AParams);
  return HotArrowBrush(AParams);
}

HBRUSH TdxBarFlatPainter::HotArrowBrush(TdxBarItemControlDrawParams* AParams) const {
  TdxBarManager* manager = BarManagerOf(AParams->BarItemControl());
  if (AParams->DroppedDown || dxIsButtonFaceWhite()) return BarToolbarDownedSelBrush(manager);
  return BarToolbarSelBrush(manager);
}

void TdxBarFlatPainter::DrawButtonControlArrowBackground(TdxBarButtonLikeControlDrawParams* AParams, TRect& R,
                                                         HBRUSH ABrush) const {
  TdxBarPainter::DrawButtonControlArrowBackground(AParams, R, ABrush);
  if (AParams->PaintType != ptMenu && AParams->DroppedDown) return;
  FrameControlBorder(AParams->BarItemControl(), AParams->Canvas->Handle(), R, ABrush, AParams->PaintType,
                     AParams->DrawSelected, AParams->Downed);
}

void TdxBarFlatPainter::FrameControlBorder(TdxBarItemControl* AControl, HDC DC, const TRect& R, HBRUSH,
                                           TdxBarPaintType APaintType, bool ASelected, bool ADowned) const {
  const bool menu = APaintType == ptMenu;
  if (!ASelected && !menu && !ADowned)
    dxBarFrameRect(DC, R, ParentBkBrush(AControl));
  else if (menu && !ASelected)
    dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNSHADOW));
  else
    OutlineSelection(DC, R);
}

// ---- owner elements

void TdxBarFlatPainter::BarDrawBarControlOwner(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                               TCustomdxBarControl* APopupBar) const {
  BarDrawBarControlOwnerBorder(AOwnerBar, DC, R, nullptr, APopupBar);
  dxBarFillRect(DC, dxBarShrunkRect(R, 1, 1), BarControlOwnerBrush(BarManagerOf(AOwnerBar)));
}

void TdxBarFlatPainter::BarDrawBarControlOwnerBorder(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                                     TdxBarItemControl* AItemControl,
                                                     TCustomdxBarControl* APopupBar) const {
  // The strip where an open popup joins its owner comes from the popup's
  // window; the popup windows that owner elements open do not report one
  // yet, so the frame stays closed.
  (void)APopupBar;
  BarDrawBarControlOwnerBorder(AOwnerBar, DC, R, AItemControl, TRect());
}

void TdxBarFlatPainter::BarDrawBarControlOwnerBorder(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                                     TdxBarItemControl* AItemControl, const TRect& ALinkR) const {
  if (ALinkR.IsEmpty()) {
    BarDrawBarControlOwnerFrame(AOwnerBar, DC, R);
    return;
  }
  BarDrawBarControlOwnerLink(AOwnerBar, DC, R, ALinkR, AItemControl);
  HRGN saved = nullptr;
  bool hadClip = false;
  dxBarSaveDCClip(DC, saved, hadClip);
  ExcludeClipRect(DC, ALinkR.Left, ALinkR.Top, ALinkR.Right, ALinkR.Bottom);
  BarDrawBarControlOwnerFrame(AOwnerBar, DC, R);
  dxBarRestoreDCClip(DC, saved, hadClip);
}

int TdxBarFlatPainter::GetControlCaptionOffset(TdxBarItemControl* AControl) const {
  auto* params = AControl ? dynamic_cast<TdxBarButtonLikeControlDrawParams*>(AControl->DrawParams()) : nullptr;
  if (params && params->IsMenuItem) return 8;
  return TdxBarPainter::GetControlCaptionOffset(AControl);
}

void TdxBarFlatPainter::BarDrawBarControlOwnerFrame(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R) const {
  dxBarFrameRect(DC, R, dxBarFlatBrushes(AOwnerBar).Border);
}

void TdxBarFlatPainter::BarDrawBarControlOwnerLink(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect&,
                                                   const TRect& ALinkR, TdxBarItemControl*) const {
  dxBarFillRect(DC, ALinkR, BarControlOwnerBrush(BarManagerOf(AOwnerBar)));
}

// ---- toolbar frames

void TdxBarFlatPainter::BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& ARect,
                                               HBRUSH ABrush) const {
  TRect R = ARect;
  dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNFACE));
  R = dxBarShrunkRect(R, 1, 1);
  // The dock colour in the four corners rounds them.
  if (!R.IsEmpty()) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    SetPixel(DC, R.Left, R.Top, face);
    SetPixel(DC, R.Right - 1, R.Top, face);
    SetPixel(DC, R.Left, R.Bottom - 1, face);
    SetPixel(DC, R.Right - 1, R.Bottom - 1, face);
  }
  R = dxBarShrunkRect(R, 1, 1);
  if (!ABarControl || !ABarControl->CanDock()) return;
  const bool vertical = ABarControl->IsDockedLeftOrRight();
  TRect grip = R;
  if (vertical) {
    grip.Top += BeforeFingersSize();
    grip.Bottom = grip.Top + GripperSize();
    grip.Left += 3;
    grip.Right -= 3;
  } else {
    grip.Left += BeforeFingersSize();
    grip.Right = grip.Left + GripperSize();
    grip.Top += 3;
    grip.Bottom -= 3;
  }
  const int length = vertical ? grip.Width() : grip.Height();
  for (int i = 0; i < length; ++i) {
    const TRect line = vertical ? TRect(grip.Left + i, grip.Top, grip.Left + i + 1, grip.Bottom)
                                : TRect(grip.Left, grip.Top + i, grip.Right, grip.Top + i + 1);
    dxBarFillRect(DC, line, i % 2 == 0 ? dxBarSysBrush(COLOR_BTNSHADOW) : ABrush);
  }
}

void TdxBarFlatPainter::BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ARect,
                                          HBRUSH ABrush, bool AHorizontal) const {
  const int side = BarBeginGroupSideSize();
  TRect R = ARect;
  if (AHorizontal) {
    ABarControl->DrawBackgroundRect(DC, TRect(R.Left, R.Top, R.Right, R.Top + side), false, clNone, ABrush);
    ABarControl->DrawBackgroundRect(DC, TRect(R.Left, R.Bottom - side, R.Right, R.Bottom), false, clNone, ABrush);
    R = dxBarShrunkRect(R, 0, side);
    dxFillSolidRect(DC, TRect(R.Left, R.Top, R.Right, R.Top + 1), clBtnShadow);
  } else {
    ABarControl->DrawBackgroundRect(DC, TRect(R.Left, R.Top, R.Left + side, R.Bottom), false, clNone, ABrush);
    ABarControl->DrawBackgroundRect(DC, TRect(R.Right - side, R.Top, R.Right, R.Bottom), false, clNone, ABrush);
    R = dxBarShrunkRect(R, side, 0);
    dxFillSolidRect(DC, TRect(R.Left, R.Top, R.Left + 1, R.Bottom), clBtnShadow);
  }
}
