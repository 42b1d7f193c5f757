#pragma once
// Every camera setting of the session record, listed once: its name, the key the camera uses for
// it, its kind and width, the settings page whose read fills it, and whether it is a secret. The
// settings parser, the write texts and the field view by name all work from this table.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/model/session_record.h"
#include "core/util/fixed_text.h"

namespace orv {

enum class FieldKind : std::uint8_t { Text, Byte, Int32, UInt32 };

// Where one field lives in a record.
using FieldSlot = std::variant<FixedTextRef, std::uint8_t*, std::int32_t*, std::uint32_t*>;

inline constexpr int kNoReadPage = -1;  // written by the program, never read back

struct CameraField {
  std::string_view name;  // the record's field name: the JSON view and --set use it
  std::string_view key;   // the camera's key, without "="
  // The key of the legacy request family when it differs (the second port); else empty.
  std::string_view legacyKey;
  FieldKind kind;
  std::size_t width;  // text width with its terminator, or the number's size in bytes
  int page;           // the read page that fills it, or kNoReadPage
  bool secret;        // a key or password: never shown unless asked for
  FieldSlot (*slot)(SessionRecord&);

  std::string_view KeyFor(const SessionRecord& session) const {
    return session.legacyCamera == 1 && !legacyKey.empty() ? legacyKey : key;
  }
};

// The camera fields in record order.
std::span<const CameraField> CameraFields();
// The field of that name, or nullptr.
const CameraField* FindCameraField(std::string_view name);

// A field's value as a write sends it: texts escaped for a query, numbers in signed decimal.
std::string WriteValueText(const SessionRecord& session, const CameraField& field);

}  // namespace orv
