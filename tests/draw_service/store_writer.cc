// zelkor3d-store-writer FOLDER FILE_A FILE_B: replaces the store in FOLDER
// with FILE_A's bytes, then FILE_B's, then FILE_A's ... for ever, each under
// the store's lock, as the service does; the kill test ends it at random
// moments. It creates FOLDER/writing once it has begun.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw_service/store/draw_store.h"
#include "draw_service/store/durable_file.h"
#include "runtime/read_file.h"
#include "runtime/program_io.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: zelkor3d-store-writer FOLDER FILE_A FILE_B\n");
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
