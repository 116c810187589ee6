// Core of the platform class library: strings, basic records, the object
// model with its class references and published properties, method pointers
// (events), enumeration and set type information.
//
// The C++ mapping of the platform's idioms is described in docs/ARCHITECTURE.md.
#pragma once

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <utility>

// ---------------------------------------------------------------------------
// Strings and basic scalar types
// ---------------------------------------------------------------------------

using Char = wchar_t;                 // UTF-16 code unit
using String = std::wstring;          // the platform's string: UTF-16
using AnsiString = std::string;       // 8-bit string in the active code page
using RawByteString = std::string;    // bytes without a code page
using UTF8String = std::string;       // UTF-8 bytes
using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using TDateTime = double;             // days since 1899-12-30, fraction = time of day
using TBytes = std::vector<Byte>;

static_assert(sizeof(Char) == 2, "String must be UTF-16");

// ---------------------------------------------------------------------------
// Records of 32-bit integers, layout-compatible with POINT, SIZE and RECT
// ---------------------------------------------------------------------------

struct TPoint {
  int X = 0, Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int x, int y) : X(x), Y(y) {}
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0, cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int w, int h) : cx(w), cy(h) {}
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TSmallPoint {
  std::int16_t x = 0, y = 0;
  friend constexpr bool operator==(const TSmallPoint&, const TSmallPoint&) = default;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
  constexpr TRect(TPoint topLeft, TPoint bottomRight)
      : Left(topLeft.X), Top(topLeft.Y), Right(bottomRight.X), Bottom(bottomRight.Y) {}
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
constexpr TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }

// ---------------------------------------------------------------------------
// Object model
// ---------------------------------------------------------------------------

class TObject;
class TPersistent;
class TComponent;
class TFiler;
struct TClassInfo;
struct TTypeInfo;
struct TPropInfo;
class Variant;
template <class T>
struct TClassBuilder;
struct TClassBuilderBase;

// A class reference: points at the one class-information record of a class.
using TClass = const TClassInfo*;

// Generic code pointer of a method thunk (see TClosure).
using TCodePointer = void (*)();

// The platform's method pointer: code plus the object it is called on.
struct TMethod {
  TCodePointer Code = nullptr;
  TObject* Data = nullptr;
  // Identifies the parameter list of the event type the thunk was made for,
  // so that binding by name rejects a method of the wrong shape.
  const void* Signature = nullptr;
  bool Assigned() const { return Code != nullptr; }
  friend bool operator==(const TMethod& a, const TMethod& b) {
    return a.Code == b.Code && a.Data == b.Data;
  }
};

template <class Sig>
inline const void* SignatureTag() {
  static const char tag = 0;
  return &tag;
}

// Operations that run when a class is constructed through its class reference.
// A component class is constructed with its owner, a collection item with its
// collection; plain persistent classes take nothing. They only build the C++
// object: NewInstance completes it (CreateForm sets the caller's reference in
// between, as the platform does).
using TVirtualCtor = TObject* (*)(TObject* arg);

// A message handler of a class's message table (see TObject::Dispatch).
// The message record starts with its 32-bit message number.
using TMessageHandler = void (*)(TObject* self, void* message);
struct TMessageEntry {
  unsigned Msg;
  TMessageHandler Handler;
};

struct TPublishedMethod {
  String Name;
  TCodePointer Code;
  const void* Signature;
};

struct TClassInfo {
  const Char* Name;
  TClass Parent;
  TVirtualCtor Create;   // null for abstract classes
  // Published properties and methods of this class only; filled once, on
  // first use, by the class's declaration function.
  void (*Declare)(TClassBuilderBase&);

  bool InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->Parent)
      if (c == other) return true;
    return false;
  }
  // All published properties, ancestors' first, in declaration order.
  const std::vector<const TPropInfo*>& Properties() const;
  const TPropInfo* FindProperty(std::wstring_view name) const;  // case-insensitive
  // A property as the nearest class from this one up declares it, published
  // or not (TClassBuilder::DeclareProp); null when none does.
  const TPropInfo* FindDeclaredProperty(std::wstring_view name) const;
  // The constructor this class itself registered for an argument list
  // (TClassBuilder::Constructor, keyed by SignatureTag<TObject*(A...)>), or
  // null: an ancestor's would build an object of the wrong class.
  TCodePointer FindConstructor(const void* signature) const;
  const TPublishedMethod* FindMethod(std::wstring_view name) const;
  const TPublishedMethod* FindMethodByCode(TCodePointer code) const;
  // The message handler of this class or its nearest ancestor that has one.
  TMessageHandler FindMessageHandler(unsigned msg) const;
  // Virtual construction; raises EInvalidOperation for an abstract class.
  TObject* NewInstance(TObject* arg = nullptr) const;

  // The class's message handlers merged with its ancestors', sorted by
  // message number; built on the first dispatch, then read without locking.
  mutable std::atomic<const void*> MessageCache{nullptr};
};

namespace sysdetail {
struct TConstruct;
}

class TObject {
  // Objects are made on the heap only through Make<T> and the class
  // references, so that AfterConstruction always runs: a plain
  // `Make<TXxx>(...)` does not compile.
  static void* operator new(std::size_t size) { return ::operator new(size); }
  friend struct sysdetail::TConstruct;

 public:
  static void operator delete(void* p) { ::operator delete(p); }
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const { return ClassType()->Name; }
  TClass ClassParent() const { return ClassType()->Parent; }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T>
  bool Is() const { return InheritsFrom(T::StaticClass()); }

  // Called by the virtual constructors after the C++ constructor returned,
  // and before delete by Free: the places where virtual calls reach the
  // most derived class.
  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}

  // Frees the object through its virtual destructor; safe on null.
  static void Free(TObject* obj);

  // Message dispatch by number through the class's message tables: the
  // handler of the most derived class that declares one runs, otherwise
  // DefaultHandler. A handler passes a message on to its ancestors with
  // DispatchInherited(ThisClass::StaticClass(), message).
  void Dispatch(void* message);
  void DispatchInherited(TClass handlerClass, void* message);
  virtual void DefaultHandler(void* message);
};

// Frees *p and sets it to null, null first so that code run by the
// destructor no longer sees the dying object.
template <class T>
void FreeAndNil(T*& p) {
  T* tmp = p;
  p = nullptr;
  TObject::Free(tmp);
}

namespace sysdetail {
// The one place a class-library object is allocated.
struct TConstruct {
  template <class T, class... A>
  static T* Raw(A&&... args) { return new T(std::forward<A>(args)...); }
};
}  // namespace sysdetail

// Construction that always completes: the C++ constructor, then
// AfterConstruction, where virtual calls reach the most derived class. When
// AfterConstruction raises, the object is destroyed and the exception goes on.
//   auto* list = Make<TStringList>();   auto* btn = Make<TButton>(form);
void CompleteConstruction(TObject* obj);
template <class T, class... A>
T* Make(A&&... args) {
  static_assert(std::is_base_of_v<TObject, T>, "Make<T> builds class-library objects");
  T* obj = sysdetail::TConstruct::Raw<T>(std::forward<A>(args)...);
  CompleteConstruction(obj);
  return obj;
}

// True when this code runs inside a DLL rather than in the program's own module.
bool IsLibrary();

// Smart-pointer ownership of a class-library object: freed through TObject::Free, so
// BeforeDestruction runs as for any other owner. `TObjectPtr<TStream> s(new ...)`.
struct TObjectDeleter {
  void operator()(TObject* p) const { TObject::Free(p); }
};
template <class T>
using TObjectPtr = std::unique_ptr<T, TObjectDeleter>;

// Runs a step at the end of a scope, also when the scope is left by an exception:
// `TFinally done{[&] { EndUpdate(); }};` in place of a try/finally block.
template <class F>
struct TFinally {
  F Step;
  ~TFinally() { Step(); }
};
template <class F>
TFinally(F) -> TFinally<F>;

namespace sysdetail {
[[noreturn]] void RaiseCannotCreate(TClass cls);
[[noreturn]] void RaiseNotDescendant(TClass cls, TClass base);
[[noreturn]] void RaiseUndeclaredProperty(TClass cls, const Char* name);
template <class... A>
struct IsOneObjectPointer : std::false_type {};
template <class P>
struct IsOneObjectPointer<P>
    : std::bool_constant<std::is_pointer_v<P> && std::is_base_of_v<TObject, std::remove_pointer_t<P>>> {};
}  // namespace sysdetail

// A typed class reference, "class of Base" whose constructor takes A...: the
// class record plus the constructor of that very class for these arguments,
// so that code holding only the reference builds the most derived class with
// all its arguments, completed as by Make<T>:
//   using TcxCustomStylesClass = TClassOf<TcxCustomStyles, TPersistent*>;
//   virtual TcxCustomStylesClass StylesClass() { return TcxCustomStylesClass::Of<TcxCustomStyles>(); }
//   TcxCustomStyles* styles = StylesClass().Create(this);
// It compares and converts like the TClass it wraps, and a reference to a
// descendant family converts to one of its base family with the same arguments.
template <class Base, class... A>
class TClassOf {
  template <class, class...>
  friend class TClassOf;
  using Maker = TObject* (*)(A...);

 public:
  TClassOf() = default;
  TClassOf(std::nullptr_t) {}
  // A class known at compile time. A C++-abstract class gives a reference
  // that raises EInvalidOperation on Create, as the platform's abstract
  // classes do.
  template <class T>
  static TClassOf Of() {
    static_assert(std::is_base_of_v<Base, T>, "the class must descend from the reference's base");
    TClassOf r;
    r.cls_ = T::StaticClass();
    if constexpr (!std::is_abstract_v<T>) {
      static_assert(std::is_constructible_v<T, A...>, "the class has no constructor for these arguments");
      r.make_ = [](A... args) -> TObject* { return Make<T>(std::forward<A>(args)...); };
    }
    return r;
  }
  // A class known at run time (read from a stream, the ClassType of an
  // object): EInvalidCast unless it descends from Base. It is created through
  // the constructor the class registered for A... in its class builder, or,
  // for one object argument, through its virtual constructor (NewInstance).
  explicit TClassOf(TClass cls) : cls_(cls) {
    if (!cls) return;
    if (!cls->InheritsFrom(Base::StaticClass())) sysdetail::RaiseNotDescendant(cls, Base::StaticClass());
    make_ = reinterpret_cast<Maker>(cls->FindConstructor(SignatureTag<TObject*(A...)>()));
  }
  template <class D>
    requires(std::is_base_of_v<Base, D> && !std::is_same_v<Base, D>)
  TClassOf(const TClassOf<D, A...>& other) : cls_(other.cls_), make_(other.make_) {}

  // A new, completely constructed object of the referenced class.
  Base* Create(A... args) const {
    if (make_) return static_cast<Base*>(make_(std::forward<A>(args)...));
    if constexpr (sysdetail::IsOneObjectPointer<A...>::value)
      if (cls_ && cls_->Create) return static_cast<Base*>(cls_->NewInstance(args...));
    sysdetail::RaiseCannotCreate(cls_);
  }

  TClass ClassInfo() const { return cls_; }
  operator TClass() const { return cls_; }
  const TClassInfo* operator->() const { return cls_; }
  explicit operator bool() const { return cls_ != nullptr; }
  bool InheritsFrom(TClass other) const { return cls_ && cls_->InheritsFrom(other); }
  friend bool operator==(const TClassOf& a, const TClassOf& b) { return a.cls_ == b.cls_; }
  friend bool operator==(const TClassOf& a, TClass b) { return a.cls_ == b; }

 private:
  TClass cls_ = nullptr;
  Maker make_ = nullptr;
};

// Inside a class body, gives the class its class reference. The class
// information itself is defined once in the .cpp with IMPLEMENT_CLASS.
#define DECLARE_CLASS(Self, Base)                                   \
 public:                                                            \
  using inherited = Base;                                           \
  static TClass StaticClass();                                      \
  TClass ClassType() const override { return Self::StaticClass(); } \
                                                                    \
 private:                                                           \
  static void Publish(TClassBuilder<Self>& b);                      \
                                                                    \
 public:

// ---------------------------------------------------------------------------
// Type information
// ---------------------------------------------------------------------------

enum TTypeKind : int {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
  tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface,
  tkInt64, tkDynArray, tkUString, tkClassRef, tkPointer, tkProcedure
};

enum TFloatType : int { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  String Name;
  // tkEnumeration: value names, first has ordinal MinValue.
  std::vector<String> Names;
  int MinValue = 0;
  int MaxValue = 0;
  // tkSet: element type.
  const TTypeInfo* CompType = nullptr;
  // tkClass: the class.
  TClass ClassType = nullptr;
  // tkFloat
  TFloatType FloatType = ftDouble;
  // tkMethod: the event signature tag.
  const void* Signature = nullptr;

  // Enumeration name of a value, empty when out of range.
  String NameOf(int value) const;
  // Ordinal of a name (case-insensitive), -1 when unknown.
  int ValueOf(std::wstring_view name) const;
};

// Parses "a, b = 4, c" into an enumeration type record; explicit values are
// allowed only when they keep the list contiguous (the stream stores names).
TTypeInfo MakeEnumTypeInfo(const Char* typeName, const Char* valueList);

// Declares an unscoped enumeration together with its name table. The
// enumeration's type information is found with TypeInfoOf<Type>().
#define DECLARE_ENUM(Type, ...)                                               \
  enum Type : int { __VA_ARGS__ };                                            \
  inline const TTypeInfo& EnumTypeInfo(Type*) {                               \
    static const TTypeInfo info = MakeEnumTypeInfo(L"" #Type, L"" #__VA_ARGS__); \
    return info;                                                              \
  }

// Gives existing enumerations a name table (for enumerations declared elsewhere).
#define DECLARE_ENUM_INFO(Type, NameList)                                     \
  inline const TTypeInfo& EnumTypeInfo(Type*) {                               \
    static const TTypeInfo info = MakeEnumTypeInfo(L"" #Type, NameList);      \
    return info;                                                              \
  }

template <class E>
const TTypeInfo& TypeInfoOf() {
  return EnumTypeInfo(static_cast<E*>(nullptr));
}

template <class E>
String EnumName(E value) {
  return TypeInfoOf<E>().NameOf(static_cast<int>(value));
}

inline const TTypeInfo& EnumTypeInfo(bool*) {
  static const TTypeInfo info = MakeEnumTypeInfo(L"Boolean", L"False, True");
  return info;
}

// ---------------------------------------------------------------------------
// Sets of small enumerations
// ---------------------------------------------------------------------------

template <class E, int N = 64>
class TSet {
  static_assert(N > 0 && N <= 256);
  static constexpr int Words = (N + 63) / 64;
  UInt64 bits_[Words] = {};

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }
  static constexpr int Capacity = N;

  constexpr bool Contains(E e) const {
    const int i = static_cast<int>(e);
    return i >= 0 && i < N && ((bits_[i >> 6] >> (i & 63)) & 1u);
  }
  constexpr TSet& Include(E e) {
    const int i = static_cast<int>(e);
    if (i >= 0 && i < N) bits_[i >> 6] |= UInt64(1) << (i & 63);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    const int i = static_cast<int>(e);
    if (i >= 0 && i < N) bits_[i >> 6] &= ~(UInt64(1) << (i & 63));
    return *this;
  }
  constexpr bool Empty() const {
    for (UInt64 w : bits_)
      if (w) return false;
    return true;
  }
  constexpr bool operator==(const TSet& o) const {
    for (int i = 0; i < Words; ++i)
      if (bits_[i] != o.bits_[i]) return false;
    return true;
  }
  // Set union, difference, intersection, as the platform writes them.
  constexpr TSet operator+(const TSet& o) const {
    TSet r;
    for (int i = 0; i < Words; ++i) r.bits_[i] = bits_[i] | o.bits_[i];
    return r;
  }
  constexpr TSet operator-(const TSet& o) const {
    TSet r;
    for (int i = 0; i < Words; ++i) r.bits_[i] = bits_[i] & ~o.bits_[i];
    return r;
  }
  constexpr TSet operator*(const TSet& o) const {
    TSet r;
    for (int i = 0; i < Words; ++i) r.bits_[i] = bits_[i] & o.bits_[i];
    return r;
  }
  constexpr TSet operator+(E e) const { TSet r = *this; return r.Include(e); }
  constexpr TSet operator-(E e) const { TSet r = *this; return r.Exclude(e); }
  constexpr TSet& operator+=(const TSet& o) { return *this = *this + o; }
  constexpr TSet& operator-=(const TSet& o) { return *this = *this - o; }
  constexpr TSet& operator*=(const TSet& o) { return *this = *this * o; }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  // Subset test: a <= b when every element of a is in b.
  constexpr bool operator<=(const TSet& o) const { return (*this - o).Empty(); }
  constexpr bool operator>=(const TSet& o) const { return o <= *this; }

  // The low 64 elements as bits, as the component stream stores them.
  constexpr UInt64 ToBits() const { return bits_[0]; }
  static constexpr TSet FromBits(UInt64 bits) {
    TSet r;
    r.bits_[0] = N >= 64 ? bits : (bits & ((UInt64(1) << N) - 1));
    return r;
  }
};

// Set of 8-bit characters.
using TSysCharSet = TSet<unsigned char, 256>;

// Type information of a set type: element type plus the set's kind.
const TTypeInfo& SetTypeInfo(const TTypeInfo& elementType);

// ---------------------------------------------------------------------------
// Method pointers (events)
// ---------------------------------------------------------------------------

template <class Sig>
class TClosure;

template <class R, class... A>
class TClosure<R(A...)> {
 public:
  using Thunk = R (*)(TObject*, A...);

  TClosure() = default;
  TClosure(std::nullptr_t) {}

  // Makes an event from a member function of a TObject descendant:
  //   btn->OnClick = TNotifyEvent::Bind<&TForm5::btnExitClick>(form);
  template <auto MemFn, class C>
  static TClosure Bind(C* obj) {
    TClosure e;
    Thunk t = [](TObject* self, A... args) -> R {
      return (static_cast<C*>(self)->*MemFn)(std::forward<A>(args)...);
    };
    e.m_.Code = reinterpret_cast<TCodePointer>(t);
    e.m_.Data = obj;
    e.m_.Signature = SignatureTag<R(A...)>();
    return e;
  }

  // The thunk of a member function, for published-method tables.
  template <auto MemFn, class C>
  static TCodePointer ThunkOf() {
    return Bind<MemFn, C>(nullptr).m_.Code;
  }

  static TClosure FromMethod(const TMethod& m) {
    TClosure e;
    if (m.Code && (m.Signature == nullptr || m.Signature == SignatureTag<R(A...)>())) e.m_ = m;
    return e;
  }
  static const void* Signature() { return SignatureTag<R(A...)>(); }

  const TMethod& Method() const { return m_; }
  explicit operator bool() const { return m_.Code != nullptr; }
  bool Assigned() const { return m_.Code != nullptr; }
  friend bool operator==(const TClosure& a, const TClosure& b) { return a.m_ == b.m_; }
  friend bool operator==(const TClosure& a, std::nullptr_t) { return !a.m_.Code; }

  R operator()(A... args) const {
    return reinterpret_cast<Thunk>(m_.Code)(m_.Data, std::forward<A>(args)...);
  }

 private:
  TMethod m_;
};

using TNotifyEvent = TClosure<void(TObject* Sender)>;

// ---------------------------------------------------------------------------
// Published properties
// ---------------------------------------------------------------------------

// One published property. Accessors are type-erased by kind: ordinal kinds
// (integer, char, enumeration, set, int64, boolean) go through Ord, floats
// through Float, strings through Str, variants through Variant, objects
// through Obj, events through Method. A character property (tkWChar) keeps
// the character code in Ord; the stream stores it as a one-character string.
struct TPropInfo {
  String Name;
  const TTypeInfo* PropType = nullptr;
  TTypeKind Kind() const { return PropType ? PropType->Kind : tkUnknown; }

  std::function<Int64(TObject*)> GetOrd;
  std::function<void(TObject*, Int64)> SetOrd;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<String(TObject*)> GetStr;
  std::function<void(TObject*, const String&)> SetStr;
  std::function<Variant(TObject*)> GetVariant;
  std::function<void(TObject*, const Variant&)> SetVariant;
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<TMethod(TObject*)> GetMethod;
  std::function<void(TObject*, const TMethod&)> SetMethod;

  // Ordinal default; a property without one ("nodefault") is always stored.
  bool HasDefault = false;
  Int64 Default = 0;
  // Float, string and variant properties store themselves unless they equal
  // zero, empty or Unassigned (a Null variant is stored); this flag turns that
  // off for properties that must always be written.
  std::function<bool(TObject*)> Stored;
  bool IsReadOnly() const;
  bool IsStored(TObject* obj) const { return !Stored || Stored(obj); }
};

// Builder handed to a class's publishing function (BEGIN_CLASS ... END_CLASS).
struct TClassBuilderBase {
  std::vector<TPropInfo> Props;
  // Properties the class declares without publishing them: they are not
  // streamed and not in Properties(), until a descendant publishes them.
  std::vector<TPropInfo> Declared;
  std::vector<TPublishedMethod> Methods;
  std::vector<TMessageEntry> Messages;
  // Typed constructors for TClassOf references made from a run-time class.
  struct TConstructorEntry {
    const void* Signature;
    TCodePointer Code;
  };
  std::vector<TConstructorEntry> Constructors;
};

// Type-information records of the built-in kinds.
const TTypeInfo* IntegerTypeInfo();
const TTypeInfo* Int64TypeInfo();
const TTypeInfo* StringTypeInfo();
// tkWChar, character codes 0..$FFFF: the type of every `Char` property.
const TTypeInfo* WideCharTypeInfo();
const TTypeInfo* VariantTypeInfo();
const TTypeInfo* FloatTypeInfo(TFloatType ft);
const TTypeInfo* ClassTypeInfo(TClass cls);
const TTypeInfo* MethodTypeInfo(const void* signature);

namespace sysdetail {
template <class T> struct IsSet : std::false_type {};
template <class E, int N> struct IsSet<TSet<E, N>> : std::true_type { using Elem = E; };
template <class T> struct IsClosure : std::false_type {};
template <class Sig> struct IsClosure<TClosure<Sig>> : std::true_type {};

template <class V>
const TTypeInfo* DefaultTypeInfo() {
  if constexpr (std::is_same_v<V, bool>) return &EnumTypeInfo(static_cast<bool*>(nullptr));
  else if constexpr (std::is_enum_v<V>) return &TypeInfoOf<V>();
  else if constexpr (IsSet<V>::value) return &SetTypeInfo(TypeInfoOf<typename IsSet<V>::Elem>());
  else if constexpr (std::is_same_v<V, Int64> || std::is_same_v<V, UInt64>) return Int64TypeInfo();
  else if constexpr (std::is_same_v<V, Char>) return WideCharTypeInfo();
  else if constexpr (std::is_integral_v<V>) return IntegerTypeInfo();
  else if constexpr (std::is_same_v<V, float>) return FloatTypeInfo(ftSingle);
  else if constexpr (std::is_floating_point_v<V>) return FloatTypeInfo(ftDouble);
  else if constexpr (std::is_same_v<V, String>) return StringTypeInfo();
  else if constexpr (std::is_same_v<V, Variant>) return VariantTypeInfo();
  else if constexpr (IsClosure<V>::value) return MethodTypeInfo(V::Signature());
  else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_pointer_t<V>>)
    return ClassTypeInfo(std::remove_pointer_t<V>::StaticClass());
  else static_assert(sizeof(V) == 0, "no type information for this property type");
}

template <class T, class Acc>
decltype(auto) Read(Acc acc, T* obj) {
  if constexpr (std::is_member_object_pointer_v<Acc>) return (obj->*acc);
  else return std::invoke(acc, obj);
}
template <class T, class Acc, class V>
void Write(Acc acc, T* obj, V&& v) {
  if constexpr (std::is_member_object_pointer_v<Acc>) obj->*acc = std::forward<V>(v);
  else std::invoke(acc, obj, std::forward<V>(v));
}
}  // namespace sysdetail

template <class T>
struct TClassBuilder : TClassBuilderBase {
  static T* Self(TObject* o) { return static_cast<T*>(o); }

  // A published property. `get` is a const member function, a member field or
  // any callable taking T*; `set` likewise (nullptr for read-only). The type
  // information follows from the value type unless one is given.
  template <class G, class S>
  TPropInfo& Prop(const Char* name, G get, S set, const TTypeInfo* type = nullptr) {
    using V = std::decay_t<decltype(sysdetail::Read(get, static_cast<T*>(nullptr)))>;
    TPropInfo p;
    p.Name = name;
    p.PropType = type ? type : sysdetail::DefaultTypeInfo<V>();
    constexpr bool hasSet = !std::is_same_v<S, std::nullptr_t>;
    if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V> || std::is_integral_v<V>) {
      p.GetOrd = [get](TObject* o) { return static_cast<Int64>(sysdetail::Read(get, Self(o))); };
      if constexpr (hasSet)
        p.SetOrd = [set](TObject* o, Int64 v) { sysdetail::Write(set, Self(o), static_cast<V>(v)); };
    } else if constexpr (sysdetail::IsSet<V>::value) {
      p.GetOrd = [get](TObject* o) { return static_cast<Int64>(sysdetail::Read(get, Self(o)).ToBits()); };
      if constexpr (hasSet)
        p.SetOrd = [set](TObject* o, Int64 v) { sysdetail::Write(set, Self(o), V::FromBits(static_cast<UInt64>(v))); };
    } else if constexpr (std::is_floating_point_v<V>) {
      p.GetFloat = [get](TObject* o) { return static_cast<double>(sysdetail::Read(get, Self(o))); };
      if constexpr (hasSet)
        p.SetFloat = [set](TObject* o, double v) { sysdetail::Write(set, Self(o), static_cast<V>(v)); };
    } else if constexpr (std::is_same_v<V, String>) {
      p.GetStr = [get](TObject* o) { return String(sysdetail::Read(get, Self(o))); };
      if constexpr (hasSet)
        p.SetStr = [set](TObject* o, const String& v) { sysdetail::Write(set, Self(o), v); };
    } else if constexpr (std::is_same_v<V, Variant>) {
      p.GetVariant = [get](TObject* o) { return V(sysdetail::Read(get, Self(o))); };
      if constexpr (hasSet)
        p.SetVariant = [set](TObject* o, const V& v) { sysdetail::Write(set, Self(o), v); };
    } else if constexpr (sysdetail::IsClosure<V>::value) {
      p.GetMethod = [get](TObject* o) { return sysdetail::Read(get, Self(o)).Method(); };
      if constexpr (hasSet)
        p.SetMethod = [set](TObject* o, const TMethod& m) { sysdetail::Write(set, Self(o), V::FromMethod(m)); };
    } else {
      p.GetObj = [get](TObject* o) -> TObject* { return sysdetail::Read(get, Self(o)); };
      if constexpr (hasSet)
        p.SetObj = [set](TObject* o, TObject* v) {
          using P = std::remove_pointer_t<V>;
          sysdetail::Write(set, Self(o), static_cast<P*>(v));
        };
    }
    Props.push_back(std::move(p));
    return Props.back();
  }
  // A property read and written through the same member field.
  // (The field may belong to a base class of T.)
  template <class F, class C>
  TPropInfo& Field(const Char* name, F C::*field, const TTypeInfo* type = nullptr) {
    static_assert(std::is_base_of_v<C, T>, "the field must be a member of the class or its bases");
    return Prop(name, field, field, type);
  }

  // A property the class declares but leaves unpublished, as the platform's
  // Custom classes do; takes the arguments of Prop / Field.
  template <class... Args>
  TPropInfo& DeclareProp(const Char* name, Args&&... args) {
    Prop(name, std::forward<Args>(args)...);
    return MoveToDeclared();
  }
  template <class... Args>
  TPropInfo& DeclareField(const Char* name, Args&&... args) {
    Field(name, std::forward<Args>(args)...);
    return MoveToDeclared();
  }

  // Publishes properties that ancestors declare (published or not), in this
  // class's order, as the nearest ancestor declares each; a name no ancestor
  // declares raises EInvalidOperation naming it.
  //   BEGIN_CLASS(TcxButton, TcxCustomButton, ...)
  //     b.Publish({L"Align", L"Caption", L"OnClick"});
  //     DefaultValue(b.Publish(L"TabStop"), true);   // with a default of its own
  TPropInfo& Publish(const Char* name) {
    const TPropInfo* p = T::inherited::StaticClass()->FindDeclaredProperty(name);
    if (!p) sysdetail::RaiseUndeclaredProperty(T::StaticClass(), name);
    Props.push_back(*p);
    return Props.back();
  }
  void Publish(std::initializer_list<const Char*> names) {
    for (const Char* name : names) Publish(name);
  }

  // Lets TClassOf<Base, A...> references made from a run-time class (a class
  // read by name, the ClassType of an object) build this class with A...
  template <class... A>
  void Constructor() {
    static_assert(std::is_constructible_v<T, A...>, "the class has no constructor for these arguments");
    TObject* (*make)(A...) = [](A... args) -> TObject* { return Make<T>(std::forward<A>(args)...); };
    Constructors.push_back({SignatureTag<TObject*(A...)>(), reinterpret_cast<TCodePointer>(make)});
  }

  // A published method, bindable by name to event properties.
  template <auto MemFn>
  void Method(const Char* name) {
    Methods.push_back({name, MethodThunk<MemFn>(), MethodSignature(MemFn)});
  }

  // A message handler: a member function of T taking a reference to any
  // message record whose first field is the message number. Numbers from
  // RegisterWindowMessage ($C000..$FFFF) are refused (EInvalidOperation when
  // the table is built): they differ from session to session, and the table
  // is cached by number; such a message is handled in the class's WndProc.
  template <auto MemFn>
  void Message(unsigned msg) {
    Messages.push_back({msg, &MessageThunk<MemFn>});
  }

 private:
  template <class R, class C, class... A>
  static const void* MethodSignature(R (C::*)(A...)) { return SignatureTag<R(A...)>(); }
  template <auto MemFn, class R, class C, class... A>
  static TCodePointer MethodThunkImpl(R (C::*)(A...)) {
    return TClosure<R(A...)>::template ThunkOf<MemFn, C>();
  }
  template <auto MemFn>
  static TCodePointer MethodThunk() { return MethodThunkImpl<MemFn>(MemFn); }
  TPropInfo& MoveToDeclared() {
    Declared.push_back(std::move(Props.back()));
    Props.pop_back();
    return Declared.back();
  }
  template <class C, class M>
  static M& MessageArg(void (C::*)(M&));
  template <auto MemFn>
  static void MessageThunk(TObject* self, void* message) {
    using M = std::remove_reference_t<decltype(MessageArg(MemFn))>;
    (static_cast<T*>(self)->*MemFn)(*static_cast<M*>(message));
  }
};

// Chained modifiers on a property record.
inline TPropInfo& DefaultValue(TPropInfo& p, Int64 v) { p.HasDefault = true; p.Default = v; return p; }

// Virtual constructors for the three shapes of construction.
template <class S>
TObject* ConstructPlain(TObject*) { return sysdetail::TConstruct::Raw<S>(); }
template <class S, class Arg>
TObject* ConstructWith(TObject* arg) { return sysdetail::TConstruct::Raw<S>(static_cast<Arg*>(arg)); }

// Defines the class information of a class that used DECLARE_CLASS and opens
// the body of its publishing function, in which `b` is the builder:
//
//   BEGIN_CLASS(TButton, TWinControl, (ConstructWith<TButton, TComponent>))
//     b.Prop(L"Caption", &TButton::Caption, &TButton::SetCaption);
//     b.Prop(L"OnClick", &TButton::FOnClick, &TButton::FOnClick);
//   END_CLASS
//
// Pass nullptr as Ctor for an abstract class.
#define BEGIN_CLASS(Self, Base, Ctor)                                          \
  TClass Self::StaticClass() {                                                 \
    static const TClassInfo info{L"" #Self, Base::StaticClass(), Ctor,         \
                                 [](TClassBuilderBase& out) {                  \
                                   TClassBuilder<Self> b;                      \
                                   Self::Publish(b);                           \
                                   out = std::move(static_cast<TClassBuilderBase&>(b)); \
                                 }};                                           \
    return &info;                                                              \
  }                                                                            \
  void Self::Publish([[maybe_unused]] TClassBuilder<Self>& b) {
#define END_CLASS }

// A class with nothing published.
#define IMPLEMENT_CLASS(Self, Base, Ctor) BEGIN_CLASS(Self, Base, Ctor) END_CLASS

// Interfaces are abstract classes; Supports tests an object for one.
template <class I, class T>
I* Supports(T* obj) {
  return dynamic_cast<I*>(obj);
}
