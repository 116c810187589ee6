// Helpers of the standard-control tests: a host form per test, event
// counters, pixel capture and loading controls from a stored definition.
#pragma once

#include "FormsTestSupport.h"

#include "platform/core/Filer.h"
#include "platform/core/Modules.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stdtest {

// Counts notify events and remembers their order ("click:Name").
class TEventLog : public TObject {
 public:
  std::vector<String> Entries;
  int Count(const String& what) const {
    int n = 0;
    for (const String& e : Entries) n += e == what ? 1 : 0;
    return n;
  }
  void Add(const String& what) { Entries.push_back(what); }
  void Click(TObject*) { Add(L"click"); }
  void Change(TObject*) { Add(L"change"); }
  void Select(TObject*) { Add(L"select"); }
  TNotifyEvent OnClick() { return TNotifyEvent::Bind<&TEventLog::Click>(this); }
  TNotifyEvent OnChange() { return TNotifyEvent::Bind<&TEventLog::Change>(this); }
  TNotifyEvent OnSelect() { return TNotifyEvent::Bind<&TEventLog::Select>(this); }
};

// Every test gets a form of 400 x 300 with its window made, not shown.
class StdCtrlsTest : public FormsFixture {
 protected:
  void SetUp() override {
    FormsFixture::SetUp();
    static const TModuleStep steps[] = {{L"StdCtrls", &StdCtrlsInitialize, &StdCtrlsFinalize}};
    InitializeModules(steps);
    form = Make<TForm>(nullptr, 0);
    form->SetPosition(poDesigned);
    form->SetBounds(40, 40, 400, 300);
    form->HandleNeeded();
  }
  void TearDown() override {
    FreeAndNil(form);
    FormsFixture::TearDown();
  }

  template <class T>
  T* Place(int left = 8, int top = 8, int width = -1, int height = -1) {
    T* c = Make<T>(form);
    c->SetParent(form);
    c->SetBounds(left, top, width < 0 ? c->Width() : width, height < 0 ? c->Height() : height);
    return c;
  }

  TForm* form = nullptr;
};

// The window's class name and styles.
inline String WindowClassOf(HWND wnd) {
  Char name[128] = {};
  GetClassNameW(wnd, name, 128);
  return name;
}
inline DWORD StyleOf(HWND wnd) { return static_cast<DWORD>(GetWindowLongW(wnd, GWL_STYLE)); }
inline DWORD ExStyleOf(HWND wnd) { return static_cast<DWORD>(GetWindowLongW(wnd, GWL_EXSTYLE)); }

// The window procedure our class got from the system class it superclasses.
inline bool SuperclassesSystemClass(HWND wnd, const Char* systemClass) {
  WNDCLASSW ours{}, system{};
  Char name[128] = {};
  GetClassNameW(wnd, name, 128);
  if (!GetClassInfoW(GetModuleHandleW(nullptr), name, &ours)) return false;
  if (!GetClassInfoW(nullptr, systemClass, &system)) return false;
  TWinControl* control = FindControl(wnd);
  return control && control->DefWndProc() == system.lpfnWndProc;
}

// A 32-bit bitmap filled with `fill`.
inline TBitmap* NewBitmap(int w, int h, TColor fill) {
  auto* bmp = Make<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(w, h);
  bmp->Canvas()->Brush()->SetColor(fill);
  bmp->Canvas()->FillRect(Rect(0, 0, w, h));
  return bmp;
}

inline TColor PixelAt(TBitmap* bitmap, int x, int y) {
  const auto* row = static_cast<const Byte*>(bitmap->ScanLine(y));
  const Byte* p = row + x * 4;
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

inline TColor Rgb(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }

// Reads a stored definition in text form ("object Form1: TForm ... end")
// into an existing root component, as a form reads its definition.
inline void ReadDefinition(const char* text, TComponent* root) {
  auto* src = Make<TMemoryStream>();
  auto* bin = Make<TMemoryStream>();
  TReader* reader = nullptr;
  try {
    src->WriteBuffer(text, static_cast<int>(std::char_traits<char>::length(text)));
    src->SetPosition(0);
    ObjectTextToBinary(src, bin);
    bin->SetPosition(0);
    reader = Make<TReader>(bin);
    reader->ReadRootComponent(root);
  } catch (...) {
    TObject::Free(reader);
    TObject::Free(src);
    TObject::Free(bin);
    throw;
  }
  TObject::Free(reader);
  TObject::Free(src);
  TObject::Free(bin);
}

// The text form of a component written as a root (ObjectBinaryToText).
inline String WriteDefinition(TComponent* root) {
  auto* bin = Make<TMemoryStream>();
  auto* txt = Make<TMemoryStream>();
  String text;
  try {
    auto* writer = Make<TWriter>(bin);
    try {
      writer->WriteRootComponent(root);
      writer->FlushBuffer();
    } catch (...) {
      TObject::Free(writer);
      throw;
    }
    TObject::Free(writer);
    bin->SetPosition(0);
    ObjectBinaryToText(bin, txt);
    const auto* p = static_cast<const char*>(txt->Memory());
    text.assign(p, p + txt->Size());
  } catch (...) {
    TObject::Free(bin);
    TObject::Free(txt);
    throw;
  }
  TObject::Free(bin);
  TObject::Free(txt);
  return text;
}

}  // namespace stdtest
