#pragma once
// A line edit whose length limit holds for typing only. A value loaded from the record is shown
// whole, however long (cutting it would change a password or a name the user never touched); the
// user cannot make it longer, and once it is shortened to the limit the limit holds again.

#include <QLineEdit>

namespace orv::gui {

class CTypingLimitEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CTypingLimitEdit(int typingLimit, QWidget* parent = nullptr);

  // The whole text, never cut (signals blocked: loading is not an edit).
  void LoadText(const QString& text);
  int typingLimit() const { return m_limit; }

 private:
  int m_limit;
};

}  // namespace orv::gui
