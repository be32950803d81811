find_package(GTest REQUIRED)
include(GoogleTest)

# velor_add_test(NAME SOURCES ... LIBS ... [OFFSCREEN] [DISPLAY] [SERIAL] [TIMEOUT s])
#   OFFSCREEN: Qt runs without a display (QT_QPA_PLATFORM=offscreen).
#   DISPLAY:   needs the X server that scripts/test.sh starts (label "display").
#   SERIAL:    runs alone, for a test that takes the build tree's shared
#              run-time data away for a while.
function(velor_add_test name)
  cmake_parse_arguments(T "OFFSCREEN;DISPLAY;SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest Threads::Threads)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  # The environment is set by the test program itself (test_main.cpp).
  set(offscreen 0)
  if(T_OFFSCREEN)
    set(offscreen 1)
  endif()
  target_compile_definitions(${name} PRIVATE
    VELOR_TEST_TMP_DIR="${CMAKE_BINARY_DIR}/test-tmp" VELOR_TEST_OFFSCREEN=${offscreen})
  set(labels "")
  if(T_DISPLAY)
    set(labels display)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(properties LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
  if(T_DISPLAY)
    # One X server and one pointer for all: a test that drags or clicks must
    # not find another test's windows over its own.
    list(APPEND properties RESOURCE_LOCK x_display)
  endif()
  if(T_SERIAL)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${properties})
endfunction()
