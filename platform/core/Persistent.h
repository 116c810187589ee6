// TPersistent: objects that can be assigned to each other and streamed.
#pragma once

#include "platform/core/System.h"

class TFiler;

class TPersistent : public TObject {
  DECLARE_CLASS(TPersistent, TObject)
  ~TPersistent() override = default;

  // Copies `source` into this object. The base asks the source to AssignTo
  // this object and raises EConvertError ("Cannot assign a X to a Y") when
  // neither side knows the other.
  virtual void Assign(TPersistent* source);
  // Path of the object for messages and the designer, e.g. "Form1.Button1.Font".
  virtual String GetNamePath();

 protected:
  virtual void AssignTo(TPersistent* dest);
  // Adds properties that are not published (binary data, lists) to the
  // component stream through TFiler::DefineProperty/DefineBinaryProperty.
  virtual void DefineProperties(TFiler* filer);
  // The object that owns this one for name paths and the streaming of
  // nested properties; null for a top object.
  virtual TPersistent* GetOwner();

  friend class TFiler;
  friend class TReader;
  friend class TWriter;
};
