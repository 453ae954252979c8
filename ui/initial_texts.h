// The texts the window template puts in the setting boxes of every analysis
// page. The command-line report uses them as its defaults too.
#pragma once

#include <string>

namespace zelkor {

using Text = std::string;

struct InitialTexts {
  Text separator;  // "┊"
  Text name;       // "Zelkor3D杀码", the same on all three pages
  Text left;       // "【"
  Text right;      // "】"
  Text correct;    // "准√"
  Text wrong;      // "错Ｘ" (full-width X)
  Text not_drawn;  // "未开"
  Text footer;     // the two-line note ending in the product's website
};

// GBK texts, built once.
[[nodiscard]] const InitialTexts& InitialPageTexts();

// The product's website named in the footer note (a build setting).
[[nodiscard]] const Text& ProductWebsite();

}  // namespace zelkor
