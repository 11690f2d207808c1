# The layering, held by the build. A library sees the headers of its own folder and of the
# folders of the libraries in its DEPS, followed down (korv_posting: posting, core, data, utillib,
# ui, ado, vb); a test, those of its DEPS and of the test support's, with the test folders beside
# them. Every library and test depends on a check of its #include lines (check_includes.cmake),
# run before it compiles and again when a file it read changes, that fails the build naming the
# file, the include and the folders allowed. The DEPS are the rule's one table: a new dependency
# between folders is a new DEPS entry, where it shows. (A check rather than an include folder per
# library: every header keeps its one path, for the compiler, its cache and the debugger.)
set(KORV_CHECK_INCLUDES ${CMAKE_CURRENT_LIST_DIR}/check_includes.cmake)
function(_korv_folders out)   # the folders the targets see: their own and those below them
  set(_all "")
  foreach(_t IN LISTS ARGN)
    get_property(_f GLOBAL PROPERTY KORV_FOLDERS_${_t})
    list(APPEND _all ${_f})
  endforeach()
  list(REMOVE_DUPLICATES _all)
  set(${out} "${_all}" PARENT_SCOPE)
endfunction()
function(_korv_check_includes name files folders)
  set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}_layers.stamp)
  set(_settings ${CMAKE_CURRENT_BINARY_DIR}/${name}_layers.cmake)
  file(CONFIGURE OUTPUT ${_settings} @ONLY CONTENT
       "set(KORV_TARGET ${name})\nset(KORV_ROOT \"${PROJECT_SOURCE_DIR}\")\nset(KORV_STAMP \"${_stamp}\")\nset(KORV_FOLDERS \"${folders}\")\nset(KORV_FILES \"${files}\")\n")
  add_custom_command(OUTPUT ${_stamp} COMMAND ${CMAKE_COMMAND} -DKORV_SETTINGS=${_settings} -P ${KORV_CHECK_INCLUDES}
                     DEPENDS ${_settings} ${KORV_CHECK_INCLUDES} ${files} DEPFILE ${_stamp}.d VERBATIM)
  add_custom_target(${name}_layers DEPENDS ${_stamp})
  add_dependencies(${name} ${name}_layers)
endfunction()

# korv_library(<name> DIR <folder> [DEPS <targets>...])
# One static library per layer or subsystem, made of every .cpp of its folder.
function(korv_library name)
  cmake_parse_arguments(K "UNCHECKED" "DIR" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${K_DIR}/*.cpp ${K_DIR}/*.h)
  file(GLOB _cpp CONFIGURE_DEPENDS ${K_DIR}/*.cpp)
  file(RELATIVE_PATH _folder ${PROJECT_SOURCE_DIR} ${K_DIR})
  _korv_folders(_folders ${K_DEPS})
  set_property(GLOBAL PROPERTY KORV_FOLDERS_${name} ${_folder} ${_folders})
  if(NOT _cpp)
    # A layer not built yet: an interface target keeps the dependency graph whole.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${K_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${K_DEPS})
  _korv_check_includes(${name} "${_src}" "${_folder};${_folders}")
endfunction()

# korv_test(<name> DIR <folder> [DEPS <targets>...] [UNCHECKED])
# One test executable per folder of tests/, run by CTest headless. Each test case is a CTest test
# of its own ("<name>:Suite.Case"), listed when CTest starts, so CTest runs the cases in parallel
# and times each one. Cases run with KORV_SQL_CACHE_CHECK (every kept statement translation is
# compared with a fresh one); UNCHECKED runs every case a second time without it
# ("<name>:Unchecked:Suite.Case"), on the statement path the program itself takes.
include(GoogleTest)
# A test's folders: its own, the test support's, those its DEPS and the test support's libraries
# see, and the test folders of those (a test of lots may use the posting tests' fixtures).
function(_korv_test_folders out dir)
  get_target_property(_support korv_testsupport LINK_LIBRARIES)
  _korv_folders(_libs ${ARGN} ${_support})
  file(RELATIVE_PATH _own ${PROJECT_SOURCE_DIR} ${dir})
  set(_all ${_own} tests/support ${_libs})
  foreach(_f IN LISTS _libs)
    string(REGEX REPLACE "^src/" "" _t ${_f})
    list(APPEND _all tests/${_t})
  endforeach()
  list(REMOVE_DUPLICATES _all)
  set(${out} "${_all}" PARENT_SCOPE)
endfunction()
function(korv_test name)
  cmake_parse_arguments(K "UNCHECKED" "DIR" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${K_DIR}/*.cpp ${K_DIR}/*.h)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${K_DEPS} korv_testsupport GTest::gtest GTest::gmock)
  _korv_test_folders(_folders ${K_DIR} ${K_DEPS})
  _korv_check_includes(${name} "${_src}" "${_folders}")
  gtest_discover_tests(${name} TEST_PREFIX "${name}:" TEST_LIST ${name}_CASES DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 120)
  # The environment and the time limit of every case, set once the cases are listed (a list
  # value such as ENVIRONMENT does not pass through the discovery's own properties).
  set(_env "QT_QPA_PLATFORM=offscreen;KORV_SQL_CACHE_CHECK=1;KORV_SOURCE_DIR=${PROJECT_SOURCE_DIR};KORV_BINARY_DIR=${PROJECT_BINARY_DIR}")
  set(_props "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
  file(WRITE "${_props}"
       "if(${name}_CASES)\n"
       "  set_tests_properties(\${${name}_CASES} PROPERTIES ENVIRONMENT \"${_env}\" TIMEOUT 600)\n"
       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${_props}")
  if(K_UNCHECKED)
    gtest_discover_tests(${name} TEST_PREFIX "${name}:Unchecked:" TEST_LIST ${name}_UNCHECKED
                         DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
    set(_envu "QT_QPA_PLATFORM=offscreen;KORV_SOURCE_DIR=${PROJECT_SOURCE_DIR};KORV_BINARY_DIR=${PROJECT_BINARY_DIR}")
    set(_propsu "${CMAKE_CURRENT_BINARY_DIR}/${name}_unchecked_properties.cmake")
    file(WRITE "${_propsu}"
         "if(${name}_UNCHECKED)\n"
         "  set_tests_properties(\${${name}_UNCHECKED} PROPERTIES ENVIRONMENT \"${_envu}\" TIMEOUT 600)\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${_propsu}")
  endif()
endfunction()
