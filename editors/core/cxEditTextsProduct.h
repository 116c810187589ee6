// One product of the editor layer's texts in the text repository: the
// listing procedure made from a text table (NAME(X) lists X(identifier, id,
// text) in registration order) and the start-up and shutdown steps.
#pragma once

#include "foundation/dxCore.h"

#define CX_ADD_PRODUCT_TEXT(Name, Id, Text) AProduct->Add(L"" #Name, &Name);

#define CX_DEFINE_TEXT_PRODUCT(ModuleName, ProductName, Table)                                  \
  namespace {                                                                                  \
  void Add##ModuleName##Texts(TdxProductResourceStrings* AProduct) { Table(CX_ADD_PRODUCT_TEXT) } \
  }                                                                                            \
  void ModuleName##Initialize() {                                                              \
    dxGetResourceStringsRepository()->RegisterProduct(ProductName, &Add##ModuleName##Texts);   \
  }                                                                                            \
  void ModuleName##Finalize() { dxGetResourceStringsRepository()->UnRegisterProduct(ProductName); }
