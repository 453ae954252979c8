// How the Qt boxes show texts too long to lay out (which part: see
// ui/shown_part.h). Qt lays out a line of text whole, shaping every
// character of it, whatever part of it is visible: a line of 16 MiB costs
// seconds and gigabytes each time it is shown. A box therefore shows only
// the start of an overlong line and keeps the whole text beside its widget,
// for the operations that read it back.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string_view>

#include "runtime/text.h"
#include "ui/shown_part.h"

namespace zelkor {

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
