#pragma once

#include <vector>

#include "results/judging.h"
#include "results/line_profile.h"
#include "results/zone_summary.h"
#include "study/compare_runs.h"
#include "ui/widgets/profile_extent.h"

class QCategoryAxis;
class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace tovimar::ui {

// The chart of a run along the line: web temperature on the left axis, the residual ratios
// of both solvents on the right one (0 to the largest value shown), the zones' air
// temperatures as a step line, the dry point as a marker, and a top axis whose sections
// are the zones (labelled with their numbers, with grid lines at the zone boundaries).
struct ProfileChartParts {
  QChart* chart = nullptr;
  QLineSeries* webTemp = nullptr;
  QLineSeries* residual1 = nullptr;
  QLineSeries* residual2 = nullptr;
  QLineSeries* airTemp = nullptr;
  QScatterSeries* dryPoint = nullptr;
  // The point whose profile through the coating is shown beside the chart (a diffusion run):
  // a marker on the web temperature, in the legend only while shown.
  QScatterSeries* picked = nullptr;
  QValueAxis* positionAxis = nullptr;  // bottom: m from the entrance of zone 1
  QCategoryAxis* zoneAxis = nullptr;   // top: one section per zone
  QValueAxis* tempAxis = nullptr;      // left: deg C
  QValueAxis* residualAxis = nullptr;  // right: residual ratio
  // The judging curves, hidden with their axes until switched on (FillJudgingCurves).
  QLineSeries* boilingMargin = nullptr;   // K below the bubble temperature
  QLineSeries* residualGrams = nullptr;   // g/m2, both solvents
  QLineSeries* residualTarget = nullptr;  // g/m2, dashed across the line; empty: no target
  QValueAxis* marginAxis = nullptr;       // right, outside the residual ratio axis
  QValueAxis* gramsAxis = nullptr;        // right, outermost
};

// Adds the series and axes to an empty chart.
ProfileChartParts BuildProfileChart(QChart* chart);

// Shows a run's profile in the chart; an empty profile clears it.
void FillProfileChart(const ProfileChartParts& parts, const LineProfile& line,
                      const ProfileSummary& summary);

// Sets the bottom and zone axes to 0 to the extent's end, the temperature axis to its
// temperatures with room above and below, and the residual ratio axis to 0 to its largest
// ratio (each to a default range when there is nothing to take in).
void SetProfileAxes(const ProfileChartParts& parts, const ProfileExtent& extent);

// The size of a saved chart in pixels.
inline constexpr int SavedChartWidth = 1200;
inline constexpr int SavedChartHeight = 700;

// Shows or hides the boiling margin and the residual solvent (with its target) of a judged
// run, each with its own axis. A point without solvent has no margin and is left out of
// that curve; a judgement whose vectors do not match the profile clears both curves.
void FillJudgingCurves(const ProfileChartParts& parts, const LineProfile& line,
                       const RunJudgement& judgement, bool showMargin, bool showResidual);

}  // namespace tovimar::ui
