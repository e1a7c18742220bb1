# The link: the manager against the in-process simulator (some answers scripted), and
# the socket client against the real simulator program.
tester_add_test(test_link_manager SOURCES test_link_manager.cpp linkfakes.h LIBS tester_link tester_sim TIMEOUT 120)
tester_add_test(test_link_socket SOURCES test_link_socket.cpp linkfakes.h LIBS tester_link TIMEOUT 120)
target_compile_definitions(test_link_socket PRIVATE TESTER_SIM_PROGRAM="$<TARGET_FILE:resistance-tester-sim>")
add_dependencies(test_link_socket resistance-tester-sim)
tester_add_test(test_transportset SOURCES test_transportset.cpp LIBS tester_link)
