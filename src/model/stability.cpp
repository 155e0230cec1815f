// The stability guard of the march.
//
// Within one step the drying-speed correction, the surface vapour ratios and the heat
// capacity are frozen at the step's start. The solvent rates are then constants, so Gill's
// method gives W' = W + h R(y) exactly, and the temperature equation is affine in T, so it
// gives T' = T + psi(h, a) R3(y) with psi = h (1 - ha/2 + (ha)^2/6 - (ha)^3/24), the fourth-
// order Taylor polynomial of the heat exchange a = (upper + lower coefficient) / heat
// capacity. From step to step the frozen quantities follow the state, so the coupling
// through evaporation advances like explicit Euler, while the pure heat exchange enjoys the
// fourth-order bound (h a up to about 2.79). Neither the Euler bound 2/|lambda| nor the
// RK4 bound 2.79/|lambda| alone describes that mix, so the guard linearises the actual
// one-step map y -> y' around the step's start (analytic derivatives, see LineariseRates)
// and asks whether its Jacobian I + D has a mode that leaves the unit disk the way the
// method fails: on the left for the frozen coupling, through +1 for the heat exchange.
#include "model/stability.h"

#include <cmath>
#include <complex>

namespace tovimar {

namespace {

// a / b for a divisor that is a product of quantities the step has already divided by (so
// none is zero) but that may have underflowed to 0: the quotient then lies beyond every
// double, an infinity of its sign (0 for a = 0). The guard gives no alarm on a derivative
// it cannot describe, and the step's own arithmetic judges such a state.
double Ratio(double a, double b) {
  if (b != 0) return a / b;
  return a == 0 ? 0.0 : std::copysign(HUGE_VAL, a) * std::copysign(1.0, b);
}

}  // namespace

RateLinearisation LineariseRates(const DryingConditions& c, const DryingState& s,
                                 std::int32_t zone, double W1, double W2, double T,
                                 const Composition& comp, double fractionSum) {
  RateLinearisation lin;
  const double Ws = c.SolidWeight();
  const double F = s.DryingCorrection1;

  // Drying-speed correction: piecewise linear in the total solvent fraction X, and
  // dX/dWj = Ws / total^2 for both solvents.
  double slope = 0;
  if (fractionSum < c.Wi && fractionSum >= c.Wx) {
    slope = (1 - c.Wy) / (c.Wi - c.Wx);
  } else if (fractionSum < c.Wx && fractionSum >= c.We) {
    slope = c.Wy / (c.Wx - c.We);
  }
  const double total = W1 + W2 + Ws;
  const double dF = Ratio(slope * Ws, total * total);

  // Mole and volume fractions.
  const double n = W1 / c.Solvent1MolWeight + W2 / c.Solvent2MolWeight + Ws / c.PolymerMolWeight;
  const double v = W1 / c.Solvent1Density + W2 / c.Solvent2Density + Ws / c.PolymerDensity;
  const double X1 = comp.X1, X2 = comp.X2, Phi1 = comp.Phi1, Phi2 = comp.Phi2;
  const double Phi3 = 1 - Phi1 - Phi2;
  const double dX1[2] = {Ratio(1 - X1, c.Solvent1MolWeight * n), Ratio(-X1, c.Solvent2MolWeight * n)};
  const double dX2[2] = {Ratio(-X2, c.Solvent1MolWeight * n), Ratio(1 - X2, c.Solvent2MolWeight * n)};
  const double dPhi1[2] = {Ratio(1 - Phi1, c.Solvent1Density * v), Ratio(-Phi1, c.Solvent2Density * v)};
  const double dPhi2[2] = {Ratio(-Phi2, c.Solvent1Density * v), Ratio(1 - Phi2, c.Solvent2Density * v)};

  // Partial pressure p = Ps a X, ratio H = p / (760 - p): dH = 760 p / (760 - p)^2 d(ln p).
  // A solvent without partial pressure (none of it left, or a mole or volume fraction that
  // has underflowed) has p = Ps Phi X exp(...), which vanishes to second order: its ratio does
  // not move with the state, so dH = 0, and d(ln p) (1 / Phi, 1 / X) is never formed.
  const double p1 = s.PartialPressure1, p2 = s.PartialPressure2;
  const double ln10 = std::log(10.0);
  double dH1[3] = {};
  double dH2[3] = {};
  if (p1 != 0) {
    // Logarithm of the activity (Flory-Huggins with three components).
    const double dL1dPhi1 =
        1 / Phi1 - 1 - c.Chi1p * (1 - Phi1) - (c.Chi12 * Phi2 + c.Chi1p * Phi3) + c.Chi2p * Phi2;
    const double dL1dPhi2 = -1 + (c.Chi12 - c.Chi1p) * (1 - Phi1) - c.Chi2p * (Phi3 - Phi2);
    const double g1 = Ratio(TotalPressure * p1, (TotalPressure - p1) * (TotalPressure - p1));
    dH1[0] = g1 * (dL1dPhi1 * dPhi1[0] + dL1dPhi2 * dPhi2[0] + dX1[0] / X1);
    dH1[1] = g1 * (dL1dPhi1 * dPhi1[1] + dL1dPhi2 * dPhi2[1] + dX1[1] / X1);
    dH1[2] = g1 * Ratio(ln10 * c.AntoineB1, (T + c.AntoineC1) * (T + c.AntoineC1));
  }
  if (p2 != 0) {
    const double dL2dPhi2 =
        1 / Phi2 - 1 - c.Chi2p * (1 - Phi2) - (c.Chi12 * Phi1 + c.Chi2p * Phi3) + c.Chi1p * Phi1;
    const double dL2dPhi1 = -1 + (c.Chi12 - c.Chi2p) * (1 - Phi2) - c.Chi1p * (Phi3 - Phi1);
    const double g2 = Ratio(TotalPressure * p2, (TotalPressure - p2) * (TotalPressure - p2));
    dH2[0] = g2 * (dL2dPhi1 * dPhi1[0] + dL2dPhi2 * dPhi2[0] + dX2[0] / X2);
    dH2[1] = g2 * (dL2dPhi1 * dPhi1[1] + dL2dPhi2 * dPhi2[1] + dX2[1] / X2);
    dH2[2] = g2 * Ratio(ln10 * c.AntoineB2, (T + c.AntoineC2) * (T + c.AntoineC2));
  }

  // Solvent rates R = -F k rho (H - h).
  const double k1 = s.MassTransferCoef1[zone] * AirDensity;
  const double k2 = s.MassTransferCoef2[zone] * AirDensity;
  const double excess1 = s.SurfaceHumidity1 - c.ZoneHumidity1[zone];
  const double excess2 = s.SurfaceHumidity2 - c.ZoneHumidity2[zone];
  lin.R[0] = -F * k1 * excess1;
  lin.R[1] = -F * k2 * excess2;
  for (int j = 0; j < 3; ++j) {
    const double dFj = j < 2 ? dF : 0.0;
    lin.dR[0][j] = -k1 * (dFj * excess1 + F * dH1[j]);
    lin.dR[1][j] = -k2 * (dFj * excess2 + F * dH2[j]);
  }

  // Temperature rate R3 = (G (Ta - T) + L1 R1 + L2 R2) / C.
  const double C = s.HeatCapacity;
  const double G = c.ZoneHeatCoefUpper[zone] + c.ZoneHeatCoefLower[zone];
  lin.R[2] = (G * (c.ZoneAirTemp[zone] - T) + c.HeatOfVaporization1 * lin.R[0] +
              c.HeatOfVaporization2 * lin.R[1]) / C;
  const double Cp[2] = {c.Solvent1Cp, c.Solvent2Cp};
  for (int j = 0; j < 2; ++j) {
    lin.dR[2][j] = (c.HeatOfVaporization1 * lin.dR[0][j] + c.HeatOfVaporization2 * lin.dR[1][j]) / C -
                   lin.R[2] * Cp[j] / C;
  }
  lin.dR[2][2] =
      (-G + c.HeatOfVaporization1 * lin.dR[0][2] + c.HeatOfVaporization2 * lin.dR[1][2]) / C;
  lin.a = G / C;
  lin.da[0] = -lin.a * Cp[0] / C;
  lin.da[1] = -lin.a * Cp[1] / C;
  return lin;
}

namespace {

using Complex = std::complex<double>;

// The real-axis stability bound of a fourth-order, four-stage Runge-Kutta method.
constexpr double RungeKutta4Bound = 2.785293563;

// A mode nu of D (the step map's Jacobian minus the identity) is the method's overshoot when
// it leaves the unit disk on the left: Re nu < 0 and |1 + nu| > 1, that is 2 Re nu + |nu|^2
// > 0 (written so that no 1 cancels). That is how the frozen, Euler-like coupling fails.
// A mode with Re nu > 0 is not judged here: at a step below the heat-exchange bound it is
// the coating's own sensitivity (more solvent, a larger heat capacity, slower heating,
// slower drying), which the exact solution shares. The tolerance absorbs rounding of nearly
// double roots; a mode that grows by 1e-6 per step does no harm.
constexpr double GrowthTolerance = 1e-6;

bool Grows(Complex nu) { return nu.real() < 0 && 2 * nu.real() + std::norm(nu) > GrowthTolerance; }

// Roots of x^3 + b2 x^2 + b1 x + b0 (real coefficients), in closed form.
void CubicRoots(double b2, double b1, double b0, Complex roots[3]) {
  const double Q = (b2 * b2 - 3 * b1) / 9;
  const double R = (2 * b2 * b2 * b2 - 9 * b2 * b1 + 27 * b0) / 54;
  const double shift = b2 / 3;
  if (R * R < Q * Q * Q) {
    const double theta = std::acos(R / std::sqrt(Q * Q * Q));
    const double m = -2 * std::sqrt(Q);
    const double twoPi = 6.283185307179586;
    roots[0] = m * std::cos(theta / 3) - shift;
    roots[1] = m * std::cos((theta + twoPi) / 3) - shift;
    roots[2] = m * std::cos((theta - twoPi) / 3) - shift;
    return;
  }
  const double A = -std::copysign(std::cbrt(std::fabs(R) + std::sqrt(R * R - Q * Q * Q)), R);
  const double B = A == 0 ? 0 : Q / A;
  roots[0] = (A + B) - shift;
  const double im = 0.8660254037844386 * (A - B);
  roots[1] = Complex(-(A + B) / 2 - shift, im);
  roots[2] = Complex(-(A + B) / 2 - shift, -im);
}

}  // namespace

bool StepIsStable(const RateLinearisation& lin, double h) {
  // D = (step map Jacobian) - I. Solvent rows: W' = W + h R. Temperature row:
  // T' = T + psi(h, a) R3, with psi depending on the weights through the heat capacity.
  const double ha = h * lin.a;
  // The heat exchange alone is integrated by Gill's method: its mode leaves the unit disk
  // through +1 at the fourth-order bound.
  if (ha > RungeKutta4Bound) {
    return false;
  }
  const double psi = h * (1 - ha / 2 + ha * ha / 6 - ha * ha * ha / 24);
  const double dpsi = h * h * (-0.5 + ha / 3 - ha * ha / 8);
  double D[3][3];
  for (int j = 0; j < 3; ++j) {
    D[0][j] = h * lin.dR[0][j];
    D[1][j] = h * lin.dR[1][j];
    D[2][j] = psi * lin.dR[2][j] + (j < 2 ? lin.R[2] * dpsi * lin.da[j] : 0.0);
  }
  const bool solventsFrozen = D[0][0] == 0 && D[0][1] == 0 && D[0][2] == 0 && D[1][0] == 0 &&
                              D[1][1] == 0 && D[1][2] == 0;
  if (solventsFrozen) {  // no drying: the modes are 0, 0 and D33, exactly
    return !Grows(D[2][2]);
  }
  const double trace = D[0][0] + D[1][1] + D[2][2];
  const double minors = (D[0][0] * D[1][1] - D[0][1] * D[1][0]) +
                        (D[0][0] * D[2][2] - D[0][2] * D[2][0]) +
                        (D[1][1] * D[2][2] - D[1][2] * D[2][1]);
  const double det = D[0][0] * (D[1][1] * D[2][2] - D[1][2] * D[2][1]) -
                     D[0][1] * (D[1][0] * D[2][2] - D[1][2] * D[2][0]) +
                     D[0][2] * (D[1][0] * D[2][1] - D[1][1] * D[2][0]);
  // The modes are the roots of nu^3 + b2 nu^2 + b1 nu + b0.
  const double b2 = -trace, b1 = minors, b0 = -det;
  const double Q = (b2 * b2 - 3 * b1) / 9;
  const double R = (2 * b2 * b2 * b2 - 9 * b2 * b1 + 27 * b0) / 54;
  if (R * R <= Q * Q * Q) {
    // Three real modes: none lies below -2 exactly when the polynomial in y = nu + 2 has
    // only roots >= 0, that is when its coefficients alternate in sign (no roots needed).
    const double c2 = b2 - 6;
    const double c1 = (12 - 4 * b2) + b1;
    const double c0 = ((4 * b2 - 8) - 2 * b1) + b0;
    return c2 <= 0 && c1 >= 0 && c0 <= 0;
  }
  Complex nu[3];
  CubicRoots(b2, b1, b0, nu);
  // A NaN (a state the derivatives cannot describe) compares false: no alarm.
  return !(Grows(nu[0]) || Grows(nu[1]) || Grows(nu[2]));
}

double StableStepLimit(const RateLinearisation& lin, double h) {
  if (StepIsStable(lin, h)) {
    return h;
  }
  double lo = h * 1e-9;
  if (!StepIsStable(lin, lo)) {
    return 0;
  }
  double hi = h;
  while (hi - lo > 1e-7 * hi) {
    const double mid = 0.5 * (lo + hi);
    (StepIsStable(lin, mid) ? lo : hi) = mid;
  }
  return lo;
}

double RoundDownTwoDigits(double value) {
  if (!(value > 0) || !std::isfinite(value)) {
    return 0;
  }
  const double unit = std::pow(10.0, std::floor(std::log10(value)) - 1);
  // Below about 1e-322 the unit itself is no longer a double: the value has fewer than two
  // digits to round.
  return unit > 0 ? std::floor(value / unit) * unit : value;
}

// The limit holds at the state where the run stopped; a run with the smaller step reaches
// other states (a hotter, drier web has a shorter limit), so the named increment keeps half
// of the limit in reserve.
constexpr double IncrementSafety = 0.5;

double SuggestedIncrement(double limit, double speed) {
  return RoundDownTwoDigits(limit * IncrementSafety * std::fabs(speed));
}

std::string InstabilityMessage(std::int32_t zone, std::int32_t step, double stepTime,
                               double limit, double increment) {
  const std::string stop = "Unstable integration in zone " + std::to_string(zone) + ", step " +
                           std::to_string(step) + ": a step of " + ShortNumber(stepTime, 3) +
                           " s is longer than the stable limit of " +
                           ShortNumber(RoundDownTwoDigits(limit), 2) + " s here. ";
  // A limit so short that its distance at this Speed is no longer a double has no increment
  // to name.
  if (!(increment > 0)) {
    return stop + "No Increment of z gives a step that short at this Speed.";
  }
  return stop + "Use an Increment of z of at most " + ShortNumber(increment, 2) + " m at this Speed.";
}

}  // namespace tovimar
