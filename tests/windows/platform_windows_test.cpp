// The Windows back ends against the system (wine in CI): code pages, the settings writer, the
// single-instance mutex, the program and settings folders, the (empty) dial-up phone book, and
// Winsock TCP and UDP on loopback.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/platform/codepage.h"
#include "core/platform/discovery_net.h"
#include "core/platform/file_save.h"
#include "core/platform/host_network_pppoe.h"
#include "core/platform/program_folder.h"
#include "core/platform/single_instance.h"
#include "core/platform/tcp_socket.h"
#include "core/platform/user_folders.h"
#include "core/util/ipv4.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path FreshFolder(const char* name) {
  const fs::path dir = fs::temp_directory_path() / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(WindowsCodePages, ConvertBothWaysAndMarkWhatCannotBeHeld) {
  const std::string big5 = "\xA4\xA4\xA4\xE5";  // 中文 in CP 950
  EXPECT_EQ(CodePageToUtf8(big5, kCodePageTraditionalChinese), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(Utf8ToCodePage("\xE4\xB8\xAD\xE6\x96\x87", kCodePageTraditionalChinese), big5);
  EXPECT_EQ(CodePageToUtf8("caf\xE9", kCodePageWestern), "caf\xC3\xA9");
  // No best fit: a letter that CP 1252 lacks becomes "?", not a look-alike.
  EXPECT_EQ(Utf8ToCodePage("a\xC4\x81z", kCodePageWestern), "a?z");
  EXPECT_EQ(CodePageToUtf8("a\xFFz", kCodePageUtf8), "a?z");
  EXPECT_EQ(ParseCodePageName("cp950"), kCodePageTraditionalChinese);
  EXPECT_FALSE(ParseCodePageName("cp99999"));
}

TEST(WindowsFileSave, CreatesReplacesAndRefusesAFolder) {
  const fs::path dir = FreshFolder("orvantis-save-test");
  const fs::path file = dir / "defaultlang.ini";
  ASSERT_TRUE(ReplaceFileContents(file, "[a]\r\nk=1\r\n"));
  EXPECT_EQ(ReadAll(file), "[a]\r\nk=1\r\n");
  ASSERT_TRUE(ReplaceFileContents(file, "[a]\r\nk=22\r\n"));
  EXPECT_EQ(ReadAll(file), "[a]\r\nk=22\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_FALSE(ReplaceFileContents(dir, "x"));
  EXPECT_FALSE(ReplaceFileContents(dir / "missing" / "x.ini", "x"));
  fs::remove_all(dir);
}

TEST(WindowsSingleInstance, SecondCopyWaitsForTheFirstToGo) {
  auto first = MakeSingleInstance("Orvantis.test");
  ASSERT_EQ(first->Acquire(), InstanceLock::Acquired);
  EXPECT_EQ(MakeSingleInstance("Orvantis.test")->Acquire(), InstanceLock::AlreadyRunning);
  first.reset();
  EXPECT_EQ(MakeSingleInstance("Orvantis.test")->Acquire(), InstanceLock::Acquired);
  EXPECT_EQ(MakeSingleInstance("Global\\x")->Acquire(), InstanceLock::Unavailable);
}

TEST(WindowsFolders, ProgramAndSettingsFolders) {
  const std::string program = ExecutableFolder();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), '/');
  EXPECT_TRUE(fs::exists(fs::path(program + ORVANTIS_TEST_PROGRAM)));
  const std::string settings = UserConfigFolder();
  ASSERT_FALSE(settings.empty());
  EXPECT_TRUE(settings.ends_with("/Orvantis/"));

  const fs::path dir = FreshFolder("orvantis-folders-test");
  const std::string nested = dir.string() + "/a/b/";
  MakePrivateFolders(nested);
  EXPECT_TRUE(fs::is_directory(nested));
  EXPECT_TRUE(FolderIsWritable(nested));
  const std::string file = nested + "defaultlang.ini";
  ASSERT_TRUE(EnsureReadableFile(file));
  ASSERT_TRUE(ReplaceFileContents(file, "kept"));
  ASSERT_TRUE(EnsureReadableFile(file));
  EXPECT_EQ(ReadAll(file), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(nested), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

// wine keeps no dial-up phone book: the enumeration runs and finds no entry.
TEST(WindowsPhoneBook, AnEmptyBookGivesNoEntry) {
  EXPECT_FALSE(ReadFirstPppoeEntry(""));
}

// A Winsock listener on a loopback port the system picks.
class Listener {
 public:
  Listener() {
    m_s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(m_s, 4);
    int len = sizeof sa;
    ::getsockname(m_s, reinterpret_cast<sockaddr*>(&sa), &len);
    port = ntohs(sa.sin_port);
  }
  ~Listener() { Close(); }
  void Close() {
    if (m_s != INVALID_SOCKET) ::closesocket(m_s);
    m_s = INVALID_SOCKET;
  }
  SOCKET Accept() { return ::accept(m_s, nullptr, nullptr); }
  std::uint16_t port = 0;

 private:
  SOCKET m_s = INVALID_SOCKET;
};

TEST(WindowsTcp, ConnectsSendsReceivesAndSeesARefusal) {
  const tcp::Handle probe = tcp::OpenStream();  // starts Winsock for the listener too
  ASSERT_NE(probe, tcp::kInvalidHandle);
  tcp::Close(probe);
  Listener listener;
  const std::uint32_t loopback = htonl(INADDR_LOOPBACK);

  const tcp::Handle h = tcp::OpenStream();
  ASSERT_TRUE(tcp::SetNonBlocking(h, true));
  const tcp::ConnectStart start = tcp::StartConnect(h, loopback, listener.port);
  ASSERT_NE(start, tcp::ConnectStart::Failed);
  ASSERT_EQ(tcp::WaitWritable(h, 5000), tcp::WaitResult::Ready);
  EXPECT_EQ(tcp::PendingError(h), 0);
  const SOCKET peer = listener.Accept();
  ASSERT_NE(peer, INVALID_SOCKET);
  EXPECT_EQ(tcp::SendSome(h, "GET", 3), 3);
  char buffer[8] = {};
  EXPECT_EQ(::recv(peer, buffer, sizeof buffer, 0), 3);
  EXPECT_EQ(tcp::WaitReadable(h, 0), tcp::WaitResult::Timeout);
  ::send(peer, "OK", 2, 0);
  ::closesocket(peer);
  ASSERT_EQ(tcp::WaitReadable(h, 5000), tcp::WaitResult::Ready);
  EXPECT_EQ(tcp::ReceiveSome(h, buffer, sizeof buffer), 2);
  ASSERT_EQ(tcp::WaitReadable(h, 5000), tcp::WaitResult::Ready);
  EXPECT_EQ(tcp::ReceiveSome(h, buffer, sizeof buffer), 0);  // the peer closed
  tcp::Close(h);

  const std::uint16_t closedPort = listener.port;
  listener.Close();
  const tcp::Handle refused = tcp::OpenStream();
  ASSERT_TRUE(tcp::SetNonBlocking(refused, true));
  if (tcp::StartConnect(refused, loopback, closedPort) == tcp::ConnectStart::InProgress) {
    EXPECT_NE(tcp::WaitWritable(refused, 5000), tcp::WaitResult::Timeout);
    EXPECT_NE(tcp::PendingError(refused), 0);
  }
  tcp::Close(refused);

  EXPECT_TRUE(tcp::IsNumericHostText("10.0.0.1"));
  EXPECT_TRUE(tcp::IsNumericHostText("255.255.255.255"));
  EXPECT_FALSE(tcp::IsNumericHostText("camera.local"));
  EXPECT_EQ(tcp::LookupName("127.0.0.1", false), loopback);
}

TEST(WindowsDiscoverySockets, DatagramsWithTheirAdapterAndTooLongOnesRefused) {
  auto net = SystemDiscoverySockets();
  const int rx = net->CreateUdp();
  ASSERT_GE(rx, 0);
  const std::uint32_t loopback = htonl(INADDR_LOOPBACK);
  ASSERT_TRUE(net->Bind(rx, loopback, 0));
  sockaddr_in sa{};
  int len = sizeof sa;
  ASSERT_EQ(::getsockname(static_cast<SOCKET>(rx), reinterpret_cast<sockaddr*>(&sa), &len), 0);
  const std::uint16_t port = ntohs(sa.sin_port);
  const bool arrival = net->EnableArrivalAdapter(rx);

  const int tx = net->CreateUdp();
  ASSERT_GE(tx, 0);
  ASSERT_TRUE(net->SetBroadcast(tx));
  EXPECT_EQ(net->SendTo(tx, "hello", 5, loopback, port), 5);
  ASSERT_EQ(net->WaitReadable(rx, 5000), 1);
  char buffer[8] = {};
  std::uint32_t ifIndex = 0;
  EXPECT_EQ(net->ReceiveWithAdapter(rx, buffer, sizeof buffer, ifIndex), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  if (arrival) {
    EXPECT_NE(ifIndex, 0u);
  }

  const std::string tooLong(20, 'x');
  EXPECT_EQ(net->SendTo(tx, tooLong.data(), tooLong.size(), loopback, port), 20);
  ASSERT_EQ(net->WaitAnyReadable({tx, rx}, 5000), 1);
  EXPECT_EQ(net->Receive(rx, buffer, sizeof buffer), -1);
  EXPECT_EQ(net->WaitReadable(rx, 0), 0);  // consumed all the same
  net->Close(tx);
  net->Close(rx);

  const auto hosts = SystemDiscoveryHostSource()->HostAddresses();
  ASSERT_TRUE(hosts);
  EXPECT_FALSE(hosts->empty());
}

}  // namespace
}  // namespace orv::test
