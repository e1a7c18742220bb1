# The remark box's limit and its counter, without the window.
tester_add_test(test_remarklimit SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_remarklimit.cpp LIBS tester_app)
