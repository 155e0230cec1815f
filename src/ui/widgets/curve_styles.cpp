#include "ui/widgets/curve_styles.h"

#include <stdexcept>

namespace tovimar::ui {

const std::array<CurveStyle, ChartCurveCount>& CurveStyles() {
  // The current run's curves are solid or nearly so, the judging curves and the pinned runs
  // broken in patterns of their own; the pinned runs' colours keep clear of the current
  // run's (none of them orange, the boiling margin's colour, or purple, the residual's).
  static const std::array<CurveStyle, ChartCurveCount> styles{{
      {QColor(0xC0, 0x39, 0x2B), 2.0, {}},                          // web temperature
      {QColor(0x90, 0x90, 0x90), 1.5, {5, 3}},                      // air temperature
      {QColor(0x1F, 0x5F, 0xBF), 2.0, {12, 1.5}},                   // residual ratio 1
      {QColor(0x1E, 0x8C, 0x3A), 2.0, {12, 1.5, 1.5, 1.5}},         // residual ratio 2
      {QColor(0xD3, 0x54, 0x00), 1.5, {9, 2, 2, 2, 2, 2}},          // boiling margin
      {QColor(0x7D, 0x3C, 0x98), 1.5, {9, 2}},                      // residual solvent
      {QColor(0xB8, 0x86, 0xE0), 1.2, {2, 2}},                      // residual target
      {QColor(0x00, 0x00, 0x00), 1.5, {4, 3}},                      // pinned run 1
      {QColor(0x8C, 0x56, 0x4B), 1.5, {1, 2.5}},                    // pinned run 2
      {QColor(0x00, 0x8B, 0x8B), 1.5, {6, 3, 1, 3}},                // pinned run 3
      {QColor(0xD0, 0x2C, 0x8C), 1.5, {6, 2, 1, 2, 1, 2}},          // pinned run 4
      {QColor(0x7A, 0x7A, 0x00), 1.5, {10, 4}},                     // pinned run 5
  }};
  return styles;
}

const CurveStyle& StyleOf(ChartCurve curve) { return CurveStyles().at(static_cast<std::size_t>(curve)); }

const CurveStyle& PinnedStyle(std::size_t index) {
  if (index >= MaxPinnedRuns) {
    throw std::out_of_range("no style for a pinned run beyond the last");
  }
  return CurveStyles().at(static_cast<std::size_t>(ChartCurve::Pinned1) + index);
}

QPen PenOf(const CurveStyle& style) {
  QPen pen(style.colour);
  pen.setWidthF(style.width);
  pen.setCapStyle(Qt::FlatCap);
  if (!style.dashes.isEmpty()) {
    pen.setDashPattern(style.dashes);
  }
  return pen;
}

}  // namespace tovimar::ui
