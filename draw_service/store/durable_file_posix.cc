#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "draw_service/store/durable_file.h"

namespace zelkor::service {
namespace {

std::string Reason(const char* step, const std::filesystem::path& path) {
  return std::string(step) + " " + path.string() + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

std::filesystem::path TemporaryFileFor(const std::filesystem::path& path) {
  std::filesystem::path temporary = path;
  temporary += ".new";
  return temporary;
}

std::string ReplaceFileDurably(const std::filesystem::path& path, std::string_view contents) {
  // Past a file-size limit the write is to fail with EFBIG and be told, not
  // to end the program.
  static const bool ignore_size_signal = (std::signal(SIGXFSZ, SIG_IGN), true);
  (void)ignore_size_signal;

  const std::filesystem::path temporary = TemporaryFileFor(path);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Reason("cannot create", temporary);
  std::string failure;
  if (!WriteAll(fd, contents)) {
    failure = Reason("cannot write", temporary);
  } else if (::fsync(fd) != 0) {
    failure = Reason("cannot flush", temporary);
  }
  if (::close(fd) != 0 && failure.empty()) failure = Reason("cannot close", temporary);
  if (failure.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) {
    failure = Reason("cannot rename over", path);
  }
  if (!failure.empty()) {
    ::unlink(temporary.c_str());
    return failure;
  }
  // The rename itself lasts once the folder is flushed too.
  const int folder = ::open(path.parent_path().empty() ? "." : path.parent_path().c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)::fsync(folder);
    ::close(folder);
  }
  return {};
}

FileLock::FileLock(const std::filesystem::path& lock_file) {
  const int fd = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error_ = Reason("cannot open the lock file", lock_file);
    return;
  }
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    error_ = Reason("cannot lock", lock_file);
    ::close(fd);
    return;
  }
  held_ = fd;
}

FileLock::~FileLock() {
  // Closing the descriptor releases the lock.
  if (held_ >= 0) ::close(static_cast<int>(held_));
}

}  // namespace zelkor::service
