#include "ui/OptimisePage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "results/output_catalogue.h"
#include "run/run_sequence.h"
#include "ui/ProfilePage.h"
#include "ui/Tovimar_Main.h"

namespace tovimar::ui {

namespace {

// Every input a search may vary: the numeric conditions, then the line settings; the item
// data is the stable name.
QComboBox* InputCombo(const QString& selected) {
  auto* combo = new QComboBox;
  for (const ConditionField& field : ConditionFields()) {
    if (!field.enabled) continue;
    combo->addItem(QString::fromStdString(field.fieldName + " - " + field.name + " (" + field.unit + ")"),
                   QString::fromStdString(field.fieldName));
  }
  for (const LineSettingName& line : LineSettingNames()) {
    combo->addItem(QString::fromStdString(line.name + " - " + line.caption + " (" + line.unit + ")"),
                   QString::fromStdString(line.name));
  }
  combo->setCurrentIndex(std::max(0, combo->findData(selected)));
  return combo;
}

// Every line quantity of the output catalogue, as "name - caption (unit)".
QComboBox* OutputCombo(const QString& selected) {
  auto* combo = new QComboBox;
  for (const OutputQuantity& quantity : OutputQuantities()) {
    if (quantity.scope != OutputScope::Line) continue;
    combo->addItem(QString::fromStdString(std::string(quantity.name) + " - " + ColumnTitle(quantity)),
                   QString::fromUtf8(quantity.name.data(), static_cast<int>(quantity.name.size())));
  }
  combo->setCurrentIndex(std::max(0, combo->findData(selected)));
  return combo;
}

QString Number(double value) { return QString::fromStdString(ShortestNumberText(value)); }

double CellNumber(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  return item == nullptr ? 0 : ParseNumber(item->text().toStdString()).value_or(0);
}

QString ComboName(const QTableWidget* table, int row, int column) {
  const auto* combo = qobject_cast<QComboBox*>(table->cellWidget(row, column));
  return combo == nullptr ? QString() : combo->currentData().toString();
}

QTableWidget* Table(const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setHorizontalHeaderLabels(headers);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  return table;
}

}  // namespace

OptimisePage::OptimisePage(TForm1& form, ProfilePage* profile, QWidget* parent)
    : QWidget(parent), form_(form), profile_(profile) {
  setObjectName(QStringLiteral("OptimisePage"));
  variables_ = Table({tr("Variable"), tr("Lower"), tr("Upper")});
  limits_ = Table({tr("Limit on"), tr(""), tr("Bound")});
  objectiveSense_ = new QComboBox;
  objectiveSense_->addItems({tr("Maximise"), tr("Minimise")});
  objectiveName_ = new QComboBox;
  for (const QComboBox* from : {InputCombo({}), OutputCombo({})}) {
    for (int i = 0; i < from->count(); ++i) objectiveName_->addItem(from->itemText(i), from->itemData(i));
    delete from;
  }
  auto* addVariable = new QPushButton(tr("Add variable"));
  auto* addLimit = new QPushButton(tr("Add limit"));
  start_ = new QPushButton(tr("Start"));
  stop_ = new QPushButton(tr("Stop"));
  use_ = new QPushButton(tr("Use these settings"));
  stop_->setEnabled(false);
  use_->setEnabled(false);
  status_ = new QLabel;
  report_ = new QPlainTextEdit;
  report_->setReadOnly(true);

  auto* objective = new QHBoxLayout;
  objective->addWidget(new QLabel(tr("Objective:")));
  objective->addWidget(objectiveSense_);
  objective->addWidget(objectiveName_, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {addVariable, addLimit, start_, stop_, use_}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(objective);
  layout->addWidget(variables_, 2);
  layout->addWidget(limits_, 1);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  layout->addWidget(report_, 1);

  connect(addVariable, &QPushButton::clicked, this, [this] { AddVariable("LineSpeed", 0.1, 3); });
  connect(addLimit, &QPushButton::clicked, this,
          [this] { AddLimit("LineEndResidualSolvent", LimitSense::AtMost, 2); });
  connect(start_, &QPushButton::clicked, this, &OptimisePage::StartClick);
  connect(stop_, &QPushButton::clicked, this, &OptimisePage::StopClick);
  connect(use_, &QPushButton::clicked, this, &OptimisePage::UseClick);
  SetObjective("LineSpeed", OptimiseSense::Maximise);
}

OptimisePage::~OptimisePage() {
  stopFlag_ = true;
  if (worker_.joinable()) worker_.join();
}

OptimisePage* OptimisePage::AttachTo(TForm1& form, ProfilePage* profile) {
  auto* page = new OptimisePage(form, profile);
  form.AddPage(page, tr("Optimise"));
  return page;
}

void OptimisePage::AddVariable(const QString& name, double lower, double upper) {
  const int row = variables_->rowCount();
  variables_->insertRow(row);
  variables_->setCellWidget(row, 0, InputCombo(name));
  variables_->setItem(row, 1, new QTableWidgetItem(Number(lower)));
  variables_->setItem(row, 2, new QTableWidgetItem(Number(upper)));
}

void OptimisePage::AddLimit(const QString& name, LimitSense sense, double bound) {
  const int row = limits_->rowCount();
  limits_->insertRow(row);
  limits_->setCellWidget(row, 0, OutputCombo(name));
  auto* senseCombo = new QComboBox;
  senseCombo->addItems({QStringLiteral("<="), QStringLiteral(">=")});
  senseCombo->setCurrentIndex(sense == LimitSense::AtMost ? 0 : 1);
  limits_->setCellWidget(row, 1, senseCombo);
  limits_->setItem(row, 2, new QTableWidgetItem(Number(bound)));
}

void OptimisePage::SetObjective(const QString& name, OptimiseSense sense) {
  objectiveName_->setCurrentIndex(std::max(0, objectiveName_->findData(name)));
  objectiveSense_->setCurrentIndex(sense == OptimiseSense::Maximise ? 0 : 1);
}

OptimiseProblem OptimisePage::Problem() const {
  OptimiseProblem problem;
  problem.objective.name = objectiveName_->currentData().toString().toStdString();
  problem.objective.sense =
      objectiveSense_->currentIndex() == 0 ? OptimiseSense::Maximise : OptimiseSense::Minimise;
  for (int row = 0; row < variables_->rowCount(); ++row) {
    problem.variables.push_back({ComboName(variables_, row, 0).toStdString(),
                                 CellNumber(variables_, row, 1), CellNumber(variables_, row, 2)});
  }
  for (int row = 0; row < limits_->rowCount(); ++row) {
    const auto* sense = qobject_cast<QComboBox*>(limits_->cellWidget(row, 1));
    problem.limits.push_back({ComboName(limits_, row, 0).toStdString(),
                              sense->currentIndex() == 0 ? LimitSense::AtMost : LimitSense::AtLeast,
                              CellNumber(limits_, row, 2)});
  }
  return problem;
}

QString OptimisePage::StatusText() const { return status_->text(); }

void OptimisePage::StartClick() {
  if (Running()) return;
  running_ = Problem();
  if (const std::optional<std::string> error = CheckOptimiseProblem(running_)) {
    status_->setText(QString::fromStdString(*error));
    return;
  }
  MapEntryTexts base;
  for (const std::string& name : AllEntryNames()) base.ForceText(name, form_.Text(name));
  stopFlag_ = false;
  result_.reset();
  start_->setEnabled(false);
  use_->setEnabled(false);
  stop_->setEnabled(true);
  status_->setText(tr("Searching..."));
  OptimiseSettings settings;
  settings.stop = &stopFlag_;
  settings.onProgress = [this](const OptimiseProgress& progress) {
    if (progress.runs % 20 != 0) return;
    QMetaObject::invokeMethod(this, [this, runs = progress.runs, best = progress.bestObjective] {
      Progress(runs, best);
    }, Qt::QueuedConnection);
  };
  worker_ = std::thread([this, base = std::move(base), line = form_.Line(), settings] {
    const OptimiseResult result = Optimise(running_, base, line, settings);
    QMetaObject::invokeMethod(this, [this, result] { Finished(result); }, Qt::QueuedConnection);
  });
}

void OptimisePage::StopClick() { stopFlag_ = true; }

void OptimisePage::Progress(std::size_t runs, std::optional<double> best) {
  if (result_) return;  // a late report of a search already done
  status_->setText(tr("%1 runs, best so far %2").arg(runs).arg(best ? Number(*best) : tr("none")));
}

void OptimisePage::Finished(const OptimiseResult& result) {
  worker_.join();
  result_ = result;
  start_->setEnabled(true);
  stop_->setEnabled(false);
  use_->setEnabled(result.feasible);
  QString text;
  for (std::size_t i = 0; i < result.valueTexts.size(); ++i) {
    text += QString::fromStdString(running_.variables[i].name + " = " + result.valueTexts[i]) + '\n';
  }
  text += tr("objective %1 = %2\n")
              .arg(QString::fromStdString(running_.objective.name))
              .arg(result.objective ? Number(*result.objective) : tr("none"));
  for (const OptimiseLimitResult& limit : result.limits) {
    text += tr("%1 %2 %3: %4 %5\n")
                .arg(QString::fromStdString(limit.limit.name))
                .arg(limit.limit.sense == LimitSense::AtMost ? "<=" : ">=")
                .arg(Number(limit.limit.bound))
                .arg(limit.value ? Number(*limit.value) : tr("none"))
                .arg(!limit.met ? tr("not met") : limit.active ? tr("active") : tr("inactive"));
  }
  report_->setPlainText(text);
  status_->setText(tr("%1: %2 runs in %3 s")
                       .arg(result.feasible ? tr("Best point within every limit") : tr("No point within every limit"))
                       .arg(result.runs)
                       .arg(result.seconds, 0, 'f', 2));
  if (!result.values.empty() && profile_ != nullptr) {
    // The best point's run, shown on the Drying Profile page; the entries stay as they are.
    MapEntryTexts entries;
    for (const std::string& name : AllEntryNames()) entries.ForceText(name, form_.Text(name));
    LineSettings line = form_.Line();
    ApplyOptimisePoint(running_, result.values, entries, line);
    RunOptions options;
    options.writeResultFile = false;
    profile_->RunStarting();
    profile_->RunFinished(RunSimulation(form_.Sim(), entries, options));
  }
  emit SearchFinished();
}

void OptimisePage::UseClick() {
  if (!result_ || !result_->feasible) return;
  for (std::size_t i = 0; i < running_.variables.size(); ++i) {
    const std::string& name = running_.variables[i].name;
    if (const ConditionField* field = FindField(name)) {
      form_.SetText(field->entryName, result_->valueTexts[i]);
    } else {
      ApplyLineSetting(form_.Line(), name + "=" + result_->valueTexts[i]);
    }
  }
}

}  // namespace tovimar::ui
