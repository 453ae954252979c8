// The draw history: download, parsing and listing.
#pragma once

#include <string_view>
#include <vector>

#include "runtime/text.h"
#include "ui/ui_operations.h"

namespace zelkor {

// One draw as the history list holds it.
struct DrawRecord {
  Text issue;   // the `expect` attribute, byte for byte
  Text digits;  // the three parts of `opencode` joined, hundreds first
  friend bool operator==(const DrawRecord&, const DrawRecord&) = default;
};

// The path of the draw list on the draw-data service.
inline constexpr std::string_view kDrawListPath = "/static/info/kaijiang/xml/sd/list10.xml";

// "http://" + host + kDrawListPath.
[[nodiscard]] Text DrawListAddress(std::string_view host);

// Every row element of the document that matches the row pattern, in order.
[[nodiscard]] std::vector<DrawRecord> ParseDrawList(std::string_view document);

// The body of an HTTP GET of `address`, whatever the status; empty when no
// answer came; the bytes received so far when the transfer broke off.
[[nodiscard]] Bytes HttpFetch(const Text& address);

// Fetches the draw list at `address`, lists one row per draw in 超级列表框1 and
// shows the first draw's digits in 编辑框1.
void LoadDrawHistory(UiOperations& ui, const Text& address);

// The list's click handler: shows the selected draw's digits in 编辑框1.
void ShowSelectedDraw(UiOperations& ui);

}  // namespace zelkor
