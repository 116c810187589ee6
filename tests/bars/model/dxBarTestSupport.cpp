#include "tests/bars/model/dxBarTestSupport.h"

BEGIN_CLASS(TBarTestForm, TForm, (ConstructWith<TBarTestForm, TComponent>))
  b.Method<&TBarTestForm::btnExitClick>(L"btnExitClick");
  b.Method<&TBarTestForm::BarEvent>(L"BarEvent");
END_CLASS

IMPLEMENT_CLASS(TFakeBarControl, TObject, nullptr)
IMPLEMENT_CLASS(TWindowedBarControl, TCustomControl, nullptr)
IMPLEMENT_CLASS(TFakeDock, TObject, nullptr)
IMPLEMENT_CLASS(TTestItemControl, TdxBarItemControlBase, (ConstructWith<TTestItemControl, TdxBarItemLink>))
