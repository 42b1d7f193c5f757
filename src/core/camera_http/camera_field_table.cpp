#include "core/camera_http/camera_field_table.h"

#include <array>
#include <type_traits>
#include <utility>

#include "core/camera_http/requests.h"
#include "core/camera_http/settings_parser.h"

namespace orv {

namespace {

template <class T>
struct FieldTraits;
template <std::size_t N>
struct FieldTraits<FixedText<N>> {
  static constexpr FieldKind kKind = FieldKind::Text;
  static constexpr std::size_t kWidth = N;
  static FieldSlot Slot(FixedText<N>& f) { return f.ref(); }
};
template <>
struct FieldTraits<std::uint8_t> {
  static constexpr FieldKind kKind = FieldKind::Byte;
  static constexpr std::size_t kWidth = 1;
  static FieldSlot Slot(std::uint8_t& f) { return &f; }
};
template <>
struct FieldTraits<std::int32_t> {
  static constexpr FieldKind kKind = FieldKind::Int32;
  static constexpr std::size_t kWidth = 4;
  static FieldSlot Slot(std::int32_t& f) { return &f; }
};
template <>
struct FieldTraits<std::uint32_t> {
  static constexpr FieldKind kKind = FieldKind::UInt32;
  static constexpr std::size_t kWidth = 4;
  static FieldSlot Slot(std::uint32_t& f) { return &f; }
};

template <class Part, class T, T Part::*Member>
FieldSlot SlotOf(SessionRecord& s) {
  if constexpr (std::is_same_v<Part, NetworkSettings>) {
    return FieldTraits<T>::Slot(s.net.*Member);
  } else {
    return FieldTraits<T>::Slot(s.sys.*Member);
  }
}

constexpr bool kSecret = true;
constexpr bool kPlain = false;

template <class Part, class T, T Part::*Member>
constexpr CameraField MakeField(std::string_view name, std::string_view key, int page, bool secret,
                                std::string_view legacyKey) {
  return CameraField{name,
                     key,
                     legacyKey,
                     FieldTraits<T>::kKind,
                     FieldTraits<T>::kWidth,
                     page,
                     secret,
                     &SlotOf<Part, T, Member>};
}

// Fields of the network and system blocks; the key is the name unless given.
template <auto Member>
constexpr CameraField Net(std::string_view name, std::string_view key, int page,
                          bool secret = kPlain) {
  using T = std::remove_reference_t<decltype(std::declval<NetworkSettings&>().*Member)>;
  return MakeField<NetworkSettings, T, Member>(name, key, page, secret, "");
}
template <auto Member>
constexpr CameraField Net(std::string_view name, int page) {
  return Net<Member>(name, name, page);
}
template <auto Member>
constexpr CameraField Sys(std::string_view name, std::string_view key, int page,
                          bool secret = kPlain, std::string_view legacyKey = "") {
  using T = std::remove_reference_t<decltype(std::declval<SystemSettings&>().*Member)>;
  return MakeField<SystemSettings, T, Member>(name, key, page, secret, legacyKey);
}
template <auto Member>
constexpr CameraField Sys(std::string_view name, int page) {
  return Sys<Member>(name, name, page);
}

const std::array kFields = {
    Net<&NetworkSettings::IPType>("IPType", kPageNetwork),
    Net<&NetworkSettings::IPAddr>("IPAddr", kPageNetwork),
    Net<&NetworkSettings::Netmask>("Netmask", kPageNetwork),
    Net<&NetworkSettings::Gateway>("Gateway", kPageNetwork),
    Net<&NetworkSettings::DNS1>("DNS1", kPageNetwork),
    Net<&NetworkSettings::DNS2>("DNS2", kPageNetwork),
    Net<&NetworkSettings::PAccount>("PAccount", kNoReadPage),
    Net<&NetworkSettings::PPwd>("PPwd", "PPwd", kNoReadPage, kSecret),
    Net<&NetworkSettings::PVP>("PVP", "PVP", kNoReadPage, kSecret),
    Net<&NetworkSettings::Wireless>("Wireless", kPageNetwork),
    Net<&NetworkSettings::WireType>("WireType", kPageNetwork),
    Net<&NetworkSettings::SSID>("SSID", kPageNetwork),
    Net<&NetworkSettings::WireCh>("WireCh", kPageNetwork),
    Net<&NetworkSettings::ChType>("ChType", kPageNetwork),
    Net<&NetworkSettings::WireSec>("WireSec", kPageNetwork),
    Net<&NetworkSettings::TxRate>("TxRate", kPageNetwork),
    Net<&NetworkSettings::WIPType>("WIPType", kPageNetwork),
    Net<&NetworkSettings::WIPAddr>("WIPAddr", kPageNetwork),
    Net<&NetworkSettings::WNetmask>("WNetmask", kPageNetwork),
    Net<&NetworkSettings::WGateway>("WGateway", kPageNetwork),
    Net<&NetworkSettings::WDNS1>("WDNS1", kPageNetwork),
    Net<&NetworkSettings::WDNS2>("WDNS2", kPageNetwork),
    Net<&NetworkSettings::WPAEnc>("WPAEnc", kPageNetwork),
    Net<&NetworkSettings::WPAPSKeyM>("WPAPSKeyM", kPageNetwork),
    Net<&NetworkSettings::WPAKey>("WPAKey", "WPAKey", kPageNetwork, kSecret),
    Net<&NetworkSettings::WEPAuthM>("WEPAuthM", kPageNetwork),
    Net<&NetworkSettings::WEPMode>("WEPMode", kPageNetwork),
    Net<&NetworkSettings::WEPKeyE0>("WEPKeyE0", kPageNetwork),
    Net<&NetworkSettings::WepKeyL>("WepKeyL", kPageNetwork),
    Net<&NetworkSettings::WEPKey0>("WEPKey0", "WEPKey0", kPageNetwork, kSecret),
    Net<&NetworkSettings::WEPKey1>("WEPKey1", "WEPKey1", kPageNetwork, kSecret),
    Net<&NetworkSettings::WEPKey2>("WEPKey2", "WEPKey2", kPageNetwork, kSecret),
    Net<&NetworkSettings::WEPKey3>("WEPKey3", "WEPKey3", kPageNetwork, kSecret),
    Sys<&SystemSettings::SECUEN>("SECUEN", kPageSystem),
    Sys<&SystemSettings::ModelName>("ModelName", kPageSystem),
    Sys<&SystemSettings::TitleBar>("TitleBar", kPageSystem),
    Sys<&SystemSettings::Desp>("Desp", kPageSystem),
    Sys<&SystemSettings::wpsCapable>("wpsCapable", "WPS", kPageCapabilities),
    Sys<&SystemSettings::wirelessCapable>("wirelessCapable", "Wireless", kPageCapabilities),
    Sys<&SystemSettings::Transversal>("Transversal", kPageCapabilities),
    Sys<&SystemSettings::DDNS>("DDNS", kPageDdns),
    Sys<&SystemSettings::DDNSSrv>("DDNSSrv", kPageDdns),
    Sys<&SystemSettings::DDNSHost>("DDNSHost", kPageDdns),
    Sys<&SystemSettings::DDNSUser>("DDNSUser", kPageDdns),
    Sys<&SystemSettings::DDNSPwd>("DDNSPwd", "DDNSPwd", kPageDdns, kSecret),
    Sys<&SystemSettings::NTPEN>("NTPEN", kPageTime),
    Sys<&SystemSettings::NTPName>("NTPName", kPageTime),
    Sys<&SystemSettings::Timezone>("Timezone", kPageTime),
    Sys<&SystemSettings::NTPPoll>("NTPPoll", kPageTime),
    Sys<&SystemSettings::Date>("Date", kPageTime),
    Sys<&SystemSettings::Time>("Time", kPageTime),
    Sys<&SystemSettings::UPnPE>("UPnPE", kPageNetwork),
    Sys<&SystemSettings::HttpPort>("HttpPort", kPageNetwork),
    Sys<&SystemSettings::secondPort>("secondPort", "RTPPort", kPageNetwork, kPlain, "SPort"),
    Sys<&SystemSettings::RTSPPort>("RTSPPort", kPageNetwork),
    Sys<&SystemSettings::Version>("Version", kPageVersion),
    Sys<&SystemSettings::NATStat>("NATStat", kPageNatStatus),
    Sys<&SystemSettings::ExtIPAddr>("ExtIPAddr", kPageNatStatus),
    Sys<&SystemSettings::ExtHttpPort>("ExtHttpPort", kPageNatStatus),
};

}  // namespace

std::span<const CameraField> CameraFields() {
  return kFields;
}

const CameraField* FindCameraField(std::string_view name) {
  for (const CameraField& f : kFields) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::string WriteValueText(const SessionRecord& session, const CameraField& field) {
  // The slot only reads here; the table hands out mutable slots for the parser's sake.
  const FieldSlot slot = field.slot(const_cast<SessionRecord&>(session));
  if (const auto* text = std::get_if<FixedTextRef>(&slot)) return EscapeQueryValue(text->view());
  if (const auto* byte = std::get_if<std::uint8_t*>(&slot)) return std::to_string(**byte);
  if (const auto* i32 = std::get_if<std::int32_t*>(&slot)) return std::to_string(**i32);
  // Ports go out as the signed number the camera expects.
  return std::to_string(static_cast<std::int32_t>(*std::get<std::uint32_t*>(slot)));
}

}  // namespace orv
