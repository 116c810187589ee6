// Numeric routines of the platform class library.
//
// MulDiv is the system's own (kernel32): a * b / c with a 64-bit intermediate,
// rounded half away from zero, -1 for a zero divisor or a result outside 32
// bits. Round rounds halves to even. Keep the two apart: layout code that the
// rest of the system describes in terms of MulDiv must not use Round.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// EInvalidOp for NaN, infinities and values outside Int64.
Int64 Round(double value);
// Toward zero. EInvalidOp like Round.
Int64 Trunc(double value);
// EInvalidOp when the result does not fit an int.
int Ceil(double value);
int Floor(double value);
// The integer part and the fraction, both with the sign of the value.
double Int(double value);
double Frac(double value);

inline int Min(int a, int b) { return a < b ? a : b; }
inline Int64 Min(Int64 a, Int64 b) { return a < b ? a : b; }
inline double Min(double a, double b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }
inline Int64 Max(Int64 a, Int64 b) { return a > b ? a : b; }
inline double Max(double a, double b) { return a > b ? a : b; }

inline bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }
inline bool InRange(Int64 v, Int64 lo, Int64 hi) { return v >= lo && v <= hi; }
inline bool InRange(double v, double lo, double hi) { return v >= lo && v <= hi; }
inline int EnsureRange(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }
inline Int64 EnsureRange(Int64 v, Int64 lo, Int64 hi) { return v < lo ? lo : v > hi ? hi : v; }
inline double EnsureRange(double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; }

inline int Sign(int v) { return (v > 0) - (v < 0); }
inline int Sign(Int64 v) { return (v > 0) - (v < 0); }
inline int Sign(double v) { return (v > 0) - (v < 0); }

// Rounds to a multiple of 10^digit, halves away from zero (digit -2: cents).
double SimpleRoundTo(double value, int digit = -2);
// Rounds to a multiple of 10^digit, halves to even.
double RoundTo(double value, int digit);

// Tolerance 0 means the platform's default: 1e-12, relative to the smaller
// magnitude for SameValue.
bool IsZero(double value, double epsilon = 0);
bool SameValue(double a, double b, double epsilon = 0);
