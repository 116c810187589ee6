// The main window's background picture, from its stored definition to the
// screen.
#include "app/Unit5.h"

#include "editors/family/cxImage.h"
#include "platform/gui/Jpeg.h"
#include "tests/support/LeakCheck.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestDib.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

namespace {

Owned<TForm5> NewForm5() { return Own(static_cast<TForm5*>(TForm5::StaticClass()->NewInstance(nullptr))); }

// The pixels of a window as it shows them.
class TWindowPixels : public TTestDib {
 public:
  TWindowPixels(HWND AWnd, int AWidth, int AHeight) : TTestDib(AWidth, AHeight) {
    RedrawWindow(AWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(AWnd);
    BitBlt(DC(), 0, 0, AWidth, AHeight, dc, 0, 0, SRCCOPY);
    ReleaseDC(AWnd, dc);
  }
  COLORREF At(int x, int y) const {
    const DWORD raw = RawAt(x, y);
    return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
  }
};

}  // namespace

TEST(Form5Picture, IsAReadOnlyStretchedJpegWithoutItsOwnMenu) {
  auto form = NewForm5();
  TcxImage* image = form->cxImage1;
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Owner(), form.get());
  EXPECT_EQ(image->Align(), alClient);
  TcxImageProperties* p = image->Properties();
  EXPECT_EQ(p->GraphicClass(), TJPEGImage::StaticClass());
  EXPECT_TRUE(p->ReadOnly());
  EXPECT_TRUE(p->Stretch());
  EXPECT_TRUE(p->Center());
  EXPECT_TRUE(p->Proportional());
  EXPECT_TRUE(p->PopupMenuLayout()->MenuItems().Empty());
  auto* jpeg = dynamic_cast<TJPEGImage*>(image->Picture()->Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Width(), 1600);
  EXPECT_EQ(jpeg->Height(), 862);
  // The user can change nothing.
  EXPECT_FALSE(image->DoEditing());
}

TEST(Form5Picture, IsDecodedAtTheFirstPaintAndFittedIntoTheClientArea) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  const long decodes = TJPEGImage::DecodeCount();
  auto form = NewForm5();
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes);   // loading keeps the bytes compressed
  form->SetWindowState(wsNormal);
  form->SetClientWidth(873);
  form->SetClientHeight(401);
  form->Show();
  PumpQueuedMessages();
  TcxImage* image = form->cxImage1;
  const int w = image->Width(), h = image->Height();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  TWindowPixels pixels(image->Handle(), w, h);
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);

  // The fitted rectangle of 1600 : 862 in the client rectangle, centred.
  const TRect client = image->ImageViewInfo()->ClientRect;
  const TRect fitted = image->ImageViewInfo()->PictureRect(client);
  const TRect expected = [&] {
    TRect r = cxFitRectProportionally(client, 1600, 862);
    const int dx = (client.Width() - r.Width()) / 2, dy = (client.Height() - r.Height()) / 2;
    return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
  }();
  EXPECT_EQ(fitted, expected);
  EXPECT_TRUE(fitted.Width() == client.Width() || fitted.Height() == client.Height());

  // Not blank: the picture shows more than a handful of colours inside the
  // fitted rectangle, and the bands outside it are the background colour.
  std::vector<COLORREF> seen;
  for (int y = fitted.Top + 2; y < fitted.Bottom - 2; y += 17)
    for (int x = fitted.Left + 2; x < fitted.Right - 2; x += 23) {
      const COLORREF c = pixels.At(x, y);
      if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
    }
  EXPECT_GT(seen.size(), 20u);
  const COLORREF background = ColorToRGB(image->ImageViewInfo()->BackgroundColor());
  if (fitted.Left > client.Left) {
    EXPECT_EQ(pixels.At(client.Left + (fitted.Left - client.Left) / 2, h / 2), background);
    EXPECT_EQ(pixels.At(fitted.Right + (client.Right - fitted.Right) / 2, h / 2), background);
  }
  if (fitted.Top > client.Top) {
    EXPECT_EQ(pixels.At(w / 2, client.Top + (fitted.Top - client.Top) / 2), background);
    EXPECT_EQ(pixels.At(w / 2, fitted.Bottom + (client.Bottom - fitted.Bottom) / 2), background);
  }
}
