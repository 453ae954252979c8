# ZELKOR_SANITIZE builds every target, libraries and tests alike, with
# AddressSanitizer and UndefinedBehaviorSanitizer. Any report is fatal, so a
# finding fails the test that caused it.
option(ZELKOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# ZELKOR_FUZZ builds the libFuzzer targets in fuzz/ (clang only). The libraries
# get coverage instrumentation and both sanitizers.
option(ZELKOR_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(ZELKOR_SANITIZE OR ZELKOR_FUZZ)
  set(zelkor_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                             -fno-omit-frame-pointer)
  add_compile_options(${zelkor_sanitizer_flags})
  add_link_options(${zelkor_sanitizer_flags})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC's flow analysis sees through the sanitizer's checks poorly and warns
    # of uninitialized members inside the standard library's own templates
    # (std::function inside std::regex), which an unsanitized build does not.
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()

if(ZELKOR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ZELKOR_FUZZ needs clang: configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

