// Timing shared by the benchmark programs run by hand: a millisecond clock and one
// warm-up followed by timed runs, reported as median and fastest.
#pragma once

#include "platform/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

inline double BenchNow() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / frequency;
}

// One warm-up call, then ARuns timed runs of ACalls calls each (the call gets its number
// within the run); prints the time per call in milliseconds.
inline void BenchMeasure(const char* AName, int ARuns, int ACalls, const std::function<void(int)>& AWork) {
  AWork(0);
  std::vector<double> times;
  for (int i = 0; i < ARuns; ++i) {
    const double start = BenchNow();
    for (int call = 0; call < ACalls; ++call) AWork(call);
    times.push_back((BenchNow() - start) / ACalls);
  }
  std::sort(times.begin(), times.end());
  std::printf("%-58s median %9.4f ms   min %9.4f ms   (%d runs x %d)\n", AName, times[times.size() / 2],
              times.front(), ARuns, ACalls);
  std::fflush(stdout);
}
