#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"

#include "foundation/cxLookAndFeelPaintersFlat.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

TcxCustomLookAndFeelPainterClass Standard() { return TcxStandardLookAndFeelPainter::Instance(); }

struct TProbe {
  int X, Y;
  TColor Color;
};

struct TCase {
  std::string Name;
  std::function<void(TcxCanvas*)> Draw;
  std::vector<TProbe> Probes;
};

void Check(const std::vector<TCase>& ACases) {
  for (const TCase& c : ACases) {
    TCanvasBitmap bmp(16, 16);
    c.Draw(bmp.Canvas());
    for (const TProbe& p : c.Probes)
      EXPECT_EQ(bmp.Pixel(p.X, p.Y), ColorToRGB(p.Color))
          << c.Name << " at (" << p.X << ", " << p.Y << ")";
  }
}

int Mismatches(const std::function<void(TcxCanvas*)>& A, const std::function<void(TcxCanvas*)>& B) {
  TCanvasBitmap a(16, 16), b(16, 16);
  A(a.Canvas());
  B(b.Canvas());
  return a.Mismatches([&](int x, int y) { return b.Pixel(x, y); });
}

auto Button(TcxButtonState AState) {
  return [AState](TcxCanvas* C) {
    Standard()->DrawButton(C, TRect(0, 0, 12, 12), String(), AState, true, clDefault, clDefault,
                           false, false);
  };
}

}  // namespace

TEST(StandardPainter, ButtonsPerState) {
  Check({
      {"normal", Button(cxbsNormal),
       {{0, 0, clBtnHighlight}, {11, 11, cl3DDkShadow}, {1, 1, cl3DLight}, {10, 10, clBtnShadow},
        {2, 2, clBtnFace}, {12, 12, kBack}}},
      {"hot looks normal", Button(cxbsHot),
       {{0, 0, clBtnHighlight}, {11, 11, cl3DDkShadow}, {1, 1, cl3DLight}}},
      {"default: black frame, then the bevel", Button(cxbsDefault),
       {{0, 0, clBlack}, {11, 11, clBlack}, {1, 1, clBtnHighlight}, {10, 10, cl3DDkShadow},
        {2, 2, cl3DLight}, {9, 9, clBtnShadow}, {3, 3, clBtnFace}}},
      {"pressed: black frame and a shadow ring", Button(cxbsPressed),
       {{0, 0, clBlack}, {11, 11, clBlack}, {1, 1, clBtnShadow}, {10, 10, clBtnShadow},
        {2, 2, clBtnFace}}},
  });
  EXPECT_EQ(Standard()->ButtonBorderSize(cxbsDefault), 3);
  EXPECT_EQ(Standard()->ButtonBorderSize(cxbsPressed), 2);
  EXPECT_EQ(Standard()->ButtonTextShift(), 1);
  EXPECT_FALSE(Standard()->IsButtonHotTrack());
  EXPECT_EQ(Standard()->LookAndFeelStyle(), lfsStandard);
  EXPECT_EQ(Standard()->BorderSize(), 2);
  EXPECT_EQ(Standard()->ExpandButtonSize(), 12);
  EXPECT_EQ(Standard()->HeaderControlSectionBorderSize(cxbsPressed), 1);
  EXPECT_EQ(Standard()->HeaderControlSectionBorderSize(cxbsNormal), 2);
  EXPECT_EQ(Standard()->DefaultSchedulerViewContentColor(), clWindow);
}

TEST(StandardPainter, Elements) {
  const TRect r(0, 0, 10, 10);
  Check({
      {"border: sunken bevel", [&](TcxCanvas* C) { Standard()->DrawBorder(C, r); },
       {{0, 0, clBtnShadow}, {9, 9, clBtnHighlight}, {1, 1, cl3DDkShadow}, {8, 8, cl3DLight},
        {2, 2, kBack}}},
      {"separator: etched", [&](TcxCanvas* C) { Standard()->DrawSeparator(C, r, true); },
       {{4, 0, clBtnShadow}, {4, 8, clBtnShadow}, {4, 9, kBack}, {5, 0, kBack},
        {5, 9, clBtnHighlight}, {3, 5, kBack}, {6, 5, kBack}}},
      {"header section normal, left and top only",
       [&](TcxCanvas* C) {
         Standard()->DrawHeaderControlSectionBorder(C, r, TcxBorders{bLeft, bTop}, cxbsNormal);
       },
       {{0, 5, clBtnHighlight}, {1, 5, cl3DLight}, {9, 5, kBack}, {5, 9, kBack}}},
      {"header section pressed",
       [&](TcxCanvas* C) {
         Standard()->DrawHeaderControlSectionBorder(C, r, cxBordersAll, cxbsPressed);
       },
       {{0, 0, clBtnShadow}, {9, 9, clBtnShadow}, {1, 1, kBack}}},
      {"group box frame",
       [&](TcxCanvas* C) {
         Standard()->DrawGroupBoxFrame(C, r, true, cxgpTop, cxBordersAll);
         C->FillRect(TRect(0, 0, 16, 16), clRed);  // the frames are excluded from clipping
       },
       {{0, 0, clBtnShadow}, {8, 8, clBtnShadow}, {1, 1, clBtnHighlight},
        {9, 9, clBtnHighlight}, {2, 2, clRed}, {10, 10, clRed}}},
      {"track bounds",
       [&](TcxCanvas* C) { Standard()->DrawTrackBarTrackBounds(C, r); },
       {{0, 0, clBtnShadow}, {9, 9, clBtnHighlight}, {1, 1, cl3DDkShadow}, {8, 8, cl3DLight}}},
      {"thumb border both",
       [&](TcxCanvas* C) { Standard()->DrawTrackBarThumbBorderBoth(C, r); },
       {{0, 0, clBtnHighlight}, {9, 9, cl3DDkShadow}, {1, 1, cl3DLight}, {8, 8, clBtnShadow}}},
      {"horizontal tab top border: rounded corners",
       [&](TcxCanvas* C) {
         Standard()->DrawTabBorder(C, TRect(0, 0, 10, 1), bTop, TcxBorders{bTop}, false);
       },
       {{0, 0, kBack}, {1, 0, clBtnHighlight}, {8, 0, clBtnHighlight}, {9, 0, kBack},
        {0, 1, clBtnHighlight}, {9, 1, clBtnHighlight}}},
      {"horizontal tab right border",
       [&](TcxCanvas* C) {
         Standard()->DrawTabBorder(C, TRect(9, 0, 10, 10), bRight, TcxBorders{bTop, bBottom},
                                   false);
       },
       {{9, 1, kBack}, {9, 2, clBtnShadow}, {9, 8, clBtnShadow}, {9, 9, kBack}}},
      {"vertical tab left border",
       [&](TcxCanvas* C) {
         Standard()->DrawTabBorder(C, TRect(0, 0, 1, 10), bLeft, TcxBorders{bLeft, bTop, bBottom},
                                   true);
       },
       {{0, 1, kBack}, {0, 2, clBtnHighlight}, {0, 7, clBtnHighlight}, {0, 8, kBack},
        {1, 1, clBtnHighlight}, {1, 8, clBtnHighlight}}},
      {"scheduler splitter, horizontal",
       [&](TcxCanvas* C) {
         TcxViewParams params;
         params.Color = clRed;
         Standard()->DrawSchedulerSplitterBorder(C, TRect(2, 2, 12, 10), params, true);
       },
       {{2, 2, clBtnFace}, {11, 9, cl3DDkShadow}, {1, 3, clBtnHighlight}, {12, 8, clBtnShadow},
        {0, 5, clRed}, {13, 6, clRed}, {1, 2, kBack}}},
      {"filter drop-down pressed",
       [&](TcxCanvas* C) { Standard()->DrawFilterDropDownButton(C, r, cxbsPressed, false); },
       {{0, 0, clBtnShadow}, {1, 1, clBtnFace}, {5, 5, clBtnText}}},
  });
}

TEST(StandardPainter, ScrollBarParts) {
  const TRect r(0, 0, 16, 16);
  auto part = [&](bool AHorizontal, TcxScrollBarPart APart, TcxButtonState AState) {
    return [=](TcxCanvas* C) { Standard()->DrawScrollBarPart(C, AHorizontal, r, APart, AState); };
  };
  auto nothing = [](TcxCanvas*) {};
  EXPECT_EQ(Mismatches(part(false, sbpThumbnail, cxbsDisabled), nothing), 0);
  EXPECT_EQ(Mismatches(part(false, sbpLineUp, cxbsHot), part(false, sbpLineUp, cxbsNormal)), 0);
  EXPECT_GT(Mismatches(part(false, sbpLineUp, cxbsNormal), part(false, sbpLineDown, cxbsNormal)),
            0);
  EXPECT_GT(Mismatches(part(true, sbpLineUp, cxbsNormal), part(false, sbpLineUp, cxbsNormal)), 0);
  Check({
      {"thumb", part(false, sbpThumbnail, cxbsNormal),
       {{0, 0, clBtnFace}, {15, 15, cl3DDkShadow}, {1, 1, clBtnHighlight}, {14, 14, clBtnShadow},
        {2, 2, clBtnFace}, {8, 8, clBtnFace}}},
      {"arrow, normal border", part(false, sbpLineDown, cxbsNormal),
       {{0, 0, clBtnFace}, {15, 15, cl3DDkShadow}, {1, 1, clBtnHighlight}, {14, 14, clBtnShadow}}},
      {"arrow, pressed border", part(false, sbpLineDown, cxbsPressed),
       {{0, 0, clBtnShadow}, {15, 15, clBtnShadow}, {1, 1, clBtnFace}, {14, 14, clBtnFace}}},
  });
}

TEST(StandardPainter, MonthHeaderFramesFollowTheNeighbours) {
  auto draw = [](TcxNeighbors ANeighbors) {
    return [=](TcxCanvas* C) {
      TcxViewParams params;
      params.Color = clRed;
      params.TextColor = clBlack;
      Standard()->DrawMonthHeader(C, TRect(0, 0, 16, 12), String(), ANeighbors, params, haNone,
                                  0, TcxDrawBackgroundEvent());
    };
  };
  struct {
    TcxNeighbors Neighbors;
    bool Left, Right;
  } cases[] = {{TcxNeighbors(), true, true},
               {TcxNeighbors{nRight}, true, false},
               {TcxNeighbors{nLeft}, false, true},
               {TcxNeighbors{nLeft, nRight}, false, false}};
  for (const auto& c : cases) {
    TCanvasBitmap bmp(16, 12);
    draw(c.Neighbors)(bmp.Canvas());
    EXPECT_EQ(bmp.Pixel(8, 0), clBlack);
    EXPECT_EQ(bmp.Pixel(8, 11), clBlack);
    EXPECT_EQ(bmp.Pixel(0, 6) == clBlack, c.Left);
    EXPECT_EQ(bmp.Pixel(15, 6) == clBlack, c.Right);
    EXPECT_EQ(bmp.Pixel(8, 6), clRed) << "the header face from the view params";
  }
}

TEST(StandardPainter, GroupExpandButtonShowsTheFlatFace) {
  for (TcxButtonState s : {cxbsNormal, cxbsPressed})
    EXPECT_EQ(Mismatches(
                  [&](TcxCanvas* C) {
                    Standard()->DrawGroupExpandButton(C, TRect(0, 0, 15, 15), true, s);
                  },
                  [&](TcxCanvas* C) {
                    TcxFlatLookAndFeelPainter::Instance()->DrawGroupExpandButton(
                        C, TRect(0, 0, 15, 15), true, s);
                  }),
              0);
}

TEST(StandardPainter, ExpandButtonIsASmallRaisedButton) {
  TCanvasBitmap bmp(16, 16);
  Standard()->DrawExpandButton(bmp.Canvas(), TRect(0, 0, 12, 12), false, clRed);
  bmp.Canvas()->FillRect(TRect(0, 0, 16, 16), clLime);  // the button is excluded from clipping
  EXPECT_EQ(bmp.Pixel(2, 2), ColorToRGB(clRed));
  int sign = 0;
  for (int y = 1; y < 10; ++y)
    for (int x = 1; x < 10; ++x) sign += bmp.Pixel(x, y) == ColorToRGB(clBtnText);
  EXPECT_GT(sign, 4) << "the plus sign on the face";
  EXPECT_NE(bmp.Pixel(11, 11), ColorToRGB(clLime));
  EXPECT_EQ(bmp.Pixel(12, 12), ColorToRGB(clLime));
}
