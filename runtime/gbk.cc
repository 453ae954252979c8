#include "runtime/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "runtime/gbk_sequences.h"

namespace zelkor {
namespace {

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
  while (in_left > 0) {
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      const size_t used = out.size() - out_left;
      out.resize(out.size() * 2);
      out_ptr = out.data() + used;
      out_left = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: replace the offending character and go on.
    if (out_left < 1) {
      const size_t used = out.size() - out_left;
      out.resize(out.size() * 2);
      out_ptr = out.data() + used;
      out_left = out.size() - used;
    }
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

}  // namespace zelkor
