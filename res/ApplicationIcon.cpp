// The application icon (IDR_MAINFRAME): a database cylinder with a link
// plug, painted at the two sizes a window and a dialog ask for.
#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "IconResources.h"
#include "ResourceIds.h"
#include "Resources.h"

namespace {

void PaintCylinder(QPainter& painter, const QRectF& box) {
  const qreal rim = box.height() * 0.22;
  QPainterPath body;
  body.moveTo(box.left(), box.top() + rim / 2);
  body.lineTo(box.left(), box.bottom() - rim / 2);
  body.arcTo(QRectF(box.left(), box.bottom() - rim, box.width(), rim), 180, 180);
  body.lineTo(box.right(), box.top() + rim / 2);
  body.arcTo(QRectF(box.left(), box.top(), box.width(), rim), 0, -180);
  QLinearGradient shade(box.topLeft(), box.topRight());
  shade.setColorAt(0, QColor(40, 90, 170));
  shade.setColorAt(0.45, QColor(110, 165, 235));
  shade.setColorAt(1, QColor(30, 70, 140));
  painter.setPen(QPen(QColor(20, 45, 95), box.width() / 24));
  painter.setBrush(shade);
  painter.drawPath(body);
  // Bands between the stored layers.
  for (qreal at : {0.38, 0.62}) {
    const qreal y = box.top() + box.height() * at;
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(box.left(), y - rim / 2, box.width(), rim), 180 * 16, 180 * 16);
  }
  painter.setBrush(QColor(170, 205, 250));
  painter.drawEllipse(QRectF(box.left(), box.top(), box.width(), rim));
}

void PaintPlug(QPainter& painter, int size) {
  const qreal unit = size / 32.0;
  painter.setPen(QPen(QColor(90, 60, 0), unit));
  painter.setBrush(QColor(250, 190, 40));
  painter.drawRoundedRect(QRectF(18 * unit, 18 * unit, 12 * unit, 10 * unit), 2 * unit, 2 * unit);
  painter.setBrush(QColor(90, 60, 0));
  painter.drawRect(QRectF(21 * unit, 28 * unit, 2 * unit, 3 * unit));
  painter.drawRect(QRectF(25 * unit, 28 * unit, 2 * unit, 3 * unit));
}

QPixmap PaintIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 32.0;
  PaintCylinder(painter, QRectF(3 * unit, 2 * unit, 20 * unit, 26 * unit));
  PaintPlug(painter, size);
  painter.end();
  return QPixmap::fromImage(image);
}

}  // namespace

void RegisterIcons() {
  QIcon icon;
  icon.addPixmap(PaintIcon(32));
  icon.addPixmap(PaintIcon(16));
  RegisterIconResource(IDR_MAINFRAME, icon);
}
