// Free-volume transport relations of the diffusion kernel.
#include "model/diffusion_physics.h"

#include <cmath>

namespace tovimar::diffusion {

namespace {
constexpr double CubicCentimetrePerGram = 1e-3;   // m3/kg
constexpr double SquareCentimetre = 1e-4;         // m2
constexpr double GramPerMole = 1e-3;              // kg/mol
}  // namespace

const char* Describe(Fault fault) {
  switch (fault) {
    case Fault::None:
      return "nothing";
    case Fault::FreeVolume:
      return "the free volume of the coating is not positive (the temperature is below what "
             "K2 - Tg allows)";
    case Fault::NegativeDiffusion:
      return "a diffusion coefficient is negative (1 - 2 chi phi < 0: the coating would "
             "separate into two phases)";
    case Fault::NonFinite:
      break;
  }
  return "a diffusion coefficient is not a finite number";
}

Coefficients Prepare(const DiffusionInputs& inputs, const DiffusionStart& start) {
  Coefficients c;
  const auto& s = inputs.solvent;
  const auto& p = inputs.polymer;
  for (int i = 0; i < 2; ++i) {
    c.present[i] = start.u[i] > 0;
    c.V[i] = s[i].SpecificVolume * CubicCentimetrePerGram;
    c.D0[i] = s[i].D0 * SquareCentimetre;
    c.activation[i] = s[i].ActivationEnergy / GasConstant;
    c.chi[i] = s[i].ChiP;
    c.molarMass[i] = s[i].MolarMass * GramPerMole;
    c.k1[i] = s[i].K1Gamma;
    c.k2[i] = s[i].K2MinusTg;
  }
  c.Vp = p.SpecificVolume * CubicCentimetrePerGram;
  c.k1[2] = p.K1Gamma;
  c.k2[2] = p.K2MinusTg;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      // An absent solvent's own ratio never enters (its weight fraction is 0 throughout).
      c.hole[i][j] = c.present[j] ? s[j].HoleVolume * s[i].Xi / s[j].Xi : 0;
    }
    c.hole[i][2] = p.HoleVolume * s[i].Xi;
  }
  return c;
}

Fractions FractionsOf(const Coefficients& c, const std::array<double, 2>& u) {
  Fractions f;
  const double mass = 1 + u[0] + u[1];
  f.w = {u[0] / mass, u[1] / mass};
  f.wp = 1 / mass;
  f.specificVolume = c.Vp + u[0] * c.V[0] + u[1] * c.V[1];
  f.phi = {u[0] * c.V[0] / f.specificVolume, u[1] * c.V[1] / f.specificVolume};
  return f;
}

Fault SelfDiffusion(const Coefficients& c, const Fractions& f, double TK,
                    std::array<double, 2>& D) {
  const double freeVolume = f.w[0] * c.k1[0] * (c.k2[0] + TK) +
                            f.w[1] * c.k1[1] * (c.k2[1] + TK) + f.wp * c.k1[2] * (c.k2[2] + TK);
  if (!(freeVolume > 0)) {
    return std::isnan(freeVolume) ? Fault::NonFinite : Fault::FreeVolume;
  }
  for (int i = 0; i < 2; ++i) {
    if (!c.present[i]) {
      D[i] = 0;
      continue;
    }
    const auto& h = c.hole[i];
    const double hole = f.w[0] * h[0] + f.w[1] * h[1] + f.wp * h[2];
    D[i] = c.D0[i] * std::exp(-c.activation[i] / TK - hole / freeVolume);
    if (!std::isfinite(D[i])) {
      return Fault::NonFinite;
    }
  }
  return Fault::None;
}

Fault Transport(const Coefficients& c, const std::array<double, 2>& u, double TK,
                std::array<double, 2>& K) {
  const Fractions f = FractionsOf(c, u);
  const Fault fault = SelfDiffusion(c, f, TK, K);
  if (fault != Fault::None) {
    return fault;
  }
  const double rho = 1 / f.specificVolume;
  for (int i = 0; i < 2; ++i) {
    const double thermodynamic = 1 - 2 * c.chi[i] * f.phi[i];
    if (thermodynamic < 0) {
      return Fault::NegativeDiffusion;
    }
    const double rest = 1 - f.phi[i];
    K[i] *= rho * rho * rest * rest * thermodynamic;
  }
  return Fault::None;
}

double EvaporationFlux(const Coefficients& c, const SurfaceThermodynamics& thermo,
                       const DiffusionZone& zone, int i, const Fractions& surface, double T) {
  const double activity =
      surface.phi[i] > 0 ? thermo.Activity(i + 1, surface.phi[0], surface.phi[1]) : 0.0;
  const double drivingPressure =
      (activity * thermo.VaporPressure(i + 1, T) - zone.airPressure[i]) * PascalPerMmHg;
  return zone.beta[i] * c.molarMass[i] * drivingPressure /
         (GasConstant * (zone.AirTemp + KelvinOffset));
}

}  // namespace tovimar::diffusion
