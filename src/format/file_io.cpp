#include "format/file_io.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tovimar::file_io {

std::string ErrorText(int error) { return std::generic_category().message(error); }

void Fail(FileError::Failure failure, const std::string& message, const std::string& path, int error) {
  throw FileError(failure, message, path, error != 0 ? ErrorText(error) : std::string());
}

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

bool LockWithoutWaiting(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
    return true;  // a device or a pipe is shared by nature (two runs may write /dev/null)
  }
  int result = 0;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0 || errno != EWOULDBLOCK;
}

int EmptyRegularFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return errno;
  }
  return S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0 ? errno : 0;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool SameFile(int fd, const struct stat& info) {
  struct stat open {};
  return ::fstat(fd, &open) == 0 && open.st_dev == info.st_dev && open.st_ino == info.st_ino;
}

TemporaryFile::TemporaryFile(const std::string& directory) {
  name_ = (directory == "/" ? "/" : directory + "/") + ".tvmXXXXXX";
  // No signal between the file's creation and its registration.
  sigset_t block;
  sigset_t previous;
  sigemptyset(&block);
  for (const int signal : EndingSignals) {
    sigaddset(&block, signal);
  }
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

TemporaryFile::~TemporaryFile() {
  CloseFile();
  if (created_ && !renamed_) {
    ::unlink(name_.c_str());
  }
  UnregisterTemporaryFile(slot_);
}

int TemporaryFile::CloseFile() {
  if (fd_ < 0) {
    return 0;
  }
  const int error = ::close(fd_) != 0 ? errno : 0;
  fd_ = -1;
  return error;
}

int TemporaryFile::RenameOver(const std::string& target) {
  if (::rename(name_.c_str(), target.c_str()) != 0) {
    return errno;
  }
  renamed_ = true;
  return 0;
}

}  // namespace tovimar::file_io
