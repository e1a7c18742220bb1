# The team pusher against a real PostgreSQL server started by the test itself.
if(NOT WIN32)
  tester_add_test(test_teampush SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_teampush.cpp
    LIBS tester_store tester_testpostgres Qt5::Sql TIMEOUT 300)
  target_compile_definitions(test_teampush PRIVATE TEAM_SERVER_SQL="${PROJECT_SOURCE_DIR}/packaging/team-server.sql")
endif()
