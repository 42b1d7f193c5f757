#include "core/camera_http/requests.h"

#include <array>
#include <string_view>

#include "core/camera_http/list_parsers.h"
#include "core/camera_http/request_texts.h"
#include "core/camera_http/settings_parser.h"
#include "core/camera_http/transport.h"

namespace orv {

namespace {

constexpr std::size_t kLargeAnswer = 6145;  // 6 KiB plus the terminator
constexpr std::size_t kSmallAnswer = 4097;  // 4 KiB plus the terminator

// Closes the socket on every path once it exists.
class Connection {
 public:
  explicit Connection(int sock) : m_sock(sock) {}
  ~Connection() { HttpClose(m_sock); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  int get() const { return m_sock; }

 private:
  int m_sock;
};

template <std::size_t N>
struct Answer {
  std::array<char, N> bytes{};
  int length = 0;
  std::string_view text() const {
    return std::string_view(bytes.data(), static_cast<std::size_t>(length));
  }
};

// Connect, send, receive. Negative result code on failure, else 0 and the answer filled.
template <std::size_t N>
int Exchange(const SessionRecord& s, const std::string& request, Answer<N>& answer, bool read) {
  const int sock =
      HttpConnect(s.connectAllowed, s.cameraAddrText.c_str(), s.cameraPortText.c_str());
  if (sock < 0) return ErrConnect;
  Connection conn(sock);
  if (HttpSend(conn.get(), request.data(), request.size()) == 0) return ErrSend;
  if (!read) return Ok;
  answer.length = HttpReceive(conn.get(), answer.bytes.data(), answer.bytes.size());
  return answer.length == 0 ? ErrNoResponse : Ok;
}

}  // namespace

int CameraRequest(SessionRecord& session, int act, int page, int subPage) {
  Answer<kLargeAnswer> answer;
  const int rc = Exchange(session, CameraRequestText(session, act, page, subPage), answer, true);
  if (rc != Ok) return rc;
  // A refused write must never pass for a saved one, so writes check "Unauthorized" too.
  const int status = ResponseStatus(answer.text(), act == kActRead || act == kActWrite);
  if (status != Ok) return status;
  if (act != kActRead) return Ok;
  if (page == kPageNetwork && answer.text().find("WPAPSKeyM=") == std::string_view::npos) {
    return ErrNoNetworkData;
  }
  ParseSettings(session, answer.text(), page, subPage);
  return Ok;
}

int LoginRead(SessionRecord& session) {
  Answer<kSmallAnswer> answer;
  const int rc = Exchange(session, LoginReadText(session), answer, true);
  if (rc != Ok) return rc;
  // This read follows the root login dialog: a refusal here means the credentials are wrong.
  const int status = ResponseStatus(answer.text(), true);
  if (status != Ok) return status;
  ParseSettings(session, answer.text(), kPageSystem, 0);
  return Ok;
}

std::optional<std::vector<AccessPointEntry>> ScanAccessPoints(SessionRecord& session) {
  session.apScanOk = 0;
  session.apCount = 0;
  Answer<kLargeAnswer> answer;
  if (Exchange(session, ScanRequestText(session), answer, true) != Ok) return std::nullopt;
  if (ResponseStatus(answer.text(), false) != Ok) return std::nullopt;
  std::uint32_t count = 0;
  std::optional<std::vector<AccessPointEntry>> list = ParseAccessPointScan(answer.text(), &count);
  if (!list) return std::nullopt;
  session.apCount = count;
  session.apScanOk = 1;
  return list;
}

int WpsRequest(SessionRecord& session, int act, int page) {
  const std::string request = WpsRequestText(session, act, page);
  if (act == kActRead) {
    // Starting the push-button session: the camera's answer is not waited for.
    Answer<1> none;
    return Exchange(session, request, none, false);
  }
  Answer<kSmallAnswer> answer;
  const int rc = Exchange(session, request, answer, true);
  if (rc != Ok) return rc;
  const int status = ResponseStatus(answer.text(), false);
  if (status != Ok) return status;
  ExtractValue(session.wpsStatus, "WPS=", answer.text());
  ExtractValue(session.wpsAck, "WPS_ACK=", answer.text());
  return Ok;
}

namespace {

std::optional<std::vector<LinkServerCameraEntry>> QueryLinkServerUnder(
    const ConnectFlag* flag, const std::string& host, const std::string& port,
    const std::string& id, const std::string& password, int page) {
  const int sock = flag != nullptr ? HttpConnectLinkServer(*flag, host.c_str(), port.c_str())
                                   : HttpConnectLinkServer(host.c_str(), port.c_str());
  if (sock < 0) return std::nullopt;
  Connection conn(sock);
  const std::string request = LinkServerRequestText(id, password, page);
  if (HttpSend(conn.get(), request.data(), request.size()) == 0) return std::nullopt;
  Answer<kLargeAnswer> answer;
  answer.length = HttpReceive(conn.get(), answer.bytes.data(), answer.bytes.size());
  if (answer.length == 0) return std::nullopt;
  if (ResponseStatus(answer.text(), page == 3) != Ok) return std::nullopt;
  return ParseLinkServerList(answer.text());
}

}  // namespace

std::optional<std::vector<LinkServerCameraEntry>> QueryLinkServer(const std::string& host,
                                                                  const std::string& port,
                                                                  const std::string& id,
                                                                  const std::string& password,
                                                                  int page) {
  return QueryLinkServerUnder(nullptr, host, port, id, password, page);
}

std::optional<std::vector<LinkServerCameraEntry>> QueryLinkServer(
    const ConnectFlag& connectAllowed, const std::string& host, const std::string& port,
    const std::string& id, const std::string& password, int page) {
  return QueryLinkServerUnder(&connectAllowed, host, port, id, password, page);
}

}  // namespace orv
