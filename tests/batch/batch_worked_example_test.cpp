// The diffusion model against published constant-rate drying examples: tovimar-batch runs the
// --set entries of tests/data/wet_bulb_*.txt and its profile must reach the published surface
// temperatures and drying rate (docs/diffusion-model.md, "Worked example").
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

// Runs tovimar-batch with the --set entries of tests/data/`entries` and returns its profile.
std::vector<std::vector<double>> RunEntries(const std::string& entries) {
  std::vector<std::string> args;
  std::ifstream file(std::string(TOVIMAR_TEST_DATA_DIR) + "/" + entries);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line[0] != '#') args.insert(args.end(), {"--set", line});
  }
  EXPECT_EQ(args.size(), 2 * 18u) << entries;
  ScratchDir dir;
  args.insert(args.end(), {"-o", "r.txt", "--csv", "p.csv"});
  const auto run = StartBatch(dir, args);
  EXPECT_EQ(run.status, 0) << run.err;
  return ProfileRecords(FileBytes(dir.File("p.csv")));
}

// The surface of a wet coating settles at the wet-bulb temperature and dries at the rate the
// air's heat allows; each published number must be met within 2 % (the temperature as the
// wet-bulb depression, the air's temperature less the surface's, which sets the rate).
TEST(DiffusionWorkedExample, ReachesThePublishedWetBulbStatesAndDryingRate) {
  const struct {
    const char* entries;
    double airTemp;      // deg C
    double surfaceTemp;  // deg C, published
    double rate;         // kg/(m2 s), published; 0 where the source prints none
  } cases[] = {
      {"wet_bulb_treybal.txt", 65, 28.5, 0},
      {"wet_bulb_geankoplis.txt", 65.6, 28.9, 0},
      {"wet_bulb_tray_120c.txt", 120, 41.5, 1.412e-3},
  };
  constexpr int Time = 2, WebTemp = 5, Weight = 6;
  for (const auto& c : cases) {
    const auto records = RunEntries(c.entries);
    ASSERT_EQ(records.size(), 121u) << c.entries;  // every second of the 120 s zone
    const auto& end = records[120];
    const auto& tenBefore = records[110];
    ASSERT_EQ(end[Time], 120);
    const double depression = c.airTemp - end[WebTemp];
    EXPECT_LE(std::fabs(depression / (c.airTemp - c.surfaceTemp) - 1), 0.02)
        << c.entries << ": surface at " << end[WebTemp] << " deg C, published " << c.surfaceTemp;
    if (c.rate > 0) {
      const double rate = (tenBefore[Weight] - end[Weight]) / 10;
      EXPECT_LE(std::fabs(rate / c.rate - 1), 0.02) << c.entries << ": rate " << rate << ", published " << c.rate;
    }
  }
}

}  // namespace
}  // namespace tovimar
