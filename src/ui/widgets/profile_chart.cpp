#include "ui/widgets/profile_chart.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "ui/widgets/curve_styles.h"
#include "ui/widgets/depth_chart.h"


namespace tovimar::ui {
namespace {

const QColor ZoneLineColour{0x50, 0x50, 0x50};
constexpr int TempAxisTicks = 5;

// A step between axis ticks of 1, 2 or 5 times a power of ten that gives at most about
// `ticks` intervals over `span`.
double NiceInterval(double span, int ticks) {
  if (!(span > 0)) {
    return 1;
  }
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= raw) {
      return factor * power;
    }
  }
  return 10 * power;
}

QLineSeries* AddLine(QChart* chart, const QString& name, ChartCurve curve) {
  auto* series = new QLineSeries;
  series->setName(name);
  series->setPen(PenOf(StyleOf(curve)));
  chart->addSeries(series);
  return series;
}

// The sections of the zone axis: one per zone, ending at its exit. A zone of no length has
// no section of its own; its number joins the next section's label (or the previous one's
// at the end of the line).
std::vector<std::pair<QString, double>> ZoneSections(const LineProfile& line) {
  std::vector<std::pair<QString, double>> sections;
  QString pending;
  for (const ZoneSpan& span : line.zones) {
    const QString number = QString::number(span.zone);
    if (span.exitPosition > span.entryPosition) {
      sections.emplace_back(pending + number, span.exitPosition);
      pending.clear();
    } else {
      pending += number + QStringLiteral(",");
    }
  }
  if (!pending.isEmpty() && !sections.empty()) {
    pending.chop(1);
    sections.back().first += QStringLiteral(",") + pending;
  }
  return sections;
}

QValueAxis* AddRightAxis(QChart* chart, const QString& title, const QColor& colour) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setTitleBrush(colour);
  axis->setLabelsColor(colour);
  axis->setLabelFormat(QStringLiteral("%g"));
  axis->setGridLineVisible(false);
  axis->setVisible(false);
  chart->addAxis(axis, Qt::AlignRight);
  return axis;
}

// Shows a series, its legend entry and its axis, or hides them all.
void ShowCurve(QChart* chart, QLineSeries* series, QValueAxis* axis, bool show) {
  series->setVisible(show);
  for (QLegendMarker* marker : chart->legend()->markers(series)) {
    marker->setVisible(show);
  }
  if (axis != nullptr) {
    axis->setVisible(show);
  }
}

}  // namespace

ProfileChartParts BuildProfileChart(QChart* chart) {
  ProfileChartParts parts;
  parts.chart = chart;
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->setBackgroundRoundness(0);
  chart->legend()->setAlignment(Qt::AlignBottom);

  parts.airTemp = AddLine(chart, QStringLiteral("Air temperature"), ChartCurve::AirTemp);
  parts.webTemp = AddLine(chart, QStringLiteral("Web temperature"), ChartCurve::WebTemp);
  parts.residual1 = AddLine(chart, QStringLiteral("Residual ratio, solvent-1"), ChartCurve::Residual1);
  parts.residual2 = AddLine(chart, QStringLiteral("Residual ratio, solvent-2"), ChartCurve::Residual2);
  parts.dryPoint = new QScatterSeries;
  parts.dryPoint->setName(QStringLiteral("Dry point"));
  parts.dryPoint->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  parts.dryPoint->setMarkerSize(9);
  parts.dryPoint->setColor(Qt::black);
  parts.dryPoint->setBorderColor(Qt::white);
  chart->addSeries(parts.dryPoint);
  parts.picked = new QScatterSeries;
  parts.picked->setName(QString::fromUtf8(DepthChartTitle));  // the chart that shows its profile
  parts.picked->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  parts.picked->setMarkerSize(10);
  parts.picked->setColor(QColor(0xF1, 0xC4, 0x0F));
  parts.picked->setBorderColor(Qt::black);
  chart->addSeries(parts.picked);

  parts.positionAxis = new QValueAxis;
  parts.positionAxis->setTitleText(QStringLiteral("Position from the entrance of zone 1 (m)"));
  parts.positionAxis->setLabelFormat(QStringLiteral("%g"));
  parts.positionAxis->setTickType(QValueAxis::TicksDynamic);
  parts.positionAxis->setTickAnchor(0);
  parts.positionAxis->setGridLineColor(QColor(0xE4, 0xE4, 0xE4));
  chart->addAxis(parts.positionAxis, Qt::AlignBottom);

  // The zone axis's grid lines are the zone boundaries.
  parts.zoneAxis = new QCategoryAxis;
  parts.zoneAxis->setTitleText(QStringLiteral("Zone"));
  parts.zoneAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
  QPen boundary(ZoneLineColour);
  boundary.setStyle(Qt::DashLine);
  boundary.setWidthF(1.0);
  parts.zoneAxis->setGridLinePen(boundary);
  chart->addAxis(parts.zoneAxis, Qt::AlignTop);

  parts.tempAxis = new QValueAxis;
  parts.tempAxis->setTitleText(QStringLiteral("Temperature (deg C)"));
  parts.tempAxis->setLabelFormat(QStringLiteral("%g"));
  parts.tempAxis->setGridLineColor(QColor(0xE4, 0xE4, 0xE4));
  chart->addAxis(parts.tempAxis, Qt::AlignLeft);

  parts.residualAxis = new QValueAxis;
  parts.residualAxis->setTitleText(QStringLiteral("Residual ratio (-)"));
  parts.residualAxis->setLabelFormat(QStringLiteral("%.2f"));
  parts.residualAxis->setGridLineVisible(false);
  chart->addAxis(parts.residualAxis, Qt::AlignRight);

  for (QLineSeries* series : {parts.airTemp, parts.webTemp}) {
    series->attachAxis(parts.positionAxis);
    series->attachAxis(parts.tempAxis);
  }
  parts.airTemp->attachAxis(parts.zoneAxis);
  parts.dryPoint->attachAxis(parts.positionAxis);
  parts.dryPoint->attachAxis(parts.tempAxis);
  parts.picked->attachAxis(parts.positionAxis);
  parts.picked->attachAxis(parts.tempAxis);
  for (QLineSeries* series : {parts.residual1, parts.residual2}) {
    series->attachAxis(parts.positionAxis);
    series->attachAxis(parts.residualAxis);
  }
  parts.boilingMargin = AddLine(chart, QStringLiteral("Boiling margin"), ChartCurve::BoilingMargin);
  parts.residualGrams = AddLine(chart, QStringLiteral("Residual solvent"), ChartCurve::ResidualSolvent);
  parts.residualTarget = AddLine(chart, QStringLiteral("Residual target"), ChartCurve::ResidualTarget);
  parts.marginAxis = AddRightAxis(chart, QStringLiteral("Boiling margin (K)"),
                                  StyleOf(ChartCurve::BoilingMargin).colour);
  parts.gramsAxis = AddRightAxis(chart, QStringLiteral("Residual (g/m2)"),
                                 StyleOf(ChartCurve::ResidualSolvent).colour);
  parts.boilingMargin->attachAxis(parts.positionAxis);
  parts.boilingMargin->attachAxis(parts.marginAxis);
  for (QLineSeries* series : {parts.residualGrams, parts.residualTarget}) {
    series->attachAxis(parts.positionAxis);
    series->attachAxis(parts.gramsAxis);
  }
  FillProfileChart(parts, LineProfile{}, ProfileSummary{});
  FillJudgingCurves(parts, LineProfile{}, RunJudgement{}, false, false);
  return parts;
}

void SetProfileAxes(const ProfileChartParts& parts, const ProfileExtent& extent) {
  const double xMax = extent.end > 0 ? extent.end : 1;
  parts.positionAxis->setRange(0, xMax);
  parts.positionAxis->setTickInterval(NiceInterval(xMax, 8));
  parts.zoneAxis->setRange(0, xMax);

  double tempLow = 0, tempHigh = 100;
  if (extent.anyTemp) {
    // Room above and below, so that no line runs along the frame.
    const double margin = std::max(0.5, 0.06 * (extent.tempHigh - extent.tempLow));
    tempLow = extent.tempLow - margin;
    tempHigh = extent.tempHigh + margin;
  }
  // Nice numbers start from the axis's tick count, which they change: every run starts from
  // the same count, so that a run's axes do not depend on the run before it.
  parts.tempAxis->setTickCount(TempAxisTicks);
  parts.tempAxis->setRange(tempLow, tempHigh);
  parts.tempAxis->applyNiceNumbers();
  parts.residualAxis->setRange(0, extent.residualHigh > 0 ? extent.residualHigh : 1);
  parts.residualAxis->setTickCount(6);
}

void FillProfileChart(const ProfileChartParts& parts, const LineProfile& line,
                      const ProfileSummary& summary) {
  QList<QPointF> web, residual1, residual2, air, dry;
  web.reserve(static_cast<qsizetype>(line.points.size()));
  residual1.reserve(web.capacity());
  residual2.reserve(web.capacity());
  for (const ProfilePoint& point : line.points) {
    web.append(QPointF(point.position, point.temp));
    residual1.append(QPointF(point.position, point.residual1));
    residual2.append(QPointF(point.position, point.residual2));
  }
  for (const ZoneSpan& span : line.zones) {
    air.append(QPointF(span.entryPosition, span.airTemp));
    air.append(QPointF(span.exitPosition, span.airTemp));
  }
  if (summary.dryPoint && !line.zones.empty()) {
    const DryPoint& point = *summary.dryPoint;
    const ZoneSpan& span = line.zones.at(static_cast<std::size_t>(point.zone - 1));
    dry.append(QPointF(point.position,
                       line.points.at(span.firstPoint + static_cast<std::size_t>(point.step)).temp));
  }
  parts.webTemp->replace(web);
  parts.residual1->replace(residual1);
  parts.residual2->replace(residual2);
  parts.airTemp->replace(air);
  parts.dryPoint->replace(dry);
  // The dry point has a legend entry only when there is one.
  for (QLegendMarker* marker : parts.chart->legend()->markers(parts.dryPoint)) {
    marker->setVisible(!dry.isEmpty());
  }
  if (parts.chart->legend()->layout() != nullptr) {
    // The legend does not lay itself out again when an entry comes or goes.
    parts.chart->legend()->layout()->invalidate();
  }

  for (const QString& label : parts.zoneAxis->categoriesLabels()) {
    parts.zoneAxis->remove(label);
  }
  parts.zoneAxis->setStartValue(0);
  for (const auto& [label, sectionEnd] : ZoneSections(line)) {
    parts.zoneAxis->append(label, sectionEnd);
  }
  // Without zones the axis would still draw its start and end lines and its title.
  parts.zoneAxis->setVisible(!line.zones.empty());
  ProfileExtent extent;
  extent.Include(line, true);
  SetProfileAxes(parts, extent);
}

void FillJudgingCurves(const ProfileChartParts& parts, const LineProfile& line,
                       const RunJudgement& judgement, bool showMargin, bool showResidual) {
  const std::size_t n = line.points.size();
  const bool judged = n > 0 && judgement.boilingMargin.size() == n && judgement.residualGrams.size() == n;
  QList<QPointF> margin, grams, target;
  double marginLow = 0, marginHigh = 0, gramsHigh = 0;
  for (std::size_t i = 0; judged && i < n; ++i) {
    const double position = line.points[i].position;
    if (const std::optional<double>& m = judgement.boilingMargin[i]) {
      margin.append(QPointF(position, *m));
      marginLow = std::min(marginLow, *m);
      marginHigh = std::max(marginHigh, *m);
    }
    grams.append(QPointF(position, judgement.residualGrams[i]));
    gramsHigh = std::max(gramsHigh, judgement.residualGrams[i]);
  }
  if (judged && judgement.residualTarget) {
    const double value = judgement.residualTarget->target;
    target = {QPointF(0, value), QPointF(line.points.back().position, value)};
    gramsHigh = std::max(gramsHigh, value);
  }
  parts.boilingMargin->replace(margin);
  parts.residualGrams->replace(grams);
  parts.residualTarget->replace(target);
  ShowCurve(parts.chart, parts.boilingMargin, parts.marginAxis, showMargin && judged);
  ShowCurve(parts.chart, parts.residualGrams, parts.gramsAxis, showResidual && judged);
  ShowCurve(parts.chart, parts.residualTarget, nullptr, showResidual && !target.isEmpty());
  // Every fill starts from the same tick count (see the temperature axis).
  parts.marginAxis->setTickCount(TempAxisTicks);
  parts.marginAxis->setRange(marginLow, marginHigh > marginLow ? marginHigh : marginLow + 1);
  parts.marginAxis->applyNiceNumbers();
  parts.gramsAxis->setTickCount(TempAxisTicks);
  parts.gramsAxis->setRange(0, gramsHigh > 0 ? gramsHigh * 1.05 : 1);
  parts.gramsAxis->applyNiceNumbers();
  if (parts.chart->legend()->layout() != nullptr) {
    parts.chart->legend()->layout()->invalidate();
  }
}

}  // namespace tovimar::ui
