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

// Item classes against the item-control classes that show them.
class TdxBarItemList : public TObject {
  DECLARE_CLASS(TdxBarItemList, TObject)
  struct TRegistration {
    TClass ItemClass;
    TClass ItemControlClass;
    bool ShownInCustomization;
  };
  TdxBarItemList() = default;
  // Also makes the item class known to the component stream.
  void AddRegistration(TClass AItemClass, TClass AItemControlClass, bool AShown);
  void RemoveRegistration(TClass AItemClass);
  int Count() const { return static_cast<int>(FItems.size()); }
  const TRegistration& RegistrationAt(int AIndex) const { return FItems.at(AIndex); }
  // The control class registered for exactly this item class, nil when none.
  TClass ItemControlClassOf(TClass AItemClass) const;

 private:
  std::vector<TRegistration> FItems;
};

// Made on first use; nil while the module shuts down.
TdxBarItemList* dxBarSharedItemClassRegistry();
void dxBarAddItemClassToRegistry(TClass AItemClass, TClass AItemControlClass, bool AShown = true);
void dxBarRemoveItemClassFromRegistry(TClass AItemClass);

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
// The caption without accelerator markers; "&&" gives "&".
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
