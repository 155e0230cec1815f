#include "ui/widgets/depth_chart.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/widgets/chart_legend.h"
#include "ui/widgets/curve_styles.h"

namespace tovimar::ui {
namespace {

// The fraction axis: its end the largest fraction shown rounded up to a tenth (a hundredth
// below 0.1), never 0, so that the curves fill the height, and at most five round ticks.
struct FractionScale {
  double end = 0;
  double interval = 0;
};

FractionScale FractionScaleOf(const DepthProfile* profile) {
  double high = 0;
  if (profile != nullptr) {
    for (const DepthPoint& node : profile->nodes) high = std::max({high, node.w[0], node.w[1]});
  }
  const double step = high < 0.1 ? 0.01 : 0.1;
  const double steps = std::max(1.0, std::ceil(high / step - 1e-9));
  return {steps * step, std::ceil(steps / 5) * step};
}

}  // namespace

DepthChartPanel::DepthChartPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DepthChartPanel"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  view_ = new QChartView(this);
  view_->setObjectName(QStringLiteral("DepthChartView"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setFocusPolicy(Qt::NoFocus);
  view_->setFrameShape(QFrame::NoFrame);
  chart_ = view_->chart();
  chart_->setTitle(QString::fromUtf8(DepthChartTitle));
  chart_->setMargins(QMargins(2, 2, 2, 2));
  chart_->setBackgroundRoundness(0);

  // Each solvent in its colour of the profile chart's residual ratio.
  w1_ = new QLineSeries;
  w1_->setName(QStringLiteral("w_1, solvent-1"));
  w1_->setPen(PenOf(StyleOf(ChartCurve::Residual1)));
  w2_ = new QLineSeries;
  w2_->setName(QStringLiteral("w_2, solvent-2"));
  w2_->setPen(PenOf(StyleOf(ChartCurve::Residual2)));
  fractionAxis_ = new QValueAxis;
  fractionAxis_->setTitleText(QStringLiteral("Weight fraction (-)"));
  fractionAxis_->setLabelFormat(QStringLiteral("%g"));
  fractionAxis_->setTickType(QValueAxis::TicksDynamic);
  fractionAxis_->setTickAnchor(0);
  fractionAxis_->setGridLineColor(QColor(0xE4, 0xE4, 0xE4));
  heightAxis_ = new QValueAxis;
  heightAxis_->setTitleText(QStringLiteral("Height above the base film (fraction of the thickness)"));
  heightAxis_->setLabelFormat(QStringLiteral("%.1f"));
  heightAxis_->setRange(0, 1);
  heightAxis_->setTickCount(11);
  heightAxis_->setGridLineColor(QColor(0xE4, 0xE4, 0xE4));
  chart_->addAxis(heightAxis_, Qt::AlignBottom);
  chart_->addAxis(fractionAxis_, Qt::AlignLeft);
  for (QLineSeries* series : {w1_, w2_}) {
    chart_->addSeries(series);
    series->attachAxis(heightAxis_);
    series->attachAxis(fractionAxis_);
  }
  // The names are in the legend below the chart, which never shortens them. The chart's own
  // stays, detached and out of sight, as in the profile chart: its markers say which series
  // have an entry.
  QLegend* own = chart_->legend();
  own->detachFromChart();
  own->setGeometry(QRectF(0, 0, 1, 1));
  own->setOpacity(0);
  layout->addWidget(view_, 1);

  legend_ = new ChartLegend(this);
  legend_->setFont(chart_->legend()->font());
  legend_->setAutoFillBackground(true);
  QPalette white = legend_->palette();
  white.setColor(QPalette::Window, Qt::white);
  legend_->setPalette(white);
  legend_->Refresh(chart_);
  legend_->setFixedHeight(legend_->HeightForRows(2));
  legend_->setFixedWidth(legend_->WidthFor(legend_->height()));
  auto* side = new QWidget(this);  // the legend and the place, beside the chart
  side->setAutoFillBackground(true);
  side->setPalette(white);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(0, 0, 0, 0);
  legend_->setParent(side);
  column->addWidget(legend_);
  place_ = new QLabel(side);
  place_->setObjectName(QStringLiteral("DepthPlaceLabel"));
  place_->setWordWrap(true);
  place_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  place_->setContentsMargins(6, 0, 4, 0);
  place_->setAutoFillBackground(true);
  place_->setPalette(white);
  const QString hint = QStringLiteral("Click the profile chart to see the coating at another point.");
  view_->setToolTip(hint);
  place_->setToolTip(hint);
  column->addWidget(place_);
  column->addStretch(1);
  side->setFixedWidth(legend_->width());
  layout->addWidget(side);
  setFixedHeight(DepthChartHeight);
  Show(nullptr, QString());
}

void DepthChartPanel::Show(const DepthProfile* profile, const QString& where) {
  QList<QPointF> one, two;
  if (profile != nullptr) {
    for (const DepthPoint& node : profile->nodes) {
      one.append(QPointF(node.height, node.w[0]));
      two.append(QPointF(node.height, node.w[1]));
    }
  }
  w1_->replace(one);
  w2_->replace(two);
  const FractionScale scale = FractionScaleOf(profile);
  fractionAxis_->setRange(0, scale.end);
  fractionAxis_->setTickInterval(scale.interval);
  place_->setText(where);
  for (QLineSeries* series : {w1_, w2_}) {
    for (QLegendMarker* marker : chart_->legend()->markers(series)) marker->setVisible(true);
  }
  legend_->Refresh(chart_);
}

}  // namespace tovimar::ui
