// tovimar-batch --report: the PDF tovimar-report writes, read back with poppler's pdftotext.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_process.h"
#include "format/csv.h"
#include "format/entry_number.h"
#include "input/entry_texts.h"
#include "results/output_catalogue.h"
#include "run/run_sequence.h"
#include "study/fit.h"
#include "support/scratch_dir.h"

namespace {

using namespace tovimar;
using namespace tovimar::test_support;

// The output of a shell command; empty when it fails.
std::string CommandOutput(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return out;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
  return out;
}

bool HavePoppler() { return std::system("command -v pdftotext >/dev/null && command -v pdfinfo >/dev/null") == 0; }

// Every run of white space as one space, so that wrapped lines read as one.
std::string Flat(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
    if (!space) out += c;
    else if (!out.empty() && out.back() != ' ') out += ' ';
  }
  return out;
}

std::string PdfText(const std::string& pdf) { return CommandOutput("pdftotext -layout '" + pdf + "' -"); }

int PageCount(const std::string& pdf) {
  const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
  const std::size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// A run of the default entries with `changes`, made in memory as the report makes it.
struct ExpectedRun {
  RunOutcome outcome;
  RunResults results;
};
ExpectedRun RunInMemory(const std::vector<std::pair<std::string, std::string>>& changes = {},
                        const LineSettings& line = {}) {
  MapEntryTexts entries;
  for (const auto& [name, text] : changes) entries.ForceText(name, text);
  auto sim = std::make_unique<Simulation>();
  ExpectedRun run;
  RunOptions inMemory;
  inMemory.writeResultFile = false;
  inMemory.model = line.Model;
  run.outcome = RunSimulation(*sim, entries, inMemory);
  if (run.outcome.completed()) run.results = DeriveResults(*sim, line);
  return run;
}

std::string TwoDecimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

class BatchReport : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HavePoppler()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are needed";
  }
  ScratchDir dir;
};

TEST_F(BatchReport, DefaultRunReportHoldsInputsZoneTableAndStepCheckOnTwoOrThreePages) {
  const BatchFinished run = StartBatch(dir, {"--report", "report.pdf"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FileBytes(dir.File("report.pdf")).substr(0, 5), "%PDF-");
  const std::string text = PdfText(dir.File("report.pdf"));
  const std::string flat = Flat(text);
  EXPECT_NE(flat.find("Speed 1.0 m/s"), std::string::npos) << text;
  EXPECT_NE(flat.find("Increment of z 0.1 m"), std::string::npos);
  EXPECT_NE(flat.find("Data file: defaults Line file: defaults"), std::string::npos);
  for (const char* group : {"Web and zone 1", "Polymer", "Solvent-1", "Solvent-2", "Base film",
                            "Fitting parameters", "Calculation accuracy", "Line settings", "Further zones"}) {
    EXPECT_NE(flat.find(group), std::string::npos) << group;
  }
  // Each zone's row starts with its number and its exit position and temperature as the
  // page's table shows them.
  const ExpectedRun expected = RunInMemory();
  ASSERT_EQ(expected.results.summary.zones.size(), 2U);
  for (const ZoneSummary& zone : expected.results.summary.zones) {
    char row[96];
    std::snprintf(row, sizeof row, " %d %.3f %s ", zone.zone, zone.exitPosition,
                  TwoDecimals(zone.exitTemp).c_str());
    EXPECT_NE(flat.find(row), std::string::npos) << row << "\n" << text;
  }
  EXPECT_NE(flat.find("Step check: halving the Increment of z changes"), std::string::npos);
  const int pages = PageCount(dir.File("report.pdf"));
  EXPECT_GE(pages, 2);
  EXPECT_LE(pages, 3);
}

// The groups of the solvents and the polymer name the materials picked, and say when a
// value was changed after the pick.
TEST_F(BatchReport, ReportNamesTheMaterials) {
  const BatchFinished run = StartBatch(dir, {"--set", "Solvent1=toluene", "--set", "HeatOfVaporization1=400",
                                             "--set", "Polymer=polystyrene", "--report", "report.pdf"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string flat = Flat(PdfText(dir.File("report.pdf")));
  EXPECT_NE(flat.find("Solvent-1: Toluene (values changed)"), std::string::npos) << flat;
  EXPECT_NE(flat.find("Polymer: Polystyrene "), std::string::npos) << flat;
  EXPECT_EQ(flat.find("Solvent-2:"), std::string::npos) << flat;
}

TEST_F(BatchReport, ReportListsTheRunsWarnings) {
  // A residual target the line misses, and an Outer Temperature unlikely to be meant.
  LineSettings line;
  line.ResidualTarget = 0.5;
  const ExpectedRun expected = RunInMemory({{"Edit8", "290"}}, line);
  ASSERT_TRUE(expected.outcome.completed());
  std::vector<std::string> warnings = expected.outcome.warnings;
  warnings.insert(warnings.end(), expected.results.judgement.warnings.begin(),
                  expected.results.judgement.warnings.end());
  ASSERT_GE(warnings.size(), 1U);
  const BatchFinished run =
      StartBatch(dir, {"--set", "Edit8=290", "--set", "ResidualTarget=0.5", "--report", "r.pdf"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string flat = Flat(PdfText(dir.File("r.pdf")));
  for (const std::string& warning : warnings) {
    EXPECT_NE(flat.find("Warning: " + Flat(warning)), std::string::npos) << warning << "\n" << flat;
    EXPECT_NE(run.err.find(warning), std::string::npos);
  }
}

TEST_F(BatchReport, TitleNamesTheDataAndLineFilesAndTheLineSettingsShow) {
  ASSERT_EQ(StartBatch(dir, {"--set", "Edit6=1.25", "--write-data", "conditions.txt"}).status, 0);
  std::ofstream(dir.File("line.json")) << R"({"WebWidth": 1.75, "ZoneExhaustFlow": {"2": 8000}})";
  const BatchFinished run = StartBatch(dir, {"conditions.txt", "--line", "line.json", "--report", "r.pdf"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string flat = Flat(PdfText(dir.File("r.pdf")));
  EXPECT_NE(flat.find("Data file: conditions.txt Line file: line.json"), std::string::npos) << flat;
  EXPECT_NE(flat.find("Speed 1.25 m/s"), std::string::npos);
  EXPECT_NE(flat.find("1.75"), std::string::npos);
  EXPECT_NE(flat.find("8000"), std::string::npos);
}

TEST_F(BatchReport, ReportRunsInMemoryAndLeavesTheResultFileAlone) {
  std::ofstream(dir.File("result.txt")) << "an earlier result\n";
  ASSERT_EQ(StartBatch(dir, {"--report", "r.pdf"}).status, 0);
  EXPECT_EQ(FileBytes(dir.File("result.txt")), "an earlier result\n");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".stderr", ".stdout", "r.pdf", "result.txt"}));
}

// The text after "NAME=" on a line of `out`, up to a space or the line end.
std::string PrintedValue(const std::string& out, const std::string& name) {
  const std::size_t at = out.find(name + "=");
  if (at == std::string::npos) return {};
  const std::size_t start = at + name.size() + 1;
  return out.substr(start, out.find_first_of(" \n", start) - start);
}

// A search's report is that of its best point: the run and the conditions printed.
TEST_F(BatchReport, ASearchReportsItsBestPoint) {
  const BatchFinished run =
      StartBatch(dir, {"--optimise", "--objective", "max:LineSpeed", "--vary", "LineSpeed=0.5:6", "--limit",
                       "LineEndResidualSolvent<=2", "--starts", "1", "--report", "r.pdf", "-o", "best.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string speed = PrintedValue(run.out, "LineSpeed");
  ASSERT_GT(speed.size(), 3U) << run.out;  // an optimum inside the bounds, not "1.0"
  const std::string flat = Flat(PdfText(dir.File("r.pdf")));
  EXPECT_NE(flat.find("Speed " + speed + " "), std::string::npos) << speed << "\n" << flat;
  EXPECT_EQ(flat.find("Speed 1.0 m/s"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir.File("best.txt")));
}

// A fit's report is that of the fitted run.
TEST_F(BatchReport, AFitReportsTheFittedRun) {
  const ExpectedRun measured = RunInMemory({{"Edit205", "1.8"}});
  ASSERT_TRUE(measured.outcome.completed());
  std::string csv = "position along the line (m),web temperature (C)\n";
  for (const ZoneSummary& zone : measured.results.summary.zones) {
    csv += ShortestNumberText(zone.exitPosition) + "," + ShortestNumberText(zone.exitTemp) + "\n";
  }
  std::ofstream(dir.File("m.csv")) << csv;
  const BatchFinished run = StartBatch(dir, {"--fit", "Keff", "--measured", "m.csv", "--report", "r.pdf"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string keff = PrintedValue(run.out, "Keff");
  ASSERT_FALSE(keff.empty()) << run.out;
  // The report's run has the fitted value as the entries get it: measurements made at 1.8
  // give 1.8 within a part in 10^9.
  const std::string entered = EntryNumberText(std::stod(keff));
  EXPECT_EQ(entered, "1.8") << keff;
  const std::string flat = Flat(PdfText(dir.File("r.pdf")));
  EXPECT_NE(flat.find(" " + entered + " "), std::string::npos) << entered << "\n" << flat;

  // A fit that does not converge reports nothing.
  const BatchFinished stopped =
      StartBatch(dir, {"--fit", "Keff", "--measured", "m.csv", "--fit-runs", "1", "--report", "none.pdf"});
  EXPECT_EQ(stopped.status, 8) << stopped.err;
  EXPECT_NE(stopped.err.find("no report written"), std::string::npos) << stopped.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.pdf")));
}

// A fitted parameter of the drying model is the report's too: measurements made with
// D0_1 = 2.5e-4 give it back within 1 % in the report, where the unfitted run has 0.000482.
TEST_F(BatchReport, AFitOfTheDryingModelReportsTheFittedParameter) {
  LineSettings line;
  line.Model.name = std::string(DiffusionModelName);
  line.Model.diffusion.D0_1 = 2.5e-4;
  const ExpectedRun measured = RunInMemory({}, line);
  ASSERT_TRUE(measured.outcome.completed());
  std::string csv = "position along the line (m),web temperature (C),solvent-1 residual ratio\n";
  for (int x = 0; x <= 60; x += 4) {
    csv += std::to_string(x);
    for (const MeasuredQuantity q : {MeasuredQuantity::WebTemp, MeasuredQuantity::Residual1}) {
      csv += ',' + ShortestNumberText(*ModelValueAt(measured.results.line, q, x));
    }
    csv += '\n';
  }
  std::ofstream(dir.File("m.csv")) << csv;
  const BatchFinished run = StartBatch(
      dir, {"--set", "Model=diffusion", "--fit", "D0_1=1e-5:1e-3", "--measured", "m.csv", "--report", "r.pdf"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string flat = Flat(PdfText(dir.File("r.pdf")));
  const std::string caption = "Pre-exponential factor of ";  // solvent-1's comes first
  const std::size_t at = flat.find(caption);
  ASSERT_NE(at, std::string::npos) << flat;
  EXPECT_NEAR(std::stod(flat.substr(at + caption.size())), 2.5e-4, 0.01 * 2.5e-4) << flat.substr(at, 80);
}

struct Refused {
  std::vector<std::string> args;
  int status;
  std::string message;
};

TEST_F(BatchReport, RefusedRunsAndFilesWriteNoReport) {
  const std::vector<Refused> cases{
      {{"--report", "r.pdf", "--sweep", "Edit6=1:2:1"}, 2, "--report cannot be combined with --sweep: "},
      {{"--report", "r.pdf", "-o", "x.txt"}, 2, "-o cannot be combined with --report: "},
      {{"--report", "r.pdf", "--csv", "p.csv"}, 2, "--csv cannot be combined with --report: "},
      {{"--report", "r.pdf", "--design", "d.csv"}, 2, "--report cannot be combined with --design: "},
      {{"--set", "Nonsense=1", "--report", "r.pdf"}, 2, "no entry or field named"},
      {{"missing.txt", "--report", "r.pdf"}, 4, "missing.txt"},
      {{"--set", "Edit6=abc", "--report", "r.pdf"}, 3, "Input value is not correct!"},
      {{"--set", "Edit20=0", "--report", "r.pdf"}, 5, ""},
      {{"--line", "none.json", "--report", "r.pdf"}, 4, "none.json"},
      {{"--report", "no-such-dir/r.pdf"}, 4, "no-such-dir/r.pdf"},
  };
  for (const Refused& c : cases) {
    const BatchFinished run = StartBatch(dir, c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << " " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("r.pdf"))) << c.args[0];
  }
}

TEST(BatchReportProgram, MissingReportProgramIsNamed) {
  ScratchDir dir;
  const std::string copy = dir.File("tovimar-batch");
  std::filesystem::copy_file(TOVIMAR_BATCH_EXE, copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  const std::string err = dir.File("err");
  const int status = std::system(("cd '" + dir.path().string() + "' && PATH=/nonexistent '" + copy +
                                  "' --report r.pdf 2>'" + err + "'").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(FileBytes(err).find("--report needs tovimar-report"), std::string::npos) << FileBytes(err);
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.pdf")));
}

}  // namespace

namespace {

using namespace tovimar::test_support;

// A path quoted for the shell.
std::string Quoted(const std::string& path) {
  std::string quoted = "'";
  quoted += path;
  quoted += '\'';
  return quoted;
}

// The report program beside tovimar-batch, as the build puts it, quoted for the shell.
std::string ReportExe() {
  return Quoted((std::filesystem::path(TOVIMAR_BATCH_EXE).parent_path() / "tovimar-report").string());
}

struct Shell {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `command` in `dir` by the shell, its output streams to files there.
Shell InShell(const ScratchDir& dir, const std::string& command) {
  Shell shell;
  const int status = std::system(("cd '" + dir.path().string() + "' && " + command + " >out 2>err").c_str());
  if (WIFEXITED(status)) shell.status = WEXITSTATUS(status);
  shell.out = FileBytes(dir.File("out"));
  shell.err = FileBytes(dir.File("err"));
  return shell;
}

// tovimar-report answers --help and --version as tovimar-batch does, and a wrong command line
// with status 2.
TEST(BatchReportProgram, HelpVersionAndUsage) {
  ScratchDir dir;
  const Shell help = InShell(dir, ReportExe() + " --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Writes the printable report of one run as a PDF", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("Usage: tovimar-report [OPTIONS] [DATAFILE]"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("  6  the model does not hold"), std::string::npos) << help.out;
  const Shell version = InShell(dir, ReportExe() + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tovimar-report " TOVIMAR_VERSION "\n");
  const Shell usage = InShell(dir, ReportExe() + " --data a.txt b.txt -o r.pdf");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err, "tovimar-report: give one data file, either with --data or as DATAFILE, not both\n");
  EXPECT_EQ(InShell(dir, ReportExe()).err,
            "tovimar-report: --output is required\nRun with --help for more information.\n");
}

// Without a session's runtime directory (cron, ssh) the report is written with nothing on
// standard error: Qt's start-up says nothing there.
TEST(BatchReportProgram, NoStartUpNoiseWithoutARuntimeDirectory) {
  ScratchDir dir;
  const Shell report = InShell(dir, "env -u XDG_RUNTIME_DIR " + Quoted(TOVIMAR_BATCH_EXE) + " --report r.pdf");
  EXPECT_EQ(report.status, 0);
  EXPECT_EQ(report.err, "");
  EXPECT_TRUE(std::filesystem::exists(dir.File("r.pdf")));
}

}  // namespace
