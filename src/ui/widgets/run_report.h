#pragma once

// The printable run report: the conditions grouped as the window's pages group them, the
// line settings, the drying-profile chart, the zone table with its judging columns, the
// warnings and the step check, laid out on A4 pages as a PDF.
#include <string>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include "input/entry_texts.h"
#include "input/line_settings.h"
#include "results/output_catalogue.h"
#include "run/run_sequence.h"
#include "ui/widgets/profile_chart_panel.h"

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

// The report's chart spans the A4 page less its margins of 2 cm: this many points.
inline constexpr double ReportChartWidthPt = (210.0 - 2 * 20.0) / 25.4 * 72;
// The least size of the chart's texts on paper, in points.
inline constexpr double ReportChartLeastTextPt = 8.5;

// The report's chart: laid out at `layoutSize` pixels, so narrow that its smallest text
// lands at ReportChartLeastTextPt or more across ReportChartWidthPt, and drawn into `image`
// at a multiple of that size to stay sharp on paper.
struct ReportChart {
  QSize layoutSize;
  QImage image;
};
ReportChart DrawReportChart(const ChartContent& content);

// The PDF of the report of a completed run with the chart of `chart` (nullptr: the run's
// own curves alone); empty when it cannot be drawn.
QByteArray RenderRunReport(const ReportRun& run, const EntryTexts& entries,
                           const LineSettings& line, const ReportSources& sources,
                           const ChartContent* chart = nullptr);

// The report's HTML, for RenderRunReport; `chartUrl` names the chart's image resource and
// `chartSize` its size in the document's pixels.
QString RunReportHtml(const ReportRun& run, const EntryTexts& entries, const LineSettings& line,
                      const ReportSources& sources, const QString& chartUrl, QSize chartSize);

// Writes the PDF whole through WriteTextFile; throws FileError when it cannot.
void WriteRunReport(const std::string& path, const QByteArray& pdf);

}  // namespace tovimar::ui
