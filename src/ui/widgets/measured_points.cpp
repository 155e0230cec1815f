#include "ui/widgets/measured_points.h"

#include <algorithm>
#include <optional>

#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace tovimar::ui {
namespace {

// The model curve that a quantity's measurements are compared with, and its axis; none for
// the solvent weights. The chart has no curve of either solvent's weight: its g/m2 axis
// belongs to the residual solvent of both solvents together, and is shown only when that
// curve is switched on, so one solvent's measured weight there would be read against the
// wrong curve. The weights still count in a fit; the Fit page reports their RMS.
struct ModelCurve {
  QLineSeries* series = nullptr;
  QValueAxis* axis = nullptr;
};

ModelCurve CurveOf(const ProfileChartParts& parts, MeasuredQuantity quantity) {
  switch (quantity) {
    case MeasuredQuantity::WebTemp: return {parts.webTemp, parts.tempAxis};
    case MeasuredQuantity::Residual1: return {parts.residual1, parts.residualAxis};
    case MeasuredQuantity::Residual2: return {parts.residual2, parts.residualAxis};
    case MeasuredQuantity::Weight1:
    case MeasuredQuantity::Weight2: return {};
  }
  return {};
}

// Widens `axis` to take in [low, high], keeping what it shows already; a nice axis (the
// temperature's) with a little room and nice numbers, as FillProfileChart makes it.
void Widen(QValueAxis* axis, double low, double high, bool nice) {
  const double margin = nice ? std::max(0.5, 0.06 * (high - low)) : 0.0;
  const double from = std::min(axis->min(), low - margin);
  const double to = std::max(axis->max(), high + margin);
  if (from == axis->min() && to == axis->max()) return;
  axis->setRange(from, to);
  if (nice) axis->applyNiceNumbers();
}

}  // namespace

MeasuredSeries AddMeasuredSeries(const ProfileChartParts& parts) {
  MeasuredSeries series;
  for (const MeasuredColumn& column : MeasuredColumns()) {
    const ModelCurve curve = CurveOf(parts, column.quantity);
    if (curve.series == nullptr) continue;
    auto* points = new QScatterSeries;
    points->setName(QStringLiteral("measured ") + curve.series->name().toLower());
    points->setMarkerShape(column.quantity == MeasuredQuantity::WebTemp
                               ? QScatterSeries::MarkerShapeCircle
                               : QScatterSeries::MarkerShapeRectangle);
    points->setMarkerSize(7);
    const QColor colour = curve.series->pen().color();
    points->setColor(colour);
    points->setBorderColor(colour.darker(160));
    parts.chart->addSeries(points);
    points->attachAxis(parts.positionAxis);
    points->attachAxis(curve.axis);
    series.points[static_cast<std::size_t>(column.quantity)] = points;
  }
  return series;
}

void FillMeasuredSeries(const ProfileChartParts& parts, const MeasuredSeries& series,
                        const MeasuredData* data) {
  for (const MeasuredColumn& column : MeasuredColumns()) {
    QScatterSeries* points = series.Of(column.quantity);
    if (points == nullptr) continue;
    QList<QPointF> values;
    std::optional<double> low, high;
    for (const Measurement& m : data == nullptr ? std::vector<Measurement>{} : data->values) {
      if (m.quantity != column.quantity) continue;
      values.append(QPointF(m.position, m.value));
      low = std::min(low.value_or(m.value), m.value);
      high = std::max(high.value_or(m.value), m.value);
    }
    points->replace(values);
    for (QLegendMarker* marker : parts.chart->legend()->markers(points)) {
      marker->setVisible(!values.isEmpty());
    }
    if (low) {
      Widen(CurveOf(parts, column.quantity).axis, *low, *high,
            column.quantity == MeasuredQuantity::WebTemp);
    }
  }
  if (parts.chart->legend()->layout() != nullptr) {
    parts.chart->legend()->layout()->invalidate();
  }
}

}  // namespace tovimar::ui
