#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "format/result_sink.h"
#include "model/errors.h"

namespace tovimar {

// Every file the program writes goes through this module: whole files (data files, line
// files, CSV, summaries, charts, reports) through WriteTextFile, and the result file, which
// a run appends to zone by zone, through ResultFile.

inline constexpr std::string_view FileCanNotOpenMessage = "File can not open!";

// A file that could not be opened or written. what() is the message for the user; path()
// and reason() (the system's explanation, possibly empty) let a caller say more.
class FileError : public UserError {
 public:
  enum class Failure {
    CannotOpen,   // missing, not permitted, a directory, ...
    BadContent,   // opened and read, but not what it should be (not a data file)
    WriteFailed,  // opened, but a write failed (a full disk)
  };

  FileError(Failure failure, const std::string& message, std::string path, std::string reason)
      : UserError(ErrorKind::File, message),
        failure_(failure),
        path_(std::move(path)),
        reason_(std::move(reason)) {}

  [[nodiscard]] Failure failure() const noexcept { return failure_; }
  [[nodiscard]] const std::string& path() const noexcept { return path_; }
  [[nodiscard]] const std::string& reason() const noexcept { return reason_; }

 private:
  Failure failure_;
  std::string path_;
  std::string reason_;
};

// A write to the result file failed after it was opened (a full disk). What was written
// before stays in the file.
class ResultWriteError : public FileError {
 public:
  ResultWriteError(const std::string& message, std::string path, std::string reason)
      : FileError(Failure::WriteFailed, message, std::move(path), std::move(reason)) {}
};

// Writes `bytes` as the whole content of the file at `path`. A symbolic link is followed to
// the file it names; a loop of links is refused. An existing file is opened for writing
// first (so a read-only or immutable file, a directory or a pipe nobody reads is refused
// as the result file is) and locked as the result file is (a file another run holds is
// refused). The bytes go to a temporary file with a short name (".tvm" and six random
// characters) in the target's directory, flushed to the disk, with the target's owner
// (where the system permits), group and permissions; only once every byte is there is it
// renamed over the target, or, for a file with several hard links (which a rename would
// part), copied over it. A failed write (a full disk, a size limit) thus leaves the
// earlier file as it was. A device or a pipe is written as it is, and a file in a
// directory where no temporary file can be made is written over in place. Throws
// FileError with a message that names the file and what it is (`what`, e.g. "data file")
// when it cannot be written completely.
void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what);

// Refuses, as WriteTextFile would, a file that cannot be written: an existing file that
// cannot be opened for writing or is locked by another run, a loop of symbolic links, or a
// new file in a directory that is missing or cannot be written. Nothing is created or
// changed. Lets a command refuse its outputs before it writes any of them.
void CheckOutputFile(const std::string& path, std::string_view what);

// A file that someone else writes by name (a run writing its result file) under a
// temporary name beside the target, put in the target's place only once it is complete,
// so that a process ended part-way (a signal removes the temporary file) leaves no file
// cut short. The target is resolved, opened and locked as WriteTextFile does it, and held
// until the object goes.
class StagedFile {
 public:
  // Throws FileError (CannotOpen) when the target cannot be written or the temporary file
  // cannot be created.
  StagedFile(const std::string& path, std::string_view what);
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  ~StagedFile();  // removes the temporary file unless it was committed

  // The name to write the contents to (the target itself when it is a device or a pipe).
  [[nodiscard]] const std::string& WritePath() const;
  // Puts the complete file in the target's place, as WriteTextFile does; throws FileError.
  void Commit();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The result file of one run. Create opens it (without emptying it first), takes an
// advisory exclusive lock on it and only then empties it; the descriptor and the lock are
// held until the object (and every copy of it) goes, so a second run on the same file is
// refused instead of mixing its lines into this one's. Append opens the file by name for
// every call and closes it again, so a file deleted, replaced or made read-only during the
// run ends the run there, and so does another file put in its place by a rename: the run
// writes only into the file it created and locked.
class ResultFile final : public ResultSink {
 public:
  explicit ResultFile(std::string path);

  // Creates the file afresh and writes `text`. Throws FileError (CannotOpen, "File can not
  // open!") when it cannot be opened or is locked by another run, and ResultWriteError when
  // writing fails.
  void Create(std::string_view text) const override;

  // Opens the existing file for appending and writes `text`; as Create otherwise. A file
  // that no longer exists is not created again.
  void Append(std::string_view text) const override;

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  struct Held;
  std::string path_;
  std::shared_ptr<Held> held_;
};

// The system's reason given when a result file is locked by another run.
inline constexpr std::string_view LockedByAnotherRunReason =
    "Resource temporarily unavailable, locked by another run";
// The reason given when the result file's name leads to another file than the one the run
// created.
inline constexpr std::string_view ReplacedSinceCreatedReason =
    "replaced by another file since the run created it";

// A file written piece by piece in place (a sweep's summary, one record per finished run),
// so that an interruption keeps every piece written so far. The target of a symbolic link
// is opened, locked as the result file is, emptied and then appended to.
class AppendingFile {
 public:
  // Throws FileError ("Cannot create the <what> ...") when it cannot be opened.
  AppendingFile(const std::string& path, std::string_view what);
  AppendingFile(const AppendingFile&) = delete;
  AppendingFile& operator=(const AppendingFile&) = delete;
  ~AppendingFile();

  // Throws FileError (WriteFailed, "Cannot write the <what> ...") when a write fails.
  void Append(std::string_view bytes);
  // Closes the file; throws as Append when the system reports a delayed write error.
  void Close();

 private:
  std::string path_;
  std::string what_;
  int fd_ = -1;
};

// Where a file name leads: the file itself when it exists (its device and inode after
// following symbolic links), otherwise the directory it would be created in (device and
// inode, or the spelled-out path when that directory does not exist either) and the name.
// Two names that lead to the same identity name the same file, however they are spelled.
struct FileIdentity {
  bool exists = false;
  unsigned long long device = 0;
  unsigned long long inode = 0;
  std::string directory;  // only for a missing directory: its normalized absolute path
  std::string name;       // only for a file that does not exist

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity IdentifyFile(const std::string& path);

// The directory part of `path` ("." for a bare name, "/" for a name in the root) and its
// last component.
std::string DirectoryOf(const std::string& path);
std::string BaseNameOf(const std::string& path);

// `path` with every symbolic link of its last component followed (a link to a link, a
// relative link); `path` itself when it is no link. Stops after 40 links.
std::string FollowLinks(const std::string& path);

// The file writers' side of process signals: SIGXFSZ is ignored (a file-size limit becomes
// an ordinary failed write), and every catchable signal that ends a process (SIGHUP,
// SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE) removes the temporary files
// being written before the process ends with the signal as usual. A signal the process
// was started with ignored stays ignored. Both programs call this once at start-up.
void InstallFileSignalHandling();

// The temporary files that a signal removes. Register copies `path` (it must be shorter
// than 4096 bytes) into a fixed slot and returns the slot, or -1 when none is free (there
// are more slots than a sweep has threads);
// Unregister frees it. Both may be called from any thread.
int RegisterTemporaryFile(const char* path);
void UnregisterTemporaryFile(int slot);

}  // namespace tovimar
