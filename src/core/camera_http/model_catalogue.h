#pragma once
// Which dialect a camera speaks: the request family from its discovery description, the extended
// request set from its model name and firmware, and the low second port its UPnP page accepts.

#include <cstdint>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

// Sets legacyCamera (no known model-number fragment in the description) and cameraWireless.
void ClassifyFamily(SessionRecord& session, std::string_view description);

// The extendedCgi value for a model name and firmware version text.
std::uint8_t ClassifyModel(std::string_view modelName, std::string_view version);
// Sets session.extendedCgi from sys.ModelName and sys.Version.
void ClassifyModel(SessionRecord& session);

// 54 for the models that take it as a second port outside 1025..65535, else 53.
int LowSecondPortAllowed(std::string_view modelName);

}  // namespace orv
