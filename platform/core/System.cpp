#include "platform/core/System.h"
#include "platform/core/Persistent.h"
#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"
#include "platform/WinApi.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

// TObject has no published parts and no parent.
TClass TObject::StaticClass() {
  static const TClassInfo info{L"TObject", nullptr, nullptr, nullptr};
  return &info;
}

TObject::~TObject() = default;

void TObject::Free(TObject* obj) {
  if (!obj) return;
  obj->BeforeDestruction();
  delete obj;
}

namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

struct ClassTables {
  TClassBuilderBase own;
  std::vector<const TPropInfo*> all;
};

// Class tables are built on first use and live for the process. The UI runs
// on one thread, but streaming may happen on a worker (tools, tests), so the
// first build is serialised.
std::recursive_mutex& TablesMutex() {
  static std::recursive_mutex m;
  return m;
}

const ClassTables& TablesOf(TClass cls) {
  static std::map<TClass, std::unique_ptr<ClassTables>>* tables = new std::map<TClass, std::unique_ptr<ClassTables>>;
  std::lock_guard<std::recursive_mutex> lock(TablesMutex());
  auto it = tables->find(cls);
  if (it != tables->end()) return *it->second;
  auto t = std::make_unique<ClassTables>();
  if (cls->Declare) cls->Declare(t->own);
  for (const TMessageEntry& m : t->own.Messages)
    if (m.Msg >= 0xC000 && m.Msg <= 0xFFFF)
      throw EInvalidOperation(String(cls->Name) + L": message $" + IntToHex(static_cast<int>(m.Msg), 4) +
                              L" is a registered window message; handle it in WndProc, not in the message table");
  ClassTables* raw = t.get();
  tables->emplace(cls, std::move(t));
  return *raw;
}


}  // namespace

const std::vector<const TPropInfo*>& TClassInfo::Properties() const {
  // Ancestors first; a descendant that republishes a name replaces the
  // ancestor's entry in place, keeping the stream order stable.
  static std::map<TClass, std::vector<const TPropInfo*>>* all = new std::map<TClass, std::vector<const TPropInfo*>>;
  {
    std::lock_guard<std::recursive_mutex> lock(TablesMutex());
    auto it = all->find(this);
    if (it != all->end()) return it->second;
  }
  std::vector<const TPropInfo*> list;
  if (Parent) list = Parent->Properties();
  for (const TPropInfo& p : TablesOf(this).own.Props) {
    auto same = std::find_if(list.begin(), list.end(), [&](const TPropInfo* q) { return SameName(q->Name, p.Name); });
    if (same != list.end())
      *same = &p;
    else
      list.push_back(&p);
  }
  std::lock_guard<std::recursive_mutex> lock(TablesMutex());
  return all->emplace(this, std::move(list)).first->second;
}

const TPropInfo* TClassInfo::FindProperty(std::wstring_view name) const {
  for (const TPropInfo* p : Properties())
    if (SameName(p->Name, name)) return p;
  return nullptr;
}

const TPropInfo* TClassInfo::FindDeclaredProperty(std::wstring_view name) const {
  // The nearest declaration wins: a class that republished a property with a
  // default of its own passes that on.
  for (TClass c = this; c; c = c->Parent) {
    const TClassBuilderBase& own = TablesOf(c).own;
    for (const std::vector<TPropInfo>* list : {&own.Props, &own.Declared})
      for (const TPropInfo& p : *list)
        if (SameName(p.Name, name)) return &p;
  }
  return nullptr;
}

TCodePointer TClassInfo::FindConstructor(const void* signature) const {
  for (const TClassBuilderBase::TConstructorEntry& e : TablesOf(this).own.Constructors)
    if (e.Signature == signature) return e.Code;
  return nullptr;
}

namespace sysdetail {

void RaiseCannotCreate(TClass cls) {
  if (!cls) throw EInvalidOperation(L"Cannot create an instance through a nil class reference");
  if (!cls->Create) throw EInvalidOperation(String(L"Cannot create an instance of abstract class ") + cls->Name);
  throw EInvalidOperation(String(L"Class ") + cls->Name + L" has no constructor for these arguments");
}

void RaiseNotDescendant(TClass cls, TClass base) {
  throw EInvalidCast(String(L"Class ") + cls->Name + L" is no descendant of " + base->Name);
}

void RaiseUndeclaredProperty(TClass cls, const Char* name) {
  throw EInvalidOperation(String(L"Property ") + name + L" cannot be published: no ancestor of " + cls->Name +
                          L" declares it");
}

}  // namespace sysdetail

const TPublishedMethod* TClassInfo::FindMethod(std::wstring_view name) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TPublishedMethod& m : TablesOf(c).own.Methods)
      if (SameName(m.Name, name)) return &m;
  return nullptr;
}

const TPublishedMethod* TClassInfo::FindMethodByCode(TCodePointer code) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TPublishedMethod& m : TablesOf(c).own.Methods)
      if (m.Code == code) return &m;
  return nullptr;
}

TMessageHandler TClassInfo::FindMessageHandler(unsigned msg) const {
  // Every message of every control comes through here: the handlers of the
  // class chain are merged once (the most derived handler of a number wins)
  // and looked up by binary search afterwards.
  auto* table = static_cast<const std::vector<TMessageEntry>*>(MessageCache.load(std::memory_order_acquire));
  if (!table) {
    std::lock_guard<std::recursive_mutex> lock(TablesMutex());
    table = static_cast<const std::vector<TMessageEntry>*>(MessageCache.load(std::memory_order_acquire));
    if (!table) {
      auto* merged = new std::vector<TMessageEntry>;  // lives as long as the class
      for (TClass c = this; c; c = c->Parent)
        for (const TMessageEntry& m : TablesOf(c).own.Messages)
          if (std::none_of(merged->begin(), merged->end(), [&](const TMessageEntry& e) { return e.Msg == m.Msg; }))
            merged->push_back(m);
      std::sort(merged->begin(), merged->end(),
                [](const TMessageEntry& a, const TMessageEntry& b) { return a.Msg < b.Msg; });
      MessageCache.store(merged, std::memory_order_release);
      table = merged;
    }
  }
  auto it = std::lower_bound(table->begin(), table->end(), msg,
                             [](const TMessageEntry& e, unsigned m) { return e.Msg < m; });
  return it != table->end() && it->Msg == msg ? it->Handler : nullptr;
}

void TObject::Dispatch(void* message) {
  const unsigned msg = *static_cast<const unsigned*>(message);
  if (TMessageHandler h = ClassType()->FindMessageHandler(msg))
    h(this, message);
  else
    DefaultHandler(message);
}

void TObject::DispatchInherited(TClass handlerClass, void* message) {
  const unsigned msg = *static_cast<const unsigned*>(message);
  TMessageHandler h = handlerClass->Parent ? handlerClass->Parent->FindMessageHandler(msg) : nullptr;
  if (h)
    h(this, message);
  else
    DefaultHandler(message);
}

void TObject::DefaultHandler(void*) {}

TObject* TClassInfo::NewInstance(TObject* arg) const {
  if (!Create) throw EInvalidOperation(String(L"Cannot create an instance of abstract class ") + Name);
  TObject* obj = Create(arg);
  CompleteConstruction(obj);
  return obj;
}

void CompleteConstruction(TObject* obj) {
  try {
    obj->AfterConstruction();
  } catch (...) {
    // As with a constructor that raises, the half-made object goes away
    // through its destructor and the exception goes on.
    delete obj;
    throw;
  }
}

bool TPropInfo::IsReadOnly() const {
  return !(SetOrd || SetFloat || SetStr || SetVariant || SetObj || SetMethod);
}

// ---------------------------------------------------------------------------
// Type information
// ---------------------------------------------------------------------------

String TTypeInfo::NameOf(int value) const {
  if (value < MinValue || value - MinValue >= static_cast<int>(Names.size())) return String();
  return Names[value - MinValue];
}

int TTypeInfo::ValueOf(std::wstring_view name) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameName(Names[i], name)) return MinValue + static_cast<int>(i);
  return -1;
}

TTypeInfo MakeEnumTypeInfo(const Char* typeName, const Char* valueList) {
  TTypeInfo info;
  info.Kind = tkEnumeration;
  info.Name = typeName;
  std::wstring_view rest(valueList);
  bool first = true;
  int next = 0;
  auto trim = [](std::wstring_view s) {
    while (!s.empty() && iswspace(s.front())) s.remove_prefix(1);
    while (!s.empty() && iswspace(s.back())) s.remove_suffix(1);
    return s;
  };
  while (!rest.empty()) {
    size_t comma = rest.find(L',');
    std::wstring_view item = trim(rest.substr(0, comma));
    rest = comma == std::wstring_view::npos ? std::wstring_view() : rest.substr(comma + 1);
    if (item.empty()) continue;
    size_t eq = item.find(L'=');
    std::wstring_view name = trim(item.substr(0, eq));
    if (eq != std::wstring_view::npos) {
      int v = std::stoi(String(trim(item.substr(eq + 1))), nullptr, 0);
      if (first) {
        info.MinValue = v;
        next = v;
      }
      // Gaps would make the name table lie about ordinals.
      if (v != next) std::abort();
    }
    info.Names.emplace_back(name);
    first = false;
    ++next;
  }
  info.MaxValue = info.MinValue + static_cast<int>(info.Names.size()) - 1;
  return info;
}

const TTypeInfo& SetTypeInfo(const TTypeInfo& elementType) {
  static std::map<const TTypeInfo*, std::unique_ptr<TTypeInfo>>* sets =
      new std::map<const TTypeInfo*, std::unique_ptr<TTypeInfo>>;
  std::lock_guard<std::recursive_mutex> lock(TablesMutex());
  auto& slot = (*sets)[&elementType];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = tkSet;
    slot->Name = L"set of " + elementType.Name;
    slot->CompType = &elementType;
  }
  return *slot;
}

namespace {
TTypeInfo MakeSimple(TTypeKind kind, const Char* name) {
  TTypeInfo t;
  t.Kind = kind;
  t.Name = name;
  return t;
}
}  // namespace

const TTypeInfo* IntegerTypeInfo() {
  static const TTypeInfo t = [] {
    TTypeInfo i = MakeSimple(tkInteger, L"Integer");
    i.MinValue = INT32_MIN;
    i.MaxValue = INT32_MAX;
    return i;
  }();
  return &t;
}

const TTypeInfo* Int64TypeInfo() {
  static const TTypeInfo t = MakeSimple(tkInt64, L"Int64");
  return &t;
}

const TTypeInfo* StringTypeInfo() {
  static const TTypeInfo t = MakeSimple(tkUString, L"string");
  return &t;
}

const TTypeInfo* WideCharTypeInfo() {
  static const TTypeInfo t = [] {
    TTypeInfo c = MakeSimple(tkWChar, L"Char");
    c.MinValue = 0;
    c.MaxValue = 0xFFFF;
    return c;
  }();
  return &t;
}

const TTypeInfo* VariantTypeInfo() {
  static const TTypeInfo t = MakeSimple(tkVariant, L"Variant");
  return &t;
}

const TTypeInfo* FloatTypeInfo(TFloatType ft) {
  static const TTypeInfo types[] = {
      [] { TTypeInfo t = MakeSimple(tkFloat, L"Single"); t.FloatType = ftSingle; return t; }(),
      [] { TTypeInfo t = MakeSimple(tkFloat, L"Double"); t.FloatType = ftDouble; return t; }(),
      [] { TTypeInfo t = MakeSimple(tkFloat, L"Extended"); t.FloatType = ftExtended; return t; }(),
      [] { TTypeInfo t = MakeSimple(tkFloat, L"Comp"); t.FloatType = ftComp; return t; }(),
      [] { TTypeInfo t = MakeSimple(tkFloat, L"Currency"); t.FloatType = ftCurr; return t; }(),
  };
  return &types[ft];
}

const TTypeInfo* ClassTypeInfo(TClass cls) {
  static std::map<TClass, std::unique_ptr<TTypeInfo>>* types = new std::map<TClass, std::unique_ptr<TTypeInfo>>;
  std::lock_guard<std::recursive_mutex> lock(TablesMutex());
  auto& slot = (*types)[cls];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>(MakeSimple(tkClass, cls->Name));
    slot->ClassType = cls;
  }
  return slot.get();
}

const TTypeInfo* MethodTypeInfo(const void* signature) {
  static std::map<const void*, std::unique_ptr<TTypeInfo>>* types = new std::map<const void*, std::unique_ptr<TTypeInfo>>;
  std::lock_guard<std::recursive_mutex> lock(TablesMutex());
  auto& slot = (*types)[signature];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>(MakeSimple(tkMethod, L"TMethod"));
    slot->Signature = signature;
  }
  return slot.get();
}

bool IsLibrary() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&IsLibrary), &self);
  return self != nullptr && self != GetModuleHandleW(nullptr);
}
