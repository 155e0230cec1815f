#include "ui/widgets/zone_table.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include <QEvent>
#include <QFont>
#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QStyleOptionViewItem>
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

// Refits the columns of the table it watches whenever the table's viewport changes size.
class ColumnFitter : public QObject {
 public:
  explicit ColumnFitter(QTableWidget* table) : QObject(table), table_(table) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize && watched == table_->viewport()) {
      FitZoneColumns(table_);
    }
    return false;
  }

 private:
  QTableWidget* table_;
};

}  // namespace

void FitZoneColumns(QTableWidget* table) {
  QHeaderView* header = table->horizontalHeader();
  const int columns = table->columnCount();
  std::vector<int> widths(static_cast<std::size_t>(columns));
  int needed = 0;
  for (int column = 0; column < columns; ++column) {
    int width = header->sectionSizeHint(column);
    for (int row = 0; row < table->rowCount(); ++row) {
      QStyleOptionViewItem option;
      option.initFrom(table);
      // One pixel more for the grid line, as the table's own size hint takes it.
      width = std::max(width, table->itemDelegate()->sizeHint(option, table->model()->index(row, column)).width() + 1);
    }
    widths[static_cast<std::size_t>(column)] = width;
    needed += width;
  }
  // What is left over is shared out evenly; too little room scrolls instead of shortening.
  const int spare = std::max(0, table->viewport()->width() - needed);
  for (int column = 0; column < columns; ++column) {
    const int share = spare / columns + (column < spare % columns ? 1 : 0);
    header->resizeSection(column, widths[static_cast<std::size_t>(column)] + share);
  }
}

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
    // The tip starts with the whole header on one line.
    table->horizontalHeaderItem(column)->setToolTip(
        QString(headers.at(column)).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QStringLiteral(": ") +
        tips.at(column));
  }
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->horizontalHeader()->setStretchLastSection(false);
  table->viewport()->installEventFilter(new ColumnFitter(table));
  FitZoneColumns(table);
}

void FillZoneTable(QTableWidget* table, const RunResults& results) {
  const int zones = static_cast<int>(results.summary.zones.size());
  if (zones == 0) {
    table->setRowCount(0);
    FitZoneColumns(table);
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
  FitZoneColumns(table);
}

}  // namespace tovimar::ui
