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

char* ShortestNumberInto(char* buffer, double v) {
  if (!std::isfinite(v)) [[unlikely]] {
    throw NonFiniteValueError("a value that is not a finite number has no text");
  }
  // Whole numbers from 0 to 9999 (zones, steps) are just their digits, never longer than an
  // exponent form; the integer conversion gives them several times faster.
  if (v >= 0 && v < 10000 && !std::signbit(v)) {
    const int whole = static_cast<int>(v);
    if (whole == v) {
      return std::to_chars(buffer, buffer + ShortestNumberBufferSize, whole).ptr;
    }
  }
  const std::to_chars_result result = std::to_chars(buffer, buffer + ShortestNumberBufferSize, v);
  if (result.ec != std::errc()) [[unlikely]] {
    throw std::logic_error("no room for the text of a number");
  }
  return result.ptr;
}

std::string ShortestNumberText(double v) {
  std::array<char, ShortestNumberBufferSize> buffer;
  return std::string(buffer.data(), ShortestNumberInto(buffer.data(), v));
}

void AppendCsvNumber(std::string& out, double v) {
  std::array<char, ShortestNumberBufferSize> buffer;
  out.append(buffer.data(), ShortestNumberInto(buffer.data(), v));
}

std::string QuantityText(double v) {
  return std::isinf(v) && v > 0 ? std::string("inf") : ShortestNumberText(v);
}

void AppendCsvQuantity(std::string& out, double v) { out += QuantityText(v); }

}  // namespace tovimar
