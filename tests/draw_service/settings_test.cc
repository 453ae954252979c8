#include "draw_service/update/settings.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST(SettingsTest, ReadsUpstreamsSkipsCommentsAndWarnsOfTheRest) {
  const Settings settings = ParseSettings(
      "# my upstreams\n; also a comment\n\nupstream = http://127.0.0.1:8080/a.xml\r\n"
      "  upstream=http://127.0.0.1:8081/b.csv  \nupstrem = x\nupstream =\njust words\n"
      "upstream = 127.0.0.1:8082/c.xml\n",
      "draw-service.conf");
  EXPECT_THAT(settings.upstreams,
              ::testing::ElementsAre("http://127.0.0.1:8080/a.xml", "http://127.0.0.1:8081/b.csv"));
  EXPECT_THAT(settings.warnings,
              ::testing::ElementsAre(HasSubstr("draw-service.conf:6: unknown setting 'upstrem'"),
                                     HasSubstr(":7: upstream without an address"),
                                     HasSubstr(":8: expected key = value"),
                                     HasSubstr(":9: upstream '127.0.0.1:8082/c.xml' is not an "
                                               "http:// or https:// address")));
}

}  // namespace
}  // namespace zelkor::service
