#include "gui/pages/sub_set_auto_param.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/frame/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

// The lookups the summary makes each time it is built: labels of the system and UPnP pages with
// the usual buffer, every other text with the summary's long one.
std::string Label(const i18n::LanguagePack& pack, std::string_view section, std::string_view key) {
  return pack.Utf8(section, key, i18n::kTextChars);
}
std::string Long(const i18n::LanguagePack& pack, std::string_view section, std::string_view key) {
  return pack.Utf8(section, key, i18n::kSummaryChars);
}

QLabel* SummaryLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

CSubSetAutoParam::CSubSetAutoParam(QWidget* parent)
    : CSubPage(parent),
      m_system(SummaryLabel(this, "systemText")),
      m_network(SummaryLabel(this, "networkText")),
      m_wireless(SummaryLabel(this, "wirelessText")),
      m_upnp(SummaryLabel(this, "upnpText")) {
  setObjectName(QStringLiteral("CSubSetAutoParam"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  titleLine()->hide();  // the summary has no title line of its own
  auto* grid = new QGridLayout();
  m_systemGroup = AddGroup(QStringLiteral("System"), m_system);
  m_networkGroup = AddGroup(QStringLiteral("Network"), m_network);
  m_wirelessGroup = AddGroup(QStringLiteral("Wireless"), m_wireless);
  m_upnpGroup = AddGroup(QStringLiteral("UPnP"), m_upnp);
  grid->addWidget(m_systemGroup, 0, 0);
  grid->addWidget(m_networkGroup, 0, 1);
  grid->addWidget(m_wirelessGroup, 1, 0);
  grid->addWidget(m_upnpGroup, 1, 1);
  m_frame.body->addLayout(grid, 1);
  m_frame.back->SetText(QStringLiteral("Back"));
  m_frame.next->SetText(QStringLiteral("Setup the Camera"));
  connect(m_frame.back, &QPushButton::clicked, this, &CSubSetAutoParam::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSetAutoParam::OnSave);
}

QGroupBox* CSubSetAutoParam::AddGroup(const QString& title, QLabel* text) {
  auto* group = new QGroupBox(title, this);
  group->setAccessibleName(title);
  auto* layout = new QVBoxLayout(group);
  text->setParent(group);
  layout->addWidget(text);
  layout->addStretch(1);
  return group;
}

void CSubSetAutoParam::LoadTexts(const i18n::LanguagePack& pack) {
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnSave"));
  m_confirmation = QString::fromStdString(Long(pack, "SetAutoParamPage", "Message1"));
  const std::pair<QGroupBox*, const char*> groups[] = {{m_systemGroup, "SystemInfo"},
                                                       {m_networkGroup, "NetworkInfo"},
                                                       {m_wirelessGroup, "WirelessInfo"},
                                                       {m_upnpGroup, "UPnPInfo"}};
  for (const auto& [group, key] : groups) {
    const QString title = PackText(pack, "SetAutoParamPage", key);
    group->setTitle(title);
    group->setAccessibleName(title);
  }
  SummaryLabels& l = m_labels;
  l.hostname = Label(pack, "SystemPage", "Hostname");
  l.description = Label(pack, "SystemPage", "Description");
  l.userId = Long(pack, "PPPoEPage", "UserID");
  l.password = Long(pack, "PPPoEPage", "Password");
  l.radioDhcp = Long(pack, "WizardIPPage", "RadioDHCP");
  l.radioFixIp = Long(pack, "WizardIPPage", "RadioFixIP");
  l.fixedWirelessIp = Long(pack, "WLANIPPage", "RadioFixIP");
  l.submask = Long(pack, "WizardIPPage", "Submask");
  l.gateway = Long(pack, "WizardIPPage", "Gateway");
  l.dns = Long(pack, "WizardIPPage", "dns");
  l.useWps = Long(pack, "SetAutoParamPage", "USEWPS");
  l.wpsSucceeded = Long(pack, "SetAutoParamPage", "WPSSucces");
  l.wpsFailed = Long(pack, "SetAutoParamPage", "WPSFailed");
  l.notUseWireless = Long(pack, "SetAutoParamPage", "NotUseWireless");
  l.notSupposeWireless = Long(pack, "SetAutoParamPage", "NotSupposeWireless");
  l.ssid = Long(pack, "ApscanPage", "SSID");
  l.security = Long(pack, "ApscanPage", "Security");
  l.upnpOn = Long(pack, "SetAutoParamPage", "EnUPnP");
  l.upnpOff = Long(pack, "SetAutoParamPage", "DisUPnP");
  l.httpPort = Label(pack, "UPnPPage", "HttpPort");
  l.streamPort = Label(pack, "UPnPPage", "StreamPort");
  l.rtspPort = Label(pack, "UPnPPage", "RTSP");
}

void CSubSetAutoParam::BuildSummary() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  const SummaryTexts texts = BuildSummaryTexts(*s, m_labels);
  // Names and addresses came from the camera: plain text, whatever they hold.
  SetPlainText(m_system, QString::fromStdString(texts.system));
  if (texts.network) SetPlainText(m_network, QString::fromStdString(*texts.network));
  SetPlainText(m_wireless, QString::fromStdString(texts.wireless));
  SetPlainText(m_upnp, QString::fromStdString(texts.upnp));
}

QString CSubSetAutoParam::systemText() const {
  return m_system->text();
}
QString CSubSetAutoParam::networkText() const {
  return m_network->text();
}
QString CSubSetAutoParam::wirelessText() const {
  return m_wireless->text();
}
QString CSubSetAutoParam::upnpText() const {
  return m_upnp->text();
}

void CSubSetAutoParam::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kSummaryBack);
}

void CSubSetAutoParam::OnSave() {
  if (session() == nullptr) return;
  // Nothing is written before this answer; Cancel stays on the page.
  if (Message(MessageIcon::Information, QString(), m_confirmation, MessageButtons::OkCancel) !=
      MessageAnswer::Ok)
    return;
  PostStep(nav::kSummarySave);
}

}  // namespace orv::gui
