// Judging a completed run: residual solvent, closeness to boiling and the solvent load of
// each zone's exhaust, with the warnings a user should see.
#include "results/judging.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include "model/arithmetic.h"
#include "results/bubble_point.h"

namespace tovimar {

using arith::Div;

namespace {

// Molar volume of a gas at 0 deg C and 101.325 kPa, m3/kmol.
constexpr double NormalMolarVolume = 22.414;
constexpr double SecondsPerHour = 3600;
constexpr double GramsPerKilogram = 1000;

// `value` with `decimals` digits after the point, whatever the process locale.
std::string Fixed(double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

}  // namespace

ResidualSolvent ResidualAt(const DryingConditions& c, double W1, double W2) {
  ResidualSolvent r;
  r.grams = (W1 + W2) * GramsPerKilogram;
  r.percentOfSolid = Div(W1 + W2, c.SolidWeight(), "the residual solvent (solid weight)") * 100;
  return r;
}

ResidualTargetOutcome JudgeResidualTarget(const LineProfile& profile, double target) {
  ResidualTargetOutcome out;
  out.target = target;
  const auto grams = [](const ProfilePoint& p) { return (p.weight1 + p.weight2) * 1000; };
  for (std::size_t i = 0; i < profile.points.size(); ++i) {
    const ProfilePoint& point = profile.points[i];
    const double r = grams(point);
    if (r > target) {
      continue;
    }
    out.zone = point.zone;
    if (i == 0) {
      out.position = point.position;
      return out;
    }
    // The residual falls from above the target at the point before to at most it here.
    const ProfilePoint& before = profile.points[i - 1];
    const double rBefore = grams(before);
    const double f = (rBefore - target) / (rBefore - r);
    out.position = before.position + f * (point.position - before.position);
    return out;
  }
  if (!profile.points.empty()) {
    out.shortfall = grams(profile.points.back()) - target;
  }
  return out;
}

ZoneExhaust JudgeZoneExhaust(const DryingConditions& c, const LineSettings& settings,
                             std::int32_t zone, double evaporated1, double evaporated2) {
  ZoneExhaust out;
  out.zone = zone;
  // g/m2 of web x m2 of web per hour = g/h; a solvent that condenses adds nothing to the air.
  const double webPerHour = settings.WebWidth * c.LineSpeed * SecondsPerHour;
  out.rate1 = std::max(evaporated1, 0.0) / GramsPerKilogram * webPerHour;
  out.rate2 = std::max(evaporated2, 0.0) / GramsPerKilogram * webPerHour;
  out.flow = settings.ZoneExhaustFlow[static_cast<std::size_t>(zone)];
  out.limit = settings.LELLimitOfZone(zone);
  if (out.flow <= 0) {
    return out;
  }
  // kmol/h of each vapour over kmol/h of exhaust air gives its mole (volume) fraction.
  const double airMoles = out.flow / NormalMolarVolume;
  const double y1 =
      Div(Div(out.rate1, c.Solvent1MolWeight, "the exhaust load (solvent-1 molecular weight)"),
          airMoles, "the exhaust load");
  const double y2 =
      Div(Div(out.rate2, c.Solvent2MolWeight, "the exhaust load (solvent-2 molecular weight)"),
          airMoles, "the exhaust load");
  // The LELs are volume %: y / (LEL / 100) is the fraction of each solvent's limit, and the
  // fractions add (Le Chatelier's mixing rule).
  const double fraction = Div(y1, settings.LEL1 / 100, "the % of LEL (LEL1)") +
                          Div(y2, settings.LEL2 / 100, "the % of LEL (LEL2)");
  out.percentLEL = 100 * fraction;
  out.leastFlow = out.flow * Div(*out.percentLEL, out.limit, "the least exhaust flow (limit)");
  return out;
}

std::string BoilingWarning(const ZoneBoiling& zone, double marginMin) {
  if (!zone.leastMargin || *zone.leastMargin >= marginMin || !zone.firstBelowPosition) {
    return {};
  }
  const std::string where =
      " in zone " + std::to_string(zone.zone) + " from " + Fixed(*zone.firstBelowPosition, 1) + " m";
  if (*zone.leastMargin < 0) {
    return "The coating boils" + where + " (margin " + Fixed(*zone.leastMargin, 1) +
           " K): blisters are likely.";
  }
  return "The coating comes within " + Fixed(marginMin, 1) + " K of boiling" + where +
         " (least margin " + Fixed(*zone.leastMargin, 1) + " K): blisters are possible.";
}

std::string ExhaustWarning(const ZoneExhaust& zone) {
  if (!zone.percentLEL || *zone.percentLEL <= zone.limit) {
    return {};
  }
  return "The exhaust of zone " + std::to_string(zone.zone) + " holds " +
         Fixed(*zone.percentLEL, 1) + " % of LEL, above its limit of " + Fixed(zone.limit, 1) +
         " %: it needs at least " + Fixed(zone.leastFlow.value_or(0), 0) + " m3/h of exhaust air.";
}

namespace {

ZoneBoiling JudgeZoneBoiling(const LineProfile& profile, const ZoneSpan& span,
                             const std::vector<std::optional<double>>& margins, double marginMin) {
  ZoneBoiling out;
  out.zone = span.zone;
  const std::size_t first = span.firstPoint + (span.zone == 1 ? 0 : 1);
  const std::size_t last = span.firstPoint + static_cast<std::size_t>(span.steps);
  for (std::size_t i = first; i <= last; ++i) {
    if (!margins[i]) {
      continue;
    }
    const double m = *margins[i];
    const ProfilePoint& point = profile.points[i];
    if (!out.leastMargin || m < *out.leastMargin) {
      out.leastMargin = m;
      out.position = point.position;
      out.step = point.step;
    }
    if (m < marginMin && !out.firstBelowPosition) {
      out.firstBelowPosition = point.position;
    }
  }
  return out;
}

template <typename T>
void KeepMax(std::optional<T>& best, const std::optional<T>& value) {
  if (value && (!best || *value > *best)) best = value;
}

}  // namespace

RunJudgement JudgeRun(const DryingConditions& c, const LineSettings& settings,
                      const LineProfile& profile, const ProfileSummary& summary) {
  RunJudgement j;
  JudgeRun(c, settings, profile, summary, j);
  return j;
}

void JudgeRun(const DryingConditions& c, const LineSettings& settings, const LineProfile& profile,
              const ProfileSummary& summary, RunJudgement& j) {
  const std::size_t n = profile.points.size();
  j.residualGrams.clear();
  j.residualPercent.clear();
  j.boilingMargin.clear();
  j.boiling.clear();
  j.exhaust.clear();
  j.residualTarget.reset();
  j.line = LineValues{};
  j.warnings.clear();
  j.residualGrams.reserve(n);
  j.residualPercent.reserve(n);
  j.boilingMargin.reserve(n);
  // Neighbouring points differ little: the straight line through the last two bubble
  // temperatures starts the next solve, which then mostly takes a single Newton step.
  std::optional<double> lastTb, beforeTb;
  double maxWebTemp = -std::numeric_limits<double>::infinity();
  for (const ProfilePoint& point : profile.points) {
    const ResidualSolvent r = ResidualAt(c, point.weight1, point.weight2);
    j.residualGrams.push_back(r.grams);
    j.residualPercent.push_back(r.percentOfSolid);
    const double guess = !lastTb     ? BubbleStartGuess
                         : !beforeTb ? *lastTb
                                     : *lastTb + (*lastTb - *beforeTb);
    const std::optional<double> tb = BubbleTemperature(c, point.weight1, point.weight2, guess);
    beforeTb = lastTb;
    lastTb = tb;
    j.boilingMargin.push_back(tb ? std::optional<double>(*tb - point.temp) : std::nullopt);
    maxWebTemp = std::max(maxWebTemp, point.temp);
  }

  for (const ZoneSpan& span : profile.zones) {
    ZoneBoiling zone = JudgeZoneBoiling(profile, span, j.boilingMargin, settings.BoilingMarginMin);
    if (zone.leastMargin &&
        (!j.line.leastMargin || *zone.leastMargin < *j.line.leastMargin)) {
      j.line.leastMargin = zone.leastMargin;
    }
    if (std::string w = BoilingWarning(zone, settings.BoilingMarginMin); !w.empty()) {
      j.warnings.push_back(std::move(w));
    }
    j.boiling.push_back(zone);
  }

  for (const ZoneSummary& zone : summary.zones) {
    ZoneExhaust exhaust =
        JudgeZoneExhaust(c, settings, zone.zone, zone.evaporated1, zone.evaporated2);
    KeepMax(j.line.maxPercentLEL, exhaust.percentLEL);
    if (std::string w = ExhaustWarning(exhaust); !w.empty()) {
      j.warnings.push_back(std::move(w));
    }
    j.exhaust.push_back(exhaust);
  }

  if (n > 0) {
    const ProfilePoint& end = profile.points.back();
    j.line.endResidual = ResidualAt(c, end.weight1, end.weight2);
    j.line.lineLength = end.position;
    j.line.maxWebTemp = maxWebTemp;
  }
  if (settings.ResidualTarget) {
    j.residualTarget = JudgeResidualTarget(profile, *settings.ResidualTarget);
    if (!j.residualTarget->position && n > 0) {
      j.warnings.push_back("The line end holds " + Fixed(j.line.endResidual.grams, 3) +
                           " g/m2 of solvent, " + Fixed(j.residualTarget->shortfall, 3) +
                           " g/m2 above the target of " + Fixed(*settings.ResidualTarget, 3) +
                           " g/m2.");
    }
  }
}

}  // namespace tovimar
