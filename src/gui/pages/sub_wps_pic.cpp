#include "gui/pages/sub_wps_pic.h"

#include <QLabel>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "gui/frame/pack_text.h"
#include "gui/widgets/link_art.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWPSPic::CSubWPSPic(QWidget* parent)
    : CSubPage(parent),
      m_picture(new art::CArtView(this)),
      m_note1(new QLabel(this)),
      m_note2(new QLabel(this)) {
  setObjectName(QStringLiteral("CSubWPSPic"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_picture->SetPicture(art::Picture::DiagramWireless);
  for (QLabel* l : {m_note1, m_note2}) {
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
  }
  m_frame.body->addWidget(m_note1);
  m_frame.body->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
  m_frame.body->addWidget(m_note2);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kWpsDiagramBack); });
  connect(m_frame.next, &QPushButton::clicked, this, [this] { PostStep(nav::kWpsDiagramNext); });
}

void CSubWPSPic::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WPSPicPage", "TitleWPS"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  m_note1->setText(PackText(pack, "WPSPicPage", "Note1"));
  m_note1->setAccessibleName(m_note1->text());
  m_note2->setText(PackText(pack, "WPSPicPage", "Note2"));
  m_note2->setAccessibleName(m_note2->text());
}

}  // namespace orv::gui
