#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Library objects are freed with Free, not delete.
struct Freer {
  void operator()(TObject* o) const { TObject::Free(o); }
};
template <class T>
using Owned = std::unique_ptr<T, Freer>;

std::string ReadAll(TStream& s) {
  s.SetPosition(0);
  std::string out(static_cast<size_t>(s.Size()), '\0');
  s.ReadBuffer(out.data(), static_cast<int>(out.size()));
  return out;
}

void WriteText(TStream& s, const std::string& text) { s.WriteBuffer(text.data(), static_cast<int>(text.size())); }

// A folder of its own under the temp path, removed with what it holds. The
// name tells the folders of one process apart by a count; one an earlier
// process of the same id left behind is emptied first.
class TempDir {
 public:
  TempDir() {
    static int made = 0;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = String(base) + L"lanze-streams-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++made) + L"\\";
    Remove();
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() { Remove(); }
  String File(const String& name) const { return path_ + name; }

 private:
  void Remove() const {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path_ + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((path_ + fd.cFileName).c_str());
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(path_.c_str());
  }
  String path_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Memory streams
// ---------------------------------------------------------------------------

TEST(StreamMemory, SeekOriginsAndReadWrite) {
  TMemoryStream s;
  WriteText(s, "0123456789");
  struct Case {
    Int64 offset;
    TSeekOrigin origin;
    Int64 expected;
  } cases[] = {{4, soBeginning, 4}, {2, soCurrent, 6}, {-3, soEnd, 7}, {-2, soCurrent, 5}, {0, soEnd, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(s.Seek(c.offset, c.origin), c.expected);
    EXPECT_EQ(s.Position(), c.expected);
  }
  s.SetPosition(3);
  char buf[4] = {};
  EXPECT_EQ(s.Read(buf, 4), 4);
  EXPECT_EQ(std::string(buf, 4), "3456");
  EXPECT_EQ(s.Remaining(), 3);
  EXPECT_EQ(s.Read(buf, 4), 3);  // short read at the end
  EXPECT_EQ(s.Read(buf, 4), 0);
}

TEST(StreamMemory, BeyondTheEndReadsNothingAndWritesExtendWithZeros) {
  TMemoryStream s;
  WriteText(s, "ab");
  EXPECT_EQ(s.Seek(5, soEnd), 7);
  char c = 'x';
  EXPECT_EQ(s.Read(&c, 1), 0);
  EXPECT_EQ(s.Size(), 2);
  WriteText(s, "Z");
  EXPECT_EQ(s.Size(), 8);
  EXPECT_EQ(ReadAll(s), std::string("ab\0\0\0\0\0Z", 8));
}

// The platform reads from before the buffer here; ours transfers nothing.
TEST(StreamMemory, NegativePositionNeverTouchesMemoryOutsideTheBuffer) {
  TMemoryStream s;
  WriteText(s, "abcdef");
  EXPECT_EQ(s.Seek(-4, soBeginning), -4);
  char buf[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_EQ(std::string(buf, 8), "--------");
  EXPECT_EQ(s.Write("xy", 2), 0);
  EXPECT_THROW(s.WriteBuffer("xy", 2), EWriteError);
  EXPECT_EQ(ReadAll(s), "abcdef");
}

TEST(StreamMemory, ReadBufferAndWriteBufferRaiseOnShortTransfers) {
  TMemoryStream s;
  WriteText(s, "abc");
  s.SetPosition(1);
  char buf[8];
  try {
    s.ReadBuffer(buf, 3);
    FAIL() << "no EReadError";
  } catch (EReadError& e) {
    EXPECT_EQ(e.Message, L"Stream read error");
  }
  TResourceStream res(nullptr, L"TESTDATA", RT_RCDATA);
  // A stream that refuses the write altogether raises its own error.
  EXPECT_THROW(res.WriteBuffer("x", 1), EStreamError);
  s.SetPosition(-1);
  try {
    s.WriteBuffer("x", 1);
    FAIL() << "no EWriteError";
  } catch (EWriteError& e) {
    EXPECT_EQ(e.Message, L"Stream write error");
  }
}

TEST(StreamMemory, CapacityGrowsInWholeBlocksAndByDoubling) {
  TMemoryStream s;
  EXPECT_EQ(s.Capacity(), 0);
  EXPECT_EQ(s.Memory(), nullptr);
  WriteText(s, "x");
  EXPECT_EQ(s.Capacity(), 8192);
  std::vector<char> block(8192, 'b');
  s.WriteBuffer(block.data(), 8192);  // 8193 bytes
  EXPECT_EQ(s.Capacity(), 16384);
  // A long run of small writes reallocates only a logarithmic number of times.
  int reallocations = 0;
  Int64 last = s.Capacity();
  for (int i = 0; i < 100000; ++i) {
    s.WriteBuffer("0123456789", 10);
    if (s.Capacity() != last) ++reallocations, last = s.Capacity();
  }
  EXPECT_LE(reallocations, 8);
  EXPECT_EQ(s.Capacity() % 8192, 0);

  s.SetSize(10);  // shrinking gives memory back
  EXPECT_EQ(s.Capacity(), 8192);
  EXPECT_EQ(s.Position(), 10);
  s.Clear();
  EXPECT_EQ(s.Capacity(), 0);
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(StreamMemory, SetSizeZeroFillsAndKeepsContent) {
  TMemoryStream s;
  WriteText(s, "abc");
  s.SetPosition(1);
  s.SetSize(6);
  EXPECT_EQ(s.Position(), 1);
  EXPECT_EQ(ReadAll(s), std::string("abc\0\0\0", 6));
  EXPECT_THROW(s.SetSize(-1), EStreamError);
}

TEST(StreamMemory, AbsurdSizesRaiseOutOfMemoryAndLeaveTheStreamIntact) {
  TMemoryStream s;
  WriteText(s, "keep");
  for (Int64 size : {(Int64(1) << 30) + 1, Int64(3) << 30, Int64(1) << 40}) {
    SCOPED_TRACE(size);
    try {
      s.SetSize(size);
      FAIL() << "no EOutOfMemory";
    } catch (EOutOfMemory& e) {
      EXPECT_EQ(e.Message, L"Out of memory");
    }
    EXPECT_EQ(ReadAll(s), "keep");
  }
  s.SetPosition(Int64(1) << 31);
  EXPECT_THROW(s.WriteBuffer("x", 1), EOutOfMemory);
  EXPECT_EQ(ReadAll(s), "keep");
}

namespace {

// Passes every transfer on without touching the memory, up to a budget, and
// notes the counts it was handed.
class TCountingStream : public TStream {
 public:
  int Read(void*, int count) override { return Transfer(count); }
  int Write(const void*, int count) override { return Transfer(count); }
  Int64 Seek(Int64, TSeekOrigin) override { return Total; }
  std::vector<int> Counts;
  Int64 Total = 0;
  Int64 Budget = INT64_MAX;

 private:
  int Transfer(int count) {
    Counts.push_back(count);
    const int n = static_cast<int>(std::min<Int64>(count, Budget - Total));
    Total += n;
    return n;
  }
};

}  // namespace

// The counts are pointer-sized: a 64-bit process moves a buffer past 2 GB in
// one call, in int-sized pieces, instead of cutting the count to 32 bits.
TEST(StreamBuffer, CountsPastTwoGigabytesMoveWhole) {
  if (sizeof(void*) < 8) GTEST_SKIP() << "a 32-bit process cannot hold such a buffer";
  const NativeInt count = static_cast<NativeInt>((Int64(1) << 32) + 5);
  // Address space only: the stream never reads or writes the bytes.
  void* buffer = VirtualAlloc(nullptr, static_cast<SIZE_T>(count), MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(buffer, nullptr);
  const std::vector<int> pieces{INT_MAX, INT_MAX, 7};
  TCountingStream out;
  out.WriteBuffer(buffer, count);
  EXPECT_EQ(out.Total, count);
  EXPECT_EQ(out.Counts, pieces);
  TCountingStream in;
  in.ReadBuffer(buffer, count);
  EXPECT_EQ(in.Total, count);
  EXPECT_EQ(in.Counts, pieces);
  // A piece that falls short still raises.
  TCountingStream shortOut, shortIn;
  shortOut.Budget = shortIn.Budget = Int64(INT_MAX) + 1;
  EXPECT_THROW(shortOut.WriteBuffer(buffer, count), EWriteError);
  EXPECT_THROW(shortIn.ReadBuffer(buffer, count), EReadError);
  EXPECT_EQ(shortIn.Counts.size(), 2u);
  VirtualFree(buffer, 0, MEM_RELEASE);
}

TEST(StreamMemory, BytesStreamReturnsExactlyItsBytes) {
  TBytesStream s(TBytes{1, 2, 3});
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.Bytes(), (TBytes{1, 2, 3}));
  s.SetPosition(3);
  s.WriteBuffer("\x04", 1);
  EXPECT_EQ(s.Bytes(), (TBytes{1, 2, 3, 4}));  // not the whole 8 KB block
}

TEST(StreamCopy, CopyFromWholeOrPartInChunks) {
  TMemoryStream source;
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  WriteText(source, big);

  TMemoryStream whole;
  source.SetPosition(12345);
  EXPECT_EQ(whole.CopyFrom(&source, 0), 200000);  // 0: all of it, from the start
  EXPECT_EQ(ReadAll(whole), big);

  TMemoryStream part;
  source.SetPosition(100000);
  EXPECT_EQ(part.CopyFrom(&source, 70000), 70000);
  EXPECT_EQ(ReadAll(part), big.substr(100000, 70000));
  EXPECT_EQ(source.Position(), 170000);

  source.SetPosition(199990);
  EXPECT_THROW(part.CopyFrom(&source, 11), EReadError);
}

TEST(StreamCopy, SaveAndLoadThroughFiles) {
  TempDir dir;
  const String name = dir.File(L"存档 data.bin");
  TMemoryStream s;
  WriteText(s, "persisted bytes");
  s.SaveToFile(name);

  TMemoryStream loaded;
  loaded.LoadFromFile(name);
  EXPECT_EQ(ReadAll(loaded), "persisted bytes");

  TMemoryStream copy;
  copy.LoadFromStream(&loaded);
  EXPECT_EQ(ReadAll(copy), "persisted bytes");
  TMemoryStream saved;
  copy.SaveToStream(&saved);
  EXPECT_EQ(ReadAll(saved), "persisted bytes");
  EXPECT_THROW(loaded.LoadFromFile(dir.File(L"missing.bin")), EFOpenError);
}

// ---------------------------------------------------------------------------
// File streams
// ---------------------------------------------------------------------------

TEST(StreamFile, OpenErrorsNameTheFileAndTheReason) {
  TempDir dir;
  const String missing = dir.File(L"nowhere.txt");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL() << "no EFOpenError";
  } catch (EFOpenError& e) {
    const String prefix = L"Cannot open file \"" + missing + L"\". ";
    EXPECT_EQ(e.Message.substr(0, prefix.size()), prefix);
    EXPECT_GT(e.Message.size(), prefix.size());  // the system's reason follows
  }
  const String badDir = dir.File(L"no-such-folder\\new.txt");
  try {
    TFileStream f(badDir, fmCreate);
    FAIL() << "no EFCreateError";
  } catch (EFCreateError& e) {
    const String prefix = L"Cannot create file \"" + badDir + L"\". ";
    EXPECT_EQ(e.Message.substr(0, prefix.size()), prefix);
    EXPECT_GT(e.Message.size(), prefix.size());
  }
}

TEST(StreamFile, CreateTruncatesAndModesControlAccess) {
  TempDir dir;
  const String name = dir.File(L"modes.txt");
  {
    TFileStream f(name, fmCreate);
    WriteText(f, "first version, long");
  }
  {
    TFileStream f(name, fmCreate);
    WriteText(f, "second");
  }
  {
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(ReadAll(f), "second");
    EXPECT_EQ(f.Write("x", 1), 0);  // read-only handle
    EXPECT_EQ(f.FileName(), name);
  }
  {
    TFileStream f(name, fmOpenReadWrite);
    f.Seek(0, soEnd);
    WriteText(f, "+more");
    EXPECT_EQ(ReadAll(f), "second+more");
  }
}

TEST(StreamFile, ShareModesAreHonoured) {
  TempDir dir;
  const String name = dir.File(L"shared.txt");
  { TFileStream f(name, fmCreate); }
  {
    TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite));
    EXPECT_THROW(TFileStream(name, fmOpenWrite | fmShareDenyNone), EFOpenError);
  }
  {
    TFileStream exclusive(name, fmOpenReadWrite | fmShareExclusive);
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
  }
  EXPECT_NO_THROW(TFileStream(name, fmOpenReadWrite | fmShareDenyNone));
}

TEST(StreamFile, PositionsAndSizesAre64Bit) {
  TempDir dir;
  const String name = dir.File(L"sparse.bin");
  TFileStream f(name, fmCreate);
  const Int64 distant = (Int64(5) << 30) + 3;  // past 4 GB
  EXPECT_EQ(f.Seek(distant, soBeginning), distant);
  WriteText(f, "!");
  EXPECT_EQ(f.Size(), distant + 1);
  EXPECT_EQ(f.Seek(-1, soEnd), distant);
  char c = 0;
  f.ReadBuffer(&c, 1);
  EXPECT_EQ(c, '!');
  f.SetSize(4);  // gives the space back at once
  EXPECT_EQ(f.Size(), 4);
  EXPECT_EQ(f.Position(), 4);
}

TEST(StreamFile, RefusedSeekReturnsMinusOneAndSetSizeKeepsThePosition) {
  TempDir dir;
  TFileStream f(dir.File(L"seek.bin"), fmCreate);
  WriteText(f, "0123456789");
  f.SetPosition(6);
  EXPECT_EQ(f.Seek(-20, soCurrent), -1);
  EXPECT_EQ(f.Position(), 6);
  f.SetSize(20);
  EXPECT_EQ(f.Position(), 6);
  EXPECT_EQ(f.Size(), 20);
  f.SetSize(3);
  EXPECT_EQ(f.Position(), 3);
  EXPECT_EQ(ReadAll(f), "012");
}

// ---------------------------------------------------------------------------
// String and resource streams
// ---------------------------------------------------------------------------

TEST(StreamString, EncodingsRoundTrip) {
  struct Case {
    TStreamEncoding encoding;
    String text;
    std::string bytes;
  } cases[] = {
      {seUTF16, L"A岚", std::string("A\0\x9a\x5c", 4)},
      {seUTF8, L"A岚泽", "A\xE5\xB2\x9A\xE6\xB3\xBD"},
      {seANSI, L"plain text", "plain text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.encoding));
    TStringStream s(c.text, c.encoding);
    EXPECT_EQ(s.Encoding(), c.encoding);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(ReadAll(s), c.bytes);
    EXPECT_EQ(s.DataString(), c.text);
  }
}

TEST(StreamString, ReadAndWriteStringWorkInCodeUnitsAtThePosition) {
  TStringStream utf16(L"abcdef");
  utf16.SetPosition(2);  // one UTF-16 unit in
  EXPECT_EQ(utf16.ReadString(2), L"bc");
  EXPECT_EQ(utf16.ReadString(100), L"def");
  EXPECT_EQ(utf16.ReadString(1), L"");
  utf16.SetPosition(4);
  utf16.WriteString(L"XY");
  EXPECT_EQ(utf16.DataString(), L"abXYef");

  TStringStream utf8(L"", seUTF8);
  utf8.WriteString(L"泽");
  utf8.WriteString(L"!");
  EXPECT_EQ(utf8.DataString(), L"泽!");
  utf8.SetPosition(0);
  EXPECT_EQ(utf8.ReadString(3), L"泽");  // three UTF-8 units
}

TEST(StreamResource, ReadsResourcesByNameAndId) {
  TResourceStream byName(nullptr, L"TESTDATA", RT_RCDATA);
  EXPECT_EQ(ReadAll(byName), "resource bytes");
  TResourceStream byId(GetModuleHandleW(nullptr), 101, RT_RCDATA);
  EXPECT_EQ(ReadAll(byId), "numbered");
  EXPECT_THROW(byId.Write("x", 1), EStreamError);
  EXPECT_EQ(ReadAll(byId), "numbered");
}

TEST(StreamResource, MissingResourcesRaiseResNotFound) {
  struct Case {
    std::function<void()> open;
    const Char* message;
  } cases[] = {
      {[] { TResourceStream(nullptr, L"NOPE", RT_RCDATA); }, L"Resource NOPE not found"},
      {[] { TResourceStream(nullptr, 999, RT_RCDATA); }, L"Resource 999 not found"},
      {[] { TResourceStream(nullptr, L"TESTDATA", RT_BITMAP); }, L"Resource TESTDATA not found"},
  };
  for (const Case& c : cases) {
    try {
      c.open();
      ADD_FAILURE() << "no EResNotFound";
    } catch (EResNotFound& e) {
      EXPECT_EQ(e.Message, c.message);
    }
  }
}

// ---------------------------------------------------------------------------
// IStream adapter
// ---------------------------------------------------------------------------

namespace {

class TracedStream : public TMemoryStream {
 public:
  explicit TracedStream(bool* freed) : freed_(freed) {}
  ~TracedStream() override { *freed_ = true; }

 private:
  bool* freed_;
};

LARGE_INTEGER Li(Int64 v) {
  LARGE_INTEGER l;
  l.QuadPart = v;
  return l;
}

ULARGE_INTEGER Uli(UInt64 v) {
  ULARGE_INTEGER l;
  l.QuadPart = v;
  return l;
}

}  // namespace

TEST(StreamAdapter, ReadSeekStatAndWriteThroughTheInterface) {
  TMemoryStream s;
  WriteText(s, "0123456789");
  IStream* is = CreateStreamAdapter(&s);
  ULARGE_INTEGER pos{};
  EXPECT_EQ(is->Seek(Li(3), STREAM_SEEK_SET, &pos), S_OK);
  EXPECT_EQ(pos.QuadPart, 3u);
  char buf[16] = {};
  ULONG n = 0;
  EXPECT_EQ(is->Read(buf, 4, &n), S_OK);
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(std::string(buf, 4), "3456");
  EXPECT_EQ(is->Read(buf, 16, &n), S_OK);  // end of stream: fewer bytes, not an error
  EXPECT_EQ(n, 3u);

  EXPECT_EQ(is->Seek(Li(-2), STREAM_SEEK_END, &pos), S_OK);
  EXPECT_EQ(pos.QuadPart, 8u);
  EXPECT_EQ(is->Seek(Li(-100), STREAM_SEEK_CUR, &pos), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(s.Position(), 8);  // a refused seek moves nothing
  EXPECT_EQ(is->Seek(Li(0), 7, nullptr), STG_E_INVALIDFUNCTION);

  EXPECT_EQ(is->Write("AB", 2, &n), S_OK);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(ReadAll(s), "01234567AB");
  EXPECT_EQ(is->SetSize(Uli(12)), S_OK);

  STATSTG st;
  EXPECT_EQ(is->Stat(&st, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(st.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(st.cbSize.QuadPart, 12u);
  EXPECT_EQ(st.pwcsName, nullptr);
  EXPECT_EQ(is->Stat(nullptr, 0), STG_E_INVALIDPOINTER);

  IStream* clone = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(is->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
  EXPECT_EQ(is->Commit(STGC_DEFAULT), S_OK);
  EXPECT_EQ(is->LockRegion(Uli(0), Uli(1), LOCK_WRITE), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(is->Release(), 0u);
}

TEST(StreamAdapter, ErrorsAreFailureCodesNotExceptions) {
  TResourceStream res(nullptr, L"TESTDATA", RT_RCDATA);
  IStream* is = CreateStreamAdapter(&res);
  ULONG n = 99;
  EXPECT_TRUE(FAILED(is->Write("x", 1, &n)));  // the stream raises; COM sees an error code
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(is->Read(nullptr, 1, &n), STG_E_INVALIDPOINTER);
  is->Release();

  TMemoryStream mem;
  is = CreateStreamAdapter(&mem);
  EXPECT_TRUE(FAILED(is->SetSize(Uli(UInt64(1) << 40))));
  EXPECT_EQ(mem.Size(), 0);
  is->Release();
}

TEST(StreamAdapter, ReferenceCountingAndOwnership) {
  bool freed = false;
  IStream* owned = CreateStreamAdapter(Make<TracedStream>(&freed), soOwned);
  IUnknown* unk = nullptr;
  ISequentialStream* seq = nullptr;
  ASSERT_EQ(owned->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
  ASSERT_EQ(owned->QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&seq)), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(owned->QueryInterface(IID_IPersist, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  unk->Release();
  seq->Release();
  EXPECT_FALSE(freed);
  owned->Release();
  EXPECT_TRUE(freed);

  freed = false;
  Owned<TracedStream> kept(Make<TracedStream>(&freed));
  CreateStreamAdapter(kept.get(), soReference)->Release();
  EXPECT_FALSE(freed);
  EXPECT_THROW(CreateStreamAdapter(nullptr), EArgumentException);
}

// The system's own stream code drives the adapter: copying to and from an
// HGLOBAL stream, and the picture loader reading a bitmap file through it.
TEST(StreamAdapter, SystemStreamsAndPictureLoaderUseIt) {
  TMemoryStream s;
  WriteText(s, "payload for the system stream");
  IStream* adapter = CreateStreamAdapter(&s);
  IStream* global = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &global), S_OK);
  ULARGE_INTEGER read{}, written{};
  s.SetPosition(8);
  EXPECT_EQ(adapter->CopyTo(global, Uli(1000), &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 21u);
  EXPECT_EQ(written.QuadPart, 21u);

  TMemoryStream back;
  IStream* backAdapter = CreateStreamAdapter(&back);
  global->Seek(Li(0), STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(global->CopyTo(backAdapter, Uli(1000), &read, &written), S_OK);
  EXPECT_EQ(ReadAll(back), "for the system stream");
  backAdapter->Release();
  global->Release();
  adapter->Release();

  // A 2 x 3 24-bit bitmap file.
  TMemoryStream bmp;
  const int stride = 8, pixels = stride * 3;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  fh.bfSize = fh.bfOffBits + pixels;
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof(ih);
  ih.biWidth = 2;
  ih.biHeight = 3;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  bmp.WriteBuffer(&fh, sizeof(fh));
  bmp.WriteBuffer(&ih, sizeof(ih));
  std::vector<Byte> data(pixels, 0x80);
  bmp.WriteBuffer(data.data(), pixels);
  bmp.SetPosition(0);
  IStream* picStream = CreateStreamAdapter(&bmp);
  IPicture* pic = nullptr;
  ASSERT_EQ(OleLoadPicture(picStream, static_cast<LONG>(bmp.Size()), FALSE, IID_IPicture,
                           reinterpret_cast<void**>(&pic)),
            S_OK);
  SHORT type = 0;
  OLE_HANDLE handle = 0;
  EXPECT_EQ(pic->get_Type(&type), S_OK);
  EXPECT_EQ(type, PICTYPE_BITMAP);
  ASSERT_EQ(pic->get_Handle(&handle), S_OK);
  BITMAP bm{};
  // OLE_HANDLE keeps the 32 significant bits of the handle: widen it back sign-extended.
  ASSERT_NE(GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(static_cast<LONG>(handle))), sizeof(bm), &bm),
            0);
  EXPECT_EQ(bm.bmWidth, 2);
  EXPECT_EQ(bm.bmHeight, 3);
  pic->Release();
  picStream->Release();
}
