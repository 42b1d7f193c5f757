#pragma once
// Small helpers the pages share: typing limits that never cut a loaded or already typed
// value, and a list choice that does not count as the user's.

#include <QString>

class QComboBox;
class QLineEdit;

namespace orv::gui {

// A limit for typing only: a longer text already in the edit stays whole, and the limit closes in
// again as the user shortens it. (QLineEdit::setMaxLength alone would cut the text.)
void SetTypingLimit(QLineEdit* edit, int limit);
// Loaded text under the edit's typing limit, never cut.
void SetLoadedText(QLineEdit* edit, const QString& text);

// Selects index without running user handlers (activated fires only for the user); out of range
// leaves the list without a selection.
void SelectIndex(QComboBox* list, int index);

}  // namespace orv::gui
