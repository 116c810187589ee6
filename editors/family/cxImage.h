// The image editor: a picture shown and edited as an editor value (the bytes
// of the graphic's saved stream, Null without a picture), as a standalone
// control and as an editor kind that hosts paint in place. The graphic class
// list, the picture <-> value rule, fitting and centring, the editor's own
// scroll bars, its context menu, clipboard commands and file dialogs.
#pragma once

#include "editors/core/cxEdit.h"
#include "editors/core/cxEditViewData.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include <vector>

class TcxCustomImage;

DECLARE_ENUM(TcxImageTransparency, gtDefault, gtOpaque, gtTransparent)
DECLARE_ENUM(TcxPopupMenuItem, pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom)
using TcxPopupMenuItems = TSet<TcxPopupMenuItem, 7>;

using TcxImageAssignPictureEvent = TClosure<void(TObject* Sender, TPicture* Picture)>;
using TcxImageGraphicClassEvent =
    TClosure<void(TObject* AItem, int ARecordIndex, bool APastingFromClipboard, TClass& AGraphicClass)>;
using TcxImageEditGraphicClassEvent = TClosure<void(TObject* Sender, bool APastingFromClipboard, TClass& AGraphicClass)>;

// ---- graphic classes and values

// The process-wide list of picture classes the editors know by name, built on
// first use: TBitmap, TIcon, TMetafile, TdxPNGImage (when registered by then),
// TJPEGImage.
const std::vector<TClass>& cxImageGraphicClassList();
void cxImageAddGraphicClass(TClass AGraphicClass);
// Case-insensitive; null when the list has no class of that name.
TClass cxImageFindGraphicClass(const String& AClassName);
bool cxIsPictureBlank(TPicture* APicture);
// Loads a byte value into the picture (an optional 8-byte graphic BLOB header
// is skipped); a value without bytes or an empty one clears the picture.
// Returns false, leaving the picture as it was, when the bytes do not load.
bool cxLoadPictureFromValue(TPicture* APicture, TClass AGraphicClass, const Variant& AValue);
// The graphic's saved stream; empty for a missing or blank picture.
AnsiString cxSavePictureToString(TPicture* APicture);
// The largest rectangle of AWidth : AHeight at R's top-left inside R.
TRect cxFitRectProportionally(const TRect& R, int AWidth, int AHeight);

class TcxCustomImageProperties;
bool cxImageNeedsFitting(TcxCustomImageProperties* AProperties, const TSize& APictureSize, const TSize& AAreaSize);

// The six command glyphs of the editor menu, loaded on the first call between
// the module's start-up and shutdown (null when the resources are missing).
TImageList* cxImageMenuImages();

// ---- the context menu's layout

class TcxPopupMenuLayout : public TPersistent {
  DECLARE_CLASS(TcxPopupMenuLayout, TPersistent)
  explicit TcxPopupMenuLayout(TcxCustomImage* AImage);
  ~TcxPopupMenuLayout() override;
  void Assign(TPersistent* Source) override;

  TcxPopupMenuItems MenuItems() const { return FMenuItems; }
  void SetMenuItems(TcxPopupMenuItems Value) { FMenuItems = Value; }
  const String& CustomMenuItemCaption() const { return FCustomMenuItemCaption; }
  void SetCustomMenuItemCaption(const String& Value) { FCustomMenuItemCaption = Value; }
  // Made empty on first read.
  virtual TBitmap* CustomMenuItemGlyph();
  // Null frees the glyph; a bitmap is copied.
  void SetCustomMenuItemGlyph(TBitmap* Value);
  bool HasCustomMenuItemGlyph() const { return FCustomMenuItemGlyph != nullptr; }

 private:
  String FCustomMenuItemCaption;
  TBitmap* FCustomMenuItemGlyph = nullptr;
  TcxCustomImage* FImage;
  TcxPopupMenuItems FMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
};

// ---- properties

class TcxCustomImageProperties : public TcxCustomEditProperties {
  DECLARE_CLASS(TcxCustomImageProperties, TcxCustomEditProperties)
  explicit TcxCustomImageProperties(TPersistent* AOwner);
  ~TcxCustomImageProperties() override;
  void Assign(TPersistent* Source) override;

  bool UsesDisplayValue() override { return true; }
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditClass GetContainerClass() const override;
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxEditSpecialFeatures GetSpecialFeatures() override;
  TcxEditSupportedOperations GetSupportedOperations() override;
  bool IsResetEditClass() override { return true; }
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, TObject* AEdit, bool& AError) override;
  TcxDataEditValueSource GetEditValueSource(bool) override { return evsValue; }

  // The first class of the graphic class list.
  TClass DefaultGraphicClass() const;
  // GraphicClass when set; otherwise null, or TBitmap when pasting; then
  // OnGetGraphicClass may change it.
  TClass GetGraphicClass(TObject* AItem, int ARecordIndex, bool APastingFromClipboard = false);

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  const String& CustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const String& Value);
  TClass GraphicClass() const { return FGraphicClass; }
  void SetGraphicClass(TClass Value);
  String GraphicClassName() const;
  // A name in no list leaves the class; an empty name clears it.
  void SetGraphicClassName(const String& Value);
  TcxImageTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TcxImageTransparency Value);
  TcxPopupMenuLayout* PopupMenuLayout() const { return FPopupMenuLayout; }
  void SetPopupMenuLayout(TcxPopupMenuLayout* Value) { FPopupMenuLayout->Assign(Value); }
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  int DefaultHeight() const { return FDefaultHeight; }

  TcxImageAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TcxImageGraphicClassEvent OnGetGraphicClass;

 protected:
  void DefineProperties(TFiler* Filer) override;

 private:
  String FCaption;
  bool FCenter = true;
  String FCustomFilter;
  int FDefaultHeight = 15;
  TClass FGraphicClass = nullptr;
  TcxImageTransparency FGraphicTransparency = gtDefault;
  TcxPopupMenuLayout* FPopupMenuLayout = nullptr;
  bool FProportional = true;
  bool FShowFocusRect = true;
  bool FStretch = false;
};

class TcxImageProperties : public TcxCustomImageProperties {
  DECLARE_CLASS(TcxImageProperties, TcxCustomImageProperties)
  using TcxCustomImageProperties::TcxCustomImageProperties;
};

// ---- view info and view data

class TcxImageViewInfo : public TcxCustomEditViewInfo {
  DECLARE_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo)
  TcxImageViewInfo() = default;
  ~TcxImageViewInfo() override;
  bool HasPaintableContent() override;
  // Where the picture goes for the client rectangle R (fitted, centred or
  // scrolled).
  TRect PictureRect(const TRect& R);
  // Forgets the picture scaled to its painted size (the picture or its look changed).
  void FreeFittedPicture();
  // The scaled copy the standalone editor repaints from; null before the first fitted paint.
  TBitmap* FittedPicture() const { return FFittedBitmap; }

  bool FFreePicture = false;
  bool ShowFocusRect = false;
  TPoint TopLeft;
  String Caption;
  bool Center = true;
  TPicture* Picture = nullptr;
  bool Proportional = true;
  bool Stretch = false;

 protected:
  void PaintContent(TcxCanvas* ACanvas) override;

 private:
  void DrawGraphic(TcxCanvas* ACanvas, const TRect& R, const TRect& R2);
  void DrawFitted(TcxCanvas* ACanvas, TGraphic* AGraphic, const TRect& R2);
  TBitmap* FTempBitmap = nullptr;
  TBitmap* FFittedBitmap = nullptr;
  TGraphic* FFittedGraphic = nullptr;
};

class TcxImageViewData : public TcxCustomEditViewData {
  DECLARE_CLASS(TcxImageViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;
  void Calculate(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  TSize GetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                           const TcxEditSizeProperties& AEditSizeProperties) override;
  // Loads an in-place value into the view info's own picture.
  void EditValueToDrawValue(const Variant& AEditValue, TcxImageViewInfo* AViewInfo);
  TcxCustomImageProperties* ImageProperties() const { return static_cast<TcxCustomImageProperties*>(Properties); }
};

// ---- the editor

class TcxCustomImage : public TcxCustomEdit {
  DECLARE_CLASS(TcxCustomImage, TcxCustomEdit)
  explicit TcxCustomImage(TComponent* AOwner) : TcxCustomImage(AOwner, false) {}
  TcxCustomImage(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {}
  ~TcxCustomImage() override;

  Variant EditValue() override;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override;
  TcxCustomImageProperties* ActiveImageProperties() {
    return static_cast<TcxCustomImageProperties*>(ActiveProperties());
  }
  TcxCustomImageProperties* ImageProperties() const {
    return static_cast<TcxCustomImageProperties*>(Properties());
  }

  TPicture* Picture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  Word ClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(Word Value) { FClipboardFormat = Value; }
  bool Focused() override;
  TcxImageViewInfo* ImageViewInfo() const { return static_cast<TcxImageViewInfo*>(EditViewInfo()); }

  // The clipboard and file commands.
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void LoadFromFile();
  void SaveToFile();
  // Loads a picture file as the editor's graphic class asks; the platform's
  // choice by extension only when the editor names no class. Raises when the
  // file does not load; the picture is kept then.
  void LoadPictureFile(const String& AFileName);

  // The editor menu (made on first use, null before).
  TPopupMenu* EditPopupMenu() const { return FEditPopupMenu; }
  // Fills the menu's captions, visibility and enabled states.
  void PrepareEditPopupMenu();

  TcxImageEditGraphicClassEvent OnGetGraphicClass;

 protected:
  void InitializeEdit() override;
  void StoreEditValue(const Variant& AValue, bool AFlag) override;
  void HandlePropertiesChanged(TObject* Sender) override;
  bool ShouldFireAfterKeyDown(Word Key, TShiftState Shift) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  bool HasOwnScrollBars() override { return true; }
  bool LookChangedByMouse(const TcxContainerLook& ABefore) override;
  bool PaintsThroughBuffer() override;
  void CalcScrollBarParams() override;
  void HandleScroll(TScrollBarKind AKind, TScrollCode AScrollCode, int& APos) override;
  void RecalcScrollBars() override;
  TcxContainerViewInfoClass ContainerViewInfoClass() override;

  virtual bool ClipboardHasPicture();
  virtual void RunCustomMenuAction();
  TClass ResolveGraphicClass(bool APastingFromClipboard);

 private:
  void PictureChanged(TObject* Sender);
  void ClearPicture();
  void MenuItemClick(TObject* Sender);
  void ExecuteMenuAction(TcxPopupMenuItem AItem);
  String GetDialogFilter(TClass AGraphicClass);
  void UpdateViewOrigin();
  void ResetScrollPosition();
  template <class F>
  void AsUserCommand(F AAction);

  Word FClipboardFormat = 0;
  TPopupMenu* FEditPopupMenu = nullptr;
  bool FInternalChanging = false;
  bool FIsDialogShowed = false;
  TPicture* FPicture = nullptr;
};

class TcxImage : public TcxCustomImage {
  DECLARE_CLASS(TcxImage, TcxCustomImage)
  using TcxCustomImage::TcxCustomImage;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override;
  TcxImageProperties* Properties() const { return static_cast<TcxImageProperties*>(TcxCustomEdit::Properties()); }
};

void cxImageInitialize();
void cxImageFinalize();
