#include "ui/widgets/line_page.h"

#include <exception>
#include <stdexcept>
#include <string>

#include <QComboBox>
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
#include "ui/widgets/line_setting_entry.h"
#include "ui/widgets/model_group.h"
#include "ui/widgets/look.h"
#include "ui/widgets/tab_chain.h"

namespace tovimar::ui {
namespace {

// The page's entries and zone table show the settings of the line file's own object; those
// of its "Model" object are in the page's Model group.
bool OnThisPage(const LineSetting& setting) { return setting.object.empty(); }

// The per-zone keys shown, one column of the zone table each, in catalogue order.
std::vector<std::string> ZoneKeys() {
  std::vector<std::string> keys;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (OnThisPage(setting) && setting.zone == 1) keys.push_back(setting.key);
  }
  return keys;
}

// The zone setting of `zone` in a column of the zone table.
const LineSetting& ZoneColumnSetting(int column, int zone) {
  static const std::vector<std::string> keys = ZoneKeys();
  const LineSetting* setting = FindLineSetting("", keys.at(static_cast<std::size_t>(column)), zone);
  if (setting == nullptr) throw std::logic_error("no line setting in column " + std::to_string(column));
  return *setting;
}

// "Exhaust flow of zone 1" without its zone: the column's caption.
QString ColumnCaption(int column) {
  const LineSetting& setting = ZoneColumnSetting(column, 1);
  QString caption = FromUtf8(setting.caption);
  caption.chop(static_cast<qsizetype>(std::string(" of zone 1").size()));
  return caption;
}

// The column's header: headers do not wrap by themselves, so a long caption breaks at its
// last space, a long unit before its reference state.
QString ColumnHeader(int column) {
  QString caption = ColumnCaption(column);
  if (caption.size() > 16) {
    caption[caption.lastIndexOf(QLatin1Char(' '))] = QLatin1Char('\n');
  }
  QString unit = FromUtf8(ZoneColumnSetting(column, 1).unit);
  unit.replace(QStringLiteral(" at "), QStringLiteral("\nat "));
  return caption + QStringLiteral("\n(") + unit + QStringLiteral(")");
}

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
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (!OnThisPage(setting) || setting.zone != 0) {
      continue;
    }
    auto* entry = new QLineEdit(this);
    entry->setObjectName(QString::fromStdString("Line_" + setting.name));
    entry->setMaximumWidth(75);
    if (setting.optional) {
      entry->setPlaceholderText(QStringLiteral("none"));
    }
    entries_.emplace(setting.name, entry);
    auto* caption = new QLabel(FromUtf8(setting.caption), this);
    const QString tooltip = LineSettingTooltip(setting, FromUtf8(setting.caption));
    for (QWidget* widget : {static_cast<QWidget*>(caption), static_cast<QWidget*>(entry)}) {
      widget->setToolTip(tooltip);
    }
    grid->addWidget(caption, row, 0);
    grid->addWidget(entry, row, 1);
    grid->addWidget(new QLabel(FromUtf8(setting.unit), this), row, 2);
    connect(entry, &QLineEdit::editingFinished, this, [this, key = setting.name] { EntryEdited(key); });
    ++row;
  }
  grid->setRowStretch(row, 1);
  columns->addLayout(grid);

  const int columnCount = static_cast<int>(ZoneKeys().size());
  ZoneTable = new QTableWidget(MaxZones, columnCount, this);
  ZoneTable->setObjectName(QStringLiteral("LineZoneTable"));
  for (int column = 0; column < columnCount; ++column) {
    auto* header = new QTableWidgetItem(ColumnHeader(column));
    header->setToolTip(LineSettingTooltip(ZoneColumnSetting(column, 1), ColumnCaption(column)));
    ZoneTable->setHorizontalHeaderItem(column, header);
    // The last column takes the room left.
    ZoneTable->horizontalHeader()->setSectionResizeMode(
        column, column + 1 == columnCount ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
  }
  for (int zone = 1; zone <= MaxZones; ++zone) {
    ZoneTable->setVerticalHeaderItem(zone - 1, new QTableWidgetItem(QStringLiteral("Zone %1").arg(zone)));
    for (int column = 0; column < columnCount; ++column) {
      ZoneTable->setItem(zone - 1, column, new QTableWidgetItem);
    }
  }
  ZoneTable->verticalHeader()->setDefaultSectionSize(18);
  connect(ZoneTable, &QTableWidget::itemChanged, this, &LinePage::CellChanged);
  columns->addWidget(ZoneTable, 1);

  // The drying model and its parameters, kept in the line file's "Model" object.
  Model = new ModelGroup(form_, this);
  layout->addWidget(Model, 1);

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
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (OnThisPage(setting) && setting.zone == 0) chain.push_back(Entry(setting.name));
  }
  chain.insert(chain.end(), {ZoneTable, Model->ModelChoice, Model->ParameterTable, Model->ZoneTable, LoadButton,
                             SaveButton});
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

QString LinePage::SettingText(const std::string& name) const { return LineSettingShown(form_, name); }

void LinePage::ShowSettings() {
  for (const auto& [name, entry] : entries_) {
    entry->setText(SettingText(name));  // also clears the entry's modified flag
  }
  showing_ = true;
  for (int zone = 1; zone <= MaxZones; ++zone) {
    for (int column = 0; column < ZoneTable->columnCount(); ++column) {
      ZoneTable->item(zone - 1, column)->setText(SettingText(ZoneColumnSetting(column, zone).name));
    }
  }
  showing_ = false;
  Model->ShowSettings();
}

bool LinePage::Apply(const std::string& name, const QString& text) {
  return ApplyLineSettingText(form_, this, name, text);
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
  const std::string name = ZoneColumnSetting(item->column(), item->row() + 1).name;
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
