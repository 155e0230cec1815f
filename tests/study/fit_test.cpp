#include "study/fit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "format/csv.h"
#include "model/model.h"
#include "results/line_profile.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

RunOptions NoResultFile() {
  RunOptions options;
  options.writeResultFile = false;
  return options;
}

FitParameter Param(const std::string& text) {
  std::string error;
  const std::optional<FitParameter> p = ParseFitParameter(text, error);
  EXPECT_TRUE(p.has_value()) << text << ": " << error;
  return p.value_or(FitParameter{});
}

// Measurements of the default conditions with `changes` applied, every metre along the
// line: web temperature and both residual ratios, each with Gaussian noise of the given
// standard deviations (none when 0) drawn from a fixed seed.
MeasuredData Synthetic(const std::vector<std::pair<std::string, double>>& changes, double tempSd,
                       double residualSd, double step = 1.0) {
  MapEntryTexts entries;
  for (const auto& [name, value] : changes) {
    entries.ForceText(Param(name).entryName, ShortestNumberText(value));
  }
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, entries, NoResultFile());
  EXPECT_TRUE(outcome.completed()) << outcome.message;
  const LineProfile profile = ProfileAlongLine(sim);
  std::mt19937 random(20240611);
  std::normal_distribution<double> noise(0, 1);
  MeasuredData data;
  data.columns = {MeasuredQuantity::WebTemp, MeasuredQuantity::Residual1, MeasuredQuantity::Residual2};
  const double end = profile.points.back().position;
  for (int i = 0; static_cast<double>(i) * step <= end; ++i) {
    const double x = static_cast<double>(i) * step;
    for (const MeasuredQuantity q : data.columns) {
      const double sd = q == MeasuredQuantity::WebTemp ? tempSd : residualSd;
      const double v = *ModelValueAt(profile, q, x) + (sd > 0 ? sd * noise(random) : 0.0);
      data.values.push_back(Measurement{x, q, v, static_cast<std::size_t>(i) + 2});
    }
  }
  return data;
}

TEST(Fit, ParsesParametersAndBounds) {
  const FitParameter keff = Param("Keff=1:3");
  EXPECT_EQ(keff.entryName, "Edit205");
  EXPECT_EQ(keff.caption, "Dryer Efficiency Parameter Keff");
  EXPECT_EQ(keff.lower, 1.0);
  EXPECT_EQ(keff.upper, 3.0);
  const FitParameter upper = Param("ZoneHeatCoefUpper[2]=:0.1");
  EXPECT_FALSE(upper.lower.has_value());
  EXPECT_EQ(upper.upper, 0.1);
  EXPECT_EQ(Param("Edit202").entryName, "Edit202");

  struct Case {
    std::string text;
    std::string error;
  };
  const std::vector<Case> bad{
      {"Kef", "no condition entry or field named \"Kef\" (a numeric condition, tovimar-batch "
              "--list-names lists them)"},
      {"Keff=1", "a parameter is NAME or NAME=LOWER:UPPER, not \"Keff=1\""},
      {"Keff=a:2", "the bound \"a\" is not a number in \"Keff=a:2\""},
      {"Keff=3:1", "the lower bound must lie below the upper one in \"Keff=3:1\""},
      {"Keff=2:2", "the lower bound must lie below the upper one in \"Keff=2:2\""},
      // Only physical conditions: not the march's step, a file setting or a line setting.
      {"Edit20=0.01:1", "the Increment of z (StepLength) is a setting of the numerical march, not a physical "
                        "condition: it cannot be fitted"},
      {"Edit250", "the Save File Name (Edit250) is a file setting, not a physical condition: it cannot be fitted"},
      {"ZoneExhaustFlow[1]", "ZoneExhaustFlow[1] is a line setting, which judges a run but does not change it: "
                             "it cannot be fitted"},
  };
  for (const Case& c : bad) {
    std::string error;
    EXPECT_FALSE(ParseFitParameter(c.text, error).has_value()) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

TEST(Fit, InterpolatesLinearlyAlongTheLine) {
  LineProfile profile;
  for (const auto& [x, t] : std::vector<std::pair<double, double>>{{0, 20}, {1, 30}, {1, 30}, {3, 40}}) {
    ProfilePoint p;
    p.position = x;
    p.temp = t;
    profile.points.push_back(p);
  }
  EXPECT_EQ(ModelValueAt(profile, MeasuredQuantity::WebTemp, 0), 20);
  EXPECT_EQ(ModelValueAt(profile, MeasuredQuantity::WebTemp, 0.25), 22.5);
  EXPECT_EQ(ModelValueAt(profile, MeasuredQuantity::WebTemp, 1), 30);
  EXPECT_EQ(ModelValueAt(profile, MeasuredQuantity::WebTemp, 2.5), 37.5);
  EXPECT_EQ(ModelValueAt(profile, MeasuredQuantity::WebTemp, 3), 40);
  EXPECT_FALSE(ModelValueAt(profile, MeasuredQuantity::WebTemp, 3.0001).has_value());
  EXPECT_FALSE(ModelValueAt(profile, MeasuredQuantity::WebTemp, -0.1).has_value());
  EXPECT_FALSE(ModelValueAt(LineProfile{}, MeasuredQuantity::WebTemp, 0).has_value());
}

TEST(Fit, StudentQuantiles) {
  // Reference values of t(0.975, dof).
  const std::vector<std::pair<std::size_t, double>> cases{
      {1, 12.7062047}, {2, 4.30265273}, {10, 2.22813885}, {30, 2.04227246},
      {31, 2.03951345}, {40, 2.02107539}, {60, 2.00029782}, {120, 1.97993041}, {1000, 1.96233908}};
  for (const auto& [dof, t] : cases) {
    EXPECT_NEAR(StudentT975(dof), t, 2e-6) << dof;
  }
}

TEST(Fit, RecoversNoiseFreeValues) {
  const MeasuredData data = Synthetic({{"Keff", 1.8}, {"We", 0.12}}, 0, 0);
  ASSERT_EQ(data.values.size(), 61U * 3U);
  const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff"), Param("We")}, data);
  ASSERT_TRUE(r.converged()) << r.message;
  ASSERT_EQ(r.values.size(), 2U);
  EXPECT_EQ(r.values[0].start, 1.5);
  EXPECT_EQ(r.values[1].start, 0.1);
  EXPECT_NEAR(r.values[0].value, 1.8, 1.8e-6);
  EXPECT_NEAR(r.values[1].value, 0.12, 0.12e-6);
  EXPECT_EQ(r.measurements, 183U);
  EXPECT_GT(r.runs, 3U);
  EXPECT_EQ(r.rejectedRuns, 0U);
  ASSERT_EQ(r.rms.size(), 3U);
  EXPECT_LT(r.rms[0].rms, 1e-6);
  EXPECT_EQ(r.rms[1].count, 61U);
  EXPECT_TRUE(r.warnings.empty());
}

TEST(Fit, NoisyDataIntervalsHoldTheTruth) {
  MeasuredData data = Synthetic({{"Keff", 1.8}, {"We", 0.12}}, 0.2, 0.002);
  data.sd[static_cast<std::size_t>(MeasuredQuantity::WebTemp)] = 0.2;
  data.sd[static_cast<std::size_t>(MeasuredQuantity::Residual1)] = 0.002;
  data.sd[static_cast<std::size_t>(MeasuredQuantity::Residual2)] = 0.002;
  const auto started = std::chrono::steady_clock::now();
  const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff"), Param("We")}, data);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  RecordProperty("seconds", std::to_string(seconds));
  ASSERT_TRUE(r.converged()) << r.message;
  const std::vector<double> truth{1.8, 0.12};
  for (std::size_t j = 0; j < 2; ++j) {
    const FittedValue& v = r.values[j];
    ASSERT_TRUE(v.halfWidth.has_value());
    EXPECT_GT(*v.halfWidth, 0);
    EXPECT_LE(std::abs(v.value - truth[j]), *v.halfWidth) << v.parameter.name;
    EXPECT_LE(std::abs(v.value - truth[j]), 0.02 * truth[j]) << v.parameter.name;
  }
  EXPECT_NEAR(r.rms[0].rms, 0.2, 0.05);
  EXPECT_EQ(r.Correlation(0, 1), r.Correlation(1, 0));
  EXPECT_LT(std::abs(r.Correlation(0, 1)), 1.0);
}

TEST(Fit, ARunThatStopsIsARejectedStep) {
  // From Keff = 1.5 the first full step towards 0.05 overshoots below zero, where the
  // coating boils and the run stops; the solver shortens the step and still gets there.
  const MeasuredData data = Synthetic({{"Keff", 0.05}}, 0, 0);
  const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff")}, data);
  ASSERT_TRUE(r.converged()) << r.message;
  EXPECT_GE(r.rejectedRuns, 1U);
  EXPECT_NEAR(r.values[0].value, 0.05, 0.05e-6);
}

TEST(Fit, BoundsKeepTrialValuesInside) {
  const MeasuredData data = Synthetic({{"Keff", 0.05}}, 0, 0);
  const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff=0.1:3")}, data);
  EXPECT_GE(r.values[0].value, 0.1);
  EXPECT_LT(r.values[0].value, 0.1 * (1 + 1e-6));
  EXPECT_EQ(r.rejectedRuns, 0U);
}

TEST(Fit, RefusedFits) {
  const MeasuredData data = Synthetic({{"Keff", 1.8}}, 0, 0, 20.0);
  MeasuredData beyond = data;
  beyond.values.push_back(Measurement{60.5, MeasuredQuantity::WebTemp, 50, 9});
  MapEntryTexts boiling;
  boiling.ForceText("Edit205", "-0.5");
  MapEntryTexts notANumber;
  notANumber.ForceText("Edit205", "1,5");
  MeasuredData one;
  one.values.push_back(Measurement{1, MeasuredQuantity::WebTemp, 30, 2});
  struct Case {
    const MapEntryTexts* base;
    std::vector<std::string> parameters;
    const MeasuredData* data;
    std::string message;
  };
  const MapEntryTexts defaults;
  const std::vector<Case> cases{
      {&defaults, {}, &data, "no parameter to fit"},
      {&defaults, {"Keff", "Edit205"}, &data, "Edit205 is fitted twice"},
      {&notANumber, {"Keff"}, &data, "Keff: the starting value \"1,5\" is not a number"},
      {&defaults, {"Keff=2:3"}, &data, "Keff: the starting value 1.5 lies beyond its bounds"},
      {&defaults, {"Keff", "We"}, &one, "1 measurements cannot determine 2 parameters"},
      {&defaults, {"Keff"}, &beyond,
       "the run at the starting values failed: the measurement at 60.5 m (line 9) lies beyond the end "
       "of the line (60 m)"},
  };
  for (const Case& c : cases) {
    std::vector<FitParameter> parameters;
    for (const std::string& text : c.parameters) parameters.push_back(Param(text));
    const FitResult r = FitToMeasurements(*c.base, parameters, *c.data);
    EXPECT_EQ(r.status, FitStatus::Refused) << c.message;
    EXPECT_EQ(r.message, c.message);
  }
  const FitResult r = FitToMeasurements(boiling, {Param("Keff")}, data);
  EXPECT_EQ(r.status, FitStatus::Refused);
  EXPECT_EQ(r.message.rfind("the run at the starting values failed: The coating boils in zone 1", 0), 0U)
      << r.message;
  EXPECT_EQ(r.runs, 1U);
  EXPECT_EQ(r.rejectedRuns, 1U);
}

TEST(Fit, ProgressCanStopTheFit) {
  const MeasuredData data = Synthetic({{"Keff", 1.8}}, 0, 0, 5.0);
  FitOptions options;
  std::vector<double> seen;
  options.progress = [&seen](const FitProgress& p) {
    seen.push_back(p.weightedSsr);
    return seen.size() < 2;
  };
  const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff")}, data, options);
  EXPECT_EQ(r.status, FitStatus::NotConverged);
  EXPECT_EQ(r.message, "the fit was stopped");
  ASSERT_EQ(seen.size(), 2U);
  EXPECT_LT(seen[1], seen[0]);
  options.progress = nullptr;
  options.maxRuns = 3;
  const FitResult limited = FitToMeasurements(MapEntryTexts{}, {Param("Keff")}, data, options);
  EXPECT_EQ(limited.status, FitStatus::NotConverged);
  EXPECT_EQ(limited.message, "no convergence within 3 runs");
}

TEST(Fit, WarnsAboutParametersTheDataCannotTellApart) {
  // Keff multiplies the upper heat-transfer coefficient of every zone, so the two
  // together are determined only as a product.
  const MeasuredData data = Synthetic({{"Keff", 1.8}}, 0.2, 0.002, 2.0);
  const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff"), Param("ZoneHeatCoefUpper[1]"),
                                                          Param("ZoneHeatCoefUpper[2]")}, data);
  bool warned = false;
  for (const std::string& w : r.warnings) {
    warned = warned || w.rfind("Dryer Efficiency Parameter Keff and Upper heat-transfer coefficient of zone", 0) == 0;
  }
  EXPECT_TRUE(warned) << (r.warnings.empty() ? r.message : r.warnings.front());
}

// Which values the measurements determine: a parameter that moves them by no more than the
// model's rounding, or one that only a combination with another moves, is undetermined and
// has no interval; the others keep theirs.
TEST(Fit, UndeterminedParametersHaveNoInterval) {
  const auto rows = [](const std::vector<std::pair<double, double>>& temps) {
    MeasuredData data;
    data.columns = {MeasuredQuantity::WebTemp};
    std::size_t line = 2;
    for (const auto& [x, t] : temps) data.values.push_back(Measurement{x, MeasuredQuantity::WebTemp, t, line++});
    return data;
  };
  const MeasuredData micrometre = rows({{1e-6, 15.0000001}, {1e-6, 15.0000001}});
  const MeasuredData entrance = rows({{0, 20}, {0, 20.5}, {0, 19.5}});
  const MeasuredData line = Synthetic({{"Keff", 1.8}}, 0.2, 0.002, 2.0);
  struct Case {
    const MeasuredData* data;
    std::vector<std::string> parameters;
    std::vector<bool> determined;
    std::string warning;  // the first warning's start
  };
  const std::vector<Case> cases{
      // Keff moves the web temperature a micrometre in by a few roundings only (it used to
      // come out as "± 0" after the solver had carried it to 14).
      {&micrometre, {"Keff"}, {false},
       "the measurements do not depend on Dryer Efficiency Parameter Keff (not beyond the rounding of the "
       "model): undetermined"},
      // At the entrance only the initial temperature matters.
      {&entrance, {"Keff", "InitialTemp"}, {false, true},
       "the measurements do not depend on Dryer Efficiency Parameter Keff"},
      // The base film's heat capacity is its weight times its specific heat.
      {&line, {"BaseFilmWeight", "BaseFilmCp", "Keff"}, {false, false, true},
       "Base film weight and Specific heat of the base film cannot be told apart from these data: "
       "undetermined, only a combination of them is known"},
  };
  for (const Case& c : cases) {
    std::vector<FitParameter> parameters;
    for (const std::string& text : c.parameters) parameters.push_back(Param(text));
    const FitResult r = FitToMeasurements(MapEntryTexts{}, parameters, *c.data);
    ASSERT_TRUE(r.converged()) << c.parameters[0] << ": " << r.message;
    for (std::size_t j = 0; j < c.determined.size(); ++j) {
      EXPECT_EQ(r.values[j].determined, c.determined[j]) << c.parameters[j];
      EXPECT_EQ(r.values[j].halfWidth.has_value(), c.determined[j]) << c.parameters[j];
      EXPECT_GT(r.values[j].halfWidth.value_or(1), 0);
    }
    ASSERT_FALSE(r.warnings.empty());
    EXPECT_EQ(r.warnings[0].substr(0, c.warning.size()), c.warning);
  }
}

// A residual, sum of squares or interval that is not a finite number is a fit that did not
// converge, and none of it is reported.
TEST(Fit, NonFiniteStatisticsAreAFitThatDidNotConverge) {
  const MeasuredData data = Synthetic({{"Keff", 1.8}}, 0, 0, 20.0);
  MeasuredData huge = data;
  ASSERT_EQ(huge.values[3].quantity, MeasuredQuantity::WebTemp);
  huge.values[3].value = 1e300;
  MeasuredData tiny = data;
  tiny.sd[static_cast<std::size_t>(MeasuredQuantity::WebTemp)] = 1e-200;
  MeasuredData unweighted = huge;  // finite weighted, but its RMS overflows
  unweighted.sd[static_cast<std::size_t>(MeasuredQuantity::WebTemp)] = 1e300;
  struct Case {
    const MeasuredData* data;
    std::string message;
  };
  const std::vector<Case> cases{
      {&huge, "the weighted sum of squares at the fitted values is not a finite number"},
      {&tiny, "the weighted sum of squares at the fitted values is not a finite number"},
      {&unweighted, "the residual RMS of web temperature (C) is not a finite number"},
  };
  for (const Case& c : cases) {
    const FitResult r = FitToMeasurements(MapEntryTexts{}, {Param("Keff")}, *c.data);
    EXPECT_EQ(r.status, FitStatus::NotConverged) << c.message;
    EXPECT_EQ(r.message, c.message);
    EXPECT_FALSE(r.values.at(0).halfWidth.has_value());
    for (const QuantityRms& q : r.rms) EXPECT_TRUE(std::isfinite(q.rms));
  }
}

TEST(Fit, FittedEntriesHoldTheTextPeopleType) {
  FitResult r;
  FittedValue v;
  v.parameter = Param("We");
  v.value = 0.12000000000000002;
  r.values.push_back(v);
  const std::vector<FittedEntry> entries = FittedEntries(r);
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].entryName, "Edit202");
  EXPECT_EQ(entries[0].text, "0.12");
}

}  // namespace
}  // namespace tovimar
