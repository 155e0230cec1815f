#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conditionfile/measured_data.h"
#include "input/field_catalogue.h"
#include "input/entry_texts.h"
#include "input/line_catalogue.h"
#include "input/line_settings.h"
#include "results/line_profile.h"

namespace tovimar {

// Calibrating the model to the line: chosen numeric conditions are varied so that the
// model's profile, interpolated linearly along the line at the measured positions, comes
// as close to the measurements as it can in the weighted least-squares sense (each
// difference divided by its quantity's standard deviation). The solver is Eigen's
// Levenberg-Marquardt (MINPACK's lmder) over forward-difference derivatives of in-memory
// runs.

// One condition to fit, with optional bounds.
struct FitParameter {
  std::string name;       // as given: "Keff", "Edit205", "ZoneHeatCoefUpper[2]"
  std::string entryName;  // the entry it sets, "Edit205"
  std::string caption;    // for people: "Dryer Efficiency Parameter Keff"
  std::optional<double> lower, upper;
};

// Reads "NAME", "NAME=LOWER:UPPER", "NAME=LOWER:" or "NAME=:UPPER" with NAME a numeric
// condition's entry or field name. Nothing (and `error` set) when it is not such a text,
// names no physical condition (the Increment of z, the Save File Name or a line setting is
// refused, saying why), or LOWER is not below UPPER.
std::optional<FitParameter> ParseFitParameter(std::string_view text, std::string& error);

// The numeric setting of the line file's "Model" object named `name` (a parameter of the
// drying model, which a fit sets in the line settings); nullptr for any other name.
const LineSetting* FindModelParameter(std::string_view name);

// Nothing when the condition is a physical one a fit may adjust; otherwise why it is not
// (the Increment of z is a setting of the numerical march).
std::optional<std::string> WhyNotFittable(const ConditionField& field);

// The model's value of `quantity` at `position` along the line, interpolated linearly
// between the profile points around it; nothing when the position lies outside the line.
std::optional<double> ModelValueAt(const LineProfile& profile, MeasuredQuantity quantity,
                                   double position);

// The 0.975 quantile of Student's t distribution with `dof` degrees of freedom (at least
// 1): exact to the printed digits from a table up to 30, and from the Cornish-Fisher
// expansion about the normal quantile (four terms; error below 1e-6) beyond.
double StudentT975(std::size_t dof);

struct FitProgress {
  std::size_t runs = 0;         // runs made so far
  double weightedSsr = 0;       // the best sum of weighted squared differences so far
  std::vector<double> values;   // the parameters at that best point
};

struct FitOptions {
  LineSettings line;
  // The fit gives up (not converged) after this many runs.
  std::size_t maxRuns = 400;
  // Called after each run that improved on the best point; return false to stop the fit
  // (it then ends not converged, at the best point so far).
  std::function<bool(const FitProgress&)> progress;
};

enum class FitStatus {
  Converged,     // the solver met its tolerances, and every residual and interval is finite
  NotConverged,  // it ran out of runs, was stopped, could not go on, or met a non-finite
                 // residual, sum of squares or interval
  Refused,       // the fit could not start: bad parameters, data, or a failed first run
};

struct FittedValue {
  FitParameter parameter;
  double start = 0;
  double value = 0;
  // False when the measurements do not determine the value: its sensitivity column is zero
  // to the rounding of the model, or lies in the span of the other parameters' (the
  // Jacobian is numerically rank-deficient), so only a combination of them is known.
  bool determined = true;
  // Half the width of the 95 % confidence interval; nothing when the value is undetermined,
  // no degree of freedom is left, or the model meets every measurement exactly (no scatter
  // to estimate it from). Never zero, never infinite.
  std::optional<double> halfWidth;
};

struct QuantityRms {
  MeasuredQuantity quantity = MeasuredQuantity::WebTemp;
  std::size_t count = 0;
  double rms = 0;  // root mean square of model - measurement, in the quantity's unit
};

struct FitResult {
  FitStatus status = FitStatus::Refused;
  std::string message;             // why it did not converge or was refused; empty otherwise
  std::vector<FittedValue> values;
  std::vector<QuantityRms> rms;    // for each quantity with measurements, in column order
  // Correlation of parameters i and j (a p x p matrix, row-major), NaN where either is
  // undetermined; empty when no statistics could be formed.
  std::vector<double> correlation;
  std::vector<std::string> warnings;
  std::size_t runs = 0;            // every run made, rejected ones included
  std::size_t rejectedRuns = 0;    // runs that stopped (a rejected step)
  std::size_t measurements = 0;
  double weightedSsr = 0;

  [[nodiscard]] bool converged() const { return status == FitStatus::Converged; }
  [[nodiscard]] double Correlation(std::size_t i, std::size_t j) const {
    return correlation[i * values.size() + j];
  }
};

// Fits `parameters` (each starting from its text in `base`) to `data`. Every run starts
// from `base` with the parameters set to their trial values by value (see
// ConditionOverrides), not through their entries' texts. A run that stops, or a trial value beyond a bound, is a rejected step. Throws
// nothing; a fit that cannot start says why in a Refused result.
FitResult FitToMeasurements(const MapEntryTexts& base, const std::vector<FitParameter>& parameters,
                            const MeasuredData& data, const FitOptions& options = {});

// The entry name and text (EntryNumberText: "0.12", not "0.12000000000000002") of each fitted value, for writing the
// fitted values into the entries.
struct FittedEntry {
  std::string entryName;
  std::string text;
};
std::vector<FittedEntry> FittedEntries(const FitResult& result);

// `line` with each fitted parameter of the drying model (D0_1, K2MinusTg2, ...) set to its
// fitted value, for writing the fitted values into the line file; the conditions' fitted
// values are the entries' (FittedEntries).
LineSettings FittedLineSettings(const FitResult& result, LineSettings line);

}  // namespace tovimar
