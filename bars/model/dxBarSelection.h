// Design-time selection of the bar system's objects (items, toolbars, item
// links) and the seams through which the form designer and the design
// controller of the customization layer are reached. The program never runs
// in design mode: until those are there, every query answers its neutral
// value (not selected, nothing customizing, deleting allowed).
#pragma once

#include "bars/model/dxBarBase.h"

class TCanvas;
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

 protected:
  ~IdxBarDesigner() = default;
};

// The process's design controller: what is being customized and selected.
class IdxBarDesignController {
 public:
  // The link whose settings customization actions copy; nil when none.
  virtual TdxBarItemLink* CustomizingItemLink() = 0;
  virtual IdxBarSelectableItem* LastSelectedItem() = 0;
  // Forgets the object when it is the last selected one.
  virtual void DropSelection(IdxBarSelectableItem* AItem) = 0;
  virtual void SynchronizeLastSelectedItem() = 0;
  // The link selected in the manager's designer, nil when none.
  virtual TdxBarItemLink* DesignSelectedLink(TdxBarManager* AManager) = 0;
  // A quick-customization control is open.
  virtual bool HasQuickControl() = 0;
  // A toolbar is being moved with the mouse.
  virtual void SetMoving(bool AValue) = 0;
  // The last selected object follows a selection change.
  virtual void SelectionChanged(TObject* AObject) = 0;
  // The popup that lists the manager's toolbars, drawn by that painter.
  virtual void ShowToolbarsPopup(TdxBarManager* AManager, const TdxBarPainter* APainter) = 0;

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
