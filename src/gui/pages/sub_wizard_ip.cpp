#include "gui/pages/sub_wizard_ip.h"

#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

#include "core/app/address_rules.h"
#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "core/platform/host_network.h"
#include "gui/frame/pack_text.h"
#include "gui/pages/address_fields.h"
#include "gui/widgets/ipv4_edit.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

namespace {
constexpr int kAddressField = 0;
constexpr int kMaskField = 1;
}  // namespace

CSubWizardIP::CSubWizardIP(QWidget* parent)
    : CSubPage(parent),
      m_frame(BuildPageFrame(this, titleLine(), true, true)),
      m_note(new QLabel(this)),
      m_dhcp(new QRadioButton(QStringLiteral("DHCP  IP Address"), this)),
      m_fixed(new QRadioButton(QStringLiteral("Fixed IP"), this)),
      m_fields(new CAddressFields(4, this)),
      m_test(new CXButtonXP(this)) {
  setObjectName(QStringLiteral("CSubWizardIP"));
  PaintWhite();
  m_test->setObjectName(QStringLiteral("testAddress"));
  m_test->SetText(QStringLiteral("Test this IP address "));
  m_test->setAutoDefault(false);
  m_fields->grid()->addWidget(m_test, kAddressField, 2);
  LayOutAddressPage(this, m_frame, m_note, m_dhcp, m_fixed, m_fields, m_test);

  connect(m_dhcp, &QRadioButton::clicked, this, &CSubWizardIP::OnDhcp);
  connect(m_fixed, &QRadioButton::clicked, this, &CSubWizardIP::OnFixed);
  connect(m_fields->field(kAddressField), &CIpv4Edit::addressEdited, this,
          &CSubWizardIP::OnAddressEdited);
  connect(m_test, &QPushButton::clicked, this, &CSubWizardIP::OnTest);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWizardIP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWizardIP::OnNext);
}

void CSubWizardIP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WizardIPPage", "TitleWizardIP"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  SetCaption(m_dhcp, PackText(pack, "WizardIPPage", "RadioDHCP"));
  SetCaption(m_fixed, PackText(pack, "WizardIPPage", "RadioFixIP"));
  m_fields->SetLabels(
      {PackText(pack, "WizardIPPage", "IP"), PackText(pack, "WizardIPPage", "Submask"),
       PackText(pack, "WizardIPPage", "Gateway"), PackText(pack, "WizardIPPage", "DNS")});
  m_test->SetText(PackText(pack, "WizardIPPage", "BtnSendARP"));
  m_note->setText(PackText(pack, "WizardIPPage", "Note1"));
  m_inUse = PackText(pack, "WizardIPPage", "Message1");
  m_free = PackText(pack, "WizardIPPage", "Message2");
  m_question = PackText(pack, "WizardIPPage", "Message3");
  m_notTested = PackText(pack, "WizardIPPage", "Message4");
}

void CSubWizardIP::SetFieldsEnabled(bool enabled) {
  m_fields->SetFieldsEnabled(enabled);
  m_test->setEnabled(enabled);
}

void CSubWizardIP::Prepare() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  const WizardAddressProposal proposal = ProposeWizardAddress(*s, m_suggested);
  if (proposal.dhcp) {
    m_dhcp->setChecked(true);
    SetFieldsEnabled(false);
  } else {
    m_fixed->setChecked(true);
    SetFieldsEnabled(true);
    m_fields->Load(proposal.fields);
  }
}

void CSubWizardIP::OnDhcp() {
  if (session() != nullptr) ChooseWizardDhcp(*session());
  SetFieldsEnabled(false);
}

void CSubWizardIP::OnFixed() {
  SetFieldsEnabled(true);
}

void CSubWizardIP::OnAddressEdited() {
  const std::optional<int> first =
      TypedFirstOctet(m_fields->field(kAddressField)->text().toStdString());
  if (!first) return;
  if (const std::optional<std::string> mask = MaskForFirstOctet(*first))
    m_fields->field(kMaskField)->SetAddressText(*mask);
}

void CSubWizardIP::OnTest() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  const std::uint32_t address = m_fields->field(kAddressField)->Address();
  // One ARP request waits up to a second for its answer: never on the user-interface thread.
  RunPageWork([net = m_net, record = *s, address, this]() -> std::function<void()> {
    const AddressTestReport report =
        ReportAddressTest(TestWizardAddress(net.get(), record, address));
    return [this, report] {
      switch (report) {
        case AddressTestReport::InUse:
          Message(MessageIcon::Stop, QString(), m_inUse);
          break;
        case AddressTestReport::Free:
          Message(MessageIcon::Information, QString(), m_free);
          break;
        case AddressTestReport::NotTested:
          Message(MessageIcon::Warning, QString(), m_notTested);
          break;
      }
    };
  });
}

void CSubWizardIP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWizardAddressBack);
}

void CSubWizardIP::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  StoreWizardAddress(*s, CheckedAddressMode(m_dhcp, m_fixed), m_fields->Read());
  const nav::Decision decision = nav::WizardAddressNext(*s);
  if (decision.ask) {
    const bool yes = Message(MessageIcon::Question, QString(), m_question, MessageButtons::YesNo) ==
                     MessageAnswer::Yes;
    PostStep(nav::WizardAddressAnswer(*s, yes));
  } else if (decision.step != nav::kNoStep) {
    PostStep(decision.step);
  }
}

}  // namespace orv::gui
