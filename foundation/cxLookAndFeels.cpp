// Look-and-feel objects, the controller component of the root look-and-feel
// and the system-colour notification.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeels.h"

#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/dxCore.h"
#include "foundation/dxOffice11.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/gui/Messaging.h"

#include <algorithm>
#include <vector>

// The concrete painter classes are compiled into the library as their
// modules appear; a style whose painter is missing draws with the neutral
// root painter until a slot is set.
#if __has_include("foundation/cxLookAndFeelPaintersStandard.h") && \
    __has_include("foundation/cxLookAndFeelPaintersStandard.cpp")
#include "foundation/cxLookAndFeelPaintersStandard.h"
#define CX_HAS_STANDARD_PAINTER 1
#endif
#if __has_include("foundation/cxLookAndFeelPaintersFlat.h") && \
    __has_include("foundation/cxLookAndFeelPaintersFlat.cpp")
#include "foundation/cxLookAndFeelPaintersFlat.h"
#define CX_HAS_FLAT_PAINTERS 1
#endif
#if __has_include("foundation/cxLookAndFeelPaintersOffice11.h") && \
    __has_include("foundation/cxLookAndFeelPaintersOffice11.cpp")
#include "foundation/cxLookAndFeelPaintersOffice11.h"
#define CX_HAS_OFFICE11_PAINTER 1
#endif
#if defined(CX_HAS_STANDARD_PAINTER) && __has_include("foundation/cxLookAndFeelPaintersNative.h") && \
    __has_include("foundation/cxLookAndFeelPaintersNative.cpp")
#include "foundation/cxLookAndFeelPaintersNative.h"
#define CX_HAS_NATIVE_PAINTER 1
#endif

bool cxSkinsEnabled = true;

// ---------------------------------------------------------------------------
// Painter classes by style
// ---------------------------------------------------------------------------

namespace {

TcxCustomLookAndFeelPainterClass gStylePainters[5] = {};

TcxCustomLookAndFeelPainterClass BuiltInStylePainter(TcxLookAndFeelStyle AStyle) {
  switch (AStyle) {
#ifdef CX_HAS_FLAT_PAINTERS
    case lfsFlat:
      return TcxFlatLookAndFeelPainter::Instance();
    case lfsUltraFlat:
      return TcxUltraFlatLookAndFeelPainter::Instance();
#endif
#ifdef CX_HAS_STANDARD_PAINTER
    case lfsStandard:
      return TcxStandardLookAndFeelPainter::Instance();
#endif
#ifdef CX_HAS_NATIVE_PAINTER
    case lfsNative:
      return TcxWinXPLookAndFeelPainter::Instance();
#endif
#ifdef CX_HAS_OFFICE11_PAINTER
    case lfsOffice11:
      return TcxOffice11LookAndFeelPainter::Instance();
#endif
    default:
      return TcxCustomLookAndFeelPainter::Instance();
  }
}

}  // namespace

TcxCustomLookAndFeelPainterClass cxLookAndFeelStylePainter(TcxLookAndFeelStyle AStyle) {
  const int index = static_cast<int>(AStyle);
  if (index < 0 || index > 4) return TcxCustomLookAndFeelPainter::Instance();
  return gStylePainters[index] ? gStylePainters[index] : BuiltInStylePainter(AStyle);
}

void cxSetLookAndFeelStylePainter(TcxLookAndFeelStyle AStyle,
                                  TcxCustomLookAndFeelPainterClass APainter) {
  const int index = static_cast<int>(AStyle);
  if (index >= 0 && index <= 4) gStylePainters[index] = APainter;
}

TcxLookAndFeelStyle cxLookAndFeelStyleFromKind(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat:
      return lfsFlat;
    case lfStandard:
      return lfsStandard;
    case lfOffice11:
      return lfsOffice11;
    default:
      return lfsUltraFlat;
  }
}

// ---------------------------------------------------------------------------
// Module state
// ---------------------------------------------------------------------------

namespace {

int gModuleUsers = 0;
TcxLookAndFeel* gRootLookAndFeel = nullptr;
int gControllerCount = 0;

TcxSystemPaletteChangedListener* gPaletteListener = nullptr;
int gPaletteListenerHolders = 0;

bool IsController(TObject* AListener) {
  auto* follower = dynamic_cast<IcxLookAndFeelFollower*>(AListener);
  return follower && dynamic_cast<TcxLookAndFeelController*>(follower->FollowerObject());
}

}  // namespace

TcxLookAndFeel* cxGetGlobalLookAndFeel() { return gRootLookAndFeel; }

// ---------------------------------------------------------------------------
// TcxLookAndFeel
// ---------------------------------------------------------------------------

namespace {
bool StoredWhen(TObject* o, TcxLookAndFeelValue v) {
  return static_cast<TcxLookAndFeel*>(o)->AssignedValues().Contains(v);
}
}  // namespace

BEGIN_CLASS(TcxLookAndFeel, TcxInterfacedPersistent, (ConstructWith<TcxLookAndFeel, TPersistent>))
  b.Prop(L"Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind).Stored =
      [](TObject* o) { return StoredWhen(o, lfvKind); };
  b.Prop(L"NativeStyle", &TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle).Stored =
      [](TObject* o) { return StoredWhen(o, lfvNativeStyle); };
  b.Prop(L"SkinName", [](TcxLookAndFeel* o) { return o->SkinName(); }, &TcxLookAndFeel::SetSkinName)
      .Stored = [](TObject* o) { return StoredWhen(o, lfvSkinName); };
END_CLASS

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner), FChangeListenerList(Make<TcxObjectList>(false)) {
  FData.Kind = lfUltraFlat;
  FData.NativeStyle = false;
  FCurrentState = FData;
  FSystemPaletteChangedNotifier = Make<TcxSystemPaletteChangedNotifier>(false);
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged =
      TcxSystemPaletteChangedEvent::Bind<&TcxLookAndFeel::HandleSystemPaletteChange>(this);
  if (gRootLookAndFeel) {
    gRootLookAndFeel->AddChangeListener(this);
    UpdateCurrentState();
  }
  FCurrentState.Painter = GetAvailablePainter();
}

TcxLookAndFeel::~TcxLookAndFeel() {
  if (TcxExtendedStylePainters* registry = cxGetStylePainterRegistry())
    registry->RemoveListener(this);
  FreeAndNil(FSystemPaletteChangedNotifier);

  // The followers see the list whole: RemoveChangeListener leaves it alone
  // while FIsDestruction is set.
  FIsDestruction = true;
  for (int i = 0; i < FChangeListenerList->Count(); ++i)
    if (auto* follower = dynamic_cast<IcxLookAndFeelFollower*>(FChangeListenerList->Items(i)))
      follower->HandleMasterDestroying(this);
  FIsDestruction = false;

  FreeAndNil(FChangeListenerList);
  if (TcxLookAndFeel* master = MasterLookAndFeel()) master->RemoveChangeListener(this);
  if (FIsRootLookAndFeel) {
    if (gRootLookAndFeel == this) gRootLookAndFeel = nullptr;
    FIsRootLookAndFeel = false;
  }
}

// The explicit master, else the root (nil for the root itself).
TcxLookAndFeel* TcxLookAndFeel::CurrentMaster() const {
  if (FIsRootLookAndFeel) return nullptr;
  return FMasterLookAndFeel ? FMasterLookAndFeel : gRootLookAndFeel;
}

TcxLookAndFeel* TcxLookAndFeel::MasterLookAndFeel() const { return CurrentMaster(); }

TcxLookAndFeelKind TcxLookAndFeel::GetEffectiveKind() const {
  if (FAssignedValues.Contains(lfvKind)) return FData.Kind;
  if (TcxLookAndFeel* master = CurrentMaster()) return master->FCurrentState.Kind;
  return lfUltraFlat;
}

bool TcxLookAndFeel::GetEffectiveNativeStyle() const {
  if (FAssignedValues.Contains(lfvNativeStyle)) return FData.NativeStyle;
  if (TcxLookAndFeel* master = CurrentMaster()) return master->FCurrentState.NativeStyle;
  return false;
}

TdxSkinName TcxLookAndFeel::GetEffectiveSkinName() const {
  if (FAssignedValues.Contains(lfvSkinName)) return FData.SkinName;
  if (TcxLookAndFeel* master = CurrentMaster()) return master->FCurrentState.SkinName;
  return TdxSkinName();
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetEffectiveSkinPainter() {
  TcxCustomLookAndFeelPainterClass painter = nullptr;
  if (FAssignedValues.Contains(lfvSkinName))
    FindSkinPainter(FData.SkinName, painter);
  else if (TcxLookAndFeel* master = CurrentMaster())
    master->FindSkinPainter(master->FCurrentState.SkinName, painter);
  return painter;
}

bool TcxLookAndFeel::FindSkinPainter(const String& ASkinName,
                                     TcxCustomLookAndFeelPainterClass& APainter) {
  APainter = nullptr;
  TcxExtendedStylePainters* registry = cxGetStylePainterRegistry();
  TcxCustomLookAndFeelPainterClass found = nullptr;
  const bool result = !ASkinName.empty() && registry && registry->GetPainterByName(ASkinName, found);
  if (result && cxSkinsEnabled) APainter = found;
  return result;
}

void TcxLookAndFeel::UpdateCurrentState() {
  FCurrentState.Kind = GetEffectiveKind();
  FCurrentState.NativeStyle = GetEffectiveNativeStyle();
  FCurrentState.SkinName = GetEffectiveSkinName();
  FCurrentState.UseSkins = cxSkinsEnabled;
  FSkinPainter = FCurrentState.NativeStyle ? nullptr : GetEffectiveSkinPainter();
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(
    TdxThemedObjectType ANeededThemedObjectType) {
  if (GetEffectiveNativeStyle() && dxIsThemeUsableFor(ANeededThemedObjectType))
    return cxLookAndFeelStylePainter(lfsNative);
  if (FSkinPainter) return FSkinPainter;
  return cxLookAndFeelStylePainter(cxLookAndFeelStyleFromKind(GetEffectiveKind()));
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(
    const TdxThemedObjectTypes& ANeededThemedObjectTypes) {
  if (GetEffectiveNativeStyle() && dxAreThemesUsable(ANeededThemedObjectTypes))
    return cxLookAndFeelStylePainter(lfsNative);
  if (FSkinPainter) return FSkinPainter;
  return cxLookAndFeelStylePainter(cxLookAndFeelStyleFromKind(GetEffectiveKind()));
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::Painter() const {
  return FPainter ? FPainter : FCurrentState.Painter;
}

TcxLookAndFeelStyle TcxLookAndFeel::ActiveStyle() const {
  if (GetEffectiveNativeStyle() && dxAreThemesUsable()) return lfsNative;
  return cxLookAndFeelStyleFromKind(GetEffectiveKind());
}

void TcxLookAndFeel::RaiseChange(TcxLookAndFeelValues AChangedValues) {
  if (AChangedValues.Empty() && FCurrentState.UseSkins == cxSkinsEnabled) return;
  if (FIsDestruction) return;
  UpdateCurrentState();
  FCurrentState.Painter = GetAvailablePainter();
  if (TcxExtendedStylePainters* registry = cxGetStylePainterRegistry()) {
    if (FSkinPainter)
      registry->AddListener(this);
    else
      registry->RemoveListener(this);
  }
  // Each follower present when the change started hears of it once: one
  // that is freed or leaves meanwhile is skipped, one that joins meanwhile
  // has read the new state already.
  const int count = FChangeListenerList->Count();
  if (count > 0) {
    std::vector<TObject*> followers;
    followers.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) followers.push_back(FChangeListenerList->Items(i));
    for (TObject* object : followers) {
      if (!FChangeListenerList || FChangeListenerList->IndexOf(object) < 0) continue;
      if (auto* follower = dynamic_cast<IcxLookAndFeelFollower*>(object))
        follower->HandleMasterChange(this, AChangedValues);
    }
  }
  if (OnChanged.Assigned()) OnChanged(this, AChangedValues);
}

void TcxLookAndFeel::RememberPrevState() {
  FPrevState.Kind = FCurrentState.Kind;
  FPrevState.NativeStyle = FCurrentState.NativeStyle;
  FPrevState.SkinName = FCurrentState.SkinName;
}

void TcxLookAndFeel::RaiseChangesSincePrevState() {
  TcxLookAndFeelValues changed;
  if (GetEffectiveKind() != FPrevState.Kind) changed += lfvKind;
  if (GetEffectiveNativeStyle() != FPrevState.NativeStyle) changed += lfvNativeStyle;
  if (GetEffectiveSkinName() != FPrevState.SkinName) changed += lfvSkinName;
  RaiseChange(changed);
}

void TcxLookAndFeel::HandleMasterChange(TcxLookAndFeel*, TcxLookAndFeelValues AChangedValues) {
  RaiseChange(AChangedValues - FAssignedValues);
}

void TcxLookAndFeel::HandleMasterDestroying(TcxLookAndFeel*) { SetMasterLookAndFeel(nullptr); }

void TcxLookAndFeel::HandlePainterRegistryChange(TcxCustomLookAndFeelPainterClass) {
  RaiseChange(cxAllLookAndFeelValues);
}

void TcxLookAndFeel::HandleSystemPaletteChange() { RaiseChange(TcxLookAndFeelValues{lfvNativeStyle}); }

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  const TcxLookAndFeelKind previous = FCurrentState.Kind;
  FAssignedValues += lfvKind;
  FData.Kind = Value;
  if (GetEffectiveKind() != previous) RaiseChange(TcxLookAndFeelValues{lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  const bool previous = FCurrentState.NativeStyle;
  FAssignedValues += lfvNativeStyle;
  FData.NativeStyle = Value;
  if (GetEffectiveNativeStyle() != previous) RaiseChange(TcxLookAndFeelValues{lfvNativeStyle});
}

void TcxLookAndFeel::SetSkinName(const TdxSkinName& Value) {
  const TdxSkinName previous = FCurrentState.SkinName;
  FAssignedValues += lfvSkinName;
  FData.SkinName = Value;
  if (GetEffectiveSkinName() != previous) RaiseChange(TcxLookAndFeelValues{lfvSkinName});
}

void TcxLookAndFeel::SetPainter(TcxCustomLookAndFeelPainterClass Value) {
  if (Value == Painter()) return;
  FPainter = Value;
  RaiseChange(TcxLookAndFeelValues{lfvKind, lfvNativeStyle});
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  if (Value == FAssignedValues) return;
  RememberPrevState();
  FAssignedValues = Value;
  RaiseChangesSincePrevState();
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value) {
  if (FIsRootLookAndFeel || Value == this || Value == MasterLookAndFeel()) return;
  // A master that follows this object, directly or not, would make the
  // effective values chase each other forever.
  for (TcxLookAndFeel* m = Value; m; m = m->CurrentMaster())
    if (m == this) throw EdxException(L"A look-and-feel cannot follow itself");
  RememberPrevState();
  if (TcxLookAndFeel* current = CurrentMaster()) current->RemoveChangeListener(this);
  FMasterLookAndFeel = Value;
  if (TcxLookAndFeel* master = CurrentMaster()) master->AddChangeListener(this);
  RaiseChangesSincePrevState();
}

void TcxLookAndFeel::SetStyle(TcxLookAndFeelStyle Value) {
  SetNativeStyle(Value == lfsNative);
  if (!GetEffectiveNativeStyle()) SetKind(cxLookAndFeelKindFromStyle(Value));
}

void TcxLookAndFeel::Reset() { SetAssignedValues(TcxLookAndFeelValues()); }

void TcxLookAndFeel::Refresh() { RaiseChange(cxAllLookAndFeelValues); }

void TcxLookAndFeel::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxLookAndFeel*>(Source);
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  RememberPrevState();
  FData.Kind = source->FData.Kind;
  FData.NativeStyle = source->FData.NativeStyle;
  FData.SkinName = source->FData.SkinName;
  FAssignedValues = source->FAssignedValues;
  TcxLookAndFeel* master = source->MasterLookAndFeel();
  // The root's values are copied, but the root never gets a master.
  if (!FIsRootLookAndFeel && master != this) {
    if (TcxLookAndFeel* current = CurrentMaster()) current->RemoveChangeListener(this);
    FMasterLookAndFeel = master == gRootLookAndFeel ? nullptr : master;
    if (TcxLookAndFeel* now = CurrentMaster()) now->AddChangeListener(this);
  }
  RaiseChangesSincePrevState();
}

void TcxLookAndFeel::AddChangeListener(TObject* AListener) {
  if (!AListener || !FChangeListenerList || !dynamic_cast<IcxLookAndFeelFollower*>(AListener)) return;
  const bool controller = IsController(AListener);
  if (controller && !FIsRootLookAndFeel) return;
  if (FChangeListenerList->IndexOf(AListener) >= 0) return;
  FChangeListenerList->Add(AListener);
  if (controller) ++gControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(TObject* AListener) {
  if (!AListener || !FChangeListenerList) return;
  const int index = FChangeListenerList->IndexOf(AListener);
  if (index < 0) return;
  if (!FIsDestruction) FChangeListenerList->Delete(index);
  if (FIsRootLookAndFeel && IsController(AListener)) {
    if (--gControllerCount == 0) Reset();
  }
}

bool TcxLookAndFeel::IsSkinNameStoredAsEmpty() const {
  return FAssignedValues.Contains(lfvSkinName) && SkinName().empty();
}

void TcxLookAndFeel::DefineProperties(TFiler* Filer) {
  TcxInterfacedPersistent::DefineProperties(Filer);
  // Empty strings are not streamed as properties; this keeps an assigned
  // empty skin name assigned across saving and loading.
  Filer->DefineProperty(
      L"SkinName", [this](TReader* reader) { SetSkinName(reader->ReadString()); },
      [this](TWriter* writer) { writer->WriteString(SkinName()); }, IsSkinNameStoredAsEmpty());
}

// ---------------------------------------------------------------------------
// TcxLookAndFeelController
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxLookAndFeelController, TComponent, (ConstructWith<TcxLookAndFeelController, TComponent>))
  DefaultValue(b.Prop(L"Kind", &TcxLookAndFeelController::Kind, &TcxLookAndFeelController::SetKind),
               lfUltraFlat);
  DefaultValue(b.Prop(L"NativeStyle", &TcxLookAndFeelController::NativeStyle,
                      &TcxLookAndFeelController::SetNativeStyle),
               0);
  b.Prop(L"SkinName", &TcxLookAndFeelController::SkinName, &TcxLookAndFeelController::SetSkinName);
END_CLASS

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (gRootLookAndFeel) gRootLookAndFeel->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (gRootLookAndFeel) gRootLookAndFeel->RemoveChangeListener(this);
}

void TcxLookAndFeelController::Reset() {
  SetKind(lfUltraFlat);
  SetNativeStyle(false);
  SetSkinName(TdxSkinName());
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  return gRootLookAndFeel ? gRootLookAndFeel->Kind() : lfUltraFlat;
}
void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (gRootLookAndFeel) gRootLookAndFeel->SetKind(Value);
}
bool TcxLookAndFeelController::NativeStyle() const {
  return gRootLookAndFeel && gRootLookAndFeel->NativeStyle();
}
void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (gRootLookAndFeel) gRootLookAndFeel->SetNativeStyle(Value);
}
TdxSkinName TcxLookAndFeelController::SkinName() const {
  return gRootLookAndFeel ? gRootLookAndFeel->SkinName() : TdxSkinName();
}
void TcxLookAndFeelController::SetSkinName(const TdxSkinName& Value) {
  if (gRootLookAndFeel) gRootLookAndFeel->SetSkinName(Value);
}

void TcxLookAndFeelController::HandleMasterChange(TcxLookAndFeel*, TcxLookAndFeelValues) {
  DesignerMasterChanged();
}
void TcxLookAndFeelController::HandleMasterDestroying(TcxLookAndFeel*) { NotifyOwnerFormDesigner(); }

// Both tell a form designer, which exists only in the design environment.
void TcxLookAndFeelController::DesignerMasterChanged() {}
void TcxLookAndFeelController::NotifyOwnerFormDesigner() {}

// ---------------------------------------------------------------------------
// System colours
// ---------------------------------------------------------------------------

TcxSystemPaletteChangedListener* cxSystemPaletteChangedListener() { return gPaletteListener; }

IMPLEMENT_CLASS(TcxSystemPaletteChangedNotifier, TObject, nullptr)

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary)
    : FIsPrimary(AIsPrimary) {
  if (gPaletteListenerHolders == 0) gPaletteListener = Make<TcxSystemPaletteChangedListener>();
  ++gPaletteListenerHolders;
  gPaletteListener->AddNotifier(this, FIsPrimary);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (!gPaletteListener) return;
  gPaletteListener->RemoveNotifier(this, FIsPrimary);
  if (--gPaletteListenerHolders == 0) {
    TcxSystemPaletteChangedListener* listener = gPaletteListener;
    gPaletteListener = nullptr;
    TObject::Free(listener);
  }
}

void TcxSystemPaletteChangedNotifier::FirePaletteChanged() {
  if (OnSystemPaletteChanged.Assigned()) OnSystemPaletteChanged();
}

IMPLEMENT_CLASS(TcxSystemPaletteChangedListener, TObject, nullptr)

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener()
    : FNotifierList(nullptr), FPrimaryNotifierList(nullptr), FWindowHandle(nullptr) {
  dxAddOffice11ColorsUser();
  try {
    FWindowHandle = AllocateMessageHWnd(TWndMethod::Bind<&TcxSystemPaletteChangedListener::WndProc>(this), true);
  } catch (...) {
    dxRemoveOffice11ColorsUser();
    throw;
  }
  FNotifierList = Make<TList>();
  FPrimaryNotifierList = Make<TList>();
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  FreeAndNil(FNotifierList);
  FreeAndNil(FPrimaryNotifierList);
  DeallocateHWnd(FWindowHandle);
  FWindowHandle = nullptr;
  dxRemoveOffice11ColorsUser();
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier,
                                                  bool AIsPrimary) {
  (AIsPrimary ? FPrimaryNotifierList : FNotifierList)->Add(ANotifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier,
                                                     bool AIsPrimary) {
  (AIsPrimary ? FPrimaryNotifierList : FNotifierList)->Remove(ANotifier);
}

void TcxSystemPaletteChangedListener::DoChange() {
  dxReloadOffice11Colors();
  // Last to first; a notifier freed by a handler leaves its list, so the
  // index is checked against the list as it is now.
  for (TList* list : {FPrimaryNotifierList, FNotifierList})
    for (int i = list->Count() - 1; i >= 0; --i) {
      if (i >= list->Count()) continue;
      static_cast<TcxSystemPaletteChangedNotifier*>(list->Get(i))->FirePaletteChanged();
    }
}

void TcxSystemPaletteChangedListener::WndProc(TMessage& Message) {
  if (Message.Msg == WM_DISPLAYCHANGE) dxRefreshScreenColorDepth();
  if (Message.Msg == WM_SYSCOLORCHANGE) {
    try {
      DoChange();
    } catch (...) {
      ApplicationHandleException(this);
    }
  }
  Message.Result = DefWindowProcW(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void cxLookAndFeelsInitialize() {
  if (gModuleUsers++ > 0) return;
  auto* root = Make<TcxLookAndFeel>(nullptr);
  root->FIsRootLookAndFeel = true;
  gRootLookAndFeel = root;
}

void cxLookAndFeelsFinalize() {
  if (gModuleUsers == 0 || --gModuleUsers > 0) return;
  // The followers are told first and then fall back to the defaults.
  TcxLookAndFeel* root = gRootLookAndFeel;
  TObject::Free(root);
  gRootLookAndFeel = nullptr;
  gControllerCount = 0;
}
