// Reading a text line by line, for the files a person may write or edit:
// lines end in "\n" or "\r\n", and the last one may have no line break.
#pragma once

#include <optional>
#include <string_view>

namespace zelkor {

class LineReader {
 public:
  // `text` must outlive the reader.
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line without its line break, or nothing after the last one.
  [[nodiscard]] std::optional<std::string_view> Next() {
    if (start_ >= text_.size()) return std::nullopt;
    const size_t end = text_.find('\n', start_);
    std::string_view line =
        text_.substr(start_, end == std::string_view::npos ? end : end - start_);
    start_ = end == std::string_view::npos ? text_.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return line;
  }

  // The number of the line Next() returned last, from 1; 0 before the first.
  [[nodiscard]] int number() const { return number_; }

 private:
  std::string_view text_;
  size_t start_ = 0;
  int number_ = 0;
};

}  // namespace zelkor
