#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include <QFont>
#include <QList>
#include <QSize>
#include <QWidget>

#include "conditionfile/measured_data.h"
#include "results/output_catalogue.h"
#include "study/compare_runs.h"
#include "ui/widgets/measured_points.h"
#include "ui/widgets/profile_chart.h"

class QChartView;
class QPainter;
class QRectF;

namespace tovimar::ui {

class ChartLegend;
class PinnedOverlay;

// What a profile chart shows: the run (none: only the pinned runs, and a title that says
// so), its judging curves as switched on, the pinned runs over it and measurements.
struct ChartContent {
  const RunResults* run = nullptr;
  bool showMargin = false;
  bool showResidual = false;
  const std::vector<PinnedRun>* pinned = nullptr;  // nullptr: none
  const MeasuredData* measured = nullptr;          // shown only over a run
  // The point of the run whose profile through the coating is shown (an index into
  // run->line.points), marked on the chart; none: no mark.
  std::optional<std::size_t> picked;
};

// The profile chart with its legend beside the plot. The page shows one; a saved chart or a
// report's chart is another, made off screen from the same content, so that what is saved
// is what the page shows.
class ProfileChartPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ProfileChartPanel(QWidget* parent = nullptr);
  ~ProfileChartPanel() override;

  // Shows `content`: every curve, axis and legend entry follows it alone.
  void Show(const ChartContent& content);

  [[nodiscard]] QChartView* View() const { return view_; }
  [[nodiscard]] const ProfileChartParts& Parts() const { return parts_; }
  [[nodiscard]] const PinnedOverlay* Overlay() const { return overlay_.get(); }
  [[nodiscard]] const MeasuredSeries& Measured() const { return measured_; }
  [[nodiscard]] ChartLegend* Legend() const { return legend_; }

  // The fonts of every text of the chart and its legend.
  [[nodiscard]] QList<QFont> TextFonts() const;

  // Draws `content` onto `painter` within `target`, as a panel of `size` pixels made off
  // screen would show it, whatever the size of `target`.
  static void Draw(QPainter& painter, const QRectF& target, QSize size, const ChartContent& content);

 signals:
  // The plot was clicked at `position` (m from the entrance of zone 1).
  void PositionClicked(double position);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Arrange();

  QChartView* view_ = nullptr;
  ChartLegend* legend_ = nullptr;
  ProfileChartParts parts_;
  std::unique_ptr<PinnedOverlay> overlay_;
  MeasuredSeries measured_;
};

}  // namespace tovimar::ui
