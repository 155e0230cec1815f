#pragma once

#include <vector>

class QWidget;

namespace tovimar::ui {

// Sets the Tab order of a page's controls to `widgets` in turn (null ones left out), in the
// order they are read. A table in the list is followed by the controls in its cells, row by
// row, and is left by Tab rather than walked cell by cell (the arrow keys move between its
// cells), so that Tab reaches every control after it.
void ChainTabOrder(const std::vector<QWidget*>& widgets);

}  // namespace tovimar::ui
