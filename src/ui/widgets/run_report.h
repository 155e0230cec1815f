#pragma once

// The printable run report: the conditions grouped as the window's pages group them, the
// line settings, the drying-profile chart, the zone table with its judging columns, the
// warnings and the step check, laid out on A4 pages as a PDF.
#include <string>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "input/entry_texts.h"
#include "input/line_settings.h"
#include "results/output_catalogue.h"
#include "run/run_sequence.h"

namespace tovimar::ui {

// What the report names in its title; an empty file name is shown as "defaults".
struct ReportSources {
  QString dataFile;
  QString lineFile;
  QDateTime when = QDateTime::currentDateTime();
};

// A run of the entries made for the report, in memory: no result file is written.
struct ReportRun {
  RunOutcome outcome;        // how the run ended; the report needs a completed one
  RunResults results;        // of a completed run, its model's check included
  // The run's warnings, then the judging's, then the model check's, without "Warning: ".
  std::vector<std::string> warnings;
};

// Runs the conditions of `entries` in memory, judges the profile against `line` and checks
// it with half the step. A result that cannot be derived makes the outcome an arithmetic
// fault with its message. Never throws.
ReportRun RunForReport(const EntryTexts& entries, const LineSettings& line);

// The PDF of the report of a completed run; empty when it cannot be drawn.
QByteArray RenderRunReport(const ReportRun& run, const EntryTexts& entries,
                           const LineSettings& line, const ReportSources& sources);

// The report's HTML, for RenderRunReport; `chartUrl` names the chart's image resource and
// `chartWidth` its width in the document's pixels.
QString RunReportHtml(const ReportRun& run, const EntryTexts& entries, const LineSettings& line,
                      const ReportSources& sources, const QString& chartUrl, int chartWidth);

// Writes the PDF whole through WriteTextFile; throws FileError when it cannot.
void WriteRunReport(const std::string& path, const QByteArray& pdf);

}  // namespace tovimar::ui
