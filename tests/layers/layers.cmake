# The layers of the code, checked from the sources and the build:
#  - a file includes headers only from its own folder's layer or the layers
#    beneath it, and no windows folder of a subsystem includes another's;
#  - a window (a */ui folder) reaches no accessor of the program's
#    process-wide state: its caller hands it what it acts on;
#  - every library links only libraries beneath it, and the logic libraries
#    and zelvo-export link no Qt Gui, Qt Widgets or JPEG, not even through
#    another library; the built zelvo-export needs none of them.
# cmake -DSOURCE_DIR=... -DLINKS=<generated links file> -DEXPORT=<zelvo-export> -P layers.cmake
cmake_minimum_required(VERSION 3.18)

# Folder -> rank: a folder may include folders of a lower rank, and its own.
set(ranks
  platform 0  util 1  config 2  accounts 3  records 4  keeper 5  exercise 6  export 7  ui 8
  accounts/ui 9  records/ui 9  exercise/ui 9  admin/ui 9  app 10)
set(logic platform util config accounts records keeper exercise export)
set(forbidden_in_logic "Qt6::Gui|Qt6::Widgets|JPEG::JPEG|Qt6::Test")

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

function(rank_of folder out)
  list(FIND ranks "${folder}" at)
  if(at LESS 0)
    set(${out} "" PARENT_SCOPE)
  else()
    math(EXPR at "${at} + 1")
    list(GET ranks ${at} value)
    set(${out} ${value} PARENT_SCOPE)
  endif()
endfunction()

# The folder of a path below src/: "records/ui/form11_records.h" -> "records/ui".
function(folder_of path out)
  get_filename_component(dir "${path}" DIRECTORY)
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
foreach(source ${sources})
  folder_of(${source} from)
  if(from STREQUAL "")
    continue() # the entry points may include anything
  endif()
  rank_of("${from}" from_rank)
  if(from_rank STREQUAL "")
    fail("src/${source}: the folder ${from} has no layer")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${source} lines REGEX "^#include \"")
  foreach(line ${lines})
    string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" header "${line}")
    folder_of("${header}" to)
    rank_of("${to}" to_rank)
    if(to_rank STREQUAL "")
      continue() # a generated header of the build
    endif()
    if(to_rank GREATER from_rank)
      fail("src/${source} includes ${header}, a layer above its own")
    elseif(to_rank EQUAL from_rank AND NOT to STREQUAL from)
      fail("src/${source} includes ${header}, from the windows of another subsystem")
    endif()
  endforeach()
  if(from IN_LIST logic)
    file(STRINGS ${SOURCE_DIR}/src/${source} widgets REGEX "^#include <Q(tWidgets|tGui|Widget|Application|Gui|MessageBox|Label|Image|Pixmap|Font|Color|Brush)")
    if(widgets)
      fail("src/${source} (logic) includes ${widgets}")
    endif()
  endif()
endforeach()

# The windows are handed the state they act on (the configuration, the user,
# the range, the exercise) by the program (src/app); they call no accessor of
# the process-wide state.
set(state_accessors
  "appConfig|currentUser|currentRange|classFolder|exerciseState|programExercise|loginNicks|AdminRecord")
foreach(source ${sources})
  folder_of(${source} from)
  if(NOT from MATCHES "(^|/)ui$")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${source} lines
       REGEX "(^|[^A-Za-z0-9_])(${state_accessors})\\(\\)")
  # (a line holding ";" comes as several items: each is looked at)
  foreach(line ${lines})
    if(line MATCHES "(^|[^A-Za-z0-9_])(${state_accessors})\\(\\)" AND NOT line MATCHES "^[ \t]*//")
      string(STRIP "${line}" line)
      fail("src/${source} (a window) reaches the program's state: ${line}")
    endif()
  endforeach()
endforeach()

# Links: the generated file sets links_<target> to each library's own link libraries.
include(${LINKS})
function(closure target out)
  set(seen "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo item)
    if(item IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${item})
    if(DEFINED links_${item})
      list(APPEND todo ${links_${item}})
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

foreach(library ${zelvo_libraries})
  string(REGEX REPLACE "^zelvo_" "" folder "${library}")
  string(REGEX REPLACE "_ui$" "/ui" folder "${folder}")
  rank_of("${folder}" rank)
  foreach(dep ${links_${library}})
    if(dep IN_LIST zelvo_libraries)
      string(REGEX REPLACE "^zelvo_" "" dep_folder "${dep}")
      string(REGEX REPLACE "_ui$" "/ui" dep_folder "${dep_folder}")
      rank_of("${dep_folder}" dep_rank)
      if(NOT dep_rank LESS rank)
        fail("${library} links ${dep}, which is not beneath it")
      endif()
    endif()
  endforeach()
  if(folder IN_LIST logic)
    closure(${library} all)
    foreach(dep ${all})
      if(dep MATCHES "${forbidden_in_logic}")
        fail("the logic library ${library} links ${dep}")
      endif()
    endforeach()
  endif()
endforeach()

closure(zelvo-export all)
foreach(dep ${all})
  if(dep MATCHES "${forbidden_in_logic}|^zelvo_.*ui$|^zelvo_app$")
    fail("zelvo-export links ${dep}")
  endif()
endforeach()

find_program(READELF readelf)
if(READELF AND EXISTS "${EXPORT}")
  execute_process(COMMAND ${READELF} -d ${EXPORT} OUTPUT_VARIABLE dynamic)
  string(REGEX MATCHALL "Shared library: \\[[^]]*\\]" needed "${dynamic}")
  foreach(entry ${needed})
    if(entry MATCHES "Qt6Gui|Qt6Widgets|jpeg|asound|sndfile")
      fail("zelvo-export needs ${entry}")
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "The layers are broken:\n${failures}")
endif()
message(STATUS "layers: ${CMAKE_CURRENT_LIST_FILE} passed")
