#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/condition_overrides.h"
#include "input/entry_texts.h"
#include "input/line_settings.h"

namespace tovimar {

// A design search: the numeric conditions (and line settings) that give the best value of one
// quantity while every limit holds. Every run is in memory; no file is touched.

// One variable: a condition field ("LineSpeed", "ZoneAirTemp[2]", "Edit6") or a line setting
// ("ZoneExhaustFlow[1]") between two bounds, lower < upper.
struct OptimiseVariable {
  std::string name;
  double lower = 0;
  double upper = 0;
};

enum class OptimiseSense { Minimise, Maximise };

// The quantity to make best: a line quantity of the output catalogue ("LineEndWebTemp"), a
// condition field, or one of the variables (which may be a line setting).
struct OptimiseObjective {
  std::string name;
  OptimiseSense sense = OptimiseSense::Maximise;
};

enum class LimitSense { AtMost, AtLeast };  // value <= bound, value >= bound

// A limit on a line quantity of the output catalogue, or on a zone quantity of one zone (the
// line settings' own limits: a zone's exhaust LEL). A quantity without a value in a run
// (MaxZoneLEL when no zone has an exhaust flow) meets its limit.
struct OptimiseLimit {
  std::string name;
  LimitSense sense = LimitSense::AtMost;
  double bound = 0;
  int zone = 0;           // 1..MaxZones for a zone quantity; 0 for a line quantity
  bool fromLine = false;  // set by the line settings (LineLimits), not by the problem

  friend bool operator==(const OptimiseLimit&, const OptimiseLimit&) = default;
};


struct OptimiseProblem {
  std::vector<OptimiseVariable> variables;
  OptimiseObjective objective;
  std::vector<OptimiseLimit> limits;
};

// The name a limit is shown with: "LineEndResidualSolvent", "ZoneExhaustLEL[2]".
std::string LimitName(const OptimiseLimit& limit);


// The limits the line settings set themselves, which every search keeps besides the
// problem's: the exhaust of each zone with an exhaust flow (or whose flow is a variable) at
// most its LEL limit, the line end's residual solvent at most the residual target when one is
// set (or varied), and the least boiling margin at least BoilingMarginMin. The bounds are
// those of `line`; the set of limits depends only on which settings are given or varied, so
// it is the same at every point of a search.
std::vector<OptimiseLimit> LineLimits(const OptimiseProblem& problem, const LineSettings& line);

// Text forms, shared by the batch tool and the window. Each returns nothing and sets `error`
// when the text is not of its form or names nothing known.
// "NAME=LOWER:UPPER"
std::optional<OptimiseVariable> ParseOptimiseVariable(std::string_view text, std::string& error);
// "max:NAME" or "min:NAME"
std::optional<OptimiseObjective> ParseOptimiseObjective(std::string_view text, std::string& error);
// "NAME<=BOUND" or "NAME>=BOUND"
std::optional<OptimiseLimit> ParseOptimiseLimit(std::string_view text, std::string& error);

// What keeps a problem from being searched, and the name it concerns (empty for NoVariable).
struct OptimiseProblemFault {
  enum class Kind {
    NoVariable,
    UnknownVariable,   // no condition field or line setting of that name
    BadBounds,         // not finite, or LOWER not below UPPER
    VariedTwice,
    UnknownObjective,  // no line quantity or input of that name
    ObjectiveNotVaried,  // a line setting as objective that is not varied
    UnknownLimit,      // no line quantity of that name
    BadLimitBound,     // not finite
  };
  Kind kind = Kind::NoVariable;
  std::string name;
};

// Nothing when the problem can be searched; otherwise the first fault found.
std::optional<OptimiseProblemFault> FindOptimiseProblemFault(const OptimiseProblem& problem);

// A fault in the batch tool's terms (its options --vary and --list-names).
std::string OptionText(const OptimiseProblemFault& fault);

// The hint of the batch tool's messages for a name that is not known.
inline constexpr std::string_view ListNamesHint = " (see --list-names)";

// Nothing when the problem can be searched; otherwise OptionText of what is wrong with it.
std::optional<std::string> CheckOptimiseProblem(const OptimiseProblem& problem);

// The present value of an input a search may vary: a condition field's entry read as a
// number, or a line setting; none when the entry holds no number, the setting is not set or
// the name is neither.
std::optional<double> InputValue(std::string_view name, const EntryTexts& entries, const LineSettings& line);

// The bounds an input takes when it is picked as a variable: half to twice its present value,
// within the field's range of use where the catalogue gives it as "LOW to HIGH"; that range
// where the present value is 0, none or outside it; 0 to 1 where there is neither.
OptimiseVariable DefaultVariable(std::string_view name, const EntryTexts& entries, const LineSettings& line);

struct OptimiseProgress {
  std::size_t runs = 0;       // evaluations so far, over every start
  std::size_t startsDone = 0;
  std::size_t starts = 0;
  std::optional<double> bestObjective;  // of the best point within every limit so far
};

struct OptimiseSettings {
  // Local searches: the first from the base point (its values clamped into the bounds), the
  // others from a seeded Latin hypercube over the bounds.
  std::size_t starts = 8;
  std::size_t maxEvaluationsPerStart = 400;
  // A local search ends when a step changes no scaled variable (0..1) by more than this.
  double variableTolerance = 1e-7;
  // A limit is active when its value lies within this fraction of max(|bound|, 1) of it.
  double activeTolerance = 1e-3;
  unsigned threads = 0;  // 0: one per processor core
  std::uint64_t seed = 20240601;
  // Called after each evaluation (calls never overlap); may be empty.
  std::function<void(const OptimiseProgress&)> onProgress;
  // When it becomes true, the searches end after their current run.
  const std::atomic<bool>* stop = nullptr;
};

struct OptimiseLimitResult {
  OptimiseLimit limit;
  std::optional<double> value;  // none when the quantity has no value in the run
  bool met = false;
  bool active = false;
};

struct OptimiseResult {
  // A point within every limit was found and, run again on its own from the texts the
  // entries get, completed within every limit with no judging warning.
  bool feasible = false;
  // The best point, one per variable, as the entries hold it (see RecheckOptimisePoint), and
  // the texts the entries get: the values' shortest exact forms.
  std::vector<double> values;
  std::vector<std::string> valueTexts;
  std::optional<double> objective;
  // The line settings' limits (LineLimits at the best point), then the problem's.
  std::vector<OptimiseLimitResult> limits;
  // The judging warnings of the best point's run (an exhaust above its limit, ...).
  std::vector<std::string> warnings;
  std::size_t runs = 0;
  std::size_t failedRuns = 0;  // runs that stopped or could not be judged
  double seconds = 0;
  bool stopped = false;        // the stop flag ended the search
};

// The values as the entries hold them: each read back from its EntryNumberText, so that a
// point is judged as the run a user gets from the entries.
std::vector<double> EnteredValues(const std::vector<double>& values);

// Sets the variables of `problem` to `values` (a result's values: decimals as the entries
// get them) in `entries` (their shortest exact texts) and `line`. Throws UserError when a line setting refuses its value.
void ApplyOptimisePoint(const OptimiseProblem& problem, const std::vector<double>& values,
                        MapEntryTexts& entries, LineSettings& line);

// The same for a run of the search: the condition variables by value in `overrides`, the
// line settings in `line`.
void SetOptimisePoint(const OptimiseProblem& problem, const std::vector<double>& values,
                      ConditionOverrides& overrides, LineSettings& line);

// One evaluation as the search sees it: the run of `entries` with the variables at `values`,
// judged against the line settings' limits and the problem's.
struct OptimiseEvaluation {
  bool completed = false;  // the run completed and its results could be derived
  bool feasible = false;   // ... and every limit holds
  std::optional<double> objective;
  std::vector<OptimiseLimitResult> limits;  // LineLimits at the point, then the problem's
  std::vector<std::string> warnings;        // the run's judging warnings
  std::vector<double> entered;              // after a recheck: the values as the entries get them
};
OptimiseEvaluation EvaluateOptimisePoint(const OptimiseProblem& problem, const MapEntryTexts& base,
                                         const LineSettings& line, const std::vector<double>& values,
                                         double activeTolerance = 1e-3);

// The check a point passes before it is called within every limit: the point is run again on
// a simulation of its own, from the texts the entries get, and every limit is judged afresh;
// feasible only when each holds and the run's own judging warns of nothing (no exhaust above
// its LEL limit, no boiling, no missed residual target). The entries get each value's
// EntryNumberText; when that steps over a limit the point lies on, the first of longer
// decimals within the same part in 10^9 that holds every limit (for up to
// MaxDirectedVariables variables rounded down or up as well as to nearest), and last the
// values themselves. `entered` holds the values the evaluation ran.
inline constexpr std::size_t MaxDirectedVariables = 3;
OptimiseEvaluation RecheckOptimisePoint(const OptimiseProblem& problem, const MapEntryTexts& base,
                                        const LineSettings& line, const std::vector<double>& values,
                                        double activeTolerance = 1e-3);

// Searches with COBYLA (NLopt) from every start, the starts spread over worker threads each
// with its own simulation, under the problem's limits and the line settings' own
// (LineLimits), and keeps the best point within every limit (the greatest or least
// objective; ties to the earlier start) that passes RecheckOptimisePoint; a start's best
// point that fails it gives way to the next best. A run that stops is an infeasible point.
// The problem must have passed CheckOptimiseProblem; throws std::invalid_argument otherwise.
OptimiseResult Optimise(const OptimiseProblem& problem, const MapEntryTexts& base,
                        const LineSettings& line, const OptimiseSettings& settings);

// The scaled (0..1) start points of the local searches: first the base point (each
// variable's present value in `base` or `line`, clamped into its bounds; the middle when it
// has none), then `starts` - 1 points of LatinHypercube(starts - 1, variables, seed).
std::vector<std::vector<double>> OptimiseStarts(const OptimiseProblem& problem, const MapEntryTexts& base,
                                                const LineSettings& line, std::size_t starts,
                                                std::uint64_t seed);

// `count` points of a Latin hypercube in [0,1]^dimensions: each dimension's range is cut
// into `count` equal strata, each point takes one stratum per dimension (a seeded random
// permutation) at a random place within it.
std::vector<std::vector<double>> LatinHypercube(std::size_t count, std::size_t dimensions,
                                                std::uint64_t seed);

}  // namespace tovimar
