// Where file names lead (symbolic links followed, files identified by device and inode),
// and the signal side of the file writers: the registry of temporary files that a signal
// ending the process removes first.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "format/file_io.h"
#include "format/file_writer.h"

namespace tovimar {

namespace {

constexpr int MaxLinks = 40;

// `path` without trailing slashes ("/" stays).
std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int i = 0; i < MaxLinks; ++i) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return current;
    }
    char buffer[4096];
    const ssize_t n = ::readlink(current.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) {
      return current;
    }
    const std::string target(buffer, static_cast<std::size_t>(n));
    if (target.front() == '/' || current.find('/') == std::string::npos) {
      current = target;
    } else {
      current = current.substr(0, current.rfind('/') + 1) + target;
    }
  }
  return current;
}

FileIdentity IdentifyFile(const std::string& path) {
  FileIdentity identity;
  const std::string name = WithoutTrailingSlashes(path);
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0) {
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    return identity;
  }
  const std::string target = FollowLinks(name);
  const std::string directory = DirectoryOf(target);
  identity.name = BaseNameOf(target);
  if (::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    return identity;
  }
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(directory, error);
  identity.directory =
      error ? directory : std::filesystem::weakly_canonical(absolute, error).lexically_normal().string();
  return identity;
}

// ---- Temporary files removed by a signal that ends the process ----

namespace {

// A sweep writes one result file per thread (at most 1024) beside the whole-file writes.
constexpr int TemporarySlots = 1024 + 32;
constexpr std::size_t TemporaryPathMax = 4096;

// state: 0 free, 1 being filled, 2 holds a path to remove.
struct TemporarySlot {
  std::atomic<int> state{0};
  char path[TemporaryPathMax] = {};
};
TemporarySlot temporarySlots[TemporarySlots];
// Set by the first ending signal before it looks at the slots: a thread that registers a
// file after the handler has passed its slot sees it and removes that file itself.
std::atomic<bool> endingBySignal{false};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

extern "C" void RemoveTemporaryFilesAndEnd(int signal) {
  const int savedErrno = errno;
  endingBySignal.store(true, std::memory_order_seq_cst);
  for (TemporarySlot& slot : temporarySlots) {
    if (slot.state.load(std::memory_order_seq_cst) == 2) {
      ::unlink(slot.path);
    }
  }
  // The usual end by the signal (status 128 + signal in a shell): once this handler
  // returns, the signal raised again meets its default action.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
  errno = savedErrno;
}

}  // namespace

int RegisterTemporaryFile(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= TemporaryPathMax) {
    return -1;
  }
  for (int i = 0; i < TemporarySlots; ++i) {
    int expected = 0;
    if (temporarySlots[i].state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
      std::memcpy(temporarySlots[i].path, path, length + 1);
      temporarySlots[i].state.store(2, std::memory_order_seq_cst);
      if (endingBySignal.load(std::memory_order_seq_cst)) {
        // The process is ending by a signal on another thread, whose handler may have
        // passed this slot already: remove the file and wait for the end.
        ::unlink(temporarySlots[i].path);
        for (;;) {
          ::pause();
        }
      }
      return i;
    }
  }
  return -1;
}

void UnregisterTemporaryFile(int slot) {
  if (slot >= 0 && slot < TemporarySlots) {
    temporarySlots[slot].state.store(0, std::memory_order_release);
  }
}

void InstallFileSignalHandling() {
  ::signal(SIGXFSZ, SIG_IGN);
  for (const int signal : file_io::EndingSignals) {
    struct sigaction current {};
    // A signal the parent made the process ignore (nohup, a background job) stays ignored.
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFilesAndEnd;
    // A second signal waits until the first has removed the files and ended the process.
    sigemptyset(&action.sa_mask);
    for (const int other : file_io::EndingSignals) {
      sigaddset(&action.sa_mask, other);
    }
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace tovimar
