#include "gui/widgets/link_art.h"

#include <QPainter>
#include <QPainterPath>

namespace orv::gui::art {
namespace {

const QColor kInk(0x2b, 0x3a, 0x4a);
const QColor kBody(0xe8, 0xee, 0xf5);
const QColor kScreen(0x5f, 0xaf, 0xff);
const QColor kCable(0x3c, 0x8d, 0x3c);
const QColor kAir(0x3f, 0x7f, 0xd0);
const QColor kCut(0xc8, 0x30, 0x30);
const QColor kCloud(0xf4, 0xf8, 0xff);

QPen InkPen(qreal width = 2.0) {
  QPen pen(kInk, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

// A desktop computer whose screen's top-left corner is at origin.
void DrawPc(QPainter& p, QPointF o) {
  p.setPen(InkPen());
  p.setBrush(kBody);
  p.drawRoundedRect(QRectF(o, QSizeF(56, 40)), 4, 4);
  p.setBrush(kScreen);
  p.drawRect(QRectF(o + QPointF(5, 5), QSizeF(46, 28)));
  p.setBrush(kBody);
  p.drawRect(QRectF(o + QPointF(22, 40), QSizeF(12, 7)));
  p.drawRoundedRect(QRectF(o + QPointF(10, 47), QSizeF(36, 6)), 2, 2);
}

// A small box with antennas (router) or a plain box with lights (modem), centred at c.
void DrawBox(QPainter& p, QPointF c, bool antennas) {
  const QRectF box(c - QPointF(28, 10), QSizeF(56, 20));
  p.setPen(InkPen());
  if (antennas) {
    p.drawLine(box.topLeft() + QPointF(10, 0), box.topLeft() + QPointF(6, -16));
    p.drawLine(box.topRight() - QPointF(10, 0), box.topRight() + QPointF(-6, -16));
  }
  p.setBrush(kBody);
  p.drawRoundedRect(box, 4, 4);
  p.setPen(Qt::NoPen);
  p.setBrush(kCable);
  for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(box.left() + 12 + i * 10, c.y()), 2.5, 2.5);
}

// A fixed network camera: body, lens and stand, its lens looking left, centred at c.
void DrawCamera(QPainter& p, QPointF c) {
  p.setPen(InkPen());
  p.setBrush(kBody);
  p.drawLine(c + QPointF(6, 12), c + QPointF(6, 26));
  p.drawRoundedRect(QRectF(c + QPointF(-8, 26), QSizeF(28, 6)), 2, 2);
  p.drawRoundedRect(QRectF(c - QPointF(22, 12), QSizeF(48, 24)), 6, 6);
  p.setBrush(kInk);
  p.drawEllipse(c + QPointF(-12, 0), 8, 8);
  p.setBrush(kScreen);
  p.drawEllipse(c + QPointF(-12, 0), 4, 4);
}

void DrawCloud(QPainter& p, QPointF c, bool dimmed) {
  // One outline: the puffs are united, so no inner arcs show.
  QPainterPath cloud;
  const auto puff = [&cloud](QPointF centre, qreal rx, qreal ry) {
    QPainterPath p;
    p.addEllipse(centre, rx, ry);
    cloud = cloud.united(p);
  };
  puff(c + QPointF(-24, 2), 15, 12);
  puff(c + QPointF(-5, -8), 19, 17);
  puff(c + QPointF(16, 0), 16, 13);
  QPainterPath base;
  base.addRoundedRect(QRectF(c + QPointF(-38, 0), QSizeF(70, 14)), 7, 7);
  cloud = cloud.united(base);
  p.setPen(InkPen());
  p.setBrush(dimmed ? QColor(0xe0, 0xe0, 0xe0) : kCloud);
  p.drawPath(cloud);
  // A globe inside the cloud.
  p.setBrush(Qt::NoBrush);
  p.setPen(InkPen(1.5));
  const QPointF g = c + QPointF(-4, -1);
  p.drawEllipse(g, 9, 9);
  p.drawEllipse(g, 4, 9);
  p.drawLine(g - QPointF(9, 0), g + QPointF(9, 0));
}

void DrawCable(QPainter& p, QPointF a, QPointF b, bool cut = false) {
  QPen pen(kCable, 3);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  if (!cut) {
    p.drawLine(a, b);
    return;
  }
  const QPointF mid = (a + b) / 2;
  const QPointF dir = (b - a) / 10;
  p.drawLine(a, mid - dir);
  p.drawLine(mid + dir, b);
  QPen cross(kCut, 3);
  cross.setCapStyle(Qt::RoundCap);
  p.setPen(cross);
  p.drawLine(mid + QPointF(-7, -7), mid + QPointF(7, 7));
  p.drawLine(mid + QPointF(-7, 7), mid + QPointF(7, -7));
}

// Radio waves going out of c towards the direction given in degrees (0 = right).
void DrawWaves(QPainter& p, QPointF c, int towardsDegrees) {
  QPen pen(kAir, 2);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  for (int r = 8; r <= 20; r += 6) {
    p.drawArc(QRectF(c - QPointF(r, r), QSizeF(2 * r, 2 * r)), (towardsDegrees - 35) * 16, 70 * 16);
  }
}

void DrawPlug(QPainter& p, QPointF c) {
  p.setPen(InkPen());
  p.setBrush(kBody);
  p.drawRoundedRect(QRectF(c - QPointF(9, 11), QSizeF(18, 22)), 3, 3);
  p.drawLine(c + QPointF(-4, -11), c + QPointF(-4, -17));
  p.drawLine(c + QPointF(4, -11), c + QPointF(4, -17));
}

}  // namespace

QSize PictureSize(Picture picture) {
  switch (picture) {
    case Picture::None:
      return {0, 0};
    case Picture::HomePppoe:
    case Picture::HomeEthernet:
    case Picture::HomeNoInternet:
      return {300, 90};
    case Picture::DiagramStart:
    case Picture::DiagramLan:
    case Picture::DiagramWireless:
      return {360, 150};
  }
  return {0, 0};
}

void PaintPicture(QPainter& p, Picture picture) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  switch (picture) {
    case Picture::None:
      break;
    case Picture::HomePppoe:
      DrawPc(p, {10, 20});
      DrawCable(p, {66, 45}, {118, 45});
      DrawBox(p, {146, 45}, false);
      DrawCable(p, {174, 45}, {214, 45});
      DrawCloud(p, {252, 45}, false);
      break;
    case Picture::HomeEthernet:
      DrawPc(p, {10, 20});
      DrawCable(p, {66, 45}, {118, 45});
      DrawBox(p, {146, 45}, true);
      DrawCable(p, {174, 45}, {214, 45});
      DrawCloud(p, {252, 45}, false);
      break;
    case Picture::HomeNoInternet:
      DrawPc(p, {10, 20});
      DrawCable(p, {66, 45}, {118, 45});
      DrawBox(p, {146, 45}, true);
      DrawCable(p, {174, 45}, {214, 45}, true);
      DrawCloud(p, {252, 45}, true);
      break;
    case Picture::DiagramStart:
      DrawCamera(p, {60, 60});
      DrawPlug(p, {60, 125});
      p.setPen(InkPen(1.5));
      p.drawLine(QPointF(66, 92), QPointF(66, 104));
      DrawCable(p, {86, 66}, {180, 66});
      DrawBox(p, {210, 66}, true);
      DrawPc(p, {280, 40});
      DrawCable(p, {238, 66}, {280, 66});
      break;
    case Picture::DiagramLan:
      DrawCamera(p, {60, 60});
      DrawCable(p, {86, 66}, {182, 66});
      DrawBox(p, {210, 66}, true);
      DrawCable(p, {238, 66}, {280, 66});
      DrawPc(p, {280, 40});
      break;
    case Picture::DiagramWireless:
      DrawCamera(p, {60, 60});
      DrawWaves(p, {86, 48}, 20);
      DrawWaves(p, {204, 40}, 160);
      DrawCable(p, {86, 66}, {182, 66});
      DrawBox(p, {210, 66}, true);
      DrawCable(p, {238, 66}, {280, 66});
      DrawPc(p, {280, 40});
      break;
  }
  p.restore();
}

CArtView::CArtView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void CArtView::SetPicture(Picture picture) {
  if (picture == m_picture) return;
  m_picture = picture;
  updateGeometry();
  update();
}

QSize CArtView::sizeHint() const {
  return PictureSize(m_picture);
}

void CArtView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(rect());
  PaintPicture(painter, m_picture);
}

}  // namespace orv::gui::art
