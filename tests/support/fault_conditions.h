#pragma once

// Entry texts that make a run meet each arithmetic fault of the model, with the message the
// run ends with. Shared by the run-sequence and the batch-tool fault tests.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tovimar::test_support {

struct ArithmeticFaultCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> texts;  // entry name, text
  std::string message;                                      // the outcome's whole message
  int zonesWritten = 0;   // tables in the file when the run ends (-1: the file is not touched)
};

// For test names and failure output: the case's name.
inline void PrintTo(const ArithmeticFaultCase& c, std::ostream* os) { *os << c.name; }

std::vector<ArithmeticFaultCase> ArithmeticFaultCases();

// Initial Temperature and Chi1p texts that make the partial pressure of solvent-1 exactly
// 760 mmHg at the first step: found by bisection over Chi1p with the model's own relations,
// for one of a few temperatures just below solvent-1's boiling point under the defaults.
// Empty when none was found.
std::vector<std::pair<std::string, std::string>> PartialPressure760Texts();

// Sets or clears the immutable attribute of a file, which stops every writer, root
// included. False when the file system or the process cannot set it.
bool SetImmutable(const std::string& path, bool on);

}  // namespace tovimar::test_support
