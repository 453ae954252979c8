#include "app/rc4.h"

namespace zelkor {

Bytes Rc4(std::string_view data, std::string_view key) {
  Rc4Stream stream(key);
  Bytes result(data);
  for (char& c : result) c = static_cast<char>(static_cast<uint8_t>(c) ^ stream.Next());
  return result;
}

Text DecipherText(std::string_view enciphered, std::string_view password) {
  return TextFromBytes(Rc4(enciphered, password));
}

}  // namespace zelkor
