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

  ASSERT_EQ(AddDraw(store, "2026225", "123", "2026-08-23", {}).exit_code, kAdded);
  served.Refresh();
  const std::vector<DrawRecord> rows = ParseDrawList(holder.Current()->draw_list);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows.front(), (DrawRecord{"2026225", "123"}));
  EXPECT_EQ(before->draw_list.find("2026225"), std::string::npos) << "a document was changed";

  // A store broken by hand keeps the documents as they were.
  WriteStore("issue,date,digits\nbroken\n");
  served.Refresh();
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026225");
  EXPECT_THAT(log, ::testing::Contains(HasSubstr("cannot use the store")));
}

}  // namespace
}  // namespace zelkor::service
