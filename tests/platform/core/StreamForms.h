// The two forms of the component stream, for tests that write a definition as
// text and compare what the binary form holds.
#pragma once

#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"

#include <string>
#include <vector>

namespace streamforms {

using Bytes = std::vector<Byte>;

inline Bytes StreamBytes(TCustomMemoryStream& s) {
  const Byte* p = static_cast<const Byte*>(s.Memory());
  return Bytes(p, p + s.Size());
}

// The binary form of a definition written in the text form.
inline Bytes Bin(const std::string& text) {
  TMemoryStream in, out;
  in.WriteBuffer(text.data(), static_cast<int>(text.size()));
  in.SetPosition(0);
  ObjectTextToBinary(&in, &out);
  return StreamBytes(out);
}

// The text form, for readable failure messages; a conversion error as "<message>".
inline std::string Text(const Bytes& bin) {
  TBytesStream in(bin);
  TMemoryStream out;
  try {
    ObjectBinaryToText(&in, &out);
  } catch (Exception& e) {
    return std::string("<") + e.what() + ">";
  }
  const Bytes b = StreamBytes(out);
  return std::string(b.begin(), b.end());
}

inline Bytes Save(TComponent* root, TComponent* ancestor = nullptr) {
  TMemoryStream m;
  WriteDescendentToStream(&m, root, ancestor);
  return StreamBytes(m);
}

}  // namespace streamforms
