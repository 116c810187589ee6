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

#include "bars/model/dxBarComponents.h"
#include "bars/model/dxBarSelection.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControlsRoutines.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mmsystem.h>
#include <type_traits>
#include <span>
#include <utility>

IMPLEMENT_CLASS(TdxBarManagerList, TObject, nullptr)
IMPLEMENT_CLASS(TRegItemRecord, TObject, nullptr)
IMPLEMENT_CLASS(TdxBarItemList, TObject, nullptr)

namespace {

struct TModuleState {
  void (*PreviousInitProc)() = nullptr;
  TdxBarLayeredWindowApi LayeredWindowApi;
  TdxBarManagerList* Managers = nullptr;
  TdxBarItemList* ItemClasses = nullptr;
  TObject* DesignController = nullptr;
  std::unique_ptr<std::vector<TObject*>> LiveControls;
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

TdxBarItemList::~TdxBarItemList() {
  while (!FItems.empty()) RemoveRegistrationAt(Count() - 1);
}

void TdxBarItemList::AddRegistration(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass,
                                     bool AVisible) {
  TObjectPtr<TRegItemRecord> record(Make<TRegItemRecord>(AItemClass, AItemControlClass, AVisible));
  // A class the stream knows already (the bar module's own item classes,
  // another registration of it) stays known when this registration goes.
  if (AItemClass && GetClass(AItemClass->Name) != AItemClass) {
    RegisterClass(AItemClass);
    record->FStreamsClass = true;
  }
  FItems.push_back(record.release());
}

void TdxBarItemList::RemoveRegistration(TdxBarItemClass AItemClass) {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i]->FItemClass == AItemClass) return RemoveRegistrationAt(i);
}

void TdxBarItemList::RemoveRegistrationAt(int AIndex) {
  TRegItemRecord* record = RegistrationAt(AIndex);
  FItems.erase(FItems.begin() + AIndex);
  if (record->FStreamsClass) {
    const auto other = std::find_if(FItems.begin(), FItems.end(), [record](const TRegItemRecord* r) {
      return r->FItemClass == record->FItemClass;
    });
    if (other != FItems.end())
      (*other)->FStreamsClass = true;
    else
      UnRegisterClass(record->FItemClass);
  }
  TObject::Free(record);
}

TRegItemRecord* TdxBarItemList::RegistrationAt(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) TList::Error(L"List index out of bounds (%d)", AIndex);
  return FItems[AIndex];
}

int TdxBarItemList::VisibleItemCount() const {
  return static_cast<int>(std::count_if(FItems.begin(), FItems.end(), [](const TRegItemRecord* r) { return r->FVisible; }));
}

TdxBarItemClass TdxBarItemList::NthVisibleItemClass(int AIndex) const {
  if (AIndex < 0) return nullptr;
  for (const TRegItemRecord* r : FItems)
    if (r->FVisible && AIndex-- == 0) return r->FItemClass;
  return nullptr;
}

TdxBarItemControlClass TdxBarItemList::ItemControlClassOf(TdxBarItemClass AItemClass) const {
  for (const TRegItemRecord* r : FItems)
    if (r->FItemClass == AItemClass) return r->FItemControlClass;
  return nullptr;
}

TdxBarItemList* dxBarSharedItemClassRegistry() {
  TModuleState& s = State();
  if (!s.ItemClasses && !s.Finalizing) s.ItemClasses = Make<TdxBarItemList>();
  return s.ItemClasses;
}

void dxBarAddItemClassToRegistry(TdxBarItemClass AItemClass, TdxBarItemControlClass AItemControlClass,
                                 bool AVisible) {
  if (TdxBarItemList* list = dxBarSharedItemClassRegistry()) list->AddRegistration(AItemClass, AItemControlClass, AVisible);
}

void dxBarRemoveItemClassFromRegistry(TdxBarItemClass AItemClass) {
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

String dxBarRemoveAccelChars(const String& ACaption) { return cxStripAccelAmpersands(ACaption, false); }

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

bool dxBarAnyPopupMenuVisible() {
  TdxBarManagerList* list = dxBarManagerList();
  for (int i = 0; list && i < list->Count(); ++i) {
    TdxBarManager* manager = list->ManagerAt(i);
    if (manager->IsDestroying()) continue;
    for (int j = 0; j < manager->PopupMenuCount(); ++j) {
      TdxBarItemLinks* links = dxBarOwnedItemLinks(manager->PopupMenuAt(j));
      IdxBarControl* control = links ? links->BarControl() : nullptr;
      if (control && !control->IsDestroying() && control->IsWindowVisible()) return true;
    }
  }
  return false;
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

// The classes the component stream finds by name. The item classes are
// among them because the item-control classes that complete their
// registrations come with the bar windows' layer (dxBarControlsModules).
std::span<const TClass> StreamedClasses() {
  static const TClass classes[] = {
      TdxBarManager::StaticClass(),       TdxBar::StaticClass(),          TdxBarGroup::StaticClass(),
      TdxBarButton::StaticClass(),        TdxBarLargeButton::StaticClass(), TdxBarLabel::StaticClass(),
      TdxBarSeparator::StaticClass(),     TdxBarScreenTip::StaticClass(), TdxBarScreenTipBand::StaticClass(),
      TdxBarScreenTipCollection::StaticClass()};
  return classes;
}

void FreeDesignController() {
  TModuleState& s = State();
  if (!s.DesignController) return;
  IdxBarDesignController*& slot = dxBarDesignControllerSlot();
  if (slot == dynamic_cast<IdxBarDesignController*>(s.DesignController)) slot = nullptr;
  FreeAndNil(s.DesignController);
}

}  // namespace

// The steps the bar windows' layer adds to the start-up (it follows this
// one): the navigation controller, the item classes against their controls;
// the customization layer's step registers its editors and design helpers.
void dxBarInitialize() {
  TModuleState& s = State();
  if (s.RunCount++ > 0) return;
  s.Finalizing = false;
  for (TClass cls : StreamedClasses()) RegisterClass(cls);
  s.LayeredWindowApi = LookUpLayeredWindowApi();
  s.Managers = Make<TdxBarManagerList>();
  dxBarRefreshScreenDepth();
  dxBarCreateCheckerBrush();
  s.LiveControls = std::make_unique<std::vector<TObject*>>();
  // A cursor missing from the resources leaves its id to the default cursor.
  if (Screen)
    for (const TCursorEntry& entry : kCursors)
      Screen->SetCursors(entry.Id, cxLoadCursorFromResourceData(GetModuleHandleW(nullptr), entry.Name));
  if (!IsLibrary()) {
    s.PreviousInitProc = InitProc;
    InitProc = &BarInitProc;
  }
}

void dxBarFinalize() {
  TModuleState& s = State();
  if (s.RunCount == 0 || --s.RunCount > 0) return;
  s.Finalizing = true;
  if (InitProc == &BarInitProc) InitProc = s.PreviousInitProc;
  s.PreviousInitProc = nullptr;
  s.LiveControls.reset();
  FreeAndNil(s.ItemClasses);
  FreeDesignController();
  dxBarDeleteCheckerBrush();
  FreeAndNil(s.Managers);
  dxBarClearHintText();
  if (Screen)
    for (const TCursorEntry& entry : kCursors) Screen->SetCursors(entry.Id, nullptr);
  s.LayeredWindowApi = {};
  for (TClass cls : StreamedClasses()) UnRegisterClass(cls);
}

// ---------------------------------------------------------------------------
// Process-wide objects made on first use or by other layers
// ---------------------------------------------------------------------------

void dxBarTrackLiveControl(TObject* AControl) {
  std::vector<TObject*>* list = State().LiveControls.get();
  if (list && AControl && std::find(list->begin(), list->end(), AControl) == list->end()) list->push_back(AControl);
}

void dxBarUntrackLiveControl(TObject* AControl) {
  if (std::vector<TObject*>* list = State().LiveControls.get()) std::erase(*list, AControl);
}

bool dxBarIsLiveControl(TObject* AControl) {
  const std::vector<TObject*>* list = State().LiveControls.get();
  return list && AControl && std::find(list->begin(), list->end(), AControl) != list->end();
}

std::vector<TObject*> dxBarLiveControls() {
  const std::vector<TObject*>* list = State().LiveControls.get();
  return list ? *list : std::vector<TObject*>();
}

IdxBarNavigation* dxBarNavigationControllerInstance() { return dxBarNavigation(); }

TdxBarDesignControllerMaker& dxBarDesignControllerMaker() {
  static TdxBarDesignControllerMaker maker = nullptr;
  return maker;
}

IdxBarDesignController* dxBarSharedDesignController() {
  TModuleState& s = State();
  if (!s.DesignController && !s.Finalizing && dxBarDesignControllerMaker()) {
    TObjectPtr<TObject> made(dxBarDesignControllerMaker()());
    if (made && !dynamic_cast<IdxBarDesignController*>(made.get()))
      throw EInvalidOperation(L"The design controller maker made no design controller");
    s.DesignController = made.release();
    if (s.DesignController) dxBarDesignControllerSlot() = dynamic_cast<IdxBarDesignController*>(s.DesignController);
  }
  return dynamic_cast<IdxBarDesignController*>(s.DesignController);
}

// ---------------------------------------------------------------------------
// Objects, interfaces and links
// ---------------------------------------------------------------------------

IdxBarAccessibilityHelper* dxBarAccessibilityIntfOf(TObject* AObject) {
  return dynamic_cast<IdxBarAccessibilityHelper*>(AObject);
}

void dxBarOwnerHelperDestroyed(IdxBarAccessibilityHelper*& AHelper) {
  if (IdxBarAccessibilityHelper* helper = std::exchange(AHelper, nullptr)) helper->OwnerObjectDestroyed();
}

bool dxBarIsSelectableObject(TObject* AObject, IdxBarSelectableItem** AIntf) {
  IdxBarSelectableItem* item = dynamic_cast<IdxBarSelectableItem*>(AObject);
  if (AIntf) *AIntf = item;
  return item != nullptr;
}

bool dxBarIsSelectableOnly(TObject* AObject) { return dxBarIsSelectableObject(AObject); }

IdxBarSelectableItem* dxBarSelectableIntfOf(TObject* AObject) { return dynamic_cast<IdxBarSelectableItem*>(AObject); }

TPersistent* dxBarSelectableInstance(IdxBarSelectableItem* AItem) { return AItem ? AItem->SelectableInstance() : nullptr; }

void dxBarKeepSelectableOnly(TdxObjectList* AList) {
  if (!AList) return;
  for (int i = AList->Count() - 1; i >= 0; --i)
    if (!dxBarIsSelectableOnly(AList->Get(i))) AList->Delete(i);
}

TObject* dxBarObjectOfLink(TcxObjectLink* ALink) { return ALink ? ALink->Ref : nullptr; }

void dxBarReleaseObjectLink(TcxObjectLink*& ALink) { cxReleaseObjectLink(std::exchange(ALink, nullptr)); }

void dxBarEnumNamesToArray(const TTypeInfo& AType, std::vector<String>& ANames) { ANames = AType.Names; }

void dxBarSetElementNamesToArray(const TTypeInfo& ASetType, std::vector<String>& ANames) {
  if (ASetType.CompType)
    dxBarEnumNamesToArray(*ASetType.CompType, ANames);
  else
    ANames.clear();
}

// ---------------------------------------------------------------------------
// Managers, forms and windows
// ---------------------------------------------------------------------------

namespace {

bool IsChildWindow(HWND AWnd) { return (GetWindowLongPtrW(AWnd, GWL_STYLE) & WS_CHILD) != 0; }

// The window's parent while it is a child window, else nil.
HWND ChildWindowParent(HWND AWnd) { return AWnd && IsChildWindow(AWnd) ? GetParent(AWnd) : nullptr; }

TWinControl* ManagerOwnerControl(TdxBarManager* AManager) {
  return AManager ? dynamic_cast<TWinControl*>(AManager->Owner()) : nullptr;
}

}  // namespace

TdxBarManager* dxBarManagerOfWindow(HWND AWnd) { return AWnd ? dxBarManagerFromObject(FindControl(AWnd)) : nullptr; }

TWinControl* dxBarWinControlOwner(TComponent* AComponent) {
  for (TComponent* c = AComponent; c; c = c->Owner())
    if (auto* control = dynamic_cast<TWinControl*>(c)) return control;
  return nullptr;
}

TdxBarManager* dxBarManagerForComponent(TComponent* AComponent) {
  TWinControl* control = dxBarWinControlOwner(AComponent);
  if (!control || !control->HandleAllocated()) return nullptr;
  while (control) {
    if (TdxBarManager* manager = dxBarManagerFromObject(control)) return manager;
    control = control->HandleAllocated() ? dxBarChildWindowControlParent(control->Handle()) : nullptr;
  }
  return nullptr;
}

TWinControl* dxBarChildWindowControlParent(HWND AWnd) {
  for (HWND wnd = ChildWindowParent(AWnd); wnd; wnd = ChildWindowParent(wnd))
    if (TWinControl* control = FindControl(wnd)) return control;
  return nullptr;
}

TWinControl* dxBarFindPlatformControl(HWND AWnd) {
  for (HWND wnd = AWnd; wnd; wnd = GetParent(wnd))
    if (TWinControl* control = FindControl(wnd)) return control;
  return nullptr;
}

TCustomForm* dxBarControlFormByKind(TControl* AControl, int AKind) {
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (!control || !control->HandleAllocated()) return nullptr;
  TCustomForm* result = nullptr;
  for (HWND wnd = control->Handle(); wnd; wnd = GetParent(wnd)) {
    auto* form = dynamic_cast<TCustomForm*>(FindControl(wnd));
    if (form) result = form;
    if (!IsChildWindow(wnd)) break;
    if (form && (AKind == 2 || (AKind == 1 && cxIsMDIChildForm(form)))) break;
  }
  return result;
}

TCustomForm* dxBarComponentParentForm(TComponent* AComponent) {
  TWinControl* control = dxBarWinControlOwner(AComponent);
  return control ? dxBarControlFormByKind(control, 2) : nullptr;
}

TCustomForm* dxBarManagerFormByKind(TdxBarManager* AManager, int AKind) {
  return AManager ? dxBarControlFormByKind(dynamic_cast<TControl*>(AManager->Owner()), AKind) : nullptr;
}

bool dxBarIsManagerOwnerWindow(TdxBarManager* AManager, HWND AWnd) {
  TWinControl* owner = ManagerOwnerControl(AManager);
  if (!AWnd || !owner || !owner->HandleAllocated()) return false;
  for (HWND wnd = owner->Handle(); wnd; wnd = ChildWindowParent(wnd))
    if (wnd == AWnd) return true;
  return false;
}

TWinControl* dxBarWindowedControlOf(TControl* AControl) {
  if (!AControl) return nullptr;
  if (auto* control = dynamic_cast<TWinControl*>(AControl)) return control;
  return AControl->Parent();
}

bool dxBarControlContainsWindow(TWinControl* AControl, HWND AWnd) {
  if (!AWnd || !AControl || !AControl->HandleAllocated()) return false;
  return AControl->Handle() == AWnd || IsChild(AControl->Handle(), AWnd);
}

bool dxBarControlContainsControl(TWinControl* AContainer, TControl* AControl) {
  TWinControl* windowed = dxBarWindowedControlOf(AControl);
  if (!AContainer || !windowed) return false;
  if (AContainer->HandleAllocated() && windowed->HandleAllocated())
    return dxBarControlContainsWindow(AContainer, windowed->Handle());
  for (TWinControl* c = windowed; c; c = c->Parent())
    if (c == AContainer) return true;
  return false;
}

bool dxBarManagerOwnerContains(TdxBarManager* AManager, TControl* AControl) {
  return dxBarControlContainsControl(ManagerOwnerControl(AManager), AControl);
}

TCustomForm* dxBarActiveFormOrMDIChild() {
  const HWND active = GetActiveWindow();
  auto* form = active ? dynamic_cast<TCustomForm*>(FindControl(active)) : nullptr;
  if (!form || !IsWindowEnabled(active)) return nullptr;
  if (form->FormStyle() == fsMDIForm)
    if (TCustomForm* child = form->ActiveMDIChild()) return child;
  return form;
}

void dxBarCancelActiveFormMode() {
  const HWND active = GetActiveWindow();
  if (auto* form = active ? dynamic_cast<TCustomForm*>(FindControl(active)) : nullptr) form->SendCancelMode(nullptr);
}

void dxBarActivateTopWindow(HWND AWnd) {
  HWND wnd = AWnd;
  while (wnd && IsChildWindow(wnd)) wnd = GetParent(wnd);
  if (wnd) SetActiveWindow(wnd);
}

void dxBarSetWindowAlpha(HWND AWnd, Byte AAlpha) {
  const auto setAttributes = dxBarLayeredWindowApi().SetLayeredWindowAttributes;
  if (!setAttributes || !AWnd) return;
  const LONG_PTR exStyle = GetWindowLongPtrW(AWnd, GWL_EXSTYLE);
  if (AAlpha < 255) {
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrW(AWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    setAttributes(AWnd, 0, AAlpha, LWA_ALPHA);
  } else if (exStyle & WS_EX_LAYERED) {
    SetWindowLongPtrW(AWnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    RedrawWindow(AWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

bool dxBarWindowChainFocused(HWND AWnd) {
  const HWND focus = GetFocus();
  if (!focus) return false;
  for (HWND wnd = AWnd; wnd; wnd = ChildWindowParent(wnd))
    if (wnd == focus) return true;
  return false;
}

bool dxBarControlWindowVisible(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && IsWindowVisible(AControl->Handle());
}

bool dxBarIsWindowOwnedBy(HWND AWnd, HWND AOwner) {
  if (!AWnd || !AOwner) return false;
  for (HWND owner = GetWindow(AWnd, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER))
    if (owner == AOwner) return true;
  return false;
}

bool dxBarIsForeignProcessWindow(HWND AWnd) {
  if (!AWnd) return true;
  DWORD process = 0;
  GetWindowThreadProcessId(AWnd, &process);
  return process != GetCurrentProcessId();
}

void dxBarForgetWindowHandle(HWND& AWnd, bool ADestroy) {
  if (!AWnd) return;
  if (ADestroy) DestroyWindow(AWnd);
  AWnd = nullptr;
}

TRect dxBarWorkAreaAt(const TPoint& APoint) {
  TRect area;
  cxWorkAreaFromPoint(APoint, area);
  return area;
}

void dxBarEnsureMinWidth(int& AValue, int AMinimum) { AValue = std::max(AValue, AMinimum); }

int dxBarScaleToScreenDPI(int AValue, int AReference) {
  const int ppi = Screen ? Screen->PixelsPerInch() : 96;
  // Halves go to the even neighbour: the rounding mode of nearbyint.
  return AReference ? static_cast<int>(std::nearbyint(static_cast<double>(AValue) * ppi / AReference)) : AValue;
}

// ---------------------------------------------------------------------------
// Key tips, layout storage, mouse buttons, fonts
// ---------------------------------------------------------------------------

IdxBarAccessibilityHelper* dxBarFindKeyTipScope(IdxBarAccessibilityHelper* AHelper) {
  IdxBarAccessibilityHelper* scope = AHelper ? AHelper->KeyTipScopeParent() : nullptr;
  while (scope && !scope->IsKeyTipScope()) {
    IdxBarAccessibilityHelper* parent = scope->KeyTipScopeParent();
    if (!parent) break;
    scope = parent;
  }
  return scope;
}

void dxBarKeyTipsStepBack(IdxBarAccessibilityHelper* AContainer) {
  if (IdxBarAccessibilityHelper* bar = AContainer ? AContainer->BarHelper() : nullptr) bar->LeaveKeyTipScope();
}

TdxBarRootAccessibleHook& dxBarRootAccessibleHook() {
  static TdxBarRootAccessibleHook hook = nullptr;
  return hook;
}

IdxBarAccessibilityHelper* dxBarRootAccessibleForWindow(HWND AWnd) {
  if (TdxBarRootAccessibleHook hook = dxBarRootAccessibleHook())
    if (IdxBarAccessibilityHelper* root = hook(AWnd)) return root;
  TdxBarManager* manager = dxBarManagerOfWindow(AWnd);
  TdxBar* mainMenu = manager ? manager->MainMenuBar() : nullptr;
  IdxBarControl* control = mainMenu ? mainMenu->Control() : nullptr;
  auto* owner = control ? dynamic_cast<IdxBarAccessibilityHelperOwner*>(control->BarControlObject()) : nullptr;
  return owner ? owner->AccessibilityHelper() : nullptr;
}

String dxBarSectionDelimiter(TdxBarStoringKind AKind) { return AKind == skReg ? L"\\" : L"."; }

bool dxBarMouseButtonDown(int AButton, int ASwappedButton) {
  const int button = GetSystemMetrics(SM_SWAPBUTTON) ? ASwappedButton : AButton;
  return (GetAsyncKeyState(button) & 0x8000) != 0;
}

bool dxBarPrimaryButtonDown() { return dxBarMouseButtonDown(VK_LBUTTON, VK_RBUTTON); }

bool dxBarSecondaryButtonDown() { return dxBarMouseButtonDown(VK_RBUTTON, VK_LBUTTON); }

void dxBarCopyFont(TFont* AFont, TFont* ATarget) {
  if (!AFont || !ATarget) return;
  LOGFONTW font{};
  if (!GetObjectW(AFont->Handle(), sizeof(font), &font)) return;
  HFONT handle = GdiCreateFont(font);
  if (!handle) throw EOutOfResources(L"Out of system resources");
  // The font takes the handle over and counts it as its own.
  GdiDisown(handle);
  ATarget->SetHandle(handle);
}
