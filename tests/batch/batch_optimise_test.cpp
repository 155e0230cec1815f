// tovimar-batch --optimise: its printed lines, its files, its exit statuses and its usage
// errors, the expected values taken from the search in the core.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_process.h"
#include "conditionfile/data_file.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "study/optimise.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

const std::vector<std::string> FastestSpeed{
    "--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.1:3", "--vary",
    "ZoneExhaustFlow[1]=1000:20000", "--limit", "LineEndResidualSolvent<=2", "--limit",
    "MaxZoneLEL<=25"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(BatchOptimise, PrintsTheBestPointAndWritesItsFiles) {
  ScratchDir dir;
  const auto f = test_support::StartBatch(
      dir, With(FastestSpeed, {"--write-data", "best.txt", "--write-line", "best.json", "-o", "best-result.txt",
                               "--csv", "best.csv"}));
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_EQ(f.err, "");

  std::string error;
  OptimiseProblem problem;
  problem.objective = *ParseOptimiseObjective("max:LineSpeed", error);
  problem.variables = {*ParseOptimiseVariable("LineSpeed=0.1:3", error),
                       *ParseOptimiseVariable("ZoneExhaustFlow[1]=1000:20000", error)};
  problem.limits = {*ParseOptimiseLimit("LineEndResidualSolvent<=2", error),
                    *ParseOptimiseLimit("MaxZoneLEL<=25", error)};
  const OptimiseResult r = Optimise(problem, MapEntryTexts{}, {}, OptimiseSettings{});
  ASSERT_TRUE(r.feasible);
  const auto state = [](const OptimiseLimitResult& l) { return l.active ? " active\n" : " inactive\n"; };
  const std::string expected =
      "LineSpeed=" + r.valueTexts[0] + "\nZoneExhaustFlow[1]=" + r.valueTexts[1] +
      "\nobjective: max LineSpeed = " + ShortestNumberText(*r.objective) +
      "\nlimit: LineEndResidualSolvent <= 2: " + ShortestNumberText(*r.limits[0].value) + state(r.limits[0]) +
      "limit: MaxZoneLEL <= 25: " + ShortestNumberText(*r.limits[1].value) + state(r.limits[1]) +
      "within every limit: yes\nruns: " + std::to_string(r.runs) + " (0 stopped)\n";
  EXPECT_EQ(f.out.substr(0, f.out.find("time: ")), expected);
  EXPECT_EQ(f.out.substr(f.out.find("time: ")).back(), '\n');

  MapEntryTexts best;
  LineSettings line;
  ApplyOptimisePoint(problem, r.values, best, line);
  WriteDataFile(dir.File("expected.txt"), best);
  EXPECT_EQ(FileBytes(dir.File("best.txt")), FileBytes(dir.File("expected.txt")));
  EXPECT_EQ(ReadLineFile(dir.File("best.json")).ZoneExhaustFlow[1], r.values[1]);
  EXPECT_FALSE(FileBytes(dir.File("best-result.txt")).empty());
  EXPECT_FALSE(FileBytes(dir.File("best.csv")).empty());
}

TEST(BatchOptimise, NoPointWithinTheLimitsExitsSeven) {
  ScratchDir dir;
  const auto f = test_support::StartBatch(
      dir, {"--optimise", "--objective", "min:MaxWebTemp", "--vary", "ZoneAirTemp[2]=40:120", "--limit",
            "LineEndResidualSolvent<=0.000001", "--starts", "2", "--write-data", "best.txt"});
  EXPECT_EQ(f.status, 7) << f.err;
  EXPECT_NE(f.out.find("\nwithin every limit: no\n"), std::string::npos) << f.out;
  EXPECT_NE(f.out.find(" not met\n"), std::string::npos) << f.out;
  EXPECT_FALSE(FileBytes(dir.File("best.txt")).empty());  // the nearest point, for a look
}

TEST(BatchOptimise, TakesTheProblemFromTheLineFileUnlessGiven) {
  ScratchDir dir;
  LineSettings line;
  line.Optimise = {"max:LineSpeed", {"LineSpeed=0.1:3"}, {"LineEndResidualSolvent<=2"}};
  WriteLineFile(dir.File("line.json"), line);
  const auto untimed = [](const std::string& out) { return out.substr(0, out.find("time: ")); };
  const auto fromFile = test_support::StartBatch(dir, {"--optimise", "--line", "line.json", "--starts", "2"});
  const auto given = test_support::StartBatch(
      dir, {"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.1:3", "--limit",
            "LineEndResidualSolvent<=2", "--starts", "2"});
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(untimed(fromFile.out), untimed(given.out));
  EXPECT_EQ(fromFile.out.substr(0, 10), "LineSpeed=");

  // A part given on the command line replaces the file's; the others stay.
  const auto overridden = test_support::StartBatch(
      dir, {"--optimise", "--line", "line.json", "--starts", "2", "--vary", "LineSpeed=0.1:1"});
  ASSERT_EQ(overridden.status, 0) << overridden.err;
  EXPECT_EQ(overridden.out.substr(0, 12), "LineSpeed=1\n");
  EXPECT_NE(overridden.out.find("\nlimit: LineEndResidualSolvent <= 2: "), std::string::npos) << overridden.out;

  line.Optimise.variables = {"Speed=1:2"};
  WriteLineFile(dir.File("bad.json"), line);
  const auto bad = test_support::StartBatch(dir, {"--optimise", "--line", "bad.json"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "tovimar-batch: the line file's \"Optimise\" set-up: no condition field or "
                     "line setting named \"Speed\" (see --list-names)\n");
}

TEST(BatchOptimise, UsageErrorsExitTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases{
      {{"--vary", "LineSpeed=1:2"}, "tovimar-batch: --vary requires --optimise"},
      {{"--optimise", "--vary", "LineSpeed=1:2"},
       "tovimar-batch: --optimise needs --objective max:NAME or min:NAME\n"},
      {{"--optimise", "--objective", "max:LineSpeed", "--vary", "Speed=1:2"},
       "tovimar-batch: --vary: no condition field or line setting named \"Speed\" (see --list-names)\n"},
      {{"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=2:1"},
       "tovimar-batch: --optimise: the bounds of LineSpeed must be finite with LOWER < UPPER\n"},
      {{"--optimise", "--objective", "max:LineSpeed"},
       "tovimar-batch: --optimise: give at least one variable (--vary NAME=LOWER:UPPER)\n"},
      {{"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=1:2", "--limit", "Speed<=1"},
       "tovimar-batch: --limit: no line quantity named \"Speed\" (see --list-names)\n"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    const auto f = test_support::StartBatch(dir, c.args);
    EXPECT_EQ(f.status, 2) << c.message;
    EXPECT_EQ(f.err.substr(0, c.message.size()), c.message);
    EXPECT_EQ(f.out, "");
  }
}

}  // namespace
}  // namespace tovimar
