# Figures for the code window services: run build/<preset>/bin/tarlo_codeview_bench [files...]
add_executable(tarlo_codeview_bench ${CMAKE_CURRENT_LIST_DIR}/codeview_bench.cpp)
target_link_libraries(tarlo_codeview_bench PRIVATE tarlo_ui tarlo_warnings)
add_dependencies(tarlo_codeview_bench tarlo-cli)
