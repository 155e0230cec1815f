// Data files that are not plain files, cannot be read, vanish, or hold lines of megabytes.
// Loading must answer promptly with its message and change nothing, or load what is there;
// it must never wait for ever. Cases that could hang run in a child process under an alarm
// so that a regression fails the test instead of stopping the suite.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/recorded.h"
#include "conditionfile/data_file.h"
#include "conditionfile/input_file.h"
#include "input/field_catalogue.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;

constexpr int TimedOut = 99;

// Runs `body` in a child process that is killed after `seconds`; returns its exit status,
// or TimedOut.
int InChildWithin(unsigned seconds, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::alarm(seconds);
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return TimedOut;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> TextsOf(const EntryTexts& entries) {
  std::map<std::string, std::string> texts;
  for (const std::string& name : AllEntryNames()) texts[name] = entries.Text(name);
  return texts;
}

// The 120 lines "label =  value" with values "1.5", "2.5", ...
std::string DataText() {
  std::string text;
  for (int line = 1; line <= DataFileLineCount; ++line) {
    text += "label " + std::to_string(line) + " =  " + std::to_string(line) + ".5\r\n";
  }
  return text;
}

// 0 when loading `path` gives `expected` with exactly `message` and, unless loaded,
// changes no entry; a distinct code for each failed check.
int LoadCheck(const std::string& path, DataFileLoad expected, const std::string& message) {
  MapEntryTexts entries;
  entries.SetText("Edit6", "2.0");
  const auto before = TextsOf(entries);
  RecordedMessages messages;
  if (LoadDataFile(path, entries, messages) != expected) return 1;
  if (messages.messages != (message.empty() ? std::vector<std::string>{}
                                            : std::vector<std::string>{message})) {
    return 2;
  }
  if (expected != DataFileLoad::Loaded) return TextsOf(entries) == before ? 0 : 3;
  return entries.Text("Edit6") == "35.5" ? 0 : 4;  // Edit6 is line 35
}

const std::string CannotOpen = "Data file can not open!";

std::string NotDataFileMessage(const std::string& path) {
  std::string message = "\"";
  message += path;
  message += "\" is not a correct data file!";
  return message;
}

TEST(DataFileReliability, NamedPipeWithoutAWriterDoesNotHang) {
  ScratchDir dir;
  const std::string path = dir.File("pipe.txt");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  // Nobody writes: the pipe ends before its first byte, so it cannot be read.
  EXPECT_EQ(InChildWithin(20, [&] { return LoadCheck(path, DataFileLoad::CannotOpen, CannotOpen); }), 0);
  try {
    MapEntryTexts entries;
    LoadDataFile(path, entries);
    ADD_FAILURE() << "loaded a pipe without a writer";
  } catch (const FileError& e) {
    EXPECT_EQ(e.reason(), "the pipe has no writer");
  }
}

TEST(DataFileReliability, PipeFedByAnotherProcessLoads) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t writer = ::fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    ::close(fds[0]);
    const std::string text = DataText();
    const bool ok = ::write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::_exit(ok ? 0 : 1);
  }
  ::close(fds[1]);
  const std::string path = "/dev/fd/" + std::to_string(fds[0]);
  EXPECT_EQ(InChildWithin(20, [&] { return LoadCheck(path, DataFileLoad::Loaded, ""); }), 0);
  ::close(fds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
}

TEST(DataFileReliability, DevicesAreNotDataFiles) {
  // /dev/zero never ends and has no line end: it must be refused, not read for ever.
  for (const std::string path : {"/dev/zero", "/dev/null", "/dev/urandom"}) {
    SCOPED_TRACE(path);
    if (!std::filesystem::exists(path)) continue;
    EXPECT_EQ(InChildWithin(20, [&] { return LoadCheck(path, DataFileLoad::CannotOpen, CannotOpen); }), 0);
  }
}

TEST(DataFileReliability, VanishedFileChangesNothing) {
  ScratchDir dir;
  PutFileBytes(dir.File("data.txt"), DataText());
  std::filesystem::create_symlink(dir.File("data.txt"), dir.File("link.txt"));
  ASSERT_EQ(LoadCheck(dir.File("link.txt"), DataFileLoad::Loaded, ""), 0);
  std::filesystem::remove(dir.File("data.txt"));
  // Both the name and a link to it now lead nowhere.
  EXPECT_EQ(LoadCheck(dir.File("data.txt"), DataFileLoad::CannotOpen, CannotOpen), 0);
  EXPECT_EQ(LoadCheck(dir.File("link.txt"), DataFileLoad::CannotOpen, CannotOpen), 0);
}

// Permission bits stop everyone but root: checked as the user "nobody" when running as root.
TEST(DataFileReliability, UnreadableFileChangesNothing) {
  ScratchDir dir;
  const std::string path = dir.File("data.txt");
  PutFileBytes(path, DataText());
  ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  constexpr int CannotDropRoot = 77;
  const int status = InChildWithin(20, [&] {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      return CannotDropRoot;
    }
    return LoadCheck(path, DataFileLoad::CannotOpen, CannotOpen);
  });
  if (status == CannotDropRoot) GTEST_SKIP() << "cannot give up root for the user nobody";
  EXPECT_EQ(status, 0);
}

TEST(DataFileReliability, LinesOfMegabytesLoad) {
  constexpr std::size_t Megabytes = 3 << 20;
  std::string text;
  for (int line = 1; line <= DataFileLineCount; ++line) {
    if (line == 1) text += std::string(Megabytes, 'L');      // a label of 3 MB
    else text += "label";
    text += " =  ";
    if (line == 2) text += std::string(Megabytes, '7');      // a value of 3 MB
    else text += std::to_string(line) + ".5";
    if (line == 3) text += " " + std::string(Megabytes, 'C'); // a comment of 3 MB
    text += "\r\n";
  }
  ScratchDir dir;
  PutFileBytes(dir.File("data.txt"), text);
  MapEntryTexts entries;
  RecordedMessages messages;
  ASSERT_EQ(LoadDataFile(dir.File("data.txt"), entries, messages), DataFileLoad::Loaded);
  EXPECT_TRUE(messages.messages.empty());
  const auto& fields = ConditionFields();
  EXPECT_EQ(entries.Text(fields[0].entryName), "1.5");
  EXPECT_EQ(entries.Text(fields[1].entryName), std::string(Megabytes, '7'));
  EXPECT_EQ(entries.Text(fields[2].entryName), "3.5");
  EXPECT_EQ(entries.Text(fields[119].entryName), "120.5");

  // A single line of megabytes without a line end is one line, not a data file.
  const std::string oneLine = dir.File("one line.txt");
  PutFileBytes(oneLine, std::string(Megabytes, '='));
  EXPECT_EQ(LoadCheck(oneLine, DataFileLoad::NotDataFile, NotDataFileMessage(oneLine)), 0);
}

// A line of more than 16 MiB (line end and CRs not counted) is refused; reading stops there.
TEST(DataFileReliability, LinesLongerThanSixteenMiBAreRefused) {
  const std::string rest = DataText().substr(DataText().find('\n') + 1);
  struct Case {
    std::size_t length;  // of line 1
    std::string lineEnd;
    bool loads;
  };
  for (const Case& c : {Case{MaxDataFileLineLength, "\r\n", true}, Case{MaxDataFileLineLength, "\r\r\n", true},
                        Case{MaxDataFileLineLength + 1, "\n", false}}) {
    SCOPED_TRACE(c.length);
    ScratchDir dir;
    PutFileBytes(dir.File("data.txt"), "a=" + std::string(c.length - 2, '7') + c.lineEnd + rest);
    EXPECT_EQ(LoadCheck(dir.File("data.txt"), c.loads ? DataFileLoad::Loaded : DataFileLoad::NotDataFile,
                        c.loads ? "" : NotDataFileMessage(dir.File("data.txt"))),
              0);
  }
}

// The first 120 lines together may hold 64 MiB (line ends and CRs not counted); one byte
// more refuses the file, and reading stops there.
TEST(DataFileReliability, LinesLongerThanSixtyFourMiBInAllAreRefused) {
  const std::string text = DataText();
  std::size_t rest = 0;  // where line 5 starts
  for (int line = 0; line < 4; ++line) rest = text.find('\n', rest) + 1;
  std::size_t restLength = 0;  // of lines 5 to 120, without their CR LF
  for (std::size_t at = rest; at < text.size(); at = text.find('\n', at) + 1) {
    restLength += text.find('\r', at) - at;
  }
  for (const std::size_t extra : {std::size_t{0}, std::size_t{1}}) {
    SCOPED_TRACE(extra);
    std::string bytes;
    for (int line = 1; line <= 4; ++line) {
      const std::size_t length = line < 4 ? MaxDataFileLineLength
                                          : MaxDataFileLength - 3 * MaxDataFileLineLength - restLength + extra;
      bytes += "a=" + std::string(length - 2, static_cast<char>('0' + line)) + "\r\n";
    }
    bytes += text.substr(rest);
    MapEntryTexts entries;
    TextSource source(bytes);
    if (extra == 0) {
      LoadDataFile(source, "in memory", entries);
      EXPECT_EQ(entries.Text(ConditionFields()[3].entryName).size(), MaxDataFileLength - 3 * MaxDataFileLineLength - restLength - 2);
      EXPECT_EQ(entries.Text(ConditionFields()[119].entryName), "120.5");
      continue;
    }
    try {
      LoadDataFile(source, "in memory", entries);
      ADD_FAILURE() << "loaded more than 64 MiB";
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), "\"in memory\" is not a correct data file!");
      EXPECT_EQ(e.reason(), "its first 120 lines are longer than 64 MiB in all");
      EXPECT_EQ(entries.Text("Edit6"), MapEntryTexts{}.Text("Edit6"));
    }
  }
}

TEST(DataFileReliability, WritingToAPipeWithoutAReaderFailsInsteadOfHanging) {
  ScratchDir dir;
  const std::string path = dir.File("pipe.txt");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(InChildWithin(20, [&] {
              try {
                WriteDataFile(path, MapEntryTexts{});
              } catch (const std::runtime_error& e) {
                return std::string(e.what()).find("\"" + path + "\"") != std::string::npos ? 0 : 2;
              }
              return 1;
            }),
            0);
}

}  // namespace
}  // namespace tovimar
