# The program's texts against the translation catalogues; Qt's extractor
# lupdate lists the texts of the sources and forms at test time.
tester_add_test(test_translations SOURCES test_translations.cpp LIBS tester_resources Qt5::Core)
target_compile_definitions(test_translations PRIVATE
  TESTER_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LUPDATE_PROGRAM="$<TARGET_FILE:Qt5::lupdate>")

# The .ts files must be what tools/i18n/make_ts.py makes of the working list.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME i18n_catalogue_in_step
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/i18n/make_ts.py --check)
endif()
