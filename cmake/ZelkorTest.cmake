include(GoogleTest)
find_package(GTest REQUIRED)

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
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()
