// ReadConditions and the whole run over random entry texts, the result file kept in memory
// (the run's own writers, a memory sink in place of the file), so that no input touches
// the disk.
//
// Invariants: nothing escapes RunSimulation; the outcome agrees with the messages shown (at
// most one, and only the program's own texts); a run stopped while reading the conditions
// leaves an earlier result as it was; a result never holds "nan" or "inf"; a completed run
// has one table per active zone and (checked for one input in four, chosen by its bytes)
// writes the same bytes again from a fresh start; a
// fault names what failed and, once marching, the zone and step. A memory sink cannot
// fail to open or write, so a file failure is a finding.
//
// Input: byte 0 picks the Save File Name (a name, or the empty name, which is refused);
// byte 1 whether an earlier result is there; then records of (entry, kind, payload) that
// change one of the 120 condition entries (disabled ones too, as the batch tool can): raw
// text, a double, a small integer or a value from a list of edge cases. Inputs whose zones
// need more than a few hundred steps in all are skipped, and the search after a guard stop
// has a small step budget, to keep every run fast.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
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

constexpr int MaxTotalSteps = 200;
// The search for a stable Increment of z after a guard stop marches at most this many steps
// here, not the program's 3 million: the same search and the same end when its budget runs
// out, without seconds spent on one input.
constexpr std::int64_t FuzzStableSearchSteps = 20'000;
const std::string EarlierResult = "earlier result\r\n";

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

// The Save File Name: a name (never opened, as the result goes to memory) or the empty
// name, which the reader refuses.
std::string SaveFileName(std::uint8_t choice) { return (choice & 1) != 0 ? "" : "result.txt"; }

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

// The window's entries (the catalogue's defaults and enabled states, and the Save File
// Name) in an array, kept for the whole process: each input changes a few texts, and the
// next input puts back only those. The same as MapEntryTexts without a map built and
// searched by string per input; the reader goes through the entries in order, so the entry
// after the last one named is tried before the index.
class RunEntries final : public tovimar::EntryTexts {
 public:
  RunEntries() {
    for (const tovimar::ConditionField& f : tovimar::ConditionFields()) Add(f.entryName, f.defaultText, f.enabled);
    Add(std::string(tovimar::SaveFileNameEntry), std::string(tovimar::SaveFileNameDefault), true);
    for (std::size_t i = 0; i < names_.size(); ++i) index_.emplace(names_[i], i);
    texts_ = defaults_;
  }
  [[nodiscard]] std::string Text(std::string_view name) const override { return texts_[IndexOf(name)]; }
  [[nodiscard]] bool IsEnabled(std::string_view name) const override { return enabled_[IndexOf(name)]; }
  void SetText(std::string_view name, std::string_view text) override {
    const std::size_t i = IndexOf(name);
    if (enabled_[i]) Change(i, text);
  }
  void ForceText(std::string_view name, std::string_view text) { Change(IndexOf(name), text); }
  // Back to the defaults.
  void Reset() {
    for (const std::size_t i : changed_) texts_[i].assign(defaults_[i]);
    changed_.clear();
  }

 private:
  void Add(const std::string& name, const std::string& text, bool enabled) {
    names_.push_back(name);
    defaults_.push_back(text);
    enabled_.push_back(enabled);
  }
  void Change(std::size_t i, std::string_view text) {
    texts_[i].assign(text);
    changed_.push_back(i);
  }
  std::size_t IndexOf(std::string_view name) const {
    const std::size_t next = last_ + 1 < names_.size() ? last_ + 1 : 0;
    if (names_[next] == name) return last_ = next;
    if (names_[last_] == name) return last_;
    const auto found = index_.find(name);
    if (found == index_.end()) throw std::out_of_range("no entry named " + std::string(name));
    return last_ = found->second;
  }

  std::vector<std::string> names_;
  std::vector<std::string> defaults_;
  std::vector<bool> enabled_;
  std::vector<std::string> texts_;
  std::vector<std::size_t> changed_;
  std::unordered_map<std::string_view, std::size_t> index_;
  mutable std::size_t last_ = 0;
};

// The input's changes as text, for a failure message: the records read again.
std::string Describe(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  std::string text = "name " + Quote(SaveFileName(in.Byte())) + ", ";
  (void)in.Byte();
  const auto& fields = tovimar::ConditionFields();
  while (!in.empty()) {
    const auto& field = fields[in.Byte() % fields.size()];
    text += field.entryName + "=" + Quote(TextFromRecord(in)) + " ";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  const std::string saveName = SaveFileName(in.Byte());
  const bool earlierFile = (in.Byte() & 1) != 0;

  static RunEntries entries;
  entries.Reset();
  entries.SetText(tovimar::SaveFileNameEntry, saveName);
  const auto& fields = tovimar::ConditionFields();
  while (!in.empty()) {
    const auto& field = fields[in.Byte() % fields.size()];
    entries.ForceText(field.entryName, TextFromRecord(in));
  }
  // Formed only for a failure message.
  const auto where = [data, size] { return Describe(data, size); };

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

  // One simulation for the whole process, as the program keeps one for its lifetime.
  static tovimar::Simulation sim;
  std::string result = earlierFile ? EarlierResult : std::string();
  const std::string before = result;
  const tovimar::MemoryResultSink sink(result);
  tovimar::RunOptions options;
  options.resultSink = &sink;
  options.model.stableSearchSteps = FuzzStableSearchSteps;
  tovimar::RecordedMessages messages;
  tovimar::RunOutcome outcome;
  try {
    outcome = tovimar::RunSimulation(sim, entries, messages, options);
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where() + ": exception escaped: " + e.what());
  }
  const std::string& after = result;

  // The outcome and the messages agree.
  TOVIMAR_FUZZ_CHECK(messages.messages.size() <= 1, where() + ": more than one message");
  for (const std::string& m : messages.messages) {
    TOVIMAR_FUZZ_CHECK(IsProgramMessage(m), where() + ": unexpected message " + Quote(m));
  }
  TOVIMAR_FUZZ_CHECK((outcome.style == tovimar::MessageStyle::Notice) == !messages.messages.empty(),
                     where() + ": messageShown wrong");
  if (outcome.style == tovimar::MessageStyle::Notice) {
    TOVIMAR_FUZZ_CHECK(outcome.message == messages.messages.front(), where() + ": message differs");
  }
  TOVIMAR_FUZZ_CHECK(outcome.completed() == outcome.message.empty(),
                     where() + ": completion and message disagree: " + outcome.message);
  TOVIMAR_FUZZ_CHECK(outcome.status != tovimar::RunStatus::WriteFailed &&
                         outcome.status != tovimar::RunStatus::FileNotOpened,
                     where() + ": the memory sink failed: " + outcome.message);

  // No result ever holds a non-finite number.
  TOVIMAR_FUZZ_CHECK(!tovimar::fuzz::HasNonFiniteWord(after), where() + ": nan or inf in the result");

  const bool inputMessage = (outcome.style == tovimar::MessageStyle::Notice) && outcome.message != "File can not open!";
  const bool stoppedWhileReading =
      outcome.status == tovimar::RunStatus::StoppedAtInput || inputMessage ||
      StartsWith(outcome.message, "Arithmetic error in the step count of zone ");
  if (stoppedWhileReading) {
    TOVIMAR_FUZZ_CHECK(after == before, where() + ": a run stopped at its input touched the result: " +
                                            outcome.message);
    return 0;
  }

  switch (outcome.status) {
    case tovimar::RunStatus::Completed: {
      const std::size_t tables = CountOf(after, "[SIMULATION RESULTS]");
      TOVIMAR_FUZZ_CHECK(tables == static_cast<std::size_t>(sim.conditions.ZoneCount),
                         where() + ": " + std::to_string(tables) + " tables for " +
                             std::to_string(sim.conditions.ZoneCount) + " zones");
      // The same conditions from a fresh start write the same bytes (a second run doubles
      // the time of an input, so only some inputs make it).
      if (size % 4 != 0) break;
      tovimar::Simulation fresh;
      std::string secondResult;
      const tovimar::MemoryResultSink secondSink(secondResult);
      tovimar::RunOptions secondOptions;
      secondOptions.resultSink = &secondSink;
      secondOptions.model.stableSearchSteps = FuzzStableSearchSteps;
      const tovimar::RunOutcome second = tovimar::RunSimulation(fresh, entries, secondOptions);
      TOVIMAR_FUZZ_CHECK(second.completed(), where() + ": a second run did not complete");
      TOVIMAR_FUZZ_CHECK(secondResult == after, where() + ": a second run wrote other bytes");
      break;
    }
    case tovimar::RunStatus::ArithmeticFault:
    case tovimar::RunStatus::Unstable:
    case tovimar::RunStatus::Boiling:
      TOVIMAR_FUZZ_CHECK(NamesWhereItFailed(outcome.message, sim.conditions),
                         where() + ": the fault does not say where: " + outcome.message);
      TOVIMAR_FUZZ_CHECK(StartsWith(after, "===================\r\n"),
                         where() + ": the condition section is missing after a fault");
      break;
    default:
      TOVIMAR_FUZZ_CHECK(false, where() + ": unexpected outcome " + outcome.message);
  }
  return 0;
}
