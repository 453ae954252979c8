// Checking an address typed for --url before anything is fetched.
#pragma once

#include <string_view>

namespace zelkor {

// Whether `address` is an http or https URL with a host.
[[nodiscard]] bool IsHttpAddress(std::string_view address);

}  // namespace zelkor
