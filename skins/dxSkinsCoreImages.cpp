#include <algorithm>

#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "skins/dxSkinsCoreDraw.h"

TdxSkinImage::TdxSkinImage(TdxSkinElement* AOwner) : FOwner(AOwner), FTexture(Make<TdxPNGImage>()) {}

TdxSkinImage::~TdxSkinImage() { TObject::Free(FTexture); }

TPersistent* TdxSkinImage::GetOwner() { return FOwner; }

void TdxSkinImage::Changed() {
  FIsDirty = true;
  if (FOnChange) FOnChange(this);
}

bool TdxSkinImage::Empty() const { return FSourceName.empty() && FPendingPng.empty() && FTexture->Empty(); }

TdxPNGImage* TdxSkinImage::Texture() const {
  const_cast<TdxSkinImage*>(this)->Decode();
  return FTexture;
}

void TdxSkinImage::Decode() {
  if (FPendingPng.empty()) return;
  TMemoryStream stream;
  stream.WriteBuffer(FPendingPng.data(), NativeInt(FPendingPng.size()));
  FPendingPng.clear();
  stream.SetPosition(0);
  try {
    FTexture->LoadFromStream(&stream);
  } catch (Exception&) {
    // A picture that does not decode draws nothing.
    FTexture->SetHandle(nullptr);
  }
}

int TdxSkinImage::ImageCount() const { return FOwner ? FOwner->ImageCount() : 1; }

String TdxSkinImage::Name() const { return Empty() || !FOwner ? String() : FOwner->GetImageFileName(const_cast<TdxSkinImage*>(this)); }

String TdxSkinImage::SourceName() const {
  if (!FSourceName.empty() || Empty() || !FOwner) return FSourceName;
  return FOwner->Path() + Name();
}

void TdxSkinImage::Clear() {
  FPendingPng.clear();
  FTexture->SetHandle(nullptr);
  FSourceName.clear();
  Changed();
}

void TdxSkinImage::LoadFromFile(const String& AFileName) {
  FSourceName = AFileName;
  FPendingPng.clear();
  FTexture->LoadFromFile(AFileName);
  Changed();
}

void TdxSkinImage::SaveToFile(const String& AFileName) {
  if (Empty()) return;
  Texture()->SaveToFile(ChangeFileExt(AFileName, L".png"));
  Changed();
}

void TdxSkinImage::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinImage*>(Source);
  if (!source) return;
  if (source->Empty()) {
    Clear();
  } else {
    FPendingPng.clear();
    FTexture->Assign(source->Texture());
    FSourceName = source->FSourceName;
    FIsDirty = true;
  }
  SetGradientBeginColor(source->FGradientBeginColor);
  SetGradientEndColor(source->FGradientEndColor);
  SetGradient(source->FGradient);
  SetImageLayout(source->FImageLayout);
  SetMargins(source->FMargins);
  SetStates(source->FStates);
  SetStretch(source->FStretch);
  Changed();
}

bool TdxSkinImage::Compare(TdxSkinImage* AImage) {
  if (!AImage) return false;
  const TSize a = Size(), b = AImage->Size();
  return FImageLayout == AImage->FImageLayout && Empty() == AImage->Empty() && FStates == AImage->FStates &&
         FGradient == AImage->FGradient && FGradientBeginColor == AImage->FGradientBeginColor &&
         FGradientEndColor == AImage->FGradientEndColor && FStretch == AImage->FStretch && a.cx == b.cx &&
         a.cy == b.cy && FMargins == AImage->FMargins && Texture()->Compare(AImage->Texture());
}

#define DX_SKIN_IMAGE_SETTER(Name, T, Field) \
  void TdxSkinImage::Set##Name(T AValue) {   \
    if (AValue == Field) return;             \
    Field = AValue;                          \
    Changed();                               \
  }
DX_SKIN_IMAGE_SETTER(Gradient, TdxSkinGradientMode, FGradient)
DX_SKIN_IMAGE_SETTER(GradientBeginColor, TColor, FGradientBeginColor)
DX_SKIN_IMAGE_SETTER(GradientEndColor, TColor, FGradientEndColor)
DX_SKIN_IMAGE_SETTER(ImageLayout, TdxSkinImageLayout, FImageLayout)
DX_SKIN_IMAGE_SETTER(Margins, const TRect&, FMargins)
DX_SKIN_IMAGE_SETTER(States, TdxSkinElementStates, FStates)
DX_SKIN_IMAGE_SETTER(Stretch, TdxSkinStretchMode, FStretch)
#undef DX_SKIN_IMAGE_SETTER

void TdxSkinImage::CheckState() {
  if (FIsDirty) CalculateStateBounds();
}

void TdxSkinImage::CalculateStateBounds() {
  FIsDirty = false;
  FStateCount = 0;
  for (int s = 0; s < dxSkinElementStateCount; ++s)
    if (FStates.Contains(TdxSkinElementState(s))) ++FStateCount;
  if (!FPendingPng.empty())
    FSize = FPendingSize;
  else
    FSize = TSize{FTexture->Empty() ? 0 : FTexture->Width(), FTexture->Empty() ? 0 : FTexture->Height()};
  // The image count is never below 1, whatever a stream held.
  const int imageCount = std::max(ImageCount(), 1);
  if (FStateCount > 0) {
    if (FImageLayout == ilHorizontal)
      FSize.cx = FSize.cx / imageCount / FStateCount;
    else
      FSize.cy = FSize.cy / imageCount / FStateCount;
  }
  int frame = 0;
  for (int s = 0; s < dxSkinElementStateCount; ++s) {
    const int r = FStates.Contains(TdxSkinElementState(s)) ? frame++ : 0;
    FStateBounds[s] = FImageLayout == ilHorizontal ? TRect(FSize.cx * r, 0, FSize.cx * (r + 1), FSize.cy)
                                                   : TRect(0, FSize.cy * r, FSize.cx, FSize.cy * (r + 1));
  }
}

TSize TdxSkinImage::Size() {
  CheckState();
  return FSize;
}

int TdxSkinImage::StateCount() {
  CheckState();
  return FStateCount;
}

TRect TdxSkinImage::StateBounds(int AImageIndex, TdxSkinElementState AState) {
  CheckState();
  if (!FStates.Contains(AState))
    for (int s = 0; s < dxSkinElementStateCount; ++s)
      if (FStates.Contains(TdxSkinElementState(s))) {
        AState = TdxSkinElementState(s);
        break;
      }
  TRect result = FStateBounds[AState];
  if (AImageIndex > 0) {
    const int dx = FImageLayout == ilHorizontal ? AImageIndex * FStateCount * FSize.cx : 0;
    const int dy = FImageLayout == ilVertical ? AImageIndex * FStateCount * FSize.cy : 0;
    result = TRect(result.Left + dx, result.Top + dy, result.Right + dx, result.Bottom + dy);
  }
  return result;
}
