// The system calls under FileLock, one source file per platform; FileLock's
// waiting is the same everywhere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zelkor::service {

// Opens (creating it when missing) the lock file: a descriptor, or a HANDLE
// on Windows; -1 with the reason in `error` when it cannot, or when it is
// not a regular file (a pipe or a device would never be a lock).
[[nodiscard]] std::intptr_t OpenLockFile(const std::filesystem::path& lock_file,
                                         std::string& error);

// Takes the exclusive lock without waiting: 1 when had, 0 when another
// holds it, -1 on an error (the reason in `error`).
[[nodiscard]] int TryLockFile(std::intptr_t held, const std::filesystem::path& lock_file,
                              std::string& error);

// Closes the lock file, which releases the lock.
void CloseLockFile(std::intptr_t held);

}  // namespace zelkor::service
