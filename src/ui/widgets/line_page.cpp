#include "ui/widgets/line_page.h"

#include <exception>
#include <stdexcept>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/look.h"
#include "ui/widgets/tab_chain.h"

namespace tovimar::ui {
namespace {

constexpr int FlowColumn = 0;
constexpr int LimitColumn = 1;

const LineSettingName* FindName(std::string_view name) {
  for (const LineSettingName& entry : LineSettingNames()) {
    if (entry.name == name) {
      return &entry;
    }
  }
  return nullptr;
}

// The zone setting of `zone` in a column of the zone table.
const LineSettingName& ZoneName(int column, int zone) {
  const std::string key = column == FlowColumn ? "ZoneExhaustFlow" : "ZoneLELLimit";
  for (const LineSettingName& entry : LineSettingNames()) {
    if (entry.key == key && entry.zone == zone) {
      return entry;
    }
  }
  throw std::logic_error("no line setting " + key + " of zone " + std::to_string(zone));
}

// "Exhaust flow of zone 1" without its zone: the column's caption.
QString ColumnCaption(int column) {
  const LineSettingName& name = ZoneName(column, 1);
  QString caption = FromUtf8(name.caption);
  caption.chop(static_cast<qsizetype>(std::string(" of zone 1").size()));
  // Headers do not wrap by themselves: a long caption breaks at its last space, a long unit
  // before its reference state.
  if (caption.size() > 16) {
    caption[caption.lastIndexOf(QLatin1Char(' '))] = QLatin1Char('\n');
  }
  QString unit = FromUtf8(name.unit);
  unit.replace(QStringLiteral(" at "), QStringLiteral("\nat "));
  return caption + QStringLiteral("\n(") + unit + QStringLiteral(")");
}

QString NumberText(double value) { return QString::fromStdString(ShortestNumberText(value)); }

}  // namespace

LinePage::LinePage(TForm1& form, QWidget* parent)
    : QWidget(parent), form_(form), dialogs_(std::make_unique<ModalLineFileDialogs>()) {
  setObjectName(QStringLiteral("LinePage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  auto* columns = new QHBoxLayout;
  layout->addLayout(columns, 1);

  // The settings of the whole line: caption, entry, unit.
  auto* grid = new QGridLayout;
  int row = 0;
  for (const LineSettingName& name : LineSettingNames()) {
    if (name.zone != 0) {
      continue;
    }
    auto* entry = new QLineEdit(this);
    entry->setObjectName(QString::fromStdString("Line_" + name.name));
    entry->setMaximumWidth(90);
    if (name.clearable) {
      entry->setPlaceholderText(QStringLiteral("none"));
    }
    entries_.emplace(name.name, entry);
    grid->addWidget(new QLabel(FromUtf8(name.caption), this), row, 0);
    grid->addWidget(entry, row, 1);
    grid->addWidget(new QLabel(FromUtf8(name.unit), this), row, 2);
    connect(entry, &QLineEdit::editingFinished, this, [this, key = name.name] { EntryEdited(key); });
    ++row;
  }
  grid->setRowStretch(row, 1);
  columns->addLayout(grid);

  ZoneTable = new QTableWidget(MaxZones, 2, this);
  ZoneTable->setObjectName(QStringLiteral("LineZoneTable"));
  ZoneTable->setHorizontalHeaderLabels({ColumnCaption(FlowColumn), ColumnCaption(LimitColumn)});
  for (int zone = 1; zone <= MaxZones; ++zone) {
    ZoneTable->setVerticalHeaderItem(zone - 1, new QTableWidgetItem(QStringLiteral("Zone %1").arg(zone)));
    for (int column : {FlowColumn, LimitColumn}) {
      ZoneTable->setItem(zone - 1, column, new QTableWidgetItem);
    }
  }
  ZoneTable->verticalHeader()->setDefaultSectionSize(18);
  ZoneTable->horizontalHeader()->setSectionResizeMode(FlowColumn, QHeaderView::ResizeToContents);
  ZoneTable->horizontalHeader()->setSectionResizeMode(LimitColumn, QHeaderView::Stretch);
  ZoneTable->horizontalHeaderItem(LimitColumn)->setToolTip(QStringLiteral("Empty: the zone has the common limit."));
  ZoneTable->horizontalHeaderItem(FlowColumn)
      ->setToolTip(QStringLiteral("Empty: no exhaust flow given; the zone's concentration is not judged. "
                                  "0: the zone has no exhaust air, so any solvent it evaporates is "
                                  "above every limit."));
  connect(ZoneTable, &QTableWidget::itemChanged, this, &LinePage::CellChanged);
  columns->addWidget(ZoneTable, 1);

  auto* buttons = new QHBoxLayout;
  LoadButton = new QPushButton(QStringLiteral("&Load Line File..."), this);
  LoadButton->setObjectName(QStringLiteral("LoadLineButton"));
  SaveButton = new QPushButton(QStringLiteral("&Save Line File..."), this);
  SaveButton->setObjectName(QStringLiteral("SaveLineButton"));
  for (QPushButton* button : {LoadButton, SaveButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(LoadButton, &QPushButton::clicked, this, &LinePage::LoadClick);
  connect(SaveButton, &QPushButton::clicked, this, &LinePage::SaveClick);
  std::vector<QWidget*> chain;
  for (const LineSettingName& name : LineSettingNames()) chain.push_back(Entry(name.name));
  chain.insert(chain.end(), {ZoneTable, LoadButton, SaveButton});
  ChainTabOrder(chain);
  ShowSettings();
}

LinePage::~LinePage() = default;

LinePage* LinePage::AttachTo(TForm1& form) {
  auto* page = new LinePage(form);
  form.AddPage(page, QString::fromUtf8(LinePageCaption));
  connect(&form, &TForm1::RunStarting, page, [page] { page->ApplyPending(); });
  connect(&form, &TForm1::LineSettingsLoaded, page, &LinePage::ShowSettings);
  return page;
}

QLineEdit* LinePage::Entry(std::string_view name) const {
  const auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : found->second;
}

void LinePage::SetFileDialogs(std::unique_ptr<LineFileDialogs> dialogs) {
  if (dialogs) {
    dialogs_ = std::move(dialogs);
  }
}

QString LinePage::SettingText(const std::string& name) const {
  const LineSettings& s = form_.Line();
  const LineSettingName* setting = FindName(name);
  const auto zone = static_cast<std::size_t>(setting != nullptr ? setting->zone : 0);
  if (setting == nullptr) return {};
  if (setting->key == "ZoneExhaustFlow") {
    return s.ZoneExhaustFlow[zone] ? NumberText(*s.ZoneExhaustFlow[zone]) : QString();
  }
  if (setting->key == "ZoneLELLimit") {
    return s.ZoneLELLimit[zone] ? NumberText(*s.ZoneLELLimit[zone]) : QString();
  }
  if (name == "ResidualTarget") return s.ResidualTarget ? NumberText(*s.ResidualTarget) : QString();
  if (name == "WebWidth") return NumberText(s.WebWidth);
  if (name == "LEL1") return NumberText(s.LEL1);
  if (name == "LEL2") return NumberText(s.LEL2);
  if (name == "LELLimit") return NumberText(s.LELLimit);
  return NumberText(s.BoilingMarginMin);
}

void LinePage::ShowSettings() {
  for (const auto& [name, entry] : entries_) {
    entry->setText(SettingText(name));  // also clears the entry's modified flag
  }
  showing_ = true;
  for (int zone = 1; zone <= MaxZones; ++zone) {
    for (int column : {FlowColumn, LimitColumn}) {
      ZoneTable->item(zone - 1, column)->setText(SettingText(ZoneName(column, zone).name));
    }
  }
  showing_ = false;
}

bool LinePage::Apply(const std::string& name, const QString& text) {
  try {
    ApplyLineSetting(form_.Line(), name + "=" + text.trimmed().toStdString());
    return true;
  } catch (const std::exception& e) {
    const LineSettingName* setting = FindName(name);
    form_.Dialogs().ShowMessage(
        this, QStringLiteral("%1 (%2): \"%3\" is not accepted; the setting stays %4.\n%5")
                  .arg(FromUtf8(setting != nullptr ? setting->caption : name),
                       FromUtf8(setting != nullptr ? setting->unit : std::string()), text,
                       SettingText(name).isEmpty() ? QStringLiteral("empty") : SettingText(name),
                       FromUtf8(e.what())));
    return false;
  }
}

void LinePage::EntryEdited(const std::string& name) {
  QLineEdit* entry = entries_.at(name);
  if (!entry->isModified()) {
    return;
  }
  Apply(name, entry->text());
  entry->setText(SettingText(name));
}

void LinePage::CellChanged(QTableWidgetItem* item) {
  if (showing_ || item == nullptr) {
    return;
  }
  const std::string name = ZoneName(item->column(), item->row() + 1).name;
  Apply(name, item->text());
  showing_ = true;
  item->setText(SettingText(name));
  showing_ = false;
}

bool LinePage::ApplyPending() {
  bool ok = true;
  for (const auto& [name, entry] : entries_) {
    if (entry->isModified()) {
      ok = Apply(name, entry->text()) && ok;
      entry->setText(SettingText(name));
    }
  }
  return ok;
}

void LinePage::showEvent(QShowEvent* event) {
  // Another page (Optimise's "Use these settings") may have changed the settings.
  ShowSettings();
  QWidget::showEvent(event);
}

void LinePage::LoadClick() {
  const QString directory =
      form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
  const QString path =
      dialogs_->ChooseOpenFile(this, QStringLiteral("Load Line File"), directory,
                               {QString::fromUtf8(LineFileFilter), QStringLiteral("All Files (*)")});
  if (!path.isEmpty()) {
    LoadLineFile(path);
  }
}

void LinePage::SaveClick() {
  const QString directory =
      form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
  const QString suggested = lastFile_.isEmpty() ? QDir(directory).filePath(QStringLiteral("line.json"))
                                                : lastFile_;
  const QString path = dialogs_->ChooseSaveFile(
      this, QStringLiteral("Save Line File"), suggested,
      {QString::fromUtf8(LineFileFilter), QStringLiteral("All Files (*)")}, nullptr);
  if (!path.isEmpty()) {
    SaveLineFile(path);
  }
}

bool LinePage::LoadLineFile(const QString& path) {
  try {
    form_.Line() = ReadLineFile(QFile::encodeName(path).toStdString());
  } catch (const std::exception& e) {
    form_.Dialogs().ShowError(this, QStringLiteral("The line file \"%1\" could not be loaded:\n\n%2")
                                        .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  lastFile_ = path;
  emit form_.LineSettingsLoaded();
  return true;
}

bool LinePage::SaveLineFile(const QString& path) {
  ApplyPending();
  try {
    WriteLineFile(QFile::encodeName(path).toStdString(), form_.Line());
  } catch (const std::exception& e) {
    form_.Dialogs().ShowError(this, QStringLiteral("The line file could not be saved as \"%1\":\n\n%2")
                                        .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  lastFile_ = path;
  return true;
}

}  // namespace tovimar::ui
