#include "ui/widgets/bevel_panel.h"

#include <QPainter>
#include <qdrawutil.h>

namespace tovimar::ui {

BevelPanel::BevelPanel(Bevel outer, Bevel inner, QWidget* parent)
    : QFrame(parent), outer_(outer), inner_(inner) {
  // Children start inside both bevels.
  const int width = (outer_ != Bevel::None ? 1 : 0) + (inner_ != Bevel::None ? 1 : 0);
  setContentsMargins(width, width, width, width);
}

void BevelPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QRect area = rect();
  for (const Bevel bevel : {outer_, inner_}) {
    if (bevel == Bevel::None) {
      continue;
    }
    qDrawShadePanel(&painter, area, palette(), bevel == Bevel::Lowered, 1);
    area.adjust(1, 1, -1, -1);
  }
}

}  // namespace tovimar::ui
