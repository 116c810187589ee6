// Colours, fonts, pens and brushes, and the GDI object accounting.
#include "GraphicsTestSupport.h"

#include "platform/gui/Jpeg.h"

#include <vector>

// ---- Colours ----------------------------------------------------------------------

TEST(GraphicsColors, SystemColorsAreTaggedIndexesAndResolveThroughTheSystem) {
  EXPECT_EQ(static_cast<unsigned>(clBtnFace), 0xFF00000Fu);
  EXPECT_EQ(static_cast<unsigned>(clWindowText), 0xFF000008u);
  EXPECT_EQ(static_cast<unsigned>(clHighlight), 0xFF00000Du);
  EXPECT_EQ(static_cast<unsigned>(clMenuBar), 0xFF00001Eu);
  EXPECT_EQ(clNone, 0x1FFFFFFF);
  EXPECT_EQ(clDefault, 0x20000000);

  EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clHotLight), static_cast<TColor>(GetSysColor(COLOR_HOTLIGHT)));
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
  // No RGB value: nothing beyond 24 bits may reach GDI.
  EXPECT_EQ(ColorToRGB(clNone) & ~0xFFFFFF, 0);
}

TEST(GraphicsColors, EveryNameMapsToOneColourAndBack) {
  std::vector<String> names;
  GetColorValues([&](const String& name) { names.push_back(name); });
  EXPECT_EQ(names.size(), 52u);
  for (const String& name : names) {
    int color = 0;
    ASSERT_TRUE(IdentToColor(name, color)) << testing::PrintToString(name);
    String back;
    ASSERT_TRUE(ColorToIdent(color, back));
    EXPECT_EQ(back, name) << "two names share the value of " << testing::PrintToString(name);
  }
}

TEST(GraphicsColors, StringConversions) {
  struct Case {
    const Char* Text;
    TColor Color;
    const Char* Back;
  };
  const Case cases[] = {
      {L"clMoneyGreen", clMoneyGreen, L"clMoneyGreen"},
      {L"CLBTNFACE", clBtnFace, L"clBtnFace"},
      {L"$00123456", 0x123456, L"$00123456"},
      {L"0x00ABCDEF", 0xABCDEF, L"$00ABCDEF"},
      {L"255", clRed, L"clRed"},
      {L"$FF000042", int(0xFF000042), L"$FF000042"},
      {L"-16777201", clBtnFace, L"clBtnFace"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StringToColor(c.Text), c.Color) << testing::PrintToString(String(c.Text));
    EXPECT_EQ(ColorToString(c.Color), c.Back);
  }
  for (const Char* bad : {L"", L"clNoSuchColour", L"$", L"12x", L"$1FFFFFFFF", L"99999999999"})
    EXPECT_THROW(StringToColor(bad), EConvertError) << testing::PrintToString(String(bad));
}

// ---- Fonts ------------------------------------------------------------------------

class GraphicsFont : public GraphicsTest {};

TEST_F(GraphicsFont, StartsAsTheSystemGuiFaceAtHeightMinus11) {
  LOGFONTW system{};
  ASSERT_TRUE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(system), &system));
  auto font = MakeOwned<TFont>();
  EXPECT_EQ(font->Name(), String(system.lfFaceName));
  EXPECT_EQ(font->Height(), -11);
  EXPECT_EQ(font->Size(), 8);
  EXPECT_EQ(font->Color(), clWindowText);
  EXPECT_EQ(font->Charset(), DEFAULT_CHARSET);
  EXPECT_TRUE(font->Style().Empty());
}

TEST_F(GraphicsFont, EqualFontsShareOneHandle) {
  const long before = GdiAccounting::Live(gokFont);
  std::vector<Owned<TFont>> fonts;
  for (int i = 0; i < 1000; ++i) {
    fonts.push_back(MakeOwned<TFont>());
    fonts.back()->SetName(L"Tahoma");
    fonts.back()->SetHeight(-17);
    fonts.back()->SetStyle({fsBold});
  }
  HFONT first = fonts[0]->Handle();
  for (auto& f : fonts) ASSERT_EQ(f->Handle(), first);
  EXPECT_EQ(GdiAccounting::Live(gokFont), before + 1);

  fonts[1]->SetStyle({fsItalic});
  EXPECT_NE(fonts[1]->Handle(), first);
  EXPECT_EQ(GdiAccounting::Live(gokFont), before + 2);

  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(first, sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -17);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");

  fonts.clear();
  EXPECT_EQ(GdiAccounting::Live(gokFont), before);
}

TEST_F(GraphicsFont, OnChangeFiresOncePerRealChange) {
  auto font = MakeOwned<TFont>();
  TEventCounter counter;
  font->OnChange = counter.Event();

  font->SetSize(12);                // changes Height: one event
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(counter.LastSender, font.get());
  font->SetHeight(font->Height());
  font->SetSize(12);
  font->SetName(font->Name());
  font->SetColor(font->Color());
  font->SetStyle(font->Style());
  EXPECT_EQ(counter.Count, 1) << "setting a value it already has is no change";

  font->SetColor(clRed);
  font->SetStyle({fsUnderline});
  font->SetCharset(GB2312_CHARSET);
  EXPECT_EQ(counter.Count, 4);

  auto other = MakeOwned<TFont>();
  other->Assign(font.get());   // many values, one change
  TEventCounter otherCounter;
  other->OnChange = otherCounter.Event();
  other->Assign(font.get());
  EXPECT_EQ(otherCounter.Count, 0);
  other->SetColor(clBlue);
  font->Assign(other.get());
  EXPECT_EQ(counter.Count, 5);
  EXPECT_EQ(font->Color(), clBlue);
}

TEST_F(GraphicsFont, SizeAndHeightFollowPixelsPerInch) {
  auto font = MakeOwned<TFont>();
  font->SetPixelsPerInch(96);
  struct Case {
    int Ppi, Size, Height;
  };
  for (const Case& c : {Case{96, 8, -11}, Case{96, 10, -13}, Case{96, 9, -12}, Case{120, 10, -17},
                        Case{144, 8, -16}}) {
    font->SetPixelsPerInch(c.Ppi);
    font->SetSize(c.Size);
    EXPECT_EQ(font->Height(), c.Height) << c.Ppi << " dpi, " << c.Size << " pt";
    EXPECT_EQ(font->Size(), c.Size);
  }
  // Assigning across resolutions keeps the point size.
  auto at96 = MakeOwned<TFont>();
  at96->SetPixelsPerInch(96);
  at96->SetHeight(-16);   // 12 pt
  auto at144 = MakeOwned<TFont>();
  at144->SetPixelsPerInch(144);
  at144->Assign(at96.get());
  EXPECT_EQ(at144->Height(), -24);
}

TEST_F(GraphicsFont, StreamsHeightNotSizeAndColoursByType) {
  auto font = MakeOwned<TFont>();
  TClass cls = TFont::StaticClass();
  const TPropInfo* size = cls->FindProperty(L"Size");
  ASSERT_NE(size, nullptr);
  EXPECT_FALSE(size->IsStored(font.get()));
  EXPECT_TRUE(cls->FindProperty(L"Height")->IsStored(font.get()));
  EXPECT_EQ(cls->FindProperty(L"Color")->PropType, ColorTypeInfo());
  EXPECT_EQ(cls->FindProperty(L"Charset")->PropType, FontCharsetTypeInfo());
  EXPECT_EQ(ColorTypeInfo()->Name, L"TColor");
  EXPECT_EQ(ColorTypeInfo()->Kind, tkInteger);
}

TEST_F(GraphicsFont, TakesOverAForeignHandle) {
  LOGFONTW lf{};
  lf.lfHeight = -20;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  wcscpy(lf.lfFaceName, L"Tahoma");
  HFONT handle = CreateFontIndirectW(&lf);
  const long before = GdiAccounting::Live(gokFont);
  {
    auto font = MakeOwned<TFont>();
    font->SetHandle(handle);
    EXPECT_EQ(font->Handle(), handle);
    EXPECT_EQ(font->Height(), -20);
    EXPECT_EQ(font->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font->Name(), L"Tahoma");
    EXPECT_EQ(GdiAccounting::Live(gokFont), before + 1);
  }
  EXPECT_EQ(GdiAccounting::Live(gokFont), before);
  EXPECT_EQ(GetObjectType(handle), 0u) << "the font deleted the handle it took over";
}

// ---- Pens and brushes -----------------------------------------------------------------

TEST_F(GraphicsTest, PensAndBrushesShareHandlesAndFreeTheOldOne) {
  const long pens = GdiAccounting::Live(gokPen), brushes = GdiAccounting::Live(gokBrush);
  {
    auto a = MakeOwned<TPen>(), b = MakeOwned<TPen>();
    a->SetColor(clRed);
    b->SetColor(clRed);
    EXPECT_EQ(a->Handle(), b->Handle());
    b->SetWidth(3);
    EXPECT_NE(a->Handle(), b->Handle());
    LOGPEN lp{};
    GetObjectW(b->Handle(), sizeof(lp), &lp);
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(255, 0, 0));

    auto c = MakeOwned<TBrush>(), d = MakeOwned<TBrush>();
    c->SetStyle(bsCross);
    d->SetStyle(bsCross);
    EXPECT_EQ(c->Handle(), d->Handle());
    LOGBRUSH lb{};
    GetObjectW(c->Handle(), sizeof(lb), &lb);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
    // A colour turns a clear brush solid.
    d->SetStyle(bsClear);
    d->SetColor(clYellow);
    EXPECT_EQ(d->Style(), bsSolid);
    d->Handle();
    EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes + 2);
  }
  EXPECT_EQ(GdiAccounting::Live(gokPen), pens);
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
}

TEST_F(GraphicsTest, PatternBrushFromABitmap) {
  auto pattern = MakeBitmap(8, 8, clRed);
  pattern->Canvas()->SetPixel(0, 0, clBlue);
  auto target = MakeBitmap(16, 16);
  target->Canvas()->Brush()->SetBitmap(pattern.get());
  target->Canvas()->FillRect(Rect(0, 0, 16, 16));
  EXPECT_EQ(PixelOf(target.get(), 0, 0), clBlue);
  EXPECT_EQ(PixelOf(target.get(), 8, 8), clBlue);
  EXPECT_EQ(PixelOf(target.get(), 1, 0), clRed);
  target->Canvas()->Brush()->SetBitmap(nullptr);
}

// ---- No leaks ---------------------------------------------------------------------------

TEST_F(GraphicsTest, CreatingDrawingAndFreeingLeavesNoGdiObjects) {
  // The JPEG used in the loop, made once.
  TBytes jpeg;
  {
    auto source = MakeBitmap(8, 8, clTeal, pf24bit);
    auto image = MakeOwned<TJPEGImage>();
    image->Assign(source.get());
    jpeg = SavedBytes(image.get());
  }
  const long before = GdiAccounting::Live();
  for (int i = 0; i < 1000; ++i) {
    auto bitmap = MakeBitmap(16, 16, static_cast<TColor>(i * 0x010203));
    TCanvas* canvas = bitmap->Canvas();
    canvas->Font()->SetHeight(-10 - i % 7);
    canvas->Font()->SetStyle({fsBold});
    canvas->Pen()->SetWidth(1 + i % 3);
    canvas->Brush()->SetStyle(bsDiagCross);
    canvas->Rectangle(1, 1, 15, 15);
    canvas->TextOut(2, 2, L"Ab");
    auto other = MakeBitmap(8, 8, clRed, pf8bit);
    other->SetTransparent(true);
    canvas->Draw(3, 3, other.get());
    canvas->StretchDraw(Rect(0, 0, 4, 4), other.get());
    auto copy = MakeOwned<TBitmap>();
    copy->Assign(bitmap.get());
    copy->Dormant();
    copy->SetSize(20, 20);
    copy->SetMonochrome(true);
    auto stream = MakeOwned<TBytesStream>(jpeg);
    auto image = MakeOwned<TJPEGImage>();
    image->LoadFromStream(stream.get());
    canvas->Draw(0, 0, image.get());
    canvas->BrushCopy(Rect(0, 0, 8, 8), other.get(), Rect(0, 0, 8, 8), clRed);
  }
  EXPECT_EQ(GdiAccounting::Live(), before);
}
