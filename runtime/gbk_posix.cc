#include "runtime/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "runtime/gbk_sequences.h"

namespace zelkor {
namespace {

// iconv is handed the input a piece at a time. A text full of characters
// that cannot be converted takes a call per character, and a call may look
// at all the input it is handed (the address sanitizer checks all of it):
// whole, that is time quadratic in the text.
constexpr size_t kPieceBytes = 4096;

// Converts with iconv; every character that cannot be converted becomes "?",
// skipping the bytes `skip` says it spans.
std::string Convert(const char* to, const char* from, std::string_view input,
                    size_t (*skip)(const char*, size_t)) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.resize(input.size() * 2 + 16);
  char* in_ptr = const_cast<char*>(input.data());
  size_t in_left = input.size();
  char* out_ptr = out.data();
  size_t out_left = out.size();
  const auto grow = [&out, &out_ptr, &out_left] {
    const size_t used = out.size() - out_left;
    out.resize(out.size() * 2);
    out_ptr = out.data() + used;
    out_left = out.size() - used;
  };
  while (in_left > 0) {
    const size_t piece = std::min(in_left, kPieceBytes);
    size_t piece_left = piece;
    const size_t converted = iconv(cd, &in_ptr, &piece_left, &out_ptr, &out_left);
    in_left -= piece - piece_left;
    if (converted != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) {
      grow();
      continue;
    }
    // A character cut at the end of the piece, not of the input: the next
    // piece starts with it.
    if (errno == EINVAL && in_left > piece_left) continue;
    // EILSEQ or EINVAL: replace the offending character and go on.
    if (out_left < 1) grow();
    *out_ptr++ = '?';
    --out_left;
    const size_t n = skip(in_ptr, in_left);
    in_ptr += n;
    in_left -= n;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(out.size() - out_left);
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  return Convert("GBK", "UTF-8", utf8, Utf8SequenceLength);
}

std::string GbkToUtf8(std::string_view gbk) {
  return Convert("UTF-8", "GBK", gbk, GbkSequenceLength);
}

std::string Utf16ToUtf8(std::string_view utf16, bool big_endian) {
  // A unit that cannot be converted (a lone surrogate) is skipped as one.
  return Convert("UTF-8", big_endian ? "UTF-16BE" : "UTF-16LE", utf16,
                 [](const char*, size_t left) { return std::min<size_t>(2, left); });
}

}  // namespace zelkor
