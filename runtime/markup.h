// Text as it may stand in XML or HTML, for the pages and charts made here.
#pragma once

#include <string>
#include <string_view>

namespace zelkor {

// `text` (UTF-8) as it may stand in XML or HTML text and attribute values:
// markup characters as entities, every control character as "?".
[[nodiscard]] std::string MarkupEscaped(std::string_view text);

}  // namespace zelkor
