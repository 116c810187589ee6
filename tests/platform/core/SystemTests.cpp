// The object model: class references (typed ones too), published properties
// and methods, publishing inherited properties, method pointers, message
// tables, sets, enumeration names, module steps.
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Modules.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Persistent.h"
#include "platform/core/Streams.h"
#include "platform/core/SystemLibraries.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace systest {

DECLARE_ENUM(TTone, toLow = 2, toMid, toHigh)
using TTones = TSet<TTone, 8>;

struct TMsg {
  unsigned Msg;
  int Result;
};

int g_alive = 0;

class TShape : public TPersistent {
  DECLARE_CLASS(TShape, TPersistent)
  TShape() { ++g_alive; }
  ~TShape() override { --g_alive; }
  int Width = 0;
  TTones Tones;
  TNotifyEvent OnDraw;
  void Paint(TMsg& m) { m.Result += 1; }
  void DefaultHandler(void* m) override { static_cast<TMsg*>(m)->Result = -1; }
  void AfterConstruction() override {
    if (Width < 0) throw EInvalidOperation(L"refused");
  }
};

class TSquare : public TShape {
  DECLARE_CLASS(TSquare, TShape)
  int side = 0;
  int drawn = 0;
  void Draw(TObject*) { ++drawn; }
  void PaintTwice(TMsg& m) {
    DispatchInherited(TSquare::StaticClass(), &m);
    m.Result += 10;
  }
};

class TBroken : public TShape {
  DECLARE_CLASS(TBroken, TShape)
  TBroken() { Width = -1; }
};

BEGIN_CLASS(TShape, TPersistent, (ConstructPlain<TShape>))
  b.Field(L"Width", &TShape::Width);
  b.Field(L"Tones", &TShape::Tones);
  b.Field(L"OnDraw", &TShape::OnDraw);
  b.Message<&TShape::Paint>(WM_PAINT);
END_CLASS

BEGIN_CLASS(TSquare, TShape, (ConstructPlain<TSquare>))
  b.Field(L"Width", &TShape::Width);  // republished from the base: keeps its place
  b.Field(L"Side", &TSquare::side);
  b.Method<&TSquare::Draw>(L"Draw");
  b.Message<&TSquare::PaintTwice>(WM_PAINT);
END_CLASS

IMPLEMENT_CLASS(TBroken, TShape, (ConstructPlain<TBroken>))

TEST(ObjectModel, ClassReferencesConstructAndKnowTheirAncestry) {
  TObject* o = TSquare::StaticClass()->NewInstance();
  EXPECT_EQ(o->ClassName(), L"TSquare");
  EXPECT_EQ(o->ClassParent(), TShape::StaticClass());
  EXPECT_TRUE(o->InheritsFrom(TPersistent::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TSquare::StaticClass()));
  TObject::Free(o);
  EXPECT_THROW(TObject::StaticClass()->NewInstance(), EInvalidOperation) << "abstract";
}

TEST(ObjectModel, FailedAfterConstructionFreesTheObject) {
  const int before = g_alive;
  EXPECT_THROW(TBroken::StaticClass()->NewInstance(), EInvalidOperation);
  EXPECT_EQ(g_alive, before);
}

TEST(ObjectModel, ASmartPointerFreesThroughFree) {
  struct TWatched : TObject {
    bool* seen;
    explicit TWatched(bool* s) : seen(s) {}
    void BeforeDestruction() override { *seen = true; }
  };
  bool seen = false;
  { TObjectPtr<TWatched> p(Make<TWatched>(&seen)); }
  EXPECT_TRUE(seen) << "BeforeDestruction runs, as with any other owner";
}

TEST(ObjectModel, AProgramIsNoLibrary) { EXPECT_FALSE(IsLibrary()); }

TEST(ObjectModel, PublishedPropertiesInheritedInOrder) {
  std::vector<String> names;
  for (const TPropInfo* p : TSquare::StaticClass()->Properties()) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<String>{L"Width", L"Tones", L"OnDraw", L"Side"}));

  TSquare sq;
  const TPropInfo* tones = TSquare::StaticClass()->FindProperty(L"tones");
  ASSERT_NE(tones, nullptr);
  EXPECT_EQ(tones->Kind(), tkSet);
  EXPECT_EQ(tones->PropType->CompType->Name, L"TTone");
  tones->SetOrd(&sq, TTones{toHigh}.ToBits());
  EXPECT_TRUE(sq.Tones.Contains(toHigh));
  EXPECT_FALSE(sq.Tones.Contains(toLow));
}

TEST(ObjectModel, EventsBindToPublishedMethodsByName) {
  TSquare sq;
  const TPublishedMethod* m = TSquare::StaticClass()->FindMethod(L"DRAW");
  ASSERT_NE(m, nullptr);
  TSquare::StaticClass()->FindProperty(L"OnDraw")->SetMethod(&sq, {m->Code, &sq, m->Signature});
  ASSERT_TRUE(sq.OnDraw.Assigned());
  sq.OnDraw(&sq);
  EXPECT_EQ(sq.drawn, 1);
  EXPECT_TRUE(sq.OnDraw == TNotifyEvent::Bind<&TSquare::Draw>(&sq)) << "same object, same method";
  TSquare other;
  EXPECT_FALSE(sq.OnDraw == TNotifyEvent::Bind<&TSquare::Draw>(&other));
  EXPECT_EQ(TSquare::StaticClass()->FindMethodByCode(m->Code), m);

  // A method of another shape is refused rather than called with wrong arguments.
  const auto wrong = TClosure<void(int)>::FromMethod({m->Code, &sq, m->Signature});
  EXPECT_FALSE(wrong.Assigned());
}

TEST(ObjectModel, MessagesFindTheMostDerivedHandler) {
  TSquare sq;
  TMsg paint{WM_PAINT, 0};
  sq.Dispatch(&paint);
  EXPECT_EQ(paint.Result, 11) << "derived handler passed the message to the base one";
  TMsg other{WM_SIZE, 0};
  sq.Dispatch(&other);
  EXPECT_EQ(other.Result, -1) << "no handler: DefaultHandler";
  TShape sh;
  TMsg base{WM_PAINT, 0};
  sh.Dispatch(&base);
  EXPECT_EQ(base.Result, 1);
}

TEST(ObjectModel, EnumerationNamesAndSets) {
  const TTypeInfo& t = TypeInfoOf<TTone>();
  EXPECT_EQ(t.MinValue, 2);
  EXPECT_EQ(t.MaxValue, 4);
  EXPECT_EQ(EnumName(toMid), L"toMid");
  EXPECT_EQ(t.ValueOf(L"TOHIGH"), toHigh);
  EXPECT_EQ(t.ValueOf(L"toNone"), -1);
  EXPECT_EQ(t.NameOf(1), L"");

  const TTones a{toLow, toMid}, b{toMid, toHigh};
  EXPECT_TRUE((a + b) == TTones({toLow, toMid, toHigh}));
  EXPECT_TRUE((a - b) == TTones({toLow}));
  EXPECT_TRUE((a * b) == TTones({toMid}));
  EXPECT_TRUE(TTones{toMid} <= a);
  EXPECT_FALSE(a <= b);
  EXPECT_TRUE(TTones::FromBits(a.ToBits()) == a);
}

// ---------------------------------------------------------------------------
// Typed class references
// ---------------------------------------------------------------------------

DECLARE_ENUM(TLookState, lsNormal, lsActive, lsDisabled)

// A family built like the container styles: owner, state, parent style and a
// flag, through a reference to whichever class a virtual function answers.
class TLook : public TPersistent {
  DECLARE_CLASS(TLook, TPersistent)
  TLook(TPersistent* owner, TLookState state, TLook* parentLook, bool direct)
      : Owner(owner), State(state), ParentLook(parentLook), Direct(direct) {}
  virtual String Kind() const { return L"look"; }
  void AfterConstruction() override { CompletedAs = Kind(); }
  TPersistent* Owner;
  TLookState State;
  TLook* ParentLook;
  bool Direct;
  String CompletedAs;
};
class TEditLook : public TLook {
  DECLARE_CLASS(TEditLook, TLook)
  using TLook::TLook;
  String Kind() const override { return L"edit"; }
};
// Registers no constructor: only references made at compile time build it.
class TPlainLook : public TLook {
  DECLARE_CLASS(TPlainLook, TLook)
  using TLook::TLook;
};
class TAbstractLook : public TLook {
  DECLARE_CLASS(TAbstractLook, TLook)
  using TLook::TLook;
  String Kind() const override = 0;
};

using TLookClass = TClassOf<TLook, TPersistent*, TLookState, TLook*, bool>;
using TEditLookClass = TClassOf<TEditLook, TPersistent*, TLookState, TLook*, bool>;

BEGIN_CLASS(TLook, TPersistent, nullptr)
  b.Constructor<TPersistent*, TLookState, TLook*, bool>();
END_CLASS
BEGIN_CLASS(TEditLook, TLook, nullptr)
  b.Constructor<TPersistent*, TLookState, TLook*, bool>();
END_CLASS
IMPLEMENT_CLASS(TPlainLook, TLook, nullptr)
IMPLEMENT_CLASS(TAbstractLook, TLook, nullptr)

TEST(ClassReferences, TypedReferencesBuildTheReferencedClassWithAllArguments) {
  TShape owner;
  const TLookClass cls = TLookClass::Of<TEditLook>();
  Owned<TLook> normal(cls.Create(&owner, lsNormal, nullptr, true));
  Owned<TLook> active(cls.Create(&owner, lsActive, normal.get(), false));
  EXPECT_EQ(normal->ClassType(), TEditLook::StaticClass());
  EXPECT_EQ(active->CompletedAs, L"edit") << "completed as Make<T> does: the override runs";
  EXPECT_EQ(active->Owner, &owner);
  EXPECT_EQ(active->State, lsActive);
  EXPECT_EQ(active->ParentLook, normal.get());
  EXPECT_TRUE(normal->Direct);
  EXPECT_FALSE(active->Direct);

  // Compared and converted like the class record it holds.
  const TClass plain = cls;
  EXPECT_EQ(plain, TEditLook::StaticClass());
  EXPECT_TRUE(cls == TEditLook::StaticClass());
  EXPECT_TRUE(cls != TLookClass::Of<TLook>());
  EXPECT_TRUE(cls.InheritsFrom(TLook::StaticClass()));
  EXPECT_EQ(cls->Name, String(L"TEditLook"));
  const TLookClass widened = TEditLookClass::Of<TEditLook>();
  EXPECT_TRUE(widened == cls) << "a descendant family's reference serves as its base family's";

  const TLookClass none;
  EXPECT_FALSE(none);
  EXPECT_TRUE(none == nullptr);
  EXPECT_THROW(none.Create(&owner, lsNormal, nullptr, false), EInvalidOperation);
  EXPECT_THROW(TLookClass::Of<TAbstractLook>().Create(&owner, lsNormal, nullptr, false), EInvalidOperation);
}

TEST(ClassReferences, ReferencesFromRunTimeClassesUseTheClassesOwnConstructors) {
  TShape owner;
  Owned<TLook> first(TLookClass::Of<TEditLook>().Create(&owner, lsNormal, nullptr, false));
  // "A new one of the same class", from an object's class record.
  Owned<TLook> twin(TLookClass(first->ClassType()).Create(&owner, lsDisabled, first.get(), false));
  EXPECT_EQ(twin->ClassType(), TEditLook::StaticClass());
  EXPECT_EQ(twin->CompletedAs, L"edit");
  EXPECT_EQ(twin->State, lsDisabled);

  // A class without a constructor of its own for these arguments must not
  // quietly become its ancestor.
  EXPECT_THROW(TLookClass(TPlainLook::StaticClass()).Create(&owner, lsNormal, nullptr, false), EInvalidOperation);
  EXPECT_THROW(TLookClass(TShape::StaticClass()), EInvalidCast) << "not of the family";
  EXPECT_FALSE(TLookClass(static_cast<TClass>(nullptr)));

  // One object argument: the virtual constructor the component stream uses.
  using TComponentClass = TClassOf<TComponent, TComponent*>;
  Owned<TComponent> parent(TComponentClass(TComponent::StaticClass()).Create(nullptr));
  TComponent* child = TComponentClass(TComponent::StaticClass()).Create(parent.get());
  EXPECT_EQ(child->Owner(), parent.get());
}

// ---------------------------------------------------------------------------
// Publishing inherited properties
// ---------------------------------------------------------------------------

// The Custom class declares its properties; the concrete class publishes
// some of them in an order of its own, one with a default of its own.
class TCustomGauge : public TComponent {
  DECLARE_CLASS(TCustomGauge, TComponent)
  using TComponent::TComponent;
  int Min = 0, Max = 0, Position = 0;
  String Caption;
};
class TGauge : public TCustomGauge {
  DECLARE_CLASS(TGauge, TCustomGauge)
  explicit TGauge(TComponent* owner) : TCustomGauge(owner) { Max = 100; }
};
class TBigGauge : public TGauge {
  DECLARE_CLASS(TBigGauge, TGauge)
  using TGauge::TGauge;
};

BEGIN_CLASS(TCustomGauge, TComponent, (ConstructWith<TCustomGauge, TComponent>))
  b.DeclareField(L"Min", &TCustomGauge::Min);
  DefaultValue(b.DeclareField(L"Max", &TCustomGauge::Max), 0);
  b.DeclareField(L"Position", &TCustomGauge::Position);
  b.DeclareField(L"Caption", &TCustomGauge::Caption);
END_CLASS
BEGIN_CLASS(TGauge, TCustomGauge, (ConstructWith<TGauge, TComponent>))
  b.Publish({L"Caption", L"Position"});
  DefaultValue(b.Publish(L"Max"), 100);
END_CLASS
BEGIN_CLASS(TBigGauge, TGauge, (ConstructWith<TBigGauge, TComponent>))
  b.Publish(L"Min");
END_CLASS

std::vector<String> PropertyNames(TClass cls) {
  std::vector<String> names;
  for (const TPropInfo* p : cls->Properties()) names.push_back(p->Name);
  return names;
}

TEST(PublishingInheritedProperties, OnlyThePublishedOnesAreStreamedInTheConcreteClassOrder) {
  EXPECT_EQ(PropertyNames(TCustomGauge::StaticClass()), PropertyNames(TComponent::StaticClass()))
      << "declared, not published";
  EXPECT_EQ(TCustomGauge::StaticClass()->FindProperty(L"Position"), nullptr);
  EXPECT_EQ(PropertyNames(TGauge::StaticClass()),
            (std::vector<String>{L"Name", L"Tag", L"Caption", L"Position", L"Max"}));
  EXPECT_EQ(PropertyNames(TBigGauge::StaticClass()),
            (std::vector<String>{L"Name", L"Tag", L"Caption", L"Position", L"Max", L"Min"}));

  Owned<TGauge> gauge(Make<TGauge>(nullptr));
  gauge->SetName(L"Gauge1");
  gauge->Min = 5;
  gauge->Position = 40;
  gauge->Caption = L"Load";
  TMemoryStream bin, text;
  WriteComponentToStream(&bin, gauge.get());
  bin.SetPosition(0);
  ObjectBinaryToText(&bin, &text);
  const std::string written(static_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
  EXPECT_EQ(written, "object Gauge1: TGauge\r\n  Caption = 'Load'\r\n  Position = 40\r\nend\r\n")
      << "Min is not published; Max keeps the concrete class's default";

  gauge->Max = 7;
  bin.SetSize(0);
  WriteComponentToStream(&bin, gauge.get());
  bin.SetPosition(0);
  Owned<TGauge> back(Make<TGauge>(nullptr));
  ReadComponentFromStream(&bin, back.get());
  EXPECT_EQ(back->Caption, L"Load");
  EXPECT_EQ(back->Position, 40);
  EXPECT_EQ(back->Max, 7);
  EXPECT_EQ(back->Min, 0);
}

TEST(PublishingInheritedProperties, ANameNoAncestorDeclaresIsRefusedByName) {
  TClassBuilder<TGauge> b;
  try {
    b.Publish({L"Position", L"Maximum"});
    ADD_FAILURE() << "published an undeclared name";
  } catch (const EInvalidOperation& e) {
    EXPECT_NE(e.Message.find(L"Maximum"), String::npos) << e.Message;
  }
  TClassBuilder<TCustomGauge> own;
  EXPECT_THROW(own.Publish(L"Caption"), EInvalidOperation) << "a class's own declarations are not its ancestors'";
}

// ---------------------------------------------------------------------------

std::vector<std::string> g_steps;
bool g_failB = false;

TEST(ModuleSteps, StartInOrderStopInReverseAndUndoAFailedStart) {
  g_steps.clear();
  static const TModuleStep steps[] = {
      {L"test.A", [] { g_steps.push_back("+A"); }, [] { g_steps.push_back("-A"); }},
      {L"test.B",
       [] {
         if (g_failB) throw EInvalidOperation(L"B failed");
         g_steps.push_back("+B");
       },
       [] { g_steps.push_back("-B"); }},
  };
  // The observer hears of each step that runs, before and after it.
  SetModuleStepObserver([](const TModuleStep& step, bool finished) {
    g_steps.push_back((finished ? ">" : "<") + std::string(1, char(step.Name[5])));
  });
  g_failB = true;
  EXPECT_THROW(InitializeModules(steps), EInvalidOperation);
  EXPECT_EQ(g_steps, (std::vector<std::string>{"<A", "+A", ">A", "<B", "-A"}));
  EXPECT_FALSE(IsModuleInitialized(L"test.A"));

  g_failB = false;
  g_steps.clear();
  InitializeModules(steps);
  InitializeModules(steps);  // a second start of the same steps does nothing
  SetModuleStepObserver(nullptr);
  EXPECT_TRUE(IsModuleInitialized(L"test.B"));
  EXPECT_EQ(g_steps, (std::vector<std::string>{"<A", "+A", ">A", "<B", "+B", ">B"}));
}

TEST(SystemLibraries, BindsAnEntryOnFirstUseAndAnswersNullForWhatIsMissing) {
  const auto beep = SystemLibraryFunction<decltype(&MessageBeep)>(L"user32.dll", "MessageBeep");
  EXPECT_EQ(reinterpret_cast<FARPROC>(beep), GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBeep"));
  // A DLL not loaded yet is loaded, and stays.
  const FARPROC compress = SystemLibraryProc(L"cabinet.dll", "FDICreate");
  ASSERT_NE(compress, nullptr);
  EXPECT_NE(GetModuleHandleW(L"cabinet.dll"), nullptr);
  EXPECT_EQ(SystemLibraryProc(L"user32.dll", "NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(SystemLibraryProc(L"no-such-library.dll", "Anything"), nullptr);
}

}  // namespace systest
