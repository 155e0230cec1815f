#include "batch_sweep.h"

#include "batch_files.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "format/file_writer.h"
#include "format/csv.h"

namespace tovimar::batch {

std::optional<std::vector<SweepAxis>> SweepAxesOf(const BatchOptions& options, std::string& error) {
  std::vector<SweepAxis> axes;
  if (options.sweeps.empty()) {
    for (const auto& [given, name] : {std::pair{options.sweepResults.has_value(), "--sweep-results"},
                                      std::pair{options.jobs != 0, "--jobs"}}) {
      if (given) {
        error = std::string(name) + " needs --sweep";
        return std::nullopt;
      }
    }
    return axes;
  }
  if (options.sweeps.size() > 2) {
    error = "give one --sweep, or two for a grid, not " + std::to_string(options.sweeps.size());
    return std::nullopt;
  }
  for (const std::string& sweep : options.sweeps) {
    std::optional<SweepAxis> axis = ParseSweepAxis(sweep, error);
    if (!axis) {
      return std::nullopt;
    }
    axes.push_back(std::move(*axis));
  }
  if (!SweepRunCount(axes, error)) {
    return std::nullopt;
  }
  return axes;
}

int WriteSummary(const std::optional<std::string>& file, const std::string& summary,
                 std::ostream& out, UserMessages& messages) {
  if (file && *file != "-") {
    try {
      WriteTextFile(*file, summary, "summary file");
    } catch (const FileError& e) {
      messages.ShowMessage(e.what());
      return ExitFileFailed;
    }
    return ExitCompleted;
  }
  out << summary;
  out.flush();
  if (!out) {
    messages.ShowMessage(StandardOutputMessage(out));
    return ExitFileFailed;
  }
  return ExitCompleted;
}

int RunSweepBatch(const BatchOptions& options, const std::vector<SweepAxis>& axes,
                  const MapEntryTexts& base, const LineSettings& line, std::ostream& out,
                  UserMessages& messages) {
  SweepOptions sweep;
  sweep.threads = options.jobs;
  sweep.line = line;
  sweep.model = line.Model;
  if (options.sweepResults) {
    sweep.resultDirectory = *options.sweepResults;
    std::error_code error;
    std::filesystem::create_directories(sweep.resultDirectory, error);
    if (sweep.resultDirectory.empty() || !std::filesystem::is_directory(sweep.resultDirectory)) {
      messages.ShowMessage("Cannot create the result directory \"" + sweep.resultDirectory +
                           "\"" + (error ? ": " + error.message() : std::string()) + ".");
      return ExitFileFailed;
    }
  }

  return RunSweepWithSummary(options, axes, base, sweep, out, messages);
}

}  // namespace tovimar::batch
