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

class IdxBarGlyphCache;
class TdxBar;
class TdxBarComponent;
class TdxBarItem;
class TdxBarItemControlBase;
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
// Where a user layout is kept: INI text (files, streams, the designed
// snapshot) or registry keys.
DECLARE_ENUM(TdxBarStoringKind, skIni, skReg)
// The buttons a main-menu toolbar shows for a maximized MDI child; each
// sends the child its system command (minimize, restore, close).
DECLARE_ENUM(TdxBarMDIButton, mdibMinimize, mdibRestore, mdibClose)

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
  // Rebuilds the window's drop shadow (the system colours changed).
  virtual void RefreshShadow() {}
  // Repaints the frame: active or inactive caption.
  virtual void RefreshFrame() {}
  // Toolbar, quick-customization popup or sub-menu: items repaint the bars of some kinds only.
  virtual TdxBarKind Kind() const { return bkBarControl; }
  // Whether the window is in menu or keyboard mode (its selected control keeps its look then).
  virtual bool IsActive() const { return false; }
  // Whether the window widens a control aligned to its client area
  // (a group start then stays with a hidden link).
  virtual bool ExtendsItemWhenAlignedToClient() { return false; }
  // The window, nil while there is none.
  virtual HWND BarWindow() { return nullptr; }
  // The manager of the bar window, nil when it has none.
  virtual TdxBarManager* ManagerOfBarControl() { return nullptr; }
  // The manager's style changed: the window takes the new painter's metrics.
  virtual void ManagerStyleChanged() {}
  // Drops the cached background, takes the double buffering the style asks
  // for and repaints with the frame.
  virtual void RefreshBarBackground() { RepaintBar(); }
  // Lays the links out again.
  virtual void RecalcBarLayout() {}
  // Applies a change of the frame (the non-client area) and repaints.
  virtual void ApplyBarFrameChange() { RepaintBar(); }
  // No item control stays selected.
  virtual void DeselectItemControl() {}
  // The mouse left the window: the hot item goes.
  virtual void BarMouseLeft() {}
  // The item control under a screen point, nil when none (help requests).
  virtual TdxBarItemControlBase* ItemControlAtScreenPoint(const TPoint& /*APoint*/) { return nullptr; }
  // The help context of the bar itself.
  virtual int BarHelpContext() { return 0; }
  // Whether the window runs the shortcuts of its links (a visible toolbar's does).
  virtual bool AcceptsShortCuts() { return true; }
  // Whether the window can serve as the main menu now.
  virtual bool CanActAsMainMenu() { return true; }
  // Forgets the last mouse position, so that the next mouse move hot-tracks
  // anew.
  virtual void ResetLastMousePos() {}
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
  // Whether the control is the selected one of its window.
  virtual bool IsSelected() { return false; }
  // The alignment the control takes in its window.
  virtual TdxBarItemAlign EffectiveAlign() { return iaLeft; }
  // Whether keyboard navigation may stop on the control.
  virtual bool IsSelectable() { return true; }
  // An accelerator key chose the control: it shows pressed, then clicks.
  virtual void PressAndClickByKey() { ExecuteClick(); }

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
  // The glyph the control keeps rendered between paints (dxBarDrawItemGlyph);
  // nil: the control renders its glyph on every paint.
  virtual IdxBarGlyphCache* GlyphCache() { return nullptr; }

 protected:
  // Hides every open menu of the chain (the window layer's part of a click).
  virtual void HideMenus() {}

 private:
  TdxBarItemLink* FItemLink;
};

class IdxBarDockControl;

// A row of a dock: the toolbars assigned to it and the columns of their
// windows (the bar controls layer's rows).
class IdxBarDockRow {
 public:
  virtual TObject* DockRowObject() = 0;
  virtual IdxBarDockControl* RowDockControl() = 0;
  // The toolbar joins the row (with a column for its window when the window
  // sits in this dock without one), or leaves it with its column; a row left
  // empty goes from its dock when AFreeWhenEmpty.
  virtual void IncludeBar(TdxBar* ABar) = 0;
  virtual void RemoveBar(TdxBar* ABar, bool AFreeWhenEmpty) = 0;

 protected:
  ~IdxBarDockRow() = default;
};

// A dock control: one of the four side docks of a manager's form or a
// free-standing one.
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
  // The window, nil while there is none.
  virtual HWND DockWindow() { return nullptr; }
  // Makes the window when the dock can have one (its parent has a window).
  virtual void CreateDockWindow() {}
  // Drops the cached background, takes the double buffering the style asks
  // for and invalidates.
  virtual void RefreshBackground() {}
  // Takes the dock colour again (the owner's under AutoDockColor).
  virtual void UpdateColor() {}
  // Recalculates and repaints the frames of the dock.
  virtual void RefreshFrames() {}
  // Frees the rows that hold no toolbar.
  virtual void FreeEmptyRows() {}
  // Whether a toolbar leaves the dock when a stored layout it reads names no
  // dock (free-standing docks do; the sides never).
  virtual bool DetachOnMissingReference() { return false; }

  // The manager the dock belongs to (nil for the model's stand-ins: theirs).
  virtual TdxBarManager* DockBarManager() { return nullptr; }
  // Rows: their count, a row by index, the index of a row (-1 when it is not
  // this dock's) and a new empty last row (nil for docks without rows).
  virtual int RowCount() { return 0; }
  virtual IdxBarDockRow* RowAt(int /*AIndex*/) { return nullptr; }
  virtual int IndexOfRow(IdxBarDockRow* /*ARow*/) { return -1; }
  virtual IdxBarDockRow* AppendRow() { return nullptr; }
  // Toolbar windows at screen points: inserted into the row and column the
  // point gives (with AUpdate the dock re-arranges), removed (the row
  // stays), moved within the dock.
  virtual void InsertBarControl(IdxBarControl* /*AControl*/, const TPoint& /*AScreenPoint*/, bool /*AUpdate*/) {}
  virtual void RemoveBarControl(IdxBarControl* /*AControl*/, bool /*AUpdate*/) {}
  virtual void MoveBarControl(IdxBarControl* /*AControl*/, const TPoint& /*AScreenPoint*/) {}
  // The point with its coordinate across the dock moved to where a toolbar
  // dropped keeps the row ARow.
  virtual TPoint RowGapPoint(int /*ARow*/, bool /*AOnLine*/, const TPoint& AScreenPoint) { return AScreenPoint; }
  // The stored position of a window's column, in client coordinates; false
  // when the window has no column here.
  virtual bool GetColPosition(IdxBarControl* /*AControl*/, TPoint& /*APosition*/) { return false; }
  virtual void SetColPosition(IdxBarControl* /*AControl*/, const TPoint& /*APosition*/) {}
  // Every column's stored position goes to its window.
  virtual void AssignColPositions() {}
  virtual TPoint ClientToScreenPoint(const TPoint& APoint) { return APoint; }
  virtual TPoint ScreenToClientPoint(const TPoint& APoint) { return APoint; }
  // True while a docked toolbar's window is destroyed.
  virtual bool IsBarHandleDestroying() { return false; }
  // The class of the toolbar windows docked here (nil: the window layer's own).
  virtual TClass GetBarControlClass() { return nullptr; }

 protected:
  ~IdxBarDockControl() = default;
};

using TdxBarSideDockFactory = IdxBarDockControl* (*)(TdxBarManager* AManager, TdxBarDockingStyle AStyle);
using TdxBarToolbarControlFactory = IdxBarControl* (*)(TdxBarManager* AManager, TdxBar* ABar);

// The makers of side docks and toolbar windows; null leaves the model's own
// stand-in docks and no toolbar windows.
TdxBarSideDockFactory& dxBarSideDockFactory();
TdxBarToolbarControlFactory& dxBarToolbarControlFactory();
