#include "study/design.h"

#include <algorithm>
#include <utility>

#include "conditionfile/line_file.h"
#include "input/field_catalogue.h"

namespace tovimar {

std::optional<SettingName> FindSettingName(std::string_view name) {
  SettingName found{std::string(name), {}, std::nullopt};
  if (name == SaveFileNameEntry || name == SaveFileNameField) {
    found.entryName = std::string(SaveFileNameEntry);
    return found;
  }
  if (const ConditionField* field = FindField(name)) {
    found.entryName = field->entryName;
    return found;
  }
  if (const std::optional<MaterialSlot> slot = FindMaterialSlot(name)) {
    found.material = slot;
    return found;
  }
  if (FindLineSetting(name) != nullptr) return found;
  return std::nullopt;
}

namespace {

[[noreturn]] void Refuse(std::size_t record, const std::string& what) {
  throw DesignError("record " + std::to_string(record) + " " + what);
}

}  // namespace

DesignReader::DesignReader(InputSource& source, std::string name, std::size_t maxLength)
    : lines_(source, std::move(name), maxLength) {
  std::vector<std::string> header;
  bool empty = false;
  if (!ReadRecord(header, empty)) throw DesignError("the design has no header record");
  record_ = 1;
  for (const std::string& title : header) {
    std::optional<SettingName> column = FindSettingName(title);
    if (!column) {
      throw DesignError("no entry or field named \"" + title +
                        "\" (tovimar-batch --list-names lists every name)");
    }
    for (const SettingName& earlier : columns_) {
      if (earlier.name == column->name) {
        throw DesignError("the header holds the column \"" + title + "\" twice");
      }
      if (!column->entryName.empty() && earlier.entryName == column->entryName) {
        throw DesignError("the header's columns \"" + earlier.name + "\" and \"" + title +
                          "\" both set " + column->entryName);
      }
    }
    columns_.push_back(std::move(*column));
  }
}

bool DesignReader::ReadRecord(std::vector<std::string>& fields, bool& empty) {
  fields.clear();
  if (!lines_.Next(line_)) return false;
  if (record_ == 0 && lines_.LineNumber() == 1) {
    line_.erase(0, line_.size() - WithoutByteOrderMark(line_).size());
  }
  empty = line_.empty() || line_ == "\r";
  const std::size_t recordNumber = record_ + emptyLines_ + 1;
  std::size_t length = 0;
  std::string field;
  bool quoted = false;
  for (;;) {
    length += line_.size() + 1;
    if (length > lines_.MaxLength() + 1) {
      throw FileError(FileError::Failure::BadContent,
                      lines_.Name() + ": record " + std::to_string(recordNumber) + " is longer than " +
                          SizeText(lines_.MaxLength()),
                      lines_.Name(), "a record longer than " + SizeText(lines_.MaxLength()));
    }
    for (std::size_t i = 0; i < line_.size(); ++i) {
      const char c = line_[i];
      if (quoted) {
        if (c != '"') {
          field += c;
        } else if (i + 1 < line_.size() && line_[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else if (c == '"') {
        quoted = true;
      } else if (c == ',') {
        fields.push_back(std::move(field));
        field.clear();
      } else {
        field += c;
      }
    }
    if (!quoted) break;
    // A quoted field goes on over the line break.
    field += '\n';
    if (!lines_.Next(line_)) Refuse(recordNumber, "ends inside a quoted field");
  }
  if (!field.empty() && field.back() == '\r') field.pop_back();
  fields.push_back(std::move(field));
  return true;
}

bool DesignReader::Next(std::vector<std::string>& fields) {
  if (emptyLines_ == 0 && held_) {
    fields = std::move(*held_);
    held_.reset();
  } else if (emptyLines_ == 0) {
    bool empty = false;
    for (;;) {
      if (!ReadRecord(fields, empty)) {
        emptyLines_ = 0;  // empty lines at the end are no runs
        return false;
      }
      if (!empty) break;
      ++emptyLines_;
    }
    if (emptyLines_ > 0) held_ = std::move(fields);
  }
  if (emptyLines_ > 0) {  // an empty line before a further record is a run of one empty field
    --emptyLines_;
    fields.assign(1, std::string());
  }
  ++record_;
  if (fields.size() != columns_.size()) {
    Refuse(record_, "has " + std::to_string(fields.size()) + " fields, the header " +
                        std::to_string(columns_.size()));
  }
  return true;
}

void ApplyDesignRecord(const std::vector<SettingName>& columns, const std::vector<std::string>& fields,
                       MapEntryTexts& entries, LineSettings& line, const MaterialLibrary* library) {
  const std::size_t count = std::min(columns.size(), fields.size());
  // The materials first, wherever their columns stand: a record's own value of one of their
  // fields then wins, as a later --set does, and every column holds what the record says.
  for (std::size_t i = 0; i < count; ++i) {
    if (!columns[i].material) continue;
    if (library == nullptr) throw MaterialLibraryError("the materials library is not read");
    // The values the library lacks keep theirs, as with --set; a design says nothing of them.
    (void)ApplyMaterial(*library, *columns[i].material, fields[i], entries, line);
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (columns[i].material) continue;
    if (columns[i].entryName.empty()) {
      ApplyLineSetting(line, columns[i].name + "=" + fields[i]);
    } else {
      entries.ForceText(columns[i].entryName, fields[i]);
    }
  }
}

bool NeedsMaterialLibrary(const std::vector<SettingName>& columns) {
  return std::any_of(columns.begin(), columns.end(), [](const SettingName& c) { return c.material.has_value(); });
}

}  // namespace tovimar
