# pq_add_gui_test(name SOURCES ... LIBS ...): a test program with a
# QApplication (gui_test_main.cpp) whose cases run on the offscreen platform.
function(pq_add_gui_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pq_gui_test_main GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(environment "${PQ_TEST_ENVIRONMENT}" "QT_QPA_PLATFORM=offscreen")
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    PROPERTIES ENVIRONMENT "${environment}"
    DISCOVERY_TIMEOUT 60)
endfunction()
