// The pickers and number cells of the Optimise page's tables.
#include "ui/widgets/optimise_cells.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>
#include <limits>
#include <optional>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "results/output_catalogue.h"

namespace tovimar::ui {

QComboBox* InputCombo(const QString& selected) {
  auto* combo = new QComboBox;
  for (const ConditionField& field : ConditionFields()) {
    if (!field.enabled) continue;
    combo->addItem(QString::fromStdString(field.fieldName + " - " + field.name + " (" + field.unit + ")"),
                   QString::fromStdString(field.fieldName));
  }
  for (const LineSetting& line : LineSettingCatalogue()) {
    if (line.type != LineSettingType::Number) continue;
    combo->addItem(QString::fromStdString(line.name + " - " + line.caption + " (" + line.unit + ")"),
                   QString::fromStdString(line.name));
  }
  combo->setCurrentIndex(std::max(0, combo->findData(selected)));
  return combo;
}

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

QString LimitCaption(const OptimiseLimit& limit) {
  const OutputQuantity* quantity = FindOutput(limit.name);
  return QString::fromStdString(LimitName(limit) + " - " +
                                (quantity != nullptr ? ColumnTitle(*quantity, limit.zone) : limit.name));
}

QString NumberText(double value) { return QString::fromStdString(ShortestNumberText(value)); }

QString InputName(const QString& name) {
  const ConditionField* field = FindField(name.toStdString());
  return field != nullptr ? QString::fromStdString(field->fieldName) : name;
}

double CellNumber(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  const std::optional<double> value =
      item == nullptr ? std::nullopt : ParseNumber(item->text().trimmed().toStdString());
  return value.value_or(std::numeric_limits<double>::quiet_NaN());
}

std::string CellText(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  const std::string text = item == nullptr ? std::string() : item->text().trimmed().toStdString();
  const std::optional<double> value = ParseNumber(text);
  return value ? ShortestNumberText(*value) : text;
}

QString ComboName(const QTableWidget* table, int row, int column) {
  const auto* combo = qobject_cast<QComboBox*>(table->cellWidget(row, column));
  return combo == nullptr ? QString() : combo->currentData().toString();
}

QTableWidget* StretchedTable(const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setHorizontalHeaderLabels(headers);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  return table;
}

}  // namespace tovimar::ui
