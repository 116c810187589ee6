// The main window: everything it shows comes from its stored definition
// (resource "TFORM5").
#pragma once

#include "bars/model/dxBar.h"
#include "editors/family/cxImage.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"

class TForm5 : public TForm {
  DECLARE_CLASS(TForm5, TForm)
  explicit TForm5(TComponent* AOwner) : TForm(AOwner) {}

  TdxBarManager* BarManager = nullptr;
  TdxBar* ExpMenu = nullptr;
  TdxBarButton* btnChangePwd = nullptr;
  TdxBarButton* btnChangeUser = nullptr;
  TdxBarButton* btnLogout = nullptr;
  TdxBarButton* dxBarButton7 = nullptr;
  TdxBarButton* dxBarButton9 = nullptr;
  TdxBarButton* dxBarButton12 = nullptr;
  TdxBarButton* dxBarButton1 = nullptr;
  TdxBarButton* btnConfig2 = nullptr;
  TdxBarButton* btnPassword = nullptr;
  TdxBarButton* btnHelp = nullptr;
  TdxBarButton* btnExit = nullptr;
  TImageList* SmallImages = nullptr;
  TcxImage* cxImage1 = nullptr;

  void btnExitClick(TObject* Sender);
};

// The instance the program creates (Application->CreateForm sets it).
extern TForm5* Form5;

// Module start-up: makes TForm5 known to the component stream.
void Unit5Initialize();
void Unit5Finalize();
