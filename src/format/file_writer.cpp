// Whole files: written under a temporary name beside the target and put in its place once
// every byte is on the disk, with the target locked against every other run meanwhile.
#include "format/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "format/file_io.h"

namespace tovimar {

using file_io::ErrorText;
using file_io::Fail;
using file_io::TemporaryFile;

namespace {

// The file a name leads to (symbolic links followed) and, when it exists, that file open
// for writing and locked for as long as the object lives.
struct Target {
  std::string given;  // the name as given: opened as it is, so that the system follows
                      // every link (/dev/stdout to a pipe included)
  std::string path;   // with its links followed: where a new file is put
  std::string named;  // what it is and its name as given, for messages: data file "d.txt"
  int fd = -1;        // -1: no such file yet
  struct stat info {};

  // Follows the links of `given`; an empty name is refused.
  Target(const std::string& given, std::string_view what)
      : given(given), named(std::string(what) + " \"" + given + "\"") {
    if (given.empty()) {
      Fail(FileError::Failure::CannotOpen, "Cannot create the " + std::string(what) + ": no file name.",
           given, 0);
    }
    path = FollowLinks(given);
  }
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;
  ~Target() { Release(); }
  void Release() {
    if (fd >= 0) {
      ::close(fd);
      fd = -1;
    }
  }
  [[nodiscard]] bool Regular() const { return fd >= 0 && S_ISREG(info.st_mode); }
  [[noreturn]] void CannotCreate(int error) const {
    Fail(FileError::Failure::CannotOpen, "Cannot create the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
  [[noreturn]] void CannotWrite(int error) const {
    Fail(FileError::Failure::WriteFailed, "Cannot write the " + named + ": " + ErrorText(error) + ".",
         path, error);
  }
};

// Opens and locks what `t.given` names, if it exists. A file that cannot be written (read-
// only, immutable, a directory, a loop of symbolic links, a pipe without a reader) or that
// another run holds is refused here, before anything is written.
void OpenTarget(Target& t) {
  t.fd = file_io::OpenWithoutWaiting(t.given, O_WRONLY | O_NOCTTY);
  if (t.fd < 0) {
    if (errno != ENOENT) {
      t.CannotCreate(errno);
    }
    return;
  }
  if (::fstat(t.fd, &t.info) != 0) {
    t.CannotCreate(errno);
  }
  if (!file_io::LockWithoutWaiting(t.fd)) {
    throw FileError(FileError::Failure::CannotOpen,
                    "Cannot create the " + t.named + ": " + std::string(LockedByAnotherRunReason) + ".",
                    t.path, std::string(LockedByAnotherRunReason));
  }
}

// Copies `size` bytes from the start of `from` over the start of `to` and cuts `to` to that
// length. Growth is reserved first where the file system can, so that a full disk is met
// before the first byte is overwritten. The error number, or 0.
int CopyOver(int from, int to, off_t size, off_t oldSize) {
  if (size > oldSize) {
    const int reserved = ::fallocate(to, FALLOC_FL_KEEP_SIZE, oldSize, size - oldSize);
    if (reserved != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
      return errno;
    }
  }
  std::vector<char> buffer(1 << 16);
  for (off_t at = 0; at < size;) {
    const ssize_t n = ::pread(from, buffer.data(), buffer.size(), at);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return n < 0 ? errno : EIO;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::pwrite(to, buffer.data() + done, static_cast<std::size_t>(n - done), at + done);
      if (w < 0 && errno == EINTR) {
        continue;
      }
      if (w <= 0) {
        return w < 0 ? errno : EIO;
      }
      done += w;
    }
    at += n;
  }
  if (::ftruncate(to, size) != 0) {
    return errno;
  }
  return ::fsync(to) != 0 ? errno : 0;
}

// Gives the temporary file the target's owner and group (as far as permitted: an ordinary
// user cannot give a file away) and its permissions, or a new file's. The error number,
// or 0.
int TakeOwnerAndMode(int fd, const Target& t) {
  if (t.Regular()) {
    if (::fchown(fd, t.info.st_uid, t.info.st_gid) != 0) {
      (void)::fchown(fd, static_cast<uid_t>(-1), t.info.st_gid);
    }
  }
  const mode_t mode = t.Regular() ? (t.info.st_mode & 07777) : file_io::NewFileMode();
  return ::fchmod(fd, mode) != 0 ? errno : 0;
}

// Puts the complete, flushed temporary file in the target's place: renamed over it, or,
// for a file with several names (a rename would part them) or where no rename is allowed,
// copied over it. A target that appeared since it was opened is locked as well first.
void PutInPlace(Target& t, TemporaryFile& temporary) {
  struct stat written {};
  if (::fstat(temporary.fd(), &written) != 0) {
    t.CannotWrite(errno);
  }
  if (t.fd < 0) {
    OpenTarget(t);
  }
  const auto copyOver = [&] {
    if (const int error = CopyOver(temporary.fd(), t.fd, written.st_size, t.info.st_size); error != 0) {
      t.CannotWrite(error);
    }
  };
  // A rename would part a file from its other names, or miss a file that its name does not
  // lead to by path (a link under /proc to a file already deleted).
  struct stat named {};
  if (t.Regular() && (t.info.st_nlink > 1 || ::stat(t.path.c_str(), &named) != 0 ||
                      named.st_dev != t.info.st_dev || named.st_ino != t.info.st_ino)) {
    copyOver();
    return;
  }
  if (const int error = temporary.CloseFile(); error != 0) {
    t.CannotWrite(error);
  }
  const int error = temporary.RenameOver(t.path);
  if ((error == EACCES || error == EPERM) && t.Regular()) {  // another user's file in a sticky directory
    const int reopened = file_io::OpenWithoutWaiting(temporary.path(), O_RDONLY);
    if (reopened < 0) {
      t.CannotWrite(errno);
    }
    const int copied = CopyOver(reopened, t.fd, written.st_size, t.info.st_size);
    ::close(reopened);
    if (copied != 0) {
      t.CannotWrite(copied);
    }
    return;
  }
  if (error != 0) {
    t.CannotWrite(error);
  }
}

// Writes `bytes` straight into an open device or pipe.
void WriteThrough(Target& t, std::string_view bytes) {
  const int error = file_io::WriteAll(t.fd, bytes);
  const int fd = t.fd;
  t.fd = -1;
  const int closeError = ::close(fd) != 0 ? errno : 0;
  if (error != 0 || closeError != 0) {
    t.CannotWrite(error != 0 ? error : closeError);
  }
}

// Writes `bytes` over the open regular file where no temporary file can be made beside it
// (a directory this user cannot write to).
void WriteOver(Target& t, std::string_view bytes) {
  if (::ftruncate(t.fd, 0) != 0) {
    t.CannotWrite(errno);
  }
  if (const int error = file_io::WriteAll(t.fd, bytes); error != 0) {
    t.CannotWrite(error);
  }
  if (::fsync(t.fd) != 0 && errno != EINVAL) {
    t.CannotWrite(errno);
  }
}

}  // namespace

void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what) {
  Target t(path, what);
  OpenTarget(t);
  if (t.fd >= 0 && !S_ISREG(t.info.st_mode)) {
    WriteThrough(t, bytes);
    return;
  }
  TemporaryFile temporary(DirectoryOf(t.path));
  if (temporary.fd() < 0) {
    const int error = errno;
    if ((error == EACCES || error == EPERM) && t.Regular()) {
      WriteOver(t, bytes);
      return;
    }
    t.CannotCreate(error);
  }
  int error = TakeOwnerAndMode(temporary.fd(), t);
  if (error == 0) {
    error = file_io::WriteAll(temporary.fd(), bytes);
  }
  if (error == 0 && ::fsync(temporary.fd()) != 0) {
    error = errno;
  }
  if (error != 0) {
    t.CannotWrite(error);
  }
  PutInPlace(t, temporary);
}

void CheckOutputFile(const std::string& path, std::string_view what) {
  Target t(path, what);
  struct stat info {};
  if (::stat(t.given.c_str(), &info) == 0) {
    if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
      OpenTarget(t);  // opening anything else (a pipe) could be seen by its reader
    }
    return;
  }
  if (errno != ENOENT) {
    t.CannotCreate(errno);
  }
  const std::string directory = DirectoryOf(t.path);
  if (::access(directory.c_str(), W_OK | X_OK) != 0) {
    t.CannotCreate(errno);
  }
}

// ---- A file written by name and put in place once complete ----

struct StagedFile::State {
  State(const std::string& path, std::string_view what) : target(path, what) {}
  Target target;
  std::unique_ptr<TemporaryFile> temporary;
  std::string writeTo;
  bool committed = false;
};

StagedFile::StagedFile(const std::string& path, std::string_view what)
    : state_(std::make_unique<State>(path, what)) {
  Target& t = state_->target;
  OpenTarget(t);
  if (t.fd >= 0 && !S_ISREG(t.info.st_mode)) {  // a device or a pipe: written as it is
    t.Release();
    state_->writeTo = path;
    return;
  }
  state_->temporary = std::make_unique<TemporaryFile>(DirectoryOf(t.path));
  if (state_->temporary->fd() < 0) {
    t.CannotCreate(errno);
  }
  if (const int error = TakeOwnerAndMode(state_->temporary->fd(), t); error != 0) {
    t.CannotCreate(error);
  }
  state_->writeTo = state_->temporary->path();
}

StagedFile::~StagedFile() = default;

const std::string& StagedFile::WritePath() const { return state_->writeTo; }

void StagedFile::Commit() {
  if (state_->committed || !state_->temporary) {
    state_->committed = true;
    return;
  }
  state_->committed = true;
  if (::fsync(state_->temporary->fd()) != 0) {
    state_->target.CannotWrite(errno);
  }
  PutInPlace(state_->target, *state_->temporary);
}

}  // namespace tovimar
