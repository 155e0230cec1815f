#include "ui/widgets/pinned_overlay.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include "ui/widgets/curve_styles.h"
#include "ui/widgets/look.h"

namespace tovimar::ui {
namespace {

QLineSeries* DashedLine(QChart* chart, const CurveStyle& style) {
  auto* series = new QLineSeries;
  series->setPen(PenOf(style));
  series->setVisible(false);
  chart->addSeries(series);
  return series;
}

void SetLegendEntry(QChart* chart, QLineSeries* series, bool visible) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) {
    marker->setVisible(visible);
  }
}

}  // namespace

PinnedOverlay::PinnedOverlay(const ProfileChartParts& parts) : parts_(parts) {
  for (std::size_t i = 0; i < sets_.size(); ++i) {
    Curves& set = sets_[i];
    set.webTemp = DashedLine(parts.chart, PinnedStyle(i));
    set.residual1 = DashedLine(parts.chart, PinnedStyle(i));
    set.residual2 = DashedLine(parts.chart, PinnedStyle(i));
    set.webTemp->attachAxis(parts.positionAxis);
    set.webTemp->attachAxis(parts.tempAxis);
    for (QLineSeries* residual : {set.residual1, set.residual2}) {
      residual->attachAxis(parts.positionAxis);
      residual->attachAxis(parts.residualAxis);
    }
    for (QLineSeries* series : {set.webTemp, set.residual1, set.residual2}) {
      SetLegendEntry(parts.chart, series, false);
    }
  }
}

void PinnedOverlay::Show(const LineProfile& current, const std::vector<PinnedRun>& runs) {
  ProfileExtent extent;
  extent.Include(current, true);
  for (std::size_t i = 0; i < sets_.size(); ++i) {
    const Curves& set = sets_[i];
    const bool shown = i < runs.size();
    QList<QPointF> web, residual1, residual2;
    if (shown) {
      const LineProfile& line = runs[i].results.line;
      for (const ProfilePoint& point : line.points) {
        web.append(QPointF(point.position, point.temp));
        residual1.append(QPointF(point.position, point.residual1));
        residual2.append(QPointF(point.position, point.residual2));
      }
      extent.Include(line, false);
      const QString name = FromUtf8(runs[i].name);
      set.webTemp->setName(name);
      set.residual1->setName(name + QStringLiteral(", solvent-1 residual ratio"));
      set.residual2->setName(name + QStringLiteral(", solvent-2 residual ratio"));
    }
    set.webTemp->replace(web);
    set.residual1->replace(residual1);
    set.residual2->replace(residual2);
    for (QLineSeries* series : {set.webTemp, set.residual1, set.residual2}) {
      series->setVisible(shown);
      SetLegendEntry(parts_.chart, series, shown && series == set.webTemp);
    }
  }
  if (parts_.chart->legend()->layout() != nullptr) {
    parts_.chart->legend()->layout()->invalidate();
  }
  SetProfileAxes(parts_, extent);
}

}  // namespace tovimar::ui
