// The batch tool's memory: a run's large blocks come from 2 MiB pages.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

TEST(BatchMemory, TheLargestRunFaultsInFewPages) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the address sanitizer's allocator and shadow memory fault pages of their own";
#endif
  if (FileBytes("/sys/kernel/mm/transparent_hugepage/enabled").find("[never]") != std::string::npos) {
    GTEST_SKIP() << "the system gives no 2 MiB pages";
  }
  // 14 zones of 1999 steps: the profile alone is about 590 pages of 4 KiB.
  const MapEntryTexts defaults;
  std::vector<std::string> args{TOVIMAR_BATCH_EXE, "-o", "r.txt"};
  for (int zone = 1; zone <= MaxZones; ++zone) {
    for (int column = 1; zone > 2 && column <= ZoneColumns; ++column) {
      args.push_back("--set");
      args.push_back(ZoneField(zone, column).entryName + "=" +
                     defaults.Text(ZoneField(2, column).entryName));
    }
    args.push_back("--set");
    args.push_back("ZoneLength[" + std::to_string(zone) + "]=199.9");
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  ScratchDir dir;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, 1) < 0 || ::dup2(null, 2) < 0 || ::chdir(dir.path().c_str()) != 0) {
      ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  rusage usage{};
  ASSERT_EQ(::wait4(pid, &status, 0, &usage), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(FileBytes(dir.File("r.txt")).find("  ZONE 14\r\n"), std::string::npos);
  // In 4 KiB pages the run faults about 1750 times; in 2 MiB pages about 80.
  EXPECT_LT(usage.ru_minflt, 600);
}

}  // namespace
}  // namespace tovimar
