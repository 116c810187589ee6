// A top-down 32-bit DIB section selected into a memory DC: tests draw on its
// DC and read the pixels back exactly.
#pragma once

#include "platform/WinApi.h"

#include <cstddef>

class TTestDib {
 public:
  TTestDib(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~TTestDib() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TTestDib(const TTestDib&) = delete;
  TTestDib& operator=(const TTestDib&) = delete;

  HDC DC() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 protected:
  // 0xAARRGGBB as the DIB holds it; GDI's pending drawing is flushed first.
  DWORD RawAt(int x, int y) const {
    GdiFlush();
    return bits_[size_t(y) * width_ + x];
  }
  void FillRaw(DWORD value) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = value;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};
