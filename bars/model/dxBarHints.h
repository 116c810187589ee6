// Hints of toolbars and menus: one shared hint window for the process, and
// the timing that decides when a hint appears, when it goes and how quickly
// the next one follows. The window itself is the bar controls layer's; it
// fills the window maker at its start-up. Until then no hint is shown.
#pragma once

#include "bars/model/dxBarBase.h"

// What the hint window shows: a layout that measures and paints itself (the
// bar controls layer's).
class TdxBarCustomHintViewInfo;

// The shared hint window.
class IdxBarHintWindow {
 public:
  // Screen tips wait a little less and stay much longer than plain hints.
  virtual bool IsScreenTipMode() = 0;
  virtual bool IsVisible() = 0;
  virtual void HideHint() = 0;
  // Lays out and shows the hint; false when there was nothing to show.
  virtual bool ActivateHintEx(TdxBarManager* AManager, const String& AText, const String& AShortCut) = 0;
  // Frees the window.
  virtual void Release() = 0;

 protected:
  ~IdxBarHintWindow() = default;
};
using TdxBarHintWindowFactory = IdxBarHintWindow* (*)();
TdxBarHintWindowFactory& dxBarHintWindowFactory();
// Nil while no manager lives, or when no maker is set.
IdxBarHintWindow* dxBarHintWindow();
void dxBarCreateHintWindow();
void dxBarFreeHintWindow();
// Forgets the custom text of the last hint request (the bar module's shutdown).
void dxBarClearHintText();

// Delays of the hint window in its present mode, in milliseconds.
UINT dxBarShowHintTime(IdxBarHintWindow* AWindow);
UINT dxBarHideHintTime(IdxBarHintWindow* AWindow);
inline constexpr UINT dxBarQuickReshowTime = 400;

// What a hint object (a bar control, an item control) offers.
class IdxBarHintSource {
 public:
  // Whether it has a hint, with its text and the shortcut's text.
  virtual bool GetHintInfo(String& AHint, String& AShortCut) = 0;
  virtual bool IsHintEnabled() = 0;
  // The view of the hint for these texts (the caller owns it).
  virtual TdxBarCustomHintViewInfo* MakeHintView(const String& AHint, const String& AShortCut) = 0;
  // The top-left screen point of a hint window of that height.
  virtual TPoint CalcHintPlacement(const TPoint& ACursorPos, int AWindowHeight) = 0;

 protected:
  ~IdxBarHintSource() = default;
};

// The object whose hint is asked for now (a bar control, an item control).
TObject* dxBarHintObject();
// A hint object goes: the pending hint forgets it.
void dxBarHintObjectDestroying(TObject* AObject);

// The hint timers, as the tests drive them.
struct TdxBarHintTimers {
  UINT_PTR HintTimer = 0;
  UINT HintTimerInterval = 0;
  bool HintTimerHides = false;  // the auto-hide timer rather than the show delay
  UINT_PTR HiddenHintTimer = 0;
  bool QuickReshow = false;
};
const TdxBarHintTimers& dxBarHintTimers();
// Runs what the window timer of that id runs when it fires.
void dxBarHintTimerFired(UINT_PTR ATimerID);
// A manager goes: its pending hint goes with it.
void dxBarHintManagerDestroying(TdxBarManager* AManager);
