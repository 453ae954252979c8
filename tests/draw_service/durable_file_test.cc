// The store survives its writer being killed at any moment, and (on Linux,
// through a file-size limit) a full disk.
#include "draw_service/store/durable_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "draw_service/history/schedule.h"
#include "draw_service/store/commands.h"
#include "draw_service/store/draw_store.h"

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

// The writer program in a process of its own, ended the hard way.
class Writer {
 public:
  Writer(const std::filesystem::path& folder, const std::filesystem::path& a,
         const std::filesystem::path& b, bool commands) {
#ifdef _WIN32
    std::wstring command = L"\"" + Beside(L"zelkor3d-store-writer.exe").wstring() + L"\" \"" +
                           folder.wstring() + L"\" \"" + a.wstring() + L"\" \"" + b.wstring() +
                           L"\"" + (commands ? L" --commands" : L"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
      CloseHandle(process.hThread);
      process_ = process.hProcess;
    }
#else
    const std::string program = ZELKOR_STORE_WRITER;
    const std::string args[] = {folder.string(), a.string(), b.string(), "--commands"};
    char* argv[] = {const_cast<char*>(program.c_str()),
                    const_cast<char*>(args[0].c_str()),
                    const_cast<char*>(args[1].c_str()),
                    const_cast<char*>(args[2].c_str()),
                    commands ? const_cast<char*>(args[3].c_str()) : nullptr,
                    nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
#endif
  }
  [[nodiscard]] bool started() const {
#ifdef _WIN32
    return process_ != nullptr;
#else
    return pid_ > 0;
#endif
  }
  // Ends the writer at once; true when it was still running (it never ends
  // on its own unless a write fails).
  bool Kill() {
#ifdef _WIN32
    const bool running = WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
    TerminateProcess(process_, 9);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
    return running;
#else
    ::kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFSIGNALED(status);
#endif
  }

 private:
#ifdef _WIN32
  static std::filesystem::path Beside(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / name;
  }
  HANDLE process_ = nullptr;
#else
  pid_t pid_ = -1;
#endif
};

// Kills the writer 200 times at random moments; the store must hold one of
// `contents` whole every time, and each of them some time.
void KillWhileWriting(const char* name, const std::string (&contents)[2], bool commands) {
  const std::filesystem::path folder = Folder(name);
  const std::filesystem::path file = folder / kStoreFileName;
  std::ofstream(folder / "a.csv", std::ios::binary) << contents[0];
  std::ofstream(folder / "b.csv", std::ios::binary) << contents[1];
  ASSERT_EQ(ReplaceFileDurably(file, contents[0]), "");
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> delay_us(0, 20000);
  int seen[2] = {0, 0};
  for (int kill = 0; kill < 200; ++kill) {
    std::filesystem::remove(folder / "writing");
    Writer writer(folder, folder / "a.csv", folder / "b.csv", commands);
    ASSERT_TRUE(writer.started());
    // The clock starts once the writer is writing, however long a process
    // takes to start.
    for (int wait = 0; wait < 10000 && !std::filesystem::exists(folder / "writing"); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    ASSERT_TRUE(writer.Kill()) << "the writer ended on its own";
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

TEST(DurableFileTest, AWriterKilledAtAnyMomentLeavesTheOldContentsOrTheNew) {
  // Large enough that a write takes a while, so that kills land inside it.
  const std::string contents[2] = {Draws(2027001, 900, '1') + Draws(2028001, 900, '1'),
                                   Draws(2027001, 900, '2') + Draws(2028001, 999, '2')};
  KillWhileWriting("kill", contents, false);
}

TEST(DurableFileTest, AddAndRemoveKilledAtAnyMomentLeaveTheStoreWithOrWithoutTheDraw) {
  // A year of daily draws, and the next one, which add and remove take turns at.
  std::vector<HistoryDraw> draws;
  for (int day = 0; day < 360; ++day) {
    const std::string issue = std::to_string(2025001 + day);
    draws.push_back(
        {issue,
         DateText(std::chrono::sys_days{std::chrono::year{2025} / 1 / 1} + std::chrono::days{day}),
         "123"});
  }
  const HistoryDraw next = draws.back();
  draws.pop_back();
  const std::string contents[2] = {HistoryText(draws), HistoryText(draws) + next.issue + "," +
                                                           next.date + "," + next.digits + "\n"};
  KillWhileWriting("kill-commands", contents, true);
}

#ifndef _WIN32
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
    const CommandResult result = AddDraw(store, "2026325", "123", "2026-01-02");
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

#endif  // _WIN32

}  // namespace
}  // namespace zelkor::service
