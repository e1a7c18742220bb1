# The two test pages against the in-process simulator, and once against the
# simulator program through its socket.
tester_add_test(test_window_pages
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_pages.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 240)
target_compile_definitions(test_window_pages PRIVATE TESTER_SIM_PROGRAM="$<TARGET_FILE:resistance-tester-sim>")
add_dependencies(test_window_pages resistance-tester-sim)
