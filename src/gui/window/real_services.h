#pragma once
// The program's own UI services: real message boxes and dialogs, the desktop's browser, the system
// clock, and blocking calls on threads of their own.

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "core/app/async_call.h"
#include "gui/frame/ui_services.h"

namespace orv::gui {

class QtPrompter final : public Prompter {
 public:
  MessageAnswer Show(QWidget* parent, const MessageRequest& request) override;
  void SetButtonTexts(const MessageButtonTexts& texts) override { m_texts = texts; }

 private:
  MessageButtonTexts m_texts;
};

class QtDialogRunner final : public DialogRunner {
 public:
  explicit QtDialogRunner(Prompter* prompter) : m_prompter(prompter) {}
  RootLogin RunRootLogin(QWidget* parent, const i18n::LanguagePack& pack) override;
  // Runs the language dialog that parent owns (the main window's), else a passing one.
  LanguageAnswer RunLanguage(QWidget* parent) override;
  void RunAbout(QWidget* parent, const i18n::LanguagePack& pack) override;
  std::optional<ExportTarget> RunExportSave(QWidget* parent, const QString& caption) override;

  // Used when the parent owns no language dialog.
  std::string programFolder;
  std::string abbreviation;

 private:
  Prompter* m_prompter;
};

// The desktop's handler first; xdg-open with the address as its one argument when that fails.
class DesktopBrowser final : public BrowserOpener {
 public:
  bool Open(const QUrl& url) override;
};

class SystemClock final : public Clock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

// Each call on a thread of its own (AsyncCall); the end wakes the user-interface thread through a
// queued call, and the continuation runs only while its context object lives. At shut-down the
// owner waits a bounded time for running calls (WaitForRunning); calls still running when the
// runner goes are left to finish on their own.
class AsyncCallRunner final : public QObject, public CallRunner {
  Q_OBJECT
 public:
  AsyncCallRunner();
  ~AsyncCallRunner() override;
  void Run(QObject* context, Work work) override;
  std::size_t pending() const { return m_calls.size(); }
  // Waits until no call's work is running, or limit has passed; true when none runs.
  bool WaitForRunning(std::chrono::milliseconds limit);

 private:
  struct Mailbox {
    std::mutex mutex;
    std::condition_variable ended;
    AsyncCallRunner* owner = nullptr;
    int running = 0;
  };
  struct Entry;
  void Deliver(std::uint64_t id);

  std::shared_ptr<Mailbox> m_mailbox;
  std::map<std::uint64_t, std::unique_ptr<Entry>> m_calls;
  std::uint64_t m_next = 0;
};

}  // namespace orv::gui
