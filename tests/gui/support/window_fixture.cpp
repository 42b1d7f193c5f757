#include "gui/support/window_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <fstream>
#include <sstream>

namespace orv::test {

WindowOnFakes::WindowOnFakes(const std::string& choice) {
  QDir(dir.path()).mkpath(QStringLiteral("Language"));
  for (const char* pack : {"ENG.ini", "CHT.ini"}) {
    QFile::copy(QStringLiteral(ORVANTIS_SOURCE_DIR "/Language/") + QLatin1String(pack),
                dir.path() + QStringLiteral("/Language/") + QLatin1String(pack));
  }
  if (!choice.empty()) {
    std::ofstream out(folder() + "defaultlang.ini", std::ios::binary);
    out << "[DefaultLang]\r\nLangFile=" << choice << "\r\n";
  }
  work.systemRead = [](SessionRecord&) { return 0; };
  work.loginRead = [](SessionRecord&) { return 0; };
  work.readJob = [](WorkerJob& job) {
    job.ok = 1;
    job.done = 1;
  };
  work.saveJob = [](WorkerJob& job) {
    job.ok = 1;
    job.done = 1;
  };
}

std::string WindowOnFakes::folder() const {
  return dir.path().toStdString() + "/";
}

std::string WindowOnFakes::ReadChoiceFile() const {
  std::ifstream in(folder() + "defaultlang.ini", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WindowOnFakes::ChoiceFileExists() const {
  return QFile::exists(dir.path() + "/defaultlang.ini");
}

gui::CWizardDlg& WindowOnFakes::Make() {
  gui::WizardEnvironment env;
  env.services = fakes.services();
  env.net = net;
  env.addresses = addresses;
  env.instance = std::make_unique<FakeSingleInstance>(instanceAnswer, &events);
  env.phoneBook = [this]() -> std::optional<PppoeEntry> {
    events.push_back("phone book");
    return std::nullopt;
  };
  env.probe = [this](const ConnectFlag&) {
    events.push_back("probe");
    return probeAnswer;
  };
  env.programFolder = folder();
  env.languageAbbreviation = "ENU";
  env.timerScale = timerScale;
  env.makeFinder = makeFinder;
  env.work = work;
  window = std::make_unique<gui::CWizardDlg>(std::move(env));
  return *window;
}

bool WindowOnFakes::Start() {
  if (!window) Make();
  return window->Start();
}

void WindowOnFakes::Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace orv::test
