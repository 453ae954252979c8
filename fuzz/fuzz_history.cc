// The draw history reader on arbitrary bytes. A text it takes must hold only
// well-formed draws in order, within the draw limit, and read back the same
// once written out again; a text it refuses must be refused with a short
// reason that a terminal can show as it is, however long the offending field.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "draw_service/history/history_file.h"

namespace {

using zelkor::service::HistoryDraw;
using zelkor::service::HistoryError;

// The longest reason: a fixed sentence around at most one quoted field cut
// at 80 characters, each of which may be escaped to four bytes or be a
// four-byte UTF-8 sequence.
constexpr size_t kMaxReasonBytes = 200 + 80 * 4 + 3;

[[noreturn]] void Fail(const char* what, size_t detail) {
  std::fprintf(stderr, "fuzz_history: %s (%zu)\n", what, detail);
  std::abort();
}

bool SameDraws(const std::vector<HistoryDraw>& a, const std::vector<HistoryDraw>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].issue != b[i].issue || a[i].date != b[i].date || a[i].digits != b[i].digits) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks a draw limit, so that the limit is reached too.
  const size_t max_draws = data[0] < 16 ? data[0] : SIZE_MAX;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  auto parsed = zelkor::service::ParseHistory(text, max_draws);

  if (const auto* error = std::get_if<HistoryError>(&parsed)) {
    if (error->line < 1) Fail("refused on no line", 0);
    if (error->reason.empty()) Fail("refused without a reason", 0);
    if (error->reason.size() > kMaxReasonBytes) {
      std::fprintf(stderr, "%s\n", error->reason.c_str());
      Fail("reason too long", error->reason.size());
    }
    for (const char c : error->reason) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == 0x7f) Fail("control character in the reason", byte);
    }
    return 0;
  }

  const auto& draws = std::get<std::vector<HistoryDraw>>(parsed);
  if (draws.size() > max_draws) Fail("more draws than the limit", draws.size());
  for (size_t i = 0; i < draws.size(); ++i) {
    if (!zelkor::service::CheckDrawFields(draws[i]).empty()) Fail("malformed draw taken", i);
    if (i > 0 && (std::stoll(draws[i].issue) <= std::stoll(draws[i - 1].issue) ||
                  draws[i].date < draws[i - 1].date)) {
      Fail("draws out of order", i);
    }
  }
  auto again = zelkor::service::ParseHistory(zelkor::service::HistoryText(draws), max_draws);
  const auto* reread = std::get_if<std::vector<HistoryDraw>>(&again);
  if (reread == nullptr || !SameDraws(*reread, draws)) Fail("written out, read back otherwise", 0);
  return 0;
}
