// Helpers of the visual-style, Office 2003 and drop-down frame tests: a 32-bit
// DIB to draw on and read back, temporary system colours, a guard that puts
// the visual-style entry points back after a test replaced some, and one that
// lets a test see the Office 2003 palette without users.
#pragma once

#include "platform/WinApi.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/Graphics.h"

#include "tests/support/TestDib.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace fndtest {

// A top-down 32-bit DIB section selected into a memory DC.
class TDib : public TTestDib {
 public:
  TDib(int width, int height, TColor fill = clWhite) : TTestDib(width, height) { Fill(fill); }
  void Fill(TColor color) { FillRaw(ToBGRA(ColorToRGB(color))); }
  // The pixel as a platform colour (0x00BBGGRR).
  TColor Pixel(int x, int y) const {
    const DWORD v = RawAt(x, y);
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

// The module start-up keeps the Office 2003 palette in use for the program's
// painters, so its brushes never go while the test program runs. This sets
// those users aside for the life of the object, so a test sees the first user
// come and the last one go, and brings them back afterwards (rebuilding the
// brushes); users a failed test left behind go first.
class TOffice11UsersAside {
 public:
  TOffice11UsersAside() {
    for (; dxOffice11ColorsUserCount() > 0; ++count_) dxRemoveOffice11ColorsUser();
  }
  ~TOffice11UsersAside() {
    while (dxOffice11ColorsUserCount() > 0) dxRemoveOffice11ColorsUser();
    for (int i = 0; i < count_; ++i) dxAddOffice11ColorsUser();
    dxReloadOffice11Colors();
  }
  TOffice11UsersAside(const TOffice11UsersAside&) = delete;
  TOffice11UsersAside& operator=(const TOffice11UsersAside&) = delete;

 private:
  int count_ = 0;
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
