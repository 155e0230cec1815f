// Judging a run: residual solvent, the bubble temperature and boiling margin, the exhaust's
// solvent load, and the whole-line figures.
#include "results/judging.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/model.h"
#include "results/bubble_point.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::DefaultSimulation;

void March(Simulation& sim) {
  PrepareInitialState(sim);
  for (int z = 1; z <= sim.conditions.ZoneCount; ++z) {
    MarchZone(sim, z, sim.conditions.ZoneStepCount[z]);
    CarryToNextZone(sim, z, sim.conditions.ZoneStepCount[z]);
  }
}

struct JudgedRun {
  Simulation sim;
  LineProfile profile;
  ProfileSummary summary;
  RunJudgement judgement;
};

std::unique_ptr<JudgedRun> JudgeDefaultRun(const LineSettings& settings,
                                           void (*change)(DryingConditions&) = nullptr) {
  auto run = std::make_unique<JudgedRun>();
  run->sim = DefaultSimulation();
  if (change) change(run->sim.conditions);
  March(run->sim);
  run->profile = ProfileAlongLine(run->sim);
  run->summary = SummarizeProfile(run->profile);
  run->judgement = JudgeRun(run->sim.conditions, settings, run->profile, run->summary);
  return run;
}

// A coating of one solvent without polymer boils where its Antoine pressure reaches 760 mmHg.
TEST(JudgingBubblePoint, PureSolventBoilsAtItsAntoineBoilingPoint) {
  DryingConditions c = test_support::DefaultConditions();
  c.SolidRatio0 = 0;
  const struct {
    double W1, W2, expected, A, B, C;
  } cases[] = {
      {0.05, 0, 79.588, c.AntoineA1, c.AntoineB1, c.AntoineC1},
      {0, 0.05, 110.625, c.AntoineA2, c.AntoineB2, c.AntoineC2},
  };
  for (const auto& k : cases) {
    const std::optional<double> tb = BubbleTemperature(c, k.W1, k.W2);
    ASSERT_TRUE(tb.has_value());
    EXPECT_NEAR(*tb, k.expected, 5e-4);
    EXPECT_NEAR(*tb, k.B / (k.A - std::log10(760.0)) - k.C, 1e-6);
  }
}

TEST(JudgingBubblePoint, DefaultCoatingAtTheEntranceOfZoneOne) {
  const DryingConditions c = test_support::DefaultConditions();
  const double W1 = c.CoatingWeight0 * c.Solvent1Ratio0;
  const double W2 = c.CoatingWeight0 * c.Solvent2Ratio0;
  const SolventActivities s = CalcSolventActivities(c, W1, W2);
  EXPECT_NEAR(s.a1, 0.759672, 5e-7);
  EXPECT_NEAR(s.X1, 0.776540, 5e-7);
  EXPECT_NEAR(s.a2, 0.340779, 5e-7);
  EXPECT_NEAR(s.X2, 0.222900, 5e-7);
  const double tb = BubbleTemperature(c, s).value();
  EXPECT_NEAR(tb, 96.03, 5e-3);
  EXPECT_NEAR(tb - c.InitialTemp, 81.03, 5e-3);
  EXPECT_NEAR(SolventPressureSum(c, s, tb), 760, 1e-6);
}

// The pressures are the model's own: the surface vapour ratios p / (760 - p) at the bubble
// temperature give back the same partial pressures.
TEST(JudgingBubblePoint, PressuresAreThoseOfTheSurfaceVapourRelations) {
  const DryingConditions c = test_support::DefaultConditions();
  const double W1 = 0.01, W2 = 0.004;
  const SolventActivities s = CalcSolventActivities(c, W1, W2);
  const Composition k = CalcComposition(c, W1, W2);
  DryingState state;
  const double T = 70;
  const double h1 = CalcSurfaceHumidity1(c, state, T, k.Phi1, k.Phi2, k.X1);
  const double h2 = CalcSurfaceHumidity2(c, state, T, k.Phi1, k.Phi2, k.X2);
  const double p1 = 760 * h1 / (1 + h1), p2 = 760 * h2 / (1 + h2);
  EXPECT_NEAR(SolventPressureSum(c, s, T), p1 + p2, 1e-10);
  EXPECT_DOUBLE_EQ(state.VaporPressure1 * s.a1 * s.X1, p1);
}

TEST(JudgingBubblePoint, AnyStartingGuessFindsTheSameRoot) {
  const DryingConditions c = test_support::DefaultConditions();
  const double W1 = 0.02, W2 = 0.01;
  const double reference = BubbleTemperature(c, W1, W2).value();
  for (double guess : {-181.0, -500.0, 0.0, 96.0, 1000.0, 1e6,
                       std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_NEAR(BubbleTemperature(c, W1, W2, guess).value(), reference, 1e-6) << guess;
  }
}

TEST(JudgingBubblePoint, NoSolventCannotBoil) {
  const DryingConditions c = test_support::DefaultConditions();
  EXPECT_FALSE(BubbleTemperature(c, 0, 0).has_value());
}

TEST(JudgingResidual, DefaultRunLineEnd) {
  const auto run = JudgeDefaultRun(LineSettings{});
  const LineValues& line = run->judgement.line;
  EXPECT_NEAR(line.endResidual.grams, 1.390, 5e-4);
  EXPECT_NEAR(line.endResidual.percentOfSolid, 11.11, 5e-3);
  EXPECT_EQ(line.lineLength, run->profile.points.back().position);
  ASSERT_EQ(run->judgement.residualGrams.size(), run->profile.points.size());
  EXPECT_NEAR(run->judgement.residualGrams.front(), 0.0695 * 0.82 * 1000, 1e-9);
  EXPECT_NEAR(run->judgement.residualPercent.front(), 0.82 / 0.18 * 100, 1e-9);
  EXPECT_FALSE(run->judgement.residualTarget.has_value());
}

TEST(JudgingResidual, ZeroSolidWeightIsAnArithmeticFault) {
  DryingConditions c = test_support::DefaultConditions();
  c.SolidRatio0 = 0;
  EXPECT_THROW(ResidualAt(c, 0.01, 0.01), ArithmeticError);
}

// Residuals 3, 2 and 1 g/m2 at 0, 10 and 20 m.
LineProfile ThreePoints() {
  LineProfile line;
  for (int i = 0; i < 3; ++i) {
    ProfilePoint p;
    p.zone = i == 0 ? 1 : 2;
    p.step = i;
    p.position = 10.0 * i;
    p.weight1 = (3 - i) * 0.0005;
    p.weight2 = (3 - i) * 0.0005;
    line.points.push_back(p);
  }
  return line;
}

TEST(JudgingResidual, TargetIsPlacedByLinearInterpolation) {
  const struct {
    double target;
    std::optional<double> position;
    int zone;
    double shortfall;
  } cases[] = {
      {3.5, 0.0, 1, 0},         // met at the entrance
      {2.5, 5.0, 2, 0},         // half-way between the first two points
      {2.0, 10.0, 2, 0},        // exactly at a point
      {1.25, 17.5, 2, 0},
      {1.0, 20.0, 2, 0},        // at the line end
      {0.4, std::nullopt, 0, 0.6},  // missed
  };
  for (const auto& k : cases) {
    const ResidualTargetOutcome out = JudgeResidualTarget(ThreePoints(), k.target);
    ASSERT_EQ(out.position.has_value(), k.position.has_value()) << k.target;
    if (k.position) {
      EXPECT_NEAR(*out.position, *k.position, 1e-12) << k.target;
    }
    EXPECT_EQ(out.zone, k.zone) << k.target;
    EXPECT_NEAR(out.shortfall, k.shortfall, 1e-12) << k.target;
  }
}

TEST(JudgingResidual, MissedTargetIsWarned) {
  LineSettings settings;
  settings.ResidualTarget = 1.0;
  const auto run = JudgeDefaultRun(settings);
  ASSERT_TRUE(run->judgement.residualTarget.has_value());
  EXPECT_NEAR(run->judgement.residualTarget->shortfall, 0.390, 5e-4);
  ASSERT_EQ(run->judgement.warnings.size(), 1u);
  EXPECT_EQ(run->judgement.warnings[0],
            "The line end holds 1.390 g/m2 of solvent, 0.390 g/m2 above the target of 1.000 g/m2.");
}

TEST(JudgingExhaust, WorkedZoneOne) {
  LineSettings settings;
  settings.ZoneExhaustFlow[1] = 10000;
  const auto run = JudgeDefaultRun(settings);
  const ZoneSummary& z1 = run->summary.zones[0];
  EXPECT_NEAR(z1.evaporated1, 41.2504, 5e-5);
  EXPECT_NEAR(z1.evaporated2, 13.9774, 5e-5);
  ASSERT_EQ(run->judgement.exhaust.size(), 2u);
  const ZoneExhaust& e = run->judgement.exhaust[0];
  EXPECT_NEAR(e.rate1, 148.501, 5e-4);
  EXPECT_NEAR(e.rate2, 50.319, 5e-4);
  EXPECT_NEAR((e.rate1 / 72.1) / (10000 / 22.414), 0.0046165, 5e-8);
  EXPECT_NEAR((e.rate2 / 92.1) / (10000 / 22.414), 0.0012246, 5e-8);
  EXPECT_NEAR(e.percentLEL.value(), 44.11, 5e-3);
  EXPECT_EQ(e.limit, 25);
  EXPECT_NEAR(e.leastFlow.value(), 17643, 0.5);
  EXPECT_EQ(run->judgement.line.maxPercentLEL, e.percentLEL);
  // Zone 2 has no exhaust flow: no concentration and no warning.
  EXPECT_FALSE(run->judgement.exhaust[1].percentLEL.has_value());
  EXPECT_FALSE(run->judgement.exhaust[1].leastFlow.has_value());
  ASSERT_EQ(run->judgement.warnings.size(), 1u);
  EXPECT_EQ(run->judgement.warnings[0],
            "The exhaust of zone 1 holds 44.1 % of LEL, above its limit of 25.0 %: it needs at "
            "least 17643 m3/h of exhaust air.");
}

TEST(JudgingExhaust, ZoneLimitAndCondensingSolvent) {
  const DryingConditions c = test_support::DefaultConditions();
  LineSettings settings;
  settings.ZoneExhaustFlow[3] = 10000;
  settings.ZoneLELLimit[3] = 50;
  // Solvent-2 condenses: only solvent-1's 41.2504 g/m2 reach the air.
  const ZoneExhaust e = JudgeZoneExhaust(c, settings, 3, 41.2504, -2);
  EXPECT_EQ(e.rate2, 0);
  EXPECT_EQ(e.limit, 50);
  const double y1 = (41.2504 / 1000 * 3600 / 72.1) / (10000 / 22.414);
  EXPECT_NEAR(e.percentLEL.value(), 100 * y1 / 0.014, 1e-9);
  EXPECT_NEAR(e.leastFlow.value(), 10000 * 100 * y1 / 0.014 / 50, 1e-6);
  EXPECT_EQ(ExhaustWarning(e), "");  // 32.97 % is within the zone's 50 %
}

// Zone 2 of the default run evaporates 1.34 kg/h: given no flow it is not judged, given 0
// its concentration has no bound (and a limit on the highest zone fails), and the least
// flow it needs is the same whatever flow it is given.
TEST(JudgingExhaust, FlowGivenAsZeroIsUnbounded) {
  constexpr double Inf = std::numeric_limits<double>::infinity();
  const struct {
    std::optional<double> flow;
    std::optional<double> percentLEL;
    const char* warning;
  } cases[] = {
      {std::nullopt, std::nullopt, nullptr},
      {0.0, Inf,
       "The exhaust of zone 2 holds an unbounded % of LEL (an exhaust flow of 0 m3/h takes up 1.3 kg/h "
       "of solvent), above its limit of 25.0 %: it needs at least 119 m3/h of exhaust air."},
      {100.0, 29.67, "The exhaust of zone 2 holds 29.7 % of LEL, above its limit of 25.0 %: it needs at "
                     "least 119 m3/h of exhaust air."},
      {1000.0, 2.967, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flow.value_or(-1));
    LineSettings settings;
    settings.ZoneExhaustFlow[2] = c.flow;
    const auto run = JudgeDefaultRun(settings);
    const ZoneExhaust& e = run->judgement.exhaust.at(1);
    EXPECT_EQ(e.flow, c.flow);
    ASSERT_EQ(e.percentLEL.has_value(), c.percentLEL.has_value());
    EXPECT_EQ(run->judgement.line.maxPercentLEL.has_value(), c.percentLEL.has_value());
    if (c.percentLEL) {
      if (std::isinf(*c.percentLEL)) {
        EXPECT_EQ(*e.percentLEL, *c.percentLEL);
      } else {
        EXPECT_NEAR(*e.percentLEL, *c.percentLEL, 5e-3);
      }
      EXPECT_EQ(run->judgement.line.maxPercentLEL, e.percentLEL);
      EXPECT_NEAR(e.leastFlow.value(), 118.686, 5e-4);
    }
    EXPECT_EQ(run->judgement.warnings, c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{});
  }
  // A zone given no air that evaporates nothing (solvent-2 condenses) holds none.
  LineSettings settings;
  settings.ZoneExhaustFlow[3] = 0;
  const ZoneExhaust dry = JudgeZoneExhaust(test_support::DefaultConditions(), settings, 3, 0, -2);
  EXPECT_EQ(dry.percentLEL, 0.0);
  EXPECT_EQ(dry.leastFlow, 0.0);
  EXPECT_EQ(ExhaustWarning(dry), "");
}

TEST(JudgingExhaust, ZeroLELIsAnArithmeticFault) {
  const DryingConditions c = test_support::DefaultConditions();
  LineSettings settings;
  settings.ZoneExhaustFlow[1] = 10000;
  settings.LEL2 = 0;
  EXPECT_THROW(JudgeZoneExhaust(c, settings, 1, 10, 10), ArithmeticError);
}

TEST(JudgingBoiling, DefaultRunStaysBelowBoiling) {
  const auto run = JudgeDefaultRun(LineSettings{});
  const RunJudgement& j = run->judgement;
  ASSERT_EQ(j.boilingMargin.size(), run->profile.points.size());
  EXPECT_NEAR(j.boilingMargin.front().value(), 81.03, 5e-3);
  double least = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < j.boilingMargin.size(); ++i) {
    const ProfilePoint& point = run->profile.points[i];
    const double tb = BubbleTemperature(run->sim.conditions, point.weight1, point.weight2).value();
    EXPECT_NEAR(j.boilingMargin[i].value(), tb - point.temp, 1e-6);
    least = std::min(least, *j.boilingMargin[i]);
  }
  EXPECT_EQ(j.line.leastMargin.value(), least);
  ASSERT_EQ(j.boiling.size(), 2u);
  for (const ZoneBoiling& zone : j.boiling) {
    const std::size_t at = run->profile.zones[zone.zone - 1].firstPoint + zone.step;
    EXPECT_EQ(*j.boilingMargin[at], zone.leastMargin.value());
    EXPECT_EQ(run->profile.points[at].position, zone.position);
    EXPECT_FALSE(zone.firstBelowPosition.has_value());
  }
  EXPECT_TRUE(j.warnings.empty());
}

TEST(JudgingBoiling, HotZoneMakesTheCoatingBoil) {
  const auto run = JudgeDefaultRun(LineSettings{}, [](DryingConditions& c) {
    c.ZoneAirTemp[2] = 200;
  });
  const RunJudgement& j = run->judgement;
  const ZoneBoiling& zone2 = j.boiling.at(1);
  ASSERT_TRUE(zone2.leastMargin.has_value());
  EXPECT_LT(*zone2.leastMargin, 0);
  EXPECT_GE(j.boiling.at(0).leastMargin.value(), 0);
  EXPECT_EQ(j.line.leastMargin, zone2.leastMargin);
  // The first point below the threshold, with the one before it still above.
  const std::size_t first = run->profile.zones[1].firstPoint;
  std::size_t i = first + 1;
  while (*j.boilingMargin[i] >= 0) ++i;
  EXPECT_EQ(run->profile.points[i].position, zone2.firstBelowPosition.value());
  ASSERT_FALSE(j.warnings.empty());
  EXPECT_EQ(j.warnings[0], BoilingWarning(zone2, 0));
  EXPECT_EQ(j.warnings[0].rfind("The coating boils in zone 2 from ", 0), 0u) << j.warnings[0];
}

TEST(JudgingBoiling, WarningTexts) {
  ZoneBoiling zone;
  zone.zone = 2;
  zone.leastMargin = -4.1;
  zone.firstBelowPosition = 12.3;
  EXPECT_EQ(BoilingWarning(zone, 0),
            "The coating boils in zone 2 from 12.3 m (margin -4.1 K): blisters are likely.");
  zone.leastMargin = 2.5;
  EXPECT_EQ(BoilingWarning(zone, 0), "");
  EXPECT_EQ(BoilingWarning(zone, 5),
            "The coating comes within 5.0 K of boiling in zone 2 from 12.3 m (least margin "
            "2.5 K): blisters are possible.");
  zone.leastMargin.reset();
  EXPECT_EQ(BoilingWarning(zone, 5), "");
}

}  // namespace
}  // namespace tovimar
