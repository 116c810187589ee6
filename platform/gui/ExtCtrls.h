// Extra controls of the platform class library: the panel (a container with
// raised or lowered bevels and a centred caption) and the bevel (a box, frame
// or line in 3-D colours), and the routine both paint their edges with.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/StdCtrls.h"

DECLARE_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
using TPanelBevel = TBevelCut;
using TBevelWidth = int;
DECLARE_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
DECLARE_ENUM(TBevelStyle, bsLowered, bsRaised)

// Draws Width nested frames inward from Rect: TopColor on the left and top
// edges, BottomColor on the right and bottom ones (including the top-right
// and bottom-left corner pixels). Rect comes back shrunk by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------------------
// TCustomPanel, TPanel
// ---------------------------------------------------------------------------

class TCustomPanel : public TCustomControl {
  DECLARE_CLASS(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* AOwner);

  void CreateParams(TCreateParams& Params) override;
  // The children are aligned inside the bevels.
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // Repaints the whole panel when its size changes (the bevels move).
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }
  // A locked panel stays when the in-place object that owns it is replaced;
  // kept for the stored definitions.
  bool Locked() const { return locked_; }
  void SetLocked(bool value) { locked_ = value; }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);

 protected:
  void CMTextChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void WMWindowPosChanged(TWMWindowPosMsg& Message);

 private:
  int BevelSize() const;
  TAlignment alignment_ = taCenter;
  TPanelBevel bevelInner_ = bvNone;
  TPanelBevel bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
  bool locked_ = false;
  bool showCaption_ = true;
};

class TPanel : public TCustomPanel {
  DECLARE_CLASS(TPanel, TCustomPanel)
  using TCustomPanel::TCustomPanel;
};

// ---------------------------------------------------------------------------
// TBevel
// ---------------------------------------------------------------------------

class TBevel : public TGraphicControl {
  DECLARE_CLASS(TBevel, TGraphicControl)
  explicit TBevel(TComponent* AOwner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};
