#include "tests/bars/model/dxBarTestSupport.h"

BEGIN_CLASS(TBarTestForm, TForm, (ConstructWith<TBarTestForm, TComponent>))
  b.Method<&TBarTestForm::btnExitClick>(L"btnExitClick");
END_CLASS
