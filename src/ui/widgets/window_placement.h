#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace tovimar::ui {

// Where a window opens on a screen: its client geometry (without the frame) and the
// smallest client size it then allows.
struct WindowPlace {
  QRect client;
  QSize minimumClient;
};

// Places a window whose client area wants `client` (at least `layoutMinimum`) and whose
// frame adds `frame` around it, within a screen's `available` geometry. A window that fits
// is centred; one that does not is shrunk to the available size and put at its top left,
// and its minimum drops with it, so that nothing of it (the tabs above all) lies off the
// screen.
WindowPlace PlaceWindow(const QSize& client, const QSize& layoutMinimum, const QMargins& frame,
                        const QRect& available);

// Places a top-level window on its screen by PlaceWindow, with its current size and minimum.
void PlaceOnScreen(QWidget* window, const QSize& layoutMinimum);

// Moves a top-level window to the centre of its screen.
void CentreOnScreen(QWidget* window);

}  // namespace tovimar::ui
