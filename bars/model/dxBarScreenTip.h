// Screen tips: larger hints of bar items with a header, a description and a
// footer, each a text with an optional picture, kept in a repository
// component with the fonts they are drawn in and a standard footer that tips
// may share.
#pragma once

#include "bars/model/dxBarBase.h"

class TBitmap;
class TFont;
class TdxBarScreenTip;
class TdxBarScreenTipRepository;

DECLARE_ENUM(TdxBarScreenTipBandType, stbHeader, stbDescription, stbFooter)
DECLARE_ENUM(TdxBarScreenTipBandTextAlign, stbtaLeft, stbtaRight)
using TdxScreenTipRepositoryFonts = TSet<TdxBarScreenTipBandType, 4>;

// A length given at 96 dpi, in the screen's pixels (rounded, halves to even).
int dxBarScaleToScreenDPI(int AValue);

// One part of a tip: a text and a picture. With stbtaRight the picture
// stands at the left and the text to its right; with stbtaLeft the picture
// stands at the right.
class TdxBarCustomScreenTipBand : public TPersistent {
  DECLARE_CLASS(TdxBarCustomScreenTipBand, TPersistent)
  explicit TdxBarCustomScreenTipBand(TdxBarScreenTipBandType ABandType);
  ~TdxBarCustomScreenTipBand() override;
  void Assign(TPersistent* Source) override;

  TdxBarScreenTipBandType BandType() const { return FBandType; }
  TBitmap* Glyph() const { return FGlyph; }
  // Copies the picture.
  void SetGlyph(TBitmap* AValue);
  const String& Text() const { return FText; }
  void SetText(const String& AValue);
  TdxBarScreenTipBandTextAlign TextAlign() const { return FTextAlign; }
  void SetTextAlign(TdxBarScreenTipBandTextAlign AValue);
  // The font the band is drawn in; nil when the band belongs to nothing.
  virtual TFont* Font() = 0;

  TNotifyEvent OnChange;

 protected:
  void Changed();

 private:
  void GlyphChanged(TObject*) { Changed(); }

  TdxBarScreenTipBandType FBandType;
  TBitmap* FGlyph;
  String FText;
  TdxBarScreenTipBandTextAlign FTextAlign = stbtaRight;
};

class TdxBarScreenTipBand : public TdxBarCustomScreenTipBand {
  DECLARE_CLASS(TdxBarScreenTipBand, TdxBarCustomScreenTipBand)
  TdxBarScreenTipBand(TdxBarScreenTip* AScreenTip, TdxBarScreenTipBandType ABandType);
  TdxBarScreenTip* ScreenTip() const { return FScreenTip; }
  TFont* Font() override;

 private:
  TdxBarScreenTip* FScreenTip;
};

// The repository's standard footer.
class TdxBarScreenTipFooterBand : public TdxBarCustomScreenTipBand {
  DECLARE_CLASS(TdxBarScreenTipFooterBand, TdxBarCustomScreenTipBand)
  explicit TdxBarScreenTipFooterBand(TdxBarScreenTipRepository* ARepository);
  TdxBarScreenTipRepository* Repository() const { return FRepository; }
  TFont* Font() override;

 private:
  TdxBarScreenTipRepository* FRepository;
};

// A tip: a component of the form listed in its repository's collection.
class TdxBarScreenTip : public TcxComponentCollectionItem {
  DECLARE_CLASS(TdxBarScreenTip, TcxComponentCollectionItem)
  explicit TdxBarScreenTip(TComponent* AOwner);
  ~TdxBarScreenTip() override;
  // A shown screen tip goes first: its view reads this tip when it paints.
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;
  void SetName(const String& ANewName) override;
  String GetDisplayName() override;

  TdxBarScreenTipBand* Header() const { return FBands[stbHeader]; }
  void SetHeader(TdxBarScreenTipBand* AValue) { FBands[stbHeader]->Assign(AValue); }
  TdxBarScreenTipBand* Description() const { return FBands[stbDescription]; }
  void SetDescription(TdxBarScreenTipBand* AValue) { FBands[stbDescription]->Assign(AValue); }
  TdxBarScreenTipBand* Footer() const { return FBands[stbFooter]; }
  void SetFooter(TdxBarScreenTipBand* AValue) { FBands[stbFooter]->Assign(AValue); }
  bool UseHintAsHeader() const { return FUseHintAsHeader; }
  void SetUseHintAsHeader(bool AValue) { FUseHintAsHeader = AValue; }
  bool UseStandardFooter() const { return FUseStandardFooter; }
  void SetUseStandardFooter(bool AValue) { FUseStandardFooter = AValue; }
  int Width() const { return FWidth; }
  void SetWidth(int AValue) { FWidth = AValue; }

  // Nil outside a repository.
  TdxBarScreenTipRepository* Repository() const;
  // Width, or when 0 what the description's picture asks (210 or 318 pixels
  // at 96 dpi).
  int EffectiveWidth();
  // The band shown for a type: the standard footer in place of the own one
  // when asked for.
  TdxBarCustomScreenTipBand* BandForType(TdxBarScreenTipBandType AType);

 protected:
  TcxComponentCollection* CollectionOfParent(TComponent* AParent) override;

 private:
  TdxBarScreenTipBand* FBands[3];
  bool FUseHintAsHeader = false;
  bool FUseStandardFooter = false;
  int FWidth = 0;
};

class TdxBarScreenTipCollection : public TcxComponentCollection {
  DECLARE_CLASS(TdxBarScreenTipCollection, TcxComponentCollection)
  explicit TdxBarScreenTipCollection(TdxBarScreenTipRepository* ARepository);
  TdxBarScreenTipRepository* Repository() const { return FRepository; }
  // A new tip, named uniquely among the components of the repository's owner.
  TdxBarScreenTip* Add();
  TdxBarScreenTip* Items(int AIndex) const {
    return static_cast<TdxBarScreenTip*>(TcxComponentCollection::Items(AIndex));
  }

 private:
  TdxBarScreenTipRepository* FRepository;
};

class TdxBarScreenTipRepository : public TComponent {
  DECLARE_CLASS(TdxBarScreenTipRepository, TComponent)
  explicit TdxBarScreenTipRepository(TComponent* AOwner);
  ~TdxBarScreenTipRepository() override;
  void AfterConstruction() override;
  void Assign(TPersistent* Source) override;
  void GetChildren(TGetChildProc AProc, TComponent* ARoot) override;

  TdxScreenTipRepositoryFonts AssignedFonts() const { return FAssignedFonts; }
  void SetAssignedFonts(TdxScreenTipRepositoryFonts AValue) { FAssignedFonts = AValue; }
  TdxBarScreenTipCollection* Items() const { return FItems; }
  TFont* HeaderFont() const { return FFonts[stbHeader]; }
  void SetHeaderFont(TFont* AValue);
  TFont* DescriptionFont() const { return FFonts[stbDescription]; }
  void SetDescriptionFont(TFont* AValue);
  TFont* FooterFont() const { return FFonts[stbFooter]; }
  void SetFooterFont(TFont* AValue);
  TdxBarScreenTipFooterBand* StandardFooter() const { return FStandardFooter; }
  void SetStandardFooter(TdxBarScreenTipFooterBand* AValue) { FStandardFooter->Assign(AValue); }
  bool ShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool AValue) { FShowDescription = AValue; }

  // The stored font of a type when assigned, else the system's hint font in
  // the tips' grey (bold for header and footer).
  virtual TFont* BandFont(TdxBarScreenTipBandType AType);
  TFont* SystemBandFont(TdxBarScreenTipBandType AType);

 protected:
  virtual TdxBarScreenTipCollection* CreateItems();

 private:
  void MarkFontAssigned(TObject* Sender);
  void SetBandFontDefaults(TFont* AFont, TdxBarScreenTipBandType AType);

  TdxScreenTipRepositoryFonts FAssignedFonts;
  TFont* FFonts[3] = {};
  TdxBarScreenTipCollection* FItems = nullptr;
  bool FShowDescription = true;
  TdxBarScreenTipFooterBand* FStandardFooter = nullptr;
  TFont* FSystemFont = nullptr;
};

// Whether a band shows: it has a text or a picture (a header also when an
// item hint stands in for its text).
bool dxBarScreenTipBandShown(TdxBarCustomScreenTipBand* ABand, const String& AHintText);
