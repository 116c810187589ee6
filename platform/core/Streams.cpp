#include "platform/core/Streams.h"

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

IMPLEMENT_CLASS(TStream, TObject, nullptr)
IMPLEMENT_CLASS(THandleStream, TStream, nullptr)
IMPLEMENT_CLASS(TFileStream, THandleStream, nullptr)
IMPLEMENT_CLASS(TCustomMemoryStream, TStream, nullptr)
IMPLEMENT_CLASS(TMemoryStream, TCustomMemoryStream, ConstructPlain<TMemoryStream>)
IMPLEMENT_CLASS(TBytesStream, TMemoryStream, ConstructPlain<TBytesStream>)
IMPLEMENT_CLASS(TStringStream, TMemoryStream, ConstructPlain<TStringStream>)
IMPLEMENT_CLASS(TResourceStream, TCustomMemoryStream, nullptr)

namespace {

// Chunk size of copies between streams: large enough to amortise the calls,
// small enough to stay out of the large-object heap path.
constexpr int kCopyChunk = 0xF000;
// Memory streams allocate in whole blocks of this size.
constexpr Int64 kMemoryDelta = 0x2000;
// The largest buffer a memory stream asks for, the same on both targets: in a
// 32-bit process the address space is too fragmented beyond it for the request
// to be sensible, and a 64-bit one must not accept data the 32-bit program
// could not load again.
constexpr Int64 kMaxMemoryStreamSize = Int64(1) << 30;

// Frees a library object on scope exit (the objects are destroyed with Free).
struct FreeGuard {
  TObject* obj;
  ~FreeGuard() { TObject::Free(obj); }
};

String OSErrorText(DWORD code) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  String text;
  if (n && buf) text.assign(buf, n);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) text = L"System error " + std::to_wstring(code);
  return text;
}

[[noreturn]] void OutOfMemory() { throw EOutOfMemory(L"Out of memory"); }

}  // namespace

// ---------------------------------------------------------------------------
// TStream
// ---------------------------------------------------------------------------

void TStream::ReadBuffer(void* buffer, NativeInt count) {
  if (count < 0) throw EReadError(L"Stream read error");
  auto* p = static_cast<Byte*>(buffer);
  while (count > 0) {
    const int n = static_cast<int>(std::min<NativeInt>(count, INT_MAX));
    if (Read(p, n) != n) throw EReadError(L"Stream read error");
    p += n;
    count -= n;
  }
}

void TStream::WriteBuffer(const void* buffer, NativeInt count) {
  if (count < 0) throw EWriteError(L"Stream write error");
  auto* p = static_cast<const Byte*>(buffer);
  while (count > 0) {
    const int n = static_cast<int>(std::min<NativeInt>(count, INT_MAX));
    if (Write(p, n) != n) throw EWriteError(L"Stream write error");
    p += n;
    count -= n;
  }
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (count <= 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  const Int64 total = count;
  if (count == 0) return 0;
  std::vector<Byte> buffer(static_cast<size_t>(std::min<Int64>(count, kCopyChunk)));
  while (count > 0) {
    const int n = static_cast<int>(std::min<Int64>(count, static_cast<Int64>(buffer.size())));
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return total;
}

Int64 TStream::Size() {
  const Int64 pos = Seek(0, soCurrent);
  const Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) {}

// ---------------------------------------------------------------------------
// THandleStream / TFileStream
// ---------------------------------------------------------------------------

THandleStream::THandleStream(HANDLE handle) : handle_(handle) {}

// Failures give 0 bytes rather than the platform's -1, so that a caller using
// the result as a count cannot run backwards; ReadBuffer/WriteBuffer still
// report them.
int THandleStream::Read(void* buffer, int count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int>(done);
}

int THandleStream::Write(const void* buffer, int count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int>(done);
}

// As on the platform, a seek the system refuses (before the start of the
// file, a bad handle) returns -1 and leaves the position where it was.
Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  DWORD method;
  switch (origin) {
    case soBeginning: method = FILE_BEGIN; break;
    case soCurrent: method = FILE_CURRENT; break;
    case soEnd: method = FILE_END; break;
    default: return -1;
  }
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(handle_, distance, &result, method)) return -1;
  return result.QuadPart;
}

// Unlike the platform, the position stays where it was (clamped to the new
// end), the same as for memory streams.
void THandleStream::SetSize(Int64 newSize) {
  if (newSize < 0) throw EStreamError(L"Invalid stream size");
  const Int64 pos = Seek(0, soCurrent);
  if (Seek(newSize, soBeginning) != newSize) RaiseLastOSError();
  if (!SetEndOfFile(handle_)) {
    const DWORD err = GetLastError();
    Seek(pos, soBeginning);
    RaiseLastOSError(err);
  }
  Seek(std::min(pos, newSize), soBeginning);
}

TFileStream::TFileStream(const String& fileName, Word mode) : THandleStream(INVALID_HANDLE_VALUE), fileName_(fileName) {
  static const DWORD kShare[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  const bool create = (mode & fmCreate) == fmCreate;
  const unsigned shareIndex = (mode & 0x00F0u) >> 4;
  const unsigned accessIndex = mode & 0x000Fu;
  if (shareIndex < 5 && (create || accessIndex < 3)) {
    static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    const DWORD access = create ? (GENERIC_READ | GENERIC_WRITE) : kAccess[accessIndex];
    handle_ = CreateFileW(fileName.c_str(), access, kShare[shareIndex], nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
  }
  if (handle_ == INVALID_HANDLE_VALUE) {
    const String os = OSErrorText(GetLastError());
    if (create) throw EFCreateError(L"Cannot create file \"" + fileName + L"\". " + os);
    throw EFOpenError(L"Cannot open file \"" + fileName + L"\". " + os);
  }
}

TFileStream::~TFileStream() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

// ---------------------------------------------------------------------------
// TCustomMemoryStream
// ---------------------------------------------------------------------------

// The position may lie anywhere, even before the start (Seek does not refuse
// it, as on the platform); reads outside 0..size give 0 bytes and never touch
// memory outside the buffer.
int TCustomMemoryStream::Read(void* buffer, int count) {
  if (count <= 0 || position_ < 0 || position_ >= size_) return 0;
  const int n = static_cast<int>(std::min<Int64>(size_ - position_, count));
  std::memcpy(buffer, static_cast<const Byte*>(memory_) + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

Int64 SeekPosition(Int64 position, Int64 size, Int64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: return offset;
    case soCurrent: return position + offset;
    case soEnd: return size + offset;
    default: throw EStreamError(L"Invalid seek origin");
  }
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  position_ = SeekPosition(position_, size_, offset, origin);
  return position_;
}

void TCustomMemoryStream::SetPointer(void* ptr, Int64 size) {
  memory_ = ptr;
  size_ = size;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  Int64 left = size_;
  const Byte* p = static_cast<const Byte*>(memory_);
  while (left > 0) {
    const int n = static_cast<int>(std::min<Int64>(left, INT_MAX));
    stream->WriteBuffer(p, n);
    p += n;
    left -= n;
  }
}

void TCustomMemoryStream::SaveToFile(const String& fileName) {
  FreeGuard file{Make<TFileStream>(fileName, fmCreate)};
  SaveToStream(static_cast<TFileStream*>(file.obj));
}

// ---------------------------------------------------------------------------
// TMemoryStream
// ---------------------------------------------------------------------------

TMemoryStream::~TMemoryStream() { Clear(); }

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

void* TMemoryStream::Realloc(Int64& newCapacity) {
  if (newCapacity < 0 || newCapacity > kMaxMemoryStreamSize) OutOfMemory();
  if (newCapacity > 0) newCapacity = (newCapacity + (kMemoryDelta - 1)) & ~(kMemoryDelta - 1);
  if (newCapacity == capacity_) return memory_;
  if (newCapacity == 0) {
    std::free(memory_);
    return nullptr;
  }
  void* p = std::realloc(memory_, static_cast<size_t>(newCapacity));
  if (!p) OutOfMemory();  // the old block is still intact
  return p;
}

void TMemoryStream::SetCapacity(Int64 newCapacity) {
  void* p = Realloc(newCapacity);
  SetPointer(p, size_);
  capacity_ = newCapacity;
}

// Bytes a stream gains by SetSize, or the gap left by writing beyond the end,
// read as zeros (the platform leaves whatever the allocator returned).
void TMemoryStream::SetSize(Int64 newSize) {
  if (newSize < 0) throw EStreamError(L"Invalid stream size");
  const Int64 oldSize = size_;
  SetCapacity(newSize);
  size_ = newSize;
  if (newSize > oldSize)
    std::memset(static_cast<Byte*>(memory_) + oldSize, 0, static_cast<size_t>(newSize - oldSize));
  if (position_ > newSize) position_ = newSize;
}

// A write at a position before the start of the stream transfers nothing.
int TMemoryStream::Write(const void* buffer, int count) {
  if (count <= 0 || position_ < 0) return 0;
  const Int64 end = position_ + count;
  if (end > size_) {
    if (end > capacity_) {
      // Doubling keeps a long series of small writes linear.
      SetCapacity(std::max(end, std::min(capacity_ * 2, kMaxMemoryStreamSize)));
    }
    if (position_ > size_)
      std::memset(static_cast<Byte*>(memory_) + size_, 0, static_cast<size_t>(position_ - size_));
    size_ = end;
  }
  std::memcpy(static_cast<Byte*>(memory_) + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  const Int64 count = stream->Size();
  SetSize(count);
  Byte* p = static_cast<Byte*>(memory_);
  for (Int64 left = count; left > 0;) {
    const int n = static_cast<int>(std::min<Int64>(left, INT_MAX));
    stream->ReadBuffer(p, n);
    p += n;
    left -= n;
  }
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  FreeGuard file{Make<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite)};
  LoadFromStream(static_cast<TFileStream*>(file.obj));
}

// ---------------------------------------------------------------------------
// TBytesStream / TStringStream
// ---------------------------------------------------------------------------

TBytesStream::TBytesStream(const TBytes& bytes) {
  if (!bytes.empty()) {
    SetSize(static_cast<Int64>(bytes.size()));
    std::memcpy(memory_, bytes.data(), bytes.size());
  }
}

TBytes TBytesStream::Bytes() const {
  const Byte* p = static_cast<const Byte*>(memory_);
  return TBytes(p, p + size_);
}

namespace {

UINT CodePageOf(TStreamEncoding e) { return e == seUTF8 ? CP_UTF8 : CP_ACP; }

std::string EncodeText(const String& text, TStreamEncoding e) {
  if (e == seUTF16) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(Char));
  }
  if (text.empty()) return std::string();
  // The conversion counts in int: a longer text would be cut short silently.
  if (text.size() > static_cast<size_t>(INT_MAX)) throw EStreamError(L"Text too large for the stream");
  const UINT cp = CodePageOf(e);
  const int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

String DecodeText(const Byte* data, Int64 bytes, TStreamEncoding e) {
  if (bytes <= 0) return String();
  if (e == seUTF16) {
    String out(static_cast<size_t>(bytes / 2), L'\0');
    std::memcpy(out.data(), data, out.size() * sizeof(Char));
    return out;
  }
  const UINT cp = CodePageOf(e);
  const char* src = reinterpret_cast<const char*>(data);
  const int len = static_cast<int>(bytes);
  const int n = MultiByteToWideChar(cp, 0, src, len, nullptr, 0);
  String out(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(cp, 0, src, len, out.data(), n);
  return out;
}

}  // namespace

TStringStream::TStringStream(const String& text, TStreamEncoding encoding) : encoding_(encoding) {
  WriteString(text);
  position_ = 0;
}

String TStringStream::DataString() const {
  return DecodeText(static_cast<const Byte*>(memory_), size_, encoding_);
}

String TStringStream::ReadString(int count) {
  if (count <= 0 || position_ < 0 || position_ >= size_) return String();
  const Int64 unit = encoding_ == seUTF16 ? 2 : 1;
  Int64 bytes = std::min<Int64>(Int64(count) * unit, size_ - position_);
  bytes -= bytes % unit;
  if (bytes == 0) return String();
  String s = DecodeText(static_cast<const Byte*>(memory_) + position_, bytes, encoding_);
  position_ += bytes;
  return s;
}

void TStringStream::WriteString(const String& text) {
  const std::string bytes = EncodeText(text, encoding_);
  WriteBuffer(bytes.data(), static_cast<NativeInt>(bytes.size()));
}

// ---------------------------------------------------------------------------
// TResourceStream
// ---------------------------------------------------------------------------

TResourceStream::TResourceStream(HINSTANCE instance, const String& resName, const Char* resType) {
  Initialize(instance, resName.c_str(), resType);
}

TResourceStream::TResourceStream(HINSTANCE instance, int resId, const Char* resType) {
  Initialize(instance, MAKEINTRESOURCEW(resId), resType);
}

void TResourceStream::Initialize(HINSTANCE instance, const Char* name, const Char* type) {
  HRSRC res = FindResourceW(instance, name, type);
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  void* p = data ? LockResource(data) : nullptr;
  if (!p) {
    const String shown = IS_INTRESOURCE(name) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : String(name);
    throw EResNotFound(L"Resource " + shown + L" not found");
  }
  // Resource memory is mapped with the module and needs no release.
  SetPointer(p, SizeofResource(instance, res));
}

int TResourceStream::Write(const void*, int) {
  throw EStreamError(L"Can't write to a read-only resource stream");
}

// ---------------------------------------------------------------------------
// IStream adapter
// ---------------------------------------------------------------------------

namespace {

// Exceptions never cross the COM boundary: each is turned into an error
// HRESULT. Failures are reported with failure codes (not S_FALSE, which
// callers testing SUCCEEDED would take for success).
class TStreamAdapter final : public IStream {
 public:
  TStreamAdapter(TStream* stream, TStreamOwnership ownership) : stream_(stream), ownership_(ownership) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) || IsEqualIID(riid, IID_IStream)) {
      *out = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead) *pcbRead = 0;
    if (!pv) return STG_E_INVALIDPOINTER;
    ULONG total = 0;
    try {
      Byte* p = static_cast<Byte*>(pv);
      while (total < cb) {
        const int want = static_cast<int>(std::min<ULONG>(cb - total, INT_MAX));
        const int n = stream_->Read(p + total, want);
        if (n <= 0) break;
        total += static_cast<ULONG>(n);
        if (n < want) break;
      }
    } catch (...) {
      if (pcbRead) *pcbRead = total;
      return STG_E_READFAULT;
    }
    if (pcbRead) *pcbRead = total;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten) *pcbWritten = 0;
    if (!pv) return STG_E_INVALIDPOINTER;
    ULONG total = 0;
    HRESULT hr = S_OK;
    try {
      const Byte* p = static_cast<const Byte*>(pv);
      while (total < cb) {
        const int want = static_cast<int>(std::min<ULONG>(cb - total, INT_MAX));
        const int n = stream_->Write(p + total, want);
        if (n > 0) total += static_cast<ULONG>(n);
        if (n < want) {
          hr = STG_E_MEDIUMFULL;
          break;
        }
      }
    } catch (EOutOfMemory&) {
      hr = STG_E_MEDIUMFULL;
    } catch (...) {
      hr = STG_E_WRITEFAULT;
    }
    if (pcbWritten) *pcbWritten = total;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
    TSeekOrigin o;
    switch (origin) {
      case STREAM_SEEK_SET: o = soBeginning; break;
      case STREAM_SEEK_CUR: o = soCurrent; break;
      case STREAM_SEEK_END: o = soEnd; break;
      default: return STG_E_INVALIDFUNCTION;
    }
    try {
      const Int64 old = stream_->Position();
      const Int64 pos = stream_->Seek(move.QuadPart, o);
      if (pos < 0) {
        // COM streams have no position before the start.
        stream_->Seek(old, soBeginning);
        return STG_E_INVALIDFUNCTION;
      }
      if (newPosition) newPosition->QuadPart = static_cast<ULONGLONG>(pos);
      return S_OK;
    } catch (...) {
      return STG_E_INVALIDFUNCTION;
    }
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) override {
    if (newSize.QuadPart > static_cast<ULONGLONG>(INT64_MAX)) return STG_E_INVALIDFUNCTION;
    try {
      stream_->SetSize(static_cast<Int64>(newSize.QuadPart));
      return stream_->Size() == static_cast<Int64>(newSize.QuadPart) ? S_OK : E_FAIL;
    } catch (EOutOfMemory&) {
      return STG_E_MEDIUMFULL;
    } catch (...) {
      return E_FAIL;
    }
  }

  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override {
    if (pcbRead) pcbRead->QuadPart = 0;
    if (pcbWritten) pcbWritten->QuadPart = 0;
    if (!target) return STG_E_INVALIDPOINTER;
    ULONGLONG left = cb.QuadPart, read = 0, written = 0;
    HRESULT hr = S_OK;
    std::vector<Byte> buffer(static_cast<size_t>(std::min<ULONGLONG>(left, kCopyChunk)));
    try {
      while (left > 0) {
        const int want = static_cast<int>(std::min<ULONGLONG>(left, buffer.size()));
        const int n = stream_->Read(buffer.data(), want);
        if (n <= 0) break;
        read += static_cast<ULONG>(n);
        ULONG done = 0;
        hr = target->Write(buffer.data(), static_cast<ULONG>(n), &done);
        written += done;
        if (FAILED(hr)) break;
        if (done != static_cast<ULONG>(n)) {
          hr = STG_E_MEDIUMFULL;
          break;
        }
        left -= static_cast<ULONGLONG>(n);
      }
    } catch (...) {
      hr = STG_E_READFAULT;
    }
    if (pcbRead) pcbRead->QuadPart = read;
    if (pcbWritten) pcbWritten->QuadPart = written;
    return hr;
  }

  // A direct-mode stream: nothing to commit or revert.
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::memset(stat, 0, sizeof(*stat));
    stat->type = STGTY_STREAM;
    stat->grfMode = STGM_READWRITE;
    try {
      stat->cbSize.QuadPart = static_cast<ULONGLONG>(std::max<Int64>(stream_->Size(), 0));
    } catch (...) {
      return E_FAIL;
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IStream** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  ~TStreamAdapter() {
    if (ownership_ == soOwned) TObject::Free(stream_);
  }

  TStream* stream_;
  TStreamOwnership ownership_;
  LONG refs_ = 1;
};

}  // namespace

IStream* CreateStreamAdapter(TStream* stream, TStreamOwnership ownership) {
  if (!stream) throw EArgumentException(L"A stream adapter needs a stream");
  return new TStreamAdapter(stream, ownership);
}
