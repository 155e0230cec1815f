#include "ui/widgets/run_report.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <optional>

#include <QBuffer>
#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include "conditionfile/material_choice.h"
#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "format/file_writer.h"
#include "input/field_catalogue.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/profile_chart.h"
#include "ui/widgets/zone_table.h"

namespace tovimar::ui {
namespace {

// The PDF's resolution in dots per inch; the document's pixels are these dots.
constexpr int ReportDpi = 300;
// The chart's image has this many pixels per pixel of its layout, to stay sharp on paper.
constexpr int ChartScale = 4;

QString Html(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

// The shortest text that reads back as `value` ("1.2", "10000").
QString Shortest(double value) { return QString::fromStdString(ShortestNumberText(value)); }

QString Row(const QString& name, const QString& value, const QString& unit) {
  return QStringLiteral("<tr><td width=\"56%\">%1</td><td width=\"18%\" align=\"right\" style=\"white-space: nowrap\">%2</td>"
                        "<td width=\"26%\">%3</td></tr>")
      .arg(name, value.isEmpty() ? QStringLiteral("&nbsp;") : value, unit);
}

QString GroupTable(const QString& heading, const QString& rows) {
  return QStringLiteral("<p class=\"group\">%1</p><table class=\"inputs\" width=\"100%\" "
                        "cellspacing=\"0\" cellpadding=\"1\">%2</table>")
      .arg(heading, rows);
}

QString TwoColumns(const QString& left, const QString& right) {
  return QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                        "<td width=\"50%\" valign=\"top\" style=\"padding-right: 14px\">%1</td>"
                        "<td width=\"50%\" valign=\"top\">%2</td></tr></table>")
      .arg(left, right);
}

QString FieldRows(const EntryTexts& entries, const std::vector<const ConditionField*>& fields) {
  QString rows;
  for (const ConditionField* field : fields) {
    rows += Row(Html(field->name), Html(entries.Text(field->entryName)), Html(field->unit));
  }
  return rows;
}

std::vector<const ConditionField*> FieldsOf(FieldGroup group) {
  std::vector<const ConditionField*> fields;
  for (const ConditionField& field : ConditionFields()) {
    if (field.group == group && field.zone == 0) {
      fields.push_back(&field);
    }
  }
  return fields;
}

// One row per setting that is set; a setting of the line that is not set reads "none", a
// zone's is left out.
QString LineRows(const LineSettings& line) {
  QString rows;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    // The drying model's parameters only for the model that takes them, a zone's only where set.
    if (setting.object == "Model" && setting.type == LineSettingType::Number &&
        (line.Model.name != DiffusionModelName || (setting.zone != 0 && setting.Number(line) == 0.0))) {
      continue;
    }
    if (setting.IsSet(line)) {
      const QString value = setting.type == LineSettingType::Text ? Html(setting.Text(line))
                                                                  : Shortest(*setting.Number(line));
      rows += Row(Html(setting.caption), value, Html(setting.unit));
    } else if (setting.zone == 0) {
      rows += Row(Html(setting.caption), QStringLiteral("none"), QString());
    }
  }
  return rows;
}

// Zones 2 on, one row each with the six zone columns.
QString FurtherZones(const EntryTexts& entries, int zones) {
  QString header = QStringLiteral("<tr><th>Zone</th>");
  for (int column = 1; column <= ZoneColumns; ++column) {
    const ConditionField& field = ZoneField(1, column);
    QString name = QString::fromUtf8(field.name.c_str());
    name.chop(QStringLiteral(" of zone 1").size());
    header += QStringLiteral("<th>%1<br>(%2)</th>").arg(name.toHtmlEscaped(), Html(field.unit));
  }
  QString rows;
  for (int zone = 2; zone <= zones; ++zone) {
    rows += QStringLiteral("<tr><td align=\"center\">%1</td>").arg(zone);
    for (int column = 1; column <= ZoneColumns; ++column) {
      rows += QStringLiteral("<td align=\"right\">%1</td>")
                  .arg(Html(entries.Text(ZoneField(zone, column).entryName)));
    }
    rows += QStringLiteral("</tr>");
  }
  return QStringLiteral("<p class=\"group\">Further zones</p><table class=\"grid\" width=\"100%\" "
                        "cellspacing=\"0\" cellpadding=\"2\">%1</tr>%2</table>")
      .arg(header, rows);
}

QString ZoneTable(const RunResults& results) {
  const std::vector<const OutputQuantity*> quantities = QuantitiesIn(InZoneTable);
  QString html = QStringLiteral("<table class=\"grid\" width=\"100%\" cellspacing=\"0\" "
                                "cellpadding=\"2\"><tr><th>Zone</th>");
  for (const OutputQuantity* quantity : quantities) {
    html += QStringLiteral("<th style=\"white-space: nowrap\">%1</th>").arg(Html(quantity->tableHeader).replace(
        QLatin1Char('\n'), QStringLiteral("<br>")));
  }
  html += QStringLiteral("</tr>");
  const auto row = [&](const QString& label, const ZoneSummary& zone, bool bold) {
    const QString cell = bold ? QStringLiteral("<td align=\"%1\"><b>%2</b></td>")
                              : QStringLiteral("<td align=\"%1\">%2</td>");
    html += QStringLiteral("<tr>") + cell.arg(QStringLiteral("center"), label);
    for (const OutputQuantity* quantity : quantities) {
      const std::optional<double> value = quantity->zone(results, zone);
      html += cell.arg(QStringLiteral("right"),
                       value ? Fixed(*value, quantity->tableDecimals) : QStringLiteral("-"));
    }
    html += QStringLiteral("</tr>");
  };
  for (const ZoneSummary& zone : results.summary.zones) {
    row(QString::number(zone.zone), zone, false);
  }
  row(QStringLiteral("Line"), LineAsZone(results.summary), true);
  return html + QStringLiteral("</table>");
}

constexpr const char* StyleSheet =
    "body { font-size: 8pt; }"
    "h1 { font-size: 15pt; margin-bottom: 2px; }"
    "h2 { font-size: 11.5pt; margin-top: 10px; margin-bottom: 4px; }"
    "p.group { font-weight: bold; margin-top: 7px; margin-bottom: 2px; color: #003070; }"
    "table.inputs td { padding-right: 6px; }"
    "table.grid { border-collapse: collapse; border-color: #808080; font-size: 7.5pt; }"
    "table.grid th { background-color: #e4e8f0; font-weight: bold; }"
    "table.grid td, table.grid th { border: 1px solid #808080; }";

}  // namespace

ReportRun RunForReport(const EntryTexts& entries, const LineSettings& line) {
  ReportRun run;
  try {
    auto sim = std::make_unique<Simulation>();
    RunOptions inMemory;
    inMemory.writeResultFile = false;
    inMemory.model = line.Model;
    run.outcome = RunSimulation(*sim, entries, inMemory);
    run.warnings = run.outcome.warnings;
    if (!run.outcome.completed()) {
      return run;
    }
    run.results = DeriveResults(*sim, line);
    run.warnings.insert(run.warnings.end(), run.results.judgement.warnings.begin(),
                        run.results.judgement.warnings.end());
    if (run.results.check.warning) {
      run.warnings.push_back(*run.results.check.warning);
    }
  } catch (const std::exception& e) {
    run.outcome.status = RunStatus::ArithmeticFault;
    run.outcome.style = MessageStyle::Error;
    run.outcome.message = e.what();
  }
  return run;
}

QString RunReportHtml(const ReportRun& run, const EntryTexts& entries, const LineSettings& line,
                      const ReportSources& sources, const QString& chartUrl, QSize chartSize) {
  const auto fileName = [](const QString& name) {
    return name.isEmpty() ? QStringLiteral("defaults") : name.toHtmlEscaped();
  };
  const int zones = static_cast<int>(run.results.summary.zones.size());
  QString html = QStringLiteral("<html><body><h1>Drying report</h1><p>%1<br>Data file: %2<br>"
                                "Line file: %3</p><h2>Conditions</h2>")
                     .arg(sources.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                          fileName(sources.dataFile), fileName(sources.lineFile));

  // Two columns, filled about evenly: the web, zone 1, the polymer, the base film and the
  // accuracy beside the two solvents; then the fitting parameters beside the line settings.
  std::vector<const ConditionField*> web = FieldsOf(FieldGroup::Zone);
  for (int column = 1; column <= ZoneColumns; ++column) {
    web.push_back(&ZoneField(1, column));
  }
  const auto group = [&](const char* heading, FieldGroup fields) {
    return GroupTable(QString::fromLatin1(heading), FieldRows(entries, FieldsOf(fields)));
  };
  // The solvents and the polymer are named: the material the line settings name (with a word
  // when values were changed after the pick), or else the one whose values the entries hold.
  std::optional<MaterialLibrary> library;
  try {
    library = LoadMaterialLibrary();
  } catch (const std::exception&) {
    // Without a library the groups keep their plain headings.
  }
  const auto material = [&](const char* heading, FieldGroup fields, MaterialSlot slot) {
    QString name;
    if (const std::string& key = RecordedMaterial(line, slot); !key.empty()) {
      const Material* named = library ? library->Find(SlotInfo(slot).kind, key) : nullptr;
      name = QString::fromStdString(named != nullptr ? named->name : key);
      const bool changed = std::any_of(line.MaterialOverrides.begin(), line.MaterialOverrides.end(),
                                       [&](const auto& o) { return FindField(o.first)->group == fields; });
      if (changed) name += QStringLiteral(" (values changed)");
    } else if (const Material* held = library ? MaterialHeldBy(*library, slot, entries) : nullptr) {
      name = QString::fromStdString(held->name);
    }
    const QString title = QString::fromLatin1(heading) + (name.isEmpty() ? QString() : QStringLiteral(": ") + name);
    return GroupTable(title.toHtmlEscaped(), FieldRows(entries, FieldsOf(fields)));
  };
  html += TwoColumns(GroupTable(QStringLiteral("Web and zone 1"), FieldRows(entries, web)) +
                         material("Polymer", FieldGroup::Polymer, MaterialSlot::Polymer) +
                         group("Base film", FieldGroup::BaseFilm) + group("Calculation accuracy", FieldGroup::Accuracy),
                     material("Solvent-1", FieldGroup::Solvent1, MaterialSlot::Solvent1) +
                         material("Solvent-2", FieldGroup::Solvent2, MaterialSlot::Solvent2));
  html += TwoColumns(group("Fitting parameters", FieldGroup::Fitting),
                     GroupTable(QStringLiteral("Line settings"), LineRows(line)));
  if (zones > 1) {
    html += FurtherZones(entries, zones);
  }

  const ProfilePoint& last = run.results.line.points.back();
  html += QStringLiteral("<h2 style=\"page-break-before: always\">Drying profile</h2><p>%1 %2 over "
                         "%3 m, %4 s in the dryer.</p>")
              .arg(zones)
              .arg(zones == 1 ? QStringLiteral("zone") : QStringLiteral("zones"))
              .arg(Fixed(last.position, 3), Fixed(last.time, 3));
  html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
              .arg(chartUrl)
              .arg(chartSize.width())
              .arg(chartSize.height());
  html += QStringLiteral("<h2>Zones</h2>") + ZoneTable(run.results);
  if (const std::optional<DryPoint>& dry = run.results.summary.dryPoint) {
    html += QStringLiteral("<p>Dry point (drying speed down to 0): %1 m from the entrance of zone 1, "
                           "in zone %2 at step %3 (%4 s).</p>")
                .arg(Fixed(dry->position, 3))
                .arg(dry->zone)
                .arg(dry->step)
                .arg(Fixed(dry->time, 3));
  } else {
    html += QStringLiteral("<p>Dry point: not reached (the drying speed stays above 0 to the end of "
                           "the line).</p>");
  }
  html += QStringLiteral("<h2>Warnings</h2>");
  if (run.warnings.empty()) {
    html += QStringLiteral("<p>None.</p>");
  } else {
    html += QStringLiteral("<ul>");
    for (const std::string& warning : run.warnings) {
      html += QStringLiteral("<li>Warning: %1</li>").arg(Html(warning));
    }
    html += QStringLiteral("</ul>");
  }
  html += QStringLiteral("<h2>Accuracy</h2><p>%1</p>").arg(Html(run.results.check.line));
  return html + QStringLiteral("</body></html>");
}

ReportChart DrawReportChart(const ChartContent& content) {
  // The smallest text of the chart, in pixels of its layout.
  int smallest = 0;
  for (const QFont& font : ProfileChartPanel().TextFonts()) {
    const int pixels = QFontInfo(font).pixelSize();
    smallest = smallest == 0 ? pixels : std::min(smallest, pixels);
  }
  // Across ReportChartWidthPt, a layout `width` pixels wide draws `smallest` pixels at
  // smallest * ReportChartWidthPt / width points: the widest layout that keeps that at the
  // least size, in the saved chart's proportions.
  const int width = static_cast<int>(std::floor(smallest * ReportChartWidthPt / ReportChartLeastTextPt));
  ReportChart chart;
  chart.layoutSize = QSize(width, width * SavedChartHeight / SavedChartWidth);
  chart.image = QImage(chart.layoutSize * ChartScale, QImage::Format_RGB32);
  chart.image.fill(Qt::white);
  QPainter painter(&chart.image);
  ProfileChartPanel::Draw(painter, QRectF(chart.image.rect()), chart.layoutSize, content);
  return chart;
}

QByteArray RenderRunReport(const ReportRun& run, const EntryTexts& entries,
                           const LineSettings& line, const ReportSources& sources,
                           const ChartContent* chart) {
  if (!run.outcome.completed() || run.results.line.points.empty()) {
    return {};
  }
  ChartContent ownCurves;
  ownCurves.run = &run.results;
  const ReportChart drawn = DrawReportChart(chart != nullptr ? *chart : ownCurves);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(ReportDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(QStringLiteral("Drying report"));
    writer.setCreator(QStringLiteral("Tovimar"));

    // QTextDocument::print lays the text out on the writer's pages with margins of 2 cm
    // and numbers the pages. Image sizes in the document are in pixels of 96 dpi, as on a
    // screen: the chart spans the width between the margins.
    const int chartWidth = static_cast<int>(ReportChartWidthPt * 96 / 72);
    const QSize chartSize(chartWidth, chartWidth * drawn.layoutSize.height() / drawn.layoutSize.width());
    QTextDocument document;
    document.setDefaultStyleSheet(QString::fromLatin1(StyleSheet));
    // Without ligatures, so that "file" is found and copied as the four letters it is.
    QFont font = document.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    const QString chartUrl = QStringLiteral("tovimar-report:chart");
    document.addResource(QTextDocument::ImageResource, QUrl(chartUrl), drawn.image);
    document.setHtml(RunReportHtml(run, entries, line, sources, chartUrl, chartSize));
    document.print(&writer);
  }
  buffer.close();
  return bytes;
}

void WriteRunReport(const std::string& path, const QByteArray& pdf) {
  WriteTextFile(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())), "report");
}

}  // namespace tovimar::ui
