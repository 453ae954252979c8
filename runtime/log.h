// Where the program's parts send the lines they log.
#pragma once

#include <functional>
#include <string>

namespace zelkor {

// Takes one line to log (no line end). An empty Log logs nothing.
using Log = std::function<void(const std::string& line)>;

}  // namespace zelkor
