// The fonts of the window. The layout names Song faces ("新宋体", "SimSun");
// where they are not installed the nearest CJK face of the same pixel height
// and weight stands in.
#pragma once

#include <QFont>

namespace zelkor {

// The default user-interface font of the layout: a 12-pixel CJK face.
[[nodiscard]] QFont DefaultUiFont();

// "新宋体" (or its stand-in) at `pixel_size`, with `weight` (400 normal, 700 bold).
[[nodiscard]] QFont NewSongFont(int pixel_size, int weight);

// "SimSun" (or its stand-in) at `pixel_size`, with `weight`.
[[nodiscard]] QFont SimSunFont(int pixel_size, int weight);

}  // namespace zelkor
