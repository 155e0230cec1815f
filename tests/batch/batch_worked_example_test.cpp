// The diffusion model against a published constant-rate drying example: tovimar-batch runs the
// --set entries of tests/data/wet_bulb_example.txt and its profile must reach the published
// surface temperature and drying rate (docs/diffusion-model.md, "Worked example").
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch_process.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

// The fields of every record of the profile CSV after its header.
std::vector<std::vector<double>> ProfileRecords(const std::string& csv) {
  std::vector<std::vector<double>> records;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::vector<double> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(std::stod(cell));
    records.push_back(fields);
  }
  return records;
}

TEST(DiffusionWorkedExample, ReachesThePublishedWetBulbStateAndDryingRate) {
  std::vector<std::string> args;
  std::ifstream entries(std::string(TOVIMAR_TEST_DATA_DIR) + "/wet_bulb_example.txt");
  for (std::string line; std::getline(entries, line);) {
    if (!line.empty() && line[0] != '#') args.insert(args.end(), {"--set", line});
  }
  ASSERT_EQ(args.size(), 2 * 18u);
  ScratchDir dir;
  args.insert(args.end(), {"-o", "r.txt", "--csv", "p.csv"});
  const auto run = StartBatch(dir, args);
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = ProfileRecords(FileBytes(dir.File("p.csv")));
  ASSERT_EQ(records.size(), 61u);  // every second of the 60 s zone
  const auto& end = records[60];
  const auto& tenBefore = records[50];
  constexpr int Time = 2, WebTemp = 5, Weight = 6;
  ASSERT_EQ(end[Time], 60);
  ASSERT_EQ(tenBefore[Time], 50);
  const struct {
    const char* quantity;
    double published;
    double ours;
  } cases[] = {
      // the air's 120 deg C less the surface's (published: 41.5 deg C)
      {"wet-bulb depression (K)", 120 - 41.5, 120 - end[WebTemp]},
      {"constant drying rate (kg/(m2 s))", 1.412e-3, (tenBefore[Weight] - end[Weight]) / 10},
  };
  for (const auto& c : cases) {
    EXPECT_LE(std::fabs(c.ours / c.published - 1), 0.02)
        << c.quantity << ": published " << c.published << ", ours " << c.ours;
  }
}

}  // namespace
}  // namespace tovimar
