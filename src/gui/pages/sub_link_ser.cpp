#include "gui/pages/sub_link_ser.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
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

constexpr int kColumnIp = 0;
constexpr int kColumnPort = 2;

}  // namespace

CSubLinkSer::CSubLinkSer(QWidget* parent)
    : CSubPage(parent),
      m_listTitle(new QLabel(QStringLiteral("Camera List "), this)),
      m_list(new QTreeWidget(this)) {
  setObjectName(QStringLiteral("CSubLinkSer"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  SetTitle(QStringLiteral("The camera on the Server"));
  m_listTitle->setTextFormat(Qt::PlainText);
  m_listTitle->setBuddy(m_list);
  m_list->setObjectName(QStringLiteral("cameraList"));
  m_list->setRootIsDecorated(false);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setAllColumnsShowFocus(true);
  m_list->setColumnCount(5);
  m_list->setHeaderLabels({QStringLiteral("IP"), QStringLiteral("ID"), QStringLiteral("Port"),
                           QStringLiteral("Model"), QStringLiteral("Mac Address")});
  const int widths[] = {120, 120, 80, 120, 120};
  for (int c = 0; c < 5; ++c) {
    // At least the template's width, wider when the header needs it in this font.
    const int header =
        m_list->header()->fontMetrics().horizontalAdvance(m_list->headerItem()->text(c)) + 24;
    m_list->setColumnWidth(c, std::max(widths[c], header));
  }
  MakeKeyboardList(m_list, [this] { OpenSelected(); });
  m_frame.body->addWidget(m_listTitle);
  m_frame.body->addWidget(m_list, 1);
  m_frame.back->SetText(QStringLiteral("Back"));
  m_frame.next->SetText(QStringLiteral("Finish"));
  QWidget::setTabOrder(m_list, m_frame.back);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelected(); });
  connect(m_frame.back, &QPushButton::clicked, this, &CSubLinkSer::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubLinkSer::OnNext);
}

void CSubLinkSer::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "ServerPage", "TitleServer"));
  const QString listTitle = PackText(pack, "ServerPage", "CamList");
  m_listTitle->setText(listTitle);
  m_list->setAccessibleName(listTitle);
  // The list headers were the template's fixed texts; packs without their keys keep those.
  const char* const keys[] = {"ListIP", "ListID", "ListPort", "ListModel", "ListMAC"};
  const char* const templates[] = {"IP", "ID", "Port", "Model", "Mac Address"};
  for (int c = 0; c < 5; ++c)
    m_list->headerItem()->setText(
        c, PackTextOr(pack, "ServerPage", keys[c], QLatin1String(templates[c])));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnFinish"));
}

void CSubLinkSer::Prepare() {
  m_list->clear();
  QList<QTreeWidgetItem*> items;
  for (const LinkServerCameraEntry& e : m_cameras) {
    // Plain item texts: nothing the link server sends is interpreted.
    items.append(new QTreeWidgetItem(QStringList{
        LocalQString(e.IP.view()), LocalQString(e.ID.view()), LocalQString(e.Port.view()),
        LocalQString(e.Modelname.view()), LocalQString(e.Mac_address.view())}));
  }
  m_list->addTopLevelItems(items);
  m_list->setCurrentItem(nullptr);
  m_list->clearSelection();
}

void CSubLinkSer::OpenSelected() {
  const QList<QTreeWidgetItem*> picked = m_list->selectedItems();
  if (picked.isEmpty()) return;
  const QTreeWidgetItem* item = picked.front();
  const std::string address = Utf8ToLocal(item->text(kColumnIp).toStdString());
  const std::string port = Utf8ToLocal(item->text(kColumnPort).toStdString());
  // A cell that is not a dotted quad and a port from 1 to 65535 opens nothing.
  const std::optional<CameraTarget> target = CheckWebTarget(address, port);
  if (!target) return;
  if (SessionRecord* s = session()) s->cameraAddr = target->address;
  const QUrl url = CameraUrl(*target);
  if (services().browser != nullptr) services().browser->Open(url);
}

void CSubLinkSer::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kLinkServerListBack);
}

void CSubLinkSer::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kLinkServerListFinish);
}

}  // namespace orv::gui
