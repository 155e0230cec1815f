#include "ui/widgets/profile_chart_panel.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QPainter>

#include "ui/widgets/chart_legend.h"
#include "ui/widgets/pinned_overlay.h"

namespace tovimar::ui {

ProfileChartPanel::ProfileChartPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ChartPanel"));
  view_ = new QChartView(this);
  view_->setObjectName(QStringLiteral("ChartView"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setFocusPolicy(Qt::NoFocus);  // a picture: nothing in it takes keys
  view_->setFrameShape(QFrame::NoFrame);
  parts_ = BuildProfileChart(view_->chart());
  overlay_ = std::make_unique<PinnedOverlay>(parts_);
  measured_ = AddMeasuredSeries(parts_);
  // The chart's own legend shortens its names when they do not fit; ours is beside it. The
  // chart's stays, detached, out of sight and out of the layout: its markers say which series
  // have an entry (a marker of a hidden legend counts as hidden).
  QLegend* own = parts_.chart->legend();
  own->detachFromChart();
  own->setGeometry(QRectF(0, 0, 1, 1));
  own->setOpacity(0);
  own->setAcceptedMouseButtons(Qt::NoButton);
  own->setAcceptHoverEvents(false);
  view_->viewport()->installEventFilter(this);
  legend_ = new ChartLegend(this);
  // The chart's legend font, whatever the page's font: the saved chart shows the same.
  legend_->setFont(parts_.chart->legend()->font());
  legend_->setAutoFillBackground(true);
  QPalette white = legend_->palette();
  white.setColor(QPalette::Window, Qt::white);
  legend_->setPalette(white);
  Show(ChartContent{});
}

ProfileChartPanel::~ProfileChartPanel() = default;

void ProfileChartPanel::Show(const ChartContent& content) {
  static const RunResults none;
  const bool current = content.run != nullptr;
  const RunResults& run = current ? *content.run : none;
  static const std::vector<PinnedRun> nothingPinned;
  const std::vector<PinnedRun>& pinned = content.pinned != nullptr ? *content.pinned : nothingPinned;

  FillProfileChart(parts_, run.line, run.summary);
  overlay_->Show(run.line, pinned);
  // Pinned runs stay as baselines when a run did not complete: the chart says so, and the
  // current run's curves leave the legend, so that the pinned lines are not taken for it.
  for (QLineSeries* series : {parts_.airTemp, parts_.webTemp, parts_.residual1, parts_.residual2}) {
    for (QLegendMarker* marker : parts_.chart->legend()->markers(series)) {
      marker->setVisible(current);
    }
  }
  parts_.chart->setTitle(!current && !pinned.empty()
                             ? QStringLiteral("No current run: only the pinned runs are shown")
                             : QString());
  FillJudgingCurves(parts_, run.line, run.judgement, content.showMargin, content.showResidual);
  // Measurements only over a run: the empty chart of a run that did not complete has no
  // line for the points to be read against.
  FillMeasuredSeries(parts_, measured_, current ? content.measured : nullptr);
  QList<QPointF> mark;
  if (current && content.picked && *content.picked < run.line.points.size()) {
    const ProfilePoint& point = run.line.points[*content.picked];
    mark.append(QPointF(point.position, point.temp));
  }
  parts_.picked->replace(mark);
  parts_.picked->setVisible(!mark.isEmpty());
  for (QLegendMarker* marker : parts_.chart->legend()->markers(parts_.picked)) {
    marker->setVisible(!mark.isEmpty());
  }
  legend_->Refresh(parts_.chart);
  Arrange();
}

QList<QFont> ProfileChartPanel::TextFonts() const {
  QList<QFont> fonts{parts_.chart->titleFont(), legend_->font()};
  for (const QAbstractAxis* axis : parts_.chart->axes()) {
    fonts << axis->labelsFont() << axis->titleFont();
  }
  return fonts;
}

void ProfileChartPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

bool ProfileChartPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    const QPointF at = parts_.chart->mapFromScene(view_->mapToScene(press->position().toPoint()));
    if (press->button() == Qt::LeftButton && parts_.chart->plotArea().contains(at)) {
      emit PositionClicked(parts_.chart->mapToValue(at, parts_.webTemp).x());
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ProfileChartPanel::Arrange() {
  const int legendWidth = legend_->WidthFor(height());
  legend_->setGeometry(width() - legendWidth, 0, legendWidth, height());
  legend_->setVisible(legendWidth > 0);
  view_->setGeometry(0, 0, width() - legendWidth, height());
}

void ProfileChartPanel::Draw(QPainter& painter, const QRectF& target, QSize size,
                             const ChartContent& content) {
  ProfileChartPanel panel;
  panel.setAttribute(Qt::WA_DontShowOnScreen);
  panel.resize(size);
  panel.Show(content);
  panel.show();
  // The chart lays itself out on posted requests; a chart drawn before them is empty.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / size.width(), target.height() / size.height());
  panel.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  painter.restore();
}

}  // namespace tovimar::ui
