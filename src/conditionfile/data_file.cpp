#include "conditionfile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "conditionfile/condition_section.h"
#include "format/file_writer.h"
#include "input/field_catalogue.h"

namespace tovimar {

namespace {

constexpr char EndOfText = '\x1A';

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// What a line of a data file yields: whether it holds "=", and its value text, the first
// run of non-space characters after the first "=". Only the space separates; a tab is part
// of the value, and further "=" belong to it.
class DataLine {
 public:
  void Add(char ch) {
    if (++length_ > MaxDataFileLineLength) {
      return;  // the line is refused; nothing more of it is kept
    }
    switch (phase_) {
      case Phase::Label:
        if (ch == '=') {
          phase_ = Phase::Spaces;
        }
        break;
      case Phase::Spaces:
        if (ch == ' ') {
          break;
        }
        phase_ = Phase::Value;
        [[fallthrough]];
      case Phase::Value:
        if (ch == ' ') {
          phase_ = Phase::Rest;
        } else {
          value_.push_back(ch);
        }
        break;
      case Phase::Rest:
        break;
    }
  }
  [[nodiscard]] bool HasEquals() const { return phase_ != Phase::Label; }
  [[nodiscard]] const std::string& Value() const { return value_; }
  [[nodiscard]] bool TooLong() const { return length_ > MaxDataFileLineLength; }

 private:
  std::size_t length_ = 0;
  enum class Phase { Label, Spaces, Value, Rest };
  Phase phase_ = Phase::Label;
  std::string value_;
};

// Opens `path` for reading: a regular file, or a pipe. Anything else (a directory, a device
// such as /dev/zero that never ends) cannot be a data file. O_NONBLOCK keeps the open of a
// named pipe that nobody writes to from waiting for ever; it is cleared again afterwards, so
// reads wait for a writer that is there and see the end of the file when there is none.
FilePtr OpenForReading(const std::string& path) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  const int status = ::fstat(fd, &info) == 0 ? ::fcntl(fd, F_GETFL) : -1;
  if (status < 0 || !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode)) ||
      ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
    const int error = status >= 0 && S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  FilePtr file(::fdopen(fd, "rb"));
  if (!file) {
    ::close(fd);
  }
  return file;
}

// The first 120 lines of the file. A line ends at LF; a CR is never part of a line (before
// an LF it belongs to the line end, elsewhere it is dropped); a byte 0x1A ends the text.
// Lines the file does not have are empty. Lines may be of any length: only their values
// are kept, and reading stops at a line longer than MaxDataFileLineLength, so the memory
// taken stays bounded. Nothing when the file cannot be opened or read.
std::optional<std::vector<DataLine>> ReadFirstLines(const std::string& path) {
  FilePtr file = OpenForReading(path);
  if (!file) {
    return std::nullopt;
  }
  std::vector<DataLine> lines(DataFileLineCount);
  std::size_t line = 0;
  std::vector<char> buffer(64 * 1024);
  while (line < lines.size()) {
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file.get());
    for (std::size_t i = 0; i < count && line < lines.size(); ++i) {
      const char ch = buffer[i];
      if (ch == EndOfText) {
        return lines;
      }
      if (ch == '\n') {
        ++line;
      } else if (ch != '\r') {
        lines[line].Add(ch);
        if (lines[line].TooLong()) {
          return lines;
        }
      }
    }
    if (count < buffer.size()) {
      if (std::ferror(file.get()) != 0) {
        return std::nullopt;
      }
      break;  // end of file
    }
  }
  return lines;
}

// Why a text cannot stand as a value in a data file and load back unchanged, or nothing.
std::optional<std::string> UnsavableReason(std::string_view text) {
  if (text.find(' ') != std::string_view::npos) {
    return "a value ends at its first space";
  }
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    return "a value cannot span lines";
  }
  if (text.find(EndOfText) != std::string_view::npos) {
    return "the byte 0x1A ends a data file";
  }
  return std::nullopt;
}

}  // namespace

void LoadDataFile(const std::string& fullPath, EntryTexts& entries) {
  errno = 0;
  const std::optional<std::vector<DataLine>> lines = ReadFirstLines(fullPath);
  if (!lines) {
    const int error = errno;
    throw FileError(FileError::Failure::CannotOpen, std::string(DataFileCanNotOpenMessage),
                    fullPath, error != 0 ? std::generic_category().message(error) : "");
  }
  // Every line is checked before any entry changes.
  for (const DataLine& line : *lines) {
    const std::string number = std::to_string(&line - lines->data() + 1);
    if (line.TooLong() || !line.HasEquals()) {
      throw FileError(FileError::Failure::BadContent,
                      "\"" + fullPath + "\" is not a correct data file!", fullPath,
                      line.TooLong() ? "line " + number + " is longer than 16 MiB"
                                     : "line " + number + " holds no \"=\"");
    }
  }
  const std::vector<ConditionField>& fields = ConditionFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (entries.IsEnabled(fields[i].entryName)) {
      entries.SetText(fields[i].entryName, (*lines)[i].Value());
    }
  }
}

std::string FormatDataFile(const EntryTexts& entries) {
  std::string out;
  for (const ConditionField& field : ConditionFields()) {
    const std::string text = entries.Text(field.entryName);
    if (const std::optional<std::string> reason = UnsavableReason(text)) {
      throw InputError("The text \"" + text + "\" of " + field.entryName + " (" +
                                  field.fieldName + ") cannot be saved in a data file: " +
                           *reason + ".",
                       field.entryName);
    }
    out += FormatValueLine(field, text);
    out += "\r\n";
  }
  return out;
}

void WriteDataFile(const std::string& path, const EntryTexts& entries) {
  // Formatted first, so that texts a data file cannot hold leave any existing file alone.
  WriteTextFile(path, FormatDataFile(entries), "data file");
}

}  // namespace tovimar
