#include "platform/gui/ComCtrls.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Menus.h"

#include <algorithm>
#include <cstring>

namespace {

// Points `field` at another image list: `owner` hears of the list's changes
// through `link` and of its destruction. False when it already was that list.
bool ReplaceImageList(TComponent* owner, TCustomImageList*& field, TCustomImageList* value, TChangeLink* link) {
  if (field == value) return false;
  if (field) {
    field->UnRegisterChanges(link);
    field->RemoveFreeNotification(owner);
  }
  field = value;
  if (value) {
    value->RegisterChanges(link);
    value->FreeNotification(owner);
  }
  return true;
}

// Asks a "may it happen" event (whose last argument is the answer); without a
// handler the answer is yes.
template <class E, class... A>
bool Allowed(const E& event, A... args) {
  bool allow = true;
  if (event) event(args..., allow);
  return allow;
}

const Char kListIndexError[] = L"List index out of bounds (%d)";
// The item state bit of the focus rectangle (TVIS_FOCUSED).
constexpr UINT kItemFocused = 0x0001;

void InitCommonControlClasses() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  done = true;
}

void RecreateIfAllocated(TWinControl* control) {
  if (control->HandleAllocated()) control->RecreateWnd();
}

// Counts a bracket open while it lives.
struct Quiet {
  explicit Quiet(int& count) : count_(count) { ++count_; }
  ~Quiet() { --count_; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;
  int& count_;
};

}  // namespace

// ===========================================================================
// TCustomTabControl
// ===========================================================================

BEGIN_CLASS(TCustomTabControl, TWinControl, nullptr)
  b.Message<&TCustomTabControl::CNNotify>(CN_NOTIFY);
  b.Message<&TCustomTabControl::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TCustomTabControl::CMDialogChar>(CM_DIALOGCHAR);
END_CLASS

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = TControlStyle{csDoubleClicks, csOpaque};
  SetBounds(left_, top_, 289, 193);
  SetTabStop(true);
  imageChangeLink_ = Make<TChangeLink>();
  imageChangeLink_->OnChange = TNotifyEvent::Bind<&TCustomTabControl::ImageListChange>(this);
}

TCustomTabControl::~TCustomTabControl() { TObject::Free(imageChangeLink_); }

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLW);
  Params.Style |= WS_CLIPCHILDREN;
  Params.ExStyle |= WS_EX_CONTROLPARENT;
  if (multiLine_) Params.Style |= TCS_MULTILINE;
  if (hotTrack_) Params.Style |= TCS_HOTTRACK;
  if (raggedRight_) Params.Style |= TCS_RAGGEDRIGHT;
  if (scrollOpposite_) Params.Style |= TCS_SCROLLOPPOSITE;
  if (tabWidth_ > 0) Params.Style |= TCS_FIXEDWIDTH;
  switch (style_) {
    case tsTabs:
      break;
    case tsButtons:
      Params.Style |= TCS_BUTTONS;
      break;
    case tsFlatButtons:
      Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
      break;
  }
  switch (tabPosition_) {
    case tpTop:
      break;
    case tpBottom:
      Params.Style |= TCS_BOTTOM;
      break;
    case tpLeft:
      Params.Style |= TCS_VERTICAL | TCS_MULTILINE;
      break;
    case tpRight:
      Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
      break;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = WindowHandle();
  if (images_) SendMessageW(wnd, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  UpdateTabSize();
  const int index = tabIndex_;
  UpdateTabs();
  if (index >= 0 && TabIndex() < 0) SendMessageW(wnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  // The display area is known only now.
  Realign();
}

TRect TCustomTabControl::DisplayRect() {
  if (!HandleAllocated()) return ClientRect();
  RECT r{};
  ::GetClientRect(WindowHandle(), &r);
  SendMessageW(WindowHandle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(std::max(r.left, r.right)),
          static_cast<int>(std::max(r.top, r.bottom))};
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
  Rect = DisplayRect();
  TWinControl::AdjustClientRect(Rect);
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation operation) {
  TWinControl::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == images_) SetImages(nullptr);
}

int TCustomTabControl::TabIndex() {
  if (!HandleAllocated()) return tabIndex_;
  return static_cast<int>(SendMessageW(WindowHandle(), TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int value) {
  tabIndex_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), TCM_SETCURSEL, static_cast<WPARAM>(value), 0);
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
  if (!HandleAllocated()) return -1;
  TCHITTESTINFO info{{X, Y}, 0};
  return static_cast<int>(SendMessageW(WindowHandle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

TRect TCustomTabControl::TabRect(int Index) {
  RECT r{};
  if (HandleAllocated())
    SendMessageW(WindowHandle(), TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return {r.left, r.top, r.right, r.bottom};
}

int TCustomTabControl::RowCount() {
  return HandleAllocated() ? static_cast<int>(SendMessageW(WindowHandle(), TCM_GETROWCOUNT, 0, 0)) : 0;
}

void TCustomTabControl::InsertTab(int Index, const String& Caption, int ImageIndex, LPARAM Data) {
  if (!HandleAllocated()) return;
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.pszText = const_cast<Char*>(Caption.c_str());
  item.iImage = ImageIndex;
  item.lParam = Data;
  SendMessageW(WindowHandle(), TCM_INSERTITEMW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
}

void TCustomTabControl::DeleteAllTabs() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), TCM_DELETEALLITEMS, 0, 0);
}

void TCustomTabControl::SetTabText(int Index, const String& Caption) {
  if (!HandleAllocated()) return;
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<Char*>(Caption.c_str());
  SendMessageW(WindowHandle(), TCM_SETITEMW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
}

void TCustomTabControl::SetTabImage(int Index, int ImageIndex) {
  if (!HandleAllocated()) return;
  TCITEMW item{};
  item.mask = TCIF_IMAGE;
  item.iImage = ImageIndex;
  SendMessageW(WindowHandle(), TCM_SETITEMW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
}

bool TCustomTabControl::CanChange() {
  return Allowed(OnChanging, this);
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::CNNotify(TWMNotify& Message) {
  switch (Message.NMHdr->code) {
    case TCN_SELCHANGING:
      Message.Result = CanChange() ? FALSE : TRUE;
      break;
    case TCN_SELCHANGE:
      tabIndex_ = TabIndex();
      Change();
      break;
  }
}

void TCustomTabControl::CMFontChanged(TMessage& Message) {
  DispatchInherited(TCustomTabControl::StaticClass(), &Message);
  Realign();
}

void TCustomTabControl::CMDialogChar(TWMKey& Message) {
  if (HandleAllocated()) {
    const int n = static_cast<int>(SendMessageW(WindowHandle(), TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      Char buffer[260] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = buffer;
      item.cchTextMax = static_cast<int>(std::size(buffer));
      SendMessageW(WindowHandle(), TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      if (IsAccel(Message.CharCode, item.pszText) && CanFocus()) {
        Message.Result = 1;
        if (CanChange()) {
          SetTabIndex(i);
          Change();
        }
        return;
      }
    }
  }
  DispatchInherited(TCustomTabControl::StaticClass(), &Message);
}

void TCustomTabControl::ImageListChange(TObject*) {
  if (HandleAllocated())
    SendMessageW(WindowHandle(), TCM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TCustomTabControl::SetImages(TCustomImageList* value) {
  if (!ReplaceImageList(this, images_, value, imageChangeLink_)) return;
  ImageListChange(nullptr);
  Realign();
}

void TCustomTabControl::UpdateTabSize() {
  if (HandleAllocated() && (tabWidth_ > 0 || tabHeight_ > 0))
    SendMessageW(WindowHandle(), TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
}

void TCustomTabControl::SetHotTrack(bool value) {
  if (hotTrack_ == value) return;
  hotTrack_ = value;
  RecreateIfAllocated(this);
}

void TCustomTabControl::SetMultiLine(bool value) {
  if (multiLine_ == value) return;
  multiLine_ = value;
  RecreateIfAllocated(this);
}

void TCustomTabControl::SetRaggedRight(bool value) {
  if (raggedRight_ == value) return;
  raggedRight_ = value;
  RecreateIfAllocated(this);
}

void TCustomTabControl::SetScrollOpposite(bool value) {
  if (scrollOpposite_ == value) return;
  scrollOpposite_ = value;
  RecreateIfAllocated(this);
}

void TCustomTabControl::SetStyle(TTabStyle value) {
  if (style_ == value) return;
  style_ = value;
  RecreateIfAllocated(this);
}

void TCustomTabControl::SetTabPosition(TTabPosition value) {
  if (tabPosition_ == value) return;
  tabPosition_ = value;
  RecreateIfAllocated(this);
}

void TCustomTabControl::SetTabHeight(int value) {
  value = std::max(0, value);
  if (tabHeight_ == value) return;
  tabHeight_ = value;
  UpdateTabSize();
  Realign();
}

void TCustomTabControl::SetTabWidth(int value) {
  value = std::max(0, value);
  if (tabWidth_ == value) return;
  const bool restyle = (tabWidth_ == 0) != (value == 0);
  tabWidth_ = value;
  if (restyle)
    RecreateIfAllocated(this);
  else
    UpdateTabSize();
}

// ===========================================================================
// TTabSheet
// ===========================================================================

BEGIN_CLASS(TTabSheet, TWinControl, (ConstructWith<TTabSheet, TComponent>))
  using S = TTabSheet;
  b.Message<&S::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&S::CMShowingChanged>(CM_SHOWINGCHANGED);
  // The page control places its pages.
  auto notStored = [](TObject*) { return false; };
  b.Prop(L"Left", &S::Left, &S::SetLeft).Stored = notStored;
  b.Prop(L"Top", &S::Top, &S::SetTop).Stored = notStored;
  b.Prop(L"Width", &S::Width, &S::SetWidth).Stored = notStored;
  b.Prop(L"Height", &S::Height, &S::SetHeight).Stored = notStored;
  PublishControl(b, {L"BorderWidth", L"Caption", L"Constraints", L"DoubleBuffered", L"DragMode", L"Enabled",
                     L"Font"});
  DefaultValue(b.Prop(L"Highlighted", &S::Highlighted, &S::SetHighlighted), false);
  DefaultValue(b.Prop(L"ImageIndex", &S::ImageIndex, &S::SetImageIndex), 0);
  b.Prop(L"PageIndex", &S::PageIndex, &S::SetPageIndex).Stored = notStored;
  PublishControl(b, {L"ParentFont", L"ParentShowHint", L"PopupMenu", L"ShowHint"});
  DefaultValue(b.Prop(L"TabVisible", &S::TabVisible, &S::SetTabVisible), true);
  PublishControl(b, {L"OnContextPopup", L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnEnter", L"OnExit"});
  b.Field(L"OnHide", &S::OnHide);
  PublishControl(b, {L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp",
                     L"OnResize"});
  b.Field(L"OnShow", &S::OnShow);
  PublishControl(b, {L"OnStartDrag"});
END_CLASS

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ += TControlStyle{csAcceptsControls, csNoDesignVisible};
  SetAlign(alClient);
  SetVisible(false);
}

void TTabSheet::BeforeDestruction() {
  if (pageControl_) pageControl_->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  TPageControl* old = pageControl_;
  auto* next = dynamic_cast<TPageControl*>(AParent);
  if (old && old != next) old->RemovePage(this);
  TWinControl::SetParent(AParent);
  if (next && next != old && Parent() == next) next->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* value) { SetParent(value); }

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
  if (pageControl_) pageControl_->MovePage(this, value);
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int index = 0;
  for (TTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (tabVisible_ == value) return;
  tabVisible_ = value;
  if (pageControl_) pageControl_->PageTabChanged(this, true);
}

void TTabSheet::SetImageIndex(int value) {
  if (imageIndex_ == value) return;
  imageIndex_ = value;
  if (pageControl_) pageControl_->PageTabChanged(this, false);
}

void TTabSheet::SetHighlighted(bool value) {
  if (highlighted_ == value) return;
  highlighted_ = value;
  const int index = TabIndex();
  if (pageControl_ && pageControl_->HandleAllocated() && index >= 0)
    SendMessageW(pageControl_->WindowHandle(), TCM_HIGHLIGHTITEM, static_cast<WPARAM>(index), MAKELONG(value, 0));
}

void TTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TTabSheet::CMTextChanged(TMessage&) {
  if (pageControl_) pageControl_->PageTabChanged(this, false);
}

void TTabSheet::CMShowingChanged(TMessage& Message) {
  DispatchInherited(TTabSheet::StaticClass(), &Message);
  if (ComponentState().Contains(csDestroying)) return;
  if (Showing())
    DoShow();
  else
    DoHide();
}

// ===========================================================================
// TPageControl
// ===========================================================================

BEGIN_CLASS(TPageControl, TCustomTabControl, (ConstructWith<TPageControl, TComponent>))
  using P = TPageControl;
  b.Message<&P::CMDialogKey>(CM_DIALOGKEY);
  b.Prop(L"ActivePage", &P::ActivePage, &P::SetActivePage);
  PublishControl(b, {L"Align", L"Anchors", L"BiDiMode", L"Constraints", L"DoubleBuffered",
                     L"DragCursor", L"DragKind", L"DragMode", L"Enabled", L"Font"});
  DefaultValue(b.Prop(L"HotTrack", &P::HotTrack, &P::SetHotTrack), false);
  b.Prop(L"Images", &P::Images, &P::SetImages);
  DefaultValue(b.Prop(L"MultiLine", &P::MultiLine, &P::SetMultiLine), false);
  PublishControl(b, {L"ParentBiDiMode", L"ParentFont", L"ParentShowHint", L"PopupMenu"});
  DefaultValue(b.Prop(L"RaggedRight", &P::RaggedRight, &P::SetRaggedRight), false);
  DefaultValue(b.Prop(L"ScrollOpposite", &P::ScrollOpposite, &P::SetScrollOpposite), false);
  PublishControl(b, {L"ShowHint"});
  DefaultValue(b.Prop(L"Style", &P::Style, &P::SetStyle), tsTabs);
  DefaultValue(b.Prop(L"TabHeight", &P::TabHeight, &P::SetTabHeight), 0);
  b.Prop(L"TabIndex", &P::TabIndex, &P::SetTabIndex).Stored = [](TObject*) { return false; };
  PublishControl(b, {L"TabOrder"});
  DefaultValue(b.Prop(L"TabPosition", &P::TabPosition, &P::SetTabPosition), tpTop);
  PublishControl(b, {L"TabStop"});
  DefaultValue(b.Prop(L"TabWidth", &P::TabWidth, &P::SetTabWidth), 0);
  PublishControl(b, {L"Visible"});
  b.Field(L"OnChange", &P::OnChange);
  b.Field(L"OnChanging", &P::OnChanging);
  PublishControl(b, {L"OnContextPopup", L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnEnter", L"OnExit",
                     L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave", L"OnMouseMove", L"OnMouseUp", L"OnResize",
                     L"OnStartDrag"});
END_CLASS

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  // The sheets are freed with the other children after this body; they must
  // not reach back into a page control that is gone.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError(Format(kListIndexError, {Index}));
  return pages_[Index];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  pages_.push_back(Page);
  Page->pageControl_ = this;
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(pages_.begin(), pages_.end(), Page);
  if (it == pages_.end()) return;
  TTabSheet* next = nullptr;
  if (Page == activePage_) {
    next = FindNextPage(Page, true, !ComponentState().Contains(csDesigning));
    if (next == Page) next = nullptr;
  }
  pages_.erase(std::find(pages_.begin(), pages_.end(), Page));
  Page->pageControl_ = nullptr;
  if (Page == activePage_) {
    activePage_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) ChangeActivePage(next);
  }
  if (!ComponentState().Contains(csDestroying)) UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex) {
  auto it = std::find(pages_.begin(), pages_.end(), Page);
  if (it == pages_.end()) return;
  NewIndex = std::clamp(NewIndex, 0, PageCount() - 1);
  pages_.erase(it);
  pages_.insert(pages_.begin() + NewIndex, Page);
  UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* value) {
  if (value && value->pageControl_ != this) return;
  ChangeActivePage(value);
  const int index = value ? value->TabIndex() : -1;
  tabIndex_ = index;
  if (HandleAllocated()) SendMessageW(WindowHandle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? pages_[value] : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (activePage_ == Page) return;
  TTabSheet* old = activePage_;
  // The focus leaves a page that is going away: to the page control itself.
  TCustomForm* form = GetParentForm(this);
  if (form && old && old->ContainsControl(form->FocusedControl()) && CanFocus()) {
    try {
      form->SetActiveControl(this);
    } catch (const EInvalidOperation&) {
    }
  }
  activePage_ = Page;
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
  }
  if (old && old->pageControl_ == this) old->SetVisible(false);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  const int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), CurPage);
  int start = it == pages_.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  do {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    if (!CheckTabVisible || pages_[i]->tabVisible_) return pages_[i];
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, GoForward, CheckTabVisible);
  if (page && page != activePage_ && CanChange()) {
    SetActivePage(page);
    TCustomTabControl::Change();
  }
}

void TPageControl::Change() {
  const int index = TabIndex();
  TTabSheet* page = nullptr;
  if (index >= 0)
    for (TTabSheet* p : pages_)
      if (p->TabIndex() == index) page = p;
  ChangeActivePage(page);
  TCustomTabControl::Change();
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  DeleteAllTabs();
  int index = 0;
  for (TTabSheet* page : pages_) {
    if (!page->tabVisible_) continue;
    InsertTab(index, page->Text(), page->imageIndex_, reinterpret_cast<LPARAM>(page));
    if (page->highlighted_)
      SendMessageW(WindowHandle(), TCM_HIGHLIGHTITEM, static_cast<WPARAM>(index), MAKELONG(TRUE, 0));
    ++index;
  }
  // The selected tab is always the active page's; a control with tabs but
  // no active page (made in code) shows its first page.
  if ((!activePage_ || !activePage_->tabVisible_) && !ComponentState().Contains(csLoading) &&
      !ComponentState().Contains(csDestroying))
    ChangeActivePage(FindNextPage(nullptr, true, true));
  const int sel = activePage_ ? activePage_->TabIndex() : -1;
  tabIndex_ = sel;
  SendMessageW(WindowHandle(), TCM_SETCURSEL, static_cast<WPARAM>(sel), 0);
  Realign();
}

void TPageControl::PageTabChanged(TTabSheet* Page, bool visibilityChanged) {
  if (visibilityChanged) {
    if (Page == activePage_ && !Page->tabVisible_ && !ComponentState().Contains(csLoading)) {
      TTabSheet* next = FindNextPage(Page, true, true);
      ChangeActivePage(next == Page ? nullptr : next);
    }
    UpdateTabs();
    return;
  }
  const int index = Page->TabIndex();
  if (index < 0) return;
  SetTabText(index, Page->Text());
  SetTabImage(index, Page->imageIndex_);
  Realign();
}

void TPageControl::GetChildren(TGetChildProc proc, TComponent*) {
  for (TTabSheet* page : pages_) proc(page);
}

void TPageControl::SetChildOrder(TComponent* child, int order) {
  if (auto* page = dynamic_cast<TTabSheet*>(child)) page->SetPageIndex(order);
}

void TPageControl::ShowControl(TControl* AControl) {
  if (auto* page = dynamic_cast<TTabSheet*>(AControl); page && page->pageControl_ == this) SetActivePage(page);
  TCustomTabControl::ShowControl(AControl);
}

void TPageControl::Loaded() {
  TCustomTabControl::Loaded();
  UpdateTabs();
}

void TPageControl::CMDialogKey(TWMKey& Message) {
  if (HandleAllocated() && Message.CharCode == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    HWND focus = GetFocus();
    if (focus == WindowHandle() || IsChild(WindowHandle(), focus)) {
      SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
      Message.Result = 1;
      return;
    }
  }
  DispatchInherited(TPageControl::StaticClass(), &Message);
}

// ===========================================================================
// TTreeNode
// ===========================================================================

IMPLEMENT_CLASS(TTreeNode, TPersistent, nullptr)

TTreeNode::TTreeNode(TTreeNodes* AOwner) : owner_(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return owner_ ? owner_->owner_ : nullptr; }

void TTreeNode::Assign(TPersistent* Source) {
  auto* node = dynamic_cast<TTreeNode*>(Source);
  if (!node) {
    TPersistent::Assign(Source);
    return;
  }
  SetText(node->text_);
  data_ = node->data_;
  SetImageIndex(node->imageIndex_);
  SetSelectedIndex(node->selectedIndex_);
  SetStateIndex(node->stateIndex_);
  SetOverlayIndex(node->overlayIndex_);
  if (node->hasChildrenSet_) SetHasChildren(node->hasChildren_);
}

// Sends the node's fields named by `mask` to its native item.
void TTreeNode::UpdateItem(UINT mask) {
  TCustomTreeView* tree = TreeView();
  if (!tree || !tree->HandleAllocated() || !itemId_) return;
  TVITEMW item{};
  item.mask = mask | TVIF_HANDLE;
  item.hItem = itemId_;
  item.pszText = const_cast<Char*>(text_.c_str());
  item.iImage = imageIndex_;
  item.iSelectedImage = selectedIndex_;
  item.cChildren = HasChildren() ? 1 : 0;
  if (mask & TVIF_STATE) {
    item.state = INDEXTOSTATEIMAGEMASK(stateIndex_ < 0 ? 0 : stateIndex_) |
                 INDEXTOOVERLAYMASK(overlayIndex_ < 0 ? 0 : overlayIndex_ + 1);
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK;
  }
  SendMessageW(tree->WindowHandle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetText(const String& value) {
  text_ = value;
  UpdateItem(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int value) {
  imageIndex_ = value;
  UpdateItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
  selectedIndex_ = value;
  UpdateItem(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int value) {
  stateIndex_ = value;
  UpdateItem(TVIF_STATE);
}

void TTreeNode::SetOverlayIndex(int value) {
  overlayIndex_ = value;
  UpdateItem(TVIF_STATE);
}

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(kListIndexError, {Index}));
  return children_[Index];
}

int TTreeNode::IndexOf(TTreeNode* Child) const {
  auto it = std::find(children_.begin(), children_.end(), Child);
  return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

int TTreeNode::Index() const {
  const auto& siblings = parent_ ? parent_->children_ : owner_->roots_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = -1;
  for (const TTreeNode* n = this; n; n = n->GetPrev()) ++index;
  return index;
}

bool TTreeNode::HasAsParent(TTreeNode* Node) const {
  if (!Node) return false;
  for (TTreeNode* p = parent_; p; p = p->parent_)
    if (p == Node) return true;
  return false;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = parent_ ? parent_->children_ : owner_->roots_;
  const int i = Index();
  return i >= 0 && i + 1 < static_cast<int>(siblings.size()) ? siblings[i + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const auto& siblings = parent_ ? parent_->children_ : owner_->roots_;
  const int i = Index();
  return i > 0 ? siblings[i - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* prev = GetPrevSibling();
  if (!prev) return parent_;
  while (!prev->children_.empty()) prev = prev->children_.back();
  return prev;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (!children_.empty() && Expanded()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  TTreeNode* prev = GetPrevSibling();
  if (!prev) return parent_;
  while (!prev->children_.empty() && prev->Expanded()) prev = prev->children_.back();
  return prev;
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = parent_; p; p = p->parent_)
    if (!p->Expanded()) return false;
  return true;
}

bool TTreeNode::HasChildren() const { return hasChildrenSet_ ? hasChildren_ : !children_.empty(); }

void TTreeNode::SetHasChildren(bool value) {
  hasChildrenSet_ = true;
  hasChildren_ = value;
  UpdateItem(TVIF_CHILDREN);
}

bool TTreeNode::Expanded() const {
  TCustomTreeView* tree = TreeView();
  if (tree && tree->HandleAllocated() && itemId_)
    return (SendMessageW(tree->WindowHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(itemId_), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  return expanded_;
}

void TTreeNode::SetExpanded(bool value) {
  if (value)
    Expand(false);
  else
    Collapse(false);
}

void TTreeNode::Expand(bool Recurse) {
  TCustomTreeView* tree = TreeView();
  if (!Expanded() && HasChildren() && (!tree || tree->CanExpand(this))) {
    expanded_ = true;
    if (tree && tree->HandleAllocated() && itemId_) {
      Quiet quiet(tree->quietCount_);
      SendMessageW(tree->WindowHandle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(itemId_));
    }
    if (tree) tree->Expand(this);
  }
  if (Recurse)
    for (TTreeNode* child : std::vector<TTreeNode*>(children_)) child->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  TCustomTreeView* tree = TreeView();
  if (Expanded() && (!tree || tree->CanCollapse(this))) {
    expanded_ = false;
    if (tree && tree->HandleAllocated() && itemId_) {
      Quiet quiet(tree->quietCount_);
      SendMessageW(tree->WindowHandle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(itemId_));
    }
    if (tree) tree->Collapse(this);
  }
  if (Recurse)
    for (TTreeNode* child : std::vector<TTreeNode*>(children_)) child->Collapse(true);
}

bool TTreeNode::Selected() const {
  TCustomTreeView* tree = TreeView();
  return tree && tree->Selected() == this;
}

void TTreeNode::SetSelected(bool value) {
  TCustomTreeView* tree = TreeView();
  if (!tree) return;
  if (!tree->HandleAllocated()) {
    if (value)
      tree->saveSelected_ = this;
    else if (tree->saveSelected_ == this)
      tree->saveSelected_ = nullptr;
    return;
  }
  if (value)
    SendMessageW(tree->WindowHandle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(itemId_));
  else if (Selected())
    SendMessageW(tree->WindowHandle(), TVM_SELECTITEM, TVGN_CARET, 0);
}

bool TTreeNode::Focused() const {
  TCustomTreeView* tree = TreeView();
  if (!tree || !tree->HandleAllocated() || !itemId_) return false;
  return (SendMessageW(tree->WindowHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(itemId_), kItemFocused) &
          kItemFocused) != 0;
}

void TTreeNode::SetFocused(bool value) {
  TCustomTreeView* tree = TreeView();
  if (!tree || !tree->HandleAllocated() || !itemId_) return;
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_STATE;
  item.hItem = itemId_;
  item.state = value ? kItemFocused : 0;
  item.stateMask = kItemFocused;
  SendMessageW(tree->WindowHandle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::MakeVisible() {
  TCustomTreeView* tree = TreeView();
  if (tree && tree->HandleAllocated() && itemId_) {
    SendMessageW(tree->WindowHandle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(itemId_));
    return;
  }
  for (TTreeNode* p = parent_; p; p = p->parent_) p->expanded_ = true;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView* tree = TreeView();
  if (!tree || !tree->HandleAllocated() || !itemId_) return TRect();
  // The message takes the item in the rectangle's first bytes.
  RECT r{};
  HTREEITEM item = itemId_;
  std::memcpy(&r, &item, sizeof(item));
  if (!SendMessageW(tree->WindowHandle(), TVM_GETITEMRECT, TextOnly, reinterpret_cast<LPARAM>(&r))) return TRect();
  return {r.left, r.top, r.right, r.bottom};
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) owner_->Delete(children_.back());
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  if (Destination == this) return;
  if (Destination && Destination->HasAsParent(this))
    throw EInvalidOperation(L"Cannot move a tree node into its own subtree");
  if (Destination && Destination->owner_ != owner_)
    throw EInvalidOperation(L"Cannot move a tree node to another tree view");
  TCustomTreeView* tree = TreeView();
  const bool windowed = tree && tree->HandleAllocated() && itemId_;
  TTreeNode* selected = tree ? tree->Selected() : nullptr;
  const bool selectionInside = selected && (selected == this || selected->HasAsParent(this));
  if (windowed) {
    // Keep what the window knows before the native items go.
    for (TTreeNode* n = this; n && (n == this || n->HasAsParent(this)); n = n->GetNext()) {
      n->expanded_ = n->Expanded();
    }
    Quiet quiet(tree->quietCount_);
    SendMessageW(tree->WindowHandle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(itemId_));
    for (TTreeNode* n = this; n && (n == this || n->HasAsParent(this)); n = n->GetNext()) n->itemId_ = nullptr;
  }
  auto& oldSiblings = owner_->SiblingsOf(parent_);
  oldSiblings.erase(std::find(oldSiblings.begin(), oldSiblings.end(), this));
  TTreeNode* newParent = nullptr;
  int position = 0;
  switch (Mode) {
    case naAdd:
    case naAddFirst:
      newParent = Destination ? Destination->parent_ : nullptr;
      position = Mode == naAdd ? static_cast<int>(owner_->SiblingsOf(newParent).size()) : 0;
      break;
    case naAddChild:
    case naAddChildFirst:
      newParent = Destination;
      position = Mode == naAddChild ? static_cast<int>(owner_->SiblingsOf(newParent).size()) : 0;
      break;
    case naInsert:
      newParent = Destination ? Destination->parent_ : nullptr;
      position = Destination ? Destination->Index() : static_cast<int>(owner_->SiblingsOf(nullptr).size());
      break;
  }
  parent_ = newParent;
  auto& newSiblings = owner_->SiblingsOf(newParent);
  newSiblings.insert(newSiblings.begin() + position, this);
  if (windowed) {
    Quiet quiet(tree->quietCount_);
    owner_->InsertItem(this);
    if (selectionInside)
      SendMessageW(tree->WindowHandle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected->itemId_));
  }
}

// ===========================================================================
// TTreeNodes
// ===========================================================================

IMPLEMENT_CLASS(TTreeNodes, TPersistent, nullptr)

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : owner_(AOwner) {}

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* node : std::vector<TTreeNode*>(roots_)) FreeNode(node, false);
}

void TTreeNodes::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TTreeNodes*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  try {
    Clear();
    // Copies a subtree under `parent` of this list.
    std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* from, TTreeNode* parent) {
      TTreeNode* node = AddChildObject(parent, from->text_, from->data_);
      node->Assign(from);
      for (TTreeNode* child : from->children_) copy(child, node);
    };
    for (TTreeNode* root : source->roots_) copy(root, nullptr);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TTreeNode* TTreeNodes::Attach(TTreeNode* parent, int position, const String& S, void* Ptr) {
  if (parent && parent->owner_ != this) throw EInvalidOperation(L"The tree node belongs to another tree view");
  auto* node = Make<TTreeNode>(this);
  node->text_ = S;
  node->data_ = Ptr;
  node->parent_ = parent;
  auto& siblings = SiblingsOf(parent);
  siblings.insert(siblings.begin() + std::clamp(position, 0, static_cast<int>(siblings.size())), node);
  ++count_;
  if (owner_ && owner_->HandleAllocated() && (!parent || parent->itemId_)) InsertItem(node);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  TTreeNode* parent = Sibling ? Sibling->parent_ : nullptr;
  return Attach(parent, static_cast<int>(SiblingsOf(parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr) {
  return Attach(Sibling ? Sibling->parent_ : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S, void* Ptr) {
  return Attach(Parent, static_cast<int>(SiblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr) {
  return Attach(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  if (!Sibling) return Attach(nullptr, static_cast<int>(roots_.size()), S, Ptr);
  return Attach(Sibling->parent_, Sibling->Index(), S, Ptr);
}

void TTreeNodes::InsertItem(TTreeNode* node) {
  HWND wnd = owner_->WindowHandle();
  TVINSERTSTRUCTW is{};
  is.hParent = node->parent_ ? node->parent_->itemId_ : TVI_ROOT;
  TTreeNode* prev = node->GetPrevSibling();
  is.hInsertAfter = prev && prev->itemId_ ? prev->itemId_ : TVI_FIRST;
  TVITEMW& item = is.item;
  item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  if (node->hasChildrenSet_) {
    item.mask |= TVIF_CHILDREN;
    item.cChildren = node->hasChildren_ ? 1 : 0;
  }
  item.pszText = const_cast<Char*>(node->text_.c_str());
  item.lParam = reinterpret_cast<LPARAM>(node);
  item.iImage = node->imageIndex_;
  item.iSelectedImage = node->selectedIndex_;
  item.state = INDEXTOSTATEIMAGEMASK(node->stateIndex_ < 0 ? 0 : node->stateIndex_) |
               INDEXTOOVERLAYMASK(node->overlayIndex_ < 0 ? 0 : node->overlayIndex_ + 1);
  item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK;
  Quiet quiet(owner_->quietCount_);
  node->itemId_ = reinterpret_cast<HTREEITEM>(SendMessageW(wnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&is)));
  if (!node->itemId_) throw EOutOfResources(L"Failed to create a tree view item");
  for (TTreeNode* child : node->children_) InsertItem(child);
  if (node->expanded_ && !node->children_.empty())
    SendMessageW(wnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->itemId_));
}

void TTreeNodes::FreeNode(TTreeNode* node, bool notify) {
  for (TTreeNode* child : std::vector<TTreeNode*>(node->children_)) FreeNode(child, notify);
  if (notify && owner_) owner_->Delete(node);
  auto& siblings = SiblingsOf(node->parent_);
  siblings.erase(std::find(siblings.begin(), siblings.end(), node));
  --count_;
  if (owner_) {
    if (owner_->saveSelected_ == node) owner_->saveSelected_ = nullptr;
    if (owner_->saveTopItem_ == node) owner_->saveTopItem_ = nullptr;
  }
  delete node;
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node->owner_ != this || Node->deleting_) return;
  for (TTreeNode* n = Node; n && (n == Node || n->HasAsParent(Node)); n = n->GetNext()) n->deleting_ = true;
  if (owner_ && owner_->HandleAllocated() && Node->itemId_)
    SendMessageW(owner_->WindowHandle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->itemId_));
  FreeNode(Node, true);
}

void TTreeNodes::Clear() {
  if (roots_.empty()) return;
  for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) n->deleting_ = true;
  if (owner_ && owner_->HandleAllocated()) {
    Quiet quiet(owner_->quietCount_);
    SendMessageW(owner_->WindowHandle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  }
  for (TTreeNode* node : std::vector<TTreeNode*>(roots_)) FreeNode(node, true);
}

TTreeNode* TTreeNodes::Item(int Index) const {
  if (Index < 0 || Index >= count_) throw EListError(Format(kListIndexError, {Index}));
  TTreeNode* node = GetFirstNode();
  for (int i = 0; i < Index && node; ++i) node = node->GetNext();
  return node;
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const {
  if (!ItemId || !owner_ || !owner_->HandleAllocated()) return nullptr;
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_PARAM;
  item.hItem = ItemId;
  if (!SendMessageW(owner_->WindowHandle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<TTreeNode*>(item.lParam);
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0 && owner_ && owner_->HandleAllocated())
    SendMessageW(owner_->WindowHandle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && owner_ && owner_->HandleAllocated()) {
    SendMessageW(owner_->WindowHandle(), WM_SETREDRAW, TRUE, 0);
    owner_->Invalidate();
  }
}

// ===========================================================================
// TCustomTreeView
// ===========================================================================

BEGIN_CLASS(TCustomTreeView, TWinControl, nullptr)
  b.Message<&TCustomTreeView::CNNotify>(CN_NOTIFY);
  b.Message<&TCustomTreeView::CMColorChanged>(CM_COLORCHANGED);
  b.Message<&TCustomTreeView::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TCustomTreeView::CMCtl3DChanged>(CM_CTL3DCHANGED);
  b.Message<&TCustomTreeView::WMLButtonDown>(WM_LBUTTONDOWN);
END_CLASS

BEGIN_CLASS(TTreeView, TCustomTreeView, (ConstructWith<TTreeView, TComponent>))
  using T = TTreeView;
  PublishControl(b, {L"Align", L"Anchors"});
  DefaultValue(b.Prop(L"AutoExpand", &T::AutoExpand, &T::SetAutoExpand), false);
  PublishControl(b, {L"BiDiMode"});
  DefaultValue(b.Prop(L"BorderStyle", &T::BorderStyle, &T::SetBorderStyle), bsSingle);
  PublishControl(b, {L"Color", L"Constraints", L"Ctl3D", L"DoubleBuffered", L"DragCursor", L"DragKind",
                     L"DragMode", L"Enabled", L"Font"});
  DefaultValue(b.Prop(L"HideSelection", &T::HideSelection, &T::SetHideSelection), true);
  DefaultValue(b.Prop(L"HotTrack", &T::HotTrack, &T::SetHotTrack), false);
  b.Prop(L"Images", &T::Images, &T::SetImages);
  DefaultValue(b.Prop(L"Indent", &T::Indent, &T::SetIndent), 19);
  PublishControl(b, {L"ParentBiDiMode", L"ParentColor", L"ParentCtl3D", L"ParentFont", L"ParentShowHint",
                     L"PopupMenu"});
  DefaultValue(b.Prop(L"ReadOnly", &T::ReadOnly, &T::SetReadOnly), false);
  DefaultValue(b.Prop(L"RowSelect", &T::RowSelect, &T::SetRowSelect), false);
  DefaultValue(b.Prop(L"ShowButtons", &T::ShowButtons, &T::SetShowButtons), true);
  PublishControl(b, {L"ShowHint"});
  DefaultValue(b.Prop(L"ShowLines", &T::ShowLines, &T::SetShowLines), true);
  DefaultValue(b.Prop(L"ShowRoot", &T::ShowRoot, &T::SetShowRoot), true);
  b.Prop(L"StateImages", &T::StateImages, &T::SetStateImages);
  PublishControl(b, {L"TabOrder", L"TabStop"});
  DefaultValue(b.Prop(L"ToolTips", &T::ToolTips, &T::SetToolTips), true);
  PublishControl(b, {L"Visible"});
  b.Field(L"OnChange", &T::OnChange);
  b.Field(L"OnChanging", &T::OnChanging);
  PublishControl(b, {L"OnClick"});
  b.Field(L"OnCollapsed", &T::OnCollapsed);
  b.Field(L"OnCollapsing", &T::OnCollapsing);
  PublishControl(b, {L"OnContextPopup"});
  b.Field(L"OnCustomDrawItem", &T::OnCustomDrawItem);
  PublishControl(b, {L"OnDblClick"});
  b.Field(L"OnDeletion", &T::OnDeletion);
  PublishControl(b, {L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnEnter", L"OnExit"});
  b.Field(L"OnExpanded", &T::OnExpanded);
  b.Field(L"OnExpanding", &T::OnExpanding);
  PublishControl(b, {L"OnKeyDown", L"OnKeyPress", L"OnKeyUp", L"OnMouseDown", L"OnMouseEnter", L"OnMouseLeave",
                     L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = TControlStyle{csClickEvents, csDoubleClicks, csDisplayDragImage, csReflector};
  SetBounds(left_, top_, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  items_ = Make<TTreeNodes>(this);
  auto* canvas = Make<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
  imageChangeLink_ = Make<TChangeLink>();
  imageChangeLink_->OnChange = TNotifyEvent::Bind<&TCustomTreeView::ImageListChange>(this);
  stateChangeLink_ = Make<TChangeLink>();
  stateChangeLink_->OnChange = TNotifyEvent::Bind<&TCustomTreeView::ImageListChange>(this);
}

void TCustomTreeView::BeforeDestruction() {
  ++quietCount_;   // the window's last notifications are not events
  TWinControl::BeforeDestruction();
}

TCustomTreeView::~TCustomTreeView() {
  // Deletion events reach the owner only while it is not going away itself.
  const bool notify = !Owner() || !Owner()->ComponentState().Contains(csDestroying);
  for (TTreeNode* node : std::vector<TTreeNode*>(items_->roots_)) items_->FreeNode(node, notify);
  items_->owner_ = nullptr;
  delete items_;
  TObject::Free(canvas_);
  TObject::Free(imageChangeLink_);
  TObject::Free(stateChangeLink_);
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWW);
  if (showLines_) Params.Style |= TVS_HASLINES;
  if (showRoot_) Params.Style |= TVS_LINESATROOT;
  if (showButtons_) Params.Style |= TVS_HASBUTTONS;
  if (!readOnly_) Params.Style |= TVS_EDITLABELS;
  if (!hideSelection_) Params.Style |= TVS_SHOWSELALWAYS;
  if (rowSelect_) Params.Style |= TVS_FULLROWSELECT;
  if (hotTrack_) Params.Style |= TVS_TRACKSELECT;
  if (!toolTips_) Params.Style |= TVS_NOTOOLTIPS;
  if (autoExpand_) Params.Style |= TVS_SINGLEEXPAND;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = WindowHandle();
  Quiet quiet(quietCount_);
  ApplyColors();
  SendMessageW(wnd, TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  ImageListChange(nullptr);
  for (TTreeNode* root : items_->roots_) items_->InsertItem(root);
  if (saveSelected_ && saveSelected_->itemId_)
    SendMessageW(wnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(saveSelected_->itemId_));
  if (saveTopItem_ && saveTopItem_->itemId_)
    SendMessageW(wnd, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(saveTopItem_->itemId_));
  saveSelected_ = nullptr;
  saveTopItem_ = nullptr;
}

void TCustomTreeView::DestroyWnd() {
  if (HandleAllocated()) {
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->expanded_ = n->Expanded();
    saveSelected_ = Selected();
    saveTopItem_ = TopItem();
    indent_ = Indent();
  }
  {
    Quiet quiet(quietCount_);
    TWinControl::DestroyWnd();
  }
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->itemId_ = nullptr;
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation operation) {
  TWinControl::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == images_) SetImages(nullptr);
  if (AComponent == stateImages_) SetStateImages(nullptr);
}

void TCustomTreeView::SetItems(TTreeNodes* value) { items_->Assign(value); }

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return saveSelected_;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(WindowHandle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  return items_->GetNode(item);
}

void TCustomTreeView::SetSelected(TTreeNode* value) {
  if (value) {
    value->SetSelected(true);
  } else if (!HandleAllocated()) {
    saveSelected_ = nullptr;
  } else {
    SendMessageW(WindowHandle(), TVM_SELECTITEM, TVGN_CARET, 0);
  }
}

TTreeNode* TCustomTreeView::TopItem() const {
  if (!HandleAllocated()) return saveTopItem_ ? saveTopItem_ : items_->GetFirstNode();
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(WindowHandle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  return items_->GetNode(item);
}

void TCustomTreeView::SetTopItem(TTreeNode* value) {
  if (!HandleAllocated()) {
    saveTopItem_ = value;
    return;
  }
  if (value && value->itemId_)
    SendMessageW(WindowHandle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(value->itemId_));
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO info{};
  info.pt = {X, Y};
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(WindowHandle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (!item || !(info.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)))
    return nullptr;
  return items_->GetNode(item);
}

void TCustomTreeView::FullExpand() {
  items_->BeginUpdate();
  try {
    for (TTreeNode* root : std::vector<TTreeNode*>(items_->roots_)) root->Expand(true);
  } catch (...) {
    items_->EndUpdate();
    throw;
  }
  items_->EndUpdate();
}

void TCustomTreeView::FullCollapse() {
  items_->BeginUpdate();
  try {
    for (TTreeNode* root : std::vector<TTreeNode*>(items_->roots_)) root->Collapse(true);
  } catch (...) {
    items_->EndUpdate();
    throw;
  }
  items_->EndUpdate();
}

void TCustomTreeView::ImageListChange(TObject*) {
  if (!HandleAllocated()) return;
  SendMessageW(WindowHandle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
               reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  SendMessageW(WindowHandle(), TVM_SETIMAGELIST, TVSIL_STATE,
               reinterpret_cast<LPARAM>(stateImages_ ? stateImages_->Handle() : nullptr));
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
  if (!ReplaceImageList(this, images_, value, imageChangeLink_)) return;
  ImageListChange(nullptr);
}

void TCustomTreeView::SetStateImages(TCustomImageList* value) {
  if (!ReplaceImageList(this, stateImages_, value, stateChangeLink_)) return;
  ImageListChange(nullptr);
}

void TCustomTreeView::ApplyColors() {
  if (!HandleAllocated()) return;
  SendMessageW(WindowHandle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToGDI(color_)));
  SendMessageW(WindowHandle(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToGDI(font_->Color())));
}

#define TREE_STYLE_SETTER(Name, field)          \
  void TCustomTreeView::Set##Name(bool value) { \
    if (field == value) return;                 \
    field = value;                              \
    RecreateIfAllocated(this);                  \
  }
TREE_STYLE_SETTER(AutoExpand, autoExpand_)
TREE_STYLE_SETTER(HideSelection, hideSelection_)
TREE_STYLE_SETTER(HotTrack, hotTrack_)
TREE_STYLE_SETTER(ReadOnly, readOnly_)
TREE_STYLE_SETTER(RowSelect, rowSelect_)
TREE_STYLE_SETTER(ShowButtons, showButtons_)
TREE_STYLE_SETTER(ShowLines, showLines_)
TREE_STYLE_SETTER(ShowRoot, showRoot_)
TREE_STYLE_SETTER(ToolTips, toolTips_)
#undef TREE_STYLE_SETTER

void TCustomTreeView::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateIfAllocated(this);
}

int TCustomTreeView::Indent() {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(WindowHandle(), TVM_GETINDENT, 0, 0));
  return indent_;
}

void TCustomTreeView::SetIndent(int value) {
  indent_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), TVM_SETINDENT, static_cast<WPARAM>(value), 0);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  return Allowed(OnChanging, this, Node);
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  return Allowed(OnExpanding, this, Node);
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  return Allowed(OnCollapsing, this, Node);
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}

LRESULT TCustomTreeView::CustomDraw(NMTVCUSTOMDRAW& Draw) {
  if (!OnCustomDrawItem) return CDRF_DODEFAULT;
  NMCUSTOMDRAW& cd = Draw.nmcd;
  if (cd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (cd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  auto* node = reinterpret_cast<TTreeNode*>(cd.lItemlParam);
  if (!node || node->deleting_) return CDRF_DODEFAULT;
  static const struct {
    UINT Flag;
    TCustomDrawStateItem Item;
  } states[] = {{CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed},   {CDIS_DISABLED, cdsDisabled},
                {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused},   {CDIS_DEFAULT, cdsDefault},
                {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked},   {CDIS_INDETERMINATE, cdsIndeterminate}};
  TCustomDrawState state;
  for (const auto& s : states)
    if (cd.uItemState & s.Flag) state += s.Item;
  auto* canvas = static_cast<TControlCanvas*>(canvas_);
  canvas->FreeHandle();
  canvas->SetHandle(cd.hdc);
  LRESULT result = CDRF_DODEFAULT;
  try {
    // The canvas starts with the colours the window meant to use.
    canvas->SetFont(font_);
    canvas->Font()->SetColor(static_cast<TColor>(Draw.clrText & 0xFFFFFF));
    canvas->Brush()->SetColor(static_cast<TColor>(Draw.clrTextBk & 0xFFFFFF));
    bool defaultDraw = true;
    OnCustomDrawItem(this, node, state, defaultDraw);
    if (!defaultDraw) {
      result = CDRF_SKIPDEFAULT;
    } else {
      Draw.clrText = ColorToGDI(canvas->Font()->Color());
      Draw.clrTextBk = ColorToGDI(canvas->Brush()->Color());
      SelectObject(cd.hdc, canvas->Font()->Handle());
      result = CDRF_NEWFONT;
    }
  } catch (...) {
    canvas->SetHandle(nullptr);
    throw;
  }
  // The font stays selected for the window's drawing: give the DC back
  // without putting the old objects in.
  canvas->SetHandle(nullptr);
  if (result == CDRF_NEWFONT) SelectObject(cd.hdc, canvas->Font()->Handle());
  return result;
}

void TCustomTreeView::CNNotify(TWMNotify& Message) {
  NMHDR* header = Message.NMHdr;
  if (quietCount_ > 0 || ComponentState().Contains(csDestroying)) {
    Message.Result = 0;
    return;
  }
  auto* tv = reinterpret_cast<NMTREEVIEWW*>(header);
  auto nodeOf = [](const TVITEMW& item) -> TTreeNode* {
    auto* node = reinterpret_cast<TTreeNode*>(item.lParam);
    return node && !node->deleting_ ? node : nullptr;
  };
  switch (header->code) {
    case TVN_SELCHANGINGW:
      Message.Result = CanChange(nodeOf(tv->itemNew)) ? FALSE : TRUE;
      break;
    case TVN_SELCHANGEDW:
      Change(nodeOf(tv->itemNew));
      break;
    case TVN_ITEMEXPANDINGW: {
      TTreeNode* node = nodeOf(tv->itemNew);
      bool allow = true;
      if (node) {
        if (tv->action & TVE_EXPAND)
          allow = CanExpand(node);
        else if (tv->action & TVE_COLLAPSE)
          allow = CanCollapse(node);
      }
      Message.Result = allow ? FALSE : TRUE;
      break;
    }
    case TVN_ITEMEXPANDEDW:
      if (TTreeNode* node = nodeOf(tv->itemNew)) {
        if (tv->action & TVE_EXPAND) {
          node->expanded_ = true;
          Expand(node);
        } else if (tv->action & TVE_COLLAPSE) {
          node->expanded_ = false;
          Collapse(node);
        }
      }
      break;
    case TVN_BEGINLABELEDITW:
      Message.Result = readOnly_ ? TRUE : FALSE;
      break;
    case TVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
      if (TTreeNode* node = nodeOf(info->item); node && info->item.pszText) node->text_ = info->item.pszText;
      Message.Result = TRUE;
      break;
    }
    case NM_CUSTOMDRAW:
      Message.Result = CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(header));
      break;
  }
}

void TCustomTreeView::WMLButtonDown(TWMMouse& Message) {
  DispatchInherited(TCustomTreeView::StaticClass(), &Message);
  // The window tracks the mouse itself until the button is released and
  // swallows the release: give the control its button-up (OnClick, OnMouseUp).
  if (controlState_.Contains(csLButtonDown) && HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(WindowHandle(), &p);
    Perform(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }
}

void TCustomTreeView::CMColorChanged(TMessage& Message) {
  DispatchInherited(TCustomTreeView::StaticClass(), &Message);
  ApplyColors();
}

void TCustomTreeView::CMFontChanged(TMessage& Message) {
  DispatchInherited(TCustomTreeView::StaticClass(), &Message);
  ApplyColors();
}

void TCustomTreeView::CMCtl3DChanged(TMessage& Message) {
  if (borderStyle_ == bsSingle) RecreateIfAllocated(this);
  DispatchInherited(TCustomTreeView::StaticClass(), &Message);
}

// ===========================================================================
// TToolButton
// ===========================================================================

BEGIN_CLASS(TToolButton, TGraphicControl, (ConstructWith<TToolButton, TComponent>))
  using B = TToolButton;
  b.Message<&B::CMHitTest>(CM_HITTEST);
  b.Message<&B::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&B::CMVisibleChanged>(CM_VISIBLECHANGED);
  b.Message<&B::CMEnabledChanged>(CM_ENABLEDCHANGED);
  PublishControl(b, {L"Action"});
  DefaultValue(b.Prop(L"AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp), false);
  PublishControl(b, {L"Caption"});
  DefaultValue(b.Prop(L"Down", &B::Down, &B::SetDown), false);
  PublishControl(b, {L"DragCursor", L"DragKind", L"DragMode"});
  b.Prop(L"DropdownMenu", &B::DropdownMenu, &B::SetDropdownMenu);
  PublishControl(b, {L"Enabled"});
  DefaultValue(b.Prop(L"Grouped", &B::Grouped, &B::SetGrouped), false);
  DefaultValue(b.Prop(L"ImageIndex", &B::ImageIndex, &B::SetImageIndex), -1);
  DefaultValue(b.Prop(L"Indeterminate", &B::Indeterminate, &B::SetIndeterminate), false);
  DefaultValue(b.Prop(L"Marked", &B::Marked, &B::SetMarked), false);
  b.Prop(L"MenuItem", &B::MenuItem, &B::SetMenuItem);
  PublishControl(b, {L"ParentShowHint", L"PopupMenu", L"ShowHint"});
  DefaultValue(b.Prop(L"Style", &B::Style, &B::SetStyle), tbsButton);
  PublishControl(b, {L"Visible"});
  DefaultValue(b.Prop(L"Wrap", &B::Wrap, &B::SetWrap), false);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnMouseDown",
                     L"OnMouseMove", L"OnMouseUp", L"OnStartDrag"});
END_CLASS

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ = TControlStyle{csSetCaption, csClickEvents};
  SetBounds(left_, top_, 23, 22);
}

void TToolButton::BeforeDestruction() {
  if (toolBar_) toolBar_->RemoveButton(this);
  TGraphicControl::BeforeDestruction();
}

void TToolButton::SetParent(TWinControl* AParent) {
  TToolBar* old = toolBar_;
  auto* next = dynamic_cast<TToolBar*>(AParent);
  if (old && old != next) old->RemoveButton(this);
  TGraphicControl::SetParent(AParent);
  if (next && next != old && Parent() == next) next->InsertButton(this);
}

void TToolButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (toolBar_ && !toolBar_->placing_) {
    // Only a separator's width is the button's; the toolbar decides the rest.
    if ((style_ == tbsSeparator || style_ == tbsDivider) && AWidth != width_) {
      TGraphicControl::SetBounds(left_, top_, AWidth, height_);
      Changed(true);
    }
    return;
  }
  TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TToolButton::Click() {
  if (menuItem_) {
    menuItem_->Click();
    return;
  }
  TGraphicControl::Click();
}

void TToolButton::Notification(TComponent* AComponent, TOperation operation) {
  TGraphicControl::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == dropdownMenu_) dropdownMenu_ = nullptr;
  if (AComponent == menuItem_) menuItem_ = nullptr;
}

int TToolButton::Index() const {
  if (!toolBar_) return -1;
  const auto& buttons = toolBar_->buttons_;
  auto it = std::find(buttons.begin(), buttons.end(), this);
  return it == buttons.end() ? -1 : static_cast<int>(it - buttons.begin());
}

void TToolButton::Changed(bool layout) {
  if (toolBar_) toolBar_->UpdateButton(this, layout);
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (style_ == value) return;
  const bool wasSeparator = style_ == tbsSeparator || style_ == tbsDivider;
  const bool separator = value == tbsSeparator || value == tbsDivider;
  style_ = value;
  // A separator is narrow unless given a width of its own.
  if (separator && !wasSeparator && (width_ == 23 || (toolBar_ && width_ == toolBar_->buttonWidth_))) {
    if (toolBar_) {
      toolBar_->placing_ = true;
      TGraphicControl::SetBounds(left_, top_, 8, height_);
      toolBar_->placing_ = false;
    } else {
      TGraphicControl::SetBounds(left_, top_, 8, height_);
    }
  }
  if (toolBar_) toolBar_->RebuildButtons();
}

void TToolButton::SetImageIndex(int value) {
  if (imageIndex_ == value) return;
  imageIndex_ = value;
  Changed(false);
}

bool TToolButton::Down() const {
  if (toolBar_ && toolBar_->HandleAllocated() && style_ == tbsCheck)
    return SendMessageW(toolBar_->WindowHandle(), TB_ISBUTTONCHECKED, static_cast<WPARAM>(commandId_), 0) != 0;
  return down_;
}

void TToolButton::SetDown(bool value) {
  if (Down() == value) return;
  down_ = value;
  if (toolBar_ && toolBar_->HandleAllocated()) {
    if (style_ == tbsCheck)
      SendMessageW(toolBar_->WindowHandle(), TB_CHECKBUTTON, static_cast<WPARAM>(commandId_), MAKELONG(value, 0));
    else
      SendMessageW(toolBar_->WindowHandle(), TB_PRESSBUTTON, static_cast<WPARAM>(commandId_), MAKELONG(value, 0));
    toolBar_->SyncDownStates();
    return;
  }
  // Without a window the group's exclusivity is ours to keep.
  if (value && grouped_ && style_ == tbsCheck && toolBar_) {
    const int i = Index();
    auto& buttons = toolBar_->buttons_;
    for (int j = i - 1; j >= 0 && buttons[j]->grouped_ && buttons[j]->style_ == tbsCheck; --j) buttons[j]->down_ = false;
    for (size_t j = i + 1; j < buttons.size() && buttons[j]->grouped_ && buttons[j]->style_ == tbsCheck; ++j)
      buttons[j]->down_ = false;
  }
}

void TToolButton::SetGrouped(bool value) {
  if (grouped_ == value) return;
  grouped_ = value;
  if (toolBar_) toolBar_->RebuildButtons();
}

void TToolButton::SetIndeterminate(bool value) {
  if (indeterminate_ == value) return;
  indeterminate_ = value;
  Changed(false);
}

void TToolButton::SetMarked(bool value) {
  if (marked_ == value) return;
  marked_ = value;
  Changed(false);
}

void TToolButton::SetWrap(bool value) {
  if (wrap_ == value) return;
  wrap_ = value;
  Changed(true);
}

void TToolButton::SetDropdownMenu(TPopupMenu* value) {
  if (dropdownMenu_ == value) return;
  if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
  dropdownMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TToolButton::SetMenuItem(TMenuItem* value) {
  if (menuItem_ == value) return;
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  menuItem_ = value;
  if (!value) return;
  value->FreeNotification(this);
  SetCaption(value->Caption());
  SetImageIndex(value->ImageIndex());
  SetEnabled(value->Enabled());
  SetVisible(value->Visible());
  SetHint(value->Hint());
  if (style_ == tbsCheck) SetDown(value->Checked());
}

void TToolButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
    if (!CheckDefaults || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || !down_) SetDown(action->Checked());
  }
}

void TToolButton::CMHitTest(TCMHitTest& Message) {
  // The toolbar's window takes the mouse over its buttons (it draws and
  // presses them); only the designer picks the buttons themselves.
  Message.Result = ComponentState().Contains(csDesigning) ? HTCLIENT : 0;
}

void TToolButton::CMTextChanged(TMessage&) { Changed(true); }

void TToolButton::CMVisibleChanged(TMessage& Message) {
  DispatchInherited(TToolButton::StaticClass(), &Message);
  Changed(true);
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
  DispatchInherited(TToolButton::StaticClass(), &Message);
  Changed(false);
}

// ===========================================================================
// TToolBar
// ===========================================================================

BEGIN_CLASS(TToolBar, TWinControl, (ConstructWith<TToolBar, TComponent>))
  using T = TToolBar;
  b.Message<&T::CNCommand>(CN_COMMAND);
  b.Message<&T::CNNotify>(CN_NOTIFY);
  b.Message<&T::WMSize>(WM_SIZE);
  b.Message<&T::WMNCCalcSize>(WM_NCCALCSIZE);
  b.Message<&T::WMNCPaint>(WM_NCPAINT);
  b.Message<&T::CMHintShow>(CM_HINTSHOW);
  b.Message<&T::CMFontChanged>(CM_FONTCHANGED);
  DefaultValue(b.Prop(L"Align", &T::Align, &T::SetAlign), alTop);
  PublishControl(b, {L"Anchors", L"AutoSize", L"BorderWidth"});
  DefaultValue(b.Prop(L"ButtonHeight", &T::ButtonHeight, &T::SetButtonHeight), 22);
  DefaultValue(b.Prop(L"ButtonWidth", &T::ButtonWidth, &T::SetButtonWidth), 23);
  PublishControl(b, {L"Caption", L"Color", L"Constraints", L"Ctl3D"});
  b.Prop(L"DisabledImages", &T::DisabledImages, &T::SetDisabledImages);
  PublishControl(b, {L"DragCursor", L"DragKind", L"DragMode"});
  DefaultValue(b.Prop(L"EdgeBorders", &T::EdgeBorders, &T::SetEdgeBorders), TEdgeBorders{ebTop}.ToBits());
  DefaultValue(b.Prop(L"EdgeInner", &T::EdgeInner, &T::SetEdgeInner), esRaised);
  DefaultValue(b.Prop(L"EdgeOuter", &T::EdgeOuter, &T::SetEdgeOuter), esLowered);
  PublishControl(b, {L"Enabled"});
  DefaultValue(b.Prop(L"Flat", &T::Flat, &T::SetFlat), false);
  PublishControl(b, {L"Font"});
  b.Prop(L"HotImages", &T::HotImages, &T::SetHotImages);
  b.Prop(L"Images", &T::Images, &T::SetImages);
  DefaultValue(b.Prop(L"Indent", &T::Indent, &T::SetIndent), 0);
  DefaultValue(b.Prop(L"List", &T::List, &T::SetList), false);
  PublishControl(b, {L"ParentColor", L"ParentFont", L"ParentShowHint", L"PopupMenu"});
  DefaultValue(b.Prop(L"ShowCaptions", &T::ShowCaptions, &T::SetShowCaptions), false);
  PublishControl(b, {L"ShowHint", L"TabOrder", L"TabStop"});
  DefaultValue(b.Prop(L"Transparent", &T::Transparent, &T::SetTransparent), false);
  PublishControl(b, {L"Visible"});
  DefaultValue(b.Prop(L"Wrapable", &T::Wrapable, &T::SetWrapable), true);
  PublishControl(b, {L"OnClick", L"OnContextPopup", L"OnDblClick", L"OnDragDrop", L"OnDragOver", L"OnEndDrag",
                     L"OnEnter", L"OnExit", L"OnMouseDown", L"OnMouseMove", L"OnMouseUp", L"OnResize",
                     L"OnStartDrag"});
END_CLASS

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents,
                                csSetCaption};
  SetBounds(left_, top_, 150, 29);
  SetAlign(alTop);
  imageChangeLink_ = Make<TChangeLink>();
  imageChangeLink_->OnChange = TNotifyEvent::Bind<&TToolBar::ImageListChange>(this);
}

TToolBar::~TToolBar() {
  for (TToolButton* button : buttons_) button->toolBar_ = nullptr;
  buttons_.clear();
  TObject::Free(imageChangeLink_);
}

void TToolBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAMEW);
  Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER | CCS_TOP;
  if (flat_) Params.Style |= TBSTYLE_FLAT;
  if (list_) Params.Style |= TBSTYLE_LIST;
  if (wrapable_) Params.Style |= TBSTYLE_WRAPABLE;
  if (transparent_) Params.Style |= TBSTYLE_TRANSPARENT;
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = WindowHandle();
  SendMessageW(wnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(wnd, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  SendMessageW(wnd, TB_SETINDENT, static_cast<WPARAM>(indent_), 0);
  RebuildButtons();
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  RebuildButtons();
}

void TToolBar::GetChildren(TGetChildProc proc, TComponent* root) {
  for (TToolButton* button : buttons_)
    if (button->Owner() == root) proc(button);
  TWinControl::GetChildren(
      [&](TComponent* child) {
        if (!dynamic_cast<TToolButton*>(child)) proc(child);
      },
      root);
}

void TToolBar::Notification(TComponent* AComponent, TOperation operation) {
  TWinControl::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == images_) SetImages(nullptr);
  if (AComponent == disabledImages_) SetDisabledImages(nullptr);
  if (AComponent == hotImages_) SetHotImages(nullptr);
}

TToolButton* TToolBar::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount()) throw EListError(Format(kListIndexError, {Index}));
  return buttons_[Index];
}

void TToolBar::InsertButton(TToolButton* Button) {
  Button->toolBar_ = this;
  Button->commandId_ = nextCommandId_++;
  if (nextCommandId_ > 0x7FFF) nextCommandId_ = 1;
  buttons_.push_back(Button);
  if (!HandleAllocated()) return;
  String text;
  TBBUTTON nb = NativeButton(Button, text);
  SendMessageW(WindowHandle(), TB_INSERTBUTTONW, buttons_.size() - 1, reinterpret_cast<LPARAM>(&nb));
  UpdateButtonBounds();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  auto it = std::find(buttons_.begin(), buttons_.end(), Button);
  if (it == buttons_.end()) return;
  const int index = static_cast<int>(it - buttons_.begin());
  buttons_.erase(it);
  Button->toolBar_ = nullptr;
  if (HandleAllocated() && !ComponentState().Contains(csDestroying)) {
    SendMessageW(WindowHandle(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    UpdateButtonBounds();
  }
}

TToolButton* TToolBar::FindButton(int CommandId) const {
  for (TToolButton* button : buttons_)
    if (button->commandId_ == CommandId) return button;
  return nullptr;
}

TBBUTTON TToolBar::NativeButton(TToolButton* Button, String& text) {
  TBBUTTON nb{};
  nb.idCommand = Button->commandId_;
  nb.iString = -1;
  const bool separator = Button->style_ == tbsSeparator || Button->style_ == tbsDivider;
  if (separator) {
    nb.fsStyle = BTNS_SEP;
    nb.iBitmap = Button->width_;
  } else {
    nb.iBitmap = Button->imageIndex_ >= 0 ? Button->imageIndex_ : I_IMAGENONE;
    switch (Button->style_) {
      case tbsCheck:
        nb.fsStyle = BTNS_CHECK | (Button->grouped_ ? BTNS_GROUP : 0);
        break;
      case tbsDropDown:
        nb.fsStyle = BTNS_DROPDOWN;
        break;
      default:
        nb.fsStyle = BTNS_BUTTON;
        break;
    }
    if (showCaptions_) {
      text = Button->Caption();
      nb.iString = reinterpret_cast<INT_PTR>(text.c_str());
    }
  }
  BYTE state = 0;
  if (Button->Enabled()) state |= TBSTATE_ENABLED;
  if (Button->down_) state |= Button->style_ == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
  if (!Button->Visible() && !ComponentState().Contains(csDesigning)) state |= TBSTATE_HIDDEN;
  if (Button->wrap_) state |= TBSTATE_WRAP;
  if (Button->indeterminate_) state |= TBSTATE_INDETERMINATE;
  if (Button->marked_) state |= TBSTATE_MARKED;
  nb.fsState = state;
  return nb;
}

void TToolBar::RebuildButtons() {
  if (!HandleAllocated() || ComponentState().Contains(csLoading)) return;
  HWND wnd = WindowHandle();
  SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
  while (SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageW(wnd, TB_DELETEBUTTON, 0, 0);
  ApplyImageLists();
  SendMessageW(wnd, TB_SETMAXTEXTROWS, showCaptions_ ? 1 : 0, 0);
  SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  for (size_t i = 0; i < buttons_.size(); ++i) {
    String text;
    TBBUTTON nb = NativeButton(buttons_[i], text);
    SendMessageW(wnd, TB_INSERTBUTTONW, i, reinterpret_cast<LPARAM>(&nb));
  }
  SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  UpdateButtonBounds();
  Invalidate();
}

void TToolBar::UpdateButton(TToolButton* Button, bool layout) {
  if (!HandleAllocated() || ComponentState().Contains(csLoading)) return;
  // Changed in place: a click handler may change buttons while the window
  // is still inside its own button handling.
  String text;
  TBBUTTON nb = NativeButton(Button, text);
  TBBUTTONINFOW info{};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_STATE | TBIF_STYLE | TBIF_IMAGE;
  info.fsState = nb.fsState;
  info.fsStyle = nb.fsStyle;
  info.iImage = nb.iBitmap;
  if (nb.fsStyle & BTNS_SEP) {
    info.dwMask |= TBIF_SIZE;
    info.cx = static_cast<WORD>(Button->width_);
  }
  if (showCaptions_ && !(nb.fsStyle & BTNS_SEP)) {
    info.dwMask |= TBIF_TEXT;
    info.pszText = const_cast<Char*>(text.c_str());
  }
  SendMessageW(WindowHandle(), TB_SETBUTTONINFOW, static_cast<WPARAM>(Button->commandId_),
               reinterpret_cast<LPARAM>(&info));
  if (layout) {
    UpdateButtonBounds();
    Invalidate();
  }
}

void TToolBar::UpdateButtonBounds() {
  if (!HandleAllocated()) return;
  placing_ = true;
  int bottom = 0;
  try {
    for (size_t i = 0; i < buttons_.size(); ++i) {
      RECT r{};
      if (!SendMessageW(WindowHandle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r))) continue;
      TToolButton* button = buttons_[i];
      if (r.right > r.left) button->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      if (button->Visible()) bottom = std::max(bottom, static_cast<int>(r.bottom));
    }
  } catch (...) {
    placing_ = false;
    throw;
  }
  placing_ = false;
  if (AutoSize() && bottom > 0) {
    const int frame = height_ - ClientHeight();
    if (bottom + frame != height_) SetBounds(left_, top_, width_, bottom + frame);
  }
}

void TToolBar::SyncDownStates() {
  if (!HandleAllocated()) return;
  for (TToolButton* button : buttons_) {
    if (button->style_ == tbsCheck)
      button->down_ =
          SendMessageW(WindowHandle(), TB_ISBUTTONCHECKED, static_cast<WPARAM>(button->commandId_), 0) != 0;
    else if (button->style_ == tbsButton || button->style_ == tbsDropDown)
      button->down_ =
          SendMessageW(WindowHandle(), TB_ISBUTTONPRESSED, static_cast<WPARAM>(button->commandId_), 0) != 0;
  }
}

void TToolBar::ApplyImageLists() {
  if (!HandleAllocated()) return;
  HWND wnd = WindowHandle();
  SendMessageW(wnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  SendMessageW(wnd, TB_SETDISABLEDIMAGELIST, 0,
               reinterpret_cast<LPARAM>(disabledImages_ ? disabledImages_->Handle() : nullptr));
  SendMessageW(wnd, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages_ ? hotImages_->Handle() : nullptr));
  if (images_)
    SendMessageW(wnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(images_->Width(), images_->Height()));
  else
    SendMessageW(wnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
}

void TToolBar::ImageListChange(TObject*) { RebuildButtons(); }

void TToolBar::SetImageList(TCustomImageList*& field, TCustomImageList* value) {
  if (!ReplaceImageList(this, field, value, imageChangeLink_)) return;
  RebuildButtons();
}

void TToolBar::SetImages(TCustomImageList* value) { SetImageList(images_, value); }
void TToolBar::SetDisabledImages(TCustomImageList* value) { SetImageList(disabledImages_, value); }
void TToolBar::SetHotImages(TCustomImageList* value) { SetImageList(hotImages_, value); }

void TToolBar::SetButtonHeight(int value) {
  if (value < 1 || buttonHeight_ == value) return;
  buttonHeight_ = value;
  RebuildButtons();
}

void TToolBar::SetButtonWidth(int value) {
  if (value < 1 || buttonWidth_ == value) return;
  buttonWidth_ = value;
  RebuildButtons();
}

void TToolBar::SetShowCaptions(bool value) {
  if (showCaptions_ == value) return;
  showCaptions_ = value;
  RebuildButtons();
}

void TToolBar::SetFlat(bool value) {
  if (flat_ == value) return;
  flat_ = value;
  RecreateIfAllocated(this);
}

void TToolBar::SetList(bool value) {
  if (list_ == value) return;
  list_ = value;
  RecreateIfAllocated(this);
}

void TToolBar::SetWrapable(bool value) {
  if (wrapable_ == value) return;
  wrapable_ = value;
  RecreateIfAllocated(this);
}

void TToolBar::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  RecreateIfAllocated(this);
}

void TToolBar::SetIndent(int value) {
  value = std::max(0, value);
  if (indent_ == value) return;
  indent_ = value;
  if (HandleAllocated()) {
    SendMessageW(WindowHandle(), TB_SETINDENT, static_cast<WPARAM>(value), 0);
    UpdateButtonBounds();
    Invalidate();
  }
}

namespace {
void FrameChanged(TWinControl* control) {
  if (control->HandleAllocated())
    SetWindowPos(control->WindowHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
}  // namespace

void TToolBar::SetEdgeBorders(TEdgeBorders value) {
  if (edgeBorders_ == value) return;
  edgeBorders_ = value;
  FrameChanged(this);
}

void TToolBar::SetEdgeInner(TEdgeStyle value) {
  if (edgeInner_ == value) return;
  edgeInner_ = value;
  FrameChanged(this);
}

void TToolBar::SetEdgeOuter(TEdgeStyle value) {
  if (edgeOuter_ == value) return;
  edgeOuter_ = value;
  FrameChanged(this);
}

int TToolBar::EdgeSize() const { return (edgeInner_ != esNone ? 1 : 0) + (edgeOuter_ != esNone ? 1 : 0); }

void TToolBar::CNCommand(TWMCommand& Message) {
  if (TToolButton* button = FindButton(Message.ItemID)) {
    SyncDownStates();
    button->Click();
  }
}

void TToolBar::CNNotify(TWMNotify& Message) {
  if (Message.NMHdr->code != static_cast<UINT>(TBN_DROPDOWN)) return;
  auto* nm = reinterpret_cast<NMTOOLBARW*>(Message.NMHdr);
  TToolButton* button = FindButton(nm->iItem);
  Message.Result = TBDDRET_DEFAULT;
  if (!button || !button->dropdownMenu_) {
    Message.Result = TBDDRET_NODEFAULT;
    return;
  }
  RECT r{};
  SendMessageW(WindowHandle(), TB_GETRECT, static_cast<WPARAM>(button->commandId_), reinterpret_cast<LPARAM>(&r));
  POINT p{r.left, r.bottom};
  ::ClientToScreen(WindowHandle(), &p);
  button->dropdownMenu_->Popup(p.x, p.y);
}

void TToolBar::WMSize(TWMSize& Message) {
  DispatchInherited(TToolBar::StaticClass(), &Message);
  UpdateButtonBounds();
}

void TToolBar::WMNCCalcSize(TWMNCCalcSize& Message) {
  DispatchInherited(TToolBar::StaticClass(), &Message);
  const int size = EdgeSize();
  if (size == 0 || !Message.CalcSize_Params) return;
  RECT& r = Message.CalcValidRects ? Message.CalcSize_Params->rgrc[0]
                                   : *reinterpret_cast<RECT*>(Message.CalcSize_Params);
  if (edgeBorders_.Contains(ebLeft)) r.left += size;
  if (edgeBorders_.Contains(ebTop)) r.top += size;
  if (edgeBorders_.Contains(ebRight)) r.right -= size;
  if (edgeBorders_.Contains(ebBottom)) r.bottom -= size;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
}

void TToolBar::WMNCPaint(TMessage& Message) {
  DispatchInherited(TToolBar::StaticClass(), &Message);
  if (EdgeSize() == 0 || edgeBorders_.Empty() || !HandleAllocated()) return;
  static const UINT inner[] = {0, BDR_RAISEDINNER, BDR_SUNKENINNER};
  static const UINT outer[] = {0, BDR_RAISEDOUTER, BDR_SUNKENOUTER};
  UINT sides = 0;
  if (edgeBorders_.Contains(ebLeft)) sides |= BF_LEFT;
  if (edgeBorders_.Contains(ebTop)) sides |= BF_TOP;
  if (edgeBorders_.Contains(ebRight)) sides |= BF_RIGHT;
  if (edgeBorders_.Contains(ebBottom)) sides |= BF_BOTTOM;
  HDC dc = GetWindowDC(WindowHandle());
  RECT r{0, 0, width_, height_};
  const int bw = BorderWidth();
  InflateRect(&r, -bw, -bw);
  DrawEdge(dc, &r, inner[edgeInner_] | outer[edgeOuter_], sides);
  ReleaseDC(WindowHandle(), dc);
}

void TToolBar::CMHintShow(TCMHintShow& Message) {
  DispatchInherited(TToolBar::StaticClass(), &Message);
  THintInfo* info = Message.HintInfo;
  if (!info) return;
  for (TToolButton* button : buttons_) {
    if (!button->Visible() || !button->BoundsRect().Contains(info->CursorPos)) continue;
    if (!button->Hint().empty()) {
      info->HintStr = GetShortHint(button->Hint());
      info->CursorRect = button->BoundsRect();
    }
    break;
  }
}

void TToolBar::CMFontChanged(TMessage& Message) {
  DispatchInherited(TToolBar::StaticClass(), &Message);
  RebuildButtons();
}
