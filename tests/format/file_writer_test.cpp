// Whole-file writes: a file is replaced only once every byte has been written.
#include "format/file_writer.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

std::string MessageOf(const std::string& path, const std::string& bytes) {
  try {
    WriteTextFile(path, bytes, "test file");
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "written";
}

// The names in `dir`, to see that no temporary file is left behind.
std::size_t EntriesIn(const std::string& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(WriteTextFile, CreatesAndReplacesWholeFiles) {
  ScratchDir dir;
  const std::string path = dir.File("out.csv");
  WriteTextFile(path, "a,b\r\n1,2\r\n", "test file");
  EXPECT_EQ(FileBytes(path), "a,b\r\n1,2\r\n");
  ::chmod(path.c_str(), 0640);
  WriteTextFile(path, "c\r\n", "test file");
  EXPECT_EQ(FileBytes(path), "c\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640U) << "the replaced file keeps its permissions";
  EXPECT_EQ(EntriesIn(dir.path()), 1U);
}

TEST(WriteTextFile, FailuresNameTheFile) {
  ScratchDir dir;
  const std::string missing = dir.File("no/such/dir/out.csv");
  EXPECT_EQ(MessageOf(missing, "x"),
            "Cannot create the test file \"" + missing + "\": No such file or directory.");
  EXPECT_EQ(MessageOf("", "x"), "Cannot create the test file: no file name.");
  if (std::filesystem::exists("/dev/full")) {
    // The device takes the open but no byte: the failure is reported, not swallowed.
    EXPECT_EQ(MessageOf("/dev/full", std::string(100000, 'x')),
              "Cannot write the test file \"/dev/full\": No space left on device.");
  }
  const std::string loop = dir.File("loop");
  std::filesystem::create_symlink("loop", loop);
  EXPECT_EQ(MessageOf(loop, "x"),
            "Cannot create the test file \"" + loop + "\": Too many levels of symbolic links.");
  EXPECT_TRUE(std::filesystem::is_symlink(loop));
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(MessageOf(fifo, "x"),
            "Cannot create the test file \"" + fifo + "\": No such device or address.");
}

// Writes 1000 bytes to `path` under a file-size limit of 8 bytes in a child process: the
// write must fail naming the file, and `path` keep `earlier`.
void ExpectAFailedWriteKeeps(const std::string& path, const std::string& earlier) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8, 8};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
      ::_exit(3);
    }
    const std::string message = MessageOf(path, std::string(1000, 'y'));
    ::_exit(message == "Cannot write the test file \"" + path + "\": File too large." ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(path), earlier);
}

// A write that fails half-way (here: a file-size limit, as a full disk would) leaves the
// earlier file exactly as it was and no temporary file behind, a file with two hard links
// (written by copying) included.
TEST(WriteTextFile, AFailedWriteKeepsTheEarlierFile) {
  for (const bool linked : {false, true}) {
    SCOPED_TRACE(linked ? "two hard links" : "one name");
    ScratchDir dir;
    const std::string path = dir.File("data.txt");
    WriteTextFile(path, "earlier content\r\n", "test file");
    if (linked) std::filesystem::create_hard_link(path, dir.File("link.txt"));
    ExpectAFailedWriteKeeps(path, "earlier content\r\n");
    EXPECT_EQ(EntriesIn(dir.path()), linked ? 2U : 1U);
    if (linked) {  // both names keep it, and a write that succeeds reaches both
      EXPECT_EQ(FileBytes(dir.File("link.txt")), "earlier content\r\n");
      WriteTextFile(path, "new\r\n", "test file");
      EXPECT_EQ(FileBytes(dir.File("link.txt")), "new\r\n");
      EXPECT_EQ(EntriesIn(dir.path()), 2U);
    }
  }
}

}  // namespace
}  // namespace tovimar
