#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "draw_service/store/durable_file.h"
#include "draw_service/store/lock_calls.h"

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

std::intptr_t OpenLockFile(const std::filesystem::path& lock_file, std::string& error) {
  // Not blocking on open: a pipe put in the lock file's place is refused,
  // not waited on.
  const int fd = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) {
    error = Reason("cannot open the lock file", lock_file);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "the lock file " + lock_file.string() + " is not a regular file";
    ::close(fd);
    return -1;
  }
  return fd;
}

int TryLockFile(std::intptr_t held, const std::filesystem::path& lock_file, std::string& error) {
  for (;;) {
    if (::flock(static_cast<int>(held), LOCK_EX | LOCK_NB) == 0) return 1;
    if (errno == EWOULDBLOCK) return 0;
    if (errno != EINTR) break;
  }
  error = Reason("cannot lock", lock_file);
  return -1;
}

void CloseLockFile(std::intptr_t held) { ::close(static_cast<int>(held)); }

}  // namespace zelkor::service
