#include "results/output_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "results/summary_csv.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

TEST(OutputCatalogue, EveryQuantityHasOneNameAndTheComputationOfItsScope) {
  std::set<std::string_view> names;
  for (const OutputQuantity& q : OutputQuantities()) {
    SCOPED_TRACE(std::string(q.name));
    EXPECT_TRUE(names.insert(q.name).second) << "named twice";
    EXPECT_FALSE(q.caption.empty());
    const bool point = q.point != nullptr || q.judgedPoint != nullptr;
    EXPECT_EQ(point, q.scope == OutputScope::Point);
    EXPECT_EQ(q.zone != nullptr, q.scope == OutputScope::Zone);
    EXPECT_EQ(q.line != nullptr, q.scope == OutputScope::Line);
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
  AppendSummaryHeader(header, 2);
  AppendSummaryValues(record, SummaryValuesOf(results), 2);
  EXPECT_EQ(std::count(header.begin(), header.end(), ','), std::count(record.begin(), record.end(), ','));
}

}  // namespace
}  // namespace tovimar
