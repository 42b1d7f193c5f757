#include "core/app/startup_facts.h"

#include "core/hostnet/host_facts.h"

namespace orv {

int ReadStartupFacts(HostNetwork& net, SessionRecord& s, const PhoneBookReader& phoneBook,
                     const std::function<void(std::string_view)>& diagnostics) {
  s.extendedCgi = 0;
  s.sys.wpsCapable = 0;
  s.sys.wirelessCapable = 0;
  s.sys.Transversal = 0;
  s.pcHasPpp = 0;
  s.pcHasLan = 0;
  const int rc = ChooseAdapter(net, s, diagnostics);
  ReadAdapterDetails(net, s);
  if (s.pcHasPpp == 1) ReadPppoeCredentials(s, phoneBook);
  return rc;
}

}  // namespace orv
