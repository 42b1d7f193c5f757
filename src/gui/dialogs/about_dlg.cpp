#include "gui/dialogs/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/frame/pack_text.h"

namespace orv::gui {

CAboutDlg::CAboutDlg(const i18n::LanguagePack& pack, QWidget* parent)
    : QDialog(parent),
      m_info1(new QLabel(this)),
      m_info2(new QLabel(this)),
      m_ok(new QPushButton(this)) {
  setObjectName(QStringLiteral("CAboutDlg"));
  setWindowTitle(PackText(pack, "AboutDlg", "DlgTitle"));
  m_info1->setText(PackText(pack, "AboutDlg", "Info1"));
  m_info2->setText(PackText(pack, "AboutDlg", "Info2"));
  m_ok->setText(PackText(pack, "AboutDlg", "BtnOK"));
  for (QLabel* label : {m_info1, m_info2}) {
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAccessibleName(label->text());
  }
  m_ok->setAccessibleName(m_ok->text());
  m_ok->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_info1);
  layout->addWidget(m_info2);
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  row->addWidget(m_ok);
  layout->addLayout(row);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutDlg::info1() const {
  return m_info1->text();
}
QString CAboutDlg::info2() const {
  return m_info2->text();
}

}  // namespace orv::gui
