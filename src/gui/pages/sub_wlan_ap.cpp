#include "gui/pages/sub_wlan_ap.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/frame/control_helpers.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

constexpr int kSsidTypingLimit = 32;
constexpr int kWpaTypingLimit = 58;

QString Utf8(const std::string& s) {
  return QString::fromStdString(s);
}

QStringList Texts(const std::vector<std::string>& list) {
  QStringList out;
  for (const std::string& s : list) out << Utf8(s);
  return out;
}

}  // namespace

CSubWLANAP::CSubWLANAP(QWidget* parent)
    : CSubPage(parent),
      m_ssidLabel(new QLabel(this)),
      m_ssid(new QLineEdit(this)),
      m_modeLabel(new QLabel(this)),
      m_mode(new QComboBox(this)),
      m_channelLabel(new QLabel(this)),
      m_channel(new QComboBox(this)),
      m_rateLabel(new QLabel(this)),
      m_rate(new QComboBox(this)),
      m_securityLabel(new QLabel(this)),
      m_security(new QComboBox(this)),
      m_wepGroup(new QWidget(this)),
      m_wep(m_wepGroup, {{QStringLiteral("64 bits"), QStringLiteral("128 bits")},
                         {QStringLiteral("Key1"), QStringLiteral("Key2"), QStringLiteral("Key3"),
                          QStringLiteral("Key4")},
                         false}),
      m_wpaGroup(new QWidget(this)),
      m_algorithmLabel(new QLabel(m_wpaGroup)),
      m_algorithm(new QComboBox(m_wpaGroup)),
      m_wpaKeyLabel(new QLabel(m_wpaGroup)),
      m_wpaKey(new QLineEdit(m_wpaGroup)) {
  setObjectName(QStringLiteral("CSubWLANAP"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);

  m_mode->addItems({QStringLiteral("Ad-Hoc"), QStringLiteral("Infrastructure")});
  m_mode->setCurrentIndex(-1);
  m_rate->addItems(Texts(wireless::TxRateList()));
  m_rate->setCurrentIndex(0);
  m_security->addItems({QStringLiteral("NONE"), QStringLiteral("WEP"), QStringLiteral("WPA-PSK"),
                        QStringLiteral("WPA2-PSK")});
  m_security->setCurrentIndex(0);
  m_wep.keyNumberList()->setCurrentIndex(-1);
  m_algorithm->addItems({QStringLiteral("AES"), QStringLiteral("TKIP")});
  SetTypingLimit(m_ssid, kSsidTypingLimit);
  SetTypingLimit(m_wpaKey, kWpaTypingLimit);

  auto* general = new QGridLayout;
  AddFieldRows(general, general->rowCount(), 0,
               {{m_ssidLabel, m_ssid, "SSID:"},
                {m_modeLabel, m_mode, "Mode:"},
                {m_channelLabel, m_channel, "Channel:"},
                {m_rateLabel, m_rate, "Transmit rate:"},
                {m_securityLabel, m_security, "Security:"}});
  auto* wep = new QGridLayout(m_wepGroup);
  wep->setContentsMargins(0, 0, 0, 0);
  m_wep.AddRows(wep, wep->rowCount(), 0);
  auto* wpa = new QGridLayout(m_wpaGroup);
  wpa->setContentsMargins(0, 0, 0, 0);
  AddFieldRows(wpa, wpa->rowCount(), 0,
               {{m_algorithmLabel, m_algorithm, "Encryption:"},
                {m_wpaKeyLabel, m_wpaKey, "Pre-shared key:"}});
  for (QGridLayout* grid : {general, wep, wpa}) grid->setColumnStretch(1, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(general, 1);
  auto* keys = new QVBoxLayout;
  keys->addWidget(m_wepGroup);
  keys->addWidget(m_wpaGroup);
  keys->addStretch(1);
  columns->addSpacing(12);
  columns->addLayout(keys, 1);
  m_frame.body->addLayout(columns);
  m_frame.body->addStretch(1);
  ShowGroups(0);

  std::vector<QWidget*> order{m_ssid, m_mode, m_channel, m_rate, m_security};
  for (QWidget* w : m_wep.fields()) order.push_back(w);
  order.insert(order.end(), {m_algorithm, m_wpaKey, m_frame.back, m_frame.next});
  for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);

  // User actions only (activated): loading the page never runs these.
  connect(m_mode, &QComboBox::activated, this, &CSubWLANAP::OnModeChosen);
  connect(m_security, &QComboBox::activated, this, &CSubWLANAP::ShowGroups);
  connect(m_wep.keyNumberList(), &QComboBox::activated, this, [this] { ShowChosenKey(); });
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kAccessPointBack); });
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWLANAP::OnNext);
}

void CSubWLANAP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WLANAPPage", "TitleWireless"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  const std::pair<QLabel*, const char*> labels[] = {
      {m_ssidLabel, "SSID"},    {m_modeLabel, "WirelessMode"}, {m_channelLabel, "Channel"},
      {m_rateLabel, "TxRate"},  {m_securityLabel, "Security"}, {m_algorithmLabel, "WPAAlgorithm"},
      {m_wpaKeyLabel, "WPAKey"}};
  for (const auto& [label, key] : labels)
    SetFieldLabel(label, label->buddy(), PackText(pack, "WLANAPPage", key));
  m_wep.LoadTexts(pack, "WLANAPPage");
  m_warnings.Load(pack, "WLANAPPage", {"Message2", "Message1", "Message4", "Message3", "Message5"});
}

void CSubWLANAP::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  m_loaded = wireless::LoadManual(*s);
  const wireless::ManualView& v = m_loaded;
  SetLoadedText(m_ssid, Utf8(v.ssid));
  const bool blocked = m_channel->blockSignals(true);
  m_channel->clear();
  m_channel->addItems(Texts(v.channels));
  m_channel->blockSignals(blocked);
  SelectIndex(m_channel, v.channel);
  m_channel->setEnabled(v.channelEnabled);
  SelectIndex(m_mode, v.mode);
  SelectIndex(m_rate, v.rate);
  SelectIndex(m_security, v.security);
  m_wep.Select(v.authMode, v.keyFormat, v.keyLength, v.keyNumber);
  SelectIndex(m_algorithm, v.algorithm);
  ShowChosenKey();
  SetLoadedText(m_wpaKey, Utf8(v.wpaKey));
  ShowGroups(v.security);
}

void CSubWLANAP::ShowGroups(int security) {
  m_wepGroup->setVisible(security == 1);
  m_wpaGroup->setVisible(security == 2 || security == 3);
}

void CSubWLANAP::ShowChosenKey() {
  const int number = m_wep.keyNumberList()->currentIndex();
  SetLoadedText(m_wep.keyEdit(),
                number >= 0 && number < 4 ? Utf8(m_loaded.wepKeys[number]) : QString());
}

void CSubWLANAP::OnModeChosen(int index) {
  // Infrastructure: the access point chooses the channel.
  if (index == 1) {
    SelectIndex(m_channel, 0);
    m_channel->setEnabled(false);
  } else {
    m_channel->setEnabled(true);
  }
}

void CSubWLANAP::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  wireless::ManualInput in;
  const QString ssid = m_ssid->text();
  in.ssid = {ssid.toStdString(), ssid != Utf8(m_loaded.ssid)};
  in.mode = m_mode->currentIndex();
  in.channel = m_channel->currentIndex();
  in.rate = m_rate->currentIndex();
  in.security = m_security->currentIndex();
  m_wep.ReadChoices(in);
  const QString wepKey = m_wep.keyEdit()->text();
  const bool knownNumber = in.keyNumber >= 0 && in.keyNumber < 4;
  in.wepKey = {wepKey.toStdString(),
               !knownNumber || wepKey != Utf8(m_loaded.wepKeys[in.keyNumber])};
  in.algorithm = m_algorithm->currentIndex();
  const QString wpaKey = m_wpaKey->text();
  in.wpaKey = {wpaKey.toStdString(), wpaKey != Utf8(m_loaded.wpaKey)};
  const wireless::NextAnswer answer = wireless::ManualNext(*s, in);
  if (answer.problem == wireless::Problem::None)
    PostStep(answer.step);
  else
    Message(MessageIcon::Warning, ProductCaption(), m_warnings.For(answer.problem));
}

}  // namespace orv::gui
