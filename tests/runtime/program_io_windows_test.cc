// Standard error on a Windows console: a program that writes a hint and then
// waits for input (the report tool started with no file) must have shown the
// hint by then.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "runtime/program_io.h"

namespace zelkor {
namespace {

TEST(ConsoleStandardError, ShowsWhatIsWrittenWithoutAFlush) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(screen, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetStdHandle(STD_ERROR_HANDLE, screen));

  StandardError(StreamText::kUtf8) << "从标准输入读取 Ctrl-Z";
  const std::wstring wanted = L"从标准输入读取 Ctrl-Z";
  std::wstring shown(wanted.size(), L'\0');
  DWORD read = 0;
  ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()),
                                          COORD{0, 0}, &read));
  shown.resize(read);
  EXPECT_EQ(shown, wanted);
}

}  // namespace
}  // namespace zelkor
