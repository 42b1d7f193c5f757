#include "gui/pages/sub_ap_scan.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/app/wireless_rules.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "gui/frame/control_helpers.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

constexpr int kWpaTypingLimit = 58;

QString Utf8(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

CSubAPScan::CSubAPScan(QWidget* parent)
    : CSubPage(parent),
      m_apLabel(new QLabel(this)),
      m_apList(new QComboBox(this)),
      m_macLabel(new QLabel(this)),
      m_mac(new QLineEdit(this)),
      m_ssidLabel(new QLabel(this)),
      m_ssid(new QLineEdit(this)),
      m_modeLabel(new QLabel(this)),
      m_mode(new QLineEdit(this)),
      m_channelLabel(new QLabel(this)),
      m_channel(new QLineEdit(this)),
      m_qualityLabel(new QLabel(this)),
      m_quality(new QLineEdit(this)),
      m_securityLabel(new QLabel(this)),
      m_security(new QLineEdit(this)),
      m_algorithmLabel(new QLabel(this)),
      m_algorithm(new QLineEdit(this)),
      m_keyModeLabel(new QLabel(this)),
      m_keyMode(new QComboBox(this)),
      m_keyFormatLabel(new QLabel(this)),
      m_keyFormat(new QComboBox(this)),
      m_keyLengthLabel(new QLabel(this)),
      m_keyLength(new QComboBox(this)),
      m_keyNumberLabel(new QLabel(this)),
      m_keyNumber(new QComboBox(this)),
      m_wepKeyLabel(new QLabel(this)),
      m_wepKey(new QLineEdit(this)),
      m_wpaKeyLabel(new QLabel(this)),
      m_wpaKey(new QLineEdit(this)) {
  setObjectName(QStringLiteral("CSubAPScan"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);

  for (QLineEdit* e : {m_mac, m_ssid, m_mode, m_channel, m_quality, m_security, m_algorithm})
    e->setReadOnly(true);
  m_keyMode->addItems({QStringLiteral("Open"), QStringLiteral("Shared")});
  m_keyFormat->addItems({QStringLiteral("HEX"), QStringLiteral("ASCII")});
  m_keyLength->addItems({QStringLiteral("64"), QStringLiteral("128")});
  m_keyNumber->addItems({QStringLiteral("Key 1"), QStringLiteral("Key 2"), QStringLiteral("Key 3"),
                         QStringLiteral("Key 4")});
  m_keyMode->setCurrentIndex(0);
  m_keyFormat->setCurrentIndex(wireless::kWepAscii);
  m_keyLength->setCurrentIndex(0);
  m_keyNumber->setCurrentIndex(0);
  SetTypingLimit(m_wpaKey, kWpaTypingLimit);
  UpdateKeyLimit();

  struct Row {
    QLabel* label;
    QWidget* field;
    const char* name;
  };
  const Row left[] = {{m_apLabel, m_apList, "Access point:"},
                      {m_macLabel, m_mac, "MAC address:"},
                      {m_ssidLabel, m_ssid, "SSID"},
                      {m_modeLabel, m_mode, "Mode:"},
                      {m_channelLabel, m_channel, "Channel:"},
                      {m_qualityLabel, m_quality, "Quality:"},
                      {m_securityLabel, m_security, "Security"}};
  const Row right[] = {{m_algorithmLabel, m_algorithm, "Encryption:"},
                       {m_keyModeLabel, m_keyMode, "Authentication:"},
                       {m_keyFormatLabel, m_keyFormat, "Key format:"},
                       {m_keyLengthLabel, m_keyLength, "Key length:"},
                       {m_keyNumberLabel, m_keyNumber, "Default key:"},
                       {m_wepKeyLabel, m_wepKey, "WEP key:"},
                       {m_wpaKeyLabel, m_wpaKey, "Pre-shared key:"}};
  auto* grid = new QGridLayout;
  int row = 0;
  for (const Row& r : left) {
    SetFieldLabel(r.label, r.field, QString::fromLatin1(r.name));
    grid->addWidget(r.label, row, 0);
    grid->addWidget(r.field, row, 1);
    ++row;
  }
  row = 0;
  for (const Row& r : right) {
    SetFieldLabel(r.label, r.field, QString::fromLatin1(r.name));
    grid->addWidget(r.label, row, 2);
    grid->addWidget(r.field, row, 3);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  grid->setColumnMinimumWidth(2, 12);
  m_frame.body->addLayout(grid);
  m_frame.body->addStretch(1);

  // Visual order: down the left column, then down the right one, then Back and Next.
  QWidget* order[] = {m_apList,   m_mac,       m_ssid,       m_mode,      m_channel,   m_quality,
                      m_security, m_algorithm, m_keyMode,    m_keyFormat, m_keyLength, m_keyNumber,
                      m_wepKey,   m_wpaKey,    m_frame.back, m_frame.next};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  // User actions only: activated never fires for a selection made by code.
  connect(m_apList, &QComboBox::activated, this, &CSubAPScan::ShowAccessPoint);
  connect(m_keyFormat, &QComboBox::activated, this, [this] { UpdateKeyLimit(); });
  connect(m_keyLength, &QComboBox::activated, this, [this] { UpdateKeyLimit(); });
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kApListBack); });
  connect(m_frame.next, &QPushButton::clicked, this, &CSubAPScan::OnNext);
}

void CSubAPScan::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "ApscanPage", "TitleWireless"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  const std::pair<QLabel*, const char*> labels[] = {{m_apLabel, "AP"},
                                                    {m_macLabel, "APMAC"},
                                                    {m_ssidLabel, "SSID"},
                                                    {m_modeLabel, "WirelessMode"},
                                                    {m_channelLabel, "Channel"},
                                                    {m_qualityLabel, "Quality"},
                                                    {m_securityLabel, "Security"},
                                                    {m_algorithmLabel, "WPAAlgorithm"},
                                                    {m_keyModeLabel, "WEPMode"},
                                                    {m_keyFormatLabel, "WEPKeyFormat"},
                                                    {m_keyLengthLabel, "WEPKeyLength"},
                                                    {m_keyNumberLabel, "WEPDefKey"},
                                                    {m_wepKeyLabel, "WEPKey"},
                                                    {m_wpaKeyLabel, "WPAKey"}};
  for (const auto& [label, key] : labels)
    SetFieldLabel(label, label->buddy(), PackText(pack, "ApscanPage", key));
  for (int i = 0; i < 6; ++i)
    m_messages[i] = PackText(pack, "ApscanPage", "Message" + std::to_string(i + 1));
}

void CSubAPScan::Prepare() {
  for (QLineEdit* e :
       {m_mac, m_ssid, m_mode, m_channel, m_quality, m_security, m_algorithm, m_wepKey, m_wpaKey})
    e->clear();
  SelectIndex(m_keyMode, 0);
  SelectIndex(m_keyFormat, wireless::kWepAscii);
  SelectIndex(m_keyLength, 0);
  SelectIndex(m_keyNumber, 0);
  UpdateKeyLimit();
  const bool blocked = m_apList->blockSignals(true);
  m_apList->clear();
  for (std::size_t i = 0; i < m_accessPoints.size(); ++i)
    m_apList->addItem(Utf8(wireless::AccessPointName(i)));
  m_apList->blockSignals(blocked);

  // Enabled again whenever there is something to choose (after a rescan that found some).
  const bool any = !m_accessPoints.empty();
  for (QWidget* w : std::initializer_list<QWidget*>{m_apList, m_mac, m_ssid, m_mode, m_channel,
                                                    m_quality, m_security, m_algorithm, m_wpaKey})
    w->setEnabled(any);
  SetWepEnabled(any);
  if (any) {
    SelectIndex(m_apList, 0);
    ShowAccessPoint(0);
    return;
  }
  if (session() != nullptr && Message(MessageIcon::Warning, QString(), m_messages[0],
                                      MessageButtons::YesNo) == MessageAnswer::Yes)
    PostStep(nav::kRescan);
}

void CSubAPScan::ShowAccessPoint(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_accessPoints.size()) return;
  const AccessPointEntry& ap = m_accessPoints[static_cast<std::size_t>(index)];
  // Everything here came over the air: shown as it stands, never interpreted.
  m_mac->setText(Utf8(wireless::DisplayName(ap.Mac_address.view())));
  SetLoadedText(m_ssid, Utf8(wireless::DisplayName(ap.SSID.view())));
  m_mode->setText(Utf8(wireless::DisplayName(ap.Mode.view())));
  m_channel->setText(QString::number(ap.Channel));
  m_quality->setText(QString::number(ap.Quality));
  m_security->setText(Utf8(wireless::DisplayName(ap.Security.view())));
  m_algorithm->setText(Utf8(wireless::DisplayName(ap.Algorithm.view())));
  switch (wireless::KeyControlsFor(ap.Security.view())) {
    case wireless::KeyControls::None:
      SetWepEnabled(false);
      m_wpaKey->setEnabled(false);
      break;
    case wireless::KeyControls::Wep:
      SetWepEnabled(true);
      m_wpaKey->setEnabled(false);
      break;
    case wireless::KeyControls::Wpa:
      SetWepEnabled(false);
      m_wpaKey->setEnabled(true);
      break;
    case wireless::KeyControls::Keep:
      break;
  }
}

void CSubAPScan::SetWepEnabled(bool on) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_keyMode, m_keyFormat, m_keyLength, m_keyNumber, m_wepKey})
    w->setEnabled(on);
}

void CSubAPScan::UpdateKeyLimit() {
  SetTypingLimit(m_wepKey, wireless::WepKeyChars(m_keyFormat->currentIndex(),
                                                 m_keyLength->currentIndex() == 1));
}

void CSubAPScan::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  wireless::ApListInput in;
  in.chosen = m_apList->currentIndex() < 0 ? m_accessPoints.size()
                                           : static_cast<std::size_t>(m_apList->currentIndex());
  in.keyLength = m_keyLength->currentIndex();
  in.keyNumber = m_keyNumber->currentIndex();
  in.keyFormat = m_keyFormat->currentIndex();
  in.authMode = m_keyMode->currentIndex();
  in.wepKey = m_wepKey->text().toStdString();
  in.wpaKey = m_wpaKey->text().toStdString();
  const wireless::NextAnswer answer = wireless::ApListNext(*s, m_accessPoints, in);
  int message = -1;
  switch (answer.problem) {
    case wireless::Problem::None:
      PostStep(answer.step);
      return;
    case wireless::Problem::WepKeyEmpty:
      message = 1;
      break;
    case wireless::Problem::WepKeyNotHex:
      message = 2;
      break;
    case wireless::Problem::WpaKeyEmpty:
      message = 3;
      break;
    case wireless::Problem::WepKeyLength:
      message = 4;
      break;
    case wireless::Problem::NotStorable:
      message = 5;
      break;
  }
  Message(MessageIcon::Warning, QString(), m_messages[message]);
}

}  // namespace orv::gui
