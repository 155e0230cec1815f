#include "format/file_writer.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tovimar {
namespace {

std::string ErrorText(int error) { return std::generic_category().message(error); }

[[noreturn]] void Fail(FileError::Failure failure, const std::string& message,
                       const std::string& path, int error) {
  throw FileError(failure, message, path, error != 0 ? ErrorText(error) : std::string());
}

// Writes every byte to `fd`; the error number of the first failure, or 0.
int WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    if (n == 0) {
      return EIO;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Opens `path` with `flags`; -1 (errno set) when it cannot be opened. O_NONBLOCK makes a
// pipe with no reader fail (ENXIO) instead of waiting; it is cleared once the file is open,
// so writes block and complete as usual.
int OpenWithoutWaiting(const std::string& path, int flags) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    return -1;
  }
  const int status = ::fcntl(fd, F_GETFL);
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// The permissions a new file gets from the process's umask.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

namespace {

// Writes `bytes` over whatever `path` holds, in place: a device, a pipe, a file with
// several hard links, or a file in a directory where no temporary file can be made.
void WriteInPlace(const std::string& path, std::string_view bytes, const std::string& named) {
  const int fd = OpenWithoutWaiting(path, O_WRONLY | O_CREAT | O_TRUNC);
  if (fd < 0) {
    const int error = errno;
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
  const int writeError = WriteAll(fd, bytes);
  const int closeError = ::close(fd) != 0 ? errno : 0;
  if (writeError != 0 || closeError != 0) {
    const int error = writeError != 0 ? writeError : closeError;
    Fail(FileError::Failure::WriteFailed, "Cannot write the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
}

// A temporary file being written beside its target, registered so that SIGINT and SIGTERM
// remove it; removed when the object goes unless it was renamed over the target.
class TemporaryFile {
 public:
  // Creates ".tvmXXXXXX" in `directory`; fd() < 0 (errno set) when it cannot.
  explicit TemporaryFile(const std::string& directory) {
    name_ = (directory == "/" ? "/" : directory + "/") + ".tvmXXXXXX";
    // No signal between the file's creation and its registration.
    sigset_t block;
    sigset_t previous;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &block, &previous);
    fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
    const int error = errno;
    created_ = fd_ >= 0;
    if (created_) {
      slot_ = RegisterTemporaryFile(name_.c_str());
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    CloseFile();
    if (created_ && !renamed_) {
      ::unlink(name_.c_str());
    }
    UnregisterTemporaryFile(slot_);
  }

  [[nodiscard]] int fd() const { return fd_; }
  // Closes the descriptor; the error number of a failed close, or 0.
  int CloseFile() {
    if (fd_ < 0) {
      return 0;
    }
    const int error = ::close(fd_) != 0 ? errno : 0;
    fd_ = -1;
    return error;
  }
  // Renames the file over `target`; the error number, or 0.
  int RenameOver(const std::string& target) {
    if (::rename(name_.c_str(), target.c_str()) != 0) {
      return errno;
    }
    renamed_ = true;
    return 0;
  }

 private:
  std::string name_;
  int fd_ = -1;
  int slot_ = -1;
  bool created_ = false;
  bool renamed_ = false;
};

// Gives the temporary file the target's owner and group (as far as permitted: an ordinary
// user cannot give a file away) and its permissions, writes the bytes and flushes them to
// the disk. The error number of the first failure, or 0.
int FillTemporary(int fd, std::string_view bytes, const struct stat* existing) {
  if (existing != nullptr) {
    if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      (void)::fchown(fd, static_cast<uid_t>(-1), existing->st_gid);
    }
  }
  const mode_t mode = existing != nullptr ? (existing->st_mode & 07777) : NewFileMode();
  if (::fchmod(fd, mode) != 0) {
    return errno;
  }
  const int error = WriteAll(fd, bytes);
  if (error != 0) {
    return error;
  }
  return ::fsync(fd) != 0 ? errno : 0;
}

}  // namespace

void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what) {
  const std::string named = std::string(what) + " \"" + path + "\"";
  if (path.empty()) {
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + std::string(what) + ": no file name.",
         path, 0);
  }
  const std::string target = FollowLinks(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || existing.st_nlink > 1)) {
    WriteInPlace(path, bytes, named);
    return;
  }

  TemporaryFile temporary(DirectoryOf(target));
  if (temporary.fd() < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM) {  // a directory this user cannot write to
      WriteInPlace(path, bytes, named);
      return;
    }
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
  int error = FillTemporary(temporary.fd(), bytes, exists ? &existing : nullptr);
  const int closeError = temporary.CloseFile();
  if (error == 0) {
    error = closeError;
  }
  if (error == 0) {
    error = temporary.RenameOver(target);
    if (error == EACCES || error == EPERM) {  // e.g. another user's file in a sticky directory
      WriteInPlace(path, bytes, named);
      return;
    }
  }
  if (error != 0) {
    Fail(FileError::Failure::WriteFailed, "Cannot write the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
}

namespace {

// Opens the result file with `flags`, or throws "File can not open!" with the system's
// reason. An empty name names no file: it is never opened (it would not mean the current
// directory either).
int OpenResultFile(const std::string& path, int flags) {
  const int fd = path.empty() ? -1 : OpenWithoutWaiting(path, flags);
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
  const int writeError = WriteAll(fd, text);
  const int closeError = ::close(fd) != 0 ? errno : 0;
  if (writeError != 0 || closeError != 0) {
    const int error = writeError != 0 ? writeError : closeError;
    throw ResultWriteError("Could not " + std::string(writeError != 0 ? "write to" : "close") +
                               " the result file \"" + path + "\": " + ErrorText(error),
                           path, ErrorText(error));
  }
}

// Takes the exclusive advisory lock on the open file `fd` without waiting. False when
// another open file holds it; a file system without such locks lets the write go on.
bool LockWithoutWaiting(int fd) {
  int result = 0;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0 || errno != EWOULDBLOCK;
}

// Empties a regular file opened without O_TRUNC (after it has been locked); anything else
// (a device, a pipe) has nothing to empty. The error number, or 0.
int EmptyRegularFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return errno;
  }
  return S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0 ? errno : 0;
}

}  // namespace

// The descriptor that holds the result file's lock for the run.
struct ResultFile::Held {
  int fd = -1;
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
  if (!LockWithoutWaiting(fd)) {
    ::close(fd);
    throw FileError(FileError::Failure::CannotOpen, std::string(FileCanNotOpenMessage), path_,
                    std::string(LockedByAnotherRunReason));
  }
  if (const int error = EmptyRegularFile(fd); error != 0) {
    ::close(fd);
    Fail(FileError::Failure::CannotOpen, std::string(FileCanNotOpenMessage), path_, error);
  }
  held_->fd = fd;
  const int error = WriteAll(fd, text);
  if (error != 0) {
    throw ResultWriteError("Could not write to the result file \"" + path_ + "\": " + ErrorText(error),
                           path_, ErrorText(error));
  }
}

void ResultFile::Append(std::string_view text) const {
  // No O_CREAT: a result file deleted since the run began is not brought back with only the
  // later part of its contents.
  WriteAllAndClose(OpenResultFile(path_, O_WRONLY | O_APPEND), path_, text);
}

AppendingFile::AppendingFile(const std::string& path, std::string_view what)
    : path_(path), what_(what) {
  const std::string named = what_ + " \"" + path_ + "\"";
  if (path_.empty()) {
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + what_ + ": no file name.", path_, 0);
  }
  fd_ = OpenWithoutWaiting(path_, O_WRONLY | O_CREAT);
  if (fd_ < 0) {
    const int error = errno;
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path_, error);
  }
  if (!LockWithoutWaiting(fd_)) {
    ::close(fd_);
    throw FileError(FileError::Failure::CannotOpen,
                    "Cannot create the " + named + ": " + std::string(LockedByAnotherRunReason) + ".",
                    path_, std::string(LockedByAnotherRunReason));
  }
  if (const int error = EmptyRegularFile(fd_); error != 0) {
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
  const int error = fd_ < 0 ? EBADF : WriteAll(fd_, bytes);
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
