// The extra buttons in the caption of a floating toolbar: each has a glyph,
// a hint, a screen tip, a key tip and a click event. The toolbar's window
// places them (their rectangles are in its window coordinates), paints them,
// tracks the mouse over them and clicks them; the buttons keep their state.
#pragma once

#include "foundation/cxClassesComponents.h"
#include "platform/core/Components.h"

class TBitmap;
class TcxFreeNotificator;
class TdxBar;
class TdxBarScreenTip;

class TdxBarCaptionButton : public TcxInterfacedCollectionItem {
  DECLARE_CLASS(TdxBarCaptionButton, TcxInterfacedCollectionItem)
  explicit TdxBarCaptionButton(TCollection* ACollection);
  ~TdxBarCaptionButton() override;
  void Assign(TPersistent* ASource) override;

  // The states a button is in (its State).
  static constexpr int StateNormal = 0;
  static constexpr int StateDisabled = 1;
  static constexpr int StateHot = 2;
  static constexpr int StatePressed = 4;

  class TdxBarCaptionButtons* Buttons() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue);
  TBitmap* Glyph() const { return FGlyph; }
  // Copies the picture.
  void SetGlyph(TBitmap* AValue);
  const String& Hint() const { return FHint; }
  void SetHint(const String& AValue) { FHint = AValue; }
  const String& KeyTip() const { return FKeyTip; }
  void SetKeyTip(const String& AValue) { FKeyTip = AValue; }
  TdxBarScreenTip* ScreenTip() const { return FScreenTip; }
  void SetScreenTip(TdxBarScreenTip* AValue);
  const TRect& Rect() const { return FRect; }
  void SetRect(const TRect& AValue) { FRect = AValue; }
  int State() const { return FState; }
  // A hot button asks its toolbar's window for its hint; any other state withdraws it.
  void SetState(int AValue);
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& AValue);

  // Keyboard navigation has selected the button: it stays hot while the mouse is elsewhere.
  bool SelectedByNavigation() const { return FSelectedByNavigation; }
  void SetSelectedByNavigation(bool AValue) { FSelectedByNavigation = AValue; }
  // Fires OnClick.
  void Click();

 private:
  void GlyphChanged(TObject* Sender);
  void ScreenTipFreed(TComponent* Sender);

  bool FEnabled = true;
  TBitmap* FGlyph = nullptr;
  String FHint;
  String FKeyTip;
  TcxFreeNotificator* FNotifyComponent = nullptr;
  TRect FRect;
  TdxBarScreenTip* FScreenTip = nullptr;
  int FState = StateNormal;
  bool FSelectedByNavigation = false;
  TNotifyEvent FOnClick;
};

class TdxBarCaptionButtons : public TcxOwnedInterfacedCollection {
  DECLARE_CLASS(TdxBarCaptionButtons, TcxOwnedInterfacedCollection)
  explicit TdxBarCaptionButtons(TdxBar* ABar);

  TdxBar* Bar() const { return FBar; }
  TdxBarCaptionButton* Add();
  TdxBarCaptionButton* Items(int AIndex) const { return static_cast<TdxBarCaptionButton*>(TCollection::Items(AIndex)); }
  // The union of the placed buttons' rectangles; empty when none is placed.
  TRect Rect() const;
  // The first enabled button whose rectangle holds the point (window
  // coordinates of the toolbar), -1 when none.
  int IndexOfButtonAt(const TPoint& APoint) const;
  // The mouse moved or was pressed at APoint: every enabled button under it
  // (or selected by the keyboard) becomes hot or pressed, the others normal.
  void UpdateButtonStates(const TPoint& AMousePos, bool AMousePressed);
  // A change repaints the frame of the toolbar's window.
  void Update(TCollectionItem* AItem) override;

 private:
  TdxBar* FBar;
};
