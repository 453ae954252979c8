#include "ui/qt/fonts.h"

#include <QStringList>

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

}  // namespace zelkor
