// End-to-end tests of tovimar-batch's profile CSV (--csv) and sweeps (--sweep): the
// executable is started in a scratch directory and its files are read back.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "batch_process.h"
#include "format/fixed_format.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::BatchFinished;
using test_support::FileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

using Record = std::vector<std::string>;

// Reads RFC 4180 text: records end with CR LF; a quoted field may hold commas, doubled
// quotes and line breaks. A bare LF outside quotes is a fault of the text.
std::vector<Record> ParseCsv(const std::string& text) {
  std::vector<Record> records;
  Record record;
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (quoted) {
      if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (ch == '"') {
        quoted = false;
      } else {
        field += ch;
      }
    } else if (ch == '"' && field.empty()) {
      quoted = true;
    } else if (ch == ',') {
      record.push_back(field);
      field.clear();
    } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      record.push_back(field);
      field.clear();
      records.push_back(record);
      record.clear();
      ++i;
    } else {
      EXPECT_NE(ch, '\n') << "a bare LF at byte " << i;
      EXPECT_NE(ch, '"') << "a quote inside an unquoted field at byte " << i;
      field += ch;
    }
  }
  EXPECT_TRUE(field.empty() && record.empty()) << "the text does not end with CR LF";
  return records;
}

double Number(const std::string& text) {
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_TRUE(result.ec == std::errc() && result.ptr == text.data() + text.size()) << text;
  return value;
}

// The data lines of every "[SIMULATION RESULTS]" table of a result file, split into their
// seven fields.
std::vector<std::vector<Record>> ResultTables(const std::string& file) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find("\r\n", start);
    if (end == std::string::npos) end = file.size();
    lines.push_back(file.substr(start, end - start));
    start = end + 2;
  }
  std::vector<std::vector<Record>> tables;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != "  [SIMULATION RESULTS]") continue;
    std::vector<Record> rows;
    for (std::size_t j = i + 4; j < lines.size() && !lines[j].empty(); ++j) {
      std::istringstream in(lines[j]);
      Record fields;
      std::string field;
      while (in >> field) fields.push_back(field);
      rows.push_back(fields);
    }
    tables.push_back(rows);
  }
  return tables;
}

// The result table's columns: the CSV column each one shows, and its P and D.
struct TableColumn {
  std::size_t csvColumn;
  int precision;
  int decimals;
};
const std::vector<TableColumn> TableColumns{
    {2, 8, 3},  // TIME          <- time (s)
    {3, 7, 3},  // LENGTH        <- position in zone (m)
    {5, 6, 2},  // TEMP          <- web temperature (C)
    {6, 7, 5},  // WEIGHT1       <- solvent-1 weight
    {8, 6, 4},  // RESIDUAL RAT1 <- solvent-1 residual ratio
    {7, 7, 5},  // WEIGHT2       <- solvent-2 weight
    {9, 6, 4},  // RESIDUAL RAT2 <- solvent-2 residual ratio
};

// Every CSV record against the result file's line of the same zone and step.
void ExpectCsvMatchesResultFile(const std::string& csv, const std::string& resultFile,
                                std::size_t zones) {
  const std::vector<Record> records = ParseCsv(csv);
  const std::vector<std::vector<Record>> tables = ResultTables(resultFile);
  ASSERT_EQ(tables.size(), zones);
  std::size_t rows = 0;
  for (const auto& table : tables) rows += table.size();
  ASSERT_EQ(records.size(), 1 + rows);
  ASSERT_EQ(records[0].size(), 16u);
  EXPECT_EQ(records[0][0], "zone");
  double zoneStart = 0;
  std::size_t r = 1;
  for (std::size_t z = 0; z < tables.size(); ++z) {
    for (std::size_t step = 0; step < tables[z].size(); ++step, ++r) {
      SCOPED_TRACE("zone " + std::to_string(z + 1) + " step " + std::to_string(step));
      const Record& record = records[r];
      const Record& row = tables[z][step];
      ASSERT_EQ(record.size(), 16u);
      ASSERT_EQ(row.size(), TableColumns.size());
      EXPECT_EQ(record[0], std::to_string(z + 1));
      EXPECT_EQ(record[1], std::to_string(step));
      for (std::size_t c = 0; c < TableColumns.size(); ++c) {
        const TableColumn& column = TableColumns[c];
        EXPECT_EQ(FixedFormat(Number(record[column.csvColumn]), column.precision, column.decimals),
                  row[c])
            << "column " << record.size() << " " << column.csvColumn;
      }
      // Along the line: the previous zones' exits plus the position in the zone.
      EXPECT_EQ(Number(record[4]), zoneStart + Number(record[3]));
    }
    zoneStart = Number(records[r - 1][4]);
  }
}

TEST(BatchCsv, RecordsEqualTheResultFileOfTheSameRun) {
  ScratchDir dir;
  BatchFinished f = StartBatch(dir, {"--csv", "profile.csv"});
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_EQ(f.err.rfind("tovimar-batch: Step check: ", 0), 0u) << f.err;
  ExpectCsvMatchesResultFile(FileBytes(dir.File("profile.csv")), FileBytes(dir.File("result.txt")), 2);

  // Three zones, a hotter start, a zone length that is not a whole number of steps.
  f = StartBatch(dir, {"--set", "Edit7=25", "--set", "ZoneAirTemp[3]=95", "--set", "Edit32=12.34",
                       "--set", "Edit33=0.0", "--set", "Edit34=0.001", "--set", "Edit35=0.03",
                       "--set", "Edit36=0.05", "-o", "three.txt", "--csv", "three.csv"});
  ASSERT_EQ(f.status, 0) << f.err;
  ExpectCsvMatchesResultFile(FileBytes(dir.File("three.csv")), FileBytes(dir.File("three.txt")), 3);
}

TEST(BatchCsv, NoCsvFromARunThatDidNotComplete) {
  ScratchDir dir;
  test_support::PutFileBytes(dir.File("old.csv"), "earlier");
  const BatchFinished f = StartBatch(dir, {"--set", "LineSpeed=0", "--csv", "old.csv"});
  EXPECT_EQ(f.status, 5);
  EXPECT_EQ(FileBytes(dir.File("old.csv")), "earlier");
  const BatchFinished g = StartBatch(dir, {"--set", "Edit1=x", "--csv", "new.csv"});
  EXPECT_EQ(g.status, 3);
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.csv")));
}

TEST(BatchCsv, UnwritableCsvIsReported) {
  ScratchDir dir;
  const BatchFinished f = StartBatch(dir, {"--csv", "no/such/profile.csv"});
  EXPECT_EQ(f.status, 4);
  EXPECT_EQ(f.err,
            "tovimar-batch: Cannot create the profile CSV file \"no/such/profile.csv\": No such file "
            "or directory.\n");
  // Refused before the run: no result file either.
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
}

// The summary's records by run, checked for shape.
std::vector<Record> SummaryRecords(const std::string& text, std::size_t axes, std::size_t zones) {
  std::vector<Record> records = ParseCsv(text);
  for (const Record& record : records) {
    // The web and residual ratios, then the judging group (line quantities and per zone),
    // then the step check.
    EXPECT_EQ(record.size(), 1 + axes + 2 + (3 + 3 * zones) + (6 + 6 * zones) + 2);
  }
  return records;
}

TEST(BatchSweep, ElevenValuesEqualElevenSingleRuns) {
  ScratchDir dir;
  const BatchFinished f =
      StartBatch(dir, {"--sweep", "ZoneAirTemp[1]=40:90:5", "--summary", "summary.csv",
                       "--sweep-results", "runs"});
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_EQ(f.err, "");
  EXPECT_EQ(f.out, "");
  const std::vector<Record> records = SummaryRecords(FileBytes(dir.File("summary.csv")), 1, 2);
  ASSERT_EQ(records.size(), 12u);
  EXPECT_EQ(records[0][1], "ZoneAirTemp[1]");
  for (std::size_t i = 1; i <= 11; ++i) {
    SCOPED_TRACE("run " + std::to_string(i));
    const Record& record = records[i];
    const std::string value = std::to_string(40 + 5 * (i - 1));
    EXPECT_EQ(record[0], std::to_string(i));
    EXPECT_EQ(record[1], value);
    EXPECT_EQ(record[2], "completed");
    EXPECT_EQ(record[3], "");
    // The single run with the same value, and its profile.
    const BatchFinished single =
        StartBatch(dir, {"--set", "ZoneAirTemp[1]=" + value, "-o", "single.txt", "--csv", "single.csv"});
    ASSERT_EQ(single.status, 0) << single.err;
    const std::vector<Record> profile = ParseCsv(FileBytes(dir.File("single.csv")));
    ASSERT_EQ(profile.size(), 603u);
    const Record& zone1Exit = profile[301];
    const Record& zone2Exit = profile[602];
    ASSERT_EQ(zone1Exit[0] + "/" + zone1Exit[1], "1/300");
    ASSERT_EQ(zone2Exit[0] + "/" + zone2Exit[1], "2/300");
    // Temperature, residual ratio 1 and 2: the same shortest texts, so the same doubles.
    const Record lineEnd{zone2Exit[5], zone2Exit[8], zone2Exit[9]};
    EXPECT_EQ(Record(record.begin() + 4, record.begin() + 7), lineEnd);
    EXPECT_EQ(Record(record.begin() + 7, record.begin() + 10),
              (Record{zone1Exit[5], zone1Exit[8], zone1Exit[9]}));
    EXPECT_EQ(Record(record.begin() + 10, record.begin() + 13), lineEnd);
    // The run's result file is the single run's, byte for byte.
    char name[32];
    std::snprintf(name, sizeof name, "runs/result-%04zu.txt", i);
    EXPECT_EQ(FileBytes(dir.File(name)), FileBytes(dir.File("single.txt"))) << name;
  }
}

TEST(BatchSweep, AFailingValueIsReportedInItsRecord) {
  ScratchDir dir;
  const BatchFinished f = StartBatch(dir, {"--sweep", "LineSpeed=0:1:0.5"});
  EXPECT_EQ(f.status, 5) << f.err;  // the status of the first run that did not complete
  EXPECT_EQ(f.err,
            "tovimar-batch: 1 of 3 runs did not complete; the summary gives the outcome of each.\n");
  // No result file is written unless asked.
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
  const std::vector<Record> records = SummaryRecords(f.out, 1, 2);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[1][1], "0");
  EXPECT_EQ(records[1][2], "arithmetic fault");
  // The same message a single run with that speed gives.
  const BatchFinished single = StartBatch(dir, {"--set", "LineSpeed=0", "-o", "zero.txt"});
  EXPECT_EQ(single.status, 5);
  EXPECT_EQ("tovimar-batch: " + records[1][3] + "\n", single.err);
  for (std::size_t c = 4; c < records[1].size(); ++c) {
    EXPECT_EQ(records[1][c], "") << "column " << c;
  }
  EXPECT_EQ(records[2][1], "0.5");
  EXPECT_EQ(records[3][1], "1");
  for (std::size_t r = 2; r <= 3; ++r) {
    EXPECT_EQ(records[r][2], "completed");
    // The web temperature and residual ratios are all there; without line settings the
    // judging group has no exhaust LEL and no residual target.
    for (std::size_t c = 4; c < 4 + 3 + 3 * 2; ++c) {
      EXPECT_FALSE(records[r][c].empty()) << "run " << r << " column " << c;
    }
  }
}

TEST(BatchSweep, GridFromADataFile) {
  ScratchDir dir;
  // The base conditions come from a data file with a slower line.
  ASSERT_EQ(StartBatch(dir, {"--set", "LineSpeed=0.5", "--write-data", "base.txt"}).status, 0);
  const BatchFinished f = StartBatch(
      dir, {"base.txt", "--sweep", "Edit8=50:60:10", "--sweep", "ZoneAirTemp[2]=55:65:5", "--jobs", "2"});
  ASSERT_EQ(f.status, 0) << f.err;
  const std::vector<Record> records = SummaryRecords(f.out, 2, 2);
  ASSERT_EQ(records.size(), 7u);
  EXPECT_EQ(records[0][1], "Edit8");
  EXPECT_EQ(records[0][2], "ZoneAirTemp[2]");
  const std::vector<std::pair<std::string, std::string>> expected{
      {"50", "55"}, {"50", "60"}, {"50", "65"}, {"60", "55"}, {"60", "60"}, {"60", "65"}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("run " + std::to_string(i + 1));
    const Record& record = records[i + 1];
    EXPECT_EQ(record[1], expected[i].first);
    EXPECT_EQ(record[2], expected[i].second);
    const BatchFinished single =
        StartBatch(dir, {"base.txt", "--set", "Edit8=" + expected[i].first, "--set",
                         "Edit21=" + expected[i].second, "-o", "s.txt", "--csv", "s.csv"});
    ASSERT_EQ(single.status, 0) << single.err;
    const Record exit = ParseCsv(FileBytes(dir.File("s.csv"))).back();
    EXPECT_EQ(Record(record.begin() + 5, record.begin() + 8), (Record{exit[5], exit[8], exit[9]}));
  }
}

TEST(BatchSweep, OptionsThatDoNotFit) {
  struct Case {
    std::string name;
    std::vector<std::string> args;
    int status;
    std::string err;  // part of the error stream
  };
  const std::vector<Case> cases{
      {"malformed", {"--sweep", "Edit8=40:90"}, 2, "NAME=FROM:TO:STEP"},
      {"unknown name", {"--sweep", "Speed=1:2:1"}, 2, "no condition entry or field named \"Speed\""},
      {"zero step", {"--sweep", "Edit8=40:90:0"}, 2, "STEP must not be 0"},
      {"away from TO", {"--sweep", "Edit8=40:90:-5"}, 2, "leads away from TO"},
      {"three sweeps", {"--sweep", "Edit8=1:2:1", "--sweep", "Edit6=1:2:1", "--sweep", "Edit7=1:2:1"},
       2, "not 3"},
      {"same entry twice", {"--sweep", "Edit8=1:2:1", "--sweep", "ZoneAirTemp[1]=1:2:1"}, 2,
       "both sweeps set Edit8"},
      {"with -o", {"--sweep", "Edit8=1:2:1", "-o", "r.txt"}, 2, "-o cannot be combined with --sweep"},
      {"with --csv", {"--sweep", "Edit8=1:2:1", "--csv", "p.csv"}, 2, "--csv cannot be combined"},
      {"with --write-data", {"--sweep", "Edit8=1:2:1", "--write-data", "d.txt"}, 2,
       "--write-data cannot be combined"},
      {"results without sweep", {"--sweep-results", "runs"}, 2, "--sweep-results needs --sweep"},
      {"summary without a run", {"--write-data", "d.txt", "--summary", "s.csv"}, 2,
       "--summary needs a run"},
      {"jobs without sweep", {"--jobs", "2"}, 2, "--jobs needs --sweep"},
      {"zero jobs", {"--sweep", "Edit8=1:2:1", "--jobs", "0"}, 2, "--jobs"},
      {"--csv without a run", {"--write-data", "d.txt", "--csv", "p.csv"}, 2, "--csv needs a run"},
      {"summary unwritable", {"--sweep", "Edit8=1:2:1", "--summary", "no/such/s.csv"}, 4,
       "Cannot create the summary file \"no/such/s.csv\""},
      {"results directory is a file", {"--sweep", "Edit8=1:2:1", "--sweep-results", "a-file"}, 4,
       "Cannot create the result directory \"a-file\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    test_support::PutFileBytes(dir.File("a-file"), "x");
    const BatchFinished f = StartBatch(dir, c.args);
    EXPECT_EQ(f.status, c.status) << f.err;
    EXPECT_NE(f.err.find(c.err), std::string::npos) << f.err;
    EXPECT_EQ(f.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("runs")));
  }
}

TEST(BatchSweep, HelpDescribesSweepsAndTheirExitStatus) {
  ScratchDir dir;
  const BatchFinished f = StartBatch(dir, {"--help"});
  EXPECT_EQ(f.status, 0);
  for (const char* text : {"--csv", "--sweep", "NAME=FROM:TO:STEP", "--sweep-results", "--summary",
                           "--jobs", "the status of the first such run"}) {
    EXPECT_NE(f.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace tovimar
