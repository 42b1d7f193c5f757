#include "gui/pages/sub_wlan_ip.h"

#include <QRadioButton>

#include "core/app/address_rules.h"
#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/pages/address_fields.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWLANIP::CSubWLANIP(QWidget* parent)
    : CSubPage(parent),
      m_frame(BuildPageFrame(this, titleLine(), true, true)),
      m_dhcp(new QRadioButton(QStringLiteral("DHCP Wireless IP"), this)),
      m_fixed(new QRadioButton(QStringLiteral("Fixed Wireless IP"), this)),
      m_fields(new CAddressFields(5, this)) {
  setObjectName(QStringLiteral("CSubWLANIP"));
  PaintWhite();
  LayOutAddressPage(this, m_frame, nullptr, m_dhcp, m_fixed, m_fields, nullptr);
  connect(m_dhcp, &QRadioButton::clicked, this, [this] { m_fields->SetFieldsEnabled(false); });
  connect(m_fixed, &QRadioButton::clicked, this, [this] { m_fields->SetFieldsEnabled(true); });
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWLANIP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWLANIP::OnNext);
}

void CSubWLANIP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WLANIPPage", "TitleWLAN"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  SetCaption(m_dhcp, PackText(pack, "WLANIPPage", "RadioDHCP"));
  SetCaption(m_fixed, PackText(pack, "WLANIPPage", "RadioFixIP"));
  m_fields->SetLabels({PackText(pack, "WLANIPPage", "IP"), PackText(pack, "WLANIPPage", "Submask"),
                       PackText(pack, "WLANIPPage", "Gateway"), PackText(pack, "WLANIPPage", "DNS"),
                       PackText(pack, "WLANIPPage", "DNS2")});
}

void CSubWLANIP::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  switch (AddressModeOf(s->net.WIPType)) {
    case AddressMode::Dhcp:
      m_dhcp->setChecked(true);
      m_fields->SetFieldsEnabled(false);
      break;
    case AddressMode::Fixed:
      m_fixed->setChecked(true);
      m_fields->SetFieldsEnabled(true);
      m_fields->Load(WirelessAddressFields(*s));
      break;
    case AddressMode::None:  // an unknown type: the page stays as it was
      break;
  }
}

void CSubWLANIP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWirelessAddressBack);
}

void CSubWLANIP::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  if (!StoreWirelessAddress(*s, CheckedAddressMode(m_dhcp, m_fixed), m_fields->Read())) {
    Message(MessageIcon::None, ProductCaption(), QStringLiteral("Please choose one !"));
    return;
  }
  PostStep(nav::kWirelessAddressNext);
}

}  // namespace orv::gui
