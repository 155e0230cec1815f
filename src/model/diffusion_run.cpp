// The diffusion run and its grid check.
#include "model/diffusion_run.h"

#include <algorithm>
#include <cmath>

#include "model/conditions.h"

namespace tovimar {

DiffusionNumerics RefinedNumerics(const DiffusionNumerics& numerics) {
  DiffusionNumerics fine = numerics;
  fine.cells = 2 * numerics.cells;
  fine.relativeTolerance = numerics.relativeTolerance / 10;
  fine.contentTolerance = numerics.contentTolerance / 10;
  fine.temperatureTolerance = numerics.temperatureTolerance / 10;
  return fine;
}

DiffusionRun::DiffusionRun(const DiffusionInputs& inputs, const SurfaceThermodynamics& thermo,
                           const DiffusionStart& start, const DiffusionNumerics& numerics,
                           bool gridCheck)
    : main_(inputs, thermo, start, numerics) {
  if (gridCheck) {
    fine_ = std::make_unique<DiffusionKernel>(inputs, thermo, start, RefinedNumerics(numerics));
    scratch_.resize(StepsPerZone);
  }
}

void DiffusionRun::Restart() {
  main_.Restart();
  if (fine_) fine_->Restart();
  check_ = {};
}

void DiffusionRun::MarchZone(std::int32_t zoneNumber, const DiffusionZone& zone, double interval,
                             std::int32_t steps, std::span<DiffusionPoint> points,
                             std::span<DepthPoint> profiles) {
  main_.MarchZone(zoneNumber, zone, interval, steps, points, profiles);
  if (!fine_ || steps <= 0) return;
  if (static_cast<std::size_t>(steps) > scratch_.size()) scratch_.resize(steps);
  fine_->MarchZone(zoneNumber, zone, interval, steps, scratch_);
  for (std::int32_t j = 0; j < steps; ++j) {
    const DiffusionPoint& a = points[j];
    const DiffusionPoint& b = scratch_[j];
    check_.temperature = std::max(check_.temperature, std::abs(a.T - b.T));
    const double content = 100 * ((a.meanU[0] + a.meanU[1]) - (b.meanU[0] + b.meanU[1]));
    check_.content = std::max(check_.content, std::abs(content));
  }
}

}  // namespace tovimar
