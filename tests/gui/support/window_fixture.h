#pragma once
// A main window on fakes: a program folder of its own with the shipped packs, scripted UI
// services, a scripted single-instance answer and scripted camera calls. Nothing touches the
// network; the worker jobs run the scripted procedures on their real threads.

#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/single_instance.h"
#include "gui/support/fake_ui_services.h"
#include "gui/window/wizard_dlg.h"

namespace orv::test {

class FakeSingleInstance final : public SingleInstance {
 public:
  FakeSingleInstance(InstanceLock answer, std::vector<std::string>* events)
      : m_answer(answer), m_events(events) {}
  InstanceLock Acquire() override {
    if (m_events != nullptr) m_events->push_back("instance");
    return m_answer;
  }

 private:
  InstanceLock m_answer;
  std::vector<std::string>* m_events;
};

struct WindowOnFakes {
  // choice: what defaultlang.ini names ("" writes none at all).
  explicit WindowOnFakes(const std::string& choice = "ENG.ini");

  std::string folder() const;  // with a trailing '/'
  std::string ReadChoiceFile() const;
  bool ChoiceFileExists() const;

  // Makes the window from the fields below (and runs Start when asked).
  gui::CWizardDlg& Make();
  bool Start();
  // Lets queued steps run.
  static void Settle();

  QTemporaryDir dir;
  FakeServices fakes;
  std::vector<std::string> events;
  std::shared_ptr<HostNetwork> net;
  std::shared_ptr<TemporaryAddressOwner> addresses;
  InstanceLock instanceAnswer = InstanceLock::Acquired;
  bool probeAnswer = false;
  int timerScale = 1;
  std::function<std::unique_ptr<CPLipf>()> makeFinder;
  gui::CameraWork work;
  std::unique_ptr<gui::CWizardDlg> window;
};

}  // namespace orv::test
