#include "gui/pages/sub_lan_isp.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubLANISP::CSubLANISP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubLANISP"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_lan = new QRadioButton(this);
  m_lan->setObjectName(QStringLiteral("lan"));
  m_frame.body->addWidget(m_lan);
  m_pppoe = new QRadioButton(this);
  m_pppoe->setObjectName(QStringLiteral("pppoe"));
  m_frame.body->addWidget(m_pppoe);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubLANISP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubLANISP::OnNext);
}

void CSubLANISP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "LANISPPage", "TitleISP"));
  m_lan->setText(PackText(pack, "LANISPPage", "RadioLAN"));
  m_lan->setAccessibleName(m_lan->text());
  m_pppoe->setText(PackText(pack, "LANISPPage", "RadioPPPoE"));
  m_pppoe->setAccessibleName(m_pppoe->text());
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubLANISP::Prepare() {
  if (session() == nullptr) return;
  // Signals are not connected to the record, so setting the radios writes nothing back.
  const bool pppoe = session()->net.IPType == 2;
  m_pppoe->setChecked(pppoe);
  m_lan->setChecked(!pppoe);
}

void CSubLANISP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kIspLinkBack);
}

void CSubLANISP::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::IspLinkNext(m_pppoe->isChecked() ? nav::IspLink::Pppoe : nav::IspLink::Lan));
}

}  // namespace orv::gui
