// Only a word too long for Qt's word-boundary wrapping to lay out in
// reasonable time makes the multi-line boxes break lines anywhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "ui/qt/compact_text_edit.h"
#include "ui/qt/output_text_edit.h"
#include "ui/qt/wrap_mode.h"

namespace zelkor {
namespace {

QString Repeated(const QString& part, int times) {
  QString text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

TEST(WrapModeTest, OnlyOverlongWordsBreakAnywhere) {
  const QString at_limit(kLongestWordWrappedAtBoundaries, QLatin1Char('a'));
  const QString below_limit(kLongestWordWrappedAtBoundaries - 1, QLatin1Char('b'));
  struct Case {
    const char* name;
    QString text;
    bool overlong;
  };
  const std::vector<Case> cases{
      {"empty", "", false},
      {"a word as long as allowed", at_limit, false},
      {"one character more", at_limit + "a", true},
      {"many short words", Repeated("word ", 1000), false},
      {"two long words around a space", below_limit + " " + below_limit, false},
      {"hanzi, each a break opportunity", Repeated(QString::fromUtf8("字"), 3000), false},
      {"an overlong word after short ones", "short words " + at_limit + "xy", true},
      {"an overlong word among hanzi",
       Repeated(QString::fromUtf8("字"), 5) + at_limit + "z" + Repeated(QString::fromUtf8("字"), 5),
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HoldsOverlongWord(c.text), c.overlong);
    EXPECT_EQ(WrapModeFor(c.text),
              c.overlong ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
  }
}

// The output box and the footer box: the program's texts set, and a paste.
TEST(WrapModeTest, BoxesWrapTheirTextAsItNeeds) {
  OutputTextEdit output;
  CompactTextEdit footer(12);
  struct Box {
    const char* name;
    QWidget* widget;
    std::function<void(const QString&)> set;
    std::function<QString()> text;
    std::function<QTextOption::WrapMode()> wrap;
    std::function<void()> paste;
  };
  const std::vector<Box> boxes{
      {"output", &output, [&](const QString& t) { output.SetPlainLines(t); },
       [&] { return output.toPlainText(); }, [&] { return output.wordWrapMode(); },
       [&] { output.paste(); }},
      {"footer", &footer, [&](const QString& t) { footer.SetPlainLines(t); },
       [&] { return footer.toPlainText(); }, [&] { return footer.wordWrapMode(); },
       [&] { footer.paste(); }},
  };
  const QString ordinary = QString::fromUtf8("注:一行\n   https://example.com");
  const QString overlong = "line\n" + QString(3000, QLatin1Char('w')) + "\nend";
  for (const Box& box : boxes) {
    SCOPED_TRACE(box.name);
    box.set(ordinary);
    EXPECT_EQ(box.wrap(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_EQ(box.text(), ordinary);
    box.set(overlong);
    EXPECT_EQ(box.wrap(), QTextOption::WrapAnywhere);
    EXPECT_EQ(box.text(), overlong);
    box.set(ordinary);
    EXPECT_EQ(box.wrap(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_EQ(box.text(), ordinary);

    QGuiApplication::clipboard()->setText(QString(2000, QLatin1Char('p')));
    box.paste();
    EXPECT_EQ(box.wrap(), QTextOption::WrapAnywhere);
    EXPECT_TRUE(box.text().contains(QString(2000, QLatin1Char('p'))));
  }
}

}  // namespace
}  // namespace zelkor
