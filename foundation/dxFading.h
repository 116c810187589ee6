// Fading: a screen element cross-fades between its normal and its hot look
// over a few frames when the mouse enters or leaves it. One process-wide
// TdxFader drives every running fade from a single 10 ms timer; each fade is
// a TdxFadingElement holding the two captured images and the current frame.
// The faded object implements IdxFadingObject (usually through a
// TdxFadingObjectHelper) and repaints the current frame when told to.
//
// An object that implements IdxFadingObject must call
// dxGetFaderInstance()->Remove(this, true) before it goes (the helper does so
// itself): the fader then forgets it without calling it again.
#pragma once

#include "foundation/cxClasses.h"
#include "foundation/dxGDIPlusClasses.h"

#include <vector>

class TdxFader;

DECLARE_ENUM(TdxFadingState, fsFadeIn, fsFadeOut)
DECLARE_ENUM(TdxFaderAnimationState, fasDefault, fasEnabled, fasDisabled)

// Timing defaults and limits (frames, milliseconds).
constexpr int dxFadeInDefaultAnimationFrameCount = 4;
constexpr int dxFadeInDefaultAnimationFrameDelay = 15;
constexpr int dxFadeOutDefaultAnimationFrameCount = 12;
constexpr int dxFadeOutDefaultAnimationFrameDelay = 20;
constexpr int dxFadingMaxAnimationFrameCount = 32;
constexpr int dxFadingMinAnimationFrameDelay = 10;
constexpr int dxFadingMaxAnimationFrameDelay = 300;
constexpr int dxFadingTimerInterval = 10;
constexpr int dxFadingDefaultMaxAnimationCount = 10;

// The frames of one running fade.
class IdxFadingElementData {
 public:
  // Draws the current frame stretched into R; false when there is none.
  virtual bool PaintFadingFrame(HDC DC, const TRect& R) = 0;
  // The current frame (the element keeps it); false when there is none.
  virtual bool GetFadingFrame(TdxGPImage*& AImage) = 0;

 protected:
  ~IdxFadingElementData() = default;
};

class IdxFadingObject {
 public:
  virtual bool IsFadingAllowed() = 0;
  // The current frame changed: repaint the faded part.
  virtual void RefreshFadingFrame() = 0;
  // A fade started; AData draws its frames until DetachFadingData.
  virtual void AttachFadingData(IdxFadingElementData* AData) = 0;
  virtual void DetachFadingData() = 0;
  // The normal and the hot image, 32-bit bitmaps the caller frees, and the
  // timing, pre-filled with the defaults.
  virtual void ProvideFadingImages(TBitmap*& AFadeOutImage, TBitmap*& AFadeInImage, int& AFadeInFrameCount,
                                   int& AFadeInFrameDelay, int& AFadeOutFrameCount, int& AFadeOutFrameDelay) = 0;

 protected:
  ~IdxFadingObject() = default;
};

class TdxFadingElement : public TcxIUnknownObject, public IdxFadingElementData {
  DECLARE_CLASS(TdxFadingElement, TcxIUnknownObject)
  // Takes over neither bitmap: their pixels are copied into GDI+ images.
  TdxFadingElement(TdxFader* AOwner, TObject* AElement, TdxFadingState AState, TBitmap* AFadeOutImage,
                   TBitmap* AFadeInImage, int AFadeInAnimationFrameCount, int AFadeInAnimationFrameDelay,
                   int AFadeOutAnimationFrameCount, int AFadeOutAnimationFrameDelay);
  ~TdxFadingElement() override;

  // Attaches the data to the object and shows the first frame.
  void Initialize();
  // Shows the last frame and detaches (the fader's list drops the element).
  void Finalize();

  bool PaintFadingFrame(HDC DC, const TRect& R) override;
  bool GetFadingFrame(TdxGPImage*& AImage) override;

  TObject* Element() const { return FElement; }
  TdxFadingState State() const { return FState; }
  // Turns a running fade round.
  void SetState(TdxFadingState AValue);
  TdxGPImage* FadingWorkImage() const { return FFadingWorkImage; }
  int Stage() const { return FStage; }
  int FadeInAnimationFrameCount() const { return FFadeInAnimationFrameCount; }
  int FadeInAnimationFrameDelay() const { return FFadeInAnimationFrameDelay; }
  int FadeOutAnimationFrameCount() const { return FFadeOutAnimationFrameCount; }
  int FadeOutAnimationFrameDelay() const { return FFadeOutAnimationFrameDelay; }
  // Timer ticks per frame in the current direction.
  int FadingDelayCount() const { return FFadingDelayCount; }

  // The opacity of the hot image at a stage of a direction.
  static int CalculateAlpha(TdxFadingState AState, int AFrameCount, int AStage);

 private:
  friend class TdxFader;
  // One timer tick; false when the element has reached its last frame.
  bool Tick();
  void ResetDelay();
  void SetWorkImage(TdxGPImage* AImage);
  TdxGPImage* CreateImage(TBitmap* ABitmap);
  int FrameCount() const;

  TObject* FElement;
  IdxFadingObject* FFadingObject;
  TdxFader* FOwner;
  TdxFadingState FState;
  int FFadeInAnimationFrameCount;
  int FFadeInAnimationFrameDelay;
  int FFadeOutAnimationFrameCount;
  int FFadeOutAnimationFrameDelay;
  TdxGPImage* FFadeInImage = nullptr;
  TdxGPImage* FFadeOutImage = nullptr;
  TdxGPImage* FFadingWorkImage = nullptr;
  int FFadingDelayCount = 1;
  int FFadingDelayIndex = 0;
  int FStage = 0;
  // The object said it goes while this element was calling it.
  bool FObjectGone = false;
};

// The running elements; Clear frees them.
class TdxFadingList : public TList {
  DECLARE_CLASS(TdxFadingList, TList)
  TdxFadingList() = default;
  ~TdxFadingList() override;
  void Clear() override;
  TdxFadingElement* Items(int AIndex) const { return static_cast<TdxFadingElement*>(Get(AIndex)); }
};

class TdxFader : public TObject {
  DECLARE_CLASS(TdxFader, TObject)
  TdxFader();
  // Frees every element (without calling their objects), then the timer.
  ~TdxFader() override;

  // Starts (or turns round) a fade of the object towards its hot / normal image.
  void FadeIn(TObject* AObject);
  void FadeOut(TObject* AObject);
  // Ends the object's fade at once. With ADestroying the object is not called
  // any more: it is on its way out.
  void Remove(TObject* AObject, bool ADestroying = false);
  bool Find(TObject* AObject, TdxFadingElement*& AElement);
  bool Contains(TObject* AObject);
  // Ends every fade.
  void Clear();

  // Animation allowed (State, or the system's menu-animation setting), GDI+
  // ready and a screen of more than 16 bits per pixel.
  bool IsReady();
  int MaxAnimationCount() const { return FMaxAnimationCount; }
  // Clamped to 0..20; running fades beyond it finish, the oldest first.
  void SetMaxAnimationCount(int AValue);
  TdxFaderAnimationState State() const { return FState; }
  void SetState(TdxFaderAnimationState AValue) { FState = AValue; }
  int Count() const { return FList->Count(); }
  TdxFadingElement* Items(int AIndex) const { return FList->Items(AIndex); }
  bool IsTimerEnabled() const { return FTimerEnabled; }

  // One step of every running fade (the timer's handler).
  void DoTimer();

 private:
  friend class TdxFadingElement;
  void Fade(TObject* AObject, TdxFadingState AState);
  void AddElement(TdxFadingElement* AElement);
  // Takes the element out of the list; with ANotify it shows its last frame
  // and detaches it from its object first. Then frees it.
  void FinishElement(TdxFadingElement* AElement, bool ANotify);
  void CheckList();
  void UpdateTimer();

  TdxFadingList* FList;
  // Elements that are finishing and may still call their objects.
  std::vector<TdxFadingElement*> FFinishing;
  int FMaxAnimationCount = dxFadingDefaultMaxAnimationCount;
  TdxFaderAnimationState FState = fasDefault;
  HWND FWindow = nullptr;
  bool FTimerEnabled = false;
  bool FInTimer = false;
};

// Objects faded by the fader derive from this helper and say when they can
// fade, how they repaint and what their two images are.
class TdxFadingObjectHelper : public TcxIUnknownObject, public IdxFadingObject {
  DECLARE_CLASS(TdxFadingObjectHelper, TcxIUnknownObject)
  TdxFadingObjectHelper() = default;
  // Leaves the fader without being called back.
  ~TdxFadingObjectHelper() override;

  // Paints the current frame when a fade runs.
  void DrawImage(HDC DC, const TRect& R);
  bool IsEmpty() const { return FFadingElementData == nullptr; }

  bool IsFadingAllowed() override { return CanFadeNow(); }
  void RefreshFadingFrame() override { RepaintOwner(); }
  void AttachFadingData(IdxFadingElementData* AData) override { FFadingElementData = AData; }
  void DetachFadingData() override { FFadingElementData = nullptr; }
  void ProvideFadingImages(TBitmap*& AFadeOutImage, TBitmap*& AFadeInImage, int& AFadeInFrameCount,
                           int& AFadeInFrameDelay, int& AFadeOutFrameCount, int& AFadeOutFrameDelay) override {
    CaptureFadeFrames(AFadeOutImage, AFadeInImage, AFadeInFrameCount, AFadeInFrameDelay, AFadeOutFrameCount,
                      AFadeOutFrameDelay);
  }

 protected:
  virtual bool CanFadeNow() { return false; }
  virtual void RepaintOwner() {}
  virtual void CaptureFadeFrames(TBitmap*& /*AFadeOutImage*/, TBitmap*& /*AFadeInImage*/,
                                 int& /*AFadeInFrameCount*/, int& /*AFadeInFrameDelay*/,
                                 int& /*AFadeOutFrameCount*/, int& /*AFadeOutFrameDelay*/) {}

 private:
  IdxFadingElementData* FFadingElementData = nullptr;
};

// The process's fader; null before the module's start-up and after its shutdown.
TdxFader* dxGetFaderInstance();

// Module start-up and shutdown.
void dxFadingInitialize();
void dxFadingFinalize();
