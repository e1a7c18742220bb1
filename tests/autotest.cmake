# Automatic test series and the sampling interval: the dialogs, the window
# against in-process simulated instruments, and once the simulator program.
tester_add_test(test_autotest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_autotest.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 180)
target_compile_definitions(test_autotest PRIVATE TESTER_SIM_PROGRAM="$<TARGET_FILE:resistance-tester-sim>")
add_dependencies(test_autotest resistance-tester-sim)
