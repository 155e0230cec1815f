// ReadConditions and the whole run over random entry texts.
//
// Invariants: nothing escapes RunSimulation; the outcome agrees with the messages shown (at
// most one, and only the program's own texts); a run stopped while reading the conditions
// leaves an earlier result file as it was and creates none; a result file never holds
// "nan" or "inf"; a completed run has one table per active zone and writes the same bytes
// again from a fresh start; a fault names what failed and, once marching, the zone and
// step. A disk-full failure cannot happen in the scratch directory, so it is a finding.
//
// Input: byte 0 picks the Save File Name (a file in a scratch directory, the empty name, a
// file in a missing directory, or a directory); byte 1 whether an earlier result file is
// there; then records of (entry, kind, payload) that change one of the 120 condition
// entries (disabled ones too, as the batch tool can): raw text, a double, a small integer
// or a value from a list of edge cases. Inputs whose zones need more than a few hundred
// steps in all are skipped to keep every run fast.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "input/read_conditions.h"
#include "input/user_messages.h"
#include "support/recorded.h"
#include "model/model.h"
#include "run/run_sequence.h"

namespace {

using tovimar::fuzz::ByteReader;
using tovimar::fuzz::Quote;

constexpr int MaxTotalSteps = 1000;
const std::string EarlierResult = "earlier result\r\n";

const std::string& ScratchDirectory() {
  static const tovimar::fuzz::ScratchDirectory dir("tovimar-fuzz-run");
  static const bool made = std::filesystem::create_directory(dir.path() + "/a directory");
  (void)made;
  return dir.path();
}

// Texts where the faults and limits of the model lie.
const char* const EdgeTexts[] = {
    "0",      "-0",       "0.0",     "1",        "-1",     "760",    "1e308",   "-1e308",
    "1e-320", "2.5",      "0.1",     "-0.1",     "100",    "",       " ",       "1e10",
    "-1e10",  "-181.84",  "-219.482", "181.84",  "1999",   "0.05",   "1e-300",  "500",
    "-273.15", "1.7976931348623157e308", "4.9e-324", "+.5e+1", "0,5",  "1e400",   "nan",
    "-inf"};

std::string TextFromRecord(ByteReader& in) {
  switch (in.Byte() % 4) {
    case 0:
      return in.Text(in.Byte() % 33);
    case 1: {
      const auto v = in.Raw<double>();
      char text[40];
      std::snprintf(text, sizeof text, "%.17g", v);
      return text;
    }
    case 2:
      return std::to_string(static_cast<int>(static_cast<std::int8_t>(in.Byte())));
    default:
      return EdgeTexts[in.Byte() % (sizeof EdgeTexts / sizeof EdgeTexts[0])];
  }
}

std::string SaveFileName(std::uint8_t choice) {
  switch (choice % 4) {
    case 0:
      return ScratchDirectory() + "/result.txt";
    case 1:
      return "";
    case 2:
      return ScratchDirectory() + "/missing/result.txt";
    default:
      return ScratchDirectory() + "/a directory";
  }
}

// The file's bytes, or nothing when it is not a regular file.
std::optional<std::string> FileState(const std::string& path) {
  if (path.empty() || !std::filesystem::is_regular_file(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t CountOf(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsProgramMessage(const std::string& m) {
  if (m == tovimar::InputValueNotCorrectMessage || m == tovimar::InputSaveFileNameMessage ||
      m == "File can not open!") {
    return true;
  }
  for (int zone = 2; zone <= tovimar::MaxZones; ++zone) {
    if (m == tovimar::ZoneValueNotCorrectMessage(zone)) return true;
  }
  return false;
}

// "Arithmetic error in zone N, step M: ..." with N an active zone and M within its steps,
// or one of the other places a fault can arise.
bool NamesWhereItFailed(const std::string& m, const tovimar::DryingConditions& c) {
  if (StartsWith(m, "Arithmetic error in the initial state: ")) return true;
  int zone = 0;
  int step = 0;
  int used = 0;
  if (std::sscanf(m.c_str(), "Arithmetic error in zone %d, step %d: %n", &zone, &step, &used) == 2 &&
      used > 0) {
    return zone >= 1 && zone <= c.ZoneCount && step >= 1 &&
           step <= c.ZoneStepCount[static_cast<std::size_t>(zone)];
  }
  used = 0;
  if ((std::sscanf(m.c_str(), "Unstable integration in zone %d, step %d: %n", &zone, &step, &used) == 2 ||
       std::sscanf(m.c_str(), "The coating boils in zone %d, step %d: %n", &zone, &step, &used) == 2) &&
      used > 0) {
    return zone >= 1 && zone <= c.ZoneCount && step >= 1 &&
           step <= c.ZoneStepCount[static_cast<std::size_t>(zone)];
  }
  used = 0;
  if (std::sscanf(m.c_str(), "Arithmetic error in zone %d, mass-transfer coefficients: %n", &zone, &used) == 1 &&
      used > 0) {
    return zone >= 1 && zone <= c.ZoneCount;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  const std::string saveName = SaveFileName(in.Byte());
  const bool earlierFile = (in.Byte() & 1) != 0;

  tovimar::MapEntryTexts entries;
  entries.SetText(tovimar::SaveFileNameEntry, saveName);
  const auto& fields = tovimar::ConditionFields();
  std::string changes;
  while (!in.empty()) {
    const auto& field = fields[in.Byte() % fields.size()];
    const std::string text = TextFromRecord(in);
    entries.ForceText(field.entryName, text);
    changes += field.entryName + "=" + Quote(text) + " ";
  }
  const std::string where = "name " + Quote(saveName) + ", " + changes;

  // Skip conditions that need long marches (they are read once more by the run itself).
  {
    tovimar::DryingConditions probe;
    tovimar::RecordedMessages quiet;
    if (!tovimar::ReadConditions(probe, entries, quiet)) {
      int steps = 0;
      for (int zone = 1; zone <= probe.ZoneCount; ++zone) {
        steps += probe.ZoneStepCount[static_cast<std::size_t>(zone)];
      }
      if (steps > MaxTotalSteps) return -1;
    }
  }

  const std::string resultPath = ScratchDirectory() + "/result.txt";
  std::filesystem::remove(resultPath);
  if (earlierFile) {
    std::ofstream(resultPath, std::ios::binary) << EarlierResult;
  }
  const std::optional<std::string> before = FileState(saveName);

  // One simulation for the whole process, as the program keeps one for its lifetime.
  static tovimar::Simulation sim;
  tovimar::RecordedMessages messages;
  tovimar::RunOutcome outcome;
  try {
    outcome = tovimar::RunSimulation(sim, entries, messages);
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where + ": exception escaped: " + e.what());
  }
  const std::optional<std::string> after = FileState(saveName);

  // The outcome and the messages agree.
  TOVIMAR_FUZZ_CHECK(messages.messages.size() <= 1, where + ": more than one message");
  for (const std::string& m : messages.messages) {
    TOVIMAR_FUZZ_CHECK(IsProgramMessage(m), where + ": unexpected message " + Quote(m));
  }
  TOVIMAR_FUZZ_CHECK((outcome.style == tovimar::MessageStyle::Notice) == !messages.messages.empty(), where + ": messageShown wrong");
  if ((outcome.style == tovimar::MessageStyle::Notice)) {
    TOVIMAR_FUZZ_CHECK(outcome.message == messages.messages.front(), where + ": message differs");
  }
  TOVIMAR_FUZZ_CHECK(outcome.completed() == outcome.message.empty(),
                     where + ": completion and message disagree: " + outcome.message);
  TOVIMAR_FUZZ_CHECK(outcome.status != tovimar::RunStatus::WriteFailed,
                     where + ": a write failed: " + outcome.message);

  // No file ever holds a non-finite number.
  if (after) {
    TOVIMAR_FUZZ_CHECK(!tovimar::fuzz::HasNonFiniteWord(*after), where + ": nan or inf in the file");
  }

  const bool inputMessage = (outcome.style == tovimar::MessageStyle::Notice) && outcome.message != "File can not open!";
  const bool stoppedWhileReading =
      outcome.status == tovimar::RunStatus::StoppedAtInput || inputMessage ||
      StartsWith(outcome.message, "Arithmetic error in the step count of zone ");
  if (stoppedWhileReading) {
    TOVIMAR_FUZZ_CHECK(after == before, where + ": a run stopped at its input touched the file: " +
                                            outcome.message);
    return 0;
  }

  switch (outcome.status) {
    case tovimar::RunStatus::Completed: {
      TOVIMAR_FUZZ_CHECK(after.has_value(), where + ": completed without a result file");
      const std::size_t tables = CountOf(*after, "[SIMULATION RESULTS]");
      TOVIMAR_FUZZ_CHECK(tables == static_cast<std::size_t>(sim.conditions.ZoneCount),
                         where + ": " + std::to_string(tables) + " tables for " +
                             std::to_string(sim.conditions.ZoneCount) + " zones");
      // The same conditions from a fresh start write the same bytes.
      tovimar::Simulation fresh;
      tovimar::RecordedMessages again;
      const tovimar::RunOutcome second = tovimar::RunSimulation(fresh, entries, again);
      TOVIMAR_FUZZ_CHECK(second.completed(), where + ": a second run did not complete");
      TOVIMAR_FUZZ_CHECK(FileState(saveName) == after, where + ": a second run wrote other bytes");
      break;
    }
    case tovimar::RunStatus::FileNotOpened:
      TOVIMAR_FUZZ_CHECK(saveName != resultPath, where + ": the scratch file could not be opened");
      TOVIMAR_FUZZ_CHECK(after == before, where + ": an unopenable name changed");
      break;
    case tovimar::RunStatus::ArithmeticFault:
    case tovimar::RunStatus::Unstable:
    case tovimar::RunStatus::Boiling:
      TOVIMAR_FUZZ_CHECK(NamesWhereItFailed(outcome.message, sim.conditions),
                         where + ": the fault does not say where: " + outcome.message);
      TOVIMAR_FUZZ_CHECK(after.has_value() && StartsWith(*after, "===================\r\n"),
                         where + ": the condition section is missing after a fault");
      break;
    default:
      TOVIMAR_FUZZ_CHECK(false, where + ": unexpected outcome " + outcome.message);
  }
  return 0;
}
