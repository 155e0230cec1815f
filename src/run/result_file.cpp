#include "run/result_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace tovimar {

namespace {

std::string OsErrorText(int error) { return std::generic_category().message(error); }

[[noreturn]] void ThrowWriteError(const std::string& path, const char* what, int error) {
  throw ResultWriteError("Could not " + std::string(what) + " the result file \"" + path +
                         "\": " + OsErrorText(error));
}

// Writes all of `text` to `fd` and closes it. A failed write or close throws; the bytes
// that reached the file before stay there.
void WriteAllAndClose(int fd, const std::string& path, std::string_view text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      ::close(fd);
      ThrowWriteError(path, "write to", error);
    }
    if (written == 0) {
      // A regular file never accepts nothing without an error; do not spin.
      ::close(fd);
      ThrowWriteError(path, "write to", EIO);
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
  // close() reports delayed write errors (for instance on network file systems). It is not
  // retried on EINTR: the descriptor is released either way on Linux.
  if (::close(fd) != 0) {
    ThrowWriteError(path, "close", errno);
  }
}

// Opens the file with `flags`, or shows "File can not open!" and returns -1. An empty name
// names no file: it is never opened (it would not mean the current directory either).
// O_NONBLOCK keeps a name that denotes a pipe without a reader from hanging the run; it is
// cleared again once the file is open, so writes block and complete as usual.
int OpenOrReport(const std::string& path, int flags, UserMessages& messages) {
  int fd = -1;
  if (!path.empty()) {
    do {
      fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      const int status = ::fcntl(fd, F_GETFL);
      if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        ::close(fd);
        fd = -1;
      }
    }
  }
  if (fd < 0) {
    messages.ShowMessage(FileCanNotOpenMessage);
  }
  return fd;
}

}  // namespace

bool ResultFile::Create(std::string_view text, UserMessages& messages) const {
  const int fd = OpenOrReport(path_, O_WRONLY | O_CREAT | O_TRUNC, messages);
  if (fd < 0) {
    return false;
  }
  WriteAllAndClose(fd, path_, text);
  return true;
}

bool ResultFile::Append(std::string_view text, UserMessages& messages) const {
  // No O_CREAT: a result file deleted since the run began is not brought back with only the
  // later part of its contents.
  const int fd = OpenOrReport(path_, O_WRONLY | O_APPEND, messages);
  if (fd < 0) {
    return false;
  }
  WriteAllAndClose(fd, path_, text);
  return true;
}

}  // namespace tovimar
