#include "draw_service/serve/paths.h"

#if !defined(ZELKOR_START_PAGE_PATH) || !defined(ZELKOR_VERSION_PATH)
#error "The draw service's paths must be set by the build"
#endif

namespace zelkor::service {

std::string_view StartPagePath() { return ZELKOR_START_PAGE_PATH; }
std::string_view VersionRecordPath() { return ZELKOR_VERSION_PATH; }

}  // namespace zelkor::service
