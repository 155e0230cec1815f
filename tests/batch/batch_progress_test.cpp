// Progress of sweeps and designs: a counting line on standard error when it is a terminal
// (and the records do not go to a terminal themselves), and nothing at all when it is not.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>

#include <string>
#include <vector>

#include "batch_process.h"

namespace tovimar {
namespace {

using test_support::PutFileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

// Runs tovimar-batch in `dir` with standard output to a file and standard error to a
// pseudo-terminal; what the terminal received.
std::string StandardErrorOnATerminal(const ScratchDir& dir, std::vector<std::string> args) {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "(no pseudo-terminal)";
  std::string exe = TOVIMAR_BATCH_EXE;
  std::vector<char*> argv{exe.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string outPath = dir.File(".stdout");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(master);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || ::dup2(out, 1) < 0 || ::dup2(slave, 2) < 0 || ::chdir(dir.path().c_str()) != 0) ::_exit(127);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(slave);
  std::string received;
  char buffer[4096];
  for (;;) {
    pollfd readable{master, POLLIN, 0};
    if (::poll(&readable, 1, 30000) <= 0) break;
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // the child has closed its end
    received.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(master);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return received;
}

TEST(BatchProgress, CountsRunsOnlyOnATerminal) {
  ScratchDir dir;
  PutFileBytes(dir.File("d.csv"), "LineSpeed\n0.5\n1\n1.5\n");
  const struct {
    std::vector<std::string> args;
    const char* last;  // the count left standing at the end
  } cases[] = {
      {{"--sweep", "LineSpeed=0.5:1.6:0.1", "--summary", "s.csv"}, "\rtovimar-batch: sweep: 12 of 12 runs   \r\n"},
      {{"--sweep", "LineSpeed=1:1:1", "--summary", "s.csv"}, "\rtovimar-batch: sweep: 1 of 1 run   \r\n"},
      {{"--design", "d.csv"}, "\rtovimar-batch: design: 3 runs   \r\n"},
  };
  for (const auto& c : cases) {
    const std::string terminal = StandardErrorOnATerminal(dir, c.args);
    const std::string last(c.last);
    ASSERT_GE(terminal.size(), last.size()) << terminal;
    EXPECT_EQ(terminal.substr(terminal.size() - last.size()), last) << terminal;
    // Not a terminal: not a byte of it.
    EXPECT_EQ(StartBatch(dir, c.args).err, "");
  }
}

}  // namespace
}  // namespace tovimar
