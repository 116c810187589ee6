// The look-and-feel skin painter: what it takes from the skin, and the Office
// 2003 look wherever the skin has nothing for an operation.
#include "tests/skins/SkinsTestSupport.h"

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "platform/core/Components.h"
#include "platform/gui/StdCtrls.h"
#include "skins/dxSkinsLookAndFeelPainter.h"

#include <algorithm>
#include <vector>

using namespace skintest;

namespace {

const TcxCustomLookAndFeelPainter* Skinned() { return TdxSkinLookAndFeelPainter::Instance(); }
const TcxCustomLookAndFeelPainter* Office11() { return TcxOffice11LookAndFeelPainter::Instance(); }

// The skin painter registered under a name of its own for one test, with the
// table of `skin` (nil: a table without any member).
class TRegisteredSkin {
 public:
  explicit TRegisteredSkin(TdxSkin* skin) : info_(Make<TdxSkinLookAndFeelPainterInfo>(skin)) {
    cxGetStylePainterRegistry()->Register(L"PainterTestSkin", Skinned(), info_);
  }
  ~TRegisteredSkin() { cxGetStylePainterRegistry()->Unregister(L"PainterTestSkin"); }
  TdxSkinLookAndFeelPainterInfo* Info() const { return info_; }

 private:
  TdxSkinLookAndFeelPainterInfo* info_;
};

using TColorOperation = TColor (TcxCustomLookAndFeelPainter::*)() const;

TEST(dxSkinLookAndFeelPainter, WithoutSkinMembersTheColoursAreTheOffice2003Ones) {
  TRegisteredSkin registered(nullptr);
  const std::pair<const char*, TColorOperation> cases[] = {
      {"content", &TcxCustomLookAndFeelPainter::DefaultContentColor},
      {"content text", &TcxCustomLookAndFeelPainter::DefaultContentTextColor},
      {"selection", &TcxCustomLookAndFeelPainter::DefaultSelectionColor},
      {"hyperlink", &TcxCustomLookAndFeelPainter::DefaultHyperlinkTextColor},
      {"header", &TcxCustomLookAndFeelPainter::DefaultHeaderColor},
      {"header text", &TcxCustomLookAndFeelPainter::DefaultHeaderTextColor},
      {"grid line", &TcxCustomLookAndFeelPainter::DefaultGridLineColor},
      {"group", &TcxCustomLookAndFeelPainter::DefaultGroupColor},
      {"vertical grid line", &TcxCustomLookAndFeelPainter::DefaultVGridLineColor},
      {"vertical grid category", &TcxCustomLookAndFeelPainter::DefaultVGridCategoryColor},
      {"pivot header area", &TcxCustomLookAndFeelPainter::PivotGridHeadersAreaTextColor},
      {"date navigator text", &TcxCustomLookAndFeelPainter::DefaultDateNavigatorTextColor},
  };
  for (auto [name, operation] : cases) EXPECT_EQ((Skinned()->*operation)(), (Office11()->*operation)()) << name;
  EXPECT_EQ(Skinned()->ButtonBorderSize(cxbsNormal), Office11()->ButtonBorderSize(cxbsNormal));
  EXPECT_EQ(Skinned()->FooterCellBorderSize(), Office11()->FooterCellBorderSize());
  const TcxBorders borders = Skinned()->HeaderBorders({nLeft, nTop});
  EXPECT_FALSE(borders.Contains(bLeft));
  EXPECT_FALSE(borders.Contains(bTop));
}

TEST(dxSkinLookAndFeelPainter, StrictColoursIgnoreUnsetValuesPresentOnesDoNot) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Colours", false, nullptr);
  skin->AddColor(L"ContentColor", clDefault);
  skin->AddColor(L"ContentTextColor", clMaroon);
  skin->AddColor(L"SelectionColor", clDefault);
  skin->AddGroup(L"Common")->AddElement(L"Header")->SetTextColor(clTeal);
  TRegisteredSkin registered(skin);
  EXPECT_EQ(Skinned()->DefaultContentColor(), Office11()->DefaultContentColor());
  EXPECT_EQ(Skinned()->DefaultContentTextColor(), clMaroon);
  EXPECT_EQ(Skinned()->DefaultSelectionColor(), clDefault);
  EXPECT_EQ(Skinned()->DefaultHeaderTextColor(), clTeal);
  EXPECT_EQ(Skinned()->DefaultFooterColor(), Skinned()->DefaultHeaderColor());
}

TEST(dxSkinLookAndFeelPainter, AHeaderWithoutBordersOverlapsItsNeighboursInsideItsClip) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Header", false, nullptr);
  TdxSkinElement* header = skin->AddGroup(L"Common")->AddElement(L"Header");
  header->SetColor(RGB(0, 0, 255));
  for (int side = 0; side < 4; ++side) header->Borders()->Items(TcxBorder(side))->SetColor(RGB(255, 0, 0));
  TRegisteredSkin registered(skin);
  for (bool borders : {false, true}) {
    TSkinDib dib(40, 40);
    dib.Fill(0);
    PaintOn(dib, [&](TcxCanvas* canvas) {
      const TRect bounds(10, 10, 30, 30);
      Skinned()->DrawHeader(canvas, bounds, bounds, TcxNeighbors(), borders ? cxBordersAll : TcxBorders(),
                            cxbsNormal, taLeftJustify, vaCenter, false, false, L"", nullptr, clBlack, clWhite, nullptr,
                            false, false);
    });
    EXPECT_EQ(dib.At(10, 10), borders ? Rgb(255, 0, 0) : Rgb(0, 0, 255)) << borders;
    EXPECT_EQ(dib.At(29, 20), borders ? Rgb(255, 0, 0) : Rgb(0, 0, 255)) << borders;
    EXPECT_EQ(dib.At(9, 9), 0u) << borders;
    EXPECT_EQ(dib.At(30, 30), 0u) << borders;
  }
}

TEST(dxSkinLookAndFeelPainter, ScrollBarPagesInTheNormalStateLeaveTheBackground) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Scroll", false, nullptr);
  skin->AddGroup(L"Common")->AddElement(L"ScrollContentHorz")->SetColor(RGB(0, 255, 0));
  TRegisteredSkin registered(skin);
  for (TcxButtonState state : {cxbsNormal, cxbsHot}) {
    TSkinDib dib(20, 20);
    dib.Fill(0);
    PaintOn(dib, [&](TcxCanvas* canvas) {
      Skinned()->DrawScrollBarPart(canvas, true, TRect(0, 0, 20, 20), sbpPageDown, state);
    });
    EXPECT_EQ(dib.At(10, 10), state == cxbsNormal ? 0u : Rgb(0, 255, 0)) << int(state);
  }
}

TEST(dxSkinLookAndFeelPainter, TheScrollBarTrackIsRenderedOnceForRepeatedPaints) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Track", false, nullptr);
  skin->AddGroup(L"Common")->AddElement(L"ScrollContentVert")->SetColor(RGB(0, 0, 200));
  TRegisteredSkin registered(skin);
  TSkinDib dib(20, 60);
  const int before = TdxSkinElementCache::RenderCount();
  PaintOn(dib, [](TcxCanvas* canvas) {
    for (int i = 0; i < 3; ++i) Skinned()->DrawScrollBarBackground(canvas, TRect(0, 0, 17, 60), false);
  });
  EXPECT_EQ(TdxSkinElementCache::RenderCount() - before, 1);
  EXPECT_EQ(dib.At(8, 30), Rgb(0, 0, 200));
}

// The engine's shutdown takes every class it registered out of the class
// registry, the string property too, and leaves no shared object behind.
TEST(dxSkinEngineModule, ShutdownUnregistersEveryClassAndStartUpBringsThemBack) {
  dxSkinsCoreFinalize();
  EXPECT_EQ(GetClass(L"TdxSkinStringProperty"), nullptr);
  EXPECT_EQ(GetClass(L"TdxSkinElement"), nullptr);
  EXPECT_EQ(TdxSkinProperty::FindRegistered(L"TdxSkinColor"), nullptr);
  EXPECT_EQ(dxSkinEmptyElement(), nullptr);
  EXPECT_EQ(dxSkinPartStream(), nullptr);
  dxSkinsCoreInitialize();
  EXPECT_EQ(GetClass(L"TdxSkinStringProperty"), TdxSkinStringProperty::StaticClass());
  EXPECT_EQ(TdxSkinProperty::FindRegistered(L"TdxSkinColor"), TdxSkinColor::StaticClass());
  EXPECT_TRUE(dxSkinEmptyElement());
}

TEST(dxSkinLookAndFeelPainter, EllipsisDotsGrowWithTheButtonsContentWidth) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Editors", false, nullptr);
  TdxSkinElement* button = skin->AddGroup(L"Editors")->AddElement(L"EditorButton");
  button->SetContentOffset(TRect(2, 2, 2, 2));
  button->SetTextColor(RGB(255, 0, 0));
  TRegisteredSkin registered(skin);
  struct TCase {
    int width;
    std::vector<int> dotColumns;  // the red columns in row 4
  };
  const TCase cases[] = {{15, {4, 7, 10}}, {16, {3, 4, 7, 8, 11, 12}}};
  for (const TCase& c : cases) {
    TSkinDib dib(20, 10);
    dib.Fill(0);
    PaintOn(dib, [&](TcxCanvas* canvas) {
      Skinned()->DrawEditorButton(canvas, TRect(0, 0, c.width, 10), cxbkEllipsisBtn, cxbsNormal);
    });
    for (int x = 0; x < 20; ++x) {
      const bool dot = std::find(c.dotColumns.begin(), c.dotColumns.end(), x) != c.dotColumns.end();
      EXPECT_EQ(dib.At(x, 4), dot ? Rgb(255, 0, 0) : 0u) << c.width << " x " << x;
    }
  }
}

TEST(dxSkinLookAndFeelPainter, NavigationButtonsWidenToTheirMinimumAndCalendarColoursAreStrict) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Scheduler", false, nullptr);
  TdxSkinControlGroup* scheduler = skin->AddGroup(L"Scheduler");
  for (const wchar_t* name : {L"NavButtonPrev", L"NavButtonNext"}) scheduler->AddElement(name)->SetMinSize(TSize(16, 0));
  TdxSkinControlGroup* editors = skin->AddGroup(L"Editors");
  static_cast<TdxSkinColor*>(editors->AddProperty(L"CalendarDayTextColor", TdxSkinColor::StaticClass()))
      ->SetValue(clPurple);
  editors->AddProperty(L"CalendarHolidayTextColor", TdxSkinColor::StaticClass());  // clDefault
  TRegisteredSkin registered(skin);
  const std::pair<bool, TRect> cases[] = {{true, TRect(94, 0, 110, 60)}, {false, TRect(100, 0, 116, 60)}};
  for (auto [next, expected] : cases) {
    TRect bounds(100, 0, 110, 60), text, arrow;
    Skinned()->CalculateSchedulerNavigationButtonRects(next, true, TSize(), TSize(), bounds, text, arrow);
    EXPECT_EQ(bounds.Left, expected.Left) << next;
    EXPECT_EQ(bounds.Right, expected.Right) << next;
  }
  EXPECT_EQ(Skinned()->DefaultDateNavigatorTextColor(), clPurple);
  EXPECT_EQ(Skinned()->DefaultDateNavigatorHolydayTextColor(), Office11()->DefaultDateNavigatorHolydayTextColor());
  EXPECT_EQ(Skinned()->DefaultDateNavigatorSeparator2Color(), clNone);
}

TEST(dxSkinLookAndFeelPainter, AGroupBoxFrameSurroundsItsClientOnlyOnTheSidesWithBorders) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Group", false, nullptr);
  TdxSkinControlGroup* common = skin->AddGroup(L"Common");
  TdxSkinElement* frame = common->AddElement(L"GroupPanelTop");
  frame->SetColor(RGB(255, 0, 0));
  frame->SetContentOffset(TRect(2, 3, 2, 2));
  common->AddElement(L"GroupPanelNoBorder")->SetColor(RGB(0, 0, 255));
  TRegisteredSkin registered(skin);
  struct TCase {
    TcxBorders borders;
    TPoint point;
    DWORD color;
  };
  const TCase cases[] = {{cxBordersAll, TPoint(1, 10), Rgb(255, 0, 0)},   {cxBordersAll, TPoint(10, 2), Rgb(255, 0, 0)},
                         {cxBordersAll, TPoint(10, 10), Rgb(0, 0, 255)},  {cxBordersAll, TPoint(2, 3), Rgb(255, 0, 0)},
                         {cxBordersAll, TPoint(3, 4), Rgb(0, 0, 255)},
                         {{bTop}, TPoint(0, 10), Rgb(0, 0, 255)},          {{bTop}, TPoint(10, 1), Rgb(255, 0, 0)}};
  for (const TCase& c : cases) {
    TSkinDib dib(20, 20);
    dib.Fill(0);
    PaintOn(dib, [&](TcxCanvas* canvas) {
      Skinned()->DrawGroupBoxContent(canvas, TRect(0, 0, 20, 20), cxgpTop, c.borders);
    });
    EXPECT_EQ(dib.At(c.point.X, c.point.Y), c.color) << c.point.X << "," << c.point.Y;
  }
  EXPECT_EQ(Skinned()->GroupBoxBorderSize(false, cxgpTop), TRect(2, 3, 2, 2));
}

TEST(dxSkinLookAndFeelPainter, DisabledNavigatorGlyphsAreGreyedByTheirAlpha) {
  struct TCase {
    RGBQUAD pixel;
    Byte grey;
  };
  // (2 x alpha + red + green + blue) div 5
  const TCase cases[] = {{{0, 0, 0, 0}, 0},       {{255, 255, 255, 255}, 255}, {{10, 20, 30, 100}, 52},
                         {{0, 0, 200, 200}, 120}, {{3, 1, 0, 4}, 2}};
  for (const TCase& c : cases) {
    RGBQUAD pixel = c.pixel;
    dxSkinGrayPixels(&pixel, 1);
    EXPECT_EQ(pixel.rgbRed, c.grey);
    EXPECT_EQ(pixel.rgbGreen, c.grey);
    EXPECT_EQ(pixel.rgbBlue, c.grey);
    EXPECT_EQ(pixel.rgbReserved, c.pixel.rgbReserved);
  }
}

TEST(dxSkinLookAndFeelPainter, TheMinimalThumbComesFromTheThumbElementOrTheOffice2003Look) {
  REQUIRE_SKIN_ENGINE();
  {
    TRegisteredSkin registered(nullptr);
    EXPECT_EQ(Skinned()->ScrollBarMinimalThumbSize(true), Office11()->ScrollBarMinimalThumbSize(true));
  }
  auto* skin = Make<TdxSkin>(L"Thumb", false, nullptr);
  TdxSkinElement* thumb = skin->AddGroup(L"Common")->AddElement(L"ScrollThumbVert");
  SetTexture(thumb->Image(), 9, 14, [](int, int) { return Rgb(1, 2, 3); });
  TRegisteredSkin registered(skin);
  EXPECT_EQ(Skinned()->ScrollBarMinimalThumbSize(true), 14);
}

}  // namespace
