#pragma once
// Scripted stand-ins for the window's seams: message boxes, the modal dialogs, the browser, the
// clock and the off-thread calls. Each records what it was asked and answers what the test set.

#include <QDateTime>
#include <QPointer>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "gui/frame/ui_services.h"

namespace orv::test {

struct RecordedMessage {
  gui::MessageRequest request;
  QWidget* parent = nullptr;
};

// Answers from a queue; when the queue is empty, Ok for an Ok box and defaultYesNo for a question.
class ScriptedPrompter final : public gui::Prompter {
 public:
  gui::MessageAnswer Show(QWidget* parent, const gui::MessageRequest& request) override;
  void SetButtonTexts(const gui::MessageButtonTexts& texts) override { buttonTexts = texts; }

  void Answer(gui::MessageAnswer answer) { answers.push_back(answer); }
  // The last message's text, or empty when none was shown.
  QString LastText() const { return shown.empty() ? QString() : shown.back().request.text; }

  std::vector<RecordedMessage> shown;
  std::deque<gui::MessageAnswer> answers;
  gui::MessageAnswer defaultYesNo = gui::MessageAnswer::No;
  gui::MessageButtonTexts buttonTexts;  // as the window last set them
  // Runs inside Show, while the "box" is open (to close a window meanwhile, and the like).
  std::function<void(const gui::MessageRequest&)> onShow;
};

class ScriptedDialogRunner final : public gui::DialogRunner {
 public:
  gui::RootLogin RunRootLogin(QWidget* parent, const i18n::LanguagePack& pack) override;
  gui::LanguageAnswer RunLanguage(QWidget* parent) override;
  void RunAbout(QWidget* parent, const i18n::LanguagePack& pack) override;
  std::optional<gui::ExportTarget> RunExportSave(QWidget*, const QString&) override {
    ++exportDialogs;
    return exportAnswer;
  }

  // Queued answers; an empty queue answers root with an empty password, and a closed language
  // dialog (nothing).
  std::deque<gui::RootLogin> rootAnswers;
  std::deque<gui::LanguageAnswer> languageAnswers;
  int rootLogins = 0;
  int languageDialogs = 0;
  int aboutDialogs = 0;
  int exportDialogs = 0;
  std::optional<gui::ExportTarget> exportAnswer;  // the export's save dialog: a file, or closed
  std::function<void()> onRootLogin;              // runs inside RunRootLogin (the dialog is "open")
  std::function<void()> onLanguage;               // runs inside RunLanguage
};

class FakeBrowser final : public gui::BrowserOpener {
 public:
  bool Open(const QUrl& url) override {
    opened.push_back(url);
    return result;
  }
  std::vector<QUrl> opened;
  bool result = true;
};

class FixedClock final : public gui::Clock {
 public:
  QDateTime Now() const override { return now; }
  QDateTime now = QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9));
};

// Synchronous: work and continuation run inside Run. Deferred: Run only queues; RunPending()
// runs what is queued (work then continuation), and a continuation whose context has gone is
// dropped, as the real runner does.
class ScriptedCallRunner final : public gui::CallRunner {
 public:
  void Run(QObject* context, gui::CallRunner::Work work) override;

  // Runs the queued calls in order; calls queued meanwhile run too. Returns how many ran.
  int RunPending();
  // Runs only the work of the oldest queued call; its continuation waits for FinishPending().
  bool StartOldest();
  int FinishPending();

  bool deferred = false;
  int calls = 0;

 private:
  struct Pending {
    QPointer<QObject> context;
    gui::CallRunner::Work work;
    gui::CallRunner::Continuation then;
    bool started = false;
  };
  std::deque<Pending> m_pending;
};

// The whole set, owned together.
struct FakeServices {
  ScriptedPrompter prompter;
  ScriptedDialogRunner dialogs;
  FakeBrowser browser;
  FixedClock clock;
  ScriptedCallRunner calls;

  gui::UiServices services() {
    gui::UiServices s;
    s.prompter = &prompter;
    s.dialogs = &dialogs;
    s.browser = &browser;
    s.clock = &clock;
    s.calls = &calls;
    return s;
  }
};

}  // namespace orv::test
