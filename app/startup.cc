#include "app/startup.h"

#include <atomic>

#include "app/rc4.h"
#include "draws/draws.h"
#include "runtime/gbk.h"
#include "ui/controls.h"

namespace zelkor {
namespace {

constexpr double kProgramVersion = 1.1;
// Colour scheme 1 of the themed drawing.
constexpr int kVisualStyle = 1;

std::atomic<int> release_count{0};

}  // namespace

Text ProgramVersionText() { return ToText(kProgramVersion); }

Text UpdateNoticeText(const Text& update_site) {
  return TextJoin(Gbk("软件已经更新,请到"), update_site, Gbk("下载最新版本!"));
}

bool VersionRecordCallsForNotice(const Bytes& record) {
  // An empty body is what every failed fetch gives; telling an offline user
  // that an update exists would be a notice nobody announced.
  if (record.empty()) return false;
  return TextCompare(TextFromBytes(record), ProgramVersionText()) != 0;
}

void RunStartup(UiOperations& ui, const StartupConfig& config) {
  // Each address is deciphered just before its use and gone right after it.
  {
    const Text startup_page =
        DecipherText(ToBytes(config.enciphered_startup_page), config.password);
    ui.OpenWebAddress(startup_page);
  }
  {
    const Text version_address =
        DecipherText(ToBytes(config.enciphered_version_record), config.password);
    // A record that came with an error status, or was cut short by its
    // deadline or a broken transfer, is no answer: a piece of one would
    // differ from every version.
    const FetchResult record =
        FetchWithReason(version_address, FetchOptions::Within(kVersionRecordDeadline));
    if (record.failure.empty() && VersionRecordCallsForNotice(record.body)) {
      ui.ShowMessage(UpdateNoticeText(config.update_site));
    }
  }
  LoadDrawHistory(ui, DrawListAddress(config.draw_host), FetchOptions::Within(kDrawListDeadline));
  ui.CheckRadio(ctl::单选框_百, true);
  ui.ApplyVisualStyle(kVisualStyle);
}

void ReleaseProgramTexts() {
  // The digit texts of the analyses are plain values owned by their callers,
  // so nothing program-wide is left to free; what stays is the guarantee that
  // the end routine does its work exactly once, however often it is reached.
  int expected = 0;
  release_count.compare_exchange_strong(expected, 1);
}

int ProgramTextReleaseCount() { return release_count.load(); }

}  // namespace zelkor
