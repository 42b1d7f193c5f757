#include "gui/pages/sub_upnp.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/app/upnp_rules.h"
#include "core/model/session_record.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubUPnP::CSubUPnP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubUPnP"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_upnp = new QCheckBox(QStringLiteral("UPnP"), this);
  m_upnp->setObjectName(QStringLiteral("upnp"));
  SetCaption(m_upnp, m_upnp->text());
  m_httpLabel = new QLabel(QStringLiteral("Http Port"), this);
  m_http = new QLineEdit(this);
  m_http->setObjectName(QStringLiteral("httpPort"));
  m_streamLabel = new QLabel(QStringLiteral("Stream port"), this);
  m_stream = new QLineEdit(this);
  m_stream->setObjectName(QStringLiteral("streamPort"));
  m_rtspLabel = new QLabel(QStringLiteral("RTSP port"), this);
  m_rtsp = new QLineEdit(this);
  m_rtsp->setObjectName(QStringLiteral("rtspPort"));
  SetFieldLabel(m_httpLabel, m_http, m_httpLabel->text());
  SetFieldLabel(m_streamLabel, m_stream, m_streamLabel->text());
  SetFieldLabel(m_rtspLabel, m_rtsp, m_rtspLabel->text());

  auto* form = new QFormLayout;
  form->addRow(m_httpLabel, m_http);
  form->addRow(m_streamLabel, m_stream);
  form->addRow(m_rtspLabel, m_rtsp);
  m_frame.body->addWidget(m_upnp);
  m_frame.body->addLayout(form);
  m_frame.body->addStretch(1);
  setTabOrder(m_upnp, m_http);
  setTabOrder(m_http, m_stream);
  setTabOrder(m_stream, m_rtsp);
  setTabOrder(m_rtsp, m_frame.back);

  connect(m_frame.back, &QPushButton::clicked, this, &CSubUPnP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubUPnP::OnNext);
}

void CSubUPnP::LoadTexts(const i18n::LanguagePack& pack) {
  SetCaption(m_upnp, PackText(pack, "UPnPPage", "UPnPEn"));
  SetFieldLabel(m_httpLabel, m_http, PackText(pack, "UPnPPage", "HttpPort"));
  SetFieldLabel(m_streamLabel, m_stream, PackText(pack, "UPnPPage", "StreamPort"));
  SetFieldLabel(m_rtspLabel, m_rtsp, PackText(pack, "UPnPPage", "RTSP"));
  for (int i = 0; i < 6; ++i)
    m_messages[i] = PackText(pack, "UPnPPage", "Message" + std::to_string(i + 1));
  SetTitle(PackText(pack, "UPnPPage", "TitleUPnP"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubUPnP::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  // Nothing here is connected to the record, so loading the controls writes nothing back.
  m_upnp->setChecked(s->sys.UPnPE != 0);
  m_http->setText(QString::fromStdString(PortFieldText(s->sys.HttpPort)));
  m_stream->setText(QString::fromStdString(PortFieldText(s->sys.secondPort)));
  m_rtsp->setText(QString::fromStdString(PortFieldText(s->sys.RTSPPort)));
}

void CSubUPnP::OnBack() {
  if (session() == nullptr) return;
  const int step = nav::UpnpBack(*session());
  if (step != nav::kNoStep) PostStep(step);
}

void CSubUPnP::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  const std::string http = m_http->text().toStdString();
  const std::string stream = m_stream->text().toStdString();
  const std::string rtsp = m_rtsp->text().toStdString();
  const UpnpProblem problem = UpnpNextChecked(*s, {m_upnp->isChecked(), http, stream, rtsp});
  // Which message, and the caption each one has always had.
  const QString orvantis = ProductCaption();
  switch (problem) {
    case UpnpProblem::None:
      PostStep(nav::kUpnpNext);
      return;
    case UpnpProblem::HttpPort:
      Message(MessageIcon::Stop, QString(), m_messages[0]);
      return;
    case UpnpProblem::StreamPort:
      Message(MessageIcon::Stop, orvantis, m_messages[1]);
      return;
    case UpnpProblem::RtspPort:
      Message(MessageIcon::Stop, orvantis, m_messages[2]);
      return;
    case UpnpProblem::HttpEqualsStream:
      Message(MessageIcon::Stop, QString(), m_messages[3]);
      return;
    case UpnpProblem::HttpEqualsRtsp:
      Message(MessageIcon::Stop, QString(), m_messages[4]);
      return;
    case UpnpProblem::StreamEqualsRtsp:
      Message(MessageIcon::Stop, QString(), m_messages[5]);
      return;
  }
}

}  // namespace orv::gui
