// Edit styles: the editor-only values (button style and transparency, popup
// border style and close button, gradients) added to the container style,
// with the same assigned flags, fallback to the style controller and
// inheritance from the base style; the edit style controller; the process's
// default edit style controller.
#pragma once

#include "editors/core/cxEditButtons.h"
#include "foundation/cxContainerStyles.h"

using TcxEditBorderStyle = TcxContainerBorderStyle;
inline constexpr TcxEditBorderStyle ebsNone = cbsNone;
inline constexpr TcxEditBorderStyle ebsSingle = cbsSingle;
inline constexpr TcxEditBorderStyle ebsThick = cbsThick;
inline constexpr TcxEditBorderStyle ebsFlat = cbsFlat;
inline constexpr TcxEditBorderStyle ebs3D = cbs3D;
inline constexpr TcxEditBorderStyle ebsUltraFlat = cbsUltraFlat;
inline constexpr TcxEditBorderStyle ebsOffice11 = cbsOffice11;

DECLARE_ENUM(TcxEditButtonTransparency, ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected)
DECLARE_ENUM(TcxEditPopupBorderStyle, epbsDefault, epbsSingle, epbsFrame3D, epbsFlat)
// The four directions of a gradient, 1 to 4 (0 is no direction).
DECLARE_ENUM(TcxEditGradientDirection, egdNone, egdLeft, egdUp, egdRight, egdDown)

inline constexpr TcxContainerStyleValue svButtonStyle = 10;
inline constexpr TcxContainerStyleValue svButtonTransparency = 11;
inline constexpr TcxContainerStyleValue svPopupBorderStyle = 12;
inline constexpr TcxContainerStyleValue svGradientButtons = 13;
inline constexpr TcxContainerStyleValue svGradient = 14;
inline constexpr TcxContainerStyleValue svGradientDirection = 15;
inline constexpr int cxEditStyleValueCount = 16;

class TcxCustomEdit;

class TcxCustomEditStyle : public TcxContainerStyle {
  DECLARE_CLASS(TcxCustomEditStyle, TcxContainerStyle)
  TcxCustomEditStyle(TPersistent* AOwner, TcxContainerStateItem AState, TcxContainerStyle* AParentStyle,
                     bool ADirectAccessMode);

  void Assign(TPersistent* Source) override;
  int GetStyleValueCount() override { return cxEditStyleValueCount; }
  bool GetStyleValueName(TcxContainerStyleValue AStyleValue, String& AName) override;
  bool IsValueAssigned(TcxContainerStyleValue AValue) override;

  // The owning editor, null when the owner is not an editor.
  TcxCustomEdit* Edit();
  TcxCustomEditStyle* EditBaseStyle() { return static_cast<TcxCustomEditStyle*>(BaseStyle()); }

  TcxEditButtonStyle ButtonStyle();
  // Stored on this style (base or state), marked assigned.
  void SetButtonStyle(TcxEditButtonStyle AValue);
  // The setters of these five go to the base style from a state style.
  TcxEditButtonTransparency ButtonTransparency();
  void SetButtonTransparency(TcxEditButtonTransparency AValue);
  bool Gradient();
  void SetGradient(bool AValue);
  bool GradientButtons();
  void SetGradientButtons(bool AValue);
  TcxEditGradientDirection GradientDirection();
  void SetGradientDirection(TcxEditGradientDirection AValue);
  TcxEditPopupBorderStyle PopupBorderStyle();
  void SetPopupBorderStyle(TcxEditPopupBorderStyle AValue);
  bool PopupCloseButton();
  void SetPopupCloseButton(bool AValue);
  // Whether a value goes into a stored definition.
  bool IsEditValueStored(TcxContainerStyleValue AValue, const Char* APropertyName);

 protected:
  virtual TcxEditButtonStyle GetInheritedButtonStyle();
  virtual TcxEditButtonTransparency GetInheritedButtonTransparency();
  virtual bool GetInheritedGradient();
  virtual bool GetInheritedGradientButtons();
  virtual TcxEditGradientDirection GetInheritedGradientDirection();
  virtual TcxEditPopupBorderStyle GetInheritedPopupBorderStyle();
  TcxStyleController* GetDefaultController() override;
  TcxContainerStyleValues HiddenExtendedStyleValues() override;

 private:
  // The style along the controller chain that has AValue assigned (this one
  // first), null when none has.
  TcxCustomEditStyle* ResolveAssigned(TcxContainerStyleValue AValue);
  template <class T>
  void SetOnBase(TcxContainerStyleValue AValue, T TcxCustomEditStyle::*AField, T ANewValue);

  TcxEditButtonStyle FButtonStyle = btsDefault;
  TcxEditButtonTransparency FButtonTransparency = ebtNone;
  bool FGradient = false;
  bool FGradientButtons = false;
  TcxEditGradientDirection FGradientDirection = egdDown;
  TcxEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
  bool FPopupCloseButton = true;
};

// The class editors use: it publishes the values.
class TcxEditStyle : public TcxCustomEditStyle {
  DECLARE_CLASS(TcxEditStyle, TcxCustomEditStyle)
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
  DECLARE_CLASS(TcxEditStyleController, TcxStyleController)
  explicit TcxEditStyleController(TComponent* AOwner);

  TcxCustomEditStyle* Style() const { return static_cast<TcxCustomEditStyle*>(StyleOf(csNormal)); }
  void SetStyle(TcxCustomEditStyle* Value) { Style()->Assign(Value); }
  TcxCustomEditStyle* StyleDisabled() const { return static_cast<TcxCustomEditStyle*>(StyleOf(csDisabled)); }
  void SetStyleDisabled(TcxCustomEditStyle* Value) { StyleDisabled()->Assign(Value); }
  TcxCustomEditStyle* StyleFocused() const { return static_cast<TcxCustomEditStyle*>(StyleOf(csActive)); }
  void SetStyleFocused(TcxCustomEditStyle* Value) { StyleFocused()->Assign(Value); }
  TcxCustomEditStyle* StyleHot() const { return static_cast<TcxCustomEditStyle*>(StyleOf(csHotTrack)); }
  void SetStyleHot(TcxCustomEditStyle* Value) { StyleHot()->Assign(Value); }

 protected:
  TcxContainerStyleClass StyleObjectClass() override;
};

// The default edit style controller of the process (null outside the editor
// module's start-up and shutdown).
TcxEditStyleController* cxDefaultEditStyleController();
// Creates it and installs it as the containers' default controller.
void cxEditStylesInitialize();
// Clears the containers' default first, then frees it.
void cxEditStylesFinalize();
