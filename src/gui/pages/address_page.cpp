#include "gui/pages/address_page.h"

#include <QRadioButton>

#include "core/model/session_record.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/pages/address_fields.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

constexpr AddressPageView kWiredView{"CSubLANIP",
                                     "LANPage",
                                     "TitleLAN",
                                     "Get DHCP IP ",
                                     "Use fixed IP address",
                                     AddressSet::Wired,
                                     nav::kWiredAddressBack,
                                     &nav::WiredAddressNext,
                                     &nav::WiredAddressAnswer,
                                     false};

constexpr AddressPageView kWirelessView{"CSubWLANIP",
                                        "WLANIPPage",
                                        "TitleWLAN",
                                        "DHCP Wireless IP",
                                        "Fixed Wireless IP",
                                        AddressSet::Wireless,
                                        nav::kWirelessAddressBack,
                                        [](const SessionRecord&) {
                                          return nav::Decision{nav::kWirelessAddressNext, false};
                                        },
                                        nullptr,
                                        true};

}  // namespace

CAddressPage::CAddressPage(const AddressPageView& view, QWidget* parent)
    : CSubPage(parent),
      m_view(view),
      m_frame(BuildPageFrame(this, titleLine(), true, true)),
      m_dhcp(new QRadioButton(QString::fromLatin1(view.dhcpCaption), this)),
      m_fixed(new QRadioButton(QString::fromLatin1(view.fixedCaption), this)),
      m_fields(new CAddressFields(5, this)) {
  setObjectName(QString::fromLatin1(view.objectName));
  PaintWhite();
  LayOutAddressPage(this, m_frame, nullptr, m_dhcp, m_fixed, m_fields, nullptr);
  connect(m_dhcp, &QRadioButton::clicked, this, [this] { m_fields->SetFieldsEnabled(false); });
  connect(m_fixed, &QRadioButton::clicked, this, [this] { m_fields->SetFieldsEnabled(true); });
  connect(m_frame.back, &QPushButton::clicked, this, [this] {
    if (session() != nullptr) PostStep(m_view.backStep);
  });
  connect(m_frame.next, &QPushButton::clicked, this, &CAddressPage::OnNext);
}

void CAddressPage::LoadTexts(const i18n::LanguagePack& pack) {
  const char* section = m_view.section;
  SetTitle(PackText(pack, section, m_view.titleKey));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  SetCaption(m_dhcp, PackText(pack, section, "RadioDHCP"));
  SetCaption(m_fixed, PackText(pack, section, "RadioFixIP"));
  m_fields->SetLabels({PackText(pack, section, "IP"), PackText(pack, section, "Submask"),
                       PackText(pack, section, "Gateway"), PackText(pack, section, "DNS"),
                       PackText(pack, section, "DNS2")});
  if (m_view.answer != nullptr) m_question = PackText(pack, section, "Message1");
}

void CAddressPage::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  switch (AddressModeOf(*s, m_view.set)) {
    case AddressMode::Dhcp:
      m_dhcp->setChecked(true);
      m_fields->SetFieldsEnabled(false);
      break;
    case AddressMode::Fixed:
      m_fixed->setChecked(true);
      if (m_view.fixedEnablesFields) m_fields->SetFieldsEnabled(true);
      m_fields->Load(AddressFieldsOf(*s, m_view.set));
      break;
    case AddressMode::None:  // PPPoE (2) or an unknown type: the page stays as it was
      break;
  }
}

void CAddressPage::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  if (!StoreAddress(*s, m_view.set, CheckedAddressMode(m_dhcp, m_fixed), m_fields->Read())) {
    Message(MessageIcon::None, ProductCaption(), QStringLiteral("Please choose one !"));
    return;
  }
  const nav::Decision decision = m_view.next(*s);
  if (decision.ask && m_view.answer != nullptr) {
    const bool yes = Message(MessageIcon::Question, ProductCaption(), m_question,
                             MessageButtons::YesNo) == MessageAnswer::Yes;
    PostStep(m_view.answer(*s, yes));
  } else if (decision.step != nav::kNoStep) {
    PostStep(decision.step);
  }
}

CSubLANIP::CSubLANIP(QWidget* parent) : CAddressPage(kWiredView, parent) {}

CSubWLANIP::CSubWLANIP(QWidget* parent) : CAddressPage(kWirelessView, parent) {}

}  // namespace orv::gui
