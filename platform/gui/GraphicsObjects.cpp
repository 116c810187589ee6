// Colours and their names, and the font, pen and brush wrappers with the
// cache that lets equal objects share one GDI handle.
#include "platform/gui/Graphics.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/GraphicsInternal.h"
#include "platform/core/Filer.h"
#include "platform/core/SysUtils.h"

#include <cwctype>
#include <mutex>
#include <vector>

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

namespace {

// A copy of a font's, pen's or brush's data with one field changed: what a
// property setter hands to Change.
template <class D, class F, class V>
D With(D data, F D::*field, const V& value) {
  data.*field = value;
  return data;
}

const TIdentMapEntry kColors[] = {
    {clBlack, L"clBlack"},
    {clMaroon, L"clMaroon"},
    {clGreen, L"clGreen"},
    {clOlive, L"clOlive"},
    {clNavy, L"clNavy"},
    {clPurple, L"clPurple"},
    {clTeal, L"clTeal"},
    {clGray, L"clGray"},
    {clSilver, L"clSilver"},
    {clRed, L"clRed"},
    {clLime, L"clLime"},
    {clYellow, L"clYellow"},
    {clBlue, L"clBlue"},
    {clFuchsia, L"clFuchsia"},
    {clAqua, L"clAqua"},
    {clWhite, L"clWhite"},
    {clMoneyGreen, L"clMoneyGreen"},
    {clSkyBlue, L"clSkyBlue"},
    {clCream, L"clCream"},
    {clMedGray, L"clMedGray"},
    {clActiveBorder, L"clActiveBorder"},
    {clActiveCaption, L"clActiveCaption"},
    {clAppWorkSpace, L"clAppWorkSpace"},
    {clBackground, L"clBackground"},
    {clBtnFace, L"clBtnFace"},
    {clBtnHighlight, L"clBtnHighlight"},
    {clBtnShadow, L"clBtnShadow"},
    {clBtnText, L"clBtnText"},
    {clCaptionText, L"clCaptionText"},
    {clDefault, L"clDefault"},
    {clGradientActiveCaption, L"clGradientActiveCaption"},
    {clGradientInactiveCaption, L"clGradientInactiveCaption"},
    {clGrayText, L"clGrayText"},
    {clHighlight, L"clHighlight"},
    {clHighlightText, L"clHighlightText"},
    {clHotLight, L"clHotLight"},
    {clInactiveBorder, L"clInactiveBorder"},
    {clInactiveCaption, L"clInactiveCaption"},
    {clInactiveCaptionText, L"clInactiveCaptionText"},
    {clInfoBk, L"clInfoBk"},
    {clInfoText, L"clInfoText"},
    {clMenu, L"clMenu"},
    {clMenuBar, L"clMenuBar"},
    {clMenuHighlight, L"clMenuHighlight"},
    {clMenuText, L"clMenuText"},
    {clNone, L"clNone"},
    {clScrollBar, L"clScrollBar"},
    {cl3DDkShadow, L"cl3DDkShadow"},
    {cl3DLight, L"cl3DLight"},
    {clWindow, L"clWindow"},
    {clWindowFrame, L"clWindowFrame"},
    {clWindowText, L"clWindowText"},
};

const TIdentMapEntry kCharsets[] = {
    {ANSI_CHARSET, L"ANSI_CHARSET"},
    {DEFAULT_CHARSET, L"DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, L"SYMBOL_CHARSET"},
    {MAC_CHARSET, L"MAC_CHARSET"},
    {SHIFTJIS_CHARSET, L"SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, L"HANGEUL_CHARSET"},
    {JOHAB_CHARSET, L"JOHAB_CHARSET"},
    {GB2312_CHARSET, L"GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, L"CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, L"GREEK_CHARSET"},
    {TURKISH_CHARSET, L"TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, L"VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, L"HEBREW_CHARSET"},
    {ARABIC_CHARSET, L"ARABIC_CHARSET"},
    {BALTIC_CHARSET, L"BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, L"RUSSIAN_CHARSET"},
    {THAI_CHARSET, L"THAI_CHARSET"},
    {EASTEUROPE_CHARSET, L"EASTEUROPE_CHARSET"},
    {OEM_CHARSET, L"OEM_CHARSET"},
};

// Decimal, "$hex" or "0xhex", with an optional sign; 32 bits wrap as on the platform.
bool ParseInteger(const String& text, int& value) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  int base = 10;
  if (i < text.size() && text[i] == L'$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  const size_t start = i;
  UInt64 result = 0;
  for (; i < text.size(); ++i) {
    int digit;
    const Char c = text[i];
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
    else break;
    result = result * base + digit;
    if (result > 0xFFFFFFFFull) return false;
  }
  if (i == start || i != text.size()) return false;
  if (base == 10 && result > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
  const auto u = static_cast<std::uint32_t>(result);
  value = static_cast<int>(negative ? 0u - u : u);
  return true;
}

}  // namespace

TColor ColorToRGB(TColor color) {
  if (color < 0) return static_cast<TColor>(GetSysColor(color & 0xFF));
  if (color == clNone || color == clDefault) return color & 0xFFFFFF;
  return color;
}

bool ColorToIdent(int color, String& ident) { return IntToIdent(color, ident, kColors); }
bool IdentToColor(const String& ident, int& color) { return IdentToInt(ident, color, kColors); }

String ColorToString(TColor color) {
  String ident;
  if (ColorToIdent(color, ident)) return ident;
  Char buf[16];
  swprintf(buf, 16, L"$%08X", static_cast<unsigned>(color));
  return buf;
}

TColor StringToColor(const String& text) {
  int color;
  if (IdentToColor(text, color) || ParseInteger(text, color)) return color;
  throw EConvertError(L"'" + text + L"' is not a valid integer value");
}

void GetColorValues(const std::function<void(const String&)>& proc) {
  for (const TIdentMapEntry& e : kColors) proc(e.Name);
}

const TTypeInfo* ColorTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = L"TColor";
    t.MinValue = INT32_MIN;
    t.MaxValue = INT32_MAX;
    return t;
  }();
  return &info;
}

bool CharsetToIdent(int charset, String& ident) { return IntToIdent(charset, ident, kCharsets); }
bool IdentToCharset(const String& ident, int& charset) { return IdentToInt(ident, charset, kCharsets); }

const TTypeInfo* FontCharsetTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = L"TFontCharset";
    t.MinValue = 0;
    t.MaxValue = 255;
    return t;
  }();
  return &info;
}

// ---------------------------------------------------------------------------
// Process-wide font defaults
// ---------------------------------------------------------------------------

namespace {
TFontData& DefaultFontStorage() {
  static TFontData data = [] {
    TFontData d;
    d.Height = -11;
    d.Name = L"Tahoma";
    return d;
  }();
  return data;
}
int g_screenPixelsPerInch = 96;
}  // namespace

const TFontData& DefaultFontData() { return DefaultFontStorage(); }
int ScreenPixelsPerInch() { return g_screenPixelsPerInch; }

void InitializeGraphicsDefaults() {
  HDC dc = GetDC(nullptr);
  if (dc) {
    const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    if (ppi > 0) g_screenPixelsPerInch = ppi;
    ReleaseDC(nullptr, dc);
  }
  LOGFONTW lf{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf) && lf.lfFaceName[0])
    DefaultFontStorage().Name = lf.lfFaceName;
}

// ---------------------------------------------------------------------------
// Resource cache: one GDI handle per distinct data, counted by its users
// ---------------------------------------------------------------------------

struct TGdiResource {
  HGDIOBJ Handle = nullptr;
  int RefCount = 1;
  // Adopted handles and pattern brushes belong to their object alone and are
  // never handed to another one looking for equal data.
  bool Shared = true;
};

namespace {

template <class Data>
struct TResourceEntry : TGdiResource {
  Data Key;
};

template <class Data>
class TResourceCache {
 public:
  template <class Create>
  TGdiResource* Acquire(const Data& key, Create create) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (TResourceEntry<Data>* e : entries_)
      if (e->Shared && e->Key == key) {
        ++e->RefCount;
        return e;
      }
    HGDIOBJ handle = create(key);
    if (!handle) throw EOutOfResources(L"Out of system resources");
    return Add(key, handle, true);
  }
  TGdiResource* AddPrivate(const Data& key, HGDIOBJ handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Add(key, handle, false);
  }
  void AddRef(TGdiResource* r) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++r->RefCount;
  }
  void Release(TGdiResource* r) {
    if (!r) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (--r->RefCount > 0) return;
    for (size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i] == r) {
        entries_.erase(entries_.begin() + i);
        break;
      }
    GdiDeleteObject(r->Handle);
    delete static_cast<TResourceEntry<Data>*>(r);
  }

 private:
  TGdiResource* Add(const Data& key, HGDIOBJ handle, bool shared) {
    auto* e = new TResourceEntry<Data>();
    e->Key = key;
    e->Handle = handle;
    e->Shared = shared;
    entries_.push_back(e);
    return e;
  }
  std::mutex mutex_;
  std::vector<TResourceEntry<Data>*> entries_;
};

TResourceCache<TFontData>& FontCache() {
  static TResourceCache<TFontData> cache;
  return cache;
}
TResourceCache<TPenData>& PenCache() {
  static TResourceCache<TPenData> cache;
  return cache;
}
TResourceCache<TBrushData>& BrushCache() {
  static TResourceCache<TBrushData> cache;
  return cache;
}

// Releases a resource when the scope ends, also when an OnChange handler raises.
template <class Data>
struct TReleaseLater {
  TResourceCache<Data>& Cache;
  TGdiResource* Resource;
  ~TReleaseLater() { Cache.Release(Resource); }
};

}  // namespace

// ---------------------------------------------------------------------------
// TGraphicsObject
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TGraphicsObject, TPersistent, nullptr)

void TGraphicsObject::Changed() {
  if (OnChange.Assigned()) OnChange(this);
}

// ---------------------------------------------------------------------------
// TFont
// ---------------------------------------------------------------------------

BEGIN_CLASS(TFont, TGraphicsObject, ConstructPlain<TFont>)
  b.Prop(L"Charset", &TFont::Charset, &TFont::SetCharset, FontCharsetTypeInfo());
  b.Prop(L"Color", &TFont::Color, &TFont::SetColor, ColorTypeInfo());
  b.Prop(L"Height", &TFont::Height, &TFont::SetHeight);
  b.Prop(L"Name", &TFont::Name, &TFont::SetName);
  DefaultValue(b.Prop(L"Orientation", &TFont::Orientation, &TFont::SetOrientation), 0);
  DefaultValue(b.Prop(L"Pitch", &TFont::Pitch, &TFont::SetPitch), fpDefault);
  DefaultValue(b.Prop(L"Quality", &TFont::Quality, &TFont::SetQuality), fqDefault);
  // Height carries the size in the stream; Size is only there for the object inspector.
  b.Prop(L"Size", &TFont::Size, &TFont::SetSize).Stored = [](TObject*) { return false; };
  b.Prop(L"Style", &TFont::Style, &TFont::SetStyle);
END_CLASS

namespace {

HGDIOBJ CreateFontHandle(const TFontData& d) {
  LOGFONTW lf{};
  lf.lfHeight = d.Height;
  lf.lfEscapement = d.Orientation;
  lf.lfOrientation = d.Orientation;
  lf.lfWeight = d.Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = d.Style.Contains(fsItalic);
  lf.lfUnderline = d.Style.Contains(fsUnderline);
  lf.lfStrikeOut = d.Style.Contains(fsStrikeOut);
  lf.lfCharSet = d.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  static const BYTE kQuality[] = {DEFAULT_QUALITY, DRAFT_QUALITY, PROOF_QUALITY,
                                  NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY,
                                  5 /*CLEARTYPE_QUALITY*/, 6 /*CLEARTYPE_NATURAL_QUALITY*/};
  lf.lfQuality = d.Quality >= fqDefault && d.Quality <= fqClearTypeNatural ? kQuality[d.Quality]
                                                                           : DEFAULT_QUALITY;
  lf.lfPitchAndFamily = d.Pitch == fpVariable ? VARIABLE_PITCH
                        : d.Pitch == fpFixed  ? FIXED_PITCH
                                              : DEFAULT_PITCH;
  // "Default" names whatever the default font is, as on the platform.
  const String& name = SameText(d.Name, L"Default") ? DefaultFontData().Name : d.Name;
  const size_t n = std::min<size_t>(name.size(), LF_FACESIZE - 1);
  name.copy(lf.lfFaceName, n);
  lf.lfFaceName[n] = 0;
  return GdiCreateFont(lf);
}

TFontData FontDataOf(const LOGFONTW& lf) {
  TFontData d;
  d.Height = lf.lfHeight;
  d.Orientation = lf.lfEscapement;
  if (lf.lfWeight >= FW_BOLD) d.Style += fsBold;
  if (lf.lfItalic) d.Style += fsItalic;
  if (lf.lfUnderline) d.Style += fsUnderline;
  if (lf.lfStrikeOut) d.Style += fsStrikeOut;
  d.Charset = lf.lfCharSet;
  switch (lf.lfQuality) {
    case DRAFT_QUALITY: d.Quality = fqDraft; break;
    case PROOF_QUALITY: d.Quality = fqProof; break;
    case NONANTIALIASED_QUALITY: d.Quality = fqNonAntialiased; break;
    case ANTIALIASED_QUALITY: d.Quality = fqAntialiased; break;
    case 5: d.Quality = fqClearType; break;
    case 6: d.Quality = fqClearTypeNatural; break;
    default: d.Quality = fqDefault; break;
  }
  switch (lf.lfPitchAndFamily & 3) {
    case VARIABLE_PITCH: d.Pitch = fpVariable; break;
    case FIXED_PITCH: d.Pitch = fpFixed; break;
    default: d.Pitch = fpDefault; break;
  }
  d.Name = lf.lfFaceName;
  return d;
}

}  // namespace

TFont::TFont() : data_(DefaultFontData()), pixelsPerInch_(ScreenPixelsPerInch()) {}

TFont::~TFont() { FontCache().Release(resource_); }

HFONT TFont::Handle() {
  if (!resource_) resource_ = FontCache().Acquire(data_, CreateFontHandle);
  return static_cast<HFONT>(resource_->Handle);
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf{};
  if (!font || !GetObjectW(font, sizeof(lf), &lf)) throw EInvalidGraphic(L"Invalid font handle");
  GdiAdopt(font);
  TReleaseLater<TFontData> old{FontCache(), resource_};
  data_ = FontDataOf(lf);
  resource_ = FontCache().AddPrivate(data_, font);
  Changed();
}

void TFont::Change(const TFontData& data) {
  if (data == data_) return;
  // The old handle goes only after the listeners (canvases) deselected it.
  TReleaseLater<TFontData> old{FontCache(), resource_};
  resource_ = nullptr;
  data_ = data;
  Changed();
}

void TFont::SetData(const TFontData& value) { Change(value); }

void TFont::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TFont*>(source);
  if (!src) {
    inherited::Assign(source);
    return;
  }
  TFontData data = src->data_;
  if (src->pixelsPerInch_ != pixelsPerInch_)
    data.Height = -MulDiv(src->Size(), pixelsPerInch_, 72);
  if (data == data_ && src->color_ == color_) return;
  TReleaseLater<TFontData> old{FontCache(), resource_};
  resource_ = nullptr;
  // Share the source's handle (also an adopted one) when the data is the same.
  if (src->resource_ && data == src->data_) {
    FontCache().AddRef(src->resource_);
    resource_ = src->resource_;
  }
  data_ = data;
  color_ = src->color_;
  Changed();
}

void TFont::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TFont::SetHeight(int value) {
  Change(With(data_, &TFontData::Height, value));
}

int TFont::Size() const { return -MulDiv(data_.Height, 72, pixelsPerInch_); }

void TFont::SetSize(int value) { SetHeight(-MulDiv(value, pixelsPerInch_, 72)); }

void TFont::SetName(const TFontName& value) {
  if (value.empty()) return;   // an empty face would silently pick some font
  Change(With(data_, &TFontData::Name, value));
}

void TFont::SetStyle(TFontStyles value) {
  Change(With(data_, &TFontData::Style, value));
}

void TFont::SetCharset(TFontCharset value) {
  Change(With(data_, &TFontData::Charset, value));
}

void TFont::SetPitch(TFontPitch value) {
  Change(With(data_, &TFontData::Pitch, value));
}

void TFont::SetOrientation(int value) {
  Change(With(data_, &TFontData::Orientation, value));
}

void TFont::SetQuality(TFontQuality value) {
  Change(With(data_, &TFontData::Quality, value));
}

void TFont::SetPixelsPerInch(int value) {
  if (value > 0) pixelsPerInch_ = value;
}

// ---------------------------------------------------------------------------
// TPen
// ---------------------------------------------------------------------------

BEGIN_CLASS(TPen, TGraphicsObject, ConstructPlain<TPen>)
  DefaultValue(b.Prop(L"Color", &TPen::Color, &TPen::SetColor, ColorTypeInfo()), clBlack);
  DefaultValue(b.Prop(L"Mode", &TPen::Mode, &TPen::SetMode), pmCopy);
  DefaultValue(b.Prop(L"Style", &TPen::Style, &TPen::SetStyle), psSolid);
  DefaultValue(b.Prop(L"Width", &TPen::Width, &TPen::SetWidth), 1);
END_CLASS

namespace {
HGDIOBJ CreatePenHandle(const TPenData& d) {
  static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT,
                                PS_NULL, PS_INSIDEFRAME, PS_SOLID, PS_ALTERNATE};
  const int style = d.Style >= psSolid && d.Style <= psAlternate ? kStyles[d.Style] : PS_SOLID;
  return GdiCreatePen(style, d.Width, static_cast<COLORREF>(ColorToRGB(d.Color)));
}
}  // namespace

TPen::TPen() = default;

TPen::~TPen() { PenCache().Release(resource_); }

HPEN TPen::Handle() {
  if (!resource_) resource_ = PenCache().Acquire(data_, CreatePenHandle);
  return static_cast<HPEN>(resource_->Handle);
}

void TPen::SetHandle(HPEN pen) {
  LOGPEN lp{};
  if (!pen || !GetObjectW(pen, sizeof(lp), &lp)) throw EInvalidGraphic(L"Invalid pen handle");
  GdiAdopt(pen);
  TReleaseLater<TPenData> old{PenCache(), resource_};
  data_.Color = static_cast<TColor>(lp.lopnColor);
  data_.Width = lp.lopnWidth.x;
  switch (lp.lopnStyle & PS_STYLE_MASK) {
    case PS_DASH: data_.Style = psDash; break;
    case PS_DOT: data_.Style = psDot; break;
    case PS_DASHDOT: data_.Style = psDashDot; break;
    case PS_DASHDOTDOT: data_.Style = psDashDotDot; break;
    case PS_NULL: data_.Style = psClear; break;
    case PS_INSIDEFRAME: data_.Style = psInsideFrame; break;
    default: data_.Style = psSolid; break;
  }
  resource_ = PenCache().AddPrivate(data_, pen);
  Changed();
}

void TPen::Change(const TPenData& data) {
  if (data == data_) return;
  TReleaseLater<TPenData> old{PenCache(), resource_};
  resource_ = nullptr;
  data_ = data;
  Changed();
}

void TPen::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TPen*>(source);
  if (!src) {
    inherited::Assign(source);
    return;
  }
  if (src->data_ == data_ && src->mode_ == mode_) return;
  TReleaseLater<TPenData> old{PenCache(), resource_};
  resource_ = nullptr;
  if (src->resource_) {
    PenCache().AddRef(src->resource_);
    resource_ = src->resource_;
  }
  data_ = src->data_;
  mode_ = src->mode_;
  Changed();
}

void TPen::SetColor(TColor value) {
  Change(With(data_, &TPenData::Color, value));
}

void TPen::SetStyle(TPenStyle value) {
  Change(With(data_, &TPenData::Style, value));
}

void TPen::SetWidth(int value) {
  if (value < 0) return;
  Change(With(data_, &TPenData::Width, value));
}

void TPen::SetMode(TPenMode value) {
  if (value == mode_) return;
  mode_ = value;
  Changed();
}

// ---------------------------------------------------------------------------
// TBrush
// ---------------------------------------------------------------------------

BEGIN_CLASS(TBrush, TGraphicsObject, ConstructPlain<TBrush>)
  DefaultValue(b.Prop(L"Color", &TBrush::Color, &TBrush::SetColor, ColorTypeInfo()), clWhite);
  DefaultValue(b.Prop(L"Style", &TBrush::Style, &TBrush::SetStyle), bsSolid);
END_CLASS

namespace {
HGDIOBJ CreateBrushHandle(const TBrushData& d) {
  LOGBRUSH lb{};
  lb.lbColor = static_cast<COLORREF>(ColorToRGB(d.Color));
  switch (d.Style) {
    case bsSolid: lb.lbStyle = BS_SOLID; break;
    case bsClear: lb.lbStyle = BS_HOLLOW; break;
    default: {
      static const int kHatch[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL,
                                   HS_CROSS, HS_DIAGCROSS};
      lb.lbStyle = BS_HATCHED;
      lb.lbHatch = d.Style >= bsHorizontal && d.Style <= bsDiagCross ? kHatch[d.Style - bsHorizontal]
                                                                     : HS_CROSS;
      break;
    }
  }
  return GdiCreateBrush(lb);
}
}  // namespace

TBrush::TBrush() = default;

TBrush::~TBrush() { BrushCache().Release(resource_); }

HBRUSH TBrush::Handle() {
  if (!resource_) {
    if (data_.Bitmap && !data_.Bitmap->Empty()) {
      // The pattern copies the bitmap's pixels as they are now; such a
      // brush is not shared, its bitmap may change or go away.
      HBRUSH brush = GdiCreatePatternBrush(data_.Bitmap->Handle());
      if (!brush) throw EOutOfResources(L"Out of system resources");
      resource_ = BrushCache().AddPrivate(data_, brush);
    } else {
      TBrushData key = data_;
      key.Bitmap = nullptr;
      resource_ = BrushCache().Acquire(key, CreateBrushHandle);
    }
  }
  return static_cast<HBRUSH>(resource_->Handle);
}

void TBrush::SetHandle(HBRUSH brush) {
  LOGBRUSH lb{};
  if (!brush || !GetObjectW(brush, sizeof(lb), &lb)) throw EInvalidGraphic(L"Invalid brush handle");
  GdiAdopt(brush);
  TReleaseLater<TBrushData> old{BrushCache(), resource_};
  data_.Bitmap = nullptr;
  data_.Color = static_cast<TColor>(lb.lbColor);
  if (lb.lbStyle == BS_HOLLOW) data_.Style = bsClear;
  else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS) {
    static const TBrushStyle kStyles[] = {bsHorizontal, bsVertical, bsFDiagonal,
                                          bsBDiagonal, bsCross, bsDiagCross};
    data_.Style = kStyles[lb.lbHatch];
  } else data_.Style = bsSolid;
  resource_ = BrushCache().AddPrivate(data_, brush);
  Changed();
}

void TBrush::Change(const TBrushData& data) {
  // A new pattern bitmap always makes a new brush: its pixels may have changed.
  if (data == data_ && !data.Bitmap) return;
  TReleaseLater<TBrushData> old{BrushCache(), resource_};
  resource_ = nullptr;
  data_ = data;
  Changed();
}

void TBrush::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TBrush*>(source);
  if (!src) {
    inherited::Assign(source);
    return;
  }
  if (src->data_ == data_ && !data_.Bitmap) return;
  TReleaseLater<TBrushData> old{BrushCache(), resource_};
  resource_ = nullptr;
  if (src->resource_) {
    BrushCache().AddRef(src->resource_);
    resource_ = src->resource_;
  }
  data_ = src->data_;
  Changed();
}

void TBrush::SetColor(TColor value) {
  TBrushData d = data_;
  d.Color = value;
  if (d.Style == bsClear) d.Style = bsSolid;
  Change(d);
}

void TBrush::SetStyle(TBrushStyle value) {
  Change(With(data_, &TBrushData::Style, value));
}

void TBrush::SetBitmap(TBitmap* value) {
  Change(With(data_, &TBrushData::Bitmap, value));
}
