// The fonts of the window. The layout names Song faces ("新宋体", "SimSun");
// where they are not installed the nearest CJK face of the same pixel height
// and weight stands in.
#pragma once

#include <QFont>

class QWidget;

namespace zelkor {

// The default user-interface font of the layout: a 12-pixel CJK face.
[[nodiscard]] QFont DefaultUiFont();

// "新宋体" (or its stand-in) at `pixel_size`, with `weight` (400 normal, 700 bold).
[[nodiscard]] QFont NewSongFont(int pixel_size, int weight);

// "SimSun" (or its stand-in) at `pixel_size`, with `weight`.
[[nodiscard]] QFont SimSunFont(int pixel_size, int weight);

// `font`, or the same face at the largest smaller pixel size whose line is at
// most `height` pixels: the labels and setting boxes were laid out for a
// 12-pixel line, which a CJK face other than SimSun overruns.
[[nodiscard]] QFont FontWithin(QFont font, int height);

// The height a label or single-line box (as it is placed now) has for its
// line of text: a line box's within its frame and its own margins.
[[nodiscard]] int LineRoom(const QWidget& control);

}  // namespace zelkor
