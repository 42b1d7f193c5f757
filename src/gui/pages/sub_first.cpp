#include "gui/pages/sub_first.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/page_frame.h"
#include "gui/widgets/link_art.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

const QString kTemplateLinkGroup = QStringLiteral("The Network Type");

QString Home(const i18n::LanguagePack& pack, const char* key) {
  return QString::fromStdString(pack.Utf8("FirstPage", key, i18n::kHomeTextChars));
}

QPushButton* MakeButton(const QString& text, QWidget* parent) {
  auto* button = new CXButtonXP(text, parent);
  button->setAccessibleName(text);
  button->setMinimumHeight(32);
  return button;
}

}  // namespace

CSubFirst::CSubFirst(QWidget* parent)
    : CSubPage(parent),
      m_linkGroup(new QGroupBox(kTemplateLinkGroup, this)),
      m_picture(new art::CArtView(m_linkGroup)),
      m_linkText(new QLabel(QStringLiteral("NetwokInfo"), m_linkGroup)),
      m_searchCamera(MakeButton(QStringLiteral("Search Camera"), this)),
      m_setupCamera(MakeButton(QStringLiteral("Setup Camera"), this)),
      m_searchIntranet(MakeButton(QStringLiteral("Search Intranet"), this)),
      m_about(MakeButton(QStringLiteral("About Us"), this)),
      m_language(MakeButton(QStringLiteral("Language"), this)),
      m_firmware(MakeButton(QStringLiteral("Firmware Upgrade"), this)) {
  PaintWhite();

  m_picture->SetPicture(art::Picture::HomePppoe);
  m_linkText->setTextFormat(Qt::PlainText);
  m_linkText->setWordWrap(true);
  m_linkText->setObjectName(QStringLiteral("linkText"));
  m_linkGroup->setAccessibleName(m_linkGroup->title());

  auto* groupLayout = new QVBoxLayout(m_linkGroup);
  groupLayout->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
  groupLayout->addWidget(m_linkText);
  groupLayout->addStretch(1);

  m_searchIntranet->hide();
  m_firmware->hide();
  m_firmware->setEnabled(false);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b :
       {m_searchCamera, m_setupCamera, m_searchIntranet, m_language, m_about, m_firmware})
    buttons->addWidget(b);
  buttons->addStretch(1);

  auto* columns = new QHBoxLayout;
  columns->addWidget(m_linkGroup, 3);
  columns->addLayout(buttons, 2);
  titleLine()->hide();  // the home page has no title line, and no Back or Next
  BuildPageFrame(this, titleLine(), false, false).body->addLayout(columns, 1);

  setTabOrder(m_searchCamera, m_setupCamera);
  setTabOrder(m_setupCamera, m_searchIntranet);
  setTabOrder(m_searchIntranet, m_language);
  setTabOrder(m_language, m_about);

  connect(m_searchCamera, &QPushButton::clicked, this,
          [this] { StartPath(nav::HomePath::Search); });
  connect(m_setupCamera, &QPushButton::clicked, this, [this] { StartPath(nav::HomePath::Setup); });
  connect(m_firmware, &QPushButton::clicked, this, [this] { StartPath(nav::HomePath::Firmware); });
  connect(m_about, &QPushButton::clicked, this, [this] { PostStep(nav::kStepAbout); });
  connect(m_searchIntranet, &QPushButton::clicked, this,
          [this] { PostStep(nav::kStepLinkServerLogin); });
  connect(m_language, &QPushButton::clicked, this, [this] { PostStep(nav::kStepLanguage); });
}

void CSubFirst::LoadTexts(const i18n::LanguagePack& pack) {
  SetCaption(m_searchCamera, Home(pack, "Btn_FindCam"));
  SetCaption(m_setupCamera, Home(pack, "Btn_SetupCam"));
  SetCaption(m_searchIntranet, Home(pack, "Btn_FindNet"));
  SetCaption(m_about, Home(pack, "Btn_About"));
  SetCaption(m_language, QString::fromStdString(pack.Utf8("FirstPage", "Btn_Language")));
  m_labels.ethernet = pack.Utf8("FirstPage", "LinkTypeEthernet", i18n::kHomeTextChars);
  m_labels.pppoe = pack.Utf8("FirstPage", "LinkTypePPPOE", i18n::kHomeTextChars);
  m_labels.fixedAddress = pack.Utf8("FirstPage", "LinkFixedIP", i18n::kHomeTextChars);
  m_labels.dynamicAddress = pack.Utf8("FirstPage", "LinkDynamicIP", i18n::kHomeTextChars);
  m_labels.notConnected = pack.Utf8("FirstPage", "LinkNotConnect", i18n::kHomeTextChars);
  m_linkGroup->setTitle(PackTextOr(pack, "FirstPage", "LinkGroup", kTemplateLinkGroup));
  m_linkGroup->setAccessibleName(m_linkGroup->title());
}

void CSubFirst::UpdateLinkInfo() {
  static const SessionRecord kNothingKnown{};
  const LinkInfo info = ClassifyLink(session() ? *session() : kNothingKnown, m_labels);
  switch (info.picture) {
    case LinkPicture::Unchanged:
      break;
    case LinkPicture::Pppoe:
      m_picture->SetPicture(art::Picture::HomePppoe);
      break;
    case LinkPicture::Ethernet:
      m_picture->SetPicture(art::Picture::HomeEthernet);
      break;
    case LinkPicture::NoInternet:
      m_picture->SetPicture(art::Picture::HomeNoInternet);
      break;
  }
  // Holds what the network told us (addresses, the dial-up account's name).
  const QString text = QString::fromStdString(info.text);
  SetPlainText(m_linkText, text);
  m_linkText->setAccessibleName(text);
}

void CSubFirst::SetLinkServerVisible(bool visible) {
  m_searchIntranet->setVisible(visible);
}

QString CSubFirst::linkText() const {
  return m_linkText->text();
}

int CSubFirst::pictureRole() const {
  return static_cast<int>(m_picture->picture());
}

void CSubFirst::StartPath(nav::HomePath path) {
  if (SessionRecord* s = session()) PostStep(nav::HomePathButton(*s, path));
}

}  // namespace orv::gui
