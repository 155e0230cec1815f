#pragma once

#include <memory>

#include <vector>

#include <QColor>
#include <QString>
#include <QWidget>

#include "study/compare_runs.h"
#include "ui/widgets/save_dialogs.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tovimar::ui {

class PinBoard;
class ProfilePage;
class TForm1;

// The "Compare" page: the pinned runs and the run the Drying Profile page shows ("Current
// run", last) side by side, one column per run. The rows are first the conditions (the inputs
// each run was made of: those that differ, highlighted, or all of them), then the quantities
// of the comparison (line quantities, then zone-exit quantities). Buttons unpin the selected
// run, unpin them all and export the quantities as CSV. It follows every pin and unpin and
// every run the profile page shows at once.
class ComparePage : public QWidget {
  Q_OBJECT

 public:
  ComparePage(TForm1& form, PinBoard& pinned, ProfilePage* profile = nullptr, QWidget* parent = nullptr);

  // Adds the page to the form's notebook, which owns it, showing the runs pinned on
  // `profile` (on a board of its own when there is no profile page).
  static ComparePage* AttachTo(TForm1& form, ProfilePage* profile);

  void SetSaveFileDialogs(std::unique_ptr<SaveFileDialogs> dialogs);

  // Fills the table from the runs shown.
  void Refresh();

  // The runs the table shows: the pinned ones, then the profile page's current run (named
  // CurrentRunName) when it shows one.
  [[nodiscard]] std::vector<PinnedRun> ShownRuns() const;

  // Button handlers.
  void UnpinClick();  // the run of the selected column
  void ClearClick();
  void ExportCsvClick();  // asks where, then ExportCsv

  // Writes the comparison of the runs shown as CSV (WriteComparisonCsv); false after showing
  // the failure in the form's error box.
  bool ExportCsv(const QString& path);

  QLabel* StatusLabel = nullptr;
  // Condition rows only for the inputs that differ between the runs (on at first).
  QCheckBox* OnlyDifferencesCheck = nullptr;
  // Each quantity's cell holds its number as Qt::UserRole data too; a condition's cell holds
  // the run's text, highlighted with HighlightColour where the runs differ.
  QTableWidget* Table = nullptr;
  QPushButton* UnpinButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QPushButton* ExportCsvButton = nullptr;

 private:
  void UpdateButtons();

  TForm1& form_;
  PinBoard& pinned_;
  ProfilePage* profile_;
  std::unique_ptr<SaveFileDialogs> dialogs_;
};

// The text of a value in the comparison: with the zone table's decimals for a quantity that
// table shows, otherwise with ComparisonDigits significant digits (in exponent form below
// 1e-4 and from 1e6 on).
QString ComparisonText(const ComparisonRow& row, double value);
inline constexpr int ComparisonDigits = 4;

// The column of the profile page's current run, and the background of a condition the runs
// differ in.
inline constexpr const char* CurrentRunName = "Current run";
inline const QColor DifferenceColour{0xFF, 0xE8, 0xA8};

// The page's caption in the notebook.
inline constexpr const char* ComparePageCaption = "Compare";

}  // namespace tovimar::ui
