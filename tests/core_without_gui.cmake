# The core runs without a GUI: no source of harlune_core includes a header of
# Qt Gui or Qt Widgets, and executables built on the core alone do not load
# those libraries. Run by CTest as
#   cmake -DSOURCES=<files;...> -DGUI_INCLUDE_DIRS=<dirs;...> -DEXECUTABLES=<files;...> -P this
set(problems "")

foreach(source IN LISTS SOURCES)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
    foreach(dir IN LISTS GUI_INCLUDE_DIRS)
      if(EXISTS "${dir}/${header}" AND NOT IS_DIRECTORY "${dir}/${header}")
        string(APPEND problems "${source} includes ${header}, a header of ${dir}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

find_program(LDD ldd)
foreach(executable IN LISTS EXECUTABLES)
  if(NOT LDD)
    message(STATUS "no ldd here: ${executable} not checked")
    break()
  endif()
  execute_process(COMMAND "${LDD}" "${executable}" OUTPUT_VARIABLE libraries RESULT_VARIABLE failed)
  if(failed)
    string(APPEND problems "ldd ${executable} failed\n")
  elseif(libraries MATCHES "libQt6(Gui|Widgets)")
    string(APPEND problems "${executable} loads ${CMAKE_MATCH_0}\n")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "the core needs a GUI:\n${problems}")
endif()
list(LENGTH SOURCES checked)
message(STATUS "${checked} core sources and ${EXECUTABLES} use no Qt Gui or Qt Widgets")
