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

namespace orv::gui::test {

struct RecordedMessage {
  MessageRequest request;
  QWidget* parent = nullptr;
};

// Answers from a queue; when the queue is empty, Ok for an Ok box and defaultYesNo for a question.
class ScriptedPrompter final : public Prompter {
 public:
  MessageAnswer Show(QWidget* parent, const MessageRequest& request) override;
  void SetButtonTexts(const MessageButtonTexts& texts) override { buttonTexts = texts; }

  void Answer(MessageAnswer answer) { answers.push_back(answer); }
  // The last message's text, or empty when none was shown.
  QString LastText() const { return shown.empty() ? QString() : shown.back().request.text; }

  std::vector<RecordedMessage> shown;
  std::deque<MessageAnswer> answers;
  MessageAnswer defaultYesNo = MessageAnswer::No;
  MessageButtonTexts buttonTexts;  // as the window last set them
  // Runs inside Show, while the "box" is open (to close a window meanwhile, and the like).
  std::function<void(const MessageRequest&)> onShow;
};

class ScriptedDialogRunner final : public DialogRunner {
 public:
  RootLogin RunRootLogin(QWidget* parent, const i18n::LanguagePack& pack) override;
  LanguageAnswer RunLanguage(QWidget* parent) override;
  void RunAbout(QWidget* parent, const i18n::LanguagePack& pack) override;
  std::optional<ExportTarget> RunExportSave(QWidget*, const QString&) override {
    ++exportDialogs;
    return exportAnswer;
  }

  // Queued answers; an empty queue answers root with an empty password, and a closed language
  // dialog (nothing).
  std::deque<RootLogin> rootAnswers;
  std::deque<LanguageAnswer> languageAnswers;
  int rootLogins = 0;
  int languageDialogs = 0;
  int aboutDialogs = 0;
  int exportDialogs = 0;
  std::optional<ExportTarget> exportAnswer;  // the export's save dialog: a file, or closed
  std::function<void()> onRootLogin;         // runs inside RunRootLogin (the dialog is "open")
  std::function<void()> onLanguage;          // runs inside RunLanguage
};

class FakeBrowser final : public BrowserOpener {
 public:
  bool Open(const QUrl& url) override {
    opened.push_back(url);
    return result;
  }
  std::vector<QUrl> opened;
  bool result = true;
};

class FixedClock final : public Clock {
 public:
  QDateTime Now() const override { return now; }
  QDateTime now = QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9));
};

// Synchronous: work and continuation run inside Run. Deferred: Run only queues; RunPending()
// runs what is queued (work then continuation), and a continuation whose context has gone is
// dropped, as the real runner does.
class ScriptedCallRunner final : public CallRunner {
 public:
  void Run(QObject* context, Work work) override;

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
    Work work;
    Continuation then;
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

  UiServices services() {
    UiServices s;
    s.prompter = &prompter;
    s.dialogs = &dialogs;
    s.browser = &browser;
    s.clock = &clock;
    s.calls = &calls;
    return s;
  }
};

}  // namespace orv::gui::test
