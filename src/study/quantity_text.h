#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovimar {

// Values as the lines written for people show them: a few significant digits and the unit
// (the exact values are in the NAME=VALUE lines and the files).

// The significant digits a value for people gets.
inline constexpr int ReadableDigits = 4;

// The unit shown beside a value of `name`: a condition field ("LineSpeed", "Edit6",
// "ZoneAirTemp[2]"), a line setting ("ZoneExhaustFlow[1]") or an output quantity
// ("LineEndResidualSolvent", "ZoneExhaustLEL"). Temperatures read "°C", an exhaust flow
// "m3/h" (at normal conditions, as the line settings say); a ratio, a weight fraction or a
// name that is none of these has no unit ("").
std::string ReadableUnitOf(std::string_view name);

// ShortNumber(value, digits) and the unit after a space: "4.216 m/s", "25 %", "0.0123";
// "none" without a value, "unbounded" (or "-unbounded") for an infinite one, "not a number".
std::string ReadableQuantity(const std::optional<double>& value, std::string_view unit,
                             int digits = ReadableDigits);

}  // namespace tovimar
