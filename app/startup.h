// The start-up sequence that runs before the main window is first shown, and
// the routine that runs once when the program ends.
#pragma once

#include <chrono>

#include "runtime/text.h"
#include "ui/ui_operations.h"

namespace zelkor {

// Where start-up goes. The two addresses the program opens and fetches are
// held enciphered (zero-terminated RC4 under `password`) and deciphered only
// for their use.
struct StartupConfig {
  Text enciphered_startup_page;    // opened in the browser
  Text enciphered_version_record;  // fetched and compared with the version
  Text password;                   // one character
  Text update_site;                // GBK; named in the update notice
  Text draw_host;                  // host[:port] of the draw-data service
};

// The addresses this build was configured with.
[[nodiscard]] const StartupConfig& BuiltInStartupConfig();

// The version this program is, in its text form ("1.1").
[[nodiscard]] Text ProgramVersionText();

// "软件已经更新,请到" + site + "下载最新版本!" (GBK).
[[nodiscard]] Text UpdateNoticeText(const Text& update_site);

// Whether a fetched version record calls for the update notice: any record
// that is not exactly the program's version does, except an empty one, which
// means the record could not be fetched and so announces nothing.
[[nodiscard]] bool VersionRecordCallsForNotice(const Bytes& record);

// How long start-up waits for the version record and then for the draw list
// (each download at most, connecting included); the window shows after both.
inline constexpr std::chrono::seconds kVersionRecordDeadline{10};
inline constexpr std::chrono::seconds kDrawListDeadline{30};

// Opens the start-up page, checks the version record (showing the update
// notice when it names another version), lists the draw history, chooses the
// hundreds position and switches the themed drawing on, in that order.
void RunStartup(UiOperations& ui, const StartupConfig& config = BuiltInStartupConfig());

// The end routine: releases the program-wide texts. Runs its work once per
// process; later calls do nothing.
void ReleaseProgramTexts();

// How many times the end routine has done its work in this process (0 or 1).
[[nodiscard]] int ProgramTextReleaseCount();

}  // namespace zelkor
