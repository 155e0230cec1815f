// Faults injected into whole runs: result files that cannot be opened or written, before the
// run and between two zones, a disk that fills up during the run, and every arithmetic
// fault of the model. Each run must end with the right outcome and message, shown at most
// once, and keep what it had written before.
//
// Tests run as root in CI, and permission bits do not stop root. The read-only cases
// therefore use what stops root too (the immutable attribute, a directory or a regular
// file where the file or its directory should be), and the permission-bit cases run in a
// child process that has given up root for the user "nobody"; each is skipped, saying why,
// where the system offers neither.
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/recorded.h"
#include "conditionfile/condition_section.h"
#include "input/field_catalogue.h"
#include "run/result_table.h"
#include "run/run_sequence.h"
#include "support/fault_conditions.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;
using test_support::SetImmutable;

const std::vector<std::string> OneCannotOpen{"File can not open!"};

MapEntryTexts EntriesFor(const std::string& resultPath) {
  MapEntryTexts entries;
  entries.SetText("Edit250", resultPath);
  return entries;
}

// Three zones: the defaults and a third zone of 20 m.
MapEntryTexts ThreeZonesFor(const std::string& resultPath) {
  MapEntryTexts entries = EntriesFor(resultPath);
  const char* zone3[] = {"80", "20", "0.0", "0.0", "0.022", "0.055"};
  for (int column = 1; column <= ZoneColumns; ++column) {
    entries.SetText(ZoneEntryName(3, column), zone3[column - 1]);
  }
  return entries;
}

// What a run writes up to and including the table of zone `lastZone`, and the block of the
// next zone when `withNextBlock` is set.
std::string WrittenUpTo(const Simulation& sim, int lastZone, bool withNextBlock = false) {
  const DryingConditions& c = sim.conditions;
  std::string text = FormatConditionSection(c);
  for (int zone = 1; zone <= lastZone; ++zone) {
    if (zone > 1) text += FormatZoneSection(c, zone);
    FormatResultTable(text, sim, zone, c.ZoneStepCount[static_cast<std::size_t>(zone)]);
  }
  if (withNextBlock) text += FormatZoneSection(c, lastZone + 1);
  return text;
}

void ExpectStoppedOnceAtTheFile(const RunOutcome& outcome, const RecordedMessages& messages) {
  EXPECT_EQ(outcome.status, RunStatus::FileNotOpened);
  EXPECT_FALSE(outcome.completed());
  EXPECT_TRUE((outcome.style == MessageStyle::Notice));
  EXPECT_EQ(outcome.message, "File can not open!");
  EXPECT_EQ(messages.messages, OneCannotOpen);
}


// Clears the attribute again, so that the scratch directory can be removed.
class ImmutableFile {
 public:
  explicit ImmutableFile(std::string path) : path_(std::move(path)) {}
  ImmutableFile(const ImmutableFile&) = delete;
  ImmutableFile& operator=(const ImmutableFile&) = delete;
  ~ImmutableFile() { (void)SetImmutable(path_, false); }
  bool Set() { return SetImmutable(path_, true); }

 private:
  std::string path_;
};

constexpr int ChildCannotDropRoot = 77;

// Runs `body` in a child process, as the user "nobody" when this process is root, and
// returns its exit status (ChildCannotDropRoot when root could not be given up). `dir` is
// opened to every user so that the child can work in it.
int InChildWithoutRoot(const ScratchDir& dir, const std::function<int()>& body) {
  if (::chmod(dir.path().c_str(), 0777) != 0) return -1;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::geteuid() == 0) {
      const gid_t nobodyGroup = 65534;
      const uid_t nobody = 65534;
      if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyGroup) != 0 || ::setuid(nobody) != 0) {
        ::_exit(ChildCannotDropRoot);
      }
    }
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// ---- The result file cannot be opened before the run ----

TEST(FaultInjection, ResultFileUnderARegularFileIsReportedOnce) {
  ScratchDir dir;
  PutFileBytes(dir.File("notes.txt"), "not a directory");
  RecordedMessages messages;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(dir.File("notes.txt/result.txt")), messages);
  ExpectStoppedOnceAtTheFile(outcome, messages);
  EXPECT_EQ(FileBytes(dir.File("notes.txt")), "not a directory");
}

TEST(FaultInjection, ImmutableResultFileIsReportedOnceAndKeepsItsContents) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  PutFileBytes(path, "earlier result");
  ImmutableFile guard(path);
  if (!guard.Set()) GTEST_SKIP() << "the immutable attribute cannot be set here";
  RecordedMessages messages;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages);
  ExpectStoppedOnceAtTheFile(outcome, messages);
  EXPECT_EQ(FileBytes(path), "earlier result");
}

// Exit statuses of the child runs below: 0 when every check held.
enum ChildFailure { WrongOutcome = 10, WrongMessages, WrongContents, SetupFailed };

TEST(FaultInjection, ReadOnlyResultFileIsReportedOnceAndKeepsItsContents) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  const int status = InChildWithoutRoot(dir, [&] {
    try {
      PutFileBytes(path, "earlier result");
    } catch (const std::exception&) {
      return static_cast<int>(SetupFailed);
    }
    if (::chmod(path.c_str(), 0444) != 0) return static_cast<int>(SetupFailed);
    RecordedMessages messages;
    Simulation sim;
    const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages);
    if (outcome.status != RunStatus::FileNotOpened || outcome.completed()) return static_cast<int>(WrongOutcome);
    if (messages.messages != OneCannotOpen) return static_cast<int>(WrongMessages);
    return FileBytes(path) == "earlier result" ? 0 : static_cast<int>(WrongContents);
  });
  if (status == ChildCannotDropRoot) GTEST_SKIP() << "cannot give up root for the user nobody";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(FileBytes(path), "earlier result");
}

// ---- The result file changes between two zones ----

struct BetweenZonesCase {
  std::string name;
  int afterZone;  // the change happens once this zone's table is written
};

void PrintTo(const BetweenZonesCase& c, std::ostream* os) { *os << c.name; }

class DeletedBetweenZones : public ::testing::TestWithParam<BetweenZonesCase> {};

TEST_P(DeletedBetweenZones, StopsOnceAndDoesNotCreateTheFileAgain) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  RunOptions options;
  int calls = 0;
  options.afterZone = [&](std::int32_t zone) {
    ++calls;
    if (zone == GetParam().afterZone) std::filesystem::remove(path);
  };
  RecordedMessages messages;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages, options);
  ExpectStoppedOnceAtTheFile(outcome, messages);
  EXPECT_EQ(calls, GetParam().afterZone);  // no zone after the failed one is run
  EXPECT_FALSE(std::filesystem::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Zones, DeletedBetweenZones,
                         ::testing::Values(BetweenZonesCase{"AfterZone1", 1},
                                           BetweenZonesCase{"AfterZone2", 2}),
                         [](const auto& info) { return info.param.name; });

// A directory takes the file's place (root cannot open that for writing either); the file
// moved aside keeps everything written before.
TEST(FaultInjection, ResultFileReplacedByADirectoryBetweenZonesKeepsWhatWasWritten) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  RunOptions options;
  options.afterZone = [&](std::int32_t zone) {
    if (zone == 2) {
      std::filesystem::rename(path, dir.File("moved.txt"));
      std::filesystem::create_directory(path);
    }
  };
  RecordedMessages messages;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages, options);
  ExpectStoppedOnceAtTheFile(outcome, messages);
  EXPECT_EQ(FileBytes(dir.File("moved.txt")), WrittenUpTo(sim, 2));
  EXPECT_TRUE(std::filesystem::is_empty(path));
}

TEST(FaultInjection, ResultFileMadeImmutableBetweenZonesKeepsWhatWasWritten) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  ImmutableFile guard(path);
  bool set = false;
  RunOptions options;
  options.afterZone = [&](std::int32_t zone) {
    if (zone == 1) set = guard.Set();
  };
  RecordedMessages messages;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages, options);
  if (!set) GTEST_SKIP() << "the immutable attribute cannot be set here";
  ExpectStoppedOnceAtTheFile(outcome, messages);
  EXPECT_EQ(FileBytes(path), WrittenUpTo(sim, 1));
}

TEST(FaultInjection, ResultFileMadeReadOnlyBetweenZonesKeepsWhatWasWritten) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  const int status = InChildWithoutRoot(dir, [&] {
    RunOptions options;
    options.afterZone = [&](std::int32_t zone) {
      if (zone == 1) (void)::chmod(path.c_str(), 0444);
    };
    RecordedMessages messages;
    Simulation sim;
    const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages, options);
    if (outcome.status != RunStatus::FileNotOpened || outcome.completed()) return static_cast<int>(WrongOutcome);
    if (messages.messages != OneCannotOpen) return static_cast<int>(WrongMessages);
    return FileBytes(path) == WrittenUpTo(sim, 1) ? 0 : static_cast<int>(WrongContents);
  });
  if (status == ChildCannotDropRoot) GTEST_SKIP() << "cannot give up root for the user nobody";
  EXPECT_EQ(status, 0);
}

// ---- The disk fills up during the run ----

// A file-size limit makes a write fail part-way, as a full disk does. The run ends as a
// failed write with a message naming the file; the file keeps every byte that reached it.
// The limit binds a child process only.
TEST(FaultInjection, DiskFullDuringTheRunKeepsEveryByteWritten) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  Simulation reference;
  RecordedMessages quiet;
  ASSERT_TRUE(RunSimulation(reference, ThreeZonesFor(path), quiet).completed());
  const std::string complete = FileBytes(path);
  const std::string beforeZone2 = WrittenUpTo(reference, 1);
  ASSERT_LT(beforeZone2.size() + 1000, complete.size());

  for (const std::size_t limit : {std::size_t{100}, beforeZone2.size() + 1000}) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    std::filesystem::remove(path);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit fileSize{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0) ::_exit(SetupFailed);
      RecordedMessages messages;
      Simulation sim;
      const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages);
      if (outcome.status != RunStatus::WriteFailed || (outcome.style == MessageStyle::Notice)) ::_exit(WrongOutcome);
      if (!messages.messages.empty() || outcome.message.find(path) == std::string::npos) {
        ::_exit(WrongMessages);
      }
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileBytes(path), complete.substr(0, limit));
  }
}

TEST(FaultInjection, SymbolicLinkToAFullDeviceEndsTheRunAsAFailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  std::filesystem::create_symlink("/dev/full", path);
  RecordedMessages messages;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, ThreeZonesFor(path), messages);
  EXPECT_EQ(outcome.status, RunStatus::WriteFailed);
  EXPECT_FALSE((outcome.style == MessageStyle::Notice));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(outcome.message.rfind("Could not write to the result file \"" + path + "\": ", 0), 0U)
      << outcome.message;
}

// A failed run leaves nothing behind that spoils the next one.
TEST(FaultInjection, RunAfterAFailedRunWritesTheCompleteFile) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  Simulation sim;
  RecordedMessages messages;
  RunOptions deleting;
  deleting.afterZone = [&](std::int32_t) { std::filesystem::remove(path); };
  ASSERT_EQ(RunSimulation(sim, ThreeZonesFor(path), messages, deleting).status, RunStatus::FileNotOpened);
  MapEntryTexts faulty = ThreeZonesFor(path);
  faulty.SetText("Edit7", "-181.84");
  ASSERT_EQ(RunSimulation(sim, faulty, messages).status, RunStatus::ArithmeticFault);

  ASSERT_TRUE(RunSimulation(sim, ThreeZonesFor(path), messages).completed());
  const std::string afterFailures = FileBytes(path);
  Simulation fresh;
  ASSERT_TRUE(RunSimulation(fresh, ThreeZonesFor(path), messages).completed());
  EXPECT_EQ(afterFailures, FileBytes(path));
  EXPECT_EQ(afterFailures, WrittenUpTo(fresh, 3));
}

// ---- Arithmetic faults ----

class ArithmeticFaultRun : public ::testing::TestWithParam<test_support::ArithmeticFaultCase> {};

// Each fault ends the run with a message that names it (and, once marching, the zone and
// step); the file keeps exactly what was written before, and nothing is shown as a message
// box during the run. A run stopped while reading the conditions leaves an earlier file.
TEST_P(ArithmeticFaultRun, EndsWithItsMessageAndKeepsWhatWasWritten) {
  const test_support::ArithmeticFaultCase& fc = GetParam();
  ASSERT_FALSE(fc.texts.empty()) << "no conditions found for this fault";
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  PutFileBytes(path, "earlier result");
  MapEntryTexts entries = EntriesFor(path);
  for (const auto& [entry, text] : fc.texts) entries.ForceText(entry, text);
  Simulation sim;
  RecordedMessages messages;
  const RunOutcome outcome = RunSimulation(sim, entries, messages);
  EXPECT_EQ(outcome.status, RunStatus::ArithmeticFault);
  EXPECT_FALSE(outcome.completed());
  EXPECT_FALSE((outcome.style == MessageStyle::Notice));
  EXPECT_EQ(outcome.message, fc.message);
  EXPECT_TRUE(messages.messages.empty());
  if (fc.zonesWritten < 0) {
    EXPECT_EQ(FileBytes(path), "earlier result");
  } else {
    EXPECT_EQ(FileBytes(path), WrittenUpTo(sim, fc.zonesWritten, fc.zonesWritten > 0));
  }
}

INSTANTIATE_TEST_SUITE_P(Model, ArithmeticFaultRun,
                         ::testing::ValuesIn(test_support::ArithmeticFaultCases()),
                         [](const auto& info) {
                           std::string name;
                           for (const char ch : info.param.name) {
                             if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
                           }
                           return name;
                         });

}  // namespace
}  // namespace tovimar
