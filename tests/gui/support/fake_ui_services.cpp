#include "gui/support/fake_ui_services.h"

namespace orv::test {

gui::MessageAnswer ScriptedPrompter::Show(QWidget* parent, const gui::MessageRequest& request) {
  shown.push_back({request, parent});
  if (onShow) onShow(request);
  if (!answers.empty()) {
    gui::MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return request.buttons == gui::MessageButtons::YesNo ? defaultYesNo : gui::MessageAnswer::Ok;
}

gui::RootLogin ScriptedDialogRunner::RunRootLogin(QWidget*, const i18n::LanguagePack&) {
  ++rootLogins;
  if (onRootLogin) onRootLogin();
  if (rootAnswers.empty()) return gui::RootLogin{};
  gui::RootLogin answer = rootAnswers.front();
  rootAnswers.pop_front();
  return answer;
}

gui::LanguageAnswer ScriptedDialogRunner::RunLanguage(QWidget*) {
  ++languageDialogs;
  if (onLanguage) onLanguage();
  if (languageAnswers.empty()) return std::nullopt;
  const bool closedWithOk = languageAnswers.front().has_value();
  const QString text = closedWithOk ? *languageAnswers.front() : QString();
  languageAnswers.pop_front();
  if (!closedWithOk) return std::nullopt;
  return text;
}

void ScriptedDialogRunner::RunAbout(QWidget*, const i18n::LanguagePack&) {
  ++aboutDialogs;
}

void ScriptedCallRunner::Run(QObject* context, gui::CallRunner::Work work) {
  ++calls;
  if (!deferred) {
    QPointer<QObject> guard(context);
    gui::CallRunner::Continuation then = work ? work() : gui::CallRunner::Continuation{};
    if (then && guard) then();
    return;
  }
  m_pending.push_back({QPointer<QObject>(context), std::move(work), {}, false});
}

int ScriptedCallRunner::RunPending() {
  int ran = 0;
  while (!m_pending.empty()) {
    Pending call = std::move(m_pending.front());
    m_pending.pop_front();
    if (!call.started && call.work) call.then = call.work();
    if (call.then && call.context) call.then();
    ++ran;
  }
  return ran;
}

bool ScriptedCallRunner::StartOldest() {
  for (Pending& call : m_pending) {
    if (call.started) continue;
    if (call.work) call.then = call.work();
    call.started = true;
    return true;
  }
  return false;
}

int ScriptedCallRunner::FinishPending() {
  return RunPending();
}

}  // namespace orv::test
