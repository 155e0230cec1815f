#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/line_settings.h"
#include "model/model.h"
#include "results/judging.h"
#include "results/line_profile.h"
#include "results/zone_summary.h"

namespace tovimar {

// Everything derived from one completed run, computed once and read by every output.
struct RunResults {
  LineProfile line;
  ProfileSummary summary;
  RunJudgement judgement;
  // The name of the model that made the run, and what its check found (the lumped model's:
  // how much halving the Increment of z changes the printed profile).
  std::string model{DefaultModelName};
  ModelCheckResult check;
};

// Derives the results of the run that `sim` last completed (see ProfileAlongLine), judges
// them against the line settings and checks the run with its model's check: `check` when
// the caller marched it already (while the run itself marched), otherwise by marching it
// here. Throws UserError when a quantity cannot be formed, ArithmeticError (see CheckFinite)
// when one is not a finite number.
RunResults DeriveResults(const Simulation& sim, const LineSettings& settings = {},
                         const ModelCheck* check = nullptr);

// The same, with the check asked of `check` only once everything else is derived and
// judged, so that a check still marching on another thread has that long to finish.
RunResults DeriveResultsAwaitingCheck(const Simulation& sim, const LineSettings& settings,
                                      const std::function<std::unique_ptr<ModelCheck>()>& check);

// Where a quantity lives: at every point of the profile, once per zone, or once per line.
enum class OutputScope { Point, Zone, Line };

// Where a quantity is shown; a quantity may be shown in several places.
enum OutputPlace : unsigned {
  InProfileCsv = 1U << 0,  // a column of the profile CSV (point quantities)
  InSummary = 1U << 1,     // a column of the summary CSV (line and zone quantities)
  InZoneTable = 1U << 2,   // a column of the Drying Profile page's zone table
};

// One quantity a run yields: every fact about it lives here, and the profile CSV, the
// summary, the Drying Profile page's zone table and the batch tool's lists take it from this
// one catalogue. Exactly one of the three computations is set, the one of its scope (none for
// a number of a model's check: see fromCheck).
struct OutputQuantity {
  std::string_view name;     // stable name for the command line, e.g. "LineEndWebTemp"
  std::string_view caption;  // e.g. "line end web temperature"
  std::string_view unit;     // e.g. "C", "kg/m2"; empty for a ratio
  OutputScope scope = OutputScope::Point;
  unsigned places = 0;       // OutputPlace bits
  // The summary's column group: each group's line columns, then its zone columns zone by
  // zone, after the groups before it, so that a new group never moves an older column.
  int summaryGroup = 0;

  // A point quantity is one of the profile point's own values, or judged (none where the
  // point has no value).
  double (*point)(const ProfilePoint&) = nullptr;
  std::optional<double> (*judgedPoint)(const RunResults&, std::size_t index) = nullptr;
  // Of one zone of the summary (or of the whole line, LineAsZone, for the table's last row);
  // none where the quantity has no value.
  std::optional<double> (*zone)(const RunResults&, const ZoneSummary&) = nullptr;
  std::optional<double> (*line)(const RunResults&) = nullptr;

  // A number of a model's check (ModelCheckResult::Value by this name).
  bool fromCheck = false;
  // The model whose runs alone have the quantity (a check number, the drying-speed
  // correction, the inside of the coating); empty: a quantity of every model's runs.
  std::string_view model{};

  // +infinity is one of its values (the % of LEL of a zone given no exhaust air that
  // evaporates solvent); any other quantity that is not a finite number is a fault.
  bool unbounded = false;

  // The zone table's column: header, decimals and tooltip; what an empty cell means.
  std::string_view tableHeader{};
  int tableDecimals = 0;
  std::string_view tableTip{};
  std::string_view emptyTip{};

  [[nodiscard]] bool Shows(OutputPlace place) const { return (places & place) != 0; }
};

// Every output quantity, point quantities first, in the order of their columns.
const std::vector<OutputQuantity>& OutputQuantities();

// Every model's quantities, for QuantitiesIn.
inline constexpr std::string_view AnyModel{};

// The quantities shown in `place` for the runs of `model` (AnyModel: of every model), in
// catalogue order. By default the default model's, whose columns a caller that does not yet
// know the run's model shows.
std::vector<const OutputQuantity*> QuantitiesIn(OutputPlace place,
                                                std::string_view model = DefaultModelName);

// The quantity of this stable name; nullptr when there is none.
const OutputQuantity* FindOutput(std::string_view name);

// The column title of a quantity: its caption with the unit in parentheses ("web temperature
// (C)"); for a zone quantity preceded by the zone ("zone 2 exit web temperature (C)").
std::string ColumnTitle(const OutputQuantity& quantity, int zone = 0);
// The caption with the unit in parentheses, without a zone: "exit web temperature (C)".
std::string CaptionAndUnit(const OutputQuantity& quantity);

// The value of a point quantity at point `index` of the line profile.
std::optional<double> PointValue(const OutputQuantity& quantity, const RunResults& results,
                                 std::size_t index);

// Throws ArithmeticError when a value of `results` is not a finite number (an overflow, or
// an invalid operation), naming the first such quantity, and for a point quantity its zone
// and step: "Arithmetic error in zone 3, step 12: overflow in the residual solvent (g/m2)."
// +infinity of an unbounded quantity is a value. (results/finite_check.cpp)
void CheckFinite(const RunResults& results);

// The value of a line quantity, or of a zone quantity in zone `zone` (1-based; none when the
// run has fewer zones).
std::optional<double> LineValue(const OutputQuantity& quantity, const RunResults& results);
std::optional<double> ZoneValue(const OutputQuantity& quantity, const RunResults& results,
                                std::size_t zone);

// Whether a summary of runs of `model` shows the quantity (one of another model's check
// numbers it does not).
bool ShownFor(const OutputQuantity& quantity, std::string_view model);

}  // namespace tovimar
