#include "platform/WinApi.h"
#include "platform/core/Filer.h"
#include "platform/core/StringLists.h"

// The strings travel in the component stream as the defined property
// "Strings": a list of string values.
void TStrings::DefineProperties(TFiler* filer) {
  TPersistent::DefineProperties(filer);
  bool hasData;
  if (filer->Ancestor()) {
    auto* ancestor = dynamic_cast<TStrings*>(filer->Ancestor());
    hasData = !ancestor || !Equals(ancestor);
  } else {
    hasData = Count() > 0;
  }
  filer->DefineProperty(
      L"Strings",
      [this](TReader* reader) {
        reader->ReadListBegin();
        BeginUpdate();
        try {
          Clear();
          while (!reader->EndOfList()) Add(reader->ReadString());
        } catch (...) {
          EndUpdate();
          throw;
        }
        EndUpdate();
        reader->ReadListEnd();
      },
      [this](TWriter* writer) {
        writer->WriteListBegin();
        for (int i = 0; i < Count(); ++i) writer->WriteString(Get(i));
        writer->WriteListEnd();
      },
      hasData);
}
