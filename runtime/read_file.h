// Reading a whole file, bounded, and naming files in messages.
#pragma once

#include <filesystem>
#include <string>

namespace zelkor {

// The path as UTF-8 bytes, for messages and for OpenFileForReading.
[[nodiscard]] std::string PathUtf8(const std::filesystem::path& path);

// Reads up to kMaxInputBytes of the file at `path` into `text`: empty on
// success, else why not ("cannot be opened", "is larger than 64 MiB", ...).
[[nodiscard]] std::string ReadFileCapped(const std::filesystem::path& path, std::string& text);

}  // namespace zelkor
