// Writing the player's files so that a crash, a kill or a full disk never
// leaves one half written, and so that two writers never interleave.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zelkor::service {

// Replaces the file at `path` with `contents` in one step: the contents go to
// a temporary file in the same folder, are flushed to disk, and the temporary
// file is renamed over `path`. Whatever happens, `path` holds either its old
// contents or all of the new. Returns empty on success, else the reason
// (the temporary file is removed then). Call only with a FileLock held, as
// the temporary file's name is fixed.
[[nodiscard]] std::string ReplaceFileDurably(const std::filesystem::path& path,
                                             std::string_view contents);

// An exclusive lock on a lock file (created when missing), held from
// construction until destruction or the process's end, whichever comes
// first. Blocks until the lock is had.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& lock_file);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Empty when the lock is held, else why it could not be had.
  [[nodiscard]] const std::string& error() const { return error_; }

 private:
  std::string error_;
  // The open lock file: a descriptor, or a HANDLE on Windows; -1 for none.
  std::intptr_t held_ = -1;
};

// The temporary file ReplaceFileDurably writes beside `path`.
[[nodiscard]] std::filesystem::path TemporaryFileFor(const std::filesystem::path& path);

}  // namespace zelkor::service
