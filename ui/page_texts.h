// The eight setting texts of an analysis page, and the texts the window
// template starts every page's setting boxes with. The command-line report
// uses them as its defaults too.
#pragma once

#include <string>

namespace zelkor {

using Text = std::string;

// The texts a page's lines are made of. Which box and which report option
// set each one is listed once, in layout::kPageSettings.
struct PageTexts {
  Text separator;  // "┊"
  Text name;       // "Zelkor3D杀码", the same on all three pages
  Text left;       // "【"
  Text right;      // "】"
  Text correct;    // "准√"
  Text wrong;      // "错Ｘ" (full-width X)
  Text not_drawn;  // "未开"
  Text footer;     // the two-line note ending in the product's website
};

// The window's initial texts, GBK, built once.
[[nodiscard]] const PageTexts& InitialPageTexts();

// The product's website named in the footer note (a build setting).
[[nodiscard]] const Text& ProductWebsite();

}  // namespace zelkor
