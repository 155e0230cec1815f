#pragma once

// The batch tool's side of its files: outputs that name the same file are refused before
// anything is touched, file messages carry the path and the system's reason with control
// characters escaped, signals end the tool cleanly, and a sweep's summary is written record
// by record as its runs finish.
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "batch_options.h"
#include "format/file_writer.h"
#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "run/run_sequence.h"
#include "study/sweep.h"

namespace tovimar::batch {

// Ignores SIGXFSZ and makes SIGINT and SIGTERM remove a temporary file being written.
void InstallSignalHandling();

// `text` with every control character (0x00-0x1F, 0x7F) written as an escape: \n, \r, \t,
// or \xHH; everything else unchanged.
std::string EscapeControlCharacters(std::string_view text);

// The exit status of a run that ended with `status`.
int ExitStatusOf(RunStatus status);

// The message of a run for the error stream: "File can not open!" gets the path and the
// system's reason after it; every other message stands as it is.
std::string RunMessageOf(const RunOutcome& outcome);

// The message of a data file that could not be loaded, naming it as `given`.
std::string DataFileMessageOf(const FileError& error, const std::string& given);

// A file the command line names, in the role it has there.
struct CommandFile {
  std::string option;        // how the command line names it: "DATAFILE", "-o", "--csv", ...
  std::string path;
  std::string_view written;  // what it is, for a file the command writes whole ("data
                             // file"); empty for a file it reads and for the result file
};

// Every file the command reads (the data file `dataFile`, --line, --measured, --design) or
// writes (the result file named by `entries` where a run writes it, --write-data,
// --write-line, --csv, --summary, --report), in that order; standard input and output
// ("-") are no files.
std::vector<CommandFile> FilesOfCommand(const BatchOptions& options, const std::string& dataFile,
                                        const EntryTexts& entries, const std::vector<SweepAxis>& axes);

// The first pair of those files, or of one of them and a result file of --sweep-results,
// that are one and the same file, as "A and B name the same file "PATH""; nothing when all
// differ.
std::optional<std::string> SameFileConflict(const BatchOptions& options, const std::string& dataFile,
                                            const EntryTexts& entries,
                                            const std::vector<SweepAxis>& axes);

// Checks the command's files before anything is read or written: two names of one file are
// a usage error (ExitUsage, the message names both options), and an output that cannot be
// written (read-only, a loop of symbolic links, locked by another run, in a missing
// directory) a file problem (ExitFileFailed, its message). ExitCompleted when all is well.
int CheckFilesOfCommand(const BatchOptions& options, const std::string& dataFile,
                        const EntryTexts& entries, const std::vector<SweepAxis>& axes,
                        UserMessages& messages);

// Standard output as a file: what the tool prints is buffered here and written to the
// descriptor with write(2), so that a write that fails (a full disk, a file-size limit, a
// closed descriptor) is noticed and its reason kept. A terminal gets every piece at once.
class StandardOutput : public std::streambuf {
 public:
  // `closed`: the descriptor was not open when the process started.
  explicit StandardOutput(int fd, bool closed = false);
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;
  ~StandardOutput() override;

  // Writes what is buffered and, once anything was written, closes the descriptor (which
  // reports a delayed write error). The error number of the first failure, or 0.
  int Finish();
  [[nodiscard]] int error() const { return error_; }
  // Whether the failure has been reported already (see StandardOutputMessage).
  [[nodiscard]] bool reported() const { return reported_; }

  // "standard output: REASON" for the failed writes of `out`; marks a StandardOutput
  // behind it as reported.
  friend std::string StandardOutputMessage(std::ostream& out);

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  int sync() override;

 private:
  bool Drain();
  int fd_;
  bool closed_;
  int error_ = 0;
  bool terminal_ = false;
  bool wrote_ = false;
  bool reported_ = false;
  std::string buffer_;
};
std::string StandardOutputMessage(std::ostream& out);

// Opens /dev/null on any of the descriptors 0, 1 and 2 that is closed, so that no file the
// tool opens takes their place; true when descriptor 1 was closed.
bool KeepStandardDescriptorsOpen();

// The exit status once standard output is finished: `status`, or ExitFileFailed (and the
// message on `err`, unless it was given before) when a write to it failed.
int FinishStandardOutput(StandardOutput& output, int status, std::ostream& err);

// Runs the sweep and writes its summary (to --summary or `out`) record by record in run
// order as the runs finish, so that an interruption keeps every finished record. Returns
// ExitCompleted when every run completed, else the exit status of the first run that did
// not (a line on `messages` says how many), and ExitFileFailed when the summary cannot be
// written.
int RunSweepWithSummary(const BatchOptions& options, const std::vector<SweepAxis>& axes,
                        const MapEntryTexts& base, SweepOptions sweep, std::ostream& out,
                        UserMessages& messages);

}  // namespace tovimar::batch
