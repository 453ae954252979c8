#include "runtime/read_file.h"

#include <cstdio>
#include <memory>

#include "runtime/input_limit.h"
#include "runtime/program_io.h"

namespace zelkor {

std::string PathUtf8(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

std::string ReadFileCapped(const std::filesystem::path& path, std::string& text) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(PathUtf8(path)),
                                                             &std::fclose);
  if (!file) return "cannot be opened";
  text.clear();
  char buffer[1 << 16];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0) {
    if (text.size() + count > kMaxInputBytes) {
      return "is larger than " + std::to_string(kMaxInputBytes >> 20) + " MiB";
    }
    text.append(buffer, count);
  }
  if (std::ferror(file.get())) return "cannot be read";
  return {};
}

}  // namespace zelkor
