#include "bars/model/dxBarRoutines.h"

#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarScreenTip.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxControls.h"
#include "platform/core/SystemLibraries.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"

#include <algorithm>
#include <cmath>
#include <mmsystem.h>
#include <type_traits>
#include <span>

IMPLEMENT_CLASS(TdxBarManagerList, TObject, nullptr)
IMPLEMENT_CLASS(TdxBarItemList, TObject, nullptr)

namespace {

struct TModuleState {
  void (*PreviousInitProc)() = nullptr;
  TdxBarLayeredWindowApi LayeredWindowApi;
  TdxBarManagerList* Managers = nullptr;
  TdxBarItemList* ItemClasses = nullptr;
  bool Finalizing = false;
  int RunCount = 0;
};

TModuleState& State() {
  static TModuleState state;
  return state;
}

struct TCursorEntry {
  short Id;
  const wchar_t* Name;
};

constexpr TCursorEntry kCursors[] = {{crdxBarDrag, L"DXBARDRAGCURSOR"},
                                     {crdxBarDragCopy, L"DXBARDRAGCOPYCURSOR"},
                                     {crdxBarDragNoDrop, L"DXBARDRAGNODROPCURSOR"},
                                     {crdxBarEditSizing, L"DXBAREDITSIZINGCURSOR"}};

TdxBarLayeredWindowApi LookUpLayeredWindowApi() {
  TdxBarLayeredWindowApi api;
  auto lookUp = [](auto& AEntry, const char* AName) {
    AEntry = SystemLibraryFunction<std::remove_reference_t<decltype(AEntry)>>(L"user32.dll", AName);
  };
  lookUp(api.UpdateLayeredWindow, "UpdateLayeredWindow");
  lookUp(api.AnimateWindow, "AnimateWindow");
  lookUp(api.SetLayeredWindowAttributes, "SetLayeredWindowAttributes");
  return api;
}

// Initialising the application also stops a menu sound still playing.
void BarInitProc() {
  if (State().PreviousInitProc) State().PreviousInitProc();
  dxBarStopMenuSound();
}

}  // namespace

TdxBarSideDockFactory& dxBarSideDockFactory() {
  static TdxBarSideDockFactory factory = nullptr;
  return factory;
}

TdxBarToolbarControlFactory& dxBarToolbarControlFactory() {
  static TdxBarToolbarControlFactory factory = nullptr;
  return factory;
}

TdxBarManager* TdxBarManagerList::ManagerAt(int AIndex) const {
  return AIndex >= 0 && AIndex < Count() ? FItems[AIndex] : nullptr;
}

TdxBarManagerList::~TdxBarManagerList() {
  dxBarRemoveHooks();
  dxBarFreeHintWindow();
}

void TdxBarManagerList::Add(TdxBarManager* AManager) {
  if (std::find(FItems.begin(), FItems.end(), AManager) != FItems.end()) return;
  if (FItems.empty()) dxBarInstallHooks();
  FItems.push_back(AManager);
  if (TdxBarManagerProc joined = dxBarManagerJoinedProc()) joined(AManager);
  if (!AManager->Designing()) dxBarCreateHintWindow();
}

void TdxBarManagerList::Remove(TdxBarManager* AManager) {
  const auto found = std::find(FItems.begin(), FItems.end(), AManager);
  if (found == FItems.end()) return;
  FItems.erase(found);
  if (FItems.empty()) {
    dxBarRemoveHooks();
    dxBarFreeHintWindow();
  }
  if (TdxBarManagerProc left = dxBarManagerLeftProc()) left(AManager);
}

TdxBarManager* TdxBarManagerList::CustomizingBarManager() const {
  for (TdxBarManager* manager : FItems)
    if (manager->IsRunTimeCustomizing()) return manager;
  return nullptr;
}

namespace {

// The form's window is the manager's owner window or one of the ancestors
// it reaches through child windows; a manager of an MDI child form is active
// only while that form is the main form's active MDI child.
bool ManagerActiveOn(TdxBarManager* AManager, HWND AFormWnd) {
  TWinControl* owner = AManager->OwnerControl();
  if (!AFormWnd || !owner || !owner->HandleAllocated()) return false;
  HWND wnd = owner->Handle();
  while (wnd && wnd != AFormWnd) wnd = dxBarChildParent(wnd);
  if (!wnd) return false;
  TCustomForm* master = AManager->MasterForm();
  if (!master || master->FormStyle() != fsMDIChild) return true;
  TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
  return mainForm && mainForm->ActiveMDIChild() == master;
}

}  // namespace

TdxBarManager* TdxBarManagerList::NextActive(TdxBarManager* AManager, bool AGoForward) const {
  const auto found = std::find(FItems.begin(), FItems.end(), AManager);
  if (found == FItems.end()) return AManager;
  TCustomForm* form = AManager->TopLevelForm();
  HWND formWnd = form && form->HandleAllocated() ? form->Handle() : nullptr;
  const int count = Count(), start = static_cast<int>(found - FItems.begin());
  for (int step = 1; step < count; ++step) {
    TdxBarManager* candidate = FItems[((start + (AGoForward ? step : -step)) % count + count) % count];
    if (ManagerActiveOn(candidate, formWnd)) return candidate;
  }
  return AManager;
}

TdxBarManagerList* dxBarManagerList() { return State().Managers; }

const TdxBarLayeredWindowApi& dxBarLayeredWindowApi() { return State().LayeredWindowApi; }

void TdxBarItemList::AddRegistration(TClass AItemClass, TClass AItemControlClass, bool AShown) {
  FItems.push_back({AItemClass, AItemControlClass, AShown});
  RegisterClass(AItemClass);
}

void TdxBarItemList::RemoveRegistration(TClass AItemClass) {
  FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                              [AItemClass](const TRegistration& r) { return r.ItemClass == AItemClass; }),
               FItems.end());
}

TClass TdxBarItemList::ItemControlClassOf(TClass AItemClass) const {
  for (const TRegistration& r : FItems)
    if (r.ItemClass == AItemClass) return r.ItemControlClass;
  return nullptr;
}

TdxBarItemList* dxBarSharedItemClassRegistry() {
  TModuleState& s = State();
  if (!s.ItemClasses && !s.Finalizing) s.ItemClasses = Make<TdxBarItemList>();
  return s.ItemClasses;
}

void dxBarAddItemClassToRegistry(TClass AItemClass, TClass AItemControlClass, bool AShown) {
  if (TdxBarItemList* list = dxBarSharedItemClassRegistry()) list->AddRegistration(AItemClass, AItemControlClass, AShown);
}

void dxBarRemoveItemClassFromRegistry(TClass AItemClass) {
  if (TdxBarItemList* list = State().ItemClasses) list->RemoveRegistration(AItemClass);
}

TdxBarManager* dxBarManagerFromObject(TObject* AObject) {
  if (!AObject) return nullptr;
  if (auto* manager = dynamic_cast<TdxBarManager*>(AObject)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  if (!list) return nullptr;
  for (int i = 0; i < list->Count(); ++i)
    if (list->ManagerAt(i)->Owner() == AObject) return list->ManagerAt(i);
  return nullptr;
}

bool dxBarIsComparingWithAncestor(TComponent* AComponent) {
  const TComponentStateSet state = AComponent->ComponentState();
  return state.Contains(csLoading) && state.Contains(csAncestor) && !state.Contains(csReading);
}

TdxBarItemVisible dxBarVisibleFromBoolean(bool AValue) { return AValue ? ivAlways : ivNever; }

int dxBarMostCompactViewLevel(TdxBarItemViewLevels ALevels) {
  for (TdxBarItemViewLevel level : {ivlControlOnly, ivlSmallIcon, ivlSmallIconWithText, ivlLargeIconWithText})
    if (ALevels.Contains(level)) return level;
  return 255;
}

int dxBarAccelCharIndex(String& ACaption, bool ARemoveMarkers) {
  int result = 0;
  String stripped;
  const size_t n = ACaption.size();
  for (size_t i = 0; i < n; ++i) {
    const Char c = ACaption[i];
    if (c == L'&' && i + 1 < n) {
      if (ACaption[i + 1] == L'&') {
        stripped += L'&';
        ++i;
        continue;
      }
      result = ARemoveMarkers ? static_cast<int>(stripped.size()) + 1 : static_cast<int>(i) + 2;
      continue;
    }
    stripped += c;
  }
  if (ARemoveMarkers) ACaption = stripped;
  return result;
}

String dxBarRemoveAccelChars(const String& ACaption) {
  String caption = ACaption;
  dxBarAccelCharIndex(caption, true);
  return caption;
}

Word dxBarShortCutFromKey(Word AKey, LPARAM AKeyData) {
  if (AKey == 0) return 0;
  Word result = AKey;
  if (GetKeyState(VK_SHIFT) < 0) result += 0x2000;
  if (GetKeyState(VK_CONTROL) < 0) result += 0x4000;
  if (AKeyData & 0x20000000) result += 0x8000;
  return result;
}

bool dxBarMenuSoundsOn = true;

void dxBarPlayMenuSound(int AEntry) {
  static const wchar_t* const sounds[] = {L"MenuPopup", L"MenuCommand", nullptr};
  if (!dxBarMenuSoundsOn || AEntry < 0 || AEntry > 2) return;
  // The sound library is bound on the first menu sound, not at start; while
  // it is not loaded no sound plays that a stop could end.
  if (!sounds[AEntry] && !GetModuleHandleW(L"winmm.dll")) return;
  static const auto playSound = SystemLibraryFunction<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");
  if (playSound) playSound(sounds[AEntry], nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

int dxBarPickNearestInDirection(const TRect& ASource, const std::vector<TRect>& ACandidates, int ADirection,
                                bool AAllowWrap) {
  if (ADirection < 0 || ADirection > 3) return -1;
  static const double directionAngles[] = {180, 270, 0, 90};
  auto pick = [&](const TRect& S) {
    int best = -1;
    long long bestDistance = 0;
    double bestDeviation = 0;
    const long double sx = S.Left + (S.Right - S.Left) / 2.0L, sy = S.Top + (S.Bottom - S.Top) / 2.0L;
    for (size_t i = 0; i < ACandidates.size(); ++i) {
      const TRect& C = ACandidates[i];
      const long long distance = ADirection == 0   ? static_cast<long long>(S.Left) - C.Right
                                 : ADirection == 1 ? static_cast<long long>(S.Top) - C.Bottom
                                 : ADirection == 2 ? static_cast<long long>(C.Left) - S.Right
                                                   : static_cast<long long>(C.Top) - S.Bottom;
      if (distance < 0) continue;
      const long double cx = C.Left + (C.Right - C.Left) / 2.0L, cy = C.Top + (C.Bottom - C.Top) / 2.0L;
      double angle = static_cast<double>(std::atan2(cy - sy, cx - sx) * 180.0L / 3.14159265358979323846L);
      if (angle < 0) angle += 360;
      const double d = angle - directionAngles[ADirection];
      const double deviation = d >= 0 ? std::min(std::fabs(d), std::fabs(d - 360)) : std::min(std::fabs(d), std::fabs(d + 360));
      if (best < 0 || distance < bestDistance || (distance == bestDistance && deviation < bestDeviation)) {
        best = static_cast<int>(i);
        bestDistance = distance;
        bestDeviation = deviation;
      }
    }
    return best;
  };
  int result = pick(ASource);
  if (result < 0 && AAllowWrap && (ADirection == 0 || ADirection == 2)) {
    const int width = ASource.Right - ASource.Left;
    const int left = ADirection == 0 ? 0x3FFFFFFF - width : -0x3FFFFFFF;
    result = pick(TRect(left, ASource.Top, left + width, ASource.Bottom));
  }
  return result;
}

void dxBarStopMenuSound() { dxBarPlayMenuSound(2); }

TBitmap* dxBarNewNotifyingBitmap(const TNotifyEvent& AHandler) {
  TBitmap* bitmap = Make<TBitmap>();
  bitmap->OnChange = AHandler;
  return bitmap;
}

namespace {

// Logical heights are negative character heights: "at least 11 pixels"
// means a height of -11 or below.
LONG AtLeastElevenPixels(LONG AHeight) { return AHeight > -11 ? -11 : AHeight; }

}  // namespace

HFONT dxBarCreateMenuFont(TFont* AFont, bool AAsSystem) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
  LOGFONTW font = metrics.lfSmCaptionFont;
  if (!AAsSystem) {
    font.lfHeight = AtLeastElevenPixels(font.lfHeight);
    if (AFont) {
      const String face = AFont->Name().substr(0, LF_FACESIZE - 1);
      std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
      std::copy(face.begin(), face.end(), font.lfFaceName);
    }
  }
  return GdiCreateFont(font);
}

void dxBarAssignScaledFont(TFont* AFont, TFont* ATarget, bool AScaled) {
  if (!AFont || !ATarget) return;
  ATarget->Assign(AFont);
  if (!AScaled) return;
  LOGFONTW iconTitle{};
  if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0))
    ATarget->SetHeight(AtLeastElevenPixels(iconTitle.lfHeight));
}

bool dxBarModuleFinalizing() { return State().Finalizing; }

TdxBarItemControlBase* dxBarLinkControlOrNil(TdxBarItemLink* ALink) { return ALink ? ALink->Control() : nullptr; }
TdxBarItemLink* dxBarControlLinkOrNil(TdxBarItemControlBase* AControl) { return AControl ? AControl->ItemLink() : nullptr; }
TdxBarItem* dxBarControlItemOrNil(TdxBarItemControlBase* AControl) { return AControl ? AControl->Item() : nullptr; }
TdxBarItem* dxBarLinkItemOrNil(TdxBarItemLink* ALink) { return ALink ? ALink->Item() : nullptr; }

void dxBarRepaintControlOrNil(TdxBarItemControlBase* AControl) {
  if (AControl) AControl->Repaint();
}

void dxBarManagerSignalModified(TdxBarManager* AManager) {
  if (AManager) AManager->SignalDesignerModified();
}

IdxBarLinksOwner* dxBarLinksOwnerIntfOf(TObject* AObject) { return dynamic_cast<IdxBarLinksOwner*>(AObject); }

TdxBarItemLinks* dxBarOwnedItemLinks(TObject* AObject) {
  IdxBarLinksOwner* owner = dxBarLinksOwnerIntfOf(AObject);
  return owner ? owner->GetItemLinks() : nullptr;
}

String dxBarShortCutSuffix(Word AShortCut) {
  const String text = ShortCutToText(AShortCut);
  return text.empty() ? String() : L" (" + text + L")";
}

bool dxBarIsMouseDownMessage(UINT AMessage) {
  switch (AMessage) {
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

namespace {

void FlushMessages(UINT AFirst, UINT ALast) {
  MSG msg;
  for (;;) {
    const BOOL got = PeekMessageW(&msg, nullptr, AFirst, ALast, PM_REMOVE);
    if (!got) return;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

// PeekMessage hands out a pending quit whatever the filter.
void dxBarFlushMouseMessages() { FlushMessages(WM_MOUSEFIRST, WM_MOUSEHWHEEL); }

void dxBarFlushPaintMessages() { FlushMessages(WM_PAINT, WM_PAINT); }

void dxBarDropPendingChars(HWND AWnd) {
  MSG msg;
  while (PeekMessageW(&msg, AWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
  }
}

bool dxBarStopTimer(HWND AWnd, UINT_PTR& ATimerID) {
  if (ATimerID == 0) return false;
  const bool killed = KillTimer(AWnd, ATimerID) != FALSE;
  if (killed) ATimerID = 0;
  return killed;
}

void dxBarSetWindowZPos(HWND AWnd, HWND AInsertAfter, bool AActivate, UINT AExtraFlags) {
  SetWindowPos(AWnd, AInsertAfter, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | (AActivate ? 0 : SWP_NOACTIVATE) | AExtraFlags);
}

int dxBarShowAppMessageBox(const String& AText, UINT AFlags) {
  return Application->MessageBox(AText, Application->Title(), AFlags);
}

namespace {

// The classes the component stream finds by name.
std::span<const TClass> StreamedClasses() {
  static const TClass classes[] = {
      TdxBarManager::StaticClass(),       TdxBar::StaticClass(),          TdxBarGroup::StaticClass(),
      TdxBarButton::StaticClass(),        TdxBarLargeButton::StaticClass(), TdxBarLabel::StaticClass(),
      TdxBarSeparator::StaticClass(),     TdxBarScreenTip::StaticClass(), TdxBarScreenTipBand::StaticClass(),
      TdxBarScreenTipCollection::StaticClass()};
  return classes;
}

}  // namespace

void dxBarInitialize() {
  TModuleState& s = State();
  if (s.RunCount++ > 0) return;
  s.Finalizing = false;
  s.LayeredWindowApi = LookUpLayeredWindowApi();
  s.Managers = Make<TdxBarManagerList>();
  dxBarRefreshScreenDepth();
  dxBarCreateCheckerBrush();
  // A cursor missing from the resources leaves its id to the default cursor.
  if (Screen)
    for (const TCursorEntry& entry : kCursors)
      Screen->SetCursors(entry.Id, cxLoadCursorFromResourceData(GetModuleHandleW(nullptr), entry.Name));
  if (!IsLibrary()) {
    s.PreviousInitProc = InitProc;
    InitProc = &BarInitProc;
  }
  for (TClass cls : StreamedClasses()) RegisterClass(cls);
}

void dxBarFinalize() {
  TModuleState& s = State();
  if (s.RunCount == 0 || --s.RunCount > 0) return;
  s.Finalizing = true;
  if (InitProc == &BarInitProc) InitProc = s.PreviousInitProc;
  s.PreviousInitProc = nullptr;
  FreeAndNil(s.ItemClasses);
  dxBarDeleteCheckerBrush();
  FreeAndNil(s.Managers);
  if (Screen)
    for (const TCursorEntry& entry : kCursors) Screen->SetCursors(entry.Id, nullptr);
  s.LayeredWindowApi = {};
  for (TClass cls : StreamedClasses()) UnRegisterClass(cls);
}
