// Free routines and process-wide objects of the bar module: the list of
// live managers, the item-class registry, caption and shortcut helpers,
// menu sounds, and the module's start-up and shutdown.
#pragma once

#include "bars/model/dxBarBase.h"

#include <vector>

class TBitmap;
class TFont;

// The live bar managers, in creation order.
class TdxBarManagerList : public TObject {
  DECLARE_CLASS(TdxBarManagerList, TObject)
  TdxBarManagerList() = default;
  int Count() const { return static_cast<int>(FItems.size()); }
  // Nil for an index out of range.
  TdxBarManager* ManagerAt(int AIndex) const;
  ~TdxBarManagerList() override;
  // The first manager installs the thread hooks and makes the shared hint
  // window; the last one to leave removes them.
  void Add(TdxBarManager* AManager);
  void Remove(TdxBarManager* AManager);
  // The first manager in run-time customization, nil when none.
  TdxBarManager* CustomizingBarManager() const;
  // The next (previous) manager after AManager, cyclically, that is active on
  // AManager's top-level form; AManager itself when no other is.
  TdxBarManager* NextActive(TdxBarManager* AManager, bool AGoForward) const;

 private:
  std::vector<TdxBarManager*> FItems;
};

// The process-wide manager list; nil before the module's start-up and after its shutdown.
TdxBarManagerList* dxBarManagerList();

// Class references of items and of the item controls that show them.
using TdxBarItemClass = TClass;
using TdxBarItemControlClass = TClass;

// One registration: an item class, the item-control class that shows its
// links, and whether the customization lists offer the item class.
class TRegItemRecord : public TObject {
  DECLARE_CLASS(TRegItemRecord, TObject)
  TRegItemRecord(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass, bool AVisible)
      : FItemClass(AItemClass), FItemControlClass(AItemControlClass), FVisible(AVisible) {}
  TdxBarItemClass FItemClass;
  TdxBarItemControlClass FItemControlClass;
  bool FVisible;
  // This registration made the item class known to the component stream
  // (it was not known before), so its removal withdraws the class again.
  bool FStreamsClass = false;
};

// The item-class registry: registrations in registration order. Several
// registrations of one item class may coexist; lookups take the first.
class TdxBarItemList : public TObject {
  DECLARE_CLASS(TdxBarItemList, TObject)
  TdxBarItemList() = default;
  // Removes every registration, the last first.
  ~TdxBarItemList() override;
  // Also makes the item class known to the component stream.
  void AddRegistration(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass, bool AVisible);
  // Removes the first registration of exactly this class; nothing when none.
  void RemoveRegistration(TdxBarItemClass AItemClass);
  // Frees the registration; the component stream forgets the item class
  // when the registry made it known and no other registration of it remains.
  void RemoveRegistrationAt(int AIndex);
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raise EListError for an index out of range.
  TRegItemRecord* RegistrationAt(int AIndex) const;
  TdxBarItemClass ItemClassAt(int AIndex) const { return RegistrationAt(AIndex)->FItemClass; }
  // The registrations the customization lists offer.
  int VisibleItemCount() const;
  // The item class of the AIndex-th (from 0) offered registration; nil out of range.
  TdxBarItemClass NthVisibleItemClass(int AIndex) const;
  // The control class registered first for exactly this item class (a
  // descendant does not match its ancestor's registration); nil when none.
  TdxBarItemControlClass ItemControlClassOf(TdxBarItemClass AItemClass) const;

 private:
  std::vector<TRegItemRecord*> FItems;
};

// Made on first use; nil while the module shuts down.
TdxBarItemList* dxBarSharedItemClassRegistry();
void dxBarAddItemClassToRegistry(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass,
                                 bool AVisible = true);
// Removes the item class's first registration.
void dxBarRemoveItemClassFromRegistry(TdxBarItemClass AItemClass);

// The object itself when it is a manager; else the live manager it owns; else nil.
TdxBarManager* dxBarManagerFromObject(TObject* AObject);
// Loading, as part of an inherited form, and not reading.
bool dxBarIsComparingWithAncestor(TComponent* AComponent);
TdxBarItemVisible dxBarVisibleFromBoolean(bool AValue);
// The most compact level of the set, 255 for an empty one.
int dxBarMostCompactViewLevel(TdxBarItemViewLevels ALevels);
// The 1-based position of the accelerator character (after a single "&"),
// 0 when none; with ARemoveMarkers the caption loses its markers ("&&"
// becomes "&") and the position is that in the new caption.
int dxBarAccelCharIndex(String& ACaption, bool ARemoveMarkers);
// The caption without accelerator markers: each "&" goes and the character
// after it stays ("&&" gives "&"); a last "&" goes.
String dxBarRemoveAccelChars(const String& ACaption);
// A shortcut from a key with the present Shift and Ctrl and the key data's Alt bit.
Word dxBarShortCutFromKey(Word AKey, LPARAM AKeyData);
// Menu sounds play while this is on (it is, from the start).
extern bool dxBarMenuSoundsOn;
// Plays "MenuPopup" (0) or "MenuCommand" (1); 2 stops the sound playing.
void dxBarPlayMenuSound(int AEntry);
void dxBarStopMenuSound();
// A bitmap whose change calls the handler.
TBitmap* dxBarNewNotifyingBitmap(const TNotifyEvent& AHandler);
// A new font handle (the caller owns it) from the system's small-caption
// font; unless as the system has it, at least 11 pixels high and in the
// face of AFont. Nil when the system refuses.
HFONT dxBarCreateMenuFont(TFont* AFont, bool AAsSystem);
// ATarget becomes AFont; scaled, with the height of the system's icon-title
// font (at least 11 pixels).
void dxBarAssignScaledFont(TFont* AFont, TFont* ATarget, bool AScaled);
bool dxBarModuleFinalizing();

// Lookups that answer nil for nil.
TdxBarItemControlBase* dxBarLinkControlOrNil(TdxBarItemLink* ALink);
TdxBarItemLink* dxBarControlLinkOrNil(TdxBarItemControlBase* AControl);
TdxBarItem* dxBarControlItemOrNil(TdxBarItemControlBase* AControl);
TdxBarItem* dxBarLinkItemOrNil(TdxBarItemLink* ALink);
void dxBarRepaintControlOrNil(TdxBarItemControlBase* AControl);
void dxBarManagerSignalModified(TdxBarManager* AManager);
// Some manager that is not being destroyed shows one of its popup menus.
bool dxBarAnyPopupMenuVisible();
IdxBarLinksOwner* dxBarLinksOwnerIntfOf(TObject* AObject);
TdxBarItemLinks* dxBarOwnedItemLinks(TObject* AObject);
// The shortcut's text as " (text)", empty when it has none.
String dxBarShortCutSuffix(Word AShortCut);
// The left, right and middle button down and double-click messages, in and
// outside the client area.
bool dxBarIsMouseDownMessage(UINT AMessage);
// Dispatch every queued mouse (or paint) message of the thread at once; a
// quit message met on the way is posted again.
void dxBarFlushMouseMessages();
void dxBarFlushPaintMessages();
// Removes every queued WM_CHAR of the window.
void dxBarDropPendingChars(HWND AWnd);
// Kills the timer when the id is not 0 and clears the id once killed.
bool dxBarStopTimer(HWND AWnd, UINT_PTR& ATimerID);
void dxBarSetWindowZPos(HWND AWnd, HWND AInsertAfter, bool AActivate = false, UINT AExtraFlags = 0);
// The platform application's message box with the application's title.
int dxBarShowAppMessageBox(const String& AText, UINT AFlags);

// Of the candidate rectangles, the index of the one nearest to the source
// in a direction (0 left, 1 up, 2 right, 3 down): the smallest distance
// between the facing edges, then the smallest angle off the direction; -1
// when none lies that way. Left and right wrap, when allowed, to the far end
// of the row. Keyboard navigation applies it to the screen bounds of its
// objects.
int dxBarPickNearestInDirection(const TRect& ASource, const std::vector<TRect>& ACandidates, int ADirection,
                                bool AAllowWrap);

// The layered-window entry points of user32, looked up by name at the
// module's start-up; nil where the system lacks them.
struct TdxBarLayeredWindowApi {
  BOOL(WINAPI* UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD) = nullptr;
  BOOL(WINAPI* AnimateWindow)(HWND, DWORD, DWORD) = nullptr;
  BOOL(WINAPI* SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD) = nullptr;
};
const TdxBarLayeredWindowApi& dxBarLayeredWindowApi();

// The drag cursors the module puts into the screen's cursor table.
inline constexpr short crdxBarDrag = 1041;
inline constexpr short crdxBarDragCopy = 1042;
inline constexpr short crdxBarDragNoDrop = 1043;
inline constexpr short crdxBarEditSizing = 1044;

// Module steps of the bar module.
void dxBarInitialize();
void dxBarFinalize();

// ---------------------------------------------------------------------------
// Process-wide objects made on first use or by other layers
// ---------------------------------------------------------------------------

class IdxBarDesignController;
class IdxBarNavigation;

// The live bar windows: each joins the list when it is made and leaves it
// when it is destroyed, so that code that called out (to handlers, to other
// windows) can ask whether a bar window it held is still there. The list
// lives from the module's start-up to its shutdown; outside, nothing is live.
void dxBarTrackLiveControl(TObject* AControl);
void dxBarUntrackLiveControl(TObject* AControl);
// False for nil.
bool dxBarIsLiveControl(TObject* AControl);
// The live bar windows in the order they were made (a copy: the caller may
// make or free bar windows while it walks it).
std::vector<TObject*> dxBarLiveControls();

// The keyboard navigation controller, which the bar windows' start-up puts
// into the navigation seam; nil before that.
IdxBarNavigation* dxBarNavigationControllerInstance();
// The design controller: made on first use by the maker the customization
// layer installs, freed at the module's shutdown. Nil without a maker, and
// while the module shuts down (nothing is made then).
using TdxBarDesignControllerMaker = TObject* (*)();
TdxBarDesignControllerMaker& dxBarDesignControllerMaker();
IdxBarDesignController* dxBarSharedDesignController();

// ---------------------------------------------------------------------------
// Objects, interfaces and links
// ---------------------------------------------------------------------------

class IdxBarSelectableItem;
class TcxObjectLink;
class TdxObjectList;
struct TTypeInfo;

// What keyboard navigation and key tips ask of the accessibility helper of a
// bar object; the accessibility layer implements it.
class IdxBarAccessibilityHelper {
 public:
  // The helper that stands for the whole bar the object lies on.
  virtual IdxBarAccessibilityHelper* BarHelper() = 0;
  // The helper one key-tip level up (nil at the top) and whether this
  // helper opens a level of key tips of its own.
  virtual IdxBarAccessibilityHelper* KeyTipScopeParent() = 0;
  virtual bool IsKeyTipScope() = 0;
  // Escape while key tips are shown: back to the level above.
  virtual void LeaveKeyTipScope() = 0;
  // The object the helper stands for is being destroyed: the helper lets
  // go of it and frees itself once no client holds it any more.
  virtual void OwnerObjectDestroyed() = 0;

 protected:
  ~IdxBarAccessibilityHelper() = default;
};

// A bar object that hands out its accessibility helper (bar windows).
class IdxBarAccessibilityHelperOwner {
 public:
  virtual IdxBarAccessibilityHelper* AccessibilityHelper() = 0;

 protected:
  ~IdxBarAccessibilityHelperOwner() = default;
};

IdxBarAccessibilityHelper* dxBarAccessibilityIntfOf(TObject* AObject);
// Tells the helper that its object goes and clears the variable.
void dxBarOwnerHelperDestroyed(IdxBarAccessibilityHelper*& AHelper);
// Whether the object is a selectable item, giving its interface when asked.
bool dxBarIsSelectableObject(TObject* AObject, IdxBarSelectableItem** AIntf = nullptr);
bool dxBarIsSelectableOnly(TObject* AObject);
IdxBarSelectableItem* dxBarSelectableIntfOf(TObject* AObject);
// The object behind the interface; nil for nil.
TPersistent* dxBarSelectableInstance(IdxBarSelectableItem* AItem);
// Deletes every entry that is not a selectable item, from the last to the first.
void dxBarKeepSelectableOnly(TdxObjectList* AList);
// The object a weak link follows; nil for nil or once the object is gone.
TObject* dxBarObjectOfLink(TcxObjectLink* ALink);
// Takes the link out of the variable and releases it.
void dxBarReleaseObjectLink(TcxObjectLink*& ALink);
template <class T>
void dxBarFreeAndClear(T*& AObject) {
  FreeAndNil(AObject);
}
// The names of an enumeration's values, lowest first; of a set type's elements.
void dxBarEnumNamesToArray(const TTypeInfo& AType, std::vector<String>& ANames);
void dxBarSetElementNamesToArray(const TTypeInfo& ASetType, std::vector<String>& ANames);

// ---------------------------------------------------------------------------
// Managers, forms and windows
// ---------------------------------------------------------------------------

class TControl;
class TCustomForm;
class TWinControl;

// The manager of the platform control of the window (see dxBarManagerFromObject).
TdxBarManager* dxBarManagerOfWindow(HWND AWnd);
// The component itself or the first windowed control among its owners; nil when none.
TWinControl* dxBarWinControlOwner(TComponent* AComponent);
// The manager of the component's windowed control, else of the nearest
// platform control above it through child windows; nil when that control
// has no window or none of them has a manager.
TdxBarManager* dxBarManagerForComponent(TComponent* AComponent);
// Up the parents of a child window to the first that is a platform control.
TWinControl* dxBarChildWindowControlParent(HWND AWnd);
// The platform control of the window or of the nearest window above it that has one.
TWinControl* dxBarFindPlatformControl(HWND AWnd);
// The form a windowed control sits on, from its window upwards: kind 0 the
// top-level form, kind 1 the nearest MDI child form (else the top-level
// form), kind 2 the nearest form. Nil for nil, for a control that is not
// windowed or has no window yet, and where no form is found.
TCustomForm* dxBarControlFormByKind(TControl* AControl, int AKind);
// The nearest form of the component's windowed control.
TCustomForm* dxBarComponentParentForm(TComponent* AComponent);
TCustomForm* dxBarManagerFormByKind(TdxBarManager* AManager, int AKind);
// The window is the manager's owner window or one it lies in through child windows.
bool dxBarIsManagerOwnerWindow(TdxBarManager* AManager, HWND AWnd);
// The control when it is windowed, else its parent.
TWinControl* dxBarWindowedControlOf(TControl* AControl);
// The control has a window and it is the given window or one of its ancestors.
bool dxBarControlContainsWindow(TWinControl* AControl, HWND AWnd);
// Through windows where both have them, else through the parent chain.
bool dxBarControlContainsControl(TWinControl* AContainer, TControl* AControl);
bool dxBarManagerOwnerContains(TdxBarManager* AManager, TControl* AControl);
// The active window's form when its window is enabled (its active MDI child
// for an MDI parent form that has one); nil otherwise.
TCustomForm* dxBarActiveFormOrMDIChild();
// Tells the active form that a mode of the bars begins (CM_CANCELMODE to its active control).
void dxBarCancelActiveFormMode();
// Activates the first window, from this one upwards, that is not a child window.
void dxBarActivateTopWindow(HWND AWnd);
// Below 255 the window becomes layered with that opacity; at 255 a layered
// window stops being layered and redraws. Nothing without the system's
// layered windows.
void dxBarSetWindowAlpha(HWND AWnd, Byte AAlpha);
// The window, or a window it lies in through child windows, has the focus.
bool dxBarWindowChainFocused(HWND AWnd);
bool dxBarControlWindowVisible(TWinControl* AControl);
// The owner, directly or through the owner's owners, is AOwner.
bool dxBarIsWindowOwnedBy(HWND AWnd, HWND AOwner);
// True for nil and for a window of another process.
bool dxBarIsForeignProcessWindow(HWND AWnd);
// Destroys the window when asked and clears the variable.
void dxBarForgetWindowHandle(HWND& AWnd, bool ADestroy);
// The desktop work area of the monitor that holds the point.
TRect dxBarWorkAreaAt(const TPoint& APoint);
void dxBarEnsureMinWidth(int& AValue, int AMinimum);
// A length given for AReference pixels per inch, at the screen's.
int dxBarScaleToScreenDPI(int AValue, int AReference);

// ---------------------------------------------------------------------------
// Key tips, layout storage, mouse buttons
// ---------------------------------------------------------------------------

// The key-tip level above the helper: nil when it has no key-tip parent;
// else the first helper up the chain that opens a level, or the topmost.
IdxBarAccessibilityHelper* dxBarFindKeyTipScope(IdxBarAccessibilityHelper* AHelper);
// Escape while key tips are shown: the container's bar helper leaves its level.
void dxBarKeyTipsStepBack(IdxBarAccessibilityHelper* AContainer);
// Asked first by dxBarRootAccessibleForWindow; nil: nobody is asked.
using TdxBarRootAccessibleHook = IdxBarAccessibilityHelper* (*)(HWND AWnd);
TdxBarRootAccessibleHook& dxBarRootAccessibleHook();
// The hook's answer; else the accessibility helper of the main-menu
// toolbar's window of the window's manager; else nil.
IdxBarAccessibilityHelper* dxBarRootAccessibleForWindow(HWND AWnd);
// "." between the parts of an INI section name, "\" between registry keys.
String dxBarSectionDelimiter(TdxBarStoringKind AKind);
// Whether a mouse button is down now, asking for ASwappedButton when the
// system swaps the buttons; the primary and secondary buttons are the
// logical left and right ones.
bool dxBarMouseButtonDown(int AButton, int ASwappedButton);
bool dxBarPrimaryButtonDown();
bool dxBarSecondaryButtonDown();
// ATarget takes a font handle of its own with AFont's logical font.
void dxBarCopyFont(TFont* AFont, TFont* ATarget);
