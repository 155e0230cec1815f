// The measured-data reader over arbitrary bytes as the CSV file (quotes left open, blank and
// very long lines, byte-order marks, numbers out of range).
//
// Invariants: the reader returns measurements or refuses with InputError or FileError,
// nothing else; what it accepts has a header of distinct quantities and at least one
// measurement, each of a header quantity, from a line after the header, with a finite
// value at a finite position not below 0; and a file without CRs reads the same with CR LF
// line ends (the same measurements, or the same refusal).

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "conditionfile/measured_data.h"
#include "format/file_writer.h"
#include "fuzz_support.h"
#include "model/errors.h"

namespace {

using tovimar::fuzz::Quote;

// The measurements, or the message of the refusal.
std::variant<tovimar::MeasuredData, std::string> Read(std::string_view text, const std::string& where) {
  try {
    return tovimar::ParseMeasuredData(text, "measured.csv");
  } catch (const tovimar::InputError& e) {
    return std::string(e.what());
  } catch (const tovimar::FileError& e) {
    return std::string(e.what());
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where + ": refused with another error: " + e.what());
  }
  return std::string();
}

bool Same(const tovimar::MeasuredData& a, const tovimar::MeasuredData& b) {
  if (a.columns != b.columns || a.values.size() != b.values.size()) return false;
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    const tovimar::Measurement& x = a.values[i];
    const tovimar::Measurement& y = b.values[i];
    if (x.position != y.position || x.quantity != y.quantity || x.value != y.value || x.line != y.line) {
      return false;
    }
  }
  return true;
}

void CheckAccepted(const tovimar::MeasuredData& data, std::string_view text, const std::string& where) {
  TOVIMAR_FUZZ_CHECK(!data.columns.empty() && !data.values.empty(), where + ": nothing measured");
  for (std::size_t i = 0; i < data.columns.size(); ++i) {
    for (std::size_t j = i + 1; j < data.columns.size(); ++j) {
      TOVIMAR_FUZZ_CHECK(data.columns[i] != data.columns[j], where + ": a quantity twice in the header");
    }
  }
  TOVIMAR_FUZZ_CHECK(data.values.size() <= tovimar::MaxMeasurements, where + ": too many measurements");
  std::size_t lines = 1;
  for (const char ch : text) lines += ch == '\n' ? 1 : 0;
  std::size_t lastLine = 0;
  for (const tovimar::Measurement& m : data.values) {
    const std::string at = where + ": line " + std::to_string(m.line);
    TOVIMAR_FUZZ_CHECK(std::isfinite(m.position) && m.position >= 0, at + ": a bad position");
    TOVIMAR_FUZZ_CHECK(std::isfinite(m.value), at + ": a value that is not finite");
    TOVIMAR_FUZZ_CHECK(m.line >= 2 && m.line <= lines && m.line >= lastLine, at + ": out of order");
    lastLine = m.line;
    bool inHeader = false;
    for (const tovimar::MeasuredQuantity q : data.columns) inHeader = inHeader || q == m.quantity;
    TOVIMAR_FUZZ_CHECK(inHeader, at + ": a quantity the header does not name");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string where = "measurements " + Quote(text);
  const auto read = Read(text, where);
  if (const auto* accepted = std::get_if<tovimar::MeasuredData>(&read)) {
    CheckAccepted(*accepted, text, where);
  }
  if (text.find('\r') != std::string_view::npos) return 0;

  std::string crlf;
  crlf.reserve(text.size() + text.size() / 8);
  for (const char ch : text) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  const auto again = Read(crlf, where);
  TOVIMAR_FUZZ_CHECK(read.index() == again.index(), where + ": CR LF line ends change the outcome");
  if (const auto* accepted = std::get_if<tovimar::MeasuredData>(&read)) {
    TOVIMAR_FUZZ_CHECK(Same(*accepted, std::get<tovimar::MeasuredData>(again)),
                       where + ": CR LF line ends change the measurements");
  } else {
    TOVIMAR_FUZZ_CHECK(std::get<std::string>(read) == std::get<std::string>(again),
                       where + ": CR LF line ends change the refusal: " + std::get<std::string>(again));
  }
  return 0;
}
