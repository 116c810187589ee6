#include "foundation/cxStyles.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

BEGIN_CLASS(TcxCustomStyle, TComponent, nullptr)
END_CLASS

BEGIN_CLASS(TcxStyle, TcxCustomStyle, (ConstructWith<TcxStyle, TComponent>))
  DefaultValue(b.Prop(L"AssignedValues", &TcxStyle::AssignedValues, &TcxStyle::SetAssignedValues), 0);
  b.Prop(L"Bitmap", &TcxStyle::Bitmap, &TcxStyle::SetBitmap).Stored = [](TObject* o) {
    return static_cast<TcxStyle*>(o)->AssignedValues().Contains(svBitmap);
  };
  b.Prop(L"Color", &TcxStyle::Color, &TcxStyle::SetColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return static_cast<TcxStyle*>(o)->AssignedValues().Contains(svColor);
  };
  b.Prop(L"Font", &TcxStyle::Font, &TcxStyle::SetFont).Stored = [](TObject* o) {
    return static_cast<TcxStyle*>(o)->AssignedValues().Contains(svFont);
  };
  b.Prop(L"TextColor", &TcxStyle::TextColor, &TcxStyle::SetTextColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return static_cast<TcxStyle*>(o)->AssignedValues().Contains(svTextColor);
  };
END_CLASS

BEGIN_CLASS(TcxStyleRepository, TComponent, (ConstructWith<TcxStyleRepository, TComponent>))
  DefaultValue(b.Prop(L"Scalable", &TcxStyleRepository::Scalable, &TcxStyleRepository::SetScalable), 0);
END_CLASS

IMPLEMENT_CLASS(TcxCustomStyles, TcxInterfacedPersistent, (ConstructWith<TcxCustomStyles, TPersistent>))

BEGIN_CLASS(TcxCustomStyleSheet, TcxComponent, (ConstructWith<TcxCustomStyleSheet, TComponent>))
  b.Prop(L"Caption", &TcxCustomStyleSheet::Caption, &TcxCustomStyleSheet::SetCaption).Stored = [](TObject* o) {
    // Only a caption of the sheet's own: an empty one reads as the name.
    auto* sheet = static_cast<TcxCustomStyleSheet*>(o);
    return !sheet->Caption().empty() && sheet->Caption() != sheet->Name();
  };
END_CLASS

namespace {

bool IsLoading(TComponent* c) { return c && c->ComponentState().Contains(csLoading); }

TcxStyleRepository* RepositoryParent(TComponent* AParent) {
  if (!AParent) return nullptr;
  auto* repository = dynamic_cast<TcxStyleRepository*>(AParent);
  if (!repository) throw EInvalidCast(L"Invalid class typecast");
  return repository;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomStyle
// ---------------------------------------------------------------------------

TcxCustomStyle::TcxCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}

TcxCustomStyle::~TcxCustomStyle() {
  RemoveAllListeners();   // nothing left when Free ran BeforeDestruction
  SetStyleRepository(nullptr);
}

void TcxCustomStyle::BeforeDestruction() {
  TComponent::BeforeDestruction();
  RemoveAllListeners();
}

void TcxCustomStyle::RemoveAllListeners() {
  FRemovingListeners = true;
  while (!FListeners.empty()) {
    IcxStyleChangeListener* listener = FListeners.back();
    listener->NotifyStyleRemoved(this);
    // A listener that forgot to leave would be asked again and again.
    auto it = std::find(FListeners.begin(), FListeners.end(), listener);
    if (it != FListeners.end()) FListeners.erase(it);
  }
}

void TcxCustomStyle::Changed() {
  for (size_t i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;   // a listener left meanwhile
    FListeners[i]->NotifyStyleChanged(this);
  }
}

void TcxCustomStyle::AddListener(IcxStyleChangeListener* AListener) {
  // Nobody joins a style that is telling its listeners goodbye.
  if (!AListener || FRemovingListeners) return;
  if (std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TcxCustomStyle::RemoveListener(IcxStyleChangeListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it != FListeners.end()) FListeners.erase(it);
}

void TcxCustomStyle::SetStyleRepository(TcxStyleRepository* AValue) {
  if (FStyleRepository == AValue) return;
  if (FStyleRepository) std::erase(FStyleRepository->FItems, this);
  FStyleRepository = AValue;
  if (FStyleRepository) FStyleRepository->FItems.push_back(this);
}

int TcxCustomStyle::Index() const { return FStyleRepository ? FStyleRepository->StyleIndexOf(const_cast<TcxCustomStyle*>(this)) : -1; }

TComponent* TcxCustomStyle::GetParentComponent() { return FStyleRepository; }

bool TcxCustomStyle::HasParent() { return FStyleRepository != nullptr; }

void TcxCustomStyle::SetParentComponent(TComponent* AParent) {
  if (!IsLoading(this)) SetStyleRepository(RepositoryParent(AParent));
}

void TcxCustomStyle::ReadState(TReader* Reader) {
  // While loading the stream names the parent: the repository the style was written in.
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Reader->Parent())) SetStyleRepository(repository);
  TComponent::ReadState(Reader);
}

// ---------------------------------------------------------------------------
// TcxStyle
// ---------------------------------------------------------------------------

TcxStyle::TcxStyle(TComponent* AOwner) : TcxCustomStyle(AOwner), FBitmap(Make<TBitmap>()), FFont(Make<TFont>()) {
  FBitmap->OnChange = TNotifyEvent::Bind<&TcxStyle::BitmapChanged>(this);
  FFont->OnChange = TNotifyEvent::Bind<&TcxStyle::FontChanged>(this);
}

TcxStyle::~TcxStyle() {
  FBitmap->OnChange = nullptr;
  FFont->OnChange = nullptr;
  FreeAndNil(FFont);
  FreeAndNil(FBitmap);
}

void TcxStyle::Changed() {
  if (FLockCount > 0) {
    FChangedWhileLocked = true;
    return;
  }
  TcxCustomStyle::Changed();
}

void TcxStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxStyle*>(Source);
  if (!source) {
    TcxCustomStyle::Assign(Source);
    return;
  }
  ++FLockCount;
  try {
    SetBitmap(source->FBitmap);
    SetColor(source->FColor);
    SetFont(source->FFont);
    SetTextColor(source->FTextColor);
    SetAssignedValues(source->FAssignedValues);
  } catch (...) {
    --FLockCount;
    throw;
  }
  --FLockCount;
  if (FChangedWhileLocked) {
    FChangedWhileLocked = false;
    Changed();
  }
}

void TcxStyle::RestoreDefaults() {
  ++FLockCount;
  try {
    FAssignedValues = TcxStyleValues();
    FBitmap->Assign(nullptr);
    SetColor(clDefault);
    SetTextColor(clDefault);
    FAssignedValues = TcxStyleValues();
  } catch (...) {
    --FLockCount;
    throw;
  }
  --FLockCount;
  FChangedWhileLocked = false;
  Changed();
}

void TcxStyle::ReadState(TReader* Reader) {
  TcxCustomStyle::ReadState(Reader);
  // A font written at another screen resolution keeps its size on this screen.
  // A font that is not assigned stays as it is: rescaling it would assign it.
  if (StyleRepository() && FAssignedValues.Contains(svFont))
    FFont->SetHeight(StyleRepository()->ScaleFontHeight(FFont->Height()));
}

void TcxStyle::SetAssignedValues(TcxStyleValues AValue) {
  if (FAssignedValues == AValue) return;
  FAssignedValues = AValue;
  Changed();
}

void TcxStyle::SetBitmap(TBitmap* AValue) { FBitmap->Assign(AValue); }

void TcxStyle::SetColor(TColor AValue) {
  if (AValue == FColor) return;
  FColor = AValue;
  if (AValue == clDefault)
    FAssignedValues.Exclude(svColor);
  else
    FAssignedValues.Include(svColor);
  Changed();
}

void TcxStyle::SetFont(TFont* AValue) { FFont->Assign(AValue); }

void TcxStyle::SetTextColor(TColor AValue) {
  if (AValue == FTextColor) return;
  FTextColor = AValue;
  if (AValue == clDefault)
    FAssignedValues.Exclude(svTextColor);
  else
    FAssignedValues.Include(svTextColor);
  Changed();
}

void TcxStyle::BitmapChanged(TObject*) {
  if (FBitmap->Empty())
    FAssignedValues.Exclude(svBitmap);
  else
    FAssignedValues.Include(svBitmap);
  Changed();
}

void TcxStyle::FontChanged(TObject*) {
  FAssignedValues.Include(svFont);
  Changed();
}

// ---------------------------------------------------------------------------
// TcxStyleRepository
// ---------------------------------------------------------------------------

TcxStyleRepository::TcxStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}

TcxStyleRepository::~TcxStyleRepository() {
  ClearStyleSheets();
  Clear();
}

void TcxStyleRepository::BeforeDestruction() {
  TComponent::BeforeDestruction();
  ClearStyleSheets();
  Clear();
}

void TcxStyleRepository::Clear() {
  while (!FItems.empty()) {
    TcxCustomStyle* style = FItems.back();
    // Out of the list first: freeing must not find it here again.
    style->SetStyleRepository(nullptr);
    TObject::Free(style);
  }
}

void TcxStyleRepository::ClearStyleSheets() {
  while (!FStyleSheets.empty()) {
    TcxCustomStyleSheet* sheet = FStyleSheets.back();
    sheet->SetStyleRepository(nullptr);
    TObject::Free(sheet);
  }
}

TcxCustomStyle* TcxStyleRepository::CreateItem(TcxCustomStyleClass AStyleClass) {
  return CreateItemEx(AStyleClass, this);
}

TcxCustomStyle* TcxStyleRepository::CreateItemEx(TcxCustomStyleClass AStyleClass, TComponent* AOwner) {
  TcxCustomStyle* style = AStyleClass.Create(AOwner);
  style->SetStyleRepository(this);
  return style;
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheet(TcxCustomStyleSheetClass AStyleSheetClass) {
  return CreateStyleSheetEx(AStyleSheetClass, this);
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheetEx(TcxCustomStyleSheetClass AStyleSheetClass,
                                                            TComponent* AOwner) {
  TcxCustomStyleSheet* sheet = AStyleSheetClass.Create(AOwner);
  sheet->SetStyleRepository(this);
  return sheet;
}

int TcxStyleRepository::StyleIndexOf(TcxCustomStyle* AStyle) const {
  auto it = std::find(FItems.begin(), FItems.end(), AStyle);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TcxStyleRepository::StyleSheetIndexOf(TcxCustomStyleSheet* AStyleSheet) const {
  auto it = std::find(FStyleSheets.begin(), FStyleSheets.end(), AStyleSheet);
  return it == FStyleSheets.end() ? -1 : static_cast<int>(it - FStyleSheets.begin());
}

TcxCustomStyle* TcxStyleRepository::Items(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) TList::Error(L"List index out of bounds (%d)", AIndex);
  return FItems[AIndex];
}

TcxCustomStyleSheet* TcxStyleRepository::StyleSheets(int AIndex) const {
  if (AIndex < 0 || AIndex >= StyleSheetCount()) TList::Error(L"List index out of bounds (%d)", AIndex);
  return FStyleSheets[AIndex];
}

int TcxStyleRepository::ScaleFontHeight(int AValue) const {
  const int screen = ScreenPixelsPerInch();
  if (!FScalable || FPixelsPerInch == 0 || FPixelsPerInch == screen) return AValue;
  return MulDiv(AValue, screen, FPixelsPerInch);
}

void TcxStyleRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TcxCustomStyle* style : std::vector<TcxCustomStyle*>(FItems))
    if (style->Owner() == Root) Proc(style);
  for (TcxCustomStyleSheet* sheet : std::vector<TcxCustomStyleSheet*>(FStyleSheets))
    if (sheet->Owner() == Root) Proc(sheet);
}

void TcxStyleRepository::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      L"PixelsPerInch", [this](TReader* reader) { FPixelsPerInch = reader->ReadInteger(); },
      [](TWriter* writer) { writer->WriteInteger(ScreenPixelsPerInch()); }, Filer->Ancestor() == nullptr);
}

// ---------------------------------------------------------------------------
// TcxCustomStyles
// ---------------------------------------------------------------------------

TcxCustomStyles::TcxCustomStyles(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}

TcxCustomStyles::~TcxCustomStyles() {
  FDestroying = true;
  SetStyleSheet(nullptr);
  std::vector<TcxCustomStylesItem> slots;
  slots.swap(FItems);
  for (const TcxCustomStylesItem& slot : slots) slot.Item->RemoveListener(this);
}

void TcxCustomStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomStyles*>(Source)) {
    SetStyleSheet(source->FStyleSheet);
    return;
  }
  TcxInterfacedPersistent::Assign(Source);
}

bool TcxCustomStyles::FindSlot(int AIndex, int& AFound) const {
  int lo = 0, hi = static_cast<int>(FItems.size()) - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (FItems[mid].Index < AIndex) {
      lo = mid + 1;
    } else if (FItems[mid].Index > AIndex) {
      hi = mid - 1;
    } else {
      AFound = mid;
      return true;
    }
  }
  AFound = lo;
  return false;
}

bool TcxCustomStyles::IsOwnerLoading() {
  for (TPersistent* p = Owner(); p; p = cxGetOwnerOf(p))
    if (IsLoading(dynamic_cast<TComponent*>(p))) return true;
  return false;
}

TComponent* TcxCustomStyles::OutermostOwnerComponent() {
  TComponent* result = nullptr;
  for (TPersistent* p = Owner(); p; p = cxGetOwnerOf(p))
    if (auto* c = dynamic_cast<TComponent*>(p)) result = c;
  return result;
}

TcxCustomStyle* TcxCustomStyles::GetValue(int AIndex) {
  int found;
  if (FindSlot(AIndex, found)) return FItems[found].Item;
  if (!FStyleSheet || IsOwnerLoading()) return nullptr;
  // Down the chain; a chain is never circular (IsValidStyleSheet), the bound is a safeguard.
  int depth = 0;
  for (TcxCustomStyleSheet* sheet = FStyleSheet; sheet && depth < 1000; ++depth) {
    TcxCustomStyles* styles = sheet->GetStyles();
    if (styles->FindSlot(AIndex, found)) return styles->FItems[found].Item;
    sheet = styles->FStyleSheet;
  }
  return nullptr;
}

void TcxCustomStyles::SetValue(int AIndex, TcxCustomStyle* AStyle) {
  // A style of the form this one inherits from stands for the inheriting
  // form's style of the same name.
  if (AStyle && !AStyle->Name().empty() && AStyle->Owner()) {
    TComponent* root = OutermostOwnerComponent();
    TComponent* styleOwner = AStyle->Owner();
    if (root && root != styleOwner && root->InheritsFrom(styleOwner->ClassType())) {
      if (TComponent* own = root->FindComponent(AStyle->Name())) {
        auto* ownStyle = dynamic_cast<TcxCustomStyle*>(own);
        if (!ownStyle) throw EInvalidCast(L"Invalid class typecast");
        AStyle = ownStyle;
      }
    }
  }
  if (AStyle == GetValue(AIndex)) return;
  int found;
  if (FindSlot(AIndex, found)) {
    TcxCustomStyle* old = FItems[found].Item;
    if (AStyle) {
      FItems[found].Item = AStyle;
      AStyle->AddListener(this);
    } else {
      FItems.erase(FItems.begin() + found);
    }
    StopListeningIfUnused(old);
    ReportStyleChanged(AIndex);
  } else if (AStyle) {
    FItems.insert(FItems.begin() + found, TcxCustomStylesItem{AIndex, AStyle});
    AStyle->AddListener(this);
    ReportStyleChanged(AIndex);
  }
}

void TcxCustomStyles::StopListeningIfUnused(TcxCustomStyle* AStyle) {
  // Another slot may hold the same style: it must still hear of the style's end,
  // or that slot would keep a dangling style.
  for (const TcxCustomStylesItem& slot : FItems)
    if (slot.Item == AStyle) return;
  AStyle->RemoveListener(this);
}

void TcxCustomStyles::ResetStyles() {
  for (int i = static_cast<int>(FItems.size()) - 1; i >= 0; --i)
    if (i < static_cast<int>(FItems.size())) SetValue(FItems[i].Index, nullptr);
}

void TcxCustomStyles::NotifyStyleChanged(TcxCustomStyle* Sender) {
  std::vector<int> indexes;
  for (const TcxCustomStylesItem& slot : FItems)
    if (slot.Item == Sender) indexes.push_back(slot.Index);
  for (int index : indexes) ReportStyleChanged(index);
}

void TcxCustomStyles::NotifyStyleRemoved(TcxCustomStyle* Sender) {
  for (int i = static_cast<int>(FItems.size()) - 1; i >= 0; --i) {
    if (i >= static_cast<int>(FItems.size()) || FItems[i].Item != Sender) continue;
    const int index = FItems[i].Index;
    Sender->RemoveListener(this);
    FItems.erase(FItems.begin() + i);
    ReportStyleChanged(index);
  }
}

void TcxCustomStyles::ReportStyleChanged(int AIndex) {
  if (FDestroying) return;
  HandleSlotChanged(AIndex);
  if (FOwnerStyleSheet) {
    for (TcxCustomStyles* user : std::vector<TcxCustomStyles*>(FOwnerStyleSheet->FStylesList))
      user->ReportStyleChanged(AIndex);
    FOwnerStyleSheet->UpdateFakeLinks();
  }
}

bool TcxCustomStyles::IsValidStyleSheet(TcxCustomStyleSheet* AStyleSheet) {
  if (!AStyleSheet) return true;
  if (AStyleSheet == FOwnerStyleSheet) return false;
  if (AStyleSheet->StylesClass() != ClassType()) return false;
  int depth = 0;
  for (TcxCustomStyleSheet* sheet = AStyleSheet; sheet; sheet = sheet->GetStyles()->FStyleSheet) {
    if (sheet == FOwnerStyleSheet || ++depth > 1000) return false;
  }
  return true;
}

void cxCollectStyleSheetIndexes(TcxCustomStyleSheet* AStyleSheet, std::vector<int>& AIndexes) {
  int depth = 0;
  for (TcxCustomStyleSheet* sheet = AStyleSheet; sheet && depth < 1000; ++depth) {
    TcxCustomStyles* styles = sheet->GetStyles();
    for (int i = 0; i < styles->SlotCount(); ++i) {
      const int index = styles->Slots(i).Index;
      if (std::find(AIndexes.begin(), AIndexes.end(), index) == AIndexes.end()) AIndexes.push_back(index);
    }
    sheet = styles->StyleSheet();
  }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* AValue) {
  if (AValue == FStyleSheet || !IsValidStyleSheet(AValue)) return;
  std::vector<int> indexes;
  if (!FDestroying) cxCollectStyleSheetIndexes(FStyleSheet, indexes);
  cxCollectStyleSheetIndexes(AValue, indexes);
  if (FStyleSheet) FStyleSheet->RemoveStyles(this);
  FStyleSheet = AValue;
  if (FStyleSheet) FStyleSheet->AddStyles(this);
  for (int index : indexes) ReportStyleChanged(index);
}

// ---------------------------------------------------------------------------
// TcxCustomStyleSheet
// ---------------------------------------------------------------------------

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* AOwner) : TcxComponent(AOwner) {
  FBuiltIn = IsDesigning();
}

TcxCustomStyleSheet::~TcxCustomStyleSheet() {
  DetachUsers();   // nothing left when Free ran BeforeDestruction
  SetStyleRepository(nullptr);
  if (FStyles) {
    FStyles->FOwnerStyleSheet = nullptr;
    FreeAndNil(FStyles);
  }
}

void TcxCustomStyleSheet::AfterConstruction() {
  TcxComponent::AfterConstruction();
  GetStyles();
}

void TcxCustomStyleSheet::BeforeDestruction() {
  TcxComponent::BeforeDestruction();
  DetachUsers();
}

void TcxCustomStyleSheet::DetachUsers() {
  FDestroying = true;
  while (!FStylesList.empty()) {
    TcxCustomStyles* user = FStylesList.back();
    user->SetStyleSheet(nullptr);
    // A user that could not let go (nothing should refuse nil) is forgotten all the same.
    if (!FStylesList.empty() && FStylesList.back() == user) {
      FStylesList.pop_back();
      user->FStyleSheet = nullptr;
    }
  }
}

TcxCustomStylesClass TcxCustomStyleSheet::StylesClass() { return TcxCustomStylesClass::Of<TcxCustomStyles>(); }

TcxCustomStyles* TcxCustomStyleSheet::GetStyles() {
  // Made on first use: the virtual GetStylesClass answers for the real class
  // only once construction is over.
  if (!FStyles) {
    FStyles = StylesClass().Create(this);
    FStyles->FOwnerStyleSheet = this;
  }
  return FStyles;
}

void TcxCustomStyleSheet::SetStyles(TcxCustomStyles* AValue) { GetStyles()->Assign(AValue); }

void TcxCustomStyleSheet::AddStyles(TcxCustomStyles* AStyles) {
  if (AStyles && std::find(FStylesList.begin(), FStylesList.end(), AStyles) == FStylesList.end())
    FStylesList.push_back(AStyles);
}

void TcxCustomStyleSheet::RemoveStyles(TcxCustomStyles* AStyles) { std::erase(FStylesList, AStyles); }

void TcxCustomStyleSheet::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomStyleSheet*>(Source)) {
    SetCaption(source->FCaption);
    SetStyles(source->GetStyles());
    return;
  }
  TcxComponent::Assign(Source);
}

void TcxCustomStyleSheet::CopyFrom(TcxCustomStyleSheet* AStyleSheet) {
  if (!AStyleSheet || AStyleSheet->ClassType() != ClassType()) return;
  TcxCustomStyles* source = AStyleSheet->GetStyles();
  for (int i = 0; i < source->SlotCount(); ++i) {
    const TcxCustomStylesItem slot = source->Slots(i);
    const TcxCustomStyleClass styleClass(slot.Item->ClassType());
    TcxCustomStyle* style = FStyleRepository ? FStyleRepository->CreateItemEx(styleClass, FStyleRepository->Owner())
                                             : styleClass.Create(Owner());
    style->Assign(slot.Item);
    GetStyles()->SetValue(slot.Index, style);
  }
}

String TcxCustomStyleSheet::Caption() const { return FCaption.empty() ? Name() : FCaption; }

void TcxCustomStyleSheet::SetCaption(const String& AValue) { FCaption = SameText(AValue, Name()) ? String() : AValue; }

int TcxCustomStyleSheet::Index() const {
  return FStyleRepository ? FStyleRepository->StyleSheetIndexOf(const_cast<TcxCustomStyleSheet*>(this)) : -1;
}

void TcxCustomStyleSheet::SetStyleRepository(TcxStyleRepository* AValue) {
  if (FStyleRepository == AValue) return;
  if (FStyleRepository) std::erase(FStyleRepository->FStyleSheets, this);
  FStyleRepository = AValue;
  if (FStyleRepository) FStyleRepository->FStyleSheets.push_back(this);
}

TComponent* TcxCustomStyleSheet::GetParentComponent() { return FStyleRepository; }

bool TcxCustomStyleSheet::HasParent() { return FStyleRepository != nullptr; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* AParent) {
  if (!IsLoading(this)) SetStyleRepository(RepositoryParent(AParent));
}

void TcxCustomStyleSheet::ReadState(TReader* Reader) {
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Reader->Parent())) SetStyleRepository(repository);
  TcxComponent::ReadState(Reader);
}

void TcxCustomStyleSheet::UpdateFakeLinks() {
  if (!IsDesigning() || IsDestroying() || !Owner()) return;
  TList list;
  CollectFakeComponentLinks(&list);
  SetFakeComponentLink1(list.Count() > 0 ? static_cast<TComponent*>(list.Get(0)) : nullptr);
  SetFakeComponentLink2(list.Count() > 1 ? static_cast<TComponent*>(list.Get(1)) : nullptr);
  SetFakeComponentLink3(list.Count() > 2 ? static_cast<TComponent*>(list.Get(2)) : nullptr);
}

void TcxCustomStyleSheet::CollectFakeComponentLinks(TList* AList) {
  TcxCustomStyles* styles = GetStyles();
  for (int i = 0; i < styles->SlotCount(); ++i) {
    TComponent* owner = styles->Slots(i).Item->Owner();
    if (owner && owner != Owner() && AList->IndexOf(owner) < 0) AList->Add(owner);
  }
}

void TcxCustomStyleSheet::DefineProperties(TFiler* Filer) {
  TcxComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      L"BuiltIn", [this](TReader* reader) { FBuiltIn = reader->ReadBoolean(); },
      [this](TWriter* writer) { writer->WriteBoolean(FBuiltIn); }, FBuiltIn);
}

// ---------------------------------------------------------------------------
// Module start-up and shutdown
// ---------------------------------------------------------------------------

namespace {
int gStylesInitCount = 0;
}

void cxStylesInitialize() {
  if (gStylesInitCount++ > 0) return;
  RegisterClass(TcxStyle::StaticClass());
}

void cxStylesFinalize() {
  if (gStylesInitCount == 0 || --gStylesInitCount > 0) return;
  UnRegisterClass(TcxStyle::StaticClass());
}
