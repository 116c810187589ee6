#include "app/Unit5.h"

TForm5* Form5 = nullptr;

BEGIN_CLASS(TForm5, TForm, (ConstructWith<TForm5, TComponent>))
  b.Field(L"SmallImages", &TForm5::SmallImages);
  b.Field(L"cxImage1", &TForm5::cxImage1);
  b.Method<&TForm5::btnExitClick>(L"btnExitClick");
END_CLASS

void TForm5::btnExitClick(TObject*) { Close(); }

void Unit5Initialize() { RegisterClass(TForm5::StaticClass()); }

void Unit5Finalize() { UnRegisterClass(TForm5::StaticClass()); }
