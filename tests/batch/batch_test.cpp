// End-to-end tests of tovimar-batch: the executable is started as a user would start it,
// in a scratch directory, and its exit status, messages and files are checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conditionfile/data_file.h"
#include "input/entry_texts.h"
#include "batch_process.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;

const std::string GoldenPath = std::string(TOVIMAR_TEST_DATA_DIR) + "/default_result.txt";

using Finished = test_support::BatchFinished;

// Runs tovimar-batch with `args` in `dir`.
Finished RunBatch(const ScratchDir& dir, const std::vector<std::string>& args) {
  return test_support::StartBatch(dir, args);
}

// Equal bytes; on a difference, where it starts (the files are too long to print whole).
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) {
    return ::testing::AssertionSuccess();
  }
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const std::size_t from = at < 40 ? 0 : at - 40;
  return ::testing::AssertionFailure()
         << "sizes " << actual.size() << " and " << expected.size() << ", first difference at byte "
         << at << ":\n  actual:   ..." << ::testing::PrintToString(actual.substr(from, 100))
         << "\n  expected: ..." << ::testing::PrintToString(expected.substr(from, 100));
}

std::string Golden() {
  const std::string golden = FileBytes(GoldenPath);
  EXPECT_FALSE(golden.empty()) << "missing golden file " << GoldenPath;
  return golden;
}

TEST(Batch, DefaultRunWritesTheGoldenFile) {
  ScratchDir dir;
  const Finished f = RunBatch(dir, {});
  EXPECT_EQ(f.status, 0) << f.err;
  // A completed run says how much halving the Increment of z would change its profile.
  EXPECT_EQ(f.err,
            "tovimar-batch: Step check: halving the Increment of z changes the web temperature by "
            "at most 0.0382 K and the residual ratios by at most 0.00127.\n");
  EXPECT_EQ(f.out, "");
  EXPECT_TRUE(SameBytes(FileBytes(dir.File("result.txt")), Golden()));
}

TEST(Batch, OutputOptionNamesTheResultFile) {
  ScratchDir dir;
  const Finished f = RunBatch(dir, {"-o", "other name.txt", "--set", "Edit250=ignored.txt"});
  EXPECT_EQ(f.status, 0) << f.err;
  EXPECT_TRUE(SameBytes(FileBytes(dir.File("other name.txt")), Golden()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("ignored.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));

  const Finished g = RunBatch(dir, {"--set", "ResultFileName=by-field.txt"});
  EXPECT_EQ(g.status, 0) << g.err;
  EXPECT_TRUE(SameBytes(FileBytes(dir.File("by-field.txt")), Golden()));
}

TEST(Batch, WrittenDataFileReproducesTheRun) {
  ScratchDir dir;
  // --write-data alone writes the file and runs nothing.
  Finished f = RunBatch(dir, {"--write-data", "defaults.txt"});
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
  EXPECT_EQ(FileBytes(dir.File("defaults.txt")), FormatDataFile(MapEntryTexts{}));

  f = RunBatch(dir, {"defaults.txt", "-o", "from-data.txt"});
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_TRUE(SameBytes(FileBytes(dir.File("from-data.txt")), Golden()));

  // Changed conditions, by entry and by field name, three zones; written and run at once.
  const std::vector<std::string> changes{
      "--set", "Edit7=20.0",          "--set", "ZoneAirTemp[3]=90",  "--set", "ZoneLength[3]=12.5",
      "--set", "Edit33=0.0",          "--set", "Edit34=0.0",         "--set", "Edit35=0.03",
      "--set", "ZoneHeatCoefLower[3]=0.04", "--set", "Chi12=0.45", "--set", "Edit222=470"};
  std::vector<std::string> args = changes;
  for (const char* a : {"--write-data", "changed.txt", "--run", "-o", "direct.txt"}) args.emplace_back(a);
  f = RunBatch(dir, args);
  ASSERT_EQ(f.status, 0) << f.err;
  const std::string direct = FileBytes(dir.File("direct.txt"));
  EXPECT_NE(direct.find("  ZONE 3\r\n"), std::string::npos);
  EXPECT_NE(direct.find("=  470.00\r\n"), std::string::npos);  // a disabled entry, set

  f = RunBatch(dir, {"--data", "changed.txt", "-o", "loaded.txt"});
  ASSERT_EQ(f.status, 0) << f.err;
  const std::string loaded = FileBytes(dir.File("loaded.txt"));
  // Loading leaves the disabled entry at the window's text, as the window's button does.
  EXPECT_NE(loaded.find("=  460.00\r\n"), std::string::npos);
  f = RunBatch(dir, {"--data", "changed.txt", "--set", "Edit222=470", "-o", "loaded2.txt"});
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_TRUE(SameBytes(FileBytes(dir.File("loaded2.txt")), direct));
}

struct ExitCase {
  std::string name;
  std::vector<std::string> args;
  int status;
  std::string errContains;  // a line of the error stream
  bool resultFileExists;
};

TEST(Batch, ExitStatuses) {
  const std::vector<ExitCase> cases{
      {"help", {"--help"}, 0, "", false},
      {"unknown option", {"--bogus"}, 2, "--bogus", false},
      {"unknown NAME", {"--set", "Speed=2"}, 2, "no entry or field named \"Speed\"", false},
      {"--set without =", {"--set", "Edit6"}, 2, "NAME=TEXT", false},
      {"two data files", {"a.txt", "--data", "b.txt"}, 2, "not both", false},
      {"general field", {"--set", "Edit6=1,5"}, 3, "tovimar-batch: Input value is not correct! (Speed, Edit6: \"1,5\")\n", false},
      {"empty save name", {"-o", ""}, 3, "tovimar-batch: Input Save File Name! (Save File Name, Edit250: \"\")\n", false},
      {"zone field", {"--set", "Edit25="}, 3, "tovimar-batch: Input value of Zone 2 is not correct! (Heat Trans. Coeff. - Upper of zone 2, Edit25: \"\")\n",
       false},
      {"Outer Temperature", {"--set", "Edit21=hot"}, 3,
       "tovimar-batch: \"hot\" is not a valid number (Outer Temperature of zone 2).\n", false},
      {"too many steps", {"--set", "ZoneLength[2]=300"}, 3, "Zone 2 needs 3000 steps", false},
      {"negative steps", {"--set", "StepLength=-0.1"}, 3, "negative number of steps", false},
      {"missing data file", {"missing.txt"}, 4,
       "tovimar-batch: Data file can not open! (\"missing.txt\": No such file or directory)\n", false},
      {"data file a directory", {"--data", "."}, 4,
       "tovimar-batch: Data file can not open! (\".\": Is a directory)\n", false},
      {"unsavable text", {"--set", "Edit6=1 0", "--write-data", "d.txt"}, 3, "Edit6 (LineSpeed)", false},
      {"result file a directory", {"-o", "."}, 4,
       "tovimar-batch: File can not open! (\".\": Is a directory)\n", false},
      {"result file in a missing directory", {"-o", "no/such/result.txt"}, 4, "File can not open!", false},
      {"data file in a missing directory", {"--write-data", "no/such/d.txt"}, 4, "no/such/d.txt", false},
      {"zero increment", {"--set", "Edit20=0"}, 5, "division by zero", false},
      {"zero speed", {"--set", "LineSpeed=0"}, 5, "Arithmetic error in the initial state", true},
      {"zero solvent ratio", {"--set", "Solvent2Ratio0=0"}, 5, "zero divided by zero", true},
  };
  for (const ExitCase& ec : cases) {
    SCOPED_TRACE(ec.name);
    ScratchDir dir;
    const Finished f = RunBatch(dir, ec.args);
    EXPECT_EQ(f.status, ec.status) << f.err;
    EXPECT_NE(f.err.find(ec.errContains), std::string::npos) << f.err;
    EXPECT_EQ(std::filesystem::exists(dir.File("result.txt")), ec.resultFileExists);
  }
}

TEST(Batch, RejectedDataFileNamesItsFullPath) {
  ScratchDir dir;
  PutFileBytes(dir.File("result copy.txt"), Golden());
  const Finished f = RunBatch(dir, {"result copy.txt"});
  EXPECT_EQ(f.status, 4);
  // The full path as the working directory names it (symbolic links resolved).
  const std::string fullPath = (std::filesystem::canonical(dir.path()) / "result copy.txt").string();
  EXPECT_EQ(f.err, "tovimar-batch: \"" + fullPath + "\" is not a correct data file!\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
}

TEST(Batch, InputMessageIsShownOnceAndLeavesAnEarlierResultAlone) {
  ScratchDir dir;
  PutFileBytes(dir.File("result.txt"), "earlier");
  const Finished f = RunBatch(dir, {"--set", "Edit1="});
  EXPECT_EQ(f.status, 3);
  EXPECT_EQ(f.err, "tovimar-batch: Input value is not correct! (Initial Coating Weight, Edit1: \"\")\n");
  EXPECT_EQ(FileBytes(dir.File("result.txt")), "earlier");
}

TEST(Batch, ArithmeticFaultKeepsTheConditionSection) {
  ScratchDir dir;
  const Finished f = RunBatch(dir, {"--set", "Edit6=0"});
  EXPECT_EQ(f.status, 5);
  const std::string golden = Golden();
  const std::string head = golden.substr(0, golden.find("  [SIMULATION RESULTS]"));
  // The section of zone 1 as the default run writes it, except the speed.
  std::string expected = head;
  const std::string speed = "=  1.000\r\n";
  expected.replace(expected.find(speed), speed.size(), "=  0.000\r\n");
  EXPECT_TRUE(SameBytes(FileBytes(dir.File("result.txt")), expected));
}

TEST(Batch, HelpDocumentsTheExitStatusesAndNames) {
  ScratchDir dir;
  const Finished f = RunBatch(dir, {"--help"});
  EXPECT_EQ(f.status, 0);
  for (const char* text : {"--data", "--set", "-o", "--write-data", "--run", "Exit status:",
                           "ZoneAirTemp[3]", "disabled", "  5  an arithmetic fault"}) {
    EXPECT_NE(f.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace tovimar
