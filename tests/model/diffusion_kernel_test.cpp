// The diffusion kernel against analytic and limiting solutions.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "model/diffusion_kernel.h"
#include "model/diffusion_parameters.h"
#include "model/diffusion_physics.h"
#include "model/diffusion_run.h"
#include "model/errors.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

constexpr double Pa = diffusion::PascalPerMmHg;

// A surface whose activity is the solvent's content u (kg/kg polymer), through a solvent of
// a vanishing specific volume (phi = u V1 / Vp): the evaporation flux is then linear in the
// surface content, Crank's "evaporation" boundary condition.
class LinearSurface final : public SurfaceThermodynamics {
 public:
  explicit LinearSurface(double gain) : gain_(gain) {}
  [[nodiscard]] double VaporPressure(int, double) const override { return 1.0; }
  [[nodiscard]] double Activity(int solvent, double Phi1, double Phi2) const override {
    return gain_ * (solvent == 1 ? Phi1 : Phi2);
  }

 private:
  double gain_;
};

// A slab of one solvent with a constant diffusion coefficient D (m2/s), thickness l (m),
// at a constant temperature, losing solvent at the rate alpha C_s (alpha in m/s).
struct Slab {
  double D = 1e-10;
  double l = 1e-5;
  double alpha = 0;
  static constexpr double Vp = 1e-3;           // m3/kg
  static constexpr double tinyVolume = 1e-12;  // m3/kg, the solvent's
  static constexpr double M = 0.1;             // kg/mol
  static constexpr double TairK = 300;

  [[nodiscard]] DiffusionInputs Inputs() const {
    DiffusionInputs in;
    DiffusionSolvent& s = in.solvent[0];
    s.D0 = D * 1e4;
    s.K1Gamma = 1e-3;
    s.Xi = 1;
    s.SpecificVolume = tinyVolume * 1e3;
    s.MolarMass = M * 1e3;
    s.SpecificHeat = 2;
    in.solvent[1] = s;
    in.polymer.K1Gamma = 1e-3;
    in.polymer.SpecificVolume = Vp * 1e3;
    in.polymer.SpecificHeat = 1.5;
    in.polymer.SolidWeight = l / Vp;
    in.polymer.BaseFilmWeight = 0.05;
    in.polymer.BaseFilmSpecificHeat = 1.3;
    return in;
  }
  // The zone whose flux is alpha C_s: n = beta M a p_sat / (R T_air) with a = u.
  [[nodiscard]] DiffusionZone Zone() const {
    DiffusionZone z;
    z.AirTemp = TairK - diffusion::KelvinOffset;
    const double perContent = alpha / Vp;  // kg/(m2 s) per unit of u
    z.beta = {perContent * diffusion::GasConstant * TairK / (M * Pa), 0};
    z.HeatCoef = 0.05;
    return z;
  }
  [[nodiscard]] LinearSurface Thermo() const { return LinearSurface(Vp / tinyVolume); }
};

// Crank, The Mathematics of Diffusion (2nd ed.), 4.3.4: the roots of beta tan beta = L.
std::vector<double> CrankRoots(double L, int count) {
  std::vector<double> roots;
  for (int n = 0; n < count; ++n) {
    double lo = n * std::numbers::pi, hi = lo + std::numbers::pi / 2 - 1e-15;
    for (int k = 0; k < 200; ++k) {
      const double mid = 0.5 * (lo + hi);
      (mid * std::tan(mid) < L ? lo : hi) = mid;
    }
    roots.push_back(0.5 * (lo + hi));
  }
  return roots;
}

// The fraction of the solvent left (eq. 4.55) and the surface content over the initial one.
struct CrankValue {
  double left = 0, surface = 0;
};
CrankValue Crank(double L, double T) {
  CrankValue v;
  for (const double b : CrankRoots(L, 200)) {
    const double decay = std::exp(-b * b * T);
    v.left += 2 * L * L * decay / (b * b * (b * b + L * L + L));
    v.surface += 2 * L * decay / (b * b + L * L + L);
  }
  return v;
}

TEST(DiffusionKernel, ConstantCoefficientSlabFollowsCranksSolution) {
  struct Case {
    double L;
    double tolerance;
  };
  for (const Case& c : {Case{0.1, 2e-5}, Case{1, 5e-5}, Case{10, 2e-4}}) {
    SCOPED_TRACE(c.L);
    Slab slab;
    slab.alpha = c.L * slab.D / slab.l;
    const LinearSurface thermo = slab.Thermo();
    DiffusionNumerics numerics;
    numerics.cells = 80;
    numerics.relativeTolerance = 1e-9;
    numerics.contentTolerance = 1e-11;
    const DiffusionZone zone = slab.Zone();
    DiffusionKernel kernel(slab.Inputs(), thermo, {{1.0, 0.0}, zone.AirTemp}, numerics);
    const double timeScale = slab.l * slab.l / slab.D;  // 1 s
    std::vector<DiffusionPoint> points(100);
    kernel.MarchZone(1, zone, 0.01 * timeScale, 100, points);
    for (const int j : {4, 19, 49, 99}) {
      const CrankValue exact = Crank(c.L, 0.01 * (j + 1));
      EXPECT_NEAR(points[j].meanU[0], exact.left, c.tolerance) << "T = " << 0.01 * (j + 1);
      const double surface = points[j].surfaceW[0] / (1 - points[j].surfaceW[0]);
      EXPECT_NEAR(surface, exact.surface, 5 * c.tolerance) << "T = " << 0.01 * (j + 1);
      EXPECT_EQ(points[j].T, zone.AirTemp);
    }
  }
}

// The default coating with a small mass-transfer coefficient: no skin, smooth profiles.
DiffusionModelParameters GentleParameters() {
  DiffusionModelParameters p = DefaultDiffusionParameters();
  for (int z = 1; z <= 2; ++z) {
    p.ZoneMassTransferCoef1[z] = 0.001;
    p.ZoneMassTransferCoef2[z] = 0.001;
  }
  return p;
}

GridCheckResult GridCheckOf(const DryingConditions& c, const DiffusionModelParameters& p,
                            DiffusionNumerics numerics) {
  const ConditionsThermodynamics thermo(c);
  DiffusionRun run(DiffusionInputsFrom(c, p), thermo, DiffusionStartFrom(c), numerics);
  std::vector<DiffusionPoint> points(StepsPerZone);
  for (int z = 1; z <= c.ZoneCount; ++z) {
    run.MarchZone(z, DiffusionZoneFrom(c, p, z), DiffusionInterval(c), c.ZoneStepCount[z], points);
  }
  return run.GridCheck();
}

TEST(DiffusionKernel, GridCheckFallsFourfoldAsTheCellsDouble) {
  const DryingConditions c = test_support::DefaultConditions();
  std::vector<GridCheckResult> checks;
  for (const int cells : {20, 40, 80}) {
    DiffusionNumerics numerics;
    numerics.cells = cells;
    numerics.relativeTolerance = 1e-9;
    numerics.contentTolerance = 1e-11;
    numerics.temperatureTolerance = 1e-9;
    checks.push_back(GridCheckOf(c, GentleParameters(), numerics));
  }
  for (std::size_t k = 1; k < checks.size(); ++k) {
    const double ratio = checks[k - 1].content / checks[k].content;
    EXPECT_GT(ratio, 3.6) << k;
    EXPECT_LT(ratio, 4.6) << k;
  }
  EXPECT_GT(checks[0].temperature / checks[1].temperature, 3.6);
}

TEST(DiffusionKernel, DefaultRunPassesItsGridCheckAndBalancesItsMass) {
  const DryingConditions c = test_support::DefaultConditions();
  const DiffusionModelParameters p = DefaultDiffusionParameters();
  const ConditionsThermodynamics thermo(c);
  const DiffusionInputs inputs = DiffusionInputsFrom(c, p);
  const DiffusionStart start = DiffusionStartFrom(c);
  DiffusionRun run(inputs, thermo, start, {});
  std::vector<DiffusionPoint> points(StepsPerZone);
  const double Ws = inputs.polymer.SolidWeight;
  for (int z = 1; z <= c.ZoneCount; ++z) {
    run.MarchZone(z, DiffusionZoneFrom(c, p, z), DiffusionInterval(c), c.ZoneStepCount[z], points);
    for (int j = 0; j < c.ZoneStepCount[z]; ++j) {
      for (int i = 0; i < 2; ++i) {
        const double initial = start.u[i] * Ws;
        const double balance = initial - points[j].meanU[i] * Ws - points[j].evaporated[i];
        ASSERT_LT(std::abs(balance), 1e-6 * initial) << "zone " << z << " point " << j + 1;
      }
    }
  }
  // The grid check stays well inside its warning limits (0.5 K, 1 %).
  EXPECT_LT(run.GridCheck().temperature, 0.1);
  EXPECT_LT(run.GridCheck().content, 0.3);
  EXPECT_GT(run.GridCheck().content, 0);
}

// The lumped limit: with very fast diffusion the coating stays uniform and dries as
// dW/dt = -n(W) with n from the mean composition, which the test integrates itself.
TEST(DiffusionKernel, FastDiffusionDriesAtTheGasSideRate) {
  DryingConditions c = test_support::DefaultConditions();
  c.HeatOfVaporization1 = 0;  // the temperature then stays at the air's
  c.InitialTemp = c.ZoneAirTemp[1];
  c.Solvent2Ratio0 = 0;
  c.Solvent1Ratio0 = 0.82;
  DiffusionModelParameters p = DefaultDiffusionParameters();
  p.D0_1 = 1e3;  // cm2/s: the coating evens out in well under a millisecond
  const ConditionsThermodynamics thermo(c);
  const DiffusionInputs inputs = DiffusionInputsFrom(c, p);
  const DiffusionStart start = DiffusionStartFrom(c);
  const DiffusionZone zone = DiffusionZoneFrom(c, p, 1);
  DiffusionNumerics numerics;
  numerics.relativeTolerance = 1e-8;
  numerics.contentTolerance = 1e-10;
  DiffusionKernel kernel(inputs, thermo, start, numerics);
  std::vector<DiffusionPoint> points(100);
  std::vector<DepthPoint> profiles(100 * kernel.Nodes());
  kernel.MarchZone(1, zone, 0.1, 100, points, profiles);

  const diffusion::Coefficients coef = diffusion::Prepare(inputs, start);
  const double Ws = inputs.polymer.SolidWeight;
  auto rate = [&](double u) {
    return -diffusion::EvaporationFlux(coef, thermo, zone, 0, diffusion::FractionsOf(coef, {u, 0}),
                                       zone.AirTemp) / Ws;
  };
  double u = start.u[0];
  const double h = 1e-4;
  int checked = 0;
  // While the coating is wet; as it dries its diffusion slows by orders of magnitude.
  for (int j = 0; j < 100 && u > 0.1 * start.u[0]; ++j, ++checked) {
    for (int k = 0; k < 1000; ++k) {
      const double k1 = rate(u), k2 = rate(u + h / 2 * k1), k3 = rate(u + h / 2 * k2),
                   k4 = rate(u + h * k3);
      u += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    ASSERT_NEAR(points[j].meanU[0], u, 1e-5 * start.u[0]) << "point " << j + 1;
    ASSERT_NEAR(points[j].surfaceW[0], points[j].baseW[0], 1e-4);
    ASSERT_DOUBLE_EQ(points[j].T, c.ZoneAirTemp[1]);
  }
  EXPECT_GT(checked, 20);

  std::vector<DepthPoint> profile(kernel.Nodes());
  kernel.Profile(profile);
  const std::span<const DepthPoint> last = std::span(profiles).last(kernel.Nodes());
  for (std::size_t k = 0; k < profile.size(); ++k) {
    EXPECT_EQ(last[k].height, profile[k].height);
    EXPECT_EQ(last[k].w, profile[k].w);
  }
  EXPECT_DOUBLE_EQ(profiles[kernel.Nodes()].w[0], points[1].baseW[0]);  // point 2's base
  EXPECT_EQ(profile.front().height, 0);
  EXPECT_DOUBLE_EQ(profile.back().height, 1);
  for (std::size_t k = 1; k < profile.size(); ++k) EXPECT_GT(profile[k].height, profile[k - 1].height);
  EXPECT_DOUBLE_EQ(profile.front().w[0], points.back().baseW[0]);
  EXPECT_DOUBLE_EQ(profile.back().w[0], points.back().surfaceW[0]);
}

// With one solvent absent the coating is a binary one: solvent-2 alone dries exactly as
// solvent-1 alone does when given solvent-2's parameters and surface.
TEST(DiffusionKernel, OneSolventCoatingIsTheBinaryModel) {
  DryingConditions c = test_support::DefaultConditions();
  DiffusionModelParameters p = DefaultDiffusionParameters();
  p.D0_2 = 2e-4;
  p.K2MinusTg2 = -70;
  p.Xi2 = 0.7;
  DryingConditions onlyTwo = c;
  onlyTwo.Solvent1Ratio0 = 0;
  DryingConditions swapped = onlyTwo;
  std::swap(swapped.Solvent1Ratio0, swapped.Solvent2Ratio0);
  std::swap(swapped.Solvent1Density, swapped.Solvent2Density);
  std::swap(swapped.Solvent1MolWeight, swapped.Solvent2MolWeight);
  std::swap(swapped.Solvent1Cp, swapped.Solvent2Cp);
  std::swap(swapped.HeatOfVaporization1, swapped.HeatOfVaporization2);
  std::swap(swapped.AntoineA1, swapped.AntoineA2);
  std::swap(swapped.AntoineB1, swapped.AntoineB2);
  std::swap(swapped.AntoineC1, swapped.AntoineC2);
  std::swap(swapped.AirDiffusivity1, swapped.AirDiffusivity2);
  std::swap(swapped.Chi1p, swapped.Chi2p);
  DiffusionModelParameters q = p;
  q.D0_1 = p.D0_2;
  q.K2MinusTg1 = p.K2MinusTg2;
  q.Xi1 = p.Xi2;
  std::vector<DiffusionPoint> a(300), b(300);
  for (auto [conditions, parameters, points] :
       {std::tuple{&onlyTwo, &p, &a}, std::tuple{&swapped, &q, &b}}) {
    const ConditionsThermodynamics thermo(*conditions);
    DiffusionKernel kernel(DiffusionInputsFrom(*conditions, *parameters), thermo,
                           DiffusionStartFrom(*conditions), {});
    kernel.MarchZone(1, DiffusionZoneFrom(*conditions, *parameters, 1), 0.1, 300, *points);
  }
  for (int j = 0; j < 300; ++j) {
    ASSERT_EQ(a[j].meanU[0], 0);
    ASSERT_EQ(a[j].evaporated[0], 0);
    ASSERT_NEAR(a[j].meanU[1], b[j].meanU[0], 1e-12 * b[j].meanU[0]) << j;
    ASSERT_NEAR(a[j].T, b[j].T, 1e-9) << j;
    ASSERT_NEAR(a[j].surfaceW[1], b[j].surfaceW[0], 1e-12) << j;
  }
}

// A run started again gives the same points, bit for bit, grid check included.
TEST(DiffusionKernel, RestartRepeatsTheRun) {
  const DryingConditions c = test_support::DefaultConditions();
  const DiffusionModelParameters p = DefaultDiffusionParameters();
  const ConditionsThermodynamics thermo(c);
  DiffusionRun run(DiffusionInputsFrom(c, p), thermo, DiffusionStartFrom(c), {});
  std::vector<DiffusionPoint> first(300), second(300);
  run.MarchZone(1, DiffusionZoneFrom(c, p, 1), 0.1, 300, first);
  const GridCheckResult check = run.GridCheck();
  run.Restart();
  EXPECT_EQ(run.Kernel().Time(), 0);
  EXPECT_EQ(run.GridCheck().content, 0);
  run.MarchZone(1, DiffusionZoneFrom(c, p, 1), 0.1, 300, second);
  for (int j = 0; j < 300; ++j) {
    ASSERT_EQ(first[j].T, second[j].T) << j;
    ASSERT_EQ(first[j].meanU, second[j].meanU) << j;
  }
  EXPECT_EQ(run.GridCheck().temperature, check.temperature);
  EXPECT_EQ(run.Kernel().Time(), 30);
}

TEST(DiffusionKernel, RefusesWhatCannotMakeARun) {
  const DryingConditions c = test_support::DefaultConditions();
  const ConditionsThermodynamics thermo(c);
  struct Case {
    const char* name;
    void (*change)(DiffusionInputs&, DiffusionStart&, DiffusionNumerics&);
    ErrorKind kind;
    const char* message;
  };
  const Case cases[] = {
      {"too few cells", [](DiffusionInputs&, DiffusionStart&, DiffusionNumerics& n) { n.cells = 19; },
       ErrorKind::Input, "DiffusionCells is 19; the diffusion model takes 20 to 2000 cells."},
      {"no solid", [](DiffusionInputs& in, DiffusionStart&, DiffusionNumerics&) { in.polymer.SolidWeight = 0; },
       ErrorKind::Arithmetic, "the solid weight Ws is 0; it must be a positive number"},
      {"D0 not a number",
       [](DiffusionInputs& in, DiffusionStart&, DiffusionNumerics&) { in.solvent[0].D0 = std::nan(""); },
       ErrorKind::Arithmetic, "D0_1 is nan; it must be a positive number"},
      {"negative content", [](DiffusionInputs&, DiffusionStart& s, DiffusionNumerics&) { s.u[1] = -1; },
       ErrorKind::Arithmetic, "the initial content of solvent-2 is negative"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DiffusionInputs in = DiffusionInputsFrom(c, DefaultDiffusionParameters());
    DiffusionStart start = DiffusionStartFrom(c);
    DiffusionNumerics numerics;
    k.change(in, start, numerics);
    try {
      DiffusionKernel kernel(in, thermo, start, numerics);
      ADD_FAILURE() << "accepted";
    } catch (const UserError& e) {
      EXPECT_EQ(e.kind(), k.kind);
      EXPECT_NE(std::string(e.what()).find(k.message), std::string::npos) << e.what();
    }
  }
}

TEST(DiffusionKernel, AStateTheRelationsCannotHoldFailsWithItsCause) {
  struct Case {
    const char* name;
    void (*change)(DiffusionModelParameters&, DryingConditions&);
    const char* cause;
  };
  const Case cases[] = {
      // The polymer's free volume outweighs the solvents': negative from the start.
      {"free volume", [](DiffusionModelParameters& p, DryingConditions&) { p.K2MinusTgPolymer = -5000; },
       "the free volume of the coating is not positive"},
      // 1 - 2 chi phi < 0 in the wet coating.
      {"two phases", [](DiffusionModelParameters&, DryingConditions& c) { c.Chi1p = 2; },
       "1 - 2 chi phi < 0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DryingConditions c = test_support::DefaultConditions();
    DiffusionModelParameters p = DefaultDiffusionParameters();
    k.change(p, c);
    const ConditionsThermodynamics thermo(c);
    DiffusionKernel kernel(DiffusionInputsFrom(c, p), thermo, DiffusionStartFrom(c), {});
    std::vector<DiffusionPoint> points(300);
    try {
      kernel.MarchZone(1, DiffusionZoneFrom(c, p, 1), 0.1, 300, points);
      ADD_FAILURE() << "integrated";
    } catch (const ArithmeticError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("Arithmetic error in zone 1, diffusion model at ", 0), 0u) << message;
      EXPECT_NE(message.find(k.cause), std::string::npos) << message;
      EXPECT_EQ(e.place().zone, 1);
      EXPECT_EQ(e.place().step, 1);  // both fail before the first printed point
    }
  }
}

}  // namespace
}  // namespace tovimar
