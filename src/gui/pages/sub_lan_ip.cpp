#include "gui/pages/sub_lan_ip.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/address_rules.h"
#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/pages/address_fields.h"
#include "gui/widgets/ipv4_edit.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubLANIP::CSubLANIP(QWidget* parent)
    : CSubPage(parent),
      m_frame(BuildPageFrame(this, titleLine(), true, true)),
      m_dhcp(new QRadioButton(QStringLiteral("Get DHCP IP "), this)),
      m_fixed(new QRadioButton(QStringLiteral("Use fixed IP address"), this)),
      m_fields(new CAddressFields(5, this)) {
  setObjectName(QStringLiteral("CSubLANIP"));
  PaintWhite();
  LayOutAddressPage(this, m_frame, nullptr, m_dhcp, m_fixed, m_fields, nullptr);
  connect(m_dhcp, &QRadioButton::clicked, this, [this] { m_fields->SetFieldsEnabled(false); });
  connect(m_fixed, &QRadioButton::clicked, this, [this] { m_fields->SetFieldsEnabled(true); });
  connect(m_frame.back, &QPushButton::clicked, this, &CSubLANIP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubLANIP::OnNext);
}

void CSubLANIP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "LANPage", "TitleLAN"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  SetCaption(m_dhcp, PackText(pack, "LANPage", "RadioDHCP"));
  SetCaption(m_fixed, PackText(pack, "LANPage", "RadioFixIP"));
  m_fields->SetLabels({PackText(pack, "LANPage", "IP"), PackText(pack, "LANPage", "Submask"),
                       PackText(pack, "LANPage", "Gateway"), PackText(pack, "LANPage", "DNS"),
                       PackText(pack, "LANPage", "DNS2")});
  m_question = PackText(pack, "LANPage", "Message1");
}

void CSubLANIP::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  switch (AddressModeOf(s->net.IPType)) {
    case AddressMode::Dhcp:
      m_dhcp->setChecked(true);
      m_fields->SetFieldsEnabled(false);
      break;
    case AddressMode::Fixed:
      // The fields keep their enabled state: after a DHCP visit they stay disabled until Fixed
      // is clicked.
      m_fixed->setChecked(true);
      m_fields->Load(WiredAddressFields(*s));
      break;
    case AddressMode::None:  // PPPoE (2) or an unknown type: the page stays as it was
      break;
  }
}

void CSubLANIP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWiredAddressBack);
}

void CSubLANIP::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  if (!StoreWiredAddress(*s, CheckedAddressMode(m_dhcp, m_fixed), m_fields->Read())) {
    Message(MessageIcon::None, ProductCaption(), QStringLiteral("Please choose one !"));
    return;
  }
  const nav::Decision decision = nav::WiredAddressNext(*s);
  if (decision.ask) {
    const bool yes = Message(MessageIcon::Question, ProductCaption(), m_question,
                             MessageButtons::YesNo) == MessageAnswer::Yes;
    PostStep(nav::WiredAddressAnswer(*s, yes));
  } else if (decision.step != nav::kNoStep) {
    PostStep(decision.step);
  }
}

}  // namespace orv::gui
