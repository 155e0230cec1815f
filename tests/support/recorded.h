#pragma once

// The core returns its messages and the caller shows them. These adapters do what the
// window does with them (an input message or "File can not open!" in a plain message box)
// and record what would be shown, so that a test can check both the outcome and the
// messages of a call.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conditionfile/condition_section.h"
#include "conditionfile/data_file.h"
#include "format/file_writer.h"
#include "input/read_conditions.h"
#include "input/user_messages.h"
#include "run/result_table.h"
#include "run/run_sequence.h"

namespace tovimar {

RunOutcome RunSimulation(Simulation& sim, const EntryTexts& entries, UserMessages& messages,
                         const RunOptions& options = {});

std::optional<ReadStop> ReadConditions(DryingConditions& c, const EntryTexts& entries,
                                       UserMessages& messages);

enum class DataFileLoad { Loaded, CannotOpen, NotDataFile };
DataFileLoad LoadDataFile(const std::string& fullPath, EntryTexts& entries, UserMessages& messages);

// False when the file could not be opened ("File can not open!" recorded); a failed write
// still throws ResultWriteError.
bool WriteConditionSection(const DryingConditions& c, const ResultFile& file, UserMessages& messages);
bool WriteZoneSection(const DryingConditions& c, const ResultFile& file, UserMessages& messages, int k);
bool WriteResultTable(const Simulation& sim, const ResultFile& file, UserMessages& messages,
                      std::int32_t k, std::int32_t n);
bool CreateFile(const ResultFile& file, std::string_view text, UserMessages& messages);
bool AppendFile(const ResultFile& file, std::string_view text, UserMessages& messages);

}  // namespace tovimar
