#include "bars/model/dxBarHints.h"

#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"

#include "platform/gui/Forms.h"

namespace {

struct THintState {
  IdxBarHintWindow* Window = nullptr;
  TdxBarHintTimers Timers;
  TdxBarManager* Manager = nullptr;
  TObject* HintObject = nullptr;
  bool Active = false;
  String Text;
  bool Shown = false;
};

THintState& State() {
  static THintState state;
  return state;
}

void CALLBACK HintTimerProc(HWND, UINT, UINT_PTR AID, DWORD) {
  GuardCallback([AID] { dxBarHintTimerFired(AID); });
}

void StopHintTimer() {
  TdxBarHintTimers& t = State().Timers;
  dxBarStopTimer(nullptr, t.HintTimer);
  t.HintTimer = 0;
}

void StopHiddenHintTimer() {
  TdxBarHintTimers& t = State().Timers;
  if (t.HiddenHintTimer) t.QuickReshow = false;
  dxBarStopTimer(nullptr, t.HiddenHintTimer);
  t.HiddenHintTimer = 0;
}

void StartHintTimer(UINT AInterval, bool AHides) {
  TdxBarHintTimers& t = State().Timers;
  t.HintTimer = SetTimer(nullptr, 0, AInterval, &HintTimerProc);
  t.HintTimerInterval = AInterval;
  t.HintTimerHides = AHides;
}

bool HintVisible() { return State().Window && State().Window->IsVisible(); }

bool ManagerUsable(TdxBarManager* AManager) {
  TdxBarManagerList* list = dxBarManagerList();
  if (!AManager || !list || AManager->IsDestroying()) return false;
  for (int i = 0; i < list->Count(); ++i)
    if (list->ManagerAt(i) == AManager) return true;
  return false;
}

void ShowHintNow(TdxBarManager* AManager) {
  THintState& s = State();
  String text, shortCut;
  bool show = false;
  if (!s.Text.empty()) {
    text = s.Text;
    show = true;
  } else if (auto* source = dynamic_cast<IdxBarHintSource*>(s.HintObject)) {
    if (source->GetHintInfo(text, shortCut) && (source->IsHintEnabled() || AManager->ShowHintForDisabledItems())) {
      if (!AManager->ShowShortCutInHint() && !(Application && Application->HintShortCuts())) shortCut.clear();
      show = true;
    }
  }
  if (show && s.Window && s.Window->ActivateHintEx(AManager, text, shortCut)) {
    s.Shown = true;
    s.Manager = AManager;
    StartHintTimer(dxBarHideHintTime(s.Window), true);
    return;
  }
  AManager->HideHint();
}

void HintRequest(TdxBarManager* AManager, bool AShow, const String& AText, TObject* AObject) {
  THintState& s = State();
  if (!AShow && !s.Active) return;
  s.Active = AShow;
  s.Text = AText;
  s.Shown = false;
  const bool something = AShow && (AManager->SelectedItem() || !AText.empty() || AObject);
  StopHintTimer();
  s.HintObject = AObject;
  if (something) {
    if (HintVisible() || s.Timers.QuickReshow) {
      ShowHintNow(AManager);
    } else {
      s.Manager = AManager;
      StartHintTimer(dxBarShowHintTime(s.Window), false);
    }
  } else if (HintVisible()) {
    s.Window->HideHint();
    if (AShow) {
      StopHiddenHintTimer();
      s.Timers.QuickReshow = true;
      s.Timers.HiddenHintTimer = SetTimer(nullptr, 0, dxBarQuickReshowTime, &HintTimerProc);
    }
  }
}

}  // namespace

TdxBarHintWindowFactory& dxBarHintWindowFactory() {
  static TdxBarHintWindowFactory factory = nullptr;
  return factory;
}

IdxBarHintWindow* dxBarHintWindow() { return State().Window; }

TObject* dxBarHintObject() { return State().HintObject; }

void dxBarHintObjectDestroying(TObject* AObject) {
  if (AObject && State().HintObject == AObject) State().HintObject = nullptr;
}

void dxBarCreateHintWindow() {
  if (!State().Window && dxBarHintWindowFactory()) State().Window = dxBarHintWindowFactory()();
}

void dxBarFreeHintWindow() {
  THintState& s = State();
  StopHintTimer();
  StopHiddenHintTimer();
  s.Manager = nullptr;
  s.HintObject = nullptr;
  s.Active = false;
  if (IdxBarHintWindow* window = s.Window) {
    s.Window = nullptr;
    window->Release();
  }
}

void dxBarClearHintText() { State().Text.clear(); }

UINT dxBarShowHintTime(IdxBarHintWindow* AWindow) { return AWindow && AWindow->IsScreenTipMode() ? 900 : 1000; }

UINT dxBarHideHintTime(IdxBarHintWindow* AWindow) {
  return AWindow && AWindow->IsScreenTipMode() ? 200000 : 10000;
}

const TdxBarHintTimers& dxBarHintTimers() { return State().Timers; }

void dxBarHintTimerFired(UINT_PTR ATimerID) {
  THintState& s = State();
  if (ATimerID == 0) return;
  if (ATimerID == s.Timers.HiddenHintTimer) {
    StopHiddenHintTimer();
    return;
  }
  if (ATimerID != s.Timers.HintTimer) return;
  const bool hides = s.Timers.HintTimerHides;
  StopHintTimer();
  if (!ManagerUsable(s.Manager)) return;
  if (hides)
    s.Manager->HideHint();
  else
    ShowHintNow(s.Manager);
}

void dxBarHintManagerDestroying(TdxBarManager* AManager) {
  THintState& s = State();
  if (s.Manager != AManager) return;
  if (s.Timers.HintTimer) {
    StopHintTimer();
    if (HintVisible()) s.Window->HideHint();
  }
  StopHiddenHintTimer();
  s.Manager = nullptr;
  s.HintObject = nullptr;
  s.Active = false;
}

// ---------------------------------------------------------------------------
// The manager's side
// ---------------------------------------------------------------------------

void TdxBarManager::ActivateHint(bool AShow, const String& ACustomHint, TObject* AHintObject) {
  if (IsCustomizing() || !FShowHint) return;
  IdxBarHintWindow* window = dxBarHintWindow();
  if (AShow && window && window->IsScreenTipMode()) HintRequest(this, false, String(), nullptr);
  HintRequest(this, AShow, ACustomHint, AHintObject);
}

void TdxBarManager::HideHint() { ActivateHint(false); }

bool TdxBarManager::IsHintShowing() const { return HintVisible(); }
