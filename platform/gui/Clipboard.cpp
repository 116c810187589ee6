#include "platform/gui/Clipboard.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Messaging.h"

#include <algorithm>
#include <cstring>
#include <string>

Word CF_PICTURE = 0;

namespace {

TClipboard* gClipboard = nullptr;

Word PictureFormat() {
  if (!CF_PICTURE) CF_PICTURE = static_cast<Word>(RegisterClipboardFormatW(L"Picture"));
  return CF_PICTURE;
}

// Frees a handle that SetClipboardData refused. SaveToClipboardFormat hands
// out its GDI objects uncounted, for the clipboard to own: one that stays
// with us is counted for the moment it takes to delete it.
void FreeClipboardHandle(Word format, HANDLE data) {
  if (!data) return;
  switch (format) {
    case CF_BITMAP:
    case CF_PALETTE:
    case CF_DSPBITMAP:
      GdiAdopt(data);
      GdiDeleteObject(data);
      break;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
      break;
    default:
      GlobalFree(data);
      break;
  }
}

}  // namespace

IMPLEMENT_CLASS(TClipboard, TPersistent, (ConstructPlain<TClipboard>))

TClipboard::TClipboard() { PictureFormat(); }

TClipboard::~TClipboard() {
  if (openRefCount_ > 0) CloseClipboard();
  DeallocateHWnd(window_);
}

void TClipboard::WndProc(TMessage& message) {
  message.Result = DefWindowProcW(window_, message.Msg, message.WParam, message.LParam);
}

void TClipboard::Open() {
  if (openRefCount_ == 0) {
    if (!window_) window_ = AllocateHWnd(TWndMethod::Bind<&TClipboard::WndProc>(this));
    // Another program may hold the clipboard for a moment (a clipboard
    // viewer reading what we just wrote): try a few times before giving up.
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
      opened = OpenClipboard(window_) != FALSE;
      if (!opened) Sleep(10);
    }
    if (!opened) throw Exception(L"Cannot open clipboard");
    emptied_ = false;
  }
  ++openRefCount_;
}

void TClipboard::Close() {
  if (openRefCount_ == 0) return;
  if (--openRefCount_ == 0) {
    CloseClipboard();
    emptied_ = false;
  }
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

// Empties the clipboard before the first write of an opening, so that what
// one Open..Close puts on it replaces everything that was there.
void TClipboard::Adding() {
  if (openRefCount_ != 0 && !emptied_) {
    Clear();
    emptied_ = true;
  }
}

bool TClipboard::HasFormat(Word format) {
  if (IsClipboardFormatAvailable(format)) return true;
  if (format != PictureFormat()) return false;
  // The picture pseudo-format: any format that a registered graphic class reads.
  bool found = false;
  Open();
  for (UINT f = EnumClipboardFormats(0); f && !found; f = EnumClipboardFormats(f))
    found = f <= 0xFFFF && TPicture::SupportsClipboardFormat(static_cast<Word>(f));
  Close();
  return found;
}

void TClipboard::SetBuffer(Word format, const void* data, std::size_t size) {
  Open();
  try {
    Adding();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!memory) throw EOutOfMemory(L"Out of memory");
    void* dest = GlobalLock(memory);
    if (dest) {
      std::memcpy(dest, data, size);
      GlobalUnlock(memory);
    }
    if (!dest || !SetClipboardData(format, memory)) {
      const DWORD error = GetLastError();
      GlobalFree(memory);
      RaiseLastOSError(error);
    }
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

String TClipboard::AsText() {
  String result;
  Open();
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data) {
    // The text ends at its first zero or at the end of the memory block,
    // whichever comes first: a block without terminator is not overrun.
    const std::size_t capacity = GlobalSize(data) / sizeof(Char);
    if (const auto* text = static_cast<const Char*>(GlobalLock(data))) {
      std::size_t length = 0;
      while (length < capacity && text[length]) ++length;
      result.assign(text, length);
      GlobalUnlock(data);
    }
  }
  Close();
  return result;
}

void TClipboard::SetAsText(const String& value) {
  SetBuffer(CF_UNICODETEXT, value.c_str(), (value.size() + 1) * sizeof(Char));
}

int TClipboard::GetTextBuf(Char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const String text = AsText();
  const int count = std::min<int>(static_cast<int>(text.size()), size - 1);
  std::memcpy(buffer, text.data(), count * sizeof(Char));
  buffer[count] = 0;
  return count;
}

void TClipboard::SetTextBuf(const Char* buffer) { SetAsText(buffer ? String(buffer) : String()); }

HANDLE TClipboard::GetAsHandle(Word format) {
  Open();
  HANDLE result = GetClipboardData(format);
  Close();
  return result;
}

void TClipboard::SetAsHandle(Word format, HANDLE value) {
  Open();
  try {
    Adding();
    if (!SetClipboardData(format, value)) RaiseLastOSError();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

int TClipboard::FormatCount() { return CountClipboardFormats(); }

Word TClipboard::Formats(int index) {
  Word result = 0;
  Open();
  int i = 0;
  UINT f = EnumClipboardFormats(0);
  for (; f && i < index; f = EnumClipboardFormats(f)) ++i;
  Close();
  if (index < 0 || !f) throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  result = static_cast<Word>(f);
  return result;
}

void TClipboard::Assign(TPersistent* source) {
  TPicture* picture = dynamic_cast<TPicture*>(source);
  TGraphic* graphic = dynamic_cast<TGraphic*>(source);
  if (!picture && !graphic) {
    TPersistent::Assign(source);
    return;
  }
  Open();
  try {
    Adding();
    Word format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    if (picture)
      picture->SaveToClipboardFormat(format, data, palette);
    else
      graphic->SaveToClipboardFormat(format, data, palette);
    // An empty graphic has nothing to put there (a null handle would announce
    // delayed rendering that never comes).
    if (data && !SetClipboardData(format, data)) {
      const DWORD error = GetLastError();
      FreeClipboardHandle(format, data);
      FreeClipboardHandle(CF_PALETTE, palette);
      RaiseLastOSError(error);
    }
    if (palette && (!data || !SetClipboardData(CF_PALETTE, palette)))
      FreeClipboardHandle(CF_PALETTE, palette);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::AssignTo(TPersistent* dest) {
  TPicture* picture = dynamic_cast<TPicture*>(dest);
  TBitmap* bitmap = dynamic_cast<TBitmap*>(dest);
  if (!picture && !bitmap) {
    TPersistent::AssignTo(dest);
    return;
  }
  Open();
  try {
    HPALETTE palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
    if (bitmap) {
      bitmap->LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), palette);
    } else {
      bool loaded = false;
      for (UINT f = EnumClipboardFormats(0); f && !loaded; f = EnumClipboardFormats(f)) {
        if (f > 0xFFFF || !TPicture::SupportsClipboardFormat(static_cast<Word>(f))) continue;
        picture->LoadFromClipboardFormat(static_cast<Word>(f), GetClipboardData(f), palette);
        loaded = true;
      }
      if (!loaded) throw EInvalidGraphic(L"Unsupported clipboard format");
    }
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

// ---------------------------------------------------------------------------

TClipboard* Clipboard() {
  if (!gClipboard) gClipboard = Make<TClipboard>();
  return gClipboard;
}

TClipboard* SetClipboard(TClipboard* newClipboard) {
  TClipboard* old = gClipboard;
  gClipboard = newClipboard;
  return old;
}

void ClipboardInitialize() { PictureFormat(); }

void ClipboardFinalize() {
  TClipboard* clipboard = SetClipboard(nullptr);
  TObject::Free(clipboard);
}
