// tovimar-report: writes the printable report of one run as a PDF, without a window. The
// conditions are formed as tovimar-batch forms those of a single run (the window's defaults,
// then the data file, the line file and every --set in order); the run is made in memory,
// so no result file is written. tovimar-batch --report starts this program.
//
//   tovimar-report --output FILE.pdf [--data FILE | DATAFILE] [--line FILE] [--set NAME=TEXT]...
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QFile>

#include "conditionfile/data_file.h"
#include "conditionfile/line_file.h"
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

// Parses the command line; a message when it is wrong.
std::optional<std::string> Parse(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool takesValue = arg == "--output" || arg == "-o" || arg == "--data" ||
                            arg == "--line" || arg == "--set";
    if (takesValue && i + 1 >= argc) {
      return std::string(arg) + " needs a value";
    }
    if (arg == "--output" || arg == "-o") {
      args.output = argv[++i];
    } else if (arg == "--data") {
      args.dataFile = argv[++i];
    } else if (arg == "--line") {
      args.lineFile = argv[++i];
    } else if (arg == "--set") {
      args.settings.emplace_back(argv[++i]);
    } else if (!arg.empty() && arg.front() == '-') {
      return "unknown option " + std::string(arg);
    } else if (args.dataFile.empty()) {
      args.dataFile = arg;
    } else {
      return "give one data file";
    }
  }
  if (args.output.empty()) {
    return "--output FILE.pdf is needed";
  }
  return std::nullopt;
}

// Applies one --set NAME=TEXT to the entries or the line settings. Throws UserError for a
// line setting that is refused; a message for a name that is unknown.
std::optional<std::string> Apply(std::string_view setting, MapEntryTexts& entries, LineSettings& line) {
  const std::size_t equals = setting.find('=');
  if (equals == std::string_view::npos) {
    return "--set needs NAME=TEXT, got \"" + std::string(setting) + "\"";
  }
  const std::string_view name = setting.substr(0, equals);
  const std::string text(setting.substr(equals + 1));
  if (name == SaveFileNameEntry || name == SaveFileNameField) {
    entries.ForceText(SaveFileNameEntry, text);
  } else if (const ConditionField* field = FindField(name)) {
    entries.ForceText(field->entryName, text);
  } else {
    ApplyLineSetting(line, setting);  // refuses an unknown name too
  }
  return std::nullopt;
}

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
  if (const std::optional<std::string> error = Parse(argc, argv, args)) {
    return Fail(Usage, *error);
  }
  // The report needs fonts and a chart, never a display.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication app(argc, argv);
  try {
    return Report(args);
  } catch (const std::exception& e) {
    return Fail(InternalError, std::string("internal error: ") + e.what());
  }
}
