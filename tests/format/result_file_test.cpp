#include "support/recorded.h"
#include "format/file_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

const std::vector<std::string> OneCannotOpen{"File can not open!"};

void WriteRaw(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

TEST(ResultFile, CreateWritesTheBytesAsGiven) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  RecordedMessages messages;
  const std::string text = std::string("A\r\nB\x81\x8E\r\n\r\n") + '\0' + "end";
  EXPECT_TRUE(CreateFile(ResultFile(path), text, messages));
  EXPECT_EQ(FileBytes(path), text);
  EXPECT_TRUE(messages.messages.empty());
}

TEST(ResultFile, CreateReplacesAnExistingLongerFile) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  WriteRaw(path, std::string(5000, 'x'));
  RecordedMessages messages;
  EXPECT_TRUE(CreateFile(ResultFile(path), "new\r\n", messages));
  EXPECT_EQ(FileBytes(path), "new\r\n");
}

TEST(ResultFile, AppendWritesAtTheEnd) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  RecordedMessages messages;
  const ResultFile file(path);
  ASSERT_TRUE(CreateFile(file, "head\r\n", messages));
  EXPECT_TRUE(AppendFile(file, "one\r\n", messages));
  EXPECT_TRUE(AppendFile(file, "", messages));
  EXPECT_TRUE(AppendFile(file, "two\r\n", messages));
  EXPECT_EQ(FileBytes(path), "head\r\none\r\ntwo\r\n");
  EXPECT_TRUE(messages.messages.empty());
}

TEST(ResultFile, RelativeNameIsTakenFromTheCurrentDirectory) {
  ScratchDir dir;
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  RecordedMessages messages;
  const bool created = CreateFile(ResultFile("result.txt"), "x\r\n", messages);
  std::filesystem::current_path(before);
  EXPECT_TRUE(created);
  EXPECT_EQ(FileBytes(dir.File("result.txt")), "x\r\n");
}

// Names that cannot be opened for writing, whoever runs the test (root included).
TEST(ResultFile, NamesThatCannotBeCreatedGiveTheMessage) {
  ScratchDir dir;
  WriteRaw(dir.File("plain"), "data");
  std::filesystem::create_directory(dir.path() / "folder");
  const std::vector<std::string> paths{
      dir.File("missing/result.txt"),  // a directory that does not exist
      dir.File("plain/result.txt"),    // a "directory" that is a regular file
      dir.File("folder"),              // a directory
      "",                              // no name at all
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE("path \"" + path + "\"");
    RecordedMessages createMessages;
    EXPECT_FALSE(CreateFile(ResultFile(path), "text", createMessages));
    EXPECT_EQ(createMessages.messages, OneCannotOpen);
    RecordedMessages appendMessages;
    EXPECT_FALSE(AppendFile(ResultFile(path), "text", appendMessages));
    EXPECT_EQ(appendMessages.messages, OneCannotOpen);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
  EXPECT_EQ(FileBytes(dir.File("plain")), "data");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "folder"));
}

// 0 when neither Create nor Append can open the read-only file and each shows the message.
int RefusedReadOnly(const std::string& path) {
  RecordedMessages messages;
  if (CreateFile(ResultFile(path), "new", messages) || AppendFile(ResultFile(path), "new", messages)) {
    return 1;
  }
  return messages.messages == std::vector<std::string>{"File can not open!", "File can not open!"}
             ? 0
             : 2;
}

TEST(ResultFile, ReadOnlyFileGivesTheMessageAndKeepsItsContents) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  WriteRaw(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const int probe = ::open(path.c_str(), O_WRONLY);
  if (probe < 0) {
    EXPECT_EQ(RefusedReadOnly(path), 0);
  } else {
    // Permission bits do not stop root: try as an unprivileged user in a child process.
    ::close(probe);
    if (::geteuid() != 0) {
      GTEST_SKIP() << "this user can write to a read-only file";
    }
    // A world-writable file beside it shows that the refusal comes from the file's mode
    // (the directory is opened up so that the other user can reach both).
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string writable = dir.File("writable.txt");
    WriteRaw(writable, "");
    ASSERT_EQ(::chmod(writable.c_str(), 0666), 0);
    constexpr int CannotDropPrivileges = 77;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const gid_t nobodyGroup = 65534;
      const uid_t nobody = 65534;
      if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyGroup) != 0 || ::setuid(nobody) != 0) {
        ::_exit(CannotDropPrivileges);
      }
      RecordedMessages messages;
      if (!AppendFile(ResultFile(writable), "ok", messages)) {
        ::_exit(3);
      }
      ::_exit(RefusedReadOnly(path));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == CannotDropPrivileges) {
      GTEST_SKIP() << "cannot switch to an unprivileged user";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileBytes(writable), "ok");
  }
  EXPECT_EQ(FileBytes(path), "old");
}

TEST(ResultFile, AppendToADeletedFileDoesNotCreateItAgain) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  RecordedMessages messages;
  const ResultFile file(path);
  ASSERT_TRUE(CreateFile(file, "head\r\n", messages));
  std::filesystem::remove(path);
  EXPECT_FALSE(AppendFile(file, "table\r\n", messages));
  EXPECT_EQ(messages.messages, OneCannotOpen);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// A pipe that nobody reads would block an ordinary open for writing for ever.
TEST(ResultFile, PipeWithoutAReaderGivesTheMessageInsteadOfHanging) {
  ScratchDir dir;
  const std::string path = dir.File("pipe");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  RecordedMessages messages;
  EXPECT_FALSE(CreateFile(ResultFile(path), "text", messages));
  EXPECT_FALSE(AppendFile(ResultFile(path), "text", messages));
  EXPECT_EQ(messages.messages, (std::vector<std::string>{"File can not open!", "File can not open!"}));
}

// A full disk: the write fails after the file was opened. That is a fault with a message
// naming the file and the system's reason, not "File can not open!".
TEST(ResultFile, FullDiskThrowsWithTheFileAndTheReason) {
  if (!std::filesystem::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full";
  }
  for (const bool append : {false, true}) {
    SCOPED_TRACE(append ? "Append" : "Create");
    RecordedMessages messages;
    const ResultFile file("/dev/full");
    try {
      if (append) {
        (void)AppendFile(file, "some text\r\n", messages);
      } else {
        (void)CreateFile(file, "some text\r\n", messages);
      }
      ADD_FAILURE() << "no ResultWriteError";
    } catch (const ResultWriteError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("/dev/full"), std::string::npos) << what;
      EXPECT_NE(what.find(std::strerror(ENOSPC)), std::string::npos) << what;
    }
    EXPECT_TRUE(messages.messages.empty());
  }
}

// What reached the file before a write failed stays in it. A file-size limit makes the
// second write fail part-way; it runs in a child process so the limit binds nothing else.
TEST(ResultFile, FailedWriteKeepsWhatWasWritten) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    RecordedMessages messages;
    const ResultFile file(path);
    if (!CreateFile(file, "0123456789", messages)) {
      ::_exit(2);
    }
    const rlimit limit{15, 15};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
      ::_exit(3);
    }
    try {
      (void)AppendFile(file, "ABCDEFGHIJKLMNOPQRST", messages);
    } catch (const ResultWriteError& e) {
      const std::string what = e.what();
      ::_exit(what.find(path) != std::string::npos &&
                      what.find(std::strerror(EFBIG)) != std::string::npos
                  ? 0
                  : 4);
    }
    ::_exit(5);  // the failed write went unnoticed
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(path), "0123456789ABCDE");
}

}  // namespace
}  // namespace tovimar
