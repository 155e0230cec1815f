#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/diffusion_run.h"
#include "model/drying_model.h"

// The free-volume diffusion model behind the drying-model seam: the kernel marched over the
// printed points of each zone, the inside of the coating kept beside the profile, and the
// grid check (twice the cells, a tenth of the tolerances) as the model's check.
namespace tovimar {

// The grid check's numbers: GridCheckWebTemp (K) and GridCheckContent (% of the solid).
const std::vector<CheckQuantity>& DiffusionCheckQuantities();

// Differences above these ask for more cells.
inline constexpr double GridCheckTempLimit = 0.5;     // K
inline constexpr double GridCheckContentLimit = 1.0;  // % of the solid weight

// "Grid check: doubling the cells changes the web temperature by at most 0.025 K and the mean
// solvent content by at most 0.11 %." (three significant digits).
std::string GridCheckLine(const GridCheckResult& result);

// Above the limits: "The profile is not yet accurate: doubling the cells changes the web
// temperature by up to 0.8 K. Try 80 cells (DiffusionCells)." Nothing within them.
std::optional<std::string> GridCheckWarning(const GridCheckResult& result, int cells);

}  // namespace tovimar
