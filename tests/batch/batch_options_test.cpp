// Options that would be ignored beside others are refused before anything is read or
// written; the combinations that do what they say run; --help lists every exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_process.h"

namespace tovimar {
namespace {

using test_support::BatchFinished;
using test_support::PutFileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

std::vector<std::string> Names(const ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<std::string> Search{"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.5:1"};
const std::vector<std::string> Fitting{"--fit", "Keff", "--measured", "m.csv"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(BatchOptions, AnOptionThatWouldBeIgnoredIsRefused) {
  const std::string design = ": a design runs each record in memory and writes only its summary records to "
                             "standard output\n";
  const std::string sweep = ": a sweep writes only its summary and, with --sweep-results, each run's result "
                            "file (see --help)\n";
  const std::string lineAlone = " cannot be combined with --write-data alone: a data file holds no line settings ";
  const struct {
    std::vector<std::string> args;
    std::string err;  // after "tovimar-batch: "
  } cases[] = {
      {{"--design", "d.csv", "-o", "r.txt"}, "-o cannot be combined with --design" + design},
      {{"--design", "d.csv", "--csv", "p.csv"}, "--csv cannot be combined with --design" + design},
      {{"--design", "d.csv", "--summary", "s.csv"}, "--summary cannot be combined with --design" + design},
      {{"--design", "d.csv", "--summary", "-"}, "--summary cannot be combined with --design" + design},
      {{"--design", "d.csv", "--write-data", "w.txt", "--run"}, "--write-data cannot be combined with --design" + design},
      {{"--design", "d.csv", "--sweep", "Edit6=1:2:1"}, "--sweep cannot be combined with --design" + design},
      {{"--design", "d.csv", "--report", "r.pdf"}, "--report cannot be combined with --design" + design},
      {Join({"--design", "d.csv"}, Search), "--optimise cannot be combined with --design" + design},
      {Join({"--design", "d.csv"}, Fitting), "--fit cannot be combined with --design" + design},
      {Join({"--sweep", "Edit6=1:2:1"}, Fitting), "--fit cannot be combined with --sweep" + sweep},
      {{"--sweep", "Edit6=1:2:1", "--measured", "m.csv"}, "--measured cannot be combined with --sweep" + sweep},
      {Join(Search, Fitting), "--fit cannot be combined with --optimise: a search and a fit are separate commands\n"},
      {{"--list-names", "--set", "Edit6=2"}, "--set cannot be combined with --list-names: it lists the names and exits\n"},
      {{"--list-names", "-o", "r.txt"}, "-o cannot be combined with --list-names: it lists the names and exits\n"},
      {{"--report", "r.pdf", "--write-data", "w.txt"},
       "--write-data cannot be combined with --report: the report's run is made in memory and only the report "
       "is written (with --optimise or --fit it reports the best or the fitted run)\n"},
      {{"--report", "r.pdf", "--write-line", "w.json"},
       "--write-line cannot be combined with --report: the report's run is made in memory and only the report "
       "is written (with --optimise or --fit it reports the best or the fitted run)\n"},
      {{"--no-header"}, "--no-header needs --design\n"},
      {{"--sweep", "Edit6=1:2:1", "--no-header"}, "--no-header needs --design\n"},
      {{"--write-data", "w.txt", "--line", "l.json"}, "--line" + lineAlone + "(add --run to run with them)\n"},
      {{"--write-data", "w.txt", "--set", "LEL1=2"}, "--set LEL1=2" + lineAlone + "(add --run to run with it)\n"},
      {{"--sd", "WebTemp=1"}, "--sd requires --fit\nRun with --help for more information.\n"},
      {{"--fit-runs", "5"}, "--fit-runs requires --fit\nRun with --help for more information.\n"},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += arg + " ";
    SCOPED_TRACE(line);
    ScratchDir dir;
    PutFileBytes(dir.File("d.csv"), "LineSpeed\n1\n");
    PutFileBytes(dir.File("m.csv"), "position along the line (m),web temperature (C)\n1,20\n");
    PutFileBytes(dir.File("l.json"), "{}");
    const BatchFinished f = StartBatch(dir, c.args);
    EXPECT_EQ(f.status, 2);
    EXPECT_EQ(f.err, "tovimar-batch: " + c.err);
    EXPECT_EQ(f.out, "");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{".stderr", ".stdout", "d.csv", "l.json", "m.csv"}));
  }
}

TEST(BatchOptions, CombinationsThatDoWhatTheySayRun) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> written;
  } cases[] = {
      {{"--write-data", "w.txt", "--run", "--line", "l.json"}, {"result.txt", "w.txt"}},
      {{"--write-data", "w.txt", "--set", "Edit6=2", "--set", "ResultFileName=x.txt"}, {"w.txt"}},
      {{"--design", "d.csv", "--line", "l.json", "--no-header", "--set", "Edit8=70"}, {}},
      {{"--sweep", "Edit6=1:2:1", "--line", "l.json", "--summary", "s.csv"}, {"s.csv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[2]);
    ScratchDir dir;
    PutFileBytes(dir.File("d.csv"), "LineSpeed\n1\n");
    PutFileBytes(dir.File("l.json"), "{}");
    const BatchFinished f = StartBatch(dir, c.args);
    EXPECT_EQ(f.status, 0) << f.err;
    std::vector<std::string> expected{".stderr", ".stdout", "d.csv", "l.json"};
    expected.insert(expected.end(), c.written.begin(), c.written.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir), expected);
  }
}

TEST(BatchOptions, HelpListsEveryExitStatus) {
  ScratchDir dir;
  const BatchFinished f = StartBatch(dir, {"--help"});
  ASSERT_EQ(f.status, 0);
  const std::size_t list = f.out.find("\nExit status:\n");
  ASSERT_NE(list, std::string::npos);
  std::size_t at = list;
  for (int status = 0; status <= 8; ++status) {
    const std::size_t next = f.out.find("\n  " + std::to_string(status) + "  ", at);
    EXPECT_NE(next, std::string::npos) << status;
    at = next == std::string::npos ? at : next;
  }
  for (const char* text : {"the model does not hold", "--optimise found no point within every limit",
                           "a named pipe with no writer", "longer than 16 MiB"}) {
    EXPECT_NE(f.out.find(text, list), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace tovimar
