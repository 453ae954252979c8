#include "draw_service/serve/served_history.h"
#include "draw_service/store/commands.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST_F(StoreTest, ServedHistoryShowsWhatWasStoredFromTheNextRefreshOn) {
  const DrawStore store = Store();
  DocumentHolder holder;
  std::vector<std::string> log;
  ServedHistory served(store, holder, 0, [&log](const std::string& line) { log.push_back(line); });
  served.Refresh();
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026224");
  const auto before = holder.Current();
  served.Refresh();
  EXPECT_EQ(holder.Current(), before) << "republished with nothing changed";

  ASSERT_EQ(AddDraw(store, "2026225", "123", "2026-08-23").exit_code, kAdded);
  served.Refresh();
  const std::vector<DrawRecord> rows = ParseDrawList(holder.Current()->draw_list);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows.front(), (DrawRecord{"2026225", "123"}));
  EXPECT_EQ(before->draw_list.find("2026225"), std::string::npos) << "a document was changed";

  // A line broken by hand keeps only itself from being served, and the
  // start page names it at the top.
  WriteStore("issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,45\n");
  served.Refresh();
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026225");
  const std::string& page = holder.Current()->start_page;
  EXPECT_LT(page.find("第3行“2026226,2026-08-24,45”:号码应为三位数字"), page.find("最新开奖"));
  EXPECT_THAT(log, ::testing::Contains(HasSubstr("added-draws.csv:3: 第3行")));
}

}  // namespace
}  // namespace zelkor::service
