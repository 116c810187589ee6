// The manager's categories: the items refer to them by index, so every
// change of the list carries the items' indexes along.
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarStrs.h"

#include "foundation/cxClasses.h"

#include <utility>

namespace {

// Every item of a category index, in item order.
std::vector<TdxBarItem*> ItemsOf(TdxBarManager* AManager, int ACategory) {
  std::vector<TdxBarItem*> items;
  for (int i = 0; i < AManager->ItemCount(); ++i)
    if (AManager->Items(i)->Category() == ACategory) items.push_back(AManager->Items(i));
  return items;
}

}  // namespace

void TdxBarManagerCategories::PadCategoryData() {
  FItemsVisibles.resize(std::max<size_t>(FItemsVisibles.size(), Count()), ivAlways);
  FVisibles.resize(std::max<size_t>(FVisibles.size(), Count()), true);
}

void TdxBarManagerCategories::Delete(int AIndex) {
  if (FMoving || AIndex < 0 || AIndex >= Count()) {
    TStringList::Delete(AIndex);
    return;
  }
  for (TdxBarItem* item : ItemsOf(FBarManager, AIndex)) TObject::Free(item);
  for (int c = AIndex + 1; c < Count(); ++c)
    for (TdxBarItem* item : ItemsOf(FBarManager, c)) item->SetCategory(c - 1);
  PadCategoryData();
  FItemsVisibles.erase(FItemsVisibles.begin() + AIndex);
  FVisibles.erase(FVisibles.begin() + AIndex);
  TStringList::Delete(AIndex);
  if (Count() == 0) Add(cxLookUpResourceString(&dxSBAR_DEFAULTCATEGORYNAME));
  FBarManager->SignalDesignerModified();
}

void TdxBarManagerCategories::InsertObject(int AIndex, const String& S, TObject* AObject) {
  // The items move up once the new index exists.
  std::vector<std::vector<TdxBarItem*>> shifted;
  if (!FMoving && AIndex >= 0 && AIndex < Count())
    for (int c = AIndex; c < Count(); ++c) shifted.push_back(ItemsOf(FBarManager, c));
  if (!FMoving && AIndex >= 0 && AIndex <= Count()) {
    PadCategoryData();
    FItemsVisibles.insert(FItemsVisibles.begin() + AIndex, ivAlways);
    FVisibles.insert(FVisibles.begin() + AIndex, true);
  }
  TStringList::InsertObject(AIndex, S, AObject);
  for (int k = static_cast<int>(shifted.size()) - 1; k >= 0; --k)
    for (TdxBarItem* item : shifted[k]) item->SetCategory(AIndex + k + 1);
  FBarManager->SignalDesignerModified();
}

void TdxBarManagerCategories::Exchange(int AIndex1, int AIndex2) {
  if (AIndex1 >= 0 && AIndex1 < Count() && AIndex2 >= 0 && AIndex2 < Count() && AIndex1 != AIndex2) {
    const std::vector<TdxBarItem*> first = ItemsOf(FBarManager, AIndex1);
    const std::vector<TdxBarItem*> second = ItemsOf(FBarManager, AIndex2);
    for (TdxBarItem* item : first) item->SetCategory(AIndex2);
    for (TdxBarItem* item : second) item->SetCategory(AIndex1);
    PadCategoryData();
    std::swap(FItemsVisibles[AIndex1], FItemsVisibles[AIndex2]);
    std::vector<bool>::swap(FVisibles[AIndex1], FVisibles[AIndex2]);
  }
  TStringList::Exchange(AIndex1, AIndex2);
  FBarManager->SignalDesignerModified();
}

void TdxBarManagerCategories::Move(int ACurIndex, int ANewIndex) {
  if (ACurIndex == ANewIndex || ACurIndex < 0 || ACurIndex >= Count() || ANewIndex < 0 || ANewIndex >= Count()) {
    TStringList::Move(ACurIndex, ANewIndex);
    return;
  }
  const std::vector<TdxBarItem*> moving = ItemsOf(FBarManager, ACurIndex);
  const int step = ACurIndex < ANewIndex ? 1 : -1;
  for (int c = ACurIndex + step; c != ANewIndex + step; c += step)
    for (TdxBarItem* item : ItemsOf(FBarManager, c)) item->SetCategory(c - step);
  for (TdxBarItem* item : moving) item->SetCategory(ANewIndex);
  PadCategoryData();
  const TdxBarItemVisible itemsVisible = FItemsVisibles[ACurIndex];
  const bool visible = FVisibles[ACurIndex];
  FItemsVisibles.erase(FItemsVisibles.begin() + ACurIndex);
  FVisibles.erase(FVisibles.begin() + ACurIndex);
  FItemsVisibles.insert(FItemsVisibles.begin() + ANewIndex, itemsVisible);
  FVisibles.insert(FVisibles.begin() + ANewIndex, visible);
  FMoving = true;
  try {
    TStringList::Move(ACurIndex, ANewIndex);
  } catch (...) {
    FMoving = false;
    throw;
  }
  FMoving = false;
  FBarManager->SignalDesignerModified();
}

void TdxBarManagerCategories::SetItemsVisible(int AIndex, TdxBarItemVisible AValue) {
  if (AIndex < 0 || AIndex >= Count()) return;
  PadCategoryData();
  FItemsVisibles[AIndex] = AValue;
}

void TdxBarManagerCategories::SetVisible(int AIndex, bool AValue) {
  if (AIndex < 0 || AIndex >= Count()) return;
  PadCategoryData();
  FVisibles[AIndex] = AValue;
}

void TdxBarManager::SetCategoryItemsVisible(int AIndex, TdxBarItemVisible AValue) {
  if (AIndex < 0 || AIndex >= FCategories->Count()) return;
  const TdxBarItemVisible old = FCategories->ItemsVisible(AIndex);
  FCategories->SetItemsVisible(AIndex, AValue);
  if (IsLoading() || old == AValue) return;
  if (!Designing()) {
    dxBarInManagerUpdate(this, [&] {
      for (TdxBarItem* item : ItemsOf(this, AIndex))
        if (item->Visible() == old) item->SetVisible(AValue);
    });
  }
  SignalDesignerModified();
}

void TdxBarManager::SetCategoryVisibleFlag(int AIndex, bool AValue) {
  if (AIndex < 0 || AIndex >= FCategories->Count() || FCategories->Visible(AIndex) == AValue) return;
  FCategories->SetVisible(AIndex, AValue);
  SignalDesignerModified();
}
