#pragma once

#include <string>
#include <vector>

namespace tovimar {

// The text a computed value gets when it is written into an entry for a person to read and
// keep ("Use these settings", "Use fitted values", the best point's data file): the shortest
// decimal within a relative EntryNumberTolerance of `v`, so that a search's 119.99999999999999
// reads "120" and 0.10000000000000001 reads "0.1". The digits are written as
// ShortestNumberText writes them ("120", "0.0035", "1e+300"); zero reads "0", never "-0". A
// value that is not finite has no such text and throws NonFiniteValueError.
std::string EntryNumberText(double v);

// How far (relative to the value) the text of EntryNumberText may lie from it.
inline constexpr double EntryNumberTolerance = 1e-9;

// The decimals of `digits` significant digits (1 to 17) within EntryNumberTolerance of `v`,
// each as the double nearest it: the nearest decimal first, then those a unit of the last
// digit below and above it. Empty when none lies within; one value when `v` is that decimal.
// (A value on the edge of a limit may need the one on its inner side.)
std::vector<double> EntryNumberChoices(double v, int digits);

}  // namespace tovimar
