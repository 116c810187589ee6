#include "skins/dxSkinsCore.h"

#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/Components.h"
#include "platform/core/SysUtils.h"
#include "skins/dxSkinsCoreDraw.h"

#include <algorithm>

IMPLEMENT_CLASS(TdxSkinCustomPersistentObject, TPersistent, nullptr)
IMPLEMENT_CLASS(TdxSkinPersistent, TdxSkinCustomPersistentObject, nullptr)
IMPLEMENT_CLASS(TdxSkinProperty, TdxSkinCustomPersistentObject, nullptr)
IMPLEMENT_CLASS(TdxSkinIntegerProperty, TdxSkinProperty, (ConstructPlain<TdxSkinIntegerProperty>))
IMPLEMENT_CLASS(TdxSkinBooleanProperty, TdxSkinProperty, (ConstructPlain<TdxSkinBooleanProperty>))
IMPLEMENT_CLASS(TdxSkinColor, TdxSkinProperty, (ConstructPlain<TdxSkinColor>))
IMPLEMENT_CLASS(TdxSkinRectProperty, TdxSkinProperty, (ConstructPlain<TdxSkinRectProperty>))
IMPLEMENT_CLASS(TdxSkinSizeProperty, TdxSkinProperty, (ConstructPlain<TdxSkinSizeProperty>))
IMPLEMENT_CLASS(TdxSkinStringProperty, TdxSkinProperty, (ConstructPlain<TdxSkinStringProperty>))
IMPLEMENT_CLASS(TdxSkinBorder, TdxSkinProperty, (ConstructPlain<TdxSkinBorder>))
IMPLEMENT_CLASS(TdxSkinBorders, TdxSkinProperty, (ConstructPlain<TdxSkinBorders>))
IMPLEMENT_CLASS(TdxSkinElement, TdxSkinPersistent, (ConstructPlain<TdxSkinElement>))
IMPLEMENT_CLASS(TdxSkinEmptyElement, TdxSkinElement, (ConstructPlain<TdxSkinEmptyElement>))
IMPLEMENT_CLASS(TdxSkinControlGroup, TdxSkinPersistent, (ConstructPlain<TdxSkinControlGroup>))
IMPLEMENT_CLASS(TdxSkin, TdxSkinPersistent, nullptr)
IMPLEMENT_CLASS(TdxSkinImage, TPersistent, nullptr)

namespace {

struct TSkinEngine {
  TdxSkinElement* EmptyElement = nullptr;
  std::vector<TClass>* PropertyClasses = nullptr;
  TdxSkinPartStream* PartStream = nullptr;
};

TSkinEngine& Engine() {
  static TSkinEngine engine;
  return engine;
}

int CompareByName(void* A, void* B) {
  return AnsiCompareStr(static_cast<TdxSkinCustomPersistentObject*>(A)->Name(),
                        static_cast<TdxSkinCustomPersistentObject*>(B)->Name());
}

String ReplaceIgnoreCase(String AText, const String& AWhat) {
  for (;;) {
    const String upper = UpperCase(AText);
    const size_t at = upper.find(UpperCase(AWhat));
    if (at == String::npos) return AText;
    AText.erase(at, AWhat.size());
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxSkinCustomPersistentObject
// ---------------------------------------------------------------------------

void TdxSkinCustomPersistentObject::Init(TPersistent* AOwner, const String& AName) {
  FOwner = AOwner;
  FName = AName;
  FState = {sosUnused};
}

void TdxSkinCustomPersistentObject::DoChange() {
  if (FOnChange) FOnChange(this);
}

TdxSkinCustomPersistentObject* TdxSkinCustomPersistentObject::Clone() { return CloneNamed(FName); }

TdxSkinCustomPersistentObject* TdxSkinCustomPersistentObject::CloneNamed(const String& AName) {
  TdxSkinCustomPersistentObject* result = NewOfSameClass();
  result->Init(nullptr, AName);
  try {
    result->Assign(this);
  } catch (...) {
    TObject::Free(result);
    throw;
  }
  return result;
}

// ---------------------------------------------------------------------------
// TdxSkinPersistent
// ---------------------------------------------------------------------------

TdxSkinPersistent::TdxSkinPersistent() : FProperties(Make<TcxObjectList>()) {}

TdxSkinPersistent::~TdxSkinPersistent() { TObject::Free(FProperties); }

TdxSkinProperty* TdxSkinPersistent::Properties(int AIndex) const {
  return static_cast<TdxSkinProperty*>(FProperties->Items(AIndex));
}

void TdxSkinPersistent::Adopt(TdxSkinCustomPersistentObject* AChild) {
  AChild->SetOwner(this);
  AChild->SetOnChange(TNotifyEvent::Bind<&TdxSkinPersistent::SubItemChanged>(this));
}

TdxSkinProperty* TdxSkinPersistent::AddProperty(const String& AName, TClass APropertyClass) {
  TdxSkinProperty* result = TdxSkinProperty::Create(APropertyClass, this, AName);
  Adopt(result);
  FProperties->Add(result);
  Changed();
  return result;
}

void TdxSkinPersistent::BeginUpdate() { ++FLockCount; }

void TdxSkinPersistent::EndUpdate() {
  if (FLockCount > 0 && --FLockCount == 0) Changed();
}

void TdxSkinPersistent::CancelUpdate() {
  if (FLockCount > 0) --FLockCount;
}

void TdxSkinPersistent::Clear() { FProperties->Clear(); }

void TdxSkinPersistent::DeleteProperty(TdxSkinProperty* AProperty) {
  const int index = FProperties->IndexOf(AProperty);
  if (index < 0) return;
  FProperties->Delete(index);
  TObject::Free(AProperty);
  Changed();
}

void TdxSkinPersistent::ExchangeProperty(int AIndex1, int AIndex2) {
  FProperties->Exchange(AIndex1, AIndex2);
  Changed();
}

void TdxSkinPersistent::Sort() {
  if (FSorted) return;
  FSorted = true;
  DoSort();
}

void TdxSkinPersistent::DoSort() { SortList(FProperties); }

void TdxSkinPersistent::SortList(TList* AList) {
  // A stable order for equal names keeps duplicates where they were added.
  std::vector<void*> items(AList->Count());
  for (int i = 0; i < AList->Count(); ++i) items[i] = AList->Get(i);
  std::stable_sort(items.begin(), items.end(), [](void* a, void* b) { return CompareByName(a, b) < 0; });
  for (int i = 0; i < AList->Count(); ++i) AList->Put(i, items[i]);
}

TdxSkinCustomPersistentObject* TdxSkinPersistent::FindInList(TList* AList, const String& AName) {
  int low = 0, high = AList->Count() - 1;
  while (low <= high) {
    const int middle = (low + high) / 2;
    auto* item = static_cast<TdxSkinCustomPersistentObject*>(AList->Get(middle));
    const int compare = AnsiCompareStr(item->Name(), AName);
    if (compare < 0)
      low = middle + 1;
    else if (compare > 0)
      high = middle - 1;
    else
      return item;
  }
  return nullptr;
}

TdxSkinProperty* TdxSkinPersistent::GetPropertyByName(const String& AName) {
  Sort();
  return static_cast<TdxSkinProperty*>(FindInList(FProperties, AName));
}

void TdxSkinPersistent::Changed() {
  FModified = true;
  FSorted = false;
  if (FLockCount == 0) DoChange();
}

void TdxSkinPersistent::SubItemChanged(TObject*) { Changed(); }

void TdxSkinPersistent::AppendClones(TList* ASource, TList* ATarget) {
  for (int i = 0; i < ASource->Count(); ++i) {
    auto* clone = static_cast<TdxSkinCustomPersistentObject*>(ASource->Get(i))->Clone();
    Adopt(clone);
    ATarget->Add(clone);
  }
}

void TdxSkinPersistent::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinPersistent*>(Source);
  if (!source) return inherited::Assign(Source);
  InUpdate([&] { AppendClones(source->FProperties, FProperties); });
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

String TdxSkinProperty::Description(TClass APropertyClass) {
  return ReplaceIgnoreCase(ReplaceIgnoreCase(APropertyClass->Name, L"TdxSkin"), L"Property");
}

void TdxSkinProperty::Register(TClass APropertyClass) {
  if (auto* list = Engine().PropertyClasses) {
    if (std::find(list->begin(), list->end(), APropertyClass) == list->end()) list->push_back(APropertyClass);
  }
  RegisterClass(APropertyClass);
}

void TdxSkinProperty::Unregister(TClass APropertyClass) {
  if (auto* list = Engine().PropertyClasses) std::erase(*list, APropertyClass);
  UnRegisterClass(APropertyClass);
}

bool TdxSkinProperty::IsRegistered(TClass APropertyClass) {
  auto* list = Engine().PropertyClasses;
  return list && std::find(list->begin(), list->end(), APropertyClass) != list->end();
}

TClass TdxSkinProperty::FindRegistered(const String& AClassName) {
  if (auto* list = Engine().PropertyClasses)
    for (TClass cls : *list)
      if (cls->Name == AClassName) return cls;
  return nullptr;
}

TdxSkinProperty* TdxSkinProperty::Create(TClass APropertyClass, TPersistent* AOwner, const String& AName) {
  if (!APropertyClass || !APropertyClass->InheritsFrom(TdxSkinProperty::StaticClass()) || !APropertyClass->Create)
    throw EdxSkin(L"Not a skin property class");
  auto* result = static_cast<TdxSkinProperty*>(APropertyClass->NewInstance());
  result->Init(AOwner, AName);
  return result;
}

bool TdxSkinProperty::Compare(TdxSkinProperty*) { return false; }

#define DX_SKIN_PROPERTY_COMMON(Cls)                                                  \
  TdxSkinCustomPersistentObject* Cls::NewOfSameClass() const { return Make<Cls>(); } \
  void Cls::Assign(TPersistent* Source) {                                             \
    if (auto* source = dynamic_cast<Cls*>(Source))                                    \
      SetValue(source->FValue);                                                       \
    else                                                                              \
      inherited::Assign(Source);                                                      \
  }

#define DX_SKIN_PROPERTY_SETTER(Cls, T, Same)   \
  void Cls::SetValue(const T& AValue) {         \
    if (Same) return;                           \
    FValue = AValue;                            \
    DoChange();                                 \
  }                                             \
  bool Cls::Compare(TdxSkinProperty* AProperty) { \
    auto* other = dynamic_cast<Cls*>(AProperty);  \
    if (!other || other->Name() != Name()) return false; \
    const T& AValue = other->FValue;            \
    return Same;                                \
  }

DX_SKIN_PROPERTY_COMMON(TdxSkinIntegerProperty)
DX_SKIN_PROPERTY_SETTER(TdxSkinIntegerProperty, int, AValue == FValue)
DX_SKIN_PROPERTY_COMMON(TdxSkinBooleanProperty)
DX_SKIN_PROPERTY_SETTER(TdxSkinBooleanProperty, bool, AValue == FValue)
DX_SKIN_PROPERTY_COMMON(TdxSkinColor)
DX_SKIN_PROPERTY_SETTER(TdxSkinColor, TColor, AValue == FValue)
DX_SKIN_PROPERTY_COMMON(TdxSkinRectProperty)
DX_SKIN_PROPERTY_SETTER(TdxSkinRectProperty, TRect, AValue == FValue)
DX_SKIN_PROPERTY_COMMON(TdxSkinSizeProperty)
DX_SKIN_PROPERTY_SETTER(TdxSkinSizeProperty, TSize, AValue.cx == FValue.cx && AValue.cy == FValue.cy)
DX_SKIN_PROPERTY_COMMON(TdxSkinStringProperty)
DX_SKIN_PROPERTY_SETTER(TdxSkinStringProperty, String, AnsiCompareStr(AValue, FValue) == 0)
#undef DX_SKIN_PROPERTY_COMMON
#undef DX_SKIN_PROPERTY_SETTER

TdxSkinCustomPersistentObject* TdxSkinBorder::NewOfSameClass() const { return Make<TdxSkinBorder>(); }

void TdxSkinBorder::SetColor(TColor AValue) {
  if (AValue == FColor) return;
  FColor = AValue;
  DoChange();
}

void TdxSkinBorder::SetThin(int AValue) {
  if (AValue == FThin) return;
  FThin = AValue;
  DoChange();
}

void TdxSkinBorder::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinBorder*>(Source);
  if (!source) return;
  FKind = source->FKind;
  SetThin(source->FThin);
  SetColor(source->FColor);
}

bool TdxSkinBorder::Compare(TdxSkinProperty* AProperty) {
  auto* other = dynamic_cast<TdxSkinBorder*>(AProperty);
  return other && other->FColor == FColor && other->FThin == FThin && other->FKind == FKind;
}

TdxSkinBorders::TdxSkinBorders() {
  static const wchar_t* const names[] = {L"Left", L"Top", L"Right", L"Bottom"};
  Init(nullptr, L"Borders");
  for (int i = 0; i < 4; ++i) {
    FBorders[i] = Make<TdxSkinBorder>();
    FBorders[i]->Init(this, names[i]);
    FBorders[i]->FKind = TcxBorder(i);
    FBorders[i]->SetOnChange(TNotifyEvent::Bind<&TdxSkinBorders::BorderChanged>(this));
  }
}

TdxSkinBorders::~TdxSkinBorders() {
  for (TdxSkinBorder* border : FBorders) TObject::Free(border);
}

TdxSkinCustomPersistentObject* TdxSkinBorders::NewOfSameClass() const { return Make<TdxSkinBorders>(); }

void TdxSkinBorders::BorderChanged(TObject*) { DoChange(); }

void TdxSkinBorders::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinBorders*>(Source);
  if (!source) return inherited::Assign(Source);
  for (int i = 0; i < 4; ++i) FBorders[i]->Assign(source->FBorders[i]);
}

bool TdxSkinBorders::Compare(TdxSkinProperty* AProperty) {
  auto* other = dynamic_cast<TdxSkinBorders*>(AProperty);
  if (!other) return false;
  for (int i = 0; i < 4; ++i)
    if (!FBorders[i]->Compare(other->FBorders[i])) return false;
  return true;
}

// ---------------------------------------------------------------------------
// TdxSkinElement
// ---------------------------------------------------------------------------

TdxSkinElement::TdxSkinElement()
    : FImage(Make<TdxSkinImage>(this)),
      FGlyph(Make<TdxSkinImage>(this)),
      FBorders(Make<TdxSkinBorders>()),
      FCanvas(Make<TdxSkinCanvas>()) {
  const TNotifyEvent changed = TNotifyEvent::Bind<&TdxSkinElement::PartChanged>(this);
  FImage->SetOnChange(changed);
  FGlyph->SetOnChange(changed);
  FBorders->SetOwner(this);
  FBorders->SetOnChange(changed);
}

TdxSkinElement::~TdxSkinElement() {
  if (FBrush && GdipDeleteBrush) GdipDeleteBrush(FBrush);
  TObject::Free(FCanvas);
  TObject::Free(FBorders);
  TObject::Free(FGlyph);
  TObject::Free(FImage);
}

TdxSkinCustomPersistentObject* TdxSkinElement::NewOfSameClass() const { return Make<TdxSkinElement>(); }

void TdxSkinElement::SetColor(TColor AValue) {
  FColor = AValue;
  FIsColorAssigned = AValue != clDefault && AValue != clNone;
  if (FIsColorAssigned && dxIsGdiPlusReady()) {
    const ARGB color = dxMakeGpColor(AValue, FAlpha);
    if (FBrush)
      GdipSetSolidFillColor(FBrush, color);
    else if (GdipCreateSolidFill(color, &FBrush) != GpOk)
      FBrush = nullptr;
  }
  Changed();
}

void TdxSkinElement::SetAlpha(Byte AValue) {
  if (AValue == FAlpha) return;
  FAlpha = AValue;
  SetColor(FColor);
}

void TdxSkinElement::SetImageCount(int AValue) {
  AValue = std::max(AValue, 1);
  if (AValue == FImageCount) return;
  FImageCount = AValue;
  FImage->SetDirty();
  FGlyph->SetDirty();
  Changed();
}

void TdxSkinElement::SetContentOffset(const TRect& AValue) {
  if (AValue == FContentOffset) return;
  FContentOffset = AValue;
  Changed();
}

void TdxSkinElement::SetTextColor(TColor AValue) {
  FTextColor = AValue;
  Changed();
}

void TdxSkinElement::SetMinSize(const TSize& AValue) {
  if (AValue.cx == FMinSize.cx && AValue.cy == FMinSize.cy) return;
  FMinSize = AValue;
  Changed();
}

bool TdxSkinElement::IsAlphaUsed() {
  if (!FImage->Empty()) return FImage->Texture()->IsAlphaUsed();
  return FAlpha < 255 || FColor == clNone;
}

TdxSkinControlGroup* TdxSkinElement::Group() const { return dynamic_cast<TdxSkinControlGroup*>(Owner()); }

String TdxSkinElement::Path() const {
  TdxSkinControlGroup* group = Group();
  return (group ? group->Name() : String()) + L"\\";
}

TSize TdxSkinElement::Size() { return FImage->Size(); }

String TdxSkinElement::GetImageFileName(TdxSkinImage* AImage) const {
  return Name() + (AImage == FGlyph ? L"_Glyph.png" : L"_Image.png");
}

void TdxSkinElement::SetStateMapping(const std::vector<TdxSkinElementState>& AStates) {
  FImage->SetStateMapping(AStates);
  FGlyph->SetStateMapping(AStates);
}

void TdxSkinElement::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinElement*>(Source);
  if (!source) return inherited::Assign(Source);
  InUpdate([&] {
    FImage->Assign(source->FImage);
    FGlyph->Assign(source->FGlyph);
    FAlpha = source->FAlpha;
    SetColor(source->FColor);
    SetContentOffset(source->FContentOffset);
    SetImageCount(source->FImageCount);
    FBorders->Assign(source->FBorders);
    SetMinSize(source->FMinSize);
    SetTextColor(source->FTextColor);
    inherited::Assign(Source);
  });
}

bool TdxSkinElement::CompareProperties(TdxSkinPersistent* APersistent) {
  if (APersistent->PropertyCount() != PropertyCount()) return false;
  for (int i = 0; i < PropertyCount(); ++i)
    if (!APersistent->Properties(i)->Compare(Properties(i))) return false;
  return true;
}

bool TdxSkinElement::Compare(TdxSkinElement* AElement) {
  return AElement && AElement->Name() == Name() && AElement->FColor == FColor &&
         AElement->FImageCount == FImageCount && AElement->FAlpha == FAlpha &&
         AElement->FTextColor == FTextColor && AElement->FMinSize.cx == FMinSize.cx &&
         AElement->FMinSize.cy == FMinSize.cy && AElement->FContentOffset == FContentOffset &&
         FBorders->Compare(AElement->FBorders) && CompareProperties(AElement) &&
         FImage->Compare(AElement->FImage) && FGlyph->Compare(AElement->FGlyph);
}

TColor TdxSkinElement::GetTextColor(TcxButtonState AState) {
  const wchar_t* name = nullptr;
  switch (AState) {
    case cxbsHot: name = L"TextColorHot"; break;
    case cxbsPressed: name = L"TextColorPressed"; break;
    case cxbsDisabled: name = L"TextColorDisabled"; break;
    default: break;
  }
  if (name)
    if (auto* color = dynamic_cast<TdxSkinColor*>(GetPropertyByName(name)))
      if (color->Value() != clDefault) return color->Value();
  return FTextColor;
}

// ---------------------------------------------------------------------------
// TdxSkinControlGroup
// ---------------------------------------------------------------------------

TdxSkinControlGroup::TdxSkinControlGroup() : FElements(Make<TcxObjectList>()) {}

TdxSkinControlGroup::~TdxSkinControlGroup() { TObject::Free(FElements); }

TdxSkinCustomPersistentObject* TdxSkinControlGroup::NewOfSameClass() const { return Make<TdxSkinControlGroup>(); }

TdxSkinElement* TdxSkinControlGroup::AddElement(const String& AName) {
  return AddElementEx(AName, TdxSkinElement::StaticClass());
}

TdxSkinElement* TdxSkinControlGroup::AddElementEx(const String& AName, TClass AElementClass) {
  if (!AElementClass || !AElementClass->InheritsFrom(TdxSkinElement::StaticClass()) || !AElementClass->Create)
    throw EdxSkin(L"Not a skin element class");
  auto* result = static_cast<TdxSkinElement*>(AElementClass->NewInstance());
  result->Init(this, AName);
  Adopt(result);
  FElements->Add(result);
  Changed();
  return result;
}

void TdxSkinControlGroup::Delete(int AIndex) {
  TObject* element = FElements->Items(AIndex);
  FElements->TList::Delete(AIndex);
  TObject::Free(element);
  Changed();
}

void TdxSkinControlGroup::RemoveElement(TdxSkinElement* AElement) {
  const int index = FElements->IndexOf(AElement);
  if (index >= 0) Delete(index);
}

void TdxSkinControlGroup::ExchangeElements(int AIndex1, int AIndex2) {
  FElements->Exchange(AIndex1, AIndex2);
  Changed();
}

TdxSkinElement* TdxSkinControlGroup::GetElementByName(const String& AName) {
  Sort();
  return static_cast<TdxSkinElement*>(FindInList(FElements, AName));
}

void TdxSkinControlGroup::DoSort() {
  inherited::DoSort();
  SortList(FElements);
}

void TdxSkinControlGroup::Clear() {
  inherited::Clear();
  FElements->Clear();
}

void TdxSkinControlGroup::ClearModified() {
  SetModified(false);
  for (int i = 0; i < Count(); ++i) Elements(i)->SetModified(false);
}

bool TdxSkinControlGroup::HasMissingElements() const {
  if (State().Contains(sosUnassigned)) return true;
  for (int i = 0; i < Count(); ++i)
    if (Elements(i)->State().Contains(sosUnassigned)) return true;
  return false;
}

TdxSkin* TdxSkinControlGroup::Skin() const { return dynamic_cast<TdxSkin*>(Owner()); }

void TdxSkinControlGroup::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinControlGroup*>(Source);
  if (!source) return inherited::Assign(Source);
  InUpdate([&] {
    AppendClones(source->FElements, FElements);
    inherited::Assign(Source);
  });
}

// ---------------------------------------------------------------------------
// TdxSkin
// ---------------------------------------------------------------------------

TdxSkin::TdxSkin(const String& AName, bool ALoadOnCreate, HINSTANCE hInst)
    : FColors(Make<TcxObjectList>()), FGroups(Make<TcxObjectList>()), FName(AName) {
  Init(nullptr, AName);
  if (ALoadOnCreate) {
    try {
      LoadFromResource(hInst);
    } catch (...) {
      TObject::Free(FGroups);
      TObject::Free(FColors);
      throw;
    }
  }
}

TdxSkin::~TdxSkin() {
  Clear();
  TObject::Free(FGroups);
  TObject::Free(FColors);
}

TdxSkinCustomPersistentObject* TdxSkin::NewOfSameClass() const { return Make<TdxSkin>(String(), false, nullptr); }

TdxSkinColor* TdxSkin::AddColor(const String& AName, TColor AColor) {
  BeginUpdate();
  auto* result = Make<TdxSkinColor>();
  result->Init(this, AName);
  Adopt(result);
  FColors->Add(result);
  result->SetValue(AColor);
  Changed();
  EndUpdate();
  return result;
}

TdxSkinControlGroup* TdxSkin::AddGroup(const String& AName) {
  auto* result = Make<TdxSkinControlGroup>();
  result->Init(this, AName);
  Adopt(result);
  FGroups->Add(result);
  Changed();
  return result;
}

TdxSkinColor* TdxSkin::GetColorByName(const String& AName) {
  Sort();
  return static_cast<TdxSkinColor*>(FindInList(FColors, AName));
}

TdxSkinControlGroup* TdxSkin::GetGroupByName(const String& AName) {
  Sort();
  return static_cast<TdxSkinControlGroup*>(FindInList(FGroups, AName));
}

void TdxSkin::DeleteProperty(TdxSkinProperty* AProperty) {
  inherited::DeleteProperty(AProperty);
  const int index = FColors->IndexOf(AProperty);
  if (index < 0) return;
  FColors->TList::Delete(index);
  TObject::Free(AProperty);
  Changed();
}

void TdxSkin::ExchangeColors(int AIndex1, int AIndex2) {
  FColors->Exchange(AIndex1, AIndex2);
  Changed();
}

void TdxSkin::ExchangeGroups(int AIndex1, int AIndex2) {
  FGroups->Exchange(AIndex1, AIndex2);
  Changed();
}

void TdxSkin::DoSort() {
  inherited::DoSort();
  SortList(FGroups);
  SortList(FColors);
}

void TdxSkin::Clear() {
  inherited::Clear();
  FGroups->Clear();
  FColors->Clear();
}

void TdxSkin::ClearModified() {
  SetModified(false);
  for (int i = 0; i < GroupCount(); ++i) Groups(i)->ClearModified();
}

bool TdxSkin::HasMissingElements() const {
  for (int i = 0; i < GroupCount(); ++i)
    if (Groups(i)->HasMissingElements()) return true;
  return false;
}

void TdxSkin::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkin*>(Source);
  if (!source) return inherited::Assign(Source);
  InUpdate([&] {
    AppendClones(source->FColors, FColors);
    AppendClones(source->FGroups, FGroups);
    inherited::Assign(Source);
  });
}

TdxSkin* TdxSkin::Clone(const String& AName) {
  auto* result = static_cast<TdxSkin*>(CloneNamed(AName));
  result->SetName(AName);
  return result;
}

void TdxSkin::AddListener(IdxSkinChangeListener* AListener) {
  if (AListener) FListeners.push_back(AListener);
}

void TdxSkin::RemoveListener(IdxSkinChangeListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it != FListeners.end()) FListeners.erase(it);
}

void TdxSkin::DoChange() {
  // The lock comes back whatever a listener does, or the skin would never
  // announce a change again.
  ++FLockCount;
  try {
    const std::vector<IdxSkinChangeListener*> listeners = FListeners;
    for (IdxSkinChangeListener* listener : listeners)
      if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
        listener->HandleSkinChange(this);
  } catch (...) {
    --FLockCount;
    throw;
  }
  --FLockCount;
  if (FOnSkinChange) FOnSkinChange(this);
}

void TdxSkin::TakeContent(TdxSkin* ASource) {
  auto move = [this](TcxObjectList* from, TcxObjectList* to) {
    for (int i = 0; i < from->Count(); ++i) {
      auto* item = static_cast<TdxSkinCustomPersistentObject*>(from->Items(i));
      Adopt(item);
      to->Add(item);
    }
    from->SetOwnObjects(false);
    from->Clear();
    from->SetOwnObjects(true);
  };
  move(ASource->FColors, FColors);
  move(ASource->FProperties, FProperties);
  move(ASource->FGroups, FGroups);
  FName = ASource->FName;
  FVersion = ASource->FVersion;
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

TdxSkinElement* dxSkinEmptyElement() { return Engine().EmptyElement; }
TdxSkinPartStream* dxSkinPartStream() { return Engine().PartStream; }

namespace {

const TClass* SkinClasses() {
  static const TClass classes[] = {TdxSkinControlGroup::StaticClass(), TdxSkinElement::StaticClass(),
                                   TdxSkinImage::StaticClass()};
  return classes;
}

const TClass* PropertyClasses() {
  static const TClass classes[] = {TdxSkinIntegerProperty::StaticClass(), TdxSkinColor::StaticClass(),
                                   TdxSkinRectProperty::StaticClass(),    TdxSkinSizeProperty::StaticClass(),
                                   TdxSkinBooleanProperty::StaticClass(), TdxSkinStringProperty::StaticClass()};
  return classes;
}

void SkinsCoreStart() {
  TSkinEngine& engine = Engine();
  engine.EmptyElement = Make<TdxSkinEmptyElement>();
  engine.PropertyClasses = new std::vector<TClass>();
  engine.PartStream = Make<TdxSkinPartStream>(nullptr);
  for (int i = 0; i < 3; ++i) RegisterClass(SkinClasses()[i]);
  for (int i = 0; i < 6; ++i) TdxSkinProperty::Register(PropertyClasses()[i]);
  // GDI+ and the PNG encoder's id are left to the first skin read or written.
}

void SkinsCoreStop() {
  TSkinEngine& engine = Engine();
  if (!engine.PropertyClasses) return;
  // Every class leaves the registry, the string property too, before the
  // list they are kept in goes.
  for (int i = 0; i < 3; ++i) UnRegisterClass(SkinClasses()[i]);
  for (int i = 0; i < 6; ++i) TdxSkinProperty::Unregister(PropertyClasses()[i]);
  delete engine.PropertyClasses;
  engine.PropertyClasses = nullptr;
  FreeAndNil(engine.PartStream);
  TdxSkinElement* empty = engine.EmptyElement;
  engine.EmptyElement = nullptr;
  TObject::Free(empty);
}

}  // namespace

void dxSkinsCoreInitialize() { dxGetDeferredUnitsLoader()->AddUnit(&SkinsCoreStart, &SkinsCoreStop); }

void dxSkinsCoreFinalize() { dxGetDeferredUnitsLoader()->RemoveUnit(&SkinsCoreStop); }
