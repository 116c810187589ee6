// A customization layer that records what the bar model asks of it; its
// form, popup and sub-menu editor are plain windows of the test's thread.
#pragma once

#include "bars/model/dxBar.h"

#include <vector>

class TFakeCustomization : public IdxBarCustomization {
 public:
  ~TFakeCustomization() {
    if (FWindow) DestroyWindow(FWindow);
  }
  // A hidden popup window the fake's form and popup may stand for.
  HWND Window() {
    if (!FWindow)
      FWindow = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    return FWindow;
  }
  HWND FormWindow() override { return Form; }
  TdxBarManager* FormManager() override { return Manager; }
  bool FormActive() override { return Active; }
  void UpdateFormVisibility(const WINDOWPOS&) override { ++VisibilityUpdates; }
  void FormStyleChanged() override { ++StyleChanges; }
  void FormHelpButtonChanged() override { ++HelpButtonChanges; }
  void FormOptionsChanged() override { ++OptionsChanges; }
  HWND SubMenuEditorWindow() override { return SubMenuEditor; }
  HWND QuickControlWindow() override { return Quick; }
  bool QuickControlActive() override { return false; }
  bool IsOnQuickControlMark(const POINT&) override { return OnMark; }
  void CloseQuickControl() override {
    ++QuickCloses;
    Quick = nullptr;
  }
  bool IsItemDragging() override { return false; }
  bool KeyAlreadyProcessed() override { return false; }
  bool SelectParentComponent() override {
    ++ParentSelections;
    return Selects;
  }
  bool DeleteSelectedObjects(bool AByCtrl) override {
    Deletions.push_back(AByCtrl);
    return Selects;
  }
  void SynchronizeLastSelectedItem() override {}
  void DesignerModified(TCustomForm*) override {}

  HWND Form = nullptr;
  HWND Quick = nullptr;
  HWND SubMenuEditor = nullptr;
  TdxBarManager* Manager = nullptr;
  bool Active = false;
  bool OnMark = false;
  bool Selects = true;
  int VisibilityUpdates = 0, StyleChanges = 0, HelpButtonChanges = 0, OptionsChanges = 0;
  int QuickCloses = 0, ParentSelections = 0;
  std::vector<bool> Deletions;

 private:
  HWND FWindow = nullptr;
};
