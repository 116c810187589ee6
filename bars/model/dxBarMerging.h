// The merge record of a toolbar: which toolbar it is merged into, which are
// merged into it, and what the merge and a customization in between must give
// back. The manager-level merging of whole managers is defined in
// dxBarMerging.cpp.
#pragma once

#include "bars/model/dxBarBase.h"

class TcxFreeNotificator;
class TList;

class TdxBarMergeData : public TObject {
  DECLARE_CLASS(TdxBarMergeData, TObject)
  TdxBarMergeData();
  ~TdxBarMergeData() override;

  // The toolbars merged into this toolbar, in merge order.
  TList* MergedBarList() const { return FMergedBarList; }
  int MergedBarCount() const;
  TdxBar* MergedBars(int AIndex) const;

  // The merged toolbars put aside while the user customizes; a toolbar
  // freed meanwhile leaves the list by itself.
  void ClearSavedMergedBarList();
  // Appends the merged toolbars to AList, or, for nil, to the saved list.
  void SaveMergedBarList(TList* AList = nullptr);
  int SavedMergedBarCount() const;
  TdxBar* SavedMergedBars(int AIndex) const;

  // This toolbar was made by a merge to receive another toolbar.
  bool CreatedByMerging = false;
  bool CreatedByMergingBarVisibleBeforeCustomization = false;
  TdxBar* MergedWith = nullptr;
  bool VisibleBeforeMerging = false;

 private:
  void SavedBarFreed(TComponent* ABar);
  TcxFreeNotificator* FFreeNotificator = nullptr;
  TList* FMergedBarList = nullptr;
  TList* FSavedMergedBarList = nullptr;
};
