// tovimar-batch judging extreme and implausible inputs: numbers that print as numbers, a
// quantity that overflows as a fault of its run (a sweep and a design go on), a zone given
// no exhaust air as unbounded, and warnings for what drying cannot do.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "batch_process.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::PutFileBytes;
using test_support::ScratchDir;

const std::string StepCheck =
    "tovimar-batch: Step check: halving the Increment of z changes the web temperature by at most "
    "0.0382 K and the residual ratios by at most 0.00127.\n";

// The fields of each CSV record (no quoted commas in these).
std::vector<std::vector<std::string>> Records(const std::string& csv) {
  std::vector<std::vector<std::string>> records;
  std::istringstream lines(csv);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    records.push_back(fields);
  }
  return records;
}

// The value of column `title` in record `record` (1: the first after the header).
std::string Field(const std::string& csv, const std::string& title, std::size_t record = 1) {
  const auto records = Records(csv);
  if (records.size() <= record) return "(no record)";
  for (std::size_t i = 0; i < records[0].size(); ++i) {
    if (records[0][i] == title) return i < records[record].size() ? records[record][i] : "(short)";
  }
  return "(no column)";
}

// The attacks on a single run: exit status and every line on standard error.
TEST(BatchJudging, ExtremeAndImplausibleInputs) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string err;
    const char* maxLEL = "";  // the summary's highest zone % of LEL; nullptr: not checked
  } cases[] = {
      {"huge least boiling margin",
       {"--set", "BoilingMarginMin=1e100"},
       0,
       "tovimar-batch: Warning: The coating comes within 1e+100 K of boiling in zone 1 from 0.0 m (least "
       "margin 58.6 K): blisters are possible.\n"
       "tovimar-batch: Warning: The coating comes within 1e+100 K of boiling in zone 2 from 30.1 m (least "
       "margin 90.8 K): blisters are possible.\n" +
           StepCheck},
      {"tiny LEL limit",
       {"--set", "LELLimit=1e-60", "--set", "ZoneExhaustFlow[1]=10000"},
       0,
       "tovimar-batch: Warning: The exhaust of zone 1 holds 44.1 % of LEL, above its limit of 1e-60 %: it "
       "needs at least 4.41077e+65 m3/h of exhaust air.\n" +
           StepCheck,
       nullptr},
      {"huge coating against a zero target",
       {"--set", "ResidualTarget=0", "--set", "CoatingWeight0=1e70"},
       0,
       "tovimar-batch: Warning: The line end holds 8.2e+72 g/m2 of solvent, 8.2e+72 g/m2 above the target "
       "of 0.000 g/m2.\n"
       "tovimar-batch: Step check: halving the Increment of z changes the web temperature by at most 0 K "
       "and the residual ratios by at most 0.\n"},
      {"zone given no exhaust air",
       {"--set", "ZoneExhaustFlow[2]=0"},
       0,
       "tovimar-batch: Warning: The exhaust of zone 2 holds an unbounded % of LEL (an exhaust flow of 0 "
       "m3/h takes up 1.3 kg/h of solvent), above its limit of 25.0 %: it needs at least 119 m3/h of "
       "exhaust air.\n" +
           StepCheck,
       "inf"},
      {"overflowing exhaust load",
       {"--set", "WebWidth=1e307"},
       5,
       "tovimar-batch: Arithmetic error in judging the exhaust of zone 1: overflow in the exhaust load "
       "(solvent-1)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--summary", "summary.csv"});
    const test_support::BatchFinished f = test_support::StartBatch(dir, args);
    EXPECT_EQ(f.status, c.status);
    EXPECT_EQ(f.err, c.err);
    // The summary holds the run whatever its outcome.
    const std::string summary = test_support::FileBytes(dir.File("summary.csv"));
    EXPECT_EQ(Field(summary, "outcome"), c.status == 0 ? "completed" : "arithmetic fault");
    if (c.maxLEL != nullptr) {
      EXPECT_EQ(Field(summary, "highest zone exhaust LEL (%)"), c.maxLEL);
    }
  }
}

// A run whose exhaust load overflows is recorded as an arithmetic fault; the other runs of a
// design and of a sweep go on, and the exit status is the fault's.
TEST(BatchJudging, OverflowIsAFaultOfItsRunOnly) {
  ScratchDir dir;
  PutFileBytes(dir.File("design.csv"), "WebWidth\n1\n1e307\n2\n");
  const auto design = test_support::StartBatch(dir, {"--design", "design.csv"});
  EXPECT_EQ(design.status, 5) << design.err;
  ASSERT_EQ(Records(design.out).size(), 4u) << design.out;
  const std::string fault = "Arithmetic error in judging the exhaust of zone 1: overflow in the exhaust load (solvent-1)";
  EXPECT_EQ(Field(design.out, "outcome", 1), "completed");
  EXPECT_EQ(Field(design.out, "outcome", 2), "arithmetic fault");
  EXPECT_EQ(Field(design.out, "message", 2), fault);
  EXPECT_EQ(Field(design.out, "zone 1 exit web temperature (C)", 2), "");
  EXPECT_EQ(Field(design.out, "outcome", 3), "completed");

  // 1e305 m at 0.25 m/s still fits a double per hour; at 0.5 m/s it does not.
  const auto sweep =
      test_support::StartBatch(dir, {"--set", "WebWidth=1e305", "--sweep", "LineSpeed=0.25:0.75:0.25", "--jobs", "1"});
  EXPECT_EQ(sweep.status, 5) << sweep.err;
  ASSERT_EQ(Records(sweep.out).size(), 4u) << sweep.out;
  EXPECT_EQ(Field(sweep.out, "outcome", 1), "completed");
  EXPECT_EQ(Field(sweep.out, "outcome", 2), "arithmetic fault");
  EXPECT_EQ(Field(sweep.out, "message", 3), fault);
}

}  // namespace
}  // namespace tovimar
