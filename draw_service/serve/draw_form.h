// Adding and removing the player's draws from the start page. The form posts
// to the service, which changes the store only for its own page: the post
// must carry the token the service made at its start and put only into its
// page, and come from the service's own address when it says where from, so
// that no page of another site the player visits can change the store.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "draw_service/store/draw_store.h"

namespace zelkor::service {

// The path the form posts to, the only one that takes a request body.
[[nodiscard]] std::string_view DrawFormPath();

// The most bytes a form's body may have.
inline constexpr size_t kMaxFormBytes = 1024;

// A token no other program can guess: 128 random bits as hex.
[[nodiscard]] std::string NewFormToken();

// Answers POST DrawFormPath() on `server` (a service on 127.0.0.1:`port`):
// with `token` and a foreign Origin absent, "action=add" (issue, digits,
// date) or "action=remove" (issue) do what the commands add and remove do,
// then `refresh` runs; the answer is a page telling the outcome in Chinese
// that goes back to the start page. Anything else is refused with 403 and
// changes nothing.
void AddDrawForm(httplib::Server& server, const DrawStore& store, std::string token, int port,
                 std::function<void()> refresh);

}  // namespace zelkor::service
