// The system clipboard as an object: text, raw handles and pictures.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Persistent.h"

#include "platform/gui/Messages.h"

// Open/Close nest: the clipboard is opened by the first Open and closed by the
// matching last Close; every operation that writes opens it around itself and
// empties it once per opening before its first write, so several formats can
// be put on it between one Open and Close. Raises Exception "Cannot open
// clipboard" when another program keeps it open.
class TClipboard : public TPersistent {
  DECLARE_CLASS(TClipboard, TPersistent)
  TClipboard();
  ~TClipboard() override;

  void Open();
  void Close();
  // Empties the clipboard (opening it for the call when needed).
  void Clear();
  // Whether the clipboard holds the format; for CF_PICTURE, whether it holds
  // any format that a registered graphic class reads.
  bool HasFormat(Word format);

  // CF_UNICODETEXT; empty when the clipboard holds no text.
  String AsText();
  void SetAsText(const String& value);
  // Copies at most size - 1 characters and a terminating zero; returns the count copied.
  int GetTextBuf(Char* buffer, int size);
  void SetTextBuf(const Char* buffer);

  // The clipboard's own handle of a format (valid while the clipboard is not
  // changed), null when it has none.
  HANDLE GetAsHandle(Word format);
  // Hands `value` to the clipboard, which owns it from then on.
  void SetAsHandle(Word format, HANDLE value);

  int FormatCount();
  // Raises EListError for an index out of range.
  Word Formats(int index);

  // A TPicture or any TGraphic puts its clipboard format (and palette) on the
  // clipboard; other sources raise EConvertError.
  void Assign(TPersistent* source) override;

  // The window that owns what this object puts on the clipboard.
  HWND Handle() const { return window_; }

 protected:
  // Fills a TPicture (the first format a registered graphic class reads) or
  // a TBitmap (CF_BITMAP) from the clipboard. EInvalidGraphic "Unsupported
  // clipboard format" when the clipboard holds none of them.
  void AssignTo(TPersistent* dest) override;

 private:
  void Adding();
  void SetBuffer(Word format, const void* data, std::size_t size);
  void WndProc(TMessage& message);

  int openRefCount_ = 0;
  bool emptied_ = false;
  bool allocated_ = false;
  HWND window_ = nullptr;
};

// The picture pseudo-format (registered by ClipboardInitialize or the first
// TClipboard), for HasFormat.
extern Word CF_PICTURE;

// The process's clipboard object, created on first use (freed by ClipboardFinalize).
TClipboard* Clipboard();
// Replaces it and returns the previous one (which the caller then owns); null
// makes the next Clipboard() call create a new one.
TClipboard* SetClipboard(TClipboard* newClipboard);

void ClipboardInitialize();
void ClipboardFinalize();
