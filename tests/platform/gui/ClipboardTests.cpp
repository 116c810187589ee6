// TClipboard: text, handles, several formats in one opening, pictures.
#include "FormsTestSupport.h"

#include "platform/gui/Clipboard.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <cstring>

namespace {

class ClipboardTest : public FormsFixture {};

template <class T>
FormsOwned<T> MakeGraphic() {
  return FormsOwned<T>(Make<T>(), &TObject::Free);
}

// The text on the clipboard as a plain Win32 reader sees it.
String SystemClipboardText() {
  String result;
  if (!OpenClipboard(nullptr)) return L"<cannot open>";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    result = static_cast<const Char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return result;
}

std::vector<Word> FormatsOnClipboard() {
  std::vector<Word> formats;
  for (int i = 0; i < Clipboard()->FormatCount(); ++i) formats.push_back(Clipboard()->Formats(i));
  return formats;
}

}  // namespace

TEST_F(ClipboardTest, ChineseTextRoundTrips) {
  const String text = L"岚泽家具生产设计系统 3.0 — 订单查询\r\n第二行";
  Clipboard()->SetAsText(text);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->AsText(), text);
  EXPECT_EQ(SystemClipboardText(), text);

  Char buffer[5];
  EXPECT_EQ(Clipboard()->GetTextBuf(buffer, 5), 4);
  EXPECT_STREQ(buffer, L"岚泽家具");
}

TEST_F(ClipboardTest, ClearLeavesNoText) {
  Clipboard()->SetAsText(L"something");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->AsText(), L"");
  EXPECT_EQ(Clipboard()->FormatCount(), 0);
}

TEST_F(ClipboardTest, OneOpeningPutsSeveralFormatsTogether) {
  const Word custom = static_cast<Word>(RegisterClipboardFormatW(L"LanzeClipboardTestFormat"));
  Clipboard()->SetAsText(L"old text");

  Clipboard()->Open();
  Clipboard()->Open();   // nested: the clipboard stays open until the outer Close
  Clipboard()->SetAsText(L"new text");
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(memory), "abc", 4);
  GlobalUnlock(memory);
  Clipboard()->SetAsHandle(custom, memory);
  Clipboard()->Close();
  Clipboard()->Close();
  Clipboard()->Close();  // one Close too many does nothing

  // The second write did not empty what the first one put there.
  EXPECT_EQ(Clipboard()->AsText(), L"new text");
  ASSERT_TRUE(Clipboard()->HasFormat(custom));
  HANDLE data = Clipboard()->GetAsHandle(custom);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "abc");
  GlobalUnlock(data);
  const std::vector<Word> formats = FormatsOnClipboard();
  EXPECT_NE(std::find(formats.begin(), formats.end(), CF_UNICODETEXT), formats.end());
  EXPECT_NE(std::find(formats.begin(), formats.end(), custom), formats.end());
  EXPECT_THROW(Clipboard()->Formats(static_cast<int>(formats.size()) + 5), EListError);
}

TEST_F(ClipboardTest, BitmapGoesThereAndBack) {
  auto bitmap = MakeGraphic<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(5, 3);
  bitmap->Canvas()->Brush()->SetColor(clWhite);
  bitmap->Canvas()->FillRect(Rect(0, 0, 5, 3));
  bitmap->Canvas()->SetPixel(2, 1, clRed);

  Clipboard()->Assign(bitmap.get());
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));

  auto copy = MakeGraphic<TBitmap>();
  copy->Assign(Clipboard());
  ASSERT_EQ(copy->Width(), 5);
  ASSERT_EQ(copy->Height(), 3);
  EXPECT_EQ(ColorToRGB(copy->Canvas()->GetPixel(2, 1)), ColorToRGB(clRed));
  EXPECT_EQ(ColorToRGB(copy->Canvas()->GetPixel(0, 0)), ColorToRGB(clWhite));

  auto picture = MakeGraphic<TPicture>();
  picture->Assign(Clipboard());
  ASSERT_NE(picture->Graphic(), nullptr);
  EXPECT_TRUE(picture->Graphic()->Is<TBitmap>());
  EXPECT_EQ(picture->Width(), 5);
}

TEST_F(ClipboardTest, TextIsNoPicture) {
  Clipboard()->SetAsText(L"only text");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
  auto picture = MakeGraphic<TPicture>();
  EXPECT_THROW(picture->Assign(Clipboard()), EInvalidGraphic);
  auto bitmap = MakeGraphic<TBitmap>();
  EXPECT_THROW(bitmap->Assign(Clipboard()), EInvalidGraphic);
  // A failed read leaves the clipboard closed for others.
  EXPECT_EQ(SystemClipboardText(), L"only text");
}
