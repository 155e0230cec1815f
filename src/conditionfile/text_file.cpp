#include "conditionfile/text_file.h"

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

// Opens `path` for writing without creating a temporary file; O_NONBLOCK makes a pipe with
// no reader fail (ENXIO) instead of waiting, and is cleared once the file is open.
int OpenInPlace(const std::string& path) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
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
    throw std::runtime_error("Cannot create the " + std::string(what) + ": no file name.");
  }
  struct stat existing {};
  const bool exists = ::lstat(path.c_str(), &existing) == 0;

  if (exists && !S_ISREG(existing.st_mode)) {
    const int fd = OpenInPlace(path);
    if (fd < 0) {
      throw std::runtime_error("Cannot create the " + named + ": " + ErrorText(errno) + ".");
    }
    const int writeError = WriteAll(fd, bytes);
    const int closeError = ::close(fd) != 0 ? errno : 0;
    if (writeError != 0 || closeError != 0) {
      throw std::runtime_error("Cannot write the " + named + ": " +
                               ErrorText(writeError != 0 ? writeError : closeError) + ".");
    }
    return;
  }

  std::string temporary = path + ".XXXXXX";
  std::vector<char> pattern(temporary.begin(), temporary.end());
  pattern.push_back('\0');
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    throw std::runtime_error("Cannot create the " + named + ": " + ErrorText(errno) + ".");
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
    throw std::runtime_error("Cannot write the " + named + ": " + ErrorText(error) + ".");
  }
}

}  // namespace tovimar
