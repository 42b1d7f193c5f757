#pragma once
// The wait window: a 0..1000 progress bar and one line of text, shown while camera work runs. It
// has no behaviour of its own; the main window sets it and shows or hides it.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace orv::gui {

class CSubWait : public QDialog {
  Q_OBJECT
 public:
  explicit CSubWait(QWidget* parent = nullptr);

  void SetRange(int low, int high);
  void SetPosition(int position);
  int position() const;
  void SetText(const QString& text);
  QString text() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  QProgressBar* m_progress;
  QLabel* m_text;
};

}  // namespace orv::gui
