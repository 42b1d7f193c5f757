#include "gui/pages/sub_show_pic.h"

#include <QFrame>
#include <QHBoxLayout>
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
    : CSubPage(parent),
      m_picture(new art::CArtView(this)),
      m_note(new QLabel(this)),
      m_back(new CXButtonXP(QStringLiteral("Back"), this)),
      m_next(new CXButtonXP(QStringLiteral("Next"), this)) {
  PaintWhite();
  titleLine()->hide();

  m_picture->SetPicture(art::Picture::DiagramStart);
  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  for (QPushButton* b : {m_back, m_next}) {
    b->setAccessibleName(b->text());
    b->setAutoDefault(false);
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_back);
  buttons->addWidget(m_next);
  auto* page = new QVBoxLayout(this);
  page->addWidget(titleLine());
  page->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
  page->addWidget(m_note);
  page->addStretch(1);
  page->addLayout(buttons);
  setTabOrder(m_back, m_next);

  connect(m_next, &QPushButton::clicked, this, [this] { PostStep(nav::kDiagramNext); });
  connect(m_back, &QPushButton::clicked, this, [this] { PostStep(nav::kDiagramBack); });
}

void CSubShowPic::LoadTexts(const i18n::LanguagePack& pack) {
  SetCaption(m_back, QString::fromStdString(pack.Utf8("Common", "BtnBack")));
  SetCaption(m_next, QString::fromStdString(pack.Utf8("Common", "BtnNext")));
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
