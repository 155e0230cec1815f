// Vapour pressure, activity and bubble temperature of the coating.
#include "model/thermo.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/arithmetic.h"

namespace tovimar {

namespace {

constexpr double Ln10 = 2.302585092994045684;

// p1 + p2 at one temperature and its first and second derivatives with respect to it.
struct PressureSum {
  double sum = 0;
  double slope = 0;
  double curvature = 0;
};

// One solvent's share: p = (Ps x a) x X. With t = T + C and k = ln 10 x B / t^2,
// dp/dT = p k and d2p/dT2 = p (k^2 - 2 k / t).
void AddSolvent(PressureSum& out, const AntoineConstants& antoine, double a, double X, double T) {
  const double shifted = T + antoine.C;
  const double Ps = AntoineOfQuotient(antoine.A, antoine.B / shifted);
  const double p = Ps * a * X;
  const double k = Ln10 * antoine.B / (shifted * shifted);
  out.sum += p;
  out.slope += p * k;
  out.curvature += p * (k * k - 2 * k / shifted);
}

PressureSum Evaluate(const SolventPair& antoine, const SolventActivities& s, double T) {
  PressureSum out;
  if (s.present1) {
    AddSolvent(out, antoine.solvent1, s.a1, s.X1, T);
  }
  if (s.present2) {
    AddSolvent(out, antoine.solvent2, s.a2, s.X2, T);
  }
  return out;
}

constexpr double StepTolerance = 1e-7;  // K: a step this short ends the solve
// K: a Newton step whose estimated remaining error is below this ends the solve without
// another evaluation. 100 times below the 1e-6 K asked for, so that the neglected third-order
// terms cannot matter.
constexpr double ErrorTolerance = 1e-8;
constexpr int MaxIterations = 200;

}  // namespace

double SolventPressureSum(const SolventPair& antoine, const SolventActivities& s, double T) {
  return Evaluate(antoine, s, T).sum;
}

std::optional<double> BubbleTemperature(const SolventPair& antoine, const SolventActivities& s,
                                        double guess) {
  if (!s.present1 && !s.present2) {
    return std::nullopt;
  }
  // The Antoine pressure exists above T = -C; towards it the pressure falls to zero, so the
  // lowest temperature where every present solvent's pressure exists bounds the root below.
  double lo = -std::numeric_limits<double>::infinity();
  if (s.present1) lo = std::max(lo, -antoine.solvent1.C);
  if (s.present2) lo = std::max(lo, -antoine.solvent2.C);
  double hi = std::numeric_limits<double>::infinity();

  double T = std::isfinite(guess) && guess > lo ? guess : std::max(BubbleStartGuess, lo + 1);
  for (int i = 0; i < MaxIterations; ++i) {
    const PressureSum e = Evaluate(antoine, s, T);
    if (e.sum == TotalPressure) {
      return T;
    }
    (e.sum > TotalPressure ? hi : lo) = T;
    // Newton on S = p1 + p2 - 760. After a step d its error is about |S'' / (2 S')| d^2.
    double next = std::numeric_limits<double>::quiet_NaN();
    double error = std::numeric_limits<double>::infinity();
    if (e.slope > 0) {
      const double d = (TotalPressure - e.sum) / e.slope;
      next = T + d;
      error = std::fabs(e.curvature / (2 * e.slope)) * d * d;
    }
    if (!(next > lo && next < hi)) {
      next = std::isfinite(hi) ? 0.5 * (lo + hi) : T + std::max(10.0, 2 * (T - lo));
      error = std::numeric_limits<double>::infinity();
    }
    if (error < ErrorTolerance || std::fabs(next - T) < StepTolerance || hi - lo < StepTolerance) {
      return next;
    }
    T = next;
  }
  arith::Fail(arith::Fault::Invalid, "the bubble temperature of the coating");
}

}  // namespace tovimar
