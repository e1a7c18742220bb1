# The team's server from the window's side: the connection dialog, the team's
# sessions in the history, the baselines made from a session; against a real
# server started by the test.
tester_add_test(test_teamserver SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_teamserver.cpp ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h
                LIBS tester_app tester_testpostgres)
target_compile_definitions(test_teamserver PRIVATE TESTER_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
