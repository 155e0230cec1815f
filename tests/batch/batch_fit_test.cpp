// tovimar-batch --fit: the printed lines, the data file with the fitted values, and the
// exit statuses of fits that cannot start, do not converge or are asked for wrongly.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch_process.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "format/entry_number.h"
#include "model/model.h"
#include "results/line_profile.h"
#include "run/run_sequence.h"
#include "study/fit.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::PutFileBytes;
using test_support::ScratchDir;

// The default line with Keff = 1.8 and We = 0.12 measured every 5 m (web temperature
// and solvent-1 residual ratio) as a measurement file.
std::string MeasurementFile() {
  MapEntryTexts entries;
  entries.ForceText("Edit205", "1.8");
  entries.ForceText("Edit202", "0.12");
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  EXPECT_TRUE(RunSimulation(sim, entries, options).completed());
  const LineProfile profile = ProfileAlongLine(sim);
  std::string csv = "position along the line (m),web temperature (C),solvent-1 residual ratio\r\n";
  for (int x = 0; x <= 60; x += 5) {
    csv += std::to_string(x) + ',' +
           ShortestNumberText(*ModelValueAt(profile, MeasuredQuantity::WebTemp, x)) + ',' +
           ShortestNumberText(*ModelValueAt(profile, MeasuredQuantity::Residual1, x)) + "\r\n";
  }
  return csv;
}

std::string Sig3(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3g", v);
  return buf;
}

TEST(BatchFit, PrintsValuesIntervalsRmsAndWritesTheFittedData) {
  ScratchDir dir;
  PutFileBytes(dir.File("m.csv"), MeasurementFile());
  const auto f = test_support::StartBatch(
      dir, {"--fit", "Keff", "--fit", "We=0.05:0.5", "--measured", "m.csv", "--sd", "WebTemp=0.5",
            "--write-data", "fitted.dat"});
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_EQ(f.err, "");

  // The same fit in this process gives the very numbers the tool prints.
  MeasuredData data = ReadMeasuredData(dir.File("m.csv"));
  ApplyStandardDeviation(data, "WebTemp=0.5");
  std::string error;
  const FitResult r = FitToMeasurements(
      MapEntryTexts{}, {*ParseFitParameter("Keff", error), *ParseFitParameter("We=0.05:0.5", error)}, data);
  ASSERT_TRUE(r.converged());
  EXPECT_NEAR(r.values[0].value, 1.8, 1.8e-6);
  EXPECT_NEAR(r.values[1].value, 0.12, 0.12e-6);
  const std::string expected =
      "Keff=" + ShortestNumberText(r.values[0].value) + " \u00b1 " + Sig3(*r.values[0].halfWidth) + " (95 %)\n" +
      "We=" + ShortestNumberText(r.values[1].value) + " \u00b1 " + Sig3(*r.values[1].halfWidth) + " (95 %)\n" +
      "RMS web temperature (C) = " + Sig3(r.rms[0].rms) + " (13 measurements)\n" +
      "RMS solvent-1 residual ratio = " + Sig3(r.rms[1].rms) + " (13 measurements)\n" +
      "runs=" + std::to_string(r.runs) + " (0 stopped)\n";
  EXPECT_EQ(f.out, expected);

  const std::string written = FileBytes(dir.File("fitted.dat"));
  EXPECT_NE(written.find("=  " + EntryNumberText(r.values[0].value) + "\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("=  " + EntryNumberText(r.values[1].value) + "\r\n"), std::string::npos);
}

TEST(BatchFit, ExitStatusesAndMessages) {
  ScratchDir dir;
  PutFileBytes(dir.File("m.csv"), MeasurementFile());
  PutFileBytes(dir.File("bad.csv"), "position along the line (m),web temperature (C)\n1,hot\n");
  PutFileBytes(dir.File("huge.csv"), "position along the line (m),web temperature (C)\n5,1e300\n10,30\n20,40\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const std::vector<Case> cases{
      {{"--fit", "Keff"}, 2, "tovimar-batch: --fit needs --measured FILE\n"},
      {{"--measured", "m.csv"}, 2, "tovimar-batch: --measured needs at least one --fit NAME\n"},
      {{"--fit", "Keff", "--measured", "m.csv", "--csv", "p.csv"}, 2,
       "tovimar-batch: --fit cannot be combined with -o, --csv, --depth-csv or --summary\n"},
      {{"--fit", "Kef", "--measured", "m.csv"}, 2,
       "tovimar-batch: --fit: no condition entry or field named \"Kef\" (a numeric condition, "
       "tovimar-batch --list-names lists them)\n"},
      {{"--fit", "Keff", "--measured", "m.csv", "--sd", "WebTemp=0"}, 2,
       "tovimar-batch: --sd: the standard deviation \"0\" of WebTemp is not a positive number\n"},
      {{"--fit", "Keff", "--measured", "none.csv"}, 4,
       "tovimar-batch: Measurement file can not open! (\"none.csv\": No such file or directory)\n"},
      {{"--fit", "Keff", "--measured", "bad.csv"}, 3,
       "tovimar-batch: bad.csv: line 2, column 2: \"hot\" is not a number\n"},
      {{"--fit", "Keff=2:3", "--measured", "m.csv"}, 3,
       "tovimar-batch: the fit cannot start: Keff: the starting value 1.5 lies beyond its bounds\n"},
      {{"--fit", "StepLength", "--measured", "m.csv"}, 2,
       "tovimar-batch: --fit: the Increment of z (StepLength) is a setting of the numerical march, not a "
       "physical condition: it cannot be fitted\n"},
      {{"--fit", "Keff", "--measured", "huge.csv", "--write-data", "x.dat"}, 8,
       "tovimar-batch: the fit did not converge: the weighted sum of squares at the fitted values is not a "
       "finite number\ntovimar-batch: no data file written\n"},
      {{"--fit", "Keff", "--measured", "m.csv", "--fit-runs", "3", "--write-data", "x.dat", "--write-line", "x.json"},
       8,
       "tovimar-batch: the fit did not converge: no convergence within 3 runs\n"
       "tovimar-batch: no data file written\ntovimar-batch: no line file written\n"},
  };
  for (const Case& c : cases) {
    const auto f = test_support::StartBatch(dir, c.args);
    EXPECT_EQ(f.status, c.status) << c.args[0] << ' ' << c.args[1] << ": " << f.err;
    EXPECT_EQ(f.err, c.err);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.dat")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.json")));

  // Keff at two measurements a micrometre into the line: undetermined, never "± 0".
  PutFileBytes(dir.File("micro.csv"), "position along the line (m),web temperature (C)\n1e-6,15.0000001\n"
                                      "1e-6,15.0000001\n");
  const auto micro = test_support::StartBatch(dir, {"--fit", "Keff", "--measured", "micro.csv"});
  EXPECT_EQ(micro.status, 0) << micro.err;
  const std::string first = micro.out.substr(0, micro.out.find('\n'));
  EXPECT_EQ(first.substr(0, 5), "Keff=") << micro.out;
  EXPECT_EQ(first.substr(first.find(' ')), " (undetermined)") << micro.out;

  // A fit whose first run stops says why.
  const auto f = test_support::StartBatch(dir, {"--fit", "Keff", "--measured", "m.csv", "--set", "Keff=-0.5"});
  EXPECT_EQ(f.status, 3);
  EXPECT_EQ(f.err.rfind("tovimar-batch: the fit cannot start: the run at the starting values failed: "
                        "The coating boils in zone 1",
                        0),
            0U)
      << f.err;
  EXPECT_EQ(f.out, "");
}

// A fitted parameter of the diffusion model goes into the line file --write-line writes:
// reading it back gives the model and the fitted D0_1 (to the last bit of the fit's value),
// the line's other settings kept.
TEST(BatchFit, WritesTheFittedModelParameterIntoTheLineFile) {
  ScratchDir dir;
  LineSettings line;
  line.Model.name = std::string(DiffusionModelName);
  RunOptions options;
  options.writeResultFile = false;
  options.model = line.Model;
  options.model.diffusion.D0_1 = 2.5e-4;
  Simulation sim;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, options).completed());
  const LineProfile profile = ProfileAlongLine(sim);
  std::string csv = "position along the line (m),web temperature (C),solvent-1 residual ratio\n";
  for (int x = 0; x <= 60; x += 4) {
    csv += std::to_string(x) + ',' + ShortestNumberText(*ModelValueAt(profile, MeasuredQuantity::WebTemp, x)) + ',' +
           ShortestNumberText(*ModelValueAt(profile, MeasuredQuantity::Residual1, x)) + '\n';
  }
  PutFileBytes(dir.File("m.csv"), csv);
  const auto f = test_support::StartBatch(dir, {"--set", "Model=diffusion", "--set", "WebWidth=1.5", "--fit",
                                                "D0_1=1e-5:1e-3", "--measured", "m.csv", "--write-line", "fitted.json"});
  ASSERT_EQ(f.status, 0) << f.err;
  ASSERT_EQ(f.out.rfind("D0_1=", 0), 0U) << f.out;
  const double printed = std::stod(f.out.substr(5));
  const LineSettings read = ReadLineFile(dir.File("fitted.json"));
  EXPECT_EQ(read.Model.name, DiffusionModelName);
  EXPECT_NEAR(read.Model.diffusion.D0_1, printed, 1e-3 * printed);  // printed to 4 digits or more
  EXPECT_NEAR(read.Model.diffusion.D0_1, 2.5e-4, 0.01 * 2.5e-4);
  EXPECT_EQ(read.WebWidth, 1.5);
  // Written again from what was read, the file is the same bytes: the value went in exactly.
  EXPECT_EQ(FormatLineSettings(read), FileBytes(dir.File("fitted.json")));
}

}  // namespace
}  // namespace tovimar
