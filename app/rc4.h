// RC4, the cipher under which the program keeps the web addresses it opens and
// fetches, so that they do not stand in the program file as plain text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/text.h"

namespace zelkor {

// The RC4 keystream as published: the key schedule over the key's bytes, then
// one keystream byte per call. Usable at compile time.
class Rc4Stream {
 public:
  // An empty key gives a keystream of zero bytes, which leaves data unchanged.
  constexpr explicit Rc4Stream(std::string_view key) : keyless_(key.empty()) {
    for (std::size_t i = 0; i < state_.size(); ++i) state_[i] = static_cast<uint8_t>(i);
    if (keyless_) return;
    uint8_t j = 0;
    for (std::size_t i = 0; i < state_.size(); ++i) {
      j = static_cast<uint8_t>(j + state_[i] + static_cast<uint8_t>(key[i % key.size()]));
      Swap(static_cast<uint8_t>(i), j);
    }
  }

  [[nodiscard]] constexpr uint8_t Next() {
    if (keyless_) return 0;
    i_ = static_cast<uint8_t>(i_ + 1);
    j_ = static_cast<uint8_t>(j_ + state_[i_]);
    Swap(i_, j_);
    return state_[static_cast<uint8_t>(state_[i_] + state_[j_])];
  }

 private:
  constexpr void Swap(uint8_t a, uint8_t b) {
    const uint8_t kept = state_[a];
    state_[a] = state_[b];
    state_[b] = kept;
  }

  std::array<uint8_t, 256> state_{};
  uint8_t i_ = 0;
  uint8_t j_ = 0;
  bool keyless_;
};

// RC4 of `data` under `key`, as raw bytes. RC4 is its own inverse, so this
// both enciphers and deciphers.
[[nodiscard]] Bytes Rc4(std::string_view data, std::string_view key);

// The text an enciphered address stands for: RC4 of `enciphered` under
// `password`, read up to its first zero byte.
[[nodiscard]] Text DecipherText(std::string_view enciphered, std::string_view password);

// True when RC4 of `plain` under `key` holds no zero byte, so that the result
// can be kept as a zero-terminated string and read back whole.
constexpr bool EnciphersWithoutZero(std::string_view plain, std::string_view key) {
  Rc4Stream stream(key);
  for (const char c : plain) {
    if ((static_cast<uint8_t>(c) ^ stream.Next()) == 0) return false;
  }
  return true;
}

// The first printable ASCII character under which every one of `plains`
// enciphers without a zero byte; '\0' when there is none.
template <typename... Plains>
constexpr char PickPassword(const Plains&... plains) {
  for (char c = '!'; c <= '~'; ++c) {
    const char key[1] = {c};
    if ((EnciphersWithoutZero(plains, std::string_view(key, 1)) && ...)) return c;
  }
  return '\0';
}

// The zero-terminated RC4 encipherment of a string literal under a
// one-character password. Evaluated at compile time only, so the plain
// literal never reaches the program file.
template <std::size_t N>
consteval std::array<char, N> EncipherLiteral(const char (&plain)[N], char password) {
  const char key[1] = {password};
  Rc4Stream stream(std::string_view(key, 1));
  std::array<char, N> enciphered{};
  for (std::size_t i = 0; i + 1 < N; ++i) {
    enciphered[i] = static_cast<char>(static_cast<uint8_t>(plain[i]) ^ stream.Next());
  }
  enciphered[N - 1] = '\0';
  return enciphered;
}

}  // namespace zelkor
