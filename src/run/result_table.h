#pragma once

#include <cstdint>
#include <string>

#include "model/model.h"
#include "format/file_writer.h"

namespace tovimar {

// Appends the "[SIMULATION RESULTS]" table of zone k, entries 0..n, to `out` (CR LF line
// ends, no empty line after the last data line).
void FormatResultTable(std::string& out, const Simulation& sim, std::int32_t k, std::int32_t n);

// Appends the table of zone k to the result file. Throws FileError ("File can not open!")
// when it cannot be opened and ResultWriteError when a write fails.
void WriteResultTable(const Simulation& sim, const ResultSink& file, std::int32_t k,
                      std::int32_t n);

}  // namespace tovimar
