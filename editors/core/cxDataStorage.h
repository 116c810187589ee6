// Value types: class-level descriptions of the kinds of typed value a data
// store keeps in raw value buffers (size, load and store, order, default
// text, streaming), registered by caption in a process-wide list.
//
// A value type is one stateless object per class (`Instance()`); the class
// reference is a pointer to it. Kinds whose values live on the heap keep a
// pointer in the buffer (a heap String, a heap wide string or a heap
// Variant; null = no value), so their buffers are pointer-sized.
#pragma once

#include "platform/core/Streams.h"
#include "platform/core/System.h"
#include "platform/core/Variants.h"

#include <vector>

// A stream that says in which form texts travel: with UnicodeText set the
// wide form (32-bit count of UTF-16 code units, then the units), otherwise
// the ANSI form (32-bit byte count, then the bytes in CP_ACP). It passes
// every read and write on to the stream it wraps (not owned). Texts written
// to any other stream go in the ANSI form.
class TcxDataStream : public TStream {
  DECLARE_CLASS(TcxDataStream, TStream)
  TcxDataStream(TStream* AStream, bool AUnicodeText) : UnicodeText(AUnicodeText), FStream(AStream) {}
  int Read(void* buffer, int count) override { return FStream->Read(buffer, count); }
  int Write(const void* buffer, int count) override { return FStream->Write(buffer, count); }
  Int64 Seek(Int64 offset, TSeekOrigin origin) override { return FStream->Seek(offset, origin); }
  Int64 Size() override { return FStream->Size(); }

  bool UnicodeText;

 private:
  TStream* FStream;
};

class TcxValueType;
using TcxValueTypeClass = const TcxValueType*;

class TcxValueType {
 public:
  virtual ~TcxValueType() = default;
  static TcxValueTypeClass Instance();
  virtual const Char* ClassName() const { return L"TcxValueType"; }

  // Orders the values of two buffers.
  virtual int CompareStored(const void* P1, const void* P2) const { return CompareValues(P1, P2); }
  virtual void ReleaseBuffer(void*) const {}
  // Frees the heap string of a text-holder slot.
  void ReleaseTextHolder(void* ASlot) const;
  virtual int StorageSize() const { return 0; }
  virtual Variant LoadValue(const void* ABuffer) const;
  // The value's text; '' when the variant cannot be made text.
  virtual String FormatDefaultText(const void* ABuffer) const;
  String LoadText(const void* ASlot) const;
  virtual void LoadValueFromStream(void* ABuffer, TStream* AStream) const;
  void LoadTextFromStream(void* ASlot, TStream* AStream) const;
  // The platform's variant errors pass when the value has no such form.
  virtual void StoreValue(void*, const Variant&) const {}
  void StoreText(void* ASlot, const String& AText) const;
  virtual void SaveValueToStream(const void* ABuffer, TStream* AStream) const;
  void SaveTextToStream(const void* ASlot, TStream* AStream) const;
  // The class name without a leading "Tcx" and its first "ValueType".
  String Caption() const;
  // Negative, 0 or positive, on prepared pointers (PrepareValueBuffer).
  virtual int CompareValues(const void* P1, const void* P2) const;
  virtual Variant GetValue(const void* P) const { return LoadValue(P); }
  virtual TVarType GetVarType() const { return varVariant; }
  // Null, or the value converted to the kind's type (True); False and the
  // value unchanged when it does not convert.
  bool IsValueValid(Variant& Value) const;
  virtual bool IsString() const { return false; }
  // The pointer CompareValues and GetValue take for a buffer.
  virtual void PrepareValueBuffer(const void*& PBuffer) const { (void)PBuffer; }

 protected:
  TcxValueType() = default;
};

#define CX_VALUE_TYPE(Name, Base)                             \
  class Name : public Base {                                  \
   public:                                                    \
    static TcxValueTypeClass Instance();                      \
    const Char* ClassName() const override { return L"" #Name; }

// The operations every fixed-width kind overrides.
#define CX_FIXED_WIDTH_VALUE_TYPE(Size, Code)                                    \
  int StorageSize() const override { return Size; }                              \
  Variant LoadValue(const void* ABuffer) const override;                         \
  void LoadValueFromStream(void* ABuffer, TStream* AStream) const override;      \
  void StoreValue(void* ABuffer, const Variant& Value) const override;           \
  void SaveValueToStream(const void* ABuffer, TStream* AStream) const override;  \
  int CompareValues(const void* P1, const void* P2) const override;              \
  TVarType GetVarType() const override { return Code; }

CX_VALUE_TYPE(TcxStringValueType, TcxValueType)
  int CompareStored(const void* P1, const void* P2) const override;
  void ReleaseBuffer(void* ABuffer) const override;
  int StorageSize() const override { return sizeof(void*); }
  Variant LoadValue(const void* ABuffer) const override;
  void LoadValueFromStream(void* ABuffer, TStream* AStream) const override;
  void StoreValue(void* ABuffer, const Variant& Value) const override;
  void SaveValueToStream(const void* ABuffer, TStream* AStream) const override;
  int CompareValues(const void* P1, const void* P2) const override;
  Variant GetValue(const void* P) const override;
  TVarType GetVarType() const override { return varUString; }
  bool IsString() const override { return true; }
  void PrepareValueBuffer(const void*& PBuffer) const override;
};

CX_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  Variant LoadValue(const void* ABuffer) const override;
  void LoadValueFromStream(void* ABuffer, TStream* AStream) const override;
  void StoreValue(void* ABuffer, const Variant& Value) const override;
  void SaveValueToStream(const void* ABuffer, TStream* AStream) const override;
  TVarType GetVarType() const override { return varOleStr; }
};

CX_VALUE_TYPE(TcxSmallintValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(2, varSmallint)
};

CX_VALUE_TYPE(TcxIntegerValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(4, varInteger)
};

CX_VALUE_TYPE(TcxWordValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(2, varWord)
};

CX_VALUE_TYPE(TcxBooleanValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(1, varBoolean)
  String FormatDefaultText(const void* ABuffer) const override;
};

CX_VALUE_TYPE(TcxFloatValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(8, varDouble)
};

CX_VALUE_TYPE(TcxCurrencyValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(8, varCurrency)
};

CX_VALUE_TYPE(TcxDateTimeValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(8, varDate)
  String FormatDefaultText(const void* ABuffer) const override;
};

CX_VALUE_TYPE(TcxLargeIntValueType, TcxValueType)
  CX_FIXED_WIDTH_VALUE_TYPE(8, varInt64)
};

CX_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType)
  int StorageSize() const override { return 34; }
  Variant LoadValue(const void* ABuffer) const override;
  String FormatDefaultText(const void* ABuffer) const override;
  void StoreValue(void* ABuffer, const Variant& Value) const override;
  int CompareValues(const void* P1, const void* P2) const override;
  TVarType GetVarType() const override;
};

CX_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType)
  int StorageSize() const override { return 16; }
  Variant LoadValue(const void* ABuffer) const override;
  void StoreValue(void* ABuffer, const Variant& Value) const override;
  int CompareValues(const void* P1, const void* P2) const override;
  TVarType GetVarType() const override;
};

CX_VALUE_TYPE(TcxVariantValueType, TcxValueType)
  int CompareStored(const void* P1, const void* P2) const override;
  void ReleaseBuffer(void* ABuffer) const override;
  int StorageSize() const override { return sizeof(void*); }
  // A buffer without a held variant loads as Null.
  Variant LoadValue(const void* ABuffer) const override;
  void StoreValue(void* ABuffer, const Variant& Value) const override;
  int CompareValues(const void* P1, const void* P2) const override;
  Variant GetValue(const void* P) const override;
  void PrepareValueBuffer(const void*& PBuffer) const override;
};

// Holds an object reference it owns. Its value is the reference as a number
// (pointer-sized); its stream operations do nothing.
CX_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
  void ReleaseBuffer(void* ABuffer) const override;
  int StorageSize() const override { return sizeof(void*); }
  Variant LoadValue(const void* ABuffer) const override;
  void LoadValueFromStream(void*, TStream*) const override {}
  void StoreValue(void* ABuffer, const Variant& Value) const override;
  void SaveValueToStream(const void*, TStream*) const override {}
  int CompareValues(const void* P1, const void* P2) const override;
  TVarType GetVarType() const override { return sizeof(void*) == 8 ? varInt64 : varInteger; }
};

#undef CX_FIXED_WIDTH_VALUE_TYPE
#undef CX_VALUE_TYPE

class TcxValueTypeClassList : public TObject {
  DECLARE_CLASS(TcxValueTypeClassList, TObject)
  TcxValueTypeClassList() = default;

  // Appends the class unless it is listed.
  void RegisterItem(TcxValueTypeClass AClass);
  // Removes its first occurrence; an absent class is ignored.
  void UnregisterItem(TcxValueTypeClass AClass);
  // The first class whose caption is exactly ACaption, null when none.
  TcxValueTypeClass ItemByCaption(const String& ACaption) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxValueTypeClass Items(int AIndex) const { return FItems.at(static_cast<std::size_t>(AIndex)); }

 private:
  std::vector<TcxValueTypeClass> FItems;
};

// The process-wide list, made on the first call.
TcxValueTypeClassList* cxValueTypeRegistry();

// Registers the fourteen kinds; shutdown unregisters them in reverse and
// frees the list.
void cxDataStorageInitialize();
void cxDataStorageFinalize();
