#pragma once

#include <array>
#include <vector>

#include "study/compare_runs.h"
#include "ui/widgets/profile_chart.h"

class QLineSeries;

namespace tovimar::ui {

// The pinned runs drawn over a profile chart: each run's web temperature and its two
// residual ratios as broken lines on the current run's axes, in a style of its own
// (curve_styles.h). The web temperature's legend entry carries the run's name; the residual
// ratios have none.
class PinnedOverlay {
 public:
  struct Curves {
    QLineSeries* webTemp = nullptr;
    QLineSeries* residual1 = nullptr;
    QLineSeries* residual2 = nullptr;
  };

  // Adds one hidden set of curves per possible pinned run to the chart of `parts`, which
  // owns them.
  explicit PinnedOverlay(const ProfileChartParts& parts);

  // Shows `runs` (the first MaxPinnedRuns of them) over the chart, hides the other sets,
  // and sets the axes to take in both `current` (the line of the current run, with its air
  // temperatures) and the pinned runs.
  void Show(const LineProfile& current, const std::vector<PinnedRun>& runs);

  [[nodiscard]] const std::array<Curves, MaxPinnedRuns>& Sets() const { return sets_; }

 private:
  ProfileChartParts parts_;
  std::array<Curves, MaxPinnedRuns> sets_;
};

}  // namespace tovimar::ui
