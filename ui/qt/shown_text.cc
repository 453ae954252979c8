#include "ui/qt/shown_text.h"

#include "ui/qt/qt_text.h"

namespace zelkor {
namespace {

// Text taken at a time by ReadBackInPieces.
constexpr size_t kPieceBytes = size_t{1} << 20;

// Calls `take` with the pieces of `gbk` in order, each about kPieceBytes,
// cut between characters and never inside a CR LF, while it returns true.
template <typename Take>
void ForEachPiece(std::string_view gbk, Take take) {
  size_t start = 0;
  while (start < gbk.size()) {
    size_t end = start;
    while (end < gbk.size() &&
           (end - start < kPieceBytes || (gbk[end - 1] == '\r' && gbk[end] == '\n'))) {
      end += ConvertedWidthAt(gbk, end);
    }
    if (!take(gbk.substr(start, end - start))) return;
    start = end;
  }
}

}  // namespace

size_t ConvertedWidthAt(std::string_view gbk, size_t pos) {
  const auto lead = static_cast<unsigned char>(gbk[pos]);
  return lead >= 0x81 && lead <= 0xFE && pos + 1 < gbk.size() ? 2 : 1;
}

QString ShownPrefix(std::string_view gbk, size_t max_bytes) {
  if (gbk.size() <= max_bytes) return ToQString(gbk);
  size_t end = 0;
  while (end + CharacterWidthAt(gbk, end) <= max_bytes) end += CharacterWidthAt(gbk, end);
  return ToQString(gbk.substr(0, end)) + QChar(0x2026);
}

QString ToQStringInPieces(std::string_view gbk) {
  QString text;
  text.reserve(static_cast<qsizetype>(gbk.size()));
  ForEachPiece(gbk, [&text](std::string_view piece) {
    text += ToQString(piece);
    return true;
  });
  return text;
}

Text ReadBackInPieces(std::string_view gbk, const WidgetForm& form) {
  Text back;
  ForEachPiece(gbk, [&back, &form](std::string_view piece) {
    const QString shown = form(piece);
    // A widget's text ends at its first U+0000, and so does what it gives back.
    back += FromQString(shown);
    return !shown.contains(QChar(u'\0'));
  });
  return back;
}

}  // namespace zelkor
