// The one bound on what any part of the program reads in one piece: a
// download, a file, the draw list the service serves. A writer that stays
// within it makes nothing its own readers would refuse.
#pragma once

#include <cstddef>

namespace zelkor {

// 64 MiB: about 700,000 draws in the served draw list, some ninety times the
// real history.
inline constexpr size_t kMaxInputBytes = size_t{64} << 20;

}  // namespace zelkor
