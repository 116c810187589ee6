#include "bars/controls/dxBarDockControl.h"

#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarPainters.h"
#include "bars/controls/dxBarToolbarControl.h"

#include <algorithm>

IMPLEMENT_CLASS(TdxDockCol, TObject, nullptr)
IMPLEMENT_CLASS(TdxDockRow, TObject, nullptr)
BEGIN_CLASS(TdxDockControl, TCustomControl, (ConstructWith<TdxDockControl, TComponent>))
END_CLASS

IdxBarDockControl* dxBarCreateSideDock(TdxBarManager* AManager, TdxBarDockingStyle AStyle) {
  return Make<TdxDockControl>(nullptr, AStyle, AManager);
}

// ---------------------------------------------------------------------------
// Rows and columns
// ---------------------------------------------------------------------------

void TdxDockCol::AssignPosition() {
  if (FBarControl) Pos = TPoint(FBarControl->Left(), FBarControl->Top());
}

TdxDockRow::~TdxDockRow() {
  while (!FCols.empty()) DeleteCol(ColCount() - 1);
}

TdxDockCol* TdxDockRow::AddCol(TdxBarControl* ABarControl) { return InsertCol(ColCount(), ABarControl); }

TdxDockCol* TdxDockRow::InsertCol(int AIndex, TdxBarControl* ABarControl) {
  auto* col = Make<TdxDockCol>(this, ABarControl);
  FCols.insert(FCols.begin() + std::clamp(AIndex, 0, ColCount()), col);
  UpdateOneOnRow();
  return col;
}

void TdxDockRow::DeleteCol(int AIndex) {
  TdxDockCol* col = FCols.at(AIndex);
  FCols.erase(FCols.begin() + AIndex);
  TObject::Free(col);
  UpdateOneOnRow();
}

int TdxDockRow::IndexOfBarControl(TdxBarControl* ABarControl) const {
  for (int i = 0; i < ColCount(); ++i)
    if (FCols[i]->BarControl() == ABarControl) return i;
  return -1;
}

void TdxDockRow::UpdateOneOnRow() {
  for (TdxDockCol* col : FCols)
    if (TdxBar* bar = col->BarControl()->Bar()) bar->SetOneOnRow(ColCount() == 1);
}

bool TdxDockRow::Visible() const {
  for (TdxDockCol* col : FCols)
    if (col->BarControl()->DockingStyle() != dsNone && col->BarControl()->Visible()) return true;
  return false;
}

// ---------------------------------------------------------------------------
// TdxDockControl
// ---------------------------------------------------------------------------

TdxDockControl::TdxDockControl(TComponent* AOwner) : TCustomControl(AOwner) {
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
  SetControlStyle(TControlStyle{csDoubleClicks, csNoDesignVisible});
  FDockingStyle = ASide;
  FBarManager = AManager;
  if (ASide == dsTop || ASide == dsBottom)
    SetHeight(0);
  else
    SetWidth(0);
  if (auto* parent = AManager ? AManager->OwnerControl() : nullptr) SetParent(parent);
}

// The form frees its child windows before its components: the toolbar
// windows belong to their bars, so they leave the dock instead of going with
// it, and the manager forgets the dock.
void TdxDockControl::BeforeDestruction() {
  for (TdxDockRow* row : FRows)
    for (int i = 0; i < row->ColCount(); ++i) {
      TdxBarControl* control = row->Col(i)->BarControl();
      control->SetDockControl(nullptr);
      if (control->Parent() == this) control->SetParent(nullptr);
    }
  FreeRows();
  TdxBarManager* manager = FBarManager;
  FBarManager = nullptr;
  if (manager && manager->Bars()) manager->Bars()->DockControlDestroyed(this);
  TCustomControl::BeforeDestruction();
}

TdxDockControl::~TdxDockControl() { FreeRows(); }

void TdxDockControl::FreeRows() {
  std::vector<TdxDockRow*> rows;
  rows.swap(FRows);
  for (TdxDockRow* row : rows) TObject::Free(row);
}

void TdxDockControl::SetBarManager(TdxBarManager* AValue) {
  if (FBarManager == AValue) return;
  if (FBarManager) FBarManager->UnregisterDockControl(this);
  FBarManager = AValue;
  if (FBarManager) FBarManager->RegisterDockControl(this);
}

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

bool TdxDockControl::CanDockBar(TdxBar*) { return true; }

bool TdxDockControl::CanReceiveFocus() { return HandleAllocated() && IsWindowVisible(WindowHandle()) && Enabled(); }

bool TdxDockControl::DockingZoneContains(const TPoint& AScreenPoint) {
  return HandleAllocated() && DockingZoneScreenRect().Contains(AScreenPoint);
}

const TdxBarPainter* TdxDockControl::GetPainter() { return dxBarManagerPainter(FBarManager); }

void TdxDockControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.ExStyle = 0;
  Params.WindowClass.style = CS_DBLCLKS;
}

// ---- rows

TdxDockCol* TdxDockControl::FindCol(TdxBarControl* AControl, int* ARowIndex) const {
  for (int i = 0; i < RowCount(); ++i) {
    const int col = FRows[i]->IndexOfBarControl(AControl);
    if (col >= 0) {
      if (ARowIndex) *ARowIndex = i;
      return FRows[i]->Col(col);
    }
  }
  return nullptr;
}

int TdxDockControl::RowSize(int AIndex) {
  TdxDockRow* row = FRows.at(AIndex);
  if (!row->Visible()) return 0;
  int size = 0;
  for (int i = 0; i < row->ColCount(); ++i) {
    TdxBarControl* bar = row->Col(i)->BarControl();
    size = std::max(size, IsVerticalDock() ? bar->Width() : bar->Height());
  }
  if (AIndex < RowCount() - 1) size += GetPainter()->BarDockedGetRowIndent();
  return size;
}

TdxDockRowsGeometry TdxDockControl::RowsGeometry() {
  TdxDockRowsGeometry g;
  for (int i = 0; i < RowCount(); ++i) g.RowSizes.push_back(RowSize(i));
  g.NearSide = IsNearSideDock();
  const TRect client = ClientRect();
  g.ClientAcross = IsVerticalDock() ? client.Width() : client.Height();
  if (FBarManager && FBarManager->Bars()) g.ZoneSize = FBarManager->Bars()->DockingZoneSize();
  return g;
}

TRect TdxDockControl::GetRowRect(int AIndex) {
  int start, end;
  RowsGeometry().RowBand(AIndex, start, end);
  const TRect client = ClientRect();
  if (AIndex < 0 || AIndex >= RowCount()) return TRect();
  return IsVerticalDock() ? TRect(start, 0, end, client.Bottom) : TRect(0, start, client.Right, end);
}

int TdxDockControl::CalcRowsSize() { return RowsGeometry().CalcRowsSize(); }

int TdxDockControl::CalcDockSize() {
  const int rows = CalcRowsSize();
  return rows > 0 && SunkenBorder() ? rows + 2 : rows;
}

void TdxDockControl::InsertBarControl(TdxBarControl* AControl, TPoint AScreenPoint, bool AUpdate) {
  if (!FBarManager) return;
  TdxBar* bar = AControl->Bar();
  bool newRow = false;
  int index = 0;
  const bool recreated = AControl->IsInternalLocked();
  const TPoint client = HandleAllocated() ? ScreenToClient(AScreenPoint) : AScreenPoint;
  if (recreated) {
    const int bars = FBarManager->Bars() ? FBarManager->Bars()->Count() : 1;
    index = dxDockStoredRowIndex(bar ? bar->Row() : 0, RowCount(), bars);
    newRow = bar && bar->OneOnRow();
  } else {
    index = RowsGeometry().FindRowIndex(IsVerticalDock() ? client.X : client.Y, newRow);
  }
  if (bar && bar->WholeRow()) newRow = true;
  if (recreated) {
    while (index >= RowCount()) FRows.push_back(Make<TdxDockRow>(this));
  } else {
    index = std::clamp(index, 0, newRow ? RowCount() : std::max(0, RowCount() - 1));
  }
  if (index >= RowCount()) newRow = true;
  if (!newRow) {
    TdxDockRow* row = FRows[index];
    for (int i = 0; i < row->ColCount(); ++i)
      if (TdxBar* other = row->Col(i)->BarControl()->Bar(); other && other->WholeRow()) newRow = true;
  }
  TdxDockCol* col;
  if (newRow) {
    TdxDockRow* row;
    if (recreated && index < RowCount() && FRows[index]->ColCount() == 0) {
      row = FRows[index];
    } else {
      row = Make<TdxDockRow>(this);
      FRows.insert(FRows.begin() + std::min(index, RowCount()), row);
    }
    col = row->AddCol(AControl);
  } else {
    TdxDockRow* row = FRows[index];
    int at = row->ColCount();
    const int along = IsVerticalDock() ? client.Y : client.X;
    for (int i = 0; i < row->ColCount(); ++i) {
      TdxBar* other = row->Col(i)->BarControl()->Bar();
      const int stored = other ? (IsVerticalDock() ? other->DockedTop() : other->DockedLeft()) : 0;
      if (stored >= along) {
        at = i;
        break;
      }
    }
    col = row->InsertCol(at, AControl);
  }
  TPoint pos = recreated ? AScreenPoint : client;
  if (!recreated) {
    const TPoint grab(AControl->RX.X, AControl->RY.X);
    if (IsVerticalDock())
      pos.Y -= grab.Y;
    else
      pos.X -= grab.X;
  }
  if (IsVerticalDock())
    pos.Y = std::max(pos.Y, 0);
  else
    pos.X = std::max(pos.X, 0);
  col->Pos = pos;
  if (bar) bar->SetRow(std::clamp(index, 0, RowCount() - 1));
  AControl->SetDockControl(this);
  if (AUpdate) {
    if (!AControl->Moving()) AControl->SetBounds(pos.X, pos.Y, AControl->Width(), AControl->Height());
    UpdateDock();
  }
}

void TdxDockControl::RemoveBarControl(TdxBarControl* AControl, bool AUpdate) {
  for (size_t i = 0; i < FRows.size(); ++i) {
    const int col = FRows[i]->IndexOfBarControl(AControl);
    if (col < 0) continue;
    FRows[i]->DeleteCol(col);
    if (FRows[i]->ColCount() == 0) {
      TObject::Free(FRows[i]);
      FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(i));
    }
    break;
  }
  if (AUpdate && !ComponentState().Contains(csDestroying)) UpdateDock();
}

void TdxDockControl::MoveBarControl(TdxBarControl* AControl, TPoint AScreenPoint) {
  RemoveBarControl(AControl, false);
  InsertBarControl(AControl, AScreenPoint, true);
}

TRect TdxDockControl::DockingZoneScreenRect() {
  const int zone = FBarManager && FBarManager->Bars() ? FBarManager->Bars()->DockingZoneSize() : 23;
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
    if (FRows[i]->Visible()) ArrangeRow(i, length);
}

void TdxDockControl::ArrangeRow(int AIndex, int ALength) {
  TdxDockRow* row = FRows.at(AIndex);
  if (row->ColCount() == 0) return;
  const bool vertical = IsVerticalDock();
  const TdxBarDockingStyle style = DockingStyle();
  const TRect rowRect = GetRowRect(AIndex);
  const int rowTop = vertical ? rowRect.Left : rowRect.Top;
  const TdxBarPainter* painter = GetPainter();
  std::vector<TdxDockColumnLayout> cols(row->ColCount());
  for (int i = 0; i < row->ColCount(); ++i) {
    TdxDockCol* col = row->Col(i);
    TdxBarControl* bc = col->BarControl();
    TdxBar* bar = bc->Bar();
    TdxDockColumnLayout& c = cols[i];
    bc->SetTruncated(false);
    const TRect offsets = bc->ContentOffsets(style);
    const int alongOff = vertical ? offsets.Top + offsets.Bottom : offsets.Left + offsets.Right;
    c.OffsetsAcross = vertical ? offsets.Left + offsets.Right : offsets.Top + offsets.Bottom;
    c.MinSize = (vertical ? bc->CalcHeightForStyle(style) : bc->CalcWidthForStyle(style)) + alongOff;
    c.MaxSize = (vertical ? bc->CalcFullHeightForStyle(style) : bc->CalcFullWidthForStyle(style)) + alongOff;
    if (!bc->HasMark() && c.MinSize != c.MaxSize) c.MinSize += bc->MarkSize();
    c.Pos = vertical ? col->Pos.Y : col->Pos.X;
    c.MultiRow = bc->IsMultiRowLayout();
    c.WholeRow = bar && bar->WholeRow();
    c.UseRestSpace = bar && bar->UseRestSpace();
    c.Moving = bc->Moving();
    c.FullThickness = vertical ? bc->CalcFullWidthForStyle(style) : bc->CalcFullHeightForStyle(style);
    c.ThicknessFor = [bc, style, vertical, alongOff, painter](int ALength) {
      int length = ALength - alongOff;
      if (!painter->BarAllowQuickCustomizing()) length -= bc->MarkAreaSize();
      return vertical ? bc->CalcSizeForHeight(style, length).X : bc->CalcSizeForLength(style, length).Y;
    };
  }
  dxArrangeDockRow(cols, ALength, rowTop, false);
  for (int i = 0; i < row->ColCount(); ++i) {
    TdxDockCol* col = row->Col(i);
    TdxBarControl* bc = col->BarControl();
    const TdxDockColumnLayout& c = cols[i];
    if (vertical)
      col->Pos.Y = c.Pos;
    else
      col->Pos.X = c.Pos;
    bc->SetTruncated(c.Truncated);
    c.ThicknessFor(c.NewWidth);
    const TRect bounds = vertical ? TRect(c.NewTop, c.NewLeft, c.NewTop + c.NewHeight, c.NewLeft + c.NewWidth)
                                  : TRect(c.NewLeft, c.NewTop, c.NewLeft + c.NewWidth, c.NewTop + c.NewHeight);
    if (bounds != TRect(bc->Left(), bc->Top(), bc->Left() + bc->Width(), bc->Top() + bc->Height()))
      bc->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    if (bc->HandleAllocated()) bc->CalculateViewInfo();
  }
}

void TdxDockControl::RealignRows() {
  if (!FBarManager || FBarManager->BarsLoading() || FBarManager->IsDestroying() || FArranging) return;
  {
    FArranging = true;
    TFinally done{[this] { FArranging = false; }};
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

void TdxDockControl::UpdateDockSize() {
  if (FBarManager && FBarManager->LoadingFromForm()) return;
  const int size = CalcDockSize();
  if (size == DockSize()) return;
  TWinControl* parent = Parent();
  if (parent) parent->DisableAlign();
  if (DockingStyle() == dsRight) SetLeft(Left() + Width() - size);
  if (DockingStyle() == dsBottom) SetTop(Top() + Height() - size);
  SetDockSize(size);
  if (parent) parent->EnableAlign();
}

void TdxDockControl::FillBackground(HDC DC, const TRect& ADestR, const TRect& ASourceR, HBRUSH ABrush, TColor AColor) {
  if (!ClientRect().IsEmpty()) GetPainter()->DockControlFillBackground(this, DC, ADestR, ASourceR, ABrush, AColor);
}

void TdxDockControl::Paint() {
  FillBackground(Canvas()->Handle(), ClientRect(), ClientRect(), GetPainter()->BarToolbarBrush(), Color());
}

void TdxDockControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      HDC DC = reinterpret_cast<HDC>(Message.WParam);
      FillBackground(DC, ClientRect(), ClientRect(), GetPainter()->BarToolbarBrush(), Color());
      Message.Result = 1;
      return;
    }
    case WM_MOUSEACTIVATE:
      if (FBarManager && !FBarManager->Designing()) {
        Message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    case WM_SIZE:
      TCustomControl::WndProc(Message);
      if (!FArranging) UpdateDock();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}
