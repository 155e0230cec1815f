#include "batch_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "batch_progress.h"
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

std::string SameFileMessage(const CommandFile& a, const CommandFile& b) {
  return a.option + " and " + b.option + " name the same file \"" + a.path + "\"";
}

// The result file takes part where the command writes it: a single run, or the best point
// of a search when -o names it.
bool WritesResultFile(const BatchOptions& options, const std::vector<SweepAxis>& axes) {
  if (options.resultFile) {
    return true;
  }
  return axes.empty() && !options.design && !options.reportFile && !options.optimise &&
         options.fits.empty() && !options.measuredFile && RunRequested(options);
}

}  // namespace

std::vector<CommandFile> FilesOfCommand(const BatchOptions& options, const std::string& dataFile,
                                        const EntryTexts& entries, const std::vector<SweepAxis>& axes) {
  std::vector<CommandFile> files;
  const auto add = [&files](const std::optional<std::string>& path, const char* option,
                            std::string_view what) {
    if (path && !path->empty() && *path != "-") {
      files.push_back({option, *path, what});
    }
  };
  // What the command reads.
  if (!dataFile.empty()) {
    files.push_back({options.dataFile.empty() ? "DATAFILE" : "--data", dataFile, {}});
  }
  add(options.lineFile, "--line", {});
  add(options.measuredFile, "--measured", {});
  add(options.design, "--design", {});
  // What it writes.
  if (WritesResultFile(options, axes)) {
    const std::string result = entries.Text(SaveFileNameEntry);
    if (!result.empty()) {
      files.push_back({options.resultFile ? "-o" : "the Save File Name", result, {}});
    }
  }
  add(options.writeDataFile, "--write-data", "data file");
  add(options.writeLineFile, "--write-line", "line file");
  add(options.csvFile, "--csv", "profile CSV file");
  add(options.depthCsvFile, "--depth-csv", "depth profile CSV file");
  add(options.summaryFile, "--summary", "summary file");
  add(options.reportFile, "--report", "report");
  return files;
}

std::optional<std::string> SameFileConflict(const BatchOptions& options, const std::string& dataFile,
                                            const EntryTexts& entries,
                                            const std::vector<SweepAxis>& axes) {
  const std::vector<CommandFile> files = FilesOfCommand(options, dataFile, entries, axes);
  std::vector<FileIdentity> identities;
  for (const CommandFile& file : files) {
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
    for (const CommandFile& file : files) {
      const std::string target = FollowLinks(file.path);
      if (IsSweepResultName(BaseNameOf(target), runs) &&
          IdentifyFile(DirectoryOf(target)) == directory) {
        return SameFileMessage(file, {"--sweep-results", target, {}});
      }
    }
  }
  return std::nullopt;
}

int CheckFilesOfCommand(const BatchOptions& options, const std::string& dataFile,
                        const EntryTexts& entries, const std::vector<SweepAxis>& axes,
                        UserMessages& messages) {
  if (const std::optional<std::string> conflict = SameFileConflict(options, dataFile, entries, axes)) {
    messages.ShowMessage(*conflict);
    return ExitUsage;
  }
  // The report is the only file its command writes; tovimar-report refuses it itself.
  if (options.reportFile) {
    return ExitCompleted;
  }
  // The --sweep-results directory is created once the command starts: a file in it is
  // checked then.
  const std::optional<FileIdentity> results =
      !axes.empty() && options.sweepResults ? std::optional(IdentifyFile(*options.sweepResults))
                                            : std::nullopt;
  try {
    for (const CommandFile& file : FilesOfCommand(options, dataFile, entries, axes)) {
      if (!file.written.empty() &&
          !(results && !results->exists && IdentifyFile(DirectoryOf(FollowLinks(file.path))) == *results)) {
        CheckOutputFile(file.path, file.written);
      }
    }
  } catch (const FileError& e) {
    messages.ShowMessage(e.what());
    return ExitFileFailed;
  }
  return ExitCompleted;
}

// ---- Standard output ----

namespace {
constexpr std::size_t StandardOutputBuffer = 1 << 16;
}

StandardOutput::StandardOutput(int fd, bool closed)
    : fd_(fd), closed_(closed), terminal_(!closed && ::isatty(fd) != 0), buffer_(StandardOutputBuffer, '\0') {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

StandardOutput::~StandardOutput() { (void)Drain(); }

bool StandardOutput::Drain() {
  const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  if (error_ != 0) {
    return false;
  }
  if (closed_ && pending > 0) {
    error_ = EBADF;
    return false;
  }
  for (std::size_t done = 0; done < pending;) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, pending - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      return false;
    }
    wrote_ = true;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

StandardOutput::int_type StandardOutput::overflow(int_type ch) {
  if (!Drain()) {
    return traits_type::eof();
  }
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
  }
  return traits_type::not_eof(ch);
}

std::streamsize StandardOutput::xsputn(const char* bytes, std::streamsize count) {
  std::streamsize done = 0;
  while (done < count) {
    if (pptr() == epptr() && !Drain()) {
      return done;
    }
    const std::streamsize n = std::min<std::streamsize>(count - done, epptr() - pptr());
    std::memcpy(pptr(), bytes + done, static_cast<std::size_t>(n));
    pbump(static_cast<int>(n));
    done += n;
  }
  if (terminal_ && !Drain()) {
    return 0;
  }
  return done;
}

int StandardOutput::sync() { return Drain() ? 0 : -1; }

int StandardOutput::Finish() {
  if (Drain() && wrote_) {
    wrote_ = false;
    if (::close(fd_) != 0 && errno != EINTR) {
      error_ = errno;
    }
  }
  return error_;
}

std::string StandardOutputMessage(std::ostream& out) {
  auto* output = dynamic_cast<StandardOutput*>(out.rdbuf());
  if (output == nullptr || output->error() == 0) {
    return "standard output: the write failed";
  }
  output->reported_ = true;
  return "standard output: " + std::string(std::strerror(output->error()));
}

bool KeepStandardDescriptorsOpen() {
  bool outputClosed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      outputClosed = outputClosed || fd == 1;
      // The lowest free descriptor is this one, as those below it are open by now.
      (void)::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    }
  }
  return outputClosed;
}

int FinishStandardOutput(StandardOutput& output, int status, std::ostream& err) {
  if (output.Finish() == 0) {
    return status;
  }
  if (!output.reported()) {
    err << "tovimar-batch: standard output: " << std::strerror(output.error()) << '\n';
  }
  return ExitFileFailed;
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
      throw FileError(FileError::Failure::WriteFailed, StandardOutputMessage(out_), "", "");
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
    summary.Write(FormatSweepSummaryHeader(axes, zones, sweep.model.name));
    std::size_t total = 1;
    for (const SweepAxis& axis : axes) total *= axis.count;
    ProgressLine progress("sweep", total, !options.summaryFile || *options.summaryFile == "-");
    tally = RunSweepInOrder(base, axes, sweep, [&](std::size_t index, const SweepRunResult& run) {
      summary.Write(FormatSweepSummaryRecord(index + 1, run, zones, sweep.model.name));
      progress.Count(index + 1);
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
