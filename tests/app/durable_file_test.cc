// The store survives its writer being killed at any moment, and a full disk.
#include "draw_service/durable_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "draw_service/commands.h"
#include "draw_service/draw_store.h"

namespace zelkor::service {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::filesystem::path Folder(const char* name) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// A history of `count` draws from issue `first` on, as the store would hold them.
std::string Draws(int first, int count, char digit) {
  std::vector<HistoryDraw> draws;
  for (int i = 0; i < count; ++i) {
    const std::string issue = std::to_string(first + i);
    draws.push_back({issue, issue.substr(0, 4) + "-01-01", std::string(3, digit)});
  }
  return HistoryText(draws);
}

TEST(DurableFileTest, AWriterKilledAtAnyMomentLeavesTheOldContentsOrTheNew) {
  const std::filesystem::path folder = Folder("kill");
  const std::filesystem::path file = folder / kStoreFileName;
  // Large enough that a write takes a while, so that kills land inside it.
  const std::string contents[2] = {Draws(2027001, 900, '1') + Draws(2028001, 900, '1'),
                                   Draws(2027001, 900, '2') + Draws(2028001, 999, '2')};
  ASSERT_EQ(ReplaceFileDurably(file, contents[0]), "");
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> delay_us(0, 20000);
  int seen[2] = {0, 0};
  for (int kill = 0; kill < 200; ++kill) {
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      for (int k = 1;; ++k) {
        const FileLock lock(folder / kStoreLockName);
        if (!ReplaceFileDurably(file, contents[k % 2]).empty()) _exit(1);
      }
    }
    usleep(static_cast<useconds_t>(delay_us(random)));
    ::kill(writer, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own, status " << status;
    // The lock went with the writer.
    const FileLock lock(folder / kStoreLockName);
    const std::string now = ReadAll(file);
    ASSERT_TRUE(now == contents[0] || now == contents[1])
        << "after kill " << kill << ": " << now.size() << " bytes of neither";
    ++seen[now == contents[1] ? 1 : 0];
  }
  // Kills landed both before and after a replacement.
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  std::cout << "kills leaving the old contents: " << seen[0] << ", the new: " << seen[1] << "\n";
}

TEST(DurableFileTest, AFullDiskIsToldAndLeavesTheStoreAsItWas) {
  const std::filesystem::path folder = Folder("full");
  const std::string before = Draws(2026225, 100, '5');
  std::ofstream(folder / kStoreFileName, std::ios::binary) << before;
  const pid_t adder = fork();
  ASSERT_GE(adder, 0);
  if (adder == 0) {
    // A file-size limit below the store's size stands in for a full disk.
    const rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const DrawStore store({}, folder);
    const CommandResult result = AddDraw(store, "2026325", "123", "2026-01-01", {});
    const bool told = result.exit_code == kNotStored &&
                      result.message.find("cannot write") != std::string::npos &&
                      result.message.find("File too large") != std::string::npos;
    _exit(told ? 0 : 1);
  }
  int status = 0;
  waitpid(adder, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(ReadAll(folder / kStoreFileName), before);
  EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(folder / kStoreFileName)));
}

}  // namespace
}  // namespace zelkor::service
