// The library's two top-level windows that other windows specialise: the
// hint window (topmost, never activated, kept in the work area, optionally
// animated by the system) and the popup window (a borderless stay-on-top
// form that opens next to an owner rectangle and closes when it loses the
// activation).
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/Forms.h"

#include <functional>

class TcxCanvas;

// ---------------------------------------------------------------------------
// Hint window
// ---------------------------------------------------------------------------

DECLARE_ENUM(TcxHintAnimationStyle, cxhaSlideFromLeft, cxhaSlideFromRight, cxhaSlideDownward, cxhaSlideUpward,
             cxhaSlideFromCenter, cxhaHide, cxhaActivate, cxhaFadeIn, cxhaAuto, cxhaNone)

// Hints of this many characters or more are never animated.
inline constexpr int cxHintMaxAnimatedLength = 100;

// The style a hint is shown with: none when the style is cxhaNone or the
// system's tooltip animation is off; for cxhaAuto a fade when the system's
// tooltip fade is on, else a slide downward.
TcxHintAnimationStyle cxGetHintEffectiveAnimationStyle(TcxHintAnimationStyle AStyle, bool ASystemAnimation,
                                                       bool ASystemFade);
// The AnimateWindow flags of a style, AW_SLIDE included; 0 for cxhaNone and
// cxhaAuto (which is resolved first).
DWORD cxGetHintAnimationFlags(TcxHintAnimationStyle AStyle);

using TcxAnimateWindowProc = BOOL(WINAPI*)(HWND AWnd, DWORD ATime, DWORD AFlags);
// user32's AnimateWindow (looked up by name once), or the replacement set;
// null when the system has none.
TcxAnimateWindowProc cxGetAnimateWindowProc();
// Replaces the entry point (tests); null returns to the system's. Returns the
// previous replacement.
TcxAnimateWindowProc cxSetAnimateWindowProc(TcxAnimateWindowProc AProc);

// {BE228118-851E-4C8D-8A31-58E26AA4F88B}
inline constexpr GUID IID_IcxHintAreaTarget = {
    0xBE228118, 0x851E, 0x4C8D, {0x8A, 0x31, 0x58, 0xE2, 0x6A, 0xA4, 0xF8, 0x8B}};

// A hint window that wants to know the area its hint belongs to before the
// next ActivateHint.
class IcxHintAreaTarget {
 public:
  virtual void SetHintAreaBounds(const TRect& ABounds) = 0;

 protected:
  ~IcxHintAreaTarget() = default;
};

class TcxBaseHintWindow : public THintWindow, public IcxHintAreaTarget {
  DECLARE_CLASS(TcxBaseHintWindow, THintWindow)
  explicit TcxBaseHintWindow(TComponent* AOwner);

  // Shows the hint in ARect (screen, moved into the work area) without
  // taking the activation; animated for hints shorter than 100 characters.
  void ActivateHint(TRect ARect, const String& AHint) override;
  // Keeps the window inside the work area of the monitor nearest to
  // (ALeft, ATop); the size is not changed.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void CreateParams(TCreateParams& Params) override;
  void SetHintAreaBounds(const TRect& ABounds) override;

  TcxHintAnimationStyle GetAnimationStyle() const { return FAnimationStyle; }
  void SetAnimationStyle(TcxHintAnimationStyle AValue) { FAnimationStyle = AValue; }
  // Milliseconds.
  int GetAnimationDelay() const { return FAnimationDelay; }
  void SetAnimationDelay(int AValue) { FAnimationDelay = AValue; }
  // bsNone (the default) takes WS_BORDER away; the window is made again when
  // it exists.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle AValue);
  bool GetNeedEraseBackground() const { return FNeedEraseBackground; }
  void SetNeedEraseBackground(bool AValue) { FNeedEraseBackground = AValue; }
  // True: the window behaves exactly like the platform's hint window.
  bool GetStandardHint() const { return FStandardHint; }
  void SetStandardHint(bool AValue);
  // The hint area handed in for the ActivateHint that runs next.
  const TRect& HintAreaBounds() const { return FHintAreaBounds; }

 protected:
  virtual void AdjustHintBounds(TRect& ARect);
  // SetWindowRgn with no region.
  virtual void ClearWindowRegion();
  virtual void UpdateWindowRegion();
  // SW_SHOWNOACTIVATE.
  virtual void ShowWithoutActivation();
  // Runs AnimateWindow with the effective style, if any.
  void Animate();

  void CMTextChanged(TMessage& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMNCHitTest(TWMNCHitTest& Message);
  void WMNCPaint(TMessage& Message);

 private:
  TcxHintAnimationStyle FAnimationStyle = cxhaAuto;
  int FAnimationDelay = 100;
  TBorderStyle FBorderStyle = bsNone;
  TRect FHintAreaBounds;
  bool FNeedEraseBackground = false;
  bool FStandardHint = false;
};

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

DECLARE_ENUM(TcxPopupAlignHorz, pahLeft, pahCenter, pahRight)
DECLARE_ENUM(TcxPopupAlignVert, pavTop, pavCenter, pavBottom)
DECLARE_ENUM(TcxPopupDirection, pdHorizontal, pdVertical)
DECLARE_ENUM(TcxPopupBorderStyle, pbsNone, pbsUltraFlat, pbsFlat, pbs3D)

// The work area that applies to an anchor point (screen).
using TcxWorkAreaLookup = std::function<TRect(const TPoint& AAnchor)>;

// Where a popup of ASize opens next to AOwnerBounds (screen):
// pdVertical below (pavBottom) or above (pavTop), pdHorizontal left (pahLeft)
// or right (pahRight); the other axis aligned to an owner edge or centred.
// The popup flips to the other side when it does not fit and that side has
// more room; it is clamped into the work area only on the axis it does not
// open along (and on a centred axis), so a popup that fits on neither side
// may run past the work area's edge. AWorkArea gives the work area of the
// monitor nearest to the anchor point.
TPoint cxCalculatePopupPosition(const TRect& AOwnerBounds, const TSize& ASize, TcxPopupDirection ADirection,
                                TcxPopupAlignHorz AAlignHorz, TcxPopupAlignVert AAlignVert,
                                const TcxWorkAreaLookup& AWorkArea);

class TcxPopupWindow : public TForm {
  DECLARE_CLASS(TcxPopupWindow, TForm)
  // A form without stored definition and without owner: no border, stay on
  // top, placed on the desktop; hidden until Popup.
  TcxPopupWindow();
  ~TcxPopupWindow() override;

  // Sizes the window around its children, places it next to the owner and
  // shows it.
  virtual void Popup();
  // Hides the window (it is not freed).
  virtual void CloseUp();

  // ---- properties
  bool GetAdjustable() const { return FAdjustable; }
  void SetAdjustable(bool AValue) { FAdjustable = AValue; }
  TcxPopupAlignHorz GetAlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TcxPopupAlignHorz AValue) { FAlignHorz = AValue; }
  TcxPopupAlignVert GetAlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxPopupAlignVert AValue) { FAlignVert = AValue; }
  // Space between the frame and the content.
  int GetBorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(int AValue);
  // The popup's own frame (the form itself has no border).
  TcxPopupBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxPopupBorderStyle AValue);
  TcxPopupDirection GetDirection() const { return FDirection; }
  void SetDirection(TcxPopupDirection AValue) { FDirection = AValue; }
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor AValue) { FFrameColor = AValue; }
  // In client coordinates of OwnerParent (screen without OwnerParent).
  const TRect& GetOwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& AValue) { FOwnerBounds = AValue; }
  TControl* GetOwnerParent() const { return FOwnerParent; }
  void SetOwnerParent(TControl* AValue);
  // The client rectangle inside the frame and the border space.
  TRect ClientBounds() { return GetClientBounds(); }
  TRect OwnerScreenBounds() { return GetOwnerScreenBounds(); }
  TcxCanvas* cxCanvas() const { return FCanvas; }
  // The window that lost the activation to the popup.
  HWND PrevActiveWindow() const { return FPrevActiveWindow; }

  // Its screen position next to OwnerScreenBounds.
  virtual void CalculatePosition(TPoint& APosition);
  // With Adjustable: the children are moved inside the frame and the window
  // is sized around them.
  virtual void CalculateSize();
  // 0 left, 1 top, 2 right, 3 bottom.
  virtual int ContentIndent(int ASide);
  virtual int GetBorderSize();

  void Notification(TComponent* AComponent, TOperation operation) override;

 protected:
  virtual TRect GetClientBounds();
  virtual TRect GetOwnerScreenBounds();
  virtual void InheritOwnerFont();
  virtual void DrawFrame();

  void Paint() override;
  void Deactivate() override;

  void WMActivate(TWMActivate& Message);
  void WMActivateApp(TWMActivateApp& Message);

 private:
  // Moves the children back by the indents CalculateSize applied.
  void RemoveContentOffset();

  bool FAdjustable = true;
  TcxPopupAlignHorz FAlignHorz = pahLeft;
  TcxPopupAlignVert FAlignVert = pavBottom;
  int FBorderSpace = 0;
  TcxPopupBorderStyle FBorderStyle = pbsNone;
  TcxCanvas* FCanvas = nullptr;
  TcxPopupDirection FDirection = pdVertical;
  TColor FFrameColor = clWindowText;
  TRect FOwnerBounds;
  TControl* FOwnerParent = nullptr;
  HWND FPrevActiveWindow = nullptr;
  // The left and top indents the children are moved by now.
  TPoint FAppliedContentOffset;
};
