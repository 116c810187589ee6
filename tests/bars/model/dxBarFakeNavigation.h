// A navigation controller that records what the hooks and the owner
// messages ask of it.
#pragma once

#include "bars/model/dxBar.h"

#include <vector>

class TFakeNavigation : public IdxBarNavigation {
 public:
  bool NeedsKey(Word AKey, TShiftState) override {
    Seen.push_back(AKey);
    return false;
  }
  void HandleKey(Word, LPARAM) override {}
  void StopKeyboardHandling() override { ++Stops; }
  void LeaveNavigationMode() override { ++Leaves; }
  void SelectDefaultObject(TdxBarManager* AManager) override { Selected = AManager; }
  void FocusLink(TdxBarItemLink* ALink) override { Focused = ALink; }
  std::vector<Word> Seen;
  int Stops = 0;
  int Leaves = 0;
  TdxBarManager* Selected = nullptr;
  TdxBarItemLink* Focused = nullptr;
};
