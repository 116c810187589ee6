// The platform list box as a container's inner control: no border of its
// own, keys, mouse, wheel, drag and drop and the context menu go on to the
// container, two painted scroll bars lie exactly over its native ones, the
// corner between them is filled, and typing searches the items.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxContainer.h"
#include "platform/gui/StdCtrls.h"

class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
  DECLARE_CLASS(TcxCustomInnerListBox, TListBox)
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  ~TcxCustomInnerListBox() override;

  // True when a corner of the item's rectangle lies in the list box.
  bool ItemVisible(int Index);
  // Places and fills the painted scroll bars from the native ones.
  virtual void SetExternalScrollBarsParameters();

  TcxCanvas* cxCanvas() const { return FCanvas; }
  TcxScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxScrollBar* VScrollBar() const { return FVScrollBar; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* AValue) { FLookAndFeel->Assign(AValue); }
  TcxContainer* Container() const { return FContainer; }
  void SetContainer(TcxContainer* AValue) { FContainer = AValue; }
  const String& AutoCompleteFilter() const { return FAutoCompleteFilter; }
  void LockScrollBars() { ++FScrollBarsLockCount; }
  void UnlockScrollBars() {
    if (FScrollBarsLockCount > 0) --FScrollBarsLockCount;
  }

  // IcxContainerInnerControl
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return FContainer; }

  void WndProc(TMessage& Message) override;
  void DefaultHandler(void* Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TPopupMenu* PopupMenu() override;
  void DragDrop(TObject* Source, int X, int Y) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void Click() override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

 protected:
  virtual void ProcessAutoCompleteKey(Char& Key);
  virtual void RedrawIfHandleAllocated();
  virtual bool IsDefaultItemDrawing() { return !OnDrawItem; }
  // The system tick count the incremental search measures pauses with.
  virtual DWORD CurrentTickCount() { return GetTickCount(); }
  void DestroyWnd() override;

  void WMGetDlgCode(TWMGetDlgCode& Message);
  void WMSetFocus(TWMSetFocus& Message);
  void WMKillFocus(TWMKillFocus& Message);
  void WMNCPaint(TMessage& Message);
  void WMPrint(TWMPrint& Message);
  void CNDrawItem(TWMDrawItem& Message);
  void CMMouseLeave(TCMMouseEnterLeave& Message);

  String FAutoCompleteFilter;
  TColor FPrevBrushColor = clNone;
  TColor FPrevFontColor = clNone;

 private:
  void HScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void VScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void PlaceScrollBar(TcxScrollBar* ABar, LONG AObjectId, int ABarKind);
  // The corner between the painted bars in window coordinates; empty unless
  // both show.
  TRect SizeGripCorner();
  void FillSizeGripCorner();
  void HandleAutomaticDragClick(TMessage& Message);

  TcxCanvas* FCanvas = nullptr;
  TcxScrollBar* FHScrollBar = nullptr;
  TcxScrollBar* FVScrollBar = nullptr;
  bool FIsRedrawLocked = false;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  DWORD FPrevKeyPressTime = 0;
  bool FScrollBarsCalculating = false;
  int FScrollBarsLockCount = 0;
  TcxContainer* FContainer = nullptr;
};
