#include "study/compare_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/csv.h"
#include "format/file_writer.h"
#include "input/field_catalogue.h"
#include "model/errors.h"
#include "run/run_sequence.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

RunResults ResultsOf(const std::vector<std::pair<std::string, std::string>>& changes) {
  MapEntryTexts entries;
  for (const auto& [entry, text] : changes) entries.ForceText(entry, text);
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  EXPECT_TRUE(RunSimulation(sim, entries, options).completed());
  return DeriveResults(sim);
}

std::size_t CountIn(OutputScope scope) {
  std::size_t n = 0;
  for (const OutputQuantity* q : QuantitiesIn(InSummary)) n += q->scope == scope ? 1 : 0;
  return n;
}

TEST(CompareRuns, RowsHoldEachRunsLineAndZoneValues) {
  PinnedRuns pinned;
  pinned.Pin(" baseline ", ResultsOf({}));
  pinned.Pin("one zone, Keff 1.8", ResultsOf({{"Edit205", "1.8"}, {ZoneEntryName(2, 1), ""}}));
  ASSERT_EQ(pinned.runs().size(), 2U);
  EXPECT_EQ(pinned.runs()[0].name, "baseline");

  const std::vector<ComparisonRow> rows = ComparisonRows(pinned.runs());
  const std::size_t lineRows = CountIn(OutputScope::Line);
  ASSERT_EQ(rows.size(), lineRows + 2 * CountIn(OutputScope::Zone));
  const OutputQuantity& endTemp = *FindOutput("LineEndWebTemp");
  bool sawEndTemp = false;
  for (std::size_t i = 0; i < lineRows; ++i) {
    EXPECT_EQ(rows[i].zone, 0);
    if (rows[i].quantity != &endTemp) continue;
    sawEndTemp = true;
    EXPECT_EQ(rows[i].title, "line end web temperature (C)");
    EXPECT_EQ(rows[i].values[0], LineValue(endTemp, pinned.runs()[0].results));
    EXPECT_EQ(rows[i].values[1], LineValue(endTemp, pinned.runs()[1].results));
    EXPECT_NE(rows[i].values[0], rows[i].values[1]);
  }
  EXPECT_TRUE(sawEndTemp);
  EXPECT_TRUE(pinned.runs()[0].results.summary.zones.size() == 2U);
  // Zone 2 rows: the one-zone run has no value there.
  const ComparisonRow& last = rows.back();
  EXPECT_EQ(last.zone, 2);
  EXPECT_EQ(last.values[0], ZoneValue(*last.quantity, pinned.runs()[0].results, 2));
  EXPECT_FALSE(last.values[1].has_value());
}

TEST(CompareRuns, CsvHasANameColumnPerRun) {
  PinnedRuns pinned;
  const RunResults base = ResultsOf({});
  pinned.Pin("a", base);
  pinned.Pin("b \"2\"", ResultsOf({{ZoneEntryName(2, 1), ""}}));
  const std::string csv = FormatComparisonCsv(pinned.runs());
  EXPECT_EQ(csv.rfind("quantity,a,\"b \"\"2\"\"\"\r\n", 0), 0U) << csv.substr(0, 80);
  const OutputQuantity& endTemp = *FindOutput("LineEndWebTemp");
  const std::string record = "line end web temperature (C)," + ShortestNumberText(*LineValue(endTemp, base)) + ",";
  EXPECT_NE(csv.find("\r\n" + record), std::string::npos);
  // The last record: a zone-2 quantity, empty for the one-zone run.
  EXPECT_EQ(csv.substr(csv.size() - 3), ",\r\n");

  test_support::ScratchDir dir;
  WriteComparisonCsv(dir.File("c.csv"), pinned.runs());
  EXPECT_EQ(test_support::FileBytes(dir.File("c.csv")), csv);
  EXPECT_THROW(WriteComparisonCsv(dir.File("missing/c.csv"), pinned.runs()), FileError);
}

TEST(CompareRuns, PinRefusesBadNamesAndASixthRun) {
  PinnedRuns pinned;
  const RunResults r = ResultsOf({});
  for (int i = 1; i <= 5; ++i) pinned.Pin("run " + std::to_string(i), r);
  struct Case {
    std::string name;
    std::string message;
  };
  const std::vector<Case> cases{
      {"  ", "A pinned run needs a name."},
      {"run 2", "A run named \"run 2\" is pinned already."},
      {"run 6", "At most 5 runs can be pinned; unpin one first."},
  };
  for (const Case& c : cases) {
    try {
      pinned.Pin(c.name, r);
      ADD_FAILURE() << c.name;
    } catch (const InputError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  EXPECT_FALSE(pinned.Unpin("run 9"));
  EXPECT_TRUE(pinned.Unpin("run 2"));
  pinned.Pin("run 6", r);
  EXPECT_EQ(pinned.runs().back().name, "run 6");
  EXPECT_EQ(pinned.runs()[1].name, "run 3");
}

}  // namespace
}  // namespace tovimar

namespace tovimar {
namespace {

PinnedRun RunOfInputs(const std::vector<std::pair<std::string, std::string>>& changes, LineSettings line = {}) {
  MapEntryTexts entries;
  for (const auto& [entry, text] : changes) entries.ForceText(entry, text);
  return {"run", RunResults{}, InputsOf(entries, line)};
}

const ConditionRow* RowTitled(const std::vector<ConditionRow>& rows, const std::string& title) {
  for (const ConditionRow& row : rows) {
    if (row.title == title) return &row;
  }
  return nullptr;
}

// The conditions side by side: every field some run gives, the line settings some run
// changes, and which differ (as numbers where they are numbers).
TEST(CompareRuns, ConditionRowsShowWhichInputsDiffer) {
  LineSettings wide;
  wide.WebWidth = 1.6;
  wide.ZoneExhaustFlow[2] = 8000;
  const std::vector<PinnedRun> runs{
      RunOfInputs({{"Edit6", "1.0"}, {"Edit31", "70"}}),
      RunOfInputs({{"Edit6", "1"}, {"Edit205", "1.8"}}, wide)};
  const std::vector<ConditionRow> rows = ConditionRows(runs);
  struct Case {
    const char* title;
    std::vector<std::string> texts;
    bool differs;
  };
  const Case cases[] = {
      {"Speed (m/s)", {"1.0", "1"}, false},  // the same number
      {"Dryer Efficiency Parameter Keff", {"1.5", "1.8"}, true},
      {"Outer Temperature of zone 3 (deg C)", {"70", ""}, true},  // given by one run only
      {"Coated web width (m)", {"1", "1.6"}, true},
      {"Exhaust flow of zone 2 (m3/h at 0 \u2103 and 101.325 kPa)", {"", "8000"}, true},  // not given: none
  };
  for (const Case& c : cases) {
    const ConditionRow* row = RowTitled(rows, c.title);
    ASSERT_NE(row, nullptr) << c.title;
    EXPECT_EQ(row->texts, c.texts) << c.title;
    EXPECT_EQ(row->differs, c.differs) << c.title;
  }
  // Fields no run gives and settings no run changes have no row; fields in the data file's
  // order, then the line settings.
  EXPECT_EQ(RowTitled(rows, "Outer Temperature of zone 4 (deg C)"), nullptr);
  EXPECT_EQ(RowTitled(rows, "Lower explosive limit of solvent-1 (vol %)"), nullptr);
  EXPECT_EQ(rows.front().title, "Specific heat of the polymer (kJ/(kg K))");
  EXPECT_EQ(rows.back().title, "Exhaust flow of zone 2 (m3/h at 0 \u2103 and 101.325 kPa)");
}

}  // namespace
}  // namespace tovimar
