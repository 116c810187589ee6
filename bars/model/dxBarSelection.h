// Design-time selection of the bar system's objects (items, toolbars, item
// links) and the seams through which the form designer and the design
// controller of the customization layer are reached. The program never runs
// in design mode: until those are there, every query answers its neutral
// value (not selected, nothing customizing, deleting allowed).
#pragma once

#include "bars/model/dxBarBase.h"

class TCanvas;
class TCustomForm;
class TCustomdxBarControl;
class TdxBarControl;
class TdxObjectList;

DECLARE_ENUM(TdxBarCustomizationAction, caReset, caDelete, caDeleteItem, caDeleteLink, caChangeCaption,
             caChangeButtonPaintStyle, caChangePosition, caChangeViewLevels, caChangeButtonGroup,
             caChangeDistributed, caChangeBeginGroup, caChangeVisible, caChangeRecentList)
using TdxBarCustomizationActions = TSet<TdxBarCustomizationAction, 16>;
DECLARE_ENUM(TdxBarSelectionStatus, ssUnselected, ssActiveSelected, ssInactiveSelected)
DECLARE_ENUM(TdxBarSelectionOperation, soAdd, soExclude, soExclusive)

// What the designer and the customization form ask of a selectable object.
// ADeleteComponent: the component itself is to go, not only its placements.
class IdxBarSelectableItem {
 public:
  virtual bool MayBeDeleted(bool ADeleteComponent) = 0;
  // Clears the caller's reference first: the object may be gone afterwards.
  virtual void DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) = 0;
  virtual void RunCustomizationAction(TdxBarCustomizationAction AAction) = 0;
  virtual TdxBarManager* BarManager() const = 0;
  virtual void CollectMasterObjects(TdxObjectList* AList) = 0;
  // What to select once this object is deleted.
  virtual IdxBarSelectableItem* FollowingSelectable() = 0;
  virtual TPersistent* SelectableParentObject() = 0;
  virtual TdxBarSelectionStatus DesignSelectionState() = 0;
  virtual TdxBarCustomizationActions SupportedCustomizationActions() = 0;
  virtual void RefreshDesignView() = 0;
  virtual bool HasMultipleParts() = 0;
  virtual bool IsDesignSelected() = 0;
  virtual void SelectInDesigner(TdxBarSelectionOperation AOperation) = 0;
  // Selects the containing object instead; false when it did nothing.
  virtual bool SelectParentInDesigner() = 0;
  virtual void SelectionStateChanged() = 0;
  virtual TPersistent* SelectableInstance() = 0;

 protected:
  ~IdxBarSelectableItem() = default;
};

// The form designer of a manager being designed.
class IdxBarDesigner {
 public:
  virtual bool CanDeleteComponent(TComponent* AComponent) = 0;
  virtual TdxBarSelectionStatus GetSelectionStatus(TPersistent* AObject) = 0;
  virtual void SelectObject(TPersistent* AObject, TdxBarSelectionOperation AOperation) = 0;
  virtual String UniqueName(const String& ABaseName) = 0;
  // Opens the source of the component's default event handler.
  virtual void ShowDefaultEventHandler(TComponent* AComponent) = 0;
  // The objects the designer lists as its selection.
  virtual void GetSelection(TdxObjectList* /*AList*/) {}

 protected:
  ~IdxBarDesigner() = default;
};

// The process's design controller of the customization layer: what is being
// customized and selected, and the popups and drags it runs. Every question
// has a neutral answer here, which is what the bars get while no
// customization layer is there.
class IdxBarDesignController {
 public:
  // The link whose settings customization actions copy; nil when none.
  virtual TdxBarItemLink* CustomizingItemLink() { return nullptr; }
  virtual IdxBarSelectableItem* LastSelectedItem() { return nullptr; }
  // Forgets the object when it is the last selected one.
  virtual void DropSelection(IdxBarSelectableItem* /*AItem*/) {}
  virtual void SynchronizeLastSelectedItem() {}
  // The link selected in the manager's designer, nil when none.
  virtual TdxBarItemLink* DesignSelectedLink(TdxBarManager* /*AManager*/) { return nullptr; }
  virtual bool IsSelectionComplex(TdxBarManager* /*AManager*/) { return false; }
  // Whether the designer has the object (a toolbar) selected.
  virtual bool IsSelected(TPersistent* /*AObject*/) { return false; }
  // Whether a selected item shows the default selection frame.
  virtual bool NeedDefaultSelection(TPersistent* /*AItem*/) { return true; }
  // 0 selects the item alone, 1 adds it to the selection, 2 toggles it.
  virtual void SelectItem(TPersistent* /*AItem*/, int /*AOperation*/) {}
  // The last selected object follows a selection change.
  virtual void SelectionChanged(TObject* /*AObject*/) {}
  // A toolbar is being moved with the mouse.
  virtual void SetMoving(bool /*AValue*/) {}
  virtual void ShowCustomizePopup(TCustomdxBarControl* /*ABarControl*/, TdxBarItemLink* /*ALink*/) {}
  // The popup that lists the manager's toolbars, drawn by that painter.
  virtual void ShowToolbarsPopup(TdxBarManager* /*AManager*/, const TdxBarPainter* /*APainter*/) {}
  // The quick-customization popup of a toolbar, opened against a screen
  // rectangle; the open one (nil when none); its hiding timer.
  virtual bool HasQuickControl() { return false; }
  virtual TdxBarControl* ShowQuickControl(TdxBarControl* /*ABarControl*/, const TRect& /*AOwnerRect*/) {
    return nullptr;
  }
  virtual TdxBarControl* QuickControl() { return nullptr; }
  virtual void StartQuickControlHidingTimer() {}
  // The designer's action on a double-clicked item in design mode.
  virtual void DesignerAction(TdxBarItem* /*AItem*/) {}
  // The open customization form, nil when none.
  virtual TCustomForm* CustomizationForm() { return nullptr; }
  // The drag of an item (and its link) out of a bar while customizing.
  virtual void RunItemDrag(TdxBarManager* /*AManager*/, TdxBarItem* /*AItem*/, TdxBarItemLink* /*ALink*/) {}

 protected:
  ~IdxBarDesignController() = default;
};

using TdxBarDesignerLookup = IdxBarDesigner* (*)(TdxBarManager* AManager);
// Filled by the customization layer; nil: no manager has a designer.
TdxBarDesignerLookup& dxBarDesignerLookup();
// The manager's designer: only while the manager is designed, else nil.
IdxBarDesigner* dxBarDesignerOf(TdxBarManager* AManager);
// Filled by the customization layer; nil until then.
IdxBarDesignController*& dxBarDesignControllerSlot();

// Draws an item's entry of the customization form's command list with the
// form's painter; filled by the customization layer.
using TdxBarCommandListDrawProc = void (*)(TCanvas* ACanvas, const TRect& ARect, bool ASelected,
                                           const String& ACaption, TdxBarItem* AItem);
TdxBarCommandListDrawProc& dxBarCommandListDrawer();
