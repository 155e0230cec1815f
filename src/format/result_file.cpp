// Files written piece by piece: the result file (zone by zone, the file reopened by name
// for each piece) and the appending file of a sweep's summary (one descriptor throughout).
// Both lock the file for their run before emptying it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "format/file_io.h"
#include "format/file_writer.h"

namespace tovimar {

using file_io::ErrorText;
using file_io::Fail;

namespace {

// Opens the result file with `flags`, or throws "File can not open!" with the system's
// reason. An empty name names no file: it is never opened (it would not mean the current
// directory either).
int OpenResultFile(const std::string& path, int flags) {
  const int fd = path.empty() ? -1 : file_io::OpenWithoutWaiting(path, flags);
  if (fd < 0) {
    Fail(FileError::Failure::CannotOpen, std::string(FileCanNotOpenMessage), path,
         path.empty() ? 0 : errno);
  }
  return fd;
}

// Writes all of `text` to `fd` and closes it. A failed write or close throws; the bytes
// that reached the file before stay there. close() reports delayed write errors (network
// file systems); it is not retried on EINTR, as Linux releases the descriptor either way.
void WriteAllAndClose(int fd, const std::string& path, std::string_view text) {
  const int writeError = file_io::WriteAll(fd, text);
  const int closeError = ::close(fd) != 0 ? errno : 0;
  if (writeError != 0 || closeError != 0) {
    const int error = writeError != 0 ? writeError : closeError;
    throw ResultWriteError("Could not " + std::string(writeError != 0 ? "write to" : "close") +
                               " the result file \"" + path + "\": " + ErrorText(error),
                           path, ErrorText(error));
  }
}

}  // namespace

// The descriptor that holds the result file's lock for the run, and the file it is.
struct ResultFile::Held {
  int fd = -1;
  struct stat info {};
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() { Release(); }
  void Release() {
    if (fd >= 0) {
      ::close(fd);
      fd = -1;
    }
  }
};

ResultFile::ResultFile(std::string path) : path_(std::move(path)), held_(std::make_shared<Held>()) {}

void ResultFile::Create(std::string_view text) const {
  held_->Release();
  // Not O_TRUNC: the file is emptied only once this run holds its lock, so a run that
  // finds it locked leaves the other run's file whole.
  const int fd = OpenResultFile(path_, O_WRONLY | O_CREAT);
  if (!file_io::LockWithoutWaiting(fd)) {
    ::close(fd);
    throw FileError(FileError::Failure::CannotOpen, std::string(FileCanNotOpenMessage), path_,
                    std::string(LockedByAnotherRunReason));
  }
  if (::fstat(fd, &held_->info) != 0 || file_io::EmptyRegularFile(fd) != 0) {
    const int error = errno;
    ::close(fd);
    Fail(FileError::Failure::CannotOpen, std::string(FileCanNotOpenMessage), path_, error);
  }
  held_->fd = fd;
  const int error = file_io::WriteAll(fd, text);
  if (error != 0) {
    throw ResultWriteError("Could not write to the result file \"" + path_ + "\": " + ErrorText(error),
                           path_, ErrorText(error));
  }
}

void ResultFile::Append(std::string_view text) const {
  // No O_CREAT: a result file deleted since the run began is not brought back with only the
  // later part of its contents.
  const int fd = OpenResultFile(path_, O_WRONLY | O_APPEND);
  // The name must still lead to the file this run created and locked: another file put in
  // its place (by a rename) belongs to someone else and gets none of this run's lines.
  if (held_->fd >= 0 && !file_io::SameFile(fd, held_->info)) {
    ::close(fd);
    throw FileError(FileError::Failure::CannotOpen, std::string(FileCanNotOpenMessage), path_,
                    std::string(ReplacedSinceCreatedReason));
  }
  WriteAllAndClose(fd, path_, text);
}

AppendingFile::AppendingFile(const std::string& path, std::string_view what)
    : path_(path), what_(what) {
  const std::string named = what_ + " \"" + path_ + "\"";
  if (path_.empty()) {
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + what_ + ": no file name.", path_, 0);
  }
  fd_ = file_io::OpenWithoutWaiting(path_, O_WRONLY | O_CREAT);
  if (fd_ < 0) {
    const int error = errno;
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path_, error);
  }
  if (!file_io::LockWithoutWaiting(fd_)) {
    ::close(fd_);
    throw FileError(FileError::Failure::CannotOpen,
                    "Cannot create the " + named + ": " + std::string(LockedByAnotherRunReason) + ".",
                    path_, std::string(LockedByAnotherRunReason));
  }
  if (const int error = file_io::EmptyRegularFile(fd_); error != 0) {
    ::close(fd_);
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path_, error);
  }
}

AppendingFile::~AppendingFile() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

void AppendingFile::Append(std::string_view bytes) {
  const int error = fd_ < 0 ? EBADF : file_io::WriteAll(fd_, bytes);
  if (error != 0) {
    Fail(FileError::Failure::WriteFailed,
         "Cannot write the " + what_ + " \"" + path_ + "\": " + ErrorText(error) + ".", path_, error);
  }
}

void AppendingFile::Close() {
  if (fd_ < 0) {
    return;
  }
  const int error = ::close(fd_) != 0 ? errno : 0;
  fd_ = -1;
  if (error != 0) {
    Fail(FileError::Failure::WriteFailed,
         "Cannot write the " + what_ + " \"" + path_ + "\": " + ErrorText(error) + ".", path_, error);
  }
}

}  // namespace tovimar
