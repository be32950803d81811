find_package(GTest REQUIRED)
include(GoogleTest)

# velor_add_test(NAME SOURCES ... LIBS ... [OFFSCREEN] [DISPLAY] [TIMEOUT s])
#   OFFSCREEN: Qt runs without a display (QT_QPA_PLATFORM=offscreen).
#   DISPLAY:   needs the X server that scripts/test.sh starts (label "display").
function(velor_add_test name)
  cmake_parse_arguments(T "OFFSCREEN;DISPLAY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set(env "VELOR_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
  set(labels "")
  if(T_OFFSCREEN)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(T_DISPLAY)
    list(APPEND labels display)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${env}" LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
endfunction()
