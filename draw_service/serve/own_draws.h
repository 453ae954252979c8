// What the start page tells of the player's own draws: where they are kept,
// the lines of the store that cannot be read, and the form that adds one.
#pragma once

#include <string>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/store/store_text.h"

namespace zelkor::service {

// Where the player's files and the service program are on this machine, as
// the start page names them (UTF-8).
struct PlayerPlaces {
  std::string settings_file;
  std::string store_folder;
  std::string store_file;
  // The service program as a command line runs it.
  std::string program;
};

// What the start page tells of the player's own draws, and offers to do
// with them.
struct OwnDrawsPanel {
  // Where the player's files are; all empty when the service serves a file
  // as it is, and nothing can be added.
  PlayerPlaces places;
  // The lines of the store that cannot be read, shown at the top.
  std::vector<UnreadLine> unread;
  // The token the form posts with; empty: no form.
  std::string form_token;
  // The newest draw, when it is the player's own and may be removed.
  std::string removable_issue;
};

// How to bring the draws up to date, in the places of this machine; with no
// places the service serves a file as it is, and only another file helps.
[[nodiscard]] std::string CatchingUpAdvice(const PlayerPlaces& places);

// The lines of the player's store that cannot be read, named one by one,
// so that a player who edited the file sees what to put right.
void AppendUnreadLines(std::string& page, const OwnDrawsPanel& own);

// Where the player's own draws are kept, the program that adds them, and a
// form to add the next draw after `newest` or take back the newest one added.
void AppendOwnDraws(std::string& page, const HistoryDraw& newest, const OwnDrawsPanel& own);

}  // namespace zelkor::service
