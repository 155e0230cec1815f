// Property relations at the default conditions, against the values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "model/model.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::DefaultConditions;

TEST(MassTransferCoef, DefaultZoneGivesBothSolventCoefficients) {
  const DryingConditions c = DefaultConditions();
  const double h = c.ZoneHeatCoefUpper[1] * c.Keff;  // 0.033
  EXPECT_NEAR(CalcMassTransferCoef(c.AirDiffusivity1, h), 0.0166078, 5e-8);
  EXPECT_NEAR(CalcMassTransferCoef(c.AirDiffusivity2, h), 0.0160243, 5e-8);
}

TEST(MassTransferCoef, ZeroOrNegativeDiffusivityIsAFault) {
  EXPECT_THROW(
      {
        try {
          CalcMassTransferCoef(0.0, 0.033);
        } catch (const ArithmeticError& e) {
          EXPECT_STREQ(e.what(), "division by zero in the Schmidt number (diffusivity in air)");
          throw;
        }
      },
      ArithmeticError);
  EXPECT_THROW(CalcMassTransferCoef(-1e-5, 0.033), ArithmeticError);
}

TEST(Composition, DefaultCoatingAtEntry) {
  const DryingConditions c = DefaultConditions();
  const Composition comp = CalcComposition(c, 0.0417, 0.01529);
  EXPECT_NEAR(comp.X1, 0.776540, 5e-7);
  EXPECT_NEAR(comp.X2, 0.222900, 5e-7);
  EXPECT_NEAR(comp.Phi1, 0.660512, 5e-7);
  EXPECT_NEAR(comp.Phi2, 0.225408, 5e-7);
  const WeightFractions w = CalcWeightFractions(c, 0.0417, 0.01529);
  EXPECT_NEAR(w.w1, 0.6, 1e-15);
  EXPECT_NEAR(w.w2, 0.22, 1e-15);
}

// The activity is recovered from the returned ratio r: p = 760 r / (1 + r), a = p / (Ps X).
double ActivityFromRatio(double ratio, double Ps, double X) {
  return TotalPressure * ratio / (1 + ratio) / (Ps * X);
}

TEST(SurfaceHumidity, DefaultCoatingAtEntry) {
  const DryingConditions c = DefaultConditions();
  DryingState s;
  const Composition comp = CalcComposition(c, 0.0417, 0.01529);
  const double r1 = CalcSurfaceHumidity1(c, s, 15.0, comp.Phi1, comp.Phi2, comp.X1);
  const double r2 = CalcSurfaceHumidity2(c, s, 15.0, comp.Phi1, comp.Phi2, comp.X2);
  EXPECT_NEAR(s.VaporPressure1, 53.8410, 5e-5);
  EXPECT_NEAR(ActivityFromRatio(r1, s.VaporPressure1, comp.X1), 0.759672, 5e-7);
  EXPECT_NEAR(r1, 0.0436144, 5e-8);
  EXPECT_NEAR(s.VaporPressure2, 16.5747, 5e-5);
  EXPECT_NEAR(ActivityFromRatio(r2, s.VaporPressure2, comp.X2), 0.340779, 5e-7);
  EXPECT_NEAR(r2, 0.00165934, 5e-9);
}

TEST(SurfaceHumidity, TemperatureAtMinusCIsAFault) {
  const DryingConditions c = DefaultConditions();
  DryingState s;
  EXPECT_THROW(CalcSurfaceHumidity1(c, s, -c.AntoineC1, 0.6, 0.2, 0.7), ArithmeticError);
  EXPECT_THROW(CalcSurfaceHumidity2(c, s, -c.AntoineC2, 0.6, 0.2, 0.2), ArithmeticError);
}

TEST(SurfaceHumidity, NonPositiveVolumeFractionIsAFault) {
  const DryingConditions c = DefaultConditions();
  DryingState s;
  try {
    CalcSurfaceHumidity1(c, s, 15.0, 0.0, 0.2, 0.7);
    FAIL() << "no fault";
  } catch (const ArithmeticError& e) {
    EXPECT_STREQ(e.what(), "logarithm of a non-positive volume fraction of solvent-1");
  }
  EXPECT_THROW(CalcSurfaceHumidity2(c, s, 15.0, 0.6, -1e-9, 0.2), ArithmeticError);
}

// Conditions under which a pure solvent-1 surface has a vapour pressure of exactly `Ps`
// (B = 0, so Ps = 10^A; activity 1 and mole fraction 1).
DryingConditions PureSolventWithPressure(double target) {
  DryingConditions c = DefaultConditions();
  c.AntoineB1 = 0;
  double A = std::log10(target);
  // Step to the neighbour whose power of ten hits the target exactly, where one exists.
  for (int i = 0; i < 8 && std::pow(10.0, A) != target; ++i) {
    A = std::nextafter(A, std::pow(10.0, A) < target ? 10.0 : 0.0);
  }
  c.AntoineA1 = A;
  return c;
}

TEST(SurfaceHumidity, PartialPressureOfExactly760IsAFault) {
  const DryingConditions c = PureSolventWithPressure(TotalPressure);
  ASSERT_EQ(std::pow(10.0, c.AntoineA1), TotalPressure);
  DryingState s;
  try {
    CalcSurfaceHumidity1(c, s, 15.0, 1.0, 0.0, 1.0);
    FAIL() << "no fault";
  } catch (const ArithmeticError& e) {
    EXPECT_STREQ(e.what(),
                 "division by zero in the surface vapour ratio of solvent-1 (partial pressure of "
                 "760 mmHg)");
  }
}

TEST(SurfaceHumidity, PartialPressureAbove760GivesANegativeRatio) {
  const DryingConditions c = PureSolventWithPressure(800.0);
  DryingState s;
  const double r = CalcSurfaceHumidity1(c, s, 15.0, 1.0, 0.0, 1.0);
  EXPECT_NEAR(r, 800.0 / (760.0 - 800.0), 1e-9);
}

TEST(DryingCorrection, DefaultBreakpoints) {
  const DryingConditions c = DefaultConditions();
  struct Case {
    double X;
    double expected;
  };
  const Case cases[] = {{0.0, 0.0},  {0.05, 0.0}, {0.1, 0.0},  {0.15, 0.25}, {0.2, 0.5},
                        {0.25, 0.75}, {0.3, 1.0}, {0.5, 1.0}, {2.0, 1.0}};
  for (const Case& k : cases) {
    EXPECT_NEAR(CalcDryingCorrection(c, k.X), k.expected, 1e-15) << "X = " << k.X;
  }
  EXPECT_EQ(CalcDryingCorrection(c, 0.3), 1.0);  // exactly 1 at Wi
  EXPECT_EQ(CalcDryingCorrection(c, 0.0999999), 0.0);
}

TEST(DryingCorrection, EmptyBranchesAreNeverReached) {
  DryingConditions c = DefaultConditions();
  c.Wx = c.We;  // the lower line would divide by zero; X >= We takes the middle line
  EXPECT_NEAR(CalcDryingCorrection(c, c.We), c.Wy, 1e-15);
  EXPECT_EQ(CalcDryingCorrection(c, c.We / 2), 0.0);
  c = DefaultConditions();
  c.Wi = c.Wx;  // the middle line would divide by zero; X >= Wi gives 1 first
  EXPECT_EQ(CalcDryingCorrection(c, c.Wx), 1.0);
}

}  // namespace
}  // namespace tovimar
