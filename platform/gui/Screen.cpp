// TScreen, TMonitor and TMouse.
#include "platform/gui/Forms.h"

#include "platform/core/StringLists.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TMonitor
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TMonitor, TObject, nullptr)

namespace {

MONITORINFO InfoOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!monitor || !GetMonitorInfoW(monitor, &info)) {
    // A monitor that went away: answer with the primary screen.
    SetRect(&info.rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  }
  return info;
}

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

TRect TMonitor::BoundsRect() const { return ToRect(InfoOf(handle_).rcMonitor); }
TRect TMonitor::WorkareaRect() const { return ToRect(InfoOf(handle_).rcWork); }
bool TMonitor::Primary() const { return (InfoOf(handle_).dwFlags & MONITORINFOF_PRIMARY) != 0; }

int TMonitor::PixelsPerInch() const {
  // Without per-monitor DPI every monitor has the screen's resolution.
  HDC dc = GetDC(nullptr);
  const int result = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return result;
}

// ---------------------------------------------------------------------------
// TScreen
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TScreen, TComponent, (ConstructWith<TScreen, TComponent>))

namespace {

struct StandardCursor {
  TCursor Id;
  LPCWSTR Resource;
};

// The system cursors behind the standard ids. The platform's own drag and
// split cursors have no system twin; the nearest system cursor stands in.
const StandardCursor kStandardCursors[] = {
    {crArrow, IDC_ARROW},        {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},
    {crSizeNESW, IDC_SIZENESW},  {crSizeNS, IDC_SIZENS},     {crSizeNWSE, IDC_SIZENWSE},
    {crSizeWE, IDC_SIZEWE},      {crUpArrow, IDC_UPARROW},   {crHourGlass, IDC_WAIT},
    {crDrag, IDC_ARROW},         {crNoDrop, IDC_NO},         {crHSplit, IDC_SIZEWE},
    {crVSplit, IDC_SIZENS},      {crMultiDrag, IDC_ARROW},   {crSQLWait, IDC_WAIT},
    {crNo, IDC_NO},              {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
    {crHandPoint, IDC_HAND},     {crSizeAll, IDC_SIZEALL},
};

// Enumeration procedures stop the enumeration when their body raises.
BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  return GuardCallback(FALSE, [&] {
    reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
    return TRUE;
  });
}

int CALLBACK CollectFontFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM data) {
  return GuardCallback(0, [&] {
    // Vertical variants ("@Face") are not faces of their own.
    if (lf->lfFaceName[0] != L'@') reinterpret_cast<TStringList*>(data)->Add(lf->lfFaceName);
    return 1;
  });
}

}  // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  HDC dc = GetDC(nullptr);
  pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  defaultCursor_ = LoadCursorW(nullptr, IDC_ARROW);
  // Each load is a server call under Wine; the system's cursors are shared, so
  // loading one later gives the same handle.
  for (const StandardCursor& c : kStandardCursors) cursors_.push_back({c.Id, nullptr, false, c.Resource, nullptr});
  cursors_.push_back({crNone, nullptr, false, nullptr, nullptr});
  hintFont_ = Make<TFont>();
  menuFont_ = Make<TFont>();
  iconFont_ = Make<TFont>();
  ResetFonts();
}

TScreen::~TScreen() {
  ClearMonitors();
  for (const CursorEntry& c : cursors_)
    if (c.Owned && c.Handle) GdiDestroyCursor(c.Handle);
  TObject::Free(fonts_);
  TObject::Free(iconFont_);
  TObject::Free(menuFont_);
  TObject::Free(hintFont_);
}

// Which custom forms are TForms is asked now, not when they were added: a
// form is added by its constructor, before it is of its final class.
int TScreen::FormCount() const {
  int n = 0;
  for (TCustomForm* f : customForms_)
    if (dynamic_cast<TForm*>(f)) ++n;
  return n;
}

TForm* TScreen::Forms(int index) const {
  if (index >= 0)
    for (TCustomForm* f : customForms_)
      if (auto* form = dynamic_cast<TForm*>(f); form && index-- == 0) return form;
  throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
}

TCustomForm* TScreen::CustomForms(int index) const {
  if (index < 0 || index >= CustomFormCount())
    throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return customForms_[index];
}

void TScreen::AddForm(TCustomForm* form) { customForms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(customForms_, form);
  std::erase(saveFocusedList_, form);
  bool changed = false;
  if (activeCustomForm_ == form) {
    activeCustomForm_ = nullptr;
    activeForm_ = nullptr;
    activeControl_ = nullptr;
    changed = true;
  }
  if (focusedForm_ == form) focusedForm_ = nullptr;
  if (lastActiveCustomForm_ == form) lastActiveCustomForm_ = nullptr;
  if (lastActiveControl_ && GetParentForm(lastActiveControl_) == form) lastActiveControl_ = nullptr;
  if (activeControl_ && GetParentForm(activeControl_) == form) activeControl_ = nullptr;
  if (changed && !ComponentState().Contains(csDestroying)) UpdateLastActive();
}

// The active form moves to the front of the lists, so they run from the
// most recently active form backwards.
void TScreen::MoveToFront(TCustomForm* form) {
  std::erase(customForms_, form);
  customForms_.insert(customForms_.begin(), form);
}

void TScreen::UpdateLastActive() {
  if (lastActiveCustomForm_ != activeCustomForm_) {
    lastActiveCustomForm_ = activeCustomForm_;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
  if (lastActiveControl_ != activeControl_) {
    lastActiveControl_ = activeControl_;
    if (OnActiveControlChange) OnActiveControlChange(this);
  }
}

// ---- cursors ---------------------------------------------------------------

HCURSOR TScreen::Cursors(int index) const {
  if (index != crDefault)
    for (const CursorEntry& c : cursors_)
      if (c.Id == index) {
        if (!c.Handle && c.Resource) {
          c.Handle = LoadCursorW(c.Module, c.Resource);
          if (!c.Handle) break;
          c.Resource = nullptr;
        }
        return c.Handle;
      }
  return defaultCursor_;
}

void TScreen::SetCursorResource(int index, HMODULE module, const wchar_t* name) {
  if (index == crDefault) {
    SetCursors(index, name ? LoadCursorW(module, name) : nullptr);
    return;
  }
  SetCursors(index, nullptr);
  if (name) cursors_.push_back({index, nullptr, false, name, module});
}

void TScreen::SetCursors(int index, HCURSOR handle) {
  if (index == crDefault) {
    defaultCursor_ = handle ? handle : LoadCursorW(nullptr, IDC_ARROW);
    return;
  }
  for (auto it = cursors_.begin(); it != cursors_.end(); ++it) {
    if (it->Id != index) continue;
    if (it->Owned && it->Handle) {
      if (it->Handle != handle) GdiDestroyCursor(it->Handle);
      else GdiDisownIcon(handle);   // taken over again just below
    }
    cursors_.erase(it);
    break;
  }
  if (handle) {
    cursors_.push_back({index, handle, true, nullptr, nullptr});
    GdiAdoptIcon(handle);
  }
}

void TScreen::SetCursor(TCursor value) {
  ++cursorCount_;
  if (value == cursor_) return;
  cursor_ = value;
  if (value == crDefault) {
    // Let the window under the mouse choose its cursor again.
    POINT p;
    ::GetCursorPos(&p);
    HWND wnd = WindowFromPoint(p);
    if (wnd && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId()) {
      const LRESULT hit = SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
      SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(hit, WM_MOUSEMOVE));
    }
  } else {
    ::SetCursor(Cursors(value));
  }
}

// ---- monitors --------------------------------------------------------------

void TScreen::ClearMonitors() {
  for (TMonitor* m : monitors_) TObject::Free(m);
  monitors_.clear();
}

// Keeps the TMonitor objects of monitors that are still there, so pointers
// handed out stay valid as long as their monitor exists.
void TScreen::GetMonitors() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&handles));
  std::vector<TMonitor*> kept;
  for (size_t i = 0; i < handles.size(); ++i) {
    TMonitor* m = nullptr;
    for (TMonitor*& old : monitors_)
      if (old && old->handle_ == handles[i]) std::swap(m, old);
    if (!m) m = Make<TMonitor>(handles[i], static_cast<int>(i));
    m->monitorNum_ = static_cast<int>(i);
    kept.push_back(m);
  }
  for (TMonitor* old : monitors_) TObject::Free(old);
  monitors_ = std::move(kept);
}

int TScreen::MonitorCount() {
  GetMonitors();
  return static_cast<int>(monitors_.size());
}

TMonitor* TScreen::Monitors(int index) {
  if (monitors_.empty()) GetMonitors();
  if (index < 0 || index >= static_cast<int>(monitors_.size()))
    throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return monitors_[index];
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) {
  if (!handle) return nullptr;
  for (int pass = 0; pass < 2; ++pass) {
    for (TMonitor* m : monitors_)
      if (m->handle_ == handle) return m;
    GetMonitors();
  }
  return nullptr;
}

TMonitor* TScreen::PrimaryMonitor() {
  return FindMonitor(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

namespace {
DWORD MonitorFlags(TMonitorDefaultTo d) {
  switch (d) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}
}  // namespace

TMonitor* TScreen::MonitorFromPoint(TPoint point, TMonitorDefaultTo defaultTo) {
  return FindMonitor(::MonitorFromPoint(POINT{point.X, point.Y}, MonitorFlags(defaultTo)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& rect, TMonitorDefaultTo defaultTo) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  return FindMonitor(::MonitorFromRect(&r, MonitorFlags(defaultTo)));
}

TMonitor* TScreen::MonitorFromWindow(HWND handle, TMonitorDefaultTo defaultTo) {
  return FindMonitor(::MonitorFromWindow(handle, MonitorFlags(defaultTo)));
}

TRect TScreen::DesktopRect() const {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return ToRect(r);
}

// ---- fonts -----------------------------------------------------------------

void AssignLogFont(TFont* font, const LOGFONTW& lf) {
  HFONT handle = GdiCreateFont(lf);
  if (!handle) return;
  GdiDisown(handle);   // the font takes it over and counts it again
  font->SetHandle(handle);
}

void TScreen::ResetFonts() {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    AssignLogFont(hintFont_, ncm.lfStatusFont);
    AssignLogFont(menuFont_, ncm.lfMenuFont);
  } else {
    hintFont_->SetSize(8);
    menuFont_->SetSize(8);
  }
  hintFont_->SetColor(clInfoText);
  menuFont_->SetColor(clMenuText);
  LOGFONTW icon{};
  if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0))
    AssignLogFont(iconFont_, icon);
  else
    iconFont_->SetSize(8);
  iconFont_->SetColor(clWindowText);
}

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    auto* list = Make<TStringList>();
    list->SetDuplicates(dupIgnore);
    list->SetSorted(true);
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &lf, &CollectFontFace, reinterpret_cast<LPARAM>(list), 0);
    ReleaseDC(nullptr, dc);
    fonts_ = list;
  }
  return fonts_;
}

// ---------------------------------------------------------------------------
// TMouse
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TMouse, TObject, (ConstructPlain<TMouse>))

TMouse::TMouse() {
  SettingChanged(0);
  ControlsHooks().DragImmediate = dragImmediate_;
  ControlsHooks().DragThreshold = dragThreshold_;
}

TPoint TMouse::CursorPos() const {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

void TMouse::SetCursorPos(TPoint value) { ::SetCursorPos(value.X, value.Y); }

void TMouse::SetCapture(HWND value) {
  if (::GetCapture() == value) return;
  if (value)
    ::SetCapture(value);
  else
    ReleaseCapture();
}

void TMouse::SetDragThreshold(int value) {
  dragThreshold_ = value;
  ControlsHooks().DragThreshold = value;
}

void TMouse::SetDragImmediate(bool value) {
  dragImmediate_ = value;
  ControlsHooks().DragImmediate = value;
}

bool TMouse::IsDragging() const { return DragObject() != nullptr; }

void TMouse::SettingChanged(int setting) {
  if (setting == 0 || setting == SPI_SETWHEELSCROLLLINES) {
    UINT lines = 3;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) wheelScrollLines_ = static_cast<int>(lines);
  }
}
