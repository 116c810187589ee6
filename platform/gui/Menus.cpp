#include "platform/gui/Menus.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Messaging.h"

#include <algorithm>
#include <cwctype>

namespace {

const Char kMenuIndexError[] = L"Menu index out of range";
const Char kMenuReinserted[] = L"Menu inserted twice";
const Char kMenuNotFound[] = L"Sub-menu is not in menu";

// ---------------------------------------------------------------------------
// Key names
// ---------------------------------------------------------------------------

// The names a shortcut's key is shown with (the platform's English texts).
String KeyName(Word key) {
  struct Named {
    Word Key;
    const Char* Name;
  };
  static const Named names[] = {
      {VK_BACK, L"BkSp"},      {VK_TAB, L"Tab"},           {VK_RETURN, L"Enter"},
      {VK_PAUSE, L"Pause"},    {VK_CAPITAL, L"Caps Lock"}, {VK_ESCAPE, L"Esc"},
      {VK_SPACE, L"Space"},    {VK_PRIOR, L"PgUp"},        {VK_NEXT, L"PgDn"},
      {VK_END, L"End"},        {VK_HOME, L"Home"},         {VK_LEFT, L"Left"},
      {VK_UP, L"Up"},          {VK_RIGHT, L"Right"},       {VK_DOWN, L"Down"},
      {VK_INSERT, L"Ins"},     {VK_DELETE, L"Del"},        {VK_MULTIPLY, L"Num *"},
      {VK_ADD, L"Num +"},      {VK_SUBTRACT, L"Num -"},    {VK_DECIMAL, L"Num Del"},
      {VK_DIVIDE, L"Num /"},   {VK_NUMLOCK, L"Num Lock"},  {VK_SCROLL, L"Scroll Lock"},
      {VK_OEM_1, L";"},        {VK_OEM_PLUS, L"="},        {VK_OEM_COMMA, L","},
      {VK_OEM_MINUS, L"-"},    {VK_OEM_PERIOD, L"."},      {VK_OEM_2, L"/"},
      {VK_OEM_3, L"`"},        {VK_OEM_4, L"["},           {VK_OEM_5, L"\\"},
      {VK_OEM_6, L"]"},        {VK_OEM_7, L"'"},
  };
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(1, static_cast<Char>(key));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return L"Num " + String(1, static_cast<Char>('0' + key - VK_NUMPAD0));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  for (const Named& n : names)
    if (n.Key == key) return n.Name;
  return String();
}

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  return true;
}

// Removes `prefix` from the front of `text` when it is there (case-insensitive).
bool TakePrefix(std::wstring_view& text, std::wstring_view prefix) {
  if (text.size() < prefix.size() || !SameTextNoCase(text.substr(0, prefix.size()), prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// ---------------------------------------------------------------------------
// Command ids
// ---------------------------------------------------------------------------

// Every live menu item holds one WM_COMMAND id. Ids stay below the system
// commands (SC_* from 0xF000) and never use 0, which TrackPopupMenu reports
// for "nothing chosen".
constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0xEFFF;

std::vector<bool>& CommandPool() {
  static std::vector<bool> pool;
  return pool;
}

UINT UniqueCommand() {
  auto& pool = CommandPool();
  for (UINT i = 0; i < pool.size(); ++i)
    if (!pool[i]) {
      pool[i] = true;
      return i + kFirstCommand;
    }
  if (pool.size() > kLastCommand - kFirstCommand) throw EMenuError(L"Too many menu items");
  pool.push_back(true);
  return static_cast<UINT>(pool.size() - 1 + kFirstCommand);
}

void ReleaseCommand(UINT command) {
  auto& pool = CommandPool();
  const UINT i = command - kFirstCommand;
  if (command >= kFirstCommand && i < pool.size()) pool[i] = false;
}

// ---------------------------------------------------------------------------
// Drawing helpers
// ---------------------------------------------------------------------------

// The canvas font becomes the system's menu font.
void UseMenuFont(TCanvas* canvas) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return;
  const LOGFONTW& lf = ncm.lfMenuFont;
  TFontData data;
  data.Name = lf.lfFaceName;
  data.Height = lf.lfHeight;
  data.Charset = lf.lfCharSet;
  if (lf.lfWeight >= FW_BOLD) data.Style.Include(fsBold);
  if (lf.lfItalic) data.Style.Include(fsItalic);
  canvas->Font()->SetData(data);
}

// A canvas on a DC that someone else owns, released on leaving the scope.
struct TForeignCanvas {
  TCanvas* Canvas = Make<TCanvas>();
  explicit TForeignCanvas(HDC dc) { Canvas->SetHandle(dc); }
  ~TForeignCanvas() {
    Canvas->SetHandle(nullptr);
    TObject::Free(Canvas);
  }
  TForeignCanvas(const TForeignCanvas&) = delete;
  TForeignCanvas& operator=(const TForeignCanvas&) = delete;
};

constexpr int kGlyphGap = 4;         // around the glyph column
constexpr int kTextGap = 8;          // between glyph column, text and shortcut
constexpr int kSeparatorHeight = 5;

// The display captions of a sub-menu's visible entries: with maAutomatic,
// an entry without an accelerator gets the first of its letters or digits
// that no sibling uses yet.
std::vector<String> DisplayCaptions(const std::vector<TMenuItem*>& items, bool automatic) {
  std::vector<String> result;
  result.reserve(items.size());
  for (TMenuItem* item : items) result.push_back(item->Caption());
  if (!automatic) return result;
  std::vector<Char> used;
  for (size_t i = 0; i < items.size(); ++i) {
    const String hot = GetHotkey(result[i]);
    if (!hot.empty()) used.push_back(static_cast<Char>(std::towupper(hot[0])));
  }
  for (size_t i = 0; i < items.size(); ++i) {
    String& caption = result[i];
    if (items[i]->IsLine() || caption.empty() || !GetHotkey(caption).empty()) continue;
    for (size_t p = 0; p < caption.size(); ++p) {
      const Char c = caption[p];
      if (c == L'&' || !std::iswalnum(c)) continue;
      const Char up = static_cast<Char>(std::towupper(c));
      if (std::find(used.begin(), used.end(), up) != used.end()) continue;
      used.push_back(up);
      caption.insert(p, 1, L'&');
      break;
    }
  }
  return result;
}

std::vector<TMenuItem*> VisibleItems(TMenuItem* parent) {
  std::vector<TMenuItem*> v;
  for (int i = 0; i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) v.push_back(parent->Items(i));
  return v;
}

// The effective auto-hotkey setting for the children of `item`.
bool AutoHotkeysFor(const TMenuItem* item, TMenu* menu) {
  for (const TMenuItem* i = item; i; i = i->Parent())
    if (i->AutoHotkeys() != maParent) return i->AutoHotkeys() == maAutomatic;
  return menu && menu->AutoHotkeys() == maAutomatic;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = TShiftState();
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut ShortCut) {
  const String name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return String();
  String result;
  if (ShortCut & scShift) result += L"Shift+";
  if (ShortCut & scCtrl) result += L"Ctrl+";
  if (ShortCut & scAlt) result += L"Alt+";
  return result + name;
}

TShortCut TextToShortCut(const String& Text) {
  std::wstring_view rest = Text;
  TShortCut modifiers = 0;
  for (;;) {
    if (TakePrefix(rest, L"Shift+")) modifiers |= scShift;
    else if (TakePrefix(rest, L"Ctrl+")) modifiers |= scCtrl;
    else if (TakePrefix(rest, L"Alt+")) modifiers |= scAlt;
    else break;
  }
  if (rest.empty()) return 0;
  for (Word key = 0x08; key <= 0xFF; ++key) {
    const String name = KeyName(key);
    if (!name.empty() && SameTextNoCase(rest, name)) return static_cast<TShortCut>(key | modifiers);
  }
  return 0;
}

// ---------------------------------------------------------------------------
// TMenuActionLink
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TMenuActionLink, TActionLink, (ConstructWith<TMenuActionLink, TObject>))

TMenuActionLink::TMenuActionLink(TObject* AClient) : TActionLink(AClient) {}

void TMenuActionLink::AssignClient(TObject* AClient) {
  FClient = dynamic_cast<TMenuItem*>(AClient);
  if (!FClient) throw EInvalidCast(L"Invalid class typecast: a menu action link needs a menu item");
}

bool TMenuActionLink::IsAutoCheckLinked() {
  return TActionLink::IsAutoCheckLinked() && FClient->AutoCheck() == CustomAction()->AutoCheck();
}
bool TMenuActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
  return TActionLink::IsCheckedLinked() && FClient->Checked() == CustomAction()->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}
bool TMenuActionLink::IsGroupIndexLinked() {
  return TActionLink::IsGroupIndexLinked() && FClient->GroupIndex() == CustomAction()->GroupIndex();
}
bool TMenuActionLink::IsHelpContextLinked() {
  return TActionLink::IsHelpContextLinked() && FClient->HelpContext() == CustomAction()->HelpContext();
}
bool TMenuActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient->ImageIndex() == CustomAction()->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
  return TActionLink::IsShortCutLinked() && FClient->ShortCut() == CustomAction()->ShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}
bool TMenuActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FClient->OnClick == Action()->OnExecute;
}

void TMenuActionLink::SetAutoCheck(bool value) {
  if (IsAutoCheckLinked()) FClient->SetAutoCheck(value);
}
void TMenuActionLink::SetCaption(const String& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TMenuActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) FClient->SetChecked(value);
}
void TMenuActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TMenuActionLink::SetGroupIndex(int value) {
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(value);
}
void TMenuActionLink::SetHelpContext(THelpContext value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}
void TMenuActionLink::SetHint(const String& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}
void TMenuActionLink::SetImageIndex(int value) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(value);
}
void TMenuActionLink::SetShortCut(TShortCut value) {
  if (IsShortCutLinked()) FClient->SetShortCut(value);
}
void TMenuActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value);
}
void TMenuActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked()) FClient->OnClick = value;
}

// ---------------------------------------------------------------------------
// TMenuItem
// ---------------------------------------------------------------------------

BEGIN_CLASS(TMenuItem, TComponent, (ConstructWith<TMenuItem, TComponent>))
  using M = TMenuItem;
  auto stored = [](bool (M::*test)() const) {
    return [test](TObject* o) { return (static_cast<M*>(o)->*test)(); };
  };
  b.Prop(L"Action", &M::Action, &M::SetAction);
  DefaultValue(b.Prop(L"AutoCheck", &M::AutoCheck, &M::SetAutoCheck), 0).Stored = stored(&M::IsAutoCheckStored);
  DefaultValue(b.Prop(L"AutoHotkeys", &M::AutoHotkeys, &M::SetAutoHotkeys), maParent);
  b.Prop(L"Bitmap", [](M* m) { return m->Bitmap(); }, [](M* m, TBitmap* v) { m->SetBitmap(v); })
      .Stored = stored(&M::HasBitmap);
  DefaultValue(b.Prop(L"Break", &M::Break, &M::SetBreak), mbNone);
  b.Prop(L"Caption", &M::Caption, &M::SetCaption).Stored = stored(&M::IsCaptionStored);
  DefaultValue(b.Prop(L"Checked", &M::Checked, &M::SetChecked), 0).Stored = stored(&M::IsCheckedStored);
  b.Prop(L"SubMenuImages", &M::SubMenuImages, &M::SetSubMenuImages);
  DefaultValue(b.Prop(L"Default", &M::Default, &M::SetDefault), 0);
  DefaultValue(b.Prop(L"Enabled", &M::Enabled, &M::SetEnabled), 1).Stored = stored(&M::IsEnabledStored);
  DefaultValue(b.Prop(L"GroupIndex", &M::GroupIndex, &M::SetGroupIndex), 0).Stored = stored(&M::IsGroupIndexStored);
  DefaultValue(b.Prop(L"HelpContext", &M::HelpContext, &M::SetHelpContext), 0).Stored =
      stored(&M::IsHelpContextStored);
  b.Prop(L"Hint", &M::Hint, &M::SetHint).Stored = stored(&M::IsHintStored);
  DefaultValue(b.Prop(L"ImageIndex", &M::ImageIndex, &M::SetImageIndex), -1).Stored = stored(&M::IsImageIndexStored);
  DefaultValue(b.Prop(L"RadioItem", &M::RadioItem, &M::SetRadioItem), 0);
  DefaultValue(b.Prop(L"ShortCut", &M::ShortCut, &M::SetShortCut), 0).Stored = stored(&M::IsShortCutStored);
  DefaultValue(b.Prop(L"Visible", &M::Visible, &M::SetVisible), 1).Stored = stored(&M::IsVisibleStored);
  b.Prop(L"OnAdvancedDrawItem", &M::OnAdvancedDrawItem, &M::OnAdvancedDrawItem);
  b.Prop(L"OnClick", &M::OnClick, &M::OnClick).Stored = stored(&M::IsOnClickStored);
  b.Prop(L"OnDrawItem", &M::OnDrawItem, &M::OnDrawItem);
  b.Prop(L"OnMeasureItem", &M::OnMeasureItem, &M::OnMeasureItem);
END_CLASS

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { command_ = UniqueCommand(); }

TMenuItem::~TMenuItem() {
  if (parent_) {
    // The parent drops our entry (and with it our sub-menu) from its handle.
    const int i = parent_->IndexOf(this);
    if (i >= 0) parent_->Delete(i);
  }
  while (!items_.empty()) TObject::Free(items_.back());
  FreeAndNil(actionLink_);
  FreeAndNil(bitmap_);
  ReleaseHandle();
  ReleaseCommand(command_);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError(kMenuIndexError);
  return items_[index];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_ || item->menu_) throw EMenuError(kMenuReinserted);
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EMenuError(kMenuReinserted);
  if (index < 0 || index > Count()) throw EMenuError(kMenuIndexError);
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  RebuildHandle();
  MenuChanged(items_.size() == 1);
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) throw EMenuError(kMenuIndexError);
  TMenuItem* item = items_[index];
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  RebuildHandle();
  MenuChanged(items_.empty());
}

void TMenuItem::Remove(TMenuItem* item) {
  const int i = IndexOf(item);
  if (i < 0) throw EMenuError(kMenuNotFound);
  Delete(i);
}

void TMenuItem::Clear() {
  while (!items_.empty()) TObject::Free(items_.back());
}

int TMenuItem::IndexOf(TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  const String wanted = StripHotkey(ACaption);
  for (TMenuItem* item : items_)
    if (SameTextNoCase(wanted, StripHotkey(item->caption_))) return item;
  return nullptr;
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

void TMenuItem::SetMenuIndex(int value) {
  if (!parent_) return;
  TMenuItem* parent = parent_;
  value = std::clamp(value, 0, parent->Count() - 1);
  const int cur = MenuIndex();
  if (value == cur) return;
  parent->items_.erase(parent->items_.begin() + cur);
  parent->items_.insert(parent->items_.begin() + value, this);
  parent->RebuildHandle();
  parent->MenuChanged(false);
}

TMenu* TMenuItem::ParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    handle_ = menu_ ? menu_->CreateMenuHandle() : CreatePopupMenu();
    if (!handle_) RaiseLastOSError();
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::ReleaseHandle() {
  if (!handle_) return;
  // Detach the sub-menus first: they belong to the child items, and
  // DestroyMenu would destroy them with ours.
  while (GetMenuItemCount(handle_) > 0)
    if (!RemoveMenu(handle_, 0, MF_BYPOSITION)) break;
  DestroyMenu(handle_);
  handle_ = nullptr;
}

void TMenuItem::RebuildHandle() {
  if (!handle_ || ComponentState().Contains(csDestroying)) return;
  while (GetMenuItemCount(handle_) > 0)
    if (!RemoveMenu(handle_, 0, MF_BYPOSITION)) break;
  const std::vector<TMenuItem*> visible = VisibleItems(this);
  const std::vector<String> captions = DisplayCaptions(visible, AutoHotkeysFor(this, ParentMenu()));
  for (size_t i = 0; i < visible.size(); ++i) {
    TMenuItem* item = visible[i];
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    String text;
    if (item->IsLine()) {
      mii.fType = MFT_SEPARATOR;
      mii.fMask &= ~MIIM_STRING;
    } else {
      text = captions[i];
      if (item->shortCut_) {
        const String sc = ShortCutToText(item->shortCut_);
        if (!sc.empty()) text += L"\t" + sc;
      }
      mii.fType = item->IsOwnerDraw() ? MFT_OWNERDRAW : MFT_STRING;
      if (item->radioItem_) mii.fType |= MFT_RADIOCHECK;
      mii.dwTypeData = text.data();
      mii.cch = static_cast<UINT>(text.size());
    }
    if (item->break_ == mbBreak) mii.fType |= MFT_MENUBREAK;
    if (item->break_ == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
    if (item->checked_) mii.fState |= MFS_CHECKED;
    if (!item->enabled_) mii.fState |= MFS_DISABLED | MFS_GRAYED;
    if (item->default_) mii.fState |= MFS_DEFAULT;
    mii.wID = item->command_;
    mii.hSubMenu = item->items_.empty() ? nullptr : item->Handle();
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    InsertMenuItemW(handle_, static_cast<UINT>(i), TRUE, &mii);
  }
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (ComponentState().Contains(csDestroying)) return;
  if (parent_) parent_->RebuildHandle();
  if (TMenu* menu = ParentMenu()) menu->MenuChanged(menu, this, Rebuild);
}

TMenuItem* TMenuItem::FindItem(UINT_PTR value, TFindItemKind kind) {
  switch (kind) {
    case fkCommand:
      if (command_ == value) return this;
      break;
    case fkHandle:
      if (handle_ && reinterpret_cast<UINT_PTR>(handle_) == value) return this;
      break;
    case fkShortCut:
      if (shortCut_ != 0 && shortCut_ == value) return this;
      break;
  }
  for (TMenuItem* child : items_)
    if (TMenuItem* found = child->FindItem(value, kind)) return found;
  return nullptr;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  // An action with AutoCheck checks through the link; the item toggles
  // itself only when it does not follow the action for it.
  if (autoCheck_ && (!actionLink_ || !actionLink_->IsAutoCheckLinked())) SetChecked(!checked_);
  TBasicAction* action = Action();
  if (OnClick && (!action || OnClick.Method().Code != action->OnExecute.Method().Code)) {
    OnClick(this);
  } else if (actionLink_ && !ComponentState().Contains(csDesigning)) {
    actionLink_->Execute(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

void TMenuItem::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

bool TMenuItem::IsOwnerDraw() const {
  if (IsLine()) return false;
  if (TMenu* menu = ParentMenu(); menu && menu->OwnerDraw()) return true;
  return ImageList() != nullptr || HasBitmap();
}

TCustomImageList* TMenuItem::ImageList() const {
  if (parent_ && parent_->subMenuImages_) return parent_->subMenuImages_;
  TMenu* menu = ParentMenu();
  return menu ? menu->Images() : nullptr;
}

String TMenuItem::DisplayCaption() const {
  if (!parent_ || !visible_) return caption_;
  const std::vector<TMenuItem*> visible = VisibleItems(parent_);
  const std::vector<String> captions = DisplayCaptions(visible, AutoHotkeysFor(parent_, ParentMenu()));
  for (size_t i = 0; i < visible.size(); ++i)
    if (visible[i] == this) return captions[i];
  return caption_;
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  if (IsLine()) {
    Width = std::max(Width, 2 * kTextGap);
    Height = kSeparatorHeight;
  } else {
    int glyphW = 16, glyphH = 16;
    if (TCustomImageList* images = ImageList()) {
      glyphW = images->Width();
      glyphH = images->Height();
    } else if (HasBitmap()) {
      glyphW = bitmap_->Width();
      glyphH = bitmap_->Height();
    }
    TRect r;
    String text = DisplayCaption();
    ACanvas->TextRect(r, text, TTextFormat{tfCalcRect, tfSingleLine});
    int w = glyphW + 2 * kGlyphGap + kTextGap + r.Width() + kTextGap;
    if (shortCut_) w += ACanvas->TextWidth(ShortCutToText(shortCut_)) + kTextGap;
    Width = std::max(Width, w);
    Height = std::max({Height, r.Height() + 4, glyphH + 2 * 2});
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
    return;
  }
  const bool selected = State.Contains(odSelected);
  const bool disabled = State.Contains(odDisabled) || State.Contains(odGrayed) || !enabled_;
  ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  HDC dc = ACanvas->Handle();
  if (IsLine()) {
    RECT line{ARect.Left, (ARect.Top + ARect.Bottom) / 2 - 1, ARect.Right, (ARect.Top + ARect.Bottom) / 2 + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  int glyphW = 16, glyphH = 16;
  TCustomImageList* images = ImageList();
  if (images) {
    glyphW = images->Width();
    glyphH = images->Height();
  } else if (HasBitmap()) {
    glyphW = bitmap_->Width();
    glyphH = bitmap_->Height();
  }
  const int gx = ARect.Left + kGlyphGap;
  const int gy = ARect.Top + (ARect.Height() - glyphH) / 2;
  const TRect glyph = Bounds(gx, gy, glyphW, glyphH);
  const bool hasImage = images && imageIndex_ >= 0 && imageIndex_ < images->Count();
  if (checked_ && (hasImage || HasBitmap())) {
    // A checked item with a picture shows the picture framed.
    ACanvas->Brush()->SetColor(clBtnShadow);
    ACanvas->FrameRect(TRect(glyph.Left - 1, glyph.Top - 1, glyph.Right + 1, glyph.Bottom + 1));
  }
  if (hasImage) {
    images->Draw(ACanvas, gx, gy, imageIndex_, !disabled);
  } else if (HasBitmap()) {
    ACanvas->Draw(gx, gy, bitmap_);
  } else if (checked_) {
    RECT mark{glyph.Left, glyph.Top, glyph.Right, glyph.Bottom};
    DrawFrameControl(dc, &mark, DFC_MENU, radioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(disabled ? clGrayText : selected ? clHighlightText : clMenuText);
  if (default_) ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);
  TTextFormat format{tfSingleLine, tfVerticalCenter, tfLeft};
  if (State.Contains(odNoAccel)) format.Include(tfHidePrefix);
  TRect textRect(glyph.Right + kGlyphGap + kTextGap, ARect.Top, ARect.Right - kTextGap, ARect.Bottom);
  String text = TopLevel ? caption_ : DisplayCaption();
  ACanvas->TextRect(textRect, text, format);
  if (shortCut_ && !TopLevel) {
    String sc = ShortCutToText(shortCut_);
    TRect scRect = textRect;
    scRect.Right -= kTextGap;  // room for a sub-menu arrow
    ACanvas->TextRect(scRect, sc, TTextFormat{tfSingleLine, tfVerticalCenter, tfRight});
  }
}

TBasicAction* TMenuItem::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* value) {
  if (value == Action()) return;
  if (TBasicAction* old = Action()) old->RemoveFreeNotification(this);
  if (!value) {
    FreeAndNil(actionLink_);
    return;
  }
  if (!actionLink_)
    actionLink_ = static_cast<TMenuActionLink*>(TMenuActionLink::StaticClass()->NewInstance(this));
  actionLink_->SetAction(value);
  actionLink_->OnChange = TNotifyEvent::Bind<&TMenuItem::DoActionChange>(this);
  ActionChange(value, value->ComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
  if (Sender == Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || !autoCheck_) SetAutoCheck(a->AutoCheck());
  if (!CheckDefaults || caption_.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !checked_) SetChecked(a->Checked());
  if (!CheckDefaults || enabled_) SetEnabled(a->Enabled());
  if (!CheckDefaults || helpContext_ == 0) SetHelpContext(a->HelpContext());
  if (!CheckDefaults || hint_.empty()) SetHint(a->Hint());
  if (!CheckDefaults || groupIndex_ == 0) SetGroupIndex(a->GroupIndex());
  if (!CheckDefaults || imageIndex_ == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || shortCut_ == 0) SetShortCut(a->ShortCut());
  if (!CheckDefaults || visible_) SetVisible(a->Visible());
  if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
}

bool TMenuItem::IsCaptionStored() const { return !actionLink_ || !actionLink_->IsCaptionLinked(); }
bool TMenuItem::IsCheckedStored() const { return !actionLink_ || !actionLink_->IsCheckedLinked(); }
bool TMenuItem::IsEnabledStored() const { return !actionLink_ || !actionLink_->IsEnabledLinked(); }
bool TMenuItem::IsHintStored() const { return !actionLink_ || !actionLink_->IsHintLinked(); }
bool TMenuItem::IsImageIndexStored() const { return !actionLink_ || !actionLink_->IsImageIndexLinked(); }
bool TMenuItem::IsShortCutStored() const { return !actionLink_ || !actionLink_->IsShortCutLinked(); }
bool TMenuItem::IsVisibleStored() const { return !actionLink_ || !actionLink_->IsVisibleLinked(); }
bool TMenuItem::IsHelpContextStored() const { return !actionLink_ || !actionLink_->IsHelpContextLinked(); }
bool TMenuItem::IsGroupIndexStored() const { return !actionLink_ || !actionLink_->IsGroupIndexLinked(); }
bool TMenuItem::IsAutoCheckStored() const { return !actionLink_ || !actionLink_->IsAutoCheckLinked(); }
bool TMenuItem::IsOnClickStored() const { return !actionLink_ || !actionLink_->IsOnExecuteLinked(); }

void TMenuItem::SetAutoHotkeys(TMenuAutoFlag value) {
  if (value == autoHotkeys_) return;
  autoHotkeys_ = value;
  RebuildHandle();
  MenuChanged(true);
}

void TMenuItem::SetAutoCheck(bool value) { autoCheck_ = value; }

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) {
    bitmap_ = Make<TBitmap>();
    bitmap_->OnChange = TNotifyEvent::Bind<&TMenuItem::BitmapChanged>(this);
  }
  return bitmap_;
}

void TMenuItem::SetBitmap(TBitmap* value) {
  Bitmap()->Assign(value);
}

bool TMenuItem::HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }

void TMenuItem::BitmapChanged(TObject*) { MenuChanged(true); }

void TMenuItem::SetBreak(TMenuBreak value) {
  if (value == break_) return;
  break_ = value;
  MenuChanged(true);
}

void TMenuItem::SetCaption(const String& value) {
  if (value == caption_) return;
  caption_ = value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (value && radioItem_) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem* sibling : parent_->items_)
    if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ && sibling->checked_) {
      sibling->checked_ = false;
      if (sibling->actionLink_ && sibling->actionLink_->IsCheckedLinked())
        if (auto* a = dynamic_cast<TCustomAction*>(sibling->Action())) a->SetChecked(false);
    }
}

void TMenuItem::SetDefault(bool value) {
  if (value == default_) return;
  if (value && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this) sibling->default_ = false;
  default_ = value;
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  if (checked_ && radioItem_) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == radioItem_) return;
  radioItem_ = value;
  if (checked_ && radioItem_) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  shortCut_ = value;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* value) {
  if (value == subMenuImages_) return;
  if (subMenuImages_) subMenuImages_->RemoveFreeNotification(this);
  subMenuImages_ = value;
  if (value) value->FreeNotification(this);
  RebuildHandle();
  MenuChanged(true);
}

void TMenuItem::GetChildren(TGetChildProc proc, TComponent*) {
  for (TMenuItem* item : items_) proc(item);
}

void TMenuItem::SetChildOrder(TComponent* child, int order) {
  if (auto* item = dynamic_cast<TMenuItem*>(child); item && item->parent_ == this) item->SetMenuIndex(order);
}

bool TMenuItem::HasParent() { return true; }

TComponent* TMenuItem::GetParentComponent() {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* value) {
  if (parent_) parent_->Remove(this);
  if (!value) return;
  if (auto* menu = dynamic_cast<TMenu*>(value)) menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(value)) item->Add(this);
  else throw EMenuError(L"A menu item's parent must be a menu or a menu item");
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  if (actionLink_ && Action()) ActionChange(Action(), true);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation operation) {
  TComponent::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent && AComponent == Action()) SetAction(nullptr);
  if (AComponent == subMenuImages_) {
    subMenuImages_ = nullptr;
    RebuildHandle();
  }
}

void TMenuItem::RebuildTree() {
  RebuildHandle();
  for (TMenuItem* item : items_) item->RebuildTree();
}

// ---------------------------------------------------------------------------
// TMenu
// ---------------------------------------------------------------------------

BEGIN_CLASS(TMenu, TComponent, nullptr)
  b.Prop(L"Images", &TMenu::Images, &TMenu::SetImages);
  b.Prop(L"OnChange", &TMenu::OnChange, &TMenu::OnChange);
END_CLASS

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
  items_ = Make<TMenuItem>(this);
  items_->menu_ = this;
  imageChangeLink_ = Make<TChangeLink>();
  imageChangeLink_->OnChange = TNotifyEvent::Bind<&TMenu::ImageListChange>(this);
}

TMenu::~TMenu() {
  FreeAndNil(imageChangeLink_);
  TMenuItem* items = items_;
  items_->menu_ = nullptr;
  items_ = nullptr;
  TObject::Free(items);
}

HMENU TMenu::Handle() { return items_->Handle(); }

HMENU TMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TMenu::SetWindowHandle(HWND value) {
  windowHandle_ = value;
  MenuChanged(this, nullptr, false);
}

void TMenu::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) {
    images_->UnRegisterChanges(imageChangeLink_);
    images_->RemoveFreeNotification(this);
  }
  images_ = value;
  if (value) {
    value->RegisterChanges(imageChangeLink_);
    value->FreeNotification(this);
  }
  items_->RebuildTree();
  MenuChanged(this, nullptr, true);
}

void TMenu::ImageListChange(TObject* Sender) {
  if (Sender != images_ || ComponentState().Contains(csDestroying)) return;
  items_->RebuildTree();
  MenuChanged(this, nullptr, true);
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  items_->RebuildTree();
  MenuChanged(this, nullptr, true);
}

void TMenu::SetAutoHotkeys(TMenuAutoFlag value) {
  if (value == autoHotkeys_) return;
  autoHotkeys_ = value;
  items_->RebuildTree();
  MenuChanged(this, nullptr, true);
}

TMenuItem* TMenu::FindItem(UINT_PTR value, TFindItemKind kind) { return items_ ? items_->FindItem(value, kind) : nullptr; }

bool TMenu::DispatchCommand(UINT ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (!item || item == items_) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AHandle) {
  TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AHandle), fkHandle);
  if (!item) return false;
  if (!ComponentState().Contains(csDesigning)) {
    const std::vector<TMenuItem*> children = item->items_;
    for (TMenuItem* child : children)
      if (item->IndexOf(child) >= 0) child->InitiateAction();
  }
  // The platform's rule: the item whose sub-menu opens is clicked.
  if (item != items_) item->Click();
  return true;
}

bool TMenu::IsShortCut(TWMKey& Message) {
  return IsShortCut(ShortCut(static_cast<Byte>(Message.CharCode), KeyDataToShiftState(Message.KeyData)));
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  TMenuItem* item = FindItem(shortCut, fkShortCut);
  if (!item) return false;
  // The actions decide the item's state first; they may also change which
  // item holds the shortcut.
  item->InitiateAction();
  item = FindItem(shortCut, fkShortCut);
  if (!item) return false;
  for (TMenuItem* i = item; i && i != items_; i = i->Parent())
    if (!i->Enabled() || !i->Visible()) return false;
  item->Click();
  return true;
}

bool TMenu::MeasureItem(MEASUREITEMSTRUCT& mis) {
  if (mis.CtlType != ODT_MENU) return false;
  TMenuItem* item = FindItem(mis.itemID, fkCommand);
  if (!item || reinterpret_cast<ULONG_PTR>(item) != mis.itemData) return false;
  HDC dc = GetDC(nullptr);
  {
    TForeignCanvas canvas(dc);
    UseMenuFont(canvas.Canvas);
    int width = 0;
    int height = canvas.Canvas->TextHeight(L"Qg") + 4;
    item->MeasureItem(canvas.Canvas, width, height);
    mis.itemWidth = static_cast<UINT>(std::max(width, 0));
    mis.itemHeight = static_cast<UINT>(std::max(height, 0));
  }
  ReleaseDC(nullptr, dc);
  return true;
}

bool TMenu::DrawItem(const DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_MENU) return false;
  TMenuItem* item = FindItem(dis.itemID, fkCommand);
  if (!item || reinterpret_cast<ULONG_PTR>(item) != dis.itemData) return false;
  const int saved = SaveDC(dis.hDC);
  {
    TForeignCanvas canvas(dis.hDC);
    UseMenuFont(canvas.Canvas);
    const TRect r(dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom);
    const bool topLevel = item->Parent() == items_ && Is<TMainMenu>();
    item->AdvancedDrawItem(canvas.Canvas, r, OwnerDrawStateFromFlags(dis.itemState), topLevel);
  }
  RestoreDC(dis.hDC, saved);
  return true;
}

void TMenu::GetChildren(TGetChildProc proc, TComponent*) {
  for (int i = 0; i < items_->Count(); ++i) proc(items_->Items(i));
}

void TMenu::SetChildOrder(TComponent* child, int order) {
  if (auto* item = dynamic_cast<TMenuItem*>(child); item && item->Parent() == items_) item->SetMenuIndex(order);
}

void TMenu::Notification(TComponent* AComponent, TOperation operation) {
  TComponent::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == images_) {
    images_ = nullptr;
    if (items_) items_->RebuildTree();
  }
}

void TMenu::Loaded() {
  TComponent::Loaded();
  if (items_) items_->RebuildTree();
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (ComponentState().Contains(csDestroying)) return;
  if (OnChange) OnChange(Sender, Source, Rebuild);
}

// ---------------------------------------------------------------------------
// TMainMenu
// ---------------------------------------------------------------------------

BEGIN_CLASS(TMainMenu, TMenu, (ConstructWith<TMainMenu, TComponent>))
  DefaultValue(b.Prop(L"AutoHotkeys", &TMainMenu::AutoHotkeys, &TMainMenu::SetAutoHotkeys), maAutomatic);
  DefaultValue(b.Prop(L"OwnerDraw", &TMainMenu::OwnerDraw, &TMainMenu::SetOwnerDraw), 0);
END_CLASS

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (WindowHandle() && Items()->HandleAllocated() && !ComponentState().Contains(csDestroying))
    DrawMenuBar(WindowHandle());
  TMenu::MenuChanged(Sender, Source, Rebuild);
}

// ---------------------------------------------------------------------------
// TPopupMenu
// ---------------------------------------------------------------------------

BEGIN_CLASS(TPopupMenu, TMenu, (ConstructWith<TPopupMenu, TComponent>))
  using P = TPopupMenu;
  DefaultValue(b.Prop(L"Alignment", &P::Alignment, &P::SetAlignment), paLeft);
  DefaultValue(b.Prop(L"AutoHotkeys", &P::AutoHotkeys, &P::SetAutoHotkeys), maAutomatic);
  DefaultValue(b.Prop(L"AutoPopup", &P::AutoPopup, &P::SetAutoPopup), 1);
  DefaultValue(b.Prop(L"HelpContext", &P::HelpContext, &P::SetHelpContext), 0);
  DefaultValue(b.Prop(L"OwnerDraw", &P::OwnerDraw, &P::SetOwnerDraw), 0);
  DefaultValue(b.Prop(L"TrackButton", &P::TrackButton, &P::SetTrackButton), tbRightButton);
  b.Prop(L"OnClose", &P::OnClose, &P::OnClose);
  b.Prop(L"OnPopup", &P::OnPopup, &P::OnPopup);
END_CLASS

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { PopupList().Add(this); }

TPopupMenu::~TPopupMenu() {
  if (destroyedFlag_) {
    *destroyedFlag_ = true;
    // Our handle goes with us: the menu loop must not keep showing it.
    EndMenu();
  }
  PopupList().Remove(this);
  SetPopupComponent(nullptr);
}

HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

HWND TPopupMenu::WindowHandle() {
  if (HWND own = TMenu::WindowHandle()) return own;
  return PopupList().Window();
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
  if (value == popupComponent_) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = value;
  if (value) value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation operation) {
  TMenu::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::DoClose() {
  if (OnClose) OnClose(this);
}

void TPopupMenu::Popup(int X, int Y) {
  popupPoint_ = TPoint(X, Y);
  DoPopup(this);
  static const UINT alignFlags[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  UINT flags = alignFlags[alignment_] | (trackButton_ == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON);
  HMENU menu = Handle();
  HWND owner = PopupList().Window();
  bool destroyed = false;
  bool* outer = destroyedFlag_;
  destroyedFlag_ = &destroyed;
  TrackPopupMenuEx(menu, flags, X, Y, owner, nullptr);
  if (destroyed) {
    if (outer) *outer = true;
    return;
  }
  destroyedFlag_ = outer;
  DoClose();
}

// ---------------------------------------------------------------------------
// TPopupList
// ---------------------------------------------------------------------------

TPopupList& PopupList() {
  static TPopupList list;
  return list;
}

void TPopupList::Add(TPopupMenu* menu) { menus_.push_back(menu); }

void TPopupList::Remove(TPopupMenu* menu) { menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end()); }

HWND TPopupList::Window() {
  if (!window_) {
    window_ = AllocateHWnd(std::function<void(TMessage&)>([this](TMessage& m) {
      LRESULT result = 0;
      if (HandleMessage(m.Msg, m.WParam, m.LParam, result)) m.Result = result;
      else m.Result = DefWindowProcW(window_, m.Msg, m.WParam, m.LParam);
    }));
  }
  return window_;
}

void TPopupList::DestroyWindow() {
  DeallocateHWnd(window_);
  window_ = nullptr;
}

bool TPopupList::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // Handlers may free menus: walk a copy and skip the ones that are gone.
  const std::vector<TPopupMenu*> menus = menus_;
  auto live = [this](TPopupMenu* m) { return std::find(menus_.begin(), menus_.end(), m) != menus_.end(); };
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) != 0 || lParam != 0) return false;  // not from a menu
      for (TPopupMenu* m : menus)
        if (live(m) && m->DispatchCommand(LOWORD(wParam))) {
          result = 0;
          return true;
        }
      return false;
    case WM_INITMENUPOPUP:
      for (TPopupMenu* m : menus)
        if (live(m) && m->DispatchPopup(reinterpret_cast<HMENU>(wParam))) {
          result = 0;
          return true;
        }
      return false;
    case WM_MEASUREITEM:
      for (TPopupMenu* m : menus)
        if (live(m) && m->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
          result = TRUE;
          return true;
        }
      return false;
    case WM_DRAWITEM:
      for (TPopupMenu* m : menus)
        if (live(m) && m->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
          result = TRUE;
          return true;
        }
      return false;
    case WM_MENUCHAR: {
      // Owner-drawn entries have no text the system can search for their
      // accelerator: find it among the sub-menu's visible entries.
      const Char key = static_cast<Char>(std::towupper(static_cast<Char>(LOWORD(wParam))));
      const auto hmenu = static_cast<UINT_PTR>(lParam);
      for (TPopupMenu* m : menus) {
        if (!live(m)) continue;
        TMenuItem* parent = m->FindItem(hmenu, fkHandle);
        if (!parent) continue;
        int position = 0;
        for (int i = 0; i < parent->Count(); ++i) {
          TMenuItem* item = parent->Items(i);
          if (!item->Visible()) continue;
          const String hot = GetHotkey(item->DisplayCaption());
          if (item->IsOwnerDraw() && item->Enabled() && !hot.empty() && std::towupper(hot[0]) == key) {
            result = MAKELRESULT(position, MNC_EXECUTE);
            return true;
          }
          ++position;
        }
      }
      return false;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Building menus in code
// ---------------------------------------------------------------------------

TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, THelpContext hCtx, const String& AName) {
  auto* item = Make<TMenuItem>(nullptr);
  try {
    item->SetCaption(ACaption);
    item->SetShortCut(AShortCut);
    item->SetChecked(AChecked);
    item->SetEnabled(AEnabled);
    item->OnClick = AOnClick;
    item->SetHelpContext(hCtx);
    item->SetName(AName);
  } catch (...) {
    TObject::Free(item);
    throw;
  }
  return item;
}

TMenuItem* NewLine() {
  auto* item = Make<TMenuItem>(nullptr);
  item->SetCaption(L"-");
  return item;
}

TMenuItem* NewSubMenu(const String& ACaption, THelpContext hCtx, const String& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled) {
  TMenuItem* item = NewItem(ACaption, 0, false, AEnabled, nullptr, hCtx, AName);
  for (TMenuItem* child : Items)
    if (child) item->Add(child);
  return item;
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void MenusInitialize() {
  RegisterClasses({TMenuItem::StaticClass(), TPopupMenu::StaticClass(), TMainMenu::StaticClass()});
}

void MenusFinalize() {
  PopupList().DestroyWindow();
  UnRegisterClasses({TMenuItem::StaticClass(), TPopupMenu::StaticClass(), TMainMenu::StaticClass()});
}
