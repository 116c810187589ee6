// The main window: everything it shows comes from its stored definition
// (resource "TFORM5").
#pragma once

#include "editors/family/cxImage.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"

class TForm5 : public TForm {
  DECLARE_CLASS(TForm5, TForm)
  explicit TForm5(TComponent* AOwner) : TForm(AOwner) {}

  TImageList* SmallImages = nullptr;
  TcxImage* cxImage1 = nullptr;

  void btnExitClick(TObject* Sender);
};

// The instance the program creates (Application->CreateForm sets it).
extern TForm5* Form5;

// Module start-up: makes TForm5 known to the component stream.
void Unit5Initialize();
void Unit5Finalize();
