# pq_add_gui_test(name SOURCES ... LIBS ...): a test program with a
# QApplication (gui_test_main.cpp) whose cases run on the offscreen platform.
function(pq_add_gui_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pq_gui_test_main GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # The discovered tests get their properties through a script that takes
  # one value a property, so ENVIRONMENT holds one variable: the tests' time
  # zone. The test main chooses the offscreen platform itself.
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    PROPERTIES ENVIRONMENT "${PQ_TEST_ENVIRONMENT}"
    DISCOVERY_TIMEOUT 60)
endfunction()
