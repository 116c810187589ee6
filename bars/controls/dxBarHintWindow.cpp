#include "bars/controls/dxBarHintWindow.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/model/dxBarManager.h"
#include "foundation/cxContainerRoutines.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <cmath>

namespace {

TPoint MouseCursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint(p.x, p.y);
}

// Measures AText in a rectangle AWidth wide: the size it needs.
TSize MeasureText(TCanvas* ACanvas, const String& AText, int AWidth, UINT AFlags) {
  RECT r{0, 0, AWidth, 0};
  DrawTextW(ACanvas->Handle(), AText.c_str(), static_cast<int>(AText.size()), &r, AFlags | DT_CALCRECT);
  return TSize(r.right - r.left, r.bottom - r.top);
}

void DrawTextIn(TCanvas* ACanvas, const String& AText, const TRect& ARect, UINT AFlags) {
  HDC dc = ACanvas->Handle();
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(ACanvas->Font()->Color())));
  RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  DrawTextW(dc, AText.c_str(), static_cast<int>(AText.size()), &r, AFlags);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

// Runs APaint on the shared paint canvas begun on ACanvas, ended also when
// APaint raises.
template <class F>
void WithPaintCanvas(TCanvas* ACanvas, F APaint) {
  TcxPaintCanvas* canvas = cxGetSharedPaintCanvas();
  if (!canvas) return;
  canvas->BeginPaint(ACanvas);
  try {
    APaint(canvas);
  } catch (...) {
    canvas->EndPaint();
    throw;
  }
  canvas->EndPaint();
}

String WithShortCut(const String& AText, const String& AShortCut) {
  return AShortCut.empty() ? AText : AText + L" (" + AShortCut + L")";
}

}  // namespace

IMPLEMENT_CLASS(TdxBarCustomHintViewInfo, TObject, nullptr)
IMPLEMENT_CLASS(TdxBarHintViewInfo, TdxBarCustomHintViewInfo, nullptr)
IMPLEMENT_CLASS(TdxBarLikeHintScreenTipViewInfo, TdxBarHintViewInfo, nullptr)
IMPLEMENT_CLASS(TdxBarScreenTipBandViewInfo, TObject, nullptr)
IMPLEMENT_CLASS(TdxBarScreenTipViewInfo, TdxBarCustomHintViewInfo, nullptr)

BEGIN_CLASS(TdxBarHintWindow, TcxBaseHintWindow, (ConstructWith<TdxBarHintWindow, TComponent>))
  b.Message<&TdxBarHintWindow::WMShowWindow>(WM_SHOWWINDOW);
  b.Message<&TdxBarHintWindow::WMSize>(WM_SIZE);
END_CLASS

// ---------------------------------------------------------------------------
// Views
// ---------------------------------------------------------------------------

void TdxBarCustomHintViewInfo::PrepareWindow(TdxBarHintWindow* AWindow) {
  AWindow->SetIsScreenTipWindow(IsScreenTipLike());
  AWindow->HandleNeeded();
}

TdxBarHintViewInfo::TdxBarHintViewInfo(TdxBarManager* AManager, const TPoint& APos, const String& AHint,
                                       const String& AShortCut)
    : TdxBarCustomHintViewInfo(AManager), FText(AHint.empty() ? String() : WithShortCut(AHint, AShortCut)),
      FPos(APos) {}

void TdxBarHintViewInfo::Calculate(TCanvas* ACanvas) {
  if (FText.empty()) {
    FBoundsRect = TRect();
    return;
  }
  TRect workArea;
  cxWorkAreaFromPoint(MouseCursorPos(), workArea);
  TSize size = MeasureText(ACanvas, FText, workArea.Width(), DT_WORDBREAK | DT_NOPREFIX);
  AddFrameExtent(size);
  FBoundsRect = TRect(0, 0, size.cx, size.cy);
}

void TdxBarHintViewInfo::AddFrameExtent(TSize& ASize) {
  ASize.cx += 6;
  ASize.cy += 6;
}

TRect TdxBarHintViewInfo::GetTextRect() {
  const TRect& b = FBoundsRect;
  return TRect(b.Left + 3, b.Top + 3, b.Right - 1, b.Bottom - 1);
}

void TdxBarHintViewInfo::Paint(TCanvas* ACanvas) {
  RECT r{FBoundsRect.Left, FBoundsRect.Top, FBoundsRect.Right, FBoundsRect.Bottom};
  DrawEdge(ACanvas->Handle(), &r, BDR_RAISEDOUTER, BF_RECT);
  DrawHintText(ACanvas);
}

void TdxBarHintViewInfo::DrawHintText(TCanvas* ACanvas) {
  DrawTextIn(ACanvas, FText, GetTextRect(), DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
}

void TdxBarHintViewInfo::PrepareWindow(TdxBarHintWindow* AWindow) {
  TdxBarCustomHintViewInfo::PrepareWindow(AWindow);
  AWindow->SetCaption(FText);
  AssignHintFont(AWindow);
  if (Application) AWindow->SetColor(Application->HintColor());
}

void TdxBarHintViewInfo::AssignHintFont(TdxBarHintWindow* AWindow) {
  TFont* font = AWindow->Font();
  if (!FBarManager || FBarManager->UseSystemFont()) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      AssignLogFont(font, metrics.lfStatusFont);
    else
      font->SetSize(8);
  } else {
    font->Assign(FBarManager->Font());
  }
  if (Screen) font->SetColor(Screen->HintFont()->Color());
  AWindow->Canvas()->SetFont(font);
}

TdxBarLikeHintScreenTipViewInfo::TdxBarLikeHintScreenTipViewInfo(TdxBarManager* AManager, const TPoint& APos,
                                                                 const String& AHint, const String& AShortCut,
                                                                 const TdxBarPainter* APainter)
    : TdxBarHintViewInfo(AManager, APos, AHint, AShortCut), FPainter(APainter) {}

void TdxBarLikeHintScreenTipViewInfo::AddFrameExtent(TSize& ASize) {
  ASize.cx += 11;
  ASize.cy += 11;
}

TRect TdxBarLikeHintScreenTipViewInfo::GetTextRect() {
  const TRect& b = FBoundsRect;
  return TRect(b.Left + 5, b.Top + 6, b.Right - 6, b.Bottom - 5);
}

void TdxBarLikeHintScreenTipViewInfo::Paint(TCanvas* ACanvas) {
  if (FPainter)
    WithPaintCanvas(ACanvas, [&](TcxCanvas* c) { FPainter->ScreenTipDrawBackground(c, FBoundsRect); });
  DrawHintText(ACanvas);
}

void TdxBarLikeHintScreenTipViewInfo::DrawHintText(TCanvas* ACanvas) {
  const TColor color = FPainter ? FPainter->ScreenTipGetTitleTextColor() : clDefault;
  if (color != clDefault) ACanvas->Font()->SetColor(color);
  TdxBarHintViewInfo::DrawHintText(ACanvas);
}

// ---- screen tip bands

TdxBarScreenTipBandViewInfo::TdxBarScreenTipBandViewInfo(TdxBarCustomScreenTipBand* ABand, const String& AShortCut,
                                                         const String& AHintText)
    : FBand(ABand), FHintText(AHintText), FShortCut(AShortCut) {}

int TdxBarScreenTipBandViewInfo::HorzMargin() const {
  return dxBarScaleToScreenDPI(FBand->BandType() == stbDescription ? 14 : 6);
}

int TdxBarScreenTipBandViewInfo::VertMargin(const TdxBarPainter* APainter) const {
  int margin = dxBarScaleToScreenDPI(6);
  if (FBand->BandType() == stbFooter)
    margin += dxBarScaleToScreenDPI(APainter ? APainter->ScreenTipGetFooterLineSize() : 3);
  return margin;
}

int TdxBarScreenTipBandViewInfo::GlyphAreaWidth() const {
  if (FBand->BandType() != stbDescription) return dxBarScaleToScreenDPI(16);
  return dxBarScaleToScreenDPI(108) - HorzMargin();
}

String TdxBarScreenTipBandViewInfo::DisplayText() const {
  if (FBand->BandType() == stbHeader && !FHintText.empty()) return WithShortCut(FHintText, FShortCut);
  return FBand->Text();
}

bool TdxBarScreenTipBandViewInfo::HasGlyph() const { return !FBand->Glyph()->Empty(); }

UINT TdxBarScreenTipBandViewInfo::TextFlags() const {
  return FBand->BandType() == stbDescription ? DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL : DT_NOPREFIX;
}

int TdxBarScreenTipBandViewInfo::GetHeight(TCanvas* ACanvas, int AWidth, const TdxBarPainter* APainter) {
  FGlyphSize = TSize();
  FTextSize = TSize();
  if (!IsVisible()) return 0;
  if (HasGlyph()) {
    TBitmap* glyph = FBand->Glyph();
    const int area = GlyphAreaWidth();
    if (glyph->Width() < area)
      FGlyphSize = TSize(glyph->Width(), glyph->Height());
    else
      FGlyphSize = TSize(area, static_cast<int>(std::nearbyint(static_cast<double>(area) * glyph->Height() /
                                                                glyph->Width())));
  }
  if (HasText()) {
    if (TFont* font = FBand->Font()) ACanvas->SetFont(font);
    int width = AWidth - 2 * HorzMargin();
    if (HasGlyph()) width -= GlyphAreaWidth() + HorzMargin();
    FTextSize = MeasureText(ACanvas, DisplayText(), std::max(width, 0), TextFlags());
  }
  return std::max(FTextSize.cy, FGlyphSize.cy) + 2 * VertMargin(APainter);
}

void TdxBarScreenTipBandViewInfo::Calculate(int AWidth, int ATop, const TdxBarPainter* APainter, int AHeight) {
  FWidth = AWidth;
  FTop = ATop;
  FBandBounds = TRect(0, ATop, AWidth, ATop + AHeight);
  const int hm = HorzMargin(), vm = VertMargin(APainter), area = GlyphAreaWidth();
  const bool right = FBand->TextAlign() == stbtaRight;
  FTextBounds.Top = ATop + vm;
  FTextBounds.Bottom = FTextBounds.Top + FTextSize.cy;
  FTextBounds.Left = hm;
  if (right) {
    if (HasGlyph()) FTextBounds.Left += area + hm;
    FTextBounds.Right = AWidth - hm;
  } else {
    FTextBounds.Right = FTextBounds.Left + FTextSize.cx;
  }
  FGlyphBounds = TRect();
  if (!HasGlyph()) return;
  const int glyphTop =
      FBand->BandType() == stbDescription ? ATop + vm : ATop + (AHeight - FGlyphSize.cy) / 2;
  const int areaLeft = right ? hm : AWidth - hm - area;
  const int glyphLeft = areaLeft + (area - FGlyphSize.cx) / 2;
  FGlyphBounds = TRect(glyphLeft, glyphTop, glyphLeft + FGlyphSize.cx, glyphTop + FGlyphSize.cy);
}

void TdxBarScreenTipBandViewInfo::Paint(TCanvas* ACanvas, const TdxBarPainter* APainter) {
  if (HasText()) {
    if (TFont* font = FBand->Font()) ACanvas->SetFont(font);
    if (APainter) {
      const TColor color = FBand->BandType() == stbDescription ? APainter->ScreenTipGetDescriptionTextColor()
                                                                : APainter->ScreenTipGetTitleTextColor();
      if (color != clDefault) ACanvas->Font()->SetColor(color);
    }
    DrawTextIn(ACanvas, DisplayText(), FTextBounds, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  }
  if (HasGlyph()) ACanvas->StretchDraw(FGlyphBounds, FBand->Glyph());
  if (FBand->BandType() == stbFooter && APainter) {
    const int line = dxBarScaleToScreenDPI(APainter->ScreenTipGetFooterLineSize());
    WithPaintCanvas(ACanvas, [&](TcxCanvas* c) {
      APainter->ScreenTipDrawFooterLine(c, TRect(5, FTop, FWidth - 5, FTop + line));
    });
  }
}

// ---- screen tip

TdxBarScreenTipViewInfo::TdxBarScreenTipViewInfo(TdxBarScreenTip* AScreenTip, const String& AShortCut,
                                                 const String& AHint, const TdxBarPainter* APainter)
    : TdxBarCustomHintViewInfo(nullptr), FPainter(APainter), FScreenTip(AScreenTip),
      FHintText(AScreenTip->UseHintAsHeader() ? AHint : String()), FShortCut(AShortCut) {}

TdxBarScreenTipViewInfo::~TdxBarScreenTipViewInfo() { ClearBands(); }

void TdxBarScreenTipViewInfo::ClearBands() {
  for (TdxBarScreenTipBandViewInfo*& band : FBands) TObject::Free(band);
  FBands.clear();
}

TdxBarScreenTipBandViewInfo* TdxBarScreenTipViewInfo::CreateBandViewInfo(TdxBarCustomScreenTipBand* ABand) {
  return Make<TdxBarScreenTipBandViewInfo>(ABand, FShortCut, FHintText);
}

void TdxBarScreenTipViewInfo::Calculate(TCanvas* ACanvas) {
  FWidth = FScreenTip->EffectiveWidth();
  ClearBands();
  int top = 0;
  for (int t = stbHeader; t <= stbFooter; ++t) {
    TdxBarCustomScreenTipBand* band = FScreenTip->BandForType(static_cast<TdxBarScreenTipBandType>(t));
    if (!dxBarScreenTipBandShown(band, FHintText)) continue;
    TObjectPtr<TdxBarScreenTipBandViewInfo> info(CreateBandViewInfo(band));
    const int height = info->GetHeight(ACanvas, FWidth, FPainter);
    if (t == stbHeader) {
      int needed = 0;
      if (info->HasText()) needed = 2 * info->HorzMargin() + info->TextSize().cx;
      if (info->HasGlyph()) needed += info->HorzMargin();
      FWidth = std::max(FWidth, needed);
    }
    info->Calculate(FWidth, top, FPainter, height);
    top += height;
    FBands.push_back(info.release());
  }
  FBoundsRect = TRect(0, 0, FWidth, top);
}

void TdxBarScreenTipViewInfo::Paint(TCanvas* ACanvas) {
  if (FPainter)
    WithPaintCanvas(ACanvas, [&](TcxCanvas* c) { FPainter->ScreenTipDrawBackground(c, FBoundsRect); });
  for (TdxBarScreenTipBandViewInfo* band : FBands) band->Paint(ACanvas, FPainter);
}

TdxBarCustomHintViewInfo* dxBarCreateHintViewInfo(TdxBarManager* AManager, const String& AHint,
                                                  const String& AShortCut, const TdxBarPainter* APainter,
                                                  TdxBarScreenTip* AScreenTip) {
  TdxBarScreenTipRepository* repository = AScreenTip ? AScreenTip->Repository() : nullptr;
  if (repository && repository->ShowDescription())
    return Make<TdxBarScreenTipViewInfo>(AScreenTip, AShortCut, AHint, APainter);
  String hint = AHint;
  if (AScreenTip && !AScreenTip->UseHintAsHeader() && !AScreenTip->Header()->Text().empty())
    hint = AScreenTip->Header()->Text();
  return Make<TdxBarLikeHintScreenTipViewInfo>(AManager, MouseCursorPos(), hint, AShortCut, APainter);
}

// ---------------------------------------------------------------------------
// The painter's part
// ---------------------------------------------------------------------------

TdxBarCustomHintViewInfo* TdxBarPainter::MakeHintViewInfo(TdxBarManager* AManager, const String& AHint,
                                                          const String& AShortCut) const {
  return Make<TdxBarHintViewInfo>(AManager, MouseCursorPos(), AHint, AShortCut);
}

TPoint TdxBarPainter::CalcHintWindowRect(TCustomdxBarControl* ABarControl, const TRect&, int AWindowHeight,
                                         const TPoint& ACursorPos) const {
  TPoint p = ACursorPos;
  if (ABarControl) ABarControl->AdjustHintPosition(p, AWindowHeight);
  return p;
}

// ---------------------------------------------------------------------------
// Hint window
// ---------------------------------------------------------------------------

TdxBarHintWindow::TdxBarHintWindow(TComponent* AOwner) : TcxBaseHintWindow(AOwner) {
  SetColor(clInfoBk);
  SetNeedEraseBackground(true);
  SetAnimationStyle(cxhaNone);
}

TdxBarHintWindow::~TdxBarHintWindow() { FreeAndNil(FViewInfo); }

bool TdxBarHintWindow::IsVisible() { return HandleAllocated() && IsWindowVisible(WindowHandle()); }

void TdxBarHintWindow::HideHint() {
  if (HandleAllocated()) ShowWindow(WindowHandle(), SW_HIDE);
}

IdxBarHintSource* TdxBarHintWindow::QueryHintSource() { return dynamic_cast<IdxBarHintSource*>(dxBarHintObject()); }

bool TdxBarHintWindow::ActivateHintEx(TdxBarManager* AManager, const String& AText, const String& AShortCut) {
  FreeAndNil(FViewInfo);
  IdxBarHintSource* source = QueryHintSource();
  auto* bar = source ? nullptr : dynamic_cast<TCustomdxBarControl*>(dxBarHintObject());
  const TdxBarPainter* barPainter = bar ? bar->Painter() : nullptr;
  if (source)
    FViewInfo = source->MakeHintView(AText, AShortCut);
  else if (barPainter)
    FViewInfo = barPainter->MakeHintViewInfo(AManager, AText, AShortCut);
  if (!FViewInfo) FViewInfo = Make<TdxBarHintViewInfo>(AManager, MouseCursorPos(), AText, AShortCut);
  FViewInfo->PrepareWindow(this);
  Canvas()->SetFont(Font());
  FViewInfo->Calculate(Canvas());
  const TRect bounds = FViewInfo->BoundsRect();
  if (bounds.IsEmpty()) return false;

  const TPoint cursor = MouseCursorPos();
  TPoint at = cursor;
  if (source)
    at = source->CalcHintPlacement(cursor, bounds.Height());
  else if (barPainter)
    at = barPainter->CalcHintWindowRect(bar, bar->ClientRect(), bounds.Height(), cursor);
  SetWindowPos(WindowHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  ActivateHint(TRect(at.X, at.Y, at.X + bounds.Width(), at.Y + bounds.Height()), AText);
  return true;
}

void TdxBarHintWindow::SetIsScreenTipWindow(bool AValue) {
  if (FIsScreenTipWindow == AValue) return;
  HideHint();
  FIsScreenTipWindow = AValue;
  SetDoubleBuffered(AValue);
  RecreateHintWindow();
}

void TdxBarHintWindow::RecreateHintWindow() {
  // The platform layer registers a window class per class style, so a new
  // handle needs no unregistering of the old class on any system.
  if (HandleAllocated()) RecreateWnd();
}

void TdxBarHintWindow::Paint() {
  if (!FViewInfo) return;
  const TRect bounds = FViewInfo->BoundsRect();
  if (ClientWidth() != bounds.Width() || ClientHeight() != bounds.Height())
    SetClientSize({bounds.Width(), bounds.Height()});
  FViewInfo->Paint(Canvas());
}

void TdxBarHintWindow::WMShowWindow(TMessage& Message) {
  if (!Message.WParam) FreeAndNil(FViewInfo);
  DispatchInherited(TdxBarHintWindow::StaticClass(), &Message);
}

void TdxBarHintWindow::WMSize(TMessage& Message) {
  DispatchInherited(TdxBarHintWindow::StaticClass(), &Message);
  if (!FIsScreenTipWindow || !HandleAllocated()) return;
  const int w = LOWORD(Message.LParam), h = HIWORD(Message.LParam);
  cxApplyWindowRegionIfChanged(WindowHandle(), GdiCreateRoundRectRgn(0, 0, w + 1, h + 1, 2, 2));
}

IdxBarHintWindow* dxBarCreateBarHintWindow() { return Make<TdxBarHintWindow>(nullptr); }
