# The progress windows and the window helpers they share with other tool
# windows. The placement arithmetic is logic; the rest are widgets.
target_sources(tarlo_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/window_placement.cpp)
target_sources(tarlo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/window_helpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress_windows.cpp)
