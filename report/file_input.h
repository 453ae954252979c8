// Reading a std::FILE through a stream without losing its read errors.
#pragma once

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <streambuf>

namespace zelkor {

// A stream buffer that reads a std::FILE and turns a read error into an
// exception, which the stream does not swallow as an end of input.
class FileReadBuffer : public std::streambuf {
 public:
  explicit FileReadBuffer(std::FILE* file) : file_(file) {}

 protected:
  int_type underflow() override {
    const size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (got == 0) {
      if (std::ferror(file_) != 0) {
        const int error = errno;
        throw std::runtime_error(error != 0 ? std::strerror(error) : "read error");
      }
      return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(buffer_[0]);
  }
  std::streamsize xsgetn(char* data, std::streamsize count) override {
    // Large reads go straight to the file, past the buffer.
    std::streamsize done = 0;
    while (done < count) {
      if (gptr() < egptr()) {
        const std::streamsize take = std::min<std::streamsize>(egptr() - gptr(), count - done);
        std::memcpy(data + done, gptr(), static_cast<size_t>(take));
        gbump(static_cast<int>(take));
        done += take;
        continue;
      }
      errno = 0;
      const size_t got = std::fread(data + done, 1, static_cast<size_t>(count - done), file_);
      done += static_cast<std::streamsize>(got);
      if (got == 0) {
        if (std::ferror(file_) != 0) {
          const int error = errno;
          throw std::runtime_error(error != 0 ? std::strerror(error) : "read error");
        }
        break;
      }
    }
    return done;
  }

 private:
  std::FILE* file_;
  std::array<char, 4096> buffer_{};
};

}  // namespace zelkor
