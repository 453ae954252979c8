# Settings of the Windows build (cross-built with cmake/mingw-w64.cmake).
# Everything but the window is built; the tests run under Wine through
# scripts/wine-run, with a Wine prefix of their own in the build directory.

# Windows 7 and later; the headers' min and max macros would shadow std::min.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)

if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${PROJECT_BINARY_DIR}/wine-prefix)
endif()

# Header-only libraries of the build machine.
if(CMAKE_CROSSCOMPILING)
  include(ZelkorHostHeaders)
  zelkor_host_headers(zelkor_cli11_headers CLI CLI/CLI.hpp)
  add_library(CLI11::CLI11 ALIAS zelkor_cli11_headers)
endif()
