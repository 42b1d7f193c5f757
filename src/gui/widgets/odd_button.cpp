#include "gui/widgets/odd_button.h"

namespace orv::gui {

COddButton::COddButton(QWidget* parent) : COddButton(QString(), parent) {}

COddButton::COddButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAutoDefault(true);
}

}  // namespace orv::gui
