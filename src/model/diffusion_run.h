#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "model/diffusion_kernel.h"

// A run of the diffusion kernel through the zones with its grid check: the same line
// integrated beside it with twice the cells and a tenth of the tolerances, compared at
// every printed point.
namespace tovimar {

// The largest differences the grid check found over the printed points so far.
struct GridCheckResult {
  double temperature = 0;  // K, web temperature
  double content = 0;      // mean solvent content (both solvents), % of the solid weight
};

// The refined numerics of a grid check: twice the cells, a tenth of every tolerance.
DiffusionNumerics RefinedNumerics(const DiffusionNumerics& numerics);

class DiffusionRun {
 public:
  // Allocates both kernels (the check's only when `gridCheck`) and the check's scratch.
  DiffusionRun(const DiffusionInputs& inputs, const SurfaceThermodynamics& thermo,
               const DiffusionStart& start, const DiffusionNumerics& numerics,
               bool gridCheck = true);

  void Restart();

  // Marches zone `zoneNumber` on both grids (see DiffusionKernel::MarchZone; the profiles
  // are the main grid's) and widens the grid check by the differences at these points.
  void MarchZone(std::int32_t zoneNumber, const DiffusionZone& zone, double interval,
                 std::int32_t steps, std::span<DiffusionPoint> points,
                 std::span<DepthPoint> profiles = {});

  [[nodiscard]] GridCheckResult GridCheck() const { return check_; }
  [[nodiscard]] const DiffusionKernel& Kernel() const { return main_; }
  [[nodiscard]] const DiffusionKernel* CheckKernel() const { return fine_.get(); }

 private:
  DiffusionKernel main_;
  std::unique_ptr<DiffusionKernel> fine_;
  std::vector<DiffusionPoint> scratch_;
  GridCheckResult check_;
};

}  // namespace tovimar
