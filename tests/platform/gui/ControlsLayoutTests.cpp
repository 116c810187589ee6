// Alignment and anchors of child controls; focus, enter/exit and tab order.
#include "tests/platform/gui/ControlsTestSupport.h"

#include "platform/core/Lists.h"

namespace {

using namespace ctltest;

// ---------------------------------------------------------------------------
// Alignment
// ---------------------------------------------------------------------------

struct AlignCase {
  int w, h;
};

class ControlsAlignTest : public ControlsTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(ControlsAlignTest, ChildrenTakeTheirAlignedAndAnchoredRectangles) {
  MakeRoot(400, 300);
  auto add = [this](TControl* c, const wchar_t* name) {
    c->SetName(name);
    c->SetParent(root);
    return c;
  };
  TControl* t1 = add(Make<TCtlPanel>(root), L"T1");
  t1->SetBounds(0, 200, 10, 20);
  t1->SetAlign(alTop);
  TControl* t2 = add(Make<TCtlPanel>(root), L"T2");
  t2->SetBounds(0, 250, 10, 30);   // below T1: placed after it
  t2->SetAlign(alTop);
  TControl* b = add(Make<TCtlPanel>(root), L"B");
  b->SetBounds(0, 0, 10, 25);
  b->SetAlign(alBottom);
  TControl* l = add(Make<TCtlGraphic>(root), L"L");
  l->SetBounds(0, 0, 40, 10);
  l->SetAlign(alLeft);
  TControl* r = add(Make<TCtlPanel>(root), L"R");
  r->SetBounds(0, 0, 50, 10);
  r->SetAlign(alRight);
  TControl* c = add(Make<TCtlPanel>(root), L"C");
  c->SetAlign(alClient);
  TControl* x = add(Make<TCtlPanel>(root), L"X");
  x->SetAnchors({akRight, akBottom});
  x->SetBounds(330, 240, 40, 30);
  TControl* y = add(Make<TCtlGraphic>(root), L"Y");
  y->SetAnchors({akLeft, akTop, akRight});
  y->SetBounds(10, 100, 380, 10);
  TControl* z = add(Make<TCtlPanel>(root), L"Z");
  z->SetAnchors({});
  z->SetBounds(100, 100, 20, 10);

  const int W = GetParam().w, H = GetParam().h;
  root->SetBounds(0, 0, W, H);
  ASSERT_EQ(root->ClientRect(), TRect(0, 0, W, H));

  EXPECT_EQ(t1->BoundsRect(), TRect(0, 0, W, 20));
  EXPECT_EQ(t2->BoundsRect(), TRect(0, 20, W, 50));
  EXPECT_EQ(b->BoundsRect(), TRect(0, H - 25, W, H));
  EXPECT_EQ(l->BoundsRect(), TRect(0, 50, 40, H - 25));
  EXPECT_EQ(r->BoundsRect(), TRect(W - 50, 50, W, H - 25));
  EXPECT_EQ(c->BoundsRect(), TRect(40, 50, W - 50, H - 25));
  EXPECT_EQ(x->BoundsRect(), TRect(W - 70, H - 60, W - 30, H - 30));
  EXPECT_EQ(y->BoundsRect(), TRect(10, 100, W - 10, 110));
  const int zl = MulDiv(110, W, 400) - 10, zt = MulDiv(105, H, 300) - 5;
  EXPECT_EQ(z->BoundsRect(), TRect(zl, zt, zl + 20, zt + 10));
  // The windows agree with the controls.
  RECT wr;
  GetWindowRect(static_cast<TWinControl*>(c)->Handle(), &wr);
  MapWindowPoints(nullptr, root->Handle(), reinterpret_cast<POINT*>(&wr), 2);
  EXPECT_EQ(TRect(wr.left, wr.top, wr.right, wr.bottom), c->BoundsRect());

  // A hidden control gives its place to the others.
  t1->Hide();
  EXPECT_EQ(t2->BoundsRect(), TRect(0, 0, W, 30));
  EXPECT_EQ(c->BoundsRect(), TRect(40, 30, W - 50, H - 25));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ControlsAlignTest,
                         ::testing::Values(AlignCase{400, 300}, AlignCase{500, 360}, AlignCase{300, 200}));

using ControlsAlignBehaviourTest = ControlsTest;

TEST_F(ControlsAlignBehaviourTest, DisabledAlignmentWaitsForEnableAlign) {
  MakeRoot(400, 300);
  auto* c = Make<TCtlPanel>(root);
  c->SetParent(root);
  c->SetAlign(alClient);
  root->DisableAlign();
  root->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(c->BoundsRect(), TRect(0, 0, 400, 300));
  root->EnableAlign();
  EXPECT_EQ(c->BoundsRect(), TRect(0, 0, 200, 100));
}

TEST_F(ControlsAlignBehaviourTest, AControlHeldByItsConstraintsLeavesTheRestToTheOthers) {
  MakeRoot(400, 300);
  auto* top = Make<TCtlPanel>(root);
  top->SetParent(root);
  top->SetAlign(alTop);
  top->SetHeight(40);
  top->Constraints()->SetMaxHeight(15);
  auto* client = Make<TCtlPanel>(root);
  client->SetParent(root);
  client->SetAlign(alClient);
  client->Constraints()->SetMaxWidth(300);
  EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 400, 15));
  EXPECT_EQ(client->BoundsRect(), TRect(0, 15, 300, 300));
}

TEST_F(ControlsAlignBehaviourTest, BorderWidthShrinksTheClientArea) {
  MakeRoot(400, 300);
  auto* c = Make<TCtlPanel>(root);
  c->SetParent(root);
  c->SetAlign(alClient);
  root->SetBorderWidth(5);
  EXPECT_EQ(root->ClientRect(), TRect(0, 0, 390, 290));
  EXPECT_EQ(c->BoundsRect(), TRect(0, 0, 390, 290));
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

class ControlsFocusTest : public ControlsTest {
 protected:
  TCtlPanel *e1, *e2, *p, *e3;
  void Build() {
    MakeRoot(400, 300);
    SetForegroundWindow(host->Handle());
    e1 = Named(Make<TCtlPanel>(root), L"E1");
    e2 = Named(Make<TCtlPanel>(root), L"E2");
    p = Named(Make<TCtlPanel>(root), L"P");
    e3 = Named(Make<TCtlPanel>(root), L"E3");
    for (TCtlPanel* c : {e1, e2, p}) c->SetParent(root);
    e3->SetParent(p);
    int x = 0;
    for (TCtlPanel* c : {e1, e2, p, e3}) {
      c->SetBounds(x, 0, 40, 40);
      x += 50;
      LogEvents(c);
    }
    e1->SetTabStop(true);
    e2->SetTabStop(true);
    e3->SetTabStop(true);
    Log().clear();
  }
};

TEST_F(ControlsFocusTest, EnterAndExitRunAlongThePathBetweenTheControls) {
  Build();
  e1->SetFocus();
  EXPECT_TRUE(e1->Focused());
  e3->SetFocus();
  EXPECT_TRUE(e3->Focused());
  e2->SetFocus();
  EXPECT_EQ(Log(), (std::vector<std::wstring>{L"enter:E1", L"exit:E1", L"enter:P", L"enter:E3", L"exit:E3",
                                              L"exit:P", L"enter:E2"}));
}

TEST_F(ControlsFocusTest, HidingTheFocusedControlMovesTheFocusAwayAndItCannotBeFocused) {
  Build();
  e2->SetFocus();
  Log().clear();
  e2->Hide();
  EXPECT_FALSE(e2->Focused());
  EXPECT_EQ(Log(), (std::vector<std::wstring>{L"exit:E2"}));
  EXPECT_FALSE(e2->CanFocus());
  try {
    e2->SetFocus();
    ADD_FAILURE() << "no exception";
  } catch (EInvalidOperation& e) {
    EXPECT_EQ(e.Message, L"Cannot focus a disabled or invisible window");
  }
  p->SetEnabled(false);
  EXPECT_FALSE(e3->CanFocus()) << "a disabled parent makes its children unfocusable";
  EXPECT_THROW(e3->SetFocus(), EInvalidOperation);
  p->SetEnabled(true);
  EXPECT_TRUE(e3->CanFocus());
}

TEST_F(ControlsFocusTest, TabOrderDecidesTheNextControl) {
  Build();
  EXPECT_EQ(e1->TabOrder(), 0);
  EXPECT_EQ(p->TabOrder(), 2);
  EXPECT_EQ(root->FindNextControl(e1, true, true, false), e2);
  EXPECT_EQ(root->FindNextControl(e2, true, true, false), e3) << "P is no tab stop; its child is";
  EXPECT_EQ(root->FindNextControl(e3, true, true, false), e1) << "wraps around";
  EXPECT_EQ(root->FindNextControl(e1, false, true, false), e3);
  e2->SetTabOrder(0);
  EXPECT_EQ(e1->TabOrder(), 1);
  EXPECT_EQ(root->FindNextControl(nullptr, true, true, false), e2);
  e2->SetVisible(false);
  EXPECT_EQ(root->FindNextControl(nullptr, true, true, false), e1);
  root->SelectNext(e1, true, true);
  EXPECT_TRUE(e3->Focused());
}

}  // namespace
