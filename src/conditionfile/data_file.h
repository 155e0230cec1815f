#pragma once

#include <array>
#include <string>
#include <string_view>

#include "input/entry_texts.h"
#include "input/user_messages.h"

namespace tovimar {

// A data file holds the 120 value lines of a condition section with all 14 zones.
inline constexpr int DataFileLineCount = 120;

enum class DataFileLoad {
  Loaded,      // every enabled entry of the 120 lines got its value text
  CannotOpen,  // "Data file can not open!" was shown; nothing changed
  NotDataFile, // "\"<path>\" is not a correct data file!" was shown; nothing changed
};

// Reads the first 120 lines of the file at `fullPath` and, when every one holds "=", writes
// each line's value text into its enabled entry. Messages go through `messages`.
DataFileLoad LoadDataFile(const std::string& fullPath, EntryTexts& entries, UserMessages& messages);

// The 120 lines (label field and value, CR LF ends) of the entries' current texts, as the
// value lines of a 14-zone condition section; loading it gives back the same texts.
std::string FormatDataFile(const EntryTexts& entries);

// Writes FormatDataFile(entries) to `path`; throws std::runtime_error with a message that
// names the file when it cannot be written completely.
void WriteDataFile(const std::string& path, const EntryTexts& entries);

}  // namespace tovimar
