include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  # GoogleTest built for the target from Debian's sources (package googletest).
  set(ZELKOR_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${ZELKOR_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${ZELKOR_GOOGLETEST_SOURCE} "
                        "(Debian package googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ZELKOR_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(library gtest gmock gtest_main)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
  # Listing a test program's cases means running it under Wine: done when
  # the tests run, not at every build.
  set(zelkor_discovery_mode PRE_TEST)
else()
  find_package(GTest REQUIRED)
  set(zelkor_discovery_mode POST_BUILD)
endif()

# zelkor_add_test(<name> SOURCES <files...> [LIBS <targets...>] [ENV <VAR=value...>]
#                 [QT])
# Builds one GoogleTest executable and registers its cases with CTest.
# QT runs the cases with the offscreen platform so they need no display.
function(zelkor_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  zelkor_strict(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(env ${ARG_ENV})
  if(ARG_QT)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60 DISCOVERY_MODE ${zelkor_discovery_mode}
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()
