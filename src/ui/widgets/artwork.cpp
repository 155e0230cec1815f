#include "ui/widgets/artwork.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "ui/widgets/look.h"

namespace tovimar::ui {
namespace {

const QColor kFilmColour{0x70, 0x70, 0x78};
const QColor kCoatingColour{0xE8, 0xA8, 0x20};
const QColor kDryerColour{0x20, 0x30, 0x80};
const QColor kDryerFill{0xE6, 0xEE, 0xFA};
const QColor kGasColour{0xD0, 0x20, 0x20};
const QColor kLabelColour{0x10, 0x10, 0x10};

// An arrow from `from` to `to` with a filled head.
void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, qreal width,
               qreal head) {
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
  const QPointF d = to - from;
  const qreal length = std::hypot(d.x(), d.y());
  const QPointF unit = d / length;
  const QPointF normal(-unit.y(), unit.x());
  p.drawLine(from, to - unit * head);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF{to, to - unit * head + normal * head * 0.55,
                          to - unit * head - normal * head * 0.55});
  p.setBrush(Qt::NoBrush);
}

// A label with a thin leader line from the text to the point it names.
void DrawLeader(QPainter& p, QPointF from, QPointF to) {
  p.setPen(QPen(kLabelColour, 1));
  p.drawLine(from, to);
  p.setBrush(kLabelColour);
  p.drawEllipse(to, 1.5, 1.5);
  p.setBrush(Qt::NoBrush);
}

}  // namespace

QPixmap DrawDryerPicture() {
  QPixmap pixmap(DryerPictureWidth, DryerPictureHeight);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  constexpr qreal webLeft = 4;
  constexpr qreal webRight = 351;
  constexpr qreal coatingTop = 86;
  constexpr qreal filmTop = 90;
  constexpr qreal filmBottom = 95;
  constexpr qreal boxLeft = 122;
  constexpr qreal boxRight = 348;
  constexpr qreal boxTop = 18;
  constexpr qreal boxBottom = 124;

  // The dryer box of zone 2, open on the left where the web enters.
  p.setPen(QPen(kDryerColour, 2));
  p.setBrush(kDryerFill);
  p.drawRect(QRectF(boxLeft, boxTop, boxRight - boxLeft, boxBottom - boxTop));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kDryerFill, 2.4));
  p.drawLine(QPointF(boxLeft, coatingTop - 6), QPointF(boxLeft, filmBottom + 6));

  // The hot-gas header across the top of the box and its nozzles blowing down on the web.
  p.setPen(QPen(kDryerColour, 1));
  p.setBrush(QColor(0xC8, 0xD4, 0xF0));
  p.drawRect(QRectF(boxLeft + 38, boxTop + 14, boxRight - boxLeft - 48, 9));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 5; ++i) {
    const qreal x = boxLeft + 62 + i * 38;
    DrawArrow(p, QPointF(x, boxTop + 26), QPointF(x, coatingTop - 4), kGasColour, 2.2, 7);
  }
  // Hot gas fed into the header from above.
  DrawArrow(p, QPointF(boxRight - 22, 1), QPointF(boxRight - 22, boxTop + 13), kGasColour, 2.2, 6);

  // The rollers carrying the web through the dryer.
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
  p.setBrush(QColor(0xB8, 0xB8, 0xB8));
  for (int i = 0; i < 6; ++i) {
    const qreal x = boxLeft + 24 + i * 38;
    p.drawEllipse(QPointF(x, filmBottom + 6), 5.5, 5.5);
  }
  p.setBrush(Qt::NoBrush);

  // The web: the base film with the coated layer on top, running left to right.
  p.setPen(Qt::NoPen);
  p.setBrush(kCoatingColour);
  p.drawRect(QRectF(webLeft, coatingTop, webRight - webLeft, filmTop - coatingTop));
  p.setBrush(kFilmColour);
  p.drawRect(QRectF(webLeft, filmTop, webRight - webLeft, filmBottom - filmTop));
  p.setBrush(Qt::NoBrush);
  DrawArrow(p, QPointF(webLeft + 4, filmBottom + 14), QPointF(webLeft + 34, filmBottom + 14),
            kFilmColour, 1.6, 6);

  // The zone boundary between the open stretch and the dryer.
  p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1, Qt::DashLine));
  p.drawLine(QPointF(boxLeft - 6, 8), QPointF(boxLeft - 6, boxBottom));

  // Labels.
  p.setPen(kLabelColour);
  QFont bold = GothicFont(12);
  bold.setBold(true);
  p.setFont(bold);
  p.drawText(QRectF(webLeft, 8, boxLeft - webLeft - 8, 16), Qt::AlignHCenter, QStringLiteral("Zone 1"));
  p.drawText(QRectF(boxLeft + 4, boxTop + 1, 70, 14), Qt::AlignLeft, QStringLiteral("Zone 2"));

  p.setFont(GothicFont(10));
  p.setPen(kGasColour);
  p.drawText(QRectF(boxLeft + 4, boxTop + 40, 52, 13), Qt::AlignLeft, QStringLiteral("Hot Gas"));
  p.setPen(kDryerColour);
  p.drawText(QRectF(boxLeft + 80, boxTop + 1, 80, 13), Qt::AlignHCenter, QStringLiteral("Dryer"));

  p.setPen(kLabelColour);
  p.drawText(QRectF(webLeft + 6, 44, 100, 13), Qt::AlignLeft, QStringLiteral("Coated Layer"));
  DrawLeader(p, QPointF(webLeft + 40, 58), QPointF(webLeft + 70, coatingTop + 2));
  p.setPen(kLabelColour);
  p.drawText(QRectF(webLeft + 44, 112, 80, 13), Qt::AlignLeft, QStringLiteral("Base Film"));
  DrawLeader(p, QPointF(webLeft + 64, 111), QPointF(webLeft + 86, filmTop + 3));
  return pixmap;
}

QIcon OkGlyph() {
  QPixmap pixmap(18, 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(0x00, 0x90, 0x00), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF{QPointF(3, 9.5), QPointF(7.5, 14), QPointF(15, 4)});
  return QIcon(pixmap);
}

QIcon CloseGlyph() {
  QPixmap pixmap(18, 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  // The door frame, dark inside where the door stands open.
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
  p.setBrush(QColor(0x20, 0x20, 0x20));
  p.drawRect(QRectF(5.5, 1.5, 9, 15));
  // The door leaf swung outwards, with its handle.
  p.setBrush(QColor(0xC8, 0x90, 0x30));
  p.drawPolygon(QPolygonF{QPointF(5.5, 1.5), QPointF(11, 3.5), QPointF(11, 17.5), QPointF(5.5, 16.5)});
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x30, 0x30, 0x30));
  p.drawEllipse(QPointF(9.5, 10), 0.9, 0.9);
  return QIcon(pixmap);
}

QIcon SessionGlyph() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  // A sheet with a folded corner, lines of text on it.
  p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
  p.setBrush(QColor(0xFF, 0xFF, 0xFF));
  p.drawPolygon(QPolygonF{QPointF(2.5, 0.5), QPointF(10, 0.5), QPointF(13.5, 4), QPointF(13.5, 15.5),
                          QPointF(2.5, 15.5)});
  p.drawPolyline(QPolygonF{QPointF(10, 0.5), QPointF(10, 4), QPointF(13.5, 4)});
  p.setPen(QPen(kDryerColour, 1));
  for (const qreal y : {6.5, 9.0, 11.5}) p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
  return QIcon(pixmap);
}

QIcon WindowIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(kDryerColour, 2));
    p.setBrush(kDryerFill);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kCoatingColour);
    p.drawRect(QRectF(0, 20, 32, 2.5));
    p.setBrush(kFilmColour);
    p.drawRect(QRectF(0, 22.5, 32, 2.5));
    for (const qreal x : {10.0, 16.0, 22.0}) {
      DrawArrow(p, QPointF(x, 8), QPointF(x, 18.5), kGasColour, 2, 4);
    }
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace tovimar::ui
