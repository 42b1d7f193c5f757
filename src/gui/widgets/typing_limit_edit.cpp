#include "gui/widgets/typing_limit_edit.h"

#include <QSignalBlocker>
#include <algorithm>

namespace orv::gui {

CTypingLimitEdit::CTypingLimitEdit(int typingLimit, QWidget* parent)
    : QLineEdit(parent), m_limit(typingLimit) {
  setMaxLength(m_limit);
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text.size() <= m_limit && maxLength() != m_limit) setMaxLength(m_limit);
  });
}

void CTypingLimitEdit::LoadText(const QString& text) {
  const QSignalBlocker block(this);
  setMaxLength(std::max(m_limit, static_cast<int>(text.size())));
  setText(text);
}

}  // namespace orv::gui
