#include "bars/model/dxBarItemActions.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarRoutines.h"

#include "platform/core/Exceptions.h"

// ---------------------------------------------------------------------------
// TdxBarItemActionLink
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarItemActionLink, TActionLink, (ConstructWith<TdxBarItemActionLink, TObject>))

TdxBarItemActionLink::TdxBarItemActionLink(TObject* AClient) : TActionLink(AClient) {}

void TdxBarItemActionLink::AssignClient(TObject* AClient) {
  FClient = dynamic_cast<TdxBarItem*>(AClient);
  if (!FClient) throw EInvalidCast(L"Invalid class typecast");
}

namespace {

TdxBarButton* AsButton(TdxBarItem* AItem) { return dynamic_cast<TdxBarButton*>(AItem); }

}  // namespace

bool TdxBarItemActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}

bool TdxBarItemActionLink::IsCheckedLinked() {
  TdxBarButton* button = AsButton(FClient);
  return TActionLink::IsCheckedLinked() && button && button->Down() == CustomAction()->Checked();
}

bool TdxBarItemActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TdxBarItemActionLink::IsHelpContextLinked() {
  return TActionLink::IsHelpContextLinked() && FClient->HelpContext() == CustomAction()->HelpContext();
}

bool TdxBarItemActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() &&
         (FClient->Hint() == CustomAction()->Hint() || FClient->HintMatchesCaption());
}

bool TdxBarItemActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient->EditableImageIndex() == CustomAction()->ImageIndex();
}

bool TdxBarItemActionLink::IsShortCutLinked() {
  return TActionLink::IsShortCutLinked() && FClient->ShortCut() == CustomAction()->ShortCut();
}

bool TdxBarItemActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && dxBarVisibleFromBoolean(CustomAction()->Visible()) == FClient->Visible();
}

bool TdxBarItemActionLink::IsOnExecuteLinked() {
  // Only the code is compared: the same handler bound to another object
  // still counts as the action's own.
  return TActionLink::IsOnExecuteLinked() &&
         FClient->OnClick.Method().Code == Action()->OnExecute.Method().Code;
}

void TdxBarItemActionLink::SetCaption(const String& AValue) {
  if (IsCaptionLinked()) FClient->SetCaption(AValue);
}

void TdxBarItemActionLink::SetChecked(bool AValue) {
  if (IsCheckedLinked()) AsButton(FClient)->SetDown(AValue);
}

void TdxBarItemActionLink::SetEnabled(bool AValue) {
  if (IsEnabledLinked()) FClient->SetEnabled(AValue);
}

void TdxBarItemActionLink::SetHelpContext(THelpContext AValue) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(AValue);
}

void TdxBarItemActionLink::SetHint(const String& AValue) {
  if (IsHintLinked()) FClient->SetHint(AValue);
}

void TdxBarItemActionLink::SetImageIndex(int AValue) {
  if (IsImageIndexLinked()) FClient->AssignEditableImageIndex(AValue);
}

void TdxBarItemActionLink::SetShortCut(TShortCut AValue) {
  if (IsShortCutLinked()) FClient->SetShortCut(AValue);
}

void TdxBarItemActionLink::SetVisible(bool AValue) {
  if (IsVisibleLinked()) FClient->SetVisible(dxBarVisibleFromBoolean(AValue));
}

void TdxBarItemActionLink::SetOnExecute(const TNotifyEvent& AValue) {
  if (IsOnExecuteLinked()) FClient->OnClick = AValue;
}

// ---------------------------------------------------------------------------
// Font snapshots
// ---------------------------------------------------------------------------

bool dxBarFontDataDiffers(const TFontData& AFontData, TFont* AFont) {
  const TFontData& font = AFont->Data();
  return AFontData.Height != font.Height || AFontData.Orientation != font.Orientation ||
         AFontData.Pitch != font.Pitch || AFontData.Style != font.Style || AFontData.Charset != font.Charset ||
         AFontData.Name != font.Name;
}

void dxBarSaveFontData(TFontData& AFontData, TFont* AFont) { AFontData = AFont->Data(); }

// ---------------------------------------------------------------------------
// TdxBarItemStylesData
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarItemStylesData, TcxInterfacedPersistent, nullptr)

TdxBarItemStylesData::TdxBarItemStylesData(TPersistent* AOwner, int AStyleCount)
    : TcxInterfacedPersistent(AOwner), FStyleCount(AStyleCount < 0 ? 0 : AStyleCount), FStylesData(FStyleCount) {}

TdxBarItemStylesData::~TdxBarItemStylesData() {
  FIsDestroying = true;
  for (int i = 0; i < FStyleCount; ++i) SetStyle(i, nullptr);
}

void TdxBarItemStylesData::CheckIndex(int AIndex) const {
  if (AIndex < 0 || AIndex >= FStyleCount) throw EListError(L"List index out of bounds (" + std::to_wstring(AIndex) + L")");
}

TcxStyle* TdxBarItemStylesData::GetStyle(int AIndex) const {
  return AIndex >= 0 && AIndex < FStyleCount ? FStylesData[AIndex].Style : nullptr;
}

int TdxBarItemStylesData::UseCount(TcxStyle* AStyle) const {
  int count = 0;
  for (const TdxBarItemStyleData& data : FStylesData)
    if (data.Style == AStyle) ++count;
  return count;
}

void TdxBarItemStylesData::SetStyle(int AIndex, TcxStyle* AStyle) {
  CheckIndex(AIndex);
  TcxStyle* old = FStylesData[AIndex].Style;
  if (old == AStyle) return;
  FStylesData[AIndex].Style = AStyle;
  if (old && UseCount(old) == 0) old->RemoveListener(this);
  if (AStyle && UseCount(AStyle) == 1) AStyle->AddListener(this);
  UpdateSnapshot(AIndex);
}

void TdxBarItemStylesData::UpdateSnapshot(int AIndex) {
  if (FIsDestroying) return;
  TdxBarItemStyleData& data = FStylesData[AIndex];
  TcxStyle* style = data.Style;
  const TcxStyleValues oldValues = data.AssignedValues;
  const TcxStyleValues newValues = style ? style->AssignedValues() : TcxStyleValues();
  auto changed = [&](TcxStyleValue AValue, auto&& ADiffers) {
    const bool was = oldValues.Contains(AValue);
    const bool now = newValues.Contains(AValue);
    return (was || now) && (!was || !now || ADiffers());
  };
  const bool colorChanged =
      changed(svColor, [&] { return ColorToRGB(data.Color) != ColorToRGB(style->Color()); });
  const bool fontChanged = changed(svFont, [&] { return dxBarFontDataDiffers(data.FontData, style->Font()); });
  const bool textColorChanged =
      changed(svTextColor, [&] { return ColorToRGB(data.TextColor) != ColorToRGB(style->TextColor()); });

  data.AssignedValues = newValues;
  if (newValues.Contains(svColor)) data.Color = style->Color();
  if (newValues.Contains(svFont)) dxBarSaveFontData(data.FontData, style->Font());
  if (newValues.Contains(svTextColor)) data.TextColor = style->TextColor();

  if (fontChanged)
    NotifyChange(sckStructure);
  else if (colorChanged || textColorChanged)
    NotifyChange(sckDrawing);
}

template <class F>
void TdxBarItemStylesData::Locked(F&& AWork) {
  LockChanges(true);
  try {
    AWork();
  } catch (...) {
    // The lock closes; what the first failure left pending is still reported,
    // but the first failure is the one that passes on.
    try {
      LockChanges(false);
    } catch (...) {
    }
    throw;
  }
  LockChanges(false);
}

void TdxBarItemStylesData::NotifyStyleChanged(TcxCustomStyle* AStyle) {
  Locked([&] {
    for (int i = 0; i < FStyleCount; ++i)
      if (FStylesData[i].Style == AStyle) UpdateSnapshot(i);
  });
}

void TdxBarItemStylesData::NotifyStyleRemoved(TcxCustomStyle* AStyle) {
  Locked([&] {
    for (int i = 0; i < FStyleCount; ++i)
      if (FStylesData[i].Style == AStyle) SetStyle(i, nullptr);
  });
}

void TdxBarItemStylesData::LockChanges(bool ALock) {
  if (ALock) {
    if (FChangeEventLockCount++ == 0) FChangeKind = sckNone;
    return;
  }
  if (FChangeEventLockCount == 0) return;
  if (--FChangeEventLockCount == 0 && FChangeKind != sckNone) NotifyChange(FChangeKind);
}

void TdxBarItemStylesData::NotifyChange(TdxBarItemStyleChangeKind AKind) {
  if (FChangeEventLockCount > 0) {
    if (AKind != FChangeKind && (FChangeKind == sckDrawing || FChangeKind == sckNone)) FChangeKind = AKind;
    return;
  }
  if (OnChange) OnChange(AKind);
}
