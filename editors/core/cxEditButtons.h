// Edit buttons: the settings of one button inside an editor's frame
// (TcxEditButton), the ordered collection of them that editor properties
// own (TcxEditButtons), and the computed drawing data of one visible button
// (TcxEditButtonViewInfo).
#pragma once

#include "platform/core/Components.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/StdCtrls.h"

class TcxRegion;

DECLARE_ENUM(TcxEditButtonKind, bkEllipsis, bkDown, bkGlyph, bkText)
DECLARE_ENUM(TcxEditButtonState, ebsDisabled, ebsNormal, ebsPressed, ebsSelected)
DECLARE_ENUM(TcxEditButtonStyle, btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11)

class TcxEditButton : public TCollectionItem {
  DECLARE_CLASS(TcxEditButton, TCollectionItem)
  explicit TcxEditButton(TCollection* Collection);
  ~TcxEditButton() override;
  void Assign(TPersistent* Source) override;

  const String& Caption() const { return FCaption; }
  // Also sets VisibleCaption: the caption without accelerator marks.
  void SetCaption(const String& Value);
  TAlignment ContentAlignment() const { return FContentAlignment; }
  void SetContentAlignment(TAlignment Value);
  bool Default() const { return FDefault; }
  // True clears Default on every other button first.
  void SetDefault(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Made on first read; assigning null frees it.
  TBitmap* Glyph();
  TBitmap* GlyphIfAny() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  TcxEditButtonKind Kind() const { return FKind; }
  void SetKind(TcxEditButtonKind Value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool Stretchable() const { return FStretchable; }
  void SetStretchable(bool Value);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const String& VisibleCaption() const { return FVisibleCaption; }
  int Width() const { return FWidth; }
  // A negative width is ignored; 0 is the automatic width.
  void SetWidth(int Value);

 private:
  void GlyphChanged(TObject* Sender);
  void SetAndSignal(bool& AField, bool AValue);

  String FCaption;
  TAlignment FContentAlignment = taCenter;
  bool FDefault = false;
  bool FEnabled = true;
  TBitmap* FGlyph = nullptr;
  String FHint;
  TcxEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FStretchable = true;
  int FTag = 0;
  TColor FTextColor = clBtnText;
  bool FVisible = true;
  String FVisibleCaption;
  int FWidth = 0;
};

using TcxEditButtonClass = TClass;

class TcxEditButtons : public TOwnedCollection {
  DECLARE_CLASS(TcxEditButtons, TOwnedCollection)
  TcxEditButtons(TPersistent* AOwner, TcxEditButtonClass AButtonClass);

  static TcxEditButtonClass GetButtonClass() { return TcxEditButton::StaticClass(); }
  TcxEditButton* Add() { return static_cast<TcxEditButton*>(TCollection::Add()); }
  TcxEditButton* Items(int AIndex) const { return static_cast<TcxEditButton*>(TCollection::Items(AIndex)); }
  int VisibleCount() const;
  void Update(TCollectionItem* Item) override;

  TNotifyEvent OnChange;
};

struct TcxEditButtonViewInfoData {
  TColor BackgroundColor = clDefault;
  String Caption;
  TAlignment ContentAlignment = taCenter;
  bool Default = false;
  bool Gradient = false;
  String Hint;
  bool IsInplace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  bool Leftmost = false;
  bool NativeStyle = false;
  bool Rightmost = false;
  TcxEditButtonState State = ebsNormal;
  TcxEditButtonStyle Style = btsDefault;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  String VisibleCaption;
  bool BackgroundPartiallyTransparent = false;
  bool ComboBoxStyle = false;
  int NativePart = 0;
  int NativeState = 0;
};

class TcxEditButtonViewInfo : public TPersistent {
  DECLARE_CLASS(TcxEditButtonViewInfo, TPersistent)
  TcxEditButtonViewInfo() = default;

  // Native state, background colour, bounds, style and state.
  void Assign(TPersistent* Source) override;
  // True when style, state, background colour or native state differ from AOld's.
  bool DiffersFrom(const TcxEditButtonViewInfo* AOld) const;
  // An empty region when nothing of the above changed, else the bounds.
  TcxRegion* GetUpdateRegion(const TcxEditButtonViewInfo* AOld) const;
  // Invalidates the bounds moved by AEditPosition when something changed
  // (erasing when HasBackground); answers whether it did.
  bool Repaint(HWND AWindow, const TcxEditButtonViewInfo* AOld, const TPoint& AEditPosition) const;

  TRect Bounds;
  TcxEditButtonViewInfoData Data;
  TBitmap* Glyph = nullptr;  // not owned
  bool HasBackground = false;
  int ButtonIndex = -1;
  bool Stretchable = true;
  TRect VisibleBounds;
  int Width = 0;
};
