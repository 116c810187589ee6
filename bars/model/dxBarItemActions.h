// The two helpers every bar item owns: the link to a platform action (which
// of the item's properties still follow the action, and carrying the
// action's changes into the item), and the item's style slots, which tell
// the item whether a style change needs its controls rebuilt or repainted.
#pragma once

#include "foundation/cxClassesComponents.h"
#include "foundation/cxStyles.h"
#include "platform/gui/ActnList.h"

#include <vector>

class TdxBarItem;

// The item's link to a TCustomAction. A property is linked while the item
// still shows the action's value; a linked property is not stored with the
// item and takes the action's changes.
class TdxBarItemActionLink : public TActionLink {
  DECLARE_CLASS(TdxBarItemActionLink, TActionLink)
  explicit TdxBarItemActionLink(TObject* AClient);

  TdxBarItem* Client() const { return FClient; }

  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;

  void SetCaption(const String& AValue) override;
  void SetChecked(bool AValue) override;
  void SetEnabled(bool AValue) override;
  void SetHelpContext(THelpContext AValue) override;
  void SetHint(const String& AValue) override;
  void SetImageIndex(int AValue) override;
  void SetShortCut(TShortCut AValue) override;
  void SetVisible(bool AValue) override;
  void SetOnExecute(const TNotifyEvent& AValue) override;

 protected:
  // Raises EInvalidCast for a client that is not a bar item.
  void AssignClient(TObject* AClient) override;

 private:
  TdxBarItem* FClient = nullptr;
};

// What a style change means for the item's controls.
DECLARE_ENUM(TdxBarItemStyleChangeKind, sckDrawing, sckStructure, sckNone)
using TdxBarItemStylesDataChangeEvent = TClosure<void(TdxBarItemStyleChangeKind AKind)>;

// One style slot with the values the style had when it was last seen.
struct TdxBarItemStyleData {
  TcxStyleValues AssignedValues;
  TColor Color = clDefault;
  TFontData FontData;
  TColor TextColor = clDefault;
  TcxStyle* Style = nullptr;
};

// Whether the font differs from the saved data in height, orientation,
// pitch, style, character set or name.
bool dxBarFontDataDiffers(const TFontData& AFontData, TFont* AFont);
void dxBarSaveFontData(TFontData& AFontData, TFont* AFont);

// The styles of an item (Style, and StyleEdit of edits), a fixed number of
// slots. A style held by several slots is listened to once.
class TdxBarItemStylesData : public TcxInterfacedPersistent, public IcxStyleChangeListener {
  DECLARE_CLASS(TdxBarItemStylesData, TcxInterfacedPersistent)
  TdxBarItemStylesData(TPersistent* AOwner, int AStyleCount);
  ~TdxBarItemStylesData() override;

  int StyleCount() const { return FStyleCount; }
  // Nil for an index out of range.
  TcxStyle* GetStyle(int AIndex) const;
  void SetStyle(int AIndex, TcxStyle* AStyle);
  // How many slots hold the style.
  int UseCount(TcxStyle* AStyle) const;
  const TdxBarItemStyleData& StyleData(int AIndex) const { return FStylesData.at(AIndex); }

  // While locked, changes collect into one report when the last lock closes;
  // a structure change, once pending, outweighs drawing changes.
  void LockChanges(bool ALock);
  void NotifyChange(TdxBarItemStyleChangeKind AKind);

  void NotifyStyleChanged(TcxCustomStyle* AStyle) override;
  void NotifyStyleRemoved(TcxCustomStyle* AStyle) override;

  TdxBarItemStylesDataChangeEvent OnChange;

 private:
  void CheckIndex(int AIndex) const;
  // Compares the slot's snapshot with its style, saves the style's values
  // and reports what the difference means.
  void UpdateSnapshot(int AIndex);
  template <class F>
  void Locked(F&& AWork);

  int FChangeEventLockCount = 0;
  TdxBarItemStyleChangeKind FChangeKind = sckNone;
  bool FIsDestroying = false;
  int FStyleCount;
  std::vector<TdxBarItemStyleData> FStylesData;
};
