// Damaged input for both converters: every mutant of a valid stream or text
// either converts or raises one of the library's exceptions (no crash, hang
// or foreign exception), and whatever converts reads back to the same thing.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct StreamDeleter {
  void operator()(TObject* p) const { TObject::Free(p); }
};
using MemoryStreamPtr = std::unique_ptr<TMemoryStream, StreamDeleter>;

MemoryStreamPtr StreamOf(const std::string& bytes) {
  MemoryStreamPtr s(Make<TMemoryStream>());
  if (!bytes.empty()) s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  s->SetPosition(0);
  return s;
}

// Converts; false when the converter raised an Exception.
bool Convert(bool toBinary, const std::string& in, std::string& out) {
  MemoryStreamPtr src = StreamOf(in), dst(Make<TMemoryStream>());
  try {
    if (toBinary)
      ObjectTextToBinary(src.get(), dst.get());
    else
      ObjectBinaryToText(src.get(), dst.get());
  } catch (const Exception&) {
    return false;
  }
  out.assign(static_cast<const char*>(dst->Memory()), static_cast<size_t>(dst->Size()));
  return true;
}

// Texts that cover every value kind and header form.
const char* const kSeedTexts[] = {
    "object Form5: TForm5\r\n"
    "  Left = -11\r\n"
    "  Caption = #23706#27901'abc'#39 +\r\n"
    "    'def'\r\n"
    "  Font.Style = [fsBold, fsItalic]\r\n"
    "  Big = 9223372036854775807\r\n"
    "  Ratio = 1.5\r\n"
    "  S = 0.1s\r\n"
    "  D = 0.1f\r\n"
    "  T = 45000.5d\r\n"
    "  C = 12.5c\r\n"
    "  Data = {\r\n"
    "    0A544A504547496D616765}\r\n"
    "  Items.Strings = (\r\n"
    "    'first'\r\n"
    "    (\r\n"
    "      1\r\n"
    "      nil))\r\n"
    "  Links = <\r\n"
    "    item\r\n"
    "      Name = 'a'\r\n"
    "      Sub = <>\r\n"
    "    end\r\n"
    "    item [3]\r\n"
    "    end>\r\n"
    "  Flags = (\r\n"
    "    True\r\n"
    "    False)\r\n"
    "  Ref = SmallImages.Item\r\n"
    "  Empty = ()\r\n"
    "  NullValue = Null\r\n"
    "  object Child: TChild [2]\r\n"
    "    OnClick = btnExitClick\r\n"
    "  end\r\n"
    "  inherited Base: TBase\r\n"
    "    inline Frame1: TFrame1\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n",
    "object TUnnamed\r\n  X = $7F\r\nend\r\n",
};

std::string Mutate(std::string s, std::mt19937& rng, const std::string& alphabet) {
  std::uniform_int_distribution<int> pick(0, 5);
  const int edits = 1 + static_cast<int>(rng() % 3);
  for (int e = 0; e < edits && !s.empty(); ++e) {
    const size_t at = rng() % s.size();
    switch (pick(rng)) {
      case 0: s[at] = alphabet[rng() % alphabet.size()]; break;
      case 1: s.insert(at, 1, alphabet[rng() % alphabet.size()]); break;
      case 2: s.erase(at, 1 + rng() % 4); break;
      case 3: s.resize(at); break;
      case 4: s[at] = static_cast<char>(s[at] ^ (1 << (rng() % 8))); break;
      case 5: {
        const size_t len = 1 + rng() % 16;
        s.insert(rng() % s.size(), s.substr(at, len));
        break;
      }
    }
  }
  return s;
}

// Fixed, with the fixed seeds: every run converts the same mutants.
constexpr int kMutants = 20000;

TEST(ObjectTextMutation, DamagedBinaryConvertsOrRaises) {
  std::vector<std::string> seeds;
  for (const char* text : kSeedTexts) {
    std::string bin;
    ASSERT_TRUE(Convert(true, text, bin)) << text;
    seeds.push_back(bin);
  }
  // Byte values that are tags, lengths and prefixes.
  std::string alphabet;
  for (int b = 0; b <= 0x16; ++b) alphabet += static_cast<char>(b);
  alphabet += "\xF0\xF1\xF2\xF4\xFF\x7F\x80";

  std::mt19937 rng(20240611);
  int converted = 0;
  for (int i = 0; i < kMutants; ++i) {
    const std::string mutant = Mutate(seeds[i % seeds.size()], rng, alphabet);
    std::string text, again, text2;
    if (!Convert(false, mutant, text)) continue;
    ++converted;
    // What was written as text reads back, and writes the same text again.
    ASSERT_TRUE(Convert(true, text, again)) << text;
    ASSERT_TRUE(Convert(false, again, text2));
    ASSERT_EQ(text2, text);
  }
  EXPECT_GT(converted, 0);
  EXPECT_LT(converted, kMutants) << "some mutants must be refused";
}

TEST(ObjectTextMutation, DamagedTextConvertsOrRaises) {
  std::vector<std::string> seeds(std::begin(kSeedTexts), std::end(kSeedTexts));
  const std::string alphabet =
      "'#$()[]{}<>+-.=:, \r\n\t0123456789eEsScCdDfFxX_Aaz\xE5\xB2\x9A\xFF";

  std::mt19937 rng(20240612);
  int converted = 0;
  for (int i = 0; i < kMutants; ++i) {
    const std::string mutant = Mutate(seeds[i % seeds.size()], rng, alphabet);
    std::string bin, text, bin2;
    if (!Convert(true, mutant, bin)) continue;
    ++converted;
    // The text reader writes only streams the binary reader takes back
    // byte for byte.
    ASSERT_TRUE(Convert(false, bin, text)) << mutant;
    ASSERT_TRUE(Convert(true, text, bin2)) << text;
    ASSERT_EQ(bin2, bin) << mutant;
  }
  EXPECT_GT(converted, 0);
  EXPECT_LT(converted, kMutants) << "some mutants must be refused";
}

}  // namespace
