#pragma once

#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "study/optimise.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tovimar::ui {

class ProfilePage;
class TForm1;

// The "Optimise" page: the variables with their bounds, the objective and the limits, picked
// from the catalogues; Start searches on a worker thread (see study/optimise.h) and shows its
// progress, Stop ends it; the best point's run is then shown on the Drying Profile page, and
// "Use these settings" writes the best values into the entries. What the page is set to is
// kept in the line settings (form.Line().Optimise, in the batch tool's text forms) at every
// change, and shown afresh when a line file is loaded. The limits table starts with fixed
// rows, the line settings' own limits (LineLimits: each judged zone's LEL limit, the
// residual target, the least boiling margin), which every search keeps; they follow the
// Line page and cannot be edited or removed here.
class OptimisePage : public QWidget {
  Q_OBJECT

 public:
  OptimisePage(TForm1& form, ProfilePage* profile, QWidget* parent = nullptr);
  ~OptimisePage() override;  // stops and waits for a search under way

  // Adds the page to the form's notebook, which owns it.
  static OptimisePage* AttachTo(TForm1& form, ProfilePage* profile);

  // Rows of the two tables: a variable (field, entry or line-setting name) with its bounds,
  // and a limit on a line quantity. Each returns false, and changes nothing, when the name
  // is not one the page offers.
  bool AddVariable(const QString& name, double lower, double upper);
  bool AddLimit(const QString& name, LimitSense sense, double bound);
  bool SetObjective(const QString& name, OptimiseSense sense);
  // Removes the rows of either table that have a selected cell.
  void RemoveSelectedRows();

  // Fills the page from form.Line().Optimise; a text it cannot read (an unknown name, bounds
  // that are not numbers) is left out and named in the form's error box.
  void ShowSetup();

  // The problem the tables hold, without the fixed rows (the search adds the line settings'
  // limits itself); a bound that is not a number is NaN, which CheckOptimiseProblem refuses.
  [[nodiscard]] OptimiseProblem Problem() const;
  // The limits of the fixed rows, as last shown.
  [[nodiscard]] const std::vector<OptimiseLimit>& LineLimitRows() const { return lineLimits_; }

  void StartClick();
  void StopClick();
  void UseClick();  // writes the best values into the entries and the line settings

  [[nodiscard]] bool Running() const { return worker_.joinable(); }
  [[nodiscard]] const std::optional<OptimiseResult>& Result() const { return result_; }
  [[nodiscard]] QString StatusText() const;

 signals:
  void SearchFinished();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Shows the line settings' limits (at form.Line() and the variables in the table) as the
  // limits table's fixed rows, when they changed.
  void ShowLineLimits();
  // Writes what the page is set to into form.Line().Optimise (not while it is being filled).
  void StoreSetup();
  void Progress(std::size_t runs, std::optional<double> best);
  void Finished(const OptimiseResult& result);

  TForm1& form_;
  ProfilePage* profile_;
  QTableWidget* variables_;
  QTableWidget* limits_;
  QComboBox* objectiveSense_;
  QComboBox* objectiveName_;
  QPushButton* start_;
  QPushButton* stop_;
  QPushButton* use_;
  QLabel* status_;
  QPlainTextEdit* report_;
  std::thread worker_;
  std::atomic<bool> stopFlag_{false};
  OptimiseProblem running_;  // the problem of the search under way or last done
  std::optional<OptimiseResult> result_;
  bool filling_ = true;  // the tables are being filled, not changed by the user
  std::vector<OptimiseLimit> lineLimits_;  // the fixed rows at the top of limits_
};

}  // namespace tovimar::ui
