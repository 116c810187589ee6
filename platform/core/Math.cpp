#include "platform/WinApi.h"
#include "platform/core/Math.h"
#include "platform/core/Exceptions.h"

#include <cmath>

namespace {

constexpr double kTwo63 = 9223372036854775808.0;
constexpr double kDoubleResolution = 1e-12;

[[noreturn]] void InvalidOp() { throw EInvalidOp(L"Invalid floating point operation"); }

Int64 ToInt64(double whole) {
  // The range test also rejects NaN.
  if (!(whole >= -kTwo63 && whole < kTwo63)) InvalidOp();
  return static_cast<Int64>(whole);
}

int ToInt(double whole) {
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) InvalidOp();
  return static_cast<int>(whole);
}

// 10^digit, and whether to divide by 10^-digit instead: dividing by 100 gives
// the double nearest to the true quotient, multiplying by 0.01 may not.
double PowerOfTen(int digit) { return std::pow(10.0, digit < 0 ? -digit : digit); }

double Scale(double value, int digit) {
  return digit < 0 ? value * PowerOfTen(digit) : value / PowerOfTen(digit);
}
double Unscale(double value, int digit) {
  return digit < 0 ? value / PowerOfTen(digit) : value * PowerOfTen(digit);
}

}  // namespace

Int64 Round(double value) { return ToInt64(std::nearbyint(value)); }
Int64 Trunc(double value) { return ToInt64(std::trunc(value)); }
int Ceil(double value) { return ToInt(std::ceil(value)); }
int Floor(double value) { return ToInt(std::floor(value)); }
double Int(double value) { return std::trunc(value); }
double Frac(double value) { return value - std::trunc(value); }

double SimpleRoundTo(double value, int digit) {
  const double scaled = Scale(value, digit);
  return Unscale(std::trunc(value < 0 ? scaled - 0.5 : scaled + 0.5), digit);
}

double RoundTo(double value, int digit) { return Unscale(std::nearbyint(Scale(value, digit)), digit); }

bool IsZero(double value, double epsilon) {
  return std::fabs(value) <= (epsilon == 0 ? kDoubleResolution : epsilon);
}

bool SameValue(double a, double b, double epsilon) {
  if (epsilon == 0) epsilon = Max(Min(std::fabs(a), std::fabs(b)) * kDoubleResolution, kDoubleResolution);
  return a > b ? (a - b) <= epsilon : (b - a) <= epsilon;
}
