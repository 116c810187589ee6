// Shared by the program's tests: the generated data embedded in the test
// executable (app_tests.rc), the parsing of image-list and BMP bytes, and
// real pointer input.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

#include <cstdint>
#include <vector>

// Real pointer input, as the user gives it: the pointer moves to the screen
// point (x, y) with the button flags given (MOUSEEVENTF_LEFTDOWN, ...).
void SendPointer(int x, int y, DWORD flags);

// The bytes of an RCDATA resource of the test executable; empty when missing.
std::vector<Byte> ResourceBytes(const wchar_t* name);

inline uint16_t Le16(const std::vector<Byte>& d, size_t at) { return uint16_t(d.at(at) | (d.at(at + 1) << 8)); }
inline uint32_t Le32(const std::vector<Byte>& d, size_t at) { return Le16(d, at) | (uint32_t(Le16(d, at + 2)) << 16); }
inline uint16_t Be16(const std::vector<Byte>& d, size_t at) { return uint16_t((d.at(at) << 8) | d.at(at + 1)); }
