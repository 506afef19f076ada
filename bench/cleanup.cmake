# Clean-up and checks beside HTML Tidy:
#   build/<preset>/bin/tarlo_cleanup_bench [files...]
add_executable(tarlo_cleanup_bench ${CMAKE_CURRENT_LIST_DIR}/cleanup_bench.cpp)
target_link_libraries(tarlo_cleanup_bench PRIVATE tarlo_warnings)
add_dependencies(tarlo_cleanup_bench tarlo-cli)
