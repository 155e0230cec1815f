#pragma once

#include <string>

namespace tovimar {

// The texts of numbers inside messages, warnings, tables and reports: a point as the decimal
// separator whatever the process locale, and a number for every finite double, the largest
// and the smallest included. (The files' own number formats are in format/.)
//
// A value that is not finite has no meaning in a message; it shows as "inf", "-inf" or "nan"
// rather than stopping the message that names it.

// At most `digits` significant digits (1 to 17), as short as possible: "5", "1.3", "0.026",
// "2.5e-05", "1e+300". Zero reads "0", never "-0".
std::string ShortNumber(double value, int digits);

// How a value that is not zero but rounds to zero at the decimals asked for reads.
enum class SmallValues {
  AsDigits,  // ShortNumber(value, 2): "1e-60", "0.0004", "-1e-05"; in a message, where a
             // limit of 1e-60 must not read as a limit of zero
  AsZero,    // "0.000" without a sign, as in a table whose column keeps its decimals
};

// Exactly `decimals` decimals (0 to 17): "44.1", "17643", "0.000". A value of 1e15 or more in
// magnitude, whose digits before the point would mean nothing, reads as ShortNumber(value, 6)
// ("1.76432e+68"). A zero never has a sign: "-0.0" reads "0.0".
std::string FixedNumber(double value, int decimals, SmallValues small = SmallValues::AsDigits);

}  // namespace tovimar
