// The stability guard: analytic partial derivatives, the step-map limit and its message.
#include <gtest/gtest.h>

#include <cmath>

#include "model/stability.h"
#include "model/step.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::DefaultSimulation;

// The three rates at (W1, W2, T) with every frozen quantity formed there, as a step does.
std::array<double, 3> RatesAt(Simulation& sim, double W1, double W2, double T) {
  const DryingConditions& c = sim.conditions;
  DryingState& s = sim.state;
  WebState at;
  at.W1 = W1;
  at.W2 = W2;
  at.T = T;
  const WeightFractions w = CalcWeightFractions(c, W1, W2);
  at.Fraction1 = w.w1;
  at.Fraction2 = w.w2;
  BeginStep(c, s, at, {1, 1});
  s.HeatCapacity = W1 * c.Solvent1Cp + W2 * c.Solvent2Cp + c.SolidWeight() * c.PolymerCp +
                   c.BaseFilmWeight * c.BaseFilmCp;
  StateVector rates{};
  StateVector state{};
  state[3] = T;
  CalcRates(c, s, rates, state, 1, 0);
  return {rates[1], rates[2], rates[3]};
}

RateLinearisation LinearisationAt(Simulation& sim, double W1, double W2, double T) {
  RatesAt(sim, W1, W2, T);
  const WeightFractions w = CalcWeightFractions(sim.conditions, W1, W2);
  return LineariseRates(sim.conditions, sim.state, 1, W1, W2, T,
                        CalcComposition(sim.conditions, W1, W2), w.w1 + w.w2);
}

class Linearisation : public ::testing::TestWithParam<std::array<double, 3>> {};

TEST_P(Linearisation, MatchesCentralDifferences) {
  Simulation sim = DefaultSimulation();
  PrepareInitialState(sim);
  MarchZone(sim, 1, 0);  // the zone's mass-transfer coefficients
  const auto [W1, W2, T] = GetParam();
  const RateLinearisation lin = LinearisationAt(sim, W1, W2, T);
  const std::array<double, 3> y{W1, W2, T};
  const std::array<double, 3> base = RatesAt(sim, W1, W2, T);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(lin.R[i], base[i], 1e-12 * std::fabs(base[i]) + 1e-300) << "rate " << i;
  }
  for (int j = 0; j < 3; ++j) {
    std::array<double, 3> up = y, down = y;
    const double d = 1e-6 * y[j];
    up[j] += d;
    down[j] -= d;
    const std::array<double, 3> ru = RatesAt(sim, up[0], up[1], up[2]);
    const std::array<double, 3> rd = RatesAt(sim, down[0], down[1], down[2]);
    for (int i = 0; i < 3; ++i) {
      const double fd = (ru[i] - rd[i]) / (2 * d);
      EXPECT_NEAR(lin.dR[i][j], fd, 1e-5 * std::fabs(fd) + 1e-9) << "d rate " << i << " / d " << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(States, Linearisation,
                         ::testing::Values(std::array<double, 3>{0.0417, 0.01529, 15.0},
                                           std::array<double, 3>{0.01, 0.008, 45.0},
                                           std::array<double, 3>{0.0012, 0.0009, 58.0}));

// A solvent whose mole and volume fractions have underflowed to 0 has no partial pressure:
// its ratio does not move with the state, and the derivatives stay numbers (no 1 / Phi or
// 1 / X of a fraction of 0).
TEST(Linearisation, ASolventWithoutPartialPressureHasFiniteDerivatives) {
  for (const int gone : {0, 1}) {
    Simulation sim = DefaultSimulation();
    PrepareInitialState(sim);
    MarchZone(sim, 1, 0);
    const double W1 = 0.0417, W2 = 0.01529, T = 30.0;
    RatesAt(sim, W1, W2, T);
    Composition comp = CalcComposition(sim.conditions, W1, W2);
    (gone == 0 ? comp.X1 : comp.X2) = 0;
    (gone == 0 ? comp.Phi1 : comp.Phi2) = 0;
    (gone == 0 ? sim.state.PartialPressure1 : sim.state.PartialPressure2) = 0;
    const WeightFractions w = CalcWeightFractions(sim.conditions, W1, W2);
    const RateLinearisation lin = LineariseRates(sim.conditions, sim.state, 1, W1, W2, T, comp, w.w1 + w.w2);
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        EXPECT_TRUE(std::isfinite(lin.dR[i][j])) << "solvent-" << gone + 1 << ": d rate " << i << " / d " << j;
      }
    }
    EXPECT_EQ(lin.dR[gone][2], 0.0) << "solvent-" << gone + 1;
  }
}

}  // namespace
}  // namespace tovimar
