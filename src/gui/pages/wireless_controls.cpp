#include "gui/pages/wireless_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/frame/control_helpers.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"

namespace orv::gui {

int AddFieldRows(QGridLayout* grid, int row, int column, const std::vector<FieldRow>& rows) {
  for (const FieldRow& r : rows) {
    SetFieldLabel(r.label, r.field, QString::fromLatin1(r.name));
    grid->addWidget(r.label, row, column);
    grid->addWidget(r.field, row, column + 1);
    ++row;
  }
  return row;
}

WepControls::WepControls(QWidget* parent, const Look& look)
    : m_formatAboveLength(look.formatAboveLength),
      m_authLabel(new QLabel(parent)),
      m_auth(new QComboBox(parent)),
      m_keyLengthLabel(new QLabel(parent)),
      m_keyLength(new QComboBox(parent)),
      m_keyFormatLabel(new QLabel(parent)),
      m_keyFormat(new QComboBox(parent)),
      m_keyNumberLabel(new QLabel(parent)),
      m_keyNumber(new QComboBox(parent)),
      m_keyLabel(new QLabel(parent)),
      m_key(new QLineEdit(parent)) {
  m_auth->addItems({QStringLiteral("Open"), QStringLiteral("Shared")});
  m_keyLength->addItems(look.lengths);
  m_keyFormat->addItems({QStringLiteral("HEX"), QStringLiteral("ASCII")});
  m_keyFormat->setCurrentIndex(wireless::kWepAscii);
  m_keyNumber->addItems(look.numbers);
  UpdateKeyLimit();
  // User actions only (activated): a selection made by code runs nothing.
  QObject::connect(m_keyFormat, &QComboBox::activated, m_key, [this] { UpdateKeyLimit(); });
  QObject::connect(m_keyLength, &QComboBox::activated, m_key, [this] { UpdateKeyLimit(); });
}

std::array<WepControls::Labelled, 5> WepControls::Rows() const {
  const Labelled length{{m_keyLengthLabel, m_keyLength, "Key length:"}, "WEPKeyLength"};
  const Labelled format{{m_keyFormatLabel, m_keyFormat, "Key format:"}, "WEPKeyFormat"};
  return {Labelled{{m_authLabel, m_auth, "Authentication:"}, "WEPMode"},
          m_formatAboveLength ? format : length, m_formatAboveLength ? length : format,
          Labelled{{m_keyNumberLabel, m_keyNumber, "Default key:"}, "WEPDefKey"},
          Labelled{{m_keyLabel, m_key, "WEP key:"}, "WEPKey"}};
}

int WepControls::AddRows(QGridLayout* grid, int row, int column) const {
  std::vector<FieldRow> rows;
  for (const Labelled& r : Rows()) rows.push_back(r.row);
  return AddFieldRows(grid, row, column, rows);
}

std::vector<QWidget*> WepControls::fields() const {
  std::vector<QWidget*> out;
  for (const Labelled& r : Rows()) out.push_back(r.row.field);
  return out;
}

void WepControls::LoadTexts(const i18n::LanguagePack& pack, const char* section) {
  for (const Labelled& r : Rows())
    SetFieldLabel(r.row.label, r.row.field, PackText(pack, section, r.key));
}

void WepControls::Select(int authMode, int keyFormat, int keyLength, int keyNumber) {
  SelectIndex(m_auth, authMode);
  SelectIndex(m_keyFormat, keyFormat);
  // The length before the key, so the key's limit never cuts it.
  SelectIndex(m_keyLength, keyLength);
  SelectIndex(m_keyNumber, keyNumber);
  UpdateKeyLimit();
}

void WepControls::SetEnabled(bool on) {
  for (QWidget* w : fields()) w->setEnabled(on);
}

void WepControls::UpdateKeyLimit() {
  SetTypingLimit(
      m_key, wireless::WepKeyChars(m_keyFormat->currentIndex(), m_keyLength->currentIndex() == 1));
}

QString WirelessWarnings::For(wireless::Problem problem) const {
  switch (problem) {
    case wireless::Problem::None:
      break;
    case wireless::Problem::WepKeyEmpty:
      return m_texts[0];
    case wireless::Problem::WepKeyNotHex:
      return m_texts[1];
    case wireless::Problem::WepKeyLength:
      return m_texts[2];
    case wireless::Problem::WpaKeyEmpty:
      return m_texts[3];
    case wireless::Problem::NotStorable:
      return m_texts[4];
  }
  return {};
}

void WirelessWarnings::Load(const i18n::LanguagePack& pack, const char* section,
                            const std::array<const char*, 5>& keys) {
  for (std::size_t i = 0; i < keys.size(); ++i) m_texts[i] = PackText(pack, section, keys[i]);
}

}  // namespace orv::gui
