// The design reader over arbitrary bytes as the CSV file (quotes across lines, empty lines,
// byte-order marks, unknown and repeated columns), and each record applied to the entries
// and line settings as a design run applies it.
//
// Invariants: the reader refuses only with DesignError or FileError, a record only with
// LineFileError (a line setting the line file would refuse) or MaterialLibraryError (a
// material the library has not, or not for that column); the header's columns set
// distinct things; records are numbered 2, 3, ... with one field per column; and applying a
// record gives each entry column's entry exactly the record's field.

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "conditionfile/input_file.h"
#include "conditionfile/line_file.h"
#include "conditionfile/material_library.h"
#include "format/file_writer.h"
#include "fuzz_support.h"
#include "input/entry_texts.h"
#include "study/design.h"

namespace {

using tovimar::fuzz::Quote;

void CheckColumns(const std::vector<tovimar::SettingName>& columns, const std::string& where) {
  TOVIMAR_FUZZ_CHECK(!columns.empty(), where + ": a header without columns");
  std::set<std::string> seen;
  for (const tovimar::SettingName& column : columns) {
    const std::string what = column.entryName.empty() ? "line " + column.name : column.entryName;
    TOVIMAR_FUZZ_CHECK(seen.insert(what).second, where + ": two columns set " + what);
  }
}

void ReadAll(std::string_view text, const std::string& where) {
  tovimar::TextSource source(text);
  tovimar::DesignReader reader(source, "design.csv");
  const std::vector<tovimar::SettingName>& columns = reader.Columns();
  CheckColumns(columns, where);
  std::vector<std::string> fields;
  std::size_t record = 1;
  while (reader.Next(fields)) {
    ++record;
    const std::string at = where + ": record " + std::to_string(record);
    TOVIMAR_FUZZ_CHECK(reader.RecordNumber() == record, at + " numbered " + std::to_string(reader.RecordNumber()));
    TOVIMAR_FUZZ_CHECK(fields.size() == columns.size(), at + ": fields and columns differ");
    // One set of entries for the whole process: a record sets the entries of its columns,
    // and only those are checked.
    static tovimar::MapEntryTexts entries;
    // The shipped library alone, whatever the user's own holds.
    static const tovimar::MaterialLibrary library = [] {
      ::setenv("XDG_DATA_HOME", "/nonexistent/tovimar-design-fuzz", 1);
      return tovimar::LoadMaterialLibrary();
    }();
    tovimar::LineSettings line;
    try {
      tovimar::ApplyDesignRecord(columns, fields, entries, line, &library);
    } catch (const tovimar::LineFileError&) {
      continue;
    } catch (const tovimar::MaterialLibraryError&) {
      continue;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].entryName.empty()) continue;
      TOVIMAR_FUZZ_CHECK(entries.Text(columns[i].entryName) == fields[i],
                         at + ": " + columns[i].name + " holds " + Quote(entries.Text(columns[i].entryName)) +
                             ", the record " + Quote(fields[i]));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string where = "design " + Quote(text);
  try {
    ReadAll(text, where);
  } catch (const tovimar::DesignError&) {
  } catch (const tovimar::FileError&) {
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where + ": refused with another error: " + e.what());
  }
  return 0;
}
