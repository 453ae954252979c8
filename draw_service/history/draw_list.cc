#include "draw_service/history/draw_list.h"

#include <string_view>

#include "runtime/input_limit.h"

namespace zelkor::service {
namespace {

// The 3D lottery is drawn at a quarter past nine in the evening.
constexpr std::string_view kDrawTime = " 21:15:00";

void AppendRow(std::string& document, const HistoryDraw& draw) {
  document.append("<row expect=\"").append(draw.issue).append("\" opencode=\"");
  document.push_back(draw.digits[0]);
  document.push_back(',');
  document.push_back(draw.digits[1]);
  document.push_back(',');
  document.push_back(draw.digits[2]);
  document.append("\" opentime=\"").append(draw.date).append(kDrawTime);
  document.append("\" trycode=\"\" tryinfo=\"\" />\n");
}

}  // namespace

std::string DrawListDocument(const std::vector<HistoryDraw>& draws) {
  std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<xml>\n";
  document.reserve(document.size() + draws.size() * 96 + 8);
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) AppendRow(document, *it);
  document.append("</xml>\n");
  return document;
}

size_t MaxServedDraws() {
  const HistoryDraw draw{"2026224", "2026-08-22", "862"};
  const size_t frame = DrawListDocument({}).size();
  const size_t row = DrawListDocument({draw}).size() - frame;
  return (kMaxInputBytes - frame) / row;
}

std::vector<HistoryDraw> Latest(std::vector<HistoryDraw> draws, size_t count) {
  if (draws.size() > count) {
    draws.erase(draws.begin(), draws.end() - static_cast<std::ptrdiff_t>(count));
  }
  return draws;
}

}  // namespace zelkor::service
