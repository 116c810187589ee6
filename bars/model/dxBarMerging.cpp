// Merging the toolbars of one manager into those of another, and undoing the
// merges while the user customizes the toolbars.
#include "bars/model/dxBarMerging.h"

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/core/Lists.h"

#include <algorithm>
#include <vector>

IMPLEMENT_CLASS(TdxBarMergeData, TObject, nullptr)

// ---------------------------------------------------------------------------
// TdxBarMergeData
// ---------------------------------------------------------------------------

TdxBarMergeData::TdxBarMergeData() {
  FFreeNotificator = Make<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = TcxFreeNotificationEvent::Bind<&TdxBarMergeData::SavedBarFreed>(this);
  FMergedBarList = Make<TList>();
  FSavedMergedBarList = Make<TList>();
}

TdxBarMergeData::~TdxBarMergeData() {
  ClearSavedMergedBarList();
  FreeAndNil(FSavedMergedBarList);
  FreeAndNil(FMergedBarList);
  FreeAndNil(FFreeNotificator);
}

int TdxBarMergeData::MergedBarCount() const { return FMergedBarList->Count(); }

TdxBar* TdxBarMergeData::MergedBars(int AIndex) const { return static_cast<TdxBar*>(FMergedBarList->Get(AIndex)); }

int TdxBarMergeData::SavedMergedBarCount() const { return FSavedMergedBarList->Count(); }

TdxBar* TdxBarMergeData::SavedMergedBars(int AIndex) const {
  return static_cast<TdxBar*>(FSavedMergedBarList->Get(AIndex));
}

void TdxBarMergeData::ClearSavedMergedBarList() {
  for (int i = 0; i < FSavedMergedBarList->Count(); ++i) FFreeNotificator->RemoveSender(SavedMergedBars(i));
  FSavedMergedBarList->Clear();
}

void TdxBarMergeData::SaveMergedBarList(TList* AList) {
  TList* target = AList ? AList : FSavedMergedBarList;
  for (int i = 0; i < FMergedBarList->Count(); ++i) target->Add(FMergedBarList->Get(i));
  if (!AList)
    for (int i = 0; i < FSavedMergedBarList->Count(); ++i) FFreeNotificator->AddSender(SavedMergedBars(i));
}

void TdxBarMergeData::SavedBarFreed(TComponent* ABar) {
  while (FSavedMergedBarList->Remove(ABar) >= 0) {
  }
}

// ---------------------------------------------------------------------------
// The manager's merging
// ---------------------------------------------------------------------------

namespace {

std::vector<TdxBar*> BarsOf(const TdxBarManager* AManager) {
  std::vector<TdxBar*> bars;
  for (int i = 0; i < AManager->Bars()->Count(); ++i) bars.push_back(AManager->Bars()->Items(i));
  return bars;
}

// The row after the rows of the top side.
int NewTopRow(TdxBarManager* AManager, TdxBar* AExcept) {
  int rows = 0;
  for (TdxBar* bar : BarsOf(AManager))
    if (bar != AExcept && bar->DockingStyle() == dsTop && bar->Visible()) rows = std::max(rows, bar->Row() + 1);
  return rows;
}

// Whether the toolbar still lives (an unmerge may free a toolbar made by merging).
bool StillInManager(TdxBarManager* AManager, TdxBar* ABar) { return AManager->Bars()->IndexOf(ABar) >= 0; }

// Merges the toolbars put aside before customizing again; a toolbar of
// another manager keeps the visibility it had before its first merge.
void RemergeSaved(TdxBar* ABar) {
  TdxBarMergeData* data = ABar->MergeData();
  std::vector<TdxBar*> saved;
  for (int i = 0; i < data->SavedMergedBarCount(); ++i) saved.push_back(data->SavedMergedBars(i));
  data->ClearSavedMergedBarList();
  for (TdxBar* merged : saved) {
    if (merged->MergedWith() == ABar) continue;
    const bool visibleBefore = merged->VisibleBeforeMerging();
    const bool sameManager = merged->BarManager() == ABar->BarManager();
    ABar->Merge(merged);
    if (!sameManager) merged->MergeData()->VisibleBeforeMerging = visibleBefore;
  }
}

}  // namespace

void TdxBarManager::Merge(TdxBarManager* ABarManager, bool ACanCreateNewBar) {
  if (!ABarManager || ABarManager == this)
    throw EdxException(cxLookUpResourceString(&dxSBAR_CANTMERGEBARMANAGER));
  const std::vector<TdxBar*> others = BarsOf(ABarManager);
  for (TdxBar* bar : others) {
    if (bar->MergedWith()) throw EdxException(cxLookUpResourceString(&dxSBAR_ONEOFTOOLBARSALREADYMERGED));
    if (bar->MergedBarCount() > 0) throw EdxException(cxLookUpResourceString(&dxSBAR_ONEOFTOOLBARSHASMERGEDTOOLBARS));
  }
  std::vector<TdxBar*> visible;
  for (TdxBar* bar : others)
    if (bar->Visible()) visible.push_back(bar);
  dxBarInManagerUpdate(this, [&] {
    for (TdxBar* bar : visible)
      if (TdxBar* target = BarByCaption(bar->Caption())) target->Merge(bar);
    if (!ACanCreateNewBar) return;
    for (TdxBar* bar : visible) {
      if (bar->MergedWith()) continue;
      TdxBar* made = FBars->Add();
      made->SetCreatedByMerging(true);
      made->SetDockingStyle(dsTop);
      made->SetRow(NewTopRow(this, made));
      made->SetCaption(bar->Caption());
      made->Merge(bar);
      made->SetVisible(true);
    }
  });
}

void TdxBarManager::Unmerge(TdxBarManager* ABarManager) {
  dxBarInManagerUpdate(this, [&] {
    const std::vector<TdxBar*> bars = BarsOf(this);
    for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
      TdxBar* bar = *it;
      for (int i = StillInManager(this, bar) ? bar->MergedBarCount() - 1 : -1; i >= 0; --i) {
        TdxBar* merged = bar->MergeData()->MergedBars(i);
        if (merged->BarManager() != ABarManager) continue;
        bar->Unmerge(merged);
        // The last toolbar taken from a toolbar made by merging frees it.
        if (!StillInManager(this, bar)) break;
        i = std::min(i, bar->MergedBarCount());
      }
    }
  });
}

void TdxBarManager::MergeOrUnmergeBars(TdxBarManager* AManager, bool ASaving) {
  std::vector<TdxBar*> mergedHere;
  for (TdxBar* bar : BarsOf(this))
    if (bar->MergedWith() && bar->MergedWith()->BarManager() == this) mergedHere.push_back(bar);
  dxBarInManagerUpdate(this, [&] {
    const std::vector<TdxBar*> bars = BarsOf(this);
    for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
      TdxBar* bar = *it;
      if (!StillInManager(this, bar)) continue;
      if (ASaving) bar->MergeData()->SaveMergedBarList(nullptr);
      const bool made = bar->CreatedByMerging();
      if (made) {
        bar->MergeData()->CreatedByMergingBarVisibleBeforeCustomization = bar->Visible();
        bar->SetShouldNotBeDestroyedIfEmptyAfterUnmerge(true);
      }
      // Toolbars of another manager stay hidden meanwhile: they show in the
      // toolbar they are merged into, not on their own.
      for (int i = bar->MergedBarCount() - 1; i >= 0; --i) {
        TdxBar* merged = bar->MergeData()->MergedBars(i);
        if (!AManager || merged->BarManager() == AManager) bar->Unmerge(merged, false);
        i = std::min(i, bar->MergedBarCount());
      }
      if (made && StillInManager(this, bar)) bar->SetShouldNotBeDestroyedIfEmptyAfterUnmerge(false);
    }
    for (TdxBar* bar : mergedHere)
      if (StillInManager(this, bar) && !bar->MergedWith()) bar->SetVisible(bar->VisibleBeforeMerging());
  });
}

void TdxBarManager::RestoreMergesAfterCustomizing() {
  dxBarInManagerUpdate(this, [&] {
    for (TdxBar* bar : BarsOf(this))
      if (!bar->CreatedByMerging()) RemergeSaved(bar);
    for (TdxBar* bar : BarsOf(this)) {
      if (!bar->CreatedByMerging()) continue;
      RemergeSaved(bar);
      bar->SetHidden(false);
      bar->SetVisible(bar->MergeData()->CreatedByMergingBarVisibleBeforeCustomization);
    }
  });
}

void TdxBarManager::DoMergeItemLink(TdxBarItemLinks* ADstItemLinks, TdxBarItemLinks* ASrcItemLinks,
                                    TdxBarItemLink* ASrcItemLink, TdxBarItemMergeKind& AMergeKind, int& AMergeIndex) {
  if (OnMergeItemLink) OnMergeItemLink(this, ADstItemLinks, ASrcItemLinks, ASrcItemLink, AMergeKind, AMergeIndex);
}
