#include "ui/widgets/tab_chain.h"

#include <optional>
#include <utility>

#include <QItemSelectionModel>
#include <QTableWidget>

namespace tovimar::ui {

void ChainTabOrder(const std::vector<QWidget*>& widgets) {
  std::vector<QWidget*> chain;
  for (QWidget* widget : widgets) {
    if (widget == nullptr) continue;
    chain.push_back(widget);
    if (auto* table = qobject_cast<QTableWidget*>(widget)) {
      table->setTabKeyNavigation(false);
      std::optional<std::pair<int, int>> plainCell;
      for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
          if (QWidget* cell = table->cellWidget(row, column)) {
            chain.push_back(cell);
          } else if (!plainCell) {
            plainCell = {row, column};
          }
        }
      }
      // A table that gets the focus with no current cell makes its first cell current, and a
      // current cell that holds a control passes the focus on to it: Tab would skip the table's
      // own cells. A current cell without a control keeps the focus with the table.
      const int currentRow = table->currentRow();
      const int currentColumn = table->currentColumn();
      if (plainCell && (currentRow < 0 || currentColumn < 0 || table->cellWidget(currentRow, currentColumn) != nullptr)) {
        table->setCurrentCell(plainCell->first, plainCell->second, QItemSelectionModel::NoUpdate);
      }
    }
  }
  for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace tovimar::ui
