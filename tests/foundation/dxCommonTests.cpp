#include "platform/WinApi.h"
#include "foundation/dxCommon.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/dxOffice11TestSupport.h"

#include <gtest/gtest.h>

namespace {

using fndtest::TDib;

constexpr TColor kBack = 0xFF00FF;

TEST(DxCommon, SizeGripCornerFacesAwayFromTheOtherRectangle) {
  const TRect owner(100, 100, 200, 130);
  struct TCase {
    TRect Popup;
    TdxCorner Corner;
  };
  const TCase cases[] = {
      {TRect(250, 150, 300, 200), coTopLeft},      // wholly right of and below
      {TRect(250, 20, 300, 90), coBottomLeft},     // right of, above
      {TRect(100, 130, 300, 200), coTopRight},     // below, overlapping horizontally
      {TRect(100, 20, 200, 100), coBottomRight},   // above
  };
  for (const TCase& c : cases) EXPECT_EQ(dxGetSizeGripCorner(c.Popup, owner), c.Corner);
}

// The grip drawn into a square of the corner, with 2-pixel face strips on
// the square's outer sides and the system grip (drawn here the same way as a
// reference) mirrored to face the corner.
TEST(DxCommon, SizeGripIsMirroredIntoItsCorner) {
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const int w = cx - 2, h = cy - 2;
  TDib reference(w, h, kBack);
  {
    HDC memDC = CreateCompatibleDC(reference.DC());
    HBITMAP bitmap = CreateCompatibleBitmap(reference.DC(), w, h);
    HGDIOBJ old = SelectObject(memDC, bitmap);
    RECT grip{0, 0, w, h};
    DrawFrameControl(memDC, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    BitBlt(reference.DC(), 0, 0, w, h, memDC, 0, 0, SRCCOPY);
    SelectObject(memDC, old);
    DeleteObject(bitmap);
    DeleteDC(memDC);
  }
  const TColor face = ColorToRGB(clBtnFace);
  const TRect area(10, 10, 60, 60);
  for (TdxCorner corner : {coTopLeft, coTopRight, coBottomLeft, coBottomRight}) {
    SCOPED_TRACE(testing::Message() << "corner " << corner);
    const bool left = corner == coTopLeft || corner == coBottomLeft;
    const bool top = corner == coTopLeft || corner == coTopRight;
    TDib dib(70, 70, kBack);
    const long gdi = GdiAccounting::Live();
    TRect r = area;
    dxPaintSizeGripCorner(dib.DC(), r, corner);
    EXPECT_EQ(GdiAccounting::Live(), gdi);

    const TRect square(left ? area.Left : area.Right - cx, top ? area.Top : area.Bottom - cy,
                       left ? area.Left + cx : area.Right, top ? area.Top + cy : area.Bottom);
    ASSERT_EQ(r, square);
    const TRect inner(square.Left + (left ? 2 : 0), square.Top + (top ? 2 : 0),
                      square.Right - (left ? 0 : 2), square.Bottom - (top ? 0 : 2));
    int mismatches = 0;
    for (int y = 0; y < 70; ++y)
      for (int x = 0; x < 70; ++x) {
        TColor expected;
        if (!square.Contains(TPoint(x, y)))
          expected = kBack;
        else if (!inner.Contains(TPoint(x, y)))
          expected = face;
        else {
          const int gx = x - inner.Left, gy = y - inner.Top;
          expected = reference.Pixel(left ? w - 1 - gx : gx, top ? h - 1 - gy : gy);
        }
        mismatches += dib.Pixel(x, y) != expected;
      }
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace
