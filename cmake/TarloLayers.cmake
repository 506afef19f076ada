# SPDX-License-Identifier: GPL-3.0-or-later
# One library per folder of src/, linked to exactly the folders it may use.
#
# Every folder gets an include root of its own in the build tree that holds
# only that folder, so `#include "checker/..."` resolves only in a library that
# links the checker's: an include across the layers that the links do not
# allow fails the build. A folder's logic (no Qt) and its windows are two
# libraries: the logic one links no Qt, so a Qt include there fails too.
#
# tarlo_layer(<folder>
#   [PROGRAM]              the logic library is an object library of a
#                          program's own (kept out of tarlo_core)
#   [LOGIC <files>]        logic files: library tarlo_<folder>, no Qt
#   [WINDOWS <files>]      widget files: library tarlo_<folder>_ui
#   [USES <folders>]       the folders this one may include from
#   [LOGIC_LIBS <libs>]    outside libraries of the logic (PUBLIC)
#   [WINDOW_LIBS <libs>])  outside libraries of the widgets (PRIVATE)
#
# tarlo_core and tarlo_ui gather every logic and every widget library for the
# programs, tests and benchmarks. The folder graph is written to
# ${CMAKE_BINARY_DIR}/layers.txt for the layering test.

add_library(tarlo_core INTERFACE)
add_library(tarlo_ui INTERFACE)
target_link_libraries(tarlo_ui INTERFACE tarlo_core)
file(WRITE ${CMAKE_BINARY_DIR}/layers.txt "")

# Files are named from their folder; a path outside it is given whole.
function(tarlo_layer_paths var dir)
  set(out)
  foreach(f ${${var}})
    if(IS_ABSOLUTE ${f})
      list(APPEND out ${f})
    else()
      list(APPEND out ${dir}/${f})
    endif()
  endforeach()
  set(${var} ${out} PARENT_SCOPE)
endfunction()

function(tarlo_layer folder)
  cmake_parse_arguments(L "PROGRAM" "" "LOGIC;WINDOWS;USES;LOGIC_LIBS;WINDOW_LIBS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  set(dir ${CMAKE_SOURCE_DIR}/src/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${dir} ${root}/${folder} SYMBOLIC)
  endif()
  foreach(u ${L_USES})
    if(NOT TARGET tarlo_${u} AND NOT TARGET tarlo_${u}_ui)
      message(FATAL_ERROR "src/${folder} uses src/${u}, which is not built before it")
    endif()
  endforeach()
  string(REPLACE ";" " " uses "${L_USES}")
  file(APPEND ${CMAKE_BINARY_DIR}/layers.txt "${folder}: ${uses}\n")

  if(L_LOGIC)
    tarlo_layer_paths(L_LOGIC ${dir})
    if(L_PROGRAM)
      add_library(tarlo_${folder} OBJECT ${L_LOGIC})
    else()
      add_library(tarlo_${folder} STATIC ${L_LOGIC})
    endif()
    target_include_directories(tarlo_${folder} PUBLIC ${root})
    target_link_libraries(tarlo_${folder} PUBLIC ${L_LOGIC_LIBS} PRIVATE tarlo_warnings)
    foreach(u ${L_USES})
      if(TARGET tarlo_${u})
        target_link_libraries(tarlo_${folder} PUBLIC tarlo_${u})
      endif()
    endforeach()
    if(NOT L_PROGRAM)
      target_link_libraries(tarlo_core INTERFACE tarlo_${folder})
      set_property(GLOBAL APPEND PROPERTY TARLO_LOGIC_SOURCES ${L_LOGIC})
    endif()
  endif()

  if(L_WINDOWS)
    tarlo_layer_paths(L_WINDOWS ${dir})
    add_library(tarlo_${folder}_ui STATIC ${L_WINDOWS})
    set_target_properties(tarlo_${folder}_ui PROPERTIES AUTOMOC ON AUTORCC ON)
    target_include_directories(tarlo_${folder}_ui PUBLIC ${root})
    target_include_directories(tarlo_${folder}_ui SYSTEM PUBLIC ${QSCINTILLA_INCLUDE_DIR})
    target_link_libraries(tarlo_${folder}_ui
      PUBLIC Qt6::Widgets Qt6::WebEngineCore Qt6::WebEngineWidgets Qt6::PrintSupport
             ${QSCINTILLA_LIBRARY}
      PRIVATE tarlo_warnings ${L_WINDOW_LIBS})
    if(L_LOGIC)
      target_link_libraries(tarlo_${folder}_ui PUBLIC tarlo_${folder})
    endif()
    foreach(u ${L_USES})
      if(TARGET tarlo_${u}_ui)
        target_link_libraries(tarlo_${folder}_ui PUBLIC tarlo_${u}_ui)
      else()
        target_link_libraries(tarlo_${folder}_ui PUBLIC tarlo_${u})
      endif()
    endforeach()
    target_link_libraries(tarlo_ui INTERFACE tarlo_${folder}_ui)
  endif()
endfunction()
