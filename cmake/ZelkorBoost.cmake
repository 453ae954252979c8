# Boost.Regex (the reference the draw-list parser's tests and fuzzing check
# it against) and Boost.Math (the
# backtest's normal quantile), one version on every
# platform: Debian's Boost 1.81 headers, used header-only. BOOST_REGEX_STANDALONE keeps the regex headers off the
# rest of Boost, whose thread and locale support would otherwise want a
# compiled library; so no program carries a Boost run-time dependency.
#
# zelkor_boost_regex is the one target everything that includes
# <boost/regex.hpp> links.
set(ZELKOR_BOOST_VERSION 1.81.0)

if(CMAKE_CROSSCOMPILING)
  # The headers are the build machine's, but its include directory holds its
  # own C library too, which a cross compiler must never see; the headers are
  # reached through a directory of their own (see ZelkorHostHeaders.cmake).
  include(ZelkorHostHeaders)
  zelkor_host_headers(zelkor_boost_headers boost boost/regex.hpp)
  file(STRINGS ${ZELKOR_HOST_HEADERS_boost}/boost/version.hpp boost_version_line
       REGEX "^#define BOOST_LIB_VERSION ")
  if(NOT boost_version_line MATCHES "\"1_81\"")
    message(FATAL_ERROR "Boost ${ZELKOR_BOOST_VERSION} headers needed, found ${boost_version_line} "
                        "in ${ZELKOR_HOST_HEADERS_boost} (Debian package libboost1.81-dev)")
  endif()
  set(boost_target zelkor_boost_headers)
else()
  find_package(Boost ${ZELKOR_BOOST_VERSION} EXACT CONFIG REQUIRED COMPONENTS headers)
  set(boost_target Boost::headers)
endif()

add_library(zelkor_boost_regex INTERFACE)
target_link_libraries(zelkor_boost_regex INTERFACE ${boost_target})
target_compile_definitions(zelkor_boost_regex INTERFACE BOOST_REGEX_STANDALONE)

# The normal quantile the backtest's threshold comes from.
add_library(zelkor_boost_math INTERFACE)
target_link_libraries(zelkor_boost_math INTERFACE ${boost_target})

# Boost.JSON, for the public draw sources' answers: compiled from its headers
# in the one source that includes <boost/json/src.hpp>.
add_library(zelkor_boost_json INTERFACE)
target_link_libraries(zelkor_boost_json INTERFACE ${boost_target})
