// Judging a completed run: residual solvent, closeness to boiling and the solvent load of
// each zone's exhaust, with the warnings a user should see.
#include "results/judging.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include "model/arithmetic.h"
#include "model/number_text.h"
#include "results/bubble_point.h"
#include "results/skin_warning.h"

namespace tovimar {

using arith::Div;
using arith::Finite;

namespace {

// Molar volume of a gas at 0 deg C and 101.325 kPa, m3/kmol.
constexpr double NormalMolarVolume = 22.414;
constexpr double SecondsPerHour = 3600;
constexpr double GramsPerKilogram = 1000;

}  // namespace

ResidualSolvent ResidualAt(const DryingConditions& c, double W1, double W2) {
  ResidualSolvent r;
  r.grams = Finite((W1 + W2) * GramsPerKilogram, "the residual solvent");
  r.percentOfSolid =
      Finite(Div(W1 + W2, c.SolidWeight(), "the residual solvent (solid weight)") * 100,
             "the residual solvent (% of the solid)");
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
  out.rate1 = Finite(std::max(evaporated1, 0.0) / GramsPerKilogram * webPerHour,
                     "the exhaust load (solvent-1)");
  out.rate2 = Finite(std::max(evaporated2, 0.0) / GramsPerKilogram * webPerHour,
                     "the exhaust load (solvent-2)");
  out.flow = settings.ZoneExhaustFlow[static_cast<std::size_t>(zone)];
  out.limit = settings.LELLimitOfZone(zone);
  if (!out.flow) {
    return out;
  }
  // kmol/h of each vapour over its LEL as a volume fraction, times the molar volume: the
  // exhaust flow that would hold that vapour exactly at its LEL. The flows add (Le
  // Chatelier's mixing rule), so their sum over the zone's flow is the fraction of the
  // mixture's LEL.
  const double flowAtLEL = Finite(
      NormalMolarVolume *
          (Div(Div(out.rate1, c.Solvent1MolWeight, "the exhaust load (solvent-1 molecular weight)"),
               settings.LEL1 / 100, "the % of LEL (LEL1)") +
           Div(Div(out.rate2, c.Solvent2MolWeight, "the exhaust load (solvent-2 molecular weight)"),
               settings.LEL2 / 100, "the % of LEL (LEL2)")),
      "the % of LEL");
  // No air carries solvent away without bound: a zone given no flow that evaporates solvent
  // has no finite concentration.
  out.percentLEL = flowAtLEL == 0 ? 0
                   : *out.flow > 0 ? Finite(100 * Div(flowAtLEL, *out.flow, "the % of LEL"), "the % of LEL")
                                   : std::numeric_limits<double>::infinity();
  out.leastFlow = Finite(100 * Div(flowAtLEL, out.limit, "the least exhaust flow (limit)"),
                         "the least exhaust flow");
  return out;
}

std::string BoilingWarning(const ZoneBoiling& zone, double marginMin) {
  if (!zone.leastMargin || *zone.leastMargin >= marginMin || !zone.firstBelowPosition) {
    return {};
  }
  const std::string where =
      " in zone " + std::to_string(zone.zone) + " from " + FixedNumber(*zone.firstBelowPosition, 1) + " m";
  if (*zone.leastMargin < 0) {
    return "The coating boils" + where + " (margin " + FixedNumber(*zone.leastMargin, 1) +
           " K): blisters are likely.";
  }
  return "The coating comes within " + FixedNumber(marginMin, 1) + " K of boiling" + where +
         " (least margin " + FixedNumber(*zone.leastMargin, 1) + " K): blisters are possible.";
}

std::string ExhaustWarning(const ZoneExhaust& zone) {
  if (!zone.percentLEL || *zone.percentLEL <= zone.limit) {
    return {};
  }
  const std::string holds =
      std::isinf(*zone.percentLEL)
          ? "an unbounded % of LEL (an exhaust flow of 0 m3/h takes up " +
                FixedNumber(zone.rate1 + zone.rate2, 1) + " kg/h of solvent)"
          : FixedNumber(*zone.percentLEL, 1) + " % of LEL";
  return "The exhaust of zone " + std::to_string(zone.zone) + " holds " + holds +
         ", above its limit of " + FixedNumber(zone.limit, 1) + " %: it needs at least " +
         FixedNumber(zone.leastFlow.value_or(0), 0) + " m3/h of exhaust air.";
}

std::string ResidualTargetWarning(const ResidualTargetOutcome& outcome, double endGrams) {
  if (outcome.position) {
    return {};
  }
  return "The line end holds " + FixedNumber(endGrams, 3) + " g/m2 of solvent, " +
         FixedNumber(outcome.shortfall, 3) + " g/m2 above the target of " +
         FixedNumber(outcome.target, 3) + " g/m2.";
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

// The residual and the boiling margin of every point; returns the highest web temperature.
double JudgePoints(const DryingConditions& c, const LineProfile& profile, RunJudgement& j) {
  // Neighbouring points differ little: the straight line through the last two bubble
  // temperatures starts the next solve, which then mostly takes a single Newton step.
  std::optional<double> lastTb, beforeTb;
  double maxWebTemp = -std::numeric_limits<double>::infinity();
  const ProfilePoint* at = nullptr;  // the point being judged, for a fault's message
  try {
    for (const ProfilePoint& point : profile.points) {
      at = &point;
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
  } catch (const ArithmeticError& e) {
    throw ArithmeticError("Arithmetic error in judging zone " + std::to_string(at->zone) +
                              ", step " + std::to_string(at->step) + ": " + e.what(),
                          {at->zone, at->step});
  }
  return maxWebTemp;
}

// The first point whose skin ratio is below SkinRatioLimit while the coating still holds
// more than `target` g/m2; none for a model that does not resolve the coating.
std::optional<SkinOnset> FindSkin(const LineProfile& profile, const std::vector<double>& grams, double target) {
  if (!profile.resolved) return std::nullopt;
  for (std::size_t i = 0; i < profile.points.size() && i < grams.size(); ++i) {
    const ProfilePoint& p = profile.points[i];
    if (p.skinRatio < SkinRatioLimit && grams[i] > target) {
      return SkinOnset{p.zone, p.position};
    }
  }
  return std::nullopt;
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
  const double maxWebTemp = JudgePoints(c, profile, j);

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
    ZoneExhaust exhaust;
    try {
      exhaust = JudgeZoneExhaust(c, settings, zone.zone, zone.evaporated1, zone.evaporated2);
    } catch (const ArithmeticError& e) {
      throw ArithmeticError("Arithmetic error in judging the exhaust of zone " +
                                std::to_string(zone.zone) + ": " + e.what(),
                            {zone.zone, 0});
    }
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
  if (const std::optional<SkinOnset> skin = FindSkin(profile, j.residualGrams, settings.ResidualTarget.value_or(0))) {
    j.warnings.push_back(SkinWarning(*skin));
  }
  if (settings.ResidualTarget) {
    j.residualTarget = JudgeResidualTarget(profile, *settings.ResidualTarget);
    if (n > 0) {
      if (std::string w = ResidualTargetWarning(*j.residualTarget, j.line.endResidual.grams); !w.empty()) {
        j.warnings.push_back(std::move(w));
      }
    }
  }
}

namespace {
constexpr std::string_view SkinWarningStart = "A skin forms in zone ";
constexpr std::string_view SkinWarningEnd = " m: solvent is trapped below it.";
}  // namespace

std::string SkinWarning(const SkinOnset& skin) {
  return std::string(SkinWarningStart) + std::to_string(skin.zone) + " from " + FixedNumber(skin.position, 1) +
         std::string(SkinWarningEnd);
}

bool IsSkinWarning(std::string_view warning) {
  return warning.size() > SkinWarningStart.size() + SkinWarningEnd.size() && warning.starts_with(SkinWarningStart) &&
         warning.ends_with(SkinWarningEnd);
}

}  // namespace tovimar
