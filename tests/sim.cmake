# The instrument simulator: its model (and the decoder accepting all it says),
# the in-process transport, the socket server and the program.
tester_add_test(test_sim_instrument SOURCES test_sim_instrument.cpp decodedanswer.h LIBS tester_sim tester_data tester_analysis TIMEOUT 120)
tester_add_test(test_sim_transport SOURCES test_sim_transport.cpp LIBS tester_sim TIMEOUT 60)
target_compile_definitions(test_sim_transport PRIVATE SIM_PROGRAM="$<TARGET_FILE:resistance-tester-sim>")
add_dependencies(test_sim_transport resistance-tester-sim)
