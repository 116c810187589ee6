#include "foundation/dxFading.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Messaging.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_CLASS(TdxFadingElement, TcxIUnknownObject, nullptr)
IMPLEMENT_CLASS(TdxFadingList, TList, (ConstructPlain<TdxFadingList>))
IMPLEMENT_CLASS(TdxFader, TObject, (ConstructPlain<TdxFader>))
IMPLEMENT_CLASS(TdxFadingObjectHelper, TcxIUnknownObject, (ConstructPlain<TdxFadingObjectHelper>))

namespace {

constexpr UINT_PTR kFadingTimerId = 1;

TdxFader* gFader = nullptr;
int gFadingInitCount = 0;

int LimitFrameCount(int AValue, int ADefault) {
  return AValue > 0 ? std::min(AValue, dxFadingMaxAnimationFrameCount) : ADefault;
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxFadingElement
// ---------------------------------------------------------------------------

TdxFadingElement::TdxFadingElement(TdxFader* AOwner, TObject* AElement, TdxFadingState AState,
                                   TBitmap* AFadeOutImage, TBitmap* AFadeInImage, int AFadeInAnimationFrameCount,
                                   int AFadeInAnimationFrameDelay, int AFadeOutAnimationFrameCount,
                                   int AFadeOutAnimationFrameDelay)
    : FElement(AElement),
      FFadingObject(dynamic_cast<IdxFadingObject*>(AElement)),
      FOwner(AOwner),
      FState(AState) {
  FFadeInAnimationFrameCount = LimitFrameCount(AFadeInAnimationFrameCount, dxFadeInDefaultAnimationFrameCount);
  FFadeInAnimationFrameDelay = AFadeInAnimationFrameDelay >= dxFadingMinAnimationFrameDelay
                                   ? std::min(AFadeInAnimationFrameDelay, dxFadingMaxAnimationFrameDelay)
                                   : dxFadeInDefaultAnimationFrameDelay;
  FFadeOutAnimationFrameDelay = AFadeOutAnimationFrameDelay < dxFadingMinAnimationFrameDelay
                                    ? dxFadeOutDefaultAnimationFrameDelay
                                    : std::min(AFadeOutAnimationFrameDelay, dxFadingMaxAnimationFrameDelay);
  FFadeOutAnimationFrameCount = LimitFrameCount(AFadeOutAnimationFrameCount, dxFadeOutDefaultAnimationFrameCount);
  try {
    FFadeOutImage = CreateImage(AFadeOutImage);
    FFadeInImage = CreateImage(AFadeInImage);
  } catch (...) {
    FreeAndNil(FFadeOutImage);
    FreeAndNil(FFadeInImage);
    throw;
  }
  ResetDelay();
}

TdxFadingElement::~TdxFadingElement() {
  FreeAndNil(FFadingWorkImage);
  FreeAndNil(FFadeInImage);
  FreeAndNil(FFadeOutImage);
}

TdxGPImage* TdxFadingElement::CreateImage(TBitmap* ABitmap) {
  TdxRGBColors bits;
  TdxGPImage::GetBitmapBits(ABitmap, bits);
  // GDI drawing leaves alpha 0 behind: such pixels were meant to be seen.
  for (RGBQUAD& q : bits)
    if (q.rgbReserved == 0 && (q.rgbBlue | q.rgbGreen | q.rgbRed) != 0) q.rgbReserved = 255;
  return TdxGPImage::CreateFromPattern(ABitmap->Width(), ABitmap->Height(), bits,
                                       ABitmap->PixelFormat() == pf32bit);
}

int TdxFadingElement::FrameCount() const {
  return FState == fsFadeIn ? FFadeInAnimationFrameCount : FFadeOutAnimationFrameCount;
}

void TdxFadingElement::ResetDelay() {
  const int delay = FState == fsFadeIn ? FFadeInAnimationFrameDelay : FFadeOutAnimationFrameDelay;
  FFadingDelayCount = std::max(1, delay / dxFadingTimerInterval);
  FFadingDelayIndex = 0;
}

int TdxFadingElement::CalculateAlpha(TdxFadingState AState, int AFrameCount, int AStage) {
  const int step = 256 / std::max(AFrameCount, 1);
  return AState == fsFadeIn ? std::min(255, step * AStage) : std::max(0, 255 - step * AStage);
}

void TdxFadingElement::SetWorkImage(TdxGPImage* AImage) {
  TdxGPImage* old = FFadingWorkImage;
  FFadingWorkImage = AImage;
  TObject::Free(old);
}

void TdxFadingElement::Initialize() {
  FFadingObject->AttachFadingData(this);
  SetWorkImage((FState == fsFadeIn ? FFadeOutImage : FFadeInImage)->Clone());
  // Last: the object may end the fade from here.
  FFadingObject->RefreshFadingFrame();
}

void TdxFadingElement::Finalize() {
  SetWorkImage((FState == fsFadeIn ? FFadeInImage : FFadeOutImage)->Clone());
  FFadingObject->RefreshFadingFrame();
  if (!FObjectGone) FFadingObject->DetachFadingData();
}

void TdxFadingElement::SetState(TdxFadingState AValue) {
  if (AValue == FState) return;
  const int newCount = AValue == fsFadeIn ? FFadeInAnimationFrameCount : FFadeOutAnimationFrameCount;
  // Halfway back takes as long as the way there took: the stage maps over.
  // Rounding to nearest, ties to even (the default rounding mode).
  FStage = static_cast<int>(std::nearbyint((1.0 - double(FStage) / (FrameCount() + 1)) * newCount));
  FState = AValue;
  ResetDelay();
}

bool TdxFadingElement::Tick() {
  FFadingDelayIndex = (FFadingDelayIndex + 1) % FFadingDelayCount;
  if (FFadingDelayIndex != 0) return true;
  if (FStage >= FrameCount()) return false;
  ++FStage;
  SetWorkImage(FFadeOutImage->MakeComposition(FFadeInImage, static_cast<Byte>(CalculateAlpha(FState, FrameCount(), FStage))));
  // Last: the object may end the fade from here.
  FFadingObject->RefreshFadingFrame();
  return true;
}

bool TdxFadingElement::PaintFadingFrame(HDC DC, const TRect& R) {
  if (!FFadingWorkImage) return false;
  FFadingWorkImage->Draw(DC, R);
  return true;
}

bool TdxFadingElement::GetFadingFrame(TdxGPImage*& AImage) {
  AImage = FFadingWorkImage;
  return AImage != nullptr;
}

// ---------------------------------------------------------------------------
// TdxFadingList
// ---------------------------------------------------------------------------

TdxFadingList::~TdxFadingList() { Clear(); }

void TdxFadingList::Clear() {
  while (Count() > 0) {
    auto* element = static_cast<TdxFadingElement*>(Last());
    Delete(Count() - 1);
    TObject::Free(element);
  }
  TList::Clear();
}

// ---------------------------------------------------------------------------
// TdxFader
// ---------------------------------------------------------------------------

TdxFader::TdxFader() : FList(Make<TdxFadingList>()) {}

TdxFader::~TdxFader() {
  try {
    Clear();
  } catch (...) {
    // Shutting down: whatever an object raised, the fades end here.
  }
  // Elements still finishing belong to calls further up the stack; those
  // calls end without this fader.
  if (FWindow) {
    KillTimer(FWindow, kFadingTimerId);
    DeallocateHWnd(FWindow);
    FWindow = nullptr;
  }
  FreeAndNil(FList);
}

bool TdxFader::IsReady() {
  bool allowed = FState == fasEnabled;
  if (FState == fasDefault) {
    BOOL animation = FALSE;
    allowed = SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animation, 0) && animation;
  }
  if (!allowed || !dxIsGdiPlusReady()) return false;
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits > 16;
}

void TdxFader::SetMaxAnimationCount(int AValue) {
  AValue = std::clamp(AValue, 0, 20);
  if (AValue == FMaxAnimationCount) return;
  FMaxAnimationCount = AValue;
  CheckList();
}

bool TdxFader::Find(TObject* AObject, TdxFadingElement*& AElement) {
  for (int i = 0; i < FList->Count(); ++i)
    if (FList->Items(i)->FElement == AObject) {
      AElement = FList->Items(i);
      return true;
    }
  AElement = nullptr;
  return false;
}

bool TdxFader::Contains(TObject* AObject) {
  TdxFadingElement* element;
  return Find(AObject, element);
}

void TdxFader::FadeIn(TObject* AObject) { Fade(AObject, fsFadeIn); }

void TdxFader::FadeOut(TObject* AObject) { Fade(AObject, fsFadeOut); }

void TdxFader::Fade(TObject* AObject, TdxFadingState AState) {
  if (!AObject || !IsReady()) return;
  auto* object = dynamic_cast<IdxFadingObject*>(AObject);
  if (!object || !object->IsFadingAllowed()) return;
  TdxFadingElement* element;
  if (Find(AObject, element)) {
    element->SetState(AState);
    return;
  }
  TBitmap* fadeOutImage = nullptr;
  TBitmap* fadeInImage = nullptr;
  int fadeInCount = dxFadeInDefaultAnimationFrameCount, fadeInDelay = dxFadeInDefaultAnimationFrameDelay;
  int fadeOutCount = dxFadeOutDefaultAnimationFrameCount, fadeOutDelay = dxFadeOutDefaultAnimationFrameDelay;
  try {
    object->ProvideFadingImages(fadeOutImage, fadeInImage, fadeInCount, fadeInDelay, fadeOutCount, fadeOutDelay);
    if (fadeOutImage && fadeInImage && !fadeOutImage->Empty() && !fadeInImage->Empty()) {
      element = Make<TdxFadingElement>(this, AObject, AState, fadeOutImage, fadeInImage, fadeInCount, fadeInDelay,
                                     fadeOutCount, fadeOutDelay);
      // In the list before the object hears of it, so that a Remove from
      // inside its first repaint finds it.
      AddElement(element);
      element->Initialize();
      CheckList();
    }
  } catch (...) {
    TObject::Free(fadeOutImage);
    TObject::Free(fadeInImage);
    throw;
  }
  TObject::Free(fadeOutImage);
  TObject::Free(fadeInImage);
}

void TdxFader::AddElement(TdxFadingElement* AElement) {
  FList->Add(AElement);
  UpdateTimer();
}

void TdxFader::FinishElement(TdxFadingElement* AElement, bool ANotify) {
  FList->Remove(AElement);
  UpdateTimer();
  if (ANotify && !AElement->FObjectGone) {
    FFinishing.push_back(AElement);
    try {
      AElement->Finalize();
    } catch (...) {
      std::erase(FFinishing, AElement);
      TObject::Free(AElement);
      throw;
    }
    std::erase(FFinishing, AElement);
  }
  TObject::Free(AElement);
}

void TdxFader::Remove(TObject* AObject, bool ADestroying) {
  if (!AObject) return;
  TdxFadingElement* element;
  if (Find(AObject, element)) FinishElement(element, !ADestroying);
  // An object that goes while its fade is finishing must not hear from it again.
  if (ADestroying)
    for (TdxFadingElement* finishing : FFinishing)
      if (finishing->FElement == AObject) finishing->FObjectGone = true;
}

void TdxFader::Clear() {
  while (FList->Count() > 0) FinishElement(FList->Items(FList->Count() - 1), true);
}

void TdxFader::CheckList() {
  while (FList->Count() > FMaxAnimationCount) FinishElement(FList->Items(0), true);
  UpdateTimer();
}

void TdxFader::UpdateTimer() {
  const bool enable = FList->Count() > 0;
  if (enable == FTimerEnabled) return;
  if (enable) {
    if (!FWindow) {
      FWindow = AllocateMessageHWnd([this](TMessage& Message) {
        if (Message.Msg == WM_TIMER && Message.WParam == kFadingTimerId)
          DoTimer();
        else
          Message.Result = DefWindowProcW(FWindow, Message.Msg, Message.WParam, Message.LParam);
      });
    }
    FTimerEnabled = SetTimer(FWindow, kFadingTimerId, dxFadingTimerInterval, nullptr) != 0;
  } else {
    if (FWindow) KillTimer(FWindow, kFadingTimerId);
    FTimerEnabled = false;
  }
}

void TdxFader::DoTimer() {
  // A message loop run from inside a repaint must not step the fades again.
  if (FInTimer) return;
  FInTimer = true;
  try {
    const std::vector<TdxFadingElement*> elements(reinterpret_cast<TdxFadingElement* const*>(FList->List()),
                                                  reinterpret_cast<TdxFadingElement* const*>(FList->List()) +
                                                      FList->Count());
    for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
      // An element finished by an object's repaint is gone already.
      if (FList->IndexOf(*it) < 0) continue;
      if (!(*it)->Tick()) FinishElement(*it, true);
    }
  } catch (...) {
    FInTimer = false;
    throw;
  }
  FInTimer = false;
}

// ---------------------------------------------------------------------------
// TdxFadingObjectHelper
// ---------------------------------------------------------------------------

TdxFadingObjectHelper::~TdxFadingObjectHelper() {
  if (gFader) gFader->Remove(this, true);
}

void TdxFadingObjectHelper::DrawImage(HDC DC, const TRect& R) {
  if (FFadingElementData) FFadingElementData->PaintFadingFrame(DC, R);
}

// ---------------------------------------------------------------------------
// Module start-up and shutdown
// ---------------------------------------------------------------------------

TdxFader* dxGetFaderInstance() { return gFader; }

void dxFadingInitialize() {
  if (gFadingInitCount++ > 0) return;
  gFader = Make<TdxFader>();
}

void dxFadingFinalize() {
  if (gFadingInitCount == 0 || --gFadingInitCount > 0) return;
  FreeAndNil(gFader);
}
