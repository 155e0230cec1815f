#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "conditionfile/input_file.h"
#include "format/file_writer.h"
#include "input/entry_texts.h"

namespace tovimar {

// A data file holds the 120 value lines of a condition section with all 14 zones.
inline constexpr int DataFileLineCount = 120;

// A longer line makes the file "not a correct data file"; reading stops there.
inline constexpr std::size_t MaxDataFileLineLength = 16 * 1024 * 1024;

// The first 120 lines together (line ends and CRs not counted) may hold no more than this;
// a file with more is "not a correct data file" and reading stops there.
inline constexpr std::size_t MaxDataFileLength = 64 * 1024 * 1024;

inline constexpr std::string_view DataFileCanNotOpenMessage = "Data file can not open!";

// A disabled entry the data file held a value for: the entry keeps its text.
struct KeptEntry {
  std::string entryName;
  std::string fileText;
};

// Reads the first 120 lines of the file at `fullPath` and, when every one holds "=", none
// is longer than MaxDataFileLineLength bytes and all of them together no longer than
// MaxDataFileLength (line ends and CRs not counted), writes each line's value text into its
// enabled entry. Otherwise nothing changes and it throws FileError: CannotOpen with "Data
// file can not open!" (a file that is missing, unreadable, a directory, a device, or a named
// pipe with no writer), or BadContent with "\"<path>\" is not a correct data file!"; its
// reason() says why. Returns the disabled entries and the texts the file held for them
// (KeptEntryWarnings of conditionfile/material_choice.h says which of them differ).
std::vector<KeptEntry> LoadDataFile(const std::string& fullPath, EntryTexts& entries);

// The same over the bytes of `source` (text in memory included); `fullPath` names it.
std::vector<KeptEntry> LoadDataFile(InputSource& source, const std::string& fullPath, EntryTexts& entries);

// The 120 lines (label field and value, CR LF ends) of the entries' current texts, as the
// value lines of a 14-zone condition section; loading it gives back the same texts.
std::string FormatDataFile(const EntryTexts& entries);

// Writes FormatDataFile(entries) to `path`. Throws InputError for a text a data file cannot
// hold (nothing written) and FileError naming the file when it cannot be written completely.
void WriteDataFile(const std::string& path, const EntryTexts& entries);

}  // namespace tovimar
