// A design controller that records what the bar model asks of the
// customization layer; its form, popup and sub-menu editor are plain windows
// of the test's thread.
#pragma once

#include "bars/model/dxBar.h"

#include <vector>

class TFakeDesignController : public IdxBarDesignController {
 public:
  ~TFakeDesignController() {
    if (FWindow) DestroyWindow(FWindow);
  }
  // A hidden popup window the fake's form and popup may stand for.
  HWND Window() {
    if (!FWindow)
      FWindow = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    return FWindow;
  }
  HWND CustomizationFormWindow() override { return Form; }
  // Opening the form shows Window() as the form of that manager.
  void ShowCustomizationForm(TdxBarManager* AManager, bool AShow) override {
    Shown.push_back(AShow);
    Form = AShow ? Window() : nullptr;
    Manager = AShow ? AManager : nullptr;
  }
  TdxBarManager* CustomizationFormManager() override { return Manager; }
  bool IsCustomizationFormActive() override { return Active; }
  void UpdateCustomizationFormVisibility(const WINDOWPOS&) override { ++VisibilityUpdates; }
  void CustomizationFormStyleChanged() override { ++StyleChanges; }
  void UpdateCustomizationFormHelpButton() override { ++HelpButtonChanges; }
  void UpdateCustomizationFormOptions() override { ++OptionsChanges; }
  HWND SubMenuEditorWindow() override { return SubMenuEditor; }
  HWND QuickControlWindow() override { return Quick; }
  bool IsOnQuickControlMark(const POINT&) override { return OnMark; }
  void CloseQuickControl() override {
    ++QuickCloses;
    Quick = nullptr;
  }
  bool SelectParentComponent() override {
    ++ParentSelections;
    return Selects;
  }
  bool DeleteSelectedObjects(bool AByCtrl) override {
    Deletions.push_back(AByCtrl);
    return Selects;
  }
  void DesignerModified(TCustomForm* AForm) override { Modified.push_back(AForm); }

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
  std::vector<bool> Shown;
  std::vector<TCustomForm*> Modified;

 private:
  HWND FWindow = nullptr;
};
