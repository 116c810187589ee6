#include "editors/core/cxEditRepositoryItems.h"

#include "foundation/cxClasses.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

bool cxEditAltFocusRectMode = false;

// ---------------------------------------------------------------------------
// TcxEditRepositoryItem
// ---------------------------------------------------------------------------

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}

void TcxEditRepositoryItem::AfterConstruction() {
  inherited::AfterConstruction();
  FProperties = GetEditPropertiesClass().Create(this);
  FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxEditRepositoryItem::NotifyPropertiesChanged>(this);
}

void TcxEditRepositoryItem::BeforeDestruction() {
  inherited::BeforeDestruction();
  for (std::size_t i = FListenerList.size(); i-- > 0;) {
    if (i >= FListenerList.size()) continue;
    FListenerList[i]->ItemRemoved(this);
  }
  SetRepository(nullptr);
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() { TObject::Free(FProperties); }

TcxCustomEditPropertiesClass TcxEditRepositoryItem::GetEditPropertiesClass() const {
  return TcxCustomEditPropertiesClass::Of<TcxCustomEditProperties>();
}

String TcxEditRepositoryItem::GetBaseName() {
  const String repositoryName = FRepository ? FRepository->Name() : String();
  const String className = ClassType()->Name;
  static const String marker = L"TcxEditRepository";
  const std::size_t pos = className.find(marker);
  if (pos == String::npos) return repositoryName;
  return repositoryName + className.substr(pos + marker.size());
}

void TcxEditRepositoryItem::NotifyPropertiesChanged(TObject*) {
  for (std::size_t i = FListenerList.size(); i-- > 0;) {
    if (i >= FListenerList.size()) continue;
    FListenerList[i]->PropertiesChanged(this);
  }
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* AListener) {
  if (std::find(FListenerList.begin(), FListenerList.end(), AListener) == FListenerList.end())
    FListenerList.push_back(AListener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* AListener) {
  FListenerList.erase(std::remove(FListenerList.begin(), FListenerList.end(), AListener), FListenerList.end());
}

bool TcxEditRepositoryItem::ArePropertiesCompatible(TClass AClass) const {
  return AClass && FProperties->ClassType()->InheritsFrom(AClass);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() { return FRepository; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* AParent) {
  if (ComponentState().Contains(csLoading)) return;
  auto* repository = dynamic_cast<TcxEditRepository*>(AParent);
  if (AParent && !repository) throw EInvalidCast(L"Invalid class typecast");
  SetRepository(repository);
}

void TcxEditRepositoryItem::ReadState(TReader* AReader) {
  if (auto* repository = dynamic_cast<TcxEditRepository*>(AReader->Parent())) SetRepository(repository);
  inherited::ReadState(AReader);
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* Value) {
  if (FRepository == Value) return;
  if (FRepository) {
    auto& items = FRepository->FItems;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
  }
  FRepository = Value;
  if (FRepository && std::find(FRepository->FItems.begin(), FRepository->FItems.end(), this) == FRepository->FItems.end())
    FRepository->FItems.push_back(this);
}

BEGIN_CLASS(TcxEditRepositoryItem, TComponent, (ConstructWith<TcxEditRepositoryItem, TComponent>))
  b.Prop(L"Properties", &TcxEditRepositoryItem::Properties, &TcxEditRepositoryItem::SetProperties);
  b.Field(L"PropertiesEvents", &TcxEditRepositoryItem::PropertiesEvents);
END_CLASS

// ---------------------------------------------------------------------------
// TcxEditRepository
// ---------------------------------------------------------------------------

TcxEditRepository::TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}

TcxEditRepository::~TcxEditRepository() { Clear(); }

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TcxEditRepositoryItemClass ARepositoryItemClass) {
  return CreateItemEx(ARepositoryItemClass, this);
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TcxEditRepositoryItemClass ARepositoryItemClass,
                                                       TComponent* AOwner) {
  TcxEditRepositoryItem* item = ARepositoryItemClass.Create(AOwner);
  item->SetRepository(this);
  return item;
}

void TcxEditRepository::Clear() {
  while (!FItems.empty()) TObject::Free(FItems.back());
}

TcxEditRepositoryItem* TcxEditRepository::ItemByName(const String& AName) const {
  for (TcxEditRepositoryItem* item : FItems)
    if (AnsiSameText(item->Name(), AName)) return item;
  return nullptr;
}

void TcxEditRepository::GetChildren(TGetChildProc AProc, TComponent* ARoot) {
  for (TcxEditRepositoryItem* item : FItems)
    if (item->Owner() == ARoot) AProc(item);
}

IMPLEMENT_CLASS(TcxEditRepository, TComponent, (ConstructWith<TcxEditRepository, TComponent>))

// ---------------------------------------------------------------------------
// Registry and routines
// ---------------------------------------------------------------------------

namespace {
TcxRegisteredClasses*& Registry() {
  static TcxRegisteredClasses* registry = nullptr;
  return registry;
}
}  // namespace

TcxRegisteredClasses* cxEditPropertiesRegistry() {
  if (!Registry()) {
    Registry() = Make<TcxRegisteredClasses>();
    Registry()->SetSorted(true);
  }
  return Registry();
}

bool cxEditPropertiesRegistryExists() { return Registry() != nullptr; }
void cxFreeEditPropertiesRegistry() { FreeAndNil(Registry()); }

bool cxSubstituteRepositoryProperties(TcxCustomEditProperties* AProperties, TcxEditRepositoryItem* AItem,
                                      TcxCustomEditProperties*& ACurrent) {
  const bool substitute = AProperties && AItem && ACurrent == AItem->Properties() &&
                          ACurrent->ClassType()->InheritsFrom(AProperties->ClassType());
  if (substitute) ACurrent = AProperties;
  return substitute;
}

void cxAddRegionTo(HRGN ADest, HRGN ASource) { CombineRgn(ADest, ADest, ASource, RGN_OR); }

bool cxIsBlankChar(Char C) { return C == 0 || C == 9 || C == 10 || C == 12 || C == 13 || C == 32; }

void cxSendKeyMessage(HWND AReceiver, UINT AMsg, WPARAM AKey) { SendMessageW(AReceiver, AMsg, AKey, 0); }
void cxSendKeyDownMessage(HWND AReceiver, WPARAM AKey) { cxSendKeyMessage(AReceiver, WM_KEYDOWN, AKey); }
void cxSendCharMessage(HWND AReceiver, WPARAM AKey) { cxSendKeyMessage(AReceiver, WM_CHAR, AKey); }

TShiftState cxMouseButtonShift(TMouseButton AButton) {
  switch (AButton) {
    case mbRight: return TShiftState{ssRight};
    case mbMiddle: return TShiftState{ssMiddle};
    default: return TShiftState{ssLeft};
  }
}
