#include "ui/widgets/profile_page.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/look.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/run_name_dialog.h"
#include "ui/widgets/tab_chain.h"

namespace tovimar::ui {
namespace {

// Lets the table grow no further than the height that shows its header and all of its rows
// without a scroll bar (never less than its smallest height).
void FitTableHeight(QTableWidget* table) {
  const int full = table->horizontalHeader()->sizeHint().height() +
                   table->rowCount() * table->verticalHeader()->defaultSectionSize() +
                   2 * table->frameWidth();
  table->setMaximumHeight(std::max(SummaryTableMinimumHeight, full));
}

}  // namespace

ProfilePage::ProfilePage(TForm1& form, QWidget* parent)
    : QWidget(parent),
      form_(form),
      dialogs_(std::make_unique<ModalSaveFileDialogs>()),
      nameDialog_(std::make_unique<ModalRunNameDialog>()),
      pinned_(new PinBoard(this)) {
  setObjectName(QStringLiteral("ProfilePage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->setSpacing(4);

  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
  StatusLabel->setWordWrap(true);
  auto* top = new QHBoxLayout;  // the status, and the switches of the judging curves
  top->addWidget(StatusLabel, 1);
  layout->addLayout(top);

  // The chart view is made when the page is first shown or filled (see EnsureChart): a
  // chart takes longer to build than the whole window, and the program starts on page 1.
  chartHolder_ = new QWidget(this);
  chartHolder_->setObjectName(QStringLiteral("ChartHolder"));
  chartHolder_->setMinimumHeight(240);
  // The profile chart, and below it the chart through the coating of a diffusion run.
  auto* holderLayout = new QVBoxLayout(chartHolder_);
  holderLayout->setContentsMargins(0, 0, 0, 0);
  holderLayout->setSpacing(2);
  chartHolder_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  layout->addWidget(chartHolder_, 1);

  SummaryTable = new QTableWidget(0, SummaryColumnCount, this);
  SummaryTable->setObjectName(QStringLiteral("SummaryTable"));
  SetUpZoneTable(SummaryTable);
  SummaryTable->verticalHeader()->setVisible(false);
  SummaryTable->verticalHeader()->setDefaultSectionSize(18);
  SummaryTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SummaryTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Chart and table share the page's height evenly, the table up to the height that shows
  // all of its rows (see FitTableHeight); the chart takes the rest.
  SummaryTable->setMinimumHeight(SummaryTableMinimumHeight);
  SummaryTable->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  layout->addWidget(SummaryTable, 1);

  DryPointLabel = new QLabel(this);
  DryPointLabel->setObjectName(QStringLiteral("DryPointLabel"));
  layout->addWidget(DryPointLabel);
  StepCheckLabel = new QLabel(this);
  StepCheckLabel->setObjectName(QStringLiteral("StepCheckLabel"));
  StepCheckLabel->setWordWrap(true);
  layout->addWidget(StepCheckLabel);
  // What the user should know before trusting the run: shown, never in the way.
  WarningsLabel = new QLabel(this);
  WarningsLabel->setObjectName(QStringLiteral("WarningsLabel"));
  WarningsLabel->setWordWrap(true);
  WarningsLabel->setStyleSheet(QStringLiteral("color: #9a5b00;"));
  layout->addWidget(WarningsLabel);

  auto* buttons = new QHBoxLayout;
  SaveChartButton = new QPushButton(QStringLiteral("Save &Chart..."), this);
  SaveChartButton->setObjectName(QStringLiteral("SaveChartButton"));
  ExportCsvButton = new QPushButton(QStringLiteral("&Export Profile CSV..."), this);
  ExportCsvButton->setObjectName(QStringLiteral("ExportCsvButton"));
  SaveConditionsButton = new QPushButton(QStringLiteral("Save Con&ditions as Data File..."), this);
  SaveConditionsButton->setObjectName(QStringLiteral("SaveConditionsButton"));
  SaveReportButton = new QPushButton(QStringLiteral("Save &Report..."), this);
  SaveReportButton->setObjectName(QStringLiteral("SaveReportButton"));
  connect(SaveReportButton, &QPushButton::clicked, this, &ProfilePage::SaveReportClick);
  PinButton = new QPushButton(QStringLiteral("&Pin Run..."), this);
  PinButton->setObjectName(QStringLiteral("PinButton"));
  connect(PinButton, &QPushButton::clicked, this, &ProfilePage::PinRunClick);
  connect(pinned_, &PinBoard::Changed, this, &ProfilePage::FillChart);
  for (QPushButton* button :
       {SaveChartButton, ExportCsvButton, SaveConditionsButton, SaveReportButton, PinButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  MarginCheck = new QCheckBox(QStringLiteral("&Boiling margin"), this);
  ResidualCheck = new QCheckBox(QStringLiteral("Residual &solvent"), this);
  MarginCheck->setObjectName(QStringLiteral("MarginCheck"));
  ResidualCheck->setObjectName(QStringLiteral("ResidualCheck"));
  for (QCheckBox* check : {MarginCheck, ResidualCheck}) {
    top->addWidget(check);
    connect(check, &QCheckBox::toggled, this, &ProfilePage::FillChart);
  }
  buttons->addStretch(1);
  HelpButton = new QPushButton(QStringLiteral("&Help"), this);
  HelpButton->setObjectName(QStringLiteral("HelpButton"));
  HelpButton->setAutoDefault(false);
  buttons->addWidget(HelpButton);
  layout->addLayout(buttons);
  connect(HelpButton, &QPushButton::clicked, &form_, &TForm1::ShowHelp);
  connect(SaveChartButton, &QPushButton::clicked, this, &ProfilePage::SaveChartClick);
  connect(ExportCsvButton, &QPushButton::clicked, this, &ProfilePage::ExportCsvClick);
  connect(SaveConditionsButton, &QPushButton::clicked, this, &ProfilePage::SaveConditionsClick);
  ChainTabOrder({MarginCheck, ResidualCheck, SummaryTable, SaveChartButton, ExportCsvButton,
                 SaveConditionsButton, SaveReportButton, PinButton, HelpButton});

  ShowNoResult(QStringLiteral("No run has completed yet. Run the simulation (OK on the first "
                              "page) to see its drying profile here."));
}

ProfilePage::~ProfilePage() = default;

ProfilePage* ProfilePage::AttachTo(TForm1& form) {
  auto* page = new ProfilePage(form);
  form.AddPage(page, QString::fromUtf8(ProfilePageCaption));
  connect(&form, &TForm1::RunStarting, page, &ProfilePage::RunStarting);
  connect(&form, &TForm1::RunFinished, page, &ProfilePage::RunFinished);
  return page;
}

QChartView* ProfilePage::EnsureChart() {
  if (panel_ == nullptr) {
    panel_ = new ProfileChartPanel(chartHolder_);
    ChartView = panel_->View();
    Chart = panel_->Parts();
    FillChart();
    chartHolder_->layout()->addWidget(panel_);
    panel_->show();  // a child made after its parent was shown stays hidden otherwise
    connect(panel_, &ProfileChartPanel::PositionClicked, this, [this](double position) { PickPosition(position); });
    depthPanel_ = new DepthChartPanel(chartHolder_);
    chartHolder_->layout()->addWidget(depthPanel_);
    ShowDepth();
  }
  return ChartView;
}

ChartContent ProfilePage::ShownChart() const {
  ChartContent content;
  content.run = current_ ? &results_ : nullptr;
  content.showMargin = MarginCheck->isChecked();
  content.showResidual = ResidualCheck->isChecked();
  content.pinned = &pinned_->Runs();
  content.measured = measured_ ? &*measured_ : nullptr;
  content.picked = current_ ? picked_ : std::nullopt;
  return content;
}

void ProfilePage::showEvent(QShowEvent* event) {
  EnsureChart();
  QWidget::showEvent(event);
}

void ProfilePage::RunStarting() {
  ShowNoResult(QStringLiteral("A run is under way; its drying profile appears here when it completes."));
}

void ProfilePage::SetSaveFileDialogs(std::unique_ptr<SaveFileDialogs> dialogs) {
  if (dialogs) {
    dialogs_ = std::move(dialogs);
  }
}

void ProfilePage::RunFinished(const RunOutcome& outcome) {
  shownInputs_ = InputsOf(form_, form_.Line());
  ShowOutcome(outcome, form_.Line());
}

void ProfilePage::ShowTrialRun(const MapEntryTexts& entries, const LineSettings& line) {
  RunOptions options;
  options.writeResultFile = false;
  options.model = line.Model;
  RunStarting();
  shownInputs_ = InputsOf(entries, line);
  ShowOutcome(RunSimulation(form_.Sim(), entries, options), line);
}

void ProfilePage::ShowOutcome(const RunOutcome& outcome, const LineSettings& line) {
  shownWarnings_ = outcome.warnings;
  if (outcome.completed()) {
    ShowCompletedRun(form_.Sim(), line);
    if (current_) {
      shownWarnings_.insert(shownWarnings_.end(), results_.judgement.warnings.begin(),
                            results_.judgement.warnings.end());
      if (results_.check.warning) {
        shownWarnings_.push_back(*results_.check.warning);
      }
      StepCheckLabel->setText(FromUtf8(results_.check.line));
    }
  }
  QStringList warnings;
  for (const std::string& warning : shownWarnings_) {
    warnings.append(FromUtf8(warning));
  }
  ShowWarnings(warnings);
  if (outcome.completed()) {
    return;
  }
  ShowNoResult(QStringLiteral("The last run did not complete (%1), so there is no profile to show. "
                              "The chart shows no current curves and the table stays empty until a run "
                              "completes.")
                   .arg(QString::fromUtf8(RunStatusText(outcome.status).data(),
                                          static_cast<qsizetype>(RunStatusText(outcome.status).size()))));
}

void ProfilePage::ShowWarnings(const QStringList& warnings) {
  WarningsLabel->setText(warnings.isEmpty() ? QString()
                                            : QStringLiteral("Warning: ") +
                                                  warnings.join(QStringLiteral("\nWarning: ")));
  WarningsLabel->setVisible(!warnings.isEmpty());
}

void ProfilePage::ShowCompletedRun(const Simulation& sim) { ShowCompletedRun(sim, form_.Line()); }

void ProfilePage::ShowCompletedRun(const Simulation& sim, const LineSettings& settings) {
  try {
    results_ = DeriveResults(sim, settings);
  } catch (const std::exception& e) {
    ShowNoResult(QStringLiteral("The profile of the last run cannot be shown: ") +
                 QString::fromUtf8(e.what()));
    return;
  }
  current_ = true;
  KeepDepthInputs(sim, settings);
  EnsureChart();
  FillChart();
  ShowDepth();
  FillZoneTable(SummaryTable, results_);
  FitTableHeight(SummaryTable);
  const LineProfile& line = results_.line;
  const ProfilePoint& last = line.points.back();
  StatusLabel->setStyleSheet(QString());
  StatusLabel->setText(QStringLiteral("Last completed run: %1 %2 over %3 m, %4 s in the dryer.")
                           .arg(line.zones.size())
                           .arg(line.zones.size() == 1 ? QStringLiteral("zone") : QStringLiteral("zones"))
                           .arg(Fixed(last.position, 3))
                           .arg(Fixed(last.time, 3)));
  if (results_.summary.dryPoint) {
    const DryPoint& dry = *results_.summary.dryPoint;
    DryPointLabel->setText(QStringLiteral("Dry point (drying speed down to 0): %1 m from the entrance "
                                          "of zone 1, in zone %2 at step %3 (%4 s).")
                               .arg(Fixed(dry.position, 3))
                               .arg(dry.zone)
                               .arg(dry.step)
                               .arg(Fixed(dry.time, 3)));
  } else {
    DryPointLabel->setText(QStringLiteral("Dry point: not reached (the drying speed stays above 0 to "
                                          "the end of the line)."));
  }
  SaveChartButton->setEnabled(true);
  ExportCsvButton->setEnabled(true);
  SaveReportButton->setEnabled(true);
  PinButton->setEnabled(true);
  emit ShownRunChanged();
}

void ProfilePage::ShowNoResult(const QString& why) {
  current_ = false;
  results_ = RunResults{};
  picked_.reset();
  depthExits_.clear();
  FillChart();
  ShowDepth();
  SummaryTable->setRowCount(0);
  FitTableHeight(SummaryTable);
  DryPointLabel->clear();
  StepCheckLabel->clear();
  StatusLabel->setText(why);
  StatusLabel->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
  SaveChartButton->setEnabled(false);
  ExportCsvButton->setEnabled(false);
  SaveReportButton->setEnabled(false);
  PinButton->setEnabled(false);
  emit ShownRunChanged();
}

void ProfilePage::FillChart() {
  if (panel_ != nullptr) {
    panel_->Show(ShownChart());
  }
}

void ProfilePage::ShowFailure(const QString& text) {
  try {
    form_.Dialogs().ShowError(this, text);
  } catch (...) {
    // Nothing more can be reported.
  }
}

QString ProfilePage::SuggestedPath(const QString& name) const {
  const QString directory =
      form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
  return QDir(directory).filePath(name);
}

QString ProfilePage::ChooseFile(const QString& caption, const QString& name,
                                const QStringList& filters, QString* chosenFilter) {
  return dialogs_->ChooseSaveFile(this, caption, SuggestedPath(name), filters, chosenFilter);
}

void ProfilePage::SetMeasurements(std::optional<MeasuredData> data) {
  measured_ = std::move(data);
  FillChart();
}

}  // namespace tovimar::ui
