#pragma once

// --report FILE.pdf: the printable report of the run, written by the desktop program's
// companion tovimar-report (this tool has no Qt), started with the same conditions.
#include <string>
#include <vector>

#include "batch_options.h"
#include "input/user_messages.h"

namespace tovimar::batch {

// The program that writes the report.
inline constexpr const char* ReportProgram = "tovimar-report";

// The arguments tovimar-report is given for the options: the output, the data file, the
// line file and every --set in order (without the program's name).
std::vector<std::string> ReportArguments(const BatchOptions& options, const std::string& dataFile);

// Starts tovimar-report, found beside this executable or else on PATH, with the arguments
// of ReportArguments and then `settings` ("NAME=TEXT", each as a further --set), waits for
// it and returns its exit status (its messages go to the same error stream).
// ExitInternalError, with a message, when the program cannot be found or started or does
// not exit normally. (IgnoredOption refuses the options --report alone does not take.)
int WriteReport(const BatchOptions& options, const std::string& dataFile,
                const std::vector<std::string>& settings, UserMessages& messages);
int WriteReport(const BatchOptions& options, const std::string& dataFile, UserMessages& messages);

// With --report: the report of the run the options describe with `settings` applied after
// every --set (the best point of a search, the fitted values of a fit), so that the report
// shows that run and its conditions. ExitCompleted when no report is asked for.
int WriteReportOf(const BatchOptions& options, const std::vector<std::string>& settings,
                  UserMessages& messages);

}  // namespace tovimar::batch
