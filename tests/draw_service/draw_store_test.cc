#include "draw_service/store/commands.h"
#include "draw_service/store/draw_store.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST_F(StoreTest, AStoreThePlayerBrokeIsNeitherUsedNorOverwritten) {
  const std::string broken = "issue,date,digits\n2026225,2026-08-23,12\n";
  WriteStore(broken);
  const CommandResult result =
      AddDraw(Store(), "2026226", "456", "2026-08-24", std::chrono::sys_days{});
  EXPECT_EQ(result.exit_code, kNotStored);
  EXPECT_THAT(result.message, HasSubstr(":2: digits '12'"));
  EXPECT_EQ(StoreText(), broken);
  // Emptied down to its header it is simply empty.
  WriteStore("issue,date,digits\r\n");
  EXPECT_EQ(AddDraw(Store(), "2026225", "123", "2026-08-23", {}).exit_code, kAdded);
}

}  // namespace
}  // namespace zelkor::service
