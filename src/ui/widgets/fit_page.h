#pragma once

#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "conditionfile/measured_data.h"
#include "study/fit.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tovimar::ui {

class LineFileDialogs;
class ProfilePage;
class TForm1;

// The "Fit" page: calibrates the model to measurements taken on the line. It loads a
// measurement file (conditionfile/measured_data.h), takes a standard deviation for each
// measurable quantity and the conditions to fit with optional bounds; Start fits them from
// the form's current entries on a worker thread (study/fit.h) and shows the progress, Stop
// ends it. The result lists each fitted value with its 95 % interval, the RMS of each
// quantity, the warnings and the status; the fitted run is shown on the Drying Profile
// page over the measurements, and "Use fitted values" writes the values into the entries.
// The set-up is kept in form.Line().Fit, updated on every change and shown afresh when a
// line file is loaded.
class FitPage : public QWidget {
  Q_OBJECT

 public:
  FitPage(TForm1& form, ProfilePage* profile, QWidget* parent = nullptr);
  ~FitPage() override;  // stops and waits for a fit under way

  // Adds the page to the form's notebook, which owns it, and has it follow the line
  // settings when a line file is loaded.
  static FitPage* AttachTo(TForm1& form, ProfilePage* profile);

  // The open dialog of the Load Measurements button (tests substitute one that answers).
  void SetFileDialogs(std::unique_ptr<LineFileDialogs> dialogs);

  void LoadClick();
  // Reads the measurement file; false after showing the reader's message in the form's
  // error box, and the page then holds no measurements.
  bool LoadMeasurements(const QString& path);
  [[nodiscard]] const std::optional<MeasuredData>& Measurements() const { return data_; }

  // A row of the parameter table: a condition's field or entry name, bounds as text (empty:
  // none). Remove takes the selected row (the last when none is selected).
  void AddParameter(const QString& name, const QString& lower = {}, const QString& upper = {});
  void RemoveParameter();
  // Sets the standard deviation of a quantity as text (refused only when the fit starts).
  void SetStandardDeviation(MeasuredQuantity quantity, const QString& text);

  void StartClick();
  void StopClick();
  void UseClick();  // writes the fitted values into the entries

  // Fills the page from form.Line().Fit and loads the measurement file it names.
  void ShowSetup();

  [[nodiscard]] bool Running() const { return worker_.joinable(); }
  [[nodiscard]] const std::optional<FitResult>& Result() const { return result_; }
  [[nodiscard]] QString StatusText() const;

  // The controls.
  QLabel* FileLabel = nullptr;        // the file and its counts of measurements
  QTableWidget* SdTable = nullptr;    // one row a measurable quantity
  QTableWidget* ParameterTable = nullptr;  // parameter, lower, upper
  QTableWidget* ResultTable = nullptr;     // caption, start, fitted, 95 % half-width
  QPlainTextEdit* ResultText = nullptr;    // RMS, warnings, status
  QPushButton* LoadButton = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* RemoveButton = nullptr;
  QPushButton* StartButton = nullptr;
  QPushButton* StopButton = nullptr;
  QPushButton* UseButton = nullptr;

 signals:
  void FitFinished();

 private:
  void SaveSetup();  // the page's set-up into form.Line().Fit
  void ShowCounts();
  void ClearMeasurements();
  [[nodiscard]] std::vector<QString> ParameterTexts() const;
  void Progress(std::size_t runs, double weightedSsr);
  void Finished(const FitResult& result);
  void ShowFittedRun();
  void ChainTabs();  // Tab order in reading order, the controls of the tables' rows included

  TForm1& form_;
  ProfilePage* profile_;
  std::unique_ptr<LineFileDialogs> dialogs_;
  QLabel* status_ = nullptr;
  QString file_;  // the measurement file loaded
  std::optional<MeasuredData> data_;
  bool filling_ = false;  // the page is being filled from the set-up
  std::thread worker_;
  std::atomic<bool> stopFlag_{false};
  std::optional<FitResult> result_;
};

// The page's caption in the notebook and the name filter of its open dialog.
inline constexpr const char* FitPageCaption = "Fit";
inline constexpr const char* MeasurementFileFilter = "Measurement Files (*.csv)";

}  // namespace tovimar::ui
