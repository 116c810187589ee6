// TJPEGImage on libjpeg.
//
// libjpeg reports errors through error_exit, whose default ends the process.
// Ours longjmps back into the one function that called into the library; those
// functions hold no C++ objects with destructors, so the jump skips nothing,
// and their callers turn the failure into EInvalidGraphic.
#include "platform/gui/Jpeg.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// jconfig.h gives `boolean` the Windows type (unsigned char) the library was
// built with, the same one the Windows headers declare.
#include <jpeglib.h>
static_assert(sizeof(boolean) == 1, "libjpeg was built with an unsigned char boolean");

namespace {

std::atomic<long> g_decodes{0};

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  info->err->format_message(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Warnings (a truncated scan, extraneous bytes) are not worth a word: the
// image still decodes as far as its data goes.
void OutputMessage(j_common_ptr) {}

void InitError(TJpegError& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.output_message = OutputMessage;
  error.Message[0] = 0;
}

[[noreturn]] void JpegFailed(const TJpegError& error) {
  String text = L"JPEG error";
  if (error.Message[0]) {
    text += L": ";
    for (const char* p = error.Message; *p; ++p) text += static_cast<Char>(static_cast<unsigned char>(*p));
  }
  throw EInvalidGraphic(text);
}

struct THeader {
  int Width = 0, Height = 0;
  bool Progressive = false;
  bool Grayscale = false;
};

bool ReadHeaderRaw(jpeg_decompress_struct& info, TJpegError& error, const Byte* data,
                   size_t size, THeader& header) {
  if (setjmp(error.Jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
  header.Width = static_cast<int>(info.image_width);
  header.Height = static_cast<int>(info.image_height);
  header.Progressive = info.progressive_mode != 0;
  header.Grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
  return true;
}

THeader ReadHeader(const TBytes& data) {
  jpeg_decompress_struct info{};
  TJpegError error;
  InitError(error);
  info.err = &error.Manager;
  THeader header;
  const bool ok = !data.empty() && ReadHeaderRaw(info, error, data.data(), data.size(), header);
  jpeg_destroy_decompress(&info);
  if (!ok || header.Width <= 0 || header.Height <= 0) JpegFailed(error);
  return header;
}

constexpr int kDecodeBatchRows = 16;

// Where the decoder puts its rows: a bitmap of the output's size and kind.
struct TDecodeOptions {
  int ScaleDenom = 1;
  bool Grayscale = false;
  bool Quantize = false;
  bool Smoothing = true;
  bool Fast = false;
};

class TDecodeSink {
 public:
  explicit TDecodeSink(TBitmap* bitmap) : bitmap_(bitmap) {}
  // Rows handed on as they come, through a band of a few rows, instead of kept.
  explicit TDecodeSink(const TJPEGRowProc& consumer) : consumer_(&consumer) {}

  // Called once the output size is known; may raise.
  void Begin(jpeg_decompress_struct& info) {
    const int w = static_cast<int>(info.output_width);
    const int h = static_cast<int>(info.output_height);
    cmyk_ = info.out_color_space == JCS_CMYK;
    inverted_ = info.saw_Adobe_marker != 0;
    if (consumer_) {
      stride_ = static_cast<size_t>(w) * 3;
      band_.resize(stride_ * kDecodeBatchRows);
      if (cmyk_) row_.resize(static_cast<size_t>(w) * 4);
      return;
    }
    // Every row is written below: painting the image white first would cost as much as the
    // decoding itself.
    if (info.out_color_space == JCS_GRAYSCALE || info.quantize_colors) {
      bitmap_->SetPixelFormat(pf8bit);
      bitmap_->SetSizeUninitialized(w, h);
      SetPalette(info);
    } else {
      bitmap_->SetPixelFormat(pf24bit);
      bitmap_->SetSizeUninitialized(w, h);
    }
    if (cmyk_) row_.resize(static_cast<size_t>(w) * 4);
  }
  // Whether rows are written straight into the bitmap (else one at a time through a buffer).
  bool Direct() const { return !cmyk_; }
  JSAMPROW Row(int y) {
    current_ = consumer_ ? band_.data() + stride_ * static_cast<size_t>(y % kDecodeBatchRows)
                         : static_cast<Byte*>(bitmap_->ScanLine(y));
    return cmyk_ ? row_.data() : current_;
  }
  // After the library filled the rows from `first` on (`count` of them).
  void EndRows(int first, int count, int width) {
    ConvertCmyk(width);
    if (!consumer_) return;
    for (int i = 0; i < count; ++i)
      (*consumer_)(band_.data() + stride_ * static_cast<size_t>((first + i) % kDecodeBatchRows));
  }

 private:
  void ConvertCmyk(int width) {
    if (!cmyk_) return;
    // CMYK to BGR; Adobe writes the inks inverted.
    for (int x = 0; x < width; ++x) {
      const Byte* s = &row_[x * 4];
      int c = s[0], m = s[1], yl = s[2], k = s[3];
      if (!inverted_) {
        c = 255 - c;
        m = 255 - m;
        yl = 255 - yl;
        k = 255 - k;
      }
      current_[x * 3 + 0] = static_cast<Byte>(yl * k / 255);
      current_[x * 3 + 1] = static_cast<Byte>(m * k / 255);
      current_[x * 3 + 2] = static_cast<Byte>(c * k / 255);
    }
  }

  void SetPalette(jpeg_decompress_struct& info) {
    std::vector<Byte> buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    const bool gray = !info.quantize_colors;
    const int n = gray ? 256 : info.actual_number_of_colors;
    lp->palNumEntries = static_cast<WORD>(n);
    for (int i = 0; i < n; ++i) {
      PALETTEENTRY& e = lp->palPalEntry[i];
      if (gray) {
        e = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
      } else if (info.out_color_components == 1) {
        const BYTE v = info.colormap[0][i];
        e = {v, v, v, 0};
      } else {
        e = {info.colormap[0][i], info.colormap[1][i], info.colormap[2][i], 0};
      }
    }
    // The palette also gives the pixels their colour table: without it a
    // grey image would show in the default colours.
    HPALETTE palette = GdiCreatePalette(lp);
    if (!palette) throw EOutOfResources(L"Out of system resources");
    GdiDisown(palette);   // the bitmap adopts it
    bitmap_->SetPalette(palette);
  }

  TBitmap* bitmap_ = nullptr;
  const TJPEGRowProc* consumer_ = nullptr;
  std::vector<Byte> band_;
  size_t stride_ = 0;
  std::vector<Byte> row_;
  Byte* current_ = nullptr;
  bool cmyk_ = false;
  bool inverted_ = false;
};

bool DecodeRaw(jpeg_decompress_struct& info, TJpegError& error, const Byte* data, size_t size,
               const TDecodeOptions& options, TDecodeSink& sink) {
  if (setjmp(error.Jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(options.ScaleDenom);
  info.dct_method = options.Fast ? JDCT_IFAST : JDCT_ISLOW;
  info.do_fancy_upsampling = options.Fast ? FALSE : TRUE;
  info.do_block_smoothing = options.Smoothing ? TRUE : FALSE;
  if (options.Grayscale || info.jpeg_color_space == JCS_GRAYSCALE) {
    info.out_color_space = JCS_GRAYSCALE;
  } else if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    info.out_color_space = JCS_CMYK;
  } else if (options.Quantize) {
    info.out_color_space = JCS_RGB;
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = 256;
  } else {
    info.out_color_space = JCS_EXT_BGR;
  }
  jpeg_start_decompress(&info);
  sink.Begin(info);
  // Several rows a call where they go straight into the bitmap: the library decodes in
  // groups of rows and would otherwise hand them out one call at a time.
  const int batch = sink.Direct() ? kDecodeBatchRows : 1;
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    const int count = std::min(batch, static_cast<int>(info.output_height) - y);
    JSAMPROW rows[kDecodeBatchRows];
    for (int i = 0; i < count; ++i) rows[i] = sink.Row(y + i);
    const int read = static_cast<int>(jpeg_read_scanlines(&info, rows, static_cast<JDIMENSION>(count)));
    if (read == 0) break;   // the data gives no more rows: the rest stay as they are
    sink.EndRows(y, read, static_cast<int>(info.output_width));
  }
  jpeg_finish_decompress(&info);
  return true;
}

// Compresses a 24-bit bitmap; the library's output buffer is returned through `out`.
bool EncodeRaw(jpeg_compress_struct& info, TJpegError& error, TBitmap* bitmap, int quality,
               bool grayscale, unsigned char** out, unsigned long* outSize) {
  if (setjmp(error.Jump)) return false;
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, outSize);
  info.image_width = static_cast<JDIMENSION>(bitmap->Width());
  info.image_height = static_cast<JDIMENSION>(bitmap->Height());
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  if (grayscale) jpeg_set_colorspace(&info, JCS_GRAYSCALE);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = static_cast<JSAMPROW>(bitmap->ScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

TBytes ReadRest(TStream* stream, Int64 count) {
  if (count < 0 || count > stream->Size() - stream->Position())
    throw EInvalidGraphic(L"JPEG error: the data is cut short");
  // The codec takes the size as an unsigned long, 32 bits on 64-bit Windows
  // too, and the stored form as a 32-bit count: larger data would be cut short.
  if (count > INT_MAX) throw EInvalidGraphic(L"JPEG error: the data is too large");
  TBytes data(static_cast<size_t>(count));
  if (!data.empty()) stream->ReadBuffer(data.data(), static_cast<int>(data.size()));
  return data;
}

}  // namespace

IMPLEMENT_CLASS(TJPEGImage, TGraphic, ConstructPlain<TJPEGImage>)

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() { FreeBitmap(); }

long TJPEGImage::DecodeCount() { return g_decodes.load(); }

void TJPEGImage::FreeBitmap() { FreeAndNil(bitmap_); }

void TJPEGImage::SetData(TBytes data) {
  THeader header;
  if (!data.empty()) header = ReadHeader(data);   // raises before anything changes
  FreeBitmap();
  data_ = std::move(data);
  width_ = header.Width;
  height_ = header.Height;
  progressive_ = header.Progressive;
  grayscaleSource_ = header.Grayscale;
}

namespace {

// One decode of `data` into `sink`; EInvalidGraphic for corrupt data.
void DecodeInto(const TBytes& data, const TDecodeOptions& options, TDecodeSink& sink) {
  jpeg_decompress_struct info{};
  TJpegError error;
  InitError(error);
  info.err = &error.Manager;
  bool ok;
  try {
    ok = DecodeRaw(info, error, data.data(), data.size(), options, sink);
  } catch (...) {
    jpeg_destroy_decompress(&info);
    throw;
  }
  jpeg_destroy_decompress(&info);
  if (!ok) JpegFailed(error);
  ++g_decodes;
}

TDecodeOptions OptionsOf(const TJPEGImage& image) {
  TDecodeOptions options;
  options.ScaleDenom = 1 << static_cast<int>(image.Scale());
  options.Grayscale = image.Grayscale();
  options.Quantize = image.PixelFormat() == jf8Bit;
  options.Smoothing = image.Smoothing();
  options.Fast = image.Performance() == jpBestSpeed;
  return options;
}

}  // namespace

void TJPEGImage::Decode() {
  TObjectPtr<TBitmap> bitmap(Make<TBitmap>());
  TDecodeSink sink(bitmap.get());
  DecodeInto(data_, OptionsOf(*this), sink);
  bitmap_ = bitmap.release();
}

bool TJPEGImage::DecodeRows(const TJPEGRowProc& ARow) {
  if (bitmap_ || data_.empty() || grayscale_ || grayscaleSource_ || pixelFormat_ != jf24Bit) return false;
  TDecodeSink sink(ARow);
  DecodeInto(data_, OptionsOf(*this), sink);
  return true;
}

void TJPEGImage::DIBNeeded() {
  if (bitmap_ || data_.empty()) return;
  Decode();
}

TBitmap* TJPEGImage::DecodedBitmap() {
  DIBNeeded();
  return bitmap_;
}

void TJPEGImage::JPEGNeeded() {
  if (data_.empty() && bitmap_) Compress();
}

void TJPEGImage::Compress() {
  if (!bitmap_ || bitmap_->Empty()) return;
  // The encoder reads 24-bit rows.
  TBitmap* source = bitmap_;
  TBitmap* converted = nullptr;
  if (bitmap_->PixelFormat() != pf24bit) {
    converted = Make<TBitmap>();
    converted->Assign(bitmap_);
    converted->SetPixelFormat(pf24bit);
    source = converted;
  }
  jpeg_compress_struct info{};
  TJpegError error;
  InitError(error);
  info.err = &error.Manager;
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  bool ok;
  try {
    ok = EncodeRaw(info, error, source, quality_, grayscale_, &out, &outSize);
  } catch (...) {
    jpeg_destroy_compress(&info);
    std::free(out);
    TObject::Free(converted);
    throw;
  }
  jpeg_destroy_compress(&info);
  TObject::Free(converted);
  TBytes data;
  if (ok) data.assign(out, out + outSize);
  std::free(out);
  if (!ok) JpegFailed(error);
  const THeader header = ReadHeader(data);
  data_ = std::move(data);
  width_ = header.Width;
  height_ = header.Height;
  progressive_ = header.Progressive;
  grayscaleSource_ = header.Grayscale;
}

bool TJPEGImage::Empty() { return data_.empty() && !bitmap_; }

int TJPEGImage::Width() {
  if (bitmap_) return bitmap_->Width();
  const int d = 1 << static_cast<int>(scale_);
  return (width_ + d - 1) / d;
}

int TJPEGImage::Height() {
  if (bitmap_) return bitmap_->Height();
  const int d = 1 << static_cast<int>(scale_);
  return (height_ + d - 1) / d;
}

void TJPEGImage::SetWidth(int) {
  throw EInvalidGraphicOperation(L"Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int) {
  throw EInvalidGraphicOperation(L"Cannot change the size of a JPEG image");
}

HPALETTE TJPEGImage::GetPalette() { return bitmap_ ? bitmap_->GetPalette() : nullptr; }

// A decoding option changes what the pixels look like: decode again on the
// next draw. An image that has no bytes yet keeps its bitmap.
#define JPEG_OPTION_SETTER(Name, Type, field)  \
  void TJPEGImage::Set##Name(Type value) {     \
    if (value == field) return;                \
    field = value;                             \
    if (!data_.empty()) FreeBitmap();          \
    Changed(this);                             \
  }
JPEG_OPTION_SETTER(Grayscale, bool, grayscale_)
JPEG_OPTION_SETTER(PixelFormat, TJPEGPixelFormat, pixelFormat_)
JPEG_OPTION_SETTER(Scale, TJPEGScale, scale_)
JPEG_OPTION_SETTER(Smoothing, bool, smoothing_)
JPEG_OPTION_SETTER(Performance, TJPEGPerformance, performance_)
#undef JPEG_OPTION_SETTER

void TJPEGImage::SetCompressionQuality(int value) {
  quality_ = value < 1 ? 1 : value > 100 ? 100 : value;
}

void TJPEGImage::Assign(TPersistent* source) {
  if (!source) {
    FreeBitmap();
    data_.clear();
    width_ = height_ = 0;
    Changed(this);
    return;
  }
  if (auto* src = dynamic_cast<TJPEGImage*>(source)) {
    if (src == this) return;
    FreeBitmap();
    data_ = src->data_;
    width_ = src->width_;
    height_ = src->height_;
    progressive_ = src->progressive_;
    grayscaleSource_ = src->grayscaleSource_;
    quality_ = src->quality_;
    grayscale_ = src->grayscale_;
    pixelFormat_ = src->pixelFormat_;
    scale_ = src->scale_;
    smoothing_ = src->smoothing_;
    performance_ = src->performance_;
    if (data_.empty() && src->bitmap_) {   // an image not compressed yet
      bitmap_ = Make<TBitmap>();
      bitmap_->Assign(src->bitmap_);
    }
    Changed(this);
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    // The bitmap is the image now; it is compressed when the image is saved.
    auto* copy = Make<TBitmap>();
    try {
      copy->Assign(bitmap);
    } catch (...) {
      TObject::Free(copy);
      throw;
    }
    FreeBitmap();
    bitmap_ = copy;
    data_.clear();
    width_ = copy->Width();
    height_ = copy->Height();
    progressive_ = false;
    grayscaleSource_ = false;
    scale_ = jsFullSize;
    Changed(this);
    return;
  }
  inherited::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    DIBNeeded();
    bitmap->Assign(bitmap_);
    return;
  }
  inherited::AssignTo(dest);
}

bool TJPEGImage::Equals(TGraphic* graphic) {
  auto* other = dynamic_cast<TJPEGImage*>(graphic);
  if (!other || other->ClassType() != ClassType()) return false;
  if (other == this) return true;
  JPEGNeeded();
  other->JPEGNeeded();
  return data_ == other->data_;
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) {
  DIBNeeded();
  if (!bitmap_ || bitmap_->Empty()) return;
  HDC dst = canvas->Handle();
  HDC src = bitmap_->Canvas()->Handle();
  const int w = bitmap_->Width(), h = bitmap_->Height();
  if (rect.Width() == w && rect.Height() == h) {
    BitBlt(dst, rect.Left, rect.Top, w, h, src, 0, 0, SRCCOPY);
    return;
  }
  // Smooth scaling: HALFTONE averages the source pixels a target pixel covers.
  POINT oldOrigin;
  const int oldMode = SetStretchBltMode(dst, HALFTONE);
  SetBrushOrgEx(dst, 0, 0, &oldOrigin);
  StretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, w, h, SRCCOPY);
  SetStretchBltMode(dst, oldMode);
  SetBrushOrgEx(dst, oldOrigin.x, oldOrigin.y, nullptr);
}

void TJPEGImage::LoadFromStream(TStream* stream) {
  SetData(ReadRest(stream, stream->Size() - stream->Position()));
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* stream) {
  JPEGNeeded();
  if (!data_.empty()) stream->WriteBuffer(data_.data(), static_cast<int>(data_.size()));
}

void TJPEGImage::ReadData(TStream* stream) {
  std::uint32_t size = 0;
  stream->ReadBuffer(&size, sizeof(size));
  SetData(ReadRest(stream, size));
  Changed(this);
}

void TJPEGImage::WriteData(TStream* stream) {
  JPEGNeeded();
  const auto size = static_cast<std::uint32_t>(data_.size());
  stream->WriteBuffer(&size, sizeof(size));
  if (size) stream->WriteBuffer(data_.data(), static_cast<int>(size));
}
