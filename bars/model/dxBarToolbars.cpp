#include "bars/model/dxBarToolbars.h"

#include "bars/model/dxBarCaptionButtons.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarMerging.h"
#include "bars/model/dxBarRoutines.h"

#include "bars/model/dxBarStrs.h"

#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"

#include <algorithm>

BEGIN_CLASS(TdxBar, TcxComponentCollectionItem, (ConstructWith<TdxBar, TComponent>))
  using B = TdxBar;
  DefaultValue(b.Prop(L"AllowClose", &B::AllowClose, &B::SetAllowClose), 1);
  DefaultValue(b.Prop(L"AllowCustomizing", &B::AllowCustomizing, &B::SetAllowCustomizing), 1);
  DefaultValue(b.Prop(L"AllowQuickCustomizing", &B::AllowQuickCustomizing, &B::SetAllowQuickCustomizing), 1);
  DefaultValue(b.Prop(L"AllowReset", &B::AllowReset, &B::SetAllowReset), 1);
  DefaultValue(b.Prop(L"AlphaBlendValue", &B::AlphaBlendValue, &B::SetAlphaBlendValue), 255);
  b.Prop(L"BackgroundBitmap", &B::BackgroundBitmap, &B::SetBackgroundBitmap);
  DefaultValue(b.Prop(L"BorderStyle", &B::BorderStyle, &B::SetBorderStyle), bbsSingle);
  b.Prop(L"Caption", &B::Caption, &B::SetCaption);
  b.Prop(L"CaptionButtons", &B::CaptionButtons, nullptr);
  DefaultValue(b.Prop(L"Color", &B::Color, &B::SetColor, ColorTypeInfo()), clDefault);
  b.Prop(L"DockControl", &B::DockControlReference, &B::SetDockControlReference);
  b.Prop(L"DockedDockControl", &B::DockedDockControlReference, &B::SetDockedDockControlReference);
  b.Prop(L"DockedDockingStyle", &B::DockedDockingStyle, &B::SetDockedDockingStyle).Stored = [](TObject* o) {
    return static_cast<B*>(o)->DockedDockControl() == nullptr;
  };
  b.Prop(L"DockedLeft", &B::DockedLeft, &B::SetDockedLeft);
  b.Prop(L"DockedTop", &B::DockedTop, &B::SetDockedTop);
  b.Prop(L"DockingStyle", &B::DockingStyle, &B::SetDockingStyle).Stored = [](TObject* o) {
    return static_cast<B*>(o)->DockControl() == nullptr;
  };
  b.Prop(L"FloatLeft", &B::FloatLeft, &B::SetFloatLeft);
  b.Prop(L"FloatTop", &B::FloatTop, &B::SetFloatTop);
  b.Prop(L"FloatClientWidth", &B::FloatClientWidth, &B::SetFloatClientWidth);
  b.Prop(L"FloatClientHeight", &B::FloatClientHeight, &B::SetFloatClientHeight);
  b.Prop(L"Font", &B::Font, &B::SetFont).Stored = [](TObject* o) { return static_cast<B*>(o)->UseOwnFont(); };
  b.Prop(L"Glyph", &B::Glyph, &B::SetGlyph);
  DefaultValue(b.Prop(L"Hidden", &B::Hidden, &B::SetHidden), 0);
  DefaultValue(b.Prop(L"IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu), 0);
  b.Prop(L"ItemLinks", &B::ItemLinks, &B::SetItemLinks);
  b.Prop(L"KeyTip", &B::KeyTip, &B::SetKeyTip);
  DefaultValue(b.Prop(L"MultiLine", &B::MultiLine, &B::SetMultiLine), 0);
  DefaultValue(b.Prop(L"NotDocking", &B::NotDocking, &B::SetNotDocking), 0);
  b.Prop(L"OldName", &B::OldName, &B::SetOldName);
  b.Prop(L"OneOnRow", &B::OneOnRow, &B::SetOneOnRow);
  DefaultValue(b.Prop(L"RotateWhenVertical", &B::RotateWhenVertical, &B::SetRotateWhenVertical), 1);
  b.Prop(L"Row", &B::Row, &B::SetRow);
  DefaultValue(b.Prop(L"ShowMark", &B::ShowMark, &B::SetShowMark), 1);
  DefaultValue(b.Prop(L"SizeGrip", &B::SizeGrip, &B::SetSizeGrip), 1);
  b.Prop(L"UseOwnFont", &B::UseOwnFont, &B::SetUseOwnFont);
  DefaultValue(b.Prop(L"UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems), 1);
  DefaultValue(b.Prop(L"UseRestSpace", &B::UseRestSpace, &B::SetUseRestSpace), 0);
  b.Prop(L"Visible", &B::Visible, &B::SetVisible);
  b.Prop(L"WholeRow", &B::WholeRow, &B::SetWholeRow);
END_CLASS

IMPLEMENT_CLASS(TdxBars, TcxComponentCollection, nullptr)


IdxBarToolbarWindows*& dxBarToolbarWindows() {
  static IdxBarToolbarWindows* windows = nullptr;
  return windows;
}

namespace {

bool IsVerticalStyle(TdxBarDockingStyle AStyle) { return AStyle == dsLeft || AStyle == dsRight; }

IdxBarDockControl* DockOf(TComponent* AComponent) { return dynamic_cast<IdxBarDockControl*>(AComponent); }

TComponent* ComponentOf(IdxBarDockControl* ADock) {
  return ADock ? dynamic_cast<TComponent*>(ADock->DockControlObject()) : nullptr;
}

// The window and its parents up to the top-level one are shown and not minimized.
bool IsShownAndRestored(HWND AWnd) {
  for (HWND wnd = AWnd; wnd; wnd = (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD) ? GetParent(wnd) : nullptr)
    if (!IsWindowVisible(wnd) || IsIconic(wnd)) return false;
  return AWnd != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxBar
// ---------------------------------------------------------------------------

TdxBar::TdxBar(TComponent* AOwner) : TcxComponentCollectionItem(AOwner), FColor(clDefault) {
  FCaptionButtons = Make<TdxBarCaptionButtons>(this);
  FEditFont = Make<TFont>();
  FFont = Make<TFont>();
  FFont->OnChange = TNotifyEvent::Bind<&TdxBar::FontChanged>(this);
  FMergeData = Make<TdxBarMergeData>();
  FBackgroundBitmap = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBar::BackgroundBitmapChanged>(this));
  FGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBar::GlyphChanged>(this));
}

void TdxBar::BeforeDestruction() {
  TcxComponentCollectionItem::BeforeDestruction();
  if (OnDestroy) OnDestroy(this);
  TdxBarManager* manager = BarManager();
  if (manager && !manager->IsDestroying()) manager->DoBarDelete(this);
  if (TdxBar* host = MergedWith()) {
    host->DetachMerged(this, false);
    // A toolbar made by merging that this one leaves empty goes as well.
    TComponent* form = manager ? manager->Owner() : nullptr;
    const bool teardown = !manager || manager->IsDestroying() || (form && form->ComponentState().Contains(csDestroying));
    if (!teardown && host->MergedBarCount() == 0 && host->CreatedByMerging() && host->FItemLinks->Count() == 0 &&
        !host->IsDestroyingBar()) {
      if (host->FShouldNotBeDestroyedIfEmptyAfterUnmerge) {
        host->FMergeData->CreatedByMergingBarVisibleBeforeCustomization = host->FVisible;
        host->SetVisible(false);
        host->SetHidden(true);
      } else {
        TObject::Free(host);
      }
    }
  }
  while (MergedBarCount() > 0) DetachMerged(FMergeData->MergedBars(MergedBarCount() - 1), true);
  FreeAndNil(FMergeData);
  SetVisible(false);
  SetDockRow(nullptr);
  if (FItemLinks) FItemLinks->DestroyBarControl();
  const std::vector<TComponent*> items = FFreeNotificationItems;
  FFreeNotificationItems.clear();
  for (auto it = items.rbegin(); it != items.rend(); ++it) (*it)->Notification(this, opRemove);
  if (manager && manager->MainMenuBar() == this) manager->SetMainMenuBar(nullptr);
}

TdxBar::~TdxBar() {
  FreeAndNil(FCaptionButtons);
  FreeAndNil(FItemLinks);
  FreeAndNil(FGlyph);
  FreeAndNil(FFont);
  FreeAndNil(FEditFont);
  FreeAndNil(FBackgroundBitmap);
  cxClearObjectLinks(this);
}

TcxComponentCollection* TdxBar::CollectionOfParent(TComponent* AParent) {
  auto* manager = dynamic_cast<TdxBarManager*>(AParent);
  if (!manager) throw EInvalidCast(L"Invalid class typecast");
  TcxComponentCollection* bars = manager->Bars();
  // The links need the manager: they are made as soon as the toolbar knows it.
  if (!FItemLinks) {
    FItemLinks = Make<TdxBarControlItemLinks>(manager, this);
    FInternalFontChange = true;
    TFinally done{[this] { FInternalFontChange = false; }};
    FFont->Assign(manager->Font());
    UpdateEditFont();
  }
  return bars;
}

void TdxBar::AttachToManager() {
  TdxBarManager* manager = BarManager();
  if (!manager || manager->LoadingFromForm()) return;
  manager->DoBarAdd(this);
  ReportChange();
}

TdxBarManager* TdxBar::BarManager() const {
  return Collection() ? static_cast<TdxBars*>(Collection())->BarManager() : nullptr;
}

TdxBars* TdxBar::Bars() const { return static_cast<TdxBars*>(Collection()); }

IdxBarControl* TdxBar::Control() const { return FItemLinks ? FItemLinks->BarControl() : nullptr; }

IdxBarDockControl* TdxBar::RealDockControl() const {
  if (IdxBarDockControl* dock = DockControl()) return dock;
  TdxBars* bars = Bars();
  const TdxBarDockingStyle style = DockingStyle();
  return bars && style != dsNone ? bars->DockControls(style) : nullptr;
}

bool TdxBar::ManagerLoading() const {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsLoading();
}

bool TdxBar::IsDestroyingBar() const { return ComponentState().Contains(csDestroying); }

bool TdxBar::IsForeignDock(IdxBarDockControl* ADock) const {
  if (!ADock) return false;
  TdxBarManager* owner = ADock->DockBarManager();
  return owner && owner != BarManager();
}

void TdxBar::ReportChange() { Changed(); }

template <class T>
bool TdxBar::ChangeValue(T& AField, T AValue) {
  if (AField == AValue) return false;
  AField = AValue;
  ReportChange();
  return true;
}

void TdxBar::SetItemLinks(TdxBarItemLinks* AValue) {
  if (FItemLinks && AValue) FItemLinks->Assign(AValue);
}

void TdxBar::SetName(const String& ANewName) {
  if (FIsNameLocked) {
    FOldName = ANewName;
    return;
  }
  TcxComponentCollectionItem::SetName(ANewName);
}

// ---- the window

void TdxBar::RepaintControl() {
  if (IdxBarControl* control = Control()) control->RepaintBar();
}

void TdxBar::RefreshControlFrame() {
  IdxBarControl* control = Control();
  if (!control) return;
  control->RefreshFrame();
  if (IdxBarToolbarWindows* windows = dxBarToolbarWindows()) {
    windows->Invalidate(control);
    control->RepaintBar();
  }
}

void TdxBar::PlaceBarControl() {
  IdxBarControl* control = Control();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  TdxBarManager* manager = BarManager();
  if (control && windows) {
    IdxBarDockControl* dock = RealDockControl();
    windows->BeginInternalLock(control);
    {
      TFinally unlock{[&] { windows->EndInternalLock(control); }};
      if (dock) {
        windows->ChangeDockControl(control, DockingStyle(), dock);
        dock->InsertBarControl(control, dock->ClientToScreenPoint(TPoint(FDockedLeft, FDockedTop)), true);
      } else {
        windows->ChangeDockControl(control, dsNone, nullptr);
        const TPoint size = windows->CalcSizeForDockingStyle(control, dsNone);
        windows->SetWindowBounds(control, TRect(FFloatLeft, FFloatTop, FFloatLeft + size.X, FFloatTop + size.Y));
      }
    }
    TWinControl* owner = manager ? manager->OwnerControl() : nullptr;
    const bool show = dock || (owner && owner->HandleAllocated() && IsShownAndRestored(owner->Handle()) &&
                               (!manager->HideFloatingBarsWhenInactive() || manager->IsCustomizing() ||
                                manager->MainFormActive()));
    // A window not to be shown yet stays as its window layer made it: the
    // manager's activation shows and hides floating windows.
    if (show) windows->ShowWindow(control, true);
  }
  // A bar whose window took its place waits no longer.
  if (control && manager) manager->RemoveFromRestoreQueue(this);
}

void TdxBar::UpdateControlPosition() {
  if (ComponentState().Contains(csUpdating)) {
    FNeedUpdateControlPosition = true;
    return;
  }
  IdxBarControl* control = Control();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  if (!control || !windows || (Bars() && Bars()->IsMoving())) return;
  if (IdxBarDockControl* dock = RealDockControl()) {
    dock->RemoveBarControl(control, false);
    PlaceBarControl();
  } else {
    const TPoint size = windows->CalcSizeForDockingStyle(control, dsNone);
    windows->SetWindowBounds(control, TRect(FFloatLeft, FFloatTop, FFloatLeft + size.X, FFloatTop + size.Y));
  }
}

void TdxBar::Updating() {
  TcxComponentCollectionItem::Updating();
}

void TdxBar::Updated() {
  TcxComponentCollectionItem::Updated();
  if (!FNeedUpdateControlPosition) return;
  FNeedUpdateControlPosition = false;
  UpdateControlPosition();
}

IdxBarControl* TdxBar::CreateBarControl() {
  TdxBarToolbarControlFactory factory = dxBarToolbarControlFactory();
  IdxBarControl* control = factory ? factory(BarManager(), this) : nullptr;
  if (control) control->UpdateFont();
  return control;
}

TClass TdxBar::GetControlClass() {
  IdxBarDockControl* dock = RealDockControl();
  return dock ? dock->GetBarControlClass() : nullptr;
}

void TdxBar::PassValueToControl(int AValue) {
  IdxBarControl* control = Control();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  if (control && windows) windows->NotifyBarResize(control, AValue);
}

bool TdxBar::CanContainItem(TdxBarItem* AItem, String& AErrorText) { return AItem->CanBePlacedOn(0, this, AErrorText); }

// ---- properties

void TdxBar::SetCaption(const String& AValue) {
  if (FCaption == AValue) return;
  if (TdxBarManager* manager = BarManager(); manager && manager->BarByCaption(AValue)) return;
  FCaption = AValue;
  if (IdxBarControl* control = Control()) control->UpdateCaption();
  ReportChange();
}

void TdxBar::SetAllowClose(bool AValue) {
  if (FAllowClose == AValue) return;
  FAllowClose = AValue;
  if (IdxBarControl* control = Control(); control && DockingStyle() == dsNone) control->UpdateCaption();
}

void TdxBar::SetAllowQuickCustomizing(bool AValue) {
  if (FAllowQuickCustomizing == AValue) return;
  FAllowQuickCustomizing = AValue;
  IdxBarControl* control = Control();
  if (!control) return;
  if (DockingStyle() == dsNone) {
    control->UpdateCaption();
  } else if (TdxBarManager* manager = BarManager(); manager && manager->CanShowRecentItems()) {
    control->RepaintBar();
  }
}

void TdxBar::SetAlphaBlendValue(int AValue) {
  const Byte value = static_cast<Byte>(std::clamp(AValue, 0, 255));
  if (FAlphaBlendValue == value) return;
  FAlphaBlendValue = value;
  IdxBarControl* control = Control();
  if (IdxBarToolbarWindows* windows = dxBarToolbarWindows(); control && windows && DockingStyle() == dsNone)
    windows->ApplyAlphaBlend(control);
}

void TdxBar::SetBackgroundBitmap(TBitmap* AValue) {
  const bool newEmpty = !AValue || AValue->Empty();
  if (FBackgroundBitmap->Empty() && newEmpty) return;
  FBackgroundBitmap->Assign(AValue);
}

void TdxBar::BackgroundBitmapChanged(TObject*) { RefreshControlFrame(); }

void TdxBar::SetBorderStyle(TdxBarBorderStyle AValue) {
  if (FBorderStyle == AValue) return;
  FBorderStyle = AValue;
  RefreshControlFrame();
}

void TdxBar::SetColor(TColor AValue) {
  if (FColor == AValue) return;
  FColor = AValue;
  RefreshControlFrame();
}

void TdxBar::SetGlyph(TBitmap* AValue) { FGlyph->Assign(AValue); }

void TdxBar::GlyphChanged(TObject*) {
  IdxBarControl* control = Control();
  if (IdxBarToolbarWindows* windows = dxBarToolbarWindows(); control && windows) windows->NotifyBarChanged(control);
}

TComponent* TdxBar::DockControlReference() const { return ComponentOf(DockControl()); }
void TdxBar::SetDockControlReference(TComponent* AValue) { SetDockControl(DockOf(AValue)); }
TComponent* TdxBar::DockedDockControlReference() const { return ComponentOf(FDockedDockControl); }
void TdxBar::SetDockedDockControlReference(TComponent* AValue) { SetDockedDockControl(DockOf(AValue)); }

IdxBarDockControl* TdxBar::DockControl() const {
  if (ManagerLoading() && dxBarIsComparingWithAncestor(const_cast<TdxBar*>(this))) return FLoadedDockControl;
  return FDockControl;
}

void TdxBar::SetDockControl(IdxBarDockControl* AValue) {
  if (IsForeignDock(AValue)) return;
  if (ManagerLoading()) {
    FLoadedDockControl = AValue;
    return;
  }
  if (FDockControl == AValue) return;
  TdxBarManager* manager = BarManager();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  const TdxBarDockingStyle oldStyle = DockingStyle();
  bool hidden = false;
  if (IdxBarControl* control = Control(); control && !FChangingDockingStyle) {
    IdxBarDockControl* controlDock = windows ? windows->DockControl(control) : nullptr;
    const bool inSideDock = controlDock && manager && manager->IsSideDock(controlDock);
    if ((AValue && AValue != controlDock) || (!AValue && oldStyle != dsNone && !inSideDock)) {
      SetVisible(false);
      hidden = true;
    }
  }
  FDockControl = AValue;
  if (FItemLinks) FItemLinks->ChangeRecentItemCount(-1);
  if (!FChangingDockingStyle) {
    FChangingDockingStyle = true;
    TFinally done{[this] { FChangingDockingStyle = false; }};
    SetDockingStyle(AValue ? AValue->DockingStyle() : oldStyle);
  }
  if (hidden) SetVisible(true);
  IdxBarControl* control = Control();
  if (control && windows && windows->DockControl(control) != RealDockControl() && !windows->IsInternalLocked(control)) {
    windows->BeginInternalLock(control);
    TFinally unlock{[&] { windows->EndInternalLock(control); }};
    windows->ChangeDockControl(control, DockingStyle(), RealDockControl());
  }
  if (!FChangingDockingStyle && manager) manager->DoBarDockingStyleChange(this);
}

void TdxBar::SetDockedDockControl(IdxBarDockControl* AValue) {
  if (IsForeignDock(AValue)) return;
  ChangeValue(FDockedDockControl, AValue);
}

TdxBarDockingStyle TdxBar::DockedDockingStyle() const {
  return FDockedDockControl ? FDockedDockControl->DockingStyle() : FDockedDockingStyle;
}

void TdxBar::SetDockedDockingStyle(TdxBarDockingStyle AValue) { ChangeValue(FDockedDockingStyle, AValue); }

namespace {

// The window's edge, for a setter that asks whether the window already sits
// where the value says (the window writing its position back).
enum TWindowEdge { weLeft, weTop, weClientWidth, weClientHeight };

bool WindowAlreadyAt(IdxBarControl* AControl, TWindowEdge AEdge, int AValue) {
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  if (!AControl || !windows) return false;
  const TRect bounds = windows->WindowBounds(AControl);
  const TRect client = AControl->ClientRect();
  switch (AEdge) {
    case weLeft: return bounds.Left == AValue;
    case weTop: return bounds.Top == AValue;
    case weClientWidth: return client.Width() == AValue;
    default: return client.Height() == AValue;
  }
}

}  // namespace

void TdxBar::SetDockedLeft(int AValue) {
  AValue = std::max(AValue, 0);
  if (!ChangeValue(FDockedLeft, AValue)) return;
  if (!(DockingStyle() != dsNone && WindowAlreadyAt(Control(), weLeft, AValue))) UpdateControlPosition();
}

void TdxBar::SetDockedTop(int AValue) {
  AValue = std::max(AValue, 0);
  if (!ChangeValue(FDockedTop, AValue)) return;
  if (!(DockingStyle() != dsNone && WindowAlreadyAt(Control(), weTop, AValue))) UpdateControlPosition();
}

void TdxBar::SetFloatLeft(int AValue) {
  if (!ChangeValue(FFloatLeft, AValue)) return;
  if (!(DockingStyle() == dsNone && WindowAlreadyAt(Control(), weLeft, AValue))) UpdateControlPosition();
}

void TdxBar::SetFloatTop(int AValue) {
  if (!ChangeValue(FFloatTop, AValue)) return;
  if (!(DockingStyle() == dsNone && WindowAlreadyAt(Control(), weTop, AValue))) UpdateControlPosition();
}

void TdxBar::SetFloatClientWidth(int AValue) {
  if (!ChangeValue(FFloatClientWidth, AValue)) return;
  if (!(DockingStyle() == dsNone && WindowAlreadyAt(Control(), weClientWidth, AValue))) UpdateControlPosition();
}

void TdxBar::SetFloatClientHeight(int AValue) {
  if (!ChangeValue(FFloatClientHeight, AValue)) return;
  if (!(DockingStyle() == dsNone && WindowAlreadyAt(Control(), weClientHeight, AValue))) UpdateControlPosition();
}

TdxBarDockingStyle TdxBar::DockingStyle() const {
  if (ManagerLoading() && dxBarIsComparingWithAncestor(const_cast<TdxBar*>(this)))
    return FLoadedDockControl ? FLoadedDockControl->DockingStyle() : FLoadedDockingStyle;
  return FDockControl ? FDockControl->DockingStyle() : FDockingStyle;
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle AValue) {
  if (ManagerLoading()) {
    FLoadedDockingStyle = AValue;
    return;
  }
  if (FDockingStyle == AValue) return;
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  bool hidden = false;
  if (IdxBarControl* control = Control();
      control && !FChangingDockingStyle && !(windows && windows->DockingStyle(control) == AValue)) {
    SetVisible(false);
    hidden = true;
  }
  FDockingStyle = AValue;
  if (!FChangingDockingStyle) {
    FChangingDockingStyle = true;
    TFinally done{[this] { FChangingDockingStyle = false; }};
    SetDockControl(nullptr);
  }
  if (FItemLinks) FItemLinks->ChangeRecentItemCount(-1);
  if (hidden) {
    SetVisible(true);
    if (IdxBarControl* control = Control(); control && windows) windows->ChangeDockingStyle(control, AValue);
  }
  ReportChange();
  if (TdxBarManager* manager = BarManager(); manager && !FChangingDockingStyle) manager->DoBarDockingStyleChange(this);
}

void TdxBar::ChangeDockingStyle(TdxBarDockingStyle AStyle, IdxBarDockControl* ADockControl) {
  TdxBarManager* manager = BarManager();
  if (ADockControl && manager && manager->IsSideDock(ADockControl)) ADockControl = nullptr;
  if (AStyle == DockingStyle() || (ADockControl && ADockControl != FDockControl))
    SetDockControl(ADockControl);
  else
    SetDockingStyle(AStyle);
}

void TdxBar::ChangeDockingStyle(TdxBarDockingStyle AStyle) {
  IdxBarControl* control = Control();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  ChangeDockingStyle(AStyle, control && windows && AStyle != dsNone ? windows->DockControl(control) : nullptr);
}

void TdxBar::ToggleDocking() {
  TdxBarManager* manager = BarManager();
  if (!manager || !Bars()) return;
  if (DockingStyle() != dsNone) {
    if (!manager->CanDockBar(this, dsNone, nullptr)) return;
    SetVisible(false);
    SetDockingStyle(dsNone);
    SetVisible(true);
    return;
  }
  TdxBarDockingStyle style = DockedDockingStyle();
  IdxBarDockControl* dock = FDockedDockControl;
  const bool neverDocked = style == dsNone;
  if (neverDocked) style = dsTop;
  if (!dock) dock = Bars()->DockControls(style);
  if (!dock || !manager->CanDockBar(this, style, dock)) return;
  SetVisible(false);
  ChangeDockingStyle(style, dock);
  if (neverDocked) {
    SetOneOnRow(true);
    SetRow(dock->RowCount());
  }
  SetVisible(true);
}

void TdxBar::DockControlRemoving(IdxBarDockControl* ADock, bool AHide) {
  if (!ADock) return;
  if (AHide && RealDockControl() == ADock) SetVisible(false);
  if (FDockRow && FDockRow->RowDockControl() == ADock) SetDockRow(nullptr);
  if (FDockControl == ADock) FDockControl = nullptr;
  if (FLoadedDockControl == ADock) FLoadedDockControl = nullptr;
  if (FDockedDockControl == ADock) FDockedDockControl = nullptr;
}

IdxBarDockRow* TdxBar::AppendRows(IdxBarDockControl* ADock, int AIndex, bool AUntilIndex) {
  if (!AUntilIndex) return ADock->AppendRow();
  // A dock never needs more rows than its manager has toolbars: a corrupt
  // row number does not make rows without bound.
  TdxBars* bars = Bars();
  const int target = std::min(AIndex, std::max(ADock->RowCount(), bars ? bars->Count() : 1) - 1);
  while (ADock->RowCount() <= target)
    if (!ADock->AppendRow()) return nullptr;
  return ADock->RowAt(target);
}

int TdxBar::Row() const {
  // A row of another dock (the bar moved elsewhere while hidden) is no row here.
  if (IdxBarDockRow* row = OwnDockRow()) {
    const int index = row->RowDockControl()->IndexOfRow(row);
    if (index >= 0) return index;
  }
  return FRow;
}

IdxBarDockRow* TdxBar::OwnDockRow() const {
  IdxBarDockControl* dock = RealDockControl();
  return FDockRow && dock && FDockRow->RowDockControl() == dock ? FDockRow : nullptr;
}

void TdxBar::SetRow(int AValue) {
  AValue = std::max(AValue, 0);
  if (AValue == Row() && OwnDockRow()) return;
  FRow = AValue;
  TdxBarManager* manager = BarManager();
  IdxBarDockControl* dock = RealDockControl();
  if (dock) {
    IdxBarDockRow* row = nullptr;
    if (AValue >= dock->RowCount()) {
      const bool untilIndex = manager && (manager->IsUpdateLocked() || manager->BarsLoading());
      row = AppendRows(dock, AValue, untilIndex);
    } else {
      row = dock->RowAt(AValue);
    }
    if (row) SetDockRow(row);
  }
  ReportChange();
  if (dock) dock->UpdateDock();
}

void TdxBar::SetDockRow(IdxBarDockRow* AValue) {
  if (FDockRow == AValue) return;
  TdxBarManager* manager = BarManager();
  if (AValue && manager && manager->IsDestroying()) AValue = nullptr;
  IdxBarDockRow* old = FDockRow;
  FDockRow = nullptr;
  if (old) old->RemoveBar(this, true);
  FDockRow = AValue;
  if (AValue) AValue->IncludeBar(this);
}

void TdxBar::SetFont(TFont* AValue) { FFont->Assign(AValue); }

void TdxBar::UpdateEditFont() { FEditFont->Assign(FFont); }

void TdxBar::FontChanged(TObject*) {
  if (!FInternalFontChange) FUseOwnFont = true;
  UpdateEditFont();
  if (IdxBarControl* control = Control()) control->UpdateFont();
}

void TdxBar::ManagerFontChanged() {
  TdxBarManager* manager = BarManager();
  if (!manager || FUseOwnFont) return;
  FInternalFontChange = true;
  TFinally done{[this] { FInternalFontChange = false; }};
  FFont->Assign(manager->Font());
}

void TdxBar::SetUseOwnFont(bool AValue) {
  if (FUseOwnFont == AValue) return;
  FUseOwnFont = AValue;
  if (!AValue) ManagerFontChanged();
}

void TdxBar::SetHidden(bool AValue) { ChangeValue(FHidden, AValue); }

void TdxBar::SetIsMainMenu(bool AValue) {
  if (FIsMainMenu == AValue) return;
  TdxBarManager* manager = BarManager();
  auto apply = [&] {
    if (AValue) {
      if (manager && manager->MainMenuBar() && manager->MainMenuBar() != this)
        manager->MainMenuBar()->SetIsMainMenu(false);
      FIsMainMenu = true;
      if (manager) manager->SetMainMenuBar(this);
      FWholeRow = FMultiLine = true;
    } else {
      FIsMainMenu = false;
      if (manager && manager->MainMenuBar() == this) manager->SetMainMenuBar(nullptr);
      FMultiLine = FWholeRow = false;
    }
  };
  if (manager)
    dxBarInManagerUpdate(manager, apply);
  else
    apply();
  if (ManagerLoading()) return;
  if (IdxBarControl* control = Control()) {
    if (DockingStyle() != dsNone)
      control->RepaintBar();
    else
      control->UpdateCaption();
  }
  ReportChange();
}

void TdxBar::SetLockUpdate(bool AValue) {
  if (FLockUpdate == AValue) return;
  FLockUpdate = AValue;
  TdxBarManager* manager = BarManager();
  if (!manager) return;
  if (AValue)
    manager->BeginUpdate();
  else
    manager->EndUpdate();
}

void TdxBar::SetMultiLine(bool AValue) {
  if (FMultiLine == AValue || (!AValue && FIsMainMenu)) return;
  FMultiLine = AValue;
  if (DockingStyle() != dsNone) RepaintControl();
}

void TdxBar::SetNotDocking(TdxBarDockingStyles AValue) {
  if (FNotDocking == AValue) return;
  FNotDocking = AValue;
  RepaintControl();
}

void TdxBar::SetOneOnRow(bool AValue) {
  if (IdxBarDockControl* dock = RealDockControl(); dock && dock->IsBarHandleDestroying()) return;
  ChangeValue(FOneOnRow, AValue);
}

void TdxBar::SetRotateWhenVertical(bool AValue) {
  if (FRotateWhenVertical == AValue) return;
  FRotateWhenVertical = AValue;
  if (IdxBarControl* control = Control()) control->UpdateFont();
}

void TdxBar::SetShowMark(bool AValue) {
  if (FShowMark == AValue) return;
  FShowMark = AValue;
  RepaintControl();
}

void TdxBar::SetSizeGrip(bool AValue) {
  if (FSizeGrip == AValue) return;
  FSizeGrip = AValue;
  if (IsStatusBarLike()) RefreshControlFrame();
}

bool TdxBar::UseRecentItems() const { return !FItemLinks || FItemLinks->UseRecentItems(); }

void TdxBar::SetUseRecentItems(bool AValue) {
  if (!FItemLinks || FItemLinks->UseRecentItems() == AValue) return;
  FItemLinks->SetUseRecentItems(AValue);
  RepaintControl();
}

void TdxBar::SetUseRestSpace(bool AValue) {
  if (FUseRestSpace == AValue) return;
  FUseRestSpace = AValue;
  RepaintControl();
}

void TdxBar::SetWholeRow(bool AValue) {
  if (FWholeRow == AValue) return;
  FWholeRow = AValue;
  // A docked bar takes its new place in the dock's rows.
  if (Control() && DockingStyle() != dsNone) {
    SetVisible(false);
    SetVisible(true);
  }
}

bool TdxBar::Visible() const {
  if (ManagerLoading() && dxBarIsComparingWithAncestor(const_cast<TdxBar*>(this))) return FLoadedVisible;
  return FVisible;
}

void TdxBar::SetVisible(bool AValue) {
  TdxBarManager* manager = BarManager();
  if (AValue && manager && manager->IsDestroying()) return;
  if (!AValue && !FVisible && manager) manager->RemoveFromRestoreQueue(this);
  if (ManagerLoading()) {
    if (AValue != FVisible) FInternallyHidden = false;
    FLoadedVisible = AValue;
    return;
  }
  if (FVisible == AValue) return;
  FInternallyHidden = false;
  if (!AValue)
    if (IdxBarControl* control = Control())
      if (IdxBarToolbarWindows* windows = dxBarToolbarWindows()) windows->StorePosition(control);
  FVisible = AValue;
  if (FItemLinks) {
    if (AValue) {
      FItemLinks->CreateBarControl();
      PlaceBarControl();
    } else {
      FItemLinks->DestroyBarControl();
    }
  }
  ReportChange();
  if (manager && !manager->IsDestroying()) manager->DoBarVisibleChange(this);
}

// ---- queries

bool TdxBar::IsVertical() const { return IsVerticalStyle(DockingStyle()) && FRotateWhenVertical; }

bool TdxBar::IsClosable() const {
  if (!FAllowClose || FIsMainMenu) return false;
  IdxBarControl* control = Control();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  return !control || !windows || windows->CanClose(control);
}

TdxBar* TdxBar::MergedWith() const { return FMergeData ? FMergeData->MergedWith : nullptr; }

int TdxBar::MergedBarCount() const { return FMergeData ? FMergeData->MergedBarCount() : 0; }

bool TdxBar::CreatedByMerging() const { return FMergeData && FMergeData->CreatedByMerging; }

bool TdxBar::VisibleBeforeMerging() const { return FMergeData && FMergeData->VisibleBeforeMerging; }

void TdxBar::SetCreatedByMerging(bool AValue) {
  if (FMergeData) FMergeData->CreatedByMerging = AValue;
}

bool TdxBar::IsStatusBarLike() const { return FBorderStyle == bbsNone && DockingStyle() == dsBottom && FWholeRow; }

bool TdxBar::IsSizeGripShown() const {
  if (!IsStatusBarLike() || !FSizeGrip) return false;
  TdxBarManager* manager = BarManager();
  TWinControl* owner = manager ? manager->OwnerControl() : nullptr;
  if (owner && owner->HandleAllocated() && IsZoomed(owner->Handle())) return false;
  IdxBarControl* control = Control();
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  HWND wnd = control && windows ? windows->WindowHandle(control) : nullptr;
  if (!wnd) return false;
  // The window sits on the bottom edge of every parent's client area up to a
  // window without parent or an MDI child form.
  while ((GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD) && !(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
    HWND parent = GetParent(wnd);
    if (!parent) break;
    RECT bounds, client;
    GetWindowRect(wnd, &bounds);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
    GetClientRect(parent, &client);
    if (bounds.bottom != client.bottom) return false;
    wnd = parent;
  }
  return true;
}

bool TdxBar::HasAllowedDockingStyle() const {
  const TdxBarDockingStyles all{dsNone, dsLeft, dsTop, dsRight, dsBottom};
  TdxBarManager* manager = BarManager();
  return FNotDocking != all && !(manager && manager->NotDocking() == all);
}

int TdxBar::ContentOffsetsWidth(TdxBarDockingStyle AStyle) const {
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  if (!windows) return 0;
  const TRect offsets = windows->ContentOffsets(const_cast<TdxBar*>(this), AStyle, IsSizeGripShown());
  return offsets.Left + offsets.Right;
}

int TdxBar::ContentOffsetsHeight(TdxBarDockingStyle AStyle) const {
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  if (!windows) return 0;
  const TRect offsets = windows->ContentOffsets(const_cast<TdxBar*>(this), AStyle, IsSizeGripShown());
  return offsets.Top + offsets.Bottom;
}

bool TdxBar::HasFloatingWindow() const { return Control() && DockingStyle() == dsNone; }

bool TdxBar::ExecuteShortCut(Word AShortCut) { return FItemLinks && FItemLinks->ExecuteShortCut(AShortCut); }

void TdxBar::AddFreeNotification(TComponent* AItem) {
  if (AItem && std::find(FFreeNotificationItems.begin(), FFreeNotificationItems.end(), AItem) ==
                   FFreeNotificationItems.end())
    FFreeNotificationItems.push_back(AItem);
}

void TdxBar::RemoveFreeNotification(TComponent* AItem) {
  FFreeNotificationItems.erase(std::remove(FFreeNotificationItems.begin(), FFreeNotificationItems.end(), AItem),
                               FFreeNotificationItems.end());
}

// ---- moving

void TdxBar::Move(int X, int Y) {
  SetDockingStyle(dsNone);
  SetFloatLeft(X);
  SetFloatTop(Y);
}

void TdxBar::Move(IdxBarDockControl* ADockControl, int ARow, int APosition) {
  if (IsForeignDock(ADockControl)) return;
  IdxBarDockControl* dock = ADockControl ? ADockControl : RealDockControl();
  if (!dock) return;
  const bool vertical = IsVerticalStyle(dock->DockingStyle());
  APosition = std::max(APosition, 0);
  if (dock == RealDockControl() && ARow == Row() && APosition == (vertical ? FDockedTop : FDockedLeft)) return;
  TdxBarManager* manager = BarManager();
  const bool oneOnRow = FOneOnRow;
  const bool visible = FVisible;
  SetVisible(false);
  if (manager && manager->IsSideDock(dock)) {
    ChangeDockingStyle(dock->DockingStyle(), nullptr);
  } else {
    FDockControl = dock;
    FDockingStyle = dock->DockingStyle();
  }
  if (ARow >= dock->RowCount()) dock->AppendRow();
  if (vertical)
    SetDockedTop(APosition);
  else
    SetDockedLeft(APosition);
  SetRow(ARow);
  SetOneOnRow(oneOnRow);
  SetVisible(visible);
  dock->AssignColPositions();
}

void TdxBar::Move(TdxBarDockingStyle ADockingStyle, int ARow, int APosition) {
  if (TdxBars* bars = Bars()) Move(bars->DockControls(ADockingStyle), ARow, APosition);
}

void TdxBar::Move(TdxBar* ABar, bool AInsertAfter) {
  if (!ABar || ABar == this || ABar->BarManager() != BarManager() || ABar->DockingStyle() == dsNone) return;
  if (AInsertAfter && !ABar->Visible()) return;
  const bool vertical = IsVerticalStyle(ABar->DockingStyle());
  int position = vertical ? ABar->DockedTop() : ABar->DockedLeft();
  if (AInsertAfter)
    if (IdxBarControl* control = ABar->Control())
      if (IdxBarToolbarWindows* windows = dxBarToolbarWindows()) {
        const TRect bounds = windows->WindowBounds(control);
        position += vertical ? bounds.Height() : bounds.Width();
      }
  SetOneOnRow(false);
  Move(ABar->RealDockControl(), ABar->Row(), position);
}

// ---- merging

void TdxBar::Merge(TdxBar* ABar) {
  auto text = [](const TResStringRec& ARecord) { return cxLookUpResourceString(&ARecord); };
  if (MergedWith()) throw EdxException(text(dxSBAR_CANTMERGEWITHMERGEDTOOLBAR));
  if (!ABar || ABar == this) throw EdxException(text(dxSBAR_CANTMERGETOOLBAR));
  if (ABar->MergedWith() == this)
    throw EdxException(Format(text(dxSBAR_TOOLBARSALREADYMERGED), {ABar->FCaption, FCaption}));
  if (ABar->MergedBarCount() > 0) throw EdxException(Format(text(dxSBAR_TOOLBARHASMERGEDTOOLBARS), {ABar->FCaption}));
  const bool wasMerged = ABar->MergedWith() != nullptr;
  if (TdxBar* previous = ABar->MergedWith()) previous->DetachMerged(ABar, false);
  ABar->FMergeData->MergedWith = this;
  FMergeData->MergedBarList()->Add(ABar);
  if (TdxBarManager* manager = BarManager())
    dxBarInManagerUpdate(manager, [&] { FItemLinks->Merge(ABar->FItemLinks, ABar); });
  else
    FItemLinks->Merge(ABar->FItemLinks, ABar);
  if (!wasMerged) ABar->FMergeData->VisibleBeforeMerging = ABar->FVisible;
  ABar->SetVisibleKeepingMDIBounds(false);
}

void TdxBar::SetVisibleKeepingMDIBounds(bool AValue) {
  TdxBarManager* manager = BarManager();
  auto* form = manager ? dynamic_cast<TCustomForm*>(manager->Owner()) : nullptr;
  if (!form || form->FormStyle() != fsMDIChild) {
    SetVisible(AValue);
    return;
  }
  // The MDI child keeps its place while its docks change thickness.
  const TRect bounds = form->BoundsRect();
  SetVisible(AValue);
  if (form->BoundsRect() != bounds) form->SetBoundsRect(bounds);
}

void TdxBar::DetachMerged(TdxBar* ABar, bool ARestoreVisibility) {
  FItemLinks->Unmerge(ABar);
  FMergeData->MergedBarList()->Remove(ABar);
  ABar->FMergeData->MergedWith = nullptr;
  if (ARestoreVisibility) ABar->SetVisibleKeepingMDIBounds(ABar->FMergeData->VisibleBeforeMerging);
}

void TdxBar::Unmerge(TdxBar* ABar, bool ARestoreVisibility) {
  auto text = [](const TResStringRec& ARecord) { return cxLookUpResourceString(&ARecord); };
  if (ABar == this) throw EdxException(text(dxSBAR_CANTUNMERGETOOLBAR));
  if (ABar && !ABar->MergedWith()) return;
  if (ABar && ABar->MergedWith() != this)
    throw EdxException(Format(text(dxSBAR_TOOLBARSARENOTMERGED), {ABar->FCaption, FCaption}));
  if (MergedBarCount() > 0) {
    if (TdxBarManager* manager = BarManager())
      dxBarInManagerUpdate(manager, [&] { FItemLinks->Unmerge(ABar); });
    else
      FItemLinks->Unmerge(ABar);
    for (int i = MergedBarCount() - 1; i >= 0; --i)
      if (i < MergedBarCount())
        if (TdxBar* merged = FMergeData->MergedBars(i); !ABar || merged == ABar) DetachMerged(merged, ARestoreVisibility);
  }
  if (MergedBarCount() > 0 || !CreatedByMerging() || FItemLinks->Count() > 0 || IsDestroyingBar()) return;
  if (FShouldNotBeDestroyedIfEmptyAfterUnmerge) {
    FMergeData->CreatedByMergingBarVisibleBeforeCustomization = FVisible;
    SetVisible(false);
    SetHidden(true);
  } else {
    TObject::Free(this);
  }
}

// ---- reset, loading, assigning

void TdxBar::Reset() {
  if (TdxBarManager* manager = BarManager()) manager->ResetToolBarToDesign(this);
}

void TdxBar::ResetWithConfirmation() {
  if (dxBarShowAppMessageBox(Format(cxLookUpResourceString(&dxSBAR_WANTTORESETTOOLBAR), {FCaption}),
                             MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK)
    Reset();
}

void TdxBar::ApplyLoadedState() {
  FIsPredefined = true;
  if (FLoadedDockControl)
    SetDockControl(FLoadedDockControl);
  else
    SetDockingStyle(FLoadedDockingStyle);
  SetVisible(FLoadedVisible);
}

void TdxBar::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBar*>(ASource);
  if (!source) {
    TcxComponentCollectionItem::Assign(ASource);
    return;
  }
  SetAllowClose(source->FAllowClose);
  SetAllowCustomizing(source->FAllowCustomizing);
  SetAllowQuickCustomizing(source->FAllowQuickCustomizing);
  SetAllowReset(source->FAllowReset);
  SetBorderStyle(source->FBorderStyle);
  SetCaption(source->FCaption);
  FCaptionButtons->Assign(source->FCaptionButtons);
  SetDockedDockControl(source->FDockedDockControl);
  SetDockedDockingStyle(source->DockedDockingStyle());
  SetDockedLeft(source->FDockedLeft);
  SetDockedTop(source->FDockedTop);
  SetFloatLeft(source->FFloatLeft);
  SetFloatTop(source->FFloatTop);
  SetFloatClientWidth(source->FFloatClientWidth);
  SetFloatClientHeight(source->FFloatClientHeight);
  SetHidden(source->FHidden);
  SetIsMainMenu(source->FIsMainMenu);
  SetItemLinks(source->FItemLinks);
  SetNotDocking(source->FNotDocking);
  SetOldName(source->FOldName);
  SetOneOnRow(source->FOneOnRow);
  SetRotateWhenVertical(source->FRotateWhenVertical);
  SetRow(source->Row());
  SetShowMark(source->FShowMark);
  SetSizeGrip(source->FSizeGrip);
  SetWholeRow(source->FWholeRow);
  ChangeDockingStyle(source->DockingStyle(), source->DockControl());
  SetUseRecentItems(source->UseRecentItems());
  SetUseRestSpace(source->FUseRestSpace);
  SetColor(source->FColor);
  SetFont(source->FFont);
  SetUseOwnFont(source->FUseOwnFont);
  SetVisible(source->FVisible);
}

// ---- design-time selection

bool TdxBar::MayBeDeleted(bool) {
  TdxBarManager* manager = BarManager();
  const bool designing = manager && manager->Designing();
  if (!designing && (FIsPredefined || !IsClosable())) return false;
  IdxBarDesigner* designer = dxBarDesignerOf(manager);
  return !designer || designer->CanDeleteComponent(this);
}

void TdxBar::DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) {
  if (!MayBeDeleted(ADeleteComponent)) return;
  AReference = nullptr;
  TObject::Free(this);
}

void TdxBar::CollectMasterObjects(TdxObjectList* AObjects) {
  if (TdxBarManager* manager = BarManager(); manager && AObjects) AObjects->Add(manager->Owner());
}

IdxBarSelectableItem* TdxBar::FollowingSelectable() {
  TdxBars* bars = Bars();
  if (!bars || bars->Count() < 2) return nullptr;
  return bars->Items((Index() + 1) % bars->Count());
}

TPersistent* TdxBar::SelectableParentObject() {
  TdxBarManager* manager = BarManager();
  IdxBarDockControl* dock = RealDockControl();
  for (auto* control = dock ? dynamic_cast<TControl*>(dock->DockControlObject()) : nullptr; control;
       control = control->Parent())
    if (GetClass(control->ClassName())) return control;
  return manager ? manager->Owner() : nullptr;
}

TdxBarSelectionStatus TdxBar::DesignSelectionState() {
  IdxBarDesigner* designer = dxBarDesignerOf(BarManager());
  return designer ? designer->GetSelectionStatus(this) : ssUnselected;
}

void TdxBar::RefreshDesignView() {
  IdxBarControl* control = Control();
  if (IdxBarToolbarWindows* windows = dxBarToolbarWindows(); control && windows) windows->Invalidate(control);
}

void TdxBar::SelectInDesigner(TdxBarSelectionOperation AOperation) {
  if (IdxBarDesigner* designer = dxBarDesignerOf(BarManager())) designer->SelectObject(this, AOperation);
}

bool TdxBar::SelectParentInDesigner() {
  IdxBarDesigner* designer = dxBarDesignerOf(BarManager());
  if (!designer) return false;
  designer->SelectObject(SelectableParentObject(), soExclusive);
  return true;
}

void TdxBar::SelectionStateChanged() {
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->SelectionChanged(this);
  RefreshDesignView();
}

// ---------------------------------------------------------------------------
// Side docks without the bar controls layer
// ---------------------------------------------------------------------------

namespace {

// Keeps the size a side dock was given, so that the stored definition's
// dock sizes survive a round trip before the dock windows exist.
class TdxBarSideDockStandIn : public TObject, public IdxBarDockControl {
  DECLARE_CLASS(TdxBarSideDockStandIn, TObject)
  explicit TdxBarSideDockStandIn(TdxBarDockingStyle AStyle) : FStyle(AStyle) {}
  TObject* DockControlObject() override { return this; }
  TdxBarDockingStyle DockingStyle() override { return FStyle; }
  int DockSize() override { return FSize; }
  void SetDockSize(int AValue) override { FSize = AValue; }
  bool CanDockBar(TdxBar*) override { return true; }
  void UpdateDock() override {}
  bool CanReceiveFocus() override { return false; }
  bool DockingZoneContains(const TPoint&) override { return false; }

 private:
  TdxBarDockingStyle FStyle;
  int FSize = 0;
};

IMPLEMENT_CLASS(TdxBarSideDockStandIn, TObject, nullptr)

}  // namespace

// ---------------------------------------------------------------------------
// TdxBars
// ---------------------------------------------------------------------------

TdxBars::TdxBars(TdxBarManager* ABarManager)
    : TcxComponentCollection(ABarManager, TdxBar::StaticClass()), FBarManager(ABarManager) {
  for (TdxBarDockingStyle style : {dsLeft, dsTop, dsRight, dsBottom}) {
    TdxBarSideDockFactory factory = dxBarSideDockFactory();
    FDockControls[style] = factory ? factory(ABarManager, style) : Make<TdxBarSideDockStandIn>(style);
    ABarManager->RegisterDockControl(FDockControls[style]);
  }
}

TdxBars::~TdxBars() {
  for (IdxBarDockControl*& slot : FDockControls) {
    IdxBarDockControl* dock = slot;
    if (!dock) continue;
    FBarManager->UnregisterDockControl(dock);
    TObject::Free(dock->DockControlObject());
  }
  Clear();
}

void TdxBars::DockControlDestroyed(IdxBarDockControl* ADock) { FBarManager->UnregisterDockControl(ADock); }

void TdxBars::ForgetSideDock(IdxBarDockControl* ADock) {
  for (IdxBarDockControl*& dock : FDockControls)
    if (dock && dock == ADock) dock = nullptr;
}

IdxBarDockControl* TdxBars::DockControls(TdxBarDockingStyle AStyle) const {
  return AStyle >= dsLeft && AStyle <= dsBottom ? FDockControls[AStyle] : nullptr;
}

String TdxBars::GetUniqueToolbarName(const String& ABaseName) const {
  // Names are unique without regard to case among a form's components, so
  // the search compares them so too: an exact comparison would offer a name
  // the form refuses.
  return FBarManager->GetUniqueToolbarName(ABaseName);
}

void TdxBars::RepaintBars() {
  for (int i = 0; i < Count(); ++i)
    if (IdxBarControl* control = Items(i)->Control()) control->RepaintBar();
}

void TdxBars::InsertBarControl(IdxBarControl* AControl, TdxBarDockingStyle AStyle, IdxBarDockControl* ADock,
                               const TPoint& AScreenPoint) {
  IdxBarDockControl* dock = ADock ? ADock : DockControls(AStyle);
  if (dock && AControl) dock->InsertBarControl(AControl, AScreenPoint, true);
}

void TdxBars::RealignBarControlRow(IdxBarControl* AControl, TdxBarDockingStyle AStyle, IdxBarDockControl* ADock) {
  IdxBarDockControl* dock = ADock ? ADock : DockControls(AStyle);
  if (dock && AControl) dock->RemoveBarControl(AControl, true);
}

bool TdxBars::FindDockTarget(const TPoint& APoint, TdxBar* ABar, bool ACopyKeyDown, TdxBarDockingStyle& AStyle,
                             IdxBarDockControl*& ADockControl) const {
  AStyle = dsNone;
  ADockControl = nullptr;
  if (FMoving && ACopyKeyDown) return false;
  auto tryAt = [&](const TPoint& P) {
    for (TdxBarDockingStyle side : {dsLeft, dsRight, dsTop, dsBottom})
      for (int i = 0; i < FBarManager->DockControlCount(); ++i) {
        IdxBarDockControl* dock = FBarManager->DockControlAt(i);
        if (dock->DockingStyle() != side || !(dock->CanReceiveFocus() || FBarManager->Designing())) continue;
        if (FBarManager->CanDockBar(ABar, side, dock) && dock->DockingZoneContains(P)) {
          AStyle = side;
          ADockControl = dock;
          return true;
        }
      }
    return false;
  };
  if (tryAt(APoint)) return true;
  return FMoving && tryAt(TPoint(APoint.X - FMovingOffset.X, APoint.Y - FMovingOffset.Y));
}

void TdxBars::SetUpNewItem(TcxComponentCollectionItem* AItem) {
  TcxComponentCollection::SetUpNewItem(AItem);
  auto* bar = static_cast<TdxBar*>(AItem);
  bar->SetName(GetUniqueToolbarName(FBarManager->Name() + L"Bar"));
  bar->AttachToManager();
}

void TdxBars::NotifyChange(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) {
  TcxComponentCollection::NotifyChange(AItem, AAction);
  if (AItem && AAction == ccnChanged) FBarManager->SignalDesignerModified();
  if (AItem && (AAction == ccnExtracting || AAction == ccnExtracted || AAction == ccnDeleting))
    FBarManager->RemoveFromRestoreQueue(static_cast<TdxBar*>(AItem));
}

// ---------------------------------------------------------------------------
// Moving a toolbar with the mouse
// ---------------------------------------------------------------------------

namespace {

// The one docking delay of the process: a thread timer and the manager whose
// toolbar waits for it.
UINT_PTR gDockingTimer = 0;
TdxBarManager* gDockingManager = nullptr;

void StopDockingDelay() {
  if (gDockingTimer) KillTimer(nullptr, gDockingTimer);
  gDockingTimer = 0;
  gDockingManager = nullptr;
}

void CALLBACK DockingTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardCallback([] { dxBarDockingTimerFired(); });
}

bool IsLiveManager(TdxBarManager* AManager) {
  TdxBarManagerList* list = dxBarManagerList();
  for (int i = 0; list && i < list->Count(); ++i)
    if (list->ManagerAt(i) == AManager) return true;
  return false;
}

TdxBar* BarOfControl(TdxBars* ABars, IdxBarControl* AControl) {
  for (int i = 0; i < ABars->Count(); ++i)
    if (ABars->Items(i)->Control() == AControl) return ABars->Items(i);
  return nullptr;
}

TPoint operator+(const TPoint& A, const TPoint& B) { return TPoint(A.X + B.X, A.Y + B.Y); }
TPoint operator-(const TPoint& A, const TPoint& B) { return TPoint(A.X - B.X, A.Y - B.Y); }

}  // namespace

bool dxBarDockingDelayPending() { return gDockingTimer != 0; }

void dxBarDockingTimerFired() {
  if (!gDockingTimer) return;
  TdxBarManager* manager = gDockingManager;
  KillTimer(nullptr, gDockingTimer);
  gDockingTimer = 0;
  TFinally forget{[] { gDockingManager = nullptr; }};
  if (!manager || !IsLiveManager(manager) || !manager->Bars()) return;
  TdxBars* bars = manager->Bars();
  IdxBarControl* control = bars->FMovingBarControl;
  if (!bars->FMoving || !control) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  bars->FDocking = true;
  TFinally done{[bars] { bars->FDocking = false; }};
  bars->MoveBarControl(control, TPoint(cursor.x, cursor.y) + bars->FMovingOffset);
}

void TdxBars::StartDockingDelay() {
  StopDockingDelay();
  gDockingManager = FBarManager;
  gDockingTimer = SetTimer(nullptr, 0, static_cast<UINT>(FBarManager->WaitForDockingTime()), &DockingTimerProc);
  if (!gDockingTimer) gDockingManager = nullptr;
}

void TdxBars::MoveBarControl(IdxBarControl* AControl, const TPoint& APoint) {
  MoveBarControl(AControl, APoint, GetAsyncKeyState(VK_CONTROL) < 0);
}

void TdxBars::MoveBarControl(IdxBarControl* AControl, const TPoint& APoint, bool ACopyKeyDown) {
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  TdxBar* bar = AControl ? BarOfControl(this, AControl) : nullptr;
  if (!windows || !bar) return;
  TdxBarDockingStyle style = dsNone;
  IdxBarDockControl* dock = nullptr;
  FindDockTarget(APoint, bar, ACopyKeyDown, style, dock);
  if (!FBarManager->CanDockBar(bar, style, dock)) return;
  const TdxBarDockingStyle currentStyle = windows->DockingStyle(AControl);
  if (!FDocking && currentStyle == dsNone && style != dsNone) {
    // A floating toolbar docks only once the mouse rests over the dock.
    StartDockingDelay();
    style = dsNone;
    dock = nullptr;
  }
  TPoint point = APoint;
  if (style == dsNone) point = point - FMovingOffset;
  IdxBarDockControl* currentDock = currentStyle == dsNone ? nullptr : windows->DockControl(AControl);
  if (style == currentStyle && dock == currentDock) {
    if (dock)
      dock->MoveBarControl(AControl, point);
    else
      windows->SetWindowOrigin(AControl, point - windows->DragOffsetForStyle(AControl, dsNone));
    return;
  }
  windows->ShowWindow(AControl, false);
  if (currentDock) {
    currentDock->RemoveBarControl(AControl, true);
    if (bar->ItemLinks()) bar->ItemLinks()->ChangeRecentItemCount(-1);
  }
  if (dock) {
    windows->BeginInternalLock(AControl);
    {
      TFinally unlock{[&] { windows->EndInternalLock(AControl); }};
      windows->ChangeDockControl(AControl, style, dock);
    }
    dock->InsertBarControl(AControl, point, true);
  } else {
    windows->BeginInternalLock(AControl);
    TFinally unlock{[&] { windows->EndInternalLock(AControl); }};
    windows->ChangeDockControl(AControl, dsNone, nullptr);
    const TPoint size = windows->CalcSizeForDockingStyle(AControl, dsNone);
    const TPoint origin = point - windows->DragOffsetForStyle(AControl, dsNone);
    windows->SetWindowBounds(AControl, TRect(origin.X, origin.Y, origin.X + size.X, origin.Y + size.Y));
  }
  windows->ShowWindow(AControl, true);
}

void TdxBars::RunBarDragLoop(IdxBarControl* AControl) {
  IdxBarToolbarWindows* windows = dxBarToolbarWindows();
  TdxBar* bar = AControl ? BarOfControl(this, AControl) : nullptr;
  if (!windows || !bar || !windows->CanDock(AControl)) return;
  TObject* controlObject = AControl->BarControlObject();
  if (windows->DockingStyle(AControl) != dsNone)
    if (IdxBarDockControl* dock = windows->DockControl(AControl))
      dock->SetColPosition(AControl, TPoint(bar->DockedLeft(), bar->DockedTop()));
  FMoving = true;
  windows->SwitchMovingMode(AControl, true);
  FMovingBarControl = AControl;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint start(cursor.x, cursor.y);
  FMovingBarOriginalDockingStyle = windows->DockingStyle(AControl);
  FMovingOffset = FMovingStaticOffset = TPoint();
  if (FMovingBarOriginalDockingStyle != dsNone)
    if (IdxBarDockControl* dock = windows->DockControl(AControl)) {
      TPoint column;
      dock->GetColPosition(AControl, column);
      const TPoint origin = dock->ClientToScreenPoint(column);
      const int row = bar->Row();
      dock->RemoveBarControl(AControl, false);
      // The cursor is taken to the gap of its row, so that the first move keeps the row.
      const TPoint gap = dock->RowGapPoint(row, bar->OneOnRow(), start);
      if (IsVerticalStyle(FMovingBarOriginalDockingStyle))
        FMovingOffset.X = gap.X - start.X;
      else
        FMovingOffset.Y = gap.Y - start.Y;
      windows->BeginInternalLock(AControl);
      {
        TFinally unlock{[&] { windows->EndInternalLock(AControl); }};
        dock->InsertBarControl(AControl, origin, false);
      }
      const TRect bounds = windows->WindowBounds(AControl);
      FMovingStaticOffset = start - dock->ClientToScreenPoint(TPoint(bounds.Left, bounds.Top));
    }
  dxBarFlushPaintMessages();
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->SetMoving(true);
  // The manager's dialog parent holds the mouse during the drag.
  const HWND captureWnd = FBarManager->DialogParentHandle();
  if (captureWnd) SetCapture(captureWnd);
  TcxObjectLink* alive = cxCreateObjectLink(controlObject);
  TcxObjectLink* self = cxCreateObjectLink(FBarManager);
  TFinally release{[&] {
    cxReleaseObjectLink(alive);
    cxReleaseObjectLink(self);
  }};
  TPoint last = start;
  const TPoint invalid(-1, -1);
  auto moveTo = [&](const TPoint& APoint, bool ACopyKeyDown) {
    if (APoint == last) return;
    MoveBarControl(AControl, APoint + FMovingOffset, ACopyKeyDown);
    last = APoint;
  };
  try {
    bool done = false;
    while (!done && captureWnd && GetCapture() == captureWnd && alive->Ref && self->Ref) {
      MSG msg;
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
          if (msg.wParam == VK_CONTROL) {
            // Docking is allowed again or not: the place is found anew, with
            // the key as this message leaves it.
            POINT p{};
            GetCursorPos(&p);
            last = invalid;
            moveTo(TPoint(p.x, p.y), msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN);
          } else if (msg.wParam == VK_ESCAPE) {
            done = true;
          }
          break;
        case WM_MOUSEMOVE: {
          POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
          if (msg.hwnd) ClientToScreen(msg.hwnd, &p);
          moveTo(TPoint(p.x, p.y), GetAsyncKeyState(VK_CONTROL) < 0);
          break;
        }
        case WM_LBUTTONUP:
          done = true;
          break;
        default:
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
          break;
      }
    }
  } catch (...) {
    // The drag ends as below also when a move raised.
    if (self->Ref) {
      StopDockingDelay();
      if (captureWnd && GetCapture() == captureWnd) ReleaseCapture();
      if (alive->Ref) windows->SwitchMovingMode(AControl, false);
      FMovingBarControl = nullptr;
      FMoving = false;
      if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->SetMoving(false);
    }
    throw;
  }
  const bool timerRan = gDockingTimer != 0;
  if (timerRan) StopDockingDelay();
  if (captureWnd && GetCapture() == captureWnd) ReleaseCapture();
  if (!self->Ref) return;
  if (alive->Ref) {
    windows->SwitchMovingMode(AControl, false);
    const TdxBarDockingStyle style = windows->DockingStyle(AControl);
    IdxBarDockControl* dock = style != dsNone ? windows->DockControl(AControl) : nullptr;
    if (dock) dock->AssignColPositions();
    // The toolbar takes the side and dock its window was dropped in.
    if (BarOfControl(this, AControl) == bar) bar->ChangeDockingStyle(style, dock);
  }
  FMovingBarControl = nullptr;
  FMoving = false;
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->SetMoving(false);
}
