# One test page over the real form, without the window.
tester_add_test(test_resultpage SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_resultpage.cpp LIBS tester_app)
