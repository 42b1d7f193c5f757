// A named mutex in the session's namespace. The system closes it when the process ends however it
// ends, so a crashed copy never blocks the next start.
#include <string>

#include "core/platform/single_instance.h"
#include "core/platform/windows/win_common.h"

namespace orv {
namespace {

class MutexInstance final : public SingleInstance {
 public:
  explicit MutexInstance(std::string name) : m_name(std::move(name)) {}
  ~MutexInstance() override {
    if (m_mutex != nullptr) ::CloseHandle(m_mutex);
  }
  MutexInstance(const MutexInstance&) = delete;
  MutexInstance& operator=(const MutexInstance&) = delete;

  InstanceLock Acquire() override {
    if (m_mutex != nullptr) return InstanceLock::Acquired;
    // A backslash would name another namespace.
    if (m_name.empty() || m_name.find_first_of("/\\") != std::string::npos) {
      return InstanceLock::Unavailable;
    }
    const std::wstring name = win::Wide(SingleInstanceLockPath(m_name));
    const HANDLE h = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (h == nullptr) return InstanceLock::Unavailable;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
      ::CloseHandle(h);
      return InstanceLock::AlreadyRunning;
    }
    m_mutex = h;
    return InstanceLock::Acquired;
  }

 private:
  std::string m_name;
  HANDLE m_mutex = nullptr;
};

}  // namespace

std::string SingleInstanceLockPath(std::string_view name) {
  return "Local\\Orvantis." + std::string(name);
}

std::unique_ptr<SingleInstance> MakeSingleInstance(std::string_view name) {
  return std::make_unique<MutexInstance>(std::string(name));
}

}  // namespace orv
