#pragma once

// Starts the tovimar-batch executable as a user would, in a scratch directory, and collects
// its exit status and output streams.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/scratch_dir.h"

#ifndef TOVIMAR_BATCH_EXE
#error "TOVIMAR_BATCH_EXE must name the tovimar-batch executable"
#endif

namespace tovimar::test_support {

struct BatchFinished {
  int status = -1;  // the exit status; -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// Runs tovimar-batch with `args` in `dir`; its output streams go to files there.
inline BatchFinished StartBatch(const ScratchDir& dir, const std::vector<std::string>& args) {
  const std::string outPath = dir.File(".stdout");
  const std::string errPath = dir.File(".stderr");
  std::string exe = TOVIMAR_BATCH_EXE;
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  argv.push_back(exe.data());
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::chdir(dir.path().c_str()) != 0) {
      ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  BatchFinished finished;
  int wstatus = 0;
  if (pid > 0 && ::waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
    finished.status = WEXITSTATUS(wstatus);
  }
  finished.out = FileBytes(outPath);
  finished.err = FileBytes(errPath);
  return finished;
}

}  // namespace tovimar::test_support
