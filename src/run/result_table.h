#pragma once

#include <cstdint>
#include <string>

#include "model/model.h"
#include "run/result_file.h"

namespace tovimar {

// Appends the "[SIMULATION RESULTS]" table of zone k, entries 0..n, to `out` (CR LF line
// ends, no empty line after the last data line).
void FormatResultTable(std::string& out, const Simulation& sim, std::int32_t k, std::int32_t n);

// Appends the table of zone k to the result file. Returns false when the file could not be
// opened ("File can not open!" shown); throws ResultWriteError when a write fails.
bool WriteResultTable(const Simulation& sim, const ResultFile& file, UserMessages& messages,
                      std::int32_t k, std::int32_t n);

}  // namespace tovimar
