#include "batch_run.h"

#include <exception>
#include <future>
#include <iostream>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conditionfile/data_file.h"
#include "conditionfile/material_choice.h"
#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "input/user_messages.h"
#include "batch_errors.h"
#include "batch_files.h"
#include "batch_report.h"
#include "batch_fit.h"
#include "batch_sweep.h"
#include "batch_design.h"
#include "batch_names.h"
#include "batch_optimise.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "model/model.h"
#include "results/depth_csv.h"
#include "results/profile_csv.h"
#include "results/summary_csv.h"
#include "input/read_conditions.h"
#include "input/zone_chain.h"
#include "run/run_sequence.h"

namespace tovimar::batch {

namespace {

// Every message is one line on the error stream.
class StreamMessages : public UserMessages {
 public:
  explicit StreamMessages(std::ostream& out) : out_(out) {}
  void ShowMessage(std::string_view text) override {
    out_ << "tovimar-batch: " << EscapeControlCharacters(text) << '\n';
    out_.flush();
  }

 private:
  std::ostream& out_;
};

// The full path the window's open dialog would give; the name as given if there is none.
std::string FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? path : full.string();
}

// The message of a run that did not complete; an input message names its field and text.
std::string OutcomeMessage(const RunOutcome& outcome, const EntryTexts& entries) {
  std::string message = RunMessageOf(outcome);
  if (outcome.style == MessageStyle::Notice && !outcome.entryName.empty()) {
    const ConditionField* field = FindField(outcome.entryName);
    const std::string name = field != nullptr ? FieldDisplayName(*field) : "Save File Name";
    message += " (" + name + ", " + outcome.entryName + ": \"" + entries.Text(outcome.entryName) + "\")";
  }
  return message;
}

// --design FILE, or standard input for "-".
int RunDesignFile(const BatchOptions& options, const MapEntryTexts& entries, const LineSettings& line,
                  std::ostream& out, UserMessages& messages) {
  constexpr std::string_view What = "design file";
  if (*options.design == "-") {
    FileSource in(What);
    return RunDesign(options, entries, line, in, out, messages);
  }
  std::optional<FileSource> in;
  try {
    in.emplace(*options.design, What);
  } catch (const FileError& e) {
    messages.ShowMessage(e.what());
    return ExitFileFailed;
  }
  return RunDesign(options, entries, line, *in, out, messages);
}

// The summary of a single run: one record with its outcome and the summary's values.
// Its zone groups are those of the entries' zone chain, whether the run completed or not.
std::string SingleRunSummary(const RunOutcome& outcome, const SummaryValues& values,
                             std::size_t zones) {
  std::string out = "run,outcome,message";
  AppendSummaryHeader(out, zones, outcome.model);
  EndCsvRecord(out);
  out += "1,";
  AppendCsvField(out, RunStatusText(outcome.status));
  out += ',';
  AppendCsvField(out, outcome.message);
  AppendSummaryValues(out, values, zones, outcome.model);
  EndCsvRecord(out);
  return out;
}

// Whether the line settings name a material.
bool HasRecordedMaterial(const LineSettings& line) {
  return !line.Solvent1.empty() || !line.Solvent2.empty() || !line.Polymer.empty();
}

// The warnings for the data file's values of disabled entries that differ from the ones in
// use; the library names a solvent they belong to when it can be read.
template <class Library>
std::vector<std::string> DataFileWarnings(const std::vector<KeptEntry>& kept, const EntryTexts& entries,
                                          const Library& materials) {
  std::vector<std::string> warnings = KeptEntryWarnings(kept, entries, nullptr);
  if (warnings.empty()) return warnings;
  try {
    return KeptEntryWarnings(kept, entries, &materials());
  } catch (const std::exception&) {
    return warnings;  // a library that cannot be read names no solvent
  }
}

int Run(const BatchOptions& options, std::ostream& out, UserMessages& messages) {
  // The whole command line is checked before anything is read or written.
  if (const std::optional<std::string> ignored = IgnoredOption(options)) {
    messages.ShowMessage(*ignored);
    return ExitUsage;
  }
  if (options.listNames) {
    ListNames(out);
    return ExitCompleted;
  }
  // The materials library is read once, when something needs it.
  std::optional<MaterialLibrary> library;
  const auto materials = [&]() -> const MaterialLibrary& {
    if (!library) library = LoadMaterialLibrary();
    return *library;
  };
  if (options.listMaterials) {
    return StatusOfFileWork(messages, [&] { ListMaterials(out, materials()); });
  }
  std::string error;
  const std::optional<std::string> dataFile = DataFileOf(options, error);
  if (!dataFile) {
    messages.ShowMessage(error);
    return ExitUsage;
  }
  std::vector<EntrySetting> settings;
  for (const std::string& setting : options.settings) {
    std::optional<EntrySetting> resolved = ResolveSetting(setting, error);
    if (!resolved) {
      messages.ShowMessage(error);
      return ExitUsage;
    }
    settings.push_back(std::move(*resolved));
  }
  const std::optional<std::vector<SweepAxis>> axes = SweepAxesOf(options, error);
  if (!axes) {
    messages.ShowMessage(error);
    return ExitUsage;
  }
  if ((options.csvFile || options.depthCsvFile || options.summaryFile) && !RunRequested(options)) {
    messages.ShowMessage(std::string(options.csvFile ? "--csv" : options.depthCsvFile ? "--depth-csv" : "--summary") +
                         " needs a run: add --run to --write-data");
    return ExitUsage;
  }
  // The report alone: tovimar-report reads the files and writes it.
  if (options.reportFile && !options.optimise && !FitRequested(options)) {
    if (const int status = CheckFilesOfCommand(options, *dataFile, MapEntryTexts(), *axes, messages);
        status != ExitCompleted) {
      return status;
    }
    return WriteReport(options, *dataFile, messages);
  }

  MapEntryTexts entries;
  LineSettings line;
  std::vector<KeptEntry> kept;  // the data file's values of the disabled entries
  if (!dataFile->empty()) {
    try {
      kept = LoadDataFile(FullPath(*dataFile), entries);
    } catch (const FileError& e) {  // missing, unreadable, not a data file: a file problem
      messages.ShowMessage(DataFileMessageOf(e, *dataFile));
      return ExitFileFailed;
    }
  }
  // The line file missing, unreadable or too long is a file problem; its content, a setting
  // or a material refused is refused input.
  if (const int status = StatusOfFileWork(messages, [&] {
        if (options.lineFile) {
          line = ReadLineFile(*options.lineFile);
          if (HasRecordedMaterial(line)) ApplyRecordedMaterials(materials(), entries, line);
        }
        for (const EntrySetting& setting : settings) {
          if (setting.material) {
            for (const std::string& keptValue :
                 ApplyMaterial(materials(), *setting.material, setting.text, entries, line)) {
              messages.ShowMessage("Warning: " + keptValue);
            }
          } else if (setting.entryName.empty()) {
            ApplyLineSetting(line, setting.lineAssignment);
          } else {
            entries.ForceText(setting.entryName, setting.text);
          }
        }
      });
      status != ExitCompleted) {
    return status;
  }
  // The named materials' values changed after the pick stay with the names in the line file.
  if (HasRecordedMaterial(line)) {
    RecordMaterialOverrides(materials(), entries, line);
  } else {
    line.MaterialOverrides.clear();
  }
  for (const std::string& warning : DataFileWarnings(kept, entries, materials)) {
    messages.ShowMessage(warning);
  }
  if (options.resultFile) {
    entries.SetText(SaveFileNameEntry, *options.resultFile);
  }
  if (options.depthCsvFile && line.Model.name != DiffusionModelName) {
    messages.ShowMessage("--depth-csv needs the diffusion model (--set Model=diffusion): the " +
                         line.Model.name + " model treats the coating as well mixed");
    return ExitUsage;
  }
  // Nothing is written when two of the files are one or an output cannot be written.
  if (const int status = CheckFilesOfCommand(options, *dataFile, entries, *axes, messages);
      status != ExitCompleted) {
    return status;
  }
  if (options.optimise) return RunOptimiseBatch(options, entries, line, out, messages);

  if (FitRequested(options)) return RunFitBatch(options, entries, line, out, messages);
  // A text a data file or the line file cannot hold is refused input.
  if (const int status = StatusOfFileWork(messages, [&] {
        if (options.writeDataFile) WriteDataFile(*options.writeDataFile, entries);
        if (options.writeLineFile) WriteLineFile(*options.writeLineFile, line);
      });
      status != ExitCompleted) {
    return status;
  }
  if (!axes->empty()) {
    return RunSweepBatch(options, *axes, entries, line, out, messages);
  }
  if (options.design) {
    return RunDesignFile(options, entries, line, out, messages);
  }
  if (!RunRequested(options)) {
    return ExitCompleted;
  }

  // The model's check marches on another core while the run itself marches.
  RunOptions run;
  run.model = line.Model;
  std::future<std::unique_ptr<ModelCheck>> check;
  if (DryingConditions read; !ReadConditions(read, entries)) {
    try {
      check = std::async(std::launch::async, [checker = MakeDryingModel(run.model), read] {
        return checker->MarchCheck(read);
      });
    } catch (const UserError&) {
      // A model that cannot be made: the run itself stops and says why.
    }
  }
  Simulation sim;
  RunOutcome outcome = RunSimulation(sim, entries, run);
  for (const std::string& warning : outcome.warnings) {
    messages.ShowMessage("Warning: " + warning);
  }
  if (!outcome.message.empty()) {
    messages.ShowMessage(OutcomeMessage(outcome, entries));
  }
  SummaryValues values;
  if (outcome.completed()) {
    try {
      const RunResults results = DeriveResultsAwaitingCheck(sim, line, [&] {
        return check.valid() ? check.get() : sim.model->MarchCheck(sim.conditions);
      });
      for (const std::string& warning : results.judgement.warnings) {
        messages.ShowMessage("Warning: " + warning);
      }
      // One line; above the limits it carries the warning (the lumped model's names the
      // Increment of z to try).
      const std::optional<std::string>& warning = results.check.warning;
      messages.ShowMessage(results.check.line + (warning ? " Warning: " + *warning : ""));
      if (options.csvFile) {
        WriteProfileCsv(*options.csvFile, results);
      }
      if (options.depthCsvFile) {
        WriteDepthCsv(*options.depthCsvFile, results, sim.model->ExitProfiles());
      }
      values = SummaryValuesOf(results);
    } catch (const FileError& e) {
      messages.ShowMessage(e.what());
      return ExitFileFailed;
    } catch (const UserError& e) {
      // A quantity of the run that cannot be formed or overflows: the run is an arithmetic
      // fault, and its summary record says so.
      messages.ShowMessage(e.what());
      outcome.status = RunStatus::ArithmeticFault;
      outcome.message = e.what();
      outcome.style = MessageStyle::Error;
      values = SummaryValues{};
    }
  }
  if (options.summaryFile) {
    if (const int status = WriteSummary(
            options.summaryFile,
            SingleRunSummary(outcome, values, static_cast<std::size_t>(ActiveZoneChain(entries).activeZones)),
            out, messages);
        status != ExitCompleted) {
      return status;
    }
  }
  return ExitStatusOf(outcome.status);
}

}  // namespace

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err) {
  StreamMessages messages(err);
  try {
    return Run(options, out, messages);
  } catch (const std::exception& e) {
    messages.ShowMessage(std::string("internal error: ") + e.what());
  } catch (...) {
    messages.ShowMessage("internal error");
  }
  return ExitInternalError;
}

}  // namespace tovimar::batch
