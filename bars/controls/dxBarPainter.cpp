#include "bars/controls/dxBarPainter.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

IMPLEMENT_CLASS(TdxBarPainter, TObject, nullptr)

const TdxBarPainter* TdxBarPainter::Instance() {
  static const TdxBarPainter painter;
  return &painter;
}

namespace {

HBRUSH SysBrush(int AIndex) { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(AIndex + 1)); }

void FillWithBrush(HDC DC, const TRect& R, HBRUSH ABrush) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(DC, &r, ABrush);
}

}  // namespace

// ---- common metrics

int TdxBarPainter::GetDefaultTextSize(TcxCanvas* ACanvas) const { return ACanvas->TextHeight(L"Wg") + 6; }

int TdxBarPainter::GetControlCaptionOffset(TdxBarItemControl* AControl) const {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  if (!bar) return 0;
  return -bar->Font()->Height() / 2;
}

int TdxBarPainter::TextAreaOffset(TdxBarItemControl* AControl) const {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  return bar && bar->Kind() == bkSubMenu ? SubMenuTextAreaOffset(bar->TextSize()) : 0;
}

int TdxBarPainter::GetTailAreaSize(TdxBarItemControl* AControl) const {
  return AControl && AControl->Parent() ? AControl->Parent()->IconAreaSize() : 0;
}

TRect TdxBarPainter::ItemControlGetIndents(TdxBarItemControlDrawParams*, int) const { return TRect(3, 0, 3, 0); }

int TdxBarPainter::GetIconAreaSize(TCustomdxBarControl* ABarControl) const {
  TdxBarItemLinks* links = ABarControl->ItemLinks();
  int size = ABarControl->TextSize();
  if (links && links->EffectiveMenuItemSize() == misLarge)
    size = static_cast<int>(ABarControl->Ratio() * 40 + 0.5);
  CorrectButtonControlDefaultHeight(size);
  return size;
}

bool TdxBarPainter::IsFlatItemTextForMenu() const { return IsFlatItemText() && !dxIsButtonFaceWhite(); }

TColor TdxBarPainter::ItemTextColor(TdxBarItemControl*, bool ASelected, bool AFlat) const {
  return ASelected && !AFlat ? clHighlightText : clBtnText;
}

void TdxBarPainter::DisabledTextColorPair(TdxBarItemControl*, bool ASelected, bool AFlat, TColor& AMain,
                                          TColor& AOffset) const {
  if (ASelected || AFlat) {
    AMain = AOffset = clGrayText;
  } else {
    AMain = clBtnShadow;
    AOffset = clBtnHighlight;
  }
}

void TdxBarPainter::GetTextColors(TdxBarItemControl* AControl, bool AEnabled, bool ASelected, bool AFlat,
                                  TColor& AOffset, TColor& AMain) const {
  if (AEnabled)
    AMain = AOffset = EnabledTextColor(AControl, ASelected, AFlat);
  else
    DisabledTextColorPair(AControl, ASelected, AFlat, AMain, AOffset);
}

// ---- buttons

int TdxBarPainter::GetButtonWidth(int AIconSize, int) const { return AIconSize + GetButtonBorderWidth(); }
int TdxBarPainter::GetButtonHeight(int AIconSize, int) const { return AIconSize + GetButtonBorderHeight(); }

int TdxBarPainter::RealButtonArrowWidth(TdxBarManager* AManager, bool ALargeIcons) const {
  int width = AManager ? AManager->ButtonArrowWidth() : 11;
  if (ALargeIcons || (AManager && AManager->LargeIcons())) width *= 2;
  if (width % 2 == 0) ++width;
  return width;
}

int TdxBarPainter::RealLargeButtonArrowWidth(TdxBarManager* AManager) const {
  return AManager ? AManager->LargeButtonArrowWidth() : 13;
}

void TdxBarPainter::AddArrowWidth(TdxBarButtonLikeControlDrawParams* AParams, int& AWidth) const {
  if (!AParams->IsDropDown) return;
  if (AParams->SplitDropDown) {
    if (AParams->PaintType != ptMenu) AWidth += EditBaseIndents().Right + AParams->ArrowSize.cx;
  } else if (!AParams->IsMenuItem) {
    TCustomdxBarControl* bar = AParams->BarItemControl()->Parent();
    if (bar) AWidth += bar->TextSize() / 2;
  }
}

void TdxBarPainter::CalculateButtonParts(TdxBarButtonLikeControlDrawParams* AParams, std::vector<TRect>& AParts,
                                         const TRect& ABounds) const {
  if (AParts.empty()) AParts.push_back(ABounds);
  if (!AParams->IsDropDown) return;
  if (AParts.size() < 2) AParts.resize(2, ABounds);
  AParts[1].Left = AParts[1].Right - AParams->ArrowSize.cx;
  AParts[0].Right = AParts[1].Left;
}

void TdxBarPainter::CalculateComboParts(TdxBarItemControlDrawParams* AParams, std::vector<TRect>& AParts,
                                        const TRect& ABounds, int AArrowWidth) const {
  if (AParts.size() < 4) AParts.resize(4, ABounds);
  const TRect offsets = ComboControlButtonOffsets(AParams->PaintType);
  TRect button(ABounds.Left + offsets.Left, ABounds.Top + offsets.Top, ABounds.Right - offsets.Right,
               ABounds.Bottom - offsets.Bottom);
  button.Left = button.Right - AArrowWidth;
  AParts[3] = button;
  // Part 0 keeps the field's left edge that the edit parts gave it.
  AParts[0].Right = button.Left - ComboControlArrowOffset();
}

// ---- toolbars

int TdxBarPainter::BorderSizeX() const { return GetSystemMetrics(SM_CXFRAME); }
int TdxBarPainter::BorderSizeY() const { return GetSystemMetrics(SM_CYFRAME); }

int TdxBarPainter::BarCaptionSize() const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  return metrics.iSmCaptionHeight;
}

TSize TdxBarPainter::StatusBarGripSize(TdxBarManager*) const {
  if (IsNativeBackground() && dxBarThemeAvailable()) {
    TSize size;
    HDC DC = GetDC(nullptr);
    const HRESULT result =
        dxUxGetThemePartSize(dxAcquireThemeHandle(totStatus), DC, dxBarStatusGripperPart, 0, TS_TRUE, size);
    ReleaseDC(nullptr, DC);
    if (SUCCEEDED(result) && size.cx > 0 && size.cy > 0) return size;
  }
  return TSize(GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL));
}

int TdxBarPainter::BarFingersSize(TdxBarControl* ABarControl) const {
  return ABarControl && ABarControl->CanDock() ? FingersSize(ABarControl) : EmptyFingersSize();
}

TRect TdxBarPainter::GetToolbarContentOffsets(TdxBar* ABar, TdxBarDockingStyle AStyle, bool AHasSizeGrip) const {
  TdxBarControl* control = ABar && ABar->Control() ? dynamic_cast<TdxBarControl*>(ABar->Control()->BarControlObject())
                                                   : nullptr;
  if (AStyle == dsNone) {
    TRect r(BorderSizeX(), BorderSizeY(), BorderSizeX(), BorderSizeY());
    // The caption belongs to every window that may be closed, whether or
    // not its toolbar lets the user close it now.
    if (!control || control->CanClose()) {
      r.Left += BarHorSize();
      r.Right += BarHorSize();
      r.Top += BarCaptionAreaSize() + BarTopSize();
      r.Bottom += BarBottomSize();
    }
    return r;
  }
  if (!ABar || ABar->BorderStyle() == bbsSingle) {
    TRect r = BarBorderSizes(ABar, AStyle);
    const int fingers = BarFingersSize(control);
    if (AStyle == dsTop || AStyle == dsBottom)
      r.Left += fingers;
    else
      r.Top += fingers;
    return r;
  }
  TRect r;
  if (ABar->IsStatusBarLike()) {
    const TRect extra = StatusBarBorderOffsets();
    r = TRect(extra.Left, StatusBarTopBorderSize() + extra.Top, extra.Right, extra.Bottom);
    if (AHasSizeGrip) r.Right += StatusBarGripSize(ABar->BarManager()).cx;
  }
  return r;
}

HBRUSH TdxBarPainter::BarToolbarBrush() const { return SysBrush(COLOR_BTNFACE); }
HBRUSH TdxBarPainter::BarToolbarSelBrush() const { return SysBrush(COLOR_HIGHLIGHT); }
HBRUSH TdxBarPainter::BarToolbarDownedSelBrush() const { return SysBrush(COLOR_BTNFACE); }

// ---- backgrounds

void TdxBarPainter::DrawBackground(TdxBarItemControl* AControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                                   bool AOpaque) const {
  if (AOpaque || !AControl || !AControl->Parent())
    FillWithBrush(DC, ARect, ABrush ? ABrush : BarToolbarBrush());
  else
    AControl->Parent()->DrawBackgroundRect(DC, ARect, false, clNone, ABrush);
}

void TdxBarPainter::DrawBackground(const TdxBarItemPaintValues& AValues, HDC DC, const TRect& ARect, HBRUSH ABrush,
                                   bool AOpaque) const {
  if (ARect.IsEmpty()) return;
  if (AOpaque || !AValues.Bar)
    FillWithBrush(DC, ARect, ABrush ? ABrush : BarToolbarBrush());
  else
    AValues.Bar->DrawBackgroundRect(DC, ARect, false, clNone, ABrush);
}

void TdxBarPainter::FillItemPaintValues(TdxBarItemControl* AControl, TdxBarItemPaintValues& AValues) const {
  AValues = TdxBarItemPaintValues();
  if (!AControl) return;
  TCustomdxBarControl* bar = AControl->Parent();
  AValues.Bar = bar;
  AValues.BarBkBrush = ParentBkBrush(AControl);
  AValues.BarToolbarBrush = bar ? bar->GetToolbarBrush() : BarToolbarBrush();
  AValues.ItemBrush = AControl->BackgroundBrush();
  AValues.NonRecent = IsNonRecent(AControl);
  AValues.TextSize = bar ? bar->TextSize() : 0;
  AValues.IconAreaSize = bar ? bar->IconAreaSize() : 0;
  TdxBarItemControlDrawParams* params = AControl->DrawParams();
  AValues.ImageSize = AControl->GetImageSize(params ? params->ViewSize() : cvsSmall);
  AValues.Parts = &AControl->Parts();
}

void TdxBarPainter::BarDrawBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                      const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const {
  if (TBitmap* own = ABarControl ? ABarControl->GetBackgroundBitmap() : nullptr; own && !own->Empty()) {
    dxBarTileBitmap(DC, ADestR, ASourceR, own);
    return;
  }
  auto* toolbar = dynamic_cast<TdxBarControl*>(ABarControl);
  TdxBar* bar = toolbar ? toolbar->Bar() : nullptr;
  // A status bar spans its whole window with one fill, frame included,
  // unless the manager's picture is to show through.
  if (bar && bar->IsStatusBarLike() && !ManagerBarBackgroundBitmap(ABarControl)) {
    TRect window(0, 0, toolbar->Width(), toolbar->Height());
    if (toolbar->HandleAllocated()) {
      RECT r;
      GetWindowRect(toolbar->WindowHandle(), &r);
      window = TRect(0, 0, r.right - r.left, r.bottom - r.top);
    }
    StatusBarFillBackground(toolbar, DC, ADestR, window, ABrush, AColor);
    return;
  }
  if (bar && bar->Color() != clDefault && bar->Color() != clNone) {
    dxFillSolidRect(DC, ADestR, bar->Color());
    return;
  }
  if (ABarControl && ABarControl->DockControl())
    BarDrawDockedBackground(ABarControl, DC, ADestR, ASourceR, ABrush, AColor);
  else
    BarDrawFloatingBackground(ABarControl, DC, ADestR, ASourceR, ABrush, AColor);
}

TBitmap* TdxBarPainter::ManagerBarBackgroundBitmap(TCustomdxBarControl* ABarControl) {
  TdxBarManager* manager = ABarControl ? ABarControl->BarManager() : nullptr;
  TBitmap* bitmap = manager && manager->Backgrounds() ? manager->Backgrounds()->Bar() : nullptr;
  return bitmap && !bitmap->Empty() ? bitmap : nullptr;
}

bool TdxBarPainter::BarHasCustomBackground(TCustomdxBarControl* ABarControl) const {
  if (!ABarControl) return false;
  if (HasOwnBarBackground() || ManagerBarBackgroundBitmap(ABarControl)) return true;
  if (TBitmap* own = ABarControl->GetBackgroundBitmap(); own && !own->Empty()) return true;
  auto* toolbar = dynamic_cast<TdxBarControl*>(ABarControl);
  return toolbar && toolbar->Bar() && toolbar->Bar()->Color() != clDefault;
}

void TdxBarPainter::DrawItemBackground(TdxBarItemControl* AControl, TcxCanvas* ACanvas, const TRect& ASourceR,
                                       HBRUSH ABrush) const {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  if (bar && ACanvas) bar->DrawBackgroundRect(ACanvas->Handle(), ASourceR, false, clNone, ABrush);
}

void TdxBarPainter::DockControlFillBackground(TdxDockControl*, HDC DC, const TRect& ADestR, const TRect&,
                                              HBRUSH ABrush, TColor AColor) const {
  if (AColor != clNone && AColor != clDefault)
    dxFillSolidRect(DC, ADestR, AColor);
  else
    FillWithBrush(DC, ADestR, ABrush ? ABrush : BarToolbarBrush());
}

void TdxBarPainter::BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                                      bool AHorizontal) const {
  const int side = BarBeginGroupSideSize();
  TRect first = ARect, second = ARect, line = ARect;
  if (AHorizontal) {
    first.Bottom = ARect.Top + side;
    second.Top = ARect.Bottom - side;
    line.Top = first.Bottom;
    line.Bottom = second.Top;
  } else {
    first.Right = ARect.Left + side;
    second.Left = ARect.Right - side;
    line.Left = first.Right;
    line.Right = second.Left;
  }
  ABarControl->DrawBackgroundRect(DC, first, false, clNone, ABrush);
  ABarControl->DrawBackgroundRect(DC, second, false, clNone, ABrush);
  ABarControl->DrawBackgroundRect(DC, line, false, clNone, ABrush);
  RECT r{line.Left, line.Top, line.Right, line.Bottom};
  DrawEdge(DC, &r, EDGE_ETCHED, AHorizontal ? BF_TOP : BF_LEFT);
}
