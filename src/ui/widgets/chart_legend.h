#pragma once

#include <vector>

#include <QBrush>
#include <QPen>
#include <QRect>
#include <QScatterSeries>
#include <QString>
#include <QWidget>

class QChart;

namespace tovimar::ui {

// The legend of a chart as a widget beside it: one entry per visible series whose legend
// marker is visible, in the chart's series order, each with a sample of its line (or its
// marker) and its whole name. Entries fill columns from the top; the widget asks for as
// many columns as its height needs, so that no name is ever shortened.
class ChartLegend : public QWidget {
  Q_OBJECT

 public:
  struct Entry {
    QString text;
    QPen pen;                // the line's pen; for a marker, its border
    bool isMarker = false;   // a point series: a marker instead of a line
    QBrush fill;             // a marker's fill
    QScatterSeries::MarkerShape shape = QScatterSeries::MarkerShapeCircle;
  };

  explicit ChartLegend(QWidget* parent = nullptr);

  // Takes the entries from `chart` again and repaints.
  void Refresh(const QChart* chart);

  [[nodiscard]] const std::vector<Entry>& Entries() const { return entries_; }

  // The width the entries need at `height`: their columns and margins; 0 without entries.
  [[nodiscard]] int WidthFor(int height) const;

  // The height that holds `rows` entries in a column, margins included.
  [[nodiscard]] int HeightForRows(int rows) const { return 2 * Margin + rows * RowHeight(); }

  // Where each entry's text is drawn at the widget's present size, by entry.
  [[nodiscard]] std::vector<QRect> TextRects() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  [[nodiscard]] int RowHeight() const;
  [[nodiscard]] int ColumnWidth() const;
  [[nodiscard]] int RowsFor(int height) const;
  [[nodiscard]] QRect EntryRect(std::size_t index) const;

  static constexpr int Margin = 4;  // around the entries
  std::vector<Entry> entries_;
};

}  // namespace tovimar::ui
