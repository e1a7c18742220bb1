# The simulated instrument's keys, typed on the simulator program's input.
tester_add_test(test_sim_keys SOURCES test_sim_keys.cpp LIBS tester_sim TIMEOUT 60)
target_compile_definitions(test_sim_keys PRIVATE SIM_PROGRAM="$<TARGET_FILE:resistance-tester-sim>")
add_dependencies(test_sim_keys resistance-tester-sim)
