#include "ui/qt/about_logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace plumage::qt {

namespace {

// A point on the quadratic curve p0-c-p1 at t, and its direction there.
QPointF Bezier(QPointF p0, QPointF c, QPointF p1, double t) {
  return (1 - t) * (1 - t) * p0 + 2 * (1 - t) * t * c + t * t * p1;
}
QPointF BezierTangent(QPointF p0, QPointF c, QPointF p1, double t) {
  return 2 * (1 - t) * (c - p0) + 2 * t * (p1 - c);
}

void DrawFolder(QPainter& p) {
  // Back panel with its tab, then the front flap, slightly opened.
  QPainterPath back;
  back.moveTo(8, 44);
  back.lineTo(8, 96);
  back.lineTo(98, 96);
  back.lineTo(98, 38);
  back.lineTo(44, 38);
  back.lineTo(38, 30);
  back.lineTo(14, 30);
  back.lineTo(8, 36);
  back.closeSubpath();
  QLinearGradient backFill(0, 30, 0, 96);
  backFill.setColorAt(0, QColor(236, 184, 40));
  backFill.setColorAt(1, QColor(196, 138, 16));
  p.setPen(QPen(QColor(120, 80, 0), 1.2));
  p.setBrush(backFill);
  p.drawPath(back);

  QPainterPath front;
  front.moveTo(6, 96);
  front.lineTo(100, 96);
  front.lineTo(110, 52);
  front.lineTo(18, 52);
  front.closeSubpath();
  QLinearGradient frontFill(0, 52, 0, 96);
  frontFill.setColorAt(0, QColor(255, 226, 110));
  frontFill.setColorAt(1, QColor(240, 186, 48));
  p.setBrush(frontFill);
  p.drawPath(front);
  // A highlight along the flap's top edge.
  p.setPen(QPen(QColor(255, 246, 200), 1.5));
  p.drawLine(QPointF(20, 54), QPointF(107, 54));
}

void DrawFeather(QPainter& p) {
  // The shaft sweeps from the folder's lower left up past its top right.
  const QPointF base(30, 100), bend(64, 44), tip(142, 10);
  const int barbs = 46;
  for (int i = 0; i <= barbs; ++i) {
    const double t = 0.12 + 0.86 * i / barbs;
    const QPointF at = Bezier(base, bend, tip, t);
    QPointF dir = BezierTangent(base, bend, tip, t);
    dir /= std::hypot(dir.x(), dir.y());
    const QPointF normal(-dir.y(), dir.x());
    // Widest in the middle, narrowing to the tip and the quill.
    const double width = 22 * std::sin(3.14159 * (t - 0.08) / 0.95);
    // Teal at the quill, blue, then violet towards the tip.
    const QColor colour = QColor::fromHsvF(0.48 + 0.30 * t, 0.75, 0.55 + 0.35 * t);
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
    // Barbs lean back towards the quill, as a feather's do.
    p.drawLine(at, at + width * normal - 7 * dir);
    p.drawLine(at, at - width * normal - 7 * dir);
  }
  // The eye near the tip.
  const QPointF eye = Bezier(base, bend, tip, 0.78);
  QRadialGradient eyeFill(eye, 8);
  eyeFill.setColorAt(0.0, QColor(20, 20, 90));
  eyeFill.setColorAt(0.45, QColor(30, 110, 200));
  eyeFill.setColorAt(0.75, QColor(40, 170, 120));
  eyeFill.setColorAt(1.0, QColor(220, 190, 60, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(eyeFill);
  p.drawEllipse(eye, 8.5, 7);
  // The shaft itself, over the barbs.
  QPainterPath shaft(base);
  shaft.quadTo(bend, tip);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(250, 250, 240), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(shaft);
}

}  // namespace

QImage DrawPlumageLogo() {
  QImage image(kLogoWidth, kLogoHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, kLogoHeight);
  sky.setColorAt(0, QColor(214, 232, 250));
  sky.setColorAt(1, QColor(250, 252, 255));
  p.fillRect(image.rect(), sky);
  DrawFolder(p);
  DrawFeather(p);
  p.setPen(QColor(128, 128, 128));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, kLogoWidth - 1, kLogoHeight - 1));
  return image;
}

}  // namespace plumage::qt
