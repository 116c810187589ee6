#include "platform/core/ObjectText.h"

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StreamFormat.h"
#include "platform/core/Streams.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

namespace {

// Text of a string value per line before it continues with ' +'.
constexpr int kStringLineLength = 64;
constexpr size_t kBinaryBytesPerLine = 32;
// A class name's length byte must stay below the prefix marker $F0.
constexpr size_t kMaxClassNameBytes = 0xEF;

// ---------------------------------------------------------------------------
// Unicode helpers
// ---------------------------------------------------------------------------

void AppendUTF8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Lone surrogates cannot be encoded; they become U+FFFD.
std::string EncodeUTF8(const String& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUTF8(out, c);
  }
  return out;
}

// Strict decoding (no overlong forms, no surrogates). Returns false with the
// index of the first ill-formed sequence in `bad`.
bool DecodeUTF8(const Byte* p, size_t n, String& out, size_t* bad = nullptr) {
  out.clear();
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    const unsigned b = p[i];
    unsigned cp;
    size_t len;
    if (b < 0x80) {
      out += static_cast<Char>(b);
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      cp = b & 0x1F, len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      cp = b & 0x0F, len = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      cp = b & 0x07, len = 4;
    } else {
      if (bad) *bad = i;
      return false;
    }
    if (n - i < len) {
      if (bad) *bad = i;
      return false;
    }
    for (size_t k = 1; k < len; ++k) {
      const unsigned c = p[i + k];
      if ((c & 0xC0) != 0x80) {
        if (bad) *bad = i;
        return false;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
      if (bad) *bad = i;
      return false;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<Char>(0xD800 + (cp >> 10));
      out += static_cast<Char>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<Char>(cp);
    }
    i += len;
  }
  return true;
}

String DecodeAnsi(const Byte* p, size_t n) {
  if (n == 0) return String();
  const int count = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(p), static_cast<int>(n), nullptr, 0);
  String s(static_cast<size_t>(std::max(count, 0)), L'\0');
  if (count > 0)
    MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(p), static_cast<int>(n), s.data(), count);
  return s;
}

// ---------------------------------------------------------------------------
// Identifiers: letters (any script), digits after the first, '_'.
// ---------------------------------------------------------------------------

// Length (1, or 2 for a surrogate pair) of the identifier character at s[i],
// 0 when there is none.
size_t IdentCharAt(const String& s, size_t i, bool first) {
  if (i >= s.size()) return 0;
  const Char c = s[i];
  if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_') return 1;
  if (c >= L'0' && c <= L'9') return first ? 0 : 1;
  if (c < 0x80) return 0;
  if (c >= 0xD800 && c <= 0xDBFF) return (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ? 2 : 0;
  if (c >= 0xDC00 && c <= 0xDFFF) return 0;
  if (c == 0xFEFF) return 0;
  return IsCharAlphaNumericW(c) ? 1 : 0;
}

// Scans one identifier part at s[i]; returns its end, or i when none starts there.
size_t ScanIdentPart(const String& s, size_t i) {
  size_t n = IdentCharAt(s, i, true);
  if (!n) return i;
  i += n;
  while ((n = IdentCharAt(s, i, false)) != 0) i += n;
  return i;
}

// Scans "a.b.c" (dots only with `dotted`); returns the end.
size_t ScanIdent(const String& s, size_t i, bool dotted) {
  size_t end = ScanIdentPart(s, i);
  if (end == i) return i;
  while (dotted && end < s.size() && s[end] == L'.') {
    const size_t next = ScanIdentPart(s, end + 1);
    if (next == end + 1) break;
    end = next;
  }
  return end;
}

bool IsIdent(const String& s, bool dotted) {
  return !s.empty() && ScanIdent(s, 0, dotted) == s.size();
}

bool SameText(const String& a, const wchar_t* b) {
  const size_t n = wcslen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    Char x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x += 32;
    if (y >= L'A' && y <= L'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

// Words that start or end a component block: never usable as property names.
bool IsBlockKeyword(const String& s) {
  return SameText(s, L"object") || SameText(s, L"inherited") || SameText(s, L"inline") || SameText(s, L"end");
}

// ---------------------------------------------------------------------------
// Floating-point values
// ---------------------------------------------------------------------------

// The C runtime parses with the current locale's decimal separator.
std::string LocaleNumber(std::string text) {
  const lconv* lc = localeconv();
  const char dp = (lc && lc->decimal_point && lc->decimal_point[0]) ? lc->decimal_point[0] : '.';
  if (dp != '.') std::replace(text.begin(), text.end(), '.', dp);
  return text;
}

// Each parses the whole of `text` (an ASCII number without suffix) into the
// value's stored bytes; false when it is not a finite value of the type.
bool ParseExtended(const std::string& text, Byte out[10]) {
  const std::string t = LocaleNumber(text);
  char* end = nullptr;
  const long double v = __mingw_strtold(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  std::memcpy(out, &v, 10);
  return true;
}

bool ParseDouble(const std::string& text, Byte out[8]) {
  const std::string t = LocaleNumber(text);
  char* end = nullptr;
  const double v = __mingw_strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  std::memcpy(out, &v, 8);
  return true;
}

bool ParseSingle(const std::string& text, Byte out[4]) {
  const std::string t = LocaleNumber(text);
  char* end = nullptr;
  const float v = __mingw_strtof(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  std::memcpy(out, &v, 4);
  return true;
}

// Currency is an integer count of 1/10000: parsed exactly from the decimal
// digits, rounding half away from zero past the fourth decimal.
bool ParseCurrency(const std::string& text, Int64& out) {
  size_t i = 0;
  const bool neg = i < text.size() && text[i] == '-';
  if (neg) ++i;
  std::string digits;
  int fracDigits = 0;
  bool dot = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits += c;
      if (dot) ++fracDigits;
    } else if (c == '.' && !dot) {
      dot = true;
    } else {
      break;
    }
  }
  long exp10 = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool eneg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) eneg = text[i++] == '-';
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      if (exp10 < 100000) exp10 = exp10 * 10 + (text[i] - '0');
    }
    if (eneg) exp10 = -exp10;
  }
  if (i != text.size() || digits.empty()) return false;
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) {
    out = 0;
    return true;
  }
  const long shift = exp10 - fracDigits + 4;  // value * 10^4 = digits * 10^shift
  const UInt64 limit = neg ? (UInt64(1) << 63) : (UInt64(1) << 63) - 1;
  UInt64 acc = 0;
  auto push = [&](unsigned d) {
    if (acc > (limit - d) / 10) return false;
    acc = acc * 10 + d;
    return true;
  };
  const long kept = shift >= 0 ? static_cast<long>(digits.size())
                               : std::max(0L, static_cast<long>(digits.size()) + shift);
  for (long k = 0; k < kept; ++k)
    if (!push(static_cast<unsigned>(digits[k] - '0'))) return false;
  if (shift > 0) {
    if (shift > 40) return false;  // the digits are not all zero: far out of range
    for (long k = 0; k < shift; ++k)
      if (!push(0)) return false;
  } else if (kept < static_cast<long>(digits.size()) && digits[kept] >= '5') {
    if (acc == limit) return false;
    ++acc;
  }
  out = neg ? static_cast<Int64>(0 - acc) : static_cast<Int64>(acc);
  return true;
}

// "1e+20" -> "1.0E20": a '.' in every mantissa, an upper-case exponent
// without '+' or leading zeros.
std::string NormalizeFloat(const std::string& s) {
  const size_t e = s.find_first_of("eE");
  std::string mant = s.substr(0, e);
  if (mant.find('.') == std::string::npos) mant += ".0";
  if (e == std::string::npos) return mant;
  std::string ex = s.substr(e + 1);
  std::string sign;
  if (!ex.empty() && (ex[0] == '+' || ex[0] == '-')) {
    if (ex[0] == '-') sign = "-";
    ex.erase(0, 1);
  }
  const size_t nz = ex.find_first_not_of('0');
  ex = nz == std::string::npos ? "0" : ex.substr(nz);
  return mant + "E" + sign + ex;
}

template <class T>
std::string ShortestText(T v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return NormalizeFloat(std::string(buf, r.ptr));
}

// The text of a stored float, or false when no decimal reads back to the
// same bits.
bool FormatFloat(TValueType tag, const Byte* p, std::string& text) {
  switch (tag) {
    case vaExtended: {
      UInt64 mant;
      Word se;
      std::memcpy(&mant, p, 8);
      std::memcpy(&se, p + 8, 2);
      const unsigned exp = se & 0x7FFF;
      const bool integerBit = (mant >> 63) != 0;
      // Infinities and NaNs, unnormals and pseudo-denormals.
      if (exp == 0x7FFF || (exp != 0) != integerBit) return false;
      long double v = 0;
      std::memcpy(&v, p, 10);
      text = ShortestText(v);
      Byte back[10];
      return ParseExtended(text, back) && std::memcmp(back, p, 10) == 0;
    }
    case vaSingle: {
      float v;
      std::memcpy(&v, p, 4);
      if (!std::isfinite(v)) return false;
      text = ShortestText(v) + "s";
      Byte back[4];
      return ParseSingle(text.substr(0, text.size() - 1), back) && std::memcmp(back, p, 4) == 0;
    }
    case vaDouble:
    case vaDate: {
      double v;
      std::memcpy(&v, p, 8);
      if (!std::isfinite(v)) return false;
      const std::string t = ShortestText(v);
      text = t + (tag == vaDate ? "d" : "f");
      Byte back[8];
      return ParseDouble(t, back) && std::memcmp(back, p, 8) == 0;
    }
    case vaCurrency: {
      Int64 v;
      std::memcpy(&v, p, 8);
      const UInt64 a = v < 0 ? 0 - static_cast<UInt64>(v) : static_cast<UInt64>(v);
      std::string frac = std::to_string(a % 10000);
      frac.insert(0, 4 - frac.size(), '0');
      while (frac.size() > 1 && frac.back() == '0') frac.pop_back();
      text = (v < 0 ? "-" : "") + std::to_string(a / 10000) + "." + frac + "c";
      return true;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Binary output
// ---------------------------------------------------------------------------

class ByteSink {
 public:
  std::string data;

  void Byte1(unsigned b) { data += static_cast<char>(b); }
  void Raw(const void* p, size_t n) { data.append(static_cast<const char*>(p), n); }
  template <class T>
  void Value(T v) {
    Raw(&v, sizeof v);  // the target is little-endian, like the stream
  }
  void Integer(Int64 v) {
    if (v >= -128 && v <= 127) {
      Byte1(vaInt8);
      Value(static_cast<std::int8_t>(v));
    } else if (v >= -32768 && v <= 32767) {
      Byte1(vaInt16);
      Value(static_cast<std::int16_t>(v));
    } else if (v >= INT_MIN && v <= INT_MAX) {
      Byte1(vaInt32);
      Value(static_cast<std::int32_t>(v));
    } else {
      Byte1(vaInt64);
      Value(v);
    }
  }
  void ShortString(const std::string& utf8) {
    Byte1(static_cast<unsigned>(utf8.size()));
    data += utf8;
  }
};

void WriteToStream(TStream* output, const char* p, size_t n) {
  while (n > 0) {
    const int chunk = static_cast<int>(std::min<size_t>(n, 1u << 30));
    output->WriteBuffer(p, chunk);
    p += chunk;
    n -= static_cast<size_t>(chunk);
  }
}

// Reads everything from the position to the end.
std::vector<Byte> ReadRest(TStream* input) {
  const Int64 remaining = std::max<Int64>(input->Remaining(), 0);
  if (static_cast<UInt64>(remaining) > SIZE_MAX / 2) throw EOutOfMemory(L"Out of memory");
  std::vector<Byte> bytes;
  try {
    bytes.resize(static_cast<size_t>(remaining));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(L"Out of memory");
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const int chunk = static_cast<int>(std::min<size_t>(bytes.size() - done, 1u << 30));
    input->ReadBuffer(bytes.data() + done, chunk);
    done += static_cast<size_t>(chunk);
  }
  return bytes;
}

// ---------------------------------------------------------------------------
// Text -> binary
// ---------------------------------------------------------------------------

enum TokenKind { tkEnd, tkSymbol, tkStringTok, tkIntegerTok, tkFloatTok, tkCharTok };

struct Token {
  TokenKind kind = tkEnd;
  int line = 1;
  Char ch = 0;          // tkCharTok
  String text;          // tkSymbol: the identifier; tkStringTok: the value
  std::string number;   // tkFloatTok: the digits without suffix
  char suffix = 0;      // tkFloatTok: 0, 's', 'f', 'd' or 'c'
  Int64 value = 0;      // tkIntegerTok
};

class TextConverter {
 public:
  explicit TextConverter(const String& text) : s_(text) {}

  std::string Convert() {
    out_.Raw(FilerSignature, sizeof FilerSignature);
    Next();
    ParseObject(1);
    if (tok_.kind != tkEnd) Error(L"End of file expected");
    return std::move(out_.data);
  }

 private:
  const String& s_;
  size_t pos_ = 0;
  int line_ = 1;
  Token tok_;
  ByteSink out_;

  [[noreturn]] void ErrorAt(int line, const String& message) {
    throw EParserError(L"Line " + std::to_wstring(line) + L": " + message);
  }
  [[noreturn]] void Error(const String& message) { ErrorAt(tok_.line, message); }

  bool AtChar(Char c) const { return tok_.kind == tkCharTok && tok_.ch == c; }
  bool AtWord(const wchar_t* w) const { return tok_.kind == tkSymbol && SameText(tok_.text, w); }
  bool AtObjectStart() const { return AtWord(L"object") || AtWord(L"inherited") || AtWord(L"inline"); }

  void Expect(Char c) {
    if (!AtChar(c)) Error(String(L"'") + c + L"' expected");
    Next();
  }

  // ---- Tokens

  void SkipBlanks() {
    while (pos_ < s_.size() && s_[pos_] <= L' ' && s_[pos_] != 0) {
      if (s_[pos_] == L'\n' || (s_[pos_] == L'\r' && (pos_ + 1 >= s_.size() || s_[pos_ + 1] != L'\n'))) ++line_;
      ++pos_;
    }
  }

  static bool IsDigit(Char c) { return c >= L'0' && c <= L'9'; }
  static int HexValue(Char c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
  }
  Char At(size_t i) const { return i < s_.size() ? s_[i] : 0; }

  void Next() {
    SkipBlanks();
    tok_ = Token();
    tok_.line = line_;
    if (pos_ >= s_.size()) return;
    const Char c = s_[pos_];
    const size_t identEnd = ScanIdent(s_, pos_, true);
    if (identEnd != pos_) {
      tok_.kind = tkSymbol;
      tok_.text = s_.substr(pos_, identEnd - pos_);
      pos_ = identEnd;
    } else if (c == L'\'' || c == L'#') {
      ScanString();
    } else if (IsDigit(c) || c == L'$' || (c == L'-' && (IsDigit(At(pos_ + 1)) || At(pos_ + 1) == L'$'))) {
      ScanNumber();
    } else {
      tok_.kind = tkCharTok;
      tok_.ch = c;
      ++pos_;
    }
  }

  void ScanString() {
    tok_.kind = tkStringTok;
    for (;;) {
      const Char c = At(pos_);
      if (c == L'\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == L'\r' || s_[pos_] == L'\n') ErrorAt(line_, L"Unterminated string");
          if (s_[pos_] == L'\'') {
            if (At(pos_ + 1) != L'\'') break;
            ++pos_;
          }
          tok_.text += s_[pos_++];
        }
        ++pos_;
      } else if (c == L'#') {
        ++pos_;
        unsigned long code = 0;
        size_t digits = 0;
        if (At(pos_) == L'$') {
          ++pos_;
          for (int h; (h = HexValue(At(pos_))) >= 0; ++pos_, ++digits)
            if ((code = code * 16 + static_cast<unsigned>(h)) > 0xFFFF) ErrorAt(line_, L"Invalid string constant");
        } else {
          for (; IsDigit(At(pos_)); ++pos_, ++digits)
            if ((code = code * 10 + (s_[pos_] - L'0')) > 0xFFFF) ErrorAt(line_, L"Invalid string constant");
        }
        if (digits == 0) ErrorAt(line_, L"Invalid string constant");
        tok_.text += static_cast<Char>(code);
      } else {
        break;
      }
    }
  }

  void ScanNumber() {
    const size_t start = pos_;
    const bool neg = s_[pos_] == L'-';
    if (neg) ++pos_;
    if (At(pos_) == L'$') {
      ++pos_;
      UInt64 v = 0;
      size_t digits = 0;
      for (int h; (h = HexValue(At(pos_))) >= 0; ++pos_, ++digits) v = v * 16 + static_cast<unsigned>(h);
      if (digits == 0 || IdentCharAt(s_, pos_, false)) ErrorAt(line_, L"Invalid number");
      if (digits > 16) ErrorAt(line_, L"Integer out of range");
      tok_.kind = tkIntegerTok;
      tok_.value = static_cast<Int64>(neg ? 0 - v : v);
      return;
    }
    bool isFloat = false;
    while (IsDigit(At(pos_))) ++pos_;
    if (At(pos_) == L'.') {
      isFloat = true;
      ++pos_;
      while (IsDigit(At(pos_))) ++pos_;
    }
    if ((At(pos_) == L'e' || At(pos_) == L'E') &&
        (IsDigit(At(pos_ + 1)) || ((At(pos_ + 1) == L'+' || At(pos_ + 1) == L'-') && IsDigit(At(pos_ + 2))))) {
      isFloat = true;
      pos_ += 2;
      while (IsDigit(At(pos_))) ++pos_;
    }
    const size_t end = pos_;
    const Char sc = At(pos_);
    char suffix = 0;
    if (wcschr(L"sSfFdDcC", sc) && sc != 0 && !IdentCharAt(s_, pos_ + 1, false)) {
      suffix = static_cast<char>(sc | 0x20);
      isFloat = true;
      ++pos_;
    }
    if (IdentCharAt(s_, pos_, false) || At(pos_) == L'.') ErrorAt(line_, L"Invalid number");
    std::string text;
    for (size_t i = start; i < end; ++i) text += static_cast<char>(s_[i]);
    if (isFloat) {
      tok_.kind = tkFloatTok;
      tok_.number = text;
      tok_.suffix = suffix;
      return;
    }
    tok_.kind = tkIntegerTok;
    UInt64 v = 0;
    const UInt64 limit = neg ? (UInt64(1) << 63) : (UInt64(1) << 63) - 1;
    for (size_t i = neg ? 1 : 0; i < text.size(); ++i) {
      const unsigned d = static_cast<unsigned>(text[i] - '0');
      if (v > (limit - d) / 10) ErrorAt(line_, L"Integer out of range");
      v = v * 10 + d;
    }
    tok_.value = static_cast<Int64>(neg ? 0 - v : v);
  }

  // Reads the hex digits of a binary value; the current token is its '{'.
  void ScanBinary(std::string& bytes) {
    int high = -1;
    for (;;) {
      if (pos_ >= s_.size()) ErrorAt(line_, L"Invalid binary value");
      const Char c = s_[pos_];
      if (c == L'}') {
        ++pos_;
        break;
      }
      if (c <= L' ' && c != 0) {
        SkipBlanks();
        continue;
      }
      const int h = HexValue(c);
      if (h < 0) ErrorAt(line_, L"Invalid binary value");
      if (high < 0) {
        high = h;
      } else {
        bytes += static_cast<char>(high * 16 + h);
        high = -1;
      }
      ++pos_;
    }
    if (high >= 0) ErrorAt(line_, L"Invalid binary value");
  }

  // ---- Structure

  void WriteIdent(const String& name, size_t maxBytes = 255) {
    const std::string utf8 = EncodeUTF8(name);
    if (utf8.size() > maxBytes) Error(L"Identifier too long");
    out_.ShortString(utf8);
  }

  // A plain (undotted) identifier token.
  String TakeName() {
    if (tok_.kind != tkSymbol || !IsIdent(tok_.text, false)) Error(L"Identifier expected");
    String name = tok_.text;
    Next();
    return name;
  }

  Int64 TakeIndex() {
    Next();  // the '['
    if (tok_.kind != tkIntegerTok) Error(L"Integer expected");
    if (tok_.value < INT_MIN || tok_.value > INT_MAX) Error(L"Integer out of range");
    const Int64 v = tok_.value;
    Next();
    Expect(L']');
    return v;
  }

  void CheckDepth(int depth) {
    if (depth > MaxStreamNesting) Error(L"Nesting too deep");
  }

  void ParseObject(int depth) {
    CheckDepth(depth);
    unsigned flags = 0;
    if (AtWord(L"inherited")) flags |= ffInherited;
    else if (AtWord(L"inline")) flags |= ffInline;
    else if (!AtWord(L"object")) Error(L"'object' expected");
    Next();
    const int headerLine = tok_.line;
    String name = TakeName(), className;
    if (AtChar(L':')) {
      Next();
      className = TakeName();
    } else {
      className = std::move(name);
      name.clear();
    }
    bool hasPos = false;
    Int64 childPos = 0;
    if (AtChar(L'[')) {
      childPos = TakeIndex();
      hasPos = true;
      flags |= ffChildPos;
    }
    if (flags) out_.Byte1(0xF0 | flags);
    if (hasPos) out_.Integer(childPos);
    const std::string cls = EncodeUTF8(className);
    if (cls.size() > kMaxClassNameBytes) ErrorAt(headerLine, L"Identifier too long");
    out_.ShortString(cls);
    const std::string nm = EncodeUTF8(name);
    if (nm.size() > 255) ErrorAt(headerLine, L"Identifier too long");
    out_.ShortString(nm);

    while (tok_.kind == tkSymbol && !IsBlockKeyword(tok_.text)) ParseProperty(depth);
    out_.Byte1(0);
    bool children = false;
    while (AtObjectStart()) {
      ParseObject(depth + 1);
      children = true;
    }
    out_.Byte1(0);
    if (!AtWord(L"end")) {
      if (tok_.kind == tkEnd || children || tok_.kind == tkSymbol) Error(L"'end' expected");
      Error(L"Identifier expected");
    }
    Next();
  }

  void ParseProperty(int depth) {
    WriteIdent(tok_.text);
    Next();
    Expect(L'=');
    ParseValue(depth, false);
  }

  void ParseValue(int depth, bool inList) {
    switch (tok_.kind) {
      case tkIntegerTok:
        out_.Integer(tok_.value);
        Next();
        return;
      case tkFloatTok:
        WriteFloat();
        Next();
        return;
      case tkStringTok:
        ParseString();
        return;
      case tkSymbol:
        if (AtWord(L"False")) out_.Byte1(vaFalse);
        else if (AtWord(L"True")) out_.Byte1(vaTrue);
        else if (AtWord(L"nil")) out_.Byte1(vaNil);
        else if (AtWord(L"Null")) {
          // vaNull ends a list: as an item it would cut the list short.
          if (inList) Error(L"Invalid property value");
          out_.Byte1(vaNull);
        } else {
          out_.Byte1(vaIdent);
          WriteIdent(tok_.text);
        }
        Next();
        return;
      case tkCharTok:
        switch (tok_.ch) {
          case L'(': ParseList(depth); return;
          case L'[': ParseSet(); return;
          case L'{': ParseBinary(); return;
          case L'<': ParseCollection(depth); return;
          default: break;
        }
        break;
      case tkEnd:
        break;
    }
    Error(L"Invalid property value");
  }

  void WriteFloat() {
    Byte b[10];
    const std::string& text = tok_.number;
    bool ok = false;
    if (tok_.suffix == 'c') {
      Int64 v = 0;
      if ((ok = ParseCurrency(text, v))) {
        out_.Byte1(vaCurrency);
        out_.Value(v);
      }
    } else {
      TValueType tag;
      size_t size;
      switch (tok_.suffix) {
        case 's': tag = vaSingle, size = 4, ok = ParseSingle(text, b); break;
        case 'f': tag = vaDouble, size = 8, ok = ParseDouble(text, b); break;
        case 'd': tag = vaDate, size = 8, ok = ParseDouble(text, b); break;
        default: tag = vaExtended, size = 10, ok = ParseExtended(text, b); break;
      }
      if (ok) {
        out_.Byte1(tag);
        out_.Raw(b, size);
      }
    }
    if (!ok) Error(L"Floating-point value out of range");
  }

  void ParseString() {
    String value = std::move(tok_.text);
    Next();
    while (AtChar(L'+')) {
      Next();
      if (tok_.kind != tkStringTok) Error(L"String expected");
      value += tok_.text;
      Next();
    }
    const bool ascii = std::all_of(value.begin(), value.end(), [](Char c) { return c < 0x80; });
    // No more than a reader takes back: a 32-bit length of at most INT_MAX
    // bytes. Only a 64-bit process can hold a longer text.
    if (value.size() > static_cast<size_t>(ascii ? INT_MAX : INT_MAX / 2)) Error(L"String too long");
    if (ascii) {
      std::string bytes(value.begin(), value.end());
      if (bytes.size() <= 255) {
        out_.Byte1(vaString);
        out_.ShortString(bytes);
      } else {
        out_.Byte1(vaLString);
        out_.Value(static_cast<std::uint32_t>(bytes.size()));
        out_.data += bytes;
      }
    } else {
      out_.Byte1(vaWString);
      out_.Value(static_cast<std::uint32_t>(value.size()));
      out_.Raw(value.data(), value.size() * sizeof(Char));
    }
  }

  void ParseList(int depth) {
    CheckDepth(depth + 1);
    out_.Byte1(vaList);
    Next();
    while (!AtChar(L')')) {
      if (tok_.kind == tkEnd || (tok_.kind == tkCharTok && !wcschr(L"([{<", tok_.ch))) Error(L"')' expected");
      ParseValue(depth + 1, true);
    }
    out_.Byte1(vaNull);
    Next();
  }

  void ParseSet() {
    out_.Byte1(vaSet);
    Next();
    if (!AtChar(L']')) {
      for (;;) {
        if (tok_.kind != tkSymbol || !IsIdent(tok_.text, false)) Error(L"Identifier expected");
        WriteIdent(tok_.text);
        Next();
        if (AtChar(L']')) break;
        if (!AtChar(L',')) Error(L"']' expected");
        Next();
      }
    }
    out_.Byte1(0);
    Next();
  }

  void ParseBinary() {
    std::string bytes;
    ScanBinary(bytes);
    if (bytes.size() > static_cast<size_t>(INT_MAX)) Error(L"Invalid binary value");
    out_.Byte1(vaBinary);
    out_.Value(static_cast<std::uint32_t>(bytes.size()));
    out_.data += bytes;
    Next();
  }

  void ParseCollection(int depth) {
    CheckDepth(depth + 1);
    out_.Byte1(vaCollection);
    Next();
    while (!AtChar(L'>')) {
      if (tok_.kind == tkEnd) Error(L"'>' expected");
      if (!AtWord(L"item")) Error(L"'item' expected");
      Next();
      if (AtChar(L'[')) out_.Integer(TakeIndex());
      out_.Byte1(vaList);
      while (tok_.kind == tkSymbol && !IsBlockKeyword(tok_.text)) ParseProperty(depth + 1);
      if (!AtWord(L"end")) Error(L"'end' expected");
      out_.Byte1(0);
      Next();
    }
    out_.Byte1(vaNull);
    Next();
  }
};

String DecodeText(const std::vector<Byte>& bytes) {
  const Byte* p = bytes.data();
  size_t n = bytes.size();
  String text;
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
    if (n % 2 != 0) {
      // Report the line the dangling byte is on.
      size_t lines = 1;
      for (size_t i = 2; i + 1 < n; i += 2)
        if (p[i] == '\n' && p[i + 1] == 0) ++lines;
      throw EParserError(L"Line " + std::to_wstring(lines) + L": Invalid UTF-16 text");
    }
    text.resize((n - 2) / 2);
    if (!text.empty()) std::memcpy(text.data(), p + 2, n - 2);
    return text;
  }
  if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) p += 3, n -= 3;
  size_t bad = 0;
  if (!DecodeUTF8(p, n, text, &bad)) {
    const size_t lines = 1 + static_cast<size_t>(std::count(p, p + bad, static_cast<Byte>('\n')));
    throw EParserError(L"Line " + std::to_wstring(lines) + L": Invalid UTF-8 text");
  }
  return text;
}

// ---------------------------------------------------------------------------
// Binary -> text
// ---------------------------------------------------------------------------

class BinaryConverter {
 public:
  BinaryConverter(const std::vector<Byte>& data, Int64 base) : p_(data.data()), size_(data.size()), base_(base) {}

  String Convert() {
    Need(4);
    if (std::memcmp(p_, FilerSignature, 4) != 0) Invalid(0);
    pos_ = 4;
    WriteObject(1, 0);
    return std::move(out_);
  }
  size_t Consumed() const { return pos_; }

 private:
  const Byte* p_;
  size_t size_;
  size_t pos_ = 0;
  Int64 base_;
  String out_;

  [[noreturn]] void Invalid(size_t at) {
    throw EReadError(L"Invalid stream format at offset " + std::to_wstring(base_ + static_cast<Int64>(at)));
  }
  [[noreturn]] void ReadError(size_t at) {
    throw EReadError(L"Stream read error at offset " + std::to_wstring(base_ + static_cast<Int64>(at)));
  }
  void CheckDepth(int depth, size_t at) {
    if (depth > MaxStreamNesting)
      throw EReadError(L"Stream nesting too deep at offset " + std::to_wstring(base_ + static_cast<Int64>(at)));
  }

  void Need(UInt64 n) {
    if (n > size_ - pos_) ReadError(pos_);
  }
  Byte Peek() {
    Need(1);
    return p_[pos_];
  }
  Byte ReadByte() {
    Need(1);
    return p_[pos_++];
  }
  template <class T>
  T Read() {
    Need(sizeof(T));
    T v;
    std::memcpy(&v, p_ + pos_, sizeof v);
    pos_ += sizeof v;
    return v;
  }
  // A 32-bit length followed by that many units of `unit` bytes.
  size_t ReadLength(size_t unit) {
    const std::uint32_t n = Read<std::uint32_t>();
    Need(static_cast<UInt64>(n) * unit);
    return n;
  }

  // An identifier in a short string; `at` reports where it started.
  String ReadName(bool dotted, bool allowEmpty, size_t maxBytes = 255) {
    const size_t at = pos_;
    const size_t n = ReadByte();
    Need(n);
    String s;
    if (n > maxBytes || !DecodeUTF8(p_ + pos_, n, s)) Invalid(at);
    pos_ += n;
    if (s.empty() ? !allowEmpty : !IsIdent(s, dotted)) Invalid(at);
    return s;
  }

  // A vaInt8/16/32 value (child positions, collection indexes).
  Int64 ReadSmallInteger() {
    const size_t at = pos_;
    switch (ReadByte()) {
      case vaInt8: return Read<std::int8_t>();
      case vaInt16: return Read<std::int16_t>();
      case vaInt32: return Read<std::int32_t>();
      default: Invalid(at);
    }
  }

  void Indent(int indent) { out_.append(static_cast<size_t>(indent), L' '); }
  void NewLine(int indent) {
    out_ += L"\r\n";
    Indent(indent);
  }
  void Ascii(const std::string& s) { out_.append(s.begin(), s.end()); }

  void WriteObject(int depth, int indent) {
    const size_t at = pos_;
    CheckDepth(depth, at);
    unsigned flags = 0;
    Int64 childPos = 0;
    if ((Peek() & 0xF0) == 0xF0) {
      flags = ReadByte() & 0x0F;
      if ((flags & ~7u) != 0 || (flags & (ffInherited | ffInline)) == (ffInherited | ffInline)) Invalid(at);
      if (flags & ffChildPos) childPos = ReadSmallInteger();
    }
    const String className = ReadName(false, false, kMaxClassNameBytes);
    const String name = ReadName(false, true);
    Indent(indent);
    out_ += (flags & ffInherited) ? L"inherited " : (flags & ffInline) ? L"inline " : L"object ";
    if (!name.empty()) out_ += name + L": ";
    out_ += className;
    if (flags & ffChildPos) out_ += L" [" + std::to_wstring(childPos) + L"]";
    out_ += L"\r\n";
    while (Peek() != 0) WriteProperty(depth, indent + 2);
    ++pos_;
    while (Peek() != 0) WriteObject(depth + 1, indent + 2);
    ++pos_;
    Indent(indent);
    out_ += L"end\r\n";
  }

  void WriteProperty(int depth, int indent) {
    const size_t at = pos_;
    const String name = ReadName(true, false);
    if (IsBlockKeyword(name)) Invalid(at);
    Indent(indent);
    out_ += name + L" = ";
    WriteValue(depth, indent, false);
    out_ += L"\r\n";
  }

  void WriteValue(int depth, int indent, bool inList) {
    const size_t at = pos_;
    const Byte tag = ReadByte();
    switch (tag) {
      case vaNull: out_ += L"Null"; return;
      case vaFalse: out_ += L"False"; return;
      case vaTrue: out_ += L"True"; return;
      case vaNil: out_ += L"nil"; return;
      case vaInt8: out_ += std::to_wstring(Read<std::int8_t>()); return;
      case vaInt16: out_ += std::to_wstring(Read<std::int16_t>()); return;
      case vaInt32: out_ += std::to_wstring(Read<std::int32_t>()); return;
      case vaInt64: out_ += std::to_wstring(Read<std::int64_t>()); return;
      case vaExtended: case vaSingle: case vaDouble: case vaDate: case vaCurrency: {
        const size_t n = tag == vaExtended ? 10 : tag == vaSingle ? 4 : 8;
        Need(n);
        std::string text;
        if (!FormatFloat(static_cast<TValueType>(tag), p_ + pos_, text))
          throw EReadError(L"Floating-point value without a text form at offset " +
                           std::to_wstring(base_ + static_cast<Int64>(at)));
        pos_ += n;
        Ascii(text);
        return;
      }
      case vaString: {
        const size_t n = ReadByte();
        Need(n);
        WriteString(DecodeAnsi(p_ + pos_, n), indent);
        pos_ += n;
        return;
      }
      case vaLString: {
        const size_t n = ReadLength(1);
        WriteString(DecodeAnsi(p_ + pos_, n), indent);
        pos_ += n;
        return;
      }
      case vaWString: {
        const size_t n = ReadLength(2);
        String s(n, L'\0');
        if (n) std::memcpy(s.data(), p_ + pos_, n * 2);
        pos_ += n * 2;
        WriteString(s, indent);
        return;
      }
      case vaUTF8String: {
        const size_t n = ReadLength(1);
        String s;
        if (!DecodeUTF8(p_ + pos_, n, s)) Invalid(at);
        pos_ += n;
        WriteString(s, indent);
        return;
      }
      case vaIdent: {
        const String name = ReadName(true, false);
        // The text reader takes Null for vaNull, which cannot be a list item.
        if (inList && SameText(name, L"Null")) Invalid(at);
        out_ += name;
        return;
      }
      case vaBinary: {
        const size_t n = ReadLength(1);
        WriteBinary(p_ + pos_, n, indent);
        pos_ += n;
        return;
      }
      case vaSet: {
        out_ += L"[";
        for (bool first = true;; first = false) {
          if (Peek() == 0) {
            ++pos_;
            break;
          }
          if (!first) out_ += L", ";
          out_ += ReadName(false, false);
        }
        out_ += L"]";
        return;
      }
      case vaList: {
        CheckDepth(depth + 1, at);
        out_ += L"(";
        while (Peek() != vaNull) {
          NewLine(indent + 2);
          WriteValue(depth + 1, indent + 2, true);
        }
        ++pos_;
        out_ += L")";
        return;
      }
      case vaCollection: {
        CheckDepth(depth + 1, at);
        out_ += L"<";
        for (;;) {
          const Byte b = Peek();
          if (b == vaNull) {
            ++pos_;
            break;
          }
          NewLine(indent + 2);
          out_ += L"item";
          if (b != vaList) out_ += L" [" + std::to_wstring(ReadSmallInteger()) + L"]";
          if (ReadByte() != vaList) Invalid(pos_ - 1);
          out_ += L"\r\n";
          while (Peek() != 0) WriteProperty(depth + 1, indent + 4);
          ++pos_;
          Indent(indent + 2);
          out_ += L"end";
        }
        out_ += L">";
        return;
      }
      default:
        Invalid(at);
    }
  }

  void WriteString(const String& s, int indent) {
    if (s.empty()) {
      out_ += L"''";
      return;
    }
    auto printable = [](Char c) { return c >= L' ' && c <= L'~'; };
    int lineLength = 0;
    size_t i = 0;
    while (i < s.size()) {
      if (printable(s[i])) {
        out_ += L'\'';
        while (i < s.size() && printable(s[i]) && lineLength < kStringLineLength) {
          if (s[i] == L'\'') out_ += L'\'', ++lineLength;
          out_ += s[i++];
          ++lineLength;
        }
        out_ += L'\'';
      } else {
        const String code = L"#" + std::to_wstring(static_cast<unsigned>(s[i++]));
        out_ += code;
        lineLength += static_cast<int>(code.size());
      }
      if (i < s.size() && lineLength >= kStringLineLength) {
        out_ += L" +";
        NewLine(indent + 2);
        lineLength = 0;
      }
    }
  }

  void WriteBinary(const Byte* p, size_t n, int indent) {
    static const char digits[] = "0123456789ABCDEF";
    out_ += L"{";
    for (size_t i = 0; i < n; ++i) {
      if (i % kBinaryBytesPerLine == 0) NewLine(indent + 2);
      out_ += static_cast<Char>(digits[p[i] >> 4]);
      out_ += static_cast<Char>(digits[p[i] & 15]);
    }
    out_ += L"}";
  }
};

}  // namespace

void ObjectTextToBinary(TStream* input, TStream* output) {
  const String text = DecodeText(ReadRest(input));
  TextConverter converter(text);
  const std::string binary = converter.Convert();
  WriteToStream(output, binary.data(), binary.size());
}

void ObjectBinaryToText(TStream* input, TStream* output) {
  const Int64 start = input->Position();
  const std::vector<Byte> data = ReadRest(input);
  BinaryConverter converter(data, start);
  const std::string text = EncodeUTF8(converter.Convert());
  // The caller may keep reading after the component.
  input->SetPosition(start + static_cast<Int64>(converter.Consumed()));
  WriteToStream(output, text.data(), text.size());
}
