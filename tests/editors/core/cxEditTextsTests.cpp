#include "platform/WinApi.h"
#include "editors/core/cxDataConsts.h"
#include "editors/core/cxEditConsts.h"
#include "editors/core/cxLibraryConsts.h"
#include "editors/core/EditorsCoreModules.h"
#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/core/StringLists.h"

#include <gtest/gtest.h>

namespace {

struct TProductCount {
  const Char* Name;
  int Count;
};

// The five products of the editor layer, in start-up order.
constexpr TProductCount kProducts[] = {
    {L"DataController", 12}, {L"CoreLibrary", 24}, {L"ZuvovuvEzavova Library", 103},
    {L"DataFilter", 50},     {L"FilterControl", 35},
};

std::vector<String> RegisteredProducts() {
  std::vector<String> names;
  TdxResourceStringsRepository* repo = dxGetResourceStringsRepository();
  for (int i = 0; i < repo->ProductsCount(); ++i) names.push_back(repo->Products(i)->Name());
  return names;
}

}  // namespace

TEST(cxEditTexts, TheFiveProductsAreRegisteredInOrderWithAllTheirIdentifiers) {
  TdxResourceStringsRepository* repo = dxGetResourceStringsRepository();
  int previous = -1;
  for (const TProductCount& product : kProducts) {
    const int index = repo->GetProductIndexByName(product.Name);
    ASSERT_GE(index, 0) << product.Name;
    EXPECT_GT(index, previous) << product.Name;
    previous = index;
    EXPECT_EQ(repo->Products(index)->ResStringsCount(), product.Count) << product.Name;
  }
}

TEST(cxEditTexts, TextsComeFromTheirTablesAndTwoAreEmpty) {
  TdxResourceStringsRepository* repo = dxGetResourceStringsRepository();
  EXPECT_EQ(repo->GetOriginalValue(L"cxSDataReadError"), L"Stream read error");
  EXPECT_EQ(repo->GetOriginalValue(L"cxSDateToday"), L"today");
  EXPECT_EQ(repo->GetOriginalValue(L"cxSEditPostError"), L"An error occured during posting edit value");
  EXPECT_EQ(repo->GetOriginalValue(L"scxSEditRepositoryTextItem"), L"TextEdit|Represents a single line text editor");
  EXPECT_EQ(repo->GetOriginalValue(L"cxSFilterBoxNonBlanksCaption"), L"(NonBlanks)");
  EXPECT_EQ(repo->GetOriginalValue(L"cxSFilterControlDialogFileFilter"), L"Filters (*.flt)|*.flt");
  EXPECT_EQ(cxLookUpResourceString(&cxSEditCheckBoxGrayed), L"");
  EXPECT_EQ(cxLookUpResourceString(&cxSRadioGroupDefaultCaption), L"");
  EXPECT_EQ(cxLookUpResourceString(&cxSEditValidateErrorText),
            L"Invalid input value. Use escape key to abandon changes");
}

TEST(cxEditTexts, ATranslationReplacesAText) {
  cxTranslationSourceList = Make<TStringList>();
  cxTranslationTargetList = Make<TStringList>();
  cxTranslationMode = 1;
  cxTranslationSourceList->AddObject(String(), reinterpret_cast<TObject*>(const_cast<TResStringRec*>(&cxSDateToday)));
  cxTranslationTargetList->Add(L"heute");
  EXPECT_EQ(cxLookUpResourceString(&cxSDateToday), L"heute");
  cxResetTranslationLists();
  EXPECT_EQ(cxLookUpResourceString(&cxSDateToday), L"today");
}

TEST(cxEditTexts, ShutdownUnregistersEveryProductAndStartUpRegistersThemAgain) {
  const std::vector<String> before = RegisteredProducts();
  // The five text modules come first in the editor core's list.
  const auto texts = EditorsCoreModules().first(5);
  for (auto it = texts.rbegin(); it != texts.rend(); ++it) it->Finalize();
  for (const TProductCount& product : kProducts)
    EXPECT_LT(dxGetResourceStringsRepository()->GetProductIndexByName(product.Name), 0) << product.Name;
  for (const TModuleStep& step : texts) step.Initialize();
  EXPECT_EQ(RegisteredProducts(), before);
}
