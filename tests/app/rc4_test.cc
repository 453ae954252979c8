#include "app/rc4.h"

#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "runtime/gbk.h"

namespace zelkor {
namespace {

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  }
  return hex;
}

TEST(Rc4Test, MatchesPublishedVectors) {
  struct Case {
    std::string key;
    std::string plain;
    std::string cipher_hex;
  };
  const Case cases[] = {
      {"Key", "Plaintext", "BBF316E8D940AF0AD3"},
      {"Wiki", "pedia", "1021BF0420"},
      {"Secret", "Attack at dawn", "45A01F645FC35B383552544B9BF5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const Bytes cipher = Rc4(c.plain, c.key);
    EXPECT_EQ(Hex(cipher), c.cipher_hex);
    EXPECT_EQ(DecipherText(cipher, c.key), c.plain);
  }
}

// The compile-time keystream is the run-time one.
constexpr uint8_t FirstKeystreamByte(char key) {
  const char k[1] = {key};
  Rc4Stream stream(std::string_view(k, 1));
  return stream.Next();
}
static_assert(FirstKeystreamByte('K') != FirstKeystreamByte('L'));

TEST(Rc4Test, EncipheredLiteralDeciphersUnderItsPassword) {
  constexpr auto kEnciphered = EncipherLiteral("http://127.0.0.1:8080/version.txt", 'q');
  const Text stored(kEnciphered.data(), kEnciphered.size() - 1);
  EXPECT_EQ(kEnciphered.back(), '\0');
  EXPECT_EQ(stored, Rc4("http://127.0.0.1:8080/version.txt", "q"));
  EXPECT_EQ(DecipherText(stored, "q"), "http://127.0.0.1:8080/version.txt");
  EXPECT_NE(DecipherText(stored, "r"), "http://127.0.0.1:8080/version.txt");
}

TEST(Rc4Test, RoundTripsEveryKindOfText) {
  const Text texts[] = {"", "a", Gbk("软件已经更新,请到"), "https://example.com/a?b=c&d=e#f",
                        std::string(300, 'x')};
  for (const Text& text : texts) {
    for (const char* key : {"!", "~", "Zelkor"}) {
      EXPECT_EQ(DecipherText(Rc4(text, key), key), text) << key;
    }
  }
}

TEST(Rc4Test, DecipheredTextEndsAtTheFirstZeroByte) {
  const Bytes plain("abc\0def", 7);
  EXPECT_EQ(DecipherText(Rc4(plain, "k"), "k"), "abc");
}

// A text whose byte at `position` enciphers to zero under `key`.
std::string ZeroAt(std::string text, size_t position, char key) {
  const char k[1] = {key};
  Rc4Stream stream(std::string_view(k, 1));
  for (size_t i = 0; i < position; ++i) (void)stream.Next();
  text[position] = static_cast<char>(stream.Next());
  return text;
}

TEST(PickPasswordTest, SkipsCharactersThatWouldEncipherAZeroByte) {
  const std::string plain = "http://127.0.0.1/";
  ASSERT_EQ(PickPassword(plain), '!');

  const std::string bad_for_first = ZeroAt(plain, 3, '!');
  EXPECT_FALSE(EnciphersWithoutZero(bad_for_first, "!"));
  const char picked = PickPassword(plain, bad_for_first);
  EXPECT_GT(picked, '!');
  EXPECT_TRUE(EnciphersWithoutZero(plain, std::string(1, picked)));
  EXPECT_TRUE(EnciphersWithoutZero(bad_for_first, std::string(1, picked)));
}

TEST(PickPasswordTest, GivesNothingWhenEveryCharacterFails) {
  // Byte i enciphers to zero under the i-th printable character.
  std::string plain(94, 'a');
  for (char c = '!'; c <= '~'; ++c) {
    const auto position = static_cast<size_t>(c - '!');
    plain = ZeroAt(plain, position, c);
  }
  EXPECT_EQ(PickPassword(plain), '\0');
}

TEST(BuiltInConfigTest, HoldsTheConfiguredAddressesEnciphered) {
  const StartupConfig& config = BuiltInStartupConfig();
  ASSERT_EQ(config.password.size(), 1u);
  for (const auto& [enciphered, plain] :
       {std::pair{config.enciphered_startup_page, Text(ZELKOR_STARTUP_PAGE_ADDRESS)},
        std::pair{config.enciphered_version_record, Text(ZELKOR_VERSION_RECORD_ADDRESS)}}) {
    SCOPED_TRACE(plain);
    EXPECT_EQ(enciphered.size(), plain.size()) << "a zero byte cut the stored address short";
    EXPECT_NE(enciphered, plain);
    EXPECT_EQ(DecipherText(ToBytes(enciphered), config.password), plain);
  }
  EXPECT_EQ(config.draw_host, ZELKOR_DRAW_HOST);
  EXPECT_EQ(config.update_site, Gbk(ZELKOR_UPDATE_SITE));
}

}  // namespace
}  // namespace zelkor
