// How the boxes show texts too long to lay out. Qt lays out a line of text
// whole, shaping every character of it, whatever part of it is visible: a
// line of 16 MiB costs seconds and gigabytes each time it is shown. A box
// therefore shows only the start of an overlong line and keeps the whole
// text beside its widget, for the operations that read it back.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string_view>

#include "runtime/text.h"

namespace zelkor {

// Bytes of the character at `pos` as the GBK conversion steps: a lead byte
// (0x81 to 0xFE) takes the byte after it whether or not the pair is valid,
// so a line break or a zero byte right after one is no character of its own.
[[nodiscard]] inline size_t ConvertedWidthAt(std::string_view gbk, size_t pos) {
  const auto lead = static_cast<unsigned char>(gbk[pos]);
  return lead >= 0x81 && lead <= 0xFE && pos + 1 < gbk.size() ? 2 : 1;
}

// The start of `gbk` as a box shows it: the whole text when it has at most
// `max_bytes` bytes, otherwise its first characters within `max_bytes`, cut
// between characters, followed by an ellipsis.
[[nodiscard]] QString ShownPrefix(std::string_view gbk, size_t max_bytes);

// ToQString of `gbk`, converted a megabyte at a time: the whole conversion
// would hold the text several times over on its way.
[[nodiscard]] QString ToQStringInPieces(std::string_view gbk);

// What a box gives back of a text it was given, before the GBK conversion
// (FromQString) of its reading.
using WidgetForm = std::function<QString(std::string_view gbk)>;

// What a box reads back after being given all of `gbk`, when `form` says
// what it gives back of any part: FromQString of `form` over the whole text,
// taken a megabyte at a time so that no conversion ever holds the whole.
// `form` must work character by character and treat CR LF as one, as the
// conversions and Qt's documents do: the text is cut only between
// characters and never inside a CR LF.
[[nodiscard]] Text ReadBackInPieces(std::string_view gbk, const WidgetForm& form);

}  // namespace zelkor
