#include "app/Unit5.h"

TForm5* Form5 = nullptr;

BEGIN_CLASS(TForm5, TForm, (ConstructWith<TForm5, TComponent>))
  b.Field(L"BarManager", &TForm5::BarManager);
  b.Field(L"ExpMenu", &TForm5::ExpMenu);
  b.Field(L"btnChangePwd", &TForm5::btnChangePwd);
  b.Field(L"btnChangeUser", &TForm5::btnChangeUser);
  b.Field(L"btnLogout", &TForm5::btnLogout);
  b.Field(L"dxBarButton7", &TForm5::dxBarButton7);
  b.Field(L"dxBarButton9", &TForm5::dxBarButton9);
  b.Field(L"dxBarButton12", &TForm5::dxBarButton12);
  b.Field(L"dxBarButton1", &TForm5::dxBarButton1);
  b.Field(L"btnConfig2", &TForm5::btnConfig2);
  b.Field(L"btnPassword", &TForm5::btnPassword);
  b.Field(L"btnHelp", &TForm5::btnHelp);
  b.Field(L"btnExit", &TForm5::btnExit);
  b.Field(L"SmallImages", &TForm5::SmallImages);
  b.Field(L"cxImage1", &TForm5::cxImage1);
  b.Method<&TForm5::btnExitClick>(L"btnExitClick");
END_CLASS

void TForm5::btnExitClick(TObject*) { Close(); }

void Unit5Initialize() { RegisterClass(TForm5::StaticClass()); }

void Unit5Finalize() { UnRegisterClass(TForm5::StaticClass()); }
