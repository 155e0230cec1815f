#pragma once

#include <string>

#include <QString>
#include <QStringList>

#include "study/optimise.h"

class QComboBox;
class QTableWidget;

namespace tovimar::ui {

// The pickers and number cells of the Optimise page's tables. A combo's item data is the
// stable name of what it offers; `selected` is chosen when offered, else the first item.

// Every input a search may vary: the numeric conditions, then the line settings.
QComboBox* InputCombo(const QString& selected);
// Every line quantity of the output catalogue, as "name - caption (unit)".
QComboBox* OutputCombo(const QString& selected);

// How a limit's quantity is shown: "MaxWebTemp - highest web temperature (C)",
// "ZoneExhaustLEL[2] - zone 2 exhaust LEL (%)".
QString LimitCaption(const OptimiseLimit& limit);

// The shortest exact text of `value`.
QString NumberText(double value);
// The name the combos hold for an input: a condition field's field name ("Edit6" is
// "LineSpeed"), or the name as it is.
QString InputName(const QString& name);

// A number cell's value; NaN when it holds no number.
double CellNumber(const QTableWidget* table, int row, int column);
// A number cell as the set-up keeps it: the shortest exact form of its number, or the text
// as typed when it is none (the search refuses it, and so does the page when it is loaded).
std::string CellText(const QTableWidget* table, int row, int column);
// The name picked in the combo of a cell; empty when the cell has none.
QString ComboName(const QTableWidget* table, int row, int column);

// An empty table with these column headers, the first column stretched.
QTableWidget* StretchedTable(const QStringList& headers);

}  // namespace tovimar::ui
