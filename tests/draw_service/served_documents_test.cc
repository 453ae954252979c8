#include "draw_service/serve/served_documents.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST(DrawServiceTest, APublishLeavesTheDocumentsARequestHoldsAlone) {
  DocumentHolder holder;
  holder.Publish(Draws("issue,date,digits\n2026223,2026-08-21,948\n"));
  const std::shared_ptr<const ServedDocuments> held = holder.Current();
  EXPECT_EQ(holder.Current(), held);  // shared, not copied
  const std::string before = held->draw_list;
  holder.Publish(Draws("issue,date,digits\n2026224,2026-08-22,862\n"));
  EXPECT_EQ(held->draw_list, before);
  EXPECT_NE(holder.Current()->draw_list.find("2026224"), std::string::npos);
  EXPECT_NE(holder.Current()->start_page.find("2026224期"), std::string::npos);
}

}  // namespace
}  // namespace zelkor::service
