# The instrument simulator: its model, the in-process transport and the socket server.
tester_add_test(test_sim_instrument SOURCES test_sim_instrument.cpp simrecordrules.h LIBS tester_sim TIMEOUT 60)
tester_add_test(test_sim_transport SOURCES test_sim_transport.cpp LIBS tester_sim TIMEOUT 60)
tester_add_test(test_sim_server SOURCES test_sim_server.cpp LIBS tester_sim TIMEOUT 60)
target_compile_definitions(test_sim_server PRIVATE SIM_PROGRAM="$<TARGET_FILE:resistance-tester-sim>")
add_dependencies(test_sim_server resistance-tester-sim)
tester_add_test(test_sim_decoder SOURCES test_sim_decoder.cpp simrecordrules.h LIBS tester_sim tester_data TIMEOUT 120)
