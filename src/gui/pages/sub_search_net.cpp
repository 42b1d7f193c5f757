#include "gui/pages/sub_search_net.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "core/app/camera_export.h"
#include "core/app/camera_pick.h"
#include "core/app/navigation.h"
#include "core/camera_http/model_catalogue.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "core/util/ipv4.h"
#include "gui/frame/camera_url.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
namespace {

const QString kTemplateTitle = QStringLiteral("STEP \nFind The Camera");

// The visible columns' headers: pack key and the template's text (the fallback).
struct ColumnText {
  const char* key;
  const char* templateText;
};
constexpr ColumnText kColumns[] = {{"ListIP", "IP"},
                                   {"ListMAC", "MAC"},
                                   {"ListPort", "PORT"},
                                   {"ListDesc", "DESC / INTERFACE"},
                                   {"ListSPort", "SPORT"},
                                   // Hidden; a screen reader still names it.
                                   {"ListSerial", "SERIAL NO."}};

bool SameShown(const CameraEntry& a, const CameraEntry& b) {
  return a.ip == b.ip && a.mac == b.mac && a.port == b.port && a.desc == b.desc &&
         a.sport == b.sport && a.cam_id == b.cam_id && a.adapter == b.adapter;
}

}  // namespace

CSubSearchNet::CSubSearchNet(QWidget* parent)
    : CSubPage(parent),
      m_listTitle(new QLabel(QStringLiteral("Camera  List"), this)),
      m_list(new QTreeWidget(this)),
      m_note(new QLabel(this)),
      m_search(new CXButtonXP(QStringLiteral("Start  Search"), this)),
      m_export(new CXButtonXP(QStringLiteral("Export..."), this)) {
  PaintWhite();
  SetTitle(kTemplateTitle);
  m_frame =
      BuildPageFrame(this, titleLine(), true, true, QStringLiteral("Exit"), QStringLiteral("Next"));

  m_list->setColumnCount(6);
  QStringList headers;
  for (const ColumnText& c : kColumns) headers << QLatin1String(c.templateText);
  m_list->setHeaderLabels(headers);
  for (int c = 0; c < 5; ++c) m_list->setColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
  m_list->hideColumn(5);  // carries the serial number Next stores
  m_list->setRootIsDecorated(false);
  m_list->setItemsExpandable(false);
  m_list->setUniformRowHeights(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setAllColumnsShowFocus(true);
  m_list->header()->setStretchLastSection(false);
  MakeKeyboardList(m_list, [this] { OnOpenCamera(); });
  m_list->viewport()->installEventFilter(this);
  m_listTitle->setBuddy(m_list);
  m_list->setAccessibleName(m_listTitle->text());

  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  SetCaption(m_search, m_startText);
  for (QPushButton* b :
       std::initializer_list<QPushButton*>{m_search, m_export, m_frame.back, m_frame.next}) {
    b->setAccessibleName(b->text());
    b->setAutoDefault(false);
  }

  auto* top = new QHBoxLayout;
  top->addWidget(m_listTitle, 1);
  top->addWidget(m_search);
  top->addWidget(m_export);
  m_frame.body->addLayout(top);
  m_frame.body->addWidget(m_list, 1);
  m_frame.body->addWidget(m_note);

  setTabOrder(m_search, m_export);
  setTabOrder(m_export, m_list);
  setTabOrder(m_list, m_frame.back);

  m_timer.setInterval(kTickMs);
  connect(&m_timer, &QTimer::timeout, this, &CSubSearchNet::OnTimer);
  m_flush.setSingleShot(true);
  connect(&m_flush, &QTimer::timeout, this, &CSubSearchNet::FlushReplies);
  connect(m_search, &QPushButton::clicked, this, &CSubSearchNet::OnSearchButton);
  connect(m_export, &QPushButton::clicked, this, &CSubSearchNet::OnExport);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSearchNet::OnNext);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubSearchNet::OnBack);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnOpenCamera(); });
}

CSubSearchNet::~CSubSearchNet() {
  m_timer.stop();
  m_flush.stop();
  m_notifiers.clear();
}

void CSubSearchNet::SetDiscoveryEnvironment(DiscoveryEnvironment env, bool realSockets) {
  m_notifiers.clear();
  m_engine = std::make_unique<CPLipf>(std::move(env));
  m_engine->SetDrain(true, kReadsPerUpdate);
  m_realSockets = realSockets;
}

CPLipf& CSubSearchNet::Engine() {
  if (!m_engine) SetDiscoveryEnvironment(DiscoveryEnvironment::System(), true);
  return *m_engine;
}

void CSubSearchNet::WatchSockets(bool on) {
  if (!m_realSockets) return;
  // The engine makes its sockets at its first poll and keeps them for its life.
  if (on && m_notifiers.empty() && m_engine) {
    for (int fd : m_engine->ReceiveSockets()) {
      auto n = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      connect(n.get(), &QSocketNotifier::activated, this, &CSubSearchNet::OnRepliesWaiting);
      m_notifiers.push_back(std::move(n));
    }
  }
  for (auto& n : m_notifiers) n->setEnabled(on);
}

void CSubSearchNet::Leave() {
  StopSearch();
}

void CSubSearchNet::LoadTexts(const i18n::LanguagePack& pack) {
  auto text = [&pack](const char* section, const char* key, std::size_t size = i18n::kTextChars) {
    return QString::fromStdString(pack.Utf8(section, key, size));
  };
  SetCaption(m_frame.back, text("Common", "BtnBack"));
  m_nextText = text("Common", "BtnNext");
  SetCaption(m_frame.next, m_nextText);
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
  m_exportFailedMessage = text("SearchPage", "Message4", i18n::kMessageChars);
  SetCaption(m_export, text("SearchPage", "BtnExport"));
  SetTitle(PackTextOr(pack, "SearchPage", "TitleSearch", kTemplateTitle));
  // A header wider in this language than the template's column widens its column.
  for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
    const ColumnText& column = kColumns[c];
    m_list->headerItem()->setText(
        c, PackTextOr(pack, "SearchPage", column.key, QLatin1String(column.templateText)));
  }
  FitColumns();
}

void CSubSearchNet::Prepare() {
  const bool searchPath = session() != nullptr && session()->pathSearch != 0;
  if (!searchPath) SetCaption(m_frame.next, m_nextText);
  m_frame.next->setVisible(!searchPath);
  m_note->setVisible(!searchPath);
}

void CSubSearchNet::StopSearch() {
  m_searching = false;
  m_timer.stop();
  m_flush.stop();
  WatchSockets(false);
  SetCaption(m_search, m_startText);
}

void CSubSearchNet::OnSearchButton() {
  if (m_searching) {
    StopSearch();
    return;
  }
  m_ticks = 0;
  // The camera's factory address: the PC gets an address in its subnet before the first poll, on
  // the adapter chosen at start-up (no camera answered yet).
  if (session() != nullptr) {
    session()->cameraAddr = MakeIpv4(192, 168, 0, 98);
    session()->cameraIfIndex = 0;
  }
  QPointer<CSubSearchNet> self(this);
  auto start = [self] {
    if (!self) return;
    self->m_searching = true;
    self->m_busy = false;
    self->m_timer.start();
    SetCaption(self->m_search, self->m_findingText);
    // The request goes out now, and replies are listed as they arrive.
    self->PollEngine();
    self->WatchSockets(true);
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
  // The tick still polls: it sends the periodic request and expires silent cameras.
  // While a deferred read is due the sockets stay unwatched; it polls and watches again.
  if (m_flush.isActive()) return;
  PollEngine();
  WatchSockets(true);
}

void CSubSearchNet::OnRepliesWaiting() {
  if (!m_searching || m_flush.isActive()) return;
  const qint64 since = m_lastPollMs < 0 ? kUpdateGapMs : m_nowMs() - m_lastPollMs;
  if (since < kUpdateGapMs) {
    // A flood: stop listening until the gap has passed, then read everything at once.
    WatchSockets(false);
    m_flush.start(static_cast<int>(kUpdateGapMs - since));
    return;
  }
  PollEngine();
}

void CSubSearchNet::FlushReplies() {
  m_flush.stop();
  if (!m_searching) return;
  PollEngine();
  WatchSockets(true);
}

void CSubSearchNet::PollEngine() {
  if (m_busy) return;
  m_busy = true;
  QElapsedTimer took;
  took.start();
  const CameraEntry* rows = nullptr;
  int count = 0;
  int capacity = 0;
  if (Engine().Collect(&rows, &count, &capacity, 0) == 1) Rebuild(rows, count);
  m_longestUpdateMs = std::max(m_longestUpdateMs, took.elapsed());
  // The gap counts from the end of an update, so the window always gets time between two.
  m_lastPollMs = m_nowMs();
  m_busy = false;
}

void CSubSearchNet::FillItem(QTreeWidgetItem* item, const CameraEntry& e) {
  // Plain text cells: nothing a camera sends is interpreted.
  const QString texts[] = {LocalQString(e.ip.view()),    LocalQString(e.mac.view()),
                           LocalQString(e.port.view()),  LocalQString(e.desc.view()),
                           LocalQString(e.sport.view()), LocalQString(e.cam_id.view())};
  const QString adapter = QString::fromStdString(std::string(e.adapter.view()));
  const QFontMetrics metrics(m_list->font());
  for (int c = 0; c < 6; ++c) {
    item->setText(c, texts[c]);
    item->setToolTip(c, adapter);
    if (c < 5) NoteWidth(c, texts[c], metrics);
  }
}

void CSubSearchNet::NoteWidth(int column, const QString& text, const QFontMetrics& metrics) {
  const auto k = static_cast<std::size_t>(column);
  if (m_contentChars[k] == 0) {
    // Address, MAC and ports have a fixed form: their widest texts set the start.
    static const QString kWidest[] = {QStringLiteral("255.255.255.255"),
                                      QStringLiteral("DD:DD:DD:DD:DD:DD"), QStringLiteral("65535"),
                                      QString(), QStringLiteral("65535")};
    m_contentChars[k] = static_cast<int>(kWidest[k].size());
    m_contentWidths[k] = metrics.horizontalAdvance(kWidest[k]);
  }
  // The description is free text: every new one is measured.
  if (column != 3 && text.size() <= m_contentChars[k]) return;
  m_contentChars[k] = std::max(m_contentChars[k], static_cast<int>(text.size()));
  m_contentWidths[k] = std::max(m_contentWidths[k], metrics.horizontalAdvance(text));
}

void CSubSearchNet::Rebuild(const CameraEntry* rows, int count) {
  const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
  // The selection follows its camera (by MAC) as rows move; scrolling stays where the user left it.
  QString selectedMac;
  if (const std::optional<CameraEntry> picked = SelectedCamera())
    selectedMac = LocalQString(picked->mac.view());
  const int scroll = m_list->verticalScrollBar()->value();

  m_list->setUpdatesEnabled(false);
  const QSignalBlocker block(m_list);
  // A full list makes room by dropping its oldest cameras, at the top: drop their items rather
  // than rewrite every row below them.
  if (n > 0 && !m_rows.empty() && !(m_rows.front().mac == rows[0].mac.view())) {
    for (std::size_t d = 1; d < m_rows.size(); ++d) {
      if (!(m_rows[d].mac == rows[0].mac.view())) continue;
      for (std::size_t k = 0; k < d; ++k) delete m_list->takeTopLevelItem(0);
      m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(d));
      break;
    }
  }
  const std::size_t shown = static_cast<std::size_t>(m_list->topLevelItemCount());
  for (std::size_t i = 0; i < std::min(shown, n); ++i) {
    if (i < m_rows.size() && SameShown(m_rows[i], rows[i])) continue;
    FillItem(m_list->topLevelItem(static_cast<int>(i)), rows[i]);
  }
  for (std::size_t i = shown; i > n; --i) delete m_list->takeTopLevelItem(static_cast<int>(i - 1));
  QList<QTreeWidgetItem*> added;
  for (std::size_t i = shown; i < n; ++i) {
    auto* item = new QTreeWidgetItem;
    FillItem(item, rows[i]);
    added.append(item);
  }
  m_list->addTopLevelItems(added);
  m_rows.assign(rows, rows + n);

  QTreeWidgetItem* keep = nullptr;
  if (!selectedMac.isEmpty()) {
    for (std::size_t i = 0; i < n && keep == nullptr; ++i)
      if (m_list->topLevelItem(static_cast<int>(i))->text(1) == selectedMac)
        keep = m_list->topLevelItem(static_cast<int>(i));
  }
  if (keep != nullptr) {
    if (!keep->isSelected()) {
      m_list->clearSelection();
      keep->setSelected(true);
    }
  } else {
    m_list->clearSelection();
  }
  m_list->verticalScrollBar()->setValue(scroll);
  FitColumns();
  m_list->setUpdatesEnabled(true);
}

void CSubSearchNet::FitColumns() {
  const QFontMetrics metrics(m_list->font());
  // Room for the cell's own margins and the focus frame, on every style.
  const int padding = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
  std::array<int, 5> widths{};
  int total = 0;
  for (int c = 0; c < 5; ++c) {
    const auto k = static_cast<std::size_t>(c);
    const int header =
        QFontMetrics(m_list->header()->font()).horizontalAdvance(m_list->headerItem()->text(c)) +
        padding;
    widths[k] = std::max({kColumnWidths[k], header, m_contentWidths[k] + padding});
    total += widths[k];
  }
  const int room = m_list->viewport()->width();
  if (total < room) widths[3] += room - total;
  for (int c = 0; c < 5; ++c) {
    if (m_list->columnWidth(c) != widths[static_cast<std::size_t>(c)])
      m_list->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
  }
}

std::optional<CameraEntry> CSubSearchNet::SelectedCamera() const {
  const QList<QTreeWidgetItem*> picked = m_list->selectedItems();
  if (picked.isEmpty()) return std::nullopt;
  const int row = m_list->indexOfTopLevelItem(picked.front());
  if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return std::nullopt;
  return m_rows[static_cast<std::size_t>(row)];
}

void CSubSearchNet::OnExport() {
  if (m_rows.empty()) {
    Message(MessageIcon::Stop, ProductCaption(), m_emptyMessage);
    return;
  }
  const std::optional<ExportTarget> target =
      services().dialogs->RunExportSave(this, m_export->text());
  if (!target) return;
  const std::string bytes = target->json ? CameraListJson(m_rows) : CameraListCsv(m_rows);
  // Written whole or not at all: a failed write leaves an earlier file as it was.
  QSaveFile file(target->path);
  const bool saved = file.open(QIODevice::WriteOnly) &&
                     file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                         static_cast<qint64>(bytes.size()) &&
                     file.commit();
  if (!saved) Message(MessageIcon::Warning, ProductCaption(), m_exportFailedMessage);
}

void CSubSearchNet::OnNext() {
  StopSearch();
  if (m_list->topLevelItemCount() == 0) {
    Message(MessageIcon::Stop, ProductCaption(), m_emptyMessage);
    return;
  }
  const std::optional<CameraEntry> camera = SelectedCamera();
  if (!camera) {
    Message(MessageIcon::Information, ProductCaption(), m_noSelectionMessage);
    return;
  }
  const std::optional<CameraTarget> target = CheckCameraTarget(*camera);
  if (!target) {
    Message(MessageIcon::Stop, ProductCaption(), m_badRowMessage);
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
    Message(MessageIcon::Stop, ProductCaption(), m_badRowMessage);
    return;
  }
  if (session() != nullptr) {
    session()->cameraAddr = target->address;
    session()->cameraIfIndex = camera->ifIndex;
  }
  const QUrl url = CameraUrl(*target);
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
  if (watched == m_list->viewport() && event->type() == QEvent::Resize) FitColumns();
  return CSubPage::eventFilter(watched, event);
}

}  // namespace orv::gui
