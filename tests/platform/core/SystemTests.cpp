// The object model: class references, published properties and methods,
// method pointers, message tables, sets, enumeration names, module steps.
#include "platform/core/Exceptions.h"
#include "platform/core/Modules.h"
#include "platform/core/Persistent.h"

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
  { TObjectPtr<TWatched> p(new TWatched(&seen)); }
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
  g_failB = true;
  EXPECT_THROW(InitializeModules(steps), EInvalidOperation);
  EXPECT_EQ(g_steps, (std::vector<std::string>{"+A", "-A"}));
  EXPECT_FALSE(IsModuleInitialized(L"test.A"));

  g_failB = false;
  g_steps.clear();
  InitializeModules(steps);
  InitializeModules(steps);  // a second start of the same steps does nothing
  EXPECT_TRUE(IsModuleInitialized(L"test.B"));
  EXPECT_EQ(g_steps, (std::vector<std::string>{"+A", "+B"}));
}

}  // namespace systest
