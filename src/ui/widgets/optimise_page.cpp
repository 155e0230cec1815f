#include "ui/widgets/optimise_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "run/run_sequence.h"
#include "study/quantity_text.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/optimise_cells.h"
#include "ui/widgets/optimise_messages.h"
#include "ui/widgets/tab_chain.h"

namespace tovimar::ui {

OptimisePage::OptimisePage(TForm1& form, ProfilePage* profile, QWidget* parent)
    : QWidget(parent), form_(form), profile_(profile) {
  setObjectName(QStringLiteral("OptimisePage"));
  variables_ = StretchedTable({tr("Variable"), tr("Lower"), tr("Upper")});
  limits_ = StretchedTable({tr("Limit on"), tr(""), tr("Bound")});
  variables_->setObjectName(QStringLiteral("OptimiseVariables"));
  limits_->setObjectName(QStringLiteral("OptimiseLimits"));
  objectiveSense_ = new QComboBox;
  objectiveSense_->setObjectName(QStringLiteral("ObjectiveSense"));
  objectiveSense_->addItems({tr("Maximise"), tr("Minimise")});
  objectiveName_ = new QComboBox;
  objectiveName_->setObjectName(QStringLiteral("ObjectiveName"));
  for (const QComboBox* from : {InputCombo({}), OutputCombo({})}) {
    for (int i = 0; i < from->count(); ++i) objectiveName_->addItem(from->itemText(i), from->itemData(i));
    delete from;
  }
  addVariable_ = new QPushButton(tr("Add &variable"));
  addVariable_->setObjectName(QStringLiteral("AddVariableButton"));
  addLimit_ = new QPushButton(tr("Add &limit"));
  addLimit_->setObjectName(QStringLiteral("AddLimitButton"));
  remove_ = new QPushButton(tr("&Remove"));
  remove_->setObjectName(QStringLiteral("RemoveButton"));
  QPushButton* remove = remove_;
  remove->setToolTip(tr("Removes the selected rows of both tables"));
  start_ = new QPushButton(tr("S&tart"));
  start_->setObjectName(QStringLiteral("StartButton"));
  stop_ = new QPushButton(tr("Sto&p"));
  stop_->setObjectName(QStringLiteral("StopButton"));
  use_ = new QPushButton(tr("&Use these settings"));
  use_->setObjectName(QStringLiteral("UseButton"));
  stop_->setEnabled(false);
  use_->setEnabled(false);
  status_ = new QLabel;
  report_ = new QPlainTextEdit;
  report_->setObjectName(QStringLiteral("OptimiseReport"));
  report_->setReadOnly(true);
  report_->setTabChangesFocus(true);

  auto* objective = new QHBoxLayout;
  auto* objectiveLabel = new QLabel(tr("&Objective:"));
  objectiveLabel->setBuddy(objectiveSense_);
  objective->addWidget(objectiveLabel);
  objective->addWidget(objectiveSense_);
  objective->addWidget(objectiveName_, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {addVariable_, addLimit_, remove, start_, stop_, use_}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(objective);
  layout->addWidget(variables_, 2);
  layout->addWidget(limits_, 1);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  layout->addWidget(report_, 1);

  connect(addVariable_, &QPushButton::clicked, this, &OptimisePage::AddVariableClick);
  connect(addLimit_, &QPushButton::clicked, this,
          [this] { AddLimit("LineEndResidualSolvent", LimitSense::AtMost, 2); });
  connect(remove, &QPushButton::clicked, this, &OptimisePage::RemoveSelectedRows);
  connect(start_, &QPushButton::clicked, this, &OptimisePage::StartClick);
  connect(stop_, &QPushButton::clicked, this, &OptimisePage::StopClick);
  connect(use_, &QPushButton::clicked, this, &OptimisePage::UseClick);
  for (QComboBox* combo : {objectiveSense_, objectiveName_}) {
    connect(combo, &QComboBox::currentIndexChanged, this, &OptimisePage::StoreSetup);
  }
  for (QTableWidget* table : {variables_, limits_}) {
    connect(table, &QTableWidget::itemChanged, this, &OptimisePage::StoreSetup);
  }
  connect(&form_, &TForm1::LineSettingsLoaded, this, &OptimisePage::ShowSetup);
  ShowSetup();
  ChainTabs();
}

void OptimisePage::ChainTabs() {
  ChainTabOrder({objectiveSense_, objectiveName_, variables_, limits_, addVariable_, addLimit_, remove_,
                 start_, stop_, use_, report_});
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

bool OptimisePage::SetObjective(const QString& name, OptimiseSense sense) {
  const int index = objectiveName_->findData(InputName(name));
  if (index < 0) return false;
  objectiveName_->setCurrentIndex(index);
  objectiveSense_->setCurrentIndex(sense == OptimiseSense::Maximise ? 0 : 1);
  StoreSetup();
  return true;
}

void OptimisePage::StoreSetup() {
  if (filling_) return;
  ShowLineLimits();  // a variable may have made a zone's exhaust or the target a limit
  OptimiseSetup setup;
  setup.objective = (objectiveSense_->currentIndex() == 0 ? "max:" : "min:") +
                    objectiveName_->currentData().toString().toStdString();
  for (int row = 0; row < variables_->rowCount(); ++row) {
    setup.variables.push_back(ComboName(variables_, row, 0).toStdString() + "=" +
                              CellText(variables_, row, 1) + ":" + CellText(variables_, row, 2));
  }
  for (auto row = static_cast<int>(lineLimits_.size()); row < limits_->rowCount(); ++row) {
    const auto* sense = qobject_cast<QComboBox*>(limits_->cellWidget(row, 1));
    setup.limits.push_back(ComboName(limits_, row, 0).toStdString() +
                           (sense->currentIndex() == 0 ? "<=" : ">=") + CellText(limits_, row, 2));
  }
  form_.Line().Optimise = std::move(setup);
  if (faultShown_) ShowFault();  // a message goes as soon as what it names is mended
}

bool OptimisePage::ShowFault() {
  const std::optional<OptimiseProblemFault> fault = FindOptimiseProblemFault(Problem());
  faultShown_ = fault.has_value();
  if (fault) {
    status_->setText(PageText(*fault));
  } else if (!Running()) {
    status_->clear();
  }
  return faultShown_;
}

void OptimisePage::ShowSetup() {
  const OptimiseSetup setup = form_.Line().Optimise;
  filling_ = true;
  variables_->setRowCount(0);
  limits_->setRowCount(0);
  lineLimits_.clear();
  QStringList unread;
  std::string error;
  const auto refuse = [&](const std::string& text, const std::string& why) {
    unread << QStringLiteral("\"%1\": %2").arg(QString::fromStdString(text), WithoutOptionHint(why));
  };
  const std::string notOffered = "the page offers no such name";
  SetObjective(QStringLiteral("LineSpeed"), OptimiseSense::Maximise);
  if (setup.objective.empty()) {
    // None set up: the page's default.
  } else if (const auto objective = ParseOptimiseObjective(setup.objective, error); !objective) {
    refuse(setup.objective, error);
  } else if (!SetObjective(QString::fromStdString(objective->name), objective->sense)) {
    refuse(setup.objective, notOffered);
  }
  for (const std::string& text : setup.variables) {
    if (const auto variable = ParseOptimiseVariable(text, error); !variable) {
      refuse(text, error);
    } else if (!AddVariable(QString::fromStdString(variable->name), variable->lower, variable->upper)) {
      refuse(text, notOffered);
    }
  }
  for (const std::string& text : setup.limits) {
    if (const auto limit = ParseOptimiseLimit(text, error); !limit) {
      refuse(text, error);
    } else if (!AddLimit(QString::fromStdString(limit->name), limit->sense, limit->bound)) {
      refuse(text, notOffered);
    }
  }
  filling_ = false;
  ShowLineLimits();
  if (!unread.isEmpty()) {
    form_.Dialogs().ShowError(
        this, tr("The Optimise page leaves out what it cannot read of the line file's optimiser "
                 "set-up:\n\n%1").arg(unread.join('\n')));
  }
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
  for (auto row = static_cast<int>(lineLimits_.size()); row < limits_->rowCount(); ++row) {
    const auto* sense = qobject_cast<QComboBox*>(limits_->cellWidget(row, 1));
    problem.limits.push_back({ComboName(limits_, row, 0).toStdString(),
                              sense->currentIndex() == 0 ? LimitSense::AtMost : LimitSense::AtLeast,
                              CellNumber(limits_, row, 2)});
  }
  return problem;
}

QString OptimisePage::StatusText() const { return status_->text(); }

void OptimisePage::showEvent(QShowEvent* event) {
  ShowLineLimits();  // the Line page may have changed the line settings
  QWidget::showEvent(event);
}

void OptimisePage::ShowLineLimits() {
  OptimiseProblem varied;
  for (int row = 0; row < variables_->rowCount(); ++row) {
    varied.variables.push_back({ComboName(variables_, row, 0).toStdString(), 0, 0});
  }
  std::vector<OptimiseLimit> limits = LineLimits(varied, form_.Line());
  if (limits == lineLimits_) return;
  const QSignalBlocker blocker(limits_);
  for (std::size_t i = 0; i < lineLimits_.size(); ++i) limits_->removeRow(0);
  for (std::size_t i = 0; i < limits.size(); ++i) {
    const auto row = static_cast<int>(i);
    limits_->insertRow(row);
    const QString cells[] = {LimitCaption(limits[i]) + tr(" (line settings)"),
                             limits[i].sense == LimitSense::AtMost ? QStringLiteral("<=") : QStringLiteral(">="),
                             NumberText(limits[i].bound)};
    for (int column = 0; column < 3; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setFlags(Qt::ItemIsEnabled);  // neither edited nor selected, so never removed
      item->setToolTip(tr("A limit of the line settings (see the Line page): every search keeps it."));
      limits_->setItem(row, column, item);
    }
  }
  lineLimits_ = std::move(limits);
}

void OptimisePage::StartClick() {
  if (Running()) return;
  ShowLineLimits();
  running_ = Problem();
  if (ShowFault()) return;
  MapEntryTexts base = form_.Snapshot();
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
  status_->setText(tr("%1 runs, best so far %2")
                       .arg(runs)
                       .arg(QString::fromStdString(ReadableQuantity(best, ReadableUnitOf(running_.objective.name)))));
}

void OptimisePage::Finished(const OptimiseResult& result) {
  worker_.join();
  result_ = result;
  start_->setEnabled(true);
  stop_->setEnabled(false);
  use_->setEnabled(result.feasible);
  QString text;
  // The variables as the entries would get them; the objective and the limits' values to
  // a few digits, all with their units.
  const auto withUnit = [](const std::string& text, const std::string& unit) {
    return QString::fromStdString(unit.empty() ? text : text + " " + unit);
  };
  for (std::size_t i = 0; i < result.valueTexts.size(); ++i) {
    text += QString::fromStdString(running_.variables[i].name) + " = " +
            withUnit(result.valueTexts[i], ReadableUnitOf(running_.variables[i].name)) + '\n';
  }
  text += tr("objective %1 = %2\n")
              .arg(QString::fromStdString(running_.objective.name))
              .arg(QString::fromStdString(ReadableQuantity(result.objective, ReadableUnitOf(running_.objective.name))));
  for (const OptimiseLimitResult& limit : result.limits) {
    const std::string unit = ReadableUnitOf(limit.limit.name);
    text += tr("%1%2 %3 %4: %5 %6\n")
                .arg(limit.limit.fromLine ? tr("(line settings) ") : QString())
                .arg(QString::fromStdString(LimitName(limit.limit)))
                .arg(limit.limit.sense == LimitSense::AtMost ? "<=" : ">=")
                .arg(withUnit(NumberText(limit.limit.bound).toStdString(), unit))
                .arg(QString::fromStdString(ReadableQuantity(limit.value, unit)))
                .arg(!limit.met ? tr("not met") : limit.active ? tr("active") : tr("inactive"));
  }
  for (const std::string& warning : result.warnings) text += tr("Warning: ") + QString::fromStdString(warning) + '\n';
  report_->setPlainText(text);
  status_->setText(tr("%1: %2 runs in %3 s")
                       .arg(result.feasible ? tr("Best point within every limit") : tr("No point within every limit"))
                       .arg(result.runs)
                       .arg(result.seconds, 0, 'f', 2));
  if (!result.values.empty() && profile_ != nullptr) {
    // The best point's run, shown on the Drying Profile page; the entries stay as they are.
    // Judged against the best point's line settings, which a variable may have changed.
    MapEntryTexts entries = form_.Snapshot();
    LineSettings line = form_.Line();
    ApplyOptimisePoint(running_, result.values, entries, line);
    profile_->ShowTrialRun(entries, line);
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
