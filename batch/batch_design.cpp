#include "batch_design.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "batch_files.h"
#include "batch_progress.h"
#include "conditionfile/material_library.h"
#include "format/csv.h"
#include "input/zone_chain.h"
#include "results/summary_csv.h"
#include "run/run_sequence.h"
#include "study/design.h"

namespace tovimar::batch {

namespace {

bool HeaderWanted(const BatchOptions& options) {
  if (options.noHeader) {
    return false;
  }
  const char* seq = std::getenv("PARALLEL_SEQ");
  return seq == nullptr || std::string(seq) == "1";
}

// The zone groups of the summary, known before any run and the same for every chunk of a
// design: the base's chain, or all zones when the design sets an Outer Temperature.
std::size_t DesignZones(const MapEntryTexts& base, const std::vector<SettingName>& columns) {
  for (const SettingName& column : columns) {
    if (IsChainOuterTemperature(column.entryName)) {
      return MaxZones;
    }
  }
  return static_cast<std::size_t>(ActiveZoneChain(base).activeZones);
}

}  // namespace

int RunDesign(const BatchOptions& options, const MapEntryTexts& base, const LineSettings& line,
              InputSource& in, std::ostream& out, UserMessages& messages) {
  const std::string name = *options.design == "-" ? "standard input" : *options.design;
  int status = ExitCompleted;
  ProgressLine progress("design", std::nullopt, true);
  try {
    DesignReader design(in, name);
    const std::vector<SettingName>& columns = design.Columns();
    const std::size_t zones = DesignZones(base, columns);
    // A column of materials sets each run's material as --set does, from the library.
    std::optional<MaterialLibrary> library;
    if (NeedsMaterialLibrary(columns)) library = LoadMaterialLibrary();
    RunOptions runOptions;
    runOptions.writeResultFile = false;
    runOptions.model = line.Model;
    const std::string_view model = runOptions.model.name;
    if (HeaderWanted(options)) {
      std::string text;
      for (const SettingName& column : columns) {
        AppendCsvField(text, column.name);
        text += ',';
      }
      text += "outcome,message";
      AppendSummaryHeader(text, zones, model);
      EndCsvRecord(text);
      out << text;
    }
    Simulation sim;
    std::vector<std::string> fields;
    std::size_t runs = 0;
    while (design.Next(fields)) {
      MapEntryTexts entries = base;
      LineSettings settings = line;
      RunOutcome outcome;
      SummaryValues values;
      try {
        ApplyDesignRecord(columns, fields, entries, settings, library ? &*library : nullptr);
        runOptions.model = settings.Model;
        outcome = RunSimulation(sim, entries, runOptions);
        if (outcome.completed()) {
          values = SummaryValuesOf(DeriveResults(sim, settings));
        }
      } catch (const UserError& e) {
        // A value the line settings refuse, or a quantity of the run that overflows.
        outcome.status = e.kind() == ErrorKind::Arithmetic ? RunStatus::ArithmeticFault
                                                           : RunStatus::StoppedAtInput;
        outcome.message = e.what();
      }
      if (!outcome.completed() && status == ExitCompleted) {
        status = ExitStatusOf(outcome.status);
      }
      std::string text;
      for (const std::string& field : fields) {
        AppendCsvField(text, field);
        text += ',';
      }
      AppendCsvField(text, RunStatusText(outcome.status));
      text += ',';
      AppendCsvField(text, outcome.message);
      AppendSummaryValues(text, values, zones, model);
      EndCsvRecord(text);
      out << text;
      if (!out) {
        progress.End();
        messages.ShowMessage(StandardOutputMessage(out));
        return ExitFileFailed;
      }
      progress.Count(++runs);
    }
  } catch (const DesignError& e) {
    out.flush();
    progress.End();
    messages.ShowMessage(std::string("--design: ") + e.what());
    return ExitUsage;
  } catch (const FileError& e) {  // cannot be read, or a record beyond the bound
    out.flush();
    progress.End();
    messages.ShowMessage(e.what());
    return ExitFileFailed;
  } catch (const MaterialLibraryError& e) {  // the library a material column needs is refused
    out.flush();
    progress.End();
    messages.ShowMessage(e.what());
    return ExitStoppedAtInput;
  }
  out.flush();
  return status;
}

}  // namespace tovimar::batch
