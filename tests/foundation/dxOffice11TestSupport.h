// Helpers of the visual-style, Office 2003 and drop-down frame tests: a 32-bit
// DIB to draw on and read back, temporary system colours, and a guard that
// puts the visual-style entry points back after a test replaced some.
#pragma once

#include "platform/WinApi.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace fndtest {

// A top-down 32-bit DIB section selected into a memory DC.
class TDib {
 public:
  TDib(int width, int height, TColor fill = clWhite) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~TDib() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TDib(const TDib&) = delete;
  TDib& operator=(const TDib&) = delete;

  HDC DC() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Fill(TColor color) {
    GdiFlush();
    const DWORD bgra = ToBGRA(ColorToRGB(color));
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = bgra;
  }
  // The pixel as a platform colour (0x00BBGGRR).
  TColor Pixel(int x, int y) const {
    GdiFlush();
    const DWORD v = bits_[y * width_ + x];
    return static_cast<TColor>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
  }
  // Rows of characters: the character of `legend` whose colour a pixel has,
  // '?' for any other colour.
  std::vector<std::string> Map(const TRect& r, const std::vector<std::pair<char, TColor>>& legend) const {
    std::vector<std::string> rows;
    for (int y = r.Top; y < r.Bottom; ++y) {
      std::string row;
      for (int x = r.Left; x < r.Right; ++x) {
        char c = '?';
        for (const auto& [ch, color] : legend)
          if (Pixel(x, y) == ColorToRGB(color)) {
            c = ch;
            break;
          }
        row += c;
      }
      rows.push_back(row);
    }
    return rows;
  }

 private:
  static DWORD ToBGRA(TColor rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
  }
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

// Sets system colours for the life of the object and puts the previous ones
// back afterwards.
class TSysColorsOverride {
 public:
  explicit TSysColorsOverride(const std::vector<std::pair<int, COLORREF>>& colors) {
    for (const auto& [index, color] : colors) {
      indexes_.push_back(index);
      saved_.push_back(GetSysColor(index));
      wanted_.push_back(color);
    }
    ok_ = SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), wanted_.data()) != 0;
    for (size_t i = 0; ok_ && i < indexes_.size(); ++i) ok_ = GetSysColor(indexes_[i]) == wanted_[i];
  }
  ~TSysColorsOverride() {
    SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), saved_.data());
  }
  TSysColorsOverride(const TSysColorsOverride&) = delete;
  TSysColorsOverride& operator=(const TSysColorsOverride&) = delete;
  // The system took the colours (GetSysColor reports them).
  bool Ok() const { return ok_; }

 private:
  std::vector<int> indexes_;
  std::vector<COLORREF> saved_, wanted_;
  bool ok_ = false;
};

// Restores every visual-style entry point when it goes.
class TUxThemeProcsGuard {
 public:
  TUxThemeProcsGuard() : saved_(dxUxThemeProcs) {}
  ~TUxThemeProcsGuard() { dxUxThemeProcs = saved_; }
  TUxThemeProcsGuard(const TUxThemeProcsGuard&) = delete;
  TUxThemeProcsGuard& operator=(const TUxThemeProcsGuard&) = delete;

 private:
  TdxUxThemeProcs saved_;
};

// Whether the system would give this library (a fallback run disables it
// with a DLL override).
inline bool LibraryAvailable(const wchar_t* name) {
  HMODULE module = LoadLibraryW(name);
  if (!module) return false;
  FreeLibrary(module);
  return true;
}

}  // namespace fndtest
