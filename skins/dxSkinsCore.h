// The skin engine's object model: a skin owns colours, control groups of
// elements and typed named properties; every object tells its owner of a
// change, and the skin tells its listeners once. Named lists are sorted lazily
// at the first look-up after a change and searched by binary search.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxClassesComponents.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/dxCore.h"
#include "foundation/dxGDIPlusAPI.h"
#include "platform/core/Lists.h"
#include "platform/gui/Graphics.h"

#include <string_view>
#include <vector>

class TdxPNGImage;
class TdxSkin;
class TdxSkinCanvas;
class TdxSkinControlGroup;
class TdxSkinElement;
class TdxSkinImage;
class TStream;

DECLARE_EXCEPTION(EdxSkin, EdxException)

RESOURCESTRING(sdxSkinInvalidStreamFormat, 64900, "Invalid stream format")
RESOURCESTRING(sdxSkinOldFormat, 64901,
               "The skin data version is older than the current RaderedIdora Library version.\r\n"
               "Skins cannot be loaded due to a version mismatch.")
RESOURCESTRING(sdxSkinDamagedStream, 64902, "The skin data is damaged: %s")

enum TdxSkinElementState {
  esNormal, esHot, esPressed, esDisabled, esActive, esFocused, esDroppedDown, esChecked,
  esHotCheck, esActiveDisabled, esCheckPressed
};
constexpr int dxSkinElementStateCount = 11;
using TdxSkinElementStates = TSet<TdxSkinElementState, dxSkinElementStateCount>;
enum TdxSkinImageLayout { ilHorizontal, ilVertical };
enum TdxSkinStretchMode { smStretch, smTile, smNoResize };
enum TdxSkinGradientMode { gmHorizontal, gmVertical, gmForwardDiagonal, gmBackwardDiagonal };
enum TdxSkinObjectState { sosUnassigned, sosUnused };
using TdxSkinObjectStates = TSet<TdxSkinObjectState, 2>;

// The skin's change listeners.
class IdxSkinChangeListener {
 public:
  virtual ~IdxSkinChangeListener() = default;
  virtual void HandleSkinChange(TdxSkin* ASkin) = 0;
};

// ---------------------------------------------------------------------------
// Base objects
// ---------------------------------------------------------------------------

class TdxSkinCustomPersistentObject : public TPersistent {
  DECLARE_CLASS(TdxSkinCustomPersistentObject, TPersistent)
  TdxSkinCustomPersistentObject() = default;

  const String& Name() const { return FName; }
  void SetName(const String& AValue) { FName = AValue; }
  TNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent AValue) { FOnChange = AValue; }
  TdxSkinObjectStates State() const { return FState; }
  void SetState(TdxSkinObjectStates AValue) { FState = AValue; }
  int Tag() const { return FTag; }
  void SetTag(int AValue) { FTag = AValue; }
  TPersistent* Owner() const { return FOwner; }
  void SetOwner(TPersistent* AOwner) { FOwner = AOwner; }

  // A new object of the same class, with no owner and the same name, then Assign.
  virtual TdxSkinCustomPersistentObject* Clone();
  // The constructor's part: owner, name, State [sosUnused].
  void Init(TPersistent* AOwner, const String& AName);

 protected:
  virtual void DoChange();
  // A new object of the same class named AName, with this one's content.
  TdxSkinCustomPersistentObject* CloneNamed(const String& AName);
  TPersistent* GetOwner() override { return FOwner; }
  // A blank object of this very class.
  virtual TdxSkinCustomPersistentObject* NewOfSameClass() const = 0;

 private:
  String FName;
  TNotifyEvent FOnChange;
  TPersistent* FOwner = nullptr;
  TdxSkinObjectStates FState{sosUnused};
  int FTag = 0;
};

class TdxSkinProperty;
using TdxSkinPropertyClass = TdxSkinProperty* (*)();

class TdxSkinPersistent : public TdxSkinCustomPersistentObject {
  DECLARE_CLASS(TdxSkinPersistent, TdxSkinCustomPersistentObject)
  TdxSkinPersistent();
  ~TdxSkinPersistent() override;

  // APropertyClass: a registered property class (TdxSkinIntegerProperty::StaticClass() ...).
  TdxSkinProperty* AddProperty(const String& AName, TClass APropertyClass);
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  virtual void Clear();
  virtual void DeleteProperty(TdxSkinProperty* AProperty);
  void ExchangeProperty(int AIndex1, int AIndex2);
  void Sort();
  TdxSkinProperty* GetPropertyByName(const String& AName);
  void Assign(TPersistent* Source) override;

  bool Modified() const { return FModified; }
  void SetModified(bool AValue) { FModified = AValue; }
  bool Sorted() const { return FSorted; }
  int LockCount() const { return FLockCount; }
  int PropertyCount() const { return FProperties->Count(); }
  TdxSkinProperty* Properties(int AIndex) const;

  virtual void Changed();
  // The stream form of the property list.
  void ReadProperties(class TdxSkinReader& AReader);
  void WriteProperties(TStream* AStream);

 protected:
  virtual void DoSort();
  void SubItemChanged(TObject* Sender);
  // Owner and change handler of a child.
  void Adopt(TdxSkinCustomPersistentObject* AChild);
  // Clones of ASource's items, adopted and appended to ATarget.
  void AppendClones(TList* ASource, TList* ATarget);
  // AWork between BeginUpdate and EndUpdate, which runs also when AWork raises.
  template <class F>
  void InUpdate(F AWork) {
    BeginUpdate();
    try {
      AWork();
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
  void SortList(TList* AList);
  static TdxSkinCustomPersistentObject* FindInList(TList* AList, const String& AName);

  TcxObjectList* FProperties;
  int FLockCount = 0;
  bool FModified = false;
  bool FSorted = false;
};

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

class TdxSkinProperty : public TdxSkinCustomPersistentObject {
  DECLARE_CLASS(TdxSkinProperty, TdxSkinCustomPersistentObject)
  // Class name with every "TdxSkin" and "Property" removed ("Integer", "Color").
  static String Description(TClass APropertyClass);
  // The process-wide list of property classes the stream reader accepts.
  static void Register(TClass APropertyClass);
  static void Unregister(TClass APropertyClass);
  static bool IsRegistered(TClass APropertyClass);
  static TClass FindRegistered(const String& AClassName);
  // A new property of a registered class.
  static TdxSkinProperty* Create(TClass APropertyClass, TPersistent* AOwner, const String& AName);

  virtual void ReadData(class TdxSkinReader& AReader) = 0;
  virtual void WriteData(TStream* AStream) = 0;
  void ReadFromStream(class TdxSkinReader& AReader);
  void WriteToStream(TStream* AStream);
  virtual bool Compare(TdxSkinProperty* AProperty);

  friend class TdxSkinPersistent;
  using TdxSkinCustomPersistentObject::DoChange;
};

#define DX_SKIN_SIMPLE_PROPERTY(Cls, T, Default)                                  \
  class Cls : public TdxSkinProperty {                                           \
    DECLARE_CLASS(Cls, TdxSkinProperty)                                          \
    T Value() const { return FValue; }                                           \
    void SetValue(const T& AValue);                                              \
    void Assign(TPersistent* Source) override;                                   \
    bool Compare(TdxSkinProperty* AProperty) override;                           \
    void ReadData(TdxSkinReader& AReader) override;                              \
    void WriteData(TStream* AStream) override;                                   \
                                                                                 \
   protected:                                                                    \
    TdxSkinCustomPersistentObject* NewOfSameClass() const override;              \
    T FValue = Default;                                                          \
  };

DX_SKIN_SIMPLE_PROPERTY(TdxSkinIntegerProperty, int, 0)
DX_SKIN_SIMPLE_PROPERTY(TdxSkinBooleanProperty, bool, false)
DX_SKIN_SIMPLE_PROPERTY(TdxSkinColor, TColor, clDefault)
DX_SKIN_SIMPLE_PROPERTY(TdxSkinRectProperty, TRect, TRect())
DX_SKIN_SIMPLE_PROPERTY(TdxSkinSizeProperty, TSize, TSize())
DX_SKIN_SIMPLE_PROPERTY(TdxSkinStringProperty, String, String())
#undef DX_SKIN_SIMPLE_PROPERTY

class TdxSkinBorder : public TdxSkinProperty {
  DECLARE_CLASS(TdxSkinBorder, TdxSkinProperty)
  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  int Thin() const { return FThin; }
  void SetThin(int AValue);
  TcxBorder Kind() const { return FKind; }
  void Assign(TPersistent* Source) override;
  bool Compare(TdxSkinProperty* AProperty) override;
  void ReadData(TdxSkinReader& AReader) override;
  void WriteData(TStream* AStream) override;
  void Draw(HDC DC, const TRect& ABounds);
  void DrawEx(TdxSkinCanvas* ACanvas, const TRect& ABounds);

 protected:
  TdxSkinCustomPersistentObject* NewOfSameClass() const override;

 private:
  friend class TdxSkinBorders;
  TColor FColor = clNone;
  int FThin = 1;
  TcxBorder FKind = bLeft;
};

class TdxSkinBorders : public TdxSkinProperty {
  DECLARE_CLASS(TdxSkinBorders, TdxSkinProperty)
  TdxSkinBorders();
  ~TdxSkinBorders() override;
  TdxSkinBorder* Items(TcxBorder AKind) const { return FBorders[AKind]; }
  TdxSkinBorder* Left() const { return FBorders[bLeft]; }
  TdxSkinBorder* Top() const { return FBorders[bTop]; }
  TdxSkinBorder* Right() const { return FBorders[bRight]; }
  TdxSkinBorder* Bottom() const { return FBorders[bBottom]; }
  void Assign(TPersistent* Source) override;
  bool Compare(TdxSkinProperty* AProperty) override;
  void ReadData(TdxSkinReader& AReader) override;
  void WriteData(TStream* AStream) override;
  void Draw(TdxSkinCanvas* ACanvas, const TRect& ABounds);

 protected:
  TdxSkinCustomPersistentObject* NewOfSameClass() const override;
  void BorderChanged(TObject* Sender);

 private:
  TdxSkinBorder* FBorders[4];
};

// ---------------------------------------------------------------------------
// Images
// ---------------------------------------------------------------------------

class TdxSkinImage : public TPersistent {
  DECLARE_CLASS(TdxSkinImage, TPersistent)
  explicit TdxSkinImage(TdxSkinElement* AOwner);
  ~TdxSkinImage() override;

  void Assign(TPersistent* Source) override;
  void Clear();
  bool Compare(TdxSkinImage* AImage);
  void LoadFromFile(const String& AFileName);
  void SaveToFile(const String& AFileName);
  void GetBitmap(int AImageIndex, TdxSkinElementState AState, TBitmap* ABitmap, TColor ABkColor = clNone);
  void SetStateMapping(const std::vector<TdxSkinElementState>& AStates);

  void Draw(HDC DC, const TRect& ARect, int AImageIndex = 0, TdxSkinElementState AState = esNormal);
  void DrawEx(TdxSkinCanvas* ACanvas, const TRect& ARect, int AImageIndex = 0,
              TdxSkinElementState AState = esNormal);

  bool Empty() const;
  String Name() const;
  String SourceName() const;
  TdxSkinElement* Owner() const { return FOwner; }
  int ImageCount() const;
  // Pictures read from a stream are decoded on first use.
  TdxPNGImage* Texture() const;
  TSize Size();
  int StateCount();
  // The frame of a state for an image index within the texture.
  TRect StateBounds(int AImageIndex, TdxSkinElementState AState);
  bool IsDirty() const { return FIsDirty; }

  TdxSkinGradientMode Gradient() const { return FGradient; }
  void SetGradient(TdxSkinGradientMode AValue);
  TColor GradientBeginColor() const { return FGradientBeginColor; }
  void SetGradientBeginColor(TColor AValue);
  TColor GradientEndColor() const { return FGradientEndColor; }
  void SetGradientEndColor(TColor AValue);
  TdxSkinImageLayout ImageLayout() const { return FImageLayout; }
  void SetImageLayout(TdxSkinImageLayout AValue);
  const TRect& Margins() const { return FMargins; }
  void SetMargins(const TRect& AValue);
  TdxSkinElementStates States() const { return FStates; }
  void SetStates(TdxSkinElementStates AValue);
  TdxSkinStretchMode Stretch() const { return FStretch; }
  void SetStretch(TdxSkinStretchMode AValue);
  TNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent AValue) { FOnChange = AValue; }

  void Changed();
  void SetDirty() { FIsDirty = true; }
  void ReadData(class TdxSkinReader& AReader, double AVersion);
  void WriteData(TStream* AStream);

 protected:
  void CalculateStateBounds();
  void CheckState();
  TPersistent* GetOwner() override;

 private:
  void Decode();

  TdxSkinElement* FOwner;
  TdxPNGImage* FTexture;
  // PNG data read but not decoded yet, and the size its header gives. The
  // bytes of a skin in the program's own resources stay where they are (the
  // program's image lasts as long as the process); others are copied.
  struct TPendingBytes {
    AnsiString Copy;
    std::string_view Lasting;
    bool empty() const { return Copy.empty() && Lasting.empty(); }
    const char* data() const { return Lasting.empty() ? Copy.data() : Lasting.data(); }
    size_t size() const { return Lasting.empty() ? Copy.size() : Lasting.size(); }
    void clear() {
      Copy.clear();
      Copy.shrink_to_fit();
      Lasting = {};
    }
  };
  TPendingBytes FPendingPng;
  TSize FPendingSize{};
  String FSourceName;
  bool FIsDirty = false;
  TSize FSize{};
  int FStateCount = 0;
  TRect FStateBounds[dxSkinElementStateCount]{};
  TdxSkinGradientMode FGradient = gmHorizontal;
  TColor FGradientBeginColor = clNone;
  TColor FGradientEndColor = clNone;
  TdxSkinImageLayout FImageLayout = ilHorizontal;
  TRect FMargins{};
  TdxSkinElementStates FStates;
  TdxSkinStretchMode FStretch = smStretch;
  TNotifyEvent FOnChange;
};

// ---------------------------------------------------------------------------
// Elements, groups, skin
// ---------------------------------------------------------------------------

class TdxSkinElement : public TdxSkinPersistent {
  DECLARE_CLASS(TdxSkinElement, TdxSkinPersistent)
  TdxSkinElement();
  ~TdxSkinElement() override;

  void Assign(TPersistent* Source) override;
  virtual bool Compare(TdxSkinElement* AElement);
  bool CompareProperties(TdxSkinPersistent* APersistent);
  virtual TColor GetTextColor(TcxButtonState AState);
  String GetImageFileName(TdxSkinImage* AImage) const;
  void SetStateMapping(const std::vector<TdxSkinElementState>& AStates);
  virtual void Draw(HDC DC, const TRect& ARect, int AImageIndex = 0, TdxSkinElementState AState = esNormal);
  // Steps 3 to 6 of drawing (fill, image, borders, glyph) on a canvas in paint.
  void DrawContent(TdxSkinCanvas* ACanvas, const TRect& ARect, int AImageIndex, TdxSkinElementState AState);

  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  Byte Alpha() const { return FAlpha; }
  void SetAlpha(Byte AValue);
  int ImageCount() const { return FImageCount; }
  void SetImageCount(int AValue);
  const TRect& ContentOffset() const { return FContentOffset; }
  void SetContentOffset(const TRect& AValue);
  TdxSkinImage* Image() const { return FImage; }
  TdxSkinImage* Glyph() const { return FGlyph; }
  TdxSkinBorders* Borders() const { return FBorders; }
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor AValue);
  const TSize& MinSize() const { return FMinSize; }
  void SetMinSize(const TSize& AValue);
  bool IsColorAssigned() const { return FIsColorAssigned; }
  bool IsAlphaUsed();
  TdxSkinControlGroup* Group() const;
  String Path() const;
  TSize Size();
  GpBrush* Brush() const { return FBrush; }

  void ReadData(class TdxSkinReader& AReader, double AVersion);
  void WriteData(TStream* AStream, double AVersion);

 protected:
  TdxSkinCustomPersistentObject* NewOfSameClass() const override;

 private:
  void PartChanged(TObject* Sender) { SubItemChanged(Sender); }
  TColor FColor = clDefault;
  Byte FAlpha = 255;
  int FImageCount = 1;
  TRect FContentOffset{};
  TdxSkinImage* FImage;
  TdxSkinImage* FGlyph;
  TdxSkinBorders* FBorders;
  TColor FTextColor = clDefault;
  TSize FMinSize{};
  GpBrush* FBrush = nullptr;
  TdxSkinCanvas* FCanvas;
  bool FIsColorAssigned = false;
};

// The shared stand-in drawn where no element exists: white with a red frame.
class TdxSkinEmptyElement : public TdxSkinElement {
  DECLARE_CLASS(TdxSkinEmptyElement, TdxSkinElement)
  void Draw(HDC DC, const TRect& ARect, int AImageIndex = 0, TdxSkinElementState AState = esNormal) override;

 protected:
  TdxSkinCustomPersistentObject* NewOfSameClass() const override;
};

class TdxSkinControlGroup : public TdxSkinPersistent {
  DECLARE_CLASS(TdxSkinControlGroup, TdxSkinPersistent)
  TdxSkinControlGroup();
  ~TdxSkinControlGroup() override;

  TdxSkinElement* AddElement(const String& AName);
  TdxSkinElement* AddElementEx(const String& AName, TClass AElementClass);
  void Delete(int AIndex);
  void RemoveElement(TdxSkinElement* AElement);
  void ExchangeElements(int AIndex1, int AIndex2);
  TdxSkinElement* GetElementByName(const String& AName);
  void Clear() override;
  void ClearModified();
  void Assign(TPersistent* Source) override;

  int Count() const { return FElements->Count(); }
  TdxSkinElement* Elements(int AIndex) const { return static_cast<TdxSkinElement*>(FElements->Items(AIndex)); }
  bool HasMissingElements() const;
  TdxSkin* Skin() const;

  void ReadData(class TdxSkinReader& AReader, double AVersion);
  void WriteData(TStream* AStream);

 protected:
  void DoSort() override;
  TdxSkinCustomPersistentObject* NewOfSameClass() const override;

 private:
  friend class TdxSkin;
  TcxObjectList* FElements;
};

class TdxSkin : public TdxSkinPersistent {
  DECLARE_CLASS(TdxSkin, TdxSkinPersistent)
  // With ALoadOnCreate the resource of type "DXSKINS" named AName is read.
  TdxSkin(const String& AName, bool ALoadOnCreate, HINSTANCE hInst);
  ~TdxSkin() override;

  TdxSkinColor* AddColor(const String& AName, TColor AColor);
  TdxSkinControlGroup* AddGroup(const String& AName);
  TdxSkinColor* GetColorByName(const String& AName);
  TdxSkinControlGroup* GetGroupByName(const String& AName);
  void DeleteProperty(TdxSkinProperty* AProperty) override;
  void ExchangeColors(int AIndex1, int AIndex2);
  void ExchangeGroups(int AIndex1, int AIndex2);
  void Clear() override;
  void ClearModified();
  void Assign(TPersistent* Source) override;
  // A new skin named AName with this skin's content.
  virtual TdxSkin* Clone(const String& AName);
  void AddListener(IdxSkinChangeListener* AListener);
  void RemoveListener(IdxSkinChangeListener* AListener);

  // The skin stream. A failed load leaves the skin as it was and raises EdxSkin.
  virtual void LoadFromStream(TStream* AStream);
  virtual void SaveToStream(TStream* AStream);
  void LoadFromFile(const String& AFileName);
  void SaveToFile(const String& AFileName);
  virtual void LoadFromResource(HINSTANCE hInst);
  // The multi-skin container with this one skin; loading raises EdxSkin when
  // the container holds no skin.
  void LoadFromBinaryStream(TStream* AStream);
  void LoadFromBinaryFile(const String& AFileName);
  void SaveToBinaryStream(TStream* AStream);
  void SaveToBinaryFile(const String& AFileName);

  const String& Name() const { return FName; }
  void SetName(const String& AValue) { FName = AValue; }
  double Version() const { return FVersion; }
  TNotifyEvent OnChange() const { return FOnSkinChange; }
  void SetOnChange(TNotifyEvent AValue) { FOnSkinChange = AValue; }
  int ColorCount() const { return FColors->Count(); }
  TdxSkinColor* Colors(int AIndex) const { return static_cast<TdxSkinColor*>(FColors->Items(AIndex)); }
  int GroupCount() const { return FGroups->Count(); }
  TdxSkinControlGroup* Groups(int AIndex) const { return static_cast<TdxSkinControlGroup*>(FGroups->Items(AIndex)); }
  bool HasMissingElements() const;
  int ListenerCount() const { return int(FListeners.size()); }

 protected:
  void DoChange() override;
  void DoSort() override;
  TdxSkinCustomPersistentObject* NewOfSameClass() const override;
  // Takes over the content of ASource (which is left empty).
  void TakeContent(TdxSkin* ASource);

 private:
  TcxObjectList* FColors;
  TcxObjectList* FGroups;
  std::vector<IdxSkinChangeListener*> FListeners;
  String FName;
  TNotifyEvent FOnSkinChange;
  double FVersion = 1.02;
  // The stream LoadFromResource reads, while it reads it: the memory of a
  // resource of the program's own image.
  TStream* FLastingStream = nullptr;
};

// Process-wide objects of the engine (nil outside start-up .. shutdown).
TdxSkinElement* dxSkinEmptyElement();
class TdxSkinPartStream* dxSkinPartStream();
// Module start-up and shutdown (through the units loader).
void dxSkinsCoreInitialize();
void dxSkinsCoreFinalize();
