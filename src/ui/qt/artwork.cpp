#include "ui/qt/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace plumage::qt {
namespace {

// A manila folder with its tab at the top left, in the rectangle r.
void DrawFolder(QPainter& p, const QRectF& r, const QColor& body) {
  const qreal tabW = r.width() * 0.42;
  const qreal tabH = r.height() * 0.16;
  QPainterPath back;
  back.moveTo(r.left(), r.top() + tabH);
  back.lineTo(r.left() + tabH * 0.6, r.top());
  back.lineTo(r.left() + tabW - tabH * 0.6, r.top());
  back.lineTo(r.left() + tabW, r.top() + tabH);
  back.lineTo(r.right(), r.top() + tabH);
  back.lineTo(r.right(), r.bottom());
  back.lineTo(r.left(), r.bottom());
  back.closeSubpath();
  p.setPen(QPen(body.darker(170), 1));
  p.setBrush(body.darker(115));
  p.drawPath(back);
  QRectF front(r.left(), r.top() + tabH * 2.2, r.width(), r.height() - tabH * 2.2);
  QLinearGradient g(front.topLeft(), front.bottomLeft());
  g.setColorAt(0, body.lighter(125));
  g.setColorAt(1, body);
  p.setBrush(g);
  p.drawRect(front);
}

void DrawWand(QPainter& p, QPointF from, QPointF to) {
  p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(to, to + (to - from) * 0.18);
  // Sparkles at the tip.
  p.setPen(QPen(QColor(255, 200, 0), 1.5));
  const QPointF tip = to + (to - from) * 0.25;
  for (int i = 0; i < 4; ++i) {
    QPointF d(i % 2 ? 0 : 4.5, i % 2 ? 4.5 : 0);
    if (i >= 2) d = -d;
    p.drawLine(tip + d * 0.3, tip + d);
  }
}

void DrawSmallIcon(QPainter& p, const QRectF& r) {
  // A generic little picture: a blue square with a white diamond.
  p.setPen(QPen(QColor(20, 40, 120), 1));
  p.setBrush(QColor(60, 110, 220));
  p.drawRoundedRect(r, 2, 2);
  QPolygonF diamond;
  const QPointF c = r.center();
  const qreal h = r.width() * 0.3;
  diamond << QPointF(c.x(), c.y() - h) << QPointF(c.x() + h, c.y()) << QPointF(c.x(), c.y() + h)
          << QPointF(c.x() - h, c.y());
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawPolygon(diamond);
}

QPixmap Canvas(int w, int h, qreal ratio = 1) {
  QPixmap pm(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio)));
  pm.setDevicePixelRatio(ratio);
  pm.fill(Qt::transparent);
  return pm;
}

}  // namespace

QPixmap Image1Art(qreal ratio) {
  QPixmap pm = Canvas(59, 41, ratio);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  DrawFolder(p, QRectF(1.5, 8.5, 40, 31), QColor(240, 200, 70));
  DrawWand(p, QPointF(30, 36), QPointF(50, 12));
  return pm;
}

QPixmap Picture3Art(qreal ratio) {
  QPixmap pm = Canvas(80, 20, ratio);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  DrawSmallIcon(p, QRectF(2.5, 3.5, 13, 13));
  // The arrow.
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.drawLine(QPointF(22, 10), QPointF(50, 10));
  QPolygonF head;
  head << QPointF(54, 10) << QPointF(47, 5.5) << QPointF(47, 14.5);
  p.setBrush(QColor(60, 60, 60));
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
  // The folder carrying the icon.
  DrawFolder(p, QRectF(58.5, 1.5, 20, 17), QColor(240, 200, 70));
  DrawSmallIcon(p, QRectF(63.5, 7.5, 9, 9));
  return pm;
}

QIcon ProgramIcon() {
  QIcon icon;
  // The larger sizes are the application menu's, in the hicolor theme.
  for (int size : {16, 32, 48, 64, 128, 256}) {
    QPixmap pm = Canvas(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    DrawFolder(p, QRectF(1.5 * s, 6.5 * s, 27 * s, 22 * s), QColor(240, 200, 70));
    // A feather across the folder: the plume.
    QPainterPath feather;
    feather.moveTo(8 * s, 28 * s);
    feather.cubicTo(12 * s, 14 * s, 22 * s, 4 * s, 31 * s, 2 * s);
    feather.cubicTo(28 * s, 12 * s, 20 * s, 22 * s, 8 * s, 28 * s);
    p.setPen(QPen(QColor(30, 70, 140), 0.8 * s));
    p.setBrush(QColor(70, 130, 220));
    p.drawPath(feather);
    p.setPen(QPen(Qt::white, 0.8 * s));
    p.drawLine(QPointF(8 * s, 28 * s), QPointF(27 * s, 6 * s));
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace plumage::qt
