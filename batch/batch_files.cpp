#include "batch_files.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "conditionfile/data_file.h"
#include "input/field_catalogue.h"

namespace tovimar::batch {

void InstallSignalHandling() { InstallFileSignalHandling(); }

std::string EscapeControlCharacters(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte >= 0x20 && byte != 0x7F) {
      out += ch;
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '\r') {
      out += "\\r";
    } else if (ch == '\t') {
      out += "\\t";
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    }
  }
  return out;
}

int ExitStatusOf(RunStatus status) {
  switch (status) {
    case RunStatus::Completed:
      return ExitCompleted;
    case RunStatus::StoppedAtInput:
      return ExitStoppedAtInput;
    case RunStatus::FileNotOpened:
    case RunStatus::WriteFailed:
      return ExitFileFailed;
    case RunStatus::ArithmeticFault:
      return ExitArithmeticFault;
    case RunStatus::Unstable:
    case RunStatus::Boiling:
      return ExitModelDoesNotHold;
    case RunStatus::InternalError:
      return ExitInternalError;
  }
  return ExitInternalError;
}

namespace {

// ` ("PATH": REASON)`, or nothing when there is no path.
std::string PathAndReason(const std::string& path, const std::string& reason) {
  if (path.empty()) {
    return {};
  }
  return " (\"" + path + "\"" + (reason.empty() ? std::string() : ": " + reason) + ")";
}

}  // namespace

std::string RunMessageOf(const RunOutcome& outcome) {
  if (outcome.status == RunStatus::FileNotOpened && outcome.message == FileCanNotOpenMessage) {
    return outcome.message + PathAndReason(outcome.path, outcome.reason);
  }
  return outcome.message;
}

std::string DataFileMessageOf(const FileError& error, const std::string& given) {
  if (error.what() == DataFileCanNotOpenMessage) {
    return error.what() + PathAndReason(given, error.reason());
  }
  return error.what();
}

// ---- Outputs that name the same file ----

namespace {

struct NamedFile {
  std::string option;  // how the command line names it: "-o", "--csv", ...
  std::string path;
};

// Whether `name` is the name of one of the result files of a sweep of `runs` runs.
bool IsSweepResultName(const std::string& name, std::size_t runs) {
  constexpr std::string_view Prefix = "result-";
  constexpr std::string_view Suffix = ".txt";
  if (name.size() <= Prefix.size() + Suffix.size() || name.rfind(Prefix, 0) != 0 ||
      name.compare(name.size() - Suffix.size(), Suffix.size(), Suffix) != 0) {
    return false;
  }
  const std::string digits = name.substr(Prefix.size(), name.size() - Prefix.size() - Suffix.size());
  if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(),
                                        [](char ch) { return ch >= '0' && ch <= '9'; })) {
    return false;
  }
  const std::size_t run = std::stoul(digits);
  return run >= 1 && run <= runs && SweepResultFileName(run, runs) == name;
}

std::string SameFileMessage(const NamedFile& a, const NamedFile& b) {
  return a.option + " and " + b.option + " name the same file \"" + a.path + "\"";
}

}  // namespace

std::optional<std::string> SameFileConflict(const BatchOptions& options, const std::string& dataFile,
                                            const EntryTexts& entries,
                                            const std::vector<SweepAxis>& axes) {
  std::vector<NamedFile> files;
  if (!dataFile.empty()) {
    files.push_back({options.dataFile.empty() ? "DATAFILE" : "--data", dataFile});
  }
  if (axes.empty() && RunRequested(options)) {
    const std::string result = entries.Text(SaveFileNameEntry);
    if (!result.empty()) {
      files.push_back({options.resultFile ? "-o" : "the Save File Name", result});
    }
  }
  for (const auto& [given, option] : {std::pair{&options.writeDataFile, "--write-data"},
                                      std::pair{&options.csvFile, "--csv"},
                                      std::pair{&options.summaryFile, "--summary"}}) {
    if (*given && !(*given)->empty()) {
      files.push_back({option, **given});
    }
  }
  std::vector<FileIdentity> identities;
  for (const NamedFile& file : files) {
    identities.push_back(IdentifyFile(file.path));
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = i + 1; j < files.size(); ++j) {
      if (identities[i] == identities[j]) {
        return SameFileMessage(files[i], files[j]);
      }
    }
  }
  // A file that would be one of a sweep's result files: in the directory, by that name.
  if (!axes.empty() && options.sweepResults && !options.sweepResults->empty()) {
    std::string error;
    const std::size_t runs = SweepRunCount(axes, error).value_or(0);
    const FileIdentity directory = IdentifyFile(*options.sweepResults);
    for (const NamedFile& file : files) {
      const std::string target = FollowLinks(file.path);
      if (IsSweepResultName(BaseNameOf(target), runs) &&
          IdentifyFile(DirectoryOf(target)) == directory) {
        return SameFileMessage(file, {"--sweep-results", target});
      }
    }
  }
  return std::nullopt;
}

// ---- The sweep's summary, record by record ----

namespace {

// The summary's destination: the --summary file, or the output stream.
class SummaryOutput {
 public:
  SummaryOutput(const std::optional<std::string>& file, std::ostream& out) : out_(out) {
    if (file && *file != "-") {
      file_ = std::make_unique<AppendingFile>(*file, "summary file");
    }
  }
  void Write(std::string_view bytes) {
    if (file_) {
      file_->Append(bytes);
      return;
    }
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out_.flush();
    if (!out_) {
      throw FileError(FileError::Failure::WriteFailed, "Cannot write the summary to standard output.",
                      "", "");
    }
  }
  void Close() {
    if (file_) {
      file_->Close();
    }
  }

 private:
  std::ostream& out_;
  std::unique_ptr<AppendingFile> file_;
};

}  // namespace

int RunSweepWithSummary(const BatchOptions& options, const std::vector<SweepAxis>& axes,
                        const MapEntryTexts& base, SweepOptions sweep, std::ostream& out,
                        UserMessages& messages) {
  const std::size_t zones = SweepSummaryZones(base, axes);
  SweepTally tally;
  try {
    SummaryOutput summary(options.summaryFile, out);
    summary.Write(FormatSweepSummaryHeader(axes, zones));
    tally = RunSweepInOrder(base, axes, sweep, [&](std::size_t index, const SweepRunResult& run) {
      summary.Write(FormatSweepSummaryRecord(index + 1, run, zones));
    });
    summary.Close();
  } catch (const FileError& e) {
    messages.ShowMessage(e.what());
    return ExitFileFailed;
  }

  if (!tally.firstFailure) {
    return ExitCompleted;
  }
  messages.ShowMessage(std::to_string(tally.failed) + " of " + std::to_string(tally.runs) +
                       (tally.runs == 1 ? " run" : " runs") +
                       " did not complete; the summary gives the outcome of each.");
  return ExitStatusOf(*tally.firstFailure);
}

}  // namespace tovimar::batch
