#include "gui/app/camera_work.h"

#include "core/hostnet/temporary_address_owner.h"
#include "core/platform/host_network.h"

namespace orv::gui {

void RunCheckedSaveJob(WorkerJob& job, const CameraRequestFunction& request) {
  job.done = 0;
  job.ok = 0;
  job.error = 0;
  struct Write {
    int page;
    int subPage;
  };
  static constexpr Write kWrites[] = {{kPageSystem, 0}, {kPageDdns, 0}, {kPageTime, kSubPageTime}};
  for (const Write& w : kWrites) {
    const int code = request(job.session, kActWrite, w.page, w.subPage);
    if (code != 0) {
      job.error = code;
      job.done = 1;
      return;
    }
  }
  const int code = request(job.session, kActWrite, kPageNetwork, 0);
  if (code != 0 && code != ErrNoResponse && code != ErrNoNetworkData) {
    job.error = code;
    job.done = 1;
    return;
  }
  job.ok = 1;
  job.done = 1;
}

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
  work.saveJob = [](WorkerJob& job) {
    if (job.mode == kModeSaveWps)
      RunWpsSaveJob(job);
    else
      RunCheckedSaveJob(job);
  };
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
