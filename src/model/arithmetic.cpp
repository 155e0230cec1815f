#include "model/arithmetic.h"

namespace tovimar::arith {

std::string Describe(Fault fault, const char* what) {
  switch (fault) {
    case Fault::DivisionByZero:
      return std::string("division by zero in ") + what;
    case Fault::ZeroByZero:
      return std::string("zero divided by zero in ") + what;
    case Fault::NonPositiveLogarithm:
      return std::string("logarithm of a non-positive ") + what;
    case Fault::Overflow:
      return std::string("overflow in ") + what;
    case Fault::Invalid:
      break;
  }
  return std::string("invalid operation in ") + what;
}

void Fail(Fault fault, const char* what) { throw ArithmeticError(Describe(fault, what)); }

}  // namespace tovimar::arith
