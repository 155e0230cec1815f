#pragma once

// A design: a CSV whose header names settings (as `--set NAME=TEXT` takes them) and whose
// every further record is one run, its fields the texts those settings get.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conditionfile/input_file.h"
#include "conditionfile/material_choice.h"
#include "input/entry_texts.h"
#include "model/errors.h"
#include "input/line_settings.h"

namespace tovimar {

// A name a setting goes by and what it sets.
struct SettingName {
  std::string name;       // as given: "LineSpeed", "Edit8", "ResultFileName", "LEL1"
  std::string entryName;  // the entry it sets ("Edit6", "Edit250"); empty for a line setting
                          // and a material
  std::optional<MaterialSlot> material;  // "Solvent1", "Solvent2", "Polymer": a material's key
};

// What `name` sets: an entry name ("Edit6"), a condition field's name ("LineSpeed",
// "ZoneAirTemp[3]"), the Save File Name ("Edit250", "ResultFileName") or a line setting
// ("LEL1", "ZoneExhaustFlow[2]") or a material of the library (Solvent1, Solvent2, Polymer);
// nothing for any other name.
std::optional<SettingName> FindSettingName(std::string_view name);

// A design that cannot be run as it stands: its header or a record. The message names the
// record (the header is record 1).
class DesignError : public UserError {
 public:
  explicit DesignError(const std::string& message) : UserError(ErrorKind::Input, message) {}
};

// Reads a design record by record, so that a design of any size takes the memory of one
// record. A record ends at LF or CR LF; a quoted field may hold commas, doubled quotes and
// line breaks (RFC 4180). A UTF-8 byte-order mark before the header is skipped. Empty lines
// at the end of the design are not runs (an empty line before a further record is one, with
// one empty field).
class DesignReader {
 public:
  // Reads the header; `name` names the design in messages, and no record may be longer
  // than `maxLength`. Throws DesignError for a design without a header, a name
  // FindSettingName does not know, and two columns that set the same thing; FileError as
  // LineReader.
  DesignReader(InputSource& source, std::string name, std::size_t maxLength = MaxInputLineLength);

  [[nodiscard]] const std::vector<SettingName>& Columns() const { return columns_; }

  // The next run's fields, one per column; false at the end of the design. Throws
  // DesignError for a record with more or fewer fields than the header or a quoted field
  // left open at the end; FileError (BadContent) for a record longer than
  // MaxInputLineLength, and as the source when it cannot be read.
  bool Next(std::vector<std::string>& fields);

  // The number of the record last returned (the header is 1).
  [[nodiscard]] std::size_t RecordNumber() const { return record_; }

 private:
  // One record as read; false at the end of the input. `empty` tells an empty line.
  bool ReadRecord(std::vector<std::string>& fields, bool& empty);

  LineReader lines_;
  std::vector<SettingName> columns_;
  std::size_t record_ = 0;
  std::size_t emptyLines_ = 0;  // empty lines read and not yet given out
  std::optional<std::vector<std::string>> held_;  // the record read after them
  std::string line_;
};

// Gives each column's setting the record's text: first each material column the material of
// that key, which sets what `--set Solvent1=KEY` sets (ApplyMaterial; throws as it does), then
// the other columns, column by column, the entry's text or the line setting (which throws
// LineFileError for a value the line file would refuse), so that a record's own value of a
// material's field wins wherever its column stands. `library` is needed only by a material column; nullptr: a material column is
// refused (MaterialLibraryError).
void ApplyDesignRecord(const std::vector<SettingName>& columns, const std::vector<std::string>& fields,
                       MapEntryTexts& entries, LineSettings& line, const MaterialLibrary* library = nullptr);

// Whether a column names a material, so that applying the records needs the library.
bool NeedsMaterialLibrary(const std::vector<SettingName>& columns);

}  // namespace tovimar
