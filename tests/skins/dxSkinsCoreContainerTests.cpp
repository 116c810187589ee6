// The multi-skin container: its layout, finding skins by index and name, and
// containers that hold nothing or stop early.
#include "tests/skins/SkinsTestSupport.h"

#include "skins/dxSkinsCoreContainer.h"

using namespace skintest;

namespace {

Owned<TdxSkin> NamedSkin(const String& name, TColor color) {
  auto skin = MakeOwned<TdxSkin>(name, false, nullptr);
  skin->AddColor(L"C", color);
  return skin;
}

TEST(dxSkinContainer, AnEmptyWriterLeavesTheHeaderAndACountOfZero) {
  TMemoryStream stream;
  { TdxSkinBinaryWriter writer(&stream); }
  EXPECT_EQ(Bytes(stream), TStreamBytes().Header(1.02).Int(0).data);
}

TEST(dxSkinContainer, SkinsAreFoundByIndexAndByName) {
  REQUIRE_SKIN_ENGINE();
  TMemoryStream stream;
  stream.WriteBuffer("prefix", 6);
  {
    TdxSkinBinaryWriter writer(&stream);
    for (auto [name, color] : {std::pair{L"One", clRed}, {L"Two", clGreen}, {L"one", clBlue}})
      writer.AddSkin(NamedSkin(name, color).get());
  }
  // The writer leaves the stream at the container's end.
  EXPECT_EQ(stream.Position(), stream.Size());
  stream.SetPosition(6);
  TdxSkinBinaryReader reader(&stream);
  ASSERT_EQ(reader.Count(), 3);
  struct TCase {
    const wchar_t* name;
    bool found;
    TColor color;
  };
  const TCase cases[] = {{L"ONE", true, clRed}, {L"two", true, clGreen}, {L"", true, clRed}, {L"Three", false, 0}};
  for (const TCase& c : cases) {
    auto skin = MakeOwned<TdxSkin>(L"X", false, nullptr);
    EXPECT_EQ(reader.LoadSkin(skin.get(), c.name), c.found);
    if (c.found) {
      EXPECT_EQ(skin->Colors(0)->Value(), c.color);
    }
  }
  auto third = MakeOwned<TdxSkin>(L"X", false, nullptr);
  EXPECT_TRUE(reader.LoadSkin(third.get(), 2));
  EXPECT_EQ(third->Colors(0)->Value(), clBlue);
  EXPECT_FALSE(reader.LoadSkin(third.get(), 3));
}

TEST(dxSkinContainer, WritingGoesOnAfterTheContainer) {
  REQUIRE_SKIN_ENGINE();
  TMemoryStream stream;
  NamedSkin(L"A", clRed)->SaveToBinaryStream(&stream);
  const Int64 end = stream.Size();
  stream.WriteBuffer("more", 4);
  EXPECT_EQ(stream.Size(), end + 4);
  stream.SetPosition(0);
  auto loaded = MakeOwned<TdxSkin>(L"X", false, nullptr);
  loaded->LoadFromBinaryStream(&stream);
  EXPECT_EQ(loaded->Name(), L"A");
}

TEST(dxSkinContainer, AContainerWithoutSkinsIsAnErrorToLoadFrom) {
  REQUIRE_SKIN_ENGINE();
  const std::string cases[] = {
      TStreamBytes().Header(1.02).Int(0).data,
      TStreamBytes().Header(0.9).Int(1).data,
      "not a container at all",
  };
  for (const std::string& bytes : cases) {
    auto stream = StreamOf(bytes);
    auto skin = MakeOwned<TdxSkin>(L"Kept", false, nullptr);
    EXPECT_THROW(skin->LoadFromBinaryStream(stream.get()), EdxSkin);
    EXPECT_EQ(skin->Name(), L"Kept");
  }
}

TEST(dxSkinContainer, Version10IsReadAndABadEntryEndsTheTable) {
  REQUIRE_SKIN_ENGINE();
  TMemoryStream skinBytes;
  NamedSkin(L"First", clRed)->SaveToStream(&skinBytes);
  const std::string entry = Bytes(skinBytes);
  // Header 1.0, three entries: a skin, one that is no skin, one that is cut short.
  const std::string container = TStreamBytes().Header(1.0).Int(3).Int(int(entry.size())).data + entry +
                                TStreamBytes().Int(4).Str("").data + TStreamBytes().Int(1000).data;
  auto stream = StreamOf(container);
  TdxSkinBinaryReader reader(stream.get());
  ASSERT_EQ(reader.Count(), 1);
  EXPECT_EQ(reader.SkinName(0), L"First");
}

}  // namespace
