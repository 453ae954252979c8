// On Windows the narrow argument vector and file names are in the system's
// code page, which cannot hold every character a user may type; the wide
// forms can. Standard streams translate LF to CR LF unless told not to.
#include <windows.h>
// After windows.h, which they build on.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <memory>
#include <streambuf>

#include "runtime/program_io.h"
#include "runtime/wide_text.h"

namespace zelkor {
namespace {

// Length of the longest prefix of `bytes` that ends on a UTF-8 character
// boundary, so that a character split across two writes is shown whole.
size_t CompleteUtf8Prefix(std::string_view bytes) {
  size_t end = bytes.size();
  // Step back over at most three continuation bytes to the lead byte.
  size_t back = 0;
  while (back < 3 && back < end &&
         (static_cast<unsigned char>(bytes[end - 1 - back]) & 0xC0) == 0x80) {
    ++back;
  }
  if (back == end) return end;
  const auto lead = static_cast<unsigned char>(bytes[end - 1 - back]);
  const size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return announced > back + 1 ? end - 1 - back : end;
}

// Writes UTF-8 text to a console as UTF-16.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}
  ~ConsoleBuffer() override { (void)Flush(true); }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      pending_ += traits_type::to_char_type(c);
      if (pending_.size() >= kBufferBytes && !Flush(false)) return traits_type::eof();
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* data, std::streamsize count) override {
    pending_.append(data, static_cast<size_t>(count));
    if (pending_.size() >= kBufferBytes && !Flush(false)) return 0;
    return count;
  }
  int sync() override { return Flush(false) ? 0 : -1; }

 private:
  static constexpr size_t kBufferBytes = 1 << 14;

  // Shows the pending text up to its last whole character (all of it at the end).
  bool Flush(bool all) {
    const size_t whole = all ? pending_.size() : CompleteUtf8Prefix(pending_);
    const std::wstring wide = Utf8ToWide(std::string_view(pending_).substr(0, whole));
    pending_.erase(0, whole);
    for (size_t at = 0; at < wide.size();) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - at, 1 << 14));
      DWORD written = 0;
      if (!WriteConsoleW(console_, wide.data() + at, chunk, &written, nullptr) || written == 0) {
        return false;
      }
      at += written;
    }
    return true;
  }

  HANDLE console_;
  std::string pending_;
};

// The console behind a standard handle, or null when it leads elsewhere.
HANDLE ConsoleOf(DWORD standard_handle) {
  HANDLE handle = GetStdHandle(standard_handle);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)
             ? handle
             : nullptr;
}

std::ostream& StreamFor(DWORD standard_handle, std::ostream& bytes_stream, StreamText text) {
  if (text == StreamText::kBytes) return bytes_stream;
  HANDLE console = ConsoleOf(standard_handle);
  if (console == nullptr) return bytes_stream;
  // Whatever went to the byte stream before comes first.
  bytes_stream.flush();
  static ConsoleBuffer output_buffer(ConsoleOf(STD_OUTPUT_HANDLE));
  static ConsoleBuffer error_buffer(ConsoleOf(STD_ERROR_HANDLE));
  static std::ostream output(&output_buffer);
  // Standard error is shown as it is written, as std::cerr is: a hint
  // written before the program waits for input must be on the screen while
  // it waits.
  static std::ostream error(&error_buffer);
  error.setf(std::ios::unitbuf);
  return standard_handle == STD_OUTPUT_HANDLE ? output : error;
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                     &LocalFree);
  std::vector<std::string> args;
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide.get()[i]));
  return args;
}

std::FILE* OpenFileForReading(const std::string& utf8_path) {
  // A path that is not UTF-8 names no file.
  const int size = static_cast<int>(utf8_path.size());
  if (size > 0 &&
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path.data(), size, nullptr, 0) <= 0) {
    errno = ENOENT;
    return nullptr;
  }
  return _wfopen(Utf8ToWide(utf8_path).c_str(), L"rb");
}

void UseBinaryStandardStreams() {
  (void)_setmode(_fileno(stdin), _O_BINARY);
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

std::ostream& StandardOutput(StreamText text) {
  return StreamFor(STD_OUTPUT_HANDLE, std::cout, text);
}

std::ostream& StandardError(StreamText text) {
  return StreamFor(STD_ERROR_HANDLE, std::cerr, text);
}

}  // namespace zelkor
