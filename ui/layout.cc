#include "ui/layout.h"

namespace zelkor::layout {
namespace {

std::vector<PlacedControl> Flatten() {
  std::vector<PlacedControl> all;
  for (const WindowControl& c : kWindowControls) {
    all.push_back({c.name, c.kind, c.look, c.geometry, {}, nullptr, -1, {}, false});
  }
  for (int page = 0; page < kPageCount; ++page) {
    const auto p = static_cast<size_t>(page);
    std::string_view group;
    for (const PageControl& c : kPageControls) {
      Geometry geometry = c.geometry;
      if (c.kind == Kind::kGroupBox) {
        group = c.names[p];
        geometry.height = kPages[p].group_height;
      }
      all.push_back(
          {c.names[p], c.kind, c.look, geometry, c.captions[p], nullptr, page, {}, false});
    }
    for (const GroupControl& c : kGroupControls) {
      all.push_back(
          {c.names[p], c.kind, c.look, c.geometry, c.caption, c.initial, page, group, false});
    }
    if (!kPages[p].kill_position) continue;
    for (const RadioControl& r : kRadioButtons) {
      all.push_back({r.name,
                     Kind::kRadioButton,
                     Look::kPlain,
                     r.geometry,
                     r.caption,
                     nullptr,
                     page,
                     {},
                     r.checked});
    }
  }
  return all;
}

}  // namespace

const std::vector<PlacedControl>& AllControls() {
  static const std::vector<PlacedControl> all = Flatten();
  return all;
}

}  // namespace zelkor::layout
