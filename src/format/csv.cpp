#include "format/csv.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "format/fixed_format.h"

namespace tovimar {

void AppendCsvField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char ch : text) {
    if (ch == '"') {
      out += '"';
    }
    out += ch;
  }
  out += '"';
}

std::string ShortestNumberText(double v) {
  if (!std::isfinite(v)) {
    throw NonFiniteValueError("a value that is not a finite number has no text");
  }
  // The longest shortest form of a double is 24 characters ("-2.2250738585072014e-308").
  std::array<char, 32> buffer{};
  const std::to_chars_result result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
  if (result.ec != std::errc()) {
    throw std::logic_error("no room for the text of a number");
  }
  return std::string(buffer.data(), result.ptr);
}

void AppendCsvNumber(std::string& out, double v) { out += ShortestNumberText(v); }

}  // namespace tovimar
