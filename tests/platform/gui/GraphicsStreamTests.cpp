// Fonts, colours and pictures in the component stream.
#include "GraphicsTestSupport.h"

#include "platform/core/Components.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/gui/Jpeg.h"

namespace {

class TGraphicsHolder : public TComponent {
  DECLARE_CLASS(TGraphicsHolder, TComponent)
  explicit TGraphicsHolder(TComponent* owner) : TComponent(owner) {}
  ~TGraphicsHolder() override {
    TObject::Free(font_);
    TObject::Free(picture_);
  }
  TFont* GetFont() const { return font_; }
  void SetFont(TFont* value) { font_->Assign(value); }
  TPicture* GetPicture() const { return picture_; }
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  TColor Color = clBtnFace;

 private:
  TFont* font_ = Make<TFont>();
  TPicture* picture_ = Make<TPicture>();
};

BEGIN_CLASS(TGraphicsHolder, TComponent, (ConstructWith<TGraphicsHolder, TComponent>))
  b.Field(L"Color", &TGraphicsHolder::Color, ColorTypeInfo());
  b.Prop(L"Font", &TGraphicsHolder::GetFont, &TGraphicsHolder::SetFont);
  b.Prop(L"Picture", &TGraphicsHolder::GetPicture, &TGraphicsHolder::SetPicture);
END_CLASS

std::string AsText(TMemoryStream* binary) {
  binary->SetPosition(0);
  auto text = MakeOwned<TMemoryStream>();
  ObjectBinaryToText(binary, text.get());
  const auto* p = static_cast<const char*>(text->Memory());
  return std::string(p, p + text->Size());
}

class GraphicsStream : public GraphicsTest {};

}  // namespace

TEST_F(GraphicsStream, FontsAndColoursAreWrittenByName) {
  auto holder = Owned<TGraphicsHolder>(Make<TGraphicsHolder>(nullptr), &TObject::Free);
  holder->SetName(L"Holder");
  holder->GetFont()->SetName(L"Tahoma");
  holder->GetFont()->SetCharset(GB2312_CHARSET);
  holder->GetFont()->SetStyle({fsBold});
  auto stream = MakeOwned<TMemoryStream>();
  WriteComponentToStream(stream.get(), holder.get());
  const std::string text = AsText(stream.get());
  for (const char* line : {"Color = clBtnFace", "Font.Charset = GB2312_CHARSET", "Font.Color = clWindowText",
                           "Font.Height = -11", "Font.Name = 'Tahoma'", "Font.Style = [fsBold]"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " missing in\n" << text;
  EXPECT_EQ(text.find("Font.Size"), std::string::npos) << text;
  EXPECT_EQ(text.find("Picture.Data"), std::string::npos) << "an empty picture has no data";

  auto copy = Owned<TGraphicsHolder>(Make<TGraphicsHolder>(nullptr), &TObject::Free);
  copy->Color = clBlack;
  stream->SetPosition(0);
  ReadComponentFromStream(stream.get(), copy.get());
  EXPECT_EQ(copy->Color, clBtnFace);
  EXPECT_EQ(copy->GetFont()->Data(), holder->GetFont()->Data());
  EXPECT_EQ(copy->GetFont()->Color(), clWindowText);
}

TEST_F(GraphicsStream, PictureDataSurvivesTheRoundTrip) {
  auto source = MakeBitmap(16, 8, clTeal, pf24bit);
  auto jpeg = MakeOwned<TJPEGImage>();
  jpeg->Assign(source.get());
  const TBytes bytes = SavedBytes(jpeg.get());

  auto holder = Owned<TGraphicsHolder>(Make<TGraphicsHolder>(nullptr), &TObject::Free);
  holder->SetName(L"Holder");
  holder->GetPicture()->SetGraphic(jpeg.get());
  auto stream = MakeOwned<TMemoryStream>();
  WriteComponentToStream(stream.get(), holder.get());
  const std::string text = AsText(stream.get());
  EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;
  EXPECT_NE(text.find("0A544A504547496D616765"), std::string::npos) << "length 10, \"TJPEGImage\"";

  auto copy = Owned<TGraphicsHolder>(Make<TGraphicsHolder>(nullptr), &TObject::Free);
  stream->SetPosition(0);
  const long decodes = TJPEGImage::DecodeCount();
  ReadComponentFromStream(stream.get(), copy.get());
  auto* image = dynamic_cast<TJPEGImage*>(copy->GetPicture()->Graphic());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Data(), bytes);
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes);
}
