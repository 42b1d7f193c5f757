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
      m_wep(this, {{QStringLiteral("64"), QStringLiteral("128")},
                   {QStringLiteral("Key 1"), QStringLiteral("Key 2"), QStringLiteral("Key 3"),
                    QStringLiteral("Key 4")},
                   true}),
      m_wpaKeyLabel(new QLabel(this)),
      m_wpaKey(new QLineEdit(this)) {
  setObjectName(QStringLiteral("CSubAPScan"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);

  for (QLineEdit* e : {m_mac, m_ssid, m_mode, m_channel, m_quality, m_security, m_algorithm})
    e->setReadOnly(true);
  SetTypingLimit(m_wpaKey, kWpaTypingLimit);

  auto* grid = new QGridLayout;
  AddFieldRows(grid, 0, 0,
               {{m_apLabel, m_apList, "Access point:"},
                {m_macLabel, m_mac, "MAC address:"},
                {m_ssidLabel, m_ssid, "SSID"},
                {m_modeLabel, m_mode, "Mode:"},
                {m_channelLabel, m_channel, "Channel:"},
                {m_qualityLabel, m_quality, "Quality:"},
                {m_securityLabel, m_security, "Security"}});
  int row = AddFieldRows(grid, 0, 2, {{m_algorithmLabel, m_algorithm, "Encryption:"}});
  row = m_wep.AddRows(grid, row, 2);
  AddFieldRows(grid, row, 2, {{m_wpaKeyLabel, m_wpaKey, "Pre-shared key:"}});
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  grid->setColumnMinimumWidth(2, 12);
  m_frame.body->addLayout(grid);
  m_frame.body->addStretch(1);

  // Visual order: down the left column, then down the right one, then Back and Next.
  std::vector<QWidget*> order{m_apList,  m_mac,     m_ssid,     m_mode,
                              m_channel, m_quality, m_security, m_algorithm};
  for (QWidget* w : m_wep.fields()) order.push_back(w);
  order.insert(order.end(), {m_wpaKey, m_frame.back, m_frame.next});
  for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);

  // User actions only: activated never fires for a selection made by code.
  connect(m_apList, &QComboBox::activated, this, &CSubAPScan::ShowAccessPoint);
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
                                                    {m_wpaKeyLabel, "WPAKey"}};
  for (const auto& [label, key] : labels)
    SetFieldLabel(label, label->buddy(), PackText(pack, "ApscanPage", key));
  m_wep.LoadTexts(pack, "ApscanPage");
  m_rescanQuestion = PackText(pack, "ApscanPage", "Message1");
  m_warnings.Load(pack, "ApscanPage", {"Message2", "Message3", "Message5", "Message4", "Message6"});
}

void CSubAPScan::Prepare() {
  for (QLineEdit* e : {m_mac, m_ssid, m_mode, m_channel, m_quality, m_security, m_algorithm,
                       m_wep.keyEdit(), m_wpaKey})
    e->clear();
  m_wep.Select(0, wireless::kWepAscii, 0, 0);
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
  m_wep.SetEnabled(any);
  if (any) {
    SelectIndex(m_apList, 0);
    ShowAccessPoint(0);
    return;
  }
  if (session() != nullptr && Message(MessageIcon::Warning, QString(), m_rescanQuestion,
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
      m_wep.SetEnabled(false);
      m_wpaKey->setEnabled(false);
      break;
    case wireless::KeyControls::Wep:
      m_wep.SetEnabled(true);
      m_wpaKey->setEnabled(false);
      break;
    case wireless::KeyControls::Wpa:
      m_wep.SetEnabled(false);
      m_wpaKey->setEnabled(true);
      break;
    case wireless::KeyControls::Keep:
      break;
  }
}

void CSubAPScan::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  wireless::ApListInput in;
  in.chosen = m_apList->currentIndex() < 0 ? m_accessPoints.size()
                                           : static_cast<std::size_t>(m_apList->currentIndex());
  m_wep.ReadChoices(in);
  in.wepKey = m_wep.keyEdit()->text().toStdString();
  in.wpaKey = m_wpaKey->text().toStdString();
  const wireless::NextAnswer answer = wireless::ApListNext(*s, m_accessPoints, in);
  if (answer.problem == wireless::Problem::None)
    PostStep(answer.step);
  else
    Message(MessageIcon::Warning, QString(), m_warnings.For(answer.problem));
}

}  // namespace orv::gui
