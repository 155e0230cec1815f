// The check a search's best point passes before it is called within every limit, run from
// the values the entries get.
#include <algorithm>
#include <set>

#include "format/entry_number.h"
#include "input/number_parse.h"
#include "study/optimise.h"

namespace tovimar {

std::vector<double> EnteredValues(const std::vector<double>& values) {
  std::vector<double> entered;
  for (const double value : values) {
    entered.push_back(ParseNumber(EntryNumberText(value)).value_or(value));
  }
  return entered;
}

OptimiseEvaluation RecheckOptimisePoint(const OptimiseProblem& problem, const MapEntryTexts& base,
                                        const LineSettings& line, const std::vector<double>& values,
                                        double activeTolerance) {
  const auto check = [&](const std::vector<double>& entered) {
    OptimiseEvaluation e = EvaluateOptimisePoint(problem, base, line, entered, activeTolerance);
    e.feasible = e.feasible && e.warnings.empty();
    e.entered = entered;
    return e;
  };
  OptimiseEvaluation first = check(EnteredValues(values));
  if (first.feasible) return first;
  // A point on the edge of a limit may step over it by the rounding. Then decimals of more
  // digits, still within a part in 10^9: rounded to nearest, and for a few variables also a
  // unit of the last digit down or up; last the values themselves, which the search judged.
  std::set<std::vector<double>> tried{first.entered};
  const std::size_t n = values.size();
  for (int digits = 2; digits <= 16; ++digits) {
    std::vector<std::vector<double>> choices;
    for (const double value : values) choices.push_back(EntryNumberChoices(value, digits));
    if (std::any_of(choices.begin(), choices.end(), [](const auto& c) { return c.empty(); })) continue;
    const std::size_t combinations = n <= MaxDirectedVariables ? std::size_t{1} << (2 * n) : 1;
    for (std::size_t k = 0; k < combinations; ++k) {
      std::vector<double> entered;
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t pick = (k >> (2 * i)) & 3U;  // 0 nearest, 1 below, 2 above
        if (pick >= choices[i].size()) break;
        entered.push_back(choices[i][pick]);
      }
      if (entered.size() != n || !tried.insert(entered).second) continue;
      if (OptimiseEvaluation e = check(entered); e.feasible) return e;
    }
  }
  if (OptimiseEvaluation exact = check(values); exact.feasible) return exact;
  return first;
}

}  // namespace tovimar
