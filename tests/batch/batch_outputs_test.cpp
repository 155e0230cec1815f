// tovimar-batch's outputs under attack: an output that cannot be written (a loop of symbolic
// links, held by another run, in a missing directory, read-only) is refused before anything
// is written; standard output is a file whose failed writes end the tool with exit status
// 4 in every mode; a run and a whole-file write on one name never mix their bytes; and a
// sweep ended by a signal leaves only whole result files and no temporary file.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(BatchOutputs, AnOutputThatCannotBeWrittenIsRefusedBeforeAnythingIsWritten) {
  struct Output {
    std::vector<std::string> args;  // the option naming the file comes last
    std::string what;
  };
  const std::vector<Output> outputs{
      {{"--csv"}, "profile CSV file"},
      {{"--summary"}, "summary file"},
      {{"--run", "--write-data"}, "data file"},
      {{"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.1:3", "--write-line"}, "line file"},
  };
  struct Target {
    std::string name;
    std::string reason;
    bool readOnly;  // needs a user that permission bits stop
  };
  const std::vector<Target> targets{
      {"loop", "Too many levels of symbolic links", false},
      {"held.txt", "Resource temporarily unavailable, locked by another run", false},
      {"no/x.txt", "No such file or directory", false},
      {"ro.txt", "Permission denied", true},
  };
  const bool root = ::geteuid() == 0;
  for (const Output& output : outputs) {
    for (const Target& target : targets) {
      SCOPED_TRACE(output.what + " " + target.name);
      if (target.readOnly && root && !CanBecomeNobody()) continue;
      ScratchDir dir;
      ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
      fs::create_symlink("loop", dir.File("loop"));
      PutFileBytes(dir.File("held.txt"), "earlier");
      PutFileBytes(dir.File("ro.txt"), "earlier");
      ASSERT_EQ(::chmod(dir.File("ro.txt").c_str(), 0444), 0);
      const int held = ::open(dir.File("held.txt").c_str(), O_RDONLY | O_CLOEXEC);
      ASSERT_EQ(::flock(held, LOCK_EX), 0);  // as another run holds its file
      const Ended e = RunTool(dir, Joined(output.args, {target.name}),
                              target.readOnly && root ? std::function<void()>(BecomeNobody) : nullptr);
      ::close(held);
      EXPECT_EQ(e.status, 4);
      EXPECT_EQ(e.err, "tovimar-batch: Cannot create the " + output.what + " \"" + target.name +
                           "\": " + target.reason + ".\n");
      EXPECT_FALSE(fs::exists(dir.File("result.txt")));
      EXPECT_TRUE(fs::is_symlink(dir.File("loop")));
      EXPECT_EQ(FileBytes(dir.File("held.txt")), "earlier");
      EXPECT_EQ(FileBytes(dir.File("ro.txt")), "earlier");
    }
  }
}

TEST(BatchOutputs, AFailedWriteToStandardOutputEndsWithFourInEveryMode) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchDir dir;
  std::string design = "LineSpeed\r\n";
  for (int i = 1; i <= 60; ++i) design += "0." + std::to_string(i + 10) + "\r\n";
  PutFileBytes(dir.File("d.csv"), design);
  PutFileBytes(dir.File("m.csv"), "position along the line (m),web temperature (C)\r\n10,40\r\n40,55\r\n");
  const auto outputTo = [](const char* path, rlim_t limit) {
    return [path, limit] {
      const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const rlimit size{limit, limit};
      if (fd < 0 || ::dup2(fd, 1) < 0 || ::setrlimit(RLIMIT_FSIZE, &size) != 0) ::_exit(125);
    };
  };
  struct Case {
    std::vector<std::string> args;
    std::function<void()> output;
    std::string reason;
  };
  const std::string full = "No space left on device";
  const std::vector<Case> cases{
      {{"--summary", "-"}, outputTo("/dev/full", RLIM_INFINITY), full},
      {{"--design", "d.csv"}, outputTo("/dev/full", RLIM_INFINITY), full},
      {{"--list-names"}, outputTo("/dev/full", RLIM_INFINITY), full},
      {{"--sweep", "LineSpeed=1:2:1"}, outputTo("/dev/full", RLIM_INFINITY), full},
      {{"--fit", "Keff", "--measured", "m.csv"}, outputTo("/dev/full", RLIM_INFINITY), full},
      {{"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.1:3", "--starts", "1"},
       outputTo("/dev/full", RLIM_INFINITY), full},
      {{"--help"}, outputTo("/dev/full", RLIM_INFINITY), full},
      // A nearly full disk: the design's records stop part-way.
      {{"--design", "d.csv"}, outputTo("summary.csv", 4096), "File too large"},
      {{"--list-names"}, [] { ::close(1); }, "Bad file descriptor"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.reason);
    const Ended e = RunTool(dir, c.args, c.output);
    EXPECT_EQ(e.status, 4) << e.err;
    const std::string last = "tovimar-batch: standard output: " + c.reason + "\n";
    ASSERT_GE(e.err.size(), last.size()) << e.err;
    EXPECT_EQ(e.err.substr(e.err.size() - last.size()), last);
    EXPECT_EQ(e.err.find("standard output"), e.err.rfind("standard output")) << "said once";
  }
  // A run that prints nothing does not mind a closed standard output, and its result file
  // does not take the place of descriptor 1.
  const Ended quiet = RunTool(dir, {"-o", "r.txt"}, [] { ::close(1); });
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_NE(FileBytes(dir.File("r.txt")).find("  ZONE 2\r\n"), std::string::npos);
}

// One run writes the largest result file zone by zone while another writes its profile CSV
// under the same name: the file ends up one run's whole file, never the CSV followed by
// result tables; a run that would have mixed them ends with exit status 4.
TEST(BatchOutputs, ARunAndAWholeFileWriteOnOneNameNeverMix) {
  ScratchDir dir;
  const std::vector<std::string> run = Joined(LargestRun(), {"-o", "out.txt"});
  ASSERT_EQ(RunTool(dir, run).status, 0);
  const std::string result = FileBytes(dir.File("out.txt"));
  ASSERT_EQ(RunTool(dir, {"-o", "b.txt", "--csv", "csv.txt"}).status, 0);
  const std::string csv = FileBytes(dir.File("csv.txt"));
  for (int trial = 0; trial < 10; ++trial) {
    SCOPED_TRACE(trial);
    fs::remove(dir.File("out.txt"));
    const pid_t first = Start(dir, run);
    const pid_t second = Start(dir, {"-o", "b.txt", "--csv", "out.txt"});
    const Ended a = Wait(dir, first);
    const Ended b = Wait(dir, second);
    const std::string now = FileBytes(dir.File("out.txt"));
    EXPECT_TRUE(now == result || now == csv) << now.size() << " bytes, " << a.status << " " << b.status;
    EXPECT_TRUE((a.status == 0 || a.status == 4) && (b.status == 0 || b.status == 4));
  }
}

TEST(BatchOutputs, ASweepEndedByASignalLeavesOnlyWholeResultFiles) {
  for (const int signal : {SIGHUP, SIGTERM, SIGUSR1}) {
    SCOPED_TRACE(signal);
    ScratchDir dir;
    ASSERT_EQ(RunTool(dir, Joined(LargestRun(), {"--set", "ZoneAirTemp[1]=40", "-o", "ref.txt"})).status, 0);
    const std::string reference = FileBytes(dir.File("ref.txt"));
    const pid_t pid = Start(dir, Joined(LargestRun(), {"--sweep", "ZoneAirTemp[1]=40:90:0.01", "--jobs", "2",
                                                       "--sweep-results", "sr", "--summary", "s.csv"}));
    std::string summary;
    for (int i = 0; i < 2000 && std::count(summary.begin(), summary.end(), '\n') < 3; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      summary = FileBytes(dir.File("s.csv"));
    }
    ::kill(pid, signal);
    const Ended e = Wait(dir, pid);
    EXPECT_EQ(e.signal, signal);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "sr")) {
      const std::string name = entry.path().filename();
      EXPECT_EQ(name.rfind("result-", 0), 0U) << name << " left behind";
      EXPECT_EQ(fs::file_size(entry.path()), reference.size()) << name << " cut short";
      ++files;
    }
    EXPECT_GE(files, 2U);
    EXPECT_TRUE(FileBytes(dir.File("sr/result-0001.txt")) == reference);
  }
}

}  // namespace
}  // namespace tovimar
