#include "gui/window/camera_work.h"

#include "core/hostnet/temporary_address_owner.h"
#include "core/platform/host_network.h"

namespace orv::gui {

CameraWork CameraWork::Real(std::shared_ptr<HostNetwork> net,
                            std::shared_ptr<TemporaryAddressOwner> owner) {
  CameraWork work;
  work.systemRead = [](SessionRecord& s) {
    CameraRequest(s, kActRead, kPageSystem, 0);
    CameraRequest(s, kActRead, kPageSystem, 0);
    return CameraRequest(s, kActRead, kPageSystem, 0);
  };
  work.loginRead = [](SessionRecord& s) { return LoginRead(s); };
  FreeAddressFinder finder = net ? MakeFreeAddressFinder(net) : FreeAddressFinder{};
  work.readJob = [finder](WorkerJob& job) { RunReadAllJob(job, finder); };
  work.saveJob = [](WorkerJob& job) { RunWorkerJob(job, nullptr); };
  work.ensureSubnet = [owner](const SessionRecord& s) {
    if (!owner) {
      EnsureResult none;
      none.outcome = EnsureOutcome::TableUnavailable;
      return none;
    }
    return owner->Ensure(s);
  };
  work.scan = [](SessionRecord& s) { return ScanAccessPoints(s); };
  work.readNat = [](SessionRecord& s) { return CameraRequest(s, kActRead, kPageNatStatus, 0); };
  return work;
}

}  // namespace orv::gui
