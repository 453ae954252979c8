// The fixed addresses the draw service answers on, beside the draw list.
#pragma once

#include <string_view>

namespace zelkor::service {

// The version record: the version the program is.
inline constexpr std::string_view kVersionRecord = "1.1";

// The paths the service answers on besides the draw list.
[[nodiscard]] std::string_view StartPagePath();
[[nodiscard]] std::string_view VersionRecordPath();

}  // namespace zelkor::service
