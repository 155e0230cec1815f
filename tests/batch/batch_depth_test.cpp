// tovimar-batch's diffusion runs: --set Model=diffusion, the grid check's line, --depth-csv
// and its refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "batch_process.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

TEST(BatchDepth, ADiffusionRunWritesTheProfileThroughTheCoating) {
  ScratchDir dir;
  const auto run = StartBatch(dir, {"--set", "Model=diffusion", "-o", "r.txt", "--depth-csv", "depth.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("tovimar-batch: Grid check: doubling the cells changes the web temperature by at most "),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("tovimar-batch: Warning: A skin forms in zone 1 from 11.6 m: solvent is trapped below it.\n"),
            std::string::npos);
  const std::string depth = FileBytes(dir.File("depth.csv"));
  EXPECT_EQ(depth.rfind("position along the line (m),height above the base film (fraction of the thickness),"
                        "solvent-1 weight fraction,solvent-2 weight fraction\r\n30,0,",
                        0),
            0u);
  EXPECT_NE(depth.find("\r\n60,1,"), std::string::npos);  // the line end's surface node
  EXPECT_NE(FileBytes(dir.File("r.txt")).find("DRYING MODEL\r\n"), std::string::npos);
}

TEST(BatchDepth, RefusedBeforeAnythingIsWritten) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {{"--depth-csv", "depth.csv"}, 2,
       "tovimar-batch: --depth-csv needs the diffusion model (--set Model=diffusion): the lumped model "
       "treats the coating as well mixed\n"},
      {{"--set", "Model=diffusion", "--csv", "same.csv", "--depth-csv", "same.csv"}, -1, ""},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", "r.txt"});
    const auto run = StartBatch(dir, args);
    if (c.status >= 0) {
      EXPECT_EQ(run.status, c.status);
      EXPECT_EQ(run.err, c.err);
    } else {
      EXPECT_NE(run.status, 0);  // the same-file check names both options
      EXPECT_NE(run.err.find("--depth-csv"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
  }
}

}  // namespace
}  // namespace tovimar
