# The main window against simulated instruments in the same process.
tester_add_test(test_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window.cpp
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 180)
tester_add_test(test_window_import SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_import.cpp LIBS tester_app tester_sim tester_resources TIMEOUT 120)

# Screenshots of the window against the in-process simulator (not a test):
#   QT_QPA_PLATFORM=offscreen <build>/tests/window-screenshots <folder>
add_executable(window-screenshots ${PROJECT_SOURCE_DIR}/tools/screenshot.cpp)
target_link_libraries(window-screenshots PRIVATE tester_app tester_sim tester_resources)
