// Shared by the bar model's tests: a form that reads stored definitions and
// counts its exit clicks, a links owner that accepts every item, and an item
// control that records what it is told.
#pragma once

#include "bars/model/dxBar.h"
#include "tests/platform/gui/StdCtrlsTestSupport.h"

#include "foundation/dxCore.h"
#include "platform/gui/Forms.h"

#include <functional>

#include <string>
#include <vector>

class TBarTestForm : public TForm {
  DECLARE_CLASS(TBarTestForm, TForm)
  explicit TBarTestForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  void btnExitClick(TObject*) { ++ExitClicks; }
  void BarEvent(TdxBarManager*, TdxBar*) { ++BarEvents; }
  int ExitClicks = 0;
  int BarEvents = 0;
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

// The message of what the work raises, "<no error>" when it raises nothing.
inline String RaisedMessage(const std::function<void()>& AWork) {
  try {
    AWork();
  } catch (Exception& e) {
    return e.Message;
  }
  return L"<no error>";
}

// A window without window: shown, with a fixed client rectangle.
class TFakeBarControl : public TObject, public IdxBarControl {
  DECLARE_CLASS(TFakeBarControl, TObject)
  TFakeBarControl() = default;
  TObject* BarControlObject() override { return this; }
  bool IsDestroying() override { return false; }
  void SetItemLinks(TdxBarItemLinks* ALinks) override { Links = ALinks; }
  bool IsVertical() override { return false; }
  bool IsWindowVisible() override { return true; }
  TRect ClientRect() override { return Client; }
  void ScheduleRepaint() override {}
  void RepaintBar() override {}
  void RebuildItemControls() override {}
  void LinkDestroying(TdxBarItemLink*) override {}
  TdxBarItemLinks* Links = nullptr;
  TRect Client{0, 0, 100, 20};
};

// A bar window with a window of its own, shown, its client area its size;
// it records the mouse moves it hears.
class TWindowedBarControl : public TCustomControl, public IdxBarControl {
  DECLARE_CLASS(TWindowedBarControl, TCustomControl)
  explicit TWindowedBarControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  TObject* BarControlObject() override { return this; }
  bool IsDestroying() override { return false; }
  void SetItemLinks(TdxBarItemLinks*) override {}
  bool IsVertical() override { return false; }
  bool IsWindowVisible() override { return true; }
  TRect ClientRect() override { return TRect(0, 0, Width(), Height()); }
  void ScheduleRepaint() override {}
  void RepaintBar() override {}
  void RebuildItemControls() override {}
  void LinkDestroying(TdxBarItemLink*) override {}
  void MouseMove(TShiftState AShift, int X, int Y) override {
    Moves.emplace_back(X, Y);
    TCustomControl::MouseMove(AShift, X, Y);
  }
  std::vector<TPoint> Moves;
};

// A dock with a fixed docking zone.
class TFakeDock : public TObject, public IdxBarDockControl {
  DECLARE_CLASS(TFakeDock, TObject)
  TFakeDock(TdxBarDockingStyle AStyle, const TRect& AZone) : Style(AStyle), Zone(AZone) {}
  TObject* DockControlObject() override { return this; }
  TdxBarDockingStyle DockingStyle() override { return Style; }
  int DockSize() override { return 0; }
  void SetDockSize(int) override {}
  bool CanDockBar(TdxBar*) override { return Accepts; }
  void UpdateDock() override {}
  bool CanReceiveFocus() override { return Enabled; }
  bool DockingZoneContains(const TPoint& P) override {
    return P.X >= Zone.Left && P.X < Zone.Right && P.Y >= Zone.Top && P.Y < Zone.Bottom;
  }
  TdxBarDockingStyle Style;
  TRect Zone;
  bool Accepts = true;
  bool Enabled = true;
};

// An item control without window; keyboard navigation stops on enabled items.
class TTestItemControl : public TdxBarItemControlBase {
  DECLARE_CLASS(TTestItemControl, TdxBarItemControlBase)
  explicit TTestItemControl(TdxBarItemLink* ALink) : TdxBarItemControlBase(ALink) {}
  bool IsSelectable() override { return Item() && Item()->Enabled(); }
  void CaptionChanged() override { Notices.push_back(L"caption"); }
  void ImageChanged() override { Notices.push_back(L"image"); }
  void EnabledStateChanged() override { Notices.push_back(L"enabled"); }
  void LinkVisibilityChanged() override { Notices.push_back(L"visibility"); }
  void WidthChanged() override { Notices.push_back(L"width"); }
  std::vector<String> Notices;
};

// Owns a link collection the way a menu does: every item may be placed; its
// window is a fake one.
class TMenuLinksOwner : public IdxBarLinksOwner {
 public:
  explicit TMenuLinksOwner(TdxBarManager* AManager) : Links(Make<TdxBarSubMenuControlItemLinks>(AManager, this)) {}
  ~TMenuLinksOwner() { TObject::Free(Links); }
  TdxBarItemLinks* GetItemLinks() override { return Links; }
  IdxBarControl* CreateBarControl() override { return Make<TFakeBarControl>(); }
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
