// Types shared by the bar model and the seams through which the bar windows
// reach it. The model holds no window: toolbar and menu windows, item
// controls and dock controls come from the bar controls layer, which fills
// the slots below at its start-up. Until it does, a toolbar has no window, a
// link no item control, and the four side docks are stand-ins that keep
// their sizes.
#pragma once

#include "foundation/cxClassesComponents.h"
#include "platform/core/Components.h"
#include "platform/gui/Graphics.h"

class TdxBar;
class TdxBarComponent;
class TdxBarItem;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBarManager;
class TdxBars;
// The bar controls' painter: one stateless object per look, and a painter
// class is that object.
class TdxBarPainter;
using TdxBarPainterClass = const TdxBarPainter*;

DECLARE_ENUM(TdxBarDockingStyle, dsNone, dsLeft, dsTop, dsRight, dsBottom)
using TdxBarDockingStyles = TSet<TdxBarDockingStyle, 8>;
DECLARE_ENUM(TdxBarManagerStyle, bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel)
DECLARE_ENUM(TdxBarItemVisible, ivNever, ivInCustomizing, ivAlways)
DECLARE_ENUM(TdxBarPaintStyle, psStandard, psCaption, psCaptionInMenu, psCaptionGlyph)
DECLARE_ENUM(TdxBarItemAlign, iaLeft, iaCenter, iaRight, iaClient)
DECLARE_ENUM(TdxBarItemMergeKind, mkAdd, mkMergeByCaption, mkNone)
DECLARE_ENUM(TdxBarGlyphLayout, glLeft, glRight, glTop, glBottom)
DECLARE_ENUM(TdxBarUserDefine, udCaption, udGlyph, udPaintStyle, udWidth)
using TdxBarUserDefines = TSet<TdxBarUserDefine, 8>;
DECLARE_ENUM(TdxBarButtonGroupPosition, bgpNone, bgpStart, bgpMember)
DECLARE_ENUM(TdxBarItemPosition, ipBeginsNewRow, ipBeginsNewColumn, ipContinuesRow)
DECLARE_ENUM(TdxBarItemViewLevel, ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly)
using TdxBarItemViewLevels = TSet<TdxBarItemViewLevel, 8>;
inline const TdxBarItemViewLevels dxBarAllViewLevels{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon,
                                                     ivlControlOnly};
DECLARE_ENUM(TdxBarKind, bkBarControl, bkBarQuickControl, bkSubMenu)
using TdxBarKinds = TSet<TdxBarKind, 8>;
DECLARE_ENUM(TdxBarMenuAnimations, maNone, maRandom, maUnfold, maSlide, maFade)
DECLARE_ENUM(TdxBarBorderStyle, bbsNone, bbsSingle)
DECLARE_ENUM(TdxBarItemOption, ioShowDescriptions, ioShowShortCuts, ioSize)
using TdxBarItemOptionValues = TSet<TdxBarItemOption, 8>;
DECLARE_ENUM(TdxBarMenuItemSize, misNormal, misLarge)

// ---------------------------------------------------------------------------
// Seams filled by the bar controls layer
// ---------------------------------------------------------------------------

// The window that shows a link collection: a toolbar window or a menu.
class IdxBarControl {
 public:
  // The object behind the interface; the link collection frees it.
  virtual TObject* BarControlObject() = 0;
  virtual bool IsDestroying() = 0;
  // Called right after the links owner made the window.
  virtual void SetItemLinks(TdxBarItemLinks* ALinks) = 0;
  virtual bool IsVertical() = 0;
  // Whether the window is shown, and its client rectangle (the links'
  // ItemRects are in its client coordinates).
  virtual bool IsWindowVisible() = 0;
  virtual TRect ClientRect() = 0;
  virtual void ScheduleRepaint() = 0;
  virtual void RepaintBar() = 0;
  virtual void RebuildItemControls() = 0;
  // The link is going: forget it as selected or tracked link.
  virtual void LinkDestroying(TdxBarItemLink* ALink) = 0;
  // A floating toolbar's window following its form's activation: shown
  // without being activated, or hidden while the toolbar stays Visible.
  virtual void ShowFloatingWindow(bool /*AShow*/) {}
  // Whether the window may hide with its form (no menu of it is open).
  virtual bool CanHideFloatingWindow() { return true; }
  // Repaints the frame: active or inactive caption.
  virtual void RefreshFrame() {}
  // The toolbar's font (or its turning on side docks) changed: the window
  // takes it and lays itself out again.
  virtual void UpdateFont() {}
  // The toolbar's caption changed: the window shows the new one.
  virtual void UpdateCaption() {}
  // Shows (or withdraws) the hint of a part of the window that is not an
  // item, such as a caption button: AHintObject is that part.
  virtual void ActivateItemHint(bool /*AShow*/, const String& /*AHint*/, TObject* /*AHintObject*/) {}

 protected:
  ~IdxBarControl() = default;
};

// The owner of a link collection: toolbar, popup menu, sub item, application menu.
class IdxBarLinksOwner {
 public:
  virtual TdxBarItemLinks* GetItemLinks() = 0;
  // Makes the window for the links; nil while no window class is known.
  virtual IdxBarControl* CreateBarControl() = 0;
  virtual bool CanContainItem(TdxBarItem* AItem, String& AErrorText) = 0;
  virtual TComponent* GetInstance() = 0;

 protected:
  ~IdxBarLinksOwner() = default;
};

// The on-screen object of one link. The bar controls layer derives its item
// controls from this class and registers them against item classes
// (dxBarAddItemClassToRegistry); a link makes its control through the
// registered class's constructor, with the link as argument.
class TdxBarItemControlBase : public TcxIUnknownObject {
  DECLARE_CLASS(TdxBarItemControlBase, TcxIUnknownObject)
  explicit TdxBarItemControlBase(TdxBarItemLink* ALink) : FItemLink(ALink) {}

  TdxBarItemLink* ItemLink() const { return FItemLink; }
  TdxBarItem* Item() const;

  // The click of the control: moves the link up its recent list, closes the
  // menus when asked, and runs the item's click with the clicked link known.
  virtual void ExecuteClick();
  virtual bool ClickExecutesItem() { return true; }
  virtual bool ClickClosesMenus() { return true; }
  virtual bool IsActive() { return false; }
  // Whether keyboard navigation may stop on the control.
  virtual bool IsSelectable() { return true; }

  // Notices that items and links send.
  virtual void BeginGroupChanged() {}
  virtual void CaptionChanged() {}
  virtual void EnabledStateChanged() {}
  virtual void ImageChanged() {}
  virtual void HotImageChanged() {}
  virtual void LargeImageChanged() {}
  virtual void RefreshContent() {}
  virtual void PaintStyleChanged() {}
  virtual void LinkVisibilityChanged() {}
  virtual void WidthChanged() {}
  virtual void RecalcDrawingConsts() {}
  virtual void Repaint() {}
  virtual void ClearDrawingCache(bool /*AResetViewInfo*/) {}
  // The link's ItemRect changed.
  virtual void RecalcState() {}

 protected:
  // Hides every open menu of the chain (the window layer's part of a click).
  virtual void HideMenus() {}

 private:
  TdxBarItemLink* FItemLink;
};

// One of the four side dock controls of a manager's form.
class IdxBarDockControl {
 public:
  virtual TObject* DockControlObject() = 0;
  virtual TdxBarDockingStyle DockingStyle() = 0;
  // The extent across the dock: width of a left or right dock, height of a
  // top or bottom one.
  virtual int DockSize() = 0;
  virtual void SetDockSize(int AValue) = 0;
  virtual bool CanDockBar(TdxBar* ABar) = 0;
  virtual void UpdateDock() = 0;
  // Whether the dock is enabled and shown (a dragged toolbar skips it otherwise).
  virtual bool CanReceiveFocus() = 0;
  // Whether a screen point lies in the dock's docking zone: its bounds
  // enlarged across the dock, where no other window of its parent covers it.
  virtual bool DockingZoneContains(const TPoint& AScreenPoint) = 0;

 protected:
  ~IdxBarDockControl() = default;
};

using TdxBarSideDockFactory = IdxBarDockControl* (*)(TdxBarManager* AManager, TdxBarDockingStyle AStyle);
using TdxBarToolbarControlFactory = IdxBarControl* (*)(TdxBarManager* AManager, TdxBar* ABar);

// The makers of side docks and toolbar windows; null leaves the model's own
// stand-in docks and no toolbar windows.
TdxBarSideDockFactory& dxBarSideDockFactory();
TdxBarToolbarControlFactory& dxBarToolbarControlFactory();
