// Checks the ground every other test stands on: UTF-16 text, the code page conversions,
// and the prefix's font set-up for Chinese text.
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string toUtf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::wstring fromUtf8(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         int(text.size()), nullptr, 0);
    std::wstring result(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                        result.data(), size);
    return result;
}

} // namespace

TEST(Environment, WideCharIsUtf16)
{
    static_assert(sizeof(wchar_t) == 2);
    EXPECT_EQ(std::wstring(L"岚泽").size(), 2u);
}

TEST(Environment, ChineseSurvivesUtf8RoundTrip)
{
    const std::wstring caption = L"岚泽家具生产设计系统3.0";
    const std::string utf8 = toUtf8(caption);
    EXPECT_EQ(utf8, "\xE5\xB2\x9A\xE6\xB3\xBD\xE5\xAE\xB6\xE5\x85\xB7\xE7\x94\x9F\xE4\xBA\xA7"
                    "\xE8\xAE\xBE\xE8\xAE\xA1\xE7\xB3\xBB\xE7\xBB\x9F" "3.0");
    EXPECT_EQ(fromUtf8(utf8), caption);
}

// The window definitions name Chinese faces; without the prefix's font substitutes they
// fall back to a face without CJK glyphs and every Chinese caption draws as boxes.
TEST(Environment, ChineseFacesHaveChineseGlyphs)
{
    for (const wchar_t* face : {L"微软雅黑", L"Microsoft YaHei", L"宋体", L"SimSun"}) {
        SCOPED_TRACE(face);
        HDC dc = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc, nullptr);
        HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, face);
        ASSERT_NE(font, nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        WORD glyphs[2] = {};
        EXPECT_EQ(GetGlyphIndicesW(dc, L"岚泽", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 2u);
        EXPECT_NE(glyphs[0], 0xFFFF);
        EXPECT_NE(glyphs[1], 0xFFFF);
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    }
}

namespace {

// Draws one character in black on white; the bits are compared, not inspected.
std::vector<DWORD> renderGlyph(HDC dc, wchar_t ch)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return {};
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 32, 32, WHITENESS);
    TextOutW(dc, 2, 2, &ch, 1);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + 32 * 32);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    return pixels;
}

} // namespace

// The system faces (captions are bold Tahoma) have no CJK glyphs; the prefix links them to
// the CJK font. Without the link a Chinese character draws as the same box as a code point
// no font has.
TEST(Environment, SystemFaceDrawsChineseThroughFontLink)
{
    for (const LONG weight : {FW_NORMAL, FW_BOLD}) {
        SCOPED_TRACE(weight);
        HDC dc = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc, nullptr);
        HFONT font = CreateFontW(-13, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, L"Tahoma");
        HGDIOBJ old = SelectObject(dc, font);
        const std::vector<DWORD> chinese = renderGlyph(dc, L'岚');
        const std::vector<DWORD> missing = renderGlyph(dc, L'\xE000');
        EXPECT_FALSE(chinese.empty());
        EXPECT_NE(chinese, missing);
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    }
}
