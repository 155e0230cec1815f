#include "ui/widgets/zone_table.h"

#include <cmath>
#include <stdexcept>
#include <vector>

#include <QFont>
#include <QHeaderView>
#include <QTableWidget>

#include "model/number_text.h"

namespace tovimar::ui {

QString Fixed(double value, int decimals) {
  if (std::isinf(value) && value > 0) {
    return QStringLiteral("unbounded");
  }
  return QString::fromStdString(FixedNumber(value, decimals, SmallValues::AsZero));
}

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The catalogue's quantities of the table, after the zone column; the column names above
// are their positions.
std::vector<const OutputQuantity*> TableQuantities() {
  std::vector<const OutputQuantity*> quantities = QuantitiesIn(InZoneTable);
  if (quantities.size() + 1 != SummaryColumnCount) {
    throw std::logic_error("the zone table's columns and the output catalogue disagree");
  }
  return quantities;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setTextAlignment(alignment);
  return item;
}

void FillRow(QTableWidget* table, int row, const QString& label, QVariant zone,
             const RunResults& results, const ZoneSummary& summary) {
  QTableWidgetItem* first = Cell(label, Qt::AlignCenter);
  if (zone.isValid()) {
    first->setData(Qt::UserRole, zone);
  }
  table->setItem(row, SummaryZone, first);
  int column = SummaryZone + 1;
  for (const OutputQuantity* quantity : TableQuantities()) {
    const std::optional<double> value = quantity->zone(results, summary);
    QTableWidgetItem* item = nullptr;
    if (value) {
      item = Cell(Fixed(*value, quantity->tableDecimals));
      item->setData(Qt::UserRole, *value);
    } else {
      item = Cell(QStringLiteral("-"));
      item->setToolTip(Utf8(quantity->emptyTip));
    }
    table->setItem(row, column++, item);
  }
}

}  // namespace

void SetUpZoneTable(QTableWidget* table) {
  QStringList headers{QStringLiteral("Zone")};
  QStringList tips{QStringLiteral("The zone; the last row sums up the whole line.")};
  for (const OutputQuantity* quantity : TableQuantities()) {
    headers.append(Utf8(quantity->tableHeader));
    tips.append(Utf8(quantity->tableTip));
  }
  table->setColumnCount(static_cast<int>(headers.size()));
  table->setHorizontalHeaderLabels(headers);
  for (int column = 0; column < headers.size(); ++column) {
    table->horizontalHeaderItem(column)->setToolTip(tips.at(column));
  }
}

void FillZoneTable(QTableWidget* table, const RunResults& results) {
  const int zones = static_cast<int>(results.summary.zones.size());
  if (zones == 0) {
    table->setRowCount(0);
    return;
  }
  table->setRowCount(zones + 1);
  for (int row = 0; row < zones; ++row) {
    const ZoneSummary& zone = results.summary.zones[static_cast<std::size_t>(row)];
    FillRow(table, row, QString::number(zone.zone), zone.zone, results, zone);
  }
  FillRow(table, zones, QStringLiteral("Line"), QVariant(), results, LineAsZone(results.summary));
  QFont bold = table->font();
  bold.setBold(true);
  for (int column = 0; column < table->columnCount(); ++column) {
    table->item(zones, column)->setFont(bold);
  }
}

}  // namespace tovimar::ui
