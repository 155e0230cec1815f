#include "batch_design.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "batch_files.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/zone_chain.h"
#include "results/summary_csv.h"
#include "run/run_sequence.h"

namespace tovimar::batch {

namespace {

// Reads one CSV record (RFC 4180: quoted fields may hold commas, quotes doubled, line
// breaks); false at the end of the input. A record ends at LF or CR LF.
bool ReadRecord(std::istream& in, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  bool quoted = false, any = false;
  for (int ch = in.get(); ch != EOF; ch = in.get()) {
    any = true;
    const char c = static_cast<char>(ch);
    if (quoted) {
      if (c == '"') {
        if (in.peek() == '"') {
          field += static_cast<char>(in.get());
        } else {
          quoted = false;
        }
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      if (!field.empty() && field.back() == '\r') field.pop_back();
      fields.push_back(std::move(field));
      return true;
    } else {
      field += c;
    }
  }
  if (any) {
    if (!field.empty() && field.back() == '\r') field.pop_back();
    fields.push_back(std::move(field));
  }
  return any;
}

bool HeaderWanted(const BatchOptions& options) {
  if (options.noHeader) {
    return false;
  }
  const char* seq = std::getenv("PARALLEL_SEQ");
  return seq == nullptr || std::string(seq) == "1";
}

// The zone groups of the summary, known before any run and the same for every chunk of a
// design: the base's chain, or all zones when the design sets an Outer Temperature.
std::size_t DesignZones(const MapEntryTexts& base, const std::vector<EntrySetting>& columns) {
  for (const EntrySetting& column : columns) {
    if (IsChainOuterTemperature(column.entryName)) {
      return MaxZones;
    }
  }
  return static_cast<std::size_t>(ActiveZoneChain(base).activeZones);
}

}  // namespace

int RunDesign(const BatchOptions& options, const MapEntryTexts& base, const LineSettings& line,
              std::istream& in, std::ostream& out, UserMessages& messages) {
  std::vector<std::string> header;
  if (!ReadRecord(in, header)) {
    messages.ShowMessage("--design: the design has no header record");
    return ExitUsage;
  }
  std::vector<EntrySetting> columns;
  for (const std::string& name : header) {
    std::string error;
    std::optional<EntrySetting> column = ResolveSetting(name + "=", error);
    if (!column) {
      messages.ShowMessage("--design: " + error.substr(error.find("no entry")));
      return ExitUsage;
    }
    columns.push_back(std::move(*column));
  }
  const std::size_t zones = DesignZones(base, columns);
  if (HeaderWanted(options)) {
    std::string text;
    for (const std::string& name : header) {
      AppendCsvField(text, name);
      text += ',';
    }
    text += "outcome,message";
    AppendSummaryHeader(text, zones);
    EndCsvRecord(text);
    out << text;
  }

  int status = ExitCompleted;
  Simulation sim;
  std::vector<std::string> fields;
  for (std::size_t record = 2; ReadRecord(in, fields); ++record) {
    if (fields.size() != columns.size()) {
      messages.ShowMessage("--design: record " + std::to_string(record) + " has " +
                           std::to_string(fields.size()) + " fields, the header " +
                           std::to_string(columns.size()));
      return ExitUsage;
    }
    MapEntryTexts entries = base;
    LineSettings settings = line;
    RunOutcome outcome;
    SummaryValues values;
    try {
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].entryName.empty()) {
          ApplyLineSetting(settings, header[i] + "=" + fields[i]);
        } else {
          entries.ForceText(columns[i].entryName, fields[i]);
        }
      }
      RunOptions runOptions;
      runOptions.writeResultFile = false;
      outcome = RunSimulation(sim, entries, runOptions);
      if (outcome.completed()) {
        values = SummaryValuesOf(DeriveResults(sim, settings));
      }
    } catch (const UserError& e) {
      // A value the line settings refuse, or a quantity of the run that overflows.
      outcome.status = e.kind() == ErrorKind::Arithmetic ? RunStatus::ArithmeticFault : RunStatus::StoppedAtInput;
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
    AppendSummaryValues(text, values, zones);
    EndCsvRecord(text);
    out << text;
    if (!out) {
      messages.ShowMessage(StandardOutputMessage(out));
      return ExitFileFailed;
    }
  }
  out.flush();
  if (in.bad()) {
    messages.ShowMessage("--design: the design could not be read to its end");
    return ExitFileFailed;
  }
  return status;
}

}  // namespace tovimar::batch
