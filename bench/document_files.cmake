# Saving and opening document files beside iconv: run build/<preset>/bin/tarlo_document_files_bench [files...]
add_executable(tarlo_document_files_bench ${CMAKE_CURRENT_SOURCE_DIR}/document_files_bench.cpp)
target_link_libraries(tarlo_document_files_bench PRIVATE tarlo_core Qt6::Core tarlo_warnings)
