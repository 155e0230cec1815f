#include "conditionfile/data_file.h"

#include <optional>
#include <vector>

#include "conditionfile/condition_section.h"
#include "conditionfile/input_file.h"
#include "format/file_writer.h"
#include "input/field_catalogue.h"

namespace tovimar {

namespace {

constexpr char EndOfText = '\x1A';

// What a line of a data file yields: whether it holds "=", and its value text, the first
// run of non-space characters after the first "=". Only the space separates; a tab is part
// of the value, and further "=" belong to it.
class DataLine {
 public:
  // A value is kept in pieces of this size rather than in one text that doubles as it
  // grows, so that the values of a file take little more memory than their bytes.
  static constexpr std::size_t PieceSize = std::size_t{64} << 10;

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
          if (pieces_.empty() || pieces_.back().size() == PieceSize) {
            pieces_.emplace_back();
            if (pieces_.size() > 1) pieces_.back().reserve(PieceSize);
          }
          pieces_.back().push_back(ch);
        }
        break;
      case Phase::Rest:
        break;
    }
  }
  [[nodiscard]] bool HasEquals() const { return phase_ != Phase::Label; }
  [[nodiscard]] std::string Value() const {
    std::string value;
    value.reserve(pieces_.empty() ? 0 : (pieces_.size() - 1) * PieceSize + pieces_.back().size());
    for (const std::string& piece : pieces_) value += piece;
    return value;
  }
  [[nodiscard]] bool TooLong() const { return length_ > MaxDataFileLineLength; }

 private:
  std::size_t length_ = 0;
  enum class Phase { Label, Spaces, Value, Rest };
  Phase phase_ = Phase::Label;
  std::vector<std::string> pieces_;
};

// The first 120 lines of the input. A line ends at LF; a CR is never part of a line (before
// an LF it belongs to the line end, elsewhere it is dropped); a byte 0x1A ends the text.
// Lines the input does not have are empty. Only the values are kept, and reading stops at a
// line longer than MaxDataFileLineLength or once the lines together are longer than
// MaxDataFileLength, so the memory taken stays bounded; `allTooLong` is set when the
// latter stopped it.
std::vector<DataLine> ReadFirstLines(InputSource& source, bool& allTooLong) {
  std::vector<DataLine> lines(DataFileLineCount);
  allTooLong = false;
  std::size_t line = 0;
  std::size_t total = 0;
  std::vector<char> buffer(64 * 1024);
  while (line < lines.size()) {
    const std::size_t count = source.Read(buffer.data(), buffer.size());
    if (count == 0) {
      break;  // end of the input
    }
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
        if (++total > MaxDataFileLength) {
          allTooLong = true;
          return lines;
        }
      }
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

std::vector<KeptEntry> LoadDataFile(InputSource& source, const std::string& fullPath, EntryTexts& entries) {
  bool allTooLong = false;
  std::vector<DataLine> lines;
  try {
    lines = ReadFirstLines(source, allTooLong);
  } catch (const FileError& e) {  // the window's message; the batch tool adds path and reason
    throw FileError(FileError::Failure::CannotOpen, std::string(DataFileCanNotOpenMessage), fullPath,
                    e.reason());
  }
  const auto refuse = [&](const std::string& reason) {
    throw FileError(FileError::Failure::BadContent,
                    "\"" + fullPath + "\" is not a correct data file!", fullPath, reason);
  };
  if (allTooLong) {
    refuse("its first " + std::to_string(DataFileLineCount) + " lines are longer than " +
           SizeText(MaxDataFileLength) + " in all");
  }
  // Every line is checked before any entry changes.
  for (const DataLine& line : lines) {
    const std::string number = std::to_string(&line - lines.data() + 1);
    if (line.TooLong()) refuse("line " + number + " is longer than " + SizeText(MaxDataFileLineLength));
    if (!line.HasEquals()) refuse("line " + number + " holds no \"=\"");
  }
  const std::vector<ConditionField>& fields = ConditionFields();
  std::vector<KeptEntry> kept;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (entries.IsEnabled(fields[i].entryName)) {
      entries.SetText(fields[i].entryName, lines[i].Value());
    } else {
      kept.push_back({fields[i].entryName, lines[i].Value()});
    }
  }
  return kept;
}

std::vector<KeptEntry> LoadDataFile(const std::string& fullPath, EntryTexts& entries) {
  std::optional<FileSource> file;
  try {
    file.emplace(fullPath, "data file");
  } catch (const FileError& e) {
    throw FileError(FileError::Failure::CannotOpen, std::string(DataFileCanNotOpenMessage), fullPath,
                    e.reason());
  }
  return LoadDataFile(*file, fullPath, entries);
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
