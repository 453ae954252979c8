// The one crossing between the program's GBK texts and Qt's Unicode strings.
#pragma once

#include <QString>
#include <string_view>

#include "runtime/gbk.h"

namespace zelkor {

// The Unicode form of a GBK text, for showing it in a widget.
[[nodiscard]] inline QString ToQString(std::string_view gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The GBK form of what a widget holds, up to its first U+0000 (a text ends at
// its first zero byte, and one let through would cut every text built from it
// short wherever it is copied); characters GBK cannot hold become "?".
[[nodiscard]] inline std::string FromQString(const QString& text) {
  const qsizetype zero = text.indexOf(QChar(u'\0'));
  const QByteArray utf8 = (zero < 0 ? QStringView(text) : QStringView(text).left(zero)).toUtf8();
  return Utf8ToGbk(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

// Multi-line widgets hold "\n" where the program's texts say CR LF.
[[nodiscard]] inline QString ToDisplayLines(std::string_view gbk) {
  QString text = ToQString(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// The GBK form of a multi-line widget's text, with CR LF line breaks.
[[nodiscard]] inline std::string FromDisplayLines(const QString& shown) {
  QString text = shown;
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return FromQString(text);
}

// A caption written in the UTF-8 source, shown as it is.
[[nodiscard]] inline QString Caption(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace zelkor
