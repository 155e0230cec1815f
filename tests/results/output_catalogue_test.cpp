#include "results/output_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "results/summary_csv.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(OutputCatalogue, EveryQuantityHasOneNameAndTheComputationOfItsScope) {
  std::set<std::string_view> names;
  for (const OutputQuantity& q : OutputQuantities()) {
    SCOPED_TRACE(std::string(q.name));
    EXPECT_TRUE(names.insert(q.name).second) << "named twice";
    EXPECT_FALSE(q.caption.empty());
    const bool point = q.point != nullptr || q.judgedPoint != nullptr;
    EXPECT_EQ(point, q.scope == OutputScope::Point);
    EXPECT_EQ(q.zone != nullptr, q.scope == OutputScope::Zone);
    // A number of a model's check is a line quantity read from the check by its name.
    EXPECT_EQ(q.line != nullptr || q.fromCheck, q.scope == OutputScope::Line);
    EXPECT_FALSE(q.line != nullptr && q.fromCheck);
    // A check number belongs to its model; other quantities may too (only its runs have them).
    if (q.fromCheck) {
      EXPECT_FALSE(q.model.empty());
    }
    EXPECT_EQ(q.Shows(InProfileCsv), q.scope == OutputScope::Point);
    EXPECT_EQ(!q.tableHeader.empty(), q.Shows(InZoneTable));
    EXPECT_EQ(FindOutput(q.name), &q);
  }
  EXPECT_EQ(FindOutput("NoSuchQuantity"), nullptr);
}

TEST(OutputCatalogue, ColumnTitlesCarryUnitAndZone) {
  const struct {
    const char* name;
    int zone;
    const char* title;
  } cases[] = {
      {"WebTemp", 0, "web temperature (C)"},
      {"Residual1", 0, "solvent-1 residual ratio"},
      {"ResidualSolventPercent", 0, "residual solvent (% of solid)"},
      {"LineEndResidualSolvent", 0, "line end residual solvent (g/m2)"},
      {"ZoneExitWebTemp", 2, "zone 2 exit web temperature (C)"},
      {"ZoneExhaustLEL", 1, "zone 1 exhaust LEL (%)"},
      {"ZoneLeastBoilingMargin", 14, "zone 14 least boiling margin (K)"},
      {"ZoneLeastExhaustFlow", 3, "zone 3 least exhaust flow (m3/h)"},
  };
  for (const auto& c : cases) {
    const OutputQuantity* q = FindOutput(c.name);
    ASSERT_NE(q, nullptr) << c.name;
    EXPECT_EQ(ColumnTitle(*q, c.zone), c.title);
  }
}

// The default run's line and zone values, as the summary and the optimiser read them.
TEST(OutputCatalogue, DefaultRunValues) {
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, options).completed());
  LineSettings line;
  line.ZoneExhaustFlow[1] = 10000;
  const RunResults results = DeriveResults(sim, line);
  const auto value = [&](const char* name) { return LineValue(*FindOutput(name), results).value(); };
  EXPECT_NEAR(value("LineEndResidualSolvent"), 1.390, 5e-4);
  EXPECT_NEAR(value("LineEndResidualSolventPercent"), 11.11, 5e-3);
  EXPECT_DOUBLE_EQ(value("LineLength"), 60);
  EXPECT_NEAR(value("MaxZoneLEL"), 44.11, 5e-3);
  EXPECT_EQ(value("LineEndWebTemp"), results.line.points.back().temp);
  EXPECT_NEAR(ZoneValue(*FindOutput("ZoneLeastExhaustFlow"), results, 1).value(), 17643, 0.5);
  EXPECT_FALSE(ZoneValue(*FindOutput("ZoneExhaustLEL"), results, 2).has_value());  // no flow
  EXPECT_FALSE(ZoneValue(*FindOutput("ZoneExitWebTemp"), results, 3).has_value());  // no zone 3
  EXPECT_FALSE(LineValue(*FindOutput("ResidualTargetPosition"), results).has_value());  // no target

  // A summary record holds every summary value in header order.
  std::string header, record;
  AppendSummaryHeader(header, 2, results.model);
  AppendSummaryValues(record, SummaryValuesOf(results), 2, results.model);
  EXPECT_EQ(std::count(header.begin(), header.end(), ','), std::count(record.begin(), record.end(), ','));
}

// A value that is not a finite number, anywhere in what a run derives, is an arithmetic
// fault naming the quantity (and its zone and step); only an unbounded % of LEL is a value.
TEST(OutputCatalogue, NonFiniteValuesAreFaultsNamingTheQuantity) {
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, options).completed());
  LineSettings line;
  line.ZoneExhaustFlow[1] = 10000;
  const RunResults judged = DeriveResults(sim, line);
  const struct {
    const char* name;
    void (*poison)(RunResults&);
    const char* message;  // nullptr: no fault
  } cases[] = {
      {"evaporation rate", [](RunResults& r) { r.judgement.exhaust[0].rate1 = Inf; },
       "Arithmetic error: overflow in the zone 1 solvent-1 evaporation rate (kg/h)."},
      {"residual at a point", [](RunResults& r) { r.judgement.residualGrams[5] = std::nan(""); },
       "Arithmetic error in zone 1, step 5: invalid operation in the residual solvent (g/m2)."},
      {"profile time", [](RunResults& r) { r.line.points[303].time = Inf; },  // zone 2 from 301
       "Arithmetic error in zone 2, step 2: overflow in the time (s)."},
      {"step check", [](RunResults& r) { r.check.values.at(0).value = Inf; },
       "Arithmetic error: overflow in the step check web temperature (K)."},
      {"whole line's evaporation", [](RunResults& r) { r.summary.evaporated1 = -Inf; },
       "Arithmetic error: overflow in the whole line's solvent-1 evaporated (g/m2)."},
      {"a negative unbounded % of LEL", [](RunResults& r) { r.judgement.exhaust[0].percentLEL = -Inf; },
       "Arithmetic error: overflow in the zone 1 exhaust LEL (%)."},
      {"an unbounded % of LEL",
       [](RunResults& r) { r.judgement.exhaust[0].percentLEL = r.judgement.line.maxPercentLEL = Inf; },
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunResults results = judged;
    c.poison(results);
    if (c.message == nullptr) {
      EXPECT_NO_THROW(CheckFinite(results));
      continue;
    }
    try {
      CheckFinite(results);
      ADD_FAILURE() << "no fault";
    } catch (const ArithmeticError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace tovimar
