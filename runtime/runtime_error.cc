#include "runtime/runtime_error.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <utility>

#include "runtime/gbk.h"
#include "runtime/runtime_error_default.h"

namespace zelkor {
namespace {

// The size of the last allocation that could not be had, for the report.
thread_local std::size_t failed_allocation_bytes = 0;

RuntimeErrorPresenter& Presenter() {
  static RuntimeErrorPresenter presenter = ShowRuntimeErrorReportByDefault;
  return presenter;
}

}  // namespace

RuntimeError::RuntimeError(int32_t code, Text message)
    : code_(code), message_(std::move(message)) {}

RuntimeError RuntimeError::IndexBelowOne() { return {4, Gbk("数组成员引用下标必须大于等于1")}; }

RuntimeError RuntimeError::IndexAboveCount() { return {1, Gbk("数组成员引用下标超出定义范围")}; }

RuntimeError RuntimeError::AllocationFailed(int64_t bytes) {
  return {0, Gbk("分配 ") + std::to_string(bytes) + Gbk(" 字节内存失败!")};
}

RuntimeError RuntimeError::WindowCreationFailed() { return {0, Gbk("载入启动窗口失败")}; }

Text RuntimeErrorReportText(int32_t code, const Text& message) {
  Text report = Gbk("运行时出错!\r\n\r\n");
  if (code != 0) report += Gbk("错误代码：") + std::to_string(code) + "\r\n\r\n";
  if (!message.empty()) report += Gbk("错误信息：") + message + "\r\n";
  return report;
}

RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter presenter) {
  return std::exchange(Presenter(),
                       presenter ? std::move(presenter) : ShowRuntimeErrorReportByDefault);
}

void ReportRuntimeError(int32_t code, const Text& message) {
  Presenter()(RuntimeErrorReportText(code, message));
  std::exit(-1);
}

void ReportRuntimeError(const RuntimeError& error) {
  ReportRuntimeError(error.code(), error.message());
}

void ReportCurrentException() {
  try {
    std::rethrow_exception(std::current_exception());
  } catch (const RuntimeError& error) {
    ReportRuntimeError(error);
  } catch (const std::bad_alloc&) {
    ReportRuntimeError(
        RuntimeError::AllocationFailed(static_cast<int64_t>(failed_allocation_bytes)));
  } catch (const std::exception& error) {
    // Library messages are ASCII or UTF-8; the report is GBK.
    ReportRuntimeError(0, Utf8ToGbk(error.what()));
  } catch (...) {
    ReportRuntimeError(0, Gbk("未知的内部错误"));
  }
}

void ReportUncaughtExceptions() {
  std::set_terminate([] {
    if (std::current_exception() != nullptr) ReportCurrentException();
    std::abort();
  });
}

void RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    ReportCurrentException();
  }
}

}  // namespace zelkor

// The global allocation functions, replaced only to note the size of a
// request that fails, which the report names; otherwise they are the usual
// malloc loop. The whole family is replaced, deallocation included: every
// block must go back through the allocator it came from, and a tool that
// interposes its own operator delete would otherwise be handed malloc blocks.
void* operator new(std::size_t size) {
  for (;;) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) {
      zelkor::failed_allocation_bytes = size;
      throw std::bad_alloc();
    }
    handler();
  }
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return ::operator new(size, std::nothrow);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
