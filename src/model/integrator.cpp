// Rate equations of the web and Gill's fourth-order Runge-Kutta step.
#include "model/model.h"

namespace tovimar {

using arith::Div;
using arith::Finite;

void CalcRates(const Simulation& sim, StateVector& Rates, StateVector State, std::int32_t Zone,
               double Time) {
  CalcRates(sim.conditions, sim.state, Rates, State, Zone, Time);
}

namespace {

// The drying rates of the two solvents: fixed within a step, as they depend only on the
// quantities the step froze at its start (correction, surface ratios) and on the zone.
inline double SolventRate1(const DryingConditions& c, const DryingState& s, std::int32_t Zone) {
  return Finite(((-s.DryingCorrection1 * s.MassTransferCoef1[Zone]) * AirDensity) *
                    (s.SurfaceHumidity1 - c.ZoneHumidity1[Zone]),
                "the drying rate of solvent-1");
}
inline double SolventRate2(const DryingConditions& c, const DryingState& s, std::int32_t Zone) {
  return Finite(((-s.DryingCorrection2 * s.MassTransferCoef2[Zone]) * AirDensity) *
                    (s.SurfaceHumidity2 - c.ZoneHumidity2[Zone]),
                "the drying rate of solvent-2");
}

// The rate of the web temperature T, given the two drying rates.
inline double TemperatureRate(const DryingConditions& c, const DryingState& s, std::int32_t Zone,
                              double Rate1, double Rate2, double T) {
  const double heatFlux =
      Finite((((c.ZoneAirTemp[Zone] - T) * c.ZoneHeatCoefUpper[Zone] +
                (c.ZoneAirTemp[Zone] - T) * c.ZoneHeatCoefLower[Zone]) +
               Rate1 * c.HeatOfVaporization1) +
                  Rate2 * c.HeatOfVaporization2,
             "the heat flux into the web");
  return Div(heatFlux, s.HeatCapacity, "the rate of temperature (heat capacity of the web)");
}

}  // namespace

void CalcRates(const DryingConditions& c, const DryingState& s, StateVector& Rates,
               StateVector State, std::int32_t Zone, double /*Time: the system is autonomous*/) {
  Rates[1] = SolventRate1(c, s, Zone);
  Rates[2] = SolventRate2(c, s, Zone);
  Rates[3] = TemperatureRate(c, s, Zone, Rates[1], Rates[2], State[3]);
}

namespace {

// Gill's coefficients, as decimal constants (not computed from the square root of 2).
constexpr double Gill2State = 0.29289321881;
constexpr double Gill2Q = 0.12132034356;
constexpr double Gill2K = 0.58578643763;
constexpr double Gill3State = 1.7071067812;
constexpr double Gill3Q = -4.1213203436;
constexpr double Gill3K = 3.4142135624;

constexpr const char* IntegratedState = "the integrated state";

// Gill's step of the web's three equations, as the general step below takes it with N = 3
// (the same operations in the same order, so the same bits and the same first fault), but
// with the drying rates formed once: they do not change within a step, so the three later
// stages would form the very same values again.
void GillStepOfWeb(const DryingConditions& c, const DryingState& s, StateVector& State,
                   std::int32_t Zone, double h) {
  double Rates[4];
  Rates[1] = SolventRate1(c, s, Zone);
  Rates[2] = SolventRate2(c, s, Zone);
  double k[4];
  double q[4];

  Rates[3] = TemperatureRate(c, s, Zone, Rates[1], Rates[2], State[3]);
  for (std::int32_t i = 1; i <= 3; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite(0.5 * k[i] + State[i], IntegratedState);
    q[i] = k[i];
  }

  Rates[3] = TemperatureRate(c, s, Zone, Rates[1], Rates[2], State[3]);
  for (std::int32_t i = 1; i <= 3; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite((k[i] - q[i]) * Gill2State + State[i], IntegratedState);
    q[i] = Finite(Gill2Q * q[i] + Gill2K * k[i], IntegratedState);
  }

  Rates[3] = TemperatureRate(c, s, Zone, Rates[1], Rates[2], State[3]);
  for (std::int32_t i = 1; i <= 3; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite((k[i] - q[i]) * Gill3State + State[i], IntegratedState);
    q[i] = Finite(Gill3Q * q[i] + Gill3K * k[i], IntegratedState);
  }

  Rates[3] = TemperatureRate(c, s, Zone, Rates[1], Rates[2], State[3]);
  for (std::int32_t i = 1; i <= 3; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite((k[i] / 6 + State[i]) - q[i] / 3, IntegratedState);
  }
}

}  // namespace

void RungeKuttaGillStep(const Simulation& sim, std::int32_t N, StateVector& State,
                        std::int32_t Zone, double Time, double Step) {
  RungeKuttaGillStep(sim.conditions, sim.state, N, State, Zone, Time, Step);
}

void RungeKuttaGillStep(const DryingConditions& c, const DryingState& s, std::int32_t N,
                        StateVector& State, std::int32_t Zone, double Time, double Step) {
  if (N == 3) {
    GillStepOfWeb(c, s, State, Zone, Step);
    return;
  }
  const double h = Step;
  const double t = Time;
  StateVector Rates{};
  StateVector k{};
  StateVector q{};

  CalcRates(c, s, Rates, State, Zone, t);
  for (std::int32_t i = 1; i <= N; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite(0.5 * k[i] + State[i], IntegratedState);
    q[i] = k[i];
  }

  CalcRates(c, s, Rates, State, Zone, 0.5 * h + t);
  for (std::int32_t i = 1; i <= N; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite((k[i] - q[i]) * Gill2State + State[i], IntegratedState);
    q[i] = Finite(Gill2Q * q[i] + Gill2K * k[i], IntegratedState);
  }

  CalcRates(c, s, Rates, State, Zone, 0.5 * h + t);
  for (std::int32_t i = 1; i <= N; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite((k[i] - q[i]) * Gill3State + State[i], IntegratedState);
    q[i] = Finite(Gill3Q * q[i] + Gill3K * k[i], IntegratedState);
  }

  CalcRates(c, s, Rates, State, Zone, t + h);
  for (std::int32_t i = 1; i <= N; ++i) {
    k[i] = Finite(h * Rates[i], IntegratedState);
    State[i] = Finite((k[i] / 6 + State[i]) - q[i] / 3, IntegratedState);
  }
}

}  // namespace tovimar
