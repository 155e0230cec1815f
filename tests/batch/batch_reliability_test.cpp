// tovimar-batch under faults and foreign locales: every arithmetic fault ends with exit
// status 5, its message and the same partial result file as the run in the core; result
// and data files that cannot be opened or written end with their statuses and keep earlier
// contents; nothing waits for ever; and every file written or read is the same under the
// "C" locale and a comma-decimal one.
#include <fcntl.h>
#include <linux/fs.h>
#include <locale.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "model/model.h"
#include "run/run_sequence.h"
#include "support/fault_conditions.h"
#include "support/scratch_dir.h"

#ifndef TOVIMAR_BATCH_EXE
#error "TOVIMAR_BATCH_EXE must name the tovimar-batch executable"
#endif

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;
using test_support::SetImmutable;

struct Finished {
  int status = -1;  // -1: killed (a hang ends with the alarm) or did not exit normally
  std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs tovimar-batch with `args` in `dir`, with `environment` added to this process's, and
// kills it when it runs longer than a minute.
Finished RunBatch(const ScratchDir& dir, const std::vector<std::string>& args,
                  const Environment& environment = {}) {
  const std::string errPath = dir.File(".stderr");
  std::string exe = TOVIMAR_BATCH_EXE;
  std::vector<std::string> copies = args;
  std::vector<char*> argv{exe.data()};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = ::open("/dev/null", O_WRONLY);
    if (err < 0 || null < 0 || ::dup2(null, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::chdir(dir.path().c_str()) != 0) {
      ::_exit(127);
    }
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    ::alarm(60);  // kept across exec
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  Finished finished;
  int wstatus = 0;
  if (pid > 0 && ::waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
    finished.status = WEXITSTATUS(wstatus);
  }
  finished.err = FileBytes(errPath);
  return finished;
}

// ---- Arithmetic faults: exit status 5 ----

class BatchArithmeticFault : public ::testing::TestWithParam<test_support::ArithmeticFaultCase> {};

TEST_P(BatchArithmeticFault, ExitsWithFiveAndKeepsWhatTheCoreRunKeeps) {
  const test_support::ArithmeticFaultCase& fc = GetParam();
  ASSERT_FALSE(fc.texts.empty()) << "no conditions found for this fault";
  ScratchDir dir;

  // The same conditions run in the core, into a file of the same name elsewhere.
  ScratchDir coreDir;
  MapEntryTexts entries;
  entries.SetText("Edit250", coreDir.File("result.txt"));
  std::vector<std::string> args;
  for (const auto& [entry, text] : fc.texts) {
    entries.ForceText(entry, text);
    args.push_back("--set");
    args.push_back(entry + "=" + text);
  }
  Simulation sim;
  ASSERT_EQ(RunSimulation(sim, entries).message, fc.message);

  PutFileBytes(dir.File("result.txt"), "earlier result");
  const Finished f = RunBatch(dir, args);
  EXPECT_EQ(f.status, 5);
  // The message is the last line; warnings on the entries may come before it.
  const std::string last = "tovimar-batch: " + fc.message + "\n";
  ASSERT_GE(f.err.size(), last.size()) << f.err;
  EXPECT_EQ(f.err.substr(f.err.size() - last.size()), last);
  if (fc.zonesWritten < 0) {
    EXPECT_EQ(FileBytes(dir.File("result.txt")), "earlier result");
  } else {
    EXPECT_EQ(FileBytes(dir.File("result.txt")), FileBytes(coreDir.File("result.txt")));
  }
}

INSTANTIATE_TEST_SUITE_P(Model, BatchArithmeticFault,
                         ::testing::ValuesIn(test_support::ArithmeticFaultCases()),
                         [](const auto& info) {
                           std::string name;
                           for (const char ch : info.param.name) {
                             if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
                           }
                           return name;
                         });

// ---- Files that cannot be opened or written ----

TEST(BatchFileFaults, ResultFileUnderARegularFileExitsWithFour) {
  ScratchDir dir;
  PutFileBytes(dir.File("notes.txt"), "kept");
  const Finished f = RunBatch(dir, {"-o", "notes.txt/result.txt"});
  EXPECT_EQ(f.status, 4);
  EXPECT_EQ(f.err, "tovimar-batch: File can not open! (\"notes.txt/result.txt\": Not a directory)\n");
  EXPECT_EQ(FileBytes(dir.File("notes.txt")), "kept");
}

TEST(BatchFileFaults, ImmutableResultFileExitsWithFourAndKeepsItsContents) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  PutFileBytes(path, "earlier result");
  if (!SetImmutable(path, true)) GTEST_SKIP() << "the immutable attribute cannot be set here";
  const Finished f = RunBatch(dir, {});
  (void)SetImmutable(path, false);
  EXPECT_EQ(f.status, 4);
  EXPECT_EQ(f.err, "tovimar-batch: File can not open! (\"result.txt\": Operation not permitted)\n");
  EXPECT_EQ(FileBytes(path), "earlier result");
}

TEST(BatchFileFaults, FullDiskExitsWithFourNamingTheFile) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchDir dir;
  std::filesystem::create_symlink("/dev/full", dir.File("full.txt"));
  const Finished f = RunBatch(dir, {"-o", "full.txt"});
  EXPECT_EQ(f.status, 4);
  EXPECT_EQ(f.err.rfind("tovimar-batch: Could not write to the result file \"full.txt\": ", 0), 0U) << f.err;

  const Finished g = RunBatch(dir, {"--write-data", "full.txt"});
  EXPECT_EQ(g.status, 4);
  EXPECT_NE(g.err.find("\"full.txt\""), std::string::npos) << g.err;
}

TEST(BatchFileFaults, PipesAndDevicesNeverHang) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const std::vector<Case> cases{
      {{"--data", "pipe"}, 4, "tovimar-batch: Data file can not open! (\"pipe\": the pipe has no writer)\n"},
      {{"--data", "/dev/zero"}, 4, "tovimar-batch: Data file can not open! (\"/dev/zero\": a device, not a file)\n"},
      {{"--write-data", "pipe"}, 4, "Cannot create the data file \"pipe\""},
      {{"-o", "pipe"}, 4, "tovimar-batch: File can not open! (\"pipe\": No such device or address)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const Finished f = RunBatch(dir, c.args);
    EXPECT_EQ(f.status, c.status);
    EXPECT_NE(f.err.find(c.err), std::string::npos) << f.err;
  }
}

// ---- Locale independence ----

// Every file the tool writes and reads, in a fresh directory under `environment`: a result
// file and a data file written by one call, and the result of running that data file.
struct Written {
  std::string result;
  std::string data;
  std::string resultFromData;
};

Written WriteUnder(const Environment& environment) {
  ScratchDir dir;
  Written w;
  const Finished f = RunBatch(dir,
                              {"--set", "Edit7=20.5", "--set", "Edit206=2.5e-2", "--set",
                               "ZoneAirTemp[3]=85.25", "--set", "ZoneLength[3]=12.5", "--set",
                               "Edit33=0.0015", "--set", "Edit34=0.0", "--set", "Edit35=0.0225",
                               "--set", "Edit36=0.055", "--write-data", "data.txt", "--run", "-o",
                               "result.txt"},
                              environment);
  EXPECT_EQ(f.status, 0) << f.err;
  const Finished g = RunBatch(dir, {"data.txt", "-o", "from-data.txt"}, environment);
  EXPECT_EQ(g.status, 0) << g.err;
  w.result = FileBytes(dir.File("result.txt"));
  w.data = FileBytes(dir.File("data.txt"));
  w.resultFromData = FileBytes(dir.File("from-data.txt"));
  return w;
}

bool LocaleInstalled(const char* name) {
  const locale_t l = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
  if (l == static_cast<locale_t>(nullptr)) return false;
  ::freelocale(l);
  return true;
}

TEST(BatchLocale, FilesAreTheSameUnderCAndACommaLocale) {
  if (!LocaleInstalled("de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  const Written plain = WriteUnder({{"LC_ALL", "C"}});
  ASSERT_NE(plain.result.find("  ZONE 3\r\n"), std::string::npos);
  ASSERT_NE(plain.result.find("=  20.50\r\n"), std::string::npos);
  EXPECT_TRUE(plain.resultFromData == plain.result);

  const std::vector<Environment> others{
      {{"LC_ALL", "de_DE.UTF-8"}},
      {{"LC_ALL", ""}, {"LANG", "de_DE.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}},
  };
  for (const Environment& environment : others) {
    SCOPED_TRACE(environment.front().first + "=" + environment.front().second);
    const Written w = WriteUnder(environment);
    EXPECT_TRUE(w.result == plain.result) << "the result file differs";
    EXPECT_EQ(w.data, plain.data);
    EXPECT_TRUE(w.resultFromData == plain.result) << "the result from the data file differs";
  }
}

}  // namespace
}  // namespace tovimar
