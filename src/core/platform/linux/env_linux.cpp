#include <sys/auxv.h>

#include "core/platform/os_backend.h"

namespace orv::os {

// The kernel's secure-execution flag: set-user-ID, file capabilities and the like.
bool RaisedPrivileges() {
  return ::getauxval(AT_SECURE) != 0;
}

}  // namespace orv::os
