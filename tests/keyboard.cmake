# The keyboard, the Help menu, the remembered language and the accessible
# names, through the window against the in-process simulator.
foreach(area accessibility keyboard language)
  tester_add_test(test_${area}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_${area}.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
    LIBS tester_app tester_sim tester_resources
    TIMEOUT 240)
endforeach()
target_compile_definitions(test_keyboard PRIVATE TESTER_VERSION="${PROJECT_VERSION}")
