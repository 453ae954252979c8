#include <thread>

#include "draw_service/store/durable_file.h"
#include "draw_service/store/lock_calls.h"
#include "runtime/read_file.h"

namespace zelkor::service {

FileLock::FileLock(const std::filesystem::path& lock_file, const std::function<void()>& waiting,
                   std::chrono::milliseconds patience) {
  using Clock = std::chrono::steady_clock;
  // Short enough that a lock released is taken at once, long enough to cost
  // nothing while waiting.
  constexpr std::chrono::milliseconds kPoll{50};
  const std::intptr_t file = OpenLockFile(lock_file, error_);
  if (file == -1) return;
  const auto start = Clock::now();
  bool told = false;
  for (;;) {
    const int got = TryLockFile(file, lock_file, error_);
    if (got == 1) break;
    const auto waited = Clock::now() - start;
    if (got < 0 || waited >= patience) {
      if (got == 0) {
        error_ =
            "gave up after " +
            std::to_string(std::chrono::duration_cast<std::chrono::seconds>(patience).count()) +
            " s waiting for the lock file " + PathUtf8(lock_file) +
            ", which another writer of the store holds (a stopped add or import?)";
      }
      CloseLockFile(file);
      return;
    }
    if (!told && waited >= kLockWaitNotice) {
      told = true;
      if (waiting) waiting();
    }
    std::this_thread::sleep_for(kPoll);
  }
  held_ = file;
}

FileLock::~FileLock() {
  if (held_ != -1) CloseLockFile(held_);
}

}  // namespace zelkor::service
