#include "platform/WinApi.h"
#include "foundation/cxClasses.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

#include <algorithm>

IMPLEMENT_CLASS(TcxEventHandlerCollection, TObject, (ConstructPlain<TcxEventHandlerCollection>))
IMPLEMENT_CLASS(TcxRegisteredClassListItemData, TObject, (ConstructPlain<TcxRegisteredClassListItemData>))
IMPLEMENT_CLASS(TcxRegisteredClassList, TObject, (ConstructPlain<TcxRegisteredClassList>))
IMPLEMENT_CLASS(TcxRegisteredClasses, TObject, (ConstructPlain<TcxRegisteredClasses>))

namespace {

[[noreturn]] void ListIndexError(int AIndex) {
  throw EListError(Format(L"List index out of bounds (%d)", {AIndex}));
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxEventHandlerCollection
// ---------------------------------------------------------------------------

// One running CallEvents: the position of the next handler and the end of
// the handlers that were there when it started, kept in step with removals.
struct TcxEventHandlerCollection::TCall {
  std::size_t Next = 0;
  std::size_t End = 0;
  bool CollectionGone = false;
};

TcxEventHandlerCollection::~TcxEventHandlerCollection() {
  for (TCall* call : FCalls) call->CollectionGone = true;
}

void TcxEventHandlerCollection::Add(const TcxEventHandler& AEvent) {
  if (!AEvent) return;
  if (std::find(FEvents.begin(), FEvents.end(), AEvent) != FEvents.end()) return;
  FEvents.push_back(AEvent);
}

void TcxEventHandlerCollection::Remove(const TcxEventHandler& AEvent) {
  const auto it = std::find(FEvents.begin(), FEvents.end(), AEvent);
  if (it == FEvents.end()) return;
  const std::size_t pos = static_cast<std::size_t>(it - FEvents.begin());
  FEvents.erase(it);
  for (TCall* call : FCalls) {
    if (pos < call->Next) {
      --call->Next;
      --call->End;
    } else if (pos < call->End) {
      --call->End;
    }
  }
}

void TcxEventHandlerCollection::CallEvents(TObject* Sender, const void* AEventArgs) {
  TCall call;
  call.End = FEvents.size();
  FCalls.push_back(&call);
  auto leave = [this, &call] {
    if (!call.CollectionGone) FCalls.erase(std::find(FCalls.begin(), FCalls.end(), &call));
  };
  try {
    while (!call.CollectionGone && call.Next < call.End) {
      // A copy: the handler may remove itself, which moves the array.
      const TcxEventHandler handler = FEvents[call.Next++];
      handler(Sender, AEventArgs);
    }
  } catch (...) {
    leave();
    throw;
  }
  leave();
}

// ---------------------------------------------------------------------------
// TcxRegisteredClassList
// ---------------------------------------------------------------------------

TcxRegisteredClassList::~TcxRegisteredClassList() {
  Clear();
}

void TcxRegisteredClassList::Clear() {
  std::vector<TcxRegisteredClassListItemData*> items;
  items.swap(FItems);
  for (TcxRegisteredClassListItemData* item : items) TObject::Free(item);
}

TcxRegisteredClassListItemData* TcxRegisteredClassList::Items(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) ListIndexError(AIndex);
  return FItems[AIndex];
}

bool TcxRegisteredClassList::LocateClass(TClass AItemClass, int& AIndex) {
  for (int i = Count() - 1; i >= 0; --i) {
    TClass entryClass = FItems[i]->ItemClass;
    if (AItemClass->InheritsFrom(entryClass)) {
      AIndex = i;
      return true;
    }
    if (entryClass->InheritsFrom(AItemClass)) AIndex = i;
  }
  return false;
}

void TcxRegisteredClassList::Register(TClass AItemClass, TClass ARegisteredClass) {
  if (!AItemClass) return;
  auto* item = Make<TcxRegisteredClassListItemData>();
  item->ItemClass = AItemClass;
  item->RegisteredClass = ARegisteredClass;
  int index = -1;
  if (LocateClass(AItemClass, index))
    FItems.insert(FItems.begin() + index + 1, item);
  else if (index >= 0)
    FItems.insert(FItems.begin() + index, item);
  else
    FItems.push_back(item);
}

void TcxRegisteredClassList::Unregister(TClass AItemClass, TClass ARegisteredClass) {
  for (int i = Count() - 1; i >= 0; --i) {
    TcxRegisteredClassListItemData* item = FItems[i];
    if (item->ItemClass == AItemClass && item->RegisteredClass == ARegisteredClass) {
      FItems.erase(FItems.begin() + i);
      TObject::Free(item);
    }
  }
}

TClass TcxRegisteredClassList::FindClass(TClass AItemClass) {
  if (!AItemClass) return nullptr;
  int index = -1;
  return LocateClass(AItemClass, index) ? FItems[index]->RegisteredClass : nullptr;
}

// ---------------------------------------------------------------------------
// TcxRegisteredClasses
// ---------------------------------------------------------------------------

namespace {

String DescriptionOf(const String& AText) {
  const auto bar = AText.find(L'|');
  return bar == String::npos ? AText : AText.substr(0, bar);
}

String HintOf(const String& AText) {
  const auto bar = AText.find(L'|');
  return bar == String::npos ? AText : AText.substr(bar + 1);
}

}  // namespace

TcxRegisteredClasses::TcxRegisteredClasses(bool ARegisterClasses) : FRegisterClasses(ARegisterClasses) {}

TcxRegisteredClasses::~TcxRegisteredClasses() = default;

void TcxRegisteredClasses::Clear() {
  FItems.clear();
}

void TcxRegisteredClasses::Register(TClass AClass, const String& ADescription) {
  if (!AClass || GetIndexByClass(AClass) >= 0) return;
  FItems.push_back(TEntry{ADescription, AClass});
  if (FSorted) SortEntries();
  if (FRegisterClasses) ::RegisterClass(AClass);
}

void TcxRegisteredClasses::Unregister(TClass AClass) {
  const int index = GetIndexByClass(AClass);
  if (index >= 0) FItems.erase(FItems.begin() + index);
}

TClass TcxRegisteredClasses::FindByClassName(const String& AClassName) const {
  for (const TEntry& e : FItems)
    if (AClassName == e.Class->Name) return e.Class;
  return nullptr;
}

TClass TcxRegisteredClasses::FindByDescription(const String& ADescription) const {
  for (const TEntry& e : FItems)
    if (DescriptionOf(e.Text) == ADescription) return e.Class;
  return nullptr;
}

String TcxRegisteredClasses::GetDescriptionByClass(TClass AClass) const {
  const int index = GetIndexByClass(AClass);
  return index < 0 ? String() : DescriptionOf(FItems[index].Text);
}

String TcxRegisteredClasses::GetHintByClass(TClass AClass) const {
  const int index = GetIndexByClass(AClass);
  return index < 0 ? String() : HintOf(FItems[index].Text);
}

int TcxRegisteredClasses::GetIndexByClass(TClass AClass) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Class == AClass) return static_cast<int>(i);
  return -1;
}

void TcxRegisteredClasses::CheckIndex(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) ListIndexError(AIndex);
}

String TcxRegisteredClasses::Descriptions(int AIndex) const {
  CheckIndex(AIndex);
  return DescriptionOf(FItems[AIndex].Text);
}

String TcxRegisteredClasses::Hints(int AIndex) const {
  CheckIndex(AIndex);
  return HintOf(FItems[AIndex].Text);
}

TClass TcxRegisteredClasses::Items(int AIndex) const {
  CheckIndex(AIndex);
  return FItems[AIndex].Class;
}

void TcxRegisteredClasses::SetSorted(bool AValue) {
  if (FSorted == AValue) return;
  FSorted = AValue;
  if (FSorted) SortEntries();
}

int TcxRegisteredClasses::CompareByDescription(int AIndex1, int AIndex2) const {
  return AnsiCompareText(DescriptionOf(FItems[AIndex1].Text), DescriptionOf(FItems[AIndex2].Text));
}

void TcxRegisteredClasses::SortEntries() {
  // Sorted through a permutation so that CompareByDescription, which works
  // on positions, can be overridden.
  std::vector<int> order(FItems.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return CompareByDescription(a, b) < 0; });
  std::vector<TEntry> sorted;
  sorted.reserve(FItems.size());
  for (int i : order) sorted.push_back(FItems[i]);
  FItems.swap(sorted);
}
