// GBK conversion through the Windows code-page functions, always with code
// page 936 (GBK) and never the system's own code page, which on most machines
// outside China is another one. UTF-16 is the way between the two.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "runtime/gbk.h"
#include "runtime/gbk_sequences.h"
#include "runtime/wide_text.h"

namespace zelkor {
namespace {

constexpr UINT kGbkCodePage = 936;

// Code page 936 maps GBK's user-defined areas (AAA1-AFFE, F8A1-FEFE,
// A140-A7A0 and a few more) to the Private Use Area; the GBK of the Linux
// build's iconv has no such characters. They are taken as unconvertible
// here too, so that both builds give the same bytes for every text.
bool HasPrivateUse(std::wstring_view wide) {
  return std::any_of(wide.begin(), wide.end(),
                     [](wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; });
}

// `bytes` in code page `code_page` as UTF-16, or nothing when any of them is
// not valid there.
bool ToWideStrict(UINT code_page, std::string_view bytes, std::wstring& wide) {
  wide.clear();
  if (bytes.empty()) return true;
  if (bytes.size() > INT_MAX) throw std::length_error("text too long to convert");
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<size_t>(length));
  return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                             length) == length &&
         !(code_page == kGbkCodePage && HasPrivateUse(wide));
}

// `wide` in code page `code_page`; false when some character has no form there.
bool FromWideStrict(UINT code_page, std::wstring_view wide, std::string& bytes) {
  bytes.clear();
  if (wide.empty()) return true;
  if (wide.size() > INT_MAX) throw std::length_error("text too long to convert");
  if (code_page == kGbkCodePage && HasPrivateUse(wide)) return false;
  const int size = static_cast<int>(wide.size());
  // UTF-8 takes no substitution flags; the others must not guess a look-alike.
  const bool utf8 = code_page == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used = utf8 ? nullptr : &used_default;
  const int length =
      WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, used);
  if (length <= 0 || used_default) return false;
  bytes.resize(static_cast<size_t>(length));
  return WideCharToMultiByte(code_page, flags, wide.data(), size, bytes.data(), length, nullptr,
                             used) == length &&
         !used_default;
}

// Converts `input` from one code page to the other. The whole text goes in one
// call; only a text with a character that cannot be converted is taken apart,
// character by character, each such character becoming "?".
std::string Convert(UINT to, UINT from, std::string_view input,
                    size_t (*step)(const char*, size_t)) {
  std::wstring wide;
  std::string out;
  if (ToWideStrict(from, input, wide) && FromWideStrict(to, wide, out)) return out;

  out.clear();
  out.reserve(input.size() * 2);
  std::string piece;
  for (size_t at = 0; at < input.size();) {
    const auto byte = static_cast<unsigned char>(input[at]);
    if (byte < 0x80) {
      out += input[at++];
      continue;
    }
    const size_t n = step(input.data() + at, input.size() - at);
    if (ToWideStrict(from, input.substr(at, n), wide) && FromWideStrict(to, wide, piece)) {
      out += piece;
    } else {
      out += '?';
    }
    at += n;
  }
  return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  return Convert(kGbkCodePage, CP_UTF8, utf8, Utf8SequenceLength);
}

std::string GbkToUtf8(std::string_view gbk) {
  return Convert(CP_UTF8, kGbkCodePage, gbk, GbkSequenceLength);
}

std::wstring GbkToWide(std::string_view gbk) {
  std::wstring wide;
  if (ToWideStrict(kGbkCodePage, gbk, wide)) return wide;
  (void)ToWideStrict(CP_UTF8, GbkToUtf8(gbk), wide);
  return wide;
}

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring wide;
  if (ToWideStrict(CP_UTF8, utf8, wide)) return wide;
  // Broken sequences become U+FFFD, as the system shows them.
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  wide.resize(static_cast<size_t>(std::max(length, 0)));
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(std::max(length, 0)), '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  }
  return utf8;
}

std::string Utf16ToUtf8(std::string_view utf16, bool big_endian) {
  std::wstring wide(utf16.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    const auto first = static_cast<unsigned char>(utf16[2 * i]);
    const auto second = static_cast<unsigned char>(utf16[2 * i + 1]);
    wide[i] = static_cast<wchar_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
  std::string utf8 = WideToUtf8(wide);
  if (utf16.size() % 2 != 0) utf8 += '?';
  return utf8;
}

}  // namespace zelkor
