#include "platform/WinApi.h"
#include "foundation/cxGeometry.h"

#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct ChangeCounter : TObject {
  int Count = 0;
  TObject* Sender = nullptr;
  void Changed(TObject* s) {
    ++Count;
    Sender = s;
  }
};

}  // namespace

TEST(cxGeometryRoutines, RectanglePointAndSizeValues) {
  const TRect r(1, 2, 11, 22);
  EXPECT_EQ(cxGrowRect(r, 1, 2, 3, 4), TRect(0, 0, 14, 26));
  EXPECT_EQ(cxGrowRect(r, -1, -1, -1, -1), TRect(2, 3, 10, 21));
  EXPECT_EQ(cxShiftRect(r, 5, -2), TRect(6, 0, 16, 20));
  EXPECT_EQ(cxShiftRect(r, 5, -2, false), TRect(-4, 4, 6, 24));
  EXPECT_EQ(cxShiftPoint(TPoint(1, 1), 2, 3), TPoint(3, 4));
  EXPECT_EQ(cxShiftPoint(TPoint(1, 1), 2, 3, false), TPoint(-1, -2));
  EXPECT_EQ(cxRectFromPoints(TPoint(1, 2), TPoint(3, 4)), TRect(1, 2, 3, 4));
  EXPECT_EQ(cxRectSetHorzSpan(r, 5, 3), TRect(5, 2, 8, 22));
  EXPECT_EQ(cxNegatePoint(TPoint(3, -4)), TPoint(-3, 4));
  EXPECT_EQ(cxMakePoint(7, 8), TPoint(7, 8));
  EXPECT_TRUE(cxRectsMatch(r, TRect(1, 2, 11, 22)));
  EXPECT_FALSE(cxRectsMatch(r, TRect(1, 2, 11, 23)));
  EXPECT_TRUE(cxPointsMatch(TPoint(1, 2), TPoint(1, 2)));
  EXPECT_FALSE(cxPointsMatch(TSize(1, 2), TSize(2, 1)));

  TSize s(5, 1);
  cxEnlargeSizeTo(s, TSize(3, 4));
  EXPECT_EQ(s, TSize(5, 4));
}

TEST(cxGeometryRoutines, HalfOpenContainmentAndEmptiness) {
  const TRect r(0, 0, 10, 5);
  struct Case {
    int x, y;
    bool inside;
  } points[] = {{0, 0, true}, {9, 4, true}, {10, 0, false}, {0, 5, false}, {-1, 2, false}};
  for (const Case& c : points) EXPECT_EQ(cxIsPointInRect(r, c.x, c.y), c.inside) << c.x << "," << c.y;
  EXPECT_FALSE(cxRectHasNoArea(r));
  EXPECT_TRUE(cxRectHasNoArea(TRect(5, 0, 5, 5)));
  EXPECT_TRUE(cxRectHasNoArea(TRect(0, 6, 10, 5)));
}

TEST(cxGeometryRoutines, CentringTruncatesTowardZeroAndRangeCentreFloors) {
  EXPECT_EQ(cxCenterSizeInRect(TRect(0, 0, 9, 9), 4, 4), TRect(2, 2, 6, 6));
  const TRect negative = cxCenterSizeInRect(TRect(-9, 0, 0, 9), 4, 4);
  EXPECT_EQ(negative.Left, -6);  // -13 div 2
  EXPECT_EQ(negative.Right, -2);
  EXPECT_EQ(cxCenterSizeInRect(TRect(0, 0, 4, 4), 10, 10), TRect(-3, -3, 7, 7));

  const int cases[][3] = {{-3, 0, -2}, {3, 0, 1}, {0, 0, 0}, {-1, 0, -1}, {-4, 0, -2}, {5, 6, 5},
                          {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}};
  for (const auto& c : cases) EXPECT_EQ(cxRangeCenter(c[0], c[1]), c[2]) << c[0] << "," << c[1];
}

namespace {

// Keeps Right at least Left, as a descendant may correct new values.
class TOrderedRect : public TcxRect {
  DECLARE_CLASS(TOrderedRect, TcxRect)
  using TcxRect::TcxRect;

 protected:
  void AdjustNewRect(TRect& ARect) override {
    if (ARect.Right < ARect.Left) ARect.Right = ARect.Left;
  }
};
IMPLEMENT_CLASS(TOrderedRect, TcxRect, (ConstructWith<TOrderedRect, TPersistent>))

}  // namespace

TEST(cxRect, SettersReportOnlyRealChanges) {
  ChangeCounter counter;
  Owned<TcxRect> r(Make<TcxRect>(nullptr));
  r->OnChange = TNotifyEvent::Bind<&ChangeCounter::Changed>(&counter);
  EXPECT_TRUE(r->IsEmpty());

  r->SetRect(TRect(1, 2, 3, 4));
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(counter.Sender, r.get());
  r->SetRect(TRect(1, 2, 3, 4));
  r->SetLeft(1);
  r->SetValue(9, 100);  // no such coordinate
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(r->GetValue(9), 0);

  r->SetWidth(10);
  EXPECT_EQ(r->Rect(), TRect(1, 2, 11, 4));
  r->SetHeight(5);
  EXPECT_EQ(r->Rect(), TRect(1, 2, 11, 7));
  r->SetTopRight(TPoint(20, 0));
  EXPECT_EQ(r->Rect(), TRect(1, 0, 20, 7));
  r->SetBottomLeft(TPoint(-1, 9));
  EXPECT_EQ(r->Rect(), TRect(-1, 0, 20, 9));
  r->SetTopLeft(TPoint(2, 3));
  r->SetBottomRight(TPoint(4, 5));
  EXPECT_EQ(r->Rect(), TRect(2, 3, 4, 5));
  EXPECT_EQ(r->BottomLeft(), TPoint(2, 5));
  EXPECT_EQ(r->TopRight(), TPoint(4, 3));
  EXPECT_EQ(r->Width(), 2);
  EXPECT_EQ(counter.Count, 7);
  const int values[] = {2, 3, 4, 5};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(r->GetValue(i), values[i]);

  // Data is written in place without an event.
  r->Data()->Left = 0;
  EXPECT_EQ(r->Left(), 0);
  EXPECT_EQ(counter.Count, 7);

  Owned<TcxRect> copy(Make<TcxRect>(nullptr));
  copy->Assign(r.get());
  EXPECT_TRUE(copy->IsEqual(r.get()));
  EXPECT_TRUE(copy->IsEqual(TRect(0, 3, 4, 5)));
  Owned<TcxSize> size(Make<TcxSize>(nullptr));
  copy->Assign(size.get());  // ignored without an error
  EXPECT_EQ(copy->Rect(), TRect(0, 3, 4, 5));

  Owned<TOrderedRect> ordered(Make<TOrderedRect>(nullptr));
  ordered->OnChange = TNotifyEvent::Bind<&ChangeCounter::Changed>(&counter);
  ordered->SetRect(TRect(5, 0, 8, 1));
  counter.Count = 0;
  ordered->SetRight(2);  // adjusted back to 5: a change
  EXPECT_EQ(ordered->Rect(), TRect(5, 0, 5, 1));
  ordered->SetRight(3);  // adjusted to the same value: no change
  EXPECT_EQ(counter.Count, 1);
}

TEST(cxSize, NegativePartsBecomeZeroAndOnlyChangesAreReported) {
  ChangeCounter counter;
  Owned<TcxSize> s(Make<TcxSize>(nullptr));
  s->OnChange = TNotifyEvent::Bind<&ChangeCounter::Changed>(&counter);
  s->SetSize(TSize(-5, 7));
  EXPECT_EQ(s->Size(), TSize(0, 7));
  EXPECT_EQ(counter.Count, 1);
  s->SetSize(TSize(0, 7));
  s->SetSize(TSize(-1, 7));
  EXPECT_EQ(counter.Count, 1);
  s->SetWidth(3);
  EXPECT_EQ(s->Width(), 3);
  EXPECT_EQ(s->GetDimension(1), 3);
  EXPECT_EQ(s->GetDimension(0), 7);
  s->SetHeight(-2);
  EXPECT_EQ(s->Height(), 0);
  EXPECT_EQ(counter.Count, 3);
  EXPECT_FALSE(s->IsEmpty());
  EXPECT_TRUE(s->IsEqual(TSize(3, 0)));

  Owned<TcxSize> copy(Make<TcxSize>(nullptr));
  copy->Assign(s.get());
  EXPECT_TRUE(copy->IsEqual(s.get()));
  Owned<TcxRect> rect(Make<TcxRect>(nullptr));
  EXPECT_THROW(copy->Assign(rect.get()), EConvertError);
}

namespace {

class TGeometryHolder : public TComponent {
  DECLARE_CLASS(TGeometryHolder, TComponent)
  explicit TGeometryHolder(TComponent* AOwner)
      : TComponent(AOwner), FBounds(Make<TcxRect>(this)), FExtent(Make<TcxSize>(this)) {}
  ~TGeometryHolder() override {
    TObject::Free(FBounds);
    TObject::Free(FExtent);
  }
  TcxRect* Bounds() const { return FBounds; }
  void SetBounds(TcxRect* AValue) { FBounds->Assign(AValue); }
  TcxSize* Extent() const { return FExtent; }
  void SetExtent(TcxSize* AValue) { FExtent->Assign(AValue); }

 private:
  TcxRect* FBounds;
  TcxSize* FExtent;
};

BEGIN_CLASS(TGeometryHolder, TComponent, (ConstructWith<TGeometryHolder, TComponent>))
  b.Prop(L"Bounds", &TGeometryHolder::Bounds, &TGeometryHolder::SetBounds);
  b.Prop(L"Extent", &TGeometryHolder::Extent, &TGeometryHolder::SetExtent);
END_CLASS

std::string WrittenText(TComponent* c) {
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), c);
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  return std::string(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
}

}  // namespace

TEST(cxGeometryStreaming, OnlyNonZeroValuesAreStoredAndTheyReadBack) {
  Owned<TGeometryHolder> holder(Make<TGeometryHolder>(nullptr));
  holder->SetName(L"Holder");
  const std::string empty = WrittenText(holder.get());
  EXPECT_EQ(empty.find("Bounds."), std::string::npos) << empty;
  EXPECT_EQ(empty.find("Extent."), std::string::npos) << empty;

  holder->Bounds()->SetRect(TRect(3, 0, 0, -4));
  holder->Extent()->SetSize(TSize(0, 9));
  const std::string text = WrittenText(holder.get());
  EXPECT_NE(text.find("Bounds.Left = 3"), std::string::npos) << text;
  EXPECT_NE(text.find("Bounds.Bottom = -4"), std::string::npos) << text;
  EXPECT_EQ(text.find("Bounds.Top"), std::string::npos) << text;
  EXPECT_EQ(text.find("Bounds.Right"), std::string::npos) << text;
  EXPECT_NE(text.find("Extent.Height = 9"), std::string::npos) << text;
  EXPECT_EQ(text.find("Extent.Width"), std::string::npos) << text;

  Owned<TMemoryStream> binary(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), holder.get());
  binary->SetPosition(0);
  Owned<TGeometryHolder> copy(Make<TGeometryHolder>(nullptr));
  ReadComponentFromStream(binary.get(), copy.get());
  EXPECT_EQ(copy->Bounds()->Rect(), TRect(3, 0, 0, -4));
  EXPECT_EQ(copy->Extent()->Size(), TSize(0, 9));
}

TEST(cxGeometryModule, TheRectangleClassIsRegisteredForStreamingWhileTheModuleRuns) {
  cxGeometryInitialize();  // counted: harmless when the module list started it already
  EXPECT_EQ(GetClass(L"TcxRect"), TcxRect::StaticClass());
  cxGeometryFinalize();
}
