#include "support/recorded.h"
#include "run/result_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "format/fixed_format.h"
#include "support/scratch_dir.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

const std::string Heading =
    "  [SIMULATION RESULTS]\r\n"
    "   TIME     LENGTH     TEMP     WEIGHT1  RESIDUAL RAT1   WEIGHT2  RESIDUAL RAT2\r\n"
    "    (s)       (m)     (deg-C)   (kg/m2)       (-)         (kg/m2)       (-)\r\n"
    "\r\n";

// The state of one profile entry as the table shows it.
struct Entry {
  double time = 0;
  double temp = 15;
  double weight1 = 0.0417;
  double residual1 = 1;
  double weight2 = 0.01529;
  double residual2 = 1;
};

void SetEntry(Simulation& sim, int zone, int r, const Entry& e) {
  DryingProfile& p = *sim.profile;
  const auto z = static_cast<std::size_t>(zone);
  const auto i = static_cast<std::size_t>(r);
  p.ProfileTime[z][i] = e.time;
  p.ProfileTemp[z][i] = e.temp;
  p.ProfileSolvent1Weight[z][i] = e.weight1;
  p.ProfileResidual1[z][i] = e.residual1;
  p.ProfileSolvent2Weight[z][i] = e.weight2;
  p.ProfileResidual2[z][i] = e.residual2;
}

Simulation TableSimulation() {
  Simulation sim;
  sim.conditions.LineSpeed = 1.0;
  sim.state.TimeIncrement = 0.1;
  return sim;
}

std::string TableOf(const Simulation& sim, int k, int n) {
  std::string out;
  FormatResultTable(out, sim, k, n);
  return out;
}

TEST(ResultTable, HeadingLinesAreExact) {
  const std::vector<std::string> lines{
      "  [SIMULATION RESULTS]",
      "   TIME     LENGTH     TEMP     WEIGHT1  RESIDUAL RAT1   WEIGHT2  RESIDUAL RAT2",
      "    (s)       (m)     (deg-C)   (kg/m2)       (-)         (kg/m2)       (-)"};
  EXPECT_EQ(lines[0].size(), 22U);
  EXPECT_EQ(lines[1].size(), 79U);
  EXPECT_EQ(lines[2].size(), 75U);
  EXPECT_EQ(Heading, lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n\r\n");
}

// n = 0: the heading, the empty line and exactly one data line, the entry state; with the
// window's defaults it is the 76 characters of the first line of zone 1.
TEST(ResultTable, SingleEntryOfTheDefaults) {
  Simulation sim = test_support::DefaultSimulation();
  PrepareInitialState(sim);
  const std::string firstLine =
      "   0.000     0.000     15.00    0.04170      1.0000      0.01529      1.0000";
  EXPECT_EQ(firstLine.size(), 76U);
  EXPECT_EQ(TableOf(sim, 1, 0), Heading + firstLine + "\r\n");
}

// For values in their usual ranges every field has its fixed character positions.
TEST(ResultTable, FieldsStandInTheirColumns) {
  Simulation sim = TableSimulation();
  SetEntry(sim, 1, 0, Entry{});
  SetEntry(sim, 1, 1, Entry{.time = 123.4567, .temp = 59.996, .weight1 = 0.0012345,
                            .residual1 = 0.02961, .weight2 = 0.0098765, .residual2 = 0.64594});
  const std::string table = TableOf(sim, 1, 1);
  const std::string line = table.substr(table.size() - 78, 76);
  ASSERT_EQ(table.substr(table.size() - 2), "\r\n");
  struct Field {
    std::size_t first;
    std::size_t last;
    const char* text;
  };
  for (const Field& f : {Field{0, 7, " 123.457"}, Field{11, 17, "  0.100"}, Field{22, 27, " 60.00"},
                         Field{32, 38, "0.00123"}, Field{45, 50, "0.0296"},
                         Field{57, 63, "0.00988"}, Field{70, 75, "0.6459"}}) {
    EXPECT_EQ(line.substr(f.first, f.last - f.first + 1), f.text) << line;
  }
  EXPECT_EQ(line, " 123.457     0.100     60.00    0.00123      0.0296      0.00988      0.6459");
}

TEST(ResultTable, NegativeStepCountWritesTheHeadingOnly) {
  const Simulation sim = TableSimulation();
  EXPECT_EQ(TableOf(sim, 1, -1), Heading);
  EXPECT_EQ(TableOf(sim, 3, -100), Heading);
}

TEST(ResultTable, AppendsToWhatTheStringHolds) {
  Simulation sim = TableSimulation();
  SetEntry(sim, 1, 0, Entry{});
  std::string out = "before\r\n";
  FormatResultTable(out, sim, 1, 0);
  EXPECT_EQ(out.substr(0, 8), "before\r\n");
  EXPECT_EQ(out.substr(8), TableOf(sim, 1, 0));
}

struct LineCase {
  const char* name;
  Entry entry;
  const char* line;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class ResultTableLine : public ::testing::TestWithParam<LineCase> {};

// Padding only at the listed lengths; a longer text pushes the rest of the line to the right
// and is never cut.
TEST_P(ResultTableLine, HasTheExpectedBytes) {
  const LineCase& c = GetParam();
  Simulation sim = TableSimulation();
  SetEntry(sim, 1, 0, c.entry);
  EXPECT_EQ(TableOf(sim, 1, 0), Heading + c.line + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ResultTableLine,
    ::testing::Values(
        LineCase{"Defaults", Entry{},
                 "   0.000     0.000     15.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TimeOfSixCharacters", Entry{.time = 61.3},
                 "  61.300     0.000     15.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TimeOfEightCharacters", Entry{.time = 1000},
                 "1000.000     0.000     15.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TimeOfNineCharacters", Entry{.time = 12345.6789},
                 "12345.679     0.000     15.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TimeRoundedToEightDigits", Entry{.time = 123456.789},
                 "123456.790     0.000     15.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TimeInExponentForm", Entry{.time = 123456789},
                 "1.2345679E008     0.000     15.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"NegativeTemperature", Entry{.temp = -5},
                 "   0.000     0.000     -5.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TemperatureOfSixCharacters", Entry{.temp = -50},
                 "   0.000     0.000    -50.00    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TemperatureOfSevenCharacters", Entry{.temp = 1234.5},
                 "   0.000     0.000    1234.50    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"TemperatureInExponentForm", Entry{.temp = -1234567},
                 "   0.000     0.000    -1.23457E06    0.04170      1.0000      0.01529      1.0000"},
        LineCase{"DriedOut",
                 Entry{.weight1 = 0, .residual1 = 0, .weight2 = 0.00000049, .residual2 = 0.00005},
                 "   0.000     0.000     15.00    0.00000      0.0000      0.00000      0.0001"},
        LineCase{"TinyNegativeWeightHasNoSign", Entry{.weight1 = -0.000001},
                 "   0.000     0.000     15.00    0.00000      1.0000      0.01529      1.0000"},
        LineCase{"WeightOfEightCharacters", Entry{.weight1 = 12.5},
                 "   0.000     0.000     15.00    12.50000      1.0000      0.01529      1.0000"},
        LineCase{"ResidualAboveOne", Entry{.residual2 = 10.123456},
                 "   0.000     0.000     15.00    0.04170      1.0000      0.01529      10.1235"}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// LENGTH is r x TimeIncrement x LineSpeed in that order: (3 x 0.01) x 0.15 is the double
// just below 0.0045, which gives 0.004, while 3 x (0.01 x 0.15) would give 0.005.
TEST(ResultTable, LengthIsRowTimesIncrementTimesSpeedInThatOrder) {
  Simulation sim;
  sim.state.TimeIncrement = 0.01;
  sim.conditions.LineSpeed = 0.15;
  for (int r = 0; r <= 3; ++r) {
    SetEntry(sim, 1, r, Entry{.time = 0.01 * r});
  }
  ASSERT_EQ(FixedFormat(3 * (0.01 * 0.15), 7, 3), "0.005");
  EXPECT_EQ(TableOf(sim, 1, 3),
            Heading +
                "   0.000     0.000     15.00    0.04170      1.0000      0.01529      1.0000\r\n"
                "   0.010     0.002     15.00    0.04170      1.0000      0.01529      1.0000\r\n"
                "   0.020     0.003     15.00    0.04170      1.0000      0.01529      1.0000\r\n"
                "   0.030     0.004     15.00    0.04170      1.0000      0.01529      1.0000\r\n");
}

// LENGTH restarts at 0.000 in every zone; from 100 m on it has 7 characters and no padding.
TEST(ResultTable, LongZoneLengths) {
  Simulation sim = TableSimulation();
  for (int r = 0; r <= MaxStepsPerZone; ++r) {
    SetEntry(sim, 4, r, Entry{.time = 0.1 * r});
  }
  const std::string table = TableOf(sim, 4, MaxStepsPerZone);
  std::vector<std::string> lines;
  for (std::size_t start = Heading.size(); start < table.size();) {
    const std::size_t end = table.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(table.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(MaxStepsPerZone) + 1);
  EXPECT_EQ(lines[0].substr(0, 18), "   0.000     0.000");
  EXPECT_EQ(lines[999].substr(0, 18), "  99.900    99.900");
  EXPECT_EQ(lines[1000].substr(0, 18), " 100.000   100.000");
  EXPECT_EQ(lines[1999], " 199.900   199.900     15.00    0.04170      1.0000      0.01529      1.0000");
}

// Each zone's table reads its own row.
TEST(ResultTable, ZoneReadsItsOwnRow) {
  Simulation sim = TableSimulation();
  SetEntry(sim, 1, 0, Entry{});
  SetEntry(sim, 14, 0, Entry{.time = 60.05, .temp = 48.125, .weight1 = 0.0000051,
                             .residual1 = 0.000122, .weight2 = 0.00321, .residual2 = 0.2099});
  EXPECT_EQ(TableOf(sim, 14, 0),
            Heading + "  60.050     0.000     48.13    0.00001      0.0001      0.00321      0.2099\r\n");
}

TEST(ResultTable, RefusesZonesAndStepCountsOutsideTheProfile) {
  const Simulation sim = TableSimulation();
  std::string out;
  EXPECT_THROW(FormatResultTable(out, sim, 0, 10), StepCountError);
  EXPECT_THROW(FormatResultTable(out, sim, 15, 10), StepCountError);
  EXPECT_THROW(FormatResultTable(out, sim, 1, MaxStepsPerZone + 1), StepCountError);
  EXPECT_TRUE(out.empty());
}

TEST(ResultTable, WriteAppendsToTheExistingFile) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  {
    std::ofstream head(path, std::ios::binary);
    head << "HEAD\r\n";
  }
  Simulation sim = TableSimulation();
  SetEntry(sim, 2, 0, Entry{});
  SetEntry(sim, 2, 1, Entry{.time = 0.1});
  RecordedMessages messages;
  ASSERT_TRUE(WriteResultTable(sim, ResultFile(path), messages, 2, 1));
  EXPECT_EQ(FileBytes(path), "HEAD\r\n" + TableOf(sim, 2, 1));
  EXPECT_TRUE(messages.messages.empty());
}

TEST(ResultTable, WriteToAMissingFileGivesTheMessageAndCreatesNothing) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  const Simulation sim = TableSimulation();
  RecordedMessages messages;
  EXPECT_FALSE(WriteResultTable(sim, ResultFile(path), messages, 1, 5));
  EXPECT_EQ(messages.messages, std::vector<std::string>{"File can not open!"});
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tovimar
