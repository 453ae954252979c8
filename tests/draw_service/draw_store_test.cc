#include "draw_service/store/draw_store.h"
#include "draw_service/store/commands.h"
#include "draw_service/store/store_text.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST_F(StoreTest, AStoreThePlayerBrokeIsNeitherUsedNorOverwritten) {
  const std::string broken = "issue,date,digits\n2026225,2026-08-23,12\n";
  WriteStore(broken);
  const CommandResult result = AddDraw(Store(), "2026226", "456", "2026-08-24");
  EXPECT_EQ(result.exit_code, kNotStored);
  EXPECT_THAT(result.message, HasSubstr(":2: 第2行"));
  EXPECT_THAT(result.message, HasSubstr("digits '12'"));
  EXPECT_EQ(StoreText(), broken);
  // Emptied down to its header it is simply empty.
  WriteStore("issue,date,digits\r\n");
  EXPECT_EQ(AddDraw(Store(), "2026225", "123", "2026-08-23").exit_code, kAdded);
}

// UTF-16 with a byte order mark, as an editor saves "Unicode", of an ASCII text.
std::string Utf16(std::string_view ascii, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
  return bytes;
}

std::string Crlf(std::string_view text) {
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

TEST(StoreTextTest, ReadsTheStoreAsEditorsSaveItAndNamesOnlyTheLinesItCannot) {
  const std::string good = "issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,456\n";
  const std::vector<std::string> both = {"2026225 2026-08-23 123", "2026226 2026-08-24 456"};
  struct Case {
    std::string name;
    std::string bytes;
    std::vector<std::string> draws;
    int unread_line;  // 0: none
    std::string reason_part;
  };
  const Case cases[] = {
      {"UTF-8 with a mark, CR LF", "\xEF\xBB\xBF" + Crlf(good), both, 0, ""},
      {"UTF-16 little-endian", Utf16(Crlf(good), false), both, 0, ""},
      {"UTF-16 big-endian", Utf16(good, true), both, 0, ""},
      {"blanks, empty lines, a repeat, no header",
       " 2026225 , 2026-08-23 ,123 \n\n2026225,2026-08-23,123\n\t2026226,2026-08-24,456\n\n", both,
       0, ""},
      {"dates as people write them", "2026225,2026/8/23,123\n2026226,2026.08.24,456", both, 0, ""},
      {"full-width commas, any order",
       "2026226\xEF\xBC\x8C"
       "2026-08-24\xEF\xBC\x8C"
       "456\n2026225,2026-8-23,123\n",
       both, 0, ""},
      {"a bad line among good ones",
       "issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,45\n2026227,2026-08-25,789\n",
       {"2026225 2026-08-23 123", "2026227 2026-08-25 789"},
       3,
       "号码应为三位数字"},
      {"the same issue otherwise", good + "2026226,2026-08-24,457\n", both, 4,
       "第3行已有第2026226期"},
      {"a date before the previous issue's", good + "2026227,2026-08-01,789\n", both, 4,
       "日期早于上一期"},
      {"a date that is none", good + "2026227,2026/13/1,789\n", both, 4, "日期无法识别"},
      {"a line of something else", good + "hello\n", both, 4, "应为三栏"},
      {"a wrong header is a line too",
       "issue;date;digits\n2026225,2026-08-23,123\n",
       {"2026225 2026-08-23 123"},
       1,
       "应为三栏"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StoreReading reading = ReadStoreText(c.bytes);
    EXPECT_EQ(Lines(reading.draws), c.draws);
    if (c.unread_line == 0) {
      EXPECT_TRUE(reading.unread.empty()) << UnreadLineText(reading.unread.front());
    } else {
      ASSERT_EQ(reading.unread.size(), 1u);
      EXPECT_EQ(reading.unread[0].line, c.unread_line);
      EXPECT_THAT(UnreadLineText(reading.unread[0]), HasSubstr(c.reason_part));
    }
  }
}

}  // namespace
}  // namespace zelkor::service
