#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "input/run_inputs.h"
#include "model/conditions.h"
#include "model/diffusion_parameters.h"
#include "results/output_catalogue.h"
#include "run/run_sequence.h"
#include "ui/widgets/depth_chart.h"
#include "ui/widgets/measured_points.h"
#include "ui/widgets/profile_chart.h"
#include "ui/widgets/profile_chart_panel.h"
#include "ui/widgets/save_dialogs.h"
#include "ui/widgets/zone_table.h"

class QChartView;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tovimar::ui {

class PinBoard;
class RunNameDialog;
class TForm1;

// The fifth notebook page, "Drying Profile": the chart and zone summary of the last
// completed run, and buttons that save the chart, the profile as CSV and the current
// entries as a data file, and that pin the run as a baseline. Pinned runs stay on the chart
// as dashed lines, also after a run that did not complete (the chart then says that they
// are all it shows).
class ProfilePage : public QWidget {
  Q_OBJECT

 public:
  explicit ProfilePage(TForm1& form, QWidget* parent = nullptr);
  ~ProfilePage() override;

  // Adds a page to the form's notebook, after its pages, and has every run of the form
  // reported to it. The notebook owns the page.
  static ProfilePage* AttachTo(TForm1& form);

  // A run of the form starts: until it has completed, the page shows nothing as current.
  void RunStarting();

  // A run of the form has finished: a completed run fills the page from the form's
  // simulation; any other clears it and says that the last run did not complete.
  void RunFinished(const RunOutcome& outcome);

  // Runs `entries` in memory on the form's simulation (no result file) and shows the run,
  // judged against `line`, as the last run: what a search or a fit found, while the
  // entries stay as they are.
  void ShowTrialRun(const MapEntryTexts& entries, const LineSettings& line);

  // Fills the page from a simulation that has just completed a run.
  void ShowCompletedRun(const Simulation& sim);
  void ShowCompletedRun(const Simulation& sim, const LineSettings& line);

  // Clears the current run from the chart (pinned runs stay) and the table, and shows `why`
  // in their place.
  void ShowNoResult(const QString& why);

  // Lists the warnings of the last run (hidden when there are none).
  void ShowWarnings(const QStringList& warnings);

  // Whether the page shows the result of the form's last run.
  [[nodiscard]] bool IsCurrent() const { return current_; }
  [[nodiscard]] const LineProfile& Profile() const { return results_.line; }
  [[nodiscard]] const ProfileSummary& Summary() const { return results_.summary; }
  [[nodiscard]] const RunJudgement& Judgement() const { return results_.judgement; }
  [[nodiscard]] const RunResults& Results() const { return results_; }
  // What the run the page shows was made of: the form's entries and line settings for a run
  // of the form, those given for a trial run. A pinned run keeps them.
  [[nodiscard]] const RunInputs& ShownInputs() const { return shownInputs_; }

  void SetSaveFileDialogs(std::unique_ptr<SaveFileDialogs> dialogs);
  void SetRunNameDialog(std::unique_ptr<RunNameDialog> dialog);  // profile_page_pin.cpp

  // The runs pinned as baselines, owned by the page and overlaid on its chart.
  [[nodiscard]] PinBoard& Pinned() const { return *pinned_; }
  // The pinned runs' curves; null until EnsureChart has made the chart.
  [[nodiscard]] const PinnedOverlay* Overlay() const { return panel_ != nullptr ? panel_->Overlay() : nullptr; }
  // The chart with its legend; null until EnsureChart has made it.
  [[nodiscard]] ProfileChartPanel* ChartPanel() const { return panel_; }
  // What the chart shows: the run the page shows (none when it shows none), the judging
  // curves as the check boxes say, the pinned runs and the measurements. A saved chart and
  // the report's chart are drawn from it.
  [[nodiscard]] ChartContent ShownChart() const;

  // Button handlers: each asks where to save, then saves.
  void SaveChartClick();
  void ExportCsvClick();
  void SaveConditionsClick();
  void SaveReportClick();  // profile_page_report.cpp
  void PinRunClick();      // asks a name (proposing the first free "Run N"), then pins

  // The same without the dialog, each of the run the page shows (ShownInputs, ShownChart).
  // Each returns false after showing the failure in the form's error box. A chart is
  // written as SVG when the name ends in ".svg" and as PNG otherwise; every file is written
  // whole or not at all.
  bool SaveChart(const QString& path);
  bool ExportCsv(const QString& path);
  bool SaveConditions(const QString& path);
  // The run report as a PDF: the shown run's conditions, results, warnings and chart.
  bool SaveReport(const QString& path);
  // Pins the current run's results under `name` (profile_page_pin.cpp).
  bool PinRun(const QString& name);

  // Measurements to show over every completed run's chart (none: no points); see
  // measured_points.h. The series are made with the chart.
  void SetMeasurements(std::optional<MeasuredData> data);
  [[nodiscard]] const MeasuredSeries& MeasuredPoints() const { return panel_->Measured(); }

  // The chart view, made when the page is first shown or filled; returns it.
  QChartView* EnsureChart();

  // The chart "Through the coating" beside the profile chart (profile_page_depth.cpp): made
  // with it, shown only while the page shows a diffusion run.
  [[nodiscard]] DepthChartPanel* DepthPanel() const { return depthPanel_; }
  // The point of the diffusion run shown whose profile through the coating the chart shows
  // (an index into Profile().points; at first the line end); none for any other run.
  [[nodiscard]] std::optional<std::size_t> PickedPoint() const { return picked_; }
  // Shows the profile through the coating at the printed point nearest `position` (m from
  // the entrance of zone 1), as a click on the profile chart does: a zone's exit as the run
  // kept it, any other point marched again from the run's conditions. False, changing
  // nothing, when the page shows no diffusion run.
  bool PickPosition(double position);

  // The controls. ChartView and Chart are null until EnsureChart has made them.
  QLabel* StatusLabel = nullptr;
  QChartView* ChartView = nullptr;
  ProfileChartParts Chart;
  QTableWidget* SummaryTable = nullptr;
  QLabel* DryPointLabel = nullptr;
  QLabel* StepCheckLabel = nullptr;  // the step check of the last completed run
  QLabel* WarningsLabel = nullptr;   // every warning of the last run, one a line
  QPushButton* SaveChartButton = nullptr;
  QPushButton* ExportCsvButton = nullptr;
  QPushButton* SaveConditionsButton = nullptr;
  QPushButton* SaveReportButton = nullptr;
  QPushButton* PinButton = nullptr;  // enabled while the page shows a completed run
  QPushButton* HelpButton = nullptr;  // opens the form's help window
  // Switch the boiling margin and the residual solvent curves on (both off at first).
  QCheckBox* MarginCheck = nullptr;
  QCheckBox* ResidualCheck = nullptr;

 signals:
  // The page shows another run, or none.
  void ShownRunChanged();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowFailure(const QString& text);
  void ShowOutcome(const RunOutcome& outcome, const LineSettings& line);
  void FillChart();  // the chart afresh from ShownChart()
  // Keeps what the chart through the coating needs of a diffusion run just shown, and picks
  // its line end; forgets it for any other run (profile_page_depth.cpp).
  void KeepDepthInputs(const Simulation& sim, const LineSettings& settings);
  void ShowDepth();  // the picked point's profile through the coating, or the chart hidden
  QString SuggestedPath(const QString& name) const;
  QString ChooseFile(const QString& caption, const QString& name, const QStringList& filters,
                     QString* chosenFilter);

  TForm1& form_;
  QWidget* chartHolder_ = nullptr;
  std::unique_ptr<SaveFileDialogs> dialogs_;
  std::unique_ptr<RunNameDialog> nameDialog_;
  PinBoard* pinned_ = nullptr;  // a child of the page
  ProfileChartPanel* panel_ = nullptr;  // a child of chartHolder_
  RunResults results_;
  RunInputs shownInputs_;
  bool current_ = false;
  std::optional<MeasuredData> measured_;
  std::vector<std::string> shownWarnings_;  // of the run shown, without "Warning: "
  DepthChartPanel* depthPanel_ = nullptr;  // a child of chartHolder_
  std::optional<std::size_t> picked_;
  DryingConditions depthConditions_;  // of the diffusion run shown
  DiffusionModelParameters depthParameters_;
  std::vector<DepthProfile> depthExits_;  // its zones' exits, as the run kept them
};

// The page's caption in the notebook.
inline constexpr const char* ProfilePageCaption = "Drying Profile";
// The zone table's height in the window at its smallest.
inline constexpr int SummaryTableMinimumHeight = 104;

// Name filters of the save dialogs.
inline constexpr const char* PngFilter = "PNG Image (*.png)";
inline constexpr const char* SvgFilter = "SVG Drawing (*.svg)";
inline constexpr const char* CsvFilter = "CSV Files (*.csv)";
inline constexpr const char* DataFileFilter = "Text Files (*.txt)";
inline constexpr const char* AnyFileFilter = "All Files (*)";
inline constexpr const char* PdfFilter = "PDF Document (*.pdf)";

}  // namespace tovimar::ui
