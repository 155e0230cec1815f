#include "format/file_writer.h"

#include <fcntl.h>
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

void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what) {
  const std::string named = std::string(what) + " \"" + path + "\"";
  if (path.empty()) {
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + std::string(what) + ": no file name.",
         path, 0);
  }
  struct stat existing {};
  const bool exists = ::lstat(path.c_str(), &existing) == 0;

  if (exists && !S_ISREG(existing.st_mode)) {
    const int fd = OpenWithoutWaiting(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) {
      const int error = errno;
      Fail(FileError::Failure::CannotOpen,
           "Cannot create the " + named + ": " + ErrorText(error) + ".", path, error);
    }
    const int writeError = WriteAll(fd, bytes);
    const int closeError = ::close(fd) != 0 ? errno : 0;
    if (writeError != 0 || closeError != 0) {
      const int error = writeError != 0 ? writeError : closeError;
      Fail(FileError::Failure::WriteFailed, "Cannot write the " + named + ": " + ErrorText(error) + ".",
           path, error);
    }
    return;
  }

  std::string temporary = path + ".XXXXXX";
  std::vector<char> pattern(temporary.begin(), temporary.end());
  pattern.push_back('\0');
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
  temporary.assign(pattern.data());
  const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();
  int error = ::fchmod(fd, mode) != 0 ? errno : 0;
  if (error == 0) {
    error = WriteAll(fd, bytes);
  }
  if (::close(fd) != 0 && error == 0) {
    error = errno;
  }
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
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

}  // namespace

void ResultFile::Create(std::string_view text) const {
  WriteAllAndClose(OpenResultFile(path_, O_WRONLY | O_CREAT | O_TRUNC), path_, text);
}

void ResultFile::Append(std::string_view text) const {
  // No O_CREAT: a result file deleted since the run began is not brought back with only the
  // later part of its contents.
  WriteAllAndClose(OpenResultFile(path_, O_WRONLY | O_APPEND), path_, text);
}

}  // namespace tovimar
