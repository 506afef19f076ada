# Tests of the progress windows and the placement arithmetic behind them.
tarlo_add_test(NAME window_placement_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_placement_test.cpp)
tarlo_add_test(NAME progress_windows_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/progress_windows_test.cpp GUI)
