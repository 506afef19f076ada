tarlo_add_test(NAME check_cli_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/check_cli_test.cpp)
target_link_libraries(check_cli_test PRIVATE tarlo_cli_lib)
