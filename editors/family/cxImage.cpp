#include "editors/family/cxImage.h"

#include "editors/core/cxEditConsts.h"
#include "editors/core/cxEditPaintUtils.h"
#include "editors/core/cxEditRepositoryItems.h"
#include "foundation/cxClasses.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/ExtDlgs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Jpeg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

std::vector<TClass>*& GraphicClassListSlot() {
  static std::vector<TClass>* list = nullptr;
  return list;
}

TImageList*& MenuImagesSlot() {
  static TImageList* images = nullptr;
  return images;
}

// The menu glyphs are loaded when the first context menu is made, not at
// start-up: six bitmap loads that most runs never need.
bool& MenuImagesLoaded() {
  static bool loaded = false;
  return loaded;
}
void BuildMenuImages();

int& UnitCounter() {
  static int counter = 0;
  return counter;
}

TGraphic* NewGraphicOf(TClass AClass) { return static_cast<TGraphic*>(AClass->NewInstance(nullptr)); }

// The library's text flags: horizontal centre, vertical centre, single line.
constexpr int kCaptionFlags = 4 | 32 | 64;

}  // namespace

// ---------------------------------------------------------------------------
// Graphic classes and values
// ---------------------------------------------------------------------------

const std::vector<TClass>& cxImageGraphicClassList() {
  std::vector<TClass>*& list = GraphicClassListSlot();
  if (!list) {
    list = new std::vector<TClass>();
    cxImageAddGraphicClass(TBitmap::StaticClass());
    cxImageAddGraphicClass(TIcon::StaticClass());
    cxImageAddGraphicClass(TMetafile::StaticClass());
    if (TClass png = GetClass(L"TdxPNGImage")) cxImageAddGraphicClass(png);
    cxImageAddGraphicClass(TJPEGImage::StaticClass());
  }
  return *list;
}

void cxImageAddGraphicClass(TClass AGraphicClass) {
  std::vector<TClass>*& list = GraphicClassListSlot();
  if (!list) cxImageGraphicClassList();
  for (TClass c : *list)
    if (c == AGraphicClass) return;
  list->push_back(AGraphicClass);
}

TClass cxImageFindGraphicClass(const String& AClassName) {
  const String name = UpperCase(AClassName);
  for (TClass c : cxImageGraphicClassList())
    if (UpperCase(c->Name) == name) return c;
  return nullptr;
}

bool cxIsPictureBlank(TPicture* APicture) {
  return !APicture || !APicture->Graphic() || APicture->Graphic()->Empty();
}

bool cxLoadPictureFromValue(TPicture* APicture, TClass AGraphicClass, const Variant& AValue) {
  if (!dxVariantHoldsBytes(AValue)) {
    APicture->Assign(nullptr);
    return true;
  }
  const AnsiString bytes = dxConvertVariantToAnsi(AValue);
  std::size_t start = 0;
  if (bytes.size() >= 8) {
    auto at = [&](std::size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])); };
    const uint32_t count = at(0) | (at(1) << 8);
    const uint32_t type = at(2) | (at(3) << 8);
    const uint32_t size = at(4) | (at(5) << 8) | (at(6) << 16) | (at(7) << 24);
    if (count == 1 && type == 0x0100 && size == bytes.size() - 8) start = 8;
  }
  if (bytes.size() == start) {
    APicture->Assign(nullptr);
    return true;
  }
  TObjectPtr<TBytesStream> stream(Make<TBytesStream>(TBytes(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end())));
  // Loaded aside first: data that does not load must not cost the picture it
  // replaces (the editor would show nothing and post Null over the data).
  TObjectPtr<TGraphic> graphic(NewGraphicOf(AGraphicClass ? AGraphicClass : TBitmap::StaticClass()));
  try {
    graphic->LoadFromStream(stream.get());
  } catch (Exception&) {
    return false;
  }
  APicture->SetGraphic(graphic.get());
  return true;
}

AnsiString cxSavePictureToString(TPicture* APicture) {
  if (cxIsPictureBlank(APicture)) return AnsiString();
  TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
  APicture->Graphic()->SaveToStream(stream.get());
  return AnsiString(static_cast<const char*>(stream->Memory()), static_cast<std::size_t>(stream->Size()));
}

TRect cxFitRectProportionally(const TRect& R, int AWidth, int AHeight) {
  if (R.IsEmpty() || AWidth <= 0 || AHeight <= 0) return R;
  const int w = R.Width(), h = R.Height();
  TRect result = R;
  if (static_cast<double>(w) / h >= static_cast<double>(AWidth) / AHeight) {
    result.Right = R.Left + static_cast<int>(static_cast<int64_t>(h) * AWidth / AHeight);
  } else {
    result.Bottom = R.Top + static_cast<int>(static_cast<int64_t>(w) * AHeight / AWidth);
  }
  return result;
}

bool cxImageNeedsFitting(TcxCustomImageProperties* AProperties, const TSize& APictureSize, const TSize& AAreaSize) {
  return AProperties->Stretch() ||
         (AProperties->Proportional() && (APictureSize.cx > AAreaSize.cx || APictureSize.cy > AAreaSize.cy));
}

TImageList* cxImageMenuImages() {
  if (!MenuImagesLoaded() && UnitCounter() > 0) {
    MenuImagesLoaded() = true;
    BuildMenuImages();
  }
  return MenuImagesSlot();
}

// ---------------------------------------------------------------------------
// TcxPopupMenuLayout
// ---------------------------------------------------------------------------

TcxPopupMenuLayout::TcxPopupMenuLayout(TcxCustomImage* AImage) : FImage(AImage) {}

TcxPopupMenuLayout::~TcxPopupMenuLayout() { TObject::Free(FCustomMenuItemGlyph); }

void TcxPopupMenuLayout::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxPopupMenuLayout*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  FMenuItems = source->FMenuItems;
  FCustomMenuItemCaption = source->FCustomMenuItemCaption;
  CustomMenuItemGlyph()->Assign(source->CustomMenuItemGlyph());
}

TBitmap* TcxPopupMenuLayout::CustomMenuItemGlyph() {
  if (!FCustomMenuItemGlyph) FCustomMenuItemGlyph = Make<TBitmap>();
  return FCustomMenuItemGlyph;
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* Value) {
  if (!Value)
    FreeAndNil(FCustomMenuItemGlyph);
  else
    CustomMenuItemGlyph()->Assign(Value);
}

BEGIN_CLASS(TcxPopupMenuLayout, TPersistent, nullptr)
  DefaultValue(b.Prop(L"MenuItems", &TcxPopupMenuLayout::MenuItems, &TcxPopupMenuLayout::SetMenuItems),
               TcxPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave}.ToBits());
  b.Prop(L"CustomMenuItemCaption", &TcxPopupMenuLayout::CustomMenuItemCaption,
         &TcxPopupMenuLayout::SetCustomMenuItemCaption).Stored = [](TObject* o) {
    return !static_cast<TcxPopupMenuLayout*>(o)->CustomMenuItemCaption().empty();
  };
END_CLASS

// ---------------------------------------------------------------------------
// TcxCustomImageProperties
// ---------------------------------------------------------------------------

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {
  FPopupMenuLayout = Make<TcxPopupMenuLayout>(nullptr);
  FGraphicClass = DefaultGraphicClass();
}

TcxCustomImageProperties::~TcxCustomImageProperties() { TObject::Free(FPopupMenuLayout); }

void TcxCustomImageProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomImageProperties*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  BeginUpdate();
  TFinally end{[&] { EndUpdate(); }};
  inherited::Assign(Source);
  SetCaption(source->Caption());
  SetCenter(source->Center());
  SetCustomFilter(source->CustomFilter());
  SetGraphicClass(source->GraphicClass());
  SetGraphicTransparency(source->GraphicTransparency());
  SetPopupMenuLayout(source->PopupMenuLayout());
  SetShowFocusRect(source->ShowFocusRect());
  SetProportional(source->Proportional());
  SetStretch(source->Stretch());
  OnAssignPicture = source->OnAssignPicture;
  OnCustomClick = source->OnCustomClick;
  OnGetGraphicClass = source->OnGetGraphicClass;
}

TcxCustomEditViewDataClass TcxCustomImageProperties::GetViewDataClass() const {
  return TcxCustomEditViewDataClass::Of<TcxImageViewData>();
}

TcxCustomEditClass TcxCustomImageProperties::GetContainerClass() const {
  return TcxCustomEditClass::Of<TcxImage>();
}

String TcxCustomImageProperties::GetDisplayText(const Variant& AEditValue, bool, bool) {
  return VarIsNull(AEditValue) ? String() : FCaption;
}

TcxEditSpecialFeatures TcxCustomImageProperties::GetSpecialFeatures() {
  TcxEditSpecialFeatures result = inherited::GetSpecialFeatures();
  result.Include(esfBlobEditValue);
  return result;
}

TcxEditSupportedOperations TcxCustomImageProperties::GetSupportedOperations() {
  TcxEditSupportedOperations result = inherited::GetSupportedOperations();
  result.Include(esoAutoHeight);
  result.Include(esoEditing);
  return result;
}

void TcxCustomImageProperties::ValidateDisplayValue(Variant&, String&, TObject* AEdit, bool&) {
  auto* edit = dynamic_cast<TcxCustomImage*>(AEdit);
  if (!edit) return;
  edit->LockEditValueChanging(true);
  TFinally unlock{[&] { edit->LockEditValueChanging(false); }};
  auto* own = static_cast<TcxCustomImageProperties*>(edit->Properties());
  if (own->OnAssignPicture) own->OnAssignPicture(edit, edit->Picture());
  if (edit->RepositoryItem() && edit->ActiveImageProperties()->OnAssignPicture)
    edit->ActiveImageProperties()->OnAssignPicture(edit, edit->Picture());
  edit->PushModifiedState();
  TFinally pop{[&] { edit->PopModifiedState(); }};
  edit->SetEditModified(false);
  edit->DoEditing();
}

TClass TcxCustomImageProperties::DefaultGraphicClass() const {
  const std::vector<TClass>& list = cxImageGraphicClassList();
  return list.empty() ? nullptr : list.front();
}

TClass TcxCustomImageProperties::GetGraphicClass(TObject* AItem, int ARecordIndex, bool APastingFromClipboard) {
  TClass result = FGraphicClass;
  if (result) return result;
  if (APastingFromClipboard) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(AItem, ARecordIndex, APastingFromClipboard, result);
  return result;
}

void TcxCustomImageProperties::SetCaption(const String& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TcxCustomImageProperties::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  Changed();
}

void TcxCustomImageProperties::SetCustomFilter(const String& Value) {
  if (FCustomFilter == Value) return;
  FCustomFilter = Value;
  Changed();
}

void TcxCustomImageProperties::SetGraphicClass(TClass Value) {
  if (FGraphicClass == Value) return;
  FGraphicClass = Value;
  Changed();
}

String TcxCustomImageProperties::GraphicClassName() const {
  return FGraphicClass ? FGraphicClass->Name : String();
}

void TcxCustomImageProperties::SetGraphicClassName(const String& Value) {
  if (Value.empty()) {
    SetGraphicClass(nullptr);
    return;
  }
  if (TClass found = cxImageFindGraphicClass(Value)) SetGraphicClass(found);
}

void TcxCustomImageProperties::SetGraphicTransparency(TcxImageTransparency Value) {
  if (FGraphicTransparency == Value) return;
  FGraphicTransparency = Value;
  Changed();
}

void TcxCustomImageProperties::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  Changed();
}

void TcxCustomImageProperties::SetShowFocusRect(bool Value) {
  if (FShowFocusRect == Value) return;
  FShowFocusRect = Value;
  Changed();
}

void TcxCustomImageProperties::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  Changed();
}

void TcxCustomImageProperties::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  // The default class is TBitmap: "no class" needs a mark of its own.
  Filer->DefineProperty(
      L"IsGraphicClassNameEmpty",
      [this](TReader* reader) {
        reader->ReadBoolean();
        SetGraphicClassName(String());
      },
      [](TWriter* writer) { writer->WriteBoolean(true); }, GraphicClassName().empty());
}

BEGIN_CLASS(TcxCustomImageProperties, TcxCustomEditProperties,
            (ConstructWith<TcxCustomImageProperties, TPersistent>))
  b.DeclareProp(L"Caption", &TcxCustomImageProperties::Caption, &TcxCustomImageProperties::SetCaption).Stored =
      [](TObject* o) { return !static_cast<TcxCustomImageProperties*>(o)->Caption().empty(); };
  DefaultValue(b.DeclareProp(L"Center", &TcxCustomImageProperties::Center, &TcxCustomImageProperties::SetCenter), true);
  b.DeclareProp(L"CustomFilter", &TcxCustomImageProperties::CustomFilter,
                &TcxCustomImageProperties::SetCustomFilter).Stored = [](TObject* o) {
    return !static_cast<TcxCustomImageProperties*>(o)->CustomFilter().empty();
  };
  b.DeclareProp(L"GraphicClassName", &TcxCustomImageProperties::GraphicClassName,
                &TcxCustomImageProperties::SetGraphicClassName).Stored = [](TObject* o) {
    auto* p = static_cast<TcxCustomImageProperties*>(o);
    return p->GraphicClass() != p->DefaultGraphicClass();
  };
  DefaultValue(b.DeclareProp(L"GraphicTransparency", &TcxCustomImageProperties::GraphicTransparency,
                             &TcxCustomImageProperties::SetGraphicTransparency),
               gtDefault);
  b.DeclareProp(L"PopupMenuLayout", &TcxCustomImageProperties::PopupMenuLayout,
                &TcxCustomImageProperties::SetPopupMenuLayout);
  DefaultValue(b.DeclareProp(L"Proportional", &TcxCustomImageProperties::Proportional,
                             &TcxCustomImageProperties::SetProportional),
               true);
  DefaultValue(b.DeclareProp(L"ShowFocusRect", &TcxCustomImageProperties::ShowFocusRect,
                             &TcxCustomImageProperties::SetShowFocusRect),
               true);
  DefaultValue(b.DeclareProp(L"Stretch", &TcxCustomImageProperties::Stretch, &TcxCustomImageProperties::SetStretch),
               false);
  b.DeclareField(L"OnAssignPicture", &TcxCustomImageProperties::OnAssignPicture);
  b.DeclareField(L"OnCustomClick", &TcxCustomImageProperties::OnCustomClick);
  b.DeclareField(L"OnGetGraphicClass", &TcxCustomImageProperties::OnGetGraphicClass);
END_CLASS

BEGIN_CLASS(TcxImageProperties, TcxCustomImageProperties, (ConstructWith<TcxImageProperties, TPersistent>))
  b.Publish({L"AssignedValues", L"Caption", L"Center", L"CustomFilter", L"GraphicClassName", L"GraphicTransparency",
             L"PopupMenuLayout", L"Proportional", L"ReadOnly", L"ShowFocusRect", L"Stretch", L"OnAssignPicture",
             L"OnCustomClick", L"OnGetGraphicClass"});
END_CLASS

// ---------------------------------------------------------------------------
// TcxImageViewInfo
// ---------------------------------------------------------------------------

TcxImageViewInfo::~TcxImageViewInfo() {
  if (FFreePicture) TObject::Free(Picture);
  TObject::Free(FTempBitmap);
  FreeFittedPicture();
}

void TcxImageViewInfo::FreeFittedPicture() {
  FreeAndNil(FFittedBitmap);
  FFittedGraphic = nullptr;
}

bool TcxImageViewInfo::HasPaintableContent() { return cxIsPictureBlank(Picture) && !Caption.empty(); }

TRect TcxImageViewInfo::PictureRect(const TRect& R) {
  TGraphic* graphic = Picture->Graphic();
  const int w = graphic->Width(), h = graphic->Height();
  const bool fit = Stretch || (Proportional && (w > R.Width() || h > R.Height()));
  TRect r2;
  if (fit)
    r2 = Proportional ? cxFitRectProportionally(R, w, h) : R;
  else
    r2 = TRect(R.Left, R.Top, R.Left + w, R.Top + h);
  if (Center) {
    // Truncated toward zero: a picture larger than R moves left and up.
    const int dx = (R.Width() - r2.Width()) / 2, dy = (R.Height() - r2.Height()) / 2;
    r2 = cxShiftRect(r2, dx, dy);
  } else {
    r2 = cxShiftRect(r2, -TopLeft.X, -TopLeft.Y);
  }
  return r2;
}

void TcxImageViewInfo::PaintContent(TcxCanvas* ACanvas) {
  TRect r = ClientRect;
  if (Transparent && !IsInplace && Edit) {
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(Bounds);
    cxPaintParentControlsUnder(Edit, ACanvas, Bounds);
    ACanvas->RestoreClipRegion();
  }
  if (cxIsPictureBlank(Picture)) {
    inherited::PaintContent(ACanvas);
    ACanvas->Brush()->SetColor(BackgroundColor());
    if (!Caption.empty()) {
      ACanvas->Brush()->SetStyle(bsClear);
      if (Font) ACanvas->SetFont(Font);
      ACanvas->Font()->SetColor(TextColor);
      TRect textRect = r;
      ACanvas->DrawTexT(Caption, textRect, kCaptionFlags, true);
      ACanvas->Brush()->SetStyle(bsSolid);
    }
    if (ShowFocusRect) ACanvas->FrameRect(r, TextColor);
    return;
  }
  const TRect r2 = PictureRect(r);
  ACanvas->SaveClipRegion();
  ACanvas->ExcludeClipRect(r);
  cxDrawEditBackgroundAndButtons(ACanvas, this, false);
  ACanvas->RestoreClipRegion();
  if (ShowFocusRect) {
    ACanvas->FrameRect(r, TextColor);
    r = cxGrowRect(r, -1, -1, -1, -1);
  }
  DrawGraphic(ACanvas, r, r2);
}

void TcxImageViewInfo::DrawGraphic(TcxCanvas* ACanvas, const TRect& R, const TRect& R2) {
  TGraphic* graphic = Picture->Graphic();
  ACanvas->SaveClipRegion();
  TFinally restore{[&] { ACanvas->RestoreClipRegion(); }};
  ACanvas->IntersectClipRect(R);
  if (!Transparent && graphic->Transparent()) {
    try {
      if (!FTempBitmap) {
        FTempBitmap = Make<TBitmap>();
        FTempBitmap->SetPixelFormat(pfDevice);
      }
      FTempBitmap->SetSize(R2.Width(), R2.Height());
      TCanvas* canvas = FTempBitmap->Canvas();
      canvas->Brush()->SetColor(BackgroundColor());
      canvas->FillRect(TRect(0, 0, R2.Width(), R2.Height()));
      canvas->StretchDraw(TRect(0, 0, R2.Width(), R2.Height()), graphic);
      ACanvas->Canvas()->Draw(R2.Left, R2.Top, FTempBitmap);
    } catch (EOutOfResources&) {
      cxFillRectWithColor(ACanvas, ClientRect, BackgroundColor());
      ACanvas->Canvas()->StretchDraw(R2, graphic);
    }
  } else if (!IsInplace && !graphic->Transparent() &&
             (R2.Width() != graphic->Width() || R2.Height() != graphic->Height())) {
    // An opaque copy would hide what a see-through editor shows through a transparent picture.
    DrawFitted(ACanvas, graphic, R2);
  } else {
    ACanvas->Canvas()->StretchDraw(R2, graphic);
  }
  if (!Transparent) {
    const bool covers = R2.Left <= R.Left && R2.Top <= R.Top && R2.Right >= R.Right && R2.Bottom >= R.Bottom;
    if (!covers) {
      ACanvas->ExcludeClipRect(R2);
      cxFillRectWithColor(ACanvas, R, BackgroundColor());
    }
  }
}

namespace {

// About the size of one band of the fitted copy's blit, in the window's four-byte pixels.
constexpr int kFittedBlitBandBytes = 128 * 1024;

// The pixels a graphic draws from, when it has them as 24- or 32-bit rows.
TBitmap* DirectPixelsOf(TGraphic* AGraphic) {
  TBitmap* bitmap = dynamic_cast<TBitmap*>(AGraphic);
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(AGraphic)) bitmap = jpeg->DecodedBitmap();
  if (!bitmap || bitmap->Empty()) return nullptr;
  const TPixelFormat format = bitmap->PixelFormat();
  return format == pf24bit || format == pf32bit ? bitmap : nullptr;
}

// Three bytes a pixel, as a decoded JPEG has them: the copy lives as long as the picture is
// shown at this size. Shrinking by area averages what the platform's
// halftone stretch averages, in less of the first paint's time, and writes every pixel of
// the copy; enlarging and other pictures are left to the graphic's drawing.
TBitmap* MakeFittedPicture(TGraphic* AGraphic, int w, int h) {
  TObjectPtr<TBitmap> fitted(Make<TBitmap>());
  fitted->SetPixelFormat(pf24bit);
  auto* jpeg = dynamic_cast<TJPEGImage*>(AGraphic);
  if (jpeg && !jpeg->Decoded() && w <= jpeg->Width() && h <= jpeg->Height()) {
    // A JPEG not decoded yet is shrunk while it is decoded: its pixels at full size
    // (megabytes) never have to exist beside the fitted copy.
    fitted->SetSizeUninitialized(w, h);
    TcxAreaShrinker shrinker(jpeg->Width(), jpeg->Height(), 3, fitted.get());
    if (jpeg->DecodeRows([&shrinker](const Byte* ARow) { shrinker.AddRow(ARow); })) {
      shrinker.Finish();
      return fitted.release();
    }
  }
  TBitmap* pixels = DirectPixelsOf(AGraphic);
  if (pixels && w <= pixels->Width() && h <= pixels->Height() && pixels->Width() == AGraphic->Width() &&
      pixels->Height() == AGraphic->Height()) {
    fitted->SetSizeUninitialized(w, h);
    cxShrinkBitmapByArea(pixels, fitted.get());
  } else {
    fitted->SetSize(w, h);
    fitted->Canvas()->StretchDraw(TRect(0, 0, w, h), AGraphic);
  }
  return fitted.release();
}

}  // namespace

// Scaling a large picture costs tens of milliseconds, copying the scaled one a fraction of a
// millisecond: the standalone editor scales once per picture and size and repaints from that.
void TcxImageViewInfo::DrawFitted(TcxCanvas* ACanvas, TGraphic* AGraphic, const TRect& R2) {
  const int w = R2.Width(), h = R2.Height();
  if (!FFittedBitmap || FFittedGraphic != AGraphic || FFittedBitmap->Width() != w || FFittedBitmap->Height() != h) {
    FreeFittedPicture();
    FFittedBitmap = MakeFittedPicture(AGraphic, w, h);
    FFittedGraphic = AGraphic;
  }
  // The system converts the pixels to the window's four bytes through a temporary copy of
  // what it is given: band by band, that copy stays small and is reused, where a copy of the
  // whole picture would be new memory at each paint and cost ten times the conversion.
  HDC dc = ACanvas->Handle();
  HDC source = FFittedBitmap->Canvas()->Handle();
  RECT clip;
  int top = 0, bottom = h;
  if (GetClipBox(dc, &clip) != ERROR) {
    top = std::clamp(static_cast<int>(clip.top) - R2.Top, 0, h);
    bottom = std::clamp(static_cast<int>(clip.bottom) - R2.Top, top, h);
  }
  const int band = std::max(1, kFittedBlitBandBytes / std::max(1, w * 4));
  for (int y = top; y < bottom; y += band)
    BitBlt(dc, R2.Left, R2.Top + y, w, std::min(band, bottom - y), source, 0, y, SRCCOPY);
}

IMPLEMENT_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo, ConstructPlain<TcxImageViewInfo>)

// ---------------------------------------------------------------------------
// TcxImageViewData
// ---------------------------------------------------------------------------

void TcxImageViewData::Calculate(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton, TShiftState AShift,
                                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (ABounds.IsEmpty()) return;
  auto* viewInfo = static_cast<TcxImageViewInfo*>(AViewInfo);
  TcxCustomImageProperties* properties = ImageProperties();
  viewInfo->Caption = properties->Caption();
  viewInfo->Center = properties->Center();
  viewInfo->Stretch = properties->Stretch();
  viewInfo->Proportional = properties->Proportional();
  viewInfo->ShowFocusRect = properties->ShowFocusRect() && viewInfo->Focused && !IsInplace;
  if (viewInfo->Center || viewInfo->Stretch) viewInfo->TopLeft = TPoint(0, 0);
}

void TcxImageViewData::EditValueToDrawValue(const Variant& AEditValue, TcxImageViewInfo* AViewInfo) {
  const AnsiString bytes = dxVariantHoldsBytes(AEditValue) ? dxConvertVariantToAnsi(AEditValue) : AnsiString();
  if (bytes.empty()) {
    if (AViewInfo->Picture) AViewInfo->Picture->Assign(nullptr);
    return;
  }
  if (!AViewInfo->Picture) {
    AViewInfo->Picture = Make<TPicture>();
    AViewInfo->FFreePicture = true;
  }
  // A value that does not load paints as no picture; painting cannot report.
  if (!cxLoadPictureFromValue(AViewInfo->Picture, ImageProperties()->GetGraphicClass(nullptr, -1), AEditValue))
    AViewInfo->Picture->Assign(nullptr);
  const TcxImageTransparency transparency = ImageProperties()->GraphicTransparency();
  if (transparency != gtDefault && AViewInfo->Picture->Graphic())
    AViewInfo->Picture->Graphic()->SetTransparent(transparency == gtTransparent);
}

TSize TcxImageViewData::GetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                           const TcxEditSizeProperties& AEditSizeProperties) {
  auto* edit = dynamic_cast<TcxCustomImage*>(Edit);
  if (!IsInplace) return edit ? TSize(edit->Picture()->Width(), edit->Picture()->Height()) : TSize(0, 0);
  if (edit) {
    const TRect border = GetBorderExtent();
    return TSize(edit->Width() - border.Left - border.Right, edit->Height() - border.Top - border.Bottom);
  }
  TcxCustomImageProperties* properties = ImageProperties();
  TSize size(0, properties->DefaultHeight());
  if (!dxVariantHoldsBytes(AEditValue)) {
    if (!properties->Caption().empty() && ACanvas) {
      ACanvas->SetFont(Style->GetVisibleFont());
      size = ACanvas->TextExtent(properties->Caption());
    }
    return size;
  }
  TObjectPtr<TPicture> picture(Make<TPicture>());
  cxLoadPictureFromValue(picture.get(), properties->GetGraphicClass(nullptr, -1), AEditValue);
  size = TSize(picture->Width(), picture->Height());
  const int w = AEditSizeProperties.Width, h = AEditSizeProperties.Height;
  if (cxImageNeedsFitting(properties, size, TSize(w, h))) {
    if (w > 0 && size.cx > 0 && (h > 0 || w < size.cx))
      size = TSize(w, static_cast<int>(std::nearbyint(static_cast<double>(size.cy) * w / size.cx)));
    else if (h > 0 && size.cy > 0 && (w > 0 || h < size.cy))
      size = TSize(static_cast<int>(std::nearbyint(static_cast<double>(size.cx) * h / size.cy)), h);
  }
  return size;
}

BEGIN_CLASS(TcxImageViewData, TcxCustomEditViewData, nullptr)
  b.template Constructor<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>();
END_CLASS

// ---------------------------------------------------------------------------
// TcxCustomImage
// ---------------------------------------------------------------------------

void TcxCustomImage::InitializeEdit() {
  inherited::InitializeEdit();
  SetAutoSize(false);
  SetWidth(140);
  SetHeight(100);
  FClipboardFormat = CF_PICTURE ? CF_PICTURE : static_cast<Word>(RegisterClipboardFormatW(L"Picture"));
  FPicture = Make<TPicture>();
  FPicture->OnChange = TNotifyEvent::Bind<&TcxCustomImage::PictureChanged>(this);
  ImageViewInfo()->Picture = FPicture;
}

TcxCustomImage::~TcxCustomImage() {
  TObject::Free(FEditPopupMenu);
  if (FPicture) {
    FPicture->OnChange = TNotifyEvent();
    if (ViewInfo()) ImageViewInfo()->Picture = nullptr;
  }
  TObject::Free(FPicture);
}

TcxContainerViewInfoClass TcxCustomImage::ContainerViewInfoClass() {
  return TcxContainerViewInfoClass::Of<TcxImageViewInfo>();
}

TcxCustomEditPropertiesClass TcxCustomImage::GetPropertiesClass() const {
  return TcxCustomEditPropertiesClass::Of<TcxCustomImageProperties>();
}

Variant TcxCustomImage::EditValue() {
  if (cxIsPictureBlank(FPicture)) return Null();
  return Variant(cxSavePictureToString(FPicture));
}

bool TcxCustomImage::Focused() { return FIsDialogShowed || inherited::Focused(); }

TClass TcxCustomImage::ResolveGraphicClass(bool APastingFromClipboard) {
  if (IsInplace()) return ActiveImageProperties()->GetGraphicClass(nullptr, -1, APastingFromClipboard);
  TClass result = ActiveImageProperties()->GraphicClass();
  if (result) return result;
  if (APastingFromClipboard) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(this, APastingFromClipboard, result);
  return result;
}

void TcxCustomImage::StoreEditValue(const Variant& AValue, bool) {
  FInternalChanging = true;
  TFinally done{[&] {
    SetEditModified(false);
    FInternalChanging = false;
  }};
  if (!dxVariantHoldsBytes(AValue)) {
    FPicture->Assign(nullptr);
    return;
  }
  if (!cxLoadPictureFromValue(FPicture, ResolveGraphicClass(false), AValue))
    throw EcxEditError(L"The value is not a picture of the editor's kind");
}

void TcxCustomImage::PictureChanged(TObject*) {
  if (TcxImageViewInfo* viewInfo = ImageViewInfo()) viewInfo->FreeFittedPicture();
  LockChangeEvents(true);
  {
    TFinally unlock{[&] { LockChangeEvents(false); }};
    TGraphic* graphic = FPicture->Graphic();
    if (auto* icon = dynamic_cast<TIcon*>(graphic)) icon->Handle();
    const TcxImageTransparency transparency = ActiveImageProperties()->GraphicTransparency();
    if (transparency != gtDefault) {
      const TNotifyEvent saved = FPicture->OnChange;
      FPicture->OnChange = TNotifyEvent();
      TFinally restore{[&] { FPicture->OnChange = saved; }};
      if (!cxIsPictureBlank(FPicture)) graphic->SetTransparent(transparency == gtTransparent);
    }
    if (!ComponentState().Contains(csLoading)) {
      ResetScrollPosition();
      AlignInnerControl();
    }
    if (!FInternalChanging) {
      if (FKeyboardAction) SetModifiedAfterEnter(true);
      NotifyChange();
      if (HandleAllocated()) ShortRefreshContainer(false);
    }
    if (ActiveImageProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) CommitEditValue(false);
  }
  RecalcScrollBars();
}

// The picture's paint covers each pixel once (border, bands, picture); what is drawn over
// another layer (a caption over the background, a see-through editor over its parent) goes
// through the buffer.
bool TcxCustomImage::PaintsThroughBuffer() {
  return Transparent() || cxIsPictureBlank(FPicture) || FPicture->Graphic()->Transparent();
}

// The pointer changes a picture's editor only through its frame and colours; a caption may
// take the hot style's text colour, so a blank editor repaints as every editor does.
bool TcxCustomImage::LookChangedByMouse(const TcxContainerLook& ABefore) {
  return cxIsPictureBlank(FPicture) || CurrentLook() != ABefore;
}

void TcxCustomImage::HandlePropertiesChanged(TObject* Sender) {
  if (!FPicture) {
    inherited::HandlePropertiesChanged(Sender);
    return;
  }
  PictureChanged(nullptr);
  RecalcScrollBars();
  inherited::HandlePropertiesChanged(Sender);
}

// ---- scrolling

void TcxCustomImage::ResetScrollPosition() {
  if (HScrollBar()) HScrollBar()->SetPosition(0);
  if (VScrollBar()) VScrollBar()->SetPosition(0);
  UpdateViewOrigin();
}

void TcxCustomImage::UpdateViewOrigin() {
  if (!HandleAllocated() || !ViewInfo()) return;
  ImageViewInfo()->TopLeft = TPoint(IsHScrollBarVisible() ? HScrollBar()->Position() : 0,
                                    IsVScrollBarVisible() ? VScrollBar()->Position() : 0);
  InvalidateRect(ClientRect(), false);
}

void TcxCustomImage::CalcScrollBarParams() {
  if (!FPicture || IsInplace() || AutoSize() || ClientBounds().IsEmpty() || cxIsPictureBlank(FPicture)) return;
  TcxCustomImageProperties* properties = ActiveImageProperties();
  if (properties->Center() || properties->Stretch()) return;
  const TRect client = ClientBounds();
  const TPoint topLeft = ImageViewInfo()->TopLeft;
  SetScrollBarInfo(sbHorizontal, 0, FPicture->Width() - 1, 8, client.Width(), topLeft.X, true, true);
  SetScrollBarInfo(sbVertical, 0, FPicture->Height() - 1, 8, client.Height(), topLeft.Y, true, true);
  UpdateViewOrigin();
}

void TcxCustomImage::HandleScroll(TScrollBarKind AKind, TScrollCode AScrollCode, int& APos) {
  if (AScrollCode == scLineUp) APos -= 8;
  if (AScrollCode == scLineDown) APos += 8;
  TcxControlScrollBar* bar = AKind == sbHorizontal ? HScrollBar() : VScrollBar();
  if (bar) {
    const int extent = AKind == sbHorizontal ? FPicture->Width() : FPicture->Height();
    APos = std::min(APos, extent - bar->PageSize());
    bar->SetPosition(APos);
    APos = bar->Position();
  }
  UpdateViewOrigin();
}

void TcxCustomImage::RecalcScrollBars() {
  inherited::RecalcScrollBars();
  UpdateViewOrigin();
}

// ---- commands

template <class F>
void TcxCustomImage::AsUserCommand(F AAction) {
  FKeyboardAction = true;
  TFinally reset{[&] { FKeyboardAction = false; }};
  AAction();
}

void TcxCustomImage::ClearPicture() {
  if (DoEditing()) FPicture->SetGraphic(nullptr);
}

void TcxCustomImage::CopyToClipboard() {
  if (FPicture->Graphic()) Clipboard()->Assign(FPicture);
}

void TcxCustomImage::CutToClipboard() {
  CopyToClipboard();
  ClearPicture();
}

bool TcxCustomImage::ClipboardHasPicture() {
  TClass graphicClass = ActiveImageProperties()->GraphicClass();
  TClipboard* clipboard = Clipboard();
  if (!graphicClass) return clipboard->HasFormat(CF_PICTURE);
  if (graphicClass == TBitmap::StaticClass() || graphicClass == TJPEGImage::StaticClass())
    return clipboard->HasFormat(CF_BITMAP);
  if (graphicClass == TIcon::StaticClass()) return false;
  if (graphicClass == TMetafile::StaticClass()) return clipboard->HasFormat(CF_METAFILEPICT);
  return clipboard->HasFormat(FClipboardFormat);
}

void TcxCustomImage::PasteFromClipboard() {
  if (!ClipboardHasPicture() || !DoEditing()) return;
  TClipboard* clipboard = Clipboard();
  if (!clipboard->HasFormat(CF_BITMAP)) {
    FPicture->Assign(clipboard);
    return;
  }
  if (ResolveGraphicClass(true) == TJPEGImage::StaticClass()) {
    TObjectPtr<TJPEGImage> jpeg(Make<TJPEGImage>());
    TObjectPtr<TBitmap> bitmap(Make<TBitmap>());
    bitmap->Assign(clipboard);
    jpeg->Assign(bitmap.get());
    jpeg->JPEGNeeded();
    FPicture->SetGraphic(jpeg.get());
  } else {
    FPicture->Bitmap()->Assign(clipboard);
  }
}

void TcxCustomImage::RunCustomMenuAction() {
  if (ImageProperties()->OnCustomClick) ImageProperties()->OnCustomClick(this);
  if (RepositoryItem() && ActiveImageProperties()->OnCustomClick) ActiveImageProperties()->OnCustomClick(this);
}

String TcxCustomImage::GetDialogFilter(TClass AGraphicClass) {
  const String& custom = ActiveImageProperties()->CustomFilter();
  return custom.empty() ? GraphicFilter(AGraphicClass) : custom;
}

void TcxCustomImage::LoadPictureFile(const String& AFileName) {
  TObjectPtr<TPicture> loaded(Make<TPicture>());
  loaded->LoadFromFile(AFileName);
  TClass graphicClass = ResolveGraphicClass(false);
  TGraphic* graphic = loaded->Graphic();
  if (!graphicClass || !graphic || graphic->InheritsFrom(graphicClass)) {
    FPicture->SetGraphic(graphic);
    return;
  }
  // The value is read back with the editor's class: store it in that class,
  // or the picture would not load again.
  TObjectPtr<TGraphic> converted(NewGraphicOf(graphicClass));
  converted->Assign(graphic);
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(converted.get())) jpeg->JPEGNeeded();
  FPicture->SetGraphic(converted.get());
}

void TcxCustomImage::LoadFromFile() {
  if (!CanModifyValue()) return;
  TObjectPtr<TOpenPictureDialog> dialog(Make<TOpenPictureDialog>(nullptr));
  FIsDialogShowed = true;
  TFinally reset{[&] { FIsDialogShowed = false; }};
  dialog->SetFilter(GetDialogFilter(ActiveImageProperties()->GraphicClass()));
  if (dialog->TCommonDialog::Execute() && DoEditing()) {
    LoadPictureFile(dialog->FileName());
    FireClosePopup(crEnter);
  } else {
    FireClosePopup(crCancel);
  }
  Application->ProcessMessages();
}

void TcxCustomImage::SaveToFile() {
  if (!FPicture->Graphic()) return;
  TObjectPtr<TSavePictureDialog> dialog(Make<TSavePictureDialog>(nullptr));
  FIsDialogShowed = true;
  TFinally reset{[&] { FIsDialogShowed = false; }};
  TClass graphicClass = FPicture->Graphic()->ClassType();
  dialog->SetFilter(GetDialogFilter(graphicClass));
  dialog->SetDefaultExt(GraphicExtension(graphicClass));
  if (dialog->TCommonDialog::Execute()) FPicture->SaveToFile(dialog->FileName());
  Application->ProcessMessages();
}

void TcxCustomImage::ExecuteMenuAction(TcxPopupMenuItem AItem) {
  AsUserCommand([&] {
    switch (AItem) {
      case pmiCut: CutToClipboard(); break;
      case pmiCopy: CopyToClipboard(); break;
      case pmiPaste: PasteFromClipboard(); break;
      case pmiDelete: ClearPicture(); break;
      case pmiLoad: LoadFromFile(); break;
      case pmiSave: SaveToFile(); break;
      case pmiCustom: RunCustomMenuAction(); break;
    }
  });
}

void TcxCustomImage::MenuItemClick(TObject* Sender) {
  const int tag = static_cast<TMenuItem*>(Sender)->Tag();
  if (tag >= pmiCut && tag <= pmiCustom) ExecuteMenuAction(static_cast<TcxPopupMenuItem>(tag));
}

void TcxCustomImage::PrepareEditPopupMenu() {
  static const TResStringRec* const captions[] = {&cxSMenuItemCaptionCut,    &cxSMenuItemCaptionCopy,
                                                  &cxSMenuItemCaptionPaste,  &cxSMenuItemCaptionDelete,
                                                  &cxSMenuItemCaptionLoad,   &cxSMenuItemCaptionSave};
  // Menu positions of the commands (separators at 4 and 7).
  static const int positions[] = {0, 1, 2, 3, 5, 6, 8};
  TcxPopupMenuLayout* layout = ActiveImageProperties()->PopupMenuLayout();
  if (!FEditPopupMenu) {
    FEditPopupMenu = Make<TPopupMenu>(nullptr);
    FEditPopupMenu->SetImages(cxImageMenuImages());
    for (int i = 0; i < 9; ++i) {
      TMenuItem* item = Make<TMenuItem>(FEditPopupMenu);
      const bool separator = i == 4 || i == 7;
      if (separator) {
        item->SetCaption(L"-");
        item->SetTag(-1);
        item->SetImageIndex(-1);
      } else {
        const int command = i < 4 ? i : (i < 7 ? i - 1 : pmiCustom);
        item->SetTag(command);
        item->OnClick = TNotifyEvent::Bind<&TcxCustomImage::MenuItemClick>(this);
        if (command != pmiCustom) item->SetImageIndex(command);
      }
      FEditPopupMenu->Items()->Add(item);
    }
  }
  TMenuItem* root = FEditPopupMenu->Items();
  for (int i = pmiCut; i <= pmiSave; ++i) root->Items(positions[i])->SetCaption(cxLookUpResourceString(captions[i]));
  const TcxPopupMenuItems items = layout->MenuItems();
  for (int i = pmiCut; i <= pmiCustom; ++i)
    root->Items(positions[i])->SetVisible(items.Contains(static_cast<TcxPopupMenuItem>(i)));
  root->Items(4)->SetVisible(items.Contains(pmiLoad) || items.Contains(pmiSave));
  root->Items(7)->SetVisible(items.Contains(pmiCustom));
  TMenuItem* custom = root->Items(8);
  custom->SetCaption(layout->CustomMenuItemCaption());
  TBitmap* glyph = layout->CustomMenuItemGlyph();
  glyph->SetTransparent(true);
  custom->SetBitmap(glyph);
  const bool modifiable = CanModifyValue();
  const bool blank = cxIsPictureBlank(FPicture);
  const bool icon = ActiveImageProperties()->GraphicClass() == TIcon::StaticClass();
  root->Items(positions[pmiCut])->SetEnabled(modifiable && !blank && !icon);
  root->Items(positions[pmiCopy])->SetEnabled(!blank && !icon);
  root->Items(positions[pmiPaste])->SetEnabled(modifiable && ClipboardHasPicture());
  root->Items(positions[pmiDelete])->SetEnabled(modifiable && !blank);
  root->Items(positions[pmiLoad])->SetEnabled(modifiable);
  root->Items(positions[pmiSave])->SetEnabled(!blank);
  custom->SetEnabled(true);
}

void TcxCustomImage::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (PopupMenu() || ActiveImageProperties()->PopupMenuLayout()->MenuItems().Empty()) {
    inherited::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
  TPoint p = (MousePos.X == -1 && MousePos.Y == -1) ? TPoint(10, 10) : MousePos;
  PrepareEditPopupMenu();
  const TPoint screen = ClientToScreen(p);
  FEditPopupMenu->SetPopupComponent(this);
  FEditPopupMenu->Popup(screen.X, screen.Y);
}

// ---- keys

bool TcxCustomImage::ShouldFireAfterKeyDown(Word Key, TShiftState Shift) {
  if (Key == VK_INSERT) return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
  if (Key == VK_DELETE) return !Shift.Contains(ssShift);
  return inherited::ShouldFireAfterKeyDown(Key, Shift);
}

void TcxCustomImage::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  AsUserCommand([&] {
    if (Key == VK_INSERT && Shift.Contains(ssShift))
      PasteFromClipboard();
    else if (Key == VK_INSERT && Shift.Contains(ssCtrl))
      CopyToClipboard();
    else if (Key == VK_DELETE && Shift.Contains(ssShift))
      CutToClipboard();
  });
}

void TcxCustomImage::KeyPress(Char& Key) {
  inherited::KeyPress(Key);
  AsUserCommand([&] {
    switch (Key) {
      case 3: CopyToClipboard(); break;
      case 22: PasteFromClipboard(); break;
      case 24: CutToClipboard(); break;
      default: break;
    }
  });
}

BEGIN_CLASS(TcxCustomImage, TcxCustomEdit, (ConstructWith<TcxCustomImage, TComponent>))
  b.template Constructor<TComponent*, bool>();
  b.DeclareProp(L"Picture", &TcxCustomImage::Picture, &TcxCustomImage::SetPicture);
  b.DeclareField(L"OnGetGraphicClass", &TcxCustomImage::OnGetGraphicClass);
END_CLASS

TcxCustomEditPropertiesClass TcxImage::GetPropertiesClass() const {
  return TcxCustomEditPropertiesClass::Of<TcxImageProperties>();
}

BEGIN_CLASS(TcxImage, TcxCustomImage, (ConstructWith<TcxImage, TComponent>))
  b.template Constructor<TComponent*, bool>();
  PublishControl(b, {L"Align", L"Anchors", L"Constraints", L"DragCursor", L"DragKind", L"DragMode", L"Enabled",
                     L"ParentColor", L"ParentShowHint", L"Picture", L"PopupMenu", L"Properties", L"ShowHint",
                     L"TabOrder", L"TabStop", L"Visible", L"OnClick", L"OnContextPopup", L"OnDblClick",
                     L"OnDragDrop", L"OnDragOver", L"OnEditing", L"OnEndDrag", L"OnEnter", L"OnExit",
                     L"OnGetGraphicClass", L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown", L"OnMouseMove",
                     L"OnMouseUp", L"OnStartDrag"});
END_CLASS

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {

void BuildMenuImages() {
  static const wchar_t* const names[] = {L"CXMENUIMAGE_CUT",    L"CXMENUIMAGE_COPY", L"CXMENUIMAGE_PASTE",
                                         L"CXMENUIMAGE_DELETE", L"CXMENUIMAGE_LOAD", L"CXMENUIMAGE_SAVE"};
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!FindResourceW(instance, names[0], MAKEINTRESOURCEW(2))) return;
  for (const wchar_t* name : names) {
    TObjectPtr<TBitmap> bitmap(Make<TBitmap>());
    bitmap->LoadFromResourceName(instance, name);
    if (!MenuImagesSlot()) {
      MenuImagesSlot() = Make<TImageList>(nullptr);
      MenuImagesSlot()->SetWidth(bitmap->Width());
      MenuImagesSlot()->SetHeight(bitmap->Height());
    }
    MenuImagesSlot()->AddMasked(bitmap.get(), clDefault);
  }
}

}  // namespace

void cxImageInitialize() {
  if (UnitCounter()++ != 0) return;
  cxEditPropertiesRegistry()->Register(TcxImageProperties::StaticClass(),
                                       cxLookUpResourceString(&scxSEditRepositoryImageItem));
  RegisterClass(TcxImage::StaticClass());
}

void cxImageFinalize() {
  if (--UnitCounter() != 0) return;
  UnRegisterClass(TcxImage::StaticClass());
  if (cxEditPropertiesRegistryExists()) cxEditPropertiesRegistry()->Unregister(TcxImageProperties::StaticClass());
  delete GraphicClassListSlot();
  GraphicClassListSlot() = nullptr;
  TObject::Free(MenuImagesSlot());
  MenuImagesSlot() = nullptr;
  MenuImagesLoaded() = false;
}
