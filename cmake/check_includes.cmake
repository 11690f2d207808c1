# cmake -DKORV_SETTINGS=<target>_layers.cmake -P check_includes.cmake
#
# Checks the #include lines of one library's or test's files against the folders it may see, and
# fails naming the file, the line, the include and the rule. The settings file (written by
# korv.cmake) gives:
#   KORV_TARGET   the target's name
#   KORV_ROOT     the project's folder
#   KORV_FILES    the target's own files
#   KORV_FOLDERS  the folders it may include from, relative to KORV_ROOT ("src/platform/ado", "db")
#   KORV_STAMP    the file touched when every include is allowed (its depfile is <stamp>.d)
#
# An include names a project header when it is found beside the including file (a quoted include)
# or under src/, tests/ or the project's folder, as the compiler's include path finds it; any other
# include (Qt, the standard library, SQLite) is not the layering's business. A header of a test
# folder is read in turn (test headers are checked only through the tests that include them); a
# header of src/ is checked by its own library's check.
cmake_policy(VERSION 3.22)
include("${KORV_SETTINGS}")

set(_queue ${KORV_FILES})
set(_read "")
set(_faults "")
while(_queue)
  list(POP_FRONT _queue _file)
  if(_file IN_LIST _read)
    continue()
  endif()
  list(APPEND _read "${_file}")
  get_filename_component(_here "${_file}" DIRECTORY)
  file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
  foreach(_line IN LISTS _lines)
    string(REGEX MATCH "include[ \t]*([\"<])([^\">]+)[\">]" _ "${_line}")
    set(_quote "${CMAKE_MATCH_1}")
    set(_include "${CMAKE_MATCH_2}")
    set(_found "")
    if(_quote STREQUAL "\"" AND EXISTS "${_here}/${_include}")
      set(_found "${_here}/${_include}")
    else()
      foreach(_root "${KORV_ROOT}/src" "${KORV_ROOT}/tests" "${KORV_ROOT}")
        if(EXISTS "${_root}/${_include}" AND NOT IS_DIRECTORY "${_root}/${_include}")
          set(_found "${_root}/${_include}")
          break()
        endif()
      endforeach()
    endif()
    if(NOT _found)
      continue()
    endif()
    cmake_path(NORMAL_PATH _found)
    file(RELATIVE_PATH _rel "${KORV_ROOT}" "${_found}")
    get_filename_component(_folder "${_rel}" DIRECTORY)
    if(NOT _folder IN_LIST KORV_FOLDERS)
      file(RELATIVE_PATH _who "${KORV_ROOT}" "${_file}")
      # The line number: the newlines before the include's first occurrence.
      file(READ "${_file}" _text)
      string(FIND "${_text}" "${_line}" _at)
      string(SUBSTRING "${_text}" 0 ${_at} _before)
      string(REGEX MATCHALL "\n" _newlines "${_before}")
      list(LENGTH _newlines _n)
      math(EXPR _n "${_n} + 1")
      list(APPEND _faults "${_who}:${_n}: error: #include ${_quote}${_include}${_quote}: ${_folder}/ is not below ${KORV_TARGET}")
    elseif(_rel MATCHES "^tests/")
      list(APPEND _queue "${_found}")
    endif()
  endforeach()
endwhile()

if(_faults)
  foreach(_fault IN LISTS _faults)
    message(NOTICE "${_fault}")
  endforeach()
  list(JOIN KORV_FOLDERS " " _seen)
  message(FATAL_ERROR
    "${KORV_TARGET} includes a header it may not see. A folder includes only its own headers and "
    "those of the folders below it; ${KORV_TARGET} sees ${_seen} (its folder and those of its DEPS, "
    "followed down). Move the declaration down, or declare in the lower folder the small interface "
    "it needs and implement it above (README.md, Folders).")
endif()

# The stamp, and the files read, so that a change to any of them runs the check again.
set(_deps "")
foreach(_file IN LISTS _read)
  string(REPLACE " " "\\ " _file "${_file}")
  string(APPEND _deps " \\\n  ${_file}")
endforeach()
file(WRITE "${KORV_STAMP}.d" "${KORV_STAMP}:${_deps}\n")
file(TOUCH "${KORV_STAMP}")
