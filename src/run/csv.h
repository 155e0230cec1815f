#pragma once

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

// Ends the current record.
inline void EndCsvRecord(std::string& out) { out += "\r\n"; }

// Writes `bytes` to the file at `path`, creating or truncating it. Throws
// std::runtime_error with a message that names the file (and `what` it is, e.g. "profile
// CSV file") when it cannot be written completely; a partly written file is removed.
void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what);

}  // namespace tovimar
