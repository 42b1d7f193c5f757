#pragma once
// One running copy of the program per user: a named lock held for the life of the process.

#include <memory>
#include <string>
#include <string_view>

namespace orv {

enum class InstanceLock {
  Acquired,        // this is the only running copy
  AlreadyRunning,  // another process holds the lock
  Unavailable,     // the lock could not be set up; the program runs unguarded
};

class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Takes the lock, or learns who holds it. The lock stays held until the object is destroyed.
  virtual InstanceLock Acquire() = 0;
};

// The lock file for a name: $XDG_RUNTIME_DIR/orvantis/<name>.lock when that folder is set, else
// /tmp/orvantis-<uid>/<name>.lock. The name must not contain a path separator.
std::string SingleInstanceLockPath(std::string_view name);

// The system's lock for that name.
std::unique_ptr<SingleInstance> MakeSingleInstance(std::string_view name);

}  // namespace orv
