// The complete result file of whole runs, driven through the model and the writers.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <locale>
#include <string>
#include <vector>

#include "support/recorded.h"
#include "conditionfile/condition_section.h"
#include "model/model.h"
#include "format/fixed_format.h"
#include "format/file_writer.h"
#include "run/result_table.h"
#include "run/run_sequence.h"
#include "support/scratch_dir.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

const std::string GoldenDefault = std::string(TOVIMAR_TEST_DATA_DIR) + "/default_result.txt";

// The writers and the model in the order of a run: the condition section, the initial
// state, and for every active zone its block (from zone 2), its march, the carry into the
// next zone and its table.
void WriteRun(Simulation& sim, const ResultFile& file, UserMessages& messages) {
  const DryingConditions& c = sim.conditions;
  WriteConditionSection(c, file, messages);
  PrepareInitialState(sim);
  for (int k = 1; k <= c.ZoneCount; ++k) {
    const int n = c.ZoneStepCount[static_cast<std::size_t>(k)];
    if (k > 1) {
      WriteZoneSection(c, file, messages, k);
    }
    MarchZone(sim, k, n);
    if (k < c.ZoneCount) {
      CarryToNextZone(sim, k, n);
    }
    WriteResultTable(sim, file, messages, k, n);
  }
}

std::string RunToBytes(Simulation& sim) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  RecordedMessages messages;
  WriteRun(sim, ResultFile(path), messages);
  EXPECT_TRUE(messages.messages.empty());
  return FileBytes(path);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF";
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// On a difference: the first differing line, and the whole actual file kept for a look.
void ExpectSameAsGolden(const std::string& actual, const std::string& goldenPath) {
  const std::string golden = FileBytes(goldenPath);
  if (actual == golden) {
    return;
  }
  const auto kept = std::filesystem::temp_directory_path() / "tovimar_result.actual.txt";
  std::ofstream(kept, std::ios::binary) << actual;
  ASSERT_FALSE(golden.empty()) << "golden file missing: " << goldenPath << " (actual file kept in "
                               << kept.string() << ")";
  const std::vector<std::string> a = SplitLines(actual);
  const std::vector<std::string> g = SplitLines(golden);
  for (std::size_t i = 0; i < std::min(a.size(), g.size()); ++i) {
    if (a[i] != g[i]) {
      ADD_FAILURE() << "line " << i + 1 << " differs from " << goldenPath << "\n  actual: " << a[i]
                    << "\n  golden: " << g[i] << "\n(actual file kept in " << kept.string() << ")";
      return;
    }
  }
  ADD_FAILURE() << "actual has " << a.size() << " lines, golden " << g.size() << " (sizes "
                << actual.size() << " and " << golden.size() << "; actual kept in "
                << kept.string() << ")";
}

TEST(ResultGolden, DefaultRunMatchesTheCheckedInFile) {
  Simulation sim = test_support::DefaultSimulation();
  ExpectSameAsGolden(RunToBytes(sim), GoldenDefault);
}

// A run into a memory sink holds the bytes the run writes into its file, replacing what the
// text held before (and touching no file); a run stopped at its input leaves the text as it was.
TEST(ResultGolden, AMemorySinkHoldsTheFilesBytes) {
  ScratchDir dir;
  MapEntryTexts entries;
  entries.SetText(std::string(SaveFileNameEntry), dir.File("result.txt"));
  Simulation sim;
  ASSERT_TRUE(RunSimulation(sim, entries).completed());
  const std::string fileBytes = FileBytes(dir.File("result.txt"));
  std::filesystem::remove(dir.File("result.txt"));

  std::string text = "an earlier result\r\n";
  const MemoryResultSink sink(text);
  RunOptions options;
  options.resultSink = &sink;
  ASSERT_TRUE(RunSimulation(sim, entries, options).completed());
  EXPECT_EQ(text, fileBytes);
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));

  const std::string before = text;
  entries.SetText("Edit6", "x");
  EXPECT_EQ(RunSimulation(sim, entries, options).status, RunStatus::StoppedAtInput);
  EXPECT_EQ(text, before);
}

// What the golden file must show, checked on its own: the head, two tables of 301 rows
// joined by the block of zone 2, the first row of zone 1, and the end of the file.
TEST(ResultGolden, DefaultRunLayout) {
  Simulation sim = test_support::DefaultSimulation();
  const std::string bytes = RunToBytes(sim);
  const std::vector<std::string> lines = SplitLines(bytes);
  // 78 head lines, 4 + 301 for each table, 12 for the block of zone 2.
  ASSERT_EQ(lines.size(), 78U + 305U + 12U + 305U);
  EXPECT_EQ(bytes.substr(0, FormatConditionSection(sim.conditions).size()),
            FormatConditionSection(sim.conditions));
  EXPECT_EQ(lines[76], "");
  EXPECT_EQ(lines[77], "");
  EXPECT_EQ(lines[78], "  [SIMULATION RESULTS]");
  EXPECT_EQ(lines[81], "");
  const std::string firstRow =
      "   0.000     0.000     15.00    0.04170      1.0000      0.01529      1.0000";
  EXPECT_EQ(lines[82], firstRow);
  EXPECT_EQ(lines[82].size(), 76U);
  // The last row of zone 1 is 300 steps of 0.1 m in: LENGTH 30.000, padded with one space.
  const std::string& lastOfZone1 = lines[82 + 300];
  EXPECT_EQ(lastOfZone1.substr(0, 18), "  30.000    30.000");
  // The block of zone 2 follows at once: its own empty line, no other.
  EXPECT_EQ(lines[383], "");
  EXPECT_EQ(lines[384], "  -------");
  EXPECT_EQ(lines[385], "  ZONE 2");
  EXPECT_EQ(lines[395], "  [SIMULATION RESULTS]");
  // Zone 2 starts where zone 1 ended: the same texts except LENGTH, which restarts.
  const std::string& firstOfZone2 = lines[399];
  EXPECT_EQ(firstOfZone2.substr(0, 11), lastOfZone1.substr(0, 11));
  EXPECT_EQ(firstOfZone2.substr(11, 7), "  0.000");
  EXPECT_EQ(firstOfZone2.substr(18), lastOfZone1.substr(18));
  // The file ends with the last row of zone 2 and its CR LF.
  EXPECT_EQ(lines.back().substr(0, 18), "  60.000    30.000");
  EXPECT_EQ(bytes.substr(bytes.size() - lines.back().size() - 2), lines.back() + "\r\n");
  // Every row has the 76 characters of the usual ranges.
  for (std::size_t i = 82; i < lines.size(); ++i) {
    if (i < 383 || i >= 399) {
      EXPECT_EQ(lines[i].size(), 76U) << "line " << i + 1;
    }
  }
}

// Qt sets the C locale from the environment; a comma-decimal locale must change no byte.
TEST(ResultGolden, SameBytesUnderACommaDecimalLocale) {
  Simulation sim = test_support::DefaultSimulation();  // parsed before the switch
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  const std::locale globalBefore = std::locale::global(std::locale("de_DE.UTF-8"));
  const std::string bytes = RunToBytes(sim);
  std::locale::global(globalBefore);
  std::setlocale(LC_ALL, before.c_str());
  ExpectSameAsGolden(bytes, GoldenDefault);
}

// Two runs in a row with unchanged conditions give identical files.
TEST(ResultGolden, SecondRunGivesTheSameBytes) {
  Simulation sim = test_support::DefaultSimulation();
  const std::string first = RunToBytes(sim);
  EXPECT_EQ(RunToBytes(sim), first);
}

// Fourteen zones of three steps, each zone 1 degree warmer: zone blocks 2 to 14 (two-digit
// headers from 10 on), each before its table.
TEST(ResultGolden, FourteenZones) {
  Simulation sim = test_support::DefaultSimulation();
  DryingConditions& c = sim.conditions;
  test_support::UseUniformZones(c, MaxZones, 0.3, 3);
  for (int k = 1; k <= MaxZones; ++k) {
    c.ZoneAirTemp[static_cast<std::size_t>(k)] = 50 + k;
  }
  const std::string bytes = RunToBytes(sim);
  const std::vector<std::string> lines = SplitLines(bytes);
  // Head, 14 tables of 4 + 4 lines, 13 blocks of 12.
  ASSERT_EQ(lines.size(), 78U + 14U * 8U + 13U * 12U);
  EXPECT_EQ(lines[70], "     Outer Temperature (\x81\x8E)                            =  51.00");
  std::size_t at = 78;
  for (int k = 1; k <= MaxZones; ++k) {
    SCOPED_TRACE("zone " + std::to_string(k));
    if (k > 1) {
      EXPECT_EQ(lines[at], "");
      EXPECT_EQ(lines[at + 1], "  -------");
      EXPECT_EQ(lines[at + 2], "  ZONE " + std::to_string(k));
      EXPECT_EQ(lines[at + 3], "  -------");
      EXPECT_EQ(lines[at + 4], "     Outer Temperature (\x81\x8E)                            =  " +
                                   std::to_string(50 + k) + ".00");
      EXPECT_EQ(lines[at + 5], "     Zone Length (m)                                   =  0.30");
      EXPECT_EQ(lines[at + 10], "");
      EXPECT_EQ(lines[at + 11], "");
      at += 12;
    }
    EXPECT_EQ(lines[at], "  [SIMULATION RESULTS]");
    EXPECT_EQ(lines[at + 3], "");
    // Rows 0 to 3; LENGTH restarts in every zone, TIME runs on (0.1 s per step).
    for (int r = 0; r <= 3; ++r) {
      const std::string& row = lines[at + 4 + static_cast<std::size_t>(r)];
      EXPECT_EQ(row.substr(0, 8), "   " + FixedFormat(0.3 * (k - 1) + 0.1 * r, 8, 3).substr(0, 5))
          << row;
      EXPECT_EQ(row.substr(8, 10), "     0." + std::string(1, static_cast<char>('0' + r)) + "00")
          << row;
    }
    at += 8;
  }
  EXPECT_EQ(at, lines.size());
  EXPECT_NE(bytes.find("\r\n  ZONE 10\r\n  -------\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n  ZONE 14\r\n  -------\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("ZONE 15"), std::string::npos);
}

// A zone of no steps: its table has one row, the state it entered with.
TEST(ResultGolden, ZoneWithoutSteps) {
  Simulation sim = test_support::DefaultSimulation();
  sim.conditions.ZoneLength[2] = 0.04;
  sim.conditions.ZoneStepCount[2] = 0;
  const std::vector<std::string> lines = SplitLines(RunToBytes(sim));
  ASSERT_EQ(lines.size(), 78U + 305U + 12U + 5U);
  EXPECT_EQ(lines[lines.size() - 5], "  [SIMULATION RESULTS]");
  const std::string& lastOfZone1 = lines[382];
  const std::string& onlyOfZone2 = lines.back();
  EXPECT_EQ(onlyOfZone2.substr(0, 11), lastOfZone1.substr(0, 11));
  EXPECT_EQ(onlyOfZone2.substr(11, 7), "  0.000");
  EXPECT_EQ(onlyOfZone2.substr(18), lastOfZone1.substr(18));
}

// A result file that cannot be created: every writer call of the run shows the message,
// the run's simulation still happens, and no file appears.
TEST(ResultGolden, RunWhoseFileCannotBeCreated) {
  ScratchDir dir;
  const std::string path = dir.File("missing/result.txt");
  Simulation sim = test_support::DefaultSimulation();
  RecordedMessages messages;
  WriteRun(sim, ResultFile(path), messages);
  EXPECT_EQ(messages.messages, std::vector<std::string>(4, "File can not open!"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_GT(sim.profile->ProfileTime[2][300], 59.9);
}

}  // namespace
}  // namespace tovimar
