#pragma once
// The camera discovery datagrams on UDP port 49160 and how a reply becomes a camera row.
//
// Request: magic, type 1 (8 bytes, big-endian). Reply (at most 284 bytes): magic, type 2, then the
// 276-byte payload: MAC (6), reserved (2), IPv4 address (4, network order), HTTP port (4), a
// 256-byte text area holding description, camera ID and interface word back to back, and a second
// port (4).

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/discovery/camera_entry.h"

namespace orv {

inline constexpr std::uint16_t kDiscoveryPort = 49160;
inline constexpr std::uint32_t kDiscoveryMagic = 0x00F6D9A4;
inline constexpr std::uint32_t kDiscoveryMagicAlt = 0x01156A06;  // older firmware
inline constexpr std::uint32_t kDiscoveryTypeRequest = 1;
inline constexpr std::uint32_t kDiscoveryTypeReply = 2;
inline constexpr std::size_t kDiscoveryRequestSize = 8;
inline constexpr std::size_t kDiscoveryReplyMax = 284;
inline constexpr std::size_t kDiscoveryHeaderSize = 8;
inline constexpr std::size_t kDiscoveryPayloadSize = kDiscoveryReplyMax - kDiscoveryHeaderSize;

// Offsets inside the payload (the reply from byte 8 on).
inline constexpr std::size_t kPayloadMac = 0;
inline constexpr std::size_t kPayloadAddress = 8;
inline constexpr std::size_t kPayloadHttpPort = 12;
inline constexpr std::size_t kPayloadText = 16;
inline constexpr std::size_t kPayloadTextSize = 256;
inline constexpr std::size_t kPayloadSecondPort = 272;

using DiscoveryPayload = std::array<std::uint8_t, kDiscoveryPayloadSize>;

std::array<std::uint8_t, kDiscoveryRequestSize> EncodeDiscoveryRequest();

std::uint32_t ReadBigEndian32(const std::uint8_t* p);

// Renders a payload as a camera row. The three texts are read with bounded scans of the text area:
// a missing terminator ends a text at the area's end, and a text that starts past the end is empty.
// When description, slash and interface do not fit `desc`, the description loses its start: model
// fragments such as "-41HA/" sit at its end.
void FormatCameraEntry(const DiscoveryPayload& payload, CameraEntry& row);

}  // namespace orv
