#pragma once

#include <array>

#include "conditionfile/measured_data.h"
#include "ui/widgets/profile_chart.h"

class QScatterSeries;

namespace tovimar::ui {

// Measurements taken on the line, shown as points over a run's chart: each quantity that
// the chart has a curve of gets a scatter series in that curve's colour, on that curve's
// axis, named "measured ..." in the legend.
struct MeasuredSeries {
  // By MeasuredQuantity; nullptr for a quantity the chart does not plot.
  std::array<QScatterSeries*, MeasuredQuantityCount> points{};

  [[nodiscard]] QScatterSeries* Of(MeasuredQuantity quantity) const {
    return points[static_cast<std::size_t>(quantity)];
  }
};

// Adds the (empty) series to a chart made by BuildProfileChart.
MeasuredSeries AddMeasuredSeries(const ProfileChartParts& parts);

// Shows the measurements of `data` (nullptr: none) and widens the temperature and residual
// ratio axes, as FillProfileChart left them, so that every point lies within them. A series
// without points has no legend entry.
void FillMeasuredSeries(const ProfileChartParts& parts, const MeasuredSeries& series,
                        const MeasuredData* data);

}  // namespace tovimar::ui
