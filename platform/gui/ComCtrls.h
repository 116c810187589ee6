// Common controls of the platform class library, on the comctl32 window
// classes: the page control with its tab sheets, the tree view with its
// nodes, and the toolbar with its buttons.
//
// The tree view keeps its nodes as objects of its own and mirrors them into
// the window, so nodes can be made before the window exists and survive its
// recreation. The toolbar's buttons are windowless child controls whose
// native counterparts the toolbar keeps in step; the toolbar draws them.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"

#include <vector>

class TPopupMenu;
class TMenuItem;
class TPageControl;
class TTreeNode;
class TTreeNodes;
class TCustomTreeView;
class TToolBar;

// ---------------------------------------------------------------------------
// TCustomTabControl
// ---------------------------------------------------------------------------

DECLARE_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
DECLARE_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)
using TTabChangingEvent = TClosure<void(TObject* Sender, bool& AllowChange)>;

// The native tab control; descendants say which tabs it shows.
class TCustomTabControl : public TWinControl {
  DECLARE_CLASS(TCustomTabControl, TWinControl)
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // The children lie in the display area below (or beside) the tabs.
  void AdjustClientRect(TRect& Rect) override;
  // The client area without the tabs and the frame.
  TRect DisplayRect();
  void Notification(TComponent* AComponent, TOperation operation) override;

  // The selected tab, -1 for none.
  int TabIndex();
  void SetTabIndex(int value);
  // Tab at a client point, -1 for none.
  int IndexOfTabAt(int X, int Y);
  TRect TabRect(int Index);
  int RowCount();

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  bool RaggedRight() const { return raggedRight_; }
  void SetRaggedRight(bool value);
  bool ScrollOpposite() const { return scrollOpposite_; }
  void SetScrollOpposite(bool value);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle value);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition value);
  // 0: the tabs take their captions' size.
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 protected:
  // OnChanging decides whether the user may leave the selected tab.
  virtual bool CanChange();
  // The user selected another tab.
  virtual void Change();
  // Puts the descendant's tabs into the window (after it is made).
  virtual void UpdateTabs() {}
  // Native tab items: text, image and the item's data.
  void InsertTab(int Index, const String& Caption, int ImageIndex, LPARAM Data);
  void DeleteAllTabs();
  void SetTabText(int Index, const String& Caption);
  void SetTabImage(int Index, int ImageIndex);

  void CNNotify(TWMNotify& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TWMKey& Message);

  int tabIndex_ = -1;   // kept while there is no window

 private:
  void ImageListChange(TObject* Sender);
  void UpdateTabSize();
  TCustomImageList* images_ = nullptr;
  TChangeLink* imageChangeLink_;
  TTabStyle style_ = tsTabs;
  TTabPosition tabPosition_ = tpTop;
  int tabHeight_ = 0;
  int tabWidth_ = 0;
  bool hotTrack_ = false;
  bool multiLine_ = false;
  bool raggedRight_ = false;
  bool scrollOpposite_ = false;
};

// ---------------------------------------------------------------------------
// TTabSheet, TPageControl
// ---------------------------------------------------------------------------

class TTabSheet : public TWinControl {
  DECLARE_CLASS(TTabSheet, TWinControl)
  explicit TTabSheet(TComponent* AOwner);
  void BeforeDestruction() override;

  void CreateParams(TCreateParams& Params) override;
  // Joining a page control as parent makes the sheet one of its pages.
  void SetParent(TWinControl* AParent) override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* value);
  // Position among the page control's pages.
  int PageIndex() const;
  void SetPageIndex(int value);
  // Position among the visible tabs, -1 when the tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool value);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  virtual void DoShow();
  virtual void DoHide();
  void CMTextChanged(TMessage& Message);
  void CMShowingChanged(TMessage& Message);

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  int imageIndex_ = 0;
  bool tabVisible_ = true;
  bool highlighted_ = false;
};

class TPageControl : public TCustomTabControl {
  DECLARE_CLASS(TPageControl, TCustomTabControl)
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // EListError for an index out of range.
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return activePage_; }
  // A page of another control (or null) is refused silently, as nothing
  // could show it.
  void SetActivePage(TTabSheet* value);
  int ActivePageIndex() const;
  void SetActivePageIndex(int value);
  // The page after (or before) CurPage, wrapping around; with
  // CheckTabVisible only pages whose tab shows.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void ShowControl(TControl* AControl) override;
  void Loaded() override;

 protected:
  void Change() override;
  void UpdateTabs() override;
  void CMDialogKey(TWMKey& Message);

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int NewIndex);
  void ChangeActivePage(TTabSheet* Page);
  // A sheet's tab changed (caption, image, visibility).
  void PageTabChanged(TTabSheet* Page, bool visibilityChanged);
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

// ---------------------------------------------------------------------------
// TTreeNode, TTreeNodes
// ---------------------------------------------------------------------------

DECLARE_ENUM(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert)

class TTreeNode : public TPersistent {
  DECLARE_CLASS(TTreeNode, TPersistent)
  explicit TTreeNode(TTreeNodes* AOwner);
  ~TTreeNode() override;

  // Copies text, data and image indices of another node.
  void Assign(TPersistent* Source) override;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  // The native item, null while the tree view has no window.
  HTREEITEM ItemId() const { return itemId_; }

  String Text() const { return text_; }
  void SetText(const String& value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int value);
  int OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(int value);

  // ---- place in the tree
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  // EListError for an index out of range.
  TTreeNode* Item(int Index) const;
  int IndexOf(TTreeNode* Child) const;
  // Position among its siblings.
  int Index() const;
  // 0 for a top-level node.
  int Level() const;
  // Position in the whole tree, in GetNext order.
  int AbsoluteIndex() const;
  bool HasAsParent(TTreeNode* Node) const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  TTreeNode* GetNextChild(TTreeNode* Value) const { return Value ? Value->GetNextSibling() : nullptr; }
  TTreeNode* GetPrevChild(TTreeNode* Value) const { return Value ? Value->GetPrevSibling() : nullptr; }
  // Depth-first order: first child, else next sibling, else a parent's next sibling.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  // The same order through expanded nodes only.
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  // Every parent expanded.
  bool IsVisible() const;

  // ---- state (the window's while it exists)
  // Children, or the button shown without them when set explicitly.
  bool HasChildren() const;
  void SetHasChildren(bool value);
  bool Expanded() const;
  void SetExpanded(bool value);
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  // Expanding and collapsing ask OnExpanding/OnCollapsing and report
  // OnExpanded/OnCollapsed.
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  void MakeVisible();
  // The node's rectangle (or its text's) in the tree view; empty when not shown.
  TRect DisplayRect(bool TextOnly) const;

  // ---- changes of the tree
  // Frees the node with its children.
  void Delete();
  void DeleteChildren();
  // Moves the node (with its children) relative to Destination; a move into
  // its own subtree raises EInvalidOperation.
  virtual void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void UpdateItem(UINT mask);
  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  String text_;
  void* data_ = nullptr;
  HTREEITEM itemId_ = nullptr;
  int imageIndex_ = 0;
  int selectedIndex_ = 0;
  int stateIndex_ = -1;
  int overlayIndex_ = -1;
  bool expanded_ = false;
  bool hasChildrenSet_ = false;
  bool hasChildren_ = false;
  bool deleting_ = false;
};

class TTreeNodes : public TPersistent {
  DECLARE_CLASS(TTreeNodes, TPersistent)
  explicit TTreeNodes(TCustomTreeView* AOwner);
  ~TTreeNodes() override;

  // Copies the nodes of another node list (text, data, images, shape).
  void Assign(TPersistent* Source) override;
  TCustomTreeView* Owner() const { return owner_; }

  // Adding: Add/AddObject put the node after the last sibling of Sibling
  // (at the top level without one), AddFirst before the first; AddChild
  // puts it after the last child of Parent, AddChildFirst before the first;
  // Insert puts it right before Sibling (at the end without one).
  TTreeNode* Add(TTreeNode* Sibling, const String& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const String& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddChild(TTreeNode* Parent, const String& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* Insert(TTreeNode* Sibling, const String& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const String& S, void* Ptr);
  void Delete(TTreeNode* Node);
  void Clear();

  // Every node of the tree.
  int Count() const { return count_; }
  // The node at a position of GetNext order; EListError out of range.
  TTreeNode* Item(int Index) const;
  TTreeNode* operator[](int Index) const { return Item(Index); }
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  // The node of a native item.
  TTreeNode* GetNode(HTREEITEM ItemId) const;

  // Changes between BeginUpdate and EndUpdate are drawn once.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent) { return parent ? parent->children_ : roots_; }
  TTreeNode* Attach(TTreeNode* parent, int position, const String& S, void* Ptr);
  // Puts a node (and its subtree) into the window after its previous sibling.
  void InsertItem(TTreeNode* node);
  void FreeNode(TTreeNode* node, bool notify);
  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int count_ = 0;
  int updateCount_ = 0;
};

// ---------------------------------------------------------------------------
// TCustomTreeView, TTreeView
// ---------------------------------------------------------------------------

DECLARE_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault,
             cdsHot, cdsMarked, cdsIndeterminate)
using TCustomDrawState = TSet<TCustomDrawStateItem, 16>;

using TTVChangedEvent = TClosure<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TClosure<void(TObject* Sender, TTreeNode* Node)>;
// Canvas holds the item's font and brush; DefaultDraw false skips the
// system's drawing of the item.
using TTVCustomDrawItemEvent =
    TClosure<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;

class TCustomTreeView : public TWinControl {
  DECLARE_CLASS(TCustomTreeView, TWinControl)
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;
  void BeforeDestruction() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  TTreeNodes* Items() const { return items_; }
  void SetItems(TTreeNodes* value);
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* value);
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* value);
  // The node whose row is at the client point, null for none.
  TTreeNode* GetNodeAt(int X, int Y);
  void FullExpand();
  void FullCollapse();
  TCanvas* Canvas() const { return canvas_; }

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* value);
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  int Indent();
  void SetIndent(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool value);

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVExpandedEvent OnDeletion;
  TTVCustomDrawItemEvent OnCustomDrawItem;

 protected:
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual void Delete(TTreeNode* Node);

  void CNNotify(TWMNotify& Message);
  void WMLButtonDown(TWMMouse& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void ImageListChange(TObject* Sender);
  void ApplyColors();
  LRESULT CustomDraw(NMTVCUSTOMDRAW& Draw);
  TTreeNodes* items_;
  TCanvas* canvas_;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  TChangeLink* imageChangeLink_;
  TChangeLink* stateChangeLink_;
  TTreeNode* saveSelected_ = nullptr;   // the selection while there is no window
  TTreeNode* saveTopItem_ = nullptr;
  TBorderStyle borderStyle_ = bsSingle;
  int indent_ = 19;
  bool autoExpand_ = false;
  bool hideSelection_ = true;
  bool hotTrack_ = false;
  bool readOnly_ = false;
  bool rowSelect_ = false;
  bool showButtons_ = true;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool toolTips_ = true;
  // Set while the tree changes the window itself: the window's own
  // notifications of it are not events.
  int quietCount_ = 0;
};

class TTreeView : public TCustomTreeView {
  DECLARE_CLASS(TTreeView, TCustomTreeView)
  using TCustomTreeView::TCustomTreeView;
};

// ---------------------------------------------------------------------------
// TToolButton, TToolBar
// ---------------------------------------------------------------------------

DECLARE_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
DECLARE_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
using TEdgeBorders = TSet<TEdgeBorder, 4>;
DECLARE_ENUM(TEdgeStyle, esNone, esRaised, esLowered)

class TToolButton : public TGraphicControl {
  DECLARE_CLASS(TToolButton, TGraphicControl)
  explicit TToolButton(TComponent* AOwner);
  void BeforeDestruction() override;

  void SetParent(TWinControl* AParent) override;
  // The toolbar places its buttons: only a separator's width is the button's own.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Runs the menu item when the button stands for one.
  void Click() override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  TToolBar* ToolBar() const { return toolBar_; }
  // Position among the toolbar's buttons, -1 outside a toolbar.
  int Index() const;

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // Checked (tbsCheck) or pressed.
  bool Down() const;
  void SetDown(bool value);
  // Consecutive grouped check buttons are exclusive.
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool value);
  bool Marked() const { return marked_; }
  void SetMarked(bool value);
  // The next button starts a new row.
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* value);
  // The menu item the button stands for: its caption, image, state and click.
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* value);

 protected:
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void CMHitTest(TCMHitTest& Message);
  void CMTextChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);

 private:
  friend class TToolBar;
  void Changed(bool layout);
  TToolBar* toolBar_ = nullptr;
  int commandId_ = 0;
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
  bool down_ = false;
  bool grouped_ = false;
  bool allowAllUp_ = false;
  bool indeterminate_ = false;
  bool marked_ = false;
  bool wrap_ = false;
  TPopupMenu* dropdownMenu_ = nullptr;
  TMenuItem* menuItem_ = nullptr;
};

class TToolBar : public TWinControl {
  DECLARE_CLASS(TToolBar, TWinControl)
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  // EListError for an index out of range.
  TToolButton* Buttons(int Index) const;

  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* value);
  TCustomImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TCustomImageList* value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // Captions beside the images instead of below them.
  bool List() const { return list_; }
  void SetList(bool value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders value);
  TEdgeStyle EdgeInner() const { return edgeInner_; }
  void SetEdgeInner(TEdgeStyle value);
  TEdgeStyle EdgeOuter() const { return edgeOuter_; }
  void SetEdgeOuter(TEdgeStyle value);

 protected:
  void CNCommand(TWMCommand& Message);
  void CNNotify(TWMNotify& Message);
  void WMSize(TWMSize& Message);
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMNCPaint(TMessage& Message);
  void CMHintShow(TCMHintShow& Message);
  void CMFontChanged(TMessage& Message);

 private:
  friend class TToolButton;
  void InsertButton(TToolButton* Button);
  void RemoveButton(TToolButton* Button);
  TToolButton* FindButton(int CommandId) const;
  // The native button of a tool button, as TB_INSERTBUTTON takes it.
  TBBUTTON NativeButton(TToolButton* Button, String& text);
  // Puts all buttons into the window again.
  void RebuildButtons();
  // A button's state, image, text or width changed.
  void UpdateButton(TToolButton* Button, bool layout);
  // Reads back the buttons' places (and check states) from the window.
  void UpdateButtonBounds();
  void SyncDownStates();
  void ApplyImageLists();
  void ImageListChange(TObject* Sender);
  void SetImageList(TCustomImageList*& field, TCustomImageList* value);
  int EdgeSize() const;

  std::vector<TToolButton*> buttons_;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  TCustomImageList* hotImages_ = nullptr;
  TChangeLink* imageChangeLink_;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  int indent_ = 0;
  int nextCommandId_ = 1;
  TEdgeBorders edgeBorders_ = {ebTop};
  TEdgeStyle edgeInner_ = esRaised;
  TEdgeStyle edgeOuter_ = esLowered;
  bool showCaptions_ = false;
  bool flat_ = false;
  bool list_ = false;
  bool wrapable_ = true;
  bool transparent_ = false;
  // Set while the toolbar moves its buttons (their SetBounds is then real).
  bool placing_ = false;
};
