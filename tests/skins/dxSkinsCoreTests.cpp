// The skin object model: change notices climbing from element to skin, lazy
// sorting and look-up by name, setters, copies; and the skin stream: round
// trips, the version gates, and streams that must be refused whole.
#include "tests/skins/SkinsTestSupport.h"

#include "platform/core/Exceptions.h"

using namespace skintest;

namespace {

Owned<TdxSkin> NewSkin(const String& name = L"Test") { return MakeOwned<TdxSkin>(name, false, nullptr); }

struct TChangeCase {
  const char* name;
  void (*act)(TdxSkin*, TdxSkinElement*);
  int notices;
};

TEST(dxSkinObjectModel, ChangesReachTheListenersOnceOrNotAtAll) {
  const TChangeCase cases[] = {
      {"border colour", [](TdxSkin*, TdxSkinElement* e) { e->Borders()->Left()->SetColor(clRed); }, 1},
      {"nested updates", [](TdxSkin* s, TdxSkinElement* e) {
         s->BeginUpdate();
         s->BeginUpdate();
         e->SetTextColor(clRed);
         s->EndUpdate();
         e->SetTextColor(clBlue);
         s->EndUpdate();
       }, 1},
      {"cancelled update", [](TdxSkin* s, TdxSkinElement* e) {
         s->BeginUpdate();
         e->SetTextColor(clRed);
         s->CancelUpdate();
       }, 0},
      {"clear", [](TdxSkin* s, TdxSkinElement*) { s->Clear(); }, 0},
      {"colour set to its value", [](TdxSkin*, TdxSkinElement* e) { e->SetColor(e->Color()); }, 1},
      {"alpha set to its value", [](TdxSkin*, TdxSkinElement* e) { e->SetAlpha(e->Alpha()); }, 0},
      {"image count 0 stored as 1", [](TdxSkin*, TdxSkinElement* e) { e->SetImageCount(0); }, 0},
      {"image margins", [](TdxSkin*, TdxSkinElement* e) { e->Image()->SetMargins(TRect(1, 1, 1, 1)); }, 1},
  };
  for (const TChangeCase& c : cases) {
    auto skin = NewSkin();
    TdxSkinElement* element = skin->AddGroup(L"G")->AddElement(L"E");
    skin->ClearModified();
    TNoticeCounter counter;
    skin->AddListener(&counter);
    c.act(skin.get(), element);
    EXPECT_EQ(counter.count, c.notices) << c.name;
    EXPECT_EQ(element->ImageCount(), 1) << c.name;
    skin->RemoveListener(&counter);
  }
}

TEST(dxSkinObjectModel, OneChangeMarksEveryLevelModifiedAndUnsorted) {
  auto skin = NewSkin();
  TdxSkinControlGroup* group = skin->AddGroup(L"G");
  TdxSkinElement* element = group->AddElement(L"E");
  skin->GetGroupByName(L"G");
  group->GetElementByName(L"E");
  skin->ClearModified();
  element->Borders()->Top()->SetThin(3);
  for (TdxSkinPersistent* level : std::initializer_list<TdxSkinPersistent*>{element, group, skin.get()}) {
    EXPECT_TRUE(level->Modified());
    EXPECT_FALSE(level->Sorted());
  }
}

TEST(dxSkinObjectModel, LookUpsSortLazilyAndKeepDuplicates) {
  auto skin = NewSkin();
  skin->AddColor(L"Zeta", clRed);
  skin->AddColor(L"Alpha", clBlue);
  skin->AddColor(L"Alpha", clGreen);
  TdxSkinControlGroup* late = skin->AddGroup(L"Bars");
  skin->AddGroup(L"Abc");
  EXPECT_EQ(skin->Colors(0)->Name(), L"Zeta");
  EXPECT_EQ(skin->GetGroupByName(L"Bars"), late);
  EXPECT_EQ(skin->Colors(0)->Name(), L"Alpha");  // the look-up sorted the list in place
  EXPECT_EQ(skin->ColorCount(), 3);
  ASSERT_TRUE(skin->GetColorByName(L"Alpha"));
  EXPECT_EQ(skin->GetColorByName(L"alpha"), nullptr);  // case-sensitive
  EXPECT_EQ(skin->GetColorByName(L"Missing"), nullptr);
  skin->ExchangeColors(0, 2);
  EXPECT_EQ(skin->Colors(0)->Name(), L"Zeta");
}

TEST(dxSkinObjectModel, TextColorOfAStateComesFromItsPropertyUnlessDefault) {
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->SetTextColor(clNavy);
  static_cast<TdxSkinColor*>(e->AddProperty(L"TextColorHot", TdxSkinColor::StaticClass()))->SetValue(clRed);
  e->AddProperty(L"TextColorPressed", TdxSkinColor::StaticClass());  // stays clDefault
  const std::pair<TcxButtonState, TColor> cases[] = {
      {cxbsDefault, clNavy}, {cxbsNormal, clNavy}, {cxbsHot, clRed}, {cxbsPressed, clNavy}, {cxbsDisabled, clNavy}};
  for (auto [state, expected] : cases) EXPECT_EQ(e->GetTextColor(state), expected) << int(state);
}

TEST(dxSkinObjectModel, CloneTakesTheNameGivenAndAssignAppends) {
  auto skin = NewSkin(L"Source");
  skin->AddColor(L"C", clRed);
  skin->AddGroup(L"G")->AddElement(L"E")->SetColor(clBlue);
  auto clone = Own(skin->Clone(L"Copy"));
  EXPECT_EQ(clone->Name(), L"Copy");
  EXPECT_DOUBLE_EQ(clone->Version(), 1.02);
  ASSERT_EQ(clone->GroupCount(), 1);
  EXPECT_TRUE(clone->Groups(0)->Elements(0)->Compare(skin->Groups(0)->Elements(0)));
  clone->Assign(skin.get());
  EXPECT_EQ(clone->ColorCount(), 2);
  EXPECT_EQ(clone->GroupCount(), 2);
  EXPECT_EQ(TdxSkinProperty::Description(TdxSkinIntegerProperty::StaticClass()), L"Integer");
  EXPECT_EQ(TdxSkinProperty::Description(TdxSkinColor::StaticClass()), L"Color");
}

struct TRaisingListener : IdxSkinChangeListener {
  bool raise = true;
  int count = 0;
  void HandleSkinChange(TdxSkin*) override {
    ++count;
    if (raise) throw Exception(L"listener failed");
  }
};

TEST(dxSkinObjectModel, AListenerThatRaisesDoesNotSilenceTheSkin) {
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  TRaisingListener listener;
  skin->AddListener(&listener);
  EXPECT_THROW(e->SetTextColor(clRed), Exception);
  EXPECT_EQ(skin->LockCount(), 0);
  listener.raise = false;
  e->SetTextColor(clBlue);
  EXPECT_EQ(listener.count, 2);
  skin->RemoveListener(&listener);
}

// ---------------------------------------------------------------------------
// Stream
// ---------------------------------------------------------------------------

Owned<TdxSkin> RichSkin() {
  auto skin = NewSkin(L"Rich");
  skin->AddColor(L"ContentColor", clWhite);
  static_cast<TdxSkinStringProperty*>(skin->AddProperty(L"Title", TdxSkinStringProperty::StaticClass()))
      ->SetValue(L"Title text");
  TdxSkinControlGroup* group = skin->AddGroup(L"Bars");
  static_cast<TdxSkinRectProperty*>(group->AddProperty(L"R", TdxSkinRectProperty::StaticClass()))
      ->SetValue(TRect(1, 2, 3, 4));
  static_cast<TdxSkinSizeProperty*>(group->AddProperty(L"S", TdxSkinSizeProperty::StaticClass()))
      ->SetValue(TSize(5, 6));
  TdxSkinElement* e = group->AddElement(L"Bar");
  e->SetColor(clRed);
  e->SetImageCount(2);
  e->SetContentOffset(TRect(1, 2, 3, 4));
  e->SetTextColor(clBlue);
  e->SetMinSize(TSize(7, 8));
  e->Borders()->Bottom()->SetColor(clGreen);
  e->Borders()->Bottom()->SetThin(2);
  e->Image()->SetStates({esNormal, esHot});
  e->Image()->SetMargins(TRect(2, 2, 2, 2));
  e->Image()->SetStretch(smTile);
  e->Image()->SetImageLayout(ilVertical);
  SetTexture(e->Image(), 8, 32, [](int, int y) { return FrameColor(y / 8); });
  e->Glyph()->SetGradientBeginColor(clYellow);
  e->Glyph()->SetGradientEndColor(clAqua);
  e->Glyph()->SetGradient(gmBackwardDiagonal);
  static_cast<TdxSkinIntegerProperty*>(e->AddProperty(L"I", TdxSkinIntegerProperty::StaticClass()))->SetValue(-3);
  static_cast<TdxSkinBooleanProperty*>(e->AddProperty(L"B", TdxSkinBooleanProperty::StaticClass()))->SetValue(true);
  group->AddElement(L"Dock");
  return skin;
}

TEST(dxSkinStream, WhatIsWrittenReadsBackEqualAndWritesTheSameBytes) {
  REQUIRE_SKIN_ENGINE();
  auto skin = RichSkin();
  TMemoryStream first;
  skin->SaveToStream(&first);
  auto loaded = NewSkin(L"Other");
  first.SetPosition(0);
  loaded->LoadFromStream(&first);
  EXPECT_EQ(first.Position(), first.Size());
  EXPECT_EQ(loaded->Name(), L"Rich");
  ASSERT_EQ(loaded->GroupCount(), 1);
  TdxSkinControlGroup* a = skin->Groups(0);
  TdxSkinControlGroup* b = loaded->Groups(0);
  ASSERT_EQ(b->Count(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(a->Elements(i)->Compare(b->Elements(i))) << i;
  ASSERT_EQ(b->PropertyCount(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(a->Properties(i)->Compare(b->Properties(i))) << i;
  EXPECT_TRUE(skin->Properties(0)->Compare(loaded->Properties(0)));
  TMemoryStream second;
  loaded->SaveToStream(&second);
  EXPECT_EQ(Bytes(first), Bytes(second));
}

TEST(dxSkinStream, AnEmptySkinWritesItsHeaderNameAndThreeZeros) {
  auto skin = NewSkin(L"");
  TMemoryStream stream;
  skin->SaveToStream(&stream);
  EXPECT_EQ(Bytes(stream), TStreamBytes().Header(1.02).Int(0).Int(0).Int(0).Int(0).data);
}

// One group with one element whose records carry no picture, in the layout of
// `version`: the gradient fields only from 1.02 on.
std::string OneElementStream(double version, int imageCount = 1, const std::string& propertyClass = "") {
  TStreamBytes s;
  s.Header(version).Str("Hand").Int(1).Str("TdxSkinColor").Str("C").Int(0x123456).Int(0).Int(1).Str("G").Int(1);
  s.Str("E").Int(clDefault).Byte1(255).Int(imageCount).Rect(0, 0, 0, 0);
  for (int image = 0; image < 2; ++image) {
    s.Rect(1, 2, 3, 4).Byte1(0).Word2(0x0003).Byte1(1);
    if (version >= 1.02) s.Int(0x0000FF).Int(0x00FF00).Byte1(1);
    s.Int(0);
  }
  for (const char* side : {"Left", "Top", "Right", "Bottom"}) s.Str("TdxSkinBorder").Str(side).Int(clNone).Int(1);
  s.Int(clDefault).Int(0).Int(0);
  if (propertyClass.empty())
    s.Int(0);
  else
    s.Int(1).Str(propertyClass).Str("P").Int(7);
  s.Int(0);
  return s.data;
}

TEST(dxSkinStream, GradientFieldsAreReadFromVersion102On) {
  REQUIRE_SKIN_ENGINE();
  const std::pair<double, bool> cases[] = {{1.0, false}, {1.01, false}, {1.02, true}, {1.5, true}};
  for (auto [version, hasGradient] : cases) {
    auto skin = NewSkin();
    auto stream = StreamOf(OneElementStream(version) + "tail");
    skin->LoadFromStream(stream.get());
    EXPECT_EQ(stream->Position(), stream->Size() - 4) << version;
    EXPECT_DOUBLE_EQ(skin->Version(), version);
    ASSERT_EQ(skin->GroupCount(), 1) << version;
    TdxSkinImage* image = skin->Groups(0)->Elements(0)->Image();
    EXPECT_EQ(image->GradientBeginColor(), hasGradient ? 0x0000FF : clNone) << version;
    EXPECT_EQ(image->Gradient(), hasGradient ? gmVertical : gmHorizontal) << version;
    EXPECT_EQ(image->Stretch(), smTile) << version;
    EXPECT_EQ(image->Margins(), TRect(1, 2, 3, 4)) << version;
    EXPECT_TRUE(image->States().Contains(esHot)) << version;
  }
}

// Streams refused whole: the skin keeps what it had and nobody hears of it.
TEST(dxSkinStream, ABadStreamLeavesTheSkinAsItWasAndSaysWhy) {
  REQUIRE_SKIN_ENGINE();
  std::string truncated = OneElementStream(1.02);
  truncated.resize(truncated.size() - 9);
  std::string hugeName = TStreamBytes().Header(1.02).Int(0x7FFFFFF0).data;
  std::string hugeCount = TStreamBytes().Header(1.02).Str("N").Int(0x10000000).data;
  const std::pair<const char*, std::string> cases[] = {
      {"Invalid stream format", TStreamBytes().Int(6).data + "dxSkiN" + std::string(8, '\0')},
      {"older than the current", OneElementStream(0.99)},
      {"not a skin property class", OneElementStream(1.02, 1, "TdxSkinElement")},
      {"not a skin property class", OneElementStream(1.02, 1, "TNoSuchClass")},
      {"image count below 1", OneElementStream(1.02, 0)},
      {"ends too soon", truncated},
      {"ends too soon", hugeName},
      {"count does not fit", hugeCount},
  };
  for (const auto& [message, bytes] : cases) {
    auto skin = NewSkin(L"Kept");
    skin->AddGroup(L"Old")->AddElement(L"E");
    TNoticeCounter counter;
    skin->AddListener(&counter);
    auto stream = StreamOf(bytes);
    try {
      skin->LoadFromStream(stream.get());
      ADD_FAILURE() << message << ": no error";
    } catch (EdxSkin& e) {
      EXPECT_NE(e.Message.find(String(message, message + strlen(message))), String::npos) << e.what();
    }
    EXPECT_EQ(counter.count, 0) << message;
    EXPECT_EQ(skin->Name(), L"Kept") << message;
    ASSERT_EQ(skin->GroupCount(), 1) << message;
    EXPECT_EQ(skin->Groups(0)->Name(), L"Old") << message;
    skin->RemoveListener(&counter);
  }
}

TEST(dxSkinStream, AGoodLoadIsAnnouncedOnce) {
  REQUIRE_SKIN_ENGINE();
  auto skin = NewSkin();
  TNoticeCounter counter;
  skin->AddListener(&counter);
  auto stream = StreamOf(OneElementStream(1.02));
  skin->LoadFromStream(stream.get());
  EXPECT_EQ(counter.count, 1);
  EXPECT_EQ(skin->LockCount(), 0);
  skin->RemoveListener(&counter);
}

TEST(dxSkinStream, PictureDataIsDecodedInsideItsWindowOnly) {
  REQUIRE_SKIN_ENGINE();
  // A picture record whose PNG is followed at once by the next element: the
  // decoder must stop at the record's end, and the next fields stay intact.
  auto skin = RichSkin();
  TMemoryStream stream;
  skin->SaveToStream(&stream);
  auto loaded = NewSkin();
  stream.SetPosition(0);
  loaded->LoadFromStream(&stream);
  TdxSkinElement* bar = loaded->GetGroupByName(L"Bars")->GetElementByName(L"Bar");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->Image()->Texture()->Height(), 32);
  EXPECT_EQ(bar->Borders()->Bottom()->Thin(), 2);
  EXPECT_TRUE(loaded->GetGroupByName(L"Bars")->GetElementByName(L"Dock"));
}

TEST(dxSkinPartStream, ReadsAndSeeksStayInTheWindow) {
  auto source = StreamOf("0123456789");
  TdxSkinPartStream part(source.get());
  part.Initialize(2, 6);
  EXPECT_EQ(part.Size(), 4);
  struct TSeekCase {
    Int64 offset;
    TSeekOrigin origin;
    Int64 result;
  };
  const TSeekCase cases[] = {{0, soBeginning, 0}, {3, soBeginning, 3}, {9, soBeginning, 4}, {-5, soBeginning, 0},
                             {-1, soEnd, 3},      {5, soEnd, 4},       {-9, soEnd, 0}};
  for (const TSeekCase& c : cases) EXPECT_EQ(part.Seek(c.offset, c.origin), c.result) << c.offset << " " << int(c.origin);
  part.Seek(1, soBeginning);
  char buffer[8] = {};
  EXPECT_EQ(part.Read(buffer, 8), 3);
  EXPECT_EQ(std::string(buffer, 3), "345");
  EXPECT_EQ(part.Read(buffer, 8), 0);
  EXPECT_EQ(source->Position(), 6);
}

}  // namespace
