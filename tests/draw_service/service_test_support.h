// What the draw service's unit tests share: reading small histories, draw
// list rows, and a store in a folder of the test's own.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/store/draw_store.h"
#include "draws/draws.h"

namespace zelkor::service {

using ::testing::HasSubstr;

inline constexpr char kShipped[] =
    "issue,date,digits\n2026222,2026-08-20,380\n2026223,2026-08-21,948\n2026224,2026-08-22,862\n";

// The draws of a history text that must parse.
inline std::vector<HistoryDraw> Draws(std::string_view text) {
  auto parsed = ParseHistory(text);
  if (const auto* error = std::get_if<HistoryError>(&parsed)) {
    ADD_FAILURE() << "line " << error->line << ": " << error->reason << " in\n" << text;
    return {};
  }
  return std::get<std::vector<HistoryDraw>>(std::move(parsed));
}

// One row of a draw list document.
inline std::string Row(std::string_view issue, std::string_view opencode, std::string_view date) {
  return "<row expect=\"" + std::string(issue) + "\" opencode=\"" + std::string(opencode) +
         "\" opentime=\"" + std::string(date) + " 21:15:00\" trycode=\"\" tryinfo=\"\" />\n";
}

// Draws as "issue date digits" lines, for comparing whole histories.
inline std::vector<std::string> Lines(const std::vector<HistoryDraw>& draws) {
  std::vector<std::string> lines;
  for (const HistoryDraw& d : draws) lines.push_back(d.issue + " " + d.date + " " + d.digits);
  return lines;
}

// The issues of draws, in their order.
inline std::vector<std::string> Issues(const std::vector<HistoryDraw>& draws) {
  std::vector<std::string> issues;
  for (const HistoryDraw& draw : draws) issues.push_back(draw.issue);
  return issues;
}

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// A store over kShipped in a folder of the test's own, emptied before and
// after each test.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::path(::testing::TempDir()) /
        ("store-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  void WriteStore(std::string_view text) {
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / kStoreFileName, std::ios::binary) << text;
  }
  std::string StoreText() const { return ReadAll(folder_ / kStoreFileName); }
  DrawStore Store() const { return DrawStore(Draws(kShipped), folder_); }
  std::filesystem::path folder_;
};

}  // namespace zelkor::service
