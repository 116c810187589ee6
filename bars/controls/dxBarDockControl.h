// Dock controls: the child windows along the sides of a form in which toolbar
// windows dock, in rows across the dock and columns along it.
#pragma once

#include "bars/controls/dxBarDockLayout.h"
#include "platform/gui/Controls.h"

#include <vector>

class TdxBarControl;
class TdxDockControl;
class TdxBarPainter;

// One toolbar window in a row, with its stored position.
class TdxDockCol : public TObject {
  DECLARE_CLASS(TdxDockCol, TObject)
  TdxDockCol(class TdxDockRow* ARow, TdxBarControl* ABarControl) : FDockRow(ARow), FBarControl(ABarControl) {}
  TdxBarControl* BarControl() const { return FBarControl; }
  TdxDockRow* DockRow() const { return FDockRow; }
  TPoint Pos;
  void AssignPosition();

 private:
  TdxDockRow* FDockRow;
  TdxBarControl* FBarControl;
};

class TdxDockRow : public TObject {
  DECLARE_CLASS(TdxDockRow, TObject)
  explicit TdxDockRow(TdxDockControl* ADock) : FDockControl(ADock) {}
  ~TdxDockRow() override;
  int ColCount() const { return static_cast<int>(FCols.size()); }
  TdxDockCol* Col(int AIndex) const { return FCols.at(AIndex); }
  TdxDockCol* AddCol(TdxBarControl* ABarControl);
  TdxDockCol* InsertCol(int AIndex, TdxBarControl* ABarControl);
  void DeleteCol(int AIndex);
  int IndexOfBarControl(TdxBarControl* ABarControl) const;
  // Every bar of the row is alone in it or not.
  void UpdateOneOnRow();
  // At least one column holds a docked toolbar window.
  bool Visible() const;
  TdxDockControl* DockControl() const { return FDockControl; }

 private:
  TdxDockControl* FDockControl;
  std::vector<TdxDockCol*> FCols;
};

class TdxDockControl : public TCustomControl, public IdxBarDockControl {
  DECLARE_CLASS(TdxDockControl, TCustomControl)
  explicit TdxDockControl(TComponent* AOwner);
  // One of a manager's four side docks.
  TdxDockControl(TComponent* AOwner, TdxBarDockingStyle ASide, TdxBarManager* AManager);
  ~TdxDockControl() override;
  void BeforeDestruction() override;

  // IdxBarDockControl
  TObject* DockControlObject() override { return this; }
  TdxBarDockingStyle DockingStyle() override;
  int DockSize() override;
  void SetDockSize(int AValue) override;
  bool CanDockBar(TdxBar* ABar) override;
  void UpdateDock() override;
  bool CanReceiveFocus() override;
  bool DockingZoneContains(const TPoint& AScreenPoint) override;

  TdxBarManager* BarManager() const { return FBarManager; }
  void SetBarManager(TdxBarManager* AValue);
  bool IsVerticalDock() { return DockingStyle() == dsLeft || DockingStyle() == dsRight; }
  bool IsNearSideDock() { return DockingStyle() == dsLeft || DockingStyle() == dsTop; }
  int RowCount() const { return static_cast<int>(FRows.size()); }
  TdxDockRow* Row(int AIndex) const { return FRows.at(AIndex); }
  const TdxBarPainter* GetPainter();
  bool SunkenBorder() const { return false; }

  // Rows and columns.
  void InsertBarControl(TdxBarControl* AControl, TPoint AScreenPoint, bool AUpdate);
  void RemoveBarControl(TdxBarControl* AControl, bool AUpdate);
  void MoveBarControl(TdxBarControl* AControl, TPoint AScreenPoint);
  TdxDockCol* FindCol(TdxBarControl* AControl, int* ARowIndex = nullptr) const;
  int RowSize(int AIndex);
  TdxDockRowsGeometry RowsGeometry();
  TRect GetRowRect(int AIndex);
  int CalcRowsSize();
  int CalcDockSize();
  void ArrangeRows();
  void ArrangeRow(int AIndex, int ALength);
  void RealignRows();
  void UpdateDockSize();
  void FillBackground(HDC DC, const TRect& ADestR, const TRect& ASourceR, HBRUSH ABrush, TColor AColor);
  TRect DockingZoneScreenRect();
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;

 private:
  void FreeRows();
  TdxBarManager* FBarManager = nullptr;
  TdxBarDockingStyle FDockingStyle = dsNone;
  std::vector<TdxDockRow*> FRows;
  int FStoredSize = 0;
  bool FArranging = false;
  bool FSettling = false;
};

// Makes one of a manager's four side docks (the model's seam).
IdxBarDockControl* dxBarCreateSideDock(TdxBarManager* AManager, TdxBarDockingStyle AStyle);
