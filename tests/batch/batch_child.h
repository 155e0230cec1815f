#pragma once

// Starting tovimar-batch as a child process in a scratch directory, with a hook that runs in
// the child before the tool starts (limits, another user, other standard streams), and
// waiting for it to end by an exit status or a signal.
#include <fcntl.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "support/scratch_dir.h"

#ifndef TOVIMAR_BATCH_EXE
#error "TOVIMAR_BATCH_EXE must name the tovimar-batch executable"
#endif

namespace tovimar::test_support {

struct Ended {
  int status = -1;  // the exit status, -1 when ended by a signal
  int signal = 0;
  std::string err;
};

// Starts tovimar-batch in `dir` with standard output to /dev/null and standard error to
// the file ".stderr" there; `inChild` runs in the child just before it is started.
inline pid_t Start(const ScratchDir& dir, std::vector<std::string> args,
                   const std::function<void()>& inChild = {}) {
  std::string exe = TOVIMAR_BATCH_EXE;
  std::vector<char*> argv{exe.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int err = ::open((dir.path() / ".stderr").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
    const int null = ::open("/dev/null", O_WRONLY);
    if (err < 0 || null < 0 || ::dup2(null, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(dir.path().c_str()) != 0) {
      ::_exit(127);
    }
    if (inChild) inChild();
    ::alarm(60);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

inline Ended Wait(const ScratchDir& dir, pid_t pid) {
  Ended ended;
  int wstatus = 0;
  if (::waitpid(pid, &wstatus, 0) == pid) {
    if (WIFEXITED(wstatus)) ended.status = WEXITSTATUS(wstatus);
    if (WIFSIGNALED(wstatus)) ended.signal = WTERMSIG(wstatus);
  }
  ended.err = FileBytes(dir.File(".stderr"));
  std::filesystem::remove(dir.File(".stderr"));
  return ended;
}

inline Ended RunTool(const ScratchDir& dir, const std::vector<std::string>& args,
                     const std::function<void()>& inChild = {}) {
  return Wait(dir, Start(dir, args, inChild));
}

// The names in `dir` other than the captured error stream, sorted.
inline std::vector<std::string> Names(const ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Drops to user nobody in a child; false when the tests do not run as root.
inline bool CanBecomeNobody() { return ::geteuid() == 0 && ::getpwnam("nobody") != nullptr; }
inline void BecomeNobody() {
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(126);
}

// The texts of the largest run: 14 zones of 1999 steps.
inline std::vector<std::string> LargestRun() {
  const MapEntryTexts defaults;
  std::vector<std::string> args;
  for (int zone = 3; zone <= MaxZones; ++zone) {
    for (int column = 1; column <= ZoneColumns; ++column) {
      args.push_back("--set");
      args.push_back(ZoneField(zone, column).entryName + "=" + defaults.Text(ZoneField(2, column).entryName));
    }
  }
  for (int zone = 1; zone <= MaxZones; ++zone) {
    args.push_back("--set");
    args.push_back("ZoneLength[" + std::to_string(zone) + "]=199.9");
  }
  return args;
}

}  // namespace tovimar::test_support
