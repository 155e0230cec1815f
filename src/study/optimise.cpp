#include "study/optimise.h"

#include <nlopt.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/condition_overrides.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "model/model.h"
#include "results/output_catalogue.h"
#include "results/skin_warning.h"
#include "run/run_sequence.h"

namespace tovimar {

namespace {

// What a run that stops, or cannot be judged, gives the search: an objective and limit
// values far worse than any run that completes (the scaled objective is of the order of 1).
constexpr double PenaltyObjective = 1e3;
constexpr double PenaltyViolation = 1e3;

double Unscaled(const OptimiseVariable& variable, double u) {
  return std::clamp(variable.lower + u * (variable.upper - variable.lower), variable.lower, variable.upper);
}

// How far a limit is from holding, as a fraction of max(|bound|, 1); at most 0 when it holds.
// A quantity without a value holds its limit unless it was judged as not met for that.
double Violation(const OptimiseLimitResult& limit) {
  if (!limit.value) return limit.met ? -1 : PenaltyViolation;
  if (!std::isfinite(*limit.value)) return PenaltyViolation;
  const double scale = std::max(std::abs(limit.limit.bound), 1.0);
  const double excess = limit.limit.sense == LimitSense::AtMost ? *limit.value - limit.limit.bound
                                                                : limit.limit.bound - *limit.value;
  return excess / scale;
}

// Whether objective `a` is better than `b` in the problem's sense.
bool Better(double a, double b, OptimiseSense sense) {
  return sense == OptimiseSense::Maximise ? a > b : a < b;
}

// The value of a limit's quantity in a run; none when the run gives it none.
std::optional<double> LimitValue(const OptimiseLimit& limit, const RunResults& results) {
  const OutputQuantity* quantity = FindOutput(limit.name);
  if (quantity == nullptr) return std::nullopt;
  return limit.zone == 0 ? LineValue(*quantity, results)
                         : ZoneValue(*quantity, results, static_cast<std::size_t>(limit.zone));
}

OptimiseLimitResult Judged(const OptimiseLimit& limit, const RunResults& results, double activeTolerance) {
  OptimiseLimitResult r;
  r.limit = limit;
  r.value = LimitValue(limit, results);
  if (!r.value) {
    // A zone the line settings judge must have a % of LEL wherever the run reaches it; a
    // line quantity without a value (nothing could boil) meets its limit.
    r.met = !(limit.fromLine && limit.zone > 0 &&
              static_cast<std::size_t>(limit.zone) <= results.judgement.exhaust.size());
    return r;
  }
  const double violation = Violation(r);
  r.met = violation <= 0;
  r.active = std::abs(violation) <= activeTolerance;
  return r;
}

// The check of a point the search does not need checked: it reports nothing.
class NoCheck final : public ModelCheck {
 public:
  [[nodiscard]] ModelCheckResult Compare(const Simulation&) const override { return {}; }
};

bool IsCheckNumber(std::string_view name) {
  const OutputQuantity* quantity = FindOutput(name);
  return quantity != nullptr && quantity->fromCheck;
}

bool UsesCheck(const OptimiseProblem& problem) {
  return IsCheckNumber(problem.objective.name) ||
         std::any_of(problem.limits.begin(), problem.limits.end(),
                     [](const OptimiseLimit& limit) { return IsCheckNumber(limit.name); });
}

// The run of `base` with the variables at `values` on `sim`, judged against the line
// settings' limits at that point and the problem's.
OptimiseEvaluation EvaluateWith(Simulation& sim, const OptimiseProblem& problem,
                                const MapEntryTexts& base, const LineSettings& baseLine,
                                const std::vector<double>& values, double activeTolerance) {
  OptimiseEvaluation e;
  RunOptions options;
  options.writeResultFile = false;
  LineSettings line = baseLine;
  try {
    SetOptimisePoint(problem, values, options.overrides, line);
  } catch (const UserError&) {
    return e;  // a line setting refused its value
  }
  options.model = line.Model;
  if (!RunSimulation(sim, base, options).completed()) {
    return e;
  }
  try {
    // A point's run is checked by its model only when the search asks for a check number:
    // the diffusion model's grid check costs more than the run itself.
    const RunResults results =
        UsesCheck(problem) ? DeriveResults(sim, line)
                           : DeriveResultsAwaitingCheck(sim, line, [] { return std::make_unique<NoCheck>(); });
    // The objective: a varied input's value, a condition's value, or a line quantity.
    const ConditionField* objectiveField = FindField(problem.objective.name);
    for (std::size_t i = 0; i < problem.variables.size(); ++i) {
      const ConditionField* field = FindField(problem.variables[i].name);
      if (problem.variables[i].name == problem.objective.name ||
          (field != nullptr && field == objectiveField)) {
        e.objective = values[i];
      }
    }
    if (!e.objective) {
      if (objectiveField != nullptr) {  // a condition not varied: as the entries hold it
        e.objective = ParseNumber(base.Text(objectiveField->entryName));
      } else if (const OutputQuantity* quantity = FindOutput(problem.objective.name)) {
        e.objective = LineValue(*quantity, results);
      }
    }
    if (e.objective && !std::isfinite(*e.objective)) e.objective.reset();
    e.feasible = e.objective.has_value();
    std::vector<OptimiseLimit> limits = LineLimits(problem, line);
    limits.insert(limits.end(), problem.limits.begin(), problem.limits.end());
    for (const OptimiseLimit& limit : limits) {
      e.limits.push_back(Judged(limit, results, activeTolerance));
      e.feasible = e.feasible && e.limits.back().met;
    }
    // A skin is what the diffusion model predicts, not a limit: the residual target judges it.
    for (const std::string& warning : results.judgement.warnings) {
      if (!IsSkinWarning(warning)) e.warnings.push_back(warning);
    }
    e.completed = e.objective.has_value();
  } catch (const UserError&) {
    return OptimiseEvaluation{};
  }
  return e;
}

// The best points one local search met.
struct StartBest {
  std::optional<std::vector<double>> feasible;
  OptimiseEvaluation feasibleEvaluation;
  std::optional<std::vector<double>> leastViolating;  // among completed runs, for a report
  OptimiseEvaluation leastViolatingEvaluation;
  double leastViolation = 0;
};

// The state shared by every local search.
struct Shared {
  const OptimiseProblem& problem;
  const MapEntryTexts& base;
  const LineSettings& line;
  const OptimiseSettings& settings;
  std::size_t limitCount;  // the line settings' limits and the problem's
  std::mutex mutex;
  OptimiseProgress progress;
  std::size_t failedRuns = 0;
};

// One local search on a worker's simulation.
struct LocalSearch {
  LocalSearch(Shared& sharedState, Simulation& simulation) : shared(sharedState), sim(simulation) {}

  Shared& shared;
  Simulation& sim;
  nlopt::opt* opt = nullptr;
  StartBest best;
  double objectiveScale = 0;  // set at the first completed run
  std::vector<double> cachedPoint;
  std::vector<double> cachedConstraints;
  double cachedObjective = 0;

  [[nodiscard]] std::vector<double> Values(const double* u) const {
    std::vector<double> values;
    for (std::size_t i = 0; i < shared.problem.variables.size(); ++i) {
      values.push_back(Unscaled(shared.problem.variables[i], u[i]));
    }
    return values;
  }

  // Runs the point `u` (scaled) and returns the scaled objective to minimise; the limit
  // violations are kept for the constraint call at the same point.
  double Evaluate(const double* u) {
    const std::size_t n = shared.problem.variables.size();
    cachedPoint.assign(u, u + n);
    cachedConstraints.assign(shared.limitCount + 1, PenaltyViolation);
    if (shared.settings.stop != nullptr && shared.settings.stop->load()) {
      opt->force_stop();
      return PenaltyObjective;
    }
    const std::vector<double> values = Values(u);
    const OptimiseEvaluation e = EvaluateAt(values);
    double f = PenaltyObjective;
    if (e.completed && e.objective) {
      if (objectiveScale == 0) objectiveScale = std::max(std::abs(*e.objective), 1e-12);
      f = *e.objective / objectiveScale;
      if (shared.problem.objective.sense == OptimiseSense::Maximise) f = -f;
      cachedConstraints[0] = 0;
      for (std::size_t i = 0; i < e.limits.size() && i < shared.limitCount; ++i) {
        cachedConstraints[i + 1] = Violation(e.limits[i]);
      }
      Keep(values, e);
    }
    Report(e);
    return f;
  }

  [[nodiscard]] OptimiseEvaluation EvaluateAt(const std::vector<double>& values) {
    return EvaluateWith(sim, shared.problem, shared.base, shared.line, values,
                        shared.settings.activeTolerance);
  }

  void Keep(const std::vector<double>& values, const OptimiseEvaluation& e) {
    const OptimiseSense sense = shared.problem.objective.sense;
    if (e.feasible) {
      if (!best.feasible || Better(*e.objective, *best.feasibleEvaluation.objective, sense)) {
        best.feasible = values;
        best.feasibleEvaluation = e;
      }
      return;
    }
    double violation = 0;
    for (const OptimiseLimitResult& limit : e.limits) violation = std::max(violation, Violation(limit));
    if (!best.leastViolating || violation < best.leastViolation) {
      best.leastViolating = values;
      best.leastViolatingEvaluation = e;
      best.leastViolation = violation;
    }
  }

  void Report(const OptimiseEvaluation& e) {
    const std::lock_guard<std::mutex> lock(shared.mutex);
    ++shared.progress.runs;
    if (!e.completed) ++shared.failedRuns;
    if (e.feasible && (!shared.progress.bestObjective ||
                       Better(*e.objective, *shared.progress.bestObjective, shared.problem.objective.sense))) {
      shared.progress.bestObjective = e.objective;
    }
    if (shared.settings.onProgress) shared.settings.onProgress(shared.progress);
  }
};

}  // namespace

OptimiseEvaluation EvaluateOptimisePoint(const OptimiseProblem& problem, const MapEntryTexts& base,
                                         const LineSettings& line, const std::vector<double>& values,
                                         double activeTolerance) {
  Simulation sim;
  return EvaluateWith(sim, problem, base, line, values, activeTolerance);
}

namespace {

double ObjectiveFunction(unsigned n, const double* u, double* /*grad*/, void* data) {
  auto* search = static_cast<LocalSearch*>(data);
  if (search->cachedPoint.size() == n && std::equal(u, u + n, search->cachedPoint.begin())) {
    return search->cachedObjective;
  }
  search->cachedObjective = search->Evaluate(u);
  return search->cachedObjective;
}

void ConstraintFunction(unsigned m, double* result, unsigned n, const double* u, double* /*grad*/,
                        void* data) {
  auto* search = static_cast<LocalSearch*>(data);
  if (search->cachedPoint.size() != n || !std::equal(u, u + n, search->cachedPoint.begin())) {
    search->cachedObjective = search->Evaluate(u);
  }
  std::copy_n(search->cachedConstraints.begin(), m, result);
}

// One COBYLA search from `start` (scaled); the best points it met.
StartBest SearchFrom(Shared& shared, Simulation& sim, std::vector<double> start) {
  const std::size_t n = shared.problem.variables.size();
  LocalSearch search(shared, sim);
  nlopt::opt opt(nlopt::LN_COBYLA, static_cast<unsigned>(n));
  search.opt = &opt;
  opt.set_lower_bounds(std::vector<double>(n, 0.0));
  opt.set_upper_bounds(std::vector<double>(n, 1.0));
  opt.set_min_objective(ObjectiveFunction, &search);
  opt.add_inequality_mconstraint(ConstraintFunction, &search, std::vector<double>(shared.limitCount + 1, 0.0));
  opt.set_xtol_abs(shared.settings.variableTolerance);
  opt.set_maxeval(static_cast<int>(std::max<std::size_t>(shared.settings.maxEvaluationsPerStart, 1)));
  opt.set_initial_step(0.1);
  double f = 0;
  try {
    opt.optimize(start, f);
  } catch (const std::exception&) {
    // Forced stops and round-off limits end this search; what it met is kept.
  }
  return std::move(search.best);
}

}  // namespace

OptimiseResult Optimise(const OptimiseProblem& problem, const MapEntryTexts& base,
                        const LineSettings& line, const OptimiseSettings& settings) {
  if (const std::optional<std::string> error = CheckOptimiseProblem(problem)) {
    throw std::invalid_argument(*error);
  }
  const auto began = std::chrono::steady_clock::now();
  const std::size_t starts = std::max<std::size_t>(settings.starts, 1);
  const std::vector<std::vector<double>> points = OptimiseStarts(problem, base, line, starts, settings.seed);

  Shared shared{problem, base, line, settings, LineLimits(problem, line).size() + problem.limits.size(), {}, {}, 0};
  shared.progress.starts = starts;
  std::vector<StartBest> bests(starts);
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  const auto work = [&] {
    try {
      Simulation sim;  // each worker marches on its own records
      for (std::size_t i = next.fetch_add(1); i < starts; i = next.fetch_add(1)) {
        if (settings.stop != nullptr && settings.stop->load()) break;
        bests[i] = SearchFrom(shared, sim, points[i]);
        const std::lock_guard<std::mutex> lock(shared.mutex);
        ++shared.progress.startsDone;
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(shared.mutex);
      if (!failure) failure = std::current_exception();
      next.store(starts);
    }
  };
  unsigned threads = settings.threads != 0 ? settings.threads : std::thread::hardware_concurrency();
  threads = static_cast<unsigned>(std::clamp<std::size_t>(threads, 1, starts));
  std::vector<std::thread> workers;
  try {
    for (unsigned t = 1; t < threads; ++t) workers.emplace_back(work);
  } catch (...) {
    // No more threads to be had: the ones started and this one share the starts.
  }
  work();
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);

  // The starts' feasible points from the best down (ties to the earlier start); the first
  // that holds every limit when run again is the answer. Without one, the completed point
  // that came nearest to every limit.
  std::vector<const StartBest*> candidates;
  for (const StartBest& best : bests) {
    if (best.feasible) candidates.push_back(&best);
  }
  std::stable_sort(candidates.begin(), candidates.end(), [&](const StartBest* a, const StartBest* b) {
    return Better(*a->feasibleEvaluation.objective, *b->feasibleEvaluation.objective, problem.objective.sense);
  });
  OptimiseResult result;
  const auto take = [&](const OptimiseEvaluation& e) {
    result.values = e.entered;  // the point as the entries get it, which was run again
    result.objective = e.objective;
    result.limits = e.limits;
    result.warnings = e.warnings;
  };
  for (const StartBest* candidate : candidates) {
    const OptimiseEvaluation recheck =
        RecheckOptimisePoint(problem, base, line, *candidate->feasible, settings.activeTolerance);
    if (recheck.feasible || result.values.empty()) take(recheck);
    if (recheck.feasible) {
      result.feasible = true;
      break;
    }
  }
  if (candidates.empty()) {
    const StartBest* chosen = nullptr;
    for (const StartBest& best : bests) {
      if (best.leastViolating && (chosen == nullptr || best.leastViolation < chosen->leastViolation)) {
        chosen = &best;
      }
    }
    if (chosen != nullptr) {
      take(RecheckOptimisePoint(problem, base, line, *chosen->leastViolating, settings.activeTolerance));
    }
  }
  // The entered values are decimals already: their shortest exact texts.
  for (const double value : result.values) result.valueTexts.push_back(ShortestNumberText(value));
  result.runs = shared.progress.runs;
  result.failedRuns = shared.failedRuns;
  result.stopped = settings.stop != nullptr && settings.stop->load();
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  return result;
}

}  // namespace tovimar
