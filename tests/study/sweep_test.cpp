#include "study/sweep.h"

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <string>
#include <vector>

#include "input/user_messages.h"
#include "support/recorded.h"
#include "format/csv.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

SweepAxis Axis(const std::string& sweepText) {
  std::string error;
  const std::optional<SweepAxis> axis = ParseSweepAxis(sweepText, error);
  EXPECT_TRUE(axis.has_value()) << sweepText << ": " << error;
  return axis.value_or(SweepAxis{});
}

TEST(SweepAxis, ValidRanges) {
  struct Case {
    std::string sweepText;
    std::string entry;
    std::size_t count;
    double last;
  };
  const std::vector<Case> cases{
      {"ZoneAirTemp[1]=40:90:5", "Edit8", 11, 90},
      {"Edit8=40:89.95:0.05", "Edit8", 1000, 89.95},
      {"LineSpeed=0:1:0.5", "Edit6", 3, 1},
      {"LineSpeed=1:0:-0.25", "Edit6", 5, 0},
      {"Edit6=2:2:0", "Edit6", 1, 2},
      {"Edit6=2:2:-1", "Edit6", 1, 2},
      // 0.9 / 0.3 falls just short of 3: the end still counts, as the decimal 0.9.
      {"Edit6=0:0.9:0.3", "Edit6", 4, 0.9},
      // TO between two values: the sweep stops before it.
      {"Edit6=0:1:0.3", "Edit6", 4, 0.9},
      {"ZoneLength[2]= 10 :2e1:+5", "Edit22", 3, 20},
      {"Edit222=400:500:50", "Edit222", 3, 500},  // disabled in the window, yet sweepable
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sweepText);
    const SweepAxis axis = Axis(c.sweepText);
    EXPECT_EQ(axis.name, c.sweepText.substr(0, c.sweepText.find('=')));
    EXPECT_EQ(axis.entryName, c.entry);
    EXPECT_EQ(axis.count, c.count);
    EXPECT_EQ(axis.Value(axis.count - 1), c.last);
  }
}

TEST(SweepAxis, RefusedRanges) {
  struct Case {
    std::string sweepText;
    std::string error;  // part of the message
  };
  const std::vector<Case> cases{
      {"Edit8", "NAME=FROM:TO:STEP"},
      {"Speed=0:1:1", "no condition entry or field named \"Speed\""},
      {"Edit250=1:2:1", "no condition entry or field named \"Edit250\""},
      {"ResultFileName=1:2:1", "no condition entry"},
      {"Edit6=0:1", "NAME=FROM:TO:STEP"},
      {"Edit6=0:1:1:2", "NAME=FROM:TO:STEP"},
      {"Edit6=a:1:1", "FROM \"a\" is not a number"},
      {"Edit6=0:1,5:1", "TO \"1,5\" is not a number"},
      {"Edit6=0:1:", "STEP \"\" is not a number"},
      {"Edit6=0:1:inf", "STEP \"inf\" is not a number"},
      {"Edit6=0:1:0", "STEP must not be 0"},
      {"Edit6=0:1:-1", "leads away from TO"},
      {"Edit6=0:1e300:1e-300", "too wide"},
      {"Edit6=0:1:1e-7", "more than 1000000 values"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sweepText);
    std::string error;
    EXPECT_FALSE(ParseSweepAxis(c.sweepText, error).has_value());
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

TEST(SweepAxis, ValuesAreFormedFromTheirIndex) {
  const SweepAxis axis = Axis("Edit8=40:89.95:0.05");
  double accumulated = 40;
  bool accumulationDiffers = false;
  for (std::size_t i = 0; i < axis.count; ++i) {
    // From the index, rounded to the two decimals of FROM and STEP.
    char decimal[32];
    std::snprintf(decimal, sizeof decimal, "%.2f", 40 + static_cast<double>(i) * 0.05);
    const double value = std::strtod(decimal, nullptr);
    EXPECT_EQ(axis.Value(i), value);
    accumulationDiffers = accumulationDiffers || accumulated != value;
    accumulated += 0.05;
    // The text reads back as the very value.
    const std::string text = axis.ValueText(i);
    double back = 0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, value) << text;
  }
  EXPECT_TRUE(accumulationDiffers);  // so the test tells the two apart
  EXPECT_EQ(Axis("Edit8=40:90:5").ValueText(1), "45");
  EXPECT_EQ(Axis("Edit6=0:1:0.5").ValueText(1), "0.5");
}

TEST(SweepRunCount, OneOrTwoAxes) {
  std::string error;
  EXPECT_EQ(SweepRunCount({Axis("Edit8=40:90:5")}, error), 11u);
  EXPECT_EQ(SweepRunCount({Axis("Edit8=40:90:5"), Axis("Edit21=50:60:5")}, error), 33u);
  EXPECT_FALSE(SweepRunCount({}, error).has_value());
  EXPECT_NE(error.find("one --sweep"), std::string::npos);
  EXPECT_FALSE(SweepRunCount({Axis("Edit8=1:2:1"), Axis("Edit6=1:2:1"), Axis("Edit7=1:2:1")}, error)
                   .has_value());
  EXPECT_FALSE(SweepRunCount({Axis("Edit8=40:90:5"), Axis("ZoneAirTemp[1]=1:2:1")}, error).has_value());
  EXPECT_NE(error.find("both sweeps set Edit8"), std::string::npos) << error;
  EXPECT_FALSE(SweepRunCount({Axis("Edit8=0:9999:1"), Axis("Edit6=0:100:1")}, error).has_value());
  EXPECT_NE(error.find("more than 1000000 runs"), std::string::npos) << error;
}

// A swept value is the decimal it stands for, rounded to the decimals FROM and STEP are
// written with.
TEST(SweepAxis, ValuesAreTheDecimalsTheyStandFor) {
  const struct {
    const char* sweep;
    std::vector<std::string> texts;
  } cases[] = {
      {"LineSpeed=0.1:0.4:0.1", {"0.1", "0.2", "0.3", "0.4"}},
      {"Edit20=0.003:0.012:0.003", {"0.003", "0.006", "0.009", "0.012"}},
      {"Edit6=1e-3:3e-3:1e-3", {"0.001", "0.002", "0.003"}},
      {"Edit8=40:50:5", {"40", "45", "50"}},
      {"Edit8=0.5:2:0.75", {"0.5", "1.25", "2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sweep);
    const SweepAxis axis = Axis(c.sweep);
    ASSERT_EQ(axis.count, c.texts.size());
    for (std::size_t i = 0; i < axis.count; ++i) {
      EXPECT_EQ(axis.ValueText(i), c.texts[i]);
    }
  }
}

TEST(SweepResultFileName, PaddedToTheLargestRunNumber) {
  EXPECT_EQ(SweepResultFileName(1, 11), "result-0001.txt");
  EXPECT_EQ(SweepResultFileName(11, 11), "result-0011.txt");
  EXPECT_EQ(SweepResultFileName(12345, 20000), "result-12345.txt");
  EXPECT_EQ(SweepResultFileName(7, 100000), "result-000007.txt");
}

// The web temperature and residual ratios at the exit of a zone, as the summary holds them.
struct ZoneEnd {
  double temp = 0;
  double residual1 = 0, residual2 = 0;
};

std::vector<ZoneEnd> Ends(const SummaryValues& values) {
  std::vector<ZoneEnd> ends;
  for (const auto& zone : values.zones) {
    ends.push_back({zone.at(0).value(), zone.at(1).value(), zone.at(2).value()});
  }
  return ends;
}

// Summary values whose line end is the last zone's exit.
SummaryValues Values(const std::vector<ZoneEnd>& ends) {
  SummaryValues values;
  for (const ZoneEnd& end : ends) {
    values.zones.push_back({end.temp, end.residual1, end.residual2});
  }
  if (!ends.empty()) {
    values.line = {ends.back().temp, ends.back().residual1, ends.back().residual2};
  }
  return values;
}

// One run with the defaults and `entry` set to `text`, marched without a result file.
struct Single {
  RunOutcome outcome;
  std::vector<ZoneEnd> ends;
};

Single SingleRun(const std::vector<std::pair<std::string, std::string>>& settings) {
  Simulation sim;
  MapEntryTexts entries;
  for (const auto& [entry, text] : settings) entries.ForceText(entry, text);
  RecordedMessages messages;
  RunOptions options;
  options.writeResultFile = false;
  Single single;
  single.outcome = RunSimulation(sim, entries, messages, options);
  if (single.outcome.completed()) {
    for (std::int32_t z = 1; z <= sim.conditions.ZoneCount; ++z) {
      const auto zone = static_cast<std::size_t>(z);
      const auto n = static_cast<std::size_t>(sim.conditions.ZoneStepCount[zone]);
      single.ends.push_back({sim.profile->ProfileTemp[zone][n], sim.profile->ProfileResidual1[zone][n],
                             sim.profile->ProfileResidual2[zone][n]});
    }
  }
  return single;
}

void ExpectSameEnds(const std::vector<ZoneEnd>& actual, const std::vector<ZoneEnd>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t z = 0; z < actual.size(); ++z) {
    EXPECT_EQ(actual[z].temp, expected[z].temp) << "zone " << z + 1;
    EXPECT_EQ(actual[z].residual1, expected[z].residual1) << "zone " << z + 1;
    EXPECT_EQ(actual[z].residual2, expected[z].residual2) << "zone " << z + 1;
  }
}

TEST(RunSweep, EachRunEqualsASingleRun) {
  const std::vector<SweepAxis> axes{Axis("ZoneAirTemp[1]=40:90:5")};
  for (const unsigned threads : {1u, 2u, 3u}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    SweepOptions options;
    options.threads = threads;
    const std::vector<SweepRunResult> runs = RunSweep(MapEntryTexts{}, axes, options);
    ASSERT_EQ(runs.size(), 11u);
    for (std::size_t i = 0; i < runs.size(); ++i) {
      const std::string text = std::to_string(40 + 5 * i);
      ASSERT_EQ(runs[i].valueTexts, std::vector<std::string>{text});
      ASSERT_TRUE(runs[i].outcome.completed()) << runs[i].outcome.message;
      const Single single = SingleRun({{"Edit8", text}});
      ExpectSameEnds(Ends(runs[i].values), single.ends);
    }
    // A hotter zone 1 leaves a warmer web at its exit.
    EXPECT_LT(Ends(runs.front().values)[0].temp, Ends(runs.back().values)[0].temp);
  }
}

TEST(RunSweep, AFailingRunIsRecordedAndTheOthersComplete) {
  const std::vector<SweepAxis> axes{Axis("LineSpeed=0:1:0.5")};
  const std::vector<SweepRunResult> runs = RunSweep(MapEntryTexts{}, axes, SweepOptions{});
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].valueTexts[0], "0");
  EXPECT_EQ(runs[0].outcome.status, RunStatus::ArithmeticFault);
  EXPECT_EQ(runs[0].outcome.message, SingleRun({{"Edit6", "0"}}).outcome.message);
  EXPECT_NE(runs[0].outcome.message.find("Arithmetic error in the initial state"), std::string::npos);
  EXPECT_TRUE(runs[0].values.zones.empty());
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_TRUE(runs[i].outcome.completed()) << runs[i].outcome.message;
    ExpectSameEnds(Ends(runs[i].values), SingleRun({{"Edit6", runs[i].valueTexts[0]}}).ends);
  }
}

TEST(RunSweep, GridVariesTheSecondAxisFastest) {
  const std::vector<SweepAxis> axes{Axis("Edit8=50:70:10"), Axis("Edit21=40:60:20")};
  SweepOptions options;
  options.threads = 2;
  const std::vector<SweepRunResult> runs = RunSweep(MapEntryTexts{}, axes, options);
  const std::vector<std::vector<std::string>> expected{
      {"50", "40"}, {"50", "60"}, {"60", "40"}, {"60", "60"}, {"70", "40"}, {"70", "60"}};
  ASSERT_EQ(runs.size(), expected.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].valueTexts, expected[i]);
    ExpectSameEnds(Ends(runs[i].values),
                   SingleRun({{"Edit8", expected[i][0]}, {"Edit21", expected[i][1]}}).ends);
  }
}

TEST(RunSweep, InputStopsAreRecordedWithTheirMessage) {
  // Increment of z of 0.01 m gives zones of 3000 steps, more than a zone can hold.
  const std::vector<SweepAxis> axes{Axis("StepLength=0.01:0.1:0.09")};
  const std::vector<SweepRunResult> runs = RunSweep(MapEntryTexts{}, axes, SweepOptions{});
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].outcome.status, RunStatus::StoppedAtInput);
  EXPECT_EQ(runs[0].outcome.message, SingleRun({{"Edit20", "0.01"}}).outcome.message);
  EXPECT_TRUE(runs[1].outcome.completed());
}

TEST(RunSweep, ResultFilesAreWrittenOnlyWhenAsked) {
  ScratchDir dir;
  const std::vector<SweepAxis> axes{Axis("ZoneAirTemp[2]=60:70:10")};
  MapEntryTexts base;
  base.SetText("Edit250", dir.File("not-written.txt"));
  (void)RunSweep(base, axes, SweepOptions{});
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  SweepOptions options;
  options.resultDirectory = dir.path().string();
  const auto runs = RunSweep(base, axes, options);
  ASSERT_TRUE(runs[1].outcome.completed());
  // Each file is what a single run with that value writes.
  Simulation sim;
  MapEntryTexts single;
  single.SetText("Edit21", "70");
  single.SetText("Edit250", dir.File("single.txt"));
  RecordedMessages messages;
  ASSERT_TRUE(RunSimulation(sim, single, messages).completed());
  EXPECT_EQ(FileBytes(dir.File("result-0002.txt")), FileBytes(dir.File("single.txt")));
  EXPECT_FALSE(FileBytes(dir.File("result-0001.txt")).empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("not-written.txt")));

  // A directory that does not exist: every run reports the file it could not open.
  options.resultDirectory = dir.File("missing");
  const auto failed = RunSweep(base, axes, options);
  for (const SweepRunResult& run : failed) {
    EXPECT_EQ(run.outcome.status, RunStatus::FileNotOpened);
    EXPECT_EQ(run.outcome.message, "File can not open!");
  }
}

// The judging group's columns: after the web temperature and residual ratios, its line
// columns and then its columns of each zone.
const std::string judgingLine =
    "line end residual solvent (g/m2),line end residual solvent (% of solid),"
    "least boiling margin (K),highest zone exhaust LEL (%),residual target reached at (m),"
    "residual target missed by (g/m2)";
const std::string stepCheck = ",step check web temperature (K),step check residual ratio (-)";
std::string JudgingZone(int zone) {
  const std::string z = ",zone " + std::to_string(zone) + " ";
  return z + "exit residual solvent (g/m2)" + z + "least boiling margin (K)" + z +
         "solvent-1 evaporation rate (kg/h)" + z + "solvent-2 evaporation rate (kg/h)" + z +
         "exhaust LEL (%)" + z + "least exhaust flow (m3/h)";
}

TEST(FormatSweepSummary, HeaderAndRecords) {
  const std::vector<SweepAxis> axes{Axis("LineSpeed=0:1:0.5")};
  std::vector<SweepRunResult> runs(3);
  runs[0].valueTexts = {"0"};
  runs[0].outcome.status = RunStatus::ArithmeticFault;
  runs[0].outcome.message = "Arithmetic error in the initial state: division by zero, \"here\"";
  runs[1].valueTexts = {"0.5"};
  runs[1].values = Values({{58.25, 0.5, 0.125}});
  runs[2].valueTexts = {"1"};
  runs[2].values = Values({{50, 0.25, 0.75}, {60, 0.0625, 1e-05}});
  EXPECT_EQ(FormatSweepSummary(axes, runs, DefaultModelName),
            "run,LineSpeed,outcome,message,line end web temperature (C),"
            "line end solvent-1 residual ratio,line end solvent-2 residual ratio,"
            "zone 1 exit web temperature (C),zone 1 exit solvent-1 residual ratio,"
            "zone 1 exit solvent-2 residual ratio,"
            "zone 2 exit web temperature (C),zone 2 exit solvent-1 residual ratio,"
            "zone 2 exit solvent-2 residual ratio," + judgingLine + JudgingZone(1) + JudgingZone(2) +
                stepCheck + "\r\n"
                "1,0,arithmetic fault,\"Arithmetic error in the initial state: division by zero, "
                "\"\"here\"\"\",,,,,,,,," + std::string(20, ',') + "\r\n"
                "2,0.5,completed,,58.25,0.5,0.125,58.25,0.5,0.125,,," + std::string(20, ',') + "\r\n"
                "3,1,completed,,60,0.0625,1e-05,50,0.25,0.75,60,0.0625,1e-05" + std::string(20, ',') +
                "\r\n");

  // Two axes, and no completed run: no zone columns at all.
  const std::vector<SweepAxis> grid{Axis("Edit8=1:1:1"), Axis("Edit20=0:0:1")};
  std::vector<SweepRunResult> stopped(1);
  stopped[0].valueTexts = {"1", "0"};
  stopped[0].outcome.status = RunStatus::StoppedAtInput;
  stopped[0].outcome.message = "Input value is not correct!";
  EXPECT_EQ(FormatSweepSummary(grid, stopped, DefaultModelName),
            "run,Edit8,Edit20,outcome,message,line end web temperature (C),"
            "line end solvent-1 residual ratio,line end solvent-2 residual ratio," + judgingLine +
                stepCheck + "\r\n1,1,0,stopped at input,Input value is not correct!,,," + std::string(8, ',') +
                "\r\n");
}

TEST(RunStatusText, EveryStatus) {
  EXPECT_EQ(RunStatusText(RunStatus::Completed), "completed");
  EXPECT_EQ(RunStatusText(RunStatus::StoppedAtInput), "stopped at input");
  EXPECT_EQ(RunStatusText(RunStatus::FileNotOpened), "file not opened");
  EXPECT_EQ(RunStatusText(RunStatus::WriteFailed), "write failed");
  EXPECT_EQ(RunStatusText(RunStatus::ArithmeticFault), "arithmetic fault");
}

TEST(RunSweep, RunsAreHandedOnInRunOrderAndTallied) {
  const std::vector<SweepAxis> axes{Axis("Edit6=0:1.9:0.1")};  // run 1 fails at once
  SweepOptions options;
  options.threads = 4;
  std::vector<std::size_t> handed;
  const SweepTally tally = RunSweepInOrder(MapEntryTexts{}, axes, options,
                                           [&](std::size_t index, const SweepRunResult& run) {
    handed.push_back(index);
    EXPECT_EQ(run.valueTexts, std::vector<std::string>{axes[0].ValueText(index)});
  });
  std::vector<std::size_t> expected(20);
  for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
  EXPECT_EQ(handed, expected);
  EXPECT_EQ(tally.runs, 20u);
  EXPECT_EQ(tally.failed, 1u);
  EXPECT_EQ(tally.firstFailure, RunStatus::ArithmeticFault);
}

TEST(SweepSummaryZones, KnownBeforeTheRuns) {
  const std::vector<std::pair<std::vector<SweepAxis>, std::size_t>> cases{
      {{Axis("Edit6=1:2:1")}, 2},
      {{Axis("ZoneAirTemp[2]=0:10:10")}, 2},
      {{Axis("ZoneAirTemp[2]=0:0:1")}, 1},
      {{Axis("ZoneAirTemp[3]=0:5:5")}, 3},
      {{Axis("ZoneAirTemp[2]=0:5:5"), Axis("ZoneAirTemp[3]=0:5:5")}, 3},
  };
  for (const auto& [axes, zones] : cases) {
    EXPECT_EQ(SweepSummaryZones(MapEntryTexts{}, axes), zones) << axes[0].name;
  }
}

}  // namespace
}  // namespace tovimar
