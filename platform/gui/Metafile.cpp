// TMetafile and TMetafileCanvas. The image lives as an enhanced metafile in
// every case: an old-style file is converted when it is read and converted
// back when it is written, so drawing, copying and the clipboard have one
// kind of handle to deal with.
#include "platform/gui/Graphics.h"
#include "platform/gui/GraphicsInternal.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/core/Streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

BEGIN_CLASS(TMetafile, TGraphic, ConstructPlain<TMetafile>)
END_CLASS

IMPLEMENT_CLASS(TMetafileCanvas, TCanvas, nullptr)

namespace {

constexpr int kHundredthMMPerInch = 2540;
constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;   // the header as stored, without padding
constexpr size_t kMetaHeaderSize = 18;  // METAHEADER as stored
// Far beyond any picture the program handles; stops a corrupt size from
// making us allocate gigabytes.
constexpr Int64 kMaxFileSize = 0x10000000;

[[noreturn]] void InvalidMetafile() { throw EInvalidGraphic(L"Metafile is not valid"); }

// A metafile call that returned no handle: the system is out of resources, or
// it refused the data.
[[noreturn]] void MetafileCallFailed() {
  if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) throw EOutOfResources(L"Out of system resources");
  InvalidMetafile();
}

// The frame of an enhanced metafile, in hundredths of a millimetre.
SIZE FrameSize(HENHMETAFILE handle) {
  ENHMETAHEADER header{};
  if (!GetEnhMetaFileHeader(handle, sizeof(header), &header)) return {0, 0};
  return {header.rclFrame.right - header.rclFrame.left, header.rclFrame.bottom - header.rclFrame.top};
}

// The screen as the reference device of conversions, for a scope.
class TScreenDC {
 public:
  TScreenDC() : dc_(GetDC(nullptr)) {}
  ~TScreenDC() { ReleaseDC(nullptr, dc_); }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
};

// An old-style metafile's records (METAHEADER onwards) as an enhanced
// metafile of the given size.
HENHMETAFILE FromWinMetafile(const Byte* bits, UINT size, int mmWidth, int mmHeight) {
  const METAFILEPICT picture{MM_ANISOTROPIC, mmWidth, mmHeight, nullptr};
  TScreenDC screen;
  SetLastError(0);
  HENHMETAFILE handle = GdiSetWinMetaFileBits(size, bits, screen.Handle(), &picture);
  if (!handle) MetafileCallFailed();
  return handle;
}

// The length of old-style metafile records starting at `p`, checked against
// the `available` bytes; 0 when they are no metafile.
size_t WinMetafileLength(const Byte* p, size_t available) {
  if (available < kMetaHeaderSize) return 0;
  const WORD type = ReadRaw<WORD>(p);
  const WORD headerWords = ReadRaw<WORD>(p + 2);
  const WORD version = ReadRaw<WORD>(p + 4);
  const DWORD sizeWords = ReadRaw<DWORD>(p + 6);
  if ((type != 1 && type != 2) || headerWords != kMetaHeaderSize / 2) return 0;
  if (version != 0x0100 && version != 0x0300) return 0;
  if (sizeWords < kMetaHeaderSize / 2 || sizeWords > available / 2) return 0;
  return size_t(sizeWords) * 2;
}

WORD PlaceableChecksum(const Byte* header) {
  WORD sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= ReadRaw<WORD>(header + 2 * i);
  return sum;
}

}  // namespace

// ---------------------------------------------------------------------------
// TMetafile
// ---------------------------------------------------------------------------

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() { GdiDeleteEnhMetaFile(handle_); }

void TMetafile::TakeHandle(HENHMETAFILE handle, bool enhanced, int mmWidth, int mmHeight, Word inch) {
  if (handle != handle_) GdiDeleteEnhMetaFile(handle_);
  handle_ = handle;
  enhanced_ = enhanced;
  mmWidth_ = mmWidth;
  mmHeight_ = mmHeight;
  inch_ = inch;
  Changed(this);
}

void TMetafile::Clear() {
  if (!handle_ && !mmWidth_ && !mmHeight_ && !inch_) return;
  TakeHandle(nullptr, enhanced_, 0, 0, 0);
}

void TMetafile::Assign(TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  auto* other = dynamic_cast<TMetafile*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  if (other == this) return;
  HENHMETAFILE copy = nullptr;
  if (other->handle_) {
    SetLastError(0);
    copy = GdiCopyEnhMetaFile(other->handle_);
    if (!copy) MetafileCallFailed();
  }
  TakeHandle(copy, other->enhanced_, other->mmWidth_, other->mmHeight_, other->inch_);
}

void TMetafile::SetHandle(HENHMETAFILE value) {
  if (value == handle_) return;
  GdiAdopt(value);
  const SIZE frame = value ? FrameSize(value) : SIZE{0, 0};
  TakeHandle(value, enhanced_, frame.cx, frame.cy, 0);
}

HENHMETAFILE TMetafile::ReleaseHandle() {
  HENHMETAFILE result = handle_;
  GdiDisown(result);
  handle_ = nullptr;
  TakeHandle(nullptr, enhanced_, 0, 0, 0);
  return result;
}

void TMetafile::SetEnhanced(bool value) {
  if (value == enhanced_) return;
  enhanced_ = value;
  Changed(this);
}

void TMetafile::SetMMWidth(int value) {
  if (value == mmWidth_) return;
  mmWidth_ = value;
  Changed(this);
}

void TMetafile::SetMMHeight(int value) {
  if (value == mmHeight_) return;
  mmHeight_ = value;
  Changed(this);
}

void TMetafile::SetInch(Word value) {
  if (value == inch_) return;
  inch_ = value;
  Changed(this);
}

int TMetafile::UnitsPerInch() const { return inch_ ? inch_ : ScreenPixelsPerInch(); }

int TMetafile::Width() { return MulDiv(mmWidth_, UnitsPerInch(), kHundredthMMPerInch); }
int TMetafile::Height() { return MulDiv(mmHeight_, UnitsPerInch(), kHundredthMMPerInch); }
void TMetafile::SetWidth(int value) { SetMMWidth(MulDiv(value, kHundredthMMPerInch, UnitsPerInch())); }
void TMetafile::SetHeight(int value) { SetMMHeight(MulDiv(value, kHundredthMMPerInch, UnitsPerInch())); }

String TMetafile::CreatedBy() const {
  if (!handle_) return String();
  const UINT length = GetEnhMetaFileDescriptionW(handle_, 0, nullptr);
  if (length == 0 || length == GDI_ERROR) return String();
  String text(length, L'\0');
  GetEnhMetaFileDescriptionW(handle_, length, text.data());
  return String(text.c_str());
}

String TMetafile::Description() const {
  if (!handle_) return String();
  const UINT length = GetEnhMetaFileDescriptionW(handle_, 0, nullptr);
  if (length == 0 || length == GDI_ERROR) return String();
  String text(length, L'\0');
  GetEnhMetaFileDescriptionW(handle_, length, text.data());
  const size_t split = text.find(L'\0');
  if (split == String::npos || split + 1 >= text.size()) return String();
  return String(text.c_str() + split + 1);
}

void TMetafile::Draw(TCanvas* canvas, const TRect& rect) {
  if (!handle_) return;
  // The frame maps onto the rectangle as a canvas rectangle is meant: the
  // right and bottom edges are outside, so a frame of Width x Height pixels
  // drawn at that size covers exactly as many.
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  PlayEnhMetaFile(canvas->Handle(), handle_, &r);
}

void TMetafile::LoadFromStream(TStream* stream) {
  const Int64 remaining = stream->Size() - stream->Position();
  if (remaining < 0 || remaining > kMaxFileSize) InvalidMetafile();
  TBytes data(static_cast<size_t>(remaining));
  if (data.empty()) {   // what an empty metafile saves
    Clear();
    return;
  }
  stream->ReadBuffer(data.data(), static_cast<NativeInt>(data.size()));
  const Byte* d = data.data();

  if (data.size() >= kPlaceableSize && ReadRaw<DWORD>(d) == kPlaceableKey) {
    const SHORT left = ReadRaw<SHORT>(d + 6), top = ReadRaw<SHORT>(d + 8);
    const SHORT right = ReadRaw<SHORT>(d + 10), bottom = ReadRaw<SHORT>(d + 12);
    const WORD inch = ReadRaw<WORD>(d + 14);
    if (ReadRaw<WORD>(d + 20) != PlaceableChecksum(d) || inch == 0) InvalidMetafile();
    if (right <= left || bottom <= top) InvalidMetafile();
    const size_t length = WinMetafileLength(d + kPlaceableSize, data.size() - kPlaceableSize);
    if (!length) InvalidMetafile();
    const int mmWidth = MulDiv(right - left, kHundredthMMPerInch, inch);
    const int mmHeight = MulDiv(bottom - top, kHundredthMMPerInch, inch);
    HENHMETAFILE handle = FromWinMetafile(d + kPlaceableSize, static_cast<UINT>(length), mmWidth, mmHeight);
    TakeHandle(handle, false, mmWidth, mmHeight, inch);
    return;
  }

  // An enhanced metafile starts with its header record, which gives the
  // signature and the length of the whole file.
  if (data.size() < 88 || ReadRaw<DWORD>(d) != EMR_HEADER) InvalidMetafile();
  const DWORD headerSize = ReadRaw<DWORD>(d + 4);
  const DWORD signature = ReadRaw<DWORD>(d + 40);
  const DWORD bytes = ReadRaw<DWORD>(d + 48);
  if (signature != ENHMETA_SIGNATURE || headerSize < 88 || headerSize > bytes || bytes > data.size())
    InvalidMetafile();
  SetLastError(0);
  HENHMETAFILE handle = GdiSetEnhMetaFileBits(bytes, d);
  if (!handle) MetafileCallFailed();
  const SIZE frame = FrameSize(handle);
  TakeHandle(handle, true, frame.cx, frame.cy, 0);
}

void TMetafile::SaveToStream(TStream* stream) {
  if (!handle_) return;
  TBytes out;
  if (enhanced_) {
    const UINT size = GetEnhMetaFileBits(handle_, 0, nullptr);
    if (!size) InvalidMetafile();
    out.resize(size);
    if (GetEnhMetaFileBits(handle_, size, out.data()) != size) InvalidMetafile();
  } else {
    TScreenDC screen;
    const UINT size = GetWinMetaFileBits(handle_, 0, nullptr, MM_ANISOTROPIC, screen.Handle());
    if (!size) InvalidMetafile();
    TBytes records(size);
    if (GetWinMetaFileBits(handle_, size, records.data(), MM_ANISOTROPIC, screen.Handle()) != size)
      InvalidMetafile();
    // The placeable header: the bounding box in Inch units (the screen's
    // when the metafile has none) and the checksum of the words before it.
    const WORD inch = static_cast<WORD>(UnitsPerInch());
    out.reserve(kPlaceableSize + records.size());
    AppendRaw<DWORD>(out, kPlaceableKey);
    AppendRaw<WORD>(out, 0);
    AppendRaw<SHORT>(out, 0);
    AppendRaw<SHORT>(out, 0);
    AppendRaw<SHORT>(out, static_cast<SHORT>(std::clamp(Width(), 0, 0x7FFF)));
    AppendRaw<SHORT>(out, static_cast<SHORT>(std::clamp(Height(), 0, 0x7FFF)));
    AppendRaw<WORD>(out, inch);
    AppendRaw<DWORD>(out, 0);
    AppendRaw<WORD>(out, PlaceableChecksum(out.data()));
    out.insert(out.end(), records.begin(), records.end());
  }
  stream->WriteBuffer(out.data(), static_cast<NativeInt>(out.size()));
}

void TMetafile::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) {
  if (format == CF_ENHMETAFILE && data) {
    SetLastError(0);
    HENHMETAFILE copy = GdiCopyEnhMetaFile(static_cast<HENHMETAFILE>(data));
    if (!copy) MetafileCallFailed();
    const SIZE frame = FrameSize(copy);
    TakeHandle(copy, true, frame.cx, frame.cy, 0);
  } else if (format == CF_METAFILEPICT && data) {
    const auto* locked = static_cast<const METAFILEPICT*>(GlobalLock(data));
    if (!locked) InvalidMetafile();
    const METAFILEPICT picture = *locked;
    GlobalUnlock(data);
    const UINT size = picture.hMF ? GetMetaFileBitsEx(picture.hMF, 0, nullptr) : 0;
    if (!size) InvalidMetafile();
    std::vector<Byte> bits(size);
    if (GetMetaFileBitsEx(picture.hMF, size, bits.data()) != size) InvalidMetafile();
    // Positive extents of a scalable mapping are the size in hundredths of a
    // millimetre; anything else leaves the size to the records.
    const bool sized = (picture.mm == MM_ANISOTROPIC || picture.mm == MM_ISOTROPIC) && picture.xExt > 0 &&
                       picture.yExt > 0;
    HENHMETAFILE handle = FromWinMetafile(bits.data(), size, sized ? picture.xExt : 0, sized ? picture.yExt : 0);
    const SIZE frame = sized ? SIZE{picture.xExt, picture.yExt} : FrameSize(handle);
    TakeHandle(handle, false, frame.cx, frame.cy, 0);
  } else {
    TGraphic::LoadFromClipboardFormat(format, data, palette);
  }
}

void TMetafile::SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) {
  format = CF_ENHMETAFILE;
  data = nullptr;
  palette = nullptr;
  if (!handle_) return;
  SetLastError(0);
  HENHMETAFILE copy = GdiCopyEnhMetaFile(handle_);
  if (!copy) MetafileCallFailed();
  GdiDisown(copy);   // the clipboard owns it now
  data = copy;
}

// ---------------------------------------------------------------------------
// TMetafileCanvas
// ---------------------------------------------------------------------------

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, HDC referenceDevice)
    : TMetafileCanvas(metafile, referenceDevice, String(), String()) {}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, HDC referenceDevice, const String& createdBy,
                                 const String& description)
    : metafile_(metafile) {
  if (!metafile) throw EInvalidGraphicOperation(L"Metafile canvas needs a metafile");
  const bool ownReference = referenceDevice == nullptr;
  HDC reference = ownReference ? GetDC(nullptr) : referenceDevice;
  // Without a size of its own the recording covers the whole reference device.
  int mmWidth = metafile->mmWidth_, mmHeight = metafile->mmHeight_;
  if (mmWidth <= 0) mmWidth = GetDeviceCaps(reference, HORZSIZE) * 100;
  if (mmHeight <= 0) mmHeight = GetDeviceCaps(reference, VERTSIZE) * 100;
  const RECT frame{0, 0, mmWidth, mmHeight};
  // The description is two strings, each ending in a zero, and one more zero.
  String text;
  if (!createdBy.empty() || !description.empty()) {
    text = createdBy;
    text += L'\0';
    text += description;
    text += L'\0';
  }
  HDC dc = GdiCreateEnhMetaFile(reference, &frame, text.empty() ? nullptr : text.c_str());
  if (ownReference) ReleaseDC(nullptr, reference);
  if (!dc) throw EOutOfResources(L"Out of system resources");
  SetHandle(dc);
}

TMetafileCanvas::~TMetafileCanvas() {
  HDC dc = CurrentHandle();
  if (!dc) return;
  SetHandle(nullptr);   // puts the DC's own objects back before it closes
  HENHMETAFILE handle = GdiCloseEnhMetaFile(dc);
  if (!handle) return;
  const SIZE frame = FrameSize(handle);
  // A destructor must not raise: what the metafile's change handler raises
  // goes where the callbacks' exceptions go.
  try {
    metafile_->TakeHandle(handle, metafile_->enhanced_, frame.cx, frame.cy, 0);
  } catch (...) {
    HandleCallbackException(metafile_);
  }
}
