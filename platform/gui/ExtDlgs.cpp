#include "platform/gui/ExtDlgs.h"

#include "platform/gui/Graphics.h"

IMPLEMENT_CLASS(TOpenPictureDialog, TOpenDialog, (ConstructWith<TOpenPictureDialog, TComponent>))
IMPLEMENT_CLASS(TSavePictureDialog, TOpenPictureDialog, (ConstructWith<TSavePictureDialog, TComponent>))

// The formats registered when the dialog is made.
TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
  SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

bool TSavePictureDialog::Execute(HWND parentWnd) { return DoExecute(true, parentWnd); }
