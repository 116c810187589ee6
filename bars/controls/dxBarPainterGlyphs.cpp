// The base painter's glyphs, item texts and button faces: where a glyph goes,
// the order of its background, image and frame, the two-pass embossed text of
// disabled items, the caption beside the glyph and the drop-down arrows.
#include "bars/controls/dxBarPainter.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include <algorithm>
#include <cstdlib>


// ---- brushes of the item's bar

HBRUSH TdxBarPainter::ItemBackgroundBrush(TdxBarItemControl* AControl) const {
  HBRUSH brush = AControl ? AControl->BackgroundBrush() : nullptr;
  return brush ? brush : BarToolbarBrush();
}

HBRUSH TdxBarPainter::ParentSelectedBrush(TdxBarItemControl*) const { return BarToolbarSelBrush(); }
HBRUSH TdxBarPainter::ParentDownedBrush(TdxBarItemControl*) const { return BarToolbarDownedBrush(); }
HBRUSH TdxBarPainter::ParentDownedSelectedBrush(TdxBarItemControl*) const { return BarToolbarDownedSelBrush(); }

HBRUSH TdxBarPainter::BarControlOwnerBrush() const { return dxBarFlatBrushes().Toolbar; }

// The bar model's checked pattern; the face colour stands in outside the
// module's lifetime, when the pattern does not exist.
HBRUSH TdxBarPainter::BarToolbarDownedBrush() const {
  return dxBarCheckerBrush ? dxBarCheckerBrush : BarToolbarBrush();
}

bool TdxBarPainter::IsNonRecent(TdxBarItemControl* AControl) {
  if (!AControl || !AControl->Parent() || AControl->Parent()->Kind() != bkSubMenu) return false;
  TdxBarItemLink* link = AControl->ItemLink();
  return link && !link->MostRecentlyUsed();
}


void TdxBarPainter::DrawBackgroundFrameRect(TdxBarItemControl* AControl, HDC DC, const TRect& R, HBRUSH ABrush,
                                            bool AOpaque) const {
  if (R.IsEmpty()) return;
  const TRect sides[4] = {TRect(R.Left, R.Top, R.Right, R.Top + 1), TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom),
                          TRect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1),
                          TRect(R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1)};
  for (const TRect& side : sides)
    if (!side.IsEmpty()) DrawBackground(AControl, DC, side, ABrush, AOpaque);
}

void TdxBarPainter::DrawBackgroundFrameRect(const TdxBarItemPaintValues& AValues, HDC DC, const TRect& R,
                                            HBRUSH ABrush, bool AOpaque) const {
  if (R.IsEmpty()) return;
  const TRect sides[4] = {TRect(R.Left, R.Top, R.Right, R.Top + 1), TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom),
                          TRect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1),
                          TRect(R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1)};
  for (const TRect& side : sides)
    if (!side.IsEmpty()) DrawBackground(AValues, DC, side, ABrush, AOpaque);
}

// ---- glyph placement

bool TdxBarPainter::FadesDisabledImages(TCustomdxBarControl* ABarControl) const {
  TdxBarManager* manager = ABarControl ? ABarControl->BarManager() : nullptr;
  return manager && manager->ImageOptions() && manager->ImageOptions()->MakeDisabledImagesFaded();
}

TSize TdxBarPainter::ScaledGlyphSize(const TGlyphSizing& ASizing, const TSize& AImageSize, const TRect& AArea) {
  TSize size = AImageSize;
  if (ASizing.InMenu) {
    if (!ASizing.StretchGlyphs) return size;
    size = TSize(static_cast<int>(AImageSize.cx * ASizing.Ratio + 0.5),
                 static_cast<int>(AImageSize.cy * ASizing.Ratio + 0.5));
    // A stretched glyph centres exactly: odd leftovers on both axes lose a pixel.
    if (size.cx > AImageSize.cx && size.cy > AImageSize.cy && (AArea.Width() - size.cx) % 2 != 0 &&
        (AArea.Height() - size.cy) % 2 != 0) {
      --size.cx;
      --size.cy;
    }
    return size;
  }
  if (!ASizing.LargeIcons) return size;
  if (ASizing.LargeImageSize.cx > 0 && ASizing.LargeImageSize.cy > 0) return ASizing.LargeImageSize;
  if (ASizing.HasLargeGlyph) return size;
  return TSize(2 * size.cx, 2 * size.cy);
}

TdxBarPainter::TGlyphSizing TdxBarPainter::GlyphSizingOf(TdxBarItemControl* AControl,
                                                         TdxBarPaintType APaintType) const {
  TGlyphSizing sizing;
  sizing.InMenu = APaintType == ptMenu;
  TdxBarManager* manager = AControl ? AControl->BarManager() : nullptr;
  TdxBarImageOptions* options = manager ? manager->ImageOptions() : nullptr;
  if (!options) return sizing;
  sizing.StretchGlyphs = options->StretchGlyphs();
  if (AControl->Parent()) sizing.Ratio = AControl->Parent()->Ratio();
  sizing.LargeIcons = options->LargeIcons() && AllowsLargeIcons();
  if (options->UsesLargeImagesForLargeIcons())
    sizing.LargeImageSize = TSize(options->LargeImages()->Width(), options->LargeImages()->Height());
  TBitmap* large = AControl->FetchLargeGlyph();
  sizing.HasLargeGlyph = options->UseLargeImagesForLargeIcons() && large && !large->Empty();
  return sizing;
}

TRect TdxBarPainter::GetSmallImageBounds(TdxBarItemControl* AControl, const TRect& ARect, TdxBarPaintType APaintType,
                                         const TSize& AImageSize, bool ACentered, bool ADown,
                                         bool ADrawDowned) const {
  TRect area = ARect;
  if (!ACentered && AControl) {
    const TSize button = AControl->DrawParams()->DefaultButtonSize;
    if (APaintType == ptHorz) area.Right = std::min(area.Right, area.Left + button.cx);
    if (APaintType == ptVert) area.Bottom = std::min(area.Bottom, area.Top + button.cy);
  }
  const TSize size = ScaledGlyphSize(GlyphSizingOf(AControl, APaintType), AImageSize, area);
  TRect r(area.Left + (area.Width() - size.cx) / 2, area.Top + (area.Height() - size.cy) / 2, 0, 0);
  r.Right = r.Left + size.cx;
  r.Bottom = r.Top + size.cy;
  int shift = 0;
  if (ADown) shift += GlyphDownShift(AControl);
  if (ADrawDowned) shift += GlyphDrawDownedShift(AControl);
  r.Left += shift;
  r.Right += shift;
  r.Top += shift;
  r.Bottom += shift;
  return r;
}

TRect TdxBarPainter::GetLargeImageBounds(TdxBarItemControl* AControl, const TRect& ARect, TdxBarPaintType APaintType,
                                         TdxBarItemControlViewStructure AStructure, const TSize& AImageSize) const {
  const int w = AImageSize.cx, h = AImageSize.cy;
  int left = ARect.Left + (ARect.Width() - w) / 2;
  int top = ARect.Top + (ARect.Height() - h) / 2;
  if (AStructure.Contains(cpText) && AControl) {
    const TdxBarGlyphLayout layout = AControl->GlyphLayout();
    if (APaintType == ptVert) {
      switch (layout) {
        case glLeft: top = ARect.Top + 4; break;
        case glRight: top = ARect.Bottom - h - 4; break;
        case glTop: left = ARect.Right - w - 2; break;
        case glBottom: left = ARect.Left + 2; break;
      }
    } else {
      switch (layout) {
        case glLeft: left = ARect.Left + 4; break;
        case glRight: left = ARect.Right - w - 4; break;
        case glTop: top = ARect.Top + 2; break;
        case glBottom: top = ARect.Bottom - h - 2; break;
      }
    }
  }
  return TRect(left, top, left + w, top + h);
}

// ---- glyph background, frame and image

HBRUSH TdxBarPainter::GlyphBkgndBrush(TdxBarItemControl* AControl, TdxBarPaintType, bool, bool, bool, bool, bool,
                                      bool, bool) const {
  return ItemBackgroundBrush(AControl);
}

bool TdxBarPainter::IsGlyphImageTransparent(TdxBarItemControl* AControl) const {
  if (IsNativeBackground()) return true;
  if (IsNonRecent(AControl)) return false;
  return AControl && BarHasCustomBackground(AControl->Parent());
}

bool TdxBarPainter::IsGlyphImageBackgroundOpaque(TdxBarItemControl* AControl, bool ADown, bool ADrawDowned,
                                                 bool ASelected, bool AGlyphEmpty) const {
  if (AGlyphEmpty) return ADown || IsNonRecent(AControl) || ADrawDowned || ASelected;
  return IsNonRecent(AControl) || (AControl && AControl->BackgroundBrush());
}

void TdxBarPainter::FrameGlyphArea(TdxBarItemControl*, HDC, HBRUSH, bool, const TRect&, TdxBarPaintType, bool, bool,
                                   bool, bool, bool, bool) const {}

void TdxBarPainter::DrawCheckMarkOverGlyph(TdxBarItemControl* AControl, HDC DC, const TRect& R,
                                           TdxBarPaintType APaintType, bool ADown) const {
  if (!ADown || APaintType != ptMenu) return;
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  const bool large = bar && bar->Font()->Size() >= 16;
  const int scale = large ? 2 : 1;
  const int width = 9 * scale, height = 7 * scale;
  PaintCheckGlyph(AControl, DC, (R.Left + R.Right - width) / 2, (R.Top + R.Bottom - height) / 2, scale);
}

void TdxBarPainter::GetImageParams(TdxBarItemControl* AControl, const TRect& ARect, TdxBarPaintType APaintType,
                                   TdxBarItemControlViewStructure AStructure, TdxBarItemControlViewSize ASize,
                                   bool ACentered, bool ASelected, bool ADown, bool ADrawDowned, bool& AGlyphEmpty,
                                   TBitmap*& AGlyph, TCustomImageList*& AImages, int& AImageIndex,
                                   TRect& AImageBounds) const {
  AGlyph = nullptr;
  AImages = nullptr;
  AImageIndex = -1;
  const bool menu = APaintType == ptMenu;
  const TdxBarItemControlViewSize size = menu ? cvsSmall : ASize;
  if (AGlyphEmpty || !AControl->ResolveImage(size, ASelected, AImageIndex, AImages, AGlyph)) {
    AGlyphEmpty = true;
    AGlyph = nullptr;
    AImages = nullptr;
    AImageIndex = -1;
  }
  const TSize imageSize = AControl->GetImageSize(size, ASelected);
  AImageBounds = size != cvsLarge ? GetSmallImageBounds(AControl, ARect, APaintType, imageSize, ACentered, ADown,
                                                        ADrawDowned)
                                  : GetLargeImageBounds(AControl, ARect, APaintType, AStructure, imageSize);
}

TRect TdxBarPainter::DrawGlyph(TdxBarItemControl* AControl, HDC DC, const TGlyphArgs& AArgs) const {
  TGlyphArgs args = AArgs;
  TBitmap* glyph;
  TCustomImageList* images;
  int index;
  TRect bounds;
  GetImageParams(AControl, AArgs.Rect, AArgs.PaintType, AArgs.Structure, AArgs.Size, AArgs.Centered, AArgs.Selected,
                 AArgs.Down, AArgs.DrawDowned, args.GlyphEmpty, glyph, images, index, bounds);
  AControl->ViewInfo()->ImageBounds = bounds;
  if (!AArgs.FullBounds.IsEmpty()) args.Rect = AArgs.FullBounds;
  DrawGlyphAndBkgnd(AControl, DC, args, bounds, glyph, images, index);
  return bounds;
}

TRect TdxBarPainter::DrawGlyph(TdxBarItemControl* AControl, HDC DC, const TRect& ARect, TdxBarPaintType APaintType,
                               bool AGlyphEmpty, bool ASelected, bool ADown) const {
  TGlyphArgs args;
  args.Rect = ARect;
  args.PaintType = APaintType;
  args.Structure = AControl->DrawParams()->ViewStructure;
  args.Size = AControl->DrawParams()->ViewSize();
  args.GlyphEmpty = AGlyphEmpty;
  args.Selected = ASelected;
  args.Down = ADown;
  args.Enabled = AControl->DrawParams()->Enabled;
  return DrawGlyph(AControl, DC, args);
}

void TdxBarPainter::DrawGlyphAndBkgnd(TdxBarItemControl* AControl, HDC DC, const TGlyphArgs& AArgs,
                                      const TRect& AGlyphRect, TBitmap* AGlyph, TCustomImageList* AImages,
                                      int AImageIndex) const {
  HBRUSH brush = GlyphBkgndBrush(AControl, AArgs.PaintType, AArgs.GlyphEmpty, AArgs.Selected, AArgs.Down,
                                 AArgs.DrawDowned, AArgs.DroppedDown, AArgs.ForceUseBkBrush, AArgs.GrayScale);
  const TRect& R = AArgs.Rect;
  // Room for a frame around the image; an empty glyph measures as the manager's glyph size.
  TSize image(AGlyphRect.Width(), AGlyphRect.Height());
  if (AArgs.GlyphEmpty) {
    TdxBarManager* manager = AControl->BarManager();
    const int size = manager && manager->ImageOptions() ? manager->ImageOptions()->GlyphSize() : 16;
    image = TSize(size, size);
  }
  const bool room = R.Width() >= image.cx + 2 && R.Height() >= image.cy + 2;
  auto frame = [&] {
    FrameGlyphArea(AControl, DC, brush, room, R, AArgs.PaintType, AArgs.GlyphEmpty, AArgs.Selected, AArgs.Down,
                   AArgs.DrawDowned, AArgs.DroppedDown, AArgs.Split);
  };
  const bool native = IsNativeBackground();
  if (native) frame();
  const TRect inner = room ? dxBarShrunkRect(R, 1, 1) : R;
  const bool transparent = IsGlyphImageTransparent(AControl);
  if (!native && (AArgs.GlyphEmpty || transparent))
    DrawBackground(AControl, DC, inner,
                   brush, IsGlyphImageBackgroundOpaque(AControl, AArgs.Down, AArgs.DrawDowned, AArgs.Selected,
                                                       AArgs.GlyphEmpty));
  if (AArgs.GlyphEmpty) {
    DrawCheckMarkOverGlyph(AControl, DC, inner, AArgs.PaintType, AArgs.Down);
  } else {
    TdxBarManager* manager = AControl->BarManager();
    TdxBarImageOptions* options = manager ? manager->ImageOptions() : nullptr;
    TdxBarGlyphDrawArgs glyph;
    // An image of the disabled lists already shows the disabled look: it is drawn as it is.
    glyph.State.Enabled = AArgs.Enabled || (AImages && options && (AImages == options->DisabledImages() ||
                                                                   AImages == options->DisabledLargeImages()));
    glyph.State.FadesDisabledImages = FadesDisabledImages(AControl->Parent());
    glyph.State.FlatGlyphImage = IsFlatGlyphImage();
    glyph.State.GlyphHasShadow = IsGlyphImageHasShadow();
    glyph.State.DrawDowned = AArgs.DrawDowned;
    glyph.State.Downed = AArgs.Down;
    glyph.State.Selected = AArgs.Selected;
    glyph.State.GrayScale = AArgs.GrayScale;
    glyph.Brush = transparent ? nullptr : brush;
    glyph.Smooth = options && options->SmoothGlyphs();
    glyph.UseLeftBottomPixelAsTransparent = !options || options->UseLeftBottomPixelAsTransparent();
    glyph.BkColor = options ? options->ImageListBkColor() : clNone;
    glyph.ImageIndex = AImageIndex;
    glyph.Images = AImages;
    glyph.Glyph = AGlyph;
    glyph.GlyphRect = AGlyphRect;
    glyph.FullRect = inner;
    // Through the control: the manager's glyph cache keeps the rendering between paints.
    dxBarDrawItemGlyph(AControl, DC, glyph);
  }
  if (!native) frame();
}

// ---- item text

void TdxBarPainter::DrawItemText(TdxBarItemControl* AControl, HDC DC, const String& AText, const TRect& ARect,
                                 UINT AAlignment, bool AEnabled, bool ASelected, bool ARotated, bool AClipped,
                                 bool AFlat, UINT AFormat) const {
  if (AText.empty()) return;
  UINT format = AFormat | DT_NOCLIP;
  if (AClipped && !ARotated) format &= ~static_cast<UINT>(DT_NOCLIP);
  TRect R = ARect;
  String text = AText;
  const int saved = SaveDC(DC);
  if (AClipped && ARotated) IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  // The rotated font has no underline for the accelerator: it is drawn by
  // hand beside the character, running along the text.
  TRect underline;
  if (ARotated) {
    const int accel = dxBarAccelCharIndex(text, true);
    format |= DT_NOPREFIX | DT_SINGLELINE;
    TSize extent;
    cxQueryTextExtent(DC, text, extent);
    int offset = 0;
    if (AAlignment == DT_CENTER) offset = (R.Height() - extent.cx) / 2;
    if (AAlignment == DT_RIGHT) offset = R.Height() - extent.cx;
    const int dx = (R.Width() + extent.cy) / 2;
    R = TRect(R.Left + dx, R.Top + offset, R.Right + dx, R.Bottom + offset);
    if (accel > 0) {
      TEXTMETRICW metrics{};
      GetTextMetricsW(DC, &metrics);
      TSize before, character;
      cxQueryTextExtent(DC, text.substr(0, accel - 1), before);
      cxQueryTextExtent(DC, text.substr(accel - 1, 1), character);
      const int x = (ARect.Left + ARect.Right - extent.cy) / 2 + metrics.tmDescent - 2;
      underline = TRect(x, R.Top + before.cx, x + 1, R.Top + before.cx + character.cx);
    }
  } else {
    format |= AAlignment | DT_VCENTER;
  }
  TColor offsetColor, mainColor;
  GetTextColors(AControl, AEnabled, ASelected, IsFlatItemText() && AFlat, offsetColor, mainColor);
  SetBkMode(DC, TRANSPARENT);
  auto draw = [&](const TRect& AAt, TColor AColor) {
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(AColor)));
    if (!underline.IsEmpty()) {
      const int dx = AAt.Left - R.Left, dy = AAt.Top - R.Top;
      dxFillSolidRect(DC, TRect(underline.Left + dx, underline.Top + dy, underline.Right + dx, underline.Bottom + dy),
                      AColor);
    }
    RECT r{AAt.Left, AAt.Top, AAt.Right, AAt.Bottom};
    if (ARotated)
      ExtTextOutW(DC, r.left, r.top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    else
      DrawTextW(DC, text.c_str(), static_cast<int>(text.size()), &r, format);
  };
  if (offsetColor != mainColor) draw(TRect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1), offsetColor);
  draw(R, mainColor);
  RestoreDC(DC, saved);
}

// ---- caption layout

void TdxBarPainter::OffsetCaptionBounds(bool ADown, bool ADrawDowned, TRect& R) const {
  if (IsFlatItemText()) return;
  int shift = ADown || ADrawDowned ? 1 : 0;
  if (ADown && ADrawDowned && !IsButtonControlArrowFlat()) ++shift;
  R = TRect(R.Left + shift, R.Top + shift, R.Right + shift, R.Bottom + shift);
}

UINT TdxBarPainter::LayoutGlyphAndCaption(TdxBarButtonLikeControlDrawParams* AParams, const TRect& AImageBounds,
                                          TRect& ACaptionRect) const {
  const bool vertical = AParams->PaintType == ptVert;
  if (AParams->ViewSize() == cvsLarge) {
    UINT alignment = DT_CENTER;
    switch (AParams->BarItemControl()->GlyphLayout()) {
      case glLeft:
        alignment = DT_LEFT;
        if (vertical) ACaptionRect.Top = AImageBounds.Bottom + 3; else ACaptionRect.Left = AImageBounds.Right + 3;
        break;
      case glRight:
        alignment = DT_RIGHT;
        if (vertical) ACaptionRect.Bottom = AImageBounds.Top - 3; else ACaptionRect.Right = AImageBounds.Left - 3;
        break;
      case glTop:
        if (vertical) ACaptionRect.Right = AImageBounds.Left; else ACaptionRect.Top = AImageBounds.Bottom;
        break;
      case glBottom:
        if (vertical) ACaptionRect.Left = AImageBounds.Right; else ACaptionRect.Bottom = AImageBounds.Top;
        break;
    }
    return alignment;
  }
  int indent = AParams->ViewStructure.Contains(cpIcon)
                   ? (vertical ? AParams->DefaultButtonSize.cy : AParams->DefaultButtonSize.cx)
                   : GetControlCaptionOffset(AParams->BarItemControl());
  if (vertical)
    ACaptionRect.Top += indent;
  else
    ACaptionRect.Left += indent;
  if (!KeepsCaptionUnshifted(AParams->BarItemControl()))
    OffsetCaptionBounds(AParams->Downed, AParams->DrawDowned, ACaptionRect);
  return DT_LEFT;
}

void TdxBarPainter::PaintButtonCaptionText(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect,
                                           UINT AFormat, UINT AAlignment) const {
  DrawItemText(AParams->BarItemControl(), AParams->Canvas->Handle(), AParams->Caption, ARect, AAlignment,
               AParams->Enabled, AParams->IsTextSelected, AParams->PaintType == ptVert, false, AParams->IsFlatText,
               AFormat);
}

void TdxBarPainter::DrawButtonLikeControlCaption(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect,
                                                 const TRect& AImageBounds) const {
  if (!AParams->ViewStructure.Contains(cpText)) return;
  TRect caption = ARect;
  const UINT alignment = LayoutGlyphAndCaption(AParams, AImageBounds, caption);
  PaintButtonCaptionText(AParams, caption, DT_SINGLELINE | DT_END_ELLIPSIS, alignment);
}

TRect TdxBarPainter::MeasureCaptionRect(TdxBarItemControlDrawParams* AParams) const {
  TCustomdxBarControl* bar = AParams->BarItemControl()->Parent();
  TcxCanvas* canvas = bar ? bar->cxCanvas() : AParams->Canvas;
  RECT r{0, 0, 0, 0};
  if (canvas && !AParams->Caption.empty())
    DrawTextW(canvas->Handle(), AParams->Caption.c_str(), static_cast<int>(AParams->Caption.size()), &r,
              DT_SINGLELINE | DT_CALCRECT);
  return TRect(r.left, r.top, r.right, r.bottom);
}

// ---- text of menu items

namespace {

// The end of the longest run of whole words from AStart that fits AWidth;
// a single word wider than AWidth still makes a line of its own.
size_t WrapEnd(HDC DC, const String& AText, size_t AStart, int AWidth) {
  size_t end = AStart, candidate = AStart;
  while (candidate < AText.size()) {
    size_t next = AText.find(L' ', candidate);
    if (next == String::npos) next = AText.size();
    TSize extent;
    cxQueryTextExtent(DC, AText.substr(AStart, next - AStart), extent);
    if (extent.cx > AWidth && end > AStart) break;
    end = next;
    if (extent.cx > AWidth) break;
    candidate = next + 1;
  }
  return end;
}

String Trimmed(const String& AText) {
  const size_t first = AText.find_first_not_of(L' ');
  if (first == String::npos) return String();
  return AText.substr(first, AText.find_last_not_of(L' ') - first + 1);
}

}  // namespace

void TdxBarPainter::DrawItemMultilineText(TdxBarItemControlDrawParams* AParams, const String& AText,
                                          const TRect& ARect, UINT AAlignment, int AMaxLines) const {
  HDC DC = AParams->Canvas->Handle();
  const int lineHeight = AParams->Canvas->TextHeight(L"Wg");
  TRect R = ARect;
  size_t start = 0;
  for (int line = 0; line < AMaxLines && start < AText.size(); ++line) {
    const bool last = line == AMaxLines - 1;
    const size_t end = last ? AText.size() : WrapEnd(DC, AText, start, R.Width());
    const String text = Trimmed(AText.substr(start, end - start));
    DrawItemText(AParams->BarItemControl(), DC, text, TRect(R.Left, R.Top, R.Right, R.Top + lineHeight), AAlignment,
                 AParams->Enabled, AParams->DrawSelected, false, true, IsFlatItemTextForMenu(),
                 DT_SINGLELINE | DT_END_ELLIPSIS);
    R.Top += lineHeight;
    start = end;
    while (start < AText.size() && AText[start] == L' ') ++start;
  }
}

void TdxBarPainter::DrawItemTextInSubMenu(TdxBarItemControlDrawParams* AParams, const TRect& ARect) const {
  TdxBarItemControl* control = AParams->BarItemControl();
  TCustomdxBarControl* bar = control->Parent();
  TcxCanvas* canvas = AParams->Canvas;
  HDC DC = canvas->Handle();
  const int textSize = bar ? bar->TextSize() : 0;
  TdxBarItemLinks* links = bar ? bar->ItemLinks() : nullptr;
  TRect R = dxBarShrunkRect(ARect, 0, SubMenuControlInternalBorderSize());
  HFONT bold = nullptr;
  HGDIOBJ oldFont = nullptr;
  if (links && links->EffectiveMenuItemSize() == misLarge && links->ItemOptions()->ShowDescriptions()) {
    const int h = canvas->TextHeight(L"Wg");
    const int free = R.Height() - 3 * h;
    const TRect description(R.Left, R.Bottom - 2 * (free / 4) - 2 * h, R.Right - textSize, R.Bottom);
    DrawItemMultilineText(AParams, AParams->Description, description, DT_LEFT, 2);
    R.Bottom = description.Top;
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(DC, OBJ_FONT), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    bold = GdiCreateFont(font);
    oldFont = SelectObject(DC, bold);
  }
  DrawItemText(control, DC, AParams->Caption, R, DT_LEFT, AParams->Enabled, AParams->DrawSelected, false, false,
               IsFlatItemTextForMenu(), DT_SINGLELINE);
  if (links && links->ItemOptions()->ShowShortCuts() && !AParams->Caption.empty()) {
    R.Right -= textSize + 5;
    DrawItemText(control, DC, AParams->ShortCut, R, DT_RIGHT, AParams->Enabled, AParams->DrawSelected, false, false,
                 IsFlatItemTextForMenu(), DT_SINGLELINE);
  }
  if (bold) {
    SelectObject(DC, oldFont);
    GdiDeleteObject(bold);
  }
}

void TdxBarPainter::DrawGlyphAndTextInSubMenu(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect) const {
  TdxBarItemControl* control = AParams->BarItemControl();
  DrawItemBackgroundInSubMenu(AParams, ARect);
  DrawGlyph(control, AParams->Canvas->Handle(), SubMenuItemIconRect(control, ARect), ptMenu,
            !AParams->ViewStructure.Contains(cpIcon), AParams->DrawSelected, AParams->Downed);
  DrawItemTextInSubMenu(AParams, SubMenuControlGetItemTextRect(AParams, ARect));
}

// ---- button faces

void TdxBarPainter::DrawLowered(HDC DC, TRect& R) const {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
  R = dxBarShrunkRect(R, 1, 1);
}

void TdxBarPainter::DrawButtonLikeControl(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect) const {
  TdxBarItemControl* control = AParams->BarItemControl();
  TcxCanvas* canvas = AParams->Canvas;
  if (!canvas || !control) return;
  HDC DC = canvas->Handle();
  TRect R = ARect;
  if (AParams->IsLowered) DrawLowered(DC, R);
  const bool menu = AParams->PaintType == ptMenu;
  const bool split = AParams->IsDropDown && AParams->SplitDropDown;
  if (menu) {
    DrawGlyphAndTextInSubMenu(AParams, R);
    if (AParams->IsDropDown && !AParams->IsMenuItem) {
      if (split)
        DrawSplitControlArrow(AParams, R);
      else
        DrawAssociateControlArrow(AParams, R);
    }
    return;
  }
  TRect face = R;
  if (split) face.Right -= AParams->ArrowSize.cx;
  TGlyphArgs glyph;
  glyph.Enabled = AParams->Enabled;
  if (AParams->ViewSize() == cvsLarge && !menu) {
    glyph.FullBounds = face;
    face = dxBarShrunkRect(face, 1, 1);
    OffsetCaptionBounds(AParams->Downed, AParams->DrawDowned, face);
  }
  if (AParams->DroppedDownFlat) glyph.FullBounds = R;
  glyph.Rect = face;
  glyph.PaintType = AParams->PaintType;
  glyph.Structure = AParams->ViewStructure;
  glyph.Size = AParams->ViewSize();
  glyph.GlyphEmpty = !AParams->ViewStructure.Contains(cpIcon);
  glyph.Selected = AParams->DrawSelected;
  glyph.Down = AParams->Downed;
  glyph.DrawDowned = AParams->DrawDowned;
  glyph.DroppedDown = AParams->DroppedDown;
  glyph.GrayScale = AParams->GrayScale;
  glyph.Split = split;
  const TRect image = DrawGlyph(control, DC, glyph);
  if (AParams->ViewStructure.Contains(cpText)) {
    TRect caption = face;
    const UINT alignment = LayoutGlyphAndCaption(AParams, image, caption);
    PaintButtonCaptionText(AParams, caption, DT_SINGLELINE, alignment);
  }
  if (AParams->IsDropDown && !AParams->IsMenuItem) {
    if (split)
      DrawSplitControlArrow(AParams, R);
    else
      DrawAssociateControlArrow(AParams, face);
  }
}

// ---- drop-down arrows

HBRUSH TdxBarPainter::ButtonControlArrowBrush(TdxBarButtonLikeControlDrawParams* AParams) const {
  return ItemBackgroundBrush(AParams->BarItemControl());
}

bool TdxBarPainter::IsButtonControlArrowBackgroundOpaque(TdxBarButtonLikeControlDrawParams* AParams) const {
  return IsNonRecent(AParams->BarItemControl()) ||
         (IsFlatItemText() && (AParams->DroppedDown || AParams->DrawSelected));
}

bool TdxBarPainter::IsButtonControlArrowDrawSelected(TdxBarButtonLikeControlDrawParams* AParams) const {
  const bool menu = AParams->PaintType == ptMenu;
  if (IsFlatItemText())
    return (dxIsButtonFaceWhite() && AParams->DrawSelected && (menu || !AParams->DroppedDown)) ||
           (menu && AParams->DroppedDown);
  return IsButtonControlArrowFlat() && AParams->DroppedDown;
}

TColor TdxBarPainter::ArrowColorFor(TdxBarButtonLikeControlDrawParams* AParams) const {
  if (!ArrowUsesTextColor()) return clDefault;
  TColor offset, main;
  GetTextColors(AParams->BarItemControl(), AParams->Enabled, AParams->IsTextSelected, AParams->IsFlatText, offset,
                main);
  return main;
}

void TdxBarPainter::DrawButtonControlArrowBackground(TdxBarButtonLikeControlDrawParams* AParams, TRect& R,
                                                     HBRUSH ABrush) const {
  if (IsFlatItemText() && AParams->PaintType != ptMenu) {
    --R.Left;
    if (AParams->DroppedDown) return;
  }
  DrawBackground(AParams->BarItemControl(), AParams->Canvas->Handle(), R, ABrush,
                 IsButtonControlArrowBackgroundOpaque(AParams));
}

void TdxBarPainter::DrawSplitControlArrow(TdxBarButtonLikeControlDrawParams* AParams, const TRect& R) const {
  TRect part = R;
  part.Left = part.Right - AParams->ArrowSize.cx;
  DrawButtonControlArrowBackground(AParams, part, ButtonControlArrowBrush(AParams));
  DrawButtonControlArrow(AParams, part);
}

void TdxBarPainter::DrawButtonControlArrow(TdxBarButtonLikeControlDrawParams* AParams, TRect R) const {
  const bool menu = AParams->PaintType == ptMenu;
  if (AParams->DroppedDown && !IsButtonControlArrowFlat() && (R.Width() >= 10 || menu))
    R = TRect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1);
  HDC DC = AParams->Canvas->Handle();
  const bool enabled = AParams->Enabled && AParams->DropDownEnabled;
  const bool selected = IsButtonControlArrowDrawSelected(AParams);
  if (menu)
    RenderLargeDropArrow(DC, R, adRight, AParams->ArrowSize.cy, ArrowColorFor(AParams), IsButtonControlArrowFlat(),
                         selected, enabled);
  else
    RenderDropArrow(DC, R, adDown, ArrowColorFor(AParams), IsButtonControlArrowFlat(), selected, enabled);
}

void TdxBarPainter::RenderDropArrow(HDC DC, const TRect& R, TcxArrowDirection ADirection, TColor AColor, bool AFlat,
                                    bool ASelected, bool AEnabled) const {
  dxBarDrawAutoSizedArrow(DC, R, ADirection == adDown ? 1 : 0, AColor, AFlat, AEnabled, ASelected);
}

void TdxBarPainter::RenderLargeDropArrow(HDC DC, const TRect& R, TcxArrowDirection ADirection, int ASize,
                                         TColor AColor, bool AFlat, bool ASelected, bool AEnabled) const {
  dxBarDrawArrowInRect(DC, R, ADirection == adDown ? 1 : 0, AColor, AFlat, AEnabled, ASelected, ASize);
}

void TdxBarPainter::DrawAssociateControlArrow(TdxBarButtonLikeControlDrawParams* AParams, TRect R) const {
  const bool menu = AParams->PaintType == ptMenu;
  if (!menu) OffsetCaptionBounds(false, AParams->DroppedDown, R);
  TCustomdxBarControl* bar = AParams->BarItemControl()->Parent();
  const int textSize = bar ? bar->TextSize() : 0;
  const int fontHeight = bar ? std::abs(bar->Font()->Height()) : 0;
  const int size = AParams->ArrowSize.cy - (menu ? 0 : 1);
  TcxArrowDirection direction = adRight;
  if (menu) {
    R.Left = R.Right + AParams->ArrowSize.cy - textSize;
  } else if (AParams->PaintType == ptHorz) {
    R.Left = R.Right + fontHeight / 2 - textSize / 2;
    direction = adDown;
  } else {
    R.Top = R.Bottom + fontHeight / 2 - textSize / 2;
  }
  const bool selected = menu ? AParams->DrawSelected && !IsFlatItemTextForMenu() : AParams->IsTextSelected;
  RenderLargeDropArrow(AParams->Canvas->Handle(), R, direction, size, ArrowColorFor(AParams), IsFlatItemText(),
                       selected, AParams->Enabled);
}
