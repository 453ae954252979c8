// The HttpFetch implementations the contract tests run against: the build's
// own in this process (libcurl on Linux), and, when ZELKOR_WINDOWS_FETCH
// names it, the Windows build's (WinINet), each fetch made by
// zelkor3d-fetch.exe under Wine. The loopback servers stay in the test
// process either way.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "draws/draws.h"

namespace zelkor::test_support {

struct FetchImplementation {
  std::string name;
  std::function<FetchResult(const Text& address, const FetchOptions& options)> fetch;
  // Never keeps a connection for the next request.
  bool one_request_per_connection = true;
  // Trusts the authorities of FetchOptions::ca_file (WinINet takes the
  // system's only).
  bool reads_ca_file = true;
  friend void PrintTo(const FetchImplementation& implementation, std::ostream* out) {
    *out << implementation.name;
  }
};

// The build's own FetchWithReason.
[[nodiscard]] std::vector<FetchImplementation> ThisBuildsFetch();

// The Windows build's fetch when the environment variable
// ZELKOR_WINDOWS_FETCH holds the command that runs zelkor3d-fetch.exe
// (its words separated by "|"); none otherwise.
[[nodiscard]] std::vector<FetchImplementation> WindowsBuildsFetch();

}  // namespace zelkor::test_support
