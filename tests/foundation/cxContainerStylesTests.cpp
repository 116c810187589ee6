#include "foundation/cxContainerRoutines.h"
#include "foundation/cxContainerStyles.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"
#include "tests/support/ScopedHook.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

namespace {

struct TChangeCounter : TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TChangeCounter::Changed>(this); }
};

// A style set without a container, as a popup or a style controller keeps.
Owned<TcxContainerStyles> MakeStyles() {
  return MakeOwned<TcxContainerStyles>(nullptr, TcxContainerStyleClass::Of<TcxContainerStyle>());
}

// The default controller for the life of a test (the editor core installs it
// in the program).
struct TDefaultController {
  Owned<TcxStyleController> Controller{Make<TcxStyleController>(nullptr)};
  TDefaultController() { cxSetDefaultContainerStyleController(Controller.get()); }
  ~TDefaultController() { cxSetDefaultContainerStyleController(nullptr); }
};

}  // namespace

TEST(cxContainerStyles, StateBorderStyleTable) {
  const TcxContainerBorderStyle bases[] = {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
  // With hot tracking: [state][base].
  const TcxContainerBorderStyle hot[4][7] = {
      {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11},
      {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11},
      {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11},
      {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11},
  };
  auto styles = MakeStyles();
  for (bool hotTrack : {true, false})
    for (int b = 0; b < 7; ++b) {
      styles->Style()->SetBorderStyle(bases[b]);
      styles->Style()->SetHotTrack(hotTrack);
      for (TcxContainerStateItem state : {csNormal, csActive, csDisabled, csHotTrack}) {
        SCOPED_TRACE(testing::Message() << "hot " << hotTrack << " base " << b << " state " << int(state));
        // Without hot tracking only the disabled state has a row of its own
        // (equal to the normal row).
        const TcxContainerStateItem row = hotTrack || state == csDisabled ? state : csNormal;
        EXPECT_EQ(styles->Get(state)->BorderStyle(), hot[row][b]);
      }
    }
}

TEST(cxContainerStyles, BaseBorderStyleFollowsTheLookAndFeelKind) {
  auto styles = MakeStyles();
  EXPECT_EQ(styles->Style()->BorderStyle(), cbsUltraFlat);   // the root look-and-feel
  const std::pair<TcxLookAndFeelKind, TcxContainerBorderStyle> cases[] = {
      {lfFlat, cbsFlat}, {lfStandard, cbs3D}, {lfUltraFlat, cbsUltraFlat}, {lfOffice11, cbsOffice11}};
  for (auto [kind, border] : cases) {
    styles->Style()->LookAndFeel()->SetKind(kind);
    EXPECT_EQ(styles->Style()->BorderStyle(), border);
    EXPECT_EQ(styles->StyleFocused()->LookAndFeel(), styles->Style()->LookAndFeel());
  }
}

TEST(cxContainerStyles, StateStylesInheritAndForwardSharedValues) {
  auto styles = MakeStyles();
  TcxContainerStyle* normal = styles->Style();
  TcxContainerStyle* disabled = styles->StyleDisabled();
  TcxContainerStyle* focused = styles->StyleFocused();

  // Shared values written on a state style land on the normal style.
  focused->SetShadow(true);
  focused->SetHotTrack(false);
  focused->SetTransparentBorder(false);
  focused->SetEdges(TcxBorders{bLeft});
  EXPECT_TRUE(normal->AssignedValues().Contains(csvShadow));
  EXPECT_TRUE(normal->Shadow());
  EXPECT_FALSE(normal->HotTrack());
  EXPECT_FALSE(normal->TransparentBorder());
  EXPECT_EQ(disabled->Edges(), TcxBorders{bLeft});
  EXPECT_TRUE(focused->AssignedValues().Empty());

  Owned<TFont> font(Make<TFont>());
  font->SetSize(21);
  disabled->SetFont(font.get());
  EXPECT_EQ(normal->Font()->Size(), 21);
  EXPECT_TRUE(normal->AssignedValues().Contains(csvFont));
  EXPECT_EQ(disabled->Font(), normal->Font());

  // Disabled text and border are the button shadow unless set there.
  normal->SetTextColor(clRed);
  normal->SetBorderColor(clBlue);
  EXPECT_EQ(disabled->TextColor(), clBtnShadow);
  EXPECT_EQ(disabled->BorderColor(), clBtnShadow);
  EXPECT_EQ(focused->TextColor(), clRed);
  EXPECT_EQ(focused->BorderColor(), clBlue);
  disabled->SetTextColor(clGreen);
  EXPECT_EQ(disabled->TextColor(), clGreen);
  EXPECT_EQ(normal->TextColor(), clRed);
  // Without a container the colour falls back to the button face.
  EXPECT_EQ(normal->Color(), clBtnFace);
}

TEST(cxContainerStyles, ChangeReporting) {
  auto styles = MakeStyles();
  TcxContainerStyle* style = styles->Style();
  TChangeCounter counter;
  style->OnChanged = counter.Event();

  style->BeginUpdate();
  style->BeginUpdate();
  style->SetBorderColor(clRed);
  style->SetShadow(true);
  style->EndUpdate();
  EXPECT_EQ(counter.Count, 0);
  style->EndUpdate();
  EXPECT_EQ(counter.Count, 1);
  style->EndUpdate();   // unmatched: ignored
  EXPECT_EQ(counter.Count, 1);

  // The text colour it shows already through the fallback still becomes
  // its own; the same value again does nothing.
  const TColor shown = style->TextColor();
  style->SetTextColor(shown);
  EXPECT_TRUE(style->AssignedValues().Contains(csvTextColor));
  EXPECT_EQ(counter.Count, 2);
  style->SetTextColor(shown);
  style->SetBorderColor(clRed);
  EXPECT_EQ(counter.Count, 2);
  style->OnChanged = nullptr;
}

TEST(cxContainerStyles, DirectAccessModeHoldsRawValues) {
  auto style = MakeOwned<TcxContainerStyle>(nullptr, csNormal, nullptr, true);
  TChangeCounter counter;
  style->OnChanged = counter.Event();
  Owned<TFont> font(Make<TFont>());
  font->SetStyle(TFontStyles{fsBold});
  style->SetFont(font.get());
  style->SetColor(clYellow);
  style->SetTextColor(clMaroon);
  style->SetShadow(true);
  style->SetBorderColor(clRed);
  EXPECT_EQ(style->Font(), font.get());   // not a copy
  EXPECT_EQ(style->Color(), clYellow);
  EXPECT_EQ(style->TextColor(), clMaroon);
  EXPECT_EQ(style->TextStyle(), TFontStyles{fsBold});
  EXPECT_EQ(style->BorderColor(), clDefault);
  EXPECT_FALSE(style->Shadow());
  EXPECT_TRUE(style->TransparentBorder());
  EXPECT_TRUE(style->Edges().Empty());
  for (int v = 0; v < cxContainerStyleValueCount; ++v) EXPECT_TRUE(style->AssignedValues().Contains(v));
  EXPECT_EQ(counter.Count, 0);
  style->OnChanged = nullptr;
}

TEST(cxContainerStyles, AssignCopiesValuesAndRefusesOtherClasses) {
  auto source = MakeStyles();
  auto target = MakeStyles();
  source->Style()->SetBorderStyle(cbsThick);
  source->Style()->SetColor(clAqua);
  source->Style()->Font()->SetSize(15);
  source->Style()->LookAndFeel()->SetKind(lfOffice11);
  target->SetStyle(source->Style());
  EXPECT_EQ(target->Style()->BorderStyle(), cbsThick);
  EXPECT_EQ(target->Style()->Color(), clAqua);
  EXPECT_EQ(target->Style()->Font()->Size(), 15);
  EXPECT_EQ(target->Style()->LookAndFeel()->Kind(), lfOffice11);
  EXPECT_EQ(target->Style()->AssignedValues(), source->Style()->AssignedValues());
  Owned<TFont> font(Make<TFont>());
  EXPECT_THROW(target->Style()->Assign(font.get()), EConvertError);
}

TEST(cxContainerStyles, ValueNamesAndPublishedExtendedValues) {
  auto styles = MakeStyles();
  TcxContainerStyle* style = styles->Style();
  TcxContainerStyleValue value = -1;
  EXPECT_TRUE(style->GetStyleValue(L"textcolor", value));
  EXPECT_EQ(value, csvTextColor);
  EXPECT_FALSE(style->GetStyleValue(L"Colour", value));
  String name;
  EXPECT_FALSE(style->GetStyleValueName(10, name));
  EXPECT_TRUE(name.empty());
  const std::pair<const wchar_t*, bool> published[] = {
      {L"LookAndFeel", false}, {L"StyleController", false}, {L"Edges", false}, {L"Font", false},
      {L"HotTrack", false},    {L"Shadow", false},          {L"TransparentBorder", false},
      {L"BorderColor", true},  {L"Color", true},            {L"Anything", true}};
  for (auto [n, expected] : published) EXPECT_EQ(style->IsExtendedStylePropertyPublished(n), expected) << n;
}

// ---------------------------------------------------------------------------
// Style controllers
// ---------------------------------------------------------------------------

TEST(cxContainerStyleController, LookupThroughTheControllerChain) {
  auto outer = MakeOwned<TcxStyleController>(nullptr);
  auto inner = MakeOwned<TcxStyleController>(nullptr);
  auto styles = MakeStyles();
  inner->Style()->SetStyleController(outer.get());
  outer->StyleOf(csDisabled)->SetBorderColor(clPurple);
  outer->Style()->SetShadow(true);
  styles->Style()->SetStyleController(inner.get());

  EXPECT_EQ(styles->StyleDisabled()->BorderColor(), clPurple);
  EXPECT_TRUE(styles->StyleDisabled()->IsValueAssigned(csvBorderColor));
  EXPECT_FALSE(styles->StyleDisabled()->AssignedValues().Contains(csvBorderColor));
  EXPECT_TRUE(styles->Style()->Shadow());
  EXPECT_EQ(styles->StyleFocused()->StyleController(), inner.get());

  // A controller whose own style would look up through this one is refused.
  outer->Style()->SetStyleController(inner.get());
  EXPECT_EQ(outer->Style()->StyleController(), nullptr);
  outer->Style()->SetStyleController(outer.get());
  EXPECT_EQ(outer->Style()->StyleController(), nullptr);

  // Freeing a controller in the middle leaves its users on no controller.
  inner.reset();
  EXPECT_EQ(styles->Style()->StyleController(), nullptr);
  EXPECT_FALSE(styles->Style()->Shadow());
}

TEST(cxContainerStyleController, ListenersAndTheDefaultController) {
  TDefaultController defaults;
  TcxStyleController* d = defaults.Controller.get();
  auto styles1 = MakeStyles();
  auto styles2 = MakeStyles();
  // New styles take the default; it reads as none.
  EXPECT_EQ(styles1->Style()->ActiveStyleController(), d);
  EXPECT_EQ(styles1->Style()->StyleController(), nullptr);
  EXPECT_EQ(d->ListenerCount(), 2);

  d->RegisterStyleListener(styles1->Style());
  d->UnregisterStyleListener(styles1->StyleHot());
  EXPECT_EQ(d->ListenerCount(), 2);

  auto shared = MakeOwned<TcxStyleController>(nullptr);
  EXPECT_EQ(shared->FakeStyleController(), nullptr);   // its own style uses the default
  styles1->Style()->SetStyleController(shared.get());
  styles2->Style()->SetStyleController(shared.get());
  EXPECT_EQ(d->ListenerCount(), 1);   // the shared controller's own style
  EXPECT_EQ(shared->ListenerCount(), 2);
  EXPECT_EQ(styles1->Style()->LookAndFeel()->MasterLookAndFeel(), shared->Style()->LookAndFeel());

  // A change of the controller's style reaches its users.
  TChangeCounter counter;
  styles1->Style()->OnChanged = counter.Event();
  shared->Style()->SetColor(clTeal);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(styles1->Style()->Color(), clTeal);
  styles1->Style()->OnChanged = nullptr;

  // Freed, it leaves both on the default, whose look-and-feel they follow.
  shared.reset();
  EXPECT_EQ(styles1->Style()->ActiveStyleController(), d);
  EXPECT_EQ(styles2->Style()->ActiveStyleController(), d);
  d->Style()->LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(styles2->Style()->LookAndFeel()->Kind(), lfStandard);
  EXPECT_EQ(styles2->Style()->BorderStyle(), cbs3D);

  // The default controller's own styles never get a controller.
  d->Style()->SetStyleController(nullptr);
  EXPECT_EQ(d->Style()->ActiveStyleController(), nullptr);
}

TEST(cxContainerStyleController, FontScaledOnceAlongTheChain) {
  auto owner = MakeOwned<TcxStyleController>(nullptr);
  auto user = MakeOwned<TcxStyleController>(nullptr);
  user->Style()->SetStyleController(owner.get());
  owner->Style()->Font()->SetSize(10);
  EXPECT_TRUE(owner->Style()->AssignedValues().Contains(csvFont));
  // The user has no font of its own: the request goes to the owner, once.
  user->ScaleFont(2, 1);
  user->ScaleFont(2, 1);
  owner->ScaleFont(2, 1);
  EXPECT_EQ(owner->Style()->Font()->Size(), 20);
}

// ---------------------------------------------------------------------------
// View info painting
// ---------------------------------------------------------------------------

TEST(cxContainerViewInfo, PaintsFrameShadowAndBackground) {
  cnvtest::TCanvasBitmap bitmap(30, 30);
  auto viewInfo = MakeOwned<TcxContainerViewInfo>();
  viewInfo->Bounds = TRect(0, 0, 30, 30);
  viewInfo->BorderRect = TRect(3, 3, 20, 20);
  viewInfo->BorderStyle = cbsThick;
  viewInfo->BorderWidth = 2;
  viewInfo->BorderColor = clRed;
  viewInfo->Edges = cxBordersAll;
  viewInfo->Shadow = true;
  viewInfo->SetBackgroundColor(clYellow);
  viewInfo->Paint(bitmap.Canvas());
  const TRect frame(1, 1, 22, 22), inner(3, 3, 20, 20);
  const TRect below(4, 22, 22, 25), right(22, 4, 25, 25);
  EXPECT_EQ(bitmap.Mismatches([&](int x, int y) -> TColor {
    if (inner.Contains({x, y})) return clYellow;
    if (frame.Contains({x, y})) return clRed;
    if (below.Contains({x, y}) || right.Contains({x, y})) return clBtnShadow;
    return cnvtest::kBack;
  }),
            0);

  // Undrawn edges: the frame moves out over them instead.
  cnvtest::TCanvasBitmap open(30, 30);
  viewInfo->Shadow = false;
  viewInfo->BorderStyle = cbsSingle;
  viewInfo->BorderWidth = 1;
  viewInfo->Edges = TcxBorders{bLeft, bTop};
  viewInfo->Paint(open.Canvas());
  EXPECT_EQ(open.BoundsOf(clRed), TRect(2, 2, 21, 21));
  EXPECT_EQ(open.Pixel(20, 10), ColorToRGB(clRed));
  EXPECT_EQ(open.Pixel(19, 10), ColorToRGB(clYellow));
}

TEST(cxContainerViewInfo, AssignOffsetAndUpdateRegion) {
  auto a = MakeOwned<TcxContainerViewInfo>();
  auto b = MakeOwned<TcxContainerViewInfo>();
  EXPECT_EQ(a->ContainerState, TcxContainerState{csNormal});
  b->ClientRect = TRect(1, 2, 3, 4);
  b->Bounds = TRect(0, 0, 9, 9);
  a->Assign(b.get());
  EXPECT_EQ(a->ClientRect, TRect(1, 2, 3, 4));
  EXPECT_EQ(a->Bounds, TRect());
  a->Offset(10, 20);
  EXPECT_EQ(a->ClientRect, TRect(11, 22, 13, 24));
  Owned<TcxRegion> region(a->GetUpdateRegion(b.get()));
  EXPECT_TRUE(region->IsEmpty());
}

// ---------------------------------------------------------------------------
// Stored definitions
// ---------------------------------------------------------------------------

namespace {

// A controller that publishes two of its styles, as the editor core's does.
class TStoredStyleController : public TcxStyleController {
  DECLARE_CLASS(TStoredStyleController, TcxStyleController)
  explicit TStoredStyleController(TComponent* AOwner) : TcxStyleController(AOwner) {}
  TcxContainerStyle* StoredStyle() const { return Style(); }
  void SetStoredStyle(TcxContainerStyle* AValue) { Style()->Assign(AValue); }
  TcxContainerStyle* StoredStyleDisabled() const { return StyleOf(csDisabled); }
  void SetStoredStyleDisabled(TcxContainerStyle* AValue) { StyleOf(csDisabled)->Assign(AValue); }
};

BEGIN_CLASS(TStoredStyleController, TcxStyleController, (ConstructWith<TStoredStyleController, TComponent>))
  b.Prop(L"Style", &TStoredStyleController::StoredStyle, &TStoredStyleController::SetStoredStyle);
  b.Prop(L"StyleDisabled", &TStoredStyleController::StoredStyleDisabled,
         &TStoredStyleController::SetStoredStyleDisabled);
END_CLASS

}  // namespace

TEST(cxContainerStyles, StoredValuesAreTheAssignedOnes) {
  auto controller = MakeOwned<TStoredStyleController>(nullptr);
  controller->SetName(L"Controller");
  controller->Style()->SetBorderStyle(cbsThick);
  controller->Style()->SetColor(clRed);
  controller->Style()->Font()->SetName(L"Tahoma");
  controller->StyleOf(csDisabled)->SetTextColor(clGreen);
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), controller.get());
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  const std::string written(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
  for (const char* line : {"Style.BorderStyle = cbsThick", "Style.Color = clRed", "Style.IsFontAssigned = True",
                           "StyleDisabled.TextColor = clGreen"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
  for (const char* absent : {"Style.Shadow", "Style.HotTrack", "StyleDisabled.BorderStyle", "Style.TextColor"})
    EXPECT_EQ(written.find(absent), std::string::npos) << absent << "\n" << written;

  binary->SetPosition(0);
  auto read = MakeOwned<TStoredStyleController>(nullptr);
  ReadComponentFromStream(binary.get(), read.get());
  EXPECT_EQ(read->Style()->BorderStyle(), cbsThick);
  EXPECT_EQ(read->Style()->Color(), clRed);
  EXPECT_EQ(read->Style()->Font()->Name(), L"Tahoma");
  EXPECT_TRUE(read->Style()->AssignedValues().Contains(csvFont));
  EXPECT_FALSE(read->Style()->AssignedValues().Contains(csvShadow));
  EXPECT_EQ(read->StyleOf(csDisabled)->TextColor(), clGreen);
}
