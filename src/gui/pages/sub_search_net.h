#pragma once
// The camera search page: polls the discovery engine once a second for up to three minutes, lists
// every camera found and records the one the user picks.

#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/discovery/camera_entry.h"
#include "core/discovery/plipf.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

class QLabel;
class QPushButton;
class QSocketNotifier;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv::gui {

class CSubSearchNet : public CSubPage {
  Q_OBJECT
 public:
  static constexpr int kTickMs = 1000;
  static constexpr int kTickLimit = 180;
  // The list changes at most this often while replies pour in.
  static constexpr int kUpdateGapMs = 100;
  // Datagrams read per socket in one go: bounds the work of one update under a flood.
  static constexpr int kReadsPerUpdate = 256;
  // Least column widths (the serial column is hidden).
  static constexpr std::array<int, 5> kColumnWidths = {120, 120, 60, 150, 60};

  explicit CSubSearchNet(QWidget* parent = nullptr);
  ~CSubSearchNet() override;

  // The engine's outside world; without a call the real network is used from the first search.
  // With realSockets the page watches the engine's sockets and lists replies as they arrive; the
  // stand-ins of tests have no descriptors to watch, so tests call OnRepliesWaiting themselves.
  void SetDiscoveryEnvironment(DiscoveryEnvironment env, bool realSockets = false);
  // The monotonic milliseconds the update gap is measured on; tests set their own.
  void SetMonotonicClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }
  // The poll period (the lab walks shorten it); the tick limit stays.
  void SetTickInterval(int ms) { m_timer.setInterval(ms); }

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  // One timer tick; the timer calls it, and tests call it directly.
  void OnTimer();
  // Replies are waiting: read them now, or once the update gap has passed.
  void OnRepliesWaiting();
  bool updatePending() const { return m_flush.isActive(); }
  // The longest a read and list update held the window, for the benchmark.
  qint64 longestUpdateMs() const { return m_longestUpdateMs; }
  // The deferred read of OnRepliesWaiting (its timer calls it; tests call it directly).
  void FlushReplies();
  void Leave() override;

  bool searching() const { return m_searching; }
  int tickCount() const { return m_ticks; }
  QTreeWidget* cameraList() const { return m_list; }
  QPushButton* searchButton() const { return m_search; }
  QPushButton* exportButton() const { return m_export; }
  QPushButton* nextButton() const { return m_frame.next; }
  QPushButton* backButton() const { return m_frame.back; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnSearchButton();
  // Saves the listed cameras as CSV or JSON where the user chooses.
  void OnExport();
  void OnNext();
  void OnBack();
  void OnOpenCamera();
  void StopSearch();
  // Brings the list up to the engine's rows in place, keeping selection and scroll position.
  void Rebuild(const CameraEntry* rows, int count);
  // Polls the engine once and shows what changed.
  void PollEngine();
  void WatchSockets(bool on);
  void FillItem(QTreeWidgetItem* item, const CameraEntry& e);
  // Widens a column's need for a text; measuring is skipped for texts no longer than the longest
  // seen (the fixed-form columns start from their widest possible texts).
  void NoteWidth(int column, const QString& text, const QFontMetrics& metrics);
  // Each column as wide as its least width, its header and its texts; the rest of the
  // list's width goes to the description column, so no blank strip is left on the right.
  void FitColumns();
  CPLipf& Engine();
  // The picked row's own bytes, or nothing when no row is selected.
  std::optional<CameraEntry> SelectedCamera() const;

  std::unique_ptr<CPLipf> m_engine;
  QTimer m_timer;
  bool m_searching = false;
  int m_ticks = 0;
  bool m_busy = false;
  std::vector<CameraEntry> m_rows;  // what the list shows, in row order
  bool m_realSockets = false;
  std::vector<std::unique_ptr<QSocketNotifier>> m_notifiers;
  QTimer m_flush;  // the deferred read under a flood
  std::function<qint64()> m_nowMs = [] {
    return static_cast<qint64>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
  };
  qint64 m_lastPollMs = -1;  // when the engine was last read, on m_nowMs
  qint64 m_longestUpdateMs = 0;
  std::array<int, 5> m_contentWidths{};  // widest text seen per column
  std::array<int, 5> m_contentChars{};   // longest text measured per column

  QString m_startText = QStringLiteral("Start find");
  QString m_findingText = QStringLiteral("Finding...");
  QString m_stopText = QStringLiteral("Stop Finding...");
  QString m_nextText;
  QString m_emptyMessage;
  QString m_noSelectionMessage;
  QString m_badRowMessage;
  QString m_exportFailedMessage;

  QLabel* m_listTitle;
  QTreeWidget* m_list;
  QLabel* m_note;
  QPushButton* m_search;
  QPushButton* m_export;
  PageFrame m_frame;
};

}  // namespace orv::gui
