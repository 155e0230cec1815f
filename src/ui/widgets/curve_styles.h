#pragma once

#include <array>
#include <cstddef>

#include <QColor>
#include <QList>
#include <QPen>

#include "study/compare_runs.h"

namespace tovimar::ui {

// The lines of the profile chart, each drawn in a style of its own.
enum class ChartCurve {
  WebTemp,
  AirTemp,
  Residual1,
  Residual2,
  BoilingMargin,
  ResidualSolvent,
  ResidualTarget,
  Pinned1,  // the pinned runs, in pinning order: all three curves of a run share its style
  Pinned2,
  Pinned3,
  Pinned4,
  Pinned5,
};
inline constexpr std::size_t ChartCurveCount = static_cast<std::size_t>(ChartCurve::Pinned5) + 1;
static_assert(ChartCurveCount - static_cast<std::size_t>(ChartCurve::Pinned1) == MaxPinnedRuns);

// How a curve is drawn: no two curves share a colour, and no two share a dash pattern, so
// that each can be told apart in colour and in black and white alike.
struct CurveStyle {
  QColor colour;
  qreal width = 1.5;
  // Dash and gap lengths in pen widths (QPen::setDashPattern); empty: a solid line.
  QList<qreal> dashes;
};

// Every curve's style, by ChartCurve.
const std::array<CurveStyle, ChartCurveCount>& CurveStyles();

[[nodiscard]] const CurveStyle& StyleOf(ChartCurve curve);
// The style of the pinned run at `index` (0 for the first run pinned).
[[nodiscard]] const CurveStyle& PinnedStyle(std::size_t index);

// The pen that draws a curve of `style`.
[[nodiscard]] QPen PenOf(const CurveStyle& style);

}  // namespace tovimar::ui
