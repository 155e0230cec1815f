#include "ui/widgets/profile_extent.h"

#include <algorithm>

namespace tovimar::ui {

void ProfileExtent::IncludeTemp(double temp) {
  tempLow = anyTemp ? std::min(tempLow, temp) : temp;
  tempHigh = anyTemp ? std::max(tempHigh, temp) : temp;
  anyTemp = true;
}

void ProfileExtent::Include(const LineProfile& line, bool withAir) {
  for (const ProfilePoint& point : line.points) {
    IncludeTemp(point.temp);
    residualHigh = std::max({residualHigh, point.residual1, point.residual2});
  }
  if (withAir) {
    for (const ZoneSpan& span : line.zones) {
      IncludeTemp(span.airTemp);
    }
  }
  if (!line.points.empty()) {
    end = std::max(end, line.points.back().position);
  }
}

}  // namespace tovimar::ui
