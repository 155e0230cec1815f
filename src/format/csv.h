#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovimar {

// Comma-separated text as RFC 4180 describes it: records end with CR LF, and a field is
// enclosed in double quotes (its quotes doubled) only when it holds a comma, a double
// quote, a CR or an LF.

// Appends `text` as one field.
void AppendCsvField(std::string& out, std::string_view text);

// The shortest text that reads back as exactly `v` (std::to_chars without a format), with a
// point whatever the process locale: "0.1", "45", "1e-05", "-0". A value that is not finite
// has no such text and throws NonFiniteValueError.
std::string ShortestNumberText(double v);

// Appends ShortestNumberText(v) (it never needs quotes).
void AppendCsvNumber(std::string& out, double v);

// The text of a quantity that may be unbounded (the % of LEL of a zone given no exhaust
// air): ShortestNumberText(v), and "inf" for +infinity, as spreadsheets and CSV readers
// take it. NaN and -infinity throw NonFiniteValueError as before.
std::string QuantityText(double v);

// Appends QuantityText(v).
void AppendCsvQuantity(std::string& out, double v);

// Room for the longest shortest text of a double ("-2.2250738585072014e-308", 24).
inline constexpr std::size_t ShortestNumberBufferSize = 32;

// ShortestNumberText(v) written into `buffer`, which must hold ShortestNumberBufferSize
// characters (no terminating NUL); returns the end of the text.
char* ShortestNumberInto(char* buffer, double v);

// Ends the current record.
inline void EndCsvRecord(std::string& out) { out += "\r\n"; }

}  // namespace tovimar
