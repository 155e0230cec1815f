// Every input of tovimar-batch read as the data file is: a line file, measurements or a
// design that is missing, a directory, a device or a named pipe with no writer ends with
// exit status 4 and "... can not open!" naming it and why, without waiting; an input that
// never ends (zeros from a pipe, standard input) or holds lines of 16 MiB and more is
// refused with the memory of its bound, under an address-space limit far below what
// reading it whole would take.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

#ifndef TOVIMAR_BATCH_EXE
#error "TOVIMAR_BATCH_EXE must name the tovimar-batch executable"
#endif

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;

struct Ended {
  int status = -1;  // -1: killed (a hang ends with the alarm)
  std::string err;
};

// The descriptor a fed pipe has in tovimar-batch, which opens it as "/dev/fd/10" (as a
// shell's process substitution gives it) or reads it as standard input.
constexpr int FedDescriptor = 10;
const std::string FedPipe = "/dev/fd/10";

// Runs tovimar-batch in `dir` under an address-space limit (none under the address
// sanitizer, whose shadow memory alone takes terabytes of addresses), and kills it after
// 60 s. A `fed` descriptor becomes its descriptor 10, and its standard input when
// `fedInput`; standard input is /dev/null otherwise.
Ended RunLimited(const ScratchDir& dir, std::vector<std::string> args, int fed = -1, bool fedInput = false) {
  std::string exe = TOVIMAR_BATCH_EXE;
  std::vector<char*> argv{exe.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string errPath = dir.File(".stderr");
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = fedInput ? fed : ::open("/dev/null", O_RDONLY);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = ::open("/dev/null", O_WRONLY);
    if (in < 0 || err < 0 || null < 0 || ::dup2(in, 0) < 0 || ::dup2(null, 1) < 0 || ::dup2(err, 2) < 0 ||
        (fed >= 0 && ::dup2(fed, FedDescriptor) < 0) || ::chdir(dir.path().c_str()) != 0) {
      ::_exit(127);
    }
#ifndef __SANITIZE_ADDRESS__
    const rlimit limit{256 << 20, 256 << 20};
    ::setrlimit(RLIMIT_AS, &limit);
#endif
    ::alarm(60);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  Ended ended;
  int wstatus = 0;
  if (::waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) ended.status = WEXITSTATUS(wstatus);
  ended.err = FileBytes(errPath);
  return ended;
}

// A pipe and a process writing into it what `next` gives, until it gives nothing or nobody
// reads any more (it gives up after 60 s). The reading end stays open in this process
// (closed on exec) until it is closed.
struct Fed {
  pid_t feeder = -1;
  int fd = -1;
  void Finish() {
    ::close(fd);
    ::waitpid(feeder, nullptr, 0);
  }
};
Fed Feed(const std::function<std::string()>& next) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {};
  const pid_t feeder = ::fork();
  if (feeder == 0) {
    ::signal(SIGPIPE, SIG_IGN);
    ::alarm(60);
    ::close(fds[0]);
    for (std::string block = next(); !block.empty(); block = next()) {
      for (std::size_t done = 0; done < block.size();) {
        const ssize_t n = ::write(fds[1], block.data() + done, block.size() - done);
        if (n <= 0) ::_exit(0);
        done += static_cast<std::size_t>(n);
      }
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  return {feeder, fds[0]};
}

// The options naming each input, and how its messages call it.
struct Input {
  std::vector<std::string> before;  // the options the input needs beside it
  std::string option;
  std::string what;
};
const std::vector<Input>& Inputs() {
  static const std::vector<Input> inputs{
      {{}, "--line", "Line file"},
      {{"--fit", "Keff"}, "--measured", "Measurement file"},
      {{}, "--design", "Design file"},
  };
  return inputs;
}

TEST(BatchInputs, WhatCannotBeAFileIsRefusedAtOnce) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  const struct {
    std::string path;
    std::string reason;
  } files[] = {
      {"none.json", "No such file or directory"},
      {".", "Is a directory"},
      {"/dev/zero", "a device, not a file"},
      {"pipe", "the pipe has no writer"},
  };
  for (const Input& input : Inputs()) {
    for (const auto& file : files) {
      SCOPED_TRACE(input.option + " " + file.path);
      std::vector<std::string> args = input.before;
      args.insert(args.end(), {input.option, file.path});
      const Ended e = RunLimited(dir, args);
      EXPECT_EQ(e.status, 4);
      EXPECT_EQ(e.err, "tovimar-batch: " + input.what + " can not open! (\"" + file.path + "\": " +
                           file.reason + ")\n");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
}

// Zeros without a line end, for ever.
std::string Zeros() { return std::string(1 << 20, '\0'); }

TEST(BatchInputs, InputsThatNeverEndAreRefusedAtTheirBound) {
  ScratchDir dir;
  // The data file: 120 lines just under 16 MiB each hold 1.9 GB; 64 MiB in all are read.
  int lines = 0;
  const auto dataLines = [&lines] {
    return ++lines > 120 ? std::string() : "Speed= " + std::string((16 << 20) - 8, '7') + "\n";
  };
  const struct {
    std::vector<std::string> args;
    std::function<std::string()> feed;  // into the pipe named FedPipe, or "-": standard input
    std::string err;
  } cases[] = {
      {{"--line", FedPipe}, Zeros, "tovimar-batch: The line file \"" + FedPipe + "\" is longer than 16 MiB.\n"},
      {{"--fit", "Keff", "--measured", FedPipe}, Zeros,
       "tovimar-batch: " + FedPipe + ": line 1 is longer than 16 MiB\n"},
      {{"--design", FedPipe}, Zeros, "tovimar-batch: " + FedPipe + ": line 1 is longer than 16 MiB\n"},
      {{"--design", "-"}, Zeros, "tovimar-batch: standard input: line 1 is longer than 16 MiB\n"},
      {{FedPipe, "-o", "r.txt"}, dataLines, "tovimar-batch: \"" + FedPipe + "\" is not a correct data file!\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2] + " " + c.args.back());
    Fed fed = Feed(c.feed);
    ASSERT_GE(fed.fd, 0);
    const Ended e = RunLimited(dir, c.args, fed.fd, c.args.back() == "-");
    fed.Finish();
    EXPECT_EQ(e.status, 4);
    EXPECT_EQ(e.err, c.err);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
}

TEST(BatchInputs, APipeWithAWriterIsReadWhole) {
  ScratchDir dir;
  bool given = false;
  Fed fed = Feed([&given] {
    if (given) return std::string();
    given = true;
    return std::string(R"({"WebWidth": 1.5, "ZoneExhaustFlow": {"1": 9000}})");
  });
  const Ended e = RunLimited(dir, {"--line", FedPipe, "-o", "r.txt"}, fed.fd);
  fed.Finish();
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_NE(e.err.find("Step check"), std::string::npos) << e.err;
}

}  // namespace
}  // namespace tovimar
