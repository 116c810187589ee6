// The look of a container: the per-state styles (normal, focused, disabled,
// hot), whose unset values come from a style controller and then from
// built-in defaults, the view info computed from them for one moment, and the
// style controller that shares one set of styles between many controls.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxClassesComponents.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxScrollBar.h"
#include "platform/gui/Graphics.h"

class TcxContainer;
class TcxContainerStyle;
class TcxStyleController;
class TList;

DECLARE_ENUM(TcxContainerBorderStyle, cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11)
DECLARE_ENUM(TcxContainerStateItem, csNormal, csActive, csDisabled, csHotTrack)
using TcxContainerState = TSet<TcxContainerStateItem, 4>;
DECLARE_ENUM(TcxContainerHotState, chsNoHotTrack, chsNormal, chsSelected)

// A style value is a small number; editor styles add their own from 10 on.
using TcxContainerStyleValue = int;
using TcxContainerStyleValues = TSet<int, 64>;
inline constexpr TcxContainerStyleValue csvBorderColor = 0;
inline constexpr TcxContainerStyleValue csvBorderStyle = 1;
inline constexpr TcxContainerStyleValue csvColor = 2;
inline constexpr TcxContainerStyleValue csvEdges = 3;
inline constexpr TcxContainerStyleValue csvFont = 4;
inline constexpr TcxContainerStyleValue csvHotTrack = 5;
inline constexpr TcxContainerStyleValue csvShadow = 6;
inline constexpr TcxContainerStyleValue csvTextColor = 7;
inline constexpr TcxContainerStyleValue csvTextStyle = 8;
inline constexpr TcxContainerStyleValue csvTransparentBorder = 9;
inline constexpr int cxContainerStyleValueCount = 10;

// ---------------------------------------------------------------------------
// TcxContainerViewInfo
// ---------------------------------------------------------------------------

class TcxContainerViewInfo : public TObject {
  DECLARE_CLASS(TcxContainerViewInfo, TObject)
  TcxContainerViewInfo();

  TColor BackgroundColor() const { return FBackgroundColor; }
  virtual void SetBackgroundColor(TColor AValue) { FBackgroundColor = AValue; }
  // Copies the client rectangle of another view info only.
  virtual void Assign(TObject* Source);
  // A new empty region, owned by the caller.
  virtual TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo);
  virtual void Offset(int DX, int DY);
  virtual void Paint(TcxCanvas* ACanvas);
  virtual TcxContainerBorderStyle EffectiveBorderStyle() { return BorderStyle; }

  TColor BorderColor = clBlack;
  TRect BorderRect;
  TcxContainerBorderStyle BorderStyle = cbsNone;
  int BorderWidth = 0;
  TRect Bounds;
  TRect ClientRect;
  TcxContainerState ContainerState{csNormal};
  TcxBorders Edges;
  TcxContainerHotState HotState = chsNoHotTrack;
  int NativePart = 0;
  int NativeState = 0;
  bool NativeStyle = false;
  TcxCustomLookAndFeelPainterClass Painter = nullptr;   // the skin painter, null without a skin
  bool Shadow = false;
  TdxThemedObjectType ThemedObjectType = totButton;

 protected:
  virtual void RenderBorder(TcxCanvas* ACanvas, const TRect& R);
  virtual void PaintContent(TcxCanvas* ACanvas);

 private:
  TColor FBackgroundColor = clBlack;
};

// ---------------------------------------------------------------------------
// TcxContainerStyle
// ---------------------------------------------------------------------------

struct TcxContainerStyleData {
  TColor Color = clWindow;
  TFont* Font = nullptr;
  TColor FontColor = clWindowText;
};

using TcxContainerStyleClass =
    TClassOf<TcxContainerStyle, TPersistent*, TcxContainerStateItem, TcxContainerStyle*, bool>;

class TcxContainerStyle : public TcxInterfacedPersistent, public IcxLookAndFeelContainerMarker {
  DECLARE_CLASS(TcxContainerStyle, TcxInterfacedPersistent)
  TcxContainerStyle(TPersistent* AOwner, TcxContainerStateItem AState, TcxContainerStyle* AParentStyle,
                    bool ADirectAccessMode);
  ~TcxContainerStyle() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void Assign(TPersistent* Source) override;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  virtual void RestoreDefaults();

  bool GetStyleValue(const String& APropertyName, TcxContainerStyleValue& AStyleValue);
  virtual int GetStyleValueCount() { return cxContainerStyleValueCount; }
  virtual bool GetStyleValueName(TcxContainerStyleValue AStyleValue, String& AName);
  // The font with the text colour and text style applied.
  TFont* GetVisibleFont();
  virtual bool HasBorder();
  bool IsExtendedStylePropertyPublished(const String& APropertyName);
  // Values 0 to 8: set here or in the style controller chain.
  virtual bool IsValueAssigned(TcxContainerStyleValue AValue);

  // ---- properties
  TcxContainerStyleValues AssignedValues();
  void SetAssignedValues(TcxContainerStyleValues AValue);
  // Drops one bit as it is, without re-evaluating or reporting anything
  // (the container undoing a mark its own write left).
  void ExcludeAssignedValue(TcxContainerStyleValue AValue) { FAssignedValues.Exclude(AValue); }
  TColor BorderColor();
  void SetBorderColor(TColor AValue);
  TcxContainerBorderStyle BorderStyle();
  void SetBorderStyle(TcxContainerBorderStyle AValue);
  virtual TColor Color();
  void SetColor(TColor AValue);
  TcxBorders Edges();
  void SetEdges(TcxBorders AValue);
  TFont* Font();
  void SetFont(TFont* AValue);
  bool HotTrack();
  void SetHotTrack(bool AValue);
  bool Shadow();
  void SetShadow(bool AValue);
  virtual TColor TextColor();
  void SetTextColor(TColor AValue);
  virtual TFontStyles TextStyle();
  void SetTextStyle(TFontStyles AValue);
  bool TransparentBorder();
  void SetTransparentBorder(bool AValue);
  TcxLookAndFeel* LookAndFeel();
  void SetLookAndFeel(TcxLookAndFeel* AValue);
  // For a base style its controller, but the default controller reads null.
  TcxStyleController* StyleController();
  void SetStyleController(TcxStyleController* AValue);
  // The base style's controller, the default one included.
  TcxStyleController* ActiveStyleController();
  TcxContainerStyle* BaseStyle() { return FParentStyle ? FParentStyle : this; }
  TcxContainer* Container();
  bool DirectAccessMode() const { return FDirectAccessMode; }
  TcxContainerStateItem State() const { return FState; }
  bool IsBaseStyle() const { return FParentStyle == nullptr; }
  bool IsDestroying() const { return FIsDestroying; }

  // The colour a container paints its window with.
  virtual TColor ResolveColor();
  // The container's parent font changed: the font is taken again from the
  // controller chain, or reset unless the container follows its parent.
  void ParentFontChanged();
  // Whether a value property is written to a stored definition: assigned
  // here and published by the container.
  bool IsValueStoredFor(TcxContainerStyleValue AValue);

  TNotifyEvent OnChanged;

 protected:
  void DefineProperties(TFiler* Filer) override;

  virtual void MarkModified();
  virtual void HandleControllerChange();
  virtual void HandleControllerFreed(TcxStyleController* AController);
  virtual TColor FallbackBorderColor();
  virtual TcxContainerBorderStyle FallbackBorderStyle();
  virtual TColor FallbackColor();
  virtual TcxBorders FallbackEdges();
  virtual bool FallbackHotTrack();
  virtual bool FallbackShadow();
  virtual TColor FallbackTextColor();
  virtual TFontStyles FallbackTextStyle();
  virtual bool FallbackTransparentBorder();
  virtual void HandleFontChange(TObject* Sender);
  virtual TcxStyleController* GetDefaultController();
  virtual TcxContainerStyleValues HiddenExtendedStyleValues();

  // The style of the same state that has AValue set: this one, or one met
  // along the style controller chain; null when none has it.
  TcxContainerStyle* FindAssignedStyle(TcxContainerStyleValue AValue);
  // The font re-evaluated from the controller chain, the container or the
  // platform default (base styles only).
  void UpdateFont();
  void CheckChanges();

  // Own stored values.
  TColor FBorderColor = clWindowFrame;
  TcxContainerBorderStyle FBorderStyle = cbsNone;
  TcxBorders FEdges = cxBordersAll;
  bool FHotTrack = true;
  bool FShadow = false;
  bool FTransparentBorder = true;
  TFontStyles FTextStyle;
  TcxContainerStyleData StyleData;
  TcxContainerStyleValues FAssignedValues;

 private:
  friend class TcxStyleController;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void SetValueAssigned(TcxContainerStyleValue AValue);
  // Stores a value and marks it assigned, unless it is assigned already
  // with that value.
  template <class T>
  void SetOwnValue(T& AField, const T& AValue, TcxContainerStyleValue AKey);

  bool FDirectAccessMode;
  int FFontAssignedValueLockCount = 0;
  bool FIsDestroying = false;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  bool FModified = false;
  TcxContainerStyle* FParentStyle = nullptr;
  TcxContainerStateItem FState;
  int FUpdateCount = 0;
  TFont* FVisibleFont = nullptr;
  TcxStyleController* FStyleController = nullptr;
};

// ---------------------------------------------------------------------------
// TcxContainerStyles
// ---------------------------------------------------------------------------

class TcxContainerStyles : public TObject {
  DECLARE_CLASS(TcxContainerStyles, TObject)
  TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass);
  ~TcxContainerStyles() override;

  void RestoreDefaults();
  TcxContainerStyle* Get(TcxContainerStateItem AState) const { return FStyles[AState]; }
  TcxContainerStyle* Style() const { return FStyles[csNormal]; }
  void SetStyle(TcxContainerStyle* AValue) { FStyles[csNormal]->Assign(AValue); }
  TcxContainerStyle* StyleFocused() const { return FStyles[csActive]; }
  void SetStyleFocused(TcxContainerStyle* AValue) { FStyles[csActive]->Assign(AValue); }
  TcxContainerStyle* StyleDisabled() const { return FStyles[csDisabled]; }
  void SetStyleDisabled(TcxContainerStyle* AValue) { FStyles[csDisabled]->Assign(AValue); }
  TcxContainerStyle* StyleHot() const { return FStyles[csHotTrack]; }
  void SetStyleHot(TcxContainerStyle* AValue) { FStyles[csHotTrack]->Assign(AValue); }
  // Sets the change event of all four styles.
  void SetOnChanged(const TNotifyEvent& AValue);

 private:
  TcxContainerStyle* FStyles[4] = {};
};

using TcxContainerStylesClass = TClassOf<TcxContainerStyles, TPersistent*, TcxContainerStyleClass>;

// ---------------------------------------------------------------------------
// TcxStyleController
// ---------------------------------------------------------------------------

class TcxStyleController : public TComponent {
  DECLARE_CLASS(TcxStyleController, TComponent)
  explicit TcxStyleController(TComponent* AOwner);
  ~TcxStyleController() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void RestoreStyles();
  void Loaded() override;
  // A nil style or one listed already is ignored; the style's look-and-feel
  // then follows the controller's.
  virtual void RegisterStyleListener(TcxContainerStyle* AStyle);
  virtual void UnregisterStyleListener(TcxContainerStyle* AStyle);
  // Scales the font of the first controller along the chain that owns one,
  // at most once in that controller's life.
  void ScaleFont(int M, int D);

  TcxContainerStyles* Styles() const { return FStyles; }
  TcxContainerStyle* Style() const { return FStyles->Style(); }
  TcxContainerStyle* StyleOf(TcxContainerStateItem AState) const { return FStyles->Get(AState); }
  TcxStyleController* FakeStyleController() { return FStyles->Style()->StyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}
  int ListenerCount() const;
  TcxContainerStyle* Listener(int AIndex) const;
  bool IsDestruction() const { return FIsDestruction; }

  TNotifyEvent OnStyleChanged;

 protected:
  virtual TcxContainerStyleClass StyleObjectClass();
  virtual TcxContainerStylesClass StylesObjectClass();
  virtual void StyleChanged(TObject* Sender);

 private:
  bool FIsDestruction = false;
  bool FIsFontScaled = false;
  TList* FListeners = nullptr;
  TcxContainerStyles* FStyles = nullptr;
};
