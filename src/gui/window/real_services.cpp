#include "gui/window/real_services.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>

#include "core/i18n/language_pack.h"
#include "gui/dialogs/about_dlg.h"
#include "gui/dialogs/dlg_language.h"
#include "gui/dialogs/dlg_login_root.h"

namespace orv::gui {

namespace {

void Caption(QMessageBox& box, QMessageBox::StandardButton which, const QString& text) {
  if (QAbstractButton* button = box.button(which); button != nullptr && !text.isEmpty()) {
    button->setText(text);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
  }
}

}  // namespace

MessageAnswer QtPrompter::Show(QWidget* parent, const MessageRequest& request) {
  QMessageBox box(parent);
  box.setWindowTitle(request.caption);
  box.setText(request.text);
  box.setTextFormat(Qt::PlainText);
  switch (request.icon) {
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (request.buttons) {
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  Caption(box, QMessageBox::Ok, m_texts.ok);
  Caption(box, QMessageBox::Cancel, m_texts.cancel);
  Caption(box, QMessageBox::Yes, m_texts.yes);
  Caption(box, QMessageBox::No, m_texts.no);
  const int answer = box.exec();
  switch (request.buttons) {
    case MessageButtons::YesNo:
      return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::OkCancel:
      return answer == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return MessageAnswer::Ok;
}

RootLogin QtDialogRunner::RunRootLogin(QWidget* parent, const i18n::LanguagePack& pack) {
  CDlgLoginRoot dialog(pack, m_prompter, parent);
  dialog.exec();
  return dialog.result();
}

LanguageAnswer QtDialogRunner::RunLanguage(QWidget* parent) {
  CDlgLanguage* owned = parent != nullptr ? parent->findChild<CDlgLanguage*>() : nullptr;
  std::unique_ptr<CDlgLanguage> passing;
  if (owned == nullptr) {
    passing = std::make_unique<CDlgLanguage>(programFolder, abbreviation, parent);
    owned = passing.get();
  }
  if (owned->exec() != QDialog::Accepted) return std::nullopt;
  return owned->result();
}

void QtDialogRunner::RunAbout(QWidget* parent, const i18n::LanguagePack& pack) {
  CAboutDlg dialog(pack, parent);
  dialog.exec();
}

std::optional<ExportTarget> QtDialogRunner::RunExportSave(QWidget* parent, const QString& caption) {
  const QString csv = QStringLiteral("CSV (*.csv)");
  const QString json = QStringLiteral("JSON (*.json)");
  QString chosen = csv;
  QString path = QFileDialog::getSaveFileName(parent, caption, QStringLiteral("cameras.csv"),
                                              csv + QStringLiteral(";;") + json, &chosen);
  if (path.isEmpty()) return std::nullopt;
  const bool asJson = chosen == json;
  const QString ending = asJson ? QStringLiteral(".json") : QStringLiteral(".csv");
  if (!path.endsWith(ending, Qt::CaseInsensitive) && QFileInfo(path).suffix().isEmpty())
    path += ending;
  return ExportTarget{path, asJson};
}

bool DesktopBrowser::Open(const QUrl& url) {
  if (!url.isValid()) return false;
  if (QDesktopServices::openUrl(url)) return true;
  return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}

struct AsyncCallRunner::Entry {
  QPointer<QObject> context;
  std::unique_ptr<AsyncCall<Continuation>> call;
};

AsyncCallRunner::AsyncCallRunner() : m_mailbox(std::make_shared<Mailbox>()) {
  m_mailbox->owner = this;
}

AsyncCallRunner::~AsyncCallRunner() {
  std::lock_guard lock(m_mailbox->mutex);
  m_mailbox->owner = nullptr;
}

void AsyncCallRunner::Run(QObject* context, Work work) {
  const std::uint64_t id = ++m_next;
  auto entry = std::make_unique<Entry>();
  entry->context = context;
  std::shared_ptr<Mailbox> mailbox = m_mailbox;
  {
    std::lock_guard lock(mailbox->mutex);
    ++mailbox->running;
  }
  entry->call = std::make_unique<AsyncCall<Continuation>>(
      [work = std::move(work)]() -> Continuation { return work ? work() : Continuation{}; },
      [mailbox, id] {
        std::lock_guard lock(mailbox->mutex);
        --mailbox->running;
        mailbox->ended.notify_all();
        if (mailbox->owner == nullptr) return;
        AsyncCallRunner* owner = mailbox->owner;
        QMetaObject::invokeMethod(
            owner, [owner, id] { owner->Deliver(id); }, Qt::QueuedConnection);
      });
  m_calls.emplace(id, std::move(entry));
}

bool AsyncCallRunner::WaitForRunning(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mailbox->mutex);
  return m_mailbox->ended.wait_for(lock, limit, [this] { return m_mailbox->running == 0; });
}

void AsyncCallRunner::Deliver(std::uint64_t id) {
  auto it = m_calls.find(id);
  if (it == m_calls.end()) return;
  std::unique_ptr<Entry> entry = std::move(it->second);
  m_calls.erase(it);
  std::optional<Continuation> then = entry->call->Take();
  if (then && *then && entry->context) (*then)();
}

}  // namespace orv::gui
