// The drop shadow of a bar window: strips along its right and bottom edges.
// A bar attached to its owner (a menu right under the button that opened it)
// shares one outline with that owner, so the two shadows join without
// overlapping. Each strip is a small popup window behind the bar: with
// layered windows an alpha image of black fading outwards, else a solid
// strip in the button-shadow colour.
//
// The bar window owns one TdxBarShadow: it gives it its screen rectangle
// (and its owner's) whenever it moves or changes size, and says whether the
// shadow shows.
#pragma once

#include "platform/gui/Controls.h"

#include <array>
#include <vector>

class TcxBitmap32;
class TdxBarShadowPart;

DECLARE_ENUM(TdxBarShadowPartKind, spHorizontal, spVertical)
// The ends of a strip whose alpha fades out: the left and right ends of a
// horizontal strip, the top end of a vertical one. Scoped: the platform's
// scroll codes already name a global scTop.
enum class TdxBarShadowCorner : int { scLeft, scRight, scTop };
DECLARE_ENUM_INFO(TdxBarShadowCorner, L"scLeft, scRight, scTop")
using TdxBarShadowCorners = TSet<TdxBarShadowCorner, 8>;

// The two rectangles of a shadow outline in screen coordinates: R1 the
// upper (horizontal case) or left (vertical case) one, R2 the other; an
// empty owner rectangle means a bar on its own.
struct TdxBarShadowOutline {
  TRect R1;
  TRect R2;
  // The owner lies above or below the bar, or there is no owner.
  bool Horizontal = true;
};
TdxBarShadowOutline dxBarShadowOutline(const TRect& AOwnerRect, const TRect& ABarRect);

// One strip of an outline.
struct TdxBarShadowPartInfo {
  TRect Bounds;
  TdxBarShadowPartKind Kind = spHorizontal;
  TdxBarShadowCorners Corners;
};
// The strips of an outline for a shadow of AShadowSize pixels, in the order
// they are made; empty rectangles are left out.
std::vector<TdxBarShadowPartInfo> dxBarShadowParts(const TdxBarShadowOutline& AOutline, int AShadowSize);
// A strip with faded ends smaller than the shadow in either direction is not shown.
bool dxBarShadowPartIsValid(const TdxBarShadowCorners& ACorners, int AWidth, int AHeight, int AShadowSize);
// The alpha image of a strip: black pixels (premultiplied), rows bottom-up
// as a 32-bit bitmap takes them.
std::vector<RGBQUAD> dxBarShadowImage(TdxBarShadowPartKind AKind, const TdxBarShadowCorners& ACorners, int AWidth,
                                      int AHeight, int AShadowSize);

class TdxBarShadow : public TObject {
  DECLARE_CLASS(TdxBarShadow, TObject)
  static constexpr int MaxParts = 5;

  // The owner is the bar window.
  explicit TdxBarShadow(TWinControl* AOwner);
  ~TdxBarShadow() override;

  // Layered windows are available and the screen shows more than 256 colours.
  static bool Transparent();
  // 4 pixels with layered windows, else 2.
  static int ShadowSize();

  TWinControl* Owner() const { return FOwner; }
  bool Horizontal() const { return FHorizontal; }
  const TRect& R1() const { return FR1; }
  const TRect& R2() const { return FR2; }
  bool Visible() const { return FVisible; }
  // Shows or hides every strip.
  void SetVisible(bool AValue);
  // Takes the owner's and the bar's screen rectangles and rebuilds the strips.
  void SetOwnerBounds(const TRect& AOwnerRect, const TRect& ABarRect);
  // The bar window moved or changed size: the strips no longer fit it until
  // the next SetOwnerBounds.
  void BoundsChanged() { FStaleBounds = true; }
  bool HasStaleBounds() const { return FStaleBounds; }
  // Rebuilds the strips (after a change of the system colours or the screen).
  void Refresh();
  // Puts the shown strips right behind the bar window again (after the bar
  // went up or down in the z-order).
  void KeepBehindOwner();

  int PartCount() const;
  TdxBarShadowPart* Parts(int AIndex) const { return FParts.at(AIndex); }

 private:
  using TParts = std::array<TdxBarShadowPart*, MaxParts>;
  TParts BuildShadowParts();
  static void FreeParts(TParts& AParts);

  TWinControl* FOwner;
  TParts FParts{};
  bool FHorizontal = true;
  bool FVisible = false;
  bool FStaleBounds = true;
  TRect FR1;
  TRect FR2;
};

// One strip: a popup window owned by the bar window, placed right behind it.
class TdxBarShadowPart : public TCustomControl {
  DECLARE_CLASS(TdxBarShadowPart, TCustomControl)
  TdxBarShadowPart(TdxBarShadow* AOwner, const TdxBarShadowCorners& ACorners, TdxBarShadowPartKind AKind);
  ~TdxBarShadowPart() override;

  const TdxBarShadowCorners& Corners() const { return FCorners; }
  TdxBarShadowPartKind Kind() const { return FKind; }
  // The alpha image (layered windows only; nil for an invalid strip).
  TcxBitmap32* Image() const { return FImage; }
  bool IsValid() const;
  // Takes its screen rectangle, computes its image and shows itself when
  // the shadow is visible.
  void UpdateBounds(const TRect& ARect);
  // Shown without activation right behind the bar window.
  void Show();
  // Hidden, and its window destroyed (a later Show makes a new one).
  void Hide();
  void KeepBehindOwner();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  void WMNCHitTest(TMessage& Message);
  HWND OwnerWindow() const;
  // The strips are layered windows (per-pixel alpha, or solid at full opacity).
  static bool LayeredStrips();

  TdxBarShadowCorners FCorners;
  TcxBitmap32* FImage = nullptr;
  TdxBarShadowPartKind FKind;
  TdxBarShadow* FOwner;
};
