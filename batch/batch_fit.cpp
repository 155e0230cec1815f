#include "batch_fit.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "batch_errors.h"
#include "batch_report.h"
#include "conditionfile/data_file.h"
#include "conditionfile/line_file.h"
#include "conditionfile/measured_data.h"
#include "format/csv.h"
#include "format/entry_number.h"
#include "format/file_writer.h"
#include "model/errors.h"
#include "model/number_text.h"
#include "study/fit.h"
#include "study/quantity_text.h"

namespace tovimar::batch {

namespace {

std::string Significant3(double v) { return ShortNumber(v, 3); }

// The options a fit cannot go with; empty when they all fit.
std::string FitConflict(const BatchOptions& options) {
  if (options.fits.empty()) return "--measured needs at least one --fit NAME";
  if (!options.measuredFile) return "--fit needs --measured FILE";
  if (!options.sweeps.empty()) return "--fit cannot be combined with --sweep";
  if (options.resultFile || options.csvFile || options.depthCsvFile || options.summaryFile) {
    return "--fit cannot be combined with -o, --csv, --depth-csv or --summary";
  }
  return {};
}

// The digits a fitted value is shown with: ReadableDigits, or more when its interval is
// narrower, so that the value shows down to the interval's second digit.
int ValueDigits(double value, const std::optional<double>& halfWidth) {
  if (!halfWidth || value == 0 || !std::isfinite(value) || !(*halfWidth > 0)) return ReadableDigits;
  const double digits = std::floor(std::log10(std::fabs(value))) - std::floor(std::log10(*halfWidth)) + 2;
  return static_cast<int>(std::clamp(digits, static_cast<double>(ReadableDigits), 17.0));
}

void PrintResult(const FitResult& result, std::ostream& out) {
  for (const FittedValue& v : result.values) {
    const std::string unit = ReadableUnitOf(v.parameter.name);
    const std::string unitAfter = unit.empty() ? "" : " " + unit;
    out << v.parameter.name << '=' << ShortNumber(v.value, ValueDigits(v.value, v.halfWidth));
    if (!v.determined) {
      out << unitAfter << " (undetermined)";
    } else if (v.halfWidth) {
      out << " \u00b1 " << Significant3(*v.halfWidth) << unitAfter << " (95 %)";
    } else {
      out << unitAfter << " (no interval)";
    }
    out << '\n';
  }
  for (const QuantityRms& q : result.rms) {
    out << "RMS " << MeasuredColumnOf(q.quantity).title << " = " << Significant3(q.rms) << " ("
        << q.count << " measurements)\n";
  }
  out << "runs=" << result.runs << " (" << result.rejectedRuns << " stopped)\n";
  for (const std::string& warning : result.warnings) {
    out << "Warning: " << warning << '\n';
  }
}

}  // namespace

bool FitRequested(const BatchOptions& options) {
  return !options.fits.empty() || options.measuredFile.has_value();
}

int RunFitBatch(const BatchOptions& options, MapEntryTexts& entries, const LineSettings& line,
                std::ostream& out, UserMessages& messages) {
  if (const std::string conflict = FitConflict(options); !conflict.empty()) {
    messages.ShowMessage(conflict);
    return ExitUsage;
  }
  std::vector<FitParameter> parameters;
  for (const std::string& text : options.fits) {
    std::string error;
    std::optional<FitParameter> p = ParseFitParameter(text, error);
    if (!p) {
      messages.ShowMessage("--fit: " + error);
      return ExitUsage;
    }
    parameters.push_back(std::move(*p));
  }
  MeasuredData data;
  if (const int status = StatusOfFileWork(messages, [&] { data = ReadMeasuredData(*options.measuredFile); });
      status != ExitCompleted) {
    return status;
  }
  try {
    for (const std::string& sd : options.standardDeviations) ApplyStandardDeviation(data, sd);
  } catch (const UserError& e) {
    messages.ShowMessage(e.what());
    return ExitUsage;
  }

  FitOptions fitOptions;
  fitOptions.line = line;
  fitOptions.maxRuns = options.fitRuns;
  const FitResult result = FitToMeasurements(entries, parameters, data, fitOptions);
  if (result.status == FitStatus::Refused) {
    messages.ShowMessage("the fit cannot start: " + result.message);
    return ExitStoppedAtInput;
  }
  PrintResult(result, out);
  if (!result.converged()) {
    messages.ShowMessage("the fit did not converge: " + result.message);
    if (options.writeDataFile) messages.ShowMessage("no data file written");
    if (options.writeLineFile) messages.ShowMessage("no line file written");
    if (options.reportFile) messages.ShowMessage("no report written");
    return ExitFitNotConverged;
  }
  // The conditions' fitted values go into the data file, the drying model's into the line
  // settings.
  const int status = StatusOfFileWork(messages, [&] {
    if (options.writeDataFile) {
      for (const FittedEntry& e : FittedEntries(result)) entries.ForceText(e.entryName, e.text);
      WriteDataFile(*options.writeDataFile, entries);
    }
    if (options.writeLineFile) WriteLineFile(*options.writeLineFile, FittedLineSettings(result, line));
  });
  if (status != ExitCompleted) return status;
  // The report's run is the fitted one, the drying model's fitted parameters included.
  std::vector<std::string> fitted;
  for (const FittedValue& v : result.values) {
    // As the data file and the line file get them: an entry's text, a model parameter exactly.
    fitted.push_back(v.parameter.entryName.empty() ? v.parameter.name + "=" + ShortestNumberText(v.value)
                                                   : v.parameter.entryName + "=" + EntryNumberText(v.value));
  }
  return WriteReportOf(options, fitted, messages);
}

}  // namespace tovimar::batch
