#pragma once
// The camera calls the main window makes, as replaceable functions: the program uses the core's
// real requests, tests put scripted ones in. Every function may run on a worker thread, so each
// owns what it uses (shared_ptr captures) and touches nothing but the record it is given.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/app/worker_job.h"
#include "core/app/worker_run.h"
#include "core/camera_http/requests.h"
#include "core/hostnet/temporary_address.h"

namespace orv {
class HostNetwork;
class TemporaryAddressOwner;
}  // namespace orv

namespace orv::gui {

struct CameraWork {
  // The system read sent three times in a row; the third result counts.
  std::function<int(SessionRecord&)> systemRead;
  // The system read with the credentials from the root login dialog.
  std::function<int(SessionRecord&)> loginRead;
  // The worker jobs: the read-all after login, and the save (mode 3 or 6 in job.mode).
  JobProcedure readJob;
  JobProcedure saveJob;
  // An address in the camera's subnet (step 17).
  std::function<EnsureResult(const SessionRecord&)> ensureSubnet;
  // The access-point rescan (step 22).
  std::function<std::optional<std::vector<AccessPointEntry>>(SessionRecord&)> scan;
  // The NAT status read after the re-find; its result is not looked at.
  std::function<int(SessionRecord&)> readNat;

  // The core's requests; the free-address search and the subnet step use net and owner when given.
  static CameraWork Real(std::shared_ptr<HostNetwork> net,
                         std::shared_ptr<TemporaryAddressOwner> owner);
};

}  // namespace orv::gui
