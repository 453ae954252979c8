#include "ui/qt/fonts.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>

namespace zelkor {
namespace {

// The Song faces look closest in Noto Serif CJK; the sans face keeps the small
// default UI text legible. Qt takes the first family of a list it can find.
const QStringList& SerifFallbacks() {
  static const QStringList families{QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("Noto Sans CJK SC")};
  return families;
}

QFont MakeFont(QStringList families, int pixel_size, int weight) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixel_size);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setStyleHint(QFont::Serif);
  return font;
}

}  // namespace

QFont DefaultUiFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

QFont NewSongFont(int pixel_size, int weight) {
  return MakeFont(
      QStringList{QStringLiteral("新宋体"), QStringLiteral("NSimSun")} + SerifFallbacks(),
      pixel_size, weight);
}

QFont SimSunFont(int pixel_size, int weight) {
  return MakeFont(QStringList{QStringLiteral("SimSun"), QStringLiteral("宋体")} + SerifFallbacks(),
                  pixel_size, weight);
}

QFont FontWithin(QFont font, int height) {
  while (QFontMetrics(font).height() > height && font.pixelSize() > 6) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  return font;
}

int LineRoom(const QWidget& control) {
  const auto* box = qobject_cast<const QLineEdit*>(&control);
  if (box == nullptr) return control.height();
  // Where QLineEdit draws its line: within the frame, the text margins and
  // its own 1 pixel above and below.
  QStyleOptionFrame panel;
  panel.initFrom(box);
  panel.rect = box->rect();
  panel.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, box);
  return box->style()
             ->subElementRect(QStyle::SE_LineEditContents, &panel, box)
             .marginsRemoved(box->textMargins())
             .height() -
         2;
}

}  // namespace zelkor
