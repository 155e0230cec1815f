#include "batch_optimise.h"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "batch_files.h"
#include "batch_report.h"
#include "conditionfile/data_file.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "model/model.h"
#include "model/number_text.h"
#include "results/output_catalogue.h"
#include "results/depth_csv.h"
#include "results/profile_csv.h"
#include "run/run_sequence.h"
#include "study/optimise.h"
#include "study/quantity_text.h"

namespace tovimar::batch {

namespace {

constexpr const char* OptimiseFooter = R"(

Design search: --optimise --objective max:NAME (or min:NAME) --vary NAME=LOWER:UPPER ...
--limit 'NAME<=BOUND' (or >=) ... finds the values of the varied conditions, between their
bounds, that give the greatest (least) objective while every limit holds. A --vary NAME is
a numeric condition (as for --set) or a line setting (ZoneExhaustFlow[2], ...); the
objective is a line quantity of --list-names' outputs or an input; a limit is on a line
quantity (LineEndResidualSolvent, LineEndResidualSolventPercent, LeastBoilingMargin,
MaxZoneLEL, MaxWebTemp, LineLength, ...). A limit on a quantity without a value (MaxZoneLEL
when no zone has an exhaust flow, see --line) is met. The line settings' own limits hold in
every search, whether or not a --limit names them: the exhaust of each zone with an exhaust
flow (or whose flow is varied) at most its LEL limit (ZoneExhaustLEL[k] <= LELLimit or
ZoneLELLimit[k]), the line end's residual solvent at most ResidualTarget when one is set,
and LeastBoilingMargin >= BoilingMarginMin. The search is COBYLA (NLopt) over the variables
scaled to 0..1, started from the present conditions and from --starts N - 1 more points of
a seeded Latin hypercube (default 8 starts in all), the starts spread over all processor
cores; every run is in memory, and a run that stops counts as a point outside the limits.
The best point is run again on its own and every limit judged afresh before it is called
within every limit. Standard output gets one NAME=VALUE line per variable (exact: the
value the entry gets: the shortest decimal within 1e-9 of the point found, longer where
that would step over a limit the point lies on), then
the objective, each limit with its value (to 4 significant digits, with units) and whether
it is active (within 0.1 % of its bound): "limit (line): " for the line settings' own,
"limit: " for the others; then "within every limit: yes" or "no", the number of runs and
the time; the best point's judging warnings go to standard error, and so does progress
when it is a terminal. --write-data, -o and --csv write the best point's data file,
result file and profile; --write-line FILE its line settings. --line FILE reads the line
settings the limits are judged with (exhaust flows, LELs, limits) and the search the
window's Optimise page last set up there ("Optimise" in the line file): --optimise --line
FILE alone searches that; --objective and --vary given replace its objective and
variables, and each --limit given adds to its limits.
Exit status 7: --optimise found no point within every limit (the nearest completed point
found is printed).)";

void PrintResult(const OptimiseProblem& problem, const OptimiseResult& result, std::ostream& out) {
  for (std::size_t i = 0; i < result.valueTexts.size(); ++i) {
    out << problem.variables[i].name << '=' << result.valueTexts[i] << '\n';
  }
  // For people: units, and the values to ReadableDigits (the bounds as given).
  const std::string objectiveUnit = ReadableUnitOf(problem.objective.name);
  out << "objective: " << (problem.objective.sense == OptimiseSense::Maximise ? "max " : "min ")
      << problem.objective.name << " = " << ReadableQuantity(result.objective, objectiveUnit) << '\n';
  for (const OptimiseLimitResult& limit : result.limits) {
    const std::string unit = ReadableUnitOf(limit.limit.name);
    out << (limit.limit.fromLine ? "limit (line): " : "limit: ") << LimitName(limit.limit)
        << (limit.limit.sense == LimitSense::AtMost ? " <= " : " >= ")
        << ShortestNumberText(limit.limit.bound) << (unit.empty() ? "" : " ") << unit << ": "
        << ReadableQuantity(limit.value, unit) << ' '
        << (!limit.met ? "not met" : limit.active ? "active" : "inactive") << '\n';
  }
  out << "within every limit: " << (result.feasible ? "yes" : "no") << '\n';
  out << "runs: " << result.runs << " (" << result.failedRuns << " stopped)\n";
  out << "time: " << FixedNumber(result.seconds, 3) << " s\n";
  out.flush();
}

// Writes the files asked for of the best point; ExitCompleted or the status of the failure.
int WriteBestFiles(const BatchOptions& options, const MapEntryTexts& entries, const LineSettings& line,
                   UserMessages& messages) {
  try {
    if (options.writeDataFile) WriteDataFile(*options.writeDataFile, entries);
    if (options.writeLineFile) WriteLineFile(*options.writeLineFile, line);
    if (!options.resultFile && !options.csvFile && !options.depthCsvFile) return ExitCompleted;
    Simulation sim;
    RunOptions run;
    run.writeResultFile = options.resultFile.has_value();
    run.model = line.Model;
    const RunOutcome outcome = RunSimulation(sim, entries, run);
    if (!outcome.completed()) {
      messages.ShowMessage(RunMessageOf(outcome));
      return ExitStatusOf(outcome.status);
    }
    if (options.csvFile || options.depthCsvFile) {
      const RunResults results = DeriveResults(sim, line);
      if (options.csvFile) WriteProfileCsv(*options.csvFile, results);
      if (options.depthCsvFile) WriteDepthCsv(*options.depthCsvFile, results, sim.model->ExitProfiles());
    }
  } catch (const InputError& e) {
    messages.ShowMessage(e.what());
    return ExitStoppedAtInput;
  } catch (const std::exception& e) {  // the file could not be written
    messages.ShowMessage(e.what());
    return ExitFileFailed;
  }
  return ExitCompleted;
}

}  // namespace

void AddOptimiseOptions(CLI::App& app, BatchOptions& options) {
  app.footer(app.get_footer() + OptimiseFooter);
  // The best point is run, so --csv needs no --run beside --write-data.
  CLI::Option* optimise = app.add_flag_callback(
      "--optimise", [&options] { options.optimise = options.run = true; },
      "Search the --vary conditions for the best --objective within every --limit");
  optimise->excludes("--sweep")->excludes("--summary");
  app.add_option("--objective", options.objective, "With --optimise: the quantity to make best")
      ->type_name("max:NAME|min:NAME")
      ->needs(optimise);
  app.add_option("--vary", options.varies, "With --optimise: a condition to vary (repeatable)")
      ->type_name("NAME=LOWER:UPPER")
      ->allow_extra_args(false)
      ->needs(optimise);
  app.add_option("--limit", options.limits, "With --optimise: a limit on a line quantity (repeatable)")
      ->type_name("NAME<=BOUND|NAME>=BOUND")
      ->allow_extra_args(false)
      ->needs(optimise);
  app.add_option("--starts", options.starts, "With --optimise: local searches (default 8)")
      ->type_name("N")
      ->check(CLI::Range(1, 1000))
      ->needs(optimise);
  app.add_option("--write-line", options.writeLineFile,
                 "Write the line settings (JSON) after --line and --set, with the materials named and "
                 "their changed values; with --optimise the best point's, with --fit the fitted ones")
      ->type_name("FILE");
}

int RunOptimiseBatch(const BatchOptions& options, const MapEntryTexts& base, const LineSettings& line,
                     std::ostream& out, UserMessages& messages) {
  // The objective and the variables given on the command line replace the line file's; the
  // limits add to its limits. A text taken from the file says so when it is refused.
  const OptimiseSetup& fromFile = line.Optimise;
  const bool objectiveGiven = !options.objective.empty();
  const bool variesGiven = !options.varies.empty();
  const std::string& objectiveText = objectiveGiven ? options.objective : fromFile.objective;
  std::string error;
  const auto refuse = [&](bool given, const char* option) {
    messages.ShowMessage(given ? std::string(option) + ": " + error
                               : "the line file's \"Optimise\" set-up: " + error);
    return ExitUsage;
  };
  OptimiseProblem problem;
  if (objectiveText.empty()) {
    messages.ShowMessage("--optimise needs --objective max:NAME or min:NAME");
    return ExitUsage;
  }
  const std::optional<OptimiseObjective> objective = ParseOptimiseObjective(objectiveText, error);
  if (!objective) return refuse(objectiveGiven, "--objective");
  problem.objective = *objective;
  for (const std::string& text : variesGiven ? options.varies : fromFile.variables) {
    const std::optional<OptimiseVariable> variable = ParseOptimiseVariable(text, error);
    if (!variable) return refuse(variesGiven, "--vary");
    problem.variables.push_back(*variable);
  }
  // Limits add up: the line file's set-up, then the command line's (a limit given twice is
  // kept once). The line settings' own limits come on top of both (see LineLimits).
  for (const bool given : {false, true}) {
    for (const std::string& text : given ? options.limits : fromFile.limits) {
      const std::optional<OptimiseLimit> limit = ParseOptimiseLimit(text, error);
      if (!limit) return refuse(given, "--limit");
      if (std::find(problem.limits.begin(), problem.limits.end(), *limit) == problem.limits.end()) {
        problem.limits.push_back(*limit);
      }
    }
  }
  if (const std::optional<std::string> problemError = CheckOptimiseProblem(problem)) {
    messages.ShowMessage("--optimise: " + *problemError);
    return ExitUsage;
  }

  OptimiseSettings settings;
  if (options.starts != 0) settings.starts = options.starts;
  if (isatty(STDERR_FILENO) != 0) {
    settings.onProgress = [](const OptimiseProgress& progress) {
      if (progress.runs % 25 != 0) return;
      std::fprintf(stderr, "\rtovimar-batch: %zu runs, %zu of %zu starts done, best %s   ", progress.runs,
                   progress.startsDone, progress.starts,
                   progress.bestObjective ? ShortestNumberText(*progress.bestObjective).c_str() : "none");
    };
  }
  const OptimiseResult result = Optimise(problem, base, line, settings);
  if (settings.onProgress) std::fprintf(stderr, "\n");
  PrintResult(problem, result, out);
  for (const std::string& warning : result.warnings) messages.ShowMessage("Warning: " + warning);

  if (!result.values.empty()) {
    MapEntryTexts entries = base;
    LineSettings bestLine = line;
    ApplyOptimisePoint(problem, result.values, entries, bestLine);
    if (const int status = WriteBestFiles(options, entries, bestLine, messages); status != ExitCompleted) {
      return status;
    }
    std::vector<std::string> best;  // the report's run is the best point's
    for (std::size_t i = 0; i < result.valueTexts.size(); ++i) {
      best.push_back(problem.variables[i].name + "=" + result.valueTexts[i]);
    }
    if (const int status = WriteReportOf(options, best, messages); status != ExitCompleted) return status;
  } else if (options.reportFile) {
    messages.ShowMessage("no report written: the search found no point that completed");
  }
  return result.feasible ? ExitCompleted : ExitNoFeasiblePoint;
}

}  // namespace tovimar::batch
