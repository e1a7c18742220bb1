# Translation catalogues: the scanner and catalogue reader on their own,
# then the program's texts against the catalogues.
tester_add_test(test_translation_scanner
  SOURCES test_translation_scanner.cpp translationscanner.cpp tscatalogue.cpp
  LIBS Qt5::Core)

tester_add_test(test_translations
  SOURCES test_translations.cpp translationscanner.cpp tscatalogue.cpp
  LIBS tester_resources Qt5::Core)
target_compile_definitions(test_translations PRIVATE TESTER_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# The .ts files must be what tools/i18n/make_ts.py makes of the working list.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME i18n_catalogue_in_step
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/i18n/make_ts.py --check)
endif()
