#include <windows.h>

#include <algorithm>
#include <string>

#include "draw_service/store/durable_file.h"

namespace zelkor::service {
namespace {

std::string Reason(const char* step, const std::filesystem::path& path) {
  const DWORD code = GetLastError();
  const std::u8string name = path.u8string();
  return std::string(step) + " " + std::string(name.begin(), name.end()) + ": Windows error " +
         std::to_string(code);
}

}  // namespace

std::filesystem::path TemporaryFileFor(const std::filesystem::path& path) {
  std::filesystem::path temporary = path;
  temporary += L".new";
  return temporary;
}

std::string ReplaceFileDurably(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path temporary = TemporaryFileFor(path);
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Reason("cannot create", temporary);
  std::string failure;
  while (!contents.empty() && failure.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size(), 1u << 20));
    if (!WriteFile(file, contents.data(), chunk, &written, nullptr) || written == 0) {
      failure = Reason("cannot write", temporary);
    }
    contents.remove_prefix(written);
  }
  if (failure.empty() && !FlushFileBuffers(file)) failure = Reason("cannot flush", temporary);
  CloseHandle(file);
  // Atomic on NTFS; WRITE_THROUGH returns only once the move is on disk.
  if (failure.empty() && !MoveFileExW(temporary.c_str(), path.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failure = Reason("cannot move over", path);
  }
  if (!failure.empty()) DeleteFileW(temporary.c_str());
  return failure;
}

FileLock::FileLock(const std::filesystem::path& lock_file) {
  HANDLE file = CreateFileW(lock_file.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error_ = Reason("cannot open the lock file", lock_file);
    return;
  }
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    error_ = Reason("cannot lock", lock_file);
    CloseHandle(file);
    return;
  }
  held_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
  // Closing the handle releases the lock (the system does so too when the
  // process ends).
  if (held_ != -1) CloseHandle(reinterpret_cast<HANDLE>(held_));
}

}  // namespace zelkor::service
