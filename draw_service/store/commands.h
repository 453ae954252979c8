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

// `add ISSUE DIGITS [DATE]`, as of `now`: DATE (YYYY-MM-DD) empty means the
// date the schedule gives the issue after the draw before it, which the
// message tells.
[[nodiscard]] CommandResult AddDraw(const DrawStore& store, const std::string& issue,
                                    const std::string& digits, const std::string& date,
                                    BeijingTime now = BeijingNow());

// `import FILE`: a history CSV or a saved draw list. All or nothing: a file
// with a bad row, a conflict, a draw against the draw rules, or more draws
// than the store can serve stores none of its draws. Tells how many draws
// were added, each one with `verbose`.
[[nodiscard]] CommandResult ImportDraws(const DrawStore& store, const std::filesystem::path& file,
                                        bool verbose = false, BeijingTime now = BeijingNow());

// `remove ISSUE`: removes the newest draw when the store holds it (never a
// shipped one, never one with draws after it). kAdded removed, kBadInput
// refused, kNotStored the store could not be read or written.
[[nodiscard]] CommandResult RemoveDraw(const DrawStore& store, const std::string& issue);

// `check`: whether every line of the store can be read. kAdded when it can
// (or there is no store yet), else kBadInput naming each line that cannot,
// or kNotStored when the file cannot be read at all.
[[nodiscard]] CommandResult CheckStore(const DrawStore& store);

}  // namespace zelkor::service
