// Look-and-feel: the appearance settings (kind, native style, skin name) of
// one control, manager or style. Each setting is assigned on the object or
// inherited from its master, and an object without a master follows the root
// look-and-feel of the process. From the effective settings the object
// chooses its painter and tells its followers when anything may have changed.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxClassesComponents.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/dxThemeManager.h"
#include "platform/gui/Messages.h"

class TFiler;
class TcxLookAndFeel;
class TcxSystemPaletteChangedNotifier;

DECLARE_ENUM(TcxLookAndFeelValue, lfvKind, lfvNativeStyle, lfvSkinName)
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue, 3>;
using TdxSkinName = String;
using TcxLookAndFeelChangedEvent =
    TClosure<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;
using TcxSystemPaletteChangedEvent = TClosure<void()>;

inline const TcxLookAndFeelValues cxAllLookAndFeelValues{lfvKind, lfvNativeStyle, lfvSkinName};

// True: a SkinName finds its painter in the registry.
extern bool cxSkinsEnabled;

// One state of a look-and-feel.
struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  String SkinName;
  TcxCustomLookAndFeelPainterClass Painter = nullptr;
  bool UseSkins = false;
};

// An object that follows a look-and-feel (a control, a dependent
// look-and-feel, the controller component).
// {205538BF-F19E-4285-B11F-B182D9635881}
class IcxLookAndFeelFollower {
 public:
  virtual TObject* FollowerObject() = 0;
  // The master's effective values in the set may have changed.
  virtual void HandleMasterChange(TcxLookAndFeel* ASender, TcxLookAndFeelValues AChangedValues) = 0;
  virtual void HandleMasterDestroying(TcxLookAndFeel* ASender) = 0;

 protected:
  virtual ~IcxLookAndFeelFollower() = default;
};

// ---------------------------------------------------------------------------
// Painter classes by style
// ---------------------------------------------------------------------------

// The painter class a look-and-feel uses for a style (lfsNative: the themed
// painter). The painter classes compiled into the library are found without
// help; a slot set here overrides that (nil returns the slot to the built-in
// class). A style without any painter answers the neutral root painter.
TcxCustomLookAndFeelPainterClass cxLookAndFeelStylePainter(TcxLookAndFeelStyle AStyle);
void cxSetLookAndFeelStylePainter(TcxLookAndFeelStyle AStyle,
                                  TcxCustomLookAndFeelPainterClass APainter);
// The style that draws like a kind (lfFlat: lfsFlat ...).
TcxLookAndFeelStyle cxLookAndFeelStyleFromKind(TcxLookAndFeelKind AKind);

// ---------------------------------------------------------------------------
// TcxLookAndFeel
// ---------------------------------------------------------------------------

class TcxLookAndFeel : public TcxInterfacedPersistent,
                       public IcxLookAndFeelPainterListener,
                       public IcxLookAndFeelFollower {
  DECLARE_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
  explicit TcxLookAndFeel(TPersistent* AOwner);
  ~TcxLookAndFeel() override;

  int _AddRef() override { return TcxInterfacedPersistent::_AddRef(); }
  int _Release() override { return TcxInterfacedPersistent::_Release(); }

  void Assign(TPersistent* Source) override;
  // Nil and objects that are not followers are ignored; a controller only
  // joins the root.
  void AddChangeListener(TObject* AListener);
  void RemoveChangeListener(TObject* AListener);
  TcxCustomLookAndFeelPainterClass GetAvailablePainter(TdxThemedObjectType ANeededThemedObjectType);
  TcxCustomLookAndFeelPainterClass GetAvailablePainter(
      const TdxThemedObjectTypes& ANeededThemedObjectTypes = TdxThemedObjectTypes());
  // Raises the change for all three values.
  void Refresh();
  // Back to inheriting every value.
  void Reset();
  void SetStyle(TcxLookAndFeelStyle Value);

  TcxLookAndFeelKind Kind() const { return FCurrentState.Kind; }
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const { return FCurrentState.NativeStyle; }
  void SetNativeStyle(bool Value);
  const TdxSkinName& SkinName() const { return FCurrentState.SkinName; }
  void SetSkinName(const TdxSkinName& Value);
  TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues Value);
  // Nil for the root; the explicit master, else the root.
  TcxLookAndFeel* MasterLookAndFeel() const;
  void SetMasterLookAndFeel(TcxLookAndFeel* Value);
  TcxCustomLookAndFeelPainterClass Painter() const;
  void SetPainter(TcxCustomLookAndFeelPainterClass Value);
  TcxCustomLookAndFeelPainterClass SkinPainter() const { return FSkinPainter; }
  void SetSkinPainter(TcxCustomLookAndFeelPainterClass Value) { FSkinPainter = Value; }
  TcxLookAndFeelStyle ActiveStyle() const;
  bool IsRootLookAndFeel() const { return FIsRootLookAndFeel; }

  TcxLookAndFeelChangedEvent OnChanged;

  // IcxLookAndFeelFollower
  TObject* FollowerObject() override { return this; }
  void HandleMasterChange(TcxLookAndFeel* ASender, TcxLookAndFeelValues AChangedValues) override;
  void HandleMasterDestroying(TcxLookAndFeel* ASender) override;
  // IcxLookAndFeelPainterListener
  void HandlePainterRegistryChange(TcxCustomLookAndFeelPainterClass APainter) override;

 protected:
  void DefineProperties(TFiler* Filer) override;
  virtual void UpdateCurrentState();
  virtual TcxLookAndFeelKind GetEffectiveKind() const;
  virtual bool GetEffectiveNativeStyle() const;
  virtual TdxSkinName GetEffectiveSkinName() const;
  virtual TcxCustomLookAndFeelPainterClass GetEffectiveSkinPainter();
  virtual bool FindSkinPainter(const String& ASkinName, TcxCustomLookAndFeelPainterClass& APainter);
  virtual void HandleSystemPaletteChange();

  void RaiseChange(TcxLookAndFeelValues AChangedValues);

 private:
  friend void cxLookAndFeelsInitialize();
  friend void cxLookAndFeelsFinalize();

  TcxLookAndFeel* CurrentMaster() const;
  void RememberPrevState();
  void RaiseChangesSincePrevState();
  bool IsSkinNameStoredAsEmpty() const;

  TcxLookAndFeelValues FAssignedValues;
  TcxObjectList* FChangeListenerList;
  TcxLookAndFeelData FCurrentState;
  TcxLookAndFeelData FData;
  bool FIsDestruction = false;
  bool FIsRootLookAndFeel = false;
  TcxLookAndFeel* FMasterLookAndFeel = nullptr;
  TcxCustomLookAndFeelPainterClass FPainter = nullptr;
  TcxCustomLookAndFeelPainterClass FSkinPainter = nullptr;
  TcxLookAndFeelData FPrevState;
  TcxSystemPaletteChangedNotifier* FSystemPaletteChangedNotifier = nullptr;
};

// ---------------------------------------------------------------------------
// TcxLookAndFeelController
// ---------------------------------------------------------------------------

// Reads and writes the root look-and-feel. While any controller exists the
// root keeps its values; when the last one goes the root is reset.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelFollower {
  DECLARE_CLASS(TcxLookAndFeelController, TComponent)
  explicit TcxLookAndFeelController(TComponent* AOwner);
  ~TcxLookAndFeelController() override;

  virtual void Reset();

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);
  TdxSkinName SkinName() const;
  void SetSkinName(const TdxSkinName& Value);

  TObject* FollowerObject() override { return this; }
  void HandleMasterChange(TcxLookAndFeel* ASender, TcxLookAndFeelValues AChangedValues) override;
  void HandleMasterDestroying(TcxLookAndFeel* ASender) override;

 protected:
  virtual void DesignerMasterChanged();
  virtual void NotifyOwnerFormDesigner();
};

// ---------------------------------------------------------------------------
// System colours
// ---------------------------------------------------------------------------

// Tells its handler that the user changed the system colours. Primary
// notifiers (the painters' own) run before the ordinary ones, so painter
// colours are rebuilt before any look-and-feel raises its change.
class TcxSystemPaletteChangedNotifier : public TObject {
  DECLARE_CLASS(TcxSystemPaletteChangedNotifier, TObject)
  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;

  virtual void FirePaletteChanged();
  bool IsPrimary() const { return FIsPrimary; }

  TcxSystemPaletteChangedEvent OnSystemPaletteChanged;

 private:
  bool FIsPrimary;
};

// One per process while any notifier exists: a hidden window that hears the
// WM_SYSCOLORCHANGE broadcast (AllocateMessageHWnd with broadcasts).
class TcxSystemPaletteChangedListener : public TObject {
  DECLARE_CLASS(TcxSystemPaletteChangedListener, TObject)
  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener() override;

  void AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary);
  void RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary);
  HWND WindowHandle() const { return FWindowHandle; }

 private:
  void WndProc(TMessage& Message);
  void DoChange();

  TList* FNotifierList;
  TList* FPrimaryNotifierList;
  HWND FWindowHandle;
};

// The shared listener; nil while no notifier exists.
TcxSystemPaletteChangedListener* cxSystemPaletteChangedListener();

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

// The root look-and-feel; nil before the module's start-up and after its shutdown.
TcxLookAndFeel* cxGetGlobalLookAndFeel();

// Start-up creates the root (after the painter registry); shutdown frees it
// (before the registry). Counted: the outermost pair acts.
void cxLookAndFeelsInitialize();
void cxLookAndFeelsFinalize();
