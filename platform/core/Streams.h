// Streams of bytes: the abstract TStream and its handle, file, memory,
// string and resource descendants, and an IStream adapter for COM callers.
#pragma once

#include "platform/core/System.h"
#include "platform/WinApi.h"
#include <objidl.h>

enum TSeekOrigin : int { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  DECLARE_CLASS(TStream, TObject)
  ~TStream() override = default;

  // Reads/writes up to `count` bytes, returns the number transferred.
  virtual int Read(void* buffer, int count) = 0;
  virtual int Write(const void* buffer, int count) = 0;
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

  // Raise EReadError "Stream read error" / EWriteError "Stream write error"
  // when not all bytes could be transferred. The count is pointer-sized, so a
  // whole buffer of any size the process can hold moves in one call (in
  // int-sized pieces through Read/Write).
  void ReadBuffer(void* buffer, NativeInt count);
  void WriteBuffer(const void* buffer, NativeInt count);
  // Copies `count` bytes from the current position of `source`; with a count
  // of 0 (or less) the whole of `source` from its beginning. Returns the bytes
  // copied; raises EReadError / EWriteError when a chunk cannot be moved.
  Int64 CopyFrom(TStream* source, Int64 count);

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 pos) { Seek(pos, soBeginning); }
  virtual Int64 Size();
  virtual void SetSize(Int64 newSize);
  // Bytes left between the position and the end.
  Int64 Remaining() { return Size() - Position(); }
};

// A stream over a Win32 file handle it does not own.
class THandleStream : public TStream {
  DECLARE_CLASS(THandleStream, TStream)
  explicit THandleStream(HANDLE handle);
  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  void SetSize(Int64 newSize) override;
  HANDLE Handle() const { return handle_; }

 protected:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// File modes, as the platform combines them: one open mode or fmCreate, plus
// one share mode.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

// A stream over a file it opens and owns; EFOpenError / EFCreateError name the file.
class TFileStream : public THandleStream {
  DECLARE_CLASS(TFileStream, THandleStream)
  TFileStream(const String& fileName, Word mode);
  ~TFileStream() override;
  const String& FileName() const { return fileName_; }

 private:
  String fileName_;
};

// Where a seek by `offset` from `origin` lands in a stream of `size` bytes
// standing at `position` (anywhere, as for a memory stream); EStreamError for
// an unknown origin.
Int64 SeekPosition(Int64 position, Int64 size, Int64 offset, TSeekOrigin origin);

// A stream in memory. TCustomMemoryStream exposes the buffer; TMemoryStream
// grows it. The position may be set anywhere, also before the start or past
// the end: reads there give 0 bytes, a write past the end extends the stream
// (the gap reads as zeros), a write before the start transfers nothing.
class TCustomMemoryStream : public TStream {
  DECLARE_CLASS(TCustomMemoryStream, TStream)
  int Read(void* buffer, int count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  void SaveToStream(TStream* stream);
  void SaveToFile(const String& fileName);
  void* Memory() const { return memory_; }
  Int64 Size() override { return size_; }

 protected:
  void SetPointer(void* ptr, Int64 size);
  void* memory_ = nullptr;
  Int64 size_ = 0;
  Int64 position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  DECLARE_CLASS(TMemoryStream, TCustomMemoryStream)
  TMemoryStream() = default;
  ~TMemoryStream() override;
  int Write(const void* buffer, int count) override;
  void SetSize(Int64 newSize) override;
  void Clear();
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const String& fileName);
  Int64 Capacity() const { return capacity_; }

 protected:
  // Grows the buffer; raises EOutOfMemory for sizes that cannot be held.
  virtual void* Realloc(Int64& newCapacity);
  void SetCapacity(Int64 newCapacity);

 private:
  Int64 capacity_ = 0;
};

// A memory stream over a byte array it owns.
class TBytesStream : public TMemoryStream {
  DECLARE_CLASS(TBytesStream, TMemoryStream)
  TBytesStream() = default;
  explicit TBytesStream(const TBytes& bytes);
  TBytes Bytes() const;
};

// Text encodings a TStringStream stores its text in.
enum TStreamEncoding : int { seUTF16, seUTF8, seANSI };

// A memory stream holding text; DataString decodes the bytes in the encoding.
class TStringStream : public TMemoryStream {
  DECLARE_CLASS(TStringStream, TMemoryStream)
  explicit TStringStream(const String& text = String(), TStreamEncoding encoding = seUTF16);
  String DataString() const;
  // Reads `count` code units of the encoding (2 bytes each in UTF-16, 1 byte
  // in UTF-8 and ANSI), fewer at the end of the stream.
  String ReadString(int count);
  void WriteString(const String& text);
  TStreamEncoding Encoding() const { return encoding_; }

 private:
  TStreamEncoding encoding_;
};

// A read-only stream over a resource of a module; EResNotFound when the
// resource is missing. `resType` is a name or MAKEINTRESOURCE id (RT_RCDATA).
class TResourceStream : public TCustomMemoryStream {
  DECLARE_CLASS(TResourceStream, TCustomMemoryStream)
  TResourceStream(HINSTANCE instance, const String& resName, const Char* resType);
  TResourceStream(HINSTANCE instance, int resId, const Char* resType);
  int Write(const void* buffer, int count) override;  // raises EStreamError

 private:
  void Initialize(HINSTANCE instance, const Char* name, const Char* type);
};

// Ownership of the stream behind a TStreamAdapter.
enum TStreamOwnership : int { soReference, soOwned };

// Exposes a TStream as a COM IStream (reference counted, for GDI+ and OLE).
IStream* CreateStreamAdapter(TStream* stream, TStreamOwnership ownership = soReference);
