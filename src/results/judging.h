#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/conditions.h"
#include "input/line_settings.h"
#include "results/zone_summary.h"

namespace tovimar {

// Solvent left in the coating: both solvents together.
struct ResidualSolvent {
  double grams = 0;           // g/m2, (W1 + W2) x 1000
  double percentOfSolid = 0;  // % of the solid weight Ws
};

// The residual of solvent weights W1, W2 (kg/m2). Throws ArithmeticError for a zero solid
// weight.
ResidualSolvent ResidualAt(const DryingConditions& c, double W1, double W2);

// How the line meets a residual-solvent target.
struct ResidualTargetOutcome {
  double target = 0;  // g/m2
  // Where the residual first falls to the target: m from the entrance of zone 1, found by
  // linear interpolation between the two profile points around it, and the zone of the
  // later point. None when the line end still holds more.
  std::optional<double> position;
  std::int32_t zone = 0;
  // By how much the line end misses the target, g/m2 (line-end residual - target); 0 when
  // the target is reached.
  double shortfall = 0;
};

ResidualTargetOutcome JudgeResidualTarget(const LineProfile& profile, double target);

// The closest approach to boiling within one zone.
struct ZoneBoiling {
  std::int32_t zone = 0;
  // The least margin (bubble temperature - web temperature, K) of the zone's own points
  // (entries 1..N; zone 1 also its entrance, since every later entrance repeats the exit of
  // the zone before) and where it lies. None when no such point holds solvent.
  std::optional<double> leastMargin;
  double position = 0;   // m from the entrance of zone 1
  std::int32_t step = 0;
  // The first of the zone's points whose margin is below BoilingMarginMin; none: no such.
  std::optional<double> firstBelowPosition;
};

// The solvent load of one zone's exhaust.
struct ZoneExhaust {
  std::int32_t zone = 0;
  // Solvent evaporated in the zone, kg/h; a solvent that condenses counts 0.
  double rate1 = 0, rate2 = 0;
  std::optional<double> flow;  // exhaust flow, m3/h (normal); none: not given
  double limit = 0;             // the zone's limit, % of LEL
  // Concentration of the exhaust in % of the mixture's LEL and the least exhaust flow that
  // keeps it at the limit; none when no flow is given. A flow given as 0 while the zone
  // evaporates solvent holds it without bound: +infinity.
  std::optional<double> percentLEL;
  std::optional<double> leastFlow;
};

// The whole-line figures an optimiser works with.
struct LineValues {
  ResidualSolvent endResidual;
  std::optional<double> leastMargin;  // K over the whole line; none: nothing could boil
  // Over the zones whose exhaust flow is given; +infinity when one of them is given as 0
  // and evaporates solvent.
  std::optional<double> maxPercentLEL;
  double maxWebTemp = 0;  // deg C
  double lineLength = 0;  // m
};

// Everything judged about one run.
struct RunJudgement {
  // One entry per point of LineProfile::points.
  std::vector<double> residualGrams;                     // g/m2
  std::vector<double> residualPercent;                   // % of the solid weight
  // Bubble temperature - web temperature, K (add the point's temp for the bubble
  // temperature); none: no solvent left.
  std::vector<std::optional<double>> boilingMargin;
  // One entry per zone of the run.
  std::vector<ZoneBoiling> boiling;
  std::vector<ZoneExhaust> exhaust;
  std::optional<ResidualTargetOutcome> residualTarget;  // none: no target set
  LineValues line;
  // For the user, in zone order: boiling, exhaust, then the skin and the target.
  std::vector<std::string> warnings;
};

// Judges the run whose profile and summary are given. Throws ArithmeticError, naming the
// zone, when a quantity cannot be formed (a zero solid weight, molecular weight or LEL) or
// overflows.
RunJudgement JudgeRun(const DryingConditions& c, const LineSettings& settings,
                      const LineProfile& profile, const ProfileSummary& summary);
// The same into `out`, whose vectors keep their memory: a caller judging many runs (an
// optimiser) spares the allocation and first touch of the per-point vectors, which on the
// largest run cost as much as the bubble-point solves.
void JudgeRun(const DryingConditions& c, const LineSettings& settings, const LineProfile& profile,
              const ProfileSummary& summary, RunJudgement& out);

// The exhaust of one zone from the net amounts it evaporates (g/m2). Throws ArithmeticError
// when a quantity cannot be formed or overflows.
ZoneExhaust JudgeZoneExhaust(const DryingConditions& c, const LineSettings& settings,
                             std::int32_t zone, double evaporated1, double evaporated2);

// Where a skin forms: the surface's solvent content falls below this fraction of the mean
// while the coating still holds more than the residual target.
inline constexpr double SkinRatioLimit = 0.1;
struct SkinOnset {
  std::int32_t zone = 0;
  double position = 0;  // m from the entrance of zone 1
};

// "A skin forms in zone 2 from 12.3 m: solvent is trapped below it."
std::string SkinWarning(const SkinOnset& skin);

// The warning texts, e.g. "The coating boils in zone 2 from 12.3 m (margin -4.1 K): blisters
// are likely."; empty when the zone is within its limit.
std::string BoilingWarning(const ZoneBoiling& zone, double marginMin);
std::string ExhaustWarning(const ZoneExhaust& zone);
// "The line end holds 1.390 g/m2 of solvent, 0.390 g/m2 above the target of 1.000 g/m2.";
// empty when the target is reached.
std::string ResidualTargetWarning(const ResidualTargetOutcome& outcome, double endGrams);

}  // namespace tovimar
