// The initial state and the march through the zones of a run.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/model.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::DefaultSimulation;

std::string FaultOf(Simulation& sim, void (*action)(Simulation&)) {
  try {
    action(sim);
  } catch (const ArithmeticError& e) {
    return e.what();
  }
  return "no fault";
}

void MarchDefaultZones(Simulation& sim) {
  PrepareInitialState(sim);
  for (int z = 1; z <= sim.conditions.ZoneCount; ++z) {
    MarchZone(sim, z, sim.conditions.ZoneStepCount[z]);
    CarryToNextZone(sim, z, sim.conditions.ZoneStepCount[z]);
  }
}

TEST(PrepareInitialState, DefaultConditions) {
  Simulation sim = DefaultSimulation();
  PrepareInitialState(sim);
  const DryingProfile& p = *sim.profile;
  EXPECT_NEAR(p.ProfileSolvent1Weight[1][0], 0.0417, 1e-16);
  EXPECT_NEAR(p.ProfileSolvent2Weight[1][0], 0.01529, 1e-16);
  EXPECT_NEAR(sim.conditions.SolidWeight(), 0.01251, 1e-16);
  EXPECT_NEAR(p.ProfileSolvent1Fraction[1][0], 0.6, 1e-15);
  EXPECT_NEAR(p.ProfileSolvent2Fraction[1][0], 0.22, 1e-15);
  EXPECT_EQ(p.ProfileResidual1[1][0], 1.0);
  EXPECT_EQ(p.ProfileResidual2[1][0], 1.0);
  EXPECT_EQ(p.ProfileTime[1][0], 0.0);
  EXPECT_EQ(p.ProfileTemp[1][0], 15.0);
  EXPECT_NEAR(sim.state.TimeIncrement, 0.1, 1e-16);
}

TEST(PrepareInitialState, RatiosAreUsedAsTheyStand) {
  Simulation sim = DefaultSimulation();
  sim.conditions.SolidRatio0 = sim.conditions.Solvent1Ratio0 = sim.conditions.Solvent2Ratio0 = 0.5;
  PrepareInitialState(sim);
  EXPECT_NEAR(sim.profile->ProfileSolvent1Fraction[1][0], 1.0 / 3, 1e-15);
  EXPECT_NEAR(sim.profile->ProfileSolvent2Fraction[1][0], 1.0 / 3, 1e-15);
}

TEST(PrepareInitialState, FaultsNameWhatFailed) {
  struct Case {
    const char* name;
    void (*change)(DryingConditions&);
    const char* message;
  };
  const Case cases[] = {
      {"zero line speed", [](DryingConditions& c) { c.LineSpeed = 0; },
       "Arithmetic error in the initial state: division by zero in the time increment "
       "(Increment of z / Speed)"},
      {"zero solvent-1 ratio", [](DryingConditions& c) { c.Solvent1Ratio0 = 0; },
       "Arithmetic error in the initial state: zero divided by zero in the initial residual "
       "ratio of solvent-1"},
      {"zero solvent-2 ratio", [](DryingConditions& c) { c.Solvent2Ratio0 = 0; },
       "Arithmetic error in the initial state: zero divided by zero in the initial residual "
       "ratio of solvent-2"},
      {"zero coating weight", [](DryingConditions& c) { c.CoatingWeight0 = 0; },
       "Arithmetic error in the initial state: zero divided by zero in the weight fraction of "
       "solvent-1"},
  };
  for (const Case& k : cases) {
    Simulation sim = DefaultSimulation();
    k.change(sim.conditions);
    EXPECT_EQ(FaultOf(sim, PrepareInitialState), k.message) << k.name;
  }
}

TEST(MarchZone, DefaultRunZoneExits) {
  Simulation sim = DefaultSimulation();
  MarchDefaultZones(sim);
  const DryingProfile& p = *sim.profile;
  // Zone 1.
  EXPECT_NEAR(p.ProfileTime[1][300], 30.0, 1e-9);
  EXPECT_NEAR(p.ProfileTemp[1][300], 58.27, 0.005);
  EXPECT_NEAR(p.ProfileSolvent1Weight[1][300], 0.000450, 5e-7);
  EXPECT_NEAR(p.ProfileResidual1[1][300], 0.0108, 5e-5);
  EXPECT_NEAR(p.ProfileSolvent2Weight[1][300], 0.00131, 5e-6);
  EXPECT_NEAR(p.ProfileResidual2[1][300], 0.0858, 5e-5);
  EXPECT_NEAR(CalcDryingCorrection(sim.conditions, p.ProfileSolvent1Fraction[1][300] +
                                                       p.ProfileSolvent2Fraction[1][300]),
              0.12, 0.005);
  // Zone 2 starts from exactly the exit of zone 1.
  for (auto array : DryingProfile::CarriedProfileArrays) {
    EXPECT_EQ((p.*array)[2][0], (p.*array)[1][300]);
  }
  EXPECT_NEAR(p.ProfileTime[2][300], 60.0, 1e-9);
  EXPECT_NEAR(p.ProfileTemp[2][300], 60.00, 0.005);
  EXPECT_NEAR(p.ProfileSolvent1Weight[2][300], 0.000359, 5e-7);
  EXPECT_NEAR(p.ProfileResidual1[2][300], 0.0086, 5e-5);
  EXPECT_NEAR(p.ProfileSolvent2Weight[2][300], 0.00103, 5e-6);
  EXPECT_NEAR(p.ProfileResidual2[2][300], 0.0675, 5e-5);
  EXPECT_NEAR(p.ProfileSolvent1Fraction[2][300] + p.ProfileSolvent2Fraction[2][300], 0.1000,
              5e-5);
}

TEST(MarchZone, TimeAccumulatesByRepeatedAddition) {
  Simulation sim = DefaultSimulation();
  MarchDefaultZones(sim);
  double t = 0;
  for (int k = 1; k <= 300; ++k) {
    t = t + sim.state.TimeIncrement;
    ASSERT_EQ(sim.profile->ProfileTime[1][k], t) << "step " << k;
  }
}

TEST(MarchZone, ZeroStepsComputesOnlyTheCoefficients) {
  Simulation sim = DefaultSimulation();
  PrepareInitialState(sim);
  sim.profile->ProfileTemp[1][1] = -999;  // must stay untouched
  MarchZone(sim, 1, 0);
  EXPECT_NEAR(sim.state.MassTransferCoef1[1], 0.0166078, 5e-8);
  EXPECT_NEAR(sim.state.MassTransferCoef2[1], 0.0160243, 5e-8);
  EXPECT_EQ(sim.profile->ProfileTemp[1][1], -999);
  CarryToNextZone(sim, 1, 0);
  EXPECT_EQ(sim.profile->ProfileTemp[2][0], 15.0);
  EXPECT_EQ(sim.profile->ProfileSolvent1Weight[2][0], sim.profile->ProfileSolvent1Weight[1][0]);
}

TEST(MarchZone, CoatingBelowWeOnlyWarmsUp) {
  Simulation sim = DefaultSimulation();
  DryingConditions& c = sim.conditions;
  c.SolidRatio0 = 0.95;
  c.Solvent1Ratio0 = 0.03;
  c.Solvent2Ratio0 = 0.02;  // total solvent fraction 0.05, below We = 0.1
  PrepareInitialState(sim);
  MarchZone(sim, 1, 300);
  const DryingProfile& p = *sim.profile;
  EXPECT_EQ(p.ProfileSolvent1Weight[1][300], p.ProfileSolvent1Weight[1][0]);
  EXPECT_EQ(p.ProfileSolvent2Weight[1][300], p.ProfileSolvent2Weight[1][0]);
  EXPECT_GT(p.ProfileTemp[1][300], 59.9);
  EXPECT_LT(p.ProfileTemp[1][300], 60.0);
}

TEST(MarchZone, HumidAirMakesASolventCondense) {
  Simulation sim = DefaultSimulation();
  sim.conditions.ZoneHumidity2[1] = 0.5;  // far above solvent-2's surface ratio
  PrepareInitialState(sim);
  MarchZone(sim, 1, 300);
  EXPECT_GT(sim.profile->ProfileResidual2[1][300], 1.0);
  EXPECT_GT(sim.profile->ProfileSolvent2Weight[1][300], sim.profile->ProfileSolvent2Weight[1][0]);
}

TEST(MarchZone, RefusesAStepCountOrZoneThatDoesNotFit) {
  Simulation sim = DefaultSimulation();
  PrepareInitialState(sim);
  EXPECT_THROW(MarchZone(sim, 1, StepsPerZone), StepCountError);
  EXPECT_THROW(MarchZone(sim, 1, -1), StepCountError);
  EXPECT_THROW(MarchZone(sim, 0, 10), StepCountError);
  EXPECT_THROW(MarchZone(sim, MaxZones + 1, 10), StepCountError);
  EXPECT_THROW(CarryToNextZone(sim, 1, StepsPerZone), StepCountError);
  EXPECT_NO_THROW(MarchZone(sim, 1, MaxStepsPerZone));
  EXPECT_TRUE(std::isfinite(sim.profile->ProfileTemp[1][MaxStepsPerZone]));
}

// Faults during the march name the zone and the step and never leave a NaN or an infinity
// in the profile.
TEST(MarchZone, FaultsNameZoneAndStep) {
  struct Case {
    const char* name;
    void (*change)(DryingConditions&);
    int zone;
    const char* message;  // the start of the message
  };
  const Case cases[] = {
      {"zero diffusivity", [](DryingConditions& c) { c.AirDiffusivity1 = 0; }, 1,
       "Arithmetic error in zone 1, mass-transfer coefficients: division by zero in the Schmidt "
       "number (diffusivity in air)"},
      {"T = -C", [](DryingConditions& c) { c.InitialTemp = -c.AntoineC1; }, 1,
       "Arithmetic error in zone 1, step 1: division by zero in the vapour pressure of "
       "solvent-1 (T + C)"},
      {"zero heat capacity",
       [](DryingConditions& c) {
         c.Solvent1Cp = c.Solvent2Cp = c.PolymerCp = c.BaseFilmCp = 0;
       },
       1,
       "Arithmetic error in zone 1, step 1: division by zero in the rate of temperature (heat "
       "capacity of the web)"},
      {"solvent-1 runs out",
       [](DryingConditions& c) {
         // Full drying speed whatever the content, in a hot zone, in long steps.
         c.Wi = -1;
         c.Wx = -2;
         c.We = -3;
         c.ZoneAirTemp[1] = 120;
         c.StepLength = 1.0;
       },
       1, "Unstable integration in zone 1, step "},
  };
  for (const Case& k : cases) {
    Simulation sim = DefaultSimulation();
    k.change(sim.conditions);
    PrepareInitialState(sim);
    std::string message = "no fault";
    int step = 0;
    try {
      MarchZone(sim, k.zone, MaxStepsPerZone);
    } catch (const UserError& e) {
      message = e.what();
    }
    EXPECT_EQ(message.substr(0, std::string(k.message).size()), k.message) << k.name;
    if (std::sscanf(message.c_str(), "%*[^,], step %d", &step) == 1) {
      for (int e = 0; e < step; ++e) {
        ASSERT_TRUE(std::isfinite(sim.profile->ProfileTemp[k.zone][e])) << k.name;
        ASSERT_TRUE(std::isfinite(sim.profile->ProfileSolvent1Weight[k.zone][e])) << k.name;
      }
    }
  }
}

// A step that would empty a solvent is stopped by the guard before it is taken: no weight
// ever turns negative, and the message names the step and the increment to use.
TEST(MarchZone, ASolventRunningOutIsStoppedBeforeItsWeightTurnsNegative) {
  Simulation sim = DefaultSimulation();
  DryingConditions& c = sim.conditions;
  c.Wi = -1;
  c.Wx = -2;
  c.We = -3;
  c.ZoneAirTemp[1] = 120;
  c.StepLength = 1.0;
  PrepareInitialState(sim);
  try {
    MarchZone(sim, 1, MaxStepsPerZone);
    FAIL() << "the solvent never ran out";
  } catch (const InstabilityError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Unstable integration in zone 1, step 10: a step of 1 s is longer than the stable "
              "limit of 0.75 s here. Use an Increment of z of at most 0.37 m at this Speed.");
    EXPECT_EQ(e.place().step, 10);
    const DryingProfile& p = *sim.profile;
    for (int k = 0; k < 10; ++k) {
      EXPECT_GT(p.ProfileSolvent1Weight[1][k], 0) << k;
    }
    // The step's time is beyond the time that empties solvent-1 at its frozen rate.
    EXPECT_GT(e.stepTime(), e.limit());
  }
}

}  // namespace
}  // namespace tovimar
