#pragma once

#include <memory>

#include <QString>
#include <QWidget>

#include "study/compare_runs.h"
#include "ui/widgets/save_dialogs.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tovimar::ui {

class PinBoard;
class ProfilePage;
class TForm1;

// The "Compare" page: the pinned runs side by side, one column per run and one row per
// quantity of the comparison (line quantities, then zone-exit quantities), with buttons that
// unpin the selected run, unpin them all and export the table as CSV. It follows every pin
// and unpin at once.
class ComparePage : public QWidget {
  Q_OBJECT

 public:
  ComparePage(TForm1& form, PinBoard& pinned, QWidget* parent = nullptr);

  // Adds the page to the form's notebook, which owns it, showing the runs pinned on
  // `profile` (on a board of its own when there is no profile page).
  static ComparePage* AttachTo(TForm1& form, ProfilePage* profile);

  void SetSaveFileDialogs(std::unique_ptr<SaveFileDialogs> dialogs);

  // Fills the table from the pinned runs.
  void Refresh();

  // Button handlers.
  void UnpinClick();  // the run of the selected column
  void ClearClick();
  void ExportCsvClick();  // asks where, then ExportCsv

  // Writes the comparison as CSV (WriteComparisonCsv); false after showing the failure in
  // the form's error box.
  bool ExportCsv(const QString& path);

  QLabel* StatusLabel = nullptr;
  QTableWidget* Table = nullptr;  // each cell holds its number as Qt::UserRole data too
  QPushButton* UnpinButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QPushButton* ExportCsvButton = nullptr;

 private:
  void UpdateButtons();

  TForm1& form_;
  PinBoard& pinned_;
  std::unique_ptr<SaveFileDialogs> dialogs_;
};

// The text of a value in the comparison: with the zone table's decimals for a quantity that
// table shows, otherwise with ComparisonDigits significant digits (in exponent form below
// 1e-4 and from 1e6 on).
QString ComparisonText(const ComparisonRow& row, double value);
inline constexpr int ComparisonDigits = 4;

// The page's caption in the notebook.
inline constexpr const char* ComparePageCaption = "Compare";

}  // namespace tovimar::ui
