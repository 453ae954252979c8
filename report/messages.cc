#include "report/messages.h"

#include <array>
#include <ostream>
#include <utility>

#include "backtest/wording.h"
#include "runtime/printable.h"

namespace zelkor {

std::string ErrorLine(std::string_view what) {
  return std::string(kProgram) + ": " + Printable(what);
}

void Warn(std::ostream& err, HelpLanguage language, std::string_view what) {
  err << ErrorLine(std::string(InLanguage(language, "warning: ", "警告:")) + std::string(what))
      << '\n';
}

std::string SystemReason(std::string_view english, HelpLanguage language) {
  if (language != HelpLanguage::kChinese) return std::string(english);
  // The beginnings of the reasons the tool can meet: the C library's for
  // files, the downloader's own for addresses and transfers.
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kKnown{{
      {"No such file or directory", "文件不存在"},
      {"Permission denied", "没有权限"},
      {"Is a directory", "这是一个文件夹"},
      {"Not a directory", "路径中有一段不是文件夹"},
      {"No space left on device", "磁盘空间不足"},
      {"Read-only file system", "只读的文件系统"},
      {"Too many open files", "打开的文件太多"},
      {"File name too long", "文件名太长"},
      {"Input/output error", "读写出错"},
      {"cannot open", "无法打开"},
      {"connection refused", "连接被拒绝"},
      {"unknown host", "找不到这个主机"},
      {"not an http or https address", "不是 http 或 https 地址"},
      {"malformed address", "地址格式不对"},
      {"timed out", "超时"},
      {"no connection within", "连接超时"},
      {"nothing received for", "长时间没有收到数据"},
      {"the transfer broke off", "传输中断"},
      {"TLS failure", "安全连接(TLS)失败"},
      {"HTTP ", "服务器返回错误"},
  }};
  for (const auto& [start, chinese] : kKnown) {
    if (english.starts_with(start)) return std::string(chinese) + "(" + std::string(english) + ")";
  }
  return std::string(english);
}

}  // namespace zelkor
