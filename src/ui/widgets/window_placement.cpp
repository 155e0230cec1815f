#include "ui/widgets/window_placement.h"

#include <algorithm>

#include <QScreen>
#include <QWidget>

namespace tovimar::ui {

WindowPlace PlaceWindow(const QSize& client, const QSize& layoutMinimum, const QMargins& frame,
                        const QRect& available) {
  const int frameWidth = frame.left() + frame.right();
  const int frameHeight = frame.top() + frame.bottom();
  const QSize room(std::max(1, available.width() - frameWidth),
                   std::max(1, available.height() - frameHeight));
  WindowPlace place;
  place.minimumClient = layoutMinimum.boundedTo(room);
  const QSize size = client.boundedTo(room).expandedTo(place.minimumClient);
  const bool fits = client.width() <= room.width() && client.height() <= room.height();
  QPoint frameTopLeft = available.topLeft();
  if (fits) {
    frameTopLeft += QPoint((available.width() - (size.width() + frameWidth)) / 2,
                           (available.height() - (size.height() + frameHeight)) / 2);
  }
  place.client = QRect(frameTopLeft + QPoint(frame.left(), frame.top()), size);
  return place;
}

void PlaceOnScreen(QWidget* window, const QSize& layoutMinimum) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) {
    return;
  }
  const QRect frameGeometry = window->frameGeometry();
  const QRect geometry = window->geometry();
  const QMargins frame(geometry.left() - frameGeometry.left(), geometry.top() - frameGeometry.top(),
                       frameGeometry.right() - geometry.right(),
                       frameGeometry.bottom() - geometry.bottom());
  const WindowPlace place =
      PlaceWindow(geometry.size(), layoutMinimum, frame, screen->availableGeometry());
  window->setMinimumSize(place.minimumClient);
  window->resize(place.client.size());
  window->move(place.client.topLeft() - QPoint(frame.left(), frame.top()));
}

void CentreOnScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) {
    return;
  }
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

}  // namespace tovimar::ui
