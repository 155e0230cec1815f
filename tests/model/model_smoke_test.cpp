#include <gtest/gtest.h>
#include <cstdio>
#include "model/model.h"
#include "support/defaults.h"
using namespace tovimar;
TEST(Smoke, Print) {
  Simulation sim = test_support::DefaultSimulation();
  PrepareInitialState(sim);
  MarchZone(sim, 1, 300);
  CarryToNextZone(sim, 1, 300);
  MarchZone(sim, 2, 300);
  auto& p = *sim.profile;
  std::printf("%.9g %.9g %.9g %.9g %.9g %.9g\n", p.ProfileTemp[1][1], p.ProfileSolvent1Weight[1][1], p.ProfileSolvent2Weight[1][1], p.ProfileTemp[1][300], p.ProfileSolvent1Weight[1][300], p.ProfileResidual2[1][300]);
  std::printf("%.9g %.9g %.9g %.9g %.9g %.9g\n", p.ProfileTime[2][300], p.ProfileTemp[2][300], p.ProfileSolvent1Weight[2][300], p.ProfileSolvent2Weight[2][300], p.ProfileResidual1[2][300], p.ProfileSolvent1Fraction[2][300]+p.ProfileSolvent2Fraction[2][300]);
}
