// tovimar-report: writes the printable report of one run as a PDF, without a window. The
// conditions are formed as tovimar-batch forms those of a single run (the window's defaults,
// then the data file, the line file and every --set in order); the run is made in memory,
// so no result file is written. tovimar-batch --report starts this program.
//
//   tovimar-report --output FILE.pdf [--data FILE | DATAFILE] [--line FILE] [--set NAME=TEXT]...
//   tovimar-report --help | --version
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>
#include <stdlib.h>

#include <QApplication>
#include <QFile>

#include "conditionfile/data_file.h"
#include "conditionfile/line_file.h"
#include "conditionfile/material_choice.h"
#include "format/file_writer.h"
#include "input/field_catalogue.h"
#include "run/run_sequence.h"
#include "ui/widgets/run_report.h"

namespace {

using namespace tovimar;

// The exit statuses, the same as tovimar-batch gives for a single run.
enum Exit : int {
  Written = 0,
  InternalError = 1,
  Usage = 2,
  StoppedAtInput = 3,
  FileFailed = 4,
  ArithmeticFault = 5,
  ModelDoesNotHold = 6,
};

struct Arguments {
  std::string output;
  std::string dataFile;
  std::string lineFile;
  std::vector<std::string> settings;
};

int Fail(int status, std::string_view message) {
  std::cerr << "tovimar-report: " << message << '\n';
  return status;
}

constexpr const char* Description =
    "Writes the printable report of one run as a PDF, without a window. The conditions are "
    "formed as tovimar-batch forms those of a single run: the window's defaults, then the data "
    "file, the line file and every --set in order. The run is made in memory: no result file "
    "is written.";

constexpr const char* Footer = R"(Exit status: as tovimar-batch gives for a single run:
  0  the report was written
  2  the command line is wrong
  3  the conditions cannot be used (an input message, a line setting refused)
  4  a file could not be read or the report could not be written
  5  an arithmetic fault
  6  the model does not hold (an unstable step, a boiling coating)
  1  an unexpected internal error)";

// The command line's options.
void AddOptions(CLI::App& app, Arguments& args, std::string& positionalData) {
  app.name("tovimar-report");
  app.description(Description);
  app.footer(Footer);
  app.set_version_flag("--version", "tovimar-report " TOVIMAR_VERSION);
  app.add_option("DATAFILE", positionalData, "Data file to load (the same as --data)");
  app.add_option("-o,--output", args.output, "The report to write (PDF)")->type_name("FILE.pdf")->required();
  app.add_option("--data", args.dataFile, "Data file to load before the --set options")->type_name("FILE");
  app.add_option("--line", args.lineFile, "Line settings to load (JSON)")->type_name("FILE");
  app.add_option("--set", args.settings, "Set an entry or a line setting (repeatable), as tovimar-batch does")
      ->type_name("NAME=TEXT")
      ->allow_extra_args(false)
      ->take_all();
}

// Applies one --set NAME=TEXT to the entries, the line settings or, for a material, both.
// Throws UserError for a line setting or material that is refused; a message for a name that
// is unknown.
std::optional<std::string> Apply(std::string_view setting, MapEntryTexts& entries, LineSettings& line) {
  const std::size_t equals = setting.find('=');
  if (equals == std::string_view::npos) {
    return "--set needs NAME=TEXT, got \"" + std::string(setting) + "\"";
  }
  const std::string_view name = setting.substr(0, equals);
  const std::string text(setting.substr(equals + 1));
  if (const std::optional<MaterialSlot> slot = FindMaterialSlot(name)) {
    for (const std::string& kept : ApplyMaterial(LoadMaterialLibrary(), *slot, text, entries, line)) {
      std::cerr << "tovimar-report: Warning: " << kept << '\n';
    }
  } else if (name == SaveFileNameEntry || name == SaveFileNameField) {
    entries.ForceText(SaveFileNameEntry, text);
  } else if (const ConditionField* field = FindField(name)) {
    entries.ForceText(field->entryName, text);
  } else {
    ApplyLineSetting(line, setting);  // refuses an unknown name too
  }
  return std::nullopt;
}

// Qt wants a directory of the user's own for runtime files and says so on standard error when
// the session has none (XDG_RUNTIME_DIR unset, as under cron or ssh without a login session).
// The report keeps nothing there: a private directory stands in for it while the program
// runs, so that the only lines on standard error are the report's own.
class PrivateRuntimeDirectory {
 public:
  PrivateRuntimeDirectory() {
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given != nullptr && *given != '\0') return;
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "tovimar-report-XXXXXX").string();
    if (error || ::mkdtemp(pattern.data()) == nullptr) return;  // Qt then says what it misses
    path_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  PrivateRuntimeDirectory(const PrivateRuntimeDirectory&) = delete;
  PrivateRuntimeDirectory& operator=(const PrivateRuntimeDirectory&) = delete;
  ~PrivateRuntimeDirectory() {
    if (path_.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }

 private:
  std::string path_;
};

int ExitOf(RunStatus status) {
  switch (status) {
    case RunStatus::Completed: return Written;
    case RunStatus::StoppedAtInput: return StoppedAtInput;
    case RunStatus::FileNotOpened:
    case RunStatus::WriteFailed: return FileFailed;
    case RunStatus::ArithmeticFault: return ArithmeticFault;
    case RunStatus::Unstable:
    case RunStatus::Boiling: return ModelDoesNotHold;
    case RunStatus::InternalError: break;
  }
  return InternalError;
}

int Report(const Arguments& args) {
  MapEntryTexts entries;
  LineSettings line;
  try {
    if (!args.dataFile.empty()) {
      std::error_code error;
      const std::filesystem::path full = std::filesystem::absolute(args.dataFile, error);
      LoadDataFile(error ? args.dataFile : full.string(), entries);
    }
  } catch (const FileError& e) {
    return Fail(FileFailed, std::string(e.what()) + " (" + args.dataFile + ")");
  }
  try {
    if (!args.lineFile.empty()) {
      line = ReadLineFile(args.lineFile);
      // The materials it names, with the values it keeps changed, as tovimar-batch takes them.
      if (!line.Solvent1.empty() || !line.Solvent2.empty() || !line.Polymer.empty()) {
        ApplyRecordedMaterials(LoadMaterialLibrary(), entries, line);
      }
    }
  } catch (const UserError& e) {  // the message names the line file
    return Fail(e.kind() == ErrorKind::File ? FileFailed : StoppedAtInput, e.what());
  }
  try {
    for (const std::string& setting : args.settings) {
      if (const std::optional<std::string> error = Apply(setting, entries, line)) {
        return Fail(Usage, *error);
      }
    }
    // The named materials' values changed after the pick: the report says so.
    if (!line.Solvent1.empty() || !line.Solvent2.empty() || !line.Polymer.empty()) {
      RecordMaterialOverrides(LoadMaterialLibrary(), entries, line);
    }
  } catch (const UserError& e) {
    return Fail(StoppedAtInput, e.what());
  }

  const ui::ReportRun run = ui::RunForReport(entries, line);
  for (const std::string& warning : run.warnings) {
    std::cerr << "tovimar-report: Warning: " << warning << '\n';
  }
  if (!run.outcome.completed()) {
    return Fail(ExitOf(run.outcome.status), run.outcome.message);
  }
  ui::ReportSources sources;
  sources.dataFile = QFile::decodeName(args.dataFile.c_str());
  sources.lineFile = QFile::decodeName(args.lineFile.c_str());
  const QByteArray pdf = ui::RenderRunReport(run, entries, line, sources);
  if (pdf.isEmpty()) {
    return Fail(InternalError, "the report could not be drawn");
  }
  try {
    ui::WriteRunReport(args.output, pdf);
  } catch (const FileError& e) {
    return Fail(FileFailed, e.what());
  }
  return Written;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  std::string positionalData;
  CLI::App app;
  AddOptions(app, args, positionalData);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      return app.exit(e, std::cout, std::cerr);  // --help, --version
    }
    std::cerr << "tovimar-report: " << e.what() << "\nRun with --help for more information.\n";
    return Usage;
  }
  if (!args.dataFile.empty() && !positionalData.empty()) {
    return Fail(Usage, "give one data file, either with --data or as DATAFILE, not both");
  }
  if (args.dataFile.empty()) args.dataFile = positionalData;
  // The report needs fonts and a chart, never a display.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  const PrivateRuntimeDirectory runtime;
  QApplication application(argc, argv);
  try {
    return Report(args);
  } catch (const std::exception& e) {
    return Fail(InternalError, std::string("internal error: ") + e.what());
  }
}
