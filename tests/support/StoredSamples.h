// Golden samples of stored data, shared by the layers' StoredSamplesTests.
//
// A sample is a file under tests/<layer>/samples/, embedded in the layer's test
// program as an RCDATA resource named after the file (SAMPLE_ and the name in
// upper case with '.' as '_': component.bin is SAMPLE_COMPONENT_BIN). A test
// writes the sample data with the library and calls CheckSample, which
// compares the bytes with the golden file exactly and returns the golden
// bytes for the test to read back.
//
// With LANZE_WRITE_SAMPLES set to a folder (as the test program sees it, e.g.
// Z:\tmp\samples under Wine), CheckSample writes the bytes into that folder
// instead of comparing and returns them, so that the reading half still runs.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

namespace storedsamples {

inline String WriteFolder() {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"LANZE_WRITE_SAMPLES", buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? String(buffer, n) : String();
}

inline String ResourceName(const String& fileName) {
  String name = L"SAMPLE_" + fileName;
  for (Char& c : name) {
    if (c == L'.') c = L'_';
    else if (c >= L'a' && c <= L'z') c = static_cast<Char>(c - L'a' + L'A');
  }
  return name;
}

inline TBytes GoldenBytes(const String& fileName) {
  TResourceStream stream(GetModuleHandleW(nullptr), ResourceName(fileName), RT_RCDATA);
  const Byte* p = static_cast<const Byte*>(stream.Memory());
  return TBytes(p, p + stream.Size());
}

// Where two byte strings first differ, with the bytes around it in hex.
inline std::string DescribeDifference(const TBytes& written, const TBytes& golden) {
  size_t at = 0;
  while (at < written.size() && at < golden.size() && written[at] == golden[at]) ++at;
  auto hex = [at](const TBytes& b) {
    std::string s;
    char cell[4];
    for (size_t i = at < 8 ? 0 : at - 8; i < std::min(b.size(), at + 24); ++i) {
      std::snprintf(cell, sizeof cell, i == at ? "[%02X" : " %02X", b[i]);
      s += cell;
      if (i == at) s += ']';
    }
    return s;
  };
  return "sizes " + std::to_string(written.size()) + " (written) and " + std::to_string(golden.size()) +
         " (golden), first difference at offset " + std::to_string(at) + "\n  written:" + hex(written) +
         "\n  golden: " + hex(golden);
}

// The file name in messages (sample names are ASCII).
inline std::string AsciiName(const Char* fileName) {
  std::string name;
  for (const Char* p = fileName; *p; ++p) name += *p < 0x80 ? static_cast<char>(*p) : '?';
  return name;
}

// A test name for row `index` of a sample table: the index and the file name.
inline std::string TestName(size_t index, const Char* fileName) {
  std::string name = std::to_string(index) + "_";
  for (char c : AsciiName(fileName)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

// The golden bytes of `fileName` after checking that `written` equals them.
inline TBytes CheckSample(const String& fileName, const TBytes& written) {
  const String folder = WriteFolder();
  if (!folder.empty()) {
    TFileStream file(folder + L"\\" + fileName, fmCreate);
    if (!written.empty()) file.WriteBuffer(written.data(), static_cast<int>(written.size()));
    return written;
  }
  TBytes golden = GoldenBytes(fileName);
  EXPECT_TRUE(written == golden) << DescribeDifference(written, golden);
  return golden;
}

inline TBytes BytesOfStream(TCustomMemoryStream* stream) {
  const Byte* p = static_cast<const Byte*>(stream->Memory());
  return TBytes(p, p + stream->Size());
}

}  // namespace storedsamples
