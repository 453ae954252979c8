// The addresses the draw service answers on: the draw list, the start page
// and the version record.
#pragma once

#include <httplib.h>

#include <functional>
#include <string_view>

#include "draw_service/serve/paths.h"
#include "draw_service/serve/served_documents.h"
#include "runtime/log.h"

namespace zelkor::service {

// Registers the draw list and the start page `documents` holds at the time
// of each request, and the version record, on `server` at exactly their
// paths. Every answered request goes to `log` when one is given, as one line
// ("GET /path 200") with the path escaped as Printable does, so that a
// request cannot steer a terminal. `refresh`, when set, runs before a
// document is taken, so that a history changed meanwhile is served from that
// request on.
void AddRoutes(httplib::Server& server, const DocumentHolder& documents, Log log = nullptr,
               std::function<void()> refresh = nullptr);

}  // namespace zelkor::service
