// Rate equations and the Runge-Kutta-Gill step.
#include <gtest/gtest.h>

#include "model/model.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::DefaultSimulation;

// A simulation whose per-step state is that of the first step of the default run.
Simulation FirstStepOfDefaultRun() {
  Simulation sim = DefaultSimulation();
  PrepareInitialState(sim);
  MarchZone(sim, 1, 0);  // the zone's mass-transfer coefficients only
  const DryingConditions& c = sim.conditions;
  DryingState& s = sim.state;
  const Composition comp = CalcComposition(c, 0.0417, 0.01529);
  s.DryingCorrection1 = s.DryingCorrection2 = 1;
  s.SurfaceHumidity1 = CalcSurfaceHumidity1(c, s, 15.0, comp.Phi1, comp.Phi2, comp.X1);
  s.SurfaceHumidity2 = CalcSurfaceHumidity2(c, s, 15.0, comp.Phi1, comp.Phi2, comp.X2);
  s.HeatCapacity = ((0.0417 * c.Solvent1Cp + 0.01529 * c.Solvent2Cp) +
                    c.SolidWeight() * c.PolymerCp) + c.BaseFilmWeight * c.BaseFilmCp;
  return sim;
}

StateVector Entry(double W1, double W2, double T) {
  StateVector v{};
  v[1] = W1;
  v[2] = W2;
  v[3] = T;
  return v;
}

TEST(RungeKuttaGill, FirstStepOfTheDefaultRun) {
  const Simulation sim = FirstStepOfDefaultRun();
  EXPECT_NEAR(sim.state.HeatCapacity, 0.228132, 5e-7);
  StateVector state = Entry(0.0417, 0.01529, 15.0);
  RungeKuttaGillStep(sim, 3, state, 1, 0.0, 0.1);
  EXPECT_NEAR(state[1], 0.0416233, 5e-8);
  EXPECT_NEAR(state[2], 0.0152872, 5e-8);
  EXPECT_NEAR(state[3], 16.3366, 5e-5);
  for (int i = 4; i <= StateVectorSize; ++i) {
    EXPECT_EQ(state[i], 0.0) << "entry " << i << " is not integrated";
  }
}

TEST(RungeKuttaGill, ConstantRatesGiveOneEulerStepTimesTheCoefficientsSum) {
  const Simulation sim = FirstStepOfDefaultRun();
  StateVector rates{};
  CalcRates(sim, rates, Entry(0, 0, 15.0), 1, 0.0);
  StateVector state = Entry(0, 0, 15.0);
  RungeKuttaGillStep(sim, 3, state, 1, 0.0, 0.1);
  // Entries 1 and 2 have constant rates within a step.
  EXPECT_NEAR(state[1] / (0.1 * rates[1]), 1.0000000000033, 5e-14);
  EXPECT_NEAR(state[2] / (0.1 * rates[2]), 1.0000000000033, 5e-14);
}

TEST(RungeKuttaGill, TimeHasNoInfluence) {
  const Simulation sim = FirstStepOfDefaultRun();
  StateVector atZero = Entry(0.0417, 0.01529, 15.0);
  StateVector later = atZero;
  RungeKuttaGillStep(sim, 3, atZero, 1, 0.0, 0.1);
  RungeKuttaGillStep(sim, 3, later, 1, 12345.6, 0.1);
  EXPECT_EQ(atZero, later);
}

// Gill's step as the method states it: every stage forms all three rates afresh.
StateVector GillStepFormingEveryRate(const Simulation& sim, StateVector y, double h) {
  StateVector rates{}, k{}, q{};
  const double a[4] = {0.5, 0.29289321881, 1.7071067812, 0};
  const double qa[4] = {0, 0.12132034356, -4.1213203436, 0};
  const double ka[4] = {0, 0.58578643763, 3.4142135624, 0};
  for (int stage = 0; stage < 4; ++stage) {
    CalcRates(sim, rates, y, 1, 0.0);
    for (int i = 1; i <= 3; ++i) {
      k[i] = h * rates[i];
      if (stage == 0) {
        y[i] = a[0] * k[i] + y[i];
        q[i] = k[i];
      } else if (stage < 3) {
        y[i] = (k[i] - q[i]) * a[stage] + y[i];
        q[i] = qa[stage] * q[i] + ka[stage] * k[i];
      } else {
        y[i] = (k[i] / 6 + y[i]) - q[i] / 3;
      }
    }
  }
  return y;
}

struct WebStepCase {
  const char* name;
  double W1, W2, T, h, airTemp, humidity1;
};

// The web's step forms the drying rates once; its result must be the method's, bit for bit.
TEST(RungeKuttaGill, TheWebsStepEqualsTheMethodBitForBit) {
  const WebStepCase cases[] = {
      {"first step", 0.0417, 0.01529, 15.0, 0.1, 60.0, 0.0},
      {"long step", 0.0417, 0.01529, 15.0, 7.5, 60.0, 0.0},
      {"hot air, warm web", 0.02, 0.004, 70.0, 0.5, 140.0, 0.0},
      {"condensing", 0.0417, 0.01529, 15.0, 0.2, 5.0, 0.05},
      {"no solvent left", 0.0, 0.0, 40.0, 1.0, 60.0, 0.0},
  };
  for (const WebStepCase& c : cases) {
    Simulation sim = FirstStepOfDefaultRun();
    sim.conditions.ZoneAirTemp[1] = c.airTemp;
    sim.conditions.ZoneHumidity1[1] = c.humidity1;
    StateVector state = Entry(c.W1, c.W2, c.T);
    const StateVector expected = GillStepFormingEveryRate(sim, state, c.h);
    RungeKuttaGillStep(sim, 3, state, 1, 0.0, c.h);
    EXPECT_EQ(state, expected) << c.name;
  }
}

TEST(RungeKuttaGill, TheWebsStepMeetsTheMethodsFirstFault) {
  Simulation sim = FirstStepOfDefaultRun();
  sim.state.HeatCapacity = 0;
  StateVector state = Entry(0.0417, 0.01529, 15.0);
  try {
    RungeKuttaGillStep(sim, 3, state, 1, 0.0, 0.1);
    FAIL() << "no fault";
  } catch (const ArithmeticError& e) {
    EXPECT_STREQ(e.what(), "division by zero in the rate of temperature (heat capacity of the web)");
  }
}

TEST(RungeKuttaGill, NoEquationsLeavesTheStateAlone) {
  const Simulation sim = FirstStepOfDefaultRun();
  StateVector state = Entry(0.0417, 0.01529, 15.0);
  const StateVector before = state;
  RungeKuttaGillStep(sim, 0, state, 1, 0.0, 0.1);
  EXPECT_EQ(state, before);
}

TEST(CalcRates, ZeroHeatCapacityIsAFault) {
  Simulation sim = FirstStepOfDefaultRun();
  sim.state.HeatCapacity = 0;
  StateVector rates{};
  EXPECT_THROW(CalcRates(sim, rates, Entry(0.0417, 0.01529, 15.0), 1, 0.0), ArithmeticError);
}

TEST(CalcRates, ColdHumidAirCoolsTheWebAndCondenses) {
  Simulation sim = FirstStepOfDefaultRun();
  sim.conditions.ZoneAirTemp[1] = 5.0;
  sim.conditions.ZoneHumidity1[1] = 0.05;  // just above the surface ratios
  sim.conditions.ZoneHumidity2[1] = 0.002;
  StateVector rates{};
  CalcRates(sim, rates, Entry(0.0417, 0.01529, 15.0), 1, 0.0);
  EXPECT_GT(rates[1], 0.0);
  EXPECT_GT(rates[2], 0.0);
  EXPECT_LT(rates[3], 0.0);
}

}  // namespace
}  // namespace tovimar
