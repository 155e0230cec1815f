// The numbers of messages, tables and summaries: every finite double prints as a number,
// through the one helper and every message and column that prints a judged quantity.
#include "model/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "format/csv.h"
#include "format/fixed_format.h"
#include "input/plausibility.h"
#include "input/read_conditions.h"
#include "model/stability.h"
#include "model/step.h"
#include "model/step_check.h"
#include "results/judging.h"
#include "results/summary_csv.h"
#include "run/run_bounds.h"

namespace tovimar {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

// The extremes and how each form prints them.
struct Extreme {
  double value;
  const char* short2;    // ShortNumber(v, 2)
  const char* short3;    // ShortNumber(v, 3)
  const char* short6;    // ShortNumber(v, 6)
  const char* fixed0;    // FixedNumber(v, 0)
  const char* fixed1;    // FixedNumber(v, 1)
  const char* fixed3;    // FixedNumber(v, 3)
  const char* table1;    // FixedNumber(v, 1, SmallValues::AsZero)
  const char* shortest;  // ShortestNumberText(v), the CSV's form
};

const Extreme Extremes[] = {
    {1e300, "1e+300", "1e+300", "1e+300", "1e+300", "1e+300", "1e+300", "1e+300", "1e+300"},
    {-1e300, "-1e+300", "-1e+300", "-1e+300", "-1e+300", "-1e+300", "-1e+300", "-1e+300", "-1e+300"},
    {5e-324, "4.9e-324", "4.94e-324", "4.94066e-324", "4.9e-324", "4.9e-324", "4.9e-324", "0.0", "5e-324"},
    {1e-60, "1e-60", "1e-60", "1e-60", "1e-60", "1e-60", "1e-60", "0.0", "1e-60"},
    {0.0, "0", "0", "0", "0", "0.0", "0.000", "0.0", "0"},
    {-0.0, "0", "0", "0", "0", "0.0", "0.000", "0.0", "-0"},
};

std::string Filled(std::string text, const std::string& number) {
  return text.replace(text.find("{}"), 2, number);
}

TEST(NumberText, EveryFormOfTheExtremes) {
  for (const Extreme& e : Extremes) {
    SCOPED_TRACE(e.shortest);
    EXPECT_EQ(ShortNumber(e.value, 2), e.short2);
    EXPECT_EQ(ShortNumber(e.value, 3), e.short3);
    EXPECT_EQ(ShortNumber(e.value, 6), e.short6);
    EXPECT_EQ(FixedNumber(e.value, 0), e.fixed0);
    EXPECT_EQ(FixedNumber(e.value, 1), e.fixed1);
    EXPECT_EQ(FixedNumber(e.value, 3), e.fixed3);
    EXPECT_EQ(FixedNumber(e.value, 1, SmallValues::AsZero), e.table1);
    EXPECT_EQ(ShortestNumberText(e.value), e.shortest);
  }
  // Around the limits of the fixed form and of rounding.
  const struct {
    double value;
    int decimals;
    SmallValues small;
    const char* text;
  } edges[] = {
      {999999999999999.9, 0, SmallValues::AsDigits, "1000000000000000"},
      {1e15, 1, SmallValues::AsDigits, "1e+15"},
      {-1.76432119e68, 0, SmallValues::AsDigits, "-1.76432e+68"},
      {17643.088, 0, SmallValues::AsDigits, "17643"},
      {-0.04, 1, SmallValues::AsDigits, "-0.04"},
      {-0.04, 1, SmallValues::AsZero, "0.0"},
      {0.0004, 3, SmallValues::AsDigits, "0.0004"},
      {-12.3456, 2, SmallValues::AsZero, "-12.35"},
      {std::numeric_limits<double>::max(), 3, SmallValues::AsDigits, "1.79769e+308"},
      {Inf, 1, SmallValues::AsDigits, "inf"},
      {-Inf, 1, SmallValues::AsDigits, "-inf"},
      {std::nan(""), 1, SmallValues::AsDigits, "nan"},
  };
  for (const auto& c : edges) {
    EXPECT_EQ(FixedNumber(c.value, c.decimals, c.small), c.text) << c.value;
  }
  EXPECT_EQ(QuantityText(Inf), "inf");
  EXPECT_THROW(QuantityText(-Inf), NonFiniteValueError);
}

ZoneBoiling Boiling(double leastMargin, double firstBelow) {
  ZoneBoiling b;
  b.zone = 2;
  b.leastMargin = leastMargin;
  b.firstBelowPosition = firstBelow;
  return b;
}

ZoneExhaust Exhaust(double limit, double percentLEL, double leastFlow) {
  ZoneExhaust e;
  e.zone = 1;
  e.limit = limit;
  e.percentLEL = percentLEL;
  e.leastFlow = leastFlow;
  return e;
}

ResidualTargetOutcome Missed(double target, double shortfall) {
  ResidualTargetOutcome outcome;
  outcome.target = target;
  outcome.shortfall = shortfall;
  return outcome;
}

// A run of one zone and one step whose web goes from `before` to `temp` with the solvent-1
// weight going from `w1Before` to `w1` in solvent-free air at -1.5e308 deg C.
std::string HotWebWarning(double before, double temp, double w1Before, double w1, std::size_t which) {
  Simulation sim;
  DryingConditions& c = sim.conditions;
  c.ZoneCount = 1;
  c.ZoneStepCount[1] = 1;
  c.InitialTemp = -1.5e308;
  c.ZoneAirTemp[1] = -1.5e308;
  sim.profile->ProfileTemp[1][0] = before;
  sim.profile->ProfileTemp[1][1] = temp;
  sim.profile->ProfileSolvent1Weight[1][0] = w1Before;
  sim.profile->ProfileSolvent1Weight[1][1] = w1;
  const std::vector<std::string> warnings = BoundsWarnings(sim);
  return which < warnings.size() ? warnings[which] : std::string("(none)");
}

// Every message that prints a number, the number at the place of "{}" (for a negative
// value `negative`, where the message takes another form).
TEST(NumberText, ExtremesInEveryMessage) {
  DryingConditions defaults;
  ASSERT_FALSE(ReadConditions(defaults, MapEntryTexts{}).has_value());
  const struct {
    const char* name;
    const char* Extreme::*form;
    std::function<std::string(double)> message;
    const char* text;
    const char* negative = nullptr;
  } messages[] = {
      {"boiling from", &Extreme::fixed1,
       [](double v) { return BoilingWarning(Boiling(-1, v), 0); },
       "The coating boils in zone 2 from {} m (margin -1.0 K): blisters are likely."},
      {"boiling margin", &Extreme::fixed1,
       [](double v) { return BoilingWarning(Boiling(v, 3), 1.5e308); },
       "The coating comes within 1.5e+308 K of boiling in zone 2 from 3.0 m (least margin {} K): "
       "blisters are possible.",
       "The coating boils in zone 2 from 3.0 m (margin {} K): blisters are likely."},
      {"exhaust % of LEL", &Extreme::fixed1,
       [](double v) { return ExhaustWarning(Exhaust(-2e300, v, 7)); },
       "The exhaust of zone 1 holds {} % of LEL, above its limit of -2e+300 %: it needs at least 7 m3/h "
       "of exhaust air."},
      {"exhaust limit", &Extreme::fixed1,
       [](double v) { return ExhaustWarning(Exhaust(v, 1.5e308, 7)); },
       "The exhaust of zone 1 holds 1.5e+308 % of LEL, above its limit of {} %: it needs at least 7 m3/h "
       "of exhaust air."},
      {"exhaust least flow", &Extreme::fixed0,
       [](double v) { return ExhaustWarning(Exhaust(25, 44.1, v)); },
       "The exhaust of zone 1 holds 44.1 % of LEL, above its limit of 25.0 %: it needs at least {} m3/h "
       "of exhaust air."},
      {"residual end", &Extreme::fixed3,
       [](double v) { return ResidualTargetWarning(Missed(1, 2), v); },
       "The line end holds {} g/m2 of solvent, 2.000 g/m2 above the target of 1.000 g/m2."},
      {"residual shortfall", &Extreme::fixed3,
       [](double v) { return ResidualTargetWarning(Missed(1, v), 3); },
       "The line end holds 3.000 g/m2 of solvent, {} g/m2 above the target of 1.000 g/m2."},
      {"residual target", &Extreme::fixed3,
       [](double v) { return ResidualTargetWarning(Missed(v, 2), 3); },
       "The line end holds 3.000 g/m2 of solvent, 2.000 g/m2 above the target of {} g/m2."},
      {"boiling pressure", &Extreme::fixed0,
       [](double v) {
         return BoilingMessage({.found = true, .zone = 1, .step = 2, .solvent = 1, .pressure = v, .temperature = 80});
       },
       "The coating boils in zone 1, step 2: the vapour pressure of solvent-1 is {} mmHg at 80.0 \u00B0C; "
       "the model does not hold for a boiling coating."},
      {"boiling temperature", &Extreme::fixed1,
       [](double v) {
         return BoilingWarning({.found = true, .zone = 1, .step = 2, .solvent = 2, .pressure = 800, .temperature = v});
       },
       "The coating's vapour pressure exceeds the atmosphere from zone 1, step 2 (solvent-2, 800 mmHg at "
       "{} \u00B0C): blisters are likely."},
      {"step time", &Extreme::short3, [](double v) { return InstabilityMessage(1, 5, v, 4.7, 0.047); },
       "Unstable integration in zone 1, step 5: a step of {} s is longer than the stable limit of 4.7 s "
       "here. Use an Increment of z of at most 0.047 m at this Speed."},
      {"step check", &Extreme::short3,
       [](double v) {
         return StepCheckLine({.completed = true, .maxTempChange = v, .maxResidualChange = 0.001, .message = {}});
       },
       "Step check: halving the Increment of z changes the web temperature by at most {} K and the "
       "residual ratios by at most 0.001."},
      {"web heats", &Extreme::fixed1, [](double v) { return HotWebWarning(-1.6e308, v, 0, 0, 0); },
       "The web heats to {} \u00B0C in zone 1, step 1, above every air temperature and the initial "
       "temperature (-1.5e+308 \u00B0C at most), with no solvent to condense from the air."},
      {"solvent rises", &Extreme::short6, [](double v) { return HotWebWarning(0, 0, -1.6e308, v, 0); },
       "The solvent-1 weight rises in zone 1, step 1 (from -1.6e+308 to {} kg/m2) although the zone's "
       "air holds none of that solvent."},
      {"ratios", &Extreme::short6,
       [&defaults](double v) {
         DryingConditions c = defaults;
         c.SolidRatio0 = v;
         c.Solvent1Ratio0 = c.Solvent2Ratio0 = 0;
         return PlausibilityWarnings(c, MapEntryTexts{}).at(0);
       },
       "The weight ratios of solid, solvent-1 and solvent-2 add up to {}, not 1."},
  };
  for (const auto& m : messages) {
    for (const Extreme& e : Extremes) {
      SCOPED_TRACE(std::string(m.name) + " " + e.shortest);
      EXPECT_EQ(m.message(e.value), Filled(e.value < 0 && m.negative ? m.negative : m.text, e.*m.form));
    }
  }
}

// The stability guard names an Increment of z only when it is above 0: a limit whose
// distance at this Speed underflows, or none at all, says that no increment is short enough.
TEST(NumberText, TheGuardNeverNamesAnIncrementOfZero) {
  EXPECT_EQ(SuggestedIncrement(5e-324, 1e-10), 0);
  EXPECT_EQ(RoundDownTwoDigits(5e-324), 5e-324);  // too small for two digits: kept
  for (const double increment : {0.0, -0.0, -1e300, std::nan("")}) {
    EXPECT_EQ(InstabilityMessage(3, 4, 2, 5e-324, increment),
              "Unstable integration in zone 3, step 4: a step of 2 s is longer than the stable limit of "
              "4.9e-324 s here. No Increment of z gives a step that short at this Speed.")
        << increment;
  }
}

// The summary's columns print every extreme in shortest exact form, and an unbounded % of LEL
// as "inf".
TEST(NumberText, ExtremesInTheSummaryColumns) {
  SummaryValues values;
  std::string expected;
  for (const Extreme& e : Extremes) {
    values.line.emplace_back(e.value);
    expected += std::string(",") + e.shortest;
  }
  values.line.emplace_back(Inf);
  expected += ",inf";
  std::string out;
  AppendSummaryValues(out, values, 0, DefaultModelName);
  EXPECT_EQ(out.substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace tovimar
