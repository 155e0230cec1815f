// The diffusion model's check in words: the grid check's line and its warning at the limits.
#include "model/diffusion_model.h"

#include <gtest/gtest.h>

namespace tovimar {
namespace {

TEST(GridCheck, LineAndWarningAtTheLimits) {
  const struct {
    GridCheckResult result;
    const char* line;
    const char* warning;  // empty: none
  } cases[] = {
      {{0.0261, 0.116},
       "Grid check: doubling the cells changes the web temperature by at most 0.0261 K and the mean solvent "
       "content by at most 0.116 %.",
       ""},
      {{0.5, 1.0},
       "Grid check: doubling the cells changes the web temperature by at most 0.5 K and the mean solvent "
       "content by at most 1 %.",
       ""},
      {{0.51, 1.0}, nullptr,
       "The profile is not yet accurate: doubling the cells changes the web temperature by up to 0.51 K. Try 80 "
       "cells (DiffusionCells)."},
      {{0.5, 1.01}, nullptr,
       "The profile is not yet accurate: doubling the cells changes the mean solvent content by up to 1.01 %. Try "
       "80 cells (DiffusionCells)."},
      {{2, 3}, nullptr,
       "The profile is not yet accurate: doubling the cells changes the web temperature by up to 2 K and the mean "
       "solvent content by up to 3 %. Try 80 cells (DiffusionCells)."},
  };
  for (const auto& c : cases) {
    if (c.line != nullptr) {
      EXPECT_EQ(GridCheckLine(c.result), c.line);
    }
    const std::optional<std::string> warning = GridCheckWarning(c.result, 40);
    EXPECT_EQ(warning.value_or(""), c.warning);
  }
}

}  // namespace
}  // namespace tovimar
