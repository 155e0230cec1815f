#pragma once

#include "results/line_profile.h"

namespace tovimar::ui {

// What the chart's axes take in: the end of the longest line, the temperatures and the
// largest residual ratio shown.
struct ProfileExtent {
  double end = 0;
  bool anyTemp = false;
  double tempLow = 0;
  double tempHigh = 0;
  double residualHigh = 0;
  void IncludeTemp(double temp);
  // A run's web temperatures and residual ratios, and with `withAir` its zones' air
  // temperatures.
  void Include(const LineProfile& line, bool withAir);
};

}  // namespace tovimar::ui
