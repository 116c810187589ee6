#include "platform/WinApi.h"
#include "platform/core/Filer.h"
#include "platform/core/Exceptions.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

static_assert(sizeof(long double) >= 10, "vaExtended needs the x87 80-bit format");

namespace {

bool SameName(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

String UpperName(const String& s) {
  String r = s;
  if (!r.empty()) CharUpperBuffW(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

String IntStr(Int64 v) { return std::to_wstring(v); }

String Decode(UINT codePage, const char* p, size_t n) {
  if (n == 0) return String();
  const int len = MultiByteToWideChar(codePage, 0, p, static_cast<int>(n), nullptr, 0);
  String r(len > 0 ? len : 0, L'\0');
  if (len > 0) MultiByteToWideChar(codePage, 0, p, static_cast<int>(n), r.data(), len);
  return r;
}

std::string Utf8(const String& s) {
  if (s.empty()) return std::string();
  const int len = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string r(len > 0 ? len : 0, '\0');
  if (len > 0) WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), len, nullptr, nullptr);
  return r;
}

bool IsIntegerType(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }
bool IsNumberType(TValueType t) {
  return IsIntegerType(t) || t == vaExtended || t == vaSingle || t == vaCurrency || t == vaDate || t == vaDouble;
}
bool IsStringType(TValueType t) { return t == vaString || t == vaLString || t == vaWString || t == vaUTF8String; }
bool IsIdentType(TValueType t) { return t == vaIdent || t == vaFalse || t == vaTrue || t == vaNil || t == vaNull; }

// Floating-point values from the stream, read without an FPU operation on
// the bit patterns it traps on when its exceptions are unmasked (signalling
// NaNs, x87 unnormals, extended values beyond the range of a double).
double QuietNaN() { return std::numeric_limits<double>::quiet_NaN(); }

double DoubleFromBits(const Byte* p) {
  UInt64 bits;
  std::memcpy(&bits, p, 8);
  if (((bits >> 52) & 0x7FF) == 0x7FF && (bits & 0xFFFFFFFFFFFFFull)) return QuietNaN();
  double v;
  std::memcpy(&v, p, 8);
  return v;
}

double SingleFromBits(const Byte* p) {
  std::uint32_t bits;
  std::memcpy(&bits, p, 4);
  if ((bits & 0x7F800000u) == 0x7F800000u && (bits & 0x7FFFFFu)) return QuietNaN();
  float v;
  std::memcpy(&v, p, 4);
  return v;
}

// Whether the x87 takes the 80-bit pattern as an ordinary operand.
bool ExtendedIsOrdinary(const Byte* p) {
  UInt64 mantissa;
  std::memcpy(&mantissa, p, 8);
  const int exponent = (p[8] | (p[9] << 8)) & 0x7FFF;
  if (exponent == 0x7FFF) return (mantissa << 1) == 0 || (mantissa >> 62) == 3;  // infinity or quiet NaN
  if (exponent == 0) return true;                                                // zero or denormal
  return (mantissa >> 63) != 0;                                                  // not an unnormal
}

long double ExtendedFromBits(const Byte* p) {
  if (!ExtendedIsOrdinary(p)) return QuietNaN();
  long double v = 0;
  std::memcpy(&v, p, 10);
  return v;
}

double ExtendedToDouble(const Byte* p) {
  if (!ExtendedIsOrdinary(p)) return QuietNaN();
  UInt64 mantissa;
  std::memcpy(&mantissa, p, 8);
  const int exponent = (p[8] | (p[9] << 8)) & 0x7FFF;
  const double sign = (p[9] & 0x80) ? -1.0 : 1.0;
  if (exponent != 0x7FFF && exponent != 0) {
    const int e = exponent - 16383;
    // Beyond DBL_MAX once rounded to 53 bits.
    if (e > 1023 || (e == 1023 && mantissa >= 0xFFFFFFFFFFFFFC00ull)) return sign * HUGE_VAL;
    if (e < -1076) return sign * 0.0;
  } else if (exponent == 0) {
    return sign * 0.0;
  }
  long double v = 0;
  std::memcpy(&v, p, 10);
  return static_cast<double>(v);
}

bool EnumValueOf(const TTypeInfo& type, const String& name, int& value) {
  for (size_t i = 0; i < type.Names.size(); ++i)
    if (SameName(type.Names[i], name)) {
      value = type.MinValue + static_cast<int>(i);
      return true;
    }
  return false;
}

// Whether two variants have the same stored form, so that a descendant
// need not store its value. A value the stream cannot hold never matches.
bool SameStoredVariant(const Variant& a, const Variant& b) {
  auto stored = [](const Variant& v, std::vector<Byte>& bytes) {
    TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
    try {
      TWriter w(stream.get());
      w.WriteVariant(v);
      w.FlushBuffer();
    } catch (Exception&) {
      return false;
    }
    const Byte* p = static_cast<const Byte*>(stream->Memory());
    bytes.assign(p, p + stream->Size());
    return true;
  };
  std::vector<Byte> x, y;
  return stored(a, x) && stored(b, y) && x == y;
}

// Frees an object made with new when the scope ends.
struct FreeOnExit {
  TObject* obj;
  ~FreeOnExit() { TObject::Free(obj); }
};

// Restores a variable when the scope ends.
template <class T>
struct Restore {
  T& ref;
  T saved;
  explicit Restore(T& r) : ref(r), saved(r) {}
  ~Restore() { ref = saved; }
};

}  // namespace

// ---------------------------------------------------------------------------
// Process- and thread-wide state of the stream
// ---------------------------------------------------------------------------

namespace filerdetail {

// A hidden component that keeps a list of components and forgets each one
// that is freed (free notification), so the reader never holds a dangling one.
class Tracker : public TComponent {
 public:
  struct Entry {
    TComponent* c;
    bool done;
  };
  Tracker() : TComponent(nullptr) {}
  std::vector<Entry> items;

  bool Contains(TComponent* c) const {
    return std::any_of(items.begin(), items.end(), [c](const Entry& e) { return e.c == c; });
  }
  void Add(TComponent* c) {
    if (!c || c == this || Contains(c)) return;
    items.push_back({c, false});
    c->FreeNotification(this);
  }
  void Forget(TComponent* c) {
    items.erase(std::remove_if(items.begin(), items.end(), [c](const Entry& e) { return e.c == c; }), items.end());
    c->RemoveFreeNotification(this);
  }
  // Ends every subscription quietly (freeing the tracker would tell each one).
  void Release() {
    for (const Entry& e : items) e.c->RemoveFreeNotification(this);
    items.clear();
  }
  void Notification(TComponent* c, TOperation operation) override {
    if (operation == opRemove)
      items.erase(std::remove_if(items.begin(), items.end(), [c](const Entry& e) { return e.c == c; }), items.end());
    TComponent::Notification(c, operation);
  }
  // Loaded for each entry once, in list order; entries freed meanwhile drop out.
  void CallLoaded() {
    for (;;) {
      auto it = std::find_if(items.begin(), items.end(), [](const Entry& e) { return !e.done; });
      if (it == items.end()) break;
      it->done = true;
      it->c->Loaded();
    }
  }
  // Frees every entry, last first. Exceptions of destruction hooks are
  // dropped: this runs while another exception is on its way.
  void FreeAll() {
    while (!items.empty()) {
      TComponent* c = items.back().c;
      Forget(c);
      try {
        TObject::Free(c);
      } catch (...) {
      }
    }
  }
  static void Dispose(Tracker*& t) {
    if (!t) return;
    t->Release();
    FreeAndNil(t);
  }
};

// A reference to a component by name, applied once the whole stream is read.
// `guards` are the objects the instance lives in (components, collection
// items): when one of them goes first, the fixup is dropped.
struct Fixup {
  TPersistent* instance;
  const TPropInfo* prop;
  TComponent* lookupRoot;
  String name;
  std::vector<TObject*> guards;
  String where;
};

struct GlobalFixup {
  TPersistent* instance;
  const TPropInfo* prop;
  std::vector<TObject*> guards;
  String rootName;
  String name;
  unsigned session;
};

struct ReaderState {
  Int64 pos = 0;
  Int64 size = 0;
  TComponent* owner = nullptr;
  TComponent* parent = nullptr;
  String propName;
  bool canHandleExcepts = true;
  // Set once the position in the stream is no longer known to be at a value
  // boundary: from then on no error may be skipped.
  bool corrupt = false;
  int depth = 0;
  int entry = 0;
  bool fixupsActive = false;
  bool registered = false;
  std::vector<Fixup> fixups;
  std::vector<TObject*> guards;
  Tracker* created = nullptr;
  Tracker* loaded = nullptr;
  bool ownsLoaded = false;
  unsigned session = 0;
};

// An InitInheritedComponent in progress: Loaded waits for all its definitions.
struct LoadingContext {
  Tracker* loaded = nullptr;
  Tracker* created = nullptr;
};

thread_local std::vector<ReaderState*> t_fixupReaders;
thread_local std::vector<LoadingContext*> t_loading;
thread_local bool t_creatingForReader = false;

std::recursive_mutex g_mutex;
std::vector<GlobalFixup>* g_globalFixups = nullptr;
std::atomic<int> g_globalFixupCount{0};
int g_globalFixupPass = 0;
std::atomic<unsigned> g_sessionCounter{0};

struct IntConsts {
  const TTypeInfo* type;
  TIdentToInt toInt;
  TIntToIdent toIdent;
};
std::vector<IntConsts>* g_intConsts = nullptr;

struct StateAccess {
  static void EndLoading(TComponent* c) {
    c->state_ -= csLoading;
    c->state_ -= csReading;
  }
};

bool ConsumeCreatingForReader() {
  const bool v = t_creatingForReader;
  t_creatingForReader = false;
  return v;
}

bool Guarded(const std::vector<TObject*>& guards, TObject* obj) {
  return std::find(guards.begin(), guards.end(), obj) != guards.end();
}

void ObjectGone(TObject* obj) {
  for (ReaderState* r : t_fixupReaders)
    for (Fixup& f : r->fixups)
      if (f.instance == obj || Guarded(f.guards, obj)) f.instance = nullptr;
  if (g_globalFixupCount.load() == 0) return;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!g_globalFixups) return;
  for (GlobalFixup& f : *g_globalFixups)
    if (f.instance && (f.instance == obj || Guarded(f.guards, obj))) {
      f.instance = nullptr;
      --g_globalFixupCount;
    }
}

void PurgeGlobalFixups() {
  if (!g_globalFixups || g_globalFixupPass > 0) return;
  auto& list = *g_globalFixups;
  list.erase(std::remove_if(list.begin(), list.end(), [](const GlobalFixup& f) { return !f.instance; }), list.end());
}

void DropGlobalFixups(const std::function<bool(const GlobalFixup&)>& match) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!g_globalFixups) return;
  for (GlobalFixup& f : *g_globalFixups)
    if (f.instance && match(f)) {
      f.instance = nullptr;
      --g_globalFixupCount;
    }
  PurgeGlobalFixups();
}

void Finalize() {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  delete g_globalFixups;
  g_globalFixups = nullptr;
  g_globalFixupCount = 0;
  delete g_intConsts;
  g_intConsts = nullptr;
}

void RegisterFixupReader(ReaderState* s) {
  if (s->registered) return;
  t_fixupReaders.push_back(s);
  s->registered = true;
}

void UnregisterFixupReader(ReaderState* s) {
  if (!s->registered) return;
  t_fixupReaders.erase(std::remove(t_fixupReaders.begin(), t_fixupReaders.end(), s), t_fixupReaders.end());
  s->registered = false;
}

}  // namespace filerdetail

using filerdetail::Tracker;

// ---------------------------------------------------------------------------
// TFiler
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TFiler, TObject, nullptr)

TFiler::TFiler(TStream* stream) : stream_(stream) {}
TFiler::~TFiler() = default;

// ---------------------------------------------------------------------------
// TReader
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TReader, TFiler, nullptr)

namespace {
// A binary value inside a stream held in memory, read in place; read-only.
class TBinaryValueView : public TCustomMemoryStream {
 public:
  TBinaryValueView(void* data, Int64 size) { SetPointer(data, size); }
  int Write(const void*, int) override { throw EStreamError(L"A binary value is read-only"); }
};

struct DepthGuard {
  int& depth;
  explicit DepthGuard(int& d) : depth(d) { ++depth; }
  ~DepthGuard() { --depth; }
};
}  // namespace

TReader::TReader(TStream* stream) : TFiler(stream), st_(new filerdetail::ReaderState) {
  st_->pos = stream->Position();
  st_->size = stream->Size();
}

TReader::~TReader() {
  filerdetail::UnregisterFixupReader(st_);
  Tracker::Dispose(st_->created);
  if (st_->ownsLoaded) Tracker::Dispose(st_->loaded);
  delete st_;
}

void TReader::Invalid(const String& what, Int64 at) {
  st_->corrupt = true;
  throw EReadError(what + L" at byte " + IntStr(at < 0 ? st_->pos : at));
}

void TReader::PropValueError() { throw EReadError(L"Invalid property value"); }

void TReader::PropertyError(const String& name) {
  SkipValue();
  throw EReadError(L"Property " + name + L" does not exist");
}

// A length just read (4 bytes before the position) of `unit`-byte elements.
void TReader::CheckLength(std::int32_t length, int unit) {
  if (length < 0) Invalid(L"Invalid length " + IntStr(length), st_->pos - 4);
  if (static_cast<Int64>(length) * unit > st_->size - st_->pos)
    Invalid(L"Unexpected end of stream (length " + IntStr(length) + L")", st_->pos - 4);
}

void TReader::CheckDepth() {
  if (st_->depth > MaxStreamNesting) Invalid(L"Stream nesting deeper than " + IntStr(MaxStreamNesting));
}

bool TReader::Error(const String& message) {
  bool handled = false;
  if (OnError.Assigned()) OnError(this, message, handled);
  return handled;
}

Int64 TReader::Position() const { return st_->pos; }
TComponent* TReader::Owner() const { return st_->owner; }
void TReader::SetOwner(TComponent* value) { st_->owner = value; }
TComponent* TReader::Parent() const { return st_->parent; }
void TReader::SetParent(TComponent* value) { st_->parent = value; }
const String& TReader::PropName() const { return st_->propName; }
void TReader::FlushBuffer() {}

// --- raw values ---------------------------------------------------------------

void TReader::Read(void* buffer, int count) {
  if (count < 0 || count > st_->size - st_->pos) Invalid(L"Unexpected end of stream");
  if (count > 0) stream_->ReadBuffer(buffer, count);
  st_->pos += count;
}

void TReader::SkipBytes(Int64 count) {
  if (count < 0 || count > st_->size - st_->pos) Invalid(L"Unexpected end of stream");
  stream_->Seek(count, soCurrent);
  st_->pos += count;
}

TValueType TReader::ReadValue() {
  Byte b;
  Read(&b, 1);
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  if (st_->size - st_->pos < 1) Invalid(L"Unexpected end of stream");
  Byte b;
  stream_->ReadBuffer(&b, 1);
  stream_->Seek(st_->pos, soBeginning);
  return static_cast<TValueType>(b);
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::ReadListBegin() {
  const Int64 at = st_->pos;
  if (ReadValue() != vaList) Invalid(L"List expected", at);
}

void TReader::ReadListEnd() {
  const Int64 at = st_->pos;
  if (ReadValue() != vaNull) Invalid(L"End of list expected", at);
}

void TReader::ReadSignature() {
  const Int64 at = st_->pos;
  Byte sig[4];
  if (st_->size - st_->pos < 4) Invalid(L"Invalid stream format", at);
  Read(sig, 4);
  if (std::memcmp(sig, FilerSignature, 4) != 0) Invalid(L"Invalid stream format", at);
}

void TReader::ReadPrefix(TFilerFlags& flags, int& childPos) {
  flags = 0;
  const Int64 at = st_->pos;
  const Byte b = static_cast<Byte>(NextValue());
  if ((b & 0xF0) != 0xF0) return;
  ReadValue();
  flags = b & 0x0F;
  if (flags & ~(ffInherited | ffChildPos | ffInline)) Invalid(L"Invalid component flags", at);
  if (flags & ffChildPos) childPos = ReadInteger();
}

Int64 TReader::ReadIntegerOfType(TValueType t) {
  switch (t) {
    case vaInt8: {
      std::int8_t v;
      Read(&v, 1);
      return v;
    }
    case vaInt16: {
      std::int16_t v;
      Read(&v, 2);
      return v;
    }
    case vaInt32: {
      std::int32_t v;
      Read(&v, 4);
      return v;
    }
    case vaInt64: {
      Int64 v;
      Read(&v, 8);
      return v;
    }
    default:
      Invalid(L"Integer expected", st_->pos - 1);
  }
}

double TReader::ReadNumberOfType(TValueType t) {
  switch (t) {
    case vaExtended: {
      Byte b[10];
      Read(b, 10);
      return ExtendedToDouble(b);
    }
    case vaDouble:
    case vaDate: {
      Byte b[8];
      Read(b, 8);
      return DoubleFromBits(b);
    }
    case vaSingle: {
      Byte b[4];
      Read(b, 4);
      return SingleFromBits(b);
    }
    case vaCurrency: {
      Int64 v;
      Read(&v, 8);
      return static_cast<double>(v) / 10000.0;
    }
    default:
      if (IsIntegerType(t)) return static_cast<double>(ReadIntegerOfType(t));
      Invalid(L"Number expected", st_->pos - 1);
  }
}

Int64 TReader::ReadInt64() { return ReadIntegerOfType(ReadValue()); }

int TReader::ReadInteger() {
  const Int64 at = st_->pos;
  const Int64 v = ReadInt64();
  if (v < INT_MIN || v > INT_MAX) Invalid(L"Integer out of range", at);
  return static_cast<int>(v);
}

bool TReader::ReadBoolean() {
  const Int64 at = st_->pos;
  const TValueType t = ReadValue();
  if (t != vaTrue && t != vaFalse) Invalid(L"Boolean expected", at);
  return t == vaTrue;
}

long double TReader::ReadFloat() {
  const TValueType t = ReadValue();
  if (t == vaExtended) {
    Byte b[10];
    Read(b, 10);
    return ExtendedFromBits(b);
  }
  return ReadNumberOfType(t);
}

float TReader::ReadSingle() { return static_cast<float>(ReadNumberOfType(ReadValue())); }
double TReader::ReadDouble() { return ReadNumberOfType(ReadValue()); }
TDateTime TReader::ReadDate() { return ReadNumberOfType(ReadValue()); }
double TReader::ReadCurrency() { return ReadNumberOfType(ReadValue()); }

String TReader::ReadStr() {
  Byte n;
  Read(&n, 1);
  char buf[256];
  Read(buf, n);
  return Decode(CP_UTF8, buf, n);
}

String TReader::ReadString() {
  const Int64 at = st_->pos;
  const TValueType t = ReadValue();
  auto readLength = [&](int unit) {
    std::int32_t n;
    Read(&n, 4);
    CheckLength(n, unit);
    return n;
  };
  switch (t) {
    case vaString: {
      Byte n;
      Read(&n, 1);
      char buf[256];
      Read(buf, n);
      return Decode(CP_ACP, buf, n);
    }
    case vaLString:
    case vaUTF8String: {
      const std::int32_t n = readLength(1);
      std::string bytes(n, '\0');
      Read(bytes.data(), n);
      return Decode(t == vaLString ? CP_ACP : CP_UTF8, bytes.data(), bytes.size());
    }
    case vaWString: {
      const std::int32_t n = readLength(2);
      // Its bytes must fit the int count of Read. Only a 64-bit process could
      // allocate such a text; the doubled count would overflow there.
      if (n > INT_MAX / 2) Invalid(L"Invalid length " + IntStr(n), st_->pos - 4);
      String s(n, L'\0');
      Read(s.data(), n * 2);
      return s;
    }
    default:
      Invalid(L"String expected", at);
  }
}

Char TReader::ReadChar() {
  const Int64 at = st_->pos;
  const String s = ReadString();
  if (s.size() != 1) Invalid(L"Character expected", at);
  return s[0];
}

String TReader::ReadIdent() {
  const Int64 at = st_->pos;
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return L"False";
    case vaTrue:
      return L"True";
    case vaNil:
      return L"nil";
    case vaNull:
      return L"Null";
    default:
      Invalid(L"Identifier expected", at);
  }
}

UInt64 TReader::ReadSet(const TTypeInfo* setType) {
  const Int64 at = st_->pos;
  if (ReadValue() != vaSet) Invalid(L"Set expected", at);
  const TTypeInfo* element = setType ? setType->CompType : nullptr;
  UInt64 bits = 0;
  bool bad = false;
  for (;;) {
    const String name = ReadStr();
    if (name.empty()) break;
    int v = -1;
    if (!element || !EnumValueOf(*element, name, v) || v < 0 || v >= 64)
      bad = true;
    else
      bits |= UInt64(1) << v;
  }
  // The whole value is consumed: the error can be skipped.
  if (bad) PropValueError();
  return bits;
}

Variant TReader::ReadVariant() {
  DepthGuard depth(st_->depth);
  CheckDepth();
  const Int64 at = st_->pos;
  const TValueType t = NextValue();
  switch (t) {
    case vaNil:
      ReadValue();
      return Unassigned();
    case vaNull:
      ReadValue();
      return Null();
    case vaInt8:
      return Variant(static_cast<signed char>(ReadInt64()));
    case vaInt16:
      return Variant(static_cast<short>(ReadInt64()));
    case vaInt32:
      return Variant(static_cast<int>(ReadInt64()));
    case vaInt64:
      return Variant(ReadInt64());
    case vaExtended:
    case vaDouble:
      return Variant(ReadDouble());
    case vaSingle:
      return Variant(ReadSingle());
    case vaCurrency: {
      ReadValue();
      Int64 raw;
      Read(&raw, 8);
      return Variant(Currency::FromRaw(raw));
    }
    case vaDate:
      return VarFromDateTime(ReadDate());
    case vaString:
    case vaLString: {
      // An 8-bit string comes back as its bytes (a byte string), whatever the
      // code page: a picture or a BLOB must survive, and as text the bytes
      // still read in the ANSI code page as they were written.
      ReadValue();
      std::int32_t n = 0;
      if (t == vaString) {
        Byte len;
        Read(&len, 1);
        n = len;
      } else {
        Read(&n, 4);
        CheckLength(n, 1);
      }
      RawByteString bytes(static_cast<size_t>(n), '\0');
      if (n > 0) Read(bytes.data(), n);
      return Variant(std::move(bytes));
    }
    case vaWString:
    case vaUTF8String:
      return Variant(ReadString());
    case vaFalse:
    case vaTrue:
      return Variant(ReadBoolean());
    case vaList: {
      ReadValue();
      std::vector<Variant> items;
      while (!EndOfList()) items.push_back(ReadVariant());
      ReadListEnd();
      Variant array = VarArrayCreate({0, static_cast<int>(items.size()) - 1}, varVariant);
      for (size_t i = 0; i < items.size(); ++i) VarArrayPut(array, items[i], static_cast<int>(i));
      return array;
    }
    default:
      Invalid(L"Invalid variant value type " + IntStr(t), at);
  }
}

void TReader::SkipValue() {
  DepthGuard depth(st_->depth);
  CheckDepth();
  const Int64 at = st_->pos;
  auto readLength = [&](int unit) -> Int64 {
    std::int32_t n;
    Read(&n, 4);
    CheckLength(n, unit);
    return static_cast<Int64>(n) * unit;
  };
  const TValueType t = ReadValue();
  switch (t) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    case vaInt8:
      SkipBytes(1);
      break;
    case vaInt16:
      SkipBytes(2);
      break;
    case vaInt32:
    case vaSingle:
      SkipBytes(4);
      break;
    case vaInt64:
    case vaCurrency:
    case vaDate:
    case vaDouble:
      SkipBytes(8);
      break;
    case vaExtended:
      SkipBytes(10);
      break;
    case vaString:
    case vaIdent: {
      Byte n;
      Read(&n, 1);
      SkipBytes(n);
      break;
    }
    case vaLString:
    case vaUTF8String:
    case vaBinary:
      SkipBytes(readLength(1));
      break;
    case vaWString:
      SkipBytes(readLength(2));
      break;
    case vaSet:
      for (;;) {
        Byte n;
        Read(&n, 1);
        if (n == 0) break;
        SkipBytes(n);
      }
      break;
    case vaCollection:
      SkipCollection();
      break;
    default:
      Invalid(L"Invalid value type " + IntStr(t), at);
  }
}

void TReader::SkipCollection() {
  while (!EndOfList()) {
    if (IsIntegerType(NextValue())) SkipValue();
    ReadListBegin();
    while (!EndOfList()) {
      ReadStr();
      SkipValue();
    }
    ReadListEnd();
  }
  ReadListEnd();
}

// --- defined properties ------------------------------------------------------

void TReader::DefineProperty(const String& name, TReaderProc readData, TWriterProc, bool) {
  if (!readData || st_->propName.empty() || !SameName(name, st_->propName)) return;
  readData(this);
  st_->propName.clear();
}

void TReader::DefineBinaryProperty(const String& name, TStreamProc readData, TStreamProc, bool) {
  if (!readData || st_->propName.empty() || !SameName(name, st_->propName)) return;
  const Int64 at = st_->pos;
  if (ReadValue() != vaBinary) Invalid(L"Binary value expected", at);
  std::int32_t n;
  Read(&n, 4);
  CheckLength(n, 1);
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(stream_)) {
    // The bytes are read where the stream holds them (a picture or an image
    // list of some hundred KB is not copied first).
    auto* view = Make<TBinaryValueView>(static_cast<Byte*>(memory->Memory()) + st_->pos, n);
    FreeOnExit free{view};
    SkipBytes(n);
    readData(view);
  } else {
    auto* data = Make<TMemoryStream>();
    FreeOnExit free{data};
    data->SetSize(n);
    Read(data->Memory(), n);
    data->SetPosition(0);
    readData(data);
  }
  st_->propName.clear();
}

// --- properties -------------------------------------------------------------

void TReader::ReadProperty(TPersistent* instance) {
  const String path = ReadStr();
  bool recoverable = true;
  try {
    TPersistent* target = instance;
    size_t start = 0;
    for (;;) {
      const size_t dot = path.find(L'.', start);
      if (dot == String::npos) {
        st_->propName = path.substr(start);
        break;
      }
      const String part = path.substr(start, dot - start);
      const TPropInfo* prop = target->ClassType()->FindProperty(part);
      TPersistent* next = nullptr;
      if (prop && prop->Kind() == tkClass && prop->GetObj) next = dynamic_cast<TPersistent*>(prop->GetObj(target));
      if (!next) PropertyError(part);
      target = next;
      start = dot + 1;
    }
    if (const TPropInfo* prop = target->ClassType()->FindProperty(st_->propName)) {
      ReadPropValue(target, prop);
    } else {
      // A defined property reads the value itself: once it started, where
      // the value ends is unknown, so its errors cannot be skipped.
      recoverable = false;
      {
        Restore<bool> keep(st_->canHandleExcepts);
        st_->canHandleExcepts = false;
        target->DefineProperties(this);
      }
      recoverable = true;
      if (!st_->propName.empty()) PropertyError(st_->propName);
    }
  } catch (Exception& e) {
    String who;
    if (auto* c = dynamic_cast<TComponent*>(instance)) who = c->Name();
    if (who.empty()) who = instance->ClassName();
    const String message = L"Error reading " + who + L"." + path + L": " + e.Message;
    if (recoverable && !st_->corrupt && st_->canHandleExcepts && Error(message)) return;
    // The caller's value is not fully read either.
    st_->corrupt = true;
    throw EReadError(message);
  }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* prop) {
  const TValueType t = NextValue();
  auto mismatch = [&]() {
    SkipValue();
    PropValueError();
  };
  if (prop->IsReadOnly() && !(prop->Kind() == tkClass && t == vaCollection)) {
    SkipValue();
    throw EReadError(L"Property is read-only");
  }
  switch (prop->Kind()) {
    case tkChar:
    case tkWChar: {
      // A one-character string; streams of old hold the character code.
      Int64 code = 0;
      if (IsStringType(t)) {
        const String s = ReadString();
        if (s.size() != 1) PropValueError();
        code = s[0];
      } else if (IsIntegerType(t)) {
        code = ReadInt64();
      } else {
        mismatch();
      }
      if (code < 0 || code > (prop->Kind() == tkChar ? 0xFF : 0xFFFF)) PropValueError();
      prop->SetOrd(instance, code);
      break;
    }
    case tkVariant: {
      // What a variant cannot hold (an identifier, a set, bytes, a
      // collection), also inside a list, makes ReadVariant fail part-way.
      // The value's extent is measured first so that the error can be
      // skipped like any other mismatch.
      const Int64 start = st_->pos;
      SkipValue();
      const Int64 end = st_->pos;
      auto seek = [&](Int64 to) {
        stream_->Seek(to, soBeginning);
        st_->pos = to;
      };
      seek(start);
      Variant v;
      const bool corrupt = st_->corrupt;
      try {
        v = ReadVariant();
      } catch (EReadError&) {
        seek(end);
        st_->corrupt = corrupt;
        PropValueError();
      } catch (...) {
        seek(end);
        throw;
      }
      prop->SetVariant(instance, v);
      break;
    }
    case tkInteger:
      if (t == vaIdent) {
        const String ident = ReadIdent();
        const TIdentToInt toInt = FindIdentToInt(prop->PropType);
        int v = 0;
        if (!toInt || !toInt(ident, v)) PropValueError();
        prop->SetOrd(instance, v);
      } else if (IsIntegerType(t)) {
        const Int64 v = ReadInt64();
        // Signed or unsigned 32-bit values.
        if (v < INT_MIN || v > static_cast<Int64>(UINT_MAX)) PropValueError();
        prop->SetOrd(instance, v);
      } else {
        mismatch();
      }
      break;
    case tkInt64:
      if (!IsIntegerType(t)) mismatch();
      prop->SetOrd(instance, ReadInt64());
      break;
    case tkEnumeration: {
      if (!IsIdentType(t)) mismatch();
      const String ident = ReadIdent();
      int v = 0;
      if (!EnumValueOf(*prop->PropType, ident, v)) PropValueError();
      prop->SetOrd(instance, v);
      break;
    }
    case tkSet:
      if (t != vaSet) mismatch();
      prop->SetOrd(instance, static_cast<Int64>(ReadSet(prop->PropType)));
      break;
    case tkFloat:
      if (!IsNumberType(t)) mismatch();
      prop->SetFloat(instance, prop->PropType->FloatType == ftCurr ? ReadCurrency() : ReadDouble());
      break;
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
      if (!IsStringType(t)) mismatch();
      prop->SetStr(instance, ReadString());
      break;
    case tkClass:
      if (t == vaNil) {
        ReadValue();
        prop->SetObj(instance, nullptr);
      } else if (t == vaCollection) {
        auto* collection = prop->GetObj ? dynamic_cast<TCollection*>(prop->GetObj(instance)) : nullptr;
        if (!collection) mismatch();
        ReadValue();
        ReadCollection(collection);
      } else if (t == vaIdent) {
        const TClass cls = prop->PropType->ClassType;
        if (!cls || !cls->InheritsFrom(TComponent::StaticClass())) mismatch();
        filerdetail::Fixup f{instance, prop, lookupRoot_, ReadIdent(), st_->guards, String()};
        String who;
        if (auto* c = dynamic_cast<TComponent*>(instance)) who = c->Name();
        if (who.empty()) who = instance->ClassName();
        f.where = who + L"." + prop->Name;
        st_->fixups.push_back(std::move(f));
        filerdetail::RegisterFixupReader(st_);
        if (!st_->fixupsActive) DoFixupReferences();
      } else {
        mismatch();
      }
      break;
    case tkMethod:
      if (t == vaNil) {
        ReadValue();
        prop->SetMethod(instance, TMethod{});
      } else if (t == vaIdent) {
        const TMethod m = FindMethodInstance(ReadIdent(), prop);
        prop->SetMethod(instance, m);
      } else {
        mismatch();
      }
      break;
    default:
      mismatch();
  }
}

TMethod TReader::FindMethodInstance(const String& name, const TPropInfo* prop) {
  const void* wanted = prop->PropType->Signature;
  TMethod m;
  bool error = true;
  String reason = L"Method '" + name + L"' not found";
  if (root_)
    if (const TPublishedMethod* pm = root_->ClassType()->FindMethod(name)) {
      if (!pm->Signature || !wanted || pm->Signature == wanted) {
        m.Code = pm->Code;
        m.Data = root_;
        m.Signature = pm->Signature;
        error = false;
      } else {
        reason = L"Method '" + name + L"' has an incompatible parameter list";
      }
    }
  if (OnFindMethod.Assigned()) OnFindMethod(this, name, m, error);
  if (!error && m.Code && m.Signature && wanted && m.Signature != wanted) {
    error = true;
    reason = L"Method '" + name + L"' has an incompatible parameter list";
  }
  if (error) throw EMethodNotFound(reason);
  return m;
}

void TReader::ReadCollection(TCollection* collection) {
  DepthGuard depth(st_->depth);
  CheckDepth();
  collection->BeginUpdate();
  try {
    ReadCollectionItems(collection);
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

void TReader::ReadCollectionItems(TCollection* collection) {
  if (!EndOfList()) collection->Clear();
  while (!EndOfList()) {
    // An item may be preceded by its order index, which reading ignores.
    if (IsIntegerType(NextValue())) ReadInt64();
    TCollectionItem* item = collection->Add();
    st_->guards.push_back(item);
    struct Pop {
      std::vector<TObject*>& g;
      ~Pop() { g.pop_back(); }
    } pop{st_->guards};
    ReadListBegin();
    while (!EndOfList()) ReadProperty(item);
    ReadListEnd();
  }
  ReadListEnd();
}

// --- components -------------------------------------------------------------

TClass TReader::FindComponentClass(const String& className, Int64 at) {
  TClass cls = nullptr;
  if (OnFindComponentClass.Assigned()) OnFindComponentClass(this, className, cls);
  if (!cls) cls = GetClass(className);
  // The classes of the root's published component fields are known without
  // registration, as the platform's field class table makes them.
  for (TComponent* r : {lookupRoot_, root_}) {
    if (cls || !r) continue;
    for (const TPropInfo* p : r->ClassType()->Properties())
      if (p->Kind() == tkClass && p->PropType->ClassType && SameName(p->PropType->ClassType->Name, className)) {
        cls = p->PropType->ClassType;
        break;
      }
  }
  if (!cls || !cls->InheritsFrom(TComponent::StaticClass())) {
    st_->corrupt = true;
    throw EClassNotFound(L"Class " + className + L" not found at byte " + IntStr(at));
  }
  return cls;
}

TComponent* TReader::CreateComponent(TClass cls, TFilerFlags flags) {
  TComponent* result = nullptr;
  if (OnCreateComponent.Assigned()) OnCreateComponent(this, cls, result);
  if (!result) {
    filerdetail::t_creatingForReader = true;
    try {
      result = static_cast<TComponent*>(cls->NewInstance(st_->owner));
    } catch (...) {
      filerdetail::t_creatingForReader = false;
      throw;
    }
    filerdetail::t_creatingForReader = false;
  }
  st_->created->Add(result);
  if (flags & ffInline) result->state_ += csInline;
  return result;
}

TComponent* TReader::FindExistingComponent(const String& name, const String& className, Int64 at) {
  TComponent* result = st_->owner ? st_->owner->FindComponent(name) : nullptr;
  if (!result && lookupRoot_) result = lookupRoot_->FindComponent(name);
  if (!result && OnAncestorNotFound.Assigned()) OnAncestorNotFound(this, name, GetClass(className), result);
  if (!result) Invalid(L"Ancestor for '" + name + L"' not found", at);
  st_->parent = result->GetParentComponent();
  if (!st_->parent) st_->parent = root_;
  return result;
}

void TReader::SetCompName(TComponent* component, const String& name) {
  const Int64 at = st_->pos;
  String n = name;
  if (OnSetName.Assigned()) OnSetName(this, component, n);
  try {
    component->SetName(n);
  } catch (EComponentError& e) {
    throw EComponentError(e.Message + L" (component stream at byte " + IntStr(at) + L")");
  }
}

String TReader::FindUniqueName(const String& name) {
  if (name.empty()) return name;
  String result = name;
  // Another root of the same name (a second instance of a form) gets a suffix.
  for (int i = 1; i < 100000; ++i) {
    TComponent* other = FindGlobalComponent(result);
    if (!other || other == root_) break;
    result = name + L"_" + IntStr(i);
  }
  return result;
}

template <class F>
auto TReader::TopLevel(F&& body) {
  filerdetail::ReaderState& s = *st_;
  if (s.entry > 0) return body();
  s.entry = 1;
  s.corrupt = false;
  s.depth = 0;
  s.session = ++filerdetail::g_sessionCounter;
  s.created = Make<Tracker>();
  filerdetail::LoadingContext* context = filerdetail::t_loading.empty() ? nullptr : filerdetail::t_loading.back();
  if (context) {
    s.loaded = context->loaded;
    s.ownsLoaded = false;
  } else {
    s.loaded = Make<Tracker>();
    s.ownsLoaded = true;
  }
  try {
    auto result = body();
    FinishTopLevel();
    return result;
  } catch (...) {
    AbortTopLevel();
    throw;
  }
}

void TReader::FinishTopLevel() {
  filerdetail::ReaderState& s = *st_;
  // Loaded comes once everything is read and every reference resolved; when
  // an InitInheritedComponent is in progress, once all its definitions are.
  if (s.ownsLoaded) s.loaded->CallLoaded();
  GlobalFixupReferences();
  if (!filerdetail::t_loading.empty())
    for (const Tracker::Entry& e : s.created->items) filerdetail::t_loading.back()->created->Add(e.c);
  Tracker::Dispose(s.created);
  if (s.ownsLoaded) Tracker::Dispose(s.loaded);
  s.loaded = nullptr;
  s.ownsLoaded = false;
  s.entry = 0;
}

void TReader::AbortTopLevel() {
  filerdetail::ReaderState& s = *st_;
  s.fixups.clear();
  s.fixupsActive = false;
  filerdetail::UnregisterFixupReader(st_);
  s.guards.clear();
  const unsigned session = s.session;
  filerdetail::DropGlobalFixups([session](const filerdetail::GlobalFixup& f) { return f.session == session; });
  // What existed before stays, no longer loading; what this read made goes.
  if (s.loaded)
    for (const Tracker::Entry& e : s.loaded->items)
      if (!s.created->Contains(e.c)) {
        e.c->state_ -= csReading;
        if (s.ownsLoaded) e.c->state_ -= csLoading;
      }
  if (root_ && s.created->Contains(root_)) root_ = nullptr;
  if (lookupRoot_ && s.created->Contains(lookupRoot_)) lookupRoot_ = nullptr;
  s.owner = nullptr;
  s.parent = nullptr;
  s.created->FreeAll();
  Tracker::Dispose(s.created);
  if (s.ownsLoaded) Tracker::Dispose(s.loaded);
  s.loaded = nullptr;
  s.ownsLoaded = false;
  s.depth = 0;
  s.entry = 0;
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  return TopLevel([&]() -> TComponent* {
    ReadSignature();
    TFilerFlags flags = 0;
    int childPos = 0;
    ReadPrefix(flags, childPos);
    TComponent* result;
    if (!root) {
      const Int64 at = st_->pos;
      const TClass cls = FindComponentClass(ReadStr(), at);
      st_->owner = nullptr;
      result = CreateComponent(cls, 0);
      result->state_ += csLoading;
      result->state_ += csReading;
      SetCompName(result, ReadStr());
    } else {
      result = root;
      ReadStr();  // the class name of the definition: the root's own class reads it
      result->state_ += csLoading;
      result->state_ += csReading;
      const String name = ReadStr();
      if (!result->state_.Contains(csDesigning)) SetCompName(result, FindUniqueName(name));
    }
    root_ = result;
    lookupRoot_ = result;
    st_->loaded->Add(result);
    st_->owner = result;
    result->ReadState(this);
    result->state_ -= csReading;
    return result;
  });
}

TComponent* TReader::ReadComponent(TComponent* component) {
  return TopLevel([&] { return DoReadComponent(component); });
}

void TReader::ReadComponents(TComponent* owner, TComponent* parent, const std::function<void(TComponent*)>& proc) {
  TopLevel([&] {
    root_ = owner;
    lookupRoot_ = owner;
    st_->owner = owner;
    st_->parent = parent;
    st_->fixupsActive = true;
    while (!EndOfList()) {
      ReadSignature();
      TComponent* c = DoReadComponent(nullptr);
      if (proc) proc(c);
    }
    ReadListEnd();
    st_->fixupsActive = false;
    DoFixupReferences();
    return 0;
  });
}

TComponent* TReader::DoReadComponent(TComponent* component) {
  DepthGuard depth(st_->depth);
  CheckDepth();
  TFilerFlags flags = 0;
  int childPos = 0;
  ReadPrefix(flags, childPos);
  const Int64 classAt = st_->pos;
  const String className = ReadStr();
  const String compName = ReadStr();
  Restore<TComponent*> keepParent(st_->parent);
  Restore<TComponent*> keepOwner(st_->owner);
  Restore<TComponent*> keepLookup(lookupRoot_);
  TComponent* result = component;
  bool created = false;
  if (!result) {
    if (flags & ffInherited) {
      result = FindExistingComponent(compName, className, classAt);
    } else {
      result = CreateComponent(FindComponentClass(className, classAt), flags);
      created = true;
    }
  }
  result->state_ += csLoading;
  if (!(flags & ffInherited)) SetCompName(result, compName);
  // A component stored inside another's block belongs to the reader's owner
  // and is placed in the enclosing component.
  if (created && st_->parent) result->SetParentComponent(st_->parent);
  if (result->state_.Contains(csInline)) lookupRoot_ = result;
  result->state_ += csReading;
  result->ReadState(this);
  result->state_ -= csReading;
  if ((flags & ffChildPos) && st_->parent) st_->parent->SetChildOrder(result, childPos);
  if (st_->loaded) st_->loaded->Add(result);
  return result;
}

void TReader::ReadData(TComponent* instance) {
  if (st_->fixupsActive) {
    ReadDataInner(instance);
    return;
  }
  st_->fixupsActive = true;
  try {
    ReadDataInner(instance);
  } catch (...) {
    st_->fixupsActive = false;
    st_->fixups.clear();
    filerdetail::UnregisterFixupReader(st_);
    throw;
  }
  st_->fixupsActive = false;
  DoFixupReferences();
}

void TReader::ReadDataInner(TComponent* instance) {
  st_->guards.push_back(instance);
  struct Pop {
    std::vector<TObject*>& g;
    ~Pop() { g.pop_back(); }
  } pop{st_->guards};
  while (!EndOfList()) ReadProperty(instance);
  ReadListEnd();
  Restore<TComponent*> keepParent(st_->parent);
  Restore<TComponent*> keepOwner(st_->owner);
  st_->parent = instance->GetChildParent();
  st_->owner = instance->GetChildOwner();
  if (!st_->owner) st_->owner = root_;
  while (!EndOfList()) DoReadComponent(nullptr);
  ReadListEnd();
}

void TReader::DoFixupReferences() {
  auto& fixups = st_->fixups;
  try {
    // Entries are only marked dead while this runs (a setter may free
    // objects), never removed, so the index stays valid.
    for (size_t i = 0; i < fixups.size(); ++i) {
      if (!fixups[i].instance) continue;
      TPersistent* instance = fixups[i].instance;
      const TPropInfo* prop = fixups[i].prop;
      String name = fixups[i].name;
      if (OnReferenceName.Assigned()) OnReferenceName(this, name);
      // The last reference read for a property is the one that counts.
      filerdetail::DropGlobalFixups([&](const filerdetail::GlobalFixup& g) {
        return g.instance == instance && g.prop == prop;
      });
      TComponent* ref = FindNestedComponent(fixups[i].lookupRoot, name);
      const size_t dot = name.find(L'.');
      if (!ref && dot != String::npos && dot > 0 && !FindGlobalComponent(name.substr(0, dot))) {
        // Another root that does not exist yet: resolved when it is read.
        std::lock_guard<std::recursive_mutex> lock(filerdetail::g_mutex);
        if (!filerdetail::g_globalFixups) filerdetail::g_globalFixups = new std::vector<filerdetail::GlobalFixup>;
        filerdetail::g_globalFixups->push_back(
            {instance, prop, fixups[i].guards, name.substr(0, dot), name.substr(dot + 1), st_->session});
        ++filerdetail::g_globalFixupCount;
        continue;
      }
      if (ref && !ref->InheritsFrom(prop->PropType->ClassType)) {
        const String message = L"Error reading " + fixups[i].where + L": Invalid property value";
        if (st_->canHandleExcepts && Error(message)) continue;
        throw EReadError(message);
      }
      try {
        prop->SetObj(instance, ref);
      } catch (Exception& e) {
        const String message = L"Error reading " + fixups[i].where + L": " + e.Message;
        if (st_->canHandleExcepts && Error(message)) continue;
        throw EReadError(message);
      }
    }
  } catch (...) {
    fixups.clear();
    filerdetail::UnregisterFixupReader(st_);
    throw;
  }
  fixups.clear();
  filerdetail::UnregisterFixupReader(st_);
}

// ---------------------------------------------------------------------------
// TWriter
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TWriter, TFiler, nullptr)

namespace {
struct WriteDepth {
  int& depth;
  explicit WriteDepth(int& d) : depth(d) {
    if (++depth > MaxStreamNesting) {
      --depth;
      throw EWriteError(L"Objects nested deeper than " + IntStr(MaxStreamNesting) + L" levels cannot be stored");
    }
  }
  ~WriteDepth() { --depth; }
};
}  // namespace

TWriter::TWriter(TStream* stream) : TFiler(stream) { base_ = stream->Position(); }

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {
  }
}

void TWriter::FlushBuffer() {
  if (buf_.empty()) return;
  stream_->WriteBuffer(buf_.data(), static_cast<NativeInt>(buf_.size()));
  flushed_ += static_cast<Int64>(buf_.size());
  buf_.clear();
}

Int64 TWriter::Position() const { return base_ + flushed_ + static_cast<Int64>(buf_.size()); }

void TWriter::Write(const void* buffer, int count) {
  if (count <= 0) return;
  const Byte* p = static_cast<const Byte*>(buffer);
  buf_.insert(buf_.end(), p, p + count);
}

void TWriter::WriteValue(TValueType value) {
  const Byte b = value;
  Write(&b, 1);
}

void TWriter::WriteSignature() { Write(FilerSignature, 4); }

void TWriter::WritePrefix(TFilerFlags flags, int childPos) {
  if (!flags) return;
  const Byte b = 0xF0 | flags;
  Write(&b, 1);
  if (flags & ffChildPos) WriteInteger(childPos);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteInteger(int value) { WriteInteger(static_cast<Int64>(value)); }

void TWriter::WriteInteger(Int64 value) {
  if (value >= -128 && value <= 127) {
    WriteValue(vaInt8);
    const std::int8_t v = static_cast<std::int8_t>(value);
    Write(&v, 1);
  } else if (value >= -32768 && value <= 32767) {
    WriteValue(vaInt16);
    const std::int16_t v = static_cast<std::int16_t>(value);
    Write(&v, 2);
  } else if (value >= INT_MIN && value <= INT_MAX) {
    WriteValue(vaInt32);
    const std::int32_t v = static_cast<std::int32_t>(value);
    Write(&v, 4);
  } else {
    WriteValue(vaInt64);
    Write(&value, 8);
  }
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }
void TWriter::WriteChar(Char value) { WriteString(String(1, value)); }

void TWriter::WriteString(const String& value) {
  const bool ascii = std::all_of(value.begin(), value.end(), [](Char c) { return c < 0x80; });
  // The stored length is 32-bit and a reader takes no more than INT_MAX bytes:
  // only a 64-bit process can hold a longer text, and it must not be cut short.
  if (value.size() > static_cast<size_t>(ascii ? INT_MAX : INT_MAX / 2))
    throw EWriteError(L"String too long to store");
  if (!ascii) {
    WriteValue(vaWString);
    const std::int32_t n = static_cast<std::int32_t>(value.size());
    Write(&n, 4);
    Write(value.data(), n * 2);
    return;
  }
  WriteNarrowString(std::string(value.begin(), value.end()));
}

void TWriter::WriteNarrowString(const std::string& bytes) {
  if (bytes.size() <= 255) {
    WriteValue(vaString);
    const Byte n = static_cast<Byte>(bytes.size());
    Write(&n, 1);
  } else {
    WriteValue(vaLString);
    const std::int32_t n = static_cast<std::int32_t>(bytes.size());
    Write(&n, 4);
  }
  Write(bytes.data(), static_cast<int>(bytes.size()));
}

void TWriter::WriteStr(const String& value) {
  const std::string bytes = Utf8(value);
  if (bytes.size() > 255) throw EWriteError(L"Name too long to store: " + value);
  const Byte n = static_cast<Byte>(bytes.size());
  Write(&n, 1);
  Write(bytes.data(), n);
}

void TWriter::WriteIdent(const String& ident) {
  if (SameName(ident, L"False"))
    WriteValue(vaFalse);
  else if (SameName(ident, L"True"))
    WriteValue(vaTrue);
  else if (SameName(ident, L"Null"))
    WriteValue(vaNull);
  else if (SameName(ident, L"nil"))
    WriteValue(vaNil);
  else {
    WriteValue(vaIdent);
    WriteStr(ident);
  }
}

void TWriter::WriteFloat(long double value) {
  WriteValue(vaExtended);
  Write(&value, 10);
}

void TWriter::WriteSingle(float value) {
  WriteValue(vaSingle);
  Write(&value, 4);
}

void TWriter::WriteDouble(double value) {
  WriteValue(vaDouble);
  Write(&value, 8);
}

void TWriter::WriteCurrency(double value) {
  const double scaled = value * 10000.0;
  if (!(std::fabs(scaled) < 9.2e18)) throw EWriteError(L"Currency value out of range");
  const Int64 v = std::llround(scaled);
  WriteValue(vaCurrency);
  Write(&v, 8);
}

void TWriter::WriteDate(TDateTime value) {
  WriteValue(vaDate);
  Write(&value, 8);
}

void TWriter::WriteSet(UInt64 bits, const TTypeInfo* setType) {
  WriteValue(vaSet);
  const TTypeInfo* element = setType ? setType->CompType : nullptr;
  for (int i = 0; i < 64; ++i) {
    if (!(bits & (UInt64(1) << i)) || !element) continue;
    const String name = element->NameOf(i);
    if (!name.empty()) WriteStr(name);
  }
  WriteStr(String());
}

void TWriter::WriteVariant(const Variant& source) {
  WriteDepth depth(depth_);
  // A reference is stored as the value it refers to.
  Variant referred;
  if (VarIsByRef(source)) VarCopyNoInd(referred, source);
  const Variant& value = VarIsByRef(source) ? referred : source;
  const TVarType type = VarType(value);
  if (type & varArray) {
    if (VarArrayDimCount(value) != 1) throw EWriteError(L"Only one-dimensional variant arrays can be stored");
    WriteListBegin();
    for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
      const Variant element = VarArrayGet(value, i);
      // Null is stored as the byte that ends a list: a reader would stop there and fail
      // on what follows, so such a list would be written but never read back.
      if ((VarType(element) & varTypeMask) == varNull && !(VarType(element) & varArray))
        throw EWriteError(L"A Null element of a variant list cannot be stored");
      WriteVariant(element);
    }
    WriteListEnd();
    return;
  }
  switch (type & varTypeMask) {
    case varEmpty:
      WriteValue(vaNil);
      break;
    case varNull:
      WriteValue(vaNull);
      break;
    case varString: {
      // The bytes as they are, as an 8-bit string.
      const RawByteString& bytes = value.AsAnsiString();
      if (bytes.size() > static_cast<size_t>(INT_MAX)) throw EWriteError(L"String too long to store");
      WriteNarrowString(bytes);
      break;
    }
    case varOleStr:
    case varUString: {
      // Always in the wide form, so that the text comes back as Unicode text
      // (an 8-bit string now reads back as a byte string).
      const String text = value.AsString();
      if (text.size() > static_cast<size_t>(INT_MAX / 2)) throw EWriteError(L"String too long to store");
      WriteValue(vaWString);
      const std::int32_t n = static_cast<std::int32_t>(text.size());
      Write(&n, 4);
      Write(text.data(), n * 2);
      break;
    }
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
      WriteInteger(value.AsInt64());
      break;
    case varSingle:
      WriteSingle(static_cast<float>(value.AsDouble()));
      break;
    case varDouble:
      WriteDouble(value.AsDouble());
      break;
    case varCurrency: {
      const Int64 raw = value.AsCurrency().Value;
      WriteValue(vaCurrency);
      Write(&raw, 8);
      break;
    }
    case varDate:
      WriteDate(value.AsDateTime());
      break;
    case varBoolean:
      WriteBoolean(value.AsBoolean());
      break;
    default:
      // The custom kinds the stream has no value for travel as a date (a
      // time stamp) or as their text.
      if (VarIsCustom(value)) {
        Variant stored;
        try {
          stored = VarIsSQLTimeStamp(value) ? VarFromDateTime(VarToDateTime(value)) : Variant(value.AsAnsiString());
        } catch (EVariantError&) {
          throw EWriteError(L"Variant of type " + VarTypeAsText(type) + L" cannot be stored");
        }
        WriteVariant(stored);
        break;
      }
      throw EWriteError(L"Variant of type " + VarTypeAsText(type) + L" cannot be stored");
  }
}

void TWriter::WritePropName(const String& name) { WriteStr(propPath_ + name); }

void TWriter::DefineProperty(const String& name, TReaderProc, TWriterProc writeData, bool hasData) {
  if (!hasData || !writeData) return;
  WritePropName(name);
  writeData(this);
}

void TWriter::DefineBinaryProperty(const String& name, TStreamProc, TStreamProc writeData, bool hasData) {
  if (!hasData || !writeData) return;
  WritePropName(name);
  auto* data = Make<TMemoryStream>();
  FreeOnExit free{data};
  writeData(data);
  const Int64 size = data->Size();
  if (size > INT_MAX) throw EWriteError(L"Binary property too large: " + name);
  WriteValue(vaBinary);
  const std::int32_t n = static_cast<std::int32_t>(size);
  Write(&n, 4);
  Write(data->Memory(), n);
}

// --- components and properties -------------------------------------------------

void TWriter::WriteRootComponent(TComponent* root) { WriteDescendent(root, nullptr); }

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
  const size_t start = buf_.size();
  rootAncestor_ = ancestor;
  ancestor_ = ancestor;
  root_ = root;
  lookupRoot_ = root;
  try {
    WriteSignature();
    WriteComponent(root);
  } catch (...) {
    // Nothing of a failed component reaches the stream.
    buf_.resize(start);
    throw;
  }
  FlushBuffer();
}

void TWriter::WriteComponent(TComponent* component) {
  WriteDepth depth(depth_);
  Restore<TPersistent*> keepAncestor(ancestor_);
  Restore<TComponent*> keepRootAncestor(rootAncestor_);
  if (ancestorList_) {
    ancestor_ = nullptr;
    for (TComponent* c : *ancestorList_)
      if (SameName(c->Name(), component->Name())) {
        ancestor_ = c;
        break;
      }
  }
  component->state_ += csWriting;
  try {
    component->WriteState(this);
  } catch (...) {
    component->state_ -= csWriting;
    throw;
  }
  component->state_ -= csWriting;
}

void TWriter::WriteData(TComponent* instance) {
  const size_t previous = buf_.size();
  const Int64 flushedBefore = flushed_;
  TFilerFlags flags = 0;
  if (instance->ComponentState().Contains(csInline))
    flags |= ancestor_ ? ffInherited : ffInline;
  else if (ancestor_)
    flags |= ffInherited;
  const int ancestorCount = ancestorList_ ? static_cast<int>(ancestorList_->size()) : 0;
  if (ancestorList_ && ancestorPos_ < ancestorCount &&
      (!ancestor_ || (*ancestorList_)[ancestorPos_] != ancestor_))
    flags |= ffChildPos;
  WritePrefix(flags, childPos_);
  // A length byte of $F0 or more would read as a prefix.
  const String className = instance->ClassName();
  if (Utf8(className).size() >= 0xF0) throw EWriteError(L"Class name too long to store: " + className);
  WriteStr(className);
  WriteStr(instance->Name());
  const size_t propertiesStart = buf_.size();
  if (ancestorList_ && ancestorPos_ < ancestorCount) {
    if (ancestor_) ++ancestorPos_;
    ++childPos_;
  }
  WriteProperties(instance);
  WriteListEnd();
  {
    Restore<std::vector<TComponent*>*> keepList(ancestorList_);
    Restore<int> keepPos(ancestorPos_);
    Restore<int> keepChild(childPos_);
    Restore<TComponent*> keepRoot(root_);
    Restore<TComponent*> keepRootAncestor(rootAncestor_);
    std::vector<TComponent*> ancestors;
    ancestorList_ = nullptr;
    ancestorPos_ = 0;
    childPos_ = 0;
    if (!ignoreChildren_) {
      if (auto* a = dynamic_cast<TComponent*>(ancestor_)) {
        if (a->ComponentState().Contains(csInline)) rootAncestor_ = a;
        a->GetChildren([&ancestors](TComponent* c) { ancestors.push_back(c); }, rootAncestor_);
        ancestorList_ = &ancestors;
      }
      if (instance->ComponentState().Contains(csInline)) root_ = instance;
      instance->GetChildren([this](TComponent* c) { WriteComponent(c); }, root_);
    }
  }
  WriteListEnd();
  // An inherited component that changed nothing needs no entry at all.
  if (instance != root_ && flags == ffInherited && buf_.size() == propertiesStart + 2 && flushed_ == flushedBefore)
    buf_.resize(previous);
}

void TWriter::WriteProperties(TPersistent* instance) {
  WriteDepth depth(depth_);
  for (const TPropInfo* prop : instance->ClassType()->Properties()) {
    if (!prop->IsStored(instance)) continue;
    const TPropInfo* ancestorProp = nullptr;
    if (ancestor_) {
      ancestorProp = ancestor_->ClassType()->FindProperty(prop->Name);
      if (ancestorProp && ancestorProp->Kind() != prop->Kind()) ancestorProp = nullptr;
    }
    if (prop->Kind() == tkClass)
      WriteObjectProp(instance, prop, ancestorProp);
    else
      WriteProperty(instance, prop);
  }
  instance->DefineProperties(this);
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo* prop) {
  const TPropInfo* ap = nullptr;
  if (ancestor_) {
    ap = ancestor_->ClassType()->FindProperty(prop->Name);
    if (ap && ap->Kind() != prop->Kind()) ap = nullptr;
  }
  const TTypeInfo* type = prop->PropType;
  switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64: {
      if (!prop->GetOrd || !prop->SetOrd) return;
      const Int64 v = prop->GetOrd(instance);
      if (ap ? ap->GetOrd(ancestor_) == v : (prop->HasDefault && v == prop->Default)) return;
      if (prop->Kind() == tkChar || prop->Kind() == tkWChar) {
        WritePropName(prop->Name);
        WriteChar(static_cast<Char>(v));
      } else if (prop->Kind() == tkEnumeration) {
        const String name = type->NameOf(static_cast<int>(v));
        if (name.empty())
          throw EWriteError(L"Value " + IntStr(v) + L" of property " + prop->Name + L" has no name in " + type->Name);
        WritePropName(prop->Name);
        WriteIdent(name);
      } else if (prop->Kind() == tkSet) {
        WritePropName(prop->Name);
        WriteSet(static_cast<UInt64>(v), type);
      } else if (prop->Kind() == tkInt64) {
        WritePropName(prop->Name);
        WriteInteger(v);
      } else {
        WritePropName(prop->Name);
        String ident;
        const TIntToIdent toIdent = FindIntToIdent(type);
        if (toIdent && v >= INT_MIN && v <= INT_MAX && toIdent(static_cast<int>(v), ident))
          WriteIdent(ident);
        else
          WriteInteger(v);
      }
      return;
    }
    case tkFloat: {
      if (!prop->GetFloat || !prop->SetFloat) return;
      const double v = prop->GetFloat(instance);
      if (ap ? ap->GetFloat(ancestor_) == v : v == 0) return;
      WritePropName(prop->Name);
      if (type == DateTimeTypeInfo())
        WriteDate(v);
      else
        switch (type->FloatType) {
          case ftSingle:
            WriteSingle(static_cast<float>(v));
            break;
          case ftDouble:
            WriteDouble(v);
            break;
          case ftCurr:
            WriteCurrency(v);
            break;
          default:
            WriteFloat(v);
        }
      return;
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: {
      if (!prop->GetStr || !prop->SetStr) return;
      const String v = prop->GetStr(instance);
      if (ap ? ap->GetStr(ancestor_) == v : v.empty()) return;
      WritePropName(prop->Name);
      WriteString(v);
      return;
    }
    case tkVariant: {
      if (!prop->GetVariant || !prop->SetVariant) return;
      const Variant v = prop->GetVariant(instance);
      if (ap ? SameStoredVariant(v, ap->GetVariant(ancestor_)) : VarIsEmpty(v)) return;
      WritePropName(prop->Name);
      try {
        WriteVariant(v);
      } catch (EWriteError& e) {
        throw EWriteError(L"Property " + prop->Name + L": " + e.Message);
      }
      return;
    }
    case tkMethod: {
      if (!prop->GetMethod || !prop->SetMethod) return;
      const TMethod m = prop->GetMethod(instance);
      const String name = MethodName(m, lookupRoot_);
      // A handler of another object has no name the stream could bind.
      if (m.Code && name.empty()) return;
      if (ap ? ap->GetMethod(ancestor_).Code == m.Code : !m.Code) return;
      WritePropName(prop->Name);
      if (m.Code)
        WriteIdent(name);
      else
        WriteValue(vaNil);
      return;
    }
    case tkClass:
      WriteObjectProp(instance, prop, ap);
      return;
    default:
      return;
  }
}

void TWriter::WriteObjectProp(TPersistent* instance, const TPropInfo* prop, const TPropInfo* ap) {
  if (!prop->GetObj) return;
  TObject* value = prop->GetObj(instance);
  TObject* ancestorValue = ap && ap->GetObj ? ap->GetObj(ancestor_) : nullptr;
  if (!value) {
    if (ap && ancestorValue && prop->SetObj) {
      WritePropName(prop->Name);
      WriteValue(vaNil);
    }
    return;
  }
  auto* component = dynamic_cast<TComponent*>(value);
  if (component && !component->ComponentStyle().Contains(csSubComponent)) {
    if (!prop->SetObj) return;
    // The published field of an owned component, named after it: bound by
    // name again when the component is read, not a stored reference.
    if (component->Owner() == instance && SameName(component->Name(), prop->Name)) return;
    const String ref = ComponentRefName(component, lookupRoot_);
    if (ref.empty()) return;
    if (ap) {
      auto* ac = dynamic_cast<TComponent*>(ancestorValue);
      if (ac && SameName(ComponentRefName(ac, rootAncestor_), ref)) return;
    }
    WritePropName(prop->Name);
    WriteIdent(ref);
    return;
  }
  auto* persistent = dynamic_cast<TPersistent*>(value);
  if (!persistent) return;
  if (auto* collection = dynamic_cast<TCollection*>(persistent)) {
    if (ap ? CollectionsEqual(collection, dynamic_cast<TCollection*>(ancestorValue)) : collection->Count() == 0)
      return;
    WritePropName(prop->Name);
    WriteCollection(collection);
    return;
  }
  Restore<String> keepPath(propPath_);
  Restore<TPersistent*> keepAncestor(ancestor_);
  propPath_ += prop->Name + L".";
  ancestor_ = ap ? dynamic_cast<TPersistent*>(ancestorValue) : nullptr;
  WriteProperties(persistent);
}

void TWriter::WriteCollection(TCollection* value) {
  WriteDepth depth(depth_);
  Restore<String> keepPath(propPath_);
  Restore<TPersistent*> keepAncestor(ancestor_);
  propPath_.clear();
  ancestor_ = nullptr;
  WriteValue(vaCollection);
  if (value)
    for (int i = 0; i < value->Count(); ++i) {
      WriteListBegin();
      WriteProperties(value->Items(i));
      WriteListEnd();
    }
  WriteListEnd();
}

String TWriter::ComponentRefName(TComponent* component, TComponent* lookupRoot) const {
  if (!component) return String();
  if (lookupRoot && component->Owner() == lookupRoot) return component->Name();
  if (component == lookupRoot) return L"Owner";
  TComponent* owner = component->Owner();
  if (owner && !owner->Name().empty() && !component->Name().empty())
    return owner->Name() + L"." + component->Name();
  if (!component->Name().empty()) return component->Name() + L".Owner";
  return String();
}

String TWriter::MethodName(const TMethod& method, TComponent* lookupRoot) const {
  if (!method.Code || !lookupRoot || method.Data != lookupRoot) return String();
  const TPublishedMethod* pm = lookupRoot->ClassType()->FindMethodByCode(method.Code);
  return pm ? pm->Name : String();
}

bool TWriter::CollectionsEqual(TCollection* a, TCollection* b) {
  const int countA = a ? a->Count() : 0;
  const int countB = b ? b->Count() : 0;
  if (countA == 0 || countB == 0) return countA == countB;
  if (a->ClassType() != b->ClassType() || countA != countB) return false;
  auto write = [](TCollection* c, TComponent* root) {
    auto* stream = Make<TMemoryStream>();
    FreeOnExit free{stream};
    TWriter w(stream);
    w.root_ = root;
    w.lookupRoot_ = root;
    w.WriteCollection(c);
    w.FlushBuffer();
    const Byte* p = static_cast<const Byte*>(stream->Memory());
    return std::vector<Byte>(p, p + stream->Size());
  };
  return write(a, lookupRoot_) == write(b, rootAncestor_);
}

// ---------------------------------------------------------------------------
// Integer identifiers, date-time type, global fixups
// ---------------------------------------------------------------------------

void RegisterIntegerConsts(const TTypeInfo* integerType, TIdentToInt identToInt, TIntToIdent intToIdent) {
  std::lock_guard<std::recursive_mutex> lock(filerdetail::g_mutex);
  if (!filerdetail::g_intConsts) filerdetail::g_intConsts = new std::vector<filerdetail::IntConsts>;
  for (auto& e : *filerdetail::g_intConsts)
    if (e.type == integerType) {
      e.toInt = identToInt;
      e.toIdent = intToIdent;
      return;
    }
  filerdetail::g_intConsts->push_back({integerType, identToInt, intToIdent});
}

void UnregisterIntegerConsts(const TTypeInfo* integerType) {
  std::lock_guard<std::recursive_mutex> lock(filerdetail::g_mutex);
  if (!filerdetail::g_intConsts) return;
  auto& list = *filerdetail::g_intConsts;
  list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& e) { return e.type == integerType; }),
             list.end());
}

TIdentToInt FindIdentToInt(const TTypeInfo* integerType) {
  std::lock_guard<std::recursive_mutex> lock(filerdetail::g_mutex);
  if (filerdetail::g_intConsts)
    for (const auto& e : *filerdetail::g_intConsts)
      if (e.type == integerType) return e.toInt;
  return nullptr;
}

TIntToIdent FindIntToIdent(const TTypeInfo* integerType) {
  std::lock_guard<std::recursive_mutex> lock(filerdetail::g_mutex);
  if (filerdetail::g_intConsts)
    for (const auto& e : *filerdetail::g_intConsts)
      if (e.type == integerType) return e.toIdent;
  return nullptr;
}

bool IdentToInt(const String& ident, int& value, std::span<const TIdentMapEntry> map) {
  for (const TIdentMapEntry& e : map)
    if (SameName(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  return false;
}

bool IntToIdent(int value, String& ident, std::span<const TIdentMapEntry> map) {
  for (const TIdentMapEntry& e : map)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

const TTypeInfo* DateTimeTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkFloat;
    t.Name = L"TDateTime";
    t.FloatType = ftDouble;
    return t;
  }();
  return &info;
}

void GlobalFixupReferences() {
  using namespace filerdetail;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!g_globalFixups) return;
  ++g_globalFixupPass;
  struct Pass {
    ~Pass() {
      --g_globalFixupPass;
      PurgeGlobalFixups();
    }
  } pass;
  // By index: a setter may read other roots, which adds entries.
  for (size_t i = 0; i < g_globalFixups->size(); ++i) {
    GlobalFixup& f = (*g_globalFixups)[i];
    if (!f.instance) continue;
    TComponent* root = FindGlobalComponent(f.rootName);
    if (!root) continue;
    TPersistent* instance = f.instance;
    const TPropInfo* prop = f.prop;
    const String name = f.name;
    f.instance = nullptr;
    --g_globalFixupCount;
    TComponent* ref = FindNestedComponent(root, name);
    if (ref && !ref->InheritsFrom(prop->PropType->ClassType)) continue;
    try {
      prop->SetObj(instance, ref);
    } catch (Exception&) {
      // The object is not the one being read now: nobody to report to.
    }
  }
}

void RemoveFixups(TPersistent* instance) { filerdetail::ObjectGone(instance); }

// ---------------------------------------------------------------------------
// Stream helpers and resources
// ---------------------------------------------------------------------------

TComponent* ReadComponentFromStream(TStream* stream, TComponent* instance) {
  TReader reader(stream);
  return reader.ReadRootComponent(instance);
}

void WriteComponentToStream(TStream* stream, TComponent* instance) { WriteDescendentToStream(stream, instance, nullptr); }

void WriteDescendentToStream(TStream* stream, TComponent* instance, TComponent* ancestor) {
  TWriter writer(stream);
  writer.WriteDescendent(instance, ancestor);
}

void WriteComponentResToStream(TStream* stream, const String& resName, TComponent* instance) {
  auto* data = Make<TMemoryStream>();
  FreeOnExit free{data};
  WriteComponentToStream(data, instance);
  // The 16-bit resource entry: $FF, type 10 (RCDATA), upper-case name, flags, size.
  String name = UpperName(resName.substr(0, 63));
  std::string ansi;
  if (!name.empty()) {
    const int n = WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
    ansi.assign(n > 0 ? n : 0, '\0');
    if (n > 0)
      WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), ansi.data(), n, nullptr, nullptr);
  }
  std::vector<Byte> header;
  header.push_back(0xFF);
  header.push_back(10);
  header.push_back(0);
  header.insert(header.end(), ansi.begin(), ansi.end());
  header.push_back(0);
  header.push_back(0x30);
  header.push_back(0x10);
  const std::uint32_t size = static_cast<std::uint32_t>(data->Size());
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<Byte>(size >> (8 * i)));
  std::vector<Byte> all(header);
  const Byte* p = static_cast<const Byte*>(data->Memory());
  all.insert(all.end(), p, p + size);
  stream->WriteBuffer(all.data(), static_cast<int>(all.size()));
}

TComponent* ReadComponentResFromStream(TStream* stream, TComponent* instance) {
  const Int64 start = stream->Position();
  const Int64 available = stream->Size() - start;
  auto invalid = [] { throw EInvalidImage(L"Invalid stream format: not a component resource"); };
  Byte head[3];
  if (available < 3 || stream->Read(head, 3) != 3) invalid();
  if (head[0] != 0xFF || head[1] != 10 || head[2] != 0) invalid();
  Int64 used = 3;
  for (;;) {
    Byte c;
    if (used >= available || used > 3 + 256 || stream->Read(&c, 1) != 1) invalid();
    ++used;
    if (c == 0) break;
  }
  Byte tail[6];
  if (available - used < 6 || stream->Read(tail, 6) != 6) invalid();
  used += 6;
  const std::uint32_t size = tail[2] | (tail[3] << 8) | (tail[4] << 16) | (static_cast<std::uint32_t>(tail[5]) << 24);
  if (size > available - used) invalid();
  return ReadComponentFromStream(stream, instance);
}

TComponent* ReadComponentResFile(const String& fileName, TComponent* instance) {
  auto* file = Make<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
  FreeOnExit free{file};
  return ReadComponentResFromStream(file, instance);
}

void WriteComponentResFile(const String& fileName, TComponent* instance) {
  auto* file = Make<TFileStream>(fileName, fmCreate);
  FreeOnExit free{file};
  WriteComponentResToStream(file, instance->ClassName(), instance);
}

HINSTANCE FindClassHInstance(TClass cls) {
  HMODULE module = nullptr;
  if (cls && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(cls), &module))
    return module;
  return GetModuleHandleW(nullptr);
}

HINSTANCE FindResourceHInstance(HINSTANCE instance) { return instance ? instance : GetModuleHandleW(nullptr); }

namespace {
bool InternalReadComponentRes(const String& resName, HINSTANCE module, TComponent*& instance) {
  if (!FindResourceW(module, resName.c_str(), RT_RCDATA)) return false;
  auto* stream = Make<TResourceStream>(module, resName, RT_RCDATA);
  FreeOnExit free{stream};
  instance = ReadComponentFromStream(stream, instance);
  return true;
}
}  // namespace

TComponent* ReadComponentRes(const String& resName, TComponent* instance) {
  const HINSTANCE module =
      FindResourceHInstance(instance ? FindClassHInstance(instance->ClassType()) : GetModuleHandleW(nullptr));
  TComponent* result = instance;
  if (!InternalReadComponentRes(resName, module, result)) throw EResNotFound(L"Resource " + resName + L" not found");
  return result;
}

bool InitInheritedComponent(TComponent* instance, TClass rootAncestor) {
  using filerdetail::LoadingContext;
  using filerdetail::t_loading;
  const TComponentStateSet state = instance->ComponentState();
  // Nested in another loading (an inline frame): that one calls Loaded.
  const bool localize = !state.Contains(csInline) && !state.Contains(csLoading);
  LoadingContext context;
  bool pushed = false;
  if (localize) {
    context.loaded = Make<Tracker>();
    context.created = Make<Tracker>();
    t_loading.push_back(&context);
    pushed = true;
  }
  auto pop = [&] {
    if (pushed) {
      t_loading.erase(std::find(t_loading.begin(), t_loading.end(), &context));
      pushed = false;
    }
  };
  std::function<bool(TClass)> init = [&](TClass cls) -> bool {
    if (!cls || cls == TComponent::StaticClass() || cls == rootAncestor) return false;
    bool result = init(cls->Parent);
    TComponent* target = instance;
    const HINSTANCE module = FindResourceHInstance(FindClassHInstance(cls));
    return InternalReadComponentRes(UpperName(cls->Name), module, target) || result;
  };
  try {
    const bool result = init(instance->ClassType());
    if (localize) {
      pop();
      context.loaded->CallLoaded();
      GlobalFixupReferences();
      Tracker::Dispose(context.loaded);
      Tracker::Dispose(context.created);
    }
    return result;
  } catch (...) {
    if (localize) {
      pop();
      // What the instance had before stays, no longer loading.
      for (const Tracker::Entry& e : context.loaded->items)
        if (!context.created->Contains(e.c)) filerdetail::StateAccess::EndLoading(e.c);
      context.created->FreeAll();
      Tracker::Dispose(context.loaded);
      Tracker::Dispose(context.created);
    }
    throw;
  }
}
