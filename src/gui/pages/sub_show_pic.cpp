#include "gui/pages/sub_show_pic.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/widgets/link_art.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
CSubShowPic::CSubShowPic(QWidget* parent)
    : CSubPage(parent), m_picture(new art::CArtView(this)), m_note(new QLabel(this)) {
  PaintWhite();
  titleLine()->hide();
  m_frame =
      BuildPageFrame(this, titleLine(), true, true, QStringLiteral("Back"), QStringLiteral("Next"));

  m_picture->SetPicture(art::Picture::DiagramStart);
  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  m_frame.back->setAutoDefault(false);
  m_frame.next->setAutoDefault(false);

  m_frame.body->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
  m_frame.body->addWidget(m_note);
  m_frame.body->addStretch(1);

  connect(m_frame.next, &QPushButton::clicked, this, [this] { PostStep(nav::kDiagramNext); });
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kDiagramBack); });
}

void CSubShowPic::LoadTexts(const i18n::LanguagePack& pack) {
  SetCaption(m_frame.back, QString::fromStdString(pack.Utf8("Common", "BtnBack")));
  SetCaption(m_frame.next, QString::fromStdString(pack.Utf8("Common", "BtnNext")));
  m_note->setText(QString::fromStdString(pack.Utf8("ShowPicPage", "note", i18n::kMessageChars)));
  m_note->setAccessibleName(m_note->text());
}

void CSubShowPic::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr || s->linkPppoe == 1) return;  // PPPoE keeps the last picture
  m_picture->SetPicture(s->linkWireless == 1 ? art::Picture::DiagramWireless
                                             : art::Picture::DiagramLan);
}

int CSubShowPic::pictureRole() const {
  return static_cast<int>(m_picture->picture());
}

}  // namespace orv::gui
