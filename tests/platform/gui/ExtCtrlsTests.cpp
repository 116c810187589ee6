// Panel and bevel: the edges they draw pixel by pixel, the panel's client
// area inside its bevels.
#include "StdCtrlsTestSupport.h"

#include "platform/gui/ExtCtrls.h"

#include <memory>

using namespace stdtest;

namespace {

using BitmapPtr = std::unique_ptr<TBitmap, void (*)(TObject*)>;
BitmapPtr Bitmap(int w, int h, TColor fill) { return BitmapPtr(NewBitmap(w, h, fill), &TObject::Free); }

class ExtCtrlsTest : public StdCtrlsTest {};

TEST_F(ExtCtrlsTest, Frame3DPaintsNestedEdgesAndShrinksTheRectangle) {
  auto bmp = Bitmap(10, 8, clWhite);
  TRect r(1, 1, 9, 7);
  Frame3D(bmp->Canvas(), r, clRed, clBlue, 2);
  EXPECT_EQ(r, TRect(3, 3, 7, 5));
  struct Case {
    int X, Y;
    TColor Color;
  };
  const Case cases[] = {
      {1, 1, clRed},   {1, 5, clRed},   {7, 1, clRed},                     // outer left and top edges
      {8, 1, clBlue},  {8, 6, clBlue},  {1, 6, clBlue},  {4, 6, clBlue},   // right, bottom and both far corners
      {2, 2, clRed},   {7, 2, clBlue},  {2, 5, clBlue},  {6, 5, clBlue},   // the inner frame
      {3, 3, clWhite}, {6, 4, clWhite},                                    // inside stays
      {0, 0, clWhite}, {9, 7, clWhite},                                    // outside stays
  };
  for (const Case& c : cases) EXPECT_EQ(PixelAt(bmp.get(), c.X, c.Y), c.Color) << c.X << "," << c.Y;
}

TEST_F(ExtCtrlsTest, PanelPaintsItsBevelsAndAlignsChildrenInsideThem) {
  auto* panel = Place<TPanel>(0, 0, 40, 30);
  panel->SetColor(clWhite);
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->HandleNeeded();
  auto* child = Make<TPanel>(form);
  child->SetParent(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), TRect(4, 4, 36, 26));
  child->SetVisible(false);

  auto bmp = Bitmap(40, 30, clBlack);
  panel->PaintTo(bmp->Canvas()->Handle(), 0, 0);
  const TColor light = Rgb(clBtnHighlight), dark = Rgb(clBtnShadow);
  struct Case {
    int X, Y;
    TColor Color;
  };
  const Case cases[] = {
      {0, 10, light}, {1, 10, light}, {20, 0, light},  {20, 1, light},    // raised outer bevel
      {39, 10, dark}, {38, 10, dark}, {20, 29, dark},  {0, 29, dark},     //
      {2, 10, dark},  {3, 10, dark},  {20, 2, dark},                      // lowered inner bevel
      {37, 10, light}, {36, 10, light}, {20, 27, light},                  //
      {4, 10, clWhite}, {20, 15, clWhite}, {35, 25, clWhite},             // the panel's colour
  };
  for (const Case& c : cases) EXPECT_EQ(PixelAt(bmp.get(), c.X, c.Y), c.Color) << c.X << "," << c.Y;

  panel->SetBorderStyle(bsSingle);
  EXPECT_TRUE(ExStyleOf(panel->Handle()) & WS_EX_CLIENTEDGE);
}

TEST_F(ExtCtrlsTest, BevelShapesDrawTheirLines) {
  const TColor light = Rgb(clBtnHighlight), dark = Rgb(clBtnShadow), none = clWhite;
  struct Pixel {
    int X, Y;
    TColor Color;
  };
  struct Case {
    TBevelShape Shape;
    TBevelStyle Style;
    std::vector<Pixel> Pixels;
  };
  // A 10 x 8 bevel.
  const Case cases[] = {
      {bsBox, bsLowered, {{0, 3, dark}, {5, 0, dark}, {0, 7, dark}, {9, 0, light}, {9, 3, light}, {5, 7, light},
                          {5, 3, none}}},
      {bsBox, bsRaised, {{0, 3, light}, {9, 3, dark}}},
      {bsFrame, bsLowered, {{0, 3, dark}, {1, 3, light}, {8, 3, dark}, {9, 3, light}, {4, 0, dark}, {4, 1, light},
                            {4, 6, dark}, {4, 7, light}, {4, 3, none}}},
      {bsTopLine, bsLowered, {{0, 0, dark}, {9, 0, dark}, {4, 1, light}, {4, 2, none}}},
      {bsTopLine, bsRaised, {{4, 0, light}, {4, 1, dark}}},
      {bsBottomLine, bsLowered, {{4, 6, dark}, {4, 7, light}, {4, 5, none}}},
      {bsLeftLine, bsLowered, {{0, 4, dark}, {1, 4, light}, {0, 7, dark}, {2, 4, none}}},
      {bsRightLine, bsLowered, {{8, 4, dark}, {9, 4, light}, {7, 4, none}}},
      {bsSpacer, bsLowered, {{0, 0, none}, {9, 7, none}, {4, 4, none}}},
  };
  auto* bevel = Place<TBevel>(0, 0, 10, 8);
  for (const Case& c : cases) {
    bevel->SetShape(c.Shape);
    bevel->SetStyle(c.Style);
    auto bmp = Bitmap(10, 8, clWhite);
    bevel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
    for (const Pixel& p : c.Pixels)
      EXPECT_EQ(PixelAt(bmp.get(), p.X, p.Y), p.Color)
          << EnumName(c.Shape) << "/" << EnumName(c.Style) << " at " << p.X << "," << p.Y;
  }
}

TEST_F(ExtCtrlsTest, StoredPanelAndBevelReadTheirSettings) {
  const char* text =
      "object Form1: TForm\n"
      "  object Panel1: TPanel\n"
      "    Left = 0\n    Top = 0\n    Width = 200\n    Height = 36\n    Align = alBottom\n"
      "    BevelOuter = bvNone\n    Caption = ''\n"
      "    object Bevel1: TBevel\n      Left = 0\n      Top = 10\n      Width = 100\n      Height = 2\n"
      "      Shape = bsTopLine\n    end\n"
      "  end\n"
      "end\n";
  ReadDefinition(text, form);
  auto* panel = dynamic_cast<TPanel*>(form->FindComponent(L"Panel1"));
  auto* bevel = dynamic_cast<TBevel*>(form->FindComponent(L"Bevel1"));
  ASSERT_TRUE(panel && bevel);
  EXPECT_EQ(panel->BevelOuter(), bvNone);
  EXPECT_EQ(panel->Align(), alBottom);
  EXPECT_EQ(panel->Top(), form->ClientHeight() - 36);
  EXPECT_EQ(bevel->Parent(), panel);
  EXPECT_EQ(bevel->Shape(), bsTopLine);
  const String written = WriteDefinition(form);
  EXPECT_NE(written.find(L"BevelOuter = bvNone"), String::npos);
  EXPECT_NE(written.find(L"Shape = bsTopLine"), String::npos);
  EXPECT_EQ(written.find(L"BevelWidth"), String::npos) << "defaults are not stored";
}

}  // namespace
