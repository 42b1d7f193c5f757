#pragma once
// The wizard's themed button: drawn by the desktop style (normal, hot, pressed, default and
// disabled looks), with an optional icon on the left or the right whose disabled form is a grey
// copy, and a focus rectangle when focused from the keyboard.

#include <QIcon>
#include <QImage>

#include "gui/widgets/odd_button.h"

namespace orv::gui {

class CXButtonXP : public COddButton {
  Q_OBJECT
 public:
  enum class IconSide { Left = 1, Right = 2 };
  enum class Look { Normal, Hot, Pressed, Disabled, Default };

  explicit CXButtonXP(QWidget* parent = nullptr);
  explicit CXButtonXP(const QString& text, QWidget* parent = nullptr);

  // The caption; also the accessible name.
  void SetText(const QString& text);
  void SetIcon(const QIcon& icon, IconSide side = IconSide::Left);
  IconSide iconSide() const { return m_side; }
  const QIcon& greyIcon() const { return m_grey; }

  // Toggle mode: a toggled-on button looks pressed.
  void SetToggleMode(bool on);
  bool toggleState() const { return isChecked(); }

  bool hot() const { return m_hot; }
  // The look the next paint uses (pressed over disabled over hot over default).
  Look look() const;

  // Grey copy of an image: each pixel's grey level is the average of its red, green and blue,
  // alpha kept; pure white becomes 254 so it stays visible on white; transparent black stays.
  static QImage GreyImage(const QImage& source);
  static QIcon GreyIcon(const QIcon& source);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void SetHot(bool hot);

  bool m_hot = false;
  QIcon m_icon;
  QIcon m_grey;
  IconSide m_side = IconSide::Left;
};

}  // namespace orv::gui
