#include "foundation/cxContainerStyles.h"

#include "foundation/cxContainer.h"
#include "foundation/cxContainerRoutines.h"
#include "foundation/dxUxTheme.h"
#include "foundation/cxDWMApi.h"
#include "platform/core/Filer.h"
#include "platform/core/Lists.h"
#include "platform/core/SysUtils.h"

namespace {

const Char* const kStyleValueNames[cxContainerStyleValueCount] = {
    L"BorderColor", L"BorderStyle", L"Color", L"Edges", L"Font",
    L"HotTrack", L"Shadow", L"TextColor", L"TextStyle", L"TransparentBorder"};

// Default border style of a state style: [row][base border style].
const TcxContainerBorderStyle kStateBorderStyles[4][7] = {
    {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11},
    {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11},
    {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11},
    {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11},
};

constexpr int kTmtBorderColor = 3801;

// A chain of controllers can only be as long as there are controllers;
// this bound keeps a lookup finite should one be edited into a ring anyway.
constexpr int kMaxControllerChain = 256;

// The values a style hides when it is a state style of a container.
const TcxContainerStyleValues kHiddenExtendedValues{csvEdges, csvFont, csvHotTrack, csvShadow,
                                                    csvTransparentBorder};

bool StyleValueStored(TObject* AStyle, TcxContainerStyleValue AValue) {
  return static_cast<TcxContainerStyle*>(AStyle)->IsValueStoredFor(AValue);
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxContainerViewInfo
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxContainerViewInfo, TObject, (ConstructPlain<TcxContainerViewInfo>))
END_CLASS

TcxContainerViewInfo::TcxContainerViewInfo() = default;

void TcxContainerViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxContainerViewInfo*>(Source)) ClientRect = source->ClientRect;
}

TcxRegion* TcxContainerViewInfo::GetUpdateRegion(TcxContainerViewInfo*) { return Make<TcxRegion>(); }

void TcxContainerViewInfo::Offset(int DX, int DY) {
  for (TRect* r : {&BorderRect, &Bounds, &ClientRect}) *r = TRect(r->Left + DX, r->Top + DY, r->Right + DX, r->Bottom + DY);
}

void TcxContainerViewInfo::Paint(TcxCanvas* ACanvas) { PaintContent(ACanvas); }

void TcxContainerViewInfo::PaintContent(TcxCanvas* ACanvas) {
  if (NativeStyle) {
    if (BorderStyle == cbsNone) {
      cxFillRectAroundHole(ACanvas, Bounds, TRect(), BackgroundColor());
      return;
    }
    TRect content = Bounds;
    if (HTHEME theme = dxAcquireThemeHandle(ThemedObjectType)) {
      TRect r;
      if (SUCCEEDED(dxUxGetThemeBackgroundContentRect(theme, ACanvas->Handle(), 1, NativeState, Bounds, r)))
        content = r;
    }
    cxFillRectAroundHole(ACanvas, content, TRect(), BackgroundColor());
    COLORREF border = ColorToGDI(clWindowFrame);
    const bool composition = cxIsDwmCompositionOn();
    if (HTHEME frameTheme = dxAcquireThemeHandle(composition ? totListBox : totComboBox))
      dxUxGetThemeColor(frameTheme, composition ? 3 : 1, 1, kTmtBorderColor, border);
    cxFillRectAroundHole(ACanvas, Bounds, content, static_cast<TColor>(border));
    return;
  }
  TRect r = BorderRect;
  r.Left -= BorderWidth;
  r.Top -= BorderWidth;
  if (Edges.Contains(bRight)) r.Right += BorderWidth;
  if (Edges.Contains(bBottom)) r.Bottom += BorderWidth;
  if (Shadow) cxPaintDropShadow(ACanvas, r);
  if (!Edges.Contains(bRight)) r.Right += BorderWidth;
  if (!Edges.Contains(bBottom)) r.Bottom += BorderWidth;
  RenderBorder(ACanvas, r);
  cxFillRectAroundHole(ACanvas, BorderRect, TRect(), BackgroundColor());
}

void TcxContainerViewInfo::RenderBorder(TcxCanvas* ACanvas, const TRect& R) {
  const TcxContainerBorderStyle style = EffectiveBorderStyle();
  if (Painter || style == cbsSingle || style == cbsThick) {
    ACanvas->FrameRect(R, BorderColor, BorderWidth);
    return;
  }
  if (style != cbsFlat && style != cbs3D) return;
  ACanvas->DrawEdge(R, true, true, Edges);
  const TRect inner(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  if (style == cbsFlat) {
    ACanvas->FrameRect(inner, clBtnFace);
  } else {
    ACanvas->FrameRect(inner, cl3DDkShadow, 1, Edges * TcxBorders{bLeft, bTop});
    ACanvas->FrameRect(inner, cl3DLight, 1, Edges * TcxBorders{bRight, bBottom});
  }
}

// ---------------------------------------------------------------------------
// TcxContainerStyle
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxContainerStyle, TcxInterfacedPersistent, nullptr)
  using S = TcxContainerStyle;
  b.template Constructor<TPersistent*, TcxContainerStateItem, TcxContainerStyle*, bool>();
  b.Prop(L"BorderColor", &S::BorderColor, &S::SetBorderColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return StyleValueStored(o, csvBorderColor);
  };
  b.Prop(L"BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored = [](TObject* o) {
    return StyleValueStored(o, csvBorderStyle);
  };
  b.Prop(L"Color", &S::Color, &S::SetColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return StyleValueStored(o, csvColor);
  };
  b.Prop(L"Edges", &S::Edges, &S::SetEdges).Stored = [](TObject* o) { return StyleValueStored(o, csvEdges); };
  b.Prop(L"Font", &S::Font, &S::SetFont).Stored = [](TObject* o) { return StyleValueStored(o, csvFont); };
  b.Prop(L"HotTrack", &S::HotTrack, &S::SetHotTrack).Stored = [](TObject* o) {
    return StyleValueStored(o, csvHotTrack);
  };
  b.Prop(L"LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel);
  b.Prop(L"StyleController", &S::StyleController, &S::SetStyleController).Stored = [](TObject* o) {
    auto* style = static_cast<TcxContainerStyle*>(o);
    return style->IsBaseStyle() && style->StyleController() != nullptr;
  };
  b.Prop(L"Shadow", &S::Shadow, &S::SetShadow).Stored = [](TObject* o) { return StyleValueStored(o, csvShadow); };
  b.Prop(L"TextColor", &S::TextColor, &S::SetTextColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return StyleValueStored(o, csvTextColor);
  };
  b.Prop(L"TextStyle", &S::TextStyle, &S::SetTextStyle).Stored = [](TObject* o) {
    return StyleValueStored(o, csvTextStyle);
  };
  b.Prop(L"TransparentBorder", &S::TransparentBorder, &S::SetTransparentBorder).Stored = [](TObject* o) {
    return StyleValueStored(o, csvTransparentBorder);
  };
END_CLASS

TcxContainerStyle::TcxContainerStyle(TPersistent* AOwner, TcxContainerStateItem AState,
                                     TcxContainerStyle* AParentStyle, bool ADirectAccessMode)
    : TcxInterfacedPersistent(AOwner), FDirectAccessMode(ADirectAccessMode), FState(AState) {
  if (AState != csNormal) FParentStyle = AParentStyle;
  if (FDirectAccessMode) FAssignedValues = TcxContainerStyleValues{csvColor, csvFont, csvTextColor, csvTextStyle};
  if (IsBaseStyle() && !FDirectAccessMode) {
    StyleData.Font = Make<TFont>();
    StyleData.Font->OnChange = TNotifyEvent::Bind<&TcxContainerStyle::HandleFontChange>(this);
  }
  FVisibleFont = Make<TFont>();
  if (IsBaseStyle()) {
    FLookAndFeel = Make<TcxLookAndFeel>(this);
    FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxContainerStyle::LookAndFeelChanged>(this);
  }
}

void TcxContainerStyle::AfterConstruction() {
  TcxInterfacedPersistent::AfterConstruction();
  if (IsBaseStyle()) SetStyleController(GetDefaultController());
}

void TcxContainerStyle::BeforeDestruction() {
  FIsDestroying = true;
  TcxInterfacedPersistent::BeforeDestruction();
}

TcxContainerStyle::~TcxContainerStyle() {
  FIsDestroying = true;
  if (IsBaseStyle() && FStyleController) FStyleController->UnregisterStyleListener(this);
  FStyleController = nullptr;
  if (FLookAndFeel) FLookAndFeel->OnChanged = nullptr;
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FVisibleFont);
  if (IsBaseStyle() && !FDirectAccessMode) FreeAndNil(StyleData.Font);
}

void TcxContainerStyle::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { MarkModified(); }

void TcxContainerStyle::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  CheckChanges();
}

void TcxContainerStyle::MarkModified() {
  FModified = true;
  CheckChanges();
}

void TcxContainerStyle::CheckChanges() {
  if (!FModified || FUpdateCount != 0) return;
  FModified = false;
  if (!FIsDestroying && !FDirectAccessMode && OnChanged) OnChanged(this);
}

TcxContainer* TcxContainerStyle::Container() { return dynamic_cast<TcxContainer*>(Owner()); }

TcxContainerStyle* TcxContainerStyle::FindAssignedStyle(TcxContainerStyleValue AValue) {
  TcxContainerStyle* style = this;
  for (int depth = 0; style && depth < kMaxControllerChain; ++depth) {
    if (style->FAssignedValues.Contains(AValue)) return style;
    TcxStyleController* controller = style->BaseStyle()->FStyleController;
    if (!controller) return nullptr;
    style = controller->StyleOf(FState);
  }
  return nullptr;
}

void TcxContainerStyle::SetValueAssigned(TcxContainerStyleValue AValue) { FAssignedValues.Include(AValue); }

// ---- getters

TcxContainerStyleValues TcxContainerStyle::AssignedValues() {
  if (!FDirectAccessMode) return FAssignedValues;
  TcxContainerStyleValues all;
  for (int i = 0; i < GetStyleValueCount(); ++i) all.Include(i);
  return all;
}

TColor TcxContainerStyle::BorderColor() {
  if (FDirectAccessMode) return clDefault;
  TcxContainerStyle* s = FindAssignedStyle(csvBorderColor);
  return s ? s->FBorderColor : FallbackBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyle() {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : FallbackBorderStyle();
  TcxContainerStyle* s = FindAssignedStyle(csvBorderStyle);
  return s ? s->FBorderStyle : FallbackBorderStyle();
}

TColor TcxContainerStyle::Color() {
  if (FDirectAccessMode) return StyleData.Color;
  if (IsBaseStyle()) {
    TcxContainer* container = Container();
    if (container && container->ParentColor() && container->Parent()) return container->Parent()->Color();
  }
  TcxContainerStyle* s = FindAssignedStyle(csvColor);
  return s ? s->StyleData.Color : FallbackColor();
}

TColor TcxContainerStyle::ResolveColor() {
  if (TcxContainerStyle* s = FindAssignedStyle(csvColor)) return s->StyleData.Color;
  if (IsBaseStyle()) {
    TcxContainer* container = Container();
    if (container && !container->IsInplace() && container->ParentColor() && container->Parent())
      return container->Parent()->Color();
  }
  return FallbackColor();
}

TcxBorders TcxContainerStyle::Edges() {
  if (FDirectAccessMode) return TcxBorders();
  if (!IsBaseStyle()) return BaseStyle()->Edges();
  TcxContainerStyle* s = FindAssignedStyle(csvEdges);
  return s ? s->FEdges : FallbackEdges();
}

TFont* TcxContainerStyle::Font() { return BaseStyle()->StyleData.Font; }

bool TcxContainerStyle::HotTrack() {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvHotTrack) ? FHotTrack : FallbackHotTrack();
  if (!IsBaseStyle()) return BaseStyle()->HotTrack();
  TcxContainerStyle* s = FindAssignedStyle(csvHotTrack);
  return s ? s->FHotTrack : FallbackHotTrack();
}

bool TcxContainerStyle::Shadow() {
  if (FDirectAccessMode) return false;
  if (!IsBaseStyle()) return BaseStyle()->Shadow();
  TcxContainerStyle* s = FindAssignedStyle(csvShadow);
  return s ? s->FShadow : FallbackShadow();
}

TColor TcxContainerStyle::TextColor() {
  if (FDirectAccessMode) return StyleData.FontColor;
  TcxContainerStyle* s = FindAssignedStyle(csvTextColor);
  return s ? s->StyleData.FontColor : FallbackTextColor();
}

TFontStyles TcxContainerStyle::TextStyle() {
  if (FDirectAccessMode) return StyleData.Font ? StyleData.Font->Style() : TFontStyles();
  TcxContainerStyle* s = FindAssignedStyle(csvTextStyle);
  return s ? s->FTextStyle : FallbackTextStyle();
}

bool TcxContainerStyle::TransparentBorder() {
  if (FDirectAccessMode) return true;
  if (!IsBaseStyle()) return BaseStyle()->TransparentBorder();
  TcxContainerStyle* s = FindAssignedStyle(csvTransparentBorder);
  return s ? s->FTransparentBorder : FallbackTransparentBorder();
}

TcxLookAndFeel* TcxContainerStyle::LookAndFeel() { return BaseStyle()->FLookAndFeel; }

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* AValue) { BaseStyle()->FLookAndFeel->Assign(AValue); }

TcxStyleController* TcxContainerStyle::StyleController() {
  if (!IsBaseStyle()) return BaseStyle()->StyleController();
  return FStyleController == GetDefaultController() ? nullptr : FStyleController;
}

TcxStyleController* TcxContainerStyle::ActiveStyleController() { return BaseStyle()->FStyleController; }

TcxStyleController* TcxContainerStyle::GetDefaultController() { return cxGetDefaultContainerStyleController(); }

// ---- fallbacks

TColor TcxContainerStyle::FallbackBorderColor() {
  if (IsBaseStyle()) return clWindowFrame;
  return FState == csDisabled ? clBtnShadow : BaseStyle()->BorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::FallbackBorderStyle() {
  if (IsBaseStyle()) {
    switch (LookAndFeel()->Kind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfUltraFlat: return cbsUltraFlat;
      case lfOffice11: return cbsOffice11;
    }
    return cbsFlat;
  }
  const TcxContainerStateItem row = BaseStyle()->HotTrack() || FState == csDisabled ? FState : csNormal;
  return kStateBorderStyles[row][BaseStyle()->BorderStyle()];
}

TColor TcxContainerStyle::FallbackColor() {
  TcxContainer* container = Container();
  if (IsBaseStyle()) return !container || container->PrefersParentColor() ? clBtnFace : clWindow;
  if (FState == csDisabled && container && !container->PrefersParentColor()) return clBtnFace;
  return BaseStyle()->Color();
}

TcxBorders TcxContainerStyle::FallbackEdges() { return cxBordersAll; }
bool TcxContainerStyle::FallbackHotTrack() { return true; }
bool TcxContainerStyle::FallbackShadow() { return false; }
bool TcxContainerStyle::FallbackTransparentBorder() { return true; }

TColor TcxContainerStyle::FallbackTextColor() {
  if (IsBaseStyle()) return Font() ? Font()->Color() : clWindowText;
  return FState == csDisabled ? clBtnShadow : BaseStyle()->TextColor();
}

TFontStyles TcxContainerStyle::FallbackTextStyle() {
  if (IsBaseStyle()) return Font() ? Font()->Style() : TFontStyles();
  return BaseStyle()->TextStyle();
}

// ---- setters

template <class T>
void TcxContainerStyle::SetOwnValue(T& AField, const T& AValue, TcxContainerStyleValue AKey) {
  if (FAssignedValues.Contains(AKey) && AField == AValue) return;
  AField = AValue;
  SetValueAssigned(AKey);
  MarkModified();
}

void TcxContainerStyle::SetBorderColor(TColor AValue) { SetOwnValue(FBorderColor, AValue, csvBorderColor); }

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle AValue) {
  SetOwnValue(FBorderStyle, AValue, csvBorderStyle);
}

void TcxContainerStyle::SetColor(TColor AValue) { SetOwnValue(StyleData.Color, AValue, csvColor); }

// A state style keeps these in its base style.
void TcxContainerStyle::SetEdges(TcxBorders AValue) {
  TcxContainerStyle* base = BaseStyle();
  base->SetOwnValue(base->FEdges, AValue, csvEdges);
}

void TcxContainerStyle::SetHotTrack(bool AValue) {
  TcxContainerStyle* base = BaseStyle();
  base->SetOwnValue(base->FHotTrack, AValue, csvHotTrack);
}

void TcxContainerStyle::SetShadow(bool AValue) {
  TcxContainerStyle* base = BaseStyle();
  base->SetOwnValue(base->FShadow, AValue, csvShadow);
}

void TcxContainerStyle::SetTransparentBorder(bool AValue) {
  TcxContainerStyle* base = BaseStyle();
  base->SetOwnValue(base->FTransparentBorder, AValue, csvTransparentBorder);
}

void TcxContainerStyle::SetTextColor(TColor AValue) {
  if (FAssignedValues.Contains(csvTextColor) && TextColor() == AValue) return;
  StyleData.FontColor = AValue;
  SetValueAssigned(csvTextColor);
  MarkModified();
}

void TcxContainerStyle::SetTextStyle(TFontStyles AValue) {
  if (FAssignedValues.Contains(csvTextStyle) && TextStyle() == AValue) return;
  FTextStyle = AValue;
  SetValueAssigned(csvTextStyle);
  MarkModified();
}

void TcxContainerStyle::SetFont(TFont* AValue) {
  if (FDirectAccessMode) {
    StyleData.Font = AValue;
    return;
  }
  TcxContainerStyle* base = BaseStyle();
  if (base->StyleData.Font && AValue) base->StyleData.Font->Assign(AValue);
  base->SetValueAssigned(csvFont);
  base->MarkModified();
}

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues AValue) {
  if (FAssignedValues == AValue) return;
  FAssignedValues = AValue;
  BeginUpdate();
  try {
    if (IsBaseStyle()) UpdateFont();
    MarkModified();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxContainerStyle::SetStyleController(TcxStyleController* AValue) {
  if (!IsBaseStyle()) return BaseStyle()->SetStyleController(AValue);
  TcxStyleController* defaultController = GetDefaultController();
  if (defaultController && Owner() == defaultController) return;
  if (!AValue) AValue = defaultController;
  // A controller whose own style uses this style, however indirectly, would
  // make the lookup run in a ring.
  TcxStyleController* c = AValue;
  for (int depth = 0; c && depth < kMaxControllerChain; ++depth) {
    if (c->Style() == this) return;
    if (c == defaultController) break;
    c = c->Style()->FStyleController;
  }
  if (AValue == FStyleController) return;
  if (FStyleController) FStyleController->UnregisterStyleListener(this);
  FStyleController = AValue;
  if (FStyleController) FStyleController->RegisterStyleListener(this);
  HandleControllerChange();
}

// One report for the font update and the change itself.
void TcxContainerStyle::HandleControllerChange() {
  BeginUpdate();
  try {
    UpdateFont();
    MarkModified();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxContainerStyle::HandleControllerFreed(TcxStyleController* AController) {
  if (ActiveStyleController() == AController) SetStyleController(nullptr);
  // A controller that is going away and still the default (the editor core
  // clears the default first) must not stay behind.
  if (ActiveStyleController() == AController) {
    AController->UnregisterStyleListener(this);
    FStyleController = nullptr;
    HandleControllerChange();
  }
}

void TcxContainerStyle::HandleFontChange(TObject*) {
  if (FFontAssignedValueLockCount == 0) SetValueAssigned(csvFont);
  MarkModified();
}

void TcxContainerStyle::UpdateFont() {
  if (FDirectAccessMode || !IsBaseStyle() || !StyleData.Font || FAssignedValues.Contains(csvFont)) return;
  ++FFontAssignedValueLockCount;
  try {
    if (TcxContainerStyle* s = FindAssignedStyle(csvFont)) {
      if (s->Font()) StyleData.Font->Assign(s->Font());
    } else {
      TcxContainer* container = Container();
      if (!container || !container->ParentFont()) {
        TObjectPtr<TFont> fresh(Make<TFont>());
        StyleData.Font->Assign(fresh.get());
      }
    }
  } catch (...) {
    --FFontAssignedValueLockCount;
    throw;
  }
  --FFontAssignedValueLockCount;
}

void TcxContainerStyle::ParentFontChanged() { UpdateFont(); }

// ---- the rest of the interface

TFont* TcxContainerStyle::GetVisibleFont() {
  if (TFont* font = Font()) FVisibleFont->Assign(font);
  FVisibleFont->SetColor(TextColor());
  FVisibleFont->SetStyle(TextStyle());
  return FVisibleFont;
}

bool TcxContainerStyle::HasBorder() { return IsBaseStyle() ? true : FParentStyle->HasBorder(); }

bool TcxContainerStyle::GetStyleValue(const String& APropertyName, TcxContainerStyleValue& AStyleValue) {
  String name;
  for (int i = 0; i < GetStyleValueCount(); ++i)
    if (GetStyleValueName(i, name) && SameText(name, APropertyName)) {
      AStyleValue = i;
      return true;
    }
  return false;
}

bool TcxContainerStyle::GetStyleValueName(TcxContainerStyleValue AStyleValue, String& AName) {
  if (AStyleValue < 0 || AStyleValue >= cxContainerStyleValueCount) {
    AName.clear();
    return false;
  }
  AName = kStyleValueNames[AStyleValue];
  return true;
}

TcxContainerStyleValues TcxContainerStyle::HiddenExtendedStyleValues() { return kHiddenExtendedValues; }

bool TcxContainerStyle::IsExtendedStylePropertyPublished(const String& APropertyName) {
  if (SameText(APropertyName, L"LookAndFeel") || SameText(APropertyName, L"StyleController")) return false;
  TcxContainerStyleValue value = 0;
  if (!GetStyleValue(APropertyName, value)) return true;
  return value >= 32 || !HiddenExtendedStyleValues().Contains(value);
}

bool TcxContainerStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  return AValue >= csvBorderColor && AValue <= csvTextStyle && FindAssignedStyle(AValue) != nullptr;
}

bool TcxContainerStyle::IsValueStoredFor(TcxContainerStyleValue AValue) {
  if (!FAssignedValues.Contains(AValue)) return false;
  TcxContainer* container = Container();
  String name;
  GetStyleValueName(AValue, name);
  return !container || container->IsStylePropertyPublished(name, !IsBaseStyle());
}

void TcxContainerStyle::DefineProperties(TFiler* Filer) {
  TcxInterfacedPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      L"IsFontAssigned", [this](TReader* reader) {
        reader->ReadBoolean();
        SetValueAssigned(csvFont);
      },
      [](TWriter* writer) { writer->WriteBoolean(true); }, IsValueStoredFor(csvFont));
}

void TcxContainerStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxContainerStyle*>(Source);
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    if (IsBaseStyle()) {
      SetStyleController(source->StyleController());
      FLookAndFeel->Assign(source->LookAndFeel());
    }
    FBorderColor = source->FBorderColor;
    FBorderStyle = source->FBorderStyle;
    FEdges = source->FEdges;
    FHotTrack = source->FHotTrack;
    FShadow = source->FShadow;
    FTransparentBorder = source->FTransparentBorder;
    StyleData.Color = source->StyleData.Color;
    if (FDirectAccessMode) {
      StyleData.Font = source->Font();
      StyleData.FontColor = source->TextColor();
    } else {
      if (IsBaseStyle() && StyleData.Font && source->Font()) {
        StyleData.Font->Assign(source->Font());
        if (source->DirectAccessMode()) StyleData.Font->SetColor(source->TextColor());
      }
      StyleData.FontColor = source->TextColor();
      FTextStyle = source->TextStyle();
    }
    FAssignedValues = source->AssignedValues();
    MarkModified();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  try {
    SetAssignedValues(TcxContainerStyleValues());
    if (IsBaseStyle()) {
      FLookAndFeel->Reset();
      TcxContainer* container = Container();
      if (container) {
        container->SetParentColor(false);
        container->SetParentFont(true);
      } else if (!FDirectAccessMode && StyleData.Font) {
        ++FFontAssignedValueLockCount;
        TObjectPtr<TFont> fresh(Make<TFont>());
        StyleData.Font->Assign(fresh.get());
        --FFontAssignedValueLockCount;
      }
      if (container && container->PrefersParentColor()) {
        TcxStyleController* controller = ActiveStyleController();
        container->SetParentColor(!(controller && controller->Style()->IsValueAssigned(csvColor)));
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ---------------------------------------------------------------------------
// TcxContainerStyles
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxContainerStyles, TObject, nullptr)
  b.template Constructor<TPersistent*, TcxContainerStyleClass>();
END_CLASS

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass) {
  for (TcxContainerStateItem state : {csNormal, csActive, csDisabled, csHotTrack})
    FStyles[state] = AStyleClass.Create(AOwner, state, state == csNormal ? nullptr : FStyles[csNormal], false);
}

TcxContainerStyles::~TcxContainerStyles() {
  for (int state = csHotTrack; state >= csNormal; --state) FreeAndNil(FStyles[state]);
}

void TcxContainerStyles::RestoreDefaults() {
  for (TcxContainerStyle* style : FStyles) style->RestoreDefaults();
}

void TcxContainerStyles::SetOnChanged(const TNotifyEvent& AValue) {
  for (TcxContainerStyle* style : FStyles) style->OnChanged = AValue;
}

// ---------------------------------------------------------------------------
// TcxStyleController
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxStyleController, TComponent, (ConstructWith<TcxStyleController, TComponent>))
END_CLASS

TcxStyleController::TcxStyleController(TComponent* AOwner) : TComponent(AOwner) { FListeners = Make<TList>(); }

void TcxStyleController::AfterConstruction() {
  TComponent::AfterConstruction();
  FStyles = StylesObjectClass().Create(this, StyleObjectClass());
  FStyles->SetOnChanged(TNotifyEvent::Bind<&TcxStyleController::StyleChanged>(this));
}

void TcxStyleController::BeforeDestruction() {
  FIsDestruction = true;
  TComponent::BeforeDestruction();
  // Each listener drops this controller (and removes itself from the list).
  for (int i = FListeners->Count() - 1; i >= 0; --i) {
    if (i >= FListeners->Count()) continue;
    static_cast<TcxContainerStyle*>(FListeners->Get(i))->HandleControllerFreed(this);
  }
}

TcxStyleController::~TcxStyleController() {
  FIsDestruction = true;
  if (FStyles) FStyles->SetOnChanged(nullptr);
  FreeAndNil(FStyles);
  FreeAndNil(FListeners);
}

TcxContainerStyleClass TcxStyleController::StyleObjectClass() {
  return TcxContainerStyleClass::Of<TcxContainerStyle>();
}

TcxContainerStylesClass TcxStyleController::StylesObjectClass() {
  return TcxContainerStylesClass::Of<TcxContainerStyles>();
}

int TcxStyleController::ListenerCount() const { return FListeners->Count(); }

TcxContainerStyle* TcxStyleController::Listener(int AIndex) const {
  return static_cast<TcxContainerStyle*>(FListeners->Get(AIndex));
}

void TcxStyleController::RestoreStyles() { FStyles->RestoreDefaults(); }

void TcxStyleController::Loaded() {
  TComponent::Loaded();
  StyleChanged(this);
}

void TcxStyleController::RegisterStyleListener(TcxContainerStyle* AStyle) {
  if (!AStyle || FListeners->IndexOf(AStyle) >= 0) return;
  FListeners->Add(AStyle);
  AStyle->LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
}

void TcxStyleController::UnregisterStyleListener(TcxContainerStyle* AStyle) {
  const int index = FListeners->IndexOf(AStyle);
  if (index < 0) return;
  FListeners->Delete(index);
  if (TcxLookAndFeel* lookAndFeel = AStyle->LookAndFeel()) lookAndFeel->SetMasterLookAndFeel(nullptr);
}

void TcxStyleController::StyleChanged(TObject*) {
  if (OnStyleChanged) OnStyleChanged(this);
  if (FIsDestruction) return;
  for (int i = 0; i < FListeners->Count(); ++i) Listener(i)->HandleControllerChange();
}

void TcxStyleController::ScaleFont(int M, int D) {
  TcxStyleController* controller = this;
  for (int depth = 0; controller && depth < kMaxControllerChain; ++depth) {
    TcxContainerStyle* style = controller->Style();
    if (style->FAssignedValues.Contains(csvFont)) {
      if (!controller->FIsFontScaled) {
        controller->FIsFontScaled = true;
        style->Font()->SetSize(MulDiv(style->Font()->Size(), M, D));
      }
      return;
    }
    controller = style->FStyleController;
  }
}
