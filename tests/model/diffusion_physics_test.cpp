// The free-volume relations against the binary model and a published value.
#include <gtest/gtest.h>

#include <cmath>

#include "model/diffusion_parameters.h"
#include "model/diffusion_physics.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

// The binary free-volume self-diffusion coefficient of a solvent in a polymer (cm2/s), as
// the binary theory writes it with weight fractions w1 and w2 = 1 - w1.
double BinarySelfDiffusion(const DiffusionModelParameters& p, double w1, double TK) {
  const double w2 = 1 - w1;
  const double hole = w1 * p.HoleVolume2 + w2 * p.Xi2 * p.HoleVolumePolymer;
  const double free = w1 * p.K1Gamma2 * (p.K2MinusTg2 + TK) +
                      w2 * p.K1GammaPolymer * (p.K2MinusTgPolymer + TK);
  return p.D0_2 * std::exp(-p.ActivationEnergy2 / (diffusion::GasConstant * TK)) *
         std::exp(-hole / free);
}

// Toluene (solvent-2 of the default set) in poly(vinyl acetate), solvent-1 absent.
TEST(DiffusionPhysics, OneSolventIsTheBinaryFreeVolumeModel) {
  const DryingConditions c = test_support::DefaultConditions();
  DiffusionModelParameters p = DefaultDiffusionParameters();
  p.ActivationEnergy2 = 4000;  // so that the Arrhenius factor is checked as well
  const DiffusionInputs inputs = DiffusionInputsFrom(c, p);
  const diffusion::Coefficients coef = diffusion::Prepare(inputs, {{0, 1}, 20});
  const double chi = c.Chi2p;
  for (const double w1 : {0.02, 0.2, 0.5, 0.8}) {
    for (const double TK : {283.15, 313.15, 353.15}) {
      SCOPED_TRACE(testing::Message() << "w = " << w1 << ", T = " << TK);
      const double u = w1 / (1 - w1);
      const diffusion::Fractions f = diffusion::FractionsOf(coef, {0, u});
      std::array<double, 2> D{};
      ASSERT_EQ(diffusion::SelfDiffusion(coef, f, TK, D), diffusion::Fault::None);
      const double self = BinarySelfDiffusion(p, w1, TK) * 1e-4;
      EXPECT_NEAR(D[1], self, 1e-12 * self);
      EXPECT_EQ(D[0], 0);
      // The mutual coefficient, and the polymer density that turns it into the flux
      // coefficient of the polymer-mass coordinate.
      const double V1 = 1 / (1000 * c.Solvent2Density), Vp = 1 / (1000 * c.PolymerDensity);
      const double phi = u * V1 / (Vp + u * V1);
      const double rho = 1 / (Vp + u * V1);
      std::array<double, 2> K{};
      ASSERT_EQ(diffusion::Transport(coef, {0, u}, TK, K), diffusion::Fault::None);
      const double mutual = self * (1 - phi) * (1 - phi) * (1 - 2 * chi * phi);
      EXPECT_NEAR(K[1], rho * rho * mutual, 1e-12 * rho * rho * mutual);
    }
  }
}

// Published toluene self-diffusion coefficients: in poly(vinyl acetate) with Zielinski and
// Duda's (1992, table 4) set, the default one; in polystyrene with the set of the Handbook of
// Diffusion and Thermal Properties of Polymers and Polymer Solutions (1998), p. 123.
TEST(DiffusionPhysics, ReproducesPublishedTolueneSelfDiffusionCoefficients) {
  const DryingConditions c = test_support::DefaultConditions();
  DiffusionModelParameters polystyrene = DefaultDiffusionParameters();
  polystyrene.Xi2 = 0.58;
  polystyrene.HoleVolumePolymer = 0.850;
  polystyrene.K1GammaPolymer = 5.82e-4;
  polystyrene.K2MinusTgPolymer = -327;
  struct Case {
    const char* name;
    DiffusionModelParameters parameters;
    double w, TK, D;  // toluene weight fraction, K, cm2/s
  };
  const Case cases[] = {
      {"poly(vinyl acetate)", DefaultDiffusionParameters(), 0.2, 298.15, 7.40e-8},
      {"polystyrene", polystyrene, 0.2, 308, 1.435e-8},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const DiffusionInputs inputs = DiffusionInputsFrom(c, k.parameters);
    const diffusion::Coefficients coef = diffusion::Prepare(inputs, {{0, 1}, 25});
    std::array<double, 2> D{};
    const double u = k.w / (1 - k.w);
    ASSERT_EQ(diffusion::SelfDiffusion(coef, diffusion::FractionsOf(coef, {0, u}), k.TK, D),
              diffusion::Fault::None);
    EXPECT_NEAR(D[1] * 1e4, k.D, 0.02 * k.D);
    EXPECT_NEAR(D[1] * 1e4, k.D, 0.002 * k.D);  // in fact to the published digits
  }
}

TEST(DiffusionPhysics, EvaporationFluxFromTheSurfaceActivity) {
  DryingConditions c = test_support::DefaultConditions();
  c.ZoneHumidity2[1] = 0.01;
  const DiffusionModelParameters p = DefaultDiffusionParameters();
  const ConditionsThermodynamics thermo(c);
  const DiffusionInputs inputs = DiffusionInputsFrom(c, p);
  const diffusion::Coefficients coef = diffusion::Prepare(inputs, DiffusionStartFrom(c));
  const DiffusionZone zone = DiffusionZoneFrom(c, p, 1);
  EXPECT_NEAR(zone.airPressure[1], 760 * 0.01 / 1.01, 1e-12);
  EXPECT_EQ(zone.airPressure[0], 0);
  EXPECT_DOUBLE_EQ(zone.HeatCoef, 0.022 + 0.055);
  struct Case {
    double u1, u2, T;
  };
  for (const Case& k : {Case{3, 1, 20}, Case{0.1, 0.05, 50}, Case{0, 0.2, 40}}) {
    const diffusion::Fractions f = diffusion::FractionsOf(coef, {k.u1, k.u2});
    for (int i = 0; i < 2; ++i) {
      const double phi = f.phi[i];
      const double a = phi > 0 ? thermo.Activity(i + 1, f.phi[0], f.phi[1]) : 0;
      const double M = (i == 0 ? c.Solvent1MolWeight : c.Solvent2MolWeight) / 1000;
      const double expected = zone.beta[i] * M *
                              (a * thermo.VaporPressure(i + 1, k.T) - zone.airPressure[i]) *
                              133.322368 / (8.314462618 * (c.ZoneAirTemp[1] + 273.15));
      EXPECT_NEAR(diffusion::EvaporationFlux(coef, thermo, zone, i, f, k.T), expected,
                  1e-12 * std::abs(expected));
    }
  }
}

}  // namespace
}  // namespace tovimar
