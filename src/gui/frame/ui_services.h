#pragma once
// The seams between the window and the outside world: message boxes, the two modal dialogs, the
// browser, the clock and blocking calls. The program uses the real ones; tests script them.

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

// The program's name as the caption of its windows and of the message boxes that carry one.
inline QString ProductCaption() {
  return QStringLiteral("Orvantis");
}

// Every message box goes through here.
enum class MessageIcon { None, Information, Warning, Stop, Question };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
  MessageIcon icon = MessageIcon::None;
  QString caption;  // "Orvantis" or empty, as each message says
  QString text;
  MessageButtons buttons = MessageButtons::Ok;
};

// The captions of the message boxes' buttons in the active language; an empty one keeps the
// toolkit's own caption.
struct MessageButtonTexts {
  QString ok;
  QString cancel;
  QString yes;
  QString no;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual MessageAnswer Show(QWidget* parent, const MessageRequest& request) = 0;
  // Called whenever the language changes; a prompter that shows no buttons of its own ignores it.
  virtual void SetButtonTexts(const MessageButtonTexts& texts) { (void)texts; }
};

// What the root login dialog hands back: the user name ("root") and the typed password, as the
// user typed them (the caller converts them to the system code page and refuses what does not fit).
struct RootLogin {
  QString userName = QStringLiteral("root");
  QString password;
};

// The language dialog's answer: the text of its combo box when closed with OK; nothing when it
// was closed any other way.
using LanguageAnswer = std::optional<QString>;

// Where the user saves the camera list, and in which form (the save dialog's file type).
struct ExportTarget {
  QString path;
  bool json = false;  // else CSV
};

class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual RootLogin RunRootLogin(QWidget* parent, const i18n::LanguagePack& pack) = 0;
  virtual LanguageAnswer RunLanguage(QWidget* parent) = 0;
  virtual void RunAbout(QWidget* parent, const i18n::LanguagePack& pack) = 0;
  // The save dialog of the camera list's export; nothing when it was closed without a name.
  virtual std::optional<ExportTarget> RunExportSave(QWidget* parent, const QString& caption) {
    (void)parent;
    (void)caption;
    return std::nullopt;
  }
};

class BrowserOpener {
 public:
  virtual ~BrowserOpener() = default;
  virtual bool Open(const QUrl& url) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;  // local time
};

// Runs one blocking call off the user-interface thread. work runs on another thread and must own
// everything it touches (copies, shared_ptr): never a widget, a page or the window's record. The
// continuation it returns runs later on the user-interface thread, and only while context lives.
class CallRunner {
 public:
  using Continuation = std::function<void()>;
  using Work = std::function<Continuation()>;
  virtual ~CallRunner() = default;
  virtual void Run(QObject* context, Work work) = 0;
};

// The set a window and its pages use; the owner keeps them alive.
struct UiServices {
  Prompter* prompter = nullptr;
  DialogRunner* dialogs = nullptr;
  BrowserOpener* browser = nullptr;
  Clock* clock = nullptr;
  CallRunner* calls = nullptr;
};

}  // namespace orv::gui
