# The insight of the test pages on widgets of its own, without the main window.
tester_add_test(test_insightcontroller SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_insightcontroller.cpp LIBS tester_app)
