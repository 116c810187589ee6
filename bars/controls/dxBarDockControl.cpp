#include "bars/controls/dxBarDockControl.h"

#include "bars/controls/dxBarControlRoutines.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarPainters.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarRoutines.h"
#include "platform/gui/Forms.h"

#include <algorithm>

IMPLEMENT_CLASS(TdxDockCol, TObject, nullptr)
IMPLEMENT_CLASS(TdxDockRow, TObject, nullptr)
BEGIN_CLASS(TdxDockControl, TCustomControl, (ConstructWith<TdxDockControl, TComponent>))
END_CLASS

BEGIN_CLASS(TdxBarDockControl, TdxDockControl, (ConstructWith<TdxBarDockControl, TComponent>))
  using D = TdxBarDockControl;
  DefaultValue(b.Prop(L"Align", &D::Align, &D::SetAlign), dalTop);
  DefaultValue(b.Prop(L"AllowDocking", &D::AllowDocking, &D::SetAllowDocking), 1);
  DefaultValue(b.Prop(L"AllowZeroSizeInDesignTime", &D::AllowZeroSizeInDesignTime, &D::SetAllowZeroSizeInDesignTime),
               0);
  PublishControl(b, {L"Anchors"});
  b.Prop(L"BarManager", &D::GetBarManagerProp, &D::SetBarManagerProp);
  b.Prop(L"Color", &D::Color, &D::SetColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return static_cast<D*>(o)->OwnColorStored();
  };
  DefaultValue(b.Prop(L"ParentColor", &D::ParentColor, &D::SetParentColor), 1);
  b.Prop(L"SunkenBorder", &D::SunkenBorder, &D::SetSunkenBorder).Stored = [](TObject* o) {
    return static_cast<D*>(o)->UseOwnSunkenBorder();
  };
  DefaultValue(b.Prop(L"UseOwnColor", &D::UseOwnColor, &D::SetUseOwnColor), 0);
  DefaultValue(b.Prop(L"UseOwnSunkenBorder", &D::UseOwnSunkenBorder, &D::SetUseOwnSunkenBorder), 0);
  PublishControl(b, {L"Visible"});
  b.Prop(L"BackgroundBitmap", &D::BackgroundBitmap, &D::SetBackgroundBitmap);
  PublishControl(b, {L"OnClick", L"OnDblClick", L"OnMouseDown", L"OnMouseMove", L"OnMouseUp", L"OnResize"});
END_CLASS

IdxBarDockControl* dxBarCreateSideDock(TdxBarManager* AManager, TdxBarDockingStyle AStyle) {
  return Make<TdxDockControl>(nullptr, AStyle, AManager);
}

namespace {

TdxBarControl* BarControlOf(IdxBarControl* AControl) {
  return AControl ? dynamic_cast<TdxBarControl*>(AControl->BarControlObject()) : nullptr;
}

TdxBarControl* BarControlOf(TdxBar* ABar) { return ABar ? BarControlOf(ABar->Control()) : nullptr; }

bool IsVerticalStyle(TdxBarDockingStyle AStyle) { return AStyle == dsLeft || AStyle == dsRight; }

// A new frame for a toolbar window: the non-client area again, then the bar.
void RefreshBarFrame(TdxBarControl* AControl) {
  if (!AControl || !AControl->HandleAllocated()) return;
  SetWindowPos(AControl->WindowHandle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  AControl->RepaintBar();
}

// The window, or one of its owners or parents, is AOwner.
bool IsWindowOwnedBy(HWND AWnd, HWND AOwner) {
  for (HWND wnd = AWnd; wnd; wnd = GetParent(wnd))
    if (wnd == AOwner) return true;
  return false;
}

// Tiles the bitmap over ADestR on a grid that starts at the origin of ASourceR.
void TileBitmap(HDC DC, const TRect& ADestR, const TRect& ASourceR, TBitmap* ABitmap) {
  const int w = ABitmap->Width(), h = ABitmap->Height();
  if (w <= 0 || h <= 0 || ADestR.IsEmpty()) return;
  HDC source = ABitmap->Canvas()->Handle();
  auto first = [](int AStart, int AOrigin, int AStep) {
    const int d = AStart - AOrigin;
    return AOrigin + (d >= 0 ? d / AStep : -((-d + AStep - 1) / AStep)) * AStep;
  };
  for (int y = first(ADestR.Top, ASourceR.Top, h); y < ADestR.Bottom; y += h)
    for (int x = first(ADestR.Left, ASourceR.Left, w); x < ADestR.Right; x += w) {
      const int left = std::max(x, ADestR.Left), top = std::max(y, ADestR.Top);
      const int right = std::min(x + w, ADestR.Right), bottom = std::min(y + h, ADestR.Bottom);
      BitBlt(DC, left, top, right - left, bottom - top, source, left - x, top - y, SRCCOPY);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Rows and columns
// ---------------------------------------------------------------------------

void TdxDockCol::AssignPosition() {
  if (FBarControl) FPos = TPoint(FBarControl->Left(), FBarControl->Top());
}

TdxDockRow::~TdxDockRow() {
  FDestroying = true;
  while (!FColList.empty()) {
    TdxDockCol* col = FColList.back();
    FColList.pop_back();
    TObject::Free(col);
  }
  while (!FBars.empty()) {
    TdxBar* bar = FBars.back();
    if (bar->DockRow() == this)
      bar->SetDockRow(nullptr);
    else
      FBars.pop_back();
  }
}

IdxBarDockControl* TdxDockRow::RowDockControl() { return FDockControl; }

TdxDockCol* TdxDockRow::AddCol(TdxBarControl* ABarControl) { return InsertCol(ColCount(), ABarControl); }

TdxDockCol* TdxDockRow::InsertCol(int AIndex, TdxBarControl* ABarControl) {
  auto* col = Make<TdxDockCol>(this, ABarControl);
  FColList.insert(FColList.begin() + std::clamp(AIndex, 0, ColCount()), col);
  UpdateOneOnRow();
  return col;
}

void TdxDockRow::DeleteCol(TdxBarControl* ABarControl) {
  const int index = IndexOfBarControl(ABarControl);
  if (index >= 0) DeleteCol(index);
}

void TdxDockRow::DeleteCol(int AIndex) {
  TdxDockCol* col = FColList.at(AIndex);
  FColList.erase(FColList.begin() + AIndex);
  TObject::Free(col);
  // A row left without windows says nothing of its toolbars' sharing: a
  // toolbar whose window goes (hidden or made anew) stays alone on its row.
  if (ColCount() > 0) UpdateOneOnRow();
}

int TdxDockRow::IndexOfBarControl(TdxBarControl* ABarControl) const {
  for (int i = 0; i < ColCount(); ++i)
    if (FColList[i]->BarControl() == ABarControl) return i;
  return -1;
}

void TdxDockRow::UpdateOneOnRow() {
  const std::vector<TdxBar*> bars = FBars;
  for (TdxBar* bar : bars) bar->SetOneOnRow(ColCount() == 1);
}

bool TdxDockRow::Visible() const {
  for (TdxBar* bar : FBars)
    if (TdxBarControl* control = BarControlOf(bar); control && control->DockingStyle() != dsNone) return true;
  return false;
}

void TdxDockRow::IncludeBar(TdxBar* ABar) {
  if (!ABar) return;
  if (std::find(FBars.begin(), FBars.end(), ABar) == FBars.end()) FBars.push_back(ABar);
  TdxBarControl* control = BarControlOf(ABar);
  if (control && control->DockControl() == FDockControl && control->DockingStyle() != dsNone &&
      !FDockControl->FindCol(control))
    AddCol(control);
}

void TdxDockRow::RemoveBar(TdxBar* ABar, bool AFreeWhenEmpty) {
  FBars.erase(std::remove(FBars.begin(), FBars.end(), ABar), FBars.end());
  if (TdxBarControl* control = BarControlOf(ABar); control && !FDestroying) DeleteCol(control);
  if (!AFreeWhenEmpty || FDestroying || !FBars.empty()) return;
  auto& rows = const_cast<std::vector<TdxDockRow*>&>(FDockControl->RowList());
  rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
  TObject::Free(this);
}

// ---------------------------------------------------------------------------
// TdxDockControl
// ---------------------------------------------------------------------------

TdxDockControl::TdxDockControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FBackgroundBitmap = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxDockControl::BackgroundChanged>(this));
  FBackgroundTempBitmap = Make<TBitmap>();
  SetParentColor(true);
  SetAlign(alTop);
}

TdxDockControl::TdxDockControl(TComponent* AOwner, TdxBarDockingStyle ASide, TdxBarManager* AManager)
    : TdxDockControl(AOwner) {
  switch (ASide) {
    case dsLeft: SetAlign(alLeft); break;
    case dsRight: SetAlign(alRight); break;
    case dsBottom: SetAlign(alBottom); break;
    default: SetAlign(alTop); break;
  }
  TControlStyle style{csDoubleClicks, csNoDesignVisible};
  if (ASide == dsTop) style += csActionClient;
  SetControlStyle(style);
  FDockingStyle = ASide;
  if (ASide == dsTop || ASide == dsBottom)
    SetHeight(0);
  else
    SetWidth(0);
  SetBarManager(AManager);
  if (auto* parent = AManager ? AManager->OwnerControl() : nullptr) SetParent(parent);
}

// The form frees its child windows before its components: the toolbar
// windows belong to their bars, so they leave the dock instead of going with
// it, and the manager forgets the dock.
void TdxDockControl::BeforeDestruction() {
  TCustomControl::BeforeDestruction();
  TdxBarManager* manager = FBarManager;
  for (TdxDockRow* row : FRowList)
    for (int i = 0; i < row->ColCount(); ++i) {
      TdxBarControl* control = row->Col(i)->BarControl();
      control->SetDockControl(nullptr);
      if (control->Parent() == this) control->SetParent(nullptr);
    }
  if (manager && manager->Bars()) {
    // A dock that goes while its form lives leaves its toolbars without a
    // place: they hide. When the form goes, they keep their visibility.
    TWinControl* owner = manager->OwnerControl();
    const bool teardown = manager->IsDestroying() || (owner && owner->ComponentState().Contains(csDestroying));
    TdxBars* bars = manager->Bars();
    for (int i = bars->Count() - 1; i >= 0; --i)
      if (i < bars->Count()) bars->Items(i)->DockControlRemoving(this, !teardown);
  }
  FreeRows();
  FBarManager = nullptr;
  if (manager) manager->UnregisterDockControl(this);
}

TdxDockControl::~TdxDockControl() {
  FreeRows();
  TObject::Free(FBackgroundTempBitmap);
  TObject::Free(FBackgroundBitmap);
}

void TdxDockControl::FreeRows() {
  std::vector<TdxDockRow*> rows;
  rows.swap(FRowList);
  for (TdxDockRow* row : rows) TObject::Free(row);
}

void TdxDockControl::SetBarManager(TdxBarManager* AValue) {
  if (FBarManager == AValue) return;
  if (FBarManager) {
    FBarManager->RemoveFreeNotification(this);
    FBarManager->UnregisterDockControl(this);
  }
  FBarManager = AValue;
  if (FBarManager) {
    FBarManager->RegisterDockControl(this);
    FBarManager->FreeNotification(this);
  }
  RefreshBackground();
}

void TdxDockControl::Notification(TComponent* AComponent, TOperation AOperation) {
  TCustomControl::Notification(AComponent, AOperation);
  if (AOperation == opRemove && AComponent == FBarManager) SetBarManager(nullptr);
}

TdxBars* TdxDockControl::Bars() const { return FBarManager ? FBarManager->Bars() : nullptr; }

TdxBarDockingStyle TdxDockControl::DockingStyle() {
  switch (Align()) {
    case alBottom: return dsBottom;
    case alLeft: return dsLeft;
    case alRight: return dsRight;
    default: return dsTop;
  }
}

int TdxDockControl::DockSize() { return IsVerticalDock() ? Width() : Height(); }

void TdxDockControl::SetDockSize(int AValue) {
  if (IsVerticalDock())
    SetWidth(AValue);
  else
    SetHeight(AValue);
}

bool TdxDockControl::CanDockBar(TdxBar*) { return FAllowDocking; }

bool TdxDockControl::CanReceiveFocus() { return HandleAllocated() && IsWindowVisible(WindowHandle()) && Enabled(); }

bool TdxDockControl::DockingZoneContains(const TPoint& AScreenPoint) {
  if (!HandleAllocated() || !DockingZoneScreenRect().Contains(AScreenPoint)) return false;
  // A dock inside a container of its form counts only where no sibling of
  // that container covers the point.
  TWinControl* parent = Parent();
  TWinControl* grandParent = parent ? parent->Parent() : nullptr;
  if (!grandParent || !grandParent->HandleAllocated() || !parent->HandleAllocated()) return true;
  POINT p{AScreenPoint.X, AScreenPoint.Y};
  ::ScreenToClient(grandParent->Handle(), &p);
  return ChildWindowFromPointEx(grandParent->Handle(), p, CWP_SKIPINVISIBLE) == parent->Handle();
}

const TdxBarPainter* TdxDockControl::GetPainter() { return dxBarManagerPainter(FBarManager); }

TClass TdxDockControl::GetBarControlClass() { return TdxBarControl::StaticClass(); }

void TdxDockControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.ExStyle = 0;
  Params.WindowClass.style = CS_DBLCLKS;
}

// Positions are converted without making windows: a dock laid out before its
// form has a window measures from the nearest window up its parents.
TPoint TdxDockControl::ScreenOrigin() {
  TPoint offset;
  TWinControl* control = this;
  while (control && !control->HandleAllocated()) {
    offset = TPoint(offset.X + control->Left(), offset.Y + control->Top());
    control = control->Parent();
  }
  if (!control) return offset;
  const TPoint origin = control->ClientOrigin();
  return TPoint(origin.X + offset.X, origin.Y + offset.Y);
}

TPoint TdxDockControl::ClientToScreenPoint(const TPoint& APoint) {
  const TPoint origin = ScreenOrigin();
  return TPoint(APoint.X + origin.X, APoint.Y + origin.Y);
}

TPoint TdxDockControl::ScreenToClientPoint(const TPoint& APoint) {
  const TPoint origin = ScreenOrigin();
  return TPoint(APoint.X - origin.X, APoint.Y - origin.Y);
}

// ---- rows

IdxBarDockRow* TdxDockControl::RowAt(int AIndex) {
  return AIndex >= 0 && AIndex < RowCount() ? FRowList[AIndex] : nullptr;
}

int TdxDockControl::IndexOfRow(IdxBarDockRow* ARow) {
  for (int i = 0; i < RowCount(); ++i)
    if (FRowList[i] == ARow) return i;
  return -1;
}

IdxBarDockRow* TdxDockControl::AppendRow() {
  FRowList.push_back(Make<TdxDockRow>(this));
  return FRowList.back();
}

TdxDockCol* TdxDockControl::FindCol(TdxBarControl* AControl, int* ARowIndex) const {
  for (int i = 0; i < static_cast<int>(FRowList.size()); ++i) {
    const int col = FRowList[i]->IndexOfBarControl(AControl);
    if (col >= 0) {
      if (ARowIndex) *ARowIndex = i;
      return FRowList[i]->Col(col);
    }
  }
  return nullptr;
}

bool TdxDockControl::GetColPosition(IdxBarControl* AControl, TPoint& APosition) {
  TdxDockCol* col = FindCol(BarControlOf(AControl));
  if (col) APosition = col->Pos();
  return col != nullptr;
}

void TdxDockControl::SetColPosition(IdxBarControl* AControl, const TPoint& APosition) {
  if (TdxDockCol* col = FindCol(BarControlOf(AControl))) col->SetPos(APosition);
}

void TdxDockControl::AssignColPositions() {
  for (TdxDockRow* row : FRowList)
    for (TdxDockCol* col : row->ColList()) col->AssignPosition();
}

int TdxDockControl::RowSize(int AIndex) {
  if (AIndex < 0 || AIndex >= RowCount()) return 0;
  TdxDockRow* row = FRowList[AIndex];
  if (!row->Visible()) return 0;
  int size = 0;
  for (TdxDockCol* col : row->ColList())
    size = std::max(size, IsVerticalDock() ? col->BarControl()->Width() : col->BarControl()->Height());
  if (AIndex < RowCount() - 1) size += GetPainter()->BarDockedGetRowIndent();
  return size;
}

TdxDockRowsGeometry TdxDockControl::RowsGeometry() {
  TdxDockRowsGeometry g;
  for (int i = 0; i < RowCount(); ++i) g.RowSizes.push_back(RowSize(i));
  g.NearSide = IsNearSideDock();
  const TRect client = ClientRect();
  g.ClientAcross = IsVerticalDock() ? client.Width() : client.Height();
  if (TdxBars* bars = Bars()) {
    g.ZoneSize = bars->DockingZoneSize();
    g.StackFromFarEdge = bars->IsMoving();
  }
  return g;
}

TdxDockSpan TdxDockControl::GetRowZone(int ARowIndex, int APart) { return RowsGeometry().RowZone(ARowIndex, APart); }

TdxDockRowTarget TdxDockControl::FindRowIndex(const TPoint& AScreenPoint) {
  const TPoint client = ScreenToClientPoint(AScreenPoint);
  return RowsGeometry().FindRowIndex(IsVerticalDock() ? client.X : client.Y);
}

int TdxDockControl::FindColIndex(int ARowIndex, const TPoint& AScreenPoint) {
  TdxDockRow* row = FRowList.at(ARowIndex);
  if (row->ColCount() == 0) return 0;
  TPoint client = ScreenToClientPoint(AScreenPoint);
  TdxBars* bars = Bars();
  TdxBarControl* moving = bars && bars->IsMoving() ? BarControlOf(bars->MovingBarControl()) : nullptr;
  if (moving && !moving->IsInternalLocked()) {
    const TPoint offset = moving->DragOffsetForStyle(DockingStyle());
    if (IsVerticalDock())
      client.Y -= offset.Y;
    else
      client.X -= offset.X;
  }
  std::vector<int> stored;
  for (TdxDockCol* col : row->ColList()) {
    TdxBar* bar = col->BarControl()->Bar();
    const bool barVertical = bar && IsVerticalStyle(bar->DockingStyle());
    stored.push_back(bar ? (barVertical ? bar->DockedTop() : bar->DockedLeft()) : 0);
  }
  return dxDockFindColIndex(stored, IsVerticalDock() ? client.Y : client.X);
}

TPoint TdxDockControl::RowGapPoint(int ARow, bool AOnLine, const TPoint& AScreenPoint) {
  TPoint client = ScreenToClientPoint(AScreenPoint);
  const int across = RowsGeometry().RowGap(ARow, AOnLine);
  if (IsVerticalDock())
    client.X = across;
  else
    client.Y = across;
  return ClientToScreenPoint(client);
}

TRect TdxDockControl::GetRowRect(int AIndex) {
  if (AIndex < 0 || AIndex >= RowCount()) return TRect();
  const TdxDockSpan band = RowsGeometry().RowBand(AIndex);
  const TRect client = ClientRect();
  return IsVerticalDock() ? TRect(band.Start, 0, band.End, client.Bottom) : TRect(0, band.Start, client.Right, band.End);
}

int TdxDockControl::CalcRowsSize() {
  int size = 0;
  for (int i = 0; i < RowCount(); ++i) {
    const TRect r = GetRowRect(i);
    size += IsVerticalDock() ? r.Width() : r.Height();
  }
  return size;
}

int TdxDockControl::CalcDockSize() {
  const int rows = CalcRowsSize();
  return rows > 0 && SunkenBorder() ? rows + 2 : rows;
}

bool TdxDockControl::SunkenBorder() { return FBarManager && FBarManager->SunkenBorder(); }

void TdxDockControl::InsertBarControl(IdxBarControl* AControl, const TPoint& AScreenPoint, bool AUpdate) {
  if (TdxBarControl* control = BarControlOf(AControl)) InsertBarControl(control, AScreenPoint, AUpdate);
}

void TdxDockControl::InsertBarControl(TdxBarControl* AControl, TPoint AScreenPoint, bool AUpdate) {
  if (!FBarManager || !AControl) return;
  TdxBar* bar = AControl->Bar();
  // A window has one column: one it still has (a place taken again) goes
  // first, and its row sharing stays as it was before.
  const bool oneOnRow = bar && bar->OneOnRow();
  DoRemoveBarControl(AControl, nullptr);
  TdxBars* bars = Bars();
  const bool recreated = AControl->IsInternalLocked();
  const bool loading = FBarManager->BarsLoading() || FBarManager->IsCreatingHandles();
  int index = 0;
  bool newRow = false;
  if (recreated) {
    index = UsesStoredRows() && bar ? bar->Row() : 0;
    newRow = oneOnRow;
  } else {
    const TdxDockRowTarget target = FindRowIndex(AScreenPoint);
    index = target.Row;
    newRow = target.NewRow;
  }
  if (bar && bar->WholeRow()) newRow = true;
  if (recreated && loading && index >= RowCount()) {
    index = dxDockStoredRowIndex(index, RowCount(), bars ? bars->Count() : 1);
    while (index >= RowCount()) AppendRow();
  } else {
    index = std::clamp(index, 0, newRow ? RowCount() : std::max(0, RowCount() - 1));
  }
  if (index >= RowCount()) newRow = true;
  if (!newRow)
    for (TdxDockCol* col : FRowList[index]->ColList())
      if (TdxBar* other = col->BarControl()->Bar(); other && other != bar && other->WholeRow()) newRow = true;
  TdxDockRow* row = nullptr;
  TdxDockCol* col = nullptr;
  if (newRow) {
    if (recreated && loading && index < RowCount()) {
      row = FRowList[index];
    } else {
      row = Make<TdxDockRow>(this);
      FRowList.insert(FRowList.begin() + index, row);
    }
    col = row->AddCol(AControl);
  } else {
    row = FRowList[index];
    col = row->InsertCol(FindColIndex(index, AScreenPoint), AControl);
    row->UpdateOneOnRow();
  }
  AControl->SetDockControl(this);
  if (bar) bar->SetDockRow(row);
  TPoint p = AScreenPoint;
  if (!recreated) {
    if (bars && bars->IsMoving()) p = TPoint(p.X - bars->MovingOffset().X, p.Y - bars->MovingOffset().Y);
    const TPoint offset = AControl->DragOffsetForStyle(AControl->DockingStyle());
    p = TPoint(p.X - offset.X, p.Y - offset.Y);
  }
  p = ScreenToClientPoint(p);
  if (IsVerticalDock())
    p.Y = std::max(p.Y, 0);
  else
    p.X = std::max(p.X, 0);
  col->SetPos(p);
  if (!AUpdate) return;
  if (!AControl->Moving()) AControl->SetBounds(p.X, p.Y, AControl->Width(), AControl->Height());
  UpdateDock();
  // The column keeps the place the layout gave (the window may have been moved by it).
  if (!loading)
    if (TdxDockCol* placed = FindCol(AControl)) placed->AssignPosition();
}

void TdxDockControl::DoRemoveBarControl(TdxBarControl* AControl, TdxDockCol* ACol) {
  for (TdxDockRow* row : FRowList) {
    const int index = ACol ? static_cast<int>(std::find(row->ColList().begin(), row->ColList().end(), ACol) -
                                              row->ColList().begin())
                           : row->IndexOfBarControl(AControl);
    if (index >= 0 && index < row->ColCount()) {
      row->DeleteCol(index);
      return;
    }
  }
}

void TdxDockControl::RemoveBarControl(IdxBarControl* AControl, bool AUpdate) {
  if (TdxBarControl* control = BarControlOf(AControl)) RemoveBarControl(control, nullptr, AUpdate);
}

void TdxDockControl::RemoveBarControl(TdxBarControl* AControl, TdxDockCol* ACol, bool AUpdate) {
  DoRemoveBarControl(AControl, ACol);
  if (AUpdate && !ComponentState().Contains(csDestroying)) UpdateDock();
}

void TdxDockControl::MoveBarControl(IdxBarControl* AControl, const TPoint& AScreenPoint) {
  if (TdxBarControl* control = BarControlOf(AControl)) MoveBarControl(control, AScreenPoint);
}

void TdxDockControl::MoveBarControl(TdxBarControl* AControl, TPoint AScreenPoint) {
  RemoveBarControl(AControl, nullptr, false);
  InsertBarControl(AControl, AScreenPoint, true);
  if (HasCustomBackground()) {
    ResetBackgroundCache();
    RepaintBars();
  }
}

TRect TdxDockControl::DockingZoneScreenRect() {
  const int zone = Bars() ? Bars()->DockingZoneSize() : 23;
  RECT r{};
  if (HandleAllocated()) GetWindowRect(WindowHandle(), &r);
  TRect result(r.left, r.top, r.right, r.bottom);
  if (IsVerticalDock()) {
    result.Left -= zone;
    result.Right += zone;
  } else {
    result.Top -= zone;
    result.Bottom += zone;
    result.Left -= zone;
    result.Right += zone;
  }
  return result;
}

// ---- arrangement

void TdxDockControl::ArrangeRows() {
  const TRect client = ClientRect();
  const int length = IsVerticalDock() ? client.Height() : client.Width();
  for (int i = 0; i < RowCount(); ++i)
    if (FRowList[i]->Visible()) ArrangeRow(i, length);
}

void TdxDockControl::ArrangeRow(int AIndex, int ALength) {
  TdxDockRow* row = FRowList.at(AIndex);
  if (row->ColCount() == 0) return;
  const bool vertical = IsVerticalDock();
  const TdxBarDockingStyle style = DockingStyle();
  const TRect rowRect = GetRowRect(AIndex);
  const int rowTop = vertical ? rowRect.Left : rowRect.Top;
  const TdxBarPainter* painter = GetPainter();
  TdxBars* bars = Bars();
  const std::vector<TdxDockCol*> cols = row->ColList();
  std::vector<TdxDockColumnInput> inputs(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) {
    TdxBarControl* bc = cols[i]->BarControl();
    TdxBar* bar = bc->Bar();
    TdxDockColumnInput& c = inputs[i];
    bc->SetTruncated(false);
    if (bc->ItemLinks()) bc->ItemLinks()->ChangeRecentItemCount(-1);
    const int alongOff = bar ? (vertical ? bar->ContentOffsetsHeight(style) : bar->ContentOffsetsWidth(style)) : 0;
    c.OffsetsAcross = bar ? (vertical ? bar->ContentOffsetsWidth(style) : bar->ContentOffsetsHeight(style)) : 0;
    c.MinSize = (vertical ? bc->CalcHeightForStyle(style) : bc->CalcWidthForStyle(style)) + alongOff;
    c.MaxSize = (vertical ? bc->CalcFullHeightForStyle(style) : bc->CalcFullWidthForStyle(style)) + alongOff;
    if (!bc->HasMark() && c.MinSize != c.MaxSize) c.MinSize += bc->MarkSize();
    c.Pos = vertical ? cols[i]->Pos().Y : cols[i]->Pos().X;
    c.MultiRow = bc->IsMultiRowLayout();
    c.WholeRow = bar && bar->WholeRow();
    c.UseRestSpace = bar && bar->UseRestSpace();
    c.Moving = bars && BarControlOf(bars->MovingBarControl()) == bc;
    c.FullThickness = vertical ? bc->CalcFullWidthForStyle(style) : bc->CalcFullHeightForStyle(style);
    c.ThicknessFor = [bc, style, vertical, alongOff, painter](int ALength) {
      int length = ALength - alongOff;
      if (!painter->BarAllowQuickCustomizing()) length -= bc->MarkAreaSize();
      return vertical ? bc->CalcSizeForHeight(style, length).X : bc->CalcSizeForLength(style, length).Y;
    };
  }
  const TdxDockRowArrangement arranged =
      dxArrangeDockRow(inputs, ALength, rowTop, FBarManager && FBarManager->AutoAlignBars());
  for (size_t i = 0; i < cols.size(); ++i) {
    TdxBarControl* bc = cols[i]->BarControl();
    const TdxDockColumnPlacement& p = arranged.Columns[i];
    TPoint pos = cols[i]->Pos();
    (vertical ? pos.Y : pos.X) = p.Pos;
    cols[i]->SetPos(pos);
    bc->SetTruncated(p.Truncated);
    // The size query prepares the bar's item layout for its length.
    inputs[i].ThicknessFor(p.Width);
    bc->NewLeft = vertical ? p.Top : p.Left;
    bc->NewTop = vertical ? p.Left : p.Top;
    bc->NewWidth = vertical ? p.Height : p.Width;
    bc->NewHeight = vertical ? p.Width : p.Height;
    bc->MinSize = inputs[i].MinSize;
    bc->MaxSize = inputs[i].MaxSize;
    const TRect bounds(bc->NewLeft, bc->NewTop, bc->NewLeft + bc->NewWidth, bc->NewTop + bc->NewHeight);
    if (bounds != TRect(bc->Left(), bc->Top(), bc->Left() + bc->Width(), bc->Top() + bc->Height()))
      bc->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    if (bc->HandleAllocated()) bc->CalculateViewInfo();
  }
}

void TdxDockControl::RealignRows() {
  if (!FBarManager || FBarManager->BarsLoading() || FBarManager->IsDestroying() || FArranging) return;
  if (!InDesignMode() && HandleAllocated() && GetWindow(WindowHandle(), GW_HWNDPREV))
    SetWindowPos(WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  {
    FArranging = true;
    TFinally done{[this] { FArranging = false; }};
    DisableAlign();
    TFinally enable{[this] { EnableAlign(); }};
    ArrangeRows();
  }
  if (HandleAllocated()) Invalidate();
}

void TdxDockControl::UpdateDock() {
  if (!FBarManager || FBarManager->IsUpdateLocked() || FBarManager->IsDestroying() ||
      ComponentState().Contains(csDestroying))
    return;
  RealignRows();
  UpdateDockSize();
}

void TdxDockControl::RefreshFrames() {
  if (HandleAllocated())
    SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  for (TdxDockRow* row : FRowList)
    for (TdxDockCol* col : row->ColList()) RefreshBarFrame(col->BarControl());
  UpdateDock();
}

// A parent with a window lays out this dock before the dock has one (a form made maximized
// while hidden, before its controls' windows exist): the rows are arranged and the dock
// takes its size now, as values, so that the windows made next start at their final
// bounds instead of being moved again when the dock's own window arrives.
void TdxDockControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool resized = AWidth != Width() || AHeight != Height();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!resized || FSettling || HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return;
  FSettling = true;
  TFinally done{[this] { FSettling = false; }};
  UpdateDock();
}

void TdxDockControl::AlignControls(TControl*, TRect&) {
  if (FBarManager && FBarManager->LoadingFromForm()) return;
  FSettling = true;
  TFinally done{[this] { FSettling = false; }};
  UpdateDock();
}

void TdxDockControl::RequestAlign() {
  if (!FSettling) TCustomControl::RequestAlign();
}

void TdxDockControl::UpdateDockSize() {
  if (FBarManager && FBarManager->LoadingFromForm()) return;
  const int size = CalcDockSize();
  const int old = DockSize();
  if (size == old) return;
  TWinControl* parent = Parent();
  if (parent) parent->DisableAlign();
  {
    TFinally enable{[parent] {
      if (parent) parent->EnableAlign();
    }};
    // A right or bottom dock keeps its far edge where it is.
    if (DockingStyle() == dsRight) SetLeft(Left() + Width() - size);
    if (DockingStyle() == dsBottom) SetTop(Top() + Height() - size);
    SetDockSize(size);
  }
  HideActiveChainOnResize();
}

void TdxDockControl::HideActiveChainOnResize() {
  if (!HandleAllocated() || !IsWindowVisible(WindowHandle())) return;
  TCustomdxBarControl* active = dxBarActiveBarControl();
  if (!active) return;
  TCustomdxBarControl* root = active;
  while (root->ParentBar()) root = root->ParentBar();
  if (root->Kind() == bkSubMenu || root->Kind() == bkBarQuickControl) return;
  if (active->HandleAllocated() && GetCapture() == active->WindowHandle()) return;
  auto* toolbar = dynamic_cast<TdxBarControl*>(root);
  if (!IsSideDock() && toolbar && toolbar->DockControl() && toolbar->DockControl()->IsSideDock()) return;
  if (root->BarManager() != FBarManager && GetParentForm(this)) return;
  active->HideAll();
}

// ---- background

void TdxDockControl::SetBackgroundBitmap(TBitmap* AValue) { FBackgroundBitmap->Assign(AValue); }

void TdxDockControl::BackgroundChanged(TObject*) {
  if (HandleAllocated()) Invalidate();
  UpdateDoubleBuffered();
  RepaintBars();
}

bool TdxDockControl::HasBackgroundBitmap() { return !FBackgroundBitmap->Empty(); }

bool TdxDockControl::HasCustomBackground() {
  TBitmap* managerBitmap = FBarManager && FBarManager->Backgrounds() ? FBarManager->Backgrounds()->Bar() : nullptr;
  return HasBackgroundBitmap() || GetPainter()->IsNativeBackground() || (managerBitmap && !managerBitmap->Empty());
}

void TdxDockControl::UpdateDoubleBuffered() { SetDoubleBuffered(HasCustomBackground()); }

void TdxDockControl::ResetBackgroundCache() {
  if (!FBackgroundTempBitmap->Empty()) FBackgroundTempBitmap->SetSize(0, 0);
}

void TdxDockControl::RefreshBackground() { ResetBackgroundCache(); }

void TdxDockControl::RepaintBars() {
  for (TdxDockRow* row : FRowList)
    for (TdxDockCol* col : row->ColList()) {
      TdxBarControl* control = col->BarControl();
      if (!control->HandleAllocated()) continue;
      SendMessageW(control->WindowHandle(), WM_NCPAINT, 0, 0);
      control->RepaintBar();
    }
}

void TdxDockControl::FillBackground(HDC DC, const TRect& ADestR, const TRect& ASourceR, HBRUSH ABrush,
                                    TColor AColor) {
  TBitmap* managerBitmap = FBarManager && FBarManager->Backgrounds() ? FBarManager->Backgrounds()->Bar() : nullptr;
  if (HasBackgroundBitmap())
    TileBitmap(DC, ADestR, ASourceR, FBackgroundBitmap);
  else if (managerBitmap && !managerBitmap->Empty())
    TileBitmap(DC, ADestR, ASourceR, managerBitmap);
  else if (!ClientRect().IsEmpty())
    GetPainter()->DockControlFillBackground(this, DC, ADestR, ASourceR, ABrush, AColor);
}

void TdxDockControl::UpdateColor() {
  if (!FBarManager || FBarManager->AutoDockColor())
    SetParentColor(true);
  else
    TCustomControl::SetColor(FBarManager->DockColor());
}

void TdxDockControl::DrawBorder(HDC DC) {
  RECT frame{0, 0, Width(), Height()};
  DrawEdge(DC, &frame, BDR_SUNKENOUTER, BF_RECT);
}

void TdxDockControl::InitiateAction() {
  TCustomControl::InitiateAction();
  for (TdxDockRow* row : FRowList)
    for (TdxDockCol* col : row->ColList()) {
      TdxBarControl* control = col->BarControl();
      if (TdxBarItemLinks* links = control->ItemLinks(); links && control->Visible()) links->UpdateActionLinks();
    }
}

void TdxDockControl::ShowToolbarsPopup() {
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot())
    controller->ShowToolbarsPopup(FBarManager, GetPainter());
}

void TdxDockControl::Paint() {
  FillBackground(Canvas()->Handle(), ClientRect(), ClientRect(), GetPainter()->BarToolbarBrush(BarManager()), Color());
}

void TdxDockControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      HDC DC = reinterpret_cast<HDC>(Message.WParam);
      FillBackground(DC, ClientRect(), ClientRect(), GetPainter()->BarToolbarBrush(BarManager()), Color());
      Message.Result = 1;
      return;
    }
    case WM_NCCALCSIZE:
      TCustomControl::WndProc(Message);
      if (SunkenBorder()) {
        RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(r, -1, -1);
      }
      return;
    case WM_NCPAINT:
      TCustomControl::WndProc(Message);
      if (SunkenBorder())
        if (HDC DC = GetWindowDC(WindowHandle())) {
          DrawBorder(DC);
          ReleaseDC(WindowHandle(), DC);
        }
      return;
    case WM_SIZE:
      DisableAlign();
      {
        TFinally enable{[this] { EnableAlign(); }};
        ResetBackgroundCache();
        TCustomControl::WndProc(Message);
      }
      Realign();
      return;
    case WM_WINDOWPOSCHANGED: {
      TCustomControl::WndProc(Message);
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
      if ((pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE)) return;
      if (FBarManager && DockingStyle() == dsBottom) {
        // A status bar's size grip depends on where the form's edge is.
        FBarManager->BeginUpdate();
        TFinally done{[this] { FBarManager->EndUpdate(false); }};
        for (TdxDockRow* row : FRowList)
          for (TdxDockCol* col : row->ColList())
            if (TdxBar* bar = col->BarControl()->Bar(); bar && bar->IsStatusBarLike()) RefreshBarFrame(col->BarControl());
      }
      if (HasCustomBackground()) RepaintBars();
      return;
    }
    case WM_LBUTTONDBLCLK:
      if (FBarManager && FBarManager->CanCustomize()) FBarManager->Customizing(true);
      Message.Result = 0;
      return;
    case WM_RBUTTONDOWN:
      if (FBarManager && !FBarManager->IsCustomizing()) ShowToolbarsPopup();
      break;
    case WM_MOUSEACTIVATE:
      if (FBarManager && !InDesignMode() && HandleAllocated()) {
        // A dock inside a popup window of the library leaves the activation to it.
        HWND root = GetAncestor(WindowHandle(), GA_ROOT);
        if (dynamic_cast<TCustomForm*>(FindControl(root)) && !dxBarFindHostPopupWindow(this, false)) {
          Message.Result = MA_NOACTIVATE;
          SetWindowPos(root, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
          return;
        }
      }
      break;
    case WM_DESTROY:
      if (FBarManager) FBarManager->BeginBarRestoring();
      break;
    case WM_GETOBJECT:
      DefaultHandler(&Message);
      return;
    case CM_SYSCOLORCHANGE: {
      TCustomControl::WndProc(Message);
      // The old platform family sends the change to child windows only: the
      // left side dock hands it to the manager, once per change.
      OSVERSIONINFOW version{};
      version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
      const bool win9x = GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
#pragma GCC diagnostic pop
      if (win9x && FBarManager && FBarManager->Bars() && FBarManager->Bars()->DockControls(dsLeft) == this &&
          HandleAllocated())
        FBarManager->HandleOwnerWindowMessage(GetParent(WindowHandle()), WM_SYSCOLORCHANGE, 0, 0);
      return;
    }
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TdxBarDockControl
// ---------------------------------------------------------------------------

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner) : TdxDockControl(AOwner) {
  TdxDockControl::SetAlign(alTop);
}

void TdxBarDockControl::SetAlign(TdxBarDockAlign AValue) {
  if (AValue == Align()) return;
  TdxBarDockingStyle style = dsTop;
  switch (AValue) {
    case dalBottom: style = dsBottom; break;
    case dalLeft: style = dsLeft; break;
    case dalRight: style = dsRight; break;
    default: break;
  }
  std::vector<TdxBarControl*> controls;
  for (TdxDockRow* row : RowList())
    for (TdxDockCol* col : row->ColList()) controls.push_back(col->BarControl());
  TdxBarManager* manager = BarManager();
  auto finish = [&] {
    if (manager) manager->EndUpdate(true);
    for (TdxBarControl* control : controls)
      if (dxBarIsLiveControl(control)) control->RepaintBar();
    if (Parent()) Parent()->Invalidate();
  };
  if (manager) manager->BeginUpdate();
  try {
    for (TdxBarControl* control : controls) control->ChangeDockingStyle(style);
    TdxDockControl::SetAlign(static_cast<TAlign>(AValue));
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TdxBarDockControl::SetAllowZeroSizeInDesignTime(bool AValue) {
  if (FAllowZeroSizeInDesignTime == AValue) return;
  FAllowZeroSizeInDesignTime = AValue;
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_SIZE, 0, 0);
}

void TdxBarDockControl::SetColor(TColor AValue) {
  const bool changed = AValue != Color();
  TdxDockControl::SetColor(AValue);
  if (changed && !ComponentState().Contains(csLoading)) FUseOwnColor = true;
}

void TdxBarDockControl::SetParentColor(bool AValue) {
  const bool changed = AValue != ParentColor();
  TdxDockControl::SetParentColor(AValue);
  if (changed && !ComponentState().Contains(csLoading)) FUseOwnColor = true;
}

void TdxBarDockControl::SetUseOwnColor(bool AValue) {
  if (FUseOwnColor == AValue) return;
  FUseOwnColor = AValue;
  if (!AValue) UpdateColor();
}

bool TdxBarDockControl::SunkenBorder() {
  if (FUseOwnSunkenBorder) return FSunkenBorder;
  return BarManager() && BarManager()->SunkenBorder();
}

void TdxBarDockControl::SetSunkenBorder(bool AValue) {
  FSunkenBorder = AValue;
  FUseOwnSunkenBorder = true;
  RefreshFrames();
}

void TdxBarDockControl::SetUseOwnSunkenBorder(bool AValue) {
  if (FUseOwnSunkenBorder == AValue) return;
  const bool before = SunkenBorder();
  if (AValue) {
    // The border in effect becomes the dock's own.
    FSunkenBorder = before;
    FUseOwnSunkenBorder = true;
    return;
  }
  FUseOwnSunkenBorder = false;
  if (SunkenBorder() != before) RefreshFrames();
}

int TdxBarDockControl::DesignMinSize() { return InDesignMode() && !FAllowZeroSizeInDesignTime ? 3 : 0; }

bool TdxBarDockControl::CanDockBar(TdxBar* ABar) {
  if (!TdxDockControl::CanDockBar(ABar)) return false;
  // A dock inside the bar's own window (its menu, say) cannot take the bar.
  TdxBarControl* control = BarControlOf(ABar);
  if (control && control->HandleAllocated() && HandleAllocated() &&
      IsWindowOwnedBy(WindowHandle(), control->WindowHandle()))
    return false;
  return true;
}

void TdxBarDockControl::RefreshBackground() {
  TdxDockControl::RefreshBackground();
  if (ComponentState().Contains(csDestroying)) return;
  UpdateColor();
  RefreshFrames();
}

void TdxBarDockControl::UpdateColor() {
  if (FUseOwnColor) return;
  TdxDockControl::UpdateColor();
}

int TdxBarDockControl::CalcRowsSize() {
  if (ComponentState().Contains(csLoading)) {
    const TRect client = ClientRect();
    return IsVerticalDock() ? client.Width() : client.Height();
  }
  const int size = TdxDockControl::CalcRowsSize();
  return size == 0 ? DesignMinSize() : size;
}

void TdxBarDockControl::CreateParams(TCreateParams& Params) {
  TdxDockControl::CreateParams(Params);
  if (InDesignMode()) Params.WindowClass.style |= CS_VREDRAW | CS_HREDRAW;
}

void TdxBarDockControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CREATE:
      TdxDockControl::WndProc(Message);
      if (BarManager()) BarManager()->RestoreQueuedBars(this);
      return;
    case WM_SIZE:
      TdxDockControl::WndProc(Message);
      if (RowCount() == 0 && !ComponentState().Contains(csLoading)) {
        const int size = DesignMinSize();
        if (IsVerticalDock() && ClientWidth() != size) SetClientWidth(size);
        if (!IsVerticalDock() && ClientHeight() != size) SetClientHeight(size);
      }
      return;
    default:
      break;
  }
  TdxDockControl::WndProc(Message);
}

void TdxBarDockControl::Paint() {
  TdxDockControl::Paint();
  if (!InDesignMode()) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->Pen()->SetStyle(psDot);
  const TRect r = ClientRect();
  canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Toolbar windows as toolbars and their drag see them
// ---------------------------------------------------------------------------

namespace {

TdxDockControl* DockOf(IdxBarDockControl* ADock) {
  return ADock ? dynamic_cast<TdxDockControl*>(ADock->DockControlObject()) : nullptr;
}

HWND OwnerWindowOf(TdxBarManager* AManager) {
  TWinControl* owner = AManager ? AManager->OwnerControl() : nullptr;
  return owner ? owner->Handle() : nullptr;
}

class TdxBarDockToolbarWindows : public IdxBarToolbarWindows {
 public:
  void ChangeDockControl(IdxBarControl* AControl, TdxBarDockingStyle AStyle, IdxBarDockControl* ADock) override {
    TdxBarControl* control = BarControlOf(AControl);
    if (!control) return;
    TdxDockControl* dock = AStyle == dsNone ? nullptr : DockOf(ADock);
    if (!dock) AStyle = dsNone;
    if (control->Moving()) {
      control->ChangeDockControl(AStyle, dock);
      return;
    }
    const bool placed = control->DockControl() == dock && control->DockingStyle() == AStyle &&
                        (dock ? control->Parent() == dock : control->Parent() == nullptr);
    if (placed) return;
    // The window leaves the dock it had a column in and is made anew with its new parent.
    if (TdxDockControl* old = control->DockControl(); old && old != dock) old->RemoveBarControl(control, nullptr, true);
    const bool hadWindow = control->HandleAllocated();
    control->DestroyHandle();
    if (dock) {
      control->SetParentWindow(nullptr);
      control->SetParent(dock);
    } else {
      control->SetParent(nullptr);
      control->SetParentWindow(OwnerWindowOf(control->BarManager()));
    }
    if (hadWindow) {
      control->ChangeDockControl(AStyle, dock);
    } else {
      // No window is made before its form has one.
      control->SetDockControl(dock);
      control->ChangeDockingStyle(AStyle);
    }
  }
  void ChangeDockingStyle(IdxBarControl* AControl, TdxBarDockingStyle AStyle) override {
    if (TdxBarControl* control = BarControlOf(AControl); control && control->DockingStyle() != AStyle)
      control->ChangeDockingStyle(AStyle);
  }
  TdxBarDockingStyle DockingStyle(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control ? control->DockingStyle() : dsNone;
  }
  IdxBarDockControl* DockControl(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control ? control->DockControl() : nullptr;
  }
  void BeginInternalLock(IdxBarControl* AControl) override {
    if (TdxBarControl* control = BarControlOf(AControl)) control->BeginInternalLock();
  }
  void EndInternalLock(IdxBarControl* AControl) override {
    if (TdxBarControl* control = BarControlOf(AControl)) control->EndInternalLock();
  }
  bool IsInternalLocked(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control && control->IsInternalLocked();
  }
  TPoint CalcSizeForDockingStyle(IdxBarControl* AControl, TdxBarDockingStyle AStyle) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control ? control->CalcSizeForDockingStyle(AStyle) : TPoint();
  }
  TRect WindowBounds(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control ? control->BoundsRect() : TRect();
  }
  void SetWindowBounds(IdxBarControl* AControl, const TRect& ABounds) override {
    if (TdxBarControl* control = BarControlOf(AControl))
      control->SetBounds(ABounds.Left, ABounds.Top, ABounds.Width(), ABounds.Height());
  }
  void SetWindowOrigin(IdxBarControl* AControl, const TPoint& AOrigin) override {
    TdxBarControl* control = BarControlOf(AControl);
    if (!control) return;
    if (control->HandleAllocated())
      SetWindowPos(control->WindowHandle(), nullptr, AOrigin.X, AOrigin.Y, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
    else
      control->SetBounds(AOrigin.X, AOrigin.Y, control->Width(), control->Height());
  }
  void ShowWindow(IdxBarControl* AControl, bool AShow) override {
    TdxBarControl* control = BarControlOf(AControl);
    if (!control) return;
    if (AShow) {
      // Shown without activation: the platform shows its controls so.
      control->SetVisible(true);
      if (control->HandleAllocated() && !IsWindowVisible(control->WindowHandle()))
        ::ShowWindow(control->WindowHandle(), SW_SHOWNA);
    } else {
      control->SetVisible(false);
      if (control->HandleAllocated()) ::ShowWindow(control->WindowHandle(), SW_HIDE);
    }
  }
  HWND WindowHandle(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control && control->HandleAllocated() ? control->WindowHandle() : nullptr;
  }
  void StorePosition(IdxBarControl* AControl) override {
    if (TdxBarControl* control = BarControlOf(AControl)) control->StorePosition();
  }
  void ApplyAlphaBlend(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    if (!control || !control->Bar()) return;
    const bool floating = control->DockingStyle() == dsNone;
    const Byte alpha = control->Moving() || floating ? static_cast<Byte>(control->Bar()->AlphaBlendValue()) : 255;
    HWND wnd = control->Moving() ? control->FloatingHandle() : (control->HandleAllocated() ? control->WindowHandle() : nullptr);
    if (!wnd) return;
    const LONG_PTR exStyle = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
    const auto setAttributes = dxBarLayeredWindowApi().SetLayeredWindowAttributes;
    if (alpha < 255 && setAttributes) {
      if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrW(wnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
      setAttributes(wnd, 0, alpha, LWA_ALPHA);
    } else if (exStyle & WS_EX_LAYERED) {
      SetWindowLongPtrW(wnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
  }
  void Invalidate(IdxBarControl* AControl) override {
    if (TdxBarControl* control = BarControlOf(AControl); control && control->HandleAllocated()) {
      control->Invalidate();
      SendMessageW(control->WindowHandle(), WM_NCPAINT, 0, 0);
    }
  }
  bool CanClose(IdxBarControl* AControl) override { return BarControlOf(AControl) != nullptr; }
  void NotifyBarResize(IdxBarControl* AControl, int AValue) override {
    if (TdxBarControl* control = BarControlOf(AControl)) control->NotifyBarResize(AValue);
  }
  void NotifyBarChanged(IdxBarControl* AControl) override {
    if (TdxBarControl* control = BarControlOf(AControl)) control->NotifyBarChanged();
  }
  TRect ContentOffsets(TdxBar* ABar, TdxBarDockingStyle AStyle, bool AHasSizeGrip) override {
    if (!ABar) return TRect();
    TdxDockControl* dock = DockOf(ABar->RealDockControl());
    const TdxBarPainter* painter = dock ? dock->GetPainter() : dxBarManagerPainter(ABar->BarManager());
    return painter->GetToolbarContentOffsets(ABar, AStyle, AHasSizeGrip);
  }
  bool CanDock(IdxBarControl* AControl) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control && control->CanDock();
  }
  void SwitchMovingMode(IdxBarControl* AControl, bool AMoving) override {
    if (TdxBarControl* control = BarControlOf(AControl)) control->SwitchMovingMode(AMoving);
  }
  TPoint DragOffsetForStyle(IdxBarControl* AControl, TdxBarDockingStyle AStyle) override {
    TdxBarControl* control = BarControlOf(AControl);
    return control ? control->DragOffsetForStyle(AStyle) : TPoint();
  }
};

}  // namespace

IdxBarToolbarWindows* dxBarDockToolbarWindows() {
  static TdxBarDockToolbarWindows windows;
  return &windows;
}

void dxBarRunToolbarDragLoop(TdxBarControl* AControl) {
  TdxBarManager* manager = AControl ? AControl->BarManager() : nullptr;
  if (manager && manager->Bars()) manager->Bars()->RunBarDragLoop(AControl);
}
