// The last check of what a run derives: every quantity of the output catalogue is a finite
// number, or the run is an arithmetic fault that names it.
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "model/arithmetic.h"
#include "results/output_catalogue.h"

namespace tovimar {

namespace {

bool IsValue(const OutputQuantity& quantity, double value) {
  return std::isfinite(value) || (quantity.unbounded && value > 0 && std::isinf(value));
}

[[noreturn]] void NotFinite(const std::string& where, double value, const std::string& title) {
  throw ArithmeticError("Arithmetic error" + where + ": " +
                        arith::Describe(std::isnan(value) ? arith::Fault::Invalid : arith::Fault::Overflow,
                                        ("the " + title).c_str()) +
                        ".");
}

// Whether every number of the point, its own and the judged ones, is finite: a screen that
// reads the values directly (the largest run has 28,000 points; through the catalogue's
// functions the check took twice as long), so it reads every value a point quantity shows.
// The catalogue then names the quantity at a point that fails it.
bool PointIsFinite(const RunResults& results, std::size_t i) {
  const ProfilePoint& p = results.line.points[i];
  const RunJudgement& j = results.judgement;
  // Without short-circuits: every value is read, and no branch per value.
  const double values[] = {p.time,      p.positionInZone, p.position,  p.temp,
                           p.weight1,   p.weight2,        p.residual1, p.residual2,
                           p.fraction1, p.fraction2,      p.dryingCorrection, p.surface1,
                           p.surface2,  p.base1,          p.base2,     p.skinRatio};
  bool finite = true;
  for (const double v : values) finite &= std::isfinite(v);
  if (i < j.residualGrams.size()) finite &= std::isfinite(j.residualGrams[i]);
  if (i < j.residualPercent.size()) finite &= std::isfinite(j.residualPercent[i]);
  if (i < j.boilingMargin.size() && j.boilingMargin[i]) finite &= std::isfinite(*j.boilingMargin[i]);
  return finite;
}

// Throws for the first point quantity at point `i` that is not a value.
void CheckPoint(const RunResults& results, std::size_t i) {
  const ProfilePoint& point = results.line.points[i];
  for (const OutputQuantity& quantity : OutputQuantities()) {
    if (const std::optional<double> v = PointValue(quantity, results, i); v && !IsValue(quantity, *v)) {
      NotFinite(" in zone " + std::to_string(point.zone) + ", step " + std::to_string(point.step), *v,
                ColumnTitle(quantity));
    }
  }
}

}  // namespace

void CheckFinite(const RunResults& results) {
  if (results.line.points.empty()) {
    return;  // no run: nothing derived
  }
  for (std::size_t i = 0; i < results.line.points.size(); ++i) {
    if (!PointIsFinite(results, i)) [[unlikely]] {
      CheckPoint(results, i);
    }
  }
  const ZoneSummary wholeLine = LineAsZone(results.summary);
  for (const OutputQuantity& quantity : OutputQuantities()) {
    if (quantity.zone != nullptr) {
      for (const ZoneSummary& zone : results.summary.zones) {
        if (const std::optional<double> v = quantity.zone(results, zone); v && !IsValue(quantity, *v)) {
          NotFinite("", *v, ColumnTitle(quantity, zone.zone));
        }
      }
      if (const std::optional<double> v = quantity.zone(results, wholeLine); v && !IsValue(quantity, *v)) {
        NotFinite("", *v, "whole line's " + CaptionAndUnit(quantity));
      }
    } else if (const std::optional<double> v = LineValue(quantity, results); v && !IsValue(quantity, *v)) {
      NotFinite("", *v, ColumnTitle(quantity));
    }
  }
}

}  // namespace tovimar
