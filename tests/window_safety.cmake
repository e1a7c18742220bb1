# The lost link and the settled results, through the window against in-process simulated instruments.
tester_add_test(test_window_safety
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_safety.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources Qt5::Sql
  TIMEOUT 180)
