#pragma once
// The About dialog: two lines of information, its title and its button, read from the active pack
// each time it opens.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  CAboutDlg(const i18n::LanguagePack& pack, QWidget* parent = nullptr);

  QString info1() const;
  QString info2() const;

 private:
  QLabel* m_info1;
  QLabel* m_info2;
  QPushButton* m_ok;
};

}  // namespace orv::gui
