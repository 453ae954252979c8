// Answers the message boxes this thread shows, for tests and unattended
// runs: a thread-local hook sees each box once it is set up, reads what
// it shows and presses the button the answerer names.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zelkor::win32 {

struct SeenMessageBox {
  std::wstring caption;
  std::wstring text;
  std::vector<int> buttons;  // dialog ids present (IDOK, IDCANCEL, ...)
  bool has_icon = false;
};

// While alive, every message box of this thread is answered: `answer` gets
// what the box shows and returns the id of the button to press.
class ScopedMessageBoxAnswerer {
 public:
  explicit ScopedMessageBoxAnswerer(std::function<int(const SeenMessageBox&)> answer);
  ~ScopedMessageBoxAnswerer();
  ScopedMessageBoxAnswerer(const ScopedMessageBoxAnswerer&) = delete;
  ScopedMessageBoxAnswerer& operator=(const ScopedMessageBoxAnswerer&) = delete;

 private:
  HHOOK hook_ = nullptr;
};

}  // namespace zelkor::win32
