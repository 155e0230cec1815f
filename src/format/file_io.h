#pragma once

// The system calls beneath the file writers (file_writer.cpp, result_file.cpp): writing
// every byte, opening without waiting for a pipe's reader, the advisory lock every run
// takes on a file it writes, and temporary files that a signal removes. Not for use
// outside this folder.
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

#include "format/file_writer.h"

namespace tovimar::file_io {

// The signals that end the process by default and can be caught: each removes the
// temporary files before the process ends by it.
inline constexpr int EndingSignals[] = {SIGHUP, SIGINT,  SIGQUIT, SIGTERM,
                                        SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE};

// The system's text for an error number ("No space left on device").
std::string ErrorText(int error);

// Throws FileError(failure, message, path, ErrorText(error)); no reason for error 0.
[[noreturn]] void Fail(FileError::Failure failure, const std::string& message, const std::string& path,
                       int error);

// Writes every byte to `fd` at its current offset; the error number of the first failure,
// or 0.
int WriteAll(int fd, std::string_view bytes);

// Opens `path` with `flags`; -1 (errno set) when it cannot be opened. O_NONBLOCK makes a
// pipe with no reader fail (ENXIO) instead of waiting; it is cleared once the file is open,
// so writes block and complete as usual.
int OpenWithoutWaiting(const std::string& path, int flags);

// Takes the exclusive advisory lock on the open regular file `fd` without waiting. False
// when another open file holds it; a file system without such locks lets the write go on,
// and a device or a pipe is not locked.
bool LockWithoutWaiting(int fd);

// Empties a regular file (after it has been locked); anything else (a device, a pipe) has
// nothing to empty. The error number, or 0.
int EmptyRegularFile(int fd);

// The permissions a new file gets from the process's umask.
mode_t NewFileMode();

// Whether the open files `fd` and `info` are one and the same file.
bool SameFile(int fd, const struct stat& info);

// A temporary file (".tvm" and six random characters) being written in a directory,
// registered so that a signal that ends the process removes it; removed when the object
// goes unless it was renamed over its target.
class TemporaryFile {
 public:
  // Creates the file in `directory`; fd() < 0 (errno set) when it cannot.
  explicit TemporaryFile(const std::string& directory);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile();

  [[nodiscard]] int fd() const { return fd_; }
  [[nodiscard]] const std::string& path() const { return name_; }
  // Closes the descriptor; the error number of a failed close, or 0.
  int CloseFile();
  // Renames the file over `target`; the error number, or 0.
  int RenameOver(const std::string& target);

 private:
  std::string name_;
  int fd_ = -1;
  int slot_ = -1;
  bool created_ = false;
  bool renamed_ = false;
};

}  // namespace tovimar::file_io
