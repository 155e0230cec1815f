// The file writer's safety: a result file belongs to one run at a time, names are compared
// by the file they lead to, and a signal removes the temporary file of a write in progress.
#include "format/file_writer.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;

std::string ReasonOfCreate(const ResultFile& file, std::string_view text) {
  try {
    file.Create(text);
  } catch (const FileError& e) {
    return std::string(e.what()) + " / " + e.reason();
  }
  return "created";
}

TEST(ResultFileLock, ASecondRunIsRefusedAndTheFirstRunsFileStaysWhole) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  {
    const ResultFile first(path);
    first.Create("head\r\n");
    const ResultFile second(path);
    EXPECT_EQ(ReasonOfCreate(second, "other\r\n"),
              "File can not open! / Resource temporarily unavailable, locked by another run");
    first.Append("zone 2\r\n");
    const ResultFile copy = first;  // a copy holds the same lock
    copy.Append("zone 3\r\n");
    EXPECT_EQ(FileBytes(path), "head\r\nzone 2\r\nzone 3\r\n");
  }
  // Once the run's file is gone, another run may take it.
  EXPECT_EQ(ReasonOfCreate(ResultFile(path), "next\r\n"), "created");
  EXPECT_EQ(FileBytes(path), "next\r\n");
}

// Another file renamed into the result file's place between two zones gets none of the
// run's lines, and a whole-file write to a result file in use is refused.
TEST(ResultFileLock, TheRunWritesOnlyIntoTheFileItLocked) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  const ResultFile run(path);
  run.Create("head\r\n");
  EXPECT_THROW(WriteTextFile(path, "csv\r\n", "profile CSV file"), FileError);
  try {
    WriteTextFile(path, "csv\r\n", "profile CSV file");
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create the profile CSV file \"" + path +
                                         "\": Resource temporarily unavailable, locked by another run.");
  }
  EXPECT_EQ(FileBytes(path), "head\r\n");

  std::filesystem::rename(path, dir.File("moved.txt"));
  PutFileBytes(dir.File("other.txt"), "other");
  std::filesystem::rename(dir.File("other.txt"), path);
  try {
    run.Append("zone 2\r\n");
    ADD_FAILURE() << "appended to another file";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "File can not open!");
    EXPECT_EQ(e.reason(), ReplacedSinceCreatedReason);
    EXPECT_EQ(e.failure(), FileError::Failure::CannotOpen);
  }
  EXPECT_EQ(FileBytes(path), "other");
  EXPECT_EQ(FileBytes(dir.File("moved.txt")), "head\r\n");
}

TEST(FileIdentity, NamesAreComparedByTheFileTheyLeadTo) {
  ScratchDir dir;
  std::filesystem::current_path(dir.path());
  PutFileBytes("a.txt", "a");
  std::filesystem::create_directory("sub");
  std::filesystem::create_symlink("a.txt", "link");
  std::filesystem::create_symlink("sub/new.txt", "dangling");
  std::filesystem::create_hard_link("a.txt", "hard");
  const std::vector<std::tuple<std::string, std::string, bool>> cases{
      {"a.txt", "./a.txt", true},         {"a.txt", "sub/../a.txt", true},
      {"a.txt", "link", true},            {"a.txt", "hard", true},
      {"dangling", "sub/new.txt", true},  {"new.txt", "sub/../new.txt", true},
      {"no/x.txt", "no/../no/x.txt", true}, {"sub/", "sub", true},
      {"a.txt", "sub/a.txt", false},      {"new.txt", "sub/new.txt", false},
      {"no/x.txt", "x.txt", false},
  };
  for (const auto& [a, b, same] : cases) {
    EXPECT_EQ(IdentifyFile(a) == IdentifyFile(b), same) << a << " / " << b;
  }
  std::filesystem::current_path("/");
}

TEST(TemporaryFiles, ASignalRemovesThemAndEndsTheProcessAsUsual) {
  for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE}) {
    SCOPED_TRACE(signal);
    ScratchDir dir;
    const std::string path = dir.File(".tvmABCDEF");
    PutFileBytes(path, "half");
    PutFileBytes(dir.File("kept.txt"), "kept");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit noCore{0, 0};  // SIGQUIT's usual end writes a core file
      ::setrlimit(RLIMIT_CORE, &noCore);
      InstallFileSignalHandling();
      if (RegisterTemporaryFile(path.c_str()) < 0) ::_exit(3);
      ::raise(signal);
      ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(FileBytes(dir.File("kept.txt")), "kept");
  }
}

}  // namespace
}  // namespace tovimar
