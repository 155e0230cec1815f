// The rows of the Optimise page's tables: variables and limits added, switched and removed.
#include <algorithm>
#include <set>

#include <QComboBox>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTableWidget>

#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/optimise_cells.h"
#include "ui/widgets/optimise_page.h"

namespace tovimar::ui {

bool OptimisePage::AddVariable(const QString& name, double lower, double upper) {
  QComboBox* combo = InputCombo(InputName(name));
  if (combo->findData(InputName(name)) < 0) {
    delete combo;
    return false;
  }
  const int row = variables_->rowCount();
  const QSignalBlocker blocker(variables_);
  variables_->insertRow(row);
  variables_->setCellWidget(row, 0, combo);
  variables_->setItem(row, 1, new QTableWidgetItem(NumberText(lower)));
  variables_->setItem(row, 2, new QTableWidgetItem(NumberText(upper)));
  connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { VariableChanged(combo); });
  ChainTabs();
  StoreSetup();
  return true;
}

bool OptimisePage::AddLimit(const QString& name, LimitSense sense, double bound) {
  QComboBox* combo = OutputCombo(name);
  if (combo->findData(name) < 0) {
    delete combo;
    return false;
  }
  const int row = limits_->rowCount();
  const QSignalBlocker blocker(limits_);
  limits_->insertRow(row);
  limits_->setCellWidget(row, 0, combo);
  auto* senseCombo = new QComboBox;
  senseCombo->addItems({QStringLiteral("<="), QStringLiteral(">=")});
  senseCombo->setCurrentIndex(sense == LimitSense::AtMost ? 0 : 1);
  limits_->setCellWidget(row, 1, senseCombo);
  limits_->setItem(row, 2, new QTableWidgetItem(NumberText(bound)));
  for (QComboBox* changing : {combo, senseCombo}) {
    connect(changing, &QComboBox::currentIndexChanged, this, &OptimisePage::StoreSetup);
  }
  ChainTabs();
  StoreSetup();
  return true;
}

void OptimisePage::RemoveSelectedRows() {
  for (QTableWidget* table : {variables_, limits_}) {
    const int fixed = table == limits_ ? static_cast<int>(lineLimits_.size()) : 0;
    std::set<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedIndexes()) {
      if (index.row() >= fixed) rows.insert(index.row());
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) table->removeRow(*row);
  }
  StoreSetup();
}

void OptimisePage::AddVariableClick() {
  // The Speed, the usual first question, or else the first input not varied yet, with its
  // default bounds.
  const OptimiseProblem problem = Problem();
  QComboBox* inputs = InputCombo({});
  QStringList candidates{QStringLiteral("LineSpeed")};
  for (int i = 0; i < inputs->count(); ++i) candidates << inputs->itemData(i).toString();
  delete inputs;
  QString name;
  for (const QString& candidate : candidates) {
    if (!name.isEmpty()) break;
    if (std::none_of(problem.variables.begin(), problem.variables.end(),
                     [&](const OptimiseVariable& v) { return QString::fromStdString(v.name) == candidate; })) {
      name = candidate;
    }
  }
  const OptimiseVariable variable = DefaultVariable(name.toStdString(), form_, form_.Line());
  AddVariable(name, variable.lower, variable.upper);
}

void OptimisePage::VariableChanged(QComboBox* combo) {
  // A row switched to another quantity takes that quantity's bounds.
  for (int row = 0; row < variables_->rowCount() && !filling_; ++row) {
    if (variables_->cellWidget(row, 0) != combo) continue;
    const OptimiseVariable variable = DefaultVariable(combo->currentData().toString().toStdString(), form_, form_.Line());
    const QSignalBlocker blocker(variables_);
    variables_->item(row, 1)->setText(NumberText(variable.lower));
    variables_->item(row, 2)->setText(NumberText(variable.upper));
  }
  StoreSetup();
}

}  // namespace tovimar::ui
