// The places where bar windows reach modules that are not part of the window
// classes: the drop shadow of a bar and the design controller of the
// customization layer. Each module fills its slot at its start-up; an empty
// slot means the bar has no shadow, and customizing offers no designer.
#pragma once

#include "bars/model/dxBarBase.h"

class TCustomdxBarControl;
class TCustomForm;
class TdxBarControl;

// The drop shadow a bar window owns: the window tells it where the window and
// the owner it opened from lie, and whether it shows.
class IdxBarShadow {
 public:
  // Screen rectangles; an empty owner rectangle: no owner touches the bar.
  virtual void SetOwnerBounds(const TRect& AOwnerBounds, const TRect& ABounds) = 0;
  virtual void SetVisible(bool AValue) = 0;
  // The look changed: the shadow's parts are made again.
  virtual void Refresh() = 0;
  // Frees the shadow (the window goes).
  virtual void Release() = 0;

 protected:
  ~IdxBarShadow() = default;
};
using TdxBarShadowFactory = IdxBarShadow* (*)(TCustomdxBarControl* ABarControl);
TdxBarShadowFactory& dxBarShadowFactory();

// What bar windows ask of the designer while a manager customizes.
class IdxBarDesignController {
 public:
  // The link selected in the designer, nil when none.
  virtual TdxBarItemLink* SelectedLink(TdxBarManager* AManager) = 0;
  virtual bool IsSelectionComplex(TdxBarManager* AManager) = 0;
  // Whether the designer has the object (a toolbar) selected.
  virtual bool IsSelected(TPersistent* AObject) = 0;
  // Whether a selected item shows the default selection frame.
  virtual bool NeedDefaultSelection(TPersistent* AItem) = 0;
  // 0 selects the item alone, 1 adds it to the selection, 2 toggles it.
  virtual void SelectItem(TPersistent* AItem, int AOperation) = 0;
  virtual void ShowCustomizePopup(TCustomdxBarControl* ABarControl, TdxBarItemLink* ALink) = 0;
  virtual void ShowToolbarsPopup(TdxBarManager* AManager, TdxBarPainterClass APainter) = 0;
  // Opens the quick-customization popup of a toolbar against a screen rectangle.
  virtual TdxBarControl* ShowQuickControl(TdxBarControl* ABarControl, const TRect& AOwnerRect) = 0;
  // The open quick-customization popup, nil when none.
  virtual TdxBarControl* QuickControl() = 0;
  virtual void StartQuickControlHidingTimer() = 0;
  // The designer's action on a double-clicked item in design mode.
  virtual void DesignerAction(TdxBarItem* AItem) = 0;
  // The open customization form, nil when none.
  virtual TCustomForm* CustomizationForm() = 0;
  // The drag of an item (and its link) out of a bar while customizing.
  virtual void RunItemDrag(TdxBarManager* AManager, TdxBarItem* AItem, TdxBarItemLink* ALink) = 0;

 protected:
  ~IdxBarDesignController() = default;
};
IdxBarDesignController*& dxBarDesignController();

// An item that shows the links of its own inside the bar it stands on (a
// container item): the bar puts them after the item's link for its layout and
// takes them out again.
class IdxBarContainerItem {
 public:
  // Inserts the contained links into ALinks after AIndex (the container's link ALink).
  virtual void AddContainedLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink) = 0;
  virtual void RemoveContainedLinks(TdxBarItemLinks* ALinks) = 0;
  // The container's own link leaves the bar while its links show.
  virtual bool GroupsContainedLinks() = 0;

 protected:
  ~IdxBarContainerItem() = default;
};

// A painter that fades the mark between its looks draws the mark's frames through this.
class IdxBarFadingPainter {
 public:
  // Whether the frames have no transparent pixels.
  virtual bool FadingImagesAreOpaque() const = 0;
  // AState: 0 the normal look, 1 the hot look.
  virtual void DrawMarkForFading(TdxBarControl* ABarControl, HDC DC, int AState, const TRect& R) const = 0;

 protected:
  ~IdxBarFadingPainter() = default;
};
