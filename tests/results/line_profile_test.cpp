#include "results/zone_summary.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "support/recorded.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

// A run of the window's defaults with `changes` applied, marched without a result file.
std::unique_ptr<Simulation> RunWith(const std::vector<std::pair<std::string, std::string>>& changes) {
  auto sim = std::make_unique<Simulation>();
  MapEntryTexts entries;
  for (const auto& [entry, text] : changes) {
    entries.ForceText(entry, text);
  }
  RecordedMessages messages;
  RunOptions options;
  options.writeResultFile = false;
  const RunOutcome outcome = RunSimulation(*sim, entries, messages, options);
  EXPECT_TRUE(outcome.completed()) << outcome.message;
  return sim;
}

// Zone 3 as a complete zone, so that a third zone takes part.
const std::vector<std::pair<std::string, std::string>> ThirdZone{
    {"Edit31", "80"}, {"Edit32", "10"}, {"Edit33", "0.0"},
    {"Edit34", "0.0"}, {"Edit35", "0.03"}, {"Edit36", "0.05"}};

// Every point against the profile arrays it is read from, and the positions as the sum of
// the previous zones' exit positions and r x TimeIncrement x LineSpeed.
void ExpectPointsMatchProfile(const Simulation& sim, const LineProfile& line) {
  const DryingConditions& c = sim.conditions;
  const DryingProfile& p = *sim.profile;
  ASSERT_EQ(line.zones.size(), static_cast<std::size_t>(c.ZoneCount));
  std::size_t index = 0;
  double zoneStart = 0;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    SCOPED_TRACE("zone " + std::to_string(z));
    const std::size_t zone = static_cast<std::size_t>(z);
    const std::int32_t n = c.ZoneStepCount[zone];
    const ZoneSpan& span = line.zones[zone - 1];
    EXPECT_EQ(span.zone, z);
    EXPECT_EQ(span.steps, n);
    EXPECT_EQ(span.firstPoint, index);
    EXPECT_EQ(span.entryPosition, zoneStart);
    EXPECT_EQ(span.airTemp, c.ZoneAirTemp[zone]);
    for (std::int32_t r = 0; r <= n; ++r, ++index) {
      ASSERT_LT(index, line.points.size());
      const ProfilePoint& point = line.points[index];
      const std::size_t k = static_cast<std::size_t>(r);
      EXPECT_EQ(point.zone, z);
      EXPECT_EQ(point.step, r);
      EXPECT_EQ(point.time, p.ProfileTime[zone][k]);
      const double inZone = r * sim.state.TimeIncrement * c.LineSpeed;
      EXPECT_EQ(point.positionInZone, inZone);
      EXPECT_EQ(point.position, zoneStart + inZone);
      EXPECT_EQ(point.temp, p.ProfileTemp[zone][k]);
      EXPECT_EQ(point.weight1, p.ProfileSolvent1Weight[zone][k]);
      EXPECT_EQ(point.weight2, p.ProfileSolvent2Weight[zone][k]);
      EXPECT_EQ(point.residual1, p.ProfileResidual1[zone][k]);
      EXPECT_EQ(point.residual2, p.ProfileResidual2[zone][k]);
      EXPECT_EQ(point.fraction1, p.ProfileSolvent1Fraction[zone][k]);
      EXPECT_EQ(point.fraction2, p.ProfileSolvent2Fraction[zone][k]);
      EXPECT_EQ(point.dryingCorrection,
                CalcDryingCorrection(c, p.ProfileSolvent1Fraction[zone][k] +
                                            p.ProfileSolvent2Fraction[zone][k]));
    }
    zoneStart += n * sim.state.TimeIncrement * c.LineSpeed;
    EXPECT_EQ(span.exitPosition, zoneStart);
  }
  EXPECT_EQ(index, line.points.size());
}

TEST(ProfileAlongLine, DefaultRunHasEveryEntryOfBothZones) {
  const auto sim = RunWith({});
  const LineProfile line = ProfileAlongLine(*sim);
  ASSERT_EQ(line.points.size(), 602u);  // 301 entries in each of two zones of 300 steps
  ExpectPointsMatchProfile(*sim, line);
  EXPECT_EQ(line.zones[0].exitPosition, 30.0);
  EXPECT_EQ(line.zones[1].entryPosition, 30.0);
  EXPECT_EQ(line.points.back().position, 60.0);
}

TEST(ProfileAlongLine, PositionsAreContinuousAcrossZoneBoundaries) {
  // Zone 2 of 0.04 m gets no step at all; zone 3 follows straight on.
  auto changes = ThirdZone;
  changes.emplace_back("Edit22", "0.04");
  const auto sim = RunWith(changes);
  ASSERT_EQ(sim->conditions.ZoneCount, 3);
  ASSERT_EQ(sim->conditions.ZoneStepCount[2], 0);
  const LineProfile line = ProfileAlongLine(*sim);
  ExpectPointsMatchProfile(*sim, line);
  ASSERT_EQ(line.points.size(), 301u + 1u + 101u);
  // Each zone's entry 0 stands where the previous zone ended, and holds its exit state.
  for (std::size_t z = 1; z < line.zones.size(); ++z) {
    const ProfilePoint& exit =
        line.points[line.zones[z].firstPoint - 1];
    const ProfilePoint& entry = line.points[line.zones[z].firstPoint];
    EXPECT_EQ(entry.position, exit.position);
    EXPECT_EQ(entry.positionInZone, 0.0);
    EXPECT_EQ(entry.temp, exit.temp);
    EXPECT_EQ(entry.time, exit.time);
  }
  EXPECT_EQ(line.zones[1].entryPosition, line.zones[1].exitPosition);
  for (std::size_t i = 1; i < line.points.size(); ++i) {
    EXPECT_GE(line.points[i].position, line.points[i - 1].position) << "point " << i;
  }
}

TEST(ProfileAlongLine, RefusesASimulationWithoutACompletedRun) {
  Simulation fresh;
  EXPECT_THROW((void)ProfileAlongLine(fresh), std::invalid_argument);
  Simulation tooMany;
  tooMany.conditions.ZoneCount = 1;
  tooMany.conditions.ZoneStepCount[1] = MaxStepsPerZone + 1;
  EXPECT_THROW((void)ProfileAlongLine(tooMany), std::invalid_argument);
}

// The summary of a run against the same quantities taken straight from the profile arrays.
void ExpectSummaryMatchesProfile(const Simulation& sim, const ProfileSummary& summary) {
  const DryingConditions& c = sim.conditions;
  const DryingProfile& p = *sim.profile;
  ASSERT_EQ(summary.zones.size(), static_cast<std::size_t>(c.ZoneCount));
  double total1 = 0, total2 = 0, total = 0;
  for (const ZoneSummary& zone : summary.zones) {
    const std::size_t z = static_cast<std::size_t>(zone.zone);
    const std::size_t n = static_cast<std::size_t>(c.ZoneStepCount[z]);
    EXPECT_EQ(zone.exitTemp, p.ProfileTemp[z][n]);
    EXPECT_EQ(zone.exitResidual1, p.ProfileResidual1[z][n]);
    EXPECT_EQ(zone.exitResidual2, p.ProfileResidual2[z][n]);
    const double ev1 = (p.ProfileSolvent1Weight[z][0] - p.ProfileSolvent1Weight[z][n]) * 1000;
    const double ev2 = (p.ProfileSolvent2Weight[z][0] - p.ProfileSolvent2Weight[z][n]) * 1000;
    EXPECT_EQ(zone.evaporated1, ev1);
    EXPECT_EQ(zone.evaporated2, ev2);
    EXPECT_EQ(zone.evaporated, ev1 + ev2);
    total1 += ev1;
    total2 += ev2;
    total += ev1 + ev2;
  }
  EXPECT_EQ(summary.evaporated1, total1);
  EXPECT_EQ(summary.evaporated2, total2);
  EXPECT_EQ(summary.evaporated, total);
  for (const ZoneSummary& zone : summary.zones) {
    if (total > 0) {
      ASSERT_TRUE(zone.share.has_value());
      EXPECT_EQ(*zone.share, zone.evaporated / total);
    } else {
      EXPECT_FALSE(zone.share.has_value());
    }
  }
}

// The first entry along the line whose correction is 0, found by walking the arrays.
std::optional<std::pair<std::int32_t, std::int32_t>> FirstDryEntry(const Simulation& sim) {
  const DryingConditions& c = sim.conditions;
  const DryingProfile& p = *sim.profile;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    const std::size_t zone = static_cast<std::size_t>(z);
    for (std::int32_t r = 0; r <= c.ZoneStepCount[zone]; ++r) {
      const std::size_t k = static_cast<std::size_t>(r);
      if (CalcDryingCorrection(c, p.ProfileSolvent1Fraction[zone][k] +
                                      p.ProfileSolvent2Fraction[zone][k]) <= 0) {
        return std::make_pair(z, r);
      }
    }
  }
  return std::nullopt;
}

TEST(SummarizeProfile, DefaultRun) {
  const auto sim = RunWith({});
  const LineProfile line = ProfileAlongLine(*sim);
  const ProfileSummary summary = SummarizeProfile(line);
  ExpectSummaryMatchesProfile(*sim, summary);
  // Both zones dry the coating; almost all of it goes in zone 1.
  ASSERT_EQ(summary.zones.size(), 2u);
  EXPECT_GT(summary.zones[0].evaporated1, 0);
  EXPECT_GT(summary.zones[1].evaporated2, 0);
  EXPECT_GT(*summary.zones[0].share, 0.99);
  EXPECT_NEAR(*summary.zones[0].share + *summary.zones[1].share, 1.0, 1e-15);
  EXPECT_EQ(summary.zones[1].entryPosition, 30.0);
  EXPECT_EQ(summary.zones[1].exitPosition, 60.0);
  // The coating ends just above We (0.1): drying never stops on the default line.
  EXPECT_FALSE(FirstDryEntry(*sim).has_value());
  EXPECT_FALSE(summary.dryPoint.has_value());
  EXPECT_GT(line.points.back().dryingCorrection, 0);
  EXPECT_GT(line.points.back().fraction1 + line.points.back().fraction2, sim->conditions.We);
}

TEST(SummarizeProfile, DryPointIsTheFirstEntryWithoutDryingSpeed) {
  // A stronger heat transfer in zone 2 dries the coating down to We within that zone.
  const auto sim = RunWith({{"Edit25", "0.5"}});
  const LineProfile line = ProfileAlongLine(*sim);
  const ProfileSummary summary = SummarizeProfile(line);
  ExpectSummaryMatchesProfile(*sim, summary);
  const auto expected = FirstDryEntry(*sim);
  ASSERT_TRUE(expected.has_value());
  ASSERT_TRUE(summary.dryPoint.has_value());
  EXPECT_EQ(summary.dryPoint->zone, expected->first);
  EXPECT_EQ(summary.dryPoint->step, expected->second);
  EXPECT_EQ(summary.dryPoint->zone, 2);
  const std::size_t zone = static_cast<std::size_t>(expected->first);
  const std::size_t k = static_cast<std::size_t>(expected->second);
  EXPECT_EQ(summary.dryPoint->position, 30.0 + expected->second * sim->state.TimeIncrement *
                                                   sim->conditions.LineSpeed);
  EXPECT_EQ(summary.dryPoint->time, sim->profile->ProfileTime[zone][k]);
  // The entry before it still dried.
  ASSERT_GT(k, 0u);
  EXPECT_GT(CalcDryingCorrection(sim->conditions, sim->profile->ProfileSolvent1Fraction[zone][k - 1] +
                                                      sim->profile->ProfileSolvent2Fraction[zone][k - 1]),
            0);
}

TEST(SummarizeProfile, CondensingSolventGivesNegativeEvaporation) {
  // Solvent-1 in zone 2's air: it condenses there while solvent-2 still evaporates.
  const auto sim = RunWith({{"Edit23", "0.05"}});
  const ProfileSummary summary = SummarizeProfile(ProfileAlongLine(*sim));
  ExpectSummaryMatchesProfile(*sim, summary);
  const ZoneSummary& zone2 = summary.zones.at(1);
  EXPECT_LT(zone2.evaporated1, 0);
  EXPECT_GT(zone2.evaporated2, 0);
  EXPECT_GT(zone2.exitResidual1, summary.zones[0].exitResidual1);
  EXPECT_GT(summary.evaporated, 0);
  ASSERT_TRUE(zone2.share.has_value());
}

TEST(SummarizeProfile, NoShareWhenTheLineTakesUpSolvent) {
  // So much solvent-2 in zone 2's air that the web takes up more than the line dried.
  const auto sim = RunWith({{"Edit24", "0.5"}, {"Edit26", "0.2"}});
  const ProfileSummary summary = SummarizeProfile(ProfileAlongLine(*sim));
  ExpectSummaryMatchesProfile(*sim, summary);
  EXPECT_LT(summary.zones.at(1).evaporated2, 0);
  EXPECT_GT(summary.zones.at(1).exitResidual2, 1);
  EXPECT_LT(summary.evaporated, 0);
  for (const ZoneSummary& zone : summary.zones) {
    EXPECT_FALSE(zone.share.has_value()) << "zone " << zone.zone;
  }
}

// A hand-made profile: per zone, the solvent weights at its entries.
LineProfile MadeProfile(const std::vector<std::vector<std::pair<double, double>>>& zones) {
  LineProfile line;
  double position = 0;
  for (std::size_t z = 0; z < zones.size(); ++z) {
    ZoneSpan span;
    span.zone = static_cast<std::int32_t>(z + 1);
    span.steps = static_cast<std::int32_t>(zones[z].size()) - 1;
    span.firstPoint = line.points.size();
    span.entryPosition = position;
    for (std::size_t r = 0; r < zones[z].size(); ++r) {
      ProfilePoint point;
      point.zone = span.zone;
      point.step = static_cast<std::int32_t>(r);
      point.position = position + static_cast<double>(r);
      point.weight1 = zones[z][r].first;
      point.weight2 = zones[z][r].second;
      point.dryingCorrection = 1;
      line.points.push_back(point);
    }
    position = line.points.back().position;
    span.exitPosition = position;
    line.zones.push_back(span);
  }
  return line;
}

TEST(SummarizeProfile, SharesOfMadeProfiles) {
  struct Case {
    std::string name;
    std::vector<std::vector<std::pair<double, double>>> zones;
    std::vector<double> evaporated;             // g/m2 per zone
    std::vector<std::optional<double>> shares;
  };
  const std::vector<Case> cases{
      {"nothing changes: no share", {{{0.5, 0.25}, {0.5, 0.25}}, {{0.5, 0.25}, {0.5, 0.25}}},
       {0, 0}, {std::nullopt, std::nullopt}},
      {"one zone dries everything", {{{0.5, 0.25}, {0.25, 0.25}}, {{0.25, 0.25}, {0.25, 0.25}}},
       {250, 0}, {1.0, 0.0}},
      {"a zone gives back half", {{{0.5, 0.25}, {0.5, 0.0}}, {{0.5, 0.0}, {0.5, 0.125}}},
       {250, -125}, {2.0, -1.0}},
      {"a zone of no steps", {{{0.5, 0.5}}, {{0.5, 0.5}, {0.0, 0.5}}}, {0, 500}, {0.0, 1.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProfileSummary summary = SummarizeProfile(MadeProfile(c.zones));
    ASSERT_EQ(summary.zones.size(), c.evaporated.size());
    for (std::size_t z = 0; z < c.evaporated.size(); ++z) {
      EXPECT_EQ(summary.zones[z].evaporated, c.evaporated[z]) << "zone " << z + 1;
      EXPECT_EQ(summary.zones[z].share, c.shares[z]) << "zone " << z + 1;
    }
    EXPECT_FALSE(summary.dryPoint.has_value());
  }
}

TEST(SummarizeProfile, DryPointOfAMadeProfileIsTheFirstZeroCorrection) {
  LineProfile line = MadeProfile({{{0.5, 0.5}, {0.4, 0.4}, {0.3, 0.3}}, {{0.3, 0.3}, {0.2, 0.2}}});
  line.points[2].dryingCorrection = 0;  // the exit of zone 1 ...
  line.points[3].dryingCorrection = 0;  // ... repeated as the entry of zone 2
  line.points[4].dryingCorrection = -0.5;
  const ProfileSummary summary = SummarizeProfile(line);
  ASSERT_TRUE(summary.dryPoint.has_value());
  EXPECT_EQ(summary.dryPoint->zone, 1);
  EXPECT_EQ(summary.dryPoint->step, 2);
  EXPECT_EQ(summary.dryPoint->position, 2.0);
}

}  // namespace
}  // namespace tovimar
