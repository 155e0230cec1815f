#include "ui/widgets/model_group.h"

#include <vector>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "input/line_catalogue.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/line_setting_entry.h"
#include "ui/widgets/look.h"

namespace tovimar::ui {
namespace {

constexpr std::string_view ModelObject = "Model";

bool InGroup(const LineSetting& setting) { return setting.object == ModelObject; }

// The per-zone keys of the group, one column of the zone table each, in catalogue order.
std::vector<const LineSetting*> ZoneColumns() {
  std::vector<const LineSetting*> columns;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (InGroup(setting) && setting.zone == 1) columns.push_back(&setting);
  }
  return columns;
}

// "Mass-transfer coefficient of solvent-1 of zone 1" without its zone.
QString ColumnCaption(const LineSetting& zoneOne) {
  QString caption = FromUtf8(zoneOne.caption);
  caption.chop(static_cast<qsizetype>(QStringLiteral(" of zone 1").size()));
  return caption;
}

// The column's header: headers do not wrap by themselves, so the caption breaks into lines
// of a few words, and the unit follows on a line of its own.
QString ColumnHeader(const LineSetting& zoneOne) {
  constexpr qsizetype LineLength = 13;
  QStringList lines;
  for (const QString& word : ColumnCaption(zoneOne).split(QLatin1Char(' '))) {
    if (!lines.isEmpty() && lines.back().size() + 1 + word.size() <= LineLength) {
      lines.back() += QLatin1Char(' ') + word;
    } else {
      lines.append(word);
    }
  }
  if (!zoneOne.unit.empty()) lines.append(QStringLiteral("(") + FromUtf8(zoneOne.unit) + QStringLiteral(")"));
  return lines.join(QLatin1Char('\n'));
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled);
  return item;
}

void SetUpTable(QTableWidget* table) {
  table->verticalHeader()->setDefaultSectionSize(18);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

}  // namespace

ModelGroup::ModelGroup(TForm1& form, QWidget* parent)
    : QGroupBox(QString::fromUtf8(ModelGroupTitle), parent), form_(form) {
  setObjectName(QStringLiteral("ModelGroup"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);

  const LineSetting* choice = nullptr;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (InGroup(setting) && setting.type == LineSettingType::Text) choice = &setting;
  }
  auto* top = new QHBoxLayout;
  ModelChoice = new QComboBox(this);
  ModelChoice->setObjectName(QStringLiteral("Model_Model"));
  if (choice != nullptr) {
    for (const std::string& name : choice->choices) ModelChoice->addItem(FromUtf8(name));
    auto* caption = new QLabel(QStringLiteral("&") + FromUtf8(choice->caption), this);
    caption->setBuddy(ModelChoice);
    const QString tooltip = LineSettingTooltip(*choice, FromUtf8(choice->caption));
    caption->setToolTip(tooltip);
    ModelChoice->setToolTip(tooltip);
    top->addWidget(caption);
  }
  top->addWidget(ModelChoice);
  top->addStretch(1);
  layout->addLayout(top);
  connect(ModelChoice, &QComboBox::activated, this, &ModelGroup::ChoiceMade);

  Parameters = new QWidget(this);
  Parameters->setObjectName(QStringLiteral("ModelParameters"));
  auto* columns = new QHBoxLayout(Parameters);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->setSpacing(2);
  layout->addWidget(Parameters, 1);

  // The numbers of the line: the caption heads the row, the value and its unit follow.
  std::vector<const LineSetting*> numbers;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (InGroup(setting) && setting.zone == 0 && setting.type == LineSettingType::Number) numbers.push_back(&setting);
  }
  ParameterTable = new QTableWidget(static_cast<int>(numbers.size()), 2, Parameters);
  ParameterTable->setObjectName(QStringLiteral("ModelParameterTable"));
  ParameterTable->setHorizontalHeaderLabels({QStringLiteral("Value"), QStringLiteral("Unit")});
  SetUpTable(ParameterTable);
  for (int row = 0; row < ParameterTable->rowCount(); ++row) {
    const LineSetting& setting = *numbers[static_cast<std::size_t>(row)];
    const QString tooltip = LineSettingTooltip(setting, FromUtf8(setting.caption));
    auto* header = new QTableWidgetItem(FromUtf8(setting.caption));
    header->setToolTip(tooltip);
    ParameterTable->setVerticalHeaderItem(row, header);
    auto* value = new QTableWidgetItem;
    value->setToolTip(tooltip);
    ParameterTable->setItem(row, 0, value);
    ParameterTable->setItem(row, 1, ReadOnlyItem(FromUtf8(setting.unit)));
    cells_.emplace(setting.name, value);
    cellNames_.emplace(value, setting.name);
  }
  // The value column holds a number in its shortest exact form; the unit column its longest unit.
  ParameterTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
  ParameterTable->horizontalHeader()->resizeSection(0, ParameterTable->fontMetrics().horizontalAdvance(QStringLiteral("0.0000000")));
  ParameterTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  connect(ParameterTable, &QTableWidget::itemChanged, this, &ModelGroup::CellChanged);
  columns->addWidget(ParameterTable, 1);

  const std::vector<const LineSetting*> zoneColumns = ZoneColumns();
  ZoneTable = new QTableWidget(MaxZones, static_cast<int>(zoneColumns.size()), Parameters);
  ZoneTable->setObjectName(QStringLiteral("ModelZoneTable"));
  SetUpTable(ZoneTable);
  for (int column = 0; column < ZoneTable->columnCount(); ++column) {
    const LineSetting& zoneOne = *zoneColumns[static_cast<std::size_t>(column)];
    auto* header = new QTableWidgetItem(ColumnHeader(zoneOne));
    header->setToolTip(LineSettingTooltip(zoneOne, ColumnCaption(zoneOne)));
    ZoneTable->setHorizontalHeaderItem(column, header);
    ZoneTable->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    for (int zone = 1; zone <= MaxZones; ++zone) {
      const LineSetting* setting = FindLineSetting(ModelObject, zoneOne.key, zone);
      auto* item = new QTableWidgetItem;
      ZoneTable->setItem(zone - 1, column, item);
      if (setting == nullptr) continue;
      item->setToolTip(LineSettingTooltip(*setting, FromUtf8(setting->caption)));
      cells_.emplace(setting->name, item);
      cellNames_.emplace(item, setting->name);
    }
  }
  for (int zone = 1; zone <= MaxZones; ++zone) {
    ZoneTable->setVerticalHeaderItem(zone - 1, new QTableWidgetItem(QStringLiteral("Zone %1").arg(zone)));
  }
  ZoneTable->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContentsOnFirstShow);
  ZoneTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ZoneTable->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  connect(ZoneTable, &QTableWidget::itemChanged, this, &ModelGroup::CellChanged);
  columns->addWidget(ZoneTable);
  ShowSettings();
}

ModelGroup::~ModelGroup() = default;

QTableWidgetItem* ModelGroup::Cell(std::string_view name) const {
  const auto found = cells_.find(name);
  return found == cells_.end() ? nullptr : found->second;
}

void ModelGroup::ShowChoice() {
  const QString name = FromUtf8(form_.Line().Model.name);
  ModelChoice->setCurrentIndex(ModelChoice->findText(name));
  // The lumped model takes none of the parameters.
  Parameters->setEnabled(name != QString::fromUtf8(LumpedModelName.data(),
                                                   static_cast<qsizetype>(LumpedModelName.size())));
}

void ModelGroup::ShowSettings() {
  ShowChoice();
  showing_ = true;
  for (const auto& [name, cell] : cells_) cell->setText(LineSettingShown(form_, name));
  showing_ = false;
}

void ModelGroup::ChoiceMade(int index) {
  ApplyLineSettingText(form_, this, "Model", ModelChoice->itemText(index));
  ShowChoice();
}

void ModelGroup::CellChanged(QTableWidgetItem* item) {
  const auto found = cellNames_.find(item);
  if (showing_ || found == cellNames_.end()) return;
  ApplyLineSettingText(form_, this, found->second, item->text());
  showing_ = true;
  item->setText(LineSettingShown(form_, found->second));
  showing_ = false;
}

}  // namespace tovimar::ui
