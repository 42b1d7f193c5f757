// The dial-up phone book: the user name and, when stored, the password of its first entry (the
// PPPoE connection on the PCs this program is made for).
#include <optional>
#include <string>
#include <vector>

#include "core/platform/host_network_pppoe.h"
#include "core/platform/windows/win_common.h"
// The RAS headers need the system headers above.
#include <ras.h>
#include <raserror.h>

namespace orv {

std::optional<PppoeEntry> ReadFirstPppoeEntry(const std::string&) {
  // The size is asked for first; the book may grow in between, hence the second try.
  std::vector<RASENTRYNAMEW> names(1);
  DWORD rc = ERROR_BUFFER_TOO_SMALL;
  DWORD count = 0;
  for (int attempt = 0; attempt < 3 && rc == ERROR_BUFFER_TOO_SMALL; ++attempt) {
    DWORD bytes = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAMEW));
    names[0].dwSize = sizeof(RASENTRYNAMEW);
    rc = ::RasEnumEntriesW(nullptr, nullptr, names.data(), &bytes, &count);
    if (rc == ERROR_BUFFER_TOO_SMALL) names.resize(bytes / sizeof(RASENTRYNAMEW) + 1);
  }
  if (rc != ERROR_SUCCESS || count == 0) return std::nullopt;

  RASDIALPARAMSW params{};
  params.dwSize = sizeof params;
  std::wstring_view first(names[0].szEntryName, RAS_MaxEntryName);
  first = first.substr(0, first.find(L'\0'));
  first.copy(params.szEntryName, RAS_MaxEntryName);
  BOOL hasPassword = FALSE;
  if (::RasGetEntryDialParamsW(nullptr, &params, &hasPassword) != ERROR_SUCCESS)
    return std::nullopt;
  const auto text = [](const WCHAR* w, std::size_t n) {
    const std::wstring_view v(w, n);
    return win::Utf8(v.substr(0, v.find(L'\0')));
  };
  PppoeEntry e;
  e.user = text(params.szUserName, UNLEN);
  if (hasPassword) e.password = text(params.szPassword, PWLEN);
  ::SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  return e;
}

}  // namespace orv
