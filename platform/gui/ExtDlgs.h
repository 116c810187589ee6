// The picture dialogs: the open and save file dialogs set up for the picture
// formats registered with TPicture.
#pragma once

#include "platform/gui/Dialogs.h"

// An open dialog whose filter lists every registered picture format, all of
// them together first (GraphicFilter).
class TOpenPictureDialog : public TOpenDialog {
  DECLARE_CLASS(TOpenPictureDialog, TOpenDialog)
  explicit TOpenPictureDialog(TComponent* AOwner);
};

// A save dialog with the same filter; set Filter and DefaultExt for the
// class of the picture being saved (GraphicFilter, GraphicExtension).
class TSavePictureDialog : public TOpenPictureDialog {
  DECLARE_CLASS(TSavePictureDialog, TOpenPictureDialog)
  explicit TSavePictureDialog(TComponent* AOwner) : TOpenPictureDialog(AOwner) {}

  bool Execute(HWND parentWnd) override;
};
