#pragma once

#include <cmath>
#include <string>

#include "model/errors.h"

namespace tovimar {

namespace arith {

// Each helper performs one operation exactly as written (no reassociation, no fusing) and
// refuses a result that is not a finite number. `what` names the quantity being computed
// (for Ln: the quantity whose logarithm is taken); the message says what went wrong with it.

enum class Fault { DivisionByZero, ZeroByZero, NonPositiveLogarithm, Overflow, Invalid };

[[noreturn]] void Fail(Fault fault, const char* what);

// Message text of a fault, for example "division by zero in the rate of temperature".
std::string Describe(Fault fault, const char* what);

// A value that must be a finite number (the result of an addition or multiplication).
inline double Finite(double value, const char* what) {
  if (!std::isfinite(value)) [[unlikely]] {
    Fail(std::isnan(value) ? Fault::Invalid : Fault::Overflow, what);
  }
  return value;
}

// a / b; a zero divisor is a fault (0/0 included).
inline double Div(double a, double b, const char* what) {
  if (b == 0.0) [[unlikely]] {
    Fail(a == 0.0 ? Fault::ZeroByZero : Fault::DivisionByZero, what);
  }
  return Finite(a / b, what);
}

// Natural logarithm of a positive number.
inline double Ln(double x, const char* what) {
  if (!(x > 0.0)) [[unlikely]] {
    Fail(Fault::NonPositiveLogarithm, what);
  }
  return Finite(std::log(x), what);
}

inline double Exp(double x, const char* what) { return Finite(std::exp(x), what); }

}  // namespace arith
}  // namespace tovimar
