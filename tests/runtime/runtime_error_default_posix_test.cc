#include <gtest/gtest.h>

#include "runtime/runtime_error.h"

namespace zelkor {
namespace {

TEST(RuntimeErrorDeathTest, DefaultPresenterWritesUtf8ToStandardError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReportRuntimeError(RuntimeError::WindowCreationFailed()),
              testing::ExitedWithCode(255), "载入启动窗口失败");
}

}  // namespace
}  // namespace zelkor
