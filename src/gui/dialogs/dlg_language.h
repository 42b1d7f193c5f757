#pragma once
// The language dialog: the packs of the Language folder in an editable, sorted combo box, the
// user's own language preselected. OK is offered only while the text names an existing pack.

#include <QDialog>
#include <string>

class QComboBox;
class QPushButton;

namespace orv::gui {

class CDlgLanguage : public QDialog {
  Q_OBJECT
 public:
  CDlgLanguage(std::string programFolder, std::string abbreviation, QWidget* parent = nullptr);

  // Fills the list again from the folder and preselects; exec() does it each time it opens.
  void Reload();
  // The pack name of the last OK (kept between runs, as the dialog lives in the main window).
  QString result() const { return m_result; }
  // Does text name a pack of the folder (no path separators, the file exists)?
  bool NamesPack(const QString& text) const;

  QComboBox* combo() const { return m_combo; }
  QPushButton* okButton() const { return m_ok; }

  int exec() override;

 private:
  void UpdateOk();

  std::string m_programFolder;
  std::string m_abbreviation;
  QComboBox* m_combo;
  QPushButton* m_ok;
  QPushButton* m_cancel;
  QString m_result;
};

}  // namespace orv::gui
