#include "gui/pages/sub_search_net.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/camera_pick.h"
#include "core/app/navigation.h"
#include "core/camera_http/model_catalogue.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "core/util/ipv4.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

const QString kCaption = QStringLiteral("Orvantis");
const QString kTemplateTitle = QStringLiteral("STEP \nFind The Camera");

// The visible columns' headers: pack key and the template's text (the fallback).
struct ColumnText {
  const char* key;
  const char* templateText;
  int width;  // the template's, in pixels: the least a column gets
};
constexpr ColumnText kColumns[] = {{"ListIP", "IP", 120},
                                   {"ListMAC", "MAC", 120},
                                   {"ListPort", "PORT", 60},
                                   {"ListDesc", "DESC / INTERFACE", 150},
                                   {"ListSPort", "SPORT", 60}};

QString Shown(std::string_view local) {
  return QString::fromStdString(LocalToUtf8(local));
}

}  // namespace

CSubSearchNet::CSubSearchNet(QWidget* parent)
    : CSubPage(parent),
      m_listTitle(new QLabel(QStringLiteral("Camera  List"), this)),
      m_list(new QTreeWidget(this)),
      m_note(new QLabel(this)),
      m_search(new CXButtonXP(QStringLiteral("Start  Search"), this)),
      m_back(new CXButtonXP(QStringLiteral("Exit"), this)),
      m_next(new CXButtonXP(QStringLiteral("Next"), this)) {
  PaintWhite();
  SetTitle(kTemplateTitle);

  m_list->setColumnCount(6);
  QStringList headers;
  for (const ColumnText& c : kColumns) headers << QLatin1String(c.templateText);
  headers << QStringLiteral("SERIAL NO.");
  m_list->setHeaderLabels(headers);
  for (int c = 0; c < 5; ++c) m_list->setColumnWidth(c, kColumns[c].width);
  m_list->hideColumn(5);  // carries the serial number Next stores
  m_list->setRootIsDecorated(false);
  m_list->setItemsExpandable(false);
  m_list->setUniformRowHeights(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setAllColumnsShowFocus(true);
  m_list->header()->setStretchLastSection(false);
  m_list->installEventFilter(this);
  m_listTitle->setBuddy(m_list);
  m_list->setAccessibleName(m_listTitle->text());

  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  SetCaption(m_search, m_startText);
  for (QPushButton* b : {m_search, m_back, m_next}) {
    b->setAccessibleName(b->text());
    b->setAutoDefault(false);
  }

  auto* top = new QHBoxLayout;
  top->addWidget(m_listTitle, 1);
  top->addWidget(m_search);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_back);
  buttons->addWidget(m_next);
  auto* page = new QVBoxLayout(this);
  page->addWidget(titleLine());
  page->addLayout(top);
  page->addWidget(m_list, 1);
  page->addWidget(m_note);
  page->addLayout(buttons);

  setTabOrder(m_search, m_list);
  setTabOrder(m_list, m_back);
  setTabOrder(m_back, m_next);

  m_timer.setInterval(kTickMs);
  connect(&m_timer, &QTimer::timeout, this, &CSubSearchNet::OnTimer);
  connect(m_search, &QPushButton::clicked, this, &CSubSearchNet::OnSearchButton);
  connect(m_next, &QPushButton::clicked, this, &CSubSearchNet::OnNext);
  connect(m_back, &QPushButton::clicked, this, &CSubSearchNet::OnBack);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnOpenCamera(); });
}

CSubSearchNet::~CSubSearchNet() {
  m_timer.stop();
}

void CSubSearchNet::SetDiscoveryEnvironment(DiscoveryEnvironment env) {
  m_engine = std::make_unique<CPLipf>(std::move(env));
  m_engine->SetDrain(true);
}

CPLipf& CSubSearchNet::Engine() {
  if (!m_engine) SetDiscoveryEnvironment(DiscoveryEnvironment::System());
  return *m_engine;
}

void CSubSearchNet::LoadTexts(const i18n::LanguagePack& pack) {
  auto text = [&pack](const char* section, const char* key, std::size_t size = i18n::kTextChars) {
    return QString::fromStdString(pack.Utf8(section, key, size));
  };
  SetCaption(m_back, text("Common", "BtnBack"));
  m_nextText = text("Common", "BtnNext");
  SetCaption(m_next, m_nextText);
  m_startText = text("SearchPage", "BtnStrartFind");
  m_findingText = text("SearchPage", "BtnFindingCam");
  m_stopText = text("SearchPage", "BtnStopFind");
  SetCaption(m_search, m_startText);
  m_note->setText(text("SearchPage", "Note", i18n::kNoteChars));
  m_note->setAccessibleName(m_note->text());
  m_listTitle->setText(text("SearchPage", "CamList"));
  m_list->setAccessibleName(m_listTitle->text());
  m_emptyMessage = text("SearchPage", "Message1");
  m_noSelectionMessage = text("SearchPage", "Message2");
  m_badRowMessage = text("SearchPage", "Message3", i18n::kMessageChars);
  SetTitle(PackTextOr(pack, "SearchPage", "TitleSearch", kTemplateTitle));
  // A header wider in this language than the template's column widens its column.
  const QFontMetrics metrics(m_list->header()->font());
  for (int c = 0; c < 5; ++c) {
    const ColumnText& column = kColumns[c];
    const QString header =
        PackTextOr(pack, "SearchPage", column.key, QLatin1String(column.templateText));
    m_list->headerItem()->setText(c, header);
    m_list->setColumnWidth(c, std::max(column.width, metrics.horizontalAdvance(header) + 16));
  }
}

void CSubSearchNet::Prepare() {
  const bool searchPath = session() != nullptr && session()->pathSearch != 0;
  if (!searchPath) SetCaption(m_next, m_nextText);
  m_next->setVisible(!searchPath);
  m_note->setVisible(!searchPath);
}

void CSubSearchNet::StopSearch() {
  m_searching = false;
  m_timer.stop();
  SetCaption(m_search, m_startText);
}

void CSubSearchNet::OnSearchButton() {
  if (m_searching) {
    StopSearch();
    return;
  }
  m_ticks = 0;
  // The camera's factory address: the PC gets an address in its subnet before the first poll.
  if (session() != nullptr) session()->cameraAddr = MakeIpv4(192, 168, 0, 98);
  QPointer<CSubSearchNet> self(this);
  auto start = [self] {
    if (!self) return;
    self->m_searching = true;
    self->m_busy = false;
    self->m_timer.start();
    SetCaption(self->m_search, self->m_findingText);
  };
  if (stepSink() != nullptr)
    stepSink()->SendSubnetStep(start);
  else
    start();
}

void CSubSearchNet::OnTimer() {
  ++m_ticks;
  if (m_ticks >= kTickLimit) {
    StopSearch();
    return;
  }
  SetCaption(m_search, m_search->text() == m_findingText ? m_stopText : m_findingText);
  if (m_busy) return;
  m_busy = true;
  const CameraEntry* rows = nullptr;
  int count = 0;
  int capacity = 0;
  if (Engine().Collect(&rows, &count, &capacity, 0) == 1) Rebuild(rows, count);
  m_busy = false;
}

void CSubSearchNet::Rebuild(const CameraEntry* rows, int count) {
  m_list->setUpdatesEnabled(false);
  m_list->clear();
  m_rows.assign(rows, rows + (count > 0 ? count : 0));
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(m_rows.size()));
  for (const CameraEntry& e : m_rows) {
    // Plain text cells: nothing a camera sends is interpreted.
    items.append(new QTreeWidgetItem(QStringList{Shown(e.ip.view()), Shown(e.mac.view()),
                                                 Shown(e.port.view()), Shown(e.desc.view()),
                                                 Shown(e.sport.view()), Shown(e.cam_id.view())}));
  }
  m_list->addTopLevelItems(items);
  m_list->setCurrentItem(nullptr);
  m_list->clearSelection();
  m_list->setUpdatesEnabled(true);
}

std::optional<CameraEntry> CSubSearchNet::SelectedCamera() const {
  const QList<QTreeWidgetItem*> picked = m_list->selectedItems();
  if (picked.isEmpty()) return std::nullopt;
  const int row = m_list->indexOfTopLevelItem(picked.front());
  if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return std::nullopt;
  return m_rows[static_cast<std::size_t>(row)];
}

void CSubSearchNet::OnNext() {
  StopSearch();
  if (m_list->topLevelItemCount() == 0) {
    Message(MessageIcon::Stop, kCaption, m_emptyMessage);
    return;
  }
  const std::optional<CameraEntry> camera = SelectedCamera();
  if (!camera) {
    Message(MessageIcon::Information, kCaption, m_noSelectionMessage);
    return;
  }
  const std::optional<CameraTarget> target = CheckCameraTarget(*camera);
  if (!target) {
    Message(MessageIcon::Stop, kCaption, m_badRowMessage);
    return;
  }
  SessionRecord* s = session();
  if (s == nullptr) return;
  StoreCameraPick(*s, *camera, *target);
  if (const int step = nav::SearchNext(*s); step != nav::kNoStep) PostStep(step);
}

void CSubSearchNet::OnBack() {
  StopSearch();
  const SessionRecord* s = session();
  if (s == nullptr) return;
  if (const int step = nav::SearchExit(*s); step != nav::kNoStep) PostStep(step);
}

void CSubSearchNet::OnOpenCamera() {
  // Copied now: a tick while the subnet step runs may rebuild the list.
  const std::optional<CameraEntry> camera = SelectedCamera();
  if (!camera) return;
  const std::optional<CameraTarget> target = CheckCameraTarget(*camera);
  if (!target) {
    Message(MessageIcon::Stop, kCaption, m_badRowMessage);
    return;
  }
  if (session() != nullptr) session()->cameraAddr = target->address;
  QUrl url;
  url.setScheme(QStringLiteral("http"));
  url.setHost(QString::fromStdString(FormatIpv4(target->address)));
  url.setPort(target->port);
  QPointer<CSubSearchNet> self(this);
  auto open = [self, url] {
    if (self && self->services().browser != nullptr) self->services().browser->Open(url);
  };
  if (stepSink() != nullptr)
    stepSink()->SendSubnetStep(open);
  else
    open();
}

bool CSubSearchNet::eventFilter(QObject* watched, QEvent* event) {
  // Enter on a row does what a double-click does, so the list works from the keyboard.
  if (watched == m_list && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnOpenCamera();
      return true;
    }
  }
  return CSubPage::eventFilter(watched, event);
}

}  // namespace orv::gui
