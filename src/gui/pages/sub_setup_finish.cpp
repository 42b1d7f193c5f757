#include "gui/pages/sub_setup_finish.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/app/finish_info.h"
#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "gui/frame/camera_url.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

QLabel* Caption(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

CSubSetupFinish::CSubSetupFinish(QWidget* parent)
    : CSubPage(parent),
      m_ipLabel(Caption("IP Address :", this)),
      m_macLabel(Caption("MAC Address :", this)),
      m_interfaceLabel(Caption("Interface :", this)),
      m_portLabel(Caption("Port :", this)),
      m_sportLabel(Caption("SPort :", this)),
      m_idLabel(Caption("Camera ID :", this)),
      m_linkStatus(new QLabel(this)),
      m_link(new CXButtonXP(QStringLiteral("Link"), this)) {
  setObjectName(QStringLiteral("CSubSetupFinish"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), false, true);
  titleLine()->hide();
  auto* grid = new QGridLayout();
  m_address = AddRow(grid, 0, m_ipLabel, "addressText");
  m_mac = AddRow(grid, 1, m_macLabel, "macText");
  m_interface = AddRow(grid, 2, m_interfaceLabel, "interfaceText");
  m_port = AddRow(grid, 3, m_portLabel, "portText");
  m_sport = AddRow(grid, 4, m_sportLabel, "secondPortText");
  m_cameraId = AddRow(grid, 5, m_idLabel, "cameraIdText");
  // The camera ID row exists but is never shown.
  m_idLabel->hide();
  m_cameraId->hide();
  grid->setColumnStretch(1, 1);
  m_frame.body->addLayout(grid);
  m_linkStatus->setObjectName(QStringLiteral("linkStatus"));
  m_linkStatus->setTextFormat(Qt::PlainText);
  m_frame.body->addWidget(m_linkStatus);
  auto* linkRow = new QHBoxLayout();
  m_link->setObjectName(QStringLiteral("link"));
  linkRow->addWidget(m_link);
  linkRow->addStretch(1);
  m_frame.body->addLayout(linkRow);
  m_frame.body->addStretch(1);
  m_frame.next->SetText(QStringLiteral("Finish"));
  setTabOrder(m_link, m_frame.next);
  connect(m_link, &QPushButton::clicked, this, &CSubSetupFinish::OnLink);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSetupFinish::OnNext);
}

QLabel* CSubSetupFinish::AddRow(QGridLayout* grid, int row, QLabel* label, const char* name) {
  auto* value = new QLabel(this);
  value->setObjectName(QString::fromLatin1(name));
  value->setTextFormat(Qt::PlainText);
  // The user may copy the address or the MAC from here.
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setBuddy(value);
  grid->addWidget(label, row, 0);
  grid->addWidget(value, row, 1);
  return value;
}

void CSubSetupFinish::LoadTexts(const i18n::LanguagePack& pack) {
  m_frame.next->SetText(PackText(pack, "Common", "BtnFinish"));
  m_link->SetText(PackText(pack, "SetupFinishPage", "BtnLink"));
  const std::pair<QLabel*, const char*> labels[] = {
      {m_ipLabel, "IP"},     {m_idLabel, "CamID"},
      {m_macLabel, "MAC"},   {m_interfaceLabel, "Interface"},
      {m_portLabel, "Port"}, {m_sportLabel, "SPort"}};
  for (const auto& [label, key] : labels) label->setText(PackText(pack, "SetupFinishPage", key));
}

void CSubSetupFinish::Prepare() {
  // Every field is set from this camera and this record alone: nothing of an earlier one survives.
  const CameraEntry& row = m_camera;
  SetPlainText(m_mac, LocalQString(row.mac.view()));
  SetPlainText(m_address, LocalQString(WebLinkText(row.ip.view(), row.port.view())));
  SetPlainText(m_cameraId, LocalQString(row.cam_id.view()));
  SetPlainText(m_port, LocalQString(row.port.view()));
  SetPlainText(m_sport, LocalQString(row.sport.view()));
  SetPlainText(m_interface, QString::fromLatin1(to_string(InterfaceOf(row.desc.view()))));
  static const SessionRecord kNothingRead{};
  const SessionRecord& s = session() != nullptr ? *session() : kNothingRead;
  SetPlainText(m_linkStatus, QString::fromLatin1(NatStatusText(s)));
  // Only a sound address and port can be opened.
  m_link->setEnabled(CheckWebTarget(row.ip.view(), row.port.view()).has_value());
}

void CSubSetupFinish::OnLink() {
  const std::optional<CameraTarget> target =
      CheckWebTarget(m_camera.ip.view(), m_camera.port.view());
  if (!target || services().browser == nullptr) return;
  const QUrl url = CameraUrl(*target);
  services().browser->Open(url);
}

void CSubSetupFinish::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kFinishFinish);
}

QString CSubSetupFinish::addressText() const {
  return m_address->text();
}
QString CSubSetupFinish::macText() const {
  return m_mac->text();
}
QString CSubSetupFinish::interfaceText() const {
  return m_interface->text();
}
QString CSubSetupFinish::portText() const {
  return m_port->text();
}
QString CSubSetupFinish::secondPortText() const {
  return m_sport->text();
}
QString CSubSetupFinish::cameraIdText() const {
  return m_cameraId->text();
}
QString CSubSetupFinish::linkStatusText() const {
  return m_linkStatus->text();
}

}  // namespace orv::gui
