// Element drawing, pixel by pixel on 32-bit DIBs: which frame of a strip a
// state and an image index draw, the nine-part cut, tiles anchored at the
// destination's corner, the stand-in element; and the caches' renderings.
#include "tests/skins/SkinsTestSupport.h"

using namespace skintest;

namespace {

Owned<TdxSkin> NewSkin() { return MakeOwned<TdxSkin>(L"Draw", false, nullptr); }

struct TFrameCase {
  const char* name;
  TdxSkinImageLayout layout;
  TdxSkinElementStates states;
  int imageCount;
  int width, height;
  TdxSkinElementState state;
  int imageIndex;
  TRect expected;
};

TEST(dxSkinImageFrames, StateAndImageIndexChooseTheFrame) {
  const TFrameCase cases[] = {
      {"vertical, second state", ilVertical, {esNormal, esPressed}, 1, 10, 40, esPressed, 0, TRect(0, 20, 10, 40)},
      {"absent state falls back", ilVertical, {esNormal, esPressed}, 1, 10, 40, esHot, 0, TRect(0, 0, 10, 20)},
      {"second block", ilHorizontal, {esNormal, esHot, esPressed}, 2, 120, 10, esHot, 1, TRect(80, 0, 100, 10)},
      {"leftover pixels unused", ilHorizontal, {esNormal, esHot}, 1, 25, 10, esHot, 0, TRect(12, 0, 24, 10)},
      {"no states: whole texture", ilHorizontal, {}, 3, 30, 10, esPressed, 2, TRect(0, 0, 30, 10)},
      {"lowest present state", ilHorizontal, {esHot, esDisabled}, 1, 20, 10, esNormal, 0, TRect(0, 0, 10, 10)},
  };
  for (const TFrameCase& c : cases) {
    auto skin = NewSkin();
    TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
    e->SetImageCount(c.imageCount);
    e->Image()->SetImageLayout(c.layout);
    e->Image()->SetStates(c.states);
    SetTexture(e->Image(), c.width, c.height, [](int, int) { return Rgb(1, 2, 3); });
    EXPECT_EQ(e->Image()->StateBounds(c.imageIndex, c.state), c.expected) << c.name;
  }
}

struct TCutCase {
  const char* name;
  TRect rect, margins;
  bool shrink;
  TRect expected[9];
  bool visible[9];
};

TEST(dxSkinNineParts, MarginsCutTheRectangle) {
  const TCutCase cases[] = {
      {"plain", TRect(0, 0, 10, 10), TRect(2, 3, 4, 1), true,
       {TRect(0, 0, 2, 3), TRect(0, 3, 2, 9), TRect(0, 9, 2, 10), TRect(2, 0, 6, 3), TRect(2, 3, 6, 9),
        TRect(2, 9, 6, 10), TRect(6, 0, 10, 3), TRect(6, 3, 10, 9), TRect(6, 9, 10, 10)},
       {true, true, true, true, true, true, true, true, true}},
      // 6 + 6 on 8: each margin loses MulDiv(6, 4, 12) = 2; the centre column vanishes.
      {"margins larger than the width", TRect(0, 0, 8, 20), TRect(6, 0, 6, 0), true,
       {TRect(), TRect(0, 0, 4, 20), TRect(), TRect(), TRect(4, 0, 4, 20), TRect(), TRect(), TRect(4, 0, 8, 20),
        TRect()},
       {false, true, false, false, false, false, false, true, false}},
      {"source cut keeps its margins", TRect(0, 0, 8, 8), TRect(6, 0, 6, 0), false,
       {TRect(), TRect(0, 0, 6, 8), TRect(), TRect(), TRect(6, 0, 6, 8), TRect(), TRect(), TRect(6, 0, 8, 8),
        TRect()},
       {false, true, false, false, false, false, false, true, false}},
  };
  for (const TCutCase& c : cases) {
    TdxSkinPartsVisibility visibility;
    std::fill(std::begin(visibility), std::end(visibility), true);
    TdxSkinNineParts parts;
    dxSkinCutNineParts(c.rect, c.margins, c.shrink, visibility, parts);
    for (int i = 0; i < 9; ++i) {
      EXPECT_EQ(visibility[i], c.visible[i]) << c.name << " part " << i;
      if (c.visible[i]) {
        EXPECT_EQ(parts[i], c.expected[i]) << c.name << " part " << i;
      }
    }
  }
}

TEST(dxSkinElementDrawing, TheStateDrawsItsOwnFrame) {
  REQUIRE_SKIN_ENGINE();
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->Image()->SetStates({esNormal, esHot, esPressed, esDisabled});
  SetTexture(e->Image(), 40, 10, [](int x, int) { return FrameColor(x / 10); });
  const std::pair<TdxSkinElementState, int> cases[] = {{esNormal, 0}, {esHot, 1}, {esPressed, 2}, {esDisabled, 3},
                                                       {esChecked, 0}};
  for (auto [state, frame] : cases) {
    TSkinDib dib(30, 30);
    dib.Fill(0);
    e->Draw(dib.DC(), TRect(5, 5, 25, 25), 0, state);
    EXPECT_EQ(dib.At(15, 15), FrameColor(frame)) << int(state);
    EXPECT_EQ(dib.At(2, 2), 0u) << int(state);
  }
}

TEST(dxSkinElementDrawing, FillBordersAndGlyphInsideTheContentOffset) {
  REQUIRE_SKIN_ENGINE();
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->SetColor(RGB(0, 0, 255));
  e->Borders()->Left()->SetColor(RGB(255, 0, 0));
  e->Borders()->Left()->SetThin(2);
  e->Borders()->Bottom()->SetColor(RGB(0, 255, 0));
  e->SetContentOffset(TRect(5, 5, 5, 5));
  e->Glyph()->SetStretch(smNoResize);
  SetTexture(e->Glyph(), 4, 4, [](int, int) { return Rgb(255, 255, 0); });
  TSkinDib dib(20, 20);
  dib.Fill(0);
  e->Draw(dib.DC(), TRect(0, 0, 20, 20));
  EXPECT_EQ(dib.At(1, 10), Rgb(255, 0, 0));
  EXPECT_EQ(dib.At(2, 10), Rgb(0, 0, 255));
  EXPECT_EQ(dib.At(10, 19), Rgb(0, 255, 0));
  EXPECT_EQ(dib.At(6, 6), Rgb(0, 0, 255));
  EXPECT_EQ(dib.At(9, 9), Rgb(255, 255, 0));  // 4 x 4 centred in (5, 5, 15, 15)
  EXPECT_EQ(dib.At(8, 8), Rgb(255, 255, 0));
  EXPECT_EQ(dib.At(7, 7), Rgb(0, 0, 255));
}

TEST(dxSkinElementDrawing, TilesStartAtTheDestinationsCorner) {
  REQUIRE_SKIN_ENGINE();
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->Image()->SetStretch(smTile);
  // A 4 x 4 texture: left half red, right half blue.
  SetTexture(e->Image(), 4, 4, [](int x, int) { return x < 2 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); });
  TSkinDib dib(30, 10);
  dib.Fill(0);
  e->Draw(dib.DC(), TRect(3, 0, 13, 4));
  const std::pair<int, DWORD> cases[] = {{3, Rgb(255, 0, 0)}, {4, Rgb(255, 0, 0)}, {5, Rgb(0, 0, 255)},
                                         {7, Rgb(255, 0, 0)}, {10, Rgb(0, 0, 255)}, {11, Rgb(255, 0, 0)},
                                         {12, Rgb(255, 0, 0)}, {13, 0}};
  for (auto [x, color] : cases) EXPECT_EQ(dib.At(x, 2), color) << x;
}

TEST(dxSkinElementDrawing, AnEmptyImageWithAGradientFillsOnlyTheCentre) {
  REQUIRE_SKIN_ENGINE();
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->Image()->SetMargins(TRect(3, 3, 3, 3));
  e->Image()->SetGradientBeginColor(RGB(0, 128, 0));
  e->Image()->SetGradientEndColor(clDefault);  // a plain fill of the first colour
  TSkinDib dib(20, 20);
  dib.Fill(0);
  e->Draw(dib.DC(), TRect(0, 0, 20, 20));
  EXPECT_EQ(dib.At(10, 10), Rgb(0, 128, 0));
  EXPECT_EQ(dib.At(3, 3), Rgb(0, 128, 0));
  EXPECT_EQ(dib.At(2, 10), 0u);
  EXPECT_EQ(dib.At(10, 17), 0u);
}

TEST(dxSkinElementDrawing, TheStandInIsWhiteWithARedFrame) {
  TSkinDib dib(10, 10);
  dib.Fill(0);
  dxSkinEmptyElement()->Draw(dib.DC(), TRect(1, 1, 9, 9));
  EXPECT_EQ(dib.At(1, 5), Rgb(255, 0, 0));
  EXPECT_EQ(dib.At(8, 8), Rgb(255, 0, 0));
  EXPECT_EQ(dib.At(4, 4), Rgb(255, 255, 255));
  EXPECT_EQ(dib.At(0, 0), 0u);
}

TEST(dxSkinElementCache, TheListKeepsTheLastEightRenderings) {
  REQUIRE_SKIN_ENGINE();
  auto skin = NewSkin();
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->SetColor(RGB(10, 20, 30));
  TdxSkinElementCacheList list;
  TSkinDib dib(100, 20);
  auto renders = [&](const TRect& r, TdxSkinElementState state = esNormal) {
    const int before = TdxSkinElementCache::RenderCount();
    list.DrawElement(dib.DC(), e, r, state);
    return TdxSkinElementCache::RenderCount() - before;
  };
  for (int i = 0; i < 9; ++i) EXPECT_EQ(renders(TRect(i * 10, 0, i * 10 + 8, 8)), 1) << i;
  EXPECT_EQ(list.Count(), 8);
  EXPECT_EQ(renders(TRect(80, 0, 88, 8)), 0);   // the newest: a copy
  EXPECT_EQ(renders(TRect(0, 0, 8, 8)), 1);     // the first went out
  EXPECT_EQ(renders(TRect(20, 0, 28, 8), esHot), 1);
  EXPECT_EQ(renders(TRect(20, 0, 28, 8), esHot), 0);
  EXPECT_EQ(dib.At(24, 4), Rgb(10, 20, 30));
  list.Flush();
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace

namespace {

GpStatus WINAPI NotImplementedDraw(GpGraphics*, GpImage*, INT, INT, INT, INT, INT, INT, INT, INT, GpUnit,
                                   const GpImageAttributes*, GpDrawImageAbort, void*) {
  return 6;  // NotImplemented
}

TEST(dxSkinElementDrawing, AGdiPlusCallThatIsNotImplementedFallsBackToGdi) {
  REQUIRE_SKIN_ENGINE();
  auto skin = MakeOwned<TdxSkin>(L"Draw", false, nullptr);
  TdxSkinElement* e = skin->AddGroup(L"G")->AddElement(L"E");
  e->Image()->SetStates({esNormal, esHot});
  SetTexture(e->Image(), 20, 10, [](int x, int) { return FrameColor(x / 10); });
  e->Borders()->Top()->SetColor(RGB(255, 0, 0));
  auto saved = GdipDrawImageRectRectI;
  GdipDrawImageRectRectI = &NotImplementedDraw;
  TSkinDib dib(20, 20);
  dib.Fill(0);
  try {
    e->Draw(dib.DC(), TRect(0, 0, 20, 20), 0, esHot);
  } catch (...) {
    GdipDrawImageRectRectI = saved;
    throw;
  }
  GdipDrawImageRectRectI = saved;
  EXPECT_EQ(dib.At(10, 10), FrameColor(1));
  EXPECT_EQ(dib.At(10, 0), Rgb(255, 0, 0));
}

}  // namespace
