#pragma once

#include <memory>
#include <string>
#include <string_view>

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
// the file it names. A regular file with one name (or a new one) is written to a temporary
// file with a short name (".tvm" and six random characters) in the target's directory,
// flushed to the disk and renamed over the target only once every byte is there, with the
// target's owner (where the system permits), group and permissions; a failed write (a full
// disk, a size limit) leaves the earlier file as it was. Where that cannot be done (the
// directory is not writable, the file has several hard links, it is a device or a pipe)
// the file is written in place; a pipe that nobody reads is refused at once instead of
// blocking. Throws FileError with a message that names the file and what it is (`what`,
// e.g. "data file") when it cannot be written completely.
void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what);

// The result file of one run. Create opens it (without emptying it first), takes an
// advisory exclusive lock on it and only then empties it; the descriptor and the lock are
// held until the object (and every copy of it) goes, so a second run on the same file is
// refused instead of mixing its lines into this one's. Append opens the file by name for
// every call and closes it again, so a file deleted, replaced or made read-only during the
// run ends the run there.
class ResultFile {
 public:
  explicit ResultFile(std::string path);

  // Creates the file afresh and writes `text`. Throws FileError (CannotOpen, "File can not
  // open!") when it cannot be opened or is locked by another run, and ResultWriteError when
  // writing fails.
  void Create(std::string_view text) const;

  // Opens the existing file for appending and writes `text`; as Create otherwise. A file
  // that no longer exists is not created again.
  void Append(std::string_view text) const;

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  struct Held;
  std::string path_;
  std::shared_ptr<Held> held_;
};

// The system's reason given when a result file is locked by another run.
inline constexpr std::string_view LockedByAnotherRunReason =
    "Resource temporarily unavailable, locked by another run";

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
// an ordinary failed write), and SIGINT and SIGTERM remove the temporary file of a whole-
// file write in progress before the process ends with the signal as usual. Both programs
// call this once at start-up.
void InstallFileSignalHandling();

// The temporary files that a signal removes. Register copies `path` (it must be shorter
// than 4096 bytes) into a fixed slot and returns the slot, or -1 when none is free;
// Unregister frees it. Both may be called from any thread.
int RegisterTemporaryFile(const char* path);
void UnregisterTemporaryFile(int slot);

}  // namespace tovimar
