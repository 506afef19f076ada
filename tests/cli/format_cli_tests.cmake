tarlo_add_test(NAME format_cli_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/format_cli_test.cpp)
target_link_libraries(format_cli_test PRIVATE tarlo_cli_lib)
