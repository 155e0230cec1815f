#include "ui/widgets/chart_legend.h"

#include <algorithm>

#include <QChart>
#include <QHelpEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QToolTip>

namespace tovimar::ui {
namespace {

constexpr int SampleWidth = 30;  // of a line's sample
constexpr int Gap = 6;          // between the sample and the text
constexpr int ColumnGap = 10;   // after each column's widest text

bool InLegend(const QChart* chart, QAbstractSeries* series) {
  if (!series->isVisible()) return false;
  const QList<QLegendMarker*> markers = chart->legend()->markers(series);
  return std::any_of(markers.begin(), markers.end(),
                     [](const QLegendMarker* marker) { return marker->isVisible(); });
}

}  // namespace

ChartLegend::ChartLegend(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ChartLegend"));
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ChartLegend::Refresh(const QChart* chart) {
  entries_.clear();
  for (QAbstractSeries* series : chart->series()) {
    if (!InLegend(chart, series)) continue;
    Entry entry;
    entry.text = series->name();
    if (const auto* points = qobject_cast<const QScatterSeries*>(series)) {
      entry.isMarker = true;
      entry.pen = QPen(points->borderColor());
      entry.fill = QBrush(points->color());
      entry.shape = points->markerShape();
    } else if (const auto* line = qobject_cast<const QLineSeries*>(series)) {
      entry.pen = line->pen();
    }
    entries_.push_back(entry);
  }
  update();
}

int ChartLegend::RowHeight() const { return fontMetrics().height() + 4; }

int ChartLegend::ColumnWidth() const {
  int text = 0;
  for (const Entry& entry : entries_) {
    text = std::max(text, fontMetrics().horizontalAdvance(entry.text));
  }
  return SampleWidth + Gap + text + ColumnGap;
}

int ChartLegend::RowsFor(int height) const {
  return std::max(1, (height - 2 * Margin) / RowHeight());
}

int ChartLegend::WidthFor(int height) const {
  if (entries_.empty()) return 0;
  const auto n = static_cast<int>(entries_.size());
  const int rows = RowsFor(height);
  const int columns = (n + rows - 1) / rows;
  return 2 * Margin + columns * ColumnWidth();
}

QRect ChartLegend::EntryRect(std::size_t index) const {
  const int rows = RowsFor(height());
  const int i = static_cast<int>(index);
  return {Margin + (i / rows) * ColumnWidth(), Margin + (i % rows) * RowHeight(), ColumnWidth() - ColumnGap,
          RowHeight()};
}

std::vector<QRect> ChartLegend::TextRects() const {
  std::vector<QRect> rects;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const QRect entry = EntryRect(i);
    rects.emplace_back(entry.left() + SampleWidth + Gap, entry.top(), entry.width() - SampleWidth - Gap,
                       entry.height());
  }
  return rects;
}

void ChartLegend::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const std::vector<QRect> texts = TextRects();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    const QRect box = EntryRect(i);
    const int y = box.center().y();
    if (entry.isMarker) {
      painter.setPen(entry.pen);
      painter.setBrush(entry.fill);
      const QRectF mark(box.left() + SampleWidth / 2.0 - 4, y - 4, 8, 8);
      if (entry.shape == QScatterSeries::MarkerShapeRectangle) {
        painter.drawRect(mark);
      } else {
        painter.drawEllipse(mark);
      }
    } else {
      painter.setPen(entry.pen);
      painter.drawLine(QPointF(box.left() + 1, y), QPointF(box.left() + SampleWidth - 1, y));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(texts[i], Qt::AlignLeft | Qt::AlignVCenter, entry.text);
  }
}

bool ChartLegend::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (EntryRect(i).contains(help->pos())) {
        QToolTip::showText(help->globalPos(), entries_[i].text, this, EntryRect(i));
        return true;
      }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  return QWidget::event(event);
}

}  // namespace tovimar::ui
