#include "gui/frame/control_helpers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>
#include <algorithm>

namespace orv::gui {
namespace {

constexpr char kLimitProperty[] = "orvTypingLimit";

void Tighten(QLineEdit* edit) {
  const int limit = edit->property(kLimitProperty).toInt();
  if (limit > 0) edit->setMaxLength(std::max<int>(limit, static_cast<int>(edit->text().size())));
}

}  // namespace

void SetTypingLimit(QLineEdit* edit, int limit) {
  if (!edit->property(kLimitProperty).isValid())
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] { Tighten(edit); });
  edit->setProperty(kLimitProperty, limit);
  Tighten(edit);
}

void SetLoadedText(QLineEdit* edit, const QString& text) {
  edit->setMaxLength(std::max<int>(edit->maxLength(), static_cast<int>(text.size())));
  edit->setText(text);
  Tighten(edit);
}

void SelectIndex(QComboBox* list, int index) {
  const bool blocked = list->blockSignals(true);
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
  list->blockSignals(blocked);
}

}  // namespace orv::gui
