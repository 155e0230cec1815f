#include "ui/widgets/compare_page.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "format/file_writer.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/look.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/tab_chain.h"
#include "ui/widgets/zone_table.h"

namespace tovimar::ui {

QString ComparisonText(const ComparisonRow& row, double value) {
  if (row.quantity != nullptr && row.quantity->Shows(InZoneTable)) {
    return Fixed(value, row.quantity->tableDecimals);
  }
  if (value == 0) {
    return QStringLiteral("0");
  }
  if (!std::isfinite(value)) {
    return Fixed(value, 0);
  }
  // Trailing zeros kept, so that every number of a row shows as many digits.
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  if (exponent < -4 || exponent >= 6) {
    return QString::number(value, 'e', ComparisonDigits - 1);
  }
  return Fixed(value, std::max(0, ComparisonDigits - 1 - exponent));
}

ComparePage::ComparePage(TForm1& form, PinBoard& pinned, ProfilePage* profile, QWidget* parent)
    : QWidget(parent), form_(form), pinned_(pinned), profile_(profile),
      dialogs_(std::make_unique<ModalSaveFileDialogs>()) {
  setObjectName(QStringLiteral("ComparePage"));
  StatusLabel = new QLabel(this);
  StatusLabel->setWordWrap(true);
  OnlyDifferencesCheck = new QCheckBox(QStringLiteral("Only conditions that &differ"), this);
  OnlyDifferencesCheck->setObjectName(QStringLiteral("OnlyDifferencesCheck"));
  OnlyDifferencesCheck->setChecked(true);
  Table = new QTableWidget(this);
  Table->setObjectName(QStringLiteral("CompareTable"));
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setSelectionBehavior(QAbstractItemView::SelectColumns);
  Table->setSelectionMode(QAbstractItemView::SingleSelection);
  Table->verticalHeader()->setDefaultSectionSize(18);
  Table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  UnpinButton = new QPushButton(QStringLiteral("&Unpin"), this);
  UnpinButton->setObjectName(QStringLiteral("UnpinButton"));
  ClearButton = new QPushButton(QStringLiteral("C&lear"), this);
  ClearButton->setObjectName(QStringLiteral("ClearButton"));
  ExportCsvButton = new QPushButton(QStringLiteral("&Export CSV..."), this);
  ExportCsvButton->setObjectName(QStringLiteral("ExportCsvButton"));

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {UnpinButton, ClearButton, ExportCsvButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(StatusLabel, 1);
  top->addWidget(OnlyDifferencesCheck);
  layout->addLayout(top);
  layout->addWidget(Table, 1);
  layout->addLayout(buttons);

  connect(UnpinButton, &QPushButton::clicked, this, &ComparePage::UnpinClick);
  connect(ClearButton, &QPushButton::clicked, this, &ComparePage::ClearClick);
  connect(ExportCsvButton, &QPushButton::clicked, this, &ComparePage::ExportCsvClick);
  connect(Table, &QTableWidget::currentCellChanged, this, &ComparePage::UpdateButtons);
  connect(&pinned_, &PinBoard::Changed, this, &ComparePage::Refresh);
  connect(OnlyDifferencesCheck, &QCheckBox::toggled, this, &ComparePage::Refresh);
  if (profile_ != nullptr) connect(profile_, &ProfilePage::ShownRunChanged, this, &ComparePage::Refresh);
  ChainTabOrder({OnlyDifferencesCheck, Table, UnpinButton, ClearButton, ExportCsvButton});
  Refresh();
}

ComparePage* ComparePage::AttachTo(TForm1& form, ProfilePage* profile) {
  ComparePage* page = nullptr;
  if (profile != nullptr) {
    page = new ComparePage(form, profile->Pinned(), profile);
  } else {
    auto* own = new PinBoard;
    page = new ComparePage(form, *own);
    own->setParent(page);
  }
  form.AddPage(page, QString::fromUtf8(ComparePageCaption));
  return page;
}

void ComparePage::SetSaveFileDialogs(std::unique_ptr<SaveFileDialogs> dialogs) {
  if (dialogs) {
    dialogs_ = std::move(dialogs);
  }
}

std::vector<PinnedRun> ComparePage::ShownRuns() const {
  std::vector<PinnedRun> runs = pinned_.Runs();
  if (profile_ != nullptr && profile_->IsCurrent()) {
    runs.push_back({CurrentRunName, profile_->Results(), profile_->ShownInputs()});
  }
  return runs;
}

void ComparePage::Refresh() {
  const std::vector<PinnedRun> runs = ShownRuns();
  std::vector<ConditionRow> conditions = ConditionRows(runs);
  if (OnlyDifferencesCheck->isChecked()) {
    std::erase_if(conditions, [](const ConditionRow& row) { return !row.differs; });
  }
  const std::vector<ComparisonRow> rows = ComparisonRows(runs);
  const auto first = static_cast<int>(conditions.size());
  Table->clear();
  Table->setColumnCount(static_cast<int>(runs.size()));
  Table->setRowCount(first + static_cast<int>(rows.size()));
  QStringList names;
  for (const PinnedRun& run : runs) {
    names << FromUtf8(run.name);
  }
  Table->setHorizontalHeaderLabels(names);
  for (int r = 0; r < first; ++r) {
    const ConditionRow& condition = conditions[static_cast<std::size_t>(r)];
    auto* header = new QTableWidgetItem(FromUtf8(condition.title));
    QFont font = header->font();
    font.setBold(condition.differs);
    header->setFont(font);
    Table->setVerticalHeaderItem(r, header);
    for (std::size_t c = 0; c < condition.texts.size(); ++c) {
      auto* item = new QTableWidgetItem(FromUtf8(condition.texts[c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (condition.differs) item->setBackground(DifferenceColour);
      Table->setItem(r, static_cast<int>(c), item);
    }
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int row = first + static_cast<int>(r);
    Table->setVerticalHeaderItem(row, new QTableWidgetItem(FromUtf8(rows[r].title)));
    for (std::size_t c = 0; c < rows[r].values.size(); ++c) {
      const std::optional<double>& value = rows[r].values[c];
      if (!value) {
        continue;  // an empty cell: the run has no such value
      }
      auto* item = new QTableWidgetItem(ComparisonText(rows[r], *value));
      item->setData(Qt::UserRole, *value);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Table->setItem(row, static_cast<int>(c), item);
    }
  }
  const std::size_t pinned = pinned_.Runs().size();
  StatusLabel->setText(
      pinned == 0 ? QStringLiteral("No run is pinned. Pin runs with \"Pin Run...\" on the %1 page to "
                                   "compare them here (up to %2).")
                        .arg(QString::fromUtf8(ProfilePageCaption))
                        .arg(MaxPinnedRuns)
                  : QStringLiteral("%1 of at most %2 runs pinned. Select a run's column to unpin it.")
                        .arg(pinned)
                        .arg(MaxPinnedRuns));
  UpdateButtons();
}

void ComparePage::UpdateButtons() {
  const int column = Table->currentColumn();
  UnpinButton->setEnabled(column >= 0 && static_cast<std::size_t>(column) < pinned_.Runs().size());
  ClearButton->setEnabled(!pinned_.Runs().empty());
  ExportCsvButton->setEnabled(Table->columnCount() > 0);
}

void ComparePage::UnpinClick() {
  const int column = Table->currentColumn();
  const std::vector<PinnedRun>& runs = pinned_.Runs();
  if (column >= 0 && static_cast<std::size_t>(column) < runs.size()) {
    const std::string name = runs[static_cast<std::size_t>(column)].name;
    pinned_.Unpin(name);
  }
}

void ComparePage::ClearClick() { pinned_.Clear(); }

void ComparePage::ExportCsvClick() {
  const QString directory =
      form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
  const QString path =
      dialogs_->ChooseSaveFile(this, QStringLiteral("Export Comparison CSV"),
                               QDir(directory).filePath(QStringLiteral("comparison.csv")),
                               {QString::fromUtf8(CsvFilter), QString::fromUtf8(AnyFileFilter)}, nullptr);
  if (!path.isEmpty()) {
    ExportCsv(path);
  }
}

bool ComparePage::ExportCsv(const QString& path) {
  try {
    WriteComparisonCsv(QFile::encodeName(path).toStdString(), ShownRuns());
  } catch (const FileError& e) {
    try {
      form_.Dialogs().ShowError(this, QStringLiteral("The comparison could not be exported to \"%1\":\n\n%2")
                                          .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    } catch (...) {
      // Nothing more can be reported.
    }
    return false;
  }
  return true;
}

}  // namespace tovimar::ui
