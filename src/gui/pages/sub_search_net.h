#pragma once
// The camera search page: polls the discovery engine once a second for up to three minutes, lists
// every camera found and records the one the user picks.

#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "core/discovery/camera_entry.h"
#include "core/discovery/plipf.h"
#include "gui/app/sub_page.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace orv::gui {

class CSubSearchNet : public CSubPage {
  Q_OBJECT
 public:
  static constexpr int kTickMs = 1000;
  static constexpr int kTickLimit = 180;

  explicit CSubSearchNet(QWidget* parent = nullptr);
  ~CSubSearchNet() override;

  // The engine's outside world; without a call the real network is used from the first search.
  void SetDiscoveryEnvironment(DiscoveryEnvironment env);
  // The poll period (the lab walks shorten it); the tick limit stays.
  void SetTickInterval(int ms) { m_timer.setInterval(ms); }

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  // One timer tick; the timer calls it, and tests call it directly.
  void OnTimer();

  bool searching() const { return m_searching; }
  int tickCount() const { return m_ticks; }
  QTreeWidget* cameraList() const { return m_list; }
  QPushButton* searchButton() const { return m_search; }
  QPushButton* nextButton() const { return m_next; }
  QPushButton* backButton() const { return m_back; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnSearchButton();
  void OnNext();
  void OnBack();
  void OnOpenCamera();
  void StopSearch();
  void Rebuild(const CameraEntry* rows, int count);
  CPLipf& Engine();
  // The picked row's own bytes, or nothing when no row is selected.
  std::optional<CameraEntry> SelectedCamera() const;

  std::unique_ptr<CPLipf> m_engine;
  QTimer m_timer;
  bool m_searching = false;
  int m_ticks = 0;
  bool m_busy = false;
  std::vector<CameraEntry> m_rows;  // what the list shows, in row order

  QString m_startText = QStringLiteral("Start find");
  QString m_findingText = QStringLiteral("Finding...");
  QString m_stopText = QStringLiteral("Stop Finding...");
  QString m_nextText;
  QString m_emptyMessage;
  QString m_noSelectionMessage;
  QString m_badRowMessage;

  QLabel* m_listTitle;
  QTreeWidget* m_list;
  QLabel* m_note;
  QPushButton* m_search;
  QPushButton* m_back;
  QPushButton* m_next;
};

}  // namespace orv::gui
