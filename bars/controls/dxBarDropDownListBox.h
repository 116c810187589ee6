// The drop-down list of a combo item: a top-level, owner-drawn list box that
// tracks the mouse like a menu (a press on the combo, a drag into the list
// and a release over an entry choose it in one gesture) and hands the chosen
// entry back to the combo.
#pragma once

#include "platform/gui/StdCtrls.h"

class TdxBarItem;
class TdxBarPainter;

// What the list asks of the combo item that owns it.
class IdxBarDropDownListCombo {
 public:
  // The entry is chosen: the combo's ItemIndex becomes it.
  virtual void ChooseListEntry(int AIndex) = 0;
  // The list moved its selection itself: the combo control of the current
  // link shows the entry without committing it.
  virtual void PreviewListEntry(int AIndex) = 0;

 protected:
  ~IdxBarDropDownListCombo() = default;
};

class TdxBarDropDownListBox : public TCustomListBox {
  DECLARE_CLASS(TdxBarDropDownListBox, TCustomListBox)
  // The owner is the combo item.
  explicit TdxBarDropDownListBox(TComponent* AOwner);

  TdxBarItem* Combo() const { return FCombo; }
  // The combo captured the mouse for the list while its button is still held:
  // the list takes the press over when the mouse enters it.
  bool WaitForCapture = false;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Click() override;

  // The painter of the bar that shows the combo's current link.
  const TdxBarPainter* Painter() const;
  int BorderSize() const;

 protected:
  void KeyPress(Char& Key) override;

 private:
  void MouseMoved(TMessage& Message);
  void LeftButtonReleased(TMessage& Message);
  void CalcNonClientSize(TMessage& Message);
  void PaintNonClientArea();
  IdxBarDropDownListCombo* ComboInterface() const;

  TdxBarItem* FCombo = nullptr;
};
