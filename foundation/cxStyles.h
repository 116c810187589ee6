// Styles: appearance settings (background bitmap and colour, font, text
// colour) kept in components of their own and shared. A TcxStyle sits in a
// TcxStyleRepository; a TcxCustomStyles object (the style slots of a control
// or an item) refers to styles by index and falls back to a style sheet, a
// named set of slots that may chain to another sheet.
#pragma once

#include "foundation/cxClasses.h"
#include "platform/gui/Graphics.h"

#include <vector>

class TcxCustomStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

// Class references of the style families, with their constructors' arguments.
using TcxCustomStyleClass = TClassOf<TcxCustomStyle, TComponent*>;
using TcxCustomStyleSheetClass = TClassOf<TcxCustomStyleSheet, TComponent*>;
using TcxCustomStylesClass = TClassOf<TcxCustomStyles, TPersistent*>;

DECLARE_ENUM(TcxStyleValue, svBitmap, svColor, svFont, svTextColor)
using TcxStyleValues = TSet<TcxStyleValue, 4>;

// Users of a style hear of its changes and of its end. A listener must take
// itself off the style in NotifyStyleRemoved.
class IcxStyleChangeListener {
 public:
  virtual void NotifyStyleChanged(TcxCustomStyle* Sender) = 0;
  virtual void NotifyStyleRemoved(TcxCustomStyle* Sender) = 0;

 protected:
  ~IcxStyleChangeListener() = default;
};

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

class TcxCustomStyle : public TComponent {
  DECLARE_CLASS(TcxCustomStyle, TComponent)
  explicit TcxCustomStyle(TComponent* AOwner);
  ~TcxCustomStyle() override;
  // Tells every listener that the style goes; each must leave the style. One
  // that stays is taken off, so that destruction always ends.
  void BeforeDestruction() override;

  // Tells the listeners, last first.
  virtual void Changed();
  // Appends unless present.
  virtual void AddListener(IcxStyleChangeListener* AListener);
  virtual void RemoveListener(IcxStyleChangeListener* AListener);
  virtual void RestoreDefaults() {}
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }

  TcxStyleRepository* StyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TcxStyleRepository* AValue);
  // Position in the repository, -1 without one.
  int Index() const;

  // The repository is the style's parent in the component stream.
  TComponent* GetParentComponent() override;
  bool HasParent() override;
  // Raises EInvalidCast for a parent that is not a TcxStyleRepository.
  void SetParentComponent(TComponent* AParent) override;
  void ReadState(TReader* Reader) override;

 private:
  void RemoveAllListeners();
  std::vector<IcxStyleChangeListener*> FListeners;
  TcxStyleRepository* FStyleRepository = nullptr;
  bool FRemovingListeners = false;
};

class TcxStyle : public TcxCustomStyle {
  DECLARE_CLASS(TcxStyle, TcxCustomStyle)
  explicit TcxStyle(TComponent* AOwner);
  ~TcxStyle() override;

  void Assign(TPersistent* Source) override;
  // Nothing assigned, no bitmap, default colours; the font keeps its values
  // but counts as not assigned.
  void RestoreDefaults() override;
  void ReadState(TReader* Reader) override;

  TcxStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxStyleValues AValue);
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* AValue);
  TColor Color() const { return FColor; }
  // clDefault unassigns the colour.
  void SetColor(TColor AValue);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* AValue);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor AValue);

  void Changed() override;

 private:
  void BitmapChanged(TObject* Sender);
  void FontChanged(TObject* Sender);

  TcxStyleValues FAssignedValues;
  TBitmap* FBitmap;
  TColor FColor = clDefault;
  TFont* FFont;
  TColor FTextColor = clDefault;
  // While above 0, changes collect into one notification at the end.
  int FLockCount = 0;
  bool FChangedWhileLocked = false;
};

// ---------------------------------------------------------------------------
// Repository
// ---------------------------------------------------------------------------

class TcxStyleRepository : public TComponent {
  DECLARE_CLASS(TcxStyleRepository, TComponent)
  explicit TcxStyleRepository(TComponent* AOwner);
  // Frees its styles and sheets.
  ~TcxStyleRepository() override;
  void BeforeDestruction() override;

  // Frees the styles, last first.
  void Clear();
  void ClearStyleSheets();
  // A style of the class owned by this repository / by AOwner, put into this repository.
  virtual TcxCustomStyle* CreateItem(TcxCustomStyleClass AStyleClass);
  virtual TcxCustomStyle* CreateItemEx(TcxCustomStyleClass AStyleClass, TComponent* AOwner);
  virtual TcxCustomStyleSheet* CreateStyleSheet(TcxCustomStyleSheetClass AStyleSheetClass);
  virtual TcxCustomStyleSheet* CreateStyleSheetEx(TcxCustomStyleSheetClass AStyleSheetClass, TComponent* AOwner);
  int StyleIndexOf(TcxCustomStyle* AStyle) const;
  int StyleSheetIndexOf(TcxCustomStyleSheet* AStyleSheet) const;

  int Count() const { return static_cast<int>(FItems.size()); }
  TcxCustomStyle* Items(int AIndex) const;
  int StyleSheetCount() const { return static_cast<int>(FStyleSheets.size()); }
  TcxCustomStyleSheet* StyleSheets(int AIndex) const;
  bool Scalable() const { return FScalable; }
  void SetScalable(bool AValue) { FScalable = AValue; }
  // The screen resolution stored with the definition, 0 when none was read.
  int PixelsPerInch() const { return FPixelsPerInch; }
  // A font height stored at PixelsPerInch, for the screen's resolution.
  int ScaleFontHeight(int AValue) const;

  // The styles and sheets that `Root` owns are written as this repository's children.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 protected:
  void DefineProperties(TFiler* Filer) override;

 private:
  friend class TcxCustomStyle;
  friend class TcxCustomStyleSheet;
  std::vector<TcxCustomStyle*> FItems;
  std::vector<TcxCustomStyleSheet*> FStyleSheets;
  int FPixelsPerInch = 0;
  bool FScalable = false;
};

// ---------------------------------------------------------------------------
// Style slots and sheets
// ---------------------------------------------------------------------------

// One assigned slot.
struct TcxCustomStylesItem {
  int Index;
  TcxCustomStyle* Item;
};

class TcxCustomStyles : public TcxInterfacedPersistent, public IcxStyleChangeListener {
  DECLARE_CLASS(TcxCustomStyles, TcxInterfacedPersistent)
  explicit TcxCustomStyles(TPersistent* AOwner);
  ~TcxCustomStyles() override;

  // From another TcxCustomStyles: its style sheet only.
  void Assign(TPersistent* Source) override;
  // Nil, or a sheet of this class whose chain does not lead back to the own sheet.
  bool IsValidStyleSheet(TcxCustomStyleSheet* AStyleSheet);
  // Clears every slot that is set.
  void ResetStyles();

  // The slot's style, else the sheet chain's (not while the owner loads).
  TcxCustomStyle* GetValue(int AIndex);
  void SetValue(int AIndex, TcxCustomStyle* AStyle);

  TcxCustomStyleSheet* StyleSheet() const { return FStyleSheet; }
  void SetStyleSheet(TcxCustomStyleSheet* AValue);
  TcxCustomStyleSheet* OwnerStyleSheet() const { return FOwnerStyleSheet; }
  int SlotCount() const { return static_cast<int>(FItems.size()); }
  const TcxCustomStylesItem& Slots(int AIndex) const { return FItems[AIndex]; }

  void NotifyStyleChanged(TcxCustomStyle* Sender) override;
  void NotifyStyleRemoved(TcxCustomStyle* Sender) override;

 protected:
  virtual void HandleSlotChanged(int /*AIndex*/) {}
  virtual void ReportStyleChanged(int AIndex);
  bool IsDestroying() const { return FDestroying; }

 private:
  friend class TcxCustomStyleSheet;
  // Binary search: true when found; AFound is the slot or the insert position.
  bool FindSlot(int AIndex, int& AFound) const;
  bool IsOwnerLoading();
  TComponent* OutermostOwnerComponent();
  void StopListeningIfUnused(TcxCustomStyle* AStyle);

  bool FDestroying = false;
  std::vector<TcxCustomStylesItem> FItems;
  TcxCustomStyleSheet* FStyleSheet = nullptr;
  TcxCustomStyleSheet* FOwnerStyleSheet = nullptr;
};

// The slot indexes set anywhere in the chain of sheets from AStyleSheet,
// added to AIndexes without duplicates.
void cxCollectStyleSheetIndexes(TcxCustomStyleSheet* AStyleSheet, std::vector<int>& AIndexes);

class TcxCustomStyleSheet : public TcxComponent {
  DECLARE_CLASS(TcxCustomStyleSheet, TcxComponent)
  explicit TcxCustomStyleSheet(TComponent* AOwner);
  ~TcxCustomStyleSheet() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // Caption and styles.
  void Assign(TPersistent* Source) override;
  // New styles like ASheet's (only from a sheet of the same class).
  void CopyFrom(TcxCustomStyleSheet* AStyleSheet);
  void AddStyles(TcxCustomStyles* AStyles);
  void RemoveStyles(TcxCustomStyles* AStyles);
  TcxCustomStyles* GetStyles();
  void SetStyles(TcxCustomStyles* AValue);
  // The class of the sheet's own slots.
  virtual TcxCustomStylesClass StylesClass();

  // The name when no caption of its own is set.
  String Caption() const;
  void SetCaption(const String& AValue);
  bool BuiltIn() const { return FBuiltIn; }
  int Index() const;
  TcxStyleRepository* StyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TcxStyleRepository* AValue);
  bool IsStyleSheetDestroying() const { return FDestroying; }
  int StylesListCount() const { return static_cast<int>(FStylesList.size()); }

  TComponent* GetParentComponent() override;
  bool HasParent() override;
  void SetParentComponent(TComponent* AParent) override;
  void ReadState(TReader* Reader) override;
  // Fills the fake component links again (at design time).
  void UpdateFakeLinks();

 protected:
  // The owners of the sheet's styles, other than the sheet's own owner.
  void CollectFakeComponentLinks(TList* AList) override;
  void DefineProperties(TFiler* Filer) override;

 private:
  friend class TcxCustomStyles;
  void DetachUsers();
  bool FBuiltIn = false;
  String FCaption;
  TcxCustomStyles* FStyles = nullptr;
  std::vector<TcxCustomStyles*> FStylesList;
  TcxStyleRepository* FStyleRepository = nullptr;
  bool FDestroying = false;
};

// Module start-up and shutdown: TcxStyle joins the streaming registry.
void cxStylesInitialize();
void cxStylesFinalize();
