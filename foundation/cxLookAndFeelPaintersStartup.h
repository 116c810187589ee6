// Radio-button glyphs computed at run time from the platform's own radio
// glyph (so they match its size), painted in the colours of each look, state
// and check state; and the start-up of the painters' module.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

#include <vector>

class TImageList;

class TcxRadioButtonImageList : public TObject {
  DECLARE_CLASS(TcxRadioButtonImageList, TObject)
  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;

  // Builds the images when the list is empty.
  void Prepare();
  // Rebuilds the images in the current system colours.
  void Reset();
  TSize Size() const;
  // ABrushColor clDefault draws the glyph masked over the canvas; any other
  // colour draws an opaque square of that colour with the glyph on it.
  void Draw(TcxCanvas* ACanvas, int X, int Y, TColor ABrushColor,
            TcxLookAndFeelKind ALookAndFeelKind, TcxButtonState AButtonState, bool AChecked,
            bool AFocused, bool AIsDesigning);

  // Pattern codes of the glyph's pixels.
  enum : int { pcNone, pcOuterUL, pcOuterLR, pcInnerUL, pcInnerLR, pcFace, pcDot };
  int PatternCode(int ARow, int ACol) const { return FRadioButtonPattern[ARow][ACol]; }
  const TRect& RadioButtonCheckRect() const { return FRadioButtonCheckRect; }
  const TRect& RadioButtonRect() const { return FRadioButtonRect; }
  // The colour a pattern code is painted in for one combination.
  static TColor PatternColor(int ACode, TcxLookAndFeelKind AKind, TcxButtonState AState,
                             bool AChecked, bool AFocused, bool AIsDesigning);

 private:
  void Measure();
  void BuildPattern();

  TBitmap* FButtonMask = nullptr;
  TImageList* FList = nullptr;
  TRect FRadioButtonCheckRect;
  std::vector<std::vector<int>> FRadioButtonPattern;
  TRect FRadioButtonRect;
};

// The shared list; the first call creates and prepares it.
TcxRadioButtonImageList* cxGetRadioButtonImageList();

// The painters' module: skin-painter registry, indicator images, scroll-bar
// patterns, check-box glyph size, the radio glyphs and their system-colour
// notifier.
void cxLookAndFeelPaintersInitialize();
void cxLookAndFeelPaintersFinalize();
