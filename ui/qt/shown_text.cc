#include "ui/qt/shown_text.h"

#include <algorithm>
#include <string>

#include "runtime/gbk.h"
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

// Printable ASCII is the same in GBK, UTF-16 and every box: a piece of it,
// such as the bulk of a huge digits cell, needs no conversion.
bool IsPrintableAscii(std::string_view piece) {
  for (const char byte : piece) {
    if (byte < 0x20 || byte > 0x7E) return false;
  }
  return true;
}

// Whether every character of `piece` is GBK that any box gives back as it
// is: no line break or zero byte, and nothing the conversion turns into "?"
// (so the conversion added no "?" of its own). Every GBK character converts
// to one Unicode character and back, and none of them is one a document
// changes; the window tests check this over the whole character set.
bool ReadsBackUnchanged(std::string_view piece) {
  size_t marks = 0;
  for (const char byte : piece) {
    if (byte == '\r' || byte == '\n' || byte == '\0') return false;
    marks += byte == '?' ? 1 : 0;
  }
  const std::string utf8 = GbkToUtf8(piece);
  return static_cast<size_t>(std::count(utf8.begin(), utf8.end(), '?')) == marks;
}

}  // namespace

QString ShownPrefix(std::string_view gbk, size_t max_bytes) {
  const size_t end = ShownPrefixEnd(gbk, max_bytes);
  if (end == gbk.size()) return ToQString(gbk);
  return ToQString(gbk.substr(0, end)) + QChar(0x2026);
}

QString ToQStringInPieces(std::string_view gbk) {
  QString text;
  text.reserve(static_cast<qsizetype>(gbk.size()));
  ForEachPiece(gbk, [&text](std::string_view piece) {
    text += IsPrintableAscii(piece)
                ? QString::fromLatin1(piece.data(), static_cast<qsizetype>(piece.size()))
                : ToQString(piece);
    return true;
  });
  return text;
}

Text ReadBackInPieces(std::string_view gbk, const WidgetForm& form) {
  Text back;
  ForEachPiece(gbk, [&back, &form](std::string_view piece) {
    if (IsPrintableAscii(piece) || ReadsBackUnchanged(piece)) {
      back += piece;
      return true;
    }
    const QString shown = form(piece);
    // A widget's text ends at its first U+0000, and so does what it gives back.
    back += FromQString(shown);
    return !shown.contains(QChar(u'\0'));
  });
  return back;
}

}  // namespace zelkor
