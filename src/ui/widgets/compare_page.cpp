#include "ui/widgets/compare_page.h"

#include <algorithm>
#include <cmath>

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

ComparePage::ComparePage(TForm1& form, PinBoard& pinned, QWidget* parent)
    : QWidget(parent), form_(form), pinned_(pinned), dialogs_(std::make_unique<ModalSaveFileDialogs>()) {
  setObjectName(QStringLiteral("ComparePage"));
  StatusLabel = new QLabel(this);
  StatusLabel->setWordWrap(true);
  Table = new QTableWidget(this);
  Table->setObjectName(QStringLiteral("CompareTable"));
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setSelectionBehavior(QAbstractItemView::SelectColumns);
  Table->setSelectionMode(QAbstractItemView::SingleSelection);
  Table->verticalHeader()->setDefaultSectionSize(18);
  Table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  UnpinButton = new QPushButton(QStringLiteral("Unpin"), this);
  ClearButton = new QPushButton(QStringLiteral("Clear"), this);
  ExportCsvButton = new QPushButton(QStringLiteral("Export CSV..."), this);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {UnpinButton, ClearButton, ExportCsvButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(StatusLabel);
  layout->addWidget(Table, 1);
  layout->addLayout(buttons);

  connect(UnpinButton, &QPushButton::clicked, this, &ComparePage::UnpinClick);
  connect(ClearButton, &QPushButton::clicked, this, &ComparePage::ClearClick);
  connect(ExportCsvButton, &QPushButton::clicked, this, &ComparePage::ExportCsvClick);
  connect(Table, &QTableWidget::currentCellChanged, this, &ComparePage::UpdateButtons);
  connect(&pinned_, &PinBoard::Changed, this, &ComparePage::Refresh);
  Refresh();
}

ComparePage* ComparePage::AttachTo(TForm1& form, ProfilePage* profile) {
  ComparePage* page = nullptr;
  if (profile != nullptr) {
    page = new ComparePage(form, profile->Pinned());
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

void ComparePage::Refresh() {
  const std::vector<PinnedRun>& runs = pinned_.Runs();
  const std::vector<ComparisonRow> rows = ComparisonRows(runs);
  Table->clear();
  Table->setColumnCount(static_cast<int>(runs.size()));
  Table->setRowCount(static_cast<int>(rows.size()));
  QStringList names;
  for (const PinnedRun& run : runs) {
    names << FromUtf8(run.name);
  }
  Table->setHorizontalHeaderLabels(names);
  QStringList titles;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    titles << FromUtf8(rows[r].title);
    for (std::size_t c = 0; c < rows[r].values.size(); ++c) {
      const std::optional<double>& value = rows[r].values[c];
      if (!value) {
        continue;  // an empty cell: the run has no such value
      }
      auto* item = new QTableWidgetItem(ComparisonText(rows[r], *value));
      item->setData(Qt::UserRole, *value);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Table->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  Table->setVerticalHeaderLabels(titles);
  StatusLabel->setText(
      runs.empty() ? QStringLiteral("No run is pinned. Pin runs with \"Pin Run...\" on the %1 page to "
                                    "compare them here (up to %2).")
                         .arg(QString::fromUtf8(ProfilePageCaption))
                         .arg(MaxPinnedRuns)
                   : QStringLiteral("%1 of at most %2 runs pinned. Select a run's column to unpin it.")
                         .arg(runs.size())
                         .arg(MaxPinnedRuns));
  UpdateButtons();
}

void ComparePage::UpdateButtons() {
  const int column = Table->currentColumn();
  UnpinButton->setEnabled(column >= 0 && column < Table->columnCount());
  ClearButton->setEnabled(!pinned_.Runs().empty());
  ExportCsvButton->setEnabled(!pinned_.Runs().empty());
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
    WriteComparisonCsv(QFile::encodeName(path).toStdString(), pinned_.Runs());
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
