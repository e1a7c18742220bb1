# The link session (the link's threads and polling) without the window.
tester_add_test(test_linksession SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_linksession.cpp LIBS tester_app tester_sim tester_resources)
