#include "results/output_catalogue.h"

#include <algorithm>
#include <string>

namespace tovimar {

namespace {

// Everything but the model's check.
RunResults DeriveUnchecked(const Simulation& sim, const LineSettings& settings) {
  RunResults results;
  results.model = std::string(sim.model->Name());
  results.line = ProfileAlongLine(sim);
  results.summary = SummarizeProfile(results.line);
  JudgeRun(sim.conditions, settings, results.line, results.summary, results.judgement);
  return results;
}

}  // namespace

RunResults DeriveResults(const Simulation& sim, const LineSettings& settings, const ModelCheck* check) {
  const ModelCheckResult checked = check != nullptr ? check->Compare(sim)
                                                    : sim.model->MarchCheck(sim.conditions)->Compare(sim);
  RunResults results = DeriveUnchecked(sim, settings);
  results.check = checked;
  CheckFinite(results);
  return results;
}

RunResults DeriveResultsAwaitingCheck(const Simulation& sim, const LineSettings& settings,
                                      const std::function<std::unique_ptr<ModelCheck>()>& check) {
  RunResults results = DeriveUnchecked(sim, settings);
  results.check = check()->Compare(sim);
  CheckFinite(results);
  return results;
}

namespace {

using Q = OutputQuantity;
using S = OutputScope;
constexpr unsigned Csv = InProfileCsv;
constexpr unsigned Summary = InSummary;
constexpr unsigned Table = InZoneTable;

Q Point(std::string_view name, std::string_view caption, std::string_view unit,
        double (*compute)(const ProfilePoint&)) {
  return Q{.name = name, .caption = caption, .unit = unit, .scope = S::Point, .places = Csv, .point = compute};
}

Q Zone(std::string_view name, std::string_view caption, std::string_view unit, unsigned places,
       std::optional<double> (*compute)(const RunResults&, const ZoneSummary&),
       std::string_view header = {}, int decimals = 0, std::string_view tip = {},
       std::string_view emptyTip = {}) {
  return Q{.name = name, .caption = caption, .unit = unit, .scope = S::Zone, .places = places,
           .zone = compute, .tableHeader = header, .tableDecimals = decimals, .tableTip = tip,
           .emptyTip = emptyTip};
}

Q Line(std::string_view name, std::string_view caption, std::string_view unit, unsigned places,
       std::optional<double> (*compute)(const RunResults&)) {
  return Q{.name = name, .caption = caption, .unit = unit, .scope = S::Line, .places = places, .line = compute};
}

Q Judged(std::string_view name, std::string_view caption, std::string_view unit,
         std::optional<double> (*compute)(const RunResults&, std::size_t)) {
  Q q = Point(name, caption, unit, nullptr);
  q.judgedPoint = compute;
  return q;
}

Q Grouped(Q q, int group) {
  q.summaryGroup = group;
  return q;
}

Q Unbounded(Q q) {
  q.unbounded = true;
  return q;
}

Q Of(std::string_view model, Q q) {
  q.model = model;
  return q;
}

const ProfilePoint& LineEnd(const RunResults& r) { return r.line.points.back(); }

// The inside of the coating at every point (the diffusion model's runs).
void AddInsidePoints(std::vector<Q>& q) {
  const std::string_view d = DiffusionModelName;
  q.push_back(Of(d, Point("Solvent1SurfaceFraction", "solvent-1 surface weight fraction", "",
                          [](const ProfilePoint& p) { return p.surface1; })));
  q.push_back(Of(d, Point("Solvent2SurfaceFraction", "solvent-2 surface weight fraction", "",
                          [](const ProfilePoint& p) { return p.surface2; })));
  q.push_back(Of(d, Point("Solvent1BaseFraction", "solvent-1 base-film weight fraction", "",
                          [](const ProfilePoint& p) { return p.base1; })));
  q.push_back(Of(d, Point("Solvent2BaseFraction", "solvent-2 base-film weight fraction", "",
                          [](const ProfilePoint& p) { return p.base2; })));
  q.push_back(Of(d, Point("SkinRatio", "skin ratio", "", [](const ProfilePoint& p) { return p.skinRatio; })));
}

// The same at each zone's exit (summary group 3, after the check numbers).
template <double CoatingExit::*Member>
std::optional<double> ExitInside(const RunResults&, const ZoneSummary& z) {
  return z.exitInside ? std::optional((*z.exitInside).*Member) : std::nullopt;
}

void AddInsideZones(std::vector<Q>& q) {
  const auto zone = [&q](std::string_view name, std::string_view caption,
                         std::optional<double> (*compute)(const RunResults&, const ZoneSummary&),
                         std::string_view header, std::string_view tip) {
    q.push_back(Of(DiffusionModelName, Grouped(Zone(name, caption, "", Summary | Table, compute, header, 4, tip), 3)));
  };
  zone("ZoneExitSolvent1Surface", "exit solvent-1 surface weight fraction", ExitInside<&CoatingExit::surface1>,
       "Surface\nw1", "Weight fraction of solvent-1 at the coating's surface at the zone's exit.");
  zone("ZoneExitSolvent2Surface", "exit solvent-2 surface weight fraction", ExitInside<&CoatingExit::surface2>,
       "Surface\nw2", "Weight fraction of solvent-2 at the coating's surface at the zone's exit.");
  zone("ZoneExitSolvent1Base", "exit solvent-1 base-film weight fraction", ExitInside<&CoatingExit::base1>,
       "Base\nw1", "Weight fraction of solvent-1 at the base film at the zone's exit.");
  zone("ZoneExitSolvent2Base", "exit solvent-2 base-film weight fraction", ExitInside<&CoatingExit::base2>,
       "Base\nw2", "Weight fraction of solvent-2 at the base film at the zone's exit.");
  zone("ZoneExitSkinRatio", "exit skin ratio", ExitInside<&CoatingExit::skinRatio>, "Skin\nratio",
       "The surface's solvent content over the coating's mean at the zone's exit; below 0.1 a "
       "skin holds the solvent in.");
}

// The judged records of a zone (none for the whole line's row, zone 0).
const ZoneBoiling* BoilingOf(const RunResults& r, const ZoneSummary& z) {
  const auto i = static_cast<std::size_t>(z.zone - 1);
  return z.zone >= 1 && i < r.judgement.boiling.size() ? &r.judgement.boiling[i] : nullptr;
}
const ZoneExhaust* ExhaustOf(const RunResults& r, const ZoneSummary& z) {
  const auto i = static_cast<std::size_t>(z.zone - 1);
  return z.zone >= 1 && i < r.judgement.exhaust.size() ? &r.judgement.exhaust[i] : nullptr;
}

// Judging: residual solvent, boiling margin and exhaust safety (summary group 1).
void AddJudging(std::vector<Q>& q) {
  q.push_back(Judged("ResidualSolvent", "residual solvent", "g/m2", [](const RunResults& r, std::size_t i) {
    return i < r.judgement.residualGrams.size() ? std::optional(r.judgement.residualGrams[i]) : std::nullopt;
  }));
  q.push_back(Judged("ResidualSolventPercent", "residual solvent", "% of solid",
                     [](const RunResults& r, std::size_t i) {
                       return i < r.judgement.residualPercent.size()
                                  ? std::optional(r.judgement.residualPercent[i]) : std::nullopt;
                     }));
  q.push_back(Judged("BoilingMargin", "boiling margin", "K", [](const RunResults& r, std::size_t i) {
    return i < r.judgement.boilingMargin.size() ? r.judgement.boilingMargin[i] : std::nullopt;
  }));

  q.push_back(Grouped(Line("LineEndResidualSolvent", "line end residual solvent", "g/m2", Summary,
                           [](const RunResults& r) { return std::optional(r.judgement.line.endResidual.grams); }),
                      1));
  q.push_back(Grouped(Line("LineEndResidualSolventPercent", "line end residual solvent", "% of solid",
                           Summary,
                           [](const RunResults& r) {
                             return std::optional(r.judgement.line.endResidual.percentOfSolid);
                           }),
                      1));
  q.push_back(Grouped(Line("LeastBoilingMargin", "least boiling margin", "K", Summary,
                           [](const RunResults& r) { return r.judgement.line.leastMargin; }),
                      1));
  q.push_back(Unbounded(Grouped(Line("MaxZoneLEL", "highest zone exhaust LEL", "%", Summary,
                                     [](const RunResults& r) { return r.judgement.line.maxPercentLEL; }),
                                1)));
  q.push_back(Grouped(Line("ResidualTargetPosition", "residual target reached at", "m", Summary,
                           [](const RunResults& r) {
                             return r.judgement.residualTarget ? r.judgement.residualTarget->position
                                                               : std::nullopt;
                           }),
                      1));
  q.push_back(Grouped(Line("ResidualTargetShortfall", "residual target missed by", "g/m2", Summary,
                           [](const RunResults& r) {
                             return r.judgement.residualTarget
                                        ? std::optional(r.judgement.residualTarget->shortfall)
                                        : std::nullopt;
                           }),
                      1));

  q.push_back(Grouped(
      Zone("ZoneExitResidualSolvent", "exit residual solvent", "g/m2", Summary | Table,
           [](const RunResults&, const ZoneSummary& z) { return std::optional((z.exitWeight1 + z.exitWeight2) * 1000); },
           "Residual\n(g/m2)", 3, "Solvent left in the coating at the zone's exit, both solvents."),
      1));
  q.push_back(Grouped(
      Zone("ZoneLeastBoilingMargin", "least boiling margin", "K", Summary | Table,
           [](const RunResults& r, const ZoneSummary& z) {
             if (const ZoneBoiling* b = BoilingOf(r, z)) return b->leastMargin;
             return z.zone == 0 ? r.judgement.line.leastMargin : std::nullopt;
           },
           "Least\nmargin\n(K)", 1,
           "The least distance of the web temperature below the coating's bubble temperature "
           "in the zone; negative where the coating boils.",
           "No solvent left: nothing can boil."),
      1));
  q.push_back(Grouped(
      Zone("ZoneSolvent1Rate", "solvent-1 evaporation rate", "kg/h", Summary,
           [](const RunResults& r, const ZoneSummary& z) {
             const ZoneExhaust* e = ExhaustOf(r, z);
             return e != nullptr ? std::optional(e->rate1) : std::nullopt;
           }),
      1));
  q.push_back(Grouped(
      Zone("ZoneSolvent2Rate", "solvent-2 evaporation rate", "kg/h", Summary,
           [](const RunResults& r, const ZoneSummary& z) {
             const ZoneExhaust* e = ExhaustOf(r, z);
             return e != nullptr ? std::optional(e->rate2) : std::nullopt;
           }),
      1));
  q.push_back(Unbounded(Grouped(
      Zone("ZoneExhaustLEL", "exhaust LEL", "%", Summary | Table,
           [](const RunResults& r, const ZoneSummary& z) {
             if (const ZoneExhaust* e = ExhaustOf(r, z)) return e->percentLEL;
             return z.zone == 0 ? r.judgement.line.maxPercentLEL : std::nullopt;
           },
           "Exhaust\n(% LEL)", 1,
           "The solvent concentration of the zone's exhaust in % of the lower explosive limit; "
           "the line row gives the highest zone. Unbounded where the zone has no exhaust air "
           "(a flow of 0) but evaporates solvent.",
           "No exhaust flow given for the zone (see the line settings)."),
      1)));
  q.push_back(Grouped(
      Zone("ZoneLeastExhaustFlow", "least exhaust flow", "m3/h", Summary,
           [](const RunResults& r, const ZoneSummary& z) {
             const ZoneExhaust* e = ExhaustOf(r, z);
             return e != nullptr ? e->leastFlow : std::nullopt;
           }),
      1));
}

std::vector<Q> MakeCatalogue() {
  std::vector<Q> q;
  // The profile CSV's columns, in order.
  q.push_back(Point("Zone", "zone", "", [](const ProfilePoint& p) { return double(p.zone); }));
  q.push_back(Point("Step", "step", "", [](const ProfilePoint& p) { return double(p.step); }));
  q.push_back(Point("Time", "time", "s", [](const ProfilePoint& p) { return p.time; }));
  q.push_back(Point("PositionInZone", "position in zone", "m",
                    [](const ProfilePoint& p) { return p.positionInZone; }));
  q.push_back(Point("Position", "position along the line", "m",
                    [](const ProfilePoint& p) { return p.position; }));
  q.push_back(Point("WebTemp", "web temperature", "C", [](const ProfilePoint& p) { return p.temp; }));
  q.push_back(Point("Solvent1Weight", "solvent-1 weight", "kg/m2",
                    [](const ProfilePoint& p) { return p.weight1; }));
  q.push_back(Point("Solvent2Weight", "solvent-2 weight", "kg/m2",
                    [](const ProfilePoint& p) { return p.weight2; }));
  q.push_back(Point("Residual1", "solvent-1 residual ratio", "",
                    [](const ProfilePoint& p) { return p.residual1; }));
  q.push_back(Point("Residual2", "solvent-2 residual ratio", "",
                    [](const ProfilePoint& p) { return p.residual2; }));
  q.push_back(Point("Solvent1Fraction", "solvent-1 weight fraction", "",
                    [](const ProfilePoint& p) { return p.fraction1; }));
  q.push_back(Point("Solvent2Fraction", "solvent-2 weight fraction", "",
                    [](const ProfilePoint& p) { return p.fraction2; }));
  q.push_back(Of(LumpedModelName, Point("DryingCorrection", "drying-speed correction", "",
                                         [](const ProfilePoint& p) { return p.dryingCorrection; })));
  AddInsidePoints(q);

  // The line as a whole; the summary's line-end columns, in order.
  q.push_back(Line("LineEndWebTemp", "line end web temperature", "C", Summary,
                   [](const RunResults& r) { return std::optional(LineEnd(r).temp); }));
  q.push_back(Line("LineEndResidual1", "line end solvent-1 residual ratio", "", Summary,
                   [](const RunResults& r) { return std::optional(LineEnd(r).residual1); }));
  q.push_back(Line("LineEndResidual2", "line end solvent-2 residual ratio", "", Summary,
                   [](const RunResults& r) { return std::optional(LineEnd(r).residual2); }));
  q.push_back(Line("LineLength", "line length", "m", 0,
                   [](const RunResults& r) { return std::optional(LineEnd(r).position); }));
  q.push_back(Line("MaxWebTemp", "highest web temperature", "C", 0, [](const RunResults& r) {
    double highest = r.line.points.front().temp;
    for (const ProfilePoint& p : r.line.points) {
      highest = std::max(highest, p.temp);
    }
    return std::optional(highest);
  }));

  // Each zone; the summary's zone columns and the zone table's columns, in order.
  q.push_back(Zone("ZoneExitPosition", "exit position along the line", "m", Table,
                   [](const RunResults&, const ZoneSummary& z) { return std::optional(z.exitPosition); },
                   "Exit at\n(m)", 3, "Position of the zone's exit from the entrance of zone 1."));
  q.push_back(Zone("ZoneExitWebTemp", "exit web temperature", "C", Summary | Table,
                   [](const RunResults&, const ZoneSummary& z) { return std::optional(z.exitTemp); },
                   "Exit temp.\n(deg C)", 2, "Web temperature at the zone's exit."));
  q.push_back(Zone("ZoneExitResidual1", "exit solvent-1 residual ratio", "", Summary | Table,
                   [](const RunResults&, const ZoneSummary& z) { return std::optional(z.exitResidual1); },
                   "Residual\nratio 1", 4, "Residual ratio of solvent-1 at the zone's exit."));
  q.push_back(Zone("ZoneExitResidual2", "exit solvent-2 residual ratio", "", Summary | Table,
                   [](const RunResults&, const ZoneSummary& z) { return std::optional(z.exitResidual2); },
                   "Residual\nratio 2", 4, "Residual ratio of solvent-2 at the zone's exit."));
  q.push_back(Zone("ZoneEvaporated1", "solvent-1 evaporated", "g/m2", Table,
                   [](const RunResults&, const ZoneSummary& z) { return std::optional(z.evaporated1); },
                   "Solvent-1\nevaporated\n(g/m2)", 3,
                   "Solvent-1 evaporated in the zone (weight at entry minus weight at exit); "
                   "negative when it condenses."));
  q.push_back(Zone("ZoneEvaporated2", "solvent-2 evaporated", "g/m2", Table,
                   [](const RunResults&, const ZoneSummary& z) { return std::optional(z.evaporated2); },
                   "Solvent-2\nevaporated\n(g/m2)", 3,
                   "Solvent-2 evaporated in the zone; negative when it condenses."));
  q.push_back(Zone("ZoneEvaporatedShare", "share of the solvent evaporated", "%", Table,
                   [](const RunResults&, const ZoneSummary& z) {
                     return z.share ? std::optional(*z.share * 100) : std::nullopt;
                   },
                   "Share\n(%)", 1,
                   "The zone's part of the net solvent evaporated over the whole line; empty "
                   "when the line as a whole evaporated nothing or took solvent up.",
                   "The line as a whole evaporated no solvent."));
  AddJudging(q);
  AddInsideZones(q);

  // The numbers of the models' checks (summary group 2), each shown for its model's runs.
  for (const CheckQuantity& check : CheckQuantities()) {
    Q line = Grouped(Line(check.name, check.caption, check.unit, Summary, nullptr), 2);
    line.model = check.model;
    line.fromCheck = true;
    q.push_back(line);
  }
  return q;
}

}  // namespace

const std::vector<OutputQuantity>& OutputQuantities() {
  static const std::vector<OutputQuantity> catalogue = MakeCatalogue();
  return catalogue;
}

std::vector<const OutputQuantity*> QuantitiesIn(OutputPlace place, std::string_view model) {
  std::vector<const OutputQuantity*> shown;
  for (const OutputQuantity& quantity : OutputQuantities()) {
    if (quantity.Shows(place) && (model.empty() || ShownFor(quantity, model))) {
      shown.push_back(&quantity);
    }
  }
  return shown;
}

const OutputQuantity* FindOutput(std::string_view name) {
  for (const OutputQuantity& quantity : OutputQuantities()) {
    if (quantity.name == name) {
      return &quantity;
    }
  }
  return nullptr;
}

std::string CaptionAndUnit(const OutputQuantity& quantity) {
  std::string text(quantity.caption);
  if (!quantity.unit.empty()) {
    text += " (";
    text += quantity.unit;
    text += ')';
  }
  return text;
}

std::string ColumnTitle(const OutputQuantity& quantity, int zone) {
  if (quantity.scope == OutputScope::Zone) {
    return "zone " + std::to_string(zone) + " " + CaptionAndUnit(quantity);
  }
  return CaptionAndUnit(quantity);
}

std::optional<double> PointValue(const OutputQuantity& quantity, const RunResults& results,
                                 std::size_t index) {
  if (quantity.point != nullptr) {
    return index < results.line.points.size() ? std::optional(quantity.point(results.line.points[index]))
                                              : std::nullopt;
  }
  return quantity.judgedPoint != nullptr ? quantity.judgedPoint(results, index) : std::nullopt;
}

std::optional<double> LineValue(const OutputQuantity& quantity, const RunResults& results) {
  if (results.line.points.empty()) {
    return std::nullopt;
  }
  if (quantity.fromCheck) {
    return results.check.Value(quantity.name);
  }
  return quantity.line != nullptr ? quantity.line(results) : std::nullopt;
}

bool ShownFor(const OutputQuantity& quantity, std::string_view model) {
  return quantity.model.empty() || quantity.model == model;
}

std::optional<double> ZoneValue(const OutputQuantity& quantity, const RunResults& results,
                                std::size_t zone) {
  if (quantity.zone == nullptr || zone < 1 || zone > results.summary.zones.size()) {
    return std::nullopt;
  }
  return quantity.zone(results, results.summary.zones[zone - 1]);
}

}  // namespace tovimar
