#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conditionfile/material_choice.h"

namespace CLI {
class App;
}

namespace tovimar::batch {

// Exit statuses of tovimar-batch.
enum ExitStatus : int {
  ExitCompleted = 0,        // the run completed (or --write-data alone succeeded, or a
                            // sweep ran, whatever became of its runs)
  ExitInternalError = 1,    // something unforeseen; the message says what
  ExitUsage = 2,            // the command line is wrong
  ExitStoppedAtInput = 3,   // the conditions or the data file were refused
  ExitFileFailed = 4,       // the result file (or another output, the --sweep-results
                            // directory or standard output) could not be written
  ExitArithmeticFault = 5,  // an arithmetic fault, a zero Increment of z included
  ExitModelDoesNotHold = 6, // an unstable integration step or a boiling coating
  ExitNoFeasiblePoint = 7,  // --optimise found no point within every limit
  ExitFitNotConverged = 8,  // --fit: the fit did not converge
};

// One --set: the entry it changes and the text it gets, a line setting, or a material.
struct EntrySetting {
  std::string entryName;  // "Edit6", "Edit250"; empty for a line setting or a material
  std::string text;       // the material's key for a material
  std::string lineAssignment;  // "LEL1=1.2" for a line setting (see conditionfile/line_file.h)
  std::optional<MaterialSlot> material;  // Solvent1=KEY, Solvent2=KEY, Polymer=KEY
};

// What the command line asks for. Every option fills one member here and the run reads
// only this struct, so a new option is a member, a line in AddOptions and a step in
// RunBatch.
struct BatchOptions {
  std::string dataFile;                      // --data FILE or the positional DATAFILE
  std::string positionalDataFile;
  std::vector<std::string> settings;         // --set NAME=TEXT, in command-line order
  std::optional<std::string> resultFile;     // -o FILE
  std::optional<std::string> writeDataFile;  // --write-data FILE
  bool run = false;                          // --run (needed only with --write-data)
  std::optional<std::string> csvFile;        // --csv FILE: the profile of a completed run
  std::optional<std::string> depthCsvFile;   // --depth-csv FILE: through the coating at zone exits
  std::vector<std::string> sweeps;           // --sweep NAME=FROM:TO:STEP, one or two
  std::optional<std::string> sweepResults;   // --sweep-results DIR
  std::optional<std::string> summaryFile;    // --summary FILE ("-" or, with --sweep, none:
                                             // standard output)
  std::optional<std::string> lineFile;       // --line FILE: the line settings (JSON)
  bool listNames = false;                    // --list-names
  bool listMaterials = false;                // --list-materials
  std::optional<std::string> design;         // --design FILE ("-": standard input)
  bool noHeader = false;                     // --no-header (with --design)
  unsigned jobs = 0;                         // --jobs N (0: one per processor core)
  std::optional<std::string> reportFile;     // --report FILE.pdf (see batch_report.h)
  // Fitting (see batch_fit.h).
  std::vector<std::string> fits;                // --fit NAME[=LOWER:UPPER], repeatable
  std::optional<std::string> measuredFile;      // --measured FILE
  std::vector<std::string> standardDeviations;  // --sd NAME=VALUE, repeatable
  std::size_t fitRuns = 400;                    // --fit-runs N: runs before giving up
  // The design search (batch_optimise.h): --optimise, --objective, --vary, --limit,
  // --starts, --write-line.
  bool optimise = false;
  std::string objective;
  std::vector<std::string> varies;
  std::vector<std::string> limits;
  std::size_t starts = 0;                    // 0: the search's default
  std::optional<std::string> writeLineFile;
};

// Registers every option and the help text on `app`.
void AddOptions(CLI::App& app, BatchOptions& options);

// The data file to load (--data or the positional one), empty when there is none; nothing
// (and `error` set) when both are given.
std::optional<std::string> DataFileOf(const BatchOptions& options, std::string& error);

// "NAME=TEXT" with NAME an entry name ("Edit6", "Edit250"), a record field name
// ("LineSpeed", "ZoneAirTemp[3]", "ResultFileName"), a line setting ("LEL1",
// "ZoneExhaustFlow[2]") or a material (Solvent1, Solvent2, Polymer); nothing (and `error` set) when the text has no "=" or the name is
// unknown. TEXT is everything after the first "=".
std::optional<EntrySetting> ResolveSetting(std::string_view setting, std::string& error);

// Whether the simulation is run: always, unless --write-data is given without --run.
bool RunRequested(const BatchOptions& options);

// The first option the others would make the tool ignore, as a message naming both and
// why ("-o cannot be combined with --design: ..."); nothing when every option given does
// what it says.
std::optional<std::string> IgnoredOption(const BatchOptions& options);

}  // namespace tovimar::batch
