#include "runtime/gbk.h"

#include <gtest/gtest.h>

namespace zelkor {
namespace {

TEST(GbkTest, ProgramTextsHaveTheirGbkBytes) {
  struct Case {
    const char* utf8;
    std::string gbk;
  };
  const Case cases[] = {
      {"┊", "\xA9\xAE"},
      {"【", "\xA1\xBE"},
      {"】", "\xA1\xBF"},
      {"准√", "\xD7\xBC\xA1\xCC"},
      {"错Ｘ", "\xB4\xED\xA3\xD8"},
      {"期:", "\xC6\xDA:"},
      {"信息：", "\xD0\xC5\xCF\xA2\xA3\xBA"},
      {"abc", "abc"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Gbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
  }
}

TEST(GbkTest, UnconvertibleCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");       // no GBK form
  EXPECT_EQ(Utf8ToGbk("a\xC3(b"), "a?(b");  // broken UTF-8
  EXPECT_EQ(GbkToUtf8("a\xFF"
                      "b"),
            "a?b");                     // not a GBK byte
  EXPECT_EQ(GbkToUtf8("a\xB4"), "a?");  // lead byte cut off at the end
  const std::string long_text(100000, 'x');
  EXPECT_EQ(Utf8ToGbk(long_text), long_text);
  // 1500 ideographic spaces (A1 A1), then a lead byte cut off at the end.
  std::string spaces;
  for (int i = 0; i < 1500; ++i) spaces += "\u3000";
  EXPECT_EQ(GbkToUtf8(std::string(3000, '\xA1') + std::string(1, '\xBE')), spaces + "?");
}

// Long texts are converted a piece at a time; characters that straddle a
// piece's end must come through whole, in both directions.
TEST(GbkTest, LongTextsConvertWholeAcrossPieces) {
  std::string utf8;
  std::string gbk;
  std::string utf8_back;
  for (int i = 0; i < 5000; ++i) {
    // One byte, then two characters of three UTF-8 bytes (two GBK bytes):
    // every alignment to a piece's end comes round.
    utf8 += "a中Ｘ";
    gbk += "a\xD6\xD0\xA3\xD8";
    utf8_back += "a中Ｘ";
    if (i % 7 == 0) {
      utf8 += "\xC3";  // broken UTF-8
      gbk += "?";
      utf8_back += "?";
    }
  }
  EXPECT_EQ(Utf8ToGbk(utf8), gbk);
  EXPECT_EQ(GbkToUtf8(gbk), utf8_back);
}

}  // namespace
}  // namespace zelkor
