# The two test pages against the in-process simulator.
tester_add_test(test_window_pages
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_pages.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 240)
