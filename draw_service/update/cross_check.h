// The cross-check of a round: what every source answered, set against each
// other and the draws held, comes to the draws that may be stored and to
// what the player is told of the rest.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/history/schedule.h"

namespace zelkor::service {

// One source's part in a round.
struct SourceAnswer {
  std::string source;
  // The draws it reported, their fields sound; any order.
  std::vector<HistoryDraw> draws;
  // Why it gave nothing; empty when it answered.
  std::string failure;
};

// Two sources, or a source and the draws held, giving one issue two values.
struct Disagreement {
  std::string issue;
  std::string first;   // "500: 862 of 2026-08-22" (or "held: ...")
  std::string second;  // "zhcw: 861 of 2026-08-22"
};

// What a round comes to.
struct RoundVerdict {
  // The draws to store, oldest first: each reported alike by every source
  // that reported it, within the draw rules, and leaving no hole.
  std::vector<HistoryDraw> agreed;
  // New issues the sources disagree on: nothing is stored for them.
  std::vector<Disagreement> disagreements;
  // Held draws some source gives otherwise: the held draw stays.
  std::vector<Disagreement> held_differs;
  // Draws the rules refuse, each "ISSUE: why".
  std::vector<std::string> refused;
  // What the rules allow but find odd, each "ISSUE: what".
  std::vector<std::string> warnings;
  // Draws held back because an issue before them is missing, and the
  // missing issues with why they are missing.
  std::vector<std::string> waiting;
  std::vector<std::string> missing;
  std::string missing_why;
  // For each issue reported, the sources that gave its agreed (or held) value.
  std::map<std::string, std::vector<std::string>> agreeing_sources;
};

// Cross-checks `answers` against `held` (oldest first, issues rising) as of
// `now`.
[[nodiscard]] RoundVerdict CrossCheck(const std::vector<HistoryDraw>& held,
                                      const std::vector<SourceAnswer>& answers, BeijingTime now);

}  // namespace zelkor::service
