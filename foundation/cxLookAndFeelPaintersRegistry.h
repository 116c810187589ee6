// The painter module's process-wide part: skin painters registered by name
// (a look-and-feel with a SkinName finds its painter here), and the drawing
// resources all painters share (check-box glyph size, row-indicator images,
// scroll-bar track patterns), made at the module's start-up.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxClassesComponents.h"
#include "foundation/cxLookAndFeelPainters.h"

// One registered painter. Owns Data: the entry frees it.
class TcxExtendedStylePainterInfo : public TObject {
  DECLARE_CLASS(TcxExtendedStylePainterInfo, TObject)
  TcxExtendedStylePainterInfo(const String& AName, TcxCustomLookAndFeelPainterClass APainter,
                              TObject* AData);
  ~TcxExtendedStylePainterInfo() override;

  TObject* Data() const { return FData; }
  const String& Name() const { return FName; }
  TcxCustomLookAndFeelPainterClass Painter() const { return FPainter; }

 private:
  friend class TcxExtendedStylePainters;
  TObject* FData;
  String FName;
  TcxCustomLookAndFeelPainterClass FPainter;
};

// The entries, sorted by name (case-sensitive locale order); a name is unique
// whatever its letter case. Listeners hear of every registration and removal.
class TcxExtendedStylePainters : public TcxObjectList {
  DECLARE_CLASS(TcxExtendedStylePainters, TcxObjectList)
  TcxExtendedStylePainters();
  ~TcxExtendedStylePainters() override;

  // False (and AData stays the caller's) when the name is taken in any case.
  bool Register(const String& AName, TcxCustomLookAndFeelPainterClass APainter, TObject* AData);
  // Frees the entry and its data.
  bool Unregister(const String& AName);
  // Painter is left untouched when the name is unknown.
  bool GetPainterByName(const String& AName, TcxCustomLookAndFeelPainterClass& Painter) const;
  // AName is cleared first; the first entry in name order wins.
  bool GetNameByPainter(TcxCustomLookAndFeelPainterClass APainter, String& AName) const;
  // Data is set to nil first.
  bool GetPainterData(TcxCustomLookAndFeelPainterClass APainter, TObject*& Data) const;

  void AddListener(IcxLookAndFeelPainterListener* AListener);
  void RemoveListener(IcxLookAndFeelPainterListener* AListener);
  TInterfaceList* Listeners() const { return FListeners; }

  TcxExtendedStylePainterInfo* PainterInfo(int AIndex) const {
    return static_cast<TcxExtendedStylePainterInfo*>(Items(AIndex));
  }
  const String& Names(int AIndex) const { return PainterInfo(AIndex)->Name(); }
  TcxCustomLookAndFeelPainterClass Painters(int AIndex) const {
    return PainterInfo(AIndex)->Painter();
  }

 private:
  int IndexOfName(const String& AName) const;
  void NotifyListeners(TcxCustomLookAndFeelPainterClass APainter);
  void SortByName();

  TInterfaceList* FListeners;
};

// The registry; nil before the module's start-up and after its shutdown.
TcxExtendedStylePainters* cxGetStylePainterRegistry();

// Module resources (cxCheckButtonGlyphSize, cxIndicatorImages and
// cxScrollBarPatternBitmaps are declared with the painters). The image list
// and the bitmaps are made on first use: loading them is a dozen server calls
// under Wine that most programs never need.
void cxMeasureCheckButtonGlyph();
void cxLoadIndicatorImages();
void cxFreeIndicatorImages();
void cxBuildScrollBarPatternBitmaps();
// Repaints the patterns in the current system colours; nothing while they are
// not made yet (they are made in the colours of the moment they are asked for).
void cxRefreshScrollBarPatternBitmaps();
void cxFreeScrollBarPatternBitmaps();

// Start-up: the registry and the check-box glyph size (the indicator images and
// the pattern bitmaps follow on first use). Shutdown frees the patterns, the images, then the
// registry with any entries still in it. Counted: the outermost pair acts.
// Runs before the look-and-feel module (whose root finds the registry) and
// shuts down after it.
void cxLookAndFeelPaintersRegistryInitialize();
void cxLookAndFeelPaintersRegistryFinalize();
