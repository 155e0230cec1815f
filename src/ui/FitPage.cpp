#include "ui/FitPage.h"

#include <exception>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "ui/LinePage.h"
#include "ui/ProfilePage.h"
#include "ui/Tovimar_Main.h"
#include "ui/file_browser.h"
#include "ui/look.h"

namespace tovimar::ui {
namespace {

constexpr int SdColumn = 1;
constexpr int LowerColumn = 1;
constexpr int UpperColumn = 2;

QString Text(std::string_view text) { return FromUtf8(text); }

QTableWidget* Table(const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setHorizontalHeaderLabels(headers);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(22);
  return table;
}

// An editable choice of the physical conditions: the edit holds the field name, as
// ParseFitParameter reads it (an entry name typed in is read too); the list beside each
// name shows what it is.
QComboBox* ParameterCombo(const QString& name) {
  auto* combo = new QComboBox;
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  auto* model = new QStandardItemModel(0, 2, combo);
  for (const ConditionField& field : ConditionFields()) {
    if (!field.enabled || WhyNotFittable(field)) continue;  // disabled, or not a physical condition
    model->appendRow({new QStandardItem(Text(field.fieldName)),
                      new QStandardItem(Text(field.name + " (" + field.unit + ")"))});
  }
  combo->setModel(model);
  auto* view = new QTableView;
  view->horizontalHeader()->setVisible(false);
  view->verticalHeader()->setVisible(false);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setShowGrid(false);
  view->setMinimumWidth(480);
  combo->setView(view);
  view->resizeColumnsToContents();
  combo->setEditText(name);
  return combo;
}

QString CellText(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  return item == nullptr ? QString() : item->text().trimmed();
}

}  // namespace

FitPage::FitPage(TForm1& form, ProfilePage* profile, QWidget* parent)
    : QWidget(parent), form_(form), profile_(profile), dialogs_(std::make_unique<ModalLineFileDialogs>()) {
  setObjectName(QStringLiteral("FitPage"));
  LoadButton = new QPushButton(tr("Load Measurements..."));
  FileLabel = new QLabel;
  FileLabel->setWordWrap(true);

  SdTable = Table({tr("Measured quantity"), tr("Standard deviation")});
  SdTable->horizontalHeader()->setSectionResizeMode(SdColumn, QHeaderView::ResizeToContents);
  SdTable->setRowCount(static_cast<int>(MeasuredQuantityCount));
  for (const MeasuredColumn& column : MeasuredColumns()) {
    const int row = static_cast<int>(column.quantity);
    auto* caption = new QTableWidgetItem(Text(column.title));
    caption->setFlags(caption->flags() & ~Qt::ItemIsEditable);
    SdTable->setItem(row, 0, caption);
    SdTable->setItem(row, SdColumn, new QTableWidgetItem(Text(ShortestNumberText(column.defaultSd))));
  }
  SdTable->setMaximumHeight(SdTable->horizontalHeader()->sizeHint().height() +
                            SdTable->rowCount() * SdTable->verticalHeader()->defaultSectionSize() +
                            2 * SdTable->frameWidth());

  ParameterTable = Table({tr("Parameter to fit"), tr("Lower bound"), tr("Upper bound")});
  auto* add = new QPushButton(tr("Add"));
  auto* remove = new QPushButton(tr("Remove"));
  StartButton = new QPushButton(tr("Start"));
  StopButton = new QPushButton(tr("Stop"));
  UseButton = new QPushButton(tr("Use fitted values"));
  StopButton->setEnabled(false);
  UseButton->setEnabled(false);
  status_ = new QLabel;
  status_->setWordWrap(true);
  ResultTable = Table({tr("Parameter"), tr("Start"), tr("Fitted"), tr("95 % interval")});
  ResultTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ResultText = new QPlainTextEdit;
  ResultText->setReadOnly(true);

  auto* file = new QHBoxLayout;
  file->addWidget(LoadButton);
  file->addWidget(FileLabel, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {add, remove, StartButton, StopButton, UseButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->addLayout(file);
  layout->addWidget(SdTable);
  layout->addWidget(ParameterTable, 1);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  layout->addWidget(ResultTable, 1);
  layout->addWidget(ResultText, 1);

  connect(LoadButton, &QPushButton::clicked, this, &FitPage::LoadClick);
  connect(add, &QPushButton::clicked, this, [this] { AddParameter(QStringLiteral("Keff")); });
  connect(remove, &QPushButton::clicked, this, &FitPage::RemoveParameter);
  connect(StartButton, &QPushButton::clicked, this, &FitPage::StartClick);
  connect(StopButton, &QPushButton::clicked, this, &FitPage::StopClick);
  connect(UseButton, &QPushButton::clicked, this, &FitPage::UseClick);
  connect(SdTable, &QTableWidget::itemChanged, this, &FitPage::SaveSetup);
  connect(ParameterTable, &QTableWidget::itemChanged, this, &FitPage::SaveSetup);
  ShowCounts();
}

FitPage::~FitPage() {
  stopFlag_ = true;
  if (worker_.joinable()) worker_.join();
}

FitPage* FitPage::AttachTo(TForm1& form, ProfilePage* profile) {
  auto* page = new FitPage(form, profile);
  form.AddPage(page, QString::fromUtf8(FitPageCaption));
  connect(&form, &TForm1::LineSettingsLoaded, page, &FitPage::ShowSetup);
  return page;
}

void FitPage::SetFileDialogs(std::unique_ptr<LineFileDialogs> dialogs) {
  if (dialogs) dialogs_ = std::move(dialogs);
}

void FitPage::LoadClick() {
  QString directory = QFileInfo(file_).absolutePath();
  if (file_.isEmpty()) {
    directory = form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
  }
  const QString path = dialogs_->ChooseOpenFile(
      this, tr("Load Measurements"), directory,
      {QString::fromUtf8(MeasurementFileFilter), QString::fromUtf8(AnyFileFilter)});
  if (!path.isEmpty()) LoadMeasurements(path);
}

bool FitPage::LoadMeasurements(const QString& path) {
  try {
    data_ = ReadMeasuredData(QFile::encodeName(path).toStdString());
    file_ = path;
  } catch (const std::exception& e) {  // the reader's InputError or FileError, as a rule
    // A refused file changes nothing: the measurements shown before stay.
    try {
      form_.Dialogs().ShowError(this, tr("The measurements could not be loaded:\n\n") + FromUtf8(e.what()));
    } catch (...) {
      // Nothing more can be reported.
    }
    return false;
  }
  ShowCounts();
  if (profile_ != nullptr) profile_->SetMeasurements(data_);
  SaveSetup();
  return true;
}

void FitPage::ClearMeasurements() {
  data_.reset();
  file_.clear();
  ShowCounts();
  if (profile_ != nullptr) profile_->SetMeasurements(std::nullopt);
}

void FitPage::ShowCounts() {
  if (!data_) {
    FileLabel->setText(tr("No measurements loaded."));
    return;
  }
  QStringList counts;
  for (const MeasuredColumn& column : MeasuredColumns()) {
    if (const std::size_t n = data_->Count(column.quantity); n > 0) {
      counts.append(tr("%1 of %2").arg(n).arg(Text(column.title)));
    }
  }
  FileLabel->setText(tr("%1: %2 measurements (%3)")
                         .arg(QDir::toNativeSeparators(file_))
                         .arg(data_->values.size())
                         .arg(counts.join(QStringLiteral(", "))));
}

void FitPage::AddParameter(const QString& name, const QString& lower, const QString& upper) {
  const bool filling = filling_;
  filling_ = true;  // one change to the set-up, not three
  const int row = ParameterTable->rowCount();
  ParameterTable->insertRow(row);
  QComboBox* combo = ParameterCombo(name);
  ParameterTable->setCellWidget(row, 0, combo);
  ParameterTable->setItem(row, LowerColumn, new QTableWidgetItem(lower));
  ParameterTable->setItem(row, UpperColumn, new QTableWidgetItem(upper));
  connect(combo, &QComboBox::editTextChanged, this, &FitPage::SaveSetup);
  filling_ = filling;
  SaveSetup();
}

void FitPage::RemoveParameter() {
  int row = ParameterTable->currentRow();
  if (row < 0) row = ParameterTable->rowCount() - 1;
  if (row < 0) return;
  ParameterTable->removeRow(row);
  SaveSetup();
}

void FitPage::SetStandardDeviation(MeasuredQuantity quantity, const QString& text) {
  SdTable->item(static_cast<int>(quantity), SdColumn)->setText(text);
}

std::vector<QString> FitPage::ParameterTexts() const {
  std::vector<QString> texts;
  for (int row = 0; row < ParameterTable->rowCount(); ++row) {
    const auto* combo = qobject_cast<QComboBox*>(ParameterTable->cellWidget(row, 0));
    QString text = combo == nullptr ? QString() : combo->currentText().trimmed();
    const QString lower = CellText(ParameterTable, row, LowerColumn);
    const QString upper = CellText(ParameterTable, row, UpperColumn);
    if (!lower.isEmpty() || !upper.isEmpty()) text += QLatin1Char('=') + lower + QLatin1Char(':') + upper;
    texts.push_back(text);
  }
  return texts;
}

void FitPage::SaveSetup() {
  if (filling_) return;
  FitSetup& setup = form_.Line().Fit;
  setup.measurementFile = file_.toStdString();
  setup.parameters.clear();
  for (const QString& text : ParameterTexts()) {
    if (!text.isEmpty() && !text.startsWith(QLatin1Char('='))) setup.parameters.push_back(text.toStdString());
  }
  setup.standardDeviations.clear();
  for (const MeasuredColumn& column : MeasuredColumns()) {
    const QString text = CellText(SdTable, static_cast<int>(column.quantity), SdColumn);
    if (text.isEmpty() || ParseNumber(text.toStdString()) == column.defaultSd) continue;
    setup.standardDeviations.push_back(std::string(column.title) + "=" + text.toStdString());
  }
}

void FitPage::ShowSetup() {
  const FitSetup setup = form_.Line().Fit;  // a copy: filling the page must not change it
  filling_ = true;
  for (const MeasuredColumn& column : MeasuredColumns()) {
    SetStandardDeviation(column.quantity, Text(ShortestNumberText(column.defaultSd)));
  }
  for (const std::string& text : setup.standardDeviations) {
    const std::size_t equals = text.rfind('=');
    const std::optional<MeasuredQuantity> quantity =
        equals == std::string::npos ? std::nullopt : FindMeasuredQuantity(text.substr(0, equals));
    if (quantity) SetStandardDeviation(*quantity, FromUtf8(text.substr(equals + 1)));
  }
  ParameterTable->setRowCount(0);
  for (const std::string& text : setup.parameters) {
    const QString all = FromUtf8(text);
    const QString range = all.section(QLatin1Char('='), 1);
    AddParameter(all.section(QLatin1Char('='), 0, 0), range.section(QLatin1Char(':'), 0, 0),
                 range.section(QLatin1Char(':'), 1));
  }
  filling_ = false;
  ClearMeasurements();  // the earlier file's points go, whether or not this one loads
  if (setup.measurementFile.empty() || LoadMeasurements(FromUtf8(setup.measurementFile))) {
    SaveSetup();
  }
  // A file that cannot be read now stays named in the set-up until the page is changed, so
  // that saving the line file again does not drop it.
}

QString FitPage::StatusText() const { return status_->text(); }

}  // namespace tovimar::ui
