// TBitBtn: kinds and what they set, the glyph and caption layout, the glyph
// drawn by the owner-drawn button, clicks.
#include "StdCtrlsTestSupport.h"

#include "platform/gui/Buttons.h"

#include <memory>

using namespace stdtest;

namespace {

using BitmapPtr = std::unique_ptr<TBitmap, void (*)(TObject*)>;

class ButtonsTest : public StdCtrlsTest {};

TEST_F(ButtonsTest, KindSetsCaptionResultDefaultsAndGlyphUntilChanged) {
  auto* button = Place<TBitBtn>();
  EXPECT_EQ(StyleOf(button->Handle()) & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_TRUE(SuperclassesSystemClass(button->Handle(), L"BUTTON"));

  struct Case {
    TBitBtnKind Kind;
    const Char* Caption;
    TModalResult Result;
    bool Default, Cancel;
  };
  const Case cases[] = {
      {bkOK, L"OK", mrOk, true, false},          {bkCancel, L"Cancel", mrCancel, false, true},
      {bkYes, L"&Yes", mrYes, true, false},      {bkNo, L"&No", mrNo, false, true},
      {bkHelp, L"&Help", mrNone, false, false},  {bkClose, L"&Close", mrNone, false, false},
      {bkAbort, L"Abort", mrAbort, false, false}, {bkRetry, L"&Retry", mrRetry, false, false},
      {bkIgnore, L"&Ignore", mrIgnore, false, false}, {bkAll, L"&All", mrAll, false, false},
  };
  for (const Case& c : cases) {
    button->SetKind(c.Kind);
    EXPECT_EQ(button->Kind(), c.Kind);
    EXPECT_EQ(button->Caption(), c.Caption);
    EXPECT_EQ(button->ModalResult(), c.Result);
    EXPECT_EQ(button->Default(), c.Default) << c.Caption;
    EXPECT_EQ(button->Cancel(), c.Cancel) << c.Caption;
    EXPECT_EQ(button->NumGlyphs(), 2);
    EXPECT_EQ(button->Glyph()->Width(), 2 * button->Glyph()->Height());
  }
  // A setting of its own makes the button a custom one; the caption does not.
  button->SetKind(bkOK);
  button->SetCaption(L"Go");
  EXPECT_EQ(button->Kind(), bkOK);
  button->SetModalResult(mrRetry);
  EXPECT_EQ(button->Kind(), bkCustom);
  button->SetKind(bkCancel);
  auto glyph = BitmapPtr(NewBitmap(16, 16, clRed), &TObject::Free);
  button->SetGlyph(glyph.get());
  EXPECT_EQ(button->Kind(), bkCustom);
  EXPECT_EQ(button->NumGlyphs(), 1);
}

TEST_F(ButtonsTest, StoredKindButtonWritesOnlyTheKind) {
  auto* stock = Place<TBitBtn>();
  stock->SetName(L"BOk");
  stock->SetKind(bkOK);
  // Painting reads the glyph: no change of the button's own.
  auto painted = BitmapPtr(NewBitmap(75, 25, clBlack), &TObject::Free);
  stock->PaintTo(painted->Canvas()->Handle(), 0, 0);
  EXPECT_EQ(stock->Kind(), bkOK);
  auto* custom = Place<TBitBtn>(100, 8);
  custom->SetName(L"BHelp");
  auto glyph = BitmapPtr(NewBitmap(12, 12, clBlue), &TObject::Free);
  custom->SetGlyph(glyph.get());
  const String text = WriteDefinition(form);
  const size_t ok = text.find(L"object BOk: TBitBtn");
  const size_t help = text.find(L"object BHelp: TBitBtn");
  ASSERT_NE(ok, String::npos);
  ASSERT_NE(help, String::npos);
  const String okPart = text.substr(ok, help - ok);
  EXPECT_NE(okPart.find(L"Kind = bkOK"), String::npos);
  for (const Char* absent : {L"Caption", L"Default", L"ModalResult", L"Glyph.Data"})
    EXPECT_EQ(okPart.find(absent), String::npos) << String(absent) << "\n" << okPart;
  EXPECT_NE(text.substr(help).find(L"Glyph.Data"), String::npos);

  // Read back into a fresh form: the kind restores the rest.
  TForm* other = Make<TForm>(nullptr, 0);
  try {
    const String src = text;
    std::string narrow(src.begin(), src.end());
    ReadDefinition(narrow.c_str(), other);
    auto* back = dynamic_cast<TBitBtn*>(other->FindComponent(L"BOk"));
    auto* help2 = dynamic_cast<TBitBtn*>(other->FindComponent(L"BHelp"));
    ASSERT_TRUE(back && help2);
    EXPECT_EQ(back->Kind(), bkOK);
    EXPECT_EQ(back->Caption(), L"OK");
    EXPECT_EQ(back->ModalResult(), mrOk);
    EXPECT_EQ(help2->Glyph()->Width(), 12);
  } catch (...) {
    TObject::Free(other);
    throw;
  }
  TObject::Free(other);
}

TEST_F(ButtonsTest, LayoutPlacesGlyphAndCaption) {
  HDC dc = GetDC(nullptr);
  auto font = std::unique_ptr<TFont, void (*)(TObject*)>(Make<TFont>(), &TObject::Free);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  SIZE t{};
  GetTextExtentPoint32W(dc, L"Text", 4, &t);
  const TRect client(0, 0, 100, 40);
  const TSize glyph(16, 16);
  struct Case {
    TButtonLayout Layout;
    int Margin, Spacing;
    TPoint Glyph;
    TRect Text;
  };
  const int gy = (40 - 16 + 1) / 2, ty = (40 - t.cy + 1) / 2;
  const int gx = (100 - 16 + 1) / 2, tx = (100 - t.cx + 1) / 2;
  const int centred = (100 - 16 - 4 - t.cx + 1) / 2;
  const int third = (100 - 16 - t.cx) / 3;
  const Case cases[] = {
      {blGlyphLeft, -1, 4, {centred, gy}, Bounds(centred + 20, ty, t.cx, t.cy)},
      {blGlyphLeft, 5, 4, {5, gy}, Bounds(25, ty, t.cx, t.cy)},
      {blGlyphLeft, -1, -1, {third, gy}, Bounds(2 * third + 16, ty, t.cx, t.cy)},
      {blGlyphRight, 5, 4, {100 - 5 - 16, gy}, Bounds(100 - 5 - 16 - 4 - t.cx, ty, t.cx, t.cy)},
      {blGlyphTop, 2, 1, {gx, 2}, Bounds(tx, 19, t.cx, t.cy)},
      {blGlyphBottom, 2, 1, {gx, 40 - 2 - 16}, Bounds(tx, 40 - 2 - 16 - 1 - t.cy, t.cx, t.cy)},
  };
  for (const Case& c : cases) {
    TPoint gp;
    TRect tr;
    CalcButtonLayout(dc, client, L"Text", glyph, c.Layout, c.Margin, c.Spacing, gp, tr);
    EXPECT_EQ(gp, c.Glyph) << EnumName(c.Layout) << " " << c.Margin << " " << c.Spacing;
    EXPECT_EQ(tr, c.Text) << EnumName(c.Layout) << " " << c.Margin << " " << c.Spacing;
  }
  // Without a caption the glyph is centred and the spacing does not count.
  TPoint gp;
  TRect tr;
  CalcButtonLayout(dc, {10, 0, 110, 40}, String(), glyph, blGlyphLeft, -1, 4, gp, tr);
  EXPECT_EQ(gp, TPoint(10 + (100 - 16 + 1) / 2, gy));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
}

TEST_F(ButtonsTest, GlyphIsDrawnWithItsTransparentColourLeftOut) {
  auto* button = Place<TBitBtn>(0, 0, 60, 30);
  // An olive glyph (its bottom-left pixel: the transparent colour) with a
  // red square in the middle.
  auto glyph = BitmapPtr(NewBitmap(8, 8, clOlive), &TObject::Free);
  glyph->Canvas()->Brush()->SetColor(clRed);
  glyph->Canvas()->FillRect(Rect(2, 2, 6, 6));
  button->SetGlyph(glyph.get());
  button->HandleNeeded();

  auto bmp = BitmapPtr(NewBitmap(60, 30, clBlack), &TObject::Free);
  button->PaintTo(bmp->Canvas()->Handle(), 0, 0);
  TPoint gp;
  TRect tr;
  {
    HDC dc = GetDC(nullptr);
    CalcButtonLayout(dc, {1, 1, 59, 29}, String(), {8, 8}, blGlyphLeft, -1, 4, gp, tr);
    ReleaseDC(nullptr, dc);
  }
  EXPECT_EQ(PixelAt(bmp.get(), gp.X + 3, gp.Y + 3), clRed);
  EXPECT_NE(PixelAt(bmp.get(), gp.X, gp.Y), clOlive) << "the transparent colour is not drawn";
  EXPECT_NE(PixelAt(bmp.get(), gp.X + 7, gp.Y + 7), clOlive);

  // Disabled without an image of its own: the shape in the 3-D colours.
  button->SetEnabled(false);
  auto off = BitmapPtr(NewBitmap(60, 30, clBlack), &TObject::Free);
  button->PaintTo(off->Canvas()->Handle(), 0, 0);
  EXPECT_EQ(PixelAt(off.get(), gp.X + 3, gp.Y + 3), Rgb(clBtnShadow));
  EXPECT_EQ(PixelAt(off.get(), gp.X + 6, gp.Y + 6), Rgb(clBtnHighlight)) << "the highlight, one pixel down-right";
}

TEST_F(ButtonsTest, ClickRunsTheKindsAction) {
  stdtest::TEventLog log;
  auto* button = Place<TBitBtn>();
  button->SetKind(bkOK);
  button->OnClick = log.OnClick();
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(log.Count(L"click"), 1);
  EXPECT_EQ(form->ModalResult(), mrOk);

  auto* close = Place<TBitBtn>(100, 8);
  close->SetKind(bkClose);
  form->Show();
  PumpPending();
  SendMessageW(close->Handle(), BM_CLICK, 0, 0);
  PumpPending();
  EXPECT_FALSE(form->Visible()) << "Close hides the form";
}

}  // namespace
