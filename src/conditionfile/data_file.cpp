#include "conditionfile/data_file.h"

#include <algorithm>
#include <array>
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
// of the value, and further "=" belong to it. The line is taken in parts (the bytes between
// its CRs, or between the ends of the read buffer), each scanned as a whole.
class DataLine {
 public:
  // A value is kept in pieces of this size rather than in one text that doubles as it
  // grows, so that the values of a file take little more memory than their bytes.
  static constexpr std::size_t PieceSize = std::size_t{64} << 10;

  // Bytes beyond MaxDataFileLineLength are counted, not kept: the line is refused.
  void Add(std::string_view part) {
    const std::size_t room = length_ < MaxDataFileLineLength ? MaxDataFileLineLength - length_ : 0;
    length_ += part.size();
    part = part.substr(0, room);
    while (!part.empty()) {
      switch (phase_) {
        case Phase::Label: {
          const std::size_t equals = part.find('=');
          if (equals == std::string_view::npos) return;
          phase_ = Phase::Spaces;
          part.remove_prefix(equals + 1);
          break;
        }
        case Phase::Spaces: {
          const std::size_t first = part.find_first_not_of(' ');
          if (first == std::string_view::npos) return;
          phase_ = Phase::Value;
          part.remove_prefix(first);
          break;
        }
        case Phase::Value: {
          const std::size_t space = part.find(' ');
          Keep(part.substr(0, space));
          if (space == std::string_view::npos) return;
          phase_ = Phase::Rest;
          return;
        }
        case Phase::Rest:
          return;
      }
    }
  }
  [[nodiscard]] bool HasEquals() const { return phase_ != Phase::Label; }
  // The value; a value of one piece is read where it lies, a longer one is joined in `joined`.
  [[nodiscard]] std::string_view Value(std::string& joined) const {
    if (more_.empty()) return first_;
    joined.clear();
    joined.reserve((more_.size()) * PieceSize + more_.back().size());
    joined += first_;
    for (const std::string& piece : more_) joined += piece;
    return joined;
  }
  [[nodiscard]] bool TooLong() const { return length_ > MaxDataFileLineLength; }
  [[nodiscard]] std::size_t Length() const { return length_; }

 private:
  // The first piece is held in place (a short value then takes no memory of its own); the
  // pieces after it each have their full size reserved.
  void Keep(std::string_view text) {
    if (more_.empty() && first_.size() < PieceSize) {
      const std::size_t n = std::min(text.size(), PieceSize - first_.size());
      first_.append(text.substr(0, n));
      text.remove_prefix(n);
    }
    while (!text.empty()) {
      if (more_.empty() || more_.back().size() == PieceSize) {
        more_.emplace_back();
        more_.back().reserve(PieceSize);
      }
      const std::size_t n = std::min(text.size(), PieceSize - more_.back().size());
      more_.back().append(text.substr(0, n));
      text.remove_prefix(n);
    }
  }

  std::size_t length_ = 0;
  enum class Phase { Label, Spaces, Value, Rest };
  Phase phase_ = Phase::Label;
  std::string first_;
  std::vector<std::string> more_;
};

// The first 120 lines of the input. A line ends at LF; a CR is never part of a line (before
// an LF it belongs to the line end, elsewhere it is dropped); a byte 0x1A ends the text.
// Lines the input does not have are empty. Only the values are kept, and reading stops at a
// line longer than MaxDataFileLineLength or once the lines together are longer than
// MaxDataFileLength, whichever byte comes first, so the memory taken stays bounded;
// `allTooLong` is set when the latter stopped it.
std::vector<DataLine> ReadFirstLines(InputSource& source, bool& allTooLong) {
  std::vector<DataLine> lines(DataFileLineCount);
  allTooLong = false;
  std::size_t line = 0;
  std::size_t total = 0;
  // On the stack: a reader called for many small inputs allocates nothing per call.
  std::array<char, 16 * 1024> buffer;
  // Adds a part of the current line (no LF, CR or 0x1A in it); false once reading stops.
  const auto add = [&](std::string_view part) {
    const std::size_t lineRoom = MaxDataFileLineLength - lines[line].Length();
    const std::size_t totalRoom = MaxDataFileLength - total;
    if (part.size() > totalRoom && totalRoom < lineRoom) {
      allTooLong = true;  // the lines in all reach the bound before this line alone does
      return false;
    }
    lines[line].Add(part);
    total += part.size();
    return !lines[line].TooLong();
  };
  while (line < lines.size()) {
    const std::size_t count = source.Read(buffer.data(), buffer.size());
    if (count == 0) {
      break;  // end of the input
    }
    std::string_view chunk(buffer.data(), count);
    const std::size_t eot = chunk.find(EndOfText);
    chunk = chunk.substr(0, eot);
    while (!chunk.empty() && line < lines.size()) {
      const std::size_t lf = chunk.find('\n');
      std::string_view rest = chunk.substr(0, lf);
      while (!rest.empty()) {
        const std::size_t cr = rest.find('\r');
        if (!add(rest.substr(0, cr))) {
          return lines;
        }
        rest.remove_prefix(cr == std::string_view::npos ? rest.size() : cr + 1);
      }
      if (lf == std::string_view::npos) {
        break;
      }
      ++line;
      chunk.remove_prefix(lf + 1);
    }
    if (eot != std::string_view::npos) {
      return lines;
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
    const auto number = [&] { return std::to_string(&line - lines.data() + 1); };
    if (line.TooLong()) refuse("line " + number() + " is longer than " + SizeText(MaxDataFileLineLength));
    if (!line.HasEquals()) refuse("line " + number() + " holds no \"=\"");
  }
  const std::vector<ConditionField>& fields = ConditionFields();
  std::vector<KeptEntry> kept;
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view value = lines[i].Value(joined);
    if (entries.IsEnabled(fields[i].entryName)) {
      entries.SetText(fields[i].entryName, value);
    } else {
      kept.push_back({fields[i].entryName, std::string(value)});
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
  // Room for the labels and short values; long values grow it as they come.
  out.reserve(ConditionFields().size() * 64);
  for (const ConditionField& field : ConditionFields()) {
    const std::string text = entries.Text(field.entryName);
    if (const std::optional<std::string> reason = UnsavableReason(text)) {
      throw InputError("The text \"" + text + "\" of " + field.entryName + " (" +
                                  field.fieldName + ") cannot be saved in a data file: " +
                           *reason + ".",
                       field.entryName);
    }
    AppendValueText(out, field, text);
    out += "\r\n";
  }
  return out;
}

void WriteDataFile(const std::string& path, const EntryTexts& entries) {
  // Formatted first, so that texts a data file cannot hold leave any existing file alone.
  WriteTextFile(path, FormatDataFile(entries), "data file");
}

}  // namespace tovimar
