// The binary component stream: its signature and the tag byte of each value.
#pragma once

#include <cstdint>

// "TPF0", stored in the first four bytes.
constexpr std::uint8_t FilerSignature[4] = {'T', 'P', 'F', '0'};

enum TValueType : std::uint8_t {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
  vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
  vaInt64, vaUTF8String, vaDouble
};
constexpr int ValueTypeCount = vaDouble + 1;

// Flags in the high nibble of a prefix byte ($F0 | flags) before a component's
// class name: inherited from an ancestor definition, has a child position, inline.
constexpr std::uint8_t ffInherited = 0x01;
constexpr std::uint8_t ffChildPos = 0x02;
constexpr std::uint8_t ffInline = 0x04;

// Limits that protect readers from hostile streams.
constexpr int MaxStreamNesting = 64;
