#pragma once

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

// Writes `bytes` as the whole content of the file at `path`. A regular file (or a new one)
// is written to a temporary file beside it and renamed over it only once every byte has
// been written, so a failed write (a full disk) leaves an earlier file as it was. Anything
// else (a device, a pipe, a link) is written in place; a pipe that nobody reads is refused
// at once instead of blocking. Throws FileError with a message that names the file and what
// it is (`what`, e.g. "data file") when it cannot be written completely.
void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what);

// The result file, opened by name for every writer call and closed again before the call
// returns; nothing stays open between calls.
class ResultFile {
 public:
  explicit ResultFile(std::string path) : path_(std::move(path)) {}

  // Creates the file afresh (truncating one that exists) and writes `text`. Throws
  // FileError (CannotOpen, "File can not open!") when it cannot be created, and
  // ResultWriteError when writing fails.
  void Create(std::string_view text) const;

  // Opens the existing file for appending and writes `text`; as Create otherwise. A file
  // that no longer exists is not created again.
  void Append(std::string_view text) const;

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tovimar
