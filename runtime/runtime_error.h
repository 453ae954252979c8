// Faults that end the program: one exception type and one reporting path.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace zelkor {

using Text = std::string;

// A fault the program does not recover from. Thrown where it happens, caught at
// the event-dispatch level, which hands it to ReportRuntimeError.
class RuntimeError : public std::exception {
 public:
  RuntimeError(int32_t code, Text message);

  int32_t code() const { return code_; }
  // GBK.
  const Text& message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

  // Run-time error 4: an array element below 1 was addressed.
  static RuntimeError IndexBelowOne();
  // Run-time error 1: an array element above the count was addressed.
  static RuntimeError IndexAboveCount();
  // Memory for `bytes` bytes could not be had.
  static RuntimeError AllocationFailed(int64_t bytes);
  // The main window could not be created.
  static RuntimeError WindowCreationFailed();

 private:
  int32_t code_;
  Text message_;
};

// The full report text (GBK) shown for a fault.
[[nodiscard]] Text RuntimeErrorReportText(int32_t code, const Text& message);

// Shows a report text to the user and returns when the user has seen it.
using RuntimeErrorPresenter = std::function<void(const Text& report)>;

// Replaces the presenter (by default the report goes to standard error as
// UTF-8 on Linux, and into an error message box on Windows).
// Returns the previous one.
RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter presenter);

// Shows the report through the presenter, then ends the process with exit
// code -1 (255 as Linux reports it, 0xFFFFFFFF on Windows).
[[noreturn]] void ReportRuntimeError(int32_t code, const Text& message);
[[noreturn]] void ReportRuntimeError(const RuntimeError& error);

// Reports the exception being handled and ends the process: a RuntimeError
// with its code and message, exhausted memory with the size that could not be
// had, any other exception with its what() text. Call only inside a catch.
[[noreturn]] void ReportCurrentException();

// Makes an exception that escapes everything (one thrown through code that
// cannot pass it on, or out of main) end through the same report instead of
// an abort with no word to the user.
void ReportUncaughtExceptions();

// Runs `handler`; any exception escaping it is reported through
// ReportCurrentException and ends the process. Every event handler runs
// through this.
void RunGuarded(const std::function<void()>& handler);

}  // namespace zelkor
