// Menus on the system's menu handles: shortcuts and their texts, menu items
// (a tree of components streamed as children of their menu), popup menus
// shown with TrackPopupMenuEx, and the minimal main menu.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/OwnerDrawState.h"
#include "platform/gui/ShiftState.h"

#include <vector>

class TBitmap;
class TCanvas;
class TChangeLink;
class TCustomImageList;
class TMenu;
class TMenuItem;
class TPopupMenu;
struct TWMKey;

DECLARE_EXCEPTION(EMenuError, Exception)

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

// A shortcut is a virtual-key code in the low byte plus modifier bits.
enum : TShortCut { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

// ssShift, ssCtrl and ssAlt of `Shift` become the modifier bits; 0 when `Key`
// does not fit the low byte.
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ins", "Alt+F4", "F1", "Num +"; modifiers in the order
// Shift+, Ctrl+, Alt+. Empty for 0 and for a key that has no name.
String ShortCutToText(TShortCut ShortCut);
// The inverse, case-insensitive; 0 for text that names no shortcut.
TShortCut TextToShortCut(const String& Text);

// ---------------------------------------------------------------------------
// Menu items
// ---------------------------------------------------------------------------

DECLARE_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak)
// maAutomatic: the menu gives items without an accelerator one of their own
// letters when it builds its handle; maParent: as the parent item or menu.
DECLARE_ENUM(TMenuAutoFlag, maAutomatic, maManual, maParent)
using TMenuItemAutoFlag = TMenuAutoFlag;
DECLARE_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
DECLARE_ENUM(TTrackButton, tbRightButton, tbLeftButton)
DECLARE_ENUM(TFindItemKind, fkCommand, fkHandle, fkShortCut)

// Rebuild: the item's handle structure changed, not only its look.
using TMenuChangeEvent = TClosure<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;
using TMenuDrawItemEvent = TClosure<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TClosure<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TClosure<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// The link of a menu item to its action.
class TMenuActionLink : public TActionLink {
  DECLARE_CLASS(TMenuActionLink, TActionLink)
  explicit TMenuActionLink(TObject* AClient);

  bool IsAutoCheckLinked() override;
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;

  void SetAutoCheck(bool value) override;
  void SetCaption(const String& value) override;
  void SetChecked(bool value) override;
  void SetEnabled(bool value) override;
  void SetGroupIndex(int value) override;
  void SetHelpContext(THelpContext value) override;
  void SetHint(const String& value) override;
  void SetImageIndex(int value) override;
  void SetShortCut(TShortCut value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

 protected:
  void AssignClient(TObject* AClient) override;
  TMenuItem* FClient = nullptr;
};

// One entry of a menu; its children make a sub-menu. The menu's root item
// (TMenu::Items) holds the top-level entries. Every item owns a command id
// for its lifetime; an item with children owns the sub-menu handle built
// from them.
class TMenuItem : public TComponent {
  DECLARE_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // --- the tree -----------------------------------------------------------
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EMenuError for an index out of range.
  TMenuItem* Items(int index) const;
  TMenuItem* operator[](int index) const { return Items(index); }
  TMenuItem* Parent() const { return parent_; }
  // Raises EMenuError for an item that already has a parent, for the item
  // itself or one of its ancestors, and for an index out of range.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the child out without freeing it.
  void Delete(int index);
  void Remove(TMenuItem* item);
  // Frees every child.
  void Clear();
  int IndexOf(TMenuItem* item) const;
  // The child whose caption without accelerator marks equals `ACaption`
  // (case-insensitive), null when none.
  TMenuItem* Find(const String& ACaption) const;
  int MenuIndex() const;
  void SetMenuIndex(int value);
  // The menu whose tree holds the item, null when none.
  TMenu* ParentMenu() const;
  // Separator: the caption is "-".
  bool IsLine() const { return caption_ == L"-"; }

  // --- the handle ---------------------------------------------------------
  // The sub-menu built from the visible children (created on first use and
  // rebuilt when they change); only items with children have one.
  HMENU Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  // The WM_COMMAND id of the item.
  UINT Command() const { return command_; }
  // The item (this one or below) with the given command id, sub-menu handle
  // or shortcut; null when none.
  TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind);

  // --- behaviour ----------------------------------------------------------
  // Toggles Checked when AutoCheck; then OnClick unless it is the action's
  // own OnExecute, else the action.
  virtual void Click();
  // Lets the action update the item's state before it is shown.
  virtual void InitiateAction();
  // Size of an owner-drawn item: OnMeasureItem, else the default measure.
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  // Paints an owner-drawn item: OnAdvancedDrawItem / OnDrawItem, else the
  // default painting.
  virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

  // --- properties -----------------------------------------------------------
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TMenuActionLink* ActionLink() const { return actionLink_; }
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool value);
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* value);
  bool HasBitmap() const;
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak value);
  const String& Caption() const { return caption_; }
  void SetCaption(const String& value);
  bool Checked() const { return checked_; }
  // Checking a radio item of a group unchecks its siblings of the group.
  void SetChecked(bool value);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext value) { helpContext_ = value; }
  const String& Hint() const { return hint_; }
  void SetHint(const String& value) { hint_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // Images of the sub-menu of this item (instead of the menu's).
  TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TCustomImageList* value);
  // The caption with the accelerator the menu gives it (see TMenuAutoFlag).
  String DisplayCaption() const;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

  // --- streaming and notifications ----------------------------------------
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  bool HasParent() override;
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* value) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  // Tells the parent (and so the menu) that this item changed.
  void MenuChanged(bool Rebuild);

  // Whether the item is drawn by the library (owner-draw menu, images or a
  // bitmap) rather than by the system.
  bool IsOwnerDraw() const;
  // The images that apply to this item: the parent's SubMenuImages, else the
  // menu's Images.
  TCustomImageList* ImageList() const;

 protected:
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  bool IsCaptionStored() const;
  bool IsCheckedStored() const;
  bool IsEnabledStored() const;
  bool IsHintStored() const;
  bool IsImageIndexStored() const;
  bool IsShortCutStored() const;
  bool IsVisibleStored() const;
  bool IsHelpContextStored() const;
  bool IsGroupIndexStored() const;
  bool IsAutoCheckStored() const;
  bool IsOnClickStored() const;

 private:
  friend class TMenu;
  friend class TMenuActionLink;
  void DoActionChange(TObject* Sender);
  // Refills the handle (when there is one) from the visible children.
  void RebuildHandle();
  // The same for every handle of the subtree.
  void RebuildTree();
  void ReleaseHandle();
  void TurnSiblingsOff();
  void BitmapChanged(TObject* Sender);

  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;            // set on the root item of a menu
  TMenuActionLink* actionLink_ = nullptr;
  TBitmap* bitmap_ = nullptr;
  TCustomImageList* subMenuImages_ = nullptr;
  HMENU handle_ = nullptr;
  String caption_;
  String hint_;
  UINT command_ = 0;
  THelpContext helpContext_ = 0;
  int groupIndex_ = 0;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  TMenuBreak break_ = mbNone;
  TMenuAutoFlag autoHotkeys_ = maParent;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  bool autoCheck_ = false;
};

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

class TMenu : public TComponent {
  DECLARE_CLASS(TMenu, TComponent)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; its children are the menu's entries.
  TMenuItem* Items() const { return items_; }
  // The menu's own handle (popup or menu bar), built from Items.
  virtual HMENU Handle();
  // The window that receives the menu's messages: a main menu's form, a
  // popup menu's popup-list window unless one was set.
  virtual HWND WindowHandle() { return windowHandle_; }
  void SetWindowHandle(HWND value);

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag value);

  // Routing of the window messages of a menu: WM_COMMAND ids, the sub-menu
  // about to open (WM_INITMENUPOPUP) and owner-draw requests.
  bool DispatchCommand(UINT ACommand);
  bool DispatchPopup(HMENU AHandle);
  TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind);
  // Runs the item whose shortcut is the key message's (after letting the
  // actions update); true when one ran.
  bool IsShortCut(TWMKey& Message);
  bool IsShortCut(TShortCut shortCut);
  // WM_MEASUREITEM / WM_DRAWITEM of an owner-drawn item of this menu; false
  // when the item is not one of this menu's.
  bool MeasureItem(MEASUREITEMSTRUCT& mis);
  bool DrawItem(const DRAWITEMSTRUCT& dis);

  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  void Loaded() override;

  TMenuChangeEvent OnChange;

 protected:
  // The handle of the root item is created by the menu kind.
  virtual HMENU CreateMenuHandle();
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  friend class TMenuItem;

 private:
  void ImageListChange(TObject* Sender);

  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
  // Re-measures the items when the images change size.
  TChangeLink* imageChangeLink_;
  HWND windowHandle_ = nullptr;
  TMenuAutoFlag autoHotkeys_ = maAutomatic;
  bool ownerDraw_ = false;
};

// A menu bar for a form's window (the form sets WindowHandle and calls
// SetMenu with Handle).
class TMainMenu : public TMenu {
  DECLARE_CLASS(TMainMenu, TMenu)
  explicit TMainMenu(TComponent* AOwner);

 protected:
  HMENU CreateMenuHandle() override;
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;
};

class TPopupMenu : public TMenu {
  DECLARE_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu at the screen point and returns when it closes; the
  // chosen item's Click runs from the message queue afterwards (WM_COMMAND
  // to the popup list's window). Freeing the menu while it is shown (from a
  // timer, say) closes it.
  virtual void Popup(int X, int Y);
  // Where the menu was last shown.
  TPoint PopupPoint() const { return popupPoint_; }

  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment value) { alignment_ = value; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext value) { helpContext_ = value; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value);
  TTrackButton TrackButton() const { return trackButton_; }
  void SetTrackButton(TTrackButton value) { trackButton_ = value; }

  // The window set with SetWindowHandle, else the popup list's (made on
  // first use).
  HWND WindowHandle() override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  TNotifyEvent OnPopup;
  // Fired after the menu closed (before the chosen item's click runs).
  TNotifyEvent OnClose;

 protected:
  HMENU CreateMenuHandle() override;
  virtual void DoPopup(TObject* Sender);
  virtual void DoClose();

 private:
  TComponent* popupComponent_ = nullptr;
  // Set while Popup runs, so that it notices the menu being freed meanwhile.
  bool* destroyedFlag_ = nullptr;
  TPoint popupPoint_;
  THelpContext helpContext_ = 0;
  TPopupAlignment alignment_ = paLeft;
  TTrackButton trackButton_ = tbRightButton;
  bool autoPopup_ = true;
};

// The live popup menus and the hidden window that owns them while they are
// shown and receives their WM_COMMAND, WM_INITMENUPOPUP, WM_MENUSELECT and
// owner-draw messages.
class TPopupList {
 public:
  int Count() const { return static_cast<int>(menus_.size()); }
  TPopupMenu* Items(int index) const { return menus_.at(index); }
  void Add(TPopupMenu* menu);
  void Remove(TPopupMenu* menu);
  // Created on first use, destroyed by MenusFinalize.
  HWND Window();
  // The popup's message handling: true when one of the live menus took it.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void DestroyWindow();

 private:
  std::vector<TPopupMenu*> menus_;
  HWND window_ = nullptr;
};
TPopupList& PopupList();

// Building menus in code.
TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, THelpContext hCtx, const String& AName);
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const String& ACaption, THelpContext hCtx, const String& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled = true);

// Process-wide state: the command-id pool and the popup list.
void MenusInitialize();
void MenusFinalize();
