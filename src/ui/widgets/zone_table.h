#pragma once

#include <QString>

#include "results/output_catalogue.h"

class QTableWidget;

namespace tovimar::ui {

// The columns of the zone summary table: the zone, then the output catalogue's zone-table
// quantities in catalogue order. Each cell holds its number as Qt::UserRole data (none for an
// empty cell) and as text.
enum SummaryColumn {
  SummaryZone,
  SummaryExitPosition,  // m from the entrance of zone 1
  SummaryExitTemp,      // deg C
  SummaryResidual1,
  SummaryResidual2,
  SummaryEvaporated1,   // g/m2, negative when the solvent condenses
  SummaryEvaporated2,
  SummaryShare,         // % of the net amount evaporated over the line
  SummaryResidualSolvent,  // g/m2 at the zone's exit
  SummaryLeastMargin,      // K below the bubble temperature
  SummaryExhaustLEL,       // % of the LEL in the zone's exhaust
  SummaryColumnCount
};

// FixedNumber(value, decimals, SmallValues::AsZero) (model/number_text.h): `decimals`
// decimals and a point, the exponent form from 1e15 up; a value that shows as zero has no
// sign. +infinity (the % of LEL of a zone without exhaust air) reads "unbounded".
QString Fixed(double value, int decimals);

// Gives an empty table its columns, headers (on two or three lines) and header tooltips from
// the catalogue, and keeps every column as wide as its header and cells need, the room left
// shared out evenly (a table too narrow for them scrolls).
void SetUpZoneTable(QTableWidget* table);

// Sets each column of the table to the width its header and cells need, plus an even share
// of the room left in the viewport.
void FitZoneColumns(QTableWidget* table);

// One row per zone and a last, bold row "Line" for the whole line; no rows for an empty run.
void FillZoneTable(QTableWidget* table, const RunResults& results);

}  // namespace tovimar::ui
