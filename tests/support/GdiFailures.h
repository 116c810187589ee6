// Runs a piece of graphics work with one GDI creation after another made to
// fail, to check its out-of-resources paths: every run must either finish or
// raise EOutOfResources, and leave no GDI object behind.
#pragma once

#include "platform/core/Exceptions.h"
#include "platform/gui/GdiAccounting.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <string>

namespace gdifail {

using TLiveCounts = std::array<long, gokCount>;

inline TLiveCounts LiveCounts() {
  TLiveCounts counts{};
  for (int kind = 0; kind < gokCount; ++kind) counts[kind] = GdiAccounting::Live(TGdiObjectKind(kind));
  return counts;
}

inline std::string Describe(const TLiveCounts& counts) {
  static const char* const kNames[gokCount] = {"pens",    "brushes", "fonts", "bitmaps",
                                               "palettes", "regions", "DCs",   "icons",   "metafiles"};
  std::string out;
  for (int kind = 0; kind < gokCount; ++kind)
    out += std::string(kNames[kind]) + " " + std::to_string(counts[kind]) + (kind + 1 < gokCount ? ", " : "");
  return out;
}

// Given to the work: runs its argument with the run's failures planned and
// tells whether it finished (false: it raised EOutOfResources). Any other
// exception fails the test. Setting up and checking happen outside it.
using TArmed = std::function<bool(const std::function<void()>&)>;

// How a run's failures are planned: only the creation at the run's index, or
// that one and every creation after it (so that a fallback fails as well).
enum TFailureMode { fmOne, fmAllFromThere };

// Runs `work` once without failures (warming up what it uses), then once for
// each of its creations in turn, in both modes, until a run reaches no planned
// failure. Returns the number of creations the work makes.
inline int SweepCreationFailures(const char* name, const std::function<void(const TArmed&)>& work) {
  constexpr int kMaxCreations = 400;
  work([](const std::function<void()>& body) {
    body();
    return true;
  });
  int creations = 0;
  for (TFailureMode mode : {fmOne, fmAllFromThere}) {
    for (int index = 0;; ++index) {
      SCOPED_TRACE(std::string(name) + (mode == fmOne ? ", creation " : ", creations from ") +
                   std::to_string(index) + " failing");
      if (index > kMaxCreations) {
        ADD_FAILURE() << "no end of creations";
        return creations;
      }
      const TLiveCounts before = LiveCounts();
      long injected = 0;
      int armedSections = 0;
      const TArmed armed = [&](const std::function<void()>& body) {
        ++armedSections;
        GdiAccounting::FailCreations(index, mode == fmOne ? 1 : LONG_MAX);
        bool finished = false;
        try {
          body();
          finished = true;
        } catch (const EOutOfResources&) {
        } catch (const Exception& e) {
          std::string cls;
          for (const Char* c = e.ClassName(); *c; ++c) cls += static_cast<char>(*c);
          ADD_FAILURE() << cls << " (" << e.what() << ") instead of EOutOfResources";
        } catch (...) {
          ADD_FAILURE() << "an exception that is not the library's";
        }
        injected += GdiAccounting::InjectedFailures();
        GdiAccounting::ResetFailures();
        if (injected == 0) {
          EXPECT_TRUE(finished) << "raised without a failed creation";
        }
        return finished;
      };
      try {
        work(armed);
      } catch (...) {
        GdiAccounting::ResetFailures();
        ADD_FAILURE() << "the set-up or the checks raised";
      }
      EXPECT_EQ(armedSections, 1);
      const TLiveCounts after = LiveCounts();
      EXPECT_EQ(Describe(after), Describe(before)) << "live GDI objects";
      if (injected == 0) {
        creations = index;
        break;
      }
    }
  }
  return creations;
}

// A named piece of work for the sweep.
struct TFailureCase {
  const char* Name;
  std::function<void(const TArmed&)> Work;
};

// Sweeps every case; each must make at least one GDI object.
template <size_t N>
void SweepEachCase(const TFailureCase (&cases)[N]) {
  for (const TFailureCase& c : cases) {
    const int creations = SweepCreationFailures(c.Name, c.Work);
    EXPECT_GT(creations, 0) << c.Name << " makes no GDI object";
  }
}

}  // namespace gdifail
