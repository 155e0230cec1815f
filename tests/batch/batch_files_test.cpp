// tovimar-batch and its files: two names of one file are refused before anything is
// touched, a result file in use by another run is left whole, whole files go through a
// temporary file that works for long names and keeps links, owners and modes, size limits
// and signals end the tool with a message or its usual status, and data-file problems are
// file problems.
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "batch_child.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using namespace test_support;
namespace fs = std::filesystem;

TEST(BatchFiles, TwoNamesOfOneFileAreRefusedBeforeAnythingIsTouched) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases{
      {{"d.txt", "-o", "d.txt"}, "DATAFILE and -o name the same file \"d.txt\""},
      {{"-o", "s.txt", "--csv", "s.txt"}, "-o and --csv name the same file \"s.txt\""},
      {{"-o", "x", "--write-data", "x", "--run"}, "-o and --write-data name the same file \"x\""},
      {{"d.txt", "--sweep", "LineSpeed=1:2:1", "--summary", "d.txt"},
       "DATAFILE and --summary name the same file \"d.txt\""},
      {{"--sweep", "LineSpeed=1:3:1", "--sweep-results", "sr", "--summary", "sr/result-0001.txt"},
       "--summary and --sweep-results name the same file \"sr/result-0001.txt\""},
      {{"-o", "./r.txt", "--csv", "sub/../r.txt"}, "-o and --csv name the same file \"./r.txt\""},
      {{"--data", "link.txt", "--write-data", "d.txt"}, "--data and --write-data name the same file \"link.txt\""},
      {{"-o", "dangling", "--csv", "new.csv"}, "-o and --csv name the same file \"dangling\""},
      {{"d.txt", "--set", "ResultFileName=sub/../d.txt"},
       "DATAFILE and the Save File Name name the same file \"d.txt\""},
      // Every file read takes part, and every file written.
      {{"--report", "d.txt", "d.txt"}, "DATAFILE and --report name the same file \"d.txt\""},
      {{"--line", "l.json", "-o", "l.json"}, "--line and -o name the same file \"l.json\""},
      {{"--line", "l.json", "--csv", "l.json"}, "--line and --csv name the same file \"l.json\""},
      {{"--line", "l.json", "--summary", "l.json"}, "--line and --summary name the same file \"l.json\""},
      {{"--line", "l.json", "--write-data", "l.json", "--run"},
       "--line and --write-data name the same file \"l.json\""},
      {{"--fit", "Keff", "--measured", "m.csv", "--write-data", "m.csv"},
       "--measured and --write-data name the same file \"m.csv\""},
      // A design writes only to standard output: any other output is refused first.
      {{"--design", "des.csv", "--write-data", "des.csv"},
       "--write-data cannot be combined with --design: a design runs each record in memory and writes "
       "only its summary records to standard output"},
      {{"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.1:3", "--line", "l.json",
        "--write-line", "./l.json"},
       "--line and --write-line name the same file \"l.json\""},
      {{"--line", "l.json", "--design", "l.json"}, "--line and --design name the same file \"l.json\""},
      {{"--line", "sr/result-0002.txt", "--sweep", "LineSpeed=1:3:1", "--sweep-results", "sr"},
       "--line and --sweep-results name the same file \"sr/result-0002.txt\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    ScratchDir dir;
    ASSERT_EQ(RunTool(dir, {"--write-data", "d.txt"}).status, 0);
    const std::string data = FileBytes(dir.File("d.txt"));
    const std::vector<std::pair<std::string, std::string>> inputs{
        {"l.json", "{}\n"}, {"m.csv", "position along the line (m),web temperature (C)\r\n10,40\r\n"},
        {"des.csv", "LineSpeed\r\n1\r\n"}, {"sr/result-0002.txt", "{}\n"}};
    fs::create_directory(dir.File("sr"));
    for (const auto& [name, bytes] : inputs) PutFileBytes(dir.File(name), bytes);
    fs::create_directory(dir.File("sub"));
    fs::create_symlink("d.txt", dir.File("link.txt"));
    fs::create_symlink("new.csv", dir.File("dangling"));
    const std::vector<std::string> before = Names(dir);
    const Ended e = RunTool(dir, c.args);
    EXPECT_EQ(e.status, 2);
    EXPECT_EQ(e.err, "tovimar-batch: " + c.err + "\n");
    EXPECT_EQ(Names(dir), before);
    EXPECT_EQ(FileBytes(dir.File("d.txt")), data);
    for (const auto& [name, bytes] : inputs) EXPECT_EQ(FileBytes(dir.File(name)), bytes) << name;
  }
  // A summary beside the result files under a name no run takes is fine.
  ScratchDir dir;
  const Ended e = RunTool(dir, {"--sweep", "LineSpeed=1:3:1", "--sweep-results", "sr", "--summary", "sr/result-0004.txt"});
  EXPECT_EQ(e.status, 0) << e.err;
}

TEST(BatchFiles, AResultFileInUseByAnotherRunStaysWhole) {
  ScratchDir dir;
  std::vector<std::string> args = LargestRun();
  args.insert(args.end(), {"-o", "ref.txt"});
  ASSERT_EQ(RunTool(dir, args).status, 0);
  const std::string whole = FileBytes(dir.File("ref.txt"));
  ASSERT_NE(whole.find("  ZONE 14\r\n"), std::string::npos);

  // Two runs at once on one file: one may be refused, but the file is one run's, whole.
  args.back() = "r.txt";
  const pid_t first = Start(dir, args);
  const pid_t second = Start(dir, args);
  const Ended a = Wait(dir, first);
  const Ended b = Wait(dir, second);
  EXPECT_TRUE(a.status == 0 || b.status == 0);
  EXPECT_TRUE((a.status == 0 || a.status == 4) && (b.status == 0 || b.status == 4));
  EXPECT_TRUE(FileBytes(dir.File("r.txt")) == whole);

  // A file locked by another run is neither emptied nor written.
  PutFileBytes(dir.File("r.txt"), "earlier result");
  const int held = ::open(dir.File("r.txt").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const Ended locked = RunTool(dir, {"-o", "r.txt"});
  ::close(held);
  EXPECT_EQ(locked.status, 4);
  EXPECT_EQ(locked.err, "tovimar-batch: File can not open! (\"r.txt\": Resource temporarily "
                        "unavailable, locked by another run)\n");
  EXPECT_EQ(FileBytes(dir.File("r.txt")), "earlier result");
}

TEST(BatchFiles, WholeFilesKeepLinksOwnersAndModes) {
  ScratchDir dir;
  ASSERT_EQ(RunTool(dir, {"--write-data", "expected.txt"}).status, 0);
  const std::string data = FileBytes(dir.File("expected.txt"));
  fs::create_directory(dir.File("real"));
  PutFileBytes(dir.File("real/d.txt"), "old");
  ::chmod(dir.File("real/d.txt").c_str(), 0640);
  fs::create_symlink("real/d.txt", dir.File("link.txt"));
  PutFileBytes(dir.File("one.txt"), "old");
  fs::create_hard_link(dir.File("one.txt"), dir.File("two.txt"));
  struct stat before {};
  struct stat linked {};
  ::stat(dir.File("one.txt").c_str(), &before);
  ::stat(dir.File("real/d.txt").c_str(), &linked);
  const std::string longName(250, 'n');

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--write-data", "link.txt"}, {"--write-data", "two.txt"}, {"--write-data", longName},
           {"-o", "r.txt", "--csv", longName + "c"}}) {
    SCOPED_TRACE(args.back().substr(0, 12));
    const Ended e = RunTool(dir, args);
    EXPECT_EQ(e.status, 0) << e.err;
  }
  struct stat target {};
  ASSERT_EQ(::stat(dir.File("real/d.txt").c_str(), &target), 0);
  EXPECT_TRUE(fs::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(FileBytes(dir.File("real/d.txt")), data);
  EXPECT_EQ(target.st_mode & 07777, 0640U);
  EXPECT_NE(target.st_ino, linked.st_ino) << "the target was replaced by a whole new file";
  struct stat after {};
  ::stat(dir.File("one.txt").c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(FileBytes(dir.File("one.txt")), data) << "written in place, both names see it";
  EXPECT_EQ(FileBytes(dir.File(longName)), data);
  EXPECT_FALSE(FileBytes(dir.File(longName + "c")).empty());
  EXPECT_EQ(Names(dir).size(), 8U) << "no temporary file left";

  if (!CanBecomeNobody()) GTEST_SKIP() << "owner and permission cases need root";
  const passwd* nobody = ::getpwnam("nobody");
  ::chmod(dir.path().c_str(), 0755);
  ASSERT_EQ(::chown(dir.File("real/d.txt").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  ASSERT_EQ(RunTool(dir, {"--write-data", "link.txt", "--set", "LineSpeed=2"}).status, 0);
  ASSERT_EQ(::stat(dir.File("real/d.txt").c_str(), &target), 0);
  EXPECT_EQ(target.st_uid, nobody->pw_uid) << "root keeps the owner";
  // A file nobody may write in a directory nobody may not: written in place.
  ::chmod(dir.File("real").c_str(), 0755);
  const Ended e = RunTool(dir, {"--write-data", "real/d.txt"}, BecomeNobody);
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_EQ(FileBytes(dir.File("real/d.txt")), data);
}

TEST(BatchFiles, AFileSizeLimitIsAFailedWrite) {
  struct Case {
    rlim_t limit;
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases{
      {60 * 1024, {"-o", "r.txt", "--csv", "c.csv"},
       "tovimar-batch: Cannot write the profile CSV file \"c.csv\": File too large.\n"},
      {4096, {"-o", "r.txt"}, "tovimar-batch: Could not write to the result file \"r.txt\": File too large\n"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    const Ended e = RunTool(dir, c.args, [&] {
      const rlimit limit{c.limit, c.limit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(e.status, 4);
    // The failure is the last line (a completed run's step check may come before it).
    ASSERT_GE(e.err.size(), c.err.size()) << e.err;
    EXPECT_EQ(e.err.substr(e.err.size() - c.err.size()), c.err);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"r.txt"});
  }
}

TEST(BatchFiles, AnInterruptedSweepKeepsEveryFinishedRecord) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    ScratchDir dir;
    const pid_t pid = Start(dir, {"--sweep", "ZoneAirTemp[1]=40:90:0.01", "--jobs", "2", "--summary", "s.csv"});
    std::string summary;
    for (int i = 0; i < 2000 && std::count(summary.begin(), summary.end(), '\n') < 4; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      summary = FileBytes(dir.File("s.csv"));
    }
    ::kill(pid, signal);
    const Ended e = Wait(dir, pid);
    EXPECT_EQ(e.signal, signal);
    summary = FileBytes(dir.File("s.csv"));
    ASSERT_GE(std::count(summary.begin(), summary.end(), '\n'), 4);
    EXPECT_EQ(summary.substr(summary.size() - 2), "\r\n") << "whole records only";
    std::size_t at = summary.find("\r\n") + 2;
    for (int run = 1; at < summary.size(); ++run) {
      EXPECT_EQ(summary.compare(at, std::to_string(run).size() + 1, std::to_string(run) + ","), 0) << run;
      at = summary.find("\r\n", at) + 2;
    }
    EXPECT_EQ(Names(dir), std::vector<std::string>{"s.csv"});
  }
}

TEST(BatchFiles, DataFileProblemsAreFileProblems) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  PutFileBytes(dir.File("result.txt"), "no data file");
  const std::string full = (fs::canonical(dir.path())).string();
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases{
      {{"missing.txt"}, "Data file can not open! (\"missing.txt\": No such file or directory)"},
      {{"--data", "."}, "Data file can not open! (\".\": Is a directory)"},
      {{"result.txt", "-o", "r.txt"}, "\"" + full + "/result.txt\" is not a correct data file!"},
      {{"pipe", "-o", "r.txt"}, "\"" + full + "/pipe\" is not a correct data file!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    pid_t feeder = -1;
    if (c.args[0] == "pipe") {  // a first line of 200 MB, read with 96 MB of memory
      feeder = ::fork();
      if (feeder == 0) {
        ::signal(SIGPIPE, SIG_IGN);
        // A tool that never opens the pipe cannot hang the test: the feeder gives up after
        // 60 s (the alarm ends it).
        ::alarm(60);
        const int fd = ::open(dir.File("pipe").c_str(), O_WRONLY);
        std::string block = "Speed= ";
        block.resize(1 << 20, 'x');
        for (int i = 0; i < 200 && ::write(fd, block.data(), block.size()) > 0; ++i) block.assign(1 << 20, 'x');
        ::_exit(0);
      }
    }
    const Ended e = RunTool(dir, c.args, [] {
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's shadow memory alone takes terabytes of addresses
      const rlimit limit{96 << 20, 96 << 20};
      ::setrlimit(RLIMIT_AS, &limit);
#endif
    });
    if (feeder > 0) ::waitpid(feeder, nullptr, 0);
    EXPECT_EQ(e.status, 4);
    EXPECT_EQ(e.err, "tovimar-batch: " + c.err + "\n");
    EXPECT_FALSE(fs::exists(dir.File("r.txt")));
  }
}

TEST(BatchFiles, ZeroOnlyAsParsedEndsTheZoneChain) {
  for (const auto& [text, zone2] : std::vector<std::pair<std::string, bool>>{
           {"1e-400", true}, {"2e-324", true}, {"0", false}, {"-0e-400", false}}) {
    SCOPED_TRACE(text);
    ScratchDir dir;
    const Ended e = RunTool(dir, {"--set", "ZoneAirTemp[2]=" + text, "-o", "r.txt"});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(FileBytes(dir.File("r.txt")).find("  ZONE 2\r\n") != std::string::npos, zone2);
  }
}

TEST(BatchFiles, ASweepWhoseRunsFailDoesNotExitZero) {
  ScratchDir dir;
  const Ended e = RunTool(dir, {"--sweep", "LineSpeed=1:2:1", "--sweep-results", "/proc", "--summary", "s.csv"});
  EXPECT_EQ(e.status, 4);
  EXPECT_EQ(e.err, "tovimar-batch: 2 of 2 runs did not complete; the summary gives the outcome of each.\n");
  const std::string summary = FileBytes(dir.File("s.csv"));
  EXPECT_NE(summary.find("\r\n1,1,file not opened,File can not open!,"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\r\n2,2,file not opened,File can not open!,"), std::string::npos) << summary;
}

TEST(BatchFiles, ControlCharactersInPathsAreEscaped) {
  ScratchDir dir;
  const Ended e = RunTool(dir, {"-o", "no\nsuch\x1b/r\t.txt"});
  EXPECT_EQ(e.status, 4);
  EXPECT_EQ(e.err, "tovimar-batch: File can not open! (\"no\\nsuch\\x1B/r\\t.txt\": No such file or directory)\n");
}

}  // namespace
}  // namespace tovimar
