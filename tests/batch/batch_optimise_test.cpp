// tovimar-batch --optimise: its printed lines, its files, its exit statuses and its usage
// errors, the expected values taken from the search in the core.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_process.h"
#include "conditionfile/data_file.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "model/number_text.h"
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
  ASSERT_EQ(r.limits.size(), 4U);
  // Values for people to 4 significant digits with their units.
  const auto value = [&r](std::size_t i, const char* unit) {
    return ShortNumber(*r.limits[i].value, 4) + unit + (r.limits[i].active ? " active\n" : " inactive\n");
  };
  // The varied flow makes zone 1's exhaust a limit of the line settings, beside their
  // boiling margin. The variables are exact: the texts the entries get.
  const std::string expected =
      "LineSpeed=" + r.valueTexts[0] + "\nZoneExhaustFlow[1]=" + r.valueTexts[1] +
      "\nobjective: max LineSpeed = " + ShortNumber(*r.objective, 4) + " m/s" +
      "\nlimit (line): ZoneExhaustLEL[1] <= 25 %: " + value(0, " %") +
      "limit (line): LeastBoilingMargin >= 0 K: " + value(1, " K") +
      "limit: LineEndResidualSolvent <= 2 g/m2: " + value(2, " g/m2") + "limit: MaxZoneLEL <= 25 %: " +
      value(3, " %") + "within every limit: yes\nruns: " + std::to_string(r.runs) + " (0 stopped)\n";
  EXPECT_EQ(ShortestNumberText(r.values[0]), r.valueTexts[0]);
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
  EXPECT_NE(overridden.out.find("\nlimit: LineEndResidualSolvent <= 2 g/m2: "), std::string::npos) << overridden.out;

  // Limits add up: the file's, then the command line's; one given in both is kept once.
  const auto added = test_support::StartBatch(
      dir, {"--optimise", "--line", "line.json", "--starts", "2", "--limit", "MaxWebTemp<=100", "--limit",
            "LineEndResidualSolvent<=2"});
  ASSERT_EQ(added.status, 0) << added.err;
  const std::string limits = "\nlimit (line): LeastBoilingMargin >= 0 K: ";
  const std::size_t at = added.out.find(limits);
  ASSERT_NE(at, std::string::npos) << added.out;
  EXPECT_NE(added.out.find("\nlimit: LineEndResidualSolvent <= 2 g/m2: ", at + 1), std::string::npos);
  EXPECT_EQ(added.out.find("\nlimit: LineEndResidualSolvent", added.out.find("\nlimit: LineEnd") + 1),
            std::string::npos);
  EXPECT_NE(added.out.find("\nlimit: MaxWebTemp <= 100 \u00b0C: "), std::string::npos) << added.out;

  line.Optimise.variables = {"Speed=1:2"};
  WriteLineFile(dir.File("bad.json"), line);
  const auto bad = test_support::StartBatch(dir, {"--optimise", "--line", "bad.json"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "tovimar-batch: the line file's \"Optimise\" set-up: no condition field or "
                     "line setting named \"Speed\" (see --list-names)\n");
}

// Searches without a --limit on the exhaust: the line settings' LEL limit holds the answer,
// whether the flows come from a line file or a zone's flow is itself the variable.
TEST(BatchOptimise, TheLineSettingsLimitsHoldWithoutALimitOption) {
  ScratchDir dir;
  LineSettings line;
  line.ZoneExhaustFlow[1] = 2000;
  line.ZoneExhaustFlow[2] = 2000;
  WriteLineFile(dir.File("line.json"), line);
  struct Case {
    std::vector<std::string> args;
    std::string firstLine;   // the best value, to 4 digits
    std::string zoneLimit;   // the line limit at the LEL bound
  };
  const std::vector<Case> cases{
      {{"--line", "line.json", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.1:3", "--limit",
        "LineEndResidualSolvent<=2"},
       "LineSpeed=0.1126", "limit (line): ZoneExhaustLEL[1] <= 25 %: "},
      {{"--objective", "min:ZoneExhaustFlow[1]", "--vary", "ZoneExhaustFlow[1]=0:20000", "--set",
        "ZoneExhaustFlow[2]=10000", "--limit", "MaxZoneLEL<=25"},
       "ZoneExhaustFlow[1]=1764", "limit (line): ZoneExhaustLEL[1] <= 25 %: "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--optimise", "--starts", "4"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto f = test_support::StartBatch(dir, args);
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(f.out.substr(0, c.firstLine.size()), c.firstLine) << f.out;
    const std::size_t at = f.out.find(c.zoneLimit);
    ASSERT_NE(at, std::string::npos) << f.out;
    std::size_t end = 0;
    const double percent = std::stod(f.out.substr(at + c.zoneLimit.size()), &end);
    EXPECT_LE(percent, 25);
    EXPECT_GT(percent, 24.9);
    EXPECT_EQ(f.out.substr(at + c.zoneLimit.size() + end, 10), " % active\n");
    EXPECT_NE(f.out.find("\nwithin every limit: yes\n"), std::string::npos) << f.out;
    EXPECT_EQ(f.err, "");  // no judging warning of the best point
  }
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
