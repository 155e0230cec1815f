// The coating's bubble point from the conditions, through the thermodynamics module.
#include "results/bubble_point.h"

#include "model/model.h"

namespace tovimar {

SolventActivities CalcSolventActivities(const DryingConditions& c, double W1, double W2) {
  SolventActivities s;
  s.present1 = W1 > 0;
  s.present2 = W2 > 0;
  if (!s.present1 && !s.present2) {
    return s;
  }
  const Composition k = CalcComposition(c, W1, W2);
  const InteractionParameters chi{c.Chi1p, c.Chi2p, c.Chi12};
  if (s.present1) {
    s.a1 = Activity1(chi, k.Phi1, k.Phi2);
    s.X1 = k.X1;
  }
  if (s.present2) {
    s.a2 = Activity2(chi, k.Phi1, k.Phi2);
    s.X2 = k.X2;
  }
  return s;
}

SolventPair AntoineOf(const DryingConditions& c) {
  return {{c.AntoineA1, c.AntoineB1, c.AntoineC1}, {c.AntoineA2, c.AntoineB2, c.AntoineC2}};
}

double SolventPressureSum(const DryingConditions& c, const SolventActivities& s, double T) {
  return SolventPressureSum(AntoineOf(c), s, T);
}

std::optional<double> BubbleTemperature(const DryingConditions& c, const SolventActivities& s,
                                        double guess) {
  return BubbleTemperature(AntoineOf(c), s, guess);
}

std::optional<double> BubbleTemperature(const DryingConditions& c, double W1, double W2,
                                        double guess) {
  return BubbleTemperature(AntoineOf(c), CalcSolventActivities(c, W1, W2), guess);
}

}  // namespace tovimar
