// zelkor3d-store-writer FOLDER FILE_A FILE_B [--commands]: replaces the
// store in FOLDER with FILE_A's bytes, then FILE_B's, then FILE_A's ... for
// ever, each under the store's lock, as the service does; the kill test ends
// it at random moments. With --commands, FILE_B is FILE_A and one draw more,
// which the commands add and remove take in turn (FILE_A is the store at
// first). It creates FOLDER/writing once it has begun.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw_service/store/commands.h"
#include "draw_service/store/draw_store.h"
#include "draw_service/store/durable_file.h"
#include "runtime/program_io.h"
#include "runtime/read_file.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
  const bool commands = args.size() == 4 && args[3] == "--commands";
  if (args.size() != 3 && !commands) {
    std::fprintf(stderr, "usage: zelkor3d-store-writer FOLDER FILE_A FILE_B [--commands]\n");
    return 2;
  }
  const std::filesystem::path folder = std::filesystem::u8path(args[0]);
  std::string contents[2];
  for (int i = 0; i < 2; ++i) {
    if (!zelkor::ReadFileCapped(std::filesystem::u8path(args[1 + i]), contents[i]).empty()) {
      return 1;
    }
  }
  std::ofstream(folder / "writing") << "1";
  if (commands) {
    const zelkor::service::DrawStore store({}, folder);
    // The last line of FILE_B: the draw taken in and out.
    std::string last = contents[1].substr(0, contents[1].size() - 1);
    last = last.substr(last.rfind('\n') + 1);
    const std::string issue = last.substr(0, 7);
    const std::string date = last.substr(8, 10);
    const std::string digits = last.substr(19, 3);
    for (int k = 1;; ++k) {
      const zelkor::service::CommandResult result =
          k % 2 ? zelkor::service::AddDraw(store, issue, digits, date)
                : zelkor::service::RemoveDraw(store, issue);
      if (result.exit_code != zelkor::service::kAdded) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return 1;
      }
    }
  }
  for (int k = 1;; ++k) {
    const zelkor::service::FileLock lock(folder / zelkor::service::kStoreLockName);
    const std::string failure = zelkor::service::ReplaceFileDurably(
        folder / zelkor::service::kStoreFileName, contents[k % 2]);
    if (!failure.empty()) {
      std::fprintf(stderr, "%s\n", failure.c_str());
      return 1;
    }
  }
}
