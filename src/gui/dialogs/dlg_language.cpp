#include "gui/dialogs/dlg_language.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/i18n/language_choice.h"
#include "gui/frame/ui_services.h"

namespace orv::gui {

CDlgLanguage::CDlgLanguage(std::string programFolder, std::string abbreviation, QWidget* parent)
    : QDialog(parent),
      m_programFolder(std::move(programFolder)),
      m_abbreviation(std::move(abbreviation)),
      m_combo(new QComboBox(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("CDlgLanguage"));
  setWindowTitle(ProductCaption());
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("Language"), this);
  m_combo->setEditable(true);
  m_combo->setInsertPolicy(QComboBox::NoInsert);
  m_combo->setAccessibleName(label->text());
  label->setBuddy(m_combo);
  layout->addWidget(label);
  layout->addWidget(m_combo);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
  buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
  m_cancel->hide();
  m_ok->setDefault(true);
  m_ok->setAccessibleName(m_ok->text());
  layout->addWidget(buttons);
  connect(m_ok, &QPushButton::clicked, this, [this] {
    if (!NamesPack(m_combo->currentText())) return;
    m_result = m_combo->currentText();
    accept();
  });
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_combo, &QComboBox::editTextChanged, this, [this] { UpdateOk(); });
  connect(m_combo, &QComboBox::currentIndexChanged, this, [this] { UpdateOk(); });
}

bool CDlgLanguage::NamesPack(const QString& text) const {
  if (text.trimmed().isEmpty() || text.contains(QLatin1Char('/')) ||
      text.contains(QLatin1Char('\\')) || text == QStringLiteral(".") ||
      text == QStringLiteral(".."))
    return false;
  const i18n::LanguageChoice choice(m_programFolder);
  const std::string file = text.toStdString() + std::string(i18n::kPackExtension);
  return QFileInfo(QString::fromStdString(choice.LangFilePath(file))).isFile();
}

void CDlgLanguage::Reload() {
  const i18n::LanguageChoice choice(m_programFolder);
  const std::vector<std::string> packs = choice.ListPacks();
  m_combo->clear();
  for (const std::string& pack : packs) m_combo->addItem(QString::fromStdString(pack));
  const int preselected = i18n::PreselectPack(packs, m_abbreviation);
  m_combo->setCurrentIndex(preselected);
  if (preselected < 0) m_combo->setEditText(QString());
  UpdateOk();
}

int CDlgLanguage::exec() {
  Reload();
  return QDialog::exec();
}

void CDlgLanguage::UpdateOk() {
  m_ok->setEnabled(NamesPack(m_combo->currentText()));
}

}  // namespace orv::gui
