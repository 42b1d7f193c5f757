#pragma once
// Small helpers the settings pages share: a label that names its field (for the keyboard and for
// screen readers), and record texts (system code page) shown as typed text.

#include <QLabel>
#include <QString>
#include <string_view>

#include "core/platform/codepage.h"

namespace orv::gui {

// The label's text is also the field's accessible name; the label's mnemonic moves to the field.
inline void SetFieldLabel(QLabel* label, QWidget* field, const QString& text) {
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setBuddy(field);
  field->setAccessibleName(text);
}

// A text of the record, as the user would have typed it.
inline QString LocalQString(std::string_view local) {
  return QString::fromStdString(LocalToUtf8(local));
}

}  // namespace orv::gui
