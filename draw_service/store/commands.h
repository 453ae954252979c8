// Adding draws by hand: the `add` and `import` commands of the service
// program. Both store through the same checks and merge rules as upstreams.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "draw_service/store/draw_store.h"

namespace zelkor::service {

// Exit codes of the commands.
inline constexpr int kAdded = 0;      // draws added, or nothing was new
inline constexpr int kBadInput = 2;   // a draw or file that breaks the rules
inline constexpr int kConflict = 3;   // a draw held with other digits
inline constexpr int kNotStored = 1;  // the store could not be read or written

// What a command comes to: its exit code and what to tell (Chinese, then
// English; to standard output for kAdded, else to standard error).
struct CommandResult {
  int exit_code = kAdded;
  std::string message;
};

// `add ISSUE DIGITS [DATE]`: DATE (YYYY-MM-DD) empty means `today`.
[[nodiscard]] CommandResult AddDraw(const DrawStore& store, const std::string& issue,
                                    const std::string& digits, const std::string& date,
                                    std::chrono::sys_days today);

// `import FILE`: a history CSV or a saved draw list. All or nothing: a file
// with a bad row or a conflict stores none of its draws.
[[nodiscard]] CommandResult ImportDraws(const DrawStore& store, const std::filesystem::path& file);

// `check`: whether every line of the store can be read. kAdded when it can
// (or there is no store yet), else kBadInput naming each line that cannot,
// or kNotStored when the file cannot be read at all.
[[nodiscard]] CommandResult CheckStore(const DrawStore& store);

}  // namespace zelkor::service
