#pragma once

#include <QString>
#include <QWidget>

#include "model/drying_model.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace tovimar::ui {

class ChartLegend;

// The chart "Through the coating": the coating's profile through its thickness at one point
// of a diffusion run, the height above the base film (0 at the base film, 1 at the surface)
// along the bottom axis and each solvent's weight fraction up the left one, with its legend
// and the point's place beside it. It stands below the profile chart, which keeps its own
// height: the Drying Profile page makes the window taller by the panel's height while it
// shows (as far as the screen allows).
class DepthChartPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DepthChartPanel(QWidget* parent = nullptr);

  // Shows `profile` (nullptr: no curves) and says `where` below the chart.
  void Show(const DepthProfile* profile, const QString& where);

  [[nodiscard]] QChartView* View() const { return view_; }
  [[nodiscard]] QChart* Chart() const { return chart_; }
  [[nodiscard]] ChartLegend* Legend() const { return legend_; }
  [[nodiscard]] QLabel* PlaceLabel() const { return place_; }
  [[nodiscard]] QLineSeries* Solvent1() const { return w1_; }
  [[nodiscard]] QLineSeries* Solvent2() const { return w2_; }
  [[nodiscard]] QValueAxis* FractionAxis() const { return fractionAxis_; }
  [[nodiscard]] QValueAxis* HeightAxis() const { return heightAxis_; }

 private:
  QChartView* view_ = nullptr;
  QChart* chart_ = nullptr;
  QLineSeries* w1_ = nullptr;
  QLineSeries* w2_ = nullptr;
  QValueAxis* fractionAxis_ = nullptr;
  QValueAxis* heightAxis_ = nullptr;
  ChartLegend* legend_ = nullptr;
  QLabel* place_ = nullptr;
};

// The chart's title.
inline constexpr const char* DepthChartTitle = "Through the coating";
// The panel's height below the profile chart.
inline constexpr int DepthChartHeight = 245;

}  // namespace tovimar::ui
