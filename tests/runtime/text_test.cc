#include "runtime/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "runtime/gbk.h"
#include "runtime/lines.h"

namespace zelkor {
namespace {

// "ab" + one double-byte character + "c".
const Text kMixed = "ab" + Gbk("中") + "c";
// The same with a character whose trail byte is 0x63 ('c'), which a byte-wise
// search would find one byte too early.
const Text kTrailC = "ab" + Gbk("癱") + "c";

TEST(TextTest, LeftAndMidCountBytes) {
  struct Case {
    Text text;
    int32_t start;
    int32_t count;
    Text mid;
  };
  const Case cases[] = {
      {"123", 1, 1, "1"},
      {"123", 3, 1, "3"},
      {"123", 4, 1, ""},
      {"123", 0, 1, ""},
      {"123", 2, 0, ""},
      {"123", 2, 99, "23"},
      {"", 1, 1, ""},
      {"123", -5, 3, ""},
      {kMixed, 3, 2, Gbk("中")},
      {kMixed, 4, 1, kMixed.substr(3, 1)},
      {"123", 2, std::numeric_limits<int32_t>::max(), "23"},
      {Text("12\0"
            "45",
            5),
       2, 9, "2"},  // a zero byte ends the text
      {Text("12\0"
            "45",
            5),
       4, 1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextMid(c.text, c.start, c.count), c.mid) << c.text << " " << c.start;
  }
  EXPECT_EQ(TextLeft("12345", 2), "12");
  EXPECT_EQ(TextLeft("12345", 0), "");
  EXPECT_EQ(TextLeft("12345", -1), "");
  EXPECT_EQ(TextLeft("12345", 9), "12345");
  EXPECT_EQ(TextLeft(Text("12\0"
                          "45",
                          5),
                     4),
            "12");
  EXPECT_EQ(TextLength(kMixed), 5);
}

TEST(TextTest, FindStepsOverDoubleByteCharacters) {
  EXPECT_EQ(TextFind(kMixed, "c"), 5);
  // Trail byte of "中" in GBK is 0xD0; it never starts a match.
  EXPECT_EQ(TextFind(kMixed, Text(1, kMixed[3])), -1);
  // The lead byte does start a candidate.
  EXPECT_EQ(TextFind(kMixed, Gbk("中")), 3);
  ASSERT_EQ(kTrailC[3], 'c');
  EXPECT_EQ(TextFind(kTrailC, "c"), 5);
  EXPECT_EQ(TextFind(kTrailC, "C", 1, true), 5);
  EXPECT_EQ(TextReplace(kTrailC, "c"), "ab" + Gbk("癱"));
  EXPECT_EQ(TextSplit(kTrailC, "c").items(), std::vector<Text>{"ab" + Gbk("癱")});
  EXPECT_EQ(TextFind("abcabc", "c", 4), 6);
  EXPECT_EQ(TextFind("abc", ""), 1);
  EXPECT_EQ(TextFind("", ""), -1);
  EXPECT_EQ(TextFind("abc", "", 4), -1);
  EXPECT_EQ(TextFind("abc", "abcd"), -1);
  EXPECT_EQ(TextFind("aBc", "bC", 1, true), 2);
  EXPECT_EQ(TextFind("aBc", "bC"), -1);
  EXPECT_EQ(TextFind("469", ""), 1);  // an empty needle is "found"
}

TEST(TextTest, ReplaceDeletesEveryDot) {
  EXPECT_EQ(TextReplace("846.926784287", "."), "846926784287");
  EXPECT_EQ(TextReplace("1.2.3", ".", "-", 1, 1), "1-2.3");
  EXPECT_EQ(TextReplace("1.2.3", ".", "-", 3), "1.2-3");
  EXPECT_EQ(TextReplace("1.2.3", ".", "-", 9), "1.2.3");
  EXPECT_EQ(TextReplace("1.2.3", ".", "-", 1, 0), "1.2.3");
  EXPECT_EQ(TextReplace("", "."), "");
  EXPECT_EQ(TextReplace("abc", ""), "abc");
  EXPECT_EQ(TextReplace("aAa", "a", "x", 1, std::nullopt, false), "xxx");
  // A search text that only appears across a character boundary stays.
  const Text two = Gbk("中中");
  EXPECT_EQ(TextReplace(two, two.substr(1, 2)), two);
}

TEST(TextTest, SplitKeepsInnerEmptyPiecesAndDropsEmptyTail) {
  struct Case {
    Text text;
    Text delimiter;
    std::optional<int32_t> max;
    std::vector<Text> pieces;
  };
  const Case cases[] = {
      {"1.2.3", ".", std::nullopt, {"1", "2", "3"}},
      {".5", ".", std::nullopt, {"", "5"}},
      {"5.", ".", std::nullopt, {"5"}},
      {"7.", ".", std::nullopt, {"7"}},
      {"1..2", ".", std::nullopt, {"1", "", "2"}},
      {"", ".", std::nullopt, {}},
      {"1.2", "", std::nullopt, {"1.2"}},
      {"1.2.3", ".", 2, {"1", "2"}},
      {"1.2.3", ".", 0, {}},
      {"1.2.3", ".", -3, {}},
      {"a,b", ",", std::nullopt, {"a", "b"}},
      {"136.154464048", ".", std::nullopt, {"136", "154464048"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextSplit(c.text, c.delimiter, c.max).items(), c.pieces) << c.text;
  }
}

// A line break is "\n" or "\r\n"; a last line without one counts, an empty
// text has no line, and a lone "\r" inside a line stays.
TEST(LineReaderTest, SplitsAtLineBreaksAndNumbersFromOne) {
  const std::pair<std::string_view, std::vector<std::string>> cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"\n\r\n", {"", ""}},
      {"a\rb\r\r\n", {"a\rb\r"}},
  };
  for (const auto& [text, expected] : cases) {
    LineReader lines(text);
    std::vector<std::string> read;
    while (const std::optional<std::string_view> line = lines.Next()) {
      read.emplace_back(*line);
      EXPECT_EQ(lines.number(), static_cast<int>(read.size()));
    }
    EXPECT_EQ(read, expected) << text;
  }
}

TEST(TextTest, CompareIsUnsignedBytewise) {
  EXPECT_EQ(TextCompare("1.1", "1.1"), 0);
  EXPECT_EQ(TextCompare("1.1", "1.10"), -1);
  EXPECT_EQ(TextCompare("1.10", "1.1"), 1);
  EXPECT_EQ(TextCompare("", ""), 0);
  EXPECT_EQ(TextCompare("\x80", "a"), 1);
  EXPECT_EQ(TextJoin(Text("1"), "2", std::string_view("3")), "123");
}

TEST(TextTest, ToNumberIsLenient) {
  struct Case {
    Text text;
    double value;
  };
  const Case cases[] = {
      {Gbk("１２"), 12}, {" 3.5abc", 3.5},    {"", 0},       {"abc", 0},
      {"-2", -2},        {"+7", 7},           {".5", 0.5},   {"5.", 5},
      {"1e3", 1000},     {"1e", 1},           {"1e+", 1},    {"-.", 0},
      {"012", 12},       {"1,5", 1},          {"\t\n 8", 8}, {Gbk("－３．５"), -3.5},
      {Gbk("　4"), 4},   {"1e999", HUGE_VAL},
  };
  for (const auto& c : cases) EXPECT_EQ(ToNumber(c.text), c.value) << c.text;
}

TEST(TextTest, ToIntegerReadsSignAndDigitsOnly) {
  struct Case {
    Text text;
    int32_t value;
  };
  const Case cases[] = {
      {"3.9", 3},
      {"-0", 0},
      {"", 0},
      {"x", 0},
      {"0123", 123},
      {"2024358", 2024358},
      {Gbk("２０"), 20},
      {" -42z", -42},
      {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ToInteger(c.text), c.value) << c.text;
  EXPECT_EQ(ToInteger(2.7), 2);
  EXPECT_EQ(ToInteger(-2.7), -2);
  EXPECT_EQ(TruncateToInteger(-2.7), -2);
  EXPECT_EQ(TruncateToInteger(1e20), 2147483647);
}

TEST(TextTest, ToTextPrintsThirteenSignificantDigits) {
  struct Case {
    double value;
    Text text;
  };
  const Case cases[] = {
      {0.1 + 0.2, "0.3"},
      {1.0, "1"},
      {136.154464048, "136.154464048"},
      {0.0, "0"},
      {2024124.0, "2024124"},
      {1.1, "1.1"},
      {12.5, "12.5"},
      {1e13, "1e+13"},
      {0.0001, "0.0001"},
      {0.00001, "1e-05"},
      {-2.5, "-2.5"},
      {1234567890123.0, "1234567890123"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToText(c.value), c.text) << c.value;
  EXPECT_EQ(ToText(int32_t{-12}), "-12");
  EXPECT_EQ(ToText(true), Gbk("真"));
  EXPECT_EQ(ToText(false), Gbk("假"));
  EXPECT_EQ(TextFromBytes(Bytes("1.1\0rest", 8)), "1.1");
  EXPECT_EQ(ToBytes("abc").size(), 3u);
}

TEST(TextTest, NumbersIgnoreTheProcessLocale) {
  // A decimal-comma locale must not change how numbers are read or printed.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE")) {
    GTEST_SKIP() << "no German locale installed";
  }
  EXPECT_EQ(ToNumber("3.25"), 3.25);
  EXPECT_EQ(ToText(3.25), "3.25");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextTest, RoundNumberRoundsHalvesAwayFromZero) {
  struct Case {
    double value;
    int32_t places;
    double rounded;
  };
  const Case cases[] = {
      {2.5, 0, 3},
      {-2.5, 0, -3},
      {1.25, 1, 1.3},
      {0, 9, 0},
      {2.4, 0, 2},
      {-2.4, 0, -2},
      {1234.5, -2, 1200},
      {1250, -2, 1300},
      {0.15572735, 9, 0.15572735},
      {2.675, 2, 2.68},         // 267.49999… + 1e-12
      {0.4999999999995, 0, 1},  // short of a half by less than 1e-12
      {0.499999999998, 0, 0},
      // Places beyond what a double can scale by.
      {2.5, std::numeric_limits<int32_t>::min(), 0},
      {2.5, std::numeric_limits<int32_t>::max(), 2.5},
      {1e300, 20, 1e300},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(RoundNumber(c.value, c.places), c.rounded) << c.value << " " << c.places;
  }
  EXPECT_EQ(AbsValue(-3.5), 3.5);
  EXPECT_EQ(AbsValue(3.5), 3.5);
}

TEST(TextTest, ArraysAreAddressedFromOne) {
  TextArray array{"a", "b"};
  EXPECT_EQ(array.At(1), "a");
  EXPECT_EQ(array.At(2), "b");
  try {
    (void)array.At(0);
    FAIL() << "index 0 was accepted";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.code(), 4);
    EXPECT_EQ(error.message(), Gbk("数组成员引用下标必须大于等于1"));
  }
  try {
    (void)array.At(3);
    FAIL() << "index count + 1 was accepted";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.code(), 1);
    EXPECT_EQ(error.message(), Gbk("数组成员引用下标超出定义范围"));
  }
  Array<int32_t> numbers{3, 1, 2};
  SortArray(numbers);
  EXPECT_EQ(numbers.items(), (std::vector<int32_t>{1, 2, 3}));
  SortArray(numbers, false);
  EXPECT_EQ(numbers.items(), (std::vector<int32_t>{3, 2, 1}));
}

}  // namespace
}  // namespace zelkor
