#include "platform/core/Persistent.h"
#include "platform/core/Exceptions.h"

IMPLEMENT_CLASS(TPersistent, TObject, (ConstructPlain<TPersistent>))

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError(L"Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) {
  String srcName = ClassName();
  String destName = dest ? dest->ClassName() : String(L"nil");
  throw EConvertError(L"Cannot assign a " + srcName + L" to a " + destName);
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() { return nullptr; }

String TPersistent::GetNamePath() { return ClassName(); }
