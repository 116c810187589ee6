// Damaged component streams: valid streams with bytes flipped, inserted,
// deleted or cut off must read or fail with a library exception, never crash,
// hang or leave components behind.
#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

// The test hierarchy of FilerTests.cpp.
namespace filertest {
std::vector<std::vector<Byte>> SampleStreams();
int LiveComponents();
void RegisterTestClasses();
}  // namespace filertest

namespace {

using Bytes = std::vector<Byte>;

void Mutate(Bytes& data, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < edits && !data.empty(); ++i) {
    const size_t at = rng() % data.size();
    switch (rng() % 6) {
      case 0:
        data[at] ^= static_cast<Byte>(1u << (rng() % 8));
        break;
      case 1:
        data[at] = static_cast<Byte>(rng());
        break;
      case 2:
        // Small values are lengths, counts and value tags: the interesting ones.
        data[at] = static_cast<Byte>(rng() % 24);
        break;
      case 3:
        data.insert(data.begin() + at, static_cast<Byte>(rng()));
        break;
      case 4:
        data.erase(data.begin() + at);
        break;
      default:
        data.resize(at);
        break;
    }
  }
}

// Fixed, with the fixed seed: every run reads the same streams.
constexpr int kDamagedReads = 20000;

}  // namespace

TEST(FilerMutation, DamagedStreamsReadOrFailCleanly) {
  filertest::RegisterTestClasses();
  const std::vector<Bytes> samples = filertest::SampleStreams();
  const TClass rootClass = FindClass(L"TTestRoot");
  const int baseline = filertest::LiveComponents();
  std::mt19937 rng(20240611);
  int reads = 0, succeeded = 0;
  while (reads < kDamagedReads) {
    Bytes data = samples[rng() % samples.size()];
    Mutate(data, rng);
    // Half of the reads go into a root that exists before and must survive.
    TComponent* existing = reads % 2 ? static_cast<TComponent*>(rootClass->NewInstance(nullptr)) : nullptr;
    ++reads;
    try {
      TBytesStream stream(data);
      TComponent* result = ReadComponentFromStream(&stream, existing);
      ++succeeded;
      if (!existing) TObject::Free(result);
    } catch (Exception&) {
      if (existing) {
        EXPECT_EQ(existing->ComponentCount(), 0) << "read " << reads;
      }
    }
    TObject::Free(existing);
    ASSERT_EQ(filertest::LiveComponents(), baseline) << "read " << reads << " left components behind";
  }
  GlobalFixupReferences();
  // The damage leaves some streams readable and breaks others: both paths ran.
  EXPECT_GT(succeeded, 0);
  EXPECT_LT(succeeded, reads);
  RecordProperty("reads", reads);
  RecordProperty("succeeded", succeeded);
  std::printf("%d damaged streams read, %d without error\n", reads, succeeded);
}
