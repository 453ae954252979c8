#include "analysis/picks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/gbk.h"

namespace zelkor {
namespace {

TEST(SplitDrawDigitsTest, TakesOneByteEachAndPadsWithEmpty) {
  struct Case {
    Text digits;
    std::array<Text, 3> expected;
  };
  const std::vector<Case> cases = {
      {"123", {"1", "2", "3"}},
      {"12", {"1", "2", ""}},
      {"", {"", "", ""}},
      {"1234", {"1", "2", "3"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitDrawDigits(c.digits), c.expected) << c.digits;
}

TEST(ComputeDrawValueTest, PrintsTheRoundedValueOfEveryWorkedDraw) {
  struct Case {
    Text digits;
    double multiplier;
    Text expected;
  };
  const std::vector<Case> cases = {
      // Kill-digit page, hundreds (1), tens (5) and units (2).
      {"123", 1.0, "136.154464048"},
      {"456", 1.0, "512.011671592"},
      {"789", 1.0, "887.868879136"},
      {"123", 5.0, "704.772320239"},
      {"123", 2.0, "278.308928096"},
      {"12", 1.0, "10.8687282"},
      // Banker page.
      {"123", 6.0, "846.926784287"},
      {"907", 6.0, "6273.468238605"},
      {"458", 6.0, "3158.938757752"},
      {"999", 6.0, "6900.429735795"},
      {"001", 6.0, "5.9343641"},
      {"000", 6.0, "0"},
      // Kill-span page.
      {"907", 1.0, "1032.244706434"},
      {"458", 1.0, "512.323126292"},
      {"999", 1.0, "1127.571622633"},
      {"550", 1.0, "625.65004249"},
      {"001", 1.0, "0.15572735"},
      // Only the first three characters count; no multiplier leaves the sum.
      {"1234", 1.0, "136.154464048"},
      {"123", 0.0, "6"},
      {"", 1.0, "0"},
  };
  for (const Case& c : cases) {
    const DrawValue value = ComputeDrawValue(c.digits, c.multiplier);
    EXPECT_EQ(value.text, c.expected) << c.digits << " x" << c.multiplier;
    EXPECT_EQ(ToText(value.value), value.text);
  }
}

TEST(PickKillDigitTest, TakesTheFourthCharacterOfTheLastPiece) {
  const std::vector<std::pair<Text, Text>> cases = {
      {"136.154464048", "4"}, {"512.011671592", "6"}, {"887.868879136", "8"},
      {"704.772320239", "3"}, {"278.308928096", "9"}, {"10.8687282", "7"},
      {"12.5", ""},           {"0.123", ""},          {"0", ""},
      {"1234", "4"},  // a whole value: its own digits are the last piece
  };
  for (const auto& [value_text, expected] : cases) {
    EXPECT_EQ(PickKillDigit(value_text), expected) << value_text;
  }
}

TEST(KillDigitHoldsTest, ComparesWithTheDigitAtThePosition) {
  struct Case {
    int32_t position;
    Text kill;
    Text checked;
    bool held;
  };
  const std::vector<Case> cases =
      {
          {1, "4", "456", false}, {1, "6", "789", true}, {2, "5", "456", false},
          {3, "6", "456", false}, {3, "4", "456", true}, {1, "", "456", true},
          {0, "4", "456", true},  // no position reads "", which differs from 4
          {0, "", "456", false},  // ... and equals an empty kill digit
          {3, "6", "45", true},   // a missing digit is ""
          {3, "", "45", false},
      };
  for (const Case& c : cases) {
    EXPECT_EQ(KillDigitHolds(c.position, c.kill, c.checked), c.held)
        << c.position << " " << c.kill << " " << c.checked;
  }
}

TEST(PickDistinctDigitsTest, SkipsTheFirstCharacterAndCompletesFromTheFallback) {
  struct Case {
    Text value_text;
    int32_t count;
    Text expected;
  };
  const std::vector<Case> cases = {
      {"846.926784287", 3, "469"},
      {"6273.468238605", 3, "273"},
      {"3158.938757752", 3, "158"},
      {"6900.429735795", 3, "904"},
      {"5.9343641", 3, "934"},
      {"0", 3, "123"},
      {"0.15572735", 3, "157"},
      {"2.2", 3, "213"},
      {"846.926784287", 10, "4692781350"},
      {"136.154464048", 2, "36"},
      {"1032.244706434", 2, "03"},
      {"512.323126292", 2, "12"},
      {"1127.571622633", 2, "12"},
      {"625.65004249", 2, "25"},
      {"0.15572735", 2, "15"},
      {"0", 2, "12"},
      {"", 3, "123"},
      {"846.926784287", 0, ""},
      // More than the ten digits can give ends with what there is.
      {"0", 11, "1234567890"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PickDistinctDigits(c.value_text, c.count), c.expected)
        << c.value_text << " count " << c.count;
  }
}

TEST(PickDistinctDigitsTest, TakesDoubleByteTextsByteByByteAsTheTextOperationsDo) {
  // "１" and "２" are two bytes each, both led by the same byte. Once that lead
  // byte sits second in the collected text it starts a character there, so a
  // search for it fails and it is taken a second time.
  const Text one = Gbk("１");
  const Text two = Gbk("２");
  ASSERT_EQ(one.size(), 2u);
  ASSERT_EQ(one[0], two[0]);
  const Text expected = one.substr(1, 1) + two.substr(0, 1) + two.substr(1, 1) + two.substr(0, 1);
  EXPECT_EQ(PickDistinctDigits(one + "." + two + two, 4), expected);
  EXPECT_EQ(PickDistinctDigits(one + "." + two + two, 3), expected.substr(0, 3));
}

// The pick step by step with the text operations, as the rule reads: the
// scan without its "." and first character, then the fallback digits.
Text PickByTheTextOperations(const Text& value_text, int32_t count) {
  Text collected;
  Text scan = TextReplace(value_text, ".", "", 1, std::nullopt, true);
  // Two passes always complete a count of at most ten.
  for (int pass = 0; pass < 2 && TextLength(collected) < count; ++pass) {
    const int32_t length = TextLength(scan);
    for (int32_t i = 2; i <= length; ++i) {
      const Text ch = TextMid(scan, i, 1);
      if (TextFind(collected, ch) == -1) collected += ch;
    }
    scan = "11234567890";
  }
  return TextLeft(collected, count);
}

TEST(PickDistinctDigitsTest, AgreesWithTheTextOperationsOnEveryInput) {
  std::vector<Text> value_texts = {"",      ".",      "..",           "1.2.3",      "7.",
                                   ".5",    "000000", "abc.d",        "9876543210", "x1y1z",
                                   "12 34", "~!@#$",  "-3.25",        "1e+20",      "\x01\x7f\x7f",
                                   "\xFF",  "12\xA3", "1\xA3\xB1\x32"};
  // Double-byte characters and zero bytes.
  value_texts.push_back(Gbk("１２.３"));
  value_texts.push_back(Gbk("5.一二三"));
  value_texts.push_back(Text("12") + '\0' + "34");
  value_texts.push_back(Text(1, '\0') + "9");
  // Every value text the three pages can make from a draw of three digits.
  for (const double multiplier : {0.0, 1.0, 2.0, 5.0, 6.0}) {
    for (int number = 0; number < 1000; ++number) {
      const Text digits = {static_cast<char>('0' + number / 100),
                           static_cast<char>('0' + number / 10 % 10),
                           static_cast<char>('0' + number % 10)};
      value_texts.push_back(ComputeDrawValue(digits, multiplier).text);
    }
  }
  for (const Text& value_text : value_texts) {
    for (int32_t count = 0; count <= 10; ++count) {
      ASSERT_EQ(PickDistinctDigits(value_text, count), PickByTheTextOperations(value_text, count))
          << value_text << " count " << count;
    }
  }
}

TEST(CheckBankerTest, HoldsWhenAnyDrawDigitIsABankerDigit) {
  struct Case {
    Text banker;
    Text checked;
    bool held;
  };
  const std::vector<Case> cases = {
      {"469", "907", true}, {"273", "458", false}, {"158", "999", false},
      {"158", "118", true}, {"123", "", true},  // an empty needle is always found
      {"123", "45", true},  {"", "456", false},    {"904", "4", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckBanker(c.banker, c.checked), c.held) << c.banker << " " << c.checked;
  }
}

TEST(CheckKillSpanTest, JudgesTheSpanAndAnnouncesDrawsNotThreeLong) {
  struct Case {
    Text spans;
    Text checked;
    bool held;
    int notices;
  };
  const std::vector<Case> cases = {
      {"03", "458", true, 0},
      {"36", "906", true, 0},
      {"12", "132", false, 0},
      {"36", "147", false, 0},
      {"36", "555", true, 0},
      {"36", "907", true, 0},
      {"90", "090", false, 0},
      {"36", "a9b", true, 0},  // non-digits count 0: span 9
      {"12", "12", false, 1},  // span 1
      {"36", "12", true, 1},
      {"03", "1234", false, 1},                    // span 3
      {"36", "5", true, 1},                        // span 0
      {"36", "", false, 1},                        // no digits: nothing confirmed
      {"12", Gbk("１２３"), true, 1},              // six bytes, each read as 0
      {"56", "12" + Text(100000, '7'), false, 1},  // span 6 of a long draw
  };
  for (const Case& c : cases) {
    std::vector<Text> notices;
    const Notify notify = [&notices](const Text& message) { notices.push_back(message); };
    EXPECT_EQ(CheckKillSpan(c.spans, c.checked, notify), c.held) << c.spans << " " << c.checked;
    EXPECT_EQ(static_cast<int>(notices.size()), c.notices) << c.checked;
    for (const Text& notice : notices) EXPECT_EQ(notice, Gbk("请查看你输入是否对错"));
  }
}

}  // namespace
}  // namespace zelkor
