// The binary component stream ("TPF0"): TReader builds components from it,
// TWriter stores them; TFiler is what both hand to DefineProperties.
//
// Reading is all-or-nothing for the objects it makes: when a stream turns out
// truncated, corrupt or hostile, every component the read created is freed
// (the root too when the reader created it), a root that existed before keeps
// none of the new children, and EReadError (EClassNotFound, EComponentError
// for names) tells what and at which byte. Lengths are checked against the
// bytes the stream still holds and nesting is limited to MaxStreamNesting.
//
// Writing goes to memory first; the output stream receives the whole stream
// at the end of WriteRootComponent/WriteDescendent (or on FlushBuffer), so a
// failed write leaves it untouched.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/StreamFormat.h"

#include <functional>
#include <span>
#include <vector>

class TStream;
class TReader;
class TWriter;
class Variant;

// ffInherited / ffChildPos / ffInline combined.
using TFilerFlags = Byte;

using TReaderProc = std::function<void(TReader* reader)>;
using TWriterProc = std::function<void(TWriter* writer)>;
using TStreamProc = std::function<void(TStream* stream)>;

class TFiler : public TObject {
  DECLARE_CLASS(TFiler, TObject)
  explicit TFiler(TStream* stream);
  ~TFiler() override;

  TComponent* Root() const { return root_; }
  virtual void SetRoot(TComponent* value) { root_ = value; }
  // The root that names in references and method names are relative to (an
  // inline frame while its own components are streamed).
  TComponent* LookupRoot() const { return lookupRoot_; }
  // The writer's object of the ancestor definition that the current object
  // is compared with; null without one.
  TPersistent* Ancestor() const { return ancestor_; }
  void SetAncestor(TPersistent* value) { ancestor_ = value; }
  bool IgnoreChildren() const { return ignoreChildren_; }
  void SetIgnoreChildren(bool value) { ignoreChildren_ = value; }

  // A property that is not published. The reader calls `readData` when the
  // stream holds the property; the writer calls `writeData` when `hasData`.
  virtual void DefineProperty(const String& name, TReaderProc readData, TWriterProc writeData, bool hasData) = 0;
  // The same for bytes, handed over in a memory stream (vaBinary).
  virtual void DefineBinaryProperty(const String& name, TStreamProc readData, TStreamProc writeData,
                                    bool hasData) = 0;
  virtual void FlushBuffer() = 0;

 protected:
  TStream* stream_;
  TComponent* root_ = nullptr;
  TComponent* lookupRoot_ = nullptr;
  TPersistent* ancestor_ = nullptr;
  bool ignoreChildren_ = false;
};

// ---------------------------------------------------------------------------
// TReader
// ---------------------------------------------------------------------------

// `handled` = true skips the property and goes on reading.
using TReaderError = TClosure<void(TReader* reader, const String& message, bool& handled)>;
// Resolves a method name the root does not publish: set `method` and clear `error`.
using TFindMethodEvent = TClosure<void(TReader* reader, const String& methodName, TMethod& method, bool& error)>;
using TSetNameEvent = TClosure<void(TReader* reader, TComponent* component, String& name)>;
using TReferenceNameEvent = TClosure<void(TReader* reader, String& name)>;
using TAncestorNotFoundEvent =
    TClosure<void(TReader* reader, const String& componentName, TClass componentClass, TComponent*& component)>;
using TCreateComponentEvent = TClosure<void(TReader* reader, TClass componentClass, TComponent*& component)>;
using TFindComponentClassEvent = TClosure<void(TReader* reader, const String& className, TClass& componentClass)>;

namespace filerdetail {
struct ReaderState;
}

class TReader : public TFiler {
  DECLARE_CLASS(TReader, TFiler)
  // Reads from the stream's current position.
  explicit TReader(TStream* stream);
  ~TReader() override;

  // Reads a whole stream (signature, root, children). With a null root the
  // root's class is looked up (FindClass) and created; otherwise the stream
  // fills `root`. Loaded runs for every read component once all is read and
  // the references are resolved.
  TComponent* ReadRootComponent(TComponent* root);
  // Reads one component block; null creates it (or finds an inherited one).
  TComponent* ReadComponent(TComponent* component);
  // Reads a list of streams, each with its signature, into `owner` (clipboard form).
  void ReadComponents(TComponent* owner, TComponent* parent, const std::function<void(TComponent*)>& proc);
  // Reads the properties and children of `instance` (TComponent::ReadState).
  void ReadData(TComponent* instance);
  void ReadProperty(TPersistent* instance);
  void ReadCollection(TCollection* collection);
  void ReadSignature();
  void ReadPrefix(TFilerFlags& flags, int& childPos);

  // Low-level values, for DefineProperty procs.
  TValueType ReadValue();
  TValueType NextValue();
  void SkipValue();
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  int ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  Char ReadChar();
  long double ReadFloat();
  float ReadSingle();
  double ReadDouble();
  double ReadCurrency();
  TDateTime ReadDate();
  String ReadString();
  String ReadIdent();
  // A short string of the header or a property name (UTF-8).
  String ReadStr();
  // The element bits of a set value (vaSet) of the given set type.
  UInt64 ReadSet(const TTypeInfo* setType);
  // A variant stored by WriteVariant: vaNil Unassigned, vaNull Null, the
  // value's own kind otherwise, a list as an array of variants. An 8-bit
  // string (vaString, vaLString) gives a byte string (varString) of its bytes
  // unchanged; a wide or UTF-8 string a Unicode string.
  Variant ReadVariant();
  // Raw bytes; EReadError when the stream holds fewer.
  void Read(void* buffer, int count);
  Int64 Position() const;

  TComponent* Owner() const;
  void SetOwner(TComponent* value);
  TComponent* Parent() const;
  void SetParent(TComponent* value);
  // The name of the property being read (DefineProperties compares with it).
  const String& PropName() const;

  void DefineProperty(const String& name, TReaderProc readData, TWriterProc writeData, bool hasData) override;
  void DefineBinaryProperty(const String& name, TStreamProc readData, TStreamProc writeData,
                            bool hasData) override;
  void FlushBuffer() override;

  TReaderError OnError;
  TFindMethodEvent OnFindMethod;
  TSetNameEvent OnSetName;
  TReferenceNameEvent OnReferenceName;
  TAncestorNotFoundEvent OnAncestorNotFound;
  TCreateComponentEvent OnCreateComponent;
  TFindComponentClassEvent OnFindComponentClass;

 protected:
  // Offers a recoverable error to OnError; true when it was handled.
  virtual bool Error(const String& message);

 private:
  template <class F>
  auto TopLevel(F&& body);
  TComponent* DoReadComponent(TComponent* component);
  void ReadDataInner(TComponent* instance);
  void ReadPropValue(TPersistent* instance, const TPropInfo* prop);
  void ReadCollectionItems(TCollection* collection);
  void SkipCollection();
  void SkipBytes(Int64 count);
  TClass FindComponentClass(const String& className, Int64 at);
  TComponent* CreateComponent(TClass cls, TFilerFlags flags);
  TComponent* FindExistingComponent(const String& name, const String& className, Int64 at);
  void SetCompName(TComponent* component, const String& name);
  String FindUniqueName(const String& name);
  TMethod FindMethodInstance(const String& name, const TPropInfo* prop);
  void DoFixupReferences();
  void FinishTopLevel();
  void AbortTopLevel();
  [[noreturn]] void Invalid(const String& what, Int64 at = -1);
  [[noreturn]] void PropValueError();
  void PropertyError(const String& name);
  void CheckDepth();
  void CheckLength(std::int32_t length, int unit);
  Int64 ReadIntegerOfType(TValueType t);
  double ReadNumberOfType(TValueType t);

  filerdetail::ReaderState* st_;
};

// ---------------------------------------------------------------------------
// TWriter
// ---------------------------------------------------------------------------

class TWriter : public TFiler {
  DECLARE_CLASS(TWriter, TFiler)
  // Writes at the stream's current position.
  explicit TWriter(TStream* stream);
  // Hands what is still buffered to the stream.
  ~TWriter() override;

  void WriteRootComponent(TComponent* root);
  // Writes `root` with only what differs from `ancestor` (an instance of the
  // definition it inherits); components found in the ancestor by name are
  // flagged inherited.
  void WriteDescendent(TComponent* root, TComponent* ancestor);
  void WriteComponent(TComponent* component);
  // The header, properties and children of `instance` (TComponent::WriteState).
  void WriteData(TComponent* instance);
  void WriteProperties(TPersistent* instance);
  void WriteProperty(TPersistent* instance, const TPropInfo* prop);
  void WriteCollection(TCollection* value);
  void WriteSignature();
  void WritePrefix(TFilerFlags flags, int childPos);

  void WriteValue(TValueType value);
  void WriteListBegin();
  void WriteListEnd();
  // The smallest of vaInt8/16/32/64 that holds the value.
  void WriteInteger(int value);
  void WriteInteger(Int64 value);
  void WriteBoolean(bool value);
  void WriteChar(Char value);
  // vaString for ASCII up to 255 characters, vaLString for longer ASCII,
  // vaWString as soon as one character is not ASCII.
  void WriteString(const String& value);
  // A short UTF-8 string (names); EWriteError over 255 bytes.
  void WriteStr(const String& value);
  // vaFalse / vaTrue / vaNull / vaNil for those names, else vaIdent.
  void WriteIdent(const String& ident);
  void WriteFloat(long double value);
  void WriteSingle(float value);
  void WriteDouble(double value);
  void WriteCurrency(double value);
  void WriteDate(TDateTime value);
  void WriteSet(UInt64 bits, const TTypeInfo* setType);
  // Unassigned as vaNil, Null as vaNull, a one-dimensional array as a list,
  // a byte string as an 8-bit string of its bytes, Unicode text as a wide
  // string, a SQL time stamp as a date, another custom kind as its text; a
  // reference as the value it refers to. EWriteError for kinds the stream has
  // no value for.
  void WriteVariant(const Variant& value);
  void Write(const void* buffer, int count);
  Int64 Position() const;

  TComponent* RootAncestor() const { return rootAncestor_; }
  void SetRootAncestor(TComponent* value) { rootAncestor_ = value; }

  void DefineProperty(const String& name, TReaderProc readData, TWriterProc writeData, bool hasData) override;
  void DefineBinaryProperty(const String& name, TStreamProc readData, TStreamProc writeData,
                            bool hasData) override;
  void FlushBuffer() override;

 private:
  void WritePropName(const String& name);
  // An 8-bit string: vaString up to 255 bytes, vaLString beyond.
  void WriteNarrowString(const std::string& bytes);
  void WriteObjectProp(TPersistent* instance, const TPropInfo* prop, const TPropInfo* ancestorProp);
  String ComponentRefName(TComponent* component, TComponent* lookupRoot) const;
  String MethodName(const TMethod& method, TComponent* lookupRoot) const;
  bool CollectionsEqual(TCollection* a, TCollection* b);

  std::vector<Byte> buf_;
  Int64 base_ = 0;
  Int64 flushed_ = 0;
  String propPath_;
  std::vector<TComponent*>* ancestorList_ = nullptr;
  int ancestorPos_ = 0;
  int childPos_ = 0;
  TComponent* rootAncestor_ = nullptr;
  int depth_ = 0;
};

// ---------------------------------------------------------------------------
// Identifiers for integer properties, stream helpers, resources
// ---------------------------------------------------------------------------

// Named integer constants of an integer property type (colours, cursors): the
// reader accepts the names, the writer writes a value by its name.
using TIdentToInt = bool (*)(const String& ident, int& value);
using TIntToIdent = bool (*)(int value, String& ident);
void RegisterIntegerConsts(const TTypeInfo* integerType, TIdentToInt identToInt, TIntToIdent intToIdent);
void UnregisterIntegerConsts(const TTypeInfo* integerType);
TIdentToInt FindIdentToInt(const TTypeInfo* integerType);
TIntToIdent FindIntToIdent(const TTypeInfo* integerType);

struct TIdentMapEntry {
  int Value;
  const Char* Name;
};
// Looks a name up in a table (case-insensitive) / a value.
bool IdentToInt(const String& ident, int& value, std::span<const TIdentMapEntry> map);
bool IntToIdent(int value, String& ident, std::span<const TIdentMapEntry> map);

// Type information of date-time properties, written as vaDate.
const TTypeInfo* DateTimeTypeInfo();

// Applies references to components of other roots ("Form2.Button1") that
// were read before that root existed, now that FindGlobalComponent may know it.
// Runs after every root that is read.
void GlobalFixupReferences();
// Forgets the pending references of an object that goes away.
void RemoveFixups(TPersistent* instance);

// The platform's stream methods for components.
TComponent* ReadComponentFromStream(TStream* stream, TComponent* instance);
void WriteComponentToStream(TStream* stream, TComponent* instance);
void WriteDescendentToStream(TStream* stream, TComponent* instance, TComponent* ancestor);
// The resource-file form (a 16-bit resource header naming an RCDATA
// resource, then the component stream).
TComponent* ReadComponentResFromStream(TStream* stream, TComponent* instance);
void WriteComponentResToStream(TStream* stream, const String& resName, TComponent* instance);
TComponent* ReadComponentResFile(const String& fileName, TComponent* instance);
void WriteComponentResFile(const String& fileName, TComponent* instance);

// The module holding a class's code, and the module holding its resources.
HINSTANCE FindClassHInstance(TClass cls);
HINSTANCE FindResourceHInstance(HINSTANCE instance);
// Reads the RCDATA resource `resName` of the program into `instance` (null
// creates the root); EResNotFound "Resource %s not found" when it is missing.
TComponent* ReadComponentRes(const String& resName, TComponent* instance);
// Fills `instance` from the definitions of its class and of each ancestor
// class below `rootAncestor`, ancestors first: each is the RCDATA resource
// named after the class in upper case, in the module that holds the class.
// Loaded runs once, after all definitions. False when no class has one.
bool InitInheritedComponent(TComponent* instance, TClass rootAncestor);
