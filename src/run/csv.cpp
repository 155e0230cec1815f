#include "run/csv.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include <sys/stat.h>

#include "run/fixed_format.h"

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

namespace {

std::string ErrorText(int error) { return std::generic_category().message(error); }

}  // namespace

void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what) {
  const std::string named = std::string(what) + " \"" + path + "\"";
  if (path.empty()) {
    throw std::runtime_error("Cannot create the " + std::string(what) + ": no file name.");
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    throw std::runtime_error("Cannot create the " + named + ": " + ErrorText(errno) + ".");
  }
  errno = 0;
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  const int flushed = std::fflush(file);
  const int savedErrno = errno;
  struct stat info {};
  const bool regular = ::fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
  const int closed = std::fclose(file);
  if (written != bytes.size() || flushed != 0 || closed != 0) {
    // Half a file would pass for a whole one; a regular file is removed again.
    if (regular) {
      std::remove(path.c_str());
    }
    throw std::runtime_error("Cannot write the " + named + ": " +
                             ErrorText(savedErrno != 0 ? savedErrno : EIO) + ".");
  }
}

}  // namespace tovimar
