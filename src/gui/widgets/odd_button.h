#pragma once
// A push button that keeps the default-button behaviour of the dialog it sits in: it can be the
// default (Enter would press it where Enter is let through) and says so to the style.

#include <QPushButton>

namespace orv::gui {

class COddButton : public QPushButton {
  Q_OBJECT
 public:
  explicit COddButton(QWidget* parent = nullptr);
  explicit COddButton(const QString& text, QWidget* parent = nullptr);

  bool canBeDefault() const { return autoDefault(); }
  bool isDefaultButton() const { return isDefault(); }
};

}  // namespace orv::gui
