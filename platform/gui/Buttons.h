// Buttons with pictures: TBitBtn, an owner-drawn push button that shows a
// glyph (a strip of up to four images: up, disabled, down, held down) beside
// its caption, with stock captions, glyphs and modal results per Kind.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/StdCtrls.h"

DECLARE_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
DECLARE_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
DECLARE_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew)
DECLARE_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll)
using TNumGlyphs = int;

// Where a glyph of GlyphSize and a caption go in Client: the glyph's
// top-left corner and the caption's rectangle. The caption is measured with
// the font selected into DC. Margin -1 centres the pair; Spacing -1 spreads
// the free room evenly (with Margin -1: a third each side and between).
void CalcButtonLayout(HDC DC, const TRect& Client, const String& Caption, TSize GlyphSize,
                      TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds);

class TBitBtn : public TButton {
  DECLARE_CLASS(TBitBtn, TButton)
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  void CreateParams(TCreateParams& Params) override;
  // bkClose closes the parent form; bkHelp shows the help of the nearest
  // control with a help context; the other kinds click as a TButton.
  void Click() override;

  // The glyph strip; setting it copies the bitmap.
  TBitmap* Glyph() const { return glyph_; }
  void SetGlyph(TBitmap* value);
  // Images in the strip (1..4); a strip that divides evenly by its height
  // sets it by itself when loaded.
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs value);
  // The kind is bkCustom again once caption-independent settings differ
  // from the kind's (default, cancel, modal result, glyph).
  TBitBtnKind Kind();
  void SetKind(TBitBtnKind value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle value);
  bool IsCustomGlyph();

 protected:
  // Paints the button into the DC of the draw-item notification.
  virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);
  // An owner-drawn button draws its default frame itself.
  void SetButtonStyle(bool ADefault) override;

  void CNDrawItem(TWMDrawItem& Message);
  void WMLButtonDblClk(TWMMouse& Message);
  void CMFontChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);

 private:
  void GlyphChanged(TObject* Sender);
  void DrawGlyph(HDC DC, TPoint Pos, TButtonState State);

  TBitmap* glyph_;
  TCanvas* canvas_;
  TNumGlyphs numGlyphs_ = 1;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  TButtonStyle style_ = bsAutoDetect;
  int margin_ = -1;
  int spacing_ = 4;
  bool isFocused_ = false;
  bool modifiedGlyph_ = false;
  bool settingKind_ = false;
};
