// The manager's image options and backgrounds, and the manager's reactions to them.
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/cxGraphicsRoutines.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"

BEGIN_CLASS(TdxBarPersistent, TPersistent, nullptr)
END_CLASS

BEGIN_CLASS(TdxBarImageOptions, TdxBarPersistent, nullptr)
  using O = TdxBarImageOptions;
  b.Prop(L"DisabledImages", &O::DisabledImages, &O::SetDisabledImages);
  b.Prop(L"DisabledLargeImages", &O::DisabledLargeImages, &O::SetDisabledLargeImages);
  b.Prop(L"HotImages", &O::HotImages, &O::SetHotImages);
  b.Prop(L"Images", &O::Images, &O::SetImages);
  b.Prop(L"LargeImages", &O::LargeImages, &O::SetLargeImages);
  DefaultValue(b.Prop(L"CacheGlyphs", &O::CacheGlyphs, &O::SetCacheGlyphs), 1);
  DefaultValue(b.Prop(L"ImageListBkColor", &O::ImageListBkColor, &O::SetImageListBkColor, ColorTypeInfo()), clFuchsia);
  DefaultValue(b.Prop(L"LargeIcons", &O::LargeIcons, &O::SetLargeIcons), 0);
  DefaultValue(b.Prop(L"MakeDisabledImagesFaded", &O::MakeDisabledImagesFaded, &O::SetMakeDisabledImagesFaded), 0);
  DefaultValue(b.Prop(L"SmoothGlyphs", &O::SmoothGlyphs, &O::SetSmoothGlyphs), 0);
  DefaultValue(b.Prop(L"StretchGlyphs", &O::StretchGlyphs, &O::SetStretchGlyphs), 1);
  DefaultValue(b.Prop(L"UseLargeImagesForLargeIcons", &O::UseLargeImagesForLargeIcons,
                      &O::SetUseLargeImagesForLargeIcons), 0);
  DefaultValue(b.Prop(L"UseLeftBottomPixelAsTransparent", &O::UseLeftBottomPixelAsTransparent,
                      &O::SetUseLeftBottomPixelAsTransparent), 1);
END_CLASS

BEGIN_CLASS(TdxBarBackgrounds, TdxBarPersistent, nullptr)
  using G = TdxBarBackgrounds;
  b.Prop(L"Bar", &G::Bar, &G::SetBar).Stored = [](TObject* o) { return !static_cast<G*>(o)->Bar()->Empty(); };
  b.Prop(L"SubMenu", &G::SubMenu, &G::SetSubMenu).Stored = [](TObject* o) {
    return !static_cast<G*>(o)->SubMenu()->Empty();
  };
END_CLASS

TPersistent* TdxBarPersistent::GetOwner() { return FBarManager; }

// ---------------------------------------------------------------------------
// Image options
// ---------------------------------------------------------------------------

TdxBarImageOptions::TdxBarImageOptions(TdxBarManager* AManager) : TdxBarPersistent(AManager) {
  FImagesChangeLink = Make<TChangeLink>();
  FImagesChangeLink->OnChange = TNotifyEvent::Bind<&TdxBarImageOptions::ImagesChanged>(this);
  FLargeImagesChangeLink = Make<TChangeLink>();
  FLargeImagesChangeLink->OnChange = TNotifyEvent::Bind<&TdxBarImageOptions::LargeImagesChanged>(this);
  FHotImagesChangeLink = Make<TChangeLink>();
  FHotImagesChangeLink->OnChange = TNotifyEvent::Bind<&TdxBarImageOptions::HotImagesChanged>(this);
  FDisabledImagesChangeLink = Make<TChangeLink>();
  FDisabledImagesChangeLink->OnChange = TNotifyEvent::Bind<&TdxBarImageOptions::ImagesChanged>(this);
  FDisabledLargeImagesChangeLink = Make<TChangeLink>();
  FDisabledLargeImagesChangeLink->OnChange = TNotifyEvent::Bind<&TdxBarImageOptions::LargeImagesChanged>(this);
  FNotifyComponent = Make<TcxFreeNotificator>(nullptr);
  FNotifyComponent->OnFreeNotification = TcxFreeNotificationEvent::Bind<&TdxBarImageOptions::ListFreed>(this);
  UpdateGlyphSize();
}

TdxBarImageOptions::~TdxBarImageOptions() {
  OnImageOptionsChange = nullptr;
  OnLargeIconsChange = nullptr;
  // Nothing reacts any more: the lists only let go of the links.
  for (TChangeLink* link : {FImagesChangeLink, FLargeImagesChangeLink, FHotImagesChangeLink,
                            FDisabledImagesChangeLink, FDisabledLargeImagesChangeLink})
    link->OnChange = nullptr;
  SetList(FDisabledLargeImages, nullptr, FDisabledLargeImagesChangeLink);
  SetList(FDisabledImages, nullptr, FDisabledImagesChangeLink);
  SetList(FHotImages, nullptr, FHotImagesChangeLink);
  SetList(FLargeImages, nullptr, FLargeImagesChangeLink);
  SetList(FImages, nullptr, FImagesChangeLink);
  TObject::Free(FNotifyComponent);
  for (TChangeLink* link : {FImagesChangeLink, FLargeImagesChangeLink, FHotImagesChangeLink,
                            FDisabledImagesChangeLink, FDisabledLargeImagesChangeLink})
    TObject::Free(link);
}

void TdxBarImageOptions::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarImageOptions*>(ASource);
  if (!source) {
    TdxBarPersistent::Assign(ASource);
    return;
  }
  SetDisabledImages(source->DisabledImages());
  SetDisabledLargeImages(source->DisabledLargeImages());
  SetHotImages(source->HotImages());
  SetImageListBkColor(source->ImageListBkColor());
  SetImages(source->Images());
  SetLargeImages(source->LargeImages());
  SetLargeIcons(source->LargeIcons());
  SetMakeDisabledImagesFaded(source->MakeDisabledImagesFaded());
  SetSmoothGlyphs(source->SmoothGlyphs());
  SetStretchGlyphs(source->StretchGlyphs());
  SetUseLargeImagesForLargeIcons(source->UseLargeImagesForLargeIcons());
  SetUseLeftBottomPixelAsTransparent(source->UseLeftBottomPixelAsTransparent());
}

void TdxBarImageOptions::SetList(TCustomImageList*& AField, TCustomImageList* AValue, TChangeLink* ALink) {
  cxAssignImageList(AValue, AField, ALink, FNotifyComponent);
}

void TdxBarImageOptions::SetDisabledImages(TCustomImageList* AValue) {
  SetList(FDisabledImages, AValue, FDisabledImagesChangeLink);
}

void TdxBarImageOptions::SetDisabledLargeImages(TCustomImageList* AValue) {
  SetList(FDisabledLargeImages, AValue, FDisabledLargeImagesChangeLink);
}

void TdxBarImageOptions::SetHotImages(TCustomImageList* AValue) { SetList(FHotImages, AValue, FHotImagesChangeLink); }

void TdxBarImageOptions::SetImages(TCustomImageList* AValue) { SetList(FImages, AValue, FImagesChangeLink); }

void TdxBarImageOptions::SetLargeImages(TCustomImageList* AValue) {
  if (FLargeImages == AValue) return;
  SetList(FLargeImages, AValue, FLargeImagesChangeLink);
  if (FLargeIcons && FUseLargeImagesForLargeIcons) DoLargeIconsChange();
}

void TdxBarImageOptions::SetOption(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  DoImageOptionsChange();
}

void TdxBarImageOptions::SetImageListBkColor(TColor AValue) {
  if (FImageListBkColor == AValue) return;
  FImageListBkColor = AValue;
  DoImageOptionsChange();
}

void TdxBarImageOptions::SetMakeDisabledImagesFaded(bool AValue) { SetOption(FMakeDisabledImagesFaded, AValue); }

void TdxBarImageOptions::SetUseLargeImagesForLargeIcons(bool AValue) {
  SetOption(FUseLargeImagesForLargeIcons, AValue);
}

void TdxBarImageOptions::SetUseLeftBottomPixelAsTransparent(bool AValue) {
  SetOption(FUseLeftBottomPixelAsTransparent, AValue);
}

void TdxBarImageOptions::SetLargeIcons(bool AValue) {
  if (FLargeIcons == AValue) return;
  FLargeIcons = AValue;
  DoLargeIconsChange();
}

bool TdxBarImageOptions::AnyImageListLoading() const {
  for (TCustomImageList* list : {FDisabledImages, FDisabledLargeImages, FHotImages, FImages, FLargeImages})
    if (list && list->ComponentState().Contains(csLoading)) return true;
  return false;
}

void TdxBarImageOptions::UpdateGlyphSize() {
  if (!FLargeIcons)
    FGlyphSize = 16;
  else
    FGlyphSize = UsesLargeImagesForLargeIcons() ? FLargeImages->Width() : 32;
}

void TdxBarImageOptions::DoImageOptionsChange() {
  if (OnImageOptionsChange) OnImageOptionsChange(this);
}

// The glyph size follows at once, whoever listens.
void TdxBarImageOptions::DoLargeIconsChange() {
  UpdateGlyphSize();
  if (OnLargeIconsChange) OnLargeIconsChange(this);
}

void TdxBarImageOptions::ListFreed(TComponent* AList) {
  if (AList == FDisabledImages) SetDisabledImages(nullptr);
  if (AList == FDisabledLargeImages) SetDisabledLargeImages(nullptr);
  if (AList == FHotImages) SetHotImages(nullptr);
  if (AList == FImages) SetImages(nullptr);
  if (AList == FLargeImages) SetLargeImages(nullptr);
}

void TdxBarImageOptions::ImagesChanged(TObject*) { FBarManager->ImageListChanged(TdxBarImageListKind::Normal); }

void TdxBarImageOptions::HotImagesChanged(TObject*) { FBarManager->ImageListChanged(TdxBarImageListKind::Hot); }

void TdxBarImageOptions::LargeImagesChanged(TObject*) { FBarManager->ImageListChanged(TdxBarImageListKind::Large); }

// ---------------------------------------------------------------------------
// Backgrounds
// ---------------------------------------------------------------------------

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* AManager) : TdxBarPersistent(AManager) {
  FBarBackgroundBitmap = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarBackgrounds::BarChanged>(this));
  FSubMenuBackgroundBitmap = Make<TBitmap>();
}

TdxBarBackgrounds::~TdxBarBackgrounds() {
  FBarBackgroundBitmap->OnChange = nullptr;
  TObject::Free(FBarBackgroundBitmap);
  TObject::Free(FSubMenuBackgroundBitmap);
}

void TdxBarBackgrounds::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarBackgrounds*>(ASource);
  if (!source) {
    TdxBarPersistent::Assign(ASource);
    return;
  }
  SetBar(source->Bar());
  SetSubMenu(source->SubMenu());
}

// Assigning nil to an empty picture changes nothing, so nothing restyles.
void TdxBarBackgrounds::SetBar(TBitmap* AValue) {
  if (!AValue && FBarBackgroundBitmap->Empty()) return;
  FBarBackgroundBitmap->Assign(AValue);
}

void TdxBarBackgrounds::SetSubMenu(TBitmap* AValue) { FSubMenuBackgroundBitmap->Assign(AValue); }

void TdxBarBackgrounds::BarChanged(TObject*) { FBarManager->StyleChanged(); }

// ---------------------------------------------------------------------------
// The manager's reactions
// ---------------------------------------------------------------------------

// One list may serve as several kinds: the link that fired says which.
void TdxBarManager::ImageListChanged(TdxBarImageListKind AKind) {
  if (LoadingFromForm() || IsDestroying()) return;
  dxBarInManagerUpdate(this, [&] {
    for (int i = 0; i < ItemCount(); ++i) {
      TdxBarItem* item = Items(i);
      switch (AKind) {
        case TdxBarImageListKind::Normal:
          if (item->ImageIndex() >= 0) item->ImageIndexChanged();
          break;
        case TdxBarImageListKind::Large:
          if (item->LargeImageIndex() >= 0) item->LargeImageIndexChanged();
          break;
        case TdxBarImageListKind::Hot:
          if (auto* button = dynamic_cast<TdxBarLargeButton*>(item); button && button->HotImageIndex() >= 0)
            item->HotImageChanged();
          break;
      }
    }
  });
}

void TdxBarManager::ImageOptionsChanged(TObject*) {
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RepaintBar();
}

// The glyph size followed already (TdxBarImageOptions::DoLargeIconsChange);
// the designer and an open customization form show the option.
void TdxBarManager::LargeIconsChanged(TObject*) {
  MenuOptionChanged();
  ImageOptionsChanged(nullptr);
}
