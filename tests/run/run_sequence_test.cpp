#include "support/fault_conditions.h"
#include "support/recorded.h"
#include "run/run_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conditionfile/condition_section.h"
#include "input/field_catalogue.h"
#include "run/result_table.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;

const std::string TableTitle = "  [SIMULATION RESULTS]";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The data lines of every table of a result file, zone by zone.
std::vector<std::vector<std::string>> Tables(const std::string& fileText) {
  const std::vector<std::string> lines = SplitLines(fileText);
  std::vector<std::vector<std::string>> tables;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != TableTitle) continue;
    std::vector<std::string> rows;
    for (std::size_t j = i + 4; j < lines.size() && !lines[j].empty(); ++j) {
      rows.push_back(lines[j]);
    }
    tables.push_back(rows);
  }
  return tables;
}

// A data line without its LENGTH field (positions 8 to 17).
std::string WithoutLength(const std::string& row) { return row.substr(0, 8) + row.substr(18); }
std::string LengthOf(const std::string& row) { return row.substr(8, 10); }
double TimeOf(const std::string& row) { return std::stod(row.substr(0, 8)); }

// Entries of a fresh window, writing the result file into `dir`.
MapEntryTexts EntriesIn(const ScratchDir& dir, const std::string& name = "result.txt") {
  MapEntryTexts entries;
  entries.SetText("Edit250", dir.File(name));
  return entries;
}

void FillZone(MapEntryTexts& entries, int zone, const std::string& length) {
  entries.SetText(ZoneEntryName(zone, 1), std::to_string(60 + 5 * zone));
  entries.SetText(ZoneEntryName(zone, 2), length);
  entries.SetText(ZoneEntryName(zone, 3), "0.0");
  entries.SetText(ZoneEntryName(zone, 4), "0.001");
  entries.SetText(ZoneEntryName(zone, 5), "0.03");
  entries.SetText(ZoneEntryName(zone, 6), "0.05");
}

// What a run should have written: the sections and tables in run order.
std::string ExpectedFile(const Simulation& sim) {
  const DryingConditions& c = sim.conditions;
  std::string text = FormatConditionSection(c);
  for (int zone = 1; zone <= c.ZoneCount; ++zone) {
    if (zone > 1) text += FormatZoneSection(c, zone);
    FormatResultTable(text, sim, zone, c.ZoneStepCount[static_cast<std::size_t>(zone)]);
  }
  return text;
}

TEST(RunSequence, DefaultRunWritesHeadTableZoneBlockTable) {
  ScratchDir dir;
  const MapEntryTexts entries = EntriesIn(dir);
  Simulation sim;
  RecordedMessages messages;
  const RunOutcome outcome = RunSimulation(sim, entries, messages);
  ASSERT_TRUE(outcome.completed()) << outcome.message;
  EXPECT_EQ(outcome.status, RunStatus::Completed);
  EXPECT_TRUE(outcome.message.empty());
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(sim.conditions.ZoneCount, 2);

  const std::string text = FileBytes(dir.File("result.txt"));
  EXPECT_EQ(text, ExpectedFile(sim));
  const auto tables = Tables(text);
  ASSERT_EQ(tables.size(), 2U);
  EXPECT_EQ(tables[0].size(), 301U);
  EXPECT_EQ(tables[1].size(), 301U);
  EXPECT_EQ(tables[0][0], "   0.000     0.000     15.00    0.04170      1.0000      0.01529      1.0000");
  EXPECT_EQ(LengthOf(tables[0].back()), "    30.000");
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(RunSequence, OneZoneWritesNoZoneBlock) {
  ScratchDir dir;
  MapEntryTexts entries = EntriesIn(dir);
  entries.SetText("Edit21", "");
  Simulation sim;
  RecordedMessages messages;
  ASSERT_TRUE(RunSimulation(sim, entries, messages).completed());
  const std::string text = FileBytes(dir.File("result.txt"));
  std::string expected = FormatConditionSection(sim.conditions);
  FormatResultTable(expected, sim, 1, 300);
  EXPECT_EQ(text, expected);
  EXPECT_EQ(text.find("ZONE 2"), std::string::npos);
}

TEST(RunSequence, ZonesContinueWhereThePreviousOneEnded) {
  ScratchDir dir;
  MapEntryTexts entries = EntriesIn(dir);
  FillZone(entries, 3, "0.04");  // no step: its table holds only the entrance
  FillZone(entries, 4, "12.3");
  FillZone(entries, 5, "0.06");  // rounds to one step
  Simulation sim;
  RecordedMessages messages;
  const RunOutcome outcome = RunSimulation(sim, entries, messages);
  ASSERT_TRUE(outcome.completed()) << outcome.message;
  const std::string text = FileBytes(dir.File("result.txt"));
  EXPECT_EQ(text, ExpectedFile(sim));

  const auto tables = Tables(text);
  ASSERT_EQ(tables.size(), 5U);
  const std::vector<std::size_t> rows{301, 301, 1, 124, 2};
  for (std::size_t k = 0; k < tables.size(); ++k) {
    EXPECT_EQ(tables[k].size(), rows[k]) << "zone " << k + 1;
    EXPECT_EQ(LengthOf(tables[k][0]), "     0.000") << "zone " << k + 1;
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    SCOPED_TRACE("zone " + std::to_string(k + 1));
    // The first row repeats the last row of the zone before, all but the position.
    EXPECT_EQ(WithoutLength(tables[k].front()), WithoutLength(tables[k - 1].back()));
  }
  // Time runs on without a break across the zones.
  double previous = -1;
  const double step = 0.1;
  for (const auto& table : tables) {
    for (std::size_t r = 0; r < table.size(); ++r) {
      const double time = TimeOf(table[r]);
      if (previous >= 0) {
        EXPECT_NEAR(time - previous, r == 0 ? 0.0 : step, 0.0011) << table[r];
      }
      previous = time;
    }
  }
  // The zero-step zone hands its entrance state on unchanged.
  const DryingProfile& p = *sim.profile;
  for (auto array : DryingProfile::CarriedProfileArrays) {
    EXPECT_EQ((p.*array)[4][0], (p.*array)[3][0]);
    EXPECT_EQ((p.*array)[3][0], (p.*array)[2][300]);
  }
}

TEST(RunSequence, TwoRunsWithTheSameConditionsWriteTheSameFile) {
  ScratchDir dir;
  MapEntryTexts entries = EntriesIn(dir);
  FillZone(entries, 3, "7.5");
  Simulation sim;
  RecordedMessages messages;
  ASSERT_TRUE(RunSimulation(sim, entries, messages).completed());
  const std::string first = FileBytes(dir.File("result.txt"));
  // A different run in between leaves nothing behind that the next run would show.
  MapEntryTexts other = EntriesIn(dir);
  other.SetText("Edit7", "25.0");
  ASSERT_TRUE(RunSimulation(sim, other, messages).completed());
  ASSERT_TRUE(RunSimulation(sim, entries, messages).completed());
  EXPECT_EQ(FileBytes(dir.File("result.txt")), first);
  Simulation fresh;
  ASSERT_TRUE(RunSimulation(fresh, entries, messages).completed());
  EXPECT_EQ(FileBytes(dir.File("result.txt")), first);
}

TEST(RunSequence, ExistingFileIsReplaced) {
  ScratchDir dir;
  PutFileBytes(dir.File("result.txt"), std::string(500000, 'x'));
  Simulation sim;
  RecordedMessages messages;
  ASSERT_TRUE(RunSimulation(sim, EntriesIn(dir), messages).completed());
  EXPECT_EQ(FileBytes(dir.File("result.txt")), ExpectedFile(sim));
}

// Faults of the initial state end the run after the condition section was written: the
// file holds the section and no table, and the fault's message is for the caller to show.
struct FaultCase {
  std::string name;
  std::string entry;
  std::string text;
  std::string messageStart;
};

TEST(RunSequence, ArithmeticFaultAfterTheConditionSectionKeepsTheSection) {
  const std::vector<FaultCase> cases{
      {"zero line speed", "Edit6", "0", "Arithmetic error in the initial state: division by zero"},
      {"zero solvent-1 ratio", "Edit4", "0.0", "Arithmetic error in the initial state: zero divided by zero"},
      {"zero solvent-2 ratio", "Edit5", "0", "Arithmetic error in the initial state: zero divided by zero"},
  };
  for (const FaultCase& fc : cases) {
    SCOPED_TRACE(fc.name);
    ScratchDir dir;
    MapEntryTexts entries = EntriesIn(dir);
    entries.SetText(fc.entry, fc.text);
    Simulation sim;
    RecordedMessages messages;
    const RunOutcome outcome = RunSimulation(sim, entries, messages);
    EXPECT_FALSE(outcome.completed());
    EXPECT_EQ(outcome.status, RunStatus::ArithmeticFault);
    EXPECT_FALSE((outcome.style == MessageStyle::Notice));
    EXPECT_EQ(outcome.message.rfind(fc.messageStart, 0), 0U) << outcome.message;
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(FileBytes(dir.File("result.txt")), FormatConditionSection(sim.conditions));
  }
}

// Runs stopped while the conditions are read touch no file: an existing result file keeps
// its contents, and none is created.
struct StopCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> texts;
  RunStatus status;
  std::vector<std::string> shown;
  std::string message;
};

TEST(RunSequence, StopsWhileReadingTouchNoFile) {
  const std::vector<StopCase> cases{
      {"bad general field", {{"Edit3", "0,18"}}, RunStatus::StoppedAtInput,
       {"Input value is not correct!"}, "Input value is not correct!"},
      {"bad zone field", {{"Edit24", "x"}}, RunStatus::StoppedAtInput,
       {"Input value of Zone 2 is not correct!"}, "Input value of Zone 2 is not correct!"},
      {"Outer Temperature not a number", {{"Edit21", "hot"}}, RunStatus::StoppedAtInput, {},
       "\"hot\" is not a valid number (Outer Temperature of zone 2)."},
      {"step count too large", {{"Edit9", "250"}}, RunStatus::StoppedAtInput, {},
       "Zone 1 needs 2500 steps; a zone can have at most 1999. Increase the Increment of z or "
       "shorten the zone."},
      {"zero increment", {{"Edit20", "0"}}, RunStatus::ArithmeticFault, {},
       "Arithmetic error in the step count of zone 1: division by zero in Zone Length / "
       "Increment of z."},
  };
  for (const StopCase& sc : cases) {
    SCOPED_TRACE(sc.name);
    ScratchDir dir;
    for (const bool exists : {true, false}) {
      if (exists) PutFileBytes(dir.File("result.txt"), "earlier result");
      else std::filesystem::remove(dir.File("result.txt"));
      MapEntryTexts entries = EntriesIn(dir);
      for (const auto& [entry, text] : sc.texts) entries.SetText(entry, text);
      Simulation sim;
      RecordedMessages messages;
      const RunOutcome outcome = RunSimulation(sim, entries, messages);
      EXPECT_EQ(outcome.status, sc.status);
      EXPECT_FALSE(outcome.completed());
      EXPECT_EQ(outcome.message, sc.message);
      EXPECT_EQ((outcome.style == MessageStyle::Notice), !sc.shown.empty());
      EXPECT_EQ(messages.messages, sc.shown);
      if (exists) {
        EXPECT_EQ(FileBytes(dir.File("result.txt")), "earlier result");
      } else {
        EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
      }
    }
  }
}

TEST(RunSequence, EmptySaveFileNameStopsWithItsMessage) {
  MapEntryTexts entries;
  entries.SetText("Edit250", "");
  Simulation sim;
  RecordedMessages messages;
  const RunOutcome outcome = RunSimulation(sim, entries, messages);
  EXPECT_EQ(outcome.status, RunStatus::StoppedAtInput);
  EXPECT_TRUE((outcome.style == MessageStyle::Notice));
  EXPECT_EQ(messages.messages, std::vector<std::string>{"Input Save File Name!"});
}

TEST(RunSequence, UnopenableResultFileIsReportedOnceAndTheRunStops) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "taken");
  for (const std::string name : {"taken", "missing/result.txt"}) {
    SCOPED_TRACE(name);
    MapEntryTexts entries = EntriesIn(dir, name);
    FillZone(entries, 3, "10");
    Simulation sim;
    RecordedMessages messages;
    const RunOutcome outcome = RunSimulation(sim, entries, messages);
    EXPECT_EQ(outcome.status, RunStatus::FileNotOpened);
    EXPECT_FALSE(outcome.completed());
    EXPECT_TRUE((outcome.style == MessageStyle::Notice));
    EXPECT_EQ(outcome.message, "File can not open!");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"File can not open!"});
  }
}

TEST(RunSequence, FailedWriteEndsTheRun) {
  if (!std::filesystem::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full";
  }
  MapEntryTexts entries;
  entries.SetText("Edit250", "/dev/full");
  Simulation sim;
  RecordedMessages messages;
  const RunOutcome outcome = RunSimulation(sim, entries, messages);
  EXPECT_EQ(outcome.status, RunStatus::WriteFailed);
  EXPECT_FALSE((outcome.style == MessageStyle::Notice));
  EXPECT_NE(outcome.message.find("/dev/full"), std::string::npos) << outcome.message;
  EXPECT_TRUE(messages.messages.empty());
}

TEST(RunSequence, RunWithoutResultFileMarchesTheSame) {
  ScratchDir dir;
  MapEntryTexts entries = EntriesIn(dir);
  FillZone(entries, 3, "5");
  Simulation written;
  RecordedMessages messages;
  ASSERT_TRUE(RunSimulation(written, entries, messages).completed());
  std::filesystem::remove(dir.File("result.txt"));

  Simulation quiet;
  RunOptions options;
  options.writeResultFile = false;
  ASSERT_TRUE(RunSimulation(quiet, entries, messages, options).completed());
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
  for (int zone = 1; zone <= 3; ++zone) {
    const auto z = static_cast<std::size_t>(zone);
    const auto n = static_cast<std::size_t>(quiet.conditions.ZoneStepCount[z]);
    EXPECT_EQ(quiet.profile->ProfileTemp[z][n], written.profile->ProfileTemp[z][n]);
    EXPECT_EQ(quiet.profile->ProfileResidual2[z][n], written.profile->ProfileResidual2[z][n]);
  }
  // The conditions are checked all the same.
  entries.SetText("Edit2", "");
  const RunOutcome stopped = RunSimulation(quiet, entries, messages, options);
  EXPECT_EQ(stopped.status, RunStatus::StoppedAtInput);
}

TEST(RunSequence, LargestRunFillsEveryRow) {
  ScratchDir dir;
  MapEntryTexts entries = EntriesIn(dir);
  entries.SetText("Edit9", "199.9");
  entries.SetText("Edit22", "199.9");
  for (int zone = 3; zone <= MaxZones; ++zone) FillZone(entries, zone, "199.9");
  Simulation sim;
  RecordedMessages messages;
  const RunOutcome outcome = RunSimulation(sim, entries, messages);
  ASSERT_TRUE(outcome.completed()) << outcome.message;
  EXPECT_EQ(sim.conditions.ZoneCount, 14);
  for (int zone = 1; zone <= MaxZones; ++zone) {
    EXPECT_EQ(sim.conditions.ZoneStepCount[static_cast<std::size_t>(zone)], 1999);
  }
  const auto tables = Tables(FileBytes(dir.File("result.txt")));
  ASSERT_EQ(tables.size(), 14U);
  EXPECT_EQ(tables[13].size(), 2000U);
  EXPECT_EQ(LengthOf(tables[13].back()), "   199.900");
}

// The outcome says where a run stopped and how to show it; the core shows nothing itself.
TEST(RunSequence, OutcomeNamesWhereItStopped) {
  ScratchDir dir;
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> texts;
    RunStatus status;
    MessageStyle style;
    std::string entryName;
    ErrorPlace place;
    std::string reason;
  } cases[] = {
      {"input message", {{"Edit212", "1,4"}}, RunStatus::StoppedAtInput, MessageStyle::Notice, "Edit212", {}, ""},
      {"step count", {{"Edit22", "300"}}, RunStatus::StoppedAtInput, MessageStyle::Error, "Edit22", {}, ""},
      {"file", {{"Edit250", dir.File("missing/r.txt")}}, RunStatus::FileNotOpened, MessageStyle::Notice, "", {},
       "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts entries = EntriesIn(dir);
    for (const auto& [entry, text] : c.texts) entries.SetText(entry, text);
    Simulation sim;
    const RunOutcome outcome = RunSimulation(sim, entries);
    EXPECT_EQ(outcome.status, c.status) << outcome.message;
    EXPECT_EQ(outcome.style, c.style);
    EXPECT_EQ(outcome.entryName, c.entryName);
    EXPECT_EQ(outcome.place.zone, c.place.zone);
    EXPECT_EQ(outcome.reason, c.reason);
  }
  // A fault in the march carries its zone and step.
  for (const test_support::ArithmeticFaultCase& fc : test_support::ArithmeticFaultCases()) {
    SCOPED_TRACE(fc.name);
    MapEntryTexts entries = EntriesIn(dir);
    for (const auto& [entry, text] : fc.texts) entries.SetText(entry, text);
    Simulation sim;
    const RunOutcome outcome = RunSimulation(sim, entries);
    EXPECT_EQ(outcome.style, MessageStyle::Error);
    int zone = 0, step = 0;
    if (std::sscanf(outcome.message.c_str(), "%*[^z]zone %d, step %d", &zone, &step) == 2) {
      EXPECT_EQ(outcome.place.zone, zone);
      EXPECT_EQ(outcome.place.step, step);
    } else {
      EXPECT_EQ(outcome.place.step, 0);
    }
  }
}

}  // namespace
}  // namespace tovimar
