#include "gui/pages/address_fields.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/frame/page_frame.h"
#include "gui/widgets/ipv4_edit.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CAddressFields::CAddressFields(int count, QWidget* parent)
    : QWidget(parent), m_grid(new QGridLayout(this)) {
  m_grid->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < count; ++i) {
    auto* label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    auto* edit = new CIpv4Edit(this);
    edit->setObjectName(QStringLiteral("address%1").arg(i));
    // Room for "255.255.255.255" in the current font, whatever the desktop's font size.
    edit->setMinimumWidth(
        edit->fontMetrics().horizontalAdvance(QStringLiteral("0000.0000.0000.000")));
    edit->SetLabel(label);
    m_grid->addWidget(label, i, 0);
    m_grid->addWidget(edit, i, 1);
    m_labels.push_back(label);
    m_edits.push_back(edit);
  }
  m_grid->setColumnStretch(3, 1);
  for (std::size_t i = 1; i < m_edits.size(); ++i) setTabOrder(m_edits[i - 1], m_edits[i]);
}

void CAddressFields::SetLabels(const std::vector<QString>& texts) {
  for (std::size_t i = 0; i < m_labels.size() && i < texts.size(); ++i) {
    m_labels[i]->setText(texts[i]);
    m_edits[i]->SetLabel(m_labels[i]);
  }
}

void CAddressFields::Load(const AddressFields& v) {
  const std::string* values[] = {&v.addr, &v.mask, &v.gateway, &v.dns1, &v.dns2};
  for (std::size_t i = 0; i < m_edits.size(); ++i) m_edits[i]->SetAddressText(*values[i]);
}

AddressFields CAddressFields::Read() const {
  AddressFields v;
  std::string* values[] = {&v.addr, &v.mask, &v.gateway, &v.dns1, &v.dns2};
  for (std::size_t i = 0; i < m_edits.size(); ++i) *values[i] = m_edits[i]->AddressText();
  return v;
}

void CAddressFields::SetFieldsEnabled(bool enabled) {
  for (CIpv4Edit* e : m_edits) e->setEnabled(enabled);
}

void LayOutAddressPage(QWidget* page, const PageFrame& frame, QLabel* note, QRadioButton* dhcp,
                       QRadioButton* fixed, CAddressFields* fields, QWidget* besideFirst) {
  auto* group = new QButtonGroup(page);
  group->addButton(dhcp);
  group->addButton(fixed);
  if (note != nullptr) {
    note->setWordWrap(true);
    note->setTextFormat(Qt::PlainText);
    frame.body->addWidget(note);
    frame.body->addSpacing(8);
  }
  frame.body->addWidget(dhcp);
  frame.body->addWidget(fixed);
  auto* indented = new QHBoxLayout;
  indented->addSpacing(24);
  indented->addWidget(fields, 1);
  frame.body->addLayout(indented);
  frame.body->addStretch(1);

  QWidget::setTabOrder(dhcp, fixed);
  QWidget::setTabOrder(fixed, fields->field(0));
  if (besideFirst != nullptr) {
    QWidget::setTabOrder(fields->field(0), besideFirst);
    if (fields->count() > 1) QWidget::setTabOrder(besideFirst, fields->field(1));
  }
  QWidget* last = fields->count() > 1 || besideFirst == nullptr ? fields->field(fields->count() - 1)
                                                                : besideFirst;
  QWidget::setTabOrder(last, frame.back);
  QWidget::setTabOrder(frame.back, frame.next);
}

AddressMode CheckedAddressMode(const QRadioButton* dhcp, const QRadioButton* fixed) {
  if (dhcp->isChecked()) return AddressMode::Dhcp;
  if (fixed->isChecked()) return AddressMode::Fixed;
  return AddressMode::None;
}

}  // namespace orv::gui
