// The two addresses the program opens and fetches must not be readable in the
// program file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "draws/draws.h"

namespace {

std::string ReadProgram() {
  std::ifstream file(ZELKOR3D_PROGRAM, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(AddressHidingTest, PlainAddressesAreNotInTheProgramFile) {
  const std::string program = ReadProgram();
  ASSERT_GT(program.size(), 100000u) << ZELKOR3D_PROGRAM;
  // A text the program does hold in plain, so a miss below means something:
  // the name of an HTTP library function it links, which no optimisation can
  // take apart (a string it builds, such as its User-Agent, may be stored
  // as pieces).
  ASSERT_NE(program.find("curl_easy_setopt"), std::string::npos);

  for (const std::string address : {ZELKOR_STARTUP_PAGE_ADDRESS, ZELKOR_VERSION_RECORD_ADDRESS}) {
    EXPECT_EQ(program.find(address), std::string::npos) << address;
  }
}

}  // namespace
