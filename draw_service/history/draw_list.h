// The draw list document the service serves: the row format the window and
// the report tool read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "draw_service/history/history_file.h"

namespace zelkor::service {

// The draw list document of `draws` (oldest first, as the history file holds
// them): one row element per draw, newest first, in the row format the
// program parses, e.g.
//   <row expect="2026224" opencode="8,6,2" opentime="2026-08-22 21:15:00" trycode="" tryinfo="" />
[[nodiscard]] std::string DrawListDocument(const std::vector<HistoryDraw>& draws);

// The most draws whose draw list document fits in kMaxInputBytes, what the
// window and the report tool read of a download (every row has the same
// length).
[[nodiscard]] size_t MaxServedDraws();

// The newest `count` draws of `draws` (all of them when there are fewer).
[[nodiscard]] std::vector<HistoryDraw> Latest(std::vector<HistoryDraw> draws, size_t count);

}  // namespace zelkor::service
