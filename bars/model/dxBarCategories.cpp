// The manager's categories: the items refer to them by index, so every
// change of the list carries the items' indexes along. Each category's data
// lives as the object of its string, so it moves, goes and is cleared with it.
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "platform/core/Filer.h"

#include <algorithm>
#include <vector>

IMPLEMENT_CLASS(TdxBarCategoryData, TObject, nullptr)

namespace {

// Every item of a category index, in item order.
std::vector<TdxBarItem*> ItemsOf(const TdxBarManager* AManager, int ACategory) {
  std::vector<TdxBarItem*> items;
  for (int i = 0; i < AManager->ItemCount(); ++i)
    if (AManager->Items(i)->Category() == ACategory) items.push_back(AManager->Items(i));
  return items;
}

// The order a comparison gives, as the original indexes by new position:
// a stable merge sort that stays inside the list whatever the comparison
// answers (it is the caller's code).
std::vector<int> SortedOrder(TStringList* AList, TStringListSortCompare ACompare) {
  const int n = AList->Count();
  std::vector<int> v(n), tmp(n);
  for (int i = 0; i < n; ++i) v[i] = i;
  for (int width = 1; width < n; width *= 2) {
    for (int lo = 0; lo < n; lo += 2 * width) {
      const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      int a = lo, b = mid, out = lo;
      while (a < mid && b < hi) tmp[out++] = ACompare(AList, v[b], v[a]) < 0 ? v[b++] : v[a++];
      while (a < mid) tmp[out++] = v[a++];
      while (b < hi) tmp[out++] = v[b++];
    }
    v.swap(tmp);
  }
  return v;
}

}  // namespace

TdxBarManagerCategories::~TdxBarManagerCategories() {
  for (int i = 0; i < Count(); ++i) TObject::Free(TStringList::GetObject(i));
}

TdxBarCategoryData* TdxBarManagerCategories::Data(int AIndex) const {
  auto* self = const_cast<TdxBarManagerCategories*>(this);
  if (AIndex < 0 || AIndex >= self->Count()) return nullptr;
  return static_cast<TdxBarCategoryData*>(self->GetObject(AIndex));
}

TdxBarCategoryData* TdxBarManagerCategories::NeedData(int AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return nullptr;
  TdxBarCategoryData* data = Data(AIndex);
  if (!data) {
    data = Make<TdxBarCategoryData>();
    TStringList::PutObject(AIndex, data);
  }
  return data;
}

TdxBarItemVisible TdxBarManagerCategories::ItemsVisible(int AIndex) const {
  const TdxBarCategoryData* data = Data(AIndex);
  return data ? data->ItemsVisible : ivAlways;
}

bool TdxBarManagerCategories::Visible(int AIndex) const {
  const TdxBarCategoryData* data = Data(AIndex);
  return data ? data->Visible : true;
}

void TdxBarManagerCategories::SetItemsVisible(int AIndex, TdxBarItemVisible AValue) {
  if (TdxBarCategoryData* data = NeedData(AIndex)) data->ItemsVisible = AValue;
}

void TdxBarManagerCategories::SetVisible(int AIndex, bool AValue) {
  if (TdxBarCategoryData* data = NeedData(AIndex)) data->Visible = AValue;
}

void TdxBarManagerCategories::PutObject(int AIndex, TObject* AObject) {
  TObject* old = TStringList::GetObject(AIndex);
  if (old == AObject) return;
  TStringList::PutObject(AIndex, dynamic_cast<TdxBarCategoryData*>(AObject));
  TObject::Free(old);
}

void TdxBarManagerCategories::Changed() {
  TStringList::Changed();
  if (UpdateCount() == 0) FBarManager->SignalDesignerModified();
}

void TdxBarManagerCategories::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarManagerCategories*>(ASource);
  if (!source || source == this) {
    TStringList::Assign(ASource);
    return;
  }
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < source->Count(); ++i) {
      TdxBarCategoryData* copy = nullptr;
      if (const TdxBarCategoryData* data = source->Data(i)) {
        copy = Make<TdxBarCategoryData>();
        copy->ItemsVisible = data->ItemsVisible;
        copy->LoadedItemsVisible = data->LoadedItemsVisible;
        copy->Visible = data->Visible;
      }
      AddObject(source->Get(i), copy);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TdxBarManagerCategories::Delete(int AIndex) {
  if (FMoving || AIndex < 0 || AIndex >= Count()) {
    TStringList::Delete(AIndex);
    return;
  }
  for (TdxBarItem* item : ItemsOf(FBarManager, AIndex)) TObject::Free(item);
  for (int c = AIndex + 1; c < Count(); ++c)
    for (TdxBarItem* item : ItemsOf(FBarManager, c)) item->FCategory = c - 1;
  TObject* data = TStringList::GetObject(AIndex);
  TStringList::Delete(AIndex);
  TObject::Free(data);
  if (Count() == 0) Add(cxLookUpResourceString(&dxSBAR_DEFAULTCATEGORYNAME));
}

void TdxBarManagerCategories::Clear() {
  std::vector<TObject*> data;
  for (int i = 0; i < Count(); ++i) data.push_back(TStringList::GetObject(i));
  TStringList::Clear();
  for (TObject* d : data) TObject::Free(d);
}

void TdxBarManagerCategories::InsertItem(int AIndex, const String& S, TObject* AObject) {
  // A foreign object (strings copied from another list) is no category data.
  auto* data = dynamic_cast<TdxBarCategoryData*>(AObject);
  if (!FMoving && AIndex >= 0 && AIndex < Count())
    for (int c = Count() - 1; c >= AIndex; --c)
      for (TdxBarItem* item : ItemsOf(FBarManager, c)) item->FCategory = c + 1;
  TStringList::InsertItem(AIndex, S, data);
}

void TdxBarManagerCategories::Exchange(int AIndex1, int AIndex2) {
  if (AIndex1 >= 0 && AIndex1 < Count() && AIndex2 >= 0 && AIndex2 < Count() && AIndex1 != AIndex2) {
    const std::vector<TdxBarItem*> first = ItemsOf(FBarManager, AIndex1);
    const std::vector<TdxBarItem*> second = ItemsOf(FBarManager, AIndex2);
    for (TdxBarItem* item : first) item->SetCategory(AIndex2);
    for (TdxBarItem* item : second) item->SetCategory(AIndex1);
  }
  TStringList::Exchange(AIndex1, AIndex2);
}

void TdxBarManagerCategories::Move(int ACurIndex, int ANewIndex) {
  if (ACurIndex == ANewIndex || ACurIndex < 0 || ACurIndex >= Count() || ANewIndex < 0 || ANewIndex >= Count()) {
    TStringList::Move(ACurIndex, ANewIndex);
    return;
  }
  constexpr int AsideCategory = -1000;
  for (TdxBarItem* item : ItemsOf(FBarManager, ACurIndex)) item->FCategory = AsideCategory;
  const int step = ACurIndex < ANewIndex ? 1 : -1;
  for (int c = ACurIndex + step; c != ANewIndex + step; c += step)
    for (TdxBarItem* item : ItemsOf(FBarManager, c)) item->FCategory = c - step;
  for (TdxBarItem* item : ItemsOf(FBarManager, AsideCategory)) item->FCategory = ANewIndex;
  FMoving = true;
  try {
    TStringList::Move(ACurIndex, ANewIndex);
  } catch (...) {
    FMoving = false;
    throw;
  }
  FMoving = false;
}

void TdxBarManagerCategories::CustomSort(TStringListSortCompare ACompare) {
  if (Sorted() || Count() < 2 || !ACompare) return;
  const std::vector<int> order = SortedOrder(this, ACompare);
  // Brings each category to its place by exchanges, which carry the items along.
  std::vector<int> positionOf(order.size()), atPosition(order.size());
  for (int i = 0; i < static_cast<int>(order.size()); ++i) positionOf[i] = atPosition[i] = i;
  BeginUpdate();
  try {
    for (int k = 0; k < static_cast<int>(order.size()); ++k) {
      const int from = positionOf[order[k]];
      if (from == k) continue;
      Exchange(k, from);
      const int displaced = atPosition[k];
      atPosition[from] = displaced;
      positionOf[displaced] = from;
      atPosition[k] = order[k];
      positionOf[order[k]] = k;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TdxBarManagerCategories::ApplyLoadedItemsVisible() {
  dxBarInManagerUpdate(FBarManager, [this] {
    for (int i = 0; i < Count(); ++i)
      if (const TdxBarCategoryData* data = Data(i)) FBarManager->SetCategoryItemsVisible(i, data->LoadedItemsVisible);
  });
}

// ---------------------------------------------------------------------------
// Stored properties: one value per category, in order
// ---------------------------------------------------------------------------

void TdxBarManagerCategories::DefineProperties(TFiler* AFiler) {
  TStringList::DefineProperties(AFiler);
  AFiler->DefineProperty(
      L"ItemsVisibles", [this](TReader* r) { ReadItemsVisibles(r); }, [this](TWriter* w) { WriteItemsVisibles(w); },
      true);
  AFiler->DefineProperty(
      L"Visibles", [this](TReader* r) { ReadVisibles(r); }, [this](TWriter* w) { WriteVisibles(w); }, true);
}

namespace {

// One stored value per category, in order, inside a string-list update;
// values past the last category are read and dropped.
template <class F>
void ReadPerCategory(TdxBarManagerCategories* ACategories, TReader* AReader, F&& AReadValue) {
  ACategories->BeginUpdate();
  try {
    AReader->ReadListBegin();
    for (int i = 0; !AReader->EndOfList(); ++i) AReadValue(i, i < ACategories->Count());
  } catch (...) {
    // The list's end is read also after a bad value, as the stream expects.
    ACategories->EndUpdate();
    AReader->ReadListEnd();
    throw;
  }
  ACategories->EndUpdate();
  AReader->ReadListEnd();
}

}  // namespace

// An ordinal that names no visibility leaves the category as it is.
void TdxBarManagerCategories::ReadItemsVisibles(TReader* AReader) {
  ReadPerCategory(this, AReader, [&](int AIndex, bool AExists) {
    const int value = AReader->ReadInteger();
    if (AExists && value >= ivNever && value <= ivAlways)
      FBarManager->SetCategoryItemsVisible(AIndex, static_cast<TdxBarItemVisible>(value));
  });
}

void TdxBarManagerCategories::WriteItemsVisibles(TWriter* AWriter) {
  AWriter->WriteListBegin();
  for (int i = 0; i < Count(); ++i) AWriter->WriteInteger(static_cast<int>(ItemsVisible(i)));
  AWriter->WriteListEnd();
}

void TdxBarManagerCategories::ReadVisibles(TReader* AReader) {
  ReadPerCategory(this, AReader, [&](int AIndex, bool AExists) {
    const bool value = AReader->ReadBoolean();
    if (AExists) FBarManager->SetCategoryVisibleFlag(AIndex, value);
  });
}

void TdxBarManagerCategories::WriteVisibles(TWriter* AWriter) {
  AWriter->WriteListBegin();
  for (int i = 0; i < Count(); ++i) AWriter->WriteBoolean(Visible(i));
  AWriter->WriteListEnd();
}

// ---------------------------------------------------------------------------
// The manager's operations on category data
// ---------------------------------------------------------------------------

TdxBarItemVisible TdxBarManager::CategoryItemsVisibleAt(int AIndex) const {
  return AIndex >= 0 && AIndex < FCategories->Count() ? FCategories->ItemsVisible(AIndex) : ivNever;
}

bool TdxBarManager::CategoryVisibleAt(int AIndex) const {
  return AIndex >= 0 && AIndex < FCategories->Count() && FCategories->Visible(AIndex);
}

int TdxBarManager::VisibleCategoryToIndex(int N) const {
  if (Designing()) return N;
  for (int i = 0, visible = 0; i < FCategories->Count(); ++i)
    if (CategoryVisibleAt(i) && visible++ == N) return i;
  return -1;
}

void TdxBarManager::SetCategoryItemsVisible(int AIndex, TdxBarItemVisible AValue) {
  TdxBarCategoryData* data = FCategories->NeedData(AIndex);
  if (!data) return;
  // While the form is read the items are not all there yet: the value waits
  // for the end of loading.
  if (IsLoading()) {
    data->LoadedItemsVisible = AValue;
    return;
  }
  const TdxBarItemVisible old = data->ItemsVisible;
  data->ItemsVisible = AValue;
  if (!Designing()) {
    dxBarInManagerUpdate(this, [&] {
      std::vector<TdxBar*> emptyBefore;
      if (FAutoHideEmptyBars)
        for (int i = 0; i < FBars->Count(); ++i)
          if (FBars->Items(i)->ItemLinks()->AvailableItemCount() == 0) emptyBefore.push_back(FBars->Items(i));
      std::vector<TdxBarItem*> items = ItemsOf(this, AIndex);
      if (AValue == ivAlways) std::reverse(items.begin(), items.end());
      for (TdxBarItem* item : items)
        if (item->Visible() == old) item->SetVisible(AValue);
      if (!FAutoHideEmptyBars) return;
      for (int i = 0; i < FBars->Count(); ++i) {
        TdxBar* bar = FBars->Items(i);
        const bool empty = bar->ItemLinks()->AvailableItemCount() == 0;
        if (AValue == ivNever && empty && bar->Visible() &&
            std::find(emptyBefore.begin(), emptyBefore.end(), bar) == emptyBefore.end()) {
          bar->SetVisible(false);
          bar->SetInternallyHidden(true);
        } else if (AValue == ivAlways && !empty && bar->InternallyHidden()) {
          bar->SetVisible(true);
        }
      }
    });
  }
  if (AValue != old) SignalDesignerModified();
}

void TdxBarManager::SetCategoryVisibleFlag(int AIndex, bool AValue) {
  TdxBarCategoryData* data = FCategories->Data(AIndex);
  if (AIndex < 0 || AIndex >= FCategories->Count() || (data ? data->Visible : true) == AValue) return;
  FCategories->NeedData(AIndex)->Visible = AValue;
  SignalDesignerModified();
}
