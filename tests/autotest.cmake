# Automatic test series and the sampling interval: the dialogs, and the window
# against in-process simulated instruments.
tester_add_test(test_autotest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_autotest.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 180)
