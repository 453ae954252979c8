// The addresses this build was configured with. The two that the program
// opens and fetches are enciphered during compilation; their plain forms are
// used only in constant evaluation and so never reach the program file.
#include <array>
#include <string_view>

#include "app/rc4.h"
#include "app/startup.h"
#include "runtime/gbk.h"

#if !defined(ZELKOR_STARTUP_PAGE_ADDRESS) || !defined(ZELKOR_VERSION_RECORD_ADDRESS) || \
    !defined(ZELKOR_UPDATE_SITE) || !defined(ZELKOR_DRAW_HOST)
#error "The start-up addresses must be set by the build"
#endif

namespace zelkor {
namespace {

constexpr char kPassword = PickPassword(std::string_view(ZELKOR_STARTUP_PAGE_ADDRESS),
                                        std::string_view(ZELKOR_VERSION_RECORD_ADDRESS));
static_assert(kPassword != '\0',
              "no one-character password enciphers both addresses without a zero byte");

constexpr auto kStartupPage = EncipherLiteral(ZELKOR_STARTUP_PAGE_ADDRESS, kPassword);
constexpr auto kVersionRecord = EncipherLiteral(ZELKOR_VERSION_RECORD_ADDRESS, kPassword);

Text StoredText(const auto& enciphered) { return Text(enciphered.data()); }

}  // namespace

const StartupConfig& BuiltInStartupConfig() {
  static const StartupConfig config{
      .enciphered_startup_page = StoredText(kStartupPage),
      .enciphered_version_record = StoredText(kVersionRecord),
      .password = Text(1, kPassword),
      .update_site = Gbk(ZELKOR_UPDATE_SITE),
      .draw_host = Text(ZELKOR_DRAW_HOST),
  };
  return config;
}

}  // namespace zelkor
