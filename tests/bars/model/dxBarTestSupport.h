// Shared by the bar model's tests: a form that reads stored definitions and
// counts its exit clicks, a links owner that accepts every item, and an item
// control that records what it is told.
#pragma once

#include "bars/model/dxBar.h"
#include "tests/platform/gui/StdCtrlsTestSupport.h"

#include "platform/gui/Forms.h"

#include <string>
#include <vector>

class TBarTestForm : public TForm {
  DECLARE_CLASS(TBarTestForm, TForm)
  explicit TBarTestForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  void btnExitClick(TObject*) { ++ExitClicks; }
  int ExitClicks = 0;
};

// A form read from a stored definition in text form.
inline TBarTestForm* ReadBarForm(const std::string& AText) {
  auto* form = Make<TBarTestForm>(nullptr);
  try {
    stdtest::ReadDefinition(AText.c_str(), form);
  } catch (...) {
    TObject::Free(form);
    throw;
  }
  return form;
}

inline TdxBarManager* ManagerOf(TComponent* AForm) { return dxBarManagerFromObject(AForm); }

// Owns a link collection the way a menu does: every item may be placed.
class TMenuLinksOwner : public IdxBarLinksOwner {
 public:
  explicit TMenuLinksOwner(TdxBarManager* AManager) : Links(Make<TdxBarItemLinks>(AManager, this)) {}
  ~TMenuLinksOwner() { TObject::Free(Links); }
  TdxBarItemLinks* GetItemLinks() override { return Links; }
  IdxBarControl* CreateBarControl() override { return nullptr; }
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText) override { return AItem->CanBePlacedOn(1, nullptr, AErrorText); }
  TComponent* GetInstance() override { return nullptr; }
  TdxBarItemLinks* Links;
};

// Names of a list of links' items ("-" for a link without item).
template <class F>
std::vector<String> LinkNames(int ACount, F&& ALinkAt) {
  std::vector<String> names;
  for (int i = 0; i < ACount; ++i) {
    TdxBarItem* item = ALinkAt(i)->Item();
    names.push_back(item ? item->Name() : String(L"-"));
  }
  return names;
}
