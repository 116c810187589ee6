#include "editors/core/cxEditStyles.h"

#include "editors/core/cxEdit.h"
#include "foundation/cxContainer.h"
#include "foundation/cxContainerRoutines.h"

namespace {

const Char* const kValueNames[] = {L"ButtonStyle",     L"ButtonTransparency", L"PopupBorderStyle",
                                   L"GradientButtons", L"Gradient",           L"GradientDirection"};

// A controller's style can have a controller of its own; a chain that comes
// back on itself ends here.
constexpr int kMaxControllerChain = 32;

TcxEditStyleController*& DefaultController() {
  static TcxEditStyleController* controller = nullptr;
  return controller;
}

}  // namespace

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* AOwner, TcxContainerStateItem AState,
                                       TcxContainerStyle* AParentStyle, bool ADirectAccessMode)
    : TcxContainerStyle(AOwner, AState, AParentStyle, ADirectAccessMode) {}

void TcxCustomEditStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditStyle*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    FButtonStyle = source->FButtonStyle;
    FButtonTransparency = source->FButtonTransparency;
    FGradient = source->FGradient;
    FGradientButtons = source->FGradientButtons;
    FGradientDirection = source->FGradientDirection;
    FPopupBorderStyle = source->FPopupBorderStyle;
    FPopupCloseButton = source->FPopupCloseButton;
    inherited::Assign(Source);
    MarkModified();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TcxCustomEditStyle::GetStyleValueName(TcxContainerStyleValue AStyleValue, String& AName) {
  if (AStyleValue >= svButtonStyle && AStyleValue < cxEditStyleValueCount) {
    AName = kValueNames[AStyleValue - svButtonStyle];
    return true;
  }
  return inherited::GetStyleValueName(AStyleValue, AName);
}

TcxCustomEdit* TcxCustomEditStyle::Edit() { return dynamic_cast<TcxCustomEdit*>(Container()); }

TcxCustomEditStyle* TcxCustomEditStyle::ResolveAssigned(TcxContainerStyleValue AValue) {
  TcxCustomEditStyle* style = this;
  for (int depth = 0; style && depth < kMaxControllerChain; ++depth) {
    if (style->FAssignedValues.Contains(AValue)) return style;
    if (style->DirectAccessMode()) return nullptr;
    TcxStyleController* controller = style->ActiveStyleController();
    if (!controller) return nullptr;
    auto* next = dynamic_cast<TcxCustomEditStyle*>(controller->StyleOf(style->State()));
    if (next == style) return nullptr;
    style = next;
  }
  return nullptr;
}

bool TcxCustomEditStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  if (AValue >= svButtonStyle && AValue < cxEditStyleValueCount) return ResolveAssigned(AValue) != nullptr;
  return inherited::IsValueAssigned(AValue);
}

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() {
  TcxCustomEditStyle* style = ResolveAssigned(svButtonStyle);
  return style ? style->FButtonStyle : GetInheritedButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() {
  TcxCustomEditStyle* style = ResolveAssigned(svButtonTransparency);
  return style ? style->FButtonTransparency : GetInheritedButtonTransparency();
}

bool TcxCustomEditStyle::Gradient() {
  TcxCustomEditStyle* style = ResolveAssigned(svGradient);
  return style ? style->FGradient : GetInheritedGradient();
}

bool TcxCustomEditStyle::GradientButtons() {
  TcxCustomEditStyle* style = ResolveAssigned(svGradientButtons);
  return style ? style->FGradientButtons : GetInheritedGradientButtons();
}

TcxEditGradientDirection TcxCustomEditStyle::GradientDirection() {
  TcxCustomEditStyle* style = ResolveAssigned(svGradientDirection);
  return style ? style->FGradientDirection : GetInheritedGradientDirection();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() {
  TcxCustomEditStyle* style = ResolveAssigned(svPopupBorderStyle);
  return style ? style->FPopupBorderStyle : GetInheritedPopupBorderStyle();
}

bool TcxCustomEditStyle::PopupCloseButton() {
  return IsBaseStyle() ? FPopupCloseButton : EditBaseStyle()->FPopupCloseButton;
}

TcxEditButtonStyle TcxCustomEditStyle::GetInheritedButtonStyle() {
  return IsBaseStyle() ? btsDefault : EditBaseStyle()->ButtonStyle();
}
TcxEditButtonTransparency TcxCustomEditStyle::GetInheritedButtonTransparency() {
  return IsBaseStyle() ? ebtNone : EditBaseStyle()->ButtonTransparency();
}
bool TcxCustomEditStyle::GetInheritedGradient() { return IsBaseStyle() ? false : EditBaseStyle()->Gradient(); }
bool TcxCustomEditStyle::GetInheritedGradientButtons() {
  return IsBaseStyle() ? false : EditBaseStyle()->GradientButtons();
}
TcxEditGradientDirection TcxCustomEditStyle::GetInheritedGradientDirection() {
  return IsBaseStyle() ? egdDown : EditBaseStyle()->GradientDirection();
}
TcxEditPopupBorderStyle TcxCustomEditStyle::GetInheritedPopupBorderStyle() {
  return IsBaseStyle() ? epbsDefault : EditBaseStyle()->PopupBorderStyle();
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle AValue) {
  if (FAssignedValues.Contains(svButtonStyle) && FButtonStyle == AValue) return;
  BeginUpdate();
  FButtonStyle = AValue;
  FAssignedValues.Include(svButtonStyle);
  MarkModified();
  EndUpdate();
}

template <class T>
void TcxCustomEditStyle::SetOnBase(TcxContainerStyleValue AValue, T TcxCustomEditStyle::*AField, T ANewValue) {
  TcxCustomEditStyle* base = EditBaseStyle();
  if (base->FAssignedValues.Contains(AValue) && base->*AField == ANewValue) return;
  base->BeginUpdate();
  base->*AField = ANewValue;
  base->FAssignedValues.Include(AValue);
  base->MarkModified();
  base->EndUpdate();
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency AValue) {
  SetOnBase(svButtonTransparency, &TcxCustomEditStyle::FButtonTransparency, AValue);
}
void TcxCustomEditStyle::SetGradient(bool AValue) { SetOnBase(svGradient, &TcxCustomEditStyle::FGradient, AValue); }
void TcxCustomEditStyle::SetGradientButtons(bool AValue) {
  SetOnBase(svGradientButtons, &TcxCustomEditStyle::FGradientButtons, AValue);
}
void TcxCustomEditStyle::SetGradientDirection(TcxEditGradientDirection AValue) {
  SetOnBase(svGradientDirection, &TcxCustomEditStyle::FGradientDirection, AValue);
}
void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle AValue) {
  SetOnBase(svPopupBorderStyle, &TcxCustomEditStyle::FPopupBorderStyle, AValue);
}

void TcxCustomEditStyle::SetPopupCloseButton(bool AValue) {
  TcxCustomEditStyle* base = EditBaseStyle();
  if (base->FPopupCloseButton == AValue) return;
  base->BeginUpdate();
  base->FPopupCloseButton = AValue;
  base->MarkModified();
  base->EndUpdate();
}

bool TcxCustomEditStyle::IsEditValueStored(TcxContainerStyleValue AValue, const Char* APropertyName) {
  if (!FAssignedValues.Contains(AValue)) return false;
  TcxContainer* container = Container();
  return !container || container->IsStylePropertyPublished(APropertyName, !IsBaseStyle());
}

TcxStyleController* TcxCustomEditStyle::GetDefaultController() {
  if (DirectAccessMode()) return nullptr;
  TcxCustomEdit* edit = Edit();
  if (edit && edit->IsInplace()) return nullptr;
  return cxDefaultEditStyleController();
}

TcxContainerStyleValues TcxCustomEditStyle::HiddenExtendedStyleValues() {
  return TcxContainerStyleValues{3, 4, 5, 6, 9, 11, 12, 13, 14, 15};
}

BEGIN_CLASS(TcxCustomEditStyle, TcxContainerStyle, nullptr)
  b.template Constructor<TPersistent*, TcxContainerStateItem, TcxContainerStyle*, bool>();
END_CLASS

BEGIN_CLASS(TcxEditStyle, TcxCustomEditStyle, nullptr)
  b.template Constructor<TPersistent*, TcxContainerStateItem, TcxContainerStyle*, bool>();
  b.Prop(L"ButtonStyle", &TcxEditStyle::ButtonStyle, &TcxEditStyle::SetButtonStyle).Stored = [](TObject* o) {
    return static_cast<TcxCustomEditStyle*>(o)->IsEditValueStored(svButtonStyle, L"ButtonStyle");
  };
  b.Prop(L"ButtonTransparency", &TcxEditStyle::ButtonTransparency, &TcxEditStyle::SetButtonTransparency).Stored =
      [](TObject* o) {
        return static_cast<TcxCustomEditStyle*>(o)->IsEditValueStored(svButtonTransparency, L"ButtonTransparency");
      };
  b.Prop(L"Gradient", &TcxEditStyle::Gradient, &TcxEditStyle::SetGradient).Stored = [](TObject* o) {
    return static_cast<TcxCustomEditStyle*>(o)->IsEditValueStored(svGradient, L"Gradient");
  };
  b.Prop(L"GradientDirection", &TcxEditStyle::GradientDirection, &TcxEditStyle::SetGradientDirection).Stored =
      [](TObject* o) {
        return static_cast<TcxCustomEditStyle*>(o)->IsEditValueStored(svGradientDirection, L"GradientDirection");
      };
  b.Prop(L"PopupBorderStyle", &TcxEditStyle::PopupBorderStyle, &TcxEditStyle::SetPopupBorderStyle).Stored =
      [](TObject* o) {
        return static_cast<TcxCustomEditStyle*>(o)->IsEditValueStored(svPopupBorderStyle, L"PopupBorderStyle");
      };
END_CLASS

// ---------------------------------------------------------------------------
// TcxEditStyleController
// ---------------------------------------------------------------------------

TcxEditStyleController::TcxEditStyleController(TComponent* AOwner) : TcxStyleController(AOwner) {}

TcxContainerStyleClass TcxEditStyleController::StyleObjectClass() { return TcxContainerStyleClass::Of<TcxEditStyle>(); }

BEGIN_CLASS(TcxEditStyleController, TcxStyleController, (ConstructWith<TcxEditStyleController, TComponent>))
  using C = TcxEditStyleController;
  b.Prop(L"Style", &C::Style, &C::SetStyle);
  b.Prop(L"StyleDisabled", &C::StyleDisabled, &C::SetStyleDisabled);
  b.Prop(L"StyleFocused", &C::StyleFocused, &C::SetStyleFocused);
  b.Prop(L"StyleHot", &C::StyleHot, &C::SetStyleHot);
END_CLASS

TcxEditStyleController* cxDefaultEditStyleController() { return DefaultController(); }

void cxEditStylesInitialize() {
  if (!DefaultController()) DefaultController() = Make<TcxEditStyleController>(nullptr);
  cxSetDefaultContainerStyleController(DefaultController());
}

void cxEditStylesFinalize() {
  // No style may find a controller that is going away.
  cxSetDefaultContainerStyleController(nullptr);
  FreeAndNil(DefaultController());
}
