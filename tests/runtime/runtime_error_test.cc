#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "runtime/gbk.h"
#include "runtime/text.h"

namespace zelkor {
namespace {

TEST(RuntimeErrorTest, ReportTextHasCodeAndMessageLines) {
  EXPECT_EQ(
      RuntimeErrorReportText(4, Gbk("数组成员引用下标必须大于等于1")),
      Gbk("运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"));
  EXPECT_EQ(RuntimeErrorReportText(0, Gbk("载入启动窗口失败")),
            Gbk("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"));
  EXPECT_EQ(RuntimeErrorReportText(0, ""), Gbk("运行时出错!\r\n\r\n"));
  EXPECT_EQ(RuntimeError::AllocationFailed(1024).message(), Gbk("分配 1024 字节内存失败!"));
}

// The process ends with exit code -1 after the presenter has shown the report.
TEST(RuntimeErrorDeathTest, GuardedFaultIsShownThenEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetRuntimeErrorPresenter(
            [](const Text& report) { std::fputs(GbkToUtf8(report).c_str(), stderr); });
        RunGuarded([] {
          TextArray array;
          (void)array.At(0);
        });
        std::exit(0);  // not reached when the fault is reported
      },
      testing::ExitedWithCode(ZELKOR_EXIT_STATUS_MINUS_ONE), "错误代码：4");
}

TEST(RuntimeErrorDeathTest, ExhaustedMemoryNamesTheRequestedSize) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RunGuarded([] {
                volatile size_t huge = size_t{1} << 60;
                char* volatile memory = new char[huge];
                delete[] memory;
              }),
              testing::ExitedWithCode(ZELKOR_EXIT_STATUS_MINUS_ONE),
              "分配 1152921504606846976 字节内存失败!");
}

// Whatever escapes a handler, or everything, ends through the report with its
// message, never through an abort.
TEST(RuntimeErrorDeathTest, AnyExceptionEndsThroughTheReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RunGuarded([] { throw std::runtime_error("bad draw list"); }),
              testing::ExitedWithCode(ZELKOR_EXIT_STATUS_MINUS_ONE), "错误信息：bad draw list");
  EXPECT_EXIT(RunGuarded([] { throw 7; }), testing::ExitedWithCode(ZELKOR_EXIT_STATUS_MINUS_ONE),
              "未知的内部错误");
  EXPECT_EXIT(
      {
        ReportUncaughtExceptions();
        std::thread([] { throw std::logic_error("escaped everything"); }).join();
      },
      testing::ExitedWithCode(ZELKOR_EXIT_STATUS_MINUS_ONE), "错误信息：escaped everything");
}

TEST(RuntimeErrorTest, GuardedHandlerWithoutFaultReturns) {
  int calls = 0;
  RunGuarded([&] { ++calls; });
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace zelkor
