// --design, the scale-out recipe with GNU parallel, --summary -, --list-names and --version.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "batch_process.h"

namespace tovimar {
namespace {

using test_support::BatchFinished;
using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 2;
  }
  return lines;
}

// Each design record equals the summary record of a single run with the same settings.
TEST(BatchDesign, EachRecordIsTheSingleRunOfItsSettings) {
  ScratchDir dir;
  PutFileBytes(dir.File("d.csv"), "LineSpeed,ZoneAirTemp[1],LEL1\n0.5,60,1.4\r\n1,80,\"1.2\"\n0,70,1\n");
  const BatchFinished f = StartBatch(dir, {"--design", "d.csv"});
  EXPECT_EQ(f.status, 5) << f.err;  // the third run divides by a zero speed
  const std::vector<std::string> lines = Lines(f.out);
  ASSERT_EQ(lines.size(), 4u) << f.out;
  const struct {
    std::vector<std::string> sets;
    std::string fields;
  } runs[] = {{{"LineSpeed=0.5", "ZoneAirTemp[1]=60", "LEL1=1.4"}, "0.5,60,1.4,"},
              {{"LineSpeed=1", "ZoneAirTemp[1]=80", "LEL1=1.2"}, "1,80,1.2,"},
              {{"LineSpeed=0", "ZoneAirTemp[1]=70", "LEL1=1"}, "0,70,1,"}};
  for (std::size_t i = 0; i < 3; ++i) {
    std::vector<std::string> args{"--summary", "-", "-o", "r.txt"};
    for (const std::string& set : runs[i].sets) {
      args.push_back("--set");
      args.push_back(set);
    }
    const std::vector<std::string> single = Lines(StartBatch(dir, args).out);
    ASSERT_EQ(single.size(), 2u);
    EXPECT_EQ(lines[0], "LineSpeed,ZoneAirTemp[1],LEL1," + single[0].substr(std::string("run,").size()));
    EXPECT_EQ(lines[i + 1], runs[i].fields + single[1].substr(std::string("1,").size()));
  }
}

// The README's recipe: a design split into chunks across two jobs gives one process's output.
TEST(BatchDesign, GnuParallelRecipeEqualsOneProcess) {
  if (std::system("command -v parallel >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "GNU parallel is not installed";
  }
  ScratchDir dir;
  std::string design = "LineSpeed,ZoneAirTemp[2]\n";
  for (const char* speed : {"0.5", "0.8", "1", "1.5", "2"}) {
    for (const char* temp : {"50", "70"}) {
      design += std::string(speed) + "," + temp + "\n";
    }
  }
  PutFileBytes(dir.File("d.csv"), design);
  const BatchFinished one = StartBatch(dir, {"--design", "d.csv"});
  ASSERT_EQ(one.status, 0) << one.err;
  const std::string command = "cd '" + dir.path().string() +
                              "' && parallel --pipe -N 3 --header : --keep-order -j2 '" +
                              TOVIMAR_BATCH_EXE + "' --design - < d.csv > many.csv";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(FileBytes(dir.File("many.csv")), one.out);
}

TEST(BatchDesign, RefusedDesignsAndOptions) {
  const struct {
    const char* name;
    std::string design;
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {"unknown name", "Speed\n1\n", {"--design", "d.csv"}, 2,
       "no entry or field named \"Speed\" (tovimar-batch --list-names lists every name)"},
      {"short record", "LineSpeed,Edit7\n1\n", {"--design", "d.csv"}, 2,
       "record 2 has 1 fields, the header 2"},
      {"missing design", "", {"--design", "none.csv"}, 4,
       "tovimar-batch: Design file can not open! (\"none.csv\": No such file or directory)\n"},
      {"empty design", "", {"--design", "d.csv"}, 2, "the design has no header record"},
      {"repeated column", "LineSpeed,Edit8,LineSpeed\n1,2,3\n", {"--design", "d.csv"}, 2,
       "tovimar-batch: --design: the header holds the column \"LineSpeed\" twice\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    PutFileBytes(dir.File("d.csv"), c.design);
    const BatchFinished f = StartBatch(dir, c.args);
    EXPECT_EQ(f.status, c.status);
    EXPECT_NE(f.err.find(c.err), std::string::npos) << f.err;
  }
}

TEST(BatchDesign, HeaderOnlyFromTheFirstJob) {
  ScratchDir dir;
  PutFileBytes(dir.File("d.csv"), "LineSpeed\n1\n");
  EXPECT_EQ(Lines(StartBatch(dir, {"--design", "d.csv", "--no-header"}).out).size(), 1u);
  ::setenv("PARALLEL_SEQ", "2", 1);
  const BatchFinished later = StartBatch(dir, {"--design", "d.csv"});
  ::setenv("PARALLEL_SEQ", "1", 1);
  const BatchFinished first = StartBatch(dir, {"--design", "d.csv"});
  ::unsetenv("PARALLEL_SEQ");
  EXPECT_EQ(Lines(later.out).size(), 1u);
  EXPECT_EQ(Lines(first.out).size(), 2u);
}

TEST(BatchNames, ListVersionAndSummaryToStandardOutput) {
  ScratchDir dir;
  const BatchFinished names = StartBatch(dir, {"--list-names"});
  EXPECT_EQ(names.status, 0);
  for (const char* line : {"\nEdit6\tLineSpeed\tSpeed\tm/s\t1.0\n", "\nLEL1\t",
                           "\nLineEndResidualSolvent\tline\tline end residual solvent\tg/m2\n",
                           "\nZoneExhaustLEL\tzone\texhaust LEL\t%\n"}) {
    EXPECT_NE(names.out.find(line), std::string::npos) << line;
  }
  const BatchFinished version = StartBatch(dir, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tovimar-batch " TOVIMAR_VERSION "\n");
  // "-" is standard output, never a file of that name.
  const BatchFinished summary = StartBatch(dir, {"--summary", "-"});
  EXPECT_EQ(summary.status, 0);
  EXPECT_EQ(summary.out.rfind("run,outcome,message,line end web temperature (C),", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("-")));
}

}  // namespace
}  // namespace tovimar
