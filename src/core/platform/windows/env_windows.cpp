#include "core/platform/os_backend.h"

namespace orv::os {

// Windows has no set-user-ID: an elevated program was started so by its own user, whose
// environment it may follow.
bool RaisedPrivileges() {
  return false;
}

}  // namespace orv::os
