// Helpers shared by the graphics tests.
#pragma once

#include "platform/gui/Graphics.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/core/Streams.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <memory>


// The graphics module's start-up, once per test process, as the program runs it.
inline void EnsureGraphics() {
  static bool started = false;
  if (!started) {
    GraphicsInitialize();
    started = true;
  }
}

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureGraphics(); }
};

// A 32-bit DIB bitmap filled with one colour.
inline Owned<TBitmap> MakeBitmap(int width, int height, TColor fill = clWhite,
                                 TPixelFormat format = pf32bit) {
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(format);
  bitmap->SetSize(width, height);
  bitmap->Canvas()->Brush()->SetColor(fill);
  bitmap->Canvas()->FillRect(Rect(0, 0, width, height));
  return bitmap;
}

// The colour of a pixel of a 32-bit bitmap as a TColor (0x00BBGGRR), read
// straight from its bits.
inline TColor PixelOf(TBitmap* bitmap, int x, int y) {
  const auto* row = static_cast<const Byte*>(bitmap->ScanLine(y));
  const Byte* p = row + x * 4;
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

inline TBytes BytesOf(TMemoryStream* stream) {
  const auto* p = static_cast<const Byte*>(stream->Memory());
  return TBytes(p, p + stream->Size());
}

template <class G>
TBytes SavedBytes(G* graphic) {
  auto stream = MakeOwned<TMemoryStream>();
  graphic->SaveToStream(stream.get());
  return BytesOf(stream.get());
}

// Counts the events it receives.
class TEventCounter : public TObject {
 public:
  int Count = 0;
  TObject* LastSender = nullptr;
  void Notify(TObject* sender) {
    ++Count;
    LastSender = sender;
  }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TEventCounter::Notify>(this); }
};
