#include "gui/widgets/xbutton_xp.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace orv::gui {

CXButtonXP::CXButtonXP(QWidget* parent) : CXButtonXP(QString(), parent) {}

CXButtonXP::CXButtonXP(const QString& text, QWidget* parent) : COddButton(text, parent) {
  setAttribute(Qt::WA_Hover, true);
  setAccessibleName(text);
}

void CXButtonXP::SetText(const QString& text) {
  setText(text);
  setAccessibleName(text);
  updateGeometry();
}

void CXButtonXP::SetIcon(const QIcon& icon, IconSide side) {
  m_icon = icon;
  m_grey = GreyIcon(icon);
  m_side = side;
  updateGeometry();
  update();
}

void CXButtonXP::SetToggleMode(bool on) {
  setCheckable(on);
  update();
}

CXButtonXP::Look CXButtonXP::look() const {
  if (isDown() || (isCheckable() && isChecked())) return Look::Pressed;
  if (!isEnabled()) return Look::Disabled;
  if (m_hot) return Look::Hot;
  if (hasFocus() || isDefault()) return Look::Default;
  return Look::Normal;
}

QImage CXButtonXP::GreyImage(const QImage& source) {
  QImage out = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb p = line[x];
      const int a = qAlpha(p);
      if (a == 0 && qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0) continue;
      int grey = (qRed(p) + qGreen(p) + qBlue(p)) / 3;
      if (qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255) grey = 254;
      line[x] = qRgba(grey, grey, grey, a);
    }
  }
  return out;
}

QIcon CXButtonXP::GreyIcon(const QIcon& source) {
  QIcon grey;
  if (source.isNull()) return grey;
  QList<QSize> sizes = source.availableSizes();
  if (sizes.isEmpty()) sizes << QSize(16, 16) << QSize(32, 32);
  for (const QSize& size : sizes)
    grey.addPixmap(QPixmap::fromImage(GreyImage(source.pixmap(size).toImage())));
  return grey;
}

QSize CXButtonXP::sizeHint() const {
  QSize hint = COddButton::sizeHint();
  if (!m_icon.isNull()) {
    const int extent = style()->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, this);
    hint.rwidth() += extent + 6;
    hint.setHeight(std::max(hint.height(), extent + 10));
  }
  return hint;
}

void CXButtonXP::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.icon = QIcon();
  option.text.clear();
  const Look current = look();
  if (current == Look::Hot) option.state |= QStyle::State_MouseOver;
  if (current == Look::Pressed) option.state |= QStyle::State_Sunken;
  if (isDefault()) option.features |= QStyleOptionButton::DefaultButton;
  painter.drawControl(QStyle::CE_PushButtonBevel, option);

  QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  if (current == Look::Pressed) {
    content.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                      style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  if (!m_icon.isNull()) {
    const int extent = style()->pixelMetric(QStyle::PM_ButtonIconSize, &option, this);
    const QIcon& icon = isEnabled() ? m_icon : m_grey;
    const QPixmap pixmap = icon.pixmap(QSize(extent, extent), devicePixelRatioF());
    QRect iconRect(0, 0, extent, extent);
    iconRect.moveCenter(content.center());
    if (m_side == IconSide::Left) {
      iconRect.moveLeft(content.left() + 2);
      content.setLeft(iconRect.right() + 4);
    } else {
      iconRect.moveRight(content.right() - 2);
      content.setRight(iconRect.left() - 4);
    }
    painter.drawPixmap(iconRect, pixmap);
  }
  painter.drawItemText(content, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                       text(), QPalette::ButtonText);

  if (hasFocus() && (option.state & QStyle::State_HasFocus)) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(3, 3, -3, -3);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

void CXButtonXP::enterEvent(QEnterEvent* e) {
  SetHot(true);
  COddButton::enterEvent(e);
}

void CXButtonXP::leaveEvent(QEvent* e) {
  SetHot(false);
  COddButton::leaveEvent(e);
}

void CXButtonXP::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange && !isEnabled()) m_hot = false;
  COddButton::changeEvent(e);
}

void CXButtonXP::SetHot(bool hot) {
  if (m_hot == hot) return;
  m_hot = hot;
  update();
}

}  // namespace orv::gui
