// Dock controls: the child windows along the sides of a form (and the
// free-standing docks a form places itself) in which toolbar windows dock,
// in rows across the dock and columns along it.
#pragma once

#include "bars/controls/dxBarDockLayout.h"
#include "platform/gui/Controls.h"

#include <vector>

class IdxBarToolbarWindows;
class TBitmap;
class TdxBarControl;
class TdxDockControl;
class TdxBarPainter;

// One toolbar window in a row, with its stored position (client coordinates
// of the dock; the coordinate along the dock is the one the layout uses).
class TdxDockCol : public TObject {
  DECLARE_CLASS(TdxDockCol, TObject)
  TdxDockCol(class TdxDockRow* ARow, TdxBarControl* ABarControl) : FDockRow(ARow), FBarControl(ABarControl) {}
  TdxBarControl* BarControl() const { return FBarControl; }
  TdxDockRow* DockRow() const { return FDockRow; }
  TPoint Pos() const { return FPos; }
  void SetPos(const TPoint& AValue) { FPos = AValue; }
  // Takes the window's current left and top as the stored position.
  void AssignPosition();

 private:
  TdxDockRow* FDockRow;
  TdxBarControl* FBarControl;
  TPoint FPos;
};

// A row across the dock: the toolbars assigned to it and the columns of their windows.
class TdxDockRow : public TObject, public IdxBarDockRow {
  DECLARE_CLASS(TdxDockRow, TObject)
  explicit TdxDockRow(TdxDockControl* ADockControl) : FDockControl(ADockControl) {}
  ~TdxDockRow() override;

  int ColCount() const { return static_cast<int>(FColList.size()); }
  TdxDockCol* Col(int AIndex) const { return FColList.at(AIndex); }
  const std::vector<TdxDockCol*>& ColList() const { return FColList; }
  int BarCount() const { return static_cast<int>(FBars.size()); }
  TdxBar* Bar(int AIndex) const { return FBars.at(AIndex); }
  TdxDockControl* DockControl() const { return FDockControl; }
  // Appends a column for the window; every bar then learns whether it is alone.
  TdxDockCol* AddCol(TdxBarControl* ABarControl);
  TdxDockCol* InsertCol(int AIndex, TdxBarControl* ABarControl);
  void DeleteCol(TdxBarControl* ABarControl);
  void DeleteCol(int AIndex);
  int IndexOfBarControl(TdxBarControl* ABarControl) const;
  // Every bar of the row gets OneOnRow := (one column).
  void UpdateOneOnRow();
  // At least one of its bars has a docked window.
  bool Visible() const;

  // IdxBarDockRow
  TObject* DockRowObject() override { return this; }
  IdxBarDockControl* RowDockControl() override;
  void IncludeBar(TdxBar* ABar) override;
  void RemoveBar(TdxBar* ABar, bool AFreeWhenEmpty) override;

 private:
  std::vector<TdxBar*> FBars;
  std::vector<TdxDockCol*> FColList;
  TdxDockControl* FDockControl;
  bool FDestroying = false;
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
  // From the alignment: left and right docks are vertical; top, bottom and the rest horizontal.
  TdxBarDockingStyle DockingStyle() override;
  int DockSize() override;
  void SetDockSize(int AValue) override;
  bool CanDockBar(TdxBar* ABar) override;
  void UpdateDock() override;
  bool CanReceiveFocus() override;
  bool DockingZoneContains(const TPoint& AScreenPoint) override;
  TdxBarManager* DockBarManager() override { return FBarManager; }
  int RowCount() override { return static_cast<int>(FRowList.size()); }
  IdxBarDockRow* RowAt(int AIndex) override;
  int IndexOfRow(IdxBarDockRow* ARow) override;
  IdxBarDockRow* AppendRow() override;
  void InsertBarControl(IdxBarControl* AControl, const TPoint& AScreenPoint, bool AUpdate) override;
  void RemoveBarControl(IdxBarControl* AControl, bool AUpdate) override;
  void MoveBarControl(IdxBarControl* AControl, const TPoint& AScreenPoint) override;
  TPoint RowGapPoint(int ARow, bool AOnLine, const TPoint& AScreenPoint) override;
  bool GetColPosition(IdxBarControl* AControl, TPoint& APosition) override;
  void SetColPosition(IdxBarControl* AControl, const TPoint& APosition) override;
  void AssignColPositions() override;
  TPoint ClientToScreenPoint(const TPoint& APoint) override;
  TPoint ScreenToClientPoint(const TPoint& APoint) override;
  bool IsBarHandleDestroying() override { return FIsBarHandleDestroying; }
  void UpdateColor() override;
  void RefreshFrames() override;

  TdxBarManager* BarManager() const { return FBarManager; }
  void SetBarManager(TdxBarManager* AValue);
  TdxBars* Bars() const;
  bool AllowDocking() const { return FAllowDocking; }
  void SetAllowDocking(bool AValue) { FAllowDocking = AValue; }
  TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }
  void SetBackgroundBitmap(TBitmap* AValue);
  bool IsVerticalDock() { return DockingStyle() == dsLeft || DockingStyle() == dsRight; }
  bool IsHorizontalDock() { return !IsVerticalDock(); }
  bool IsNearSideDock() { return DockingStyle() == dsLeft || DockingStyle() == dsTop; }
  // One of the manager's four side docks.
  bool IsSideDock() const { return FDockingStyle != dsNone; }
  int RowMarginSize() const { return FRowMarginSize; }
  const std::vector<TdxDockRow*>& RowList() const { return FRowList; }
  TdxDockRow* Row(int AIndex) const { return FRowList.at(AIndex); }
  // Set by a docked toolbar's window while it is destroyed: the toolbar keeps
  // its row sharing meanwhile.
  void SetBarHandleDestroying(bool AValue) { FIsBarHandleDestroying = AValue; }

  // Rows and columns.
  void InsertBarControl(TdxBarControl* AControl, TPoint AScreenPoint, bool AUpdate);
  // Deletes the column (the control's first column without one); the row stays.
  void RemoveBarControl(TdxBarControl* AControl, TdxDockCol* ACol, bool AUpdate);
  void RemoveBarControl(TdxBarControl* AControl, bool AUpdate) { RemoveBarControl(AControl, nullptr, AUpdate); }
  void MoveBarControl(TdxBarControl* AControl, TPoint AScreenPoint);
  TdxDockCol* FindCol(TdxBarControl* AControl, int* ARowIndex = nullptr) const;
  // The row geometry as a value (the zones, the row a point falls in).
  TdxDockRowsGeometry RowsGeometry();
  TdxDockSpan GetRowZone(int ARowIndex, int APart);
  TdxDockRowTarget FindRowIndex(const TPoint& AScreenPoint);
  int FindColIndex(int ARowIndex, const TPoint& AScreenPoint);
  int RowSize(int AIndex);
  TRect GetRowRect(int AIndex);
  int CalcDockSize();
  void RealignRows();
  TRect DockingZoneScreenRect();
  // The sunken edge around the window, in window coordinates.
  void DrawBorder(HDC DC);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;

  // Virtual operations, in the order docks introduce them.
  virtual void RefreshBackground();
  virtual void ArrangeRows();
  virtual void ArrangeRow(int AIndex, int ALength);
  virtual int CalcRowsSize();
  virtual bool SunkenBorder();
  virtual bool UsesStoredRows() { return true; }
  virtual void UpdateDockSize();
  virtual void ShowToolbarsPopup();
  TClass GetBarControlClass() override;
  // The accessibility helpers are not built: no helper class.
  virtual TClass GetAccessibilityHelperClass() { return nullptr; }
  virtual const TdxBarPainter* GetPainter();
  // The background of a rectangle: the own picture tiled from the origin of
  // ASourceR, else the manager's bar picture, else the painter's fill.
  virtual void FillBackground(HDC DC, const TRect& ADestR, const TRect& ASourceR, HBRUSH ABrush, TColor AColor);
  virtual bool HasBackgroundBitmap();
  virtual bool InDesignMode() { return ComponentState().Contains(csDesigning); }
  virtual bool HasCustomBackground();
  virtual void RepaintBars();
  virtual void ResetBackgroundCache();
  virtual void UpdateDoubleBuffered();
  // The action links of the items of every docked toolbar follow their actions.
  void InitiateAction() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void RequestAlign() override;
  TdxBarDockingStyle FDockingStyle = dsNone;

 private:
  void FreeRows();
  TPoint ScreenOrigin();
  void BackgroundChanged(TObject* Sender);
  void DoRemoveBarControl(TdxBarControl* AControl, TdxDockCol* ACol);
  void HideActiveChainOnResize();
  bool FAllowDocking = true;
  TBitmap* FBackgroundBitmap = nullptr;
  TBitmap* FBackgroundTempBitmap = nullptr;
  TdxBarManager* FBarManager = nullptr;
  bool FIsBarHandleDestroying = false;
  std::vector<TdxDockRow*> FRowList;
  int FRowMarginSize = 10;
  bool FArranging = false;
  bool FSettling = false;
};

// The alignments a free-standing dock takes (the first five of the platform's).
DECLARE_ENUM(TdxBarDockAlign, dalNone, dalTop, dalBottom, dalLeft, dalRight)

// A dock a form places itself, aligned like any control. Its colour and
// sunken border follow the manager's unless it has its own.
class TdxBarDockControl : public TdxDockControl {
  DECLARE_CLASS(TdxBarDockControl, TdxDockControl)
  explicit TdxBarDockControl(TComponent* AOwner);

  TdxBarDockAlign Align() const { return static_cast<TdxBarDockAlign>(TdxDockControl::Align()); }
  // Moves the docked toolbars to the new side within one update of the manager.
  void SetAlign(TdxBarDockAlign AValue);
  bool AllowZeroSizeInDesignTime() const { return FAllowZeroSizeInDesignTime; }
  void SetAllowZeroSizeInDesignTime(bool AValue);
  TdxBarManager* GetBarManagerProp() const { return BarManager(); }
  void SetBarManagerProp(TdxBarManager* AValue) { SetBarManager(AValue); }
  // Outside loading, a new colour is the dock's own.
  void SetColor(TColor AValue);
  void SetParentColor(bool AValue);
  bool UseOwnColor() const { return FUseOwnColor; }
  void SetUseOwnColor(bool AValue);
  bool SunkenBorder() override;
  void SetSunkenBorder(bool AValue);
  bool UseOwnSunkenBorder() const { return FUseOwnSunkenBorder; }
  void SetUseOwnSunkenBorder(bool AValue);
  // The dock's height or width when empty: 3 at design time unless zero size is allowed.
  int DesignMinSize();
  bool CanDockBar(TdxBar* ABar) override;
  void RefreshBackground() override;
  void UpdateColor() override;
  int CalcRowsSize() override;
  // A toolbar whose stored dock reference does not resolve leaves this dock.
  bool DetachOnMissingReference() override { return true; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;

 private:
  bool OwnColorStored() const { return FUseOwnColor && !ParentColor(); }
  bool FAllowZeroSizeInDesignTime = false;
  bool FSunkenBorder = false;
  bool FUseOwnColor = false;
  bool FUseOwnSunkenBorder = false;
};

// Makes one of a manager's four side docks (the model's seam).
IdxBarDockControl* dxBarCreateSideDock(TdxBarManager* AManager, TdxBarDockingStyle AStyle);
// What toolbars and their drag ask of toolbar windows (the model's seam).
IdxBarToolbarWindows* dxBarDockToolbarWindows();
// Moves a toolbar's window with the mouse (the toolbar collection's drag loop).
void dxBarRunToolbarDragLoop(TdxBarControl* AControl);
